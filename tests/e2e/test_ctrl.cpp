// End-to-end tests of the controller commands against simulator scenarios: whole reports,
// state changes checked in the simulator afterwards, and every error text by fault injection.
#include "support/cli_checks.h"

#include <cstdlib>
#include <string>
#include <vector>

class CtrlCommand : public e2e::CliTest {};
using e2e::CountOf;
using e2e::JournalLines;

namespace {

// Every integer value of a key in the simulator's state dump, in file order.
std::vector<long long> JsonInts(const std::string &dump, const std::string &key)
{
    std::vector<long long> values;
    std::string needle = "\"" + key + "\": ";
    for (size_t pos = dump.find(needle); pos != std::string::npos; pos = dump.find(needle, pos + 1))
        values.push_back(std::atoll(dump.c_str() + pos + needle.size()));
    return values;
}

long long CtrlValue(const std::string &dump, const std::string &key, size_t ctrl = 0)
{
    std::vector<long long> v = JsonInts(dump, key);
    return ctrl < v.size() ? v[ctrl] : -1;
}

// A value inside the first object of the given key (the controller's patrol-read settings come
// before its PDs, whose own patrol entries hold no mode).
long long SectionValue(const std::string &dump, const std::string &section, const std::string &key)
{
    size_t at = dump.find("\"" + section + "\": {");
    if (at == std::string::npos)
        return -1;
    std::vector<long long> v = JsonInts(dump.substr(at), key);
    return v.empty() ? -1 : v[0];
}

const char kCtrlInfoDefault[] =
    "RAID Controller: 0\r\n"
    "\r\n"
    "### General Information ###\r\n"
    "Product Name             : LSI MegaRAID SAS 9260-8i\r\n"
    "PCI Bus/Dev/Func         : 2/0/0\r\n"
    "Serial No                : SV12345678\r\n"
    "Vendor ID                : 0x1000\r\n"
    "Device ID                : 0x79\r\n"
    "SubVendor ID             : 0x1000\r\n"
    "SubDevice ID             : 0x9275\r\n"
    "Device Port Count        : 8\r\n"
    "Alarm Present            : Yes\r\n"
    "Alarm Enabled            : Yes\r\n"
    "Cache Flush Interval     : 4 sec\r\n"
    "Cache Backup Present     : Yes\r\n"
    "Native Command Queuing   : Enabled\r\n"
    "Memory Size              : 512 MB\r\n"
    "Backend SAS Address0     : 0x500605B001234500\r\n"
    "Backend SAS Address1     : 0x500605B001234501\r\n"
    "Backend SAS Address2     : 0x500605B001234502\r\n"
    "Backend SAS Address3     : 0x500605B001234503\r\n"
    "Backend SAS Address4     : 0x500605B001234504\r\n"
    "Backend SAS Address5     : 0x500605B001234505\r\n"
    "Backend SAS Address6     : 0x500605B001234506\r\n"
    "Backend SAS Address7     : 0x500605B001234507\r\n"
    "\r\n"
    "### Error Information ###\r\n"
    "Memory Correctable Error Count     : 0\r\n"
    "Memory Uncorrectable Error Count   : 0\r\n"
    "\r\n"
    "### Firmware/BIOS/Driver Information ###\r\n"
    "Firmware Package Version : 12.12.0-0124\r\n"
    "Firmware Version         : 2.130.393-2551\r\n"
    "Firmware Build Time      : Jan 05 2013 13:02:21\r\n"
    "BIOS Version             : 3.25.00_4.12.05.00_0x05180000\r\n"
    "Driver Version           : 6.505.05.00\r\n"
    "\r\n"
    "### Controller Settings Information ###\r\n"
    "Rebuild Mode             : Automatic\r\n"
    "Patrol Read Mode         : Automatic\r\n"
    "Patrol Read Interval     : Weekly\r\n"
    "Patrol Read Schedule     : 2026/1/22 ; 09:00:00\n"
    "Rebuild Rate             : 30%\r\n"
    "Patrol Read Rate         : 30%\r\n"
    "Consistency Check Rate   : 30%\r\n"
    "Copyback                 : Enabled\r\n"
    "SMART Copyback for HDD   : Disabled\r\n"
    "SMART Copyback for SSD   : Disabled\r\n"
    "PD Fail On SMART Error   : Disabled\r\n"
    "\r\n"
    "### MegaRAID Advanced Options ###\r\n"
    "Snapshot                 : Disabled\r\n"
    "CacheCade                : Disabled\r\n"
    "FastPath                 : Disabled\r\n"
    "\n";

const char kCbInfoDefault[] =
    "RAID Controller: 0\r\n"
    "\r\n"
    "### General Information ###\r\n"
    "Cache Backup Type        : iBBU08\r\n"
    "Serial Number            : 4711\r\n"
    "Full Capacity            : 1215 Joules\r\n"
    "Remaining Capacity       : 1180 Joules\r\n"
    "Temperature              : 28 C\r\n"
    "Voltage                  : 4050 mV\r\n"
    "Current                  : 0 mA\r\n"
    "Automatic Learn Cycle    : Automatic\r\n"
    "Auto Learn Period        : 28 Days\r\n"
    "Next Learn Cycle         : 2026/2/12 ; 9:0:0\r\n"
    "\n";

const char kVersion[] =
    "Norvane RAID Vantrel Command Line Tool\n"
    "   Product Name     : Norvane RAID Vantrel\n"
    "   Product Version  : 1.0.0.1\n"
    "   Company Name     : Norvane\n"
    "   File Version     : 1.0.0.1\n"
    "   StoreLib Version : 06.05.00.0014\n"
    "   Copyright        : Copyright (C) 2026 Norvane. All rights reserved.\n"
    "\n";

const char kHelpBase[] =
    "zavcli -lde\r\n"
    "zavcli -ldc -r0|-r1|-r5|-r6[{E0}:S0,{E1}:S1,...]|-r10 | -array0[{E0}:S0,{E1}:S1,...] -array1[{E0}:S0,{E1}:S1,...] [-arrayx[0:0,1:1,...N:N]] {-wt|-wb|-wbcb} {-nora|-ra} {-direct|-cached} {-szxxx [-szyyy ...]} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -lddel\r\n"
    "zavcli -pdhsp -ghs|-dhs -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdhsp -rmv {-nochk} -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ctrlinfo {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ldpdinfo {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdinfo {-pd[{E0}:S0,{E1}:S1,...]} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -cbinfo {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -cblearn {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -enclinfo {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -v\r\n"
    "zavcli -ldsetprop {-name NameString} {-nora|-ra} {-wt|-wb|-wbcb} {-direct|-cached} {-rw|-ro|-blocked} {-endskcache|-disdskcache|-unchanged} {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ctrlautorbld -enbl|-dsbl {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ctrlsetprop {-trh|-trm|-trl} {-hddcpybkenbl|-hddcpybkdsbl} {-ssdcpybkenbl|-ssdcpybkdsbl} {-pdfailenbl|-pdfaildsbl} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ctrlpr {-dsbl|-enblauto|-enblman} {-hour|-day|-week|-month} {-setstarttime mmddyyyyhh} {-start|-stop} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ldinit -start|-stop {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ldcc -start|-stop {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdrbld -start -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -ldpdprog\r\n"
    "zavcli -tstevt -inf|-wrn|-err\r\n"
    "zavcli -pdlocate -start|-stop -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdoffline -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdonline -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -pdmakegood -pd[{E0}:S0,{E1}:S1,...] {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -log\r\n"
    "\r\n"
    "Norvane RAID Vantrel Command Line Tool Ver 1.0.0.1\r\n"
    "Copyright (C) 2026 Norvane. All rights reserved.\r\n"
    "\n";

const char kFailedToChange0[] =
    "Error - Failed to change Controller[0] Settings.\nPlease confirm OS event log whether there is no problem with "
    "RAID controller.\n\n";

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    size_t pos = text.find(from);
    if (pos != std::string::npos)
        text.replace(pos, from.size(), to);
    return text;
}

