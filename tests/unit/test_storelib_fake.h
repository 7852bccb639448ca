// A scripted stand-in for storelib.dll's ProcessLibCommand: it answers from small in-memory
// controllers, records every packet it receives, and fails chosen commands on request.
#ifndef ZAV_TESTS_UNIT_TEST_STORELIB_FAKE_H
#define ZAV_TESTS_UNIT_TEST_STORELIB_FAKE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"

namespace slfake {

struct Sent {
    uint8_t type = 0, cmd = 0, param0 = 0;
    uint32_t ctrlId = 0;
    uint16_t ref1 = 0, ref2 = 0;
    uint32_t dataSize = 0;
    uint32_t opcode = 0;            // direct commands
    uint8_t direction = 0;
    std::vector<uint8_t> mailbox;   // direct commands
    std::vector<uint8_t> data;      // data sent to the controller (as it was when sent)
};

struct Pd {
    Pd(uint16_t id, uint8_t slotNo, uint8_t type = 0) : deviceId(id), slot(slotNo), devType(type) {}
    uint16_t deviceId;
    uint8_t slot;
    uint8_t devType = 0;
    uint16_t seqNum = 0x100;
    uint16_t state = PD_STATE_ONLINE;
    uint16_t partner = 0xFFFF;
};

struct Ld {
    Ld(uint8_t targetId) : target(targetId) {}
    uint8_t target;
    uint16_t seqNum = 0x200;
    std::vector<uint16_t> spans;  // array references
    uint8_t cacheCade = 0;
    uint8_t snapshotBase = 0;
    uint8_t repository = 0;
    uint32_t opBits = 0;
    std::vector<uint16_t> members; // device ids for the PD-in-LD query
};

struct Array {
    Array(uint16_t arrayRef, std::vector<uint16_t> armIds) : ref(arrayRef), arms(armIds) {}
    uint16_t ref;
    std::vector<uint16_t> arms;
};

struct Controller {
    uint32_t id = 0;
    std::vector<Pd> pds;
    std::vector<Ld> lds;
    std::vector<Array> arrays;
    std::vector<std::pair<uint8_t, uint8_t>> enclosures; // slot count, kind
    uint16_t ctrlInfoSlots = 0;
    uint16_t ctrlSeq = 0x31;
    std::vector<uint8_t> ctrlProp = std::vector<uint8_t>(CTRL_PROP_SIZE, 0);
    std::vector<uint8_t> mfcDefaults = std::vector<uint8_t>(MFC_DEFAULTS_SIZE, 0);
    std::map<uint8_t, std::string> osDriveNames;
    std::vector<uint8_t> logPage0;
    std::vector<uint8_t> logPage0D;
    std::vector<uint8_t> snapshotInfo; // answer of the snapshot information command
};

struct FaultKey {
    uint8_t type, cmd;
    bool operator<(const FaultKey &o) const { return type != o.type ? type < o.type : cmd < o.cmd; }
};

class FakeLibrary {
public:
    std::vector<Controller> ctrls;
    std::vector<Sent> sent;
    std::map<FaultKey, uint32_t> faults;        // every packet of this type/command fails
    std::map<FaultKey, int> passFirst;          // ... except the first N of them
    std::map<uint32_t, uint32_t> dcmdFaults;    // by direct-command opcode
    uint32_t initStatus = 0;
    std::vector<uint32_t> initIds;              // ids the initialise command reports (default: the controllers')

    static FakeLibrary *&Current()
    {
        static FakeLibrary *current = nullptr;
        return current;
    }

    static uint32_t ZAV_LIBCALL Entry(LibCmdPacket *packet) { return Current()->Handle(packet); }

    // The merged list as the layer would build it from the controllers' ids.
    ControllerIdList List() const
    {
        ControllerIdList list;
        std::memset(&list, 0, sizeof(list));
        list.count = (uint16_t)ctrls.size();
        for (size_t i = 0; i < ctrls.size(); i++)
            list.ids[i] = ctrls[i].id;
        return list;
    }

    std::vector<Sent> Of(uint8_t type, uint8_t cmd) const
    {
        std::vector<Sent> out;
        for (const Sent &s : sent)
            if (s.type == type && s.cmd == cmd)
                out.push_back(s);
        return out;
    }

    std::string Sequence() const
    {
        std::string seq;
        for (const Sent &s : sent) {
            char text[32];
            if (s.type == LIBCMD_TYPE_PASSTHRU && s.cmd == SLCMD_PT_DCMD)
                snprintf(text, sizeof(text), "D%08X ", s.opcode);
            else
                snprintf(text, sizeof(text), "%u/%u ", s.type, s.cmd);
            seq += text;
        }
        return seq;
    }

private:
    Controller *ByCtrlId(uint32_t id)
    {
        for (Controller &c : ctrls)
            if (c.id == id)
                return &c;
        return nullptr;
    }

