// Maintenance logic against the simulator: each action's checks, boxes, what it sends and what
// it marks; the completion notices; the test event through a scripted event log.
#include "gui_fixture.h"

#include "common/EventLog.h"
#include "common/storelib_layout.h"
#include "gui/Completion.h"
#include "gui/Page5Logic.h"

using namespace guitest;

namespace {

class MaintenanceTest : public GuiLogicTest {
protected:
    void SetUp() override
    {
        GuiLogicTest::SetUp();
        SetGuiWait([](unsigned) {});
    }

    void TearDown() override
    {
        SetGuiWait(nullptr);
        GuiLogicTest::TearDown();
    }

    void LoadText(const std::string &json)
    {
        std::string file = paths.state + ".scenario.json";
        std::ofstream(file) << json;
        Start(file);
        DeleteFileA(file.c_str());
    }

    // default scenario plus a RAID0 LD2 on slot 6
    void StartWithRaid0()
    {
        LoadText(R"({"controllers": [{"id": 0, "cache_backup": {}, "enclosures": [{"devId": 252, "slots": 8}],
            "drives": [{"slots": "0-7"}],
            "lds": [{"raid": 5, "slots": [0, 1, 2]}, {"raid": 1, "slots": [3, 4]}, {"raid": 0, "slots": [6]}]}]})");
    }

    int Refresh() { return RefreshCurrentRecord(); }
};

TEST_F(MaintenanceTest, RebuildRefusesRaid0AndSendsNothing)
{
    StartWithRaid0();
    const uint8_t targets[] = {1, 2};
    ExpectBox(IDS_REBUILD_RAID0, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnRebuildBtnClicked(nullptr, targets, 2));
    EXPECT_TRUE(Sent("SLStartRebuild").empty());
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[1]);
}

TEST_F(MaintenanceTest, RebuildNeedsAMemberThatAllowsIt)
{
    Start("default");
    const uint8_t optimal[] = {0};
    ExpectBox(IDS_REBUILD_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnRebuildBtnClicked(nullptr, optimal, 1)) << "no member of an optimal LD needs a rebuild";
    EXPECT_TRUE(Sent("SLStartRebuild").empty());
}

TEST_F(MaintenanceTest, RebuildStartsOnAnOfflineMemberAndMarksTheLd)
{
    Start("default");
    Sim({"ctrl", "set", "0", "auto_rebuild=0"});
    Sim({"pd", "set", "0", "4", "state=offline"});
    ClearJournal();
    const uint8_t targets[] = {1};
    EXPECT_EQ(1, OnRebuildBtnClicked(nullptr, targets, 1));
    std::vector<std::string> sent = Sent("SLStartRebuild");
    ASSERT_EQ(1u, sent.size()) << Journal();
    EXPECT_NE(std::string::npos, sent[0].find("ref1=0x000C")) << sent[0];
    EXPECT_EQ(MARK_REBUILD, CurrentOperationMarks()[1]);
}

