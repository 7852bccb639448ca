// Easy-creation layouts: the Single LD choices and the filling of the creation request for every
// layout the console dialogue and the Create LD pages offer.
#include "common/LdLayout.h"

#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

static int CandidateCount(const EasyPlan *plan)
{
    return plan->candidates.count;
}

void BeginEasyPlan(EasyPlan *plan, const ContData *records, uint8_t contNo, int variant)
{
    memset(plan, 0, sizeof(*plan));
    plan->contNo = contNo;
    plan->variant = variant;
    GetCandidatePds(records, contNo, variant == EASY_CACHECADE ? 1 : 0, &plan->candidates);
    PickHotSpares(records, contNo, &plan->candidates, plan->hs);
    int lds = variant == EASY_SNAPSHOT ? 2 : 1;
    plan->ldCount[0] = plan->ldCount[1] = lds;
    plan->rate[0] = plan->rate[1] = SNAPSHOT_RATE_DEFAULT;
    plan->level[0] = plan->level[1] = RAIDLVL_0;
}

static int CheckUniformTypes(const EasyPlan *plan, const ContData *records)
{
    if (IsMixedInterfaceType(records, plan->contNo, &plan->candidates))
        return LAYOUT_MIXED_INTERFACE;
    if (IsMixedMediaType(records, plan->contNo, &plan->candidates))
        return LAYOUT_MIXED_MEDIA;
    return LAYOUT_OK;
}

// Gives every LD of the group a number from the one free-number map of the request.
static int NumberGroupLds(const EasyPlan *plan, const ContData *records, RgEntry *group, int ldCount,
                          uint8_t freeMap[LD_MAX])
{
    group->ldCount = (uint8_t)ldCount;
    for (int l = 0; l < ldCount; ++l) {
        int no = TakeFreeLdNo(records, plan->contNo, freeMap);
        if (no < 0)
            return LAYOUT_LD_LIMIT;
        group->lds[l].ldNo = (uint8_t)no;
    }
    return LAYOUT_OK;
}

static void AddHotSpares(EasyPlan *plan, int count)
{
    plan->request.ghsCount = count;
    for (int i = 0; i < count && i < 2; ++i)
        plan->request.ghs[i] = plan->candidates.pdNo[plan->hs[i]];
}

// ---------------------------------------------------------------------------------------------
// Single LD
// ---------------------------------------------------------------------------------------------
static int AddChoice(SingleLdChoice *choices, int count, int32_t level, int ghs, int drawOnePd)
{
    choices[count].level = level;
    choices[count].ghs = ghs;
    choices[count].drawOnePd = drawOnePd;
    return count + 1;
}

int SingleLdChoices(const ContData *records, int n, SingleLdChoice *choices)
{
    int count = 0;
    if (n <= 0)
        return 0;
    if (n == 1)
        return AddChoice(choices, count, RAIDLVL_0, 0, 1);
    if (n == 2) {
        count = AddChoice(choices, count, RAIDLVL_1, 0, 0);
        return AddChoice(choices, count, RAIDLVL_0, 0, 0);
    }
    if (IsEmbeddedController(records)) {
        count = AddChoice(choices, count, RAIDLVL_1, 1, 0);
        return AddChoice(choices, count, RAIDLVL_0, 0, 1);
    }
    if (n == 3) {
        count = AddChoice(choices, count, RAIDLVL_1, 1, 0);
        count = AddChoice(choices, count, RAIDLVL_5, 0, 0);
        return AddChoice(choices, count, RAIDLVL_0, 0, 0);
    }
    count = AddChoice(choices, count, RAIDLVL_5, 1, 0);
    count = AddChoice(choices, count, RAIDLVL_5, 0, 0);
    if (n == 4) {
        count = AddChoice(choices, count, RAIDLVL_6, 0, 0);
        count = AddChoice(choices, count, RAIDLVL_10, 0, 0);
    } else {
        count = AddChoice(choices, count, RAIDLVL_6, 1, 0);
        count = AddChoice(choices, count, RAIDLVL_6, 0, 0);
        count = AddChoice(choices, count, RAIDLVL_10, n % 2 == 1, 0);
    }
    return AddChoice(choices, count, RAIDLVL_0, 0, 0);
}

