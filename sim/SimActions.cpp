// Changing commands of the simulator for the controller, its drives, its LDs and its cache-backup
// unit: each checks what a controller checks (device, sequence number, state) and refuses with
// the firmware's status code, or changes the state.
#include <algorithm>
#include <cstring>

#include "SimCore.h"

namespace sim {

static std::string TextAt(const uint8_t *p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n])
        ++n;
    return std::string((const char *)p, n);
}

// ---------------------------------------------------------------------------------------------
// Controller
// ---------------------------------------------------------------------------------------------
static uint32_t SetCtrlProps(Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size)
{
    if (!in)
        return ST_NULL_PTR;
    if (size < CTRL_PROP_SIZE)
        return ST_SIZE;
    if (p.ref1 != c.props.seq || LayoutU16(in, CP_SEQ_NUM) != c.props.seq)
        return ST_SEQ_MISMATCH;
    for (int off = CP_REBUILD_RATE; off <= CP_RECON_RATE; ++off)
        if (in[off] > 100)
            return ST_INVALID_INPUT;
    if (in[CP_ALARM_ENABLE] > 1 || in[CP_AUTO_REBUILD_DISABLED] > 1)
        return ST_INVALID_INPUT;
    CtrlProps &cp = c.props;
    cp.rebuildRate = in[CP_REBUILD_RATE];
    cp.patrolRate = in[CP_PATROL_READ_RATE];
    cp.bgiRate = in[CP_BGI_RATE];
    cp.ccRate = in[CP_CC_RATE];
    cp.reconRate = in[CP_RECON_RATE];
    cp.flushInterval = in[CP_CACHE_FLUSH_INTERVAL];
    cp.alarmEnable = in[CP_ALARM_ENABLE];
    cp.autoRebuildDisabled = in[CP_AUTO_REBUILD_DISABLED];
    cp.onOffBits = LayoutU32(in, CP_ON_OFF_BITS);
    cp.seq = (cp.seq % 0xFFFE) + 1;
    return ST_OK;
}

static uint32_t SetPatrolProps(Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size)
{
    if (!in)
        return ST_NULL_PTR;
    if (size < PATROL_READ_PROP_SIZE)
        return ST_SIZE;
    if (p.ref1 != c.props.seq)
        return ST_SEQ_MISMATCH;
    int mode = in[PR_MODE];
    uint32_t interval = LayoutU32(in, PR_INTERVAL);
    if (mode > PR_MODE_DISABLED || in[PR_EXCLUDED_COUNT] > PR_EXCLUDED_MAX)
        return ST_INVALID_INPUT;
    if (mode == PR_MODE_AUTO && interval == 0)
        return ST_INVALID_INPUT;
    PatrolRead &pr = c.patrol;
    pr.mode = mode;
    pr.maxConcurrent = in[PR_MAX_CONCURRENT];
    pr.excluded.clear();
    for (int i = 0; i < in[PR_EXCLUDED_COUNT]; ++i)
        pr.excluded.push_back(in[PR_EXCLUDED + i]);
    pr.nextExec = LayoutU32(in, PR_NEXT_EXEC);
    pr.interval = interval;
    c.props.seq = (c.props.seq % 0xFFFE) + 1;
    return ST_OK;
}

static uint32_t StartPatrolRead(Controller &c)
{
    if (c.patrol.mode == PR_MODE_DISABLED)
        return ST_PR_DISABLED;
    if (c.patrol.run.active)
        return ST_ALREADY;
    bool any = false;
    for (const Pd &pd : c.pds)
        any = any || (pd.scsiType == 0 && (pd.state == PD_STATE_ONLINE || pd.state == PD_STATE_HOT_SPARE));
    if (!any)
        return ST_NO_PD_FOR_PR;
    StartPatrol(c);
    return ST_OK;
}

static uint32_t StopPatrolRead(Controller &c)
{
    if (!c.patrol.run.active)
        return ST_WRONG_STATE;
    c.patrol.run = Op();
    for (Pd &pd : c.pds)
        pd.patrol = Op();
    return ST_OK;
}

