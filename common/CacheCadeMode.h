// CacheCade mode of a controller's LDs: the IO policy every LD that is not itself a CacheCade LD
// takes when CacheCade LDs come or go (cached IO through them, direct IO without them).
#ifndef ZAV_COMMON_CACHECADEMODE_H
#define ZAV_COMMON_CACHECADEMODE_H

#include <stdint.h>

struct ContData;

#ifdef __cplusplus
extern "C" {
#endif

// Sets the IO policy bits of every LD in the record's LD list that is not a CacheCade LD: cached
// IO when cachedIo is non-zero, else direct IO; the other policy bits are kept. A failed LD is
// traced and the loop goes on with the next one. Returns the number of LDs that failed (0 when
// every LD took the policy).
int SetCacheCadeMode(const ContData *record, uint8_t contNo, int cachedIo);

#ifdef __cplusplus
}
#endif

#endif
