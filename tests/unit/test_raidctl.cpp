// Trace log against real files: ring positioning, wrap-around, record layout, hex dumps,
// the byte-range lock held by another process, and where the file lands.
#include "test_trace_support.h"

#include <regex>

using namespace tracetest;

namespace {

const std::string kStamp = R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\] pid=\d{5,})";

std::string RecordRegex(const std::string &rest)
{
    return "^" + kStamp + rest + " *$";
}

class TraceRing : public TraceFixture {
protected:
    std::string file;
    void SetUp() override
    {
        TraceFixture::SetUp();
        file = folder.File("ring.log");
    }
};

TEST_F(TraceRing, NewFileTakesRecordOnLineOneAndMarkerOnLineTwo)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText("C:\\src\\common\\StoreLib.cpp", 123, "", "func=%s: contNo=%u", "SLGetPDInfo", 0u));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(RecordRegex(R"( StoreLib\.cpp\(123\) func=SLGetPDInfo: contNo=0)"))))
        << lines[0];
    EXPECT_TRUE(IsMarker(lines[1]));
}

TEST_F(TraceRing, RecordFieldsFollowWhatIsGiven)
{
    struct Case {
        const char *module;
        unsigned line;
        const char *text;
        const char *expected; // after the time stamp and pid
    } cases[] = {
        {nullptr, 0, "zavcli.exe -v ", R"( zavcli\.exe -v)"},
        {"src/cli/zavcli_main.cpp", 42, nullptr, R"( zavcli_main\.cpp\(42\))"},
        {"a\\b/c\\raidctl.cpp", 0, "x", R"( raidctl\.cpp x)"},
        {nullptr, 7, "y", R"(\(7\) y)"},
        {nullptr, 0, nullptr, ""},
    };
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    for (const Case &c : cases)
        ASSERT_EQ(1, TraceWrite(c.module, c.line, c.text, nullptr, 0));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(6u, lines.size());
    for (size_t i = 0; i < 5; i++)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(RecordRegex(cases[i].expected)))) << lines[i];
    EXPECT_TRUE(IsMarker(lines[5]));
}

TEST_F(TraceRing, ReopeningContinuesAtTheMarkerOnLine57)
{
    std::vector<std::string> old;
    for (int i = 1; i <= 60; i++)
        old.push_back(i == 57 ? "<END>" : "old line " + std::to_string(i));
    WriteRing(file, old);

    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "new record"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(60u, lines.size());
    EXPECT_EQ(Padded("old line 56"), lines[55]);
    EXPECT_NE(std::string::npos, lines[56].find(" new record"));
    EXPECT_TRUE(IsMarker(lines[57]));
    EXPECT_EQ(Padded("old line 59"), lines[58]);
    EXPECT_EQ(Padded("old line 60"), lines[59]);
}

TEST_F(TraceRing, FileWithoutMarkerStartsAtTheTop)
{
    WriteRing(file, {"foreign 1", "foreign 2", "foreign 3"});
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "first"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(3u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" first"));
    EXPECT_TRUE(IsMarker(lines[1]));
    EXPECT_EQ(Padded("foreign 3"), lines[2]);
}

TEST_F(TraceRing, Record10001OfAFullRingOverwritesLineOne)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    for (int i = 1; i <= 10001; i++)
        ASSERT_EQ(1, TraceText(nullptr, 0, "", "record %d", i)) << i;
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(10000u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" record 10001 "));
    EXPECT_TRUE(IsMarker(lines[1]));
    EXPECT_NE(std::string::npos, lines[2].find(" record 3 "));
    EXPECT_NE(std::string::npos, lines[9999].find(" record 10000 "));
    int markers = 0;
    for (const std::string &line : lines)
        markers += IsMarker(line) ? 1 : 0;
    EXPECT_EQ(1, markers);
}

