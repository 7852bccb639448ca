// PD routines of the pop-up menus: one controller command each on the PD of a list row, with the
// wait cursor and the trace of a failure. Every page that lists PDs uses them.
#ifndef ZAV_GUI_PD_H
#define ZAV_GUI_PD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Each returns the storage-library status (0 on success).
int32_t HddMakeOnline(uint8_t contNo, uint8_t slot);
int32_t HddMakeOffline(uint8_t contNo, uint8_t slot);
int32_t HddMakeUnconfGood(uint8_t contNo, uint8_t slot);
int32_t HddStartLocate(uint8_t contNo, uint8_t slot);
int32_t HddStopLocate(uint8_t contNo, uint8_t slot);

#ifdef __cplusplus
}
#endif

#endif
