// Installer logic against a scripted machine: argument parsing, version and OS rules, the choice
// of msiexec action, service stop and start around it, settings carried over a repair or upgrade,
// clean-up after an uninstall, and every refusal with its exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "setup/SetupLogic.h"

namespace {

struct FakeMachine {
    bool mutexFree = true;
    bool admin = true;
    OsVersion os = {10, 0, 17763, 1};
    int probe = PROBE_OK;
    std::vector<ControllerPci> controllers = {{0x1000, 0x0079, 0x1000, 0x9275, 2, 0, 0}};
    bool installed = false;
    std::string installedVersion;
    std::string cachedPackage;
    int service = SERVICE_ABSENT;
    uint32_t stopError = 0;
    uint32_t startError = 0;
    uint32_t launchError = 0;
    uint32_t msiexecCode = 0;
    bool answer = true;
    std::map<std::string, std::string> productValues;
    std::map<std::string, std::string> files;    // path -> content
    std::vector<RegValueCopy> eventValues;
    // What msiexec does to the files when it runs (path -> content; empty content deletes).
    std::map<std::string, std::string> msiexecWrites;
    std::vector<std::string> calls;
    std::vector<std::string> notices;
    std::vector<std::string> questions;
};

FakeMachine *g;

int FakeAcquire() { g->calls.push_back("acquire"); return g->mutexFree; }
void FakeRelease() { g->calls.push_back("release"); }
int FakeIsAdmin() { return g->admin; }
int FakeOs(OsVersion *out) { *out = g->os; return 1; }
int FakeProbe(ControllerPci *out, int max, int *count, uint32_t *status)
{
    *status = g->probe == PROBE_INIT_FAILED ? 0x8002 : 0;
    *count = 0;
    for (const ControllerPci &c : g->controllers)
        if (*count < max)
            out[(*count)++] = c;
    return g->probe;
}
int FakeFindInstalled(char *version, unsigned vs, char *code, unsigned cs, char *package, unsigned ps)
{
    if (!g->installed)
        return 0;
    snprintf(package, ps, "%s", g->cachedPackage.c_str());
    snprintf(version, vs, "%s", g->installedVersion.c_str());
    snprintf(code, cs, "{11111111-2222-3333-4444-555555555555}");
    return 1;
}
int FakeFileExists(const char *path) { return g->files.count(path) != 0; }
int FakeServiceState(const char *) { return g->service; }
uint32_t FakeStop(const char *, uint32_t)
{
    g->calls.push_back("stop");
    if (g->stopError == 0)
        g->service = SERVICE_IS_STOPPED;
    return g->stopError;
}
uint32_t FakeStart(const char *)
{
    g->calls.push_back("start");
    if (g->startError == 0)
        g->service = SERVICE_IS_RUNNING;
    return g->startError;
}
uint32_t FakeMsiexec(const char *arguments, uint32_t *code)
{
    g->calls.push_back(std::string("msiexec ") + arguments);
    if (g->launchError)
        return g->launchError;
    for (const auto &w : g->msiexecWrites) {
        if (w.second.empty())
            g->files.erase(w.first);
        else
            g->files[w.first] = w.second;
    }
    *code = g->msiexecCode;
    return 0;
}
int FakeReadProductValue(const char *name, char *out, unsigned size)
{
    auto it = g->productValues.find(name);
    if (it == g->productValues.end())
        return 0;
    snprintf(out, size, "%s", it->second.c_str());
    return 1;
}
int FakeReadKeyValues(const char *, RegValueCopy *out, int max)
{
    int n = 0;
    for (const RegValueCopy &v : g->eventValues)
        if (n < max)
            out[n++] = v;
    return n;
}
uint32_t FakeWriteKeyValue(const char *, const RegValueCopy *value)
{
    g->calls.push_back(std::string("regwrite ") + value->name);
    return 0;
}
void FakeDeleteKeyIfEmpty(const char *path) { g->calls.push_back(std::string("delkey ") + path); }
void FakeDeleteKey(const char *path) { g->calls.push_back(std::string("delkeyall ") + path); }
int FakeReadFile(const char *path, char **data, uint32_t *size)
{
    auto it = g->files.find(path);
    if (it == g->files.end())
        return 0;
    *data = (char *)malloc(it->second.size() + 1);
    memcpy(*data, it->second.data(), it->second.size());
    *size = (uint32_t)it->second.size();
    return 1;
}
uint32_t FakeWriteFile(const char *path, const char *data, uint32_t size)
{
    g->calls.push_back(std::string("write ") + path);
    g->files[path] = std::string(data, size);
    return 0;
}
int FakeDeleteFile(const char *path)
{
    g->calls.push_back(std::string("delete ") + path);
    return g->files.erase(path) ? 1 : 0;
}
int FakeRemoveFolder(const char *path)
{
    g->calls.push_back(std::string("rmdir ") + path);
    return 1;
}
void FakeNotify(int, const char *text) { g->notices.push_back(text); }
int FakeConfirm(const char *question)
{
    g->questions.push_back(question);
    return g->answer;
}

SetupSeam FakeSeam()
{
    SetupSeam s;
    s.acquireSingleInstance = FakeAcquire;
    s.releaseSingleInstance = FakeRelease;
    s.isAdmin = FakeIsAdmin;
    s.getOsVersion = FakeOs;
    s.probeControllers = FakeProbe;
    s.findInstalled = FakeFindInstalled;
    s.fileExists = FakeFileExists;
    s.serviceState = FakeServiceState;
    s.stopService = FakeStop;
    s.startService = FakeStart;
    s.runMsiexec = FakeMsiexec;
    s.readProductValue = FakeReadProductValue;
    s.readKeyValues = FakeReadKeyValues;
    s.writeKeyValue = FakeWriteKeyValue;
    s.deleteKeyIfEmpty = FakeDeleteKeyIfEmpty;
    s.deleteKey = FakeDeleteKey;
    s.readFile = FakeReadFile;
    s.writeFile = FakeWriteFile;
    s.deleteFile = FakeDeleteFile;
    s.removeEmptyFolder = FakeRemoveFolder;
    s.notify = FakeNotify;
    s.confirm = FakeConfirm;
    return s;
}

const char PACKAGE[] = "D:\\dist\\NorvaneRaidVantrel.msi";
const char INSTALL_DIR[] = "C:\\Program Files (x86)\\Norvane\\Zav\\";
const std::string CONFIG = std::string(INSTALL_DIR) + "zav_config.csv";

class SetupLogicTest : public ::testing::Test {
protected:
    FakeMachine machine;
    SetupSeam seam = FakeSeam();
    void SetUp() override
    {
        g = &machine;
        machine.files[PACKAGE] = "msi";
    }
    void TearDown() override { g = nullptr; }

