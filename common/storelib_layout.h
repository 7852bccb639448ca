// Wire and buffer layouts exchanged with storelib.dll: the command packet, the direct-command
// frame, the controller-id list, and every list and information block the tools and the
// simulator read or write. Both sides include this one header so the layouts cannot drift.
#ifndef ZAV_COMMON_STORELIB_LAYOUT_H
#define ZAV_COMMON_STORELIB_LAYOUT_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)

// ---------------------------------------------------------------------------------------------
// Command packet (36 bytes), zero-filled before use.
// ---------------------------------------------------------------------------------------------
enum LibCmdType {
    LIBCMD_TYPE_LIBRARY = 0,
    LIBCMD_TYPE_CONTROLLER = 1,
    LIBCMD_TYPE_PD = 2,
    LIBCMD_TYPE_LD = 3,
    LIBCMD_TYPE_CONFIG = 4,
    LIBCMD_TYPE_CACHEBKUP = 5,
    LIBCMD_TYPE_PASSTHRU = 6,
    LIBCMD_TYPE_ENCLOSURE = 8
};

struct LibCmdPacket {
    uint8_t cmdType;       // 0: command type (LibCmdType)
    uint8_t cmd;           // 1: command number within its type
    uint8_t reserved2[2];  // 2
    uint32_t ctrlId;       // 4: entry of the controller-id list, copied whole
    uint16_t ref1;         // 8: PD device id / enclosure device id / LD or controller sequence number
    uint16_t ref2;         // 10: PD sequence number / LD target id (low byte) / array reference
    uint8_t reserved12[4]; // 12
    uint8_t param[12];     // 16: command parameters; param[0] is the one-byte parameter
    uint32_t dataSize;     // 28
    uint32_t dataPtr;      // 32: 32-bit pointer to the caller's buffer (or 0)
};
static_assert(sizeof(LibCmdPacket) == 36, "LibCmdPacket size");
static_assert(offsetof(LibCmdPacket, ctrlId) == 4, "ctrlId offset");
static_assert(offsetof(LibCmdPacket, ref1) == 8, "ref1 offset");
static_assert(offsetof(LibCmdPacket, ref2) == 10, "ref2 offset");
static_assert(offsetof(LibCmdPacket, param) == 16, "param offset");
static_assert(offsetof(LibCmdPacket, dataSize) == 28, "dataSize offset");
static_assert(offsetof(LibCmdPacket, dataPtr) == 32, "dataPtr offset");

// The library's single entry, exported undecorated as "ProcessLibCommand" (C linkage, cdecl).
#if defined(_WIN32) && !defined(_WIN64)
#define ZAV_LIBCALL __cdecl
#else
#define ZAV_LIBCALL
#endif
typedef uint32_t(ZAV_LIBCALL *ProcessLibCommandFn)(LibCmdPacket *packet);

// Status codes of a command, as the library returns them: firmware codes below 0x100, the
// library's own from 0x8000. Tools and simulator name them from this one set.
enum LibStatus : uint32_t {
    LIB_STATUS_OK = 0x0,
    LIB_STATUS_DCMD_INVALID = 0x2,
    LIB_STATUS_INVALID_INPUT = 0x3,
    LIB_STATUS_INVALID_SEQ = 0x4,
    LIB_STATUS_ARRAY_INDEX = 0x9,
    LIB_STATUS_CONFLICT = 0xB,
    LIB_STATUS_DEVICE_NOT_FOUND = 0xC,
    LIB_STATUS_TOO_SMALL = 0xD,
    LIB_STATUS_INIT_RUNNING = 0x18,
    LIB_STATUS_MAX_LDS = 0x1A,
    LIB_STATUS_LD_NOT_OPTIMAL = 0x1B,
    LIB_STATUS_REBUILD_RUNNING = 0x1C,
    LIB_STATUS_RAID_LEVEL = 0x1E,
    LIB_STATUS_TOO_MANY_SPARES = 0x1F,
    LIB_STATUS_HW_MISSING = 0x22,
    LIB_STATUS_NOT_FOUND = 0x23,
    LIB_STATUS_SAS_SATA = 0x26,
    LIB_STATUS_PR_DISABLED = 0x27,
    LIB_STATUS_WRONG_STATE = 0x32,
    LIB_STATUS_ALREADY = 0x55,
    LIB_STATUS_NO_PD_FOR_PR = 0x58,
    LIB_STATUS_NO_REPO_SPACE = 0x5B,
    LIB_STATUS_SEQ_MISMATCH = 0x67,
    LIB_STATUS_NOT_INITIALIZED = 0x8001,
    LIB_STATUS_INIT_FAILED = 0x8002,
    LIB_STATUS_BAD_CTRL = 0x800A,
    LIB_STATUS_NULL_PTR = 0x800B,
    LIB_STATUS_SIZE = 0x800C,
    LIB_STATUS_BAD_TYPE = 0x800D,
    LIB_STATUS_BAD_CMD = 0x800E,
    LIB_STATUS_NO_MEMORY = 0x8015,
    LIB_STATUS_OS = 0x8017,
    LIB_STATUS_BAD_PARAM = 0x8019
};

// Firmware direct command, the data of a pass-through packet (type 6, command 3).
enum DcmdDirection { DCMD_DIR_NONE = 0, DCMD_DIR_TO_CTRL = 1, DCMD_DIR_FROM_CTRL = 2 };

struct DcmdFrame {
    uint32_t dataSize;       // 0
    uint32_t opcode;         // 4
    uint32_t reserved8;      // 8
    uint8_t direction;       // 12: DcmdDirection
    uint8_t reserved13[3];   // 13
    uint8_t mailbox[12];     // 16: for LD commands: target id, 0, LD sequence number (u16)
    uint32_t dataPtr;        // 28
};
static_assert(sizeof(DcmdFrame) == 32, "DcmdFrame size");
static_assert(offsetof(DcmdFrame, opcode) == 4, "opcode offset");
static_assert(offsetof(DcmdFrame, direction) == 12, "direction offset");
static_assert(offsetof(DcmdFrame, mailbox) == 16, "mailbox offset");
static_assert(offsetof(DcmdFrame, dataPtr) == 28, "frame dataPtr offset");

// Controller-id list filled by the initialise command (68 bytes).
struct ControllerIdList {
    uint16_t count;      // 0
    uint8_t flags;       // 2
    uint8_t reserved3;   // 3
    uint32_t ids[16];    // 4: low 24 bits controller id, high byte library index (0 = storelib.dll)
};
static_assert(sizeof(ControllerIdList) == 68, "ControllerIdList size");
static_assert(offsetof(ControllerIdList, ids) == 4, "ids offset");

