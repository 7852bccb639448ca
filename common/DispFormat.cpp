// Display conversions: RAID levels, states, policies, progress, capacities, PD usage, RAID-group
// names, SAS addresses and controller dates, as the information commands print them.
#include "common/DispFormat.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/FormatCheck.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"

#define ROWS(table) ((unsigned)(sizeof(table) / sizeof((table)[0])))

// ---------------------------------------------------------------------------------------------
// Name tables
// ---------------------------------------------------------------------------------------------
static const DispName kRaidLevels[] = {
    {0, "RAID0"}, {1, "RAID1"}, {2, "RAID5"}, {3, "RAID6"}, {4, "RAID10"},
};
static const DispName kPdStates[] = {
    {0, "Unconfig GOOD"}, {1, "Unconfig BAD"}, {2, "HOT SPARE"}, {16, "OFFLINE"},
    {17, "FAILED"},       {20, "REBUILD"},     {32, "COPYBACK"}, {24, "ONLINE"},
};
static const DispName kLdStates[] = {
    {3, "OPTIMAL"}, {2, "DEGRADED"}, {1, "PARTIALLY DEGRADED"}, {0, "OFFLINE"},
};
static const DispName kStripeSizes[] = {
    {4, "8K"}, {5, "16K"}, {6, "32K"}, {7, "64K"}, {8, "128K"}, {9, "256K"}, {10, "512K"}, {11, "1M"},
};
static const DispName kWritePolicies[] = {
    {0, "Write Through"}, {17, "Always Write Back"}, {1, "Write Back"},
};
static const DispName kReadPolicies[] = {{0, "No Read Ahead"}, {4, "Always Read Ahead"}};
static const DispName kIoPolicies[] = {{0, "Direct IO"}, {96, "Cached IO"}};
static const DispName kAccessPolicies[] = {{0, "Read Write"}, {2, "Read Only"}, {3, "Blocked"}};
static const DispName kDiskCachePolicies[] = {{0, "Unchanged"}, {1, "Enabled"}, {2, "Disabled"}};

enum { WRITE_POLICY_MASK = 0x13, READ_POLICY_MASK = 0x0C, IO_POLICY_MASK = 0x60, WRITE_BACK = 1, ALWAYS_WRITE_BACK = 17 };

static const char kEmbeddedProductName[] = "LSI Embedded MegaRAID";

const char *DispLookupName(const DispName *table, unsigned rows, uint16_t code)
{
    for (unsigned i = 0; i < rows; i++) {
        if (table[i].code == code)
            return table[i].name;
    }
    return NULL;
}

void FixedFieldText(char *out, size_t size, const uint8_t *field, size_t width)
{
    size_t n = 0;
    while (n < width && n + 1 < size && field[n] != '\0') {
        out[n] = (char)field[n];
        n++;
    }
    out[n] = '\0';
}

int DispCopy(char *out, size_t size, const char *text)
{
    if (size == 0)
        return 0;
    size_t n = strlen(text);
    if (n >= size)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
    return (int)n;
}

// snprintf that reports the length actually written (cut to fit).
ZAV_PRINTF_FORMAT(3, 4) static int DispPrintf(char *out, size_t size, const char *format, ...)
{
    if (size == 0)
        return 0;
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(out, size, format, ap);
    va_end(ap);
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return (size_t)n >= size ? (int)(size - 1) : n;
}

// Appends to a text already in out; returns the new length.
static int DispAppend(char *out, size_t size, int len, const char *text)
{
    if (size == 0 || (size_t)len >= size)
        return len;
    return len + DispCopy(out + len, size - (size_t)len, text);
}

static int NameOrEmpty(char *out, size_t size, const char *name)
{
    return DispCopy(out, size, name ? name : "");
}

// ---------------------------------------------------------------------------------------------
// RAID level, states, media
// ---------------------------------------------------------------------------------------------
int RaidlvlToStr(char *out, size_t size, int raidLevel, uint8_t contNo)
{
    const char *name = (raidLevel >= 0 && raidLevel <= 0xFFFF)
        ? DispLookupName(kRaidLevels, ROWS(kRaidLevels), (uint16_t)raidLevel) : NULL;
    if (name == NULL)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s contNo=%u raidlvl=%u", "RaidlvlToStr", "raidlvl_Invalid", (unsigned)contNo,
                  (unsigned)raidLevel);
    return NameOrEmpty(out, size, name);
}

