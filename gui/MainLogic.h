// Decisions of the main window that need no window: which tabs exist and in which order, which
// page a timer tick refreshes, what a power broadcast does to the timer, and the start-up steps.
#ifndef ZAV_GUI_MAINLOGIC_H
#define ZAV_GUI_MAINLOGIC_H

#include <stdint.h>

struct ContData;

struct TabRow {
    int kind;           // GuiPageKind
    uint16_t template_; // dialog template
    uint16_t face;      // normal face bitmap
    uint16_t faceSel;   // selected face bitmap
    const char *text;   // face text (also the tab item's text, for screen readers and tests)
};

enum { TIMER_KEEP = 0, TIMER_KILL = 1, TIMER_START = 2 };
enum PowerEvent { POWER_QUERY_SUSPEND = 0, POWER_QUERY_SUSPEND_FAILED = 1, POWER_SUSPEND = 2, POWER_RESUME = 3 };

#ifdef __cplusplus
extern "C" {
#endif

int CtrlSupportsSnapshot(const ContData *record);
// Rows of the tab strip in order; the Snapshot row only when the controller supports snapshots.
int BuildTabTable(int snapshotSupported, TabRow *rows, int maxRows);
const TabRow *TabRowOfKind(int kind);
// Position in the page table of the page with the given face, -1 when absent.
int FindPageByFace(uint16_t face);
// Position at which the Snapshot tab goes: in front of Maintenance.
int SnapshotInsertPosition(void);
// +1: insert the Snapshot tab, -1: remove it, 0: leave the strip as it is.
int SnapshotTabChange(int oldHad, int newHas);

// Timer tick: the page index to post a timer refresh to, or -1. While an action runs the tick
// is remembered and handed out by ActionEnd instead.
int TimerRefreshTarget(int selectedTab);
// Power broadcast: what happens to timer 1; sets and clears the suspended flag.
int OnPowerEvent(int event);

// Main window start-up after the common controls: library, controllers, first refresh. Each
// failure has shown its fatal box; returns 1 when the pages may be built.
int InitControllers(void);

#ifdef __cplusplus
}
#endif

#endif
