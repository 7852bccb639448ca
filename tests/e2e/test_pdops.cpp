// Hot-spare, rebuild and enclosure commands end to end against the simulator: pdhsp with its
// warnings, refusals and RAID-group menu, pdrbld's checks, and the enclinfo report.
#include "support/maintenance.h"

namespace {

using e2e::MaintenanceTest;
using e2e::ProcResult;

class PdOps : public MaintenanceTest {};

const char *const kMediaWarning =
    "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Media Type(HDD/SSD) "
    "configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\nProceed with the setting?(Y/N)?\n";
const char *const kInterfaceWarning =
    "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with different Interface "
    "Type(SAS/SATA) configured PD(Physical Drive), Rebuild/Copyback might not be done correctly.\nProceed with the "
    "setting?(Y/N)?\n";
const char *const kCapacityWarning =
    "Warning - In case of selecting PD(Physical Drive) as GHS(Global Hot Spare) with lower capacity than other "
    "configured PDs(Physical Drives), Rebuild/Copyback might not be done correctly.\nProceed with the "
    "setting?(Y/N)?\n";

TEST_F(PdOps, GlobalSpareOfAMatchingDriveIsAssignedAtOnce)
{
    LoadScenario("default");
    ProcResult r = Run({"-pdhsp", "-ghs", "-pd[252:6,252:7]"});
    EXPECT_EQ("Information - Controller[0] Global Hot Spare has been assigned on PD(Physical Drive) 6,7.\n", r.out);
    EXPECT_NE(std::string::npos, PdRow(6).find("global spare"));
    EXPECT_NE(std::string::npos, PdRow(7).find("global spare"));
}

TEST_F(PdOps, GlobalSpareWarningsAreAskedAndNoSendsNothing)
{
    LoadJson(e2e::MixedScenario());
    struct Case {
        const char *slot;
        const char *warning;
    } cases[] = {{"-pd[252:9]", kMediaWarning}, {"-pd[252:11]", kInterfaceWarning}, {"-pd[252:10]", kCapacityWarning}};
    for (const Case &c : cases) {
        ProcResult r = Run({"-pdhsp", "-ghs", c.slot}, "n\n");
        EXPECT_NE(std::string::npos, r.out.find(c.warning)) << c.slot << "\n" << r.out;
        EXPECT_FALSE(Sent("SLMakeGlobalHotspare")) << c.slot;
    }
    ProcResult yes = Run({"-pdhsp", "-ghs", "-pd[252:10]"}, "y\n");
    EXPECT_EQ(std::string(kCapacityWarning) +
                  "Information - Controller[0] Global Hot Spare has been assigned on PD(Physical Drive) 10.\n",
              yes.out);
    // -nochk belongs to the release: it cannot skip the warnings of an assignment.
    ProcResult noCheck = Run({"-pdhsp", "-ghs", "-nochk", "-pd[252:9]"});
    EXPECT_EQ("Error - Invalid input at or near token -ghs.\n", noCheck.out);
    EXPECT_FALSE(Sent("SLMakeGlobalHotspare"));
    EXPECT_EQ("Error - Invalid input at or near token -nochk.\n", Run({"-pdhsp", "-nochk", "-dhs", "-pd[252:9]"}).out);
    EXPECT_FALSE(Sent("SLMakeDedicatedHotspare"));
}

TEST_F(PdOps, DedicatedSpareUsesTheRaidGroupMenu)
{
    LoadScenario("default");
    const std::string menu = "<< RAID Group Selection Menu >>\n\n(1) RG0 (RAID5, LD0)\n(2) RG1 (RAID1, LD1)\n"
                             "(Q) Quit\n\nCurrently selected controller : 0\nPlease input number or Q : \n";
    ProcResult quit = Run({"-pdhsp", "-dhs", "-pd[252:6]"}, "q\n");
    EXPECT_EQ(menu, quit.out);
    EXPECT_FALSE(Sent("SLMakeDedicatedHotspare"));
    ProcResult r = Run({"-pdhsp", "-dhs", "-pd[252:6]"}, "2\n");
    EXPECT_EQ(menu + "Information - Controller[0] Dedicated Hot Spare for RG1 has been assigned on PD(Physical "
                     "Drive) 6.\n",
              r.out);
    EXPECT_NE(std::string::npos, PdRow(6).find("dedicated"));
}

TEST_F(PdOps, DedicatedSpareRefusals)
{
    LoadJson(e2e::MixedScenario());
    EXPECT_NE(std::string::npos, Run({"-pdhsp", "-dhs", "-pd[252:9]"}, "1\n").out.find(
                                     "Error - Controller[0] Cannot create DHS(Dedicated Hot Spare) with the different "
                                     "Media Type(HDD/SSD).\n"));
    EXPECT_NE(std::string::npos, Run({"-pdhsp", "-dhs", "-pd[252:11]"}, "1\n").out.find(
                                     "Error - Controller[0] Cannot create DHS(Dedicated Hot Spare) with the different "
                                     "Interface Type(SAS/SATA).\n"));
    EXPECT_NE(std::string::npos, Run({"-pdhsp", "-dhs", "-pd[252:10]"}, "1\n").out.find(
                                     "Error - Controller[0] Cannot create DHS(Dedicated Hot Spare) with lower capacity "
                                     "than other configured PDs(Physical Drives).\n"));
    EXPECT_FALSE(Sent("SLMakeDedicatedHotspare"));
    // The CacheCade group takes no spare: three ordinary groups are offered.
    EXPECT_NE(std::string::npos, Run({"-pdhsp", "-dhs", "-pd[252:6]"}, "q\n").out.find("(3) RG2 (RAID1, LD3)\n(Q)"));
}

TEST_F(PdOps, DedicatedSpareAmongManyGroupsIsChosenByAnLdOfTheGroup)
{
    LoadJson(R"({"name": "six", "controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 16}],
                 "drives": [{"slots": "0-13", "size_gb": 100}],
                 "lds": [{"raid": 1, "slots": [0, 1]}, {"raid": 1, "slots": [2, 3]}, {"raid": 1, "slots": [4, 5]},
                         {"raid": 1, "slots": [6, 7]}, {"raid": 0, "slots": [8]},
                         {"raid": 1, "slots": [9, 10], "count": 2}]}]})");
    ProcResult r = Run({"-pdhsp", "-dhs", "-pd[252:12]"}, "9\nb\n6\n");
    EXPECT_EQ(0u, r.out.find("<< RAID Group Selection Menu >>\n\n    RG0 (RAID1, LD0)\n"));
    EXPECT_NE(std::string::npos, r.out.find("    RG5 (RAID1, LD5, 6)\n\nCurrently selected controller : 0\n"
                                            "Select the RAID Group by the number of one of its LDs(Logical Drives).\n"));
    EXPECT_NE(std::string::npos, r.out.find("\"9\" is invalid.\n"));
    EXPECT_EQ(2, e2e::CountOf(r.out, "<< RAID Group Selection Menu >>"));
    EXPECT_NE(std::string::npos, r.out.find("Information - Controller[0] Dedicated Hot Spare for RG5 has been assigned on "
                                            "PD(Physical Drive) 12.\n"));
    EXPECT_NE(std::string::npos, PdRow(12).find("dedicated spare A5"));
}

