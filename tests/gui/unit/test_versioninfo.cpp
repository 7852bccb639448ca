// Version texts of the graphical tool read through the shared version seam: the title's text, the
// dialog rows, and which Windows API error a failed read reports.
#include "gui_fixture.h"

#include <cstdio>

#include "common/ToolVersion.h"
#include "gui/VersionInfo.h"

using namespace guitest;

namespace {

struct ScriptedVersion {
    int ok = 1;
    int failedStep = 0;
    uint32_t error = 0;
    const char *file = "1.2.3.4";
    const char *company = "Norvane";
};

ScriptedVersion g_version;

int ReadScripted(ToolVersion *version, uint32_t *errorCode)
{
    snprintf(version->productName, sizeof(version->productName), "%s", "RAID Vantrel");
    snprintf(version->productVersion, sizeof(version->productVersion), "%s", "5.1");
    snprintf(version->companyName, sizeof(version->companyName), "%s", g_version.company);
    snprintf(version->legalCopyright, sizeof(version->legalCopyright), "%s", "(c) Norvane");
    snprintf(version->fileVersion, sizeof(version->fileVersion), "%s", g_version.file);
    version->failedStep = g_version.failedStep;
    *errorCode = g_version.error;
    return g_version.ok;
}

class VersionInfoTest : public GuiLogicTest {
protected:
    void SetUp() override
    {
        GuiLogicTest::SetUp();
        g_version = ScriptedVersion();
        SetVersionReader(ReadScripted);
    }
    void TearDown() override
    {
        SetVersionReader(nullptr);
        GuiLogicTest::TearDown();
    }
};

TEST_F(VersionInfoTest, TitleTextAndRowsComeFromTheSharedReader)
{
    char title[64];
    ASSERT_EQ(1, GetGUIFileVersion(title));
    EXPECT_STREQ("ver 1.2.3.4", title);
    g_version.company = ""; // an empty value leaves its row out
    ToolVersion program;
    ASSERT_EQ(1, ReadProgramVersion(&program, 1));
    VersionRows rows;
    ASSERT_EQ(3, BuildVersionRows(&program, &rows)); // no library loaded: no library row
    EXPECT_STREQ("Product Name", rows.rows[0].name);
    EXPECT_STREQ("RAID Vantrel", rows.rows[0].value);
    EXPECT_STREQ("Product Version", rows.rows[1].name);
    EXPECT_STREQ("File Version", rows.rows[2].name);
    EXPECT_STREQ("1.2.3.4", rows.rows[2].value);
    EXPECT_STREQ("Legal Copyright: (c) Norvane", rows.legal);
}

TEST_F(VersionInfoTest, FailedReadsReportTheStepThatFailed)
{
    struct Case {
        const char *what;
        int ok, failedStep;
        const char *file;
        const char *box;
    } cases[] = {
        {"no module file name", 0, VERSION_FAILED_MODULE, "", "An error has occurred with Windows API. (code=0x6)"},
        {"no version block", 0, VERSION_FAILED_BLOCK, "", "An error has occurred with Windows API. (code=0x3)"},
        {"no file version in the block", 1, 0, "", "An error has occurred with Windows API. (code=0x3)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        g_gui.fatalShown = 0;
        g_version.ok = c.ok;
        g_version.failedStep = c.failedStep;
        g_version.file = c.file;
        g_version.error = 5;
        char title[64] = "x";
        EXPECT_EQ(0, GetGUIFileVersion(title)); // the title asks quietly
        EXPECT_STREQ("", title);
        ExpectBox(IDS_WINAPI_ERROR, IDS_CAPTION_PRODUCT);
        ToolVersion program;
        EXPECT_EQ(0, ReadProgramVersion(&program, 1));
        EXPECT_EQ(c.box, boxes.seen.back().text);
    }
}

} // namespace
