// Benchmark of a bare call into the storage library (run by scripts/bench, not by ctest): the
// cost of crossing into ProcessLibCommand for a packet it refuses at once, the per-packet floor
// of a command's run time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

typedef int(__cdecl *ProcessLibCommandFn)(void *packet);

const int kCalls = 20000;
const int kRounds = 7;

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main()
{
    HMODULE library = LoadLibraryA("storelib.dll");
    if (!library) {
        std::printf("bench_libcall: storelib.dll not found (error %lu)\n", GetLastError());
        return 1;
    }
    ProcessLibCommandFn entry = reinterpret_cast<ProcessLibCommandFn>(reinterpret_cast<void *>(GetProcAddress(library, "ProcessLibCommand")));
    if (!entry) {
        std::printf("bench_libcall: ProcessLibCommand missing\n");
        return 1;
    }
    std::vector<double> perCall;
    for (int round = 0; round < kRounds; round++) {
        double start = Now();
        for (int i = 0; i < kCalls; i++)
            entry(nullptr);
        perCall.push_back((Now() - start) / kCalls);
    }
    std::sort(perCall.begin(), perCall.end());
    std::printf("# bare library call (null packet), median of %d rounds of %d calls: %.3f us\n", kRounds, kCalls,
                perCall[kRounds / 2] * 1e6);
    std::printf("bare_call_us %.3f\n", perCall[kRounds / 2] * 1e6);
    FreeLibrary(library);
    return 0;
}
