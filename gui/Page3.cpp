// Hot Spare page: the hot-spare list, the PD list whose rows each carry the hot-spare kind the
// user chose for that PD (radio buttons under the list), "Add", "Delete", and the RAID-group
// dialog of a dedicated hot spare.
#include <windows.h>

#include <commctrl.h>
#include <string.h>

#include "common/Facts.h"
#include "gui/Completion.h"
#include "gui/Controls_win.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page3Logic.h"
#include "gui/PageLists_win.h"
#include "gui/Utility.h"
#include "gui/resource.h"

enum { KIND_COLUMN = PD_COLUMNS };

static PdRow g_spareRows[CONTDATA_PD_SLOTS];
static PdRow g_candidateRows[CONTDATA_PD_SLOTS];
static uint8_t g_kindOfSlot[CONTDATA_PD_SLOTS]; // HotSpareKind chosen per PD, global until changed

static void FillKindColumn(HWND list, int count)
{
    for (int i = 0; i < count; i++)
        SetListCell(list, i, KIND_COLUMN, HotSpareKindText(g_kindOfSlot[g_candidateRows[i].slot]));
}

static void ShowKindOfSelection(HWND page)
{
    int slot = SelectedListParam(GetDlgItem(page, IDC_PD_LIST));
    int kind = slot >= 0 ? (int)g_kindOfSlot[slot] : (int)HOTSPARE_GLOBAL;
    CheckRadioButton(page, IDC_P3_KIND_GLOBAL, IDC_P3_KIND_DEDICATED,
                     kind == HOTSPARE_DEDICATED ? IDC_P3_KIND_DEDICATED : IDC_P3_KIND_GLOBAL);
}

static void FillPage(HWND page)
{
    const ContData *record = CurrentRecord();
    int spares = BuildHotSpareRows(record, g_spareRows, CONTDATA_PD_SLOTS);
    FillPdList(GetDlgItem(page, IDC_P3_HS_LIST), g_spareRows, spares);
    int candidates = BuildSpareCandidateRows(record, g_candidateRows, CONTDATA_PD_SLOTS);
    HWND list = GetDlgItem(page, IDC_PD_LIST);
    FillPdList(list, g_candidateRows, candidates);
    FillKindColumn(list, candidates);
    ShowKindOfSelection(page);
}

static void OnInitPage(HWND page)
{
    SetupPdListColumns(GetDlgItem(page, IDC_P3_HS_LIST));
    HWND list = GetDlgItem(page, IDC_PD_LIST);
    SetupPdListColumns(list);
    AddListColumn(list, KIND_COLUMN, "Hot Spare", 40, 0);
    memset(g_kindOfSlot, HOTSPARE_GLOBAL, sizeof(g_kindOfSlot));
    FillPage(page);
}

static void OnRefresh(HWND page, LPARAM reason)
{
    if (RunPageRefresh(page, reason, FillPage) == 0)
        ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
}

// The kind the radio buttons show becomes the kind of the selected PD row.
static void OnKindClicked(HWND page, int kind)
{
    HWND list = GetDlgItem(page, IDC_PD_LIST);
    int slot = SelectedListParam(list);
    if (slot < 0)
        return;
    g_kindOfSlot[slot] = (uint8_t)kind;
    int at = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (at >= 0)
        SetListCell(list, at, KIND_COLUMN, HotSpareKindText(kind));
}

// ---- RAID group dialog ---------------------------------------------------------------------
struct GroupDialogData {
    const RaidGroupChoice *groups;
    unsigned count;
    int chosen;
};

static INT_PTR CALLBACK SelectGroupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    GroupDialogData *data = (GroupDialogData *)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        data = (GroupDialogData *)lParam;
        char title[GUI_TEXT_SIZE];
        LoadGuiString(IDS_CAPTION_SEL_RG, title, sizeof(title));
        SetWindowTextA(dialog, title);
        for (unsigned i = 0; i < data->count; i++) {
            char text[128];
            RaidGroupChoiceText(text, sizeof(text), CurrentRecord(), g_gui.currentCtrl, &data->groups[i]);
            SendDlgItemMessageA(dialog, IDC_RG_LIST, LB_ADDSTRING, 0, (LPARAM)text);
        }
        SendDlgItemMessageA(dialog, IDC_RG_LIST, LB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_RG_ADD) {
            LRESULT at = SendDlgItemMessageA(dialog, IDC_RG_LIST, LB_GETCURSEL, 0, 0);
            if (at == LB_ERR)
                return TRUE;
            data->chosen = (int)at;
            EndDialog(dialog, IDC_RG_ADD);
        } else if (LOWORD(wParam) == IDC_RG_CANCEL || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDC_RG_CANCEL);
        }
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}

static int ChooseGroup(void *owner, const RaidGroupChoice *groups, unsigned count)
{
    GroupDialogData data = {groups, count, -1};
    INT_PTR result = DialogBoxParamA((HINSTANCE)g_gui.instance, MAKEINTRESOURCEA(IDD_SEL_RG_FOR_DHS), (HWND)owner,
                                     SelectGroupProc, (LPARAM)&data);
    return result == IDC_RG_ADD ? data.chosen : -1;
}

// ---- buttons -------------------------------------------------------------------------------
static void OnAddBtnClicked(HWND page)
{
    int slot = SelectedListParam(GetDlgItem(page, IDC_PD_LIST));
    int kind = slot >= 0 ? (int)g_kindOfSlot[slot] : (int)HOTSPARE_GLOBAL;
    AfterPageAction(page, AddHotSpare(page, slot, kind, ChooseGroup) != HOTSPARE_NOTHING_SELECTED);
}

static void OnDeleteBtnClicked(HWND page)
{
    int slot = SelectedListParam(GetDlgItem(page, IDC_P3_HS_LIST));
    AfterPageAction(page, ReleaseHotSpare(page, slot) != HOTSPARE_NOTHING_SELECTED);
}

static void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_P3_ADD:
        OnAddBtnClicked(page);
        break;
    case IDC_P3_DELETE:
        OnDeleteBtnClicked(page);
        break;
    case IDC_P3_KIND_GLOBAL:
        OnKindClicked(page, HOTSPARE_GLOBAL);
        break;
    case IDC_P3_KIND_DEDICATED:
        OnKindClicked(page, HOTSPARE_DEDICATED);
        break;
    default:
        PageListCommand(page, LOWORD(wParam), IDS_CAPTION_HOT_SPARE);
        break;
    }
}

static void OnNotify(HWND page, const NMHDR *header)
{
    if (header->idFrom == IDC_PD_LIST && header->code == LVN_ITEMCHANGED)
        ShowKindOfSelection(page);
}

INT_PTR CALLBACK Page3Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitPage, OnRefresh, OnCommand, OnNotify, 0, IDC_P3_HS_LIST, IDC_PD_LIST};
    return PageMessage(&handlers, page, message, wParam, lParam);
}
