// LD commands end to end against the simulator: ldpdinfo and ldpdprog reports, ldinit and ldcc
// start/stop with their refusals, ldsetprop with the RAID-group rule, and the lddel dialogue.
#include "support/maintenance.h"

namespace {

using e2e::MaintenanceTest;
using e2e::ProcResult;

class LdOps : public MaintenanceTest {};

const char *const kPdGeneral0 =
    "PD0(LD0)\n"
    "Usable Capacity          : 278.875 GB\n"
    "Raw Capacity             : 278.875 GB\n"
    "Interface Type           : SAS\n"
    "Media Type               : HDD\n"
    "Product ID               : ST3300657SS\n"
    "Vendor ID                : SEAGATE\n"
    "Device ID                : 8\n"
    "PD Status                : ONLINE\n"
    "Drive Speed              : 6.0 Gbps\n"
    "Negotiated Link Speed    : 6.0 Gbps\n"
    "SAS Address 0            : 0x500605B001235520\n"
    "SAS Address 1            : 0x500605B801235520\n"
    "Temperature              : 32 C\n"
    "Power Status             : On\n"
    "Revision Level           : 0008\n\n";

TEST_F(LdOps, LdPdInfoReportsTheLdAndItsMembers)
{
    LoadScenario("default");
    ProcResult r = Run({"-ldpdinfo", "-L0"});
    EXPECT_EQ(0, r.exitCode);
    std::string expected = std::string("RAID Controller: 0\n\n"
                                       "LD0\n"
                                       "### General Information ###\n"
                                       "RAID Level               : RAID5\n"
                                       "Name                     : System\n"
                                       "Size                     : 557.750 GB\n"
                                       "Stripe Size              : 64K\n"
                                       "LD Status                : OPTIMAL\n"
                                       "# of PD                  : 3\n"
                                       "Drive Letter             : -\n\n"
                                       "### LD Settings Information ###\n"
                                       "Access Policy            : Read Write\n"
                                       "Disk Cache Policy        : Disabled\n"
                                       "Read Policy              : No Read Ahead\n"
                                       "IO Policy                : Direct IO\n"
                                       "Current Write Policy     : Write Back\n"
                                       "Default Write Policy     : Write Back\n\n") +
                           kPdGeneral0;
    ASSERT_GT(r.out.size(), expected.size());
    EXPECT_EQ(expected, r.out.substr(0, expected.size()));
    EXPECT_EQ(3, e2e::CountOf(r.out, "(LD0)\n"));
    EXPECT_EQ(1, e2e::CountOf(r.out, "RAID Controller: 0"));
}

TEST_F(LdOps, LdPdInfoOfAllShowsEveryLdAndTheCacheCadeAssociation)
{
    LoadJson(e2e::MixedScenario());
    ASSERT_EQ(0, Run({"-ldsetprop", "-cached", "-L3"}).exitCode);
    ProcResult r = Run({"-ldpdinfo"});
    for (const char *ld : {"\nLD0\n", "\nLD1\n", "\nLD2\n", "\nLD3\n", "\nLD4\n"})
        EXPECT_NE(std::string::npos, r.out.find(ld)) << ld;
    EXPECT_NE(std::string::npos, r.out.find("PD0(LD0, 1)\n"));
    EXPECT_NE(std::string::npos, r.out.find("IO Policy                : Cached IO\n"));
    EXPECT_NE(std::string::npos, r.out.find("Associated CacheCade LD  :\n  LD4 (RAID0, 185.750 GB, OPTIMAL)\n"));
    EXPECT_NE(std::string::npos, r.out.find("Associated CacheCade LD  :\n  LD3 (RAID1, 278.875 GB, OPTIMAL)\n"));
}

TEST_F(LdOps, LdPdInfoSelectorErrors)
{
    LoadScenario("default");
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-ldpdinfo", "-L7"}, "Error - Controller[0] The specified Logical Drive 7: doesn't exist.\n"},
        {{"-ldpdinfo", "-L64"}, "Error - Invalid input at or near token -ldpdinfo.\n"},
        {{"-ldpdinfo", "-L"}, "Error - Invalid input at or near token -ldpdinfo.\n"},
        {{"-ldpdinfo", "-L0", "-L1"}, "Error - Invalid input at or near token -L0.\n"},
        {{"-ldpdinfo", "-a1"}, "Error - The specified Controller 1: doesn't exist.\n"},
        {{"-ldpdinfo", "-L0", "-x"}, "Error - Invalid input at or near token -L0.\n"},
    };
    for (const Case &c : cases) {
        ProcResult r = Run(c.args);
        EXPECT_EQ(0, r.exitCode);
        EXPECT_EQ(c.out, r.out) << c.args.back();
    }
}

