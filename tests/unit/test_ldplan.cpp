// Planner rules of LD creation: the pattern file, controller facts, candidates and hot spares,
// level lists, splits, sizes and the filling of the creation request.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/LdPlan.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"

namespace {

// One controller record built in memory: PDs by slot with size, state and types.
struct PlanPd {
    uint8_t slot;
    uint64_t size;
    uint16_t state = PD_STATE_UNCONF_GOOD;
    uint8_t interfaceType = PD_IF_SAS;
    uint8_t media = 0;
    bool foreign = false;
    uint8_t devType = 0;
};

class PlanRecord {
public:
    PlanRecord() : record_(new ContData())
    {
        std::memset(record_.get(), 0, sizeof(ContData));
        record_->pdList = &pdList_;
        record_->ldList = &ldList_;
        std::memset(&pdList_, 0, sizeof(pdList_));
        std::memset(&ldList_, 0, sizeof(ldList_));
        SetMask(0x01 | 0x02 | 0x04 | 0x10 | 0x20);
        for (int w = 0; w < 6; ++w)
            LayoutPutU16(Ctrl(), CI_PD_COUNT_WORDS + 2 * w, (uint16_t)((32 << 4) | 1));
        LayoutPutU16(Ctrl(), CI_CANDIDATE_CAP, 256);
        Ctrl()[CI_MAX_LD_COUNT] = 64;
    }
    ContData *Records() { return record_.get(); }
    uint8_t *Ctrl() { return record_->ctrlInfo; }
    void SetMask(uint32_t mask) { LayoutPutU32(Ctrl(), CI_RAID_LEVEL_MASK, mask); }
    void SetMaxPds(int wordIndex, int max) { LayoutPutU16(Ctrl(), CI_PD_COUNT_WORDS + 2 * wordIndex, (uint16_t)(max << 4)); }
    void AddPd(const PlanPd &pd)
    {
        PdListEntry &e = pdList_.entries[pdList_.count++];
        e.deviceId = (uint16_t)(100 + pd.slot);
        e.slotNumber = pd.slot;
        e.scsiDevType = pd.devType;
        uint8_t *info = record_->pdInfo[pd.slot];
        LayoutPutU16(info, PI_DEVICE_ID, e.deviceId);
        LayoutPutU16(info, PI_FW_STATE, pd.state);
        LayoutPutU16(info, PI_DDF_TYPE, (uint16_t)((pd.interfaceType << 12) | (pd.foreign ? PD_DDF_FOREIGN : 0)));
        LayoutPutU64(info, PI_COERCED_SIZE, pd.size);
        info[PI_MEDIA_TYPE] = pd.media;
    }
    void AddPds(int count, uint64_t size)
    {
        for (int i = 0; i < count; ++i)
            AddPd(PlanPd{ (uint8_t)i, size });
    }
    void AddLd(uint8_t target) { ldList_.entries[ldList_.count++].targetId = target; }

private:
    std::unique_ptr<ContData> record_;
    PdList pdList_;
    LdList ldList_;
};

// PD information reads answered from the record under test; slots in failSlots fail.
PlanRecord *g_readFrom = nullptr;
std::vector<uint8_t> g_failSlots;

int RecordPdInfoReader(uint8_t, uint8_t pdNo, uint8_t *buffer)
{
    for (uint8_t s : g_failSlots) {
        if (s == pdNo)
            return 0x0C;
    }
    std::memcpy(buffer, g_readFrom->Records()->pdInfo[pdNo], PD_INFO_SIZE);
    return 0;
}

class LdPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_readFrom = &rec;
        g_failSlots.clear();
        SetPlanPdInfoReader(RecordPdInfoReader);
        std::memset(&table, 0, sizeof(table));
    }
    void TearDown() override { SetPlanPdInfoReader(nullptr); }

    void LoadPattern(const std::string &text)
    {
        // Each test runs in a process of its own, possibly beside another: the file name is the process's.
        const std::string name = "test_ldplan_pattern_" + std::to_string(GetCurrentProcessId()) + ".csv";
        const char *path = name.c_str();
        FILE *f = std::fopen(path, "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        ASSERT_EQ(LoadConfigPatFile(&table, path), 0);
        std::remove(path);
    }
    std::vector<int32_t> Row(int k) const
    {
        return std::vector<int32_t>(table.rows[k].levels, table.rows[k].levels + table.rows[k].count);
    }
    static std::vector<int32_t> Levels(const LevelList &list)
    {
        return std::vector<int32_t>(list.levels, list.levels + list.count);
    }

    PlanRecord rec;
    ConfigPatTable table;
};

