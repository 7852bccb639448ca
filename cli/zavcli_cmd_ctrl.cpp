// Controller commands of zavcli: ctrlinfo, cbinfo, cblearn, v, help, ctrlautorbld, ctrlsetprop
// and ctrlpr.
#include "cli/zavcli_cmd_ctrl.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cli/version.h"
#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdChecks.h"
#include "common/StoreLib.h"
#include "common/ToolVersion.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"

static const char kFailedToChange[] =
    "Error - Failed to change Controller[%d] Settings.\nPlease confirm OS event log whether there is no problem with RAID controller.\n";
static const char kSettingsChanged[] = "Information - Controller[%d] Settings have been changed.";
static const char kCannotChangeBoth[] =
    "Controller[%d] Cannot change both -hddcpybk/-ssdcpybk and -pdfail to \"Enabled\".\n"
    "Please change either -hddcpybk/-ssdcpybk or -pdfail to \"Disabled\".";

static void TraceCmdError(const char *handler, const char *what, uint8_t contNo)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", handler, what, (unsigned)contNo);
}

// Parses the options of a handler whose only option is the controller selector, and resolves it.
static int ParseSelectorOnly(int argc, char **argv, uint16_t contCount, uint8_t adapters[ADAPTER_LIST_SIZE])
{
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, SEL_ADAPTER, &args))
        return 0;
    return SelectAdapters(argc, argv, &args, contCount, adapters);
}

