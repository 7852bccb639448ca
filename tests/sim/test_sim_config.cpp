// Simulator tests of configuration building (new groups and LDs, LDs added to a group, deletion),
// foreign configurations, snapshots, copyback over simulated time, and the clock.
#include "sim_support.h"

using namespace simtest;

namespace {

struct Request {
    LdCreateRequest *r = new LdCreateRequest;
    Request() { std::memset(r, 0, sizeof(*r)); }
    ~Request() { delete r; }
    RgEntry &Group(int level, std::vector<int> slots, std::vector<int> lds, uint64_t size)
    {
        RgEntry &g = r->groups[r->groupCount++];
        g.raidLevel = level;
        g.pdCount = (uint16_t)slots.size();
        for (size_t i = 0; i < slots.size(); ++i)
            g.pds[i] = (uint8_t)slots[i];
        g.ldCount = (uint8_t)lds.size();
        for (size_t i = 0; i < lds.size(); ++i) {
            g.lds[i].ldNo = (uint8_t)lds[i];
            std::snprintf(g.lds[i].name, sizeof(g.lds[i].name), "LD_%d", lds[i]);
            g.lds[i].size = size;
            g.lds[i].init = 2;
        }
        g.stripeSize = 7;
        g.cachePolicy = 1;
        g.diskCachePolicy = 2;
        return g;
    }
};

const uint64_t kDrive = (uint64_t)(278.875 * 2097152);

} // namespace

TEST_F(SimFixture, CreateLdBuildsArraysAndStartsInitialization)
{
    Load("default");
    Request req;
    req.Group(1, {6, 7}, {2, 3}, kDrive / 2);
    ASSERT_EQ(0u, Send(4, 1, 0, 0, 0, 0, req.r, sizeof(*req.r)));
    sim::State s = State();
    ASSERT_EQ(4u, s.ctrls[0].lds.size());
    std::vector<uint8_t> ld = LdInfo(3);
    EXPECT_EQ(1, ld[32]);
    EXPECT_EQ("LD_3", std::string((char *)ld.data() + 4));
    EXPECT_EQ(LD_OP_INIT, LayoutU32(ld.data(), LI_OPERATION_BITS));
    EXPECT_EQ(kDrive / 2, LayoutU64(ld.data(), 64 + 8));
    EXPECT_EQ(kDrive / 2, LayoutU64(ld.data(), 64));   // second LD starts after the first
    EXPECT_EQ(PD_STATE_ONLINE, PdState(6));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "599"}));
    EXPECT_EQ(LD_OP_INIT, LayoutU32(LdInfo(3).data(), LI_OPERATION_BITS));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "1"}));
    ld = LdInfo(3);
    EXPECT_EQ(0u, LayoutU32(ld.data(), LI_OPERATION_BITS));
    EXPECT_EQ(1, ld[LI_CONSISTENT]);
}

TEST_F(SimFixture, CreateLdRefusals)
{
    struct Case {
        int level;
        std::vector<int> slots;
        std::vector<int> lds;
        uint64_t size;
        uint32_t status;
    } cases[] = {
        {2, {6, 7}, {2}, kDrive, sim::ST_INVALID_INPUT},        // RAID5 needs 3 drives
        {1, {5, 6}, {2}, kDrive, sim::ST_WRONG_STATE},          // slot 5 is a hot spare
        {1, {6, 6}, {2}, kDrive, sim::ST_CONFLICT},             // one drive twice
        {1, {6, 7}, {1}, kDrive, sim::ST_CONFLICT},             // LD number in use
        {1, {6, 9}, {2}, kDrive, sim::ST_DEVICE},               // empty slot
        {1, {6, 7}, {2}, kDrive + 1, sim::ST_TOO_SMALL},        // larger than the drives
        {0, {6}, {2}, 0, sim::ST_INVALID_INPUT},                 // no size
        {7, {6}, {2}, kDrive, sim::ST_INVALID_INPUT},            // no such level
        {4, {6, 7}, {2}, kDrive, sim::ST_INVALID_INPUT},         // RAID10 needs four
    };
    Load("default");
    for (const Case &c : cases) {
        Request req;
        req.Group(c.level, c.slots, c.lds, c.size);
        EXPECT_EQ(c.status, Send(4, 1, 0, 0, 0, 0, req.r, sizeof(*req.r))) << "level " << c.level;
    }
    EXPECT_EQ(2u, State().ctrls[0].lds.size());
    ASSERT_EQ(0, Zavsim({"ctrl", "set", "0", "max_lds=2"}));
    Request req;
    req.Group(1, {6, 7}, {2}, kDrive);
    EXPECT_EQ(sim::ST_MAX_LDS, Send(4, 1, 0, 0, 0, 0, req.r, sizeof(*req.r)));
    Request small;
    EXPECT_EQ(sim::ST_SIZE, Send(4, 1, 0, 0, 0, 0, small.r, 100));
}