const char kSnapshotLines[] =
    "zavcli -sse\r\n"
    "zavcli -snapshot -enbl -szXXX|-rateXX repositoryld N {-autosnapshot} {-autodeleteoldestsnapshot} "
    "{-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -dsbl {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -create {-name NameString} -Lx {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -snapshot -delete -Lx {-aN|-a0,1,2|-aAll}\r\n"
    "zavcli -snapshot -getviewinfo {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -createview -snapshotno N|-time yyyymmdd hh:mm:ss {-name NameString} -Lx {-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -deleteview -Lx {-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -setprop {-autosnapshot val} {-autodeleteoldestsnapshot val} {-Lx|-L0,1,2|-Lall} "
    "{-aN|-a0,1,2|-aALL}\r\n"
    "zavcli -snapshot -info {-Lx|-L0,1,2|-Lall} {-aN|-a0,1,2|-aALL}\r\n";

std::string HelpWithCacheCade(const std::string &text)
{
    return Replace(text, "[-arrayx[0:0,1:1,...N:N]]", "[-arrayx[0:0,1:1,...N:N]] | -cachecade[{E0}:S0,{E1}:S1,...]");
}

std::string HelpWithSnapshot(const std::string &text)
{
    return Replace(text, "zavcli -log\r\n", std::string("zavcli -log\r\n") + kSnapshotLines);
}

