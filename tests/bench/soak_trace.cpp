// Trace ring soak (run by hand or by scripts/soak, not by ctest): two writer processes share one
// 2,000,000-byte ring while one of them is killed again and again. Afterwards every line must be
// 199 characters plus CR LF, there must be exactly one end marker, and every record that survived
// must be whole (each carries its own checksum).
//
//   soak_trace run <ring file> [records of the steady writer] [max ms between kills]
//   soak_trace writer <ring file> <writer id> <records>      (started by "run")
//   soak_trace check <ring file>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/raidctl.h"

namespace {

const int kRingSize = 2000000;
const size_t kLineWidth = 199;
const size_t kLineBytes = 201;
const char kProgressMapping[] = "zav_soak_trace_progress";

// The record text: writer, sequence number, a payload that depends on both, and a checksum of
// everything before it, so a record cut or mixed with another one is told apart.
uint32_t Checksum(const std::string &text)
{
    uint32_t sum = 2166136261u;
    for (unsigned char c : text)
        sum = (sum ^ c) * 16777619u;
    return sum;
}

std::string RecordText(unsigned writer, unsigned seq)
{
    char head[64];
    snprintf(head, sizeof(head), "soak w=%u seq=%08u ", writer, seq);
    std::string text = head;
    unsigned length = 40 + (seq * 7 + writer * 13) % 80;
    for (unsigned i = 0; i < length; i++)
        text += (char)('a' + (seq + i * (writer + 1)) % 26);
    char tail[32];
    snprintf(tail, sizeof(tail), " sum=%08X", (unsigned)Checksum(text));
    return text + tail;
}

// Shared progress of the writers: the number of records each one wrote (TraceWrite returned 1).
struct Progress {
    volatile LONG written[2];
    volatile LONG dropped[2];
};

Progress *OpenProgress(bool create)
{
    HANDLE h = create ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Progress),
                                           kProgressMapping)
                      : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kProgressMapping);
    if (!h)
        return nullptr;
    return static_cast<Progress *>(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Progress)));
}

int Writer(const char *ring, unsigned id, unsigned records)
{
    Progress *progress = OpenProgress(false);
    if (!progress || id > 1 || !initLog(ring, kRingSize)) {
        fprintf(stderr, "writer %u: cannot start\n", id);
        return 2;
    }
    for (unsigned seq = 0; seq < records; seq++) {
        std::string text = RecordText(id, seq);
        if (TraceWrite(nullptr, 0, text.c_str(), nullptr, 0))
            InterlockedIncrement(&progress->written[id]);
        else
            InterlockedIncrement(&progress->dropped[id]);
    }
    finContData();
    return 0;
}

HANDLE StartWriter(const std::string &self, const char *ring, unsigned id, unsigned records)
{
    std::string cmd = "\"" + self + "\" writer \"" + ring + "\" " + std::to_string(id) + " " + std::to_string(records);
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int Check(const char *ring)
{
    FILE *f = fopen(ring, "rb");
    if (!f) {
        printf("FAIL: cannot read %s\n", ring);
        return 1;
    }
    std::string bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), f)) > 0)
        bytes.append(chunk, got);
    fclose(f);

    unsigned problems = 0, markers = 0, records = 0, blank = 0;
    unsigned perWriter[2] = {0, 0};
    auto fail = [&](size_t line, const std::string &why) {
        if (++problems <= 20)
            printf("FAIL: line %zu: %s\n", line + 1, why.c_str());
    };
    if (bytes.size() % kLineBytes != 0)
        fail(bytes.size() / kLineBytes, "file size " + std::to_string(bytes.size()) + " is not whole lines");
    if (bytes.size() > (size_t)(kRingSize / 200) * kLineBytes)
        fail(0, "file is larger than the ring");
    for (size_t at = 0, line = 0; at + kLineBytes <= bytes.size(); at += kLineBytes, line++) {
        std::string text = bytes.substr(at, kLineWidth);
        if (bytes.compare(at + kLineWidth, 2, "\r\n") != 0 || text.find_first_of("\r\n") != std::string::npos) {
            fail(line, "not 199 characters and CR LF");
            continue;
        }
        if (text.compare(0, 5, "<END>") == 0) {
            markers++;
            continue;
        }
        size_t start = text.find("soak w=");
        if (start == std::string::npos) {
            if (text.find_first_not_of(' ') == std::string::npos)
                blank++;
            else
                fail(line, "not a soak record: " + text.substr(0, 60));
            continue;
        }
        size_t end = text.find_last_not_of(' ');
        std::string body = text.substr(start, end + 1 - start);
        unsigned writer = 0, seq = 0;
        if (sscanf(body.c_str(), "soak w=%u seq=%u", &writer, &seq) != 2 || writer > 1 ||
            RecordText(writer, seq) != body) {
            fail(line, "record not whole: " + body.substr(0, 60));
            continue;
        }
        records++;
        perWriter[writer]++;
    }
    if (markers != 1)
        fail(0, "end markers: " + std::to_string(markers));
    printf("ring: %zu lines, %u whole records (writer 0: %u, writer 1: %u), %u blank, %u end marker(s)\n",
           bytes.size() / kLineBytes, records, perWriter[0], perWriter[1], blank, markers);
    printf("%s\n", problems ? "RING BROKEN" : "ring ok");
    return problems ? 1 : 0;
}

