// Delete LD page logic against the simulator: the check pass before any question, the two
// questions, the construct-info file, the deletion order, failures and the CacheCade switch.
#include "gui_fixture.h"

#include <cstdio>

#include "common/SnapSupport.h"
#include "gui/Page2Logic.h"

namespace guitest {
namespace {

std::string ConstructFile()
{
    char path[MAX_PATH];
    ConstructInfoPath(0, path, sizeof(path));
    return path;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Page2LogicTest : public GuiLogicTest {
protected:
    void TearDown() override
    {
        DeleteFileA(ConstructFile().c_str());
        GuiLogicTest::TearDown();
    }
    void WriteConstructFile()
    {
        std::ofstream out(ConstructFile(), std::ios::binary);
        out << "0,1\n";
    }
    bool HasLd(uint8_t target) { return LdListHas(CurrentRecord(), target) != 0; }
};

TEST_F(Page2LogicTest, NothingSelectedAsksNothingAndDeletesNothing)
{
    Start("default");
    EXPECT_EQ(DELETE_NOTHING_SELECTED, DeleteSelectedLds(nullptr, nullptr, 0));
    uint8_t none[1] = {1};
    EXPECT_EQ(DELETE_NOTHING_SELECTED, DeleteSelectedLds(nullptr, none, 0));
    EXPECT_EQ(0u, BoxesShown());
    EXPECT_TRUE(Sent("SLDeleteLD").empty());
}

TEST_F(Page2LogicTest, SnapshotBaseInTheSelectionRefusesBeforeAnyQuestion)
{
    Start("snapshot");
    ExpectBox(IDS_DELETE_SNAPSHOT_LD, IDS_CAPTION_DELETE_LD);
    const uint8_t selected[] = {2, 0};
    EXPECT_EQ(DELETE_REFUSED, DeleteSelectedLds(nullptr, selected, 2));
    EXPECT_TRUE(Sent("SLDeleteLD").empty());
    EXPECT_TRUE(HasLd(0) && HasLd(2));
}

TEST_F(Page2LogicTest, RepositoryLdIsRefusedLikeABase)
{
    Start("snapshot");
    ExpectBox(IDS_DELETE_SNAPSHOT_LD, IDS_CAPTION_DELETE_LD);
    const uint8_t selected[] = {1};
    EXPECT_EQ(DELETE_REFUSED, DeleteSelectedLds(nullptr, selected, 1));
    EXPECT_TRUE(Sent("SLDeleteLD").empty());
}

// Cancel at either question keeps the LD and the construct-info file.
TEST_F(Page2LogicTest, CancelAtEitherQuestionKeepsLdAndConstructFile)
{
    struct Row {
        int first, second;
        bool secondAsked;
    } rows[] = {{BOX_CANCEL, 0, false}, {BOX_OK, BOX_CANCEL, true}};
    Start("default");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.secondAsked);
        WriteConstructFile();
        ExpectBox(IDS_DELETE_DATA_LOST, IDS_CAPTION_DELETE_LD, row.first);
        if (row.secondAsked)
            ExpectBox(IDS_DELETE_PROCEED, IDS_CAPTION_DELETE_LD, row.second);
        const uint8_t selected[] = {1};
        EXPECT_EQ(DELETE_CANCELLED, DeleteSelectedLds(nullptr, selected, 1));
        EXPECT_TRUE(Sent("SLDeleteLD").empty());
        EXPECT_TRUE(FileExists(ConstructFile()));
        EXPECT_TRUE(HasLd(1));
    }
}

// The construct-info file goes from where creation wrote it (the installation folder), and
// only after both answers.
TEST_F(Page2LogicTest, ConfirmedDeleteRemovesLdAndItsConstructFile)
{
    Start("default");
    WriteConstructFile();
    ExpectBox(IDS_DELETE_DATA_LOST, IDS_CAPTION_DELETE_LD, BOX_OK);
    ExpectBox(IDS_DELETE_PROCEED, IDS_CAPTION_DELETE_LD, BOX_OK);
    const uint8_t selected[] = {1};
    EXPECT_EQ(DELETE_DONE, DeleteSelectedLds(nullptr, selected, 1));
    EXPECT_EQ(1u, Sent("SLDeleteLD").size());
    EXPECT_FALSE(FileExists(ConstructFile()));
    EXPECT_FALSE(HasLd(1));
    EXPECT_TRUE(HasLd(0));
}

TEST_F(Page2LogicTest, LdsAreDeletedInSelectionOrderAndAFailureStopsWithOneBox)
{
    Start("default");
    Sim({"fault", "add", "3", "3", "0x32", "ld=0"});
    ExpectBox(IDS_DELETE_DATA_LOST, IDS_CAPTION_DELETE_LD, BOX_OK);
    ExpectBox(IDS_DELETE_PROCEED, IDS_CAPTION_DELETE_LD, BOX_OK);
    ExpectBox(IDS_DELETE_LD_FAILED, IDS_CAPTION_DELETE_LD);
    const uint8_t selected[] = {1, 0};
    EXPECT_EQ(DELETE_FAILED, DeleteSelectedLds(nullptr, selected, 2));
    std::vector<std::string> deletes = Sent("SLDeleteLD");
    ASSERT_EQ(2u, deletes.size());
    EXPECT_NE(std::string::npos, deletes[0].find("ref2=0x0001"));
    EXPECT_NE(std::string::npos, deletes[1].find("ref2=0x0000"));
    EXPECT_FALSE(HasLd(1));
    EXPECT_TRUE(HasLd(0));
}

TEST_F(Page2LogicTest, UnreadableLdIsRefusedWith273)
{
    Start("default");
    Sim({"fault", "add", "3", "0", "0x0C", "ld=1"});
    ExpectBox(IDS_DELETE_LD_FAILED, IDS_CAPTION_DELETE_LD);
    const uint8_t selected[] = {1};
    EXPECT_EQ(DELETE_REFUSED, DeleteSelectedLds(nullptr, selected, 1));
    EXPECT_TRUE(Sent("SLDeleteLD").empty());
}

TEST_F(Page2LogicTest, DeletingTheLastCacheCadeLdSwitchesTheOthersToDirectIo)
{
    const char *scenario = R"({"controllers": [{"id": 0, "product": "LSI MegaRAID SAS 9265-8i", "cachecade": true,
      "cache_backup": {"type": 4}, "enclosures": [{"devId": 252, "slots": 8}],
      "drives": [{"slots": "0-3", "size_gb": 558.406},
                 {"slots": "4-7", "size_gb": 185.75, "media": "ssd", "iface": "sas"}],
      "lds": [{"raid": 5, "slots": [0, 1, 2], "name": "Data", "cache": 101},
              {"raid": 0, "slots": [4], "name": "Cache", "cachecade": true}]}]})";
    std::string file = paths.state + ".scenario.json";
    {
        std::ofstream out(file, std::ios::binary);
        out << scenario;
    }
    Start(file);
    DeleteFileA(file.c_str());
    uint8_t cacheCadeLd = 0xFF;
    for (uint8_t t = 0; t < LD_MAX; t++)
        if (LdListHas(CurrentRecord(), t) && CurrentRecord()->ldInfo[t][LI_CACHECADE])
            cacheCadeLd = t;
    ASSERT_NE(0xFF, cacheCadeLd);
    ExpectBox(IDS_DELETE_DATA_LOST, IDS_CAPTION_DELETE_LD, BOX_OK);
    ExpectBox(IDS_DELETE_PROCEED, IDS_CAPTION_DELETE_LD, BOX_OK);
    ExpectBox(IDS_CACHECADE_DIRECT_IO, IDS_CAPTION_DELETE_LD);
    const uint8_t selected[] = {cacheCadeLd};
    EXPECT_EQ(DELETE_DONE, DeleteSelectedLds(nullptr, selected, 1));
    ASSERT_EQ(1, RefreshCurrentRecord());
    EXPECT_EQ(0, CurrentRecord()->ldInfo[0][LI_DEFAULT_CACHE] & 0x60);
    EXPECT_EQ(0x05, CurrentRecord()->ldInfo[0][LI_DEFAULT_CACHE] & 0x05);
}

} // namespace
} // namespace guitest
