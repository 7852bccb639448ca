// Window helpers of the creation windows: their PD list (the Dashboard's columns, menu and PD
// actions, with the boxes under the caption "Create Logical Drive") and combo boxes.
#include "gui/CreateLdShared.h"

#include <commctrl.h>
#include <string.h>

#include "gui/Controls_win.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page0Logic.h"
#include "gui/PageLists_win.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static PdRow g_rows[CONTDATA_PD_SLOTS];

int CreateLdRefreshRecord(void)
{
    BeginWaitCursor();
    int ok = RefreshCurrentRecord();
    EndWaitCursor();
    return ok;
}

void CreateLdInitPdList(HWND window)
{
    SetupPdListColumns(GetDlgItem(window, IDC_PD_LIST));
}

void CreateLdFillPdList(HWND window)
{
    int count = BuildPdRows(CurrentRecord(), g_rows, CONTDATA_PD_SLOTS);
    FillPdList(GetDlgItem(window, IDC_PD_LIST), g_rows, count);
}

int CreateLdPdSlotOfRow(HWND window, int row)
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendDlgItemMessageA(window, IDC_PD_LIST, LVM_GETITEMA, 0, (LPARAM)&item))
        return -1;
    int slot = (int)item.lParam;
    if (slot < 0 || slot >= CONTDATA_PD_SLOTS)
        return -1;
    PdRow pd;
    FillPdRow(CurrentRecord(), (uint8_t)slot, &pd);
    return pd.present ? slot : -1;
}

// The PD list's menu and commands are those of every page's PD list (information, refresh, the
// PD actions), under this window's caption.
void CreateLdPdContextMenu(HWND window, HWND control, LPARAM lParam)
{
    PageListContextMenu(window, control, lParam, 0, IDC_PD_LIST, 0);
}

INT_PTR CreateLdPdCommand(HWND window, WORD id)
{
    return PageListCommand(window, id, IDS_CAPTION_CREATE_LD);
}

void ComboReset(HWND window, int id)
{
    SendDlgItemMessageA(window, id, CB_RESETCONTENT, 0, 0);
}

void ComboAdd(HWND window, int id, const char *text, LPARAM data)
{
    LRESULT index = SendDlgItemMessageA(window, id, CB_ADDSTRING, 0, (LPARAM)text);
    if (index >= 0)
        SendDlgItemMessageA(window, id, CB_SETITEMDATA, (WPARAM)index, data);
}

int ComboSelectedData(HWND window, int id, int fallback)
{
    LRESULT index = SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return fallback;
    return (int)SendDlgItemMessageA(window, id, CB_GETITEMDATA, (WPARAM)index, 0);
}

void ComboSelectData(HWND window, int id, LPARAM data)
{
    LRESULT count = SendDlgItemMessageA(window, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendDlgItemMessageA(window, id, CB_GETITEMDATA, (WPARAM)i, 0) == data) {
            SendDlgItemMessageA(window, id, CB_SETCURSEL, (WPARAM)i, 0);
            return;
        }
    }
    SendDlgItemMessageA(window, id, CB_SETCURSEL, count > 0 ? 0 : (WPARAM)-1, 0);
}
