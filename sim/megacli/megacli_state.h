// Log-utility stand-in: reads the simulator's state through the simulator's own store, and names
// what the simulator's rules say about its controllers, drives and LDs.
#ifndef ZAV_SIM_MEGACLI_STATE_H
#define ZAV_SIM_MEGACLI_STATE_H

#include <string>
#include <vector>

#include "sim/SimModel.h"

namespace megacli {

// Reads the state the simulated library uses (ZAVSIM_STATE, or zavsim_state.json beside this
// program) under the simulator's lock, and brings its clock up to wall time as the library would;
// false with a reason when the file is missing or unreadable.
bool LoadState(sim::State &state, std::string &error);

// "YYYY/MM/DD hh:mm:ss" for controller seconds.
std::string DateTimeText(double seconds);

std::string PdStateName(int state);
// Name of an LD state of the simulator's rules (LD_STATE_*).
std::string LdStateName(int state);
std::string RaidLevelName(const sim::Ld &ld);
// Blocks of an LD: its spans times the data drives of its level.
uint64_t LdBlocks(const sim::Ld &ld);

} // namespace megacli

#endif
