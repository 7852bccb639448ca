// LD and snapshot-base Settings logic: the cache policies go to every LD of the RAID group, the
// name only to the LD the dialog shows; a failed write stops with one box.
#include "gui/LdSettingsLogic.h"

#include <string.h>

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

const ListEntry kReadPolicies[2] = {{"No Read Ahead", 0}, {"Always Read Ahead", 4}};
const ListEntry kWritePoliciesWithUnit[3] = {
    {"Write Through", 0}, {"Write Back with Cache Backup", 1}, {"Always Write Back", LD_WRITE_ALWAYS_BACK}};
const ListEntry kWritePoliciesNoUnit[2] = {{"Write Through", 0}, {"Always Write Back", LD_WRITE_ALWAYS_BACK}};
const ListEntry kIoPolicies[2] = {{"Direct IO", 0}, {"Cached IO", 96}};
const ListEntry kAccessPolicies[3] = {{"Read Write", 0}, {"Read Only", 2}, {"Blocked", 3}};
const ListEntry kDiskCachePolicies[3] = {{"Unchanged", 0}, {"Enabled", 1}, {"Disabled", 2}};

const ListEntry *WritePolicyList(const ContData *record, unsigned *count)
{
    if (CtrlHasCacheBackupUnit(record->ctrlInfo)) {
        *count = 3;
        return kWritePoliciesWithUnit;
    }
    *count = 2;
    return kWritePoliciesNoUnit;
}

void CurrentLdSettings(const ContData *record, uint8_t targetId, LdSettingsChoice *choice)
{
    const uint8_t *ldInfo = record->ldInfo[targetId];
    uint8_t cache = ldInfo[LI_DEFAULT_CACHE];
    choice->readPolicy = cache & 0x04;
    choice->writePolicy = cache & LD_WRITE_ALWAYS_BACK;
    choice->ioPolicy = cache & 0x60;
    choice->accessPolicy = ldInfo[LP_ACCESS_POLICY];
    choice->diskCache = ldInfo[LP_DISK_CACHE];
    LdNameText(choice->name, sizeof(choice->name), ldInfo);
}

static int ListsComplete(const LdSettingsChoice *c)
{
    return c->readPolicy >= 0 && c->writePolicy >= 0 && c->ioPolicy >= 0 && c->accessPolicy >= 0 && c->diskCache >= 0;
}

static int SetFailed(void *owner, const char *what, uint8_t contNo, uint8_t targetId)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnSetBtnClicked", what, contNo, targetId);
    ShowErrorBox(owner, IDS_LD_SETTINGS_FAILED, IDS_CAPTION_LD_INFO);
    return LD_SET_FAILED;
}

// Writes one LD of the group; the LD the dialog shows also takes the typed name.
static int WriteOneLd(void *owner, uint8_t contNo, uint8_t target, int withPolicies, uint8_t cache,
                      const LdSettingsChoice *choice, int rename)
{
    uint8_t props[LD_PROP_SIZE];
    if (SLGetLDProperties(contNo, target, props) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnSetBtnClicked", "SLGetLDInfo error", contNo, target);
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return 0;
    }
    if (withPolicies) {
        props[LP_DEFAULT_CACHE] = cache;
        props[LP_ACCESS_POLICY] = (uint8_t)choice->accessPolicy;
        props[LP_DISK_CACHE] = (uint8_t)choice->diskCache;
    }
    if (rename) {
        memset(props + LP_NAME, 0, LD_NAME_LEN);
        size_t length = strlen(choice->name);
        memcpy(props + LP_NAME, choice->name, length > LD_NAME_MAX_CHARS ? (size_t)LD_NAME_MAX_CHARS : length);
    }
    if (SLSetLDProperties(contNo, props) != 0) {
        SetFailed(owner, "SLSetLDProperties error", contNo, target);
        return 0;
    }
    return 1;
}

