// Event table: reading zav_config.csv (field rules, the checks that stop the reading, the size
// limit), the event-id table by kind and the event type taken from an id.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/EventLog.h"

namespace {

std::string TempDir()
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    std::string base = dir;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    return base;
}

std::string WriteConfig(const std::string &name, const std::string &text)
{
    std::string path = TempDir() + "zav_evt_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return path;
}

std::string Line(unsigned code, int suppressed, int kind, const std::string &text)
{
    return "CTRL,0x0001," + std::to_string(code) + "," + std::to_string(suppressed) + "," + std::to_string(kind) +
           ",0,0,0,0," + text + "\n";
}

class EventTableTest : public ::testing::Test {
protected:
    std::vector<std::string> files;
    void SetUp() override { ClearEventTable(); }
    void TearDown() override
    {
        ClearEventTable();
        SetEventLogSeam(nullptr);
        for (const std::string &f : files)
            DeleteFileA(f.c_str());
    }
    int Read(const std::string &text)
    {
        files.push_back(WriteConfig(std::to_string(files.size()) + ".csv", text));
        return ReadEventInfoFile(files.back().c_str());
    }
};

TEST_F(EventTableTest, TenFieldLineGivesCodeKindAndText)
{
    EXPECT_EQ(1, Read("x,y,60011,0,21,a,b,c,d,Test\n"));
    ASSERT_EQ(1u, EventTableCount());
    uint32_t id = 0;
    const EventInfo *entry = FindEventInfo(60011, &id);
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(21, entry->kind);
    EXPECT_EQ(0, entry->suppressed);
    EXPECT_STREQ("Test", entry->text);
    EXPECT_EQ(0x60000015u, id);
    EXPECT_EQ(EVENT_TYPE_INFORMATION, EventTypeOfId(id));
}

struct StopCase {
    const char *name;
    std::string badLine;
};

