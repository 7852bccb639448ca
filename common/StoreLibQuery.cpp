// Read-only operations of the controller access layer: one function per query command, the
// direct-command queries, and the lookups built from them (device ids, slots, sequence numbers).
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/StoreLibInternal.h"
#include "common/raidctl.h"

// ---------------------------------------------------------------------------------------------
// Packet helpers shared with the actions
// ---------------------------------------------------------------------------------------------
void SLBuildPacket(LibCmdPacket *packet, uint8_t contNo, const SLRequest *request)
{
    memset(packet, 0, sizeof(*packet));
    packet->cmdType = request->cmdType;
    packet->cmd = request->cmd;
    packet->ctrlId = SLControllerId(contNo);
    packet->ref1 = request->ref1;
    packet->ref2 = request->ref2;
    packet->param[0] = request->param0;
    packet->dataSize = request->data ? request->dataSize : 0;
    packet->dataPtr = SLBufferAddress(request->data);
}

int32_t SLRunQuery(const char *opName, unsigned line, uint8_t contNo, const SLRequest *request)
{
    LibCmdPacket packet;
    if (request->data && request->dataSize)
        memset(request->data, 0, request->dataSize);
    SLBuildPacket(&packet, contNo, request);
    int32_t status = SendLibCommand(contNo, &packet);
    if (status != 0)
        TraceStatus(&packet, line, status, opName, SL_MODULE);
    return status;
}

int32_t SLRunAction(const char *opName, unsigned line, uint8_t contNo, const SLRequest *request)
{
    LibCmdPacket packet;
    SLBuildPacket(&packet, contNo, request);
    int32_t status = SendLibCommand(contNo, &packet);
    TraceStatus(&packet, line, status, opName, SL_MODULE);
    return status;
}

void SLBuildFrame(DcmdFrame *frame, uint32_t opcode, uint8_t direction, void *data, uint32_t dataSize)
{
    memset(frame, 0, sizeof(*frame));
    frame->opcode = opcode;
    frame->direction = direction;
    frame->dataSize = data ? dataSize : 0;
    frame->dataPtr = SLBufferAddress(data);
}

void SLFrameLdMailbox(DcmdFrame *frame, uint8_t targetId, uint16_t seqNum)
{
    frame->mailbox[DCMD_MBOX_TARGET] = targetId;
    frame->mailbox[1] = 0;
    LayoutPutU16(frame->mailbox, DCMD_MBOX_LD_SEQ, seqNum);
}

int32_t SLSendFrame(uint8_t contNo, DcmdFrame *frame, LibCmdPacket *packetOut)
{
    SLRequest request = {LIBCMD_TYPE_PASSTHRU, SLCMD_PT_DCMD, 0, 0, 0, frame, (uint32_t)sizeof(*frame)};
    SLBuildPacket(packetOut, contNo, &request);
    return SendLibCommand(contNo, packetOut);
}

void *SLAllocWork(uint32_t size)
{
    void *buffer = calloc(1, size);
    if (!buffer)
        SLCallAllocFail();
    return buffer;
}

static SLRequest Request(uint8_t type, uint8_t cmd, uint16_t ref1, uint16_t ref2, void *data, uint32_t size)
{
    SLRequest r = {type, cmd, ref1, ref2, 0, data, size};
    return r;
}

#define QUERY(name, contNo, req) SLRunQuery((name), __LINE__, (contNo), &(req))

// ---------------------------------------------------------------------------------------------
// Library and controller queries
// ---------------------------------------------------------------------------------------------
int32_t SLGetLibraryVersion(void *out12)
{
    LibCmdPacket packet;
    SLRequest r = Request(LIBCMD_TYPE_LIBRARY, SLCMD_LIB_VERSION, 0, 0, out12, LIB_VERSION_SIZE);
    memset(out12, 0, LIB_VERSION_SIZE);
    SLBuildPacket(&packet, 0, &r);
    packet.ctrlId = 0;
    int32_t status = SLSendLibraryCommand(&packet);
    if (status != 0)
        TraceStatus(&packet, __LINE__, status, "SLGetLibraryVersion", SL_MODULE);
    return status;
}

