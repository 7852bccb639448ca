// Benchmark of the trace log (run by hand, not by ctest): 20,000 records into a full
// 2,000,000-byte ring beside a plain write-and-flush of the same bytes, and the cost of a
// process's first write on a full ring (the end-marker search).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/dll_mod.h"
#include "common/raidctl.h"

namespace {

const int kRecords = 20000;
const int kRingSize = 2000000;
const int kRingLines = kRingSize / 200;
const size_t kLineBytes = 201;
const int kFirstWriteRounds = 7;

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

// The same 201 bytes per record, appended with a flush after each, as a floor for comparison.
double MeasurePlainWriteFlush(const std::string &folder)
{
    std::string path = folder + "\\plain.log";
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return -1;
    std::string line = Padded("[2026/01/01 00:00:00.000] pid=01234 bench_trace.cpp(99) func=SLGetPDInfo: contNo=0");
    double start = Now();
    for (int i = 0; i < kRecords; i++) {
        fwrite(line.data(), 1, line.size(), f);
        fflush(f);
    }
    double elapsed = Now() - start;
    fclose(f);
    DeleteFileA(path.c_str());
    return elapsed;
}

// The whole-ring lock and unlock that every record takes, alone, for the share of the cost.
double MeasureLockPairs(const std::string &folder)
{
    std::string path = folder + "\\lock.log";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    double start = Now();
    for (int i = 0; i < kRecords; i++) {
        LockFile(file, 0, 0, 2 * kRingSize, 0);
        UnlockFile(file, 0, 0, 2 * kRingSize, 0);
    }
    double elapsed = Now() - start;
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return elapsed;
}

} // namespace

int main()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "zav_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetProductRegReader(NoLogDir);

    std::vector<double> first;
    for (int round = 0; round < kFirstWriteRounds; round++)
        first.push_back(MeasureFirstWrite(folder, round));
    double ring = MeasureRing(folder);
    double plain = MeasurePlainWriteFlush(folder);
    double locks = MeasureLockPairs(folder);
    RemoveDirectoryA(folder.c_str());

    if (ring < 0 || plain < 0 || *std::min_element(first.begin(), first.end()) < 0) {
        std::printf("bench_trace: a trace write failed\n");
        return 1;
    }
    std::sort(first.begin(), first.end());
    const double mb = kRecords * kLineBytes / 1e6;
    std::printf("trace ring, %d records into a full %d-byte ring: %.3f s, %.0f records/s, %.1f us/record, %.2f MB/s of records\n",
                kRecords, kRingSize, ring, kRecords / ring, ring / kRecords * 1e6, mb / ring);
    std::printf("plain write+flush of the same %d x %u bytes:            %.3f s, %.0f records/s, %.1f us/record, %.2f MB/s\n",
                kRecords, static_cast<unsigned>(kLineBytes), plain, kRecords / plain, plain / kRecords * 1e6, mb / plain);
    std::printf("ring / plain time ratio: %.2f\n", ring / plain);
    std::printf("of which the whole-ring lock and unlock alone, %d pairs:         %.3f s, %.1f us/pair\n", kRecords,
                locks, locks / kRecords * 1e6);
    std::printf("first write of a process on a full ring (marker on the last line), %d rounds: min %.2f ms, median %.2f ms, max %.2f ms\n",
                kFirstWriteRounds, first.front() * 1e3, first[first.size() / 2] * 1e3, first.back() * 1e3);
    return 0;
}