// ---------------------------------------------------------------------------------------------
// Pattern file
// ---------------------------------------------------------------------------------------------
TEST_F(LdPlanTest, PatternLineKeepsFirstFourRecognisedLevels)
{
    LoadPattern("RAID5,RAID6,RAID10,RAID1,RAID0\n");
    EXPECT_EQ(Row(1), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_6, RAIDLVL_10, RAIDLVL_1 }));
}

TEST_F(LdPlanTest, PatternFieldsThatAreNotExactNamesAreSkipped)
{
    struct Case {
        const char *line;
        std::vector<int32_t> levels;
    } cases[] = {
        { "raid5,RAID6\n", { RAIDLVL_6 } },
        { "RAID 5,RAID0\n", { RAIDLVL_0 } },
        { "RAID10XX,RAID1\n", { RAIDLVL_1 } },
        { "RAID0 ,RAID1,,RAID5\n", { RAIDLVL_1, RAIDLVL_5 } },
        { "RAID7,RAID5,RAID6,RAID10,RAID1,RAID0\n", { RAIDLVL_5, RAIDLVL_6, RAIDLVL_10 } },
        { "RAID1\r\n", { RAIDLVL_1 } },
    };
    for (const Case &c : cases) {
        LoadPattern(c.line);
        EXPECT_EQ(Row(1), c.levels) << c.line;
    }
}

TEST_F(LdPlanTest, PatternEmptyLineGivesNoLevelAndLaterLinesKeepTheirRows)
{
    LoadPattern("RAID0\nRAID1\n\nRAID5,RAID6\n");
    EXPECT_EQ(Row(3).size(), 0u);
    EXPECT_EQ(Row(4), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_6 }));
    EXPECT_EQ(Row(5).size(), 0u);
}

TEST_F(LdPlanTest, PatternReadsAtMost256LinesAndOverlongLinesDoNotShiftRows)
{
    std::string text;
    text += std::string(600, 'x') + ",RAID0\n"; // longer than the line buffer
    for (int k = 2; k <= 260; ++k)
        text += "RAID1\n";
    LoadPattern(text);
    EXPECT_EQ(Row(1).size(), 0u);
    EXPECT_EQ(Row(2), (std::vector<int32_t>{ RAIDLVL_1 }));
    EXPECT_EQ(Row(256), (std::vector<int32_t>{ RAIDLVL_1 }));
}

TEST_F(LdPlanTest, MissingPatternFileLeavesTableAsItWas)
{
    LoadPattern("RAID0\n");
    EXPECT_NE(LoadConfigPatFile(&table, "no_such_dir\\confpat1.csv"), 0);
    EXPECT_EQ(Row(1), (std::vector<int32_t>{ RAIDLVL_0 }));
}

// ---------------------------------------------------------------------------------------------
// Controller facts
// ---------------------------------------------------------------------------------------------
TEST_F(LdPlanTest, SupportedLevelsFollowTheMaskBits)
{
    struct Case {
        uint32_t mask;
        int32_t level;
        int supported;
    } cases[] = {
        { 0x01, RAIDLVL_0, 1 }, { 0x02, RAIDLVL_1, 1 }, { 0x04, RAIDLVL_5, 1 },  { 0x10, RAIDLVL_6, 1 },
        { 0x20, RAIDLVL_10, 1 }, { 0x08, RAIDLVL_6, 0 }, { 0x1F, RAIDLVL_10, 0 }, { 0xFF, 5, 0 }, { 0xFF, -1, 0 },
    };
    for (const Case &c : cases) {
        rec.SetMask(c.mask);
        EXPECT_EQ(IsSupportRaidLvl(c.level, rec.Records(), 0), c.supported) << c.mask << " " << c.level;
    }
}

