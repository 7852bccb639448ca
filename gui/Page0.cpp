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

// A full refresh that arrived while an action ran; posted again once it ended.
static int g_fullRefreshHeld;

static void PostHeldRefresh(HWND page)
{
    if (ActionRunning())
        return;
    if (g_fullRefreshHeld) {
        g_fullRefreshHeld = 0;
        GuiPostRefresh(page, GUI_REFRESH_FULL);
    }
    if (TakeHeldTimerRefresh())
        MainPostHeldTimerRefresh();
}

static void OnRefresh(HWND page, LPARAM reason)
{
    // Never inside an action or its box: the box's message loop would run it there.
    if (ActionRunning()) {
        if (reason == GUI_REFRESH_TIMER)
            g_gui.timerRefreshPending = 1;
        else
            g_fullRefreshHeld = 1;
        return;
    }
    BeginWaitCursor();
    int ok = RefreshCurrentRecord();
    if (ok) {
        SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_SETCURSEL, g_gui.currentCtrl, 0);
        ApplyVisibility(page);
        FillTree(page);
        FillList(page);
    }
    EndWaitCursor();
    if (ok)
        CheckOperationCompletion(page);
    PostHeldRefresh(page);
}

static void OnCtrlSelChange(HWND page)
{
    int selected = (int)SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected == g_gui.currentCtrl)
        return;
    BeginWaitCursor();
    CtrlChange change = ChangeCurrentController((uint8_t)selected);
    EndWaitCursor();
    if (!change.ok) {
        SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_SETCURSEL, g_gui.currentCtrl, 0);
        return;
    }
    MainApplyControllerChange(change.snapshotChange, PAGE_DASHBOARD);
}

static const PdRow *SelectedRow(HWND page, PdRow *row)
{
    int slot = SelectedListParam(GetDlgItem(page, IDC_PD_LIST));
    if (slot < 0)
        return NULL;
    FillPdRow(CurrentRecord(), (uint8_t)slot, row);
    return row;
}

static void OnPdAction(HWND page, int action)
{
    PdRow row;
    RunPdAction(action, page, IDS_CAPTION_DASHBOARD, SelectedRow(page, &row));
    GuiPostRefresh(page, GUI_REFRESH_FULL);
    PostHeldRefresh(page);
}

static void OnReload(HWND page, int tree)
{
    BeginWaitCursor();
    if (RefreshCurrentRecord()) {
        if (tree)
            FillTree(page);
        else
            FillList(page);
    }
    EndWaitCursor();
}

static void OnLearnCycle(HWND page)
{
    OnButtonCacheBkupDiag(page);
    PostHeldRefresh(page);
}

static uint32_t SelectedTreeTag(HWND tree);

// A property dialog of the current controller; the page shows what it may have changed.
static void AfterDialog(HWND page)
{
    GuiPostRefresh(page, GUI_REFRESH_FULL);
    if (TakeHeldTimerRefresh())
        MainPostHeldTimerRefresh();
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

static void OnPdInfo(HWND page)
{
    int slot = SelectedListParam(GetDlgItem(page, IDC_PD_LIST));
    PdRow row;
    if (slot < 0 || !FillPdRow(CurrentRecord(), (uint8_t)slot, &row) || !PdMenuStateOf(CurrentRecord(), &row).info)
        return;
    ShowPdInfoDialog(page, g_gui.currentCtrl, (uint8_t)slot);
    AfterDialog(page);
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_CTRL_SELECT:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnCtrlSelChange(page);
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
    case ID_HDD_MENU_INFO:
        OnPdInfo(page);
        break;
    case ID_HDD_MENU_STS_GOOD:
        OnPdAction(page, PD_ACTION_ONLINE);
        break;
    case ID_HDD_MENU_STS_FAIL:
        OnPdAction(page, PD_ACTION_OFFLINE);
        break;
    case ID_HDD_MENU_STS_UNCONF_GOOD:
        OnPdAction(page, PD_ACTION_UNCONF_GOOD);
        break;
    case ID_HDD_MENU_LED_ACT:
        OnPdAction(page, PD_ACTION_LOCATE_ON);
        break;
    case ID_HDD_MENU_LED_OFF:
        OnPdAction(page, PD_ACTION_LOCATE_OFF);
        break;
    case ID_HDD_MENU_RELOAD:
        OnReload(page, 0);
        break;
    case ID_LD_MENU_RELOAD:
        OnReload(page, 1);
        break;
    default:
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

static void OnListContextMenu(HWND page, HWND list, LPARAM lParam)
{
    PdRow row;
    if (!SelectedRow(page, &row))
        return;
    PdMenuState state = PdMenuStateOf(CurrentRecord(), &row);
    TrackPdMenu(page, &state, ContextMenuPoint(list, lParam));
}

static void OnContextMenu(HWND page, HWND control, LPARAM lParam)
{
    if (control == GetDlgItem(page, IDC_P0_LD_TREE))
        OnTreeContextMenu(page, control, lParam);
    else if (control == GetDlgItem(page, IDC_PD_LIST))
        OnListContextMenu(page, control, lParam);
}

INT_PTR CALLBACK Page0Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitPage(page);
        return TRUE;
    case GUI_PAGE_REFRESH:
        OnRefresh(page, lParam);
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
        else if (header->code == NM_DBLCLK && header->idFrom == IDC_PD_LIST)
            OnPdInfo(page);
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
