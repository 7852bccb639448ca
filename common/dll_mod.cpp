// Message reporter of the console tool, the product's registry values (log directory), the
// per-thread legacy error slots, the legacy code tables and the legacy error report.
#include "common/dll_mod.h"
#include "common/EventLog.h"
#include "common/raidctl.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

// ---- console output --------------------------------------------------------------------------

// Output to a console shows as each piece is written. Into a file, a pipe or the null device it
// is gathered and written in large blocks: a long listing written piece by piece (or, without a
// buffer, character by character) costs a system call per piece. Whatever is gathered is written
// out before the tool reads an answer, waits, starts another program or ends.
static int g_outputPrepared;
static int g_outputInteractive;

static void PrepareStandardOutput(void)
{
    if (g_outputPrepared)
        return;
    g_outputPrepared = 1;
    g_outputInteractive = OsOutputIsConsole();
    setvbuf(stdout, NULL, _IOFBF, CONSOLE_OUTPUT_BLOCK);
}

static void WriteToStandardOutput(const char *text, unsigned length)
{
    PrepareStandardOutput();
    fwrite(text, 1, length, stdout);
    if (g_outputInteractive)
        fflush(stdout);
}

void FlushConsoleOutput(void)
{
    fflush(stdout);
}

static ConsoleWriter g_consoleWriter = WriteToStandardOutput;

void SetConsoleWriter(ConsoleWriter writer)
{
    g_consoleWriter = writer ? writer : WriteToStandardOutput;
}

void WriteConsoleText(const char *text)
{
    if (text)
        g_consoleWriter(text, (unsigned)strlen(text));
}

int ReportMessage(int kind, const char *module, unsigned line, const char *format, ...)
{
    if (kind != REPORT_CONSOLE && kind != REPORT_BOTH && kind != REPORT_TRACE)
        return 0;

    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(text, sizeof(text) - 1, format ? format : "", args);
    va_end(args);
    if (length < 0)
        length = 0;
    if (length > (int)sizeof(text) - 2)
        length = (int)sizeof(text) - 2;
    text[length++] = '\n';
    text[length] = '\0';

    if (kind == REPORT_CONSOLE || kind == REPORT_BOTH)
        g_consoleWriter(text, (unsigned)length);
    if (kind == REPORT_BOTH || kind == REPORT_TRACE)
        TraceWrite(module, line, text, 0, 0);
    return 1;
}

// ---- per-thread error slots ------------------------------------------------------------------

enum { ERROR_SLOTS = 32, CALL_NAME_SIZE = 64 };

struct ErrorSlot {
    volatile long threadId; // 0 = free
    uint32_t processId;
    uint32_t code;
    char callName[CALL_NAME_SIZE];
};

static ErrorSlot g_errorSlots[ERROR_SLOTS];

// A thread claims a free slot on first use; when all are taken the last one is shared.
static ErrorSlot *ThreadErrorSlot(void)
{
    const long threadId = OsThreadId();
    const uint32_t processId = OsProcessId();
    for (int i = 0; i < ERROR_SLOTS; i++) {
        ErrorSlot *slot = &g_errorSlots[i];
        if (slot->threadId == threadId && slot->processId == processId)
            return slot;
    }
    for (int i = 0; i < ERROR_SLOTS; i++) {
        ErrorSlot *slot = &g_errorSlots[i];
        if (OsClaimOwner(&slot->threadId, threadId)) {
            slot->processId = processId;
            slot->code = 0;
            slot->callName[0] = '\0';
            return slot;
        }
    }
    return &g_errorSlots[ERROR_SLOTS - 1];
}

uint32_t GetDllErrCode(void)
{
    return ThreadErrorSlot()->code;
}

void SetDllErrCode(uint32_t code)
{
    ThreadErrorSlot()->code = code;
}

const char *GetDllErrCallName(void)
{
    return ThreadErrorSlot()->callName;
}

void SetDllErrCallName(const char *callName)
{
    snprintf(ThreadErrorSlot()->callName, CALL_NAME_SIZE, "%s", callName ? callName : "");
}

// ---- legacy code tables ----------------------------------------------------------------------

struct CodeName {
    uint32_t code;
    const char *name;
};

