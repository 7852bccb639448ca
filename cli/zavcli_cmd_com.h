// Shared argument handling and console dialogue of zavcli: the controller, LD and PD selectors,
// the option parser every handler opens with, and ComChk, through which every question is asked.
#ifndef ZAV_CLI_ZAVCLI_CMD_COM_H
#define ZAV_CLI_ZAVCLI_CMD_COM_H

#include <stddef.h>
#include <stdint.h>

#include "common/FormatCheck.h"

enum {
    SEL_EMPTY = 255,        // an empty place of a selector list
    ADAPTER_LIST_SIZE = 4,
    LD_LIST_SIZE = 64,
    PD_LIST_SIZE = 256
};

// GetAdapterNo results.
enum { ADP_OK = 0, ADP_NOT_FOUND = 1, ADP_MULTIPLE = 2, ADP_SYNTAX = 3 };

// selector: "aall", "" (absent) or "a" + comma-separated numbers (already lower-cased, no dash).
// ADP_NOT_FOUND stores the offending number in adapters[0].
int GetAdapterNo(const char *selector, uint8_t adapters[ADAPTER_LIST_SIZE], uint16_t contCount);
// selector: "lall", "" or "l" + numbers. Returns 1 when accepted, 0 on a syntax error.
int GetLogicalDriveNo(const char *selector, uint8_t lds[LD_LIST_SIZE]);
// selector: the bracketed list "[{E0}:S0,...]" or "". Returns 1 when accepted, 0 otherwise.
// Only slots 0..254 can be named: 255 marks an empty place and 256 has no place in the list.
int GetPhysicalDriveNo(const char *selector, uint8_t slots[PD_LIST_SIZE], int sortFlag);

// Question kinds of ComChk. The yes/no questions answer 1 for Y and 0 for N; a kind without a
// text of its own asks "Is it executed?(Y/N)?".
enum ComPromptKind {
    PROMPT_DIFFERENT_PD_SIZE = 1,              // LDs over PDs of different capacity
    PROMPT_WRITE_BACK_POWER_FAILURE = 2,       // "Always Write Back" with the power-failure risk
    PROMPT_WRITE_BACK_BACKUP_CAPACITY = 3,     // "Always Write Back" with the backup-capacity risk
    PROMPT_DATA_LOST = 4,                      // all data on the LDs will be lost
    PROMPT_PROCEED_DELETE = 5,
    PROMPT_PATROL_READ_OFF = 6,                // disabling automatic patrol read
    PROMPT_CTRL_WRITE_BACK_BACKUP_CAPACITY = 7,
    PROMPT_CTRL_WRITE_BACK_POWER_FAILURE = 8,
    PROMPT_RAID_LOG_OVERWRITE = 9,
    PROMPT_GHS_OTHER_INTERFACE = 10,           // a global spare of another interface type
    PROMPT_GHS_OTHER_MEDIA = 11,               // a global spare of another media type
    PROMPT_GHS_SMALLER = 12,                   // a global spare smaller than configured PDs
    PROMPT_RELEASE_WITH_LDS = 13,              // releasing hot spares while LDs exist
    PROMPT_ENABLE_SNAPSHOT = 14,
    PROMPT_DISABLE_SNAPSHOT = 15,
    PROMPT_UPDATE_OLDEST_SNAPSHOT = 16,
    PROMPT_DELETE_OLDEST_SNAPSHOT = 17,
    // Kinds with a menu or a list rather than a yes/no answer.
    PROMPT_MENU_NUMBER = 18,
    PROMPT_LD_LIST = 19,
    PROMPT_LD_NAVIGATE = 20,
    PROMPT_SNAP_AUTO_DELETE = 21,
    PROMPT_SNAP_ON_REBOOT = 22,
    PROMPT_CACHECADE_DIFFERENT_PD_SIZE = 23,
    PROMPT_AUTO_REBUILD_OFF = 25
};
// Answers of the navigation prompts.
enum { NAV_BACK = 66, NAV_MENU = 67, NAV_QUIT = 68 };

