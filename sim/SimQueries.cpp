// Read-only commands of the simulator: every information block, list and progress block the
// tools read, filled from the state in the layouts of common/storelib_layout.h.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "SimCore.h"

namespace sim {

static void PutText(Bytes &b, size_t off, const std::string &text, size_t width)
{
    size_t n = std::min(text.size(), width);
    std::memcpy(b.data() + off, text.data(), n);
}

static void PutU16(Bytes &b, size_t off, uint32_t v) { LayoutPutU16(b.data(), off, (uint16_t)v); }
static void PutU32(Bytes &b, size_t off, uint32_t v) { LayoutPutU32(b.data(), off, v); }
static void PutU64(Bytes &b, size_t off, uint64_t v) { LayoutPutU64(b.data(), off, v); }

static uint16_t ProgressWord(const Op &op)
{
    // Rounded up, so that a third of the work done reads as at least 33 percent in the tools'
    // truncating display.
    double p = std::min(1.0, std::max(0.0, op.progress));
    return (uint16_t)std::ceil(p * 65535.0 - 1e-6);
}

static void PutOp(Bytes &b, size_t off, const Op &op)
{
    PutU16(b, off, op.active ? ProgressWord(op) : 0);
    PutU16(b, off + 2, op.active ? (uint32_t)std::min(65535.0, op.elapsed) : 0);
}

Bytes BuildCtrlProps(const Controller &c)
{
    Bytes b(CTRL_PROP_SIZE, 0);
    const CtrlProps &p = c.props;
    PutU16(b, CP_SEQ_NUM, (uint32_t)p.seq);
    b[CP_REBUILD_RATE] = (uint8_t)p.rebuildRate;
    b[CP_PATROL_READ_RATE] = (uint8_t)p.patrolRate;
    b[CP_BGI_RATE] = (uint8_t)p.bgiRate;
    b[CP_CC_RATE] = (uint8_t)p.ccRate;
    b[CP_RECON_RATE] = (uint8_t)p.reconRate;
    b[CP_CACHE_FLUSH_INTERVAL] = (uint8_t)p.flushInterval;
    b[CP_ALARM_ENABLE] = (uint8_t)p.alarmEnable;
    b[CP_AUTO_REBUILD_DISABLED] = (uint8_t)p.autoRebuildDisabled;
    PutU32(b, CP_ON_OFF_BITS, p.onOffBits);
    return b;
}

static Bytes BuildCtrlInfo(const Controller &c)
{
    Bytes b(CTRL_INFO_SIZE, 0);
    PutU16(b, CI_PCI_VENDOR, (uint32_t)c.vendorId);
    PutU16(b, CI_PCI_DEVICE, (uint32_t)c.deviceId);
    PutU16(b, CI_PCI_SUBVENDOR, (uint32_t)c.subVendorId);
    PutU16(b, CI_PCI_SUBDEVICE, (uint32_t)c.subDeviceId);
    b[CI_PORT_COUNT] = (uint8_t)c.portCount;
    for (int i = 0; i < 8 && i < c.portCount; ++i)
        PutU64(b, CI_PORT_SAS_ADDR + 8 * i, c.sasBase + (uint64_t)i);
    struct Image { const char *name; const std::string *version; };
    const Image images[] = {{"APP ", &c.fwVersion}, {"BIOS", &c.biosVersion}};
    PutU32(b, CI_IMAGE_COUNT, 2);
    for (int i = 0; i < 2; ++i) {
        size_t off = CI_IMAGES + CI_IMAGE_SIZE * i;
        PutText(b, off + CI_IMAGE_NAME, images[i].name, 8);
        PutText(b, off + CI_IMAGE_VERSION, *images[i].version, 32);
        PutText(b, off + CI_IMAGE_BUILD_DATE, c.fwDate, 16);
        PutText(b, off + CI_IMAGE_BUILD_TIME, c.fwTime, 16);
    }
    b[CI_MAX_LD_COUNT] = (uint8_t)c.maxLds;
    PutText(b, CI_PRODUCT_NAME, c.product, 79);
    PutText(b, CI_SERIAL_NO, c.serial, 31);
    PutU32(b, CI_HW_PRESENT, (c.cacheBackup.present ? CI_HW_CACHE_BACKUP : 0) | (c.alarm ? CI_HW_ALARM : 0));
    PutU16(b, CI_MEMORY_SIZE, (uint32_t)c.memoryMb);
    PutU16(b, CI_MEM_CORRECTABLE, (uint32_t)c.memCorrectable);
    PutU16(b, CI_MEM_UNCORRECTABLE, (uint32_t)c.memUncorrectable);
    PutU32(b, CI_RAID_LEVEL_MASK, c.raidMask);
    PutU32(b, CI_ADAPTER_OPS, c.snapshot ? CI_ADAPTER_OP_SNAPSHOT : 0);
    PutU32(b, CI_LD_OPS, c.fastpath ? CI_LD_OP_FASTPATH : 0);
    b[CI_STRIPE_MIN] = (uint8_t)c.stripeMin;
    b[CI_STRIPE_MAX] = (uint8_t)c.stripeMax;
    Bytes props = BuildCtrlProps(c);
    std::memcpy(b.data() + CI_PROPERTIES, props.data(), props.size());
    PutText(b, CI_PACKAGE_VERSION, c.package, 95);
    const int mins[6] = {1, 2, 3, 3, 3, 4};   // RAID0, RAID1, RAID5, RAID1E, RAID6, RAID10
    for (int i = 0; i < 6; ++i)
        PutU16(b, CI_PD_COUNT_WORDS + 2 * i, (uint32_t)((c.maxPdPerGroup << 4) | mins[i]));
    PutU16(b, CI_SLOT_COUNT, (uint32_t)(c.candidateCap ? c.candidateCap : c.slotCount));
    PutU16(b, CI_CACHECADE, c.cachecade ? 1 : 0);
    return b;
}

static Bytes BuildPdList(Controller &c)
{
    Bytes b(sizeof(PdList), 0);
    uint32_t n = 0;
    auto add = [&](int devId, int enclId, int enclIndex, int slot, int type, uint64_t sas0, uint64_t sas1) {
        if (n >= PD_LIST_MAX)
            return;
        size_t off = 8 + 24 * n++;
        PutU16(b, off + 0, (uint32_t)devId);
        PutU16(b, off + 2, (uint32_t)enclId);
        b[off + 4] = (uint8_t)enclIndex;
        b[off + 5] = (uint8_t)slot;
        b[off + 6] = (uint8_t)type;
        b[off + 7] = 1;
        PutU64(b, off + 8, sas0);
        PutU64(b, off + 16, sas1);
    };
    for (const Pd &pd : c.pds)
        add(pd.devId, pd.enclId, pd.enclIndex, pd.slot, pd.scsiType, pd.sasAddr0, pd.sasAddr1);
    for (const Enclosure &e : c.enclosures)
        if (e.kind != ENCL_KIND_VIRTUAL)
            add(e.devId, e.devId, e.index, 0xFF, 0x0D, c.sasBase + 0x100 + (uint64_t)e.index, 0);
    PutU32(b, 0, 8 + 24 * n);
    PutU32(b, 4, n);
    return b;
}

static Bytes BuildEnclList(const Controller &c)
{
    Bytes b(sizeof(EnclList), 0);
    uint32_t n = 0;
    for (const Enclosure &e : c.enclosures) {
        if (n >= ENCL_MAX)
            break;
        size_t off = 8 + sizeof(EnclEntry) * n++;
        PutU16(b, off + 0, (uint32_t)e.devId);
        b[off + 2] = (uint8_t)e.index;
        b[off + 3] = (uint8_t)e.slots;
        b[off + 10] = (uint8_t)e.kind;
    }
    PutU32(b, 0, n);
    return b;
}

static Bytes BuildLdList(const Controller &c)
{
    Bytes b(sizeof(LdList), 0);
    uint32_t n = 0;
    for (const Ld &ld : c.lds)
        if (n < LD_MAX)
            b[8 + 16 * n++] = (uint8_t)ld.target;
    PutU32(b, 0, n);
    return b;
}

Bytes BuildPatrolProps(const Controller &c)
{
    Bytes b(PATROL_READ_PROP_SIZE, 0);
    const PatrolRead &pr = c.patrol;
    b[PR_MODE] = (uint8_t)pr.mode;
    b[PR_MAX_CONCURRENT] = (uint8_t)pr.maxConcurrent;
    size_t n = std::min<size_t>(pr.excluded.size(), PR_EXCLUDED_MAX);
    b[PR_EXCLUDED_COUNT] = (uint8_t)n;
    for (size_t i = 0; i < n; ++i)
        b[PR_EXCLUDED + i] = (uint8_t)pr.excluded[i];
    PutU32(b, PR_STATE, pr.run.active ? 1 : 0);
    PutU32(b, PR_ITERATIONS, pr.iterations);
    PutU32(b, PR_NEXT_EXEC, pr.nextExec);
    PutU32(b, PR_INTERVAL, pr.interval);
    return b;
}

Bytes BuildMfcDefaults(const Controller &c)
{
    Bytes b(MFC_DEFAULTS_SIZE, 0);
    b[MFC_DEFAULTS_FAIL_PD_ON_SMART] = (uint8_t)c.failPdOnSmart;
    return b;
}

static Bytes BuildOsDriveNames(const Controller &c)
{
    Bytes b(OS_DRIVE_NAME_SIZE, 0);
    uint32_t n = 0;
    for (const Ld &ld : c.lds) {
        if (n >= LD_MAX)
            break;
        size_t off = OSD_ENTRIES + OSD_ENTRY_SIZE * n++;
        b[off + OSD_ENTRY_TARGET] = (uint8_t)ld.target;
        PutText(b, off + OSD_ENTRY_NAME, ld.osDrive, 15);
    }
    PutU32(b, OSD_COUNT, n);
    return b;
}

static Bytes BuildPdProgress(const Pd &pd)
{
    Bytes b(PD_PROGRESS_SIZE, 0);
    uint32_t active = 0;
    if (pd.rebuild.active) {
        active |= PD_PROG_REBUILD;
        PutOp(b, PPG_REBUILD_PROGRESS, pd.rebuild);
    }
    if (pd.copyback.active) {
        active |= PD_PROG_COPYBACK;
        PutOp(b, PPG_REBUILD_PROGRESS, pd.copyback);
    }
    if (pd.patrol.active) {
        active |= PD_PROG_PATROL;
        PutOp(b, PPG_PATROL_PROGRESS, pd.patrol);
    }
    PutU32(b, PPG_ACTIVE, active);
    return b;
}

Bytes BuildPdInfo(Controller &c, const Pd &pd)
{
    Bytes b(PD_INFO_SIZE, 0);
    PutU16(b, PI_DEVICE_ID, (uint32_t)pd.devId);
    PutU16(b, PI_SEQ_NUM, (uint32_t)pd.seq);
    PutText(b, PI_VENDOR_ID, pd.vendor, 8);
    PutText(b, PI_PRODUCT_ID, pd.product, 16);
    PutText(b, PI_REVISION, pd.revision, 4);
    b[PI_SCSI_DEV_TYPE] = (uint8_t)pd.scsiType;
    b[PI_DRIVE_SPEED] = (uint8_t)pd.speed;
    PutU32(b, PI_MEDIA_ERRORS, pd.mediaErrors);
    PutU32(b, PI_PRED_FAIL, pd.predFail);
    PutU16(b, PI_FW_STATE, (uint32_t)pd.state);
    b[PI_LINK_SPEED] = (uint8_t)pd.linkSpeed;
    PutU16(b, PI_DDF_TYPE, PdDdfType(c, pd));
    b[PI_PATH_COUNT] = (uint8_t)pd.paths;
    PutU64(b, PI_SAS_ADDR, pd.sasAddr0);
    if (pd.paths > 1)
        PutU64(b, PI_SAS_ADDR + 8, pd.sasAddr1);
    PutU64(b, PI_RAW_SIZE, pd.rawBlocks);
    PutU64(b, PI_COERCED_SIZE, pd.coercedBlocks);
    PutU16(b, PI_ENCL_DEVICE_ID, (uint32_t)pd.enclId);
    b[PI_ENCL_INDEX] = (uint8_t)pd.enclIndex;
    b[PI_SLOT_NUMBER] = (uint8_t)pd.slot;
    Bytes prog = BuildPdProgress(pd);
    std::memcpy(b.data() + PI_PROGRESS_BLOCK, prog.data(), prog.size());
    b[PI_POWER_STATE] = (uint8_t)pd.power;
    PutU32(b, PI_ALLOWED_OPS, PdAllowedOps(c, pd));
    PutU16(b, PI_COPYBACK_PARTNER, (uint32_t)pd.copybackPartner);
    b[PI_MEDIA_TYPE] = (uint8_t)(pd.media & 0xF);
    return b;
}

static Bytes BuildLdProps(const Ld &ld, int currentCache)
{
    Bytes b(LD_PROP_SIZE, 0);
    b[LP_TARGET_ID] = (uint8_t)ld.target;
    PutU16(b, LP_SEQ_NUM, (uint32_t)ld.seq);
    PutText(b, LP_NAME, ld.name, 15);
    b[LP_DEFAULT_CACHE] = (uint8_t)ld.cache;
    b[LP_ACCESS_POLICY] = (uint8_t)ld.access;
    b[LP_DISK_CACHE] = (uint8_t)ld.diskCache;
    b[LP_CURRENT_CACHE] = (uint8_t)currentCache;
    b[LP_SNAPSHOT_FLAGS] = (uint8_t)ld.snapFlags;
    return b;
}

// Write back falls back to write through while the cache-backup unit is missing, learning or
// failed, unless the LD asks for write back also with a bad unit.
static int CurrentCache(const Controller &c, const Ld &ld)
{
    int cache = ld.cache;
    if ((cache & 0x01) && !(cache & 0x10)) {
        const CacheBackup &cb = c.cacheBackup;
        if (!cb.present || cb.learn.active || cb.learnFailed)
            cache &= ~0x01;
    }
    return cache;
}

static Bytes BuildLdProgress(const Ld &ld)
{
    Bytes b(LD_PROGRESS_SIZE, 0);
    uint32_t active = 0;
    if (ld.cc.active) {
        active |= LD_PROG_CC;
        PutOp(b, LPG_CC_PROGRESS, ld.cc);
    }
    if (ld.init.active) {
        active |= LD_PROG_INIT;
        PutOp(b, LPG_INIT_PROGRESS, ld.init);
    }
    PutU32(b, LPG_ACTIVE, active);
    return b;
}

static void PutLdEntry(Controller &c, const Ld &ld, Bytes &b, size_t base)
{
    Bytes props = BuildLdProps(ld, CurrentCache(c, ld));
    std::memcpy(b.data() + base, props.data(), props.size());
    b[base + LI_PRIMARY_RAID] = (uint8_t)ld.primaryRaid;
    b[base + LI_SECONDARY_RAID] = ld.spanDepth >= 2 ? 3 : 0;
    b[base + LI_STRIPE_SIZE] = (uint8_t)ld.stripe;
    b[base + LI_DRIVES_PER_SPAN] = (uint8_t)ld.drivesPerSpan;
    b[base + LI_SPAN_DEPTH] = (uint8_t)ld.spanDepth;
    b[base + LI_STATE] = (uint8_t)LdState(c, ld);
    b[base + LI_INIT_STATE] = (uint8_t)ld.initState;
    b[base + LI_CONSISTENT] = ld.consistent ? 1 : 0;
    b[base + LI_BAD_BLOCKS] = ld.badBlocks ? 1 : 0;
    b[base + LI_SNAPSHOT_BASE] = ld.snap.enabled ? 1 : 0;
    b[base + LI_CACHECADE] = ld.cachecade ? 1 : 0;
    uint64_t perArm = 0;
    for (const Span &sp : ld.spans)
        perArm = std::max(perArm, sp.blocks);
    int n = ld.drivesPerSpan * ld.spanDepth;
    PutU64(b, base + LI_SIZE, perArm * (uint64_t)DataDrives(LdRaidCode(ld), n));
    size_t assoc = std::min<size_t>(ld.ccAssoc.size(), LI_CC_ASSOC_MAX);
    b[base + LI_CC_ASSOC_COUNT] = (uint8_t)assoc;
    for (size_t i = 0; i < assoc; ++i)
        b[base + LI_CC_ASSOC + i] = (uint8_t)ld.ccAssoc[i];
    for (size_t k = 0; k < ld.spans.size() && k < LI_MAX_SPANS; ++k) {
        size_t off = base + LI_SPANS + LI_SPAN_SIZE * k;
        PutU64(b, off + LI_SPAN_START, ld.spans[k].start);
        PutU64(b, off + LI_SPAN_BLOCKS, ld.spans[k].blocks);
        PutU16(b, off + LI_SPAN_ARRAY_REF, (uint32_t)ld.spans[k].arrayRef);
    }
}

Bytes BuildLdInfo(Controller &c, const Ld &ld)
{
    Bytes b(LD_INFO_SIZE, 0);
    PutLdEntry(c, ld, b, 0);
    Bytes prog = BuildLdProgress(ld);
    std::memcpy(b.data() + LI_PROGRESS_BLOCK, prog.data(), prog.size());
    b[LI_REPOSITORY] = ld.repository ? 1 : 0;
    int bases = 0;
    for (const Ld &other : c.lds)
        if (other.snap.enabled && other.snap.repo == ld.target)
            ++bases;
    b[LI_REPO_BASE_COUNT] = (uint8_t)bases;
    uint32_t ops = LdAllowedOps(c, ld);
    PutU32(b, LI_ALLOWED_OPS, ops);
    PutU32(b, LI_CONFIG_OPS, ops);
    return b;
}

Bytes BuildConfig(Controller &c, const std::vector<Array> &arrays, const std::vector<Ld> &lds)
{
    std::vector<const Pd *> spares;
    for (const Pd &p : c.pds)
        if (p.state == PD_STATE_HOT_SPARE)
            spares.push_back(&p);
    size_t total = sizeof(ConfigHeader) + CONFIG_ARRAY_SIZE * arrays.size() + CONFIG_LD_SIZE * lds.size() +
                   CONFIG_SPARE_SIZE * spares.size();
    Bytes b(total, 0);
    PutU32(b, 0, (uint32_t)total);
    PutU16(b, 4, (uint32_t)arrays.size());
    PutU16(b, 6, CONFIG_ARRAY_SIZE);
    PutU16(b, 8, (uint32_t)lds.size());
    PutU16(b, 10, CONFIG_LD_SIZE);
    PutU16(b, 12, (uint32_t)spares.size());
    size_t off = sizeof(ConfigHeader);
    for (const Array &a : arrays) {
        PutU64(b, off + 0, a.size);
        b[off + 8] = (uint8_t)a.arms.size();
        PutU16(b, off + 10, (uint32_t)a.ref);
        for (size_t j = 0; j < a.arms.size() && j < ARRAY_MAX_ARMS; ++j)
            PutU16(b, off + 32 + 8 * j, (uint32_t)a.arms[j]);
        off += CONFIG_ARRAY_SIZE;
    }
    for (const Ld &ld : lds) {
        Bytes entry(LD_INFO_SIZE, 0);
        PutLdEntry(c, ld, entry, 0);
        std::memcpy(b.data() + off, entry.data(), CONFIG_LD_SIZE);
        off += CONFIG_LD_SIZE;
    }
    for (const Pd *p : spares) {
        PutU16(b, off + 0, (uint32_t)p->devId);
        PutU16(b, off + 2, (uint32_t)p->seq);
        b[off + 4] = p->spare == SPARE_DEDICATED ? SPARE_TYPE_DEDICATED : 0;
        size_t n = std::min<size_t>(p->spareArrays.size(), 16);
        b[off + 5] = (uint8_t)n;
        for (size_t i = 0; i < n; ++i)
            PutU16(b, off + 8 + 2 * i, (uint32_t)p->spareArrays[i]);
        off += CONFIG_SPARE_SIZE;
    }
    return b;
}

static Bytes BuildArrayInfo(Controller &c, const Array &a)
{
    Bytes b(ARRAY_INFO_SIZE, 0);
    PutU64(b, 0, a.size);
    b[AI_DRIVE_COUNT] = (uint8_t)a.arms.size();
    PutU16(b, AI_ARRAY_REF, (uint32_t)a.ref);
    for (size_t j = 0; j < a.arms.size() && j < ARRAY_MAX_ARMS; ++j)
        PutU16(b, AI_ARMS + 8 * j, (uint32_t)a.arms[j]);
    std::vector<Ld *> lds = LdsOnArray(c, a.ref);
    PutU32(b, AI_LD_COUNT, (uint32_t)lds.size());
    for (size_t k = 0; k < lds.size() && k < LD_MAX; ++k) {
        size_t off = AI_LDS + AI_LD_ENTRY_SIZE * k;
        b[off] = (uint8_t)lds[k]->target;
        for (const Span &sp : lds[k]->spans)
            if (sp.arrayRef == a.ref) {
                PutU64(b, off + 8, sp.start);
                PutU64(b, off + 16, sp.blocks);
            }
    }
    return b;
}

static Bytes BuildPciInfo(const Controller &c)
{
    Bytes b(PCI_INFO_SIZE, 0);
    PutU32(b, PCI_BUS, (uint32_t)c.pciBus);
    b[PCI_DEVICE] = (uint8_t)c.pciDevice;
    b[PCI_FUNCTION] = (uint8_t)c.pciFunction;
    PutU16(b, PCI_VENDOR_ID, (uint32_t)c.vendorId);
    PutU16(b, PCI_DEVICE_ID, (uint32_t)c.deviceId);
    PutU16(b, PCI_SUBVENDOR_ID, (uint32_t)c.subVendorId);
    PutU16(b, PCI_SUBDEVICE_ID, (uint32_t)c.subDeviceId);
    return b;
}

static Bytes BuildDriverVersion(const Controller &c)
{
    Bytes b(DRV_VER_SIZE, 0);
    PutText(b, DV_NAME, c.driverName, DV_NAME_LEN - 1);
    PutText(b, DV_DATE, c.driverDate, DV_DATE_LEN - 1);
    PutText(b, DV_VERSION, c.driverVersion, DV_VERSION_LEN - 1);
    return b;
}

uint32_t QueryCtrl(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    switch (p.cmd) {
    case SLCMD_CTRL_INFO: out = BuildCtrlInfo(c); return ST_OK;
    case SLCMD_CTRL_GET_PROP: out = BuildCtrlProps(c); return ST_OK;
    case SLCMD_CTRL_PD_LIST: out = BuildPdList(c); return ST_OK;
    case SLCMD_CTRL_ENCL_LIST: out = BuildEnclList(c); return ST_OK;
    case SLCMD_CTRL_PCI_INFO: out = BuildPciInfo(c); return ST_OK;
    case SLCMD_CTRL_OS_DRIVE_NAME: out = BuildOsDriveNames(c); return ST_OK;
    case SLCMD_CTRL_LD_LIST: out = BuildLdList(c); return ST_OK;
    case SLCMD_CTRL_GET_PR_PROP: out = BuildPatrolProps(c); return ST_OK;
    case SLCMD_CTRL_DRV_VER: out = BuildDriverVersion(c); return ST_OK;
    default: return ST_BAD_CMD;
    }
}

uint32_t QueryPd(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    Pd *pd = FindPdByDev(c, p.ref1);
    if (!pd)
        return ST_DEVICE;
    switch (p.cmd) {
    case SLCMD_PD_INFO: out = BuildPdInfo(c, *pd); return ST_OK;
    case SLCMD_PD_PROGRESS: out = BuildPdProgress(*pd); return ST_OK;
    case SLCMD_PD_ALLOWED_OPS:
        out.assign(4, 0);
        PutU32(out, 0, PdAllowedOps(c, *pd));
        return ST_OK;
    default: return ST_BAD_CMD;
    }
}

uint32_t QueryLd(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    Ld *ld = FindLd(c, p.ref2 & 0xFF);
    if (!ld)
        return ST_DEVICE;
    switch (p.cmd) {
    case SLCMD_LD_INFO: out = BuildLdInfo(c, *ld); return ST_OK;
    case SLCMD_LD_GET_PROP: out = BuildLdProps(*ld, CurrentCache(c, *ld)); return ST_OK;
    case SLCMD_LD_PROGRESS: out = BuildLdProgress(*ld); return ST_OK;
    case SLCMD_LD_PD_IN_LD: {
        out.assign(PD_IN_LD_SIZE, 0);
        std::vector<int> devs = LdMemberDevs(c, *ld);
        size_t n = std::min<size_t>(devs.size(), 256);
        PutU32(out, 0, (uint32_t)n);
        for (size_t i = 0; i < n; ++i)
            PutU16(out, 4 + 2 * i, (uint32_t)devs[i]);
        return ST_OK;
    }
    case SLCMD_LD_ALLOWED_OPS:
        out.assign(4, 0);
        PutU32(out, 0, LdAllowedOps(c, *ld));
        return ST_OK;
    default: return ST_BAD_CMD;
    }
}

uint32_t QueryConfig(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    if (p.cmd == SLCMD_CFG_READ) {
        out = BuildConfig(c, c.arrays, c.lds);
        return ST_OK;
    }
    if (p.cmd == SLCMD_CFG_ARRAY_INFO) {
        Array *a = FindArray(c, p.ref2);
        if (!a)
            return ST_ARRAY_INDEX;
        out = BuildArrayInfo(c, *a);
        return ST_OK;
    }
    return ST_BAD_CMD;
}

uint32_t QueryCacheBackup(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    const CacheBackup &cb = c.cacheBackup;
    if (!cb.present)
        return ST_HW_MISSING;
    switch (p.cmd) {
    case SLCMD_CB_STATUS: {
        out.assign(CACHEBKUP_STATUS_SIZE, 0);
        out[CBS_TYPE] = (uint8_t)cb.type;
        PutU16(out, CBS_VOLTAGE, (uint32_t)cb.voltage);
        PutU16(out, CBS_CURRENT, (uint32_t)(uint16_t)(int16_t)(cb.learn.active ? -1200 : cb.current));
        PutU16(out, CBS_TEMPERATURE, (uint32_t)cb.temperature);
        uint32_t fw = 0;
        if (cb.learn.active)
            fw |= CBS_LEARN_ACTIVE | CBS_DISCHARGING;
        else if (cb.relCharge < 100)
            fw |= CBS_CHARGING;
        if (cb.learnFailed)
            fw |= CBS_LEARN_FAILED;
        PutU32(out, CBS_FW_STATUS, fw);
        out[CBS_RELATIVE_CHARGE] = (uint8_t)cb.relCharge;
        out[CBS_LEARN_PROGRESS] = (uint8_t)(cb.learn.active ? (int)(cb.learn.progress * 100) : 0);
        int remaining = cb.learn.active ? (int)(cb.remaining * (1.0 - 0.5 * cb.learn.progress)) : cb.remaining;
        out[CBS_REMAINING_LOW] = (uint8_t)(remaining & 0xFF);
        out[CBS_REMAINING_HIGH] = (uint8_t)((remaining >> 8) & 0xFF);
        return ST_OK;
    }
    case SLCMD_CB_DESIGN:
        out.assign(CACHEBKUP_DESIGN_SIZE, 0);
        PutU32(out, CBD_MANUFACTURE_DATE, 0x2012A1);
        PutU16(out, CBD_DESIGN_CAPACITY, (uint32_t)cb.fullCapacity);
        PutU16(out, CBD_DESIGN_VOLTAGE, 3700);
        PutU16(out, CBD_SERIAL, (uint32_t)cb.serial);
        PutText(out, CBD_MANUFACTURER, cb.manufacturer, 15);
        PutText(out, CBD_DEVICE_NAME, cb.deviceName, 15);
        PutText(out, CBD_CHEMISTRY, cb.chemistry, 7);
        return ST_OK;
    case SLCMD_CB_PROP:
        out.assign(CACHEBKUP_PROP_SIZE, 0);
        PutU32(out, CBP_LEARN_PERIOD, cb.period);
        PutU32(out, CBP_NEXT_LEARN, cb.nextLearn);
        out[CBP_AUTO_LEARN_MODE] = (uint8_t)cb.mode;
        return ST_OK;
    default:
        return ST_BAD_CMD;
    }
}

static const Enclosure *FindEncl(const Controller &c, int devId)
{
    for (const Enclosure &e : c.enclosures)
        if (e.devId == devId)
            return &e;
    return nullptr;
}

static void PutSensors(Bytes &b, size_t off, const std::vector<Sensor> &v)
{
    for (size_t i = 0; i < v.size() && i < ES_SENSOR_MAX; ++i) {
        b[off + ES_SENSOR_SIZE * i + ES_SENSOR_STATUS] = (uint8_t)v[i].status;
        PutU16(b, off + ES_SENSOR_SIZE * i + ES_SENSOR_VALUE, (uint32_t)(uint16_t)(int16_t)v[i].value);
    }
}

uint32_t QueryEnclosure(State &s, Controller &c, const LibCmdPacket &p, Bytes &out)
{
    (void)s;
    const Enclosure *e = FindEncl(c, p.ref1);
    if (!e)
        return ST_DEVICE;
    switch (p.cmd) {
    case SLCMD_ENCL_CONFIG:
        out.assign(ENCL_CONFIG_SIZE, 0);
        PutU16(out, EC_DEVICE_ID, (uint32_t)e->devId);
        out[EC_INDEX] = (uint8_t)e->index;
        out[EC_SLOT_COUNT] = (uint8_t)e->slots;
        out[EC_TEMP_COUNT] = (uint8_t)std::min<size_t>(e->temps.size(), ES_SENSOR_MAX);
        out[EC_FAN_COUNT] = (uint8_t)std::min<size_t>(e->fans.size(), ES_SENSOR_MAX);
        out[EC_PSU_COUNT] = (uint8_t)std::min<size_t>(e->psus.size(), ES_SENSOR_MAX);
        out[EC_VOLT_COUNT] = (uint8_t)std::min<size_t>(e->volts.size(), ES_SENSOR_MAX);
        out[EC_MODEL] = (uint8_t)e->model;
        out[EC_LOCATION] = (uint8_t)e->location;
        PutText(out, EC_VENDOR_ID, e->vendor, 8);
        PutText(out, EC_PRODUCT_ID, e->product, 16);
        PutText(out, EC_REVISION, e->revision, 4);
        return ST_OK;
    case SLCMD_ENCL_STATUS:
        out.assign(ENCL_STATUS_SIZE, 0);
        PutU16(out, ES_DEVICE_ID, (uint32_t)e->devId);
        PutSensors(out, ES_TEMPS, e->temps);
        PutSensors(out, ES_FANS, e->fans);
        PutSensors(out, ES_PSUS, e->psus);
        PutSensors(out, ES_VOLTS, e->volts);
        return ST_OK;
    case SLCMD_ENCL_SAS_CONNECTOR:
        out.assign(ENCL_SAS_CONNECTOR_SIZE, 0);
        PutText(out, ESC_NAME, e->connector, ESC_NAME_LEN - 1);
        return ST_OK;
    default:
        return ST_BAD_CMD;
    }
}

// LOG SENSE of a drive: the supported-pages page and the temperature page.
uint32_t ScsiPassThrough(Controller &c, ScsiPassThru &blk)
{
    Pd *pd = FindPdByDev(c, blk.deviceId);
    if (!pd || pd->scsiType != 0)
        return ST_DEVICE;
    if (blk.cdbLength < 10 || blk.cdb[0] != SCSI_LOG_SENSE)
        return 0x2E;
    std::memset(blk.data, 0, sizeof(blk.data));
    std::memset(blk.sense, 0, sizeof(blk.sense));
    int page = blk.cdb[2] & 0x3F;
    if (page == LOG_PAGE_SUPPORTED) {
        std::vector<uint8_t> pages = {0x00, 0x02, 0x03, 0x05, 0x06};
        if (pd->tempPage)
            pages.push_back(LOG_PAGE_TEMPERATURE);
        pages.insert(pages.end(), {0x0E, 0x0F, 0x10, 0x15, 0x18, 0x1A, 0x2F});
        blk.data[0] = 0;
        blk.data[3] = (uint8_t)pages.size();
        for (size_t i = 0; i < pages.size() && 4 + i < sizeof(blk.data); ++i)
            blk.data[4 + i] = pages[i];
        blk.scsiStatus = 0;
        return ST_OK;
    }
    if (page == LOG_PAGE_TEMPERATURE && pd->tempPage) {
        blk.data[0] = LOG_PAGE_TEMPERATURE;
        blk.data[3] = 12;
        blk.data[7] = 2;
        blk.data[LOG_TEMP_BYTE] = (uint8_t)pd->temperature;
        blk.data[11] = 1;
        blk.data[15] = 2;
        blk.data[17] = 65;
        blk.scsiStatus = 0;
        return ST_OK;
    }
    // Unsupported page: CHECK CONDITION, ILLEGAL REQUEST, INVALID FIELD IN CDB.
    blk.scsiStatus = 2;
    blk.sense[0] = 0x70;
    blk.sense[2] = 0x05;
    blk.sense[12] = 0x24;
    return 0x2D;
}

} // namespace sim
