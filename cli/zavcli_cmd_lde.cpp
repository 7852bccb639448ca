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
#include "common/LdLayout.h"
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
enum Variant { VARIANT_SINGLE = EASY_SINGLE, VARIANT_MULTI = EASY_MULTI, VARIANT_CACHECADE = EASY_CACHECADE,
               VARIANT_SNAPSHOT = EASY_SNAPSHOT };
enum { STEP_NEXT = 0, STEP_BACK = 1, STEP_QUIT = 2, STEP_DONE = 3 };

struct EasyRun {
    ContData *records;
    uint16_t contCount;
    uint8_t contNo;
    int featured;      // snapshot or CacheCade present: titles carry "(Basic)"
    int variant;
    ConfigPatTable pattern;
    int minPds[2];
    uint64_t capacity[2];
    EasyPlan plan;     // answers and the request they give
};

static EasyRun g_run;

static int CandidateCount(const EasyRun *run)
{
    return run->plan.candidates.count;
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
// Tells the user why a layout cannot be created; 1 when it can.
static int ReportLayoutOutcome(const EasyRun *run, int outcome)
{
    switch (outcome) {
    case LAYOUT_OK:
        return 1;
    case LAYOUT_MIXED_INTERFACE:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_INTERFACE);
        break;
    case LAYOUT_MIXED_MEDIA:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_MIXED_MEDIA);
        break;
    case LAYOUT_LD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_LD_LIMIT);
        break;
    case LAYOUT_ABNORMAL_COUNT:
        ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, run->contNo);
        break;
    case LAYOUT_REPO_TOO_SMALL:
        ZAV_REPORT(REPORT_BOTH, MSG_REPO_TOO_SMALL, run->contNo);
        break;
    default:
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        break;
    }
    return 0;
}

// Size question, then the creation request; returns 1 when the controller created the groups.
static int ConfirmAndCreate(EasyRun *run, int cacheCade)
{
    LdCreateRequest *request = &run->plan.request;
    if (ConfirmDiffPDSize(request, run->contNo) &&
        !ComChk(NULL, cacheCade ? PROMPT_CACHECADE_DIFFERENT_PD_SIZE : PROMPT_DIFFERENT_PD_SIZE, 0))
        return -1;
    int32_t status = cacheCade ? SLCreateCacheCadeLD(run->contNo, request) : SLCreateLD(run->contNo, request);
    if (status != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, run->contNo);
        return 0;
    }
    return 1;
}

static void PrintRunResult(EasyRun *run, int groups)
{
    for (int g = 0; g < groups; ++g)
        run->capacity[g] = PlannedGroupCapacity(&run->plan, run->records, g);
    PrintResultReport(run->records, run->contCount, run->contNo, &run->plan.candidates, run->capacity, groups);
}

// ---------------------------------------------------------------------------------------------
// Single LD
// ---------------------------------------------------------------------------------------------
static void PrintSingleScreen(const EasyRun *run, const SingleLdChoice *choices, int count)
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

