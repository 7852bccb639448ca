// Easy LD creation of zavcli (lde): the controller and Create LD menus and the Single LD, Multi LD,
// CacheCade and snapshot dialogues with their layout drawings and result report.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "cli/zavcli_lde_layout.h"
#include "cli/zavcli_ldcreate.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

static const char MSG_SINGLE_OVER16[] = "Information - The number of unconfigured PDs(physical drives) is over 16.\n"
                                        "Create LD(Logical Drive) with 16 PDs(physical drives).\n";
static const char MSG_MULTI_OVER16[] = "Information - The number of unconfigured physical drives is over 16.\n"
                                       "Create LD(Logical Drive) with 16 PDs(physical drives).\n";
static const char MSG_REPO_TOO_SMALL[] = "Error - Controller[%d] The capacity of the Snapshot Repository LD(Logical "
                                         "Drive) is too small.\nPlease re-set the capacity.";

enum { TEXT_LINE = 512 };

static void CapacityGb(char *out, size_t size, uint64_t blocks)
{
    CapacityText(out, size, blocks);
}

// ---------------------------------------------------------------------------------------------
// Dialogue state of one lde run
// ---------------------------------------------------------------------------------------------
enum Variant { VARIANT_SINGLE = 1, VARIANT_MULTI, VARIANT_CACHECADE, VARIANT_SNAPSHOT };
enum { STEP_NEXT = 0, STEP_BACK = 1, STEP_QUIT = 2, STEP_DONE = 3 };

struct EasyRun {
    ContData *records;
    uint16_t contCount;
    uint8_t contNo;
    int featured;      // snapshot or CacheCade present: titles carry "(Basic)"
    int variant;
    ConfigPatTable pattern;
    CandidatePdList candidates;
    int hs[2];
    int layout;
    int32_t level[2];
    int minPds[2];
    int ldCount[2];    // LDs of each group (snapshot: bases plus the repository)
    int rate[2];       // snapshot share of each group, percent
    int hsCount;
    int firstGroupPds; // PDs of the first group after the split
    uint64_t capacity[2];
    LdCreateRequest request;
};

static EasyRun g_run;

static ContData *Record(const EasyRun *run)
{
    return &run->records[run->contNo];
}

static int CandidateCount(const EasyRun *run)
{
    return run->candidates.count;
}

static void PrintScreenHead(const EasyRun *run)
{
    ConsoleOut("Currently selected contller : %d\n", run->contNo);
    if (run->variant == VARIANT_SNAPSHOT)
        ConsoleOut("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare, SS:Snapshot)\n\n");
    else
        ConsoleOut("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare)\n\n");
}

static void PrintScreenTail(void)
{
    ConsoleOut("(B) Back\n(Q) Quit\n");
}

// The "No configuration." screen; only B and Q are accepted.
static int NoConfigurationScreen(const EasyRun *run, const char *prompt)
{
    PrintScreenHead(run);
    ConsoleOut("No configuration.\nLogical Drive candidate doesn't exist.\n\n");
    PrintScreenTail();
    int answer = ComChkChoice(prompt, 0, 0, 0);
    return answer == CHOICE_BACK ? STEP_BACK : STEP_QUIT;
}

static int MinPdsOfLevel(int32_t raidLvl)
{
    static const int MIN_PDS[RAIDLVL_COUNT] = { 1, 2, 3, 4, 4 };
    return raidLvl >= 0 && raidLvl < RAIDLVL_COUNT ? MIN_PDS[raidLvl] : 0;
}

static void LevelName(char *out, size_t size, int32_t raidLvl, uint8_t contNo)
{
    if (RaidlvlToStr(out, size, raidLvl, contNo) == 0)
        DispCopy(out, size, "-");
}

// ---------------------------------------------------------------------------------------------
// Result report
// ---------------------------------------------------------------------------------------------
static int IsCandidate(const CandidatePdList *list, uint8_t slot)
{
    for (int i = 0; i < list->count; ++i) {
        if (list->pdNo[i] == slot)
            return 1;
    }
    return 0;
}

static void PdTableLine(const ContData *record, uint8_t contNo, uint8_t slot, const CandidatePdList *used)
{
    if (!MorePdIsDisk(record, slot)) {
        ConsoleOut("%-6s %-17s %-6s %-10s %-18s %-4s %-12s\n", "-", "-", "-", "-", "-", "-", "-");
        return;
    }
    const uint8_t *info = record->pdInfo[slot];
    char pdName[16], usage[TEXT_LINE], ldText[TEXT_LINE], rg[64], level[32], state[32], type[32], capa[32];
    snprintf(pdName, sizeof(pdName), "PD%d", slot);
    PdUsageText(usage, sizeof(usage), record, slot);
    snprintf(ldText, sizeof(ldText), "%s%s", IsCandidate(used, slot) ? "* " : "", usage);
    if (strlen(ldText) > 14)
        strcpy(ldText + 14, "...");
    PdRaidGroupText(rg, sizeof(rg), record, slot);
    if (strcmp(ldText, "GHS") == 0 || strcmp(ldText, "DHS") == 0 || strcmp(ldText, "* GHS") == 0 ||
        strcmp(ldText, "* DHS") == 0)
        DispCopy(level, sizeof(level), "-");
    else if (strncmp(rg, "scRG", 4) == 0)
        DispCopy(level, sizeof(level), "RAID0");
    else
        PdGroupLevelText(level, sizeof(level), record, contNo, slot);
    PdStateText(state, sizeof(state), LayoutU16(info, PI_FW_STATE));
    MediaTypeText(type, sizeof(type), info);
    CapacityGb(capa, sizeof(capa), LayoutU64(info, PI_COERCED_SIZE));
    ConsoleOut("%-6s %-17s %-6s %-10s %-18s %-4s %-12s\n", pdName, ldText, rg, level, state, type, capa);
}

