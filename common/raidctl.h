// Ring-buffer trace log shared by both management tools: fixed-width lines, one end marker,
// wrap-around at MaxFileSize / 200 lines, hex dumps of data blocks.
#ifndef ZAV_COMMON_RAIDCTL_H
#define ZAV_COMMON_RAIDCTL_H

#include <stdint.h>

#include "FormatCheck.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    TRACE_LINE_WIDTH = 199,      // characters of every line, records and markers alike
    TRACE_LINE_BUDGET = 200,     // MaxFileSize / TRACE_LINE_BUDGET is the number of lines in the ring
    TRACE_PATH_SIZE = 261,
    TRACE_MAX_FILE_SIZE = 2000000,
    TRACE_DIAG_LINES = 10,
    TRACE_DIAG_LINE_SIZE = 4096
};

int initLog(const char *traceFile, int maxFileSize);
int TraceWrite(const char *module, unsigned line, const char *text, const void *data, unsigned size);
int TraceText(const char *module, unsigned line, const char *prefix, const char *format, ...) ZAV_PRINTF_FORMAT(4, 5);
int TraceTextDump(const char *module, unsigned line, const char *prefix, const void *data, unsigned size,
                  const char *format, ...) ZAV_PRINTF_FORMAT(6, 7);
int finContData(void);

// The trace module's own call and error lines, written into the trace by the legacy error report.
int TraceDiagCount(void);
const char *TraceDiagLine(int index);
void TraceDiagClear(void);

// Path of the open trace file ("" when none is open).
const char *TraceFilePath(void);

#ifdef __cplusplus
}
#endif

// Convenience forms that stamp the caller's source file and line.
#define ZAV_TRACE(prefix, ...) TraceText(__FILE__, __LINE__, (prefix), __VA_ARGS__)
#define ZAV_TRACE_DUMP(prefix, data, size, ...) TraceTextDump(__FILE__, __LINE__, (prefix), (data), (size), __VA_ARGS__)
#define ZAV_ERR "!ERR "

#endif
