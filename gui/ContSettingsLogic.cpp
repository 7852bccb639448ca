// Controller Settings page logic: list tables, enable rules, the kept day, reading the current
// settings and "Set" (patrol read first, then task rate and copyback), stopping at the first
// failure with one box.
#include "gui/ContSettingsLogic.h"

#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/Utility.h"
#include "gui/resource.h"

const ListEntry kRebuildModes[2] = {{"Automatic", 0}, {"Manual", 1}};
const ListEntry kPatrolModes[3] = {{"Automatic", PR_MODE_AUTO}, {"Manual", PR_MODE_MANUAL}, {"Disable", PR_MODE_DISABLED}};
const ListEntry kPatrolIntervals[4] = {{"Hourly", 3600}, {"Daily", 86400}, {"Weekly", 604800}, {"Monthly", 2592000}};
const ListEntry kMonths[12] = {{"January(1)", 1}, {"February(2)", 2}, {"March(3)", 3},     {"April(4)", 4},
                               {"May(5)", 5},     {"June(6)", 6},     {"July(7)", 7},       {"August(8)", 8},
                               {"September(9)", 9}, {"October(10)", 10}, {"November(11)", 11}, {"December(12)", 12}};
const ListEntry kTaskRates[3] = {{"High", 90}, {"Middle", 60}, {"Low", 30}};
const ListEntry kOnOff[2] = {{"Disabled", 0}, {"Enabled", 1}};

enum { INNER_ERROR_INTERVAL = 2, INNER_ERROR_MODE = 4 };

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const uint8_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    return month == 2 && IsLeapYear(year) ? 29u : days[month - 1];
}

unsigned KeptDay(unsigned day, unsigned year, unsigned month)
{
    unsigned last = DaysInMonth(year, month);
    if (day < 1)
        return 1;
    return day > last ? last : day;
}

PatrolEnables PatrolEnablesOfMode(int modeIndex)
{
    PatrolEnables e;
    e.intervalAndSchedule = modeIndex == 0;
    e.ldList = modeIndex == 0 || modeIndex == 1;
    return e;
}

int TaskRateIndex(uint32_t rate)
{
    if (rate < 40)
        return 2;
    return rate >= 70 ? 0 : 1;
}

int ListIndexOfValue(const ListEntry *list, unsigned count, uint32_t value)
{
    for (unsigned i = 0; i < count; i++)
        if (list[i].value == value)
            return (int)i;
    return -1;
}

static int FatalQuery(const char *what, uint8_t contNo)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnInitContSettings", what, contNo);
    ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    return 0;
}

static void FillSchedule(ContSettingsView *view, uint32_t clockSeconds, uint32_t nextStart)
{
    ZavDate now, next;
    DateFromSeconds(clockSeconds, &now);
    DateFromSeconds(nextStart, &next);
    view->firstYear = now.year;
    // A start before the clock's year (never set, or long past) shows the clock's own date.
    if (next.year < now.year || next.year >= now.year + CONT_YEARS)
        next = now;
    view->year = next.year - now.year;
    view->month = next.month - 1;
    view->day = next.day - 1;
    view->hour = next.hour;
}

static void FillLdTicks(const ContData *record, const uint8_t *patrol, ContSettingsView *view)
{
    view->ldCount = ExistingLds(record, view->lds);
    unsigned excluded = patrol[PR_EXCLUDED_COUNT] < PR_EXCLUDED_MAX ? patrol[PR_EXCLUDED_COUNT] : (unsigned)PR_EXCLUDED_MAX;
    for (unsigned i = 0; i < view->ldCount; i++) {
        view->ldIncluded[i] = 1;
        for (unsigned k = 0; k < excluded; k++)
            if (patrol[PR_EXCLUDED + k] == view->lds[i])
                view->ldIncluded[i] = 0;
    }
}

int ReadContSettings(ContData *record, uint8_t contNo, ContSettingsView *view)
{
    uint8_t props[CTRL_PROP_SIZE], patrol[PATROL_READ_PROP_SIZE];
    uint32_t clockSeconds = 0;
    memset(view, 0, sizeof(*view));
    if (SLGetCtrlProp(contNo, props) != 0)
        return FatalQuery("SLGetCtrlProp error", contNo);
    if (SLGetPatrolReadProp(contNo, patrol) != 0)
        return FatalQuery("SLGetPatrolReadProp error", contNo);
    if (SLGetTime(contNo, &clockSeconds) != 0)
        return FatalQuery("SLGetTime error", contNo);
    view->rebuildMode = props[CP_AUTO_REBUILD_DISABLED] ? 1 : 0;
    view->patrolMode = patrol[PR_MODE] <= PR_MODE_DISABLED ? patrol[PR_MODE] : 0;
    view->interval = ListIndexOfValue(kPatrolIntervals, 4, LayoutU32(patrol, PR_INTERVAL));
    FillSchedule(view, clockSeconds, LayoutU32(patrol, PR_NEXT_EXEC));
    view->taskRate = TaskRateIndex(props[CP_REBUILD_RATE]);
    uint32_t onOff = LayoutU32(props, CP_ON_OFF_BITS);
    int copybackOn = (onOff & CP_BIT_COPYBACK_DISABLED) == 0;
    view->smartHdd = copybackOn && (onOff & CP_BIT_SMART_COPYBACK_HDD) ? 1 : 0;
    view->smartSsd = copybackOn && (onOff & CP_BIT_SMART_COPYBACK_SSD) ? 1 : 0;
    view->copybackListsEnabled = SmartOptionsSupported(record);
    FillLdTicks(record, patrol, view);
    return 1;
}

