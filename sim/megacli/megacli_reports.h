// Log-utility stand-in: the three reports the log command collects, built from one simulated
// controller (its display number is the one the tools use).
#ifndef ZAV_SIM_MEGACLI_REPORTS_H
#define ZAV_SIM_MEGACLI_REPORTS_H

#include <string>

#include "sim/SimModel.h"

namespace megacli {

std::string AdapterInfoReport(sim::State &state, sim::Controller &ctrl, unsigned number);
std::string TermLogReport(sim::State &state, sim::Controller &ctrl, unsigned number);
std::string EventLogReport(sim::State &state, sim::Controller &ctrl, unsigned number);

} // namespace megacli

#endif
