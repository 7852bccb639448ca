// Answers about controllers, PDs, LDs, RAID groups and snapshot bases taken from the controller
// data record or one wire block, and the fixed texts that go with them.
#include "common/Facts.h"

#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/SnapSupport.h"

#define ROWS(table) (sizeof(table) / sizeof((table)[0]))

// ---------------------------------------------------------------------------------------------
// Controller
// ---------------------------------------------------------------------------------------------
int SmartOptionsSupported(const ContData *record)
{
    const uint8_t *info = record->ctrlInfo;
    char name[81];
    FixedFieldText(name, sizeof(name), info + CI_PRODUCT_NAME, 80);
    if (strcmp(name, "LSI Embedded MegaRAID") == 0)
        return 0;
    uint16_t subdevice = LayoutU16(info, CI_PCI_SUBDEVICE);
    if (LayoutU16(info, CI_PCI_VENDOR) == 0x1000 && LayoutU16(info, CI_PCI_DEVICE) == 0x0079 &&
        LayoutU16(info, CI_PCI_SUBVENDOR) == 0x1000 && (subdevice == 0x9263 || subdevice == 0x9280))
        return 0;
    return 1;
}

int CtrlHasCacheBackupUnit(const uint8_t *ctrlInfo)
{
    return (LayoutU32(ctrlInfo, CI_HW_PRESENT) & CI_HW_CACHE_BACKUP) != 0;
}

int ProductNameOfFirstCtrl(const ContData *records, char *out, size_t size)
{
    char name[81];
    memcpy(name, records[0].ctrlInfo + CI_PRODUCT_NAME, 80);
    name[80] = '\0';
    return DispCopy(out, size, name);
}

const char *YesNoText(int yes)
{
    return yes ? "Yes" : "No";
}

const char *EnabledText(int enabled)
{
    return enabled ? "Enabled" : "Disabled";
}

const char *PatrolIntervalText(uint32_t seconds)
{
    switch (seconds) {
    case 3600:
        return "Hourly";
    case 86400:
        return "Daily";
    case 604800:
        return "Weekly";
    case 2592000:
        return "Monthly";
    default:
        return NULL;
    }
}

const char *CacheBackupTypeText(uint8_t type)
{
    static const char *const kTypes[] = {"No Battery", "IBBU", "BBU", "ZCR_LEGACY", "iTBBU3", "iBBU08", "SuperCAP"};
    return type < ROWS(kTypes) ? kTypes[type] : "Not defined";
}

const char *LearnModeText(uint8_t mode)
{
    static const char *const kModes[] = {"Automatic", "Disabled", "Warning Only"};
    return mode < ROWS(kModes) ? kModes[mode] : "Not defined";
}

// ---------------------------------------------------------------------------------------------
// PD
// ---------------------------------------------------------------------------------------------
int MorePdIsDisk(const ContData *record, uint8_t slotNo)
{
    uint16_t deviceId = 0;
    return DeviceOfSlot(record, slotNo, &deviceId) != 0;
}

unsigned DisksAmongSlots(const ContData *record, const uint8_t *slots, unsigned slotCount, uint8_t *disks)
{
    unsigned count = 0;
    for (unsigned s = 0; s < slotCount; s++) {
        if (MorePdIsDisk(record, slots[s]))
            disks[count++] = slots[s];
    }
    return count;
}

unsigned PdInterfaceType(const uint8_t *pdInfo)
{
    return LayoutU16(pdInfo, PI_DDF_TYPE) >> 12;
}

unsigned PdMediaType(const uint8_t *pdInfo)
{
    return pdInfo[PI_MEDIA_TYPE] & 0x0F;
}

uint64_t PdUsableBlocks(const uint8_t *pdInfo)
{
    return LayoutU64(pdInfo, PI_COERCED_SIZE);
}

int PdIsFreeForNewGroup(const uint8_t *pdInfo)
{
    return LayoutU16(pdInfo, PI_FW_STATE) == PD_STATE_UNCONF_GOOD && (LayoutU16(pdInfo, PI_DDF_TYPE) & PD_DDF_FOREIGN) == 0;
}

