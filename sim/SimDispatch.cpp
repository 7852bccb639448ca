// Packet processing of the simulator: fault rules first, then the library commands, then the
// controller commands routed by type, with the caller's buffer filled or read; and the journal
// line that records each packet.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "SimCore.h"

namespace sim {

struct CmdName {
    int type;
    int cmd;
    const char *name;
};

static const CmdName kNames[] = {
    {0, SLCMD_LIB_INIT, "InitializeLibrary"},     {0, SLCMD_LIB_VERSION, "SLGetLibraryVersion"},
    {0, SLCMD_LIB_EXIT, "UnInitializeLibrary"},   {1, SLCMD_CTRL_INFO, "SLGetCtrlInfo"},
    {1, SLCMD_CTRL_GET_PROP, "SLGetCtrlProp"},    {1, SLCMD_CTRL_SET_PROP, "SLSetCtrlProp"},
    {1, SLCMD_CTRL_PD_LIST, "SLGetPDList"},       {1, SLCMD_CTRL_ENCL_LIST, "SLGetEnclList"},
    {1, SLCMD_CTRL_PCI_INFO, "SLGetPciInfo"},     {1, SLCMD_CTRL_OS_DRIVE_NAME, "SLGetOSDriveName"},
    {1, SLCMD_CTRL_LD_LIST, "SLGetLDList"},       {1, SLCMD_CTRL_GET_PR_PROP, "SLGetPatrolReadProp"},
    {1, SLCMD_CTRL_SET_PR_PROP, "SLSetPatrolReadProp"}, {1, SLCMD_CTRL_START_PR, "SLStartPatrolReadOpe"},
    {1, SLCMD_CTRL_STOP_PR, "SLStopPatrolReadOpe"}, {1, SLCMD_CTRL_DRV_VER, "SLGetDrvVer"},
    {2, SLCMD_PD_INFO, "SLGetPDInfo"},            {2, SLCMD_PD_MAKE_ONLINE, "SLMakeDriveOnline"},
    {2, SLCMD_PD_MAKE_OFFLINE, "SLMakeDriveOffline"}, {2, SLCMD_PD_START_REBUILD, "SLStartRebuild"},
    {2, SLCMD_PD_STOP_REBUILD, "SLStopRebuild"},  {2, SLCMD_PD_PROGRESS, "SLGetPdProggress"},
    {2, SLCMD_PD_START_LOCATE, "SLStartLocatePD"}, {2, SLCMD_PD_STOP_LOCATE, "SLStopLocatePD"},
    {2, SLCMD_PD_MAKE_GHS, "SLMakeGlobalHotspare"}, {2, SLCMD_PD_MAKE_DHS, "SLMakeDedicatedHotspare"},
    {2, SLCMD_PD_REMOVE_HS, "SLRemoveHotspare"},  {2, SLCMD_PD_MAKE_UNCONF_GOOD, "SLMakeDriveUnconfGood"},
    {2, SLCMD_PD_ALLOWED_OPS, "SLGetPDAllowedOperation"}, {3, SLCMD_LD_INFO, "SLGetLDInfo"},
    {3, SLCMD_LD_GET_PROP, "SLGetLDProperties"},  {3, SLCMD_LD_SET_PROP, "SLSetLDProperties"},
    {3, SLCMD_LD_DELETE, "SLDeleteLD"},           {3, SLCMD_LD_START_CC, "SLStartCheckConsistency"},
    {3, SLCMD_LD_CANCEL_CC, "SLCancelCheckConsistency"}, {3, SLCMD_LD_PROGRESS, "SLGetLdProggress"},
    {3, SLCMD_LD_START_INIT, "SLStartInitialization"}, {3, SLCMD_LD_CANCEL_INIT, "SLCancelInitialization"},
    {3, SLCMD_LD_PD_IN_LD, "SLGetPDInLD"},        {3, SLCMD_LD_ALLOWED_OPS, "SLGetLDAllowedOperation"},
    {4, SLCMD_CFG_READ, "SLReadConfig"},          {4, SLCMD_CFG_CREATE_LD, "SLCreateLD"},
    {4, SLCMD_CFG_ADD_LD_TO_RG, "SLAddLDToRG"},   {4, SLCMD_CFG_CREATE_CACHECADE, "SLCreateCacheCadeLD"},
    {4, SLCMD_CFG_FOREIGN_SCAN, "SLScanForForeignConfig"}, {4, SLCMD_CFG_FOREIGN_SIZE, "SLGetForeignConfigSize"},
    {4, SLCMD_CFG_FOREIGN_PREVIEW, "SLReadConfigAfterImport"}, {4, SLCMD_CFG_FOREIGN_IMPORT, "SLImportForeignConfig"},
    {4, SLCMD_CFG_ARRAY_INFO, "SLGetArrayInfo"},  {4, SLCMD_CFG_FOREIGN_CLEAR, "SLClearForeignConfig"},
    {5, SLCMD_CB_STATUS, "SLGetCacheBkupStatus"}, {5, SLCMD_CB_DESIGN, "SLGetCacheBkupDesignInfo"},
    {5, SLCMD_CB_LEARN, "SLLearnCacheBkup"},      {5, SLCMD_CB_PROP, "SLGetCacheBkupProperties"},
    {6, SLCMD_PT_SCSI, "SCSISENSEPassthru"},      {6, SLCMD_PT_DCMD, "SendDCMD"},
    {8, SLCMD_ENCL_CONFIG, "SLGetEnclConfig"},    {8, SLCMD_ENCL_STATUS, "SLGetEnclStatus"},
    {8, SLCMD_ENCL_SAS_CONNECTOR, "SLGetSASConnector"},
};

std::string CommandName(int type, int cmd, uint32_t opcode)
{
    (void)opcode;
    for (const CmdName &n : kNames)
        if (n.type == type && n.cmd == cmd)
            return n.name;
    return "?";
}

static const DcmdFrame *FrameOf(const LibCmdPacket &p)
{
    if (p.cmdType != LIBCMD_TYPE_PASSTHRU || p.cmd != SLCMD_PT_DCMD || p.dataPtr == 0 || p.dataSize < sizeof(DcmdFrame))
        return nullptr;
    return (const DcmdFrame *)(uintptr_t)p.dataPtr;
}

std::string JournalLine(const LibCmdPacket &p, const PacketResult &r)
{
    char buf[256];
    std::string line = CommandName(p.cmdType, p.cmd, 0);
    std::snprintf(buf, sizeof(buf), " type=%u cmd=%u ctrl=0x%06X ref1=0x%04X ref2=0x%04X param=0x%02X size=%u",
                  p.cmdType, p.cmd, (unsigned)(p.ctrlId & 0xFFFFFFu), p.ref1, p.ref2, p.param[0],
                  (unsigned)p.dataSize);
    line += buf;
    if (const DcmdFrame *f = FrameOf(p)) {
        std::snprintf(buf, sizeof(buf), " opcode=0x%08X dir=%u dsize=%u mbox=%02X%02X%02X%02X", (unsigned)f->opcode,
                      f->direction, (unsigned)f->dataSize, f->mailbox[0], f->mailbox[1], f->mailbox[2],
                      f->mailbox[3]);
        line += buf;
    }
    std::snprintf(buf, sizeof(buf), " status=0x%X%s", (unsigned)r.status, r.faulted ? " fault" : "");
    line += buf;
    return line;
}

static bool RuleMatches(State &s, const FaultRule &f, const LibCmdPacket &p)
{
    if (f.type != p.cmdType || f.cmd != p.cmd)
        return false;
    if (f.ref1 >= 0 && f.ref1 != p.ref1)
        return false;
    if (f.ref2 >= 0 && f.ref2 != p.ref2)
        return false;
    if (f.ld >= 0 && f.ld != (p.ref2 & 0xFF)) {
        const DcmdFrame *frame = FrameOf(p);
        if (!frame || frame->mailbox[0] != f.ld)
            return false;
    }
    if (f.opcode >= 0) {
        const DcmdFrame *frame = FrameOf(p);
        if (!frame || frame->opcode != (uint32_t)f.opcode)
            return false;
    }
    if (f.ctrl >= 0 || f.slot >= 0) {
        Controller *c = FindCtrl(s, p.ctrlId);
        if (f.ctrl >= 0 && c != CtrlByNumber(s, f.ctrl))
            return false;
        if (f.slot >= 0) {
            bool hit = false;
            for (Controller *cc : CtrlsInIdOrder(s)) {
                if (c && cc != c)
                    continue;
                Pd *pd = FindPdBySlot(*cc, f.slot);
                hit = hit || (pd && pd->devId == p.ref1);
            }
            if (!hit)
                return false;
        }
    }
    return true;
}

// Applies the first matching fault rule; true when the packet is answered by it.
static bool ApplyFault(State &s, const LibCmdPacket &p, PacketResult &r)
{
    for (size_t i = 0; i < s.faults.size(); ++i) {
        FaultRule &f = s.faults[i];
        if (!RuleMatches(s, f, p))
            continue;
        r.status = f.status;
        r.faulted = true;
        if (f.count > 0) {
            if (--f.count == 0)
                s.faults.erase(s.faults.begin() + (long)i);
            r.changed = true;
        }
        return true;
    }
    return false;
}

static uint32_t FillCaller(const Bytes &out, LibCmdPacket &p, bool variableSize)
{
    if (p.dataPtr == 0)
        return ST_NULL_PTR;
    if (!variableSize && p.dataSize < out.size())
        return ST_SIZE;
    uint8_t *dst = (uint8_t *)(uintptr_t)p.dataPtr;
    std::memset(dst, 0, p.dataSize);
    std::memcpy(dst, out.data(), out.size() < p.dataSize ? out.size() : p.dataSize);
    return ST_OK;
}

static uint32_t LibraryCommand(State &s, LibCmdPacket &p, bool &initialized)
{
    switch (p.cmd) {
    case SLCMD_LIB_INIT: {
        if (p.dataPtr == 0)
            return ST_NULL_PTR;
        if (p.dataSize < sizeof(ControllerIdList))
            return ST_SIZE;
        ControllerIdList list;
        std::memset(&list, 0, sizeof(list));
        size_t n = s.ctrls.size() < MAX_CONTROLLERS ? s.ctrls.size() : (size_t)MAX_CONTROLLERS;
        list.count = (uint16_t)n;
        list.flags = (uint8_t)s.listFlags;
        for (size_t i = 0; i < n; ++i)
            list.ids[i] = s.ctrls[i].id & 0xFFFFFF;
        std::memcpy((void *)(uintptr_t)p.dataPtr, &list, sizeof(list));
        initialized = true;
        return ST_OK;
    }
    case SLCMD_LIB_VERSION: {
        Bytes b(LIB_VERSION_SIZE, ' ');
        std::memcpy(b.data() + LV_MINOR, s.libMinor.data(), std::min<size_t>(s.libMinor.size(), LV_MINOR_LEN));
        std::memcpy(b.data() + LV_MAJOR, s.libMajor.data(), std::min<size_t>(s.libMajor.size(), LV_MAJOR_LEN));
        return FillCaller(b, p, false);
    }
    case SLCMD_LIB_EXIT:
        initialized = false;
        return ST_OK;
    default:
        return ST_BAD_CMD;
    }
}

static bool IsQuery(int type, int cmd)
{
    switch (type) {
    case LIBCMD_TYPE_CONTROLLER:
        return cmd != SLCMD_CTRL_SET_PROP && cmd != SLCMD_CTRL_SET_PR_PROP && cmd != SLCMD_CTRL_START_PR &&
               cmd != SLCMD_CTRL_STOP_PR;
    case LIBCMD_TYPE_PD:
        return cmd == SLCMD_PD_INFO || cmd == SLCMD_PD_PROGRESS || cmd == SLCMD_PD_ALLOWED_OPS;
    case LIBCMD_TYPE_LD:
        return cmd == SLCMD_LD_INFO || cmd == SLCMD_LD_GET_PROP || cmd == SLCMD_LD_PROGRESS ||
               cmd == SLCMD_LD_PD_IN_LD || cmd == SLCMD_LD_ALLOWED_OPS;
    case LIBCMD_TYPE_CONFIG:
        return cmd == SLCMD_CFG_READ || cmd == SLCMD_CFG_ARRAY_INFO;
    case LIBCMD_TYPE_CACHEBKUP:
        return cmd != SLCMD_CB_LEARN;
    case LIBCMD_TYPE_ENCLOSURE:
        return true;
    default:
        return false;
    }
}

bool PacketOnlyReads(const LibCmdPacket &p)
{
    if (p.cmdType == LIBCMD_TYPE_LIBRARY)
        return true;
    if (p.cmdType == LIBCMD_TYPE_PASSTHRU)
        return p.cmd == SLCMD_PT_SCSI;
    return IsQuery(p.cmdType, p.cmd);
}

static uint32_t ControllerCommand(State &s, Controller &c, LibCmdPacket &p, bool &changed)
{
    uint8_t *buf = (uint8_t *)(uintptr_t)p.dataPtr;
    Bytes out;
    if (IsQuery(p.cmdType, p.cmd)) {
        uint32_t st = ST_BAD_TYPE;
        switch (p.cmdType) {
        case LIBCMD_TYPE_CONTROLLER: st = QueryCtrl(s, c, p, out); break;
        case LIBCMD_TYPE_PD: st = QueryPd(s, c, p, out); break;
        case LIBCMD_TYPE_LD: st = QueryLd(s, c, p, out); break;
        case LIBCMD_TYPE_CONFIG: st = QueryConfig(s, c, p, out); break;
        case LIBCMD_TYPE_CACHEBKUP: st = QueryCacheBackup(s, c, p, out); break;
        case LIBCMD_TYPE_ENCLOSURE: st = QueryEnclosure(s, c, p, out); break;
        }
        if (st != ST_OK)
            return st;
        bool variable = p.cmdType == LIBCMD_TYPE_CONFIG && p.cmd == SLCMD_CFG_READ;
        return FillCaller(out, p, variable);
    }
    switch (p.cmdType) {
    case LIBCMD_TYPE_CONTROLLER: return ActionCtrl(s, c, p, buf, p.dataSize, changed);
    case LIBCMD_TYPE_PD: return ActionPd(s, c, p, buf, p.dataSize, changed);
    case LIBCMD_TYPE_LD: return ActionLd(s, c, p, buf, p.dataSize, changed);
    case LIBCMD_TYPE_CACHEBKUP: return ActionCacheBackup(s, c, p, changed);
    case LIBCMD_TYPE_CONFIG: {
        uint32_t st = ActionConfig(s, c, p, buf, p.dataSize, changed, out);
        if (st == ST_OK && !out.empty()) {
            bool variable = p.cmd == SLCMD_CFG_FOREIGN_PREVIEW;
            return FillCaller(out, p, variable);
        }
        return st;
    }
    case LIBCMD_TYPE_PASSTHRU:
        if (p.cmd == SLCMD_PT_SCSI) {
            if (!buf)
                return ST_NULL_PTR;
            if (p.dataSize < sizeof(ScsiPassThru))
                return ST_SIZE;
            ScsiPassThru blk;
            std::memcpy(&blk, buf, sizeof(blk));
            uint32_t st = ScsiPassThrough(c, blk);
            std::memcpy(buf, &blk, sizeof(blk));
            return st;
        }
        if (p.cmd == SLCMD_PT_DCMD) {
            if (!buf)
                return ST_NULL_PTR;
            if (p.dataSize < sizeof(DcmdFrame))
                return ST_SIZE;
            DcmdFrame *f = (DcmdFrame *)buf;
            return Dcmd(s, c, *f, changed);
        }
        return ST_BAD_CMD;
    default:
        return ST_BAD_TYPE;
    }
}

PacketResult ProcessPacket(State &s, LibCmdPacket &p, bool &initialized)
{
    PacketResult r;
    if (ApplyFault(s, p, r))
        return r;
    if (p.cmdType == LIBCMD_TYPE_LIBRARY) {
        r.status = LibraryCommand(s, p, initialized);
        return r;
    }
    if (!initialized) {
        r.status = ST_NOT_INITIALIZED;
        return r;
    }
    if (p.cmdType > LIBCMD_TYPE_ENCLOSURE || p.cmdType == 7) {
        r.status = ST_BAD_TYPE;
        return r;
    }
    Controller *c = FindCtrl(s, p.ctrlId);
    if (!c) {
        r.status = ST_BAD_CTRL;
        return r;
    }
    r.status = ControllerCommand(s, *c, p, r.changed);
    return r;
}

} // namespace sim
