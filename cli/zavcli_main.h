// Entry of zavcli: start-up, dispatch of one command, tear-down.
#ifndef ZAV_CLI_ZAVCLI_MAIN_H
#define ZAV_CLI_ZAVCLI_MAIN_H

#include <stddef.h>
#include <stdint.h>

#include "cli/zavcli_cmds.h"

enum {
    ZAVCLI_COMMAND_COUNT = 30,
    ZAVCLI_MAX_ARG_LENGTH = 256,
    ZAVCLI_TOKEN_SIZE = ZAVCLI_MAX_ARG_LENGTH + 1, // the longest accepted argument and its terminator
    ZAVCLI_ECHO_SIZE = 10000,
    ZAVCLI_MAX_CONTROLLERS = 4,
    ZAVCLI_TRACE_MAX_SIZE = 2000000
};

// One row of the command table: name without the dash, handler, and whether the controller data
// records must be built before the handler runs.
struct CommandEntry {
    const char *name;
    CliCmdHandler handler;
    uint8_t needsContData;
};

// Process services the entry uses; tests replace them to take the second-instance and
// non-administrator paths.
enum { INSTANCE_CREATED = 1, INSTANCE_EXISTS = 0 };
struct ZavcliProcessSeam {
    // Creates the named mutex owned by this process; *handle receives it (or null).
    int (*createInstanceMutex)(const char *name, void **handle);
    void (*closeInstanceMutex)(void *handle);
    int (*isUserAdmin)(void);
};
void SetZavcliProcessSeam(const ZavcliProcessSeam *seam); // null restores the Windows services
const ZavcliProcessSeam *WindowsProcessSeam(void);
// calloc that reports the system error of a failure (never 0 then) in *errorCode.
void *AllocateZeroedBlock(size_t count, size_t size, uint32_t *errorCode);

const CommandEntry *ZavcliCommandTable(void); // ZAVCLI_COMMAND_COUNT rows
const CommandEntry *FindCommand(const char *token);
// Lower-cases the argument into token (ZAVCLI_TOKEN_SIZE bytes) and strips everything up to the
// first dash when something follows it.
void NormaliseCommandToken(const char *argument, char *token);
// All arguments, each followed by a blank, cut to fit size bytes with its terminator.
void BuildCommandLineEcho(int argc, char **argv, char *echo, unsigned size);

int ZavcliMain(int argc, char **argv);

#endif
