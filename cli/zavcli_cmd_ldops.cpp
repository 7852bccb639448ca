// LD information, progress and maintenance commands of zavcli: ldpdinfo, ldpdprog, ldsetprop,
// ldinit, ldcc and lddel, with the report and selection helpers the other maintenance commands share.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_pd.h"
#include "cli/zavcli_cmd_ldops.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdPlan.h"
#include "common/DriveLetters.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

// ---------------------------------------------------------------------------------------------
// Shared helpers
// ---------------------------------------------------------------------------------------------
void ReportTextWrite(ReportText *report)
{
    if (report->length > 0)
        WriteConsoleText(report->text);
    ReportTextReset(report);
}

int ResolveLdSelection(const ContData *record, uint8_t contNo, const CliArgs *args, uint8_t targets[64],
                       unsigned *count, int *explicitList)
{
    uint8_t listed[LD_LIST_SIZE];
    memset(listed, SEL_EMPTY, sizeof(listed));
    *count = 0;
    int isExplicit = args->ldSel[0] != '\0' && strcmp(args->ldSel, "lall") != 0;
    if (explicitList)
        *explicitList = isExplicit;
    if (!GetLogicalDriveNo(args->ldSel, listed))
        return 0;
    unsigned listedCount = SelCount(listed, LD_LIST_SIZE);
    for (unsigned i = 0; i < listedCount; ++i) {
        if (MoreLdExists(record, listed[i])) {
            targets[(*count)++] = listed[i];
        } else if (isExplicit) {
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo,
                       "Logical Drive", listed[i]);
            return 0;
        }
    }
    return 1;
}

int CheckLdSelectorSyntax(char **argv, const CliArgs *args)
{
    uint8_t listed[LD_LIST_SIZE];
    // "-L" without a number names no LD at all.
    if (args->ldAt != 0 && (strcmp(args->ldSel, "l") == 0 || !GetLogicalDriveNo(args->ldSel, listed))) {
        ReportInvalidToken(argv[args->ldAt - 1]);
        return 0;
    }
    return 1;
}

int CheckPdSelector(int argc, char **argv, const CliArgs *args, uint8_t slots[256], unsigned *count)
{
    memset(slots, SEL_EMPTY, PD_LIST_SIZE);
    if (args->pdAt == 0) {
        ReportMissingOption(argc, argv);
        return 0;
    }
    if (!GetPhysicalDriveNo(args->pdSel, slots, 0)) {
        ReportInvalidToken(argv[args->pdAt - 1]);
        return 0;
    }
    *count = SelCount(slots, PD_LIST_SIZE);
    return 1;
}

int ReportMissingOption(int argc, char **argv)
{
    return ReportInvalidToken(argv[argc - 1]);
}

int AskControllerNumber(ContData *records, uint16_t contCount)
{
    if (contCount <= 1)
        return 0;
    ReportText menu;
    ReportTextReset(&menu);
    ReportTextAdd(&menu, "<< RAID Controller Selection Menu >>\n\n");
    for (uint16_t i = 0; i < contCount && i < SL_MAX_CONTROLLERS; ++i) {
        uint8_t pci[PCI_INFO_SIZE];
        if (SLGetPciInfo((uint8_t)i, pci) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "AskControllerNumber", "SLGetPciInfo error", i);
            return -1;
        }
        char name[81];
        memcpy(name, records[i].ctrlInfo + CI_PRODUCT_NAME, 80);
        name[80] = '\0';
        ReportTextAdd(&menu, "(%d) [%d]:%s(%d)(Bus%d,Dev%d)\n", i + 1, i, name, i, (int)LayoutU32(pci, 0),
                      (int)pci[4]);
    }
    ReportTextAdd(&menu, "(Q) Quit\n\n");
    ReportTextWrite(&menu);
    char answer[LD_LIST_SIZE];
    int choice = ComChk(answer, PROMPT_MENU_NUMBER, contCount);
    return choice == 0 ? -1 : choice - 1;
}

// ---------------------------------------------------------------------------------------------
// ldpdinfo
// ---------------------------------------------------------------------------------------------
static void AddPolicyLine(ReportText *report, const char *label, const char *value)
{
    if (value[0] != '\0')
        ReportTextAdd(report, "%-25s: %s\r\n", label, value);
}

