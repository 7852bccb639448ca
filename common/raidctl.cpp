// Ring-buffer trace log: every line is 199 characters plus CRLF, the newest line is followed by one
// "<END>" marker line, and after MaxFileSize / 200 lines the writer wraps to the top.
#include "common/raidctl.h"
#include "common/dll_mod.h"

#include <windows.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>

enum {
    LINE_BYTES = TRACE_LINE_WIDTH + 2, // with the CRLF line end
    DUMP_BYTES_PER_LINE = 16,
    DUMP_COMPARE_COLUMN = 10,
    DUMP_COMPARE_LENGTH = 48,
    SEARCH_CHUNK = 65536,
    SEARCH_BLOCK_LINES = 326, // lines read at once by the end-marker search (about 64 KiB)
    BATCH_LINES = 16,
    FORMAT_BUFFER_SIZE = 1024
};

static const char END_MARKER[] = "<END>";
static const char SAME_DATA_LINE[] = "---  same data  ---";

// Process-wide state of the open trace.
static int g_fd = -1;
static HANDLE g_fileHandle = INVALID_HANDLE_VALUE;
static char g_path[TRACE_PATH_SIZE];
static int g_maxFileSize;
static uint32_t g_nextLine;        // 1-based line the next write fills; 0 = not positioned yet
static long g_pos;                 // file offset of line g_nextLine (valid once positioned)

static char g_diag[TRACE_DIAG_LINES][TRACE_DIAG_LINE_SIZE];
static int g_diagCount;

static uint32_t RingLines(void)
{
    return (uint32_t)(g_maxFileSize / TRACE_LINE_BUDGET);
}

static uint64_t LockLength(void)
{
    return 2ull * (uint64_t)g_maxFileSize;
}

// ---- diagnostic list -------------------------------------------------------------------------

ZAV_PRINTF_FORMAT(1, 2) static void AddDiag(const char *format, ...)
{
    if (g_diagCount >= TRACE_DIAG_LINES)
        return;
    va_list args;
    va_start(args, format);
    vsnprintf(g_diag[g_diagCount], TRACE_DIAG_LINE_SIZE, format, args);
    va_end(args);
    g_diagCount++;
}

static void AddSystemDiag(unsigned line, const char *callName, int errorNumber)
{
    AddDiag("%s(%d) ERROR:SYSTEM %s() DLLErrCode=0x%08X ErrCode=%d\n", "raidctl.cpp", (int)line, callName,
            (unsigned)GetDllErrCode(), errorNumber);
}

int TraceDiagCount(void)
{
    return g_diagCount;
}

const char *TraceDiagLine(int index)
{
    if (index < 0 || index >= g_diagCount)
        return "";
    return g_diag[index];
}

void TraceDiagClear(void)
{
    g_diagCount = 0;
}

const char *TraceFilePath(void)
{
    return g_fd >= 0 ? g_path : "";
}

// ---- low-level file access -------------------------------------------------------------------

static int SeekTo(long offset)
{
    if (_lseek(g_fd, offset, SEEK_SET) != offset) {
        AddSystemDiag(__LINE__, "_lseek", errno);
        return 0;
    }
    return 1;
}

// Reads and writes at an offset: a seek of the file's handle and one plain call. (A positioned call
// with an OVERLAPPED offset does the same in one call, but was measured several times dearer under
// Wine, where it costs the ring more than the lock.)
static int MoveTo(long offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return SetFilePointerEx(g_fileHandle, at, NULL, FILE_BEGIN) != 0;
}

static int WriteAt(long offset, const char *bytes, unsigned length)
{
    DWORD written = 0;
    if (!MoveTo(offset) || !WriteFile(g_fileHandle, bytes, length, &written, NULL) || written != length) {
        AddSystemDiag(__LINE__, "_write", (int)GetLastError());
        return 0;
    }
    return 1;
}

// At the end of the file the call succeeds with nothing read.
static int ReadAt(long offset, char *bytes, unsigned length, unsigned *got)
{
    DWORD read = 0;
    *got = 0;
    if (!MoveTo(offset) || !ReadFile(g_fileHandle, bytes, length, &read, NULL)) {
        AddSystemDiag(__LINE__, "_read", (int)GetLastError());
        return 0;
    }
    *got = read;
    return 1;
}

static int FileIsEmpty(int *empty)
{
    struct _stat info;
    if (_fstat(g_fd, &info) != 0) {
        AddSystemDiag(__LINE__, "_fstat", errno);
        return 0;
    }
    *empty = info.st_size == 0;
    return 1;
}

