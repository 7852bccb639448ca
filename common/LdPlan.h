// LD creation planner shared by both management tools: the RAID-level pattern table, candidate PDs,
// hot-spare choice, level lists and group splits, and the filling of the creation request.
#ifndef ZAV_COMMON_LDPLAN_H
#define ZAV_COMMON_LDPLAN_H

#include <stdint.h>
#include <stdio.h>

#include "common/DispFormat.h"
#include "common/storelib_layout.h"

struct ContData;

// Number of RAID level codes (RAIDLVL_0 .. RAIDLVL_10 of the display conversions).
enum { RAIDLVL_COUNT = 5 };

// Result of the request-filling operations when the request must not be sent.
enum {
    PLAN_ERR_RAIDLVL = 0x8019,   // invalid RAID level code
    PLAN_ERR_PD_SIZE = 0x801A    // no PD size could be learnt for a group, so no size can be given
};

enum {
    CONFIG_PAT_ROWS = 257,       // row 0 unused; row k: groups of exactly k PDs
    CONFIG_PAT_LEVELS = 4,
    CONFIG_PAT_MAX_LINES = 256,
    CONFIG_PAT_LINE_BUF = 512,
    CONFIG_PAT_FIELD_BUF = 8
};

struct ConfigPatRow {
    uint8_t count;
    int32_t levels[CONFIG_PAT_LEVELS];
};

struct ConfigPatTable {
    ConfigPatRow rows[CONFIG_PAT_ROWS];
};

enum { CANDIDATE_MAX = 256 };

// Candidate PDs (slot numbers) in PD-list order; entries past the controller's cap stay uncounted.
struct CandidatePdList {
    uint16_t count;
    uint8_t pdNo[CANDIDATE_MAX];
};

// Levels offered by a creation menu, in presentation order.
struct LevelList {
    int count;
    int32_t levels[RAIDLVL_COUNT];
};

enum { LEVEL_ORDER_BASIC = 0, LEVEL_ORDER_SNAPSHOT = 1 };

// Sizes given with -sz (thousandths of 2^30 bytes before conversion).
enum { CUSTOM_SIZE_MAX = 16 };
struct CustomSizeList {
    int count;
    double sizes[CUSTOM_SIZE_MAX];
};

// Cache option bits of the custom creation command line.
enum {
    LDC_OPT_WT = 0x02,
    LDC_OPT_WB = 0x04,
    LDC_OPT_WBCB = 0x08,
    LDC_OPT_NORA = 0x10,
    LDC_OPT_RA = 0x20,
    LDC_OPT_DIRECT = 0x40,
    LDC_OPT_CACHED = 0x80
};

// Bits of the default cache policy of a new LD.
enum {
    LD_CACHE_WRITE_BACK = 0x01,
    LD_CACHE_READ_AHEAD = 0x04,
    LD_CACHE_BAD_BBU_WB = 0x10,
    LD_CACHE_CACHED_IO = 0x60
};

enum { LD_INIT_NONE = 0, LD_INIT_FULL = 2 };
enum { PLAN_STRIPE_64K = 7, PLAN_ACCESS_RW = 0, PLAN_DISK_CACHE_OFF = 2 };
enum { NO_HOT_SPARE = -1 };

// Reads the 512-byte PD information of a slot; returns 0 on success. Tests replace it.
typedef int (*PlanPdInfoReader)(uint8_t contNo, uint8_t pdNo, uint8_t *buffer);
void SetPlanPdInfoReader(PlanPdInfoReader reader); // null restores the storage-library query

// Pattern table
int ReadConfigPatFile(ConfigPatTable *table);
int LoadConfigPatFile(ConfigPatTable *table, const char *path);
void ParseConfigPatStream(ConfigPatTable *table, FILE *file);

// Controller facts
int IsSupportRaidLvl(int32_t raidLvl, const ContData *records, uint8_t contNo);
int GetMaxPdNumForRaidLvl(int32_t raidLvl, const ContData *records, uint8_t contNo);
int GetMaxLdCount(const ContData *records, uint8_t contNo);
int HasCacheBackupUnit(const ContData *records, uint8_t contNo);
int IsSnapshotSupported(const ContData *records, uint8_t contNo);
int IsCacheCadeSupported(const ContData *records, uint8_t contNo);
int IsEmbeddedController(const ContData *records);

