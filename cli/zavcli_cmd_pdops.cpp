// Hot-spare, rebuild and enclosure commands of zavcli: pdhsp, pdrbld and enclinfo.
#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_ldops.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

// ---------------------------------------------------------------------------------------------
// RAID groups a dedicated hot spare can serve
// ---------------------------------------------------------------------------------------------
static void PrintRaidGroupMenu(const ContData *record, uint8_t contNo, const RaidGroupChoice *choices, unsigned count)
{
    ReportText menu;
    ReportTextReset(&menu);
    ReportTextAdd(&menu, "<< RAID Group Selection Menu >>\n\n");
    for (unsigned i = 0; i < count; ++i) {
        uint8_t lds[LD_MAX];
        unsigned ldCount = LdsOfSameRaidGroup(record, choices[i].firstLd, lds);
        char ldText[300], level[16];
        LdListText(ldText, sizeof(ldText), lds, ldCount);
        RaidlvlToStr(level, sizeof(level), LdRaidLevel(record->ldInfo[choices[i].firstLd]), contNo);
        if (count <= 4)
            ReportTextAdd(&menu, "(%u) %s (%s, %s)\n", i + 1, choices[i].name, level, ldText);
        else
            ReportTextAdd(&menu, "    %s (%s, %s)\n", choices[i].name, level, ldText);
    }
    ReportTextAdd(&menu, count <= 4 ? "(Q) Quit\n\n" : "\n");
    ReportTextAdd(&menu, "Currently selected controller : %d\n", contNo);
    ReportTextWrite(&menu);
}