// ---------------------------------------------------------------------------------------------
// Information commands
// ---------------------------------------------------------------------------------------------
TEST_F(CtrlCommand, CtrlInfoDefaultReportAndItsQueries)
{
    LoadScenario("default");
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlinfo", "-a0"}), kCtrlInfoDefault);
    // The handler's own queries follow the start-up refresh, in this order.
    std::vector<std::string> lines = JournalLines(Journal(), "");
    std::string order;
    bool afterRefresh = false;
    for (const std::string &l : lines) {
        std::string name = l.substr(0, l.find(' '));
        if (name == "SLGetCtrlInfo" && afterRefresh)
            order += "info ";
        if (name == "SLGetArrayInfo")
            afterRefresh = true;
        if (!afterRefresh)
            continue;
        if (name == "SLGetCtrlProp") order += "prop ";
        if (name == "SLGetPciInfo") order += "pci ";
        if (name == "SLGetPatrolReadProp") order += "patrol ";
        if (name == "SendDCMD" && l.find("opcode=0x010E0201") != std::string::npos) order += "defaults ";
        if (name == "SLGetDrvVer") order += "driver ";
    }
    EXPECT_EQ(order, "info prop pci patrol defaults driver ");
}

TEST_F(CtrlCommand, CtrlInfoSameForEveryCaseOfCommandAndSelector)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-CTRLINFO", "-A0"}), kCtrlInfoDefault);
    EXPECT_EQ(Run({"ctrlinfo"}), kCtrlInfoDefault); // one controller: the default rule selects it
    EXPECT_EQ(Run({"-ctrlinfo", "-aALL"}), kCtrlInfoDefault);
}

TEST_F(CtrlCommand, CtrlInfoTwoControllersInSelectorOrder)
{
    LoadScenario("two-controllers");
    std::string out = Run({"-ctrlinfo", "-a1,0"});
    size_t first = out.find("RAID Controller: 0\r\n");
    size_t second = out.find("RAID Controller: 1\r\n");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(out.find("Product Name             : LSI MegaRAID SAS 9260-8i\r\n"), std::string::npos);
    EXPECT_NE(out.find("Cache Backup Present     : No\r\n"), std::string::npos);
    EXPECT_NE(out.find("Product Name             : LSI MegaRAID SAS 9280-8e\r\n"), std::string::npos);
    EXPECT_EQ(out, Run({"-ctrlinfo", "-aall"}));
}

TEST_F(CtrlCommand, CtrlInfoAdvancedOptionsFromTheRecord)
{
    LoadScenario("cachecade");
    std::string out = Run({"-ctrlinfo"});
    EXPECT_NE(out.find("Snapshot                 : Disabled\r\n"
                       "CacheCade                : Enabled\r\n"
                       "FastPath                 : Enabled\r\n"), std::string::npos) << out;
}

