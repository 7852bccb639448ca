// Controller access layer: binding, status table, trace of outcomes, packets of the queries and
// actions, and the lookups built from them, against a scripted library.
#include <functional>

#include "test_storelib_fake.h"

using slfake::FakeLibrary;
using slfake::FakeLibTest;
using slfake::Sent;

namespace {

slfake::Controller OneController()
{
    slfake::Controller c;
    c.id = 0x11;
    c.pds = {{10, 0}, {11, 1}, {12, 2}, {0x40, 3, 0x0D}};
    c.pds[1].seqNum = 0x1234;
    c.lds = {{0}, {5}};
    c.lds[1].seqNum = 0x5555;
    c.arrays = {{0, {10, 11}}};
    c.lds[0].spans = {0};
    c.lds[1].spans = {0};
    return c;
}

// ---------------------------------------------------------------------------------------------
// Status table
// ---------------------------------------------------------------------------------------------
TEST(StoreLibStatus, TableHas101RowsAndFirstMatchWins)
{
    EXPECT_EQ(101u, sizeof(StatusText) / sizeof(StatusText[0]));
    EXPECT_STREQ("Command was executed successfully", LookupStatusText(0));
    EXPECT_STREQ("Storelib error", LookupStatusText(0x8003));
    EXPECT_STREQ("Storelib error", LookupStatusText(0xFFFFFFFF));
    EXPECT_STREQ("invalid device ID / select-timeout", LookupStatusText(0xC));
    EXPECT_STREQ(" No space on the snapshot repositiry VD", LookupStatusText(0x5B));

    int first = -1, rows = 0;
    for (int i = 0; i < 101; i++)
        if (StatusText[i].code == 0x2F) {
            rows++;
            if (first < 0)
                first = i;
        }
    ASSERT_EQ(2, rows);
    EXPECT_EQ(StatusText[first].text, LookupStatusText(0x2F));
    EXPECT_EQ(0x24u, StatusText[100].code);
}

// ---------------------------------------------------------------------------------------------
// Binding: load, initialise, merged list, unload
// ---------------------------------------------------------------------------------------------
struct LoaderScript {
    bool loadFails = false;
    bool entryMissing = false;
    int frees = 0;
    static LoaderScript *&Current()
    {
        static LoaderScript *current = nullptr;
        return current;
    }
};

void *ScriptLoad(const char *name)
{
    EXPECT_STREQ("storelib.dll", name);
    return LoaderScript::Current()->loadFails ? nullptr : reinterpret_cast<void *>(0x1000);
}
void *ScriptGetProc(void *, const char *name)
{
    EXPECT_STREQ("ProcessLibCommand", name);
    return LoaderScript::Current()->entryMissing ? nullptr : reinterpret_cast<void *>(&FakeLibrary::Entry);
}
void ScriptFree(void *) { LoaderScript::Current()->frees++; }
uint32_t ScriptLastError() { return 126; }

class StoreLibBinding : public FakeLibTest {
protected:
    LoaderScript script;
    void SetUp() override
    {
        FakeLibTest::SetUp();
        LoaderScript::Current() = &script;
        static const LibLoaderSeam seam = {ScriptLoad, ScriptGetProc, ScriptFree, ScriptLastError};
        SLSetLibLoader(&seam);
    }
    void TearDown() override
    {
        UnloadStoreLibrary();
        SLSetLibLoader(nullptr);
        FakeLibTest::TearDown();
    }
};

TEST_F(StoreLibBinding, ControllersAreNumberedInAscendingIdOrder)
{
    slfake::Controller a = OneController(), b = OneController();
    a.id = 2;
    b.id = 5;
    lib.ctrls = {a, b};
    lib.initIds = {5, 2};
    ASSERT_EQ(0, SLInitLib(nullptr));
    ControllerIdList list;
    ASSERT_EQ(0, SLGetCtrlList(&list));
    EXPECT_EQ(2, list.count);
    EXPECT_EQ(2u, list.ids[0]);
    EXPECT_EQ(5u, list.ids[1]);

    uint8_t info[CTRL_INFO_SIZE];
    ASSERT_EQ(0, SLGetCtrlInfo(1, info));
    EXPECT_EQ(5u, lib.sent.back().ctrlId);
    ASSERT_EQ(0, SLGetCtrlInfo(0, info));
    EXPECT_EQ(2u, lib.sent.back().ctrlId);

    const Sent &init = lib.sent.front();
    EXPECT_EQ(0, init.type);
    EXPECT_EQ(0, init.cmd);
    EXPECT_EQ(68u, init.dataSize);

    lib.sent.clear();
    EXPECT_EQ(0, UnloadStoreLibrary());
    ASSERT_EQ(1u, lib.sent.size());
    EXPECT_EQ(0, lib.sent[0].type);
    EXPECT_EQ(9, lib.sent[0].cmd);
    EXPECT_EQ(0u, lib.sent[0].dataSize);
    EXPECT_EQ(1, script.frees);
}

TEST_F(StoreLibBinding, MissingLibraryFailsAndUnloadSendsNothing)
{
    script.loadFails = true;
    EXPECT_EQ(0x8002, SLInitLib(nullptr));
    EXPECT_EQ(0, SLIsLoaded());
    EXPECT_EQ(0, UnloadStoreLibrary());
    EXPECT_TRUE(lib.sent.empty());
    EXPECT_EQ(0, script.frees);
    EXPECT_EQ(1u, trace.LinesWith("!ERR Failed to load library for MegaRAID SAS Controller. - error code - 0x0000007E").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR No library could be loaded. Exiting").size());
}

TEST_F(StoreLibBinding, MissingEntryFailsAndUnloadSendsNoExitCommand)
{
    script.entryMissing = true;
    EXPECT_EQ(0x8002, SLInitLib(nullptr));
    EXPECT_EQ(0, UnloadStoreLibrary());
    EXPECT_TRUE(lib.sent.empty());
    EXPECT_EQ(1, script.frees);
    EXPECT_EQ(1u, trace.LinesWith("Unable to get Entry Point address-ProcessLibCommand(). - error code - 0x0000007E").size());
}

TEST_F(StoreLibBinding, FailingInitialiseReturnsItsStatusWithThreeTraceLines)
{
    lib.initStatus = 0x8001;
    EXPECT_EQ(0x8001, SLInitLib(nullptr));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=InitializeLibrary: Initialization not completed (rval = 0x00008001)").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR InitLib failed for MegaRAID SAS Controller!! rval 0x8001").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR InitLib failed for All library.").size());
    EXPECT_EQ(1u, trace.LinesWith("func=InitializeLibrary: CmdParam >").size());
}

TEST_F(StoreLibBinding, FailingExitCommandIsTraced)
{
    lib.ctrls = {OneController()};
    ASSERT_EQ(0, SLInitLib(nullptr));
    lib.faults[{0, 9}] = 0x8017;
    EXPECT_EQ(0, UnloadStoreLibrary());
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=UnInitializeLibrary: Command failed by O/S (rval = 0x00008017)").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR ExitLib failed for MegaRAID SAS Controller!! rval 0x8017").size());
}

