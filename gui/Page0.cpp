// Dashboard page: controller selector, cache-backup and version buttons, the RAID-group tree and
// the PD list with their pop-up menus. Decisions come from Page0Logic; this copies them into the
// controls and turns messages into calls.
#include <windows.h>
#include <commctrl.h>

#include "gui/Completion.h"
#include "gui/Controls_win.h"
#include "gui/CtrlList.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page0Logic.h"
#include "gui/PageLists_win.h"
#include "gui/PropDialogs.h"
#include "gui/Utility.h"
#include "gui/VersionInfo.h"
#include "gui/resource.h"

static PdRow g_rows[CONTDATA_PD_SLOTS];
static TreeNodes g_tree;

static void ApplyVisibility(HWND page)
{
    DashboardVisibility v = DashboardVisibilityOf(CurrentRecord());
    ShowControl(page, IDC_P0_ENCL_INFO, v.enclosureButton);
    ShowControl(page, IDC_P0_CB_GROUP, v.cacheBackup);
    ShowControl(page, IDC_P0_CB_INFO, v.cacheBackup);
    ShowControl(page, IDC_P0_CB_LEARN, v.cacheBackup);
}

static void FillTree(HWND page)
{
    BuildLdTree(CurrentRecord(), g_gui.currentCtrl, &g_tree);
    FillLdTree(GetDlgItem(page, IDC_P0_LD_TREE), &g_tree);
}

static void FillList(HWND page)
{
    int count = BuildPdRows(CurrentRecord(), g_rows, CONTDATA_PD_SLOTS);
    FillPdList(GetDlgItem(page, IDC_PD_LIST), g_rows, count);
}

static void OnInitPage(HWND page)
{
    CtrlEntries entries;
    if (!CtrlListUpdate(&entries))
        return;
    FillCtrlCombo(GetDlgItem(page, IDC_CTRL_SELECT), &entries, g_gui.currentCtrl);
    char text[GUI_TEXT_SIZE];
    LoadGuiString(IDS_CTRL_INFO_BUTTON, text, sizeof(text));
    SetDlgItemTextA(page, IDC_P0_CTRL_INFO, text);
    ApplyVisibility(page);
    SetupPdListColumns(GetDlgItem(page, IDC_PD_LIST));
    FillTree(page);
    FillList(page);
}

static void FillPage(HWND page)
{
    SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_SETCURSEL, g_gui.currentCtrl, 0);
    ApplyVisibility(page);
    FillTree(page);
    FillList(page);
}

// "Refresh" of the tree menu; the PD list's is a full refresh of the page.
static void OnReload(HWND page)
{
    BeginWaitCursor();
    if (RefreshCurrentRecord())
        FillTree(page);
    EndWaitCursor();
}

static void OnLearnCycle(HWND page)
{
    OnButtonCacheBkupDiag(page);
    PostHeldRefreshes(page);
}

static uint32_t SelectedTreeTag(HWND tree);

// A property dialog of the current controller; the page shows what it may have changed.
static void AfterDialog(HWND page)
{
    AfterPageAction(page, 1);
}

static void OnLdInfo(HWND page, int snapshot)
{
    uint32_t tag = SelectedTreeTag(GetDlgItem(page, IDC_P0_LD_TREE));
    if (!IsLdNode(tag))
        return;
    uint8_t target = (uint8_t)(tag - NODE_TAG_LD);
    if (snapshot)
        ShowLdSnapshotInfoDialog(page, g_gui.currentCtrl, target);
    else
        ShowLdInfoDialog(page, g_gui.currentCtrl, target);
    AfterDialog(page);
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_CTRL_SELECT:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnCtrlSelected(page, PAGE_DASHBOARD);
        break;
    case IDC_P0_CB_LEARN:
        OnLearnCycle(page);
        break;
    case IDC_P0_VERSION:
        ShowVersionDialog(page);
        break;
    case IDC_P0_CTRL_INFO:
        ShowCtrlInfoDialog(page, g_gui.currentCtrl);
        AfterDialog(page);
        break;
    case IDC_P0_ENCL_INFO:
        ShowEnclInfoDialog(page, g_gui.currentCtrl);
        AfterDialog(page);
        break;
    case IDC_P0_CB_INFO:
        ShowCacheBkupInfoDialog(page, g_gui.currentCtrl);
        AfterDialog(page);
        break;
    case ID_LD_MENU_INFO:
        OnLdInfo(page, 0);
        break;
    case ID_LD_MENU_SNAPSHOT_INFO:
        OnLdInfo(page, 1);
        break;
    case ID_LD_MENU_RELOAD:
        OnReload(page);
        break;
    default:
        PageListCommand(page, LOWORD(wParam), IDS_CAPTION_DASHBOARD);
        break;
    }
}

static uint32_t SelectedTreeTag(HWND tree)
{
    HTREEITEM item = TreeView_GetSelection(tree);
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!item || !TreeView_GetItem(tree, &data))
        return 0;
    return (uint32_t)data.lParam;
}

static void OnTreeContextMenu(HWND page, HWND tree, LPARAM lParam)
{
    if (lParam != (LPARAM)-1) {
        TVHITTESTINFO hit = {};
        hit.pt.x = (short)LOWORD(lParam);
        hit.pt.y = (short)HIWORD(lParam);
        ScreenToClient(tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(tree, &hit);
        if (!item)
            return;
        TreeView_SelectItem(tree, item);
    }
    LdMenuState state = LdMenuStateOf(CurrentRecord(), SelectedTreeTag(tree));
    if (state.show)
        TrackLdMenu(page, &state, ContextMenuPoint(tree, lParam));
}

static void OnContextMenu(HWND page, HWND control, LPARAM lParam)
{
    if (control == GetDlgItem(page, IDC_P0_LD_TREE))
        OnTreeContextMenu(page, control, lParam);
    else
        PageListContextMenu(page, control, lParam, 0, IDC_PD_LIST, 0);
}

INT_PTR CALLBACK Page0Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitPage(page);
        return TRUE;
    case GUI_PAGE_REFRESH:
        RunPageRefresh(page, lParam, FillPage);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, wParam);
        return TRUE;
    case WM_CONTEXTMENU:
        OnContextMenu(page, (HWND)wParam, lParam);
        return TRUE;
    case WM_NOTIFY: {
        // A double click is the first menu item: LD or PD information.
        const NMHDR *header = (const NMHDR *)lParam;
        if (header->code == NM_DBLCLK && header->idFrom == IDC_P0_LD_TREE)
            OnLdInfo(page, 0);
        else
            PageListDoubleClick(page, header, 0, IDC_PD_LIST, 0);
        return FALSE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
