// Pane texts of the property dialogs. Values come from the same conversions the console tool's
// information commands print with; only the line layout (label, tabs, colon) is the dialogs' own.
#include "gui/InfoPanes.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/DriveLetters.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

enum { PANE_TAB_WIDTH = 8, PANE_LABEL_COLUMN = 32, PD_SAS_PATHS = 4 };

void PaneReset(PaneText *pane)
{
    pane->text[0] = '\0';
    pane->used = 0;
}

static void PaneAddV(PaneText *pane, const char *format, va_list args)
{
    size_t room = sizeof(pane->text) - pane->used;
    if (room <= 1)
        return;
    int n = vsnprintf(pane->text + pane->used, room, format, args);
    if (n < 0)
        pane->text[pane->used] = '\0';
    else
        pane->used += (size_t)n < room ? (size_t)n : room - 1;
}

void PaneAdd(PaneText *pane, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    PaneAddV(pane, format, args);
    va_end(args);
}

void PaneLine(PaneText *pane, int lineEnd, const char *label, const char *format, ...)
{
    size_t width = strlen(label);
    PaneAdd(pane, "%s\t", label);
    for (size_t column = (width / PANE_TAB_WIDTH + 1) * PANE_TAB_WIDTH; column < PANE_LABEL_COLUMN;
         column += PANE_TAB_WIDTH)
        PaneAdd(pane, "\t");
    PaneAdd(pane, ": ");
    va_list args;
    va_start(args, format);
    PaneAddV(pane, format, args);
    va_end(args);
    PaneAdd(pane, lineEnd == PANE_DOUBLE ? "\r\n\r\n" : "\r\n");
}

static void PaneHeading(PaneText *pane, const char *title)
{
    PaneAdd(pane, "%s###   %s   ###\r\n", pane->used > 0 ? "\r\n" : "", title);
}

static int TraceFailed(const char *func, const char *what, uint8_t contNo)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", func, what, contNo);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Controller
// ---------------------------------------------------------------------------------------------
struct CtrlQueries {
    uint8_t info[CTRL_INFO_SIZE];
    uint8_t prop[CTRL_PROP_SIZE];
    uint8_t pci[PCI_INFO_SIZE];
    uint8_t driver[DRV_VER_SIZE];
    uint8_t patrol[PATROL_READ_PROP_SIZE];
};

static int QueryCtrl(uint8_t contNo, CtrlQueries *q)
{
    static const char kFunc[] = "OnInitContInfo";
    if (SLGetCtrlInfo(contNo, q->info) != 0)
        return TraceFailed(kFunc, "SLGetCtrlInfo error", contNo);
    if (SLGetCtrlProp(contNo, q->prop) != 0)
        return TraceFailed(kFunc, "SLGetCtrlProp error", contNo);
    if (SLGetPciInfo(contNo, q->pci) != 0)
        return TraceFailed(kFunc, "SLGetPciInfo error", contNo);
    if (SLGetDrvVer(contNo, q->driver) != 0)
        return TraceFailed(kFunc, "SLGetDrvVer error", contNo);
    if (SLGetPatrolReadProp(contNo, q->patrol) != 0)
        return TraceFailed(kFunc, "SLGetPatrolReadProp error", contNo);
    return 1;
}

