// Scenarios: readable build recipes (controllers, enclosures, drives by slot range, LDs by RAID
// level and slots, hot spares, foreign configurations, events such as a drive failure) turned
// into a full simulator state. LDs are built through the same path as the creation command.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "SimCore.h"

namespace sim {

using nlohmann::json;

static std::runtime_error Bad(const std::string &what)
{
    return std::runtime_error(what);
}

static bool Leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// "YYYY-MM-DD HH:MM:SS" (time optional) as seconds since 2000-01-01 00:00:00.
bool SecondsFromDateText(const std::string &text, double &seconds)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int n = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    if (n != 3 && n != 6)
        return false;
    if (y < 2000 || y > 2135 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || h < 0 ||
        mi < 0 || s < 0)
        return false;
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long days = 0;
    for (int yy = 2000; yy < y; ++yy)
        days += Leap(yy) ? 366 : 365;
    for (int m = 1; m < mo; ++m)
        days += len[m - 1] + (m == 2 && Leap(y) ? 1 : 0);
    if (d > len[mo - 1] + (mo == 2 && Leap(y) ? 1 : 0))
        return false;
    days += d - 1;
    seconds = (double)days * 86400.0 + h * 3600 + mi * 60 + s;
    return true;
}

std::string DateTextFromSeconds(double seconds)
{
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long total = (long long)seconds;
    long days = (long)(total / 86400);
    int rest = (int)(total % 86400);
    int y = 2000;
    while (days >= (Leap(y) ? 366 : 365)) {
        days -= Leap(y) ? 366 : 365;
        ++y;
    }
    int m = 1;
    while (days >= len[m - 1] + (m == 2 && Leap(y) ? 1 : 0)) {
        days -= len[m - 1] + (m == 2 && Leap(y) ? 1 : 0);
        ++m;
    }
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d", y, m, (int)days + 1, rest / 3600,
                  rest / 60 % 60, rest % 60);
    return buf;
}

// Slots as a number, a list of numbers, or a text of ranges ("0-7", "0-3,6").
static std::vector<int> SlotList(const json &v)
{
    std::vector<int> slots;
    if (v.is_number_integer()) {
        slots.push_back(v.get<int>());
    } else if (v.is_array()) {
        for (const json &x : v)
            slots.push_back(x.get<int>());
    } else if (v.is_string()) {
        std::string text = v.get<std::string>();
        size_t pos = 0;
        while (pos < text.size()) {
            size_t comma = text.find(',', pos);
            std::string part = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
            int a = 0, b = 0;
            if (std::sscanf(part.c_str(), "%d-%d", &a, &b) == 2) {
                for (int i = a; i <= b; ++i)
                    slots.push_back(i);
            } else if (std::sscanf(part.c_str(), "%d", &a) == 1) {
                slots.push_back(a);
            } else {
                throw Bad("bad slot range \"" + text + "\"");
            }
            if (comma == std::string::npos)
                break;
            pos = comma + 1;
        }
    } else {
        throw Bad("slots must be a number, a list or a range text");
    }
    for (int s : slots)
        if (s < 0 || s > 254)
            throw Bad("slot " + std::to_string(s) + " out of range");
    return slots;
}

static uint64_t BlocksFromGb(double gb)
{
    return (uint64_t)(gb * 2097152.0);
}

// Drives report a coerced size rounded down to 128 MB, as controllers do.
static uint64_t Coerce(uint64_t raw)
{
    const uint64_t unit = 262144;
    return raw > unit ? (raw / unit) * unit : raw;
}

