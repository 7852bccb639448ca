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

// Status codes the simulator returns: the shared set under the simulator's short names.
enum : uint32_t {
    ST_OK = LIB_STATUS_OK,
    ST_DCMD_INVALID = LIB_STATUS_DCMD_INVALID,
    ST_INVALID_INPUT = LIB_STATUS_INVALID_INPUT,
    ST_INVALID_SEQ = LIB_STATUS_INVALID_SEQ,
    ST_ARRAY_INDEX = LIB_STATUS_ARRAY_INDEX,
    ST_CONFLICT = LIB_STATUS_CONFLICT,
    ST_DEVICE = LIB_STATUS_DEVICE_NOT_FOUND,
    ST_TOO_SMALL = LIB_STATUS_TOO_SMALL,
    ST_INIT_RUNNING = LIB_STATUS_INIT_RUNNING,
    ST_MAX_LDS = LIB_STATUS_MAX_LDS,
    ST_LD_NOT_OPTIMAL = LIB_STATUS_LD_NOT_OPTIMAL,
    ST_REBUILD_RUNNING = LIB_STATUS_REBUILD_RUNNING,
    ST_RAID_LEVEL = LIB_STATUS_RAID_LEVEL,
    ST_TOO_MANY_SPARES = LIB_STATUS_TOO_MANY_SPARES,
    ST_HW_MISSING = LIB_STATUS_HW_MISSING,
    ST_NOT_FOUND = LIB_STATUS_NOT_FOUND,
    ST_SAS_SATA = LIB_STATUS_SAS_SATA,
    ST_PR_DISABLED = LIB_STATUS_PR_DISABLED,
    ST_WRONG_STATE = LIB_STATUS_WRONG_STATE,
    ST_ALREADY = LIB_STATUS_ALREADY,
    ST_NO_PD_FOR_PR = LIB_STATUS_NO_PD_FOR_PR,
    ST_NO_REPO_SPACE = LIB_STATUS_NO_REPO_SPACE,
    ST_SEQ_MISMATCH = LIB_STATUS_SEQ_MISMATCH,
    ST_NOT_INITIALIZED = LIB_STATUS_NOT_INITIALIZED,
    ST_INIT_FAILED = LIB_STATUS_INIT_FAILED,
    ST_BAD_CTRL = LIB_STATUS_BAD_CTRL,
    ST_NULL_PTR = LIB_STATUS_NULL_PTR,
    ST_SIZE = LIB_STATUS_SIZE,
    ST_BAD_TYPE = LIB_STATUS_BAD_TYPE,
    ST_BAD_CMD = LIB_STATUS_BAD_CMD,
    ST_OS = LIB_STATUS_OS,
    ST_BAD_PARAM = LIB_STATUS_BAD_PARAM
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
// Whether the packet only reads the state (queries, library commands, SCSI pass-through): such a
// packet changes nothing but what its fault rule or the clock's catch-up report as a change.
bool PacketOnlyReads(const LibCmdPacket &pkt);
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
    // The same state without a copy: the process's own copy, valid until the next Current, Load or
    // Save of any store of this process. A packet that may change it works on a copy of its own
    // unless it only reads. Null with a reason.
    State *Current(std::string &error);
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

// Whether Journal keeps the journal open between records (the library's packets do; zavsim's
// lines open and close it). CloseJournal closes it (the library's exit command).
void KeepJournalOpen(bool keep);
void CloseJournal();

// Drops the process's copy of the state (it may differ from the file now); the next packet reads
// the file again.
void ForgetCachedState();

bool ParseStateText(const std::string &text, State &out, std::string &error);
std::string StateText(const State &s);

// ---- zavsim commands (SimZavsim.cpp) ----
int ZavsimRun(const std::vector<std::string> &args, const Paths &paths, std::string &out, std::string &err);

} // namespace sim

#endif