    SetupOutcome Run(int action, const char *packageVersion = "1.0.0.1", const char *log = "")
    {
        SetupRequest request;
        memset(&request, 0, sizeof(request));
        request.action = action;
        snprintf(request.packagePath, sizeof(request.packagePath), "%s", PACKAGE);
        snprintf(request.packageVersion, sizeof(request.packageVersion), "%s", packageVersion);
        snprintf(request.logFile, sizeof(request.logFile), "%s", log);
        SetupSurvey survey;
        SurveyMachine(&seam, &survey);
        SetupOutcome outcome;
        RunSetup(&seam, &survey, &request, &outcome);
        return outcome;
    }
    void Install(const char *version)
    {
        machine.installed = true;
        machine.installedVersion = version;
        machine.productValues = {{"InstallDir", INSTALL_DIR},
                                 {"LogDir", std::string(INSTALL_DIR) + "log\\"},
                                 {"LogDir2", std::string(INSTALL_DIR) + "raidlog\\"}};
        machine.files[CONFIG] = "shipped table\n";
    }
    int IndexOfCall(const std::string &prefix) const
    {
        for (size_t i = 0; i < machine.calls.size(); i++)
            if (machine.calls[i].compare(0, prefix.size(), prefix) == 0)
                return (int)i;
        return -1;
    }
    bool Noticed(const std::string &text) const
    {
        for (const std::string &n : machine.notices)
            if (n.find(text) != std::string::npos)
                return true;
        return false;
    }
};

// ---- arguments, versions, operating systems ------------------------------------------------------

TEST(SetupArgs, QuietSetupSwitches)
{
    struct Case {
        std::vector<const char *> args;
        int status;
        int action;
        const char *log;
    } cases[] = {
        {{"/install"}, SETUP_EXIT_OK, SETUP_INSTALL, ""},
        {{"/REPAIR"}, SETUP_EXIT_OK, SETUP_REPAIR, ""},
        {{"-uninstall", "/log", "C:\\t\\x.log"}, SETUP_EXIT_OK, SETUP_UNINSTALL, "C:\\t\\x.log"},
        {{"/log", "a.log", "/install"}, SETUP_EXIT_OK, SETUP_INSTALL, "a.log"},
        {{}, SETUP_EXIT_USAGE, SETUP_NONE, ""},
        {{"/install", "/repair"}, SETUP_EXIT_USAGE, SETUP_INSTALL, ""},
        {{"/install", "/log"}, SETUP_EXIT_USAGE, SETUP_INSTALL, ""},
        {{"/install", "/log", ""}, SETUP_EXIT_USAGE, SETUP_INSTALL, ""},
        {{"/install", "/log", "a", "/log", "b"}, SETUP_EXIT_USAGE, SETUP_INSTALL, "a"},
        {{"install"}, SETUP_EXIT_USAGE, SETUP_NONE, ""},
        {{"/installx"}, SETUP_EXIT_USAGE, SETUP_NONE, ""},
        {{"/log", "a.log"}, SETUP_EXIT_USAGE, SETUP_NONE, "a.log"},
    };
    for (const Case &c : cases) {
        std::vector<char *> argv = {(char *)"quietsetup"};
        for (const char *a : c.args)
            argv.push_back((char *)a);
        SetupRequest request;
        memset(&request, 0, sizeof(request));
        SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
        EXPECT_EQ(c.status, ParseQuietArgs((int)argv.size(), argv.data(), &request));
        if (c.status == SETUP_EXIT_OK) {
            EXPECT_EQ(c.action, request.action);
            EXPECT_STREQ(c.log, request.logFile);
        }
    }
}

TEST(SetupArgs, LogPathLongerThanTheBufferIsRefused)
{
    std::string longPath(SETUP_PATH_SIZE, 'a');
    char *argv[] = {(char *)"quietsetup", (char *)"/install", (char *)"/log", (char *)longPath.c_str()};
    SetupRequest request;
    EXPECT_EQ(SETUP_EXIT_USAGE, ParseQuietArgs(4, argv, &request));
}

TEST(SetupVersions, CompareFieldByField)
{
    struct Case {
        const char *a, *b;
        int sign;
    } cases[] = {{"1.0.0.1", "1.0.0.1", 0}, {"0.9.0", "1.0.0.1", -1}, {"1.10.0", "1.9.0", 1},
                 {"1.0", "1.0.0.0", 0},     {"2", "1.99.99", 1},        {"1.0.0.1", "1.0.0.2", -1}};
    for (const Case &c : cases) {
        int r = CompareVersions(c.a, c.b);
        EXPECT_EQ(c.sign, (r > 0) - (r < 0)) << c.a << " vs " << c.b;
    }
}

TEST(SetupOs, SupportedListAndVerdicts)
{
    struct Case {
        OsVersion os;
        int verdict;
        const char *name;
    } cases[] = {
        {{6, 1, 7601, 1}, OS_SUPPORTED, "Windows Server 2008 R2"},
        {{6, 3, 9600, 1}, OS_SUPPORTED, "Windows Server 2012 R2"},
        {{10, 0, 14393, 1}, OS_SUPPORTED, "Windows Server 2016"},
        {{10, 0, 17763, 1}, OS_SUPPORTED, "Windows Server 2019"},
        {{10, 0, 20348, 1}, OS_SUPPORTED, "Windows Server 2022"},
        {{10, 0, 19045, 0}, OS_WORKSTATION, "Windows 10"},
        {{10, 0, 22631, 0}, OS_WORKSTATION, "Windows 11"},
        {{6, 1, 7601, 0}, OS_WORKSTATION, "Windows 7"},
        {{6, 0, 6002, 1}, OS_TOO_OLD, "Windows 6.0"},
        {{5, 2, 3790, 1}, OS_TOO_OLD, "Windows 5.2"},
        {{11, 0, 30000, 1}, OS_NEWER, "Windows 11.0"},
    };
    for (const Case &c : cases) {
        char name[64];
        EXPECT_EQ(c.verdict, ClassifyOs(&c.os, name, sizeof(name))) << c.name;
        EXPECT_STREQ(c.name, name);
    }
}

TEST(SetupMsiexec, ArgumentsPerAction)
{
    SetupRequest request;
    memset(&request, 0, sizeof(request));
    snprintf(request.packagePath, sizeof(request.packagePath), "C:\\My Files\\p.msi");
    char out[600];
    SetupSurvey survey;
    memset(&survey, 0, sizeof(survey));
    snprintf(survey.productCode, sizeof(survey.productCode), "{AB}");
    const SetupSurvey *code = &survey;
    ASSERT_TRUE(BuildMsiexecArguments(SETUP_INSTALL, &request, code, out, sizeof(out)));
    EXPECT_STREQ("/i \"C:\\My Files\\p.msi\" /qn /norestart", out);
    // Another version installed and no cached copy known: only the product code is left.
    snprintf(survey.installedVersion, sizeof(survey.installedVersion), "0.9.0.0");
    snprintf(request.packageVersion, sizeof(request.packageVersion), "1.0.0.1");
    ASSERT_TRUE(BuildMsiexecArguments(SETUP_REPAIR, &request, code, out, sizeof(out)));
    EXPECT_STREQ("/famus {AB} /qn /norestart", out);
    snprintf(survey.installedVersion, sizeof(survey.installedVersion), "1.0.0.1");
    ASSERT_TRUE(BuildMsiexecArguments(SETUP_REPAIR, &request, code, out, sizeof(out)));
    EXPECT_STREQ("/i \"C:\\My Files\\p.msi\" REINSTALL=ALL REINSTALLMODE=amus /qn /norestart", out);
    snprintf(survey.cachedPackage, sizeof(survey.cachedPackage), "C:\\windows\\Installer\\1a2b.msi");
    ASSERT_TRUE(BuildMsiexecArguments(SETUP_REPAIR, &request, code, out, sizeof(out)));
    EXPECT_STREQ("/i \"C:\\windows\\Installer\\1a2b.msi\" REINSTALL=ALL REINSTALLMODE=amus /qn /norestart", out);
    snprintf(request.logFile, sizeof(request.logFile), "C:\\tmp dir\\m.log");
    request.windowed = 1;
    ASSERT_TRUE(BuildMsiexecArguments(SETUP_UNINSTALL, &request, code, out, sizeof(out)));
    EXPECT_STREQ("/x {AB} /passive /norestart /l*v \"C:\\tmp dir\\m.log\"", out);
    EXPECT_FALSE(BuildMsiexecArguments(SETUP_INSTALL, &request, code, out, 20));
}

// ---- the survey --------------------------------------------------------------------------------

static void CollectLine(int level, const char *line, void *ctx)
{
    ((std::vector<std::pair<int, std::string>> *)ctx)->push_back({level, line});
}

TEST_F(SetupLogicTest, SurveyNamesWhatWasFound)
{
    struct Case {
        int probe;
        std::vector<ControllerPci> controllers;
        const char *expected;
        int level;
    } cases[] = {
        {PROBE_OK, {}, "Warning - No RAID controller was found. The tools start only on a machine with a supported "
                       "controller.", SETUP_WARNING},
        {PROBE_NO_LIBRARY, {}, "Warning - storelib.dll could not be loaded", SETUP_WARNING},
        {PROBE_INIT_FAILED, {}, "(status 0x8002)", SETUP_WARNING},
        {PROBE_OK, {{0x1000, 0x0079, 0x1000, 0x9275, 2, 0, 0}},
         "  Controller[0]: PCI 1000:0079, subsystem 1000:9275, bus 2 device 0 function 0", SETUP_INFO},
        {PROBE_OK, {{0x8086, 0x2822, 0x8086, 0x0001, 0, 31, 2}},
         "Warning - Controller[0] is not a supported RAID controller.", SETUP_WARNING},
        {PROBE_OK, std::vector<ControllerPci>(5, ControllerPci{0x1000, 0x5d, 0x1000, 1, 0, 0, 0}),
         "Warning - 5 controllers were found; the tools serve at most 4.", SETUP_WARNING},
    };
    for (const Case &c : cases) {
        machine.probe = c.probe;
        machine.controllers = c.controllers;
        SetupSurvey survey;
        SurveyMachine(&seam, &survey);
        std::vector<std::pair<int, std::string>> lines;
        DescribeSurvey(&survey, CollectLine, &lines);
        bool found = false;
        for (const auto &l : lines)
            if (l.second.find(c.expected) != std::string::npos && l.first == c.level)
                found = true;
        EXPECT_TRUE(found) << c.expected;
        EXPECT_EQ(c.level == SETUP_WARNING, SurveyHasWarnings(&survey) != 0) << c.expected;
    }
}

TEST_F(SetupLogicTest, WizardOffersOnlyWhatFitsTheInstalledVersion)
{
    SetupSurvey survey;
    SurveyMachine(&seam, &survey);
    EXPECT_TRUE(WizardActionAvailable(&survey, SETUP_INSTALL));
    EXPECT_FALSE(WizardActionAvailable(&survey, SETUP_REPAIR));
    EXPECT_FALSE(WizardActionAvailable(&survey, SETUP_UNINSTALL));
    EXPECT_EQ(SETUP_INSTALL, WizardDefaultAction(&survey, "1.0.0.1"));
    Install("1.0.0.1");
    SurveyMachine(&seam, &survey);
    EXPECT_TRUE(WizardActionAvailable(&survey, SETUP_UNINSTALL));
    EXPECT_EQ(SETUP_REPAIR, WizardDefaultAction(&survey, "1.0.0.1"));
    EXPECT_EQ(SETUP_INSTALL, WizardDefaultAction(&survey, "1.1.0.0"));
}

// ---- start: one instance, rights -----------------------------------------------------------------

TEST_F(SetupLogicTest, StartRefusals)
{
    machine.mutexFree = false;
    EXPECT_EQ(SETUP_EXIT_ALREADY_RUNNING, BeginSetup(&seam));
    EXPECT_TRUE(Noticed("Error - Another setup of Norvane RAID Vantrel is running."));
    machine.mutexFree = true;
    machine.admin = false;
    machine.calls.clear();
    EXPECT_EQ(SETUP_EXIT_NOT_ADMIN, BeginSetup(&seam));
    EXPECT_TRUE(Noticed("Error - Setup must be run by an administrator."));
    EXPECT_EQ(std::vector<std::string>({"acquire", "release"}), machine.calls);
    machine.admin = true;
    EXPECT_EQ(SETUP_EXIT_OK, BeginSetup(&seam));
}

// ---- refusals before anything changes -----------------------------------------------------------

TEST_F(SetupLogicTest, RefusalsChangeNothing)
{
    struct Case {
        const char *name;
        int action;
        bool installed;
        const char *installedVersion;
        OsVersion os;
        bool packagePresent;
        int service;
        uint32_t stopError;
        bool answer;
        int exitCode;
        const char *notice;
    } cases[] = {
        {"repair, not installed", SETUP_REPAIR, false, "", {10, 0, 17763, 1}, true, SERVICE_ABSENT, 0, true,
         SETUP_EXIT_NOT_INSTALLED, "Error - Norvane RAID Vantrel is not installed."},
        {"uninstall, not installed", SETUP_UNINSTALL, false, "", {10, 0, 17763, 1}, true, SERVICE_ABSENT, 0, true,
         SETUP_EXIT_NOT_INSTALLED, "is not installed"},
        {"old OS", SETUP_INSTALL, false, "", {6, 0, 6002, 1}, true, SERVICE_ABSENT, 0, true,
         SETUP_EXIT_UNSUPPORTED_OS, "Error - Windows 6.0 is not supported"},
        {"no package", SETUP_INSTALL, false, "", {10, 0, 17763, 1}, false, SERVICE_ABSENT, 0, true,
         SETUP_EXIT_NO_PACKAGE, "Error - The installer package D:\\dist\\NorvaneRaidVantrel.msi was not found."},
        {"newer installed", SETUP_INSTALL, true, "2.0.0.0", {10, 0, 17763, 1}, true, SERVICE_ABSENT, 0, true,
         SETUP_EXIT_NEWER_INSTALLED, "Norvane RAID Vantrel 2.0.0.0 is installed, newer than this package (1.0.0.1)"},
        {"service will not stop", SETUP_INSTALL, false, "", {10, 0, 17763, 1}, true, SERVICE_IS_RUNNING, 1061, true,
         SETUP_EXIT_SERVICE_STOP, "Error - The monitoring service zavservice would not stop (error 1061)."},
        {"warning answered No", SETUP_INSTALL, false, "", {10, 0, 19045, 0}, true, SERVICE_ABSENT, 0, false,
         SETUP_EXIT_CANCELLED, "Setup was cancelled; nothing was changed."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        machine = FakeMachine();
        if (c.installed)
            Install(c.installedVersion);
        if (c.packagePresent)
            machine.files[PACKAGE] = "msi";
        machine.os = c.os;
        machine.service = c.service;
        machine.stopError = c.stopError;
        machine.answer = c.answer;
        SetupOutcome outcome = Run(c.action);
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        EXPECT_TRUE(Noticed(c.notice));
        EXPECT_EQ(-1, IndexOfCall("msiexec"));
        EXPECT_EQ(-1, IndexOfCall("start"));
        EXPECT_EQ(-1, IndexOfCall("write"));
    }
}

TEST_F(SetupLogicTest, UninstallSkipsTheMachineChecks)
{
    Install("1.0.0.1");
    machine.os = {6, 0, 6002, 1};
    machine.controllers.clear();
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_UNINSTALL).exitCode);
    EXPECT_TRUE(machine.questions.empty());
}

