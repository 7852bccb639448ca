// The simulator's controller logic: packet processing, controller rules, background operations,
// scenarios and the state-file store. Shared by storelib.dll, zavsim.exe and the simulator tests.
#ifndef ZAV_SIM_SIMCORE_H
#define ZAV_SIM_SIMCORE_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SimModel.h"
#include "common/storelib_layout.h"

namespace sim {

// Firmware and library status codes the simulator returns.
enum : uint32_t {
    ST_OK = 0x0,
    ST_DCMD_INVALID = 0x2,
    ST_INVALID_INPUT = 0x3,
    ST_INVALID_SEQ = 0x4,
    ST_ARRAY_INDEX = 0x9,
    ST_CONFLICT = 0xB,
    ST_DEVICE = 0xC,
    ST_TOO_SMALL = 0xD,
    ST_INIT_RUNNING = 0x18,
    ST_MAX_LDS = 0x1A,
    ST_LD_NOT_OPTIMAL = 0x1B,
    ST_REBUILD_RUNNING = 0x1C,
    ST_RAID_LEVEL = 0x1E,
    ST_TOO_MANY_SPARES = 0x1F,
    ST_HW_MISSING = 0x22,
    ST_NOT_FOUND = 0x23,
    ST_SAS_SATA = 0x26,
    ST_PR_DISABLED = 0x27,
    ST_WRONG_STATE = 0x32,
    ST_ALREADY = 0x55,
    ST_NO_PD_FOR_PR = 0x58,
    ST_NO_REPO_SPACE = 0x5B,
    ST_SEQ_MISMATCH = 0x67,
    ST_NOT_INITIALIZED = 0x8001,
    ST_INIT_FAILED = 0x8002,
    ST_BAD_CTRL = 0x800A,
    ST_NULL_PTR = 0x800B,
    ST_SIZE = 0x800C,
    ST_BAD_TYPE = 0x800D,
    ST_BAD_CMD = 0x800E,
    ST_OS = 0x8017,
    ST_BAD_PARAM = 0x8019
};

// Simulated durations of the background operations, in seconds.
enum {
    DUR_INIT = 600,
    DUR_CC = 1200,
    DUR_REBUILD = 1800,
    DUR_COPYBACK = 1800,
    DUR_PATROL = 3600,
    DUR_LEARN = 3600
};

enum { MAX_CONTROLLERS = 16, MAX_PDS = 256, MAX_LDS = 64, MAX_ARRAYS = 128, MAX_PITS = 8 };
static const int DEV_NONE = 0xFFFF;

// ---- controller rules (SimCtrl.cpp) ----
Controller *FindCtrl(State &s, uint32_t ctrlId);
Controller *CtrlByNumber(State &s, int number);   // number in ascending id order
std::vector<Controller *> CtrlsInIdOrder(State &s);
Pd *FindPdByDev(Controller &c, int devId);
Pd *FindPdBySlot(Controller &c, int slot);
Ld *FindLd(Controller &c, int target);
Array *FindArray(Controller &c, int ref);
Array *ArrayOfPd(Controller &c, int devId, int *armIndex = nullptr);
std::vector<Ld *> LdsOnArray(Controller &c, int ref);
std::vector<int> LdMemberDevs(Controller &c, const Ld &ld);   // 0xFFFF for missing arms
int LdState(Controller &c, const Ld &ld);
int LdRaidCode(const Ld &ld);                 // 0 RAID0, 1 RAID1, 2 RAID5, 3 RAID6, 4 RAID10
int DataDrives(int raidCode, int n);
uint16_t PdDdfType(Controller &c, const Pd &pd);
uint32_t PdAllowedOps(Controller &c, const Pd &pd);
uint32_t LdAllowedOps(Controller &c, const Ld &ld);
bool LdRebuildRunning(Controller &c, const Ld &ld);
bool CopybackEnabled(const Controller &c);
int FreeArrayRef(const Controller &c, const std::vector<int> &taken);
int FreeTarget(const Controller &c, const std::vector<int> &taken);
int SpareCount(const Controller &c);
void MarkPdChanged(Pd &pd);
void ArmLost(State &s, Controller &c, Array &a, int arm);   // member failed or removed: spare takeover
void FailPd(State &s, Controller &c, Pd &pd);
void PullPd(State &s, Controller &c, Pd &pd);
Pd &InsertPd(State &s, Controller &c, int slot, const Pd &model);
void DropArrayIfUnused(Controller &c, int ref);
uint32_t Now(const State &s);

// ---- background operations over simulated time (SimClock.cpp) ----
void AdvanceClock(State &s, double seconds);
void StartPatrol(Controller &c);
bool CatchUpWallClock(State &s, int64_t unixNow);   // speed > 0: moves the clock; true if anything moved

// ---- packets (SimDispatch.cpp) ----
struct PacketResult {
    uint32_t status = 0;
    bool changed = false;     // the state must be saved
    bool faulted = false;
};
// Processes one packet against the state. `initialized` is the library's per-process flag.
PacketResult ProcessPacket(State &s, LibCmdPacket &pkt, bool &initialized);
std::string JournalLine(const LibCmdPacket &pkt, const PacketResult &r);
std::string CommandName(int type, int cmd, uint32_t opcode);

// Query and action handlers (SimQueries.cpp, SimActions.cpp, SimConfig.cpp, SimSnapshot.cpp).
// Each fills `out` (queries) or reads `in` (actions) and returns a status.
typedef std::vector<uint8_t> Bytes;
uint32_t QueryCtrl(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t QueryPd(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t QueryLd(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t QueryConfig(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t QueryCacheBackup(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t QueryEnclosure(State &s, Controller &c, const LibCmdPacket &p, Bytes &out);
uint32_t ScsiPassThrough(Controller &c, ScsiPassThru &blk);
Bytes BuildConfig(Controller &c, const std::vector<Array> &arrays, const std::vector<Ld> &lds);
Bytes BuildPdInfo(Controller &c, const Pd &pd);
Bytes BuildLdInfo(Controller &c, const Ld &ld);
Bytes BuildCtrlProps(const Controller &c);
Bytes BuildPatrolProps(const Controller &c);
Bytes BuildMfcDefaults(const Controller &c);

uint32_t ActionCtrl(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed);
uint32_t ActionPd(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed);
uint32_t ActionLd(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed);
uint32_t ActionCacheBackup(State &s, Controller &c, const LibCmdPacket &p, bool &changed);
uint32_t ActionConfig(State &s, Controller &c, const LibCmdPacket &p, uint8_t *buf, uint32_t size, bool &changed,
                      Bytes &out);
uint32_t CreateLds(State &s, Controller &c, const LdCreateRequest &req, bool cachecade);
uint32_t AddLdsToArray(State &s, Controller &c, const AddLdToRgRequest &req);
uint32_t DeleteLd(Controller &c, int target);
uint32_t Dcmd(State &s, Controller &c, DcmdFrame &f, bool &changed);

// ---- scenarios (SimScenario.cpp) ----
bool BuildScenario(const std::string &text, const std::string &name, State &out, std::string &error);
bool BuiltinScenario(const std::string &name, std::string &text);
std::vector<std::string> BuiltinScenarioNames();
bool SecondsFromDateText(const std::string &text, double &seconds);
std::string DateTextFromSeconds(double seconds);

// ---- presentation (SimShow.cpp) ----
std::string ShowState(State &s);

// ---- state file, lock and journal (SimStore.cpp) ----
struct Paths {
    std::string state;
    std::string journal;
    std::string lock;
};
// Resolves the files from ZAVSIM_STATE / ZAVSIM_JOURNAL or the folder of `moduleDir`.
Paths ResolvePaths(const std::string &moduleDir);
std::string WindowsPath(const std::string &path);

// Size and last-write time of the state file. Writers always replace the whole file, so an
// unchanged stamp means an unchanged state.
struct StateStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;
    bool operator==(const StateStamp &o) const { return size == o.size && writeTime == o.writeTime; }
};
bool ReadStateStamp(const std::string &path, StateStamp &out);

class Store {
public:
    explicit Store(const Paths &paths);
    ~Store();
    bool Lock();
    void Unlock();
    // Reads the state file (again only if its stamp changed since the last read or write of this
    // process). Needs no lock: the file is only ever replaced whole. False with a reason.
    bool Load(State &out, std::string &error);
    // Whether another writer replaced the file since this store's last Load or Save.
    bool ChangedSinceLoad();
    bool Save(const State &s, std::string &error);
    void Journal(const std::string &line);
    std::string ReadJournal();
    void ClearJournal();
    const Paths &paths() const { return paths_; }

private:
    Paths paths_;
    void *lockHandle_ = nullptr;
    StateStamp loadedStamp_;
};

bool ParseStateText(const std::string &text, State &out, std::string &error);
std::string StateText(const State &s);

// ---- zavsim commands (SimZavsim.cpp) ----
int ZavsimRun(const std::vector<std::string> &args, const Paths &paths, std::string &out, std::string &err);

} // namespace sim

#endif
