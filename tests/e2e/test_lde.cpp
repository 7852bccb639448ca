// zavcli -lde end to end: scripted answers against simulator scenarios, checking the screens, the
// messages, the simulator's state and its journal afterwards.
#include "support/e2e.h"
#include "support/ld_support.h"

#include <string>
#include <vector>

namespace e2e {
namespace {

const char kDrives6[] = "{\"slots\":\"0-5\",\"size_gb\":100}";

// The header line of layout (n) on a screen.
std::string LayoutHeader(const std::string &out, int n)
{
    std::string tag = "(" + std::to_string(n) + ")";
    size_t at = out.find(std::string(40, ' ') + tag);
    if (at == std::string::npos)
        return "";
    size_t end = out.find('\n', at);
    return out.substr(at, end - at);
}

class LdeTest : public LdSimTest {
protected:
    void TearDown() override
    {
        DeleteFileA(ConstructInfoFile().c_str());
        LdSimTest::TearDown();
    }
    static std::string ConstructInfoFile() { return ProductRegValue("InstallDir") + "_snapshot0.csv"; }
    ProcResult Lde(const std::string &answers)
    {
        ProcResult r = Zavcli({"-lde"}, answers);
        r.out = Lf(r.out);
        return r;
    }
};

TEST_F(LdeTest, BackAtTheMenuWithOneControllerEndsTheCommand)
{
    LoadScenario("default");
    ProcResult r = Lde("B\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(CountOf(r.out, "<< Create LD Menu >>"), 1);
    EXPECT_NE(r.out.find("(1) Single LD\n(2) Multi  LD\n(B) Back\n(Q) Quit\nCurrently selected controller : 0\n"
                         "Please input number or B or Q :"),
              std::string::npos);
    EXPECT_EQ(r.out.find("<< Single LD >>"), std::string::npos);
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
}

TEST_F(LdeTest, BackAtTheMenuWithTwoControllersReturnsToTheSelection)
{
    LoadScenario("two-controllers");
    ProcResult r = Lde("2\nB\nQ\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(CountOf(r.out, "<< RAID Controller Selection Menu >>"), 2);
    EXPECT_NE(r.out.find("(1) [0]:"), std::string::npos);
    EXPECT_NE(r.out.find("(2) [1]:"), std::string::npos);
    EXPECT_NE(r.out.find("Currently selected controller : 1"), std::string::npos);
    EXPECT_EQ(CountOf(r.out, "<< Create LD Menu >>"), 1);
}

TEST_F(LdeTest, TooManyTokensAreRejected)
{
    LoadScenario("default");
    ProcResult r = Zavcli({"-lde", "-a0"});
    EXPECT_EQ(Lf(r.out), "Error - Invalid input at or near token -lde.\n");
}

TEST_F(LdeTest, SingleLdScreenForTwoCandidatesIsTheFixedDrawing)
{
    LoadScenario("default");
    ProcResult r = Lde("1\nQ\n");
    const std::string screen =
        "<< Single LD >>\nCurrently selected contller : 0\n(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare)\n\n"
        "                                        (1)      RAID1\n"
        "                                            |-------------|\n"
        "                                            |      LD     |\n"
        "                                            ||PD| --- |PD||\n"
        "                                            |-------------|\n\n"
        "                                        (2)      RAID0\n"
        "                                            |-------------|\n"
        "                                            |      LD     |\n"
        "                                            ||PD| --- |PD||\n"
        "                                            |-------------|\n\n"
        "(B) Back\n(Q) Quit\n";
    EXPECT_NE(r.out.find(screen), std::string::npos) << r.out;
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
}

TEST_F(LdeTest, SingleLdWithSixCandidatesOffersRaid10WithoutHotSpare)
{
    LoadController("", kDrives6);
    ProcResult r = Lde("1\n5\n");
    std::string header = LayoutHeader(r.out, 5);
    EXPECT_NE(header.find("RAID10"), std::string::npos) << header;
    EXPECT_EQ(header.find("GHS"), std::string::npos) << header;
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1, 2, 3, 4, 5 }));
    EXPECT_EQ(JsonNumber(c.lds[0], "spanDepth"), 3);
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(PdState(c, slot), 24);
}

TEST_F(LdeTest, SingleLdWithSevenCandidatesOffersRaid10WithTheLargestAsHotSpare)
{
    LoadController("", "{\"slots\":\"0-2\",\"size_gb\":100},{\"slots\":[3],\"size_gb\":120},"
                       "{\"slots\":\"4-6\",\"size_gb\":100}");
    ProcResult r = Lde("1\n5\n");
    std::string header = LayoutHeader(r.out, 5);
    EXPECT_NE(header.find("RAID10"), std::string::npos) << header;
    EXPECT_NE(header.find("+ GHS"), std::string::npos) << header;
    SimController c = DumpController();
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1, 2, 4, 5, 6 }));
    EXPECT_EQ(PdState(c, 3), 2);
}

