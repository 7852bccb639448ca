// Foreign configurations as the Restore LD page lists them: the PDs and LDs each one would bring
// in, read from the controller's preview of the configuration after its import.
#ifndef ZAV_COMMON_FOREIGNCONFIG_H
#define ZAV_COMMON_FOREIGNCONFIG_H

#include <stdint.h>

#include "common/storelib_layout.h"

struct ContData;

enum { RESTORE_PD_MAX = 256, RESTORE_CONFIG_MAX_SIZE = 4 * 1024 * 1024 };

// One foreign configuration: the LD entries (configuration layout, 256 bytes each) it adds,
// numbered as they would be after import, and the device ids of the PDs it holds.
struct RestoreConfig {
    uint32_t configSize;                      // size of the preview the controller reported
    uint8_t ldCount;
    uint8_t lds[LD_MAX][CONFIG_LD_SIZE];
    uint16_t pdCount;
    uint16_t devices[RESTORE_PD_MAX];
};

struct RestoreInfo {
    uint32_t configCount;                     // at most FOREIGN_MAX
    RestoreConfig configs[FOREIGN_MAX];
};

#ifdef __cplusplus
extern "C" {
#endif

// Scans the controller for foreign configurations and reads, for each, what its import would
// add to the configuration the record holds. 1 on success (info may hold no configuration),
// 0 when a query failed (traced; info then holds the configurations read before the failure).
int GetRestoreInfo(uint8_t contNo, const ContData *record, RestoreInfo *info);

// The LD entry of the given foreign configuration and position; null when out of range.
const uint8_t *RestoreLdAt(const RestoreInfo *info, uint32_t configIndex, unsigned ldIndex);

#ifdef __cplusplus
}
#endif

#endif