static const CodeName IOCTL_NAMES[] = {
    {0xA1D0E004u, "IOCTL_XELT_GET_RAID_STATUS"},
    {0xA1D0E008u, "IOCTL_XELT_GET_LOGICAL_DISK_INFO"},
    {0xA1D0E00Cu, "IOCTL_XELT_GET_HDD_INFO"},
    {0xA1D0E010u, "IOCTL_XELT_GET_CONTROLLER_INFO"},
    {0xA1D0E014u, "IOCTL_XELT_CREATE_LOGICAL_DISK"},
    {0xA1D0E018u, "IOCTL_XELT_CONFIG_LOGICAL_DISK"},
    {0xA1D0E028u, "IOCTL_XELT_CONFIG_CONTROLLER"},
    {0xA1D0E02Cu, "IOCTL_XELT_CONFIG_HOTSPARE_HDD"},
    {0xA1D0E030u, "IOCTL_XELT_GET_RESTORE_LD_STATUS"},
    {0xA1D0E034u, "IOCTL_XELT_GET_RESTORE_LD_INFO"},
    {0xA1D0E038u, "IOCTL_XELT_CONFIG_RESTORE_LD"},
    {0xA1D0E03Cu, "IOCTL_XELT_GET_STATISTICS"},
    {0xA1D0E040u, "IOCTL_XELT_CONFIG_HDD_STATUS"},
    {0xA1D0E044u, "IOCTL_XELT_CONFIG_FAULT_RECOVERY"},
    {0xA1D0E0C0u, "IOCTL_KPU_GET_GLIST_THRSHOLD"},
    {0xA1D0E100u, "IOCTL_XELT_SCSI_MODE_SELECT"},
    {0xA1D0E104u, "IOCTL_XELT_SCSI_MODE_SENSE"},
    {0xA1D0E108u, "IOCTL_XELT_SCSI_READ_BUFFER"},
};

static const CodeName ARG_ERROR_NAMES[] = {
    {0x8000u, "DLL_ERROR_IOCTL_BUSY"},
    {0x10000u, "DLL_ARG_ERROR_NO_SUCH_CONTROLLER"},
    {0x20000u, "DLL_ARG_ERROR_CONTNO"},
    {0x40000u, "DLL_ARG_ERROR_PRIORITY"},
    {0x80000u, "DLL_ARG_ERROR_GROUPNO"},
    {0x100000u, "DLL_ARG_ERROR_NULL"},
    {0x200000u, "DLL_ARG_ERROR_CONFIGLD"},
    {0x400000u, "DLL_ARG_ERROR_HDDNO"},
    {0x800000u, "DLL_ARG_ERROR_BUZZER"},
    {0x1000000u, "DLL_ARG_ERROR_LOGINDEX"},
    {0x2000000u, "DLL_ARG_ERROR_NVOFFSET"},
    {0x4000000u, "DLL_ARG_ERROR_SIZESPEC"},
    {0x8000000u, "DLL_ARG_ERROR_GLIST_PREVENTLIMIT"},
};

static const CodeName IOC_STATUS_NAMES[] = {
    {0x0u, "IOC_STATUS_GOOD"},
    {0x8001u, "IOC_STATUS_DEVICE_BUSY"},
    {0x8002u, "IOC_STATUS_CANSELED"},
    {0x8003u, "IOC_STATUS_INVALID_PARAM"},
    {0x8004u, "IOC_STATUS_NO_RESOURCE"},
    {0x8012u, "IOC_STATUS_SAVE_CONFIG_INFO_FAILED"},
    {0x8013u, "IOC_STATUS_PARITY_CHK_FAILED"},
    {0x8014u, "IOC_STATUS_PARITY_WRT_FAILED"},
    {0x8015u, "IOC_STATUS_CANCEL_PARITY_FAILED"},
    {0x8016u, "IOC_STATUS_REBUILD_FAILED"},
    {0x8017u, "IOC_STATUS_DEFRAG_FAILED"},
    {0x8018u, "IOC_STATUS_CANCEL_DEFRAG_FAILED"},
    {0x8019u, "IOC_STATUS_CONFIG_HDD_STATUS_FAILED"},
    {0x801Au, "IOC_STATUS_HDDS_NOT_EXIST"},
    {0x801Bu, "IOC_STATUS_HDD_IS_NOT_GOOD"},
    {0x801Cu, "IOC_STATUS_HDD_CAPA_MISSMATCH"},
    {0x801Du, "IOC_STATUS_LD_STATUS_IS_ALAM"},
    {0x801Eu, "IOC_STATUS_HDD_IS_USED"},
};

static const char *FindCodeName(const CodeName *table, unsigned count, uint32_t code)
{
    for (unsigned i = 0; i < count; i++) {
        if (table[i].code == code)
            return table[i].name;
    }
    return 0;
}

#define TABLE_COUNT(table) ((unsigned)(sizeof(table) / sizeof((table)[0])))

