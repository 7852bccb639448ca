// zavcli's start-up through the controller access layer, end to end against the simulator: the
// library binding, the controller count and numbering, the refresh of the controller records with
// its queries in order, and every refresh failure, as console text, exit code, trace and journal.
#include "support/cli_checks.h"

#include <sstream>

namespace {

using e2e::ProcResult;

const char kAccessError[] = "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n\n";
const char kInitError[] = "Error - Failed to initialize.\n";

// The newest records of the trace ring (oldest first), trimmed.
std::vector<std::string> NewestTrace(size_t count)
{
    const size_t width = 199, bytes = 201;
    std::string text = e2e::TraceLogText();
    std::vector<std::string> lines;
    for (size_t at = 0; at + bytes <= text.size(); at += bytes)
        lines.push_back(text.substr(at, width));
    size_t marker = lines.size();
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i].compare(0, 5, "<END>") == 0) {
            marker = i;
            break;
        }
    std::vector<std::string> out;
    if (marker == lines.size())
        return out;
    for (size_t back = std::min(count, lines.size()); back >= 1; back--) {
        std::string line = lines[(marker + lines.size() - back) % lines.size()];
        out.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
    }
    return out;
}

// The trace records of the newest zavcli run: those from its command-line echo on.
std::vector<std::string> LastRunTrace()
{
    std::vector<std::string> records = NewestTrace(400);
    size_t start = 0;
    for (size_t i = 0; i < records.size(); i++)
        if (records[i].find("zavcli.exe -") != std::string::npos && records[i].find(".cpp(") == std::string::npos)
            start = i;
    return std::vector<std::string>(records.begin() + start, records.end());
}