TEST_F(PdOps, DedicatedSpareWithoutRaidGroup)
{
    LoadJson(R"({"name": "empty", "controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 4}],
                 "drives": [{"slots": "0-3", "size_gb": 100}]}]})");
    EXPECT_EQ("Error - Controller[0] Cannot create DHS(Dedicated Hot Spare) with no RAID Group.\n",
              Run({"-pdhsp", "-dhs", "-pd[252:0]"}).out);
}

TEST_F(PdOps, ReleaseAsksWhenLdsExist)
{
    LoadScenario("default");
    const std::string question = "LD[s](Logical Drive[s]) exists.\nRelease the allocation?(Y/N)?\n";
    EXPECT_EQ(question, Run({"-pdhsp", "-rmv", "-pd[252:5]"}, "n\n").out);
    EXPECT_FALSE(Sent("SLRemoveHotspare"));
    EXPECT_EQ(question + "Information - Controller[0] Hot Spare has been released on PD(Physical Drive) 5.\n",
              Run({"-pdhsp", "-rmv", "-pd[252:5]"}, "y\n").out);
    EXPECT_NE(std::string::npos, PdRow(5).find("Unconfig GOOD"));
}

TEST_F(PdOps, ReleaseWithoutQuestionAndItsFailure)
{
    LoadScenario("default");
    Zavsim({"fault", "add", "2", "13", "0x32"});
    ProcResult r = Run({"-pdhsp", "-rmv", "-nochk", "-pd[252:5]"});
    EXPECT_EQ("Error - Controller[0] Failed to release the Hot Spare.\nPlease confirm PD(Physical Drive) state.\n", r.out);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLRemoveHotspare error"));
    Zavsim({"fault", "clear"});
    Zavsim({"fault", "add", "2", "10", "0x32"});
    EXPECT_EQ("Error - Controller[0] Failed to assign a Hot Spare.\nPlease confirm PD(Physical Drive) state.\n",
              Run({"-pdhsp", "-ghs", "-pd[252:6]"}).out);
}