static void AddCtrlGeneral(PaneText *p, const CtrlQueries *q)
{
    const uint8_t *info = q->info;
    char text[128];
    uint32_t hw = LayoutU32(info, CI_HW_PRESENT);
    uint32_t onOff = LayoutU32(q->prop, CP_ON_OFF_BITS);
    PaneHeading(p, "General Information");
    FixedFieldText(text, sizeof(text), info + CI_PRODUCT_NAME, 80);
    PaneLine(p, PANE_DOUBLE, "Product Name", "%s", text);
    PaneLine(p, PANE_DOUBLE, "PCI Bus/Dev/Func", "%d/%d/%d", (int)LayoutU32(q->pci, PCI_BUS), (int)q->pci[PCI_DEVICE],
             (int)q->pci[PCI_FUNCTION]);
    FixedFieldText(text, sizeof(text), info + CI_SERIAL_NO, 32);
    PaneLine(p, PANE_DOUBLE, "Serial No", "%s", text);
    PaneLine(p, PANE_DOUBLE, "Vendor ID", "0x%X", (unsigned)LayoutU16(info, CI_PCI_VENDOR));
    PaneLine(p, PANE_DOUBLE, "Device ID", "0x%X", (unsigned)LayoutU16(info, CI_PCI_DEVICE));
    PaneLine(p, PANE_DOUBLE, "SubVendor ID", "0x%X", (unsigned)LayoutU16(info, CI_PCI_SUBVENDOR));
    PaneLine(p, PANE_DOUBLE, "SubDevice ID", "0x%X", (unsigned)LayoutU16(info, CI_PCI_SUBDEVICE));
    PaneLine(p, PANE_DOUBLE, "Device Port Count", "%d", (int)info[CI_PORT_COUNT]);
    PaneLine(p, PANE_DOUBLE, "Alarm Present", "%s", YesNoText((hw & CI_HW_ALARM) != 0));
    uint8_t alarm = q->prop[CP_ALARM_ENABLE];
    PaneLine(p, PANE_DOUBLE, "Alarm Enabled", "%s", alarm == 0 ? "No" : alarm == 1 ? "Yes" : "Unknown");
    PaneLine(p, PANE_DOUBLE, "Cache Flush Interval", "%d sec", (int)q->prop[CP_CACHE_FLUSH_INTERVAL]);
    PaneLine(p, PANE_DOUBLE, "Cache Backup Present", "%s", YesNoText((hw & CI_HW_CACHE_BACKUP) != 0));
    PaneLine(p, PANE_DOUBLE, "Native Command Queuing", "%s", EnabledText((onOff & CP_BIT_NCQ_DISABLED) == 0));
    PaneLine(p, PANE_DOUBLE, "Memory Size", "%d MB", (int)LayoutU16(info, CI_MEMORY_SIZE));
    for (int port = 0; port < 8; port++) {
        char label[40];
        SasAddressText(text, sizeof(text), LayoutU64(info, CI_PORT_SAS_ADDR + 8 * port));
        snprintf(label, sizeof(label), "%s%d%s", "Backend SAS Address", port, "");
        PaneLine(p, PANE_DOUBLE, label, "%s", text);
    }
    PaneHeading(p, "Error Information");
    PaneLine(p, PANE_DOUBLE, "Memory Correctable Error Count", "%d", (int)LayoutU16(info, CI_MEM_CORRECTABLE));
    PaneLine(p, PANE_DOUBLE, "Memory Uncorrectable Error Count", "%d", (int)LayoutU16(info, CI_MEM_UNCORRECTABLE));
}

static void AddFirmware(PaneText *p, const CtrlQueries *q)
{
    const uint8_t *info = q->info;
    char text[128];
    PaneHeading(p, "Firmware/BIOS/Driver Information");
    FixedFieldText(text, sizeof(text), info + CI_PACKAGE_VERSION, 96);
    if (text[0] != '\0')
        PaneLine(p, PANE_DOUBLE, "Firmware Package Version", "%s", text);
    uint32_t images = LayoutU32(info, CI_IMAGE_COUNT);
    images = images > 8 ? 8 : images;
    for (uint32_t i = 0; i < images; i++) {
        const uint8_t *image = info + CI_IMAGES + CI_IMAGE_SIZE * i;
        if (memcmp(image + CI_IMAGE_NAME, "APP", 3) != 0)
            continue;
        char date[20], time[20];
        FixedFieldText(text, sizeof(text), image + CI_IMAGE_VERSION, 32);
        FixedFieldText(date, sizeof(date), image + CI_IMAGE_BUILD_DATE, 16);
        FixedFieldText(time, sizeof(time), image + CI_IMAGE_BUILD_TIME, 16);
        PaneLine(p, PANE_DOUBLE, "Firmware Version", "%s", text);
        PaneLine(p, PANE_DOUBLE, "Firmware Build Time", "%s %s", date, time);
    }
    for (uint32_t i = 0; i < images; i++) {
        const uint8_t *image = info + CI_IMAGES + CI_IMAGE_SIZE * i;
        if (memcmp(image + CI_IMAGE_NAME, "BIOS", 4) != 0)
            continue;
        FixedFieldText(text, sizeof(text), image + CI_IMAGE_VERSION, 32);
        PaneLine(p, PANE_DOUBLE, "BIOS Version", "%s", text);
    }
    FixedFieldText(text, sizeof(text), q->driver + DV_VERSION, DV_VERSION_LEN);
    PaneLine(p, PANE_DOUBLE, "Driver Version", "%s", text);
}