TEST_F(SimFixture, Raid10AndHotSparesInOneRequest)
{
    Load("two-controllers");
    // Controller id 5 (index 0 in state order) holds slots 0-5; slots 4-5 are free.
    ASSERT_EQ(0, Zavsim({"pd", "insert", "1", "6", "size_gb=558.406"}));
    ASSERT_EQ(0, Zavsim({"pd", "insert", "1", "7", "size_gb=558.406"}));
    ASSERT_EQ(0, Zavsim({"pd", "insert", "1", "8", "size_gb=558.406"}));
    Request req;
    req.Group(4, {4, 5, 6, 7}, {1}, 2 * (uint64_t)(558.406 * 2097152) - 4 * 262144);
    req.r->ghsCount = 1;
    req.r->ghs[0] = 8;
    ASSERT_EQ(0u, Send(4, 1, 5, 0, 0, 0, req.r, sizeof(*req.r)));
    std::vector<uint8_t> ld = LdInfo(1, 5);
    EXPECT_EQ(2, ld[37]);
    EXPECT_EQ(2, ld[36]);
    EXPECT_NE(LayoutU16(ld.data(), 80), LayoutU16(ld.data(), 80 + 24));
    sim::State s = State();
    EXPECT_EQ(PD_STATE_HOT_SPARE, sim::FindPdBySlot(s.ctrls[0], 8)->state);
}

TEST_F(SimFixture, AddLdIntoTheFreeSpaceOfAGroup)
{
    Load("default");
    Request req;
    req.Group(1, {6, 7}, {2}, kDrive / 2);
    ASSERT_EQ(0u, Send(4, 1, 0, 0, 0, 0, req.r, sizeof(*req.r)));
    int ref = LayoutU16(LdInfo(2).data(), 80);
    AddLdToRgRequest add;
    std::memset(&add, 0, sizeof(add));
    add.arrayRef = (uint16_t)ref;
    add.startBlock = kDrive / 4;   // overlaps LD2
    add.group.raidLevel = 1;
    add.group.ldCount = 1;
    add.group.lds[0].ldNo = 3;
    add.group.lds[0].size = kDrive / 2;
    add.group.stripeSize = 7;
    EXPECT_EQ(sim::ST_TOO_SMALL, Send(4, 2, 0, 0, (uint16_t)ref, 0, &add, sizeof(add)));
    add.startBlock = kDrive / 2;
    add.group.raidLevel = 2;
    EXPECT_EQ(sim::ST_RAID_LEVEL, Send(4, 2, 0, 0, (uint16_t)ref, 0, &add, sizeof(add)));
    add.group.raidLevel = 1;
    EXPECT_EQ(sim::ST_INVALID_INPUT, Send(4, 2, 0, 0, 77, 0, &add, sizeof(add)));   // reference and request differ
    add.arrayRef = 77;
    EXPECT_EQ(sim::ST_ARRAY_INDEX, Send(4, 2, 0, 0, 77, 0, &add, sizeof(add)));
    add.arrayRef = (uint16_t)ref;
    ASSERT_EQ(0u, Send(4, 2, 0, 0, (uint16_t)ref, 0, &add, sizeof(add)));
    uint8_t array[ARRAY_INFO_SIZE];
    ASSERT_EQ(0u, Send(4, 8, 0, 0, (uint16_t)ref, 0, array, sizeof(array)));
    EXPECT_EQ(2u, LayoutU32(array, 828));
}