static void AddDrives(Controller &c, const json &desc)
{
    std::vector<int> slots = SlotList(desc.at("slots"));
    Pd model;
    model.vendor = desc.value("vendor", model.vendor);
    model.product = desc.value("product", model.product);
    model.revision = desc.value("revision", model.revision);
    std::string media = desc.value("media", std::string("hdd"));
    std::string iface = desc.value("iface", std::string("sas"));
    if (media != "hdd" && media != "ssd")
        throw Bad("media must be hdd or ssd");
    if (iface != "sas" && iface != "sata")
        throw Bad("iface must be sas or sata");
    model.media = media == "ssd" ? 1 : 0;
    model.iface = iface == "sata" ? 3 : 2;
    model.speed = desc.value("speed", iface == "sata" ? 2 : 3);
    model.linkSpeed = desc.value("link_speed", model.speed);
    model.rawBlocks = desc.contains("blocks") ? desc["blocks"].get<uint64_t>() : BlocksFromGb(desc.value("size_gb", 279.396));
    model.coercedBlocks = Coerce(model.rawBlocks);
    model.temperature = desc.value("temperature", 32);
    model.tempPage = desc.value("temp_page", true);
    model.paths = desc.value("paths", iface == "sata" ? 1 : 2);
    model.mediaErrors = desc.value("media_errors", 0u);
    model.predFail = desc.value("pred_fail", 0u);
    int enclId = desc.value("enclosure", c.enclosures.empty() ? 0xFFFF : c.enclosures[0].devId);
    int enclIndex = 0;
    bool inEnclosure = false;
    for (const Enclosure &e : c.enclosures)
        if (e.devId == enclId) {
            enclIndex = e.index;
            inEnclosure = true;
        }
    if (!inEnclosure)
        enclId = 0xFFFF;
    for (int slot : slots) {
        if (FindPdBySlot(c, slot))
            throw Bad("slot " + std::to_string(slot) + " holds two drives");
        Pd pd = model;
        pd.slot = slot;
        pd.devId = c.nextDevId++;
        pd.enclId = enclId;
        pd.enclIndex = enclIndex;
        pd.sasAddr0 = c.sasBase + 0x1000 + (uint64_t)pd.devId * 4;
        pd.sasAddr1 = pd.paths > 1 ? pd.sasAddr0 + 0x800000000ull : 0;
        c.pds.push_back(pd);
    }
}

static int RaidCode(int raid)
{
    switch (raid) {
    case 0: return 0;
    case 1: return 1;
    case 5: return 2;
    case 6: return 3;
    case 10: return 4;
    default: throw Bad("raid must be 0, 1, 5, 6 or 10");
    }
}

static uint64_t GroupCapacity(Controller &c, int code, const std::vector<int> &slots)
{
    uint64_t smallest = UINT64_MAX;
    for (int s : slots) {
        Pd *pd = FindPdBySlot(c, s);
        if (!pd)
            throw Bad("no drive in slot " + std::to_string(s));
        smallest = std::min(smallest, pd->coercedBlocks);
    }
    return smallest * (uint64_t)DataDrives(code, (int)slots.size());
}

