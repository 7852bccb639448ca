// End to end: zavcli -tstevt against the simulator, with the event seen through Wine's own
// event-log trace on standard error, and the event table taken from the installation folder.
#include "support/e2e.h"
#include "support/product_value.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <algorithm>
#include <string>

namespace {

const char kSuccess[] =
    "Information - Test Event has been registered as OS event log.\nPlease check it with OS event viewer.\n";

const char kUnixShell[] = "Z:\\bin\\sh";
const char kExitMarker[] = "__zavcli_exit=";

class TstevtE2E : public e2e::SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        LoadScenario("default");
    }

    // zavcli writes Windows text; the expectations are written with plain line ends.
    e2e::ProcResult Zavcli(const std::vector<std::string> &args, const std::string &stdinText = "")
    {
        e2e::ProcResult r = SimTest::Zavcli(args, stdinText);
        r.out.erase(std::remove(r.out.begin(), r.out.end(), '\r'), r.out.end());
        return r;
    }

    // Runs zavcli with Wine's event-log channel on. Wine writes its debug channels to the Unix
    // standard error of a process, which no Windows handle reaches, so a Unix shell started
    // through Wine runs zavcli and hands that output back in its standard output. Wine does not
    // give a handle for a Unix process, so the end of the run is seen by a marker in the output.
    e2e::ProcResult ZavcliWithEventTrace(const std::vector<std::string> &args)
    {
        e2e::ProcResult result;
        std::string script = "WINEDEBUG=+eventlog wine '" + e2e::ZavcliPath() + "'";
        for (const std::string &a : args)
            script += " '" + a + "'";
        script += " 2>&1\necho \"" + std::string(kExitMarker) + "$?\"\n";
        const std::string scriptPath = e2e::TempPath("evt_script.sh");
        const std::string outPath = e2e::TempPath("evt_out.txt");
        e2e::WriteFileText(scriptPath, script);
        HANDLE in = e2e::OpenInheritable(scriptPath, false);
        HANDLE out = e2e::OpenInheritable(outPath, true);
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = in;
        si.hStdOutput = out;
        si.hStdError = out;
        PROCESS_INFORMATION pi = {};
        char cmd[] = "sh -s";
        if (CreateProcessA(kUnixShell, cmd, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        std::string text;
        for (int waited = 0; waited < 60000; waited += 100) {
            text = e2e::ReadFileText(outPath);
            size_t marker = text.find(kExitMarker);
            if (marker != std::string::npos && text.find('\n', marker) != std::string::npos) {
                result.exitCode = atoi(text.c_str() + marker + strlen(kExitMarker));
                text.erase(marker);
                break;
            }
            Sleep(100);
        }
        CloseHandle(in);
        CloseHandle(out);
        DeleteFileA(scriptPath.c_str());
        DeleteFileA(outPath.c_str());
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        // Wine's lines start with a thread id and a channel ("0123:fixme:..."); the rest is zavcli's
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            bool wineLine = line.size() > 5 && line[4] == ':' && line.find_first_not_of("0123456789abcdef") == 4;
            (wineLine ? result.err : result.out) += line + "\n";
        }
        return result;
    }

    // A folder holding its own zav_config.csv, used as InstallDir for one test.
    std::string MakeInstallDir(const std::string &config)
    {
        std::string dir = e2e::TempPath("install dir\\");
        CreateDirectoryA(dir.c_str(), nullptr);
        e2e::WriteFileText(dir + "zav_config.csv", config);
        return dir;
    }
    void RemoveInstallDir(const std::string &dir)
    {
        DeleteFileA((dir + "zav_config.csv").c_str());
        RemoveDirectoryA(dir.c_str());
    }
};

TEST_F(TstevtE2E, InformationEventReachesEventLog)
{
    if (!e2e::FileExists(kUnixShell))
        GTEST_SKIP() << "needs Wine's Unix side as drive Z:";
    e2e::ProcResult r = ZavcliWithEventTrace({"-tstevt", "-inf"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kSuccess, r.out);
    // type 4 (information), category 0, id of kind 21
    EXPECT_NE(std::string::npos, r.err.find("0x0004,0x0000,0x60000015")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("FFFFFFFF")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("Test event (information)")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("060011")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("zavservice")) << r.err;
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("func=CliCmdExecTSTEVT: XeltLogEvent finish, eventCode=60011"));
}

TEST_F(TstevtE2E, ErrorAndWarningEventsCarryTheirTypes)
{
    if (!e2e::FileExists(kUnixShell))
        GTEST_SKIP() << "needs Wine's Unix side as drive Z:";
    e2e::ProcResult err = ZavcliWithEventTrace({"-TSTEVT", "-ERR"});
    EXPECT_EQ(kSuccess, err.out);
    EXPECT_NE(std::string::npos, err.err.find("0x0001,0x0000,0xe0000003")) << err.err;
    e2e::ProcResult wrn = ZavcliWithEventTrace({"tstevt", "wrn"});
    EXPECT_EQ(kSuccess, wrn.out);
    EXPECT_NE(std::string::npos, wrn.err.find("0x0002,0x0000,0xa000000c")) << wrn.err;
}

TEST_F(TstevtE2E, RefusedOptions)
{
    struct {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-tstevt", "-inf", "-wrn"}, "Error - Invalid input at or near token -inf.\n"},
        {{"-tstevt"}, "Error - Invalid input at or near token .\n"},
        {{"-tstevt", "-a0"}, "Error - Invalid input at or near token -tstevt.\n"},
    };
    for (const auto &c : cases) {
        e2e::ProcResult r = Zavcli(c.args);
        EXPECT_EQ(0, r.exitCode);
        EXPECT_EQ(c.out, r.out);
    }
}

TEST_F(TstevtE2E, SuppressedOrMissingEventIsSilent)
{
    std::string dir = MakeInstallDir("# test table\nTEST,0,60009,1,3,0,0,0,0,Quiet error\n");
    {
        e2e::ProductValueOverride install("InstallDir", dir.c_str());
        for (const char *option : {"-err", "-inf"}) {
            e2e::ProcResult r = Zavcli({"-tstevt", option});
            EXPECT_EQ(0, r.exitCode);
            EXPECT_EQ("", r.out) << option;
        }
    }
    RemoveInstallDir(dir);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("pEvt_Info is NULL, eventCode=60011"));
}

TEST_F(TstevtE2E, MalformedTableKeepsEarlierLines)
{
    std::string dir = MakeInstallDir("TEST,0,60010,0,12,0,0,0,0,Early warning\n"
                                     "TEST,0,60009,0,26,0,0,0,0,Bad kind\n"
                                     "TEST,0,60011,0,21,0,0,0,0,Never read\n");
    {
        e2e::ProductValueOverride install("InstallDir", dir.c_str());
        EXPECT_EQ(kSuccess, Zavcli({"-tstevt", "-wrn"}).out);
        EXPECT_EQ("", Zavcli({"-tstevt", "-inf"}).out);
    }
    RemoveInstallDir(dir);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("ZAVConfigFile format error"));
}

} // namespace
