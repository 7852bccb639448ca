// End to end: the Create LD tab (the pattern-file box, Single LD creation as a new user does it)
// and the Snapshot tab (Delete Snapshot refused while a view exists, Delete View, Finish asking
// the disable question before the enable question) in the real zavgui.exe.
#include "gui_session.h"

using namespace guie2e;

namespace {

const int kCreateLdTab = 1;
const int kSnapshotTab = 5;
const int kLdList = 1002, kTimeline = 1232, kFinish = 1109, kEnable = 1460, kDisable = 1461;
const int kSubTab = 1340, kLayouts = 1346, kSummary = 1348, kCreate = 1349;
const int kRepositoryList = 1700, kSet = 1707;

std::string PatternInBin() { return BinDir() + "\\confpat1.csv"; }

std::string InstalledPattern()
{
    HKEY key = NULL;
    char dir[MAX_PATH] = {};
    DWORD size = sizeof(dir) - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Zav", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "InstallDir", NULL, NULL, (BYTE *)dir, &size);
        RegCloseKey(key);
    }
    return std::string(dir) + "\\confpat1.csv";
}

class CreateSnapshotGui : public GuiSession {
protected:
    void TearDown() override
    {
        GuiSession::TearDown();
        DeleteFileA(PatternInBin().c_str());
    }
    // The sub-page (Single LD or Multi LD) shown inside the Create LD page.
    HWND VisibleSubPage()
    {
        HWND page = VisiblePage();
        HWND child = NULL;
        while (page && (child = FindWindowExA(page, child, "#32770", NULL)) != NULL)
            if (IsWindowVisible(child))
                return child;
        return NULL;
    }
    HWND WaitDialog(const char *title)
    {
        return zauto::FindTopWindow(gui.Pid(), "#32770", title, 60000);
    }
};

TEST_F(CreateSnapshotGui, CreateLdWithoutAndWithThePatternFile)
{
    DeleteFileA(PatternInBin().c_str());
    Sim({"load", "default"});
    StartGui();
    zauto::Target target(gui.Pid());
    ASSERT_TRUE(target.ok());

    // Without the pattern file: its box, and no layout offered.
    ASSERT_TRUE(zauto::ClickTab(target, Tab(), kCreateLdTab));
    AnswerBox(gui.Pid(), "Create Logical Drive",
              "Failed to load RAID configuration pattern file.\r\nPlease re-install Norvane RAID Vantrel.");
    ASSERT_TRUE(WaitFor([&] { return VisibleSubPage() != NULL; }));
    HWND single = VisibleSubPage();
    EXPECT_EQ(0, zauto::ListRowCount(GetDlgItem(single, kLayouts)));
    EXPECT_EQ("No configuration.\r\nLogical Drive candidate doesn't exist.",
              zauto::WindowText(GetDlgItem(single, kSummary)));

    // With it: RAID1 and RAID0 on the two unconfigured drives, and what RAID1 builds.
    ASSERT_TRUE(CopyFileA(InstalledPattern().c_str(), PatternInBin().c_str(), FALSE));
    HWND subTab = GetDlgItem(VisiblePage(), kSubTab);
    ASSERT_TRUE(zauto::ClickTab(target, subTab, 1));
    ASSERT_TRUE(zauto::ClickTab(target, subTab, 0));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(GetDlgItem(single, kLayouts)) == 2; }));
    std::vector<std::vector<std::string>> rows = zauto::ListRows(target, GetDlgItem(single, kLayouts), 1);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("(1) RAID1", rows[0][0]);
    EXPECT_EQ("(2) RAID0", rows[1][0]);
    std::string summary = zauto::WindowText(GetDlgItem(single, kSummary));
    EXPECT_NE(std::string::npos, summary.find("RAID Level : RAID1\r\nPD[s] : PD6, PD7 (2)\r\nCapacity : 278.875 GB"))
        << summary;

    zauto::ClickButton(GetDlgItem(single, kCreate));
    zauto::MessageBoxInfo box;
    ASSERT_TRUE(zauto::WaitMessageBox(gui.Pid(), 60000, &box));
    EXPECT_EQ("Create Logical Drive", box.caption);
    EXPECT_EQ(0u, box.text.find("Create the following LD[s](Logical Drive[s])?\r\n\r\nRAID Level : RAID1\r\n")) << box.text;
    EXPECT_NE(std::string::npos, box.text.find("Hot Spare : None")) << box.text;
    ASSERT_TRUE(zauto::AnswerMessageBox(box, IDYES));
    AnswerBox(gui.Pid(), "Create Logical Drive",
              "LD[s](Logical Drive[s]) have been created.\r\nInitialization automatically starts.\r\n"
              "Please confirm the progress on the Maintenance page.");

    // The Dashboard shows the new LD.
    ASSERT_TRUE(zauto::ClickTab(target, Tab(), 0));
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> lines = zauto::TreeLines(target, GetDlgItem(VisiblePage(), 1085));
        for (const std::string &line : lines)
            if (line.find("LD2 (") != std::string::npos)
                return true;
        return false;
    }));
}