// Lets the user pick the RAID group of a dedicated hot spare: by menu number when the groups fit the
// menu, otherwise by the number of one of the group's LDs. Returns the index, or -1 on Quit.
static int AskRaidGroup(const ContData *record, uint8_t contNo, const RaidGroupChoice *choices, unsigned count)
{
    char answer[LD_LIST_SIZE];
    PrintRaidGroupMenu(record, contNo, choices, count);
    if (count <= 4) {
        int choice = ComChk(answer, PROMPT_MENU_NUMBER, (int)count);
        return choice == 0 ? -1 : choice - 1;
    }
    for (;;) {
        memset(answer, SEL_EMPTY, sizeof(answer));
        unsigned allowed = 0;
        for (unsigned i = 0; i < count; ++i) {
            uint8_t lds[LD_MAX];
            unsigned ldCount = LdsOfSameRaidGroup(record, choices[i].firstLd, lds);
            for (unsigned j = 0; j < ldCount && allowed < LD_LIST_SIZE; ++j)
                answer[allowed++] = (char)lds[j];
        }
        WriteConsoleText("Select the RAID Group by the number of one of its LDs(Logical Drives).\n");
        int ld = ComChk(answer, PROMPT_LD_NAVIGATE, 0);
        if (ld == NAV_QUIT)
            return -1;
        if (ld == NAV_BACK || ld == NAV_MENU) {
            PrintRaidGroupMenu(record, contNo, choices, count);
            continue;
        }
        for (unsigned i = 0; i < count; ++i) {
            uint8_t lds[LD_MAX];
            unsigned ldCount = LdsOfSameRaidGroup(record, choices[i].firstLd, lds);
            for (unsigned j = 0; j < ldCount; ++j)
                if (lds[j] == ld)
                    return (int)i;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// pdhsp
// ---------------------------------------------------------------------------------------------
enum { HSP_GHS, HSP_DHS, HSP_RMV, HSP_NOCHK, HSP_OPTIONS };
static const CliOption kHspOptions[HSP_OPTIONS] = {{"ghs", 1, 0}, {"dhs", 1, 0}, {"rmv", 1, 0}, {"nochk", 0, 0}};

static const char *const kAssignFailed =
    "Error - Controller[%d] Failed to assign a Hot Spare.\nPlease confirm PD(Physical Drive) state.";
static const char *const kReleaseFailed =
    "Error - Controller[%d] Failed to release the Hot Spare.\nPlease confirm PD(Physical Drive) state.";

struct HspPlan {
    uint8_t contNo;
    int groupIndex;              // chosen RAID group of a dedicated spare
    RaidGroupChoice group;
};

// The warnings of a global hot spare that differs from the configured PDs; 0 when the user declines.
static int ConfirmGlobalSpare(const ContData *record, uint8_t slot)
{
    PdComparison cmp = CompareWithAllGroups(record, slot);
    char answer[LD_LIST_SIZE];
    if (cmp.otherInterface && ComChk(answer, 10, 0) != 1)
        return 0;
    if (cmp.otherMedia && ComChk(answer, 11, 0) != 1)
        return 0;
    if (cmp.smaller && ComChk(answer, 12, 0) != 1)
        return 0;
    return 1;
}

// Refusals of a dedicated hot spare for the chosen group; 0 after reporting one.
static int CheckDedicatedSpare(const ContData *record, uint8_t contNo, uint8_t slot, const RaidGroupChoice *group)
{
    PdComparison cmp = CompareWithGroup(record, slot, group);
    const char *refusal = DedicatedSpareRefusal(&cmp);
    if (refusal == NULL)
        return 1;
    ZAV_REPORT(REPORT_BOTH, refusal, contNo);
    return 0;
}

// Chooses the group of a controller's dedicated spares and checks every PD against it.
static int PlanDedicatedSpare(const ContData *record, HspPlan *plan, const uint8_t *slots, unsigned slotCount)
{
    static RaidGroupChoice choices[RG_CHOICES_MAX];
    unsigned count = CollectRaidGroups(record, choices);
    if (count == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Cannot create DHS(Dedicated Hot Spare) with no RAID Group.",
                   plan->contNo);
        return 0;
    }
    plan->groupIndex = AskRaidGroup(record, plan->contNo, choices, count);
    if (plan->groupIndex < 0)
        return 0;
    plan->group = choices[plan->groupIndex];
    for (unsigned i = 0; i < slotCount; ++i)
        if (!CheckDedicatedSpare(record, plan->contNo, slots[i], &plan->group))
            return 0;
    return 1;
}

// Every PD to release must answer before the question is asked.
static int ReadReleasedPds(uint8_t contNo, const uint8_t *slots, unsigned slotCount)
{
    for (unsigned i = 0; i < slotCount; ++i) {
        uint8_t pdInfo[PD_INFO_SIZE];
        if (SLGetPDInfo(contNo, slots[i], pdInfo) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "CliCmdExecPDHSP", "SLGetPDInfo error", contNo,
                      slots[i]);
            ZAV_REPORT(REPORT_BOTH, kReleaseFailed, contNo);
            return 0;
        }
    }
    return 1;
}

// The release question: asked once when the controller holds LDs.
static int ConfirmRelease(uint8_t contNo, int *asked)
{
    LdList list;
    if (SLGetLDList(contNo, &list) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CliCmdExecPDHSP", "SLGetLDList error", contNo);
        ZAV_REPORT(REPORT_BOTH, kReleaseFailed, contNo);
        return 0;
    }
    if (list.count == 0 || *asked)
        return 1;
    *asked = 1;
    char answer[LD_LIST_SIZE];
    return ComChk(answer, 13, 0) == 1;
}

static int ApplyHotSpare(int kind, const HspPlan *plan, uint8_t slot)
{
    int32_t status;
    const char *opName;
    if (kind == HSP_GHS) {
        status = SLMakeGlobalHotspare(plan->contNo, slot);
        opName = "SLMakeGlobalHotspare error";
    } else if (kind == HSP_DHS) {
        status = SLMakeDedicatedHotspare(plan->contNo, slot, plan->group.arrayRefs[0]);
        opName = "SLMakeDedicatedHotspare error";
    } else {
        status = SLRemoveHotspare(plan->contNo, slot);
        opName = "SLRemoveHotspare error";
    }
    if (status == 0)
        return 1;
    if (kind == HSP_DHS)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u, RGNo=%u", "CliCmdExecPDHSP", opName, plan->contNo, slot,
                  plan->group.arrayRefs[0]);
    else
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "CliCmdExecPDHSP", opName, plan->contNo, slot);
    ZAV_REPORT(REPORT_BOTH, kind == HSP_RMV ? kReleaseFailed : kAssignFailed, plan->contNo);
    return 0;
}