// The command name itself is named when a command without options gets any.
static int RejectAnyOption(int argc, char **argv)
{
    if (argc > 2) {
        ReportInvalidToken(argv[1]);
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ctrlinfo
// ---------------------------------------------------------------------------------------------
struct AdpInfoData {
    uint8_t info[CTRL_INFO_SIZE];
    uint8_t prop[CTRL_PROP_SIZE];
    uint8_t pci[PCI_INFO_SIZE];
    uint8_t patrol[PATROL_READ_PROP_SIZE];
    uint8_t defaults[MFC_DEFAULTS_SIZE];
    uint8_t driver[DRV_VER_SIZE];
};

static int QueryAdpInfo(uint8_t c, AdpInfoData *d)
{
    static const char kHandler[] = "CliCmdExecAdpInfo";
    if (SLGetCtrlInfo(c, d->info) != 0) {
        TraceCmdError(kHandler, "SLGetCtrlInfo error", c);
        return 0;
    }
    if (SLGetCtrlProp(c, d->prop) != 0) {
        TraceCmdError(kHandler, "SLGetCtrlProp error", c);
        return 0;
    }
    if (SLGetPciInfo(c, d->pci) != 0) {
        TraceCmdError(kHandler, "SLGetPciInfo error", c);
        return 0;
    }
    if (SLGetPatrolReadProp(c, d->patrol) != 0) {
        TraceCmdError(kHandler, "SLGetPatrolReadProp error", c);
        return 0;
    }
    if (SLGetMFCDefaults(c, d->defaults) != 0) {
        TraceCmdError(kHandler, "SLGetMFCDefaults error", c);
        return 0;
    }
    if (SLGetDrvVer(c, d->driver) != 0) {
        TraceCmdError(kHandler, "SLGetDrvVer error", c);
        return 0;
    }
    return 1;
}

static void AddFirmwareLines(ReportText *r, const uint8_t *info)
{
    char text[128];
    FixedFieldText(text, sizeof(text), info + CI_PACKAGE_VERSION, 96);
    if (text[0] != '\0')
        ReportTextAdd(r, "%s : %s\r\n", "Firmware Package Version", text);
    uint32_t images = LayoutU32(info, CI_IMAGE_COUNT);
    if (images > 8)
        images = 8;
    for (uint32_t i = 0; i < images; i++) {
        const uint8_t *image = info + CI_IMAGES + CI_IMAGE_SIZE * i;
        if (memcmp(image + CI_IMAGE_NAME, "APP", 3) != 0)
            continue;
        char date[20], time[20];
        FixedFieldText(text, sizeof(text), image + CI_IMAGE_VERSION, 32);
        FixedFieldText(date, sizeof(date), image + CI_IMAGE_BUILD_DATE, 16);
        FixedFieldText(time, sizeof(time), image + CI_IMAGE_BUILD_TIME, 16);
        ReportTextAdd(r, "%s         : %s\r\n", "Firmware Version", text);
        ReportTextAdd(r, "%s      : %s %s\r\n", "Firmware Build Time", date, time);
    }
    for (uint32_t i = 0; i < images; i++) {
        const uint8_t *image = info + CI_IMAGES + CI_IMAGE_SIZE * i;
        if (memcmp(image + CI_IMAGE_NAME, "BIOS", 4) != 0)
            continue;
        FixedFieldText(text, sizeof(text), image + CI_IMAGE_VERSION, 32);
        ReportTextAdd(r, "%s             : %s\r\n", "BIOS Version", text);
    }
}

// An interval without a name is traced and shown as "Unknown".
static const char *PatrolIntervalOrTrace(uint32_t seconds, uint8_t contNo)
{
    const char *text = PatrolIntervalText(seconds);
    if (text != NULL)
        return text;
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, seconds=%u", "CliCmdExecAdpInfo", "ExecFreq invalid",
              (unsigned)contNo, (unsigned)seconds);
    return "Unknown";
}

static void BuildAdpInfoFirstBlock(ReportText *r, uint8_t c, const AdpInfoData *d)
{
    const uint8_t *info = d->info;
    const uint8_t *prop = d->prop;
    char text[128];
    uint32_t hw = LayoutU32(info, CI_HW_PRESENT);
    uint32_t onOff = LayoutU32(prop, CP_ON_OFF_BITS);

    ReportTextAdd(r, "%s: %d\r\n\r\n", "RAID Controller", (int)c);
    ReportTextAdd(r, "%s\r\n", "### General Information ###");
    FixedFieldText(text, sizeof(text), info + CI_PRODUCT_NAME, 80);
    ReportTextAdd(r, "%s             : %s\r\n", "Product Name", text);
    ReportTextAdd(r, "%s         : %d/%d/%d\r\n", "PCI Bus/Dev/Func", (int)LayoutU32(d->pci, PCI_BUS),
                  (int)d->pci[PCI_DEVICE], (int)d->pci[PCI_FUNCTION]);
    FixedFieldText(text, sizeof(text), info + CI_SERIAL_NO, 32);
    ReportTextAdd(r, "%s                : %s\r\n", "Serial No", text);
    ReportTextAdd(r, "%s                : 0x%X\r\n", "Vendor ID", (unsigned)LayoutU16(info, CI_PCI_VENDOR));
    ReportTextAdd(r, "%s                : 0x%X\r\n", "Device ID", (unsigned)LayoutU16(info, CI_PCI_DEVICE));
    ReportTextAdd(r, "%s             : 0x%X\r\n", "SubVendor ID", (unsigned)LayoutU16(info, CI_PCI_SUBVENDOR));
    ReportTextAdd(r, "%s             : 0x%X\r\n", "SubDevice ID", (unsigned)LayoutU16(info, CI_PCI_SUBDEVICE));
    ReportTextAdd(r, "%s        : %d\r\n", "Device Port Count", (int)info[CI_PORT_COUNT]);
    ReportTextAdd(r, "%s            : %s\r\n", "Alarm Present", YesNoText((hw & CI_HW_ALARM) != 0));
    uint8_t alarm = prop[CP_ALARM_ENABLE];
    ReportTextAdd(r, "%s            : %s\r\n", "Alarm Enabled", alarm == 0 ? "No" : alarm == 1 ? "Yes" : "Unknown");
    ReportTextAdd(r, "%s     : %d sec\r\n", "Cache Flush Interval", (int)prop[CP_CACHE_FLUSH_INTERVAL]);
    ReportTextAdd(r, "%s     : %s\r\n", "Cache Backup Present", YesNoText((hw & CI_HW_CACHE_BACKUP) != 0));
    ReportTextAdd(r, "%s   : %s\r\n", "Native Command Queuing", EnabledText((onOff & CP_BIT_NCQ_DISABLED) == 0));
    ReportTextAdd(r, "%s              : %d MB\r\n", "Memory Size", (int)LayoutU16(info, CI_MEMORY_SIZE));
    for (int port = 0; port < 8; port++) {
        SasAddressText(text, sizeof(text), LayoutU64(info, CI_PORT_SAS_ADDR + 8 * port));
        ReportTextAdd(r, "%s%d%s     : %s\r\n", "Backend SAS Address", port, "", text);
    }
    ReportTextAdd(r, "\r\n%s\r\n", "### Error Information ###");
    ReportTextAdd(r, "%s     : %d\r\n", "Memory Correctable Error Count", (int)LayoutU16(info, CI_MEM_CORRECTABLE));
    ReportTextAdd(r, "%s   : %d\r\n", "Memory Uncorrectable Error Count", (int)LayoutU16(info, CI_MEM_UNCORRECTABLE));
    ReportTextAdd(r, "\r\n%s\r\n", "### Firmware/BIOS/Driver Information ###");
    AddFirmwareLines(r, info);
    FixedFieldText(text, sizeof(text), d->driver + DV_VERSION, DV_VERSION_LEN);
    ReportTextAdd(r, "%s           : %s\r\n", "Driver Version", text);
    ReportTextAdd(r, "\r\n%s\r\n", "### Controller Settings Information ###");
    uint8_t rebuildMode = prop[CP_AUTO_REBUILD_DISABLED];
    ReportTextAdd(r, "%s             : %s\r\n", "Rebuild Mode",
                  rebuildMode == 0 ? "Automatic" : rebuildMode == 1 ? "Manual" : "Unknown");
    uint8_t mode = d->patrol[PR_MODE];
    ReportTextAdd(r, "%s         : %s\r\n", "Patrol Read Mode",
                  mode == 0 ? "Automatic" : mode == 1 ? "Manual" : mode == 2 ? "Disable" : "Unknown");
    ReportTextAdd(r, "%s     : %s\r\n", "Patrol Read Interval", PatrolIntervalOrTrace(LayoutU32(d->patrol, PR_INTERVAL), c));
    ZavDate next;
    DateFromSeconds(LayoutU32(d->patrol, PR_NEXT_EXEC), &next);
    ReportTextAdd(r, "%s     : %d/%d/%d ; %02d:%02d:%02d", "Patrol Read Schedule", (int)next.year, (int)next.month,
                  (int)next.day, (int)next.hour, (int)next.minute, (int)next.second);
}

static void WriteAdpInfoRates(const AdpInfoData *d)
{
    const uint8_t *props = d->info + CI_PROPERTIES;
    char text[160];
    snprintf(text, sizeof(text), "%s             : %u%%\r\n", "Rebuild Rate", (unsigned)props[CP_REBUILD_RATE]);
    WriteConsoleText(text);
    snprintf(text, sizeof(text), "%s         : %u%%\r\n", "Patrol Read Rate", (unsigned)props[CP_PATROL_READ_RATE]);
    WriteConsoleText(text);
    snprintf(text, sizeof(text), "%s   : %u%%\r\n", "Consistency Check Rate", (unsigned)props[CP_CC_RATE]);
    WriteConsoleText(text);
}

static void BuildAdpInfoLastBlock(ReportText *r, const AdpInfoData *d, const ContData *rec)
{
    uint32_t onOff = LayoutU32(d->prop, CP_ON_OFF_BITS);
    ReportTextAdd(r, "%s                 : %s\r\n", "Copyback", EnabledText((onOff & CP_BIT_COPYBACK_DISABLED) == 0));
    ReportTextAdd(r, "%s   : %s\r\n", "SMART Copyback for HDD", EnabledText((onOff & CP_BIT_SMART_COPYBACK_HDD) != 0));
    ReportTextAdd(r, "%s   : %s\r\n", "SMART Copyback for SSD", EnabledText((onOff & CP_BIT_SMART_COPYBACK_SSD) != 0));
    ReportTextAdd(r, "%s   : %s\r\n", "PD Fail On SMART Error", EnabledText(d->defaults[MFC_DEFAULTS_FAIL_PD_ON_SMART] != 0));
    ReportTextAdd(r, "\r\n%s\r\n", "### MegaRAID Advanced Options ###");
    AdvancedOptionSet options;
    AdvancedOptions(rec->ctrlInfo, &options);
    ReportTextAdd(r, "%s: %s\r\n", "Snapshot                 ", EnabledText(options.snapshot));
    ReportTextAdd(r, "%s: %s\r\n", "CacheCade                ", EnabledText(options.cacheCade));
    ReportTextAdd(r, "%s: %s\r\n", "FastPath                 ", EnabledText(options.fastPath));
}

int CliCmdExecAdpInfo(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s", "CliCmdExecAdpInfo");
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!ParseSelectorOnly(argc, argv, contCount, adapters))
        return -1;
    static AdpInfoData data;
    static ReportText report;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = adapters[i];
        if (!QueryAdpInfo(c, &data))
            return -1;
        ReportTextReset(&report);
        BuildAdpInfoFirstBlock(&report, c, &data);
        ReportTextPrint(&report);
        WriteAdpInfoRates(&data);
        BuildAdpInfoLastBlock(&report, &data, &records[c]);
        ReportTextPrint(&report);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// cbinfo, cblearn
// ---------------------------------------------------------------------------------------------
static void BuildCacheBkupReport(ReportText *r, uint8_t c, const uint8_t *status, const uint8_t *props,
                                 const uint8_t *design)
{
    ReportTextAdd(r, "%s: %d\r\n\r\n", "RAID Controller", (int)c);
    ReportTextAdd(r, "%s\r\n", "### General Information ###");
    ReportTextAdd(r, "%s        : %s\r\n", "Cache Backup Type", CacheBackupTypeText(status[CBS_TYPE]));
    ReportTextAdd(r, "%s            : %d\r\n", "Serial Number", (int)LayoutU16(design, CBD_SERIAL));
    ReportTextAdd(r, "%s            : %d Joules\r\n", "Full Capacity", (int)LayoutU16(design, CBD_DESIGN_CAPACITY));
    ReportTextAdd(r, "%s       : %d Joules\r\n", "Remaining Capacity",
                  (int)status[CBS_REMAINING_HIGH] * 256 + (int)status[CBS_REMAINING_LOW]);
    ReportTextAdd(r, "%s              : %d C\r\n", "Temperature", (int)LayoutU16(status, CBS_TEMPERATURE));
    ReportTextAdd(r, "%s                  : %d mV\r\n", "Voltage", (int)LayoutU16(status, CBS_VOLTAGE));
    ReportTextAdd(r, "%s                  : %d mA\r\n", "Current", (int)(int16_t)LayoutU16(status, CBS_CURRENT));
    ReportTextAdd(r, "%s    : %s\r\n", "Automatic Learn Cycle", LearnModeText(props[CBP_AUTO_LEARN_MODE]));
    ReportTextAdd(r, "%s        : %d Days\r\n", "Auto Learn Period", (int)(LayoutU32(props, CBP_LEARN_PERIOD) / 86400u));
    ZavDate next;
    DateFromSeconds(LayoutU32(props, CBP_NEXT_LEARN), &next);
    ReportTextAdd(r, "%s         : %d/%d/%d ; %d:%d:%d\r\n", "Next Learn Cycle", (int)next.year, (int)next.month,
                  (int)next.day, (int)next.hour, (int)next.minute, (int)next.second);
}

int CliCmdExecCacheBkupInfo(int argc, char **argv, ContData *records, uint16_t contCount)
{
    (void)records;
    static const char kHandler[] = "CliCmdExecCacheBkupInfo";
    ZAV_TRACE("", "func=%s", kHandler);
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!ParseSelectorOnly(argc, argv, contCount, adapters))
        return -1;
    static ReportText report;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = adapters[i];
        uint8_t status[CACHEBKUP_STATUS_SIZE], props[CACHEBKUP_PROP_SIZE], design[CACHEBKUP_DESIGN_SIZE];
        const char *failed = NULL;
        if (SLGetCacheBkupStatus(c, status) != 0)
            failed = "SLGetCacheBkupStatus error";
        else if (SLGetCacheBkupProperties(c, props) != 0)
            failed = "SLGetCacheBkupProperties error";
        else if (SLGetCacheBkupDesignInfo(c, design) != 0)
            failed = "SLGetCacheBkupDesignInfo error";
        if (failed != NULL) {
            ZAV_REPORT(REPORT_BOTH, "Error - This command is not supported at the current configuration.");
            TraceCmdError(kHandler, failed, c);
            return -1;
        }
        ReportTextReset(&report);
        BuildCacheBkupReport(&report, c, status, props, design);
        ReportTextPrint(&report);
    }
    return 0;
}

