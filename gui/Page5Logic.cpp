// Maintenance page logic. Every action checks all selected LDs before it sends anything, stops at
// the first refusal with one box under the "Maintenance" caption, and leaves started operations
// marked for the completion notice.
#include "gui/Page5Logic.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/DriveLetters.h"
#include "common/EventLog.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

const ListColumn kLdColumns[LD_COLUMNS] = {
    {"LD No.", 48}, {"State", 60}, {"Progress", 126}, {"Error", 107}};
const ListColumn kMaintPdColumns[MAINT_PD_COLUMNS] = {
    {"PD No.", 47}, {"LD No.", 96}, {"RG No.", 48}, {"State", 93}, {"Progress", 107}};

static const uint16_t kCaption = IDS_CAPTION_MAINTENANCE;

static void WaitReal(unsigned milliseconds)
{
    GuiSleep(milliseconds);
}
static GuiWaitFn g_wait = WaitReal;

void SetGuiWait(GuiWaitFn wait)
{
    g_wait = wait ? wait : WaitReal;
}

// ---- rows ----------------------------------------------------------------------------------

int BuildLdRows(const ContData *record, LdRow *rows, int maxRows)
{
    int n = 0;
    for (uint32_t i = 0; record->ldList && i < record->ldList->count && i < (uint32_t)LD_MAX && n < maxRows; i++) {
        uint8_t t = record->ldList->entries[i].targetId;
        if (t >= CONTDATA_LD_TARGETS)
            continue;
        LdRow *row = &rows[n++];
        row->target = t;
        snprintf(row->cells[0], LD_CELL_SIZE, "LD%u", (unsigned)t);
        LdStateText(row->cells[1], LD_CELL_SIZE, record, t);
        LdProgressText(row->cells[2], LD_CELL_SIZE, record, t);
        LdErrorText(row->cells[3], LD_CELL_SIZE, record->ldInfo[t]);
    }
    return n;
}

int BuildMaintPdRows(const ContData *record, PdRow *rows, int maxRows)
{
    int n = BuildPdRows(record, rows, maxRows);
    for (int i = 0; i < n; i++) {
        // State stays in cell 3; the type and capacity cells give way to the progress.
        if (rows[i].present && rows[i].cells[1][0] != '-')
            PdOperationText(rows[i].cells[4], PD_CELL_SIZE, record, rows[i].slot);
        else
            snprintf(rows[i].cells[4], PD_CELL_SIZE, "-");
        rows[i].cells[5][0] = '\0';
    }
    return n;
}

// ---- shared steps --------------------------------------------------------------------------

static uint8_t Ctrl(void)
{
    return g_gui.currentCtrl;
}

static void TraceFailure(const char *func, const char *what, unsigned target)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", func, what, (unsigned)Ctrl(), target);
}

static int Refuse(void *owner, uint16_t textId)
{
    ShowErrorBox(owner, textId, kCaption);
    return 0;
}

static void BeginAction(const char *func, const char *startText)
{
    ZAV_TRACE("", "func=%s: %s, contNo=%u", func, startText, (unsigned)Ctrl());
    ActionBegin();
    BeginWaitCursor();
}

static int EndAction(int result)
{
    EndWaitCursor();
    ActionEnd();
    return result;
}

// ---- rebuild -------------------------------------------------------------------------------

// Slots of the LD's members that allow a manual rebuild; -1 when a query failed.
static int RebuildCandidates(const char *func, uint8_t target, uint8_t *slots)
{
    uint8_t members[PD_IN_LD_SIZE];
    if (SLGetPDInLD(Ctrl(), target, members) != 0) {
        TraceFailure(func, "SLGetPDInLD error", target);
        return -1;
    }
    uint32_t count = LayoutU32(members, PIL_COUNT);
    int n = 0;
    for (uint32_t m = 0; m < count && m < (uint32_t)PIL_MAX; m++) {
        uint16_t deviceId = LayoutU16(members, PIL_DEVICE_IDS + 2 * m);
        if (deviceId == ARM_DEVICE_MISSING)
            continue;
        uint8_t slot = 0;
        uint32_t allowed = 0;
        if (SLGetSlotNo(Ctrl(), deviceId, &slot) != 0) {
            TraceFailure(func, "SLGetSlotNo error", target);
            return -1;
        }
        if (SLGetPDAllowedOperation(Ctrl(), slot, &allowed) != 0) {
            TraceFailure(func, "SLGetPDAllowedOperation error", target);
            return -1;
        }
        if (allowed & PD_ALLOW_START_REBUILD)
            slots[n++] = slot;
    }
    return n;
}

