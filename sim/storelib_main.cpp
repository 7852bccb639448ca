// storelib.dll of the simulator: the one entry point ProcessLibCommand. Each packet runs under the
// state file's lock: read the state, let simulated time catch up, process, save when changed,
// journal the packet.
#include <windows.h>

#include <ctime>

#include "SimCore.h"

// Whether this process sent the initialise command (and not yet the exit command).
static bool g_initialized = false;

extern "C" __declspec(dllexport) int __cdecl ProcessLibCommand(void *packet);

static std::string ModuleDir()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)(void *)&ProcessLibCommand, &self);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, sizeof(path));
    std::string p = path;
    size_t cut = p.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : p.substr(0, cut);
}

static int Process(LibCmdPacket &pkt)
{
    sim::Store store(sim::ResolvePaths(ModuleDir()));
    if (!store.Lock())
        return (int)sim::ST_OS;
    sim::State state;
    std::string error;
    if (!store.Load(state, error)) {
        store.Journal("ERROR " + error);
        sim::PacketResult failed;
        failed.status = sim::ST_INIT_FAILED;
        store.Journal(sim::JournalLine(pkt, failed));
        return (int)failed.status;
    }
    bool moved = sim::CatchUpWallClock(state, (int64_t)std::time(nullptr));
    sim::PacketResult r = sim::ProcessPacket(state, pkt, g_initialized);
    if ((r.changed || moved) && !store.Save(state, error))
        store.Journal("ERROR " + error);
    store.Journal(sim::JournalLine(pkt, r));
    return (int)r.status;
}

extern "C" __declspec(dllexport) int __cdecl ProcessLibCommand(void *packet)
{
    if (!packet)
        return (int)sim::ST_NULL_PTR;
    try {
        return Process(*static_cast<LibCmdPacket *>(packet));
    } catch (...) {
        return (int)sim::ST_OS;
    }
}
