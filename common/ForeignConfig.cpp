// Reads the foreign configurations of a controller for the Restore LD page: scan, size of each
// preview, the preview itself, and what it adds beside the configuration already in use.
#include "common/ForeignConfig.h"

#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

// The preview holds the whole configuration after the import; what the foreign configuration
// adds are the arrays and LDs the configuration in use does not hold.
static void CollectAddedEntries(const uint8_t *preview, const uint8_t *current, RestoreConfig *out)
{
    for (uint16_t i = 0; i < ConfigLdCount(preview) && out->ldCount < LD_MAX; i++) {
        const uint8_t *ld = ConfigLdAt(preview, i);
        if (ld && !(current && ConfigFindLd(current, ld[LI_TARGET_ID])))
            memcpy(out->lds[out->ldCount++], ld, CONFIG_LD_SIZE);
    }
    for (uint16_t i = 0; i < ConfigArrayCount(preview); i++) {
        const ConfigArray *array = ConfigArrayAt(preview, i);
        if (!array || (current && ConfigFindArray(current, array->arrayRef)))
            continue;
        unsigned arms = array->driveCount < ARRAY_MAX_ARMS ? array->driveCount : (unsigned)ARRAY_MAX_ARMS;
        for (unsigned a = 0; a < arms && out->pdCount < RESTORE_PD_MAX; a++)
            if (array->arms[a].deviceId != ARM_DEVICE_MISSING)
                out->devices[out->pdCount++] = array->arms[a].deviceId;
    }
}

static int ReadOneForeignConfig(uint8_t contNo, uint8_t index, const uint8_t *current, RestoreConfig *out)
{
    uint32_t size = 0;
    if (SLGetForeignConfigSize(contNo, index, &size) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, foreignNo=%u", "GetRestoreInfo", "SLGetForeignConfigSize error",
                  contNo, index);
        return 0;
    }
    if (size < sizeof(ConfigHeader) || size > RESTORE_CONFIG_MAX_SIZE) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, foreignNo=%u, size=%u", "GetRestoreInfo",
                  "foreign configuration size invalid", contNo, index, size);
        return 0;
    }
    uint8_t *preview = (uint8_t *)calloc(1, size);
    if (!preview) {
        SLCallAllocFail();
        return 0;
    }
    int ok = SLReadConfigAfterImport(contNo, index, preview, size) == 0;
    if (!ok) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, foreignNo=%u", "GetRestoreInfo", "SLReadConfigAfterImport error",
                  contNo, index);
    } else {
        // Never walk past the buffer, whatever total the controller wrote into it.
        ConfigHeader *header = (ConfigHeader *)preview;
        if (header->totalSize > size)
            header->totalSize = size;
        out->configSize = size;
        CollectAddedEntries(preview, current, out);
    }
    free(preview);
    return ok;
}

int GetRestoreInfo(uint8_t contNo, const ContData *record, RestoreInfo *info)
{
    memset(info, 0, sizeof(*info));
    uint32_t count = 0;
    if (SLScanForForeignConfig(contNo, &count) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "GetRestoreInfo", "SLScanForForeignConfig error", contNo);
        return 0;
    }
    if (count > FOREIGN_MAX)
        count = FOREIGN_MAX;
    const uint8_t *current = record ? record->config : 0;
    for (uint32_t i = 0; i < count; i++) {
        if (!ReadOneForeignConfig(contNo, (uint8_t)i, current, &info->configs[i]))
            return 0;
        info->configCount = i + 1;
    }
    return 1;
}

const uint8_t *RestoreLdAt(const RestoreInfo *info, uint32_t configIndex, unsigned ldIndex)
{
    if (!info || configIndex >= info->configCount || ldIndex >= info->configs[configIndex].ldCount)
        return 0;
    return info->configs[configIndex].lds[ldIndex];
}