// A RAID0 LD anywhere in the selection refuses the whole rebuild, whatever its position, so the
// administrator learns the real reason rather than a member check of another LD.
static int CheckRebuild(void *owner, const uint8_t *targets, int count)
{
    static const char func[] = "OnRebuildBtnClicked";
    for (int i = 0; i < count; i++) {
        uint8_t info[LD_INFO_SIZE];
        if (SLGetLDInfo(Ctrl(), targets[i], info) != 0) {
            TraceFailure(func, "SLGetLDInfo error", targets[i]);
            return Refuse(owner, IDS_REBUILD_START_FAILED);
        }
        if (LdRaidLevel(info) == RAIDLVL_0)
            return Refuse(owner, IDS_REBUILD_RAID0);
    }
    for (int i = 0; i < count; i++) {
        uint8_t slots[PIL_MAX];
        int n = RebuildCandidates(func, targets[i], slots);
        if (n <= 0)
            return Refuse(owner, IDS_REBUILD_START_FAILED);
    }
    return 1;
}

int OnRebuildBtnClicked(void *owner, const uint8_t *targets, int count)
{
    static const char func[] = "OnRebuildBtnClicked";
    BeginAction(func, "StartRebuild start");
    if (!CheckRebuild(owner, targets, count))
        return EndAction(0);
    uint8_t *marks = CurrentOperationMarks();
    for (int i = 0; i < count; i++) {
        uint8_t slots[PIL_MAX];
        int n = RebuildCandidates(func, targets[i], slots);
        if (n <= 0)
            return EndAction(Refuse(owner, IDS_REBUILD_START_FAILED));
        for (int k = 0; k < n; k++) {
            if (SLStartRebuild(Ctrl(), slots[k]) != 0) {
                TraceFailure(func, "SLStartRebuild error", targets[i]);
                return EndAction(Refuse(owner, IDS_REBUILD_START_FAILED));
            }
        }
        marks[targets[i]] = MARK_REBUILD;
    }
    return EndAction(1);
}

// ---- consistency check ---------------------------------------------------------------------

int OnChkConsistencyBtnClicked(void *owner, const uint8_t *targets, int count)
{
    static const char func[] = "OnChkConsistencyBtnClicked";
    BeginAction(func, "StartCheckConsistency start");
    for (int i = 0; i < count; i++) {
        uint8_t info[LD_INFO_SIZE];
        if (SLGetLDInfo(Ctrl(), targets[i], info) != 0) {
            TraceFailure(func, "SLGetLDInfo error", targets[i]);
            return EndAction(Refuse(owner, IDS_CC_START_FAILED));
        }
        if (LdRaidLevel(info) == RAIDLVL_0)
            return EndAction(Refuse(owner, IDS_CC_RAID0));
        if (!(LayoutU32(info, LI_ALLOWED_OPS) & LD_ALLOW_START_CC))
            return EndAction(Refuse(owner, IDS_CC_START_FAILED));
    }
    uint8_t *marks = CurrentOperationMarks();
    for (int i = 0; i < count; i++) {
        if (SLStartCheckConsistency(Ctrl(), targets[i]) != 0) {
            TraceFailure(func, "SLStartCheckConsistency error", targets[i]);
            return EndAction(Refuse(owner, IDS_CC_START_FAILED));
        }
        marks[targets[i]] = MARK_CC;
    }
    return EndAction(1);
}

// ---- initialization ------------------------------------------------------------------------