// Refreshes the records and prints the PD table and the capacity lines of the created groups.
static void PrintResultReport(ContData *records, uint16_t contCount, uint8_t contNo, const CandidatePdList *used,
                              const uint64_t *capacities, int groups)
{
    if (!UpdateDriveInfo(records, contCount))
        return;
    const ContData *record = &records[contNo];
    ConsoleOut("### Physical Drive(PD) ###\n"
        "PD No. LD No.            RG No. RAID Level State              Type Capacity[GB]\n"
        "------ ----------------- ------ ---------- ------------------ ---- ------------\n");
    for (unsigned slot = 0; slot < record->slotNum && slot < CONTDATA_PD_SLOTS; ++slot)
        PdTableLine(record, contNo, (uint8_t)slot, used);
    ConsoleOut("\n### RAID GROUP Capacity ###\n");
    for (int g = 0; g < groups; ++g) {
        char capa[32];
        CapacityGb(capa, sizeof(capa), capacities[g]);
        ConsoleOut("RAID #%d         %-7s[GB]\n", g, capa);
    }
    ConsoleOut("\n");
}

// ---------------------------------------------------------------------------------------------
// Request building shared by the variants
// ---------------------------------------------------------------------------------------------
static uint64_t GroupCapacity(const EasyRun *run, const RgEntry *group)
{
    uint64_t smallest = SmallestPdBlocks(Record(run), group->pds, group->pdCount, NULL);
    return CalcLDCapa(group->raidLevel, group->pdCount, smallest, run->contNo);
}

static int CheckUniformTypes(const EasyRun *run)
{
    if (IsMixedInterfaceType(run->records, run->contNo, &run->candidates)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_INTERFACE);
        return 0;
    }
    if (IsMixedMediaType(run->records, run->contNo, &run->candidates)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_MEDIA);
        return 0;
    }
    return 1;
}

// Gives every LD of the group a number; 0 (after the LD-limit error) when none is left.
static int NumberGroupLds(EasyRun *run, RgEntry *group, int ldCount, uint8_t freeMap[LD_MAX])
{
    group->ldCount = (uint8_t)ldCount;
    for (int l = 0; l < ldCount; ++l) {
        int no = TakeFreeLdNo(run->records, run->contNo, freeMap);
        if (no < 0) {
            ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
            return 0;
        }
        group->lds[l].ldNo = (uint8_t)no;
    }
    return 1;
}

static void AddHotSpares(EasyRun *run, int count)
{
    run->request.ghsCount = count;
    for (int i = 0; i < count && i < 2; ++i)
        run->request.ghs[i] = run->candidates.pdNo[run->hs[i]];
}

// Size question, then the creation request; returns 1 when the controller created the groups.
static int ConfirmAndCreate(EasyRun *run, int cacheCade)
{
    if (ConfirmDiffPDSize(&run->request, run->contNo) && !ComChk(NULL, cacheCade ? PROMPT_CACHECADE_DIFFERENT_PD_SIZE : PROMPT_DIFFERENT_PD_SIZE, 0))
        return -1;
    int32_t status = cacheCade ? SLCreateCacheCadeLD(run->contNo, &run->request) : SLCreateLD(run->contNo, &run->request);
    if (status != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        return 0;
    }
    return 1;
}

static void PrintRunResult(EasyRun *run, int groups)
{
    for (int g = 0; g < groups; ++g)
        run->capacity[g] = GroupCapacity(run, &run->request.groups[g]);
    PrintResultReport(run->records, run->contCount, run->contNo, &run->candidates, run->capacity, groups);
}

// ---------------------------------------------------------------------------------------------
// Single LD
// ---------------------------------------------------------------------------------------------
struct SingleChoice {
    int32_t level;
    int ghs;
    int drawOnePd;
};