class EventTableStopTest : public EventTableTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(EventTableStopTest, MalformedLineStopsReadingAndKeepsEarlierLines)
{
    std::string text = Line(100, 0, 1, "first") + GetParam().badLine + Line(102, 0, 1, "after");
    EXPECT_EQ(0, Read(text));
    EXPECT_EQ(1u, EventTableCount());
    EXPECT_NE(nullptr, FindEventInfo(100, nullptr));
    EXPECT_EQ(nullptr, FindEventInfo(101, nullptr));
    EXPECT_EQ(nullptr, FindEventInfo(102, nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Checks, EventTableStopTest,
    ::testing::Values(StopCase{"KindZero", Line(101, 0, 0, "bad")}, StopCase{"Kind26", Line(101, 0, 26, "bad")},
                      StopCase{"SuppressedTwo", Line(101, 2, 1, "bad")},
                      StopCase{"SuppressedWrapsToOne", Line(101, 257, 1, "bad")},
                      StopCase{"NoTenthField", "x,y,101,0,1,a,b,c,d\n"},
                      StopCase{"KindNotANumber", "x,y,101,0,one,a,b,c,d,bad\n"}),
    [](const ::testing::TestParamInfo<StopCase> &info) { return std::string(info.param.name); });

struct FieldCase {
    const char *name;
    std::string line;
    unsigned code;
    int kind;
    int suppressed;
    std::string text;
};

class EventTableFieldTest : public EventTableTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(EventTableFieldTest, FieldsAreSplitAtRunsOfSeparators)
{
    const FieldCase &c = GetParam();
    EXPECT_EQ(1, Read(c.line));
    const EventInfo *entry = FindEventInfo(c.code, nullptr);
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(c.kind, entry->kind);
    EXPECT_EQ(c.suppressed, entry->suppressed);
    EXPECT_EQ(c.text, entry->text);
}

INSTANTIATE_TEST_SUITE_P(
    Splits, EventTableFieldTest,
    ::testing::Values(
        FieldCase{"DoubleCommaIsOneSeparator", "x,,y,,7,,0,,12,a,b,c,d,Warn\n", 7, 12, 0, "Warn"},
        FieldCase{"TabsAndCommasMix", "x\t\ty,\t8\t1,25,a,b,c,d\tQuiet text\n", 8, 25, 1, "Quiet text"},
        FieldCase{"TextEndsAtNextComma", "x,y,9,0,3,a,b,c,d,Before,After\n", 9, 3, 0, "Before"},
        FieldCase{"NoLineEndAtEndOfFile", "x,y,10,0,4,a,b,c,d,Last", 10, 4, 0, "Last"},
        FieldCase{"CarriageReturnIsNoPartOfText", "x,y,11,0,4,a,b,c,d,Crlf\r\n", 11, 4, 0, "Crlf"},
        FieldCase{"TextCutAt255", "x,y,12,0,4,a,b,c,d," + std::string(300, 'T') + "\n", 12, 4, 0,
                  std::string(255, 'T')}),
    [](const ::testing::TestParamInfo<FieldCase> &info) { return std::string(info.param.name); });

TEST_F(EventTableTest, CommentAndBlankLinesAreSkipped)
{
    EXPECT_EQ(1, Read("# category,fw,code,...\n#x,y,5,0,0,bad\n\n" + Line(5, 0, 2, "five")));
    EXPECT_EQ(1u, EventTableCount());
    EXPECT_STREQ("five", FindEventInfo(5, nullptr)->text);
}

TEST_F(EventTableTest, TheLine331IsNotRead)
{
    std::string text;
    for (unsigned i = 1; i <= EVENT_TABLE_MAX + 1; i++)
        text += Line(i, 0, 1, "e" + std::to_string(i));
    EXPECT_EQ(1, Read(text));
    EXPECT_EQ((unsigned)EVENT_TABLE_MAX, EventTableCount());
    EXPECT_NE(nullptr, FindEventInfo(EVENT_TABLE_MAX, nullptr));
    EXPECT_EQ(nullptr, FindEventInfo(EVENT_TABLE_MAX + 1, nullptr));
}

TEST_F(EventTableTest, SecondReadAppendsAndFirstMatchWins)
{
    Read(Line(1, 0, 1, "old"));
    Read(Line(1, 0, 2, "new") + Line(2, 0, 2, "two"));
    EXPECT_EQ(3u, EventTableCount());
    EXPECT_STREQ("old", FindEventInfo(1, nullptr)->text);
    EXPECT_STREQ("two", FindEventInfo(2, nullptr)->text);
}

TEST_F(EventTableTest, MissingFileLeavesTableEmpty)
{
    EXPECT_EQ(0, ReadEventInfoFile((TempDir() + "zav_evt_no_such_file.csv").c_str()));
    EXPECT_EQ(0u, EventTableCount());
    EXPECT_EQ(nullptr, FindEventInfo(60011, nullptr));
}

std::string g_installDir;
int FakeInstallDir(char *out, unsigned size)
{
    if (g_installDir.empty())
        return 0;
    snprintf(out, size, "%s", g_installDir.c_str());
    return 1;
}

TEST_F(EventTableTest, ReadEventInfoOpensConfigInInstallDir)
{
    std::string folder = TempDir() + "zav evt install " + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "zav_config.csv";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << Line(60011, 0, 21, "Test");
    }
    EventLogSeam seam = *WindowsEventLogSeam();
    seam.readInstallDir = FakeInstallDir;
    SetEventLogSeam(&seam);
    g_installDir = folder;
    EXPECT_EQ(1, ReadEventInfo());
    EXPECT_NE(nullptr, FindEventInfo(60011, nullptr));
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(EventIdTable, KindSelectsIdAndSeverity)
{
    struct {
        unsigned kind;
        uint32_t id;
        uint16_t type;
    } cases[] = {
        {1, 0xE0000001u, EVENT_TYPE_ERROR},    {11, 0xE000000Bu, EVENT_TYPE_ERROR},
        {12, 0xA000000Cu, EVENT_TYPE_WARNING}, {20, 0xA0000014u, EVENT_TYPE_WARNING},
        {21, 0x60000015u, EVENT_TYPE_INFORMATION}, {25, 0x60000019u, EVENT_TYPE_INFORMATION},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.id, EventIdOfKind(c.kind)) << c.kind;
        EXPECT_EQ(c.type, EventTypeOfId(c.id)) << c.kind;
    }
    EXPECT_EQ(0u, EventIdOfKind(0));
    EXPECT_EQ(0u, EventIdOfKind(26));
}

TEST(EventIdTable, TopBitsZeroOrBothSetGiveErrorType)
{
    EXPECT_EQ(EVENT_TYPE_ERROR, EventTypeOfId(0x00000005u));
    EXPECT_EQ(EVENT_TYPE_ERROR, EventTypeOfId(0xC0000000u));
    EXPECT_EQ(EVENT_TYPE_INFORMATION, EventTypeOfId(0x40000000u));
    EXPECT_EQ(EVENT_TYPE_WARNING, EventTypeOfId(0x80000000u));
}

} // namespace
