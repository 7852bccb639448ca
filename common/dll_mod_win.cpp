// Windows side of the message and registry module: the product's registry values, system error
// texts, the local clock, and the thread ids and atomic claim behind the per-thread error slots.
#include "common/dll_mod.h"

#include "common/EventLog.h"

#include <windows.h>

static const char PRODUCT_KEY[] = "SOFTWARE\\Norvane\\Zav";

int ReadProductRegistryValue(const char *valueName, char *out, unsigned size, uint32_t *sysError)
{
    HKEY key;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key);
    if (status != ERROR_SUCCESS) {
        *sysError = (uint32_t)status;
        return PRODUCT_REG_OPEN_FAILED;
    }
    DWORD type = 0;
    DWORD length = size - 1; // room for a terminator the stored value may lack
    status = RegQueryValueExA(key, valueName, 0, &type, (BYTE *)out, &length);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        status = ERROR_INVALID_DATA;
    if (status != ERROR_SUCCESS) {
        *sysError = (uint32_t)status;
        return PRODUCT_REG_QUERY_FAILED;
    }
    out[length] = '\0';
    return PRODUCT_REG_OK;
}

int OsSystemErrorText(uint32_t code, char *out, unsigned size)
{
    if (size == 0)
        return 0;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, out,
                                  size, NULL);
    if (length == 0) {
        out[0] = '\0';
        return 0;
    }
    while (length > 0 && (out[length - 1] == '\r' || out[length - 1] == '\n' || out[length - 1] == ' '))
        out[--length] = '\0';
    return 1;
}

void OsLocalTime(EventClock *out)
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

long OsThreadId(void)
{
    return (long)GetCurrentThreadId();
}

uint32_t OsProcessId(void)
{
    return (uint32_t)GetCurrentProcessId();
}

int OsClaimOwner(volatile long *owner, long value)
{
    return InterlockedCompareExchange(owner, value, 0) == 0;
}

int OsOutputIsConsole(void)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}
