// Snapshot commands end to end against the simulator: the snapshot operations with their
// questions and refusals, and the sse dialogue over the construct-info preselection.
#include "support/maintenance.h"

namespace {

using e2e::MaintenanceTest;
using e2e::ProcResult;

class Snap : public MaintenanceTest {
protected:
    void SetUp() override
    {
        MaintenanceTest::SetUp();
        LoadScenario("snapshot");
    }
    std::string Info(const char *ld) { return Run({"-snapshot", "-info", ld}).out; }
};

const char *const kEnableWarning =
    "Warning - Once you enable Snapshot[s] on this LD[s](Logical Drive[s]), you cannot change the allocated capacity "
    "or the Snapshot Repository without disabling Snapshot[s].\nIf you enable Snapshot[s], any existing data on the "
    "Snapshot Repository LD[s](Logical Drive[s]) will be lost.\n\n";

TEST_F(Snap, InfoShowsBaseAndRepository)
{
    ProcResult r = Run({"-snapshot", "-info"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("RAID Controller: 0\n\n"
              "LD0\n"
              "### Snapshot Base LD(Logical Drive) Information ###\n"
              "Associated Repository LD         : LD1(RAID1, 278.875 GB, OPTIMAL)\n"
              "Snapshot State                   : Operational\n"
              "Total Capacity                   : 100.000 GB(100%)\n"
              "Capacity Used                    : 25.000 GB(25%)\n"
              "Capacity Remaining               : 75.000 GB(75%)\n"
              "Auto Deletion of oldest Snapshot : Enabled\n"
              "Snapshot on Reboot               : Disabled\n"
              "OS Disk Name                     : PHYSICALDRIVE1\n\n"
              "### Snapshot Timeline ###\n"
              "No.  Snapshot Name    Time Of Creation    View\n"
              "1    LD0_2601150800   2026-01-15 09:00:00 Created\n"
              "2    LD0_2601150900   2026-01-15 10:00:00 -\n\n"
              "LD1\n"
              "### Snapshot Repository LD(Logical Drive) Information ###\n"
              "Snapshot Repository LD           : LD1(RAID1, 278.875 GB, OPTIMAL)\n"
              "Total Capacity                   : 278.875 GB(100%)\n"
              "Capacity Used                    : 100.000 GB(35%)\n"
              "Capacity Remaining               : 178.875 GB(64%)\n"
              "Associated Base LD               :\n"
              "Snapshot Base LD0(RAID5, 557.750 GB, OPTIMAL)\n\n",
              r.out);
    EXPECT_EQ("Error - Controller[0] Snapshot is not enabled on LD(Logical Drive) 2.\n", Info("-L2"));
}

TEST_F(Snap, ViewInformation)
{
    EXPECT_EQ("RAID Controller: 0\n\n"
              "LD0\n"
              "### Snapshot View Information ###\n"
              "TargetID                  : 3\n"
              "View Name                 : LD0_View\n"
              "Time Of View Creation     : 2026-01-15 10:00\n"
              "Status                    : Active\n"
              "OS Disk Name              : -\n"
              "Access Policy             : Read Write\n"
              "Snapshot Name             : LD0_2601150800\n"
              "Time Of Snapshot Creation : 2026-01-15 09:00:00\n\n",
              Run({"-snapshot", "-getviewinfo", "-L0"}).out);
}

TEST_F(Snap, CommandsNeedSnapshotSupport)
{
    LoadScenario("default");
    EXPECT_EQ("Error - Controller[0] This command is not supported at the current configuration.\n",
              Run({"-snapshot", "-info"}).out);
    EXPECT_EQ("Error - Controller[0] This command is not supported at the current configuration.\n",
              Run({"-sse"}).out);
}

TEST_F(Snap, CreateNamesTheSnapshotAndAsksBeforeTheNinth)
{
    EXPECT_EQ("Information - Controller[0] Snapshot Daily has been created on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-create", "-name", "Daily", "-L0"}).out);
    EXPECT_NE(std::string::npos, Info("-L0").find(" Daily "));
    ProcResult proposed = Run({"-snapshot", "-create", "-L0"});
    EXPECT_EQ(0u, proposed.out.find("Information - Controller[0] Snapshot LD0_"));
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(0, Run({"-snapshot", "-create", "-name", "S" + std::to_string(i), "-L0"}).exitCode);
    const std::string question = "Warning - The oldest Snapshot will be updated.\nProceed with the creation?(Y/N)?\n";
    EXPECT_EQ(question, Run({"-snapshot", "-create", "-name", "Ninth", "-L0"}, "n\n").out);
    EXPECT_FALSE(Sent("SLCreateSnapshotPIT") || Journal().find("opcode=0x030F0300") != std::string::npos);
    ASSERT_EQ(0, Run({"-snapshot", "-setprop", "-autodeleteoldestsnapshot", "0", "-L0"}).exitCode);
    EXPECT_EQ(std::string::npos, Run({"-snapshot", "-create", "-name", "Ninth", "-L0"}, "").out.find(question))
        << "without automatic deletion nothing is overwritten, so nothing is asked";
}

TEST_F(Snap, CreateRefusals)
{
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-snapshot", "-create", "-L2"}, "Error - Controller[0] Snapshot is not enabled on LD(Logical Drive) 2.\n"},
        {{"-snapshot", "-create", "-L5"}, "Error - Controller[0] The specified Logical Drive 5: doesn't exist.\n"},
        {{"-snapshot", "-create", "-name", "SixteenCharsLong", "-L0"}, "Error - Invalid input at or near token -name.\n"},
        {{"-snapshot", "-create"}, "Error - Invalid input at or near token -create.\n"},
        {{"-snapshot", "-create", "-L0,2"}, "Error - Invalid input at or near token -create.\n"},
        {{"-snapshot", "-create", "-ra", "-L0"}, "Error - Invalid input at or near token -create.\n"},
        {{"-snapshot", "-L0"}, "Error - Invalid input at or near token -snapshot.\n"},
        {{"-snapshot"}, "Error - Invalid input at or near token -snapshot.\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.out, Run(c.args).out) << c.args.back();
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0300"});
    EXPECT_EQ("Error - Controller[0] Failed to create the Snapshot.\n",
              Run({"-snapshot", "-create", "-name", "X", "-L0"}).out);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLCreateSnapshotPIT error"));
}

TEST_F(Snap, DeleteNeedsTheViewGoneAndAsks)
{
    EXPECT_EQ("Error - Controller[0] Cannot delete the Snapshot because view is \"created\".\n"
              "Please delete view on it.\n",
              Run({"-snapshot", "-delete", "-L0"}).out);
    EXPECT_EQ("Information - Controller[0] Snapshot View has been deleted from LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-deleteview", "-L0"}).out);
    const std::string question =
        "Warning - All data on the oldest Snapshot will be lost.\nProceed with the delete?(Y/N)?\n";
    EXPECT_EQ(question, Run({"-snapshot", "-delete", "-L0"}, "n\n").out);
    EXPECT_NE(std::string::npos, Info("-L0").find("LD0_2601150800"));
    EXPECT_EQ(question + "Information - Controller[0] Snapshot LD0_2601150800 has been deleted from LD(Logical Drive) "
                         "0.\n",
              Run({"-snapshot", "-delete", "-L0"}, "y\n").out);
    EXPECT_EQ(std::string::npos, Info("-L0").find("LD0_2601150800"));
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0400"});
    EXPECT_EQ(question + "Error - Controller[0] Failed to delete the Snapshot.\n",
              Run({"-snapshot", "-delete", "-L0"}, "y\n").out);
    Zavsim({"fault", "clear"});
    ASSERT_EQ(question.size(), Run({"-snapshot", "-delete", "-L0"}, "y\n").out.find("Information"));
    EXPECT_EQ("Error - Controller[0] Snapshot doesn't exist on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-delete", "-L0"}).out);
}

