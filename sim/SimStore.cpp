// The simulator's files: where the state, journal and lock live, the exclusive lock that makes
// every read-modify-write of the state one step across processes, atomic replacement of the
// state file, a per-process copy of the state checked against the file's size and time, and the
// append-only journal kept open while the process lives.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "SimCore.h"

namespace sim {

std::string WindowsPath(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string w = "Z:" + path;
    for (char &ch : w)
        if (ch == '/')
            ch = '\\';
    return w;
}

static std::string DirOf(const std::string &path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

// Read from the process environment itself (not the C run-time's copy), so a value set by the
// host program after start-up is seen.
static std::string EnvValue(const char *name)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
    return n > 0 && n < sizeof(buf) ? std::string(buf, n) : std::string();
}

Paths ResolvePaths(const std::string &moduleDir)
{
    Paths p;
    p.state = WindowsPath(EnvValue("ZAVSIM_STATE"));
    if (p.state.empty())
        p.state = moduleDir + "\\zavsim_state.json";
    p.journal = WindowsPath(EnvValue("ZAVSIM_JOURNAL"));
    if (p.journal.empty())
        p.journal = DirOf(p.state) + "\\zavsim_journal.txt";
    p.lock = p.state + ".lock";
    return p;
}

bool ParseStateText(const std::string &text, State &out, std::string &error)
{
    try {
        nlohmann::json j = nlohmann::json::parse(text);
        if (!j.is_object() || !j.contains("ctrls") || !j["ctrls"].is_array()) {
            error = "not a simulator state (no controller list)";
            return false;
        }
        out = j.get<State>();
        if (out.ctrls.size() > MAX_CONTROLLERS) {
            error = "more than 16 controllers";
            return false;
        }
        return true;
    } catch (const std::exception &e) {
        error = e.what();
        return false;
    }
}

std::string StateText(const State &s)
{
    nlohmann::json j = s;
    return j.dump(1);
}

bool ReadStateStamp(const std::string &path, StateStamp &out)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
        return false;
    out.size = ((uint64_t)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    out.writeTime = ((uint64_t)info.ftLastWriteTime.dwHighDateTime << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}

// One cached copy of the last state read or written per process, with the stamp the file had
// then: a run of packets against an unchanged file neither reads nor parses nor copies it again.
struct Cache {
    std::string path;
    StateStamp stamp;
    bool valid = false;
    State state;
};
static Cache g_cache;

Store::Store(const Paths &paths) : paths_(paths) {}

Store::~Store()
{
    Unlock();
}

bool Store::Lock()
{
    if (lockHandle_)
        return true;
    HANDLE h = CreateFileA(paths_.lock.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED ov = {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &ov)) {
        CloseHandle(h);
        return false;
    }
    lockHandle_ = h;
    return true;
}

void Store::Unlock()
{
    if (!lockHandle_)
        return;
    OVERLAPPED ov = {};
    UnlockFileEx((HANDLE)lockHandle_, 0, 1, 0, &ov);
    CloseHandle((HANDLE)lockHandle_);
    lockHandle_ = nullptr;
}

static bool ReadWholeFile(const std::string &path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

State *Store::Current(std::string &error)
{
    StateStamp stamp;
    if (!ReadStateStamp(paths_.state, stamp)) {
        error = "state file " + paths_.state + " not found";
        return nullptr;
    }
    if (g_cache.valid && g_cache.path == paths_.state && g_cache.stamp == stamp) {
        loadedStamp_ = stamp;
        return &g_cache.state;
    }
    // A writer replacing the file at this very moment can make the open fail for an instant: such a
    // reader tries again briefly rather than fail the packet.
    std::string text;
    bool read = false;
    for (int attempt = 0; attempt < 50 && !read; ++attempt) {
        if (attempt > 0)
            Sleep(10);
        read = ReadWholeFile(paths_.state, text);
    }
    if (!read) {
        error = "state file " + paths_.state + " cannot be read";
        return nullptr;
    }
    std::string reason;
    g_cache.valid = false;
    State parsed;
    if (!ParseStateText(text, parsed, reason)) {
        error = "state file " + paths_.state + " is corrupt: " + reason;
        return nullptr;
    }
    // The stamp was read before the text: if the file was replaced in between, the next check
    // sees a newer stamp and reads it again, never the other way round.
    g_cache.path = paths_.state;
    g_cache.stamp = stamp;
    g_cache.state = std::move(parsed);
    g_cache.valid = true;
    loadedStamp_ = stamp;
    return &g_cache.state;
}

bool Store::Load(State &out, std::string &error)
{
    const State *current = Current(error);
    if (!current)
        return false;
    out = *current;
    return true;
}

void ForgetCachedState()
{
    g_cache.valid = false;
}

bool Store::ChangedSinceLoad()
{
    StateStamp now;
    return !ReadStateStamp(paths_.state, now) || !(now == loadedStamp_);
}

bool Store::Save(const State &s, std::string &error)
{
    std::string text = StateText(s);
    std::string tmp = paths_.state + ".new";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            error = "cannot write " + tmp;
            return false;
        }
    }
    // Readers hold the file only while they read it, so a failed replace is retried briefly (a
    // virus scanner or an indexer may hold it too).
    g_cache.valid = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (MoveFileExA(tmp.c_str(), paths_.state.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            StateStamp stamp;
            if (ReadStateStamp(paths_.state, stamp)) {
                g_cache.path = paths_.state;
                g_cache.stamp = stamp;
                if (&s != &g_cache.state)
                    g_cache.state = s;
                g_cache.valid = true;
                loadedStamp_ = stamp;
            }
            return true;
        }
        Sleep(20);
    }
    error = "cannot replace " + paths_.state + " (error " + std::to_string(GetLastError()) + ")";
    DeleteFileA(tmp.c_str());
    return false;
}

// The library keeps the journal open for appending from a packet to the next until its exit command
// (zavsim, one line per run and often inside a test program that deletes the file, does not):
// each record is one write at the file's end (so records of several processes interleave whole and
// in order) and reaches the file at once. A journal removed meanwhile is opened anew at its path; a
// deletion by a Windows program waits for the exit command, as for any file held open.
struct JournalFile {
    std::string path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~JournalFile() { Close(); }
    void Close()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};
static JournalFile g_journal;
static bool g_keepJournalOpen = false;

void KeepJournalOpen(bool keep)
{
    g_keepJournalOpen = keep;
    if (!keep)
        g_journal.Close();
}

static bool StillAtItsPath(HANDLE h)
{
    FILE_STANDARD_INFO info;
    if (!GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof(info)))
        return false;
    return !info.DeletePending && info.NumberOfLinks > 0;
}

static HANDLE JournalHandle(const std::string &path)
{
    if (g_journal.handle != INVALID_HANDLE_VALUE && (g_journal.path != path || !StillAtItsPath(g_journal.handle)))
        g_journal.Close();
    if (g_journal.handle == INVALID_HANDLE_VALUE) {
        g_journal.handle = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        g_journal.path = path;
    }
    return g_journal.handle;
}

void CloseJournal()
{
    g_journal.Close();
}

void Store::Journal(const std::string &line)
{
    HANDLE h = JournalHandle(paths_.journal);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr);
    if (!g_keepJournalOpen)
        g_journal.Close();
}

std::string Store::ReadJournal()
{
    std::ifstream in(paths_.journal, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void Store::ClearJournal()
{
    HANDLE h = CreateFileA(paths_.journal.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

} // namespace sim