// Candidates and hot spares
void GetCandidatePds(const ContData *records, uint8_t contNo, int ssdOnly, CandidatePdList *list);
int IsMixedInterfaceType(const ContData *records, uint8_t contNo, const CandidatePdList *list);
int IsMixedMediaType(const ContData *records, uint8_t contNo, const CandidatePdList *list);
int IsMixedInterfaceTypeList(const ContData *records, uint8_t contNo, const uint8_t *pds, int count);
int IsMixedMediaTypeList(const ContData *records, uint8_t contNo, const uint8_t *pds, int count);
void PickHotSpares(const ContData *records, uint8_t contNo, const CandidatePdList *list, int hs[2]);
int PickHotSpare(const ContData *records, uint8_t contNo, const CandidatePdList *list);
int FillGroupPds(const CandidatePdList *list, int start, int hsCount, const int hs[2], uint8_t *out, int n,
                 int *copied);

// LD numbers
void InitFreeLdNoMap(const ContData *records, uint8_t contNo, uint8_t freeMap[LD_MAX]);
int TakeFreeLdNo(const ContData *records, uint8_t contNo, uint8_t freeMap[LD_MAX]);

// Pattern rules
int IsPatLevelAllowed(const ConfigPatTable *table, int n, int32_t raidLvl, const ContData *records, uint8_t contNo);
int MinPdsForLevel(const ConfigPatTable *table, int32_t raidLvl, const ContData *records, uint8_t contNo);
int RowHasSupportedLevel(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo);
void LevelsForSingleGroup(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo, int order,
                          LevelList *out);
void LevelsForFirstOfTwo(const ConfigPatTable *table, int n, const ContData *records, uint8_t contNo, int order,
                         LevelList *out);
void LevelsForSecondGroup(const ConfigPatTable *table, int n, int32_t firstLvl, const ContData *records,
                          uint8_t contNo, int order, LevelList *out);
int DefaultHotSpareCount(const ConfigPatTable *table, int n, int groups, int32_t lvl0, int32_t lvl1,
                         const ContData *records, uint8_t contNo);
int TwoGroupSplits(const ConfigPatTable *table, int k, int32_t lvl0, int32_t lvl1, const ContData *records,
                   uint8_t contNo, int *firstSizes, int maxSplits);

// Sizes and the creation request
uint64_t SmallestPdSize(uint8_t contNo, const ContData *records, const uint8_t *pds, int count);
int ConfirmDiffPDSize(const LdCreateRequest *request, uint8_t contNo);
int CreateLDDefaultSet(LdCreateRequest *request, const ContData *records, uint8_t contNo, uint8_t initValue);
int CreateLDDefaultSet2(LdCreateRequest *request, const ContData *records, uint8_t contNo, uint32_t optBits,
                        CustomSizeList *sizes);
uint64_t CustomSizeToBlocks(double *size);

// Snapshot repositories: a repository group of its own needs 1175 MB (2,406,400 blocks); a
// repository inside a group needs 141 MB per LD of the group (itself included) plus 893 MB.
int IsRepositoryGroupLargeEnough(uint64_t capacityBlocks);
uint64_t RepositoryShareBlocks(uint64_t groupCapacity, int ratePercent);
int IsRepositoryShareLargeEnough(uint64_t repositoryBlocks, int ldCount);
void NameLdSlot(LdSlot *slot);

// Command-line option parsers
int GetCustomLdSize(const char *option, CustomSizeList *sizes);
int GetArrayNo(const char *option, uint8_t used[ARRAY_REF_MAX], int *lastNo, int *groupCount);

// Room for a new LD in an existing group
struct FreeExtent {
    uint64_t start;
    uint64_t blocks;
};
// The first LD entry (not CacheCade) whose group consists of exactly the listed PDs at the level.
const uint8_t *FindExistingGroup(const ContData *record, int32_t level, const uint8_t *pds, int pdCount);
// The first free extent of the array that is worth an LD (more than 4 MB per PD usable); 1 when found.
int FirstFreeExtent(const uint8_t *config, uint16_t arrayRef, int32_t level, int pdCount, uint8_t contNo,
                    FreeExtent *extent);

// IO policy of existing LDs. Sets cached IO (cached non-zero) or direct IO on the listed LDs,
// passing over CacheCade LDs. A failure is traced and told through the notifier for its LD, and
// the loop goes on. Returns the number of LDs whose policy could not be changed.
int SetLdsIoPolicy(uint8_t contNo, ContData *records, const uint8_t *targets, int count, int cached);
// The console tool's text is the default; the graphical tool installs its own.
typedef void (*IoPolicyFailureNotifier)(uint8_t contNo, uint8_t target);
void SetIoPolicyFailureNotifier(IoPolicyFailureNotifier notifier); // null restores the console text

#endif