TEST_F(SimFixture, DeletingAnLdFreesItsDrivesAndDedicatedSpares)
{
    Load("default");
    DedicatedSpareRequest dhs;
    std::memset(&dhs, 0, sizeof(dhs));
    dhs.count = 1;
    dhs.arrayRefs[0] = 1;
    ASSERT_EQ(0u, PdAction(SLCMD_PD_MAKE_DHS, 6, &dhs, sizeof(dhs)));
    ASSERT_EQ(0u, LdAction(SLCMD_LD_DELETE, 1));
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(3));
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(4));
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(6));
    EXPECT_EQ(PD_STATE_HOT_SPARE, PdState(5));
    LdList lds;
    ASSERT_EQ(0u, Send(1, 13, 0, 0, 0, 0, &lds, sizeof(lds)));
    EXPECT_EQ(1u, lds.count);
    EXPECT_EQ(0xCu, Send(3, 3, 0, 1, 1));
}

TEST_F(SimFixture, ForeignConfigurationsScanImportAndClear)
{
    Load("foreign");
    std::vector<uint8_t> pd = PdInfo(Dev(4));
    EXPECT_NE(0, LayoutU16(pd.data(), PI_DDF_TYPE) & PD_DDF_FOREIGN);
    EXPECT_EQ(sim::ST_WRONG_STATE, PdAction(SLCMD_PD_MAKE_GHS, 4));
    ForeignScanResult scan;
    ASSERT_EQ(0u, Send(4, 4, 0, 0, 0, 0, &scan, sizeof(scan)));
    EXPECT_EQ(2u, scan.count);
    uint32_t size = 0;
    ASSERT_EQ(0u, Send(4, 5, 0, 0, 0, 0, &size, 4));
    EXPECT_EQ(scan.sizes[0], size);
    std::vector<uint8_t> preview(size);
    ASSERT_EQ(0u, Send(4, 6, 0, 0, 0, 0, preview.data(), size));
    EXPECT_EQ(2, LayoutU16(preview.data(), 8));   // the local LD and the imported one
    // Target 0 is taken locally, so the imported LD gets the next free number.
    ASSERT_EQ(0u, Send(4, 7, 0, 0, 0, 0));
    LdList lds;
    ASSERT_EQ(0u, Send(1, 13, 0, 0, 0, 0, &lds, sizeof(lds)));
    EXPECT_EQ(2u, lds.count);
    EXPECT_EQ(1, lds.entries[1].targetId);
    EXPECT_EQ(PD_STATE_ONLINE, PdState(4));
    ASSERT_EQ(0u, Send(4, 9, 0, 0, 0, FOREIGN_ALL));
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(6));
    EXPECT_EQ(0, LayoutU16(PdInfo(Dev(6)).data(), PI_DDF_TYPE) & PD_DDF_FOREIGN);
    EXPECT_EQ(sim::ST_NOT_FOUND, Send(4, 7, 0, 0, 0, 0));
}

TEST_F(SimFixture, ZavsimAddsAForeignConfiguration)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"foreign", "add", "0", "1", "6,7"}));
    ForeignScanResult scan;
    ASSERT_EQ(0u, Send(4, 4, 0, 0, 0, 0, &scan, sizeof(scan)));
    EXPECT_EQ(1u, scan.count);
    EXPECT_EQ(1, scan.ldCounts[0]);
    EXPECT_EQ(1, Zavsim({"foreign", "add", "0", "0", "5"}));
}

