// End-to-end tests of the PD commands: whole pdinfo reports, the existence check before any
// action, per-PD failures by fault injection, and the drive state left in the simulator.
#include "support/cli_checks.h"

#include <string>
#include <vector>

class PdCommand : public e2e::CliTest {};
using e2e::CountOf;
using e2e::JournalLines;

namespace {

const char kPdInfoSlots0And5[] =
    "RAID Controller: 0\r\n"
    "\r\n"
    "PD0(LD0)\r\n"
    "### General Information ###\r\n"
    "Usable Capacity          : 278.875 GB\r\n"
    "Raw Capacity             : 278.875 GB\r\n"
    "Interface Type           : SAS\r\n"
    "Media Type               : HDD\r\n"
    "Product ID               : ST3300657SS\r\n"
    "Vendor ID                : SEAGATE\r\n"
    "Device ID                : 8\r\n"
    "PD Status                : ONLINE\r\n"
    "Drive Speed              : 6.0 Gbps\r\n"
    "Negotiated Link Speed    : 6.0 Gbps\r\n"
    "SAS Address 0            : 0x500605B001235520\r\n"
    "SAS Address 1            : 0x500605B801235520\r\n"
    "Temperature              : 32 C\r\n"
    "Power Status             : On\r\n"
    "Revision Level           : 0008\r\n"
    "\r\n"
    "### Error Information ###\r\n"
    "Media Error Count        : 0\r\n"
    "Pred Fail Count          : 0\r\n"
    "\r\n"
    "### Enclosure Properties Information ###\r\n"
    "Enclosure ID             : 252\r\n"
    "Slot Number              : 0\r\n"
    "\n"
    "PD5(GHS:Global Hot Spare)\r\n"
    "### General Information ###\r\n"
    "Usable Capacity          : 278.875 GB\r\n"
    "Raw Capacity             : 278.875 GB\r\n"
    "Interface Type           : SAS\r\n"
    "Media Type               : HDD\r\n"
    "Product ID               : ST3300657SS\r\n"
    "Vendor ID                : SEAGATE\r\n"
    "Device ID                : 13\r\n"
    "PD Status                : HOT SPARE\r\n"
    "Drive Speed              : 6.0 Gbps\r\n"
    "Negotiated Link Speed    : 6.0 Gbps\r\n"
    "SAS Address 0            : 0x500605B001235534\r\n"
    "SAS Address 1            : 0x500605B801235534\r\n"
    "Temperature              : 32 C\r\n"
    "Power Status             : On\r\n"
    "Revision Level           : 0008\r\n"
    "\r\n"
    "### Error Information ###\r\n"
    "Media Error Count        : 0\r\n"
    "Pred Fail Count          : 0\r\n"
    "\r\n"
    "### Enclosure Properties Information ###\r\n"
    "Enclosure ID             : 252\r\n"
    "Slot Number              : 5\r\n"
    "\n";

const char kPdInfoOutsideEnclosure[] =
    "RAID Controller: 0\r\n"
    "\r\n"
    "PD2(None)\r\n"
    "### General Information ###\r\n"
    "Usable Capacity          : 465.750 GB\r\n"
    "Raw Capacity             : 465.761 GB\r\n"
    "Interface Type           : SATA\r\n"
    "Media Type               : HDD\r\n"
    "Product ID               : ST500NM0011\r\n"
    "Vendor ID                : ATA\r\n"
    "Device ID                : 10\r\n"
    "PD Status                : Unconfig GOOD\r\n"
    "Drive Speed              : 3.0 Gbps\r\n"
    "Negotiated Link Speed    : 3.0 Gbps\r\n"
    "SAS Address 0            : 0x500605B001235528\r\n"
    "Temperature              : 32 C\r\n"
    "Power Status             : On\r\n"
    "Revision Level           : 0008\r\n"
    "\r\n"
    "### Error Information ###\r\n"
    "Media Error Count        : 0\r\n"
    "Pred Fail Count          : 0\r\n"
    "\r\n"
    "### Slot Information ###\r\n"
    "Slot Number              : 2\r\n"
    "\n";

const char kHeader0[] = "RAID Controller: 0\r\n\r\n";

// A drive's firmware state in the simulator's dump of a one-controller scenario.
long long PdState(const std::string &dump, int slot)
{
    size_t at = dump.find("\"pds\": [");
    if (at == std::string::npos)
        return -1;
    std::string slotKey = "\"slot\": " + std::to_string(slot) + ",";
    size_t end = dump.find("\n   ]", at);
    for (size_t pos = dump.find(slotKey, at); pos != std::string::npos && pos < end; pos = dump.find(slotKey, pos + 1)) {
        size_t objStart = dump.rfind("{", pos);
        size_t state = dump.find("\"state\": ", objStart);
        if (state != std::string::npos)
            return std::atoll(dump.c_str() + state + 9);
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// pdinfo
// ---------------------------------------------------------------------------------------------
TEST_F(PdCommand, PdInfoListInListOrder)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdinfo", "-pd[252:0,252:5]"}), kPdInfoSlots0And5);
    // The enclosure part is not read: any text before the colon selects the same slots.
    EXPECT_EQ(Run({"-pdinfo", "-PD[{E9}:0,x:5]", "-a0"}), kPdInfoSlots0And5);
}

TEST_F(PdCommand, PdInfoAllSlotsIsEachSlotsReportInSlotOrder)
{
    LoadScenario("default");
    std::string all = Run({"-pdinfo"});
    std::string expected = kHeader0;
    for (int slot = 0; slot < 8; slot++) {
        std::string one = Run({"-pdinfo", "-pd[0:" + std::to_string(slot) + "]"});
        ASSERT_EQ(one.compare(0, sizeof(kHeader0) - 1, kHeader0), 0);
        expected += one.substr(sizeof(kHeader0) - 1);
    }
    EXPECT_EQ(all, expected);
    EXPECT_EQ(CountOf(all, "### Enclosure Properties Information ###"), 8u);
    EXPECT_NE(all.find("PD3(LD1)\r\n"), std::string::npos);
    EXPECT_NE(all.find("PD7(None)\r\n"), std::string::npos);
}

TEST_F(PdCommand, PdInfoOutsideAnyEnclosureWithOnePath)
{
    LoadScenario("embedded");
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:2]"}), kPdInfoOutsideEnclosure);
}

TEST_F(PdCommand, PdInfoStatesUsageAndOptionalTemperature)
{
    LoadScenario("degraded");
    Sim({"pd", "set", "0", "5", "temp_page=0"});
    Sim({"pd", "set", "0", "6", "foreign=1"});
    std::string out = Run({"-pdinfo", "-pd[0:5,0:1,0:6]"});
    EXPECT_NE(out.find("PD5(LD0)\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("PD Status                : REBUILD\r\n"), std::string::npos);
    EXPECT_NE(out.find("PD1(None)\r\n"), std::string::npos);
    EXPECT_NE(out.find("PD Status                : Unconfig BAD\r\n"), std::string::npos);
    EXPECT_NE(out.find("PD6(RLD)\r\n"), std::string::npos);
    EXPECT_EQ(CountOf(out, "Temperature"), 2u); // slot 5 shows no temperature page
    EXPECT_EQ(CountOf(out, "RAID Controller: 0"), 1u);
}

TEST_F(PdCommand, PdInfoDedicatedSpareNamesItsRaidGroup)
{
    LoadScenarioText(R"({"name": "dhs", "controllers": [{"id": 0, "enclosures": [{"devId": 252, "slots": 8}],
        "drives": [{"slots": "0-7", "size_gb": 100}],
        "lds": [{"raid": 1, "slots": [0, 1]}, {"raid": 5, "slots": [2, 3, 4]}],
        "spares": [{"slot": 5, "dedicated_to_ld": 1}]}]})");
    std::string out = Run({"-pdinfo", "-pd[0:5,0:2]"});
    EXPECT_NE(out.find("PD5(DHS:Dedicated Hot Spare, RG1)\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("PD2(LD1)\r\n"), std::string::npos) << out;
}

TEST_F(PdCommand, PdInfoSelectionErrors)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:9]"}), "Error - Controller[0] The specified Physical Drive 9: doesn't exist.\n");
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:1,0:1]"}), "Error - Invalid input at or near token -pdinfo.\n");
    // 255 marks an empty place and 256 has no place: neither may stand for another slot.
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:255]"}), "Error - Invalid input at or near token -pdinfo.\n");
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:256]"}), "Error - Invalid input at or near token -pdinfo.\n");
    EXPECT_EQ(Run({"-pdinfo", "-a0", "-pd[0:1"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:1]", "-pd[0:2]"}), "Error - Invalid input at or near token -pd[0:1].\n");
    EXPECT_EQ(Run({"-pdinfo", "-start"}), "Error - Invalid input at or near token -pdinfo.\n");
    EXPECT_EQ(Run({"-pdinfo", "-a2"}), "Error - The specified Controller 2: doesn't exist.\n");
}

// ---------------------------------------------------------------------------------------------
// pdlocate
// ---------------------------------------------------------------------------------------------
TEST_F(PdCommand, PdLocateStartAndStop)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdlocate", "-start", "-pd[0:6,0:1]"}),
              "Information - Controller[0] Blink PD(Physical Drive) location LED on PD(Physical Drive) 6,1.\n");
    std::vector<std::string> starts = JournalLines(Journal(), "SLStartLocatePD");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_NE(starts[0].find("param=0x00"), std::string::npos); // a duration byte of 0
    EXPECT_EQ(CountOf(Dump(), "\"locate\": true"), 2u);
    EXPECT_EQ(Run({"-pdlocate", "-STOP", "-pd[0:1]"}),
              "Information - Controller[0] Off PD(Physical Drive) location LED on PD(Physical Drive) 1.\n");
    EXPECT_EQ(CountOf(Dump(), "\"locate\": true"), 1u);
}

