// What a controller, PD, LD, RAID group or snapshot base is, answered from the controller data
// record or a single wire block alone, with the fixed texts that name those facts. Both tools ask
// here, so each answer has exactly one place.
#ifndef ZAV_COMMON_FACTS_H
#define ZAV_COMMON_FACTS_H

#include <stddef.h>
#include <stdint.h>

#include "common/storelib_layout.h"

struct ContData;
struct SnapConstructInfo;

// --- Controller ---------------------------------------------------------------------------
// SMART copyback and PD fail on SMART error cannot be set on the embedded controller and on two
// early controller models.
int SmartOptionsSupported(const ContData *record);
// 1 when the controller information reports a cache backup unit.
int CtrlHasCacheBackupUnit(const uint8_t *ctrlInfo);
// Product name of the first controller (80 characters at most).
int ProductNameOfFirstCtrl(const ContData *records, char *out, size_t size);
const char *YesNoText(int yes);           // "Yes" / "No"
const char *EnabledText(int enabled);     // "Enabled" / "Disabled"
// "Hourly", "Daily", "Weekly" or "Monthly"; null for any other interval.
const char *PatrolIntervalText(uint32_t seconds);
const char *CacheBackupTypeText(uint8_t type); // "Not defined" outside the table
const char *LearnModeText(uint8_t mode);       // "Not defined" outside the table

// --- PD -----------------------------------------------------------------------------------
// 1 when the slot is a disk of the controller's PD list.
int MorePdIsDisk(const ContData *record, uint8_t slotNo);
// The listed slots that hold a disk, in list order; returns the count.
unsigned DisksAmongSlots(const ContData *record, const uint8_t *slots, unsigned slotCount, uint8_t *disks);
unsigned PdInterfaceType(const uint8_t *pdInfo); // DDF type bits 12..15
unsigned PdMediaType(const uint8_t *pdInfo);     // 0 HDD, 1 SSD
uint64_t PdUsableBlocks(const uint8_t *pdInfo);
// 1 when the PD is unconfigured good and not foreign, so a new group may take it.
int PdIsFreeForNewGroup(const uint8_t *pdInfo);
// 1 when every listed slot holds such a PD.
int PdsFreeForNewGroup(const ContData *record, const uint8_t *slots, int count);
const char *InterfaceTypeText(uint16_t ddfType); // "Not defined" outside the table
const char *LinkSpeedText(uint8_t code);
const char *PowerStatusText(uint8_t state);
const char *SensorStatusText(uint8_t status);
const char *EnclosureModelText(uint8_t model);

// How a PD compares with a set of configured PDs.
struct PdComparison {
    int otherInterface;
    int otherMedia;
    int smaller;
};
// Compares the PD with the members of every RAID group a hot spare can serve (CacheCade groups
// take none, so their SSDs do not count).
PdComparison CompareWithAllGroups(const ContData *record, uint8_t slot);

// --- RAID groups a dedicated hot spare can serve -------------------------------------------
enum { RG_CHOICES_MAX = 128 };
struct RaidGroupChoice {
    char name[16];
    uint16_t arrayRefs[LI_MAX_SPANS];
    unsigned arrayCount;
    uint8_t firstLd;
};
// Every RAID group of the controller in configuration order; a spanned group is one choice that
// holds all its arrays. CacheCade groups take no hot spare.
unsigned CollectRaidGroups(const ContData *record, RaidGroupChoice *choices);
PdComparison CompareWithGroup(const ContData *record, uint8_t slot, const RaidGroupChoice *group);
// The refusal of a dedicated hot spare that compares so with its group (a text with the controller
// number as its one argument); null when the spare fits.
const char *DedicatedSpareRefusal(const PdComparison *comparison);
// 1 when the configuration holds a global hot spare.
int HasGlobalHotSpare(const ContData *record);

