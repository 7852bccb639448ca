// Event reporting through a scripted event-log seam: XeltLogEvent's event types and failures, the
// test event's four strings, and the tstevt command's options.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/zavcli_cmds.h"
#include "common/EventLog.h"
#include "common/dll_mod.h"
#include "unit/console_script.h"

namespace {

struct ReportedEvent {
    std::string source;
    uint16_t type;
    uint16_t category;
    uint32_t id;
    std::vector<std::string> strings;
    uint32_t dataSize;
};

struct FakeEventLog {
    bool failRegister = false;
    bool failReport = false;
    uint32_t error = 0;
    int registrations = 0;
    int deregistrations = 0;
    std::string installDir;
    std::vector<ReportedEvent> events;
    std::string pendingSource;
};

FakeEventLog *g_log = nullptr;
std::string &g_console = testconsole::Output();
int g_handle = 0;

void *FakeRegister(const char *name)
{
    g_log->registrations++;
    if (g_log->failRegister)
        return nullptr;
    g_log->pendingSource = name;
    return &g_handle;
}

int FakeReport(void *source, uint16_t type, uint16_t category, uint32_t id, uint16_t count, const char **strings,
               uint32_t dataSize, const void *)
{
    EXPECT_EQ(&g_handle, source);
    if (g_log->failReport)
        return 0;
    ReportedEvent e{g_log->pendingSource, type, category, id, {}, dataSize};
    for (uint16_t i = 0; i < count; i++)
        e.strings.push_back(strings[i]);
    g_log->events.push_back(e);
    return 1;
}

int FakeDeregister(void *)
{
    g_log->deregistrations++;
    return 1;
}

uint32_t FakeLastError() { return g_log->error; }

int FakeErrorText(uint32_t, char *out, unsigned size)
{
    snprintf(out, size, "%s", "scripted failure");
    return 1;
}

int FakeInstallDir(char *out, unsigned size)
{
    snprintf(out, size, "%s", g_log->installDir.c_str());
    return 1;
}

void FakeClock(EventClock *out) { *out = EventClock{2026, 12, 8, 3, 4, 5}; }

using testconsole::CaptureConsole;

const char kSuccess[] =
    "Information - Test Event has been registered as OS event log.\nPlease check it with OS event viewer.\n";

class EventReportTest : public ::testing::Test {
protected:
    FakeEventLog fake;
    std::string configPath;

    void SetUp() override
    {
        char dir[MAX_PATH] = {};
        GetTempPathA(sizeof(dir), dir);
        fake.installDir = std::string(dir);
        if (fake.installDir.back() != '\\')
            fake.installDir += '\\';
        fake.installDir += "zav_evtrep_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(fake.installDir.c_str(), nullptr);
        configPath = fake.installDir + "zav_config.csv";
        g_log = &fake;
        g_console.clear();
        EventLogSeam seam = {FakeRegister, FakeReport, FakeDeregister, FakeLastError,
                             FakeErrorText, FakeInstallDir, FakeClock};
        SetEventLogSeam(&seam);
        SetConsoleWriter(CaptureConsole);
        ClearEventTable();
        WriteConfig("TEST,0,60009,0,3,0,0,0,0,Test event (error)\n"
                    "TEST,0,60010,0,12,0,0,0,0,Test event (warning)\n"
                    "TEST,0,60011,0,21,0,0,0,0,Test\n"
                    "TEST,0,60012,1,21,0,0,0,0,Quiet\n");
    }

    void TearDown() override
    {
        SetConsoleWriter(nullptr);
        SetEventLogSeam(nullptr);
        ClearEventTable();
        DeleteFileA(configPath.c_str());
        RemoveDirectoryA(fake.installDir.c_str());
        g_log = nullptr;
    }

    void WriteConfig(const std::string &text)
    {
        std::ofstream out(configPath, std::ios::binary | std::ios::trunc);
        out << text;
    }

