// Simulator state soak (run by hand or by scripts/soak, not by ctest): rounds of zavcli and zavsim
// processes changing one state file at the same time, one of them killed at a random moment of
// each round (often in the middle of a save). After every round the state file must load, and
// every change that a process reported as done must be in it.
//
//   soak_state [rounds] [max ms before the kill]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimCore.h"

namespace {

std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/"));
}

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// One process of a round: what it runs and how its claim of success is checked afterwards.
struct Worker {
    std::string exe;
    std::vector<std::string> args;
    enum Field { kLdName, kPdTemperature } field;
    int index;          // LD target or PD slot
    std::string value;  // LD name or temperature
    HANDLE process = nullptr;
    std::string outPath;
    bool killed = false;
    DWORD exitCode = 0;
};

HANDLE StartProcess(const std::string &exe, const std::vector<std::string> &args, const std::string &outPath)
{
    std::string cmd = "\"" + exe + "\"";
    for (const std::string &a : args)
        cmd += " \"" + a + "\"";
    std::vector<char> buf(cmd.begin(), cmd.end());
    buf.push_back('\0');
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE, 0, nullptr, BinDir().c_str(), &si, &pi);
    CloseHandle(out);
    CloseHandle(in);
    if (!ok)
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Whether the worker told its user that the change was made.
bool ReportedDone(const Worker &w, const std::string &output)
{
    if (w.killed || w.exitCode != 0)
        return false;
    if (w.exe.find("zavcli") != std::string::npos)
        return output.find("Information - ") != std::string::npos && output.find("Error - ") == std::string::npos;
    return true; // zavsim: exit code 0 means the change is stored
}

bool ChangeIsIn(const sim::State &s, const Worker &w)
{
    if (s.ctrls.empty())
        return false;
    const sim::Controller &c = s.ctrls[0];
    if (w.field == Worker::kLdName) {
        for (const sim::Ld &ld : c.lds)
            if (ld.target == w.index)
                return ld.name == w.value;
        return false;
    }
    for (const sim::Pd &pd : c.pds)
        if (pd.slot == w.index)
            return std::to_string(pd.temperature) == w.value;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? atoi(argv[1]) : 100;
    const int maxKillMs = argc > 2 ? atoi(argv[2]) : 1500;
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    sim::Paths paths;
    paths.state = std::string(temp) + "zav_soak_state.json";
    paths.journal = std::string(temp) + "zav_soak_journal.txt";
    paths.lock = paths.state + ".lock";
    SetEnvironmentVariableA("ZAVSIM_STATE", paths.state.c_str());
    SetEnvironmentVariableA("ZAVSIM_JOURNAL", paths.journal.c_str());
    std::string out, err;
    if (sim::ZavsimRun({"load", "default"}, paths, out, err) != 0) {
        printf("FAIL: cannot load the default scenario: %s\n", err.c_str());
        return 1;
    }
    const std::string zavcli = BinDir() + "\\zavcli.exe";
    const std::string zavsim = BinDir() + "\\zavsim.exe";
    srand(GetTickCount());

    int failures = 0, kills = 0, done = 0, silent = 0, loads = 0;
    for (int round = 1; round <= rounds; round++) {
        const std::string r = std::to_string(round);
        const std::string t1 = std::to_string(20 + round % 40), t2 = std::to_string(60 - round % 30);
        std::vector<Worker> workers = {
            {zavcli, {"-ldsetprop", "-name", "SoakA" + r, "-L0"}, Worker::kLdName, 0, "SoakA" + r},
            {zavcli, {"-ldsetprop", "-name", "SoakB" + r, "-L1"}, Worker::kLdName, 1, "SoakB" + r},
            {zavsim, {"pd", "set", "0", "7", "temperature=" + t1}, Worker::kPdTemperature, 7, t1},
            {zavsim, {"pd", "set", "0", "6", "temperature=" + t2}, Worker::kPdTemperature, 6, t2},
        };
        for (size_t i = 0; i < workers.size(); i++) {
            workers[i].outPath = std::string(temp) + "zav_soak_out" + std::to_string(i) + ".txt";
            workers[i].process = StartProcess(workers[i].exe, workers[i].args, workers[i].outPath);
        }
        Worker &victim = workers[(size_t)rand() % workers.size()];
        if (victim.process && WaitForSingleObject(victim.process, (DWORD)(rand() % maxKillMs)) == WAIT_TIMEOUT) {
            TerminateProcess(victim.process, 9);
            victim.killed = true;
            kills++;
        }
        for (Worker &w : workers) {
            if (!w.process) {
                printf("FAIL: round %d: cannot start %s\n", round, w.exe.c_str());
                failures++;
                continue;
            }
            WaitForSingleObject(w.process, 120000);
            GetExitCodeProcess(w.process, &w.exitCode);
            CloseHandle(w.process);
        }

        sim::State state;
        std::string error;
        if (!sim::ParseStateText(ReadText(paths.state), state, error)) {
            printf("FAIL: round %d: the state file does not load: %s\n", round, error.c_str());
            failures++;
            break;
        }
        loads++;
        for (const Worker &w : workers) {
            std::string output = ReadText(w.outPath);
            if (!ReportedDone(w, output)) {
                if (!w.killed)
                    silent++;
                continue;
            }
            done++;
            if (!ChangeIsIn(state, w)) {
                printf("FAIL: round %d: %s %s reported done, but the change is not in the state\n%s\n", round,
                       w.exe.c_str(), w.args[0].c_str(), output.c_str());
                failures++;
            }
        }
        if (round % 10 == 0) {
            printf("... round %d: %d changes reported done and found, %d kills\n", round, done, kills);
            fflush(stdout);
        }
    }
    std::string journal = ReadText(paths.journal);
    size_t saveErrors = 0;
    for (size_t at = journal.find("ERROR "); at != std::string::npos; at = journal.find("ERROR ", at + 1))
        saveErrors++;
    printf("%d rounds, %d kills, %d changes reported done (all checked), %d runs that changed nothing "
           "(another zavcli held the tool's mutex, or a refusal), state loaded %d times, %zu save errors journalled\n",
           rounds, kills, done, silent, loads, saveErrors);
    printf("%s\n", failures ? "STATE SOAK FAILED" : "state soak ok");
    DeleteFileA(paths.state.c_str());
    DeleteFileA(paths.lock.c_str());
    return failures ? 1 : 0;
}
