// zavcli's entry end to end: argument checks, token rules, the single-instance mutex, start-up
// failures of the library and the controllers, exit codes, and what lands in the trace log.
#include "support/e2e.h"

#include <regex>

namespace {

using e2e::ProcResult;

const size_t kLineWidth = 199;
const size_t kLineBytes = 201;

// The console text with the C run-time's CRLF line ends turned back into LF.
std::string Lf(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string Trimmed(const std::string &line)
{
    size_t end = line.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

// The newest records of the trace ring, oldest first: the lines right before the end marker.
std::vector<std::string> NewestTraceRecords(size_t count)
{
    std::string bytes = e2e::TraceLogText();
    std::vector<std::string> lines;
    for (size_t at = 0; at + kLineBytes <= bytes.size(); at += kLineBytes)
        lines.push_back(bytes.substr(at, kLineWidth));
    std::vector<std::string> records;
    size_t marker = lines.size();
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].compare(0, 5, "<END>") == 0) {
            marker = i;
            break;
        }
    }
    if (marker == lines.size() || lines.empty())
        return records;
    for (size_t back = count; back >= 1; back--)
        records.push_back(Trimmed(lines[(marker + lines.size() - back) % lines.size()]));
    return records;
}

std::string PidOf(const std::string &record)
{
    std::smatch m;
    return std::regex_search(record, m, std::regex(R"(\] pid=(\d+))")) ? m[1].str() : std::string("?");
}

class Spine : public e2e::SimTest {};

TEST_F(Spine, NoArgumentIsRefusedAndTraced)
{
    ProcResult r = Zavcli({});
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ("Error - Invoked with wrong parameters.\n", Lf(r.out));

    std::vector<std::string> records = NewestTraceRecords(2);
    ASSERT_EQ(2u, records.size());
    const std::string stamp = R"(^\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\] pid=\d{5,} )";
    EXPECT_TRUE(std::regex_search(records[0], std::regex(stamp + R"(.*zavcli\.exe$)"))) << records[0];
    EXPECT_TRUE(std::regex_search(records[1],
                                  std::regex(stamp + R"(zavcli_main\.cpp\(\d+\) Error - Invoked with wrong parameters\.$)")))
        << records[1];
    EXPECT_EQ(PidOf(records[0]), PidOf(records[1]));
}

TEST_F(Spine, ArgumentLengthLimitIs256)
{
    LoadScenario("default");
    std::string arg256(256, 'x'), arg257(257, 'x');
    struct Case {
        const char *name;
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    } cases[] = {
        {"command of 257", {arg257}, -1, "Error - Invoked with wrong parameters.\n"},
        {"option of 257", {"-v", arg257}, -1, "Error - Invoked with wrong parameters.\n"},
        {"command of 256", {arg256}, -1, "Error - Invalid input at or near token " + arg256 + ".\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProcResult r = Zavcli(c.args);
        EXPECT_EQ(c.exitCode, r.exitCode);
        EXPECT_EQ(c.out, Lf(r.out));
    }
    EXPECT_EQ("", Journal()); // none of them reached the library
}

TEST_F(Spine, CommandTokenIsLowerCasedAndStrippedToTheFirstDash)
{
    LoadScenario("default");
    ProcResult upper = Zavcli({"-CTRLINFO"});
    ProcResult plain = Zavcli({"ctrlinfo"});
    EXPECT_EQ(0, upper.exitCode);
    EXPECT_EQ(0, plain.exitCode);
    EXPECT_FALSE(upper.out.empty());
    EXPECT_EQ(upper.out, plain.out);
    EXPECT_EQ(std::string::npos, Lf(plain.out).find("Invalid input"));

    struct Case {
        const char *arg;
        const char *token;
    } rejected[] = {{"--ctrlinfo", "-ctrlinfo"}, {"a-b", "b"}, {"-", "-"}, {"ctrlinfo-", "ctrlinfo-"}};
    for (const Case &c : rejected) {
        SCOPED_TRACE(c.arg);
        ClearJournal();
        ProcResult r = Zavcli({c.arg});
        EXPECT_EQ(-1, r.exitCode);
        EXPECT_EQ(std::string("Error - Invalid input at or near token ") + c.token + ".\n", Lf(r.out));
        EXPECT_EQ("", Journal()); // an unknown command never touches the controller
    }
}

TEST_F(Spine, SecondInstanceLeavesSilentlyWithZero)
{
    LoadScenario("default");
    HANDLE first = CreateMutexA(nullptr, TRUE, "zavcli");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError()) << "another zavcli is running";
    ProcResult second = Zavcli({"-ctrlinfo"});
    std::vector<std::string> records = NewestTraceRecords(1);
    ReleaseMutex(first);
    CloseHandle(first);

    EXPECT_EQ(0, second.exitCode);
    EXPECT_EQ("", second.out);
    EXPECT_EQ("", Journal());
    ASSERT_EQ(1u, records.size());
    EXPECT_NE(std::string::npos, records[0].find("zavcli.exe -ctrlinfo")); // only the echo was written

    // Once the first one is gone the next run goes ahead.
    ProcResult after = Zavcli({"-ctrlinfo"});
    EXPECT_EQ(0, after.exitCode);
    EXPECT_FALSE(after.out.empty());
}