// ---------------------------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------------------------
struct PdListEntry {
    uint16_t deviceId;      // 0
    uint16_t enclDeviceId;  // 2
    uint8_t enclIndex;      // 4
    uint8_t slotNumber;     // 5
    uint8_t scsiDevType;    // 6: 0 = disk
    uint8_t portBitmap;     // 7
    uint64_t sasAddr[2];    // 8
};
static_assert(sizeof(PdListEntry) == 24, "PdListEntry size");
static_assert(offsetof(PdListEntry, slotNumber) == 5, "slot offset");
static_assert(offsetof(PdListEntry, scsiDevType) == 6, "device type offset");

enum { PD_LIST_MAX = 256 };
struct PdList {
    uint32_t size;                   // 0
    uint32_t count;                  // 4
    PdListEntry entries[PD_LIST_MAX]; // 8
};
static_assert(sizeof(PdList) == 6152, "PdList size");

struct LdListEntry {
    uint8_t targetId;       // 0
    uint8_t reserved1[15];  // 1
};
static_assert(sizeof(LdListEntry) == 16, "LdListEntry size");

enum { LD_MAX = 64 };
struct LdList {
    uint32_t count;                // 0
    uint32_t reserved4;            // 4
    LdListEntry entries[LD_MAX];   // 8
};
static_assert(sizeof(LdList) == 1032, "LdList size");

// Enclosure list: count, reserved, 32 entries of 144 bytes.
struct EnclEntry {
    uint16_t deviceId;      // 0
    uint8_t index;          // 2
    uint8_t slotCount;      // 3
    uint8_t reserved4[6];   // 4
    uint8_t kind;           // 10: entries of kind 3 are passed over for the slot count
    uint8_t reserved11[133];
};
static_assert(sizeof(EnclEntry) == 144, "EnclEntry size");
static_assert(offsetof(EnclEntry, slotCount) == 3, "encl slot count offset");
static_assert(offsetof(EnclEntry, kind) == 10, "encl kind offset");

enum { ENCL_MAX = 32 };
struct EnclList {
    uint32_t count;
    uint32_t reserved4;
    EnclEntry entries[ENCL_MAX];
};
static_assert(sizeof(EnclList) == 4616, "EnclList size");

// ---------------------------------------------------------------------------------------------
// Buffer sizes of the queries
// ---------------------------------------------------------------------------------------------
enum {
    CTRL_INFO_SIZE = 2048,
    CTRL_PROP_SIZE = 64,
    PCI_INFO_SIZE = 112,
    OS_DRIVE_NAME_SIZE = 9220,
    PATROL_READ_PROP_SIZE = 208,
    DRV_VER_SIZE = 112,
    PD_INFO_SIZE = 512,
    PD_PROGRESS_SIZE = 32,
    LD_INFO_SIZE = 384,
    LD_PROP_SIZE = 32,
    LD_PROGRESS_SIZE = 36,
    PD_IN_LD_SIZE = 516,
    CONFIG_SIZE_QUERY = 616,
    ARRAY_INFO_SIZE = 2368,
    CACHEBKUP_STATUS_SIZE = 64,
    CACHEBKUP_DESIGN_SIZE = 64,
    CACHEBKUP_PROP_SIZE = 32,
    ENCL_CONFIG_SIZE = 1024,
    ENCL_STATUS_SIZE = 2048,
    LIB_VERSION_SIZE = 12,
    MFC_DEFAULTS_SIZE = 72,
    CTRL_TIME_SIZE = 4,
    CTRL_BLOCK168_SIZE = 168,
    SCSI_PASSTHRU_SIZE = 96
};

// Direct-command opcodes
enum : uint32_t {
    DCMD_GET_MFC_DEFAULTS = 0x010E0201,
    DCMD_SET_MFC_DEFAULTS = 0x010E0202,
    DCMD_GET_TIME = 0x01080201,
    DCMD_CTRL_BLOCK168 = 0x07030000,
    DCMD_SNAPSHOT_ENABLE = 0x030F0100,
    DCMD_SNAPSHOT_DISABLE = 0x030F0200,
    DCMD_SNAPSHOT_INFO = 0x030F0800,
    DCMD_SNAPSHOT_VIEW_INFO = 0x030F0C00
};
enum { MFC_DEFAULTS_FAIL_PD_ON_SMART = 52 };

// ---------------------------------------------------------------------------------------------
// Controller information (2048 bytes): offsets the tools read
// ---------------------------------------------------------------------------------------------
enum CtrlInfoOffset {
    CI_PCI_VENDOR = 0,
    CI_PCI_DEVICE = 2,
    CI_PCI_SUBVENDOR = 4,
    CI_PCI_SUBDEVICE = 6,
    CI_PORT_COUNT = 111,
    CI_PORT_SAS_ADDR = 112,        // 8 x u64
    CI_IMAGE_COUNT = 180,          // u32
    CI_IMAGES = 184,               // 8 x 72: name 8, version 32, build date 16, build time 16
    CI_MAX_LD_COUNT = 0x53F,       // u8
    CI_PRODUCT_NAME = 1344,        // 80 chars
    CI_SERIAL_NO = 1424,           // 32 chars
    CI_HW_PRESENT = 1456,          // u32: bit 0 cache backup unit, bit 1 alarm
    CI_MEMORY_SIZE = 1488,         // u16 MB
    CI_MEM_CORRECTABLE = 1492,     // u16
    CI_MEM_UNCORRECTABLE = 1494,   // u16
    CI_RAID_LEVEL_MASK = 0x5DC,    // u32
    CI_ADAPTER_OPS = 1504,         // u32: bit 30 snapshot supported
    CI_LD_OPS = 1508,              // u32: bit 10 FastPath supported
    CI_STRIPE_MIN = 1512,          // u8 stripe-size code
    CI_STRIPE_MAX = 1513,          // u8
    CI_PROPERTIES = 1536,          // 64-byte controller properties
    CI_PACKAGE_VERSION = 1600,     // 96 chars
    CI_PD_COUNT_WORDS = 0x760,     // 6 x u16: RAID0, RAID1, RAID5, RAID1E, RAID6, RAID10
    CI_CANDIDATE_CAP = 0x780,      // u16; the same word as the slot count below
    CI_SLOT_COUNT = 1920,          // u16, used when the enclosure list is empty
    CI_CACHECADE = 1936            // u16, non-zero when CacheCade is supported
};
static_assert(CI_MAX_LD_COUNT == 1343 && CI_RAID_LEVEL_MASK == 1500 && CI_PD_COUNT_WORDS == 1888 &&
              CI_CANDIDATE_CAP == CI_SLOT_COUNT && CI_CACHECADE == 0x790, "controller information offsets");
