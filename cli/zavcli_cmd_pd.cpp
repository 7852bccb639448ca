// PD commands of zavcli: pdinfo, pdlocate, pdonline, pdoffline and pdmakegood.
#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_pd.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"

// Options and selectors every PD command reads.
struct PdCommandArgs {
    CliArgs args;
    uint8_t adapters[ADAPTER_LIST_SIZE];
    uint8_t slots[PD_LIST_SIZE];
    unsigned slotCount;
};

// Parses the options, resolves the selectors and checks every listed slot on every selected
// controller before anything is printed or changed. Returns 0 when the command must end.
static int PreparePdCommand(int argc, char **argv, ContData *records, uint16_t contCount, const CliOption *options,
                            unsigned optionRows, int required, PdCommandArgs *p)
{
    if (!ParseCliOptions(argc, argv, options, optionRows, SEL_ADAPTER | SEL_PD, &p->args))
        return 0;
    // The state commands need a PD list, and pdlocate also one of its options.
    if (required && (p->args.pdAt == 0 || (optionRows > 0 && p->args.optionCount == 0))) {
        ReportInvalidToken(argv[argc - 1]);
        return 0;
    }
    if (!GetPhysicalDriveNo(p->args.pdSel, p->slots, 0)) {
        ReportInvalidToken(argv[p->args.pdAt - 1]);
        return 0;
    }
    p->slotCount = SelCount(p->slots, PD_LIST_SIZE);
    if (!SelectAdapters(argc, argv, &p->args, contCount, p->adapters))
        return 0;
    if (p->args.pdAt == 0)
        return 1; // every slot: only those that hold a disk are taken
    return CheckPdsExist(records, p->adapters, SelCount(p->adapters, ADAPTER_LIST_SIZE), p->slots, p->slotCount);
}

// ---------------------------------------------------------------------------------------------
// pdinfo
// ---------------------------------------------------------------------------------------------
enum { PD_SAS_PATHS_MAX = 4 }; // the path addresses end where the raw size begins

void AddPdUsageLine(ReportText *r, const ContData *rec, uint8_t slot)
{
    char usage[512];
    PdUsageText(usage, sizeof(usage), rec, slot);
    if (strcmp(usage, "GHS") == 0) {
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, "GHS:Global Hot Spare");
    } else if (strcmp(usage, "DHS") == 0) {
        char rg[32], text[96];
        PdRaidGroupText(rg, sizeof(rg), rec, slot);
        snprintf(text, sizeof(text), "DHS:Dedicated Hot Spare, %s", rg);
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, text);
    } else {
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, usage);
    }
}

void AddPdGeneralLines(ReportText *r, uint8_t c, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    char text[64];
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_COERCED_SIZE));
    ReportTextAdd(r, "%s          : %s GB\r\n", "Usable Capacity", text);
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_RAW_SIZE));
    ReportTextAdd(r, "%s             : %s GB\r\n", "Raw Capacity", text);
    ReportTextAdd(r, "%s           : %s\r\n", "Interface Type", InterfaceTypeText(LayoutU16(pd, PI_DDF_TYPE)));
    MediaTypeText(text, sizeof(text), pd);
    ReportTextAdd(r, "%s               : %s\r\n", "Media Type", text);
    FixedFieldText(text, sizeof(text), pd + PI_PRODUCT_ID, 16);
    ReportTextAdd(r, "%s               : %s\r\n", "Product ID", text);
    FixedFieldText(text, sizeof(text), pd + PI_VENDOR_ID, 8);
    ReportTextAdd(r, "%s                : %s\r\n", "Vendor ID", text);
    ReportTextAdd(r, "%s                : %d\r\n", "Device ID", (int)LayoutU16(pd, PI_DEVICE_ID));
    PdStateText(text, sizeof(text), LayoutU16(pd, PI_FW_STATE));
    ReportTextAdd(r, "%s                : %s\r\n", "PD Status", text);
    ReportTextAdd(r, "%s              : %s\r\n", "Drive Speed", LinkSpeedText(pd[PI_DRIVE_SPEED]));
    ReportTextAdd(r, "%s    : %s\r\n", "Negotiated Link Speed", LinkSpeedText(pd[PI_LINK_SPEED]));
    unsigned paths = pd[PI_PATH_COUNT] > PD_SAS_PATHS_MAX ? (unsigned)PD_SAS_PATHS_MAX : pd[PI_PATH_COUNT];
    for (unsigned k = 0; k < paths; k++) {
        SasAddressDigits(text, sizeof(text), LayoutU64(pd, PI_SAS_ADDR + 8 * k));
        ReportTextAdd(r, "SAS Address %d            : 0x%s\r\n", (int)k, text);
    }
    uint8_t supported = 0, celsius = 0;
    if (SLIsTempPageSupported(c, slot, &supported) == 0 && supported && SLGetPDTemperature(c, slot, &celsius) == 0)
        ReportTextAdd(r, "%s              : %d C\r\n", "Temperature", (int)celsius);
    ReportTextAdd(r, "%s             : %s\r\n", "Power Status", PowerStatusText(pd[PI_POWER_STATE]));
    FixedFieldText(text, sizeof(text), pd + PI_REVISION, 4);
    ReportTextAdd(r, "%s           : %s\r\n", "Revision Level", text);
}

