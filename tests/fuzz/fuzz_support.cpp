// Native stand-ins for the Windows-only parts the parsers link against: the message reporter and
// the trace (both format their text exactly as the real ones do, then drop it), the product's
// registry values (InstallDir is a scratch folder of this process) and the console reader.
#include "fuzz_support.h"

#include <unistd.h>

#include <cstdarg>
#include <cstring>

#include "cli/zavcli_cmd_com.h"
#include "common/dll_mod.h"
#include "cli/zavcli_main.h"
#include "cli/zavcli_cmd_evt.h"
#include "common/Discovery.h"
#include "common/EventLog.h"
#include "common/ToolVersion.h"
#include "common/VolumeSeam.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"

namespace fuzz {

const std::string &ScratchDir()
{
    static std::string dir = [] {
        // Memory-backed where the machine has it: a file is written for every input.
        const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string d = std::string(base) + "/zav_fuzz_" + std::to_string((long)getpid()) + "/";
        std::string cmd = "mkdir -p " + d;
        if (system(cmd.c_str()) != 0)
            abort();
        return d;
    }();
    return dir;
}

std::string WriteScratchFile(const char *name, const uint8_t *data, size_t size)
{
    std::string path = ScratchDir() + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    if (size)
        fwrite(data, 1, size, f);
    fclose(f);
    return path;
}

static std::vector<std::string> g_answers;
static size_t g_nextAnswer;

static int ReadScriptedAnswer(char *line, unsigned size)
{
    if (g_nextAnswer >= g_answers.size() || size == 0)
        return 0;
    const std::string &a = g_answers[g_nextAnswer++];
    size_t n = a.size() < size - 1 ? a.size() : size - 1;
    memcpy(line, a.data(), n);
    line[n] = '\0';
    return 1;
}

void SetAnswers(const std::vector<std::string> &lines)
{
    g_answers = lines;
    for (std::string &a : g_answers)
        a += "\n";
    g_nextAnswer = 0;
    SetConsoleReader(ReadScriptedAnswer);
}

} // namespace fuzz

// ---- the reporter and the trace: same formatting, no output ----------------------------------

static char g_sink[REPORT_BUFFER_SIZE + 2];

extern "C" int ReportMessage(int kind, const char *module, unsigned line, const char *format, ...)
{
    (void)module;
    (void)line;
    va_list ap;
    va_start(ap, format);
    vsnprintf(g_sink, REPORT_BUFFER_SIZE, format, ap);
    va_end(ap);
    return kind == REPORT_CONSOLE || kind == REPORT_BOTH || kind == REPORT_TRACE;
}

extern "C" void WriteConsoleText(const char *text) { (void)strlen(text); }
extern "C" void SetConsoleWriter(ConsoleWriter writer) { (void)writer; }
extern "C" void FlushConsoleOutput(void) {}

extern "C" int RegReadProductValue(const char *valueName, char *out, unsigned size)
{
    if (strcmp(valueName, "InstallDir") != 0 || size == 0)
        return 0;
    snprintf(out, size, "%s", fuzz::ScratchDir().c_str());
    return 1;
}

extern "C" int getLogDir(unsigned size, char *buffer) { return RegReadProductValue("InstallDir", buffer, size); }

extern "C" int TraceWrite(const char *module, unsigned line, const char *text, const void *data, unsigned size)
{
    (void)module;
    (void)line;
    if (text)
        (void)strlen(text);
    if (data && size)
        (void)((const volatile unsigned char *)data)[size - 1];
    return 1;
}

extern "C" int TraceText(const char *module, unsigned line, const char *prefix, const char *format, ...)
{
    char text[1024];
    size_t used = (size_t)snprintf(text, sizeof(text), "%s", prefix ? prefix : "");
    va_list ap;
    va_start(ap, format);
    vsnprintf(text + used, sizeof(text) - used, format, ap);
    va_end(ap);
    return TraceWrite(module, line, text, nullptr, 0);
}

extern "C" int TraceTextDump(const char *module, unsigned line, const char *prefix, const void *data, unsigned size,
                             const char *format, ...)
{
    char text[1024];
    size_t used = (size_t)snprintf(text, sizeof(text), "%s", prefix ? prefix : "");
    va_list ap;
    va_start(ap, format);
    vsnprintf(text + used, sizeof(text) - used, format, ap);
    va_end(ap);
    return TraceWrite(module, line, text, data, size);
}

// ---- no storage library: nothing loads, so every controller operation fails as unloaded ------

static void *NoLibrary(const char *name)
{
    (void)name;
    return nullptr;
}
static void *NoEntry(void *module, const char *name)
{
    (void)module;
    (void)name;
    return nullptr;
}
static void NoFree(void *module) { (void)module; }
static uint32_t NoError(void) { return 126; }

const LibLoaderSeam *WindowsLibLoader(void)
{
    static const LibLoaderSeam seam = {NoLibrary, NoEntry, NoFree, NoError};
    return &seam;
}

// ---- the entry's process services and the device map: present, but never asked ----------------

static int NoMutex(const char *name, void **handle)
{
    (void)name;
    *handle = nullptr;
    return INSTANCE_CREATED;
}
static void NoClose(void *handle) { (void)handle; }
static int IsAdmin(void) { return 1; }

const ZavcliProcessSeam *WindowsProcessSeam(void)
{
    static const ZavcliProcessSeam seam = {NoMutex, NoClose, IsAdmin};
    return &seam;
}

void *AllocateZeroedBlock(size_t count, size_t size, uint32_t *errorCode)
{
    void *block = calloc(count, size);
    *errorCode = block ? 0 : 8;
    return block;
}

static long NoKey(const char *path, void **key)
{
    (void)path;
    *key = nullptr;
    return 2;
}
static long NoSubkey(void *key, uint32_t index, char *name, uint32_t nameSize)
{
    (void)key;
    (void)index;
    (void)name;
    (void)nameSize;
    return 259;
}
static long NoValue(void *key, const char *valueName, char *out, uint32_t size)
{
    (void)key;
    (void)valueName;
    (void)out;
    (void)size;
    return 2;
}
static void NoCloseKey(void *key) { (void)key; }

const DeviceMapSeam *WindowsDeviceMapSeam(void)
{
    static const DeviceMapSeam seam = {NoKey, NoSubkey, NoValue, NoCloseKey};
    return &seam;
}

extern "C" int initLog(const char *traceFile, int maxFileSize)
{
    (void)traceFile;
    (void)maxFileSize;
    return 1;
}

extern "C" int finContData(void) { return 1; }

// ---- seams the parsers never reach: tables without functions, so a call would stop the run ----

const LogCollectSeam *WindowsLogCollectSeam(void)
{
    static const LogCollectSeam seam = {};
    return &seam;
}

const EventLogSeam *WindowsEventLogSeam(void)
{
    static const EventLogSeam seam = {};
    return &seam;
}

const VolumeSeam *GetVolumeSeam(void)
{
    static const VolumeSeam seam = {};
    return &seam;
}

int ReadWindowsVersion(ToolVersion *version, uint32_t *errorCode)
{
    (void)version;
    *errorCode = 2;
    return 0;
}