TEST_F(LdeTest, Raid1WithHotSpareOverThreeCandidatesKeepsTheLargestAsSpare)
{
    LoadController("", "{\"slots\":[0],\"size_gb\":100},{\"slots\":[1],\"size_gb\":120},{\"slots\":[2],\"size_gb\":100}");
    ProcResult r = Lde("1\n1\n");
    EXPECT_EQ(r.exitCode, 0);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 2 }));
    EXPECT_EQ(PdState(c, 1), 2);
    const std::string &ld = c.lds[0];
    EXPECT_EQ(JsonNumber(ld, "primaryRaid"), 1);
    EXPECT_EQ(JsonNumber(ld, "cache"), 1); // write back: the controller has a cache backup unit
    EXPECT_EQ(JsonNumber(ld, "stripe"), 7);
    EXPECT_EQ(JsonNumber(ld, "diskCache"), 2);
    EXPECT_EQ(JsonNumber(ld, "access"), 0);
    EXPECT_EQ(JsonNumber(ld, "initState"), 2);
    EXPECT_NE(ld.find("\"name\": \"LD_0\""), std::string::npos);
    // The result report marks this run's candidates and ends with the group's capacity.
    EXPECT_NE(r.out.find("PD1    * GHS             "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n### RAID GROUP Capacity ###\nRAID #0         100.000[GB]\n\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Information - Initialization automatically starts.\n"
                         "Please confirm the progress by \"ldpdprog\" command.\n"),
              std::string::npos);
}

TEST_F(LdeTest, GroupAboveTheControllersMaximumIsCreatedWithTheMaximum)
{
    LoadController("\"maxPdPerGroup\":4", kDrives6);
    ProcResult r = Lde("1\n2\n");
    EXPECT_NE(r.out.find("Information - The number of unconfigured PDs(physical drives) is over 16.\n"
                         "Create LD(Logical Drive) with 16 PDs(physical drives).\n"),
              std::string::npos);
    SimController c = DumpController();
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1, 2, 3 }));
    EXPECT_EQ(PdState(c, 4), 0);
}

TEST_F(LdeTest, MultiLdHotSpareAnswerMustLeaveEnoughPds)
{
    LoadController("", "{\"slots\":\"0-3\",\"size_gb\":100}");
    // Multi LD, layout 1, RAID1 + RAID1, then two hot spares (too many) and none.
    ProcResult r = Lde("2\n1\n2\n1\n2\n0\n");
    EXPECT_NE(r.out.find("[RAID #0]\nRAID Level\n  (1)RAID5\n  (2)RAID1\n  (3)RAID0\n  (B) Back\n  (Q) Quit\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[RAID #1]\nRAID Level\n  (1)RAID1\n  (2)RAID0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[GHS]\n# of Hot Spare[0-2](Not selected->(0)) :\"2\" is invalid.\n"), std::string::npos)
        << r.out;
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1 }));
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 2, 3 }));
    EXPECT_NE(r.out.find("RAID #0         100.000[GB]\nRAID #1         100.000[GB]\n\n"), std::string::npos);
}