TEST_F(CreateSnapshotGui, SnapshotDeleteViewFinishOrder)
{
    Sim({"load", "snapshot"});
    StartGui();
    zauto::Target target(gui.Pid());
    ASSERT_TRUE(target.ok());
    std::vector<std::string> tabs = zauto::TabTexts(target, Tab());
    ASSERT_EQ(7u, tabs.size());
    EXPECT_EQ("Snapshot", tabs[kSnapshotTab]);
    ASSERT_TRUE(zauto::ClickTab(target, Tab(), kSnapshotTab));
    HWND page = NULL;
    ASSERT_TRUE(WaitFor([&] {
        page = VisiblePage();
        return page && zauto::ListRowCount(GetDlgItem(page, kLdList)) == 3;
    }));
    HWND lds = GetDlgItem(page, kLdList);
    HWND timeline = GetDlgItem(page, kTimeline);
    std::vector<std::vector<std::string>> rows = zauto::ListRows(target, lds, 4);
    EXPECT_EQ("Base(RepLD1)", rows[0][3]);
    EXPECT_EQ("Repository", rows[1][3]);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(timeline) == 2; }));

    // Delete Snapshot while the oldest snapshot has a view: 573, nothing deleted.
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 4));
    AnswerBox(gui.Pid(), "Snapshot",
              "Cannot delete the Snapshot because view is \"created\".\r\nPlease delete view on it.");
    // Delete View on the oldest snapshot, then 574 Yes deletes it.
    ASSERT_TRUE(zauto::SelectListRow(target, timeline, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, timeline, 2));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListCell(target, timeline, 0, 3) == "-"; }));
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 4));
    AnswerBox(gui.Pid(), "Snapshot", "All data on the oldest Snapshot will be lost.\r\nProceed with the delete?", IDYES);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(timeline) == 1; }));
    EXPECT_EQ("LD0_2601150900", zauto::ListCell(target, timeline, 0, 1));

    // A disable (LD0) and an enable (LD2 on LD1) pending: Finish asks 349 first; No still asks 348.
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    zauto::ClickButton(GetDlgItem(page, kDisable));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListCell(target, lds, 0, 4) == "Disable"; }));
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 2));
    PostMessageA(GetDlgItem(page, kEnable), BM_CLICK, 0, 0);
    HWND enable = WaitDialog("Enable Snapshot");
    ASSERT_NE((HWND)NULL, enable);
    SendMessageA(GetDlgItem(enable, kRepositoryList), LB_SETCURSEL, 1, 0); // LD0, LD1: the second
    zauto::ClickButton(GetDlgItem(enable, kSet));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListCell(target, lds, 2, 4) == "Enable(RepLD1)"; }));

    PostMessageA(GetDlgItem(page, kFinish), BM_CLICK, 0, 0);
    zauto::MessageBoxInfo box;
    ASSERT_TRUE(zauto::WaitMessageBox(gui.Pid(), 60000, &box));
    EXPECT_EQ("Snapshot", box.caption);
    EXPECT_NE(std::string::npos, box.text.find("Base LD:LD0\r\n\r\nProceed with disabling Snapshot?")) << box.text;
    ASSERT_TRUE(zauto::AnswerMessageBox(box, IDNO));
    ASSERT_TRUE(zauto::WaitMessageBox(gui.Pid(), 60000, &box));
    EXPECT_NE(std::string::npos, box.text.find("Base LD:LD2\r\nRepository LD:LD1\r\n")) << box.text;
    ASSERT_TRUE(zauto::AnswerMessageBox(box, IDYES));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListCell(target, lds, 2, 3) == "Base(RepLD1)"; }));
    EXPECT_EQ("Base(RepLD1)", zauto::ListCell(target, lds, 0, 3)); // the declined disable left LD0 as it was
}

} // namespace
