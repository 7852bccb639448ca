// `zavsim show`: the simulator state as tables an administrator can read.
#include <cstdarg>
#include <cstdio>
#include <sstream>

#include "SimCore.h"

namespace sim {

static std::string Fmt(const char *fmt, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof(buf), fmt, ap);
    va_end(ap);
    return buf;
}

static double Gb(uint64_t blocks)
{
    return (double)(blocks >> 11) / 1024.0;
}

static const char *PdStateName(int s)
{
    switch (s) {
    case PD_STATE_UNCONF_GOOD: return "Unconfig GOOD";
    case PD_STATE_UNCONF_BAD: return "Unconfig BAD";
    case PD_STATE_HOT_SPARE: return "HOT SPARE";
    case PD_STATE_OFFLINE: return "OFFLINE";
    case PD_STATE_FAILED: return "FAILED";
    case PD_STATE_REBUILD: return "REBUILD";
    case PD_STATE_ONLINE: return "ONLINE";
    case PD_STATE_COPYBACK: return "COPYBACK";
    default: return "UNKNOWN";
    }
}

static const char *LdStateName(int s)
{
    switch (s) {
    case LD_STATE_OPTIMAL: return "OPTIMAL";
    case LD_STATE_DEGRADED: return "DEGRADED";
    case LD_STATE_PART_DEGRADED: return "PARTIALLY DEGRADED";
    default: return "OFFLINE";
    }
}

static const char *RaidName(int code)
{
    static const char *names[] = {"RAID0", "RAID1", "RAID5", "RAID6", "RAID10"};
    return code >= 0 && code <= 4 ? names[code] : "?";
}

static std::string Percent(const Op &op)
{
    return Fmt("%u%%", (unsigned)(op.progress * 100.0 + 1e-6));
}

static std::string PdUsage(Controller &c, const Pd &pd)
{
    if (pd.foreign)
        return "foreign";
    if (pd.state == PD_STATE_HOT_SPARE) {
        if (pd.spare == SPARE_GLOBAL)
            return "global spare";
        std::string s = "dedicated spare";
        for (int r : pd.spareArrays)
            s += Fmt(" A%d", r);
        return s;
    }
    Array *a = ArrayOfPd(c, pd.devId);
    if (!a)
        return "-";
    std::string s = Fmt("A%d", a->ref);
    for (Ld *ld : LdsOnArray(c, a->ref))
        s += Fmt(" LD%d", ld->target);
    return s;
}

static std::string PdProgress(Controller &c, const Pd &pd)
{
    std::string s;
    if (pd.rebuild.active)
        s += "rebuild " + Percent(pd.rebuild) + " ";
    if (pd.copyback.active)
        s += "copyback " + Percent(pd.copyback) + " ";
    if (pd.copybackPartner != DEV_NONE) {
        Pd *t = FindPdByDev(c, pd.copybackPartner);
        s += Fmt("copying to slot %d ", t ? t->slot : -1);
    }
    if (pd.patrol.active)
        s += "patrol " + Percent(pd.patrol) + " ";
    if (pd.locate)
        s += "locate ";
    return s.empty() ? "-" : s;
}

static std::string LdOperation(const Ld &ld)
{
    std::string s;
    if (ld.init.active)
        s += "init " + Percent(ld.init) + " ";
    if (ld.cc.active)
        s += "cc " + Percent(ld.cc) + " ";
    return s.empty() ? "-" : s;
}

