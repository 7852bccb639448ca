// Hot Spare page logic: the warnings before a global hot spare, the refusals of a dedicated one,
// the group choice, and the release with its question when LDs exist.
#include "gui/Page3Logic.h"

#include <stdio.h>
#include <string.h>

#include "common/DispFormat.h"
#include "gui/Page0Logic.h"

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static int IsHotSpare(const ContData *record, uint8_t slot)
{
    char usage[64];
    PdUsageText(usage, sizeof(usage), record, slot);
    return strcmp(usage, "GHS") == 0 || strcmp(usage, "DHS") == 0;
}

static int BuildRowsWhere(const ContData *record, PdRow *rows, int maxRows, int spares)
{
    static PdRow all[CONTDATA_PD_SLOTS];
    int count = BuildPdRows(record, all, CONTDATA_PD_SLOTS), n = 0;
    for (int i = 0; i < count && n < maxRows; i++) {
        if (!all[i].present || !MorePdIsDisk(record, all[i].slot))
            continue;
        int keep = spares ? IsHotSpare(record, all[i].slot) : PdIsFreeForNewGroup(record->pdInfo[all[i].slot]);
        if (keep)
            rows[n++] = all[i];
    }
    return n;
}

int BuildHotSpareRows(const ContData *record, PdRow *rows, int maxRows)
{
    return BuildRowsWhere(record, rows, maxRows, 1);
}

int BuildSpareCandidateRows(const ContData *record, PdRow *rows, int maxRows)
{
    return BuildRowsWhere(record, rows, maxRows, 0);
}

const char *HotSpareKindText(int kind)
{
    return kind == HOTSPARE_DEDICATED ? "[DHS]" : "[GHS]";
}

int RaidGroupChoiceText(char *out, unsigned size, const ContData *record, uint8_t contNo, const RaidGroupChoice *group)
{
    char level[16];
    RaidlvlToStr(level, sizeof(level), LdRaidLevel(record->ldInfo[group->firstLd]), contNo);
    int n = snprintf(out, size, "%s, %s", group->name, level);
    return n < 0 ? 0 : n;
}

// Asks each warning the comparison calls for, in order; 0 when one was answered No.
static int GlobalSpareWarningsAccepted(void *owner, const PdComparison *cmp)
{
    if (cmp->otherInterface && AskYesNoWarning(owner, IDS_GHS_OTHER_INTERFACE, IDS_CAPTION_HOT_SPARE) != BOX_YES)
        return 0;
    if (cmp->otherMedia && AskYesNoWarning(owner, IDS_GHS_OTHER_MEDIA, IDS_CAPTION_HOT_SPARE) != BOX_YES)
        return 0;
    if (cmp->smaller && AskYesNoWarning(owner, IDS_GHS_SMALLER, IDS_CAPTION_HOT_SPARE) != BOX_YES)
        return 0;
    return 1;
}

static int MakeGlobal(void *owner, uint8_t contNo, uint8_t slot)
{
    PdComparison cmp = CompareWithAllGroups(CurrentRecord(), slot);
    if (!GlobalSpareWarningsAccepted(owner, &cmp))
        return HOTSPARE_DECLINED;
    if (SLMakeGlobalHotspare(contNo, slot) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "OnAddBtnClicked", "SLMakeGlobalHotspare error", contNo,
                  slot);
        ShowErrorBox(owner, IDS_HS_ASSIGN_FAILED, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_FAILED;
    }
    return HOTSPARE_DONE;
}

static uint16_t DedicatedRefusal(const PdComparison *cmp)
{
    if (cmp->otherInterface)
        return IDS_DHS_OTHER_INTERFACE;
    if (cmp->otherMedia)
        return IDS_DHS_OTHER_MEDIA;
    if (cmp->smaller)
        return IDS_DHS_SMALLER;
    return 0;
}

