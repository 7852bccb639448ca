// Log-utility stand-in: finds and reads the simulator's state file, and derives the views the
// reports need (controller order, clock, drive and LD states).
#ifndef ZAV_SIM_MEGACLI_STATE_H
#define ZAV_SIM_MEGACLI_STATE_H

#include <string>
#include <vector>

#include "sim/SimModel.h"

namespace megacli {

// ZAVSIM_STATE (Windows or Unix form) or zavsim_state.json beside this program.
std::string StatePath();

// Reads and parses the state; false with a reason when the file is missing or unreadable.
bool LoadState(const std::string &path, sim::State &state, std::string &error);

// Indexes of the controllers in ascending controller id, the numbering the tools use.
std::vector<size_t> ControllerOrder(const sim::State &state);

// The controller clock now (seconds since 2000-01-01), following wall time when it runs.
double ClockNow(const sim::Clock &clock);

// "YYYY/MM/DD hh:mm:ss" for controller seconds.
std::string DateTimeText(double seconds);

std::string PdStateName(int state);

enum LdHealth { LD_HEALTH_OFFLINE = 0, LD_HEALTH_PART_DEGRADED = 1, LD_HEALTH_DEGRADED = 2, LD_HEALTH_OPTIMAL = 3 };
// Health of an LD from the drives of its arrays.
int LdHealthOf(const sim::Controller &ctrl, const sim::Ld &ld);
std::string LdHealthName(int health);
std::string RaidLevelName(const sim::Ld &ld);

const sim::Pd *PdByDevId(const sim::Controller &ctrl, int devId);

} // namespace megacli

#endif