TEST_F(LdPlanTest, MaxPdCountComesFromTheLevelsWordSkippingRaid1E)
{
    for (int w = 0; w < 6; ++w)
        LayoutPutU16(rec.Ctrl(), CI_PD_COUNT_WORDS + 2 * w, (uint16_t)(((10 + w) << 4) | 2));
    EXPECT_EQ(GetMaxPdNumForRaidLvl(RAIDLVL_0, rec.Records(), 0), 10);
    EXPECT_EQ(GetMaxPdNumForRaidLvl(RAIDLVL_1, rec.Records(), 0), 11);
    EXPECT_EQ(GetMaxPdNumForRaidLvl(RAIDLVL_5, rec.Records(), 0), 12);
    EXPECT_EQ(GetMaxPdNumForRaidLvl(RAIDLVL_6, rec.Records(), 0), 14);
    EXPECT_EQ(GetMaxPdNumForRaidLvl(RAIDLVL_10, rec.Records(), 0), 15);
    EXPECT_EQ(GetMaxPdNumForRaidLvl(9, rec.Records(), 0), 0);
}

TEST_F(LdPlanTest, EmbeddedControllerIsAPrefixOfTheEmbeddedName)
{
    std::strcpy((char *)rec.Ctrl() + CI_PRODUCT_NAME, "LSI Embedded MegaRAID");
    EXPECT_EQ(IsEmbeddedController(rec.Records()), 1);
    std::strcpy((char *)rec.Ctrl() + CI_PRODUCT_NAME, "LSI Embedded");
    EXPECT_EQ(IsEmbeddedController(rec.Records()), 1);
    std::strcpy((char *)rec.Ctrl() + CI_PRODUCT_NAME, "LSI MegaRAID SAS 9260-8i");
    EXPECT_EQ(IsEmbeddedController(rec.Records()), 0);
}

// ---------------------------------------------------------------------------------------------
// Candidates and hot spares
// ---------------------------------------------------------------------------------------------
TEST_F(LdPlanTest, CandidatesAreUnconfiguredGoodDisksThatAreNotForeign)
{
    rec.AddPd(PlanPd{ 0, 1000 });
    rec.AddPd(PlanPd{ 1, 1000, PD_STATE_ONLINE });
    rec.AddPd(PlanPd{ 2, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SAS, 0, true });
    rec.AddPd(PlanPd{ 3, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SAS, 0, false, 13 });
    rec.AddPd(PlanPd{ 4, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SATA, 1 });
    CandidatePdList list;
    GetCandidatePds(rec.Records(), 0, 0, &list);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.pdNo[0], 0);
    EXPECT_EQ(list.pdNo[1], 4);
    GetCandidatePds(rec.Records(), 0, 1, &list);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.pdNo[0], 4);
}

TEST_F(LdPlanTest, CandidateCountIsCappedButTheListKeepsTheRest)
{
    rec.AddPds(6, 1000);
    LayoutPutU16(rec.Ctrl(), CI_CANDIDATE_CAP, 4);
    CandidatePdList list;
    GetCandidatePds(rec.Records(), 0, 0, &list);
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(list.pdNo[5], 5);
}

TEST_F(LdPlanTest, MixedTypesAreFoundAmongCountedCandidatesAndExplicitLists)
{
    rec.AddPd(PlanPd{ 0, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SAS, 0 });
    rec.AddPd(PlanPd{ 1, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SAS, 0 });
    rec.AddPd(PlanPd{ 2, 1000, PD_STATE_UNCONF_GOOD, PD_IF_SATA, 1 });
    LayoutPutU16(rec.Ctrl(), CI_CANDIDATE_CAP, 2);
    CandidatePdList list;
    GetCandidatePds(rec.Records(), 0, 0, &list);
    EXPECT_EQ(IsMixedInterfaceType(rec.Records(), 0, &list), 0);
    EXPECT_EQ(IsMixedMediaType(rec.Records(), 0, &list), 0);
    const uint8_t mixed[] = { 0, 2 };
    EXPECT_EQ(IsMixedInterfaceTypeList(rec.Records(), 0, mixed, 2), 1);
    EXPECT_EQ(IsMixedMediaTypeList(rec.Records(), 0, mixed, 2), 1);
}