TEST_F(FakeLibTest, ControllerOfAnUnloadedLibraryIsRefusedWithoutSending)
{
    lib.ctrls = {OneController()};
    ControllerIdList list = lib.List();
    list.ids[0] |= 1u << 24; // served by a second library, never loaded
    SLSetEntryForTest(&FakeLibrary::Entry, &list);
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(0x8019, SLGetCtrlInfo(0, info));
    EXPECT_TRUE(lib.sent.empty());
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SLGetCtrlInfo: The input parameter to the command was invalid (rval = 0x00008019)").size());
}

// ---------------------------------------------------------------------------------------------
// Query packets
// ---------------------------------------------------------------------------------------------
struct QueryRow {
    const char *name;
    std::function<int32_t()> call;
    uint8_t type, cmd;
    uint16_t ref1, ref2;
    uint32_t size;
};

class StoreLibQueries : public FakeLibTest {
protected:
    void SetUp() override
    {
        FakeLibTest::SetUp();
        lib.ctrls = {OneController()};
        Bind();
    }
};

TEST_F(StoreLibQueries, EachQuerySendsItsTypeCommandReferenceAndSize)
{
    static uint8_t buf[8192];
    static PdList pdList;
    static LdList ldList;
    static EnclList enclList;
    const QueryRow rows[] = {
        {"SLGetCtrlInfo", [] { return SLGetCtrlInfo(0, buf); }, 1, 0, 0, 0, 2048},
        {"SLGetCtrlProp", [] { return SLGetCtrlProp(0, buf); }, 1, 1, 0, 0, 64},
        {"SLGetPDList", [] { return SLGetPDList(0, &pdList); }, 1, 4, 0, 0, 6152},
        {"SLGetEnclList", [] { return SLGetEnclList(0, &enclList); }, 1, 5, 0, 0, 4616},
        {"SLGetPciInfo", [] { return SLGetPciInfo(0, buf); }, 1, 11, 0, 0, 112},
        {"SLGetLDList", [] { return SLGetLDList(0, &ldList); }, 1, 13, 0, 0, 1032},
        {"SLGetPatrolReadProp", [] { return SLGetPatrolReadProp(0, buf); }, 1, 15, 0, 0, 208},
        {"SLGetDrvVer", [] { return SLGetDrvVer(0, buf); }, 1, 19, 0, 0, 112},
        {"SLGetPDInfo", [] { return SLGetPDInfo(0, 1, buf); }, 2, 0, 11, 0, 512},
        {"SLGetPdProggress", [] { return SLGetPdProggress(0, 1, buf); }, 2, 7, 11, 0, 32},
        {"SLGetLDInfo", [] { return SLGetLDInfo(0, 5, buf); }, 3, 0, 0, 5, 384},
        {"SLGetLDProperties", [] { return SLGetLDProperties(0, 5, buf); }, 3, 1, 0, 5, 32},
        {"SLGetLdProggress", [] { return SLGetLdProggress(0, 5, buf); }, 3, 8, 0, 5, 36},
        {"SLGetPDInLD", [] { return SLGetPDInLD(0, 5, buf); }, 3, 11, 0, 5, 516},
        {"SLReadConfig", [] { return SLReadConfig(0, buf, 1000); }, 4, 0, 0, 0, 1000},
        {"SLGetArrayInfo", [] { return SLGetArrayInfo(0, 0, buf); }, 4, 8, 0, 0, 2368},
        {"SLGetCacheBkupStatus", [] { return SLGetCacheBkupStatus(0, buf); }, 5, 0, 0, 0, 64},
        {"SLGetCacheBkupDesignInfo", [] { return SLGetCacheBkupDesignInfo(0, buf); }, 5, 2, 0, 0, 64},
        {"SLGetCacheBkupProperties", [] { return SLGetCacheBkupProperties(0, buf); }, 5, 4, 0, 0, 32},
        {"SLGetEnclConfig", [] { return SLGetEnclConfig(0, 0x20, buf); }, 8, 0, 0x20, 0, 1024},
        {"SLGetEnclStatus", [] { return SLGetEnclStatus(0, 0x20, buf); }, 8, 5, 0x20, 0, 2048},
        {"SLGetOSDriveName", [] { return SLGetOSDriveName(0, 5, reinterpret_cast<char *>(buf)); }, 1, 12, 0, 0, 9220},
    };
    for (const QueryRow &row : rows) {
        SCOPED_TRACE(row.name);
        lib.sent.clear();
        memset(buf, 0xAA, sizeof(buf));
        ASSERT_EQ(0, row.call());
        ASSERT_FALSE(lib.sent.empty());
        const Sent &s = lib.sent.back();
        EXPECT_EQ(row.type, s.type);
        EXPECT_EQ(row.cmd, s.cmd);
        EXPECT_EQ(0x11u, s.ctrlId);
        EXPECT_EQ(row.ref1, s.ref1);
        EXPECT_EQ(row.ref2, s.ref2);
        EXPECT_EQ(row.size, s.dataSize);
        EXPECT_EQ(std::vector<uint8_t>(row.size, 0), s.data) << "output buffer cleared before the call";
    }
    EXPECT_TRUE(trace.LinesWith("func=").empty()) << "successful queries are not traced";
}

