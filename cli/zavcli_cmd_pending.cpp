// Handlers whose commands are not available in this build yet: each reports that the command is
// not supported. A handler's line leaves this file when its module implements it.
#include "cli/zavcli_cmds.h"
#include "common/dll_mod.h"

static int ReportNotSupported(void)
{
    ZAV_REPORT(REPORT_BOTH, "Error - This command is not supported at the current configuration.");
    return -1;
}

#define PENDING(name) \
    int name(int, char **, ContData *, uint16_t) { return ReportNotSupported(); }