TEST_F(Spine, ControllerCountMustBeOneToFour)
{
    struct Case {
        const char *scenario;
        std::string out;
    } cases[] = {
        {"no-controller", "Error - No RAID controller is found.\nQuits the application.\n\n"},
        {"five-controllers", "Error - The number of RAID controller is over 4.\nQuits the application.\n\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scenario);
        LoadScenario(c.scenario);
        // log needs no controller records, v and help do; all of them stop here.
        for (const char *command : {"-log", "-v", "-help", "-ctrlinfo"}) {
            ProcResult r = Zavcli({command});
            EXPECT_EQ(-1, r.exitCode) << command;
            EXPECT_EQ(c.out, Lf(r.out)) << command;
        }
        std::vector<std::string> records = NewestTraceRecords(1);
        ASSERT_EQ(1u, records.size());
        EXPECT_NE(std::string::npos, records[0].find(" zavcli_main.cpp(")); // the message, line breaks blanked
        EXPECT_NE(std::string::npos, records[0].find(Lf(c.out).substr(0, 20)));
    }
}

TEST_F(Spine, LibraryThatFailsToInitialiseStopsTheTool)
{
    LoadScenario("default");
    ProcResult fault = Zavsim({"fault", "add", "0", "0", "0x8002"});
    ASSERT_EQ(0, fault.exitCode) << fault.err;
    ProcResult r = Zavcli({"-ctrlinfo"});
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ("Error - Failed to initialize.\n", Lf(r.out));
}

TEST_F(Spine, RefreshFailureStopsBeforeTheHandler)
{
    LoadScenario("default");
    ProcResult fault = Zavsim({"fault", "add", "1", "0", "0x800E"}); // controller information
    ASSERT_EQ(0, fault.exitCode) << fault.err;
    ProcResult r = Zavcli({"-ctrlinfo"});
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ("Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n\n", Lf(r.out));
    // The library was still told to exit at the tear-down.
    std::string journal = Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(std::string::npos, journal.rfind("type=0 cmd=9"));
}

// A copy of zavcli.exe in a folder of its own, with or without a library beside it.
class LonelyCopy : public e2e::SimTest {
protected:
    std::string folder;
    void SetUp() override
    {
        SimTest::SetUp();
        folder = e2e::TempPath("lonely");
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(e2e::ZavcliPath().c_str(), (folder + "\\zavcli.exe").c_str(), FALSE));
    }
    void TearDown() override
    {
        DeleteFileA((folder + "\\zavcli.exe").c_str());
        DeleteFileA((folder + "\\storelib.dll").c_str());
        RemoveDirectoryA(folder.c_str());
        SimTest::TearDown();
    }
};

TEST_F(LonelyCopy, MissingLibraryFailsToInitialise)
{
    LoadScenario("default");
    ProcResult r = e2e::RunProgram(folder + "\\zavcli.exe", {"-ctrlinfo"}, "", folder);
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ("Error - Failed to initialize.\n", Lf(r.out));
    EXPECT_EQ("", Journal());
}

TEST_F(LonelyCopy, LibraryWithoutEntryFailsToInitialise)
{
    const std::string noEntry = e2e::BinDir() + "\\storelib_noentry.dll";
    if (!e2e::FileExists(noEntry))
        GTEST_SKIP() << "the simulator's library without entry point is not built";
    LoadScenario("default");
    ASSERT_TRUE(CopyFileA(noEntry.c_str(), (folder + "\\storelib.dll").c_str(), FALSE));
    ProcResult r = e2e::RunProgram(folder + "\\zavcli.exe", {"-log"}, "", folder);
    EXPECT_EQ(-1, r.exitCode);
    EXPECT_EQ("Error - Failed to initialize.\n", Lf(r.out));
}

// The version resource of zavcli.exe, read as the v command and the system's file properties do.
TEST(ZavcliVersionResource, StringsAndFixedVersionAreThere)
{
    typedef DWORD(WINAPI * SizeFn)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryFn)(LPCVOID, LPCSTR, LPVOID *, PUINT);
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(nullptr, version);
    SizeFn size = reinterpret_cast<SizeFn>(reinterpret_cast<void *>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    InfoFn info = reinterpret_cast<InfoFn>(reinterpret_cast<void *>(GetProcAddress(version, "GetFileVersionInfoA")));
    QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void *>(GetProcAddress(version, "VerQueryValueA")));
    ASSERT_TRUE(size && info && query);

    const std::string exe = e2e::ZavcliPath();
    DWORD handle = 0;
    DWORD bytes = size(exe.c_str(), &handle);
    ASSERT_GT(bytes, 0u);
    std::vector<char> block(bytes);
    ASSERT_TRUE(info(exe.c_str(), 0, bytes, block.data()));

    auto text = [&](const char *name) {
        void *value = nullptr;
        UINT length = 0;
        std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!query(block.data(), path.c_str(), &value, &length) || !value)
            return std::string("<missing>");
        return std::string(static_cast<const char *>(value));
    };
    EXPECT_EQ("Norvane RAID Vantrel", text("ProductName"));
    EXPECT_EQ("Norvane", text("CompanyName"));
    EXPECT_NE("<missing>", text("LegalCopyright"));
    EXPECT_TRUE(std::regex_match(text("ProductVersion"), std::regex(R"(\d+\.\d+\.\d+\.\d+)")));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    std::string fileVersion = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(text("FileVersion"), fileVersion); // the text and the numbers agree
    FreeLibrary(version);
}

TEST_F(Spine, HandlerErrorsStillExitWithZero)
{
    LoadScenario("default");
    ProcResult r = Zavcli({"-ctrlinfo", "-a3"}); // the default machine has one controller
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(0u, Lf(r.out).find("Error - ")) << r.out;
}

} // namespace
