// The per-controller data record both tools read, its refresh from the controller, the RAID-group
// numbering, and the lookups between slots, device ids, LDs and arrays built on it.
#ifndef ZAV_COMMON_CONTDATA_H
#define ZAV_COMMON_CONTDATA_H

#include <stddef.h>
#include <stdint.h>

#include "common/storelib_layout.h"

enum {
    CONTDATA_RECORD_SIZE = 500264, // bytes the console tool allocates per record
    CONTDATA_DRIVE_LETTERS_SIZE = 512,
    CONTDATA_PD_SLOTS = 256,
    CONTDATA_LD_TARGETS = 64,
    CONTDATA_ARRAYS = 128,
    CONTDATA_CONFIG_INITIAL_SIZE = 616,
    SNAPSHOT_INFO_PROBE_SIZE = 288,
    SNAPSHOT_REPO_PROBE_SIZE = 288,
    GUI_MAX_CONTROLLERS = 16
};

// LD operation kinds reported by LdOperationKind.
enum { LD_OPKIND_NONE = 0, LD_OPKIND_INIT = 1, LD_OPKIND_CC = 2, LD_OPKIND_REBUILD = 3, LD_OPKIND_COPYBACK = 4 };

#pragma pack(push, 1)
struct RaidGroupEntry {
    uint8_t rgNo;          // number among ordinary RGs, or of the spanned group
    uint8_t spanIndex;     // position within its spanned group
    uint8_t cacheCadeRgNo; // number among CacheCade RGs
    uint32_t spanned;      // 1 when the array belongs to an LD of two or more spans
    uint32_t cacheCade;    // 1 for an array of a CacheCade LD
};
static_assert(sizeof(RaidGroupEntry) == 11, "RaidGroupEntry size");

struct RaidGroupNumbering {
    uint8_t rgCount;        // ordinary RGs
    uint8_t spannedCount;   // spanned groups
    uint8_t cacheCadeCount; // CacheCade RGs
    RaidGroupEntry entries[CONTDATA_ARRAYS]; // indexed by array reference
};
static_assert(sizeof(RaidGroupNumbering) == 3 + 128 * 11, "RaidGroupNumbering size");
#pragma pack(pop)

struct ContData {
    char driveLetters[CONTDATA_LD_TARGETS][CONTDATA_DRIVE_LETTERS_SIZE]; // "C,E" per LD target id
    uint8_t ctrlInfo[CTRL_INFO_SIZE];
    EnclList enclList;
    uint8_t scsiPortNo;
    uint16_t slotNum;
    PdList *pdList;                                          // owned, sorted by slot
    uint8_t pdInfo[CONTDATA_PD_SLOTS][PD_INFO_SIZE];        // by slot number
    LdList *ldList;                                          // owned, sorted by target id
    uint8_t ldInfo[CONTDATA_LD_TARGETS][LD_INFO_SIZE];      // by target id
    uint8_t *config;                                         // owned, size reported by the controller
    uint8_t arrayInfo[CONTDATA_ARRAYS][ARRAY_INFO_SIZE];    // by array reference
    RaidGroupNumbering rgNumbering;
    uint8_t *snapshotInfo[CONTDATA_LD_TARGETS];              // owned, by target id, null unless a base
    uint8_t *repositoryInfo[CONTDATA_LD_TARGETS];            // owned, by target id, null unless a repository
};
// The record size is that of the 32-bit tools; the native 64-bit builds of the parsers (fuzzing)
// carry wider pointers and never allocate records by this size.
static_assert(sizeof(void *) != 4 || sizeof(ContData) <= CONTDATA_RECORD_SIZE,
              "ContData must fit the record the console tool allocates");

#ifdef __cplusplus
extern "C" {
#endif

// Buffers and refresh. Tool-level steps: 1 on success, 0 on failure.
int AllocContData(ContData *records, uint16_t count);
int FreeContData(ContData *records, uint16_t count);
int UpdateDriveInfo(ContData *records, uint16_t count);
// Graphical tool: controller information and slot count of every controller, everything else only
// for the selected one (which also reads its own enclosure list).
int UpdateDriveInfoGui(ContData *records, uint16_t count, uint8_t selected);
void BuildRaidGroupNumbering(ContData *record);

// Configuration access (the configuration buffer as the controller reports it); null when absent.
uint16_t ConfigArrayCount(const uint8_t *config);
uint16_t ConfigLdCount(const uint8_t *config);
uint16_t ConfigSpareCount(const uint8_t *config);
const ConfigArray *ConfigArrayAt(const uint8_t *config, uint16_t index);
const uint8_t *ConfigLdAt(const uint8_t *config, uint16_t index); // LD information layout, 256 bytes
const ConfigSpare *ConfigSpareAt(const uint8_t *config, uint16_t index);
const ConfigArray *ConfigFindArray(const uint8_t *config, uint16_t arrayRef);
const uint8_t *ConfigFindLd(const uint8_t *config, uint8_t targetId);

// Lookups over one record
int LdListHas(const ContData *record, uint8_t targetId);
void getAdpLdArray(const uint8_t *controllers4, const uint8_t *targets, uint8_t *result256, const ContData *records);
int SlotOfDevice(const ContData *record, uint16_t deviceId, uint8_t *slotNo);
int DeviceOfSlot(const ContData *record, uint8_t slotNo, uint16_t *deviceId);
int LdMemberSlots(const ContData *record, uint8_t targetId, uint8_t *slots, uint16_t maxSlots, uint16_t *count);
int LdOperationKind(const ContData *record, uint8_t targetId);
int ArrayRefOfDevice(const ContData *record, uint16_t deviceId, uint16_t *arrayRef);
int LdsOfPd(const ContData *record, uint8_t slotNo, uint8_t *targets, uint16_t maxTargets, uint16_t *count);

#ifdef __cplusplus
}
#endif

#endif
