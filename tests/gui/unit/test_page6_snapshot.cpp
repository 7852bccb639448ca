// Snapshot tab: pending records, the enable checks, "Finish" (disable question first), Create
// and Delete Snapshot, Create and Delete View, against the simulator's snapshot scenario.
#include "gui_fixture.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/SnapSupport.h"
#include "gui/Page6Actions.h"
#include "gui/Page6Logic.h"

using namespace guitest;

namespace {

const char kEnable[] = "0x030F0100", kDisable[] = "0x030F0200", kCreatePit[] = "0x030F0300",
           kDeletePit[] = "0x030F0400", kCreateView[] = "0x030F0500", kDeleteView[] = "0x030F0600";

// Scripted name dialogs: OK with the proposed name (remembered), or Cancel.
std::string g_proposedName;
int g_nameAnswer = 1;

int ScriptedNameDialog(void *, int, char *name, size_t)
{
    g_proposedName = name;
    return g_nameAnswer;
}

class SnapshotPageTest : public GuiLogicTest {
protected:
    SnapPendingSet pending;
    SnapPageContext page;

    void SetUp() override
    {
        GuiLogicTest::SetUp();
        ClearPendingChanges(&pending, 0);
        page = SnapPageContext{ nullptr, 0, g_records, &pending };
        g_nameAnswer = 1;
        g_proposedName.clear();
        SetSnapNameDialog(ScriptedNameDialog);
    }
    void TearDown() override
    {
        SetSnapNameDialog(nullptr);
        char path[600];
        ConstructInfoPath(0, path, sizeof(path));
        DeleteFileA(path);
        GuiLogicTest::TearDown();
    }
    void Refresh() { ASSERT_EQ(1, RefreshCurrentRecord()); }
    // Direct commands of one opcode the controller carried out.
    size_t Done(const char *opcode)
    {
        size_t count = 0;
        for (const std::string &line : Sent("SendDCMD"))
            count += line.find(std::string("opcode=") + opcode) != std::string::npos &&
                     line.find("status=0x0") != std::string::npos;
        return count;
    }
    const ContData *Record() { return &g_records[0]; }
    void PendEnable(uint8_t base, int repository, uint32_t gb)
    {
        SnapEnableInput input = { base, repository, 0, gb, 1, 0 };
        ASSERT_EQ(0, CheckEnableInput(&input, &pending, Record(), 0));
        RecordPendingEnable(&pending, &input, Record(), 0);
    }
};

// ---- pending records ------------------------------------------------------------------------

TEST_F(SnapshotPageTest, PendingRecordsOfAnotherControllerOrOfVanishedLdsAreDropped)
{
    Start("snapshot");
    PendEnable(2, 1, 10);
    RecordPendingDisable(&pending, 0);
    EXPECT_EQ(0, SyncPendingChanges(&pending, 0, Record()));
    EXPECT_EQ(2, PendingChangeCount(&pending));

    // A record naming an LD that no longer exists goes; the others stay.
    pending.ld[9].kind = SNAP_PENDING_DISABLE;
    pending.ld[2].repository = 1;
    EXPECT_EQ(1, SyncPendingChanges(&pending, 0, Record()));
    EXPECT_EQ(2, PendingChangeCount(&pending));

    // Another controller: nothing of the old one may be applied there.
    EXPECT_EQ(2, SyncPendingChanges(&pending, 1, Record()));
    EXPECT_EQ(0, PendingChangeCount(&pending));
    EXPECT_EQ(1, pending.contNo);
}

TEST_F(SnapshotPageTest, FinishAfterAControllerChangeSendsNothing)
{
    Start("snapshot");
    PendEnable(2, 1, 10);
    pending.contNo = 1; // recorded while another controller was current
    EXPECT_EQ(0, OnFinishBtnClicked(&page));
    EXPECT_TRUE(Done(kEnable) == 0u);
    EXPECT_EQ(0u, BoxesShown());
}

// ---- the enable dialog's checks ---------------------------------------------------------------

TEST_F(SnapshotPageTest, EnableChecksNameTheFirstProblem)
{
    Start("snapshot");
    std::unique_ptr<ContData> copy(new ContData(g_records[0]));
    struct Case {
        const char *what;
        uint8_t base;
        int repository;
        int byPercent;
        uint32_t value;
        void (*mutate)(ContData *);
        uint16_t expected;
    } cases[] = {
        { "fits", 2, 1, 0, 10, nullptr, 0 },
        { "CacheCade base", 2, 1, 0, 10, [](ContData *r) { r->ldInfo[2][LI_CACHECADE] = 1; },
          IDS_SNAP_CACHECADE_BASE },
        { "initializing base", 2, 1, 0, 10,
          [](ContData *r) { LayoutPutU32(r->ldInfo[2], LI_OPERATION_BITS, LD_PROG_INIT); }, IDS_SNAP_INITIALIZING_BASE },
        { "repository chosen as base", 1, 2, 0, 10, nullptr, IDS_SNAP_REPOSITORY_AS_BASE },
        { "base is its own repository", 2, 2, 0, 10, nullptr, IDS_SNAP_REPOSITORY_AS_BASE },
        { "no repository selected", 2, -1, 0, 10, nullptr, IDS_SNAP_REPOSITORY_AS_BASE },
        { "area below 1175 MB", 2, 1, 0, 1, nullptr, IDS_SNAP_AREA_TOO_SMALL },
        { "area larger than the repository LD", 2, 1, 0, 400, nullptr, IDS_SNAP_REPOSITORY_SMALLER },
        { "area larger than the room left", 2, 1, 0, 200, nullptr, IDS_SNAP_REPOSITORY_TOO_SMALL },
        { "percentage of the base", 2, 1, 1, 70, nullptr, IDS_SNAP_REPOSITORY_TOO_SMALL },
        { "small percentage", 2, 1, 1, 5, nullptr, 0 },
    };
    for (const Case &c : cases) {
        *copy = g_records[0];
        if (c.mutate)
            c.mutate(copy.get());
        SnapEnableInput input = { c.base, c.repository, c.byPercent, c.value, 1, 0 };
        EXPECT_EQ(c.expected, CheckEnableInput(&input, &pending, copy.get(), 0)) << c.what;
    }
}

TEST_F(SnapshotPageTest, PendingEnablesOnTheSameRepositoryShareItsRoom)
{
    Start("snapshot");
    // LD1 (278 GB) keeps 100 GB for LD0; 170 GB are left.
    PendEnable(2, 1, 150);
    SnapEnableInput second = { 3, 1, 0, 30, 1, 0 };
    pending.ld[3].kind = SNAP_PENDING_NONE;
    EXPECT_EQ(IDS_SNAP_REPOSITORY_TOO_SMALL, CheckEnableInput(&second, &pending, Record(), 0));
    // The base's own earlier record does not count against itself.
    SnapEnableInput again = { 2, 1, 0, 160, 1, 0 };
    EXPECT_EQ(0, CheckEnableInput(&again, &pending, Record(), 0));
}

// ---- the Finish lists and questions -------------------------------------------------------------

TEST_F(SnapshotPageTest, FinishListsFollowTheLdTableAndNameEachRepositoryOnce)
{
    Start("snapshot");
    std::unique_ptr<ContData> many(new ContData(g_records[0]));
    SnapFinishLists lists;
    pending.ld[2] = SnapPendingChange{ SNAP_PENDING_ENABLE, 1, 1, 0, 100 };
    pending.ld[0] = SnapPendingChange{ SNAP_PENDING_DISABLE, 0, 0, 0, 0 };
    BuildFinishLists(&pending, Record(), &lists);
    ASSERT_EQ(1u, lists.enableCount);
    EXPECT_EQ(2, lists.enable[0]);
    ASSERT_EQ(1u, lists.repositoryCount);
    EXPECT_EQ(1, lists.repositories[0]);
    ASSERT_EQ(1u, lists.disableCount);
    EXPECT_EQ(0, lists.disable[0]);
}

TEST_F(SnapshotPageTest, QuestionsListingManyLdsStayWithinTheBoxBuffer)
{
    char format[GUI_TEXT_SIZE];
    SnapFinishLists lists;
    std::memset(&lists, 0, sizeof(lists));
    for (unsigned i = 0; i < LD_MAX; ++i) {
        lists.enable[lists.enableCount++] = (uint8_t)i;
        lists.disable[lists.disableCount++] = (uint8_t)i;
    }
    for (unsigned i = 0; i < 20; ++i)
        lists.repositories[lists.repositoryCount++] = (uint8_t)(40 + i);
    char text[GUI_TEXT_SIZE];

    LoadGuiString(IDS_SNAP_ENABLE_ASK, format, sizeof(format));
    int n = FormatEnableQuestion(text, sizeof(text), format, &lists);
    EXPECT_LT(n, GUI_TEXT_SIZE);
    std::string enable(text);
    EXPECT_NE(std::string::npos, enable.find("Base LD:LD0, 1, 2,"));
    EXPECT_NE(std::string::npos, enable.find(", ...\r\nRepository LD:LD40, 41"));
    EXPECT_NE(std::string::npos, enable.find("\r\n\r\nProceed with enabling Snapshot?"));

    LoadGuiString(IDS_SNAP_DISABLE_ASK, format, sizeof(format));
    n = FormatDisableQuestion(text, sizeof(text), format, &lists);
    EXPECT_LT(n, GUI_TEXT_SIZE);
    std::string disable(text);
    // One list fits whole beside the disable question's words.
    EXPECT_NE(std::string::npos, disable.find("Base LD:LD0, 1, 2, 3,"));
    EXPECT_NE(std::string::npos, disable.find(", 62, 63\r\n\r\nProceed with disabling Snapshot?"));

    // Few LDs are listed whole.
    lists.enableCount = 2;
    lists.repositoryCount = 1;
    LoadGuiString(IDS_SNAP_ENABLE_ASK, format, sizeof(format));
    FormatEnableQuestion(text, sizeof(text), format, &lists);
    EXPECT_NE(std::string::npos, std::string(text).find("Base LD:LD0, 1\r\nRepository LD:LD40\r\n"));
}

TEST_F(SnapshotPageTest, FinishAsksTheDisableQuestionFirstAndNoStillAsksTheEnableQuestion)
{
    Start("snapshot");
    PendEnable(2, 1, 10);
    RecordPendingDisable(&pending, 0);
    ExpectBox(IDS_SNAP_DISABLE_ASK, IDS_CAPTION_SNAPSHOT, BOX_NO);
    ExpectBox(IDS_SNAP_ENABLE_ASK, IDS_CAPTION_SNAPSHOT, BOX_YES);
    EXPECT_EQ(1, OnFinishBtnClicked(&page));
    EXPECT_TRUE(Done(kDisable) == 0u);
    EXPECT_EQ(1u, Done(kEnable));
    EXPECT_EQ(1u, Sent("SLSetLDProperties").size());
    ASSERT_EQ(2u, boxes.seen.size());
    EXPECT_NE(std::string::npos, boxes.seen[0].text.find("Base LD:LD0\r\n"));
    EXPECT_NE(std::string::npos, boxes.seen[1].text.find("Base LD:LD2\r\nRepository LD:LD1\r\n"));
    Refresh();
    EXPECT_TRUE(LdIsSnapshotBase(Record()->ldInfo[2]));
    EXPECT_EQ(SNAP_PENDING_DISABLE, pending.ld[0].kind); // declined: still pending
    EXPECT_EQ(SNAP_PENDING_NONE, pending.ld[2].kind);
}

TEST_F(SnapshotPageTest, FinishFailuresShowTheirBoxAndStop)
{
    struct Case {
        const char *what;
        std::vector<std::string> fault;
        bool disable;
        uint16_t box;
    } cases[] = {
        { "disable refused", { "6", "3", "0x32", "opcode=0x030F0200" }, true, IDS_SNAP_DISABLE_FAILED },
        { "no repository space", { "6", "3", "0x5B", "opcode=0x030F0100" }, false, IDS_SNAP_NO_SPACE },
        { "enable refused", { "6", "3", "0x32", "opcode=0x030F0100" }, false, IDS_SNAP_ENABLE_FAILED },
        { "properties refused", { "3", "2", "0x32" }, false, IDS_LD_SETTINGS_FAILED },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Start("snapshot");
        ClearPendingChanges(&pending, 0);
        boxes.seen.clear();
        if (c.disable)
            RecordPendingDisable(&pending, 0);
        else
            PendEnable(2, 1, 10);
        std::vector<std::string> args = { "fault", "add" };
        args.insert(args.end(), c.fault.begin(), c.fault.end());
        Sim(args);
        ExpectBox(c.disable ? IDS_SNAP_DISABLE_ASK : IDS_SNAP_ENABLE_ASK, IDS_CAPTION_SNAPSHOT, BOX_YES);
        ExpectBox(c.box, IDS_CAPTION_SNAPSHOT);
        EXPECT_EQ(1, OnFinishBtnClicked(&page));
        if (c.box == IDS_SNAP_NO_SPACE) {
            ASSERT_EQ(2u, boxes.seen.size());
            EXPECT_EQ("No space on the Snapshot Repository LD(Logical Drive).(Base LD=LD2, Repository LD=LD1)",
                      boxes.seen[1].text);
        }
    }
}

TEST_F(SnapshotPageTest, EnablingRemovesTheConstructInfoFileWhereItWasWritten)
{
    Start("snapshot");
    LdCreateRequest request;
    std::memset(&request, 0, sizeof(request));
    request.groupCount = 2;
    request.groups[0].ldCount = 1;
    request.groups[0].lds[0].ldNo = 2;
    request.groups[1].ldCount = 1;
    request.groups[1].lds[0].ldNo = 1;
    ASSERT_EQ(1, SaveSnapshotConstructInfo(SNAP_LAYOUT_BASE_AND_REPO_GROUPS, &request, 0));
    char path[600];
    ConstructInfoPath(0, path, sizeof(path));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path));

    SnapConstructInfo info;
    std::memset(&info, 0, sizeof(info));
    ReadSnapshotConstructInfo(0, g_records, &info);
    EXPECT_EQ(1, PreselectedRepository(&info, Record(), 2));

    PendEnable(2, 1, 10);
    ExpectBox(IDS_SNAP_ENABLE_ASK, IDS_CAPTION_SNAPSHOT, BOX_YES);
    EXPECT_EQ(1, OnFinishBtnClicked(&page));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path));
}

