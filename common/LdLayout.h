// Easy-creation layouts shared by the console dialogue and the Create LD pages: which Single LD
// choices a candidate count offers, and how a chosen layout (Single LD, Multi LD, snapshot and
// CacheCade) becomes a complete creation request. Both tools turn the same answers into the same
// request here; each tool only asks the questions and shows the outcome in its own way.
#ifndef ZAV_COMMON_LDLAYOUT_H
#define ZAV_COMMON_LDLAYOUT_H

#include <stdint.h>

#include "common/LdPlan.h"
#include "common/storelib_layout.h"

struct ContData;

// The ways of creating LDs from unconfigured PDs.
enum EasyVariant { EASY_SINGLE = 1, EASY_MULTI = 2, EASY_CACHECADE = 3, EASY_SNAPSHOT = 4 };

// Multi LD layouts (the snapshot variant uses the same numbers with base and repository LDs).
enum { LAYOUT_TWO_GROUPS_ONE_LD = 1, LAYOUT_ONE_GROUP = 2, LAYOUT_TWO_GROUPS = 3 };

// Why a layout cannot be created; LAYOUT_OK when the request is complete.
enum LayoutOutcome {
    LAYOUT_OK = 0,
    LAYOUT_MIXED_INTERFACE,  // candidates of different interface types
    LAYOUT_MIXED_MEDIA,      // candidates of different media types
    LAYOUT_LD_LIMIT,         // no free LD number below the controller's maximum
    LAYOUT_ABNORMAL_COUNT,   // the pattern file does not allow the level for that many PDs
    LAYOUT_NO_SPLIT,         // no way to split the PDs between the two groups
    LAYOUT_REPO_TOO_SMALL,   // a snapshot repository below its minimum
    LAYOUT_FAILED,           // the request cannot be filled (invalid level, hot spares without PDs)
    LAYOUT_PD_LIMIT,         // more PDs than a group of the level may hold
    LAYOUT_SIZE_TOO_SMALL,   // a custom LD size not above its minimum
    LAYOUT_NOT_OPTIMAL       // an LD of the existing group is not optimal
};

enum { SINGLE_CHOICES_MAX = 6, EASY_GROUP_PD_CAP = 16, SNAPSHOT_RATE_DEFAULT = 50 };

// One Single LD choice: level, with or without a global hot spare; drawOnePd only changes the
// console drawing.
struct SingleLdChoice {
    int32_t level;
    int ghs;
    int drawOnePd;
};

// The answers of one creation and the request they give.
struct EasyPlan {
    uint8_t contNo;
    int variant;           // EasyVariant
    int layout;            // Multi LD layout
    int32_t level[2];
    int ldCount[2];        // LDs of each group (snapshot layouts 2 and 3: bases plus the repository)
    int rate[2];           // snapshot layouts 2 and 3: repository share of each group, percent
    int hsCount;
    int firstGroupPds;     // PDs of the first group after the split
    int pdCapped;          // the group was cut to the controller's (or the dialogue's) PD limit
    CandidatePdList candidates;
    int hs[2];             // candidate indices of the hot spares (NO_HOT_SPARE when none)
    LdCreateRequest request;
};

// Starts a plan: the candidates of the variant (SSDs only for CacheCade), the hot-spare picks and
// the defaults of the dialogue (one LD per group, or one base plus its repository; rate 50).
void BeginEasyPlan(EasyPlan *plan, const ContData *records, uint8_t contNo, int variant);

// Single LD
int SingleLdChoices(const ContData *records, int candidateCount, SingleLdChoice *choices);
int PlanSingleLd(EasyPlan *plan, const ContData *records, const SingleLdChoice *choice);

// Multi LD and Multi LD(Snapshot): numbers and hot spares first, then the PDs of the groups.
int GroupCountOfLayout(int layout);
int PlanMultiPrepare(EasyPlan *plan, const ContData *records);
// PDs the groups may take after the hot spares (capped at 16; pdCapped tells).
int MultiGroupPds(EasyPlan *plan);
// Possible first-group sizes of a two-group layout in the order the user is offered them;
// *recommended counts the leading ones that a snapshot layout marks as recommended.
int MultiSplits(const EasyPlan *plan, const ConfigPatTable *pattern, const ContData *records, int *splits,
                int maxSplits, int *recommended);
void SplitCapacities(const EasyPlan *plan, const ContData *records, int k, int firstPds, uint64_t *capa0,
                     uint64_t *capa1);
unsigned RepositoryShare(uint64_t capa0, uint64_t capa1);
// Fills the groups (firstPds is ignored for one group) and completes the request.
int PlanMultiPlace(EasyPlan *plan, const ConfigPatTable *pattern, const ContData *records, int firstPds);

// Before a CacheCade group over the given SSDs: one interface type, a free LD number, then the
// RAID0 PD limit (LAYOUT_PD_LIMIT with *maxPds set; the dialogue cuts the list to it, the custom
// command refuses).
int CheckCacheCadePds(const ContData *records, uint8_t contNo, const uint8_t *pds, int count, int *maxPds);
// Single LD(CacheCade): one RAID0 group over the given SSDs, no initialization.
int PlanCacheCade(EasyPlan *plan, const ContData *records, const uint8_t *pds, int count);

// Custom creation: one group of the level over the listed PDs, one LD per size (or one LD of the
// whole group), the cache options of the command line. Checks the LD numbers, the level's PD
// limit, the pattern file and the LD sizes; the request is complete when it returns LAYOUT_OK.
int PlanCustomGroup(LdCreateRequest *request, const ConfigPatTable *pattern, const ContData *records, uint8_t contNo,
                    int32_t level, const uint8_t *pds, int pdCount, uint32_t cacheBits, const CustomSizeList *sizes);

// Before LDs are added to an existing group: every LD on its arrays, read afresh, must be
// optimal. LAYOUT_FAILED when a read failed (traced).
int CheckGroupOptimal(uint8_t contNo, const uint8_t *ld);

// Capacity of a group of the request, from its smallest PD as the record knows it.
uint64_t PlannedGroupCapacity(const EasyPlan *plan, const ContData *records, int group);

#endif