TEST_F(CtrlCommand, CtrlInfoQueryFailuresEndSilently)
{
    struct Case {
        std::vector<std::string> fault;
        const char *trace;
    };
    const Case cases[] = {
        {{"1", "1", "0x800C"}, "SLGetCtrlProp error"},
        {{"1", "11", "0x800C"}, "SLGetPciInfo error"},
        {{"1", "15", "0x800C"}, "SLGetPatrolReadProp error"},
        {{"6", "3", "0x2", "opcode=0x010E0201"}, "SLGetMFCDefaults error"},
        {{"1", "19", "0x800C"}, "SLGetDrvVer error"},
    };
    for (const Case &c : cases) {
        LoadScenario("default");
        std::vector<std::string> args = {"fault", "add"};
        args.insert(args.end(), c.fault.begin(), c.fault.end());
        Sim(args);
        EXPECT_EQ(Run({"-ctrlinfo", "-a0"}), "") << c.trace;
        EXPECT_NE(e2e::LastRunTrace().find(c.trace), std::string::npos) << c.trace;
    }
}

TEST_F(CtrlCommand, ControllerSelectorErrors)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlinfo", "-a1"}), "Error - The specified Controller 1: doesn't exist.\n");
    EXPECT_EQ(Run({"-ctrlinfo", "-a0,0"}), "Error - Invalid input at or near token -ctrlinfo.\n");
    EXPECT_EQ(Run({"-ctrlinfo", "-a01"}), "Error - Invalid input at or near token -ctrlinfo.\n");
    EXPECT_EQ(Run({"-ctrlinfo", "-a0,"}), "Error - Invalid input at or near token -ctrlinfo.\n");
    // The whole selector is read before controller 1 is looked for.
    EXPECT_EQ(Run({"-ctrlinfo", "-a1,x"}), "Error - Invalid input at or near token -ctrlinfo.\n");
    EXPECT_EQ(Run({"-ctrlinfo", "-a0", "-a0"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-ctrlinfo", "-a0", "-x"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-cbinfo", "-a4"}), "Error - Invalid input at or near token -cbinfo.\n");
    LoadScenario("two-controllers");
    EXPECT_EQ(Run({"-cblearn"}),
              "Error - There are multiple RAID controllers. Please set the RAID controller number.\n");
}

TEST_F(CtrlCommand, CbInfoDefaultReport)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-cbinfo", "-a0"}), kCbInfoDefault);
}

TEST_F(CtrlCommand, CbInfoFailuresReportNotSupported)
{
    const std::vector<std::string> cmds[] = {{"5", "0"}, {"5", "4"}, {"5", "2"}};
    const char *traces[] = {"SLGetCacheBkupStatus error", "SLGetCacheBkupProperties error",
                            "SLGetCacheBkupDesignInfo error"};
    for (int i = 0; i < 3; i++) {
        LoadScenario("default");
        Sim({"fault", "add", cmds[i][0], cmds[i][1], "0x22"});
        EXPECT_EQ(Run({"-cbinfo"}), "Error - This command is not supported at the current configuration.\n");
        EXPECT_NE(e2e::LastRunTrace().find(traces[i]), std::string::npos);
    }
    // A controller without a unit ends the command before the next one is shown.
    LoadScenario("two-controllers");
    EXPECT_EQ(Run({"-cbinfo", "-aall"}), "Error - This command is not supported at the current configuration.\n");
}

TEST_F(CtrlCommand, CbLearnGoesOnAfterAFailedController)
{
    LoadScenario("two-controllers");
    Sim({"cb", "set", "1", "present=1"});
    Sim({"fault", "add", "5", "3", "0x22", "ctrl=0"});
    ClearJournal();
    EXPECT_EQ(Run({"-cblearn", "-aall"}),
              "Error - Controller[0] Failed to start learn cycle.\nPlease confirm OS event log whether there is no "
              "problem with Cache Backup.\n\n"
              "Information - Controller[1] Learn cycle has been started.\nPlease confirm OS event log for the "
              "completion.\n\n");
    EXPECT_EQ(JournalLines(Journal(), "SLLearnCacheBkup").size(), 2u);
}

TEST_F(CtrlCommand, VersionReport)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-v"}), kVersion);
    EXPECT_EQ(Run({"-v", "-a0"}), "Error - Invalid input at or near token -v.\n");
}

