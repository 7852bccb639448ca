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

// 1 when the LD target exists on the controller.
int MoreLdExists(const ContData *record, uint8_t targetId);
// 1 when the slot is a disk of the controller's PD list.
int MorePdIsDisk(const ContData *record, uint8_t slotNo);

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

// "LD%u" for the first target, ", %u" for each further one.
int LdListText(char *out, size_t size, const uint8_t *targets, unsigned count);
// LD capacity in blocks from its LD information.
uint64_t LdCapacityBlocks(const uint8_t *ldInfo, uint8_t contNo);
// "RAID5, 100.000 GB, OPTIMAL" style summary of one LD.
int LdSummaryText(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t targetId);
// LD name (at most 15 characters) from its LD information.
int LdNameText(char *out, size_t size, const uint8_t *ldInfo);

// 1 when the LD is a snapshot base or holds a snapshot repository.
int LdIsSnapshotBase(const uint8_t *ldInfo);
int LdIsRepository(const uint8_t *ldInfo);
int LdIsCacheCade(const uint8_t *ldInfo);

// The LDs sharing a RAID group with the LD (itself included, in array order); returns the count.
unsigned LdsOfSameRaidGroup(const ContData *record, uint8_t targetId, uint8_t *out);
// Waits the given milliseconds through the volume seam (tests replace the wait).
void MoreSleep(unsigned ms);

#endif
