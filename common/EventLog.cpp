// OS event reporting: reads the event table from zav_config.csv and writes events into the
// Windows application event log under the monitoring service's source "zavservice".
#include "common/EventLog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/dll_mod.h"
#include "common/raidctl.h"

static const char kEventSourceName[] = "zavservice";
static const char kEventConfigName[] = "zav_config.csv";

enum {
    EVENT_LINE_SIZE = 512,
    EVENT_PATH_SIZE = 261,
    EVENT_FIELD_MAX = 10,
    FIELD_EVENT_CODE = 2,
    FIELD_SUPPRESSED = 3,
    FIELD_KIND = 4,
    FIELD_TEXT = 9,
    TEST_EVENT_TEXT_MAX = 511
};

static EventInfo g_eventTable[EVENT_TABLE_MAX];
static unsigned g_eventCount;
static int g_lastReadError;

static EventLogSeam g_seam = *WindowsEventLogSeam();

void SetEventLogSeam(const EventLogSeam *seam)
{
    g_seam = seam ? *seam : *WindowsEventLogSeam();
}

// ---------------------------------------------------------------------------------------------
// What the user is told (console texts unless the graphical tool installed its own notifier)
// ---------------------------------------------------------------------------------------------
static void ConsoleNotice(int notice, uint32_t value)
{
    switch (notice) {
    case EVENTLOG_WINDOWS_API_ERROR:
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred with Windows API. (code=0x%X)", (unsigned)value);
        break;
    case EVENTLOG_TEST_EVENT_REGISTERED:
        ZAV_REPORT(REPORT_BOTH, "Information - Test Event has been registered as OS event log.\n"
                                "Please check it with OS event viewer.");
        break;
    default:
        break;
    }
}

static EventLogNotifier g_notifier = ConsoleNotice;

void SetEventLogNotifier(EventLogNotifier notifier)
{
    g_notifier = notifier ? notifier : ConsoleNotice;
}


// ---------------------------------------------------------------------------------------------
// Event table
// ---------------------------------------------------------------------------------------------
void ClearEventTable(void)
{
    memset(g_eventTable, 0, sizeof(g_eventTable));
    g_eventCount = 0;
}

unsigned EventTableCount(void)
{
    return g_eventCount;
}

const EventInfo *EventTableEntry(unsigned index)
{
    return index < g_eventCount ? &g_eventTable[index] : NULL;
}

static int IsFieldSeparator(char c)
{
    return c == ',' || c == '\t' || c == '\n' || c == '\r';
}

// Splits the line in place at runs of separators; empty fields do not count.
static unsigned SplitFields(char *line, char *fields[], unsigned maxFields)
{
    unsigned count = 0;
    char *p = line;
    while (*p != '\0' && count < maxFields) {
        while (*p != '\0' && IsFieldSeparator(*p)) {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        fields[count++] = p;
        while (*p != '\0' && !IsFieldSeparator(*p)) {
            p++;
        }
        if (*p != '\0') {
            *p++ = '\0';
        }
    }
    return count;
}

// Whole decimal number of the field, or -1 when the field is missing or not a number.
static long FieldNumber(char *fields[], unsigned count, unsigned index)
{
    if (index >= count) {
        return -1;
    }
    char *end = NULL;
    unsigned long value = strtoul(fields[index], &end, 10);
    if (end == fields[index] || *end != '\0' || fields[index][0] == '-' || value > 0x7FFFFFFFUL) {
        return -1;
    }
    return (long)value;
}

// Fills one entry from a split line. Returns 1 when the entry passes the checks.
static int ParseEventLine(char *fields[], unsigned count, EventInfo *entry)
{
    long code = FieldNumber(fields, count, FIELD_EVENT_CODE);
    long suppressed = FieldNumber(fields, count, FIELD_SUPPRESSED);
    long kind = FieldNumber(fields, count, FIELD_KIND);
    memset(entry, 0, sizeof(*entry));
    entry->eventCode = code < 0 ? 0 : (uint32_t)code;
    if (count > FIELD_TEXT) {
        strncpy(entry->text, fields[FIELD_TEXT], EVENT_TEXT_SIZE - 1);
    }
    if (kind < EVENT_KIND_MIN || kind > EVENT_KIND_MAX || suppressed < 0 || suppressed > 1 ||
        entry->text[0] == '\0') {
        return 0;
    }
    entry->kind = (uint16_t)kind;
    entry->suppressed = (uint8_t)suppressed;
    return 1;
}

// Reads one line into buf; the rest of a line longer than the buffer is skipped so that it is
// not taken for a line of its own.
static int ReadConfigLine(FILE *file, char *buf, int size)
{
    if (fgets(buf, size, file) == NULL) {
        return 0;
    }
    size_t length = strlen(buf);
    if (length > 0 && buf[length - 1] != '\n' && !feof(file)) {
        int c;
        while ((c = fgetc(file)) != EOF && c != '\n') {
        }
    }
    return 1;
}

int ReadEventInfoFile(const char *path)
{
    FILE *file = fopen(path, "r");
    g_lastReadError = EVENT_READ_OK;
    if (file == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "ReadEventInfo", "ZAVConfigFile open error");
        g_lastReadError = EVENT_READ_OPEN_ERROR;
        return 0;
    }
    char line[EVENT_LINE_SIZE];
    unsigned lineNo = 0;
    int status = 1;
    while (g_eventCount < EVENT_TABLE_MAX && ReadConfigLine(file, line, sizeof(line))) {
        lineNo++;
        if (line[0] == '#') {
            continue;
        }
        char *fields[EVENT_FIELD_MAX];
        unsigned count = SplitFields(line, fields, EVENT_FIELD_MAX);
        if (count == 0) {
            continue;  // a blank line carries no event
        }
        if (!ParseEventLine(fields, count, &g_eventTable[g_eventCount])) {
            memset(&g_eventTable[g_eventCount], 0, sizeof(EventInfo));
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, line=%u", "ReadEventInfo", "ZAVConfigFile format error", lineNo);
            status = 0;
            g_lastReadError = EVENT_READ_FORMAT_ERROR;
            break;
        }
        g_eventCount++;
    }
    fclose(file);
    return status;
}

