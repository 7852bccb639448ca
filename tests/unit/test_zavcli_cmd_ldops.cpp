// The maintenance handlers against records built in memory, with scripted volumes: what the
// simulator cannot present (the operating system's LD, drive letters, a failing volume flush).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/ContData.h"
#include "common/LdPlan.h"
#include "common/StoreLib.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "unit/console_script.h"

namespace {

std::string &g_console = testconsole::Output();
std::vector<std::string> &g_answers = testconsole::Answers();
size_t &g_nextAnswer = testconsole::NextAnswer();
std::vector<LibCmdPacket> g_sent;
char g_windowsDir[8] = "C:\\";
int g_flushWorks = 1;

using testconsole::CaptureConsole;
using testconsole::ScriptedReader;

// A library that answers every packet with success and zeroed data, and remembers the packets.
uint32_t ZAV_LIBCALL ZeroEntry(LibCmdPacket *packet)
{
    g_sent.push_back(*packet);
    if (packet->cmdType == LIBCMD_TYPE_LD && packet->cmd == SLCMD_LD_ALLOWED_OPS && packet->dataPtr != 0)
        LayoutPutU32(reinterpret_cast<void *>(static_cast<uintptr_t>(packet->dataPtr)), 0, LD_ALLOW_START_INIT);
    return 0;
}

// The same library with one LD on the controller, except that no PD information can be read.
uint32_t PdInfoFails(LibCmdPacket *packet)
{
    if (packet->cmdType == LIBCMD_TYPE_PD && packet->cmd == SLCMD_PD_INFO) {
        g_sent.push_back(*packet);
        return 0x32;
    }
    uint32_t status = ZeroEntry(packet);
    if (packet->cmdType == LIBCMD_TYPE_CONTROLLER && packet->cmd == SLCMD_CTRL_LD_LIST && packet->dataPtr != 0)
        reinterpret_cast<LdList *>(static_cast<uintptr_t>(packet->dataPtr))->count = 1;
    return status;
}
uint32_t ZAV_LIBCALL PdInfoFailsEntry(LibCmdPacket *packet) { return PdInfoFails(packet); }

// Volumes: C: lies on the disk whose SCSI address is port 0, target 0 (LD0).
uint32_t OnlyDriveC() { return 1u << 2; }
unsigned FixedDrive(const char *) { return VOLUME_DRIVE_FIXED; }
void *OpenAny(const char *) { return reinterpret_cast<void *>(1); }
void CloseAny(void *) {}
int OneExtent(void *, uint32_t *disks, uint32_t, uint32_t *count)
{
    disks[0] = 0;
    *count = 1;
    return 1;
}
int AddressOfLd0(void *, ScsiAddressInfo *address)
{
    std::memset(address, 0, sizeof(*address));
    return 1;
}
int Flush(void *) { return g_flushWorks; }
uint32_t AccessDenied() { return 5; }
void NoWait(unsigned) {}
unsigned WindowsDir(char *buffer, unsigned size)
{
    std::snprintf(buffer, size, "%s", g_windowsDir);
    return static_cast<unsigned>(std::strlen(buffer));
}
const VolumeSeam kVolumes = {OnlyDriveC, FixedDrive, OpenAny, CloseAny, OneExtent, AddressOfLd0,
                             Flush,      AccessDenied, NoWait, WindowsDir};

class MoreHandlers : public ::testing::Test {
protected:
    std::unique_ptr<ContData> record{new ContData()};
    LdList lds{};
    PdList pds{};
    std::vector<uint8_t> snapshotInfo = std::vector<uint8_t>(SB_HEADER_SIZE, 0);