// ---- msiexec and the service around it -----------------------------------------------------------

TEST_F(SetupLogicTest, MsiexecResults)
{
    struct Case {
        uint32_t launchError;
        uint32_t code;
        const char *log;
        int exitCode;
        int restart;
        const char *notice;
    } cases[] = {
        {0, 0, "", SETUP_EXIT_OK, 0, "Norvane RAID Vantrel was installed."},
        {0, 3010, "", SETUP_EXIT_RESTART_NEEDED, 1, "Warning - Restart the computer to complete the change."},
        {0, 1641, "", SETUP_EXIT_RESTART_NEEDED, 1, "Restart the computer"},
        {0, 1602, "", SETUP_EXIT_CANCELLED, 0, "The installation was cancelled; nothing was changed."},
        {0, 1603, "C:\\m.log", SETUP_EXIT_MSIEXEC_FAILED, 0, "Error - msiexec failed with code 1603. Its log is C:\\m.log."},
        {0, 1618, "", SETUP_EXIT_MSIEXEC_FAILED, 0, "Run quietsetup with /log FILE for details."},
        {2, 0, "", SETUP_EXIT_MSIEXEC_FAILED, 0, "Error - msiexec could not be started (error 2)."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.notice);
        machine = FakeMachine();
        machine.files[PACKAGE] = "msi";
        machine.service = SERVICE_IS_RUNNING;
        machine.launchError = c.launchError;
        machine.msiexecCode = c.code;
        SetupOutcome outcome = Run(SETUP_INSTALL, "1.0.0.1", c.log);
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        EXPECT_EQ(c.restart, outcome.restartNeeded);
        EXPECT_TRUE(Noticed(c.notice));
        // The service comes back whether or not msiexec succeeded.
        int stop = IndexOfCall("stop"), msi = IndexOfCall("msiexec"), start = IndexOfCall("start");
        EXPECT_TRUE(stop >= 0 && stop < msi && msi < start);
    }
}