static int CreateSingle(EasyRun *run, const SingleLdChoice *choice)
{
    int outcome = PlanSingleLd(&run->plan, run->records, choice);
    if (outcome == LAYOUT_OK && run->plan.pdCapped)
        ZAV_REPORT(REPORT_BOTH, MSG_SINGLE_OVER16);
    if (!ReportLayoutOutcome(run, outcome))
        return STEP_DONE;
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
    SingleLdChoice choices[SINGLE_CHOICES_MAX];
    int count = SingleLdChoices(run->records, n, choices);
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
static int IsSnapshotRun(const EasyRun *run)
{
    return run->variant == VARIANT_SNAPSHOT;
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
    int severalLds = run->plan.layout != LAYOUT_TWO_GROUPS_ONE_LD;
    steps[count++] = MSTEP_LEVEL0;
    if (severalLds) {
        steps[count++] = MSTEP_COUNT0;
        if (IsSnapshotRun(run))
            steps[count++] = MSTEP_RATE0;
    }
    if (GroupCountOfLayout(run->plan.layout) == 2) {
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
    if (group == 0 && run->plan.layout == LAYOUT_ONE_GROUP)
        LevelsForSingleGroup(&run->pattern, n, run->records, run->contNo, LEVEL_ORDER_BASIC, &list);
    else if (group == 0)
        LevelsForFirstOfTwo(&run->pattern, n, run->records, run->contNo, LEVEL_ORDER_BASIC, &list);
    else
        LevelsForSecondGroup(&run->pattern, n, run->plan.level[0], run->records, run->contNo,
                             IsSnapshotRun(run) && run->plan.layout == LAYOUT_TWO_GROUPS_ONE_LD ? LEVEL_ORDER_SNAPSHOT
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
    run->plan.level[group] = list.levels[answer - 1];
    run->minPds[group] = MinPdsOfLevel(run->plan.level[group]);
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
    run->plan.ldCount[group] = snapshot ? answer + 1 : answer;
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
            run->plan.rate[group] = SNAPSHOT_RATE_DEFAULT;
            return STEP_NEXT;
        }
        if (strlen(answer) == 2 && answer[0] >= '1' && answer[0] <= '9' && answer[1] == '0') {
            run->plan.rate[group] = (answer[0] - '0') * 10;
            return STEP_NEXT;
        }
        ComChkInvalid(answer);
    }
}

static int RequiredPds(const EasyRun *run)
{
    int required = run->minPds[0];
    if (GroupCountOfLayout(run->plan.layout) == 2)
        required += run->minPds[1];
    return required;
}

static int AskHotSpares(EasyRun *run)
{
    int groups = GroupCountOfLayout(run->plan.layout);
    int n = CandidateCount(run);
    int def = DefaultHotSpareCount(&run->pattern, n, groups, run->plan.level[0], groups == 2 ? run->plan.level[1] : 0,
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
            run->plan.hsCount = h;
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

static void PrintSplits(const EasyRun *run, int k, const int *splits, int count, int recommended)
{
    int snapshot = IsSnapshotRun(run);
    ConsoleOut("RAID Group Capacity\n");
    if (snapshot && run->plan.layout != LAYOUT_ONE_GROUP)
        ConsoleOut("*:recommended\n");
    for (int j = 0; j < count; ++j) {
        uint64_t c0, c1;
        char t0[32], t1[32];
        SplitCapacities(&run->plan, run->records, k, splits[j], &c0, &c1);
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
    int recommended = 0;
    int count = MultiSplits(&run->plan, &run->pattern, run->records, splits, RG_PD_MAX, &recommended);
    if (count == 0) {
        ComChkInvalid(ComChkLastAnswer());
        return STEP_BACK;
    }
    if (count == 1) {
        run->plan.firstGroupPds = splits[0];
        return STEP_NEXT;
    }
    PrintSplits(run, k, splits, count, recommended);
    int answer = ComChkChoice("Please input number or B or Q(Not selected->(1)) :", count, 1, 0);
    if (answer == CHOICE_QUIT)
        return STEP_QUIT;
    if (answer == CHOICE_BACK) {
        ComChkInvalid(ComChkLastAnswer());
        return STEP_BACK;
    }
    run->plan.firstGroupPds = splits[answer - 1];
    return STEP_NEXT;
}

// Fills the groups after the hot-spare answer; STEP_BACK returns to the hot-spare step.
static int PlaceMultiGroups(EasyRun *run)
{
    int k = MultiGroupPds(&run->plan);
    if (run->plan.pdCapped)
        ZAV_REPORT(REPORT_BOTH, MSG_MULTI_OVER16);
    int firstPds = 0;
    if (GroupCountOfLayout(run->plan.layout) == 2) {
        int rc = ChooseSplit(run, k);
        if (rc != STEP_NEXT)
            return rc;
        firstPds = run->plan.firstGroupPds;
    }
    if (!ReportLayoutOutcome(run, PlanMultiPlace(&run->plan, &run->pattern, run->records, firstPds)))
        return STEP_DONE;
    return STEP_NEXT;
}

// Steps 5 to 8 of Multi LD after the hot-spare answer.
static int CreateMulti(EasyRun *run)
{
    int groups = GroupCountOfLayout(run->plan.layout);
    if (!ReportLayoutOutcome(run, PlanMultiPrepare(&run->plan, run->records)))
        return STEP_DONE;
    int rc = PlaceMultiGroups(run);
    if (rc != STEP_NEXT)
        return rc;
    if (ConfirmAndCreate(run, 0) != 1)
        return STEP_DONE;
    PrintRunResult(run, groups);
    if (IsSnapshotRun(run)) {
        SaveSnapshotConstructInfo(run->plan.layout, &run->plan.request, run->contNo);
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
        run->plan.layout = n == 1 ? LAYOUT_ONE_GROUP : answer;
        run->plan.ldCount[0] = run->plan.ldCount[1] = IsSnapshotRun(run) ? 2 : 1;
        run->plan.rate[0] = run->plan.rate[1] = SNAPSHOT_RATE_DEFAULT;
        run->plan.level[1] = RAIDLVL_0;
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
    int n = CandidateCount(run);
    if (n == 0)
        return NoConfigurationScreen(run, "Please input B or Q :");
    int pdCount = n;
    int maxPds = 0;
    int outcome = CheckCacheCadePds(run->records, run->contNo, run->plan.candidates.pdNo, n, &maxPds);
    if (outcome == LAYOUT_PD_LIMIT) {
        ZAV_REPORT(REPORT_BOTH, MSG_SINGLE_OVER16);
        pdCount = maxPds;
    } else if (!ReportLayoutOutcome(run, outcome)) {
        return STEP_DONE;
    }
    ConsoleOut("Currently selected contller : %d\n", run->contNo);
    if (CreateCacheCadeGroup(run->records, &run->plan, run->plan.candidates.pdNo, pdCount) != 1)
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
    if (run->variant != VARIANT_CACHECADE)
        ReadConfigPatFile(&run->pattern);
    BeginEasyPlan(&run->plan, run->records, run->contNo, run->variant);
    if (run->variant == VARIANT_CACHECADE)
        return RunCacheCade(run);
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