bool TraceHas(const std::string &part)
{
    for (const std::string &line : LastRunTrace())
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

std::string TraceWith(const std::string &part)
{
    std::string all;
    for (const std::string &line : LastRunTrace())
        if (line.find(part) != std::string::npos)
            all += line + "\n";
    return all;
}

// "type/cmd" of every packet line of the journal, in order ("D<opcode>" for direct commands).
std::vector<std::string> PacketSequence(const std::string &journal)
{
    std::vector<std::string> seq;
    for (const std::string &line : e2e::JournalLines(journal, "")) {
        if (line.empty() || line.compare(0, 7, "zavsim ") == 0 || line.compare(0, 5, "ERROR") == 0)
            continue;
        size_t t = line.find(" type="), c = line.find(" cmd=");
        if (t == std::string::npos || c == std::string::npos)
            continue;
        seq.push_back(line.substr(t + 6, line.find(' ', t + 1) - t - 6) + "/" +
                      line.substr(c + 5, line.find(' ', c + 1) - c - 5));
    }
    return seq;
}

std::string Joined(const std::vector<std::string> &items)
{
    std::string s;
    for (const std::string &item : items)
        s += item + " ";
    return s;
}

// Controller ids of the packets of one command, in order.
std::vector<std::string> CtrlIdsOf(const std::string &journal, const std::string &typeCmd)
{
    std::vector<std::string> ids;
    for (const std::string &line : e2e::JournalLines(journal, "")) {
        std::string type = "type=" + typeCmd.substr(0, typeCmd.find('/')) + " cmd=" + typeCmd.substr(typeCmd.find('/') + 1) + " ";
        size_t at = line.find(" ctrl=");
        if (line.find(type) != std::string::npos && at != std::string::npos)
            ids.push_back(line.substr(at + 6, 8));
    }
    return ids;
}

class Startup : public e2e::CliTest {};

TEST_F(Startup, RefreshSendsItsQueriesInOrderBetweenInitialiseAndExit)
{
    LoadScenario("default");
    ClearJournal();
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(0, r.exitCode) << r.out;
    std::vector<std::string> seq = PacketSequence(Journal());
    ASSERT_FALSE(seq.empty());
    EXPECT_EQ("0/0", seq.front()) << "initialise first";
    EXPECT_EQ("0/9", seq.back()) << "exit command last";

    // The default controller: one enclosure, 8 disks, 2 LDs on 2 arrays.
    std::string expected = "0/0 1/5 1/0 1/5 1/4 1/13 4/0 4/0 ";
    for (int pd = 0; pd < 8; pd++)
        expected += "1/4 2/0 ";
    expected += "3/0 3/0 4/8 4/8 ";
    std::string got = Joined(seq);
    EXPECT_EQ(0u, got.find(expected)) << got;
    EXPECT_FALSE(TraceHas("UpdateDriveInfo")) << TraceWith("UpdateDriveInfo");
}

TEST_F(Startup, ControllersAreNumberedByAscendingId)
{
    LoadScenario("two-controllers"); // the library reports id 5, then id 2
    ClearJournal();
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(0, r.exitCode) << r.out;
    std::string journal = Journal();
    std::vector<std::string> info = CtrlIdsOf(journal, "1/0");
    ASSERT_GE(info.size(), 2u);
    EXPECT_EQ("0x000002", info[0]) << "record 0 is controller id 2";
    EXPECT_EQ("0x000005", info[1]);
    std::vector<std::string> encl = CtrlIdsOf(journal, "1/5");
    ASSERT_FALSE(encl.empty());
    EXPECT_EQ("0x000002", encl[0]) << "the enclosure list of controller 0 is read into record 0";
    for (const std::string &id : encl)
        EXPECT_EQ("0x000002", id) << "the second record's enclosure list is never read";
}

TEST_F(Startup, FourControllersAreAccepted)
{
    std::ostringstream json;
    json << "{ \"name\": \"four\", \"controllers\": [";
    const int ids[4] = {9, 3, 7, 1};
    for (int i = 0; i < 4; i++)
        json << (i ? "," : "") << "{ \"id\": " << ids[i]
             << ", \"enclosures\": [ { \"devId\": 252, \"slots\": 4 } ], \"drives\": [ { \"slots\": \"0-1\" } ] }";
    json << "] }";
    LoadScenarioText(json.str());
    ClearJournal();
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(std::string::npos, r.out.find("Error - ")) << r.out;
    std::vector<std::string> info = CtrlIdsOf(Journal(), "1/0");
    ASSERT_EQ(4u, info.size());
    EXPECT_EQ("0x000001", info[0]);
    EXPECT_EQ("0x000003", info[1]);
    EXPECT_EQ("0x000007", info[2]);
    EXPECT_EQ("0x000009", info[3]);
}

TEST_F(Startup, NoControllerAndFiveControllersStop)
{
    struct Case {
        const char *scenario;
        const char *out;
    } cases[] = {
        {"no-controller", "Error - No RAID controller is found.\nQuits the application.\n\n"},
        {"five-controllers", "Error - The number of RAID controller is over 4.\nQuits the application.\n\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scenario);
        LoadScenario(c.scenario);
        ClearJournal();
        ProcResult r = Zavcli({"-help"});
        EXPECT_EQ(-1, r.exitCode);
        EXPECT_EQ(c.out, e2e::ConsoleText(r.out));
        std::string seq = Joined(PacketSequence(Journal()));
        EXPECT_EQ("0/0 0/9 ", seq) << "nothing but initialise and exit reaches the library";
    }
}

TEST_F(Startup, FailingInitialiseIsTracedAndTheLibraryStillExits)
{
    LoadScenario("default");
    Sim({"fault", "add", "0", "0", "0x8001"});
    ClearJournal();
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ(kInitError, e2e::ConsoleText(r.out));
    EXPECT_TRUE(TraceHas("!ERR func=InitializeLibrary: Initialization not completed (rval = 0x00008001)"));
    EXPECT_TRUE(TraceHas("!ERR InitLib failed for MegaRAID SAS Controller!! rval 0x8001"));
    EXPECT_TRUE(TraceHas("!ERR InitLib failed for All library."));
    EXPECT_EQ("0/0 0/9 ", Joined(PacketSequence(Journal())));
}

// A copy of zavcli.exe alone in a folder, optionally with a library beside it.
class StartupAlone : public e2e::SimTest {
protected:
    std::string folder;
    void SetUp() override
    {
        SimTest::SetUp();
        folder = e2e::TempPath("startup_alone");
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(e2e::ZavcliPath().c_str(), (folder + "\\zavcli.exe").c_str(), FALSE));
        LoadScenario("default");
        ClearJournal();
    }
    void TearDown() override
    {
        DeleteFileA((folder + "\\zavcli.exe").c_str());
        DeleteFileA((folder + "\\storelib.dll").c_str());
        RemoveDirectoryA(folder.c_str());
        SimTest::TearDown();
    }
};

TEST_F(StartupAlone, MissingLibrary)
{
    ProcResult r = e2e::RunProgram(folder + "\\zavcli.exe", {"-help"}, "", folder);
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ(kInitError, e2e::ConsoleText(r.out));
    EXPECT_TRUE(TraceHas("!ERR Failed to load library for MegaRAID SAS Controller. - error code - 0x0000007E"));
    EXPECT_TRUE(TraceHas("!ERR No library could be loaded. Exiting"));
    EXPECT_EQ("", Journal());
}

TEST_F(StartupAlone, LibraryWithoutEntrySendsNoExitCommand)
{
    const std::string noEntry = e2e::BinDir() + "\\storelib_noentry.dll";
    ASSERT_TRUE(e2e::FileExists(noEntry));
    ASSERT_TRUE(CopyFileA(noEntry.c_str(), (folder + "\\storelib.dll").c_str(), FALSE));
    ProcResult r = e2e::RunProgram(folder + "\\zavcli.exe", {"-help"}, "", folder);
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ(kInitError, e2e::ConsoleText(r.out));
    EXPECT_TRUE(TraceHas("!ERR Unable to get Entry Point address-ProcessLibCommand(). - error code - 0x0000007F"));
    EXPECT_FALSE(TraceHas("UnInitializeLibrary"));
    EXPECT_EQ(std::string::npos, Journal().find("type=0 cmd=9"));
}

TEST_F(Startup, EveryFailingRefreshStepStopsTheTool)
{
    struct Case {
        const char *type, *cmd;
        const char *traced; // the refresh's own trace line, where it writes one
    } cases[] = {
        {"1", "5", "func=UpdateDriveInfo: SLGetEnclList error"},
        {"1", "0", "func=UpdateDriveInfo: SLGetCtrlInfo error, contNo=0"},
        {"1", "4", "func=SLGetPDList: "},
        {"1", "13", "func=SLGetLDList: "},
        {"4", "0", "func=SLGetConfigSize: "},
        {"2", "0", "func=SLGetPDInfo: "},
        {"3", "0", "func=SLGetLDInfo: "},
        {"4", "8", "func=UpdateDriveInfo: SLGetArrayInfo error, contNo=0, arrayRef=0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.type) + "/" + c.cmd);
        LoadScenario("default");
        Sim({"fault", "add", c.type, c.cmd, "0x800E"});
        ClearJournal();
        ProcResult r = Zavcli({"-ctrlinfo"});
        EXPECT_EQ(-1, r.exitCode);
        EXPECT_EQ(kAccessError, e2e::ConsoleText(r.out));
        EXPECT_TRUE(TraceHas(c.traced)) << c.traced;
        std::vector<std::string> seq = PacketSequence(Journal());
        ASSERT_FALSE(seq.empty());
        EXPECT_EQ("0/9", seq.back()) << "the library is told to exit after a failed refresh";
        EXPECT_TRUE(std::find(seq.begin(), seq.end(), "1/11") == seq.end()) << "the handler never ran";
    }
}

TEST_F(Startup, SnapshotQueryFailuresDoNotStopTheRefresh)
{
    LoadScenario("snapshot");
    Sim({"fault", "add", "6", "3", "0x8017", "opcode=0x030F0800"});
    Sim({"fault", "add", "6", "3", "0x8017", "opcode=0x030F0900"});
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(std::string::npos, r.out.find("Error - ")) << r.out;
    EXPECT_TRUE(TraceHas("!ERR func=UpdateDriveInfo: SLGetSnapshotInfoSize error, contNo=0, ldNo=0"));
    EXPECT_TRUE(TraceHas("!ERR func=UpdateDriveInfo: SLGetSnapshotRepoSpaceSize error, contNo=0, ldNo=1"));
}

TEST_F(Startup, SnapshotBaseAndRepositoryAreReadWithTheirSizes)
{
    LoadScenario("snapshot");
    ClearJournal();
    ProcResult r = Zavcli({"-help"});
    EXPECT_EQ(0, r.exitCode);
    std::vector<std::string> base = e2e::JournalLines(Journal(), "");
    size_t baseReads = 0, repoReads = 0;
    for (const std::string &line : base) {
        if (line.find("opcode=0x030F0800") != std::string::npos && line.find("mbox=00") != std::string::npos)
            baseReads++;
        if (line.find("opcode=0x030F0900") != std::string::npos && line.find("mbox=01") != std::string::npos)
            repoReads++;
    }
    EXPECT_GE(baseReads, 2u) << "size probe, then the full read of LD0";
    EXPECT_GE(repoReads, 2u) << "size probe, then the full read of LD1";
    EXPECT_FALSE(TraceHas("UpdateDriveInfo")) << TraceWith("UpdateDriveInfo");
}

} // namespace
