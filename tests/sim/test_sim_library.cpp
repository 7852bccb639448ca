// Simulator tests of the library commands, the state file (missing, corrupt, shared between
// processes, answered from memory), fault rules, the journal (kept open, shared between processes)
// and zavsim's handling of bad input.
#include "sim_support.h"

using namespace simtest;

TEST_F(SimFixture, InitialiseListsControllersInStateOrder)
{
    Load("two-controllers");
    EXPECT_EQ(2, LayoutU16(idList, 0));
    EXPECT_EQ(5u, CtrlId(0));
    EXPECT_EQ(2u, CtrlId(1));
}

TEST_F(SimFixture, FiveAndNoControllers)
{
    Load("five-controllers");
    EXPECT_EQ(5, LayoutU16(idList, 0));
    Load("no-controller");
    EXPECT_EQ(0, LayoutU16(idList, 0));
}

TEST_F(SimFixture, VersionTextsAndCommandsBeforeInitialise)
{
    ASSERT_EQ(0, Zavsim({"load", "default"}));
    Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_EXIT);
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(sim::ST_NOT_INITIALIZED, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    char version[LIB_VERSION_SIZE + 1] = {};
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_VERSION, 0, 0, 0, 0, version, LIB_VERSION_SIZE));
    EXPECT_EQ("06.05.00", std::string(version + 4, 8));
    EXPECT_EQ("0014", std::string(version, 4));
}

TEST_F(SimFixture, MissingStateFailsInitialiseAndIsJournalled)
{
    uint8_t list[68];
    EXPECT_EQ(sim::ST_INIT_FAILED, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, list, sizeof(list)));
    EXPECT_NE(std::string::npos, Journal().find("ERROR state file"));
    EXPECT_NE(std::string::npos, Journal().find("not found"));
}

TEST_F(SimFixture, CorruptStateFailsAndIsNeverOverwritten)
{
    const std::string corrupt = "{\"ctrls\": [ {\"id\": 0, ";
    WriteText(paths.state, corrupt);
    uint8_t list[68];
    EXPECT_EQ(sim::ST_INIT_FAILED, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, list, sizeof(list)));
    EXPECT_EQ(1, Zavsim({"fault", "add", "1", "0", "3"}));   // zavsim refuses too
    EXPECT_NE(std::string::npos, err.find("corrupt"));
    EXPECT_EQ(corrupt, ReadText(paths.state));
    EXPECT_NE(std::string::npos, Journal().find("is corrupt"));
    WriteText(paths.state, "[1, 2, 3]");
    EXPECT_EQ(sim::ST_INIT_FAILED, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, list, sizeof(list)));
}