TEST_F(CtrlCommand, HelpVariantsFollowTheFirstCapableController)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-help"}), kHelpBase);
    EXPECT_EQ(Run({"-h"}), kHelpBase);
    EXPECT_EQ(Run({"-?"}), kHelpBase);
    EXPECT_EQ(Run({"-help", "-a0"}), "Error - Invalid input at or near token -help.\n");

    LoadScenario("cachecade");
    EXPECT_EQ(Run({"-help"}), HelpWithCacheCade(kHelpBase));
    LoadScenario("snapshot");
    EXPECT_EQ(Run({"-help"}), HelpWithSnapshot(kHelpBase));
    Sim({"ctrl", "set", "0", "cachecade=1"});
    EXPECT_EQ(Run({"-help"}), HelpWithCacheCade(HelpWithSnapshot(kHelpBase)));

    // The first controller that shows either option decides.
    LoadScenario("two-controllers");
    Sim({"ctrl", "set", "1", "snapshot=1"});
    Sim({"ctrl", "set", "0", "cachecade=1"});
    EXPECT_EQ(Run({"-help"}), HelpWithCacheCade(kHelpBase));
}

// ---------------------------------------------------------------------------------------------
// ctrlautorbld
// ---------------------------------------------------------------------------------------------
const char kRbldQuestion[] =
    "Warning - In case of disabling Automatic Rebuild, the rebuild after error doesn't automatically start.\n"
    "Proceed with the setting?(Y/N)?\n";

TEST_F(CtrlCommand, AutoRebuildDisableAsksAndChanges)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlautorbld", "-dsbl"}, "n\n"), kRbldQuestion);
    EXPECT_EQ(CtrlValue(Dump(), "autoRebuildDisabled"), 0);
    EXPECT_EQ(Run({"-ctrlautorbld", "-DSBL", "-a0"}, "yes\nY\n"),
              std::string(kRbldQuestion) + kRbldQuestion + "Information - Controller[0] Settings have been changed.\n");
    EXPECT_EQ(CtrlValue(Dump(), "autoRebuildDisabled"), 1);
    EXPECT_EQ(Run({"-ctrlautorbld", "-enbl"}), "Information - Controller[0] Settings have been changed.\n");
    EXPECT_EQ(CtrlValue(Dump(), "autoRebuildDisabled"), 0);
}