TEST_F(PdOps, HotSpareOptionErrors)
{
    LoadScenario("default");
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } cases[] = {
        {{"-pdhsp", "-pd[252:6]"}, "Error - Invalid input at or near token -pd[252:6].\n"},
        {{"-pdhsp", "-ghs"}, "Error - Invalid input at or near token -ghs.\n"},
        {{"-pdhsp", "-ghs", "-dhs", "-pd[252:6]"}, "Error - Invalid input at or near token -ghs.\n"},
        {{"-pdhsp", "-ghs", "-pd[252:6,252:6]"}, "Error - Invalid input at or near token -ghs.\n"},
        {{"-pdhsp", "-ghs", "-pd[252:9]"}, "Error - Controller[0] The specified Physical Drive 9: doesn't exist.\n"},
        {{"-pdhsp", "-ghs", "-pd[252:6]", "-a3"}, "Error - The specified Controller 3: doesn't exist.\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.out, Run(c.args).out) << c.args[1];
}

TEST_F(PdOps, RebuildOfAFailedDriveStarts)
{
    LoadScenario("default");
    Zavsim({"ctrl", "set", "0", "auto_rebuild=0"});
    Zavsim({"pd", "fail", "0", "1"});
    ProcResult r = Run({"-pdrbld", "-start", "-pd[252:1]"});
    EXPECT_EQ("Information - Controller[0] Start Rebuild on PD(Physical Drive) 1.\n"
              "Please confirm the progress by \"ldpdprog\" command.\n",
              r.out);
    EXPECT_TRUE(Sent("SLStartRebuild"));
    EXPECT_NE(std::string::npos, Run({"-ldpdprog"}).out.find("PD1    Rebuild (0%)\n"));
}

TEST_F(PdOps, RebuildRefusals)
{
    LoadJson(e2e::MixedScenario());
    EXPECT_EQ("Error - Controller[0] Cannot Rebuild/Copyback for RAID0.\n", Run({"-pdrbld", "-start", "-pd[252:3]"}).out);
    EXPECT_EQ("Error - Controller[0] Failed to start Manual Rebuild.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-pdrbld", "-start", "-pd[252:4]"}).out);
    EXPECT_FALSE(Sent("SLStartRebuild"));
    Zavsim({"fault", "add", "2", "20", "0x8019"});
    EXPECT_EQ("Error - Controller[0] Failed to start Manual Rebuild.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-pdrbld", "-start", "-pd[252:4]"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -pd[252:4].\n", Run({"-pdrbld", "-pd[252:4]"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -start.\n", Run({"-pdrbld", "-start", "-stop"}).out);
}

TEST_F(PdOps, RebuildFailureOfTheController)
{
    LoadScenario("default");
    Zavsim({"ctrl", "set", "0", "auto_rebuild=0"});
    Zavsim({"pd", "fail", "0", "1"});
    Zavsim({"fault", "add", "2", "5", "0x32"});
    EXPECT_EQ("Error - Controller[0] Failed to start Manual Rebuild.\nPlease confirm LD(Logical Drive) state.\n",
              Run({"-pdrbld", "-start", "-pd[252:1]"}).out);
    EXPECT_NE(std::string::npos, e2e::TraceLogText().find("SLStartRebuild error"));
}

