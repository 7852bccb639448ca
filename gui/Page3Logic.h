// Hot Spare page without its window: assigning a PD as global or dedicated hot spare with the
// comparisons against the configured drives, and releasing a hot spare.
#ifndef ZAV_GUI_PAGE3LOGIC_H
#define ZAV_GUI_PAGE3LOGIC_H

#include <stdint.h>

struct ContData;
struct PdRow;
struct RaidGroupChoice;

enum HotSpareKind { HOTSPARE_GLOBAL = 0, HOTSPARE_DEDICATED = 1 };

enum HotSpareOutcome {
    HOTSPARE_NOTHING_SELECTED = 0,
    HOTSPARE_REFUSED = 1,   // a refusal box was shown
    HOTSPARE_DECLINED = 2,  // No to a warning, or the group dialog was not left with "Add"
    HOTSPARE_FAILED = 3,    // the controller refused (box 282 or 281)
    HOTSPARE_DONE = 4
};

// Runs the RAID-group dialog over the offered groups; returns the chosen position, or -1 when
// the dialog was left any other way than with "Add".
typedef int (*ChooseGroupFn)(void *owner, const RaidGroupChoice *groups, unsigned count);

#ifdef __cplusplus
extern "C" {
#endif

// Rows of the hot-spare list (every global or dedicated hot spare) and of the PD list (every PD
// that may become one: unconfigured good, not foreign). Return the counts.
int BuildHotSpareRows(const ContData *record, PdRow *rows, int maxRows);
int BuildSpareCandidateRows(const ContData *record, PdRow *rows, int maxRows);
// "[GHS]" or "[DHS]", the legend of the kind a PD row carries.
const char *HotSpareKindText(int kind);
// Names of the RAID groups the group dialog offers ("RAID Group 0 (RG0), RAID5" style).
int RaidGroupChoiceText(char *out, unsigned size, const ContData *record, uint8_t contNo,
                        const RaidGroupChoice *group);

// OnAddBtnClicked for the PD in the given slot of the current controller (slot < 0: no row
// selected) with the hot-spare kind its row carries.
int AddHotSpare(void *owner, int slot, int kind, ChooseGroupFn chooseGroup);
// OnDeleteBtnClicked: releases the hot spare in the slot.
int ReleaseHotSpare(void *owner, int slot);

#ifdef __cplusplus
}
#endif

#endif