// One RAID group with its LDs, created through the creation request.
static void AddGroup(State &s, Controller &c, const json &desc, std::vector<int> &targetsOut)
{
    int code = RaidCode(desc.at("raid").get<int>());
    std::vector<int> slots = SlotList(desc.at("slots"));
    int count = desc.value("count", 1);
    if (desc.contains("sizes_gb"))
        count = (int)desc["sizes_gb"].size();
    if (count < 1 || count > RG_LD_MAX)
        throw Bad("an LD group holds 1 to 16 LDs");
    LdCreateRequest *req = new LdCreateRequest;
    std::memset(req, 0, sizeof(*req));
    req->groupCount = 1;
    RgEntry &g = req->groups[0];
    g.raidLevel = code;
    g.ldCount = (uint8_t)count;
    g.pdCount = (uint16_t)slots.size();
    for (size_t i = 0; i < slots.size() && i < RG_PD_MAX; ++i)
        g.pds[i] = (uint8_t)slots[i];
    g.stripeSize = (uint8_t)desc.value("stripe", 7);
    g.cachePolicy = (uint8_t)desc.value("cache", c.cacheBackup.present ? 0x01 : 0x00);
    g.accessPolicy = (uint8_t)desc.value("access", 0);
    g.diskCachePolicy = (uint8_t)desc.value("disk_cache", 2);
    uint64_t capacity = GroupCapacity(c, code, slots);
    std::vector<int> taken;
    for (int i = 0; i < count; ++i) {
        LdSlot &slot = g.lds[i];
        int target = FreeTarget(c, taken);
        if (desc.contains("targets"))
            target = desc["targets"].at(i).get<int>();
        taken.push_back(target);
        slot.ldNo = (uint8_t)target;
        std::string name = "LD_" + std::to_string(target);
        if (desc.contains("names"))
            name = desc["names"].at(i).get<std::string>();
        else if (desc.contains("name") && count == 1)
            name = desc["name"].get<std::string>();
        std::strncpy(slot.name, name.c_str(), sizeof(slot.name) - 1);
        slot.size = desc.contains("sizes_gb") ? BlocksFromGb(desc["sizes_gb"].at(i).get<double>()) : capacity / count;
        slot.init = 0;
    }
    uint32_t st = CreateLds(s, c, *req, desc.value("cachecade", false));
    delete req;
    if (st != ST_OK) {
        char buf[64];
        std::snprintf(buf, sizeof(buf), "LD group refused by the controller (status 0x%X)", (unsigned)st);
        throw Bad(buf);
    }
    for (size_t i = 0; i < taken.size(); ++i) {
        Ld *ld = FindLd(c, taken[i]);
        ld->consistent = desc.value("consistent", true);
        ld->osDrive = desc.value("os_drive", std::string());
        if (desc.contains("os_drives"))
            ld->osDrive = desc["os_drives"].at(i).get<std::string>();
        targetsOut.push_back(taken[i]);
    }
}

static void AddSpare(Controller &c, const json &desc)
{
    Pd *pd = FindPdBySlot(c, desc.at("slot").get<int>());
    if (!pd || pd->state != PD_STATE_UNCONF_GOOD)
        throw Bad("hot spare slot holds no unconfigured drive");
    pd->state = PD_STATE_HOT_SPARE;
    pd->spare = SPARE_GLOBAL;
    if (desc.contains("dedicated_to_ld")) {
        Ld *ld = FindLd(c, desc["dedicated_to_ld"].get<int>());
        if (!ld)
            throw Bad("dedicated spare names an unknown LD");
        pd->spare = SPARE_DEDICATED;
        for (const Span &sp : ld->spans)
            pd->spareArrays.push_back(sp.arrayRef);
    }
}

// A foreign configuration: the group is built like a local one, then moved aside.
static void AddForeign(State &s, Controller &c, const json &desc)
{
    Controller scratch = c;
    scratch.lds.clear();
    scratch.arrays.clear();
    std::vector<int> targets;
    json group = desc;
    AddGroup(s, scratch, group, targets);
    Foreign f;
    f.arrays = scratch.arrays;
    f.lds = scratch.lds;
    for (Ld &l : f.lds) {
        l.init = Op();
        l.consistent = true;
    }
    for (const Array &a : f.arrays)
        for (int d : a.arms) {
            f.pds.push_back(d);
            Pd *pd = FindPdByDev(c, d);
            pd->foreign = true;
            pd->state = PD_STATE_UNCONF_GOOD;
        }
    c.foreign.push_back(f);
}

static uint32_t RunDcmd(State &s, Controller &c, uint32_t opcode, int target, uint32_t arg, void *data, uint32_t size)
{
    DcmdFrame f;
    std::memset(&f, 0, sizeof(f));
    f.opcode = opcode;
    f.dataSize = size;
    f.direction = data ? DCMD_DIR_TO_CTRL : DCMD_DIR_NONE;
    f.mailbox[0] = (uint8_t)target;
    Ld *ld = FindLd(c, target);
    if (ld)
        LayoutPutU16(f.mailbox, DCMD_MBOX_LD_SEQ, (uint16_t)ld->seq);
    LayoutPutU32(f.mailbox, DCMD_MBOX_ARG, arg);
    f.dataPtr = (uint32_t)(uintptr_t)data;
    bool changed = false;
    return Dcmd(s, c, f, changed);
}