static void AddLdProperties(ReportText *report, ContData *record, const ContData *records, uint8_t contNo,
                            uint8_t targetId)
{
    const uint8_t *ldInfo = record->ldInfo[targetId];
    char text[600];
    ReportTextAdd(report, "LD%u\r\n", targetId);
    ReportTextAdd(report, "%s\r\n", "### General Information ###");
    RaidlvlToStr(text, sizeof(text), LdRaidLevel(ldInfo), contNo);
    ReportTextAdd(report, "%-25s: %s\r\n", "RAID Level", text);
    LdNameText(text, sizeof(text), ldInfo);
    ReportTextAdd(report, "%-25s: %s\r\n", "Name", text);
    CapacityText(text, sizeof(text), LdCapacityBlocks(ldInfo, contNo));
    ReportTextAdd(report, "%-25s: %s GB\r\n", "Size", text);
    StripeSizeText(text, sizeof(text), ldInfo[LI_STRIPE_SIZE]);
    AddPolicyLine(report, "Stripe Size", text);
    LdStateText(text, sizeof(text), record, targetId);
    ReportTextAdd(report, "%-25s: %s\r\n", "LD Status", text);
    ReportTextAdd(report, "%-25s: %u\r\n", "# of PD", LdDriveCount(ldInfo));
    uint8_t associated[LD_MAX];
    unsigned associatedCount = AssociatedCacheCadeLds(record, targetId, associated);
    if (associatedCount > 0) {
        ReportTextAdd(report, "%-25s:\r\n", "Associated CacheCade LD");
        for (unsigned i = 0; i < associatedCount; ++i) {
            const uint8_t *other = record->ldInfo[associated[i]];
            char level[16], capa[32], state[64];
            RaidlvlToStr(level, sizeof(level), LdRaidLevel(other), contNo);
            CapacityText(capa, sizeof(capa), LdCapacityBlocks(other, contNo));
            LdStateText(state, sizeof(state), record, associated[i]);
            ReportTextAdd(report, "  LD%u (%s, %s GB, %s)\r\n", associated[i], level, capa, state);
        }
    }
    AssignDriveLetters(record, targetId);
    ReportTextAdd(report, "%-25s: %s\r\n", "Drive Letter",
                  record->driveLetters[targetId][0] != '\0' ? record->driveLetters[targetId] : "-");
    ReportTextAdd(report, "\r\n%s\r\n", "### LD Settings Information ###");
    AccessPolicyText(text, sizeof(text), ldInfo);
    AddPolicyLine(report, "Access Policy", text);
    DiskCachePolicyText(text, sizeof(text), ldInfo);
    AddPolicyLine(report, "Disk Cache Policy", text);
    ReadPolicyText(text, sizeof(text), ldInfo);
    AddPolicyLine(report, "Read Policy", text);
    IoPolicyText(text, sizeof(text), ldInfo);
    AddPolicyLine(report, "IO Policy", text);
    char firstName[81];
    ProductNameOfFirstCtrl(records, firstName, sizeof(firstName));
    if (WritePolicyShown(firstName)) {
        CurrentWritePolicyText(text, sizeof(text), ldInfo, record->ctrlInfo);
        AddPolicyLine(report, "Current Write Policy", text);
        DefaultWritePolicyText(text, sizeof(text), ldInfo, record->ctrlInfo);
        AddPolicyLine(report, "Default Write Policy", text);
    }
}

static void PrintLdReport(ContData *records, uint8_t contNo, uint8_t targetId, int firstOfController)
{
    ContData *record = &records[contNo];
    ReportText report;
    ReportTextReset(&report);
    if (firstOfController)
        ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", contNo);
    AddLdProperties(&report, record, records, contNo, targetId);
    ReportTextPrint(&report);

    uint8_t slots[PD_LIST_SIZE];
    uint16_t slotCount = 0;
    LdMemberSlots(record, targetId, slots, PD_LIST_SIZE, &slotCount);
    for (uint16_t i = 0; i < slotCount; ++i) {
        AddPdUsageLine(&report, record, slots[i]);
        AddPdGeneralLines(&report, contNo, record, slots[i]);
        ReportTextPrint(&report);
    }
}

int CliCmdExecLDInfo(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecLDInfo", "start");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, SEL_ADAPTER | SEL_LD, &args) || !CheckLdSelectorSyntax(argv, &args))
        return -1;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    uint8_t targets[ADAPTER_LIST_SIZE][LD_MAX];
    unsigned targetCount[ADAPTER_LIST_SIZE];
    for (unsigned a = 0; a < adapterCount; ++a) {
        if (!ResolveLdSelection(&records[adapters[a]], adapters[a], &args, targets[a], &targetCount[a], NULL))
            return -1;
    }
    for (unsigned a = 0; a < adapterCount; ++a) {
        if (targetCount[a] == 0)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] LD(Logical Drive) doesn't exist.", adapters[a]);
        for (unsigned i = 0; i < targetCount[a]; ++i)
            PrintLdReport(records, adapters[a], targets[a][i], i == 0);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ldpdprog
// ---------------------------------------------------------------------------------------------
// Progress of one PD as the maintenance view shows it; "-" when nothing runs on it.
static int PdProgressText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t slot)
{
    const uint8_t *pdInfo = record->pdInfo[slot];
    uint16_t state = LayoutU16(pdInfo, PI_FW_STATE);
    char percent[16];
    snprintf(percent, sizeof(percent), "%u%%", ProgressPercent(LayoutU16(pdInfo, PI_REBUILD_PROGRESS)));
    if (state == PD_STATE_COPYBACK)
        return snprintf(out, size, "Copyback (%s)", percent);
    if ((LayoutU32(pdInfo, PI_PROGRESS_BITS) & 0x1) != 0 || state == PD_STATE_REBUILD)
        return snprintf(out, size, "Rebuild (%s)", percent);
    uint8_t progress[PD_PROGRESS_SIZE];
    if (SLGetPdProggress(contNo, slot, progress) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "CliCmdExecLDPDProg", "SLGetPdProggress error", contNo,
                  slot);
        return DispCopy(out, size, "-");
    }
    if ((LayoutU32(progress, PPG_ACTIVE) & PD_PROG_PATROL) != 0)
        return snprintf(out, size, "%u%% PatrolRead", ProgressPercent(LayoutU16(progress, PPG_PATROL_PROGRESS)));
    return DispCopy(out, size, "-");
}

