// Message reporter of the console tool, the product's registry values, and the legacy code tables.
#ifndef ZAV_COMMON_DLL_MOD_H
#define ZAV_COMMON_DLL_MOD_H

#include <stdint.h>

#include "FormatCheck.h"

#ifdef __cplusplus
extern "C" {
#endif

// Report kinds: console only, console and trace, trace only.
enum { REPORT_CONSOLE = 0, REPORT_BOTH = 1, REPORT_TRACE = 3 };
enum { REPORT_BUFFER_SIZE = 10000 };

// Returns 1 when the message went somewhere, 0 for a kind that writes nothing.
int ReportMessage(int kind, const char *module, unsigned line, const char *format, ...) ZAV_PRINTF_FORMAT(4, 5);

// Where console output of ReportMessage goes; tests replace it to capture what a user would see.
typedef void (*ConsoleWriter)(const char *text, unsigned length);
void SetConsoleWriter(ConsoleWriter writer); // null restores standard output
void WriteConsoleText(const char *text);     // raw console output (used for blocks printed directly)
// Writes out console output gathered so far (output into a file or pipe is written in blocks of
// CONSOLE_OUTPUT_BLOCK bytes); call before reading an answer, waiting or starting a program.
enum { CONSOLE_OUTPUT_BLOCK = 65536 };
void FlushConsoleOutput(void);

// Reads a string value of HKLM\SOFTWARE\Norvane\Zav (32-bit view). Returns 1 on success, 0 otherwise.
int RegReadProductValue(const char *valueName, char *out, unsigned size);
int getLogDir(unsigned size, char *buffer);

// Registry seam: reads one value of the product key. Returns PRODUCT_REG_OK, or which step failed
// with the system error code in *sysError.
enum { PRODUCT_REG_OK = 0, PRODUCT_REG_OPEN_FAILED = 1, PRODUCT_REG_QUERY_FAILED = 2 };
typedef int (*ProductRegReader)(const char *valueName, char *out, unsigned size, uint32_t *sysError);
void SetProductRegReader(ProductRegReader reader); // null restores the real registry
// The real registry reader (the default).
int ReadProductRegistryValue(const char *valueName, char *out, unsigned size, uint32_t *sysError);

// Windows services the logic here and the event log use (dll_mod_win.cpp).
struct EventClock;
// The system's text of an error code without its trailing line break; 0 (and an empty text) when
// the system has none.
int OsSystemErrorText(uint32_t code, char *out, unsigned size);
void OsLocalTime(struct EventClock *out);
long OsThreadId(void);
uint32_t OsProcessId(void);
// 1 when standard output is a console (not a file, a pipe or the null device).
int OsOutputIsConsole(void);
// Sets *owner to value when it is 0, atomically; 1 when this call set it.
int OsClaimOwner(volatile long *owner, long value);

const char *convCODE2msg(uint32_t code);
const char *ArgErrCode2msg(uint32_t code);
const char *IocStatus2msg(uint32_t code);

// Per-thread legacy error code and the name of the system call that failed last on this thread.
enum {
    DLL_ERR_CODE_TABLE_MISS = 0x100,
    DLL_ERR_SYSTEM = 0x200,
    DLL_ERR_BAD_PARAMETER = 0x100010
};
uint32_t GetDllErrCode(void);
void SetDllErrCode(uint32_t code);
const char *GetDllErrCallName(void);
void SetDllErrCallName(const char *callName);

// Flags of the legacy error report: which detail line follows the banner.
enum {
    LEGACY_ERR_PARAM = 0x10,
    LEGACY_ERR_SYSTEM = 0x200,
    LEGACY_ERR_IOCTL = 0x1000,
    LEGACY_ERR_IOCTL_STATUS = 0x2000
};
// Writes the legacy error banner, the trace module's diagnostic list and one detail line to the trace.
int LegacyErrorReport(const char *funcName, uint32_t flags, uint32_t sysError, uint32_t paramCode,
                      uint32_t ioctlCode, uint32_t iocStatus, const char *module, unsigned line);

#ifdef __cplusplus
}
#endif

#define ZAV_REPORT(kind, ...) ReportMessage((kind), __FILE__, __LINE__, __VA_ARGS__)

#endif
