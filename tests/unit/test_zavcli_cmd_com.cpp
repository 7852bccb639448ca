// Controller, LD and PD selectors, the option parser of the handlers, and ComChk's dialogue with
// scripted console answers (a question the script does not expect fails the test).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "common/dll_mod.h"
#include "unit/console_script.h"

namespace {

std::string &g_console = testconsole::Output();
std::vector<std::string> &g_answers = testconsole::Answers();
size_t &g_nextAnswer = testconsole::NextAnswer();
using testconsole::CaptureConsole;
using testconsole::ScriptedReader;

class CmdCom : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_console.clear();
        g_answers.clear();
        g_nextAnswer = 0;
        SetConsoleWriter(CaptureConsole);
        SetConsoleReader(ScriptedReader);
    }
    void TearDown() override
    {
        EXPECT_EQ(g_nextAnswer, g_answers.size()) << "answers left unread";
        SetConsoleWriter(nullptr);
        SetConsoleReader(nullptr);
    }
    void Answer(std::initializer_list<const char *> answers)
    {
        for (const char *a : answers)
            g_answers.push_back(a);
    }
};

std::vector<int> Used(const uint8_t *list, unsigned size)
{
    std::vector<int> v;
    for (unsigned i = 0; i < size && list[i] != SEL_EMPTY; i++)
        v.push_back(list[i]);
    return v;
}

// ---------------------------------------------------------------------------------------------
TEST_F(CmdCom, AdapterSelectorTable)
{
    const struct { const char *sel; uint16_t count; int rc; std::vector<int> list; } rows[] = {
        {"a0", 1, ADP_OK, {0}},
        {"a1", 1, ADP_NOT_FOUND, {1}},
        {"a1,0", 2, ADP_OK, {0, 1}},
        {"a3,1,2", 4, ADP_OK, {1, 2, 3}},
        {"a0,0", 2, ADP_SYNTAX, {}},
        {"a01", 2, ADP_SYNTAX, {}},
        {"a0,", 2, ADP_SYNTAX, {}},
        {",0", 2, ADP_SYNTAX, {}},
        {"a", 2, ADP_SYNTAX, {}},
        {"a,1", 2, ADP_SYNTAX, {}},
        {"a4", 4, ADP_SYNTAX, {}},
        {"a99999999999", 4, ADP_SYNTAX, {}},
        {"a0x", 2, ADP_SYNTAX, {}},
        {"aall", 3, ADP_OK, {0, 1, 2}},
        {"", 1, ADP_OK, {0}},
        {"a0,1,2,3,", 4, ADP_SYNTAX, {}},
        {"a0,1,2,3,4", 4, ADP_OK, {0, 1, 2, 3}},
        // Every character is read before a number is looked up among the controllers.
        {"a1,x", 1, ADP_SYNTAX, {}},
        {"a1,01", 1, ADP_SYNTAX, {}},
        {"a1,", 1, ADP_SYNTAX, {}},
    };
    for (const auto &r : rows) {
        uint8_t list[ADAPTER_LIST_SIZE];
        int rc = GetAdapterNo(r.sel, list, r.count);
        EXPECT_EQ(rc, r.rc) << r.sel;
        if (rc == ADP_OK || rc == ADP_NOT_FOUND) {
            EXPECT_EQ(Used(list, ADAPTER_LIST_SIZE), r.list) << r.sel;
        }
    }
}

TEST_F(CmdCom, AdapterSelectorAbsentWithSeveralControllers)
{
    uint8_t list[ADAPTER_LIST_SIZE];
    EXPECT_EQ(GetAdapterNo("", list, 2), ADP_MULTIPLE);
    EXPECT_EQ(g_console, "Error - There are multiple RAID controllers. Please set the RAID controller number.\n");
}

