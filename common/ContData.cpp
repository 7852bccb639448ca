// The controller data record: its buffers, its refresh from the controller (console and graphical
// forms), the RAID-group numbering, and the lookups between slots, device ids, LDs and arrays.
#include "common/ContData.h"

#include <stdlib.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/raidctl.h"

static const char kUpdateFunc[] = "UpdateDriveInfo";

// ---------------------------------------------------------------------------------------------
// Configuration access
// ---------------------------------------------------------------------------------------------
static uint32_t ConfigTotalSize(const uint8_t *config) { return LayoutU32(config, offsetof(ConfigHeader, totalSize)); }

static uint32_t ArrayEntrySize(const uint8_t *config)
{
    uint32_t size = LayoutU16(config, offsetof(ConfigHeader, arrayEntrySize));
    return size ? size : (uint32_t)CONFIG_ARRAY_SIZE;
}

static uint32_t LdEntrySize(const uint8_t *config)
{
    uint32_t size = LayoutU16(config, offsetof(ConfigHeader, ldEntrySize));
    return size ? size : (uint32_t)CONFIG_LD_SIZE;
}

uint16_t ConfigArrayCount(const uint8_t *config)
{
    return config ? LayoutU16(config, offsetof(ConfigHeader, arrayCount)) : 0;
}

uint16_t ConfigLdCount(const uint8_t *config)
{
    return config ? LayoutU16(config, offsetof(ConfigHeader, ldCount)) : 0;
}

uint16_t ConfigSpareCount(const uint8_t *config)
{
    return config ? LayoutU16(config, offsetof(ConfigHeader, spareCount)) : 0;
}

// An entry is handed out only when it lies completely inside the size the controller reported.
static const uint8_t *EntryInside(const uint8_t *config, uint64_t offset, uint32_t entrySize, uint32_t minSize)
{
    if (entrySize < minSize || offset + entrySize > ConfigTotalSize(config))
        return 0;
    return config + offset;
}

const ConfigArray *ConfigArrayAt(const uint8_t *config, uint16_t index)
{
    if (!config || index >= ConfigArrayCount(config))
        return 0;
    uint64_t offset = sizeof(ConfigHeader) + (uint64_t)index * ArrayEntrySize(config);
    return (const ConfigArray *)EntryInside(config, offset, ArrayEntrySize(config), CONFIG_ARRAY_SIZE);
}

static uint64_t FirstLdOffset(const uint8_t *config)
{
    return sizeof(ConfigHeader) + (uint64_t)ConfigArrayCount(config) * ArrayEntrySize(config);
}

const uint8_t *ConfigLdAt(const uint8_t *config, uint16_t index)
{
    if (!config || index >= ConfigLdCount(config))
        return 0;
    uint64_t offset = FirstLdOffset(config) + (uint64_t)index * LdEntrySize(config);
    return EntryInside(config, offset, LdEntrySize(config), CONFIG_LD_SIZE);
}

const ConfigSpare *ConfigSpareAt(const uint8_t *config, uint16_t index)
{
    if (!config || index >= ConfigSpareCount(config))
        return 0;
    uint64_t offset = FirstLdOffset(config) + (uint64_t)ConfigLdCount(config) * LdEntrySize(config) +
                      (uint64_t)index * CONFIG_SPARE_SIZE;
    return (const ConfigSpare *)EntryInside(config, offset, CONFIG_SPARE_SIZE, CONFIG_SPARE_SIZE);
}

const ConfigArray *ConfigFindArray(const uint8_t *config, uint16_t arrayRef)
{
    for (uint16_t i = 0; i < ConfigArrayCount(config); i++) {
        const ConfigArray *array = ConfigArrayAt(config, i);
        if (array && array->arrayRef == arrayRef)
            return array;
    }
    return 0;
}

const uint8_t *ConfigFindLd(const uint8_t *config, uint8_t targetId)
{
    for (uint16_t i = 0; i < ConfigLdCount(config); i++) {
        const uint8_t *ld = ConfigLdAt(config, i);
        if (ld && ld[LI_TARGET_ID] == targetId)
            return ld;
    }
    return 0;
}

static uint8_t SpanCount(const uint8_t *ld)
{
    uint8_t depth = ld[LI_SPAN_DEPTH];
    return depth > LI_MAX_SPANS ? (uint8_t)LI_MAX_SPANS : depth;
}