TEST_F(LdeTest, MultiLdGroupThatThePatternDoesNotAllowIsRefused)
{
    LoadController("", "{\"slots\":\"0-4\",\"size_gb\":100}");
    // Layout 2, RAID10 (allowed for 4 of the 5 PDs), one LD, no hot spare: 5 PDs cannot take RAID10.
    ProcResult r = Lde("2\n2\n3\n\n0\n");
    EXPECT_NE(r.out.find("Error - Controller[0] The number of HDD to the RAID composition is abnormal.\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
}

TEST_F(LdeTest, MultiLdOverSixteenPdsUsesSixteen)
{
    LoadController("", "{\"slots\":\"0-17\",\"size_gb\":100}");
    // Layout 2, RAID5, one LD, the default hot spare: 17 PDs left, 16 used.
    ProcResult r = Lde("2\n2\n1\n\n\n");
    EXPECT_NE(r.out.find("Information - The number of unconfigured physical drives is over 16.\n"
                         "Create LD(Logical Drive) with 16 PDs(physical drives).\n"),
              std::string::npos)
        << r.out;
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0).size(), 16u);
    EXPECT_EQ(PdState(c, 0), 2);
    EXPECT_EQ(PdState(c, 17), 0);
}

TEST_F(LdeTest, LdLimitEndsTheDialogue)
{
    LoadScenario("default");
    ASSERT_EQ(Zavsim({"ctrl", "set", "0", "max_lds=2"}).exitCode, 0);
    ProcResult r = Lde("1\n1\n");
    EXPECT_NE(r.out.find("Error - Exceed the upper limit of the LDs(Logical Drives).\nPlease re-set the configuration.\n"),
              std::string::npos);
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
}

TEST_F(LdeTest, MultiLdSeveralLdsInOneGroupShareItsCapacity)
{
    LoadController("", "{\"slots\":\"0-4\",\"size_gb\":100}");
    // Layout 2, RAID5, three LDs, default hot spare (one): RAID5 over four PDs, three equal LDs.
    ProcResult r = Lde("2\n2\n1\n3\n\n");
    EXPECT_NE(r.out.find("# of Logical Drive[1-16](Not selected->(1)) :"), std::string::npos);
    EXPECT_NE(r.out.find("# of Hot Spare[0-2](Not selected->(1)) :"), std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 3u);
    EXPECT_EQ(LdBlocksPerArm(c, 0), LdBlocksPerArm(c, 2));
    EXPECT_EQ(PdState(c, 0), 2); // equal sizes: the first candidate is the spare
}

TEST_F(LdeTest, MultiLdSplitsAreListedAndBackReturnsToTheHotSpares)
{
    LoadController("", "{\"slots\":\"0-4\",\"size_gb\":100}");
    // Layout 1, RAID0 + RAID0, no hot spare, B at the split list, again no hot spare, split 1.
    ProcResult r = Lde("2\n1\n5\n5\n0\nB\n0\n\n");
    const std::string splits = "RAID Group Capacity\n"
                               "  (1) RAID #0        100.000[GB]\n      RAID #1        400.000[GB]\n"
                               "  (2) RAID #0        200.000[GB]\n      RAID #1        300.000[GB]\n"
                               "  (3) RAID #0        300.000[GB]\n      RAID #1        200.000[GB]\n"
                               "  (4) RAID #0        400.000[GB]\n      RAID #1        100.000[GB]\n"
                               "Please input number or B or Q(Not selected->(1)) :";
    EXPECT_EQ(CountOf(r.out, splits), 2) << r.out;
    EXPECT_NE(r.out.find(splits + "\"B\" is invalid.\n[GHS]\n"), std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0 }));
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 1, 2, 3, 4 }));
}

