// Windows side of the version seam: the version resource of the running program.
#include "common/ToolVersion.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static void QueryVersionString(const void *block, const char *name, char *out)
{
    char path[128];
    snprintf(path, sizeof(path), "\\StringFileInfo\\040904b0\\%s", name);
    void *value = NULL;
    UINT length = 0;
    out[0] = '\0';
    if (VerQueryValueA(block, path, &value, &length) && value != NULL && length > 0)
        snprintf(out, VERSION_TEXT_SIZE, "%s", (const char *)value);
}

int ReadWindowsVersion(ToolVersion *version, uint32_t *errorCode)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    if (n == 0 || n >= sizeof(module)) {
        *errorCode = GetLastError();
        version->failedStep = VERSION_FAILED_MODULE;
        return 0;
    }
    version->failedStep = VERSION_FAILED_BLOCK;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(module, &handle);
    if (size == 0) {
        *errorCode = GetLastError();
        return 0;
    }
    void *block = calloc(1, size);
    if (block == NULL) {
        *errorCode = ERROR_NOT_ENOUGH_MEMORY;
        return 0;
    }
    if (!GetFileVersionInfoA(module, 0, size, block)) {
        *errorCode = GetLastError();
        free(block);
        return 0;
    }
    QueryVersionString(block, "ProductName", version->productName);
    QueryVersionString(block, "ProductVersion", version->productVersion);
    QueryVersionString(block, "CompanyName", version->companyName);
    QueryVersionString(block, "LegalCopyright", version->legalCopyright);
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    if (VerQueryValueA(block, "\\", (void **)&fixed, &length) && fixed != NULL && length >= sizeof(*fixed)) {
        snprintf(version->fileVersion, sizeof(version->fileVersion), "%u.%u.%u.%u",
                 (unsigned)HIWORD(fixed->dwFileVersionMS), (unsigned)LOWORD(fixed->dwFileVersionMS),
                 (unsigned)HIWORD(fixed->dwFileVersionLS), (unsigned)LOWORD(fixed->dwFileVersionLS));
    }
    free(block);
    version->failedStep = 0;
    return 1;
}