int ReadEventInfo(void)
{
    char installDir[EVENT_PATH_SIZE] = "";
    char path[EVENT_PATH_SIZE + sizeof(kEventConfigName)];
    if (!g_seam.readInstallDir(installDir, sizeof(installDir) - 1)) {
        installDir[0] = '\0';
    }
    installDir[sizeof(installDir) - 1] = '\0';
    snprintf(path, sizeof(path), "%s%s", installDir, kEventConfigName);
    return ReadEventInfoFile(path);
}

int LastEventReadError(void)
{
    return g_lastReadError;
}

uint32_t EventIdOfKind(unsigned kind)
{
    if (kind < 12) {
        return kind >= EVENT_KIND_MIN ? 0xE0000000u + kind : 0;
    }
    if (kind <= 20) {
        return 0xA0000000u + kind;
    }
    return kind <= EVENT_KIND_MAX ? 0x60000000u + kind : 0;
}

uint16_t EventTypeOfId(uint32_t eventId)
{
    switch (eventId >> 30) {
    case 1:
        return EVENT_TYPE_INFORMATION;
    case 2:
        return EVENT_TYPE_WARNING;
    default:
        return EVENT_TYPE_ERROR;
    }
}

const EventInfo *FindEventInfo(uint32_t eventCode, uint32_t *eventId)
{
    for (unsigned i = 0; i < g_eventCount; i++) {
        if (g_eventTable[i].eventCode == eventCode) {
            if (eventId != NULL) {
                *eventId = EventIdOfKind(g_eventTable[i].kind);
            }
            return &g_eventTable[i];
        }
    }
    return NULL;
}

// ---------------------------------------------------------------------------------------------
// Reporting
// ---------------------------------------------------------------------------------------------
static void ReportWindowsApiError(const char *what, uint8_t contNo, uint32_t errorCode)
{
    char detail[256];
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "XeltLogEvent", what, (unsigned)contNo);
    if (g_seam.systemErrorText(errorCode, detail, sizeof(detail))) {
        ZAV_TRACE(ZAV_ERR, "func=%s: code=%u %s", "XeltLogEvent", (unsigned)errorCode, detail);
    }
    g_notifier(EVENTLOG_WINDOWS_API_ERROR, errorCode);
}

// System error of the last event the event log refused.
static uint32_t g_lastEventError;

int XeltLogEvent(uint8_t contNo, uint32_t eventId, uint16_t stringCount, const char **strings,
                 uint32_t dataSize, const void *data)
{
    void *source = g_seam.registerSource(kEventSourceName);
    if (source == NULL) {
        g_lastEventError = g_seam.lastError();
        ReportWindowsApiError("RegisterEventSource error", contNo, g_lastEventError);
        return 0;
    }
    int reported = g_seam.reportEvent(source, EventTypeOfId(eventId), 0, eventId, stringCount, strings,
                                      dataSize, data);
    if (!reported) {
        g_lastEventError = g_seam.lastError();
        ReportWindowsApiError("ReportEvent error", contNo, g_lastEventError);
    }
    g_seam.deregisterSource(source);
    return reported ? 1 : 0;
}

// The four texts of a test event: local time, the fixed "FFFFFFFF", the table's text, the code.
static int ReportTestEventTexts(const EventInfo *entry, uint32_t eventId, uint32_t eventCode)
{
    EventClock now;
    char timeText[32];
    char codeText[16];
    char eventText[TEST_EVENT_TEXT_MAX + 1];
    g_seam.localTime(&now);
    snprintf(timeText, sizeof(timeText), "%04d/%02d/%02d %02d:%02d:%02d", now.year, now.month, now.day,
             now.hour, now.minute, now.second);
    snprintf(eventText, sizeof(eventText), "%s", entry->text);
    snprintf(codeText, sizeof(codeText), "%06u", (unsigned)eventCode);
    const char *strings[4] = {timeText, "FFFFFFFF", eventText, codeText};
    return XeltLogEvent(EVENT_CONTNO_NONE, eventId, 4, strings, 0, NULL);
}

int RaiseTestEvent(const char *caller, uint32_t eventCode)
{
    ReadEventInfo();
    uint32_t eventId = 0;
    const EventInfo *entry = FindEventInfo(eventCode, &eventId);
    if (entry == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, eventCode=%u", caller, "pEvt_Info is NULL", (unsigned)eventCode);
        return 0;
    }
    if (entry->suppressed) {
        return 0;
    }
    ReportTestEventTexts(entry, eventId, eventCode);
    g_notifier(EVENTLOG_TEST_EVENT_REGISTERED, eventCode);
    ZAV_TRACE("", "func=%s: %s, eventCode=%u", caller, "XeltLogEvent finish", (unsigned)eventCode);
    return 1;
}

int ReportTestEvent(const char *caller, uint32_t eventCode, uint32_t *systemError)
{
    *systemError = 0;
    uint32_t eventId = 0;
    const EventInfo *entry = FindEventInfo(eventCode, &eventId);
    if (entry == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, eventCode=%u", caller, "pEvt_Info is NULL", (unsigned)eventCode);
        return 0;
    }
    if (entry->suppressed)
        return 0;
    if (!ReportTestEventTexts(entry, eventId, eventCode)) {
        *systemError = g_lastEventError;
        return -1;
    }
    return 1;
}
