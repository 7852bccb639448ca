// Windows side of the library-loading seam: LoadLibrary, GetProcAddress, FreeLibrary.
#include "common/StoreLib.h"

#include <windows.h>

static void *WinLoadLibrary(const char *name) { return (void *)LoadLibraryA(name); }
static void *WinGetProcAddress(void *module, const char *name)
{
    return (void *)GetProcAddress((HMODULE)module, name);
}
static void WinFreeLibrary(void *module) { FreeLibrary((HMODULE)module); }
static uint32_t WinLastError(void) { return (uint32_t)GetLastError(); }

static const LibLoaderSeam kWindowsLoader = {WinLoadLibrary, WinGetProcAddress, WinFreeLibrary, WinLastError};
const LibLoaderSeam *WindowsLibLoader(void)
{
    return &kWindowsLoader;
}