int CliCmdExecPDHSP(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecPDHSP", "start");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, kHspOptions, HSP_OPTIONS, SEL_ADAPTER | SEL_PD, &args))
        return -1;
    int kind = OptGiven(&args, HSP_GHS) ? HSP_GHS : OptGiven(&args, HSP_DHS) ? HSP_DHS : OptGiven(&args, HSP_RMV) ? HSP_RMV : -1;
    if (kind < 0)
        return ReportMissingOption(argc, argv);
    // -nochk belongs to the release only; the assignment warnings cannot be skipped.
    if (kind != HSP_RMV && OptGiven(&args, HSP_NOCHK)) {
        int later = args.at[HSP_NOCHK] > args.at[kind] ? args.at[HSP_NOCHK] : args.at[kind];
        return ReportInvalidToken(argv[later - 1]);
    }
    uint8_t slots[PD_LIST_SIZE];
    unsigned slotCount = 0;
    if (!CheckPdSelector(argc, argv, &args, slots, &slotCount))
        return -1;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    if (!CheckPdsExist(records, adapters, adapterCount, slots, slotCount))
        return -1;
    int noCheck = OptGiven(&args, HSP_NOCHK);

    // Questions and refusals of every controller come first, so a No sends nothing.
    HspPlan plans[ADAPTER_LIST_SIZE];
    int releaseAsked = noCheck;
    for (unsigned a = 0; a < adapterCount; ++a) {
        const ContData *record = &records[adapters[a]];
        plans[a].contNo = adapters[a];
        plans[a].groupIndex = -1;
        if (kind == HSP_DHS && !PlanDedicatedSpare(record, &plans[a], slots, slotCount))
            return -1;
        for (unsigned i = 0; kind == HSP_GHS && !noCheck && i < slotCount; ++i)
            if (!ConfirmGlobalSpare(record, slots[i]))
                return 0;
        if (kind == HSP_RMV && (!ReadReleasedPds(adapters[a], slots, slotCount) ||
                                !ConfirmRelease(adapters[a], &releaseAsked)))
            return 0;
    }
    for (unsigned a = 0; a < adapterCount; ++a) {
        uint8_t done[PD_LIST_SIZE];
        unsigned doneCount = 0;
        for (unsigned i = 0; i < slotCount; ++i)
            if (ApplyHotSpare(kind, &plans[a], slots[i]))
                done[doneCount++] = slots[i];
        if (doneCount == 0)
            continue;
        char list[1024];
        JoinNumbers(list, sizeof(list), done, doneCount);
        if (kind == HSP_GHS)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Global Hot Spare has been assigned on PD(Physical "
                                    "Drive) %s.", adapters[a], list);
        else if (kind == HSP_DHS)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Dedicated Hot Spare for %s has been assigned on "
                                    "PD(Physical Drive) %s.", adapters[a], plans[a].group.name, list);
        else
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Hot Spare has been released on PD(Physical Drive) "
                                    "%s.", adapters[a], list);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// pdrbld
// ---------------------------------------------------------------------------------------------
static const char *const kRebuildFailed =
    "Error - Controller[%d] Failed to start Manual Rebuild.\nPlease confirm LD(Logical Drive) state.";

static int CheckRebuild(const ContData *record, uint8_t contNo, uint8_t slot)
{
    uint8_t lds[LD_MAX];
    uint16_t ldCount = 0;
    LdsOfPd(record, slot, lds, LD_MAX, &ldCount);
    for (uint16_t i = 0; i < ldCount; ++i) {
        if (LdRaidLevel(record->ldInfo[lds[i]]) == RAIDLVL_0) {
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Cannot Rebuild/Copyback for RAID0.", contNo);
            return 0;
        }
    }
    uint32_t allowed = 0;
    if (SLGetPDAllowedOperation(contNo, slot, &allowed) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "CliCmdExecPDRbld", "SLGetPDAllowedOperation error",
                  contNo, slot);
        ZAV_REPORT(REPORT_BOTH, kRebuildFailed, contNo);
        return 0;
    }
    if ((allowed & PD_ALLOW_START_REBUILD) == 0) {
        ZAV_REPORT(REPORT_BOTH, kRebuildFailed, contNo);
        return 0;
    }
    return 1;
}

