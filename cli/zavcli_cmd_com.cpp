// Shared argument handling and console dialogue of zavcli: selectors, the option parser of the
// handlers and ComChk, the one routine that asks the user a question.
#include "cli/zavcli_cmd_com.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

// ---------------------------------------------------------------------------------------------
// Selectors
// ---------------------------------------------------------------------------------------------

static int IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

static void SortAscending(uint8_t *list, unsigned size)
{
    for (unsigned i = 0; i + 1 < size; i++) {
        for (unsigned j = i + 1; j < size; j++) {
            if (list[j] < list[i]) {
                uint8_t t = list[i];
                list[i] = list[j];
                list[j] = t;
            }
        }
    }
}

static int ListHolds(const uint8_t *list, unsigned used, unsigned value)
{
    for (unsigned i = 0; i < used; i++) {
        if (list[i] == value)
            return 1;
    }
    return 0;
}

unsigned SelCount(const uint8_t *list, unsigned size)
{
    unsigned n = 0;
    while (n < size && list[n] != SEL_EMPTY)
        n++;
    return n;
}

// The characters after "a" are read before any number is judged: numbers without a leading zero
// (a lone 0 is fine), each comma between two of them.
static int AdapterListWellFormed(const char *p)
{
    for (;;) {
        if (!IsDigit(*p) || (p[0] == '0' && IsDigit(p[1])))
            return 0;
        while (IsDigit(*p))
            p++;
        if (*p == '\0')
            return 1;
        if (*p != ',')
            return 0;
        p++;
    }
}

int GetAdapterNo(const char *selector, uint8_t adapters[ADAPTER_LIST_SIZE], uint16_t contCount)
{
    ZAV_TRACE("", "func=%s: selector=%s, contCount=%u", "GetAdapterNo", selector, (unsigned)contCount);
    memset(adapters, SEL_EMPTY, ADAPTER_LIST_SIZE);

    if (strcmp(selector, "aall") == 0) {
        for (unsigned i = 0; i < contCount && i < ADAPTER_LIST_SIZE; i++)
            adapters[i] = (uint8_t)i;
        return ADP_OK;
    }
    if (selector[0] == '\0') {
        if (contCount == 1) {
            adapters[0] = 0;
            return ADP_OK;
        }
        ZAV_REPORT(REPORT_BOTH, "Error - There are multiple RAID controllers. Please set the RAID controller number.");
        return ADP_MULTIPLE;
    }
    if (selector[0] != 'a' || selector[1] == '\0')
        return ADP_SYNTAX;

    if (!AdapterListWellFormed(selector + 1))
        return ADP_SYNTAX;

    unsigned used = 0;
    const char *p = selector + 1;
    for (;;) {
        unsigned value = 0;
        while (IsDigit(*p)) {
            if (value < 1000)
                value = value * 10 + (unsigned)(*p - '0');
            p++;
        }
        if (ListHolds(adapters, used, value) || value > 3)
            return ADP_SYNTAX;
        if (value >= contCount) {
            memset(adapters, SEL_EMPTY, ADAPTER_LIST_SIZE);
            adapters[0] = (uint8_t)value;
            return ADP_NOT_FOUND;
        }
        adapters[used++] = (uint8_t)value;
        if (*p == '\0' || used == ADAPTER_LIST_SIZE)
            break;
        p++; // the comma
    }
    SortAscending(adapters, ADAPTER_LIST_SIZE);
    return ADP_OK;
}

int GetLogicalDriveNo(const char *selector, uint8_t lds[LD_LIST_SIZE])
{
    ZAV_TRACE("", "func=%s: selector=%s", "GetLogicalDriveNo", selector);
    if (selector[0] == '\0' || strcmp(selector, "lall") == 0) {
        for (unsigned i = 0; i < LD_LIST_SIZE; i++)
            lds[i] = (uint8_t)i;
        return 1;
    }
    if (selector[0] != 'l')
        return 0;
    if (selector[1] == '\0')
        return 1;

    uint8_t list[LD_LIST_SIZE];
    memset(list, SEL_EMPTY, sizeof(list));
    unsigned used = 0;
    const char *p = selector + 1;
    for (;;) {
        unsigned digits = 0, value = 0;
        while (IsDigit(*p) && digits < 3) {
            value = value * 10 + (unsigned)(*p - '0');
            digits++;
            p++;
        }
        if (digits == 0 || digits > 2 || value > 63 || ListHolds(list, used, value))
            return 0;
        if (used == LD_LIST_SIZE)
            return 0;
        list[used++] = (uint8_t)value;
        if (*p == '\0')
            break;
        if (*p != ',' || p[1] == '\0')
            return 0;
        p++;
    }
    memcpy(lds, list, sizeof(list));
    return 1;
}

