// End to end: the property dialogs and the Delete LD, Hot Spare and Restore LD pages of the real
// zavgui.exe. One start serves a group of scenarios on a controller that has what they need.
#include "gui_session.h"

#include <map>

using namespace guie2e;

namespace {

// Controller 0: a snapshot base (LD0) with its repository (LD1), a plain RAID1 (LD2), a RAID5
// group holding three LDs (LD3-LD5), a global hot spare, two foreign configurations.
// Controller 1: drives only, no RAID group.
const char kScenario[] = R"({"clock": "2026-01-15 09:00:00", "controllers": [
  {"id": 0, "product": "LSI MegaRAID SAS 9271-8i", "serial": "SV99887766", "deviceId": 91, "subDeviceId": 37649,
   "snapshot": true, "cache_backup": {"type": 4}, "enclosures": [{"devId": 252, "slots": 16}],
   "drives": [{"slots": "0-15", "size_gb": 278.875}],
   "lds": [{"raid": 5, "slots": [0, 1, 2], "name": "Base"}, {"raid": 1, "slots": [3, 4], "name": "Repository"},
           {"raid": 1, "slots": [5, 6], "name": "Plain"},
           {"raid": 5, "slots": [7, 8, 9], "count": 3, "names": ["One", "Two", "Three"]}],
   "spares": [{"slot": 10}],
   "foreign": [{"raid": 1, "slots": [12, 13], "name": "OldData", "targets": [0]},
               {"raid": 0, "slots": [14], "name": "OldScratch", "targets": [1]}],
   "events": [{"enable_snapshot": {"base": 0, "repo": 1, "area_gb": 100}}]},
  {"id": 1, "product": "LSI MegaRAID SAS 9260-8i", "enclosures": [{"devId": 252, "slots": 4}],
   "drives": [{"slots": "0-3", "size_gb": 278.875}]}]})";

enum {
    IDC_SUB_TAB = 1103, IDC_SUB_BACK = 1105, IDC_PANE_LEFT = 1500, IDC_PANE_SET = 1502,
    IDC_CS_PATROL_MODE = 1005, IDC_CS_MONTH = 1008, IDC_CS_DAY = 1010, IDC_CS_YEAR = 1011, IDC_CS_HOUR = 1012,
    IDC_LD_LIST = 1002, IDC_PD_LIST = 1003, IDC_P0_CTRL_INFO = 1001, IDC_CTRL_SELECT = 1004,
    IDC_P2_DELETE = 1017, IDC_P3_ADD = 1116, IDC_P3_KIND_DEDICATED = 1423, IDC_P4_RESTORE = 1028,
    IDC_P4_DELETE = 1017, IDC_P4_TAB = 1440, IDC_LS_NAME = 1055
};
enum { TAB_DASHBOARD = 0, TAB_DELETE_LD = 2, TAB_HOT_SPARE = 3, TAB_RESTORE_LD = 4 };

std::string ControlText(HWND control)
{
    // WM_GETTEXT is carried across processes by the system.
    char buffer[16384] = {};
    SendMessageA(control, WM_GETTEXT, sizeof(buffer), (LPARAM)buffer);
    return buffer;
}

// "label ... : value" lines of a pane or of zavcli's report.
std::map<std::string, std::string> Values(const std::string &text)
{
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t colon = line.find(": ");
        if (colon == std::string::npos)
            continue;
        size_t end = line.find_last_not_of(" \t", colon == 0 ? 0 : colon - 1);
        if (end == std::string::npos)
            continue;
        values[line.substr(0, end + 1)] = line.substr(colon + 2);
    }
    return values;
}

class GuiPropsPages : public GuiSession {
protected:
    std::string scenarioFile;

    void SetUp() override
    {
        GuiSession::SetUp();
        if (IsSkipped())
            return;
        scenarioFile = paths.state + ".scenario.json";
        std::ofstream(scenarioFile, std::ios::binary) << kScenario;
        Sim({"load", scenarioFile});
    }
    void TearDown() override
    {
        GuiSession::TearDown();
        if (!scenarioFile.empty())
            DeleteFileA(scenarioFile.c_str());
    }