static uint16_t InitRefusal(uint8_t target)
{
    static const char func[] = "OnInitializeBtnClicked";
    uint8_t info[LD_INFO_SIZE];
    if (SLGetLDInfo(Ctrl(), target, info) != 0) {
        TraceFailure(func, "SLGetLDInfo error", target);
        return IDS_INIT_START_FAILED;
    }
    if (LdHoldsSystemVolume(CurrentRecord(), target))
        return IDS_OS_LD_NO_INIT;
    if (info[LI_CACHECADE] != 0)
        return IDS_CACHECADE_NO_INIT;
    if (info[LI_SNAPSHOT_BASE] != 0 || (info[LI_REPOSITORY] & 1) != 0)
        return IDS_SNAPSHOT_NO_INIT;
    uint32_t allowed = 0;
    if (SLGetLDAllowedOperation(Ctrl(), target, &allowed) != 0) {
        TraceFailure(func, "SLGetLDAllowedOperation error", target);
        return IDS_INIT_START_FAILED;
    }
    if (!(allowed & LD_ALLOW_START_INIT))
        return IDS_INIT_START_FAILED;
    return 0;
}

// An LD with a drive letter carries a mounted volume; initialization wipes it.
static int AnyMounted(const uint8_t *targets, int count)
{
    for (int i = 0; i < count; i++)
        if (targets[i] < CONTDATA_LD_TARGETS && CurrentRecord()->driveLetters[targets[i]][0] != '\0')
            return 1;
    return 0;
}

int OnInitializeBtnClicked(void *owner, const uint8_t *targets, int count)
{
    static const char func[] = "OnInitializeBtnClicked";
    BeginAction(func, "StartInitialization start");
    for (int i = 0; i < count; i++) {
        uint16_t refusal = InitRefusal(targets[i]);
        if (refusal)
            return EndAction(Refuse(owner, refusal));
    }
    if (AnyMounted(targets, count) && AskOkCancel(owner, IDS_INIT_MOUNTED_ASK, kCaption) != BOX_OK)
        return EndAction(0);
    uint8_t *marks = CurrentOperationMarks();
    for (int i = 0; i < count; i++) {
        if (SLStartInitialization(Ctrl(), targets[i]) != 0) {
            TraceFailure(func, "SLStartInitialization error", targets[i]);
            return EndAction(Refuse(owner, IDS_INIT_START_FAILED));
        }
        marks[targets[i]] = MARK_INIT;
    }
    return EndAction(1);
}

// ---- stop ----------------------------------------------------------------------------------

static int ReadLdActive(const char *func, uint8_t target, uint32_t *active, uint16_t *initProgress)
{
    uint8_t progress[LD_PROGRESS_SIZE];
    if (SLGetLdProggress(Ctrl(), target, progress) != 0) {
        TraceFailure(func, "SLGetLdProggress error", target);
        return 0;
    }
    *active = LayoutU32(progress, LPG_ACTIVE);
    if (initProgress)
        *initProgress = LayoutU16(progress, LPG_INIT_PROGRESS);
    return 1;
}

static void WaitInitializationStopped(const char *func, uint8_t target)
{
    for (int step = 0; step < STOP_WAIT_STEPS; step++) {
        g_wait(STOP_WAIT_MS);
        uint32_t active = 0;
        uint16_t progress = 0;
        if (!ReadLdActive(func, target, &active, &progress))
            return;
        if (!(active & LD_OP_INIT) || progress == 0)
            return;
    }
}

static int StopOne(void *owner, uint8_t target, uint32_t active)
{
    static const char func[] = "OnStopBtnClicked";
    if (active & LD_OP_INIT) {
        if (SLCancelInitialization(Ctrl(), target) != 0) {
            TraceFailure(func, "SLCancelInitialization error", target);
            return Refuse(owner, IDS_INIT_STOP_FAILED);
        }
        WaitInitializationStopped(func, target);
    } else if (active & LD_OP_CC) {
        if (SLCancelCheckConsistency(Ctrl(), target) != 0) {
            TraceFailure(func, "SLCancelCheckConsistency error", target);
            return Refuse(owner, IDS_CC_STOP_FAILED);
        }
    }
    CurrentOperationMarks()[target] = MARK_NONE;
    return 1;
}

