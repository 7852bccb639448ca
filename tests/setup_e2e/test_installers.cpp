// The installers end to end in a Wine prefix of their own: install of an older package with a
// running monitoring service and no controller, repair that keeps an edited event table and the
// event source's settings, upgrade to this version, the installed zavcli, the event message
// file, and an uninstall that leaves nothing behind. The tests run in this order and build on
// each other, as an administrator's steps would.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "setup/setup_resource.h"
#include "support/e2e.h"

namespace {

using e2e::ProcResult;
using e2e::RunProgram;

const char INSTALL_DIR[] = "C:\\Program Files (x86)\\Norvane\\Zav\\";
const char VENDOR_DIR[] = "C:\\Program Files (x86)\\Norvane";
const char PRODUCT_KEY[] = "SOFTWARE\\Norvane\\Zav";
const char SOURCE_KEY[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\zavservice";

std::string Env(const char *name)
{
    char buf[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
    return n > 0 && n < sizeof(buf) ? std::string(buf, n) : std::string();
}

std::string Dist() { return Env("ZAV_SETUP_DIST"); }
std::string OldDist() { return Env("ZAV_SETUP_OLD_DIST"); }
std::string Work() { return Env("ZAV_SETUP_WORK"); }
std::string Bin() { return e2e::BinDir(); }
std::string DummyLog() { return Bin() + "\\zavservice_dummy.log"; }
std::vector<std::string> DummyNotes()
{
    std::vector<std::string> lines;
    std::string text = e2e::StripCr(e2e::ReadFileText(DummyLog()));
    for (size_t pos = 0, end; pos < text.size(); pos = end + 1) {
        end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
    }
    return lines;
}

bool WithGui() { return e2e::FileExists(Bin() + "\\zavgui.exe"); }

// The product's folder in the Start menu: the package is per machine (all users' menu), but
// Wine's msiexec puts shortcuts into the installing user's menu, so both places count.
std::string StartMenuFolder(int csidl)
{
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, programs);
    return std::string(programs) + "\\Norvane RAID Vantrel";
}

bool StartMenuEntryExists()
{
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        if (e2e::FileExists(StartMenuFolder(csidl) + "\\Norvane RAID Vantrel.lnk"))
            return true;
    return false;
}

// The simulated controllers the installers' probe sees (through ZAVSIM_STATE in their environment).
void UseScenario(const std::string &name)
{
    std::string state = Work() + "\\probe_" + name + ".json";
    SetEnvironmentVariableA("ZAVSIM_STATE", state.c_str());
    ProcResult r = e2e::RunZavsim({"load", name});
    ASSERT_EQ(0, r.exitCode) << r.err;
}

ProcResult Quiet(const std::string &dist, const std::vector<std::string> &args)
{
    return RunProgram(dist + "\\quietsetup.exe", args, "", dist, 600000);
}

std::string Output(const ProcResult &r) { return e2e::StripCr(r.out + r.err); }

// Every file and folder under a folder, as relative paths ("log\" for a folder), sorted.
void ListTree(const std::string &root, const std::string &relative, std::vector<std::string> &out)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + relative + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + "\\");
            ListTree(root, relative + name + "\\", out);
        } else {
            out.push_back(relative + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(out.begin(), out.end());
}

std::vector<std::string> InstalledTree()
{
    std::vector<std::string> files;
    ListTree(INSTALL_DIR, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> PackageTree(std::vector<std::string> extra = {})
{
    std::vector<std::string> files = {"confpat1.csv", "log\\", "raidlog\\", "storelib.dll", "zav_config.csv",
                                      "zavcli.exe", "zavmsg.dll"};
    if (WithGui())
        files.push_back("zavgui.exe");
    files.insert(files.end(), extra.begin(), extra.end());
    std::sort(files.begin(), files.end());
    return files;
}

struct RegValue {
    DWORD type;
    std::string data; // strings without their terminator, DWORDs as decimal text
};

std::map<std::string, RegValue> KeyValues(const char *path, REGSAM view)
{
    std::map<std::string, RegValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; i++) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        RegValue v{type, ""};
        if (type == REG_DWORD)
            v.data = std::to_string(*(DWORD *)data);
        else
            v.data = std::string((char *)data, dataSize > 0 ? strnlen((char *)data, dataSize) : 0);
        values[name] = v;
    }
    RegCloseKey(key);
    return values;
}

bool KeyExists(const char *path, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void ExpectProductRegistry()
{
    std::map<std::string, RegValue> values = KeyValues(PRODUCT_KEY, KEY_WOW64_32KEY);
    ASSERT_EQ(3u, values.size());
    const std::string dir = INSTALL_DIR;
    const std::pair<const char *, std::string> expected[] = {
        {"InstallDir", dir}, {"LogDir", dir + "log\\"}, {"LogDir2", dir + "raidlog\\"}};
    for (const auto &e : expected) {
        EXPECT_EQ(REG_SZ, values[e.first].type) << e.first;
        EXPECT_EQ(e.second, values[e.first].data) << e.first;
    }
}

void ExpectEventSource(std::map<std::string, RegValue> extra = {})
{
    std::map<std::string, RegValue> values = KeyValues(SOURCE_KEY, 0);
    std::map<std::string, RegValue> expected = {
        {"EventMessageFile", {REG_EXPAND_SZ, std::string(INSTALL_DIR) + "zavmsg.dll"}},
        {"TypesSupported", {REG_DWORD, "7"}}};
    expected.insert(extra.begin(), extra.end());
    ASSERT_EQ(expected.size(), values.size());
    for (const auto &e : expected) {
        EXPECT_EQ(e.second.type, values[e.first].type) << e.first;
        EXPECT_EQ(e.second.data, values[e.first].data) << e.first;
    }
}

// The related products of the package's upgrade code, with their versions.
std::vector<std::string> InstalledVersions()
{
    typedef UINT(WINAPI * EnumFn)(LPCSTR, DWORD, DWORD, LPSTR);
    typedef UINT(WINAPI * InfoFn)(LPCSTR, LPCSTR, LPSTR, LPDWORD);
    HMODULE msi = LoadLibraryA("msi.dll");
    EnumFn enumRelated = (EnumFn)(void *)GetProcAddress(msi, "MsiEnumRelatedProductsA");
    InfoFn info = (InfoFn)(void *)GetProcAddress(msi, "MsiGetProductInfoA");
    std::vector<std::string> versions;
    char code[39];
    for (DWORD i = 0; enumRelated("{6B0E5F7A-3C1D-4E8B-9A27-5D4C8E1F2A90}", 0, i, code) == ERROR_SUCCESS; i++) {
        char version[64] = {};
        DWORD size = sizeof(version);
        info(code, "VersionString", version, &size);
        versions.push_back(version);
    }
    return versions;
}

// Starts setup.exe and waits for its wizard window; null when no window came (no display).
HWND StartWizard(PROCESS_INFORMATION *process)
{
    std::string exe = Dist() + "\\setup.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, Dist().c_str(), &startup,
                        process))
        return nullptr;
    for (int i = 0; i < 600; i++) {
        // The dialog exists before its initialisation has filled it; it shows once filled.
        HWND wizard = FindWindowA(nullptr, "Norvane RAID Vantrel Setup");
        if (wizard && IsWindowVisible(wizard))
            return wizard;
        if (WaitForSingleObject(process->hProcess, 100) == WAIT_OBJECT_0)
            break;
    }
    return nullptr;
}