TEST_F(SetupLogicTest, StoppedOrAbsentServiceIsLeftAlone)
{
    for (int state : {SERVICE_ABSENT, SERVICE_IS_STOPPED}) {
        machine.calls.clear();
        machine.service = state;
        EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_INSTALL).exitCode);
        EXPECT_EQ(-1, IndexOfCall("stop"));
        EXPECT_EQ(-1, IndexOfCall("start"));
    }
}

TEST_F(SetupLogicTest, ServiceThatDoesNotComeBackIsAWarningOnly)
{
    machine.service = SERVICE_IS_RUNNING;
    machine.startError = 1053;
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_INSTALL).exitCode);
    EXPECT_TRUE(Noticed("Warning - The monitoring service zavservice did not start again (error 1053)."));
}

TEST_F(SetupLogicTest, InstallOverTheSameVersionRepairsAndOlderUpgrades)
{
    Install("1.0.0.1");
    SetupOutcome outcome = Run(SETUP_INSTALL);
    EXPECT_EQ(SETUP_REPAIR, outcome.effectiveAction);
    EXPECT_TRUE(Noticed("is already installed; repairing it."));
    EXPECT_GE(IndexOfCall("msiexec /i \"D:\\dist\\NorvaneRaidVantrel.msi\" REINSTALL=ALL"), 0);

    machine.calls.clear();
    machine.installedVersion = "0.9.0";
    outcome = Run(SETUP_INSTALL);
    EXPECT_EQ(SETUP_INSTALL, outcome.effectiveAction);
    EXPECT_TRUE(Noticed("Upgrading Norvane RAID Vantrel 0.9.0 to 1.0.0.1."));
    EXPECT_GE(IndexOfCall("msiexec /i \"D:\\dist\\NorvaneRaidVantrel.msi\""), 0);
    EXPECT_TRUE(Noticed("Norvane RAID Vantrel was upgraded."));
}

