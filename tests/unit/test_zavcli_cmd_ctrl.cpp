// Controller-command paths the simulator cannot reach: failures of queries the start-up refresh
// also sends, the version resource failing, and a "No" on the second controller's question.
// The handlers run against the scripted library with console output and answers captured.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmd_ctrl.h"
#include "cli/zavcli_cmds.h"
#include "common/dll_mod.h"
#include "test_storelib_fake.h"
#include "unit/console_script.h"

namespace {

std::string &g_out = testconsole::Output();
std::vector<std::string> &g_lines = testconsole::Answers();
size_t &g_next = testconsole::NextAnswer();
const auto Capture = testconsole::CaptureConsole;
const auto Answer = testconsole::ScriptedReader;

class CtrlHandlers : public ::testing::Test {
protected:
    slfake::FakeLibrary lib;
    ContData *records = nullptr;

    void SetUp() override
    {
        g_out.clear();
        g_lines.clear();
        g_next = 0;
        SetConsoleWriter(Capture);
        SetConsoleReader(Answer);
        slfake::FakeLibrary::Current() = &lib;
        records = static_cast<ContData *>(calloc(2, sizeof(ContData)));
    }
    void TearDown() override
    {
        SLSetEntryForTest(nullptr, nullptr);
        slfake::FakeLibrary::Current() = nullptr;
        SetConsoleWriter(nullptr);
        SetConsoleReader(nullptr);
        SetVersionReader(nullptr);
        free(records);
        EXPECT_EQ(g_next, g_lines.size()) << "answers left unread";
    }

    // One or two controllers, each with an online disk in slot 0 and one LD.
    void Controllers(int count)
    {
        for (int i = 0; i < count; i++) {
            slfake::Controller c;
            c.id = (uint32_t)i;
            c.pds.push_back(slfake::Pd(8, 0));
            c.lds.push_back(slfake::Ld(0));
            lib.ctrls.push_back(c);
        }
        ControllerIdList list = lib.List();
        SLSetEntryForTest(&slfake::FakeLibrary::Entry, &list);
    }

    void Fail(uint8_t type, uint8_t cmd, uint32_t status, int passFirst = 0)
    {
        lib.faults[slfake::FaultKey{type, cmd}] = status;
        lib.passFirst[slfake::FaultKey{type, cmd}] = passFirst;
    }

    int Run(CliCmdHandler handler, std::vector<const char *> args, uint16_t count = 1)
    {
        args.insert(args.begin(), "zavcli");
        return handler((int)args.size(), const_cast<char **>(args.data()), records, count);
    }
};

const char kStartRefused[] =
    "Error - Controller[0] Failed to start Patrol Read.\nPlease confirm LD(Logical Drive)/PD(Physical Drive) state.\n";

TEST_F(CtrlHandlers, PatrolStartAndStopReadFreshLists)
{
    Controllers(1);
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-start"});
    EXPECT_EQ(g_out, "Information - Controller[0] Start Patrol Read.\n");
    EXPECT_EQ(lib.Sequence(), "1/4 1/13 3/8 3/11 1/4 2/0 1/17 ");
}

TEST_F(CtrlHandlers, PatrolListFailuresAndAllocation)
{
    Controllers(1);
    Fail(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_PD_LIST, 0x800C);
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-start"});
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-stop"});
    EXPECT_EQ(g_out, "Error - Failed to initialize.\nError - Failed to initialize.\n");
    EXPECT_TRUE(lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_START_PR).empty());
    EXPECT_TRUE(lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_STOP_PR).empty());
}

TEST_F(CtrlHandlers, PatrolStartRefusedOnFailedLdListOrPdInfo)
{
    Controllers(1);
    Fail(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_LD_LIST, 0x800C);
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-start"});
    EXPECT_EQ(g_out, kStartRefused);
    lib.faults.clear();
    g_out.clear();
    Fail(LIBCMD_TYPE_PD, SLCMD_PD_INFO, 0x800C);
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-start"});
    EXPECT_EQ(g_out, kStartRefused);
    EXPECT_TRUE(lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_START_PR).empty());
}

