// Configuration building of the simulator: new RAID groups and LDs from a creation request, LDs
// added to an existing group, LD deletion, and the foreign configurations (scan, preview, import,
// clear). Every request is checked whole before anything changes.
#include <algorithm>
#include <cstring>
#include <set>

#include "SimCore.h"

namespace sim {

static std::string SlotName(const LdSlot &slot)
{
    size_t n = 0;
    while (n < sizeof(slot.name) && slot.name[n])
        ++n;
    return std::string(slot.name, n);
}

static int PrimaryRaid(int code)
{
    switch (code) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 5;
    case 3: return 6;
    case 4: return 1;
    default: return -1;
    }
}

static uint32_t RaidMaskBit(int code)
{
    static const uint32_t bits[] = {CI_RAID_BIT_0, CI_RAID_BIT_1, CI_RAID_BIT_5, CI_RAID_BIT_6, CI_RAID_BIT_10};
    return code >= 0 && code <= 4 ? bits[code] : 0;
}

static bool PdCountFits(int code, int n, int maxPds)
{
    if (n < 1 || n > maxPds)
        return false;
    switch (code) {
    case 0: return n >= 1;
    case 1: return n >= 2;
    case 2: return n >= 3;
    case 3: return n >= 3;
    case 4: return n >= 4 && n % 2 == 0;
    default: return false;
    }
}

static uint32_t CheckPolicies(const Controller &c, const RgEntry &g)
{
    if (g.stripeSize < c.stripeMin || g.stripeSize > c.stripeMax)
        return ST_INVALID_INPUT;
    if ((g.cachePolicy & ~0x75) != 0)
        return ST_INVALID_INPUT;
    if (g.accessPolicy != 0 && g.accessPolicy != 2 && g.accessPolicy != 3)
        return ST_INVALID_INPUT;
    if (g.diskCachePolicy > 2)
        return ST_INVALID_INPUT;
    return ST_OK;
}

// Checks the LD slots of one group: numbers free, unique and below the maximum, sizes given.
static uint32_t CheckLdSlots(Controller &c, const RgEntry &g, std::vector<int> &targets)
{
    if (g.ldCount < 1 || g.ldCount > RG_LD_MAX)
        return ST_INVALID_INPUT;
    for (int i = 0; i < g.ldCount; ++i) {
        const LdSlot &slot = g.lds[i];
        if (slot.ldNo >= c.maxLds || slot.ldNo >= MAX_LDS)
            return ST_MAX_LDS;
        if (FindLd(c, slot.ldNo) || std::find(targets.begin(), targets.end(), slot.ldNo) != targets.end())
            return ST_CONFLICT;
        if (slot.size == 0)
            return ST_INVALID_INPUT;
        targets.push_back(slot.ldNo);
    }
    if ((int)(c.lds.size() + targets.size()) > c.maxLds)
        return ST_MAX_LDS;
    return ST_OK;
}

static Ld NewLd(const RgEntry &g, const LdSlot &slot, int code, bool cachecade)
{
    Ld ld;
    ld.target = slot.ldNo;
    ld.seq = 1;
    ld.name = SlotName(slot);
    ld.primaryRaid = PrimaryRaid(code);
    ld.stripe = g.stripeSize;
    ld.cache = g.cachePolicy;
    ld.access = g.accessPolicy;
    ld.diskCache = g.diskCachePolicy;
    ld.cachecade = cachecade;
    ld.initState = slot.init;
    if (slot.init == 2) {
        ld.init.active = true;
        ld.consistent = false;
    } else {
        ld.consistent = true;
    }
    return ld;
}

// Places the LDs of one group on its arrays one after the other from `start` (blocks per arm).
static uint32_t LayOut(const RgEntry &g, int code, int n, const std::vector<int> &arrayRefs, uint64_t start,
                       uint64_t limit, bool cachecade, std::vector<Ld> &out)
{
    int data = DataDrives(code, n);
    if (data < 1)
        return ST_INVALID_INPUT;
    uint64_t pos = start;
    for (int i = 0; i < g.ldCount; ++i) {
        uint64_t perArm = g.lds[i].size / (uint64_t)data;
        if (perArm == 0)
            return ST_INVALID_INPUT;
        if (pos + perArm > limit)
            return ST_TOO_SMALL;
        Ld ld = NewLd(g, g.lds[i], code, cachecade);
        ld.spanDepth = (int)arrayRefs.size();
        ld.drivesPerSpan = n / (int)arrayRefs.size();
        for (int ref : arrayRefs)
            ld.spans.push_back(Span{ref, pos, perArm});
        pos += perArm;
        out.push_back(ld);
    }
    return ST_OK;
}