TEST_F(LdPlanTest, HotSparesAreTheLargestCandidatesEarliestOnTies)
{
    struct Case {
        std::vector<uint64_t> sizes;
        int first, second;
    } cases[] = {
        { { 100, 300, 300, 200 }, 1, 2 },
        { { 500, 100, 400 }, 0, 2 },
        { { 100 }, 0, NO_HOT_SPARE },
        { {}, NO_HOT_SPARE, NO_HOT_SPARE },
    };
    for (const Case &c : cases) {
        PlanRecord local;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            local.AddPd(PlanPd{ (uint8_t)i, c.sizes[i] });
        CandidatePdList list;
        GetCandidatePds(local.Records(), 0, 0, &list);
        int hs[2];
        PickHotSpares(local.Records(), 0, &list, hs);
        EXPECT_EQ(hs[0], c.first);
        EXPECT_EQ(hs[1], c.second);
        EXPECT_EQ(PickHotSpare(local.Records(), 0, &list), c.first);
    }
}

TEST_F(LdPlanTest, FillGroupPdsSkipsHotSparesAndContinuesForTheSecondGroup)
{
    rec.AddPds(6, 1000);
    CandidatePdList list;
    GetCandidatePds(rec.Records(), 0, 0, &list);
    const int hs[2] = { 1, 4 };
    uint8_t out[8];
    int copied = 0;
    int next = FillGroupPds(&list, 0, 2, hs, out, 2, &copied);
    EXPECT_EQ(copied, 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(next, 3);
    next = FillGroupPds(&list, next, 2, hs, out, 5, &copied);
    EXPECT_EQ(copied, 2); // candidates end before 5 are found
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(next, 6);
    FillGroupPds(&list, 0, 1, hs, out, 6, &copied);
    EXPECT_EQ(copied, 5); // only the first hot spare is left out
}

// ---------------------------------------------------------------------------------------------
// LD numbers
// ---------------------------------------------------------------------------------------------
TEST_F(LdPlanTest, FreeLdNumbersAreTakenSmallestFirstWithinTheLimit)
{
    rec.AddLd(0);
    rec.AddLd(2);
    uint8_t map[LD_MAX];
    InitFreeLdNoMap(rec.Records(), 0, map);
    EXPECT_EQ(TakeFreeLdNo(rec.Records(), 0, map), 1);
    EXPECT_EQ(TakeFreeLdNo(rec.Records(), 0, map), 3);
    rec.Ctrl()[CI_MAX_LD_COUNT] = 5;
    EXPECT_EQ(TakeFreeLdNo(rec.Records(), 0, map), 4);
    EXPECT_EQ(TakeFreeLdNo(rec.Records(), 0, map), -1);
}

TEST_F(LdPlanTest, SixtyFourLdsLeaveNoNumberWhateverTheMaximum)
{
    for (int t = 0; t < 64; ++t)
        rec.AddLd((uint8_t)t);
    rec.Ctrl()[CI_MAX_LD_COUNT] = 255;
    uint8_t map[LD_MAX];
    InitFreeLdNoMap(rec.Records(), 0, map);
    EXPECT_EQ(TakeFreeLdNo(rec.Records(), 0, map), -1);
}

// ---------------------------------------------------------------------------------------------
// Pattern rules, level lists, hot-spare default and splits
// ---------------------------------------------------------------------------------------------
TEST_F(LdPlanTest, PatternLevelNeedsTheRowAndTheControllerSupport)
{
    LoadPattern("RAID0\nRAID1,RAID0\nRAID5\nRAID6,RAID10\n");
    EXPECT_EQ(IsPatLevelAllowed(&table, 2, RAIDLVL_1, rec.Records(), 0), 1);
    EXPECT_EQ(IsPatLevelAllowed(&table, 3, RAIDLVL_1, rec.Records(), 0), 0);
    EXPECT_EQ(IsPatLevelAllowed(&table, 0, RAIDLVL_0, rec.Records(), 0), 0);
    EXPECT_EQ(IsPatLevelAllowed(&table, 300, RAIDLVL_0, rec.Records(), 0), 0);
    EXPECT_EQ(MinPdsForLevel(&table, RAIDLVL_6, rec.Records(), 0), 4);
    EXPECT_EQ(MinPdsForLevel(&table, RAIDLVL_5, rec.Records(), 0), 3);
    rec.SetMask(0x01);
    EXPECT_EQ(IsPatLevelAllowed(&table, 2, RAIDLVL_1, rec.Records(), 0), 0);
    EXPECT_EQ(MinPdsForLevel(&table, RAIDLVL_1, rec.Records(), 0), 0);
}

TEST_F(LdPlanTest, EmptyRowForFourCandidatesOffersNoSingleGroupButRowThreeStillCounts)
{
    LoadPattern("RAID0\nRAID1,RAID0\nRAID5,RAID0\n\n");
    EXPECT_EQ(RowHasSupportedLevel(&table, 4, rec.Records(), 0), 0);
    LevelList list;
    LevelsForSingleGroup(&table, 4, rec.Records(), 0, LEVEL_ORDER_BASIC, &list);
    EXPECT_EQ(Levels(list), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_0 }));
}

