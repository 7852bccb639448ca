// Logic of the Create LD tab, apart from its windows: what the Single LD and Multi LD sub-pages
// offer for the current controller, the plan that a choice gives (through the same planner as the
// console tool), and the texts that tell the user what will be built before anything is sent.
#ifndef ZAV_GUI_PAGE1LOGIC_H
#define ZAV_GUI_PAGE1LOGIC_H

#include <stddef.h>
#include <stdint.h>

#include "common/LdLayout.h"
#include "common/LdPlan.h"

struct ContData;

enum { CREATE_OFFERS_MAX = SINGLE_CHOICES_MAX + 1, CREATE_SPLITS_MAX = 16, CREATE_SUMMARY_SIZE = 480 };

// One layout of the Single LD list: a Single LD choice, or the CacheCade LD on the SSDs.
struct SingleOffer {
    int cacheCade;
    SingleLdChoice choice;
};

// The Create LD tab's picture of the current controller.
struct CreateLdModel {
    uint8_t contNo;
    int patternLoaded;            // 0 when the pattern file could not be read
    ConfigPatTable pattern;
    int candidateCount;           // all media types
    int ssdCount;                 // SSD candidates (CacheCade)
    int snapshotSupported;
    int cacheCadeSupported;
    SingleOffer singles[CREATE_OFFERS_MAX];
    int singleCount;
};

// Reads the pattern file (by its bare name, from the working folder) and the candidates of the
// controller. Returns 0 when the pattern file could not be read (the page then offers nothing).
int LoadCreateLdModel(CreateLdModel *model, const ContData *records, uint8_t contNo, const char *patternPath);

// "RAID5 + Hot Spare", "RAID1", "CacheCade (RAID0 on SSDs)".
int SingleOfferText(char *out, size_t size, const SingleOffer *offer, uint8_t contNo);
// Plans the offer into plan; returns a LayoutOutcome.
int PlanSingleOffer(EasyPlan *plan, const CreateLdModel *model, const ContData *records, int index);

// Multi LD: layouts 1 to 3 (snapshot variant when snapshot is set).
int MultiLayoutCount(const CreateLdModel *model);
// Levels the group may take, in the console menu's order.
void MultiLevelChoices(const CreateLdModel *model, const ContData *records, int layout, int snapshot, int group,
                       int32_t firstLevel, LevelList *out);
int MultiLdCountMax(const ContData *records, int snapshot);
int MultiDefaultHotSpares(const CreateLdModel *model, const ContData *records, int layout, int32_t level0,
                          int32_t level1);
// 1 when h hot spares leave enough PDs for the chosen levels (as the console dialogue accepts).
int MultiHotSparesAllowed(const CreateLdModel *model, int layout, int32_t level0, int32_t level1, int h);
// Starts a Multi LD plan from the answers (LD counts are LDs per group; for snapshot layouts
// the base LDs, the repository added here) and prepares it; returns a LayoutOutcome.
int PrepareMultiPlan(EasyPlan *plan, const CreateLdModel *model, const ContData *records, int snapshot, int layout,
                     const int32_t levels[2], const int ldCounts[2], const int rates[2], int hotSpares);
// The split texts "RAID #0 x.xxx GB / RAID #1 y.yyy GB" (snapshot: with the repository share).
int MultiSplitText(char *out, size_t size, const EasyPlan *plan, const ContData *records, int firstPds,
                   int recommended);

// What will be built: per group the level, the PDs, the capacity and the LDs; the hot spares.
int PlanSummaryText(char *out, size_t size, const EasyPlan *plan, const ContData *records);
// String-table text that tells why a layout cannot be created (0 for LAYOUT_OK).
uint16_t LayoutOutcomeTextId(int outcome);
// "0,1,3" list of LDs for the CacheCade association question.
int LdNumberListText(char *out, size_t size, const uint8_t *targets, int count);

#endif
