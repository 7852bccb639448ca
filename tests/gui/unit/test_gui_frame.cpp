// Frame of the graphical tool: message boxes and their texts, fatal reporters, program entry,
// controller start-up, tab table, timer and power decisions, and the controller change.
#include "gui_fixture.h"

#include "gui/CtrlList.h"
#include "gui/Dialog.h"
#include "gui/Startup.h"

using namespace guitest;

// ---- message boxes -----------------------------------------------------------------------

struct BoxCase {
    const char *name;
    int (*show)(void);
    int kind;
    uint16_t textId;
    uint16_t captionId;
    const char *text;
    const char *caption;
};

static const BoxCase kBoxCases[] = {
    {"error", [] { return ShowErrorBox(0, IDS_PD_STATE_FAILED, IDS_CAPTION_DASHBOARD); }, BOX_KIND_ERROR,
     IDS_PD_STATE_FAILED, IDS_CAPTION_DASHBOARD,
     "Failed to change PD(Physical Drive) state.\r\nPlease confirm PD(Physical Drive) state.", "Dashboard"},
    {"error-formatted", [] { return ShowErrorBoxFmt(0, IDS_WINAPI_ERROR, IDS_CAPTION_MAINTENANCE, 0x2A, 0); },
     BOX_KIND_ERROR, IDS_WINAPI_ERROR, IDS_CAPTION_MAINTENANCE, "An error has occurred with Windows API. (code=0x2A)",
     "Maintenance"},
    {"info", [] { return ShowInfoBox(0, IDS_PATROL_FINISHED, IDS_CAPTION_MAINTENANCE); }, BOX_KIND_INFO,
     IDS_PATROL_FINISHED, IDS_CAPTION_MAINTENANCE, "Patrol Read has finished.", "Maintenance"},
    {"info-formatted", [] { return ShowInfoBoxFmt(0, IDS_OPERATION_FINISHED, IDS_CAPTION_MAINTENANCE, 3, 0); },
     BOX_KIND_INFO, IDS_OPERATION_FINISHED, IDS_CAPTION_MAINTENANCE,
     "Rebuild/Check Consistency/Initialization has finished(RAID Group 3).", "Maintenance"},
    {"warning", [] { return ShowWarningBox(0, IDS_CANNOT_STOP_REBUILD, IDS_CAPTION_PRODUCT); }, BOX_KIND_WARNING,
     IDS_CANNOT_STOP_REBUILD, IDS_CAPTION_PRODUCT, "Cannot stop Rebuild/Copyback.", "Norvane RAID Vantrel"},
    {"ok-cancel", [] { return AskOkCancel(0, IDS_INIT_MOUNTED_ASK, IDS_CAPTION_MAINTENANCE); }, BOX_KIND_OK_CANCEL,
     IDS_INIT_MOUNTED_ASK, IDS_CAPTION_MAINTENANCE, nullptr, "Maintenance"},
    {"yes-no-warning", [] { return AskYesNoWarning(0, IDS_LOCATE_OFF_FAILED, IDS_CAPTION_HOT_SPARE); },
     BOX_KIND_YES_NO_WARNING, IDS_LOCATE_OFF_FAILED, IDS_CAPTION_HOT_SPARE,
     "Failed to off PD(Physical Drive) location LED. ", "Setup Hot Spare"},
    {"yes-no-question", [] { return AskYesNoQuestion(0, IDS_TREE_RG, IDS_CAPTION_RESTORE_LD); },
     BOX_KIND_YES_NO_QUESTION, IDS_TREE_RG, IDS_CAPTION_RESTORE_LD, "RAID Group %u (RG%u), %s",
     "Restore Logical Drive"},
};

TEST_F(GuiLogicTest, EveryBoxFunctionShowsItsKindTextAndCaption)
{
    for (const BoxCase &c : kBoxCases) {
        SCOPED_TRACE(c.name);
        boxes.seen.clear();
        ExpectBox(c.textId, c.captionId, BOX_YES);
        EXPECT_EQ(BOX_YES, c.show());
        ASSERT_EQ(1u, boxes.seen.size());
        EXPECT_EQ(c.kind, boxes.seen[0].kind);
        if (c.text) {
            EXPECT_EQ(c.text, boxes.seen[0].text);
        }
        EXPECT_EQ(c.caption, boxes.seen[0].caption);
    }
}

