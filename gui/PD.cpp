// PD routines: the state changes and the location LED of one PD, traced when they fail.
#include "gui/PD.h"

#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Utility.h"

typedef int32_t (*PdCommand)(uint8_t contNo, uint8_t slot);

static int32_t StartLocate(uint8_t contNo, uint8_t slot)
{
    return SLStartLocatePD(contNo, slot, 0);
}

static int32_t RunPdCommand(PdCommand command, const char *funcName, const char *errorText, uint8_t contNo,
                            uint8_t slot)
{
    BeginWaitCursor();
    int32_t status = command(contNo, slot);
    EndWaitCursor();
    if (status != 0)
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, pdNo=%u", funcName, errorText, (unsigned)contNo, (unsigned)slot);
    return status;
}

int32_t HddMakeOnline(uint8_t contNo, uint8_t slot)
{
    return RunPdCommand(SLMakeDriveOnline, "HddMakeOnline", "SLMakeDriveOnline error", contNo, slot);
}

int32_t HddMakeOffline(uint8_t contNo, uint8_t slot)
{
    return RunPdCommand(SLMakeDriveOffline, "HddMakeOffline", "SLMakeDriveOffline error", contNo, slot);
}

int32_t HddMakeUnconfGood(uint8_t contNo, uint8_t slot)
{
    return RunPdCommand(SLMakeDriveUnconfGood, "HddMakeUnconfGood", "SLMakeDriveUnconfGood error", contNo, slot);
}

int32_t HddStartLocate(uint8_t contNo, uint8_t slot)
{
    return RunPdCommand(StartLocate, "HddStartLocate", "SLStartLocatePD error", contNo, slot);
}

int32_t HddStopLocate(uint8_t contNo, uint8_t slot)
{
    return RunPdCommand(SLStopLocatePD, "HddStopLocate", "SLStopLocatePD error", contNo, slot);
}
