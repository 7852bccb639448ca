// Switches the LDs of a controller into or out of CacheCade mode through their IO policy bits.
#include "common/CacheCadeMode.h"

#include "common/ContData.h"
#include "common/LdPlan.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

static int32_t SetIoPolicyOfLd(uint8_t contNo, uint8_t target, int cachedIo)
{
    uint8_t props[LD_PROP_SIZE];
    int32_t status = SLGetLDProperties(contNo, target, props);
    if (status != 0)
        return status;
    uint8_t cache = (uint8_t)(props[LP_DEFAULT_CACHE] & ~LD_CACHE_CACHED_IO);
    props[LP_DEFAULT_CACHE] = (uint8_t)(cache | (cachedIo ? LD_CACHE_CACHED_IO : 0));
    return SLSetLDProperties(contNo, props);
}

int SetCacheCadeMode(const ContData *record, uint8_t contNo, int cachedIo)
{
    if (!record || !record->ldList)
        return 0;
    int failed = 0;
    uint32_t count = record->ldList->count < LD_MAX ? record->ldList->count : (uint32_t)LD_MAX;
    for (uint32_t i = 0; i < count; i++) {
        uint8_t target = record->ldList->entries[i].targetId;
        if (target >= LD_MAX || record->ldInfo[target][LI_CACHECADE] != 0)
            continue;
        if (SetIoPolicyOfLd(contNo, target, cachedIo) != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", "SetCacheCadeMode", "SLSetLDProperties error",
                      (unsigned)contNo, (unsigned)target);
            ++failed;
        }
    }
    return failed;
}
