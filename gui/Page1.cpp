// Create LD tab: the page that hosts the Single LD and Multi LD sub-pages and opens the custom
// configuration dialog, and the Single LD sub-page itself (layouts, what will be built, PDs).
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "gui/Controls_win.h"
#include "gui/CreateLdShared.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page1Actions.h"
#include "gui/Page1Logic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static const char kPatternFile[] = "confpat1.csv";

// ---------------------------------------------------------------------------------------------
// The host page: a tab strip with the two sub-pages
// ---------------------------------------------------------------------------------------------
static HWND g_subPages[2];

static HWND SubTab(HWND page)
{
    return GetDlgItem(page, IDC_P1_TAB);
}

static void PlaceSubPage(HWND page, HWND sub)
{
    HWND tab = SubTab(page);
    RECT rc;
    GetWindowRect(tab, &rc);
    MapWindowPoints(NULL, page, (POINT *)&rc, 2);
    TabCtrl_AdjustRect(tab, FALSE, &rc);
    SetWindowPos(sub, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
}

static void InitHostPage(HWND page)
{
    HWND tab = SubTab(page);
    static const char *const kTitles[2] = { "Single LD", "Multi LD" };
    static const WORD kTemplates[2] = { IDD_PAGE10, IDD_PAGE11 };
    static const DLGPROC kProcs[2] = { Page10Proc, Page11Proc };
    for (int i = 0; i < 2; ++i) {
        TCITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = TCIF_TEXT;
        item.pszText = (LPSTR)kTitles[i];
        TabCtrl_InsertItem(tab, i, &item);
        g_subPages[i] = CreateDialogParamA((HINSTANCE)GetWindowLongPtrA(page, GWLP_HINSTANCE),
                                           MAKEINTRESOURCEA(kTemplates[i]), page, kProcs[i], 0);
        if (g_subPages[i]) {
            PlaceSubPage(page, g_subPages[i]);
            ShowWindow(g_subPages[i], i == 0 ? SW_SHOW : SW_HIDE);
        }
    }
    TabCtrl_SetCurSel(tab, 0);
}

static int SelectedSub(HWND page)
{
    int sel = TabCtrl_GetCurSel(SubTab(page));
    return sel == 1 ? 1 : 0;
}

static void ShowSelectedSub(HWND page, int refresh)
{
    int sel = SelectedSub(page);
    for (int i = 0; i < 2; ++i)
        ShowWindow(g_subPages[i], i == sel ? SW_SHOW : SW_HIDE);
    if (refresh)
        GuiPostRefresh(g_subPages[sel], GUI_REFRESH_FULL);
}

INT_PTR CALLBACK Page1Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitHostPage(page);
        return TRUE;
    case GUI_PAGE_REFRESH:
        ShowSelectedSub(page, 1);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *hdr = (const NMHDR *)lParam;
        if (hdr->idFrom == IDC_P1_TAB && hdr->code == TCN_SELCHANGE)
            ShowSelectedSub(page, 1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_P1_CUSTOM && RunCustomConfigDialog(page))
            GuiPostRefresh(g_subPages[SelectedSub(page)], GUI_REFRESH_FULL);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}

// ---------------------------------------------------------------------------------------------
// Single LD sub-page
// ---------------------------------------------------------------------------------------------
static CreateLdModel g_singleModel;
static EasyPlan g_singlePlan;

static void SetSingleSummary(HWND sub, int offer)
{
    char text[CREATE_SUMMARY_SIZE];
    const ContData *records = g_records;
    if (g_singleModel.singleCount == 0) {
        LoadGuiString(IDS_CREATE_NO_CONFIGURATION, text, sizeof(text));
    } else if (offer < 0) {
        LoadGuiString(IDS_CREATE_PICK_LAYOUT, text, sizeof(text));
    } else {
        int outcome = PlanSingleOffer(&g_singlePlan, &g_singleModel, records, offer);
        if (outcome == LAYOUT_OK)
            PlanSummaryText(text, sizeof(text), &g_singlePlan, records);
        else
            LoadGuiString(LayoutOutcomeTextId(outcome), text, sizeof(text));
    }
    SetDlgItemTextA(sub, IDC_P10_SUMMARY, text);
    EnableWindow(GetDlgItem(sub, IDC_P10_CREATE), offer >= 0 && g_singleModel.singleCount > 0);
}

static int SelectedOffer(HWND sub)
{
    return ListView_GetNextItem(GetDlgItem(sub, IDC_P10_LAYOUTS), -1, LVNI_SELECTED);
}

static void FillSingleLayouts(HWND sub)
{
    HWND list = GetDlgItem(sub, IDC_P10_LAYOUTS);
    ListView_DeleteAllItems(list);
    for (int i = 0; i < g_singleModel.singleCount; ++i) {
        char text[64], line[80];
        SingleOfferText(text, sizeof(text), &g_singleModel.singles[i], g_singleModel.contNo);
        snprintf(line, sizeof(line), "(%d) %s", i + 1, text);
        LVITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = line;
        ListView_InsertItem(list, &item);
    }
    if (g_singleModel.singleCount > 0)
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetSingleSummary(sub, g_singleModel.singleCount > 0 ? 0 : -1);
}

static void RefreshSingle(HWND sub)
{
    if (!CreateLdRefreshRecord())
        return;
    if (!LoadCreateLdModel(&g_singleModel, g_records, g_gui.currentCtrl, kPatternFile))
        ShowErrorBox(sub, IDS_CREATE_PATTERN_MISSING, IDS_CAPTION_CREATE_LD);
    FillSingleLayouts(sub);
    CreateLdFillPdList(sub);
}

static void OnSingleCreate(HWND sub)
{
    int offer = SelectedOffer(sub);
    if (offer < 0 || offer >= g_singleModel.singleCount)
        return;
    CreateLdContext context = { sub, g_gui.currentCtrl, g_records, NULL };
    ActionBegin();
    int outcome = PlanSingleOffer(&g_singlePlan, &g_singleModel, g_records, offer);
    int created = ShowLayoutOutcome(&context, outcome) && CreatePlannedLds(&context, &g_singlePlan);
    EndPageAction(sub, created);
}

INT_PTR CALLBACK Page10Proc(HWND sub, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CreateLdInitPdList(sub);
        AddListColumn(GetDlgItem(sub, IDC_P10_LAYOUTS), 0, "Configuration", 130, 0);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *hdr = (const NMHDR *)lParam;
        if (hdr->idFrom == IDC_P10_LAYOUTS && hdr->code == LVN_ITEMCHANGED &&
            (((const NMLISTVIEW *)lParam)->uNewState & LVIS_SELECTED))
            SetSingleSummary(sub, ((const NMLISTVIEW *)lParam)->iItem);
        else if (hdr->idFrom == IDC_P10_LAYOUTS && hdr->code == NM_DBLCLK)
            OnSingleCreate(sub);
        return TRUE;
    }
    case GUI_PAGE_REFRESH:
        RefreshSingle(sub);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_P10_CREATE:
            OnSingleCreate(sub);
            return TRUE;
        default:
            return CreateLdPdCommand(sub, LOWORD(wParam));
        }
    case WM_CONTEXTMENU:
        CreateLdPdContextMenu(sub, (HWND)wParam, lParam);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