// ---- settings carried over ------------------------------------------------------------------------

static RegValueCopy Value(const char *name, const char *text)
{
    RegValueCopy v;
    memset(&v, 0, sizeof(v));
    snprintf(v.name, sizeof(v.name), "%s", name);
    v.type = 1;
    v.size = (uint32_t)strlen(text) + 1;
    memcpy(v.data, text, v.size);
    return v;
}

TEST_F(SetupLogicTest, EditedEventTableAndEventSettingsSurviveARepair)
{
    Install("1.0.0.1");
    machine.files[CONFIG] = "edited table\n";
    machine.msiexecWrites[CONFIG] = "shipped table\n"; // the repair puts the shipped file back
    machine.eventValues = {Value("EventMessageFile", "old.dll"), Value("CategoryMessageFile", "cat.dll"),
                           Value("TypesSupported", "7"), Value("CustomSource", "x")};
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_REPAIR).exitCode);
    EXPECT_EQ("edited table\n", machine.files[CONFIG]);
    EXPECT_EQ(0u, machine.files.count(std::string(INSTALL_DIR) + "zav_config.csv.new"));
    EXPECT_TRUE(Noticed("Your edited zav_config.csv was kept."));
    EXPECT_GE(IndexOfCall("regwrite CategoryMessageFile"), 0);
    EXPECT_GE(IndexOfCall("regwrite CustomSource"), 0);
    EXPECT_EQ(-1, IndexOfCall("regwrite EventMessageFile")); // the package's own values win
    EXPECT_EQ(-1, IndexOfCall("regwrite TypesSupported"));
}