int OnStopBtnClicked(void *owner, const uint8_t *targets, int count)
{
    static const char func[] = "OnStopBtnClicked";
    BeginAction(func, "Cancel(Initialize/CheckConsistency) start");
    for (int i = 0; i < count; i++) {
        uint8_t running = 0;
        if (SLIsDuringRebuildCopyback(Ctrl(), targets[i], &running) != 0) {
            TraceFailure(func, "SLIsDuringRebuildCopyback error", targets[i]);
            ShowInfoBox(owner, IDS_STOP_ALREADY_FINISHED, kCaption);
            return EndAction(0);
        }
        if (running) {
            ShowInfoBox(owner, IDS_CANNOT_STOP_REBUILD, kCaption);
            return EndAction(0);
        }
    }
    uint32_t active[LD_MAX];
    int anyInit = 0;
    for (int i = 0; i < count && i < LD_MAX; i++) {
        if (!ReadLdActive(func, targets[i], &active[i], NULL) || !(active[i] & (LD_OP_INIT | LD_OP_CC))) {
            ShowInfoBox(owner, IDS_STOP_ALREADY_FINISHED, kCaption);
            return EndAction(0);
        }
        anyInit |= (active[i] & LD_OP_INIT) != 0;
    }
    if (anyInit)
        ShowInfoBox(owner, IDS_STOP_INIT_WAIT, kCaption);
    for (int i = 0; i < count && i < LD_MAX; i++)
        if (!StopOne(owner, targets[i], active[i]))
            return EndAction(0);
    return EndAction(1);
}

// ---- patrol read ---------------------------------------------------------------------------

enum { LD_ACTIVE_BLOCKS_PATROL = LD_OP_CC | LD_OP_INIT | (1u << 3) };

static PdList *ReadPdListOrFail(const char *func, const char *failText)
{
    PdList *list = (PdList *)calloc(1, sizeof(PdList));
    if (!list) {
        ReportWinApiError(2, 12);
        return NULL;
    }
    if (SLGetPDList(Ctrl(), list) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", func, failText, (unsigned)Ctrl());
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        free(list);
        return NULL;
    }
    return list;
}

// 1 when no LD runs anything a patrol read must wait for; 0 after a refusal, -1 after a fatal box.
static int NoLdBusy(void *owner, const char *func)
{
    LdList lds;
    if (SLGetLDList(Ctrl(), &lds) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", func, "SLGetLDList error", (unsigned)Ctrl());
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return -1;
    }
    for (uint32_t i = 0; i < lds.count && i < (uint32_t)LD_MAX; i++) {
        uint8_t t = lds.entries[i].targetId;
        uint32_t active = 0;
        uint8_t rebuilding = 0;
        if (!ReadLdActive(func, t, &active, NULL))
            return Refuse(owner, IDS_PATROL_START_FAILED);
        if (SLIsDuringRebuildCopyback(Ctrl(), t, &rebuilding) != 0) {
            TraceFailure(func, "SLIsDuringRebuildCopyback error", t);
            return Refuse(owner, IDS_PATROL_START_FAILED);
        }
        if ((active & LD_ACTIVE_BLOCKS_PATROL) || rebuilding)
            return Refuse(owner, IDS_PATROL_START_FAILED);
    }
    return 1;
}

// 1 when a disk PD is a hot spare or online (something a patrol read can read).
static int HasReadablePd(void *owner, const char *func, const PdList *list)
{
    for (uint32_t i = 0; i < list->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *e = &list->entries[i];
        if (e->scsiDevType != 0)
            continue;
        uint8_t info[PD_INFO_SIZE];
        if (SLGetPDInfo(Ctrl(), e->slotNumber, info) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", func, "SLGetPDInfo error", (unsigned)Ctrl(),
                      (unsigned)e->slotNumber);
            return Refuse(owner, IDS_PATROL_START_FAILED);
        }
        uint16_t state = LayoutU16(info, PI_FW_STATE);
        if (state == PD_STATE_HOT_SPARE || state == PD_STATE_ONLINE)
            return 1;
    }
    return Refuse(owner, IDS_PATROL_START_FAILED);
}

int OnPatrolReadBtnClicked(void *owner)
{
    static const char func[] = "OnPatrolReadBtnClicked";
    BeginAction(func, "StartPatrolRead start");
    PdList *list = ReadPdListOrFail(func, "SLGetPDList error");
    if (!list)
        return EndAction(0);
    int ok = NoLdBusy(owner, func) == 1 && HasReadablePd(owner, func, list);
    free(list);
    if (!ok)
        return EndAction(0);
    if (SLStartPatrolReadOpe(Ctrl()) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", func, "SLStartPatrolReadOpe error", (unsigned)Ctrl());
        return EndAction(Refuse(owner, IDS_PATROL_START_FAILED));
    }
    *CurrentPatrolFlag() = 1;
    return EndAction(1);
}

