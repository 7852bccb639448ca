// Texts of the property dialogs' read-only panes, built from the controller data record and
// fresh queries with the same conversions the console tool prints with.
#ifndef ZAV_GUI_INFOPANES_H
#define ZAV_GUI_INFOPANES_H

#include <stddef.h>
#include <stdint.h>

struct ContData;

enum { PANE_TEXT_SIZE = 16384 };

// A pane's text; every addition is cut to fit, so the text is always terminated.
struct PaneText {
    char text[PANE_TEXT_SIZE];
    size_t used;
};

// Line ends: "\r\n\r\n" on the controller, enclosure and cache-backup panes, "\r\n" elsewhere.
enum PaneLineEnd { PANE_SINGLE = 0, PANE_DOUBLE = 1 };

#ifdef __cplusplus
extern "C" {
#endif

void PaneReset(PaneText *pane);
void PaneAdd(PaneText *pane, const char *format, ...);
// "label<tabs>: value" and the line end; the tabs bring the colons of a pane into one column.
void PaneLine(PaneText *pane, int lineEnd, const char *label, const char *format, ...);

// Controller: left pane (general and error information) and right pane (firmware, settings,
// advanced options). 0 when a query failed (traced; the caller ends the program).
int BuildCtrlInfoPanes(uint8_t contNo, const ContData *record, PaneText *left, PaneText *right);
// Enclosures: general and component information left, sensors right; unreadable parts are left out.
int BuildEnclInfoPanes(uint8_t contNo, PaneText *left, PaneText *right);
// Cache backup unit; 0 when a query failed (traced).
int BuildCacheBkupPane(uint8_t contNo, PaneText *pane);
int BuildLdPropertiesPane(ContData *records, uint8_t contNo, uint8_t targetId, PaneText *pane);
int BuildPdPropertiesPane(const ContData *record, uint8_t contNo, uint8_t slot, PaneText *pane);
// Snapshot base or repository LD (whichever the LD is); 0 when it is neither.
int BuildSnapshotInfoPane(const ContData *record, uint8_t contNo, uint8_t targetId, PaneText *pane);
// A view of a base LD, by the view's target id; 0 when the base has no such view.
int BuildViewInfoPane(const ContData *record, uint8_t contNo, uint8_t baseTargetId, uint8_t viewTargetId,
                      PaneText *pane);

#ifdef __cplusplus
}
#endif

#endif