uint32_t ActionCtrl(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed)
{
    (void)s;
    uint32_t st = ST_BAD_CMD;
    switch (p.cmd) {
    case SLCMD_CTRL_SET_PROP: st = SetCtrlProps(c, p, in, size); break;
    case SLCMD_CTRL_SET_PR_PROP: st = SetPatrolProps(c, p, in, size); break;
    case SLCMD_CTRL_START_PR: st = StartPatrolRead(c); break;
    case SLCMD_CTRL_STOP_PR: st = StopPatrolRead(c); break;
    }
    changed = changed || st == ST_OK;
    return st;
}

// ---------------------------------------------------------------------------------------------
// PDs
// ---------------------------------------------------------------------------------------------
static bool CarriesPdSequence(int cmd)
{
    switch (cmd) {
    case SLCMD_PD_MAKE_ONLINE:
    case SLCMD_PD_MAKE_OFFLINE:
    case SLCMD_PD_START_REBUILD:
    case SLCMD_PD_STOP_REBUILD:
    case SLCMD_PD_MAKE_GHS:
    case SLCMD_PD_MAKE_DHS:
    case SLCMD_PD_REMOVE_HS:
    case SLCMD_PD_MAKE_UNCONF_GOOD:
        return true;
    default:
        return false;
    }
}

static uint32_t MakeOnline(Controller &c, Pd &pd)
{
    if ((pd.state != PD_STATE_OFFLINE && pd.state != PD_STATE_FAILED) || !ArrayOfPd(c, pd.devId))
        return ST_WRONG_STATE;
    pd.state = PD_STATE_ONLINE;
    pd.rebuild = Op();
    return ST_OK;
}

static uint32_t MakeOffline(Controller &c, Pd &pd)
{
    if ((pd.state != PD_STATE_ONLINE && pd.state != PD_STATE_REBUILD) || !ArrayOfPd(c, pd.devId))
        return ST_WRONG_STATE;
    pd.state = PD_STATE_OFFLINE;
    pd.rebuild = Op();
    pd.patrol = Op();
    if (pd.copybackPartner != DEV_NONE) {
        Pd *target = FindPdByDev(c, pd.copybackPartner);
        if (target) {
            target->state = PD_STATE_UNCONF_GOOD;
            target->copyback = Op();
        }
        pd.copybackPartner = DEV_NONE;
    }
    return ST_OK;
}

static uint32_t MakeUnconfGood(Controller &c, Pd &pd)
{
    if (pd.state == PD_STATE_UNCONF_GOOD)
        return pd.foreign ? ST_WRONG_STATE : ST_OK;
    if (ArrayOfPd(c, pd.devId))
        return ST_WRONG_STATE;
    if (pd.state != PD_STATE_UNCONF_BAD && pd.state != PD_STATE_OFFLINE && pd.state != PD_STATE_FAILED)
        return ST_WRONG_STATE;
    pd.state = PD_STATE_UNCONF_GOOD;
    return ST_OK;
}

static uint32_t StartRebuild(Controller &c, Pd &pd)
{
    Array *a = ArrayOfPd(c, pd.devId);
    if (!a || (pd.state != PD_STATE_OFFLINE && pd.state != PD_STATE_FAILED))
        return pd.state == PD_STATE_REBUILD ? ST_ALREADY : ST_WRONG_STATE;
    std::vector<Ld *> lds = LdsOnArray(c, a->ref);
    if (lds.empty() || lds[0]->primaryRaid == 0)
        return ST_RAID_LEVEL;
    pd.state = PD_STATE_REBUILD;
    pd.rebuild = Op();
    pd.rebuild.active = true;
    return ST_OK;
}

static uint32_t StopRebuild(Pd &pd)
{
    if (pd.state != PD_STATE_REBUILD)
        return ST_WRONG_STATE;
    pd.state = PD_STATE_OFFLINE;
    pd.rebuild = Op();
    return ST_OK;
}

static uint32_t CheckCanBecomeSpare(Controller &c, const Pd &pd)
{
    if (pd.state != PD_STATE_UNCONF_GOOD || pd.foreign)
        return ST_WRONG_STATE;
    if (SpareCount(c) >= c.maxSpares)
        return ST_TOO_MANY_SPARES;
    return ST_OK;
}

