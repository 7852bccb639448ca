// Controller access layer: binding to storelib.dll, the one send routine, the status table and
// trace of outcomes, and one operation per controller query or action. Every operation returns
// 0 on success, otherwise a status of the StatusText table or one produced by the layer itself.
#ifndef ZAV_COMMON_STORELIB_H
#define ZAV_COMMON_STORELIB_H

#include <stdint.h>

#include "common/storelib_layout.h"

struct LdCreateRequest;
struct RgEntry;

// Status codes the layer produces itself.
enum {
    SL_STATUS_OK = 0,
    SL_STATUS_INIT_FAILED = 0x8002,
    SL_STATUS_NO_MEMORY = 0x8015,
    SL_STATUS_INVALID_PARAM = 0x8019,
    SL_STATUS_NOT_FOUND = 0xC
};

enum { SL_MAX_CONTROLLERS = 4, SL_STATUS_TEXT_ROWS = 101 };

// Called when a work buffer cannot be allocated (the console tool reports the failure).
typedef void (*SLAllocFailCallback)(void);

#ifdef __cplusplus
extern "C" {
#endif

// ---------------------------------------------------------------------------------------------
// Binding (load, initialise, exit, unload)
// ---------------------------------------------------------------------------------------------
int32_t SLInitLib(SLAllocFailCallback allocFail);
int32_t UnloadStoreLibrary(void);
int32_t InitializeLibrary(ControllerIdList *list, ProcessLibCommandFn entry);
int32_t UnInitializeLibrary(ProcessLibCommandFn entry);
int32_t SLGetCtrlList(ControllerIdList *out);
int32_t SendLibCommand(uint8_t contNo, LibCmdPacket *packet);

// The platform calls used to load the library; tests present a fake module and entry here.
struct LibLoaderSeam {
    void *(*loadLibrary)(const char *name);
    void *(*getProcAddress)(void *module, const char *name);
    void (*freeLibrary)(void *module);
    uint32_t (*lastError)(void);
};
void SLSetLibLoader(const LibLoaderSeam *seam); // null restores the Windows loader
const LibLoaderSeam *WindowsLibLoader(void);
// Puts the layer into the loaded state with the given entry and merged controller list, without
// loading any module (unit tests script ProcessLibCommand this way). A null entry unloads.
void SLSetEntryForTest(ProcessLibCommandFn entry, const ControllerIdList *mergedList);
int SLIsLoaded(void);
void SLCallAllocFail(void); // runs the allocation-failure callback given to SLInitLib

// ---------------------------------------------------------------------------------------------
// Status table and trace of outcomes
// ---------------------------------------------------------------------------------------------
struct StatusTextRow {
    uint32_t code;
    const char *text;
};
extern const StatusTextRow StatusText[SL_STATUS_TEXT_ROWS];
const char *LookupStatusText(uint32_t status); // first matching row, else "Storelib error"

int TraceStatus(const LibCmdPacket *packet, unsigned line, int32_t status, const char *opName, const char *module);
int TraceDcmdStatus(const DcmdFrame *frame, unsigned line, int32_t status, const char *opName, const char *module);

// ---------------------------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------------------------
int32_t SLGetLibraryVersion(void *out12);
int32_t SLGetCtrlInfo(uint8_t contNo, void *out2048);
int32_t SLGetCtrlProp(uint8_t contNo, void *out64);
int32_t SLGetPDList(uint8_t contNo, PdList *out);
int32_t SLGetEnclList(uint8_t contNo, EnclList *out);
int32_t SLGetPciInfo(uint8_t contNo, void *out112);
int32_t SLGetOSDriveName(uint8_t contNo, uint8_t targetId, char *out16);
int32_t SLGetLDList(uint8_t contNo, LdList *out);
int32_t SLGetPatrolReadProp(uint8_t contNo, void *out208);
int32_t SLGetDrvVer(uint8_t contNo, void *out112);
int32_t SLGetPDInfo(uint8_t contNo, uint8_t slotNo, void *out512);
int32_t SLGetPdProggress(uint8_t contNo, uint8_t slotNo, void *out32);
int32_t SLGetPDAllowedOperation(uint8_t contNo, uint8_t slotNo, uint32_t *out);
int32_t SLGetLDInfo(uint8_t contNo, uint8_t targetId, void *out384);
int32_t SLGetLDProperties(uint8_t contNo, uint8_t targetId, void *out32);
int32_t SLGetLdProggress(uint8_t contNo, uint8_t targetId, void *out36);
int32_t SLGetPDInLD(uint8_t contNo, uint8_t targetId, void *out516);
int32_t SLGetLDAllowedOperation(uint8_t contNo, uint8_t targetId, uint32_t *out);
int32_t SLReadConfig(uint8_t contNo, void *out, uint32_t size);
int32_t SLGetConfigSize(uint8_t contNo, uint32_t *size);
int32_t SLGetArrayInfo(uint8_t contNo, uint16_t arrayRef, void *out2368);
int32_t SLGetCacheBkupStatus(uint8_t contNo, void *out64);
int32_t SLGetCacheBkupDesignInfo(uint8_t contNo, void *out64);
int32_t SLGetCacheBkupProperties(uint8_t contNo, void *out32);
int32_t SLGetEnclConfig(uint8_t contNo, uint16_t enclDeviceId, void *out1024);
int32_t SLGetEnclStatus(uint8_t contNo, uint16_t enclDeviceId, void *out2048);
int32_t SLGetSASConnector(uint8_t contNo, uint16_t enclDeviceId, void *out, uint32_t size);
int32_t SendDCMDPassThru(uint8_t contNo, DcmdFrame *frame);
int32_t SCSISENSEPassthru(uint8_t slotNo, uint8_t contNo, uint8_t pageCode, uint8_t *out32);

// Direct-command queries
int32_t SLGetMFCDefaults(uint8_t contNo, void *out72);
int32_t SLGetTime(uint8_t contNo, uint32_t *seconds);
int32_t SLGetCtrlBlock168(uint8_t contNo, void *out168);
int32_t SLGetSnapshotInfoSize(uint8_t contNo, uint8_t targetId, uint32_t *size);
int32_t SLGetSnapshotInfo(uint8_t contNo, uint8_t targetId, void *out, uint32_t size);
int32_t SLGetSnapshotViewInfoSize(uint8_t contNo, uint8_t targetId, uint32_t *size);
int32_t SLGetSnapshotViewInfo(uint8_t contNo, uint8_t targetId, void *out, uint32_t size);
int32_t SLGetSnapshotRepoSpaceSize(uint8_t contNo, uint8_t targetId, uint32_t *size);
int32_t SLGetSnapshotRepoSpace(uint8_t contNo, uint8_t targetId, void *out, uint32_t size);

// Derived lookups
int32_t SLGetDeviceId(uint8_t contNo, uint8_t slotNo, uint16_t *deviceId);
int32_t SLGetSlotNo(uint8_t contNo, uint16_t deviceId, uint8_t *slotNo);
int32_t SLGetSlotNum(uint8_t contNo, uint16_t *slotCount);
int32_t SLGetLDSequenceNumber(uint8_t contNo, uint8_t targetId, uint16_t *seqNum);
int32_t SLGetCtrlSequenceNumber(uint8_t contNo, uint16_t *seqNum);
int32_t SLGetPDSequenceNumber(uint8_t contNo, uint16_t deviceId, uint16_t *seqNum);
int32_t FindFreeArrayIDs(uint8_t *free128, uint8_t contNo);
int32_t SLIsTempPageSupported(uint8_t contNo, uint8_t slotNo, uint8_t *supported);
int32_t SLGetPDTemperature(uint8_t contNo, uint8_t slotNo, uint8_t *celsius);
int32_t SLIsDuringRebuildCopyback(uint8_t contNo, uint8_t targetId, uint8_t *running);

// ---------------------------------------------------------------------------------------------
// Actions
// ---------------------------------------------------------------------------------------------
int32_t SLDeleteLD(uint8_t contNo, uint8_t targetId);
int32_t SLStartInitialization(uint8_t contNo, uint8_t targetId);
int32_t SLCancelInitialization(uint8_t contNo, uint8_t targetId);
int32_t SLStartCheckConsistency(uint8_t contNo, uint8_t targetId);
int32_t SLCancelCheckConsistency(uint8_t contNo, uint8_t targetId);
int32_t SLSetLDProperties(uint8_t contNo, const void *props32);
int32_t SLStartPatrolReadOpe(uint8_t contNo);
int32_t SLStopPatrolReadOpe(uint8_t contNo);
int32_t SLSetPatrolReadProp(uint8_t contNo, const void *props208);
int32_t SLLearnCacheBkup(uint8_t contNo);
int32_t SLStartLocatePD(uint8_t contNo, uint8_t slotNo, uint8_t locateFlag);
int32_t SLStopLocatePD(uint8_t contNo, uint8_t slotNo);
int32_t SLStartRebuild(uint8_t contNo, uint8_t slotNo);
int32_t SLMakeDriveOnline(uint8_t contNo, uint8_t slotNo);
int32_t SLMakeDriveOffline(uint8_t contNo, uint8_t slotNo);
int32_t SLMakeDriveUnconfGood(uint8_t contNo, uint8_t slotNo);
int32_t SLMakeGlobalHotspare(uint8_t contNo, uint8_t slotNo);
int32_t SLMakeDedicatedHotspare(uint8_t contNo, uint8_t slotNo, uint16_t arrayRef);
int32_t SLRemoveHotspare(uint8_t contNo, uint8_t slotNo);

// Read-modify-write actions
int32_t SLSetCtrlRbldMode(uint8_t contNo, uint8_t disableAutoRebuild);
// Sets the rebuild, patrol read, background initialisation, consistency check and reconstruction
// rates to taskRate and the three copyback switches of the on/off bits.
int32_t SLSetCtrlProp(uint8_t contNo, uint8_t taskRate, uint8_t copybackDisabled, uint8_t smartCopybackHdd,
                      uint8_t smartCopybackSsd);
int32_t SLSetFailPDOnSmartTer(uint8_t contNo, uint8_t failPdOnSmartError);
int32_t SLSetSnapshotProp(uint8_t contNo, uint8_t targetId, uint8_t autoSnapshot, uint8_t autoDeleteChoice);

// Snapshot switches (direct commands); enableData is the 16-byte enable block.
int32_t SLEnableSnapshot(uint8_t contNo, uint8_t targetId, const void *enableData16);
int32_t SLDisableSnapshot(uint8_t contNo, uint8_t targetId);

// Snapshots (points in time) and views
int32_t SLCreateSnapshotPIT(uint8_t contNo, uint8_t targetId, const char *name);
int32_t SLDeleteSnapshotPIT(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo);
int32_t SLCreateSnapshotView(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo, const char *viewName);
int32_t SLDeleteSnapshotView(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo);

// Foreign configurations (graphical tool); foreignIndex 0xFF addresses all of them.
int32_t SLScanForForeignConfig(uint8_t contNo, uint32_t *foreignCount);
int32_t SLGetForeignConfigSize(uint8_t contNo, uint8_t foreignIndex, uint32_t *size);
int32_t SLReadConfigAfterImport(uint8_t contNo, uint8_t foreignIndex, void *out, uint32_t size);
int32_t SLClearForeignConfig(uint8_t contNo, uint8_t foreignIndex);
int32_t SLImportForeignConfig(uint8_t contNo, uint8_t foreignIndex);

// Configuration building
int32_t SLCreateLD(uint8_t contNo, const LdCreateRequest *request);
int32_t SLCreateCacheCadeLD(uint8_t contNo, const LdCreateRequest *request);
// Adds the LDs of one request entry to the existing RAID group arrayRef, from startBlock on.
int32_t SLAddLDToRG(uint8_t contNo, uint16_t arrayRef, uint64_t startBlock, const RgEntry *entry);

#ifdef __cplusplus
}
#endif

#endif