TEST_F(CmdCom, LdSelectorTable)
{
    const struct { const char *sel; int rc; std::vector<int> list; } rows[] = {
        {"l5,5", 0, {}},  {"l64", 0, {}},      {"l63", 1, {63}},   {"l0,1,2", 1, {0, 1, 2}},
        {"l100", 0, {}},  {"l1,", 0, {}},      {"l,1", 0, {}},     {"l1x", 0, {}},
        {"l07", 1, {7}},  {"l3,1", 1, {3, 1}}, {"x1", 0, {}},
    };
    for (const auto &r : rows) {
        uint8_t list[LD_LIST_SIZE];
        memset(list, SEL_EMPTY, sizeof(list));
        EXPECT_EQ(GetLogicalDriveNo(r.sel, list), r.rc) << r.sel;
        if (r.rc) {
            EXPECT_EQ(Used(list, LD_LIST_SIZE), r.list) << r.sel;
        }
    }
    uint8_t list[LD_LIST_SIZE];
    EXPECT_EQ(GetLogicalDriveNo("lall", list), 1);
    EXPECT_EQ(Used(list, LD_LIST_SIZE).size(), 64u);
    memset(list, 7, sizeof(list));
    EXPECT_EQ(GetLogicalDriveNo("l", list), 1);
    EXPECT_EQ(list[0], 7); // "l" alone leaves the list untouched
}

TEST_F(CmdCom, PdSelectorTable)
{
    const struct { const char *sel; int sorted; int rc; std::vector<int> list; } rows[] = {
        {"[1:2,1:2]", 0, 0, {}},
        {"[9:3]", 0, 1, {3}},
        {"[{e0}:5,{e1}:1]", 0, 1, {5, 1}},
        {"[{e0}:5,{e1}:1]", 1, 1, {1, 5}},
        {"[0:254]", 0, 1, {254}},
        {"[0:255]", 0, 0, {}},   // 255 marks an empty place
        {"[0:256]", 0, 0, {}},   // no place in a 256-entry list
        {"[0:257]", 0, 0, {}},
        {"[0:1000]", 0, 0, {}},
        {"[0:]", 0, 0, {}},
        {"[0:1", 0, 0, {}},
        {"[0:1]x", 0, 0, {}},
        {"[0:1,]", 0, 0, {}},
        {"[0:1,2]", 0, 0, {}},   // an element without enclosure part and colon
        {"[3]", 0, 0, {}},
    };
    for (const auto &r : rows) {
        uint8_t list[PD_LIST_SIZE];
        EXPECT_EQ(GetPhysicalDriveNo(r.sel, list, r.sorted), r.rc) << r.sel;
        if (r.rc) {
            EXPECT_EQ(Used(list, PD_LIST_SIZE), r.list) << r.sel;
        }
    }
    uint8_t list[PD_LIST_SIZE];
    EXPECT_EQ(GetPhysicalDriveNo("", list, 0), 1);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[254], 254);
}

// ---------------------------------------------------------------------------------------------
TEST_F(CmdCom, YesNoRepeatsUntilOneCharacter)
{
    Answer({"yes", "Y"});
    EXPECT_EQ(ComChk(nullptr, 5, 0), 1);
    EXPECT_EQ(g_console, "Proceed with delete?(Y/N)?\nProceed with delete?(Y/N)?\n");
}

TEST_F(CmdCom, YesNoAnswersAndDefaultText)
{
    Answer({"n", "", "y", "N"});
    EXPECT_EQ(ComChk(nullptr, 14, 0), 0);
    EXPECT_EQ(ComChk(nullptr, 24, 0), 1);
    EXPECT_EQ(g_console, "Proceed with enabling Snapshot?(Y/N)?\nIs it executed?(Y/N)?\nIs it executed?(Y/N)?\n");
    g_console.clear();
    EXPECT_EQ(ComChk(nullptr, 25, 0), 0);
    EXPECT_EQ(g_console,
              "Warning - In case of disabling Automatic Rebuild, the rebuild after error doesn't automatically start.\n"
              "Proceed with the setting?(Y/N)?\n");
}

TEST_F(CmdCom, YesNoAtEndOfInputRefuses)
{
    SetConsoleReader([](char *, unsigned) { return 0; });
    EXPECT_EQ(ComChk(nullptr, 6, 0), 0);
    EXPECT_EQ(ComChk(nullptr, PROMPT_LD_NAVIGATE, 0), NAV_QUIT);
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_ON_REBOOT, 0), 4);
}

TEST_F(CmdCom, MenuNumberWithinLimit)
{
    Answer({"3", "0", "2", "q"});
    EXPECT_EQ(ComChk(nullptr, PROMPT_MENU_NUMBER, 2), 2);
    EXPECT_EQ(g_console, "Please input number or Q : \n\"3\" is invalid.\n\nPlease input number or Q : \n"
                         "\"0\" is invalid.\n\nPlease input number or Q : \n");
    EXPECT_EQ(ComChk(nullptr, PROMPT_MENU_NUMBER, 4), 0);
}