TEST_F(LdeTest, SnapshotSplitsPutRecommendedRepositorySharesFirst)
{
    LoadController("\"snapshot\":true", "{\"slots\":\"0-4\",\"size_gb\":100}");
    // Multi LD(Snapshot), layout 1, RAID0 base group, RAID0 repository group, no hot spare, split 1.
    ProcResult r = Lde("3\n1\n5\n1\n0\n1\n");
    EXPECT_NE(r.out.find("[RAID #1]\nRAID Level\n  (1)RAID0\n  (2)RAID5\n  (3)RAID6\n  (4)RAID10\n  (5)RAID1\n"),
              std::string::npos)
        << r.out;
    const std::string splits = "RAID Group Capacity\n*:recommended\n"
                               " *(1) RAID #0        200.000[GB]\n      RAID #1        300.000[GB]\n"
                               "      % of Repository 60%\n"
                               " *(2) RAID #0        100.000[GB]\n      RAID #1        400.000[GB]\n"
                               "      % of Repository 80%\n"
                               "  (3) RAID #0        300.000[GB]\n      RAID #1        200.000[GB]\n"
                               "      % of Repository 40%\n"
                               "  (4) RAID #0        400.000[GB]\n      RAID #1        100.000[GB]\n"
                               "      % of Repository 20%\n";
    EXPECT_NE(r.out.find(splits), std::string::npos) << r.out;
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1 }));
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 2, 3, 4 }));
    EXPECT_EQ(ReadFileText(ConstructInfoFile()), "0,1\r\n");
}

TEST_F(LdeTest, SnapshotRatesOutsideTheTensAreRefusedAndEmptyMeansFifty)
{
    LoadController("\"snapshot\":true", kDrives6);
    // Multi LD(Snapshot), layout 2, RAID5, two base LDs, rates 15 and 100 refused, empty = 50,
    // default hot spare.
    ProcResult r = Lde("3\n2\n1\n2\n15\n100\n\n\n");
    EXPECT_NE(r.out.find("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare, SS:Snapshot)"), std::string::npos);
    EXPECT_NE(r.out.find("# of SS Base LD[1-15](Not selected->(1)) :"), std::string::npos);
    EXPECT_NE(r.out.find("\"15\" is invalid.\n"), std::string::npos);
    EXPECT_NE(r.out.find("\"100\" is invalid.\n"), std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 3u);
    // The repository (the group's last LD) holds half the group, the two bases a quarter each.
    long long base = LdBlocksPerArm(c, 0), repo = LdBlocksPerArm(c, 2);
    EXPECT_NEAR((double)repo, 2.0 * (double)base, 2.0);
    EXPECT_EQ(ReadFileText(ConstructInfoFile()), "0,2\r\n1,2\r\n");
    EXPECT_NE(r.out.find("\nPlease enable Snapshot by \"sse\" command after Initialization.\n"), std::string::npos);
}

// Multi LD(Snapshot), layout 1: RAID1 base group on slots 0-1, RAID0 repository on slot 2, no hot spare.
const char kRepositoryLayoutAnswers[] = "3\n1\n1\n1\n\n";

TEST_F(LdeTest, RepositoryGroupBelow1175MegabytesIsRefusedBeforeSending)
{
    LoadController("\"snapshot\":true", "{\"slots\":\"0-1\",\"size_gb\":100},{\"slots\":[2],\"blocks\":2359296}");
    ProcResult r = Lde(kRepositoryLayoutAnswers);
    EXPECT_NE(r.out.find("Error - Controller[0] The capacity of the Snapshot Repository LD(Logical Drive) is too small.\n"
                         "Please re-set the capacity.\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
    EXPECT_TRUE(DumpController().lds.empty());
}

TEST_F(LdeTest, RepositoryGroupOfEnoughMegabytesIsCreatedAndRemembered)
{
    LoadController("\"snapshot\":true", "{\"slots\":\"0-1\",\"size_gb\":100},{\"slots\":[2],\"blocks\":2621440}");
    ProcResult r = Lde(std::string(kRepositoryLayoutAnswers) + "Y\n");
    EXPECT_NE(r.out.find("Warning - Some PDs(Physical Drives) have different capacity.\n"
                         "Create the LD[s](Logical Drive[s])?(Y/N)?\n"),
              std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u) << r.out;
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 2 }));
    EXPECT_EQ(ReadFileText(ConstructInfoFile()), "0,1\r\n");
}

