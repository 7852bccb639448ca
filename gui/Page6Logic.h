// Logic of the Snapshot tab, apart from its windows: the pending enable and disable records, the
// checks of the enable dialog, the lists "Finish" applies and the questions it asks, and the cell
// texts of the LD list and the snapshot timeline.
#ifndef ZAV_GUI_PAGE6LOGIC_H
#define ZAV_GUI_PAGE6LOGIC_H

#include <stddef.h>
#include <stdint.h>

#include "common/storelib_layout.h"

struct ContData;
struct SnapConstructInfo;

enum { SNAP_PENDING_NONE = 0, SNAP_PENDING_ENABLE = 1, SNAP_PENDING_DISABLE = 2 };

enum {
    SNAP_STATUS_NO_SPACE = 91,        // enable refused: the repository has no room for the area
    SNAP_MAX_BEFORE_QUESTION = 7,     // a base holding more snapshots asks before the next one
    SNAP_AREA_MIN_MB = 1175,          // smallest repository area of one base
    SNAP_BOX_TEXT_SIZE = 512          // the message-box text buffer
};

struct SnapPendingChange {
    uint8_t kind;          // SNAP_PENDING_*
    uint8_t repository;    // enable: the repository LD
    uint8_t autoDelete;    // enable: delete the oldest snapshot when the area is full
    uint8_t autoSnapshot;  // enable: take a snapshot on reboot
    uint64_t areaBlocks;   // enable: the repository area of this base
};

// Pending changes of one controller, by LD target id.
struct SnapPendingSet {
    int contNo;            // the controller they belong to, -1 for none
    SnapPendingChange ld[LD_MAX];
};

void ClearPendingChanges(SnapPendingSet *set, int contNo);
// Keeps only records that still fit the controller as it is now: records of another controller
// are all dropped, and so is every record whose LD (or repository) is gone or no longer has the
// role the record assumes. Returns the number dropped.
int SyncPendingChanges(SnapPendingSet *set, uint8_t contNo, const ContData *record);
int PendingChangeCount(const SnapPendingSet *set);
void RecordPendingDisable(SnapPendingSet *set, uint8_t base);
void CancelPendingChange(SnapPendingSet *set, uint8_t target);

// What the enable dialog gathered for one base LD.
struct SnapEnableInput {
    uint8_t base;
    int repository;        // -1 when none is selected
    int byPercent;         // 1: areaValue is a percentage of the base LD's capacity, 0: GB
    uint32_t areaValue;
    int autoDelete;
    int autoSnapshot;
};

uint64_t EnableAreaBlocks(const SnapEnableInput *input, const ContData *record, uint8_t contNo);
// The string id of the first check the input fails (383, 409, 592, 352, 581, 353), 0 when it
// may be recorded. Pending enables on the same repository count against its room.
uint16_t CheckEnableInput(const SnapEnableInput *input, const SnapPendingSet *set, const ContData *record,
                          uint8_t contNo);
// Records the pending enable (after CheckEnableInput said 0).
void RecordPendingEnable(SnapPendingSet *set, const SnapEnableInput *input, const ContData *record, uint8_t contNo);
// The repository the construct-info file preselects for the base, -1 when none.
int PreselectedRepository(const SnapConstructInfo *info, const ContData *record, uint8_t base);

// The lists "Finish" works through, in the order of the controller's LD table.
struct SnapFinishLists {
    uint8_t enable[LD_MAX];
    unsigned enableCount;
    uint8_t repositories[LD_MAX]; // each once, in target-id order
    unsigned repositoryCount;
    uint8_t disable[LD_MAX];
    unsigned disableCount;
};
void BuildFinishLists(const SnapPendingSet *set, const ContData *record, SnapFinishLists *lists);
// "LD%u" for the first LD and ", %u" for each further one, cut with ", ..." to fit size.
int SnapLdListText(char *out, size_t size, const uint8_t *targets, unsigned count);
// The disable question (349) and the enable question (348) formatted with their lists; the
// lists are shortened so the whole text stays within the box buffer (size).
int FormatDisableQuestion(char *out, size_t size, const char *format, const SnapFinishLists *lists);
int FormatEnableQuestion(char *out, size_t size, const char *format, const SnapFinishLists *lists);

// Create Snapshot asks 366 first when the base already holds more than 7 snapshots and the
// oldest one would be deleted to make room.
int CreateSnapshotAsksFirst(const ContData *record, uint8_t base);
// Create View refuses (575) when the base's repository area has less than a twentieth left.
int ViewRoomTooSmall(const ContData *record, uint8_t base);
// Delete Snapshot works on the oldest snapshot; 1 when a view exists on it (573).
int OldestSnapshotHasView(const ContData *record, uint8_t base);
int BaseSnapshotCount(const ContData *record, uint8_t base);
// Target id of the view on the base's snapshot at index (the timeline row), -1 when it has none.
int ViewTargetOfSnapshot(const ContData *record, uint8_t base, unsigned index);

// LD list columns: LD No., RAID Level, Capacity[GB], Snapshot, Pending.
enum { SNAP_LD_COLUMNS = 5, SNAP_TIMELINE_COLUMNS = 4 };
int SnapLdCellText(char *out, size_t size, const ContData *record, uint8_t contNo, const SnapPendingSet *set,
                   uint8_t target, int column);
// Timeline columns of a base: No., Snapshot Name, Created, View.
int SnapTimelineCellText(char *out, size_t size, const ContData *record, uint8_t base, unsigned index, int column);

#endif