// The code's name; a code the table lacks is reported under funcName and gets the missing text.
static const char *NameOrReportMiss(const CodeName *table, unsigned count, uint32_t code, const char *funcName,
                                    const char *missing)
{
    const char *name = FindCodeName(table, count, code);
    if (name)
        return name;
    SetDllErrCode(DLL_ERR_CODE_TABLE_MISS);
    LegacyErrorReport(funcName, 0, 0, 0, 0, 0, __FILE__, __LINE__);
    return missing;
}

const char *convCODE2msg(uint32_t code)
{
    return NameOrReportMiss(IOCTL_NAMES, TABLE_COUNT(IOCTL_NAMES), code, "convCODE2msg", "NO SUCH IOCTL_CODE");
}

const char *ArgErrCode2msg(uint32_t code)
{
    return NameOrReportMiss(ARG_ERROR_NAMES, TABLE_COUNT(ARG_ERROR_NAMES), code, "ArgErrCode2msg", "");
}

const char *IocStatus2msg(uint32_t code)
{
    const char *name = FindCodeName(IOC_STATUS_NAMES, TABLE_COUNT(IOC_STATUS_NAMES), code);
    return name ? name : "IOC_STATUS_FAILURE";
}

// ---- legacy error report ---------------------------------------------------------------------

int LegacyErrorReport(const char *funcName, uint32_t flags, uint32_t sysError, uint32_t paramCode,
                      uint32_t ioctlCode, uint32_t iocStatus, const char *module, unsigned line)
{
    char text[TRACE_DIAG_LINE_SIZE];
    EventClock now;
    OsLocalTime(&now);
    char date[16];
    char time[16];
    snprintf(date, sizeof(date), "%04d/%02d/%02d", now.year, now.month, now.day);
    snprintf(time, sizeof(time), "%02d:%02d:%02d", now.hour, now.minute, now.second);

    snprintf(text, sizeof(text), "****** ERROR ****** OS date: %s ** OS time: %s ***** \n", date, time);
    TraceWrite(module, line, text, 0, 0);
    snprintf(text, sizeof(text), "ERROR:DLLFUNC %s() DllErrCode=0x%.8x\n", funcName ? funcName : "",
             (unsigned)GetDllErrCode());
    TraceWrite(module, line, text, 0, 0);

    for (int i = 0; i < TraceDiagCount(); i++)
        TraceWrite(module, line, TraceDiagLine(i), 0, 0);
    TraceDiagClear();

    text[0] = '\0';
    if (flags & LEGACY_ERR_SYSTEM) {
        char detail[512];
        OsSystemErrorText(sysError, detail, sizeof(detail));
        snprintf(text, sizeof(text), "ERROR:SYSTEM %s() ErrCode=%d Detail=%s\n", GetDllErrCallName(), (int)sysError,
                 detail);
    } else if (flags & (LEGACY_ERR_IOCTL | LEGACY_ERR_IOCTL_STATUS)) {
        char detail[256];
        snprintf(detail, sizeof(detail), "%s: %s\n", convCODE2msg(ioctlCode), IocStatus2msg(iocStatus));
        snprintf(text, sizeof(text), "ERROR:IOCTL %s", detail);
    } else if (flags & LEGACY_ERR_PARAM) {
        snprintf(text, sizeof(text), "ERROR:PARAM %s\n", ArgErrCode2msg(paramCode));
    }
    if (text[0] != '\0')
        TraceWrite(module, line, text, 0, 0);
    return 1;
}

// ---- registry values -------------------------------------------------------------------------

static ProductRegReader g_productRegReader = ReadProductRegistryValue;

void SetProductRegReader(ProductRegReader reader)
{
    g_productRegReader = reader ? reader : ReadProductRegistryValue;
}

int RegReadProductValue(const char *valueName, char *out, unsigned size)
{
    if (!valueName || !out || size < 2)
        return 0;
    uint32_t sysError = 0;
    if (g_productRegReader(valueName, out, size, &sysError) != PRODUCT_REG_OK) {
        out[0] = '\0';
        return 0;
    }
    out[size - 1] = '\0';
    return 1;
}

int getLogDir(unsigned size, char *buffer)
{
    if (!buffer || size < 2)
        return 0;
    uint32_t sysError = 0;
    int result = g_productRegReader("LogDir", buffer, size, &sysError);
    if (result == PRODUCT_REG_OK) {
        buffer[size - 1] = '\0';
        return 1;
    }
    buffer[0] = '\0';
    SetDllErrCode(DLL_ERR_SYSTEM);
    SetDllErrCallName(result == PRODUCT_REG_OPEN_FAILED ? "RegOpenKeyEx" : "RegQueryValueEx");
    LegacyErrorReport("getLogDir", LEGACY_ERR_SYSTEM, sysError, 0, 0, 0, __FILE__, __LINE__);
    return 0;
}