enum { CI_IMAGE_SIZE = 72, CI_IMAGE_NAME = 0, CI_IMAGE_VERSION = 8, CI_IMAGE_BUILD_DATE = 40, CI_IMAGE_BUILD_TIME = 56 };
enum { CI_HW_CACHE_BACKUP = 0x1, CI_HW_ALARM = 0x2 };

// Controller properties (64 bytes): first u16 is the controller sequence number.
enum CtrlPropOffset {
    CP_SEQ_NUM = 0,
    CP_REBUILD_RATE = 8,
    CP_PATROL_READ_RATE = 9,
    CP_BGI_RATE = 10,
    CP_CC_RATE = 11,
    CP_RECON_RATE = 12,
    CP_CACHE_FLUSH_INTERVAL = 13,
    CP_ALARM_ENABLE = 18,
    CP_AUTO_REBUILD_DISABLED = 19,
    CP_ON_OFF_BITS = 32            // u32
};
enum {
    CP_BIT_COPYBACK_DISABLED = 1u << 0,
    CP_BIT_SMART_COPYBACK_HDD = 1u << 1,
    CP_BIT_NCQ_DISABLED = 1u << 4,
    CP_BIT_SMART_COPYBACK_SSD = 1u << 5
};

// ---------------------------------------------------------------------------------------------
// PD information (512 bytes)
// ---------------------------------------------------------------------------------------------
enum PdInfoOffset {
    PI_DEVICE_ID = 0,
    PI_SEQ_NUM = 2,
    PI_VENDOR_ID = 12,           // 8 chars
    PI_PRODUCT_ID = 20,          // 16 chars
    PI_REVISION = 36,            // 4 chars
    PI_DRIVE_SPEED = 167,
    PI_MEDIA_ERRORS = 168,       // u32
    PI_PRED_FAIL = 176,          // u32
    PI_FW_STATE = 184,           // u16
    PI_LINK_SPEED = 187,
    PI_DDF_TYPE = 188,           // u16
    PI_PATH_COUNT = 192,
    PI_SAS_ADDR = 200,           // u64 per path
    PI_RAW_SIZE = 232,           // u64 blocks
    PI_COERCED_SIZE = 248,       // u64 blocks
    PI_ENCL_DEVICE_ID = 256,     // u16, 0x00FF or 0xFFFF outside any enclosure
    PI_SLOT_NUMBER = 259,
    PI_PROGRESS_BITS = 260,      // u32: bit 0 rebuild running
    PI_REBUILD_PROGRESS = 264,   // u16
    PI_POWER_STATE = 358,
    PI_COPYBACK_PARTNER = 364,   // u16, 0xFFFF when none
    PI_MEDIA_TYPE = 370          // low 4 bits: 0 HDD, 1 SSD
};
enum PdFwState {
    PD_STATE_UNCONF_GOOD = 0,
    PD_STATE_UNCONF_BAD = 1,
    PD_STATE_HOT_SPARE = 2,
    PD_STATE_OFFLINE = 16,
    PD_STATE_FAILED = 17,
    PD_STATE_REBUILD = 20,
    PD_STATE_ONLINE = 24,
    PD_STATE_COPYBACK = 32
};
enum {
    PD_DDF_IN_LD = 1u << 1,
    PD_DDF_GLOBAL_SPARE = 1u << 2,
    PD_DDF_SPARE = 1u << 3,
    PD_DDF_FOREIGN = 1u << 4
};
// Interface type is the top 4 bits of the DDF type word.
enum { PD_IF_UNKNOWN = 0, PD_IF_PARALLEL_SCSI = 1, PD_IF_SAS = 2, PD_IF_SATA = 3, PD_IF_FC = 4 };

// ---------------------------------------------------------------------------------------------
// LD information (384 bytes); the first 256 bytes are also the LD entry of the configuration.
// ---------------------------------------------------------------------------------------------
enum LdInfoOffset {
    LI_TARGET_ID = 0,
    LI_SEQ_NUM = 2,
    LI_LD_PROPS = 20,            // bytes 20..23: default cache policy, access policy, disk cache, current cache
    LI_DEFAULT_CACHE = 20,
    LI_ACCESS_POLICY = 21,
    LI_DISK_CACHE = 22,
    LI_CURRENT_CACHE = 23,
    LI_SPAN_DEPTH = 37,
    LI_STATE = 38,
    LI_CONSISTENT = 40,
    LI_BAD_BLOCKS = 44,
    LI_SNAPSHOT_BASE = 45,
    LI_CACHECADE = 47,
    LI_SPANS = 64,               // 24 bytes each: start block u64, block count u64, array ref u16
    LI_OPERATION_BITS = 264,     // u32: bit 0 consistency check, bit 2 initialization
    LI_CC_PROGRESS = 268,        // u16
    LI_INIT_PROGRESS = 276,      // u16
    LI_REPOSITORY = 303          // bit 0: holds a snapshot repository
};
enum { LI_SPAN_SIZE = 24, LI_SPAN_START = 0, LI_SPAN_BLOCKS = 8, LI_SPAN_ARRAY_REF = 16, LI_MAX_SPANS = 8 };
static_assert(LI_SPANS + LI_SPAN_ARRAY_REF == 80, "span array reference at 80 + 24 x k");
enum LdState { LD_STATE_OFFLINE = 0, LD_STATE_PART_DEGRADED = 1, LD_STATE_DEGRADED = 2, LD_STATE_OPTIMAL = 3 };
enum { LD_OP_CC = 1u << 0, LD_OP_INIT = 1u << 2 };

// ---------------------------------------------------------------------------------------------
// Configuration: 32-byte header, arrays (288 bytes each), LDs (256 bytes each), spares (40 bytes each)
// ---------------------------------------------------------------------------------------------
struct ConfigHeader {
    uint32_t totalSize;      // 0
    uint16_t arrayCount;     // 4
    uint16_t arrayEntrySize; // 6
    uint16_t ldCount;        // 8
    uint16_t ldEntrySize;    // 10
    uint16_t spareCount;     // 12
    uint8_t reserved14[18];  // 14
};
static_assert(sizeof(ConfigHeader) == 32, "ConfigHeader size");
static_assert(offsetof(ConfigHeader, arrayCount) == 4, "array count offset");
static_assert(offsetof(ConfigHeader, ldCount) == 8, "ld count offset");
static_assert(offsetof(ConfigHeader, spareCount) == 12, "spare count offset");