TEST_F(LdeTest, DifferentSizesAnsweredNoCreateNothing)
{
    LoadController("\"snapshot\":true", "{\"slots\":\"0-1\",\"size_gb\":100},{\"slots\":[2],\"blocks\":2621440}");
    ProcResult r = Lde(std::string(kRepositoryLayoutAnswers) + "yes\nN\n");
    EXPECT_EQ(CountOf(r.out, "Create the LD[s](Logical Drive[s])?(Y/N)?"), 2);
    EXPECT_EQ(JournalCount(Journal(), 4, 1), 0);
    EXPECT_TRUE(DumpController().lds.empty());
    EXPECT_EQ(ReadFileText(ConstructInfoFile()), "");
}

TEST_F(LdeTest, SnapshotTwoGroupsEachHoldBasesAndTheirRepository)
{
    LoadController("\"snapshot\":true", "{\"slots\":\"0-7\",\"size_gb\":100}");
    // Layout 3: RAID5 with one base at 50 %, RAID5 with one base at 30 %, two hot spares (default).
    ProcResult r = Lde("3\n3\n1\n1\n\n1\n1\n30\n\n");
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 4u) << r.out;
    EXPECT_EQ(PdState(c, 0), 2);
    EXPECT_EQ(PdState(c, 1), 2);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 2, 3, 4 }));
    EXPECT_EQ(LdSlots(c, 3), (std::vector<int>{ 5, 6, 7 }));
    EXPECT_NEAR((double)LdBlocksPerArm(c, 1), (double)LdBlocksPerArm(c, 0), 2.0);
    EXPECT_NEAR((double)LdBlocksPerArm(c, 3) / (double)LdBlocksPerArm(c, 2), 60.0 / 140.0, 0.001);
    EXPECT_EQ(ReadFileText(ConstructInfoFile()), "0,1\r\n2,3\r\n");
}

TEST_F(LdeTest, EmbeddedControllerOffersMirrorWithSpareOrOneStripe)
{
    LoadJson("{\"name\":\"ld-test\",\"controllers\":[{\"product\":\"LSI Embedded MegaRAID\",\"raidMask\":35,"
             "\"slotCount\":4,\"drives\":[{\"slots\":\"0-3\",\"size_gb\":100,\"iface\":\"sata\"}]}]}");
    ProcResult r = Lde("1\n2\n");
    EXPECT_NE(LayoutHeader(r.out, 1).find("RAID1"), std::string::npos);
    EXPECT_NE(LayoutHeader(r.out, 1).find("+ GHS"), std::string::npos);
    EXPECT_NE(r.out.find("(2)      RAID0\n                                            |-------------|\n"
                         "                                            |      LD     |\n"
                         "                                            |     |PD|    |\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(LayoutHeader(r.out, 3), "");
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1, 2, 3 }));
    EXPECT_EQ(JsonNumber(c.lds[0], "cache"), 0); // no cache backup unit: write through

    LoadJson("{\"name\":\"ld-test\",\"controllers\":[{\"product\":\"LSI Embedded MegaRAID\",\"raidMask\":35,"
             "\"slotCount\":4,\"drives\":[{\"slots\":\"0-3\",\"size_gb\":100,\"iface\":\"sata\"}]}]}");
    r = Lde("2\n2\n2\n");
    EXPECT_NE(r.out.find("# of Logical Drive[1-8](Not selected->(1)) :"), std::string::npos) << r.out;
}

TEST_F(LdeTest, RejectedCreationLeavesTheControllerUnchanged)
{
    LoadScenario("default");
    ASSERT_EQ(Zavsim({"fault", "add", "4", "1", "0x3"}).exitCode, 0);
    ClearJournal();
    ProcResult r = Lde("1\n1\n");
    EXPECT_NE(r.out.find("Error - Controller[0] Failed to create LD[s](Logical Drive[s]).\n"), std::string::npos);
    EXPECT_EQ(r.out.find("### Physical Drive(PD) ###"), std::string::npos);
    std::string journal = Journal();
    EXPECT_EQ(JournalCount(journal, 4, 1), 1);
    // Only queries went before the refused request: no PD, LD or controller action.
    for (int cmd : { 1, 2, 5, 8, 10, 11, 13, 19 })
        EXPECT_EQ(JournalCount(journal, 2, cmd), 0) << cmd;
    for (int cmd : { 2, 3, 6, 9 })
        EXPECT_EQ(JournalCount(journal, 3, cmd), 0) << cmd;
    SimController c = DumpController();
    EXPECT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(PdState(c, 6), 0);
    EXPECT_EQ(PdState(c, 7), 0);
}

