// Settings pages of the LD and snapshot-base dialogs without their windows: the policy lists,
// "Set" for every LD of the RAID group, and the snapshot properties of a base LD; plus the rule
// of the dialogs' "Back" button.
#ifndef ZAV_GUI_LDSETTINGSLOGIC_H
#define ZAV_GUI_LDSETTINGSLOGIC_H

#include <stdint.h>

#include "gui/ContSettingsLogic.h"

struct ContData;

enum { LD_WRITE_ALWAYS_BACK = 17, LD_NAME_MAX_CHARS = 15 };

extern const ListEntry kReadPolicies[2];
extern const ListEntry kWritePoliciesWithUnit[3];
extern const ListEntry kWritePoliciesNoUnit[2];
extern const ListEntry kIoPolicies[2];
extern const ListEntry kAccessPolicies[3];
extern const ListEntry kDiskCachePolicies[3];

// The user's choice on the LD Settings page: values (not indexes) of the five lists,
// CONT_NO_SELECTION where a list has none, and the typed name.
struct LdSettingsChoice {
    int32_t readPolicy, writePolicy, ioPolicy, accessPolicy, diskCache;
    char name[LD_NAME_MAX_CHARS + 1];
};

enum LdSetOutcome {
    LD_SET_INCOMPLETE = 0,
    LD_SET_CANCELLED = 1,
    LD_SET_FAILED = 2, // box 536 (or a fatal box)
    LD_SET_DONE = 3    // box 553
};

enum SnapSetOutcome { SNAP_SET_FAILED = 0, SNAP_SET_DONE = 1 };

#ifdef __cplusplus
extern "C" {
#endif

// The write-policy list the controller offers (with or without a cache backup unit).
const ListEntry *WritePolicyList(const ContData *record, unsigned *count);
// Fills the choice with the LD's current values from its LD information.
void CurrentLdSettings(const ContData *record, uint8_t targetId, LdSettingsChoice *choice);

// OnSetBtnClicked of the LD dialog.
int ApplyLdSettings(void *owner, uint8_t contNo, uint8_t targetId, const LdSettingsChoice *choice);
// OnSetBtnClicked of the snapshot-base dialog.
int ApplySnapshotSettings(void *owner, uint8_t contNo, uint8_t targetId, int snapshotOnReboot, int autoDelete);

// "Back": 1 when the dialog may close. From the Settings tab it asks first, with the dialog's
// title string as caption.
int BackMayClose(void *owner, int settingsTabSelected, uint16_t titleId);

#ifdef __cplusplus
}
#endif

#endif