TEST_F(LdOps, LdPdProgShowsEveryRunningOperation)
{
    LoadScenario("default");
    ASSERT_EQ(0, Run({"-ldinit", "-start", "-L1"}, "y\n").exitCode);
    Zavsim({"clock", "advance", "300"});
    Zavsim({"pd", "fail", "0", "1"}); // the global spare in slot 5 takes over
    Zavsim({"clock", "advance", "360"});
    ProcResult r = Run({"-ldpdprog"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("RAID Controller: 0\n\n"
              "### Logical Drive(LD) ###\n"
              "LD No. Progress\n"
              "------ ----------------------------------------\n"
              "LD0    Rebuild (20%(PD5))\n"
              "LD1    -\n\n"
              "### Physical Drive(PD) ###\n"
              "PD No. Progress\n"
              "------ ----------------------------------------\n"
              "PD0    -\nPD1    -\nPD2    -\nPD3    -\nPD4    -\n"
              "PD5    Rebuild (20%)\n"
              "PD6    -\nPD7    -\n\n",
              r.out);
}

// A PD whose progress the controller does not give shows "-", but the report then ends with the
// controller's error naming those PDs, so "-" never passes for "nothing runs" unseen.
TEST_F(LdOps, LdPdProgNamesThePdsWhoseProgressCannotBeRead)
{
    LoadScenario("default");
    Zavsim({"fault", "add", "2", "7", "0x32", "slot=3", "count=1"});
    Zavsim({"fault", "add", "2", "7", "0x8017", "slot=6", "count=1"});
    ProcResult r = Run({"-ldpdprog"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_NE(std::string::npos, r.out.find("PD3    -\nPD4    -\nPD5    -\nPD6    -\nPD7    -\n\n"
                                            "Error - Controller[0] Failed to get the progress of PD(Physical Drive) "
                                            "3,6.\n"))
        << r.out;
    r = Run({"-ldpdprog"});
    EXPECT_EQ(std::string::npos, r.out.find("Error - ")) << r.out;
}

TEST_F(LdOps, LdPdProgTakesNoOption)
{
    LoadScenario("default");
    EXPECT_EQ("Error - Invalid input at or near token -ldpdprog.\n", Run({"-ldpdprog", "-a0"}).out);
}

TEST_F(LdOps, LdInitAsksBeforeDestroyingDataAndStarts)
{
    LoadScenario("default");
    ProcResult no = Run({"-ldinit", "-start", "-L1"}, "n\n");
    EXPECT_EQ("All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?\n", no.out);
    EXPECT_FALSE(Sent("SLStartInitialization"));
    ProcResult yes = Run({"-ldinit", "-start", "-L1"}, "yes\ny\n");
    EXPECT_EQ("All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?\n"
              "All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?\n"
              "Information - Controller[0] Start Initialization on LD(Logical Drive) 1.\n"
              "Please confirm the progress by \"ldpdprog\" command.\n",
              yes.out);
    EXPECT_NE(std::string::npos, LdRow(1).find("init 0%"));
    EXPECT_EQ(std::string::npos, LdRow(0).find("init"));
}

TEST_F(LdOps, LdInitRefusesSnapshotAndCacheCadeLdsAndRunningOnes)
{
    LoadScenario("snapshot");
    EXPECT_EQ("Error - Controller[0] Snapshot Base/Repository LD[s](Logical Drive[s]) doesn't need Initialization.\n",
              Run({"-ldinit", "-start", "-L0"}).out);
    EXPECT_EQ("Error - Controller[0] Snapshot Base/Repository LD[s](Logical Drive[s]) doesn't need Initialization.\n",
              Run({"-ldinit", "-start", "-L2,1"}).out);
    LoadJson(e2e::MixedScenario());
    EXPECT_EQ("Error - Controller[0] CacheCade LD[s](Logical Drive[s]) doesn't need Initialization.\n",
              Run({"-ldinit", "-start", "-L4"}).out);
    EXPECT_FALSE(Sent("SLStartInitialization"));
    ASSERT_EQ(0, Run({"-ldinit", "-start", "-L3"}, "y\n").exitCode);
    EXPECT_EQ("Error - Controller[0] Failed to start Initialization.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-ldinit", "-start", "-L3"}).out);
}

TEST_F(LdOps, LdInitOfAllLeavesOutLdsItDoesNotApplyTo)
{
    LoadJson(e2e::MixedScenario());
    ProcResult r = Run({"-ldinit", "-start"}, "y\n");
    EXPECT_NE(std::string::npos, r.out.find("Information - Controller[0] Start Initialization on LD(Logical Drive) "
                                            "0,1,2,3.\n"));
    EXPECT_EQ(std::string::npos, LdRow(4).find("init"));
}

TEST_F(LdOps, LdInitFailuresOfTheController)
{
    LoadScenario("default");
    Zavsim({"fault", "add", "3", "9", "0x32", "count=1"});
    ProcResult r = Run({"-ldinit", "-start", "-L1"}, "y\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Failed to start Initialization.\n"
                                            "Please confirm LD(Logical Drive) state.\n"));
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLStartInitialization error"));
    Zavsim({"fault", "add", "3", "20", "0x8019", "count=1"});
    EXPECT_EQ("Error - Controller[0] Failed to start Initialization.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-ldinit", "-start", "-L1"}, "y\n").out);
    EXPECT_FALSE(Sent("SLStartInitialization"));
}