// ---- snapshots and views --------------------------------------------------------------------

TEST_F(SnapshotPageTest, DeleteSnapshotWithAViewIsRefusedUntilTheViewIsDeleted)
{
    Start("snapshot");
    // View Information opens on the view of the timeline row, found by the snapshot's number.
    const uint8_t *base = BaseInfo(Record(), 0);
    ASSERT_TRUE(base != nullptr && ViewCount(base) > 0);
    EXPECT_EQ((int)ViewAt(base, 0)[SV_TARGET], ViewTargetOfSnapshot(Record(), 0, 0));
    EXPECT_EQ(-1, ViewTargetOfSnapshot(Record(), 0, (unsigned)BaseSnapshotCount(Record(), 0)));

    ExpectBox(IDS_SNAP_DELETE_HAS_VIEW, IDS_CAPTION_SNAPSHOT);
    EXPECT_EQ(0, OnLdDeleteSnapshot(&page, 0));
    EXPECT_TRUE(Done(kDeletePit) == 0u);

    EXPECT_EQ(1, OnSnapshotDeleteView(&page, 0, 0));
    EXPECT_EQ(1u, Done(kDeleteView));
    Refresh();
    EXPECT_FALSE(OldestSnapshotHasView(Record(), 0));
    EXPECT_EQ(-1, ViewTargetOfSnapshot(Record(), 0, 0));

    ExpectBox(IDS_SNAP_DELETE_ASK, IDS_CAPTION_SNAPSHOT, BOX_NO);
    EXPECT_EQ(0, OnLdDeleteSnapshot(&page, 0));
    EXPECT_TRUE(Done(kDeletePit) == 0u);
    ExpectBox(IDS_SNAP_DELETE_ASK, IDS_CAPTION_SNAPSHOT, BOX_YES);
    EXPECT_EQ(1, OnLdDeleteSnapshot(&page, 0));
    Refresh();
    EXPECT_EQ(1, BaseSnapshotCount(Record(), 0));
    char name[64];
    SnapTimelineCellText(name, sizeof(name), Record(), 0, 0, 1);
    EXPECT_STREQ("LD0_2601150900", name);
}

