// Controller discovery: ties each controller record to its Windows SCSI port through the registry
// device map, and the graphical tool's start-up check of the library and the controllers.
#ifndef ZAV_COMMON_DISCOVERY_H
#define ZAV_COMMON_DISCOVERY_H

#include <stdint.h>

#include "common/StoreLib.h"

struct ContData;

#ifdef __cplusplus
extern "C" {
#endif

enum { DISCOVERY_MAX_SUBKEYS = 16, DISCOVERY_NAME_SIZE = 32, DISCOVERY_ERROR_NO_MORE_ITEMS = 259 };

// Registry calls over HKEY_LOCAL_MACHINE; each returns a Windows error code (0 = success).
struct DeviceMapSeam {
    long (*openKey)(const char *path, void **key);
    long (*enumKey)(void *key, uint32_t index, char *name, uint32_t nameSize);
    long (*queryValue)(void *key, const char *valueName, char *out, uint32_t size);
    void (*closeKey)(void *key);
};
void SetDeviceMapSeam(const DeviceMapSeam *seam); // null restores the Windows registry
const DeviceMapSeam *WindowsDeviceMapSeam(void);

// What discovery tells the user. The console tool's texts are the default; the graphical tool
// installs its own notifier that shows its message boxes.
enum DiscoveryNotice {
    DISCOVERY_REGISTRY_ERROR = 1, // value: system error code
    DISCOVERY_NO_PORT = 2,
    DISCOVERY_LIBRARY_ERROR = 3,
    DISCOVERY_CTRL_LIST_ERROR = 4,
    DISCOVERY_NO_CONTROLLER = 5,
    DISCOVERY_OVER_LIMIT = 6      // value: the limit
};
typedef void (*DiscoveryNotifier)(int notice, uint32_t value);
void SetDiscoveryNotifier(DiscoveryNotifier notifier); // null restores the console messages

// Stores the i-th matching port in record i. 1 on success (also when no port matched), 0 when the
// device map cannot be opened.
int GetCtrlPortNo(uint16_t *contCount, ContData *records);

// Graphical tool start-up: library, version trace, controller list and count, ports, list buffers
// of all 16 records. Non-zero when the tool may go on.
int InitDPXCont(ContData *records16, uint16_t *contCount, uint8_t *currentCtrl, SLAllocFailCallback allocFail);

#ifdef __cplusplus
}
#endif

#endif