TEST_F(SimFixture, PacketErrorsOfTheLibrary)
{
    Load("default");
    uint8_t small[16];
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(sim::ST_SIZE, Send(1, SLCMD_CTRL_INFO, 0, 0, 0, 0, small, sizeof(small)));
    EXPECT_EQ(sim::ST_NULL_PTR, Send(1, SLCMD_CTRL_INFO, 0, 0, 0, 0, nullptr, CTRL_INFO_SIZE));
    EXPECT_EQ(sim::ST_BAD_CTRL, Send(1, SLCMD_CTRL_INFO, 7, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(sim::ST_BAD_CMD, Send(1, 99, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(sim::ST_BAD_TYPE, Send(7, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(sim::ST_DCMD_INVALID, Dcmd(0x01020304, 0, 0, info, 4));
}

TEST_F(SimFixture, FaultRuleForTheNextCallsOnly)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"fault", "add", "1", "0", "0x8017", "count=2"}));
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(0x8017u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(0x8017u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_EQ(0u, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_TRUE(State().faults.empty());
    EXPECT_NE(std::string::npos, Journal().find("SLGetCtrlInfo type=1 cmd=0 ctrl=0x000000 ref1=0x0000 ref2=0x0000 param=0x00 size=2048 status=0x8017 fault"));
}

TEST_F(SimFixture, FaultRuleConditions)
{
    Load("default");
    int dev3 = Dev(3);
    ASSERT_EQ(0, Zavsim({"fault", "add", "2", "0", "0xC", "slot=3"}));
    ASSERT_EQ(0, Zavsim({"fault", "add", "6", "3", "0x2", "opcode=0x01080201"}));
    ASSERT_EQ(0, Zavsim({"fault", "add", "3", "0", "0x32", "ld=1"}));
    uint32_t st = 0;
    PdInfo(dev3, &st);
    EXPECT_EQ(0xCu, st);
    PdInfo(Dev(2), &st);
    EXPECT_EQ(0u, st);
    uint8_t clock[4];
    EXPECT_EQ(2u, Dcmd(DCMD_GET_TIME, 0, 0, clock, 4));
    uint8_t mfc[MFC_DEFAULTS_SIZE];
    EXPECT_EQ(0u, Dcmd(DCMD_GET_MFC_DEFAULTS, 0, 0, mfc, sizeof(mfc)));
    uint8_t ld[LD_INFO_SIZE];
    EXPECT_EQ(0x32u, Send(3, 0, 0, 0, 1, 0, ld, sizeof(ld)));
    EXPECT_EQ(0u, Send(3, 0, 0, 0, 0, 0, ld, sizeof(ld)));
    ASSERT_EQ(0, Zavsim({"fault", "clear"}));
    EXPECT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, clock, 4));
}

TEST_F(SimFixture, FaultOnInitialise)
{
    ASSERT_EQ(0, Zavsim({"load", "default"}));
    ASSERT_EQ(0, Zavsim({"fault", "add", "0", "0", "0x8002"}));
    uint8_t list[68];
    EXPECT_EQ(0x8002u, Send(0, 0, 0, 0, 0, 0, list, sizeof(list)));
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(sim::ST_NOT_INITIALIZED, Send(1, 0, 0, 0, 0, 0, info, sizeof(info)));
}

TEST_F(SimFixture, JournalNamesDirectCommandsAndZavsimChanges)
{
    Load("default");
    uint8_t clock[4];
    ASSERT_EQ(0u, Dcmd(DCMD_GET_TIME, 0, 0, clock, 4));
    ASSERT_EQ(0, Zavsim({"pd", "fail", "0", "7"}));
    std::string j = Journal();
    EXPECT_NE(std::string::npos, j.find("InitializeLibrary type=0 cmd=0"));
    EXPECT_NE(std::string::npos, j.find("SendDCMD type=6 cmd=3 ctrl=0x000000 ref1=0x0000 ref2=0x0000 param=0x00 size=32 opcode=0x01080201 dir=2 dsize=4 mbox=00000000 status=0x0"));
    EXPECT_NE(std::string::npos, j.find("zavsim pd fail 0 7"));
    ASSERT_EQ(0, Zavsim({"journal", "clear"}));
    EXPECT_EQ("", Journal());
}

TEST_F(SimFixture, ChangesOfAnotherProcessAreSeen)
{
    Load("default");
    EXPECT_EQ(PD_STATE_UNCONF_GOOD, PdState(7));
    ASSERT_EQ(0, WaitExit(StartZavsim({"pd", "fail", "0", "7"})));
    EXPECT_EQ(PD_STATE_UNCONF_BAD, PdState(7));
    ASSERT_EQ(0, WaitExit(StartZavsim({"pd", "pull", "0", "7"})));
    uint32_t st = 0;
    PdInfo(15, &st);
    EXPECT_EQ(0xCu, st);
}

TEST_F(SimFixture, ConcurrentProcessesLoseNoChange)
{
    Load("default");
    std::vector<HANDLE> procs;
    const int n = 8;
    for (int i = 0; i < n; ++i)
        procs.push_back(StartZavsim({"fault", "add", "1", std::to_string(20 + i), "3"}));
    // This process changes the state at the same time through packets.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_PD, SLCMD_PD_START_LOCATE, 0, (uint16_t)Dev(i), 0, 0));
    for (HANDLE h : procs)
        EXPECT_EQ(0, WaitExit(h));
    sim::State s = State();
    EXPECT_EQ((size_t)n, s.faults.size());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(sim::FindPdBySlot(s.ctrls[0], i)->locate);
}

// The library answers from its copy of the state while the file is unchanged; a file replaced by
// another writer is read again even when only a digit changed and the size stayed the same, and
// so is a file whose size changed.
TEST_F(SimFixture, ReplacedStateFileIsReadAgain)
{
    Load("default");
    auto temperature = [this]() {
        uint8_t status[CACHEBKUP_STATUS_SIZE] = {};
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_STATUS, CtrlId(0), 0, 0, 0, status, sizeof(status)));
        return LayoutU16(status, CBS_TEMPERATURE);
    };
    const uint16_t before = temperature();
    struct Case {
        const char *name;
        std::string to;
    };
    const std::string from = "\"temperature\": " + std::to_string(before);
    const Case cases[] = {
        {"same size", "\"temperature\": " + std::to_string(before + 11)},
        {"longer", "\"temperature\": " + std::to_string(before + 111)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = ReadText(paths.state);
        size_t at = text.find(from, text.find("\"cacheBackup\""));
        ASSERT_NE(std::string::npos, at);
        text.replace(at, from.size(), c.to);
        // Written aside and moved over the state file, as every writer does.
        WriteText(paths.state + ".other", text);
        ASSERT_TRUE(MoveFileExA((paths.state + ".other").c_str(), paths.state.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_EQ(std::to_string(temperature()), c.to.substr(c.to.find(": ") + 2));
        // Back to the first value for the next case.
        WriteText(paths.state + ".other", ReadText(paths.state).replace(at, c.to.size(), from));
        ASSERT_TRUE(MoveFileExA((paths.state + ".other").c_str(), paths.state.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_EQ(before, temperature());
    }
}

// A packet that changes the state while another process keeps changing it too: every change of
// both sides lands, even when this side's copy of the state went stale in between.
TEST_F(SimFixture, ChangesOfThisProcessLandOnTheNewestState)
{
    Load("default");
    const int n = 6;
    std::vector<HANDLE> procs;
    for (int round = 0; round < n; ++round) {
        // The other process saves between two packets of this one.
        ASSERT_EQ(0, WaitExit(StartZavsim({"fault", "add", "1", std::to_string(40 + round), "3"})));
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_PD, SLCMD_PD_START_LOCATE, 0, (uint16_t)Dev(round), 0, 0));
    }
    sim::State s = State();
    EXPECT_EQ((size_t)n, s.faults.size());
    for (int i = 0; i < n; ++i)
        EXPECT_TRUE(sim::FindPdBySlot(s.ctrls[0], i)->locate) << "slot " << i;
}

TEST_F(SimFixture, ZavsimRefusesBadInput)
{
    struct Case {
        std::vector<std::string> args;
        const char *message;
    } cases[] = {
        {{"load", "no-such-scenario"}, "no scenario"},
        {{"frobnicate"}, "unknown command"},
        {{"pd", "fail", "0", "99"}, "no drive in slot 99"},
        {{"pd", "fail", "3", "0"}, "no controller 3"},
        {{"pd", "insert", "0", "0"}, "not empty"},
        {{"fault", "add", "1"}, "missing cmd"},
        {{"fault", "add", "1", "0", "x3"}, "bad status"},
        {{"fault", "add", "1", "0", "3", "colour=red"}, "bad colour"},
        {{"clock", "advance", "-5"}, "backwards"},
        {{"clock", "set", "2026-02-30"}, "bad date"},
        {{"ld", "set", "0", "0", "speed=3"}, "unknown LD key"},
        {{"ctrl", "set", "0", "max_lds=65"}, "max_lds"},
    };
    Load("default");
    for (const Case &c : cases) {
        EXPECT_EQ(1, Zavsim(c.args)) << c.args[0];
        EXPECT_NE(std::string::npos, err.find(c.message)) << err;
        EXPECT_EQ(0u, err.find("zavsim: ")) << err;
    }
}

TEST_F(SimFixture, ZavsimWithoutStateAsksForAScenario)
{
    EXPECT_EQ(1, Zavsim({"show"}));
    EXPECT_NE(std::string::npos, err.find("zavsim load default"));
}

TEST_F(SimFixture, EveryBuiltinScenarioLoadsAndShows)
{
    for (const std::string &name : sim::BuiltinScenarioNames()) {
        ASSERT_EQ(0, Zavsim({"load", name})) << name << ": " << err;
        ASSERT_EQ(0, Zavsim({"show"})) << name;
        EXPECT_NE(std::string::npos, out.find("Scenario: " + name));
    }
    EXPECT_EQ(10u, sim::BuiltinScenarioNames().size());
}

TEST_F(SimFixture, ScenarioFileWithAnError)
{
    std::string file = paths.state + ".scenario.json";
    WriteText(file, "{\"controllers\": [{\"drives\": [{\"slots\": \"0-2\"}], \"lds\": [{\"raid\": 5, \"slots\": [0, 1]}]}]}");
    EXPECT_EQ(1, Zavsim({"load", file}));
    EXPECT_NE(std::string::npos, err.find("refused"));
    WriteText(file, "{\"controllers\": [{\"drives\": [{\"slots\": \"0-2\"}], \"lds\": [{\"raid\": 5, \"slots\": [0, 1, 2]}]}]}");
    EXPECT_EQ(0, Zavsim({"load", file})) << err;
    DeleteFileA(file.c_str());
}

TEST(SimLibrary, LibraryWithoutEntryPoint)
{
    HMODULE lib = LoadLibraryA((BinDir() + "\\storelib_noentry.dll").c_str());
    ASSERT_NE(nullptr, lib);
    EXPECT_EQ(nullptr, (void *)GetProcAddress(lib, "ProcessLibCommand"));
    FreeLibrary(lib);
}

// A change that cannot be stored (here: the state file held open, so it cannot be replaced) must
// not come back as success: the caller would report a change that was lost.
TEST_F(SimFixture, ChangeThatCannotBeSavedIsNotReportedAsDone)
{
    Load("default");
    HANDLE held = CreateFileA(paths.state.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    uint32_t status = Send(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_LEARN, CtrlId(0));
    CloseHandle(held);
    EXPECT_EQ((uint32_t)sim::ST_OS, status);
    EXPECT_NE(std::string::npos, ReadText(paths.journal).find("ERROR cannot replace"));
    EXPECT_FALSE(State().ctrls[0].cacheBackup.learn.active);
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_LEARN, CtrlId(0)));
    EXPECT_TRUE(State().ctrls[0].cacheBackup.learn.active);
}

// This process reads through the library while another process changes the state, and changes it
// while the other one reads: each side sees the other's newest change at its very next step.
TEST_F(SimFixture, TwoProcessesAlternateChangesAndReads)
{
    Load("default");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int slot = 4 + round;
        uint32_t status = 0;
        PdInfo(Dev(slot), &status);
        EXPECT_EQ(0u, status);
        // The other process makes this drive's information fail; this one sees it at once.
        ASSERT_EQ(0, WaitExit(StartZavsim({"fault", "add", "2", "0", "0xC", "slot=" + std::to_string(slot)})));
        PdInfo(Dev(slot), &status);
        EXPECT_EQ(0xCu, status);
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_PD, SLCMD_PD_START_LOCATE, 0, (uint16_t)Dev(round), 0, 0));
        // The other process changes the file after this one's change and must find it there.
        ASSERT_EQ(0, WaitExit(StartZavsim({"fault", "add", "1", std::to_string(60 + round), "3"})));
        sim::State s = State();
        EXPECT_TRUE(sim::FindPdBySlot(s.ctrls[0], round)->locate);
        EXPECT_EQ((size_t)2 * (round + 1), s.faults.size());
    }
}

