// The version resource of the running program, as the version and help texts show it, read
// through a seam.
#ifndef ZAV_COMMON_TOOLVERSION_H
#define ZAV_COMMON_TOOLVERSION_H

#include <stdint.h>

enum { VERSION_TEXT_SIZE = 256 };

// The tool's own version resource, as v and help print it; a value that can't be read stays empty.
struct ToolVersion {
    char productName[VERSION_TEXT_SIZE];
    char productVersion[VERSION_TEXT_SIZE];
    char companyName[VERSION_TEXT_SIZE];
    char legalCopyright[VERSION_TEXT_SIZE];
    char fileVersion[VERSION_TEXT_SIZE]; // "%u.%u.%u.%u", most significant part first
    int failedStep;                      // with a failed read: VERSION_FAILED_MODULE or _BLOCK
};

// The step of reading that failed: the program's own file name, or its version block.
enum { VERSION_FAILED_MODULE = 1, VERSION_FAILED_BLOCK = 2 };

// Reads the version resource of the running program. Returns 1, or 0 with *errorCode set to the
// system error when the module file can't be found or the version block can't be sized,
// allocated or read.
typedef int (*VersionReader)(ToolVersion *version, uint32_t *errorCode);
void SetVersionReader(VersionReader reader); // null restores the Windows version resource
int ReadToolVersion(ToolVersion *version, uint32_t *errorCode);
// The Windows version resource reader (the default).
int ReadWindowsVersion(ToolVersion *version, uint32_t *errorCode);

#endif