static int SingleChoices(const EasyRun *run, SingleChoice *choices)
{
    int n = CandidateCount(run);
    int count = 0;
    if (n == 1) {
        choices[count++] = SingleChoice{ RAIDLVL_0, 0, 1 };
        return count;
    }
    if (n == 2) {
        choices[count++] = SingleChoice{ RAIDLVL_1, 0, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_0, 0, 0 };
        return count;
    }
    if (IsEmbeddedController(run->records)) {
        choices[count++] = SingleChoice{ RAIDLVL_1, 1, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_0, 0, 1 };
        return count;
    }
    if (n == 3) {
        choices[count++] = SingleChoice{ RAIDLVL_1, 1, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_5, 0, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_0, 0, 0 };
        return count;
    }
    choices[count++] = SingleChoice{ RAIDLVL_5, 1, 0 };
    choices[count++] = SingleChoice{ RAIDLVL_5, 0, 0 };
    if (n == 4) {
        choices[count++] = SingleChoice{ RAIDLVL_6, 0, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_10, 0, 0 };
    } else {
        choices[count++] = SingleChoice{ RAIDLVL_6, 1, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_6, 0, 0 };
        choices[count++] = SingleChoice{ RAIDLVL_10, n % 2 == 1, 0 };
    }
    choices[count++] = SingleChoice{ RAIDLVL_0, 0, 0 };
    return count;
}

static void PrintSingleScreen(const EasyRun *run, const SingleChoice *choices, int count)
{
    PrintScreenHead(run);
    for (int i = 0; i < count; ++i) {
        DrawBox boxes[2];
        char label[16];
        LevelName(label, sizeof(label), choices[i].level, run->contNo);
        BuildGroupBox(&boxes[0], label, GROUP_ONE_LD, choices[i].drawOnePd ? PD_ROW_ONE : PdRowFor(choices[i].level, 2));
        if (choices[i].ghs)
            BuildGhsBox(&boxes[1]);
        PrintLayout(i + 1, boxes, choices[i].ghs ? 2 : 1);
    }
    PrintScreenTail();
}

static int CreateSingle(EasyRun *run, const SingleChoice *choice)
{
    if (!CheckUniformTypes(run))
        return STEP_DONE;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(run->records, run->contNo, freeMap);
    RgEntry *group = &run->request.groups[0];
    run->request.groupCount = 1;
    group->raidLevel = choice->level;
    if (!NumberGroupLds(run, group, 1, freeMap))
        return STEP_DONE;
    int hsCount = choice->ghs ? 1 : 0;
    run->hs[0] = choice->ghs ? PickHotSpare(run->records, run->contNo, &run->candidates) : NO_HOT_SPARE;
    run->hs[1] = NO_HOT_SPARE;
    int pdCount = CandidateCount(run) - hsCount;
    int maxPds = GetMaxPdNumForRaidLvl(choice->level, run->records, run->contNo);
    if (maxPds < pdCount) {
        ZAV_REPORT(REPORT_BOTH, MSG_SINGLE_OVER16);
        pdCount = maxPds;
    }
    int copied = 0;
    FillGroupPds(&run->candidates, 0, hsCount, run->hs, group->pds, pdCount, &copied);
    group->pdCount = (uint16_t)copied;
    AddHotSpares(run, hsCount);
    if (CreateLDDefaultSet(&run->request, run->records, run->contNo, LD_INIT_FULL) != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        return STEP_DONE;
    }
    if (ConfirmAndCreate(run, 0) != 1)
        return STEP_DONE;
    PrintRunResult(run, 1);
    ZAV_REPORT(REPORT_BOTH, "%s", MSG_INIT_STARTS);
    return STEP_DONE;
}

static int RunSingle(EasyRun *run)
{
    int n = CandidateCount(run);
    if (!RowHasSupportedLevel(&run->pattern, n, run->records, run->contNo))
        return NoConfigurationScreen(run, "Please input B or Q :");
    SingleChoice choices[6];
    int count = SingleChoices(run, choices);
    PrintSingleScreen(run, choices, count);
    int answer = ComChkChoice("Please input number or B or Q :", count, 0, 0);
    if (answer == CHOICE_BACK)
        return STEP_BACK;
    if (answer == CHOICE_QUIT)
        return STEP_QUIT;
    return CreateSingle(run, &choices[answer - 1]);
}

// ---------------------------------------------------------------------------------------------
// Multi LD and Multi LD(Snapshot)
// ---------------------------------------------------------------------------------------------
enum { LAYOUT_TWO_GROUPS_ONE_LD = 1, LAYOUT_ONE_GROUP = 2, LAYOUT_TWO_GROUPS = 3 };

static int IsSnapshotRun(const EasyRun *run)
{
    return run->variant == VARIANT_SNAPSHOT;
}

static int GroupCountOfLayout(int layout)
{
    return layout == LAYOUT_ONE_GROUP ? 1 : 2;
}

