// The commands of zavsim.exe: load scenarios, show and dump the state, fault rules, journal,
// clock and changes to drives, LDs, foreign configurations, cache-backup unit and controller.
// Every change runs under the state file's lock, like the packets of storelib.dll.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

#include "SimCore.h"

namespace sim {

namespace {

struct Refusal {
    std::string text;
};

[[noreturn]] void Refuse(const std::string &text)
{
    throw Refusal{text};
}

const char kUsage[] =
    "usage: zavsim <command>\n"
    "  help | scenarios | load <name|file.json> | show | dump\n"
    "  fault add <type> <cmd> <status> [opcode=0x..] [ref1=N] [ref2=N] [slot=N] [ld=N] [ctrl=N] [count=N]\n"
    "  fault list | fault clear | journal | journal clear\n"
    "  clock | clock advance <seconds> | clock speed <factor> | clock set <YYYY-MM-DD> [HH:MM:SS]\n"
    "  pd fail|pull <ctrl> <slot> | pd insert <ctrl> <slot> [size_gb=N] [media=hdd|ssd] [iface=sas|sata]\n"
    "  pd set <ctrl> <slot> key=value...   (state, media_errors, pred_fail, temperature, temp_page, speed,\n"
    "                                       link_speed, power, foreign)\n"
    "  ld degrade <ctrl> <ld> | ld set <ctrl> <ld> key=value...   (consistent, bad_blocks, os_drive, name)\n"
    "  foreign add <ctrl> <raid> <slot,slot,...>\n"
    "  cb set <ctrl> key=value...   (present, type, voltage, current, temperature, remaining, full, mode,\n"
    "                                period_days, learn_failed)\n"
    "  ctrl set <ctrl> key=value... (product, serial, snapshot, cachecade, fastpath, max_lds, max_spares,\n"
    "                                auto_rebuild, copyback)\n";

long long Number(const std::string &text, const char *what)
{
    if (text.empty())
        Refuse(std::string("missing ") + what);
    char *end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (!end || *end != '\0')
        Refuse(std::string("bad ") + what + " \"" + text + "\"");
    return v;
}

double Real(const std::string &text, const char *what)
{
    char *end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || !end || *end != '\0')
        Refuse(std::string("bad ") + what + " \"" + text + "\"");
    return v;
}

std::string Arg(const std::vector<std::string> &a, size_t i, const char *what)
{
    if (i >= a.size())
        Refuse(std::string("missing ") + what);
    return a[i];
}

std::map<std::string, std::string> KeyValues(const std::vector<std::string> &a, size_t from)
{
    std::map<std::string, std::string> kv;
    for (size_t i = from; i < a.size(); ++i) {
        size_t eq = a[i].find('=');
        if (eq == std::string::npos || eq == 0)
            Refuse("expected key=value, got \"" + a[i] + "\"");
        kv[a[i].substr(0, eq)] = a[i].substr(eq + 1);
    }
    return kv;
}

bool Flag(const std::string &v, const std::string &key)
{
    if (v == "1" || v == "yes" || v == "on")
        return true;
    if (v == "0" || v == "no" || v == "off")
        return false;
    Refuse("bad value for " + key + " \"" + v + "\" (0 or 1)");
}

Controller &Ctrl(State &s, const std::string &text)
{
    long long n = Number(text, "controller number");
    Controller *c = CtrlByNumber(s, (int)n);
    if (!c)
        Refuse("no controller " + text);
    return *c;
}

Pd &Drive(Controller &c, const std::string &text)
{
    long long slot = Number(text, "slot");
    Pd *pd = FindPdBySlot(c, (int)slot);
    if (!pd)
        Refuse("no drive in slot " + text);
    return *pd;
}

Ld &LogicalDrive(Controller &c, const std::string &text)
{
    Ld *ld = FindLd(c, (int)Number(text, "LD number"));
    if (!ld)
        Refuse("no LD " + text);
    return *ld;
}

int StateCode(const std::string &v)
{
    static const std::map<std::string, int> names = {
        {"good", PD_STATE_UNCONF_GOOD}, {"bad", PD_STATE_UNCONF_BAD}, {"spare", PD_STATE_HOT_SPARE},
        {"offline", PD_STATE_OFFLINE},  {"failed", PD_STATE_FAILED},  {"rebuild", PD_STATE_REBUILD},
        {"online", PD_STATE_ONLINE},    {"copyback", PD_STATE_COPYBACK}};
    auto it = names.find(v);
    if (it != names.end())
        return it->second;
    return (int)Number(v, "state");
}

// ---- commands that change the state; each returns the journal note ----

std::string FaultAdd(State &s, const std::vector<std::string> &a)
{
    FaultRule f;
    f.type = (int)Number(Arg(a, 2, "type"), "type");
    f.cmd = (int)Number(Arg(a, 3, "cmd"), "cmd");
    f.status = (uint32_t)Number(Arg(a, 4, "status"), "status");
    if (f.type < 0 || f.type > 255 || f.cmd < 0 || f.cmd > 255)
        Refuse("type and cmd are bytes");
    for (const auto &kv : KeyValues(a, 5)) {
        long long v = Number(kv.second, kv.first.c_str());
        if (kv.first == "opcode")
            f.opcode = v;
        else if (kv.first == "ref1")
            f.ref1 = (int)v;
        else if (kv.first == "ref2")
            f.ref2 = (int)v;
        else if (kv.first == "slot")
            f.slot = (int)v;
        else if (kv.first == "ld")
            f.ld = (int)v;
        else if (kv.first == "ctrl")
            f.ctrl = (int)v;
        else if (kv.first == "count") {
            if (v < 1)
                Refuse("count must be 1 or more");
            f.count = (int)v;
        } else
            Refuse("unknown fault condition \"" + kv.first + "\"");
    }
    s.faults.push_back(f);
    return "fault add " + a[2] + " " + a[3] + " " + a[4];
}

std::string PdCommand(State &s, const std::vector<std::string> &a)
{
    std::string verb = Arg(a, 1, "pd command");
    Controller &c = Ctrl(s, Arg(a, 2, "controller"));
    std::string slotText = Arg(a, 3, "slot");
    if (verb == "fail") {
        Pd &pd = Drive(c, slotText);
        FailPd(s, c, pd);
    } else if (verb == "pull") {
        PullPd(s, c, Drive(c, slotText));
    } else if (verb == "insert") {
        int slot = (int)Number(slotText, "slot");
        if (slot < 0 || slot > 254)
            Refuse("slot out of range");
        if (FindPdBySlot(c, slot))
            Refuse("slot " + slotText + " is not empty");
        if (c.pds.size() >= MAX_PDS)
            Refuse("the controller holds 256 drives already");
        Pd model;
        double gb = 279.396;
        for (const auto &kv : KeyValues(a, 4)) {
            if (kv.first == "size_gb")
                gb = Real(kv.second, "size_gb");
            else if (kv.first == "media" && (kv.second == "hdd" || kv.second == "ssd"))
                model.media = kv.second == "ssd" ? 1 : 0;
            else if (kv.first == "iface" && (kv.second == "sas" || kv.second == "sata"))
                model.iface = kv.second == "sata" ? 3 : 2;
            else
                Refuse("bad insert option \"" + kv.first + "=" + kv.second + "\"");
        }
        if (gb <= 0)
            Refuse("size_gb must be above 0");
        model.rawBlocks = (uint64_t)(gb * 2097152.0);
        model.coercedBlocks = model.rawBlocks > 262144 ? model.rawBlocks / 262144 * 262144 : model.rawBlocks;
        if (model.media == 1) {
            model.vendor = "INTEL";
            model.product = "SSDSC2BA200G3";
        }
        InsertPd(s, c, slot, model);
    } else if (verb == "set") {
        Pd &pd = Drive(c, slotText);
        for (const auto &kv : KeyValues(a, 4)) {
            const std::string &k = kv.first;
            const std::string &v = kv.second;
            if (k == "state")
                pd.state = StateCode(v);
            else if (k == "media_errors")
                pd.mediaErrors = (uint32_t)Number(v, "media_errors");
            else if (k == "pred_fail")
                pd.predFail = (uint32_t)Number(v, "pred_fail");
            else if (k == "temperature")
                pd.temperature = (int)Number(v, "temperature");
            else if (k == "temp_page")
                pd.tempPage = Flag(v, k);
            else if (k == "speed")
                pd.speed = (int)Number(v, "speed");
            else if (k == "link_speed")
                pd.linkSpeed = (int)Number(v, "link_speed");
            else if (k == "power")
                pd.power = (int)Number(v, "power");
            else if (k == "foreign")
                pd.foreign = Flag(v, k);
            else
                Refuse("unknown drive key \"" + k + "\"");
        }
        MarkPdChanged(pd);
    } else {
        Refuse("unknown pd command \"" + verb + "\"");
    }
    return "pd " + verb + " " + a[2] + " " + slotText;
}

std::string LdCommand(State &s, const std::vector<std::string> &a)
{
    std::string verb = Arg(a, 1, "ld command");
    Controller &c = Ctrl(s, Arg(a, 2, "controller"));
    Ld &ld = LogicalDrive(c, Arg(a, 3, "LD number"));
    if (verb == "degrade") {
        Pd *victim = nullptr;
        for (int d : LdMemberDevs(c, ld)) {
            Pd *pd = FindPdByDev(c, d);
            if (pd && pd->state == PD_STATE_ONLINE) {
                victim = pd;
                break;
            }
        }
        if (!victim)
            Refuse("the LD has no online member");
        FailPd(s, c, *victim);
    } else if (verb == "set") {
        for (const auto &kv : KeyValues(a, 4)) {
            if (kv.first == "consistent")
                ld.consistent = Flag(kv.second, kv.first);
            else if (kv.first == "bad_blocks")
                ld.badBlocks = Flag(kv.second, kv.first);
            else if (kv.first == "os_drive")
                ld.osDrive = kv.second.substr(0, 15);
            else if (kv.first == "name")
                ld.name = kv.second.substr(0, 15);
            else
                Refuse("unknown LD key \"" + kv.first + "\"");
        }
    } else {
        Refuse("unknown ld command \"" + verb + "\"");
    }
    return "ld " + verb + " " + a[2] + " " + a[3];
}

std::vector<int> SlotNumbers(const std::string &text)
{
    std::vector<int> v;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ','))
        v.push_back((int)Number(part, "slot"));
    return v;
}

