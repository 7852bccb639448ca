// LD creation planner: which levels a group may take, which PDs are candidates and hot spares, how
// groups are split and sized, and how the creation request is completed before it is sent.
#include "common/LdPlan.h"

#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

static const char CONFIG_PAT_FILE[] = "confpat1.csv";

// Supported-level mask bit and pattern-file name of each level code.
static const uint32_t LEVEL_MASK_BIT[RAIDLVL_COUNT] = { 0x01, 0x02, 0x04, 0x10, 0x20 };
static const char *const LEVEL_FILE_NAME[RAIDLVL_COUNT] = { "RAID0", "RAID1", "RAID5", "RAID6", "RAID10" };
// Position of each level's PD-count word: RAID0, RAID1, RAID5, (RAID1E), RAID6, RAID10.
static const int LEVEL_PD_WORD[RAIDLVL_COUNT] = { 0, 1, 2, 4, 5 };

static const int32_t ORDER_BASIC[RAIDLVL_COUNT] = { RAIDLVL_5, RAIDLVL_6, RAIDLVL_10, RAIDLVL_1, RAIDLVL_0 };
static const int32_t ORDER_SNAPSHOT[RAIDLVL_COUNT] = { RAIDLVL_0, RAIDLVL_5, RAIDLVL_6, RAIDLVL_10, RAIDLVL_1 };

static const char EMBEDDED_PRODUCT[] = "LSI Embedded MegaRAID";

// ---------------------------------------------------------------------------------------------
// Record access
// ---------------------------------------------------------------------------------------------
static const uint8_t *CtrlInfo(const ContData *records, uint8_t contNo)
{
    return records[contNo].ctrlInfo;
}

static const uint8_t *PdInfoOfSlot(const ContData *records, uint8_t contNo, uint8_t slot)
{
    return records[contNo].pdInfo[slot];
}

static int IsValidLevel(int32_t raidLvl)
{
    return raidLvl >= 0 && raidLvl < RAIDLVL_COUNT;
}

static void TraceInvalidLevel(const char *func, uint8_t contNo, int32_t raidLvl)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, raidlvl=%u", func, "raidlvl invalid", (unsigned)contNo,
              (unsigned)raidLvl);
}

static int DefaultPdInfoReader(uint8_t contNo, uint8_t pdNo, uint8_t *buffer)
{
    return SLGetPDInfo(contNo, pdNo, buffer);
}

static PlanPdInfoReader g_pdInfoReader = DefaultPdInfoReader;

void SetPlanPdInfoReader(PlanPdInfoReader reader)
{
    g_pdInfoReader = reader ? reader : DefaultPdInfoReader;
}

// Reads a PD's coerced size afresh; 0 (traced under the caller's name) when the PD information
// cannot be read.
static int ReadPdSize(const char *func, uint8_t contNo, uint8_t pdNo, uint64_t *size)
{
    uint8_t info[PD_INFO_SIZE];
    memset(info, 0, sizeof(info));
    if (g_pdInfoReader(contNo, pdNo, info) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", func, "SLGetPDInfo error", (unsigned)contNo,
                  (unsigned)pdNo);
        return 0;
    }
    *size = LayoutU64(info, PI_COERCED_SIZE);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Pattern table
// ---------------------------------------------------------------------------------------------
static int LevelOfFileName(const char *field)
{
    for (int lvl = 0; lvl < RAIDLVL_COUNT; ++lvl) {
        if (strcmp(field, LEVEL_FILE_NAME[lvl]) == 0)
            return lvl;
    }
    return -1;
}

static void ParseConfigPatLine(ConfigPatRow *row, const char *line)
{
    const char *p = line;
    row->count = 0;
    for (int fieldNo = 0; fieldNo < CONFIG_PAT_LEVELS && *p != '\0' && *p != '\n'; ++fieldNo) {
        size_t len = strcspn(p, ",\n\r");
        // Fields longer than the 7-character buffer cannot name a level.
        if (len > 0 && len < CONFIG_PAT_FIELD_BUF) {
            char field[CONFIG_PAT_FIELD_BUF];
            memcpy(field, p, len);
            field[len] = '\0';
            int lvl = LevelOfFileName(field);
            if (lvl >= 0)
                row->levels[row->count++] = lvl;
        }
        p += len;
        if (*p != ',')
            break;
        ++p;
    }
}

