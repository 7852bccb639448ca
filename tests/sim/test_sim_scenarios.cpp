// Simulator tests of scenario-specific behaviour: CacheCade LDs and their association, the
// embedded controller, drive replacement into an empty arm, zavsim's tables and JSON dump.
#include "sim_support.h"

using namespace simtest;

namespace {

LdCreateRequest *Raid0Request(std::vector<int> slots, int ld, uint64_t size)
{
    LdCreateRequest *r = new LdCreateRequest;
    std::memset(r, 0, sizeof(*r));
    r->groupCount = 1;
    RgEntry &g = r->groups[0];
    g.raidLevel = 0;
    g.pdCount = (uint16_t)slots.size();
    for (size_t i = 0; i < slots.size(); ++i)
        g.pds[i] = (uint8_t)slots[i];
    g.ldCount = 1;
    g.lds[0].ldNo = (uint8_t)ld;
    g.lds[0].size = size;
    g.stripeSize = 7;
    return r;
}

} // namespace

TEST_F(SimFixture, CacheCadeLdOnSsdsAndItsAssociation)
{
    Load("cachecade");
    LdCreateRequest *hdd = Raid0Request({3}, 1, 2097152);
    EXPECT_EQ(sim::ST_WRONG_STATE, Send(4, 3, 0, 0, 0, 0, hdd, sizeof(*hdd)));
    delete hdd;
    LdCreateRequest *ssd = Raid0Request({4, 5}, 1, 2 * 2097152);
    ASSERT_EQ(0u, Send(4, 3, 0, 0, 0, 0, ssd, sizeof(*ssd)));
    delete ssd;
    std::vector<uint8_t> cc = LdInfo(1);
    EXPECT_EQ(1, cc[47]);
    EXPECT_EQ(0u, LayoutU32(cc.data(), LI_OPERATION_BITS));
    EXPECT_EQ(0u, LayoutU32(cc.data(), LI_ALLOWED_OPS) & (LD_ALLOW_START_INIT | LD_ALLOW_START_CC));
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0u, Send(3, 1, 0, 0, 0, 0, props, sizeof(props)));
    props[LP_DEFAULT_CACHE] |= 0x60;
    ASSERT_EQ(0u, Send(3, 2, 0, LayoutU16(props, 2), 0, 0, props, sizeof(props)));
    std::vector<uint8_t> data = LdInfo(0);
    EXPECT_EQ(1, data[LI_CC_ASSOC_COUNT]);
    EXPECT_EQ(1, data[LI_CC_ASSOC]);
    ASSERT_EQ(0u, LdAction(SLCMD_LD_DELETE, 1));
    EXPECT_EQ(0, LdInfo(0)[LI_CC_ASSOC_COUNT]);
}

TEST_F(SimFixture, CacheCadeNeedsAControllerThatSupportsIt)
{
    Load("default");
    LdCreateRequest *r = Raid0Request({6}, 2, 2097152);
    EXPECT_EQ(sim::ST_WRONG_STATE, Send(4, 3, 0, 0, 0, 0, r, sizeof(*r)));
    delete r;
}

TEST_F(SimFixture, EmbeddedControllerFacts)
{
    Load("embedded");
    uint8_t info[CTRL_INFO_SIZE];
    ASSERT_EQ(0u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ("LSI Embedded MegaRAID", std::string((char *)info + 1344));
    EXPECT_EQ(4, LayoutU16(info, 1920));
    EXPECT_EQ(8, info[0x53F]);
    EnclList encl;
    ASSERT_EQ(0u, Send(1, 5, 0, 0, 0, 0, &encl, sizeof(encl)));
    EXPECT_EQ(0u, encl.count);
    std::vector<uint8_t> pd = PdInfo(Dev(2));
    EXPECT_EQ(0xFFFF, LayoutU16(pd.data(), PI_ENCL_DEVICE_ID));
    EXPECT_EQ(PD_IF_SATA, LayoutU16(pd.data(), PI_DDF_TYPE) >> 12);
    uint8_t status[CACHEBKUP_STATUS_SIZE];
    EXPECT_EQ(sim::ST_HW_MISSING, Send(5, 0, 0, 0, 0, 0, status, sizeof(status)));
    LdCreateRequest *r = Raid0Request({2, 3}, 1, 2097152);
    r->groups[0].raidLevel = 4;
    EXPECT_EQ(sim::ST_INVALID_INPUT, Send(4, 1, 0, 0, 0, 0, r, sizeof(*r)));   // RAID10 of two drives
    r->groups[0].raidLevel = 2;
    EXPECT_EQ(sim::ST_RAID_LEVEL, Send(4, 1, 0, 0, 0, 0, r, sizeof(*r)));      // RAID5 not offered
    r->groups[0].raidLevel = 1;
    EXPECT_EQ(0u, Send(4, 1, 0, 0, 0, 0, r, sizeof(*r)));
    delete r;
}

TEST_F(SimFixture, DriveInsertedIntoAnEmptyArmIsRebuilt)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"pd", "fail", "0", "5"}));   // no spare any more
    ASSERT_EQ(0, Zavsim({"pd", "pull", "0", "4"}));
    EXPECT_EQ(LD_STATE_DEGRADED, LdState(1));
    uint8_t members[PD_IN_LD_SIZE];
    ASSERT_EQ(0u, Send(3, 11, 0, 0, 1, 0, members, sizeof(members)));
    EXPECT_EQ(0xFFFF, LayoutU16(members, 6));
    ASSERT_EQ(0, Zavsim({"pd", "insert", "0", "4", "size_gb=100"}));   // too small for the array
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(4));
    ASSERT_EQ(0, Zavsim({"pd", "pull", "0", "4"}));
    ASSERT_EQ(0, Zavsim({"pd", "insert", "0", "4", "size_gb=300"}));
    EXPECT_EQ(PD_STATE_REBUILD, PdState(4));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "1800"}));
    EXPECT_EQ(LD_STATE_OPTIMAL, LdState(1));
}