    HWND WaitDialog(const char *title)
    {
        return zauto::FindTopWindow(gui.Pid(), "#32770", title, 60000);
    }
    // The page shown inside a property dialog.
    HWND DialogPage(HWND dialog)
    {
        HWND child = NULL;
        while ((child = FindWindowExA(dialog, child, "#32770", NULL)) != NULL)
            if (IsWindowVisible(child))
                return child;
        return NULL;
    }
    HWND SelectTab(int index)
    {
        zauto::Target target(gui.Pid());
        HWND before = VisiblePage();
        EXPECT_TRUE(zauto::ClickTab(target, Tab(), index));
        EXPECT_TRUE(WaitFor([&] { return VisiblePage() != NULL && VisiblePage() != before; }));
        zauto::Settle(gui.pi.hProcess);
        return VisiblePage();
    }
    int RowOf(HWND list, const std::string &first)
    {
        zauto::Target target(gui.Pid());
        for (int i = 0; i < zauto::ListRowCount(list); i++)
            if (zauto::ListCell(target, list, i, 0) == first)
                return i;
        return -1;
    }
    size_t Count(const std::string &command)
    {
        size_t n = 0;
        std::istringstream in(Journal());
        std::string line;
        while (std::getline(in, line))
            n += line.compare(0, command.size() + 1, command + " ") == 0;
        return n;
    }
    std::string SimShow()
    {
        std::string out, err;
        sim::ZavsimRun({"show"}, paths, out, err);
        return out;
    }
    std::string RunZavcli(const std::string &args)
    {
        std::string out = paths.state + ".out.txt";
        RunAndWait("C:\\windows\\system32\\cmd.exe", "/c \"\"" + BinDir() + "\\zavcli.exe\" " + args + " > \"" + out +
                                                         "\"\"");
        std::string text = ReadText(out);
        DeleteFileA(out.c_str());
        return text;
    }
};

TEST_F(GuiPropsPages, ControllerInformationSettingsAndBack)
{
    std::map<std::string, std::string> cli = Values(RunZavcli("-ctrlinfo -a0"));
    StartGui();
    HWND dashboard = VisiblePage();
    ASSERT_NE((HWND)NULL, dashboard);

    // Properties: the values zavcli prints.
    zauto::ClickButton(GetDlgItem(dashboard, IDC_P0_CTRL_INFO));
    HWND dialog = WaitDialog("Controller Information");
    ASSERT_NE((HWND)NULL, dialog);
    std::map<std::string, std::string> pane = Values(ControlText(GetDlgItem(DialogPage(dialog), IDC_PANE_LEFT)));
    for (const char *label : {"Product Name", "Serial No", "Memory Size"}) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(cli[label].empty());
        EXPECT_EQ(cli[label], pane[label]);
    }
    EXPECT_EQ("SV99887766", pane["Serial No"]);

    // Back on Properties closes at once, without a question.
    zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    // Settings: Automatic with a start before the controller's clock shows 559, writes nothing.
    zauto::ClickButton(GetDlgItem(dashboard, IDC_P0_CTRL_INFO));
    dialog = WaitDialog("Controller Information");
    ASSERT_NE((HWND)NULL, dialog);
    zauto::Target target(gui.Pid());
    ASSERT_TRUE(zauto::ClickTab(target, GetDlgItem(dialog, IDC_SUB_TAB), 1));
    HWND settings = NULL;
    ASSERT_TRUE(WaitFor([&] { settings = DialogPage(dialog); return settings && GetDlgItem(settings, IDC_CS_YEAR); }));
    zauto::Settle(gui.pi.hProcess);
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(settings, IDC_CS_PATROL_MODE), 0));
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(settings, IDC_CS_YEAR), 0));
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(settings, IDC_CS_MONTH), 0));
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(settings, IDC_CS_DAY), 0));
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(settings, IDC_CS_HOUR), 0));
    zauto::Settle(gui.pi.hProcess);
    Sim({"journal", "clear"});
    zauto::ClickButton(GetDlgItem(settings, IDC_PANE_SET));
    AnswerBox(gui.Pid(), "Controller Information", "The specified date occurs in the past.");
    EXPECT_EQ(0u, Count("SLSetPatrolReadProp"));
    EXPECT_EQ(0u, Count("SLSetCtrlProp"));

    // Back on Settings asks 567: No keeps the dialog, Yes closes it.
    zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
    AnswerBox(gui.Pid(), "Controller Information", "Are you sure you want to close this dialog?", IDNO);
    zauto::Settle(gui.pi.hProcess);
    EXPECT_TRUE(IsWindow(dialog));
    zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
    AnswerBox(gui.Pid(), "Controller Information", "Are you sure you want to close this dialog?", IDYES);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
}