// The listed unconfigured drives become a foreign configuration holding one LD: the group is
// built on a copy of the controller through the creation path, then moved aside.
std::string ForeignAdd(State &s, const std::vector<std::string> &a)
{
    if (Arg(a, 1, "foreign command") != "add")
        Refuse("unknown foreign command \"" + a[1] + "\"");
    Controller &c = Ctrl(s, Arg(a, 2, "controller"));
    int raid = (int)Number(Arg(a, 3, "RAID level"), "RAID level");
    std::string slots = Arg(a, 4, "slots");
    int code = raid == 0 ? 0 : raid == 1 ? 1 : raid == 5 ? 2 : raid == 6 ? 3 : raid == 10 ? 4 : -1;
    if (code < 0)
        Refuse("RAID level must be 0, 1, 5, 6 or 10");
    std::vector<int> list = SlotNumbers(slots);
    if (list.empty() || list.size() > RG_PD_MAX)
        Refuse("give 1 to 256 slots");
    uint64_t smallest = UINT64_MAX;
    for (int slot : list) {
        Pd *pd = FindPdBySlot(c, slot);
        if (!pd)
            Refuse("no drive in slot " + std::to_string(slot));
        if (pd->state != PD_STATE_UNCONF_GOOD || pd->foreign)
            Refuse("slot " + std::to_string(slot) + " is not an unconfigured drive");
        smallest = std::min(smallest, pd->coercedBlocks);
    }
    State scratch;
    scratch.clock = s.clock;
    scratch.ctrls.push_back(c);
    Controller &sc = scratch.ctrls[0];
    sc.lds.clear();
    sc.arrays.clear();
    LdCreateRequest *req = new LdCreateRequest;
    std::memset(req, 0, sizeof(*req));
    req->groupCount = 1;
    RgEntry &g = req->groups[0];
    g.raidLevel = code;
    g.ldCount = 1;
    g.pdCount = (uint16_t)list.size();
    for (size_t i = 0; i < list.size(); ++i)
        g.pds[i] = (uint8_t)list[i];
    g.stripeSize = 7;
    g.diskCachePolicy = 2;
    g.lds[0].ldNo = 0;
    std::snprintf(g.lds[0].name, sizeof(g.lds[0].name), "Foreign_%u", (unsigned)c.foreign.size());
    g.lds[0].size = smallest * (uint64_t)DataDrives(code, (int)list.size());
    uint32_t st = CreateLds(scratch, sc, *req, false);
    delete req;
    if (st != ST_OK) {
        char b[80];
        std::snprintf(b, sizeof(b), "the controller refuses that group (status 0x%X)", (unsigned)st);
        Refuse(b);
    }
    Foreign f;
    f.arrays = sc.arrays;
    f.lds = sc.lds;
    for (Ld &l : f.lds) {
        l.init = Op();
        l.consistent = true;
    }
    for (const Array &arr : f.arrays)
        for (int d : arr.arms) {
            f.pds.push_back(d);
            Pd *pd = FindPdByDev(c, d);
            pd->foreign = true;
            MarkPdChanged(*pd);
        }
    c.foreign.push_back(f);
    return "foreign add " + a[2] + " " + a[3] + " " + slots;
}