int32_t SLGetCtrlInfo(uint8_t contNo, void *out2048)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_INFO, 0, 0, out2048, CTRL_INFO_SIZE);
    return QUERY("SLGetCtrlInfo", contNo, r);
}

int32_t SLGetCtrlProp(uint8_t contNo, void *out64)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_GET_PROP, 0, 0, out64, CTRL_PROP_SIZE);
    return QUERY("SLGetCtrlProp", contNo, r);
}

// Exchange sort of list entries by one byte of each entry, as the tools have always ordered the PD
// and LD lists (entries with equal keys keep the order this sort leaves them in).
static void SortEntriesByByte(uint8_t *entries, uint32_t count, size_t entrySize, size_t keyOffset)
{
    uint8_t swap[sizeof(PdListEntry) > sizeof(LdListEntry) ? sizeof(PdListEntry) : sizeof(LdListEntry)];
    for (uint32_t i = 0; i + 1 < count; i++)
        for (uint32_t j = i + 1; j < count; j++) {
            uint8_t *a = entries + entrySize * i, *b = entries + entrySize * j;
            if (b[keyOffset] < a[keyOffset]) {
                memcpy(swap, a, entrySize);
                memcpy(a, b, entrySize);
                memcpy(b, swap, entrySize);
            }
        }
}

static void SortPdListBySlot(PdList *list)
{
    uint32_t count = list->count < (uint32_t)PD_LIST_MAX ? list->count : (uint32_t)PD_LIST_MAX;
    SortEntriesByByte((uint8_t *)list->entries, count, sizeof(PdListEntry), offsetof(PdListEntry, slotNumber));
}

static void SortLdListByTarget(LdList *list)
{
    uint32_t count = list->count < (uint32_t)LD_MAX ? list->count : (uint32_t)LD_MAX;
    SortEntriesByByte((uint8_t *)list->entries, count, sizeof(LdListEntry), offsetof(LdListEntry, targetId));
}

int32_t SLGetPDList(uint8_t contNo, PdList *out)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_PD_LIST, 0, 0, out, sizeof(PdList));
    int32_t status = QUERY("SLGetPDList", contNo, r);
    if (status == 0)
        SortPdListBySlot(out);
    return status;
}

int32_t SLGetEnclList(uint8_t contNo, EnclList *out)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_ENCL_LIST, 0, 0, out, sizeof(EnclList));
    return QUERY("SLGetEnclList", contNo, r);
}

int32_t SLGetPciInfo(uint8_t contNo, void *out112)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_PCI_INFO, 0, 0, out112, PCI_INFO_SIZE);
    return QUERY("SLGetPciInfo", contNo, r);
}

int32_t SLGetOSDriveName(uint8_t contNo, uint8_t targetId, char *out16)
{
    strcpy(out16, "NULL");
    uint8_t *table = (uint8_t *)SLAllocWork(OS_DRIVE_NAME_SIZE);
    if (!table)
        return SL_STATUS_NO_MEMORY;
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_OS_DRIVE_NAME, 0, 0, table, OS_DRIVE_NAME_SIZE);
    int32_t status = QUERY("SLGetOSDriveName", contNo, r);
    if (status == 0) {
        uint32_t count = LayoutU32(table, OSD_COUNT);
        for (uint32_t i = 0; i < count && i < LD_MAX; i++) {
            const uint8_t *entry = table + OSD_ENTRIES + i * OSD_ENTRY_SIZE;
            const char *name = (const char *)entry + OSD_ENTRY_NAME;
            if (entry[OSD_ENTRY_TARGET] == targetId && name[0] != '\0') {
                size_t len = strnlen(name, OSD_ENTRY_SIZE - OSD_ENTRY_NAME);
                if (len > 15)
                    len = 15;
                memcpy(out16, name, len);
                out16[len] = '\0';
                break;
            }
        }
    }
    free(table);
    return status;
}

int32_t SLGetLDList(uint8_t contNo, LdList *out)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_LD_LIST, 0, 0, out, sizeof(LdList));
    int32_t status = QUERY("SLGetLDList", contNo, r);
    if (status == 0)
        SortLdListByTarget(out);
    return status;
}