int PdsFreeForNewGroup(const ContData *record, const uint8_t *slots, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!PdIsFreeForNewGroup(record->pdInfo[slots[i]]))
            return 0;
    }
    return 1;
}

const char *InterfaceTypeText(uint16_t ddfType)
{
    static const char *const kTypes[] = {"Unknown", "Parallel SCSI", "SAS", "SATA", "Fiber Channel"};
    unsigned kind = ddfType >> 12;
    return kind < ROWS(kTypes) ? kTypes[kind] : "Not defined";
}

const char *LinkSpeedText(uint8_t code)
{
    static const char *const kSpeeds[] = {"Unknown", "1.5 Gbps", "3.0 Gbps", "6.0 Gbps"};
    return code < ROWS(kSpeeds) ? kSpeeds[code] : "Unknown";
}

const char *PowerStatusText(uint8_t state)
{
    if (state == 0)
        return "On";
    if (state == 1)
        return "Off";
    return state == 255 ? "Transitioning" : "Unknown";
}

const char *SensorStatusText(uint8_t status)
{
    static const char *const kNames[] = {"Unsupported", "OK", "Critical", "Non Critical", "Unrecoverable",
                                         "Not Installed", "Unknown", "Not Available"};
    return status < ROWS(kNames) ? kNames[status] : "Invalid";
}

const char *EnclosureModelText(uint8_t model)
{
    return model == ENCL_MODEL_SAFTE ? "SAFTE" : model == ENCL_MODEL_BACKPLANE ? "Backplane" : "Not defined";
}

static void CompareWithMember(const ContData *record, const uint8_t *pdInfo, uint16_t memberDevice,
                              PdComparison *result)
{
    uint8_t memberSlot = 0;
    if (memberDevice == ARM_DEVICE_MISSING || !SlotOfDevice(record, memberDevice, &memberSlot))
        return;
    const uint8_t *member = record->pdInfo[memberSlot];
    if (LayoutU16(member, PI_DEVICE_ID) == LayoutU16(pdInfo, PI_DEVICE_ID))
        return;
    result->otherInterface |= PdInterfaceType(member) != PdInterfaceType(pdInfo);
    result->otherMedia |= PdMediaType(member) != PdMediaType(pdInfo);
    result->smaller |= PdUsableBlocks(pdInfo) < PdUsableBlocks(member);
}

static void CompareWithArray(const ContData *record, const uint8_t *pdInfo, const ConfigArray *array,
                             PdComparison *result)
{
    for (unsigned j = 0; j < array->driveCount && j < ARRAY_MAX_ARMS; ++j)
        CompareWithMember(record, pdInfo, array->arms[j].deviceId, result);
}