TEST_F(LdOps, LdInitStopCancelsAndWaits)
{
    LoadScenario("default");
    EXPECT_EQ("Information - Controller[0] Already finished(Initialization).\n", Run({"-ldinit", "-stop", "-L1"}).out);
    ASSERT_EQ(0, Run({"-ldinit", "-start", "-L1"}, "y\n").exitCode);
    Zavsim({"clock", "advance", "120"});
    ProcResult r = Run({"-ldinit", "-stop"});
    EXPECT_EQ("Information - Controller[0] Stop Initialization.\nPlease wait a minute for the update of the progress.\n",
              r.out);
    EXPECT_TRUE(Sent("SLCancelInitialization"));
    EXPECT_EQ(std::string::npos, LdRow(1).find("init"));
}

TEST_F(LdOps, LdInitStopFailureIsReported)
{
    LoadScenario("default");
    ASSERT_EQ(0, Run({"-ldinit", "-start", "-L1"}, "y\n").exitCode);
    Zavsim({"fault", "add", "3", "10", "0x32"});
    ProcResult r = Run({"-ldinit", "-stop", "-L1"});
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Failed to stop Initialization.\n"
                                            "Please confirm whether to have already ended.\n"));
    EXPECT_NE(std::string::npos, LdRow(1).find("init"));
}

TEST_F(LdOps, LdCcStartsAndStops)
{
    LoadJson(e2e::MixedScenario());
    EXPECT_EQ("Error - Controller[0] Cannot Check Consistency for RAID0.\n", Run({"-ldcc", "-start", "-L2"}).out);
    ProcResult all = Run({"-ldcc", "-start"});
    EXPECT_EQ("Information - Controller[0] Start Check Consistency on LD(Logical Drive) 0,1,3.\n"
              "Please confirm the progress by \"ldpdprog\" command.\n",
              all.out);
    EXPECT_NE(std::string::npos, LdRow(3).find("cc 0%"));
    EXPECT_EQ("Error - Controller[0] Failed to start Check Consistency.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-ldcc", "-start", "-L3"}).out);
    EXPECT_EQ("Information - Controller[0] Stop Check Consistency on LD(Logical Drive) 3.\n",
              Run({"-ldcc", "-stop", "-L3"}).out);
    EXPECT_EQ(std::string::npos, LdRow(3).find("cc"));
    EXPECT_EQ("Information - Controller[0] Already finished(Check Consistency).\n", Run({"-ldcc", "-stop", "-L3"}).out);
}