TEST_F(GuiLogicTest, CaptionsAreCutToTheirBufferAndTextsKeepTheirLineBreaks)
{
    char caption[GUI_CAPTION_SIZE];
    EXPECT_GT(LoadGuiString(IDS_CAPTION_PRODUCT, caption, sizeof(caption)), 0);
    EXPECT_STREQ("Norvane RAID Vantrel", caption);
    char text[GUI_TEXT_SIZE];
    LoadGuiString(IDS_FATAL_NO_CONTROLLER, text, sizeof(text));
    EXPECT_STREQ("No RAID controller is found.\nQuits the application.", text);
    LoadGuiString(IDS_LEARN_FAILED, text, sizeof(text));
    EXPECT_STREQ("Failed to start learn cycle.\r\nPlease confirm OS event log whether there is no problem with "
                 "Cache Backup.",
                 text);
}

// ---- fatal reporters ----------------------------------------------------------------------

TEST_F(GuiLogicTest, OnlyTheFirstFatalConditionShowsABox)
{
    ExpectBox(IDS_FATAL_OVER_LIMIT, IDS_CAPTION_PRODUCT);
    EXPECT_EQ(1, ShowFatalMessage(IDS_FATAL_OVER_LIMIT, 4));
    EXPECT_EQ("The number of RAID controller is over 4.\r\nQuits the application.", boxes.seen[0].text);
    EXPECT_EQ(BOX_KIND_FATAL, boxes.seen[0].kind);
    EXPECT_EQ(0, ShowFatalMessage(IDS_FATAL_NO_CONTROLLER, 0));
    EXPECT_EQ(0, ReportInnerError(7));
    EXPECT_EQ(0, ReportWinApiError(2, 12));
    EXPECT_EQ(1u, boxes.seen.size());
}

TEST_F(GuiLogicTest, InnerAndWindowsErrorsNameTheirCode)
{
    ExpectBox(IDS_INNER_ERROR, IDS_CAPTION_PRODUCT);
    ReportInnerError(0x1F);
    EXPECT_EQ("Internal error has occurred. (code=0x1F). \r\nQuits the application.", boxes.seen.back().text);
    g_gui.fatalShown = 0;
    ExpectBox(IDS_WINAPI_ERROR, IDS_CAPTION_PRODUCT);
    ReportWinApiError(3, 5);
    EXPECT_EQ("An error has occurred with Windows API. (code=0x3)", boxes.seen.back().text);
}

// ---- program entry ------------------------------------------------------------------------

struct EntryRecord {
    int mutexResult = INSTANCE_NEW;
    int admin = 1;
    int closed = 0;
    int locale = 0;
    int dialog = 0;
};
static EntryRecord g_entry;

static const StartupSeam kEntrySeam = {
    [](const char *name, void **handle) {
        EXPECT_STREQ("KPUUtil", name);
        *handle = &g_entry;
        return g_entry.mutexResult;
    },
    [](void *) { g_entry.closed++; },
    [] { return g_entry.admin; },
    [] { g_entry.locale++; },
    [] {
        g_entry.dialog++;
        return 0;
    }};