int CliCmdExecCacheBkup(int argc, char **argv, ContData *records, uint16_t contCount)
{
    (void)records;
    ZAV_TRACE("", "func=%s", "CliCmdExecCacheBkup");
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!ParseSelectorOnly(argc, argv, contCount, adapters))
        return -1;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = adapters[i];
        if (SLLearnCacheBkup(c) == 0) {
            ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Learn cycle has been started.\n"
                                    "Please confirm OS event log for the completion.\n", (int)c);
        } else {
            TraceCmdError("CliCmdExecCacheBkup", "SLLearnCacheBkup error", c);
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to start learn cycle.\n"
                                    "Please confirm OS event log whether there is no problem with Cache Backup.\n", (int)c);
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// v, help
// ---------------------------------------------------------------------------------------------
static int ReadVersionOrReport(ToolVersion *version)
{
    uint32_t code = 0;
    if (ReadToolVersion(version, &code))
        return 1;
    ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred with Windows API. (code=0x%X)", (unsigned)code);
    return 0;
}

int CliCmdExecVersion(int argc, char **argv, ContData *records, uint16_t contCount)
{
    (void)records;
    (void)contCount;
    ZAV_TRACE("", "func=%s", "CliCmdExecVersion");
    if (RejectAnyOption(argc, argv))
        return -1;
    ToolVersion version;
    if (!ReadVersionOrReport(&version))
        return -1;
    uint8_t lib[LIB_VERSION_SIZE];
    char libText[32] = "";
    if (SLGetLibraryVersion(lib) == 0) {
        char major[LV_MAJOR_LEN + 1], minor[LV_MINOR_LEN + 1];
        FixedFieldText(major, sizeof(major), lib + LV_MAJOR, LV_MAJOR_LEN);
        FixedFieldText(minor, sizeof(minor), lib + LV_MINOR, LV_MINOR_LEN);
        snprintf(libText, sizeof(libText), "%s.%s", major, minor);
    }
    ZAV_REPORT(REPORT_CONSOLE,
               "Norvane RAID Vantrel Command Line Tool\n   Product Name     : %s\n   Product Version  : %s\n"
               "   Company Name     : %s\n   File Version     : %s\n   StoreLib Version : %s\n   Copyright        : %s\n",
               version.productName, version.productVersion, version.companyName, version.fileVersion, libText,
               version.legalCopyright);
    return 0;
}