static void AddCtrlSettings(PaneText *p, uint8_t contNo, const CtrlQueries *q, const ContData *record)
{
    const uint8_t *prop = q->prop;
    uint32_t onOff = LayoutU32(prop, CP_ON_OFF_BITS);
    PaneHeading(p, "Controller Settings Information");
    uint8_t rebuildMode = prop[CP_AUTO_REBUILD_DISABLED];
    PaneLine(p, PANE_DOUBLE, "Rebuild Mode", "%s", rebuildMode == 0 ? "Automatic" : rebuildMode == 1 ? "Manual" : "Unknown");
    uint8_t mode = q->patrol[PR_MODE];
    PaneLine(p, PANE_DOUBLE, "Patrol Read Mode", "%s",
             mode == 0 ? "Automatic" : mode == 1 ? "Manual" : mode == 2 ? "Disable" : "Unknown");
    const char *interval = PatrolIntervalText(LayoutU32(q->patrol, PR_INTERVAL));
    if (interval)
        PaneLine(p, PANE_DOUBLE, "Patrol Read Interval", "%s", interval);
    else
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, seconds=%u", "OnInitContInfo", "ExecFreq invalid", contNo,
                  (unsigned)LayoutU32(q->patrol, PR_INTERVAL));
    ZavDate next;
    DateFromSeconds(LayoutU32(q->patrol, PR_NEXT_EXEC), &next);
    PaneLine(p, PANE_DOUBLE, "Patrol Read Schedule", "%d/%d/%d", (int)next.year, (int)next.month, (int)next.day);
    const uint8_t *rates = q->info + CI_PROPERTIES;
    PaneLine(p, PANE_DOUBLE, "Rebuild Rate", "%u%%", (unsigned)rates[CP_REBUILD_RATE]);
    PaneLine(p, PANE_DOUBLE, "Patrol Read Rate", "%u%%", (unsigned)rates[CP_PATROL_READ_RATE]);
    PaneLine(p, PANE_DOUBLE, "Consistency Check Rate", "%u%%", (unsigned)rates[CP_CC_RATE]);
    PaneLine(p, PANE_DOUBLE, "Copyback", "%s", EnabledText((onOff & CP_BIT_COPYBACK_DISABLED) == 0));
    PaneLine(p, PANE_DOUBLE, "SMART Copyback for HDD", "%s", EnabledText((onOff & CP_BIT_SMART_COPYBACK_HDD) != 0));
    PaneLine(p, PANE_DOUBLE, "SMART Copyback for SSD", "%s", EnabledText((onOff & CP_BIT_SMART_COPYBACK_SSD) != 0));
    PaneHeading(p, "MegaRAID Advanced Options");
    AdvancedOptionSet options;
    AdvancedOptions(record->ctrlInfo, &options);
    PaneLine(p, PANE_DOUBLE, "Snapshot", "%s", EnabledText(options.snapshot));
    PaneLine(p, PANE_DOUBLE, "CacheCade", "%s", EnabledText(options.cacheCade));
    PaneLine(p, PANE_DOUBLE, "FastPath", "%s", EnabledText(options.fastPath));
}