TEST_F(Snap, ViewsAreCreatedOnceAndByNumberOrTime)
{
    EXPECT_EQ("Error - Controller[0] Cannot create the Snapshot View because view is \"created\".\n"
              "Please delete view on it.\n",
              Run({"-snapshot", "-createview", "-snapshotno", "2", "-L0"}).out);
    ASSERT_EQ(0, Run({"-snapshot", "-deleteview", "-L0"}).exitCode);
    EXPECT_EQ("Error - Controller[0] Snapshot View doesn't exist on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-deleteview", "-L0"}).out);
    EXPECT_EQ("Information - Controller[0] Snapshot View doesn't exist.\n", Run({"-snapshot", "-getviewinfo"}).out);
    EXPECT_EQ("Error - Controller[0] The specified Snapshot doesn't exist on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-createview", "-snapshotno", "7", "-L0"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -time.\n",
              Run({"-snapshot", "-createview", "-time", "2026-01-15", "10:00:00", "-L0"}).out);
    EXPECT_EQ("Information - Controller[0] Snapshot View Mine has been created on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-createview", "-time", "20260115", "10:00:00", "-name", "Mine", "-L0"}).out);
    std::string view = Run({"-snapshot", "-getviewinfo", "-L0"}).out;
    EXPECT_NE(std::string::npos, view.find("View Name                 : Mine\n"));
    EXPECT_NE(std::string::npos, view.find("Snapshot Name             : LD0_2601150900\n"));
    ASSERT_EQ(0, Run({"-snapshot", "-deleteview", "-L0"}).exitCode);
    EXPECT_EQ("Information - Controller[0] Snapshot View LD0_View has been created on LD(Logical Drive) 0.\n",
              Run({"-snapshot", "-createview", "-snapshotno", "1", "-L0"}).out);
    EXPECT_EQ("Error - Invalid input at or near token 1.\n",
              Run({"-snapshot", "-createview", "-snapshotno", "1", "-time", "20260115", "10:00:00", "-L0"}).out);
}