static void PrintMultiScreen(const EasyRun *run)
{
    int snapshot = IsSnapshotRun(run);
    int several = snapshot ? GROUP_SS_SET : GROUP_MULTI_LD;
    DrawBox boxes[3];
    PrintScreenHead(run);
    if (CandidateCount(run) == 1) {
        BuildGroupBox(&boxes[0], "RAID #0", several, PD_ROW_MANY);
        BuildGhsBox(&boxes[1]);
        PrintLayout(1, boxes, 2);
        PrintScreenTail();
        return;
    }
    BuildGroupBox(&boxes[0], "RAID #0", snapshot ? GROUP_SS_BASE : GROUP_ONE_LD, PD_ROW_MANY);
    BuildGroupBox(&boxes[1], "RAID #1", snapshot ? GROUP_SS_REPOSITORY : GROUP_ONE_LD, PD_ROW_MANY);
    BuildGhsBox(&boxes[2]);
    PrintLayout(1, boxes, 3);
    BuildGroupBox(&boxes[0], "RAID #0", several, PD_ROW_MANY);
    BuildGhsBox(&boxes[1]);
    PrintLayout(2, boxes, 2);
    BuildGroupBox(&boxes[0], "RAID #0", several, PD_ROW_MANY);
    BuildGroupBox(&boxes[1], "RAID #1", several, PD_ROW_MANY);
    BuildGhsBox(&boxes[2]);
    PrintLayout(3, boxes, 3);
    PrintScreenTail();
}

// Steps of the Multi LD dialogue after the layout choice.
enum MultiStep { MSTEP_LEVEL0, MSTEP_COUNT0, MSTEP_RATE0, MSTEP_LEVEL1, MSTEP_COUNT1, MSTEP_RATE1, MSTEP_HS };

static int BuildMultiSteps(const EasyRun *run, int *steps)
{
    int count = 0;
    int severalLds = run->layout != LAYOUT_TWO_GROUPS_ONE_LD;
    steps[count++] = MSTEP_LEVEL0;
    if (severalLds) {
        steps[count++] = MSTEP_COUNT0;
        if (IsSnapshotRun(run))
            steps[count++] = MSTEP_RATE0;
    }
    if (GroupCountOfLayout(run->layout) == 2) {
        steps[count++] = MSTEP_LEVEL1;
        if (severalLds) {
            steps[count++] = MSTEP_COUNT1;
            if (IsSnapshotRun(run))
                steps[count++] = MSTEP_RATE1;
        }
    }
    steps[count++] = MSTEP_HS;
    return count;
}

static int AskLevel(EasyRun *run, int group)
{
    LevelList list;
    int n = CandidateCount(run);
    if (group == 0 && run->layout == LAYOUT_ONE_GROUP)
        LevelsForSingleGroup(&run->pattern, n, run->records, run->contNo, LEVEL_ORDER_BASIC, &list);
    else if (group == 0)
        LevelsForFirstOfTwo(&run->pattern, n, run->records, run->contNo, LEVEL_ORDER_BASIC, &list);
    else
        LevelsForSecondGroup(&run->pattern, n, run->level[0], run->records, run->contNo,
                             IsSnapshotRun(run) && run->layout == LAYOUT_TWO_GROUPS_ONE_LD ? LEVEL_ORDER_SNAPSHOT
                                                                                          : LEVEL_ORDER_BASIC,
                             &list);
    ConsoleOut("[RAID #%d]\nRAID Level\n", group);
    for (int i = 0; i < list.count; ++i) {
        char name[16];
        LevelName(name, sizeof(name), list.levels[i], run->contNo);
        ConsoleOut("  (%d)%s\n", i + 1, name);
    }
    ConsoleOut("  (B) Back\n  (Q) Quit\n");
    int answer = ComChkChoice("Please input number or B or Q(Not selected->(1)) :", list.count, list.count > 0 ? 1 : 0, 0);
    if (answer == CHOICE_BACK)
        return STEP_BACK;
    if (answer == CHOICE_QUIT)
        return STEP_QUIT;
    run->level[group] = list.levels[answer - 1];
    run->minPds[group] = MinPdsOfLevel(run->level[group]);
    return STEP_NEXT;
}

// LD count of a group: "# of Logical Drive" (snapshot: "# of SS Base LD", the repository added).
static int AskLdCount(EasyRun *run, int group)
{
    int snapshot = IsSnapshotRun(run);
    int embedded = IsEmbeddedController(run->records);
    int upper = snapshot ? (embedded ? 8 : 15) : (embedded ? 8 : 16);
    char prompt[96];
    snprintf(prompt, sizeof(prompt), snapshot ? "# of SS Base LD[1-%d](Not selected->(1)) :"
                                              : "# of Logical Drive[1-%d](Not selected->(1)) :", upper);
    int answer = ComChkChoice(prompt, upper, 1, 1);
    if (answer == CHOICE_BACK)
        return STEP_BACK;
    if (answer == CHOICE_QUIT)
        return STEP_QUIT;
    run->ldCount[group] = snapshot ? answer + 1 : answer;
    return STEP_NEXT;
}