TEST_F(PdCommand, PdLocateFailures)
{
    LoadScenario("default");
    Sim({"fault", "add", "2", "8", "0xC", "slot=1"});
    EXPECT_EQ(Run({"-pdlocate", "-start", "-pd[0:1,0:2]"}),
              "Error - Controller[0] Failed to blink PD(Physical Drive) 1 location LED.\n"
              "Information - Controller[0] Blink PD(Physical Drive) location LED on PD(Physical Drive) 2.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLStartLocatePD error"), std::string::npos);
    // A failed stop ends the controller's list.
    Sim({"fault", "add", "2", "9", "0xC", "slot=2"});
    ClearJournal();
    EXPECT_EQ(Run({"-pdlocate", "-stop", "-pd[0:2,0:3]"}),
              "Error - Controller[0] Failed to off PD(Physical Drive) 2 location LED.\n");
    EXPECT_EQ(JournalLines(Journal(), "SLStopLocatePD").size(), 1u);
    EXPECT_NE(e2e::LastRunTrace().find("SLStopLocatePD error"), std::string::npos);
}

TEST_F(PdCommand, PdLocateOptionErrors)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdlocate", "-start", "-stop", "-pd[0:1]"}), "Error - Invalid input at or near token -start.\n");
    EXPECT_EQ(Run({"-pdlocate", "-start"}), "Error - Invalid input at or near token -start.\n");
    EXPECT_EQ(Run({"-pdlocate", "-pd[0:1]", "-a0"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-pdlocate"}), "Error - Invalid input at or near token -pdlocate.\n");
    // A malformed PD list is met before the missing -start/-stop and before a later bad option.
    EXPECT_EQ(Run({"-pdlocate", "-pd[0:1,0:1]"}), "Error - Invalid input at or near token -pdlocate.\n");
    EXPECT_EQ(Run({"-pdlocate", "-a0", "-pd[0:x]", "-bogus"}), "Error - Invalid input at or near token -a0.\n");
}

// ---------------------------------------------------------------------------------------------
// pdonline, pdoffline, pdmakegood
// ---------------------------------------------------------------------------------------------
TEST_F(PdCommand, PdOfflineThenOnlineWhereOnlyTheSecondSlotSucceeds)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdoffline", "-pd[0:1,0:3]"}),
              "Information - Controller[0] PD(Physical Drive) state have been changed on PD(Physical Drive) 1,3.\n");
    std::string d = Dump();
    EXPECT_EQ(PdState(d, 1), 16);
    EXPECT_EQ(PdState(d, 3), 16);
    Sim({"fault", "add", "2", "1", "0x32", "slot=1"});
    EXPECT_EQ(Run({"-pdonline", "-pd[0:1,0:3]"}),
              "Error - Controller[0] Failed to change PD(Physical Drive) 1 state.\nPlease confirm PD(Physical Drive) state.\n"
              "Information - Controller[0] PD(Physical Drive) state have been changed on PD(Physical Drive) 3.\n");
    d = Dump();
    EXPECT_EQ(PdState(d, 1), 16);
    EXPECT_EQ(PdState(d, 3), 24);
    EXPECT_NE(e2e::LastRunTrace().find("func=CliCmdExecPDOnline: SLMakeDriveOnline error, contNo=0, pdNo=1"),
              std::string::npos);
}