TEST_F(LdOps, EveryControllerIsCheckedBeforeAnythingStarts)
{
    LoadScenario("two-controllers");
    ASSERT_EQ(0, Run({"-ldcc", "-start", "-L0", "-a1"}).exitCode);
    EXPECT_EQ("Error - Controller[1] Failed to start Check Consistency.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-ldcc", "-start", "-L0", "-aAll"}).out);
    EXPECT_FALSE(Sent("SLStartCheckConsistency"));
    EXPECT_EQ("Information - Controller[0] Start Check Consistency on LD(Logical Drive) 0.\n"
              "Please confirm the progress by \"ldpdprog\" command.\n",
              Run({"-ldcc", "-start", "-L0", "-a0"}).out);
    EXPECT_EQ("Information - Controller[0] Stop Check Consistency on LD(Logical Drive) 0.\n"
              "Information - Controller[1] Stop Check Consistency on LD(Logical Drive) 0.\n",
              Run({"-ldcc", "-stop", "-aAll"}).out);
}

TEST_F(LdOps, LdCcCannotStopARebuild)
{
    LoadScenario("default");
    Zavsim({"pd", "fail", "0", "1"});
    EXPECT_EQ("Information - Controller[0] Cannot stop Rebuild/Copyback.\n", Run({"-ldcc", "-stop", "-L0"}).out);
    EXPECT_FALSE(Sent("SLCancelCheckConsistency"));
    // The rebuild is looked for in the whole selection before the progress of any LD: an LD named
    // earlier that runs nothing, or one that runs a check, does not hide it.
    EXPECT_EQ("Information - Controller[0] Cannot stop Rebuild/Copyback.\n", Run({"-ldcc", "-stop", "-L1,0"}).out);
    ASSERT_EQ(0, Run({"-ldcc", "-start", "-L1"}).exitCode);
    EXPECT_EQ("Information - Controller[0] Cannot stop Rebuild/Copyback.\n", Run({"-ldcc", "-stop", "-L1,0"}).out);
    EXPECT_FALSE(Sent("SLCancelCheckConsistency"));
    EXPECT_NE(std::string::npos, LdRow(1).find("cc"));
}

TEST_F(LdOps, LdCcOptionErrors)
{
    LoadScenario("default");
    EXPECT_EQ("Error - Invalid input at or near token -ldcc.\n", Run({"-ldcc"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -start.\n", Run({"-ldcc", "-start", "-stop"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -L0.\n", Run({"-ldcc", "-L0"}).out);
    Zavsim({"fault", "add", "3", "6", "0x32"});
    EXPECT_EQ("Error - Controller[0] Failed to start Check Consistency.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-ldcc", "-start", "-L1"}).out);
}

TEST_F(LdOps, LdSetPropAppliesToTheWholeRaidGroup)
{
    LoadJson(e2e::MixedScenario());
    ProcResult r = Run({"-ldsetprop", "-name", "Gamma", "-ra", "-ro", "-endskcache", "-L1"});
    EXPECT_EQ("Information - Controller[0] Apply the same settings for all the LDs(Logical Drives) of the same RAID "
              "Group.\nInformation - Controller[0] LD(Logical Drive) Settings have been changed.\n",
              r.out);
    ProcResult info = Run({"-ldpdinfo", "-L0,1"});
    EXPECT_EQ(2, e2e::CountOf(info.out, "Read Policy              : Always Read Ahead\n"));
    EXPECT_EQ(2, e2e::CountOf(info.out, "Access Policy            : Read Only\n"));
    EXPECT_EQ(2, e2e::CountOf(info.out, "Disk Cache Policy        : Enabled\n"));
    EXPECT_NE(std::string::npos, info.out.find("Name                     : Alpha\n"));
    EXPECT_NE(std::string::npos, info.out.find("Name                     : Gamma\n"));
    EXPECT_EQ(0, e2e::CountOf(Run({"-ldpdinfo", "-L3"}).out, "Always Read Ahead"));
}