// Asks one question on the console and returns the answer (see the prompt types). out receives
// the LD list of type 19 and carries the allowed LD numbers into type 20 (64 bytes each).
// At the end of standard input the question is answered with its refusal (No, or Quit).
int ComChk(char *out, int promptType, int limit);

// A yes/no question whose text is built at run time: the loop and answers of ComChk's yes/no kinds
// (1 for Y, 0 for N or the end of input).
int ComChkYesNoText(const char *text);
// Screen output of the dialogues, printed as it stands (no line end added), each piece cut to
// 2047 characters.
void ConsoleOut(const char *format, ...);
// Answers of the dialogue questions besides a chosen number.
enum { CHOICE_BACK = -1, CHOICE_QUIT = -2, CHOICE_ANSWERED = 1 };
// One free-form answer of a creation dialogue: prints the prompt as it stands and reads the answer
// (line end removed) into *answer. CHOICE_BACK on B, CHOICE_QUIT on Q or the end of input,
// otherwise CHOICE_ANSWERED for the caller to check.
int ComChkAnswer(const char *prompt, const char **answer);
// The last answer a creation dialogue read.
const char *ComChkLastAnswer(void);
// "\"%s\" is invalid." for an answer that fits no choice.
void ComChkInvalid(const char *answer);
// A numbered question of the creation dialogues, its prompt printed as it stands: a choice 1..max
// (one character, two when max is above 9; any one- or two-digit number such as "08" when
// twoDigits is set), B or Q. An empty answer takes defaultChoice when it is not 0; anything else
// is reported invalid and asked again. The end of input counts as Q.
int ComChkChoice(const char *prompt, int max, int defaultChoice, int twoDigits);

// Console input seam: reads one line (line end included when present) into line; returns 1 when
// a line was read, 0 at the end of input. Null restores standard input.
typedef int (*ConsoleReader)(char *line, unsigned size);
void SetConsoleReader(ConsoleReader reader);
// Reads one answer through the console input seam with its line end removed; 0 at the end of input.
int ReadConsoleAnswer(char *line, unsigned size);

// --- Option handling shared by the handlers -----------------------------------------------
// Lower-cases arg and drops one leading dash; returns the length written.
int NormalizeOption(const char *arg, char *out, size_t size);
// "Error - Invalid input at or near token %s." with the given argument; returns -1.
int ReportInvalidToken(const char *token);

// One option a handler accepts. Options with the same non-zero group exclude each other;
// an option with takesValue consumes the next argument as its value.
struct CliOption {
    const char *keyword; // lower-case, without the dash
    int group;
    int takesValue;
};

enum { CLI_MAX_OPTIONS = 32, CLI_SELECTOR_TEXT = 260 };
// Which selectors a handler accepts.
enum { SEL_ADAPTER = 1, SEL_LD = 2, SEL_PD = 4 };

struct CliArgs {
    int at[CLI_MAX_OPTIONS];           // argv index of each option of the table, 0 when absent
    const char *value[CLI_MAX_OPTIONS]; // the value argument of a takesValue option
    int optionCount;                   // options given (selectors not counted)
    int adapterAt, ldAt, pdAt;         // argv index of each selector, 0 when absent
    char adapterSel[CLI_SELECTOR_TEXT]; // normalised selector texts ("" when absent)
    char ldSel[CLI_SELECTOR_TEXT];
    char pdSel[CLI_SELECTOR_TEXT];     // the bracketed list of -pd
};

// Parses argv[2..] against the table. An unknown, repeated or conflicting option or selector
// reports the invalid-input error naming the argument before it and returns 0; otherwise 1.
// A takesValue option without its value names the option itself.
int ParseCliOptions(int argc, char **argv, const CliOption *table, unsigned rows, unsigned selectors,
                    CliArgs *args);
// 1 when option i of the table was given.
int OptGiven(const CliArgs *args, int i);

