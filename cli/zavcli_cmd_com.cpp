// Shared argument handling and console dialogue of zavcli: selectors, the option parser of the
// handlers and ComChk, the one routine that asks the user a question.
#include "cli/zavcli_cmd_com.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
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
    case 1:
        return "Warning - Some PDs(Physical Drives) have different capacity.\nCreate the LD[s](Logical Drive[s])?(Y/N)?";
    case 2:
        return "Warning - Changing to \"Always Write Back\" !\nWhen power failure occurs, cached data may be lost.\n"
               "Please hook up this RAID system to UPS.\nProceed with the setting?(Y/N)?";
    case 3:
        return "Warning - Changing to \"Always Write Back\"!\nWhen Cache Backup capacity is not enough, cached data may be lost.\n"
               "\"Write Back with Cache Backup\" is better.\nProceed with the setting?(Y/N)?";
    case 4:
        return "All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?";
    case 5:
        return "Proceed with delete?(Y/N)?";
    case 6:
        return "Warning - In case of disabling Automatic Patrol Read, cannot keep PDs(Physical Drives) safe.\n"
               "Proceed with the setting?(Y/N)?";
    case 7:
        return "Warning - Changing to Always Write Back !\nWhen Cache Backup capacity is not enough, cached data may be lost.\n"
               "\"Write Back with Cache Backup\" is better.\nProceed with the setting?(Y/N)?";
    case 8:
        return "Warning - Changing to Always Write Back !\nWhen power failure occurs, cached data may be lost.\n"
               "Please hook up this RAID system to UPS.\nProceed with the setting?(Y/N)?";
    case 9:
        return "Information - RAID log already exists.\nDoes it overwrite?(Y/N)?";
    case 10:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Interface "
               "Type(SAS/SATA) configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case 11:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Media "
               "Type(HDD/SSD) configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case 12:
        return "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with lower capacity than "
               "other configured PDs(Physical Drives), Rebuild/Copyback might not be done correctly.\n"
               "Proceed with the setting?(Y/N)?";
    case 13:
        return "LD[s](Logical Drive[s]) exists.\nRelease the allocation?(Y/N)?";
    case 14:
        return "Proceed with enabling Snapshot?(Y/N)?";
    case 15:
        return "Proceed with disabling Snapshot?(Y/N)?";
    case 16:
        return "Warning - The oldest Snapshot will be updated.\nProceed with the creation?(Y/N)?";
    case 17:
        return "Warning - All data on the oldest Snapshot will be lost.\nProceed with the delete?(Y/N)?";
    case 23:
        return "Warning - Some PD[s] (Physical Drive[s]) have different capacity.\nCreate the CacheCade LD (Logical Drive)?(Y/N?)";
    case 25:
        return "Warning - In case of disabling Automatic Rebuild, the rebuild after error doesn't automatically start.\n"
               "Proceed with the setting?(Y/N)?";
    default:
        return "Is it executed?(Y/N)?";
    }
}

static int AskYesNo(char *line, int promptType)
{
    const char *prompt = YesNoPromptText(promptType);
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

int ComChk(char *out, int promptType, int limit)
{
    static char line[CONSOLE_LINE_MAX + 1];
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
        return AskYesNo(line, promptType);
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
            uint16_t deviceId = 0;
            if (!DeviceOfSlot(&records[adapters[a]], slots[i], &deviceId)) {
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