static void PrintProgressOfController(ContData *records, uint8_t contNo)
{
    const ContData *record = &records[contNo];
    ReportText report;
    ReportTextReset(&report);
    ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", contNo);
    ReportTextAdd(&report, "### Logical Drive(LD) ###\r\nLD No. Progress\r\n------ "
                           "----------------------------------------\r\n");
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets);
    char text[600], name[16];
    for (unsigned i = 0; i < count; ++i) {
        LdProgressText(text, sizeof(text), record, targets[i]);
        snprintf(name, sizeof(name), "LD%u", targets[i]);
        ReportTextAdd(&report, "%-6s %s\r\n", name, text);
    }
    ReportTextAdd(&report, "\r\n### Physical Drive(PD) ###\r\nPD No. Progress\r\n------ "
                           "----------------------------------------\r\n");
    const PdList *list = record->pdList;
    for (uint32_t i = 0; list != NULL && i < list->count && i < PD_LIST_MAX; ++i) {
        if (list->entries[i].scsiDevType != 0)
            continue;
        uint8_t slot = list->entries[i].slotNumber;
        PdProgressText(text, sizeof(text), record, contNo, slot);
        snprintf(name, sizeof(name), "PD%u", slot);
        ReportTextAdd(&report, "%-6s %s\r\n", name, text);
    }
    ReportTextPrint(&report);
}

int CliCmdExecLDPDProg(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecLDPDProg", "start");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, 0, &args))
        return -1;
    for (uint16_t c = 0; c < contCount && c < SL_MAX_CONTROLLERS; ++c)
        PrintProgressOfController(records, (uint8_t)c);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ldinit and ldcc
// ---------------------------------------------------------------------------------------------
void MoreSleep(unsigned ms)
{
    const VolumeSeam *seam = GetVolumeSeam();
    if (seam != NULL && seam->sleepMs != NULL)
        seam->sleepMs(ms);
}

enum LdOperation { LDOP_INIT = 0, LDOP_CC = 1 };

// Texts of one background operation, by LdOperation.
struct LdOperationTexts {
    const char *name;          // for trace lines
    uint32_t progressBit;      // bit of the LD progress block
    const char *startFailed;
    const char *stopFailed;
    const char *alreadyFinished;
    const char *started;
};
static const LdOperationTexts kLdOperation[2] = {
    {"Initialization", LD_PROG_INIT,
     "Error - Controller[%d] Failed to start Initialization.\nPlease confirm LD(Logical Drive) state.",
     "Error - Controller[%d] Failed to stop Initialization.\nPlease confirm whether to have already ended.",
     "Information - Controller[%d] Already finished(Initialization).",
     "Information - Controller[%d] Start Initialization on LD(Logical Drive) %s.\n"
     "Please confirm the progress by \"ldpdprog\" command."},
    {"Check Consistency", LD_PROG_CC,
     "Error - Controller[%d] Failed to start Check Consistency.\nPlease confirm LD(Logical Drive) state.",
     "Error - Controller[%d] Failed to stop Check Consistency.\nPlease confirm whether to have already ended.",
     "Information - Controller[%d] Already finished(Check Consistency).",
     "Information - Controller[%d] Start Check Consistency on LD(Logical Drive) %s.\n"
     "Please confirm the progress by \"ldpdprog\" command."},
};

// Result of checking one LD before an operation starts or stops.
enum { LD_CHECK_OK = 0, LD_CHECK_NOT_APPLICABLE = 1, LD_CHECK_REFUSED = 2 };

struct LdCheck {
    int result;
    const char *text; // refusal text with the controller number as its one argument
};

static LdCheck CheckResult(int result, const char *text)
{
    LdCheck check = {result, text};
    return check;
}

static LdCheck CheckInitStart(ContData *record, uint8_t contNo, uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    AssignDriveLetters(record, target);
    if (LdHoldsSystemVolume(record, target))
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Error - Controller[%d] Cannot initialize OS LD(Logical Drive).");
    if (LdIsCacheCade(ldInfo))
        return CheckResult(LD_CHECK_NOT_APPLICABLE,
                           "Error - Controller[%d] CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.");
    if (LdIsSnapshotBase(ldInfo) || LdIsRepository(ldInfo) || ldInfo[LI_IS_VIEW] != 0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE,
                           "Error - Controller[%d] Snapshot Base/Repository LD[s](Logical Drive[s]) doesn't need "
                           "Initialization.");
    uint32_t allowed = 0;
    if (SLGetLDAllowedOperation(contNo, target, &allowed) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecLDINIT", "SLGetLDAllowedOperation error",
                  contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_INIT].startFailed);
    }
    if ((allowed & LD_ALLOW_START_INIT) == 0)
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_INIT].startFailed);
    return CheckResult(LD_CHECK_OK, NULL);
}

