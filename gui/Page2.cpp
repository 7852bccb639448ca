// Delete LD page: the LD list (several rows may be selected) and "Delete". Decisions and boxes
// come from Page2Logic; this copies rows into the list and turns messages into calls.
#include <windows.h>

#include <commctrl.h>

#include "gui/Completion.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/LdRows.h"
#include "gui/MainWnd.h"
#include "gui/Page2Logic.h"
#include "gui/PageLists_win.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static DeleteLdRow g_ldRows[LD_MAX];

static void FillPage(HWND page)
{
    int count = BuildDeleteLdRows(CurrentRecord(), g_gui.currentCtrl, g_ldRows, LD_MAX);
    FillLdList(GetDlgItem(page, IDC_LD_LIST), g_ldRows, count);
}

static void OnRefresh(HWND page, LPARAM reason)
{
    if (RunPageRefresh(page, reason, FillPage) == 0)
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
}

static void OnDeleteBtnClicked(HWND page)
{
    uint8_t targets[LD_MAX];
    unsigned count = SelectedLdTargets(GetDlgItem(page, IDC_LD_LIST), targets, LD_MAX);
    // A refusal or a Cancel changed nothing: the list and its selection stay as they are.
    int outcome = DeleteSelectedLds(page, targets, count);
    AfterPageAction(page, outcome == DELETE_DONE || outcome == DELETE_FAILED);
}

INT_PTR CALLBACK Page2Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetupLdListColumns(GetDlgItem(page, IDC_LD_LIST));
        FillPage(page);
        return TRUE;
    case GUI_PAGE_REFRESH:
        OnRefresh(page, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_P2_DELETE && HIWORD(wParam) == BN_CLICKED)
            OnDeleteBtnClicked(page);
        else
            PageListCommand(page, LOWORD(wParam), IDS_CAPTION_DELETE_LD);
        return TRUE;
    case WM_CONTEXTMENU:
        PageListContextMenu(page, (HWND)wParam, lParam, IDC_LD_LIST, 0, 0);
        return TRUE;
    case WM_NOTIFY:
        PageListDoubleClick(page, (const NMHDR *)lParam, IDC_LD_LIST, 0, 0);
        return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
