// Delete LD page logic: checks every selected LD before asking anything, asks twice, removes the
// snapshot construct-info file, deletes in selection order and leaves CacheCade mode when the
// last CacheCade LD went.
#include "gui/Page2Logic.h"

#include "common/CacheCadeMode.h"
#include "common/ContData.h"
#include "common/DriveLetters.h"
#include "common/Facts.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static int LdIsBusy(const uint8_t *ldInfo)
{
    if ((LayoutU32(ldInfo, LI_CONFIG_OPS) & LD_ALLOW_DELETE) == 0)
        return 1;
    return (LayoutU32(ldInfo, LI_OPERATION_BITS) & (LD_PROG_CC | LD_PROG_INIT | LD_PROG_RECON)) != 0;
}

static int RebuildOrCopybackRuns(uint8_t contNo, uint8_t targetId)
{
    uint8_t running = 0;
    if (SLIsDuringRebuildCopyback(contNo, targetId, &running) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnDeleteBtnClicked", "SLIsDuringRebuildCopyback error",
                  contNo, targetId);
        return 1;
    }
    return running != 0;
}

uint16_t DeleteRefusal(ContData *record, uint8_t contNo, uint8_t targetId)
{
    uint8_t ldInfo[LD_INFO_SIZE];
    if (targetId >= LD_MAX || SLGetLDInfo(contNo, targetId, ldInfo) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnDeleteBtnClicked", "SLGetLDInfo error", contNo,
                  targetId);
        return IDS_DELETE_LD_FAILED;
    }
    if (LdIsSnapshotBase(ldInfo) || LdIsRepository(ldInfo))
        return IDS_DELETE_SNAPSHOT_LD;
    if (LdIsBusy(ldInfo) || RebuildOrCopybackRuns(contNo, targetId))
        return IDS_DELETE_LD_FAILED;
    AssignDriveLetters(record, targetId);
    if (LdHoldsSystemVolume(record, targetId))
        return IDS_DELETE_OS_LD;
    if (record->driveLetters[targetId][0] != '\0')
        return IDS_DELETE_HAS_LETTER;
    return 0;
}

static int DeleteInOrder(void *owner, uint8_t contNo, const uint8_t *targets, unsigned count)
{
    for (unsigned i = 0; i < count; i++) {
        if (SLDeleteLD(contNo, targets[i]) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnDeleteBtnClicked", "SLDeleteLD error", contNo,
                      targets[i]);
            ShowErrorBox(owner, IDS_DELETE_LD_FAILED, IDS_CAPTION_DELETE_LD);
            return 0;
        }
    }
    return 1;
}

// Without CacheCade LDs nothing can cache the others: they all go back to direct IO.
static void LeaveCacheCadeMode(void *owner, ContData *record, uint8_t contNo)
{
    ShowInfoBox(owner, IDS_CACHECADE_DIRECT_IO, IDS_CAPTION_DELETE_LD);
    if (SetCacheCadeMode(record, contNo, 0) != 0)
        ShowErrorBox(owner, IDS_LD_SETTINGS_FAILED, IDS_CAPTION_DELETE_LD);
}

static int RunDelete(void *owner, const uint8_t *targets, unsigned count)
{
    ContData *record = CurrentRecord();
    uint8_t contNo = g_gui.currentCtrl;
    unsigned cacheCadeBefore = CountCacheCadeLds(record);
    for (unsigned i = 0; i < count; i++) {
        uint16_t refusal = DeleteRefusal(record, contNo, targets[i]);
        if (refusal != 0) {
            ShowErrorBox(owner, refusal, IDS_CAPTION_DELETE_LD);
            return DELETE_REFUSED;
        }
    }
    if (AskOkCancel(owner, IDS_DELETE_DATA_LOST, IDS_CAPTION_DELETE_LD) != BOX_OK ||
        AskOkCancel(owner, IDS_DELETE_PROCEED, IDS_CAPTION_DELETE_LD) != BOX_OK)
        return DELETE_CANCELLED;
    // The construct-info file pairs LD numbers that the deletion makes meaningless. It lives in
    // the installation folder, where creation wrote it.
    RemoveSnapshotConstructInfo(contNo);
    int deleted = DeleteInOrder(owner, contNo, targets, count);
    if (!RefreshCurrentRecord()) {
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return deleted ? DELETE_DONE : DELETE_FAILED;
    }
    if (cacheCadeBefore > 0 && CountCacheCadeLds(CurrentRecord()) == 0)
        LeaveCacheCadeMode(owner, CurrentRecord(), contNo);
    return deleted ? DELETE_DONE : DELETE_FAILED;
}

int DeleteSelectedLds(void *owner, const uint8_t *targets, unsigned count)
{
    ZAV_TRACE("", "func=%s: %s", "OnDeleteBtnClicked", "DeleteLD start");
    if (count == 0 || targets == 0)
        return DELETE_NOTHING_SELECTED;
    ActionBegin();
    BeginWaitCursor();
    int outcome = RunDelete(owner, targets, count);
    EndWaitCursor();
    ActionEnd();
    return outcome;
}