int Run(const std::string &self, const char *ring, unsigned records, unsigned maxKillMs)
{
    DeleteFileA(ring);
    Progress *progress = OpenProgress(true);
    if (!progress) {
        printf("FAIL: no shared progress block\n");
        return 1;
    }
    memset((void *)progress, 0, sizeof(*progress));
    HANDLE steady = StartWriter(self, ring, 0, records);
    if (!steady) {
        printf("FAIL: cannot start the steady writer\n");
        return 1;
    }
    srand(GetTickCount());
    unsigned kills = 0, starts = 0;
    DWORD begin = GetTickCount();
    while (WaitForSingleObject(steady, 0) == WAIT_TIMEOUT) {
        HANDLE victim = StartWriter(self, ring, 1, 0x7FFFFFFF);
        if (!victim)
            break;
        starts++;
        // Kill it while it writes: wait for its first record (a process start is slow), then a
        // random time more.
        LONG before = progress->written[1] + progress->dropped[1];
        for (int i = 0; i < 3000 && progress->written[1] + progress->dropped[1] == before; i++)
            if (WaitForSingleObject(victim, 10) != WAIT_TIMEOUT)
                break;
        DWORD wait = (DWORD)(rand() % (int)(maxKillMs > 0 ? maxKillMs : 1));
        if (WaitForSingleObject(victim, wait) == WAIT_TIMEOUT) {
            TerminateProcess(victim, 9);
            kills++;
        }
        WaitForSingleObject(victim, 10000);
        CloseHandle(victim);
        if (kills % 10 == 0)
            printf("... %u kills, writer 0 %ld records, writer 1 %ld records\n", kills, progress->written[0],
                   progress->written[1]);
        fflush(stdout);
    }
    WaitForSingleObject(steady, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(steady, &code);
    CloseHandle(steady);
    printf("steady writer exit %lu; %ld records written, %ld dropped (ring locked by the other writer)\n",
           (unsigned long)code, progress->written[0], progress->dropped[0]);
    printf("killed writer: %u starts, %u kills, %ld records written, %ld dropped\n", starts, kills,
           progress->written[1], progress->dropped[1]);
    printf("total records written: %ld in %lu s\n", progress->written[0] + progress->written[1],
           (unsigned long)((GetTickCount() - begin) / 1000));
    int result = Check(ring);
    return code == 0 && kills > 0 ? result : 1;
}

} // namespace

int main(int argc, char **argv)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "writer" && argc == 5)
        return Writer(argv[2], (unsigned)atoi(argv[3]), (unsigned)strtoul(argv[4], nullptr, 10));
    if (mode == "check" && argc == 3)
        return Check(argv[2]);
    if (mode == "run" && argc >= 3)
        return Run(self, argv[2], argc > 3 ? (unsigned)strtoul(argv[3], nullptr, 10) : 100000,
                   argc > 4 ? (unsigned)strtoul(argv[4], nullptr, 10) : 1500);
    fprintf(stderr, "usage: soak_trace run <ring> [records] [max ms between kills] | check <ring>\n");
    return 2;
}
