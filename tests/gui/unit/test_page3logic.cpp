// Hot Spare page logic against the simulator: the warnings before a global hot spare, the
// refusals of a dedicated one, the group choice and the release.
#include "gui_fixture.h"

#include "common/Facts.h"
#include "common/DispFormat.h"
#include "gui/Page0Logic.h"
#include "gui/Page3Logic.h"

namespace guitest {
namespace {

int g_chooserCalls;
int g_chooserAnswer;

int ScriptedChooser(void *, const RaidGroupChoice *, unsigned count)
{
    ++g_chooserCalls;
    return g_chooserAnswer < (int)count ? g_chooserAnswer : -1;
}

class Page3LogicTest : public GuiLogicTest {
protected:
    void SetUp() override
    {
        GuiLogicTest::SetUp();
        g_chooserCalls = 0;
        g_chooserAnswer = 0;
    }
    // Replaces the unconfigured drive in slot 7 of the default scenario.
    void ReplaceSlot7(const std::vector<std::string> &keys)
    {
        Sim({"pd", "pull", "0", "7"});
        std::vector<std::string> args = {"pd", "insert", "0", "7"};
        args.insert(args.end(), keys.begin(), keys.end());
        Sim(args);
        ASSERT_EQ(1, RefreshCurrentRecord());
        ClearJournal();
    }
};

// Each comparison that fails asks its warning, in order; every Yes goes on to the command.
TEST_F(Page3LogicTest, GlobalSpareWarnsForEachDifferenceBeforeAssigning)
{
    struct Row {
        std::vector<std::string> keys;
        std::vector<uint16_t> warnings;
    } rows[] = {
        {{"size_gb=278.875"}, {}},
        {{"size_gb=278.875", "iface=sata"}, {IDS_GHS_OTHER_INTERFACE}},
        {{"size_gb=278.875", "media=ssd"}, {IDS_GHS_OTHER_MEDIA}},
        {{"size_gb=100"}, {IDS_GHS_SMALLER}},
        {{"size_gb=100", "iface=sata", "media=ssd"}, {IDS_GHS_OTHER_INTERFACE, IDS_GHS_OTHER_MEDIA, IDS_GHS_SMALLER}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keys.back());
        Start("default");
        ReplaceSlot7(row.keys);
        for (uint16_t w : row.warnings)
            ExpectBox(w, IDS_CAPTION_HOT_SPARE, BOX_YES);
        EXPECT_EQ(HOTSPARE_DONE, AddHotSpare(nullptr, 7, HOTSPARE_GLOBAL, ScriptedChooser));
        EXPECT_EQ(1u, Sent("SLMakeGlobalHotspare").size());
        boxes.expected.clear();
    }
}

TEST_F(Page3LogicTest, NoToAGlobalSpareWarningSendsNothing)
{
    Start("default");
    ReplaceSlot7({"size_gb=100", "iface=sata"});
    ExpectBox(IDS_GHS_OTHER_INTERFACE, IDS_CAPTION_HOT_SPARE, BOX_YES);
    ExpectBox(IDS_GHS_SMALLER, IDS_CAPTION_HOT_SPARE, BOX_NO);
    EXPECT_EQ(HOTSPARE_DECLINED, AddHotSpare(nullptr, 7, HOTSPARE_GLOBAL, ScriptedChooser));
    EXPECT_TRUE(Sent("SLMakeGlobalHotspare").empty());
}

TEST_F(Page3LogicTest, RefusedGlobalSpareShows282AndStillRefreshes)
{
    Start("default");
    Sim({"fault", "add", "2", "10", "0x32"});
    ExpectBox(IDS_HS_ASSIGN_FAILED, IDS_CAPTION_HOT_SPARE);
    EXPECT_EQ(HOTSPARE_FAILED, AddHotSpare(nullptr, 6, HOTSPARE_GLOBAL, ScriptedChooser));
    EXPECT_FALSE(Sent("SLGetPDList").empty());
}

TEST_F(Page3LogicTest, NoRowSelectedDoesNothing)
{
    Start("default");
    EXPECT_EQ(HOTSPARE_NOTHING_SELECTED, AddHotSpare(nullptr, -1, HOTSPARE_GLOBAL, ScriptedChooser));
    EXPECT_EQ(HOTSPARE_NOTHING_SELECTED, ReleaseHotSpare(nullptr, -1));
    EXPECT_EQ(0u, BoxesShown());
    EXPECT_EQ("", Journal());
}

TEST_F(Page3LogicTest, DedicatedSpareWithoutRaidGroupShows545WithoutTheGroupDialog)
{
    std::string file = paths.state + ".scenario.json";
    {
        std::ofstream out(file, std::ios::binary);
        out << R"({"controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 4}],
                  "drives": [{"slots": "0-3", "size_gb": 278.875}]}]})";
    }
    Start(file);
    DeleteFileA(file.c_str());
    ExpectBox(IDS_DHS_NO_RG, IDS_CAPTION_HOT_SPARE);
    EXPECT_EQ(HOTSPARE_REFUSED, AddHotSpare(nullptr, 0, HOTSPARE_DEDICATED, ScriptedChooser));
    EXPECT_EQ(0, g_chooserCalls);
    EXPECT_TRUE(Sent("SLMakeDedicatedHotspare").empty());
}

