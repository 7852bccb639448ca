// Restore LD page logic against the simulator: the scan lists each foreign configuration with
// what it would restore; Restore imports, Delete asks and clears; failures show 293.
#include "gui_fixture.h"

#include "common/ForeignConfig.h"
#include "gui/Page4Logic.h"

namespace guitest {
namespace {

class Page4LogicTest : public GuiLogicTest {
protected:
    RestoreInfo *info = new RestoreInfo();
    void TearDown() override
    {
        delete info;
        GuiLogicTest::TearDown();
    }
    unsigned LdCount()
    {
        EXPECT_EQ(1, RefreshCurrentRecord());
        return CurrentRecord()->ldList ? CurrentRecord()->ldList->count : 0;
    }
};

TEST_F(Page4LogicTest, ScanListsEachForeignConfigurationWithItsLdsAndPds)
{
    Start("foreign");
    ASSERT_EQ(1, ScanRestoreInfo(info));
    ASSERT_EQ(2u, info->configCount);
    EXPECT_EQ(1u, info->configs[0].ldCount);
    EXPECT_EQ(2u, info->configs[0].pdCount);
    EXPECT_EQ(1u, info->configs[1].ldCount);
    EXPECT_EQ(1u, info->configs[1].pdCount);
    char cell[64];
    RestoreLdCellText(cell, sizeof(cell), info, 0, 0, 1, 0);
    EXPECT_STREQ("RAID1", cell);
    RestoreLdCellText(cell, sizeof(cell), info, 1, 0, 1, 0);
    EXPECT_STREQ("RAID0", cell);
    RestoreLdCellText(cell, sizeof(cell), info, 0, 0, 0, 0);
    EXPECT_EQ('R', cell[0]);
    RestoreLdCellText(cell, sizeof(cell), info, 0, 0, 3, 0);
    EXPECT_STREQ("2", cell);
    RestoreTabText(cell, sizeof(cell), info, 1);
    EXPECT_STREQ("Foreign 1 (1 PD, 1 LD)", cell);
    EXPECT_EQ(0u, BoxesShown());
}

TEST_F(Page4LogicTest, ScanWithoutForeignConfigurationListsNothing)
{
    Start("default");
    ASSERT_EQ(1, ScanRestoreInfo(info));
    EXPECT_EQ(0u, info->configCount);
    EXPECT_EQ(RESTORE_NOTHING, RestoreForeignConfig(nullptr, info, 0));
    EXPECT_EQ(RESTORE_NOTHING, ReleaseForeignConfig(nullptr, info, 0));
    EXPECT_TRUE(Sent("SLImportForeignConfig").empty());
    EXPECT_EQ(0u, BoxesShown());
}

TEST_F(Page4LogicTest, RestoreImportsTheShownConfiguration)
{
    Start("foreign");
    ASSERT_EQ(1, ScanRestoreInfo(info));
    EXPECT_EQ(RESTORE_DONE, RestoreForeignConfig(nullptr, info, 1));
    std::vector<std::string> sent = Sent("SLImportForeignConfig");
    ASSERT_EQ(1u, sent.size());
    EXPECT_NE(std::string::npos, sent[0].find("param=0x01"));
    EXPECT_EQ(2u, LdCount());
    ASSERT_EQ(1, ScanRestoreInfo(info));
    EXPECT_EQ(1u, info->configCount);
}

TEST_F(Page4LogicTest, FailedImportShows293)
{
    Start("foreign");
    ASSERT_EQ(1, ScanRestoreInfo(info));
    Sim({"fault", "add", "4", "7", "0x3B"});
    ExpectBox(IDS_RESTORE_FAILED, IDS_CAPTION_RESTORE_LD);
    EXPECT_EQ(RESTORE_FAILED, RestoreForeignConfig(nullptr, info, 0));
    EXPECT_EQ(1u, LdCount());
}

TEST_F(Page4LogicTest, DeleteAsks292AndNoKeepsTheConfiguration)
{
    struct Row {
        int answer;
        size_t clears;
        uint32_t left;
    } rows[] = {{BOX_NO, 0, 2}, {BOX_YES, 1, 1}};
    for (const Row &row : rows) {
        Start("foreign");
        ASSERT_EQ(1, ScanRestoreInfo(info));
        ExpectBox(IDS_RESTORE_RELEASE_ASK, IDS_CAPTION_RESTORE_LD, row.answer);
        ReleaseForeignConfig(nullptr, info, 0);
        EXPECT_EQ(row.clears, Sent("SLClearForeignConfig").size());
        ASSERT_EQ(1, ScanRestoreInfo(info));
        EXPECT_EQ(row.left, info->configCount);
        EXPECT_EQ(1u, LdCount());
    }
}

TEST_F(Page4LogicTest, FailedClearShows293)
{
    Start("foreign");
    ASSERT_EQ(1, ScanRestoreInfo(info));
    Sim({"fault", "add", "4", "9", "0x32"});
    ExpectBox(IDS_RESTORE_RELEASE_ASK, IDS_CAPTION_RESTORE_LD, BOX_YES);
    ExpectBox(IDS_RESTORE_FAILED, IDS_CAPTION_RESTORE_LD);
    EXPECT_EQ(RESTORE_FAILED, ReleaseForeignConfig(nullptr, info, 0));
}

TEST_F(Page4LogicTest, FailedScanLeavesThePageEmpty)
{
    Start("foreign");
    Sim({"fault", "add", "4", "4", "0x32"});
    EXPECT_EQ(0, ScanRestoreInfo(info));
    EXPECT_EQ(0u, info->configCount);
    EXPECT_EQ(0u, BoxesShown());
}

} // namespace
} // namespace guitest
