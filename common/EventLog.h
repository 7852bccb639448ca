// OS event reporting shared by both management tools: the event table read from zav_config.csv,
// the event-id table by kind, XeltLogEvent over the Windows event log, and the test event.
#ifndef ZAV_COMMON_EVENTLOG_H
#define ZAV_COMMON_EVENTLOG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    EVENT_TABLE_MAX = 330,
    EVENT_TEXT_SIZE = 256,
    EVENT_KIND_MIN = 1,
    EVENT_KIND_MAX = 25,
    EVENT_CONTNO_NONE = 255
};

// Windows event types as ReportEvent takes them.
enum { EVENT_TYPE_ERROR = 1, EVENT_TYPE_WARNING = 2, EVENT_TYPE_INFORMATION = 4 };

// Event codes of the three test events.
enum { TEST_EVENT_ERROR = 60009, TEST_EVENT_WARNING = 60010, TEST_EVENT_INFORMATION = 60011 };

typedef struct EventInfo {
    uint32_t eventCode;
    uint16_t kind;       // 1 to 25, selects the event id
    uint8_t suppressed;  // 1: known but not reported
    char text[EVENT_TEXT_SIZE];
} EventInfo;

typedef struct EventClock {
    uint16_t year, month, day, hour, minute, second;
} EventClock;

// The platform calls behind event reporting, replaceable so tests can script them.
typedef struct EventLogSeam {
    void *(*registerSource)(const char *sourceName);  // null on failure
    int (*reportEvent)(void *source, uint16_t type, uint16_t category, uint32_t eventId,
                       uint16_t stringCount, const char **strings, uint32_t dataSize, const void *data);
    int (*deregisterSource)(void *source);
    uint32_t (*lastError)(void);
    int (*systemErrorText)(uint32_t code, char *out, unsigned size);  // 1 when a text was found
    int (*readInstallDir)(char *out, unsigned size);                  // 1 on success
    void (*localTime)(EventClock *out);
} EventLogSeam;

const EventLogSeam *WindowsEventLogSeam(void);
void SetEventLogSeam(const EventLogSeam *seam);  // null restores the Windows calls

// What event reporting tells the user. The console tool's texts are the default; the graphical
// tool installs its own notifier that shows its message boxes.
enum EventLogNotice {
    EVENTLOG_WINDOWS_API_ERROR = 1,     // value: system error code
    EVENTLOG_TEST_EVENT_REGISTERED = 2  // value: the test event's code
};
typedef void (*EventLogNotifier)(int notice, uint32_t value);
void SetEventLogNotifier(EventLogNotifier notifier); // null restores the console messages

// Event table. Reads append; reading stops once EVENT_TABLE_MAX entries are held.
int ReadEventInfo(void);                      // InstallDir + "zav_config.csv"
int ReadEventInfoFile(const char *path);      // 1: read to the end or table full; 0: open or format error
void ClearEventTable(void);
// What went wrong with the last read, for a tool that tells the user about it.
enum { EVENT_READ_OK = 0, EVENT_READ_OPEN_ERROR = 1, EVENT_READ_FORMAT_ERROR = 2 };
int LastEventReadError(void);
unsigned EventTableCount(void);
const EventInfo *EventTableEntry(unsigned index);

uint32_t EventIdOfKind(unsigned kind);        // 0 for a kind outside 1 to 25
uint16_t EventTypeOfId(uint32_t eventId);
const EventInfo *FindEventInfo(uint32_t eventCode, uint32_t *eventId);  // first match or null

// Reports one event under the source "zavservice". Returns 1 when the event was reported.
int XeltLogEvent(uint8_t contNo, uint32_t eventId, uint16_t stringCount, const char **strings,
                 uint32_t dataSize, const void *data);

// Reads the table, looks the code up and reports the test event; caller names the trace lines.
// Returns 1 when the success message was printed, 0 when the code is missing or suppressed.
int RaiseTestEvent(const char *caller, uint32_t eventCode);
// Looks the code up in the table already read and reports the test event without printing.
// 1: reported; 0: the code is missing (traced) or suppressed; -1: the event log refused it, with
// the system error in *systemError.
int ReportTestEvent(const char *caller, uint32_t eventCode, uint32_t *systemError);

#ifdef __cplusplus
}
#endif

#endif