TEST_F(StoreLibQueries, FailingQueryIsTracedWithItsPacket)
{
    lib.faults[{1, 0}] = 0x8003;
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(0x8003, SLGetCtrlInfo(0, info));
    EXPECT_EQ(1u, trace.LinesWith("func=SLGetCtrlInfo: CmdParam >").size());
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SLGetCtrlInfo: Storelib error (rval = 0x00008003)").size());
    // The 36 packet bytes: type 1, command 0, controller id 0x11, data size 2048, then the pointer.
    EXPECT_EQ(1u, trace.LinesWith("00000000: 01 00 00 00 11 00 00 00  00 00 00 00 00 00 00 00").size());
    EXPECT_EQ(1u, trace.LinesWith("00000010: 00 00 00 00 00 00 00 00  00 00 00 00 00 08 00 00").size());
    EXPECT_EQ(1u, trace.LinesWith("00000020: ").size());
}

TEST_F(StoreLibQueries, MergedListHoldsAtMostSixteenControllers)
{
    LoaderScript script;
    LoaderScript::Current() = &script;
    static const LibLoaderSeam seam = {ScriptLoad, ScriptGetProc, ScriptFree, ScriptLastError};
    SLSetLibLoader(&seam);
    lib.initIds.clear();
    for (uint32_t id = 40; id > 20; id--)
        lib.initIds.push_back(id);
    // The library claims 20 controllers in a list with room for 16.
    ASSERT_EQ(0, SLInitLib(nullptr));
    ControllerIdList list;
    SLGetCtrlList(&list);
    EXPECT_EQ(16, list.count);
    EXPECT_EQ(25u, list.ids[0]);
    EXPECT_EQ(40u, list.ids[15]);
    UnloadStoreLibrary();
    SLSetLibLoader(nullptr);
    LoaderScript::Current() = nullptr;
}

