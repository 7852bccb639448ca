// Controller Settings logic: the list rules without a controller, and "Set" against the
// simulator (past dates against the controller's clock, the warning, one box per failure).
#include "gui_fixture.h"

#include "common/DispFormat.h"
#include "gui/ContSettingsLogic.h"

namespace guitest {
namespace {

TEST(ContSettingsRules, DaysOfMonthAndTheKeptDay)
{
    struct Row {
        unsigned day, year, month, kept, days;
    } rows[] = {
        {31, 2026, 2, 28, 28}, {31, 2028, 2, 29, 29}, {29, 2100, 2, 28, 28}, {29, 2000, 2, 29, 29},
        {31, 2026, 4, 30, 30}, {30, 2026, 4, 30, 30}, {15, 2026, 12, 15, 31}, {0, 2026, 1, 1, 31},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << r.year << "-" << r.month << "-" << r.day);
        EXPECT_EQ(r.days, DaysInMonth(r.year, r.month));
        EXPECT_EQ(r.kept, KeptDay(r.day, r.year, r.month));
    }
}

TEST(ContSettingsRules, TaskRateBoundaries)
{
    struct Row {
        uint32_t rate;
        int index;
    } rows[] = {{0, 2}, {39, 2}, {40, 1}, {60, 1}, {69, 1}, {70, 0}, {100, 0}};
    for (const Row &r : rows)
        EXPECT_EQ(r.index, TaskRateIndex(r.rate)) << r.rate;
}

TEST(ContSettingsRules, ModeEnablesScheduleAndLdList)
{
    struct Row {
        int mode, schedule, ldList;
    } rows[] = {{0, 1, 1}, {1, 0, 1}, {2, 0, 0}};
    for (const Row &r : rows) {
        PatrolEnables e = PatrolEnablesOfMode(r.mode);
        EXPECT_EQ(r.schedule, e.intervalAndSchedule) << r.mode;
        EXPECT_EQ(r.ldList, e.ldList) << r.mode;
    }
}

class ContSettingsTest : public GuiLogicTest {
protected:
    ContSettingsView view;