std::string CacheBackupSet(State &s, const std::vector<std::string> &a)
{
    if (Arg(a, 1, "cb command") != "set")
        Refuse("unknown cb command \"" + a[1] + "\"");
    Controller &c = Ctrl(s, Arg(a, 2, "controller"));
    CacheBackup &cb = c.cacheBackup;
    for (const auto &kv : KeyValues(a, 3)) {
        const std::string &k = kv.first;
        const std::string &v = kv.second;
        if (k == "present")
            cb.present = Flag(v, k);
        else if (k == "learn_failed")
            cb.learnFailed = Flag(v, k);
        else if (k == "period_days")
            cb.period = (uint32_t)(Number(v, k.c_str()) * 86400);
        else {
            int n = (int)Number(v, k.c_str());
            if (k == "type")
                cb.type = n;
            else if (k == "voltage")
                cb.voltage = n;
            else if (k == "current")
                cb.current = n;
            else if (k == "temperature")
                cb.temperature = n;
            else if (k == "remaining")
                cb.remaining = n;
            else if (k == "full")
                cb.fullCapacity = n;
            else if (k == "mode")
                cb.mode = n;
            else
                Refuse("unknown cache-backup key \"" + k + "\"");
        }
    }
    return "cb set " + a[2];
}

std::string CtrlSet(State &s, const std::vector<std::string> &a)
{
    if (Arg(a, 1, "ctrl command") != "set")
        Refuse("unknown ctrl command \"" + a[1] + "\"");
    Controller &c = Ctrl(s, Arg(a, 2, "controller"));
    for (const auto &kv : KeyValues(a, 3)) {
        const std::string &k = kv.first;
        const std::string &v = kv.second;
        if (k == "product")
            c.product = v.substr(0, 79);
        else if (k == "serial")
            c.serial = v.substr(0, 31);
        else if (k == "snapshot")
            c.snapshot = Flag(v, k);
        else if (k == "cachecade")
            c.cachecade = Flag(v, k);
        else if (k == "fastpath")
            c.fastpath = Flag(v, k);
        else if (k == "max_lds")
            c.maxLds = (int)Number(v, k.c_str());
        else if (k == "max_spares")
            c.maxSpares = (int)Number(v, k.c_str());
        else if (k == "auto_rebuild")
            c.props.autoRebuildDisabled = Flag(v, k) ? 0 : 1;
        else if (k == "copyback") {
            if (Flag(v, k))
                c.props.onOffBits &= ~(uint32_t)CP_BIT_COPYBACK_DISABLED;
            else
                c.props.onOffBits |= CP_BIT_COPYBACK_DISABLED;
        } else
            Refuse("unknown controller key \"" + k + "\"");
    }
    if (c.maxLds < 1 || c.maxLds > MAX_LDS)
        Refuse("max_lds must be 1 to 64");
    return "ctrl set " + a[2];
}