int LdRaidLevel(const uint8_t *ldInfo)
{
    switch (ldInfo[LI_PRIMARY_RAID]) {
    case 0:
        return RAIDLVL_0;
    case 1:
        return ldInfo[LI_SPAN_DEPTH] < 2 ? RAIDLVL_1 : RAIDLVL_10;
    case 5:
        return RAIDLVL_5;
    case 6:
        return RAIDLVL_6;
    default:
        return RAIDLVL_INVALID;
    }
}

int PdStateText(char *out, size_t size, uint16_t fwState)
{
    const char *name = DispLookupName(kPdStates, ROWS(kPdStates), fwState);
    return DispCopy(out, size, name ? name : "UNKNOWN");
}

int LdStateName(char *out, size_t size, uint8_t ldState)
{
    const char *name = DispLookupName(kLdStates, ROWS(kLdStates), ldState);
    return DispCopy(out, size, name ? name : "UNKNOWN");
}

int MediaTypeText(char *out, size_t size, const uint8_t *pdInfo)
{
    switch (pdInfo[PI_MEDIA_TYPE] & 0x0F) {
    case 0:
        return DispCopy(out, size, "HDD");
    case 1:
        return DispCopy(out, size, "SSD");
    default:
        return DispCopy(out, size, "Not defined");
    }
}

int LdErrorText(char *out, size_t size, const uint8_t *ldInfo)
{
    int len = DispCopy(out, size, "");
    if (ldInfo[LI_CONSISTENT] == 0)
        len = DispAppend(out, size, len, "Not Consistent");
    if (ldInfo[LI_BAD_BLOCKS] != 0) {
        if (len > 0)
            len = DispAppend(out, size, len, ", ");
        len = DispAppend(out, size, len, "Bad blocks exist");
    }
    if (len == 0)
        len = DispCopy(out, size, "-");
    return len;
}

// ---------------------------------------------------------------------------------------------
// Stripe sizes and policies
// ---------------------------------------------------------------------------------------------
int StripeSizeText(char *out, size_t size, uint8_t stripeCode)
{
    return NameOrEmpty(out, size, DispLookupName(kStripeSizes, ROWS(kStripeSizes), stripeCode));
}

unsigned CtrlStripeSizes(const uint8_t *ctrlInfo, DispName *rows, unsigned maxRows)
{
    int minCode = ctrlInfo[CI_STRIPE_MIN];
    int maxCode = ctrlInfo[CI_STRIPE_MAX];
    unsigned first = 0;
    for (unsigned i = 0; i < ROWS(kStripeSizes); i++) {
        if (kStripeSizes[i].code == minCode) {
            first = i;
            break;
        }
    }
    int wanted = maxCode - minCode + 1;
    unsigned n = 0;
    for (unsigned i = first; wanted > 0 && i < ROWS(kStripeSizes) && n < maxRows; i++, wanted--)
        rows[n++] = kStripeSizes[i];
    return n;
}

unsigned CtrlWritePolicies(const uint8_t *ctrlInfo, DispName *rows, unsigned maxRows)
{
    unsigned n = 0;
    for (unsigned i = 0; i < ROWS(kWritePolicies) && n < maxRows; i++) {
        if (kWritePolicies[i].code == WRITE_BACK && !CtrlHasCacheBackupUnit(ctrlInfo))
            continue;
        rows[n++] = kWritePolicies[i];
    }
    return n;
}

static const char *OfferedWritePolicy(const uint8_t *ctrlInfo, uint16_t code)
{
    DispName offered[ROWS(kWritePolicies)];
    unsigned n = CtrlWritePolicies(ctrlInfo, offered, ROWS(offered));
    return DispLookupName(offered, n, code);
}

int DefaultWritePolicyText(char *out, size_t size, const uint8_t *ldInfo, const uint8_t *ctrlInfo)
{
    return NameOrEmpty(out, size, OfferedWritePolicy(ctrlInfo, ldInfo[LI_DEFAULT_CACHE] & WRITE_POLICY_MASK));
}

int CurrentWritePolicyText(char *out, size_t size, const uint8_t *ldInfo, const uint8_t *ctrlInfo)
{
    uint16_t code = ldInfo[LI_CURRENT_CACHE] & WRITE_POLICY_MASK;
    if (code == WRITE_BACK || code == ALWAYS_WRITE_BACK)
        return DispCopy(out, size, "Write Back");
    return NameOrEmpty(out, size, OfferedWritePolicy(ctrlInfo, code));
}

