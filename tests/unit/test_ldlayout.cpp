// Easy-creation layouts: the Single LD choices, and the requests that Single LD, Multi LD,
// snapshot and CacheCade layouts give for the same answers in both tools.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/LdLayout.h"
#include "common/LdPlan.h"
#include "common/storelib_layout.h"

namespace {

const uint64_t GB = 2097152; // blocks of 2^30 bytes

// A controller record in memory with unconfigured disks of the given sizes.
class LayoutRecord {
public:
    LayoutRecord() : record_(new ContData())
    {
        std::memset(record_.get(), 0, sizeof(ContData));
        std::memset(&pdList_, 0, sizeof(pdList_));
        std::memset(&ldList_, 0, sizeof(ldList_));
        record_->pdList = &pdList_;
        record_->ldList = &ldList_;
        LayoutPutU32(Ctrl(), CI_RAID_LEVEL_MASK, 0x01 | 0x02 | 0x04 | 0x10 | 0x20);
        for (int w = 0; w < 6; ++w)
            LayoutPutU16(Ctrl(), CI_PD_COUNT_WORDS + 2 * w, (uint16_t)((32 << 4) | 1));
        LayoutPutU16(Ctrl(), CI_CANDIDATE_CAP, 256);
        Ctrl()[CI_MAX_LD_COUNT] = 64;
    }
    ContData *Records() { return record_.get(); }
    uint8_t *Ctrl() { return record_->ctrlInfo; }
    void AddPd(uint8_t slot, uint64_t size, uint8_t media = 0, uint8_t interfaceType = PD_IF_SAS)
    {
        PdListEntry &e = pdList_.entries[pdList_.count++];
        e.deviceId = (uint16_t)(100 + slot);
        e.slotNumber = slot;
        uint8_t *info = record_->pdInfo[slot];
        LayoutPutU16(info, PI_DEVICE_ID, e.deviceId);
        LayoutPutU16(info, PI_FW_STATE, PD_STATE_UNCONF_GOOD);
        LayoutPutU16(info, PI_DDF_TYPE, (uint16_t)(interfaceType << 12));
        LayoutPutU64(info, PI_COERCED_SIZE, size);
        info[PI_MEDIA_TYPE] = media;
    }
    void AddPds(const std::vector<uint64_t> &sizes)
    {
        for (size_t i = 0; i < sizes.size(); ++i)
            AddPd((uint8_t)i, sizes[i]);
    }
    void AddLd(uint8_t target, uint8_t cacheCade = 0)
    {
        ldList_.entries[ldList_.count++].targetId = target;
        record_->ldInfo[target][LI_CACHECADE] = cacheCade;
    }

private:
    std::unique_ptr<ContData> record_;
    PdList pdList_;
    LdList ldList_;
};

LayoutRecord *g_sizesFrom = nullptr;

int SizesFromRecord(uint8_t, uint8_t pdNo, uint8_t *buffer)
{
    std::memcpy(buffer, g_sizesFrom->Records()->pdInfo[pdNo], PD_INFO_SIZE);
    return 0;
}

class LdLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_sizesFrom = &rec;
        SetPlanPdInfoReader(SizesFromRecord);
        std::memset(&pattern, 0, sizeof(pattern));
        plan.reset(new EasyPlan());
    }
    void TearDown() override { SetPlanPdInfoReader(nullptr); }

    void LoadPattern(const std::string &text)
    {
        const std::string name = "test_ldlayout_pattern_" + std::to_string(GetCurrentProcessId()) + ".csv";
        FILE *f = std::fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        ASSERT_EQ(LoadConfigPatFile(&pattern, name.c_str()), 0);
        std::remove(name.c_str());
    }
    static std::vector<int> Pds(const RgEntry &group)
    {
        return std::vector<int>(group.pds, group.pds + group.pdCount);
    }

    LayoutRecord rec;
    ConfigPatTable pattern;
    std::unique_ptr<EasyPlan> plan;
};

