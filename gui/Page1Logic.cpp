// Logic of the Create LD tab: offers, plans and the texts that describe them. Planning goes
// through the shared creation layouts, so the page builds exactly what the console tool builds
// for the same answers.
#include "gui/Page1Logic.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "gui/resource.h"

// Appends to a bounded text; a text that does not fit is cut and ends with "...".
static int Append(char *out, size_t size, size_t *used, const char *format, ...)
{
    if (*used >= size)
        return 0;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(out + *used, size - *used, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= size - *used) {
        *used = size - 1;
        if (size >= 4)
            memcpy(out + size - 4, "...", 4);
        return 0;
    }
    *used += (size_t)n;
    return 1;
}

static void LevelText(char *out, size_t size, int32_t level, uint8_t contNo)
{
    if (RaidlvlToStr(out, size, level, contNo) == 0 && size > 0)
        out[0] = '\0';
}

int LoadCreateLdModel(CreateLdModel *model, const ContData *records, uint8_t contNo, const char *patternPath)
{
    memset(model, 0, sizeof(*model));
    model->contNo = contNo;
    model->patternLoaded = LoadConfigPatFile(&model->pattern, patternPath) == 0;
    model->snapshotSupported = IsSnapshotSupported(records, contNo);
    model->cacheCadeSupported = IsCacheCadeSupported(records, contNo);
    CandidatePdList list;
    GetCandidatePds(records, contNo, 0, &list);
    model->candidateCount = list.count;
    GetCandidatePds(records, contNo, 1, &list);
    model->ssdCount = list.count;
    int n = model->candidateCount;
    if (model->patternLoaded && RowHasSupportedLevel(&model->pattern, n, records, contNo)) {
        SingleLdChoice choices[SINGLE_CHOICES_MAX];
        int count = SingleLdChoices(records, n, choices);
        for (int i = 0; i < count; ++i) {
            model->singles[model->singleCount].cacheCade = 0;
            model->singles[model->singleCount++].choice = choices[i];
        }
    }
    // A CacheCade LD needs no pattern: it is always RAID0 over the SSDs.
    if (model->cacheCadeSupported && model->ssdCount > 0) {
        SingleOffer *offer = &model->singles[model->singleCount++];
        memset(offer, 0, sizeof(*offer));
        offer->cacheCade = 1;
        offer->choice.level = RAIDLVL_0;
    }
    return model->patternLoaded;
}

int SingleOfferText(char *out, size_t size, const SingleOffer *offer, uint8_t contNo)
{
    char level[16];
    if (offer->cacheCade)
        return snprintf(out, size, "CacheCade (RAID0 on SSDs)");
    LevelText(level, sizeof(level), offer->choice.level, contNo);
    return snprintf(out, size, offer->choice.ghs ? "%s + Hot Spare" : "%s", level);
}

int PlanSingleOffer(EasyPlan *plan, const CreateLdModel *model, const ContData *records, int index)
{
    if (index < 0 || index >= model->singleCount)
        return LAYOUT_FAILED;
    const SingleOffer *offer = &model->singles[index];
    if (offer->cacheCade) {
        BeginEasyPlan(plan, records, model->contNo, EASY_CACHECADE);
        if (plan->candidates.count == 0)
            return LAYOUT_FAILED;
        if (IsMixedInterfaceType(records, model->contNo, &plan->candidates))
            return LAYOUT_MIXED_INTERFACE;
        int count = plan->candidates.count;
        int maxPds = GetMaxPdNumForRaidLvl(RAIDLVL_0, records, model->contNo);
        if (maxPds < count) {
            plan->pdCapped = 1;
            count = maxPds;
        }
        return PlanCacheCade(plan, records, plan->candidates.pdNo, count);
    }
    BeginEasyPlan(plan, records, model->contNo, EASY_SINGLE);
    return PlanSingleLd(plan, records, &offer->choice);
}

// ---------------------------------------------------------------------------------------------
// Multi LD
// ---------------------------------------------------------------------------------------------
int MultiLayoutCount(const CreateLdModel *model)
{
    if (model->candidateCount == 0)
        return 0;
    return model->candidateCount == 1 ? 1 : 3;
}