enum { CONFIG_ARRAY_SIZE = 288, CONFIG_LD_SIZE = 256, CONFIG_SPARE_SIZE = 40 };
enum { ARM_DEVICE_MISSING = 0xFFFF, ARRAY_MAX_ARMS = 32, ARRAY_REF_MAX = 128 };

struct ConfigArrayArm {
    uint16_t deviceId;      // 0: 0xFFFF for a missing arm
    uint8_t reserved2[6];
};
static_assert(sizeof(ConfigArrayArm) == 8, "arm size");

struct ConfigArray {
    uint64_t size;                      // 0: blocks per arm usable by the array
    uint8_t driveCount;                 // 8
    uint8_t reserved9;                  // 9
    uint16_t arrayRef;                  // 10
    uint8_t reserved12[20];             // 12
    ConfigArrayArm arms[ARRAY_MAX_ARMS]; // 32
};
static_assert(sizeof(ConfigArray) == CONFIG_ARRAY_SIZE, "ConfigArray size");
static_assert(offsetof(ConfigArray, driveCount) == 8, "array drive count offset");
static_assert(offsetof(ConfigArray, arrayRef) == 10, "array ref offset");
static_assert(offsetof(ConfigArray, arms) == 32, "array arms offset");

struct ConfigSpare {
    uint16_t deviceId;      // 0
    uint16_t seqNum;        // 2
    uint8_t spareType;      // 4
    uint8_t arrayCount;     // 5
    uint8_t reserved6[2];   // 6
    uint16_t arrayRefs[16]; // 8: first array a dedicated spare serves at 8
};
static_assert(sizeof(ConfigSpare) == CONFIG_SPARE_SIZE, "ConfigSpare size");
static_assert(offsetof(ConfigSpare, arrayRefs) == 8, "spare array ref offset");

// Array information (2368 bytes)
enum ArrayInfoOffset {
    AI_DRIVE_COUNT = 8,
    AI_ARRAY_REF = 10,
    AI_ARMS = 32,            // 8 bytes per arm, device id first
    AI_LD_COUNT = 828,       // u32
    AI_LDS = 832             // 24 bytes per LD, target id first
};
enum { AI_LD_ENTRY_SIZE = 24 };

// ---------------------------------------------------------------------------------------------
// Command numbers within each command type. Numbers not fixed by the firmware interface (the
// configuration-building, foreign-configuration, enclosure connector and LD allowed-operation
// commands) are chosen here once; tools and simulator use only these names.
// ---------------------------------------------------------------------------------------------
enum LibraryCmd { SLCMD_LIB_INIT = 0, SLCMD_LIB_VERSION = 4, SLCMD_LIB_EXIT = 9 };
enum ControllerCmd {
    SLCMD_CTRL_INFO = 0,
    SLCMD_CTRL_GET_PROP = 1,
    SLCMD_CTRL_SET_PROP = 2,        // ref1 = controller sequence number, data = 64-byte properties
    SLCMD_CTRL_PD_LIST = 4,
    SLCMD_CTRL_ENCL_LIST = 5,
    SLCMD_CTRL_PCI_INFO = 11,
    SLCMD_CTRL_OS_DRIVE_NAME = 12,
    SLCMD_CTRL_LD_LIST = 13,
    SLCMD_CTRL_GET_PR_PROP = 15,
    SLCMD_CTRL_SET_PR_PROP = 16,    // ref1 = controller sequence number, data = 208-byte properties
    SLCMD_CTRL_START_PR = 17,
    SLCMD_CTRL_STOP_PR = 18,
    SLCMD_CTRL_DRV_VER = 19
};
enum PdCmd {
    SLCMD_PD_INFO = 0,
    SLCMD_PD_MAKE_ONLINE = 1,
    SLCMD_PD_MAKE_OFFLINE = 2,
    SLCMD_PD_START_REBUILD = 5,
    SLCMD_PD_STOP_REBUILD = 6,
    SLCMD_PD_PROGRESS = 7,
    SLCMD_PD_START_LOCATE = 8,      // param[0] = locate duration/flag
    SLCMD_PD_STOP_LOCATE = 9,
    SLCMD_PD_MAKE_GHS = 10,
    SLCMD_PD_MAKE_DHS = 11,         // data = DedicatedSpareRequest (33 bytes)
    SLCMD_PD_REMOVE_HS = 13,
    SLCMD_PD_MAKE_UNCONF_GOOD = 19,
    SLCMD_PD_ALLOWED_OPS = 20       // data = u32 PdAllowedOp bits
};
enum LdCmd {
    SLCMD_LD_INFO = 0,
    SLCMD_LD_GET_PROP = 1,
    SLCMD_LD_SET_PROP = 2,          // ref1 = sequence number (block offset 2), ref2 = target (block byte 0)
    SLCMD_LD_DELETE = 3,
    SLCMD_LD_START_CC = 6,
    SLCMD_LD_CANCEL_CC = 7,
    SLCMD_LD_PROGRESS = 8,
    SLCMD_LD_START_INIT = 9,        // param[0] = 1: full initialization (0: fast)
    SLCMD_LD_CANCEL_INIT = 10,
    SLCMD_LD_PD_IN_LD = 11,
    SLCMD_LD_ALLOWED_OPS = 20       // ref2 = target; data = u32 LdAllowedOp bits
};
enum ConfigCmd {
    SLCMD_CFG_READ = 0,             // data = whole configuration (first u32 = its total size)
    SLCMD_CFG_CREATE_LD = 1,        // data = LdCreateRequest
    SLCMD_CFG_ADD_LD_TO_RG = 2,     // ref2 = array reference, data = AddLdToRgRequest
    SLCMD_CFG_CREATE_CACHECADE = 3, // data = LdCreateRequest (RAID0 groups of SSDs)
    SLCMD_CFG_FOREIGN_SCAN = 4,     // data = ForeignScanResult
    SLCMD_CFG_FOREIGN_SIZE = 5,     // param[0] = foreign configuration index; data = u32 size
    SLCMD_CFG_FOREIGN_PREVIEW = 6,  // param[0] = index; data = configuration as it would be after import
    SLCMD_CFG_FOREIGN_IMPORT = 7,   // param[0] = index, or FOREIGN_ALL
    SLCMD_CFG_ARRAY_INFO = 8,       // ref2 = array reference
    SLCMD_CFG_FOREIGN_CLEAR = 9     // param[0] = index, or FOREIGN_ALL
};
enum CacheBkupCmd {
    SLCMD_CB_STATUS = 0,
    SLCMD_CB_DESIGN = 2,
    SLCMD_CB_LEARN = 3,
    SLCMD_CB_PROP = 4
};
enum PassThruCmd { SLCMD_PT_SCSI = 0, SLCMD_PT_DCMD = 3 };
enum EnclosureCmd {
    SLCMD_ENCL_CONFIG = 0,          // ref1 = enclosure device id
    SLCMD_ENCL_STATUS = 5,          // ref1 = enclosure device id
    SLCMD_ENCL_SAS_CONNECTOR = 6    // ref1 = enclosure device id; data = 32-byte connector block
};
enum { FOREIGN_ALL = 0xFF, FOREIGN_MAX = 8 };

