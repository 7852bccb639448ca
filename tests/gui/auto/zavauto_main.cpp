// zavauto: the automation library as a command for scripts. Finds the running zavgui main window
// and does one thing with it:
//   zavauto wait [seconds]   waits until the main window shows its pages (exit 0) or times out (1)
//   zavauto tab <index>      clicks the tab at the position, as a user does
//   zavauto close            closes the window and waits for the program to end
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Automation.h"

static HWND FindMain(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = NULL;
        while ((window = FindWindowExA(NULL, window, "#32770", NULL)) != NULL)
            if (IsWindowVisible(window) && zauto::WindowText(window).compare(0, 7, "Main - ") == 0)
                return window;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(100);
    }
}

static int Usage()
{
    std::fprintf(stderr, "usage: zavauto wait [seconds] | tab <index> | close\n");
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    std::string verb = argv[1];
    DWORD waitMs = (verb == "wait" && argc > 2) ? (DWORD)std::atoi(argv[2]) * 1000 : 60000;
    HWND main = FindMain(waitMs);
    if (!main) {
        std::fprintf(stderr, "zavauto: no zavgui main window\n");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HWND tab = GetDlgItem(main, 1220);
    if (verb == "wait") {
        DWORD start = GetTickCount();
        while (SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) == 0 && GetTickCount() - start < waitMs)
            Sleep(100);
        return SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) > 0 ? 0 : 1;
    }
    if (verb == "tab" && argc > 2) {
        zauto::Target target(pid);
        return target.ok() && zauto::ClickTab(target, tab, std::atoi(argv[2])) ? 0 : 1;
    }
    if (verb == "close") {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD rc = process ? WaitForSingleObject(process, 30000) : WAIT_FAILED;
        if (process)
            CloseHandle(process);
        return rc == WAIT_OBJECT_0 ? 0 : 1;
    }
    return Usage();
}
