// Helpers shared by the LD maintenance, hot-spare, rebuild, enclosure and snapshot commands:
// report text building, LD and PD existence checks, LD selections and the controller menu.
#ifndef ZAV_CLI_ZAVCLI_CMD_LDOPS_H
#define ZAV_CLI_ZAVCLI_CMD_LDOPS_H

#include <stddef.h>
#include <stdint.h>

#include "cli/zavcli_cmd_com.h"

struct ContData;

// Writes the report to the console as it stands (menus and tables, no line break added) and
// empties it.
void ReportTextWrite(ReportText *report);

// Turns the LD selector of args into the LDs to work on. An explicit list must name existing
// LDs ("doesn't exist" error naming the controller, return 0); "all" or no selector takes every
// existing LD. count receives the number of LDs; 1 when the command may go on.
int ResolveLdSelection(const ContData *record, uint8_t contNo, const CliArgs *args, uint8_t targets[64],
                       unsigned *count, int *explicitList);
// Syntax of the LD selector (invalid-input error naming the argument before it, 0 on error).
int CheckLdSelectorSyntax(char **argv, const CliArgs *args);
// The required -pd list: invalid-input error when it is missing or malformed (0), else its slots.
int CheckPdSelector(int argc, char **argv, const CliArgs *args, uint8_t slots[256], unsigned *count);
// A required option is missing: the invalid-input error naming the last argument.
int ReportMissingOption(int argc, char **argv);
// The controller menu of the interactive commands: with one controller it returns 0 at once;
// otherwise it lists the controllers and asks. Returns the controller number, or -1 on Quit or
// when a controller could not be queried.
int AskControllerNumber(ContData *records, uint16_t contCount);

// Waits the given milliseconds through the volume seam (tests replace the wait).
void MoreSleep(unsigned ms);

#endif
