// Support of the simulator tests: a per-test state and journal, zavsim commands run in-process,
// packets sent through the real storelib.dll entry point, and child zavsim.exe processes.
#ifndef ZAV_TESTS_SIM_SIM_SUPPORT_H
#define ZAV_TESTS_SIM_SIM_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimCore.h"
#include "sim/sim_paths.h"
#include "common/storelib_layout.h"

namespace simtest {

typedef int(__cdecl *ProcessLibCommandFn)(void *);

inline void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline ProcessLibCommandFn Entry()
{
    static ProcessLibCommandFn fn = nullptr;
    if (!fn) {
        HMODULE lib = LoadLibraryA((BinDir() + "\\storelib.dll").c_str());
        if (lib)
            fn = (ProcessLibCommandFn)(void *)GetProcAddress(lib, "ProcessLibCommand");
    }
    return fn;
}

// Starts zavsim.exe without waiting; the caller waits on the returned handle.
inline HANDLE StartZavsim(const std::vector<std::string> &args)
{
    std::string cmd = "\"" + BinDir() + "\\zavsim.exe\"";
    for (const std::string &a : args)
        cmd += " \"" + a + "\"";
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

inline int WaitExit(HANDLE h)
{
    DWORD code = 999;
    if (h && WaitForSingleObject(h, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(h, &code);
    if (h)
        CloseHandle(h);
    return (int)code;
}

class SimFixture : public ::testing::Test {
protected:
    sim::Paths paths;
    std::string out, err;

    void SetUp() override
    {
        paths = UseTestSimPaths("zavsim_t");
        ASSERT_NE(nullptr, Entry()) << "storelib.dll beside the test program";
    }

    void TearDown() override
    {
        Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_EXIT);
        Cleanup();
    }

    void Cleanup() { RemoveSimFiles(paths); }

    // Runs a zavsim command in this process; returns its exit code.
    int Zavsim(const std::vector<std::string> &args)
    {
        out.clear();
        err.clear();
        return sim::ZavsimRun(args, paths, out, err);
    }

    void Load(const std::string &scenario)
    {
        ASSERT_EQ(0, Zavsim({"load", scenario})) << err;
        ASSERT_EQ(0u, Send(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_INIT, 0, 0, 0, 0, idList, sizeof(idList)));
    }

    sim::State State()
    {
        sim::State s;
        std::string error;
        sim::Store store(paths);
        EXPECT_TRUE(store.Load(s, error)) << error;
        return s;
    }

    uint8_t idList[68] = {};

    uint32_t CtrlId(int index) { return LayoutU32(idList, 4 + 4 * index); }

    uint32_t Send(int type, int cmd, uint32_t ctrlId = 0, uint16_t ref1 = 0, uint16_t ref2 = 0, uint8_t param = 0,
                  void *data = nullptr, uint32_t size = 0)
    {
        LibCmdPacket p;
        std::memset(&p, 0, sizeof(p));
        p.cmdType = (uint8_t)type;
        p.cmd = (uint8_t)cmd;
        p.ctrlId = ctrlId;
        p.ref1 = ref1;
        p.ref2 = ref2;
        p.param[0] = param;
        p.dataSize = size;
        p.dataPtr = (uint32_t)(uintptr_t)data;
        return (uint32_t)Entry()(&p);
    }

    uint32_t Dcmd(uint32_t opcode, uint8_t target, uint16_t seq, void *data, uint32_t size, uint32_t arg = 0,
                  uint32_t ctrlId = 0)
    {
        DcmdFrame f;
        std::memset(&f, 0, sizeof(f));
        f.opcode = opcode;
        f.dataSize = size;
        f.direction = data ? DCMD_DIR_FROM_CTRL : DCMD_DIR_NONE;
        f.mailbox[0] = target;
        LayoutPutU16(f.mailbox, 2, seq);
        LayoutPutU32(f.mailbox, 4, arg);
        f.dataPtr = (uint32_t)(uintptr_t)data;
        return Send(LIBCMD_TYPE_PASSTHRU, SLCMD_PT_DCMD, ctrlId, 0, 0, 0, &f, sizeof(f));
    }

    std::vector<uint8_t> PdInfo(int devId, uint32_t *status = nullptr)
    {
        std::vector<uint8_t> b(PD_INFO_SIZE, 0);
        uint32_t st = Send(LIBCMD_TYPE_PD, SLCMD_PD_INFO, 0, (uint16_t)devId, 0, 0, b.data(), PD_INFO_SIZE);
        if (status)
            *status = st;
        return b;
    }

    std::vector<uint8_t> LdInfo(int target, uint32_t ctrlId = 0)
    {
        std::vector<uint8_t> b(LD_INFO_SIZE, 0);
        EXPECT_EQ(0u, Send(LIBCMD_TYPE_LD, SLCMD_LD_INFO, ctrlId, 0, (uint16_t)target, 0, b.data(), LD_INFO_SIZE));
        return b;
    }

    // Device id of a drive slot of controller 0, from the simulator state.
    int Dev(int slot)
    {
        sim::State s = State();
        sim::Pd *pd = sim::FindPdBySlot(s.ctrls[0], slot);
        return pd ? pd->devId : -1;
    }

    uint16_t PdSeq(int slot) { return LayoutU16(PdInfo(Dev(slot)).data(), PI_SEQ_NUM); }
    uint16_t LdSeq(int target) { return LayoutU16(LdInfo(target).data(), LI_SEQ_NUM); }
    int PdState(int slot) { return LayoutU16(PdInfo(Dev(slot)).data(), PI_FW_STATE); }
    int LdState(int target) { return LdInfo(target)[LI_STATE]; }

    uint32_t PdAction(int cmd, int slot, void *data = nullptr, uint32_t size = 0)
    {
        return Send(LIBCMD_TYPE_PD, cmd, 0, (uint16_t)Dev(slot), PdSeq(slot), 0, data, size);
    }

    uint32_t LdAction(int cmd, int target, uint8_t param = 0)
    {
        return Send(LIBCMD_TYPE_LD, cmd, 0, LdSeq(target), (uint16_t)target, param);
    }

    std::string Journal() { return ReadText(paths.journal); }
};

} // namespace simtest

#endif
