// Checks an LD passes before initialization or a consistency check starts or stops, or before it
// is deleted, with their refusal texts, and the checks before patrol read starts or stops; both
// tools decide with them.
#include "common/LdChecks.h"

#include <stddef.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/DriveLetters.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

static const LdOperationTexts kLdOperation[2] = {
    {"Initialization", LD_PROG_INIT,
     "Error - Controller[%d] Failed to start Initialization.\nPlease confirm LD(Logical Drive) state.",
     "Error - Controller[%d] Failed to stop Initialization.\nPlease confirm whether to have already ended.",
     "Information - Controller[%d] Already finished(Initialization).",
     "Information - Controller[%d] Start Initialization on LD(Logical Drive) %s.\n"
     "Please confirm the progress by \"ldpdprog\" command."},
    {"Check Consistency", LD_PROG_CC,
     "Error - Controller[%d] Failed to start Check Consistency.\nPlease confirm LD(Logical Drive) state.",
     "Error - Controller[%d] Failed to stop Check Consistency.\nPlease confirm whether to have already ended.",
     "Information - Controller[%d] Already finished(Check Consistency).",
     "Information - Controller[%d] Start Check Consistency on LD(Logical Drive) %s.\n"
     "Please confirm the progress by \"ldpdprog\" command."},
};

static LdCheck CheckResult(int result, const char *text)
{
    LdCheck check = {result, text};
    return check;
}

static LdCheck CheckInitStart(ContData *record, uint8_t contNo, uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    AssignDriveLetters(record, target);
    if (LdHoldsSystemVolume(record, target))
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Error - Controller[%d] Cannot initialize OS LD(Logical Drive).");
    if (LdIsCacheCade(ldInfo))
        return CheckResult(LD_CHECK_NOT_APPLICABLE,
                           "Error - Controller[%d] CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.");
    if (LdIsSnapshotBase(ldInfo) || LdIsRepository(ldInfo) || ldInfo[LI_IS_VIEW] != 0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE,
                           "Error - Controller[%d] Snapshot Base/Repository LD[s](Logical Drive[s]) doesn't need "
                           "Initialization.");
    uint32_t allowed = 0;
    if (SLGetLDAllowedOperation(contNo, target, &allowed) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecLDINIT", "SLGetLDAllowedOperation error",
                  contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_INIT].startFailed);
    }
    if ((allowed & LD_ALLOW_START_INIT) == 0)
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_INIT].startFailed);
    return CheckResult(LD_CHECK_OK, NULL);
}

static LdCheck CheckCcStart(ContData *record, uint8_t contNo, uint8_t target)
{
    (void)contNo;
    const uint8_t *ldInfo = record->ldInfo[target];
    if (LdRaidLevel(ldInfo) == RAIDLVL_0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Error - Controller[%d] Cannot Check Consistency for RAID0.");
    if ((LayoutU32(ldInfo, LI_ALLOWED_OPS) & LD_ALLOW_START_CC) == 0)
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_CC].startFailed);
    return CheckResult(LD_CHECK_OK, NULL);
}

// A rebuild or copyback cannot be stopped: an LD running one is not stopped at all.
LdCheck LdStopRebuildCheck(int op, uint8_t contNo, uint8_t target)
{
    uint8_t rebuilding = 0;
    if (SLIsDuringRebuildCopyback(contNo, target, &rebuilding) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC",
                  "SLIsDuringRebuildCopyback error", contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[op].stopFailed);
    }
    if (rebuilding)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Information - Controller[%d] Cannot stop Rebuild/Copyback.");
    return CheckResult(LD_CHECK_OK, NULL);
}

// A stop applies to the LDs on which the operation runs.
static LdCheck CheckStop(int op, uint8_t contNo, uint8_t target)
{
    const char *handler = op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC";
    uint8_t progress[LD_PROGRESS_SIZE];
    if (SLGetLdProggress(contNo, target, progress) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", handler, "SLGetLdProggress error", contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[op].stopFailed);
    }
    if ((LayoutU32(progress, LPG_ACTIVE) & kLdOperation[op].progressBit) == 0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, kLdOperation[op].alreadyFinished);
    return CheckResult(LD_CHECK_OK, NULL);
}

LdCheck LdOperationCheck(int op, int stop, ContData *record, uint8_t contNo, uint8_t target)
{
    if (stop)
        return CheckStop(op, contNo, target);
    return op == LDOP_INIT ? CheckInitStart(record, contNo, target) : CheckCcStart(record, contNo, target);
}

const LdOperationTexts *LdOperationTextsOf(int op)
{
    return &kLdOperation[op == LDOP_CC ? LDOP_CC : LDOP_INIT];
}

LdCheck LdCheckOk(void)
{
    return CheckResult(LD_CHECK_OK, NULL);
}

const char *const kLdDeleteFailed =
    "Error - Controller[%d] Failed to delete LD[s](Logical Drive[s]).\nPlease confirm LD(Logical Drive) state.";