int BuildCtrlInfoPanes(uint8_t contNo, const ContData *record, PaneText *left, PaneText *right)
{
    static CtrlQueries q;
    PaneReset(left);
    PaneReset(right);
    if (!QueryCtrl(contNo, &q))
        return 0;
    AddCtrlGeneral(left, &q);
    AddFirmware(right, &q);
    AddCtrlSettings(right, contNo, &q, record);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Enclosures
// ---------------------------------------------------------------------------------------------
static void AddSensorLines(PaneText *p, const uint8_t *config, const uint8_t *status)
{
    for (unsigned i = 0; i < config[EC_TEMP_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_TEMPS + ES_SENSOR_SIZE * i;
        PaneAdd(p, "Temperature%d\t %-14s\t %d (C)\r\n", (int)i, SensorStatusText(s[ES_SENSOR_STATUS]),
                (int)(int16_t)LayoutU16(s, ES_SENSOR_VALUE));
    }
    for (unsigned i = 0; i < config[EC_FAN_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_FANS + ES_SENSOR_SIZE * i;
        PaneAdd(p, "Fan%d\t\t %-14s\t %d (RPM)\r\n", (int)i, SensorStatusText(s[ES_SENSOR_STATUS]),
                (int)LayoutU16(s, ES_SENSOR_VALUE));
    }
    for (unsigned i = 0; i < config[EC_PSU_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_PSUS + ES_SENSOR_SIZE * i;
        uint16_t bits = LayoutU16(s, ES_SENSOR_VALUE);
        PaneAdd(p, "Power Supply%d\t %-14s\t %s\r\n", (int)i, SensorStatusText(s[ES_SENSOR_STATUS]),
                (bits & ES_PSU_PRESENT) == 0 ? "Not Present" : (bits & ES_PSU_ON) ? "On" : "Off");
    }
    for (unsigned i = 0; i < config[EC_VOLT_COUNT] && i < ES_SENSOR_MAX; ++i) {
        const uint8_t *s = status + ES_VOLTS + ES_SENSOR_SIZE * i;
        int millivolts = (int16_t)LayoutU16(s, ES_SENSOR_VALUE);
        unsigned magnitude = (unsigned)(millivolts < 0 ? -millivolts : millivolts);
        PaneAdd(p, "Voltage%d\t\t %-14s\t %s%0.2f (V)\r\n", (int)i, SensorStatusText(s[ES_SENSOR_STATUS]),
                millivolts < 0 ? "-" : "", magnitude / 1000.0);
    }
}

static void AddEnclosure(PaneText *left, PaneText *right, uint8_t contNo, const EnclEntry *entry)
{
    static uint8_t config[ENCL_CONFIG_SIZE], status[ENCL_STATUS_SIZE];
    uint8_t connector[ENCL_SAS_CONNECTOR_SIZE];
    char text[64];
    if (SLGetEnclConfig(contNo, entry->deviceId, config) != 0) {
        TraceFailed("OnInitEnclInfo", "SLGetEnclConfig error", contNo);
        return;
    }
    int haveStatus = SLGetEnclStatus(contNo, entry->deviceId, status) == 0;
    if (!haveStatus)
        TraceFailed("OnInitEnclInfo", "SLGetEnclStatus error", contNo);
    int haveConnector = SLGetSASConnector(contNo, entry->deviceId, connector, sizeof(connector)) == 0;
    if (!haveConnector)
        TraceFailed("OnInitEnclInfo", "SLGetSASConnector error", contNo);
    PaneAdd(left, "%sEnclosure%d\r\n", left->used > 0 ? "\r\n" : "", (int)entry->index);
    PaneHeading(left, "General Information");
    FixedFieldText(text, sizeof(text), config + EC_VENDOR_ID, 8);
    PaneLine(left, PANE_DOUBLE, "Vendor ID", "%s", text);
    PaneLine(left, PANE_DOUBLE, "Enclosure ID", "%d", (int)entry->deviceId);
    PaneLine(left, PANE_DOUBLE, "Enclosure Model", "%s", EnclosureModelText(config[EC_MODEL]));
    PaneLine(left, PANE_DOUBLE, "Enclosure Location", "%s", config[EC_LOCATION] == 0 ? "Internal" : "External");
    if (haveConnector) {
        FixedFieldText(text, sizeof(text), connector + ESC_NAME, ESC_NAME_LEN);
        PaneLine(left, PANE_DOUBLE, "Connector", "%s", text);
    }
    PaneLine(left, PANE_DOUBLE, "Number of Slots", "%d", (int)config[EC_SLOT_COUNT]);
    FixedFieldText(text, sizeof(text), config + EC_REVISION, 4);
    PaneLine(left, PANE_DOUBLE, "Product Revision Level", "%s", text);
    PaneHeading(left, "Component Information");
    PaneLine(left, PANE_DOUBLE, "Number of Temperature Sensors", "%d", (int)config[EC_TEMP_COUNT]);
    PaneLine(left, PANE_DOUBLE, "Number of Fans", "%d", (int)config[EC_FAN_COUNT]);
    PaneLine(left, PANE_DOUBLE, "Number of Power Supplies", "%d", (int)config[EC_PSU_COUNT]);
    PaneLine(left, PANE_DOUBLE, "Number of Voltage Sensors", "%d", (int)config[EC_VOLT_COUNT]);
    if (!haveStatus)
        return;
    PaneAdd(right, "%sEnclosure%d\r\n", right->used > 0 ? "\r\n" : "", (int)entry->index);
    PaneHeading(right, "Sensor Information");
    PaneAdd(right, "Sensor\t\t %-14s\t %s\r\n", "Status", "Value");
    AddSensorLines(right, config, status);
}

int BuildEnclInfoPanes(uint8_t contNo, PaneText *left, PaneText *right)
{
    static EnclList list;
    PaneReset(left);
    PaneReset(right);
    if (SLGetEnclList(contNo, &list) != 0)
        return TraceFailed("OnInitEnclInfo", "SLGetEnclList error", contNo);
    for (uint32_t i = 0; i < list.count && i < ENCL_MAX; ++i)
        if (list.entries[i].kind != ENCL_KIND_VIRTUAL)
            AddEnclosure(left, right, contNo, &list.entries[i]);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Cache backup unit
// ---------------------------------------------------------------------------------------------
int BuildCacheBkupPane(uint8_t contNo, PaneText *p)
{
    static const char kFunc[] = "OnInitCacheBkupInfo";
    uint8_t status[CACHEBKUP_STATUS_SIZE], props[CACHEBKUP_PROP_SIZE], design[CACHEBKUP_DESIGN_SIZE];
    PaneReset(p);
    if (SLGetCacheBkupStatus(contNo, status) != 0)
        return TraceFailed(kFunc, "SLGetCacheBkupStatus error", contNo);
    if (SLGetCacheBkupProperties(contNo, props) != 0)
        return TraceFailed(kFunc, "SLGetCacheBkupProperties error", contNo);
    if (SLGetCacheBkupDesignInfo(contNo, design) != 0)
        return TraceFailed(kFunc, "SLGetCacheBkupDesignInfo error", contNo);
    PaneHeading(p, "General Information");
    PaneLine(p, PANE_DOUBLE, "Cache Backup Type", "%s", CacheBackupTypeText(status[CBS_TYPE]));
    PaneLine(p, PANE_DOUBLE, "Serial Number", "%d", (int)LayoutU16(design, CBD_SERIAL));
    PaneLine(p, PANE_DOUBLE, "Full Capacity", "%d Joules", (int)LayoutU16(design, CBD_DESIGN_CAPACITY));
    PaneLine(p, PANE_DOUBLE, "Remaining Capacity", "%d Joules",
             (int)status[CBS_REMAINING_HIGH] * 256 + (int)status[CBS_REMAINING_LOW]);
    PaneLine(p, PANE_DOUBLE, "Temperature", "%d C", (int)LayoutU16(status, CBS_TEMPERATURE));
    PaneLine(p, PANE_DOUBLE, "Voltage", "%d mV", (int)LayoutU16(status, CBS_VOLTAGE));
    PaneLine(p, PANE_DOUBLE, "Current", "%d mA", (int)(int16_t)LayoutU16(status, CBS_CURRENT));
    PaneLine(p, PANE_DOUBLE, "Automatic Learn Cycle", "%s", LearnModeText(props[CBP_AUTO_LEARN_MODE]));
    PaneLine(p, PANE_DOUBLE, "Auto Learn Period", "%d Days", (int)(LayoutU32(props, CBP_LEARN_PERIOD) / 86400u));
    ZavDate next;
    DateFromSeconds(LayoutU32(props, CBP_NEXT_LEARN), &next);
    PaneLine(p, PANE_DOUBLE, "Next Learn Cycle", "%d/%d/%d ; %d:%d:%d", (int)next.year, (int)next.month,
             (int)next.day, (int)next.hour, (int)next.minute, (int)next.second);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// LD
// ---------------------------------------------------------------------------------------------
static void PolicyLine(PaneText *p, const char *label, const char *value)
{
    if (value[0] != '\0')
        PaneLine(p, PANE_SINGLE, label, "%s", value);
}

static void AddAssociatedCacheCade(PaneText *p, const ContData *record, uint8_t contNo, uint8_t targetId)
{
    uint8_t associated[LD_MAX];
    unsigned count = AssociatedCacheCadeLds(record, targetId, associated);
    if (count == 0)
        return;
    PaneLine(p, PANE_SINGLE, "Associated CacheCade LD", "%s", "");
    for (unsigned i = 0; i < count; ++i) {
        char level[16], capa[32], state[64];
        const uint8_t *other = record->ldInfo[associated[i]];
        RaidlvlToStr(level, sizeof(level), LdRaidLevel(other), contNo);
        CapacityText(capa, sizeof(capa), LdCapacityBlocks(other, contNo));
        LdStateText(state, sizeof(state), record, associated[i]);
        PaneAdd(p, "  LD%u (%s, %s GB, %s)\r\n", (unsigned)associated[i], level, capa, state);
    }
}

int BuildLdPropertiesPane(ContData *records, uint8_t contNo, uint8_t targetId, PaneText *p)
{
    ContData *record = &records[contNo];
    char text[600];
    PaneReset(p);
    if (targetId >= LD_MAX || !MoreLdExists(record, targetId))
        return 0;
    const uint8_t *ldInfo = record->ldInfo[targetId];
    PaneHeading(p, "General Information");
    RaidlvlToStr(text, sizeof(text), LdRaidLevel(ldInfo), contNo);
    PaneLine(p, PANE_SINGLE, "RAID Level", "%s", text);
    LdNameText(text, sizeof(text), ldInfo);
    PaneLine(p, PANE_SINGLE, "Name", "%s", text);
    CapacityText(text, sizeof(text), LdCapacityBlocks(ldInfo, contNo));
    PaneLine(p, PANE_SINGLE, "Size", "%s GB", text);
    StripeSizeText(text, sizeof(text), ldInfo[LI_STRIPE_SIZE]);
    PolicyLine(p, "Stripe Size", text);
    LdStateText(text, sizeof(text), record, targetId);
    PaneLine(p, PANE_SINGLE, "LD Status", "%s", text);
    PaneLine(p, PANE_SINGLE, "# of PD", "%u", LdDriveCount(ldInfo));
    AddAssociatedCacheCade(p, record, contNo, targetId);
    PaneHeading(p, "LD Settings Information");
    AccessPolicyText(text, sizeof(text), ldInfo);
    PolicyLine(p, "Access Policy", text);
    DiskCachePolicyText(text, sizeof(text), ldInfo);
    PolicyLine(p, "Disk Cache Policy", text);
    ReadPolicyText(text, sizeof(text), ldInfo);
    PolicyLine(p, "Read Policy", text);
    IoPolicyText(text, sizeof(text), ldInfo);
    PolicyLine(p, "IO Policy", text);
    char firstName[81];
    ProductNameOfFirstCtrl(records, firstName, sizeof(firstName));
    if (WritePolicyShown(firstName)) {
        CurrentWritePolicyText(text, sizeof(text), ldInfo, record->ctrlInfo);
        PolicyLine(p, "Current Write Policy", text);
        DefaultWritePolicyText(text, sizeof(text), ldInfo, record->ctrlInfo);
        PolicyLine(p, "Default Write Policy", text);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// PD
// ---------------------------------------------------------------------------------------------
int BuildPdPropertiesPane(const ContData *record, uint8_t contNo, uint8_t slot, PaneText *p)
{
    const uint8_t *pd = record->pdInfo[slot];
    char text[64];
    PaneReset(p);
    if (!MorePdIsDisk(record, slot))
        return 0;
    PaneHeading(p, "General Information");
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_COERCED_SIZE));
    PaneLine(p, PANE_SINGLE, "Usable Capacity", "%s GB", text);
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_RAW_SIZE));
    PaneLine(p, PANE_SINGLE, "Raw Capacity", "%s GB", text);
    PaneLine(p, PANE_SINGLE, "Interface Type", "%s", InterfaceTypeText(LayoutU16(pd, PI_DDF_TYPE)));
    MediaTypeText(text, sizeof(text), pd);
    PaneLine(p, PANE_SINGLE, "Media Type", "%s", text);
    FixedFieldText(text, sizeof(text), pd + PI_PRODUCT_ID, 16);
    PaneLine(p, PANE_SINGLE, "Product ID", "%s", text);
    FixedFieldText(text, sizeof(text), pd + PI_VENDOR_ID, 8);
    PaneLine(p, PANE_SINGLE, "Vendor ID", "%s", text);
    PaneLine(p, PANE_SINGLE, "Device ID", "%d", (int)LayoutU16(pd, PI_DEVICE_ID));
    PdStateText(text, sizeof(text), LayoutU16(pd, PI_FW_STATE));
    PaneLine(p, PANE_SINGLE, "PD Status", "%s", text);
    PaneLine(p, PANE_SINGLE, "Drive Speed", "%s", LinkSpeedText(pd[PI_DRIVE_SPEED]));
    PaneLine(p, PANE_SINGLE, "Negotiated Link Speed", "%s", LinkSpeedText(pd[PI_LINK_SPEED]));
    unsigned paths = pd[PI_PATH_COUNT] > PD_SAS_PATHS ? (unsigned)PD_SAS_PATHS : pd[PI_PATH_COUNT];
    for (unsigned k = 0; k < paths; k++) {
        SasAddressDigits(text, sizeof(text), LayoutU64(pd, PI_SAS_ADDR + 8 * k));
        PaneAdd(p, "SAS Address %d\t\t: 0x%s\r\n", (int)k, text);
    }
    uint8_t supported = 0, celsius = 0;
    if (SLIsTempPageSupported(contNo, slot, &supported) == 0 && supported && SLGetPDTemperature(contNo, slot, &celsius) == 0)
        PaneLine(p, PANE_SINGLE, "Temperature", "%d C", (int)celsius);
    PaneLine(p, PANE_SINGLE, "Power Status", "%s", PowerStatusText(pd[PI_POWER_STATE]));
    FixedFieldText(text, sizeof(text), pd + PI_REVISION, 4);
    PaneLine(p, PANE_SINGLE, "Revision Level", "%s", text);
    PaneHeading(p, "Error Information");
    PaneLine(p, PANE_SINGLE, "Media Error Count", "%d", (int)LayoutU32(pd, PI_MEDIA_ERRORS));
    PaneLine(p, PANE_SINGLE, "Pred Fail Count", "%d", (int)LayoutU32(pd, PI_PRED_FAIL));
    uint16_t enclosure = LayoutU16(pd, PI_ENCL_DEVICE_ID);
    if (enclosure == 0x00FF || enclosure == 0xFFFF) {
        PaneHeading(p, "Slot Information");
    } else {
        PaneHeading(p, "Enclosure Properties Information");
        PaneLine(p, PANE_SINGLE, "Enclosure ID", "%d", (int)enclosure);
    }
    PaneLine(p, PANE_SINGLE, "Slot Number", "%d", (int)slot);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Snapshot base, repository and view
// ---------------------------------------------------------------------------------------------
static void LdShortText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t target)
{
    char level[16], capa[32], state[64];
    const uint8_t *ld = record->ldInfo[target];
    RaidlvlToStr(level, sizeof(level), LdRaidLevel(ld), contNo);
    CapacityText(capa, sizeof(capa), LdCapacityBlocks(ld, contNo));
    LdStateText(state, sizeof(state), record, target);
    snprintf(out, size, "LD%u(%s, %s GB, %s)", (unsigned)target, level, capa, state);
}

static unsigned Percent(uint64_t part, uint64_t whole)
{
    return whole == 0 ? 0u : (unsigned)(part * 100u / whole);
}

static void CapacityLine(PaneText *p, const char *label, uint64_t blocks, uint64_t whole, int withPercent)
{
    char capa[32];
    CapacityText(capa, sizeof(capa), blocks);
    if (withPercent)
        PaneLine(p, PANE_SINGLE, label, "%s GB(%u%%)", capa, Percent(blocks, whole));
    else
        PaneLine(p, PANE_SINGLE, label, "%s GB", capa);
}

static void AddBaseInfo(PaneText *p, const ContData *record, uint8_t contNo, uint8_t target, const uint8_t *base)
{
    char text[160];
    uint64_t area = LayoutU64(base, SB_AREA_BLOCKS), used = LayoutU64(base, SB_USED_BLOCKS);
    used = used > area ? area : used;
    PaneHeading(p, "Snapshot Base LD(Logical Drive) Information");
    LdShortText(text, sizeof(text), record, contNo, base[SB_REPO_TARGET]);
    PaneLine(p, PANE_SINGLE, "Associated Repository LD", "%s", text);
    PaneLine(p, PANE_SINGLE, "Snapshot State", "%s", base[SB_STATE] == 1 ? "Operational" : "Non Operational");
    CapacityLine(p, "Total Capacity", area, area, 0);
    CapacityLine(p, "Capacity Used", used, area, 1);
    CapacityLine(p, "Capacity Remaining", area - used, area, 1);
    PaneLine(p, PANE_SINGLE, "Auto Deletion of oldest Snapshot", "%s", EnabledText(AutoDeleteEnabled(record, target)));
    PaneLine(p, PANE_SINGLE, "Snapshot on Reboot", "%s", EnabledText(AutoSnapshotEnabled(record, target)));
    FixedFieldText(text, sizeof(text), base + SB_OS_DISK_NAME, 16);
    PaneLine(p, PANE_SINGLE, "OS disk name", "%s", text[0] != '\0' ? text : "-");
}

static void AddRepositoryInfo(PaneText *p, const ContData *record, uint8_t contNo, uint8_t target, const uint8_t *repo)
{
    char text[160];
    uint64_t total = LayoutU64(repo, SR_TOTAL_BLOCKS), used = LayoutU64(repo, SR_USED_BLOCKS);
    used = used > total ? total : used;
    PaneHeading(p, "Snapshot Repository LD(Logical Drive) Information");
    LdShortText(text, sizeof(text), record, contNo, target);
    PaneLine(p, PANE_SINGLE, "Snapshot Repository LD", "%s", text);
    CapacityLine(p, "Total Capacity", total, total, 0);
    CapacityLine(p, "Capacity Used", used, total, 1);
    CapacityLine(p, "Capacity Remaining", total - used, total, 1);
    PaneLine(p, PANE_SINGLE, "Associated Base LD", "%s", "");
    unsigned bases = repo[SR_BASE_COUNT] > LD_MAX ? (unsigned)LD_MAX : repo[SR_BASE_COUNT];
    for (unsigned i = 0; i < bases; i++) {
        uint8_t base = repo[SR_HEADER_SIZE + SR_ENTRY_SIZE * i + SR_ENTRY_BASE_TARGET];
        if (base >= LD_MAX)
            continue;
        LdShortText(text, sizeof(text), record, contNo, base);
        PaneAdd(p, "%s %s\r\n", "Snapshot Base", text);
    }
}

int BuildSnapshotInfoPane(const ContData *record, uint8_t contNo, uint8_t targetId, PaneText *p)
{
    PaneReset(p);
    if (targetId >= LD_MAX)
        return 0;
    const uint8_t *base = BaseInfo(record, targetId);
    if (base) {
        AddBaseInfo(p, record, contNo, targetId, base);
        return 1;
    }
    if (record->repositoryInfo[targetId]) {
        AddRepositoryInfo(p, record, contNo, targetId, record->repositoryInfo[targetId]);
        return 1;
    }
    return 0;
}

int BuildViewInfoPane(const ContData *record, uint8_t contNo, uint8_t baseTargetId, uint8_t viewTargetId, PaneText *p)
{
    (void)contNo;
    PaneReset(p);
    const uint8_t *base = baseTargetId < LD_MAX ? BaseInfo(record, baseTargetId) : 0;
    if (!base)
        return 0;
    for (unsigned i = 0; i < ViewCount(base); i++) {
        const uint8_t *view = ViewAt(base, i);
        if (!view || view[SV_TARGET] != viewTargetId)
            continue;
        char text[64];
        ZavDate made;
        PaneHeading(p, "Snapshot View Information");
        PaneLine(p, PANE_SINGLE, "TargetID", "%u", (unsigned)view[SV_TARGET]);
        FixedFieldText(text, sizeof(text), view + SV_NAME, 16);
        PaneLine(p, PANE_SINGLE, "View Name", "%s", text);
        DateFromSeconds(LayoutU32(view, SV_TIME), &made);
        PaneLine(p, PANE_SINGLE, "Time Of View Creation", "%04d-%02d-%02d %02d:%02d", (int)made.year, (int)made.month,
                 (int)made.day, (int)made.hour, (int)made.minute);
        PaneLine(p, PANE_SINGLE, "Status", "%s", view[SV_STATUS] == 1 ? "Active" : "Inactive");
        FixedFieldText(text, sizeof(text), view + SV_OS_DISK_NAME, 16);
        PaneLine(p, PANE_SINGLE, "OS Disk Name", "%s", text[0] != '\0' ? text : "-");
        PaneLine(p, PANE_SINGLE, "Access Policy", "%s", ViewAccessText(view[SV_ACCESS]));
        const uint8_t *pit = FindPitByNumber(base, LayoutU32(view, SV_PIT_NUMBER));
        if (pit) {
            FixedFieldText(text, sizeof(text), pit + SP_NAME, 16);
            PaneLine(p, PANE_SINGLE, "Snapshot Name", "%s", text);
            DateTimeText(text, sizeof(text), LayoutU32(pit, SP_TIME));
            PaneLine(p, PANE_SINGLE, "Time Of Snapshot Creation", "%s", text);
        }
        return 1;
    }
    return 0;
}