static int AskSnapshotRate(EasyRun *run, int group)
{
    for (;;) {
        const char *answer = NULL;
        int kind = ComChkAnswer("% of Snapshot[10,20,...,90](Not selected->50) :", &answer);
        if (kind == CHOICE_QUIT)
            return STEP_QUIT;
        if (kind == CHOICE_BACK)
            return STEP_BACK;
        if (answer[0] == '\0') {
            run->rate[group] = 50;
            return STEP_NEXT;
        }
        if (strlen(answer) == 2 && answer[0] >= '1' && answer[0] <= '9' && answer[1] == '0') {
            run->rate[group] = (answer[0] - '0') * 10;
            return STEP_NEXT;
        }
        ComChkInvalid(answer);
    }
}

static int RequiredPds(const EasyRun *run)
{
    int required = run->minPds[0];
    if (GroupCountOfLayout(run->layout) == 2)
        required += run->minPds[1];
    return required;
}

static int AskHotSpares(EasyRun *run)
{
    int groups = GroupCountOfLayout(run->layout);
    int n = CandidateCount(run);
    int def = DefaultHotSpareCount(&run->pattern, n, groups, run->level[0], groups == 2 ? run->level[1] : 0,
                                   run->records, run->contNo);
    char prompt[64];
    snprintf(prompt, sizeof(prompt), "[GHS]\n# of Hot Spare[0-2](Not selected->(%d)) :", def);
    for (;;) {
        const char *answer = NULL;
        int kind = ComChkAnswer(prompt, &answer);
        if (kind == CHOICE_QUIT)
            return STEP_QUIT;
        if (kind == CHOICE_BACK)
            return STEP_BACK;
        int h = -1;
        if (answer[0] == '\0')
            h = def;
        else if (answer[1] == '\0' && answer[0] >= '0' && answer[0] <= '2')
            h = answer[0] - '0';
        if (h >= 0 && n >= h + RequiredPds(run)) {
            run->hsCount = h;
            return STEP_NEXT;
        }
        ComChkInvalid(answer);
    }
}

static int RunMultiStep(EasyRun *run, int step)
{
    switch (step) {
    case MSTEP_LEVEL0:
        return AskLevel(run, 0);
    case MSTEP_COUNT0:
        return AskLdCount(run, 0);
    case MSTEP_RATE0:
        return AskSnapshotRate(run, 0);
    case MSTEP_LEVEL1:
        return AskLevel(run, 1);
    case MSTEP_COUNT1:
        return AskLdCount(run, 1);
    case MSTEP_RATE1:
        return AskSnapshotRate(run, 1);
    default:
        return AskHotSpares(run);
    }
}

// Capacities of both groups for a split giving firstPds PDs to the first group.
static void SplitCapacities(const EasyRun *run, int k, int firstPds, uint64_t *capa0, uint64_t *capa1)
{
    uint8_t pds0[RG_PD_MAX], pds1[RG_PD_MAX];
    int got0 = 0, got1 = 0;
    int next = FillGroupPds(&run->candidates, 0, run->hsCount, run->hs, pds0, firstPds, &got0);
    FillGroupPds(&run->candidates, next, run->hsCount, run->hs, pds1, k - firstPds, &got1);
    *capa0 = CalcLDCapa(run->level[0], (unsigned)got0, SmallestPdBlocks(Record(run), pds0, (unsigned)got0, NULL),
                        run->contNo);
    *capa1 = CalcLDCapa(run->level[1], (unsigned)got1, SmallestPdBlocks(Record(run), pds1, (unsigned)got1, NULL),
                        run->contNo);
}

static unsigned RepositoryShare(uint64_t capa0, uint64_t capa1)
{
    uint64_t sum = capa0 + capa1;
    return sum == 0 ? 0 : (unsigned)(capa1 * 100 / sum);
}

// Snapshot order: shares of 50 or more first by decreasing first-group size, then the others by
// increasing size. Returns how many of the ordered splits are recommended.
static int OrderSnapshotSplits(const EasyRun *run, int k, int *splits, int count)
{
    int ordered[RG_PD_MAX];
    int used = 0;
    for (int i = count - 1; i >= 0; --i) {
        uint64_t c0, c1;
        SplitCapacities(run, k, splits[i], &c0, &c1);
        if (RepositoryShare(c0, c1) >= 50)
            ordered[used++] = splits[i];
    }
    int recommended = used;
    for (int i = 0; i < count; ++i) {
        uint64_t c0, c1;
        SplitCapacities(run, k, splits[i], &c0, &c1);
        if (RepositoryShare(c0, c1) < 50)
            ordered[used++] = splits[i];
    }
    memcpy(splits, ordered, sizeof(int) * (size_t)count);
    return recommended;
}