int GetPhysicalDriveNo(const char *selector, uint8_t slots[PD_LIST_SIZE], int sortFlag)
{
    ZAV_TRACE("", "func=%s: selector=%s", "GetPhysicalDriveNo", selector);
    memset(slots, SEL_EMPTY, PD_LIST_SIZE);
    if (selector[0] == '\0') {
        for (unsigned i = 0; i < PD_LIST_SIZE; i++)
            slots[i] = (uint8_t)i;
        return 1;
    }
    if (strchr(selector, ':') == NULL)
        return 0;

    size_t len = strlen(selector);
    unsigned used = 0;
    const char *element = selector;
    for (;;) {
        // Each element is "{enclosure}:slot"; only the slot after the colon is read.
        const char *colon = strchr(element, ':');
        const char *comma = strchr(element, ',');
        if (colon == NULL || (comma != NULL && comma < colon))
            return 0;
        const char *p = colon + 1;
        unsigned digits = 0, value = 0;
        while (IsDigit(*p) && digits < 4) {
            value = value * 10 + (unsigned)(*p - '0');
            digits++;
            p++;
        }
        if (digits == 0 || digits > 3)
            return 0;
        int last = (*p == ']' && (size_t)(p - selector) == len - 1);
        if (*p != ',' && !last)
            return 0;
        // 255 marks an empty place and 256 has no place in the list: neither names a slot.
        if (value >= SEL_EMPTY || ListHolds(slots, used, value) || used >= SEL_EMPTY)
            return 0;
        slots[used++] = (uint8_t)value;
        if (last)
            break;
        element = p + 1;
    }
    if (sortFlag)
        SortAscending(slots, PD_LIST_SIZE);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Console questions
// ---------------------------------------------------------------------------------------------

enum { CONSOLE_LINE_MAX = 65536 };

static int ReadStdinLine(char *line, unsigned size)
{
    unsigned n = 0;
    int c;
    int any = 0;
    FlushConsoleOutput(); // the question must show before the answer is read
    while ((c = fgetc(stdin)) != EOF) {
        any = 1;
        if (n + 1 < size)
            line[n++] = (char)c;
        if (c == '\n')
            break;
    }
    line[n] = '\0';
    return any;
}

static ConsoleReader g_consoleReader = ReadStdinLine;

void SetConsoleReader(ConsoleReader reader)
{
    g_consoleReader = reader ? reader : ReadStdinLine;
}

int ReadConsoleAnswer(char *line, unsigned size)
{
    line[0] = '\0';
    if (size == 0 || !g_consoleReader(line, size))
        return 0;
    size_t n = strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        line[--n] = '\0';
    return 1;
}

// Reads one answer with its line end removed; 0 at the end of input.
static int ReadAnswer(char *line)
{
    return ReadConsoleAnswer(line, CONSOLE_LINE_MAX);
}

static int IsLetter(const char *line, char lower)
{
    return line[1] == '\0' && (line[0] == lower || line[0] == lower - 'a' + 'A');
}

static void ReportInvalidAnswer(const char *line)
{
    ZAV_REPORT(REPORT_CONSOLE, "\"%s\" is invalid.\n", line);
}

static const char *YesNoPromptText(int promptType)
{
    switch (promptType) {
    case PROMPT_DIFFERENT_PD_SIZE:
        return "Warning - Some PDs(Physical Drives) have different capacity.\nCreate the LD[s](Logical Drive[s])?(Y/N)?";
    case PROMPT_WRITE_BACK_POWER_FAILURE:
        return "Warning - Changing to \"Always Write Back\" !\nWhen power failure occurs, cached data may be lost.\n"
               "Please hook up this RAID system to UPS.\nProceed with the setting?(Y/N)?";
    case PROMPT_WRITE_BACK_BACKUP_CAPACITY:
        return "Warning - Changing to \"Always Write Back\"!\nWhen Cache Backup capacity is not enough, cached data may be lost.\n"
               "\"Write Back with Cache Backup\" is better.\nProceed with the setting?(Y/N)?";
    case PROMPT_DATA_LOST:
        return "All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?";
    case PROMPT_PROCEED_DELETE:
        return "Proceed with delete?(Y/N)?";
    case PROMPT_PATROL_READ_OFF:
        return "Warning - In case of disabling Automatic Patrol Read, cannot keep PDs(Physical Drives) safe.\n"
               "Proceed with the setting?(Y/N)?";
    case PROMPT_CTRL_WRITE_BACK_BACKUP_CAPACITY:
        return "Warning - Changing to Always Write Back !\nWhen Cache Backup capacity is not enough, cached data may be lost.\n"
               "\"Write Back with Cache Backup\" is better.\nProceed with the setting?(Y/N)?";
    case PROMPT_CTRL_WRITE_BACK_POWER_FAILURE:
        return "Warning - Changing to Always Write Back !\nWhen power failure occurs, cached data may be lost.\n"
               "Please hook up this RAID system to UPS.\nProceed with the setting?(Y/N)?";
    case PROMPT_RAID_LOG_OVERWRITE:
        return "Information - RAID log already exists.\nDoes it overwrite?(Y/N)?";
    case PROMPT_GHS_OTHER_INTERFACE:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Interface "
               "Type(SAS/SATA) configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case PROMPT_GHS_OTHER_MEDIA:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Media "
               "Type(HDD/SSD) configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case PROMPT_GHS_SMALLER:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with lower capacity than "
               "other configured PDs(Physical Drives), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case PROMPT_RELEASE_WITH_LDS:
        return "LD[s](Logical Drive[s]) exists.\nRelease the allocation?(Y/N)?";
    case PROMPT_ENABLE_SNAPSHOT:
        return "Proceed with enabling Snapshot?(Y/N)?";
    case PROMPT_DISABLE_SNAPSHOT:
        return "Proceed with disabling Snapshot?(Y/N)?";
    case PROMPT_UPDATE_OLDEST_SNAPSHOT:
        return "Warning - The oldest Snapshot will be updated.\nProceed with the creation?(Y/N)?";
    case PROMPT_DELETE_OLDEST_SNAPSHOT:
        return "Warning - All data on the oldest Snapshot will be lost.\nProceed with the delete?(Y/N)?";
    case PROMPT_CACHECADE_DIFFERENT_PD_SIZE:
        return "Warning - Some PD[s] (Physical Drive[s]) have different capacity.\nCreate the CacheCade LD (Logical Drive)?(Y/N?)";
    case PROMPT_AUTO_REBUILD_OFF:
        return "Warning - In case of disabling Automatic Rebuild, the rebuild after error doesn't automatically start.\n"
               "Proceed with the setting?(Y/N)?";
    default:
        return "Is it executed?(Y/N)?";
    }
}

static int AskYesNo(char *line, const char *prompt)
{
    for (;;) {
        ZAV_REPORT(REPORT_CONSOLE, "%s", prompt);
        if (!ReadAnswer(line))
            return 0;
        if (IsLetter(line, 'y'))
            return 1;
        if (IsLetter(line, 'n'))
            return 0;
    }
}

static int AskMenuNumber(char *line, int limit)
{
    for (;;) {
        ZAV_REPORT(REPORT_CONSOLE, "Please input number or Q : ");
        if (!ReadAnswer(line))
            return 0;
        if (line[1] == '\0' && line[0] >= '1' && line[0] <= '4' && line[0] - '0' <= limit)
            return line[0] - '0';
        if (IsLetter(line, 'q'))
            return 0;
        ReportInvalidAnswer(line);
    }
}

static int AskLdList(char *out, char *line, int limit)
{
    const char *prompt = limit != 0
        ? "Multiple selection is available by using a comma(1,2\x81\x63).\nLD No.(\"Q\"->Quit / Not selected->Finish) : "
        : "Multiple selection is available by using a comma(1,2\x81\x63).\nLD No.(\"Q\"->Quit) : ";
    static char selector[CONSOLE_LINE_MAX + 1];
    for (;;) {
        ZAV_REPORT(REPORT_CONSOLE, "%s", prompt);
        if (!ReadAnswer(line))
            return 0;
        if (line[0] == '\0') {
            if (limit != 0)
                return 2;
            continue;
        }
        if (IsLetter(line, 'q'))
            return 0;
        selector[0] = 'l';
        strcpy(selector + 1, line);
        uint8_t lds[LD_LIST_SIZE];
        memset(lds, SEL_EMPTY, sizeof(lds));
        if (GetLogicalDriveNo(selector, lds)) {
            memcpy(out, lds, sizeof(lds));
            return 1;
        }
        ReportInvalidAnswer(line);
    }
}

static int AskLdNumber(const char *allowed, char *line)
{
    ZAV_REPORT(REPORT_CONSOLE, "(B)Back\n(M)Back to Menu\n(Q)Quit\nPlease input LD No. or B or M or Q : ");
    for (;;) {
        if (!ReadAnswer(line))
            return NAV_QUIT;
        if (IsLetter(line, 'b'))
            return NAV_BACK;
        if (IsLetter(line, 'm'))
            return NAV_MENU;
        if (IsLetter(line, 'q'))
            return NAV_QUIT;
        if (line[0] != '\0') {
            int number = -1;
            if (IsDigit(line[0]) && line[1] == '\0')
                number = line[0] - '0';
            else if (line[0] >= '1' && line[0] <= '6' && IsDigit(line[1]) && line[2] == '\0')
                number = (line[0] - '0') * 10 + (line[1] - '0');
            if (number >= 0 && ListHolds((const uint8_t *)allowed, LD_LIST_SIZE, (unsigned)number))
                return number;
            ReportInvalidAnswer(line);
        }
        ZAV_REPORT(REPORT_CONSOLE, "Please input LD No. or B or M or Q : ");
    }
}

static int AskSnapshotOption(char *line, int promptType)
{
    int autoDelete = (promptType == PROMPT_SNAP_AUTO_DELETE);
    ZAV_REPORT(REPORT_CONSOLE, "%s",
               autoDelete ? "\n< Auto Deletion of oldest Snapshot >\n(1)Disabled\n(2)Enabled\n(B)Back\n(M)Back to Menu\n(Q)Quit\n"
                            "Please input number or B or M or Q(Not selected->(2)) : "
                          : "\n< Snapshot on Reboot >\n(1)Disabled\n(2)Enabled\n(B)Back\n(M)Back to Menu\n(Q)Quit\n"
                            "Please input number or B or M or Q(Not selected->(1)) : ");
    for (;;) {
        if (!ReadAnswer(line))
            return 4;
        if (line[0] == '\0')
            return autoDelete ? 1 : 0;
        if (strcmp(line, "1") == 0)
            return 0;
        if (strcmp(line, "2") == 0)
            return 1;
        if (IsLetter(line, 'b'))
            return 2;
        if (IsLetter(line, 'm'))
            return 3;
        if (IsLetter(line, 'q'))
            return 4;
        ReportInvalidAnswer(line);
        ZAV_REPORT(REPORT_CONSOLE, "%s",
                   autoDelete ? "Please input number or B or M or Q(Not selected->(2)) : "
                              : "Please input number or B or M or Q(Not selected->(1)) : ");
    }
}

static char g_line[CONSOLE_LINE_MAX + 1];

int ComChk(char *out, int promptType, int limit)
{
    char *line = g_line;
    ZAV_TRACE("", "func=%s: type=%d, limit=%d", "ComChk", promptType, limit);
    switch (promptType) {
    case PROMPT_MENU_NUMBER:
        return AskMenuNumber(line, limit);
    case PROMPT_LD_LIST:
        return AskLdList(out, line, limit);
    case PROMPT_LD_NAVIGATE:
        return AskLdNumber(out, line);
    case PROMPT_SNAP_AUTO_DELETE:
    case PROMPT_SNAP_ON_REBOOT:
        return AskSnapshotOption(line, promptType);
    default:
        return AskYesNo(line, YesNoPromptText(promptType));
    }
}

// The creation dialogues read into a buffer of their own, so their last answer stays at hand
// (a step that sends the user back names it) whatever ComChk asked in between.
static char g_dialogueAnswer[CONSOLE_LINE_MAX + 1];

int ComChkYesNoText(const char *text)
{
    return AskYesNo(g_dialogueAnswer, text);
}

void ConsoleOut(const char *format, ...)
{
    char screen[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(screen, sizeof(screen), format, args);
    va_end(args);
    WriteConsoleText(screen);
}

int ComChkAnswer(const char *prompt, const char **answer)
{
    ConsoleOut("%s", prompt);
    *answer = g_dialogueAnswer;
    if (!ReadAnswer(g_dialogueAnswer))
        return CHOICE_QUIT;
    if (IsLetter(g_dialogueAnswer, 'b'))
        return CHOICE_BACK;
    if (IsLetter(g_dialogueAnswer, 'q'))
        return CHOICE_QUIT;
    return CHOICE_ANSWERED;
}

const char *ComChkLastAnswer(void)
{
    return g_dialogueAnswer;
}

void ComChkInvalid(const char *answer)
{
    ConsoleOut("\"%s\" is invalid.\n", answer);
}

int ComChkChoice(const char *prompt, int max, int defaultChoice, int twoDigits)
{
    char *answer = g_dialogueAnswer;
    for (;;) {
        ConsoleOut("%s", prompt);
        if (!ReadAnswer(answer))
            return CHOICE_QUIT;
        if (answer[0] == '\0' && defaultChoice > 0)
            return defaultChoice;
        if (IsLetter(answer, 'b'))
            return CHOICE_BACK;
        if (IsLetter(answer, 'q'))
            return CHOICE_QUIT;
        size_t len = strlen(answer);
        int allowedLen = (max > 9 || twoDigits) ? 2 : 1;
        if (len >= 1 && (int)len <= allowedLen && strspn(answer, "0123456789") == len &&
            (twoDigits || answer[0] != '0')) {
            int value = atoi(answer);
            if (value >= 1 && value <= max)
                return value;
        }
        ComChkInvalid(answer);
    }
}

// ---------------------------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------------------------

int NormalizeOption(const char *arg, char *out, size_t size)
{
    if (size == 0)
        return 0;
    if (arg[0] == '-')
        arg++;
    size_t n = 0;
    for (; arg[n] != '\0' && n + 1 < size; n++) {
        char c = arg[n];
        out[n] = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
    }
    out[n] = '\0';
    return (int)n;
}

int ReportInvalidToken(const char *token)
{
    ZAV_REPORT(REPORT_BOTH, "Error - Invalid input at or near token %s.", token);
    return -1;
}

int OptGiven(const CliArgs *args, int i)
{
    return i >= 0 && i < CLI_MAX_OPTIONS && args->at[i] != 0;
}

static int FindKeyword(const CliOption *table, unsigned rows, const char *word)
{
    for (unsigned i = 0; i < rows && i < CLI_MAX_OPTIONS; i++) {
        if (strcmp(table[i].keyword, word) == 0)
            return (int)i;
    }
    return -1;
}

static int GroupTaken(const CliOption *table, unsigned rows, const CliArgs *args, int group)
{
    for (unsigned i = 0; i < rows && i < CLI_MAX_OPTIONS; i++) {
        if (table[i].group == group && args->at[i] != 0)
            return 1;
    }
    return 0;
}

// Records a selector; 0 when the selector was already given.
static int TakeSelector(int *at, char *text, const char *normalised, int index)
{
    if (*at != 0)
        return 0;
    *at = index;
    snprintf(text, CLI_SELECTOR_TEXT, "%s", normalised);
    return 1;
}

// A malformed PD list is refused where it stands, like an unknown option after it would be.
static int PdListWellFormed(const char *list)
{
    static uint8_t slots[PD_LIST_SIZE];
    return GetPhysicalDriveNo(list, slots, 0);
}

int ParseCliOptions(int argc, char **argv, const CliOption *table, unsigned rows, unsigned selectors,
                    CliArgs *args)
{
    memset(args, 0, sizeof(*args));
    char word[CLI_SELECTOR_TEXT];
    for (int i = 2; i < argc; i++) {
        NormalizeOption(argv[i], word, sizeof(word));
        int k = FindKeyword(table, rows, word);
        if (k >= 0) {
            if (args->at[k] != 0 || (table[k].group != 0 && GroupTaken(table, rows, args, table[k].group))) {
                ReportInvalidToken(argv[i - 1]);
                return 0;
            }
            args->at[k] = i;
            args->optionCount++;
            if (table[k].takesValue) {
                if (i + 1 >= argc) {
                    ReportInvalidToken(argv[i]);
                    return 0;
                }
                args->value[k] = argv[++i];
            }
            continue;
        }
        int taken = 0;
        if ((selectors & SEL_ADAPTER) && word[0] == 'a')
            taken = TakeSelector(&args->adapterAt, args->adapterSel, word, i);
        else if ((selectors & SEL_LD) && word[0] == 'l')
            taken = TakeSelector(&args->ldAt, args->ldSel, word, i);
        else if ((selectors & SEL_PD) && strncmp(word, "pd[", 3) == 0)
            taken = TakeSelector(&args->pdAt, args->pdSel, word + 2, i) && PdListWellFormed(word + 2);
        if (!taken) {
            ReportInvalidToken(argv[i - 1]);
            return 0;
        }
    }
    return 1;
}

int SelectAdapters(int argc, char **argv, const CliArgs *args, uint16_t contCount,
                   uint8_t adapters[ADAPTER_LIST_SIZE])
{
    (void)argc;
    switch (GetAdapterNo(args->adapterSel, adapters, contCount)) {
    case ADP_OK:
        return 1;
    case ADP_NOT_FOUND:
        ZAV_REPORT(REPORT_BOTH, "Error - The specified Controller %d: doesn't exist.", (int)adapters[0]);
        return 0;
    case ADP_MULTIPLE:
        return 0; // GetAdapterNo has reported it
    default:
        ReportInvalidToken(argv[args->adapterAt - 1]);
        return 0;
    }
}

void ReportDoneList(const char *format, uint8_t contNo, const uint8_t *done, unsigned doneCount)
{
    char list[PD_LIST_SIZE * 4 + 1];
    if (doneCount == 0)
        return;
    JoinNumbers(list, sizeof(list), done, doneCount);
    ZAV_REPORT(REPORT_BOTH, format, contNo, list);
}

int JoinNumbers(char *out, size_t size, const uint8_t *numbers, unsigned count)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    size_t len = 0;
    for (unsigned i = 0; i < count && len < size; i++) {
        int n = snprintf(out + len, size - len, i == 0 ? "%d" : ",%d", (int)numbers[i]);
        if (n < 0)
            break;
        len += (size_t)n;
    }
    if (len >= size)
        len = size - 1;
    return (int)len;
}

void ReportTextReset(ReportText *report)
{
    report->text[0] = '\0';
    report->length = 0;
}

void ReportTextAdd(ReportText *report, const char *format, ...)
{
    size_t room = sizeof(report->text) - report->length;
    if (room <= 1)
        return;
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(report->text + report->length, room, format, ap);
    va_end(ap);
    if (n < 0)
        return;
    report->length += (size_t)n < room ? (size_t)n : room - 1;
}

int CheckPdsExist(const ContData *records, const uint8_t *adapters, unsigned adapterCount, const uint8_t *slots,
                  unsigned slotCount)
{
    for (unsigned a = 0; a < adapterCount; ++a) {
        for (unsigned i = 0; i < slotCount; ++i) {
            if (!MorePdIsDisk(&records[adapters[a]], slots[i])) {
                ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", adapters[a],
                           "Physical Drive", slots[i]);
                return 0;
            }
        }
    }
    return 1;
}