int32_t SLGetPatrolReadProp(uint8_t contNo, void *out208)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_GET_PR_PROP, 0, 0, out208, PATROL_READ_PROP_SIZE);
    return QUERY("SLGetPatrolReadProp", contNo, r);
}

int32_t SLGetDrvVer(uint8_t contNo, void *out112)
{
    SLRequest r = Request(LIBCMD_TYPE_CONTROLLER, SLCMD_CTRL_DRV_VER, 0, 0, out112, DRV_VER_SIZE);
    return QUERY("SLGetDrvVer", contNo, r);
}

// ---------------------------------------------------------------------------------------------
// PD queries (the callers name a slot; the packet names the device id)
// ---------------------------------------------------------------------------------------------
static int32_t PdQuery(const char *name, unsigned line, uint8_t contNo, uint8_t slotNo, uint8_t cmd, void *out,
                       uint32_t size)
{
    uint16_t deviceId = 0;
    memset(out, 0, size);
    int32_t status = SLGetDeviceId(contNo, slotNo, &deviceId);
    if (status != 0)
        return status;
    SLRequest r = Request(LIBCMD_TYPE_PD, cmd, deviceId, 0, out, size);
    return SLRunQuery(name, line, contNo, &r);
}

int32_t SLGetPDInfo(uint8_t contNo, uint8_t slotNo, void *out512)
{
    return PdQuery("SLGetPDInfo", __LINE__, contNo, slotNo, SLCMD_PD_INFO, out512, PD_INFO_SIZE);
}

int32_t SLGetPdProggress(uint8_t contNo, uint8_t slotNo, void *out32)
{
    return PdQuery("SLGetPdProggress", __LINE__, contNo, slotNo, SLCMD_PD_PROGRESS, out32, PD_PROGRESS_SIZE);
}

int32_t SLGetPDAllowedOperation(uint8_t contNo, uint8_t slotNo, uint32_t *out)
{
    uint8_t bits[4];
    int32_t status = PdQuery("SLGetPDAllowedOperation", __LINE__, contNo, slotNo, SLCMD_PD_ALLOWED_OPS, bits, 4);
    *out = LayoutU32(bits, 0);
    return status;
}

// ---------------------------------------------------------------------------------------------
// LD queries
// ---------------------------------------------------------------------------------------------
static int32_t LdQuery(const char *name, unsigned line, uint8_t contNo, uint8_t targetId, uint8_t cmd, void *out,
                       uint32_t size)
{
    SLRequest r = Request(LIBCMD_TYPE_LD, cmd, 0, targetId, out, size);
    return SLRunQuery(name, line, contNo, &r);
}

int32_t SLGetLDInfo(uint8_t contNo, uint8_t targetId, void *out384)
{
    return LdQuery("SLGetLDInfo", __LINE__, contNo, targetId, SLCMD_LD_INFO, out384, LD_INFO_SIZE);
}

int32_t SLGetLDProperties(uint8_t contNo, uint8_t targetId, void *out32)
{
    return LdQuery("SLGetLDProperties", __LINE__, contNo, targetId, SLCMD_LD_GET_PROP, out32, LD_PROP_SIZE);
}

int32_t SLGetLdProggress(uint8_t contNo, uint8_t targetId, void *out36)
{
    return LdQuery("SLGetLdProggress", __LINE__, contNo, targetId, SLCMD_LD_PROGRESS, out36, LD_PROGRESS_SIZE);
}

int32_t SLGetPDInLD(uint8_t contNo, uint8_t targetId, void *out516)
{
    return LdQuery("SLGetPDInLD", __LINE__, contNo, targetId, SLCMD_LD_PD_IN_LD, out516, PD_IN_LD_SIZE);
}

int32_t SLGetLDAllowedOperation(uint8_t contNo, uint8_t targetId, uint32_t *out)
{
    uint8_t bits[4];
    int32_t status = LdQuery("SLGetLDAllowedOperation", __LINE__, contNo, targetId, SLCMD_LD_ALLOWED_OPS, bits, 4);
    *out = LayoutU32(bits, 0);
    return status;
}

