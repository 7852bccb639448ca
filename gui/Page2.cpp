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

static void OnInitPage(HWND page)
{
    SetupLdListColumns(GetDlgItem(page, IDC_LD_LIST));
    FillPage(page);
}

static void OnCommand(HWND page, WPARAM wParam)
{
    if (LOWORD(wParam) == IDC_P2_DELETE && HIWORD(wParam) == BN_CLICKED)
        OnDeleteBtnClicked(page);
    else
        PageListCommand(page, LOWORD(wParam), IDS_CAPTION_DELETE_LD);
}

INT_PTR CALLBACK Page2Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitPage, OnRefresh, OnCommand, NULL, IDC_LD_LIST, 0, 0};
    return PageMessage(&handlers, page, message, wParam, lParam);
}
