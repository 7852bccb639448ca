// Changing operations of the controller access layer: LD, PD, controller and cache-backup actions,
// read-modify-write property changes, snapshot switches and the snapshot, foreign-configuration
// and configuration-building requests. Each traces its operands first and its outcome always.
#include <stdlib.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/StoreLibInternal.h"
#include "common/raidctl.h"

#define OPERANDS(...) SL_TRACE("", __VA_ARGS__)

static SLRequest Request(uint8_t type, uint8_t cmd, uint16_t ref1, uint16_t ref2, const void *data, uint32_t size)
{
    SLRequest r = {type, cmd, ref1, ref2, 0, (void *)data, size};
    return r;
}

// ---------------------------------------------------------------------------------------------
// LD actions: reference 1 = LD sequence number, reference 2 = target id
// ---------------------------------------------------------------------------------------------
static int32_t LdAction(const char *name, unsigned line, uint8_t contNo, uint8_t targetId, uint8_t cmd,
                        uint8_t param0)
{
    uint16_t seqNum = 0;
    OPERANDS("func=%s: contNo=%u, ldNo=%u", name, contNo, targetId);
    int32_t status = SLGetLDSequenceNumber(contNo, targetId, &seqNum);
    if (status != 0)
        return status;
    SLRequest r = Request(LIBCMD_TYPE_LD, cmd, seqNum, targetId, 0, 0);
    r.param0 = param0;
    return SLRunAction(name, line, contNo, &r);
}

int32_t SLDeleteLD(uint8_t contNo, uint8_t targetId)
{
    return LdAction("SLDeleteLD", __LINE__, contNo, targetId, SLCMD_LD_DELETE, 0);
}

int32_t SLStartInitialization(uint8_t contNo, uint8_t targetId)
{
    return LdAction("SLStartInitialization", __LINE__, contNo, targetId, SLCMD_LD_START_INIT, 1);
}

int32_t SLCancelInitialization(uint8_t contNo, uint8_t targetId)
{
    return LdAction("SLCancelInitialization", __LINE__, contNo, targetId, SLCMD_LD_CANCEL_INIT, 0);
}

int32_t SLStartCheckConsistency(uint8_t contNo, uint8_t targetId)
{
    return LdAction("SLStartCheckConsistency", __LINE__, contNo, targetId, SLCMD_LD_START_CC, 0);
}

int32_t SLCancelCheckConsistency(uint8_t contNo, uint8_t targetId)
{
    return LdAction("SLCancelCheckConsistency", __LINE__, contNo, targetId, SLCMD_LD_CANCEL_CC, 0);
}

// The block names its own LD, so a block read for one LD and handed back addresses that LD.
int32_t SLSetLDProperties(uint8_t contNo, const void *props32)
{
    const uint8_t *block = (const uint8_t *)props32;
    SL_TRACE_DUMP("", block, LD_PROP_SIZE, "func=%s: contNo=%u, ldNo=%u", "SLSetLDProperties", contNo,
                   block[LP_TARGET_ID]);
    SLRequest r = Request(LIBCMD_TYPE_LD, SLCMD_LD_SET_PROP, LayoutU16(block, LP_SEQ_NUM), block[LP_TARGET_ID],
                          block, LD_PROP_SIZE);
    return SLRunAction("SLSetLDProperties", __LINE__, contNo, &r);
}

// ---------------------------------------------------------------------------------------------
// Controller and cache-backup actions
// ---------------------------------------------------------------------------------------------
static int32_t CtrlAction(const char *name, unsigned line, uint8_t contNo, uint8_t type, uint8_t cmd)
{
    OPERANDS("func=%s: contNo=%u", name, contNo);
    SLRequest r = Request(type, cmd, 0, 0, 0, 0);
    return SLRunAction(name, line, contNo, &r);
}

int32_t SLStartPatrolReadOpe(uint8_t contNo)
{
    return CtrlAction("SLStartPatrolReadOpe", __LINE__, contNo, LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_START_PR);
}

int32_t SLStopPatrolReadOpe(uint8_t contNo)
{
    return CtrlAction("SLStopPatrolReadOpe", __LINE__, contNo, LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_STOP_PR);
}