TEST_F(StoreLibQueries, ListsAreSorted)
{
    PdList pds;
    LdList lds;
    ASSERT_EQ(0, SLGetPDList(0, &pds));
    ASSERT_EQ(4u, pds.count);
    for (unsigned i = 0; i < 4; i++)
        EXPECT_EQ(i, pds.entries[i].slotNumber);
    ASSERT_EQ(0, SLGetLDList(0, &lds));
    EXPECT_EQ(0, lds.entries[0].targetId);
    EXPECT_EQ(5, lds.entries[1].targetId);

    std::vector<uint8_t> cfg(4096);
    ASSERT_EQ(0, SLReadConfig(0, cfg.data(), (uint32_t)cfg.size()));
    EXPECT_EQ(0, cfg[32 + CONFIG_ARRAY_SIZE]);
    EXPECT_EQ(5, cfg[32 + CONFIG_ARRAY_SIZE + CONFIG_LD_SIZE]);
}

TEST_F(StoreLibQueries, DeviceIdLookupSkipsNonDiskEntries)
{
    uint16_t deviceId = 0;
    EXPECT_EQ(0, SLGetDeviceId(0, 2, &deviceId));
    EXPECT_EQ(12, deviceId);
    EXPECT_EQ(0xC, SLGetDeviceId(0, 3, &deviceId)) << "slot 3 holds an enclosure entry";
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SLGetDeviceId: contNo=0, slotNo=3").size());
    uint8_t slot = 0;
    EXPECT_EQ(0, SLGetSlotNo(0, 11, &slot));
    EXPECT_EQ(1, slot);
    EXPECT_EQ(0xC, SLGetSlotNo(0, 0x40, &slot));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SLGetSlotNo: contNo=0, deviceId=64").size());

    lib.sent.clear();
    uint8_t info[PD_INFO_SIZE];
    EXPECT_EQ(0xC, SLGetPDInfo(0, 3, info));
    EXPECT_TRUE(lib.Of(2, 0).empty()) << "no PD query without a device id";
}

TEST_F(StoreLibQueries, SequenceNumbers)
{
    uint16_t seq = 0;
    EXPECT_EQ(0, SLGetLDSequenceNumber(0, 5, &seq));
    EXPECT_EQ(0x5555, seq);
    EXPECT_EQ(0, SLGetCtrlSequenceNumber(0, &seq));
    EXPECT_EQ(0x31, seq);
    EXPECT_EQ(0, SLGetPDSequenceNumber(0, 11, &seq));
    EXPECT_EQ(0x1234, seq);
}

TEST_F(StoreLibQueries, SlotCountFromEnclosures)
{
    uint16_t slots = 0;
    lib.ctrls[0].enclosures = {{12, 1}};
    EXPECT_EQ(0, SLGetSlotNum(0, &slots));
    EXPECT_EQ(12, slots);
    lib.ctrls[0].enclosures = {{4, 3}, {8, 1}, {16, 1}};
    EXPECT_EQ(0, SLGetSlotNum(0, &slots));
    EXPECT_EQ(9, slots) << "first enclosure that is not of kind 3, plus one";
}

TEST_F(StoreLibQueries, FreeArrayIdsClearTheReferencesInUse)
{
    lib.ctrls[0].arrays = {{0, {10}}, {3, {11}}, {127, {12}}};
    uint8_t freeIds[128];
    EXPECT_EQ(0, FindFreeArrayIDs(freeIds, 0));
    EXPECT_EQ(0, freeIds[0]);
    EXPECT_EQ(1, freeIds[1]);
    EXPECT_EQ(0, freeIds[3]);
    EXPECT_EQ(0, freeIds[127]);
}

TEST_F(StoreLibQueries, OsDriveName)
{
    char name[16];
    lib.ctrls[0].osDriveNames[5] = "\\\\.\\PHYSICALDRIVE1";
    EXPECT_EQ(0, SLGetOSDriveName(0, 5, name));
    EXPECT_STREQ("\\\\.\\PHYSICALDRI", name) << "at most 15 characters";
    EXPECT_EQ(0, SLGetOSDriveName(0, 0, name));
    EXPECT_STREQ("NULL", name);
    lib.faults[{1, 12}] = 0x8017;
    EXPECT_EQ(0x8017, SLGetOSDriveName(0, 5, name));
    EXPECT_STREQ("NULL", name);
}