const char STANDARD_PATTERN[] = "RAID0\nRAID1,RAID0\nRAID5,RAID0\nRAID5,RAID6,RAID10,RAID0\nRAID5,RAID6,RAID0\n"
                                "RAID5,RAID6,RAID10,RAID0\nRAID5,RAID6,RAID0\nRAID5,RAID6,RAID10,RAID0\n";

// ---------------------------------------------------------------------------------------------
// Single LD
// ---------------------------------------------------------------------------------------------
TEST_F(LdLayoutTest, SingleChoicesFollowTheCandidateCountAndTheEmbeddedController)
{
    struct Case {
        int n;
        bool embedded;
        std::vector<std::pair<int32_t, int>> choices; // level, hot spare
    } cases[] = {
        { 0, false, {} },
        { 1, false, { { RAIDLVL_0, 0 } } },
        { 2, true, { { RAIDLVL_1, 0 }, { RAIDLVL_0, 0 } } },
        { 3, true, { { RAIDLVL_1, 1 }, { RAIDLVL_0, 0 } } },
        { 3, false, { { RAIDLVL_1, 1 }, { RAIDLVL_5, 0 }, { RAIDLVL_0, 0 } } },
        { 4, false, { { RAIDLVL_5, 1 }, { RAIDLVL_5, 0 }, { RAIDLVL_6, 0 }, { RAIDLVL_10, 0 }, { RAIDLVL_0, 0 } } },
        { 6, false,
          { { RAIDLVL_5, 1 }, { RAIDLVL_5, 0 }, { RAIDLVL_6, 1 }, { RAIDLVL_6, 0 }, { RAIDLVL_10, 0 }, { RAIDLVL_0, 0 } } },
        { 7, false,
          { { RAIDLVL_5, 1 }, { RAIDLVL_5, 0 }, { RAIDLVL_6, 1 }, { RAIDLVL_6, 0 }, { RAIDLVL_10, 1 }, { RAIDLVL_0, 0 } } },
    };
    for (const Case &c : cases) {
        LayoutRecord local;
        if (c.embedded)
            std::memcpy(local.Ctrl() + CI_PRODUCT_NAME, "LSI Embedded MegaRAID", 21);
        SingleLdChoice choices[SINGLE_CHOICES_MAX];
        int count = SingleLdChoices(local.Records(), c.n, choices);
        ASSERT_EQ(count, (int)c.choices.size()) << "n=" << c.n;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(choices[i].level, c.choices[i].first) << "n=" << c.n << " choice " << i + 1;
            EXPECT_EQ(choices[i].ghs, c.choices[i].second) << "n=" << c.n << " choice " << i + 1;
        }
    }
}

TEST_F(LdLayoutTest, SingleRaid5WithSpareTakesTheLargestPdAsSpareAndTheRestInListOrder)
{
    rec.AddPds({ 100 * GB, 100 * GB, 300 * GB, 100 * GB });
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_SINGLE);
    SingleLdChoice choice = { RAIDLVL_5, 1, 0 };
    ASSERT_EQ(PlanSingleLd(plan.get(), rec.Records(), &choice), LAYOUT_OK);
    const LdCreateRequest &r = plan->request;
    ASSERT_EQ(r.groupCount, 1);
    EXPECT_EQ(Pds(r.groups[0]), (std::vector<int>{ 0, 1, 3 }));
    ASSERT_EQ(r.ghsCount, 1);
    EXPECT_EQ(r.ghs[0], 2);
    EXPECT_EQ(r.groups[0].ldCount, 1);
    EXPECT_EQ(r.groups[0].lds[0].size, 200 * GB); // 3 PDs of 100 GB, one for parity
    EXPECT_EQ(r.groups[0].lds[0].init, LD_INIT_FULL);
    EXPECT_STREQ(r.groups[0].lds[0].name, "LD_0");
    EXPECT_EQ(plan->pdCapped, 0);
}