    static uint8_t *Data(LibCmdPacket *p) { return reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(p->dataPtr)); }

    uint32_t Handle(LibCmdPacket *p)
    {
        Sent s;
        s.type = p->cmdType;
        s.cmd = p->cmd;
        s.ctrlId = p->ctrlId;
        s.ref1 = p->ref1;
        s.ref2 = p->ref2;
        s.param0 = p->param[0];
        s.dataSize = p->dataSize;
        uint8_t *data = Data(p);
        DcmdFrame *frame = nullptr;
        if (p->cmdType == LIBCMD_TYPE_PASSTHRU && p->cmd == SLCMD_PT_DCMD && data) {
            frame = reinterpret_cast<DcmdFrame *>(data);
            s.opcode = frame->opcode;
            s.direction = frame->direction;
            s.mailbox.assign(frame->mailbox, frame->mailbox + 12);
            uint8_t *fdata = reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(frame->dataPtr));
            if (fdata && frame->direction == DCMD_DIR_TO_CTRL)
                s.data.assign(fdata, fdata + frame->dataSize);
        } else if (data && p->dataSize) {
            s.data.assign(data, data + p->dataSize);
        }
        sent.push_back(s);

        auto fault = faults.find(FaultKey{p->cmdType, p->cmd});
        if (fault != faults.end()) {
            int &pass = passFirst[fault->first];
            if (pass > 0)
                pass--;
            else
                return fault->second;
        }
        if (frame && dcmdFaults.count(frame->opcode))
            return dcmdFaults[frame->opcode];
        if (p->cmdType == LIBCMD_TYPE_LIBRARY)
            return Library(p, data);
        Controller *c = ByCtrlId(p->ctrlId);
        if (!c)
            return 0x800A;
        switch (p->cmdType) {
        case LIBCMD_TYPE_CONTROLLER: return Ctrl(*c, p, data);
        case LIBCMD_TYPE_PD: return PdCmd(*c, p, data);
        case LIBCMD_TYPE_LD: return LdCmd(*c, p, data);
        case LIBCMD_TYPE_CONFIG: return Config(*c, p, data);
        case LIBCMD_TYPE_PASSTHRU: return frame ? Dcmd(*c, frame) : Scsi(*c, data);
        default: return 0;
        }
    }

    uint32_t Library(LibCmdPacket *p, uint8_t *data)
    {
        if (p->cmd == SLCMD_LIB_INIT) {
            if (initStatus)
                return initStatus;
            ControllerIdList list;
            std::memset(&list, 0, sizeof(list));
            std::vector<uint32_t> ids = initIds;
            if (ids.empty())
                for (const Controller &c : ctrls)
                    ids.push_back(c.id);
            list.count = (uint16_t)ids.size();
            for (size_t i = 0; i < ids.size() && i < 16; i++)
                list.ids[i] = ids[i];
            std::memcpy(data, &list, sizeof(list));
        } else if (p->cmd == SLCMD_LIB_VERSION && data) {
            std::memcpy(data, "0001" "04.05.06", 12);
        }
        return 0;
    }

    uint32_t Ctrl(Controller &c, LibCmdPacket *p, uint8_t *data)
    {
        switch (p->cmd) {
        case SLCMD_CTRL_INFO:
            LayoutPutU16(data, CI_SLOT_COUNT, c.ctrlInfoSlots);
            break;
        case SLCMD_CTRL_GET_PROP:
            std::memcpy(data, c.ctrlProp.data(), CTRL_PROP_SIZE);
            LayoutPutU16(data, CP_SEQ_NUM, c.ctrlSeq);
            break;
        case SLCMD_CTRL_PD_LIST: {
            PdList *list = reinterpret_cast<PdList *>(data);
            list->count = (uint32_t)c.pds.size();
            // Reported in reverse slot order, so the sorting of the layer shows.
            for (size_t i = 0; i < c.pds.size(); i++) {
                const Pd &pd = c.pds[c.pds.size() - 1 - i];
                list->entries[i].deviceId = pd.deviceId;
                list->entries[i].slotNumber = pd.slot;
                list->entries[i].scsiDevType = pd.devType;
            }
            break;
        }
        case SLCMD_CTRL_ENCL_LIST: {
            EnclList *list = reinterpret_cast<EnclList *>(data);
            list->count = (uint32_t)c.enclosures.size();
            for (size_t i = 0; i < c.enclosures.size(); i++) {
                list->entries[i].slotCount = c.enclosures[i].first;
                list->entries[i].kind = c.enclosures[i].second;
            }
            break;
        }
        case SLCMD_CTRL_LD_LIST: {
            LdList *list = reinterpret_cast<LdList *>(data);
            list->count = (uint32_t)c.lds.size();
            for (size_t i = 0; i < c.lds.size(); i++)
                list->entries[i].targetId = c.lds[c.lds.size() - 1 - i].target;
            break;
        }
        case SLCMD_CTRL_OS_DRIVE_NAME: {
            LayoutPutU32(data, OSD_COUNT, (uint32_t)c.osDriveNames.size());
            size_t i = 0;
            for (auto &entry : c.osDriveNames) {
                uint8_t *e = data + OSD_ENTRIES + i++ * OSD_ENTRY_SIZE;
                e[OSD_ENTRY_TARGET] = entry.first;
                std::memcpy(e + OSD_ENTRY_NAME, entry.second.c_str(), entry.second.size());
            }
            break;
        }
        default:
            break;
        }
        return 0;
    }

    const Pd *PdByDevice(const Controller &c, uint16_t deviceId)
    {
        for (const Pd &pd : c.pds)
            if (pd.deviceId == deviceId)
                return &pd;
        return nullptr;
    }

    uint32_t PdCmd(Controller &c, LibCmdPacket *p, uint8_t *data)
    {
        const Pd *pd = PdByDevice(c, p->ref1);
        if (!pd)
            return 0xC;
        if (p->cmd == SLCMD_PD_INFO) {
            LayoutPutU16(data, PI_DEVICE_ID, pd->deviceId);
            LayoutPutU16(data, PI_SEQ_NUM, pd->seqNum);
            LayoutPutU16(data, PI_FW_STATE, pd->state);
            LayoutPutU16(data, PI_COPYBACK_PARTNER, pd->partner);
            data[PI_SLOT_NUMBER] = pd->slot;
        }
        return 0;
    }

    const Ld *LdByTarget(const Controller &c, uint8_t target)
    {
        for (const Ld &ld : c.lds)
            if (ld.target == target)
                return &ld;
        return nullptr;
    }

    static void FillLdEntry(uint8_t *e, const Ld &ld)
    {
        e[LI_TARGET_ID] = ld.target;
        LayoutPutU16(e, LI_SEQ_NUM, ld.seqNum);
        e[LI_SPAN_DEPTH] = (uint8_t)ld.spans.size();
        e[LI_CACHECADE] = ld.cacheCade;
        e[LI_SNAPSHOT_BASE] = ld.snapshotBase;
        for (size_t k = 0; k < ld.spans.size(); k++)
            LayoutPutU16(e, LI_SPANS + k * LI_SPAN_SIZE + LI_SPAN_ARRAY_REF, ld.spans[k]);
    }

    uint32_t LdCmd(Controller &c, LibCmdPacket *p, uint8_t *data)
    {
        const Ld *ld = LdByTarget(c, (uint8_t)p->ref2);
        if (!ld)
            return 0xC;
        if (p->cmd == SLCMD_LD_INFO) {
            FillLdEntry(data, *ld);
            LayoutPutU32(data, LI_OPERATION_BITS, ld->opBits);
            data[LI_REPOSITORY] = ld->repository;
        } else if (p->cmd == SLCMD_LD_GET_PROP) {
            data[LP_TARGET_ID] = ld->target;
            LayoutPutU16(data, LP_SEQ_NUM, ld->seqNum);
        } else if (p->cmd == SLCMD_LD_PD_IN_LD) {
            LayoutPutU32(data, PIL_COUNT, (uint32_t)ld->members.size());
            for (size_t i = 0; i < ld->members.size(); i++)
                LayoutPutU16(data, PIL_DEVICE_IDS + 2 * i, ld->members[i]);
        }
        return 0;
    }