static const char *const kHelpHead[] = {
    "zavcli -lde",
};
static const char kLdcBefore[] =
    "zavcli -ldc -r0|-r1|-r5|-r6[{E0}:S0,{E1}:S1,...]|-r10 | -array0[{E0}:S0,{E1}:S1,...] "
    "-array1[{E0}:S0,{E1}:S1,...] [-arrayx[0:0,1:1,...N:N]]";
static const char kLdcCacheCade[] = " | -cachecade[{E0}:S0,{E1}:S1,...]";
static const char kLdcAfter[] =
    " {-wt|-wb|-wbcb} {-nora|-ra} {-direct|-cached} {-szxxx [-szyyy ...]} {-aN|-a0,1,2|-aAll}";
static const char *const kHelpBody[] = {
    "zavcli -lddel",
    "zavcli -pdhsp -ghs|-dhs -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -pdhsp -rmv {-nochk} -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -ctrlinfo {-aN|-a0,1,2|-aAll}",
    "zavcli -ldpdinfo {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}",
    "zavcli -pdinfo {-pd[{E0}:S0,{E1}:S1,...]} {-aN|-a0,1,2|-aAll}",
    "zavcli -cbinfo {-aN|-a0,1,2|-aAll}",
    "zavcli -cblearn {-aN|-a0,1,2|-aAll}",
    "zavcli -enclinfo {-aN|-a0,1,2|-aAll}",
    "zavcli -v",
    "zavcli -ldsetprop {-name NameString} {-nora|-ra} {-wt|-wb|-wbcb} {-direct|-cached} {-rw|-ro|-blocked} "
    "{-endskcache|-disdskcache|-unchanged} {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}",
    "zavcli -ctrlautorbld -enbl|-dsbl {-aN|-a0,1,2|-aAll}",
    "zavcli -ctrlsetprop {-trh|-trm|-trl} {-hddcpybkenbl|-hddcpybkdsbl} {-ssdcpybkenbl|-ssdcpybkdsbl} "
    "{-pdfailenbl|-pdfaildsbl} {-aN|-a0,1,2|-aAll}",
    "zavcli -ctrlpr {-dsbl|-enblauto|-enblman} {-hour|-day|-week|-month} {-setstarttime mmddyyyyhh} {-start|-stop} "
    "{-aN|-a0,1,2|-aAll}",
    "zavcli -ldinit -start|-stop {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}",
    "zavcli -ldcc -start|-stop {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}",
    "zavcli -pdrbld -start -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -ldpdprog",
    "zavcli -tstevt -inf|-wrn|-err",
    "zavcli -pdlocate -start|-stop -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -pdoffline -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -pdonline -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -pdmakegood -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}",
    "zavcli -log",
};
static const char *const kHelpSnapshot[] = {
    "zavcli -sse",
    "zavcli -snapshot -enbl -szXXX|-rateXX repositoryld N {-autosnapshot} {-autodeleteoldestsnapshot} "
    "{-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -dsbl {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -create {-name NameString} -Lx {-aN|-a0,1,2|-aAll}",
    "zavcli -snapshot -delete -Lx {-aN|-a0,1,2|-aAll}",
    "zavcli -snapshot -getviewinfo {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -createview -snapshotno N|-time yyyymmdd hh:mm:ss {-name NameString} -Lx {-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -deleteview -Lx {-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -setprop {-autosnapshot val} {-autodeleteoldestsnapshot val} {-Lx|-L0,1,2|-Lall} "
    "{-aN|-a0,1,2|-aALL}",
    "zavcli -snapshot -info {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}",
};