// --- LD -----------------------------------------------------------------------------------
// 1 when the LD target exists on the controller.
int MoreLdExists(const ContData *record, uint8_t targetId);
// The LDs of the controller in LD-list order; returns the count.
unsigned ExistingLds(const ContData *record, uint8_t *targets);
// The LDs of the controller, in LD-list order, for which fits(record, target, other) holds;
// returns the count.
unsigned FittingLds(const ContData *record, int (*fits)(const ContData *, uint8_t, uint8_t), uint8_t other,
                    uint8_t *targets);
unsigned CountCacheCadeLds(const ContData *record);
int LdIsSnapshotBase(const uint8_t *ldInfo);
int LdIsRepository(const uint8_t *ldInfo);
int LdIsCacheCade(const uint8_t *ldInfo);
// "LD%u" for the first target, ", %u" for each further one.
int LdListText(char *out, size_t size, const uint8_t *targets, unsigned count);
// LD capacity in blocks from its LD information.
uint64_t LdCapacityBlocks(const uint8_t *ldInfo, uint8_t contNo);
// "RAID5, 100.000 GB, OPTIMAL" style summary of one LD.
int LdSummaryText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t targetId);
// LD name (at most 15 characters) from its LD information.
int LdNameText(char *out, size_t size, const uint8_t *ldInfo);
// The LDs sharing a RAID group with the LD (itself included, in array order); returns the count.
unsigned LdsOfSameRaidGroup(const ContData *record, uint8_t targetId, uint8_t *out);
// CacheCade association: an LD lists the CacheCade LDs that cache it; a CacheCade LD is shown
// with the LDs that list it. Returns the count.
unsigned AssociatedCacheCadeLds(const ContData *record, uint8_t targetId, uint8_t *out);
// The LDs that are not CacheCade LDs, in LD-list order; returns the count.
unsigned NonCacheCadeLds(const ContData *record, uint8_t *targets);
// Level of the group that holds the PD, from the first LD on it; "-" when none.
int PdGroupLevelText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t slot);
// Device ids of an LD's arms over all its spans (missing arms left out); the count.
int LdMemberDevices(const uint8_t *config, const uint8_t *ld, uint16_t *devices, int max);

// --- Snapshot bases and repositories ------------------------------------------------------
// The snapshot information of a base LD; null when the LD is not a base.
const uint8_t *BaseInfo(const ContData *record, uint8_t target);
unsigned PitCount(const uint8_t *base);
const uint8_t *PitAt(const uint8_t *base, unsigned index);
unsigned ViewCount(const uint8_t *base);
const uint8_t *ViewAt(const uint8_t *base, unsigned index);
const uint8_t *FindPitByNumber(const uint8_t *base, uint32_t number);
const uint8_t *FindPitByTime(const uint8_t *base, uint32_t seconds);
int AutoDeleteEnabled(const ContData *record, uint8_t target);
int AutoSnapshotEnabled(const ContData *record, uint8_t target);
int LdIsBase(const ContData *record, uint8_t target);
int LdIsBaseOrRepository(const ContData *record, uint8_t target);
// Blocks a new base may take from the repository: its unused room, or the whole LD when it does
// not hold a repository yet.
uint64_t RepositoryFreeBlocks(const ContData *record, uint8_t contNo, uint8_t repo);
// Refusal of one LD as a base with the given repository, or as a repository (texts with the
// controller number as their one argument); null when it may take the role.
const char *BaseRefusal(const ContData *record, uint8_t base, uint8_t repository);
const char *RepositoryRefusal(const ContData *record, uint8_t repository);
// Predicates of the snapshot dialogue's LD choices (other: the base already chosen, or unused).
int LdFitsSnapshotBase(const ContData *record, uint8_t target, uint8_t other);
int LdFitsRepository(const ContData *record, uint8_t target, uint8_t base);
int LdFitsSnapshotDisable(const ContData *record, uint8_t target, uint8_t other);
// "YYYY-MM-DD hh:mm:ss" of a controller time.
int DateTimeText(char *out, size_t size, uint32_t seconds);
const char *ViewAccessText(uint8_t access);
// The snapshot role column: enabled roles first, then what the construct-info file preselected.
int SnapshotRoleText(char *out, size_t size, const ContData *record, const SnapConstructInfo *preselection,
                     uint8_t target);

#endif
