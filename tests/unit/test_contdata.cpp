// Controller data record: the refresh and its order of queries, its failure paths, the RAID-group
// numbering and the lookups over the record.
#include <cstdlib>
#include <memory>

#include "test_storelib_fake.h"

using slfake::FakeLibTest;

namespace {

// A record block as the console tool allocates it, released with its buffers.
struct Records {
    explicit Records(uint16_t n) : count(n), block(static_cast<ContData *>(calloc(n, CONTDATA_RECORD_SIZE))) {}
    ~Records()
    {
        FreeContData(block, count);
        free(block);
    }
    ContData &operator[](size_t i) { return block[i]; }
    uint16_t count;
    ContData *block;
};

slfake::Controller Standard()
{
    slfake::Controller c;
    c.id = 1;
    c.ctrlInfoSlots = 8;
    c.enclosures = {{12, 1}};
    c.pds = {{20, 0}, {21, 1}, {22, 2}, {23, 3}, {0x30, 9, 0x0D}};
    c.arrays = {{0, {20, 21}}, {1, {22, 23}}};
    c.lds = {{0}, {1}};
    c.lds[0].spans = {0};
    c.lds[1].spans = {1};
    return c;
}

class ContDataRefresh : public FakeLibTest {
protected:
    void Refresh(Records &recs, int expect = 1)
    {
        ControllerIdList list = lib.List();
        SLSetEntryForTest(&slfake::FakeLibrary::Entry, &list);
        ASSERT_EQ(1, AllocContData(recs.block, recs.count));
        ASSERT_EQ(expect, UpdateDriveInfo(recs.block, recs.count));
    }
};

TEST(ContDataLayout, RecordFitsTheConsoleAllocation)
{
    EXPECT_LE(sizeof(ContData), 500264u);
    EXPECT_EQ(0u, offsetof(ContData, driveLetters));
    EXPECT_LT(offsetof(ContData, ctrlInfo), offsetof(ContData, enclList));
    EXPECT_LT(offsetof(ContData, enclList), offsetof(ContData, scsiPortNo));
    EXPECT_LT(offsetof(ContData, pdInfo), offsetof(ContData, ldList));
    EXPECT_LT(offsetof(ContData, arrayInfo), offsetof(ContData, rgNumbering));
    EXPECT_LT(offsetof(ContData, snapshotInfo), offsetof(ContData, repositoryInfo));
}

TEST_F(ContDataRefresh, QueriesRunInTheirOrder)
{
    lib.ctrls = {Standard()};
    Records recs(1);
    Refresh(recs);
    // Controller list (held by the layer), enclosure list, controller information, slot count from
    // the enclosures, PD list, LD list, configuration size and read, PD blocks (each behind its
    // device-id lookup), LD blocks, array blocks.
    std::string expected = "1/5 1/0 1/5 1/4 1/13 4/0 4/0 ";
    for (int i = 0; i < 4; i++)
        expected += "1/4 2/0 ";
    expected += "3/0 3/0 4/8 4/8 ";
    EXPECT_EQ(expected, lib.Sequence());
    EXPECT_EQ(12, recs[0].slotNum);
    EXPECT_EQ(21, LayoutU16(recs[0].pdInfo[1], PI_DEVICE_ID));
    EXPECT_EQ(1, recs[0].ldInfo[1][LI_TARGET_ID]);
    EXPECT_EQ(2, recs[0].arrayInfo[1][AI_DRIVE_COUNT]);
    EXPECT_EQ(5u, recs[0].pdList->count);
    EXPECT_EQ(0, recs[0].pdList->entries[0].slotNumber) << "PD list sorted by slot";
}

TEST_F(ContDataRefresh, EmptyEnclosureListTakesSlotCountFromControllerInformation)
{
    lib.ctrls = {Standard()};
    lib.ctrls[0].enclosures.clear();
    Records recs(1);
    Refresh(recs);
    EXPECT_EQ(8, recs[0].slotNum);
    EXPECT_EQ(1u, lib.Of(1, 5).size()) << "only the refresh's own enclosure read";
}

TEST_F(ContDataRefresh, SecondRecordKeepsAnEmptyEnclosureList)
{
    slfake::Controller a = Standard(), b = Standard();
    b.id = 2;
    b.ctrlInfoSlots = 4;
    b.enclosures = {{24, 1}};
    lib.ctrls = {a, b};
    Records recs(2);
    Refresh(recs);
    EXPECT_EQ(1u, recs[0].enclList.count);
    EXPECT_EQ(0u, recs[1].enclList.count);
    EXPECT_EQ(12, recs[0].slotNum);
    EXPECT_EQ(4, recs[1].slotNum) << "from the controller information, not the enclosures";
}

TEST_F(ContDataRefresh, NonDiskEntryGetsNoPdBlock)
{
    lib.ctrls = {Standard()};
    Records recs(1);
    Refresh(recs);
    for (const slfake::Sent &s : lib.Of(2, 0))
        EXPECT_NE(0x30, s.ref1);
    EXPECT_EQ(std::vector<uint8_t>(512, 0), std::vector<uint8_t>(recs[0].pdInfo[9], recs[0].pdInfo[9] + 512));
}

TEST_F(ContDataRefresh, ZeroSlotCountIsTracedAndKept)
{
    lib.ctrls = {Standard()};
    lib.ctrls[0].enclosures.clear();
    lib.ctrls[0].ctrlInfoSlots = 0;
    Records recs(1);
    Refresh(recs);
    EXPECT_EQ(0, recs[0].slotNum);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UpdateDriveInfo: SlotNum is zero, contNo=0").size());
}

TEST_F(ContDataRefresh, EveryFailingStepEndsTheRefresh)
{
    struct Row {
        uint8_t type, cmd;
        const char *traced; // the refresh's own trace line, if any
    } rows[] = {
        {1, 5, "func=UpdateDriveInfo: SLGetEnclList error"},
        {1, 0, "func=UpdateDriveInfo: SLGetCtrlInfo error, contNo=0"},
        {1, 4, nullptr},
        {1, 13, nullptr},
        {4, 0, nullptr},
        {2, 0, nullptr},
        {3, 0, nullptr},
        {4, 8, "func=UpdateDriveInfo: SLGetArrayInfo error, contNo=0, arrayRef=0"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.type) + "/" + std::to_string(row.cmd));
        lib.ctrls = {Standard()};
        lib.faults.clear();
        lib.faults[{row.type, row.cmd}] = 0x8017;
        Records recs(1);
        Refresh(recs, 0);
        if (row.traced) {
            EXPECT_FALSE(trace.LinesWith(row.traced).empty());
        }
    }
}

