// End to end: the Dashboard and the Maintenance page of the real zavgui.exe against the
// simulator, driven the way an administrator works them.
#include "gui_session.h"

#include <commctrl.h>

#include <regex>

using namespace guie2e;

namespace {

enum { IDC_LD_LIST = 1002, IDC_PD_LIST = 1003, IDC_CTRL_SELECT = 1004, IDC_LEARN = 1007, IDC_ENCL = 1164,
       IDC_CB_INFO = 1006, IDC_TREE = 1085, IDC_REBUILD = 1032, IDC_CHECK_CONSISTENCY = 1029,
       IDC_SUB_BACK = 1105, IDC_PANE_LEFT = 1500 };
// Panel captions drawn as bitmaps: Dashboard 1304-1307, Maintenance 1325-1329.
enum { IDC_P0_FIRST_CAPTION = 1304, P0_CAPTIONS = 4, IDC_P5_FIRST_CAPTION = 1325, P5_CAPTIONS = 5 };

class GuiPages : public GuiSession {
protected:
    std::string Cell(zauto::Target &t, HWND list, int row, int column) { return zauto::ListCell(t, list, row, column); }

    // Waits until the cell reads the text (the page refreshes after the action's message).
    bool WaitCell(zauto::Target &t, HWND list, int row, int column, const std::string &text)
    {
        return WaitFor([&] { return Cell(t, list, row, column) == text; });
    }

    // A row double click as the list-view sees it: in the middle of the row's label.
    void DoubleClickRow(zauto::Target &t, HWND list, int row)
    {
        RECT *remote = (RECT *)t.alloc(sizeof(RECT));
        RECT rect = {};
        rect.left = LVIR_LABEL;
        ASSERT_TRUE(remote && t.write(remote, &rect, sizeof(rect)));
        ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, (WPARAM)row, (LPARAM)remote));
        ASSERT_TRUE(t.read(remote, &rect, sizeof(rect)));
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }

    // The information dialog that a menu item or double click opened: its first pane's text.
    // "Back" on its Properties tab closes it at once.
    std::string CloseInfoDialog(const char *title)
    {
        HWND dialog = zauto::FindTopWindow(gui.Pid(), "#32770", title, 60000);
        if (!dialog)
            return "(no " + std::string(title) + " dialog)";
        zauto::Settle(gui.pi.hProcess);
        std::string text = "(no pane)";
        HWND child = NULL;
        while ((child = FindWindowExA(dialog, child, "#32770", NULL)) != NULL) {
            HWND pane = GetDlgItem(child, IDC_PANE_LEFT);
            if (IsWindowVisible(child) && pane) {
                char buffer[16384] = {};
                SendMessageA(pane, WM_GETTEXT, sizeof(buffer), (LPARAM)buffer); // carried across processes
                text = buffer;
            }
        }
        zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << title;
        return text;
    }

    // Every panel caption of the page is a static that shows a bitmap.
    void ExpectBitmapCaptions(HWND page, int firstId, int count)
    {
        for (int id = firstId; id < firstId + count; id++) {
            HWND caption = GetDlgItem(page, id);
            ASSERT_NE((HWND)NULL, caption) << id;
            EXPECT_NE(0, (int)SendMessageA(caption, STM_GETIMAGE, IMAGE_BITMAP, 0)) << id;
            EXPECT_TRUE(zauto::IsShown(caption)) << id;
        }
    }

    void WriteScenario(const std::string &json)
    {
        std::string file = paths.state + ".scenario.json";
        std::ofstream(file) << json;
        Sim({"load", file});
        DeleteFileA(file.c_str());
    }
};