public:
    static std::vector<uint8_t> BuildConfig(const Controller &c)
    {
        size_t size = sizeof(ConfigHeader) + c.arrays.size() * CONFIG_ARRAY_SIZE + c.lds.size() * CONFIG_LD_SIZE;
        std::vector<uint8_t> cfg(size, 0);
        LayoutPutU32(cfg.data(), 0, (uint32_t)size);
        LayoutPutU16(cfg.data(), 4, (uint16_t)c.arrays.size());
        LayoutPutU16(cfg.data(), 6, CONFIG_ARRAY_SIZE);
        LayoutPutU16(cfg.data(), 8, (uint16_t)c.lds.size());
        LayoutPutU16(cfg.data(), 10, CONFIG_LD_SIZE);
        for (size_t i = 0; i < c.arrays.size(); i++) {
            uint8_t *a = cfg.data() + 32 + i * CONFIG_ARRAY_SIZE;
            a[8] = (uint8_t)c.arrays[i].arms.size();
            LayoutPutU16(a, 10, c.arrays[i].ref);
            for (size_t j = 0; j < c.arrays[i].arms.size(); j++)
                LayoutPutU16(a, 32 + 8 * j, c.arrays[i].arms[j]);
        }
        // LDs in reverse order, so the sorting of the layer shows.
        for (size_t i = 0; i < c.lds.size(); i++)
            FillLdEntry(cfg.data() + 32 + c.arrays.size() * CONFIG_ARRAY_SIZE + i * CONFIG_LD_SIZE,
                        c.lds[c.lds.size() - 1 - i]);
        return cfg;
    }

