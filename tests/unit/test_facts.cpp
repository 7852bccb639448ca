// Facts about controllers, PDs, LDs, RAID groups and snapshot bases read from a controller data
// record: fixed texts at their table edges, the hot-spare comparisons and group choices, the
// refusals of snapshot roles, and the free-extent and existing-group search of the planner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/LdPlan.h"
#include "common/SnapSupport.h"
#include "common/storelib_layout.h"
#include "unit/record_builder.h"

namespace {

using testrec::Record;

std::string Or(const char *text)
{
    return text != nullptr ? text : "(none)";
}

TEST(FactsTexts, CodesAtTheEdgesOfTheirTables)
{
    const struct {
        std::string got;
        const char *want;
    } rows[] = {
        {Or(PatrolIntervalText(3600)), "Hourly"},
        {Or(PatrolIntervalText(86400)), "Daily"},
        {Or(PatrolIntervalText(604800)), "Weekly"},
        {Or(PatrolIntervalText(2592000)), "Monthly"},
        {Or(PatrolIntervalText(3601)), "(none)"},
        {Or(PatrolIntervalText(0)), "(none)"},
        {CacheBackupTypeText(0), "No Battery"},
        {CacheBackupTypeText(6), "SuperCAP"},
        {CacheBackupTypeText(7), "Not defined"},
        {LearnModeText(0), "Automatic"},
        {LearnModeText(2), "Warning Only"},
        {LearnModeText(3), "Not defined"},
        {LinkSpeedText(0), "Unknown"},
        {LinkSpeedText(1), "1.5 Gbps"},
        {LinkSpeedText(3), "6.0 Gbps"},
        {LinkSpeedText(4), "Unknown"},
        {PowerStatusText(0), "On"},
        {PowerStatusText(1), "Off"},
        {PowerStatusText(2), "Unknown"},
        {PowerStatusText(254), "Unknown"},
        {PowerStatusText(255), "Transitioning"},
        {SensorStatusText(0), "Unsupported"},
        {SensorStatusText(7), "Not Available"},
        {SensorStatusText(8), "Invalid"},
        {InterfaceTypeText(0x0000), "Unknown"},
        {InterfaceTypeText(0x2FFF), "SAS"},
        {InterfaceTypeText(0x3000), "SATA"},
        {InterfaceTypeText(0x4000), "Fiber Channel"},
        {InterfaceTypeText(0x5000), "Not defined"},
        {EnclosureModelText(ENCL_MODEL_SAFTE), "SAFTE"},
        {EnclosureModelText(ENCL_MODEL_BACKPLANE), "Backplane"},
        {YesNoText(2), "Yes"},
        {EnabledText(0), "Disabled"},
        {ViewAccessText(0), "Read Write"},
        {ViewAccessText(1), "Unknown"},
        {ViewAccessText(3), "Blocked"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.want, row.got);
}

TEST(FactsController, SmartOptionsRefusedOnTheEmbeddedAndTwoEarlyModels)
{
    const struct {
        const char *name;
        uint16_t vendor, device, subvendor, subdevice;
        int supported;
    } rows[] = {
        {"LSI Embedded MegaRAID", 0x1000, 0x0073, 0x1000, 0x9263, 0},
        {"LSI Embedded MegaRAID2", 0x1000, 0x0073, 0x1000, 0x9263, 1}, // only the exact name
        {"RAID", 0x1000, 0x0079, 0x1000, 0x9263, 0},
        {"RAID", 0x1000, 0x0079, 0x1000, 0x9280, 0},
        {"RAID", 0x1000, 0x0079, 0x1000, 0x9264, 1},
        {"RAID", 0x1000, 0x0079, 0x1028, 0x9263, 1},
        {"RAID", 0x1000, 0x005B, 0x1000, 0x9263, 1},
    };
    for (const auto &row : rows) {
        Record r;
        uint8_t *info = r.rec->ctrlInfo;
        std::memcpy(info + CI_PRODUCT_NAME, row.name, std::strlen(row.name));
        LayoutPutU16(info, CI_PCI_VENDOR, row.vendor);
        LayoutPutU16(info, CI_PCI_DEVICE, row.device);
        LayoutPutU16(info, CI_PCI_SUBVENDOR, row.subvendor);
        LayoutPutU16(info, CI_PCI_SUBDEVICE, row.subdevice);
        EXPECT_EQ(row.supported, SmartOptionsSupported(r.rec)) << row.name << " " << std::hex << row.subdevice;
    }
}

// Two RAID1 groups of SAS HDDs (device ids 100..103, 1000 blocks each), one CacheCade group on an
// SSD (104), and a candidate PD in slot 9 whose kind the test sets.
struct SpareScene {
    Record r;
    SpareScene()
    {
        for (uint8_t slot = 0; slot < 5; ++slot) {
            r.AddPd(slot, (uint16_t)(100 + slot), PD_STATE_ONLINE, PD_DDF_IN_LD | 0x2000);
            LayoutPutU64(r.rec->pdInfo[slot], PI_COERCED_SIZE, 1000);
        }
        r.rec->pdInfo[4][PI_MEDIA_TYPE] = 1;
        r.AddPd(9, 109, PD_STATE_UNCONF_GOOD, 0x2000);
        Candidate(0x2000, 0, 1000);
        r.AddArray(0, {100, 101});
        r.AddArray(1, {102, 103});
        r.AddArray(2, {104});
        r.AddLd(0, {0}, 1, 2);
        r.AddLd(1, {1}, 1, 2);
        r.AddLd(2, {2}, 0, 1, LD_STATE_OPTIMAL, 1);
        r.Number();
    }
    void Candidate(uint16_t ddf, uint8_t media, uint64_t blocks)
    {
        LayoutPutU16(r.rec->pdInfo[9], PI_DDF_TYPE, ddf);
        r.rec->pdInfo[9][PI_MEDIA_TYPE] = media;
        LayoutPutU64(r.rec->pdInfo[9], PI_COERCED_SIZE, blocks);
    }
};

TEST(FactsHotSpare, ComparisonWithAllGroupsLeavesCacheCadeOut)
{
    const struct {
        uint16_t ddf;
        uint8_t media;
        uint64_t blocks;
        PdComparison want;
        const char *refusal; // of a dedicated spare for the first group
    } rows[] = {
        {0x2000, 0, 1000, {0, 0, 0}, nullptr},
        {0x2000, 0, 5000, {0, 0, 0}, nullptr},
        {0x2000, 0, 999, {0, 0, 1}, "lower capacity"},
        {0x2000, 1, 1000, {0, 1, 0}, "Media Type"},
        {0x3000, 1, 999, {1, 1, 1}, "Interface Type"},
    };
    for (const auto &row : rows) {
        SpareScene s;
        s.Candidate(row.ddf, row.media, row.blocks);
        PdComparison all = CompareWithAllGroups(s.r.rec, 9);
        EXPECT_EQ(row.want.otherInterface, all.otherInterface);
        EXPECT_EQ(row.want.otherMedia, all.otherMedia) << "the CacheCade SSD is no configured PD of a group";
        EXPECT_EQ(row.want.smaller, all.smaller);
        RaidGroupChoice groups[RG_CHOICES_MAX];
        ASSERT_EQ(2u, CollectRaidGroups(s.r.rec, groups));
        PdComparison one = CompareWithGroup(s.r.rec, 9, &groups[0]);
        const char *refusal = DedicatedSpareRefusal(&one);
        if (row.refusal == nullptr)
            EXPECT_EQ(nullptr, refusal);
        else
            EXPECT_NE(std::string::npos, Or(refusal).find(row.refusal)) << Or(refusal);
    }
}

TEST(FactsHotSpare, AMemberIsNotComparedWithItself)
{
    SpareScene s;
    LayoutPutU64(s.r.rec->pdInfo[0], PI_COERCED_SIZE, 10); // smaller than its partner
    PdComparison cmp = CompareWithAllGroups(s.r.rec, 0);
    EXPECT_EQ(1, cmp.smaller);
    LayoutPutU64(s.r.rec->pdInfo[1], PI_COERCED_SIZE, 10);
    LayoutPutU64(s.r.rec->pdInfo[2], PI_COERCED_SIZE, 10);
    LayoutPutU64(s.r.rec->pdInfo[3], PI_COERCED_SIZE, 10);
    cmp = CompareWithAllGroups(s.r.rec, 0);
    EXPECT_EQ(0, cmp.smaller);
}

TEST(FactsHotSpare, SpannedGroupIsOneChoiceHoldingAllItsArrays)
{
    Record r;
    r.AddArray(0, {100});
    r.AddArray(1, {101});
    r.AddArray(2, {102});
    r.AddArray(3, {103}); // no LD on it: no group
    r.AddLd(0, {0, 1}, 1, 1);
    r.AddLd(5, {2}, 0, 1);
    r.Number();
    RaidGroupChoice groups[RG_CHOICES_MAX];
    ASSERT_EQ(2u, CollectRaidGroups(r.rec, groups));
    EXPECT_STREQ("sRG0", groups[0].name);
    EXPECT_EQ(2u, groups[0].arrayCount);
    EXPECT_EQ(1, groups[0].arrayRefs[1]);
    EXPECT_STREQ("RG0", groups[1].name);
    EXPECT_EQ(5, groups[1].firstLd);
}

TEST(FactsHotSpare, GlobalSpareIsASpareEntryWithoutTheDedicatedFlag)
{
    Record r;
    EXPECT_EQ(0, HasGlobalHotSpare(r.rec));
    r.AddSpare(100, 0)->spareType = SPARE_TYPE_DEDICATED;
    EXPECT_EQ(0, HasGlobalHotSpare(r.rec));
    r.AddSpare(101, 0)->spareType = SPARE_TYPE_REVERTIBLE;
    EXPECT_EQ(1, HasGlobalHotSpare(r.rec));
}

TEST(FactsPd, NewGroupTakesOnlyUnconfiguredGoodPdsThatAreNotForeign)
{
    Record r;
    r.AddPd(0, 100, PD_STATE_UNCONF_GOOD);
    r.AddPd(1, 101, PD_STATE_UNCONF_GOOD);
    r.AddPd(2, 102, PD_STATE_UNCONF_GOOD, PD_DDF_FOREIGN);
    r.AddPd(3, 103, PD_STATE_ONLINE);
    const uint8_t freeOnes[] = {0, 1}, withForeign[] = {0, 2}, withOnline[] = {3, 1};
    EXPECT_EQ(1, PdsFreeForNewGroup(r.rec, freeOnes, 2));
    EXPECT_EQ(0, PdsFreeForNewGroup(r.rec, withForeign, 2));
    EXPECT_EQ(0, PdsFreeForNewGroup(r.rec, withOnline, 2));
    EXPECT_EQ(1, PdsFreeForNewGroup(r.rec, withOnline, 0));
}

TEST(FactsPd, ListedSlotsWithoutADiskArePassedOver)
{
    Record r;
    r.AddPd(3, 103, PD_STATE_ONLINE);
    r.AddPd(1, 101, PD_STATE_ONLINE);
    PdListEntry &enclosure = r.rec->pdList->entries[r.rec->pdList->count++];
    enclosure.slotNumber = 2;
    enclosure.scsiDevType = 0x0D;
    const uint8_t listed[] = {1, 2, 5, 3};
    uint8_t disks[4] = {};
    ASSERT_EQ(2u, DisksAmongSlots(r.rec, listed, 4, disks));
    EXPECT_EQ(1, disks[0]);
    EXPECT_EQ(3, disks[1]);
}

int TargetAbove(const ContData *, uint8_t target, uint8_t other)
{
    return target > other;
}

TEST(FactsLd, FittingLdsKeepTheLdListOrder)
{
    Record r;
    r.AddArray(0, {100});
    r.AddLd(4, {0}, 0, 1);
    r.AddLd(1, {0}, 0, 1);
    r.AddLd(7, {0}, 0, 1);
    uint8_t out[LD_MAX] = {};
    ASSERT_EQ(2u, FittingLds(r.rec, TargetAbove, 2, out));
    EXPECT_EQ(4, out[0]);
    EXPECT_EQ(7, out[1]);
    EXPECT_EQ(0u, FittingLds(r.rec, TargetAbove, 7, out));
}

TEST(FactsLd, CacheCadeListsAndAssociations)
{
    Record r;
    r.AddArray(0, {100});
    r.AddArray(1, {101});
    r.AddArray(2, {102});
    r.AddLd(0, {0}, 0, 1);
    r.AddLd(3, {1}, 0, 1, LD_STATE_OPTIMAL, 1);
    r.AddLd(7, {2}, 0, 1);
    r.rec->ldInfo[7][LI_CC_ASSOC_COUNT] = 1;
    r.rec->ldInfo[7][LI_CC_ASSOC] = 3;
    uint8_t out[LD_MAX];
    ASSERT_EQ(2u, NonCacheCadeLds(r.rec, out));
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(7, out[1]);
    EXPECT_EQ(1u, CountCacheCadeLds(r.rec));
    ASSERT_EQ(1u, AssociatedCacheCadeLds(r.rec, 3, out));
    EXPECT_EQ(7, out[0]);
    ASSERT_EQ(1u, AssociatedCacheCadeLds(r.rec, 7, out));
    EXPECT_EQ(3, out[0]);
    EXPECT_EQ(0u, AssociatedCacheCadeLds(r.rec, 0, out));
}

TEST(FactsLd, GroupLevelOfAPdComesFromTheFirstLdOnIt)
{
    Record r;
    r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
    r.AddPd(1, 101, PD_STATE_UNCONF_GOOD);
    r.AddArray(0, {100});
    r.AddLd(0, {0}, 5, 1);
    char text[16];
    PdGroupLevelText(text, sizeof(text), r.rec, 0, 0);
    EXPECT_STREQ("RAID5", text);
    PdGroupLevelText(text, sizeof(text), r.rec, 0, 1);
    EXPECT_STREQ("-", text);
}

// Refusals of snapshot roles, in the order they are checked.
TEST(FactsSnapshot, RoleRefusalsComeInTheirOrder)
{
    enum { BASE = 1, REPO = 2, CACHECADE = 4, INIT = 8, VIEW = 16 };
    const struct {
        int flags;
        const char *asBase;       // null when the LD may be a base
        const char *asRepository; // null when it may be a repository
    } rows[] = {
        {0, nullptr, nullptr},
        {REPO | CACHECADE, "Repository LD(Logical Drive) cannot be selected as Snapshot Base", "CacheCade LD"},
        {CACHECADE | INIT, "Cannot enable Snapshot on CacheCade", "CacheCade LD"},
        {INIT | BASE, "under Initialization", "Base LD(Logical Drive) cannot be selected"},
        {INIT, "under Initialization", "under Initialization"},
        {VIEW, "already been enabled", "Base LD(Logical Drive) cannot be selected"},
        {BASE, "already been enabled", "Base LD(Logical Drive) cannot be selected"},
    };
    for (const auto &row : rows) {
        Record r;
        r.AddArray(0, {100});
        r.AddLd(4, {0}, 0, 1, LD_STATE_OPTIMAL, (row.flags & CACHECADE) ? 1 : 0);
        uint8_t *ld = r.rec->ldInfo[4];
        ld[LI_SNAPSHOT_BASE] = (row.flags & BASE) ? 1 : 0;
        ld[LI_REPOSITORY] = (row.flags & REPO) ? 1 : 0;
        ld[LI_IS_VIEW] = (row.flags & VIEW) ? 1 : 0;
        LayoutPutU32(ld, LI_OPERATION_BITS, (row.flags & INIT) ? LD_PROG_INIT : 0);
        const char *base = BaseRefusal(r.rec, 4, SNAP_INFO_NONE);
        const char *repo = RepositoryRefusal(r.rec, 4);
        if (row.asBase == nullptr)
            EXPECT_EQ(nullptr, base);
        else
            EXPECT_NE(std::string::npos, Or(base).find(row.asBase)) << row.flags << ": " << Or(base);
        if (row.asRepository == nullptr)
            EXPECT_EQ(nullptr, repo);
        else
            EXPECT_NE(std::string::npos, Or(repo).find(row.asRepository)) << row.flags << ": " << Or(repo);
        EXPECT_EQ(base == nullptr, LdFitsSnapshotBase(r.rec, 4, 0) == 1);
    }
    Record r;
    r.AddArray(0, {100});
    r.AddLd(4, {0}, 0, 1);
    EXPECT_NE(nullptr, BaseRefusal(r.rec, 4, 4)) << "an LD cannot be its own repository";
    EXPECT_EQ(0, LdFitsRepository(r.rec, 4, 4));
    EXPECT_EQ(1, LdFitsRepository(r.rec, 4, 5));
}

TEST(FactsSnapshot, PitsAndViewsFollowTheHeaderCounts)
{
    std::vector<uint8_t> base(SB_HEADER_SIZE + 3 * SB_PIT_SIZE + 2 * SB_VIEW_SIZE, 0);
    base[SB_PIT_COUNT] = 3;
    base[SB_VIEW_COUNT] = 2;
    for (unsigned i = 0; i < 3; ++i) {
        uint8_t *pit = base.data() + SB_HEADER_SIZE + SB_PIT_SIZE * i;
        LayoutPutU32(pit, SP_NUMBER, 10 + i);
        LayoutPutU32(pit, SP_TIME, 5000 + i);
    }
    base[SB_HEADER_SIZE + 3 * SB_PIT_SIZE + SB_VIEW_SIZE + SV_TARGET] = 42;
    EXPECT_EQ(base.data() + SB_HEADER_SIZE + SB_PIT_SIZE * 2, FindPitByNumber(base.data(), 12));
    EXPECT_EQ(base.data() + SB_HEADER_SIZE, FindPitByTime(base.data(), 5000));
    EXPECT_EQ(nullptr, FindPitByNumber(base.data(), 13));
    EXPECT_EQ(nullptr, FindPitByTime(base.data(), 4999));
    EXPECT_EQ(42, ViewAt(base.data(), 1)[SV_TARGET]) << "views follow every PIT";
    EXPECT_EQ(0u, PitCount(nullptr));
    EXPECT_EQ(0u, ViewCount(nullptr));
    EXPECT_EQ(nullptr, FindPitByNumber(nullptr, 1));
}

TEST(FactsSnapshot, RoleColumnPrefersEnabledRolesOverThePreselection)
{
    Record r;
    r.AddArray(0, {100});
    for (uint8_t t = 0; t < 4; ++t)
        r.AddLd(t, {0}, 0, 1);
    std::vector<uint8_t> info(SB_HEADER_SIZE, 0);
    info[SB_REPO_TARGET] = 3;
    r.rec->ldInfo[0][LI_SNAPSHOT_BASE] = 1;
    r.rec->snapshotInfo[0] = info.data();
    r.rec->ldInfo[3][LI_REPOSITORY] = 1;
    SnapConstructInfo pre;
    std::memset(&pre, 0, sizeof(pre));
    std::memset(pre.repositoryOf, SNAP_INFO_NONE, sizeof(pre.repositoryOf));
    pre.repositoryOf[0] = 2; // already enabled: the enabled role wins
    pre.repositoryOf[1] = 2;
    pre.isRepository[2] = 1;
    pre.isRepository[3] = 1;
    const char *want[] = {"Base(RepLD3)", "Preselected Base(RepLD2)", "Preselected Repository", "Repository"};
    for (uint8_t t = 0; t < 4; ++t) {
        char text[64];
        SnapshotRoleText(text, sizeof(text), r.rec, &pre, t);
        EXPECT_STREQ(want[t], text);
    }
    r.rec->snapshotInfo[0] = nullptr;
    char text[64];
    SnapshotRoleText(text, sizeof(text), r.rec, &pre, 0);
    EXPECT_STREQ("Preselected Base(RepLD2)", text) << "a base without its information is not shown as enabled";
}

// An array of 100000 blocks per arm with two PDs; LDs take spans of it at the given places.
struct ExtentScene {
    Record r;
    explicit ExtentScene(std::initializer_list<std::pair<uint64_t, uint64_t>> spans)
    {
        r.AddPd(0, 100, PD_STATE_ONLINE, PD_DDF_IN_LD);
        r.AddPd(1, 101, PD_STATE_ONLINE, PD_DDF_IN_LD);
        r.AddArray(6, {100, 101});
        reinterpret_cast<ConfigArray *>(r.rec->config + sizeof(ConfigHeader))->size = 100000;
        uint8_t target = 0;
        for (const auto &span : spans) {
            r.AddLd(target, {6}, 1, 2);
            uint8_t *ld = r.LdEntry(target);
            LayoutPutU64(ld, LI_SPANS + LI_SPAN_START, span.first);
            LayoutPutU64(ld, LI_SPANS + LI_SPAN_BLOCKS, span.second);
            ++target;
        }
    }
};

TEST(LdPlanExtent, FirstGapWorthAnLd)
{
    // RAID1 over 2 PDs: an extent is worth an LD when its whole usable MB exceed 4 per PD, so it
    // needs 9 MB (18432 blocks).
    const struct {
        std::vector<std::pair<uint64_t, uint64_t>> spans;
        int found;
        uint64_t start, blocks;
    } rows[] = {
        {{}, 1, 0, 100000},
        {{{0, 50000}}, 1, 50000, 50000},
        {{{50000, 50000}}, 1, 0, 50000},
        {{{0, 1000}, {19431, 80569}}, 0, 0, 0},          // one block short
        {{{0, 1000}, {19432, 80568}}, 1, 1000, 18432},
        {{{60000, 40000}, {0, 10000}}, 1, 10000, 50000}, // entries in any order
        {{{0, 100000}}, 0, 0, 0},
    };
    for (const auto &row : rows) {
        ExtentScene s({});
        for (size_t i = 0; i < row.spans.size(); ++i) {
            s.r.AddLd((uint8_t)i, {6}, 1, 2);
            uint8_t *ld = s.r.LdEntry((uint16_t)i);
            LayoutPutU64(ld, LI_SPANS + LI_SPAN_START, row.spans[i].first);
            LayoutPutU64(ld, LI_SPANS + LI_SPAN_BLOCKS, row.spans[i].second);
        }
        FreeExtent extent = {0, 0};
        int found = FirstFreeExtent(s.r.rec->config, 6, RAIDLVL_1, 2, 0, &extent);
        EXPECT_EQ(row.found, found) << row.spans.size();
        if (found) {
            EXPECT_EQ(row.start, extent.start);
            EXPECT_EQ(row.blocks, extent.blocks);
        }
    }
    ExtentScene none({});
    FreeExtent extent;
    EXPECT_EQ(0, FirstFreeExtent(none.r.rec->config, 7, RAIDLVL_1, 2, 0, &extent)) << "no such array";
}

TEST(LdPlanExtent, ExistingGroupMustHoldExactlyTheListedPdsAtTheLevel)
{
    ExtentScene s({{0, 1000}});
    s.r.AddPd(2, 102, PD_STATE_UNCONF_GOOD);
    const uint8_t both[] = {1, 0}, one[] = {0}, three[] = {0, 1, 2}, other[] = {0, 2}, missing[] = {0, 9};
    EXPECT_EQ(s.r.LdEntry(0), FindExistingGroup(s.r.rec, RAIDLVL_1, both, 2)) << "order does not matter";
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_0, both, 2)) << "another level";
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_1, one, 1));
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_1, three, 3));
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_1, other, 2));
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_1, missing, 2)) << "a slot without a disk";
    s.r.LdEntry(0)[LI_CACHECADE] = 1;
    EXPECT_EQ(nullptr, FindExistingGroup(s.r.rec, RAIDLVL_1, both, 2)) << "a CacheCade group takes no LD";
}

} // namespace
