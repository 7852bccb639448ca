// LD creation commands of zavcli: the easy-creation dialogue lde (Single LD, Multi LD, CacheCade
// and snapshot variants) and the custom creation ldc.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdLayout.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

// ---------------------------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------------------------
static const char MSG_FAILED_CREATE[] = "Error - Controller[%d] Failed to create LD[s](Logical Drive[s]).";
static const char MSG_LD_LIMIT[] =
    "Error - Exceed the upper limit of the LDs(Logical Drives).\nPlease re-set the configuration.\n";
static const char MSG_PD_LIMIT[] =
    "Error - Exceed the upper limit of the PDs(Physical Drives) per RAID Group.\nPlease re-set the configuration.\n";
static const char MSG_MIXED_INTERFACE[] =
    "Error - Cannot create LD[s](Logical Drive[s]) under the different Interface Type(SAS/SATA).";
static const char MSG_MIXED_MEDIA[] =
    "Error - Cannot create LD[s](Logical Drive[s]) under the different Media Type(HDD/SSD).";
static const char MSG_ABNORMAL_COUNT[] = "Error - Controller[%d] The number of HDD to the RAID composition is abnormal.";
static const char MSG_INIT_STARTS[] =
    "Information - Initialization automatically starts.\nPlease confirm the progress by \"ldpdprog\" command.";
static const char MSG_SINGLE_OVER16[] = "Information - The number of unconfigured PDs(physical drives) is over 16.\n"
                                        "Create LD(Logical Drive) with 16 PDs(physical drives).\n";
static const char MSG_MULTI_OVER16[] = "Information - The number of unconfigured physical drives is over 16.\n"
                                       "Create LD(Logical Drive) with 16 PDs(physical drives).\n";
static const char MSG_REPO_TOO_SMALL[] = "Error - Controller[%d] The capacity of the Snapshot Repository LD(Logical "
                                         "Drive) is too small.\nPlease re-set the capacity.";
static const char MSG_NO_HOT_SPARE[] =
    "Warning - LD[s](Logical Drive[s]) was created, but there is no Hot Spare.\nPlease assign at lease one Hot Spare.\n";
static const char MSG_SIZE_TOO_SMALL[] =
    "Error - The capacity of the LD(Logical Drive) is too small.\nPlease re-set the capacity.\n";
static const char MSG_NOT_OPTIMAL[] =
    "Error - Cannot create LD[s](Logical Drive[s]) with DEGRADED/FAILED LDs(Logical Drives).\n"
    "Please do Custom Configuration after making all the LDs(Logical Drives) OPTIMAL.\n";

enum { ANSWER_MAX = 65536, TEXT_LINE = 512 };

// Console output of screens and prompts, printed as they are (no line end added).
static void Out(const char *format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    WriteConsoleText(text);
}

static char g_answer[ANSWER_MAX];

static void ReportInvalidAnswer(const char *answer)
{
    Out("\"%s\" is invalid.\n", answer);
}

static int IsAnswerLetter(const char *answer, char lower)
{
    return answer[1] == '\0' && (answer[0] == lower || answer[0] == lower - 'a' + 'A');
}

// Answers of a dialogue step besides a chosen number.
enum { ANS_BACK = -1, ANS_QUIT = -2 };

// Reads a numbered choice 1..max (one character, two when max is above 9; any one- or two-digit
// number such as "08" when twoDigits is set), B or Q. An empty answer takes defaultChoice when it
// is not 0. The end of input counts as Q.
static int AskNumber(const char *prompt, int max, int defaultChoice, int twoDigits)
{
    for (;;) {
        Out("%s", prompt);
        if (!ReadConsoleAnswer(g_answer, sizeof(g_answer)))
            return ANS_QUIT;
        if (g_answer[0] == '\0' && defaultChoice > 0)
            return defaultChoice;
        if (IsAnswerLetter(g_answer, 'b'))
            return ANS_BACK;
        if (IsAnswerLetter(g_answer, 'q'))
            return ANS_QUIT;
        size_t len = strlen(g_answer);
        int allowedLen = (max > 9 || twoDigits) ? 2 : 1;
        if (len >= 1 && (int)len <= allowedLen && strspn(g_answer, "0123456789") == len &&
            (twoDigits || g_answer[0] != '0')) {
            int value = atoi(g_answer);
            if (value >= 1 && value <= max)
                return value;
        }
        ReportInvalidAnswer(g_answer);
    }
}

static int AskChoice(const char *prompt, int max, int defaultChoice)
{
    return AskNumber(prompt, max, defaultChoice, 0);
}

// A yes/no question whose text is built at run time; the same answers as ComChk's questions.
static int AskYesNoText(const char *text)
{
    for (;;) {
        ZAV_REPORT(REPORT_CONSOLE, "%s", text);
        if (!ReadConsoleAnswer(g_answer, sizeof(g_answer)))
            return 0;
        if (IsAnswerLetter(g_answer, 'y'))
            return 1;
        if (IsAnswerLetter(g_answer, 'n'))
            return 0;
    }
}