static void PrintSplits(const EasyRun *run, int k, const int *splits, int count, int recommended)
{
    int snapshot = IsSnapshotRun(run);
    ConsoleOut("RAID Group Capacity\n");
    if (snapshot && run->layout != LAYOUT_ONE_GROUP)
        ConsoleOut("*:recommended\n");
    for (int j = 0; j < count; ++j) {
        uint64_t c0, c1;
        char t0[32], t1[32];
        SplitCapacities(run, k, splits[j], &c0, &c1);
        CapacityGb(t0, sizeof(t0), c0);
        CapacityGb(t1, sizeof(t1), c1);
        if (snapshot && j < recommended)
            ConsoleOut(" *(%d) RAID #0        %s[GB]\n", j + 1, t0);
        else
            ConsoleOut("  (%d) RAID #0        %s[GB]\n", j + 1, t0);
        ConsoleOut("      RAID #1        %s[GB]\n", t1);
        if (snapshot)
            ConsoleOut("      %% of Repository %d%%\n", (int)RepositoryShare(c0, c1));
    }
}

// Chooses the first group's PD count among the possible splits. STEP_BACK returns to the
// hot-spare step.
static int ChooseSplit(EasyRun *run, int k)
{
    int splits[RG_PD_MAX];
    int count = TwoGroupSplits(&run->pattern, k, run->level[0], run->level[1], run->records, run->contNo, splits,
                               RG_PD_MAX);
    if (count == 0) {
        ComChkInvalid(ComChkLastAnswer());
        return STEP_BACK;
    }
    if (count == 1) {
        run->firstGroupPds = splits[0];
        return STEP_NEXT;
    }
    int recommended = IsSnapshotRun(run) ? OrderSnapshotSplits(run, k, splits, count) : 0;
    PrintSplits(run, k, splits, count, recommended);
    int answer = ComChkChoice("Please input number or B or Q(Not selected->(1)) :", count, 1, 0);
    if (answer == CHOICE_QUIT)
        return STEP_QUIT;
    if (answer == CHOICE_BACK) {
        ComChkInvalid(ComChkLastAnswer());
        return STEP_BACK;
    }
    run->firstGroupPds = splits[answer - 1];
    return STEP_NEXT;
}

// Repository checks and sizes of the snapshot layouts; 0 (after the error) when too small.
static int ApplySnapshotSizes(EasyRun *run)
{
    if (run->layout == LAYOUT_TWO_GROUPS_ONE_LD) {
        RgEntry *repoGroup = &run->request.groups[1];
        uint64_t smallest = SmallestPdSize(run->contNo, run->records, repoGroup->pds, repoGroup->pdCount);
        uint64_t capa = CalcLDCapa(repoGroup->raidLevel, repoGroup->pdCount, smallest, run->contNo);
        if (!IsRepositoryGroupLargeEnough(capa)) {
            ZAV_REPORT(REPORT_BOTH, MSG_REPO_TOO_SMALL, run->contNo);
            return 0;
        }
        return 1;
    }
    for (int g = 0; g < run->request.groupCount; ++g) {
        RgEntry *group = &run->request.groups[g];
        uint64_t smallest = SmallestPdSize(run->contNo, run->records, group->pds, group->pdCount);
        uint64_t capa = CalcLDCapa(group->raidLevel, group->pdCount, smallest, run->contNo);
        uint64_t repo = RepositoryShareBlocks(capa, run->rate[g]);
        if (!IsRepositoryShareLargeEnough(repo, group->ldCount)) {
            ZAV_REPORT(REPORT_BOTH, MSG_REPO_TOO_SMALL, run->contNo);
            return 0;
        }
        uint64_t base = (capa - repo) / (uint64_t)(group->ldCount - 1);
        for (int l = 0; l < group->ldCount - 1; ++l)
            group->lds[l].size = base;
        group->lds[group->ldCount - 1].size = repo;
    }
    return 1;
}

// Fills the groups after the hot-spare answer; STEP_BACK returns to the hot-spare step.
static int PlaceMultiGroups(EasyRun *run)
{
    int groups = GroupCountOfLayout(run->layout);
    int n = CandidateCount(run);
    int k = n - run->hsCount;
    if (k > 16) {
        ZAV_REPORT(REPORT_BOTH, MSG_MULTI_OVER16);
        k = 16;
    }
    RgEntry *g0 = &run->request.groups[0];
    RgEntry *g1 = &run->request.groups[1];
    if (groups == 1) {
        int copied = 0;
        FillGroupPds(&run->candidates, 0, run->hsCount, run->hs, g0->pds, k, &copied);
        g0->pdCount = (uint16_t)copied;
        if (!IsPatLevelAllowed(&run->pattern, k, run->level[0], run->records, run->contNo)) {
            ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, run->contNo);
            return STEP_DONE;
        }
        return STEP_NEXT;
    }
    int rc = ChooseSplit(run, k);
    if (rc != STEP_NEXT)
        return rc;
    int got0 = 0, got1 = 0;
    int next = FillGroupPds(&run->candidates, 0, run->hsCount, run->hs, g0->pds, run->firstGroupPds, &got0);
    FillGroupPds(&run->candidates, next, run->hsCount, run->hs, g1->pds, k - run->firstGroupPds, &got1);
    g0->pdCount = (uint16_t)got0;
    g1->pdCount = (uint16_t)got1;
    return STEP_NEXT;
}