// The refusal text for deleting one LD, or null when it may be deleted.
const char *LdDeleteRefusal(ContData *record, uint8_t contNo, uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    if (LdIsSnapshotBase(ldInfo) || LdIsRepository(ldInfo))
        return "Error - Controller[%d] Cannot delete Snapshot Base/Repository LD[s](Logical Drive[s]).\n"
               "Please delete it after disabling Snapshot.";
    if ((LayoutU32(ldInfo, LI_CONFIG_OPS) & LD_ALLOW_DELETE) == 0 ||
        (LayoutU32(ldInfo, LI_OPERATION_BITS) & (LD_PROG_CC | LD_PROG_INIT | LD_PROG_RECON)) != 0)
        return kLdDeleteFailed;
    uint8_t rebuilding = 0;
    if (SLIsDuringRebuildCopyback(contNo, target, &rebuilding) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecCfgLDDel", "SLIsDuringRebuildCopyback error",
                  contNo, target);
        return kLdDeleteFailed;
    }
    if (rebuilding)
        return kLdDeleteFailed;
    AssignDriveLetters(record, target);
    if (LdHoldsSystemVolume(record, target))
        return "Error - Controller[%d] Cannot delete OS LD(Logical Drive).";
    if (record->driveLetters[target][0] != '\0')
        return "Error - Controller[%d] Cannot delete the LD[s](Logical Drive[s]) which has drive letter[s].";
    return NULL;
}

// ---------------------------------------------------------------------------------------------
// Patrol read
// ---------------------------------------------------------------------------------------------
static void TraceCheckError(const char *handler, const char *what, uint8_t contNo)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", handler, what, (unsigned)contNo);
}

int LdsAllowPatrolRead(uint8_t contNo, const char *handler)
{
    static LdList lds;
    if (SLGetLDList(contNo, &lds) != 0) {
        TraceCheckError(handler, "SLGetLDList error", contNo);
        return 0;
    }
    uint32_t count = lds.count > LD_MAX ? (uint32_t)LD_MAX : lds.count;
    for (uint32_t i = 0; i < count; i++) {
        uint8_t target = lds.entries[i].targetId;
        uint8_t progress[LD_PROGRESS_SIZE];
        if (SLGetLdProggress(contNo, target, progress) != 0) {
            TraceCheckError(handler, "SLGetLdProggress error", contNo);
            return 0;
        }
        if (LayoutU32(progress, LPG_ACTIVE) & (LD_PROG_CC | LD_PROG_INIT | LD_PROG_RECON))
            return 0;
        uint8_t running = 0;
        if (SLIsDuringRebuildCopyback(contNo, target, &running) != 0) {
            TraceCheckError(handler, "SLIsDuringRebuildCopyback error", contNo);
            return 0;
        }
        if (running)
            return 0;
    }
    return 1;
}

// 1 at the first disk of the PD list the test says yes to; 0 when none does, or when a read failed
// (the test names the failed call, traced under the handler).
typedef int (*DiskTest)(uint8_t contNo, uint8_t slot, const char **failedCall);

static int AnyDisk(uint8_t contNo, const PdList *pds, const char *handler, DiskTest test)
{
    uint32_t count = pds->count > PD_LIST_MAX ? (uint32_t)PD_LIST_MAX : pds->count;
    for (uint32_t i = 0; i < count; i++) {
        if (pds->entries[i].scsiDevType != 0)
            continue;
        const char *failedCall = NULL;
        int yes = test(contNo, pds->entries[i].slotNumber, &failedCall);
        if (failedCall != NULL) {
            TraceCheckError(handler, failedCall, contNo);
            return 0;
        }
        if (yes)
            return 1;
    }
    return 0;
}

static int DiskOnlineOrSpare(uint8_t contNo, uint8_t slot, const char **failedCall)
{
    uint8_t pd[PD_INFO_SIZE];
    if (SLGetPDInfo(contNo, slot, pd) != 0) {
        *failedCall = "SLGetPDInfo error";
        return 0;
    }
    uint16_t state = LayoutU16(pd, PI_FW_STATE);
    return state == PD_STATE_HOT_SPARE || state == PD_STATE_ONLINE;
}

static int DiskInPatrolRead(uint8_t contNo, uint8_t slot, const char **failedCall)
{
    uint8_t progress[PD_PROGRESS_SIZE];
    if (SLGetPdProggress(contNo, slot, progress) != 0) {
        *failedCall = "SLGetPdProggress error";
        return 0;
    }
    return (LayoutU32(progress, PPG_ACTIVE) & PD_PROG_PATROL) != 0;
}

int HasPatrolReadablePd(uint8_t contNo, const PdList *pds, const char *handler)
{
    return AnyDisk(contNo, pds, handler, DiskOnlineOrSpare);
}

int PatrolReadRunning(uint8_t contNo, const PdList *pds, const char *handler)
{
    return AnyDisk(contNo, pds, handler, DiskInPatrolRead);
}