TEST_F(Snap, ViewFailuresOfTheController)
{
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0600"});
    EXPECT_EQ("Error - Controller[0] Failed to delete the Snapshot View.\n",
              Run({"-snapshot", "-deleteview", "-L0"}).out);
    Zavsim({"fault", "clear"});
    ASSERT_EQ(0, Run({"-snapshot", "-deleteview", "-L0"}).exitCode);
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0500"});
    EXPECT_EQ("Error - Controller[0] Failed to create the Snapshot View.\n",
              Run({"-snapshot", "-createview", "-snapshotno", "2", "-L0"}).out);
}

TEST_F(Snap, EnableAsksAndEnables)
{
    ASSERT_TRUE(e2e::WriteFileText(e2e::ConstructInfoFile(0), "2,1\n"));
    std::string expected = std::string(kEnableWarning) + "Base LD:LD2\nRepository LD:LD1\n\n"
                                                         "Proceed with enabling Snapshot?(Y/N)?\n";
    EXPECT_EQ(expected, Run({"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-L2"}, "n\n").out);
    EXPECT_EQ(std::string::npos, Journal().find("opcode=0x030F0100"));
    ProcResult r = Run({"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-autosnapshot", "-L2"}, "y\n");
    EXPECT_EQ(expected + "Information - Controller[0] Snapshot has been enabled.\nBase LD:LD2\nRepository LD:LD1\n",
              r.out);
    std::string info = Info("-L2");
    EXPECT_NE(std::string::npos, info.find("Total Capacity                   : 50.000 GB(100%)\n"));
    EXPECT_NE(std::string::npos, info.find("Auto Deletion of oldest Snapshot : Disabled\n"));
    EXPECT_NE(std::string::npos, info.find("Snapshot on Reboot               : Enabled\n"));
    EXPECT_FALSE(e2e::FileExists(e2e::ConstructInfoFile(0))) << "the enabled pair leaves the construct-info file";
}

TEST_F(Snap, EnableRefusals)
{
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-L1"},
         "Error - Controller[0] The Snapshot Repository LD(Logical Drive) cannot be selected as Snapshot Base LD"
         "(Logical Drive).\n"},
        {{"-snapshot", "-enbl", "-sz50", "repositoryld", "0", "-L2"},
         "Error - Controller[0] The Snapshot Base LD(Logical Drive) cannot be selected as Snapshot Repository LD"
         "(Logical Drive).\n"},
        {{"-snapshot", "-enbl", "-sz1", "repositoryld", "1", "-L2"},
         "Error - Controller[0] The capacity of the Snapshot Repository Area is too small.\nPlease re-set the "
         "capacity.\n"},
        {{"-snapshot", "-enbl", "-sz500", "repositoryld", "1", "-L2"},
         "Error - Controller[0] The capacity of the Snapshot Repository LD(Logical Drive) is too small.\nPlease re-set "
         "the capacity.\n"},
        {{"-snapshot", "-enbl", "-sz50", "repositoryld", "9", "-L2"},
         "Error - Controller[0] The specified Logical Drive 9: doesn't exist.\n"},
        {{"-snapshot", "-enbl", "-sz50", "-L2"}, "Error - Invalid input at or near token -L2.\n"},
        {{"-snapshot", "-enbl", "-sz50", "-rate10", "repositoryld", "1"}, "Error - Invalid input at or near token -sz50.\n"},
        {{"-snapshot", "-enbl", "-rate101", "repositoryld", "1"}, "Error - Invalid input at or near token -enbl.\n"},
        {{"-snapshot", "-enbl", "-szx", "repositoryld", "1"}, "Error - Invalid input at or near token -enbl.\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.out, Run(c.args).out) << c.args[2] << " " << c.args.back();
    EXPECT_EQ(std::string::npos, Journal().find("opcode=0x030F0100"));
}