TEST_F(LdLayoutTest, SingleGroupIsCutToTheLevelsPdLimit)
{
    rec.AddPds(std::vector<uint64_t>(6, 10 * GB));
    LayoutPutU16(rec.Ctrl(), CI_PD_COUNT_WORDS + 2 * 2, (uint16_t)(4 << 4)); // RAID5: at most 4 PDs
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_SINGLE);
    SingleLdChoice choice = { RAIDLVL_5, 0, 0 };
    ASSERT_EQ(PlanSingleLd(plan.get(), rec.Records(), &choice), LAYOUT_OK);
    EXPECT_EQ(plan->pdCapped, 1);
    EXPECT_EQ(Pds(plan->request.groups[0]), (std::vector<int>{ 0, 1, 2, 3 }));
}

TEST_F(LdLayoutTest, SingleLdRefusalsNameTheirCause)
{
    struct Case {
        const char *what;
        int outcome;
    } cases[] = { { "mixed interface", LAYOUT_MIXED_INTERFACE }, { "mixed media", LAYOUT_MIXED_MEDIA },
                  { "no free LD number", LAYOUT_LD_LIMIT } };
    for (const Case &c : cases) {
        LayoutRecord local;
        local.AddPd(0, GB);
        local.AddPd(1, GB, c.outcome == LAYOUT_MIXED_MEDIA ? 1 : 0,
                    c.outcome == LAYOUT_MIXED_INTERFACE ? PD_IF_SATA : PD_IF_SAS);
        if (c.outcome == LAYOUT_LD_LIMIT) {
            local.Ctrl()[CI_MAX_LD_COUNT] = 2;
            local.AddLd(0);
            local.AddLd(1);
        }
        EasyPlan *p = plan.get();
        BeginEasyPlan(p, local.Records(), 0, EASY_SINGLE);
        SingleLdChoice choice = { RAIDLVL_1, 0, 0 };
        EXPECT_EQ(PlanSingleLd(p, local.Records(), &choice), c.outcome) << c.what;
    }
}

// ---------------------------------------------------------------------------------------------
// Multi LD
// ---------------------------------------------------------------------------------------------
TEST_F(LdLayoutTest, MultiTwoGroupsWithSparesNumberLdsInOrderAndSkipTheSpares)
{
    LoadPattern(STANDARD_PATTERN);
    rec.AddLd(0);
    rec.AddPds({ 10 * GB, 50 * GB, 10 * GB, 10 * GB, 40 * GB, 10 * GB, 10 * GB, 10 * GB });
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_MULTI);
    plan->layout = LAYOUT_TWO_GROUPS;
    plan->level[0] = RAIDLVL_5;
    plan->level[1] = RAIDLVL_1;
    plan->ldCount[0] = 2;
    plan->ldCount[1] = 1;
    plan->hsCount = 2;
    ASSERT_EQ(PlanMultiPrepare(plan.get(), rec.Records()), LAYOUT_OK);
    int splits[16], recommended = -1;
    int count = MultiSplits(plan.get(), &pattern, rec.Records(), splits, 16, &recommended);
    ASSERT_EQ(count, 1); // 6 PDs: RAID5 of 4 and RAID1 of 2
    EXPECT_EQ(splits[0], 4);
    EXPECT_EQ(recommended, 0);
    ASSERT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), splits[0]), LAYOUT_OK);
    const LdCreateRequest &r = plan->request;
    EXPECT_EQ(r.ghsCount, 2);
    EXPECT_EQ(r.ghs[0], 1);
    EXPECT_EQ(r.ghs[1], 4);
    EXPECT_EQ(Pds(r.groups[0]), (std::vector<int>{ 0, 2, 3, 5 }));
    EXPECT_EQ(Pds(r.groups[1]), (std::vector<int>{ 6, 7 }));
    EXPECT_EQ(r.groups[0].lds[0].ldNo, 1);
    EXPECT_EQ(r.groups[0].lds[1].ldNo, 2);
    EXPECT_EQ(r.groups[1].lds[0].ldNo, 3);
    EXPECT_EQ(r.groups[0].lds[0].size, 15 * GB); // 30 GB of RAID5 shared by two LDs
}