TEST_F(MaintenanceTest, RebuildQueryFailuresShow290)
{
    Start("default");
    const uint8_t targets[] = {1};
    struct Case {
        const char *name;
        std::vector<std::string> fault;
    } cases[] = {
        {"LD information", {"fault", "add", "3", "0", "0x3", "count=1"}},
        {"member PDs", {"fault", "add", "3", "11", "0x3", "count=1"}},
        {"allowed operations", {"fault", "add", "2", "20", "0x3", "count=1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sim(c.fault);
        ExpectBox(IDS_REBUILD_START_FAILED, IDS_CAPTION_MAINTENANCE);
        EXPECT_EQ(0, OnRebuildBtnClicked(nullptr, targets, 1));
    }
}

TEST_F(MaintenanceTest, CheckConsistencyRefusalsAndStart)
{
    StartWithRaid0();
    const uint8_t withRaid0[] = {0, 2};
    ExpectBox(IDS_CC_RAID0, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnChkConsistencyBtnClicked(nullptr, withRaid0, 2));
    EXPECT_TRUE(Sent("SLStartCheckConsistency").empty()) << "nothing starts before every LD passed";

    Sim({"fault", "add", "3", "0", "0x3", "count=1"});
    const uint8_t one[] = {1};
    ExpectBox(IDS_CC_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnChkConsistencyBtnClicked(nullptr, one, 1));

    Sim({"fault", "add", "3", "6", "0x3", "count=1"});
    ExpectBox(IDS_CC_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnChkConsistencyBtnClicked(nullptr, one, 1));
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[1]);

    EXPECT_EQ(1, OnChkConsistencyBtnClicked(nullptr, one, 1));
    EXPECT_EQ(MARK_CC, CurrentOperationMarks()[1]);
    ASSERT_EQ(1, Refresh());
    EXPECT_EQ(LD_OPKIND_CC, LdOperationKind(CurrentRecord(), 1));
}

TEST_F(MaintenanceTest, FinishedCheckConsistencyIsAnnouncedOnceNamingTheGroup)
{
    Start("default");
    const uint8_t one[] = {1};
    ASSERT_EQ(1, OnChkConsistencyBtnClicked(nullptr, one, 1));
    ASSERT_EQ(1, Refresh());
    EXPECT_EQ(0, CheckOperationCompletion(nullptr)) << "still running";
    Sim({"clock", "advance", "1300"});
    ASSERT_EQ(1, Refresh());
    ExpectBox(IDS_OPERATION_FINISHED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, CheckOperationCompletion(nullptr));
    EXPECT_EQ("Rebuild/Check Consistency/Initialization has finished(RAID Group 1).", boxes.seen.back().text);
    EXPECT_EQ(0, CheckOperationCompletion(nullptr)) << "each notice shows once";
}

TEST_F(MaintenanceTest, MarksBelongToTheirControllerAcrossAControllerChange)
{
    Start("two-controllers");
    const uint8_t zero[] = {0};
    ASSERT_EQ(1, OnChkConsistencyBtnClicked(nullptr, zero, 1));
    // On the other controller the mark neither shows nor gets lost.
    g_gui.currentCtrl = 1;
    ASSERT_EQ(1, Refresh());
    EXPECT_EQ(0, CheckOperationCompletion(nullptr));
    Sim({"clock", "advance", "1300"});
    g_gui.currentCtrl = 0;
    ASSERT_EQ(1, Refresh());
    ExpectBox(IDS_OPERATION_FINISHED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, CheckOperationCompletion(nullptr));
}

TEST_F(MaintenanceTest, MarkOfAnLdThatNoLongerExistsIsDropped)
{
    Start("default");
    CurrentOperationMarks()[9] = MARK_INIT;
    EXPECT_EQ(0, CheckOperationCompletion(nullptr));
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[9]);
}

TEST_F(MaintenanceTest, InitializeRefusals)
{
    LoadText(R"({"controllers": [{"id": 0, "snapshot": true, "cachecade": true, "enclosures": [{"devId": 252, "slots": 8}],
        "drives": [{"slots": "0-5"}, {"slots": "6-7", "media": "ssd"}],
        "lds": [{"raid": 1, "slots": [0, 1]}, {"raid": 1, "slots": [2, 3]}, {"raid": 1, "slots": [4, 5]},
                {"raid": 0, "slots": [6], "cachecade": true}],
        "events": [{"enable_snapshot": {"base": 0, "repo": 1, "area_gb": 10}}]}]})");
    struct Case {
        const char *name;
        uint8_t target;
        uint16_t box;
    } cases[] = {
        {"snapshot base", 0, IDS_SNAPSHOT_NO_INIT},
        {"snapshot repository", 1, IDS_SNAPSHOT_NO_INIT},
        {"CacheCade", 3, IDS_CACHECADE_NO_INIT},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectBox(c.box, IDS_CAPTION_MAINTENANCE);
        EXPECT_EQ(0, OnInitializeBtnClicked(nullptr, &c.target, 1));
    }
    const uint8_t plain[] = {2};
    Sim({"fault", "add", "3", "20", "0x3", "count=1"});
    ExpectBox(IDS_INIT_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnInitializeBtnClicked(nullptr, plain, 1));
    Sim({"fault", "add", "3", "9", "0x3", "count=1"});
    ExpectBox(IDS_INIT_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnInitializeBtnClicked(nullptr, plain, 1));
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[2]);
    EXPECT_EQ(1, OnInitializeBtnClicked(nullptr, plain, 1));
    EXPECT_EQ(MARK_INIT, CurrentOperationMarks()[2]);
}