int32_t SLLearnCacheBkup(uint8_t contNo)
{
    return CtrlAction("SLLearnCacheBkup", __LINE__, contNo, LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_LEARN);
}

int32_t SLSetPatrolReadProp(uint8_t contNo, const void *props208)
{
    uint16_t seqNum = 0;
    SL_TRACE_DUMP("", props208, PATROL_READ_PROP_SIZE, "func=%s: contNo=%u", "SLSetPatrolReadProp", contNo);
    int32_t status = SLGetCtrlSequenceNumber(contNo, &seqNum);
    if (status != 0)
        return status;
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_SET_PR_PROP, seqNum, 0, props208, PATROL_READ_PROP_SIZE);
    return SLRunAction("SLSetPatrolReadProp", __LINE__, contNo, &r);
}

// Writes a 64-byte controller properties block back; its first u16 is its sequence number.
static int32_t WriteCtrlProp(const char *name, unsigned line, uint8_t contNo, uint8_t *props)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_SET_PROP, LayoutU16(props, CP_SEQ_NUM), 0, props,
                          CTRL_PROP_SIZE);
    return SLRunAction(name, line, contNo, &r);
}

int32_t SLSetCtrlRbldMode(uint8_t contNo, uint8_t disableAutoRebuild)
{
    uint8_t props[CTRL_PROP_SIZE];
    OPERANDS("func=%s: contNo=%u, disableAutoRebuild=%u", "SLSetCtrlRbldMode", contNo, disableAutoRebuild);
    int32_t status = SLGetCtrlProp(contNo, props);
    if (status != 0)
        return status;
    props[CP_AUTO_REBUILD_DISABLED] = disableAutoRebuild;
    return WriteCtrlProp("SLSetCtrlRbldMode", __LINE__, contNo, props);
}

static uint32_t WithBit(uint32_t bits, uint32_t bit, uint8_t on) { return on ? (bits | bit) : (bits & ~bit); }

int32_t SLSetCtrlProp(uint8_t contNo, uint8_t taskRate, uint8_t copybackDisabled, uint8_t smartCopybackHdd,
                      uint8_t smartCopybackSsd)
{
    uint8_t props[CTRL_PROP_SIZE];
    OPERANDS("func=%s: contNo=%u", "SLSetCtrlProp", contNo);
    int32_t status = SLGetCtrlProp(contNo, props);
    if (status != 0)
        return status;
    props[CP_REBUILD_RATE] = taskRate;
    props[CP_PATROL_READ_RATE] = taskRate;
    props[CP_BGI_RATE] = taskRate;
    props[CP_CC_RATE] = taskRate;
    props[CP_RECON_RATE] = taskRate;
    uint32_t bits = LayoutU32(props, CP_ON_OFF_BITS);
    bits = WithBit(bits, CP_BIT_COPYBACK_DISABLED, copybackDisabled);
    bits = WithBit(bits, CP_BIT_SMART_COPYBACK_HDD, smartCopybackHdd);
    bits = WithBit(bits, CP_BIT_SMART_COPYBACK_SSD, smartCopybackSsd);
    LayoutPutU32(props, CP_ON_OFF_BITS, bits);
    SL_TRACE_DUMP("", props, CTRL_PROP_SIZE, "func=%s: CtrlProp >", "SLSetCtrlProp");
    return WriteCtrlProp("SLSetCtrlProp", __LINE__, contNo, props);
}

int32_t SLSetFailPDOnSmartTer(uint8_t contNo, uint8_t failPdOnSmartError)
{
    uint8_t defaults[MFC_DEFAULTS_SIZE];
    OPERANDS("func=%s: contNo=%u, failPdOnSMARTer=%u", "SLSetFailPDOnSmartTer", contNo, failPdOnSmartError);
    int32_t status = SLGetMFCDefaults(contNo, defaults);
    if (status != 0)
        return status;
    defaults[MFC_DEFAULTS_FAIL_PD_ON_SMART] = failPdOnSmartError;
    DcmdFrame frame;
    LibCmdPacket packet;
    SLBuildFrame(&frame, DCMD_SET_MFC_DEFAULTS, DCMD_DIR_TO_CTRL, defaults, sizeof(defaults));
    status = SLSendFrame(contNo, &frame, &packet);
    TraceDcmdStatus(&frame, __LINE__, status, "SLSetFailPDOnSmartTer", SL_MODULE);
    return status;
}