static void CapacityGb(char *out, size_t size, uint64_t blocks)
{
    CapacityText(out, size, blocks);
}

// ---------------------------------------------------------------------------------------------
// Layout drawings: boxes drawn side by side under a header naming each box.
// ---------------------------------------------------------------------------------------------
enum { BOX_MAX_ROWS = 12, BOX_LINE = 40, DRAW_MAX_BOXES = 3, DRAW_LABEL_COL = 40, DRAW_BOX_COL = 44 };

struct DrawBox {
    char label[24];
    int inner;
    int rowCount;
    char rows[BOX_MAX_ROWS][BOX_LINE];
};

// Contents of a group box.
enum GroupKind { GROUP_ONE_LD, GROUP_MULTI_LD, GROUP_SS_BASE, GROUP_SS_REPOSITORY, GROUP_SS_SET };

static const char PD_ROW_ONE[] = "|PD|";
static const char PD_ROW_MANY[] = "|PD| --- |PD|";
static const char PD_ROW_MIRRORED[] = "|PD|<->|PD| --- |PD|<->|PD|";

static void BoxRule(DrawBox *box)
{
    char *row = box->rows[box->rowCount++];
    row[0] = '|';
    memset(row + 1, '-', (size_t)box->inner);
    row[box->inner + 1] = '|';
    row[box->inner + 2] = '\0';
}

// Centres text in the box; an odd remainder goes to the left.
static void BoxText(DrawBox *box, const char *text)
{
    char *row = box->rows[box->rowCount++];
    int len = (int)strlen(text);
    int left = (box->inner - len + 1) / 2;
    memset(row, ' ', (size_t)box->inner + 2);
    row[0] = '|';
    memcpy(row + 1 + left, text, (size_t)len);
    row[box->inner + 1] = '|';
    row[box->inner + 2] = '\0';
}

static void BoxStackSeparator(DrawBox *box)
{
    BoxRule(box);
    BoxText(box, ":");
    BoxRule(box);
}

static void BuildGroupBox(DrawBox *box, const char *label, int kind, const char *pdRow)
{
    memset(box, 0, sizeof(*box));
    snprintf(box->label, sizeof(box->label), "%s", label);
    int longest = (int)strlen(pdRow);
    int textLen = kind == GROUP_SS_BASE ? 12 : (kind == GROUP_SS_REPOSITORY || kind == GROUP_SS_SET) ? 18 : 0;
    box->inner = 13;
    if (longest > box->inner)
        box->inner = longest;
    if (textLen > box->inner)
        box->inner = textLen;
    BoxRule(box);
    switch (kind) {
    case GROUP_ONE_LD:
        BoxText(box, "LD");
        break;
    case GROUP_MULTI_LD:
        BoxText(box, "LD");
        BoxStackSeparator(box);
        BoxText(box, "LD");
        BoxRule(box);
        break;
    case GROUP_SS_BASE:
        BoxText(box, "SS Base LD");
        break;
    case GROUP_SS_REPOSITORY:
        BoxText(box, "SS Repository LD");
        break;
    default:
        BoxText(box, "SS Base LD");
        BoxStackSeparator(box);
        BoxText(box, "SS Base LD");
        BoxRule(box);
        BoxText(box, "SS Repository LD");
        BoxRule(box);
        break;
    }
    BoxText(box, pdRow);
    BoxRule(box);
}

static void BuildGhsBox(DrawBox *box)
{
    memset(box, 0, sizeof(*box));
    snprintf(box->label, sizeof(box->label), "GHS");
    box->inner = 3;
    BoxRule(box);
    BoxText(box, "GHS");
    BoxRule(box);
}

static void TrimRight(char *line)
{
    size_t n = strlen(line);
    while (n > 0 && line[n - 1] == ' ')
        line[--n] = '\0';
}

// Prints "(number)" with the box labels above the boxes ("+ " before every label but the first),
// then the boxes aligned at their bottom rows, then an empty line.
static void PrintLayout(int number, const DrawBox *boxes, int count)
{
    char line[TEXT_LINE];
    memset(line, ' ', sizeof(line) - 1);
    line[sizeof(line) - 1] = '\0';
    char tag[8];
    int tagLen = snprintf(tag, sizeof(tag), "(%d)", number);
    memcpy(line + DRAW_LABEL_COL, tag, (size_t)tagLen);
    int col = DRAW_BOX_COL;
    int maxRows = 0;
    int end = DRAW_LABEL_COL + tagLen;
    for (int i = 0; i < count; ++i) {
        int width = boxes[i].inner + 2;
        int len = (int)strlen(boxes[i].label);
        int pos = col + (width - len + 1) / 2;
        if (i > 0)
            memcpy(line + pos - 2, "+ ", 2);
        memcpy(line + pos, boxes[i].label, (size_t)len);
        end = pos + len;
        col += width + 1;
        if (boxes[i].rowCount > maxRows)
            maxRows = boxes[i].rowCount;
    }
    line[end] = '\0';
    Out("%s\n", line);
    for (int r = 0; r < maxRows; ++r) {
        memset(line, ' ', sizeof(line) - 1);
        col = DRAW_BOX_COL;
        for (int i = 0; i < count; ++i) {
            int width = boxes[i].inner + 2;
            int row = r - (maxRows - boxes[i].rowCount);
            if (row >= 0)
                memcpy(line + col, boxes[i].rows[row], (size_t)width);
            col += width + 1;
        }
        line[col] = '\0';
        TrimRight(line);
        Out("%s\n", line);
    }
    Out("\n");
}