// Snapshot operations are firmware direct commands (pass-through, type 6 command 3). The mailbox
// of each names the base LD: target id byte, a 0 byte, LD sequence number (u16).
enum : uint32_t {
    DCMD_SNAPSHOT_CREATE_PIT = 0x030F0300,   // to controller: SnapshotPitRequest (32 bytes)
    DCMD_SNAPSHOT_DELETE_PIT = 0x030F0400,   // no data; mailbox[4..7] = PIT number, 0 = the oldest
    DCMD_SNAPSHOT_CREATE_VIEW = 0x030F0500,  // to controller: SnapshotViewRequest (32 bytes)
    DCMD_SNAPSHOT_DELETE_VIEW = 0x030F0600,  // no data; mailbox[4..7] = PIT number, 0 = every view of the base
    DCMD_SNAPSHOT_REPO_INFO = 0x030F0900     // from controller: repository information, mailbox byte 0 = repository target
};
enum { DCMD_MBOX_TARGET = 0, DCMD_MBOX_LD_SEQ = 2, DCMD_MBOX_ARG = 4 };

// ---------------------------------------------------------------------------------------------
// Allowed-operation bits: u32 answer of the PD and LD allowed-operation queries; also held in
// the PD information (offset 360) and the LD information (offsets 368 and 380).
// ---------------------------------------------------------------------------------------------
enum PdAllowedOp {
    PD_ALLOW_MAKE_ONLINE = 1u << 0,
    PD_ALLOW_MAKE_OFFLINE = 1u << 1,
    PD_ALLOW_MAKE_FAILED = 1u << 2,
    PD_ALLOW_MAKE_UNCONF_GOOD = 1u << 4,
    PD_ALLOW_MAKE_UNCONF_BAD = 1u << 5,
    PD_ALLOW_MAKE_GHS = 1u << 6,
    PD_ALLOW_MAKE_DHS = 1u << 7,
    PD_ALLOW_REMOVE_HS = 1u << 8,
    PD_ALLOW_START_REBUILD = 1u << 9,
    PD_ALLOW_STOP_REBUILD = 1u << 10,
    PD_ALLOW_LOCATE = 1u << 11,
    PD_ALLOW_START_COPYBACK = 1u << 12
};
enum LdAllowedOp {
    LD_ALLOW_START_INIT = 1u << 0,
    LD_ALLOW_CANCEL_INIT = 1u << 1,
    LD_ALLOW_START_CC = 1u << 2,
    LD_ALLOW_CANCEL_CC = 1u << 3,
    LD_ALLOW_SET_PROP = 1u << 4,
    LD_ALLOW_DELETE = 1u << 5,
    LD_ALLOW_ENABLE_SNAPSHOT = 1u << 6,
    LD_ALLOW_DISABLE_SNAPSHOT = 1u << 7
};

// ---------------------------------------------------------------------------------------------
// Further offsets of the PD and LD information blocks
// ---------------------------------------------------------------------------------------------
enum PdInfoMoreOffset {
    PI_SCSI_DEV_TYPE = 165,      // u8, 0 = disk
    PI_ENCL_INDEX = 258,         // u8
    PI_PROGRESS_BLOCK = 260,     // the 32-byte PD progress block is repeated here
    PI_ALLOWED_OPS = 360         // u32 PdAllowedOp
};
static_assert((int)PI_PROGRESS_BLOCK == (int)PI_PROGRESS_BITS && PI_REBUILD_PROGRESS == PI_PROGRESS_BITS + 4,
              "PD information holds the progress block");

// LD information, first 32 bytes = the LD properties block (see LdPropOffset).
enum LdInfoMoreOffset {
    LI_NAME = 4,                 // 16 chars, NUL-terminated
    LI_PRIMARY_RAID = 32,        // u8: 0, 1, 5, 6 (1 with span depth >= 2 is RAID10)
    LI_RAID_QUALIFIER = 33,
    LI_SECONDARY_RAID = 34,
    LI_STRIPE_SIZE = 35,         // u8 power of two in blocks (7 = 64 KB)
    LI_DRIVES_PER_SPAN = 36,     // u8
    LI_INIT_STATE = 39,          // u8: 0 none, 2 full initialization requested at creation
    LI_IS_VIEW = 46,             // u8: non-zero for a snapshot view target
    LI_SIZE = 48,                // u64 blocks usable by the host
    LI_CC_ASSOC_COUNT = 56,      // u8: CacheCade LDs associated with this LD
    LI_CC_ASSOC = 57,            // up to 7 target ids of those CacheCade LDs
    LI_PROGRESS_BLOCK = 264,     // the 36-byte LD progress block is repeated here
    LI_REPO_BASE_COUNT = 304,    // u8: base LDs served when this LD holds a repository
    LI_ALLOWED_OPS = 368,        // u32 LdAllowedOp
    LI_CONFIG_OPS = 380          // u32 LdAllowedOp as seen by configuration changes (bit 5 delete)
};
enum { LI_CC_ASSOC_MAX = 7 };
static_assert((int)LI_PROGRESS_BLOCK == (int)LI_OPERATION_BITS, "LD information holds the progress block");

// LD properties block (32 bytes), read by 3/1 and written back by 3/2.
enum LdPropOffset {
    LP_TARGET_ID = 0,
    LP_SEQ_NUM = 2,              // u16
    LP_NAME = 4,                 // 16 chars
    LP_DEFAULT_CACHE = 20,       // 0x01 write back, 0x04 read ahead, 0x10 also with bad battery, 0x60 cached IO
    LP_ACCESS_POLICY = 21,       // 0 read/write, 2 read only, 3 blocked
    LP_DISK_CACHE = 22,          // 0 unchanged, 1 enabled, 2 disabled
    LP_CURRENT_CACHE = 23,       // effective policy (write back falls to write through without a good battery)
    LP_SNAPSHOT_FLAGS = 25       // bit 0 snapshot on reboot (automatic snapshot), bit 1 keep oldest (no auto delete)
};
enum { LP_SNAP_AUTO_SNAPSHOT = 0x01, LP_SNAP_NO_AUTO_DELETE = 0x02 };
static_assert((int)LP_DEFAULT_CACHE == (int)LI_DEFAULT_CACHE && (int)LP_CURRENT_CACHE == (int)LI_CURRENT_CACHE,
              "properties block and LD information share bytes 0 to 31");