// ---------------------------------------------------------------------------------------------
// Configuration and arrays
// ---------------------------------------------------------------------------------------------
// Sorts the LD entries of a configuration by target id, within the part the buffer holds.
static void SortConfigLds(uint8_t *config, uint32_t size)
{
    if (size < sizeof(ConfigHeader))
        return;
    uint32_t arrayCount = LayoutU16(config, offsetof(ConfigHeader, arrayCount));
    uint32_t arraySize = LayoutU16(config, offsetof(ConfigHeader, arrayEntrySize));
    uint32_t ldCount = LayoutU16(config, offsetof(ConfigHeader, ldCount));
    uint32_t ldSize = LayoutU16(config, offsetof(ConfigHeader, ldEntrySize));
    if (arraySize == 0)
        arraySize = CONFIG_ARRAY_SIZE;
    if (ldSize == 0)
        ldSize = CONFIG_LD_SIZE;
    uint64_t first = sizeof(ConfigHeader) + (uint64_t)arrayCount * arraySize;
    if (first + (uint64_t)ldCount * ldSize > size || ldSize > 4096)
        return;
    uint8_t *lds = config + first;
    uint8_t temp[4096];
    for (uint32_t i = 0; i + 1 < ldCount; i++)
        for (uint32_t j = i + 1; j < ldCount; j++)
            if (lds[j * ldSize] < lds[i * ldSize]) {
                memcpy(temp, lds + i * ldSize, ldSize);
                memcpy(lds + i * ldSize, lds + j * ldSize, ldSize);
                memcpy(lds + j * ldSize, temp, ldSize);
            }
}

int32_t SLReadConfig(uint8_t contNo, void *out, uint32_t size)
{
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_READ, 0, 0, out, size);
    int32_t status = QUERY("SLReadConfig", contNo, r);
    if (status == 0)
        SortConfigLds((uint8_t *)out, size);
    return status;
}

int32_t SLGetConfigSize(uint8_t contNo, uint32_t *size)
{
    uint8_t probe[CONFIG_SIZE_QUERY];
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_READ, 0, 0, probe, sizeof(probe));
    int32_t status = QUERY("SLGetConfigSize", contNo, r);
    *size = status == 0 ? LayoutU32(probe, 0) : 0;
    return status;
}

int32_t SLGetArrayInfo(uint8_t contNo, uint16_t arrayRef, void *out2368)
{
    SLRequest r = Request(LIBCMD_TYPE_CONFIG, SLCMD_CFG_ARRAY_INFO, 0, arrayRef, out2368, ARRAY_INFO_SIZE);
    return QUERY("SLGetArrayInfo", contNo, r);
}

// ---------------------------------------------------------------------------------------------
// Cache-backup unit and enclosures
// ---------------------------------------------------------------------------------------------
int32_t SLGetCacheBkupStatus(uint8_t contNo, void *out64)
{
    SLRequest r = Request(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_STATUS, 0, 0, out64, CACHEBKUP_STATUS_SIZE);
    return QUERY("SLGetCacheBkupStatus", contNo, r);
}

int32_t SLGetCacheBkupDesignInfo(uint8_t contNo, void *out64)
{
    SLRequest r = Request(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_DESIGN, 0, 0, out64, CACHEBKUP_DESIGN_SIZE);
    return QUERY("SLGetCacheBkupDesignInfo", contNo, r);
}

int32_t SLGetCacheBkupProperties(uint8_t contNo, void *out32)
{
    SLRequest r = Request(LIBCMD_TYPE_CACHEBKUP, SLCMD_CB_PROP, 0, 0, out32, CACHEBKUP_PROP_SIZE);
    return QUERY("SLGetCacheBkupProperties", contNo, r);
}

int32_t SLGetEnclConfig(uint8_t contNo, uint16_t enclDeviceId, void *out1024)
{
    SLRequest r = Request(LIBCMD_TYPE_ENCLOSURE, SLCMD_ENCL_CONFIG, enclDeviceId, 0, out1024, ENCL_CONFIG_SIZE);
    return QUERY("SLGetEnclConfig", contNo, r);
}

