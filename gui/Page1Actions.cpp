// Creation operations of the Create LD tab: the summary question, the size warning, the request,
// the construct-info pairs of snapshot layouts and the CacheCade association question.
#include "gui/Page1Actions.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Page1Logic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

int ShowLayoutOutcome(const CreateLdContext *page, int outcome)
{
    if (outcome == LAYOUT_OK)
        return 1;
    ShowErrorBox(page->owner, LayoutOutcomeTextId(outcome), IDS_CAPTION_CREATE_LD);
    return 0;
}

// The question that shows what will be built.
static int ConfirmSummary(const CreateLdContext *page, const EasyPlan *plan)
{
    char format[GUI_TEXT_SIZE], summary[CREATE_SUMMARY_SIZE], text[GUI_TEXT_SIZE];
    uint16_t textId = plan->pdCapped ? IDS_CREATE_CONFIRM_CAPPED : IDS_CREATE_CONFIRM;
    LoadGuiString(textId, format, sizeof(format));
    PlanSummaryText(summary, sizeof(summary), plan, page->records);
    snprintf(text, sizeof(text), format, summary);
    return ShowTextBox(page->owner, BOX_KIND_YES_NO_QUESTION, textId, IDS_CAPTION_CREATE_LD, text) == BOX_YES;
}

static int SendRequest(const CreateLdContext *page, const EasyPlan *plan)
{
    int cacheCade = plan->variant == EASY_CACHECADE;
    BeginWaitCursor();
    int32_t status = cacheCade ? SLCreateCacheCadeLD(page->contNo, &plan->request)
                               : SLCreateLD(page->contNo, &plan->request);
    EndWaitCursor();
    if (status != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CreatePlannedLds",
                  cacheCade ? "SLCreateCacheCadeLD error" : "SLCreateLD error", (unsigned)page->contNo);
        ShowErrorBox(page->owner, IDS_CREATE_FAILED, IDS_CAPTION_CREATE_LD);
        return 0;
    }
    return 1;
}

int CreatePlannedLds(const CreateLdContext *page, EasyPlan *plan)
{
    int cacheCade = plan->variant == EASY_CACHECADE;
    if (!ConfirmSummary(page, plan))
        return 0;
    if (ConfirmDiffPDSize(&plan->request, page->contNo) &&
        AskYesNoWarning(page->owner, cacheCade ? IDS_CREATE_CC_SIZES_DIFFER : IDS_CREATE_SIZES_DIFFER,
                        IDS_CAPTION_CREATE_LD) != BOX_YES)
        return 0;
    if (!SendRequest(page, plan))
        return 0;
    if (plan->variant == EASY_SNAPSHOT)
        SaveSnapshotConstructInfo(plan->layout, &plan->request, page->contNo);
    if (cacheCade) {
        OfferCacheCadeAssociation(page);
        return 1;
    }
    ShowInfoBox(page->owner, plan->variant == EASY_SNAPSHOT ? IDS_CREATE_DONE_SNAPSHOT : IDS_CREATE_DONE,
                IDS_CAPTION_CREATE_LD);
    return 1;
}

// The page shows one box for all LDs whose IO policy could not be changed.
static void QuietIoPolicyFailure(uint8_t contNo, uint8_t target)
{
    (void)contNo;
    (void)target;
}

void OfferCacheCadeAssociation(const CreateLdContext *page)
{
    uint8_t targets[LD_MAX];
    int count = (int)NonCacheCadeLds(&page->records[page->contNo], targets);
    if (count == 0) {
        ShowInfoBox(page->owner, IDS_CACHECADE_NO_INIT, IDS_CAPTION_CREATE_LD);
        return;
    }
    char format[GUI_TEXT_SIZE], list[GUI_TEXT_SIZE], text[GUI_TEXT_SIZE];
    LoadGuiString(IDS_CREATE_CC_ASSOCIATE_ASK, format, sizeof(format));
    LdNumberListText(list, sizeof(list) - strlen(format), targets, count);
    snprintf(text, sizeof(text), format, list);
    if (ShowTextBox(page->owner, BOX_KIND_YES_NO_QUESTION, IDS_CREATE_CC_ASSOCIATE_ASK, IDS_CAPTION_CREATE_LD, text) !=
        BOX_YES)
        return;
    SetIoPolicyFailureNotifier(QuietIoPolicyFailure);
    BeginWaitCursor();
    int failed = SetLdsIoPolicy(page->contNo, page->records, targets, count, 1);
    EndWaitCursor();
    if (failed > 0)
        ShowErrorBox(page->owner, IDS_CREATE_CC_ASSOCIATE_FAILED, IDS_CAPTION_CREATE_LD);
}

// ---------------------------------------------------------------------------------------------
// Custom configuration
// ---------------------------------------------------------------------------------------------
static LdCreateRequest g_customRequest;
static ConfigPatTable g_customPattern;

// The Always Write Back question; 1 when the user agreed or it was not asked.
static int ConfirmAlwaysWriteBack(const CreateLdContext *page, uint32_t cacheBits)
{
    if (!(cacheBits & LDC_OPT_WB))
        return 1;
    uint16_t textId = HasCacheBackupUnit(page->records, page->contNo) ? IDS_CREATE_ALWAYS_WB_BBU : IDS_CREATE_ALWAYS_WB;
    return AskYesNoWarning(page->owner, textId, IDS_CAPTION_CREATE_LD) == BOX_YES;
}

