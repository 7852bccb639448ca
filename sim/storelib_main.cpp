// storelib.dll of the simulator: the one entry point ProcessLibCommand. Each packet reads the state
// (from memory when the file is unchanged, without copying it when the packet only reads), lets
// simulated time catch up, is processed, saved under the state file's lock when it changed
// anything, and journalled.
#include <windows.h>

#include <cstdlib>
#include <ctime>

#include "SimCore.h"

// Whether this process sent the initialise command (and not yet the exit command).
static bool g_initialized = false;

extern "C" __declspec(dllexport) int __cdecl ProcessLibCommand(void *packet);

// Packets this process has sent so far; the one-shot fault of ZAVSIM_FAULT_ONCE counts them.
static unsigned long g_packetCount = 0;

// ZAVSIM_FAULT_ONCE="N:STATUS" makes the N-th packet of this process (1 = the initialise
// command) fail with STATUS (decimal or 0x..) without being carried out. It lives in the
// environment, not the state file, so one process start covers one fault and no other process
// sharing the state sees it.
static bool OneShotFault(unsigned long packetNumber, uint32_t &status)
{
    char text[64];
    DWORD n = GetEnvironmentVariableA("ZAVSIM_FAULT_ONCE", text, sizeof(text));
    if (n == 0 || n >= sizeof(text))
        return false;
    char *end = nullptr;
    unsigned long wanted = std::strtoul(text, &end, 10);
    if (end == text || *end != ':' || wanted != packetNumber)
        return false;
    const char *statusText = end + 1;
    unsigned long value = std::strtoul(statusText, &end, 0);
    if (end == statusText || *end != '\0')
        return false;
    status = (uint32_t)value;
    return true;
}

static std::string ModuleDir()
{
    static std::string dir;
    if (!dir.empty())
        return dir;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)(void *)&ProcessLibCommand, &self);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, sizeof(path));
    std::string p = path;
    size_t cut = p.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string(".") : p.substr(0, cut);
    return dir;
}

static int LoadFailed(sim::Store &store, const LibCmdPacket &pkt, const std::string &error)
{
    store.Journal("ERROR " + error);
    sim::PacketResult failed;
    failed.status = sim::ST_INIT_FAILED;
    store.Journal(sim::JournalLine(pkt, failed));
    return (int)failed.status;
}

// A packet is first answered from the state as last read; only when it changes the state is the
// lock taken. If another process saved in between, the packet runs again on that newer state, so
// no change is lost and the lock covers the whole read-modify-write. A packet that only reads works
// on the process's copy of the state itself; any other works on a copy of its own, which is thrown
// away unless the packet reports a change.
static int Process(LibCmdPacket &pkt)
{
    const unsigned long packetNumber = ++g_packetCount;
    sim::KeepJournalOpen(true);
    sim::Store store(sim::ResolvePaths(ModuleDir()));
    std::string error;
    sim::State *current = store.Current(error);
    if (!current)
        return LoadFailed(store, pkt, error);
    uint32_t oneShot = 0;
    if (OneShotFault(packetNumber, oneShot)) {
        sim::PacketResult faulted;
        faulted.status = oneShot;
        faulted.faulted = true;
        store.Journal(sim::JournalLine(pkt, faulted));
        return (int)faulted.status;
    }
    const bool inPlace = sim::PacketOnlyReads(pkt);
    sim::State working;
    sim::State *state = current;
    if (!inPlace) {
        working = *current;
        state = &working;
    }
    const int64_t now = (int64_t)std::time(nullptr);
    const bool initializedBefore = g_initialized;
    bool moved = sim::CatchUpWallClock(*state, now);
    sim::PacketResult r = sim::ProcessPacket(*state, pkt, g_initialized);
    if (r.changed || moved) {
        if (!store.Lock()) {
            if (inPlace)
                sim::ForgetCachedState();
            return (int)sim::ST_OS;
        }
        if (store.ChangedSinceLoad()) {
            g_initialized = initializedBefore;
            current = store.Current(error);
            if (!current)
                return LoadFailed(store, pkt, error);
            state = current;
            if (!inPlace) {
                working = *current;
                state = &working;
            }
            moved = sim::CatchUpWallClock(*state, now);
            r = sim::ProcessPacket(*state, pkt, g_initialized);
        }
        if ((r.changed || moved) && !store.Save(*state, error)) {
            // The change is lost: the caller must not be told it was carried out.
            store.Journal("ERROR " + error);
            if (r.changed && r.status == sim::ST_OK)
                r.status = sim::ST_OS;
        }
    }
    store.Journal(sim::JournalLine(pkt, r));
    if (pkt.cmdType == LIBCMD_TYPE_LIBRARY && pkt.cmd == SLCMD_LIB_EXIT)
        sim::CloseJournal(); // a tool's session with the library ends: the journal is free again
    return (int)r.status;
}

extern "C" __declspec(dllexport) int __cdecl ProcessLibCommand(void *packet)
{
    if (!packet)
        return (int)sim::ST_NULL_PTR;
    try {
        return Process(*static_cast<LibCmdPacket *>(packet));
    } catch (...) {
        // A packet cut short may have left the process's copy of the state half changed.
        sim::ForgetCachedState();
        return (int)sim::ST_OS;
    }
}