uint32_t CreateLds(State &s, Controller &c, const LdCreateRequest &req, bool cachecade)
{
    (void)s;
    if (req.groupCount < 1 || req.groupCount > RG_MAX)
        return ST_INVALID_INPUT;
    if (cachecade && !c.cachecade)
        return ST_WRONG_STATE;
    if (req.ghsCount < 0 || req.ghsCount > REQ_GHS_MAX)
        return ST_INVALID_INPUT;
    std::set<int> usedSlots;
    std::vector<int> targets;
    std::vector<int> takenRefs;
    std::vector<Array> newArrays;
    std::vector<Ld> newLds;
    for (int gi = 0; gi < req.groupCount; ++gi) {
        const RgEntry &g = req.groups[gi];
        int code = g.raidLevel;
        if (code < 0 || code > 4)
            return ST_INVALID_INPUT;
        if (!(c.raidMask & RaidMaskBit(code)) || (cachecade && code != 0))
            return ST_RAID_LEVEL;
        if (!PdCountFits(code, g.pdCount, c.maxPdPerGroup))
            return ST_INVALID_INPUT;
        uint32_t st = CheckPolicies(c, g);
        if (st == ST_OK)
            st = CheckLdSlots(c, g, targets);
        if (st != ST_OK)
            return st;
        std::vector<Pd *> pds;
        for (int i = 0; i < g.pdCount; ++i) {
            Pd *pd = FindPdBySlot(c, g.pds[i]);
            if (!pd)
                return ST_DEVICE;
            if (!usedSlots.insert(pd->slot).second)
                return ST_CONFLICT;
            if (pd->state != PD_STATE_UNCONF_GOOD || pd->foreign)
                return ST_WRONG_STATE;
            if (cachecade && pd->media != 1)
                return ST_WRONG_STATE;
            if (!pds.empty() && pds[0]->iface != pd->iface)
                return ST_SAS_SATA;
            pds.push_back(pd);
        }
        uint64_t armSize = pds[0]->coercedBlocks;
        for (Pd *pd : pds)
            armSize = std::min(armSize, pd->coercedBlocks);
        // RAID10 pairs form one array each; every other level one array of all its drives.
        std::vector<std::vector<Pd *>> groups;
        if (code == 4) {
            for (size_t i = 0; i + 1 < pds.size(); i += 2)
                groups.push_back({pds[i], pds[i + 1]});
        } else {
            groups.push_back(pds);
        }
        std::vector<int> refs;
        for (const std::vector<Pd *> &members : groups) {
            int ref = FreeArrayRef(c, takenRefs);
            if (ref < 0)
                return ST_CONFLICT;
            takenRefs.push_back(ref);
            refs.push_back(ref);
            Array a;
            a.ref = ref;
            a.size = armSize;
            for (Pd *pd : members) {
                a.arms.push_back(pd->devId);
                a.homeSlots.push_back(pd->slot);
            }
            newArrays.push_back(a);
        }
        st = LayOut(g, code, g.pdCount, refs, 0, armSize, cachecade, newLds);
        if (st != ST_OK)
            return st;
    }
    std::vector<Pd *> spares;
    for (int i = 0; i < req.ghsCount; ++i) {
        Pd *pd = FindPdBySlot(c, req.ghs[i]);
        if (!pd)
            return ST_DEVICE;
        if (!usedSlots.insert(pd->slot).second)
            return ST_CONFLICT;
        if (pd->state != PD_STATE_UNCONF_GOOD || pd->foreign)
            return ST_WRONG_STATE;
        spares.push_back(pd);
    }
    if (SpareCount(c) + (int)spares.size() > c.maxSpares)
        return ST_TOO_MANY_SPARES;

    for (const Array &a : newArrays) {
        c.arrays.push_back(a);
        for (int d : a.arms) {
            Pd *pd = FindPdByDev(c, d);
            pd->state = PD_STATE_ONLINE;
            MarkPdChanged(*pd);
        }
    }
    for (Ld &ld : newLds) {
        if (!cachecade && c.cachecade)
            for (const Ld &other : c.lds)
                if (other.cachecade && (ld.cache & 0x60) == 0x60)
                    ld.ccAssoc.push_back(other.target);
        c.lds.push_back(ld);
    }
    for (Pd *pd : spares) {
        pd->state = PD_STATE_HOT_SPARE;
        pd->spare = SPARE_GLOBAL;
        MarkPdChanged(*pd);
    }
    return ST_OK;
}

// Free extents of an array set: the gaps between the LDs that use it (blocks per arm).
static bool ExtentIsFree(Controller &c, const std::vector<int> &refs, uint64_t start, uint64_t length)
{
    for (int ref : refs) {
        Array *a = FindArray(c, ref);
        if (!a || start + length > a->size)
            return false;
        for (Ld *ld : LdsOnArray(c, ref))
            for (const Span &sp : ld->spans)
                if (sp.arrayRef == ref && start < sp.start + sp.blocks && sp.start < start + length)
                    return false;
    }
    return true;
}