TEST_F(CtrlHandlers, PatrolStartNeedsAnOnlineOrSparePd)
{
    Controllers(1);
    lib.ctrls[0].pds[0].state = PD_STATE_UNCONF_GOOD;
    lib.ctrls[0].pds.push_back(slfake::Pd(9, 1, 0x0D)); // not a disk: never asked for
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-start"});
    EXPECT_EQ(g_out, kStartRefused);
    EXPECT_EQ(lib.Of(LIBCMD_TYPE_PD, SLCMD_PD_INFO).size(), 1u);
}

TEST_F(CtrlHandlers, PatrolSettingsQuestionAskedOncePerCommand)
{
    Controllers(2);
    g_lines = {"y"};
    Run(CliCmdExecAdpPR, {"-ctrlpr", "-enblman", "-aall"}, 2);
    EXPECT_EQ(g_out, "Warning - In case of disabling Automatic Patrol Read, cannot keep PDs(Physical Drives) safe.\n"
                     "Proceed with the setting?(Y/N)?\n"
                     "Information - Controller[0] Settings have been changed.\n"
                     "Information - Controller[1] Settings have been changed.\n");
    std::vector<slfake::Sent> writes = lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_SET_PR_PROP);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].data[PR_MODE], PR_MODE_MANUAL);
}

TEST_F(CtrlHandlers, AutoRebuildNoOnTheSecondControllerEndsTheCommand)
{
    Controllers(2);
    g_lines = {"y", "n"};
    Run(CliCmdExecAdpRbldMode, {"-ctrlautorbld", "-dsbl", "-a0,1"}, 2);
    EXPECT_EQ(lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_SET_PROP).size(), 1u);
    const std::string question =
        "Warning - In case of disabling Automatic Rebuild, the rebuild after error doesn't automatically start.\n"
        "Proceed with the setting?(Y/N)?\n";
    EXPECT_EQ(g_out, question + "Information - Controller[0] Settings have been changed.\n" + question);
}

TEST_F(CtrlHandlers, SilentEndOnFailedControllerQueries)
{
    Controllers(1);
    Fail(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0x800C);
    Run(CliCmdExecAdpInfo, {"-ctrlinfo"});
    Run(CliCmdExecAdpSetProp, {"-ctrlsetprop", "-trh"});
    EXPECT_EQ(g_out, "");
    EXPECT_TRUE(lib.Of(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_SET_PROP).empty());
}

int FailingVersion(ToolVersion *, uint32_t *errorCode)
{
    *errorCode = 0x2;
    return 0;
}

TEST_F(CtrlHandlers, VersionResourceFailure)
{
    Controllers(1);
    SetVersionReader(FailingVersion);
    Run(CliCmdExecVersion, {"-v"});
    Run(CliCmdExecHelp, {"-help"});
    EXPECT_EQ(g_out, "Error - An error has occurred with Windows API. (code=0x2)\n"
                     "Error - An error has occurred with Windows API. (code=0x2)\n");
}

TEST_F(CtrlHandlers, HelpVariantTable)
{
    const struct { int snap0, cc0, snap1, cc1, variant; } rows[] = {
        {0, 0, 0, 0, HELP_BASE}, {0, 1, 0, 0, HELP_CACHECADE}, {1, 0, 0, 0, HELP_SNAPSHOT},
        {1, 1, 0, 0, HELP_FULL}, {0, 0, 1, 1, HELP_FULL},      {0, 1, 1, 0, HELP_CACHECADE},
    };
    for (const auto &r : rows) {
        LayoutPutU32(records[0].ctrlInfo, CI_ADAPTER_OPS, r.snap0 ? CI_ADAPTER_OP_SNAPSHOT : 0);
        LayoutPutU16(records[0].ctrlInfo, CI_CACHECADE, (uint16_t)r.cc0);
        LayoutPutU32(records[1].ctrlInfo, CI_ADAPTER_OPS, r.snap1 ? CI_ADAPTER_OP_SNAPSHOT : 0);
        LayoutPutU16(records[1].ctrlInfo, CI_CACHECADE, (uint16_t)r.cc1);
        EXPECT_EQ(HelpVariant(records, 2), r.variant);
    }
}

} // namespace
