// LD information, progress and maintenance commands of zavcli: ldpdinfo, ldpdprog, ldsetprop,
// ldinit, ldcc and lddel, with the report and selection helpers the other maintenance commands share.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdChecks.h"
#include "common/LdPlan.h"
#include "common/DriveLetters.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

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
    LdSettingRow rows[LD_SETTING_ROWS_MAX];
    int rowCount = LdSettingsRows(records, record, ldInfo, rows);
    for (int i = 0; i < rowCount; ++i)
        AddPolicyLine(report, rows[i].name, rows[i].text);
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
// Progress of one PD as the maintenance view shows it; "-" when nothing runs on it (and when its
// progress cannot be read, which *unread reports).
static int PdProgressText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t slot, int *unread)
{
    *unread = 0;
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
        *unread = 1;
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
    uint8_t unreadSlots[PD_LIST_MAX];
    unsigned unreadCount = 0;
    for (uint32_t i = 0; list != NULL && i < list->count && i < PD_LIST_MAX; ++i) {
        if (list->entries[i].scsiDevType != 0)
            continue;
        uint8_t slot = list->entries[i].slotNumber;
        int unread = 0;
        PdProgressText(text, sizeof(text), record, contNo, slot, &unread);
        if (unread)
            unreadSlots[unreadCount++] = slot;
        snprintf(name, sizeof(name), "PD%u", slot);
        ReportTextAdd(&report, "%-6s %s\r\n", name, text);
    }
    ReportTextPrint(&report);
    // A "-" must not pass for "nothing runs" where the controller did not answer.
    if (unreadCount > 0) {
        char slots[PD_LIST_MAX * 4 + 1];
        JoinNumbers(slots, sizeof(slots), unreadSlots, unreadCount);
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to get the progress of PD(Physical Drive) %s.", contNo,
                   slots);
    }
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
static void MoreSleep(unsigned ms)
{
    const VolumeSeam *seam = GetVolumeSeam();
    FlushConsoleOutput(); // what was said so far shows while the tool waits
    if (seam != NULL && seam->sleepMs != NULL)
        seam->sleepMs(ms);
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
        LdCheck check = stop ? LdStopRebuildCheck(op, contNo, selected[i]) : LdCheckOk();
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
        LdCheck check = LdOperationCheck(op, stop, record, contNo, selected[i]);
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
            firstLeftOut = stop ? LdOperationTextsOf(op)->alreadyFinished : LdOperationTextsOf(op)->startFailed;
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
    if (!stop && op == LDOP_INIT && ComChk(answer, PROMPT_DATA_LOST, 0) != 1)
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
                ReportDoneList(LdOperationTextsOf(op)->started, contNo, done, doneCount);
            ZAV_REPORT(REPORT_BOTH, stop ? LdOperationTextsOf(op)->stopFailed : LdOperationTextsOf(op)->startFailed, contNo);
            return -1;
        }
        if (!stop)
            ReportDoneList(LdOperationTextsOf(op)->started, contNo, done, doneCount);
        else if (op == LDOP_CC)
            ReportDoneList("Information - Controller[%d] Stop Check Consistency on LD(Logical Drive) %s.", contNo, done,
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
        if (ComChk(answer, cacheBackup ? PROMPT_WRITE_BACK_BACKUP_CAPACITY : PROMPT_WRITE_BACK_POWER_FAILURE, 0) != 1)
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
    int chosen = OpenControllerDialogue(argc, argv, records, contCount);
    if (chosen < 0)
        return chosen == DIALOGUE_INVALID ? -1 : 0;
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
        const char *refusal = LdDeleteRefusal(record, contNo, selected[i]);
        if (refusal != NULL) {
            ZAV_REPORT(REPORT_BOTH, refusal, contNo);
            return -1;
        }
    }
    if (ComChk(answer, PROMPT_DATA_LOST, 0) != 1 || ComChk(answer, PROMPT_PROCEED_DELETE, 0) != 1)
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
        ZAV_REPORT(REPORT_BOTH, kLdDeleteFailed, contNo);
    if (UpdateDriveInfo(records, contCount) != 1) {
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n");
        return -1;
    }
    if (cacheCadeBefore > 0 && CountCacheCadeLds(record) == 0)
        LeaveCacheCadeMode(records, contNo);
    return failed ? -1 : 0;
}