static int ScheduleComplete(const ContSettingsChoice *c)
{
    return c->patrolMode >= 0 && c->interval >= 0 && c->month >= 0 && c->day >= 0 && c->hour >= 0 && c->year >= 0;
}

// The chosen start, against the controller's own clock (the one patrol read runs by).
static int StartIsInPast(uint8_t contNo, const ContSettingsChoice *c, uint32_t *start)
{
    uint32_t clockSeconds = 0;
    if (SLGetTime(contNo, &clockSeconds) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonContSet", "SLGetTime error", contNo);
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return -1;
    }
    unsigned year = (unsigned)c->firstYear + (unsigned)c->year;
    unsigned month = (unsigned)c->month + 1;
    unsigned day = KeptDay((unsigned)c->day + 1, year, month);
    *start = SecondsFromDate(year, month, day, (unsigned)c->hour);
    return *start < clockSeconds ? 1 : 0;
}

static void PutExcludedLds(uint8_t *patrol, const ContSettingsChoice *c)
{
    unsigned n = 0;
    memset(patrol + PR_EXCLUDED, 0, PR_EXCLUDED_MAX);
    for (unsigned i = 0; i < c->ldCount && i < LD_MAX && n < PR_EXCLUDED_MAX; i++)
        if (!c->ldIncluded[i])
            patrol[PR_EXCLUDED + n++] = c->lds[i];
    patrol[PR_EXCLUDED_COUNT] = (uint8_t)n;
}

static int WritePatrolRead(uint8_t contNo, const ContSettingsChoice *c, uint32_t start)
{
    uint8_t patrol[PATROL_READ_PROP_SIZE];
    if (SLGetPatrolReadProp(contNo, patrol) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonContSet", "SLGetPatrolReadProp error", contNo);
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return -1;
    }
    uint32_t mode = kPatrolModes[c->patrolMode].value;
    patrol[PR_MODE] = (uint8_t)mode;
    if (mode == PR_MODE_AUTO || mode == PR_MODE_MANUAL)
        PutExcludedLds(patrol, c);
    if (mode == PR_MODE_AUTO) {
        LayoutPutU32(patrol, PR_INTERVAL, kPatrolIntervals[c->interval].value);
        LayoutPutU32(patrol, PR_NEXT_EXEC, start);
    }
    if (SLSetPatrolReadProp(contNo, patrol) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonContSet", "SLSetPatrolReadProp error", contNo);
        return 0;
    }
    return 1;
}

static int WriteRateAndCopyback(ContData *record, uint8_t contNo, const ContSettingsChoice *c)
{
    uint8_t taskRate = (uint8_t)kTaskRates[c->taskRate].value;
    uint8_t hdd = (uint8_t)kOnOff[c->smartHdd].value, ssd = (uint8_t)kOnOff[c->smartSsd].value;
    uint8_t copybackDisabled = hdd == 0 && ssd == 0;
    if (SmartOptionsSupported(record) && SLSetFailPDOnSmartTer(contNo, copybackDisabled) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonContSet", "SLSetFailPDOnSmartTer error", contNo);
        return 0;
    }
    if (SLSetCtrlProp(contNo, taskRate, copybackDisabled, hdd, ssd) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonContSet", "SLSetCtrlProp error", contNo);
        return 0;
    }
    return 1;
}

static int ChoiceIndexesValid(const ContSettingsChoice *c)
{
    if (c->patrolMode > 2) {
        ReportInnerError(INNER_ERROR_MODE);
        return 0;
    }
    if (c->interval > 3) {
        ReportInnerError(INNER_ERROR_INTERVAL);
        return 0;
    }
    return c->taskRate >= 0 && c->taskRate < 3 && c->smartHdd >= 0 && c->smartHdd < 2 && c->smartSsd >= 0 &&
           c->smartSsd < 2 && c->month < 12 && c->hour < CONT_HOURS && c->year < CONT_YEARS && c->day < 31;
}

int ApplyContSettings(void *owner, ContData *record, uint8_t contNo, const ContSettingsChoice *choice)
{
    ZAV_TRACE("", "func=%s: %s", "OnButtonContSet", "SetControllerProp start");
    if (!ScheduleComplete(choice))
        return CONT_SET_INCOMPLETE;
    if (!ChoiceIndexesValid(choice))
        return CONT_SET_FAILED;
    uint32_t start = 0;
    if (kPatrolModes[choice->patrolMode].value == PR_MODE_AUTO) {
        int past = StartIsInPast(contNo, choice, &start);
        if (past < 0)
            return CONT_SET_FAILED;
        if (past) {
            ShowErrorBox(owner, IDS_DATE_IN_PAST, IDS_CAPTION_CTRL_INFO);
            return CONT_SET_IN_PAST;
        }
    } else if (AskYesNoWarning(owner, IDS_PATROL_DISABLE_WARNING, IDS_CAPTION_SETTING_CONFIRM) != BOX_YES) {
        return CONT_SET_DECLINED;
    }
    BeginWaitCursor();
    int written = WritePatrolRead(contNo, choice, start);
    if (written > 0)
        written = WriteRateAndCopyback(record, contNo, choice);
    EndWaitCursor();
    if (written < 0)
        return CONT_SET_FAILED;
    if (written == 0) {
        ShowErrorBox(owner, IDS_CTRL_SETTINGS_FAILED, IDS_CAPTION_CTRL_INFO);
        return CONT_SET_FAILED;
    }
    ShowInfoBox(owner, IDS_CTRL_SETTINGS_DONE, IDS_CAPTION_CTRL_INFO);
    return CONT_SET_DONE;
}