static const char *PdRowFor(int32_t raidLvl, int pdCount)
{
    if (raidLvl == RAIDLVL_10)
        return PD_ROW_MIRRORED;
    return pdCount <= 1 ? PD_ROW_ONE : PD_ROW_MANY;
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
    Out("Currently selected contller : %d\n", run->contNo);
    if (run->variant == VARIANT_SNAPSHOT)
        Out("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare, SS:Snapshot)\n\n");
    else
        Out("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare)\n\n");
}

static void PrintScreenTail(void)
{
    Out("(B) Back\n(Q) Quit\n");
}

// The "No configuration." screen; only B and Q are accepted.
static int NoConfigurationScreen(const EasyRun *run, const char *prompt)
{
    PrintScreenHead(run);
    Out("No configuration.\nLogical Drive candidate doesn't exist.\n\n");
    PrintScreenTail();
    int answer = AskChoice(prompt, 0, 0);
    return answer == ANS_BACK ? STEP_BACK : STEP_QUIT;
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
        Out("%-6s %-17s %-6s %-10s %-18s %-4s %-12s\n", "-", "-", "-", "-", "-", "-", "-");
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
    Out("%-6s %-17s %-6s %-10s %-18s %-4s %-12s\n", pdName, ldText, rg, level, state, type, capa);
}

// Refreshes the records and prints the PD table and the capacity lines of the created groups.
static void PrintResultReport(ContData *records, uint16_t contCount, uint8_t contNo, const CandidatePdList *used,
                              const uint64_t *capacities, int groups)
{
    if (!UpdateDriveInfo(records, contCount))
        return;
    const ContData *record = &records[contNo];
    Out("### Physical Drive(PD) ###\n"
        "PD No. LD No.            RG No. RAID Level State              Type Capacity[GB]\n"
        "------ ----------------- ------ ---------- ------------------ ---- ------------\n");
    for (unsigned slot = 0; slot < record->slotNum && slot < CONTDATA_PD_SLOTS; ++slot)
        PdTableLine(record, contNo, (uint8_t)slot, used);
    Out("\n### RAID GROUP Capacity ###\n");
    for (int g = 0; g < groups; ++g) {
        char capa[32];
        CapacityGb(capa, sizeof(capa), capacities[g]);
        Out("RAID #%d         %-7s[GB]\n", g, capa);
    }
    Out("\n");
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
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_INTERFACE);
        break;
    case LAYOUT_MIXED_MEDIA:
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_MEDIA);
        break;
    case LAYOUT_LD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, MSG_LD_LIMIT);
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
    if (ConfirmDiffPDSize(&run->plan.request, run->contNo) && !ComChk(NULL, cacheCade ? 23 : 1, 0))
        return -1;
    int32_t status = cacheCade ? SLCreateCacheCadeLD(run->contNo, &run->plan.request) : SLCreateLD(run->contNo, &run->plan.request);
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
    ZAV_REPORT(REPORT_BOTH, MSG_INIT_STARTS);
    return STEP_DONE;
}

static int RunSingle(EasyRun *run)
{
    int n = CandidateCount(run);
    if (!RowHasSupportedLevel(&run->pattern, n, run->records, run->contNo))
        return NoConfigurationScreen(run, "Please input B or Q :");
    SingleLdChoice choices[SINGLE_CHOICES_MAX];
    int count = SingleLdChoices(run->records, CandidateCount(run), choices);
    PrintSingleScreen(run, choices, count);
    int answer = AskChoice("Please input number or B or Q :", count, 0);
    if (answer == ANS_BACK)
        return STEP_BACK;
    if (answer == ANS_QUIT)
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
    Out("[RAID #%d]\nRAID Level\n", group);
    for (int i = 0; i < list.count; ++i) {
        char name[16];
        LevelName(name, sizeof(name), list.levels[i], run->contNo);
        Out("  (%d)%s\n", i + 1, name);
    }
    Out("  (B) Back\n  (Q) Quit\n");
    int answer = AskChoice("Please input number or B or Q(Not selected->(1)) :", list.count, list.count > 0 ? 1 : 0);
    if (answer == ANS_BACK)
        return STEP_BACK;
    if (answer == ANS_QUIT)
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
    int answer = AskNumber(prompt, upper, 1, 1);
    if (answer == ANS_BACK)
        return STEP_BACK;
    if (answer == ANS_QUIT)
        return STEP_QUIT;
    run->plan.ldCount[group] = snapshot ? answer + 1 : answer;
    return STEP_NEXT;
}

