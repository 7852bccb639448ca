// Simulator tests of the changing commands: drive state changes and hot spares as a controller
// allows them, LD operations and properties with their sequence numbers, controller settings,
// patrol read and the learn cycle, with the firmware's refusal codes.
#include "sim_support.h"

using namespace simtest;

// Default scenario: LD0 RAID5 on slots 0-2, LD1 RAID1 on 3-4, global spare 5, unconfigured 6-7.
TEST_F(SimFixture, PdStateChangesFollowTheController)
{
    struct Case {
        int cmd;
        int slot;
        uint32_t status;
        int stateAfter;
    } cases[] = {
        {SLCMD_PD_MAKE_ONLINE, 6, 0x32, PD_STATE_UNCONF_GOOD},
        {SLCMD_PD_MAKE_OFFLINE, 6, 0x32, PD_STATE_UNCONF_GOOD},
        {SLCMD_PD_MAKE_OFFLINE, 3, 0, PD_STATE_OFFLINE},
        {SLCMD_PD_MAKE_UNCONF_GOOD, 3, 0x32, PD_STATE_OFFLINE},
        {SLCMD_PD_MAKE_ONLINE, 3, 0, PD_STATE_ONLINE},
        {SLCMD_PD_START_REBUILD, 0, 0x32, PD_STATE_ONLINE},
        {SLCMD_PD_MAKE_GHS, 0, 0x32, PD_STATE_ONLINE},
        {SLCMD_PD_MAKE_GHS, 6, 0, PD_STATE_HOT_SPARE},
        {SLCMD_PD_REMOVE_HS, 6, 0, PD_STATE_UNCONF_GOOD},
        {SLCMD_PD_REMOVE_HS, 6, 0x32, PD_STATE_UNCONF_GOOD},
        {SLCMD_PD_MAKE_UNCONF_GOOD, 5, 0x32, PD_STATE_HOT_SPARE},
    };
    Load("default");
    for (const Case &c : cases) {
        EXPECT_EQ(c.status, PdAction(c.cmd, c.slot)) << "cmd " << c.cmd << " slot " << c.slot;
        EXPECT_EQ(c.stateAfter, PdState(c.slot)) << "cmd " << c.cmd << " slot " << c.slot;
    }
}

TEST_F(SimFixture, OfflineMemberDegradesAndManualRebuildRestores)
{
    Load("default");
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_OFFLINE, 1));
    EXPECT_EQ(LD_STATE_DEGRADED, LdState(0));
    uint32_t ops = LayoutU32(PdInfo(Dev(1)).data(), PI_ALLOWED_OPS);
    EXPECT_NE(0u, ops & PD_ALLOW_START_REBUILD);
    EXPECT_NE(0u, ops & PD_ALLOW_MAKE_ONLINE);
    ASSERT_EQ(0u, PdAction(SLCMD_PD_START_REBUILD, 1));
    EXPECT_EQ(PD_STATE_REBUILD, PdState(1));
    EXPECT_EQ(sim::ST_ALREADY, PdAction(SLCMD_PD_START_REBUILD, 1));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "1800"}));
    EXPECT_EQ(PD_STATE_ONLINE, PdState(1));
    EXPECT_EQ(LD_STATE_OPTIMAL, LdState(0));
}

TEST_F(SimFixture, RebuildOfRaid0IsTheWrongLevel)
{
    Load("default");
    LdCreateRequest *req = new LdCreateRequest;
    std::memset(req, 0, sizeof(*req));
    req->groupCount = 1;
    req->groups[0].raidLevel = 0;
    req->groups[0].ldCount = 1;
    req->groups[0].lds[0].ldNo = 2;
    req->groups[0].lds[0].size = 2097152;
    req->groups[0].pdCount = 1;
    req->groups[0].pds[0] = 6;
    req->groups[0].stripeSize = 7;
    ASSERT_EQ(0u, Send(4, 1, 0, 0, 0, 0, req, sizeof(*req)));
    delete req;
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_OFFLINE, 6));
    EXPECT_EQ(LD_STATE_OFFLINE, LdState(2));
    EXPECT_EQ(sim::ST_RAID_LEVEL, PdAction(SLCMD_PD_START_REBUILD, 6));
}