TEST_F(ContDataRefresh, FailingSlotCountEndsTheRefresh)
{
    lib.ctrls = {Standard()};
    lib.faults[{1, 5}] = 0x8017;
    lib.passFirst[{1, 5}] = 1; // the refresh's own enclosure read passes, the slot count's fails
    Records recs(1);
    Refresh(recs, 0);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UpdateDriveInfo: SLGetSlotNum error, contNo=0").size());
    EXPECT_TRUE(lib.Of(1, 4).empty());
}

TEST_F(ContDataRefresh, SnapshotSizeFailureStillRefreshes)
{
    lib.ctrls = {Standard()};
    lib.ctrls[0].lds[0].snapshotBase = 1;
    lib.ctrls[0].lds[1].repository = 1;
    lib.dcmdFaults[DCMD_SNAPSHOT_INFO] = 0x8017;
    lib.dcmdFaults[DCMD_SNAPSHOT_REPO_INFO] = 0x8017;
    Records recs(1);
    Refresh(recs, 1);
    ASSERT_NE(nullptr, recs[0].snapshotInfo[0]);
    EXPECT_EQ(0, recs[0].snapshotInfo[0][SB_PIT_COUNT]);
    ASSERT_NE(nullptr, recs[0].repositoryInfo[1]);
    EXPECT_EQ(nullptr, recs[0].snapshotInfo[1]);
    EXPECT_EQ(nullptr, recs[0].repositoryInfo[0]);
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UpdateDriveInfo: SLGetSnapshotInfoSize error, contNo=0, ldNo=0").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UpdateDriveInfo: SLGetSnapshotInfo error, contNo=0, ldNo=0").size());
    EXPECT_EQ(1u, trace.LinesWith("SLGetSnapshotRepoSpaceSize error, contNo=0, ldNo=1").size());
    EXPECT_EQ(1u, trace.LinesWith("SLGetSnapshotRepoSpace error, contNo=0, ldNo=1").size());
}

