// Restore LD page logic: foreign configurations listed per tab, imported with "Restore" or
// released with "Delete" after a question.
#include "gui/Page4Logic.h"

#include <stdio.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/ForeignConfig.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

int ScanRestoreInfo(RestoreInfo *info)
{
    return GetRestoreInfo(g_gui.currentCtrl, CurrentRecord(), info);
}

static int HasConfig(const RestoreInfo *info, int configIndex)
{
    return info && configIndex >= 0 && (uint32_t)configIndex < info->configCount;
}

static int FinishAction(int outcome)
{
    if (!RefreshCurrentRecord())
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    EndWaitCursor();
    ActionEnd();
    return outcome;
}

int RestoreForeignConfig(void *owner, const RestoreInfo *info, int configIndex)
{
    ZAV_TRACE("", "func=%s: %s", "OnRestoreBtnClicked", "AddRestoreLD start");
    if (!HasConfig(info, configIndex))
        return RESTORE_NOTHING;
    uint8_t contNo = g_gui.currentCtrl;
    ActionBegin();
    BeginWaitCursor();
    int outcome = RESTORE_DONE;
    if (SLImportForeignConfig(contNo, (uint8_t)configIndex) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, foreignNo=%d", "OnRestoreBtnClicked", "SLImportForeignConfig error",
                  contNo, configIndex);
        ShowErrorBox(owner, IDS_RESTORE_FAILED, IDS_CAPTION_RESTORE_LD);
        outcome = RESTORE_FAILED;
    }
    return FinishAction(outcome);
}

int ReleaseForeignConfig(void *owner, const RestoreInfo *info, int configIndex)
{
    ZAV_TRACE("", "func=%s: %s", "OnDeleteBtnClicked", "DeleteRestoreLD start");
    if (!HasConfig(info, configIndex))
        return RESTORE_NOTHING;
    uint8_t contNo = g_gui.currentCtrl;
    ActionBegin();
    if (AskYesNoQuestion(owner, IDS_RESTORE_RELEASE_ASK, IDS_CAPTION_RESTORE_LD) != BOX_YES) {
        ActionEnd();
        return RESTORE_DECLINED;
    }
    BeginWaitCursor();
    int outcome = RESTORE_DONE;
    if (SLClearForeignConfig(contNo, (uint8_t)configIndex) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, foreignNo=%d", "OnDeleteBtnClicked", "SLClearForeignConfig error",
                  contNo, configIndex);
        ShowErrorBox(owner, IDS_RESTORE_FAILED, IDS_CAPTION_RESTORE_LD);
        outcome = RESTORE_FAILED;
    }
    return FinishAction(outcome);
}

int RestoreTabText(char *out, size_t size, const RestoreInfo *info, int configIndex)
{
    if (!HasConfig(info, configIndex))
        return DispCopy(out, size, "");
    int n = snprintf(out, size, "Foreign %d (%u PD, %u LD)", configIndex, (unsigned)info->configs[configIndex].pdCount,
                     (unsigned)info->configs[configIndex].ldCount);
    return n < 0 ? 0 : n;
}

int RestoreLdCellText(char *out, size_t size, const RestoreInfo *info, int configIndex, unsigned ldIndex,
                      int column, uint8_t contNo)
{
    const uint8_t *ld = HasConfig(info, configIndex) ? RestoreLdAt(info, (uint32_t)configIndex, ldIndex) : 0;
    if (!ld)
        return DispCopy(out, size, "");
    int n = 0;
    switch (column) {
    case 0:
        n = snprintf(out, size, "RLD%u", (unsigned)ld[LI_TARGET_ID]);
        break;
    case 1:
        return RaidlvlToStr(out, size, LdRaidLevel(ld), contNo);
    case 2: {
        char capa[32];
        CapacityText(capa, sizeof(capa), LdCapacityBlocks(ld, contNo));
        n = snprintf(out, size, "%s GB", capa);
        break;
    }
    case 3:
        n = snprintf(out, size, "%u", LdDriveCount(ld));
        break;
    default:
        return DispCopy(out, size, "");
    }
    return n < 0 ? 0 : n;
}