void ReportTextPrint(ReportText *report)
{
    ZAV_REPORT(REPORT_CONSOLE, "%s", report->text);
    ReportTextReset(report);
}

// ---------------------------------------------------------------------------------------------
// Selections and menus the handlers share
// ---------------------------------------------------------------------------------------------
void ReportTextWrite(ReportText *report)
{
    if (report->length > 0)
        WriteConsoleText(report->text);
    ReportTextReset(report);
}

int ResolveLdSelection(const ContData *record, uint8_t contNo, const CliArgs *args, uint8_t targets[64],
                       unsigned *count, int *explicitList)
{
    uint8_t listed[LD_LIST_SIZE];
    memset(listed, SEL_EMPTY, sizeof(listed));
    *count = 0;
    int isExplicit = args->ldSel[0] != '\0' && strcmp(args->ldSel, "lall") != 0;
    if (explicitList)
        *explicitList = isExplicit;
    if (!GetLogicalDriveNo(args->ldSel, listed))
        return 0;
    unsigned listedCount = SelCount(listed, LD_LIST_SIZE);
    for (unsigned i = 0; i < listedCount; ++i) {
        if (MoreLdExists(record, listed[i])) {
            targets[(*count)++] = listed[i];
        } else if (isExplicit) {
            ZAV_REPORT(REPORT_BOTH, "Error - Controller[%d] The specified %s %d: doesn't exist.", contNo,
                       "Logical Drive", listed[i]);
            return 0;
        }
    }
    return 1;
}