TEST_F(ContDataRefresh, SnapshotBufferFollowsTheBaseFlag)
{
    lib.ctrls = {Standard()};
    lib.ctrls[0].lds[0].snapshotBase = 1;
    std::vector<uint8_t> info(288 + 88, 0);
    info[SB_PIT_COUNT] = 1;
    LayoutPutU32(info.data(), 288 + SP_NUMBER, 7);
    lib.ctrls[0].snapshotInfo = info;
    Records recs(1);
    Refresh(recs);
    ASSERT_NE(nullptr, recs[0].snapshotInfo[0]);
    EXPECT_EQ(7u, LayoutU32(recs[0].snapshotInfo[0], 288 + SP_NUMBER));

    lib.ctrls[0].lds[0].snapshotBase = 0;
    ASSERT_EQ(1, UpdateDriveInfo(recs.block, 1));
    EXPECT_EQ(nullptr, recs[0].snapshotInfo[0]) << "no stale buffer once snapshots are off";
}

// ---------------------------------------------------------------------------------------------
// RAID-group numbering
// ---------------------------------------------------------------------------------------------
TEST_F(ContDataRefresh, SpannedAndCacheCadeNumbering)
{
    slfake::Controller c = Standard();
    c.pds = {{20, 0}, {21, 1}, {22, 2}, {23, 3}, {24, 4}, {25, 5}, {26, 6}};
    c.arrays = {{1, {20, 21}}, {2, {22, 23}}, {3, {24}}, {4, {25}}, {5, {26}}, {6, {}}};
    c.lds = {{0}, {1}, {2}, {3}};
    c.lds[0].spans = {1, 2};
    c.lds[1].spans = {3};
    c.lds[2].spans = {4};
    c.lds[2].cacheCade = 1;
    c.lds[3].spans = {5};
    lib.ctrls = {c};
    Records recs(1);
    Refresh(recs);
    const RaidGroupNumbering &n = recs[0].rgNumbering;
    EXPECT_EQ(2, n.rgCount);
    EXPECT_EQ(1, n.spannedCount);
    EXPECT_EQ(1, n.cacheCadeCount);
    EXPECT_EQ(0, n.entries[1].rgNo);
    EXPECT_EQ(0, n.entries[2].rgNo);
    EXPECT_EQ(0, n.entries[1].spanIndex);
    EXPECT_EQ(1, n.entries[2].spanIndex);
    EXPECT_EQ(1u, n.entries[1].spanned);
    EXPECT_EQ(1u, n.entries[2].spanned);
    EXPECT_EQ(0, n.entries[3].rgNo) << "first ordinary group";
    EXPECT_EQ(0u, n.entries[3].spanned);
    EXPECT_EQ(1u, n.entries[4].cacheCade);
    EXPECT_EQ(0, n.entries[4].cacheCadeRgNo);
    EXPECT_EQ(1, n.entries[5].rgNo);
    EXPECT_EQ(0u, n.entries[6].spanned + n.entries[6].cacheCade + n.entries[6].rgNo) << "no LD names array 6";
}

// ---------------------------------------------------------------------------------------------
// Lookups over a refreshed record
// ---------------------------------------------------------------------------------------------
TEST_F(ContDataRefresh, SlotAndDeviceLookupsSkipNonDiskEntries)
{
    lib.ctrls = {Standard()};
    Records recs(1);
    Refresh(recs);
    uint8_t slot = 0;
    uint16_t device = 0;
    EXPECT_EQ(1, SlotOfDevice(&recs[0], 22, &slot));
    EXPECT_EQ(2, slot);
    EXPECT_EQ(0, SlotOfDevice(&recs[0], 0x30, &slot));
    EXPECT_EQ(0, SlotOfDevice(&recs[0], 99, &slot));
    EXPECT_EQ(1, DeviceOfSlot(&recs[0], 3, &device));
    EXPECT_EQ(23, device);
    EXPECT_EQ(0, DeviceOfSlot(&recs[0], 9, &device)) << "slot 9 holds an enclosure";
}