TEST_F(StoreLibQueries, LogSensePassThroughAndTemperature)
{
    lib.ctrls[0].logPage0 = {0, 0, 0, 3, 0x00, 0x0D, 0x2F};
    std::vector<uint8_t> temp(32, 0);
    temp[9] = 38;
    lib.ctrls[0].logPage0D = temp;
    uint8_t supported = 0, celsius = 0;
    EXPECT_EQ(0, SLIsTempPageSupported(0, 1, &supported));
    EXPECT_EQ(1, supported);
    const Sent &s = lib.sent.back();
    EXPECT_EQ(6, s.type);
    EXPECT_EQ(0, s.cmd);
    ASSERT_EQ(96u, s.dataSize);
    const ScsiPassThru *block = reinterpret_cast<const ScsiPassThru *>(s.data.data());
    EXPECT_EQ(11, block->deviceId);
    EXPECT_EQ(10, block->cdbLength);
    EXPECT_EQ(2, block->direction);
    EXPECT_EQ(32u, block->dataLength);
    EXPECT_EQ(0x4D, block->cdb[0]);
    EXPECT_EQ(0x40, block->cdb[2]);
    EXPECT_EQ(32, block->cdb[8]);

    EXPECT_EQ(0, SLGetPDTemperature(0, 1, &celsius));
    EXPECT_EQ(38, celsius);
    EXPECT_EQ(0x4D, reinterpret_cast<const ScsiPassThru *>(lib.sent.back().data.data())->cdb[2]);

    lib.ctrls[0].logPage0 = {0, 0, 0, 1, 0x00, 0x0D};
    EXPECT_EQ(0, SLIsTempPageSupported(0, 1, &supported));
    EXPECT_EQ(0, supported) << "0x0D lies beyond the listed length";
}

TEST_F(StoreLibQueries, DirectCommandQueries)
{
    uint32_t seconds = 0;
    EXPECT_EQ(0, SLGetTime(0, &seconds));
    EXPECT_EQ(12345678u, seconds);
    const Sent &s = lib.sent.back();
    EXPECT_EQ(6, s.type);
    EXPECT_EQ(3, s.cmd);
    EXPECT_EQ(32u, s.dataSize);
    EXPECT_EQ(0x01080201u, s.opcode);
    EXPECT_EQ(2, s.direction);

    lib.dcmdFaults[0x010E0201] = 0x2;
    uint8_t mfc[72];
    EXPECT_EQ(0x2, SLGetMFCDefaults(0, mfc));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SendDCMDPassThru: DCMD opcode is invalid (rval = 0x00000002)").size());
    EXPECT_EQ(1u, trace.LinesWith("func=SendDCMDPassThru: CmdParam >").size());
    EXPECT_EQ(1u, trace.LinesWith("func=SendDCMDPassThru: DcmdInput >").size());
}

TEST_F(StoreLibQueries, SnapshotInformationSizeAndTimeOrder)
{
    std::vector<uint8_t> info(288 + 3 * 88 + 1 * 144, 0);
    info[SB_PIT_COUNT] = 3;
    info[SB_VIEW_COUNT] = 1;
    const uint32_t times[3] = {300, 100, 200};
    for (int i = 0; i < 3; i++) {
        LayoutPutU32(info.data(), 288 + i * 88 + SP_NUMBER, (uint32_t)i + 1);
        LayoutPutU32(info.data(), 288 + i * 88 + SP_TIME, times[i]);
    }
    lib.ctrls[0].snapshotInfo = info;
    uint32_t size = 0;
    EXPECT_EQ(0, SLGetSnapshotInfoSize(0, 5, &size));
    EXPECT_EQ(288u + 144u + 3u * 88u, size);
    EXPECT_EQ(0x030F0800u, lib.sent.back().opcode);
    EXPECT_EQ(5, lib.sent.back().mailbox[0]);

    std::vector<uint8_t> out(size);
    EXPECT_EQ(0, SLGetSnapshotInfo(0, 5, out.data(), size));
    EXPECT_EQ(2u, LayoutU32(out.data(), 288 + SP_NUMBER));
    EXPECT_EQ(3u, LayoutU32(out.data(), 288 + 88 + SP_NUMBER));
    EXPECT_EQ(1u, LayoutU32(out.data(), 288 + 176 + SP_NUMBER));

    info[SB_PIT_COUNT] = 0;
    lib.ctrls[0].snapshotInfo = info;
    EXPECT_EQ(0, SLGetSnapshotInfoSize(0, 5, &size));
    EXPECT_EQ(288u, size) << "no snapshot: the header alone";
}

TEST_F(StoreLibQueries, RebuildOrCopybackSkipsMissingMembers)
{
    slfake::Controller &c = lib.ctrls[0];
    c.lds[1].members = {0xFFFF, 10, 11};
    uint8_t running = 1;
    EXPECT_EQ(0, SLIsDuringRebuildCopyback(0, 5, &running));
    EXPECT_EQ(0, running);
    for (const Sent &s : lib.Of(2, 0))
        EXPECT_NE(0xFFFF, s.ref1);

    c.pds[1].state = PD_STATE_REBUILD;
    EXPECT_EQ(0, SLIsDuringRebuildCopyback(0, 5, &running));
    EXPECT_EQ(1, running);

    c.pds[1].state = PD_STATE_ONLINE;
    c.pds[0].partner = 12;
    c.pds[2].state = PD_STATE_COPYBACK;
    EXPECT_EQ(0, SLIsDuringRebuildCopyback(0, 5, &running));
    EXPECT_EQ(1, running) << "the partner drive named by a member is copying back";
}