static int AskSnapshotRate(EasyRun *run, int group)
{
    for (;;) {
        Out("%% of Snapshot[10,20,...,90](Not selected->50) :");
        if (!ReadConsoleAnswer(g_answer, sizeof(g_answer)))
            return STEP_QUIT;
        if (g_answer[0] == '\0') {
            run->plan.rate[group] = 50;
            return STEP_NEXT;
        }
        if (IsAnswerLetter(g_answer, 'b'))
            return STEP_BACK;
        if (IsAnswerLetter(g_answer, 'q'))
            return STEP_QUIT;
        if (strlen(g_answer) == 2 && g_answer[0] >= '1' && g_answer[0] <= '9' && g_answer[1] == '0') {
            run->plan.rate[group] = (g_answer[0] - '0') * 10;
            return STEP_NEXT;
        }
        ReportInvalidAnswer(g_answer);
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
    for (;;) {
        Out("[GHS]\n# of Hot Spare[0-2](Not selected->(%d)) :", def);
        if (!ReadConsoleAnswer(g_answer, sizeof(g_answer)))
            return STEP_QUIT;
        if (IsAnswerLetter(g_answer, 'b'))
            return STEP_BACK;
        if (IsAnswerLetter(g_answer, 'q'))
            return STEP_QUIT;
        int h = -1;
        if (g_answer[0] == '\0')
            h = def;
        else if (g_answer[1] == '\0' && g_answer[0] >= '0' && g_answer[0] <= '2')
            h = g_answer[0] - '0';
        if (h >= 0 && n >= h + RequiredPds(run)) {
            run->plan.hsCount = h;
            return STEP_NEXT;
        }
        ReportInvalidAnswer(g_answer);
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
    Out("RAID Group Capacity\n");
    if (snapshot && run->plan.layout != LAYOUT_ONE_GROUP)
        Out("*:recommended\n");
    for (int j = 0; j < count; ++j) {
        uint64_t c0, c1;
        char t0[32], t1[32];
        SplitCapacities(&run->plan, run->records, k, splits[j], &c0, &c1);
        CapacityGb(t0, sizeof(t0), c0);
        CapacityGb(t1, sizeof(t1), c1);
        if (snapshot && j < recommended)
            Out(" *(%d) RAID #0        %s[GB]\n", j + 1, t0);
        else
            Out("  (%d) RAID #0        %s[GB]\n", j + 1, t0);
        Out("      RAID #1        %s[GB]\n", t1);
        if (snapshot)
            Out("      %% of Repository %d%%\n", (int)RepositoryShare(c0, c1));
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
        ReportInvalidAnswer(g_answer);
        return STEP_BACK;
    }
    if (count == 1) {
        run->plan.firstGroupPds = splits[0];
        return STEP_NEXT;
    }
    PrintSplits(run, k, splits, count, recommended);
    int answer = AskChoice("Please input number or B or Q(Not selected->(1)) :", count, 1);
    if (answer == ANS_QUIT)
        return STEP_QUIT;
    if (answer == ANS_BACK) {
        ReportInvalidAnswer(g_answer);
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
        ZAV_REPORT(REPORT_BOTH, MSG_INIT_STARTS);
        Out("\nPlease enable Snapshot by \"sse\" command after Initialization.\n");
    } else {
        ZAV_REPORT(REPORT_BOTH, MSG_INIT_STARTS);
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
        int answer = AskChoice("Please input number or B or Q :", layouts, 0);
        if (answer == ANS_BACK)
            return STEP_BACK;
        if (answer == ANS_QUIT)
            return STEP_QUIT;
        run->plan.layout = n == 1 ? LAYOUT_ONE_GROUP : answer;
        run->plan.ldCount[0] = run->plan.ldCount[1] = IsSnapshotRun(run) ? 2 : 1;
        run->plan.rate[0] = run->plan.rate[1] = 50;
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
// The Associated CacheCade LD question and, on Y, cached IO for those LDs.
static void OfferCacheCadeAssociation(ContData *records, uint8_t contNo)
{
    uint8_t targets[LD_MAX];
    int count = (int)NonCacheCadeLds(&records[contNo], targets);
    if (count == 0)
        return;
    char list[TEXT_LINE];
    int len = 0;
    for (int i = 0; i < count && len < (int)sizeof(list) - 8; ++i)
        len += snprintf(list + len, sizeof(list) - (size_t)len, i == 0 ? "%u" : ",%u", (unsigned)targets[i]);
    char question[TEXT_LINE + 200];
    snprintf(question, sizeof(question),
             "Information - CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.\n"
             "Use the following LD[s] as Associated CacheCade LD?(Y/N)?\n\nLD:LD%s",
             list);
    if (!AskYesNoText(question))
        return;
    if (SetLdsIoPolicy(contNo, records, targets, count, 1) == 0)
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] IO Policy of LD(Logical Drive) %s has been changed to Cached IO.",
                   contNo, list);
}

// One RAID0 CacheCade group over the PDs; asks the size question and sends the request.
// Returns 1 on success, 0 when the controller refused, -1 when the command ends before sending.
static int CreateCacheCadeGroup(ContData *records, EasyPlan *plan, const uint8_t *pds, int count)
{
    uint8_t contNo = plan->contNo;
    int outcome = PlanCacheCade(plan, records, pds, count);
    if (outcome == LAYOUT_LD_LIMIT) {
        ZAV_REPORT(REPORT_BOTH, MSG_LD_LIMIT);
        return -1;
    }
    if (outcome != LAYOUT_OK) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return 0;
    }
    if (ConfirmDiffPDSize(&plan->request, contNo) && !ComChk(NULL, 23, 0))
        return -1;
    if (SLCreateCacheCadeLD(contNo, &plan->request) != 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return 0;
    }
    return 1;
}

static int RunCacheCade(EasyRun *run)
{
    int n = CandidateCount(run);
    if (n == 0)
        return NoConfigurationScreen(run, "Please input B or Q :");
    if (IsMixedInterfaceType(run->records, run->contNo, &run->plan.candidates)) {
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_INTERFACE);
        return STEP_DONE;
    }
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(run->records, run->contNo, freeMap);
    if (TakeFreeLdNo(run->records, run->contNo, freeMap) < 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_LD_LIMIT);
        return STEP_DONE;
    }
    int pdCount = n;
    int maxPds = GetMaxPdNumForRaidLvl(RAIDLVL_0, run->records, run->contNo);
    if (maxPds < pdCount) {
        ZAV_REPORT(REPORT_BOTH, MSG_SINGLE_OVER16);
        pdCount = maxPds;
    }
    Out("Currently selected contller : %d\n", run->contNo);
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
        Out("<< Single LD(Basic) >>\n");
    else if (run->featured && run->variant == VARIANT_MULTI)
        Out("<< Multi LD(Basic) >>\n");
    else
        Out("%s\n", VARIANT_TITLES[run->variant]);
}