TEST_F(TraceRing, SmallRingWrapsAndKeepsExactlyOneMarker)
{
    ASSERT_EQ(1, initLog(file.c_str(), 1000)); // 5 lines
    for (int i = 1; i <= 12; i++)
        ASSERT_EQ(1, TraceText(nullptr, 0, "", "r%d", i));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(5u, lines.size());
    // 12 records into 5 lines: after the second wrap r11 and r12 sit on lines 1 and 2, the marker
    // on line 3, and r9 and r10 of the previous round below it.
    EXPECT_NE(std::string::npos, lines[0].find(" r11"));
    EXPECT_NE(std::string::npos, lines[1].find(" r12"));
    EXPECT_TRUE(IsMarker(lines[2]));
    EXPECT_NE(std::string::npos, lines[3].find(" r9"));
    EXPECT_NE(std::string::npos, lines[4].find(" r10"));
}

TEST_F(TraceRing, LineBreaksAndControlCharactersBecomeBlanks)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceWrite(nullptr, 0, "Error - first\nsecond\r\tthird\x7f" "end\n", nullptr, 0));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(RecordRegex(" Error - first second  third end"))))
        << lines[0];
}

TEST_F(TraceRing, LongTextIsCutAt199Characters)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    std::string text(400, 'x');
    ASSERT_EQ(1, TraceWrite(nullptr, 0, text.c_str(), nullptr, 0));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ('x', lines[0][198]);
    EXPECT_TRUE(IsMarker(lines[1]));
}

TEST_F(TraceRing, FortyByteDumpShowsThreeDataLines)
{
    unsigned char data[40];
    for (int i = 0; i < 40; i++)
        data[i] = (unsigned char)(0x30 + i); // '0'..'W' with some punctuation in between
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceTextDump(nullptr, 0, "", data, sizeof(data), "func=%s: CmdParam >", "SLGetCtrlInfo"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(7u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" func=SLGetCtrlInfo: CmdParam >"));
    EXPECT_EQ(Padded(std::string(77, '-')), lines[1]);
    EXPECT_EQ(Padded("00000000: 30 31 32 33 34 35 36 37  38 39 3A 3B 3C 3D 3E 3F  0123456789......"), lines[2]);
    EXPECT_EQ(Padded("00000010: 40 41 42 43 44 45 46 47  48 49 4A 4B 4C 4D 4E 4F  .ABCDEFGHIJKLMNO"), lines[3]);
    // 8 byte columns, the extra blank, 8 blank columns, the separating blank, 8 characters.
    EXPECT_EQ(Padded("00000020: 50 51 52 53 54 55 56 57 " + std::string(1 + 24 + 1, ' ') + "PQRSTUVW"), lines[4]);
    EXPECT_EQ(Padded(""), lines[5]);
    EXPECT_TRUE(IsMarker(lines[6]));
}

