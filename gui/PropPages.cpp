// Pages of the property dialogs: the read-only panes (rebuilt on every refresh) and the Settings
// pages of the controller, an LD and a snapshot base, which copy the logic's lists into combo
// boxes and hand the user's choice back to it.
#include "gui/PropPages.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "gui/ContSettingsLogic.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/InfoPanes.h"
#include "gui/LdSettingsLogic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static PropContext *ContextOf(HWND page)
{
    return (PropContext *)GetWindowLongPtrA(page, DWLP_USER);
}

static void KeepContext(HWND page, LPARAM lParam)
{
    SetWindowLongPtrA(page, DWLP_USER, lParam);
}

INT_PTR PropColourMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    int id = lParam ? GetDlgCtrlID((HWND)lParam) : 0;
    if (message == WM_CTLCOLORSTATIC && (id == IDC_PANE_LEFT || id == IDC_PANE_RIGHT) && g_gui.whiteBrush) {
        SetBkColor((HDC)wParam, RGB(255, 255, 255));
        return (INT_PTR)g_gui.whiteBrush;
    }
    (void)page;
    if (!g_gui.dialogBrush)
        return FALSE;
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN)
        SetBkMode((HDC)wParam, TRANSPARENT);
    return (INT_PTR)g_gui.dialogBrush;
}

// A query the controller pages cannot do without ends the program; the dialog closes with it.
static void FatalFromPage(PropContext *context)
{
    ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    if (context->frame)
        PostMessageA(context->frame, WM_COMMAND, IDOK, 0);
}

// ---------------------------------------------------------------------------------------------
// Read-only panes
// ---------------------------------------------------------------------------------------------
// Panes are written in a fixed-pitch font with a tab stop every 8 characters, so the tabs the
// pane texts carry bring their colons into one column.
static HFONT PaneFont(void)
{
    static HFONT font;
    if (!font)
        font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    return font;
}

static void SetPaneTabStops(HWND page, HWND pane)
{
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, PaneFont());
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
    RECT units = {0, 0, 4, 8};
    MapDialogRect(page, &units);
    int pixelsPerFourUnits = units.right > 0 ? units.right : 4;
    int stop = (8 * metrics.tmAveCharWidth * 4 + pixelsPerFourUnits / 2) / pixelsPerFourUnits;
    SendMessageA(pane, EM_SETTABSTOPS, 1, (LPARAM)&stop);
}

// A pane opens at its first line with nothing selected.
static void ShowPaneText(HWND page, int id, const char *text)
{
    HWND pane = GetDlgItem(page, id);
    if (PaneFont() && (HFONT)SendMessageA(pane, WM_GETFONT, 0, 0) != PaneFont()) {
        SendMessageA(pane, WM_SETFONT, (WPARAM)PaneFont(), FALSE);
        SetPaneTabStops(page, pane);
    }
    SetDlgItemTextA(page, id, text);
    SendDlgItemMessageA(page, id, EM_SETSEL, 0, 0);
    SendDlgItemMessageA(page, id, WM_VSCROLL, SB_TOP, 0);
}

static void FillPanes(HWND page, PropContext *context)
{
    static PaneText left, right;
    ContData *record = &g_records[context->contNo];
    PaneReset(&left);
    PaneReset(&right);
    int ok = 1;
    switch (context->paneKind) {
    case PANE_KIND_CTRL:
        ok = BuildCtrlInfoPanes(context->contNo, record, &left, &right);
        break;
    case PANE_KIND_ENCL:
        BuildEnclInfoPanes(context->contNo, &left, &right);
        break;
    case PANE_KIND_CACHEBKUP:
        BuildCacheBkupPane(context->contNo, &left);
        break;
    case PANE_KIND_LD:
        BuildLdPropertiesPane(g_records, context->contNo, context->target, &left);
        break;
    case PANE_KIND_PD:
        BuildPdPropertiesPane(record, context->contNo, context->target, &left);
        break;
    case PANE_KIND_SNAPSHOT:
        BuildSnapshotInfoPane(record, context->contNo, context->target, &left);
        break;
    case PANE_KIND_VIEW:
        BuildViewInfoPane(record, context->contNo, context->target, context->viewTarget, &left);
        break;
    default:
        break;
    }
    if (!ok) {
        FatalFromPage(context);
        return;
    }
    ShowPaneText(page, IDC_PANE_LEFT, left.text);
    if (GetDlgItem(page, IDC_PANE_RIGHT))
        ShowPaneText(page, IDC_PANE_RIGHT, right.text);
}

