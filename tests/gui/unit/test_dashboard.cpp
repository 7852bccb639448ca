// Dashboard logic against the simulator: visibility, the RAID-group tree, PD rows, menu rules,
// PD actions with their boxes and the learn cycle.
#include "gui_fixture.h"

#include "common/storelib_layout.h"
#include "gui/Page0Logic.h"

using namespace guitest;

namespace {

class DashboardTest : public GuiLogicTest {
protected:
    std::vector<std::string> Tree()
    {
        static TreeNodes nodes;
        BuildLdTree(CurrentRecord(), g_gui.currentCtrl, &nodes);
        std::vector<std::string> lines;
        for (int i = 0; i < nodes.count; i++)
            lines.push_back(std::string(2 * nodes.nodes[i].depth, ' ') + nodes.nodes[i].text);
        return lines;
    }

    PdRow Row(uint8_t slot)
    {
        PdRow row;
        FillPdRow(CurrentRecord(), slot, &row);
        return row;
    }

    void LoadText(const std::string &json)
    {
        std::string file = paths.state + ".scenario.json";
        std::ofstream(file) << json;
        Start(file);
        DeleteFileA(file.c_str());
    }
};

TEST_F(DashboardTest, CacheBackupAndEnclosureControlsFollowTheController)
{
    struct Case {
        const char *scenario;
        int enclosure, cacheBackup;
    } cases[] = {{"default", 1, 1}, {"embedded", 0, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scenario);
        UnloadStoreLibrary();
        Start(c.scenario);
        DashboardVisibility v = DashboardVisibilityOf(CurrentRecord());
        EXPECT_EQ(c.enclosure, v.enclosureButton);
        EXPECT_EQ(c.cacheBackup, v.cacheBackup);
    }
}

TEST_F(DashboardTest, TreeShowsGroupsTheirLdsAndDriveLetters)
{
    Start("default");
    std::vector<std::string> want = {
        "RAID Group 0 (RG0), RAID5", "  Logical Drive(s)", "    LD0 (OPTIMAL, 557.750GB)",
        "RAID Group 1 (RG1), RAID1", "  Logical Drive(s)", "    LD1 (OPTIMAL, 278.875GB)"};
    EXPECT_EQ(want, Tree());
    snprintf(g_records[0].driveLetters[1], CONTDATA_DRIVE_LETTERS_SIZE, "D,E");
    EXPECT_EQ("    LD1 (OPTIMAL, 278.875GB, D,E)", Tree()[5]);
    Sim({"ld", "degrade", "0", "0"});
    ASSERT_EQ(1, RefreshCurrentRecord());
    EXPECT_EQ("    LD0 (DEGRADED, 557.750GB)", Tree()[2]);
}

TEST_F(DashboardTest, TreeListsUsableFreeSpaceOfAGroup)
{
    LoadText(R"({"controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 8}],
        "drives": [{"slots": "0-3", "size_gb": 100}],
        "lds": [{"raid": 1, "slots": [0, 1], "sizes_gb": [20, 30]}, {"raid": 0, "slots": [2], "sizes_gb": [10]}]}]})");
    std::vector<std::string> tree = Tree();
    ASSERT_GE(tree.size(), 9u);
    EXPECT_EQ("RAID Group 0 (RG0), RAID1", tree[0]);
    EXPECT_EQ("    LD0 (OPTIMAL, 20.000GB)", tree[2]);
    EXPECT_EQ("    LD1 (OPTIMAL, 30.000GB)", tree[3]);
    EXPECT_EQ("  Free Space(s)", tree[4]);
    EXPECT_EQ("    Capacity ", tree[5].substr(0, 13));
    EXPECT_EQ("RAID Group 1 (RG1), RAID0", tree[6]);
    EXPECT_EQ("    LD2 (OPTIMAL, 10.000GB)", tree[8]);
    ASSERT_EQ(11u, tree.size());
    EXPECT_EQ("  Free Space(s)", tree[9]);
    EXPECT_EQ("    Capacity 90.000GB", tree[10]) << "a RAID0 group keeps the whole rest of its drive";
}