static LdCheck CheckCcStart(ContData *record, uint8_t contNo, uint8_t target)
{
    (void)contNo;
    const uint8_t *ldInfo = record->ldInfo[target];
    if (LdRaidLevel(ldInfo) == RAIDLVL_0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Error - Controller[%d] Cannot Check Consistency for RAID0.");
    if ((LayoutU32(ldInfo, LI_ALLOWED_OPS) & LD_ALLOW_START_CC) == 0)
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[LDOP_CC].startFailed);
    return CheckResult(LD_CHECK_OK, NULL);
}

// A rebuild or copyback cannot be stopped: an LD running one is not stopped at all.
static LdCheck CheckStopRebuild(int op, uint8_t contNo, uint8_t target)
{
    uint8_t rebuilding = 0;
    if (SLIsDuringRebuildCopyback(contNo, target, &rebuilding) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC",
                  "SLIsDuringRebuildCopyback error", contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[op].stopFailed);
    }
    if (rebuilding)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, "Information - Controller[%d] Cannot stop Rebuild/Copyback.");
    return CheckResult(LD_CHECK_OK, NULL);
}

// A stop applies to the LDs on which the operation runs.
static LdCheck CheckStop(int op, uint8_t contNo, uint8_t target)
{
    const char *handler = op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC";
    uint8_t progress[LD_PROGRESS_SIZE];
    if (SLGetLdProggress(contNo, target, progress) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", handler, "SLGetLdProggress error", contNo, target);
        return CheckResult(LD_CHECK_REFUSED, kLdOperation[op].stopFailed);
    }
    if ((LayoutU32(progress, LPG_ACTIVE) & kLdOperation[op].progressBit) == 0)
        return CheckResult(LD_CHECK_NOT_APPLICABLE, kLdOperation[op].alreadyFinished);
    return CheckResult(LD_CHECK_OK, NULL);
}

static LdCheck CheckLd(int op, int stop, ContData *record, uint8_t contNo, uint8_t target)
{
    if (stop)
        return CheckStop(op, contNo, target);
    return op == LDOP_INIT ? CheckInitStart(record, contNo, target) : CheckCcStart(record, contNo, target);
}

// Picks the LDs the operation will act on. A named LD that the check refuses ends the command; from
// an "all" selection the LDs the operation does not apply to are left out, and the command ends only
// when none is left.
static int PickLds(int op, int stop, ContData *record, uint8_t contNo, const uint8_t *selected, unsigned count,
                   int explicitList, uint8_t *picked, unsigned *pickedCount)
{
    const char *firstLeftOut = NULL;
    uint8_t candidates[LD_MAX];
    unsigned candidateCount = 0;
    *pickedCount = 0;
    // Before a stop, every named LD is asked about a rebuild first: one running anywhere in the
    // selection refuses the stop, whatever the other LDs run.
    for (unsigned i = 0; i < count; ++i) {
        LdCheck check = stop ? CheckStopRebuild(op, contNo, selected[i]) : CheckResult(LD_CHECK_OK, NULL);
        if (check.result == LD_CHECK_OK) {
            candidates[candidateCount++] = selected[i];
            continue;
        }
        if (check.result == LD_CHECK_REFUSED || explicitList) {
            ZAV_REPORT(REPORT_BOTH, check.text, contNo);
            return 0;
        }
        if (firstLeftOut == NULL)
            firstLeftOut = check.text;
    }
    selected = candidates;
    count = candidateCount;
    for (unsigned i = 0; i < count; ++i) {
        LdCheck check = CheckLd(op, stop, record, contNo, selected[i]);
        if (check.result == LD_CHECK_OK) {
            picked[(*pickedCount)++] = selected[i];
            continue;
        }
        if (check.result == LD_CHECK_REFUSED || explicitList) {
            ZAV_REPORT(REPORT_BOTH, check.text, contNo);
            return 0;
        }
        if (firstLeftOut == NULL)
            firstLeftOut = check.text;
    }
    if (*pickedCount == 0) {
        if (firstLeftOut == NULL)
            firstLeftOut = stop ? kLdOperation[op].alreadyFinished : kLdOperation[op].startFailed;
        ZAV_REPORT(REPORT_BOTH, firstLeftOut, contNo);
        return 0;
    }
    return 1;
}