// With one candidate the only layout is one group (the console dialogue's rule).
static int EffectiveLayout(const CreateLdModel *model, int layout)
{
    return model->candidateCount == 1 ? LAYOUT_ONE_GROUP : layout;
}

void MultiLevelChoices(const CreateLdModel *model, const ContData *records, int layout, int snapshot, int group,
                       int32_t firstLevel, LevelList *out)
{
    int n = model->candidateCount;
    layout = EffectiveLayout(model, layout);
    out->count = 0;
    if (!model->patternLoaded)
        return;
    if (group == 0 && layout == LAYOUT_ONE_GROUP)
        LevelsForSingleGroup(&model->pattern, n, records, model->contNo, LEVEL_ORDER_BASIC, out);
    else if (group == 0)
        LevelsForFirstOfTwo(&model->pattern, n, records, model->contNo, LEVEL_ORDER_BASIC, out);
    else
        LevelsForSecondGroup(&model->pattern, n, firstLevel, records, model->contNo,
                             snapshot && layout == LAYOUT_TWO_GROUPS_ONE_LD ? LEVEL_ORDER_SNAPSHOT : LEVEL_ORDER_BASIC,
                             out);
}

int MultiLdCountMax(const ContData *records, int snapshot)
{
    int embedded = IsEmbeddedController(records);
    if (snapshot)
        return embedded ? 8 : 15;
    return embedded ? 8 : 16;
}

int MultiDefaultHotSpares(const CreateLdModel *model, const ContData *records, int layout, int32_t level0,
                          int32_t level1)
{
    layout = EffectiveLayout(model, layout);
    int groups = GroupCountOfLayout(layout);
    return DefaultHotSpareCount(&model->pattern, model->candidateCount, groups, level0, groups == 2 ? level1 : 0,
                                records, model->contNo);
}

// Minimum PD count of a level as the console dialogue counts it for the hot-spare answer.
static int MinPdsOfLevel(int32_t level)
{
    static const int kMin[RAIDLVL_COUNT] = { 1, 2, 3, 4, 4 };
    return level >= 0 && level < RAIDLVL_COUNT ? kMin[level] : 0;
}

int MultiHotSparesAllowed(const CreateLdModel *model, int layout, int32_t level0, int32_t level1, int h)
{
    layout = EffectiveLayout(model, layout);
    int required = MinPdsOfLevel(level0);
    if (GroupCountOfLayout(layout) == 2)
        required += MinPdsOfLevel(level1);
    return h >= 0 && h <= 2 && model->candidateCount >= h + required;
}

int PrepareMultiPlan(EasyPlan *plan, const CreateLdModel *model, const ContData *records, int snapshot, int layout,
                     const int32_t levels[2], const int ldCounts[2], const int rates[2], int hotSpares)
{
    BeginEasyPlan(plan, records, model->contNo, snapshot ? EASY_SNAPSHOT : EASY_MULTI);
    plan->layout = EffectiveLayout(model, layout);
    for (int g = 0; g < 2; ++g) {
        plan->level[g] = levels[g];
        plan->ldCount[g] = snapshot ? ldCounts[g] + 1 : ldCounts[g];
        plan->rate[g] = rates[g];
    }
    if (GroupCountOfLayout(plan->layout) == 1)
        plan->level[1] = RAIDLVL_0;
    plan->hsCount = hotSpares;
    return PlanMultiPrepare(plan, records);
}

int MultiSplitText(char *out, size_t size, const EasyPlan *plan, const ContData *records, int firstPds,
                   int recommended)
{
    EasyPlan *editable = (EasyPlan *)plan;
    int k = MultiGroupPds(editable);
    uint64_t c0 = 0, c1 = 0;
    char t0[32], t1[32];
    SplitCapacities(plan, records, k, firstPds, &c0, &c1);
    CapacityText(t0, sizeof(t0), c0);
    CapacityText(t1, sizeof(t1), c1);
    if (plan->variant == EASY_SNAPSHOT)
        return snprintf(out, size, "%sRAID #0 %s GB / RAID #1 %s GB (Repository %u%%)", recommended ? "* " : "", t0, t1,
                        RepositoryShare(c0, c1));
    return snprintf(out, size, "RAID #0 %s GB / RAID #1 %s GB", t0, t1);
}

