// Controller discovery: the SCSI port of each controller from the registry device map, and the
// graphical tool's start-up check of the storage library and the controller count.
#include "common/Discovery.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

static const char kDeviceMapPath[] = "HARDWARE\\DEVICEMAP\\Scsi";

// ---------------------------------------------------------------------------------------------
// Registry seam
// ---------------------------------------------------------------------------------------------
static DeviceMapSeam g_registry = *WindowsDeviceMapSeam();

void SetDeviceMapSeam(const DeviceMapSeam *seam) { g_registry = seam ? *seam : *WindowsDeviceMapSeam(); }

// ---------------------------------------------------------------------------------------------
// What the user is told (console texts unless the graphical tool installed its own notifier)
// ---------------------------------------------------------------------------------------------
static void ConsoleNotice(int notice, uint32_t value)
{
    switch (notice) {
    case DISCOVERY_REGISTRY_ERROR:
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred with Windows API. (code=0x%X)", value);
        break;
    case DISCOVERY_NO_PORT:
        ZAV_REPORT(REPORT_BOTH, "Failed to get the registory information.");
        break;
    default:
        break;
    }
}

static DiscoveryNotifier g_notifier = ConsoleNotice;

void SetDiscoveryNotifier(DiscoveryNotifier notifier) { g_notifier = notifier ? notifier : ConsoleNotice; }

// ---------------------------------------------------------------------------------------------
// SCSI ports
// ---------------------------------------------------------------------------------------------
static int IsRaidMiniport(const char *driver)
{
    return strncmp(driver, "megasas", 7) == 0 || strncmp(driver, "msas2k3", 7) == 0 ||
           strncmp(driver, "MegaSR", 6) == 0;
}

// "Scsi Port N": the number starts at the 11th character.
static uint8_t PortNumberOf(const char *subkeyName)
{
    if (strlen(subkeyName) <= 10)
        return 0;
    return (uint8_t)strtoul(subkeyName + 10, NULL, 10);
}

// Reads the Driver value of one port subkey; 1 when it names a RAID miniport.
static int PortIsRaidMiniport(uint32_t index, const char *subkeyName)
{
    char path[sizeof(kDeviceMapPath) + 1 + DISCOVERY_NAME_SIZE];
    char driver[DISCOVERY_NAME_SIZE + 1];
    void *key = NULL;
    snprintf(path, sizeof(path), "%s\\%s", kDeviceMapPath, subkeyName);
    long rc = g_registry.openKey(path, &key);
    if (rc != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, index=%d, errcode=%d", "GetCtrlPortNo", "RegOpenKeyEx error", (int)index,
                  (int)rc);
        return 0;
    }
    memset(driver, 0, sizeof(driver));
    rc = g_registry.queryValue(key, "Driver", driver, DISCOVERY_NAME_SIZE);
    g_registry.closeKey(key);
    if (rc != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, index=%d, errcode=%d", "GetCtrlPortNo", "RegQueryValueEx error",
                  (int)index, (int)rc);
        return 0;
    }
    return IsRaidMiniport(driver);
}

int GetCtrlPortNo(uint16_t *contCount, ContData *records)
{
    void *scsiKey = NULL;
    long rc = g_registry.openKey(kDeviceMapPath, &scsiKey);
    if (rc != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, errcode=%d", "GetCtrlPortNo", "RegOpenKeyEx error", (int)rc);
        g_notifier(DISCOVERY_REGISTRY_ERROR, (uint32_t)rc);
        return 0;
    }
    uint16_t wanted = contCount ? *contCount : 0;
    uint16_t found = 0;
    for (uint32_t index = 0; index < DISCOVERY_MAX_SUBKEYS && found < wanted; index++) {
        char name[DISCOVERY_NAME_SIZE + 1];
        memset(name, 0, sizeof(name));
        rc = g_registry.enumKey(scsiKey, index, name, DISCOVERY_NAME_SIZE);
        if (rc == DISCOVERY_ERROR_NO_MORE_ITEMS)
            break;
        if (rc != 0) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s, index=%d, errcode=%d", "GetCtrlPortNo", "RegEnumKeyEx error", (int)index,
                      (int)rc);
            continue;
        }
        if (PortIsRaidMiniport(index, name))
            records[found++].scsiPortNo = PortNumberOf(name);
    }
    g_registry.closeKey(scsiKey);
    if (found == 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "GetCtrlPortNo", "GetControllerHandle error");
        g_notifier(DISCOVERY_NO_PORT, 0);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Graphical tool start-up
// ---------------------------------------------------------------------------------------------
static void TraceLibraryVersion(void)
{
    uint8_t version[LIB_VERSION_SIZE];
    char major[LV_MAJOR_LEN + 1];
    char minor[LV_MINOR_LEN + 1];
    SLGetLibraryVersion(version);
    memcpy(major, version + LV_MAJOR, LV_MAJOR_LEN);
    major[LV_MAJOR_LEN] = '\0';
    memcpy(minor, version + LV_MINOR, LV_MINOR_LEN);
    minor[LV_MINOR_LEN] = '\0';
    ZAV_TRACE("", "Storelib Version : %s.%s", major, minor);
}

int InitDPXCont(ContData *records16, uint16_t *contCount, uint8_t *currentCtrl, SLAllocFailCallback allocFail)
{
    ControllerIdList list;
    if (SLInitLib(allocFail) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "InitDPXCont", "SLInitLib error");
        g_notifier(DISCOVERY_LIBRARY_ERROR, 0);
        return 0;
    }
    TraceLibraryVersion();
    if (SLGetCtrlList(&list) != 0) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "InitDPXCont", "SLGetCtrlList error");
        g_notifier(DISCOVERY_CTRL_LIST_ERROR, 0);
        return 0;
    }
    *contCount = list.count;
    if (list.count == 0) {
        ZAV_TRACE(ZAV_ERR, "No Support Controller");
        g_notifier(DISCOVERY_NO_CONTROLLER, 0);
        return 0;
    }
    if (list.count > SL_MAX_CONTROLLERS) {
        ZAV_TRACE(ZAV_ERR, "func=%s: The number of Controller is over %d", "InitDPXCont", SL_MAX_CONTROLLERS);
        g_notifier(DISCOVERY_OVER_LIMIT, SL_MAX_CONTROLLERS);
        return 0;
    }
    *currentCtrl = 0;
    int portsOk = GetCtrlPortNo(contCount, records16);
    int buffersOk = AllocContData(records16, GUI_MAX_CONTROLLERS);
    if (!buffersOk && allocFail)
        allocFail();
    return portsOk && buffersOk;
}
