// The log command against a scripted file system, registry and command interpreter, plus the
// Windows side of its seam on real folders (blanks and interpreter characters in paths).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_evt.h"
#include "cli/zavcli_cmds.h"
#include "common/dll_mod.h"
#include "unit/console_script.h"

namespace {

struct FakeSystem {
    bool hasLogDir = true;
    std::string logDir = "C:\\Zav Logs\\raid&log\\";
    bool amd64 = false;
    bool runFails = false;
    std::set<std::string> failCopyTo;
    std::map<std::string, std::string> files; // path -> content
    std::vector<std::string> commandLines;
    std::vector<std::string> createdDirs;
    std::vector<std::string> answers;
    int prompts = 0;
};

FakeSystem *g_sys = nullptr;
std::string &g_console = testconsole::Output();

int FakeLogDir2(char *out, unsigned size)
{
    if (!g_sys->hasLogDir)
        return 0;
    snprintf(out, size, "%s", g_sys->logDir.c_str());
    return 1;
}
int FakeAmd64() { return g_sys->amd64 ? 1 : 0; }

// Stands in for the interpreter and the log utility: the redirection target gets the report.
int FakeRun(const char *line)
{
    g_sys->commandLines.push_back(line);
    if (g_sys->runFails)
        return 0;
    std::string text = line;
    size_t redirect = text.find("> \"");
    if (redirect != std::string::npos) {
        std::string target = text.substr(redirect + 3, text.size() - redirect - 4);
        g_sys->files[target] = "report of " + text.substr(0, text.find(' '));
    }
    size_t f = text.find("-f \"");
    if (f != std::string::npos) {
        size_t end = text.find('"', f + 4);
        g_sys->files[text.substr(f + 4, end - f - 4)] = "event log";
    }
    return 1;
}
int FakeExists(const char *path) { return g_sys->files.count(path) ? 1 : 0; }
int FakeDelete(const char *path) { return g_sys->files.erase(path) ? 1 : 0; }
int FakeCreateDir(const char *path)
{
    g_sys->createdDirs.push_back(path);
    return 1;
}
int FakeCopy(const char *from, const char *to)
{
    if (!g_sys->files.count(from) || g_sys->failCopyTo.count(to))
        return 0;
    g_sys->files[to] = g_sys->files[from];
    return 1;
}
int FakeReader(char *line, unsigned size)
{
    g_sys->prompts++;
    if (g_sys->answers.empty())
        return 0;
    snprintf(line, size, "%s\n", g_sys->answers.front().c_str());
    g_sys->answers.erase(g_sys->answers.begin());
    return 1;
}
using testconsole::CaptureConsole;

const char kDir[] = "C:\\Zav Logs\\raid&log\\";
const char kFailed[] = "Error - The Collection of the RAID log Failed.\n";
const char kAsk[] = "Information - RAID log already exists.\nDoes it overwrite?(Y/N)?";

class LogCommandTest : public ::testing::Test {
protected:
    FakeSystem sys;
    void SetUp() override
    {
        g_sys = &sys;
        g_console.clear();
        LogCollectSeam seam = {FakeLogDir2, FakeAmd64, FakeRun, FakeExists, FakeDelete, FakeCreateDir, FakeCopy};
        SetLogCollectSeam(&seam);
        SetConsoleWriter(CaptureConsole);
        SetConsoleReader(FakeReader);
    }
    void TearDown() override
    {
        SetLogCollectSeam(nullptr);
        SetConsoleWriter(nullptr);
        SetConsoleReader(nullptr);
        g_sys = nullptr;
    }
    int Log(std::vector<std::string> extra = {})
    {
        static char program[] = "zavcli.exe";
        static char command[] = "-log";
        std::vector<char *> argv = {program, command};
        for (std::string &a : extra)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        return CliCmdExecLog((int)argv.size() - 1, argv.data(), nullptr, 1);
    }
    std::string Dest(const char *name) { return std::string(kDir) + name; }
    std::string Success()
    {
        return std::string("Information - The Collection of the RAID log succeeded.\n  ") + kDir +
               "log_FlashROMLog.log\n  " + kDir + "log_UART.log\n  " + kDir + "log_AdapterInfo.log\n";
    }
};

TEST_F(LogCommandTest, CollectsThreeLogsWithQuotedCommandLines)
{
    sys.files["C:\\log_UART.log"] = "stale working file";
    EXPECT_EQ(0, Log());
    EXPECT_EQ(Success(), g_console);
    EXPECT_EQ((std::vector<std::string>{
                  "MegaCLi.exe -AdpEventLog -GetEvents -f \"C:\\log_FlashROMLog.log\" -aALL -nolog > "
                  "\"C:\\log_FlashROMLogTemp.log\"",
                  "MegaCLi.exe -FWTermlog -Dsply -aALL -nolog > \"C:\\log_UART.log\"",
                  "MegaCLi.exe -AdpAllInfo -aALL -nolog > \"C:\\log_AdapterInfo.log\""}),
              sys.commandLines);
    EXPECT_EQ("event log", sys.files[Dest("log_FlashROMLog.log")]);
    EXPECT_EQ("report of MegaCLi.exe", sys.files[Dest("log_UART.log")]);
    EXPECT_EQ("report of MegaCLi.exe", sys.files[Dest("log_AdapterInfo.log")]);
    // every working file on C: is gone afterwards, the temporary event-log output too
    for (const auto &f : sys.files)
        EXPECT_EQ(0u, f.first.find(kDir)) << f.first;
    EXPECT_EQ("C:\\Zav Logs\\raid&log", sys.createdDirs.at(0));
    EXPECT_EQ(0, sys.prompts);
}

TEST_F(LogCommandTest, SixtyFourBitSystemRunsSixtyFourBitUtility)
{
    sys.amd64 = true;
    Log();
    ASSERT_EQ(3u, sys.commandLines.size());
    for (const std::string &line : sys.commandLines)
        EXPECT_EQ(0u, line.find("MegaCLi64.exe -")) << line;
    EXPECT_STREQ("MegaCLi64.exe", LogUtilityName());
}

TEST_F(LogCommandTest, ExistingLogAskedOnceAndNoLeavesEverythingUntouched)
{
    sys.files[Dest("log_UART.log")] = "earlier";
    sys.files[Dest("log_AdapterInfo.log")] = "earlier too";
    sys.answers = {"N"};
    Log();
    EXPECT_EQ(std::string(kAsk) + "\n", g_console);
    EXPECT_EQ(1, sys.prompts);
    EXPECT_TRUE(sys.commandLines.empty());
    EXPECT_EQ("earlier", sys.files[Dest("log_UART.log")]);
    EXPECT_EQ("earlier too", sys.files[Dest("log_AdapterInfo.log")]);
    EXPECT_EQ(2u, sys.files.size());
}

TEST_F(LogCommandTest, ExistingLogYesOverwrites)
{
    sys.files[Dest("log_FlashROMLog.log")] = "earlier";
    sys.answers = {"yes", "y"};
    Log();
    EXPECT_EQ(2, sys.prompts);
    EXPECT_EQ(std::string(kAsk) + "\n" + kAsk + "\n" + Success(), g_console);
    EXPECT_EQ("event log", sys.files[Dest("log_FlashROMLog.log")]);
}

TEST_F(LogCommandTest, MissingLogDir2FailsOnce)
{
    sys.hasLogDir = false;
    Log();
    EXPECT_EQ(kFailed, g_console);
    EXPECT_TRUE(sys.commandLines.empty());
}

TEST_F(LogCommandTest, AnyArgumentNamesTheCommand)
{
    Log({"-a0"});
    EXPECT_EQ("Error - Invalid input at or near token -log.\n", g_console);
    EXPECT_TRUE(sys.commandLines.empty());
}

TEST_F(LogCommandTest, FailedCopyKeepsEarlierLogsAndReportsFailure)
{
    sys.failCopyTo.insert(Dest("log_UART.log"));
    Log();
    EXPECT_EQ(kFailed, g_console);
    EXPECT_EQ(3u, sys.commandLines.size());
    EXPECT_TRUE(sys.files.count(Dest("log_FlashROMLog.log")));
    EXPECT_FALSE(sys.files.count(Dest("log_UART.log")));
    EXPECT_TRUE(sys.files.count(Dest("log_AdapterInfo.log")));
    EXPECT_FALSE(sys.files.count("C:\\log_UART.log"));
}

TEST_F(LogCommandTest, InterpreterThatCannotStartFails)
{
    sys.runFails = true;
    Log();
    EXPECT_EQ(kFailed, g_console);
    EXPECT_TRUE(sys.files.empty());
}

TEST_F(LogCommandTest, LogDirWithoutSeparatorGetsOne)
{
    sys.logDir = "D:\\raidlog";
    Log();
    EXPECT_EQ("Information - The Collection of the RAID log succeeded.\n  D:\\raidlog\\log_FlashROMLog.log\n"
              "  D:\\raidlog\\log_UART.log\n  D:\\raidlog\\log_AdapterInfo.log\n",
              g_console);
    EXPECT_TRUE(sys.files.count("D:\\raidlog\\log_UART.log"));
}

TEST(LogCommandLine, LineOver259CharactersIsRefused)
{
    char line[600];
    std::string name(250, 'm');
    EXPECT_EQ(1, BuildRaidLogCommandLine(1, "MegaCLi.exe", line, sizeof(line)));
    EXPECT_EQ(0, BuildRaidLogCommandLine(1, name.c_str(), line, sizeof(line)));
    EXPECT_EQ(0, BuildRaidLogCommandLine(3, "MegaCLi.exe", line, sizeof(line)));
    // exactly 259 characters still pass: the fixed part of log 1 is 51 characters
    std::string fits(259 - 51, 'n');
    EXPECT_EQ(1, BuildRaidLogCommandLine(1, fits.c_str(), line, sizeof(line))) << line;
    EXPECT_EQ(259u, strlen(line));
    std::string over(260 - 51, 'n');
    EXPECT_EQ(0, BuildRaidLogCommandLine(1, over.c_str(), line, sizeof(line)));
}

// The Windows side on real folders: nested creation, copy, and a command line whose quoted
// redirection target holds a blank and an '&'.
TEST(LogCollectWindowsSeam, QuotedRedirectionIntoFolderWithBlankAndAmpersand)
{
    const LogCollectSeam *win = WindowsLogCollectSeam();
    char tmp[MAX_PATH] = {};
    GetTempPathA(sizeof(tmp), tmp);
    std::string base = tmp;
    if (base.back() != '\\')
        base += '\\';
    std::string root = base + "zav log " + std::to_string(GetCurrentProcessId());
    std::string folder = root + "\\a&b c";
    ASSERT_EQ(1, win->createDirectory(folder.c_str()));
    std::string target = folder + "\\out.txt";
    std::string line = "echo collected> \"" + target + "\"";
    ASSERT_EQ(1, win->runCommandLine(line.c_str()));
    ASSERT_EQ(1, win->fileExists(target.c_str()));
    std::string copy = folder + "\\copy.txt";
    EXPECT_EQ(1, win->copyFile(target.c_str(), copy.c_str()));
    FILE *f = fopen(copy.c_str(), "r");
    ASSERT_NE(nullptr, f);
    char text[64] = {};
    fgets(text, sizeof(text), f);
    fclose(f);
    EXPECT_EQ(0, strncmp(text, "collected", 9)) << text;
    EXPECT_EQ(1, win->deleteFile(target.c_str()));
    EXPECT_EQ(1, win->deleteFile(copy.c_str()));
    EXPECT_EQ(0, win->fileExists(target.c_str()));
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(root.c_str());
}

} // namespace