TEST_F(CtrlCommand, AutoRebuildOptionErrorsAndFailure)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlautorbld"}), "Error - Invalid input at or near token -ctrlautorbld.\n");
    EXPECT_EQ(Run({"-ctrlautorbld", "-a0"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-ctrlautorbld", "-enbl", "-dsbl"}), "Error - Invalid input at or near token -enbl.\n");
    Sim({"fault", "add", "1", "2", "0x32"});
    EXPECT_EQ(Run({"-ctrlautorbld", "-enbl"}), kFailedToChange0);
    EXPECT_NE(e2e::LastRunTrace().find("SLSetCtrlRbldMode error"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// ctrlsetprop
// ---------------------------------------------------------------------------------------------
const long long kBitCopybackDisabled = 1, kBitHdd = 2, kBitSsd = 32;

TEST_F(CtrlCommand, SetPropRateAloneKeepsCopybackAndPdFail)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlsetprop", "-hddcpybkenbl"}), "Information - Controller[0] Settings have been changed.\n");
    std::string before = Dump();
    EXPECT_EQ(CtrlValue(before, "onOffBits"), kBitHdd);
    EXPECT_EQ(CtrlValue(before, "failPdOnSmart"), 0);
    EXPECT_EQ(Run({"-ctrlsetprop", "-trm"}), "Information - Controller[0] Settings have been changed.\n");
    std::string after = Dump();
    for (const char *rate : {"rebuildRate", "patrolRate", "bgiRate", "ccRate", "reconRate"})
        EXPECT_EQ(CtrlValue(after, rate), 60) << rate;
    EXPECT_EQ(CtrlValue(after, "onOffBits"), kBitHdd);
    EXPECT_EQ(CtrlValue(after, "failPdOnSmart"), 0);
    Run({"-ctrlsetprop", "-trh"});
    EXPECT_EQ(CtrlValue(Dump(), "ccRate"), 90);
    Run({"-ctrlsetprop", "-trl"});
    EXPECT_EQ(CtrlValue(Dump(), "reconRate"), 30);
}

TEST_F(CtrlCommand, SetPropDisablingBothSmartCopybacksDisablesCopyback)
{
    LoadScenario("default");
    Run({"-ctrlsetprop", "-hddcpybkenbl", "-ssdcpybkenbl"});
    EXPECT_EQ(CtrlValue(Dump(), "onOffBits"), kBitHdd | kBitSsd);
    EXPECT_EQ(Run({"-ctrlsetprop", "-hddcpybkdsbl", "-ssdcpybkdsbl"}),
              "Information - Controller[0] Settings have been changed.\n");
    std::string d = Dump();
    EXPECT_EQ(CtrlValue(d, "onOffBits"), kBitCopybackDisabled);
    EXPECT_EQ(CtrlValue(d, "failPdOnSmart"), 1);
    EXPECT_EQ(CtrlValue(d, "rebuildRate"), 30); // no rate option: the current rebuild rate everywhere
}

TEST_F(CtrlCommand, SetPropPdFailRefusedWhileCopybackStaysOn)
{
    LoadScenario("default");
    Run({"-ctrlsetprop", "-hddcpybkenbl"});
    const char both0[] = "Controller[0] Cannot change both -hddcpybk/-ssdcpybk and -pdfail to \"Enabled\".\n"
                         "Please change either -hddcpybk/-ssdcpybk or -pdfail to \"Disabled\".\n";
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlsetprop", "-pdfailenbl"}), both0);
    EXPECT_TRUE(JournalLines(Journal(), "SLSetCtrlProp").empty());
    EXPECT_EQ(Run({"-ctrlsetprop", "-pdfailenbl", "-hddcpybkenbl"}), both0);
    EXPECT_EQ(CtrlValue(Dump(), "failPdOnSmart"), 0);
    // With both SMART copybacks switched off in the same run, PD fail can be enabled.
    EXPECT_EQ(Run({"-ctrlsetprop", "-pdfailenbl", "-hddcpybkdsbl", "-ssdcpybkdsbl"}),
              "Information - Controller[0] Settings have been changed.\n");
    EXPECT_EQ(CtrlValue(Dump(), "failPdOnSmart"), 1);
    EXPECT_EQ(Run({"-ctrlsetprop", "-pdfaildsbl"}), "Information - Controller[0] Settings have been changed.\n");
    EXPECT_EQ(CtrlValue(Dump(), "failPdOnSmart"), 0);
}

TEST_F(CtrlCommand, SetPropSmartOptionsUnsupportedOnEmbeddedController)
{
    LoadScenario("embedded");
    EXPECT_EQ(Run({"-ctrlsetprop", "-hddcpybkenbl"}),
              "Error - The specified parameter is not supported at the current configuration.\n");
    EXPECT_EQ(CtrlValue(Dump(), "onOffBits"), 0);
    EXPECT_EQ(Run({"-ctrlsetprop", "-trh"}), "Information - Controller[0] Settings have been changed.\n");
    // Two early models refuse them as well; the next controller is still handled.
    LoadScenario("two-controllers"); // controller 1 is vendor 0x1000, device 0x0079, subdevice 0x9280
    EXPECT_EQ(Run({"-ctrlsetprop", "-ssdcpybkenbl", "-aall"}),
              "Information - Controller[0] Settings have been changed.\n"
              "Error - The specified parameter is not supported at the current configuration.\n");
}

TEST_F(CtrlCommand, SetPropOptionErrorsAndFailures)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlsetprop", "-a0"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-ctrlsetprop", "-trh", "-trl"}), "Error - Invalid input at or near token -trh.\n");
    EXPECT_EQ(Run({"-ctrlsetprop", "-hddcpybkenbl", "-hddcpybkdsbl"}),
              "Error - Invalid input at or near token -hddcpybkenbl.\n");
    Sim({"fault", "add", "1", "2", "0x32"});
    EXPECT_EQ(Run({"-ctrlsetprop", "-trh"}), kFailedToChange0);
    EXPECT_NE(e2e::LastRunTrace().find("SLSetCtrlProp error"), std::string::npos);
    Sim({"fault", "clear"});
    Sim({"fault", "add", "6", "3", "0x21", "opcode=0x010E0202"});
    EXPECT_EQ(Run({"-ctrlsetprop", "-trh"}), kFailedToChange0);
    EXPECT_NE(e2e::LastRunTrace().find("SLSetFailPDOnSmartTer error"), std::string::npos);
    Sim({"fault", "clear"});
    Sim({"fault", "add", "6", "3", "0x2", "opcode=0x010E0201"});
    EXPECT_EQ(Run({"-ctrlsetprop", "-trh"}), "");
}

