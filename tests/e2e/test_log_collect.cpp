// End to end: zavcli -log runs the log-utility stand-in through the command interpreter and
// copies its three reports into the LogDir2 folder.
#include "support/e2e.h"
#include "support/product_value.h"

#include <algorithm>
#include <string>

namespace {

const char kFailed[] = "Error - The Collection of the RAID log Failed.\n";
const char kAsk[] = "Information - RAID log already exists.\nDoes it overwrite?(Y/N)?\n";
const char *const kLogs[] = {"log_FlashROMLog.log", "log_UART.log", "log_AdapterInfo.log"};

bool IsWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

class LogE2E : public e2e::SimTest {
protected:
    std::string logDir;

    void SetUp() override
    {
        SimTest::SetUp();
        LoadScenario("default");
        // a folder with a blank and an interpreter character in its name
        logDir = e2e::TempPath("raid log & co\\");
        RemoveLogs();
    }
    void TearDown() override
    {
        RemoveLogs();
        SimTest::TearDown();
    }
    // zavcli writes Windows text; the expectations are written with plain line ends.
    e2e::ProcResult Zavcli(const std::vector<std::string> &args, const std::string &stdinText = "")
    {
        e2e::ProcResult r = SimTest::Zavcli(args, stdinText);
        r.out.erase(std::remove(r.out.begin(), r.out.end(), '\r'), r.out.end());
        return r;
    }

    void RemoveLogs()
    {
        for (const char *name : kLogs)
            DeleteFileA((logDir + name).c_str());
        RemoveDirectoryA(logDir.c_str());
    }
    std::string Success(const std::string &dir)
    {
        return "Information - The Collection of the RAID log succeeded.\n  " + dir + kLogs[0] + "\n  " + dir +
               kLogs[1] + "\n  " + dir + kLogs[2] + "\n";
    }
    std::string Log(const std::string &name) { return e2e::ReadFileText(logDir + name); }
};

TEST_F(LogE2E, CollectsThreeReportsIntoFolderWithBlank)
{
    e2e::ProductValueOverride dir("LogDir2", logDir.c_str());
    e2e::ProcResult r = Zavcli({"-log"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(Success(logDir), r.out) << r.err;
    EXPECT_NE(std::string::npos, Log("log_AdapterInfo.log").find("Adapter #0")) << Log("log_AdapterInfo.log");
    EXPECT_NE(std::string::npos, Log("log_UART.log").find("Adapter #0")) << Log("log_UART.log");
    EXPECT_NE(std::string::npos, Log("log_FlashROMLog.log").find("Sequence    : 1")) << Log("log_FlashROMLog.log");
    // working files on C: are removed again
    for (const char *name : kLogs)
        EXPECT_FALSE(e2e::FileExists(std::string("C:\\") + name)) << name;
    EXPECT_FALSE(e2e::FileExists("C:\\log_FlashROMLogTemp.log"));
}

TEST_F(LogE2E, UtilityNameFollowsProcessorArchitecture)
{
    e2e::ProductValueOverride dir("LogDir2", logDir.c_str());
    Zavcli({"-log"});
    const std::string trace = e2e::TraceLogText();
    const char *expected = IsWow64() ? "run MegaCLi64.exe -AdpAllInfo" : "run MegaCLi.exe -AdpAllInfo";
    EXPECT_NE(std::string::npos, trace.find(expected)) << expected;
}

TEST_F(LogE2E, ExistingLogAskedOnceAndNoLeavesFilesUntouched)
{
    e2e::ProductValueOverride dir("LogDir2", logDir.c_str());
    CreateDirectoryA(logDir.c_str(), nullptr);
    e2e::WriteFileText(logDir + "log_UART.log", "earlier collection\n");
    e2e::ProcResult r = Zavcli({"-log"}, "N\n");
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kAsk, r.out);
    EXPECT_EQ("earlier collection\n", Log("log_UART.log"));
    EXPECT_FALSE(e2e::FileExists(logDir + "log_FlashROMLog.log"));
    EXPECT_FALSE(e2e::FileExists(logDir + "log_AdapterInfo.log"));
}

TEST_F(LogE2E, ExistingLogYesOverwrites)
{
    e2e::ProductValueOverride dir("LogDir2", logDir.c_str());
    CreateDirectoryA(logDir.c_str(), nullptr);
    e2e::WriteFileText(logDir + "log_AdapterInfo.log", "earlier collection\n");
    e2e::ProcResult r = Zavcli({"-log"}, "Y\n");
    EXPECT_EQ(std::string(kAsk) + Success(logDir), r.out);
    EXPECT_NE(std::string::npos, Log("log_AdapterInfo.log").find("Adapter #0"));
}

TEST_F(LogE2E, MissingLogDir2FailsOnce)
{
    e2e::ProductValueOverride dir("LogDir2", nullptr);
    e2e::ProcResult r = Zavcli({"-log"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kFailed, r.out);
}

TEST_F(LogE2E, FolderThatCannotBeCreatedFails)
{
    // a file stands where a folder of the path should be
    std::string blocker = e2e::TempPath("log blocker");
    e2e::WriteFileText(blocker, "x");
    e2e::ProductValueOverride dir("LogDir2", (blocker + "\\raidlog\\").c_str());
    e2e::ProcResult r = Zavcli({"-log"});
    EXPECT_EQ(kFailed, r.out);
    DeleteFileA(blocker.c_str());
}

TEST_F(LogE2E, AnyArgumentIsRefused)
{
    e2e::ProcResult r = Zavcli({"-log", "-aALL"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("Error - Invalid input at or near token -log.\n", r.out);
}

TEST_F(LogE2E, InstalledLogFolderIsUsedAsConfigured)
{
    const std::string installed = e2e::ProductRegValue("LogDir2");
    ASSERT_FALSE(installed.empty());
    for (const char *name : kLogs)
        DeleteFileA((installed + name).c_str());
    e2e::ProcResult r = Zavcli({"-log"});
    EXPECT_EQ(Success(installed), r.out);
    for (const char *name : kLogs) {
        EXPECT_TRUE(e2e::FileExists(installed + name)) << name;
        DeleteFileA((installed + name).c_str());
    }
}

} // namespace