// ---- the steps -----------------------------------------------------------------------------------

TEST(Installers, RefusalsBeforeAnythingIsInstalled)
{
    ASSERT_FALSE(Dist().empty()) << "run through tests/setup_e2e/run_setup_e2e.sh";
    ProcResult usage = Quiet(Dist(), {});
    EXPECT_EQ(1, usage.exitCode);
    EXPECT_NE(std::string::npos, Output(usage).find("Usage: quietsetup /install | /repair | /uninstall [/log FILE]"));

    for (const char *action : {"/repair", "/uninstall"}) {
        ProcResult r = Quiet(Dist(), {action});
        EXPECT_EQ(8, r.exitCode) << action;
        EXPECT_NE(std::string::npos, Output(r).find("Error - Norvane RAID Vantrel is not installed.")) << action;
    }

    // While another setup holds the installers' lock, a second one is refused at once.
    HANDLE running = CreateMutexA(nullptr, TRUE, "zavsetup");
    ASSERT_NE(nullptr, running);
    ProcResult second = Quiet(Dist(), {"/install"});
    CloseHandle(running);
    EXPECT_EQ(2, second.exitCode);
    EXPECT_EQ("Error - Another setup of Norvane RAID Vantrel is running. Wait until it ends and try again.\n",
              Output(second));
    EXPECT_FALSE(e2e::FileExists(INSTALL_DIR));
}