// ---------------------------------------------------------------------------------------------
// Summary of a plan
// ---------------------------------------------------------------------------------------------
static void AppendPdList(char *out, size_t size, size_t *used, const uint8_t *pds, int count)
{
    for (int i = 0; i < count; ++i)
        Append(out, size, used, i == 0 ? "PD%u" : ", PD%u", (unsigned)pds[i]);
}

static const char *LdRole(const EasyPlan *plan, const RgEntry *group, int ld)
{
    if (plan->variant == EASY_CACHECADE)
        return " (CacheCade)";
    if (plan->variant != EASY_SNAPSHOT)
        return "";
    if (plan->layout == LAYOUT_TWO_GROUPS_ONE_LD)
        return group == &plan->request.groups[0] ? " (Snapshot Base)" : " (Snapshot Repository)";
    return ld == group->ldCount - 1 ? " (Snapshot Repository)" : " (Snapshot Base)";
}

int PlanSummaryText(char *out, size_t size, const EasyPlan *plan, const ContData *records)
{
    size_t used = 0;
    if (size == 0)
        return 0;
    out[0] = '\0';
    const LdCreateRequest *r = &plan->request;
    for (int g = 0; g < r->groupCount; ++g) {
        const RgEntry *group = &r->groups[g];
        char level[16], capa[32];
        LevelText(level, sizeof(level), group->raidLevel, plan->contNo);
        CapacityText(capa, sizeof(capa), PlannedGroupCapacity(plan, records, g));
        if (r->groupCount > 1)
            Append(out, size, &used, "RAID #%d\r\n", g);
        Append(out, size, &used, "RAID Level : %s\r\nPD[s] : ", level);
        AppendPdList(out, size, &used, group->pds, group->pdCount);
        Append(out, size, &used, " (%u)\r\nCapacity : %s GB\r\n", (unsigned)group->pdCount, capa);
        for (int l = 0; l < group->ldCount; ++l) {
            char ldSize[32];
            CapacityText(ldSize, sizeof(ldSize), group->lds[l].size);
            Append(out, size, &used, "LD%u : %s GB%s\r\n", (unsigned)group->lds[l].ldNo, ldSize,
                   LdRole(plan, group, l));
        }
    }
    Append(out, size, &used, "Hot Spare : ");
    if (r->ghsCount <= 0)
        Append(out, size, &used, "None");
    else
        AppendPdList(out, size, &used, r->ghs, r->ghsCount);
    return (int)used;
}

uint16_t LayoutOutcomeTextId(int outcome)
{
    switch (outcome) {
    case LAYOUT_OK:
        return 0;
    case LAYOUT_MIXED_INTERFACE:
        return IDS_CREATE_MIXED_INTERFACE;
    case LAYOUT_MIXED_MEDIA:
        return IDS_CREATE_MIXED_MEDIA;
    case LAYOUT_LD_LIMIT:
        return IDS_CREATE_LD_LIMIT;
    case LAYOUT_ABNORMAL_COUNT:
    case LAYOUT_NO_SPLIT:
        return IDS_CREATE_ABNORMAL_COUNT;
    case LAYOUT_REPO_TOO_SMALL:
        return IDS_CREATE_REPO_TOO_SMALL;
    case LAYOUT_PD_LIMIT:
        return IDS_CREATE_PD_LIMIT;
    case LAYOUT_SIZE_TOO_SMALL:
        return IDS_CREATE_SIZE_TOO_SMALL;
    case LAYOUT_NOT_OPTIMAL:
        return IDS_CREATE_NOT_OPTIMAL;
    default:
        return IDS_CREATE_FAILED;
    }
}

int LdNumberListText(char *out, size_t size, const uint8_t *targets, int count)
{
    size_t used = 0;
    if (size == 0)
        return 0;
    out[0] = '\0';
    for (int i = 0; i < count; ++i)
        Append(out, size, &used, i == 0 ? "%u" : ",%u", (unsigned)targets[i]);
    return (int)used;
}