uint32_t AddLdsToArray(State &s, Controller &c, const AddLdToRgRequest &req)
{
    (void)s;
    Array *a = FindArray(c, req.arrayRef);
    if (!a)
        return ST_ARRAY_INDEX;
    std::vector<Ld *> existing = LdsOnArray(c, a->ref);
    if (existing.empty())
        return ST_ARRAY_INDEX;
    const Ld &first = *existing[0];
    const RgEntry &g = req.group;
    int code = LdRaidCode(first);
    if (g.raidLevel != code || first.cachecade)
        return ST_RAID_LEVEL;
    for (Ld *ld : existing)
        if (LdState(c, *ld) != LD_STATE_OPTIMAL)
            return ST_LD_NOT_OPTIMAL;
    uint32_t st = CheckPolicies(c, g);
    std::vector<int> targets;
    if (st == ST_OK)
        st = CheckLdSlots(c, g, targets);
    if (st != ST_OK)
        return st;
    std::vector<int> refs;
    for (const Span &sp : first.spans)
        refs.push_back(sp.arrayRef);
    int n = first.drivesPerSpan * first.spanDepth;
    std::vector<Ld> newLds;
    st = LayOut(g, code, n, refs, req.startBlock, a->size, false, newLds);
    if (st != ST_OK)
        return st;
    uint64_t total = 0;
    for (const Ld &ld : newLds)
        total += ld.spans[0].blocks;
    if (!ExtentIsFree(c, refs, req.startBlock, total))
        return ST_TOO_SMALL;
    for (Ld &ld : newLds)
        c.lds.push_back(ld);
    return ST_OK;
}

uint32_t DeleteLd(Controller &c, int target)
{
    Ld *ld = FindLd(c, target);
    if (!ld)
        return ST_DEVICE;
    if (ld->snap.enabled || ld->repository)
        return ST_WRONG_STATE;
    if (LdRebuildRunning(c, *ld))
        return ST_REBUILD_RUNNING;
    std::vector<int> refs;
    for (const Span &sp : ld->spans)
        refs.push_back(sp.arrayRef);
    bool wasCachecade = ld->cachecade;
    c.lds.erase(std::remove_if(c.lds.begin(), c.lds.end(), [target](const Ld &l) { return l.target == target; }),
                c.lds.end());
    for (int ref : refs)
        DropArrayIfUnused(c, ref);
    if (wasCachecade)
        for (Ld &other : c.lds)
            other.ccAssoc.erase(std::remove(other.ccAssoc.begin(), other.ccAssoc.end(), target), other.ccAssoc.end());
    return ST_OK;
}

// ---------------------------------------------------------------------------------------------
// Foreign configurations
// ---------------------------------------------------------------------------------------------
// The foreign configuration as it would be imported: arrays and LDs renumbered to free numbers.
static bool PlanImport(Controller &c, const Foreign &f, std::vector<int> &takenRefs, std::vector<int> &takenTargets,
                       std::vector<Array> &arrays, std::vector<Ld> &lds)
{
    std::vector<std::pair<int, int>> refMap;
    for (const Array &a : f.arrays) {
        int ref = FreeArrayRef(c, takenRefs);
        if (ref < 0)
            return false;
        takenRefs.push_back(ref);
        refMap.push_back({a.ref, ref});
        Array copy = a;
        copy.ref = ref;
        arrays.push_back(copy);
    }
    for (const Ld &l : f.lds) {
        int t = l.target;
        if (FindLd(c, t) || std::find(takenTargets.begin(), takenTargets.end(), t) != takenTargets.end())
            t = FreeTarget(c, takenTargets);
        if (t < 0 || t >= c.maxLds)
            return false;
        takenTargets.push_back(t);
        Ld copy = l;
        copy.target = t;
        for (Span &sp : copy.spans)
            for (const auto &m : refMap)
                if (m.first == sp.arrayRef) {
                    sp.arrayRef = m.second;
                    break;
                }
        lds.push_back(copy);
    }
    return true;
}

static uint32_t ImportForeign(Controller &c, size_t index)
{
    Foreign &f = c.foreign[index];
    std::vector<int> refs, targets;
    std::vector<Array> arrays;
    std::vector<Ld> lds;
    if (c.lds.size() + f.lds.size() > (size_t)c.maxLds)
        return ST_MAX_LDS;
    if (!PlanImport(c, f, refs, targets, arrays, lds))
        return ST_MAX_LDS;
    for (int d : f.pds) {
        Pd *pd = FindPdByDev(c, d);
        if (!pd)
            return 0x3B;   // a member of the foreign configuration is missing
    }
    for (int d : f.pds) {
        Pd *pd = FindPdByDev(c, d);
        pd->foreign = false;
        pd->state = PD_STATE_ONLINE;
        MarkPdChanged(*pd);
    }
    for (const Array &a : arrays)
        c.arrays.push_back(a);
    for (const Ld &l : lds)
        c.lds.push_back(l);
    c.foreign.erase(c.foreign.begin() + (long)index);
    return ST_OK;
}