TEST_F(Snap, EnableRefusesCacheCadeAndInitializingBases)
{
    LoadJson(e2e::MixedScenario());
    Zavsim({"ctrl", "set", "0", "snapshot=1"});
    EXPECT_EQ("Error - Controller[0] Cannot enable Snapshot on CacheCade LD(Logical Drive).\n",
              Run({"-snapshot", "-enbl", "-rate50", "repositoryld", "3", "-L4"}).out);
    ASSERT_EQ(0, Run({"-ldinit", "-start", "-L2"}, "y\n").exitCode);
    EXPECT_EQ("Error - Controller[0] Cannot enable Snapshot on the LD(Logical Drive) under Initialization.\n",
              Run({"-snapshot", "-enbl", "-rate50", "repositoryld", "3", "-L2"}).out);
}

TEST_F(Snap, EnableFailuresNameTheLds)
{
    Zavsim({"fault", "add", "6", "3", "0x5B", "opcode=0x030F0100", "count=1"});
    ProcResult r = Run({"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-L2"}, "y\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] No space on the Snapshot Repository LD(Logical "
                                            "Drive).(Base LD=LD2, Repository LD=LD1)\n"));
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0100", "count=1"});
    r = Run({"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-L2"}, "y\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Failed to enable Snapshot[s].\nPlease confirm "
                                            "LD[s](Logical Drive[s]) state.\n"));
    EXPECT_EQ("Error - Controller[0] Snapshot is not enabled on LD(Logical Drive) 2.\n", Info("-L2"));
    Zavsim({"fault", "add", "3", "2", "0x32", "count=1"});
    r = Run({"-snapshot", "-enbl", "-sz50", "repositoryld", "1", "-L2"}, "y\n");
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] Failed to change LD(Logical Drive) Settings.\n"));
    EXPECT_NE(std::string::npos, r.out.find("Information - Controller[0] Snapshot has been enabled.\nBase LD:LD2\n"))
        << "the enable itself went through and is reported";
}

TEST_F(Snap, DisableAsksAndDisables)
{
    const std::string question = "Warning - If you disable Snapshot[s] on this LD[s](Logical Drive[s]), you will lose "
                                 "any Snapshot-related data and will not be able to create any new Snapshot[s].\n\n"
                                 "Base LD:LD0\n\nProceed with disabling Snapshot?(Y/N)?\n";
    EXPECT_EQ(question, Run({"-snapshot", "-dsbl"}, "n\n").out);
    EXPECT_NE(std::string::npos, Info("-L0").find("Operational"));
    Zavsim({"fault", "add", "6", "3", "0x32", "opcode=0x030F0200", "count=1"});
    EXPECT_EQ(question + "Error - Controller[0] Failed to disable Snapshot[s].\nPlease confirm LD[s](Logical Drive[s]) "
                         "state.\n",
              Run({"-snapshot", "-dsbl", "-L0"}, "y\n").out);
    EXPECT_EQ(question + "Information - Controller[0] Snapshot has been disabled.\nBase LD:LD0\n",
              Run({"-snapshot", "-dsbl", "-L0"}, "y\n").out);
    EXPECT_EQ("Error - Controller[0] Snapshot Base LD(Logical Drive) doesn't exist.\n", Run({"-snapshot", "-dsbl"}).out);
}