TEST_F(SetupLogicTest, UnchangedEventTableIsNotRewritten)
{
    Install("1.0.0.1");
    machine.msiexecWrites[CONFIG] = "shipped table\n";
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_REPAIR).exitCode);
    EXPECT_EQ(-1, IndexOfCall("write C:"));
}

TEST_F(SetupLogicTest, UpgradeKeepsTheEditedTableAndSetsTheNewOneBeside)
{
    Install("0.9.0");
    machine.files[CONFIG] = "edited table\n";
    machine.msiexecWrites[CONFIG] = "new version table\n";
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_INSTALL).exitCode);
    EXPECT_EQ("edited table\n", machine.files[CONFIG]);
    EXPECT_EQ("new version table\n", machine.files[std::string(INSTALL_DIR) + "zav_config.csv.new"]);
    EXPECT_TRUE(Noticed("the new version's table is zav_config.csv.new."));
}

TEST_F(SetupLogicTest, FailedRepairRestoresNothing)
{
    Install("1.0.0.1");
    machine.files[CONFIG] = "edited table\n";
    machine.eventValues = {Value("CategoryMessageFile", "cat.dll")};
    machine.msiexecCode = 1603;
    EXPECT_EQ(SETUP_EXIT_MSIEXEC_FAILED, Run(SETUP_REPAIR).exitCode);
    EXPECT_EQ(-1, IndexOfCall("regwrite"));
    EXPECT_EQ(-1, IndexOfCall("write C:"));
}