// ---------------------------------------------------------------------------------------------
// Action packets
// ---------------------------------------------------------------------------------------------
struct ActionRow {
    const char *name;
    std::function<int32_t()> call;
    uint8_t type, cmd;
    uint16_t ref1, ref2;
    uint8_t param0;
    uint32_t size;
    const char *operands;
};

TEST_F(StoreLibQueries, EachActionSendsItsReferencesAndTracesOperandsAndOutcome)
{
    const ActionRow rows[] = {
        {"SLDeleteLD", [] { return SLDeleteLD(0, 5); }, 3, 3, 0x5555, 5, 0, 0, "func=SLDeleteLD: contNo=0, ldNo=5"},
        {"SLStartInitialization", [] { return SLStartInitialization(0, 5); }, 3, 9, 0x5555, 5, 1, 0,
         "func=SLStartInitialization: contNo=0, ldNo=5"},
        {"SLCancelInitialization", [] { return SLCancelInitialization(0, 5); }, 3, 10, 0x5555, 5, 0, 0,
         "func=SLCancelInitialization: contNo=0, ldNo=5"},
        {"SLStartCheckConsistency", [] { return SLStartCheckConsistency(0, 5); }, 3, 6, 0x5555, 5, 0, 0,
         "func=SLStartCheckConsistency: contNo=0, ldNo=5"},
        {"SLCancelCheckConsistency", [] { return SLCancelCheckConsistency(0, 5); }, 3, 7, 0x5555, 5, 0, 0,
         "func=SLCancelCheckConsistency: contNo=0, ldNo=5"},
        {"SLStartPatrolReadOpe", [] { return SLStartPatrolReadOpe(0); }, 1, 17, 0, 0, 0, 0,
         "func=SLStartPatrolReadOpe: contNo=0"},
        {"SLStopPatrolReadOpe", [] { return SLStopPatrolReadOpe(0); }, 1, 18, 0, 0, 0, 0,
         "func=SLStopPatrolReadOpe: contNo=0"},
        {"SLLearnCacheBkup", [] { return SLLearnCacheBkup(0); }, 5, 3, 0, 0, 0, 0, "func=SLLearnCacheBkup: contNo=0"},
        {"SLStartLocatePD", [] { return SLStartLocatePD(0, 1, 7); }, 2, 8, 11, 0, 7, 0,
         "func=SLStartLocatePD: contNo=0, pdNo=1"},
        {"SLStopLocatePD", [] { return SLStopLocatePD(0, 1); }, 2, 9, 11, 0, 0, 0, "func=SLStopLocatePD: contNo=0, pdNo=1"},
        {"SLStartRebuild", [] { return SLStartRebuild(0, 1); }, 2, 5, 11, 0x1234, 0, 0,
         "func=SLStartRebuild: contNo=0, pdNo=1"},
        {"SLMakeDriveOnline", [] { return SLMakeDriveOnline(0, 1); }, 2, 1, 11, 0x1234, 0, 0,
         "func=SLMakeDriveOnline: contNo=0, pdNo=1"},
        {"SLMakeDriveOffline", [] { return SLMakeDriveOffline(0, 1); }, 2, 2, 11, 0x1234, 0, 0,
         "func=SLMakeDriveOffline: contNo=0, pdNo=1"},
        {"SLMakeDriveUnconfGood", [] { return SLMakeDriveUnconfGood(0, 1); }, 2, 19, 11, 0x1234, 0, 0,
         "func=SLMakeDriveUnconfGood: contNo=0, pdNo=1"},
        {"SLMakeGlobalHotspare", [] { return SLMakeGlobalHotspare(0, 1); }, 2, 10, 11, 0x1234, 0, 0,
         "func=SLMakeGlobalHotspare: contNo=0, slotNo=1"},
        {"SLMakeDedicatedHotspare", [] { return SLMakeDedicatedHotspare(0, 1, 4); }, 2, 11, 11, 0x1234, 0, 33,
         "func=SLMakeDedicatedHotspare: contNo=0 ,slotNo=1, arrayRef=4"},
        {"SLRemoveHotspare", [] { return SLRemoveHotspare(0, 1); }, 2, 13, 11, 0x1234, 0, 0,
         "func=SLRemoveHotspare: contNo=0, slotNo=1"},
    };
    for (const ActionRow &row : rows) {
        SCOPED_TRACE(row.name);
        lib.sent.clear();
        ASSERT_EQ(0, row.call());
        const Sent &s = lib.sent.back();
        EXPECT_EQ(row.type, s.type);
        EXPECT_EQ(row.cmd, s.cmd);
        EXPECT_EQ(row.ref1, s.ref1);
        EXPECT_EQ(row.ref2, s.ref2);
        EXPECT_EQ(row.param0, s.param0);
        EXPECT_EQ(row.size, s.dataSize);
        EXPECT_EQ(1u, trace.LinesWith(row.operands).size());
        std::string outcome = std::string("func=") + row.name + ": Command was executed successfully (rval = 0x00000000)";
        std::vector<std::string> lines = trace.LinesWith(outcome);
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ(std::string::npos, lines[0].find("!ERR")) << "a success carries an empty prefix";
    }
    ASSERT_EQ(0, SLMakeDedicatedHotspare(0, 1, 4));
    const Sent dhs = lib.Of(2, 11).back();
    ASSERT_EQ(33u, dhs.data.size());
    EXPECT_EQ(1, dhs.data[0]);
    EXPECT_EQ(4, dhs.data[1]);
}