TEST_F(SimFixture, PdCommandsCheckDeviceAndSequence)
{
    Load("default");
    EXPECT_EQ(0xCu, Send(2, SLCMD_PD_MAKE_OFFLINE, 0, 200, 1));
    EXPECT_EQ(sim::ST_INVALID_SEQ, Send(2, SLCMD_PD_MAKE_OFFLINE, 0, (uint16_t)Dev(0), (uint16_t)(PdSeq(0) + 1)));
    uint16_t before = PdSeq(0);
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_OFFLINE, 0));
    EXPECT_NE(before, PdSeq(0));
    EXPECT_EQ(0u, Send(2, SLCMD_PD_START_LOCATE, 0, (uint16_t)Dev(0), 0, 1));
    EXPECT_TRUE(sim::FindPdBySlot(State().ctrls[0], 0)->locate);
    EXPECT_EQ(0u, Send(2, SLCMD_PD_STOP_LOCATE, 0, (uint16_t)Dev(0), 0));
    EXPECT_FALSE(sim::FindPdBySlot(State().ctrls[0], 0)->locate);
}

TEST_F(SimFixture, DedicatedSparesAndTheirLimits)
{
    Load("default");
    DedicatedSpareRequest req;
    std::memset(&req, 0, sizeof(req));
    req.count = 1;
    req.arrayRefs[0] = 9;
    EXPECT_EQ(sim::ST_ARRAY_INDEX, PdAction(SLCMD_PD_MAKE_DHS, 6, &req, sizeof(req)));
    req.count = 0;
    EXPECT_EQ(sim::ST_INVALID_INPUT, PdAction(SLCMD_PD_MAKE_DHS, 6, &req, sizeof(req)));
    req.count = 1;
    req.arrayRefs[0] = 1;
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_DHS, 6, &req, sizeof(req)));
    std::vector<uint8_t> pd = PdInfo(Dev(6));
    EXPECT_EQ(PD_DDF_SPARE, LayoutU16(pd.data(), PI_DDF_TYPE) & 0xFFF);
    ASSERT_EQ(0, Zavsim({"ctrl", "set", "0", "max_spares=2"}));
    EXPECT_EQ(sim::ST_TOO_MANY_SPARES, PdAction(SLCMD_PD_MAKE_GHS, 7));
}

TEST_F(SimFixture, FailedMemberIsReplacedByTheHotSpare)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"pd", "fail", "0", "3"}));
    EXPECT_EQ(PD_STATE_UNCONF_BAD, PdState(3));
    EXPECT_EQ(PD_STATE_REBUILD, PdState(5));
    EXPECT_EQ(LD_STATE_DEGRADED, LdState(1));
    std::vector<uint8_t> ld = LdInfo(1);
    uint32_t ops = LayoutU32(ld.data(), LI_ALLOWED_OPS);
    EXPECT_EQ(0u, ops & LD_ALLOW_START_CC);
    EXPECT_EQ(0u, ops & LD_ALLOW_DELETE);
    ASSERT_EQ(0, Zavsim({"clock", "advance", "1800"}));
    EXPECT_EQ(PD_STATE_ONLINE, PdState(5));
    EXPECT_EQ(LD_STATE_OPTIMAL, LdState(1));
}

TEST_F(SimFixture, WithoutAutomaticRebuildTheSpareWaits)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"ctrl", "set", "0", "auto_rebuild=0"}));
    ASSERT_EQ(0, Zavsim({"pd", "fail", "0", "3"}));
    EXPECT_EQ(PD_STATE_FAILED, PdState(3));
    EXPECT_EQ(PD_STATE_HOT_SPARE, PdState(5));
}