static int StartOperation(int op, uint8_t contNo, uint8_t target)
{
    int32_t status = op == LDOP_INIT ? SLStartInitialization(contNo, target) : SLStartCheckConsistency(contNo, target);
    if (status != 0)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC",
                  op == LDOP_INIT ? "SLStartInitialization error" : "SLStartCheckConsistency error", contNo, target);
    return status == 0;
}

// Waits until the cancelled initialization is seen to end: 100 ms steps, at most 30 of them.
static void WaitInitializationEnd(uint8_t contNo, uint8_t target)
{
    for (int step = 0; step < 30; ++step) {
        MoreSleep(100);
        uint8_t progress[LD_PROGRESS_SIZE];
        if (SLGetLdProggress(contNo, target, progress) != 0)
            return;
        if ((LayoutU32(progress, LPG_ACTIVE) & LD_PROG_INIT) == 0 || LayoutU16(progress, LPG_INIT_PROGRESS) == 0)
            return;
    }
}

static int StopOperation(int op, uint8_t contNo, uint8_t target)
{
    int32_t status = op == LDOP_INIT ? SLCancelInitialization(contNo, target) : SLCancelCheckConsistency(contNo, target);
    if (status != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", op == LDOP_INIT ? "CliCmdExecLDINIT" : "CliCmdExecLDCC",
                  op == LDOP_INIT ? "SLCancelInitialization error" : "SLCancelCheckConsistency error", contNo, target);
        return 0;
    }
    if (op == LDOP_INIT)
        WaitInitializationEnd(contNo, target);
    return 1;
}

static void ReportDone(const char *format, uint8_t contNo, const uint8_t *done, unsigned doneCount)
{
    char list[256];
    if (doneCount == 0)
        return;
    JoinNumbers(list, sizeof(list), done, doneCount);
    ZAV_REPORT(REPORT_BOTH, format, contNo, list);
}

static int RunLdOperation(int op, int argc, char **argv, ContData *records, uint16_t contCount)
{
    static const CliOption options[] = {{"start", 1, 0}, {"stop", 1, 0}};
    enum { OPT_START, OPT_STOP };
    CliArgs args;
    if (!ParseCliOptions(argc, argv, options, 2, SEL_ADAPTER | SEL_LD, &args))
        return -1;
    if (!OptGiven(&args, OPT_START) && !OptGiven(&args, OPT_STOP))
        return ReportMissingOption(argc, argv);
    if (!CheckLdSelectorSyntax(argv, &args))
        return -1;
    int stop = OptGiven(&args, OPT_STOP);
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);

    // Every check of every controller passes before anything is started or stopped.
    uint8_t picked[ADAPTER_LIST_SIZE][LD_MAX];
    unsigned pickedCount[ADAPTER_LIST_SIZE];
    for (unsigned a = 0; a < adapterCount; ++a) {
        uint8_t selected[LD_MAX];
        unsigned count = 0;
        int explicitList = 0;
        ContData *record = &records[adapters[a]];
        if (!ResolveLdSelection(record, adapters[a], &args, selected, &count, &explicitList))
            return -1;
        if (!PickLds(op, stop, record, adapters[a], selected, count, explicitList, picked[a], &pickedCount[a]))
            return -1;
    }
    char answer[LD_LIST_SIZE];
    if (!stop && op == LDOP_INIT && ComChk(answer, 4, 0) != 1)
        return 0;

    for (unsigned a = 0; a < adapterCount; ++a) {
        uint8_t contNo = adapters[a];
        uint8_t done[LD_MAX];
        unsigned doneCount = 0;
        if (stop && op == LDOP_INIT)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Stop Initialization.\nPlease wait a minute for the "
                                    "update of the progress.", contNo);
        for (unsigned i = 0; i < pickedCount[a]; ++i) {
            uint8_t target = picked[a][i];
            if (stop ? StopOperation(op, contNo, target) : StartOperation(op, contNo, target)) {
                done[doneCount++] = target;
                continue;
            }
            if (!stop)
                ReportDone(kLdOperation[op].started, contNo, done, doneCount);
            ZAV_REPORT(REPORT_BOTH, stop ? kLdOperation[op].stopFailed : kLdOperation[op].startFailed, contNo);
            return -1;
        }
        if (!stop)
            ReportDone(kLdOperation[op].started, contNo, done, doneCount);
        else if (op == LDOP_CC)
            ReportDone("Information - Controller[%d] Stop Check Consistency on LD(Logical Drive) %s.", contNo, done,
                       doneCount);
    }
    return 0;
}

int CliCmdExecLDINIT(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecLDINIT", "start");
    return RunLdOperation(LDOP_INIT, argc, argv, records, contCount);
}

int CliCmdExecLDCC(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecLDCC", "start");
    return RunLdOperation(LDOP_CC, argc, argv, records, contCount);
}