static uint32_t MakeGlobalSpare(Controller &c, Pd &pd)
{
    uint32_t st = CheckCanBecomeSpare(c, pd);
    if (st != ST_OK)
        return st;
    pd.state = PD_STATE_HOT_SPARE;
    pd.spare = SPARE_GLOBAL;
    pd.spareArrays.clear();
    return ST_OK;
}

static uint32_t MakeDedicatedSpare(Controller &c, Pd &pd, const uint8_t *in, uint32_t size)
{
    if (!in)
        return ST_NULL_PTR;
    if (size < sizeof(DedicatedSpareRequest))
        return ST_SIZE;
    DedicatedSpareRequest req;
    std::memcpy(&req, in, sizeof(req));
    if (req.count == 0)
        return ST_INVALID_INPUT;
    if (req.count > 16)
        return ST_TOO_MANY_SPARES;
    uint32_t st = CheckCanBecomeSpare(c, pd);
    if (st != ST_OK)
        return st;
    std::vector<int> refs;
    for (int i = 0; i < req.count; ++i) {
        Array *a = FindArray(c, req.arrayRefs[i]);
        if (!a)
            return ST_ARRAY_INDEX;
        if (pd.coercedBlocks < a->size)
            return ST_TOO_SMALL;
        for (int d : a->arms) {
            Pd *member = FindPdByDev(c, d);
            if (member && member->iface != pd.iface)
                return ST_SAS_SATA;
        }
        refs.push_back(a->ref);
    }
    pd.state = PD_STATE_HOT_SPARE;
    pd.spare = SPARE_DEDICATED;
    pd.spareArrays = refs;
    return ST_OK;
}

static uint32_t RemoveSpare(Pd &pd)
{
    if (pd.state != PD_STATE_HOT_SPARE)
        return ST_WRONG_STATE;
    pd.state = PD_STATE_UNCONF_GOOD;
    pd.spare = SPARE_NONE;
    pd.spareArrays.clear();
    return ST_OK;
}

uint32_t ActionPd(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed)
{
    Pd *pd = FindPdByDev(c, p.ref1);
    if (!pd || pd->scsiType != 0)
        return ST_DEVICE;
    if (CarriesPdSequence(p.cmd) && p.ref2 != pd->seq)
        return ST_INVALID_SEQ;
    uint32_t st = ST_BAD_CMD;
    switch (p.cmd) {
    case SLCMD_PD_MAKE_ONLINE: st = MakeOnline(c, *pd); break;
    case SLCMD_PD_MAKE_OFFLINE: st = MakeOffline(c, *pd); break;
    case SLCMD_PD_START_REBUILD: st = StartRebuild(c, *pd); break;
    case SLCMD_PD_STOP_REBUILD: st = StopRebuild(*pd); break;
    case SLCMD_PD_START_LOCATE:
        pd->locate = true;
        changed = true;
        return ST_OK;
    case SLCMD_PD_STOP_LOCATE:
        pd->locate = false;
        changed = true;
        return ST_OK;
    case SLCMD_PD_MAKE_GHS: st = MakeGlobalSpare(c, *pd); break;
    case SLCMD_PD_MAKE_DHS: st = MakeDedicatedSpare(c, *pd, in, size); break;
    case SLCMD_PD_REMOVE_HS: st = RemoveSpare(*pd); break;
    case SLCMD_PD_MAKE_UNCONF_GOOD: st = MakeUnconfGood(c, *pd); break;
    }
    if (st == ST_OK) {
        MarkPdChanged(*pd);
        changed = true;
    }
    (void)s;
    return st;
}

// ---------------------------------------------------------------------------------------------
// LDs
// ---------------------------------------------------------------------------------------------
static uint32_t StartInit(Controller &c, Ld &ld)
{
    if (ld.init.active)
        return ST_ALREADY;
    if (ld.cc.active)
        return ST_WRONG_STATE;
    if (LdRebuildRunning(c, ld))
        return ST_REBUILD_RUNNING;
    if (ld.cachecade || ld.snap.enabled || ld.repository || LdState(c, ld) == LD_STATE_OFFLINE)
        return ST_WRONG_STATE;
    ld.init = Op();
    ld.init.active = true;
    ld.consistent = false;
    return ST_OK;
}

