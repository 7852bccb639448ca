// Windows side of the event-log seam: the event source, ReportEvent and the installation folder;
// system error texts and the local clock come from the message module's Windows half.
#include "common/EventLog.h"

#include "common/dll_mod.h"

#include <windows.h>

static void *WinRegisterSource(const char *sourceName)
{
    return (void *)RegisterEventSourceA(NULL, sourceName);
}

static int WinReportEvent(void *source, uint16_t type, uint16_t category, uint32_t eventId,
                          uint16_t stringCount, const char **strings, uint32_t dataSize, const void *data)
{
    return ReportEventA((HANDLE)source, type, category, eventId, NULL, stringCount, dataSize,
                        (LPCSTR *)strings, (LPVOID)data) ? 1 : 0;
}

static int WinDeregisterSource(void *source)
{
    return DeregisterEventSource((HANDLE)source) ? 1 : 0;
}

static uint32_t WinLastError(void)
{
    return (uint32_t)GetLastError();
}

static int WinReadInstallDir(char *out, unsigned size)
{
    return RegReadProductValue("InstallDir", out, size);
}

static const EventLogSeam kWindowsSeam = {
    WinRegisterSource, WinReportEvent, WinDeregisterSource, WinLastError,
    OsSystemErrorText, WinReadInstallDir, OsLocalTime,
};

const EventLogSeam *WindowsEventLogSeam(void)
{
    return &kWindowsSeam;
}