    // The settings as the page shows them, changed to a start date.
    ContSettingsChoice Choice(int mode, unsigned year, unsigned month, unsigned day, unsigned hour)
    {
        EXPECT_EQ(1, ReadContSettings(CurrentRecord(), 0, &view));
        ContSettingsChoice c;
        memset(&c, 0, sizeof(c));
        c.patrolMode = mode;
        c.interval = 1;
        c.firstYear = view.firstYear;
        c.year = (int)(year - view.firstYear);
        c.month = (int)month - 1;
        c.day = (int)day - 1;
        c.hour = (int)hour;
        c.taskRate = 0;
        c.smartHdd = 1;
        c.smartSsd = 0;
        c.ldCount = view.ldCount;
        for (unsigned i = 0; i < view.ldCount; i++) {
            c.lds[i] = view.lds[i];
            c.ldIncluded[i] = 1;
        }
        return c;
    }
};

TEST_F(ContSettingsTest, YearListStartsAtTheControllerClocksYear)
{
    Start("default");
    Sim({"clock", "set", "2031-03-10", "12:00:00"});
    ASSERT_EQ(1, ReadContSettings(CurrentRecord(), 0, &view));
    EXPECT_EQ(2031, view.firstYear);
}

// The date check uses the controller's clock: a start that lies ahead of the PC's calendar but
// behind the controller's is refused.
TEST_F(ContSettingsTest, AutomaticStartBeforeTheControllerClockShows559AndWritesNothing)
{
    Start("default");
    Sim({"clock", "set", "2031-03-10", "12:00:00"});
    struct Row {
        unsigned month, day, hour;
    } rows[] = {{3, 10, 11}, {3, 9, 23}, {1, 1, 0}};
    for (const Row &r : rows) {
        ContSettingsChoice c = Choice(0, 2031, r.month, r.day, r.hour);
        ClearJournal();
        ExpectBox(IDS_DATE_IN_PAST, IDS_CAPTION_CTRL_INFO);
        EXPECT_EQ(CONT_SET_IN_PAST, ApplyContSettings(nullptr, CurrentRecord(), 0, &c));
        EXPECT_TRUE(Sent("SLSetPatrolReadProp").empty());
        EXPECT_TRUE(Sent("SLSetCtrlProp").empty());
    }
}

TEST_F(ContSettingsTest, AutomaticStartAheadWritesPatrolReadThenControllerProperties)
{
    Start("default");
    ContSettingsChoice c = Choice(0, 2026, 1, 15, 10);
    c.ldIncluded[0] = 0;
    ClearJournal();
    ExpectBox(IDS_CTRL_SETTINGS_DONE, IDS_CAPTION_CTRL_INFO);
    EXPECT_EQ(CONT_SET_DONE, ApplyContSettings(nullptr, CurrentRecord(), 0, &c));
    EXPECT_EQ(1u, Sent("SLSetPatrolReadProp").size());
    EXPECT_EQ(1u, Sent("SLSetCtrlProp").size());
    uint8_t patrol[PATROL_READ_PROP_SIZE];
    ASSERT_EQ(0, SLGetPatrolReadProp(0, patrol));
    EXPECT_EQ(PR_MODE_AUTO, patrol[PR_MODE]);
    EXPECT_EQ(86400u, LayoutU32(patrol, PR_INTERVAL));
    EXPECT_EQ(SecondsFromDate(2026, 1, 15, 10), LayoutU32(patrol, PR_NEXT_EXEC));
    EXPECT_EQ(1, patrol[PR_EXCLUDED_COUNT]);
    EXPECT_EQ(view.lds[0], patrol[PR_EXCLUDED]);
    uint8_t props[CTRL_PROP_SIZE];
    ASSERT_EQ(0, SLGetCtrlProp(0, props));
    EXPECT_EQ(90, props[CP_REBUILD_RATE]);
    EXPECT_NE(0u, LayoutU32(props, CP_ON_OFF_BITS) & CP_BIT_SMART_COPYBACK_HDD);
    EXPECT_EQ(0u, LayoutU32(props, CP_ON_OFF_BITS) & CP_BIT_COPYBACK_DISABLED);
}

TEST_F(ContSettingsTest, LeavingAutomaticAsksFirstAndNoChangesNothing)
{
    struct Row {
        int mode, answer, outcome;
        size_t writes;
    } rows[] = {{1, BOX_NO, CONT_SET_DECLINED, 0}, {2, BOX_NO, CONT_SET_DECLINED, 0}, {2, BOX_YES, CONT_SET_DONE, 1}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.mode);
        Start("default");
        ContSettingsChoice c = Choice(r.mode, 2026, 1, 1, 0);
        ClearJournal();
        ExpectBox(IDS_PATROL_DISABLE_WARNING, IDS_CAPTION_SETTING_CONFIRM, r.answer);
        if (r.outcome == CONT_SET_DONE)
            ExpectBox(IDS_CTRL_SETTINGS_DONE, IDS_CAPTION_CTRL_INFO);
        EXPECT_EQ(r.outcome, ApplyContSettings(nullptr, CurrentRecord(), 0, &c));
        EXPECT_EQ(r.writes, Sent("SLSetPatrolReadProp").size());
    }
}

// A failed write stops there with one box; nothing after it is sent and no success is shown.
TEST_F(ContSettingsTest, FailedStepStopsWithOneBox)
{
    struct Row {
        const char *type, *cmd;
        size_t ctrlPropWrites;
    } rows[] = {{"1", "16", 0}, {"1", "2", 1}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.cmd);
        Start("default");
        ContSettingsChoice c = Choice(0, 2027, 6, 1, 0);
        Sim({"fault", "add", r.type, r.cmd, "0x67"});
        ClearJournal();
        ExpectBox(IDS_CTRL_SETTINGS_FAILED, IDS_CAPTION_CTRL_INFO);
        EXPECT_EQ(CONT_SET_FAILED, ApplyContSettings(nullptr, CurrentRecord(), 0, &c));
        EXPECT_EQ(r.ctrlPropWrites, Sent("SLSetCtrlProp").size());
        Sim({"fault", "clear"});
    }
}

TEST_F(ContSettingsTest, ListWithoutSelectionStopsSilently)
{
    Start("default");
    ContSettingsChoice c = Choice(0, 2027, 6, 1, 0);
    c.day = CONT_NO_SELECTION;
    ClearJournal();
    EXPECT_EQ(CONT_SET_INCOMPLETE, ApplyContSettings(nullptr, CurrentRecord(), 0, &c));
    EXPECT_EQ("", Journal());
}

TEST_F(ContSettingsTest, EmbeddedControllerOffersNoCopybackLists)
{
    Start("embedded");
    ASSERT_EQ(1, ReadContSettings(CurrentRecord(), 0, &view));
    EXPECT_EQ(0, view.copybackListsEnabled);
    Start("default");
    ASSERT_EQ(1, ReadContSettings(CurrentRecord(), 0, &view));
    EXPECT_EQ(1, view.copybackListsEnabled);
}

} // namespace
} // namespace guitest