    int Tstevt(std::vector<std::string> args)
    {
        std::vector<char *> argv;
        static char program[] = "zavcli.exe";
        static char command[] = "-tstevt";
        argv.push_back(program);
        argv.push_back(command);
        for (std::string &a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        return CliCmdExecTSTEVT((int)argv.size() - 1, argv.data(), nullptr, 1);
    }
};

TEST_F(EventReportTest, EventTypeFollowsTopBitsOfId)
{
    const char *strings[] = {"one"};
    EXPECT_EQ(1, XeltLogEvent(0, 0xA000000Cu, 1, strings, 0, nullptr));
    EXPECT_EQ(1, XeltLogEvent(0, 0xE0000001u, 1, strings, 0, nullptr));
    EXPECT_EQ(1, XeltLogEvent(0, 0x60000015u, 1, strings, 0, nullptr));
    ASSERT_EQ(3u, fake.events.size());
    EXPECT_EQ(EVENT_TYPE_WARNING, fake.events[0].type);
    EXPECT_EQ(EVENT_TYPE_ERROR, fake.events[1].type);
    EXPECT_EQ(EVENT_TYPE_INFORMATION, fake.events[2].type);
    for (const ReportedEvent &e : fake.events) {
        EXPECT_EQ("zavservice", e.source);
        EXPECT_EQ(0, e.category);
    }
    EXPECT_EQ(3, fake.deregistrations);
    EXPECT_EQ("", g_console);
}

TEST_F(EventReportTest, TestEventCarriesFourStrings)
{
    EXPECT_EQ(1, RaiseTestEvent("CliCmdExecTSTEVT", 60011));
    ASSERT_EQ(1u, fake.events.size());
    const ReportedEvent &e = fake.events[0];
    EXPECT_EQ(0x60000015u, e.id);
    EXPECT_EQ(EVENT_TYPE_INFORMATION, e.type);
    EXPECT_EQ((std::vector<std::string>{"2026/12/08 03:04:05", "FFFFFFFF", "Test", "060011"}), e.strings);
    EXPECT_EQ(0u, e.dataSize);
    EXPECT_EQ(kSuccess, g_console);
}

TEST_F(EventReportTest, SuppressedOrMissingCodeReportsNothing)
{
    EXPECT_EQ(0, RaiseTestEvent("CliCmdExecTSTEVT", 60012));
    EXPECT_EQ(0, RaiseTestEvent("CliCmdExecTSTEVT", 12345));
    EXPECT_EQ(0, fake.registrations);
    EXPECT_EQ("", g_console);
}

TEST_F(EventReportTest, MissingConfigFileEndsSilently)
{
    DeleteFileA(configPath.c_str());
    ClearEventTable();
    EXPECT_EQ(0, RaiseTestEvent("CliCmdExecTSTEVT", 60011));
    EXPECT_EQ(0, fake.registrations);
    EXPECT_EQ("", g_console);
}

TEST_F(EventReportTest, RegistrationFailurePrintsApiErrorThenSuccess)
{
    fake.failRegister = true;
    fake.error = 0x5;
    RaiseTestEvent("CliCmdExecTSTEVT", 60011);
    EXPECT_EQ(std::string("Error - An error has occurred with Windows API. (code=0x5)\n") + kSuccess, g_console);
    EXPECT_TRUE(fake.events.empty());
    EXPECT_EQ(0, fake.deregistrations);
}

TEST_F(EventReportTest, ReportFailurePrintsApiErrorAndStillDeregisters)
{
    fake.failReport = true;
    fake.error = 0x6F4;
    RaiseTestEvent("CliCmdExecTSTEVT", 60011);
    EXPECT_EQ(std::string("Error - An error has occurred with Windows API. (code=0x6F4)\n") + kSuccess, g_console);
    EXPECT_EQ(1, fake.deregistrations);
}

struct TstevtCase {
    const char *name;
    std::vector<std::string> args;
    uint32_t eventId; // 0: no event
    std::string console;
};

class TstevtTest : public EventReportTest, public ::testing::WithParamInterface<TstevtCase> {};

TEST_P(TstevtTest, OptionsSelectTheTestEvent)
{
    const TstevtCase &c = GetParam();
    Tstevt(c.args);
    EXPECT_EQ(c.console, g_console);
    if (c.eventId == 0) {
        EXPECT_TRUE(fake.events.empty());
    } else {
        ASSERT_EQ(1u, fake.events.size());
        EXPECT_EQ(c.eventId, fake.events[0].id);
        EXPECT_EQ(EventTypeOfId(c.eventId), fake.events[0].type);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, TstevtTest,
    ::testing::Values(
        TstevtCase{"Inf", {"-inf"}, 0x60000015u, kSuccess},
        TstevtCase{"WrnUpperCase", {"-WRN"}, 0xA000000Cu, kSuccess},
        TstevtCase{"ErrKind3", {"-err"}, 0xE0000003u, kSuccess},
        TstevtCase{"WithoutDash", {"inf"}, 0x60000015u, kSuccess},
        TstevtCase{"SecondOptionNamesFirst", {"-inf", "-wrn"}, 0,
                   "Error - Invalid input at or near token -inf.\n"},
        TstevtCase{"RepeatNamesFirst", {"-err", "-err"}, 0, "Error - Invalid input at or near token -err.\n"},
        TstevtCase{"UnknownNamesCommand", {"-info"}, 0, "Error - Invalid input at or near token -tstevt.\n"},
        TstevtCase{"NoOptionEmptyToken", {}, 0, "Error - Invalid input at or near token .\n"}),
    [](const ::testing::TestParamInfo<TstevtCase> &info) { return std::string(info.param.name); });

// A windowed tool installs its own notifier: the notices reach it with their values, and nothing
// is written to the console.
std::vector<std::pair<int, uint32_t>> g_notices;
void RecordNotice(int notice, uint32_t value) { g_notices.push_back({notice, value}); }

TEST_F(EventReportTest, NoticesGoToAnInstalledNotifierInsteadOfTheConsole)
{
    g_notices.clear();
    SetEventLogNotifier(RecordNotice);
    fake.failRegister = true;
    fake.error = 0x5;
    EXPECT_EQ(1, RaiseTestEvent("CliCmdExecTSTEVT", 60011));
    SetEventLogNotifier(nullptr);
    const std::vector<std::pair<int, uint32_t>> expected = {{EVENTLOG_WINDOWS_API_ERROR, 0x5u},
                                                            {EVENTLOG_TEST_EVENT_REGISTERED, 60011u}};
    EXPECT_EQ(expected, g_notices);
    EXPECT_EQ("", g_console);
    EXPECT_EQ(1, RaiseTestEvent("CliCmdExecTSTEVT", 60011)) << "the console notifier is back";
    EXPECT_NE(std::string::npos, g_console.find("0x5")) << g_console;
}

} // namespace
