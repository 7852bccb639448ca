// Entry of zavcli in-process: what it reports and returns for bad command lines, a second
// instance, a non-administrator, unknown commands and a storage library that fails, with the
// token rules and the command table checked row by row.
#include "test_trace_support.h"

#include "cli/zavcli_main.h"
#include "common/StoreLib.h"
#include "unit/console_script.h"

#include <cstring>

using namespace tracetest;

namespace {

std::string &Console()
{
    return testconsole::Output();
}

using testconsole::CaptureConsole;

// Scripted process services.
struct FakeProcess {
    static FakeProcess &Get()
    {
        static FakeProcess instance;
        return instance;
    }
    bool otherInstanceRuns = false;
    bool admin = true;
    int created = 0;
    int closed = 0;
    int adminChecks = 0;

    static int Create(const char *name, void **handle)
    {
        EXPECT_STREQ("zavcli", name);
        Get().created++;
        *handle = &Get();
        return Get().otherInstanceRuns ? INSTANCE_EXISTS : INSTANCE_CREATED;
    }
    static void Close(void *handle)
    {
        EXPECT_EQ(&Get(), handle);
        Get().closed++;
    }
    static int IsAdmin(void)
    {
        Get().adminChecks++;
        return Get().admin ? 1 : 0;
    }
};

// Scripted storage library: the initialise command answers with a controller count.
struct FakeLibrary {
    static FakeLibrary &Get()
    {
        static FakeLibrary instance;
        return instance;
    }
    bool loadable = true;
    uint32_t initStatus = 0;
    uint16_t controllers = 1;
    int loads = 0;
    int exits = 0;
    int frees = 0;

    static uint32_t ZAV_LIBCALL Entry(LibCmdPacket *packet)
    {
        if (packet->cmdType == 0 && packet->cmd == 0) {
            if (Get().initStatus != 0)
                return Get().initStatus;
            ControllerIdList *list = reinterpret_cast<ControllerIdList *>(static_cast<uintptr_t>(packet->dataPtr));
            list->count = Get().controllers;
            for (uint16_t i = 0; i < Get().controllers && i < 16; i++)
                list->ids[i] = i;
            return 0;
        }
        if (packet->cmdType == 0 && packet->cmd == 9) {
            Get().exits++;
            return 0;
        }
        return 0x800E;
    }
    static void *Load(const char *name)
    {
        EXPECT_STREQ("storelib.dll", name);
        Get().loads++;
        return Get().loadable ? &Get() : nullptr;
    }
    static void *Proc(void *, const char *name)
    {
        EXPECT_STREQ("ProcessLibCommand", name);
        return reinterpret_cast<void *>(&FakeLibrary::Entry);
    }
    static void Free(void *) { Get().frees++; }
    static uint32_t LastError(void) { return ERROR_MOD_NOT_FOUND; }
};

class Entry : public TraceFixture {
protected:
    std::string logDir;
    char savedDir[MAX_PATH] = {};

    void SetUp() override
    {
        TraceFixture::SetUp();
        FakeLogDir::Set(folder.path() + "\\");
        Console().clear();
        SetConsoleWriter(CaptureConsole);
        FakeProcess::Get() = FakeProcess();
        static const ZavcliProcessSeam seam = {FakeProcess::Create, FakeProcess::Close, FakeProcess::IsAdmin};
        SetZavcliProcessSeam(&seam);
        FakeLibrary::Get() = FakeLibrary();
        static const LibLoaderSeam loader = {FakeLibrary::Load, FakeLibrary::Proc, FakeLibrary::Free,
                                             FakeLibrary::LastError};
        SLSetLibLoader(&loader);
    }
    void TearDown() override
    {
        SLSetLibLoader(nullptr);
        SetZavcliProcessSeam(nullptr);
        SetConsoleWriter(nullptr);
        TraceFixture::TearDown();
    }

    int Run(std::vector<std::string> args)
    {
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        return ZavcliMain(static_cast<int>(args.size()), argv.data());
    }

