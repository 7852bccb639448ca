// Controller commands of zavcli: the report builders the handlers print (kept apart so tests can
// compare whole reports).
#ifndef ZAV_CLI_ZAVCLI_CMD_CTRL_H
#define ZAV_CLI_ZAVCLI_CMD_CTRL_H

#include <stddef.h>
#include <stdint.h>

#include "common/ToolVersion.h"

struct ContData;

// Usage text variants, chosen by the first controller showing snapshot or CacheCade support.
enum { HELP_BASE = 0, HELP_CACHECADE = 1, HELP_SNAPSHOT = 2, HELP_FULL = 3 };
int HelpVariant(const ContData *records, uint16_t contCount);
int BuildHelpText(char *out, size_t size, int variant, const char *productVersion);

#endif