// LD progress block (36 bytes, query 3/8).
enum LdProgressOffset {
    LPG_ACTIVE = 0,              // u32: bit 0 consistency check, bit 1 background init, bit 2 init, bit 3 reconstruction
    LPG_CC_PROGRESS = 4,         // u16 progress, u16 elapsed seconds
    LPG_BGI_PROGRESS = 8,
    LPG_INIT_PROGRESS = 12,
    LPG_RECON_PROGRESS = 16
};
enum { LD_PROG_CC = 1u << 0, LD_PROG_BGI = 1u << 1, LD_PROG_INIT = 1u << 2, LD_PROG_RECON = 1u << 3 };
static_assert(LI_PROGRESS_BLOCK + LPG_CC_PROGRESS == LI_CC_PROGRESS &&
              LI_PROGRESS_BLOCK + LPG_INIT_PROGRESS == LI_INIT_PROGRESS, "LD progress offsets");

// PD progress block (32 bytes, query 2/7).
enum PdProgressOffset {
    PPG_ACTIVE = 0,              // u32: bit 0 rebuild, bit 1 patrol read, bit 2 clear, bit 3 copyback
    PPG_REBUILD_PROGRESS = 4,    // u16 rebuild or copyback progress, u16 elapsed seconds
    PPG_PATROL_PROGRESS = 8,
    PPG_CLEAR_PROGRESS = 12
};
enum { PD_PROG_REBUILD = 1u << 0, PD_PROG_PATROL = 1u << 1, PD_PROG_CLEAR = 1u << 2, PD_PROG_COPYBACK = 1u << 3 };

// Configuration spare entry: type bits at offset 4.
enum { SPARE_TYPE_DEDICATED = 0x01, SPARE_TYPE_REVERTIBLE = 0x02 };

// Controller facts beyond the table above.
enum {
    CI_RAID_BIT_0 = 0x01, CI_RAID_BIT_1 = 0x02, CI_RAID_BIT_5 = 0x04, CI_RAID_BIT_6 = 0x10, CI_RAID_BIT_10 = 0x20,
    CI_ADAPTER_OP_SNAPSHOT = 1u << 30,
    CI_LD_OP_FASTPATH = 1u << 10
};

// ---------------------------------------------------------------------------------------------
// Small controller blocks
// ---------------------------------------------------------------------------------------------
// Library version (12 bytes): bytes 0..3 minor text, 4..11 major text (not NUL-terminated).
enum { LV_MINOR = 0, LV_MINOR_LEN = 4, LV_MAJOR = 4, LV_MAJOR_LEN = 8 };

// PCI information (112 bytes).
enum { PCI_BUS = 0 /* u32 */, PCI_DEVICE = 4, PCI_FUNCTION = 5, PCI_VENDOR_ID = 8, PCI_DEVICE_ID = 10,
       PCI_SUBVENDOR_ID = 12, PCI_SUBDEVICE_ID = 14 };

// Driver version (112 bytes): name, date, version text.
enum { DV_NAME = 0, DV_NAME_LEN = 32, DV_DATE = 32, DV_DATE_LEN = 28, DV_VERSION = 60, DV_VERSION_LEN = 32 };

// OS drive names (9220 bytes): u32 count, then 64 entries of 144 bytes: target id, 3 reserved, name.
enum { OSD_COUNT = 0, OSD_ENTRIES = 4, OSD_ENTRY_SIZE = 144, OSD_ENTRY_TARGET = 0, OSD_ENTRY_NAME = 4 };
static_assert(OSD_ENTRIES + LD_MAX * OSD_ENTRY_SIZE == OS_DRIVE_NAME_SIZE, "OS drive name table size");

// Patrol-read properties (208 bytes).
enum PatrolReadOffset {
    PR_MODE = 0,                 // u8: 0 automatic, 1 manual, 2 disabled
    PR_MAX_CONCURRENT = 1,       // u8
    PR_EXCLUDED_COUNT = 2,       // u8, LDs left out of patrol read
    PR_EXCLUDED = 4,             // 64 target ids
    PR_STATE = 68,               // u32: 0 stopped, 1 running
    PR_ITERATIONS = 72,          // u32 completed passes
    PR_NEXT_EXEC = 196,          // u32 seconds since 2000-01-01
    PR_INTERVAL = 200            // u32 seconds
};
enum { PR_MODE_AUTO = 0, PR_MODE_MANUAL = 1, PR_MODE_DISABLED = 2, PR_EXCLUDED_MAX = 64 };

// Cache-backup unit status (64 bytes).
enum CacheBkupStatusOffset {
    CBS_TYPE = 0,                // u8: 0 none, 1 IBBU, 2 BBU, 3 ZCR legacy, 4 iTBBU3, 5 iBBU08, 6 SuperCAP
    CBS_VOLTAGE = 2,             // u16 mV
    CBS_CURRENT = 4,             // s16 mA
    CBS_TEMPERATURE = 6,         // u16 C
    CBS_FW_STATUS = 8,           // u32: bit 0 charging, bit 1 discharging, bit 2 learn cycle active, bit 3 learn failed, bit 4 replace pack
    CBS_RELATIVE_CHARGE = 12,    // u8 %
    CBS_LEARN_PROGRESS = 13,     // u8 % of the running learn cycle
    CBS_REMAINING_LOW = 32,      // remaining capacity in joules = byte 35 x 256 + byte 32
    CBS_REMAINING_HIGH = 35
};
enum { CBS_CHARGING = 1u << 0, CBS_DISCHARGING = 1u << 1, CBS_LEARN_ACTIVE = 1u << 2, CBS_LEARN_FAILED = 1u << 3,
       CBS_REPLACE_PACK = 1u << 4 };
// Cache-backup design information (64 bytes).
enum { CBD_MANUFACTURE_DATE = 0 /* u32 */, CBD_DESIGN_CAPACITY = 4, CBD_DESIGN_VOLTAGE = 6, CBD_SERIAL = 10,
       CBD_MANUFACTURER = 12 /* 16 chars */, CBD_DEVICE_NAME = 28 /* 16 chars */, CBD_CHEMISTRY = 44 /* 8 chars */ };