int HelpVariant(const ContData *records, uint16_t contCount)
{
    for (uint16_t c = 0; records != NULL && c < contCount; c++) {
        AdvancedOptionSet options;
        AdvancedOptions(records[c].ctrlInfo, &options);
        if (options.snapshot && options.cacheCade)
            return HELP_FULL;
        if (options.snapshot)
            return HELP_SNAPSHOT;
        if (options.cacheCade)
            return HELP_CACHECADE;
    }
    return HELP_BASE;
}

static int AppendLine(char *out, size_t size, int len, const char *a, const char *b, const char *c)
{
    int n = snprintf(out + len, size - (size_t)len, "%s%s%s\r\n", a, b, c);
    if (n < 0)
        return len;
    return (size_t)(len + n) >= size ? (int)size - 1 : len + n;
}

int BuildHelpText(char *out, size_t size, int variant, const char *productVersion)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    int len = 0;
    for (size_t i = 0; i < sizeof(kHelpHead) / sizeof(kHelpHead[0]); i++)
        len = AppendLine(out, size, len, kHelpHead[i], "", "");
    int cacheCade = (variant == HELP_CACHECADE || variant == HELP_FULL);
    len = AppendLine(out, size, len, kLdcBefore, cacheCade ? kLdcCacheCade : "", kLdcAfter);
    for (size_t i = 0; i < sizeof(kHelpBody) / sizeof(kHelpBody[0]); i++)
        len = AppendLine(out, size, len, kHelpBody[i], "", "");
    if (variant == HELP_SNAPSHOT || variant == HELP_FULL) {
        for (size_t i = 0; i < sizeof(kHelpSnapshot) / sizeof(kHelpSnapshot[0]); i++)
            len = AppendLine(out, size, len, kHelpSnapshot[i], "", "");
    }
    len = AppendLine(out, size, len, "", "", "");
    len = AppendLine(out, size, len, "Norvane RAID Vantrel Command Line Tool Ver ", productVersion, "");
    len = AppendLine(out, size, len, ZAV_LEGAL_COPYRIGHT, "", "");
    return len;
}