TEST_F(GuiPropsPages, DeleteLdAndLdSettings)
{
    StartGui();
    HWND page = SelectTab(TAB_DELETE_LD);
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(list) == 6; }));
    zauto::Target target(gui.Pid());

    // LD Settings of an LD in a three-LD group: 538 first, all three take the policies, only the
    // shown LD the name; then a write fault shows 536.
    ASSERT_TRUE(zauto::SelectListRow(target, list, RowOf(list, "LD4")));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, list, 1));
    HWND dialog = WaitDialog("Logical Drive Information");
    ASSERT_NE((HWND)NULL, dialog);
    ASSERT_TRUE(zauto::ClickTab(target, GetDlgItem(dialog, IDC_SUB_TAB), 1));
    HWND settings = NULL;
    ASSERT_TRUE(WaitFor([&] { settings = DialogPage(dialog); return settings && GetDlgItem(settings, IDC_LS_NAME); }));
    zauto::Settle(gui.pi.hProcess);
    SetWindowTextA(GetDlgItem(settings, IDC_LS_NAME), "Renamed");
    Sim({"journal", "clear"});
    zauto::ClickButton(GetDlgItem(settings, IDC_PANE_SET));
    AnswerBox(gui.Pid(), "Setting Confirmation",
              "Apply the same settings for all the LDs(Logical Drives) of the same RAID Group.");
    AnswerBox(gui.Pid(), "Logical Drive Information", "LD(Logical Drive) Settings have been changed.");
    EXPECT_EQ(3u, Count("SLSetLDProperties"));
    std::string shown = SimShow();
    EXPECT_NE(std::string::npos, shown.find("Renamed"));
    EXPECT_NE(std::string::npos, shown.find("One"));
    EXPECT_NE(std::string::npos, shown.find("Three"));

    Sim({"fault", "add", "3", "2", "0x32"});
    zauto::ClickButton(GetDlgItem(settings, IDC_PANE_SET));
    AnswerBox(gui.Pid(), "Setting Confirmation",
              "Apply the same settings for all the LDs(Logical Drives) of the same RAID Group.");
    AnswerBox(gui.Pid(), "Logical Drive Information", "Failed to change LD(Logical Drive) Settings.");
    Sim({"fault", "clear"});
    zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
    AnswerBox(gui.Pid(), "Logical Drive Information", "Are you sure you want to close this dialog?", IDYES);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    // A snapshot base in the selection: 410 before any question, nothing deleted.
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(list) == 6; }));
    ASSERT_TRUE(zauto::SelectListRow(target, list, RowOf(list, "LD0")));
    Sim({"journal", "clear"});
    zauto::ClickButton(GetDlgItem(page, IDC_P2_DELETE));
    AnswerBox(gui.Pid(), "Delete Logical Drive",
              "Cannot delete Snapshot Base/Repository LD[s](Logical Drive[s]).\r\nPlease delete it after disabling Snapshot.");
    EXPECT_EQ(0u, Count("SLDeleteLD"));

    // A plain LD: 270 OK, 271 Cancel keeps it.
    ASSERT_TRUE(zauto::SelectListRow(target, list, RowOf(list, "LD2")));
    zauto::ClickButton(GetDlgItem(page, IDC_P2_DELETE));
    AnswerBox(gui.Pid(), "Delete Logical Drive", "All data on the LD[s](Logical Drive[s]) will be lost.", IDOK);
    AnswerBox(gui.Pid(), "Delete Logical Drive", "Proceed with delete?", IDCANCEL);
    zauto::Settle(gui.pi.hProcess);
    EXPECT_EQ(0u, Count("SLDeleteLD"));
    EXPECT_EQ(6, zauto::ListRowCount(list));

    // Both OK: the LD goes.
    zauto::ClickButton(GetDlgItem(page, IDC_P2_DELETE));
    AnswerBox(gui.Pid(), "Delete Logical Drive", "All data on the LD[s](Logical Drive[s]) will be lost.", IDOK);
    AnswerBox(gui.Pid(), "Delete Logical Drive", "Proceed with delete?", IDOK);
    EXPECT_TRUE(WaitFor([&] { return zauto::ListRowCount(list) == 5; }));
    EXPECT_EQ(1u, Count("SLDeleteLD"));
}

