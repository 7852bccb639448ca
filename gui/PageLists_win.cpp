// Shared list handling of the pages: LD columns and rows, the LD and PD pop-up menus and double
// clicks, and their commands (the PD actions run under the page's caption).
#include "gui/PageLists_win.h"

#include <commctrl.h>

#include "gui/Controls_win.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/PropDialogs.h"
#include "gui/Utility.h"
#include "gui/resource.h"

// The list whose menu was opened last, so the command acts on its selection.
static int g_menuList;

void SetupLdListColumns(HWND list)
{
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < DELETE_LD_COLUMNS; i++)
        AddListColumn(list, i, kDeleteLdColumns[i].title, kDeleteLdColumns[i].width, kDeleteLdColumns[i].rightAlign);
}

void SetListCell(HWND list, int row, int column, const char *text)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = column;
    item.pszText = (LPSTR)text;
    SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

static int WasSelected(const uint8_t *targets, unsigned count, uint8_t target)
{
    for (unsigned i = 0; i < count; i++)
        if (targets[i] == target)
            return 1;
    return 0;
}

// Refills the list; rows whose LD was selected before are selected again.
void FillLdListRows(HWND list, const LdListRow *rows, int count)
{
    uint8_t selected[LD_MAX];
    unsigned selectedCount = SelectedLdTargets(list, selected, LD_MAX);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (int i = 0; i < count; i++) {
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = (LPSTR)rows[i].cells[0];
        item.lParam = rows[i].target;
        int at = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (int c = 1; c < rows[i].columns && c < LD_LIST_MAX_COLUMNS; c++)
            SetListCell(list, at, c, rows[i].cells[c]);
        if (WasSelected(selected, selectedCount, rows[i].target))
            ListView_SetItemState(list, at, LVIS_SELECTED, LVIS_SELECTED);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void FillLdList(HWND list, const DeleteLdRow *rows, int count)
{
    static LdListRow views[LD_MAX];
    int n = 0;
    for (; n < count && n < LD_MAX; n++) {
        views[n].target = rows[n].target;
        views[n].columns = DELETE_LD_COLUMNS;
        for (int c = 0; c < DELETE_LD_COLUMNS; c++)
            views[n].cells[c] = rows[n].cells[c];
    }
    FillLdListRows(list, views, n);
}

unsigned SelectedLdTargets(HWND list, uint8_t *targets, unsigned max)
{
    unsigned n = 0;
    int at = -1;
    while (n < max && (at = ListView_GetNextItem(list, at, LVNI_SELECTED)) >= 0) {
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_PARAM;
        item.iItem = at;
        if (SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item))
            targets[n++] = (uint8_t)item.lParam;
    }
    return n;
}

static int SelectedLdTag(HWND page, int ldListId, uint32_t *tag)
{
    uint8_t targets[1];
    if (!ldListId || SelectedLdTargets(GetDlgItem(page, ldListId), targets, 1) != 1)
        return 0;
    *tag = NODE_TAG_LD + targets[0];
    return 1;
}

int PageListContextMenu(HWND page, HWND control, LPARAM lParam, int ldListId, int pdListId1, int pdListId2)
{
    int id = GetDlgCtrlID(control);
    if (ldListId && id == ldListId) {
        uint32_t tag = 0;
        if (!SelectedLdTag(page, ldListId, &tag))
            return 1;
        LdMenuState state = LdMenuStateOf(CurrentRecord(), tag);
        g_menuList = id;
        if (state.show)
            TrackLdMenu(page, &state, ContextMenuPoint(control, lParam));
        return 1;
    }
    if ((pdListId1 && id == pdListId1) || (pdListId2 && id == pdListId2)) {
        int slot = SelectedListParam(control);
        if (slot < 0)
            return 1;
        PdRow row;
        FillPdRow(CurrentRecord(), (uint8_t)slot, &row);
        PdMenuState state = PdMenuStateOf(CurrentRecord(), &row);
        g_menuList = id;
        TrackPdMenu(page, &state, ContextMenuPoint(control, lParam));
        return 1;
    }
    return 0;
}

static int PdAction(HWND page, int action, uint16_t captionId)
{
    int slot = g_menuList ? SelectedListParam(GetDlgItem(page, g_menuList)) : -1;
    PdRow row;
    if (slot >= 0)
        FillPdRow(CurrentRecord(), (uint8_t)slot, &row);
    RunPdAction(action, page, captionId, slot >= 0 ? &row : NULL);
    AfterPageAction(page, 1);
    return 1;
}

static int InfoDialog(HWND page, int command)
{
    if (!g_menuList)
        return 1;
    HWND list = GetDlgItem(page, g_menuList);
    if (command == ID_HDD_MENU_INFO) {
        // Only a disk that is there has information, as the menu item says.
        int slot = SelectedListParam(list);
        PdRow row;
        if (slot < 0 || !FillPdRow(CurrentRecord(), (uint8_t)slot, &row) || !PdMenuStateOf(CurrentRecord(), &row).info)
            return 1;
        ShowPdInfoDialog(page, g_gui.currentCtrl, (uint8_t)slot);
    } else {
        uint8_t targets[1];
        if (SelectedLdTargets(list, targets, 1) == 1) {
            if (command == ID_LD_MENU_INFO)
                ShowLdInfoDialog(page, g_gui.currentCtrl, targets[0]);
            else
                ShowLdSnapshotInfoDialog(page, g_gui.currentCtrl, targets[0]);
        }
    }
    AfterPageAction(page, 1);
    return 1;
}

int PageListCommand(HWND page, int command, uint16_t captionId)
{
    switch (command) {
    case ID_HDD_MENU_STS_GOOD:
        return PdAction(page, PD_ACTION_ONLINE, captionId);
    case ID_HDD_MENU_STS_FAIL:
        return PdAction(page, PD_ACTION_OFFLINE, captionId);
    case ID_HDD_MENU_STS_UNCONF_GOOD:
        return PdAction(page, PD_ACTION_UNCONF_GOOD, captionId);
    case ID_HDD_MENU_LED_ACT:
        return PdAction(page, PD_ACTION_LOCATE_ON, captionId);
    case ID_HDD_MENU_LED_OFF:
        return PdAction(page, PD_ACTION_LOCATE_OFF, captionId);
    case ID_HDD_MENU_INFO:
    case ID_LD_MENU_INFO:
    case ID_LD_MENU_SNAPSHOT_INFO:
        return InfoDialog(page, command);
    case ID_HDD_MENU_RELOAD:
    case ID_LD_MENU_RELOAD:
        GuiPostRefresh(page, GUI_REFRESH_FULL);
        return 1;
    default:
        return 0;
    }
}

int PageListDoubleClick(HWND page, const NMHDR *header, int ldListId, int pdListId1, int pdListId2)
{
    if (header->code != NM_DBLCLK)
        return 0;
    int id = (int)header->idFrom;
    if (ldListId && id == ldListId) {
        g_menuList = id;
        return InfoDialog(page, ID_LD_MENU_INFO);
    }
    if ((pdListId1 && id == pdListId1) || (pdListId2 && id == pdListId2)) {
        g_menuList = id;
        return InfoDialog(page, ID_HDD_MENU_INFO);
    }
    return 0;
}

INT_PTR PageMessage(const PageHandlers *h, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        h->init(page);
        return TRUE;
    case GUI_PAGE_REFRESH:
        h->refresh(page, lParam);
        return TRUE;
    case WM_COMMAND:
        h->command(page, wParam);
        return TRUE;
    case WM_CONTEXTMENU:
        PageListContextMenu(page, (HWND)wParam, lParam, h->ldListId, h->pdListId1, h->pdListId2);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        if (!PageListDoubleClick(page, header, h->ldListId, h->pdListId1, h->pdListId2) && h->notify)
            h->notify(page, header);
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