std::string ClockCommand(State &s, const std::vector<std::string> &a)
{
    std::string verb = a[1];
    if (verb == "advance") {
        double secs = Real(Arg(a, 2, "seconds"), "seconds");
        if (secs < 0)
            Refuse("the clock does not run backwards");
        AdvanceClock(s, secs);
    } else if (verb == "speed") {
        double f = Real(Arg(a, 2, "factor"), "factor");
        if (f < 0)
            Refuse("speed must be 0 or more");
        s.clock.speed = f;
        s.clock.wallAnchor = f > 0 ? (int64_t)std::time(nullptr) : 0;
    } else if (verb == "set") {
        std::string text = Arg(a, 2, "date");
        if (a.size() > 3)
            text += " " + a[3];
        double secs = 0;
        if (!SecondsFromDateText(text, secs))
            Refuse("bad date \"" + text + "\" (YYYY-MM-DD [HH:MM:SS])");
        if (secs < s.clock.seconds)
            Refuse("the clock does not run backwards");
        AdvanceClock(s, secs - s.clock.seconds);
    } else {
        Refuse("unknown clock command \"" + verb + "\"");
    }
    return "clock " + verb;
}

bool LoadScenarioText(const std::string &what, std::string &text, std::string &name)
{
    name = what;
    if (BuiltinScenario(what, text))
        return true;
    std::ifstream in(WindowsPath(what), std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    size_t cut = what.find_last_of("\\/");
    name = cut == std::string::npos ? what : what.substr(cut + 1);
    return true;
}

} // namespace