TEST_F(LdPlanTest, LevelListsUseTheirPreferenceOrder)
{
    LoadPattern("RAID0\nRAID1,RAID0\nRAID5,RAID0\nRAID5,RAID6,RAID10,RAID0\n");
    LevelList list;
    LevelsForFirstOfTwo(&table, 5, rec.Records(), 0, LEVEL_ORDER_BASIC, &list);
    EXPECT_EQ(Levels(list), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_6, RAIDLVL_10, RAIDLVL_1, RAIDLVL_0 }));
    LevelsForFirstOfTwo(&table, 5, rec.Records(), 0, LEVEL_ORDER_SNAPSHOT, &list);
    EXPECT_EQ(Levels(list), (std::vector<int32_t>{ RAIDLVL_0, RAIDLVL_5, RAIDLVL_6, RAIDLVL_10, RAIDLVL_1 }));
    rec.SetMask(0x01 | 0x04);
    LevelsForFirstOfTwo(&table, 5, rec.Records(), 0, LEVEL_ORDER_BASIC, &list);
    EXPECT_EQ(Levels(list), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_0 }));
}

TEST_F(LdPlanTest, SecondGroupLevelsComeFromRowsLeftAfterTheFirstGroup)
{
    // RAID1 needs row 2: with 5 candidates the second group has i = 3 PDs, rows 3, 2 and 1.
    LoadPattern("RAID0\nRAID1\nRAID5\n\nRAID6\n");
    LevelList list;
    LevelsForSecondGroup(&table, 5, RAIDLVL_1, rec.Records(), 0, LEVEL_ORDER_BASIC, &list);
    EXPECT_EQ(Levels(list), (std::vector<int32_t>{ RAIDLVL_5, RAIDLVL_1, RAIDLVL_0 }));
    // RAID6 needs row 5, which leaves no PD for a second group.
    LevelsForSecondGroup(&table, 5, RAIDLVL_6, rec.Records(), 0, LEVEL_ORDER_BASIC, &list);
    EXPECT_EQ(list.count, 0);
}

TEST_F(LdPlanTest, DefaultHotSpareCountIsTheLargestThatStillFormsTheGroups)
{
    LoadPattern("RAID0\nRAID1,RAID0\nRAID5,RAID0\nRAID5,RAID6,RAID10,RAID0\nRAID5,RAID6,RAID0\n"
                "RAID5,RAID6,RAID10,RAID0\n");
    struct Case {
        int n, groups;
        int32_t l0, l1;
        int expected;
    } cases[] = {
        { 3, 1, RAIDLVL_5, 0, 0 },          // 3 PDs just form RAID5
        { 4, 1, RAIDLVL_5, 0, 1 },
        { 6, 1, RAIDLVL_10, 0, 0 },         // 5 PDs cannot take RAID10
        { 4, 2, RAIDLVL_1, RAIDLVL_1, 0 },
        { 6, 2, RAIDLVL_1, RAIDLVL_1, 2 },
        { 5, 2, RAIDLVL_5, RAIDLVL_1, 0 },
        { 2, 2, RAIDLVL_5, RAIDLVL_1, 0 },  // fewer PDs than the minimum
    };
    for (const Case &c : cases)
        EXPECT_EQ(DefaultHotSpareCount(&table, c.n, c.groups, c.l0, c.l1, rec.Records(), 0), c.expected)
            << c.n << " " << c.groups;
}