int PlanSingleLd(EasyPlan *plan, const ContData *records, const SingleLdChoice *choice)
{
    memset(&plan->request, 0, sizeof(plan->request));
    plan->pdCapped = 0;
    int rc = CheckUniformTypes(plan, records);
    if (rc != LAYOUT_OK)
        return rc;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, plan->contNo, freeMap);
    RgEntry *group = &plan->request.groups[0];
    plan->request.groupCount = 1;
    group->raidLevel = choice->level;
    plan->level[0] = choice->level;
    rc = NumberGroupLds(plan, records, group, 1, freeMap);
    if (rc != LAYOUT_OK)
        return rc;
    int hsCount = choice->ghs ? 1 : 0;
    plan->hs[0] = choice->ghs ? PickHotSpare(records, plan->contNo, &plan->candidates) : NO_HOT_SPARE;
    plan->hs[1] = NO_HOT_SPARE;
    plan->hsCount = hsCount;
    int pdCount = CandidateCount(plan) - hsCount;
    int maxPds = GetMaxPdNumForRaidLvl(choice->level, records, plan->contNo);
    if (maxPds < pdCount) {
        plan->pdCapped = 1;
        pdCount = maxPds;
    }
    int copied = 0;
    FillGroupPds(&plan->candidates, 0, hsCount, plan->hs, group->pds, pdCount, &copied);
    group->pdCount = (uint16_t)copied;
    AddHotSpares(plan, hsCount);
    if (CreateLDDefaultSet(&plan->request, records, plan->contNo, LD_INIT_FULL) != 0)
        return LAYOUT_FAILED;
    return LAYOUT_OK;
}

// ---------------------------------------------------------------------------------------------
// Multi LD and Multi LD(Snapshot)
// ---------------------------------------------------------------------------------------------
int GroupCountOfLayout(int layout)
{
    return layout == LAYOUT_ONE_GROUP ? 1 : 2;
}

int PlanMultiPrepare(EasyPlan *plan, const ContData *records)
{
    int groups = GroupCountOfLayout(plan->layout);
    memset(&plan->request, 0, sizeof(plan->request));
    int rc = CheckUniformTypes(plan, records);
    if (rc != LAYOUT_OK)
        return rc;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, plan->contNo, freeMap);
    plan->request.groupCount = (uint8_t)groups;
    for (int g = 0; g < groups; ++g) {
        RgEntry *group = &plan->request.groups[g];
        group->raidLevel = plan->level[g];
        int lds = plan->layout == LAYOUT_TWO_GROUPS_ONE_LD ? 1 : plan->ldCount[g];
        rc = NumberGroupLds(plan, records, group, lds, freeMap);
        if (rc != LAYOUT_OK)
            return rc;
    }
    PickHotSpares(records, plan->contNo, &plan->candidates, plan->hs);
    if (plan->hsCount > 0 && CandidateCount(plan) < 2)
        return LAYOUT_FAILED;
    AddHotSpares(plan, plan->hsCount);
    return LAYOUT_OK;
}

int MultiGroupPds(EasyPlan *plan)
{
    int k = CandidateCount(plan) - plan->hsCount;
    plan->pdCapped = k > EASY_GROUP_PD_CAP;
    return plan->pdCapped ? EASY_GROUP_PD_CAP : k;
}

void SplitCapacities(const EasyPlan *plan, const ContData *records, int k, int firstPds, uint64_t *capa0,
                     uint64_t *capa1)
{
    uint8_t pds0[RG_PD_MAX], pds1[RG_PD_MAX];
    int got0 = 0, got1 = 0;
    const ContData *record = &records[plan->contNo];
    int next = FillGroupPds(&plan->candidates, 0, plan->hsCount, plan->hs, pds0, firstPds, &got0);
    FillGroupPds(&plan->candidates, next, plan->hsCount, plan->hs, pds1, k - firstPds, &got1);
    *capa0 = CalcLDCapa(plan->level[0], (unsigned)got0, SmallestPdBlocks(record, pds0, (unsigned)got0, NULL),
                        plan->contNo);
    *capa1 = CalcLDCapa(plan->level[1], (unsigned)got1, SmallestPdBlocks(record, pds1, (unsigned)got1, NULL),
                        plan->contNo);
}

unsigned RepositoryShare(uint64_t capa0, uint64_t capa1)
{
    uint64_t sum = capa0 + capa1;
    return sum == 0 ? 0 : (unsigned)(capa1 * 100 / sum);
}

// Snapshot order: shares of 50 or more first by decreasing first-group size, then the others by
// increasing size. Returns how many of the ordered splits are recommended.
static int OrderSnapshotSplits(const EasyPlan *plan, const ContData *records, int k, int *splits, int count)
{
    int ordered[RG_PD_MAX];
    int used = 0;
    for (int i = count - 1; i >= 0; --i) {
        uint64_t c0, c1;
        SplitCapacities(plan, records, k, splits[i], &c0, &c1);
        if (RepositoryShare(c0, c1) >= 50)
            ordered[used++] = splits[i];
    }
    int recommended = used;
    for (int i = 0; i < count; ++i) {
        uint64_t c0, c1;
        SplitCapacities(plan, records, k, splits[i], &c0, &c1);
        if (RepositoryShare(c0, c1) < 50)
            ordered[used++] = splits[i];
    }
    memcpy(splits, ordered, sizeof(int) * (size_t)count);
    return recommended;
}