int ReadPolicyText(char *out, size_t size, const uint8_t *ldInfo)
{
    return NameOrEmpty(out, size,
                       DispLookupName(kReadPolicies, ROWS(kReadPolicies), ldInfo[LI_DEFAULT_CACHE] & READ_POLICY_MASK));
}

int IoPolicyText(char *out, size_t size, const uint8_t *ldInfo)
{
    return NameOrEmpty(out, size,
                       DispLookupName(kIoPolicies, ROWS(kIoPolicies), ldInfo[LI_DEFAULT_CACHE] & IO_POLICY_MASK));
}

int AccessPolicyText(char *out, size_t size, const uint8_t *ldInfo)
{
    return NameOrEmpty(out, size, DispLookupName(kAccessPolicies, ROWS(kAccessPolicies), ldInfo[LI_ACCESS_POLICY]));
}

int DiskCachePolicyText(char *out, size_t size, const uint8_t *ldInfo)
{
    return NameOrEmpty(out, size, DispLookupName(kDiskCachePolicies, ROWS(kDiskCachePolicies), ldInfo[LI_DISK_CACHE]));
}

int WritePolicyShown(const char *productNameOfFirstCtrl)
{
    // The product name field holds at most 80 characters and need not be terminated.
    size_t n = 0;
    while (n < 80 && productNameOfFirstCtrl[n] != '\0')
        n++;
    if (n > sizeof(kEmbeddedProductName) - 1)
        return 1;
    return strncmp(productNameOfFirstCtrl, kEmbeddedProductName, n) != 0;
}

int LdSettingsRows(const ContData *records, const ContData *record, const uint8_t *ldInfo, LdSettingRow *rows)
{
    int count = 0;
    rows[count].name = "Access Policy";
    AccessPolicyText(rows[count].text, sizeof(rows[count].text), ldInfo);
    rows[++count].name = "Disk Cache Policy";
    DiskCachePolicyText(rows[count].text, sizeof(rows[count].text), ldInfo);
    rows[++count].name = "Read Policy";
    ReadPolicyText(rows[count].text, sizeof(rows[count].text), ldInfo);
    rows[++count].name = "IO Policy";
    IoPolicyText(rows[count].text, sizeof(rows[count].text), ldInfo);
    ++count;
    char firstName[81];
    ProductNameOfFirstCtrl(records, firstName, sizeof(firstName));
    if (!WritePolicyShown(firstName))
        return count;
    rows[count].name = "Current Write Policy";
    CurrentWritePolicyText(rows[count].text, sizeof(rows[count].text), ldInfo, record->ctrlInfo);
    rows[++count].name = "Default Write Policy";
    DefaultWritePolicyText(rows[count].text, sizeof(rows[count].text), ldInfo, record->ctrlInfo);
    return count + 1;
}

// ---------------------------------------------------------------------------------------------
// LD state and progress
// ---------------------------------------------------------------------------------------------
unsigned ProgressPercent(uint16_t progress)
{
    return (unsigned)progress * 100u / 65535u;
}

static uint16_t PdState(const ContData *rec, uint8_t slot)
{
    return LayoutU16(rec->pdInfo[slot], PI_FW_STATE);
}

// Slot of the copyback partner of a PD when that partner is copying back; 0 when none.
static int CopybackPartnerSlot(const ContData *rec, uint8_t slot, uint8_t *partnerSlot)
{
    uint16_t partner = LayoutU16(rec->pdInfo[slot], PI_COPYBACK_PARTNER);
    if (partner == 0xFFFF || !SlotOfDevice(rec, partner, partnerSlot))
        return 0;
    return PdState(rec, *partnerSlot) == PD_STATE_COPYBACK;
}

static unsigned MemberSlots(const ContData *rec, uint8_t target, uint8_t *slots)
{
    uint16_t count = 0;
    if (!LdMemberSlots(rec, target, slots, CONTDATA_PD_SLOTS, &count))
        return 0;
    return count > CONTDATA_PD_SLOTS ? (unsigned)CONTDATA_PD_SLOTS : (unsigned)count;
}