TEST_F(SimFixture, SnapshotInformationSizes)
{
    Load("snapshot");
    uint16_t seq = LdSeq(0);
    std::vector<uint8_t> probe(288);
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_INFO, 0, seq, probe.data(), 288));
    EXPECT_EQ(2, probe[32]);
    EXPECT_EQ(1, probe[33]);
    size_t full = 288 + probe[33] * 144 + probe[32] * 88;
    std::vector<uint8_t> info(full);
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_INFO, 0, seq, info.data(), (uint32_t)full));
    EXPECT_EQ("LD0_2601150800", std::string((char *)info.data() + 288 + 8));
    EXPECT_LT(LayoutU32(info.data(), 288 + 4), LayoutU32(info.data(), 288 + 88 + 4));
    EXPECT_EQ(1, info[288 + 32]);   // the first snapshot has the view
    std::vector<uint8_t> view(40);
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_VIEW_INFO, 0, seq, view.data(), 40));
    EXPECT_EQ(1u, LayoutU32(view.data(), 8));
    EXPECT_EQ("LD0_View", std::string((char *)view.data() + 16));
    std::vector<uint8_t> repo(64);
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_REPO_INFO, 1, 0, repo.data(), 64));
    EXPECT_EQ(1, repo[1]);
    std::vector<uint8_t> ld1 = LdInfo(1);
    EXPECT_EQ(1, ld1[303] & 1);
    EXPECT_EQ(1, LdInfo(0)[45]);
    EXPECT_EQ(sim::ST_NOT_FOUND, Dcmd(DCMD_SNAPSHOT_INFO, 2, LdSeq(2), probe.data(), 288));
}

TEST_F(SimFixture, SnapshotOperationsAndRefusals)
{
    Load("snapshot");
    SnapshotEnableRequest en;
    std::memset(&en, 0, sizeof(en));
    en.repoTargetId = 1;
    en.areaBlocks = (uint64_t)500 * 2097152;   // more than the repository holds
    EXPECT_EQ(sim::ST_NO_REPO_SPACE, Dcmd(DCMD_SNAPSHOT_ENABLE, 2, LdSeq(2), &en, sizeof(en)));
    en.areaBlocks = (uint64_t)50 * 2097152;
    EXPECT_EQ(sim::ST_INVALID_SEQ, Dcmd(DCMD_SNAPSHOT_ENABLE, 2, (uint16_t)(LdSeq(2) + 1), &en, sizeof(en)));
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_ENABLE, 2, LdSeq(2), &en, sizeof(en)));
    EXPECT_EQ(sim::ST_ALREADY, Dcmd(DCMD_SNAPSHOT_ENABLE, 2, LdSeq(2), &en, sizeof(en)));
    // The oldest snapshot of LD0 has a view: it cannot go, nor can a base or repository LD.
    EXPECT_EQ(sim::ST_WRONG_STATE, Dcmd(DCMD_SNAPSHOT_DELETE_PIT, 0, LdSeq(0), nullptr, 0, 0));
    EXPECT_EQ(sim::ST_WRONG_STATE, LdAction(SLCMD_LD_DELETE, 0));
    EXPECT_EQ(sim::ST_WRONG_STATE, LdAction(SLCMD_LD_DELETE, 1));
    EXPECT_EQ(sim::ST_WRONG_STATE, LdAction(SLCMD_LD_START_INIT, 1, 1));
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_DELETE_VIEW, 0, LdSeq(0), nullptr, 0, 0));
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_DELETE_PIT, 0, LdSeq(0), nullptr, 0, 0));
    SnapshotPitRequest pit;
    std::memset(&pit, 0, sizeof(pit));
    std::strcpy(pit.name, "LD0_2601151000");
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_CREATE_PIT, 0, LdSeq(0), &pit, sizeof(pit)));
    sim::State s = State();
    ASSERT_EQ(2u, s.ctrls[0].lds[0].snap.pits.size());
    EXPECT_EQ(3u, s.ctrls[0].lds[0].snap.pits[1].number);
    SnapshotViewRequest view;
    std::memset(&view, 0, sizeof(view));
    view.pitNumber = 9;
    std::strcpy(view.name, "LD0_View");
    EXPECT_EQ(sim::ST_NOT_FOUND, Dcmd(DCMD_SNAPSHOT_CREATE_VIEW, 0, LdSeq(0), &view, sizeof(view)));
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_DISABLE, 0, LdSeq(0), nullptr, 0));
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_DISABLE, 2, LdSeq(2), nullptr, 0));
    EXPECT_EQ(0, LdInfo(1)[303] & 1);
}