TEST_F(PdCommand, PdMakeGoodAndFailures)
{
    LoadScenario("degraded"); // slot 1 failed out of the RAID5 LD
    EXPECT_EQ(PdState(Dump(), 1), 1);
    EXPECT_EQ(Run({"-pdmakegood", "-pd[0:1]"}),
              "Information - Controller[0] PD(Physical Drive) state have been changed on PD(Physical Drive) 1.\n");
    EXPECT_EQ(PdState(Dump(), 1), 0);
    Sim({"fault", "add", "2", "19", "0x32"});
    EXPECT_EQ(Run({"-pdmakegood", "-pd[0:6]"}),
              "Error - Controller[0] Failed to change PD(Physical Drive) 6 state.\nPlease confirm PD(Physical Drive) state.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLMakeDriveUnconfGood error"), std::string::npos);
    Sim({"fault", "add", "2", "2", "0x32"});
    EXPECT_EQ(Run({"-pdoffline", "-pd[0:0]"}),
              "Error - Controller[0] Failed to change PD(Physical Drive) 0 state.\nPlease confirm PD(Physical Drive) state.\n");
    EXPECT_NE(e2e::LastRunTrace().find("SLMakeDriveOffline error"), std::string::npos);
}

TEST_F(PdCommand, MissingSlotOnSecondControllerChangesNothing)
{
    LoadScenario("two-controllers"); // controller 0 has slots 0-3, controller 1 slots 0-5
    Sim({"pd", "pull", "1", "3"});
    std::string before = Dump();
    ClearJournal();
    EXPECT_EQ(Run({"-pdoffline", "-pd[0:3,0:2]", "-aall"}),
              "Error - Controller[1] The specified Physical Drive 3: doesn't exist.\n");
    std::string journal = Journal();
    EXPECT_TRUE(JournalLines(journal, "SLMakeDriveOffline").empty()) << journal;
    EXPECT_EQ(Dump(), before);
    // The enclosure's own entry in the PD list is no disk either.
    EXPECT_EQ(Run({"-pdinfo", "-pd[0:4]", "-aall"}), "Error - Controller[0] The specified Physical Drive 4: doesn't exist.\n");
}

TEST_F(PdCommand, PdStateCommandOptionErrors)
{
    LoadScenario("default");
    EXPECT_EQ(Run({"-pdonline"}), "Error - Invalid input at or near token -pdonline.\n");
    EXPECT_EQ(Run({"-pdoffline", "-a0"}), "Error - Invalid input at or near token -a0.\n");
    EXPECT_EQ(Run({"-pdmakegood", "-pd[0:6]", "-start"}), "Error - Invalid input at or near token -pd[0:6].\n");
    EXPECT_EQ(Run({"-pdmakegood", "-pd[0:6]", "-a3"}), "Error - The specified Controller 3: doesn't exist.\n");
}

} // namespace
