// Maintenance page: controller selector, patrol read, test event, the LD list with its four
// action buttons and the PD list. Decisions come from Page5Logic; the timer refresh of the main
// window lands here.
#include <windows.h>
#include <commctrl.h>

#include "common/EventLog.h"
#include "gui/Completion.h"
#include "gui/Controls_win.h"
#include "gui/CtrlList.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page5Logic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static LdRow g_ldRows[LD_MAX];
static PdRow g_pdRows[CONTDATA_PD_SLOTS];

static void SetupLists(HWND page)
{
    HWND ld = GetDlgItem(page, IDC_LD_LIST);
    ListView_SetExtendedListViewStyle(ld, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < LD_COLUMNS; c++)
        AddListColumn(ld, c, kLdColumns[c].title, kLdColumns[c].width, 0);
    HWND pd = GetDlgItem(page, IDC_PD_LIST);
    ListView_SetExtendedListViewStyle(pd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < MAINT_PD_COLUMNS; c++)
        AddListColumn(pd, c, kMaintPdColumns[c].title, kMaintPdColumns[c].width, 0);
}

// Keeps the selection of LDs that are still there.
static void FillLdList(HWND list)
{
    uint8_t selected[CONTDATA_LD_TARGETS] = {0};
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (ListView_GetItem(list, &item) && item.lParam >= 0 && item.lParam < CONTDATA_LD_TARGETS)
            selected[item.lParam] = 1;
    }
    int count = BuildLdRows(CurrentRecord(), g_ldRows, LD_MAX);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (int r = 0; r < count; r++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = r;
        item.pszText = g_ldRows[r].cells[0];
        item.lParam = g_ldRows[r].target;
        int index = ListView_InsertItem(list, &item);
        for (int c = 1; c < LD_COLUMNS; c++)
            ListView_SetItemText(list, index, c, g_ldRows[r].cells[c]);
        if (selected[g_ldRows[r].target])
            ListView_SetItemState(list, index, LVIS_SELECTED, LVIS_SELECTED);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

static void FillLists(HWND page)
{
    FillLdList(GetDlgItem(page, IDC_LD_LIST));
    int count = BuildMaintPdRows(CurrentRecord(), g_pdRows, CONTDATA_PD_SLOTS);
    FillPdList(GetDlgItem(page, IDC_PD_LIST), g_pdRows, count);
}

static void SetButtonText(HWND page, int id, uint16_t textId)
{
    char text[GUI_TEXT_SIZE];
    LoadGuiString(textId, text, sizeof(text));
    SetDlgItemTextA(page, id, text);
}

static void OnInitPage(HWND page)
{
    ReadEventInfo();
    SetButtonText(page, IDC_P5_REBUILD, IDS_BTN_REBUILD);
    SetButtonText(page, IDC_P5_CHECK_CONSISTENCY, IDS_BTN_CHECK_CONSISTENCY);
    SetButtonText(page, IDC_P5_INITIALIZE, IDS_BTN_INITIALIZE);
    SetButtonText(page, IDC_P5_STOP, IDS_BTN_STOP);
    SetButtonText(page, IDC_P5_PATROL_READ, IDS_BTN_PATROL_READ);
    SetButtonText(page, IDC_P5_PATROL_STOP, IDS_BTN_STOP);
    SetupLists(page);
    CtrlEntries entries;
    if (CtrlListUpdate(&entries))
        FillCtrlCombo(GetDlgItem(page, IDC_CTRL_SELECT), &entries, g_gui.currentCtrl);
    CheckRadioButton(page, IDC_P5_EVENT_ERROR, IDC_P5_EVENT_INFORMATION, IDC_P5_EVENT_ERROR);
    FillLists(page);
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
    // A refresh never runs inside an action or its box (the box's message loop would run it):
    // it waits for the action's end.
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
        FillLists(page);
    }
    EndWaitCursor();
    if (ok)
        CheckOperationCompletion(page);
    PostHeldRefresh(page);
}

static int SelectedTargets(HWND page, uint8_t *targets)
{
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    int n = 0;
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0 && n < LD_MAX;
         i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (ListView_GetItem(list, &item))
            targets[n++] = (uint8_t)item.lParam;
    }
    return n;
}

typedef int (*LdAction)(void *owner, const uint8_t *targets, int count);

static void RunLdAction(HWND page, LdAction action)
{
    uint8_t targets[LD_MAX];
    int count = SelectedTargets(page, targets);
    action(page, targets, count);
    GuiPostRefresh(page, GUI_REFRESH_FULL);
    PostHeldRefresh(page);
}

static void RunPageAction(HWND page, int (*action)(void *owner))
{
    action(page);
    GuiPostRefresh(page, GUI_REFRESH_FULL);
    PostHeldRefresh(page);
}

static int TickedRadio(HWND page)
{
    if (IsDlgButtonChecked(page, IDC_P5_EVENT_ERROR) == BST_CHECKED)
        return EVENT_RADIO_ERROR;
    if (IsDlgButtonChecked(page, IDC_P5_EVENT_WARNING) == BST_CHECKED)
        return EVENT_RADIO_WARNING;
    return EVENT_RADIO_INFORMATION;
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
    MainApplyControllerChange(change.snapshotChange, PAGE_MAINTENANCE);
}

static const PdRow *SelectedPdRow(HWND page, PdRow *row)
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
    RunPdAction(action, page, IDS_CAPTION_MAINTENANCE, SelectedPdRow(page, &row));
    GuiPostRefresh(page, GUI_REFRESH_FULL);
    PostHeldRefresh(page);
}

static void OnReload(HWND page)
{
    BeginWaitCursor();
    if (RefreshCurrentRecord())
        FillLists(page);
    EndWaitCursor();
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_CTRL_SELECT:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnCtrlSelChange(page);
        break;
    case IDC_P5_REBUILD:
        RunLdAction(page, OnRebuildBtnClicked);
        break;
    case IDC_P5_CHECK_CONSISTENCY:
        RunLdAction(page, OnChkConsistencyBtnClicked);
        break;
    case IDC_P5_INITIALIZE:
        RunLdAction(page, OnInitializeBtnClicked);
        break;
    case IDC_P5_STOP:
        RunLdAction(page, OnStopBtnClicked);
        break;
    case IDC_P5_PATROL_READ:
        RunPageAction(page, OnPatrolReadBtnClicked);
        break;
    case IDC_P5_PATROL_STOP:
        RunPageAction(page, OnPRStopClicked);
        break;
    case IDC_P5_TEST_EVENT:
        OnEventSettingBtnClicked(page, TickedRadio(page));
        PostHeldRefresh(page);
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
    case ID_LD_MENU_RELOAD:
        OnReload(page);
        break;
    default:
        break;
    }
}

static void OnContextMenu(HWND page, HWND control, LPARAM lParam)
{
    if (control == GetDlgItem(page, IDC_PD_LIST)) {
        PdRow row;
        if (!SelectedPdRow(page, &row))
            return;
        PdMenuState state = PdMenuStateOf(CurrentRecord(), &row);
        TrackPdMenu(page, &state, ContextMenuPoint(control, lParam));
    } else if (control == GetDlgItem(page, IDC_LD_LIST)) {
        uint8_t targets[LD_MAX];
        if (SelectedTargets(page, targets) != 1)
            return;
        LdMenuState state = LdMenuStateOf(CurrentRecord(), NODE_TAG_LD + targets[0]);
        TrackLdMenu(page, &state, ContextMenuPoint(control, lParam));
    }
}

INT_PTR CALLBACK Page5Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