// Resolves the controller selector of args into adapters, in selector order (ascending).
// Reports "Error - The specified Controller %d: doesn't exist.", the multiple-controller error
// or the invalid-input error, and returns 0 when the command must end; 1 otherwise.
int SelectAdapters(int argc, char **argv, const CliArgs *args, uint16_t contCount,
                   uint8_t adapters[ADAPTER_LIST_SIZE]);
// Number of used places of a selector list (places before the first 255).
unsigned SelCount(const uint8_t *list, unsigned size);

// A report being assembled for one plain message (at most 10000 characters, cut to fit).
enum { REPORT_TEXT_MAX = 10000 };
struct ReportText {
    char text[REPORT_TEXT_MAX + 1];
    size_t length;
};
void ReportTextReset(ReportText *report);
void ReportTextAdd(ReportText *report, const char *format, ...) ZAV_PRINTF_FORMAT(2, 3);
// Prints the report as one plain console message and empties it.
void ReportTextPrint(ReportText *report);

struct ContData;
// Checks that every listed slot holds a disk on every selected controller; reports the first that
// does not and returns 0, so a command ends before any output or action.
int CheckPdsExist(const ContData *records, const uint8_t *adapters, unsigned adapterCount, const uint8_t *slots,
                  unsigned slotCount);

// Builds "%d" followed by ",%d" for each further number; returns the length.
int JoinNumbers(char *out, size_t size, const uint8_t *numbers, unsigned count);
// Reports what a command did on one controller: format takes the controller number and the
// joined numbers; nothing when nothing was done.
void ReportDoneList(const char *format, uint8_t contNo, const uint8_t *done, unsigned doneCount);

// Writes the report to the console as it stands (menus and tables, no line break added) and
// empties it.
void ReportTextWrite(ReportText *report);

// --- Selections and menus the handlers share ------------------------------------------------
// Turns the LD selector of args into the LDs to work on. An explicit list must name existing
// LDs ("doesn't exist" error naming the controller, return 0); "all" or no selector takes every
// existing LD. count receives the number of LDs; 1 when the command may go on.
int ResolveLdSelection(const ContData *record, uint8_t contNo, const CliArgs *args, uint8_t targets[64],
                       unsigned *count, int *explicitList);
// Syntax of the LD selector (invalid-input error naming the argument before it, 0 on error).
int CheckLdSelectorSyntax(char **argv, const CliArgs *args);
// A required option is missing: the invalid-input error naming the last argument.
int ReportMissingOption(int argc, char **argv);
// The controller menu of the interactive commands: with one controller it returns 0 at once;
// otherwise it lists the controllers and asks. Returns the controller number, or -1 on Quit or
// when a controller could not be queried.
int AskControllerNumber(ContData *records, uint16_t contCount);
// The opening of an interactive command that takes no options: the option check, then the
// controller menu. The controller number, DIALOGUE_INVALID after the invalid-input error, or
// DIALOGUE_QUIT when the user quit or a controller could not be queried.
enum { DIALOGUE_INVALID = -2, DIALOGUE_QUIT = -1 };
int OpenControllerDialogue(int argc, char **argv, ContData *records, uint16_t contCount);

// The selectors of a PD command.
struct PdSelection {
    uint8_t adapters[ADAPTER_LIST_SIZE];
    unsigned adapterCount;
    uint8_t slots[PD_LIST_SIZE];
    unsigned slotCount;
};
// The prelude of every PD command, after its own option checks: the -pd list (required, or every
// slot when absent and not required), the controllers, and every listed slot on every selected
// controller, all before anything is printed or changed. Reports the first refusal and returns 0
// when the command must end.
int PreparePdSelection(int argc, char **argv, const ContData *records, uint16_t contCount, const CliArgs *args,
                       int pdRequired, PdSelection *out);

// --- Report lines of one PD, as pdinfo prints them and ldpdinfo repeats them for its members ----
// "PD%d(usage)", with the kind of a hot spare spelled out.
void AddPdUsageLine(ReportText *report, const ContData *record, uint8_t slot);
// The general lines from "Usable Capacity" to "Revision Level".
void AddPdGeneralLines(ReportText *report, uint8_t contNo, const ContData *record, uint8_t slot);

#endif