TEST_F(Snap, SetPropChangesOnlyWhatIsGiven)
{
    EXPECT_EQ("Information - Controller[0] Snapshot Base LD(Logical Drive) Settings have been changed.\n",
              Run({"-snapshot", "-setprop", "-autosnapshot", "1", "-L0"}).out);
    std::string info = Info("-L0");
    EXPECT_NE(std::string::npos, info.find("Snapshot on Reboot               : Enabled\n"));
    EXPECT_NE(std::string::npos, info.find("Auto Deletion of oldest Snapshot : Enabled\n"));
    EXPECT_EQ("Error - Invalid input at or near token -autosnapshot.\n",
              Run({"-snapshot", "-setprop", "-autosnapshot", "on"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -setprop.\n", Run({"-snapshot", "-setprop"}).out);
    Zavsim({"fault", "add", "3", "2", "0x32"});
    EXPECT_EQ("Error - Controller[0] Failed to change the Snapshot Settings.\n",
              Run({"-snapshot", "-setprop", "-autodeleteoldestsnapshot", "0"}).out);
}

const char *const kSseMenu = "\n<< Snapshot Menu >>\n\n(1) Enable Snapshot\n(2) Disable Snapshot\n(Q) Quit\n\n"
                             "Currently selected controller : 0\nPlease input number or Q : \n";

TEST_F(Snap, SseEnablesThePreselectedPairAndRemovesTheFile)
{
    ASSERT_TRUE(e2e::WriteFileText(e2e::ConstructInfoFile(0), "2,1\n"));
    // Enable, base 2, back, base 2, repository 1, back to the base, menu, enable again: 2, 1, then
    // auto deletion Disabled, snapshot on reboot default, yes, quit.
    ProcResult r = Run({"-sse"}, "1\n2\nb\n2\nm\n1\n2\n1\n1\n\ny\nq\n");
    EXPECT_EQ(0u, r.out.find(kSseMenu));
    EXPECT_NE(std::string::npos, r.out.find("LD2    RAID1      278.875      OPTIMAL            Preselected Base(RepLD1)\n"));
    EXPECT_NE(std::string::npos, r.out.find("[Snapshot Repository LD] (Preselected Repository LD : LD1)\n"));
    EXPECT_NE(std::string::npos, r.out.find("Snapshot Repository Area : 178.875 GB\n"));
    EXPECT_NE(std::string::npos, r.out.find("Information - Controller[0] Snapshot has been enabled.\nBase LD:LD2\n"
                                            "Repository LD:LD1\n"));
    EXPECT_EQ(3, e2e::CountOf(r.out, "<< Snapshot Menu >>"));
    EXPECT_FALSE(e2e::FileExists(e2e::ConstructInfoFile(0)));
    std::string info = Info("-L2");
    EXPECT_NE(std::string::npos, info.find("Auto Deletion of oldest Snapshot : Disabled\n"));
    EXPECT_NE(std::string::npos, info.find("Snapshot on Reboot               : Disabled\n"));
}

TEST_F(Snap, SseNoKeepsEverythingAndQuitEndsAtOnce)
{
    ASSERT_TRUE(e2e::WriteFileText(e2e::ConstructInfoFile(0), "2,1\n"));
    ProcResult r = Run({"-sse"}, "1\n2\n1\n\n\nn\nq\n");
    EXPECT_EQ(std::string::npos, Journal().find("opcode=0x030F0100"));
    EXPECT_TRUE(e2e::FileExists(e2e::ConstructInfoFile(0)));
    EXPECT_EQ(2, e2e::CountOf(r.out, "<< Snapshot Menu >>"));
    ProcResult quit = Run({"-sse"}, "1\n2\n1\nq\n");
    EXPECT_EQ(1, e2e::CountOf(quit.out, "<< Snapshot Menu >>"));
    EXPECT_EQ(std::string::npos, quit.out.find("Snapshot on Reboot"));
    EXPECT_EQ(std::string::npos, Journal().find("opcode=0x030F0100"));
}

TEST_F(Snap, SseDisablesABase)
{
    ProcResult r = Run({"-sse"}, "2\n2\n0\ny\n2\nq\n");
    EXPECT_NE(std::string::npos, r.out.find("\"2\" is invalid.\n")) << "LD2 is no base";
    EXPECT_NE(std::string::npos, r.out.find("Proceed with disabling Snapshot?(Y/N)?\n"
                                            "Information - Controller[0] Snapshot has been disabled.\nBase LD:LD0\n"));
    EXPECT_NE(std::string::npos, r.out.find("LD0    RAID5      557.750      OPTIMAL            Base(RepLD1)\n"));
    EXPECT_NE(std::string::npos, r.out.find("Error - Controller[0] There is no LD(Logical Drive) to select.\n"));
    EXPECT_EQ(3, e2e::CountOf(r.out, "<< Snapshot Menu >>"));
}

} // namespace