    void SetUp() override
    {
        g_console.clear();
        g_answers.clear();
        g_nextAnswer = 0;
        g_sent.clear();
        std::snprintf(g_windowsDir, sizeof(g_windowsDir), "C:\\");
        g_flushWorks = 1;
        SetConsoleWriter(CaptureConsole);
        SetConsoleReader(ScriptedReader);
        SetVolumeSeam(&kVolumes);
        ControllerIdList list{};
        list.count = 1;
        SLSetEntryForTest(ZeroEntry, &list);
        std::memset(record.get(), 0, sizeof(ContData));
        record->ldList = &lds;
        record->pdList = &pds;
        AddLd(0);
        AddLd(1);
    }
    void TearDown() override
    {
        EXPECT_EQ(g_nextAnswer, g_answers.size()) << "answers left unread";
        SLSetEntryForTest(nullptr, nullptr);
        SetVolumeSeam(nullptr);
        SetConsoleWriter(nullptr);
        SetConsoleReader(nullptr);
    }
    void AddLd(uint8_t target)
    {
        lds.entries[lds.count++].targetId = target;
        uint8_t *info = record->ldInfo[target];
        info[LI_TARGET_ID] = target;
        info[LI_PRIMARY_RAID] = 1;
        info[LI_SPAN_DEPTH] = 1;
        info[LI_DRIVES_PER_SPAN] = 2;
        info[LI_STATE] = LD_STATE_OPTIMAL;
        LayoutPutU64(info, LI_SPANS + LI_SPAN_BLOCKS, 1u << 21);
        LayoutPutU32(info, LI_CONFIG_OPS, LD_ALLOW_DELETE);
        LayoutPutU32(info, LI_ALLOWED_OPS, LD_ALLOW_START_INIT | LD_ALLOW_START_CC);
    }
    int Call(CliCmdHandler handler, std::vector<std::string> args)
    {
        args.insert(args.begin(), "zavcli.exe");
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(&a[0]);
        return handler(static_cast<int>(argv.size()), argv.data(), record.get(), 1);
    }
    int SentOf(uint8_t type, uint8_t cmd)
    {
        int n = 0;
        for (const LibCmdPacket &p : g_sent)
            n += (p.cmdType == type && p.cmd == cmd) ? 1 : 0;
        return n;
    }
};

TEST_F(MoreHandlers, TheOperatingSystemsLdIsNeverInitialized)
{
    Call(CliCmdExecLDINIT, {"-ldinit", "-start", "-L0"});
    EXPECT_EQ("Error - Controller[0] Cannot initialize OS LD(Logical Drive).\n", g_console);
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_LD, SLCMD_LD_START_INIT));
}

TEST_F(MoreHandlers, InitializationOfAllLeavesTheOperatingSystemsLdOut)
{
    g_answers = {"y"};
    Call(CliCmdExecLDINIT, {"-ldinit", "-start"});
    EXPECT_EQ("All data on the LD[s](Logical Drive[s]) will be lost.(Y/N)?\n"
              "Information - Controller[0] Start Initialization on LD(Logical Drive) 1.\n"
              "Please confirm the progress by \"ldpdprog\" command.\n",
              g_console);
    ASSERT_EQ(1, SentOf(LIBCMD_TYPE_LD, SLCMD_LD_START_INIT));
}

TEST_F(MoreHandlers, LdDeletionRefusesTheOperatingSystemsLd)
{
    g_answers = {"0"};
    Call(CliCmdExecCfgLDDel, {"-lddel"});
    EXPECT_NE(std::string::npos, g_console.find("LD0    RAID1      1.000        OPTIMAL                      C\n"));
    EXPECT_NE(std::string::npos, g_console.find("Error - Controller[0] Cannot delete OS LD(Logical Drive).\n"));
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_LD, SLCMD_LD_DELETE));
}

TEST_F(MoreHandlers, LdDeletionRefusesLdsWithDriveLetters)
{
    std::snprintf(g_windowsDir, sizeof(g_windowsDir), "D:\\");
    g_answers = {"1,0"};
    Call(CliCmdExecCfgLDDel, {"-lddel"});
    EXPECT_NE(std::string::npos, g_console.find("Error - Controller[0] Cannot delete the LD[s](Logical Drive[s]) which "
                                                "has drive letter[s].\n"));
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_LD, SLCMD_LD_DELETE));
}

TEST_F(MoreHandlers, LdInformationShowsTheDriveLetters)
{
    Call(CliCmdExecLDInfo, {"-ldpdinfo", "-L0,1"});
    EXPECT_NE(std::string::npos, g_console.find("Drive Letter             : C\r\n")) << g_console;
    EXPECT_NE(std::string::npos, g_console.find("Drive Letter             : -\r\n"));
}

TEST_F(MoreHandlers, NoSnapshotIsTakenWhenTheVolumeCannotBeFlushed)
{
    LayoutPutU32(record->ctrlInfo, CI_ADAPTER_OPS, CI_ADAPTER_OP_SNAPSHOT);
    record->ldInfo[0][LI_SNAPSHOT_BASE] = 1;
    record->snapshotInfo[0] = snapshotInfo.data();
    g_flushWorks = 0;
    Call(CliCmdExecSnapshot, {"-snapshot", "-create", "-name", "Before", "-L0"});
    record->snapshotInfo[0] = nullptr;
    EXPECT_EQ("Error - An error has occurred with Windows API. (code=0x5)\n", g_console);
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_PASSTHRU, SLCMD_PT_DCMD));
}