TEST(Installers, WizardShowsItsFindingsAndHoldsOffAConsoleSetup)
{
    if (Env("DISPLAY").empty()) {
        GTEST_SKIP() << "no X display for the windowed installer";
    }
    UseScenario("default");
    PROCESS_INFORMATION process = {};
    HWND wizard = nullptr;
    DWORD ended = 0;
    // Wine sometimes cannot reach the display from a prefix first booted without one; the
    // program then ends before any window with a code that is none of the installer's own.
    for (int attempt = 0; attempt < 2 && !wizard; attempt++) {
        wizard = StartWizard(&process);
        if (!wizard) {
            GetExitCodeProcess(process.hProcess, &ended);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            ASSERT_GT(ended, 10u) << "setup.exe ended with its own exit code and showed no window";
        }
    }
    if (!wizard) {
        GTEST_SKIP() << "setup.exe could not open a window on this display (exit code " << ended << ")";
    }
    char findings[4096] = {};
    GetDlgItemTextA(wizard, IDC_SETUP_FINDINGS, findings, sizeof(findings));
    EXPECT_NE(nullptr, strstr(findings, "RAID controllers found: 1\r\n")) << findings;
    EXPECT_NE(nullptr, strstr(findings, "Installed: none\r\n")) << findings;
    EXPECT_NE(nullptr, strstr(findings, "This package: 1.0.0.1")) << findings;
    // Repair and removal need an installed version; install is proposed.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, IDC_SETUP_INSTALL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, IDC_SETUP_REPAIR)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, IDC_SETUP_UNINSTALL)));
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(wizard, IDC_SETUP_INSTALL), BM_GETCHECK, 0, 0));

    ProcResult second = Quiet(Dist(), {"/install"});
    EXPECT_EQ(2, second.exitCode) << Output(second);

    PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(10u, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_FALSE(e2e::FileExists(INSTALL_DIR));
}

TEST(Installers, OlderPackageInstallsWithoutControllerAroundARunningService)
{
    DeleteFileA(DummyLog().c_str());
    ProcResult service = RunProgram(Bin() + "\\zavservice_dummy.exe", {"install"});
    ASSERT_EQ(0, service.exitCode) << service.err;
    UseScenario("no-controller");

    ProcResult r = Quiet(OldDist(), {"/install"});
    std::string out = Output(r);
    EXPECT_EQ(0, r.exitCode) << out;
    EXPECT_NE(std::string::npos, out.find("Warning - No RAID controller was found. The tools start only on a machine "
                                          "with a supported controller.\n"))
        << out;
    EXPECT_NE(std::string::npos, out.find("Monitoring service zavservice: running\n")) << out;
    EXPECT_NE(std::string::npos, out.find("Stopping the monitoring service zavservice.\n")) << out;
    EXPECT_NE(std::string::npos, out.find("Norvane RAID Vantrel was installed.\n")) << out;
    // Stopped while the product was absent, started again once it was there.
    EXPECT_EQ(std::vector<std::string>({"start absent", "stop absent", "start present"}), DummyNotes());

    EXPECT_EQ(PackageTree(), InstalledTree());
    ExpectProductRegistry();
    ExpectEventSource();
    EXPECT_EQ(std::vector<std::string>({"0.9.0.0"}), InstalledVersions());
    EXPECT_EQ(WithGui(), StartMenuEntryExists());
}

TEST(Installers, RepairKeepsEditsAndANewerPackageUpgrades)
{
    const std::string config = std::string(INSTALL_DIR) + "zav_config.csv";
    const std::string edited = e2e::ReadFileText(config) + "Admin,x,60999,0,21,a,b,c,d,Edited by the administrator\n";
    ASSERT_TRUE(e2e::WriteFileText(config, edited));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, SOURCE_KEY, 0, KEY_SET_VALUE, &key));
    DWORD categories = 3;
    RegSetValueExA(key, "CategoryCount", 0, REG_DWORD, (const BYTE *)&categories, sizeof(categories));
    RegCloseKey(key);
    DeleteFileA((std::string(INSTALL_DIR) + "zavcli.exe").c_str()); // damage that a repair mends

    const std::string log = Work() + "\\repair.log";
    DeleteFileA(log.c_str());
    ProcResult repair = Quiet(OldDist(), {"/repair", "/log", log});
    EXPECT_EQ(0, repair.exitCode) << Output(repair);
    EXPECT_NE(std::string::npos, Output(repair).find("Norvane RAID Vantrel was repaired.\n")) << Output(repair);
    EXPECT_TRUE(e2e::FileExists(log));
    EXPECT_EQ(edited, e2e::ReadFileText(config));
    EXPECT_EQ(PackageTree(), InstalledTree());
    ExpectProductRegistry();
    ExpectEventSource({{"CategoryCount", {REG_DWORD, "3"}}});

    UseScenario("default");
    ProcResult upgrade = Quiet(Dist(), {"/install"});
    std::string out = Output(upgrade);
    EXPECT_EQ(0, upgrade.exitCode) << out;
    EXPECT_NE(std::string::npos, out.find("RAID controllers found: 1\n  Controller[0]: PCI 1000:0079, subsystem "
                                          "1000:9275"))
        << out;
    EXPECT_NE(std::string::npos, out.find("Upgrading Norvane RAID Vantrel 0.9.0.0 to 1.0.0.1.\n")) << out;
    EXPECT_NE(std::string::npos, out.find("Norvane RAID Vantrel was upgraded.\n")) << out;
    EXPECT_EQ(std::vector<std::string>({"1.0.0.1"}), InstalledVersions());
    EXPECT_EQ(edited, e2e::ReadFileText(config));
    EXPECT_EQ(PackageTree({"zav_config.csv.new"}), InstalledTree());
    ExpectProductRegistry();
    ExpectEventSource({{"CategoryCount", {REG_DWORD, "3"}}});
}