// ---------------------------------------------------------------------------------------------
// ctrlpr
// ---------------------------------------------------------------------------------------------
const char kPatrolQuestion[] =
    "Warning - In case of disabling Automatic Patrol Read, cannot keep PDs(Physical Drives) safe.\n"
    "Proceed with the setting?(Y/N)?\n";

TEST_F(CtrlCommand, PatrolAutoDailyAsksNothing)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlpr", "-enblman"}, "y\n"),
              std::string(kPatrolQuestion) + "Information - Controller[0] Settings have been changed.\n");
    EXPECT_EQ(SectionValue(Dump(), "patrol", "mode"), 1);
    EXPECT_EQ(Run({"-ctrlpr", "-enblauto", "-day"}), "Information - Controller[0] Settings have been changed.\n");
    std::string d = Dump();
    EXPECT_EQ(SectionValue(d, "patrol", "mode"), 0);
    EXPECT_EQ(CtrlValue(d, "interval"), 86400);
}

TEST_F(CtrlCommand, PatrolDisableAnsweredNoChangesNothing)
{
    LoadScenario("default");
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlpr", "-dsbl"}, "n\n"), kPatrolQuestion);
    EXPECT_TRUE(JournalLines(Journal(), "SLSetPatrolReadProp").empty());
    EXPECT_EQ(SectionValue(Dump(), "patrol", "mode"), 0);
    Run({"-ctrlpr", "-dsbl", "-month"}, "Y\n");
    EXPECT_EQ(SectionValue(Dump(), "patrol", "mode"), 2);
    EXPECT_EQ(CtrlValue(Dump(), "interval"), 2592000);
}

TEST_F(CtrlCommand, PatrolQuestionComesBeforeAnyControllerIsChanged)
{
    // Controller 1 runs patrol read manually, controller 0 automatically: changing only the
    // interval asks once (for controller 1), and No must leave controller 0 unchanged too.
    LoadScenario("two-controllers");
    Run({"-ctrlpr", "-enblman", "-a1"}, "y\n");
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlpr", "-hour", "-aall"}, "n\n"), kPatrolQuestion);
    EXPECT_TRUE(JournalLines(Journal(), "SLSetPatrolReadProp").empty());
    EXPECT_EQ(Run({"-ctrlpr", "-hour", "-aall"}, "y\n"),
              std::string(kPatrolQuestion) + "Information - Controller[0] Settings have been changed.\n"
                                             "Information - Controller[1] Settings have been changed.\n");
    EXPECT_EQ(JournalLines(Journal(), "SLSetPatrolReadProp").size(), 2u);
}

TEST_F(CtrlCommand, PatrolStartTogetherWithHourChangesOnlyTheInterval)
{
    LoadScenario("default");
    std::string before = Dump();
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlpr", "-start", "-hour"}), "Information - Controller[0] Settings have been changed.\n");
    std::string after = Dump();
    EXPECT_EQ(CtrlValue(after, "interval"), 3600);
    EXPECT_EQ(SectionValue(after, "patrol", "mode"), SectionValue(before, "patrol", "mode"));
    EXPECT_EQ(CtrlValue(after, "nextExec"), CtrlValue(before, "nextExec"));
    EXPECT_TRUE(JournalLines(Journal(), "SLStartPatrolReadOpe").empty());
}

TEST_F(CtrlCommand, PatrolStartTimeInThePastAndInTheFuture)
{
    LoadScenario("default"); // the controller clock reads 2026-01-15 09:00:00
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "0101200000"}), "Error - The specified date occurs in the past.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "0115202608"}), "Error - The specified date occurs in the past.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "0301202610xyz", "-week"}),
              "Information - Controller[0] Settings have been changed.\n");
    // 2026-03-01 10:00:00 in seconds since 2000-01-01.
    EXPECT_EQ(CtrlValue(Dump(), "nextExec"), 825674400LL);
    Sim({"fault", "add", "6", "3", "0x2", "opcode=0x01080201"});
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "0301203010"}), "Error - The specified date occurs in the past.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLGetTime error"), std::string::npos);
}