TEST_F(LdOps, LdSetPropAlwaysWriteBackAsksFirst)
{
    LoadScenario("default");
    const std::string question = "Warning - Changing to \"Always Write Back\"!\nWhen Cache Backup capacity is not "
                                 "enough, cached data may be lost.\n\"Write Back with Cache Backup\" is better.\n"
                                 "Proceed with the setting?(Y/N)?\n";
    EXPECT_EQ(question, Run({"-ldsetprop", "-wb", "-L1"}, "n\n").out);
    EXPECT_FALSE(Sent("SLSetLDProperties"));
    EXPECT_EQ(question + "Information - Controller[0] LD(Logical Drive) Settings have been changed.\n",
              Run({"-ldsetprop", "-wb", "-L1"}, "y\n").out);
    EXPECT_NE(std::string::npos, Run({"-ldpdinfo", "-L1"}).out.find("Default Write Policy     : Always Write Back\n"));
}

TEST_F(LdOps, LdSetPropWithoutCacheBackupUnit)
{
    LoadScenario("two-controllers"); // controller 0 has no cache-backup unit
    EXPECT_EQ("Error - The specified parameter is not supported at the current configuration.\n",
              Run({"-ldsetprop", "-wbcb", "-a0"}).out);
    ProcResult r = Run({"-ldsetprop", "-wb", "-L0", "-a0"}, "y\n");
    EXPECT_EQ(0u, r.out.find("Warning - Changing to \"Always Write Back\" !\nWhen power failure occurs"));
}

TEST_F(LdOps, LdSetPropRefusals)
{
    LoadJson(e2e::MixedScenario());
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-ldsetprop"}, "Error - Invalid input at or near token -ldsetprop.\n"},
        {{"-ldsetprop", "-ra", "-nora"}, "Error - Invalid input at or near token -ra.\n"},
        {{"-ldsetprop", "-name", "SixteenCharsLong", "-L0"}, "Error - Invalid input at or near token -name.\n"},
        {{"-ldsetprop", "-name", "Two", "-L0,1"}, "Error - Invalid input at or near token -name.\n"},
        {{"-ldsetprop", "-name"}, "Error - Invalid input at or near token -name.\n"},
        {{"-ldsetprop", "-cached", "-L4"},
         "Error - The specified parameter is not supported at the current configuration.\n"},
        {{"-ldsetprop", "-rw", "-L9"}, "Error - Controller[0] The specified Logical Drive 9: doesn't exist.\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.out, Run(c.args).out) << c.args.size();
    Zavsim({"fault", "add", "3", "1", "0x32", "count=1"});
    EXPECT_EQ("Error - Controller[0] Failed to change LD(Logical Drive) Settings.\n",
              Run({"-ldsetprop", "-rw", "-L3"}).out);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLGetLDProperties error"));
    Zavsim({"fault", "add", "3", "2", "0x32"});
    EXPECT_EQ("Error - Controller[0] Failed to change LD(Logical Drive) Settings.\n",
              Run({"-ldsetprop", "-rw", "-L3"}).out);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLSetLDProperties error"));
}

const char *const kLdDelTable = "Currently selected controller : 0\n"
                                "LD No. RAID Level Capacity[GB] State                        Drive Letter\n"
                                "------ ---------- ------------ ---------------------------- ------------\n";

TEST_F(LdOps, LdDelAsksTwiceThenDeletesAndDropsTheConstructInfo)
{
    LoadScenario("default");
    ASSERT_TRUE(e2e::WriteFileText(e2e::ConstructInfoFile(0), "1,0\n"));
    ProcResult no = Run({"-lddel"}, "1\ny\nn\n");
    EXPECT_EQ(std::string(kLdDelTable) +
                  "LD0    RAID5      557.750      OPTIMAL                      -\n"
                  "LD1    RAID1      278.875      OPTIMAL                      -\n\n"
                  "Multiple selection is available by using a comma(1,2\x81\x63).\nLD No.(\"Q\"->Quit) : \n"
                  "All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?\n"
                  "Proceed with delete?(Y/N)?\n",
              no.out);
    EXPECT_FALSE(Sent("SLDeleteLD"));
    EXPECT_TRUE(e2e::FileExists(e2e::ConstructInfoFile(0)));
    ProcResult yes = Run({"-lddel"}, "1\ny\ny\n");
    EXPECT_NE(std::string::npos,
              yes.out.find("Information - Controller[0] Succeeded to delete LD[s](Logical Drive[s]).\nLD:LD1\n"));
    EXPECT_EQ("", LdRow(1));
    EXPECT_FALSE(e2e::FileExists(e2e::ConstructInfoFile(0)));
}

TEST_F(LdOps, LdDelQuitAndUnknownLds)
{
    LoadScenario("default");
    EXPECT_EQ(std::string::npos, Run({"-lddel"}, "q\n").out.find("Proceed"));
    EXPECT_FALSE(Sent("SLDeleteLD"));
    ProcResult r = Run({"-lddel"}, "x\n5\n");
    EXPECT_NE(std::string::npos, r.out.find("\"x\" is invalid.\n"));
    EXPECT_EQ(2, e2e::CountOf(r.out, "LD No.(\"Q\"->Quit) : \n"));
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] The specified Logical Drive 5: doesn't exist.\n"));
    EXPECT_FALSE(Sent("SLDeleteLD"));
    EXPECT_EQ("Error - Invalid input at or near token -lddel.\n", Run({"-lddel", "-a0"}).out);
}

