// Helpers of the trace-log tests: temporary folders and files, and the ring read back as lines.
#ifndef ZAV_TESTS_UNIT_TEST_TRACE_SUPPORT_H
#define ZAV_TESTS_UNIT_TEST_TRACE_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/dll_mod.h"
#include "common/raidctl.h"

namespace tracetest {

const size_t kLineWidth = 199;
const size_t kLineBytes = 201;

inline std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteAll(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The file as 199-character lines; fails the test when the fixed layout is broken.
inline std::vector<std::string> RingLines(const std::string &path)
{
    std::string bytes = ReadAll(path);
    std::vector<std::string> lines;
    EXPECT_EQ(0u, bytes.size() % kLineBytes) << "file size " << bytes.size();
    for (size_t at = 0; at + kLineBytes <= bytes.size(); at += kLineBytes) {
        EXPECT_EQ("\r\n", bytes.substr(at + kLineWidth, 2)) << "line end at line " << at / kLineBytes + 1;
        lines.push_back(bytes.substr(at, kLineWidth));
    }
    return lines;
}

inline std::string Padded(const std::string &text)
{
    std::string line = text.substr(0, kLineWidth);
    line.resize(kLineWidth, ' ');
    return line;
}

inline std::string Trimmed(const std::string &line)
{
    size_t end = line.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

inline bool IsMarker(const std::string &line)
{
    return line == Padded("<END>");
}

// A ring of the given lines (padded) written as this module writes it.
inline void WriteRing(const std::string &path, const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += Padded(line) + "\r\n";
    WriteAll(path, bytes);
}

// A fresh folder under the temporary folder, removed with its files afterwards.
class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        char base[MAX_PATH] = {};
        GetTempPathA(sizeof(base), base);
        path_ = std::string(base) + "zav_unit_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder()
    {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(path_.c_str());
    }
    const std::string &path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Registry seam that answers LogDir (and nothing else) with a fixed text, or fails.
struct FakeLogDir {
    static std::string &Value()
    {
        static std::string value;
        return value;
    }
    static bool &Present()
    {
        static bool present = false;
        return present;
    }
    static int Read(const char *name, char *out, unsigned size, uint32_t *sysError)
    {
        if (!Present() || std::string(name) != "LogDir") {
            *sysError = ERROR_FILE_NOT_FOUND;
            return PRODUCT_REG_OPEN_FAILED;
        }
        lstrcpynA(out, Value().c_str(), (int)size);
        return PRODUCT_REG_OK;
    }
    static void Set(const std::string &value)
    {
        Value() = value;
        Present() = true;
        SetProductRegReader(Read);
    }
    static void Missing()
    {
        Present() = false;
        SetProductRegReader(Read);
    }
};

// Base fixture: a temporary folder, no log directory in the registry, and the trace closed after.
class TraceFixture : public ::testing::Test {
protected:
    TempFolder folder;
    void SetUp() override { FakeLogDir::Missing(); }
    void TearDown() override
    {
        finContData();
        SetProductRegReader(nullptr);
    }
};

} // namespace tracetest

#endif