TEST_F(TraceRing, RepeatedDumpLinesAreFolded)
{
    struct Case {
        const char *name;
        std::vector<unsigned char> data;
        std::vector<std::string> expected; // data lines between separator and closing blank
    };
    std::vector<unsigned char> zeros64(64, 0);
    std::vector<unsigned char> zeros48a16(64, 0);
    for (int i = 48; i < 64; i++)
        zeros48a16[i] = 'a';
    std::vector<unsigned char> zerosThenAThenZeros(80, 0);
    for (int i = 48; i < 64; i++)
        zerosThenAThenZeros[i] = 'A';
    std::vector<unsigned char> zeros32(32, 0);
    const std::string z = "00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  ................";
    const std::string a = "41 41 41 41 41 41 41 41  41 41 41 41 41 41 41 41  AAAAAAAAAAAAAAAA";
    const std::string la = "61 61 61 61 61 61 61 61  61 61 61 61 61 61 61 61  aaaaaaaaaaaaaaaa";
    Case cases[] = {
        {"64 zeros", zeros64, {"00000000: " + z, "---  same data  ---", "00000030: " + z}},
        {"two equal lines are first and last", zeros32, {"00000000: " + z, "00000010: " + z}},
        {"run ends at a differing last line", zeros48a16,
         {"00000000: " + z, "---  same data  ---", "00000030: " + la}},
        {"run ends at a differing inner line", zerosThenAThenZeros,
         {"00000000: " + z, "---  same data  ---", "00000030: " + a, "00000040: " + z}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.File(std::string("dump_") + std::to_string(&c - cases) + ".log");
        ASSERT_EQ(1, initLog(path.c_str(), 2000000));
        ASSERT_EQ(1, TraceTextDump(nullptr, 0, "", c.data.data(), (unsigned)c.data.size(), "dump"));
        std::vector<std::string> lines = RingLines(path);
        ASSERT_EQ(c.expected.size() + 4, lines.size());
        for (size_t i = 0; i < c.expected.size(); i++)
            EXPECT_EQ(Padded(c.expected[i]), lines[2 + i]);
        EXPECT_EQ(Padded(""), lines[2 + c.expected.size()]);
        EXPECT_TRUE(IsMarker(lines.back()));
        finContData();
    }
}

TEST_F(TraceRing, DumpLinesWrapAroundTheRingToo)
{
    ASSERT_EQ(1, initLog(file.c_str(), 1200)); // 6 lines
    unsigned char data[32] = {};
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "a"));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "b"));
    ASSERT_EQ(1, TraceTextDump(nullptr, 0, "", data, sizeof(data), "c"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(6u, lines.size());
    // c, separator, two data lines, blank: lines 3, 4, 5, 6 then 1; the marker lands on line 2.
    EXPECT_NE(std::string::npos, lines[2].find(" c"));
    EXPECT_EQ(Padded(std::string(77, '-')), lines[3]);
    EXPECT_EQ(0u, lines[4].find("00000000: 00"));
    EXPECT_EQ(0u, lines[5].find("00000010: 00"));
    EXPECT_EQ(Padded(""), lines[0]);
    EXPECT_TRUE(IsMarker(lines[1]));
}

TEST_F(TraceRing, RecordsOfAnotherWriterAreNotOverwritten)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "mine 1"));
    // Another process appends its record where the marker stood and moves the marker on.
    std::vector<std::string> lines = RingLines(file);
    lines[1] = "theirs";
    lines.push_back("<END>");
    WriteRing(file, lines);

    ASSERT_EQ(1, TraceText(nullptr, 0, "", "mine 2"));
    lines = RingLines(file);
    ASSERT_EQ(4u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" mine 1"));
    EXPECT_EQ(Padded("theirs"), lines[1]);
    EXPECT_NE(std::string::npos, lines[2].find(" mine 2"));
    EXPECT_TRUE(IsMarker(lines[3]));
}

TEST_F(TraceRing, SecondOpeningOfTheSameFileContinuesAfterTheNewestRecord)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "one"));
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "two"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(3u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(" one"));
    EXPECT_NE(std::string::npos, lines[1].find(" two"));
    EXPECT_TRUE(IsMarker(lines[2]));
}

TEST_F(TraceRing, WritesAfterClosingOrWithoutOpeningReturnZero)
{
    EXPECT_EQ(0, TraceText(nullptr, 0, "", "nothing open"));
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    EXPECT_EQ(1, finContData());
    EXPECT_EQ(0, TraceText(nullptr, 0, "", "closed"));
    EXPECT_EQ(0u, ReadAll(file).size());
    EXPECT_EQ(1, TraceDiagCount());
    EXPECT_EQ(std::string("CALL - finContData()\n"), TraceDiagLine(0));
}

TEST_F(TraceRing, BadParametersAreRefusedWithADiagnosticLine)
{
    EXPECT_EQ(0, initLog(nullptr, 2000000));
    ASSERT_EQ(2, TraceDiagCount());
    EXPECT_EQ(std::string("CALL - initLog() MaxFileSize=2000000\n"), TraceDiagLine(0));
    EXPECT_TRUE(std::regex_match(std::string(TraceDiagLine(1)),
                                 std::regex(R"(raidctl\.cpp\(\d+\) ERROR:PARAM DLLErrCode=0x00100010\n)")))
        << TraceDiagLine(1);
    // A ring must hold a record and its marker.
    EXPECT_EQ(0, initLog(file.c_str(), 399));
    EXPECT_EQ(0, TraceText(nullptr, 0, "", "x"));
}

