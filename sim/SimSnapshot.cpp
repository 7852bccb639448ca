// Firmware direct commands of the simulator: firmware defaults, controller clock, the 168-byte
// controller block, and the snapshot feature (enable, disable, points in time, views, base,
// view and repository information).
#include <algorithm>
#include <cstring>

#include "SimCore.h"

namespace sim {

static const uint64_t kPitShareDivisor = 10;    // each point in time keeps a tenth of the base's area
static const uint64_t kViewShareDivisor = 20;   // a view needs a twentieth of it

static std::string TextAt(const uint8_t *p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n])
        ++n;
    return std::string((const char *)p, n);
}

static void PutText(Bytes &b, size_t off, const std::string &text, size_t width)
{
    std::memcpy(b.data() + off, text.data(), std::min(text.size(), width));
}

static uint64_t LdBlocks(Controller &c, const Ld &ld)
{
    Bytes info = BuildLdInfo(c, ld);
    return LayoutU64(info.data(), LI_SIZE);
}

static uint64_t RepoUsed(Controller &c, int repo)
{
    uint64_t used = 0;
    for (const Ld &l : c.lds)
        if (l.snap.enabled && l.snap.repo == repo)
            used += l.snap.area;
    return used;
}

static uint64_t BaseUsed(const SnapBase &sb)
{
    uint64_t used = 0;
    for (const Pit &p : sb.pits)
        used += p.used;
    return used + (uint64_t)sb.views.size() * (sb.area / kViewShareDivisor);
}

static Bytes BaseInfo(Controller &c, const Ld &ld)
{
    const SnapBase &sb = ld.snap;
    size_t pits = std::min<size_t>(sb.pits.size(), 255);
    size_t views = std::min<size_t>(sb.views.size(), 255);
    Bytes b(SB_HEADER_SIZE + pits * SB_PIT_SIZE + views * SB_VIEW_SIZE, 0);
    b[SB_BASE_TARGET] = (uint8_t)ld.target;
    b[SB_REPO_TARGET] = (uint8_t)sb.repo;
    Ld *repo = FindLd(c, sb.repo);
    b[SB_STATE] = repo && LdState(c, *repo) != LD_STATE_OFFLINE && LdState(c, ld) != LD_STATE_OFFLINE ? 1 : 0;
    LayoutPutU64(b.data(), SB_AREA_BLOCKS, sb.area);
    LayoutPutU64(b.data(), SB_USED_BLOCKS, BaseUsed(sb));
    LayoutPutU32(b.data(), SB_ENABLED_TIME, sb.enabledTime);
    b[SB_PIT_COUNT] = (uint8_t)pits;
    b[SB_VIEW_COUNT] = (uint8_t)views;
    PutText(b, SB_OS_DISK_NAME, ld.osDrive, 15);
    size_t off = SB_HEADER_SIZE;
    for (size_t i = 0; i < pits; ++i, off += SB_PIT_SIZE) {
        const Pit &p = sb.pits[i];
        LayoutPutU32(b.data(), off + SP_NUMBER, p.number);
        LayoutPutU32(b.data(), off + SP_TIME, p.time);
        PutText(b, off + SP_NAME, p.name, 15);
        LayoutPutU64(b.data(), off + SP_USED_BLOCKS, p.used);
        for (const View &v : sb.views)
            if (v.pit == p.number)
                b[off + SP_HAS_VIEW] = 1;
    }
    for (size_t i = 0; i < views; ++i, off += SB_VIEW_SIZE) {
        const View &v = sb.views[i];
        b[off + SV_TARGET] = (uint8_t)v.target;
        LayoutPutU32(b.data(), off + SV_PIT_NUMBER, v.pit);
        LayoutPutU32(b.data(), off + SV_TIME, v.time);
        PutText(b, off + SV_NAME, v.name, 15);
        b[off + SV_STATUS] = 1;
        b[off + SV_ACCESS] = (uint8_t)v.access;
    }
    return b;
}