// Steps 5 to 8 of Multi LD after the hot-spare answer.
static int CreateMulti(EasyRun *run)
{
    int groups = GroupCountOfLayout(run->layout);
    memset(&run->request, 0, sizeof(run->request));
    if (!CheckUniformTypes(run))
        return STEP_DONE;
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(run->records, run->contNo, freeMap);
    run->request.groupCount = (uint8_t)groups;
    for (int g = 0; g < groups; ++g) {
        RgEntry *group = &run->request.groups[g];
        group->raidLevel = run->level[g];
        int lds = run->layout == LAYOUT_TWO_GROUPS_ONE_LD ? 1 : run->ldCount[g];
        if (IsSnapshotRun(run) && run->layout == LAYOUT_TWO_GROUPS_ONE_LD)
            lds = 1;
        if (!NumberGroupLds(run, group, lds, freeMap))
            return STEP_DONE;
    }
    PickHotSpares(run->records, run->contNo, &run->candidates, run->hs);
    if (run->hsCount > 0 && CandidateCount(run) < 2) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        return STEP_DONE;
    }
    AddHotSpares(run, run->hsCount);
    int rc = PlaceMultiGroups(run);
    if (rc != STEP_NEXT)
        return rc;
    if (CreateLDDefaultSet(&run->request, run->records, run->contNo, LD_INIT_FULL) != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        return STEP_DONE;
    }
    if (IsSnapshotRun(run) && !ApplySnapshotSizes(run))
        return STEP_DONE;
    if (ConfirmAndCreate(run, 0) != 1)
        return STEP_DONE;
    PrintRunResult(run, groups);
    if (IsSnapshotRun(run)) {
        SaveSnapshotConstructInfo(run->layout, &run->request, run->contNo);
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_INIT_STARTS);
        ConsoleOut("\nPlease enable Snapshot by \"sse\" command after Initialization.\n");
    } else {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_INIT_STARTS);
    }
    return STEP_DONE;
}

static int RunMultiDialogue(EasyRun *run)
{
    int steps[8];
    int count = BuildMultiSteps(run, steps);
    int at = 0;
    while (at < count) {
        int rc = RunMultiStep(run, steps[at]);
        if (rc == STEP_QUIT)
            return STEP_QUIT;
        if (rc == STEP_BACK) {
            if (at == 0)
                return STEP_BACK;
            --at;
            continue;
        }
        if (steps[at] != MSTEP_HS) {
            ++at;
            continue;
        }
        rc = CreateMulti(run);
        if (rc != STEP_BACK)
            return rc;
        // No or rejected split: ask the hot spares again.
    }
    return STEP_DONE;
}

static int RunMulti(EasyRun *run)
{
    int n = CandidateCount(run);
    if (n == 0)
        return NoConfigurationScreen(run, "Please input B or Q :");
    for (;;) {
        PrintMultiScreen(run);
        int layouts = n == 1 ? 1 : 3;
        int answer = ComChkChoice("Please input number or B or Q :", layouts, 0, 0);
        if (answer == CHOICE_BACK)
            return STEP_BACK;
        if (answer == CHOICE_QUIT)
            return STEP_QUIT;
        run->layout = n == 1 ? LAYOUT_ONE_GROUP : answer;
        run->ldCount[0] = run->ldCount[1] = IsSnapshotRun(run) ? 2 : 1;
        run->rate[0] = run->rate[1] = 50;
        run->level[1] = RAIDLVL_0;
        run->minPds[1] = 0;
        int rc = RunMultiDialogue(run);
        if (rc != STEP_BACK)
            return rc;
    }
}

// ---------------------------------------------------------------------------------------------
// Single LD(CacheCade)
// ---------------------------------------------------------------------------------------------
static int RunCacheCade(EasyRun *run)
{
    GetCandidatePds(run->records, run->contNo, 1, &run->candidates);
    int n = CandidateCount(run);
    if (n == 0)
        return NoConfigurationScreen(run, "Please input B or Q :");
    if (IsMixedInterfaceType(run->records, run->contNo, &run->candidates)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_INTERFACE);
        return STEP_DONE;
    }
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(run->records, run->contNo, freeMap);
    if (TakeFreeLdNo(run->records, run->contNo, freeMap) < 0) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
        return STEP_DONE;
    }
    int pdCount = n;
    int maxPds = GetMaxPdNumForRaidLvl(RAIDLVL_0, run->records, run->contNo);
    if (maxPds < pdCount) {
        ZAV_REPORT(REPORT_BOTH, MSG_SINGLE_OVER16);
        pdCount = maxPds;
    }
    ConsoleOut("Currently selected contller : %d\n", run->contNo);
    if (CreateCacheCadeGroup(run->records, run->contNo, run->candidates.pdNo, pdCount, &run->request) != 1)
        return STEP_DONE;
    PrintRunResult(run, 1);
    OfferCacheCadeAssociation(run->records, run->contNo);
    return STEP_DONE;
}

