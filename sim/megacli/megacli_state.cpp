// Log-utility stand-in: reads the simulator's state file the same way the simulated library
// finds it, and derives the drive and LD states its reports show.
#include "sim/megacli/megacli_state.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "common/storelib_layout.h"

namespace megacli {

static std::string FromUnixForm(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string out = "Z:" + path;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string StatePath()
{
    char value[MAX_PATH * 2] = {};
    DWORD length = GetEnvironmentVariableA("ZAVSIM_STATE", value, sizeof(value));
    if (length > 0 && length < sizeof(value))
        return FromUnixForm(value);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string dir = self;
    size_t cut = dir.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string(".") : dir.substr(0, cut);
    return dir + "\\zavsim_state.json";
}

// The simulator replaces the file while it writes, so a read that meets the replacement
// is tried again a few times.
bool LoadState(const std::string &path, sim::State &state, std::string &error)
{
    for (int attempt = 0; attempt < 10; attempt++) {
        if (attempt > 0)
            Sleep(50);
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot open " + path;
            continue;
        }
        std::ostringstream text;
        text << in.rdbuf();
        try {
            state = nlohmann::json::parse(text.str()).get<sim::State>();
            return true;
        } catch (const std::exception &e) {
            error = std::string("cannot read ") + path + ": " + e.what();
        }
    }
    return false;
}

std::vector<size_t> ControllerOrder(const sim::State &state)
{
    std::vector<size_t> order(state.ctrls.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return state.ctrls[a].id < state.ctrls[b].id; });
    return order;
}

double ClockNow(const sim::Clock &clock)
{
    if (clock.speed <= 0 || clock.wallAnchor == 0)
        return clock.seconds;
    double wall = static_cast<double>(std::time(nullptr) - clock.wallAnchor);
    return clock.seconds + (wall > 0 ? wall : 0) * clock.speed;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
static void CivilFromDays(long long days, int &year, int &month, int &day)
{
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long doe = days - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::string DateTimeText(double seconds)
{
    const long long kEpoch2000 = 10957; // days from 1970-01-01 to 2000-01-01
    long long total = seconds > 0 ? static_cast<long long>(seconds) : 0;
    int year, month, day;
    CivilFromDays(kEpoch2000 + total / 86400, year, month, day);
    long long rest = total % 86400;
    char text[32];
    snprintf(text, sizeof(text), "%04d/%02d/%02d %02d:%02d:%02d", year, month, day, static_cast<int>(rest / 3600),
             static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

std::string PdStateName(int state)
{
    switch (state) {
    case PD_STATE_UNCONF_GOOD:
        return "Unconfigured Good";
    case PD_STATE_UNCONF_BAD:
        return "Unconfigured Bad";
    case PD_STATE_HOT_SPARE:
        return "Hot Spare";
    case PD_STATE_OFFLINE:
        return "Offline";
    case PD_STATE_FAILED:
        return "Failed";
    case PD_STATE_REBUILD:
        return "Rebuild";
    case PD_STATE_ONLINE:
        return "Online";
    case PD_STATE_COPYBACK:
        return "Copyback";
    default:
        return "Unknown(" + std::to_string(state) + ")";
    }
}

const sim::Pd *PdByDevId(const sim::Controller &ctrl, int devId)
{
    for (const sim::Pd &pd : ctrl.pds)
        if (pd.devId == devId)
            return &pd;
    return nullptr;
}

static const sim::Array *ArrayByRef(const sim::Controller &ctrl, int ref)
{
    for (const sim::Array &a : ctrl.arrays)
        if (a.ref == ref)
            return &a;
    return nullptr;
}

// Severity order: the worst span decides the LD's health.
static int Severity(int health)
{
    switch (health) {
    case LD_HEALTH_OFFLINE:
        return 3;
    case LD_HEALTH_DEGRADED:
        return 2;
    case LD_HEALTH_PART_DEGRADED:
        return 1;
    default:
        return 0;
    }
}

static int SpanHealth(int primaryRaid, int missing)
{
    if (missing == 0)
        return LD_HEALTH_OPTIMAL;
    switch (primaryRaid) {
    case 6:
        return missing == 1 ? LD_HEALTH_PART_DEGRADED : missing == 2 ? LD_HEALTH_DEGRADED : LD_HEALTH_OFFLINE;
    case 1:
    case 5:
        return missing == 1 ? LD_HEALTH_DEGRADED : LD_HEALTH_OFFLINE;
    default:
        return LD_HEALTH_OFFLINE;
    }
}

int LdHealthOf(const sim::Controller &ctrl, const sim::Ld &ld)
{
    int worst = LD_HEALTH_OPTIMAL;
    for (const sim::Span &span : ld.spans) {
        const sim::Array *array = ArrayByRef(ctrl, span.arrayRef);
        if (array == nullptr)
            return LD_HEALTH_OFFLINE;
        int missing = 0;
        for (int devId : array->arms) {
            const sim::Pd *pd = devId == ARM_DEVICE_MISSING ? nullptr : PdByDevId(ctrl, devId);
            if (pd == nullptr || (pd->state != PD_STATE_ONLINE && pd->state != PD_STATE_COPYBACK))
                missing++;
        }
        int health = SpanHealth(ld.primaryRaid, missing);
        if (Severity(health) > Severity(worst))
            worst = health;
    }
    return worst;
}

std::string LdHealthName(int health)
{
    switch (health) {
    case LD_HEALTH_OFFLINE:
        return "Offline";
    case LD_HEALTH_PART_DEGRADED:
        return "Partially Degraded";
    case LD_HEALTH_DEGRADED:
        return "Degraded";
    default:
        return "Optimal";
    }
}

std::string RaidLevelName(const sim::Ld &ld)
{
    if (ld.cachecade)
        return "CacheCade RAID" + std::to_string(ld.primaryRaid);
    if (ld.primaryRaid == 1 && ld.spanDepth > 1)
        return "RAID10";
    return "RAID" + std::to_string(ld.primaryRaid);
}

} // namespace megacli