TEST_F(SnapshotPageTest, CreateSnapshotProposesItsNameAndReportsAFailure)
{
    Start("snapshot");
    EXPECT_EQ(1, OnLdCreateSnapshot(&page, 0));
    EXPECT_EQ(0u, g_proposedName.find("LD0_"));
    EXPECT_EQ(14u, g_proposedName.size());
    ASSERT_EQ(1u, Done(kCreatePit));

    g_nameAnswer = 0;
    EXPECT_EQ(0, OnLdCreateSnapshot(&page, 0));
    EXPECT_EQ(1u, Done(kCreatePit));

    g_nameAnswer = 1;
    Sim({ "fault", "add", "6", "3", "0x32", "opcode=0x030F0300" });
    ExpectBox(IDS_SNAP_CREATE_FAILED, IDS_CAPTION_SNAPSHOT);
    EXPECT_EQ(1, OnLdCreateSnapshot(&page, 0));
}

TEST_F(SnapshotPageTest, CreateViewProposesItsNameAndDeleteViewReportsAFailure)
{
    Start("snapshot");
    EXPECT_EQ(1, OnSnapshotDeleteView(&page, 0, 0));
    Refresh();
    EXPECT_EQ(1, OnSnapshotCreateView(&page, 0, 1));
    EXPECT_EQ("LD0_View", g_proposedName);
    EXPECT_EQ(1u, Done(kCreateView));
    Refresh();
    Sim({ "fault", "add", "6", "3", "0x32", "opcode=0x030F0600" });
    ExpectBox(IDS_SNAP_VIEW_DELETE_FAILED, IDS_CAPTION_SNAPSHOT);
    EXPECT_EQ(1, OnSnapshotDeleteView(&page, 0, 1));
}

TEST_F(SnapshotPageTest, CellTextsShowRolesCapacitiesAndPendingChanges)
{
    Start("snapshot");
    PendEnable(2, 1, 10);
    char cell[64];
    SnapLdCellText(cell, sizeof(cell), Record(), 0, &pending, 0, 3);
    EXPECT_STREQ("Base(RepLD1)", cell);
    SnapLdCellText(cell, sizeof(cell), Record(), 0, &pending, 1, 3);
    EXPECT_STREQ("Repository", cell);
    SnapLdCellText(cell, sizeof(cell), Record(), 0, &pending, 1, 2);
    EXPECT_NE(std::string::npos, std::string(cell).find("(Free "));
    SnapLdCellText(cell, sizeof(cell), Record(), 0, &pending, 2, 4);
    EXPECT_STREQ("Enable(RepLD1)", cell);
    SnapTimelineCellText(cell, sizeof(cell), Record(), 0, 0, 3);
    EXPECT_STREQ("Created", cell);
}

} // namespace