TEST_F(LdPlanTest, TwoGroupSplitsListFirstGroupSizesInIncreasingOrder)
{
    LoadPattern("RAID0\nRAID1,RAID0\nRAID5,RAID0\nRAID5,RAID0\nRAID5,RAID0\n");
    int sizes[16];
    int count = TwoGroupSplits(&table, 6, RAIDLVL_5, RAIDLVL_0, rec.Records(), 0, sizes, 16);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(sizes[0], 3);
    EXPECT_EQ(sizes[1], 4);
    EXPECT_EQ(sizes[2], 5);
    EXPECT_EQ(TwoGroupSplits(&table, 4, RAIDLVL_5, RAIDLVL_5, rec.Records(), 0, sizes, 16), 0);
}

// ---------------------------------------------------------------------------------------------
// Sizes and the creation request
// ---------------------------------------------------------------------------------------------
LdCreateRequest *NewRequest()
{
    static LdCreateRequest request;
    std::memset(&request, 0, sizeof(request));
    return &request;
}

void OneGroup(LdCreateRequest *req, int32_t level, int pds, int lds)
{
    req->groupCount = 1;
    RgEntry &g = req->groups[0];
    g.raidLevel = level;
    g.pdCount = (uint16_t)pds;
    for (int i = 0; i < pds; ++i)
        g.pds[i] = (uint8_t)i;
    g.ldCount = (uint8_t)lds;
    for (int l = 0; l < lds; ++l)
        g.lds[l].ldNo = (uint8_t)(l + 5);
}

TEST_F(LdPlanTest, EqualSplitUsesTheSmallestPdAndTheLevelsDataPds)
{
    struct Case {
        int32_t level;
        int pds, lds;
        uint64_t expected;
    } cases[] = {
        { RAIDLVL_10, 5, 1, 2 * 1000 },
        { RAIDLVL_1, 2, 1, 1000 },
        { RAIDLVL_5, 4, 2, 3 * 1000 / 2 },
        { RAIDLVL_6, 4, 1, 2 * 1000 },
        { RAIDLVL_0, 3, 1, 3 * 1000 },
    };
    for (const Case &c : cases) {
        PlanRecord local;
        local.AddPds(c.pds, 1200);
        local.AddPd(PlanPd{ 0, 1000 }); // slot 0 is the smallest
        g_readFrom = &local;
        LdCreateRequest *req = NewRequest();
        OneGroup(req, c.level, c.pds, c.lds);
        ASSERT_EQ(CreateLDDefaultSet(req, local.Records(), 0, LD_INIT_FULL), 0);
        for (int l = 0; l < c.lds; ++l)
            EXPECT_EQ(req->groups[0].lds[l].size, c.expected) << c.level;
    }
}

TEST_F(LdPlanTest, ThreeLdsOnTenBlocksGetThreeBlocksEach)
{
    rec.AddPd(PlanPd{ 0, 10 });
    LdCreateRequest *req = NewRequest();
    OneGroup(req, RAIDLVL_0, 1, 3);
    ASSERT_EQ(CreateLDDefaultSet(req, rec.Records(), 0, LD_INIT_FULL), 0);
    for (int l = 0; l < 3; ++l)
        EXPECT_EQ(req->groups[0].lds[l].size, 3u);
}

TEST_F(LdPlanTest, DefaultSetNamesLdsAndAppliesFixedPolicies)
{
    rec.AddPds(2, 1000);
    LdCreateRequest *req = NewRequest();
    OneGroup(req, RAIDLVL_1, 2, 2);
    ASSERT_EQ(CreateLDDefaultSet(req, rec.Records(), 0, LD_INIT_FULL), 0);
    const RgEntry &g = req->groups[0];
    EXPECT_STREQ(g.lds[0].name, "LD_5");
    EXPECT_STREQ(g.lds[1].name, "LD_6");
    EXPECT_EQ(g.lds[1].init, LD_INIT_FULL);
    EXPECT_EQ(g.stripeSize, 7);
    EXPECT_EQ(g.accessPolicy, 0);
    EXPECT_EQ(g.diskCachePolicy, 2);
    EXPECT_EQ(g.cachePolicy, 0x00); // no cache backup unit: write through
    LayoutPutU32(rec.Ctrl(), CI_HW_PRESENT, CI_HW_CACHE_BACKUP);
    ASSERT_EQ(CreateLDDefaultSet(req, rec.Records(), 0, LD_INIT_NONE), 0);
    EXPECT_EQ(req->groups[0].cachePolicy, 0x01);
    EXPECT_EQ(req->groups[0].lds[0].init, LD_INIT_NONE);
}