TEST_F(DashboardTest, TreeListsFreeSpaceOfASpannedGroupOnceForAllItsArrays)
{
    // RAID10 over four drives: two arrays (one per span) that form one spanned group.
    LoadText(R"({"controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 8}],
        "drives": [{"slots": "0-5", "size_gb": 100}],
        "lds": [{"raid": 10, "slots": [0, 1, 2, 3], "sizes_gb": [50]}, {"raid": 1, "slots": [4, 5]}]}]})");
    std::vector<std::string> want = {
        "Spanned RAID Group 0 (sRG0), RAID10", "  Logical Drive(s)", "    LD0 (OPTIMAL, 50.000GB)",
        "  Free Space(s)", "    Capacity 150.000GB",
        "RAID Group 0 (RG0), RAID1", "  Logical Drive(s)", "    LD1 (OPTIMAL, 100.000GB)"};
    EXPECT_EQ(want, Tree()) << "the rest of every span counts once, with the drives of all spans";
}

TEST_F(DashboardTest, OnlyLdNodesHaveAMenu)
{
    Start("snapshot");
    struct Case {
        uint32_t tag;
        int show, snapshotInfo;
    } cases[] = {
        {0, 0, 0},                        // RAID-group root (array reference 0)
        {NODE_TAG_LD_FOLDER, 0, 0},
        {NODE_TAG_FREE_FOLDER, 0, 0},
        {NODE_TAG_FREE, 0, 0},
        {NODE_TAG_LD + 0, 1, 1},          // snapshot base
        {NODE_TAG_LD + 1, 1, 1},          // holds the repository
        {NODE_TAG_LD + 2, 1, 0},          // plain LD
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tag);
        LdMenuState m = LdMenuStateOf(CurrentRecord(), c.tag);
        EXPECT_EQ(c.show, m.show);
        EXPECT_EQ(c.show, m.snapshotItem) << "the controller supports snapshots";
        EXPECT_EQ(c.snapshotInfo, m.snapshotInfo);
    }
    UnloadStoreLibrary();
    Start("default");
    EXPECT_EQ(0, LdMenuStateOf(CurrentRecord(), NODE_TAG_LD).snapshotItem);
}

TEST_F(DashboardTest, PdListHasOneRowPerSlotAndDashesForEmptySlots)
{
    Start("default");
    static PdRow rows[CONTDATA_PD_SLOTS];
    int n = BuildPdRows(CurrentRecord(), rows, CONTDATA_PD_SLOTS);
    ASSERT_GE(n, 8);
    for (int i = 0; i < n; i++)
        EXPECT_EQ(i, rows[i].slot);
    std::vector<std::string> slot0(rows[0].cells, rows[0].cells + PD_COLUMNS);
    EXPECT_EQ((std::vector<std::string>{"PD0", "LD0", "RG0", "ONLINE", "HDD", "278.875"}), slot0);
    std::vector<std::string> slot5(rows[5].cells, rows[5].cells + PD_COLUMNS);
    EXPECT_EQ((std::vector<std::string>{"PD5", "GHS", "-", "HOT SPARE", "HDD", "278.875"}), slot5);
    Sim({"pd", "pull", "0", "6"});
    ASSERT_EQ(1, RefreshCurrentRecord());
    PdRow pulled = Row(6);
    EXPECT_EQ(0, pulled.present);
    std::vector<std::string> cells(pulled.cells, pulled.cells + PD_COLUMNS);
    EXPECT_EQ((std::vector<std::string>{"PD6", "-", "-", "-", "-", "-"}), cells);
}

TEST_F(DashboardTest, PdMenuFollowsPresenceAndAllowedOperations)
{
    Start("default");
    Sim({"pd", "pull", "0", "7"});
    ASSERT_EQ(1, RefreshCurrentRecord());
    PdRow empty = Row(7);
    PdMenuState m = PdMenuStateOf(CurrentRecord(), &empty);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0, 0, 0}),
              (std::vector<int>{m.info, m.reload, m.online, m.offline, m.unconfGood, m.locate}))
        << "an empty slot offers only Refresh";
    for (uint8_t slot : {0, 5, 6}) {
        SCOPED_TRACE(slot);
        PdRow row = Row(slot);
        uint32_t allowed = LayoutU32(CurrentRecord()->pdInfo[slot], PI_ALLOWED_OPS);
        m = PdMenuStateOf(CurrentRecord(), &row);
        EXPECT_EQ(1, m.info);
        EXPECT_EQ(1, m.reload);
        EXPECT_EQ((allowed & PD_ALLOW_MAKE_ONLINE) != 0, m.online != 0);
        EXPECT_EQ((allowed & PD_ALLOW_MAKE_OFFLINE) != 0, m.offline != 0);
        EXPECT_EQ((allowed & PD_ALLOW_MAKE_UNCONF_GOOD) != 0, m.unconfGood != 0);
        EXPECT_EQ((allowed & PD_ALLOW_LOCATE) != 0, m.locate != 0);
    }
    PdRow member = Row(0);
    m = PdMenuStateOf(CurrentRecord(), &member);
    EXPECT_EQ(1, m.offline) << "an online member can be taken offline";
    CurrentRecord()->pdInfo[0][PI_SCSI_DEV_TYPE] = 5; // not a disk
    m = PdMenuStateOf(CurrentRecord(), &member);
    EXPECT_EQ(0, m.info);
    EXPECT_EQ(0, m.offline);
}