int32_t SLSetSnapshotProp(uint8_t contNo, uint8_t targetId, uint8_t autoSnapshot, uint8_t autoDeleteChoice)
{
    uint8_t props[LD_PROP_SIZE];
    OPERANDS("func=%s: contNo=%u, ldNo=%u, autoSnapshot=%u, autoDelete=%u", "SLSetSnapshotProp", contNo, targetId,
             autoSnapshot, autoDeleteChoice);
    int32_t status = SLGetLDProperties(contNo, targetId, props);
    if (status != 0)
        return status;
    uint8_t flags = props[LP_SNAPSHOT_FLAGS];
    flags = (uint8_t)WithBit(flags, LP_SNAP_AUTO_SNAPSHOT, autoSnapshot != 0);
    flags = (uint8_t)WithBit(flags, LP_SNAP_NO_AUTO_DELETE, autoDeleteChoice == 0);
    props[LP_SNAPSHOT_FLAGS] = flags;
    return SLSetLDProperties(contNo, props);
}

// ---------------------------------------------------------------------------------------------
// PD actions: reference 1 = device id, reference 2 = PD sequence number where the firmware wants it
// ---------------------------------------------------------------------------------------------
static int32_t PdAddress(uint8_t contNo, uint8_t slotNo, int withSeq, uint16_t *deviceId, uint16_t *seqNum)
{
    *seqNum = 0;
    int32_t status = SLGetDeviceId(contNo, slotNo, deviceId);
    if (status != 0 || !withSeq)
        return status;
    return SLGetPDSequenceNumber(contNo, *deviceId, seqNum);
}

static int32_t PdAction(const char *name, unsigned line, uint8_t contNo, uint8_t slotNo, uint8_t cmd, int withSeq,
                        uint8_t param0, const void *data, uint32_t size)
{
    uint16_t deviceId = 0, seqNum = 0;
    int32_t status = PdAddress(contNo, slotNo, withSeq, &deviceId, &seqNum);
    if (status != 0)
        return status;
    SLRequest r = Request(LIBCMD_TYPE_PD, cmd, deviceId, seqNum, data, size);
    r.param0 = param0;
    return SLRunAction(name, line, contNo, &r);
}

#define PD_OPERANDS(name, contNo, slotNo) OPERANDS("func=%s: contNo=%u, pdNo=%u", (name), (contNo), (slotNo))
#define SPARE_OPERANDS(name, contNo, slotNo) OPERANDS("func=%s: contNo=%u, slotNo=%u", (name), (contNo), (slotNo))

int32_t SLStartLocatePD(uint8_t contNo, uint8_t slotNo, uint8_t locateFlag)
{
    PD_OPERANDS("SLStartLocatePD", contNo, slotNo);
    return PdAction("SLStartLocatePD", __LINE__, contNo, slotNo, SLCMD_PD_START_LOCATE, 0, locateFlag, 0, 0);
}

int32_t SLStopLocatePD(uint8_t contNo, uint8_t slotNo)
{
    PD_OPERANDS("SLStopLocatePD", contNo, slotNo);
    return PdAction("SLStopLocatePD", __LINE__, contNo, slotNo, SLCMD_PD_STOP_LOCATE, 0, 0, 0, 0);
}

int32_t SLStartRebuild(uint8_t contNo, uint8_t slotNo)
{
    PD_OPERANDS("SLStartRebuild", contNo, slotNo);
    return PdAction("SLStartRebuild", __LINE__, contNo, slotNo, SLCMD_PD_START_REBUILD, 1, 0, 0, 0);
}

int32_t SLMakeDriveOnline(uint8_t contNo, uint8_t slotNo)
{
    PD_OPERANDS("SLMakeDriveOnline", contNo, slotNo);
    return PdAction("SLMakeDriveOnline", __LINE__, contNo, slotNo, SLCMD_PD_MAKE_ONLINE, 1, 0, 0, 0);
}