TEST_F(SimFixture, LdDegradeAndConsistencyMarks)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"ld", "set", "0", "1", "consistent=0", "bad_blocks=1", "os_drive=PHYSICALDRIVE3"}));
    std::vector<uint8_t> ld = LdInfo(1);
    EXPECT_EQ(0, ld[LI_CONSISTENT]);
    EXPECT_EQ(1, ld[LI_BAD_BLOCKS]);
    ASSERT_EQ(0, Zavsim({"ctrl", "set", "0", "auto_rebuild=0"}));
    ASSERT_EQ(0, Zavsim({"ld", "degrade", "0", "1"}));
    EXPECT_EQ(LD_STATE_DEGRADED, LdState(1));
    ASSERT_EQ(0, Zavsim({"ld", "degrade", "0", "1"}));
    EXPECT_EQ(LD_STATE_OFFLINE, LdState(1));
    EXPECT_EQ(1, Zavsim({"ld", "degrade", "0", "1"}));
}

TEST_F(SimFixture, ShowListsRunningOperations)
{
    Load("degraded");
    ASSERT_EQ(0, Zavsim({"show"}));
    EXPECT_NE(std::string::npos, out.find("REBUILD"));
    EXPECT_NE(std::string::npos, out.find("rebuild 30%"));
    EXPECT_NE(std::string::npos, out.find("DEGRADED"));
    ASSERT_EQ(0, Zavsim({"fault", "add", "2", "0", "0xC", "count=3"}));
    ASSERT_EQ(0, Zavsim({"show"}));
    EXPECT_NE(std::string::npos, out.find("type 2 cmd 0 -> 0xC next 3"));
}

TEST_F(SimFixture, DumpLoadsBackAsAScenarioOfItsOwn)
{
    Load("snapshot");
    ASSERT_EQ(0, Zavsim({"dump"}));
    sim::State parsed;
    std::string error;
    ASSERT_TRUE(sim::ParseStateText(out, parsed, error)) << error;
    EXPECT_EQ("snapshot", parsed.scenario);
    ASSERT_EQ(1u, parsed.ctrls.size());
    EXPECT_EQ(2u, parsed.ctrls[0].lds[0].snap.pits.size());
    EXPECT_EQ(sim::StateText(parsed), sim::StateText(State()));
}

TEST_F(SimFixture, FaultRuleForOneControllerOnly)
{
    Load("two-controllers");
    ASSERT_EQ(0, Zavsim({"fault", "add", "1", "0", "0x8017", "ctrl=1"}));
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(0u, Send(1, 0, 2, 0, 0, 0, info, sizeof(info)));        // controller 0 is id 2
    EXPECT_EQ(0x8017u, Send(1, 0, 5, 0, 0, 0, info, sizeof(info)));   // controller 1 is id 5
}

TEST_F(SimFixture, ClockSetRunsTheOperationsInBetween)
{
    Load("degraded");
    ASSERT_EQ(0, Zavsim({"clock", "set", "2026-01-15", "10:00:00"}));
    EXPECT_EQ(PD_STATE_ONLINE, PdState(5));
    ASSERT_EQ(0, Zavsim({"clock"}));
    EXPECT_NE(std::string::npos, out.find("2026-01-15 10:00:00"));
    EXPECT_EQ(1, Zavsim({"clock", "set", "2026-01-15", "09:00:00"}));
}

TEST_F(SimFixture, SixteenControllersFitTheListAndSeventeenDoNot)
{
    std::string file = paths.state + ".scenario.json";
    auto scenario = [](int n) {
        std::string text = "{\"controllers\": [";
        for (int i = 0; i < n; ++i)
            text += std::string(i ? "," : "") + "{\"id\": " + std::to_string(100 - i) + "}";
        return text + "]}";
    };
    WriteText(file, scenario(16));
    ASSERT_EQ(0, Zavsim({"load", file})) << err;
    ASSERT_EQ(0u, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, idList, sizeof(idList)));
    EXPECT_EQ(16, LayoutU16(idList, 0));
    EXPECT_EQ(100u, CtrlId(0));
    EXPECT_EQ(85u, CtrlId(15));
    WriteText(file, scenario(17));
    EXPECT_EQ(1, Zavsim({"load", file}));
    EXPECT_NE(std::string::npos, err.find("at most 16 controllers"));
    DeleteFileA(file.c_str());
}