    std::vector<std::string> Records()
    {
        std::vector<std::string> records;
        for (const std::string &line : RingLines(folder.File("zavcli.log"))) {
            if (!IsMarker(line))
                records.push_back(Trimmed(line));
        }
        return records;
    }
};

TEST_F(Entry, NoArgumentIsAWrongInvocation)
{
    EXPECT_EQ(-1, Run({"C:\\zav\\zavcli.exe"}));
    EXPECT_EQ("Error - Invoked with wrong parameters.\n", Console());
    std::vector<std::string> records = Records();
    ASSERT_EQ(2u, records.size());
    EXPECT_NE(std::string::npos, records[0].find("] pid="));
    EXPECT_NE(std::string::npos, records[0].find(" C:\\zav\\zavcli.exe"));
    EXPECT_NE(std::string::npos, records[1].find(" zavcli_main.cpp("));
    EXPECT_NE(std::string::npos, records[1].find(") Error - Invoked with wrong parameters."));
    EXPECT_EQ(0, FakeProcess::Get().created); // refused before the mutex
    EXPECT_EQ(0, FakeLibrary::Get().loads);
}

TEST_F(Entry, ArgumentsOver256CharactersAreRefused)
{
    struct Case {
        const char *name;
        std::vector<std::string> args;
        int exitCode;
        std::string console;
    } cases[] = {
        {"command of 257", {"zavcli.exe", std::string(257, 'v')}, -1, "Error - Invoked with wrong parameters.\n"},
        {"option of 257", {"zavcli.exe", "-v", "-a" + std::string(255, '0')}, -1,
         "Error - Invoked with wrong parameters.\n"},
        {"program path of 257", {std::string(257, 'p'), "-v"}, -1, "Error - Invoked with wrong parameters.\n"},
        {"command of 256 is looked up", {"zavcli.exe", std::string(256, 'q')}, -1,
         "Error - Invalid input at or near token " + std::string(256, 'q') + ".\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Console().clear();
        EXPECT_EQ(c.exitCode, Run(c.args));
        EXPECT_EQ(c.console, Console());
    }
    EXPECT_EQ(0, FakeLibrary::Get().loads);
}

TEST_F(Entry, SecondInstanceLeavesSilentlyWithZero)
{
    FakeProcess::Get().otherInstanceRuns = true;
    EXPECT_EQ(0, Run({"zavcli.exe", "-ctrlinfo", "-a0"}));
    EXPECT_EQ("", Console());
    EXPECT_EQ(0, FakeProcess::Get().adminChecks);
    EXPECT_EQ(0, FakeLibrary::Get().loads);
    std::vector<std::string> records = Records();
    ASSERT_EQ(1u, records.size()); // only the echo
    EXPECT_NE(std::string::npos, records[0].find(" zavcli.exe -ctrlinfo -a0"));
}

TEST_F(Entry, NonAdministratorIsToldAndLeavesWithZero)
{
    FakeProcess::Get().admin = false;
    EXPECT_EQ(0, Run({"zavcli.exe", "-v"}));
    EXPECT_EQ("Error - Must have administrative privileges.\n", Console());
    EXPECT_EQ(1, FakeProcess::Get().closed);
    EXPECT_EQ(0, FakeLibrary::Get().loads);
    std::vector<std::string> records = Records();
    ASSERT_EQ(2u, records.size());
    EXPECT_NE(std::string::npos, records[1].find("Error - Must have administrative privileges."));
}

TEST_F(Entry, UnknownCommandNamesTheProcessedToken)
{
    struct Case {
        const char *arg;
        const char *token;
    } cases[] = {{"--ctrlinfo", "-ctrlinfo"}, {"a-b", "b"}, {"-CTRLINFOX", "ctrlinfox"}, {"-", "-"}, {"bad-", "bad-"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arg);
        Console().clear();
        EXPECT_EQ(-1, Run({"zavcli.exe", c.arg}));
        EXPECT_EQ(std::string("Error - Invalid input at or near token ") + c.token + ".\n", Console());
    }
    EXPECT_EQ(0, FakeLibrary::Get().loads); // an unknown command never touches the library
}

TEST_F(Entry, LibraryFailuresStopWithTheirMessages)
{
    struct Case {
        const char *name;
        bool loadable;
        uint32_t initStatus;
        uint16_t controllers;
        std::string console;
        int exits;
    } cases[] = {
        {"library missing", false, 0, 1, "Error - Failed to initialize.\n", 0},
        {"initialise fails", true, 0x8002, 1, "Error - Failed to initialize.\n", 1},
        {"no controller", true, 0, 0, "Error - No RAID controller is found.\nQuits the application.\n\n", 1},
        {"five controllers", true, 0, 5,
         "Error - The number of RAID controller is over 4.\nQuits the application.\n\n", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Console().clear();
        FakeLibrary::Get() = FakeLibrary();
        FakeLibrary::Get().loadable = c.loadable;
        FakeLibrary::Get().initStatus = c.initStatus;
        FakeLibrary::Get().controllers = c.controllers;
        for (const char *command : {"-log", "-v", "-ctrlinfo"}) {
            Console().clear();
            EXPECT_EQ(-1, Run({"zavcli.exe", command})) << command;
            EXPECT_EQ(c.console, Console()) << command;
        }
        // Every run unloads what it loaded; the exit command goes to every library whose entry was found.
        EXPECT_EQ(3, FakeLibrary::Get().loads);
        EXPECT_EQ(c.loadable ? 3 : 0, FakeLibrary::Get().frees);
        EXPECT_EQ(3 * c.exits, FakeLibrary::Get().exits);
    }
}

// ---- token rules and table -----------------------------------------------------------------------

TEST(CommandToken, LowerCasedAndStrippedUpToTheFirstDash)
{
    struct Case {
        const char *arg;
        const char *token;
    } cases[] = {
        {"-CTRLINFO", "ctrlinfo"}, {"ctrlinfo", "ctrlinfo"}, {"--v", "-v"},     {"a-b", "b"},
        {"-", "-"},                {"abc-", "abc-"},         {"-?", "?"},       {"/H", "/h"},
        {"-LdE", "lde"},           {"x--y", "-y"},           {"", ""},          {"-\xC4Z", "\xC4z"},
    };
    for (const Case &c : cases) {
        char token[ZAVCLI_TOKEN_SIZE];
        NormaliseCommandToken(c.arg, token);
        EXPECT_STREQ(c.token, token) << c.arg;
    }
}

TEST(CommandToken, LongestArgumentKeepsItsTerminator)
{
    std::string arg(256, 'Z');
    char token[ZAVCLI_TOKEN_SIZE + 8];
    std::memset(token, '#', sizeof(token));
    NormaliseCommandToken(arg.c_str(), token);
    EXPECT_EQ(std::string(256, 'z'), std::string(token));
    EXPECT_EQ('#', token[ZAVCLI_TOKEN_SIZE]);
}

TEST(CommandTable, RowsNamesHandlersAndFlags)
{
    struct Row {
        const char *name;
        CliCmdHandler handler;
        uint8_t needsContData;
    } expected[ZAVCLI_COMMAND_COUNT] = {
        {"lde", CliCmdExecCfgLDEasyMakeAdd, 1},  {"ldc", CliCmdExecCfgLDCustomMakeAdd, 1},
        {"lddel", CliCmdExecCfgLDDel, 1},        {"pdhsp", CliCmdExecPDHSP, 1},
        {"ctrlinfo", CliCmdExecAdpInfo, 1},      {"ldpdinfo", CliCmdExecLDInfo, 1},
        {"pdinfo", CliCmdExecPDInfo, 1},         {"cbinfo", CliCmdExecCacheBkupInfo, 1},
        {"cblearn", CliCmdExecCacheBkup, 1},     {"enclinfo", CliCmdExecEnclInfo, 1},
        {"v", CliCmdExecVersion, 1},             {"h", CliCmdExecHelp, 1},
        {"help", CliCmdExecHelp, 1},             {"?", CliCmdExecHelp, 1},
        {"ldsetprop", CliCmdExecLDSetProp, 1},   {"ctrlautorbld", CliCmdExecAdpRbldMode, 1},
        {"ctrlsetprop", CliCmdExecAdpSetProp, 1}, {"ctrlpr", CliCmdExecAdpPR, 1},
        {"ldinit", CliCmdExecLDINIT, 1},         {"pdrbld", CliCmdExecPDRbld, 1},
        {"ldcc", CliCmdExecLDCC, 1},             {"ldpdprog", CliCmdExecLDPDProg, 1},
        {"tstevt", CliCmdExecTSTEVT, 1},         {"pdlocate", CliCmdExecPDLocate, 1},
        {"pdonline", CliCmdExecPDOnline, 1},     {"pdoffline", CliCmdExecPDOffline, 1},
        {"pdmakegood", CliCmdExecPDMakeGood, 1}, {"log", CliCmdExecLog, 0},
        {"sse", CliCmdExecSnapshotMenu, 1},      {"snapshot", CliCmdExecSnapshot, 1},
    };
    const CommandEntry *table = ZavcliCommandTable();
    for (int row = 0; row < ZAVCLI_COMMAND_COUNT; row++) {
        SCOPED_TRACE(expected[row].name);
        EXPECT_STREQ(expected[row].name, table[row].name);
        EXPECT_EQ(expected[row].handler, table[row].handler);
        EXPECT_EQ(expected[row].needsContData, table[row].needsContData);
        EXPECT_EQ(&table[row], FindCommand(expected[row].name));
    }
    EXPECT_EQ(nullptr, FindCommand("ctrlinf"));
    EXPECT_EQ(nullptr, FindCommand("ctrlinfo "));
    EXPECT_EQ(nullptr, FindCommand(""));
}

// ---- command-line echo -------------------------------------------------------------------------------

TEST(CommandEcho, EveryArgumentFollowedByABlank)
{
    char a0[] = "C:\\Program Files (x86)\\Norvane\\Zav\\zavcli.exe", a1[] = "-pdinfo", a2[] = "-a0";
    char *argv[] = {a0, a1, a2, nullptr};
    char echo[ZAVCLI_ECHO_SIZE];
    BuildCommandLineEcho(3, argv, echo, sizeof(echo));
    EXPECT_STREQ("C:\\Program Files (x86)\\Norvane\\Zav\\zavcli.exe -pdinfo -a0 ", echo);
}

TEST(CommandEcho, LongCommandLineIsCutAtTheBuffer)
{
    std::vector<std::string> args(60, std::string(256, 'k')); // 60 x 257 bytes of echo
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(&a[0]);
    std::vector<char> echo(ZAVCLI_ECHO_SIZE + 16, '#');
    BuildCommandLineEcho(static_cast<int>(argv.size()), argv.data(), echo.data(), ZAVCLI_ECHO_SIZE);
    EXPECT_EQ(ZAVCLI_ECHO_SIZE - 1, static_cast<int>(std::strlen(echo.data())));
    EXPECT_EQ('#', echo[ZAVCLI_ECHO_SIZE]);
    EXPECT_EQ(std::string(256, 'k') + " " + std::string(256, 'k'), std::string(echo.data(), 513));
}

TEST_F(Entry, LongCommandLineIsEchoedIntoOneRecord)
{
    std::vector<std::string> args = {"zavcli.exe", "-zz"};
    for (int i = 0; i < 60; i++)
        args.push_back(std::string(256, 'k'));
    EXPECT_EQ(-1, Run(args));
    std::vector<std::string> records = Records();
    ASSERT_GE(records.size(), 1u);
    EXPECT_EQ(kLineWidth, records[0].size());
    EXPECT_NE(std::string::npos, records[0].find(" zavcli.exe -zz kkkk"));
}

} // namespace