static int AlwaysWriteBackConfirmed(void *owner, const ContData *record)
{
    uint16_t text = CtrlHasCacheBackupUnit(record->ctrlInfo) ? IDS_AWB_WITH_UNIT : IDS_AWB_NO_UNIT;
    return AskOkCancel(owner, text, IDS_CAPTION_SETTING_CONFIRM) == BOX_OK;
}

static int RunLdSet(void *owner, uint8_t contNo, uint8_t targetId, const LdSettingsChoice *choice)
{
    ContData *record = CurrentRecord();
    uint8_t ldInfo[LD_INFO_SIZE], arrayInfo[ARRAY_INFO_SIZE];
    if (SLGetLDInfo(contNo, targetId, ldInfo) != 0)
        return SetFailed(owner, "SLGetLDInfo error", contNo, targetId);
    if (SLGetArrayInfo(contNo, LayoutU16(ldInfo, LI_SPANS + LI_SPAN_ARRAY_REF), arrayInfo) != 0)
        return SetFailed(owner, "SLGetArrayInfo error", contNo, targetId);
    int withPolicies = !LdIsCacheCade(ldInfo);
    uint8_t cache = 0;
    uint8_t group[LD_MAX];
    unsigned count = LdsOfSameRaidGroup(record, targetId, group);
    if (withPolicies) {
        if (!ListsComplete(choice))
            return LD_SET_INCOMPLETE;
        if (choice->writePolicy == LD_WRITE_ALWAYS_BACK && !AlwaysWriteBackConfirmed(owner, record))
            return LD_SET_CANCELLED;
        cache = (uint8_t)(choice->readPolicy | choice->writePolicy | choice->ioPolicy);
        if (count > 1)
            ShowInfoBox(owner, IDS_LD_SETTINGS_SAME_RG, IDS_CAPTION_SETTING_CONFIRM);
    } else {
        count = 1;
        group[0] = targetId;
    }
    for (unsigned i = 0; i < count; i++)
        if (!WriteOneLd(owner, contNo, group[i], withPolicies, cache, choice, group[i] == targetId))
            return LD_SET_FAILED;
    ShowInfoBox(owner, IDS_LD_SETTINGS_DONE, IDS_CAPTION_LD_INFO);
    return LD_SET_DONE;
}

int ApplyLdSettings(void *owner, uint8_t contNo, uint8_t targetId, const LdSettingsChoice *choice)
{
    ZAV_TRACE("", "func=%s: %s", "OnSetBtnClicked", "SetLDProp start");
    ActionBegin();
    BeginWaitCursor();
    int outcome = RunLdSet(owner, contNo, targetId, choice);
    if (outcome != LD_SET_INCOMPLETE && !RefreshCurrentRecord())
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    EndWaitCursor();
    ActionEnd();
    return outcome;
}

int ApplySnapshotSettings(void *owner, uint8_t contNo, uint8_t targetId, int snapshotOnReboot, int autoDelete)
{
    ZAV_TRACE("", "func=%s: %s", "OnSetBtnClicked", "OnSetBtnClicked start");
    ActionBegin();
    BeginWaitCursor();
    int outcome = SNAP_SET_DONE;
    if (SLSetSnapshotProp(contNo, targetId, (uint8_t)(snapshotOnReboot != 0), (uint8_t)(autoDelete != 0)) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "OnSetBtnClicked", "SLSetSnapshotProp error", contNo,
                  targetId);
        ShowErrorBox(owner, IDS_SNAPSHOT_SETTINGS_FAILED, IDS_CAPTION_SNAPSHOT_INFO);
        outcome = SNAP_SET_FAILED;
    } else {
        ShowInfoBox(owner, IDS_SNAPSHOT_SETTINGS_DONE, IDS_CAPTION_SNAPSHOT_INFO);
    }
    if (!RefreshCurrentRecord())
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    EndWaitCursor();
    ActionEnd();
    return outcome;
}

int BackMayClose(void *owner, int settingsTabSelected, uint16_t titleId)
{
    if (!settingsTabSelected)
        return 1;
    return AskYesNoQuestion(owner, IDS_CLOSE_DIALOG_ASK, titleId) == BOX_YES;
}