// What a property page does on its messages: fill itself, and act on a command.
typedef void (*PropPageFill)(HWND page, PropContext *context);
typedef void (*PropPageCommand)(HWND page, PropContext *context, WPARAM wParam);

// The message handling every property page shares: it keeps its context, fills itself on a
// refresh (the panes also when created), passes commands on and paints its background.
static INT_PTR PropPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, PropPageFill fill,
                               PropPageCommand command, int fillWhenCreated)
{
    switch (message) {
    case WM_INITDIALOG:
        KeepContext(page, lParam);
        if (fillWhenCreated)
            fill(page, (PropContext *)lParam);
        return TRUE;
    case GUI_PAGE_REFRESH:
        if (ContextOf(page))
            fill(page, ContextOf(page));
        return TRUE;
    case WM_COMMAND:
        if (command && ContextOf(page))
            command(page, ContextOf(page), wParam);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PropColourMessage(page, message, wParam, lParam);
    default:
        return FALSE;
    }
}

static int IsSetClick(WPARAM wParam)
{
    return LOWORD(wParam) == IDC_PANE_SET && HIWORD(wParam) == BN_CLICKED;
}

INT_PTR CALLBACK PanePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PropPageMessage(page, message, wParam, lParam, FillPanes, NULL, 1);
}

// ---------------------------------------------------------------------------------------------
// Combo helpers
// ---------------------------------------------------------------------------------------------
static void FillCombo(HWND page, int id, const ListEntry *list, unsigned count, int selected)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (unsigned i = 0; i < count; i++) {
        LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)list[i].text);
        SendMessageA(combo, CB_SETITEMDATA, (WPARAM)at, (LPARAM)list[i].value);
    }
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)selected, 0);
}

static int ComboIndex(HWND page, int id)
{
    LRESULT at = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? CONT_NO_SELECTION : (int)at;
}

static int32_t ComboValue(HWND page, int id)
{
    LRESULT at = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR)
        return CONT_NO_SELECTION;
    return (int32_t)SendDlgItemMessageA(page, id, CB_GETITEMDATA, (WPARAM)at, 0);
}

static void SelectComboValue(HWND page, int id, int32_t value)
{
    LRESULT count = SendDlgItemMessageA(page, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++)
        if ((int32_t)SendDlgItemMessageA(page, id, CB_GETITEMDATA, (WPARAM)i, 0) == value) {
            SendDlgItemMessageA(page, id, CB_SETCURSEL, (WPARAM)i, 0);
            return;
        }
    SendDlgItemMessageA(page, id, CB_SETCURSEL, (WPARAM)-1, 0);
}

static void FillNumberCombo(HWND page, int id, unsigned first, unsigned count, const char *format, int selected)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (unsigned i = 0; i < count; i++) {
        char text[16];
        snprintf(text, sizeof(text), format, first + i);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)selected, 0);
}

// ---------------------------------------------------------------------------------------------
// Controller Settings
// ---------------------------------------------------------------------------------------------
static ContSettingsView g_contView;

static void ApplyPatrolEnables(HWND page)
{
    PatrolEnables e = PatrolEnablesOfMode(ComboIndex(page, IDC_CS_PATROL_MODE));
    static const int kSchedule[] = {IDC_CS_INTERVAL, IDC_CS_YEAR, IDC_CS_MONTH, IDC_CS_DAY, IDC_CS_HOUR};
    for (unsigned i = 0; i < sizeof(kSchedule) / sizeof(kSchedule[0]); i++)
        EnableWindow(GetDlgItem(page, kSchedule[i]), e.intervalAndSchedule);
    EnableWindow(GetDlgItem(page, IDC_LD_LIST), e.ldList);
}

// Rebuilds the day list for the chosen month and year, keeping the day (or the month's last).
static void RebuildDays(HWND page)
{
    int yearIndex = ComboIndex(page, IDC_CS_YEAR), monthIndex = ComboIndex(page, IDC_CS_MONTH);
    int dayIndex = ComboIndex(page, IDC_CS_DAY);
    if (yearIndex < 0 || monthIndex < 0)
        return;
    unsigned year = g_contView.firstYear + (unsigned)yearIndex, month = (unsigned)monthIndex + 1;
    unsigned day = KeptDay(dayIndex < 0 ? 1u : (unsigned)dayIndex + 1, year, month);
    FillNumberCombo(page, IDC_CS_DAY, 1, DaysInMonth(year, month), "%u", (int)day - 1);
}

