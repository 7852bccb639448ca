// The one state record of zavgui: controller records, current controller, pages of the tab strip,
// flags of the main window, and the per-controller operation marks read by the completion check.
#ifndef ZAV_GUI_GUISTATE_H
#define ZAV_GUI_GUISTATE_H

#include <stdint.h>

#include "common/ContData.h"

enum {
    GUI_MAX_PAGES = 7,
    GUI_OPERATION_MARKS = 64,
    GUI_CTRL_LIMIT = 4,
    GUI_TIMER_ID = 1,
    GUI_TIMER_MS = 30000
};

// Page protocol: WM_USER (0x0400) with wParam 0; lParam says why the page rebuilds itself.
enum { GUI_PAGE_REFRESH = 0x0400 };
enum { GUI_REFRESH_FULL = 0, GUI_REFRESH_TIMER = 1 };

// What each tab is, independent of its position in the strip.
enum GuiPageKind {
    PAGE_DASHBOARD = 0,
    PAGE_CREATE_LD = 1,
    PAGE_DELETE_LD = 2,
    PAGE_HOT_SPARE = 3,
    PAGE_RESTORE_LD = 4,
    PAGE_MAINTENANCE = 5,
    PAGE_SNAPSHOT = 6
};

// Operation marks: what the Maintenance page started on an LD.
enum { MARK_NONE = 0, MARK_INIT = 1, MARK_CC = 2, MARK_REBUILD = 3 };

struct GuiPage {
    void *window;       // child dialog (HWND)
    int kind;           // GuiPageKind
    uint16_t template_; // dialog template id
    uint16_t face;      // tab face bitmap, normal state
    uint16_t faceSel;   // tab face bitmap, selected state
};

struct GuiState {
    uint8_t currentCtrl;
    uint16_t ctrlCount;
    void *mainWindow;
    void *instance;
    GuiPage pages[GUI_MAX_PAGES];
    int pageCount;
    int lastSelectedTab;
    int suspended;
    int fatalShown;
    void *dialogBrush;  // RGB(212, 213, 184)
    void *whiteBrush;
    void *tabImages;
    // Kept per controller, so a controller change neither loses nor invents a finished notice.
    uint8_t operationMarks[GUI_CTRL_LIMIT][GUI_OPERATION_MARKS];
    uint8_t patrolReadStarted[GUI_CTRL_LIMIT];
    // A timer refresh that arrives while an action runs (or its box is open) waits for its end.
    int actionDepth;
    int timerRefreshPending;
};

extern GuiState g_gui;
extern ContData g_records[GUI_MAX_CONTROLLERS];

#ifdef __cplusplus
extern "C" {
#endif

void GuiStateReset(void);
ContData *CurrentRecord(void);

// The current controller's marks (never null; a controller number out of range gets a spare row).
uint8_t *CurrentOperationMarks(void);
uint8_t *CurrentPatrolFlag(void);

// Action bracket: a page calls ActionBegin before its first box or command and ActionEnd after
// its last; ActionEnd returns 1 when a timer refresh was held back and is now due.
// TakeHeldTimerRefresh hands that refresh out once (the page then posts it).
void ActionBegin(void);
int ActionEnd(void);
int ActionRunning(void);
int TakeHeldTimerRefresh(void);

// Re-reads the current controller's record (1 on success, 0 when the controller did not answer).
int RefreshCurrentRecord(void);

#ifdef __cplusplus
}
#endif

#endif