TEST_F(MaintenanceTest, InitializeAsksFirstWhenAnLdHasADriveLetter)
{
    Start("default");
    snprintf(CurrentRecord()->driveLetters[1], CONTDATA_DRIVE_LETTERS_SIZE, "E");
    const uint8_t targets[] = {1};
    ExpectBox(IDS_INIT_MOUNTED_ASK, IDS_CAPTION_MAINTENANCE, BOX_CANCEL);
    EXPECT_EQ(0, OnInitializeBtnClicked(nullptr, targets, 1));
    EXPECT_TRUE(Sent("SLStartInitialization").empty()) << "Cancel sends nothing";
    EXPECT_EQ(BOX_KIND_OK_CANCEL, boxes.seen.back().kind);
    ExpectBox(IDS_INIT_MOUNTED_ASK, IDS_CAPTION_MAINTENANCE, BOX_OK);
    EXPECT_EQ(1, OnInitializeBtnClicked(nullptr, targets, 1));
    EXPECT_EQ(1u, Sent("SLStartInitialization").size());
    // Without a drive letter the LD starts without a question.
    CurrentRecord()->driveLetters[1][0] = '\0';
    Sim({"clock", "advance", "700"});
    ClearJournal();
    EXPECT_EQ(1, OnInitializeBtnClicked(nullptr, targets, 1));
    EXPECT_EQ(1u, Sent("SLStartInitialization").size());
}

TEST_F(MaintenanceTest, StopRefusesWhileARebuildRunsEvenWithOthersInitializing)
{
    Start("degraded");
    const uint8_t init[] = {1};
    ASSERT_EQ(1, OnInitializeBtnClicked(nullptr, init, 1));
    ClearJournal();
    const uint8_t both[] = {1, 0};
    ExpectBox(IDS_CANNOT_STOP_REBUILD, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnStopBtnClicked(nullptr, both, 2));
    EXPECT_TRUE(Sent("SLCancelInitialization").empty());
}

TEST_F(MaintenanceTest, StopWithNothingRunningSays284)
{
    Start("default");
    const uint8_t both[] = {0, 1};
    ExpectBox(IDS_STOP_ALREADY_FINISHED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnStopBtnClicked(nullptr, both, 2));
}

TEST_F(MaintenanceTest, StopCancelsInitializationAndConsistencyCheckAndClearsMarks)
{
    Start("default");
    const uint8_t zero[] = {0}, one[] = {1};
    ASSERT_EQ(1, OnInitializeBtnClicked(nullptr, zero, 1));
    ASSERT_EQ(1, OnChkConsistencyBtnClicked(nullptr, one, 1));
    ClearJournal();
    const uint8_t both[] = {0, 1};
    ExpectBox(IDS_STOP_INIT_WAIT, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, OnStopBtnClicked(nullptr, both, 2));
    EXPECT_EQ(1u, Sent("SLCancelInitialization").size());
    EXPECT_EQ(1u, Sent("SLCancelCheckConsistency").size());
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[0]);
    EXPECT_EQ(MARK_NONE, CurrentOperationMarks()[1]);
}

TEST_F(MaintenanceTest, StopFailuresShowTheirBoxes)
{
    Start("default");
    const uint8_t zero[] = {0}, one[] = {1};
    ASSERT_EQ(1, OnInitializeBtnClicked(nullptr, zero, 1));
    ASSERT_EQ(1, OnChkConsistencyBtnClicked(nullptr, one, 1));
    Sim({"fault", "add", "3", "10", "0x3", "count=1"});
    ExpectBox(IDS_STOP_INIT_WAIT, IDS_CAPTION_MAINTENANCE);
    ExpectBox(IDS_INIT_STOP_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnStopBtnClicked(nullptr, zero, 1));
    Sim({"fault", "add", "3", "7", "0x3", "count=1"});
    ExpectBox(IDS_CC_STOP_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnStopBtnClicked(nullptr, one, 1));
    EXPECT_EQ(MARK_CC, CurrentOperationMarks()[1]) << "a failed stop keeps the mark";
}

