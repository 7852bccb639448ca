// Windows halves of the start-up: the named mutex, the administrator check, the thread locale,
// the modal main dialog, and WinMain itself.
#include <windows.h>
#include <shlobj.h>

#include "gui/MainWnd.h"
#include "gui/Startup.h"

static int CreateInstanceMutex(const char *name, void **handle)
{
    HANDLE mutex = CreateMutexA(NULL, TRUE, name);
    DWORD error = GetLastError();
    *handle = mutex;
    if (mutex && error == ERROR_ALREADY_EXISTS)
        return INSTANCE_ALREADY_RUNNING;
    // Another user's instance holds a mutex this one may not even open.
    if (!mutex && error == ERROR_ACCESS_DENIED)
        return INSTANCE_ALREADY_RUNNING;
    return INSTANCE_NEW;
}

static void CloseInstanceMutex(void *handle)
{
    if (handle)
        CloseHandle((HANDLE)handle);
}

static int UserIsAdmin(void)
{
    return IsUserAnAdmin() ? 1 : 0;
}

static void SetEnglishLocale(void)
{
    SetThreadLocale(1033);
}

static const StartupSeam kWindowsSeam = {CreateInstanceMutex, CloseInstanceMutex, UserIsAdmin, SetEnglishLocale,
                                         RunMainDialog};

const StartupSeam *WindowsStartupSeam(void)
{
    return &kWindowsSeam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showFlag)
{
    (void)previous;
    (void)commandLine;
    (void)showFlag;
    SetMainInstance(instance);
    return ZavguiMain(WindowsStartupSeam());
}