// Controller selection menu; the controller number, -1 to end the command.
static int SelectController(EasyRun *run)
{
    if (run->contCount <= 1)
        return 0;
    uint8_t pci[PCI_INFO_SIZE];
    uint8_t ctrlInfo[CTRL_INFO_SIZE];
    Out("<< RAID Controller Selection Menu >>\n\n");
    for (int i = 0; i < run->contCount && i < SL_MAX_CONTROLLERS; ++i) {
        if (SLGetCtrlInfo((uint8_t)i, ctrlInfo) != 0 || SLGetPciInfo((uint8_t)i, pci) != 0)
            return -1;
        char name[81];
        memcpy(name, ctrlInfo + CI_PRODUCT_NAME, 80);
        name[80] = '\0';
        Out("(%d) [%d]:%s(%d)(Bus%d,Dev%d)\n", i + 1, i, name, i, (int)LayoutU32(pci, PCI_BUS), (int)pci[PCI_DEVICE]);
    }
    Out("(Q) Quit\n\n");
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
    Out("\n<< Create LD Menu >>\n\n");
    if (!run->featured) {
        Out("(1) Single LD\n(2) Multi  LD\n");
    } else {
        Out("(1) Single LD(Basic)\n(2) Multi  LD(Basic)\n");
        if (cacheCade) {
            Out("(%d) Single LD(CacheCade)\n", ++choices);
            map[choices] = VARIANT_CACHECADE;
        }
        if (snapshot) {
            Out("(%d) Multi  LD(Snapshot)\n", ++choices);
            map[choices] = VARIANT_SNAPSHOT;
        }
    }
    Out("(B) Back\n(Q) Quit\n");
    Out("Currently selected controller : %d\n", run->contNo);
    int answer = AskChoice("Please input number or B or Q :", choices, 0);
    if (answer == ANS_BACK)
        return -STEP_BACK;
    if (answer == ANS_QUIT)
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

// ---------------------------------------------------------------------------------------------
// ldc: custom creation
// ---------------------------------------------------------------------------------------------
struct CustomArgs {
    int32_t level;           // -1 until a level option names one
    int levelList;           // a level option with a PD list was given
    int cacheCade;
    uint8_t pds[RG_PD_MAX];
    int pdCount;
    uint8_t arrayUsed[ARRAY_REF_MAX];
    uint8_t pairs[ARRAY_REF_MAX][2];
    int arrayCount;
    int lastArrayNo;
    uint32_t cacheBits;
    int sizeGiven;
    CustomSizeList sizes;
    int adapterGiven;
    uint8_t adapters[ADAPTER_LIST_SIZE];
};

static CustomArgs g_custom;
static LdCreateRequest g_customRequest;
static EasyPlan g_cacheCadePlan;

// Lower-cases the token and takes it from the character after its first dash.
static void CustomToken(const char *arg, char *out, size_t size)
{
    const char *dash = strchr(arg, '-');
    const char *from = dash != NULL ? dash + 1 : arg;
    size_t i = 0;
    for (; from[i] != '\0' && i + 1 < size; ++i)
        out[i] = (from[i] >= 'A' && from[i] <= 'Z') ? (char)(from[i] - 'A' + 'a') : from[i];
    out[i] = '\0';
}

// Parses a bracketed PD list into slots in the given order; the count, 0 when it does not parse.
static int ParsePdList(const char *list, uint8_t *slots)
{
    if (list == NULL || list[0] != '[')
        return 0;
    uint8_t parsed[PD_LIST_SIZE];
    if (!GetPhysicalDriveNo(list, parsed, 0))
        return 0;
    int count = (int)SelCount(parsed, PD_LIST_SIZE);
    memcpy(slots, parsed, (size_t)count);
    return count;
}

static int SetCacheBit(CustomArgs *args, uint32_t bit, uint32_t exclusive)
{
    if (args->cacheBits & exclusive)
        return 0;
    args->cacheBits |= bit;
    return 1;
}

static int ParseLevelToken(CustomArgs *args, const char *tok)
{
    if (args->levelList || args->cacheCade)
        return 0;
    if (strcmp(tok, "r10") == 0) {
        args->level = RAIDLVL_10;
        return 1;
    }
    static const char LEVEL_CHARS[] = "0156";
    static const int32_t LEVEL_CODES[] = { RAIDLVL_0, RAIDLVL_1, RAIDLVL_5, RAIDLVL_6 };
    const char *at = tok[1] != '\0' ? strchr(LEVEL_CHARS, tok[1]) : NULL;
    // A PD list of its own next to -array pairs would leave the group's PDs ambiguous.
    if (at == NULL || tok[2] != '[' || args->arrayCount > 0)
        return 0;
    int count = ParsePdList(tok + 2, args->pds);
    if (count == 0)
        return 0;
    args->level = LEVEL_CODES[at - LEVEL_CHARS];
    args->pdCount = count;
    args->levelList = 1;
    return 1;
}

static int ParseArrayToken(CustomArgs *args, const char *tok)
{
    if (args->levelList || args->cacheCade)
        return 0;
    int no = 0;
    if (!GetArrayNo(tok, args->arrayUsed, &no, &args->arrayCount))
        return 0;
    args->lastArrayNo = no;
    uint8_t slots[PD_LIST_SIZE];
    int count = ParsePdList(strchr(tok, '['), slots);
    if (count != 2 || (args->arrayCount * 2) > RG_PD_MAX)
        return 0;
    args->pairs[no][0] = slots[0];
    args->pairs[no][1] = slots[1];
    return 1;
}

static int ParseAdapterToken(CustomArgs *args, const char *tok, uint16_t contCount, int *ended)
{
    if (args->adapterGiven)
        return 0;
    int rc = GetAdapterNo(tok, args->adapters, contCount);
    if (rc == ADP_NOT_FOUND) {
        ZAV_REPORT(REPORT_BOTH, "Error - The specified Controller %d: doesn't exist.", args->adapters[0]);
        *ended = 1;
        return 0;
    }
    if (rc != ADP_OK)
        return 0;
    args->adapterGiven = 1;
    return 1;
}

// One token of the table, in its order; 1 when accepted.
static int ParseCustomToken(CustomArgs *args, const char *tok, uint16_t contCount, int *ended)
{
    const uint32_t writeBits = LDC_OPT_WT | LDC_OPT_WB | LDC_OPT_WBCB;
    const uint32_t readBits = LDC_OPT_NORA | LDC_OPT_RA;
    const uint32_t ioBits = LDC_OPT_DIRECT | LDC_OPT_CACHED;
    if (strcmp(tok, "wt") == 0)
        return SetCacheBit(args, LDC_OPT_WT, writeBits);
    if (strcmp(tok, "wb") == 0)
        return SetCacheBit(args, LDC_OPT_WB, writeBits);
    if (strcmp(tok, "wbcb") == 0)
        return SetCacheBit(args, LDC_OPT_WBCB, writeBits);
    if (strcmp(tok, "nora") == 0)
        return SetCacheBit(args, LDC_OPT_NORA, readBits);
    if (strcmp(tok, "ra") == 0)
        return SetCacheBit(args, LDC_OPT_RA, readBits);
    if (strcmp(tok, "direct") == 0)
        return SetCacheBit(args, LDC_OPT_DIRECT, ioBits);
    if (strcmp(tok, "cached") == 0)
        return SetCacheBit(args, LDC_OPT_CACHED, ioBits);
    if (tok[0] == 'r')
        return ParseLevelToken(args, tok);
    if (strncmp(tok, "array", 5) == 0)
        return ParseArrayToken(args, tok);
    if (strncmp(tok, "sz", 2) == 0) {
        if (args->sizeGiven || !GetCustomLdSize(tok, &args->sizes))
            return 0;
        args->sizeGiven = 1;
        return 1;
    }
    if (tok[0] == 'a')
        return ParseAdapterToken(args, tok, contCount, ended);
    if (strncmp(tok, "cachecade", 9) == 0) {
        if (args->cacheCade || args->levelList || args->level >= 0)
            return 0;
        int count = ParsePdList(tok + 9, args->pds);
        if (count == 0)
            return 0;
        args->pdCount = count;
        args->cacheCade = 1;
        return 1;
    }
    return 0;
}

// Checks after the last token; 1 when the combination is complete and consistent.
static int CheckCustomCombination(CustomArgs *args)
{
    for (int no = 0; no < args->arrayCount; ++no) {
        if (!args->arrayUsed[no])
            return 0;
    }
    if (!args->levelList && args->arrayCount == 0 && !args->cacheCade)
        return 0;
    if (args->cacheCade && (args->arrayCount > 0 || args->sizeGiven || args->cacheBits != 0))
        return 0;
    if (args->arrayCount > 0) {
        args->pdCount = 0;
        for (int no = 0; no < args->arrayCount; ++no) {
            args->pds[args->pdCount++] = args->pairs[no][0];
            args->pds[args->pdCount++] = args->pairs[no][1];
        }
    }
    return 1;
}

static int CheckCustomPdsExist(const ContData *records, const CustomArgs *args)
{
    for (unsigned a = 0; a < ADAPTER_LIST_SIZE && args->adapters[a] != SEL_EMPTY; ++a) {
        uint8_t contNo = args->adapters[a];
        for (int i = 0; i < args->pdCount; ++i) {
            if (!MorePdIsDisk(&records[contNo], args->pds[i])) {
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo,
                           "Physical Drive", args->pds[i]);
                return 0;
            }
        }
    }
    return 1;
}