static Bytes ViewInfo(const Ld &ld)
{
    const std::vector<View> &views = ld.snap.views;
    Bytes b(std::max<size_t>(1, views.size()) * VI_ENTRY_SIZE, 0);
    for (size_t i = 0; i < views.size(); ++i) {
        size_t off = i * VI_ENTRY_SIZE;
        b[off + VI_VIEW_TARGET] = (uint8_t)views[i].target;
        b[off + VI_BASE_TARGET] = (uint8_t)ld.target;
        LayoutPutU32(b.data(), off + VI_PIT_NUMBER, views[i].pit);
        LayoutPutU32(b.data(), off + VI_COUNT, (uint32_t)views.size());
        LayoutPutU32(b.data(), off + VI_TIME, views[i].time);
        PutText(b, off + VI_NAME, views[i].name, 15);
        b[off + VI_STATUS] = 1;
        b[off + VI_ACCESS] = (uint8_t)views[i].access;
    }
    return b;
}

static Bytes RepoInfo(Controller &c, const Ld &repo)
{
    std::vector<const Ld *> bases;
    for (const Ld &l : c.lds)
        if (l.snap.enabled && l.snap.repo == repo.target)
            bases.push_back(&l);
    Bytes b(SR_HEADER_SIZE + bases.size() * SR_ENTRY_SIZE, 0);
    uint64_t total = LdBlocks(c, repo);
    uint64_t used = RepoUsed(c, repo.target);
    b[SR_REPO_TARGET] = (uint8_t)repo.target;
    b[SR_BASE_COUNT] = (uint8_t)bases.size();
    LayoutPutU64(b.data(), SR_TOTAL_BLOCKS, total);
    LayoutPutU64(b.data(), SR_USED_BLOCKS, used);
    LayoutPutU64(b.data(), SR_FREE_BLOCKS, total > used ? total - used : 0);
    for (size_t i = 0; i < bases.size(); ++i) {
        size_t off = SR_HEADER_SIZE + i * SR_ENTRY_SIZE;
        b[off + SR_ENTRY_BASE_TARGET] = (uint8_t)bases[i]->target;
        LayoutPutU64(b.data(), off + SR_ENTRY_AREA_BLOCKS, bases[i]->snap.area);
        LayoutPutU64(b.data(), off + SR_ENTRY_USED_BLOCKS, BaseUsed(bases[i]->snap));
    }
    return b;
}

static uint32_t EnableSnapshot(State &s, Controller &c, Ld &base, const uint8_t *data, uint32_t size)
{
    if (!c.snapshot)
        return ST_WRONG_STATE;
    if (!data)
        return ST_NULL_PTR;
    if (size < sizeof(SnapshotEnableRequest))
        return ST_SIZE;
    SnapshotEnableRequest req;
    std::memcpy(&req, data, sizeof(req));
    if (base.snap.enabled)
        return ST_ALREADY;
    if (base.repository || base.cachecade)
        return base.cachecade ? ST_RAID_LEVEL : ST_WRONG_STATE;
    if (base.init.active)
        return ST_INIT_RUNNING;
    Ld *repo = FindLd(c, req.repoTargetId);
    if (!repo || repo->target == base.target)
        return ST_INVALID_INPUT;
    if (repo->snap.enabled || repo->cachecade)
        return ST_WRONG_STATE;
    if (req.areaBlocks == 0)
        return ST_INVALID_INPUT;
    uint64_t total = LdBlocks(c, *repo);
    uint64_t used = RepoUsed(c, repo->target);
    if (used + req.areaBlocks > total)
        return ST_NO_REPO_SPACE;
    base.snap = SnapBase();
    base.snap.enabled = true;
    base.snap.repo = repo->target;
    base.snap.area = req.areaBlocks;
    base.snap.enabledTime = Now(s);
    base.seq = (base.seq % 0xFFFE) + 1;
    repo->repository = true;
    return ST_OK;
}

static uint32_t DisableSnapshot(Controller &c, Ld &base)
{
    if (!base.snap.enabled)
        return ST_WRONG_STATE;
    int repo = base.snap.repo;
    base.snap = SnapBase();
    base.seq = (base.seq % 0xFFFE) + 1;
    Ld *r = FindLd(c, repo);
    if (r && RepoUsed(c, repo) == 0)
        r->repository = false;
    return ST_OK;
}