int CheckLdSelectorSyntax(char **argv, const CliArgs *args)
{
    uint8_t listed[LD_LIST_SIZE];
    // "-L" without a number names no LD at all.
    if (args->ldAt != 0 && (strcmp(args->ldSel, "l") == 0 || !GetLogicalDriveNo(args->ldSel, listed))) {
        ReportInvalidToken(argv[args->ldAt - 1]);
        return 0;
    }
    return 1;
}


int ReportMissingOption(int argc, char **argv)
{
    return ReportInvalidToken(argv[argc - 1]);
}

int OpenControllerDialogue(int argc, char **argv, ContData *records, uint16_t contCount)
{
    CliArgs args;
    if (!ParseCliOptions(argc, argv, NULL, 0, 0, &args))
        return DIALOGUE_INVALID;
    int chosen = AskControllerNumber(records, contCount);
    return chosen < 0 ? DIALOGUE_QUIT : chosen;
}

int AskControllerNumber(ContData *records, uint16_t contCount)
{
    if (contCount <= 1)
        return 0;
    ReportText menu;
    ReportTextReset(&menu);
    ReportTextAdd(&menu, "<< RAID Controller Selection Menu >>\n\n");
    for (uint16_t i = 0; i < contCount && i < SL_MAX_CONTROLLERS; ++i) {
        uint8_t pci[PCI_INFO_SIZE];
        if (SLGetPciInfo((uint8_t)i, pci) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "AskControllerNumber", "SLGetPciInfo error", i);
            return -1;
        }
        char name[81];
        memcpy(name, records[i].ctrlInfo + CI_PRODUCT_NAME, 80);
        name[80] = '\0';
        ReportTextAdd(&menu, "(%d) [%d]:%s(%d)(Bus%d,Dev%d)\n", i + 1, i, name, i, (int)LayoutU32(pci, 0),
                      (int)pci[4]);
    }
    ReportTextAdd(&menu, "(Q) Quit\n\n");
    ReportTextWrite(&menu);
    char answer[LD_LIST_SIZE];
    int choice = ComChk(answer, PROMPT_MENU_NUMBER, contCount);
    return choice == 0 ? -1 : choice - 1;
}

