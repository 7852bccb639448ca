// Controller rules of the simulator: lookups, LD state from its members, allowed operations,
// free numbers, and what happens when a member drive fails or is removed (spare takeover).
#include <algorithm>

#include "SimCore.h"

namespace sim {

uint32_t Now(const State &s)
{
    return s.clock.seconds < 0 ? 0u : (uint32_t)s.clock.seconds;
}

Controller *FindCtrl(State &s, uint32_t ctrlId)
{
    for (Controller &c : s.ctrls)
        if ((c.id & 0xFFFFFF) == (ctrlId & 0xFFFFFF))
            return &c;
    return nullptr;
}

std::vector<Controller *> CtrlsInIdOrder(State &s)
{
    std::vector<Controller *> v;
    for (Controller &c : s.ctrls)
        v.push_back(&c);
    std::stable_sort(v.begin(), v.end(), [](Controller *a, Controller *b) {
        return (a->id & 0xFFFFFF) < (b->id & 0xFFFFFF);
    });
    return v;
}

Controller *CtrlByNumber(State &s, int number)
{
    std::vector<Controller *> v = CtrlsInIdOrder(s);
    if (number < 0 || number >= (int)v.size())
        return nullptr;
    return v[number];
}

Pd *FindPdByDev(Controller &c, int devId)
{
    for (Pd &p : c.pds)
        if (p.devId == devId)
            return &p;
    return nullptr;
}

Pd *FindPdBySlot(Controller &c, int slot)
{
    for (Pd &p : c.pds)
        if (p.slot == slot && p.scsiType == 0)
            return &p;
    return nullptr;
}

Ld *FindLd(Controller &c, int target)
{
    for (Ld &l : c.lds)
        if (l.target == target)
            return &l;
    return nullptr;
}

Array *FindArray(Controller &c, int ref)
{
    for (Array &a : c.arrays)
        if (a.ref == ref)
            return &a;
    return nullptr;
}

Array *ArrayOfPd(Controller &c, int devId, int *armIndex)
{
    for (Array &a : c.arrays)
        for (size_t i = 0; i < a.arms.size(); ++i)
            if (a.arms[i] == devId) {
                if (armIndex)
                    *armIndex = (int)i;
                return &a;
            }
    return nullptr;
}

std::vector<Ld *> LdsOnArray(Controller &c, int ref)
{
    std::vector<Ld *> v;
    for (Ld &l : c.lds)
        for (const Span &sp : l.spans)
            if (sp.arrayRef == ref) {
                v.push_back(&l);
                break;
            }
    std::sort(v.begin(), v.end(), [](Ld *a, Ld *b) {
        return a->spans.empty() || b->spans.empty() ? a->target < b->target : a->spans[0].start < b->spans[0].start;
    });
    return v;
}

std::vector<int> LdMemberDevs(Controller &c, const Ld &ld)
{
    std::vector<int> devs;
    for (const Span &sp : ld.spans) {
        Array *a = FindArray(c, sp.arrayRef);
        if (!a)
            continue;
        for (int d : a->arms)
            devs.push_back(d);
    }
    return devs;
}

int LdRaidCode(const Ld &ld)
{
    switch (ld.primaryRaid) {
    case 0: return 0;
    case 1: return ld.spanDepth >= 2 ? 4 : 1;
    case 5: return 2;
    case 6: return 3;
    default: return -1;
    }
}

int DataDrives(int raidCode, int n)
{
    switch (raidCode) {
    case 0: return n;
    case 1: return 1;
    case 2: return n - 1;
    case 3: return n - 2;
    case 4: return n / 2;
    default: return 0;
    }
}

static bool ArmPresent(Controller &c, int devId)
{
    if (devId == DEV_NONE)
        return false;
    Pd *pd = FindPdByDev(c, devId);
    return pd && pd->state == PD_STATE_ONLINE;
}

int LdState(Controller &c, const Ld &ld)
{
    int worst = LD_STATE_OPTIMAL;
    bool anyMissing = false;
    for (const Span &sp : ld.spans) {
        Array *a = FindArray(c, sp.arrayRef);
        if (!a)
            return LD_STATE_OFFLINE;
        int missing = 0;
        for (int d : a->arms)
            if (!ArmPresent(c, d))
                ++missing;
        if (missing == 0)
            continue;
        anyMissing = true;
        int n = (int)a->arms.size();
        int st = LD_STATE_OFFLINE;
        switch (ld.primaryRaid) {
        case 0: st = LD_STATE_OFFLINE; break;
        case 1: st = missing < n ? LD_STATE_DEGRADED : LD_STATE_OFFLINE; break;
        case 5: st = missing == 1 ? LD_STATE_DEGRADED : LD_STATE_OFFLINE; break;
        case 6: st = missing == 1 ? LD_STATE_PART_DEGRADED : (missing == 2 ? LD_STATE_DEGRADED : LD_STATE_OFFLINE); break;
        }
        worst = std::min(worst, st);
    }
    (void)anyMissing;
    return worst;
}

bool CopybackEnabled(const Controller &c)
{
    return (c.props.onOffBits & CP_BIT_COPYBACK_DISABLED) == 0;
}

bool LdRebuildRunning(Controller &c, const Ld &ld)
{
    for (int d : LdMemberDevs(c, ld)) {
        if (d == DEV_NONE)
            continue;
        Pd *pd = FindPdByDev(c, d);
        if (!pd)
            continue;
        if (pd->state == PD_STATE_REBUILD || pd->rebuild.active)
            return true;
        if (pd->copybackPartner != DEV_NONE)
            return true;
    }
    return false;
}

uint16_t PdDdfType(Controller &c, const Pd &pd)
{
    uint16_t bits = 0;
    if (ArrayOfPd(c, pd.devId))
        bits |= PD_DDF_IN_LD;
    if (pd.state == PD_STATE_HOT_SPARE) {
        bits |= PD_DDF_SPARE;
        if (pd.spare == SPARE_GLOBAL)
            bits |= PD_DDF_GLOBAL_SPARE;
    }
    if (pd.foreign)
        bits |= PD_DDF_FOREIGN;
    return (uint16_t)(bits | ((pd.iface & 0xF) << 12));
}

uint32_t PdAllowedOps(Controller &c, const Pd &pd)
{
    uint32_t ops = PD_ALLOW_LOCATE;
    bool member = ArrayOfPd(c, pd.devId) != nullptr;
    switch (pd.state) {
    case PD_STATE_UNCONF_GOOD:
        if (!pd.foreign) {
            ops |= PD_ALLOW_MAKE_GHS | PD_ALLOW_MAKE_UNCONF_BAD;
            if (!c.arrays.empty())
                ops |= PD_ALLOW_MAKE_DHS;
        }
        break;
    case PD_STATE_UNCONF_BAD:
        ops |= PD_ALLOW_MAKE_UNCONF_GOOD;
        break;
    case PD_STATE_HOT_SPARE:
        ops |= PD_ALLOW_REMOVE_HS;
        break;
    case PD_STATE_ONLINE:
        ops |= PD_ALLOW_MAKE_OFFLINE | PD_ALLOW_MAKE_FAILED;
        break;
    case PD_STATE_OFFLINE:
    case PD_STATE_FAILED:
        if (member) {
            ops |= PD_ALLOW_MAKE_ONLINE;
            Array *a = ArrayOfPd(c, pd.devId);
            std::vector<Ld *> lds = LdsOnArray(c, a->ref);
            if (!lds.empty() && lds[0]->primaryRaid != 0)
                ops |= PD_ALLOW_START_REBUILD;
        } else {
            ops |= PD_ALLOW_MAKE_UNCONF_GOOD;
        }
        break;
    case PD_STATE_REBUILD:
        ops |= PD_ALLOW_STOP_REBUILD;
        break;
    default:
        break;
    }
    return ops;
}

uint32_t LdAllowedOps(Controller &c, const Ld &ld)
{
    uint32_t ops = LD_ALLOW_SET_PROP;
    int state = LdState(c, ld);
    bool snap = ld.snap.enabled || ld.repository;
    bool rebuilding = LdRebuildRunning(c, ld);
    if (ld.init.active)
        ops |= LD_ALLOW_CANCEL_INIT;
    if (ld.cc.active)
        ops |= LD_ALLOW_CANCEL_CC;
    if (!ld.init.active && !ld.cc.active && !rebuilding && !ld.cachecade && !snap && state != LD_STATE_OFFLINE)
        ops |= LD_ALLOW_START_INIT;
    if (!ld.init.active && !ld.cc.active && !rebuilding && !ld.cachecade && ld.primaryRaid != 0 &&
        state == LD_STATE_OPTIMAL)
        ops |= LD_ALLOW_START_CC;
    if (!snap && !rebuilding)
        ops |= LD_ALLOW_DELETE;
    if (c.snapshot && !ld.snap.enabled && !ld.repository && !ld.cachecade && !ld.init.active)
        ops |= LD_ALLOW_ENABLE_SNAPSHOT;
    if (ld.snap.enabled)
        ops |= LD_ALLOW_DISABLE_SNAPSHOT;
    return ops;
}

int FreeArrayRef(const Controller &c, const std::vector<int> &taken)
{
    for (int ref = 0; ref < MAX_ARRAYS; ++ref) {
        bool used = std::find(taken.begin(), taken.end(), ref) != taken.end();
        for (const Array &a : c.arrays)
            used = used || a.ref == ref;
        if (!used)
            return ref;
    }
    return -1;
}

int FreeTarget(const Controller &c, const std::vector<int> &taken)
{
    for (int t = 0; t < MAX_LDS; ++t) {
        bool used = std::find(taken.begin(), taken.end(), t) != taken.end();
        for (const Ld &l : c.lds)
            used = used || l.target == t;
        if (!used)
            return t;
    }
    return -1;
}

int SpareCount(const Controller &c)
{
    int n = 0;
    for (const Pd &p : c.pds)
        if (p.state == PD_STATE_HOT_SPARE)
            ++n;
    return n;
}

void MarkPdChanged(Pd &pd)
{
    pd.seq = (pd.seq % 0xFFFE) + 1;
}

// The hot spare that takes over a lost arm: a dedicated spare of the array first, then a global
// one; the smallest drive that is large enough.
static Pd *PickSpare(Controller &c, const Array &a)
{
    Pd *best = nullptr;
    for (int pass = 0; pass < 2 && !best; ++pass) {
        for (Pd &p : c.pds) {
            if (p.state != PD_STATE_HOT_SPARE || p.coercedBlocks < a.size)
                continue;
            bool dedicated = p.spare == SPARE_DEDICATED &&
                             std::find(p.spareArrays.begin(), p.spareArrays.end(), a.ref) != p.spareArrays.end();
            if ((pass == 0 && dedicated) || (pass == 1 && p.spare == SPARE_GLOBAL))
                if (!best || p.coercedBlocks < best->coercedBlocks)
                    best = &p;
        }
    }
    return best;
}

static bool ArrayRedundant(Controller &c, const Array &a)
{
    std::vector<Ld *> lds = LdsOnArray(c, a.ref);
    return !lds.empty() && lds[0]->primaryRaid != 0;
}

static void RememberHomeSlot(Array &a, int arm, int slot)
{
    if (a.homeSlots.size() != a.arms.size())
        a.homeSlots.assign(a.arms.size(), -1);
    if (a.homeSlots[arm] < 0)
        a.homeSlots[arm] = slot;
}

void ArmLost(State &s, Controller &c, Array &a, int arm)
{
    (void)s;
    if (c.props.autoRebuildDisabled || !ArrayRedundant(c, a))
        return;
    Pd *spare = PickSpare(c, a);
    if (!spare)
        return;
    int oldDev = a.arms[arm];
    if (oldDev != DEV_NONE) {
        Pd *old = FindPdByDev(c, oldDev);
        if (old) {
            old->state = PD_STATE_UNCONF_BAD;
            old->rebuild = Op();
            MarkPdChanged(*old);
        }
    }
    a.arms[arm] = spare->devId;
    spare->returnSpare = spare->spare;
    spare->state = PD_STATE_REBUILD;
    spare->rebuild = Op();
    spare->rebuild.active = true;
    spare->spare = SPARE_NONE;
    spare->spareArrays.clear();
    MarkPdChanged(*spare);
}

void FailPd(State &s, Controller &c, Pd &pd)
{
    int arm = -1;
    Array *a = ArrayOfPd(c, pd.devId, &arm);
    pd.rebuild = Op();
    pd.copyback = Op();
    pd.patrol = Op();
    if (pd.state == PD_STATE_HOT_SPARE) {
        pd.spare = SPARE_NONE;
        pd.spareArrays.clear();
        pd.state = PD_STATE_UNCONF_BAD;
    } else if (a) {
        pd.state = PD_STATE_FAILED;
    } else {
        pd.state = PD_STATE_UNCONF_BAD;
    }
    MarkPdChanged(pd);
    // A copyback towards this drive ends; the source keeps its place.
    for (Pd &p : c.pds)
        if (p.copybackPartner == pd.devId)
            p.copybackPartner = DEV_NONE;
    if (a) {
        RememberHomeSlot(*a, arm, pd.slot);
        ArmLost(s, c, *a, arm);
    }
}

void PullPd(State &s, Controller &c, Pd &pd)
{
    int devId = pd.devId;
    int slot = pd.slot;
    int arm = -1;
    Array *a = ArrayOfPd(c, devId, &arm);
    for (Pd &p : c.pds)
        if (p.copybackPartner == devId)
            p.copybackPartner = DEV_NONE;
    c.pds.erase(std::remove_if(c.pds.begin(), c.pds.end(), [devId](const Pd &p) { return p.devId == devId; }),
                c.pds.end());
    if (a) {
        RememberHomeSlot(*a, arm, slot);
        a->arms[arm] = DEV_NONE;
        ArmLost(s, c, *a, arm);
    }
}

Pd &InsertPd(State &s, Controller &c, int slot, const Pd &model)
{
    (void)s;
    Pd pd = model;
    pd.slot = slot;
    pd.devId = c.nextDevId++;
    pd.state = PD_STATE_UNCONF_GOOD;
    pd.spare = SPARE_NONE;
    pd.seq = 1;
    pd.sasAddr0 = c.sasBase + 0x1000 + (uint64_t)pd.devId * 4;
    for (const Enclosure &e : c.enclosures) {
        pd.enclId = e.devId;
        pd.enclIndex = e.index;
        break;
    }
    c.pds.push_back(pd);
    Pd &added = c.pds.back();

    // A drive put into the slot of a member that a spare replaced gets the data back (copyback);
    // a drive put into an array's empty arm is rebuilt at once when automatic rebuild is on.
    for (Array &a : c.arrays) {
        for (size_t i = 0; i < a.arms.size(); ++i) {
            if (i < a.homeSlots.size() && a.homeSlots[i] == slot && a.arms[i] != DEV_NONE && CopybackEnabled(c) &&
                added.coercedBlocks >= a.size) {
                Pd *holder = FindPdByDev(c, a.arms[i]);
                if (holder && holder->slot != slot && holder->state == PD_STATE_ONLINE && holder->returnSpare != 0) {
                    holder->copybackPartner = added.devId;
                    added.state = PD_STATE_COPYBACK;
                    added.copyback = Op();
                    added.copyback.active = true;
                    return added;
                }
            }
        }
    }
    if (!c.props.autoRebuildDisabled) {
        for (Array &a : c.arrays)
            for (size_t i = 0; i < a.arms.size(); ++i)
                if (a.arms[i] == DEV_NONE && added.coercedBlocks >= a.size && ArrayRedundant(c, a)) {
                    a.arms[i] = added.devId;
                    added.state = PD_STATE_REBUILD;
                    added.rebuild.active = true;
                    return added;
                }
    }
    return added;
}

void DropArrayIfUnused(Controller &c, int ref)
{
    if (!LdsOnArray(c, ref).empty())
        return;
    Array *a = FindArray(c, ref);
    if (!a)
        return;
    for (int d : a->arms) {
        Pd *pd = FindPdByDev(c, d);
        if (pd) {
            pd->state = (pd->state == PD_STATE_FAILED) ? PD_STATE_UNCONF_BAD : PD_STATE_UNCONF_GOOD;
            pd->rebuild = Op();
            pd->copybackPartner = DEV_NONE;
            pd->returnSpare = SPARE_NONE;
            MarkPdChanged(*pd);
        }
    }
    c.arrays.erase(std::remove_if(c.arrays.begin(), c.arrays.end(), [ref](const Array &x) { return x.ref == ref; }),
                   c.arrays.end());
    // Dedicated spares lose the array; one that serves nothing any more is unconfigured again.
    for (Pd &p : c.pds) {
        if (p.state != PD_STATE_HOT_SPARE || p.spare != SPARE_DEDICATED)
            continue;
        p.spareArrays.erase(std::remove(p.spareArrays.begin(), p.spareArrays.end(), ref), p.spareArrays.end());
        if (p.spareArrays.empty()) {
            p.state = PD_STATE_UNCONF_GOOD;
            p.spare = SPARE_NONE;
            MarkPdChanged(p);
        }
    }
}

} // namespace sim