TEST_F(SimFixture, LdOperationsAndRefusals)
{
    Load("default");
    EXPECT_EQ(sim::ST_INVALID_SEQ, Send(3, SLCMD_LD_START_CC, 0, (uint16_t)(LdSeq(0) + 5), 0));
    EXPECT_EQ(0xCu, Send(3, SLCMD_LD_START_CC, 0, 1, 9));
    ASSERT_EQ(0u, LdAction(SLCMD_LD_START_INIT, 0, 1));
    EXPECT_EQ(sim::ST_ALREADY, LdAction(SLCMD_LD_START_INIT, 0, 1));
    EXPECT_EQ(sim::ST_INIT_RUNNING, LdAction(SLCMD_LD_START_CC, 0));
    EXPECT_EQ(sim::ST_WRONG_STATE, LdAction(SLCMD_LD_CANCEL_CC, 0));
    uint8_t prog[LD_PROGRESS_SIZE];
    ASSERT_EQ(0u, Send(3, 8, 0, 0, 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(LD_PROG_INIT, LayoutU32(prog, 0));
    ASSERT_EQ(0u, LdAction(SLCMD_LD_CANCEL_INIT, 0));
    EXPECT_EQ(0, LdInfo(0)[LI_CONSISTENT]);
    ASSERT_EQ(0u, LdAction(SLCMD_LD_START_CC, 1));
    EXPECT_EQ(LD_OP_CC, LayoutU32(LdInfo(1).data(), LI_OPERATION_BITS));
    ASSERT_EQ(0u, LdAction(SLCMD_LD_CANCEL_CC, 1));
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_OFFLINE, 3));
    EXPECT_EQ(sim::ST_LD_NOT_OPTIMAL, LdAction(SLCMD_LD_START_CC, 1));
}

TEST_F(SimFixture, LdPropertiesCarryTheirSequenceNumber)
{
    Load("default");
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0u, Send(3, 1, 0, 0, 1, 0, props, sizeof(props)));
    uint16_t seq = LayoutU16(props, 2);
    std::strcpy((char *)props + LP_NAME, "Renamed");
    props[LP_DEFAULT_CACHE] = 0x05;
    props[LP_SNAPSHOT_FLAGS] = 0x03;
    ASSERT_EQ(0u, Send(3, 2, 0, seq, 1, 0, props, sizeof(props)));
    // The same block again carries the old sequence number now.
    EXPECT_EQ(sim::ST_SEQ_MISMATCH, Send(3, 2, 0, seq, 1, 0, props, sizeof(props)));
    std::vector<uint8_t> ld = LdInfo(1);
    EXPECT_EQ("Renamed", std::string((char *)ld.data() + 4));
    EXPECT_EQ(0x05, ld[20]);
    EXPECT_EQ(0x03, ld[25]);
    ASSERT_EQ(0u, Send(3, 1, 0, 0, 1, 0, props, sizeof(props)));
    props[LP_ACCESS_POLICY] = 1;
    EXPECT_EQ(sim::ST_INVALID_INPUT, Send(3, 2, 0, LayoutU16(props, 2), 1, 0, props, sizeof(props)));
}

TEST_F(SimFixture, WriteBackFallsBackWithoutAGoodCacheBackup)
{
    Load("default");
    EXPECT_EQ(0x01, LdInfo(0)[LI_CURRENT_CACHE]);
    ASSERT_EQ(0u, Send(5, 3));
    EXPECT_EQ(0x00, LdInfo(0)[LI_CURRENT_CACHE]);
    EXPECT_EQ(sim::ST_ALREADY, Send(5, 3));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "3600"}));
    EXPECT_EQ(0x01, LdInfo(0)[LI_CURRENT_CACHE]);
    ASSERT_EQ(0, Zavsim({"cb", "set", "0", "present=0"}));
    EXPECT_EQ(sim::ST_HW_MISSING, Send(5, 3));
}

TEST_F(SimFixture, ControllerPropertiesAndFirmwareDefaults)
{
    Load("default");
    uint8_t props[CTRL_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 1, 0, 0, 0, 0, props, sizeof(props)));
    uint16_t seq = LayoutU16(props, 0);
    props[CP_AUTO_REBUILD_DISABLED] = 1;
    props[CP_REBUILD_RATE] = 90;
    EXPECT_EQ(sim::ST_SEQ_MISMATCH, Send(1, 2, 0, (uint16_t)(seq + 1), 0, 0, props, sizeof(props)));
    ASSERT_EQ(0u, Send(1, 2, 0, seq, 0, 0, props, sizeof(props)));
    EXPECT_EQ(1, State().ctrls[0].props.autoRebuildDisabled);
    EXPECT_EQ(90, State().ctrls[0].props.rebuildRate);
    uint8_t mfc[MFC_DEFAULTS_SIZE];
    ASSERT_EQ(0u, Dcmd(DCMD_GET_MFC_DEFAULTS, 0, 0, mfc, sizeof(mfc)));
    EXPECT_EQ(0, mfc[52]);
    mfc[52] = 1;
    ASSERT_EQ(0u, Dcmd(DCMD_SET_MFC_DEFAULTS, 0, 0, mfc, sizeof(mfc)));
    ASSERT_EQ(0u, Dcmd(DCMD_GET_MFC_DEFAULTS, 0, 0, mfc, sizeof(mfc)));
    EXPECT_EQ(1, mfc[52]);
    EXPECT_EQ(sim::ST_SIZE, Dcmd(DCMD_GET_MFC_DEFAULTS, 0, 0, mfc, 16));
}