// ---- uninstall clean-up --------------------------------------------------------------------------

TEST_F(SetupLogicTest, UninstallRemovesRunTimeFilesAndEmptyFoldersOnly)
{
    Install("1.0.0.1");
    const std::string dir = INSTALL_DIR;
    const char *runtime[] = {"log\\zavcli.log", "log\\zavgui.log", "raidlog\\log_UART.log",
                             "raidlog\\log_AdapterInfo.log", "raidlog\\log_FlashROMLog.log", "zavsim_state.json",
                             "zavsim_state.json.lock", "zavsim_journal.txt", "zav_config.csv.new", "_snapshot0.csv",
                             "_snapshot15.csv"};
    for (const char *f : runtime)
        machine.files[dir + f] = "x";
    machine.files[dir + "admin-notes.txt"] = "mine";
    machine.msiexecWrites[CONFIG] = ""; // msiexec removes the package's files
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_UNINSTALL).exitCode);
    for (const char *f : runtime)
        EXPECT_EQ(0u, machine.files.count(dir + f)) << f;
    EXPECT_EQ(1u, machine.files.count(dir + "admin-notes.txt"));
    int msi = IndexOfCall("msiexec /x {11111111-2222-3333-4444-555555555555} /qn /norestart");
    ASSERT_GE(msi, 0);
    EXPECT_GT(IndexOfCall("delete "), msi);
    EXPECT_GE(IndexOfCall("rmdir " + dir + "log\\"), 0);
    EXPECT_GE(IndexOfCall("rmdir " + dir), 0);
    EXPECT_GE(IndexOfCall("rmdir C:\\Program Files (x86)\\Norvane\\"), 0);
    EXPECT_GE(IndexOfCall("delkey SOFTWARE\\Norvane\\Zav"), 0);
    EXPECT_GE(IndexOfCall("delkey SOFTWARE\\Norvane"), 0);
    EXPECT_GE(IndexOfCall("delkeyall SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\zavservice"), 0);
    EXPECT_TRUE(Noticed("Norvane RAID Vantrel was uninstalled."));
}

TEST_F(SetupLogicTest, EventSourceStillRegisteredAfterUninstallIsKept)
{
    Install("1.0.0.1");
    machine.eventValues = {Value("EventMessageFile", "C:\\other\\msg.dll")};
    EXPECT_EQ(SETUP_EXIT_OK, Run(SETUP_UNINSTALL).exitCode);
    EXPECT_EQ(-1, IndexOfCall("delkeyall"));
}

TEST_F(SetupLogicTest, FailedUninstallLeavesRunTimeFiles)
{
    Install("1.0.0.1");
    machine.files[std::string(INSTALL_DIR) + "log\\zavcli.log"] = "x";
    machine.msiexecCode = 1603;
    EXPECT_EQ(SETUP_EXIT_MSIEXEC_FAILED, Run(SETUP_UNINSTALL).exitCode);
    EXPECT_EQ(1u, machine.files.count(std::string(INSTALL_DIR) + "log\\zavcli.log"));
    EXPECT_EQ(-1, IndexOfCall("rmdir"));
}

} // namespace
