// Windows side of the event-log seam: the event source, ReportEvent, system error texts, the
// installation folder and the local clock.
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

static int WinSystemErrorText(uint32_t code, char *out, unsigned size)
{
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                                  0, out, size, NULL);
    if (length == 0 || size == 0) {
        return 0;
    }
    while (length > 0 && (out[length - 1] == '\r' || out[length - 1] == '\n' || out[length - 1] == ' ')) {
        out[--length] = '\0';
    }
    return 1;
}

static int WinReadInstallDir(char *out, unsigned size)
{
    return RegReadProductValue("InstallDir", out, size);
}

static void WinLocalTime(EventClock *out)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    out->year = now.wYear;
    out->month = now.wMonth;
    out->day = now.wDay;
    out->hour = now.wHour;
    out->minute = now.wMinute;
    out->second = now.wSecond;
}

static const EventLogSeam kWindowsSeam = {
    WinRegisterSource, WinReportEvent, WinDeregisterSource, WinLastError,
    WinSystemErrorText, WinReadInstallDir, WinLocalTime,
};

const EventLogSeam *WindowsEventLogSeam(void)
{
    return &kWindowsSeam;
}