// ---------------------------------------------------------------------------------------------
// ldsetprop
// ---------------------------------------------------------------------------------------------
enum {
    SETPROP_NAME, SETPROP_NORA, SETPROP_RA, SETPROP_WT, SETPROP_WB, SETPROP_WBCB, SETPROP_DIRECT, SETPROP_CACHED,
    SETPROP_RW, SETPROP_RO, SETPROP_BLOCKED, SETPROP_ENDSKCACHE, SETPROP_DISDSKCACHE, SETPROP_UNCHANGED,
    SETPROP_OPTIONS
};
static const CliOption kSetPropOptions[SETPROP_OPTIONS] = {
    {"name", 0, 1},   {"nora", 1, 0},       {"ra", 1, 0},          {"wt", 2, 0},        {"wb", 2, 0},
    {"wbcb", 2, 0},   {"direct", 3, 0},     {"cached", 3, 0},      {"rw", 4, 0},        {"ro", 4, 0},
    {"blocked", 4, 0}, {"endskcache", 5, 0}, {"disdskcache", 5, 0}, {"unchanged", 5, 0},
};
enum { LD_NAME_MAX_CHARS = 15, LD_WRITE_MASK = 0x11, LD_READ_MASK = 0x04, LD_IO_MASK = 0x60 };

static int PolicyOptionsGiven(const CliArgs *args)
{
    for (int i = SETPROP_NORA; i < SETPROP_OPTIONS; ++i)
        if (OptGiven(args, i))
            return 1;
    return 0;
}

// Applies the given policy options to the three policy bytes (cache, access, disk cache).
static void ApplyPolicyOptions(const CliArgs *args, uint8_t *cache, uint8_t *access, uint8_t *diskCache)
{
    if (OptGiven(args, SETPROP_NORA) || OptGiven(args, SETPROP_RA))
        *cache = (uint8_t)((*cache & ~LD_READ_MASK) | (OptGiven(args, SETPROP_RA) ? 0x04 : 0x00));
    if (OptGiven(args, SETPROP_WT) || OptGiven(args, SETPROP_WB) || OptGiven(args, SETPROP_WBCB))
        *cache = (uint8_t)((*cache & ~LD_WRITE_MASK) |
                           (OptGiven(args, SETPROP_WB) ? 0x11 : OptGiven(args, SETPROP_WBCB) ? 0x01 : 0x00));
    if (OptGiven(args, SETPROP_DIRECT) || OptGiven(args, SETPROP_CACHED))
        *cache = (uint8_t)((*cache & ~LD_IO_MASK) | (OptGiven(args, SETPROP_CACHED) ? 0x60 : 0x00));
    if (OptGiven(args, SETPROP_RW))
        *access = 0;
    else if (OptGiven(args, SETPROP_RO))
        *access = 2;
    else if (OptGiven(args, SETPROP_BLOCKED))
        *access = 3;
    if (OptGiven(args, SETPROP_UNCHANGED))
        *diskCache = 0;
    else if (OptGiven(args, SETPROP_ENDSKCACHE))
        *diskCache = 1;
    else if (OptGiven(args, SETPROP_DISDSKCACHE))
        *diskCache = 2;
}

static int ReportSetPropFailure(uint8_t contNo)
{
    ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to change LD(Logical Drive) Settings.", contNo);
    return -1;
}

// Writes the properties of one LD: the policies of its group's source LD with the options applied,
// and the new name when it is the named LD.
static int WriteLdProperties(const CliArgs *args, const ContData *record, uint8_t contNo, uint8_t target,
                             uint8_t source, const char *newName)
{
    uint8_t props[LD_PROP_SIZE];
    if (SLGetLDProperties(contNo, target, props) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecLDSetProp", "SLGetLDProperties error", contNo,
                  target);
        return 0;
    }
    if (PolicyOptionsGiven(args)) {
        const uint8_t *src = record->ldInfo[source];
        uint8_t cache = src[LI_DEFAULT_CACHE], access = src[LI_ACCESS_POLICY], diskCache = src[LI_DISK_CACHE];
        ApplyPolicyOptions(args, &cache, &access, &diskCache);
        props[LP_DEFAULT_CACHE] = cache;
        props[LP_ACCESS_POLICY] = access;
        props[LP_DISK_CACHE] = diskCache;
    }
    if (newName != NULL) {
        memset(props + LP_NAME, 0, LD_NAME_LEN);
        memcpy(props + LP_NAME, newName, strlen(newName));
    }
    if (SLSetLDProperties(contNo, props) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecLDSetProp", "SLSetLDProperties error", contNo,
                  target);
        return 0;
    }
    return 1;
}