TEST_F(TraceRing, UnopenableFileLeavesTheToolWithoutTrace)
{
    std::string missingFolder = folder.File("no such folder\\zavcli.log");
    EXPECT_EQ(0, initLog(missingFolder.c_str(), 2000000));
    EXPECT_EQ(0, TraceText(nullptr, 0, "", "x"));
    ASSERT_EQ(2, TraceDiagCount());
    EXPECT_NE(std::string::npos, std::string(TraceDiagLine(1)).find("ERROR:SYSTEM _sopen() DLLErrCode="));
}

// ---- where the file lands ----------------------------------------------------------------------

class TracePlace : public TraceFixture {
protected:
    char savedDir[MAX_PATH] = {};
    void SetUp() override
    {
        TraceFixture::SetUp();
        GetCurrentDirectoryA(sizeof(savedDir), savedDir);
        SetCurrentDirectoryA(folder.path().c_str());
    }
    void TearDown() override
    {
        finContData();
        SetCurrentDirectoryA(savedDir);
        TraceFixture::TearDown();
    }
};

TEST_F(TracePlace, MissingLogDirUsesTheBareNameInTheCurrentFolder)
{
    FakeLogDir::Missing();
    ASSERT_EQ(1, initLog("bare.log", 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "here"));
    EXPECT_EQ(std::string("bare.log"), TraceFilePath());
    finContData();
    EXPECT_EQ(2 * kLineBytes, ReadAll(folder.File("bare.log")).size());
}

TEST_F(TracePlace, LogDirIsPutInFrontOfTheName)
{
    TempFolder logDir;
    struct Case {
        std::string value;
    } cases[] = {{logDir.path() + "\\"}, {logDir.path()}}; // with and without its trailing backslash
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        FakeLogDir::Set(c.value);
        ASSERT_EQ(1, initLog("placed.log", 2000000));
        EXPECT_EQ(logDir.File("placed.log"), TraceFilePath());
        ASSERT_EQ(1, TraceText(nullptr, 0, "", "there"));
        finContData();
        EXPECT_FALSE(ReadAll(logDir.File("placed.log")).empty());
        DeleteFileA(logDir.File("placed.log").c_str());
    }
}

TEST_F(TracePlace, NameWithABackslashIgnoresLogDir)
{
    TempFolder logDir;
    FakeLogDir::Set(logDir.path() + "\\");
    std::string own = folder.File("own.log");
    ASSERT_EQ(1, initLog(own.c_str(), 2000000));
    EXPECT_EQ(own, TraceFilePath());
}

// ---- the lock held by another process ------------------------------------------------------------

// Run only as the child of LockedRingDropsTheRecord: holds the whole-ring lock until released.
TEST(TraceLockHolder, DISABLED_HoldRingLock)
{
    char path[MAX_PATH] = {}, lockedName[128] = {}, releaseName[128] = {};
    ASSERT_NE(0u, GetEnvironmentVariableA("ZAV_TEST_LOCK_FILE", path, sizeof(path)));
    GetEnvironmentVariableA("ZAV_TEST_LOCKED_EVENT", lockedName, sizeof(lockedName));
    GetEnvironmentVariableA("ZAV_TEST_RELEASE_EVENT", releaseName, sizeof(releaseName));
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(LockFile(file, 0, 0, 4000000, 0));
    HANDLE locked = OpenEventA(EVENT_MODIFY_STATE, FALSE, lockedName);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
    SetEvent(locked);
    WaitForSingleObject(release, 60000);
    UnlockFile(file, 0, 0, 4000000, 0);
    CloseHandle(file);
}

