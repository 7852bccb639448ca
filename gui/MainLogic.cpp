// Main-window decisions kept apart from the window: tab table, timer target, power events and
// the controller start-up with its fatal boxes.
#include "gui/MainLogic.h"

#include <string.h>

#include "common/ContData.h"
#include "common/Discovery.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/resource.h"

static const TabRow kTabRows[] = {
    {PAGE_DASHBOARD,   IDD_PAGE0, IDB_FACE_DASHBOARD,   IDB_FACE_DASHBOARD_SEL,   "Dashboard"},
    {PAGE_CREATE_LD,   IDD_PAGE1, IDB_FACE_CREATE_LD,   IDB_FACE_CREATE_LD_SEL,   "Create LD"},
    {PAGE_DELETE_LD,   IDD_PAGE2, IDB_FACE_DELETE_LD,   IDB_FACE_DELETE_LD_SEL,   "Delete LD"},
    {PAGE_HOT_SPARE,   IDD_PAGE3, IDB_FACE_HOT_SPARE,   IDB_FACE_HOT_SPARE_SEL,   "Hot Spare"},
    {PAGE_RESTORE_LD,  IDD_PAGE4, IDB_FACE_RESTORE_LD,  IDB_FACE_RESTORE_LD_SEL,  "Restore LD"},
    {PAGE_SNAPSHOT,    IDD_PAGE6, IDB_FACE_SNAPSHOT,    IDB_FACE_SNAPSHOT_SEL,    "Snapshot"},
    {PAGE_MAINTENANCE, IDD_PAGE5, IDB_FACE_MAINTENANCE, IDB_FACE_MAINTENANCE_SEL, "Maintenance"},
};
enum { TAB_ROWS = sizeof(kTabRows) / sizeof(kTabRows[0]) };

enum { ADAPTER_OP_SNAPSHOT = 1u << 30 };

int CtrlSupportsSnapshot(const ContData *record)
{
    return (LayoutU32(record->ctrlInfo, CI_ADAPTER_OPS) & ADAPTER_OP_SNAPSHOT) ? 1 : 0;
}

int BuildTabTable(int snapshotSupported, TabRow *rows, int maxRows)
{
    int n = 0;
    for (int i = 0; i < TAB_ROWS && n < maxRows; i++) {
        if (kTabRows[i].kind == PAGE_SNAPSHOT && !snapshotSupported)
            continue;
        rows[n++] = kTabRows[i];
    }
    return n;
}

const TabRow *TabRowOfKind(int kind)
{
    for (int i = 0; i < TAB_ROWS; i++)
        if (kTabRows[i].kind == kind)
            return &kTabRows[i];
    return NULL;
}

int FindPageByFace(uint16_t face)
{
    for (int i = 0; i < g_gui.pageCount; i++)
        if (g_gui.pages[i].face == face)
            return i;
    return -1;
}

int SnapshotInsertPosition(void)
{
    int maintenance = FindPageByFace(IDB_FACE_MAINTENANCE);
    return maintenance < 0 ? g_gui.pageCount : maintenance;
}

int SnapshotTabChange(int oldHad, int newHas)
{
    if (oldHad && !newHas)
        return -1;
    if (!oldHad && newHas)
        return 1;
    return 0;
}

int TimerRefreshTarget(int selectedTab)
{
    if (g_gui.suspended)
        return -1;
    int maintenance = FindPageByFace(IDB_FACE_MAINTENANCE);
    if (maintenance < 0 || selectedTab != maintenance)
        return -1;
    if (ActionRunning()) {
        g_gui.timerRefreshPending = 1;
        return -1;
    }
    return maintenance;
}

int OnPowerEvent(int event)
{
    switch (event) {
    case POWER_QUERY_SUSPEND:
        return TIMER_KILL;
    case POWER_QUERY_SUSPEND_FAILED:
        return TIMER_START;
    case POWER_SUSPEND:
        g_gui.suspended = 1;
        return TIMER_KEEP;
    case POWER_RESUME:
        g_gui.suspended = 0;
        return TIMER_START;
    default:
        return TIMER_KEEP;
    }
}

static void OnDiscoveryNotice(int notice, uint32_t value)
{
    switch (notice) {
    case DISCOVERY_LIBRARY_ERROR:
        ShowFatalMessage(IDS_FATAL_INIT_FAILED, 0);
        break;
    case DISCOVERY_CTRL_LIST_ERROR:
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        break;
    case DISCOVERY_NO_CONTROLLER:
        ShowFatalMessage(IDS_FATAL_NO_CONTROLLER, 0);
        break;
    case DISCOVERY_OVER_LIMIT:
        ShowFatalMessage(IDS_FATAL_OVER_LIMIT, value);
        break;
    default:
        // Registry notices (device map, ports) are traced by discovery and need no box here.
        break;
    }
}

static void OnAllocFail(void)
{
    ReportWinApiError(2, 12);
}

int InitControllers(void)
{
    SetDiscoveryNotifier(OnDiscoveryNotice);
    uint16_t count = 0;
    uint8_t current = 0;
    int ok = InitDPXCont(g_records, &count, &current, OnAllocFail);
    g_gui.ctrlCount = count;
    g_gui.currentCtrl = current;
    if (!ok && g_gui.fatalShown)
        return 0;
    if (!ok && count == 0)
        return 0;
    // Left: the device map could not be read. The controllers still answer; only the drive
    // letters of their LDs stay unknown, which is no reason to refuse the whole tool.
    // The first refresh failing would leave an empty window behind; it is fatal like the others.
    if (!RefreshCurrentRecord()) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "InitDialog", "UpdateDriveInfo error");
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return 0;
    }
    return 1;
}