// Reads one line into the buffer; an overlong line is cut and its rest dropped, so it cannot shift
// the following rows. Returns 0 at the end of the file.
static int ReadPatLine(FILE *file, char *buffer, int size)
{
    if (fgets(buffer, size, file) == NULL)
        return 0;
    if (strchr(buffer, '\n') == NULL) {
        int c;
        while ((c = fgetc(file)) != EOF && c != '\n') {
        }
    }
    return 1;
}

void ParseConfigPatStream(ConfigPatTable *table, FILE *file)
{
    memset(table, 0, sizeof(*table));
    char line[CONFIG_PAT_LINE_BUF];
    for (int k = 1; k <= CONFIG_PAT_MAX_LINES; ++k) {
        if (!ReadPatLine(file, line, (int)sizeof(line)))
            break;
        ParseConfigPatLine(&table->rows[k], line);
    }
}

int LoadConfigPatFile(ConfigPatTable *table, const char *path)
{
    FILE *file = fopen(path, "r");
    if (file == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "ReadConfigPatFile", "ConfigPatFile open error");
        return 2;
    }
    ParseConfigPatStream(table, file);
    fclose(file);
    return 0;
}

int ReadConfigPatFile(ConfigPatTable *table)
{
    char installDir[260];
    memset(installDir, 0, sizeof(installDir));
    if (!RegReadProductValue("InstallDir", installDir, sizeof(installDir))) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "ReadConfigPatFile", "InstallDir read error");
        return 2;
    }
    char path[600];
    snprintf(path, sizeof(path), "%s\\%s", installDir, CONFIG_PAT_FILE);
    return LoadConfigPatFile(table, path);
}

// ---------------------------------------------------------------------------------------------
// Controller facts
// ---------------------------------------------------------------------------------------------
int IsSupportRaidLvl(int32_t raidLvl, const ContData *records, uint8_t contNo)
{
    if (!IsValidLevel(raidLvl)) {
        TraceInvalidLevel("IsSupportRaidLvl", contNo, raidLvl);
        return 0;
    }
    return (LayoutU32(CtrlInfo(records, contNo), CI_RAID_LEVEL_MASK) & LEVEL_MASK_BIT[raidLvl]) != 0;
}

int GetMaxPdNumForRaidLvl(int32_t raidLvl, const ContData *records, uint8_t contNo)
{
    if (!IsValidLevel(raidLvl)) {
        TraceInvalidLevel("GetMaxPdNumForRaidLvl", contNo, raidLvl);
        return 0;
    }
    uint16_t word = LayoutU16(CtrlInfo(records, contNo), CI_PD_COUNT_WORDS + 2 * LEVEL_PD_WORD[raidLvl]);
    return word >> 4;
}

int GetMaxLdCount(const ContData *records, uint8_t contNo)
{
    return CtrlInfo(records, contNo)[CI_MAX_LD_COUNT];
}

int HasCacheBackupUnit(const ContData *records, uint8_t contNo)
{
    return CtrlHasCacheBackupUnit(CtrlInfo(records, contNo));
}

int IsSnapshotSupported(const ContData *records, uint8_t contNo)
{
    return (LayoutU32(CtrlInfo(records, contNo), CI_ADAPTER_OPS) & (1u << 30)) != 0;
}

int IsCacheCadeSupported(const ContData *records, uint8_t contNo)
{
    return LayoutU16(CtrlInfo(records, contNo), CI_CACHECADE) != 0;
}