int32_t SLGetEnclStatus(uint8_t contNo, uint16_t enclDeviceId, void *out2048)
{
    SLRequest r = Request(LIBCMD_TYPE_ENCLOSURE, SLCMD_ENCL_STATUS, enclDeviceId, 0, out2048, ENCL_STATUS_SIZE);
    return QUERY("SLGetEnclStatus", contNo, r);
}

int32_t SLGetSASConnector(uint8_t contNo, uint16_t enclDeviceId, void *out, uint32_t size)
{
    SLRequest r = Request(LIBCMD_TYPE_ENCLOSURE, SLCMD_ENCL_SAS_CONNECTOR, enclDeviceId, 0, out, size);
    return QUERY("SLGetSASConnector", contNo, r);
}

// ---------------------------------------------------------------------------------------------
// Pass-through: direct commands and SCSI LOG SENSE
// ---------------------------------------------------------------------------------------------
int32_t SendDCMDPassThru(uint8_t contNo, DcmdFrame *frame)
{
    LibCmdPacket packet;
    int32_t status = SLSendFrame(contNo, frame, &packet);
    if (status != 0) {
        TraceStatus(&packet, __LINE__, status, "SendDCMDPassThru", SL_MODULE);
        TraceTextDump(SL_MODULE, __LINE__, "", frame, (unsigned)sizeof(*frame), "func=%s: DcmdInput >",
                      "SendDCMDPassThru");
    }
    return status;
}

// Reads a direct-command block from the controller into out (cleared first).
static int32_t DcmdRead(uint8_t contNo, uint32_t opcode, void *out, uint32_t size, int ldTarget)
{
    DcmdFrame frame;
    memset(out, 0, size);
    SLBuildFrame(&frame, opcode, DCMD_DIR_FROM_CTRL, out, size);
    if (ldTarget >= 0)
        frame.mailbox[DCMD_MBOX_TARGET] = (uint8_t)ldTarget;
    return SendDCMDPassThru(contNo, &frame);
}

int32_t SCSISENSEPassthru(uint8_t slotNo, uint8_t contNo, uint8_t pageCode, uint8_t *out32)
{
    ScsiPassThru block;
    uint16_t deviceId = 0;
    memset(out32, 0, sizeof(block.data));
    int32_t status = SLGetDeviceId(contNo, slotNo, &deviceId);
    if (status != 0)
        return status;
    memset(&block, 0, sizeof(block));
    block.deviceId = deviceId;
    block.cdbLength = 10;
    block.direction = DCMD_DIR_FROM_CTRL;
    block.dataLength = sizeof(block.data);
    block.cdb[0] = SCSI_LOG_SENSE;
    block.cdb[2] = (uint8_t)(0x40 | (pageCode & 0x3F));
    block.cdb[8] = (uint8_t)sizeof(block.data);
    LibCmdPacket packet;
    SLRequest r = Request(LIBCMD_TYPE_PASSTHRU, SLCMD_PT_SCSI, 0, 0, &block, sizeof(block));
    SLBuildPacket(&packet, contNo, &r);
    status = SendLibCommand(contNo, &packet);
    if (status != 0) {
        TraceStatus(&packet, __LINE__, status, "SCSISENSEPassthru", SL_MODULE);
        return status;
    }
    memcpy(out32, block.data, sizeof(block.data));
    return 0;
}

int32_t SLGetMFCDefaults(uint8_t contNo, void *out72)
{
    return DcmdRead(contNo, DCMD_GET_MFC_DEFAULTS, out72, MFC_DEFAULTS_SIZE, -1);
}

int32_t SLGetTime(uint8_t contNo, uint32_t *seconds)
{
    uint8_t value[CTRL_TIME_SIZE];
    int32_t status = DcmdRead(contNo, DCMD_GET_TIME, value, sizeof(value), -1);
    *seconds = LayoutU32(value, 0);
    return status;
}

int32_t SLGetCtrlBlock168(uint8_t contNo, void *out168)
{
    return DcmdRead(contNo, DCMD_CTRL_BLOCK168, out168, CTRL_BLOCK168_SIZE, -1);
}