TEST_F(DashboardTest, PdActionsSendToTheRowsSlotAndShowTheirBoxOnFailure)
{
    Start("default");
    struct Case {
        const char *name;
        int action;
        const char *command;
        const char *commandNo; // PD command number, for the fault rule
        uint8_t slot;
        uint16_t failBox;
    } cases[] = {
        {"offline", PD_ACTION_OFFLINE, "SLMakeDriveOffline", "2", 1, IDS_PD_STATE_FAILED},
        {"online", PD_ACTION_ONLINE, "SLMakeDriveOnline", "1", 1, IDS_PD_STATE_FAILED},
        {"locate on", PD_ACTION_LOCATE_ON, "SLStartLocatePD", "8", 6, IDS_LOCATE_ON_FAILED},
        {"locate off", PD_ACTION_LOCATE_OFF, "SLStopLocatePD", "9", 6, IDS_LOCATE_OFF_FAILED},
        {"unconfigured good", PD_ACTION_UNCONF_GOOD, "SLMakeDriveUnconfGood", "19", 7, IDS_PD_STATE_FAILED},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClearJournal();
        PdRow row = Row(c.slot);
        RunPdAction(c.action, nullptr, IDS_CAPTION_DASHBOARD, &row);
        std::vector<std::string> sent = Sent(c.command);
        ASSERT_EQ(1u, sent.size()) << Journal();
        char ref[16];
        snprintf(ref, sizeof(ref), "ref1=0x%04X", c.slot + 8);
        EXPECT_NE(std::string::npos, sent[0].find(ref)) << sent[0];
    }
    // Refused by the controller: the box of the action, caption of the page that asked.
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " refused");
        PdRow row = Row(c.slot);
        Sim({"fault", "add", "2", c.commandNo, "0x3", "count=1"});
        ExpectBox(c.failBox, IDS_CAPTION_MAINTENANCE);
        EXPECT_EQ(0, RunPdAction(c.action, nullptr, IDS_CAPTION_MAINTENANCE, &row));
    }
}

TEST_F(DashboardTest, MakeOfflineTakesTheDriveOfflineWithoutAQuestion)
{
    Start("default");
    PdRow row = Row(1);
    EXPECT_EQ(1, RunPdAction(PD_ACTION_OFFLINE, nullptr, IDS_CAPTION_DASHBOARD, &row));
    ASSERT_EQ(1, RefreshCurrentRecord());
    EXPECT_EQ(PD_STATE_OFFLINE, LayoutU16(CurrentRecord()->pdInfo[1], PI_FW_STATE));
    EXPECT_EQ(0u, BoxesShown());
}

TEST_F(DashboardTest, PdActionWithoutARowSendsNothing)
{
    Start("default");
    EXPECT_EQ(1, RunPdAction(PD_ACTION_OFFLINE, nullptr, IDS_CAPTION_DASHBOARD, nullptr));
    EXPECT_TRUE(Sent("SLMakeDriveOffline").empty());
}

TEST_F(DashboardTest, LearnCycleReportsStartAndFailure)
{
    Start("default");
    ExpectBox(IDS_LEARN_STARTED, IDS_CAPTION_DASHBOARD);
    EXPECT_EQ(1, OnButtonCacheBkupDiag(nullptr));
    EXPECT_EQ(1u, Sent("SLLearnCacheBkup").size()) << Journal();
    Sim({"fault", "add", "5", "3", "0x3"});
    ExpectBox(IDS_LEARN_FAILED, IDS_CAPTION_DASHBOARD);
    EXPECT_EQ(0, OnButtonCacheBkupDiag(nullptr));
}

} // namespace