TEST_F(MoreHandlers, ASnapshotIsTakenAfterTheFlush)
{
    LayoutPutU32(record->ctrlInfo, CI_ADAPTER_OPS, CI_ADAPTER_OP_SNAPSHOT);
    record->ldInfo[0][LI_SNAPSHOT_BASE] = 1;
    record->snapshotInfo[0] = snapshotInfo.data();
    Call(CliCmdExecSnapshot, {"-snapshot", "-create", "-name", "After", "-L0"});
    record->snapshotInfo[0] = nullptr;
    EXPECT_EQ("Information - Controller[0] Snapshot After has been created on LD(Logical Drive) 0.\n", g_console);
    EXPECT_GE(SentOf(LIBCMD_TYPE_PASSTHRU, SLCMD_PT_DCMD), 1);
}

TEST_F(MoreHandlers, AReleaseWhosePdCannotBeReadAsksNothingAndSendsNothing)
{
    pds.entries[pds.count].deviceId = 5;
    pds.entries[pds.count++].slotNumber = 5;
    ControllerIdList list{};
    list.count = 1;
    SLSetEntryForTest(PdInfoFailsEntry, &list);
    Call(CliCmdExecPDHSP, {"-pdhsp", "-rmv", "-pd[252:5]"});
    EXPECT_EQ("Error - Controller[0] Failed to release the Hot Spare.\nPlease confirm PD(Physical Drive) state.\n",
              g_console);
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_PD, SLCMD_PD_REMOVE_HS));
}

TEST_F(MoreHandlers, AViewNeedsRoomInTheRepositoryArea)
{
    LayoutPutU32(record->ctrlInfo, CI_ADAPTER_OPS, CI_ADAPTER_OP_SNAPSHOT);
    record->ldInfo[0][LI_SNAPSHOT_BASE] = 1;
    std::vector<uint8_t> info(SB_HEADER_SIZE + SB_PIT_SIZE, 0);
    info[SB_PIT_COUNT] = 1;
    LayoutPutU64(info.data(), SB_AREA_BLOCKS, 2000);
    LayoutPutU64(info.data(), SB_USED_BLOCKS, 1901);
    LayoutPutU32(info.data(), SB_HEADER_SIZE + SP_NUMBER, 4);
    record->snapshotInfo[0] = info.data();
    Call(CliCmdExecSnapshot, {"-snapshot", "-createview", "-snapshotno", "4", "-L0"});
    EXPECT_EQ("Error - Controller[0] The remaining capacity of the Snapshot Repository LD(Logical Drive) is too small.\n"
              "Please delete a Snapshot on it.\n",
              g_console);
    EXPECT_EQ(0, SentOf(LIBCMD_TYPE_PASSTHRU, SLCMD_PT_DCMD));
    g_console.clear();
    LayoutPutU64(info.data(), SB_USED_BLOCKS, 1900); // exactly a twentieth left
    Call(CliCmdExecSnapshot, {"-snapshot", "-createview", "-snapshotno", "4", "-L0"});
    record->snapshotInfo[0] = nullptr;
    EXPECT_EQ("Information - Controller[0] Snapshot View LD0_View has been created on LD(Logical Drive) 0.\n", g_console);
}

// The controller refuses every change of LD properties.
uint32_t ZAV_LIBCALL PropertiesRefused(LibCmdPacket *packet)
{
    if (packet->cmdType == LIBCMD_TYPE_LD && packet->cmd == SLCMD_LD_SET_PROP) {
        g_sent.push_back(*packet);
        return 0x32;
    }
    return ZeroEntry(packet);
}

std::vector<std::pair<int, int>> g_ioFailures;
void RecordIoFailure(uint8_t contNo, uint8_t target) { g_ioFailures.push_back({contNo, target}); }

TEST_F(MoreHandlers, IoPolicyFailuresAreToldPerLdAndTheOthersStillTried)
{
    AddLd(2);
    record->ldInfo[1][LI_CACHECADE] = 1; // a CacheCade LD keeps its policy
    ControllerIdList list{};
    list.count = 1;
    SLSetEntryForTest(PropertiesRefused, &list);
    const uint8_t targets[] = {0, 1, 2};
    EXPECT_EQ(2, SetLdsIoPolicy(0, record.get(), targets, 3, 1));
    EXPECT_EQ(2, SentOf(LIBCMD_TYPE_LD, SLCMD_LD_SET_PROP)) << "the CacheCade LD is passed over";
    EXPECT_EQ("Error - Controller[0] Failed to change the IO Policy of LD(Logical Drive) 0.\n"
              "Error - Controller[0] Failed to change the IO Policy of LD(Logical Drive) 2.\n",
              g_console);

    g_console.clear();
    g_ioFailures.clear();
    SetIoPolicyFailureNotifier(RecordIoFailure);
    EXPECT_EQ(2, SetLdsIoPolicy(0, record.get(), targets, 3, 0));
    SetIoPolicyFailureNotifier(nullptr);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}, {0, 2}}), g_ioFailures);
    EXPECT_EQ("", g_console) << "an installed notifier replaces the console text";
}

} // namespace
