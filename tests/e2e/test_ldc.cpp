// zavcli -ldc end to end: the token table and the checks after it, new groups, LDs added to an
// existing group, the confirmations, and the CacheCade path, checked against the simulator.
#include "support/e2e.h"
#include "support/ld_support.h"

#include <string>
#include <vector>

namespace e2e {
namespace {

const char kFourDrives[] = "{\"slots\":\"0-3\",\"size_gb\":100}";
const char kInvalid[] = "Error - Invalid input at or near token ";
const char kInitStarts[] =
    "Information - Initialization automatically starts.\nPlease confirm the progress by \"ldpdprog\" command.\n";
const char kNoHotSpare[] =
    "Warning - LD[s](Logical Drive[s]) was created, but there is no Hot Spare.\nPlease assign at lease one Hot Spare.\n\n";

class LdcTest : public LdSimTest {
protected:
    ProcResult Ldc(std::vector<std::string> args, const std::string &answers = "")
    {
        args.insert(args.begin(), "-ldc");
        ProcResult r = Zavcli(args, answers);
        r.out = Lf(r.out);
        return r;
    }
    void ExpectNothingSent()
    {
        std::string journal = Journal();
        EXPECT_EQ(JournalCount(journal, 4, 1), 0);
        EXPECT_EQ(JournalCount(journal, 4, 2), 0);
        EXPECT_EQ(JournalCount(journal, 4, 3), 0);
    }
};

TEST_F(LdcTest, Raid1OverThreePdsFollowsRowThreeOfThePatternFile)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r1[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Controller[0] The number of HDD to the RAID composition is abnormal.\n");
    ExpectNothingSent();

    UsePattern("RAID0\nRAID1,RAID0\nRAID1,RAID5,RAID0\n");
    r = Ldc({"-r1[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, std::string(kNoHotSpare) + kInitStarts);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 0, 1, 2 }));
}

TEST_F(LdcTest, Raid10NeedsGroupNumbersFromZeroWithoutGaps)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r10", "-array0[252:0,252:1]", "-array2[252:2,252:3]"});
    EXPECT_EQ(r.out, std::string(kInvalid) + "-array2[252:2,252:3].\n");
    ExpectNothingSent();

    r = Ldc({"-r10", "-array0[252:2,252:3]", "-array1[252:0,252:1]", "-a0"});
    EXPECT_EQ(r.out, std::string(kNoHotSpare) + kInitStarts);
    SimController c = DumpController();
    EXPECT_EQ(LdSlots(c, 0), (std::vector<int>{ 2, 3, 0, 1 }));
    EXPECT_EQ(JsonNumber(c.lds[0], "spanDepth"), 2);
}

TEST_F(LdcTest, TokensRejectedByTheTable)
{
    LoadController("", kFourDrives);
    struct Case {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        { { "-r10[252:0,252:1]" }, "-r10[252:0,252:1]" },
        { { "-r1[252:0,252:1]", "-wt", "-wb" }, "-wb" },
        { { "-r1[252:0,252:1]", "-wb", "-wbcb" }, "-wbcb" },
        { { "-r1[252:0,252:1]", "-ra", "-nora" }, "-nora" },
        { { "-r1[252:0,252:1]", "-direct", "-cached" }, "-cached" },
        { { "-r0[252:0]", "-sz2000", "-sz3000" }, "-sz3000" },
        { { "-r0[252:0]", "-sz20x" }, "-sz20x" },
        { { "-r3[252:0,252:1,252:2]" }, "-r3[252:0,252:1,252:2]" },
        { { "-r5[252:0,252:1,252:2]", "-r0[252:3]" }, "-r0[252:3]" },
        { { "-r5[252:0,252:1,252:1]" }, "-r5[252:0,252:1,252:1]" },
        { { "-r1[252:0,252:1]", "-array0[252:2,252:3]" }, "-array0[252:2,252:3]" },
        { { "-r10", "-array0[252:0,252:1,252:2]" }, "-array0[252:0,252:1,252:2]" },
        { { "-r10", "-array0[252:0,252:1]", "-array0[252:2,252:3]" }, "-array0[252:2,252:3]" },
        { { "-r1[252:0,252:1]", "-a0", "-a0" }, "-a0" },
        { { "-r1[252:0,252:1]", "-fast" }, "-fast" },
        { { "-r1" }, "-r1" },
        { { "-wt" }, "-wt" },
        { { "-r10" }, "-r10" },
        { { "-cachecade[252:0]", "-wb" }, "-wb" },
        { { "-cachecade[252:0]", "-sz1000" }, "-sz1000" },
        { { "-cachecade[252:0]", "-cachecade[252:1]" }, "-cachecade[252:1]" },
        { {}, "-ldc" },
    };
    for (const Case &c : cases) {
        ProcResult r = Ldc(c.args);
        EXPECT_EQ(r.out, std::string(kInvalid) + c.named + ".\n") << c.named;
    }
    ExpectNothingSent();
}

TEST_F(LdcTest, TwoSizesInOneOptionMakeTwoLds)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r0[252:0]", "-sz2000,sz3000"});
    EXPECT_EQ(r.out, kInitStarts);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(LdBlocksPerArm(c, 0), 2LL * 2097152);
    EXPECT_EQ(LdBlocksPerArm(c, 1), 3LL * 2097152);
}

TEST_F(LdcTest, SizeBelowTheMinimumIsRejectedBeforeAnythingIsSent)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r1[252:0,252:1]", "-sz999"});
    EXPECT_EQ(r.out, "Error - The capacity of the LD(Logical Drive) is too small.\nPlease re-set the capacity.\n\n");
    ExpectNothingSent();
    EXPECT_TRUE(DumpController().lds.empty());
}

TEST_F(LdcTest, ExistingRaid5GroupWithFreeSpaceTakesTheNewLdAndRaid6IsANewGroup)
{
    LoadController("", kFourDrives, "{\"raid\":5,\"slots\":[0,1,2],\"sizes_gb\":[50]}");
    UsePattern("RAID0\nRAID1,RAID0\nRAID5,RAID6,RAID0\n");
    ProcResult r = Ldc({"-r5[252:2,252:0,252:1]"});
    EXPECT_EQ(r.out, std::string(kNoHotSpare) + kInitStarts);
    EXPECT_EQ(JournalCount(Journal(), 4, 2), 1);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 0, 1, 2 }));
    // The new LD fills the rest of each drive after the 25 GB per drive of the first.
    long long drive = JsonNumber(FindBy(c.pds, "slot", 0), "coercedBlocks");
    EXPECT_EQ(LdBlocksPerArm(c, 0) + LdBlocksPerArm(c, 1), drive);

    ClearJournal();
    r = Ldc({"-r6[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Controller[0] Failed to create LD[s](Logical Drive[s]).\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, ExistingGroupWithADegradedLdIsRefused)
{
    LoadController("", kFourDrives, "{\"raid\":5,\"slots\":[0,1,2],\"sizes_gb\":[50]}");
    ASSERT_EQ(Zavsim({"ld", "degrade", "0", "0"}).exitCode, 0);
    ProcResult r = Ldc({"-r5[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Cannot create LD[s](Logical Drive[s]) with DEGRADED/FAILED LDs(Logical Drives).\n"
                     "Please do Custom Configuration after making all the LDs(Logical Drives) OPTIMAL.\n\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, MissingPdOrControllerEndsBeforeAnything)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r1[252:0,252:20]"});
    EXPECT_EQ(r.out, "Error - Controller[0] The specified Physical Drive 20: doesn't exist.\n");
    r = Ldc({"-r1[252:0,252:1]", "-a3"});
    EXPECT_EQ(r.out, "Error - The specified Controller 3: doesn't exist.\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, MixedTypesAndTheLdLimitAreRefused)
{
    LoadController("", "{\"slots\":\"0-1\",\"size_gb\":100},{\"slots\":[2],\"size_gb\":100,\"media\":\"ssd\"},"
                       "{\"slots\":[3],\"size_gb\":100,\"iface\":\"sata\"}");
    ProcResult r = Ldc({"-r1[252:0,252:2]"});
    EXPECT_EQ(r.out, "Error - Cannot create LD[s](Logical Drive[s]) under the different Media Type(HDD/SSD).\n");
    r = Ldc({"-r1[252:0,252:3]"});
    EXPECT_EQ(r.out, "Error - Cannot create LD[s](Logical Drive[s]) under the different Interface Type(SAS/SATA).\n");
    ASSERT_EQ(Zavsim({"ctrl", "set", "0", "max_lds=1"}).exitCode, 0);
    r = Ldc({"-r0[252:0]", "-sz1000,sz1000"});
    EXPECT_EQ(r.out, "Error - Exceed the upper limit of the LDs(Logical Drives).\nPlease re-set the configuration.\n\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, SeveralControllersNeedASelection)
{
    LoadScenario("two-controllers");
    ProcResult r = Ldc({"-r1[252:0,252:1]"});
    EXPECT_EQ(r.out, "Error - There are multiple RAID controllers. Please set the RAID controller number.\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, ArrayPairsWithoutRaid10ExceedThePdLimit)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-array0[252:0,252:1]"});
    EXPECT_EQ(r.out, "Error - Exceed the upper limit of the PDs(Physical Drives) per RAID Group.\n"
                     "Please re-set the configuration.\n\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, AlwaysWriteBackAsksAndNoCreatesNothing)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r1[252:0,252:1]", "-wb"}, "N\n");
    EXPECT_EQ(r.out, "Warning - Changing to \"Always Write Back\" !\nWhen power failure occurs, cached data may be lost.\n"
                     "Please hook up this RAID system to UPS.\nProceed with the setting?(Y/N)?\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, AlwaysWriteBackWithoutCacheBackupRecommendsIt)
{
    LoadJson("{\"name\":\"ld-test\",\"controllers\":[{\"product\":\"LSI MegaRAID SAS 9260-8i\","
             "\"enclosures\":[{\"devId\":252,\"slots\":8}],\"drives\":[{\"slots\":\"0-3\",\"size_gb\":100}]}]}");
    ProcResult r = Ldc({"-r1[252:0,252:1]", "-wb"}, "Y\n");
    EXPECT_NE(r.out.find("Warning - Changing to \"Always Write Back\"!\nWhen Cache Backup capacity is not enough, cached "
                         "data may be lost.\n\"Write Back with Cache Backup\" is better.\nProceed with the setting?(Y/N)?\n"),
              std::string::npos);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(JsonNumber(c.lds[0], "cache"), 0x11);
}

TEST_F(LdcTest, CachePolicyOptionsShapeTheNewLd)
{
    LoadController("", kFourDrives);
    ProcResult r = Ldc({"-r0[252:3]", "-ra", "-cached", "-wbcb"});
    EXPECT_EQ(r.out, kInitStarts);
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 1u);
    EXPECT_EQ(JsonNumber(c.lds[0], "cache"), 0x65);
    EXPECT_EQ(JsonNumber(c.lds[0], "initState"), 2);
    EXPECT_EQ(JsonNumber(c.lds[0], "stripe"), 7);
    EXPECT_NE(c.lds[0].find("\"name\": \"LD_0\""), std::string::npos);
}

TEST_F(LdcTest, CacheCadeOnAControllerWithoutSupportIsRefused)
{
    LoadScenario("default");
    ProcResult r = Ldc({"-cachecade[252:6,252:7]"});
    EXPECT_EQ(r.out, "Error - The specified parameter is not supported at the current configuration.\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, CacheCadeLdFromNamedSsds)
{
    LoadScenario("cachecade");
    ProcResult r = Ldc({"-cachecade[252:4,252:5]"}, "N\n");
    EXPECT_EQ(r.out, "Information - Controller[0] Succeeded to create LD[s](Logical Drive[s]).\n"
                     "Information - CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.\n"
                     "Use the following LD[s] as Associated CacheCade LD?(Y/N)?\n\nLD:LD0\n");
    SimController c = DumpController();
    ASSERT_EQ(c.lds.size(), 2u);
    std::string cc = FindBy(c.lds, "target", 1);
    EXPECT_TRUE(JsonFlag(cc, "cachecade"));
    EXPECT_EQ(LdSlots(c, 1), (std::vector<int>{ 4, 5 }));
    EXPECT_EQ(JsonNumber(FindBy(c.lds, "target", 0), "cache") & 0x60, 0);
}

TEST_F(LdcTest, CacheCadeOverTheRaid0LimitIsRefused)
{
    LoadController("\"cachecade\":true,\"maxPdPerGroup\":2", "{\"slots\":\"0-2\",\"size_gb\":100,\"media\":\"ssd\"}");
    ProcResult r = Ldc({"-cachecade[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Exceed the upper limit of the PDs(Physical Drives) per RAID Group.\n"
                     "Please re-set the configuration.\n\n");
    ExpectNothingSent();
}

TEST_F(LdcTest, CacheCadeAssociationSetsCachedIoOnTheOtherLds)
{
    LoadScenario("cachecade");
    ProcResult r = Ldc({"-cachecade[252:4,252:5]"}, "Y\n");
    EXPECT_NE(r.out.find("Information - Controller[0] IO Policy of LD(Logical Drive) 0 has been changed to Cached IO.\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(JsonNumber(FindBy(DumpController().lds, "target", 0), "cache") & 0x60, 0x60);
}

TEST_F(LdcTest, AFailedIoPolicyChangeIsReportedAndTheOtherLdsGoOn)
{
    LoadController("\"cachecade\":true", "{\"slots\":\"0-3\",\"size_gb\":100},{\"slots\":\"4-5\",\"size_gb\":100,\"media\":\"ssd\"}",
                   "{\"raid\":1,\"slots\":[0,1]},{\"raid\":1,\"slots\":[2,3]}");
    ASSERT_EQ(Zavsim({"fault", "add", "3", "2", "0x3", "ld=0"}).exitCode, 0);
    ProcResult r = Ldc({"-cachecade[252:4,252:5]"}, "Y\n");
    EXPECT_NE(r.out.find("LD:LD0,1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Error - Controller[0] Failed to change the IO Policy of LD(Logical Drive) 0.\n"),
              std::string::npos)
        << r.out;
    SimController c = DumpController();
    EXPECT_EQ(JsonNumber(FindBy(c.lds, "target", 0), "cache") & 0x60, 0);
    EXPECT_EQ(JsonNumber(FindBy(c.lds, "target", 1), "cache") & 0x60, 0x60);
    EXPECT_NE(TraceLogText().find("SLSetLDProperties error"), std::string::npos);
}

TEST_F(LdcTest, CacheCadeChecksTypesAndTheLdNumberBeforeThePdLimit)
{
    const std::string fields = "\"cachecade\":true,\"maxPdPerGroup\":2";
    LoadController(fields, "{\"slots\":\"0-1\",\"size_gb\":100,\"media\":\"ssd\"},"
                           "{\"slots\":[2],\"size_gb\":100,\"media\":\"ssd\",\"iface\":\"sata\"}");
    ProcResult r = Ldc({"-cachecade[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Cannot create LD[s](Logical Drive[s]) under the different Interface Type(SAS/SATA).\n");
    ExpectNothingSent();

    LoadController(fields, "{\"slots\":\"0-3\",\"size_gb\":100,\"media\":\"ssd\"}",
                   "{\"raid\":0,\"slots\":[3],\"sizes_gb\":[50]}");
    ASSERT_EQ(Zavsim({"ctrl", "set", "0", "max_lds=1"}).exitCode, 0);
    r = Ldc({"-cachecade[252:0,252:1,252:2]"});
    EXPECT_EQ(r.out, "Error - Exceed the upper limit of the LDs(Logical Drives).\nPlease re-set the configuration.\n\n");
    ExpectNothingSent();
}

} // namespace
} // namespace e2e