// ---------------------------------------------------------------------------------------------
// Snapshot information (direct commands; sizes come from a short probe read)
// ---------------------------------------------------------------------------------------------
static uint32_t SnapshotInfoFullSize(const uint8_t *header)
{
    uint32_t pits = header[SB_PIT_COUNT];
    if (pits == 0)
        return SB_HEADER_SIZE;
    return SB_HEADER_SIZE + (uint32_t)header[SB_VIEW_COUNT] * SB_VIEW_SIZE + pits * SB_PIT_SIZE;
}

int32_t SLGetSnapshotInfoSize(uint8_t contNo, uint8_t targetId, uint32_t *size)
{
    uint8_t probe[SB_HEADER_SIZE];
    int32_t status = DcmdRead(contNo, DCMD_SNAPSHOT_INFO, probe, sizeof(probe), targetId);
    *size = status == 0 ? SnapshotInfoFullSize(probe) : (uint32_t)SB_HEADER_SIZE;
    return status;
}

// Orders the point-in-time entries that follow the header by their creation time.
static void SortPitsByTime(uint8_t *info, uint32_t size)
{
    uint32_t pits = info[SB_PIT_COUNT];
    if (SB_HEADER_SIZE + (uint64_t)pits * SB_PIT_SIZE > size)
        return;
    uint8_t *first = info + SB_HEADER_SIZE;
    uint8_t temp[SB_PIT_SIZE];
    for (uint32_t i = 0; i + 1 < pits; i++)
        for (uint32_t j = i + 1; j < pits; j++)
            if (LayoutU32(first + j * SB_PIT_SIZE, SP_TIME) < LayoutU32(first + i * SB_PIT_SIZE, SP_TIME)) {
                memcpy(temp, first + i * SB_PIT_SIZE, SB_PIT_SIZE);
                memcpy(first + i * SB_PIT_SIZE, first + j * SB_PIT_SIZE, SB_PIT_SIZE);
                memcpy(first + j * SB_PIT_SIZE, temp, SB_PIT_SIZE);
            }
}

int32_t SLGetSnapshotInfo(uint8_t contNo, uint8_t targetId, void *out, uint32_t size)
{
    int32_t status = DcmdRead(contNo, DCMD_SNAPSHOT_INFO, out, size, targetId);
    if (status == 0)
        SortPitsByTime((uint8_t *)out, size);
    return status;
}

int32_t SLGetSnapshotViewInfoSize(uint8_t contNo, uint8_t targetId, uint32_t *size)
{
    uint8_t probe[VI_ENTRY_SIZE];
    int32_t status = DcmdRead(contNo, DCMD_SNAPSHOT_VIEW_INFO, probe, sizeof(probe), targetId);
    *size = status == 0 ? LayoutU32(probe, VI_COUNT) * VI_ENTRY_SIZE : 0;
    return status;
}

int32_t SLGetSnapshotViewInfo(uint8_t contNo, uint8_t targetId, void *out, uint32_t size)
{
    return DcmdRead(contNo, DCMD_SNAPSHOT_VIEW_INFO, out, size, targetId);
}

int32_t SLGetSnapshotRepoSpaceSize(uint8_t contNo, uint8_t targetId, uint32_t *size)
{
    uint8_t probe[SR_HEADER_SIZE];
    int32_t status = DcmdRead(contNo, DCMD_SNAPSHOT_REPO_INFO, probe, sizeof(probe), targetId);
    *size = status == 0 ? SR_HEADER_SIZE + (uint32_t)probe[SR_BASE_COUNT] * SR_ENTRY_SIZE : (uint32_t)SR_HEADER_SIZE;
    return status;
}

int32_t SLGetSnapshotRepoSpace(uint8_t contNo, uint8_t targetId, void *out, uint32_t size)
{
    return DcmdRead(contNo, DCMD_SNAPSHOT_REPO_INFO, out, size, targetId);
}