TEST_F(SimFixture, FullBaseDropsItsOldestSnapshotUnlessKept)
{
    Load("snapshot");
    ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_DELETE_VIEW, 0, LdSeq(0), nullptr, 0, 0));
    SnapshotPitRequest pit;
    std::memset(&pit, 0, sizeof(pit));
    std::strcpy(pit.name, "LD0_x");
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(0u, Dcmd(DCMD_SNAPSHOT_CREATE_PIT, 0, LdSeq(0), &pit, sizeof(pit)));
    EXPECT_EQ(8u, State().ctrls[0].lds[0].snap.pits.size());
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0u, Send(3, 1, 0, 0, 0, 0, props, sizeof(props)));
    props[LP_SNAPSHOT_FLAGS] = LP_SNAP_NO_AUTO_DELETE;
    ASSERT_EQ(0u, Send(3, 2, 0, LayoutU16(props, 2), 0, 0, props, sizeof(props)));
    EXPECT_EQ(sim::ST_NO_REPO_SPACE, Dcmd(DCMD_SNAPSHOT_CREATE_PIT, 0, LdSeq(0), &pit, sizeof(pit)));
}

TEST_F(SimFixture, ReplacedDriveGetsItsDataBackByCopyback)
{
    Load("degraded");
    ASSERT_EQ(0, Zavsim({"clock", "advance", "1260"}));
    EXPECT_EQ(PD_STATE_ONLINE, PdState(5));
    EXPECT_EQ(LD_STATE_OPTIMAL, LdState(0));
    ASSERT_EQ(0, Zavsim({"pd", "pull", "0", "1"}));
    ASSERT_EQ(0, Zavsim({"pd", "insert", "0", "1", "size_gb=278.875"}));
    EXPECT_EQ(PD_STATE_COPYBACK, PdState(1));
    std::vector<uint8_t> spare = PdInfo(Dev(5));
    EXPECT_EQ(Dev(1), LayoutU16(spare.data(), PI_COPYBACK_PARTNER));
    ASSERT_EQ(0, Zavsim({"clock", "advance", "900"}));
    std::vector<uint8_t> target = PdInfo(Dev(1));
    EXPECT_EQ(PD_PROG_COPYBACK, LayoutU32(target.data(), PI_PROGRESS_BITS));
    EXPECT_EQ(50u, LayoutU16(target.data(), PI_REBUILD_PROGRESS) * 100u / 65535u);
    ASSERT_EQ(0, Zavsim({"clock", "advance", "900"}));
    EXPECT_EQ(PD_STATE_ONLINE, PdState(1));
    EXPECT_EQ(PD_STATE_HOT_SPARE, PdState(5));
    EXPECT_EQ(LD_STATE_OPTIMAL, LdState(0));
}

TEST_F(SimFixture, RunningRebuildProgressIsReported)
{
    Load("degraded");
    uint8_t prog[PD_PROGRESS_SIZE];
    ASSERT_EQ(0u, Send(2, 7, 0, (uint16_t)Dev(5), 0, 0, prog, sizeof(prog)));
    EXPECT_EQ(PD_PROG_REBUILD, LayoutU32(prog, 0));
    EXPECT_EQ(30u, LayoutU16(prog, 4) * 100u / 65535u);
    EXPECT_EQ(540, LayoutU16(prog, 6));
}

TEST_F(SimFixture, ClockFollowsWallTimeAtTheChosenSpeed)
{
    Load("default");
    uint8_t before[4], after[4];
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, before, 4));
    ASSERT_EQ(0, Zavsim({"clock", "speed", "100"}));
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, after, 4));   // anchors the wall clock
    Sleep(2100);
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, after, 4));
    uint32_t moved = LayoutU32(after, 0) - LayoutU32(before, 0);
    EXPECT_GE(moved, 100u);
    EXPECT_LE(moved, 400u);
    ASSERT_EQ(0, Zavsim({"clock", "speed", "0"}));
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, before, 4));
    Sleep(1100);
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, after, 4));
    EXPECT_EQ(LayoutU32(before, 0), LayoutU32(after, 0));
}
