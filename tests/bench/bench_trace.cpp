// Benchmark of the trace log (run by scripts/bench, not by ctest): records into a full
// 2,000,000-byte ring beside a locked seek, write and flush of the same bytes, and the cost of a
// process's first write on a full ring (the end-marker search).
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/dll_mod.h"
#include "common/raidctl.h"

namespace {

const int kRecords = 4000;
const int kRounds = 7;
const int kRingSize = 2000000;
const int kRingLines = kRingSize / 200;
const size_t kLineBytes = 201;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Padded(const std::string &text)
{
    std::string line = text.substr(0, 199);
    line.resize(199, ' ');
    return line + "\r\n";
}

// A full ring whose marker stands on the last line: the first write has to read all of it.
void WriteFullRing(const std::string &path)
{
    std::string bytes;
    bytes.reserve(kRingLines * kLineBytes);
    for (int line = 1; line < kRingLines; line++)
        bytes += Padded("[2026/01/01 00:00:00.000] pid=01234 StoreLib.cpp(321) func=SLGetPDInfo: contNo=0 line " +
                        std::to_string(line));
    bytes += Padded("<END>");
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

int NoLogDir(const char *, char *, unsigned, uint32_t *sysError)
{
    *sysError = ERROR_FILE_NOT_FOUND;
    return PRODUCT_REG_OPEN_FAILED;
}

double MeasureFirstWrite(const std::string &folder, int round)
{
    std::string path = folder + "\\first_" + std::to_string(round) + ".log";
    WriteFullRing(path);
    if (!initLog(path.c_str(), kRingSize))
        return -1;
    double start = Now();
    int ok = TraceText(__FILE__, __LINE__, "", "first record of the process");
    double elapsed = Now() - start;
    finContData();
    DeleteFileA(path.c_str());
    return ok ? elapsed : -1;
}

double MeasureRing(const std::string &folder)
{
    std::string path = folder + "\\ring.log";
    WriteFullRing(path);
    if (!initLog(path.c_str(), kRingSize))
        return -1;
    TraceText(__FILE__, __LINE__, "", "positioning record");
    double start = Now();
    for (int i = 0; i < kRecords; i++) {
        if (!TraceText(__FILE__, __LINE__, "", "func=%s: contNo=%u ref=%d", "SLGetPDInfo", 0u, i))
            return -1;
    }
    double elapsed = Now() - start;
    finContData();
    DeleteFileA(path.c_str());
    return elapsed;
}

// The floor of one record: the whole-ring lock, a seek, a write and flush of the same bytes (the
// record and the marker behind it) and the unlock, on a file of the ring's size.
double MeasureLockedWriteFlush(const std::string &folder)
{
    std::string path = folder + "\\floor.log";
    WriteFullRing(path);
    FILE *f = fopen(path.c_str(), "r+b");
    if (!f)
        return -1;
    HANDLE handle = (HANDLE)_get_osfhandle(_fileno(f));
    std::string bytes = Padded("[2026/01/01 00:00:00.000] pid=01234 bench_trace.cpp(99) func=SLGetPDInfo: contNo=0") +
                        Padded("<END>");
    double start = Now();
    for (int i = 0; i < kRecords; i++) {
        LockFile(handle, 0, 0, 2 * kRingSize, 0);
        fseek(f, (long)((i % (kRingLines - 1)) * kLineBytes), SEEK_SET);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fflush(f);
        UnlockFile(handle, 0, 0, 2 * kRingSize, 0);
    }
    double elapsed = Now() - start;
    fclose(f);
    DeleteFileA(path.c_str());
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

// Prints human-readable figures and, for scripts/bench, one "name value" line per figure.
int main()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "zav_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetProductRegReader(NoLogDir);

    std::vector<double> first, ring, floor;
    for (int round = 0; round < kRounds; round++) {
        first.push_back(MeasureFirstWrite(folder, round));
        ring.push_back(MeasureRing(folder));
        floor.push_back(MeasureLockedWriteFlush(folder));
    }
    RemoveDirectoryA(folder.c_str());
    if (*std::min_element(ring.begin(), ring.end()) < 0 || *std::min_element(floor.begin(), floor.end()) < 0 ||
        *std::min_element(first.begin(), first.end()) < 0) {
        std::printf("bench_trace: a trace write failed\n");
        return 1;
    }
    const double ringUs = Median(ring) / kRecords * 1e6;
    const double floorUs = Median(floor) / kRecords * 1e6;
    const double firstMs = Median(first) * 1e3;
    std::printf("# trace record into a full %d-byte ring, median of %d rounds of %d records: %.1f us\n", kRingSize,
                kRounds, kRecords, ringUs);
    std::printf("# lock + seek + write + flush + unlock of the same bytes:                      %.1f us\n", floorUs);
    std::printf("# first record of a process on a full ring, median of %d rounds:               %.2f ms\n", kRounds,
                firstMs);
    std::printf("trace_record_us %.2f\ntrace_floor_us %.2f\nfirst_record_ms %.3f\n", ringUs, floorUs, firstMs);
    return 0;
}
