// Windows side of the console tool's process services: the single-instance mutex, the
// administrator check, and the allocation of the record block with its system error.
#include "cli/zavcli_main.h"

#include <windows.h>
#include <shlobj.h>
#include <stdlib.h>

#include "common/raidctl.h"

static int CreateWindowsInstanceMutex(const char *name, void **handle)
{
    HANDLE mutex = CreateMutexA(0, TRUE, name);
    DWORD error = GetLastError();
    *handle = mutex;
    if (mutex && error == ERROR_ALREADY_EXISTS)
        return INSTANCE_EXISTS;
    // A mutex created by another user's instance cannot be opened at all.
    if (!mutex && error == ERROR_ACCESS_DENIED)
        return INSTANCE_EXISTS;
    if (!mutex)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, errcode=%d", "ZavcliMain", "CreateMutex error", (int)error);
    return INSTANCE_CREATED;
}

static void CloseWindowsHandle(void *handle)
{
    if (handle)
        CloseHandle((HANDLE)handle);
}

static int WindowsUserIsAdmin(void)
{
    return IsUserAnAdmin() ? 1 : 0;
}

static const ZavcliProcessSeam kWindowsProcessSeam = {CreateWindowsInstanceMutex, CloseWindowsHandle,
                                                       WindowsUserIsAdmin};

const ZavcliProcessSeam *WindowsProcessSeam(void)
{
    return &kWindowsProcessSeam;
}

void *AllocateZeroedBlock(size_t count, size_t size, uint32_t *errorCode)
{
    SetLastError(0);
    void *block = calloc(count, size);
    DWORD error = block ? 0 : GetLastError();
    *errorCode = block ? 0 : (error ? error : ERROR_NOT_ENOUGH_MEMORY);
    return block;
}
