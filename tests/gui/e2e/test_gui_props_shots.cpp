// Pictures of the property dialogs (View Information included) and of the Delete LD, Hot Spare
// and Restore LD pages for the documentation. Runs only when ZAV_SHOT_DIR names a folder (scripts/zavgui-shots sets it); each
// window is copied from the screen into a bitmap file there.
#include "gui_session.h"

using namespace guie2e;

namespace {

enum {
    IDC_SUB_TAB = 1103, IDC_SUB_BACK = 1105, IDC_LD_LIST = 1002, IDC_PD_LIST = 1003, IDC_P0_CTRL_INFO = 1001,
    IDC_P0_ENCL_INFO = 1164, IDC_P0_CB_INFO = 1006, IDC_P3_ADD = 1116, IDC_P3_KIND_DEDICATED = 1423,
    IDC_P6_TIMELINE = 1232, SNAPSHOT_TAB = 5
};

bool SaveWindowBitmap(HWND window, const std::string &path)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u, size = stride * (DWORD)height;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)&file, sizeof(file));
    out.write((const char *)&info.bmiHeader, sizeof(BITMAPINFOHEADER));
    out.write((const char *)bits, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return (bool)out;
}

class GuiPropsShots : public GuiSession {
protected:
    std::string dir;

    void SetUp() override
    {
        char value[MAX_PATH] = {};
        if (GetEnvironmentVariableA("ZAV_SHOT_DIR", value, sizeof(value)) == 0)
            GTEST_SKIP() << "ZAV_SHOT_DIR is not set: no pictures wanted";
        dir = value;
        GuiSession::SetUp();
    }

    void Shot(HWND window, const char *name)
    {
        zauto::Settle(gui.pi.hProcess);
        Sleep(1500); // painting under emulation
        EXPECT_TRUE(SaveWindowBitmap(window, dir + "\\" + name + ".bmp")) << name;
    }
    HWND WaitDialog(const char *title) { return zauto::FindTopWindow(gui.Pid(), "#32770", title, 60000); }
    HWND SelectTab(int index)
    {
        zauto::Target target(gui.Pid());
        HWND before = VisiblePage();
        EXPECT_TRUE(zauto::ClickTab(target, Tab(), index));
        EXPECT_TRUE(WaitFor([&] { return VisiblePage() != NULL && VisiblePage() != before; }));
        return VisiblePage();
    }
    // Opens a dialog by a button, pictures each of its tabs, closes it with Back.
    void DialogShots(HWND dialog, const char *name, int tabs)
    {
        ASSERT_NE((HWND)NULL, dialog) << name;
        zauto::Target target(gui.Pid());
        for (int t = 0; t < tabs; t++) {
            if (t > 0) {
                ASSERT_TRUE(zauto::ClickTab(target, GetDlgItem(dialog, IDC_SUB_TAB), t));
            }
            Shot(dialog, (std::string(name) + (t == 0 ? "-properties" : "-settings")).c_str());
        }
        zauto::ClickButton(GetDlgItem(dialog, IDC_SUB_BACK));
        if (tabs > 1)
            AnswerBox(gui.Pid(), zauto::WindowText(dialog), "Are you sure you want to close this dialog?", IDYES);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
};

TEST_F(GuiPropsShots, EveryDialogAndPage)
{
    Sim({"load", "snapshot"});
    Sim({"foreign", "add", "0", "1", "8,9"});
    StartGui();
    zauto::Target target(gui.Pid());
    HWND dashboard = VisiblePage();
    zauto::ClickButton(GetDlgItem(dashboard, IDC_P0_CTRL_INFO));
    DialogShots(WaitDialog("Controller Information"), "ctrl-info", 2);
    zauto::ClickButton(GetDlgItem(dashboard, IDC_P0_ENCL_INFO));
    DialogShots(WaitDialog("Enclosure Information"), "encl-info", 1);
    zauto::ClickButton(GetDlgItem(dashboard, IDC_P0_CB_INFO));
    DialogShots(WaitDialog("Cache Backup Information"), "cachebkup-info", 1);
    HWND pds = GetDlgItem(dashboard, IDC_PD_LIST);
    ASSERT_TRUE(zauto::SelectListRow(target, pds, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(dashboard, pds, 1));
    DialogShots(WaitDialog("Physical Drive Information"), "pd-info", 1);

    HWND page = SelectTab(2);
    Shot(gui.main, "page-delete-ld");
    HWND lds = GetDlgItem(page, IDC_LD_LIST);
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 1));
    DialogShots(WaitDialog("Logical Drive Information"), "ld-info", 2);
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 2));
    DialogShots(WaitDialog("Snapshot Information"), "snapshot-base-info", 2);
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 1));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, lds, 2));
    DialogShots(WaitDialog("Snapshot Information"), "snapshot-repository-info", 1);

    page = SelectTab(3);
    Shot(gui.main, "page-hot-spare");
    HWND candidates = GetDlgItem(page, IDC_PD_LIST);
    ASSERT_TRUE(zauto::SelectListRow(target, candidates, 0));
    zauto::ClickButton(GetDlgItem(page, IDC_P3_KIND_DEDICATED));
    zauto::ClickButton(GetDlgItem(page, IDC_P3_ADD));
    HWND groups = WaitDialog("Select RAID Group");
    ASSERT_NE((HWND)NULL, groups);
    Shot(groups, "select-rg-for-dhs");
    PostMessageA(groups, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(groups); }));

    SelectTab(4);
    Shot(gui.main, "page-restore-ld");

    // View Information: the timeline's menu on the snapshot that has a view (Create View is
    // disabled there, so View Information is the third item).
    page = SelectTab(SNAPSHOT_TAB);
    lds = GetDlgItem(page, IDC_LD_LIST);
    HWND timeline = GetDlgItem(page, IDC_P6_TIMELINE);
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(lds) == 3; }));
    ASSERT_TRUE(zauto::SelectListRow(target, lds, 0));
    ASSERT_TRUE(WaitFor([&] { return zauto::ListRowCount(timeline) == 2; }));
    ASSERT_TRUE(zauto::SelectListRow(target, timeline, 0));
    ASSERT_TRUE(zauto::ChooseContextMenu(page, timeline, 3));
    DialogShots(WaitDialog("View Information"), "view-info", 1);
}

} // namespace
