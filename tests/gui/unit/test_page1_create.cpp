// Create LD tab: what the sub-pages offer, what they tell before anything is sent, and that
// every layout builds in the simulator exactly what the same answers to zavcli -lde build.
#include "gui_fixture.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../../e2e/support/e2e.h"
#include "common/ContData.h"
#include "common/SnapSupport.h"
#include "gui/Page1Actions.h"
#include "gui/Page1Logic.h"

using namespace guitest;

namespace {

// A controller with six unconfigured 100 GB drives and nothing configured.
const char kSixDrives[] =
    "{\"name\":\"six\",\"controllers\":[{\"id\":0,\"product\":\"LSI MegaRAID SAS 9260-8i\","
    "\"cache_backup\":{\"type\":5},\"enclosures\":[{\"devId\":252,\"slots\":8}],"
    "\"drives\":[{\"slots\":\"0-5\",\"size_gb\":100}],\"lds\":[]}]}";

class CreateLdPageTest : public GuiLogicTest {
protected:
    std::unique_ptr<CreateLdModel> model{ new CreateLdModel() };
    std::unique_ptr<EasyPlan> plan{ new EasyPlan() };
    std::string scenarioFile;

    void TearDown() override
    {
        DeleteFileA(ConstructInfoFile().c_str());
        if (!scenarioFile.empty())
            DeleteFileA(scenarioFile.c_str());
        GuiLogicTest::TearDown();
    }
    static std::string ConstructInfoFile()
    {
        char path[600];
        ConstructInfoPath(0, path, sizeof(path));
        return path;
    }
    static std::string PatternPath() { return e2e::ProductRegValue("InstallDir") + "\\confpat1.csv"; }
    std::string Scenario(const std::string &name)
    {
        if (name != "six")
            return name;
        scenarioFile = paths.state + "_six.json";
        e2e::WriteFileText(scenarioFile, kSixDrives);
        return scenarioFile;
    }
    void Load(const std::string &scenario)
    {
        Start(Scenario(scenario));
        ASSERT_EQ(1, LoadCreateLdModel(model.get(), g_records, 0, PatternPath().c_str()));
    }
    CreateLdContext Context() { return CreateLdContext{ nullptr, 0, g_records, nullptr }; }

    // The whole simulated controller state: groups, LDs with their policies and sizes, spares.
    std::string Configuration() { return SimOut({ "dump" }); }
    // The same answers given to zavcli -lde on a fresh copy of the scenario.
    std::string ConfigurationByLde(const std::string &scenario, const std::string &answers)
    {
        Sim({ "load", Scenario(scenario) });
        e2e::ProcResult r = e2e::RunZavcli({ "-lde" }, answers);
        EXPECT_EQ(0, r.exitCode) << r.out << r.err;
        EXPECT_EQ(std::string::npos, r.out.find("Error - ")) << r.out;
        return Configuration();
    }
};

TEST_F(CreateLdPageTest, TwoUnconfiguredDrivesOfferRaid1ThenRaid0)
{
    Load("default");
    ASSERT_EQ(2, model->singleCount);
    char text[64];
    SingleOfferText(text, sizeof(text), &model->singles[0], 0);
    EXPECT_STREQ("RAID1", text);
    SingleOfferText(text, sizeof(text), &model->singles[1], 0);
    EXPECT_STREQ("RAID0", text);
    EXPECT_EQ(3, MultiLayoutCount(model.get()));
}

TEST_F(CreateLdPageTest, WithoutThePatternFileNoLayoutIsOffered)
{
    Start("default");
    EXPECT_EQ(0, LoadCreateLdModel(model.get(), g_records, 0, "no_such_dir\\confpat1.csv"));
    EXPECT_EQ(0, model->singleCount);
    LevelList levels;
    MultiLevelChoices(model.get(), g_records, LAYOUT_ONE_GROUP, 0, 0, RAIDLVL_0, &levels);
    EXPECT_EQ(0, levels.count);
}

TEST_F(CreateLdPageTest, TheQuestionShowsLevelDrivesSizeAndSpareAndNoSendsNothing)
{
    Load("six");
    char text[64];
    SingleOfferText(text, sizeof(text), &model->singles[0], 0);
    EXPECT_STREQ("RAID5 + Hot Spare", text);
    ASSERT_EQ(LAYOUT_OK, PlanSingleOffer(plan.get(), model.get(), g_records, 0));
    CreateLdContext page = Context();
    ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_NO);
    EXPECT_EQ(0, CreatePlannedLds(&page, plan.get()));
    EXPECT_TRUE(Sent("SLCreateLD").empty());
    ASSERT_EQ(1u, boxes.seen.size());
    const std::string &q = boxes.seen[0].text;
    EXPECT_NE(std::string::npos, q.find("RAID Level : RAID5\r\n")) << q;
    EXPECT_NE(std::string::npos, q.find("PD[s] : PD1, PD2, PD3, PD4, PD5 (5)\r\n")) << q;
    EXPECT_NE(std::string::npos, q.find("Capacity : 400.000 GB\r\n")) << q;
    EXPECT_NE(std::string::npos, q.find("Hot Spare : PD0")) << q;
}

