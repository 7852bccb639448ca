// Maintenance page: controller selector, patrol read, test event, the LD list with its four
// action buttons and the PD list. Decisions come from Page5Logic; the timer refresh of the main
// window lands here.
#include <windows.h>
#include <commctrl.h>

#include "gui/Completion.h"
#include "gui/Controls_win.h"
#include "gui/CtrlList.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page5Logic.h"
#include "gui/PageLists_win.h"
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

static void FillLdRows(HWND list)
{
    static LdListRow views[LD_MAX];
    int count = BuildLdRows(CurrentRecord(), g_ldRows, LD_MAX);
    for (int r = 0; r < count; r++) {
        views[r].target = g_ldRows[r].target;
        views[r].columns = LD_COLUMNS;
        for (int c = 0; c < LD_COLUMNS; c++)
            views[r].cells[c] = g_ldRows[r].cells[c];
    }
    FillLdListRows(list, views, count);
}

static void FillLists(HWND page)
{
    FillLdRows(GetDlgItem(page, IDC_LD_LIST));
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
    LoadPageEventTable();
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

static void FillPage(HWND page)
{
    SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_SETCURSEL, g_gui.currentCtrl, 0);
    FillLists(page);
}

static void OnRefresh(HWND page, LPARAM reason)
{
    if (RunPageRefresh(page, reason, FillPage) >= 0 && ReportEventTableProblem(page))
        PostHeldRefreshes(page);
}

typedef int (*LdAction)(void *owner, const uint8_t *targets, int count);

static void RunLdAction(HWND page, LdAction action)
{
    uint8_t targets[LD_MAX];
    int count = (int)SelectedLdTargets(GetDlgItem(page, IDC_LD_LIST), targets, LD_MAX);
    action(page, targets, count);
    AfterPageAction(page, 1);
}

static void RunPageAction(HWND page, int (*action)(void *owner))
{
    action(page);
    AfterPageAction(page, 1);
}

static int TickedRadio(HWND page)
{
    if (IsDlgButtonChecked(page, IDC_P5_EVENT_ERROR) == BST_CHECKED)
        return EVENT_RADIO_ERROR;
    if (IsDlgButtonChecked(page, IDC_P5_EVENT_WARNING) == BST_CHECKED)
        return EVENT_RADIO_WARNING;
    return EVENT_RADIO_INFORMATION;
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_CTRL_SELECT:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnCtrlSelected(page, PAGE_MAINTENANCE);
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
        PostHeldRefreshes(page);
        break;
    default:
        PageListCommand(page, LOWORD(wParam), IDS_CAPTION_MAINTENANCE);
        break;
    }
}

INT_PTR CALLBACK Page5Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitPage, OnRefresh, OnCommand, NULL, IDC_LD_LIST, IDC_PD_LIST, 0};
    return PageMessage(&handlers, page, message, wParam, lParam);
}