int CliCmdExecHelp(int argc, char **argv, ContData *records, uint16_t contCount)
{
    ZAV_TRACE("", "func=%s", "CliCmdExecHelp");
    if (RejectAnyOption(argc, argv))
        return -1;
    ToolVersion version;
    if (!ReadVersionOrReport(&version))
        return -1;
    static char text[REPORT_TEXT_MAX + 1];
    BuildHelpText(text, sizeof(text), HelpVariant(records, contCount), version.productVersion);
    ZAV_REPORT(REPORT_CONSOLE, "%s", text);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ctrlautorbld
// ---------------------------------------------------------------------------------------------
enum { RB_ENBL, RB_DSBL };
static const CliOption kRbldOptions[] = {
    {"enbl", 1, 0},
    {"dsbl", 1, 0},
};

int CliCmdExecAdpRbldMode(int argc, char **argv, ContData *records, uint16_t contCount)
{
    (void)records;
    ZAV_TRACE("", "func=%s", "CliCmdExecAdpRbldMode");
    CliArgs args;
    if (!ParseCliOptions(argc, argv, kRbldOptions, 2, SEL_ADAPTER, &args))
        return -1;
    if (args.optionCount == 0) {
        ReportInvalidToken(argv[argc > 2 ? 2 : 1]);
        return -1;
    }
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;
    int disable = OptGiven(&args, RB_DSBL);
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = adapters[i];
        if (disable && ComChk(NULL, PROMPT_AUTO_REBUILD_OFF, 0) != 1)
            return 0;
        if (SLSetCtrlRbldMode(c, disable ? 1 : 0) != 0) {
            TraceCmdError("CliCmdExecAdpRbldMode", "SLSetCtrlRbldMode error", c);
            ZAV_REPORT(REPORT_BOTH, kFailedToChange, (int)c);
            return -1;
        }
        ZAV_REPORT(REPORT_BOTH, kSettingsChanged, (int)c);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ctrlsetprop
// ---------------------------------------------------------------------------------------------
enum { SP_TRH, SP_TRM, SP_TRL, SP_HDD_ENBL, SP_HDD_DSBL, SP_SSD_ENBL, SP_SSD_DSBL, SP_PDFAIL_ENBL, SP_PDFAIL_DSBL };
static const CliOption kSetPropOptions[] = {
    {"trh", 1, 0},          {"trm", 1, 0},          {"trl", 1, 0},
    {"hddcpybkenbl", 2, 0}, {"hddcpybkdsbl", 2, 0}, {"ssdcpybkenbl", 3, 0},
    {"ssdcpybkdsbl", 3, 0}, {"pdfailenbl", 4, 0},   {"pdfaildsbl", 4, 0},
};

// The new SMART copyback state of one media kind.
static uint8_t NewSmartCopyback(const CliArgs *args, int enableOpt, int disableOpt, int onNow)
{
    if (OptGiven(args, disableOpt))
        return 0;
    return (OptGiven(args, enableOpt) || onNow) ? 1 : 0;
}

int CliCmdExecAdpSetProp(int argc, char **argv, ContData *records, uint16_t contCount)
{
    static const char kHandler[] = "CliCmdExecAdpSetProp";
    ZAV_TRACE("", "func=%s", kHandler);
    CliArgs args;
    if (!ParseCliOptions(argc, argv, kSetPropOptions, sizeof(kSetPropOptions) / sizeof(kSetPropOptions[0]),
                         SEL_ADAPTER, &args))
        return -1;
    if (args.optionCount == 0) {
        ReportInvalidToken(argv[argc - 1]);
        return -1;
    }
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;

    int smartEnable = OptGiven(&args, SP_HDD_ENBL) || OptGiven(&args, SP_SSD_ENBL);
    int smartDisable = OptGiven(&args, SP_HDD_DSBL) || OptGiven(&args, SP_SSD_DSBL);
    int smartOption = smartEnable || smartDisable || OptGiven(&args, SP_PDFAIL_ENBL) || OptGiven(&args, SP_PDFAIL_DSBL);
    if (OptGiven(&args, SP_PDFAIL_ENBL) && smartEnable) {
        ZAV_REPORT(REPORT_BOTH, kCannotChangeBoth, (int)adapters[0]);
        return -1;
    }

    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
        uint8_t c = adapters[i];
        static uint8_t info[CTRL_INFO_SIZE];
        uint8_t defaults[MFC_DEFAULTS_SIZE];
        if (SLGetCtrlInfo(c, info) != 0) {
            TraceCmdError(kHandler, "SLGetCtrlInfo error", c);
            return -1;
        }
        if (SLGetMFCDefaults(c, defaults) != 0) {
            TraceCmdError(kHandler, "SLGetMFCDefaults error", c);
            return -1;
        }
        if (smartOption && !SmartOptionsSupported(&records[c])) {
            ZAV_REPORT(REPORT_BOTH, "Error - The specified parameter is not supported at the current configuration.");
            continue;
        }

        const uint8_t *props = info + CI_PROPERTIES;
        uint32_t onOff = LayoutU32(props, CP_ON_OFF_BITS);
        uint8_t rate = OptGiven(&args, SP_TRH) ? 90 : OptGiven(&args, SP_TRM) ? 60 : OptGiven(&args, SP_TRL) ? 30
                                                                                 : props[CP_REBUILD_RATE];
        uint8_t hdd = NewSmartCopyback(&args, SP_HDD_ENBL, SP_HDD_DSBL, (onOff & CP_BIT_SMART_COPYBACK_HDD) != 0);
        uint8_t ssd = NewSmartCopyback(&args, SP_SSD_ENBL, SP_SSD_DSBL, (onOff & CP_BIT_SMART_COPYBACK_SSD) != 0);
        uint8_t copybackDisabled = (hdd == 0 && ssd == 0) ? 1 : 0;

        if (OptGiven(&args, SP_PDFAIL_ENBL) && (onOff & CP_BIT_COPYBACK_DISABLED) == 0 && copybackDisabled == 0) {
            ZAV_REPORT(REPORT_BOTH, kCannotChangeBoth, (int)c);
            continue;
        }

        uint8_t pdFail;
        if (OptGiven(&args, SP_PDFAIL_ENBL))
            pdFail = 1;
        else if (OptGiven(&args, SP_PDFAIL_DSBL))
            pdFail = 0;
        else if (smartEnable)
            pdFail = 0;
        else if (smartDisable && copybackDisabled)
            pdFail = 1;
        else
            pdFail = defaults[MFC_DEFAULTS_FAIL_PD_ON_SMART];

        const char *failed = NULL;
        if (SLSetCtrlProp(c, rate, copybackDisabled, hdd, ssd) != 0)
            failed = "SLSetCtrlProp error";
        else if (SLSetFailPDOnSmartTer(c, pdFail) != 0)
            failed = "SLSetFailPDOnSmartTer error";
        if (failed != NULL) {
            TraceCmdError(kHandler, failed, c);
            ZAV_REPORT(REPORT_BOTH, kFailedToChange, (int)c);
            return -1;
        }
        ZAV_REPORT(REPORT_BOTH, kSettingsChanged, (int)c);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// ctrlpr
// ---------------------------------------------------------------------------------------------
enum { PR_OPT_START, PR_OPT_STOP, PR_OPT_DSBL, PR_OPT_AUTO, PR_OPT_MAN, PR_OPT_HOUR, PR_OPT_DAY, PR_OPT_WEEK,
       PR_OPT_MONTH, PR_OPT_STARTTIME };
static const CliOption kPatrolOptions[] = {
    {"start", 1, 0}, {"stop", 1, 0}, {"dsbl", 2, 0},  {"enblauto", 2, 0}, {"enblman", 2, 0},
    {"hour", 3, 0},  {"day", 3, 0},  {"week", 3, 0},  {"month", 3, 0},    {"setstarttime", 0, 1},
};

// Reads "mmddyyyyhh" (characters after the tenth are ignored); 0 when malformed or all zero.
static int ParseStartTime(const char *value, uint32_t *seconds)
{
    for (int i = 0; i < 10; i++) {
        if (value[i] < '0' || value[i] > '9')
            return 0;
    }
    unsigned month = (unsigned)((value[0] - '0') * 10 + (value[1] - '0'));
    unsigned day = (unsigned)((value[2] - '0') * 10 + (value[3] - '0'));
    unsigned year = (unsigned)((value[4] - '0') * 1000 + (value[5] - '0') * 100 + (value[6] - '0') * 10 + (value[7] - '0'));
    unsigned hour = (unsigned)((value[8] - '0') * 10 + (value[9] - '0'));
    if (month == 0 && day == 0 && year == 0 && hour == 0)
        return 0;
    *seconds = SecondsFromDate(year, month, day, hour);
    return 1;
}

static const char kStartFailed[] =
    "Error - Controller[%d] Failed to start Patrol Read.\nPlease confirm LD(Logical Drive)/PD(Physical Drive) state.";
static const char kStopFailed[] =
    "Error - Controller[%d] Failed to stop Patrol Read.\nPlease confirm whether to have already ended.";

static int StartOrStopPatrolRead(const uint8_t *adapters, int start)
{
    static const char kHandler[] = "CliCmdExecAdpPR";
    PdList *pds = (PdList *)calloc(1, sizeof(PdList));
    if (pds == NULL) {
        ZAV_REPORT(REPORT_BOTH, "Error - Failed to initialize.");
        return -1;
    }
    int rc = 0;
    for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY && rc == 0; i++) {
        uint8_t c = adapters[i];
        if (SLGetPDList(c, pds) != 0) {
            TraceCmdError(kHandler, "SLGetPDList error", c);
            ZAV_REPORT(REPORT_BOTH, "Error - Failed to initialize.");
            rc = -1;
        } else if (start) {
            int ok = LdsAllowPatrolRead(c, kHandler) && HasPatrolReadablePd(c, pds, kHandler);
            if (ok && SLStartPatrolReadOpe(c) != 0) {
                TraceCmdError(kHandler, "SLStartPatrolReadOpe error", c);
                ok = 0;
            }
            if (ok) {
                ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Start Patrol Read.", (int)c);
            } else {
                ZAV_REPORT(REPORT_BOTH, kStartFailed, (int)c);
                rc = -1;
            }
        } else {
            int ok = PatrolReadRunning(c, pds, kHandler);
            if (ok && SLStopPatrolReadOpe(c) != 0) {
                TraceCmdError(kHandler, "SLStopPatrolReadOpe error", c);
                ok = 0;
            }
            if (ok) {
                ZAV_REPORT(REPORT_BOTH, "Information - Controller[%d] Stop Patrol Read.", (int)c);
            } else {
                ZAV_REPORT(REPORT_BOTH, kStopFailed, (int)c);
                rc = -1;
            }
        }
    }
    free(pds);
    return rc;
}

static uint32_t ChosenInterval(const CliArgs *args, uint32_t current)
{
    if (OptGiven(args, PR_OPT_HOUR))
        return 3600;
    if (OptGiven(args, PR_OPT_DAY))
        return 86400;
    if (OptGiven(args, PR_OPT_WEEK))
        return 604800;
    if (OptGiven(args, PR_OPT_MONTH))
        return 2592000;
    return current;
}

static uint8_t ChosenMode(const CliArgs *args, uint8_t current)
{
    if (OptGiven(args, PR_OPT_DSBL))
        return PR_MODE_DISABLED;
    if (OptGiven(args, PR_OPT_AUTO))
        return PR_MODE_AUTO;
    if (OptGiven(args, PR_OPT_MAN))
        return PR_MODE_MANUAL;
    return current;
}

// Reads every selected controller's settings and asks the one question before any of them is
// changed, so that answering No leaves every controller as it was.
static int ChangePatrolReadSettings(const uint8_t *adapters, const CliArgs *args, int haveStart, uint32_t startTime)
{
    static const char kHandler[] = "CliCmdExecAdpPR";
    static uint8_t props[ADAPTER_LIST_SIZE][PATROL_READ_PROP_SIZE];
    unsigned count = 0;
    int askFirst = 0;
    for (; count < ADAPTER_LIST_SIZE && adapters[count] != SEL_EMPTY; count++) {
        uint8_t c = adapters[count];
        if (SLGetPatrolReadProp(c, props[count]) != 0) {
            TraceCmdError(kHandler, "SLGetPatrolReadProp error", c);
            ZAV_REPORT(REPORT_BOTH, kFailedToChange, (int)c);
            return -1;
        }
        if (ChosenMode(args, props[count][PR_MODE]) != PR_MODE_AUTO)
            askFirst = 1;
    }
    if (askFirst && ComChk(NULL, PROMPT_PATROL_READ_OFF, 0) != 1)
        return 0;
    for (unsigned i = 0; i < count; i++) {
        uint8_t c = adapters[i];
        uint8_t *block = props[i];
        block[PR_MODE] = ChosenMode(args, block[PR_MODE]);
        LayoutPutU32(block, PR_INTERVAL, ChosenInterval(args, LayoutU32(block, PR_INTERVAL)));
        if (haveStart)
            LayoutPutU32(block, PR_NEXT_EXEC, startTime);
        if (SLSetPatrolReadProp(c, block) != 0) {
            TraceCmdError(kHandler, "SLSetPatrolReadProp error", c);
            ZAV_REPORT(REPORT_BOTH, kFailedToChange, (int)c);
            return -1;
        }
        ZAV_REPORT(REPORT_BOTH, kSettingsChanged, (int)c);
    }
    return 0;
}

int CliCmdExecAdpPR(int argc, char **argv, ContData *records, uint16_t contCount)
{
    (void)records;
    static const char kHandler[] = "CliCmdExecAdpPR";
    ZAV_TRACE("", "func=%s", kHandler);
    CliArgs args;
    if (!ParseCliOptions(argc, argv, kPatrolOptions, sizeof(kPatrolOptions) / sizeof(kPatrolOptions[0]), SEL_ADAPTER,
                         &args))
        return -1;
    if (args.optionCount == 0) {
        ReportInvalidToken(argv[argc - 1]);
        return -1;
    }
    uint32_t startTime = 0;
    int haveStart = OptGiven(&args, PR_OPT_STARTTIME);
    if (haveStart && !ParseStartTime(args.value[PR_OPT_STARTTIME], &startTime)) {
        ReportInvalidToken(argv[args.at[PR_OPT_STARTTIME]]);
        return -1;
    }
    uint8_t adapters[ADAPTER_LIST_SIZE];
    if (!SelectAdapters(argc, argv, &args, contCount, adapters))
        return -1;

    if (haveStart) {
        for (unsigned i = 0; i < ADAPTER_LIST_SIZE && adapters[i] != SEL_EMPTY; i++) {
            uint32_t now = 0;
            int status = SLGetTime(adapters[i], &now);
            if (status != 0)
                TraceCmdError(kHandler, "SLGetTime error", adapters[i]);
            if (status != 0 || startTime < now) {
                ZAV_REPORT(REPORT_BOTH, "Error - The specified date occurs in the past.");
                return -1;
            }
        }
    }
    if (args.optionCount == 1 && OptGiven(&args, PR_OPT_START))
        return StartOrStopPatrolRead(adapters, 1);
    if (args.optionCount == 1 && OptGiven(&args, PR_OPT_STOP))
        return StartOrStopPatrolRead(adapters, 0);
    return ChangePatrolReadSettings(adapters, &args, haveStart, startTime);
}