int CliCmdExecPDRbld(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecPDRbld", "start");
    static const CliOption options[] = {{"start", 0, 0}};
    CliArgs args;
    if (!ParseCliOptions(argc, argv, options, 1, SEL_ADAPTER | SEL_PD, &args))
        return -1;
    if (!OptGiven(&args, 0))
        return ReportMissingOption(argc, argv);
    uint8_t slots[PD_LIST_SIZE];
    unsigned slotCount = 0;
    if (!CheckPdSelector(argc, argv, &args, slots, &slotCount))
        return -1;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    if (!CheckPdsExist(records, adapters, adapterCount, slots, slotCount))
        return -1;
    for (unsigned a = 0; a < adapterCount; ++a)
        for (unsigned i = 0; i < slotCount; ++i)
            if (!CheckRebuild(&records[adapters[a]], adapters[a], slots[i]))
                return -1;
    for (unsigned a = 0; a < adapterCount; ++a) {
        uint8_t done[PD_LIST_SIZE];
        unsigned doneCount = 0;
        int failed = 0;
        for (unsigned i = 0; i < slotCount && !failed; ++i) {
            if (SLStartRebuild(adapters[a], slots[i]) == 0) {
                done[doneCount++] = slots[i];
                continue;
            }
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", "CliCmdExecPDRbld", "SLStartRebuild error",
                      adapters[a], slots[i]);
            failed = 1;
        }
        if (doneCount > 0) {
            char list[1024];
            JoinNumbers(list, sizeof(list), done, doneCount);
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Start Rebuild on PD(Physical Drive) %s.\n"
                                    "Please confirm the progress by \"ldpdprog\" command.", adapters[a], list);
        }
        if (failed) {
            ZAV_REPORT(REPORT_BOTH, kRebuildFailed, adapters[a]);
            return -1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// enclinfo
// ---------------------------------------------------------------------------------------------
static void AddSensorLines(ReportText *report, const uint8_t *config, const uint8_t *status)
{
    ReportTextAdd(report, "\r\n%s\r\n", "### Sensor Information ###");
    ReportTextAdd(report, "%-16s %-14s %s\r\n", "Sensor", "Status", "Value");
    char label[32];
    for (unsigned i = 0; i < config[EC_TEMP_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_TEMPS + ES_SENSOR_SIZE * i;
        snprintf(label, sizeof(label), "Temperature%u", i);
        ReportTextAdd(report, "%-16s %-14s %d (C)\r\n", label, SensorStatusText(s[ES_SENSOR_STATUS]),
                      (int)(int16_t)LayoutU16(s, ES_SENSOR_VALUE));
    }
    for (unsigned i = 0; i < config[EC_FAN_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_FANS + ES_SENSOR_SIZE * i;
        snprintf(label, sizeof(label), "Fan%u", i);
        ReportTextAdd(report, "%-16s %-14s %u (RPM)\r\n", label, SensorStatusText(s[ES_SENSOR_STATUS]),
                      LayoutU16(s, ES_SENSOR_VALUE));
    }
    for (unsigned i = 0; i < config[EC_PSU_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_PSUS + ES_SENSOR_SIZE * i;
        uint16_t bits = LayoutU16(s, ES_SENSOR_VALUE);
        snprintf(label, sizeof(label), "Power Supply%u", i);
        ReportTextAdd(report, "%-16s %-14s %s\r\n", label, SensorStatusText(s[ES_SENSOR_STATUS]),
                      (bits & ES_PSU_PRESENT) == 0 ? "Not Present" : (bits & ES_PSU_ON) ? "On" : "Off");
    }
    for (unsigned i = 0; i < config[EC_VOLT_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_VOLTS + ES_SENSOR_SIZE * i;
        int millivolts = (int16_t)LayoutU16(s, ES_SENSOR_VALUE);
        unsigned magnitude = (unsigned)(millivolts < 0 ? -millivolts : millivolts);
        snprintf(label, sizeof(label), "Voltage%u", i);
        ReportTextAdd(report, "%-16s %-14s %s%0.2f (V)\r\n", label, SensorStatusText(s[ES_SENSOR_STATUS]),
                      millivolts < 0 ? "-" : "", magnitude / 1000.0);
    }
}

// One enclosure's report; 0 when its configuration cannot be read.
static int AddEnclosureReport(ReportText *report, uint8_t contNo, const EnclEntry *entry)
{
    uint8_t config[ENCL_CONFIG_SIZE], status[ENCL_STATUS_SIZE], connector[ENCL_SAS_CONNECTOR_SIZE];
    if (SLGetEnclConfig(contNo, entry->deviceId, config) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CliCmdExecEnclInfo", "SLGetEnclConfig error", contNo);
        return 0;
    }
    int haveStatus = SLGetEnclStatus(contNo, entry->deviceId, status) == 0;
    if (!haveStatus)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CliCmdExecEnclInfo", "SLGetEnclStatus error", contNo);
    int haveConnector = SLGetSASConnector(contNo, entry->deviceId, connector, sizeof(connector)) == 0;
    if (!haveConnector)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CliCmdExecEnclInfo", "SLGetSASConnector error", contNo);
    char text[64];
    ReportTextAdd(report, "%s%d\r\n", "Enclosure", entry->index);
    ReportTextAdd(report, "%s\r\n", "### General Information ###");
    FixedFieldText(text, sizeof(text), config + EC_VENDOR_ID, 8);
    ReportTextAdd(report, "%-30s: %s\r\n", "Vendor ID", text);
    ReportTextAdd(report, "%-30s: %d\r\n", "Enclosure ID", entry->deviceId);
    ReportTextAdd(report, "%-30s: %s\r\n", "Enclosure Model", EnclosureModelText(config[EC_MODEL]));
    ReportTextAdd(report, "%-30s: %s\r\n", "Enclosure Location", config[EC_LOCATION] == 0 ? "Internal" : "External");
    if (haveConnector) {
        FixedFieldText(text, sizeof(text), connector + ESC_NAME, ESC_NAME_LEN);
        ReportTextAdd(report, "%-30s: %s\r\n", "Connector", text);
    }
    ReportTextAdd(report, "%-30s: %d\r\n", "Number of Slots", config[EC_SLOT_COUNT]);
    FixedFieldText(text, sizeof(text), config + EC_REVISION, 4);
    ReportTextAdd(report, "%-30s: %s\r\n", "Product Revision Level", text);
    ReportTextAdd(report, "\r\n%s\r\n", "### Component Information ###");
    ReportTextAdd(report, "%-30s: %d\r\n", "Number of Temperature Sensors", config[EC_TEMP_COUNT]);
    ReportTextAdd(report, "%-30s: %d\r\n", "Number of Fans", config[EC_FAN_COUNT]);
    ReportTextAdd(report, "%-30s: %d\r\n", "Number of Power Supplies", config[EC_PSU_COUNT]);
    ReportTextAdd(report, "%-30s: %d\r\n", "Number of Voltage Sensors", config[EC_VOLT_COUNT]);
    if (haveStatus)
        AddSensorLines(report, config, status);
    return 1;
}

int CliCmdExecEnclInfo(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: %s", "CliCmdExecEnclInfo", "start");
    (void)records;
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, SEL_ADAPTER, &args))
        return -1;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    unsigned adapterCount = SelCount(adapters, ADAPTER_LIST_SIZE);
    static EnclList list;
    for (unsigned a = 0; a < adapterCount; ++a) {
        uint8_t contNo = adapters[a];
        if (SLGetEnclList(contNo, &list) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CliCmdExecEnclInfo", "SLGetEnclList error", contNo);
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to get the Enclosure information.", contNo);
            return -1;
        }
        unsigned shown = 0;
        for (uint32_t i = 0; i < list.count && i < ENCL_MAX; ++i) {
            if (list.entries[i].kind == ENCL_KIND_VIRTUAL)
                continue;
            ReportText report;
            ReportTextReset(&report);
            if (shown == 0)
                ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", contNo);
            if (!AddEnclosureReport(&report, contNo, &list.entries[i])) {
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to get the Enclosure information.", contNo);
                return -1;
            }
            ReportTextPrint(&report);
            ++shown;
        }
        if (shown == 0)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Enclosure doesn't exist.", contNo);
    }
    return 0;
}