TEST_F(CmdCom, LdListPromptCarriesShiftJisEllipsis)
{
    char out[64];
    Answer({"", "1,1", "1,3"});
    EXPECT_EQ(ComChk(out, PROMPT_LD_LIST, 0), 1);
    EXPECT_NE(g_console.find("comma(1,2\x81\x63).\nLD No.(\"Q\"->Quit) : "), std::string::npos);
    EXPECT_NE(g_console.find("\"1,1\" is invalid."), std::string::npos);
    EXPECT_EQ((uint8_t)out[0], 1);
    EXPECT_EQ((uint8_t)out[1], 3);
    EXPECT_EQ((uint8_t)out[2], SEL_EMPTY);

    g_console.clear();
    Answer({""});
    EXPECT_EQ(ComChk(out, PROMPT_LD_LIST, 1), 2);
    EXPECT_NE(g_console.find("LD No.(\"Q\"->Quit / Not selected->Finish) : "), std::string::npos);
}

TEST_F(CmdCom, LdNumberWithNavigation)
{
    char allowed[64];
    memset(allowed, SEL_EMPTY, sizeof(allowed));
    allowed[0] = 2;
    allowed[1] = 12;
    Answer({"", "3", "70", "12"});
    EXPECT_EQ(ComChk(allowed, PROMPT_LD_NAVIGATE, 0), 12);
    EXPECT_EQ(g_console,
              "(B)Back\n(M)Back to Menu\n(Q)Quit\nPlease input LD No. or B or M or Q : \n"
              "Please input LD No. or B or M or Q : \n"
              "\"3\" is invalid.\n\nPlease input LD No. or B or M or Q : \n"
              "\"70\" is invalid.\n\nPlease input LD No. or B or M or Q : \n");
    Answer({"b", "M", "q"});
    EXPECT_EQ(ComChk(allowed, PROMPT_LD_NAVIGATE, 0), NAV_BACK);
    EXPECT_EQ(ComChk(allowed, PROMPT_LD_NAVIGATE, 0), NAV_MENU);
    EXPECT_EQ(ComChk(allowed, PROMPT_LD_NAVIGATE, 0), NAV_QUIT);
}

TEST_F(CmdCom, SnapshotOptionsAndDefaults)
{
    Answer({"", "", "x", "2", "B", "m", "Q", "1"});
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_AUTO_DELETE, 0), 1);
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_ON_REBOOT, 0), 0);
    g_console.clear();
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_ON_REBOOT, 0), 1);
    EXPECT_EQ(g_console,
              "\n< Snapshot on Reboot >\n(1)Disabled\n(2)Enabled\n(B)Back\n(M)Back to Menu\n(Q)Quit\n"
              "Please input number or B or M or Q(Not selected->(1)) : \n"
              "\"x\" is invalid.\n\nPlease input number or B or M or Q(Not selected->(1)) : \n");
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_AUTO_DELETE, 0), 2);
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_AUTO_DELETE, 0), 3);
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_AUTO_DELETE, 0), 4);
    EXPECT_EQ(ComChk(nullptr, PROMPT_SNAP_AUTO_DELETE, 0), 0);
}

// ---------------------------------------------------------------------------------------------
const CliOption kOptions[] = {
    {"start", 1, 0}, {"stop", 1, 0}, {"trh", 2, 0}, {"trm", 2, 0}, {"setstarttime", 0, 1},
};

int Parse(std::vector<const char *> argv, CliArgs *args, unsigned selectors = SEL_ADAPTER | SEL_PD)
{
    return ParseCliOptions((int)argv.size(), const_cast<char **>(argv.data()), kOptions,
                           sizeof(kOptions) / sizeof(kOptions[0]), selectors, args);
}