int LdStateText(char *out, size_t size, const ContData *rec, uint8_t target)
{
    int len = LdStateName(out, size, rec->ldInfo[target][LI_STATE]);
    uint8_t slots[CONTDATA_PD_SLOTS];
    unsigned count = MemberSlots(rec, target, slots);
    for (unsigned i = 0; i < count; i++) {
        uint8_t partner;
        const char *state = NULL;
        if (PdState(rec, slots[i]) == PD_STATE_REBUILD)
            state = "(REBUILD)";
        else if (CopybackPartnerSlot(rec, slots[i], &partner))
            state = "(COPYBACK)";
        if (state != NULL)
            return DispAppend(out, size, len, state);
    }
    return len;
}

int PdOperationText(char *out, size_t size, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    uint16_t state = LayoutU16(pd, PI_FW_STATE);
    uint32_t active = LayoutU32(pd, PI_PROGRESS_BLOCK + PPG_ACTIVE);
    unsigned rebuild = ProgressPercent(LayoutU16(pd, PI_PROGRESS_BLOCK + PPG_REBUILD_PROGRESS));
    if (state == PD_STATE_COPYBACK || (active & PD_PROG_COPYBACK))
        return DispPrintf(out, size, "Copyback (%u%%)", rebuild);
    if (state == PD_STATE_REBUILD || (active & PD_PROG_REBUILD))
        return DispPrintf(out, size, "Rebuild (%u%%)", rebuild);
    if (active & PD_PROG_PATROL)
        return DispPrintf(out, size, "%u%% PatrolRead",
                          ProgressPercent(LayoutU16(pd, PI_PROGRESS_BLOCK + PPG_PATROL_PROGRESS)));
    return DispCopy(out, size, "-");
}

int LdProgressText(char *out, size_t size, const ContData *rec, uint8_t target)
{
    const uint8_t *ld = rec->ldInfo[target];
    uint32_t ops = LayoutU32(ld, LI_OPERATION_BITS);
    if (ops & LD_OP_INIT)
        return DispPrintf(out, size, "Initialize %u%%", ProgressPercent(LayoutU16(ld, LI_INIT_PROGRESS)));
    if (ops & LD_OP_CC)
        return DispPrintf(out, size, "CheckConsistency %u%%", ProgressPercent(LayoutU16(ld, LI_CC_PROGRESS)));

    uint8_t slots[CONTDATA_PD_SLOTS];
    unsigned count = MemberSlots(rec, target, slots);
    char parts[1024] = "";
    int partsLen = 0;
    const char *label = NULL;
    for (unsigned i = 0; i < count; i++) {
        uint8_t partner;
        uint8_t source;
        const char *memberLabel;
        if (CopybackPartnerSlot(rec, slots[i], &partner)) {
            source = partner;
            memberLabel = "Copyback (%s)";
        } else if (LayoutU32(rec->pdInfo[slots[i]], PI_PROGRESS_BITS) & 0x1) {
            source = slots[i];
            memberLabel = "Rebuild (%s)";
        } else {
            continue;
        }
        char part[32];
        DispPrintf(part, sizeof(part), "%u%%(PD%u)", ProgressPercent(LayoutU16(rec->pdInfo[source], PI_REBUILD_PROGRESS)),
                   (unsigned)source);
        if (label != NULL)
            partsLen = DispAppend(parts, sizeof(parts), partsLen, " ,");
        partsLen = DispAppend(parts, sizeof(parts), partsLen, part);
        label = memberLabel;
    }
    if (label == NULL)
        return DispCopy(out, size, "-");
    return DispPrintf(out, size, label, parts);
}

// ---------------------------------------------------------------------------------------------
// Capacities
// ---------------------------------------------------------------------------------------------
uint64_t CalcLDCapa(int raidLevel, unsigned driveCount, uint64_t driveBlocks, uint8_t contNo)
{
    switch (raidLevel) {
    case RAIDLVL_0:
        return (uint64_t)driveCount * driveBlocks;
    case RAIDLVL_1:
        return driveBlocks;
    case RAIDLVL_5:
        return driveCount >= 1 ? (uint64_t)(driveCount - 1) * driveBlocks : 0;
    case RAIDLVL_6:
        return driveCount >= 2 ? (uint64_t)(driveCount - 2) * driveBlocks : 0;
    case RAIDLVL_10:
        return (uint64_t)(driveCount / 2) * driveBlocks;
    default:
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, raidlvl=%u", "CalcLDCapa", "raidlvl invalid", (unsigned)contNo,
                  (unsigned)raidLevel);
        return 0;
    }
}