TEST_F(LdPlanTest, InvalidLevelIsRefusedBeforeSending)
{
    rec.AddPds(2, 1000);
    LdCreateRequest *req = NewRequest();
    OneGroup(req, 7, 2, 1);
    EXPECT_EQ(CreateLDDefaultSet(req, rec.Records(), 0, LD_INIT_FULL), PLAN_ERR_RAIDLVL);
    EXPECT_EQ(CreateLDDefaultSet2(req, rec.Records(), 0, 0, nullptr), PLAN_ERR_RAIDLVL);
}

TEST_F(LdPlanTest, UnreadablePdIsSizedFromTheRecordAndAnUnknownGroupIsRefused)
{
    rec.AddPd(PlanPd{ 0, 2000 });
    rec.AddPd(PlanPd{ 1, 1500 });
    g_failSlots = { 1 };
    LdCreateRequest *req = NewRequest();
    OneGroup(req, RAIDLVL_1, 2, 1);
    ASSERT_EQ(CreateLDDefaultSet(req, rec.Records(), 0, LD_INIT_FULL), 0);
    EXPECT_EQ(req->groups[0].lds[0].size, 1500u);

    PlanRecord blank; // PDs whose size was never learnt
    blank.AddPd(PlanPd{ 0, 0 });
    blank.AddPd(PlanPd{ 1, 0 });
    g_readFrom = &blank;
    g_failSlots = { 0, 1 };
    OneGroup(req, RAIDLVL_1, 2, 1);
    EXPECT_EQ(CreateLDDefaultSet(req, blank.Records(), 0, LD_INIT_FULL), PLAN_ERR_PD_SIZE);
}

TEST_F(LdPlanTest, DifferentPdSizesAreFoundAcrossGroupsAndUnreadablePdsLeftOut)
{
    rec.AddPd(PlanPd{ 0, 1000 });
    rec.AddPd(PlanPd{ 1, 1000 });
    rec.AddPd(PlanPd{ 2, 1000 });
    rec.AddPd(PlanPd{ 3, 900 });
    LdCreateRequest *req = NewRequest();
    req->groupCount = 2;
    req->groups[0].pdCount = 2;
    req->groups[0].pds[0] = 0;
    req->groups[0].pds[1] = 1;
    req->groups[1].pdCount = 1;
    req->groups[1].pds[0] = 2;
    EXPECT_EQ(ConfirmDiffPDSize(req, 0), 0);
    req->groups[1].pds[0] = 3;
    EXPECT_EQ(ConfirmDiffPDSize(req, 0), 1);
    g_failSlots = { 3 };
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    const std::string tracePath = std::string(dir) + "zav_ldplan_trace_" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(tracePath.c_str());
    initLog(tracePath.c_str(), 2000000);
    EXPECT_EQ(ConfirmDiffPDSize(req, 0), 0);
    finContData();
    std::ifstream in(tracePath, std::ios::binary);
    std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(tracePath.c_str());
    // The unreadable PD is traced under the name of the check that skipped it.
    EXPECT_NE(trace.find("func=ConfirmDiffPDSize: SLGetPDInfo error, contNo=0, pdNo=3"), std::string::npos) << trace;
}

TEST_F(LdPlanTest, CustomCachePolicyFollowsTheOptionBits)
{
    rec.AddPds(2, 1000);
    struct Case {
        uint32_t bits;
        bool bbu;
        uint8_t policy;
    } cases[] = {
        { 0, false, 0x00 },
        { 0, true, 0x01 },
        { LDC_OPT_WT, true, 0x00 },
        { LDC_OPT_WB, false, 0x11 },
        { LDC_OPT_WBCB, false, 0x01 },
        { LDC_OPT_RA, false, 0x04 },
        { LDC_OPT_NORA, true, 0x01 },
        { LDC_OPT_CACHED, false, 0x60 },
        { LDC_OPT_CACHED | LDC_OPT_DIRECT, false, 0x00 },
        { LDC_OPT_WB | LDC_OPT_RA | LDC_OPT_CACHED, true, 0x75 },
    };
    for (const Case &c : cases) {
        LayoutPutU32(rec.Ctrl(), CI_HW_PRESENT, c.bbu ? CI_HW_CACHE_BACKUP : 0);
        LdCreateRequest *req = NewRequest();
        OneGroup(req, RAIDLVL_1, 2, 1);
        ASSERT_EQ(CreateLDDefaultSet2(req, rec.Records(), 0, c.bits, nullptr), 0);
        EXPECT_EQ(req->groups[0].cachePolicy, c.policy) << std::hex << c.bits;
        EXPECT_EQ(req->groups[0].lds[0].init, LD_INIT_FULL);
    }
}