static void ClearForeign(Controller &c, size_t index)
{
    for (int d : c.foreign[index].pds) {
        Pd *pd = FindPdByDev(c, d);
        if (pd) {
            pd->foreign = false;
            pd->state = PD_STATE_UNCONF_GOOD;
            MarkPdChanged(*pd);
        }
    }
    c.foreign.erase(c.foreign.begin() + (long)index);
}

static Bytes ForeignPreview(Controller &c, int index)
{
    std::vector<Array> arrays = c.arrays;
    std::vector<Ld> lds = c.lds;
    std::vector<int> refs, targets;
    for (size_t i = 0; i < c.foreign.size(); ++i) {
        if (index != FOREIGN_ALL && (int)i != index)
            continue;
        std::vector<Array> fa;
        std::vector<Ld> fl;
        PlanImport(c, c.foreign[i], refs, targets, fa, fl);
        arrays.insert(arrays.end(), fa.begin(), fa.end());
        lds.insert(lds.end(), fl.begin(), fl.end());
    }
    return BuildConfig(c, arrays, lds);
}

uint32_t ActionConfig(State &s, Controller &c, const LibCmdPacket &p, uint8_t *buf, uint32_t size, bool &changed,
                      Bytes &out)
{
    int index = p.param[0];
    bool all = index == FOREIGN_ALL;
    bool indexOk = all || index < (int)c.foreign.size();
    switch (p.cmd) {
    case SLCMD_CFG_CREATE_LD:
    case SLCMD_CFG_CREATE_CACHECADE: {
        if (!buf)
            return ST_NULL_PTR;
        if (size < sizeof(LdCreateRequest))
            return ST_SIZE;
        LdCreateRequest *req = new LdCreateRequest;
        std::memcpy(req, buf, sizeof(LdCreateRequest));
        uint32_t st = CreateLds(s, c, *req, p.cmd == SLCMD_CFG_CREATE_CACHECADE);
        delete req;
        changed = changed || st == ST_OK;
        return st;
    }
    case SLCMD_CFG_ADD_LD_TO_RG: {
        if (!buf)
            return ST_NULL_PTR;
        if (size < sizeof(AddLdToRgRequest))
            return ST_SIZE;
        AddLdToRgRequest req;
        std::memcpy(&req, buf, sizeof(req));
        if (req.arrayRef != p.ref2)
            return ST_INVALID_INPUT;
        uint32_t st = AddLdsToArray(s, c, req);
        changed = changed || st == ST_OK;
        return st;
    }
    case SLCMD_CFG_FOREIGN_SCAN: {
        out.assign(sizeof(ForeignScanResult), 0);
        ForeignScanResult r;
        std::memset(&r, 0, sizeof(r));
        r.count = (uint32_t)std::min<size_t>(c.foreign.size(), FOREIGN_MAX);
        for (uint32_t i = 0; i < r.count; ++i) {
            r.sizes[i] = (uint32_t)ForeignPreview(c, (int)i).size();
            r.ldCounts[i] = (uint8_t)c.foreign[i].lds.size();
            r.pdCounts[i] = (uint8_t)c.foreign[i].pds.size();
        }
        std::memcpy(out.data(), &r, sizeof(r));
        return ST_OK;
    }
    case SLCMD_CFG_FOREIGN_SIZE:
        if (c.foreign.empty() || !indexOk)
            return ST_NOT_FOUND;
        out.assign(4, 0);
        LayoutPutU32(out.data(), 0, (uint32_t)ForeignPreview(c, index).size());
        return ST_OK;
    case SLCMD_CFG_FOREIGN_PREVIEW:
        if (c.foreign.empty() || !indexOk)
            return ST_NOT_FOUND;
        out = ForeignPreview(c, index);
        return ST_OK;
    case SLCMD_CFG_FOREIGN_IMPORT: {
        if (c.foreign.empty() || !indexOk)
            return ST_NOT_FOUND;
        uint32_t st = ST_OK;
        if (all) {
            while (!c.foreign.empty() && st == ST_OK)
                st = ImportForeign(c, 0);
        } else {
            st = ImportForeign(c, (size_t)index);
        }
        changed = true;
        return st;
    }
    case SLCMD_CFG_FOREIGN_CLEAR:
        if (c.foreign.empty() || !indexOk)
            return ST_NOT_FOUND;
        if (all)
            while (!c.foreign.empty())
                ClearForeign(c, 0);
        else
            ClearForeign(c, (size_t)index);
        changed = true;
        return ST_OK;
    default:
        return ST_BAD_CMD;
    }
}

} // namespace sim