TEST(Installers, InstalledToolRunsAndTheMessageFileResolvesEvents)
{
    const std::string dir = INSTALL_DIR;
    SetEnvironmentVariableA("ZAVSIM_STATE", (dir + "zavsim_state.json").c_str());
    ASSERT_EQ(0, e2e::RunZavsim({"load", "default"}).exitCode);
    SetEnvironmentVariableA("ZAVSIM_STATE", nullptr);
    RunProgram(Bin() + "\\zavdevmap.exe", {"Scsi Port 2=megasas2"});

    ProcResult version = RunProgram(dir + "zavcli.exe", {"-v"}, "", dir);
    EXPECT_EQ(0, version.exitCode) << version.out << version.err;
    EXPECT_NE(std::string::npos, e2e::StripCr(version.out).find("   Product Version  : 1.0.0.1\n")) << version.out;
    EXPECT_TRUE(e2e::FileExists(dir + "log\\zavcli.log"));

    std::map<std::string, RegValue> source = KeyValues(SOURCE_KEY, 0);
    char messageFile[MAX_PATH];
    ExpandEnvironmentStringsA(source["EventMessageFile"].data.c_str(), messageFile, sizeof(messageFile));
    HMODULE messages = LoadLibraryExA(messageFile, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, messages) << messageFile;
    const char *strings[] = {"2026/12/08 14:00:00", "FFFFFFFF", "Test", "060011"};
    for (DWORD id : {0xE0000001u, 0xE000000Bu, 0xA000000Cu, 0xA0000014u, 0x60000015u, 0x60000019u}) {
        char text[512] = {};
        DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, messages, id, 0x409, text,
                                 sizeof(text), (va_list *)strings);
        EXPECT_GT(n, 0u) << std::hex << id;
        EXPECT_EQ("Test\r\nTime: 2026/12/08 14:00:00\r\nReference: FFFFFFFF\r\nEvent code: 060011\r\n",
                  std::string(text)) << std::hex << id;
    }
    FreeLibrary(messages);
}

TEST(Installers, UninstallLeavesNothingBehind)
{
    ProcResult r = Quiet(Dist(), {"/uninstall"});
    EXPECT_EQ(0, r.exitCode) << Output(r);
    EXPECT_NE(std::string::npos, Output(r).find("Norvane RAID Vantrel was uninstalled.\n")) << Output(r);
    EXPECT_FALSE(e2e::FileExists(INSTALL_DIR)) << ::testing::PrintToString(InstalledTree());
    EXPECT_FALSE(e2e::FileExists(VENDOR_DIR));
    EXPECT_FALSE(KeyExists(PRODUCT_KEY, KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists("SOFTWARE\\Norvane", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(SOURCE_KEY, 0));
    EXPECT_FALSE(StartMenuEntryExists());
    EXPECT_FALSE(e2e::FileExists(StartMenuFolder(CSIDL_COMMON_PROGRAMS)));
    EXPECT_FALSE(e2e::FileExists(StartMenuFolder(CSIDL_PROGRAMS)));
    EXPECT_TRUE(InstalledVersions().empty());
    std::vector<std::string> notes = DummyNotes();
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(std::vector<std::string>({"stop present", "start absent"}),
              std::vector<std::string>(notes.end() - 2, notes.end()));
    EXPECT_EQ(0, RunProgram(Bin() + "\\zavservice_dummy.exe", {"remove"}).exitCode);
}

} // namespace