int MultiSplits(const EasyPlan *plan, const ConfigPatTable *pattern, const ContData *records, int *splits,
                int maxSplits, int *recommended)
{
    EasyPlan *editable = (EasyPlan *)plan;
    int k = MultiGroupPds(editable);
    int count = TwoGroupSplits(pattern, k, plan->level[0], plan->level[1], records, plan->contNo, splits, maxSplits);
    *recommended = 0;
    if (count > 1 && plan->variant == EASY_SNAPSHOT)
        *recommended = OrderSnapshotSplits(plan, records, k, splits, count);
    return count;
}

uint64_t PlannedGroupCapacity(const EasyPlan *plan, const ContData *records, int group)
{
    const RgEntry *entry = &plan->request.groups[group];
    uint64_t smallest = SmallestPdBlocks(&records[plan->contNo], entry->pds, entry->pdCount, NULL);
    return CalcLDCapa(entry->raidLevel, entry->pdCount, smallest, plan->contNo);
}

// Repository checks and sizes of the snapshot layouts, on sizes read afresh from the PDs.
static int ApplySnapshotSizes(EasyPlan *plan, const ContData *records)
{
    if (plan->layout == LAYOUT_TWO_GROUPS_ONE_LD) {
        const RgEntry *repoGroup = &plan->request.groups[1];
        uint64_t smallest = SmallestPdSize(plan->contNo, records, repoGroup->pds, repoGroup->pdCount);
        uint64_t capa = CalcLDCapa(repoGroup->raidLevel, repoGroup->pdCount, smallest, plan->contNo);
        return IsRepositoryGroupLargeEnough(capa) ? LAYOUT_OK : LAYOUT_REPO_TOO_SMALL;
    }
    for (int g = 0; g < plan->request.groupCount; ++g) {
        RgEntry *group = &plan->request.groups[g];
        uint64_t smallest = SmallestPdSize(plan->contNo, records, group->pds, group->pdCount);
        uint64_t capa = CalcLDCapa(group->raidLevel, group->pdCount, smallest, plan->contNo);
        uint64_t repo = RepositoryShareBlocks(capa, plan->rate[g]);
        if (group->ldCount < 2 || !IsRepositoryShareLargeEnough(repo, group->ldCount))
            return LAYOUT_REPO_TOO_SMALL;
        uint64_t base = (capa - repo) / (uint64_t)(group->ldCount - 1);
        for (int l = 0; l < group->ldCount - 1; ++l)
            group->lds[l].size = base;
        group->lds[group->ldCount - 1].size = repo;
    }
    return LAYOUT_OK;
}

int PlanMultiPlace(EasyPlan *plan, const ConfigPatTable *pattern, const ContData *records, int firstPds)
{
    int k = MultiGroupPds(plan);
    RgEntry *g0 = &plan->request.groups[0];
    RgEntry *g1 = &plan->request.groups[1];
    if (GroupCountOfLayout(plan->layout) == 1) {
        int copied = 0;
        FillGroupPds(&plan->candidates, 0, plan->hsCount, plan->hs, g0->pds, k, &copied);
        g0->pdCount = (uint16_t)copied;
        if (!IsPatLevelAllowed(pattern, k, plan->level[0], records, plan->contNo))
            return LAYOUT_ABNORMAL_COUNT;
    } else {
        if (firstPds < 1 || firstPds >= k)
            return LAYOUT_NO_SPLIT;
        plan->firstGroupPds = firstPds;
        int got0 = 0, got1 = 0;
        int next = FillGroupPds(&plan->candidates, 0, plan->hsCount, plan->hs, g0->pds, firstPds, &got0);
        FillGroupPds(&plan->candidates, next, plan->hsCount, plan->hs, g1->pds, k - firstPds, &got1);
        g0->pdCount = (uint16_t)got0;
        g1->pdCount = (uint16_t)got1;
    }
    if (CreateLDDefaultSet(&plan->request, records, plan->contNo, LD_INIT_FULL) != 0)
        return LAYOUT_FAILED;
    if (plan->variant == EASY_SNAPSHOT)
        return ApplySnapshotSizes(plan, records);
    return LAYOUT_OK;
}

// ---------------------------------------------------------------------------------------------
// Single LD(CacheCade)
// ---------------------------------------------------------------------------------------------
int CheckCacheCadePds(const ContData *records, uint8_t contNo, const uint8_t *pds, int count, int *maxPds)
{
    if (IsMixedInterfaceTypeList(records, contNo, pds, count))
        return LAYOUT_MIXED_INTERFACE;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, contNo, freeMap);
    if (TakeFreeLdNo(records, contNo, freeMap) < 0)
        return LAYOUT_LD_LIMIT;
    *maxPds = GetMaxPdNumForRaidLvl(RAIDLVL_0, records, contNo);
    return count > *maxPds ? LAYOUT_PD_LIMIT : LAYOUT_OK;
}