// Controller 0 decides, whichever controller is selected: an embedded software RAID.
int IsEmbeddedController(const ContData *records)
{
    char name[81];
    memcpy(name, CtrlInfo(records, 0) + CI_PRODUCT_NAME, 80);
    name[80] = '\0';
    return name[0] != '\0' && strncmp(name, EMBEDDED_PRODUCT, strlen(name)) == 0;
}

// ---------------------------------------------------------------------------------------------
// Candidates and hot spares
// ---------------------------------------------------------------------------------------------
static uint64_t RecordPdSize(const ContData *records, uint8_t contNo, uint8_t slot)
{
    return LayoutU64(PdInfoOfSlot(records, contNo, slot), PI_COERCED_SIZE);
}

void GetCandidatePds(const ContData *records, uint8_t contNo, int ssdOnly, CandidatePdList *list)
{
    memset(list, 0, sizeof(*list));
    const PdList *pds = records[contNo].pdList;
    unsigned found = 0;
    for (uint32_t i = 0; pds != NULL && i < pds->count && i < PD_LIST_MAX; ++i) {
        const PdListEntry *entry = &pds->entries[i];
        if (entry->scsiDevType != 0)
            continue;
        const uint8_t *info = PdInfoOfSlot(records, contNo, entry->slotNumber);
        if (LayoutU16(info, PI_FW_STATE) != PD_STATE_UNCONF_GOOD)
            continue;
        if (LayoutU16(info, PI_DDF_TYPE) & PD_DDF_FOREIGN)
            continue;
        if (ssdOnly && PdMediaType(info) != 1)
            continue;
        list->pdNo[found++] = entry->slotNumber;
    }
    unsigned cap = LayoutU16(CtrlInfo(records, contNo), CI_CANDIDATE_CAP);
    list->count = (uint16_t)(found < cap ? found : cap);
}

static int IsMixedBy(const ContData *records, uint8_t contNo, const uint8_t *pds, int count,
                     unsigned (*typeOf)(const uint8_t *))
{
    for (int i = 1; i < count; ++i) {
        if (typeOf(PdInfoOfSlot(records, contNo, pds[i])) != typeOf(PdInfoOfSlot(records, contNo, pds[0])))
            return 1;
    }
    return 0;
}

int IsMixedInterfaceTypeList(const ContData *records, uint8_t contNo, const uint8_t *pds, int count)
{
    return IsMixedBy(records, contNo, pds, count, PdInterfaceType);
}

int IsMixedMediaTypeList(const ContData *records, uint8_t contNo, const uint8_t *pds, int count)
{
    return IsMixedBy(records, contNo, pds, count, PdMediaType);
}

int IsMixedInterfaceType(const ContData *records, uint8_t contNo, const CandidatePdList *list)
{
    return IsMixedInterfaceTypeList(records, contNo, list->pdNo, list->count);
}

int IsMixedMediaType(const ContData *records, uint8_t contNo, const CandidatePdList *list)
{
    return IsMixedMediaTypeList(records, contNo, list->pdNo, list->count);
}

static int LargestCandidate(const ContData *records, uint8_t contNo, const CandidatePdList *list, int skip)
{
    int best = NO_HOT_SPARE;
    uint64_t bestSize = 0;
    for (int i = 0; i < list->count; ++i) {
        if (i == skip)
            continue;
        uint64_t size = RecordPdSize(records, contNo, list->pdNo[i]);
        if (best == NO_HOT_SPARE || size > bestSize) {
            best = i;
            bestSize = size;
        }
    }
    return best;
}

void PickHotSpares(const ContData *records, uint8_t contNo, const CandidatePdList *list, int hs[2])
{
    hs[0] = LargestCandidate(records, contNo, list, NO_HOT_SPARE);
    hs[1] = hs[0] == NO_HOT_SPARE ? NO_HOT_SPARE : LargestCandidate(records, contNo, list, hs[0]);
}

int PickHotSpare(const ContData *records, uint8_t contNo, const CandidatePdList *list)
{
    return LargestCandidate(records, contNo, list, NO_HOT_SPARE);
}