TEST_F(CmdCom, ParserNamesArgumentBeforeTheOffendingOne)
{
    const struct { std::vector<const char *> argv; const char *named; } rows[] = {
        {{"zavcli", "-cmd", "-bogus"}, "-cmd"},
        {{"zavcli", "-cmd", "-START", "-stop"}, "-START"},
        {{"zavcli", "-cmd", "-a0", "-trh", "-a1"}, "-trh"},
        {{"zavcli", "-cmd", "-trh", "-trm"}, "-trh"},
        {{"zavcli", "-cmd", "-start", "-start"}, "-start"},
        {{"zavcli", "-cmd", "-a0", "-setstarttime"}, "-setstarttime"},
        {{"zavcli", "-cmd", "-pd", "-a0"}, "-cmd"},
        {{"zavcli", "-cmd", "-L1"}, "-cmd"},
        // A malformed PD list is named where it stands, before a later unknown option.
        {{"zavcli", "-cmd", "-pd[0:1,0:1]", "-bogus"}, "-cmd"},
        {{"zavcli", "-cmd", "-a0", "-pd[0:1", "-trh", "-trm"}, "-a0"},
    };
    for (const auto &r : rows) {
        g_console.clear();
        CliArgs args;
        EXPECT_EQ(Parse(r.argv, &args), 0);
        EXPECT_EQ(g_console, std::string("Error - Invalid input at or near token ") + r.named + ".\n");
    }
}

TEST_F(CmdCom, ParserRecordsOptionsSelectorsAndValues)
{
    CliArgs args;
    ASSERT_EQ(Parse({"zavcli", "-cmd", "-SetStartTime", "0101200000", "-PD[{E0}:1]", "-A1,0", "-Stop"}, &args), 1);
    EXPECT_TRUE(OptGiven(&args, 4));
    EXPECT_STREQ(args.value[4], "0101200000");
    EXPECT_TRUE(OptGiven(&args, 1));
    EXPECT_FALSE(OptGiven(&args, 0));
    EXPECT_EQ(args.optionCount, 2);
    EXPECT_STREQ(args.adapterSel, "a1,0");
    EXPECT_STREQ(args.pdSel, "[{e0}:1]");
    EXPECT_EQ(args.adapterAt, 5);
    EXPECT_EQ(g_console, "");
}

TEST_F(CmdCom, SelectAdaptersReportsEachOutcome)
{
    CliArgs args;
    uint8_t list[ADAPTER_LIST_SIZE];
    const struct { const char *sel; uint16_t count; int ok; const char *text; } rows[] = {
        {"-a1", 1, 0, "Error - The specified Controller 1: doesn't exist.\n"},
        {"-a0,0", 2, 0, "Error - Invalid input at or near token -trh.\n"},
        {"-aALL", 2, 1, ""},
    };
    for (const auto &r : rows) {
        g_console.clear();
        std::vector<const char *> argv = {"zavcli", "-cmd", "-trh", r.sel};
        ASSERT_EQ(Parse(argv, &args), 1);
        EXPECT_EQ(SelectAdapters((int)argv.size(), const_cast<char **>(argv.data()), &args, r.count, list), r.ok);
        EXPECT_EQ(g_console, r.text) << r.sel;
    }
}

TEST_F(CmdCom, NormalizeAndJoin)
{
    char buf[16];
    EXPECT_EQ(NormalizeOption("-CtrlInfo", buf, sizeof(buf)), 8);
    EXPECT_STREQ(buf, "ctrlinfo");
    NormalizeOption("--x", buf, sizeof(buf));
    EXPECT_STREQ(buf, "-x");
    const uint8_t nums[] = {1, 12, 3};
    JoinNumbers(buf, sizeof(buf), nums, 3);
    EXPECT_STREQ(buf, "1,12,3");
}

TEST_F(CmdCom, ReportTextIsCutAtTenThousandCharacters)
{
    static ReportText report;
    ReportTextReset(&report);
    std::string line(99, 'x');
    for (int i = 0; i < 120; i++)
        ReportTextAdd(&report, "%s\n", line.c_str());
    EXPECT_EQ(report.length, (size_t)REPORT_TEXT_MAX);
    EXPECT_EQ(strlen(report.text), (size_t)REPORT_TEXT_MAX);
    ReportTextAdd(&report, "%s", "more");
    EXPECT_EQ(report.length, (size_t)REPORT_TEXT_MAX);
    ReportTextReset(&report);
    ReportTextAdd(&report, "%s: %d%%", "Rate", 30);
    ReportTextPrint(&report);
    EXPECT_EQ(g_console, "Rate: 30%\n");
    EXPECT_EQ(report.length, 0u);
}

} // namespace