int PlanCacheCade(EasyPlan *plan, const ContData *records, const uint8_t *pds, int count)
{
    LdCreateRequest *request = &plan->request;
    memset(request, 0, sizeof(*request));
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, plan->contNo, freeMap);
    int ldNo = TakeFreeLdNo(records, plan->contNo, freeMap);
    if (ldNo < 0)
        return LAYOUT_LD_LIMIT;
    if (count < 0 || count > RG_PD_MAX)
        return LAYOUT_FAILED;
    RgEntry *group = &request->groups[0];
    request->groupCount = 1;
    group->raidLevel = RAIDLVL_0;
    group->ldCount = 1;
    group->lds[0].ldNo = (uint8_t)ldNo;
    group->pdCount = (uint16_t)count;
    memcpy(group->pds, pds, (size_t)count);
    if (CreateLDDefaultSet(request, records, plan->contNo, LD_INIT_NONE) != 0)
        return LAYOUT_FAILED;
    return LAYOUT_OK;
}

// ---------------------------------------------------------------------------------------------
// Custom creation
// ---------------------------------------------------------------------------------------------
int PlanCustomGroup(LdCreateRequest *request, const ConfigPatTable *pattern, const ContData *records, uint8_t contNo,
                    int32_t level, const uint8_t *pds, int pdCount, uint32_t cacheBits, const CustomSizeList *sizes)
{
    memset(request, 0, sizeof(*request));
    RgEntry *group = &request->groups[0];
    request->groupCount = 1;
    int sized = sizes != NULL && sizes->count > 0;
    int ldCount = sized ? sizes->count : 1;
    if (ldCount > RG_LD_MAX || pdCount < 0 || pdCount > RG_PD_MAX)
        return LAYOUT_FAILED;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, contNo, freeMap);
    for (int l = 0; l < ldCount; ++l) {
        int no = TakeFreeLdNo(records, contNo, freeMap);
        if (no < 0)
            return LAYOUT_LD_LIMIT;
        group->lds[l].ldNo = (uint8_t)no;
    }
    if (pdCount > GetMaxPdNumForRaidLvl(level, records, contNo))
        return LAYOUT_PD_LIMIT;
    if (!IsPatLevelAllowed(pattern, pdCount, level, records, contNo))
        return LAYOUT_ABNORMAL_COUNT;
    group->raidLevel = level;
    group->ldCount = (uint8_t)ldCount;
    group->pdCount = (uint16_t)pdCount;
    memcpy(group->pds, pds, (size_t)pdCount);
    CustomSizeList converted;
    if (sized)
        converted = *sizes;
    if (CreateLDDefaultSet2(request, records, contNo, cacheBits, sized ? &converted : NULL) != 0)
        return LAYOUT_FAILED;
    uint64_t minimum = (uint64_t)pdCount * 8388608ull / 1000;
    for (int l = 0; l < ldCount; ++l) {
        if (group->lds[l].size <= minimum)
            return LAYOUT_SIZE_TOO_SMALL;
    }
    return LAYOUT_OK;
}

int CheckGroupOptimal(uint8_t contNo, const uint8_t *ld)
{
    static uint8_t arrayInfo[ARRAY_INFO_SIZE];
    for (int k = 0; k < ld[LI_SPAN_DEPTH] && k < LI_MAX_SPANS; ++k) {
        uint16_t ref = LayoutU16(ld, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_ARRAY_REF);
        if (SLGetArrayInfo(contNo, ref, arrayInfo) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, arrayRef=%u", "CliCmdExecCfgLDCustomMakeAdd",
                      "SLGetArrayInfo error", (unsigned)contNo, (unsigned)ref);
            return LAYOUT_FAILED;
        }
        uint32_t lds = LayoutU32(arrayInfo, AI_LD_COUNT);
        for (uint32_t i = 0; i < lds && i < LD_MAX; ++i) {
            uint8_t target = arrayInfo[AI_LDS + AI_LD_ENTRY_SIZE * i];
            uint8_t ldInfo[LD_INFO_SIZE];
            if (SLGetLDInfo(contNo, target, ldInfo) != 0) {
                ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecCfgLDCustomMakeAdd",
                          "SLGetLDInfo error", (unsigned)contNo, (unsigned)target);
                return LAYOUT_FAILED;
            }
            if (ldInfo[LI_STATE] != LD_STATE_OPTIMAL)
                return LAYOUT_NOT_OPTIMAL;
        }
    }
    return LAYOUT_OK;
}