// Controller outcomes of ldc: go on with the next controller, or end the command.
enum { CUSTOM_NEXT = 0, CUSTOM_END = 1 };

static int CustomCacheCadeOn(ContData *records, uint8_t contNo, const CustomArgs *args)
{
    if (args->pdCount == 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, contNo);
        return CUSTOM_END;
    }
    if (IsMixedInterfaceTypeList(records, contNo, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_INTERFACE);
        return CUSTOM_END;
    }
    // The same order as the dialogue's CacheCade creation: types, LD number, then the PD limit.
    uint8_t freeMap[LD_MAX];
    InitFreeLdNoMap(records, contNo, freeMap);
    if (TakeFreeLdNo(records, contNo, freeMap) < 0) {
        ZAV_REPORT(REPORT_BOTH, MSG_LD_LIMIT);
        return CUSTOM_END;
    }
    if (args->pdCount > GetMaxPdNumForRaidLvl(RAIDLVL_0, records, contNo)) {
        ZAV_REPORT(REPORT_BOTH, MSG_PD_LIMIT);
        return CUSTOM_END;
    }
    g_cacheCadePlan.contNo = contNo;
    int rc = CreateCacheCadeGroup(records, &g_cacheCadePlan, args->pds, args->pdCount);
    if (rc < 0)
        return CUSTOM_END;
    if (rc == 0)
        return CUSTOM_NEXT;
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Succeeded to create LD[s](Logical Drive[s]).", contNo);
    OfferCacheCadeAssociation(records, contNo);
    return CUSTOM_NEXT;
}