// The checks a controller must pass before any LD of it is changed.
static int CheckSetPropController(const CliArgs *args, const ContData *record, uint8_t contNo, const uint8_t *targets,
                                  unsigned count)
{
    int cacheBackup = (LayoutU32(record->ctrlInfo, CI_HW_PRESENT) & CI_HW_CACHE_BACKUP) != 0;
    int unsupported = OptGiven(args, SETPROP_WBCB) && !cacheBackup;
    for (unsigned i = 0; i < count && PolicyOptionsGiven(args); ++i)
        unsupported |= LdIsCacheCade(record->ldInfo[targets[i]]);
    if (unsupported) {
        ZAV_REPORT(REPORT_BOTH, "Error - The specified parameter is not supported at the current configuration.");
        return 0;
    }
    (void)contNo;
    return 1;
}

static int SetPropOfController(const CliArgs *args, const ContData *record, uint8_t contNo, const uint8_t *targets,
                               unsigned count, const char *newName)
{
    uint8_t order[LD_MAX], source[LD_MAX];
    unsigned total = 0;
    int groupShared = 0;
    for (unsigned i = 0; i < count; ++i) {
        uint8_t group[LD_MAX];
        unsigned members = PolicyOptionsGiven(args) ? LdsOfSameRaidGroup(record, targets[i], group) : 0;
        if (members == 0)
            group[members++] = targets[i];
        groupShared |= members > 1;
        for (unsigned m = 0; m < members; ++m) {
            int seen = 0;
            for (unsigned k = 0; k < total; ++k)
                seen |= (order[k] == group[m]);
            if (!seen) {
                order[total] = group[m];
                source[total++] = targets[i];
            }
        }
    }
    if (groupShared)
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Apply the same settings for all the LDs(Logical Drives) "
                                "of the same RAID Group.", contNo);
    for (unsigned k = 0; k < total; ++k) {
        const char *name = (newName != NULL && order[k] == targets[0]) ? newName : NULL;
        if (!WriteLdProperties(args, record, contNo, order[k], source[k], name))
            return ReportSetPropFailure(contNo);
    }
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] LD(Logical Drive) Settings have been changed.", contNo);
    return 0;
}

int CliCmdExecLDSetProp(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecLDSetProp", "start");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, kSetPropOptions, SETPROP_OPTIONS, SEL_ADAPTER | SEL_LD, &args))
        return -1;
    if (args.optionCount == 0)
        return ReportMissingOption(argc, argv);
    if (!CheckLdSelectorSyntax(argv, &args))
        return -1;
    const char *newName = args.value[SETPROP_NAME];
    if (OptGiven(&args, SETPROP_NAME)) {
        // A name belongs to one LD: it must be named alone with -Lx.
        uint8_t listed[LD_LIST_SIZE];
        GetLogicalDriveNo(args.ldSel, listed);
        int single = args.ldAt != 0 && strcmp(args.ldSel, "lall") != 0 && SelCount(listed, LD_LIST_SIZE) == 1;
        if (strlen(newName) > LD_NAME_MAX_CHARS || !single)
            return ReportInvalidToken(argv[args.at[SETPROP_NAME]]);
    }
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    uint8_t targets[ADAPTER_LIST_SIZE][LD_MAX];
    unsigned targetCount[ADAPTER_LIST_SIZE];
    for (unsigned a = 0; a < adapterCount; ++a) {
        const ContData *record = &records[adapters[a]];
        if (!ResolveLdSelection(record, adapters[a], &args, targets[a], &targetCount[a], NULL) ||
            !CheckSetPropController(&args, record, adapters[a], targets[a], targetCount[a]))
            return -1;
    }
    if (OptGiven(&args, SETPROP_WB)) {
        // With a cache backup unit the risk is its capacity; without one, a power failure.
        int cacheBackup = (LayoutU32(records[adapters[0]].ctrlInfo, CI_HW_PRESENT) & CI_HW_CACHE_BACKUP) != 0;
        char answer[LD_LIST_SIZE];
        if (ComChk(answer, cacheBackup ? 3 : 2, 0) != 1)
            return 0;
    }
    for (unsigned a = 0; a < adapterCount; ++a) {
        if (targetCount[a] == 0)
            continue;
        if (SetPropOfController(&args, &records[adapters[a]], adapters[a], targets[a], targetCount[a], newName) != 0)
            return -1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// lddel
// ---------------------------------------------------------------------------------------------
static const char *const kDeleteFailed =
    "Error - Controller[%d] Failed to delete LD[s](Logical Drive[s]).\nPlease confirm LD(Logical Drive) state.";

static void PrintLdTable(ContData *record, uint8_t contNo)
{
    ReportText report;
    ReportTextReset(&report);
    ReportTextAdd(&report, "Currently selected controller : %d\n", contNo);
    ReportTextAdd(&report, "LD No. RAID Level Capacity[GB] State                        Drive Letter\n"
                           "------ ---------- ------------ ---------------------------- ------------\n");
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets);
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t *ldInfo = record->ldInfo[targets[i]];
        char name[16], level[16], capa[32], state[64];
        snprintf(name, sizeof(name), "LD%u", targets[i]);
        RaidlvlToStr(level, sizeof(level), LdRaidLevel(ldInfo), contNo);
        CapacityText(capa, sizeof(capa), LdCapacityBlocks(ldInfo, contNo));
        LdStateText(state, sizeof(state), record, targets[i]);
        AssignDriveLetters(record, targets[i]);
        const char *letters = record->driveLetters[targets[i]];
        ReportTextAdd(&report, "%-6s %-10s %-12s %-28s %s\n", name, level, capa, state,
                      letters[0] != '\0' ? letters : "-");
    }
    ReportTextAdd(&report, "\n");
    ReportTextWrite(&report);
}