// A query answered from this process's copy of the state may still change it: a fault rule that
// runs out is removed. When that change cannot be stored, the copy must not keep it either, or
// this process would answer from a state that no file holds.
TEST_F(SimFixture, QueryWhoseChangeCannotBeSavedLeavesNoTrace)
{
    Load("default");
    ASSERT_EQ(0, Zavsim({"fault", "add", "1", "0", "0x8017", "count=1"}));
    uint8_t info[CTRL_INFO_SIZE];
    HANDLE held = CreateFileA(paths.state.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0x8017u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    CloseHandle(held);
    EXPECT_EQ(1u, State().faults.size());
    // The rule is still in the file, so it answers once more, and this time it is used up.
    EXPECT_EQ(0x8017u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    EXPECT_TRUE(State().faults.empty());
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
}

// An action the controller refuses changes nothing, in the file or in what later queries answer.
TEST_F(SimFixture, RefusedActionLeavesTheStateAsItWas)
{
    Load("default");
    const int before = PdState(0);
    const uint16_t seq = PdSeq(0);
    EXPECT_NE(0u, Send(LIBCMD_TYPE_PD, SLCMD_PD_MAKE_OFFLINE, 0, (uint16_t)Dev(0), (uint16_t)(seq + 1), 0));
    EXPECT_EQ(before, PdState(0));
    EXPECT_EQ(seq, PdSeq(0));
    EXPECT_EQ(before, sim::FindPdBySlot(State().ctrls[0], 0)->state);
}

// Journal records of several processes writing at once land whole, one per line, none lost.
TEST_F(SimFixture, JournalRecordsOfSeveralProcessesInterleaveWhole)
{
    Load("default");
    const int others = 6, packets = 40;
    std::vector<HANDLE> procs;
    for (int i = 0; i < others; ++i)
        procs.push_back(StartZavsim({"fault", "add", "1", std::to_string(70 + i), "3"}));
    uint8_t info[CTRL_INFO_SIZE];
    for (int i = 0; i < packets; ++i)
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    for (HANDLE h : procs)
        EXPECT_EQ(0, WaitExit(h));
    const std::string journal = Journal();
    EXPECT_EQ(std::string::npos, journal.find('\0'));
    std::istringstream lines(journal);
    std::string line;
    int queries = 0, changes = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("SLGetCtrlInfo type=1 cmd=0 ", 0) == 0 && line.find(" status=0x0") != std::string::npos)
            ++queries;
        else if (line.rfind("zavsim fault add 1 7", 0) == 0 && line.size() == std::string("zavsim fault add 1 70 3").size())
            ++changes;
        else
            EXPECT_TRUE(line.rfind("zavsim load default", 0) == 0 || line.rfind("InitializeLibrary ", 0) == 0) << line;
    }
    EXPECT_EQ(packets, queries);
    EXPECT_EQ(others, changes);
    EXPECT_EQ('\n', journal.back());
}

// The library keeps its journal open between packets; a journal cleared by another process
// meanwhile gets the next record at its start, with nothing of the old one left. After the exit
// command the journal is free: deleted, it comes back with the next session's first record.
TEST_F(SimFixture, JournalClearedOrDeletedBetweenPacketsStartsAfresh)
{
    Load("default");
    uint8_t info[CTRL_INFO_SIZE];
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    ASSERT_EQ(0, WaitExit(StartZavsim({"journal", "clear"})));
    EXPECT_EQ("", Journal());
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, 0, 0, info, sizeof(info)));
    std::string journal = Journal();
    EXPECT_EQ(0u, journal.find("SLGetCtrlInfo type=1 cmd=0 ")) << journal;
    EXPECT_EQ(1, std::count(journal.begin(), journal.end(), '\n'));

    EXPECT_EQ(0u, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_EXIT));
    ASSERT_TRUE(DeleteFileA(paths.journal.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(paths.journal.c_str()));
    EXPECT_EQ(0u, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, idList, sizeof(idList)));
    journal = Journal();
    EXPECT_EQ(0u, journal.find("InitializeLibrary type=0 cmd=0 ")) << journal;
    EXPECT_EQ(1, std::count(journal.begin(), journal.end(), '\n'));
}