int32_t SLMakeDriveOffline(uint8_t contNo, uint8_t slotNo)
{
    PD_OPERANDS("SLMakeDriveOffline", contNo, slotNo);
    return PdAction("SLMakeDriveOffline", __LINE__, contNo, slotNo, SLCMD_PD_MAKE_OFFLINE, 1, 0, 0, 0);
}

int32_t SLMakeDriveUnconfGood(uint8_t contNo, uint8_t slotNo)
{
    PD_OPERANDS("SLMakeDriveUnconfGood", contNo, slotNo);
    return PdAction("SLMakeDriveUnconfGood", __LINE__, contNo, slotNo, SLCMD_PD_MAKE_UNCONF_GOOD, 1, 0, 0, 0);
}

int32_t SLMakeGlobalHotspare(uint8_t contNo, uint8_t slotNo)
{
    SPARE_OPERANDS("SLMakeGlobalHotspare", contNo, slotNo);
    return PdAction("SLMakeGlobalHotspare", __LINE__, contNo, slotNo, SLCMD_PD_MAKE_GHS, 1, 0, 0, 0);
}

int32_t SLMakeDedicatedHotspare(uint8_t contNo, uint8_t slotNo, uint16_t arrayRef)
{
    DedicatedSpareRequest request;
    OPERANDS("func=%s: contNo=%u ,slotNo=%u, arrayRef=%u", "SLMakeDedicatedHotspare", contNo, slotNo, arrayRef);
    memset(&request, 0, sizeof(request));
    request.count = 1;
    request.arrayRefs[0] = arrayRef;
    return PdAction("SLMakeDedicatedHotspare", __LINE__, contNo, slotNo, SLCMD_PD_MAKE_DHS, 1, 0, &request,
                    sizeof(request));
}