// ---------------------------------------------------------------------------------------------
// Derived lookups
// ---------------------------------------------------------------------------------------------
int32_t SLGetDeviceId(uint8_t contNo, uint8_t slotNo, uint16_t *deviceId)
{
    PdList *list = (PdList *)SLAllocWork(sizeof(PdList));
    if (!list)
        return SL_STATUS_NO_MEMORY;
    int32_t status = SLGetPDList(contNo, list);
    if (status == 0) {
        status = SL_STATUS_NOT_FOUND;
        for (uint32_t i = 0; i < list->count && i < PD_LIST_MAX; i++)
            if (list->entries[i].slotNumber == slotNo && list->entries[i].scsiDevType == 0) {
                *deviceId = list->entries[i].deviceId;
                status = 0;
                break;
            }
        if (status != 0)
            SL_TRACE(ZAV_ERR, "func=%s: contNo=%u, slotNo=%u", "SLGetDeviceId", contNo, slotNo);
    }
    free(list);
    return status;
}

int32_t SLGetSlotNo(uint8_t contNo, uint16_t deviceId, uint8_t *slotNo)
{
    PdList *list = (PdList *)SLAllocWork(sizeof(PdList));
    if (!list)
        return SL_STATUS_NO_MEMORY;
    int32_t status = SLGetPDList(contNo, list);
    if (status == 0) {
        status = SL_STATUS_NOT_FOUND;
        for (uint32_t i = 0; i < list->count && i < PD_LIST_MAX; i++)
            if (list->entries[i].deviceId == deviceId && list->entries[i].scsiDevType == 0) {
                *slotNo = list->entries[i].slotNumber;
                status = 0;
                break;
            }
        if (status != 0)
            SL_TRACE(ZAV_ERR, "func=%s: contNo=%u, deviceId=%u", "SLGetSlotNo", contNo, deviceId);
    }
    free(list);
    return status;
}

// One enclosure: its slot count. Several: the slot count of the first that is not of kind 3, plus 1.
uint16_t SlotCountOfEnclosures(const EnclList *list)
{
    uint32_t count = list->count < (uint32_t)ENCL_MAX ? list->count : (uint32_t)ENCL_MAX;
    if (count == 1)
        return list->entries[0].slotCount;
    for (uint32_t i = 0; i < count; i++)
        if (list->entries[i].kind != ENCL_KIND_VIRTUAL)
            return (uint16_t)(list->entries[i].slotCount + 1);
    return 0;
}

int32_t SLGetSlotNum(uint8_t contNo, uint16_t *slotCount)
{
    *slotCount = 0;
    EnclList *list = (EnclList *)SLAllocWork(sizeof(EnclList));
    if (!list)
        return SL_STATUS_NO_MEMORY;
    int32_t status = SLGetEnclList(contNo, list);
    if (status == 0)
        *slotCount = SlotCountOfEnclosures(list);
    free(list);
    return status;
}

int32_t SLGetLDSequenceNumber(uint8_t contNo, uint8_t targetId, uint16_t *seqNum)
{
    uint8_t info[LD_INFO_SIZE];
    int32_t status = SLGetLDInfo(contNo, targetId, info);
    *seqNum = status == 0 ? LayoutU16(info, LI_SEQ_NUM) : 0;
    return status;
}

int32_t SLGetCtrlSequenceNumber(uint8_t contNo, uint16_t *seqNum)
{
    uint8_t props[CTRL_PROP_SIZE];
    int32_t status = SLGetCtrlProp(contNo, props);
    *seqNum = status == 0 ? LayoutU16(props, CP_SEQ_NUM) : 0;
    return status;
}

int32_t SLGetPDSequenceNumber(uint8_t contNo, uint16_t deviceId, uint16_t *seqNum)
{
    uint8_t slotNo = 0;
    uint8_t info[PD_INFO_SIZE];
    *seqNum = 0;
    int32_t status = SLGetSlotNo(contNo, deviceId, &slotNo);
    if (status != 0)
        return status;
    status = SLGetPDInfo(contNo, slotNo, info);
    if (status == 0)
        *seqNum = LayoutU16(info, PI_SEQ_NUM);
    return status;
}

