// Restore LD page without its window: the scan for foreign configurations when the tab is
// selected, and importing or clearing the one whose tab is shown.
#ifndef ZAV_GUI_PAGE4LOGIC_H
#define ZAV_GUI_PAGE4LOGIC_H

#include <stddef.h>
#include <stdint.h>

struct RestoreInfo;
struct ContData;

enum RestoreOutcome { RESTORE_NOTHING = 0, RESTORE_DECLINED = 1, RESTORE_FAILED = 2, RESTORE_DONE = 3 };

#ifdef __cplusplus
extern "C" {
#endif

// OnTabSelChanged: re-reads the foreign configurations of the current controller into the
// page's record (left empty, with the failure traced, when the scan fails). Returns 1 on success.
int ScanRestoreInfo(RestoreInfo *info);
// OnRestoreBtnClicked / OnDeleteBtnClicked for the configuration of the shown tab.
int RestoreForeignConfig(void *owner, const RestoreInfo *info, int configIndex);
int ReleaseForeignConfig(void *owner, const RestoreInfo *info, int configIndex);

// Texts of the page: the tab of a configuration and the cells of a restorable LD row
// (columns: RLD, RAID level, capacity, PDs).
int RestoreTabText(char *out, size_t size, const RestoreInfo *info, int configIndex);
int RestoreLdCellText(char *out, size_t size, const RestoreInfo *info, int configIndex, unsigned ldIndex,
                      int column, uint8_t contNo);

#ifdef __cplusplus
}
#endif

#endif