static void ShowController(std::ostringstream &o, State &s, Controller &c, int number)
{
    o << Fmt("Controller %d (id 0x%06X): %s  serial %s  PCI %d/%d/%d\n", number, c.id & 0xFFFFFF, c.product.c_str(),
             c.serial.c_str(), c.pciBus, c.pciDevice, c.pciFunction);
    o << Fmt("  Features: snapshot %s, CacheCade %s, FastPath %s; max LDs %d; automatic rebuild %s; copyback %s\n",
             c.snapshot ? "yes" : "no", c.cachecade ? "yes" : "no", c.fastpath ? "yes" : "no", c.maxLds,
             c.props.autoRebuildDisabled ? "off" : "on", CopybackEnabled(c) ? "on" : "off");
    const CacheBackup &cb = c.cacheBackup;
    if (cb.present)
        o << Fmt("  Cache backup: type %d, %d mV, %d C, charge %d%%, learn cycle %s, next learn %s\n", cb.type,
                 cb.voltage, cb.temperature, cb.relCharge, cb.learn.active ? Percent(cb.learn).c_str() : "idle",
                 DateTextFromSeconds(cb.nextLearn).c_str());
    else
        o << "  Cache backup: none\n";
    static const char *modes[] = {"automatic", "manual", "disabled"};
    o << Fmt("  Patrol read: %s, every %u s, next %s, %s, %u passes\n",
             c.patrol.mode >= 0 && c.patrol.mode <= 2 ? modes[c.patrol.mode] : "?", c.patrol.interval,
             DateTextFromSeconds(c.patrol.nextExec).c_str(),
             c.patrol.run.active ? ("running " + Percent(c.patrol.run)).c_str() : "idle", c.patrol.iterations);
    if (!c.enclosures.empty()) {
        o << "  Enclosures:\n    ID    Index Slots Kind Vendor   Product\n";
        for (const Enclosure &e : c.enclosures)
            o << Fmt("    %-5d %-5d %-5d %-4d %-8s %s\n", e.devId, e.index, e.slots, e.kind, e.vendor.c_str(),
                     e.product.c_str());
    }
    o << "  PDs:\n    Slot DevId Encl  State         Usage                Size(GB)   Iface Media Operation\n";
    for (int slot = 0; slot < 256; ++slot) {
        Pd *pd = FindPdBySlot(c, slot);
        if (!pd)
            continue;
        o << Fmt("    %-4d %-5d %-5d %-13s %-20s %-10.3f %-5s %-5s %s\n", pd->slot, pd->devId, pd->enclId,
                 PdStateName(pd->state), PdUsage(c, *pd).c_str(), Gb(pd->coercedBlocks), pd->iface == 3 ? "SATA" : "SAS",
                 pd->media == 1 ? "SSD" : "HDD", PdProgress(c, *pd).c_str());
    }
    if (!c.arrays.empty()) {
        o << "  Arrays:\n    Ref  Size/arm(GB) Arms (device ids)\n";
        for (const Array &a : c.arrays) {
            std::string arms;
            for (int d : a.arms)
                arms += d == DEV_NONE ? std::string("missing ") : Fmt("%d ", d);
            o << Fmt("    %-4d %-12.3f %s\n", a.ref, Gb(a.size), arms.c_str());
        }
    }
    if (!c.lds.empty()) {
        o << "  LDs:\n    LD  Name             RAID   State              Size(GB)   Arrays   Flags           Operation\n";
        for (Ld &ld : c.lds) {
            std::string arrays, flags;
            for (const Span &sp : ld.spans)
                arrays += Fmt("%d ", sp.arrayRef);
            if (ld.cachecade)
                flags += "cachecade ";
            if (ld.snap.enabled)
                flags += Fmt("base(repo LD%d) ", ld.snap.repo);
            if (ld.repository)
                flags += "repository ";
            if (!ld.consistent)
                flags += "not-consistent ";
            Bytes info = BuildLdInfo(c, ld);
            o << Fmt("    %-3d %-16s %-6s %-18s %-10.3f %-8s %-15s %s\n", ld.target, ld.name.c_str(),
                     RaidName(LdRaidCode(ld)), LdStateName(LdState(c, ld)), Gb(LayoutU64(info.data(), LI_SIZE)),
                     arrays.c_str(), flags.empty() ? "-" : flags.c_str(), LdOperation(ld).c_str());
        }
    }
    for (const Ld &ld : c.lds) {
        if (!ld.snap.enabled)
            continue;
        o << Fmt("  Snapshots of LD%d (repository LD%d, area %.3f GB):\n", ld.target, ld.snap.repo, Gb(ld.snap.area));
        for (const Pit &p : ld.snap.pits)
            o << Fmt("    #%u %-16s %s\n", p.number, p.name.c_str(), DateTextFromSeconds(p.time).c_str());
        for (const View &v : ld.snap.views)
            o << Fmt("    view %-16s of #%u, target %d\n", v.name.c_str(), v.pit, v.target);
    }
    for (size_t i = 0; i < c.foreign.size(); ++i) {
        std::string pds;
        for (int d : c.foreign[i].pds) {
            Pd *pd = FindPdByDev(c, d);
            pds += Fmt("%d ", pd ? pd->slot : -1);
        }
        o << Fmt("  Foreign configuration %u: %u LD(s) on slots %s\n", (unsigned)i, (unsigned)c.foreign[i].lds.size(),
                 pds.c_str());
    }
    (void)s;
}

std::string ShowState(State &s)
{
    std::ostringstream o;
    o << Fmt("Scenario: %s   Clock: %s (%s)\n", s.scenario.c_str(), DateTextFromSeconds(s.clock.seconds).c_str(),
             s.clock.speed > 0 ? Fmt("speed %g", s.clock.speed).c_str() : "moves only when told");
    std::vector<Controller *> ctrls = CtrlsInIdOrder(s);
    if (ctrls.empty())
        o << "No controllers.\n";
    for (size_t i = 0; i < ctrls.size(); ++i) {
        o << "\n";
        ShowController(o, s, *ctrls[i], (int)i);
    }
    if (!s.faults.empty()) {
        o << "\nFault rules:\n";
        for (const FaultRule &f : s.faults)
            o << Fmt("  type %d cmd %d -> 0x%X%s\n", f.type, f.cmd, (unsigned)f.status,
                     f.count < 0 ? " always" : Fmt(" next %d", f.count).c_str());
    }
    return o.str();
}

} // namespace sim