static void Check(uint32_t st, const std::string &what)
{
    if (st != ST_OK) {
        char buf[32];
        std::snprintf(buf, sizeof(buf), " (status 0x%X)", (unsigned)st);
        throw Bad(what + " refused" + buf);
    }
}

static void RunEvent(State &s, Controller &c, const json &ev)
{
    if (ev.contains("fail")) {
        Pd *pd = FindPdBySlot(c, ev["fail"].get<int>());
        if (!pd)
            throw Bad("fail: no drive in that slot");
        FailPd(s, c, *pd);
    } else if (ev.contains("pull")) {
        Pd *pd = FindPdBySlot(c, ev["pull"].get<int>());
        if (!pd)
            throw Bad("pull: no drive in that slot");
        PullPd(s, c, *pd);
    } else if (ev.contains("advance")) {
        AdvanceClock(s, ev["advance"].get<double>());
    } else if (ev.contains("start_init") || ev.contains("start_cc")) {
        bool init = ev.contains("start_init");
        Ld *ld = FindLd(c, (init ? ev["start_init"] : ev["start_cc"]).get<int>());
        if (!ld)
            throw Bad("start: unknown LD");
        (init ? ld->init : ld->cc) = Op();
        (init ? ld->init : ld->cc).active = true;
        if (init)
            ld->consistent = false;
    } else if (ev.contains("patrol")) {
        StartPatrol(c);
    } else if (ev.contains("learn")) {
        c.cacheBackup.learn = Op();
        c.cacheBackup.learn.active = true;
    } else if (ev.contains("enable_snapshot")) {
        const json &e = ev["enable_snapshot"];
        SnapshotEnableRequest req;
        std::memset(&req, 0, sizeof(req));
        req.repoTargetId = (uint8_t)e.at("repo").get<int>();
        req.areaBlocks = BlocksFromGb(e.at("area_gb").get<double>());
        Check(RunDcmd(s, c, DCMD_SNAPSHOT_ENABLE, e.at("base").get<int>(), 0, &req, sizeof(req)), "enable_snapshot");
    } else if (ev.contains("snapshot")) {
        const json &e = ev["snapshot"];
        SnapshotPitRequest req;
        std::memset(&req, 0, sizeof(req));
        std::strncpy(req.name, e.at("name").get<std::string>().c_str(), sizeof(req.name) - 1);
        Check(RunDcmd(s, c, DCMD_SNAPSHOT_CREATE_PIT, e.at("ld").get<int>(), 0, &req, sizeof(req)), "snapshot");
    } else if (ev.contains("view")) {
        const json &e = ev["view"];
        SnapshotViewRequest req;
        std::memset(&req, 0, sizeof(req));
        req.pitNumber = e.at("pit").get<uint32_t>();
        std::strncpy(req.name, e.at("name").get<std::string>().c_str(), sizeof(req.name) - 1);
        Check(RunDcmd(s, c, DCMD_SNAPSHOT_CREATE_VIEW, e.at("ld").get<int>(), 0, &req, sizeof(req)), "view");
    } else {
        throw Bad("unknown event " + ev.dump());
    }
}

static const char *const kRecipeKeys[] = {"enclosures", "drives", "lds", "spares", "foreign", "cache_backup", "events"};