int FillGroupPds(const CandidatePdList *list, int start, int hsCount, const int hs[2], uint8_t *out, int n,
                 int *copied)
{
    int got = 0;
    int i = start;
    for (; i < list->count && got < n; ++i) {
        if (hsCount >= 1 && i == hs[0])
            continue;
        if (hsCount >= 2 && i == hs[1])
            continue;
        out[got++] = list->pdNo[i];
    }
    if (copied != NULL)
        *copied = got;
    return i;
}

// ---------------------------------------------------------------------------------------------
// LD numbers
// ---------------------------------------------------------------------------------------------
void InitFreeLdNoMap(const ContData *records, uint8_t contNo, uint8_t freeMap[LD_MAX])
{
    memset(freeMap, 1, LD_MAX);
    const LdList *lds = records[contNo].ldList;
    for (uint32_t i = 0; lds != NULL && i < lds->count && i < LD_MAX; ++i) {
        if (lds->entries[i].targetId < LD_MAX)
            freeMap[lds->entries[i].targetId] = 0;
    }
}

// The smallest free number, marked used; -1 when every number is taken or the controller's
// maximum LD count is reached.
int TakeFreeLdNo(const ContData *records, uint8_t contNo, uint8_t freeMap[LD_MAX])
{
    for (int no = 0; no < LD_MAX; ++no) {
        if (freeMap[no]) {
            freeMap[no] = 0;
            return no < GetMaxLdCount(records, contNo) ? no : -1;
        }
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Pattern rules
// ---------------------------------------------------------------------------------------------
static int RowListsLevel(const ConfigPatTable *table, int n, int32_t raidLvl)
{
    if (n < 1 || n >= CONFIG_PAT_ROWS)
        return 0;
    const ConfigPatRow *row = &table->rows[n];
    for (int i = 0; i < row->count && i < CONFIG_PAT_LEVELS; ++i) {
        if (row->levels[i] == raidLvl)
            return 1;
    }
    return 0;
}

int IsPatLevelAllowed(const ConfigPatTable *table, int n, int32_t raidLvl, const ContData *records, uint8_t contNo)
{
    if (!RowListsLevel(table, n, raidLvl))
        return 0;
    return IsSupportRaidLvl(raidLvl, records, contNo);
}

int RowHasSupportedLevel(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo)
{
    for (int32_t lvl = 0; lvl < RAIDLVL_COUNT; ++lvl) {
        if (IsPatLevelAllowed(table, n, lvl, records, contNo))
            return 1;
    }
    return 0;
}

int MinPdsForLevel(const ConfigPatTable *table, int32_t raidLvl, const ContData *records, uint8_t contNo)
{
    if (!IsSupportRaidLvl(raidLvl, records, contNo))
        return 0;
    for (int n = 1; n < CONFIG_PAT_ROWS; ++n) {
        if (RowListsLevel(table, n, raidLvl))
            return n;
    }
    return 0;
}

// Adds the supported levels of row n to a presence set.
static void AddRowLevels(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo,
                         int present[RAIDLVL_COUNT])
{
    for (int32_t lvl = 0; lvl < RAIDLVL_COUNT; ++lvl) {
        if (IsPatLevelAllowed(table, n, lvl, records, contNo))
            present[lvl] = 1;
    }
}

static void OrderLevels(const int present[RAIDLVL_COUNT], int order, LevelList *out)
{
    const int32_t *seq = order == LEVEL_ORDER_SNAPSHOT ? ORDER_SNAPSHOT : ORDER_BASIC;
    out->count = 0;
    for (int i = 0; i < RAIDLVL_COUNT; ++i) {
        if (present[seq[i]])
            out->levels[out->count++] = seq[i];
    }
}

void LevelsForSingleGroup(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo, int order,
                          LevelList *out)
{
    int present[RAIDLVL_COUNT] = { 0 };
    AddRowLevels(table, n, records, contNo, present);
    AddRowLevels(table, n - 1, records, contNo, present);
    OrderLevels(present, order, out);
}

void LevelsForFirstOfTwo(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo, int order,
                         LevelList *out)
{
    int present[RAIDLVL_COUNT] = { 0 };
    for (int i = 1; i <= n - 1; ++i)
        AddRowLevels(table, i, records, contNo, present);
    OrderLevels(present, order, out);
}

void LevelsForSecondGroup(const ConfigPatTable *table, int n, int32_t firstLvl, const ContData *records,
                          uint8_t contNo, int order, LevelList *out)
{
    int present[RAIDLVL_COUNT] = { 0 };
    for (int i = 1; i <= n - 1; ++i) {
        if (!IsPatLevelAllowed(table, n - i, firstLvl, records, contNo))
            continue;
        for (int back = 0; back <= 2 && i - back >= 1; ++back)
            AddRowLevels(table, i - back, records, contNo, present);
    }
    OrderLevels(present, order, out);
}

static int CanFormGroups(const ConfigPatTable *table, int pds, int groups, int32_t lvl0, int32_t lvl1,
                         const ContData *records, uint8_t contNo)
{
    if (groups == 1)
        return IsPatLevelAllowed(table, pds, lvl0, records, contNo);
    for (int i = 1; i < pds; ++i) {
        if (IsPatLevelAllowed(table, i, lvl0, records, contNo) &&
            IsPatLevelAllowed(table, pds - i, lvl1, records, contNo))
            return 1;
    }
    return 0;
}

int DefaultHotSpareCount(const ConfigPatTable *table, int n, int groups, int32_t lvl0, int32_t lvl1,
                         const ContData *records, uint8_t contNo)
{
    int m = MinPdsForLevel(table, lvl0, records, contNo);
    if (groups == 2)
        m += MinPdsForLevel(table, lvl1, records, contNo);
    if (n < m)
        return 0;
    int limit = n - m < groups ? n - m : groups;
    int best = 0;
    for (int h = 1; h <= limit; ++h) {
        if (CanFormGroups(table, n - h, groups, lvl0, lvl1, records, contNo))
            best = h;
    }
    return best;
}

int TwoGroupSplits(const ConfigPatTable *table, int k, int32_t lvl0, int32_t lvl1, const ContData *records,
                   uint8_t contNo, int *firstSizes, int maxSplits)
{
    int count = 0;
    for (int i = 1; i <= k - 1 && count < maxSplits; ++i) {
        if (IsPatLevelAllowed(table, i, lvl0, records, contNo) && IsPatLevelAllowed(table, k - i, lvl1, records, contNo))
            firstSizes[count++] = i;
    }
    return count;
}

// ---------------------------------------------------------------------------------------------
// Sizes and the creation request
// ---------------------------------------------------------------------------------------------

// Smallest coerced size of the PDs, read afresh. A PD whose information cannot be read now is
// sized by the record's last reading; a PD with neither contributes nothing. 0 when no size is known.
uint64_t SmallestPdSize(uint8_t contNo, const ContData *records, const uint8_t *pds, int count)
{
    uint64_t smallest = 0;
    int known = 0;
    for (int i = 0; i < count; ++i) {
        uint64_t size = 0;
        if (!ReadPdSize("SmallestPdSize", contNo, pds[i], &size))
            size = records != NULL ? RecordPdSize(records, contNo, pds[i]) : 0;
        if (size == 0)
            continue;
        if (!known || size < smallest) {
            smallest = size;
            known = 1;
        }
    }
    return smallest;
}

int ConfirmDiffPDSize(const LdCreateRequest *request, uint8_t contNo)
{
    int haveFirst = 0;
    uint64_t first = 0;
    for (int g = 0; g < request->groupCount && g < RG_MAX; ++g) {
        const RgEntry *group = &request->groups[g];
        for (int p = 0; p < group->pdCount && p < RG_PD_MAX; ++p) {
            uint64_t size = 0;
            if (!ReadPdSize("ConfirmDiffPDSize", contNo, group->pds[p], &size))
                continue;
            if (!haveFirst) {
                first = size;
                haveFirst = 1;
            } else if (size != first) {
                return 1;
            }
        }
    }
    return 0;
}

void NameLdSlot(LdSlot *slot)
{
    snprintf(slot->name, sizeof(slot->name), "LD_%u", (unsigned)slot->ldNo);
}

static void SetGroupDefaults(RgEntry *group, uint8_t cachePolicy, uint8_t initValue)
{
    group->accessPolicy = PLAN_ACCESS_RW;
    group->diskCachePolicy = PLAN_DISK_CACHE_OFF;
    group->stripeSize = PLAN_STRIPE_64K;
    group->cachePolicy = cachePolicy;
    for (int l = 0; l < group->ldCount && l < RG_LD_MAX; ++l) {
        NameLdSlot(&group->lds[l]);
        group->lds[l].init = initValue;
    }
}

// Equal split: the group's capacity over its smallest PD, divided among its LDs.
static int SplitGroupEqually(RgEntry *group, const ContData *records, uint8_t contNo)
{
    uint64_t smallest = SmallestPdSize(contNo, records, group->pds, group->pdCount);
    if (smallest == 0)
        return PLAN_ERR_PD_SIZE;
    uint64_t capacity = CalcLDCapa(group->raidLevel, group->pdCount, smallest, contNo);
    if (group->ldCount == 0)
        return 0;
    for (int l = 0; l < group->ldCount && l < RG_LD_MAX; ++l)
        group->lds[l].size = capacity / group->ldCount;
    return 0;
}

static uint8_t BatteryWritePolicy(const ContData *records, uint8_t contNo)
{
    return HasCacheBackupUnit(records, contNo) ? LD_CACHE_WRITE_BACK : 0x00;
}

int CreateLDDefaultSet(LdCreateRequest *request, const ContData *records, uint8_t contNo, uint8_t initValue)
{
    for (int g = 0; g < request->groupCount && g < RG_MAX; ++g) {
        RgEntry *group = &request->groups[g];
        if (!IsValidLevel(group->raidLevel)) {
            TraceInvalidLevel("CreateLDDefaultSet", contNo, group->raidLevel);
            return PLAN_ERR_RAIDLVL;
        }
        SetGroupDefaults(group, BatteryWritePolicy(records, contNo), initValue);
        int rc = SplitGroupEqually(group, records, contNo);
        if (rc != 0)
            return rc;
    }
    return 0;
}

static uint8_t CustomCachePolicy(uint32_t optBits, const ContData *records, uint8_t contNo)
{
    uint8_t policy;
    if (optBits & LDC_OPT_WT)
        policy = 0x00;
    else if (optBits & LDC_OPT_WB)
        policy = LD_CACHE_WRITE_BACK | LD_CACHE_BAD_BBU_WB;
    else if (optBits & LDC_OPT_WBCB)
        policy = LD_CACHE_WRITE_BACK;
    else
        policy = BatteryWritePolicy(records, contNo);
    if (optBits & LDC_OPT_RA)
        policy |= LD_CACHE_READ_AHEAD;
    if ((optBits & LDC_OPT_CACHED) && !(optBits & LDC_OPT_DIRECT))
        policy |= LD_CACHE_CACHED_IO;
    return policy;
}

// Whole units of 2^30 bytes (the value counts thousandths); the truncated unit count is written back.
uint64_t CustomSizeToBlocks(double *size)
{
    double units = (double)(uint64_t)(*size / 1000.0);
    *size = units;
    return (uint64_t)units * 0x200000ull;
}

int CreateLDDefaultSet2(LdCreateRequest *request, const ContData *records, uint8_t contNo, uint32_t optBits,
                        CustomSizeList *sizes)
{
    for (int g = 0; g < request->groupCount && g < RG_MAX; ++g) {
        RgEntry *group = &request->groups[g];
        if (!IsValidLevel(group->raidLevel)) {
            TraceInvalidLevel("CreateLDDefaultSet2", contNo, group->raidLevel);
            return PLAN_ERR_RAIDLVL;
        }
        SetGroupDefaults(group, CustomCachePolicy(optBits, records, contNo), LD_INIT_FULL);
        if (sizes == NULL || sizes->count == 0) {
            int rc = SplitGroupEqually(group, records, contNo);
            if (rc != 0)
                return rc;
            continue;
        }
        for (int l = 0; l < group->ldCount && l < sizes->count && l < RG_LD_MAX; ++l)
            group->lds[l].size = CustomSizeToBlocks(&sizes->sizes[l]);
    }
    return 0;
}

// Capacities are compared in whole megabytes (2048 blocks), the rest dropped.
int IsRepositoryGroupLargeEnough(uint64_t capacityBlocks)
{
    return (capacityBlocks >> 11) >= 1175;
}

uint64_t RepositoryShareBlocks(uint64_t groupCapacity, int ratePercent)
{
    return groupCapacity * (uint64_t)ratePercent / 100;
}

int IsRepositoryShareLargeEnough(uint64_t repositoryBlocks, int ldCount)
{
    return (repositoryBlocks >> 11) >= 141ull * (uint64_t)ldCount + 893;
}

// ---------------------------------------------------------------------------------------------
// Command-line option parsers
// ---------------------------------------------------------------------------------------------
static int IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Longest digit run accepted for one size, which keeps every converted size within 64 bits.
enum { CUSTOM_SIZE_MAX_DIGITS = 12 };

int GetCustomLdSize(const char *option, CustomSizeList *sizes)
{
    sizes->count = 0;
    const char *p = strchr(option, 'z');
    if (p == NULL)
        return 0;
    while (p != NULL) {
        ++p; // past the letter z
        if (!IsDigit(*p))
            return 0;
        double value = 0;
        int digits = 0;
        for (; IsDigit(*p); ++p, ++digits)
            value = value * 10 + (*p - '0');
        if (digits > CUSTOM_SIZE_MAX_DIGITS || sizes->count >= CUSTOM_SIZE_MAX)
            return 0;
        if (*p != '\0' && *p != ',' && *p != '[' && *p != ']')
            return 0;
        sizes->sizes[sizes->count++] = value;
        if (*p == '\0')
            break;
        p = strchr(p, 'z');
    }
    return 1;
}

int GetArrayNo(const char *option, uint8_t used[ARRAY_REF_MAX], int *lastNo, int *groupCount)
{
    const char *p = strchr(option, 'y');
    if (p == NULL)
        return 0;
    ++p;
    int value = 0;
    int digits = 0;
    for (; IsDigit(*p); ++p, ++digits) {
        if (digits == 3)
            return 0;
        value = value * 10 + (*p - '0');
    }
    if (digits == 0 || (*p != '[' && *p != '\0'))
        return 0;
    if (value >= ARRAY_REF_MAX || used[value] || *groupCount >= ARRAY_REF_MAX)
        return 0;
    used[value] = 1;
    *lastNo = value;
    ++*groupCount;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Room for a new LD in an existing group
// ---------------------------------------------------------------------------------------------
static int SameDevices(const uint16_t *devices, int count, const uint16_t *listed)
{
    for (int i = 0; i < count; ++i) {
        int found = 0;
        for (int j = 0; j < count && !found; ++j)
            found = devices[j] == listed[i];
        if (!found)
            return 0;
    }
    return 1;
}

// The first LD entry whose group consists of exactly the listed PDs at the requested level.
const uint8_t *FindExistingGroup(const ContData *record, int32_t level, const uint8_t *pds, int pdCount)
{
    const uint8_t *config = record->config;
    if (config == NULL)
        return NULL;
    uint16_t listed[RG_PD_MAX];
    for (int i = 0; i < pdCount; ++i) {
        if (!DeviceOfSlot(record, pds[i], &listed[i]))
            return NULL;
    }
    for (uint16_t i = 0; i < ConfigLdCount(config); ++i) {
        const uint8_t *ld = ConfigLdAt(config, i);
        if (ld == NULL || ld[LI_CACHECADE] != 0 || LdRaidLevel(ld) != level)
            continue;
        uint16_t devices[RG_PD_MAX];
        int count = LdMemberDevices(config, ld, devices, RG_PD_MAX);
        if (count == pdCount && SameDevices(devices, count, listed))
            return ld;
    }
    return NULL;
}

// The first free extent of the array that is worth an LD (more than 4 MB per PD usable).
int FirstFreeExtent(const uint8_t *config, uint16_t arrayRef, int32_t level, int pdCount, uint8_t contNo,
                    FreeExtent *extent)
{
    const ConfigArray *array = ConfigFindArray(config, arrayRef);
    if (array == NULL)
        return 0;
    uint64_t starts[LD_MAX * LI_MAX_SPANS], ends[LD_MAX * LI_MAX_SPANS];
    int used = 0;
    for (uint16_t i = 0; i < ConfigLdCount(config); ++i) {
        const uint8_t *ld = ConfigLdAt(config, i);
        for (int k = 0; ld != NULL && k < ld[LI_SPAN_DEPTH] && k < LI_MAX_SPANS; ++k) {
            size_t span = LI_SPANS + LI_SPAN_SIZE * (size_t)k;
            if (LayoutU16(ld, span + LI_SPAN_ARRAY_REF) != arrayRef || used >= LD_MAX * LI_MAX_SPANS)
                continue;
            starts[used] = LayoutU64(ld, span + LI_SPAN_START);
            ends[used] = starts[used] + LayoutU64(ld, span + LI_SPAN_BLOCKS);
            ++used;
        }
    }
    uint64_t at = 0;
    for (;;) {
        // The next used range at or after the current position.
        int next = -1;
        for (int i = 0; i < used; ++i) {
            if (ends[i] > at && (next < 0 || starts[i] < starts[next]))
                next = i;
        }
        uint64_t gapEnd = next < 0 ? array->size : (starts[next] < array->size ? starts[next] : array->size);
        if (gapEnd > at) {
            uint64_t usable = CalcLDCapa(level, (unsigned)pdCount, gapEnd - at, contNo);
            if ((usable >> 11) > 4ull * (uint64_t)pdCount) {
                extent->start = at;
                extent->blocks = gapEnd - at;
                return 1;
            }
        }
        if (next < 0)
            return 0;
        at = ends[next] > at ? ends[next] : at;
    }
}


// ---------------------------------------------------------------------------------------------
// IO policy of existing LDs
// ---------------------------------------------------------------------------------------------
static void ConsoleIoPolicyFailure(uint8_t contNo, uint8_t target)
{
    ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] Failed to change the IO Policy of LD(Logical Drive) %d.", contNo,
               target);
}

static IoPolicyFailureNotifier g_ioPolicyNotifier = ConsoleIoPolicyFailure;

void SetIoPolicyFailureNotifier(IoPolicyFailureNotifier notifier)
{
    g_ioPolicyNotifier = notifier ? notifier : ConsoleIoPolicyFailure;
}

int SetLdsIoPolicy(uint8_t contNo, ContData *records, const uint8_t *targets, int count, int cached)
{
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        uint8_t target = targets[i];
        if (target >= LD_MAX)
            continue;
        if (records != NULL && LdIsCacheCade(records[contNo].ldInfo[target]))
            continue;
        uint8_t props[LD_PROP_SIZE];
        int32_t status = SLGetLDProperties(contNo, target, props);
        if (status == 0) {
            props[LP_DEFAULT_CACHE] = (uint8_t)((props[LP_DEFAULT_CACHE] & ~LD_CACHE_CACHED_IO) |
                                                (cached ? LD_CACHE_CACHED_IO : 0));
            status = SLSetLDProperties(contNo, props);
        }
        if (status != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "SetLdsIoPolicy", "SLSetLDProperties error",
                      (unsigned)contNo, (unsigned)target);
            g_ioPolicyNotifier(contNo, target);
            ++failed;
        }
    }
    return failed;
}