// ---------------------------------------------------------------------------------------------
// lde: controller selection and the Create LD menu
// ---------------------------------------------------------------------------------------------
static const char *const VARIANT_TITLES[] = { "", "<< Single LD >>", "<< Multi LD >>", "<< Single LD(CacheCade) >>",
                                              "<< Multi LD(Snapshot) >>" };

static void PrintVariantTitle(const EasyRun *run)
{
    if (run->featured && run->variant == VARIANT_SINGLE)
        ConsoleOut("<< Single LD(Basic) >>\n");
    else if (run->featured && run->variant == VARIANT_MULTI)
        ConsoleOut("<< Multi LD(Basic) >>\n");
    else
        ConsoleOut("%s\n", VARIANT_TITLES[run->variant]);
}

// Controller selection menu; the controller number, -1 to end the command.
static int SelectController(EasyRun *run)
{
    if (run->contCount <= 1)
        return 0;
    uint8_t pci[PCI_INFO_SIZE];
    uint8_t ctrlInfo[CTRL_INFO_SIZE];
    ConsoleOut("<< RAID Controller Selection Menu >>\n\n");
    for (int i = 0; i < run->contCount && i < SL_MAX_CONTROLLERS; ++i) {
        if (SLGetCtrlInfo((uint8_t)i, ctrlInfo) != 0 || SLGetPciInfo((uint8_t)i, pci) != 0)
            return -1;
        char name[81];
        memcpy(name, ctrlInfo + CI_PRODUCT_NAME, 80);
        name[80] = '\0';
        ConsoleOut("(%d) [%d]:%s(%d)(Bus%d,Dev%d)\n", i + 1, i, name, i, (int)LayoutU32(pci, PCI_BUS), (int)pci[PCI_DEVICE]);
    }
    ConsoleOut("(Q) Quit\n\n");
    int answer = ComChk(NULL, PROMPT_MENU_NUMBER, run->contCount);
    return answer == 0 ? -1 : answer - 1;
}

// The Create LD menu; returns the chosen variant, or STEP_BACK / STEP_QUIT negated.
static int AskVariant(EasyRun *run)
{
    int snapshot = IsSnapshotSupported(run->records, run->contNo);
    int cacheCade = IsCacheCadeSupported(run->records, run->contNo);
    run->featured = snapshot || cacheCade;
    int map[5] = { 0, VARIANT_SINGLE, VARIANT_MULTI, 0, 0 };
    int choices = 2;
    ConsoleOut("\n<< Create LD Menu >>\n\n");
    if (!run->featured) {
        ConsoleOut("(1) Single LD\n(2) Multi  LD\n");
    } else {
        ConsoleOut("(1) Single LD(Basic)\n(2) Multi  LD(Basic)\n");
        if (cacheCade) {
            ConsoleOut("(%d) Single LD(CacheCade)\n", ++choices);
            map[choices] = VARIANT_CACHECADE;
        }
        if (snapshot) {
            ConsoleOut("(%d) Multi  LD(Snapshot)\n", ++choices);
            map[choices] = VARIANT_SNAPSHOT;
        }
    }
    ConsoleOut("(B) Back\n(Q) Quit\n");
    ConsoleOut("Currently selected controller : %d\n", run->contNo);
    int answer = ComChkChoice("Please input number or B or Q :", choices, 0, 0);
    if (answer == CHOICE_BACK)
        return -STEP_BACK;
    if (answer == CHOICE_QUIT)
        return -STEP_QUIT;
    return map[answer];
}

static int RunVariant(EasyRun *run)
{
    PrintVariantTitle(run);
    memset(&run->request, 0, sizeof(run->request));
    run->hsCount = 0;
    run->hs[0] = run->hs[1] = NO_HOT_SPARE;
    if (run->variant == VARIANT_CACHECADE)
        return RunCacheCade(run);
    ReadConfigPatFile(&run->pattern);
    GetCandidatePds(run->records, run->contNo, 0, &run->candidates);
    PickHotSpares(run->records, run->contNo, &run->candidates, run->hs);
    if (run->variant == VARIANT_SINGLE)
        return RunSingle(run);
    return RunMulti(run);
}

int CliCmdExecCfgLDEasyMakeAdd(int argc, char **argv, ContData *records, uint16_t contCount)
{
    if (argc > 2)
        return ReportInvalidToken(argv[1]);
    EasyRun *run = &g_run;
    memset(run, 0, sizeof(*run));
    run->records = records;
    run->contCount = contCount;
    for (;;) {
        int contNo = SelectController(run);
        if (contNo < 0)
            return 0;
        run->contNo = (uint8_t)contNo;
        for (;;) {
            int variant = AskVariant(run);
            if (variant == -STEP_QUIT)
                return 0;
            if (variant == -STEP_BACK)
                break;
            run->variant = variant;
            int rc = RunVariant(run);
            if (rc != STEP_BACK)
                return 0;
        }
        if (contCount <= 1)
            return 0;
    }
}
