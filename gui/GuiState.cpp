// The one state record of zavgui and the small rules that go with it: marks per controller and
// the action bracket that holds timer refreshes back while an action runs.
#include "gui/GuiState.h"

#include <string.h>

GuiState g_gui;
ContData g_records[GUI_MAX_CONTROLLERS];

static uint8_t g_spareMarks[GUI_OPERATION_MARKS];
static uint8_t g_sparePatrol;

void GuiStateReset(void)
{
    memset(&g_gui, 0, sizeof(g_gui));
}

ContData *CurrentRecord(void)
{
    return &g_records[g_gui.currentCtrl];
}

uint8_t *CurrentOperationMarks(void)
{
    if (g_gui.currentCtrl >= GUI_CTRL_LIMIT) {
        memset(g_spareMarks, 0, sizeof(g_spareMarks));
        return g_spareMarks;
    }
    return g_gui.operationMarks[g_gui.currentCtrl];
}

uint8_t *CurrentPatrolFlag(void)
{
    if (g_gui.currentCtrl >= GUI_CTRL_LIMIT) {
        g_sparePatrol = 0;
        return &g_sparePatrol;
    }
    return &g_gui.patrolReadStarted[g_gui.currentCtrl];
}

void ActionBegin(void)
{
    g_gui.actionDepth++;
}

int ActionEnd(void)
{
    if (g_gui.actionDepth > 0)
        g_gui.actionDepth--;
    return g_gui.actionDepth == 0 && g_gui.timerRefreshPending;
}

int TakeHeldTimerRefresh(void)
{
    if (g_gui.actionDepth > 0 || !g_gui.timerRefreshPending)
        return 0;
    g_gui.timerRefreshPending = 0;
    return 1;
}

int ActionRunning(void)
{
    return g_gui.actionDepth > 0;
}

int RefreshCurrentRecord(void)
{
    return UpdateDriveInfoGui(g_records, g_gui.ctrlCount, g_gui.currentCtrl);
}