TEST_F(LdLayoutTest, MultiOneGroupRefusesACountThePatternFileDoesNotAllow)
{
    LoadPattern("RAID0\nRAID1\nRAID5\n\n");
    rec.AddPds(std::vector<uint64_t>(4, GB));
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_MULTI);
    plan->layout = LAYOUT_ONE_GROUP;
    plan->level[0] = RAIDLVL_5;
    plan->hsCount = 0;
    ASSERT_EQ(PlanMultiPrepare(plan.get(), rec.Records()), LAYOUT_OK);
    EXPECT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), 0), LAYOUT_ABNORMAL_COUNT);
    plan->hsCount = 1;
    ASSERT_EQ(PlanMultiPrepare(plan.get(), rec.Records()), LAYOUT_OK);
    EXPECT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), 0), LAYOUT_OK);
}

TEST_F(LdLayoutTest, MultiGroupsAreCappedAtSixteenPds)
{
    rec.AddPds(std::vector<uint64_t>(18, GB));
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_MULTI);
    plan->hsCount = 1;
    EXPECT_EQ(MultiGroupPds(plan.get()), 16);
    EXPECT_EQ(plan->pdCapped, 1);
    plan->hsCount = 2;
    EXPECT_EQ(MultiGroupPds(plan.get()), 16);
}

TEST_F(LdLayoutTest, SplitOutsideTheGroupsIsRefused)
{
    LoadPattern(STANDARD_PATTERN);
    rec.AddPds(std::vector<uint64_t>(4, GB));
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_MULTI);
    plan->layout = LAYOUT_TWO_GROUPS_ONE_LD;
    plan->level[0] = RAIDLVL_1;
    plan->level[1] = RAIDLVL_1;
    ASSERT_EQ(PlanMultiPrepare(plan.get(), rec.Records()), LAYOUT_OK);
    EXPECT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), 0), LAYOUT_NO_SPLIT);
    EXPECT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), 4), LAYOUT_NO_SPLIT);
}

// ---------------------------------------------------------------------------------------------
// Snapshot layouts
// ---------------------------------------------------------------------------------------------
TEST_F(LdLayoutTest, SnapshotGroupGivesTheRepositoryItsRateAndSharesTheRestAmongBases)
{
    LoadPattern(STANDARD_PATTERN);
    rec.AddPds(std::vector<uint64_t>(4, 100 * GB));
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_SNAPSHOT);
    plan->layout = LAYOUT_ONE_GROUP;
    plan->level[0] = RAIDLVL_5;
    plan->ldCount[0] = 3; // two bases and the repository
    plan->rate[0] = 20;
    ASSERT_EQ(PlanMultiPrepare(plan.get(), rec.Records()), LAYOUT_OK);
    ASSERT_EQ(PlanMultiPlace(plan.get(), &pattern, rec.Records(), 0), LAYOUT_OK);
    const RgEntry &g = plan->request.groups[0];
    EXPECT_EQ(g.lds[2].size, 60 * GB);
    EXPECT_EQ(g.lds[0].size, 120 * GB);
    EXPECT_EQ(g.lds[1].size, 120 * GB);
}

TEST_F(LdLayoutTest, SnapshotRepositoryBelowItsMinimumIsRefused)
{
    struct Case {
        int layout;
        uint64_t pdSize;
        int outcome;
    } cases[] = {
        // Repository group of its own: one RAID1 PD pair of exactly 2,406,400 blocks passes.
        { LAYOUT_TWO_GROUPS_ONE_LD, 2406400, LAYOUT_OK },
        { LAYOUT_TWO_GROUPS_ONE_LD, 2406399, LAYOUT_REPO_TOO_SMALL },
        // 2 LDs in a RAID1 group at 50 %: 141 x 2 + 893 = 1175 MB needed, 2350 MB of capacity.
        { LAYOUT_ONE_GROUP, 2350ull * 2048, LAYOUT_OK },
        { LAYOUT_ONE_GROUP, 2348ull * 2048, LAYOUT_REPO_TOO_SMALL },
    };
    for (const Case &c : cases) {
        LayoutRecord local;
        g_sizesFrom = &local;
        for (int i = 0; i < 4; ++i)
            local.AddPd((uint8_t)i, c.pdSize);
        LoadPattern(STANDARD_PATTERN);
        BeginEasyPlan(plan.get(), local.Records(), 0, EASY_SNAPSHOT);
        plan->layout = c.layout;
        plan->level[0] = RAIDLVL_1;
        plan->level[1] = RAIDLVL_1;
        if (c.layout == LAYOUT_ONE_GROUP) {
            // Two PDs only, so the RAID1 group is allowed by row 2.
            local.Records()->pdList->count = 2;
            BeginEasyPlan(plan.get(), local.Records(), 0, EASY_SNAPSHOT);
            plan->layout = c.layout;
            plan->level[0] = RAIDLVL_1;
        }
        ASSERT_EQ(PlanMultiPrepare(plan.get(), local.Records()), LAYOUT_OK);
        EXPECT_EQ(PlanMultiPlace(plan.get(), &pattern, local.Records(), 2), c.outcome)
            << "layout " << c.layout << " size " << c.pdSize;
    }
    g_sizesFrom = &rec;
}

