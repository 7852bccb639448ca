// Property pane texts against the simulator: the values are the console tool's, the lines are
// "label, tabs, colon, value" with the pane's line end, and a full pane stays terminated.
#include "gui_fixture.h"

#include <map>

#include "common/DispFormat.h"
#include "gui/InfoPanes.h"

namespace guitest {
namespace {

// label -> value of every "label\t...: value" line of a pane.
std::map<std::string, std::string> PaneValues(const std::string &text)
{
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t tab = line.find('\t'), colon = line.find(": ");
        if (tab == std::string::npos || colon == std::string::npos || colon < tab)
            continue;
        values[line.substr(0, tab)] = line.substr(colon + 2);
    }
    return values;
}

class InfoPanesTest : public GuiLogicTest {
protected:
    PaneText *left = new PaneText(), *right = new PaneText();
    void TearDown() override
    {
        delete left;
        delete right;
        GuiLogicTest::TearDown();
    }
};

TEST_F(InfoPanesTest, ControllerPanesShowTheValuesTheConsoleToolPrints)
{
    Start("default");
    ASSERT_EQ(1, BuildCtrlInfoPanes(0, CurrentRecord(), left, right));
    std::map<std::string, std::string> l = PaneValues(left->text), r = PaneValues(right->text);
    EXPECT_EQ("LSI MegaRAID SAS 9260-8i", l["Product Name"]);
    EXPECT_EQ("SV12345678", l["Serial No"]);
    char memory[32];
    snprintf(memory, sizeof(memory), "%d MB", (int)LayoutU16(CurrentRecord()->ctrlInfo, CI_MEMORY_SIZE));
    EXPECT_EQ(memory, l["Memory Size"]);
    EXPECT_EQ("0x1000", l["Vendor ID"]);
    EXPECT_EQ("Yes", l["Cache Backup Present"]);
    EXPECT_EQ("Automatic", r["Rebuild Mode"]);
    EXPECT_TRUE(r.count("Patrol Read Mode"));
    EXPECT_TRUE(r.count("Driver Version"));
    EXPECT_EQ("Disabled", r["Snapshot"]);
    EXPECT_NE(std::string::npos, std::string(left->text).find("###   General Information   ###\r\n"));
    EXPECT_NE(std::string::npos, std::string(left->text).find("Serial No\t\t\t: SV12345678\r\n\r\n"));
    EXPECT_NE(std::string::npos, std::string(right->text).find("###   MegaRAID Advanced Options   ###"));
}

TEST_F(InfoPanesTest, AFailedControllerQueryFailsThePanes)
{
    const char *cmds[][2] = {{"1", "0"}, {"1", "11"}, {"1", "15"}};
    for (auto &cmd : cmds) {
        SCOPED_TRACE(cmd[1]);
        Start("default");
        Sim({"fault", "add", cmd[0], cmd[1], "0x32"});
        EXPECT_EQ(0, BuildCtrlInfoPanes(0, CurrentRecord(), left, right));
    }
}

TEST_F(InfoPanesTest, LdAndPdPanesEndLinesOnce)
{
    Start("default");
    ASSERT_EQ(1, BuildLdPropertiesPane(g_records, 0, 0, left));
    std::map<std::string, std::string> ld = PaneValues(left->text);
    EXPECT_EQ("RAID5", ld["RAID Level"]);
    EXPECT_EQ("System", ld["Name"]);
    EXPECT_EQ("3", ld["# of PD"]);
    EXPECT_EQ(std::string::npos, std::string(left->text).find("\r\n\r\nName"));
    ASSERT_EQ(1, BuildPdPropertiesPane(CurrentRecord(), 0, 6, left));
    std::map<std::string, std::string> pd = PaneValues(left->text);
    EXPECT_EQ("6", pd["Slot Number"]);
    EXPECT_EQ("SEAGATE", pd["Vendor ID"]);
    EXPECT_EQ("252", pd["Enclosure ID"]);
    EXPECT_EQ(0, BuildPdPropertiesPane(CurrentRecord(), 0, 200, left));
}

TEST_F(InfoPanesTest, SnapshotBaseRepositoryAndViewPanes)
{
    Start("snapshot");
    ASSERT_EQ(1, BuildSnapshotInfoPane(CurrentRecord(), 0, 0, left));
    std::map<std::string, std::string> base = PaneValues(left->text);
    EXPECT_EQ("Operational", base["Snapshot State"]);
    EXPECT_EQ(0u, base["Associated Repository LD"].find("LD1(RAID1, "));
    EXPECT_EQ("100.000 GB", base["Total Capacity"]);
    ASSERT_EQ(1, BuildSnapshotInfoPane(CurrentRecord(), 0, 1, left));
    EXPECT_NE(std::string::npos, std::string(left->text).find("Snapshot Base LD0(RAID5, "));
    EXPECT_EQ(0, BuildSnapshotInfoPane(CurrentRecord(), 0, 2, left));
    const uint8_t *info = CurrentRecord()->snapshotInfo[0];
    ASSERT_NE(nullptr, info);
    ASSERT_EQ(1u, (unsigned)info[SB_VIEW_COUNT]);
    uint8_t viewTarget = info[SB_HEADER_SIZE + SB_PIT_SIZE * info[SB_PIT_COUNT] + SV_TARGET];
    ASSERT_EQ(1, BuildViewInfoPane(CurrentRecord(), 0, 0, viewTarget, left));
    std::map<std::string, std::string> view = PaneValues(left->text);
    EXPECT_EQ("LD0_View", view["View Name"]);
    EXPECT_EQ("LD0_2601150800", view["Snapshot Name"]);
}

TEST_F(InfoPanesTest, CacheBackupAndEnclosurePanes)
{
    Start("default");
    ASSERT_EQ(1, BuildCacheBkupPane(0, left));
    EXPECT_EQ("iBBU08", PaneValues(left->text)["Cache Backup Type"]);
    ASSERT_EQ(1, BuildEnclInfoPanes(0, left, right));
    EXPECT_EQ("8", PaneValues(left->text)["Number of Slots"]);
    EXPECT_NE(std::string::npos, std::string(right->text).find("###   Sensor Information   ###"));
}

TEST(PaneTextBound, AFullPaneStaysTerminated)
{
    PaneText *pane = new PaneText();
    PaneReset(pane);
    std::string line(300, 'x');
    for (int i = 0; i < 200; i++)
        PaneLine(pane, PANE_DOUBLE, "Label", "%s", line.c_str());
    EXPECT_EQ(sizeof(pane->text) - 1, pane->used);
    EXPECT_EQ('\0', pane->text[sizeof(pane->text) - 1]);
    EXPECT_EQ(pane->used, strlen(pane->text));
    delete pane;
}

} // namespace
} // namespace guitest