static uint32_t CreatePit(State &s, Ld &base, const uint8_t *data, uint32_t size)
{
    if (!base.snap.enabled)
        return ST_WRONG_STATE;
    if (!data)
        return ST_NULL_PTR;
    if (size < sizeof(SnapshotPitRequest))
        return ST_SIZE;
    SnapBase &sb = base.snap;
    uint64_t share = sb.area / kPitShareDivisor;
    // A full base drops its oldest point in time unless the LD keeps it; one with a view stays.
    while (sb.pits.size() >= MAX_PITS || BaseUsed(sb) + share > sb.area) {
        if ((base.snapFlags & LP_SNAP_NO_AUTO_DELETE) || sb.pits.empty())
            return ST_NO_REPO_SPACE;
        const Pit &oldest = sb.pits.front();
        for (const View &v : sb.views)
            if (v.pit == oldest.number)
                return ST_NO_REPO_SPACE;
        sb.pits.erase(sb.pits.begin());
    }
    Pit pit;
    pit.number = sb.nextPit++;
    pit.time = Now(s);
    pit.name = TextAt(data, 15);
    if (pit.name.empty())
        return ST_INVALID_INPUT;
    pit.used = share;
    sb.pits.push_back(pit);
    return ST_OK;
}

static uint32_t DeletePit(Ld &base, uint32_t number)
{
    SnapBase &sb = base.snap;
    if (!sb.enabled)
        return ST_WRONG_STATE;
    if (sb.pits.empty())
        return ST_NOT_FOUND;
    auto it = sb.pits.begin();
    if (number != 0)
        it = std::find_if(sb.pits.begin(), sb.pits.end(), [number](const Pit &p) { return p.number == number; });
    if (it == sb.pits.end())
        return ST_NOT_FOUND;
    for (const View &v : sb.views)
        if (v.pit == it->number)
            return ST_WRONG_STATE;
    sb.pits.erase(it);
    return ST_OK;
}

static int FreeViewTarget(Controller &c)
{
    std::vector<int> taken;
    for (const Ld &l : c.lds)
        for (const View &v : l.snap.views)
            taken.push_back(v.target);
    return FreeTarget(c, taken);
}

static uint32_t CreateView(State &s, Controller &c, Ld &base, const uint8_t *data, uint32_t size)
{
    SnapBase &sb = base.snap;
    if (!sb.enabled)
        return ST_WRONG_STATE;
    if (!data)
        return ST_NULL_PTR;
    if (size < sizeof(SnapshotViewRequest))
        return ST_SIZE;
    SnapshotViewRequest req;
    std::memcpy(&req, data, sizeof(req));
    auto pit = std::find_if(sb.pits.begin(), sb.pits.end(), [&](const Pit &p) { return p.number == req.pitNumber; });
    if (pit == sb.pits.end())
        return ST_NOT_FOUND;
    for (const View &v : sb.views)
        if (v.pit == req.pitNumber)
            return ST_ALREADY;
    if (BaseUsed(sb) + sb.area / kViewShareDivisor > sb.area)
        return ST_NO_REPO_SPACE;
    View v;
    v.target = FreeViewTarget(c);
    if (v.target < 0)
        return ST_MAX_LDS;
    v.pit = req.pitNumber;
    v.time = Now(s);
    v.name = TextAt((const uint8_t *)req.name, 15);
    if (v.name.empty())
        return ST_INVALID_INPUT;
    sb.views.push_back(v);
    return ST_OK;
}

static uint32_t DeleteView(Ld &base, uint32_t pitNumber)
{
    SnapBase &sb = base.snap;
    if (!sb.enabled)
        return ST_WRONG_STATE;
    size_t before = sb.views.size();
    sb.views.erase(std::remove_if(sb.views.begin(), sb.views.end(),
                                  [pitNumber](const View &v) { return pitNumber == 0 || v.pit == pitNumber; }),
                   sb.views.end());
    return sb.views.size() == before ? ST_NOT_FOUND : ST_OK;
}