int32_t SLRemoveHotspare(uint8_t contNo, uint8_t slotNo)
{
    SPARE_OPERANDS("SLRemoveHotspare", contNo, slotNo);
    return PdAction("SLRemoveHotspare", __LINE__, contNo, slotNo, SLCMD_PD_REMOVE_HS, 1, 0, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Snapshot direct commands; the mailbox names the base LD (target id, 0, sequence number)
// ---------------------------------------------------------------------------------------------
static int32_t SnapshotCommand(const char *name, unsigned line, uint8_t contNo, uint8_t targetId, uint32_t opcode,
                               const void *data, uint32_t size, uint32_t mailboxArg)
{
    uint16_t seqNum = 0;
    int32_t status = SLGetLDSequenceNumber(contNo, targetId, &seqNum);
    if (status != 0)
        return status;
    DcmdFrame frame;
    LibCmdPacket packet;
    SLBuildFrame(&frame, opcode, data ? DCMD_DIR_TO_CTRL : DCMD_DIR_NONE, (void *)data, size);
    SLFrameLdMailbox(&frame, targetId, seqNum);
    LayoutPutU32(frame.mailbox, DCMD_MBOX_ARG, mailboxArg);
    status = SLSendFrame(contNo, &frame, &packet);
    TraceDcmdStatus(&frame, line, status, name, SL_MODULE);
    return status;
}

int32_t SLEnableSnapshot(uint8_t contNo, uint8_t targetId, const void *enableData16)
{
    OPERANDS("func=%s: contNo=%u, ldNo=%u", "SLEnableSnapshot", contNo, targetId);
    return SnapshotCommand("SLEnableSnapshot", __LINE__, contNo, targetId, DCMD_SNAPSHOT_ENABLE, enableData16,
                           sizeof(SnapshotEnableRequest), 0);
}

int32_t SLDisableSnapshot(uint8_t contNo, uint8_t targetId)
{
    OPERANDS("func=%s: contNo=%u, ldNo=%u", "SLDisableSnapshot", contNo, targetId);
    return SnapshotCommand("SLDisableSnapshot", __LINE__, contNo, targetId, DCMD_SNAPSHOT_DISABLE, 0, 0, 0);
}

// Copies a name of at most 15 characters into a 16-byte field; longer names are refused.
static int CopySnapshotName(char *field16, const char *name)
{
    if (!name || strlen(name) > 15)
        return 0;
    memset(field16, 0, 16);
    memcpy(field16, name, strlen(name));
    return 1;
}

int32_t SLCreateSnapshotPIT(uint8_t contNo, uint8_t targetId, const char *name)
{
    SnapshotPitRequest request;
    OPERANDS("func=%s: contNo=%u, ldNo=%u, name=%s", "SLCreateSnapshotPIT", contNo, targetId, name ? name : "");
    memset(&request, 0, sizeof(request));
    if (!CopySnapshotName(request.name, name)) {
        TraceStatus(0, __LINE__, LIB_STATUS_BAD_PARAM, "SLCreateSnapshotPIT", SL_MODULE);
        return LIB_STATUS_BAD_PARAM;
    }
    return SnapshotCommand("SLCreateSnapshotPIT", __LINE__, contNo, targetId, DCMD_SNAPSHOT_CREATE_PIT, &request,
                           sizeof(request), 0);
}

int32_t SLDeleteSnapshotPIT(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo)
{
    OPERANDS("func=%s: contNo=%u, ldNo=%u, snapshotNo=%u", "SLDeleteSnapshotPIT", contNo, targetId, snapshotNo);
    return SnapshotCommand("SLDeleteSnapshotPIT", __LINE__, contNo, targetId, DCMD_SNAPSHOT_DELETE_PIT, 0, 0,
                           snapshotNo);
}

int32_t SLCreateSnapshotView(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo, const char *viewName)
{
    SnapshotViewRequest request;
    OPERANDS("func=%s: contNo=%u, ldNo=%u, snapshotNo=%u, name=%s", "SLCreateSnapshotView", contNo, targetId,
             snapshotNo, viewName ? viewName : "");
    memset(&request, 0, sizeof(request));
    request.pitNumber = snapshotNo;
    if (!CopySnapshotName(request.name, viewName)) {
        TraceStatus(0, __LINE__, LIB_STATUS_BAD_PARAM, "SLCreateSnapshotView", SL_MODULE);
        return LIB_STATUS_BAD_PARAM;
    }
    return SnapshotCommand("SLCreateSnapshotView", __LINE__, contNo, targetId, DCMD_SNAPSHOT_CREATE_VIEW, &request,
                           sizeof(request), 0);
}

int32_t SLDeleteSnapshotView(uint8_t contNo, uint8_t targetId, uint32_t snapshotNo)
{
    OPERANDS("func=%s: contNo=%u, ldNo=%u, snapshotNo=%u", "SLDeleteSnapshotView", contNo, targetId, snapshotNo);
    return SnapshotCommand("SLDeleteSnapshotView", __LINE__, contNo, targetId, DCMD_SNAPSHOT_DELETE_VIEW, 0, 0,
                           snapshotNo);
}

// ---------------------------------------------------------------------------------------------
// Foreign configurations
// ---------------------------------------------------------------------------------------------
int32_t SLScanForForeignConfig(uint8_t contNo, uint32_t *foreignCount)
{
    ForeignScanResult result;
    OPERANDS("func=%s: contNo=%u", "SLScanForForeignConfig", contNo);
    memset(&result, 0, sizeof(result));
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_FOREIGN_SCAN, 0, 0, &result, sizeof(result));
    int32_t status = SLRunAction("SLScanForForeignConfig", __LINE__, contNo, &r);
    *foreignCount = status == 0 ? (result.count < (uint32_t)FOREIGN_MAX ? result.count : (uint32_t)FOREIGN_MAX) : 0;
    return status;
}

int32_t SLGetForeignConfigSize(uint8_t contNo, uint8_t foreignIndex, uint32_t *size)
{
    uint8_t value[4] = {0, 0, 0, 0};
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_FOREIGN_SIZE, 0, 0, value, sizeof(value));
    r.param0 = foreignIndex;
    int32_t status = SLRunQuery("SLGetForeignConfigSize", __LINE__, contNo, &r);
    *size = status == 0 ? LayoutU32(value, 0) : 0;
    return status;
}