// 1 when the PD's patrol-read bit is set, 0 when clear, -1 when its progress cannot be read.
static int PatrolRunsOn(const char *func, uint8_t slot)
{
    uint8_t progress[PD_PROGRESS_SIZE];
    if (SLGetPdProggress(Ctrl(), slot, progress) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", func, "SLGetPdProggress error", (unsigned)Ctrl(),
                  (unsigned)slot);
        return -1;
    }
    return (LayoutU32(progress, PPG_ACTIVE) & PD_PROG_PATROL) ? 1 : 0;
}

static void WaitPatrolStopped(const char *func, const PdList *list)
{
    for (uint32_t i = 0; i < list->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *e = &list->entries[i];
        if (e->scsiDevType != 0)
            continue;
        for (int step = 0; step < STOP_WAIT_STEPS && PatrolRunsOn(func, e->slotNumber) == 1; step++)
            g_wait(STOP_WAIT_MS);
    }
}

int OnPRStopClicked(void *owner)
{
    static const char func[] = "OnPRStopClicked";
    BeginAction(func, "StopPatrolRead start");
    PdList *list = ReadPdListOrFail(func, "SLGetPDList eError");
    if (!list)
        return EndAction(0);
    int found = 0;
    for (uint32_t i = 0; i < list->count && i < (uint32_t)PD_LIST_MAX && !found; i++) {
        if (list->entries[i].scsiDevType != 0)
            continue;
        int runs = PatrolRunsOn(func, list->entries[i].slotNumber);
        if (runs < 0)
            break;
        found = runs;
    }
    if (!found) {
        free(list);
        return EndAction(Refuse(owner, IDS_PATROL_STOP_FAILED));
    }
    if (SLStopPatrolReadOpe(Ctrl()) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", func, "SLStopPatrolReadOpe error", (unsigned)Ctrl());
        free(list);
        return EndAction(Refuse(owner, IDS_PATROL_STOP_FAILED));
    }
    WaitPatrolStopped(func, list);
    free(list);
    *CurrentPatrolFlag() = 0;
    return EndAction(1);
}

// ---- test event ----------------------------------------------------------------------------

uint32_t TestEventCodeOf(int radio)
{
    switch (radio) {
    case EVENT_RADIO_WARNING:
        return TEST_EVENT_WARNING;
    case EVENT_RADIO_INFORMATION:
        return TEST_EVENT_INFORMATION;
    default:
        return TEST_EVENT_ERROR;
    }
}

int OnEventSettingBtnClicked(void *owner, int radio)
{
    static const char func[] = "OnEventSettingBtnClicked";
    uint32_t code = TestEventCodeOf(radio);
    ZAV_TRACE("", "func=%s: %s, contNo=%u, eventCode=%u", func, "XeltLogEvent start", (unsigned)Ctrl(),
              (unsigned)code);
    ActionBegin();
    uint32_t systemError = 0;
    int reported = ReportTestEvent(func, code, &systemError);
    if (reported > 0) {
        ShowInfoBox(owner, IDS_TEST_EVENT_DONE, kCaption);
        ZAV_TRACE("", "func=%s: %s, contNo=%u, eventCode=%u", func, "XeltLogEvent finish", (unsigned)Ctrl(),
                  (unsigned)code);
    } else if (reported < 0) {
        // The event log refused the entry: saying it was registered would send the
        // administrator to look for an event that does not exist.
        ShowErrorBoxFmt(owner, IDS_TEST_EVENT_FAILED, kCaption, systemError, 0);
    }
    ActionEnd();
    return reported > 0;
}

// What the page-start read of the event table left to tell (an EVENT_READ_ value).
static int g_eventTableProblem;

void LoadPageEventTable(void)
{
    g_eventTableProblem = ReadEventInfo() ? EVENT_READ_OK : LastEventReadError();
}

int ReportEventTableProblem(void *owner)
{
    int problem = g_eventTableProblem;
    g_eventTableProblem = EVENT_READ_OK;
    if (problem == EVENT_READ_OK)
        return 0;
    ActionBegin();
    ShowErrorBox(owner, problem == EVENT_READ_OPEN_ERROR ? IDS_EVENT_TABLE_MISSING : IDS_EVENT_TABLE_MALFORMED, kCaption);
    ActionEnd();
    return 1;
}