static void FillLdChecks(HWND page)
{
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    if (ListView_GetItemCount(list) == 0 && Header_GetItemCount(ListView_GetHeader(list)) == 0) {
        LVCOLUMNA column;
        ZeroMemory(&column, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPSTR) "LD";
        column.cx = 120;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    }
    ListView_DeleteAllItems(list);
    for (unsigned i = 0; i < g_contView.ldCount; i++) {
        char text[16];
        snprintf(text, sizeof(text), "LD%u", (unsigned)g_contView.lds[i]);
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT;
        item.iItem = (int)i;
        item.pszText = text;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        ListView_SetCheckState(list, (int)i, g_contView.ldIncluded[i] ? TRUE : FALSE);
    }
}

static void FillContSettings(HWND page, PropContext *context)
{
    ContData *record = &g_records[context->contNo];
    if (!ReadContSettings(record, context->contNo, &g_contView)) {
        if (context->frame)
            PostMessageA(context->frame, WM_COMMAND, IDOK, 0);
        return;
    }
    FillCombo(page, IDC_CS_REBUILD_MODE, kRebuildModes, 2, g_contView.rebuildMode);
    EnableWindow(GetDlgItem(page, IDC_CS_REBUILD_MODE), FALSE);
    FillCombo(page, IDC_CS_PATROL_MODE, kPatrolModes, 3, g_contView.patrolMode);
    FillCombo(page, IDC_CS_INTERVAL, kPatrolIntervals, 4, g_contView.interval);
    FillNumberCombo(page, IDC_CS_YEAR, g_contView.firstYear, CONT_YEARS, "%u", g_contView.year);
    FillCombo(page, IDC_CS_MONTH, kMonths, 12, g_contView.month);
    unsigned year = g_contView.firstYear + (unsigned)g_contView.year;
    FillNumberCombo(page, IDC_CS_DAY, 1, DaysInMonth(year, (unsigned)g_contView.month + 1), "%u", g_contView.day);
    FillNumberCombo(page, IDC_CS_HOUR, 0, CONT_HOURS, "%02u:00", g_contView.hour);
    FillCombo(page, IDC_CS_TASK_RATE, kTaskRates, 3, g_contView.taskRate);
    FillCombo(page, IDC_CS_SMART_HDD, kOnOff, 2, g_contView.smartHdd);
    FillCombo(page, IDC_CS_SMART_SSD, kOnOff, 2, g_contView.smartSsd);
    EnableWindow(GetDlgItem(page, IDC_CS_SMART_HDD), g_contView.copybackListsEnabled);
    EnableWindow(GetDlgItem(page, IDC_CS_SMART_SSD), g_contView.copybackListsEnabled);
    FillLdChecks(page);
    ApplyPatrolEnables(page);
}

static void OnButtonContSet(HWND page, PropContext *context)
{
    ContSettingsChoice choice;
    ZeroMemory(&choice, sizeof(choice));
    choice.patrolMode = ComboIndex(page, IDC_CS_PATROL_MODE);
    choice.interval = ComboIndex(page, IDC_CS_INTERVAL);
    choice.year = ComboIndex(page, IDC_CS_YEAR);
    choice.month = ComboIndex(page, IDC_CS_MONTH);
    choice.day = ComboIndex(page, IDC_CS_DAY);
    choice.hour = ComboIndex(page, IDC_CS_HOUR);
    choice.taskRate = ComboIndex(page, IDC_CS_TASK_RATE);
    choice.smartHdd = ComboIndex(page, IDC_CS_SMART_HDD);
    choice.smartSsd = ComboIndex(page, IDC_CS_SMART_SSD);
    choice.firstYear = g_contView.firstYear;
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    choice.ldCount = g_contView.ldCount;
    for (unsigned i = 0; i < g_contView.ldCount; i++) {
        choice.lds[i] = g_contView.lds[i];
        choice.ldIncluded[i] = ListView_GetCheckState(list, (int)i) ? 1 : 0;
    }
    ActionBegin();
    int outcome = ApplyContSettings(page, &g_records[context->contNo], context->contNo, &choice);
    if (outcome == CONT_SET_DONE)
        FillContSettings(page, context);
    ActionEnd();
}

static void OnContSettingsCommand(HWND page, PropContext *context, WPARAM wParam)
{
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (IsSetClick(wParam))
        OnButtonContSet(page, context);
    else if (id == IDC_CS_PATROL_MODE && code == CBN_SELCHANGE)
        ApplyPatrolEnables(page);
    else if ((id == IDC_CS_MONTH || id == IDC_CS_YEAR) && code == CBN_SELCHANGE)
        RebuildDays(page);
}