// The refusal text for deleting one LD, or null when it may be deleted.
static const char *DeleteRefusal(ContData *record, uint8_t contNo, uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    if (LdIsSnapshotBase(ldInfo) || LdIsRepository(ldInfo))
        return "Error - Controller[%d] Cannot delete Snapshot Base/Repository LD[s](Logical Drive[s]).\n"
               "Please delete it after disabling Snapshot.";
    if ((LayoutU32(ldInfo, LI_CONFIG_OPS) & LD_ALLOW_DELETE) == 0 ||
        (LayoutU32(ldInfo, LI_OPERATION_BITS) & (LD_PROG_CC | LD_PROG_INIT | LD_PROG_RECON)) != 0)
        return kDeleteFailed;
    uint8_t rebuilding = 0;
    if (SLIsDuringRebuildCopyback(contNo, target, &rebuilding) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecCfgLDDel", "SLIsDuringRebuildCopyback error",
                  contNo, target);
        return kDeleteFailed;
    }
    if (rebuilding)
        return kDeleteFailed;
    AssignDriveLetters(record, target);
    if (LdHoldsSystemVolume(record, target))
        return "Error - Controller[%d] Cannot delete OS LD(Logical Drive).";
    if (record->driveLetters[target][0] != '\0')
        return "Error - Controller[%d] Cannot delete the LD[s](Logical Drive[s]) which has drive letter[s].";
    return NULL;
}

// Without CacheCade LDs no LD can use cached IO through them: every remaining LD goes to direct IO.
static void LeaveCacheCadeMode(ContData *records, uint8_t contNo)
{
    ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Set IO Policy to Direct IO for all the LD[s] except the "
                            "selected LD[s].", contNo);
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(&records[contNo], targets);
    SetLdsIoPolicy(contNo, records, targets, (int)count, 0);
}

int CliCmdExecCfgLDDel(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecCfgLDDel", "start");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, 0, &args))
        return -1;
    int chosen = AskControllerNumber(records, contCount);
    if (chosen < 0)
        return 0;
    uint8_t contNo = (uint8_t)chosen;
    ContData *record = &records[contNo];
    uint8_t existing[LD_MAX];
    if (ExistingLds(record, existing) == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] LD(Logical Drive) doesn't exist.", contNo);
        return -1;
    }
    PrintLdTable(record, contNo);
    char answer[LD_LIST_SIZE];
    if (ComChk(answer, PROMPT_LD_LIST, 0) != 1)
        return 0;
    uint8_t selected[LD_MAX];
    unsigned count = SelCount((const uint8_t *)answer, LD_LIST_SIZE);
    memcpy(selected, answer, count);
    for (unsigned i = 0; i < count; ++i) {
        if (!MoreLdExists(record, selected[i])) {
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo,
                       "Logical Drive", selected[i]);
            return -1;
        }
    }
    for (unsigned i = 0; i < count; ++i) {
        const char *refusal = DeleteRefusal(record, contNo, selected[i]);
        if (refusal != NULL) {
            ZAV_REPORT(REPORT_BOTH, refusal, contNo);
            return -1;
        }
    }
    if (ComChk(answer, 4, 0) != 1 || ComChk(answer, 5, 0) != 1)
        return 0;
    unsigned cacheCadeBefore = CountCacheCadeLds(record);
    // The construct-info file pairs LD numbers that deletion makes meaningless.
    RemoveSnapshotConstructInfo(contNo);
    uint8_t done[LD_MAX];
    unsigned doneCount = 0;
    int failed = 0;
    for (unsigned i = 0; i < count && !failed; ++i) {
        if (SLDeleteLD(contNo, selected[i]) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "CliCmdExecCfgLDDel", "SLDeleteLD error", contNo,
                      selected[i]);
            failed = 1;
        } else {
            done[doneCount++] = selected[i];
        }
    }
    if (doneCount > 0) {
        char list[256];
        JoinNumbers(list, sizeof(list), done, doneCount);
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Succeeded to delete LD[s](Logical Drive[s]).\nLD:LD%s",
                   contNo, list);
    }
    if (failed)
        ZAV_REPORT(REPORT_BOTH, kDeleteFailed, contNo);
    if (UpdateDriveInfo(records, contCount) != 1) {
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n");
        return -1;
    }
    if (cacheCadeBefore > 0 && CountCacheCadeLds(record) == 0)
        LeaveCacheCadeMode(records, contNo);
    return failed ? -1 : 0;
}
