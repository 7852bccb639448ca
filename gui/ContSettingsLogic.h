// Controller Information Settings page without its window: the fixed lists and their values,
// the enable rules, the day list that keeps the day, and "Set" with its checks and questions.
#ifndef ZAV_GUI_CONTSETTINGSLOGIC_H
#define ZAV_GUI_CONTSETTINGSLOGIC_H

#include <stddef.h>
#include <stdint.h>

#include "common/storelib_layout.h"

struct ContData;

// One entry of a drop-down list: its text and the value it stands for.
struct ListEntry {
    const char *text;
    uint32_t value;
};

enum {
    CONT_YEARS = 5,          // the clock's year and the 4 following
    CONT_HOURS = 24,
    CONT_NO_SELECTION = -1
};

extern const ListEntry kRebuildModes[2];
extern const ListEntry kPatrolModes[3];
extern const ListEntry kPatrolIntervals[4];
extern const ListEntry kMonths[12];
extern const ListEntry kTaskRates[3];
extern const ListEntry kOnOff[2];

// Which controls of the patrol-read panel take input in a mode.
struct PatrolEnables {
    int intervalAndSchedule;
    int ldList;
};

// What the page shows, read from the controller record and fresh queries.
struct ContSettingsView {
    int rebuildMode;        // index in kRebuildModes
    int patrolMode;         // index in kPatrolModes
    int interval;           // index in kPatrolIntervals, CONT_NO_SELECTION for an unknown value
    uint16_t firstYear;     // first entry of the year list
    int year, month, day, hour; // indexes (month 0 = January, day 0 = the 1st)
    int taskRate;           // index in kTaskRates
    int smartHdd, smartSsd; // indexes in kOnOff
    int copybackListsEnabled;
    unsigned ldCount;
    uint8_t lds[LD_MAX];          // target ids, in LD-list order
    uint8_t ldIncluded[LD_MAX];   // 1 when ticked (not excluded from patrol read)
};

// What the user chose: list indexes (CONT_NO_SELECTION when a list has none) and the ticks.
struct ContSettingsChoice {
    int patrolMode, interval, year, month, day, hour;
    int taskRate, smartHdd, smartSsd;
    uint16_t firstYear;
    unsigned ldCount;
    uint8_t lds[LD_MAX];
    uint8_t ldIncluded[LD_MAX];
};

enum ContSetOutcome {
    CONT_SET_INCOMPLETE = 0, // a list had no selection: nothing asked, nothing sent
    CONT_SET_IN_PAST = 1,    // box 559
    CONT_SET_DECLINED = 2,   // No to 541
    CONT_SET_FAILED = 3,     // box 531 (or a fatal box)
    CONT_SET_DONE = 4        // box 552
};

#ifdef __cplusplus
extern "C" {
#endif

unsigned DaysInMonth(unsigned year, unsigned month);
// The day to keep when month or year change: the same day, or the month's last.
unsigned KeptDay(unsigned day, unsigned year, unsigned month);
PatrolEnables PatrolEnablesOfMode(int modeIndex);
int TaskRateIndex(uint32_t rate);      // below 40 Low, 70 or more High, else Middle
int ListIndexOfValue(const ListEntry *list, unsigned count, uint32_t value); // -1 when absent

// Fills the view from the current record and the controller's clock, patrol-read and property
// queries. A failed query shows fatal box 562 and returns 0.
int ReadContSettings(ContData *record, uint8_t contNo, ContSettingsView *view);

// OnButtonContSet.
int ApplyContSettings(void *owner, ContData *record, uint8_t contNo, const ContSettingsChoice *choice);

#ifdef __cplusplus
}
#endif

#endif