TEST_F(GuiLogicTest, ProgramEntryStopsAtTheSecondInstanceAndAtAMissingAdministrator)
{
    struct Case {
        const char *name;
        int mutexResult, admin;
        uint16_t box;
        int result, dialogs;
    } cases[] = {
        {"second instance", INSTANCE_ALREADY_RUNNING, 1, IDS_FATAL_ALREADY_RUNNING, 0, 0},
        {"not administrator", INSTANCE_NEW, 0, IDS_FATAL_NOT_ADMIN, 0, 0},
        {"normal run", INSTANCE_NEW, 1, 0, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        g_entry = EntryRecord();
        g_entry.mutexResult = c.mutexResult;
        g_entry.admin = c.admin;
        g_gui.fatalShown = 0;
        if (c.box)
            ExpectBox(c.box, IDS_CAPTION_PRODUCT);
        EXPECT_EQ(c.result, ZavguiMain(&kEntrySeam));
        EXPECT_EQ(c.dialogs, g_entry.dialog);
        EXPECT_EQ(c.dialogs, g_entry.locale);
        EXPECT_EQ(1, g_entry.closed) << "the mutex is always given back";
    }
}

// ---- controller start-up -------------------------------------------------------------------

TEST_F(GuiLogicTest, StartUpFailuresEachShowTheirFatalBox)
{
    struct Case {
        const char *name;
        const char *scenario;
        std::vector<std::string> fault;
        uint16_t box;
        const char *text;
    } cases[] = {
        {"no controller", "no-controller", {}, IDS_FATAL_NO_CONTROLLER, nullptr},
        {"five controllers", "five-controllers", {}, IDS_FATAL_OVER_LIMIT,
         "The number of RAID controller is over 4.\r\nQuits the application."},
        {"library refuses to start", "default", {"fault", "add", "0", "0", "0x8002"}, IDS_FATAL_INIT_FAILED,
         "Failed to initialize."},
        // The first refresh failing used to leave an empty window behind.
        {"first refresh fails", "default", {"fault", "add", "1", "5", "0x3"}, IDS_FATAL_ACCESS_ERROR,
         "An error has occurred on accessing to RAID controller.\nQuits the application."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GuiStateReset();
        boxes.seen.clear();
        UnloadStoreLibrary();
        Sim({"load", c.scenario});
        if (!c.fault.empty())
            Sim(c.fault);
        ExpectBox(c.box, IDS_CAPTION_PRODUCT);
        EXPECT_EQ(0, InitControllers());
        ASSERT_EQ(1u, boxes.seen.size());
        if (c.text) {
            EXPECT_EQ(c.text, boxes.seen[0].text);
        }
    }
}

TEST_F(GuiLogicTest, FourControllersStart)
{
    std::string file = paths.state + ".four.json";
    std::ofstream(file) << "{\"controllers\": ["
                           "{\"id\": 0, \"drives\": [{\"slots\": \"0-1\"}]},"
                           "{\"id\": 1, \"drives\": [{\"slots\": \"0-1\"}]},"
                           "{\"id\": 2, \"drives\": [{\"slots\": \"0-1\"}]},"
                           "{\"id\": 3, \"drives\": [{\"slots\": \"0-1\"}]}]}";
    Sim({"load", file});
    DeleteFileA(file.c_str());
    EXPECT_EQ(1, InitControllers());
    EXPECT_EQ(4, g_gui.ctrlCount);
    EXPECT_EQ(0, g_gui.currentCtrl);
}

// ---- tab table, timer, power ---------------------------------------------------------------

static void FillPages(int snapshot)
{
    TabRow rows[GUI_MAX_PAGES];
    g_gui.pageCount = BuildTabTable(snapshot, rows, GUI_MAX_PAGES);
    for (int i = 0; i < g_gui.pageCount; i++) {
        g_gui.pages[i].kind = rows[i].kind;
        g_gui.pages[i].face = rows[i].face;
        g_gui.pages[i].faceSel = rows[i].faceSel;
    }
}

TEST_F(GuiLogicTest, TabsKeepTheirOrderAndSnapshotGoesInFrontOfMaintenance)
{
    TabRow rows[GUI_MAX_PAGES];
    int n = BuildTabTable(0, rows, GUI_MAX_PAGES);
    std::string order;
    for (int i = 0; i < n; i++)
        order += std::string(rows[i].text) + "|";
    EXPECT_EQ("Dashboard|Create LD|Delete LD|Hot Spare|Restore LD|Maintenance|", order);
    n = BuildTabTable(1, rows, GUI_MAX_PAGES);
    order.clear();
    for (int i = 0; i < n; i++)
        order += std::string(rows[i].text) + "|";
    EXPECT_EQ("Dashboard|Create LD|Delete LD|Hot Spare|Restore LD|Snapshot|Maintenance|", order);
    EXPECT_EQ(IDD_PAGE6, rows[5].template_);
    EXPECT_EQ(IDB_FACE_SNAPSHOT, rows[5].face);
    EXPECT_EQ(IDB_FACE_MAINTENANCE_SEL, rows[6].faceSel);
    FillPages(0);
    EXPECT_EQ(5, SnapshotInsertPosition());
    EXPECT_EQ(1, SnapshotTabChange(0, 1));
    EXPECT_EQ(-1, SnapshotTabChange(1, 0));
    EXPECT_EQ(0, SnapshotTabChange(1, 1));
}

TEST_F(GuiLogicTest, TimerRefreshesOnlyMaintenanceFoundByItsFace)
{
    for (int snapshot = 0; snapshot <= 1; snapshot++) {
        SCOPED_TRACE(snapshot ? "with Snapshot tab" : "without Snapshot tab");
        FillPages(snapshot);
        int maintenance = g_gui.pageCount - 1;
        EXPECT_EQ(maintenance, TimerRefreshTarget(maintenance));
        for (int tab = 0; tab < maintenance; tab++)
            EXPECT_EQ(-1, TimerRefreshTarget(tab));
    }
}

TEST_F(GuiLogicTest, TimerTickDuringAnActionWaitsForItsEnd)
{
    FillPages(0);
    int maintenance = g_gui.pageCount - 1;
    ActionBegin();
    EXPECT_EQ(-1, TimerRefreshTarget(maintenance));
    ActionBegin(); // a box inside the action
    EXPECT_EQ(0, ActionEnd());
    EXPECT_EQ(0, TakeHeldTimerRefresh()) << "not while the action still runs";
    EXPECT_EQ(1, ActionEnd()) << "the held refresh is due once the outer action ends";
    EXPECT_EQ(1, TakeHeldTimerRefresh());
    EXPECT_EQ(0, TakeHeldTimerRefresh()) << "handed out once";
    EXPECT_EQ(maintenance, TimerRefreshTarget(maintenance));
}

TEST_F(GuiLogicTest, PowerBroadcastsStopAndRestartTheTimer)
{
    FillPages(0);
    int maintenance = g_gui.pageCount - 1;
    EXPECT_EQ(TIMER_KILL, OnPowerEvent(POWER_QUERY_SUSPEND));
    EXPECT_EQ(TIMER_START, OnPowerEvent(POWER_QUERY_SUSPEND_FAILED));
    EXPECT_EQ(TIMER_KEEP, OnPowerEvent(POWER_SUSPEND));
    EXPECT_EQ(-1, TimerRefreshTarget(maintenance)) << "no refresh while suspended";
    EXPECT_EQ(TIMER_START, OnPowerEvent(POWER_RESUME));
    EXPECT_EQ(maintenance, TimerRefreshTarget(maintenance));
}

// ---- controller selector -------------------------------------------------------------------

TEST_F(GuiLogicTest, SelectorEntriesNameProductIndexBusAndDevice)
{
    Start("two-controllers");
    CtrlEntries entries;
    ASSERT_EQ(1, CtrlListUpdate(&entries));
    ASSERT_EQ(2, entries.count);
    for (int i = 0; i < 2; i++) {
        std::string text = entries.text[i];
        EXPECT_NE(std::string::npos, text.find("(" + std::to_string(i) + ")(Bus")) << text;
        EXPECT_NE(std::string::npos, text.find(",Dev")) << text;
    }
}

TEST_F(GuiLogicTest, SelectorEntryFailureIsFatal)
{
    Start("default");
    Sim({"fault", "add", "1", "11", "0x3"});
    ExpectBox(IDS_FATAL_ACCESS_ERROR, IDS_CAPTION_PRODUCT);
    CtrlEntries entries;
    EXPECT_EQ(0, CtrlListUpdate(&entries));
}

TEST_F(GuiLogicTest, ControllerThatDoesNotAnswerLeavesThePreviousOneCurrent)
{
    Start("two-controllers");
    Sim({"fault", "add", "1", "4", "0x3", "ctrl=1"});
    CtrlChange change = ChangeCurrentController(1);
    EXPECT_EQ(0, change.ok);
    EXPECT_EQ(0, g_gui.currentCtrl);
    ASSERT_NE(nullptr, g_records[0].pdList);
    EXPECT_GT(g_records[0].pdList->count, 0u) << "the previous controller's record is whole again";
    Sim({"fault", "clear"});
    change = ChangeCurrentController(1);
    EXPECT_EQ(1, change.ok);
    EXPECT_EQ(1, g_gui.currentCtrl);
}

TEST_F(GuiLogicTest, ControllerChangeInsertsOrRemovesTheSnapshotTab)
{
    Start("two-controllers");
    Sim({"ctrl", "set", "1", "snapshot=1"});
    CtrlChange change = ChangeCurrentController(1);
    EXPECT_EQ(1, change.ok);
    EXPECT_EQ(1, change.snapshotChange);
    change = ChangeCurrentController(0);
    EXPECT_EQ(-1, change.snapshotChange);
}