TEST_F(TraceRing, LockedRingDropsTheRecordAndRecovers)
{
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "before"));
    const std::string before = ReadAll(file);

    std::string tag = std::to_string(GetCurrentProcessId());
    std::string lockedName = "zav_unit_locked_" + tag, releaseName = "zav_unit_release_" + tag;
    HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, lockedName.c_str());
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    SetEnvironmentVariableA("ZAV_TEST_LOCK_FILE", file.c_str());
    SetEnvironmentVariableA("ZAV_TEST_LOCKED_EVENT", lockedName.c_str());
    SetEnvironmentVariableA("ZAV_TEST_RELEASE_EVENT", releaseName.c_str());

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string cmd = std::string("\"") + self +
                      "\" --gtest_filter=TraceLockHolder.DISABLED_HoldRingLock --gtest_also_run_disabled_tests";
    std::vector<char> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(self, cmdBuf.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                               &pi));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(locked, 60000)) << "the child did not take the lock";

    EXPECT_EQ(0, TraceText(nullptr, 0, "", "dropped"));
    EXPECT_EQ(before, ReadAll(file));
    bool lockingNamed = false;
    for (int i = 0; i < TraceDiagCount(); i++)
        lockingNamed = lockingNamed || std::string(TraceDiagLine(i)).find("ERROR:SYSTEM _locking()") != std::string::npos;
    EXPECT_TRUE(lockingNamed);

    SetEvent(release);
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD childExit = 1;
    GetExitCodeProcess(pi.hProcess, &childExit);
    EXPECT_EQ(0u, childExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(locked);
    CloseHandle(release);

    ASSERT_EQ(1, TraceText(nullptr, 0, "", "after"));
    std::vector<std::string> lines = RingLines(file);
    ASSERT_EQ(3u, lines.size());
    EXPECT_NE(std::string::npos, lines[1].find(" after"));
    EXPECT_TRUE(IsMarker(lines[2]));
}

} // namespace

// The end marker is found wherever it stands in a ring of full-width lines, also on the lines
// where the search's reading blocks meet, and the record takes its place.
TEST_F(TraceRing, MarkerIsFoundOnEveryKindOfLine)
{
    const int markerLines[] = {1, 2, 325, 326, 327, 652, 653, 5000, 9999, 10000};
    for (int markerLine : markerLines) {
        SCOPED_TRACE("marker on line " + std::to_string(markerLine));
        std::vector<std::string> old;
        for (int i = 1; i <= 10000; i++)
            old.push_back(i == markerLine ? "<END>" : "old line " + std::to_string(i));
        WriteRing(file, old);
        ASSERT_EQ(1, initLog(file.c_str(), 2000000));
        ASSERT_EQ(1, TraceText(nullptr, 0, "", "new record"));
        finContData();
        std::vector<std::string> lines = RingLines(file);
        ASSERT_EQ(10000u, lines.size());
        EXPECT_NE(std::string::npos, lines[markerLine - 1].find(" new record"));
        EXPECT_TRUE(IsMarker(lines[markerLine % 10000]));
        if (markerLine > 1)
            EXPECT_EQ(Padded("old line " + std::to_string(markerLine - 1)), lines[markerLine - 2]);
    }
}

// A ring with a line of another length (written by something else, or damaged) is searched line
// end by line end: the marker behind the odd line is still found and overwritten in place.
TEST_F(TraceRing, MarkerBehindALineOfAnotherLengthIsFound)
{
    const std::string odd = "short foreign line\r\n";
    std::string bytes = odd;
    for (int i = 1; i <= 400; i++)
        bytes += Padded(i == 350 ? "<END>" : "old line " + std::to_string(i)) + "\r\n";
    WriteAll(file, bytes);
    ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    ASSERT_EQ(1, TraceText(nullptr, 0, "", "new record"));
    finContData();
    const std::string after = ReadAll(file);
    ASSERT_EQ(bytes.size(), after.size());
    const size_t markerAt = odd.size() + 349 * kLineBytes;
    EXPECT_EQ(bytes.substr(0, markerAt), after.substr(0, markerAt));
    EXPECT_NE(std::string::npos, after.substr(markerAt, kLineWidth).find(" new record"));
    EXPECT_EQ(Padded("<END>"), after.substr(markerAt + kLineBytes, kLineWidth));
    EXPECT_EQ(bytes.substr(markerAt + 2 * kLineBytes), after.substr(markerAt + 2 * kLineBytes));
}
