// Snapshot support shared by the tools: the per-controller construct-info file that pairs new base
// LDs with their repository until snapshots are enabled, the flush of an LD's volumes before a
// snapshot, and the names given to snapshots and views.
#ifndef ZAV_COMMON_SNAPSUPPORT_H
#define ZAV_COMMON_SNAPSUPPORT_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include "common/storelib_layout.h"

struct ContData;

// Layouts of the snapshot variant of easy creation.
enum {
    SNAP_LAYOUT_BASE_AND_REPO_GROUPS = 1, // one base LD in the first group, its repository in the second
    SNAP_LAYOUT_ONE_GROUP = 2,            // bases and their repository (the last LD) in one group
    SNAP_LAYOUT_TWO_GROUPS = 3            // the same in each of two groups
};

enum { SNAP_INFO_NONE = 255, SNAP_NAME_SIZE = 16, SNAP_CONSTRUCT_LINE_BUF = 32 };

// What the construct-info file says about a controller's LDs, indexed by LD number.
struct SnapConstructInfo {
    uint8_t repositoryOf[LD_MAX]; // preselected repository of a base LD, SNAP_INFO_NONE when none
    uint8_t baseCount[LD_MAX];    // lines naming the LD as repository
    uint8_t isRepository[LD_MAX]; // 1 when the LD is marked as a repository
};

#ifdef __cplusplus
extern "C" {
#endif

// Path of the controller's construct-info file: "<InstallDir>_snapshot<contNo>.csv".
int ConstructInfoPath(uint8_t contNo, char *out, size_t size);
// Appends the base/repository pairs of a created request; returns 1 when written, 0 otherwise.
int SaveSnapshotConstructInfo(int layout, const LdCreateRequest *request, uint8_t contNo);
// Reads the file into info; returns the number of lines taken (0 when the file is missing).
int ReadSnapshotConstructInfo(uint8_t contNo, const ContData *records, SnapConstructInfo *info);
int RemoveSnapshotConstructInfo(uint8_t contNo);

// "LD%u_YYMMDDhhmm" from the local time of creation; "LD%u_View".
int MakeSnapshotName(char *out, size_t size, uint8_t ldNo, const struct tm *localTime);
int MakeViewName(char *out, size_t size, uint8_t ldNo);

// What the flush before a snapshot tells the user. The console tool's text is the default; the
// graphical tool installs its own notifier that shows its message box.
enum SnapSupportNotice { SNAP_FLUSH_WINDOWS_API_ERROR = 1 }; // value: system error code
typedef void (*SnapSupportNotifier)(int notice, uint32_t value);
void SetSnapSupportNotifier(SnapSupportNotifier notifier); // null restores the console message

// Flushes the operating system's buffers of every volume on the LD; 1 on success, 0 on failure.
int FlushLDBuffers(uint8_t contNo, ContData *records, uint8_t ldNo);

#ifdef __cplusplus
}
#endif

#endif