TEST_F(LdLayoutTest, SnapshotSplitsWithALargeRepositoryShareComeFirstAsRecommended)
{
    LoadPattern("RAID0\nRAID0\nRAID0\nRAID0\nRAID0\n");
    rec.AddPds(std::vector<uint64_t>(5, GB));
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_SNAPSHOT);
    plan->layout = LAYOUT_TWO_GROUPS_ONE_LD;
    plan->level[0] = RAIDLVL_0;
    plan->level[1] = RAIDLVL_0;
    int splits[16], recommended = 0;
    int count = MultiSplits(plan.get(), &pattern, rec.Records(), splits, 16, &recommended);
    ASSERT_EQ(count, 4);
    // Shares of the second group: 1 PD -> 80 %, 2 -> 60 %, 3 -> 40 %, 4 -> 20 %.
    EXPECT_EQ(recommended, 2);
    EXPECT_EQ(std::vector<int>(splits, splits + 4), (std::vector<int>{ 2, 1, 3, 4 }));
    plan->variant = EASY_MULTI;
    count = MultiSplits(plan.get(), &pattern, rec.Records(), splits, 16, &recommended);
    EXPECT_EQ(recommended, 0);
    EXPECT_EQ(std::vector<int>(splits, splits + 4), (std::vector<int>{ 1, 2, 3, 4 }));
}