TEST_F(GuiPages, DashboardShowsTheControllerTreeAndPdsAndRunsItsActions)
{
    Sim({"load", "default"});
    Sim({"pd", "pull", "0", "7"});
    StartGui();
    zauto::Target t(gui.Pid());
    ASSERT_TRUE(t.ok());
    HWND page = VisiblePage();
    ASSERT_NE((HWND)NULL, page);

    std::vector<std::string> combo = zauto::ComboTexts(GetDlgItem(page, IDC_CTRL_SELECT));
    ASSERT_EQ(1u, combo.size());
    EXPECT_TRUE(std::regex_match(combo[0], std::regex(".+\\(0\\)\\(Bus[0-9]+,Dev[0-9]+\\)"))) << combo[0];

    std::vector<std::string> tree = zauto::TreeLines(t, GetDlgItem(page, IDC_TREE));
    std::vector<std::string> want = {
        "RAID Group 0 (RG0), RAID5", "  Logical Drive(s)", "    LD0 (OPTIMAL, 557.750GB)",
        "RAID Group 1 (RG1), RAID1", "  Logical Drive(s)", "    LD1 (OPTIMAL, 278.875GB)"};
    EXPECT_EQ(want, tree);

    HWND list = GetDlgItem(page, IDC_PD_LIST);
    std::vector<std::vector<std::string>> rows = zauto::ListRows(t, list, 6);
    ASSERT_GE(rows.size(), 8u);
    for (size_t i = 0; i < rows.size(); i++)
        EXPECT_EQ("PD" + std::to_string(i), rows[i][0]);
    EXPECT_EQ((std::vector<std::string>{"PD0", "LD0", "RG0", "ONLINE", "HDD", "278.875"}), rows[0]);
    EXPECT_EQ((std::vector<std::string>{"PD7", "-", "-", "-", "-", "-"}), rows[7]);

    // The empty slot's menu: its first item is disabled, Enter there chooses nothing.
    ASSERT_TRUE(zauto::SelectListRow(t, list, 7));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, list, 1));
    EXPECT_TRUE(zauto::NoMessageBox(gui.Pid(), 1500));

    // Make Drive Offline on a member: no question, the drive goes offline.
    ASSERT_TRUE(zauto::SelectListRow(t, list, 1));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, list, 4));
    EXPECT_TRUE(WaitCell(t, list, 1, 3, "OFFLINE")) << Cell(t, list, 1, 3);
    EXPECT_TRUE(zauto::NoMessageBox(gui.Pid(), 500));

    // Refused by the controller: box 283 under "Dashboard", and the list still refreshes.
    Sim({"fault", "add", "2", "2", "0x3", "count=1"});
    Sim({"pd", "set", "0", "6", "temperature=40"});
    Sim({"journal", "clear"});
    ASSERT_TRUE(zauto::SelectListRow(t, list, 3));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, list, 4));
    AnswerBox(gui.Pid(), "Dashboard",
              "Failed to change PD(Physical Drive) state.\r\nPlease confirm PD(Physical Drive) state.");
    EXPECT_TRUE(WaitFor([&] { return Journal().find("SLGetPDList") != std::string::npos; }))
        << "refresh after the failed action";
    EXPECT_EQ("ONLINE", Cell(t, list, 3, 3));

    // Learn cycle, then its failure.
    zauto::ClickButton(GetDlgItem(page, IDC_LEARN));
    AnswerBox(gui.Pid(), "Dashboard",
              "Learn cycle has been started.\r\nPlease confirm OS event log for the completion.");
    Sim({"fault", "add", "5", "3", "0x3", "count=1"});
    zauto::ClickButton(GetDlgItem(page, IDC_LEARN));
    AnswerBox(gui.Pid(), "Dashboard",
              "Failed to start learn cycle.\r\nPlease confirm OS event log whether there is no problem with Cache "
              "Backup.");
    // The trace log tells the same story, up to the end of the run.
    gui.Stop();
    std::string trace = ReadText(ProductRegValue("LogDir") + "zavgui.log");
    for (const char *line : {"zavgui is starting", "func=OnHddMenuStsFail: HddMenuStsOffline start, contNo=0",
                             "!ERR ", "SLMakeDriveOffline error, contNo=0, pdNo=3", "CacheBackupDiag start",
                             "SLLearnCacheBkup error", "zavgui is finish"})
        EXPECT_NE(std::string::npos, trace.find(line)) << line;
}