TEST_F(CreateLdPageTest, MixedMediaIsRefusedWithItsBoxAndNothingSent)
{
    Load("cachecade");
    // Slot 3 is a hard drive, slots 4 to 7 SSDs: the basic layouts refuse, CacheCade is offered.
    ASSERT_GE(model->singleCount, 2);
    EXPECT_EQ(1, model->singles[model->singleCount - 1].cacheCade);
    CreateLdContext page = Context();
    ExpectBox(IDS_CREATE_MIXED_MEDIA, IDS_CAPTION_CREATE_LD);
    EXPECT_EQ(0, ShowLayoutOutcome(&page, PlanSingleOffer(plan.get(), model.get(), g_records, 0)));
    EXPECT_TRUE(Sent("SLCreateLD").empty());
}

TEST_F(CreateLdPageTest, ARefusedCreationShowsItsBox)
{
    Load("default");
    Sim({ "fault", "add", "4", "1", "0x32" });
    ASSERT_EQ(LAYOUT_OK, PlanSingleOffer(plan.get(), model.get(), g_records, 0));
    CreateLdContext page = Context();
    ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_YES);
    ExpectBox(IDS_CREATE_FAILED, IDS_CAPTION_CREATE_LD);
    EXPECT_EQ(0, CreatePlannedLds(&page, plan.get()));
}

// ---- side by side with zavcli -lde --------------------------------------------------------------

struct SideBySide {
    const char *what;
    const char *scenario;
    const char *ldeAnswers;
    int (*plan)(CreateLdPageTest *t, CreateLdModel *model, EasyPlan *plan);
    std::vector<uint16_t> boxes; // after the summary question, answered Yes / OK
};

int SingleOffer(CreateLdModel *model, EasyPlan *plan, int index)
{
    return PlanSingleOffer(plan, model, g_records, index);
}

int MultiLayout(CreateLdModel *model, EasyPlan *plan, int snapshot, int layout, int32_t l0, int32_t l1, int lds,
                int hs, int splitIndex)
{
    int32_t levels[2] = { l0, l1 };
    int counts[2] = { lds, lds };
    int rates[2] = { 50, 50 };
    if (hs < 0)
        hs = MultiDefaultHotSpares(model, g_records, layout, l0, l1);
    int rc = PrepareMultiPlan(plan, model, g_records, snapshot, layout, levels, counts, rates, hs);
    if (rc != LAYOUT_OK)
        return rc;
    int first = 0;
    if (GroupCountOfLayout(plan->layout) == 2) {
        int splits[CREATE_SPLITS_MAX], recommended = 0;
        int count = MultiSplits(plan, &model->pattern, g_records, splits, CREATE_SPLITS_MAX, &recommended);
        if (splitIndex >= count)
            return LAYOUT_NO_SPLIT;
        first = splits[splitIndex];
    }
    return PlanMultiPlace(plan, &model->pattern, g_records, first);
}