TEST_F(LdPlanTest, CustomSizesCountWholeUnitsOfTwoToTheThirty)
{
    rec.AddPds(2, 100000000);
    CustomSizeList sizes;
    ASSERT_EQ(GetCustomLdSize("sz999,sz2000,sz1500", &sizes), 1);
    LdCreateRequest *req = NewRequest();
    OneGroup(req, RAIDLVL_1, 2, 3);
    ASSERT_EQ(CreateLDDefaultSet2(req, rec.Records(), 0, 0, &sizes), 0);
    EXPECT_EQ(req->groups[0].lds[0].size, 0u);
    EXPECT_EQ(req->groups[0].lds[1].size, 2u * 2097152u);
    EXPECT_EQ(req->groups[0].lds[2].size, 1u * 2097152u);
    EXPECT_EQ(sizes.sizes[1], 2.0); // the whole units are written back
}

TEST(LdPlanSnapshot, RepositoryLimitsCountWholeMegabytes)
{
    EXPECT_EQ(IsRepositoryGroupLargeEnough(2406400), 1);
    EXPECT_EQ(IsRepositoryGroupLargeEnough(2406399), 0);
    EXPECT_EQ(IsRepositoryGroupLargeEnough(2406400 + 2047), 1);
    // 3 LDs in the group: 141 x 3 + 893 = 1316 MB.
    EXPECT_EQ(IsRepositoryShareLargeEnough(1316ull * 2048, 3), 1);
    EXPECT_EQ(IsRepositoryShareLargeEnough(1316ull * 2048 - 1, 3), 0);
    EXPECT_EQ(RepositoryShareBlocks(1000, 50), 500u);
    EXPECT_EQ(RepositoryShareBlocks(999, 10), 99u);
}

// ---------------------------------------------------------------------------------------------
// Option parsers
// ---------------------------------------------------------------------------------------------
TEST(LdPlanOptions, SizeOptionForms)
{
    struct Case {
        const char *option;
        int ok;
        std::vector<double> sizes;
    } cases[] = {
        { "sz100", 1, { 100 } },
        { "sz100,sz200", 1, { 100, 200 } },
        { "sz100[", 1, { 100 } },
        { "sz100,", 1, { 100 } },
        { "sz", 0, {} },
        { "sz100x", 0, {} },
        { "szx100", 0, {} },
        { "sz100,sz", 0, {} },
        { "sz1234567890123", 0, {} },
        { "sz1,sz2,sz3,sz4,sz5,sz6,sz7,sz8,sz9,sz10,sz11,sz12,sz13,sz14,sz15,sz16,sz17", 0, {} },
    };
    for (const Case &c : cases) {
        CustomSizeList sizes;
        EXPECT_EQ(GetCustomLdSize(c.option, &sizes), c.ok) << c.option;
        if (c.ok) {
            EXPECT_EQ(std::vector<double>(sizes.sizes, sizes.sizes + sizes.count), c.sizes) << c.option;
        }
    }
}

TEST(LdPlanOptions, ArrayGroupNumbers)
{
    uint8_t used[ARRAY_REF_MAX] = {};
    int last = -1, count = 0;
    EXPECT_EQ(GetArrayNo("array0[1:0,1:1]", used, &last, &count), 1);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(GetArrayNo("array127[1:2,1:3]", used, &last, &count), 1);
    EXPECT_EQ(last, 127);
    EXPECT_EQ(count, 2);
    const char *bad[] = { "array0[1:4,1:5]", "array128[", "array0127[", "array[1:0]", "array5x[", "arr" };
    for (const char *option : bad)
        EXPECT_EQ(GetArrayNo(option, used, &last, &count), 0) << option;
    EXPECT_EQ(count, 2);
    EXPECT_EQ(GetArrayNo("array12", used, &last, &count), 1);
}

} // namespace
