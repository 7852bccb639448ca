// End-to-end fixture of the graphical tool: its own simulator state, the real zavgui.exe started
// on the X display that scripts/test provides, and the automation library to drive it. Skips
// with a clear message where no display exists.
#ifndef ZAV_TESTS_GUI_E2E_GUI_SESSION_H
#define ZAV_TESTS_GUI_E2E_GUI_SESSION_H

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Automation.h"
#include "SimCore.h"
#include "sim/sim_paths.h"

namespace guie2e {

using simtest::BinDir;
using simtest::ReadText;

inline int RunAndWait(const std::string &exe, const std::string &args, DWORD timeoutMs = 60000)
{
    std::string cmd = "\"" + exe + "\" " + args;
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &si, &pi))
        return -999;
    DWORD code = 999;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}

// A string value of HKLM\\SOFTWARE\\Norvane\\Zav (32-bit view), "" when missing.
inline std::string ProductRegValue(const char *name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Zav", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    char buf[1024] = {};
    DWORD size = sizeof(buf) - 1;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buf) : std::string();
}

// One running zavgui.exe.
struct GuiProcess {
    PROCESS_INFORMATION pi = {};
    HWND main = NULL;

    bool Start()
    {
        std::string cmd = "\"" + BinDir() + "\\zavgui.exe\"";
        std::vector<char> buf(cmd.begin(), cmd.end());
        buf.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        return CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &si,
                              &pi) != 0;
    }

    DWORD Pid() const { return pi.dwProcessId; }

    // Exit code once it ended within the time, else -999.
    int WaitExit(DWORD timeoutMs)
    {
        if (!pi.hProcess || WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -999;
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return (int)code;
    }

    void Stop()
    {
        if (!pi.hProcess)
            return;
        if (main && IsWindow(main))
            PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        pi = PROCESS_INFORMATION();
        main = NULL;
    }
};

class GuiSession : public ::testing::Test {
protected:
    sim::Paths paths;
    GuiProcess gui;

    static bool HaveDisplay()
    {
        char display[256] = {};
        return GetEnvironmentVariableA("DISPLAY", display, sizeof(display)) > 0;
    }

    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << "no X display (DISPLAY is unset and Xvfb could not be started): graphical tests skipped";
        paths = simtest::UseTestSimPaths("zavgui_e2e_");
        // The device-map port vanishes whenever the Wine server restarts.
        RunAndWait(BinDir() + "\\zavdevmap.exe", "\"Scsi Port 2=megasas2\"");
    }

    void TearDown() override
    {
        gui.Stop();
        Cleanup();
    }

    void Cleanup() { simtest::RemoveSimFiles(paths); }

    void Sim(const std::vector<std::string> &args)
    {
        std::string out, err;
        ASSERT_EQ(0, sim::ZavsimRun(args, paths, out, err)) << err;
    }

    std::string Journal() { return ReadText(paths.journal); }

    // Waits until the simulator's journal stops growing (a running zavgui finished its refresh).
    void WaitJournalQuiet(DWORD timeoutMs = 60000)
    {
        DWORD start = GetTickCount();
        size_t last = (size_t)-1;
        int quiet = 0;
        while (quiet < 3 && GetTickCount() - start < timeoutMs) {
            size_t now = Journal().size();
            quiet = now == last ? quiet + 1 : 0;
            last = now;
            Sleep(500);
        }
    }

    // Starts zavgui and waits for its main window.
    void StartGui()
    {
        ASSERT_TRUE(gui.Start());
        gui.main = zauto::FindTopWindow(gui.Pid(), "#32770", "Main - ", 120000);
        ASSERT_NE((HWND)NULL, gui.main) << "main window did not appear";
    }

    // Waits for a message box, checks its caption and text, answers it.
    void AnswerBox(DWORD pid, const std::string &caption, const std::string &text, int button = IDOK)
    {
        zauto::MessageBoxInfo box;
        ASSERT_TRUE(zauto::WaitMessageBox(pid, 60000, &box)) << "expected box: " << text;
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(text, box.text);
        ASSERT_TRUE(zauto::AnswerMessageBox(box, button));
    }

    HWND Tab() { return GetDlgItem(gui.main, 1220); }

    // The page dialog shown in the tab strip.
    HWND VisiblePage()
    {
        HWND child = NULL;
        while ((child = FindWindowExA(Tab(), child, "#32770", NULL)) != NULL)
            if (IsWindowVisible(child))
                return child;
        return NULL;
    }

    // Polls until the condition holds or the time is up.
    template <typename F> bool WaitFor(F condition, DWORD timeoutMs = 30000)
    {
        DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            Sleep(50);
        }
        return true;
    }
};

} // namespace guie2e

#endif