TEST_F(StoreLibQueries, FailedLookupSendsNothing)
{
    lib.faults[{3, 0}] = 0x4;
    EXPECT_EQ(0x4, SLStartInitialization(0, 5));
    EXPECT_TRUE(lib.Of(3, 9).empty());
    lib.faults.clear();

    EXPECT_EQ(0xC, SLStartRebuild(0, 9));
    EXPECT_TRUE(lib.Of(2, 5).empty());

    lib.faults[{2, 0}] = 0x8017; // PD sequence number unreadable
    EXPECT_EQ(0x8017, SLMakeDriveOnline(0, 1));
    EXPECT_TRUE(lib.Of(2, 1).empty());

    lib.faults[{1, 1}] = 0x8017; // controller properties unreadable
    uint8_t props[208] = {};
    EXPECT_EQ(0x8017, SLSetPatrolReadProp(0, props));
    EXPECT_EQ(0x8017, SLSetCtrlRbldMode(0, 1));
    EXPECT_TRUE(lib.Of(1, 16).empty());
    EXPECT_TRUE(lib.Of(1, 2).empty());
}

TEST_F(StoreLibQueries, FailedActionIsTracedAsError)
{
    lib.faults[{3, 3}] = 0x2F;
    EXPECT_EQ(0x2F, SLDeleteLD(0, 5));
    EXPECT_EQ(1u, trace.LinesWith("!ERR func=SLDeleteLD: matches SCSI RESERVATION_CONFLICT (rval = 0x0000002F)").size());
}

TEST_F(StoreLibQueries, LdPropertiesAddressTheLdOfTheBlock)
{
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0, SLGetLDProperties(0, 5, props));
    props[LP_ACCESS_POLICY] = 2;
    lib.sent.clear();
    ASSERT_EQ(0, SLSetLDProperties(0, props));
    ASSERT_EQ(1u, lib.sent.size());
    EXPECT_EQ(3, lib.sent[0].type);
    EXPECT_EQ(2, lib.sent[0].cmd);
    EXPECT_EQ(0x5555, lib.sent[0].ref1);
    EXPECT_EQ(5, lib.sent[0].ref2);
    EXPECT_EQ(std::vector<uint8_t>(props, props + 32), lib.sent[0].data);

    ASSERT_EQ(0, SLSetSnapshotProp(0, 5, 1, 0));
    EXPECT_EQ(0x03, lib.Of(3, 2).back().data[LP_SNAPSHOT_FLAGS]);
    ASSERT_EQ(0, SLSetSnapshotProp(0, 5, 0, 1));
    EXPECT_EQ(0x00, lib.Of(3, 2).back().data[LP_SNAPSHOT_FLAGS]);
}

TEST_F(StoreLibQueries, ControllerPropertiesReadModifyWrite)
{
    lib.ctrls[0].ctrlProp[CP_ON_OFF_BITS] = 0x10; // NCQ disabled stays
    ASSERT_EQ(0, SLSetCtrlRbldMode(0, 1));
    Sent write = lib.Of(1, 2).back();
    EXPECT_EQ(0x31, write.ref1);
    EXPECT_EQ(64u, write.dataSize);
    EXPECT_EQ(1, write.data[CP_AUTO_REBUILD_DISABLED]);
    EXPECT_EQ(1u, trace.LinesWith("func=SLSetCtrlRbldMode: contNo=0, disableAutoRebuild=1").size());

    ASSERT_EQ(0, SLSetCtrlProp(0, 30, 1, 0, 1));
    write = lib.Of(1, 2).back();
    for (int off = CP_REBUILD_RATE; off <= CP_RECON_RATE; off++)
        EXPECT_EQ(30, write.data[off]) << off;
    EXPECT_EQ(0x10u | CP_BIT_COPYBACK_DISABLED | CP_BIT_SMART_COPYBACK_SSD, LayoutU32(write.data.data(), CP_ON_OFF_BITS));
    EXPECT_EQ(1u, trace.LinesWith("func=SLSetCtrlProp: contNo=0").size());
}