INT_PTR CALLBACK ContSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PropPageMessage(page, message, wParam, lParam, FillContSettings, OnContSettingsCommand, 0);
}

// ---------------------------------------------------------------------------------------------
// LD Settings
// ---------------------------------------------------------------------------------------------
static void FillLdSettings(HWND page, PropContext *context)
{
    ContData *record = &g_records[context->contNo];
    LdSettingsChoice current;
    CurrentLdSettings(record, context->target, &current);
    unsigned writeCount = 0;
    const ListEntry *writeList = WritePolicyList(record, &writeCount);
    FillCombo(page, IDC_LS_READ, kReadPolicies, 2, -1);
    FillCombo(page, IDC_LS_WRITE, writeList, writeCount, -1);
    FillCombo(page, IDC_LS_IO, kIoPolicies, 2, -1);
    FillCombo(page, IDC_LS_ACCESS, kAccessPolicies, 3, -1);
    FillCombo(page, IDC_LS_DISK_CACHE, kDiskCachePolicies, 3, -1);
    SelectComboValue(page, IDC_LS_READ, current.readPolicy);
    SelectComboValue(page, IDC_LS_WRITE, current.writePolicy);
    SelectComboValue(page, IDC_LS_IO, current.ioPolicy);
    SelectComboValue(page, IDC_LS_ACCESS, current.accessPolicy);
    SelectComboValue(page, IDC_LS_DISK_CACHE, current.diskCache);
    SendDlgItemMessageA(page, IDC_LS_NAME, EM_LIMITTEXT, LD_NAME_MAX_CHARS, 0);
    SetDlgItemTextA(page, IDC_LS_NAME, current.name);
    int policies = !LdIsCacheCade(record->ldInfo[context->target]);
    static const int kLists[] = {IDC_LS_READ, IDC_LS_WRITE, IDC_LS_IO, IDC_LS_ACCESS, IDC_LS_DISK_CACHE};
    for (unsigned i = 0; i < sizeof(kLists) / sizeof(kLists[0]); i++)
        EnableWindow(GetDlgItem(page, kLists[i]), policies);
}

static void OnLdSet(HWND page, PropContext *context, WPARAM wParam)
{
    if (!IsSetClick(wParam))
        return;
    LdSettingsChoice choice;
    ZeroMemory(&choice, sizeof(choice));
    choice.readPolicy = ComboValue(page, IDC_LS_READ);
    choice.writePolicy = ComboValue(page, IDC_LS_WRITE);
    choice.ioPolicy = ComboValue(page, IDC_LS_IO);
    choice.accessPolicy = ComboValue(page, IDC_LS_ACCESS);
    choice.diskCache = ComboValue(page, IDC_LS_DISK_CACHE);
    GetDlgItemTextA(page, IDC_LS_NAME, choice.name, sizeof(choice.name));
    if (ApplyLdSettings(page, context->contNo, context->target, &choice) == LD_SET_DONE)
        FillLdSettings(page, context);
}

INT_PTR CALLBACK LdSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PropPageMessage(page, message, wParam, lParam, FillLdSettings, OnLdSet, 0);
}

// ---------------------------------------------------------------------------------------------
// Snapshot base Settings
// ---------------------------------------------------------------------------------------------
static void FillSnapshotSettings(HWND page, PropContext *context)
{
    ContData *record = &g_records[context->contNo];
    FillCombo(page, IDC_SS_AUTO_DELETE, kOnOff, 2, AutoDeleteEnabled(record, context->target) ? 1 : 0);
    FillCombo(page, IDC_SS_ON_REBOOT, kOnOff, 2, AutoSnapshotEnabled(record, context->target) ? 1 : 0);
}

static void OnSnapshotSet(HWND page, PropContext *context, WPARAM wParam)
{
    if (!IsSetClick(wParam))
        return;
    int32_t onReboot = ComboValue(page, IDC_SS_ON_REBOOT), autoDelete = ComboValue(page, IDC_SS_AUTO_DELETE);
    if (onReboot < 0 || autoDelete < 0)
        return;
    ApplySnapshotSettings(page, context->contNo, context->target, onReboot, autoDelete);
    FillSnapshotSettings(page, context);
}

INT_PTR CALLBACK SnapshotSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PropPageMessage(page, message, wParam, lParam, FillSnapshotSettings, OnSnapshotSet, 0);
}