int32_t FindFreeArrayIDs(uint8_t *free128, uint8_t contNo)
{
    uint32_t size = 0;
    memset(free128, 1, ARRAY_REF_MAX);
    int32_t status = SLGetConfigSize(contNo, &size);
    if (status != 0)
        return status;
    if (size < sizeof(ConfigHeader))
        size = sizeof(ConfigHeader);
    uint8_t *config = (uint8_t *)SLAllocWork(size);
    if (!config)
        return SL_STATUS_NO_MEMORY;
    status = SLReadConfig(contNo, config, size);
    if (status == 0) {
        uint32_t arrayCount = LayoutU16(config, offsetof(ConfigHeader, arrayCount));
        for (uint32_t i = 0; i < arrayCount; i++) {
            uint64_t at = sizeof(ConfigHeader) + (uint64_t)i * CONFIG_ARRAY_SIZE;
            if (at + CONFIG_ARRAY_SIZE > size)
                break;
            uint16_t ref = LayoutU16(config, (size_t)at + offsetof(ConfigArray, arrayRef));
            if (ref < ARRAY_REF_MAX)
                free128[ref] = 0;
        }
    }
    free(config);
    return status;
}

int32_t SLIsTempPageSupported(uint8_t contNo, uint8_t slotNo, uint8_t *supported)
{
    uint8_t page[32];
    *supported = 0;
    int32_t status = SCSISENSEPassthru(slotNo, contNo, LOG_PAGE_SUPPORTED, page);
    if (status != 0)
        return status;
    uint32_t listEnd = 4u + page[3];
    if (listEnd > sizeof(page))
        listEnd = sizeof(page);
    for (uint32_t i = 4; i < listEnd; i++)
        if (page[i] == LOG_PAGE_TEMPERATURE)
            *supported = 1;
    return 0;
}

int32_t SLGetPDTemperature(uint8_t contNo, uint8_t slotNo, uint8_t *celsius)
{
    uint8_t page[32];
    int32_t status = SCSISENSEPassthru(slotNo, contNo, LOG_PAGE_TEMPERATURE, page);
    *celsius = status == 0 ? page[LOG_TEMP_BYTE] : 0;
    return status;
}

// A PD counts as busy when it is rebuilding or copying back, by state or by its progress bits.
static int PdIsRebuildingOrCopyingBack(const uint8_t *info)
{
    uint16_t state = LayoutU16(info, PI_FW_STATE);
    uint32_t active = LayoutU32(info, PI_PROGRESS_BITS);
    return state == PD_STATE_REBUILD || state == PD_STATE_COPYBACK || (active & (PD_PROG_REBUILD | PD_PROG_COPYBACK));
}

static int32_t PdInfoByDevice(uint8_t contNo, uint16_t deviceId, uint8_t *info)
{
    uint8_t slotNo = 0;
    int32_t status = SLGetSlotNo(contNo, deviceId, &slotNo);
    return status != 0 ? status : SLGetPDInfo(contNo, slotNo, info);
}

int32_t SLIsDuringRebuildCopyback(uint8_t contNo, uint8_t targetId, uint8_t *running)
{
    uint8_t members[PD_IN_LD_SIZE];
    uint8_t info[PD_INFO_SIZE];
    *running = 0;
    int32_t status = SLGetPDInLD(contNo, targetId, members);
    if (status != 0)
        return status;
    uint32_t count = LayoutU32(members, PIL_COUNT);
    if (count > PIL_MAX)
        count = PIL_MAX;
    for (uint32_t i = 0; i < count && !*running; i++) {
        uint16_t deviceId = LayoutU16(members, PIL_DEVICE_IDS + 2 * i);
        if (deviceId == ARM_DEVICE_MISSING)
            continue;
        status = PdInfoByDevice(contNo, deviceId, info);
        if (status != 0)
            return status;
        if (PdIsRebuildingOrCopyingBack(info)) {
            *running = 1;
            break;
        }
        uint16_t partner = LayoutU16(info, PI_COPYBACK_PARTNER);
        if (partner == ARM_DEVICE_MISSING)
            continue;
        status = PdInfoByDevice(contNo, partner, info);
        if (status != 0)
            return status;
        if (PdIsRebuildingOrCopyingBack(info))
            *running = 1;
    }
    return 0;
}
