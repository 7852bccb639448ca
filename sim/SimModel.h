// The simulated controllers: drives, arrays, LDs, enclosures, cache-backup unit, snapshots,
// foreign configurations, clock and fault rules, with their JSON form (the state file).
#ifndef ZAV_SIM_SIMMODEL_H
#define ZAV_SIM_SIMMODEL_H

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim {

// A background operation: fraction done and simulated seconds spent.
struct Op {
    bool active = false;
    double progress = 0.0;
    double elapsed = 0.0;
};

enum SpareKind { SPARE_NONE = 0, SPARE_GLOBAL = 1, SPARE_DEDICATED = 2 };

struct Pd {
    int devId = 0;
    int slot = 0;
    int enclId = 0xFFFF;
    int enclIndex = 0;
    int seq = 1;
    std::string vendor = "SEAGATE";
    std::string product = "ST3300657SS";
    std::string revision = "0008";
    uint64_t rawBlocks = 0;
    uint64_t coercedBlocks = 0;
    int iface = 2;            // 2 SAS, 3 SATA
    int media = 0;            // 0 HDD, 1 SSD
    int speed = 3;
    int linkSpeed = 3;
    int state = 0;            // PdFwState
    bool foreign = false;
    int spare = SPARE_NONE;
    std::vector<int> spareArrays;   // arrays a dedicated spare serves
    int returnSpare = SPARE_NONE;   // kind of spare this drive was before it took over an arm
    uint32_t mediaErrors = 0;
    uint32_t predFail = 0;
    int temperature = 32;
    bool tempPage = true;
    int paths = 1;
    uint64_t sasAddr0 = 0;
    uint64_t sasAddr1 = 0;
    int power = 0;
    bool locate = false;
    int scsiType = 0;
    int copybackPartner = 0xFFFF;   // on the drive being copied from: device id of the target
    Op rebuild;
    Op copyback;
    Op patrol;
};

struct Array {
    int ref = 0;
    std::vector<int> arms;          // device ids, 0xFFFF = missing
    std::vector<int> homeSlots;     // slot each arm's original drive sat in (-1 unknown)
    uint64_t size = 0;              // blocks per arm usable by the array
};

struct Span {
    int arrayRef = 0;
    uint64_t start = 0;
    uint64_t blocks = 0;            // blocks used on each arm
};

struct Pit {
    uint32_t number = 0;
    uint32_t time = 0;
    std::string name;
    uint64_t used = 0;
};

struct View {
    int target = 0;
    uint32_t pit = 0;
    uint32_t time = 0;
    std::string name;
    int access = 0;
};

struct SnapBase {
    bool enabled = false;
    int repo = -1;
    uint64_t area = 0;
    uint32_t enabledTime = 0;
    uint32_t nextPit = 1;
    std::vector<Pit> pits;
    std::vector<View> views;
};

struct Ld {
    int target = 0;
    int seq = 1;
    std::string name;
    int primaryRaid = 0;            // 0, 1, 5, 6
    int spanDepth = 1;
    int drivesPerSpan = 1;
    int stripe = 7;
    std::vector<Span> spans;
    int cache = 0x01;
    int access = 0;
    int diskCache = 2;
    int snapFlags = 0;
    bool consistent = true;
    bool badBlocks = false;
    int initState = 0;
    bool cachecade = false;
    std::vector<int> ccAssoc;
    std::string osDrive;
    Op init;
    Op cc;
    SnapBase snap;
    bool repository = false;
};

struct Sensor {
    int status = 1;
    int value = 0;
};

struct Enclosure {
    int devId = 252;
    int index = 0;
    int slots = 8;
    int kind = 2;
    int model = 2;
    int location = 0;
    std::string vendor = "LSI";
    std::string product = "SAS2X28";
    std::string revision = "0e12";
    std::string connector = "Port 0 - 3";
    std::vector<Sensor> temps;
    std::vector<Sensor> fans;
    std::vector<Sensor> psus;
    std::vector<Sensor> volts;
};

struct CacheBackup {
    bool present = false;
    int type = 5;
    int voltage = 4050;
    int current = 0;
    int temperature = 28;
    int fullCapacity = 1215;
    int remaining = 1180;
    int serial = 4711;
    int mode = 0;
    uint32_t period = 28 * 86400;
    uint32_t nextLearn = 0;
    int relCharge = 97;
    bool learnFailed = false;
    std::string manufacturer = "LS1121001A";
    std::string deviceName = "bq27541";
    std::string chemistry = "LION";
    Op learn;
};

struct PatrolRead {
    int mode = 0;
    uint32_t interval = 604800;
    uint32_t nextExec = 0;
    int maxConcurrent = 4;
    std::vector<int> excluded;
    uint32_t iterations = 0;
    Op run;
};

struct CtrlProps {
    int seq = 1;
    int rebuildRate = 30;
    int patrolRate = 30;
    int bgiRate = 30;
    int ccRate = 30;
    int reconRate = 30;
    int flushInterval = 4;
    int alarmEnable = 1;
    int autoRebuildDisabled = 0;
    uint32_t onOffBits = 0;
};

struct Foreign {
    std::vector<int> pds;
    std::vector<Array> arrays;
    std::vector<Ld> lds;
};

struct Controller {
    uint32_t id = 0;
    std::string product = "LSI MegaRAID SAS 9260-8i";
    std::string serial = "SV01234567";
    std::string package = "12.12.0-0124";
    std::string fwVersion = "2.130.393-2551";
    std::string fwDate = "Jan 05 2013";
    std::string fwTime = "13:02:21";
    std::string biosVersion = "3.25.00_4.12.05.00_0x05180000";
    std::string driverName = "megasas2.sys";
    std::string driverDate = "2012/10/08";
    std::string driverVersion = "6.505.05.00";
    int pciBus = 2;
    int pciDevice = 0;
    int pciFunction = 0;
    int vendorId = 0x1000;
    int deviceId = 0x0079;
    int subVendorId = 0x1000;
    int subDeviceId = 0x9275;
    int memoryMb = 512;
    int memCorrectable = 0;
    int memUncorrectable = 0;
    bool alarm = true;
    bool snapshot = false;
    bool cachecade = false;
    bool fastpath = false;
    int maxLds = 64;
    int maxSpares = 16;
    uint32_t raidMask = 0x37;
    int stripeMin = 4;
    int stripeMax = 11;
    int slotCount = 8;
    int candidateCap = 0;           // 0: the slot count
    int portCount = 8;
    uint64_t sasBase = 0x500605B001234500ull;
    int maxPdPerGroup = 32;
    int failPdOnSmart = 0;
    CtrlProps props;
    PatrolRead patrol;
    CacheBackup cacheBackup;
    std::vector<Enclosure> enclosures;
    std::vector<Pd> pds;
    std::vector<Array> arrays;
    std::vector<Ld> lds;
    std::vector<Foreign> foreign;
    int nextDevId = 0;
};

struct FaultRule {
    int type = 0;
    int cmd = 0;
    uint32_t status = 0;
    int64_t opcode = -1;
    int ref1 = -1;
    int ref2 = -1;
    int slot = -1;
    int ld = -1;
    int ctrl = -1;
    int count = -1;                 // -1: always
};

struct Clock {
    double seconds = 0;             // controller clock, seconds since 2000-01-01
    double speed = 0;               // 0: moves only when told
    int64_t wallAnchor = 0;         // unix time of the last update when speed > 0
};

struct State {
    std::string scenario;
    std::string libMajor = "06.05.00";
    std::string libMinor = "0014";
    int listFlags = 0;
    Clock clock;
    std::vector<Controller> ctrls;
    std::vector<FaultRule> faults;
};

// JSON form: every field has a default, so hand-written or older state files load.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Op, active, progress, elapsed)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Pd, devId, slot, enclId, enclIndex, seq, vendor, product, revision,
                                                rawBlocks, coercedBlocks, iface, media, speed, linkSpeed, state,
                                                foreign, spare, spareArrays, returnSpare, mediaErrors, predFail,
                                                temperature, tempPage, paths, sasAddr0, sasAddr1, power, locate,
                                                scsiType, copybackPartner, rebuild, copyback, patrol)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Array, ref, arms, homeSlots, size)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Span, arrayRef, start, blocks)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Pit, number, time, name, used)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(View, target, pit, time, name, access)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SnapBase, enabled, repo, area, enabledTime, nextPit, pits, views)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Ld, target, seq, name, primaryRaid, spanDepth, drivesPerSpan, stripe,
                                                spans, cache, access, diskCache, snapFlags, consistent, badBlocks,
                                                initState, cachecade, ccAssoc, osDrive, init, cc, snap, repository)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Sensor, status, value)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Enclosure, devId, index, slots, kind, model, location, vendor, product,
                                                revision, connector, temps, fans, psus, volts)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CacheBackup, present, type, voltage, current, temperature,
                                                fullCapacity, remaining, serial, mode, period, nextLearn, relCharge,
                                                learnFailed, manufacturer, deviceName, chemistry, learn)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PatrolRead, mode, interval, nextExec, maxConcurrent, excluded,
                                                iterations, run)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CtrlProps, seq, rebuildRate, patrolRate, bgiRate, ccRate, reconRate,
                                                flushInterval, alarmEnable, autoRebuildDisabled, onOffBits)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Foreign, pds, arrays, lds)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Controller, id, product, serial, package, fwVersion, fwDate, fwTime,
                                                biosVersion, driverName, driverDate, driverVersion, pciBus, pciDevice,
                                                pciFunction, vendorId, deviceId, subVendorId, subDeviceId, memoryMb,
                                                memCorrectable, memUncorrectable, alarm, snapshot, cachecade,
                                                fastpath, maxLds, maxSpares, raidMask, stripeMin, stripeMax,
                                                slotCount, candidateCap, portCount, sasBase, maxPdPerGroup,
                                                failPdOnSmart, props, patrol, cacheBackup, enclosures, pds, arrays,
                                                lds, foreign, nextDevId)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(FaultRule, type, cmd, status, opcode, ref1, ref2, slot, ld, ctrl,
                                                count)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Clock, seconds, speed, wallAnchor)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(State, scenario, libMajor, libMinor, listFlags, clock, ctrls, faults)


} // namespace sim

#endif
