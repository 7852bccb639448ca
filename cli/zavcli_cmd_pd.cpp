// PD commands of zavcli: pdinfo, pdlocate, pdonline, pdoffline and pdmakegood.
#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
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
    PdSelection sel;
};

// Parses the options, then the shared PD prelude. The state commands need a PD list, and pdlocate
// also one of its options. Returns 0 when the command must end.
static int PreparePdCommand(int argc, char **argv, ContData *records, uint16_t contCount, const CliOption *options,
                            unsigned optionRows, int required, PdCommandArgs *p)
{
    if (!ParseCliOptions(argc, argv, options, optionRows, SEL_ADAPTER | SEL_PD, &p->args))
        return 0;
    if (required && optionRows > 0 && p->args.optionCount == 0) {
        ReportMissingOption(argc, argv);
        return 0;
    }
    return PreparePdSelection(argc, argv, records, contCount, &p->args, required, &p->sel);
}

// What a step did to one disk: done, failed (the next disk follows), or failed and the
// controller's remaining disks are left alone.
enum { DISK_DONE, DISK_FAILED, DISK_FAILED_STOP };
typedef int (*DiskStep)(uint8_t contNo, uint8_t slot, const void *context);

// Runs the step on every listed disk of every selected controller, then reports the disks done
// (slots without a disk are passed over quietly: only a selection of every slot can name them).
static void RunOnListedDisks(const ContData *records, const PdCommandArgs *p, DiskStep step, const void *context,
                             const char *doneText)
{
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && p->sel.adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = p->sel.adapters[i];
        uint8_t done[PD_LIST_SIZE], disks[PD_LIST_SIZE];
        unsigned doneCount = 0, diskCount = DisksAmongSlots(&records[c], p->sel.slots, p->sel.slotCount, disks);
        for (unsigned d = 0; d < diskCount; d++) {
            int outcome = step(c, disks[d], context);
            if (outcome == DISK_FAILED_STOP)
                break;
            if (outcome == DISK_DONE)
                done[doneCount++] = disks[d];
        }
        ReportDoneList(doneText, c, done, doneCount);
    }
}

// ---------------------------------------------------------------------------------------------
// pdinfo
// ---------------------------------------------------------------------------------------------
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
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && p.sel.adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = p.sel.adapters[i];
        uint8_t disks[PD_LIST_SIZE];
        unsigned diskCount = DisksAmongSlots(&records[c], p.sel.slots, p.sel.slotCount, disks);
        for (unsigned d = 0; d < diskCount; d++) {
            ReportTextReset(&report);
            if (d == 0)
                ReportTextAdd(&report, "%s: %d\r\n\r\n", "RAID Controller", (int)c);
            BuildPdReport(&report, c, &records[c], disks[d]);
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

// Traces the failed call and reports the disk's failure text.
static void ReportDiskFailure(const char *handler, const char *failedCall, uint8_t c, uint8_t slot, const char *text)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", handler, failedCall, (unsigned)c, (unsigned)slot);
    ZAV_REPORT(REPORT_BOTH, text, (int)c, (int)slot);
}

static int LocateStep(uint8_t c, uint8_t slot, const void *context)
{
    static const char kHandler[] = "CliCmdExecPDLocate";
    if (*(const int *)context) {
        if (SLStartLocatePD(c, slot, 0) == 0)
            return DISK_DONE;
        ReportDiskFailure(kHandler, "SLStartLocatePD error", c, slot,
                          "Error - Controller[%d] Failed to blink PD(Physical Drive) %d location LED.");
        return DISK_FAILED;
    }
    if (SLStopLocatePD(c, slot) == 0)
        return DISK_DONE;
    ReportDiskFailure(kHandler, "SLStopLocatePD error", c, slot,
                      "Error - Controller[%d] Failed to off PD(Physical Drive) %d location LED.");
    return DISK_FAILED_STOP;
}

int CliCmdExecPDLocate(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s", "CliCmdExecPDLocate");
    static PdCommandArgs p;
    if (!PreparePdCommand(argc, argv, records, contCount, kLocateOptions, 2, 1, &p))
        return -1;
    int start = OptGiven(&p.args, LOC_START);
    RunOnListedDisks(records, &p, LocateStep, &start,
                     start ? "Information - Controller[%d] Blink PD(Physical Drive) location LED on PD(Physical Drive) %s."
                           : "Information - Controller[%d] Off PD(Physical Drive) location LED on PD(Physical Drive) %s.");
    return 0;
}

// ---------------------------------------------------------------------------------------------
// pdonline, pdoffline, pdmakegood
// ---------------------------------------------------------------------------------------------
typedef int32_t (*PdStateAction)(uint8_t contNo, uint8_t slotNo);

struct PdStateChange {
    const char *handler;
    PdStateAction action;
    const char *actionError;
};

static int StateStep(uint8_t c, uint8_t slot, const void *context)
{
    const PdStateChange *change = (const PdStateChange *)context;
    if (change->action(c, slot) == 0)
        return DISK_DONE;
    ReportDiskFailure(change->handler, change->actionError, c, slot,
                      "Error - Controller[%d] Failed to change PD(Physical Drive) %d state.\n"
                      "Please confirm PD(Physical Drive) state.");
    return DISK_FAILED;
}

static int ChangePdStates(int argc, char **argv, ContData *records, uint16_t contCount, const char *handler,
                          PdStateAction action, const char *actionError)
{
    ZAV_TRACE("", "func=%s", handler);
    static PdCommandArgs p;
    if (!PreparePdCommand(argc, argv, records, contCount, NULL, 0, 1, &p))
        return -1;
    PdStateChange change = {handler, action, actionError};
    RunOnListedDisks(records, &p, StateStep, &change,
                     "Information - Controller[%d] PD(Physical Drive) state have been changed on PD(Physical Drive) %s.");
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