TEST_F(PdOps, EnclosureReport)
{
    LoadScenario("default");
    ProcResult r = Run({"-enclinfo"});
    EXPECT_EQ("RAID Controller: 0\n\n"
              "Enclosure0\n"
              "### General Information ###\n"
              "Vendor ID                     : LSI\n"
              "Enclosure ID                  : 252\n"
              "Enclosure Model               : Backplane\n"
              "Enclosure Location            : Internal\n"
              "Connector                     : Port 0 - 3\n"
              "Number of Slots               : 8\n"
              "Product Revision Level        : 0e12\n\n"
              "### Component Information ###\n"
              "Number of Temperature Sensors : 2\n"
              "Number of Fans                : 2\n"
              "Number of Power Supplies      : 2\n"
              "Number of Voltage Sensors     : 2\n\n"
              "### Sensor Information ###\n"
              "Sensor           Status         Value\n"
              "Temperature0     OK             31 (C)\n"
              "Temperature1     OK             35 (C)\n"
              "Fan0             OK             5400 (RPM)\n"
              "Fan1             OK             5350 (RPM)\n"
              "Power Supply0    OK             On\n"
              "Power Supply1    Not Installed  Not Present\n"
              "Voltage0         OK             5.02 (V)\n"
              "Voltage1         OK             12.11 (V)\n\n",
              r.out);
}

TEST_F(PdOps, EnclosureReportOfTheSecondControllerAndFailures)
{
    LoadScenario("two-controllers");
    ProcResult r = Run({"-enclinfo", "-a1"});
    EXPECT_EQ(0u, r.out.find("RAID Controller: 1\n\nEnclosure0\n"));
    EXPECT_NE(std::string::npos, r.out.find("Enclosure Location            : External\n"));
    EXPECT_EQ("Error - There are multiple RAID controllers. Please set the RAID controller number.\n",
              Run({"-enclinfo"}).out);
    Zavsim({"fault", "add", "8", "0", "0x8019"});
    EXPECT_EQ("Error - Controller[0] Failed to get the Enclosure information.\n", Run({"-enclinfo", "-a0"}).out);
    EXPECT_EQ("Error - Invalid input at or near token -enclinfo.\n", Run({"-enclinfo", "-L0"}).out);
}

// An unreadable status or connector block keeps what could be read, but never passes for a whole
// report: the command ends with the controller's error.
TEST_F(PdOps, EnclosureReportWithAnUnreadablePartEndsWithTheError)
{
    struct Case {
        const char *command;
        const char *missing;
    };
    const Case cases[] = {{"5", "Sensor Information"}, {"6", "Connector"}};
    for (const Case &c : cases) {
        LoadScenario("default");
        Zavsim({"fault", "add", "8", c.command, "0x32", "count=1"});
        ProcResult r = Run({"-enclinfo"});
        EXPECT_EQ(0u, r.out.find("RAID Controller: 0\n\nEnclosure0\n")) << r.out;
        EXPECT_EQ(std::string::npos, r.out.find(c.missing)) << r.out;
        const std::string error = "Error - Controller[0] Failed to get the Enclosure information.\n";
        ASSERT_GE(r.out.size(), error.size());
        EXPECT_EQ(error, r.out.substr(r.out.size() - error.size())) << c.command;
    }
}

TEST_F(PdOps, EnclosureReportWithoutEnclosure)
{
    LoadJson(R"({"name": "bare", "controllers": [{"id": 0, "drives": [{"slots": "0-1", "size_gb": 100}]}]})");
    EXPECT_EQ("Information - Controller[0] Enclosure doesn't exist.\n", Run({"-enclinfo"}).out);
    EXPECT_EQ("Error - Controller[0] LD(Logical Drive) doesn't exist.\n", Run({"-lddel"}).out);
    EXPECT_EQ("Information - Controller[0] LD(Logical Drive) doesn't exist.\n", Run({"-ldpdinfo"}).out);
}

} // namespace