TEST_F(StoreLibQueries, FailPdOnSmartErrorWritesByte52Back)
{
    lib.ctrls[0].mfcDefaults[10] = 0x77;
    ASSERT_EQ(0, SLSetFailPDOnSmartTer(0, 1));
    ASSERT_EQ(2u, lib.sent.size());
    EXPECT_EQ(0x010E0201u, lib.sent[0].opcode);
    EXPECT_EQ(0x010E0202u, lib.sent[1].opcode);
    EXPECT_EQ(1, lib.sent[1].direction);
    ASSERT_EQ(72u, lib.sent[1].data.size());
    EXPECT_EQ(1, lib.sent[1].data[52]);
    EXPECT_EQ(0x77, lib.sent[1].data[10]);
    EXPECT_EQ(1u, trace.LinesWith("func=SLSetFailPDOnSmartTer: DcmdInput >").size());
    EXPECT_EQ(1u, trace.LinesWith("func=SLSetFailPDOnSmartTer: Command was executed successfully").size());
}

TEST_F(StoreLibQueries, SnapshotSwitchesNameTheLdInTheMailbox)
{
    SnapshotEnableRequest request = {};
    request.repoTargetId = 0;
    request.areaBlocks = 4096;
    ASSERT_EQ(0, SLEnableSnapshot(0, 5, &request));
    Sent s = lib.sent.back();
    EXPECT_EQ(0x030F0100u, s.opcode);
    EXPECT_EQ(1, s.direction);
    EXPECT_EQ(16u, s.data.size());
    EXPECT_EQ(5, s.mailbox[0]);
    EXPECT_EQ(0, s.mailbox[1]);
    EXPECT_EQ(0x5555, LayoutU16(s.mailbox.data(), 2));

    ASSERT_EQ(0, SLDisableSnapshot(0, 5));
    s = lib.sent.back();
    EXPECT_EQ(0x030F0200u, s.opcode);
    EXPECT_EQ(0, s.direction);
    EXPECT_TRUE(s.data.empty());
    EXPECT_EQ(1u, trace.LinesWith("func=SLDisableSnapshot: Command was executed successfully").size());

    ASSERT_EQ(0, SLCreateSnapshotPIT(0, 5, "LD5_2601011200"));
    s = lib.sent.back();
    EXPECT_EQ(0x030F0300u, s.opcode);
    EXPECT_EQ(std::string("LD5_2601011200"), std::string(reinterpret_cast<const char *>(s.data.data())));
    lib.sent.clear();
    EXPECT_EQ(0x8019, SLCreateSnapshotPIT(0, 5, "A_NAME_OF_16_CHS"));
    EXPECT_TRUE(lib.sent.empty()) << "a name over 15 characters is refused before sending";

    ASSERT_EQ(0, SLDeleteSnapshotView(0, 5, 3));
    EXPECT_EQ(3u, LayoutU32(lib.sent.back().mailbox.data(), 4));
}

TEST_F(StoreLibQueries, ConfigurationBuildingRequests)
{
    static LdCreateRequest request;
    memset(&request, 0, sizeof(request));
    request.groupCount = 1;
    request.groups[0].ldCount = 1;
    request.groups[0].pdCount = 2;
    ASSERT_EQ(0, SLCreateLD(0, &request));
    EXPECT_EQ(4, lib.sent.back().type);
    EXPECT_EQ(1, lib.sent.back().cmd);
    EXPECT_EQ(sizeof(LdCreateRequest), lib.sent.back().dataSize);
    ASSERT_EQ(0, SLCreateCacheCadeLD(0, &request));
    EXPECT_EQ(3, lib.sent.back().cmd);
    ASSERT_EQ(0, SLAddLDToRG(0, 4, 1000, &request.groups[0]));
    EXPECT_EQ(2, lib.sent.back().cmd);
    EXPECT_EQ(4, lib.sent.back().ref2);
    const AddLdToRgRequest *add = reinterpret_cast<const AddLdToRgRequest *>(lib.sent.back().data.data());
    EXPECT_EQ(1000u, add->startBlock);
    EXPECT_EQ(4, add->arrayRef);

    lib.sent.clear();
    request.groupCount = 0;
    EXPECT_EQ(0x8019, SLCreateLD(0, &request));
    EXPECT_TRUE(lib.sent.empty());
}

} // namespace
