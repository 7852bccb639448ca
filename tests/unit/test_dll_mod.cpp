// Message reporter: which kind reaches console and trace, texts printed unchanged, the log
// directory lookup, per-thread error slots, legacy code tables and the legacy error report.
#include "test_trace_support.h"
#include "unit/console_script.h"

#include <regex>

using namespace tracetest;

namespace {

std::string &Console()
{
    return testconsole::Output();
}

using testconsole::CaptureConsole;

class Reporter : public TraceFixture {
protected:
    std::string file;
    void SetUp() override
    {
        TraceFixture::SetUp();
        Console().clear();
        SetConsoleWriter(CaptureConsole);
        file = folder.File("report.log");
        ASSERT_EQ(1, initLog(file.c_str(), 2000000));
    }
    void TearDown() override
    {
        SetConsoleWriter(nullptr);
        TraceFixture::TearDown();
    }
    // Records written so far (the marker excluded).
    std::vector<std::string> Records()
    {
        std::vector<std::string> records;
        for (const std::string &line : RingLines(file)) {
            if (!IsMarker(line))
                records.push_back(Trimmed(line));
        }
        return records;
    }
};

TEST_F(Reporter, KindsReachTheirTargets)
{
    struct Case {
        int kind;
        bool console;
        bool trace;
    } cases[] = {
        {REPORT_CONSOLE, true, false},
        {REPORT_BOTH, true, true},
        {2, false, false},
        {REPORT_TRACE, false, true},
        {4, false, false},
        {-1, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        Console().clear();
        size_t before = Records().size();
        std::string text = "Information - kind " + std::to_string(c.kind);
        EXPECT_EQ(c.console || c.trace ? 1 : 0, ReportMessage(c.kind, "x\\zavcli_main.cpp", 77, "%s", text.c_str()));
        EXPECT_EQ(c.console ? text + "\n" : std::string(), Console());
        std::vector<std::string> records = Records();
        ASSERT_EQ(before + (c.trace ? 1 : 0), records.size());
        if (c.trace) {
            EXPECT_NE(std::string::npos, records.back().find(" zavcli_main.cpp(77) " + text));
        }
    }
}

TEST_F(Reporter, PercentSignsInUserTextPrintUnchanged)
{
    const char *userName = "LD 100%d %s %n%%";
    ReportMessage(REPORT_BOTH, __FILE__, __LINE__, "Information - LD name %s set.", userName);
    EXPECT_EQ("Information - LD name LD 100%d %s %n%% set.\n", Console());
    EXPECT_NE(std::string::npos, Records().back().find("Information - LD name LD 100%d %s %n%% set."));
}

TEST_F(Reporter, MultiLineMessagePrintsLinesAndTracesOneRecord)
{
    ReportMessage(REPORT_BOTH, __FILE__, __LINE__,
                  "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n");
    EXPECT_EQ("Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n\n", Console());
    std::vector<std::string> records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_NE(std::string::npos,
              records[0].find("Error - An error has occurred on accessing to RAID controller. Quits the application."));
}

TEST_F(Reporter, OverlongTextIsCutToTheBufferAndStillEndsTheLine)
{
    std::string huge(20000, 'y');
    ReportMessage(REPORT_CONSOLE, nullptr, 0, "%s", huge.c_str());
    ASSERT_EQ(9999u, Console().size());
    EXPECT_EQ('\n', Console().back());
    EXPECT_EQ(std::string(9998, 'y'), Console().substr(0, 9998));
}

TEST_F(Reporter, RawConsoleTextGoesOnlyToTheConsole)
{
    WriteConsoleText("Please input number or Q : ");
    EXPECT_EQ("Please input number or Q : ", Console());
    EXPECT_TRUE(Records().empty());
}

// ---- log directory and registry values ------------------------------------------------------------

struct ScriptedRegistry {
    static int &Result()
    {
        static int result = PRODUCT_REG_OK;
        return result;
    }
    static int Read(const char *name, char *out, unsigned size, uint32_t *sysError)
    {
        if (Result() != PRODUCT_REG_OK) {
            *sysError = ERROR_FILE_NOT_FOUND;
            return Result();
        }
        std::string value = std::string("C:\\dir of ") + name + "\\";
        lstrcpynA(out, value.c_str(), (int)size);
        return PRODUCT_REG_OK;
    }
};

class RegistryValues : public TraceFixture {
protected:
    void SetUp() override
    {
        TraceFixture::SetUp();
        SetProductRegReader(ScriptedRegistry::Read);
    }
};

TEST_F(RegistryValues, LogDirIsReadFromTheProductKey)
{
    ScriptedRegistry::Result() = PRODUCT_REG_OK;
    char buffer[TRACE_PATH_SIZE];
    EXPECT_EQ(1, getLogDir(sizeof(buffer), buffer));
    EXPECT_STREQ("C:\\dir of LogDir\\", buffer);
    EXPECT_EQ(1, RegReadProductValue("InstallDir", buffer, sizeof(buffer)));
    EXPECT_STREQ("C:\\dir of InstallDir\\", buffer);
}

TEST_F(RegistryValues, FailedReadSetsTheThreadErrorAndNamesTheCall)
{
    struct Case {
        int result;
        const char *callName;
    } cases[] = {{PRODUCT_REG_OPEN_FAILED, "RegOpenKeyEx"}, {PRODUCT_REG_QUERY_FAILED, "RegQueryValueEx"}};
    for (const Case &c : cases) {
        ScriptedRegistry::Result() = c.result;
        SetDllErrCode(0);
        char buffer[TRACE_PATH_SIZE] = "stale";
        EXPECT_EQ(0, getLogDir(sizeof(buffer), buffer));
        EXPECT_STREQ("", buffer);
        EXPECT_EQ(0x200u, GetDllErrCode());
        EXPECT_STREQ(c.callName, GetDllErrCallName());
        EXPECT_EQ(0, RegReadProductValue("InstallDir", buffer, sizeof(buffer)));
    }
    ScriptedRegistry::Result() = PRODUCT_REG_OK;
}

TEST_F(RegistryValues, ShortBuffersAreRefused)
{
    char one[1];
    EXPECT_EQ(0, getLogDir(sizeof(one), one));
    EXPECT_EQ(0, RegReadProductValue("LogDir", one, sizeof(one)));
    char small[8];
    ASSERT_EQ(1, RegReadProductValue("LogDir", small, sizeof(small)));
    EXPECT_EQ(7u, strlen(small));
}

// ---- per-thread error slots ---------------------------------------------------------------------

DWORD WINAPI SetCodeOnOtherThread(void *arg)
{
    uint32_t *seen = static_cast<uint32_t *>(arg);
    seen[0] = GetDllErrCode(); // a new thread starts clean
    SetDllErrCode(0x100);
    SetDllErrCallName("RegQueryValueEx");
    seen[1] = GetDllErrCode();
    return 0;
}

TEST(ErrorSlots, EveryThreadKeepsItsOwnCode)
{
    SetDllErrCode(0x100010);
    SetDllErrCallName("RegOpenKeyEx");
    uint32_t seen[2] = {99, 99};
    HANDLE thread = CreateThread(nullptr, 0, SetCodeOnOtherThread, seen, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(0u, seen[0]);
    EXPECT_EQ(0x100u, seen[1]);
    EXPECT_EQ(0x100010u, GetDllErrCode());
    EXPECT_STREQ("RegOpenKeyEx", GetDllErrCallName());
}

// ---- legacy code tables -------------------------------------------------------------------------

TEST(LegacyTables, KnownCodesHaveTheirNames)
{
    struct Case {
        const char *(*lookup)(uint32_t);
        uint32_t code;
        const char *name;
    } cases[] = {
        {convCODE2msg, 0xA1D0E004u, "IOCTL_XELT_GET_RAID_STATUS"},
        {convCODE2msg, 0xA1D0E0C0u, "IOCTL_KPU_GET_GLIST_THRSHOLD"},
        {convCODE2msg, 0xA1D0E108u, "IOCTL_XELT_SCSI_READ_BUFFER"},
        {ArgErrCode2msg, 0x8000u, "DLL_ERROR_IOCTL_BUSY"},
        {ArgErrCode2msg, 0x100000u, "DLL_ARG_ERROR_NULL"},
        {ArgErrCode2msg, 0x8000000u, "DLL_ARG_ERROR_GLIST_PREVENTLIMIT"},
        {IocStatus2msg, 0x0u, "IOC_STATUS_GOOD"},
        {IocStatus2msg, 0x8002u, "IOC_STATUS_CANSELED"},
        {IocStatus2msg, 0x801Eu, "IOC_STATUS_HDD_IS_USED"},
        {IocStatus2msg, 0x8005u, "IOC_STATUS_FAILURE"},
        {IocStatus2msg, 0xFFFFFFFFu, "IOC_STATUS_FAILURE"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.name, c.lookup(c.code)) << std::hex << c.code;
}

TEST_F(Reporter, CodeTableMissesAreReportedToTheTrace)
{
    EXPECT_STREQ("NO SUCH IOCTL_CODE", convCODE2msg(0xA1D0E00Au));
    EXPECT_EQ(0x100u, GetDllErrCode());
    EXPECT_STREQ("", ArgErrCode2msg(0x30000u)); // two bits at once are no single name
    std::vector<std::string> records = Records();
    // Banner and function line each time; the first report also empties initLog's call line.
    ASSERT_EQ(5u, records.size());
    EXPECT_NE(std::string::npos, records[0].find("****** ERROR ****** OS date: "));
    EXPECT_NE(std::string::npos, records[1].find("ERROR:DLLFUNC convCODE2msg() DllErrCode=0x00000100"));
    EXPECT_NE(std::string::npos, records[2].find("CALL - initLog() TraceFile="));
    EXPECT_NE(std::string::npos, records[4].find("ERROR:DLLFUNC ArgErrCode2msg() DllErrCode=0x00000100"));
    EXPECT_TRUE(Console().empty());
}

TEST_F(Reporter, LegacyErrorReportWritesBannerDiagnosticsAndDetail)
{
    // initLog left its call line in the diagnostic list; the report writes and empties it.
    ASSERT_EQ(1, TraceDiagCount());
    SetDllErrCode(0x200);
    SetDllErrCallName("RegOpenKeyEx");
    LegacyErrorReport("getLogDir", LEGACY_ERR_SYSTEM, ERROR_FILE_NOT_FOUND, 0, 0, 0, "dll_mod.cpp", 12);
    EXPECT_EQ(0, TraceDiagCount());
    std::vector<std::string> records = Records();
    ASSERT_EQ(4u, records.size());
    EXPECT_TRUE(std::regex_search(records[0], std::regex(R"(dll_mod\.cpp\(12\) \*\*\*\*\*\* ERROR \*\*\*\*\*\* OS date: \d{4}/\d\d/\d\d \*\* OS time: \d\d:\d\d:\d\d \*\*\*\*\*$)")))
        << records[0];
    EXPECT_NE(std::string::npos, records[1].find("ERROR:DLLFUNC getLogDir() DllErrCode=0x00000200"));
    EXPECT_NE(std::string::npos, records[2].find("CALL - initLog() TraceFile="));
    EXPECT_NE(std::string::npos, records[3].find("ERROR:SYSTEM RegOpenKeyEx() ErrCode=2 Detail="));

    LegacyErrorReport("SendIoctl", LEGACY_ERR_IOCTL, 0, 0, 0xA1D0E010u, 0x8003u, "dll_mod.cpp", 13);
    LegacyErrorReport("CheckArgs", LEGACY_ERR_PARAM, 0, 0x20000u, 0, 0, "dll_mod.cpp", 14);
    records = Records();
    ASSERT_EQ(10u, records.size());
    EXPECT_NE(std::string::npos, records[6].find("ERROR:IOCTL IOCTL_XELT_GET_CONTROLLER_INFO: IOC_STATUS_INVALID_PARAM"));
    EXPECT_NE(std::string::npos, records[9].find("ERROR:PARAM DLL_ARG_ERROR_CONTNO"));
}

} // namespace