TEST_F(Page3LogicTest, DedicatedSpareGoesToTheChosenGroup)
{
    Start("default");
    g_chooserAnswer = 1;
    EXPECT_EQ(HOTSPARE_DONE, AddHotSpare(nullptr, 6, HOTSPARE_DEDICATED, ScriptedChooser));
    EXPECT_EQ(1, g_chooserCalls);
    std::vector<std::string> sent = Sent("SLMakeDedicatedHotspare");
    ASSERT_EQ(1u, sent.size());
    char usage[64];
    PdUsageText(usage, sizeof(usage), CurrentRecord(), 6);
    EXPECT_STREQ("DHS", usage);
}

TEST_F(Page3LogicTest, GroupDialogLeftWithoutAddSendsNothing)
{
    Start("default");
    g_chooserAnswer = -1;
    EXPECT_EQ(HOTSPARE_DECLINED, AddHotSpare(nullptr, 6, HOTSPARE_DEDICATED, ScriptedChooser));
    EXPECT_TRUE(Sent("SLMakeDedicatedHotspare").empty());
}

TEST_F(Page3LogicTest, DedicatedSpareThatDoesNotFitItsGroupIsRefused)
{
    struct Row {
        std::vector<std::string> keys;
        uint16_t refusal;
    } rows[] = {
        {{"size_gb=278.875", "iface=sata"}, IDS_DHS_OTHER_INTERFACE},
        {{"size_gb=278.875", "media=ssd"}, IDS_DHS_OTHER_MEDIA},
        {{"size_gb=100"}, IDS_DHS_SMALLER},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.refusal);
        Start("default");
        ReplaceSlot7(row.keys);
        ExpectBox(row.refusal, IDS_CAPTION_HOT_SPARE);
        EXPECT_EQ(HOTSPARE_REFUSED, AddHotSpare(nullptr, 7, HOTSPARE_DEDICATED, ScriptedChooser));
        EXPECT_TRUE(Sent("SLMakeDedicatedHotspare").empty());
    }
}

TEST_F(Page3LogicTest, ReleaseAsksWhileLdsExistAndNoKeepsTheSpare)
{
    struct Row {
        int answer;
        size_t removes;
        int outcome;
    } rows[] = {{BOX_NO, 0, HOTSPARE_DECLINED}, {BOX_YES, 1, HOTSPARE_DONE}};
    for (const Row &row : rows) {
        Start("default");
        ExpectBox(IDS_HS_RELEASE_WITH_LDS, IDS_CAPTION_HOT_SPARE, row.answer);
        EXPECT_EQ(row.outcome, ReleaseHotSpare(nullptr, 5));
        EXPECT_EQ(row.removes, Sent("SLRemoveHotspare").size());
    }
}

TEST_F(Page3LogicTest, ReleaseFailuresShow281)
{
    // PD information (2/0), LD list (1/13) or the removal itself (2/13) fails once.
    struct Row {
        const char *type, *cmd;
        bool asks;
    } rows[] = {{"2", "0", false}, {"1", "13", false}, {"2", "13", true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.type) + "/" + row.cmd);
        Start("default");
        Sim({"fault", "add", row.type, row.cmd, "0x32", "count=1"});
        if (row.asks)
            ExpectBox(IDS_HS_RELEASE_WITH_LDS, IDS_CAPTION_HOT_SPARE, BOX_YES);
        ExpectBox(IDS_HS_RELEASE_FAILED, IDS_CAPTION_HOT_SPARE);
        EXPECT_EQ(HOTSPARE_FAILED, ReleaseHotSpare(nullptr, 5));
    }
}

TEST_F(Page3LogicTest, ListsSplitSparesFromCandidates)
{
    Start("default");
    static PdRow rows[CONTDATA_PD_SLOTS];
    int spares = BuildHotSpareRows(CurrentRecord(), rows, CONTDATA_PD_SLOTS);
    ASSERT_EQ(1, spares);
    EXPECT_EQ(5, rows[0].slot);
    int candidates = BuildSpareCandidateRows(CurrentRecord(), rows, CONTDATA_PD_SLOTS);
    ASSERT_EQ(2, candidates);
    EXPECT_EQ(6, rows[0].slot);
    EXPECT_EQ(7, rows[1].slot);
    EXPECT_STREQ("[GHS]", HotSpareKindText(HOTSPARE_GLOBAL));
    EXPECT_STREQ("[DHS]", HotSpareKindText(HOTSPARE_DEDICATED));
}

} // namespace
} // namespace guitest
