// Windows half of the version texts: reads the program's own version resource.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gui/Dialog.h"
#include "gui/VersionInfo.h"

static void QueryString(const void *data, const char *name, char *out, unsigned size)
{
    char path[96];
    char *value = NULL;
    UINT length = 0;
    out[0] = '\0';
    snprintf(path, sizeof(path), "\\StringFileInfo\\040904b0\\%s", name);
    if (VerQueryValueA(data, path, (void **)&value, &length) && value && length > 0)
        snprintf(out, size, "%s", value);
}

int ReadProgramVersion(ProgramVersion *out, int report)
{
    memset(out, 0, sizeof(*out));
    char path[MAX_PATH];
    if (GetModuleFileNameA(NULL, path, sizeof(path)) == 0) {
        if (report)
            ReportWinApiError(6, GetLastError());
        return 0;
    }
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    void *data = size ? malloc(size) : NULL;
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT fixedLength = 0;
    if (!data || !GetFileVersionInfoA(path, 0, size, data) ||
        !VerQueryValueA(data, "\\", (void **)&fixed, &fixedLength) || !fixed) {
        if (report)
            ReportWinApiError(3, GetLastError());
        free(data);
        return 0;
    }
    out->file[0] = HIWORD(fixed->dwFileVersionMS);
    out->file[1] = LOWORD(fixed->dwFileVersionMS);
    out->file[2] = HIWORD(fixed->dwFileVersionLS);
    out->file[3] = LOWORD(fixed->dwFileVersionLS);
    QueryString(data, "ProductName", out->productName, sizeof(out->productName));
    QueryString(data, "ProductVersion", out->productVersion, sizeof(out->productVersion));
    QueryString(data, "CompanyName", out->companyName, sizeof(out->companyName));
    QueryString(data, "LegalCopyright", out->legalCopyright, sizeof(out->legalCopyright));
    free(data);
    return 1;
}