private:
    uint32_t Config(Controller &c, LibCmdPacket *p, uint8_t *data)
    {
        if (p->cmd == SLCMD_CFG_READ) {
            std::vector<uint8_t> cfg = BuildConfig(c);
            std::memcpy(data, cfg.data(), std::min<size_t>(cfg.size(), p->dataSize));
        } else if (p->cmd == SLCMD_CFG_ARRAY_INFO) {
            for (const Array &a : c.arrays)
                if (a.ref == p->ref2) {
                    data[AI_DRIVE_COUNT] = (uint8_t)a.arms.size();
                    LayoutPutU16(data, AI_ARRAY_REF, a.ref);
                    for (size_t j = 0; j < a.arms.size(); j++)
                        LayoutPutU16(data, AI_ARMS + 8 * j, a.arms[j]);
                    uint32_t n = 0;
                    for (const Ld &ld : c.lds)
                        for (uint16_t ref : ld.spans)
                            if (ref == a.ref)
                                data[AI_LDS + AI_LD_ENTRY_SIZE * n++] = ld.target;
                    LayoutPutU32(data, AI_LD_COUNT, n);
                    return 0;
                }
            return 0x9;
        }
        return 0;
    }

    uint32_t Dcmd(Controller &c, DcmdFrame *frame)
    {
        uint8_t *fdata = reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(frame->dataPtr));
        switch (frame->opcode) {
        case DCMD_GET_MFC_DEFAULTS:
            std::memcpy(fdata, c.mfcDefaults.data(), MFC_DEFAULTS_SIZE);
            break;
        case DCMD_GET_TIME:
            LayoutPutU32(fdata, 0, 12345678);
            break;
        case DCMD_SNAPSHOT_INFO:
            std::memcpy(fdata, c.snapshotInfo.data(), std::min<size_t>(c.snapshotInfo.size(), frame->dataSize));
            break;
        default:
            break;
        }
        return 0;
    }

    uint32_t Scsi(Controller &c, uint8_t *data)
    {
        ScsiPassThru *block = reinterpret_cast<ScsiPassThru *>(data);
        const std::vector<uint8_t> &page = (block->cdb[2] & 0x3F) == 0 ? c.logPage0 : c.logPage0D;
        std::memcpy(block->data, page.data(), std::min<size_t>(page.size(), 32));
        return 0;
    }
};

// The trace of a test goes to a file of its own, read back as text.
class TraceCapture {
public:
    TraceCapture()
    {
        char dir[MAX_PATH] = {};
        GetTempPathA(sizeof(dir), dir);
        path_ = std::string(dir) + "zav_sl_trace_" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(path_.c_str());
        initLog(path_.c_str(), 2000000);
    }
    ~TraceCapture()
    {
        finContData();
        DeleteFileA(path_.c_str());
    }
    std::string Text() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // The 199-character records (without padding) that contain the given text.
    std::vector<std::string> LinesWith(const std::string &needle) const
    {
        std::vector<std::string> out;
        std::istringstream in(Text());
        std::string line;
        while (std::getline(in, line))
            if (line.find(needle) != std::string::npos)
                out.push_back(line.substr(0, line.find_last_not_of(" \r") + 1));
        return out;
    }

private:
    std::string path_;
};

// Base fixture: the layer bound to a fake library with the given controllers.
class FakeLibTest : public ::testing::Test {
protected:
    FakeLibrary lib;
    TraceCapture trace;

    void SetUp() override { FakeLibrary::Current() = &lib; }
    void TearDown() override
    {
        SLSetEntryForTest(nullptr, nullptr);
        FakeLibrary::Current() = nullptr;
    }
    void Bind()
    {
        ControllerIdList list = lib.List();
        SLSetEntryForTest(&FakeLibrary::Entry, &list);
    }
};

} // namespace slfake

#endif
