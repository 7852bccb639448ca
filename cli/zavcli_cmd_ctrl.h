// Controller commands of zavcli: the version-resource seam of v and help, and the report builders
// the handlers print (kept apart so tests can compare whole reports).
#ifndef ZAV_CLI_ZAVCLI_CMD_CTRL_H
#define ZAV_CLI_ZAVCLI_CMD_CTRL_H

#include <stddef.h>
#include <stdint.h>

struct ContData;

enum { VERSION_TEXT_SIZE = 256 };

// The tool's own version resource, as v and help print it; a value that can't be read stays empty.
struct ToolVersion {
    char productName[VERSION_TEXT_SIZE];
    char productVersion[VERSION_TEXT_SIZE];
    char companyName[VERSION_TEXT_SIZE];
    char legalCopyright[VERSION_TEXT_SIZE];
    char fileVersion[VERSION_TEXT_SIZE]; // "%u.%u.%u.%u", most significant part first
};

// Reads the version resource of the running program. Returns 1, or 0 with *errorCode set to the
// system error when the module file can't be found or the version block can't be sized,
// allocated or read.
typedef int (*VersionReader)(ToolVersion *version, uint32_t *errorCode);
void SetVersionReader(VersionReader reader); // null restores the Windows version resource
int ReadToolVersion(ToolVersion *version, uint32_t *errorCode);

// Usage text variants, chosen by the first controller showing snapshot or CacheCade support.
enum { HELP_BASE = 0, HELP_CACHECADE = 1, HELP_SNAPSHOT = 2, HELP_FULL = 3 };
int HelpVariant(const ContData *records, uint16_t contCount);
int BuildHelpText(char *out, size_t size, int variant, const char *productVersion);

#endif