// Cache-backup properties (32 bytes).
enum { CBP_LEARN_PERIOD = 0 /* u32 s */, CBP_NEXT_LEARN = 4 /* u32 s since 2000 */, CBP_AUTO_LEARN_MODE = 9 };

// Firmware defaults (72 bytes, direct commands 0x010E0201 / 0x010E0202): byte 52 as above.
// Controller block of 168 bytes (0x07030000): u32 at 0 flags, u32 at 4 uptime seconds; the rest reserved.

// Enclosure configuration (1024 bytes, 8/0).
enum EnclConfigOffset {
    EC_DEVICE_ID = 0,            // u16
    EC_INDEX = 2,
    EC_SLOT_COUNT = 3,
    EC_TEMP_COUNT = 4,
    EC_FAN_COUNT = 5,
    EC_PSU_COUNT = 6,
    EC_VOLT_COUNT = 7,
    EC_MODEL = 8,                // u8: 1 SAFTE, 2 backplane, other not defined
    EC_LOCATION = 9,             // u8: 0 internal, 1 external
    EC_VENDOR_ID = 16,           // 8 chars
    EC_PRODUCT_ID = 24,          // 16 chars
    EC_REVISION = 40             // 4 chars
};
enum { ENCL_MODEL_SAFTE = 1, ENCL_MODEL_BACKPLANE = 2, ENCL_KIND_VIRTUAL = 3 };

// Enclosure status (2048 bytes, 8/5): per sensor 4 bytes: status u8, reserved u8, value 16 bits.
enum EnclStatusOffset {
    ES_DEVICE_ID = 0,
    ES_TEMPS = 16,               // 16 x: value s16 degrees C
    ES_FANS = 80,                // 16 x: value u16 RPM
    ES_PSUS = 144,               // 16 x: value u16 bits: bit 0 present, bit 1 on
    ES_VOLTS = 208               // 16 x: value s16 millivolts
};
enum { ES_SENSOR_SIZE = 4, ES_SENSOR_STATUS = 0, ES_SENSOR_VALUE = 2, ES_SENSOR_MAX = 16 };
enum EnclSensorStatus { SENSOR_UNSUPPORTED = 0, SENSOR_OK = 1, SENSOR_CRITICAL = 2, SENSOR_NON_CRITICAL = 3,
                        SENSOR_UNRECOVERABLE = 4, SENSOR_NOT_INSTALLED = 5, SENSOR_UNKNOWN = 6, SENSOR_NOT_AVAILABLE = 7 };
enum { ES_PSU_PRESENT = 0x1, ES_PSU_ON = 0x2 };

// SAS connector of an enclosure (32 bytes, 8/6): connector name text.
enum { ENCL_SAS_CONNECTOR_SIZE = 32, ESC_NAME = 0, ESC_NAME_LEN = 24 };

// PDs of an LD (516 bytes, 3/11): u32 count, then the members' device ids (u16), 0xFFFF = missing.
enum { PIL_COUNT = 0, PIL_DEVICE_IDS = 4, PIL_MAX = 256 };
static_assert(PIL_DEVICE_IDS + 2 * PIL_MAX == PD_IN_LD_SIZE, "PD-in-LD block size");

// SCSI pass-through block (96 bytes, 6/0).
struct ScsiPassThru {
    uint16_t deviceId;       // 0
    uint8_t cdbLength;       // 2
    uint8_t direction;       // 3: 2 = from the device
    uint32_t dataLength;     // 4
    uint8_t cdb[16];         // 8
    uint8_t scsiStatus;      // 24
    uint8_t reserved25[7];   // 25
    uint8_t sense[32];       // 32
    uint8_t data[32];        // 64
};
static_assert(sizeof(ScsiPassThru) == SCSI_PASSTHRU_SIZE, "ScsiPassThru size");
static_assert(offsetof(ScsiPassThru, data) == 64, "pass-through data offset");
enum { SCSI_LOG_SENSE = 0x4D, LOG_PAGE_SUPPORTED = 0x00, LOG_PAGE_TEMPERATURE = 0x0D, LOG_TEMP_BYTE = 9 };

// Dedicated hot-spare request (33 bytes, 2/11).
struct DedicatedSpareRequest {
    uint8_t count;           // 0
    uint16_t arrayRefs[16];  // 1
};
static_assert(sizeof(DedicatedSpareRequest) == 33, "DedicatedSpareRequest size");

// ---------------------------------------------------------------------------------------------
// Configuration building: the request the planner fills and SLCreateLD/SLCreateCacheCadeLD send.
// PD numbers are slot numbers. RAID10 groups list their mirror pairs one after the other.
// ---------------------------------------------------------------------------------------------
enum { RG_MAX = 128, RG_LD_MAX = 16, RG_PD_MAX = 256, REQ_GHS_MAX = 256, LD_NAME_LEN = 16 };

struct LdSlot {
    uint8_t ldNo;                // 0: target id of the new LD
    char name[LD_NAME_LEN];      // 1: NUL-terminated
    uint64_t size;               // 17: blocks
    uint8_t init;                // 25: 0 none, 2 full initialization run by the controller
};
static_assert(sizeof(LdSlot) == 26, "LdSlot size");
static_assert(offsetof(LdSlot, size) == 17 && offsetof(LdSlot, init) == 25, "LdSlot offsets");

struct RgEntry {
    int32_t raidLevel;           // 0: RaidLvl code (0 RAID0, 1 RAID1, 2 RAID5, 3 RAID6, 4 RAID10)
    uint8_t ldCount;             // 4
    LdSlot lds[RG_LD_MAX];       // 5
    uint16_t pdCount;            // 421
    uint8_t pds[RG_PD_MAX];      // 423
    uint8_t stripeSize;          // 679
    uint8_t cachePolicy;         // 680: LP_DEFAULT_CACHE bits
    uint8_t accessPolicy;        // 681
    uint8_t diskCachePolicy;     // 682
};
static_assert(sizeof(RgEntry) == 683, "RgEntry size");
static_assert(offsetof(RgEntry, pdCount) == 421 && offsetof(RgEntry, pds) == 423 &&
              offsetof(RgEntry, stripeSize) == 679, "RgEntry offsets");

struct LdCreateRequest {
    uint8_t groupCount;          // 0
    RgEntry groups[RG_MAX];      // 1
    int32_t ghsCount;            // 87425
    uint8_t ghs[REQ_GHS_MAX];    // 87429
};
static_assert(sizeof(LdCreateRequest) == 87685, "LdCreateRequest size");
static_assert(offsetof(LdCreateRequest, ghsCount) == 87425, "ghsCount offset");