static uint16_t SpanArrayRef(const uint8_t *ld, unsigned span)
{
    return LayoutU16(ld, LI_SPANS + span * LI_SPAN_SIZE + LI_SPAN_ARRAY_REF);
}

// ---------------------------------------------------------------------------------------------
// Buffers
// ---------------------------------------------------------------------------------------------
int AllocContData(ContData *records, uint16_t count)
{
    for (uint16_t i = 0; i < count; i++) {
        ContData *rec = &records[i];
        rec->pdList = (PdList *)calloc(1, sizeof(PdList));
        rec->ldList = (LdList *)calloc(1, sizeof(LdList));
        rec->config = (uint8_t *)calloc(1, CONTDATA_CONFIG_INITIAL_SIZE);
        if (!rec->pdList || !rec->ldList || !rec->config)
            return 0;
    }
    return 1;
}

static void FreeSnapshotBuffers(ContData *rec, uint8_t target)
{
    free(rec->snapshotInfo[target]);
    rec->snapshotInfo[target] = 0;
    free(rec->repositoryInfo[target]);
    rec->repositoryInfo[target] = 0;
}

// Every target's snapshot and repository buffer is released, not only those of the LDs still in
// the list, so a buffer left by an LD deleted since the last refresh cannot leak.
int FreeContData(ContData *records, uint16_t count)
{
    if (!records)
        return 1;
    for (uint16_t i = 0; i < count; i++) {
        ContData *rec = &records[i];
        free(rec->pdList);
        rec->pdList = 0;
        free(rec->config);
        rec->config = 0;
        for (unsigned t = 0; t < CONTDATA_LD_TARGETS; t++)
            FreeSnapshotBuffers(rec, (uint8_t)t);
        free(rec->ldList);
        rec->ldList = 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// RAID-group numbering
// ---------------------------------------------------------------------------------------------
static const uint8_t *FirstLdNamingArray(const uint8_t *config, uint16_t arrayRef)
{
    for (uint16_t i = 0; i < ConfigLdCount(config); i++) {
        const uint8_t *ld = ConfigLdAt(config, i);
        if (!ld)
            continue;
        for (unsigned k = 0; k < SpanCount(ld); k++)
            if (SpanArrayRef(ld, k) == arrayRef)
                return ld;
    }
    return 0;
}

void BuildRaidGroupNumbering(ContData *record)
{
    RaidGroupNumbering *numbering = &record->rgNumbering;
    uint8_t seen[512];
    uint8_t ordinary = 0, spanned = 0, cacheCade = 0;
    memset(numbering, 0, sizeof(*numbering));
    memset(seen, 0, sizeof(seen));

    const uint8_t *config = record->config;
    for (uint16_t i = 0; i < ConfigArrayCount(config); i++) {
        const ConfigArray *array = ConfigArrayAt(config, i);
        if (!array || array->arrayRef >= sizeof(seen) || seen[array->arrayRef])
            continue;
        const uint8_t *ld = FirstLdNamingArray(config, array->arrayRef);
        if (!ld)
            continue;
        if (SpanCount(ld) < 2) {
            seen[array->arrayRef] = 1;
            if (array->arrayRef >= CONTDATA_ARRAYS)
                continue;
            RaidGroupEntry *entry = &numbering->entries[array->arrayRef];
            if (ld[LI_CACHECADE] == 0) {
                entry->rgNo = ordinary++;
            } else {
                entry->cacheCadeRgNo = cacheCade++;
                entry->cacheCade = 1;
            }
            entry->spanned = 0;
            continue;
        }
        for (unsigned k = 0; k < SpanCount(ld); k++) {
            uint16_t ref = SpanArrayRef(ld, k);
            if (ref >= sizeof(seen))
                continue;
            seen[ref] = 1;
            if (ref >= CONTDATA_ARRAYS)
                continue;
            RaidGroupEntry *entry = &numbering->entries[ref];
            entry->rgNo = spanned;
            entry->spanIndex = (uint8_t)k;
            entry->spanned = 1;
            entry->cacheCade = 0;
        }
        spanned++;
    }
    numbering->rgCount = ordinary;
    numbering->spannedCount = spanned;
    numbering->cacheCadeCount = cacheCade;
}

// ---------------------------------------------------------------------------------------------
// Refresh steps shared by both forms
// ---------------------------------------------------------------------------------------------
struct RefreshTrace {
    const char *module; // source module named in the trace
    int verbose;        // graphical form: every failing step traces its own line
};

static void TraceStep(const RefreshTrace *rt, unsigned line, const char *text, uint8_t contNo)
{
    TraceText(rt->module, line, ZAV_ERR, "func=%s: %s, contNo=%u", kUpdateFunc, text, contNo);
}

static void TraceVerboseStep(const RefreshTrace *rt, unsigned line, const char *text, uint8_t contNo, unsigned no)
{
    if (rt->verbose)
        TraceText(rt->module, line, ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", kUpdateFunc, text, contNo, no);
}

static int ReadSlotCount(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    if (rec->enclList.count == 0) {
        rec->slotNum = LayoutU16(rec->ctrlInfo, CI_SLOT_COUNT);
    } else if (SLGetSlotNum(contNo, &rec->slotNum) != 0) {
        TraceStep(rt, __LINE__, "SLGetSlotNum error", contNo);
        return 0;
    }
    if (rec->slotNum == 0)
        TraceStep(rt, __LINE__, "SlotNum is zero", contNo);
    return 1;
}

static int ReadControllerHead(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    if (SLGetCtrlInfo(contNo, rec->ctrlInfo) != 0) {
        TraceStep(rt, __LINE__, "SLGetCtrlInfo error", contNo);
        return 0;
    }
    return ReadSlotCount(rt, rec, contNo);
}

static int ReadLists(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    if (!rec->pdList || !rec->ldList) {
        if (rt->verbose)
            SLCallAllocFail();
        return 0;
    }
    if (SLGetPDList(contNo, rec->pdList) != 0) {
        TraceVerboseStep(rt, __LINE__, "SLGetPDList error", contNo, 0);
        return 0;
    }
    if (SLGetLDList(contNo, rec->ldList) != 0) {
        TraceVerboseStep(rt, __LINE__, "SLGetLDList eError", contNo, 0);
        return 0;
    }
    return 1;
}

static int ReadConfiguration(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    uint32_t size = 0;
    if (!rec->config) {
        if (rt->verbose)
            SLCallAllocFail();
        return 0;
    }
    if (SLGetConfigSize(contNo, &size) != 0) {
        TraceVerboseStep(rt, __LINE__, "SLGetConfigSize error", contNo, 0);
        return 0;
    }
    if (size < sizeof(ConfigHeader))
        size = sizeof(ConfigHeader);
    free(rec->config);
    rec->config = (uint8_t *)calloc(1, size);
    if (!rec->config) {
        if (rt->verbose)
            SLCallAllocFail();
        return 0;
    }
    if (SLReadConfig(contNo, rec->config, size) != 0) {
        TraceVerboseStep(rt, __LINE__, "SLReadConfig error", contNo, 0);
        return 0;
    }
    // Entries are only trusted within the buffer actually allocated.
    if (ConfigTotalSize(rec->config) > size)
        LayoutPutU32(rec->config, offsetof(ConfigHeader, totalSize), size);
    return 1;
}

static int ReadPdBlocks(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    memset(rec->pdInfo, 0, sizeof(rec->pdInfo));
    for (uint32_t i = 0; i < rec->pdList->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *entry = &rec->pdList->entries[i];
        if (entry->scsiDevType != 0)
            continue;
        if (SLGetPDInfo(contNo, entry->slotNumber, rec->pdInfo[entry->slotNumber]) != 0) {
            TraceVerboseStep(rt, __LINE__, "SLGetPDInfo error", contNo, entry->slotNumber);
            return 0;
        }
    }
    return 1;
}

static int ReadLdBlocks(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    memset(rec->ldInfo, 0, sizeof(rec->ldInfo));
    for (uint32_t i = 0; i < rec->ldList->count && i < (uint32_t)LD_MAX; i++) {
        uint8_t target = rec->ldList->entries[i].targetId;
        if (target >= CONTDATA_LD_TARGETS)
            continue;
        if (SLGetLDInfo(contNo, target, rec->ldInfo[target]) != 0) {
            TraceVerboseStep(rt, __LINE__, "SLGetLDInfo error", contNo, target);
            return 0;
        }
    }
    return 1;
}

static int ReadArrayBlocks(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    memset(rec->arrayInfo, 0, sizeof(rec->arrayInfo));
    for (uint16_t i = 0; i < ConfigArrayCount(rec->config); i++) {
        const ConfigArray *array = ConfigArrayAt(rec->config, i);
        if (!array || array->arrayRef >= CONTDATA_ARRAYS)
            continue;
        if (SLGetArrayInfo(contNo, array->arrayRef, rec->arrayInfo[array->arrayRef]) != 0) {
            TraceText(rt->module, __LINE__, ZAV_ERR, "func=%s: %s, contNo=%u, arrayRef=%u", kUpdateFunc,
                      "SLGetArrayInfo error", contNo, array->arrayRef);
            return 0;
        }
    }
    return 1;
}

// One kind of snapshot buffer: the base information or the repository information of an LD.
struct SnapshotBufferKind {
    const char *sizeError;
    const char *readError;
    uint32_t fallbackSize;
    int32_t (*querySize)(uint8_t, uint8_t, uint32_t *);
    int32_t (*read)(uint8_t, uint8_t, void *, uint32_t);
};

static const SnapshotBufferKind kSnapshotBase = {"SLGetSnapshotInfoSize error", "SLGetSnapshotInfo error",
                                                 SNAPSHOT_INFO_PROBE_SIZE, SLGetSnapshotInfoSize, SLGetSnapshotInfo};
// A repository whose size query failed gets room for the header and an entry per possible base.
static const SnapshotBufferKind kRepository = {"SLGetSnapshotRepoSpaceSize error", "SLGetSnapshotRepoSpace error",
                                               SR_HEADER_SIZE + CONTDATA_LD_TARGETS * SR_ENTRY_SIZE,
                                               SLGetSnapshotRepoSpaceSize, SLGetSnapshotRepoSpace};

static void TraceLdStep(const RefreshTrace *rt, unsigned line, const char *text, uint8_t contNo, uint8_t target)
{
    TraceText(rt->module, line, ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", kUpdateFunc, text, contNo, target);
}

// Returns 0 only when the buffer cannot be allocated (or, in the graphical form, on any failure).
static int ReadSnapshotBuffer(const RefreshTrace *rt, const SnapshotBufferKind *kind, uint8_t **slot,
                              uint8_t contNo, uint8_t target)
{
    uint32_t size = 0;
    if (kind->querySize(contNo, target, &size) != 0) {
        TraceLdStep(rt, __LINE__, kind->sizeError, contNo, target);
        if (rt->verbose)
            return 0;
        size = kind->fallbackSize;
    }
    if (size == 0)
        size = kind->fallbackSize;
    free(*slot);
    *slot = (uint8_t *)calloc(1, size);
    if (!*slot) {
        SLCallAllocFail();
        return 0;
    }
    if (kind->read(contNo, target, *slot, size) != 0) {
        TraceLdStep(rt, __LINE__, kind->readError, contNo, target);
        memset(*slot, 0, size);
        if (rt->verbose)
            return 0;
    }
    return 1;
}

static int ReadSnapshotBlocks(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    uint8_t inList[CONTDATA_LD_TARGETS];
    memset(inList, 0, sizeof(inList));
    for (uint32_t i = 0; i < rec->ldList->count && i < (uint32_t)LD_MAX; i++)
        if (rec->ldList->entries[i].targetId < CONTDATA_LD_TARGETS)
            inList[rec->ldList->entries[i].targetId] = 1;

    for (unsigned t = 0; t < CONTDATA_LD_TARGETS; t++) {
        const uint8_t *info = rec->ldInfo[t];
        if (!inList[t] || info[LI_SNAPSHOT_BASE] == 0) {
            free(rec->snapshotInfo[t]);
            rec->snapshotInfo[t] = 0;
        } else if (!ReadSnapshotBuffer(rt, &kSnapshotBase, &rec->snapshotInfo[t], contNo, (uint8_t)t)) {
            return 0;
        }
    }
    for (unsigned t = 0; t < CONTDATA_LD_TARGETS; t++) {
        const uint8_t *info = rec->ldInfo[t];
        if (!inList[t] || (info[LI_REPOSITORY] & 1) == 0) {
            free(rec->repositoryInfo[t]);
            rec->repositoryInfo[t] = 0;
        } else if (!ReadSnapshotBuffer(rt, &kRepository, &rec->repositoryInfo[t], contNo, (uint8_t)t)) {
            return 0;
        }
    }
    return 1;
}

// Everything below the controller information and slot count, for one controller.
static int ReadControllerBody(const RefreshTrace *rt, ContData *rec, uint8_t contNo)
{
    if (!ReadLists(rt, rec, contNo) || !ReadConfiguration(rt, rec, contNo) || !ReadPdBlocks(rt, rec, contNo) ||
        !ReadLdBlocks(rt, rec, contNo) || !ReadArrayBlocks(rt, rec, contNo) || !ReadSnapshotBlocks(rt, rec, contNo))
        return 0;
    BuildRaidGroupNumbering(rec);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The two refresh forms
// ---------------------------------------------------------------------------------------------
int UpdateDriveInfo(ContData *records, uint16_t count)
{
    static const RefreshTrace rt = {__FILE__, 0};
    ControllerIdList list;
    if (SLGetCtrlList(&list) != 0) {
        TraceText(rt.module, __LINE__, ZAV_ERR, "func=%s: %s", kUpdateFunc, "SLGetCtrlList error");
        return 0;
    }
    if (count == 0 || !records)
        return 1;
    if (SLGetEnclList(0, &records[0].enclList) != 0) {
        TraceText(rt.module, __LINE__, ZAV_ERR, "func=%s: %s", kUpdateFunc, "SLGetEnclList error");
        return 0;
    }
    for (uint16_t c = 0; c < count; c++) {
        ContData *rec = &records[c];
        if (!ReadControllerHead(&rt, rec, (uint8_t)c) || !ReadControllerBody(&rt, rec, (uint8_t)c))
            return 0;
    }
    return 1;
}

int UpdateDriveInfoGui(ContData *records, uint16_t count, uint8_t selected)
{
    static const RefreshTrace rt = {"Utility", 1};
    ControllerIdList list;
    if (SLGetCtrlList(&list) != 0) {
        TraceText(rt.module, __LINE__, ZAV_ERR, "func=%s: %s", kUpdateFunc, "SLGetCtrlList error");
        return 0;
    }
    if (count == 0 || !records || selected >= count)
        return count == 0 ? 1 : 0;
    if (SLGetEnclList(selected, &records[selected].enclList) != 0) {
        TraceText(rt.module, __LINE__, ZAV_ERR, "func=%s: %s, contNo=%u", kUpdateFunc, "SLGetEnclList error",
                  selected);
        return 0;
    }
    for (uint16_t c = 0; c < count; c++)
        if (!ReadControllerHead(&rt, &records[c], (uint8_t)c))
            return 0;
    return ReadControllerBody(&rt, &records[selected], selected);
}

// ---------------------------------------------------------------------------------------------
// Lookups
// ---------------------------------------------------------------------------------------------
int LdListHas(const ContData *record, uint8_t targetId)
{
    if (!record->ldList)
        return 0;
    for (uint32_t i = 0; i < record->ldList->count && i < (uint32_t)LD_MAX; i++)
        if (record->ldList->entries[i].targetId == targetId)
            return 1;
    return 0;
}

void getAdpLdArray(const uint8_t *controllers4, const uint8_t *targets, uint8_t *result256, const ContData *records)
{
    memset(result256, 255, 4 * CONTDATA_LD_TARGETS);
    for (unsigned i = 0; i < 4; i++) {
        uint8_t c = controllers4[i];
        if (c >= 4)
            continue;
        for (unsigned k = 0; k < CONTDATA_LD_TARGETS && targets[k] != 255; k++) {
            uint8_t target = targets[k];
            if (target < CONTDATA_LD_TARGETS && LdListHas(&records[c], target))
                result256[c * CONTDATA_LD_TARGETS + target] = 1;
        }
    }
}

int SlotOfDevice(const ContData *record, uint16_t deviceId, uint8_t *slotNo)
{
    if (!record->pdList)
        return 0;
    for (uint32_t i = 0; i < record->pdList->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *entry = &record->pdList->entries[i];
        if (entry->scsiDevType == 0 && entry->deviceId == deviceId) {
            *slotNo = entry->slotNumber;
            return 1;
        }
    }
    return 0;
}

int DeviceOfSlot(const ContData *record, uint8_t slotNo, uint16_t *deviceId)
{
    if (!record->pdList)
        return 0;
    for (uint32_t i = 0; i < record->pdList->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *entry = &record->pdList->entries[i];
        if (entry->scsiDevType == 0 && entry->slotNumber == slotNo) {
            *deviceId = entry->deviceId;
            return 1;
        }
    }
    return 0;
}

int LdMemberSlots(const ContData *record, uint8_t targetId, uint8_t *slots, uint16_t maxSlots, uint16_t *count)
{
    *count = 0;
    const uint8_t *ld = ConfigFindLd(record->config, targetId);
    if (!ld)
        return 0;
    for (unsigned k = 0; k < SpanCount(ld); k++) {
        const ConfigArray *array = ConfigFindArray(record->config, SpanArrayRef(ld, k));
        if (!array)
            continue;
        unsigned arms = array->driveCount < ARRAY_MAX_ARMS ? array->driveCount : (unsigned)ARRAY_MAX_ARMS;
        for (unsigned j = 0; j < arms; j++) {
            uint8_t slot = 0;
            uint16_t deviceId = array->arms[j].deviceId;
            if (deviceId == ARM_DEVICE_MISSING || !SlotOfDevice(record, deviceId, &slot))
                continue;
            if (*count < maxSlots)
                slots[(*count)++] = slot;
        }
    }
    return 1;
}

int LdOperationKind(const ContData *record, uint8_t targetId)
{
    if (targetId >= CONTDATA_LD_TARGETS)
        return LD_OPKIND_NONE;
    uint32_t ops = LayoutU32(record->ldInfo[targetId], LI_OPERATION_BITS);
    if (ops & LD_OP_INIT)
        return LD_OPKIND_INIT;
    if (ops & LD_OP_CC)
        return LD_OPKIND_CC;
    uint8_t slots[CONTDATA_PD_SLOTS];
    uint16_t count = 0;
    LdMemberSlots(record, targetId, slots, CONTDATA_PD_SLOTS, &count);
    for (uint16_t i = 0; i < count; i++) {
        const uint8_t *pd = record->pdInfo[slots[i]];
        if (LayoutU16(pd, PI_FW_STATE) == PD_STATE_REBUILD)
            return LD_OPKIND_REBUILD;
        uint8_t partnerSlot = 0;
        uint16_t partner = LayoutU16(pd, PI_COPYBACK_PARTNER);
        if (partner != ARM_DEVICE_MISSING && SlotOfDevice(record, partner, &partnerSlot) &&
            LayoutU16(record->pdInfo[partnerSlot], PI_FW_STATE) == PD_STATE_COPYBACK)
            return LD_OPKIND_COPYBACK;
    }
    return LD_OPKIND_NONE;
}

static int ArrayInfoHoldsDevice(const uint8_t *info, uint16_t deviceId)
{
    unsigned arms = info[AI_DRIVE_COUNT] < ARRAY_MAX_ARMS ? info[AI_DRIVE_COUNT] : (unsigned)ARRAY_MAX_ARMS;
    for (unsigned j = 0; j < arms; j++)
        if (LayoutU16(info, AI_ARMS + 8 * j) == deviceId)
            return 1;
    return 0;
}

int ArrayRefOfDevice(const ContData *record, uint16_t deviceId, uint16_t *arrayRef)
{
    if (deviceId == ARM_DEVICE_MISSING)
        return 0;
    for (uint16_t i = 0; i < ConfigArrayCount(record->config); i++) {
        const ConfigArray *array = ConfigArrayAt(record->config, i);
        if (array && array->arrayRef < CONTDATA_ARRAYS && ArrayInfoHoldsDevice(record->arrayInfo[array->arrayRef], deviceId)) {
            *arrayRef = array->arrayRef;
            return 1;
        }
    }
    return 0;
}

int LdsOfPd(const ContData *record, uint8_t slotNo, uint8_t *targets, uint16_t maxTargets, uint16_t *count)
{
    uint16_t deviceId = 0, arrayRef = 0;
    *count = 0;
    if (!DeviceOfSlot(record, slotNo, &deviceId) || !ArrayRefOfDevice(record, deviceId, &arrayRef))
        return 0;
    const uint8_t *info = record->arrayInfo[arrayRef];
    uint32_t lds = LayoutU32(info, AI_LD_COUNT);
    for (uint32_t k = 0; k < lds && AI_LDS + (k + 1) * AI_LD_ENTRY_SIZE <= ARRAY_INFO_SIZE; k++)
        if (*count < maxTargets)
            targets[(*count)++] = info[AI_LDS + k * AI_LD_ENTRY_SIZE];
    return 1;
}