TEST_F(SimFixture, PatrolReadStartStopAndRefusals)
{
    Load("default");
    uint8_t pr[PATROL_READ_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 15, 0, 0, 0, 0, pr, sizeof(pr)));
    ASSERT_EQ(0u, Send(1, 17));
    EXPECT_EQ(sim::ST_ALREADY, Send(1, 17));
    uint8_t prog[PD_PROGRESS_SIZE];
    ASSERT_EQ(0u, Send(2, 7, 0, (uint16_t)Dev(0), 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(PD_PROG_PATROL, LayoutU32(prog, 0));
    ASSERT_EQ(0u, Send(2, 7, 0, (uint16_t)Dev(6), 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(0u, LayoutU32(prog, 0));
    ASSERT_EQ(0u, Send(1, 18));
    EXPECT_EQ(sim::ST_WRONG_STATE, Send(1, 18));
    uint8_t props[CTRL_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 1, 0, 0, 0, 0, props, sizeof(props)));
    pr[PR_MODE] = PR_MODE_DISABLED;
    EXPECT_EQ(sim::ST_SEQ_MISMATCH, Send(1, 16, 0, (uint16_t)(LayoutU16(props, 0) + 1), 0, 0, pr, sizeof(pr)));
    ASSERT_EQ(0u, Send(1, 16, 0, LayoutU16(props, 0), 0, 0, pr, sizeof(pr)));
    EXPECT_EQ(sim::ST_PR_DISABLED, Send(1, 17));
}

TEST_F(SimFixture, PatrolReadNeedsAnOnlineDrive)
{
    Load("five-controllers");
    EXPECT_EQ(sim::ST_NO_PD_FOR_PR, Send(1, 17, CtrlId(0)));
}

TEST_F(SimFixture, AutomaticPatrolReadRunsOnSchedule)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"clock", "advance", "604800"}));
    sim::State s = State();
    EXPECT_TRUE(s.ctrls[0].patrol.run.active);
    ASSERT_EQ(0, Zavsim({"clock", "advance", "3600"}));
    s = State();
    EXPECT_FALSE(s.ctrls[0].patrol.run.active);
    EXPECT_EQ(1u, s.ctrls[0].patrol.iterations);
}

TEST_F(SimFixture, PatrolReadLeavesOutTheDrivesOfExcludedLds)
{
    Load("default");
    uint8_t pr[PATROL_READ_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 15, 0, 0, 0, 0, pr, sizeof(pr)));
    pr[PR_EXCLUDED_COUNT] = 1;
    pr[PR_EXCLUDED] = 1;
    uint8_t props[CTRL_PROP_SIZE];
    ASSERT_EQ(0u, Send(1, 1, 0, 0, 0, 0, props, sizeof(props)));
    ASSERT_EQ(0u, Send(1, 16, 0, LayoutU16(props, 0), 0, 0, pr, sizeof(pr)));
    ASSERT_EQ(0u, Send(1, 17));
    uint8_t prog[PD_PROGRESS_SIZE];
    ASSERT_EQ(0u, Send(2, 7, 0, (uint16_t)Dev(3), 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(0u, LayoutU32(prog, 0));
    ASSERT_EQ(0u, Send(2, 7, 0, (uint16_t)Dev(0), 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(PD_PROG_PATROL, LayoutU32(prog, 0));
    ASSERT_EQ(0u, Send(1, 15, 0, 0, 0, 0, pr, sizeof(pr)));
    EXPECT_EQ(1, pr[PR_EXCLUDED_COUNT]);
    EXPECT_EQ(1u, LayoutU32(pr, PR_STATE));
}