PdComparison CompareWithAllGroups(const ContData *record, uint8_t slot)
{
    PdComparison result = {0, 0, 0};
    uint16_t arrays = ConfigArrayCount(record->config);
    for (uint16_t i = 0; i < arrays; ++i) {
        const ConfigArray *array = ConfigArrayAt(record->config, i);
        if (array->arrayRef < CONTDATA_ARRAYS && record->rgNumbering.entries[array->arrayRef].cacheCade)
            continue;
        CompareWithArray(record, record->pdInfo[slot], array, &result);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// RAID groups of hot spares
// ---------------------------------------------------------------------------------------------
static int RaidGroupKnown(const RaidGroupChoice *choices, unsigned count, const char *name)
{
    for (unsigned i = 0; i < count; ++i)
        if (strcmp(choices[i].name, name) == 0)
            return (int)i;
    return -1;
}

unsigned CollectRaidGroups(const ContData *record, RaidGroupChoice *choices)
{
    unsigned count = 0;
    uint16_t arrays = ConfigArrayCount(record->config);
    for (uint16_t i = 0; i < arrays && count < RG_CHOICES_MAX; ++i) {
        uint16_t arrayRef = ConfigArrayAt(record->config, i)->arrayRef;
        if (arrayRef >= CONTDATA_ARRAYS || LayoutU32(record->arrayInfo[arrayRef], AI_LD_COUNT) == 0)
            continue;
        if (record->rgNumbering.entries[arrayRef].cacheCade)
            continue;
        char name[16];
        RaidGroupName(name, sizeof(name), record, arrayRef);
        int known = RaidGroupKnown(choices, count, name);
        RaidGroupChoice *choice = known >= 0 ? &choices[known] : &choices[count];
        if (known < 0) {
            memset(choice, 0, sizeof(*choice));
            DispCopy(choice->name, sizeof(choice->name), name);
            choice->firstLd = record->arrayInfo[arrayRef][AI_LDS];
            ++count;
        }
        if (choice->arrayCount < LI_MAX_SPANS)
            choice->arrayRefs[choice->arrayCount++] = arrayRef;
    }
    return count;
}

PdComparison CompareWithGroup(const ContData *record, uint8_t slot, const RaidGroupChoice *group)
{
    PdComparison result = {0, 0, 0};
    for (unsigned i = 0; i < group->arrayCount; ++i) {
        const ConfigArray *array = ConfigFindArray(record->config, group->arrayRefs[i]);
        if (array != NULL)
            CompareWithArray(record, record->pdInfo[slot], array, &result);
    }
    return result;
}

const char *DedicatedSpareRefusal(const PdComparison *comparison)
{
    if (comparison->otherInterface)
        return "Error - Controller[%d] Cannot create DHS(Dedicated Hot Spare) with the different Interface "
               "Type(SAS/SATA).";
    if (comparison->otherMedia)
        return "Error - Controller[%d] Cannot create DHS(Dedicated Hot Spare) with the different Media "
               "Type(HDD/SSD).";
    if (comparison->smaller)
        return "Error - Controller[%d] Cannot create DHS(Dedicated Hot Spare) with lower capacity than other "
               "configured PDs(Physical Drives).";
    return NULL;
}

int HasGlobalHotSpare(const ContData *record)
{
    const uint8_t *config = record->config;
    uint16_t spares = config != NULL ? ConfigSpareCount(config) : 0;
    for (uint16_t i = 0; i < spares; ++i) {
        const ConfigSpare *spare = ConfigSpareAt(config, i);
        if (spare != NULL && !(spare->spareType & SPARE_TYPE_DEDICATED))
            return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// LD
// ---------------------------------------------------------------------------------------------
int MoreLdExists(const ContData *record, uint8_t targetId)
{
    return LdListHas(record, targetId);
}

unsigned ExistingLds(const ContData *record, uint8_t *targets)
{
    unsigned count = 0;
    if (record->ldList == NULL)
        return 0;
    for (uint32_t i = 0; i < record->ldList->count && i < LD_MAX; ++i)
        targets[count++] = record->ldList->entries[i].targetId;
    return count;
}

unsigned FittingLds(const ContData *record, int (*fits)(const ContData *, uint8_t, uint8_t), uint8_t other,
                    uint8_t *targets)
{
    uint8_t all[LD_MAX];
    unsigned count = 0, total = ExistingLds(record, all);
    for (unsigned i = 0; i < total; ++i) {
        if (fits(record, all[i], other))
            targets[count++] = all[i];
    }
    return count;
}

unsigned CountCacheCadeLds(const ContData *record)
{
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets), cacheCade = 0;
    for (unsigned i = 0; i < count; ++i)
        cacheCade += LdIsCacheCade(record->ldInfo[targets[i]]) ? 1 : 0;
    return cacheCade;
}

int LdIsSnapshotBase(const uint8_t *ldInfo)
{
    return ldInfo[LI_SNAPSHOT_BASE] != 0;
}

int LdIsRepository(const uint8_t *ldInfo)
{
    return (ldInfo[LI_REPOSITORY] & 0x01) != 0;
}

int LdIsCacheCade(const uint8_t *ldInfo)
{
    return ldInfo[LI_CACHECADE] != 0;
}

int LdListText(char *out, size_t size, const uint8_t *targets, unsigned count)
{
    size_t used = 0;
    if (size == 0)
        return 0;
    out[0] = '\0';
    for (unsigned i = 0; i < count && used + 1 < size; ++i) {
        int n = snprintf(out + used, size - used, i == 0 ? "LD%u" : ", %u", targets[i]);
        if (n < 0)
            break;
        used += ((size_t)n < size - used) ? (size_t)n : size - used - 1;
    }
    return (int)used;
}

uint64_t LdCapacityBlocks(const uint8_t *ldInfo, uint8_t contNo)
{
    return CalcLDCapa(LdRaidLevel(ldInfo), LdDriveCount(ldInfo), LdSpanBlocks(ldInfo), contNo);
}

int LdSummaryText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t targetId)
{
    const uint8_t *ldInfo = record->ldInfo[targetId];
    char level[16], capacity[32], state[64];
    RaidlvlToStr(level, sizeof(level), LdRaidLevel(ldInfo), contNo);
    CapacityText(capacity, sizeof(capacity), LdCapacityBlocks(ldInfo, contNo));
    LdStateText(state, sizeof(state), record, targetId);
    return snprintf(out, size, "%s, %s GB, %s", level, capacity, state);
}

int LdNameText(char *out, size_t size, const uint8_t *ldInfo)
{
    char name[LD_NAME_LEN + 1];
    memcpy(name, ldInfo + LI_NAME, LD_NAME_LEN);
    name[LD_NAME_LEN - 1] = '\0';
    return DispCopy(out, size, name);
}

unsigned LdsOfSameRaidGroup(const ContData *record, uint8_t targetId, uint8_t *out)
{
    const uint8_t *ldInfo = record->ldInfo[targetId];
    unsigned count = 0;
    unsigned spans = ldInfo[LI_SPAN_DEPTH] == 0 ? 1 : ldInfo[LI_SPAN_DEPTH];
    for (unsigned k = 0; k < spans && k < LI_MAX_SPANS; ++k) {
        uint16_t arrayRef = LayoutU16(ldInfo, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_ARRAY_REF);
        if (arrayRef >= CONTDATA_ARRAYS)
            continue;
        const uint8_t *arrayInfo = record->arrayInfo[arrayRef];
        uint32_t lds = LayoutU32(arrayInfo, AI_LD_COUNT);
        for (uint32_t j = 0; j < lds && j < LD_MAX; ++j) {
            uint8_t target = arrayInfo[AI_LDS + AI_LD_ENTRY_SIZE * j];
            int seen = 0;
            for (unsigned i = 0; i < count; ++i)
                seen |= (out[i] == target);
            if (!seen && MoreLdExists(record, target))
                out[count++] = target;
        }
    }
    if (count == 0)
        out[count++] = targetId;
    return count;
}

static int LdNamesCacheCade(const uint8_t *ldInfo, uint8_t cacheCadeTarget)
{
    unsigned count = ldInfo[LI_CC_ASSOC_COUNT];
    for (unsigned i = 0; i < count && i < LI_CC_ASSOC_MAX; ++i)
        if (ldInfo[LI_CC_ASSOC + i] == cacheCadeTarget)
            return 1;
    return 0;
}

unsigned AssociatedCacheCadeLds(const ContData *record, uint8_t targetId, uint8_t *out)
{
    uint8_t all[LD_MAX];
    unsigned count = ExistingLds(record, all), found = 0;
    const uint8_t *self = record->ldInfo[targetId];
    for (unsigned i = 0; i < count; ++i) {
        if (all[i] == targetId)
            continue;
        const uint8_t *other = record->ldInfo[all[i]];
        int associated = LdIsCacheCade(self) ? LdNamesCacheCade(other, targetId)
                                             : (LdIsCacheCade(other) && LdNamesCacheCade(self, all[i]));
        if (associated)
            out[found++] = all[i];
    }
    return found;
}

unsigned NonCacheCadeLds(const ContData *record, uint8_t *targets)
{
    unsigned count = 0;
    const LdList *lds = record->ldList;
    for (uint32_t i = 0; lds != NULL && i < lds->count && i < LD_MAX; ++i) {
        uint8_t target = lds->entries[i].targetId;
        if (target < LD_MAX && !LdIsCacheCade(record->ldInfo[target]))
            targets[count++] = target;
    }
    return count;
}

int PdGroupLevelText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t slot)
{
    uint8_t targets[LD_MAX];
    uint16_t count = 0;
    int length = DispCopy(out, size, "-");
    if (!LdsOfPd(record, slot, targets, LD_MAX, &count) || count == 0 || targets[0] >= LD_MAX)
        return length;
    int level = LdRaidLevel(record->ldInfo[targets[0]]);
    if (level >= 0 && (length = RaidlvlToStr(out, size, level, contNo)) == 0)
        length = DispCopy(out, size, "-");
    return length;
}

int LdMemberDevices(const uint8_t *config, const uint8_t *ld, uint16_t *devices, int max)
{
    int count = 0;
    int spans = ld[LI_SPAN_DEPTH];
    for (int k = 0; k < spans && k < LI_MAX_SPANS; ++k) {
        const ConfigArray *array = ConfigFindArray(config, LayoutU16(ld, LI_SPANS + LI_SPAN_SIZE * k + LI_SPAN_ARRAY_REF));
        if (array == NULL)
            continue;
        for (int j = 0; j < array->driveCount && j < ARRAY_MAX_ARMS && count < max; ++j) {
            if (array->arms[j].deviceId != ARM_DEVICE_MISSING)
                devices[count++] = array->arms[j].deviceId;
        }
    }
    return count;
}

// ---------------------------------------------------------------------------------------------
// Snapshot bases and repositories
// ---------------------------------------------------------------------------------------------
const uint8_t *BaseInfo(const ContData *record, uint8_t target)
{
    return LdIsSnapshotBase(record->ldInfo[target]) ? record->snapshotInfo[target] : NULL;
}

unsigned PitCount(const uint8_t *base)
{
    return base != NULL ? base[SB_PIT_COUNT] : 0;
}

const uint8_t *PitAt(const uint8_t *base, unsigned index)
{
    return base + SB_HEADER_SIZE + SB_PIT_SIZE * index;
}

unsigned ViewCount(const uint8_t *base)
{
    return base != NULL ? base[SB_VIEW_COUNT] : 0;
}

const uint8_t *ViewAt(const uint8_t *base, unsigned index)
{
    return base + SB_HEADER_SIZE + SB_PIT_SIZE * PitCount(base) + SB_VIEW_SIZE * index;
}

static const uint8_t *FindPit(const uint8_t *base, size_t field, uint32_t value)
{
    for (unsigned i = 0; i < PitCount(base); ++i)
        if (LayoutU32(PitAt(base, i), field) == value)
            return PitAt(base, i);
    return NULL;
}

const uint8_t *FindPitByNumber(const uint8_t *base, uint32_t number)
{
    return FindPit(base, SP_NUMBER, number);
}

const uint8_t *FindPitByTime(const uint8_t *base, uint32_t seconds)
{
    return FindPit(base, SP_TIME, seconds);
}

int AutoDeleteEnabled(const ContData *record, uint8_t target)
{
    return (record->ldInfo[target][LP_SNAPSHOT_FLAGS] & LP_SNAP_NO_AUTO_DELETE) == 0;
}

int AutoSnapshotEnabled(const ContData *record, uint8_t target)
{
    return (record->ldInfo[target][LP_SNAPSHOT_FLAGS] & LP_SNAP_AUTO_SNAPSHOT) != 0;
}

int LdIsBase(const ContData *record, uint8_t target)
{
    return LdIsSnapshotBase(record->ldInfo[target]);
}

int LdIsBaseOrRepository(const ContData *record, uint8_t target)
{
    return LdIsSnapshotBase(record->ldInfo[target]) || LdIsRepository(record->ldInfo[target]);
}

uint64_t RepositoryFreeBlocks(const ContData *record, uint8_t contNo, uint8_t repo)
{
    const uint8_t *info = record->repositoryInfo[repo];
    if (LdIsRepository(record->ldInfo[repo]) && info != NULL)
        return LayoutU64(info, SR_FREE_BLOCKS);
    return LdCapacityBlocks(record->ldInfo[repo], contNo);
}

static const char kUnderInitialization[] =
    "Error - Controller[%d] Cannot enable Snapshot on the LD(Logical Drive) under Initialization.";

const char *BaseRefusal(const ContData *record, uint8_t base, uint8_t repository)
{
    const uint8_t *ldInfo = record->ldInfo[base];
    if (base == repository || LdIsRepository(ldInfo))
        return "Error - Controller[%d] The Snapshot Repository LD(Logical Drive) cannot be selected as Snapshot Base "
               "LD(Logical Drive).";
    if (LdIsCacheCade(ldInfo))
        return "Error - Controller[%d] Cannot enable Snapshot on CacheCade LD(Logical Drive).";
    if ((LayoutU32(ldInfo, LI_OPERATION_BITS) & LD_PROG_INIT) != 0)
        return kUnderInitialization;
    if (LdIsSnapshotBase(ldInfo) || ldInfo[LI_IS_VIEW] != 0)
        return "Error - Controller[%d] Snapshot has already been enabled on the LD(Logical Drive).";
    return NULL;
}

const char *RepositoryRefusal(const ContData *record, uint8_t repository)
{
    const uint8_t *ldInfo = record->ldInfo[repository];
    if (LdIsSnapshotBase(ldInfo) || ldInfo[LI_IS_VIEW] != 0)
        return "Error - Controller[%d] The Snapshot Base LD(Logical Drive) cannot be selected as Snapshot Repository "
               "LD(Logical Drive).";
    if (LdIsCacheCade(ldInfo))
        return "Error - Controller[%d] Cannot use CacheCade LD(Logical Drive) as Snapshot Repository LD(Logical "
               "Drive).";
    if ((LayoutU32(ldInfo, LI_OPERATION_BITS) & LD_PROG_INIT) != 0)
        return kUnderInitialization;
    return NULL;
}

int LdFitsSnapshotBase(const ContData *record, uint8_t target, uint8_t other)
{
    (void)other;
    return BaseRefusal(record, target, SNAP_INFO_NONE) == NULL;
}

int LdFitsRepository(const ContData *record, uint8_t target, uint8_t base)
{
    return target != base && RepositoryRefusal(record, target) == NULL;
}

int LdFitsSnapshotDisable(const ContData *record, uint8_t target, uint8_t other)
{
    (void)other;
    return LdIsBase(record, target);
}

int DateTimeText(char *out, size_t size, uint32_t seconds)
{
    ZavDate date;
    DateFromSeconds(seconds, &date);
    return snprintf(out, size, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, date.hour,
                    date.minute, date.second);
}

const char *ViewAccessText(uint8_t access)
{
    return access == 0 ? "Read Write" : access == 2 ? "Read Only" : access == 3 ? "Blocked" : "Unknown";
}

int SnapshotRoleText(char *out, size_t size, const ContData *record, const SnapConstructInfo *preselection,
                     uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    const uint8_t *info = BaseInfo(record, target);
    if (LdIsSnapshotBase(ldInfo) && info != NULL)
        return snprintf(out, size, "Base(RepLD%u)", info[SB_REPO_TARGET]);
    if (LdIsRepository(ldInfo))
        return snprintf(out, size, "Repository");
    if (preselection->repositoryOf[target] != SNAP_INFO_NONE)
        return snprintf(out, size, "Preselected Base(RepLD%u)", preselection->repositoryOf[target]);
    if (preselection->isRepository[target])
        return snprintf(out, size, "Preselected Repository");
    return snprintf(out, size, "-");
}
