// LD creation commands of zavcli (lde, ldc) and the IO-policy change they share with ldsetprop.
#ifndef ZAV_CLI_ZAVCLI_CMD_LD_H
#define ZAV_CLI_ZAVCLI_CMD_LD_H

#include <stdint.h>

struct ContData;

// Sets the IO policy (cached IO when cached is non-zero, else direct IO) of the listed LDs,
// passing over CacheCade LDs. A failure is traced and reported for its LD and the loop goes on.
// Returns the number of LDs whose policy could not be changed.
int SetLdsIoPolicy(uint8_t contNo, ContData *records, const uint8_t *targets, int count, int cached);

#endif
