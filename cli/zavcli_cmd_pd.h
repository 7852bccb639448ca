// Report lines of one PD that pdinfo prints and that ldpdinfo repeats for the members of an LD.
#ifndef ZAV_CLI_ZAVCLI_CMD_PD_H
#define ZAV_CLI_ZAVCLI_CMD_PD_H

#include <stdint.h>

#include "cli/zavcli_cmd_com.h"

struct ContData;

// "PD%d(usage)", with the kind of a hot spare spelled out.
void AddPdUsageLine(ReportText *report, const ContData *record, uint8_t slot);
// The general lines from "Usable Capacity" to "Revision Level".
void AddPdGeneralLines(ReportText *report, uint8_t contNo, const ContData *record, uint8_t slot);

#endif