static uint32_t CopyOut(const Bytes &src, DcmdFrame &f)
{
    if (f.dataPtr == 0)
        return ST_NULL_PTR;
    uint8_t *dst = (uint8_t *)(uintptr_t)f.dataPtr;
    std::memset(dst, 0, f.dataSize);
    std::memcpy(dst, src.data(), std::min<size_t>(src.size(), f.dataSize));
    return ST_OK;
}

// Direct commands that read fixed-size blocks refuse a smaller buffer.
static uint32_t CopyFixed(const Bytes &src, DcmdFrame &f)
{
    if (f.dataSize < src.size())
        return ST_SIZE;
    return CopyOut(src, f);
}

uint32_t Dcmd(State &s, Controller &c, DcmdFrame &f, bool &changed)
{
    const uint8_t *data = (const uint8_t *)(uintptr_t)f.dataPtr;
    int target = f.mailbox[DCMD_MBOX_TARGET];
    uint32_t arg = LayoutU32(f.mailbox, DCMD_MBOX_ARG);
    switch (f.opcode) {
    case DCMD_GET_MFC_DEFAULTS:
        return CopyFixed(BuildMfcDefaults(c), f);
    case DCMD_SET_MFC_DEFAULTS:
        if (!data)
            return ST_NULL_PTR;
        if (f.dataSize < MFC_DEFAULTS_SIZE)
            return ST_SIZE;
        c.failPdOnSmart = data[MFC_DEFAULTS_FAIL_PD_ON_SMART] ? 1 : 0;
        changed = true;
        return ST_OK;
    case DCMD_GET_TIME: {
        Bytes b(CTRL_TIME_SIZE, 0);
        LayoutPutU32(b.data(), 0, Now(s));
        return CopyFixed(b, f);
    }
    case DCMD_CTRL_BLOCK168: {
        Bytes b(CTRL_BLOCK168_SIZE, 0);
        LayoutPutU32(b.data(), 0, (c.snapshot ? 1u : 0u) | (c.cachecade ? 2u : 0u));
        LayoutPutU32(b.data(), 4, Now(s));
        return CopyFixed(b, f);
    }
    case DCMD_SNAPSHOT_REPO_INFO: {
        Ld *repo = FindLd(c, target);
        if (!repo)
            return ST_DEVICE;
        if (!repo->repository)
            return ST_NOT_FOUND;
        return CopyOut(RepoInfo(c, *repo), f);
    }
    default:
        break;
    }
    Ld *ld = FindLd(c, target);
    bool snapshotOp = (f.opcode & 0xFFFF0000u) == 0x030F0000u;
    if (!snapshotOp)
        return ST_DCMD_INVALID;
    if (!ld)
        return ST_DEVICE;
    bool carriesSeq = f.opcode != DCMD_SNAPSHOT_INFO && f.opcode != DCMD_SNAPSHOT_VIEW_INFO;
    if (carriesSeq && LayoutU16(f.mailbox, DCMD_MBOX_LD_SEQ) != ld->seq)
        return ST_INVALID_SEQ;
    uint32_t st = ST_DCMD_INVALID;
    switch (f.opcode) {
    case DCMD_SNAPSHOT_INFO:
        return ld->snap.enabled ? CopyOut(BaseInfo(c, *ld), f) : ST_NOT_FOUND;
    case DCMD_SNAPSHOT_VIEW_INFO:
        return ld->snap.enabled ? CopyOut(ViewInfo(*ld), f) : ST_NOT_FOUND;
    case DCMD_SNAPSHOT_ENABLE: st = EnableSnapshot(s, c, *ld, data, f.dataSize); break;
    case DCMD_SNAPSHOT_DISABLE: st = DisableSnapshot(c, *ld); break;
    case DCMD_SNAPSHOT_CREATE_PIT: st = CreatePit(s, *ld, data, f.dataSize); break;
    case DCMD_SNAPSHOT_DELETE_PIT: st = DeletePit(*ld, arg); break;
    case DCMD_SNAPSHOT_CREATE_VIEW: st = CreateView(s, c, *ld, data, f.dataSize); break;
    case DCMD_SNAPSHOT_DELETE_VIEW: st = DeleteView(*ld, arg); break;
    }
    changed = changed || st == ST_OK;
    return st;
}

} // namespace sim