int ZavsimRun(const std::vector<std::string> &args, const Paths &paths, std::string &out, std::string &err)
{
    try {
        std::string cmd = args.empty() ? "help" : args[0];
        if (cmd == "help" || cmd == "-h" || cmd == "--help") {
            out += kUsage;
            return 0;
        }
        if (cmd == "scenarios") {
            for (const std::string &n : BuiltinScenarioNames())
                out += n + "\n";
            return 0;
        }
        Store store(paths);
        if (!store.Lock())
            Refuse("cannot lock " + paths.lock);
        if (cmd == "load") {
            std::string text, name, error;
            if (!LoadScenarioText(Arg(args, 1, "scenario"), text, name))
                Refuse("no scenario \"" + args[1] + "\" (built-in names: zavsim scenarios)");
            State s;
            if (!BuildScenario(text, name, s, error))
                Refuse("scenario " + name + ": " + error);
            if (!store.Save(s, error))
                Refuse(error);
            store.ClearJournal();
            out += "Loaded scenario " + s.scenario + " into " + paths.state + "\n";
            return 0;
        }
        if (cmd == "journal") {
            if (args.size() > 1) {
                if (args[1] != "clear")
                    Refuse("unknown journal command \"" + args[1] + "\"");
                store.ClearJournal();
                return 0;
            }
            out += store.ReadJournal();
            return 0;
        }
        State s;
        std::string error;
        if (!store.Load(s, error))
            Refuse(error + "; load a scenario first (zavsim load default)");
        // With a running clock, what zavsim shows or changes is the state as of now.
        if (CatchUpWallClock(s, (int64_t)std::time(nullptr)) && !store.Save(s, error))
            Refuse(error);
        if (cmd == "show") {
            out += ShowState(s);
            return 0;
        }
        if (cmd == "dump") {
            out += StateText(s) + "\n";
            return 0;
        }
        if (cmd == "clock" && args.size() == 1) {
            out += "Clock: " + DateTextFromSeconds(s.clock.seconds) + " (" + std::to_string((unsigned)s.clock.seconds) +
                   " s since 2000-01-01), speed " + std::to_string(s.clock.speed) + "\n";
            return 0;
        }
        if (cmd == "fault" && args.size() > 1 && args[1] == "list") {
            for (const FaultRule &f : s.faults) {
                char buf[200];
                std::snprintf(buf, sizeof(buf), "type=%d cmd=%d status=0x%X opcode=%lld ref1=%d ref2=%d slot=%d ld=%d ctrl=%d count=%d\n",
                              f.type, f.cmd, (unsigned)f.status, (long long)f.opcode, f.ref1, f.ref2, f.slot, f.ld,
                              f.ctrl, f.count);
                out += buf;
            }
            return 0;
        }
        std::string note;
        if (cmd == "fault") {
            std::string verb = Arg(args, 1, "fault command");
            if (verb == "add")
                note = FaultAdd(s, args);
            else if (verb == "clear") {
                s.faults.clear();
                note = "fault clear";
            } else
                Refuse("unknown fault command \"" + verb + "\"");
        } else if (cmd == "clock") {
            note = ClockCommand(s, args);
        } else if (cmd == "pd") {
            note = PdCommand(s, args);
        } else if (cmd == "ld") {
            note = LdCommand(s, args);
        } else if (cmd == "foreign") {
            note = ForeignAdd(s, args);
        } else if (cmd == "cb") {
            note = CacheBackupSet(s, args);
        } else if (cmd == "ctrl") {
            note = CtrlSet(s, args);
        } else {
            Refuse("unknown command \"" + cmd + "\"\n" + kUsage);
        }
        if (!store.Save(s, error))
            Refuse(error);
        store.Journal("zavsim " + note);
        return 0;
    } catch (const Refusal &r) {
        err += "zavsim: " + r.text + "\n";
        return 1;
    }
}

} // namespace sim