TEST_F(LdeTest, MixedInterfaceTypesAreRefused)
{
    LoadController("", "{\"slots\":[0],\"size_gb\":100},{\"slots\":[1],\"size_gb\":100,\"iface\":\"sata\"}");
    ProcResult r = Lde("1\n1\n");
    EXPECT_NE(r.out.find("Error - Cannot create LD[s](Logical Drive[s]) under the different Interface Type(SAS/SATA).\n"),
              std::string::npos);
    EXPECT_TRUE(DumpController().lds.empty());
}

TEST_F(LdeTest, MissingPatternRowsShowNoConfiguration)
{
    LoadScenario("default");
    UsePattern("RAID0\n");
    ProcResult r = Lde("1\nQ\n");
    EXPECT_NE(r.out.find("(LD:Logical Drive, PD:Physical Drive, GHS:Global Hot Spare)\n\nNo configuration.\n"
                         "Logical Drive candidate doesn't exist.\n\n(B) Back\n(Q) Quit\nPlease input B or Q :"),
              std::string::npos)
        << r.out;
}

TEST_F(LdeTest, CacheCadeLdOverTheSsdsAndCachedIoForTheOtherLds)
{
    LoadScenario("cachecade");
    ProcResult r = Lde("3\nY\n");
    EXPECT_NE(r.out.find("(3) Single LD(CacheCade)\n"), std::string::npos);
    EXPECT_NE(r.out.find("<< Single LD(CacheCade) >>"), std::string::npos);
    EXPECT_NE(r.out.find("Use the following LD[s] as Associated CacheCade LD?(Y/N)?\n\nLD:LD0\n"), std::string::npos)
        << r.out;
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    std::string cc = FindBy(c.lds, "target", 1);
    EXPECT_TRUE(JsonFlag(cc, "cachecade"));
    EXPECT_EQ(JsonNumber(cc, "initState"), 0);
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 4, 5, 6, 7 }));
    EXPECT_EQ(JsonNumber(FindBy(c.lds, "target", 0), "cache") & 0x60, 0x60);
    EXPECT_NE(r.out.find("PD4    * LD1             scRG0  RAID0      ONLINE             SSD  185.750"), std::string::npos);
    EXPECT_NE(r.out.find("PD3    None              -      -          Unconfig GOOD      HDD  558.375"), std::string::npos);
}

TEST_F(LdeTest, LdCountTakesOneOrTwoDigitNumbersInRange)
{
    LoadController("", "{\"slots\":\"0-4\",\"size_gb\":100}");
    // Layout 2, RAID5, then "17" (above the bound), "0", "003" refused and "03" taken as three LDs.
    ProcResult r = Lde("2\n2\n1\n17\n0\n003\n03\n\n");
    EXPECT_NE(r.out.find("\"17\" is invalid.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"0\" is invalid.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"003\" is invalid.\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\"03\" is invalid."), std::string::npos) << r.out;
    EXPECT_EQ(DumpController().lds.size(), 3u);
}

TEST_F(LdeTest, MoreCandidatesThanAGroupMayHoldStillOfferLayouts)
{
    LoadJson("{\"name\":\"ld-test\",\"controllers\":[{\"product\":\"LSI MegaRAID SAS 9260-8i\","
             "\"cache_backup\":{\"type\":5},\"enclosures\":[{\"devId\":252,\"slots\":40}],"
             "\"drives\":[{\"slots\":\"0-39\",\"size_gb\":100}]}]}");
    // Single LD over 40 candidates, choice 2 (RAID5): the shipped pattern file covers 40 PDs, and the
    // group is made of the controller's maximum of 32.
    ProcResult r = Lde("1\n2\n");
    EXPECT_EQ(r.out.find("No configuration."), std::string::npos) << r.out;
    EXPECT_NE(LayoutHeader(r.out, 2).find("RAID5"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Information - The number of unconfigured PDs(physical drives) is over 16.\n"), std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0).size(), 32u);
}

} // namespace
} // namespace e2e