static uint32_t StartCc(Controller &c, Ld &ld)
{
    if (ld.primaryRaid == 0 || ld.cachecade)
        return ST_RAID_LEVEL;
    if (ld.cc.active)
        return ST_ALREADY;
    if (ld.init.active)
        return ST_INIT_RUNNING;
    if (LdRebuildRunning(c, ld))
        return ST_REBUILD_RUNNING;
    if (LdState(c, ld) != LD_STATE_OPTIMAL)
        return ST_LD_NOT_OPTIMAL;
    ld.cc = Op();
    ld.cc.active = true;
    return ST_OK;
}

static uint32_t SetLdProps(Controller &c, Ld &ld, const LibCmdPacket &p, const uint8_t *in, uint32_t size)
{
    if (!in)
        return ST_NULL_PTR;
    if (size < LD_PROP_SIZE)
        return ST_SIZE;
    if (p.ref1 != ld.seq || LayoutU16(in, LP_SEQ_NUM) != ld.seq || in[LP_TARGET_ID] != ld.target)
        return ST_SEQ_MISMATCH;
    int cache = in[LP_DEFAULT_CACHE];
    int access = in[LP_ACCESS_POLICY];
    int disk = in[LP_DISK_CACHE];
    if ((cache & ~0x75) != 0 || (access != 0 && access != 2 && access != 3) || disk > 2)
        return ST_INVALID_INPUT;
    if (ld.cachecade && cache != ld.cache && (cache & 0x60) != (ld.cache & 0x60))
        return ST_RAID_LEVEL;
    ld.cache = cache;
    ld.access = access;
    ld.diskCache = disk;
    ld.snapFlags = in[LP_SNAPSHOT_FLAGS] & (LP_SNAP_AUTO_SNAPSHOT | LP_SNAP_NO_AUTO_DELETE);
    ld.name = TextAt(in + LP_NAME, 15);
    // Cached IO ties an LD to the controller's CacheCade LDs.
    ld.ccAssoc.clear();
    if (!ld.cachecade && (cache & 0x60) == 0x60)
        for (const Ld &other : c.lds)
            if (other.cachecade)
                ld.ccAssoc.push_back(other.target);
    ld.seq = (ld.seq % 0xFFFE) + 1;
    return ST_OK;
}

uint32_t ActionLd(State &s, Controller &c, const LibCmdPacket &p, const uint8_t *in, uint32_t size, bool &changed)
{
    Ld *ld = FindLd(c, p.ref2 & 0xFF);
    if (!ld)
        return ST_DEVICE;
    if (p.cmd == SLCMD_LD_SET_PROP) {
        uint32_t st = SetLdProps(c, *ld, p, in, size);
        changed = changed || st == ST_OK;
        return st;
    }
    if (p.ref1 != ld->seq)
        return ST_INVALID_SEQ;
    uint32_t st = ST_BAD_CMD;
    switch (p.cmd) {
    case SLCMD_LD_DELETE: st = DeleteLd(c, ld->target); break;
    case SLCMD_LD_START_INIT: st = StartInit(c, *ld); break;
    case SLCMD_LD_CANCEL_INIT:
        st = ld->init.active ? ST_OK : ST_WRONG_STATE;
        if (st == ST_OK)
            ld->init = Op();
        break;
    case SLCMD_LD_START_CC: st = StartCc(c, *ld); break;
    case SLCMD_LD_CANCEL_CC:
        st = ld->cc.active ? ST_OK : ST_WRONG_STATE;
        if (st == ST_OK)
            ld->cc = Op();
        break;
    }
    changed = changed || st == ST_OK;
    (void)s;
    return st;
}

// ---------------------------------------------------------------------------------------------
// Cache-backup unit
// ---------------------------------------------------------------------------------------------
uint32_t ActionCacheBackup(State &s, Controller &c, const LibCmdPacket &p, bool &changed)
{
    (void)s;
    if (p.cmd != SLCMD_CB_LEARN)
        return ST_BAD_CMD;
    CacheBackup &cb = c.cacheBackup;
    if (!cb.present)
        return ST_HW_MISSING;
    if (cb.learn.active)
        return ST_ALREADY;
    cb.learn = Op();
    cb.learn.active = true;
    cb.learnFailed = false;
    changed = true;
    return ST_OK;
}

} // namespace sim