int PreparePdSelection(int argc, char **argv, const ContData *records, uint16_t contCount, const CliArgs *args,
                       int pdRequired, PdSelection *out)
{
    memset(out->slots, SEL_EMPTY, sizeof(out->slots));
    out->slotCount = 0;
    out->adapterCount = 0;
    if (pdRequired && args->pdAt == 0) {
        ReportMissingOption(argc, argv);
        return 0;
    }
    if (!GetPhysicalDriveNo(args->pdSel, out->slots, 0)) {
        ReportInvalidToken(argv[args->pdAt - 1]);
        return 0;
    }
    out->slotCount = SelCount(out->slots, PD_LIST_SIZE);
    if (!SelectAdapters(argc, argv, args, contCount, out->adapters))
        return 0;
    out->adapterCount = SelCount(out->adapters, ADAPTER_LIST_SIZE);
    if (args->pdAt == 0)
        return 1; // every slot: only those that hold a disk are taken
    return CheckPdsExist(records, out->adapters, out->adapterCount, out->slots, out->slotCount);
}

// ---------------------------------------------------------------------------------------------
// Report lines of one PD (pdinfo, and ldpdinfo for the members of an LD)
// ---------------------------------------------------------------------------------------------
enum { PD_SAS_PATHS_MAX = 4 }; // the path addresses end where the raw size begins