// The whole ring (and room beyond it) is locked without waiting; a writer that finds it taken by
// another process drops its record rather than stall the tool.
static int LockRing(void)
{
    if (!LockFile(g_fileHandle, 0, 0, (DWORD)LockLength(), (DWORD)(LockLength() >> 32))) {
        AddSystemDiag(__LINE__, "_locking", (int)GetLastError());
        return 0;
    }
    return 1;
}

static void UnlockRing(void)
{
    if (!UnlockFile(g_fileHandle, 0, 0, (DWORD)LockLength(), (DWORD)(LockLength() >> 32)))
        AddSystemDiag(__LINE__, "_locking", (int)GetLastError());
}

// ---- positioning -----------------------------------------------------------------------------

// Reads the ring from the top and stops at the first line that begins with the end marker.
// Returns 1 with *found set (and *markerOffset, *markerLine filled) or 0 on a read failure.
// Every line of a ring this module wrote is LINE_BYTES long, so a line's start is found by its
// number alone: the search reads whole lines in large blocks and looks at the first characters of
// each. A line of any other length (a file written by something else, cut short or damaged) makes
// *regular 0, and the caller searches line end by line end instead.
static int SearchEndMarkerByWidth(int *found, long *markerOffset, uint32_t *markerLine, int *regular)
{
    static char block[SEARCH_BLOCK_LINES * LINE_BYTES];
    const uint32_t lines = RingLines();
    const unsigned markerLength = (unsigned)(sizeof(END_MARKER) - 1);
    uint32_t lineCount = 0;
    long offset = 0;

    *found = 0;
    *regular = 1;
    while (lineCount < lines) {
        unsigned got = 0;
        if (!ReadAt(offset, block, (unsigned)sizeof(block), &got))
            return 0;
        if (got % LINE_BYTES != 0)
            *regular = 0;
        for (unsigned at = 0; at + LINE_BYTES <= got && lineCount < lines; at += LINE_BYTES) {
            if (block[at + LINE_BYTES - 1] != '\n') {
                *regular = 0;
                return 1;
            }
            lineCount++;
            if (memcmp(block + at, END_MARKER, markerLength) == 0) {
                *found = 1;
                *markerOffset = offset + (long)at;
                *markerLine = lineCount;
                return 1;
            }
        }
        if (got < sizeof(block))
            return 1;
        offset += (long)got;
    }
    return 1;
}

// The same search for a ring whose lines are not all of the usual length: line by line end.
static int SearchEndMarkerByLineEnds(int *found, long *markerOffset, uint32_t *markerLine)
{
    static char chunk[SEARCH_CHUNK];
    const uint32_t lines = RingLines();
    const int markerLength = (int)(sizeof(END_MARKER) - 1);
    uint32_t lineCount = 1;
    long lineStart = 0;
    long offset = 0;
    int matched = 0; // characters of the marker matched at the start of the current line; -1 = no match

    *found = 0;
    if (!SeekTo(0))
        return 0;
    for (;;) {
        int got = _read(g_fd, chunk, SEARCH_CHUNK);
        if (got < 0) {
            AddSystemDiag(__LINE__, "_read", errno);
            return 0;
        }
        if (got == 0)
            return 1;
        // Only the first characters of a line can start the marker; the rest of the line is
        // skipped with one search for its end.
        int i = 0;
        while (i < got) {
            if (matched >= 0 && matched < markerLength) {
                matched = (chunk[i] == END_MARKER[matched]) ? matched + 1 : -1;
                if (matched == markerLength) {
                    *found = 1;
                    *markerOffset = lineStart;
                    *markerLine = lineCount;
                    return 1;
                }
                if (chunk[i] != '\n') {
                    i++;
                    continue;
                }
            }
            const char *end = (const char *)memchr(chunk + i, '\n', (size_t)(got - i));
            if (!end)
                break;
            i = (int)(end - chunk) + 1;
            if (++lineCount > lines)
                return 1;
            lineStart = offset + i;
            matched = 0;
        }
        offset += got;
    }
}

static int SearchEndMarker(int *found, long *markerOffset, uint32_t *markerLine)
{
    int regular = 1;
    if (!SearchEndMarkerByWidth(found, markerOffset, markerLine, &regular))
        return 0;
    if (*found || regular)
        return 1;
    return SearchEndMarkerByLineEnds(found, markerOffset, markerLine);
}