TEST_F(CtrlCommand, PatrolOptionErrors)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlpr"}), "Error - Invalid input at or near token -ctrlpr.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime"}), "Error - Invalid input at or near token -setstarttime.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "01012026x0"}), "Error - Invalid input at or near token -setstarttime.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-setstarttime", "0000000000"}), "Error - Invalid input at or near token -setstarttime.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-start", "-stop"}), "Error - Invalid input at or near token -start.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-hour", "-day"}), "Error - Invalid input at or near token -hour.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-dsbl", "-enblman"}), "Error - Invalid input at or near token -dsbl.\n");
}

TEST_F(CtrlCommand, PatrolStartAndStop)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-ctrlpr", "-stop"}),
              "Error - Controller[0] Failed to stop Patrol Read.\nPlease confirm whether to have already ended.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-start"}), "Information - Controller[0] Start Patrol Read.\n");
    EXPECT_EQ(Run({"-ctrlpr", "-stop"}), "Information - Controller[0] Stop Patrol Read.\n");
    // A failed progress query refuses the stop.
    Run({"-ctrlpr", "-start"});
    Sim({"fault", "add", "2", "7", "0x800C"});
    EXPECT_EQ(Run({"-ctrlpr", "-stop"}),
              "Error - Controller[0] Failed to stop Patrol Read.\nPlease confirm whether to have already ended.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLGetPdProggress error"), std::string::npos);
    Sim({"fault", "clear"});
    Sim({"fault", "add", "1", "18", "0x32"});
    EXPECT_EQ(Run({"-ctrlpr", "-stop"}),
              "Error - Controller[0] Failed to stop Patrol Read.\nPlease confirm whether to have already ended.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLStopPatrolReadOpe error"), std::string::npos);
}

TEST_F(CtrlCommand, PatrolStartRefusals)
{
    const char refused[] = "Error - Controller[0] Failed to start Patrol Read.\nPlease confirm LD(Logical Drive)/PD(Physical "
                           "Drive) state.\n";
    // Faults on queries the start-up refresh does not send.
    struct Case {
        std::vector<std::string> fault;
        const char *trace;
    };
    const Case cases[] = {
        {{"3", "8", "0x800C"}, "SLGetLdProggress error"},
        {{"3", "11", "0x800C"}, "SLIsDuringRebuildCopyback error"},
        {{"1", "17", "0x27"}, "SLStartPatrolReadOpe error"},
    };
    for (const Case &c : cases) {
        LoadScenario("default");
        std::vector<std::string> args = {"fault", "add"};
        args.insert(args.end(), c.fault.begin(), c.fault.end());
        Sim(args);
        EXPECT_EQ(Run({"-ctrlpr", "-start"}), refused) << c.trace;
        EXPECT_NE(e2e::LastRunTrace().find(c.trace), std::string::npos) << c.trace;
    }
    // A rebuilding member refuses the start.
    LoadScenario("degraded");
    EXPECT_EQ(Run({"-ctrlpr", "-start"}), refused);
    // No PD that is online or a hot spare.
    LoadScenarioText(R"({"name": "bare", "controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 4}],
        "drives": [{"slots": "0-3", "size_gb": 100}]}]})");
    ClearJournal();
    EXPECT_EQ(Run({"-ctrlpr", "-start"}), refused);
    EXPECT_TRUE(JournalLines(Journal(), "SLStartPatrolReadOpe").empty());
}

TEST_F(CtrlCommand, PatrolSettingsFailures)
{
    LoadScenario("default");
    Sim({"fault", "add", "1", "16", "0x32"});
    EXPECT_EQ(Run({"-ctrlpr", "-enblauto"}), kFailedToChange0);
    EXPECT_NE(e2e::LastRunTrace().find("SLSetPatrolReadProp error"), std::string::npos);
    Sim({"fault", "clear"});
    Sim({"fault", "add", "1", "15", "0x32"});
    EXPECT_EQ(Run({"-ctrlpr", "-enblauto"}), kFailedToChange0);
    EXPECT_NE(e2e::LastRunTrace().find("SLGetPatrolReadProp error"), std::string::npos);
}

} // namespace
