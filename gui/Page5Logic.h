// Maintenance page logic: its LD and PD rows, and the rebuild, consistency check, initialization,
// stop, patrol read and test event actions with their checks, marks and boxes.
#ifndef ZAV_GUI_PAGE5LOGIC_H
#define ZAV_GUI_PAGE5LOGIC_H

#include <stdint.h>

#include "gui/Page0Logic.h"

struct ContData;

enum { LD_COLUMNS = 4, LD_CELL_SIZE = 160, MAINT_PD_COLUMNS = 5, STOP_WAIT_STEPS = 30, STOP_WAIT_MS = 100 };

struct LdRow {
    uint8_t target;
    char cells[LD_COLUMNS][LD_CELL_SIZE];
};

struct ListColumn {
    const char *title;
    int width;
};
extern const ListColumn kLdColumns[LD_COLUMNS];
extern const ListColumn kMaintPdColumns[MAINT_PD_COLUMNS];

// Test-event radio buttons, in the order they sit on the page.
enum { EVENT_RADIO_ERROR = 0, EVENT_RADIO_WARNING = 1, EVENT_RADIO_INFORMATION = 2 };

// The pause between two progress reads of a stop (tests make it instant).
typedef void (*GuiWaitFn)(unsigned milliseconds);
#ifdef __cplusplus
extern "C" {
#endif

void SetGuiWait(GuiWaitFn wait); // null restores the real pause

int BuildLdRows(const ContData *record, LdRow *rows, int maxRows);
// PD rows of the maintenance list: PD No., LD No., RG No., State, Progress (cells 0 to 4).
int BuildMaintPdRows(const ContData *record, PdRow *rows, int maxRows);

// Actions on the selected LDs (target ids in list order). Each returns 1 when everything it set
// out to start or stop was sent, 0 when it stopped with a box.
int OnRebuildBtnClicked(void *owner, const uint8_t *targets, int count);
int OnChkConsistencyBtnClicked(void *owner, const uint8_t *targets, int count);
int OnInitializeBtnClicked(void *owner, const uint8_t *targets, int count);
int OnStopBtnClicked(void *owner, const uint8_t *targets, int count);
int OnPatrolReadBtnClicked(void *owner);
int OnPRStopClicked(void *owner);
// The event code of the ticked radio button; reads nothing, reports through the event log.
uint32_t TestEventCodeOf(int radio);
int OnEventSettingBtnClicked(void *owner, int radio);

// The event table is read when the page starts; a missing or malformed file is told once, when
// the page is first shown (a box at start-up would stand in front of an empty window).
void LoadPageEventTable(void);
// Shows the box of a failed read once; returns 1 when it showed one.
int ReportEventTableProblem(void *owner);

#ifdef __cplusplus
}
#endif

#endif