TEST_F(MaintenanceTest, PatrolReadStartsStopsAndIsAnnouncedWhenItEnds)
{
    Start("default");
    ExpectBox(IDS_PATROL_STOP_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnPRStopClicked(nullptr)) << "none running";
    EXPECT_EQ(1, OnPatrolReadBtnClicked(nullptr));
    EXPECT_EQ(1u, Sent("SLStartPatrolReadOpe").size()) << Journal();
    EXPECT_EQ(1, *CurrentPatrolFlag());
    ASSERT_EQ(1, Refresh());
    EXPECT_EQ(0, CheckOperationCompletion(nullptr));
    EXPECT_EQ(1, OnPRStopClicked(nullptr));
    EXPECT_EQ(0, *CurrentPatrolFlag());
    EXPECT_EQ(1u, Sent("SLStopPatrolReadOpe").size());

    EXPECT_EQ(1, OnPatrolReadBtnClicked(nullptr));
    Sim({"clock", "advance", "3700"});
    ASSERT_EQ(1, Refresh());
    ExpectBox(IDS_PATROL_FINISHED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, CheckOperationCompletion(nullptr));
    EXPECT_EQ(0, CheckOperationCompletion(nullptr));
}

TEST_F(MaintenanceTest, PatrolReadRefusals)
{
    Start("default");
    const uint8_t one[] = {1};
    ASSERT_EQ(1, OnChkConsistencyBtnClicked(nullptr, one, 1));
    ExpectBox(IDS_PATROL_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnPatrolReadBtnClicked(nullptr)) << "a consistency check runs";
    EXPECT_TRUE(Sent("SLStartPatrolReadOpe").empty());

    UnloadStoreLibrary();
    LoadText(R"({"controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 4}], "drives": [{"slots": "0-3"}]}]})");
    ExpectBox(IDS_PATROL_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnPatrolReadBtnClicked(nullptr)) << "every PD unconfigured";

    UnloadStoreLibrary();
    Start("default");
    Sim({"fault", "add", "1", "17", "0x3", "count=1"});
    ExpectBox(IDS_PATROL_START_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnPatrolReadBtnClicked(nullptr));
    EXPECT_EQ(0, *CurrentPatrolFlag());
    Sim({"fault", "add", "1", "4", "0x3", "count=1"});
    ExpectBox(IDS_FATAL_ACCESS_ERROR, IDS_CAPTION_PRODUCT);
    EXPECT_EQ(0, OnPatrolReadBtnClicked(nullptr)) << "an unreadable PD list is fatal";
}

// ---- test event through a scripted event log -----------------------------------------------

struct FakeEventLog {
    int refuse = 0;
    std::vector<std::string> strings;
    uint32_t eventId = 0;
};
static FakeEventLog g_events;

static const EventLogSeam kFakeEventLog = {
    [](const char *) -> void * { return &g_events; },
    [](void *, uint16_t, uint16_t, uint32_t id, uint16_t n, const char **s, uint32_t, const void *) {
        if (g_events.refuse)
            return 0;
        g_events.eventId = id;
        g_events.strings.assign(s, s + n);
        return 1;
    },
    [](void *) { return 1; },
    []() -> uint32_t { return 0x6BA; },
    [](uint32_t, char *out, unsigned size) {
        snprintf(out, size, "refused");
        return 1;
    },
    [](char *out, unsigned size) {
        snprintf(out, size, "C:\\");
        return 1;
    },
    [](EventClock *c) { *c = EventClock{2026, 12, 8, 14, 5, 9}; },
};

