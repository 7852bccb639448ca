// Log-utility stand-in: the simulator's store and rules give the state; this file only names it.
#include "sim/megacli/megacli_state.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

#include "SimCore.h"
#include "common/storelib_layout.h"

namespace megacli {

static std::string ModuleDir()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string dir = self;
    size_t cut = dir.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : dir.substr(0, cut);
}

bool LoadState(sim::State &state, std::string &error)
{
    sim::Store store(sim::ResolvePaths(ModuleDir()));
    if (!store.Lock()) {
        error = "cannot lock " + store.paths().lock;
        return false;
    }
    bool loaded = store.Load(state, error);
    store.Unlock();
    if (loaded)
        sim::CatchUpWallClock(state, static_cast<int64_t>(std::time(nullptr)));
    return loaded;
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

std::string LdStateName(int state)
{
    switch (state) {
    case LD_STATE_OFFLINE:
        return "Offline";
    case LD_STATE_PART_DEGRADED:
        return "Partially Degraded";
    case LD_STATE_DEGRADED:
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

uint64_t LdBlocks(const sim::Ld &ld)
{
    uint64_t total = 0;
    int dataDrives = sim::DataDrives(sim::LdRaidCode(ld), ld.drivesPerSpan);
    for (const sim::Span &span : ld.spans)
        total += span.blocks * static_cast<uint64_t>(dataDrives > 0 ? dataDrives : 0);
    return total;
}

} // namespace megacli