// ---------------------------------------------------------------------------------------------
// CacheCade
// ---------------------------------------------------------------------------------------------
TEST_F(LdLayoutTest, CacheCadeIsOneUninitialisedRaid0OnTheSsds)
{
    rec.AddPd(0, 10 * GB);
    rec.AddPd(1, 5 * GB, 1);
    rec.AddPd(2, 5 * GB, 1);
    rec.AddLd(0);
    rec.AddLd(1, 1);
    rec.AddLd(3);
    BeginEasyPlan(plan.get(), rec.Records(), 0, EASY_CACHECADE);
    ASSERT_EQ(plan->candidates.count, 2);
    ASSERT_EQ(PlanCacheCade(plan.get(), rec.Records(), plan->candidates.pdNo, plan->candidates.count), LAYOUT_OK);
    const RgEntry &g = plan->request.groups[0];
    EXPECT_EQ(g.raidLevel, RAIDLVL_0);
    EXPECT_EQ(Pds(g), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(g.lds[0].ldNo, 2);
    EXPECT_EQ(g.lds[0].init, LD_INIT_NONE);
}

TEST_F(LdLayoutTest, CacheCadeChecksTypesThenTheLdNumberThenThePdLimit)
{
    struct Case {
        const char *what;
        int sata;       // the second SSD is a SATA one
        int maxLds;
        int maxRaid0Pds;
        int outcome;
    } cases[] = {
        { "fits", 0, 64, 32, LAYOUT_OK },
        { "mixed interface before the LD number", 1, 1, 32, LAYOUT_MIXED_INTERFACE },
        { "LD number before the PD limit", 0, 1, 2, LAYOUT_LD_LIMIT },
        { "over the RAID0 PD limit", 0, 64, 2, LAYOUT_PD_LIMIT },
    };
    for (const Case &c : cases) {
        LayoutRecord local;
        local.AddPd(0, 5 * GB, 1);
        local.AddPd(1, 5 * GB, 1, c.sata ? PD_IF_SATA : PD_IF_SAS);
        local.AddPd(2, 5 * GB, 1);
        local.AddLd(0);
        local.Ctrl()[CI_MAX_LD_COUNT] = (uint8_t)c.maxLds;
        LayoutPutU16(local.Ctrl(), CI_PD_COUNT_WORDS, (uint16_t)((c.maxRaid0Pds << 4) | 1));
        const uint8_t pds[] = { 0, 1, 2 };
        int maxPds = -1;
        EXPECT_EQ(CheckCacheCadePds(local.Records(), 0, pds, 3, &maxPds), c.outcome) << c.what;
        if (c.outcome == LAYOUT_PD_LIMIT) {
            EXPECT_EQ(maxPds, 2) << c.what;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Custom creation
// ---------------------------------------------------------------------------------------------
TEST_F(LdLayoutTest, CustomGroupChecksNumbersLimitPatternAndSizesInThatOrder)
{
    LoadPattern(STANDARD_PATTERN);
    rec.AddPds(std::vector<uint64_t>(6, 100 * GB));
    const uint8_t pds[] = { 0, 1, 2, 3, 4, 5 };
    struct Case {
        const char *what;
        int32_t level;
        int pdCount;
        std::vector<double> sizes;
        int maxLds;
        int maxRaid5Pds;
        int outcome;
    } cases[] = {
        { "whole group", RAIDLVL_5, 3, {}, 64, 32, LAYOUT_OK },
        { "two sizes", RAIDLVL_5, 3, { 10000, 20000 }, 64, 32, LAYOUT_OK },
        { "no LD number", RAIDLVL_5, 3, { 10000, 20000 }, 1, 32, LAYOUT_LD_LIMIT },
        { "over the level's PD limit", RAIDLVL_5, 4, {}, 64, 3, LAYOUT_PD_LIMIT },
        { "pattern forbids RAID1 of three", RAIDLVL_1, 3, {}, 64, 32, LAYOUT_ABNORMAL_COUNT },
        // 3 PDs: the size must be above 3 x 8,388,608 / 1000 blocks; 999 gives 0 blocks.
        { "size below the minimum", RAIDLVL_5, 3, { 999 }, 64, 32, LAYOUT_SIZE_TOO_SMALL },
    };
    for (const Case &c : cases) {
        LayoutRecord local;
        g_sizesFrom = &local;
        for (int i = 0; i < 6; ++i)
            local.AddPd((uint8_t)i, 100 * GB);
        local.Ctrl()[CI_MAX_LD_COUNT] = (uint8_t)c.maxLds;
        LayoutPutU16(local.Ctrl(), CI_PD_COUNT_WORDS + 2 * 2, (uint16_t)(c.maxRaid5Pds << 4));
        CustomSizeList sizes;
        std::memset(&sizes, 0, sizeof(sizes));
        for (double v : c.sizes)
            sizes.sizes[sizes.count++] = v;
        EXPECT_EQ(PlanCustomGroup(&plan->request, &pattern, local.Records(), 0, c.level, pds, c.pdCount, LDC_OPT_RA,
                                  &sizes),
                  c.outcome)
            << c.what;
        if (c.outcome == LAYOUT_OK) {
            const RgEntry &g = plan->request.groups[0];
            EXPECT_EQ(g.ldCount, c.sizes.empty() ? 1 : (int)c.sizes.size()) << c.what;
            EXPECT_EQ(g.lds[0].size, c.sizes.empty() ? 200 * GB : 10 * GB) << c.what;
            EXPECT_EQ(g.cachePolicy & LD_CACHE_READ_AHEAD, LD_CACHE_READ_AHEAD) << c.what;
        }
    }
    g_sizesFrom = &rec;
}

} // namespace
