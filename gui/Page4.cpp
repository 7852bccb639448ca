// Restore LD page: one tab per foreign configuration over the LDs it would restore and its PDs,
// "Restore" and "Delete". Selecting the page scans the controller again.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include "common/ContData.h"
#include "common/ForeignConfig.h"
#include "gui/Completion.h"
#include "gui/Controls_win.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page4Logic.h"
#include "gui/PageLists_win.h"
#include "gui/Utility.h"
#include "gui/resource.h"

enum { RESTORE_COLUMNS = 4 };

static const DeleteLdColumn kRestoreColumns[RESTORE_COLUMNS] = {
    {"RLD No.",      50, 0},
    {"RAID Level",   60, 0},
    {"Capacity[GB]", 70, 1},
    {"# of PD",      50, 1},
};

static RestoreInfo g_restore;
static PdRow g_pdRows[RESTORE_PD_MAX];

static HWND ConfigTab(HWND page)
{
    return GetDlgItem(page, IDC_P4_TAB);
}

static int ShownConfig(HWND page)
{
    return TabCtrl_GetCurSel(ConfigTab(page));
}

static void FillLdRows(HWND page, int config)
{
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    ListView_DeleteAllItems(list);
    if (config < 0 || (uint32_t)config >= g_restore.configCount)
        return;
    for (unsigned i = 0; i < g_restore.configs[config].ldCount; i++) {
        char cell[64];
        RestoreLdCellText(cell, sizeof(cell), &g_restore, config, i, 0, g_gui.currentCtrl);
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = (int)i;
        item.pszText = cell;
        item.lParam = (LPARAM)i;
        int at = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (int c = 1; c < RESTORE_COLUMNS; c++) {
            RestoreLdCellText(cell, sizeof(cell), &g_restore, config, i, c, g_gui.currentCtrl);
            SetListCell(list, at, c, cell);
        }
    }
}

static void FillPdRows(HWND page, int config)
{
    int count = 0;
    if (config >= 0 && (uint32_t)config < g_restore.configCount) {
        const RestoreConfig *c = &g_restore.configs[config];
        for (unsigned i = 0; i < c->pdCount && count < RESTORE_PD_MAX; i++) {
            uint8_t slot = 0;
            if (SlotOfDevice(CurrentRecord(), c->devices[i], &slot))
                FillPdRow(CurrentRecord(), slot, &g_pdRows[count++]);
        }
    }
    FillPdList(GetDlgItem(page, IDC_PD_LIST), g_pdRows, count);
}

static void ShowConfig(HWND page, int config)
{
    FillLdRows(page, config);
    FillPdRows(page, config);
    int any = config >= 0 && (uint32_t)config < g_restore.configCount;
    EnableWindow(GetDlgItem(page, IDC_P4_RESTORE), any);
    EnableWindow(GetDlgItem(page, IDC_P4_DELETE), any);
}

static void FillTabs(HWND page)
{
    HWND tab = ConfigTab(page);
    int keep = ShownConfig(page);
    TabCtrl_DeleteAllItems(tab);
    for (uint32_t i = 0; i < g_restore.configCount; i++) {
        char text[64];
        RestoreTabText(text, sizeof(text), &g_restore, (int)i);
        TCITEMA item;
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageA(tab, TCM_INSERTITEMA, (WPARAM)i, (LPARAM)&item);
    }
    int shown = keep >= 0 && (uint32_t)keep < g_restore.configCount ? keep : (g_restore.configCount ? 0 : -1);
    TabCtrl_SetCurSel(tab, shown);
    ShowConfig(page, shown);
}

static void OnRefresh(HWND page, LPARAM reason)
{
    if (reason == GUI_REFRESH_TIMER || !PageRefreshMayRun(page, reason))
        return;
    BeginWaitCursor();
    int ok = RefreshCurrentRecord();
    if (ok)
        ScanRestoreInfo(&g_restore);
    EndWaitCursor();
    if (!ok) {
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
        return;
    }
    FillTabs(page);
    CheckOperationCompletion(page);
    PostHeldRefreshes(page);
}

static void OnInitPage(HWND page)
{
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < RESTORE_COLUMNS; i++)
        AddListColumn(list, i, kRestoreColumns[i].title, kRestoreColumns[i].width, kRestoreColumns[i].rightAlign);
    SetupPdListColumns(GetDlgItem(page, IDC_PD_LIST));
    ShowConfig(page, -1);
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_P4_RESTORE:
        AfterPageAction(page, RestoreForeignConfig(page, &g_restore, ShownConfig(page)) != RESTORE_NOTHING);
        break;
    case IDC_P4_DELETE:
        AfterPageAction(page, ReleaseForeignConfig(page, &g_restore, ShownConfig(page)) != RESTORE_NOTHING);
        break;
    default:
        PageListCommand(page, LOWORD(wParam), IDS_CAPTION_RESTORE_LD);
        break;
    }
}

static void OnNotify(HWND page, const NMHDR *header)
{
    if (header->idFrom == IDC_P4_TAB && header->code == TCN_SELCHANGE)
        ShowConfig(page, ShownConfig(page));
}

INT_PTR CALLBACK Page4Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitPage, OnRefresh, OnCommand, OnNotify, 0, IDC_PD_LIST, 0};
    return PageMessage(&handlers, page, message, wParam, lParam);
}