static void BuildPdReport(ReportText *r, uint8_t c, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    AddPdUsageLine(r, rec, slot);
    ReportTextAdd(r, "%s\r\n", "### General Information ###");
    AddPdGeneralLines(r, c, rec, slot);
    ReportTextAdd(r, "\r\n");
    ReportTextAdd(r, "%s\r\n", "### Error Information ###");
    ReportTextAdd(r, "%s        : %d\r\n", "Media Error Count", (int)LayoutU32(pd, PI_MEDIA_ERRORS));
    ReportTextAdd(r, "%s          : %d\r\n", "Pred Fail Count", (int)LayoutU32(pd, PI_PRED_FAIL));
    ReportTextAdd(r, "\r\n");
    uint16_t enclosure = LayoutU16(pd, PI_ENCL_DEVICE_ID);
    if (enclosure == 0x00FF || enclosure == 0xFFFF) {
        ReportTextAdd(r, "%s\r\n", "### Slot Information ###");
    } else {
        ReportTextAdd(r, "%s\r\n", "### Enclosure Properties Information ###");
        ReportTextAdd(r, "%s             : %d\r\n", "Enclosure ID", (int)enclosure);
    }
    ReportTextAdd(r, "%s              : %d\r\n", "Slot Number", (int)slot);
}

int CliCmdExecPDInfo(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s", "CliCmdExecPDInfo");
    static PdCommandArgs p;
    if (!PreparePdCommand(argc, argv, records, contCount, NULL, 0, 0, &p))
        return -1;
    static ReportText report;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && p.adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = p.adapters[i];
        int first = 1;
        for (unsigned s = 0; s < p.slotCount; s++) {
            if (!MorePdIsDisk(&records[c], p.slots[s]))
                continue;
            ReportTextReset(&report);
            if (first)
                ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", (int)c);
            first = 0;
            BuildPdReport(&report, c, &records[c], p.slots[s]);
            ReportTextPrint(&report);
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// pdlocate
// ---------------------------------------------------------------------------------------------
enum { LOC_START, LOC_STOP };
static const CliOption kLocateOptions[] = {
    {"start", 1, 0},
    {"stop", 1, 0},
};

int CliCmdExecPDLocate(int argc, char **argv, ContData *records, uint16_t contCount)
{
    static const char kHandler[] = "CliCmdExecPDLocate";
    ZAV_TRACE("", "func=%s", kHandler);
    static PdCommandArgs p;
    if (!PreparePdCommand(argc, argv, records, contCount, kLocateOptions, 2, 1, &p))
        return -1;
    int start = OptGiven(&p.args, LOC_START);
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && p.adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = p.adapters[i];
        uint8_t done[PD_LIST_SIZE];
        unsigned doneCount = 0;
        for (unsigned s = 0; s < p.slotCount; s++) {
            uint8_t slot = p.slots[s];
            if (!MorePdIsDisk(&records[c], slot))
                continue;
            if (start) {
                if (SLStartLocatePD(c, slot, 0) != 0) {
                    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", kHandler, "SLStartLocatePD error",
                              (unsigned)c, (unsigned)slot);
                    ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to blink PD(Physical Drive) %d location LED.",
                               (int)c, (int)slot);
                    continue;
                }
            } else if (SLStopLocatePD(c, slot) != 0) {
                ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", kHandler, "SLStopLocatePD error", (unsigned)c,
                          (unsigned)slot);
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to off PD(Physical Drive) %d location LED.",
                           (int)c, (int)slot);
                break;
            }
            done[doneCount++] = slot;
        }
        if (doneCount == 0)
            continue;
        char list[PD_LIST_SIZE * 4 + 1];
        JoinNumbers(list, sizeof(list), done, doneCount);
        if (start)
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Blink PD(Physical Drive) location LED on PD(Physical Drive) %s.",
                       (int)c, list);
        else
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Off PD(Physical Drive) location LED on PD(Physical Drive) %s.",
                       (int)c, list);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// pdonline, pdoffline, pdmakegood
// ---------------------------------------------------------------------------------------------
typedef int32_t (*PdStateAction)(uint8_t contNo, uint8_t slotNo);

static int ChangePdStates(int argc, char **argv, ContData *records, uint16_t contCount, const char *handler,
                          PdStateAction action, const char *actionError)
{
    ZAV_TRACE("", "func=%s", handler);
    static PdCommandArgs p;
    if (!PreparePdCommand(argc, argv, records, contCount, NULL, 0, 1, &p))
        return -1;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && p.adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = p.adapters[i];
        uint8_t done[PD_LIST_SIZE];
        unsigned doneCount = 0;
        for (unsigned s = 0; s < p.slotCount; s++) {
            uint8_t slot = p.slots[s];
            if (!MorePdIsDisk(&records[c], slot))
                continue;
            if (action(c, slot) != 0) {
                ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", handler, actionError, (unsigned)c, (unsigned)slot);
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to change PD(Physical Drive) %d state.\n"
                                        "Please confirm PD(Physical Drive) state.", (int)c, (int)slot);
                continue;
            }
            done[doneCount++] = slot;
        }
        if (doneCount == 0)
            continue;
        char list[PD_LIST_SIZE * 4 + 1];
        JoinNumbers(list, sizeof(list), done, doneCount);
        ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] PD(Physical Drive) state have been changed on PD(Physical Drive) %s.",
                   (int)c, list);
    }
    return 0;
}

int CliCmdExecPDOnline(int argc, char **argv, ContData *records, uint16_t contCount)
{
    return ChangePdStates(argc, argv, records, contCount, "CliCmdExecPDOnline", SLMakeDriveOnline,
                          "SLMakeDriveOnline error");
}

int CliCmdExecPDOffline(int argc, char **argv, ContData *records, uint16_t contCount)
{
    return ChangePdStates(argc, argv, records, contCount, "CliCmdExecPDOffline", SLMakeDriveOffline,
                          "SLMakeDriveOffline error");
}

int CliCmdExecPDMakeGood(int argc, char **argv, ContData *records, uint16_t contCount)
{
    return ChangePdStates(argc, argv, records, contCount, "CliCmdExecPDMakeGood", SLMakeDriveUnconfGood,
                          "SLMakeDriveUnconfGood error");
}