// SLAddLDToRG: the LDs of one group entry placed into the free extent of an existing array.
struct AddLdToRgRequest {
    uint16_t arrayRef;           // 0: also sent as ref2 of the packet
    uint8_t reserved2[6];        // 2
    uint64_t startBlock;         // 8: first block of the free extent
    RgEntry group;               // 16: level, LD count, LD slots and policies (PD list unused)
};
static_assert(sizeof(AddLdToRgRequest) == 699, "AddLdToRgRequest size");
static_assert(offsetof(AddLdToRgRequest, group) == 16, "AddLdToRgRequest group offset");

// Foreign configurations found by a scan (4/4).
struct ForeignScanResult {
    uint32_t count;                  // 0
    uint32_t reserved4;              // 4
    uint32_t sizes[FOREIGN_MAX];     // 8: configuration size of each
    uint8_t ldCounts[FOREIGN_MAX];   // 40: LDs in each
    uint8_t pdCounts[FOREIGN_MAX];   // 48: PDs in each
};
static_assert(sizeof(ForeignScanResult) == 56, "ForeignScanResult size");

// ---------------------------------------------------------------------------------------------
// Snapshots
// ---------------------------------------------------------------------------------------------
// Enable request (16 bytes, 0x030F0100).
struct SnapshotEnableRequest {
    uint8_t repoTargetId;        // 0: LD holding the repository
    uint8_t reserved1[7];        // 1
    uint64_t areaBlocks;         // 8: repository area reserved for this base
};
static_assert(sizeof(SnapshotEnableRequest) == 16, "SnapshotEnableRequest size");

// Point-in-time and view requests (32 bytes each).
struct SnapshotPitRequest {
    char name[16];               // 0: at most 15 characters
    uint8_t reserved16[16];
};
static_assert(sizeof(SnapshotPitRequest) == 32, "SnapshotPitRequest size");
struct SnapshotViewRequest {
    uint32_t pitNumber;          // 0: PIT number of the snapshot the view shows
    uint8_t reserved4[12];       // 4
    char name[16];               // 16
};
static_assert(sizeof(SnapshotViewRequest) == 32, "SnapshotViewRequest size");

// Snapshot base information (0x030F0800): a 288-byte header, then PIT count x 88-byte PIT entries,
// then view count x 144-byte view entries.
enum SnapBaseOffset {
    SB_BASE_TARGET = 0,
    SB_REPO_TARGET = 1,
    SB_STATE = 4,                // u8: 1 operational, 0 not operational
    SB_AREA_BLOCKS = 8,          // u64 repository area of this base
    SB_USED_BLOCKS = 16,         // u64 used by its snapshots
    SB_ENABLED_TIME = 24,        // u32 seconds since 2000 when snapshots were enabled
    SB_PIT_COUNT = 32,           // u8
    SB_VIEW_COUNT = 33,          // u8
    SB_OS_DISK_NAME = 40,        // 16 chars
    SB_HEADER_SIZE = 288,
    SB_PIT_SIZE = 88,
    SB_VIEW_SIZE = 144
};
enum SnapPitOffset {
    SP_NUMBER = 0,               // u32 PIT number, counted up from 1 per base
    SP_TIME = 4,                 // u32 creation time, seconds since 2000
    SP_NAME = 8,                 // 16 chars
    SP_USED_BLOCKS = 24,         // u64
    SP_HAS_VIEW = 32             // u8
};
enum SnapViewOffset {
    SV_TARGET = 0,               // u8 view target id
    SV_PIT_NUMBER = 4,           // u32
    SV_TIME = 8,                 // u32 creation time of the view
    SV_NAME = 12,                // 16 chars
    SV_STATUS = 28,              // u8: 1 active
    SV_ACCESS = 29,              // u8 access policy
    SV_OS_DISK_NAME = 32         // 16 chars
};
static_assert(SB_HEADER_SIZE == 288 && SB_PIT_SIZE == 88 && SB_VIEW_SIZE == 144, "snapshot base sizes");

// Snapshot view information (0x030F0C00): entries of 40 bytes, the u32 at offset 8 of each = view count.
enum SnapViewInfoOffset {
    VI_VIEW_TARGET = 0,          // u8
    VI_BASE_TARGET = 1,          // u8
    VI_PIT_NUMBER = 4,           // u32
    VI_COUNT = 8,                // u32 number of entries
    VI_TIME = 12,                // u32 view creation time
    VI_NAME = 16,                // 16 chars
    VI_STATUS = 32,              // u8
    VI_ACCESS = 33,              // u8
    VI_ENTRY_SIZE = 40
};

// Snapshot repository information (0x030F0900): a 64-byte header, then one 24-byte entry per base.
enum SnapRepoOffset {
    SR_REPO_TARGET = 0,
    SR_BASE_COUNT = 1,           // u8
    SR_TOTAL_BLOCKS = 8,         // u64 repository LD size
    SR_USED_BLOCKS = 16,         // u64 reserved by the bases' areas
    SR_FREE_BLOCKS = 24,         // u64 not yet given to a base
    SR_HEADER_SIZE = 64,
    SR_ENTRY_SIZE = 24,
    SR_ENTRY_BASE_TARGET = 0,
    SR_ENTRY_AREA_BLOCKS = 8,
    SR_ENTRY_USED_BLOCKS = 16
};

#pragma pack(pop)

// Little-endian field access into raw buffers.
static inline uint16_t LayoutU16(const void *buf, size_t off)
{
    const uint8_t *p = (const uint8_t *)buf + off;
    return (uint16_t)(p[0] | (p[1] << 8));
}
static inline uint32_t LayoutU32(const void *buf, size_t off)
{
    const uint8_t *p = (const uint8_t *)buf + off;
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}
static inline uint64_t LayoutU64(const void *buf, size_t off)
{
    return (uint64_t)LayoutU32(buf, off) | ((uint64_t)LayoutU32(buf, off + 4) << 32);
}
static inline void LayoutPutU16(void *buf, size_t off, uint16_t v)
{
    uint8_t *p = (uint8_t *)buf + off;
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}
static inline void LayoutPutU32(void *buf, size_t off, uint32_t v)
{
    LayoutPutU16(buf, off, (uint16_t)v);
    LayoutPutU16(buf, off + 2, (uint16_t)(v >> 16));
}
static inline void LayoutPutU64(void *buf, size_t off, uint64_t v)
{
    LayoutPutU32(buf, off, (uint32_t)v);
    LayoutPutU32(buf, off + 4, (uint32_t)(v >> 32));
}

// Widths of the named fields, checked against their blocks.
#include "common/storelib_fields.h"

#endif