static int RunCustomCacheCade(ContData *records, const CustomArgs *args)
{
    int supported = 0;
    for (unsigned a = 0; a < ADAPTER_LIST_SIZE && args->adapters[a] != SEL_EMPTY; ++a) {
        uint8_t contNo = args->adapters[a];
        if (!IsCacheCadeSupported(records, contNo))
            continue;
        supported = 1;
        if (CustomCacheCadeOn(records, contNo, args) == CUSTOM_END)
            return 0;
    }
    if (!supported)
        ZAV_REPORT(REPORT_BOTH, "Error - The specified parameter is not supported at the current configuration.");
    return 0;
}

// No global hot spare in the configuration: warn before the creation request is sent.
static void WarnWithoutHotSpare(const ContData *record)
{
    if (!HasGlobalHotSpare(record))
        ZAV_REPORT(REPORT_BOTH, MSG_NO_HOT_SPARE);
}

// The Always Write Back question of -wb; 0 when the user refused.
static int ConfirmAlwaysWriteBack(const ContData *records, uint8_t contNo, uint32_t cacheBits)
{
    if (!(cacheBits & LDC_OPT_WB))
        return 1;
    return ComChk(NULL, HasCacheBackupUnit(records, contNo) ? 2 : 3, 0);
}

// Every LD on the group's arrays must be optimal; 0 ends the command (after its message).
// The existing group's LDs must all be optimal; 0 (after the message when one is not) otherwise.
static int ExistingGroupUsable(uint8_t contNo, const uint8_t *ld)
{
    int outcome = CheckGroupOptimal(contNo, ld);
    if (outcome == LAYOUT_NOT_OPTIMAL)
        ZAV_REPORT(REPORT_BOTH, MSG_NOT_OPTIMAL);
    return outcome == LAYOUT_OK;
}

static int NewGroupPdsUsable(const ContData *record, const CustomArgs *args)
{
    for (int i = 0; i < args->pdCount; ++i) {
        if (!PdIsFreeForNewGroup(record->pdInfo[args->pds[i]]))
            return 0;
    }
    return 1;
}

static void ReportCustomOutcome(uint8_t contNo, int32_t status)
{
    if (status != 0)
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
    else
        ZAV_REPORT(REPORT_BOTH, MSG_INIT_STARTS);
}

