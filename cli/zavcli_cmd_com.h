// Shared argument handling and console dialogue of zavcli: the controller, LD and PD selectors,
// the option parser every handler opens with, and ComChk, through which every question is asked.
#ifndef ZAV_CLI_ZAVCLI_CMD_COM_H
#define ZAV_CLI_ZAVCLI_CMD_COM_H

#include <stddef.h>
#include <stdint.h>

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

// Prompt types of ComChk with a menu or a list rather than a yes/no answer.
enum {
    PROMPT_MENU_NUMBER = 18,
    PROMPT_LD_LIST = 19,
    PROMPT_LD_NAVIGATE = 20,
    PROMPT_SNAP_AUTO_DELETE = 21,
    PROMPT_SNAP_ON_REBOOT = 22
};
// Answers of the navigation prompts.
enum { NAV_BACK = 66, NAV_MENU = 67, NAV_QUIT = 68 };

// Asks one question on the console and returns the answer (see the prompt types). out receives
// the LD list of type 19 and carries the allowed LD numbers into type 20 (64 bytes each).
// At the end of standard input the question is answered with its refusal (No, or Quit).
int ComChk(char *out, int promptType, int limit);

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
void ReportTextAdd(ReportText *report, const char *format, ...);
// Prints the report as one plain console message and empties it.
void ReportTextPrint(ReportText *report);

struct ContData;
// Checks that every listed slot holds a disk on every selected controller; reports the first that
// does not and returns 0, so a command ends before any output or action.
int CheckPdsExist(const ContData *records, const uint8_t *adapters, unsigned adapterCount, const uint8_t *slots,
                  unsigned slotCount);

// Builds "%d" followed by ",%d" for each further number; returns the length.
int JoinNumbers(char *out, size_t size, const uint8_t *numbers, unsigned count);

#endif