TEST_F(GuiPages, EmbeddedControllerHidesCacheBackupAndEnclosureControls)
{
    Sim({"load", "embedded"});
    StartGui();
    HWND page = VisiblePage();
    ASSERT_NE((HWND)NULL, page);
    EXPECT_FALSE(zauto::IsShown(GetDlgItem(page, IDC_LEARN)));
    EXPECT_FALSE(zauto::IsShown(GetDlgItem(page, IDC_CB_INFO)));
    EXPECT_FALSE(zauto::IsShown(GetDlgItem(page, IDC_ENCL)));
    EXPECT_TRUE(zauto::IsShown(GetDlgItem(page, IDC_PD_LIST)));
    ExpectBitmapCaptions(page, IDC_P0_FIRST_CAPTION, P0_CAPTIONS);
}

TEST_F(GuiPages, MaintenanceRefusesRaid0RebuildAndAnnouncesAFinishedCheckOnce)
{
    WriteScenario(R"({"controllers": [{"id": 0, "cache_backup": {}, "enclosures": [{"devId": 252, "slots": 8}],
        "drives": [{"slots": "0-7"}],
        "lds": [{"raid": 5, "slots": [0, 1, 2]}, {"raid": 1, "slots": [3, 4]}, {"raid": 0, "slots": [6]}]}]})");
    StartGui();
    zauto::Target t(gui.Pid());
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE(zauto::ClickTab(t, Tab(), 5));
    HWND page = NULL;
    ASSERT_TRUE(WaitFor([&] { return (page = VisiblePage()) != NULL && GetDlgItem(page, IDC_REBUILD) != NULL; }));
    HWND lds = GetDlgItem(page, IDC_LD_LIST);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(lds) == 3; }));
    EXPECT_EQ("LD2", Cell(t, lds, 2, 0));
    ExpectBitmapCaptions(page, IDC_P5_FIRST_CAPTION, P5_CAPTIONS);

    // A selection holding a RAID0 LD: 549, and no rebuild is sent.
    Sim({"journal", "clear"});
    ASSERT_TRUE(zauto::SelectListRow(t, lds, 1));
    ASSERT_TRUE(zauto::SelectListRow(t, lds, 2, false));
    zauto::ClickButton(GetDlgItem(page, IDC_REBUILD));
    zauto::MessageBoxInfo box;
    ASSERT_TRUE(zauto::WaitMessageBox(gui.Pid(), 60000, &box));
    EXPECT_EQ("Maintenance", box.caption);
    EXPECT_EQ("Cannot Rebuild/Copyback for RAID0.", box.text);
    EXPECT_EQ(std::string::npos, Journal().find("SLStartRebuild"));
    // A timer tick while the box is open waits: no refresh runs inside the action.
    Sim({"journal", "clear"});
    PostMessageA(gui.main, WM_TIMER, 1, 0);
    Sleep(1500);
    EXPECT_EQ(std::string::npos, Journal().find("SLGetLDList")) << Journal();
    ASSERT_TRUE(zauto::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(WaitFor([&] { return Journal().find("SLGetLDList") != std::string::npos; }));

    // Check Consistency on LD1 starts without a question.
    ASSERT_TRUE(zauto::SelectListRow(t, lds, 1));
    zauto::ClickButton(GetDlgItem(page, IDC_CHECK_CONSISTENCY));
    EXPECT_TRUE(WaitCell(t, lds, 1, 2, "CheckConsistency 0%")) << Cell(t, lds, 1, 2);
    EXPECT_TRUE(zauto::NoMessageBox(gui.Pid(), 500));

    // Past its end, the timer's refresh shows exactly one notice naming the group.
    Sim({"clock", "advance", "1300"});
    PostMessageA(gui.main, WM_TIMER, 1, 0);
    AnswerBox(gui.Pid(), "Maintenance", "Rebuild/Check Consistency/Initialization has finished(RAID Group 1).");
    PostMessageA(gui.main, WM_TIMER, 1, 0);
    EXPECT_TRUE(WaitCell(t, lds, 1, 2, "-"));
    EXPECT_TRUE(zauto::NoMessageBox(gui.Pid(), 3000)) << "the notice shows once";

    // The lists' "Information" menu items and double clicks open the property dialogs of the
    // row's LD or PD.
    ASSERT_TRUE(zauto::SelectListRow(t, lds, 2));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 1));
    EXPECT_NE(std::string::npos, CloseInfoDialog("Logical Drive Information").find("RAID0"));
    HWND pds = GetDlgItem(page, IDC_PD_LIST);
    ASSERT_TRUE(zauto::SelectListRow(t, pds, 3));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, pds, 1));
    EXPECT_NE(std::string::npos, CloseInfoDialog("Physical Drive Information").find("GB"));
    ASSERT_TRUE(zauto::SelectListRow(t, lds, 1));
    DoubleClickRow(t, lds, 1);
    EXPECT_NE(std::string::npos, CloseInfoDialog("Logical Drive Information").find("RAID1"));
    ASSERT_TRUE(zauto::SelectListRow(t, pds, 0));
    DoubleClickRow(t, pds, 0);
    EXPECT_NE(std::string::npos, CloseInfoDialog("Physical Drive Information").find("GB"));
    EXPECT_TRUE(zauto::NoMessageBox(gui.Pid(), 500));
}