uint64_t LdSpanBlocks(const uint8_t *ldInfo)
{
    for (unsigned k = 0; k < LI_MAX_SPANS; k++) {
        uint64_t blocks = LayoutU64(ldInfo, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_BLOCKS);
        if (blocks != 0)
            return blocks;
    }
    return 0;
}

unsigned LdDriveCount(const uint8_t *ldInfo)
{
    return (unsigned)ldInfo[LI_DRIVES_PER_SPAN] * ldInfo[LI_SPAN_DEPTH];
}

uint64_t SmallestPdBlocks(const ContData *rec, const uint8_t *slots, unsigned count, unsigned *chosenIndex)
{
    uint64_t smallest = 0;
    unsigned chosen = 0;
    for (unsigned i = 0; i < count; i++) {
        uint64_t blocks = LayoutU64(rec->pdInfo[slots[i]], PI_COERCED_SIZE);
        if (i == 0 || blocks < smallest) {
            smallest = blocks;
            chosen = i;
        }
    }
    if (chosenIndex)
        *chosenIndex = chosen;
    return smallest;
}

int CapacityText(char *out, size_t size, uint64_t blocks)
{
    double gigabytes = (double)(blocks >> 11) * 0.0009765625;
    return DispPrintf(out, size, "%0.3f", gigabytes);
}

// ---------------------------------------------------------------------------------------------
// PD usage and RAID groups
// ---------------------------------------------------------------------------------------------
int PdLdListText(char *out, size_t size, const ContData *rec, uint8_t slot)
{
    uint16_t deviceId;
    uint16_t arrayRef;
    if (!DeviceOfSlot(rec, slot, &deviceId) || !ArrayRefOfDevice(rec, deviceId, &arrayRef) || arrayRef >= CONTDATA_ARRAYS)
        return DispCopy(out, size, "-");
    const uint8_t *array = rec->arrayInfo[arrayRef];
    uint32_t ldCount = LayoutU32(array, AI_LD_COUNT);
    if (ldCount == 0)
        return DispCopy(out, size, "-");
    if (ldCount > CONTDATA_LD_TARGETS)
        ldCount = CONTDATA_LD_TARGETS;
    int len = DispPrintf(out, size, "LD%u", (unsigned)array[AI_LDS]);
    for (uint32_t k = 1; k < ldCount; k++) {
        char more[16];
        DispPrintf(more, sizeof(more), ", %u", (unsigned)array[AI_LDS + AI_LD_ENTRY_SIZE * k]);
        len = DispAppend(out, size, len, more);
    }
    return len;
}

int PdUsageText(char *out, size_t size, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    uint16_t ddf = LayoutU16(pd, PI_DDF_TYPE);
    if (ddf & PD_DDF_FOREIGN)
        return DispCopy(out, size, "RLD");
    switch (LayoutU16(pd, PI_FW_STATE)) {
    case PD_STATE_UNCONF_GOOD:
    case PD_STATE_UNCONF_BAD:
        return DispCopy(out, size, "None");
    case PD_STATE_HOT_SPARE:
        return DispCopy(out, size, (ddf & PD_DDF_GLOBAL_SPARE) ? "GHS" : "DHS");
    case PD_STATE_OFFLINE:
    case PD_STATE_FAILED:
    case PD_STATE_REBUILD:
    case PD_STATE_ONLINE:
        return PdLdListText(out, size, rec, slot);
    default:
        return DispCopy(out, size, "-");
    }
}

int RaidGroupName(char *out, size_t size, const ContData *rec, uint16_t arrayRef)
{
    if (arrayRef >= CONTDATA_ARRAYS)
        return DispCopy(out, size, "-");
    uint8_t firstLd = rec->arrayInfo[arrayRef][AI_LDS];
    if (firstLd >= CONTDATA_LD_TARGETS)
        return DispCopy(out, size, "-");
    const uint8_t *ld = rec->ldInfo[firstLd];
    const RaidGroupEntry *rg = &rec->rgNumbering.entries[arrayRef];
    if (ld[LI_SPAN_DEPTH] >= 2)
        return DispPrintf(out, size, "sRG%u", (unsigned)rg->rgNo);
    if (ld[LI_CACHECADE] != 0)
        return DispPrintf(out, size, "scRG%u", (unsigned)rg->cacheCadeRgNo);
    return DispPrintf(out, size, "RG%u", (unsigned)rg->rgNo);
}