static int MakeDedicated(void *owner, uint8_t contNo, uint8_t slot, ChooseGroupFn chooseGroup)
{
    static RaidGroupChoice groups[RG_CHOICES_MAX];
    unsigned count = CollectRaidGroups(CurrentRecord(), groups);
    if (count == 0) {
        ShowErrorBox(owner, IDS_DHS_NO_RG, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_REFUSED;
    }
    int chosen = chooseGroup ? chooseGroup(owner, groups, count) : -1;
    if (chosen < 0 || (unsigned)chosen >= count)
        return HOTSPARE_DECLINED;
    const RaidGroupChoice *group = &groups[chosen];
    PdComparison cmp = CompareWithGroup(CurrentRecord(), slot, group);
    uint16_t refusal = DedicatedRefusal(&cmp);
    if (refusal != 0) {
        ShowErrorBox(owner, refusal, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_REFUSED;
    }
    if (SLMakeDedicatedHotspare(contNo, slot, group->arrayRefs[0]) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u, RGNo=%u", "OnAddBtnClicked",
                  "SLMakeDedicatedHotspare error", contNo, slot, group->arrayRefs[0]);
        ShowErrorBox(owner, IDS_HS_ASSIGN_FAILED, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_FAILED;
    }
    return HOTSPARE_DONE;
}

static int RefreshAfter(int outcome)
{
    if (!RefreshCurrentRecord())
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    return outcome;
}

int AddHotSpare(void *owner, int slot, int kind, ChooseGroupFn chooseGroup)
{
    ZAV_TRACE("", "func=%s: %s", "OnAddBtnClicked", "MakeHotspare start");
    if (slot < 0 || slot >= CONTDATA_PD_SLOTS)
        return HOTSPARE_NOTHING_SELECTED;
    uint8_t contNo = g_gui.currentCtrl;
    ActionBegin();
    BeginWaitCursor();
    int outcome = kind == HOTSPARE_DEDICATED ? MakeDedicated(owner, contNo, (uint8_t)slot, chooseGroup)
                                             : MakeGlobal(owner, contNo, (uint8_t)slot);
    outcome = RefreshAfter(outcome);
    EndWaitCursor();
    ActionEnd();
    return outcome;
}

static int RunRelease(void *owner, uint8_t contNo, uint8_t slot)
{
    uint8_t pdInfo[PD_INFO_SIZE];
    if (SLGetPDInfo(contNo, slot, pdInfo) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "OnDeleteBtnClicked", "SLGetPDInfo error", contNo, slot);
        ShowErrorBox(owner, IDS_HS_RELEASE_FAILED, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_FAILED;
    }
    LdList lds;
    if (SLGetLDList(contNo, &lds) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnDeleteBtnClicked", "SLGetLDList error", contNo);
        ShowErrorBox(owner, IDS_HS_RELEASE_FAILED, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_FAILED;
    }
    if (lds.count > 0 && AskYesNoWarning(owner, IDS_HS_RELEASE_WITH_LDS, IDS_CAPTION_HOT_SPARE) != BOX_YES)
        return HOTSPARE_DECLINED;
    if (SLRemoveHotspare(contNo, slot) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "OnDeleteBtnClicked", "SLRemoveHotspare error", contNo,
                  slot);
        ShowErrorBox(owner, IDS_HS_RELEASE_FAILED, IDS_CAPTION_HOT_SPARE);
        return HOTSPARE_FAILED;
    }
    return HOTSPARE_DONE;
}

int ReleaseHotSpare(void *owner, int slot)
{
    ZAV_TRACE("", "func=%s: %s", "OnDeleteBtnClicked", "RemoveHotspare start");
    if (slot < 0 || slot >= CONTDATA_PD_SLOTS)
        return HOTSPARE_NOTHING_SELECTED;
    ActionBegin();
    BeginWaitCursor();
    int outcome = RefreshAfter(RunRelease(owner, g_gui.currentCtrl, (uint8_t)slot));
    EndWaitCursor();
    ActionEnd();
    return outcome;
}
