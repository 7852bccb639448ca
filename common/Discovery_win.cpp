// Windows side of the device-map seam: registry calls under HKEY_LOCAL_MACHINE.
#include "common/Discovery.h"

#include <windows.h>

static long WinOpenKey(const char *path, void **key)
{
    HKEY h = NULL;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &h);
    *key = rc == ERROR_SUCCESS ? (void *)h : NULL;
    return rc;
}

static long WinEnumKey(void *key, uint32_t index, char *name, uint32_t nameSize)
{
    DWORD len = nameSize;
    return RegEnumKeyExA((HKEY)key, index, name, &len, NULL, NULL, NULL, NULL);
}

static long WinQueryValue(void *key, const char *valueName, char *out, uint32_t size)
{
    DWORD len = size;
    DWORD type = 0;
    return RegQueryValueExA((HKEY)key, valueName, NULL, &type, (BYTE *)out, &len);
}

static void WinCloseKey(void *key) { RegCloseKey((HKEY)key); }

static const DeviceMapSeam kWindowsRegistry = {WinOpenKey, WinEnumKey, WinQueryValue, WinCloseKey};

const DeviceMapSeam *WindowsDeviceMapSeam(void)
{
    return &kWindowsRegistry;
}