static int AddToExistingGroup(ContData *records, uint8_t contNo, const CustomArgs *args, const uint8_t *ld,
                              const FreeExtent *extent, RgEntry *group)
{
    if (!ExistingGroupUsable(contNo, ld))
        return CUSTOM_END;
    if (!args->sizeGiven)
        group->lds[0].size = CalcLDCapa(args->level, (unsigned)args->pdCount, extent->blocks, contNo);
    if (!ConfirmAlwaysWriteBack(records, contNo, args->cacheBits))
        return CUSTOM_END;
    if (args->level != RAIDLVL_0)
        WarnWithoutHotSpare(&records[contNo]);
    uint16_t arrayRef = LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF);
    ReportCustomOutcome(contNo, SLAddLDToRG(contNo, arrayRef, extent->start, group));
    return CUSTOM_NEXT;
}

static int CreateNewCustomGroup(ContData *records, uint8_t contNo, const CustomArgs *args, LdCreateRequest *request)
{
    const ContData *record = &records[contNo];
    if (!NewGroupPdsUsable(record, args)) {
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return CUSTOM_END;
    }
    if (IsMixedInterfaceTypeList(records, contNo, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_INTERFACE);
        return CUSTOM_END;
    }
    if (IsMixedMediaTypeList(records, contNo, args->pds, args->pdCount)) {
        ZAV_REPORT(REPORT_BOTH, MSG_MIXED_MEDIA);
        return CUSTOM_END;
    }
    if (ConfirmDiffPDSize(request, contNo) && !ComChk(NULL, 1, 0))
        return CUSTOM_END;
    if (!ConfirmAlwaysWriteBack(records, contNo, args->cacheBits))
        return CUSTOM_END;
    if (args->level != RAIDLVL_0)
        WarnWithoutHotSpare(record);
    ReportCustomOutcome(contNo, SLCreateLD(contNo, request));
    return CUSTOM_NEXT;
}

static int CustomGroupOn(ContData *records, uint8_t contNo, CustomArgs *args)
{
    ConfigPatTable *pattern = (ConfigPatTable *)calloc(1, sizeof(ConfigPatTable));
    if (pattern == NULL)
        return CUSTOM_END;
    ReadConfigPatFile(pattern);
    LdCreateRequest *request = &g_customRequest;
    int outcome = PlanCustomGroup(request, pattern, records, contNo, args->level, args->pds, args->pdCount,
                                  args->cacheBits, args->sizeGiven ? &args->sizes : NULL);
    free(pattern);
    switch (outcome) {
    case LAYOUT_OK:
        break;
    case LAYOUT_LD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, MSG_LD_LIMIT);
        return CUSTOM_END;
    case LAYOUT_PD_LIMIT:
        ZAV_REPORT(REPORT_BOTH, MSG_PD_LIMIT);
        return CUSTOM_END;
    case LAYOUT_ABNORMAL_COUNT:
        ZAV_REPORT(REPORT_BOTH, MSG_ABNORMAL_COUNT, contNo);
        return CUSTOM_END;
    case LAYOUT_SIZE_TOO_SMALL:
        ZAV_REPORT(REPORT_BOTH, MSG_SIZE_TOO_SMALL);
        return CUSTOM_END;
    default:
        ZAV_REPORT(REPORT_BOTH, MSG_FAILED_CREATE, contNo);
        return CUSTOM_NEXT;
    }
    RgEntry *group = &request->groups[0];
    const uint8_t *ld = FindExistingGroup(&records[contNo], args->level, args->pds, args->pdCount);
    FreeExtent extent;
    if (ld != NULL &&
        FirstFreeExtent(records[contNo].config, LayoutU16(ld, LI_SPANS + LI_SPAN_ARRAY_REF), args->level, args->pdCount,
                        contNo, &extent))
        return AddToExistingGroup(records, contNo, args, ld, &extent, group);
    return CreateNewCustomGroup(records, contNo, args, request);
}

int CliCmdExecCfgLDCustomMakeAdd(int argc, char **argv, ContData *records, uint16_t contCount)
{
    CustomArgs *args = &g_custom;
    memset(args, 0, sizeof(*args));
    args->level = -1;
    memset(args->adapters, SEL_EMPTY, sizeof(args->adapters));
    for (int i = 2; i < argc; ++i) {
        char tok[CLI_SELECTOR_TEXT + 8];
        CustomToken(argv[i], tok, sizeof(tok));
        int ended = 0;
        if (!ParseCustomToken(args, tok, contCount, &ended))
            return ended ? -1 : ReportInvalidToken(argv[i]);
    }
    if (argc <= 2 || !CheckCustomCombination(args))
        return ReportInvalidToken(argv[argc - 1]);
    if (!args->adapterGiven && GetAdapterNo("", args->adapters, contCount) != ADP_OK)
        return -1;
    if (!CheckCustomPdsExist(records, args))
        return -1;
    if (args->cacheCade)
        return RunCustomCacheCade(records, args);
    for (unsigned a = 0; a < ADAPTER_LIST_SIZE && args->adapters[a] != SEL_EMPTY; ++a) {
        if (CustomGroupOn(records, args->adapters[a], args) == CUSTOM_END)
            break;
    }
    return 0;
}
