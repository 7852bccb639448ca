// Checks before patrol read starts or stops, read afresh from the scripted library: a failed read
// counts as "no", a PD that is not a disk is never asked for.
#include <gtest/gtest.h>

#include <cstring>

#include "common/LdChecks.h"
#include "test_storelib_fake.h"

namespace {

class PatrolChecks : public ::testing::Test {
protected:
    slfake::FakeLibrary lib;
    ControllerIdList list;
    PdList pds;

    void SetUp() override
    {
        slfake::FakeLibrary::Current() = &lib;
        slfake::Controller c;
        c.id = 0;
        c.pds.push_back(slfake::Pd(8, 0));
        c.pds.push_back(slfake::Pd(9, 1, 0x0D)); // an enclosure, not a disk
        c.lds.push_back(slfake::Ld(0));
        lib.ctrls.push_back(c);
    }
    void TearDown() override
    {
        SLSetEntryForTest(nullptr, nullptr);
        slfake::FakeLibrary::Current() = nullptr;
    }
    void Start()
    {
        list = lib.List();
        SLSetEntryForTest(&slfake::FakeLibrary::Entry, &list);
        std::memset(&pds, 0, sizeof(pds));
        ASSERT_EQ(SLGetPDList(0, &pds), 0);
    }
    void Fail(uint8_t type, uint8_t cmd) { lib.faults[slfake::FaultKey{type, cmd}] = 0x800C; }
};

TEST_F(PatrolChecks, AnswersFollowTheStatesAndCountFailedReadsAsNo)
{
    struct Case {
        const char *what;
        uint8_t failType, failCmd;   // 0: nothing fails
        uint16_t pdState;
        int ldsAllow, readable, running;
    } cases[] = {
        {"online disk, idle LD", 0, 0, PD_STATE_ONLINE, 1, 1, 0},
        {"hot spare", 0, 0, PD_STATE_HOT_SPARE, 1, 1, 0},
        {"unconfigured disk only", 0, 0, PD_STATE_UNCONF_GOOD, 1, 0, 0},
        {"LD list fails", LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_LD_LIST, PD_STATE_ONLINE, 0, 1, 0},
        {"LD progress fails", LIBCMD_TYPE_LD, SLCMD_LD_PROGRESS, PD_STATE_ONLINE, 0, 1, 0},
        {"PD information fails", LIBCMD_TYPE_PD, SLCMD_PD_INFO, PD_STATE_ONLINE, 1, 0, 0},
        {"PD progress fails", LIBCMD_TYPE_PD, SLCMD_PD_PROGRESS, PD_STATE_ONLINE, 1, 1, 0},
    };
    for (const Case &c : cases) {
        lib.faults.clear();
        lib.ctrls[0].pds[0].state = c.pdState;
        Start();
        if (c.failType != 0)
            Fail(c.failType, c.failCmd);
        EXPECT_EQ(LdsAllowPatrolRead(0, "CliCmdExecAdpPR"), c.ldsAllow) << c.what;
        EXPECT_EQ(HasPatrolReadablePd(0, &pds, "CliCmdExecAdpPR"), c.readable) << c.what;
        EXPECT_EQ(PatrolReadRunning(0, &pds, "CliCmdExecAdpPR"), c.running) << c.what;
    }
}

TEST_F(PatrolChecks, OnlyDisksAreAskedFor)
{
    lib.ctrls[0].pds[0].state = PD_STATE_UNCONF_GOOD;
    Start();
    EXPECT_EQ(HasPatrolReadablePd(0, &pds, "CliCmdExecAdpPR"), 0);
    EXPECT_EQ(lib.Of(LIBCMD_TYPE_PD, SLCMD_PD_INFO).size(), 1u);
    EXPECT_EQ(PatrolReadRunning(0, &pds, "CliCmdExecAdpPR"), 0);
    EXPECT_EQ(lib.Of(LIBCMD_TYPE_PD, SLCMD_PD_PROGRESS).size(), 1u);
}

} // namespace
