// The version dialog: product, file and storage-library versions and the legal notice.
#include <windows.h>
#include <commctrl.h>

#include "gui/MainWnd.h"
#include "gui/VersionInfo.h"
#include "gui/resource.h"

static void AddColumn(HWND list, int index, const char *title, int widthUnits)
{
    RECT rc = {0, 0, widthUnits, 1};
    MapDialogRect(GetParent(list), &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = (LPSTR)title;
    column.cx = rc.right;
    ListView_InsertColumn(list, index, &column);
}

static void OnInitVersionInfo(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_VER_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    AddColumn(list, 0, "Column", 200);
    AddColumn(list, 1, "Value", 200);
    ToolVersion program;
    if (!ReadProgramVersion(&program, 1))
        return;
    VersionRows rows;
    BuildVersionRows(&program, &rows);
    for (int i = 0; i < rows.count; i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (LPSTR)rows.rows[i].name;
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, i, 1, rows.rows[i].value);
    }
    SetDlgItemTextA(dialog, IDC_VER_LEGAL, rows.legal);
}

static INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        OnInitVersionInfo(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CLOSE || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}

void ShowVersionDialog(void *owner)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_VERSION), (HWND)owner, VersionProc, 0);
}