TEST_F(GuiPropsPages, HotSpareAndRestorePages)
{
    StartGui();
    zauto::Target target(gui.Pid());

    // Restore: both foreign configurations have a tab; a failed import shows 293; Delete asks 292
    // and clears; Restore imports.
    HWND page = SelectTab(TAB_RESTORE_LD);
    HWND tabs = GetDlgItem(page, IDC_P4_TAB);
    ASSERT_TRUE(WaitFor([&] { return zauto::TabTexts(target, tabs).size() == 2; }));
    EXPECT_EQ(1, zauto::ListRowCount(GetDlgItem(page, IDC_LD_LIST)));
    Sim({"fault", "add", "4", "7", "0x3B", "count=1"});
    zauto::ClickButton(GetDlgItem(page, IDC_P4_RESTORE));
    AnswerBox(gui.Pid(), "Restore Logical Drive", "Failed in restoring. \r\nPlease confirm LD(Logical Drive) state.");
    zauto::ClickButton(GetDlgItem(page, IDC_P4_DELETE));
    AnswerBox(gui.Pid(), "Restore Logical Drive", "Release the LD[s](Restore Drive[s])?", IDNO);
    zauto::Settle(gui.pi.hProcess);
    EXPECT_EQ(0u, Count("SLClearForeignConfig"));
    zauto::ClickButton(GetDlgItem(page, IDC_P4_DELETE));
    AnswerBox(gui.Pid(), "Restore Logical Drive", "Release the LD[s](Restore Drive[s])?", IDYES);
    ASSERT_TRUE(WaitFor([&] { return zauto::TabTexts(target, tabs).size() == 1; }));
    zauto::ClickButton(GetDlgItem(page, IDC_P4_RESTORE));
    ASSERT_TRUE(WaitFor([&] { return zauto::TabTexts(target, tabs).empty(); }));
    EXPECT_EQ(1u, Count("SLClearForeignConfig"));
    EXPECT_EQ(2u, Count("SLImportForeignConfig"));

    // Hot spare on controller 1 (no RAID group): a dedicated spare shows 545 without the dialog.
    HWND dashboard = SelectTab(TAB_DASHBOARD);
    ASSERT_TRUE(zauto::SelectComboEntry(GetDlgItem(dashboard, IDC_CTRL_SELECT), 1));
    zauto::Settle(gui.pi.hProcess);
    page = SelectTab(TAB_HOT_SPARE);
    HWND pds = GetDlgItem(page, IDC_PD_LIST);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(pds) == 4; }));
    ASSERT_TRUE(zauto::SelectListRow(target, pds, 0));
    zauto::Settle(gui.pi.hProcess);
    zauto::ClickButton(GetDlgItem(page, IDC_P3_KIND_DEDICATED));
    EXPECT_TRUE(WaitFor([&] { return zauto::ListCell(target, pds, 0, 6) == "[DHS]"; }));
    zauto::ClickButton(GetDlgItem(page, IDC_P3_ADD));
    AnswerBox(gui.Pid(), "Setup Hot Spare", "Cannot create DHS(Dedicated Hot Spare) with no RAID Group.");
    EXPECT_EQ(NULL, zauto::FindTopWindow(gui.Pid(), "#32770", "Select RAID Group", 500));
}

} // namespace
