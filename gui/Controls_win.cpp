// Copies page-logic results into list views, trees and combo boxes.
#include "gui/Controls_win.h"

#include <commctrl.h>

void AddListColumn(HWND list, int index, const char *title, int widthUnits, int rightAlign)
{
    RECT rc = {0, 0, widthUnits, 1};
    MapDialogRect(GetParent(list), &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = rightAlign ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.pszText = (LPSTR)title;
    column.cx = rc.right;
    ListView_InsertColumn(list, index, &column);
}

void SetupPdListColumns(HWND list)
{
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < PD_COLUMNS; c++)
        AddListColumn(list, c, kPdColumns[c].title, kPdColumns[c].width, kPdColumns[c].rightAlign);
}

void FillPdList(HWND list, const PdRow *rows, int count)
{
    int selected = SelectedListParam(list);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (int i = 0; i < count; i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = (LPSTR)rows[i].cells[0];
        item.lParam = rows[i].slot;
        int index = ListView_InsertItem(list, &item);
        for (int c = 1; c < PD_COLUMNS; c++)
            ListView_SetItemText(list, index, c, (LPSTR)rows[i].cells[c]);
        if (rows[i].slot == selected)
            ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

int SelectedListParam(HWND list)
{
    if (ListView_GetSelectedCount(list) != 1)
        return -1;
    int index = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (index < 0 || !ListView_GetItem(list, &item))
        return -1;
    return (int)item.lParam;
}

void FillCtrlCombo(HWND combo, const CtrlEntries *entries, int selected)
{
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < entries->count; i++)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)entries->text[i]);
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

void FillLdTree(HWND tree, const TreeNodes *nodes)
{
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree);
    HTREEITEM parents[3] = {TVI_ROOT, TVI_ROOT, TVI_ROOT};
    HTREEITEM firstRoot = NULL;
    for (int i = 0; i < nodes->count; i++) {
        const TreeNode *n = &nodes->nodes[i];
        TVINSERTSTRUCTA ins = {};
        ins.hParent = n->depth == 0 ? TVI_ROOT : parents[n->depth - 1];
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = (LPSTR)n->text;
        ins.item.lParam = (LPARAM)n->tag;
        HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
        if (n->depth < 3)
            parents[n->depth] = item;
        if (n->depth == 0 && !firstRoot)
            firstRoot = item;
    }
    // Expand every level, then select the first group.
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root)) {
        TreeView_Expand(tree, root, TVE_EXPAND);
        for (HTREEITEM child = TreeView_GetChild(tree, root); child; child = TreeView_GetNextSibling(tree, child))
            TreeView_Expand(tree, child, TVE_EXPAND);
    }
    if (firstRoot)
        TreeView_SelectItem(tree, firstRoot);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
}

void ShowControl(HWND page, int id, int show)
{
    ShowWindow(GetDlgItem(page, id), show ? SW_SHOW : SW_HIDE);
}

static void AppendItem(HMENU menu, UINT id, const char *text, int enabled)
{
    AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

static void TrackAndPost(HWND page, HMENU menu, POINT at)
{
    UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, page,
                                        NULL);
    DestroyMenu(menu);
    if (command != 0)
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void TrackPdMenu(HWND page, const PdMenuState *state, POINT at)
{
    HMENU menu = CreatePopupMenu();
    AppendItem(menu, ID_HDD_MENU_INFO, "Physical Drive Information", state->info);
    AppendItem(menu, ID_HDD_MENU_RELOAD, "Refresh", state->reload);
    AppendItem(menu, ID_HDD_MENU_STS_GOOD, "Make Drive Online", state->online);
    AppendItem(menu, ID_HDD_MENU_STS_FAIL, "Make Drive Offline", state->offline);
    AppendItem(menu, ID_HDD_MENU_STS_UNCONF_GOOD, "Make Drive Unconfigured Good", state->unconfGood);
    HMENU location = CreatePopupMenu();
    AppendItem(location, ID_HDD_MENU_LED_ACT, "ON", state->locate);
    AppendItem(location, ID_HDD_MENU_LED_OFF, "OFF", state->locate);
    AppendMenuA(menu, MF_POPUP | (state->locate ? MF_ENABLED : MF_GRAYED), (UINT_PTR)location, "Location");
    TrackAndPost(page, menu, at);
}

void TrackLdMenu(HWND page, const LdMenuState *state, POINT at)
{
    HMENU menu = CreatePopupMenu();
    AppendItem(menu, ID_LD_MENU_INFO, "Logical Drive Information", 1);
    if (state->snapshotItem)
        AppendItem(menu, ID_LD_MENU_SNAPSHOT_INFO, "Snapshot Information", state->snapshotInfo);
    AppendItem(menu, ID_LD_MENU_RELOAD, "Refresh", 1);
    TrackAndPost(page, menu, at);
}

POINT ContextMenuPoint(HWND control, LPARAM lParam)
{
    POINT at;
    if (lParam != (LPARAM)-1) {
        at.x = (short)LOWORD(lParam);
        at.y = (short)HIWORD(lParam);
        return at;
    }
    RECT rc;
    GetWindowRect(control, &rc);
    at.x = rc.left + 20;
    at.y = rc.top + 20;
    return at;
}
