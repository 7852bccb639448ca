// End-to-end test support: runs zavcli.exe and zavsim.exe as child processes with scripted
// standard input, captures their output and exit code, and gives every test its own simulator
// state and journal files.
#ifndef ZAV_TESTS_E2E_SUPPORT_E2E_H
#define ZAV_TESTS_E2E_SUPPORT_E2E_H

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

struct ProcResult {
    int exitCode = -999;   // -999: the program could not be started or did not end in time
    std::string out;       // standard output
    std::string err;       // standard error
};

inline std::string DirOf(const std::string &path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

// Folder holding the test program, zavcli.exe, zavsim.exe and storelib.dll.
inline std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return DirOf(path);
}

inline std::string ReadFileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline bool WriteFileText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// Console output with every carriage return removed: the tools write "\r\n" line ends (and the
// C run-time's text mode turns "\r\n" into "\r\r\n"); tests that compare lines use this form.
inline std::string StripCr(const std::string &text)
{
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            plain += c;
    return plain;
}

inline bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Quotes one argument the way the C run-time of the child splits its command line.
inline std::string QuoteArg(const std::string &arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    std::string q = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            q.append(backslashes * 2 + 1, '\\');
            q += '"';
            backslashes = 0;
            continue;
        } else {
            backslashes = 0;
        }
        q += c;
    }
    q.append(backslashes, '\\');
    q += '"';
    return q;
}

inline std::string TempPath(const std::string &name)
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    std::string base = dir;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    return base + "zav_e2e_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

inline HANDLE OpenInheritable(const std::string &path, bool forWrite)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    return CreateFileA(path.c_str(), forWrite ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &sa, forWrite ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs a program with the given arguments (argv[1..]) and standard input; waits at most
// timeoutMs. The output goes through files, so a chatty child can never block on a full pipe.
inline ProcResult RunProgram(const std::string &exe, const std::vector<std::string> &args,
                             const std::string &stdinText = "", const std::string &workDir = "",
                             DWORD timeoutMs = 120000)
{
    static int counter = 0;
    ++counter;
    const std::string tag = std::to_string(counter);
    const std::string inPath = TempPath("in" + tag + ".txt");
    const std::string outPath = TempPath("out" + tag + ".txt");
    const std::string errPath = TempPath("err" + tag + ".txt");
    WriteFileText(inPath, stdinText);

    ProcResult result;
    HANDLE in = OpenInheritable(inPath, false);
    HANDLE out = OpenInheritable(outPath, true);
    HANDLE err = OpenInheritable(errPath, true);

    std::string cmdLine = QuoteArg(exe);
    for (const std::string &a : args)
        cmdLine += " " + QuoteArg(a);
    std::vector<char> cmdBuf(cmdLine.begin(), cmdLine.end());
    cmdBuf.push_back('\0');

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(exe.c_str(), cmdBuf.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  workDir.empty() ? nullptr : workDir.c_str(), &si, &pi);
    if (started) {
        if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(pi.hProcess, &code);
            result.exitCode = static_cast<int>(code);
        } else {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    result.out = ReadFileText(outPath);
    result.err = ReadFileText(errPath);
    DeleteFileA(inPath.c_str());
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return result;
}

inline std::string ZavcliPath() { return BinDir() + "\\zavcli.exe"; }
inline std::string ZavsimPath() { return BinDir() + "\\zavsim.exe"; }

inline ProcResult RunZavcli(const std::vector<std::string> &args, const std::string &stdinText = "")
{
    return RunProgram(ZavcliPath(), args, stdinText, BinDir());
}

inline ProcResult RunZavsim(const std::vector<std::string> &args, const std::string &stdinText = "")
{
    return RunProgram(ZavsimPath(), args, stdinText, BinDir());
}

// zavsim's commands run inside the test process (same commands, files and exit codes as
// zavsim.exe; the state and journal come from ZAVSIM_STATE and ZAVSIM_JOURNAL).
ProcResult RunZavsimInProcess(const std::vector<std::string> &args);

// A string value of HKLM\SOFTWARE\Norvane\Zav, "" when missing.
inline std::string ProductRegValue(const char *name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Zav", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    char buf[1024] = {};
    DWORD size = sizeof(buf) - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buf), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buf) : std::string();
}

inline std::string TraceLogPath() { return ProductRegValue("LogDir") + "zavcli.log"; }

// The trace log's records in ring order is not needed by most tests: they look for a text.
inline std::string TraceLogText() { return ReadFileText(TraceLogPath()); }

// Base fixture of the end-to-end tests: its own simulator state and journal, removed afterwards.
class SimTest : public ::testing::Test {
protected:
    std::string statePath;
    std::string journalPath;

    void SetUp() override
    {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char &c : name)
            if (c == '/' || c == '\\')
                c = '_';
        statePath = TempPath(name + "_state.json");
        journalPath = TempPath(name + "_journal.txt");
        DeleteFileA(statePath.c_str());
        DeleteFileA(journalPath.c_str());
        SetEnvironmentVariableA("ZAVSIM_STATE", statePath.c_str());
        SetEnvironmentVariableA("ZAVSIM_JOURNAL", journalPath.c_str());
    }

    void TearDown() override
    {
        DeleteFileA(statePath.c_str());
        DeleteFileA(journalPath.c_str());
        DeleteFileA((statePath + ".lock").c_str());
    }

    // Loads a built-in scenario (or a scenario file) into this test's state file.
    void LoadScenario(const std::string &scenario)
    {
        ProcResult r = RunZavsimInProcess({"load", scenario});
        ASSERT_EQ(0, r.exitCode) << "zavsim load " << scenario << ": " << r.out << r.err;
    }

    ProcResult Zavsim(const std::vector<std::string> &args) { return RunZavsimInProcess(args); }
    ProcResult Zavcli(const std::vector<std::string> &args, const std::string &stdinText = "")
    {
        return RunZavcli(args, stdinText);
    }

    std::string Journal() { return ReadFileText(journalPath); }
    void ClearJournal() { DeleteFileA(journalPath.c_str()); }
};

} // namespace e2e

#endif