TEST_F(GuiPages, ControllerChangeMovesTheSnapshotTabAndTheVersionDialogShowsVersions)
{
    Sim({"load", "two-controllers"});
    Sim({"ctrl", "set", "1", "snapshot=1"});
    StartGui();
    zauto::Target t(gui.Pid());
    ASSERT_TRUE(t.ok());
    HWND dashboard = VisiblePage();
    ASSERT_NE((HWND)NULL, dashboard);
    std::vector<std::string> plain = {"Dashboard", "Create LD", "Delete LD", "Hot Spare", "Restore LD", "Maintenance"};
    EXPECT_EQ(plain, zauto::TabTexts(t, Tab()));

    // Controller 1 supports snapshots: its tab appears in front of Maintenance.
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(dashboard, IDC_CTRL_SELECT), 1));
    std::vector<std::string> withSnapshot = plain;
    withSnapshot.insert(withSnapshot.begin() + 5, "Snapshot");
    EXPECT_TRUE(WaitFor([&] { return zauto::TabTexts(t, Tab()) == withSnapshot; }));
    EXPECT_EQ(0, zauto::TabSelection(Tab()));

    // The Maintenance page, now the seventh tab, still gets the timer's refresh.
    ASSERT_TRUE(zauto::ClickTab(t, Tab(), 6));
    HWND maintenance = NULL;
    ASSERT_TRUE(WaitFor([&] { return (maintenance = VisiblePage()) != NULL && maintenance != dashboard; }));
    HWND combo = GetDlgItem(maintenance, IDC_CTRL_SELECT);
    EXPECT_EQ(1, zauto::ComboSelection(combo));
    Sim({"journal", "clear"});
    PostMessageA(gui.main, WM_TIMER, 1, 0);
    EXPECT_TRUE(WaitFor([&] { return Journal().find("SLGetLDList") != std::string::npos; })) << "timer refresh";

    // Back to controller 0 from the Maintenance page: the Snapshot tab goes, Maintenance stays shown.
    ASSERT_TRUE(zauto::SelectComboEntry(combo, 0));
    EXPECT_TRUE(WaitFor([&] { return zauto::TabTexts(t, Tab()) == plain; }));
    EXPECT_TRUE(WaitFor([&] { return zauto::TabSelection(Tab()) == 5 && VisiblePage() == maintenance; }));

    // The version dialog.
    ASSERT_TRUE(zauto::ClickTab(t, Tab(), 0));
    ASSERT_TRUE(WaitFor([&] { return VisiblePage() == dashboard; }));
    zauto::ClickButton(GetDlgItem(dashboard, 1165));
    HWND version = zauto::FindTopWindow(gui.Pid(), "#32770", "Version", 30000);
    ASSERT_NE((HWND)NULL, version);
    std::vector<std::vector<std::string>> rows = zauto::ListRows(t, GetDlgItem(version, 1224), 2);
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"Product Name", "Norvane RAID Vantrel"}), rows[0]);
    EXPECT_EQ((std::vector<std::string>{"File Version", "1.0.0.1"}), rows[3]);
    EXPECT_EQ("Storelib Version", rows[4][0]);
    zauto::ClickButton(GetDlgItem(version, 8));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(version) || !IsWindowVisible(version); }));
}

} // namespace