// Everything a custom creation asks before sending, in the console command's order.
static int ConfirmCustom(const CreateLdContext *page, const CustomAnswers *answers, int checkSizes)
{
    if (checkSizes && ConfirmDiffPDSize(&g_customRequest, page->contNo) &&
        AskYesNoWarning(page->owner, IDS_CREATE_SIZES_DIFFER, IDS_CAPTION_CREATE_LD) != BOX_YES)
        return 0;
    if (!ConfirmAlwaysWriteBack(page, answers->cacheBits))
        return 0;
    if (answers->level != RAIDLVL_0 && !HasGlobalHotSpare(&page->records[page->contNo]))
        ShowWarningBox(page->owner, IDS_CREATE_NO_HOT_SPARE, IDS_CAPTION_CREATE_LD);
    EasyPlan *summaryPlan = (EasyPlan *)calloc(1, sizeof(EasyPlan));
    if (summaryPlan == NULL)
        return 0;
    summaryPlan->contNo = page->contNo;
    summaryPlan->variant = EASY_MULTI;
    summaryPlan->request = g_customRequest;
    int yes = ConfirmSummary(page, summaryPlan);
    free(summaryPlan);
    return yes;
}

static int ReportCustomResult(const CreateLdContext *page, int32_t status, const char *what)
{
    if (status != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CreateCustomLds", what, (unsigned)page->contNo);
        ShowErrorBox(page->owner, IDS_CREATE_FAILED, IDS_CAPTION_CREATE_LD);
        return 0;
    }
    ShowInfoBox(page->owner, IDS_CREATE_DONE, IDS_CAPTION_CREATE_LD);
    return 1;
}

static int AddToExistingGroup(const CreateLdContext *page, const CustomAnswers *answers, const uint8_t *ld,
                              const FreeExtent *extent)
{
    int outcome = CheckGroupOptimal(page->contNo, ld);
    if (outcome == LAYOUT_NOT_OPTIMAL)
        ShowErrorBox(page->owner, IDS_CREATE_NOT_OPTIMAL, IDS_CAPTION_CREATE_LD);
    else if (outcome != LAYOUT_OK)
        ShowErrorBox(page->owner, IDS_CREATE_FAILED, IDS_CAPTION_CREATE_LD);
    if (outcome != LAYOUT_OK)
        return 0;
    RgEntry *group = &g_customRequest.groups[0];
    if (answers->sizes.count == 0)
        group->lds[0].size = CalcLDCapa(answers->level, (unsigned)answers->pdCount, extent->blocks, page->contNo);
    if (!ConfirmCustom(page, answers, 0))
        return 0;
    BeginWaitCursor();
    int32_t status = SLAddLDToRG(page->contNo, LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF), extent->start, group);
    EndWaitCursor();
    return ReportCustomResult(page, status, "SLAddLDToRG error");
}

static int CreateNewGroup(const CreateLdContext *page, const CustomAnswers *answers)
{
    const ContData *record = &page->records[page->contNo];
    for (int i = 0; i < answers->pdCount; ++i) {
        if (!PdIsFreeForNewGroup(record->pdInfo[answers->pds[i]])) {
            ShowErrorBox(page->owner, IDS_CREATE_FAILED, IDS_CAPTION_CREATE_LD);
            return 0;
        }
    }
    if (IsMixedInterfaceTypeList(page->records, page->contNo, answers->pds, answers->pdCount))
        return ShowLayoutOutcome(page, LAYOUT_MIXED_INTERFACE);
    if (IsMixedMediaTypeList(page->records, page->contNo, answers->pds, answers->pdCount))
        return ShowLayoutOutcome(page, LAYOUT_MIXED_MEDIA);
    if (!ConfirmCustom(page, answers, 1))
        return 0;
    BeginWaitCursor();
    int32_t status = SLCreateLD(page->contNo, &g_customRequest);
    EndWaitCursor();
    return ReportCustomResult(page, status, "SLCreateLD error");
}

int CreateCustomLds(const CreateLdContext *page, const CustomAnswers *answers)
{
    if (answers->pdCount == 0) {
        ShowErrorBox(page->owner, IDS_CREATE_PICK_PDS, IDS_CAPTION_CREATE_LD);
        return 0;
    }
    LoadConfigPatFile(&g_customPattern, page->patternPath ? page->patternPath : "confpat1.csv");
    int outcome = PlanCustomGroup(&g_customRequest, &g_customPattern, page->records, page->contNo, answers->level,
                                  answers->pds, answers->pdCount, answers->cacheBits, &answers->sizes);
    if (!ShowLayoutOutcome(page, outcome))
        return 0;
    const ContData *record = &page->records[page->contNo];
    const uint8_t *ld = FindExistingGroup(record, answers->level, answers->pds, answers->pdCount);
    FreeExtent extent;
    if (ld != NULL && FirstFreeExtent(record->config, LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF), answers->level,
                                      answers->pdCount, page->contNo, &extent))
        return AddToExistingGroup(page, answers, ld, &extent);
    return CreateNewGroup(page, answers);
}