int32_t SLReadConfigAfterImport(uint8_t contNo, uint8_t foreignIndex, void *out, uint32_t size)
{
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_FOREIGN_PREVIEW, 0, 0, out, size);
    r.param0 = foreignIndex;
    return SLRunQuery("SLReadConfigAfterImport", __LINE__, contNo, &r);
}

int32_t SLClearForeignConfig(uint8_t contNo, uint8_t foreignIndex)
{
    OPERANDS("func=%s: contNo=%u, foreignNo=%u", "SLClearForeignConfig", contNo, foreignIndex);
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_FOREIGN_CLEAR, 0, 0, 0, 0);
    r.param0 = foreignIndex;
    return SLRunAction("SLClearForeignConfig", __LINE__, contNo, &r);
}

int32_t SLImportForeignConfig(uint8_t contNo, uint8_t foreignIndex)
{
    OPERANDS("func=%s: contNo=%u, foreignNo=%u", "SLImportForeignConfig", contNo, foreignIndex);
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_FOREIGN_IMPORT, 0, 0, 0, 0);
    r.param0 = foreignIndex;
    return SLRunAction("SLImportForeignConfig", __LINE__, contNo, &r);
}

// ---------------------------------------------------------------------------------------------
// Configuration building
// ---------------------------------------------------------------------------------------------
static int RequestIsSane(const LdCreateRequest *request)
{
    if (!request || request->groupCount == 0 || request->groupCount > RG_MAX)
        return 0;
    if (request->ghsCount < 0 || request->ghsCount > REQ_GHS_MAX)
        return 0;
    for (unsigned g = 0; g < request->groupCount; g++) {
        const RgEntry *group = &request->groups[g];
        if (group->ldCount == 0 || group->ldCount > RG_LD_MAX || group->pdCount == 0 || group->pdCount > RG_PD_MAX)
            return 0;
    }
    return 1;
}

static int32_t CreateFromRequest(const char *name, unsigned line, uint8_t contNo, uint8_t cmd,
                                 const LdCreateRequest *request)
{
    OPERANDS("func=%s: contNo=%u, groups=%u, ghs=%d", name, contNo, request ? request->groupCount : 0,
             request ? request->ghsCount : 0);
    if (!RequestIsSane(request)) {
        TraceStatus(0, line, LIB_STATUS_BAD_PARAM, name, SL_MODULE);
        return LIB_STATUS_BAD_PARAM;
    }
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, cmd, 0, 0, request, sizeof(*request));
    return SLRunAction(name, line, contNo, &r);
}

int32_t SLCreateLD(uint8_t contNo, const LdCreateRequest *request)
{
    return CreateFromRequest("SLCreateLD", __LINE__, contNo, SLCMD_CFG_CREATE_LD, request);
}

int32_t SLCreateCacheCadeLD(uint8_t contNo, const LdCreateRequest *request)
{
    return CreateFromRequest("SLCreateCacheCadeLD", __LINE__, contNo, SLCMD_CFG_CREATE_CACHECADE, request);
}

int32_t SLAddLDToRG(uint8_t contNo, uint16_t arrayRef, uint64_t startBlock, const RgEntry *entry)
{
    OPERANDS("func=%s: contNo=%u, arrayRef=%u, lds=%u", "SLAddLDToRG", contNo, arrayRef, entry ? entry->ldCount : 0);
    if (!entry || entry->ldCount == 0 || entry->ldCount > RG_LD_MAX) {
        TraceStatus(0, __LINE__, LIB_STATUS_BAD_PARAM, "SLAddLDToRG", SL_MODULE);
        return LIB_STATUS_BAD_PARAM;
    }
    AddLdToRgRequest *request = (AddLdToRgRequest *)SLAllocWork(sizeof(AddLdToRgRequest));
    if (!request)
        return LIB_STATUS_NO_MEMORY;
    request->arrayRef = arrayRef;
    request->startBlock = startBlock;
    request->group = *entry;
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_ADD_LD_TO_RG, 0, arrayRef, request, sizeof(*request));
    int32_t status = SLRunAction("SLAddLDToRG", __LINE__, contNo, &r);
    free(request);
    return status;
}