void AddPdUsageLine(ReportText *r, const ContData *rec, uint8_t slot)
{
    char usage[512];
    PdUsageText(usage, sizeof(usage), rec, slot);
    if (strcmp(usage, "GHS") == 0) {
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, "GHS:Global Hot Spare");
    } else if (strcmp(usage, "DHS") == 0) {
        char rg[32], text[96];
        PdRaidGroupText(rg, sizeof(rg), rec, slot);
        snprintf(text, sizeof(text), "DHS:Dedicated Hot Spare, %s", rg);
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, text);
    } else {
        ReportTextAdd(r, "%s%d(%s)\r\n", "PD", (int)slot, usage);
    }
}

void AddPdGeneralLines(ReportText *r, uint8_t c, const ContData *rec, uint8_t slot)
{
    const uint8_t *pd = rec->pdInfo[slot];
    char text[64];
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_COERCED_SIZE));
    ReportTextAdd(r, "%s          : %s GB\r\n", "Usable Capacity", text);
    CapacityText(text, sizeof(text), LayoutU64(pd, PI_RAW_SIZE));
    ReportTextAdd(r, "%s             : %s GB\r\n", "Raw Capacity", text);
    ReportTextAdd(r, "%s           : %s\r\n", "Interface Type", InterfaceTypeText(LayoutU16(pd, PI_DDF_TYPE)));
    MediaTypeText(text, sizeof(text), pd);
    ReportTextAdd(r, "%s               : %s\r\n", "Media Type", text);
    FixedFieldText(text, sizeof(text), pd + PI_PRODUCT_ID, 16);
    ReportTextAdd(r, "%s               : %s\r\n", "Product ID", text);
    FixedFieldText(text, sizeof(text), pd + PI_VENDOR_ID, 8);
    ReportTextAdd(r, "%s                : %s\r\n", "Vendor ID", text);
    ReportTextAdd(r, "%s                : %d\r\n", "Device ID", (int)LayoutU16(pd, PI_DEVICE_ID));
    PdStateText(text, sizeof(text), LayoutU16(pd, PI_FW_STATE));
    ReportTextAdd(r, "%s                : %s\r\n", "PD Status", text);
    ReportTextAdd(r, "%s              : %s\r\n", "Drive Speed", LinkSpeedText(pd[PI_DRIVE_SPEED]));
    ReportTextAdd(r, "%s    : %s\r\n", "Negotiated Link Speed", LinkSpeedText(pd[PI_LINK_SPEED]));
    unsigned paths = pd[PI_PATH_COUNT] > PD_SAS_PATHS_MAX ? (unsigned)PD_SAS_PATHS_MAX : pd[PI_PATH_COUNT];
    for (unsigned k = 0; k < paths; k++) {
        SasAddressDigits(text, sizeof(text), LayoutU64(pd, PI_SAS_ADDR + 8 * k));
        ReportTextAdd(r, "SAS Address %d            : 0x%s\r\n", (int)k, text);
    }
    uint8_t supported = 0, celsius = 0;
    if (SLIsTempPageSupported(c, slot, &supported) == 0 && supported && SLGetPDTemperature(c, slot, &celsius) == 0)
        ReportTextAdd(r, "%s              : %d C\r\n", "Temperature", (int)celsius);
    ReportTextAdd(r, "%s             : %s\r\n", "Power Status", PowerStatusText(pd[PI_POWER_STATE]));
    FixedFieldText(text, sizeof(text), pd + PI_REVISION, 4);
    ReportTextAdd(r, "%s           : %s\r\n", "Revision Level", text);
}
