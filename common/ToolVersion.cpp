// The tool's own version resource behind a seam, so tests can present a version or a failure.
#include "common/ToolVersion.h"

#include <string.h>

static VersionReader g_versionReader = ReadWindowsVersion;

void SetVersionReader(VersionReader reader)
{
    g_versionReader = reader ? reader : ReadWindowsVersion;
}

int ReadToolVersion(ToolVersion *version, uint32_t *errorCode)
{
    memset(version, 0, sizeof(*version));
    *errorCode = 0;
    return g_versionReader(version, errorCode);
}