const SideBySide kSideBySide[] = {
    { "default RAID1", "default", "1\n1\n", [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, 0); },
      { IDS_CREATE_DONE } },
    { "default RAID0", "default", "1\n2\n", [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, 1); },
      { IDS_CREATE_DONE } },
    { "six RAID5 + GHS", "six", "1\n1\n", [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, 0); },
      { IDS_CREATE_DONE } },
    { "six RAID6 + GHS", "six", "1\n3\n", [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, 2); },
      { IDS_CREATE_DONE } },
    { "six RAID10", "six", "1\n5\n", [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, 4); },
      { IDS_CREATE_DONE } },
    { "six multi: two groups of one LD, RAID5 + RAID1, one spare", "six", "2\n1\n1\n2\n1\n",
      [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) {
          return MultiLayout(m, p, 0, LAYOUT_TWO_GROUPS_ONE_LD, RAIDLVL_5, RAIDLVL_1, 1, 1, 0);
      },
      { IDS_CREATE_DONE } },
    { "six multi: one group of three LDs, RAID6, default spares", "six", "2\n2\n2\n3\n\n",
      [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) {
          return MultiLayout(m, p, 0, LAYOUT_ONE_GROUP, RAIDLVL_6, RAIDLVL_0, 3, -1, 0);
      },
      { IDS_CREATE_DONE } },
    { "snapshot layout 1", "snapshot", "3\n1\n\n\n\n",
      [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) {
          return MultiLayout(m, p, 1, LAYOUT_TWO_GROUPS_ONE_LD, RAIDLVL_1, RAIDLVL_0, 1, 0, 0);
      },
      { IDS_CREATE_DONE_SNAPSHOT } },
    { "CacheCade with association", "cachecade", "3\nY\n",
      [](CreateLdPageTest *, CreateLdModel *m, EasyPlan *p) { return SingleOffer(m, p, m->singleCount - 1); },
      { IDS_CREATE_CC_ASSOCIATE_ASK } },
};

TEST_F(CreateLdPageTest, EveryLayoutBuildsWhatTheSameAnswersToLdeBuild)
{
    for (const SideBySide &c : kSideBySide) {
        SCOPED_TRACE(c.what);
        boxes.seen.clear();
        Load(c.scenario);
        ASSERT_EQ(LAYOUT_OK, c.plan(this, model.get(), plan.get()));
        CreateLdContext page = Context();
        ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_YES);
        for (uint16_t id : c.boxes)
            ExpectBox(id, IDS_CAPTION_CREATE_LD, BOX_YES);
        ASSERT_EQ(1, CreatePlannedLds(&page, plan.get()));
        std::string byPage = Configuration();
        std::string pageInfo = e2e::ReadFileText(ConstructInfoFile());
        DeleteFileA(ConstructInfoFile().c_str());
        std::string byLde = ConfigurationByLde(c.scenario, c.ldeAnswers);
        EXPECT_EQ(byLde, byPage);
        EXPECT_EQ(e2e::ReadFileText(ConstructInfoFile()), pageInfo);
        DeleteFileA(ConstructInfoFile().c_str());
    }
}