int PdRaidGroupText(char *out, size_t size, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    uint16_t ddf = LayoutU16(pd, PI_DDF_TYPE);
    uint16_t deviceId = LayoutU16(pd, PI_DEVICE_ID);
    if (ddf & PD_DDF_SPARE) {
        // A global spare serves no RAID group. Whether a spare is global is the PD's own DDF bit:
        // the spare entry is read only for the array reference of the first array a dedicated
        // spare serves.
        if (ddf & PD_DDF_GLOBAL_SPARE)
            return DispCopy(out, size, "-");
        const uint8_t *config = rec->config;
        uint16_t spares = config ? ConfigSpareCount(config) : 0;
        for (uint16_t i = 0; i < spares; i++) {
            const ConfigSpare *spare = ConfigSpareAt(config, i);
            if (spare != NULL && spare->deviceId == deviceId)
                return RaidGroupName(out, size, rec, spare->arrayRefs[0]);
        }
        return DispCopy(out, size, "-");
    }
    uint16_t arrayRef;
    if ((ddf & PD_DDF_IN_LD) && ArrayRefOfDevice(rec, deviceId, &arrayRef))
        return RaidGroupName(out, size, rec, arrayRef);
    return DispCopy(out, size, "-");
}

// ---------------------------------------------------------------------------------------------
// SAS addresses
// ---------------------------------------------------------------------------------------------
int SasAddressDigits(char *out, size_t size, uint64_t sasAddress)
{
    return DispPrintf(out, size, "%08X%08X", (unsigned)(uint32_t)(sasAddress >> 32), (unsigned)(uint32_t)sasAddress);
}

int SasAddressText(char *out, size_t size, uint64_t sasAddress)
{
    return DispPrintf(out, size, "0x%08X%08X", (unsigned)(uint32_t)(sasAddress >> 32), (unsigned)(uint32_t)sasAddress);
}

// ---------------------------------------------------------------------------------------------
// Controller dates
// ---------------------------------------------------------------------------------------------
int IsLeapYear(unsigned year)
{
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

static unsigned MonthLength(unsigned year, unsigned month)
{
    static const uint8_t kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2)
        return IsLeapYear(year) ? 29 : 28;
    return (month >= 1 && month <= 12) ? kLengths[month - 1] : 0;
}

static unsigned YearLength(unsigned year)
{
    return IsLeapYear(year) ? 366 : 365;
}

int DateFromSeconds(uint32_t seconds, ZavDate *date)
{
    long days = (long)(seconds / 86400u);
    unsigned year = 2000;
    while (days > 364) {
        days -= (long)YearLength(year);
        year++;
    }
    unsigned month = 1;
    if (days == -1) {
        // The last day of a leap year: the loop above went one year too far.
        year--;
        month = 12;
        days = 30;
    } else {
        while (month < 12 && (unsigned long)days >= MonthLength(year, month)) {
            days -= (long)MonthLength(year, month);
            month++;
        }
    }
    uint32_t rest = seconds % 86400u;
    date->year = (uint16_t)year;
    date->month = (uint8_t)month;
    date->day = (uint8_t)(days + 1);
    date->hour = (uint8_t)(rest / 3600u);
    date->minute = (uint8_t)(rest % 3600u / 60u);
    date->second = (uint8_t)(rest % 60u);
    return 1;
}

uint32_t SecondsFromDate(unsigned year, unsigned month, unsigned day, unsigned hour)
{
    uint32_t days = 0;
    for (unsigned y = 2000; y < year; y++)
        days += YearLength(y);
    if (month > 1)
        days += 31;
    if (month > 2)
        days += MonthLength(year, 2);
    for (unsigned m = 3; m < month && m <= 12; m++)
        days += MonthLength(year, m);
    return (hour + (day + days - 1) * 24u) * 3600u;
}

// ---------------------------------------------------------------------------------------------
// Advanced options
// ---------------------------------------------------------------------------------------------
int AdvancedOptions(const uint8_t *ctrlInfo, AdvancedOptionSet *options)
{
    options->snapshot = (LayoutU32(ctrlInfo, CI_ADAPTER_OPS) & CI_ADAPTER_OP_SNAPSHOT) != 0;
    options->cacheCade = LayoutU16(ctrlInfo, CI_CACHECADE) != 0;
    options->fastPath = (LayoutU32(ctrlInfo, CI_LD_OPS) & CI_LD_OP_FASTPATH) != 0;
    return 1;
}