// First write of the process, or the marker is no longer where this process left it (another
// process wrote in between): find the newest line from the marker in the file.
static int LocateNextLine(void)
{
    int empty = 0;
    if (!FileIsEmpty(&empty))
        return 0;
    if (empty) {
        g_nextLine = 1;
        g_pos = 0;
        return SeekTo(0);
    }
    int found = 0;
    long markerOffset = 0;
    uint32_t markerLine = 0;
    if (!SearchEndMarker(&found, &markerOffset, &markerLine))
        return 0;
    if (!found) {
        g_nextLine = 1;
        g_pos = 0;
        return SeekTo(0);
    }
    g_nextLine = markerLine;
    g_pos = markerOffset;
    return SeekTo(g_pos);
}

static int MarkerStandsAtPosition(int *stands)
{
    char head[sizeof(END_MARKER) - 1];
    unsigned got = 0;
    *stands = 0;
    if (!ReadAt(g_pos, head, (unsigned)sizeof(head), &got))
        return 0;
    *stands = got == sizeof(head) && memcmp(head, END_MARKER, sizeof(head)) == 0;
    return 1;
}

// Positions the file for the first line of one TraceWrite call.
static int PositionForRecord(void)
{
    if (g_nextLine == 0)
        return LocateNextLine();
    if (g_nextLine > RingLines()) {
        g_nextLine = 1;
        g_pos = 0;
        return 1;
    }
    int stands = 0;
    if (!MarkerStandsAtPosition(&stands))
        return 0;
    if (!stands)
        return LocateNextLine();
    return 1;
}

// ---- line output -----------------------------------------------------------------------------

static void FillLine(char *out, const char *text)
{
    size_t length = text ? strlen(text) : 0;
    if (length > TRACE_LINE_WIDTH)
        length = TRACE_LINE_WIDTH;
    memcpy(out, text, length);
    memset(out + length, ' ', TRACE_LINE_WIDTH - length);
    out[TRACE_LINE_WIDTH] = '\r';
    out[TRACE_LINE_WIDTH + 1] = '\n';
}

// Lines of one TraceWrite call gathered for as few writes as the ring allows: all of them and the
// end marker in one write, unless the ring's last line comes in between.
typedef struct LineBatch {
    char bytes[(BATCH_LINES + 1) * LINE_BYTES]; // the lines and room for the marker behind them
    unsigned count;
} LineBatch;

// Writes the gathered lines from the line the ring stands on, the end marker right behind the
// newest, and moves the ring's position onto the marker so that the next line overwrites it.
static int FlushBatch(LineBatch *batch)
{
    const char *next = batch->bytes;
    unsigned left = batch->count;
    batch->count = 0;
    while (left > 0) {
        uint32_t room = RingLines() - g_nextLine + 1; // lines up to and including the ring's last one
        if (left < room) {
            FillLine((char *)next + left * LINE_BYTES, END_MARKER);
            if (!WriteAt(g_pos, next, (left + 1) * LINE_BYTES))
                return 0;
            g_nextLine += left;
            g_pos += (long)left * LINE_BYTES;
            return 1;
        }
        // These lines fill the ring to its end: the marker (or the rest of the lines) goes to the top.
        if (!WriteAt(g_pos, next, room * LINE_BYTES))
            return 0;
        next += room * LINE_BYTES;
        left -= room;
        g_nextLine = 1;
        g_pos = 0;
        if (left == 0) {
            char marker[LINE_BYTES];
            FillLine(marker, END_MARKER);
            return WriteAt(0, marker, LINE_BYTES);
        }
    }
    return 1;
}

static int AddLine(LineBatch *batch, const char *text)
{
    FillLine(batch->bytes + batch->count * LINE_BYTES, text);
    if (++batch->count < BATCH_LINES)
        return 1;
    return FlushBatch(batch);
}

static const char *BaseName(const char *path)
{
    const char *base = path;
    for (const char *p = path; *p; p++) {
        if (*p == '\\' || *p == '/')
            base = p + 1;
    }
    return base;
}

static void BlankControlCharacters(char *text)
{
    for (unsigned char *p = (unsigned char *)text; *p; p++) {
        if (*p < 32 || *p == 127)
            *p = ' ';
    }
}

// A record's text, cut at TRACE_LINE_WIDTH characters. Built with plain copies rather than the
// formatted-print family: a record is written for every library call, and the formatting would
// cost more than the write itself.
typedef struct RecordText {
    char *bytes;
    unsigned used;
} RecordText;