TEST_F(LdOps, LdDelRefusesSnapshotAndBusyLds)
{
    LoadScenario("snapshot");
    ProcResult r = Run({"-lddel"}, "2,0\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Cannot delete Snapshot Base/Repository "
                                            "LD[s](Logical Drive[s]).\nPlease delete it after disabling Snapshot.\n"));
    EXPECT_FALSE(Sent("SLDeleteLD"));
    ASSERT_EQ(0, Run({"-ldcc", "-start", "-L2"}).exitCode);
    EXPECT_NE(std::string::npos, Run({"-lddel"}, "2\n").out.find("Error - Controller[0] Failed to delete LD[s]"
                                                                 "(Logical Drive[s]).\nPlease confirm LD(Logical "
                                                                 "Drive) state.\n"));
}

TEST_F(LdOps, LdDelOfTheLastCacheCadeLdSwitchesToDirectIo)
{
    LoadJson(e2e::MixedScenario());
    ASSERT_EQ(0, Run({"-ldsetprop", "-cached", "-L3"}).exitCode);
    ProcResult r = Run({"-lddel"}, "4\ny\ny\n");
    EXPECT_NE(std::string::npos, r.out.find("Information - Controller[0] Succeeded to delete LD[s](Logical "
                                            "Drive[s]).\nLD:LD4\nInformation - Controller[0] Set IO Policy to "
                                            "Direct IO for all the LD[s] except the selected LD[s].\n"));
    EXPECT_NE(std::string::npos, Run({"-ldpdinfo", "-L3"}).out.find("IO Policy                : Direct IO\n"));
}

TEST_F(LdOps, LdDelFailureOfTheController)
{
    LoadScenario("default");
    Zavsim({"fault", "add", "3", "3", "0x32"});
    ProcResult r = Run({"-lddel"}, "1\ny\ny\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Failed to delete LD[s](Logical Drive[s]).\n"));
    EXPECT_NE(std::string::npos, LdRow(1).find("Data"));
}

TEST_F(LdOps, LdDelWithTwoControllersUsesTheControllerMenu)
{
    LoadScenario("two-controllers");
    ProcResult r = Run({"-lddel"}, "3\n2\nq\n");
    EXPECT_EQ(0u, r.out.find("<< RAID Controller Selection Menu >>\n\n(1) [0]:LSI MegaRAID SAS 9260-8i(0)"));
    EXPECT_NE(std::string::npos, r.out.find("\"3\" is invalid.\n"));
    EXPECT_NE(std::string::npos, r.out.find("Currently selected controller : 1\n"));
    EXPECT_NE(std::string::npos, r.out.find("LD0    RAID6"));
}

} // namespace