TEST_F(CreateLdPageTest, CustomConfigurationBuildsWhatLdcBuildsAndChecksLikeIt)
{
    Load("six");
    CustomAnswers answers;
    std::memset(&answers, 0, sizeof(answers));
    answers.level = RAIDLVL_5;
    answers.pdCount = 3;
    answers.pds[0] = 0;
    answers.pds[1] = 1;
    answers.pds[2] = 2;
    answers.cacheBits = LDC_OPT_WT | LDC_OPT_RA;
    answers.sizes.count = 2;
    answers.sizes.sizes[0] = 50000;
    answers.sizes.sizes[1] = 60000;
    CreateLdContext page = Context();
    std::string pattern = PatternPath();
    page.patternPath = pattern.c_str();

    // Nothing ticked, then a RAID1 of three drives the pattern file refuses: their boxes, nothing sent.
    CustomAnswers none = answers;
    none.pdCount = 0;
    ExpectBox(IDS_CREATE_PICK_PDS, IDS_CAPTION_CREATE_LD);
    EXPECT_EQ(0, CreateCustomLds(&page, &none));
    CustomAnswers raid1 = answers;
    raid1.level = RAIDLVL_1;
    ExpectBox(IDS_CREATE_ABNORMAL_COUNT, IDS_CAPTION_CREATE_LD);
    EXPECT_EQ(0, CreateCustomLds(&page, &raid1));
    EXPECT_TRUE(Sent("SLCreateLD").empty());

    // No global hot spare on this controller: the warning, then the summary, then the result.
    ExpectBox(IDS_CREATE_NO_HOT_SPARE, IDS_CAPTION_CREATE_LD);
    ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_YES);
    ExpectBox(IDS_CREATE_DONE, IDS_CAPTION_CREATE_LD);
    ASSERT_EQ(1, CreateCustomLds(&page, &answers));
    std::string byPage = Configuration();

    Sim({ "load", Scenario("six") });
    e2e::ProcResult r = e2e::RunZavcli({ "-ldc", "-r5[252:0,252:1,252:2]", "-wt", "-ra", "-sz50000,sz60000", "-a0" });
    EXPECT_EQ(0, r.exitCode) << r.out;
    EXPECT_EQ(byPage, Configuration());
}

TEST_F(CreateLdPageTest, SnapshotLayoutWritesThePairTheEnableDialogPreselects)
{
    Load("snapshot");
    ASSERT_EQ(LAYOUT_OK, MultiLayout(model.get(), plan.get(), 1, LAYOUT_TWO_GROUPS_ONE_LD, RAIDLVL_1, RAIDLVL_0, 1, 0, 0));
    CreateLdContext page = Context();
    ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_YES);
    ExpectBox(IDS_CREATE_DONE_SNAPSHOT, IDS_CAPTION_CREATE_LD);
    ASSERT_EQ(1, CreatePlannedLds(&page, plan.get()));
    EXPECT_EQ("3,4\r\n", e2e::ReadFileText(ConstructInfoFile()));
    ASSERT_EQ(1, RefreshCurrentRecord());
    SnapConstructInfo info;
    std::memset(&info, 0, sizeof(info));
    ReadSnapshotConstructInfo(0, g_records, &info);
    EXPECT_EQ(4, info.repositoryOf[3]);
}

TEST_F(CreateLdPageTest, CacheCadeAssociationYesGivesTheOtherLdsCachedIo)
{
    Load("cachecade");
    ASSERT_EQ(LAYOUT_OK, PlanSingleOffer(plan.get(), model.get(), g_records, model->singleCount - 1));
    CreateLdContext page = Context();
    ExpectBox(IDS_CREATE_CONFIRM, IDS_CAPTION_CREATE_LD, BOX_YES);
    ExpectBox(IDS_CREATE_CC_ASSOCIATE_ASK, IDS_CAPTION_CREATE_LD, BOX_YES);
    ASSERT_EQ(1, CreatePlannedLds(&page, plan.get()));
    EXPECT_NE(std::string::npos, boxes.seen[1].text.find("LD:LD0")) << boxes.seen[1].text;
    ASSERT_EQ(1, RefreshCurrentRecord());
    uint8_t props[LD_PROP_SIZE];
    ASSERT_EQ(0, SLGetLDProperties(0, 0, props));
    EXPECT_EQ(LD_CACHE_CACHED_IO, props[LP_DEFAULT_CACHE] & LD_CACHE_CACHED_IO);
}

} // namespace