TEST_F(MaintenanceTest, TestEventIsReportedOrItsRefusalShown)
{
    Start("default");
    std::string table = paths.state + ".events.csv";
    std::ofstream(table) << "TEST,0,60009,0,3,0,0,0,0,Test event (error)\n"
                            "TEST,0,60010,0,12,0,0,0,0,Test event (warning)\n";
    SetEventLogSeam(&kFakeEventLog);
    ClearEventTable();
    ASSERT_EQ(1, ReadEventInfoFile(table.c_str()));
    DeleteFileA(table.c_str());

    g_events = FakeEventLog();
    ExpectBox(IDS_TEST_EVENT_DONE, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, OnEventSettingBtnClicked(nullptr, EVENT_RADIO_WARNING));
    EXPECT_EQ((std::vector<std::string>{"2026/12/08 14:05:09", "FFFFFFFF", "Test event (warning)", "060010"}),
              g_events.strings);

    // A code missing from the table does nothing visible.
    g_events = FakeEventLog();
    EXPECT_EQ(0, OnEventSettingBtnClicked(nullptr, EVENT_RADIO_INFORMATION));
    EXPECT_TRUE(g_events.strings.empty());

    // The event log refuses: an error box, not the "has been registered" notice.
    g_events = FakeEventLog();
    g_events.refuse = 1;
    ExpectBox(IDS_TEST_EVENT_FAILED, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(0, OnEventSettingBtnClicked(nullptr, EVENT_RADIO_ERROR));
    EXPECT_NE(std::string::npos, boxes.seen.back().text.find("code=0x6BA")) << boxes.seen.back().text;
    SetEventLogSeam(nullptr);
    ClearEventTable();
}

// The installation folder the event table is read from, as the scripted registry answers it.
static std::string g_installDir;

TEST_F(MaintenanceTest, AFailedReadOfTheEventTableIsShownOnceWhenThePageIsShown)
{
    Start("default");
    EventLogSeam seam = kFakeEventLog;
    seam.readInstallDir = [](char *out, unsigned size) {
        snprintf(out, size, "%s", g_installDir.c_str());
        return 1;
    };
    SetEventLogSeam(&seam);
    g_installDir = paths.state + ".events\\";
    CreateDirectoryA(g_installDir.c_str(), nullptr);
    std::string table = g_installDir + "zav_config.csv";
    struct Case {
        const char *content; // null: no file at all
        uint16_t box;        // 0: nothing to tell
    } cases[] = {
        {nullptr, IDS_EVENT_TABLE_MISSING},
        {"TEST,0,60009,0,3,0,0,0,0,Test event (error)\nTEST,0,60010,0,26,0,0,0,0,Bad kind\n", IDS_EVENT_TABLE_MALFORMED},
        {"TEST,0,60009,0,3,0,0,0,0,Test event (error)\n", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.box);
        DeleteFileA(table.c_str());
        if (c.content)
            std::ofstream(table) << c.content;
        ClearEventTable();
        LoadPageEventTable();
        if (c.box)
            ExpectBox(c.box, IDS_CAPTION_MAINTENANCE);
        EXPECT_EQ(c.box ? 1 : 0, ReportEventTableProblem(nullptr));
        EXPECT_EQ(0, ReportEventTableProblem(nullptr)) << "told once only";
    }
    // The lines before a malformed one stay usable.
    std::ofstream(table) << "TEST,0,60009,0,3,0,0,0,0,Test event (error)\nbroken\n";
    ClearEventTable();
    LoadPageEventTable();
    ExpectBox(IDS_EVENT_TABLE_MALFORMED, IDS_CAPTION_MAINTENANCE);
    ReportEventTableProblem(nullptr);
    g_events = FakeEventLog();
    ExpectBox(IDS_TEST_EVENT_DONE, IDS_CAPTION_MAINTENANCE);
    EXPECT_EQ(1, OnEventSettingBtnClicked(nullptr, EVENT_RADIO_ERROR));
    DeleteFileA(table.c_str());
    RemoveDirectoryA(g_installDir.c_str());
    SetEventLogSeam(nullptr);
    ClearEventTable();
}

TEST_F(MaintenanceTest, RowsShowStateProgressAndErrors)
{
    Start("degraded");
    static LdRow lds[LD_MAX];
    int n = BuildLdRows(CurrentRecord(), lds, LD_MAX);
    ASSERT_EQ(2, n);
    EXPECT_EQ("LD0", std::string(lds[0].cells[0]));
    EXPECT_EQ("Rebuild (30%(PD5))", std::string(lds[0].cells[2]).substr(0, 18)) << lds[0].cells[2];
    EXPECT_EQ("-", std::string(lds[1].cells[2]));
    static PdRow pds[CONTDATA_PD_SLOTS];
    n = BuildMaintPdRows(CurrentRecord(), pds, CONTDATA_PD_SLOTS);
    ASSERT_GE(n, 8);
    EXPECT_EQ("Rebuild (30%)", std::string(pds[5].cells[4]));
    EXPECT_EQ("-", std::string(pds[0].cells[4]));
}

} // namespace