TEST_F(ContDataRefresh, MemberSlotsSkipMissingArms)
{
    slfake::Controller c = Standard();
    c.arrays = {{0, {20, 0xFFFF, 21}}, {1, {22, 23}}};
    c.lds = {{0}, {1}};
    c.lds[0].spans = {0, 1};
    c.lds[1].spans = {1};
    lib.ctrls = {c};
    Records recs(1);
    Refresh(recs);
    uint8_t slots[16];
    uint16_t n = 0;
    ASSERT_EQ(1, LdMemberSlots(&recs[0], 0, slots, 16, &n));
    ASSERT_EQ(4, n);
    EXPECT_EQ(0, slots[0]);
    EXPECT_EQ(1, slots[1]);
    EXPECT_EQ(2, slots[2]);
    EXPECT_EQ(3, slots[3]);
    EXPECT_EQ(0, LdMemberSlots(&recs[0], 7, slots, 16, &n));
}

TEST_F(ContDataRefresh, LdOperationKind)
{
    slfake::Controller c = Standard();
    c.lds[0].opBits = LD_OP_INIT | LD_OP_CC;
    c.lds[1].opBits = LD_OP_CC;
    lib.ctrls = {c};
    Records recs(1);
    Refresh(recs);
    EXPECT_EQ(LD_OPKIND_INIT, LdOperationKind(&recs[0], 0));
    EXPECT_EQ(LD_OPKIND_CC, LdOperationKind(&recs[0], 1));

    c.lds[0].opBits = 0;
    c.lds[1].opBits = 0;
    c.pds[1].state = PD_STATE_REBUILD;
    c.pds[2].partner = 21;
    lib.ctrls = {c};
    ASSERT_EQ(1, UpdateDriveInfo(recs.block, 1));
    EXPECT_EQ(LD_OPKIND_REBUILD, LdOperationKind(&recs[0], 0));
    EXPECT_EQ(LD_OPKIND_NONE, LdOperationKind(&recs[0], 1));
    lib.ctrls[0].pds[1].state = PD_STATE_COPYBACK;
    ASSERT_EQ(1, UpdateDriveInfo(recs.block, 1));
    EXPECT_EQ(LD_OPKIND_COPYBACK, LdOperationKind(&recs[0], 1));
}

TEST_F(ContDataRefresh, ArrayLookupsAndLdSelection)
{
    lib.ctrls = {Standard()};
    Records recs(1);
    Refresh(recs);
    uint16_t ref = 0;
    EXPECT_EQ(1, ArrayRefOfDevice(&recs[0], 23, &ref));
    EXPECT_EQ(1, ref);
    uint8_t targets[8];
    uint16_t n = 0;
    EXPECT_EQ(1, LdsOfPd(&recs[0], 3, targets, 8, &n));
    ASSERT_EQ(1, n);
    EXPECT_EQ(1, targets[0]);

    const uint8_t controllers[4] = {0, 255, 255, 255};
    const uint8_t wanted[] = {1, 5, 255};
    uint8_t result[256];
    getAdpLdArray(controllers, wanted, result, recs.block);
    EXPECT_EQ(1, result[1]);
    EXPECT_EQ(255, result[5]) << "target 5 is not on the controller";
    EXPECT_EQ(255, result[0]);
    EXPECT_EQ(255, result[64 + 1]);
}

TEST_F(ContDataRefresh, GraphicalRefreshReadsOnlyTheSelectedController)
{
    slfake::Controller a = Standard(), b = Standard();
    b.id = 2;
    b.enclosures = {{16, 1}};
    lib.ctrls = {a, b};
    Records recs(2);
    ControllerIdList list = lib.List();
    SLSetEntryForTest(&slfake::FakeLibrary::Entry, &list);
    ASSERT_EQ(1, AllocContData(recs.block, 2));
    ASSERT_EQ(1, UpdateDriveInfoGui(recs.block, 2, 1));
    EXPECT_EQ(16, recs[1].slotNum) << "the selected controller reads its own enclosures";
    EXPECT_EQ(8, recs[0].slotNum);
    for (const slfake::Sent &s : lib.Of(1, 4))
        EXPECT_EQ(2u, s.ctrlId) << "PD lists only of the selected controller";

    lib.faults[{3, 0}] = 0x8017;
    EXPECT_EQ(0, UpdateDriveInfoGui(recs.block, 2, 1));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UpdateDriveInfo: SLGetLDInfo error, contNo=1, pdNo=0").size());
}

} // namespace