static void AppendBytes(RecordText *record, const char *bytes, size_t length)
{
    size_t room = TRACE_LINE_WIDTH - record->used;
    if (length > room)
        length = room;
    memcpy(record->bytes + record->used, bytes, length);
    record->used += (unsigned)length;
}

static void AppendText(RecordText *record, const char *text)
{
    AppendBytes(record, text, strlen(text));
}

// Decimal digits of value, at least minDigits of them (zeros in front).
static void AppendNumber(RecordText *record, unsigned long value, unsigned minDigits)
{
    char digits[16];
    unsigned count = 0;
    do {
        digits[sizeof(digits) - 1 - count++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0 && count < sizeof(digits));
    while (count < minDigits && count < sizeof(digits))
        digits[sizeof(digits) - 1 - count++] = '0';
    AppendBytes(record, digits + sizeof(digits) - count, count);
}

// "[YYYY/MM/DD hh:mm:ss.mmm] pid=NNNNN", then " module", "(line)" and " text" where given.
static void BuildRecord(char *bytes, const char *module, unsigned line, const char *text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    RecordText record = {bytes, 0};
    AppendBytes(&record, "[", 1);
    AppendNumber(&record, now.wYear, 4);
    AppendBytes(&record, "/", 1);
    AppendNumber(&record, now.wMonth, 2);
    AppendBytes(&record, "/", 1);
    AppendNumber(&record, now.wDay, 2);
    AppendBytes(&record, " ", 1);
    AppendNumber(&record, now.wHour, 2);
    AppendBytes(&record, ":", 1);
    AppendNumber(&record, now.wMinute, 2);
    AppendBytes(&record, ":", 1);
    AppendNumber(&record, now.wSecond, 2);
    AppendBytes(&record, ".", 1);
    AppendNumber(&record, now.wMilliseconds, 3);
    AppendBytes(&record, "] pid=", 6);
    AppendNumber(&record, GetCurrentProcessId(), 5);
    if (module) {
        AppendBytes(&record, " ", 1);
        AppendText(&record, BaseName(module));
    }
    if (line != 0) {
        AppendBytes(&record, "(", 1);
        AppendNumber(&record, line, 1);
        AppendBytes(&record, ")", 1);
    }
    if (text) {
        AppendBytes(&record, " ", 1);
        AppendText(&record, text);
    }
    bytes[record.used] = '\0';
    BlankControlCharacters(bytes);
}

static int IsAsciiLetterOrDigit(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

static void BuildDumpLine(char *out, const unsigned char *data, unsigned size, unsigned offset)
{
    int used = sprintf(out, "%08X: ", offset);
    for (unsigned column = 0; column < DUMP_BYTES_PER_LINE; column++) {
        if (offset + column < size)
            used += sprintf(out + used, "%02X ", data[offset + column]);
        else
            used += sprintf(out + used, "   ");
        if (column == 7)
            out[used++] = ' ';
    }
    out[used++] = ' ';
    for (unsigned column = 0; column < DUMP_BYTES_PER_LINE && offset + column < size; column++) {
        unsigned char c = data[offset + column];
        out[used++] = IsAsciiLetterOrDigit(c) ? (char)c : '.';
    }
    out[used] = '\0';
}

// Separator, one line per 16 bytes with runs of repeated lines folded, and a closing blank line.
static int AddDump(LineBatch *batch, const unsigned char *data, unsigned size)
{
    char separator[78];
    memset(separator, '-', 77);
    separator[77] = '\0';
    if (!AddLine(batch, separator))
        return 0;

    char previous[96] = "";
    char current[96];
    int skipped = 0;
    unsigned lineCount = (size + DUMP_BYTES_PER_LINE - 1) / DUMP_BYTES_PER_LINE;
    for (unsigned index = 0; index < lineCount; index++) {
        BuildDumpLine(current, data, size, index * DUMP_BYTES_PER_LINE);
        int inner = index > 0 && index + 1 < lineCount;
        int repeats = index > 0 && memcmp(current + DUMP_COMPARE_COLUMN, previous + DUMP_COMPARE_COLUMN,
                                          DUMP_COMPARE_LENGTH) == 0;
        if (inner && repeats) {
            skipped = 1;
        } else {
            if (skipped && !AddLine(batch, SAME_DATA_LINE))
                return 0;
            skipped = 0;
            if (!AddLine(batch, current))
                return 0;
        }
        memcpy(previous, current, sizeof(current));
    }
    return AddLine(batch, "");
}

// ---- interface -------------------------------------------------------------------------------

static void CloseTraceFile(void)
{
    if (g_fd >= 0)
        _close(g_fd);
    g_fd = -1;
    g_fileHandle = INVALID_HANDLE_VALUE;
}

static void BuildTracePath(char *path, const char *traceFile)
{
    char logDir[TRACE_PATH_SIZE];
    if (strchr(traceFile, '\\') || strchr(traceFile, '/') || !getLogDir(sizeof(logDir), logDir)) {
        snprintf(path, TRACE_PATH_SIZE, "%s", traceFile);
        return;
    }
    // A directory value without its trailing separator still means that directory.
    size_t dirLength = strlen(logDir);
    const char *separator = (dirLength > 0 && logDir[dirLength - 1] != '\\' && logDir[dirLength - 1] != '/') ? "\\" : "";
    if (snprintf(path, TRACE_PATH_SIZE, "%s%s%s", logDir, separator, traceFile) >= TRACE_PATH_SIZE)
        snprintf(path, TRACE_PATH_SIZE, "%s", traceFile);
}

int initLog(const char *traceFile, int maxFileSize)
{
    TraceDiagClear();
    if (traceFile)
        AddDiag("CALL - %s() TraceFile=%s MaxFileSize=%d\n", "initLog", traceFile, maxFileSize);
    else
        AddDiag("CALL - %s() MaxFileSize=%d\n", "initLog", maxFileSize);

    // A ring needs room for at least one record and the marker.
    if (!traceFile || traceFile[0] == '\0' || maxFileSize / TRACE_LINE_BUDGET < 2) {
        SetDllErrCode(DLL_ERR_BAD_PARAMETER);
        AddDiag("%s(%d) ERROR:PARAM DLLErrCode=0x%08X\n", "raidctl.cpp", (int)__LINE__, (unsigned)GetDllErrCode());
        return 0;
    }

    char path[TRACE_PATH_SIZE];
    BuildTracePath(path, traceFile);
    CloseTraceFile();

    int fd = _sopen(path, _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        SetDllErrCode(DLL_ERR_SYSTEM);
        AddSystemDiag(__LINE__, "_sopen", errno);
        return 0;
    }
    // Another file than before: the line position of the old one means nothing here.
    if (strcmp(path, g_path) != 0)
        g_nextLine = 0;
    g_fd = fd;
    g_fileHandle = (HANDLE)_get_osfhandle(fd);
    g_pos = 0;
    snprintf(g_path, sizeof(g_path), "%s", path);
    g_maxFileSize = maxFileSize;
    return 1;
}

int TraceWrite(const char *module, unsigned line, const char *text, const void *data, unsigned size)
{
    if (g_fd < 0)
        return 0;
    if (!LockRing())
        return 0;

    char record[TRACE_LINE_WIDTH + 1];
    BuildRecord(record, module, line, text);
    static LineBatch batch; // single-threaded writer; too big for every caller's stack
    batch.count = 0;
    int ok = PositionForRecord() && AddLine(&batch, record);
    if (ok && data && size > 0)
        ok = AddDump(&batch, (const unsigned char *)data, size);
    if (ok)
        ok = FlushBatch(&batch);

    UnlockRing();
    return ok;
}

static int TraceFormatted(const char *module, unsigned line, const char *prefix, const void *data, unsigned size,
                          const char *format, va_list args)
{
    char text[FORMAT_BUFFER_SIZE];
    size_t prefixLength = prefix ? strlen(prefix) : 0;
    if (prefixLength > sizeof(text) - 1)
        prefixLength = sizeof(text) - 1;
    if (prefixLength > 0)
        memcpy(text, prefix, prefixLength);
    vsnprintf(text + prefixLength, sizeof(text) - prefixLength, format ? format : "", args);
    return TraceWrite(module, line, text, data, size);
}

int TraceText(const char *module, unsigned line, const char *prefix, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int ok = TraceFormatted(module, line, prefix, 0, 0, format, args);
    va_end(args);
    return ok;
}

int TraceTextDump(const char *module, unsigned line, const char *prefix, const void *data, unsigned size,
                  const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int ok = TraceFormatted(module, line, prefix, data, size, format, args);
    va_end(args);
    return ok;
}

int finContData(void)
{
    TraceDiagClear();
    AddDiag("CALL - %s()\n", "finContData");
    CloseTraceFile();
    return 1;
}
