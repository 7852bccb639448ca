// End to end: the log-utility stand-in answers its three reports from the simulator's state,
// so what the log command collects follows what happened to the controller.
#include "support/e2e.h"

#include <algorithm>
#include <string>

namespace {

class LogUtilityE2E : public e2e::SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        LoadScenario("default");
    }
    // Runs the stand-in; its reports are Windows text, so line ends are made plain here.
    e2e::ProcResult Utility(const std::vector<std::string> &args)
    {
        e2e::ProcResult r = e2e::RunProgram(e2e::BinDir() + "\\MegaCLi.exe", args, "", e2e::BinDir());
        r.out = Plain(r.out);
        return r;
    }
    static std::string Plain(std::string text)
    {
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
};

TEST_F(LogUtilityE2E, ReportsFollowTheSimulatedController)
{
    ASSERT_EQ(0, Zavsim({"ctrl", "set", "0", "product=ZavTestBoard"}).exitCode);
    ASSERT_EQ(0, Zavsim({"pd", "fail", "0", "3"}).exitCode);

    e2e::ProcResult info = Utility({"-AdpAllInfo", "-aALL", "-nolog"});
    EXPECT_EQ(0, info.exitCode);
    EXPECT_EQ(0u, info.out.find("Adapter #0\n")) << info.out;
    EXPECT_NE(std::string::npos, info.out.find(": ZavTestBoard\n")) << info.out;
    EXPECT_NE(std::string::npos, info.out.find("degraded 1,")) << info.out;

    e2e::ProcResult term = Utility({"-FWTermlog", "-Dsply", "-a0", "-nolog"});
    EXPECT_EQ(0, term.exitCode);
    EXPECT_NE(std::string::npos, term.out.find("slot 3): SEAGATE ST3300657SS 0008")) << term.out;
    EXPECT_NE(std::string::npos, term.out.find("LD 1 \"Data\": RAID1")) << term.out;

    const std::string file = e2e::TempPath("utility events.log");
    e2e::ProcResult events = Utility({"-AdpEventLog", "-GetEvents", "-f", file, "-aALL", "-nolog"});
    EXPECT_EQ(0, events.exitCode);
    const std::string log = Plain(e2e::ReadFileText(file));
    EXPECT_NE(std::string::npos, log.find("slot 5) to Rebuild")) << log;
    EXPECT_NE(std::string::npos, log.find("Rebuild on PD 13 (enclosure 252, slot 5) in progress")) << log;
    EXPECT_NE(std::string::npos, log.find("State change on LD 1 \"Data\" to Degraded")) << log;
    DeleteFileA(file.c_str());
}

TEST_F(LogUtilityE2E, RefusesUnknownAdapterAndIncompleteRequest)
{
    e2e::ProcResult adapter = Utility({"-AdpAllInfo", "-a1", "-nolog"});
    EXPECT_EQ(1, adapter.exitCode);
    EXPECT_EQ(0u, adapter.out.find("Adapter 1 not found.")) << adapter.out;

    e2e::ProcResult noFile = Utility({"-AdpEventLog", "-GetEvents", "-aALL"});
    EXPECT_EQ(1, noFile.exitCode);
    EXPECT_EQ(0u, noFile.out.find("Invalid input at or near token -aALL")) << noFile.out;
}

} // namespace