static Controller BuildController(State &s, const json &desc, size_t index)
{
    json base = Controller();
    json overrides = desc;
    for (const char *key : kRecipeKeys)
        overrides.erase(key);
    base.merge_patch(overrides);
    Controller c = base.get<Controller>();
    if (!desc.contains("id"))
        c.id = (uint32_t)index;
    c.pciBus = desc.value("pciBus", 2 + (int)index);
    c.sasBase = desc.contains("sasBase") ? c.sasBase : 0x500605B001234500ull + ((uint64_t)index << 16);
    c.nextDevId = desc.value("nextDevId", 8);
    if (desc.contains("cache_backup") && !desc["cache_backup"].is_boolean()) {
        json cb = CacheBackup();
        cb.merge_patch(desc["cache_backup"]);
        c.cacheBackup = cb.get<CacheBackup>();
        c.cacheBackup.present = true;
    } else {
        c.cacheBackup.present = desc.value("cache_backup", false);
    }
    if (desc.contains("enclosures")) {
        int i = 0;
        for (const json &e : desc["enclosures"]) {
            json ej = Enclosure();
            ej["index"] = i++;
            ej["temps"] = json::array({json{{"status", 1}, {"value", 31}}, json{{"status", 1}, {"value", 35}}});
            ej["fans"] = json::array({json{{"status", 1}, {"value", 5400}}, json{{"status", 1}, {"value", 5350}}});
            ej["psus"] = json::array({json{{"status", 1}, {"value", 3}}, json{{"status", 5}, {"value", 0}}});
            ej["volts"] = json::array({json{{"status", 1}, {"value", 5020}}, json{{"status", 1}, {"value", 12110}}});
            ej.merge_patch(e);
            c.enclosures.push_back(ej.get<Enclosure>());
        }
    }
    if (desc.contains("drives"))
        for (const json &d : desc["drives"])
            AddDrives(c, d);
    if (!desc.contains("slotCount")) {
        int slots = 0;
        for (const Enclosure &e : c.enclosures)
            slots += e.kind == ENCL_KIND_VIRTUAL ? 0 : e.slots;
        for (const Pd &pd : c.pds)
            slots = std::max(slots, pd.slot + 1);
        c.slotCount = slots;
    }
    std::vector<int> targets;
    if (desc.contains("lds"))
        for (const json &g : desc["lds"])
            AddGroup(s, c, g, targets);
    if (desc.contains("spares"))
        for (const json &sp : desc["spares"])
            AddSpare(c, sp);
    if (desc.contains("foreign"))
        for (const json &f : desc["foreign"])
            AddForeign(s, c, f);
    if (c.patrol.mode == PR_MODE_AUTO && c.patrol.nextExec == 0)
        c.patrol.nextExec = Now(s) + c.patrol.interval;
    if (c.cacheBackup.present && c.cacheBackup.nextLearn == 0)
        c.cacheBackup.nextLearn = Now(s) + c.cacheBackup.period;
    return c;
}

bool BuildScenario(const std::string &text, const std::string &name, State &out, std::string &error)
{
    try {
        json j = json::parse(text);
        State s;
        s.scenario = j.value("name", name);
        s.clock.seconds = 0;
        std::string clock = j.value("clock", std::string("2026-01-15 09:00:00"));
        if (!SecondsFromDateText(clock, s.clock.seconds))
            throw Bad("bad clock \"" + clock + "\"");
        s.clock.speed = j.value("speed", 0.0);
        s.listFlags = j.value("listFlags", 0);
        const json &ctrls = j.value("controllers", json::array());
        if (ctrls.size() > MAX_CONTROLLERS)
            throw Bad("at most 16 controllers");
        for (size_t i = 0; i < ctrls.size(); ++i) {
            s.ctrls.push_back(BuildController(s, ctrls[i], i));
            const json &events = ctrls[i].value("events", json::array());
            for (const json &ev : events)
                RunEvent(s, s.ctrls.back(), ev);
        }
        out = s;
        return true;
    } catch (const std::exception &e) {
        error = e.what();
        return false;
    }
}

} // namespace sim
