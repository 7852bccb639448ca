// Main window procedure: start-up of the controllers, the tab strip with its owner-drawn faces,
// page switching, the refresh timer and the power broadcasts.
#include "gui/MainWnd.h"

#include <commctrl.h>
#include <stdio.h>

#include "common/raidctl.h"
#include "gui/Completion.h"
#include "gui/CtrlList.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainLogic.h"
#include "gui/Utility.h"
#include "gui/VersionInfo.h"
#include "gui/resource.h"

static const COLORREF kDialogColour = RGB(212, 213, 184);
enum { FACE_WIDTH = 94, FACE_HEIGHT = 27, TAB_IMAGE_WIDTH = 76 };

static HINSTANCE g_instance;

void SetMainInstance(HINSTANCE instance)
{
    g_instance = instance;
}

static DLGPROC ProcOfKind(int kind)
{
    switch (kind) {
    case PAGE_DASHBOARD:
        return Page0Proc;
    case PAGE_CREATE_LD:
        return Page1Proc;
    case PAGE_SNAPSHOT:
        return Page6Proc;
    case PAGE_MAINTENANCE:
        return Page5Proc;
    case PAGE_DELETE_LD:
        return Page2Proc;
    case PAGE_HOT_SPARE:
        return Page3Proc;
    case PAGE_RESTORE_LD:
        return Page4Proc;
    default:
        return PageFrameProc;
    }
}

static HWND MainTab(void)
{
    return GetDlgItem((HWND)g_gui.mainWindow, IDC_MAIN_TAB);
}

static void PlacePage(HWND page)
{
    HWND tab = MainTab();
    RECT rc;
    GetClientRect(tab, &rc);
    TabCtrl_AdjustRect(tab, FALSE, &rc);
    SetWindowPos(page, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
}

static HWND CreatePage(const TabRow *row)
{
    HWND page = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(row->template_), MainTab(), ProcOfKind(row->kind), 0);
    if (!page) {
        ReportWinApiError(4, GetLastError());
        return NULL;
    }
    PlacePage(page);
    ShowWindow(page, SW_HIDE);
    return page;
}

static void InsertTabItem(int position, const TabRow *row)
{
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = (LPSTR)row->text;
    item.lParam = row->kind;
    TabCtrl_InsertItem(MainTab(), position, &item);
}

static int InsertPage(int position, const TabRow *row)
{
    if (g_gui.pageCount >= GUI_MAX_PAGES)
        return 0;
    HWND page = CreatePage(row);
    if (!page)
        return 0;
    for (int i = g_gui.pageCount; i > position; i--)
        g_gui.pages[i] = g_gui.pages[i - 1];
    GuiPage *entry = &g_gui.pages[position];
    entry->window = page;
    entry->kind = row->kind;
    entry->template_ = row->template_;
    entry->face = row->face;
    entry->faceSel = row->faceSel;
    g_gui.pageCount++;
    InsertTabItem(position, row);
    return 1;
}

static void RemovePage(int position)
{
    DestroyWindow((HWND)g_gui.pages[position].window);
    TabCtrl_DeleteItem(MainTab(), position);
    for (int i = position; i + 1 < g_gui.pageCount; i++)
        g_gui.pages[i] = g_gui.pages[i + 1];
    g_gui.pageCount--;
}

static int PositionOfKind(int kind)
{
    for (int i = 0; i < g_gui.pageCount; i++)
        if (g_gui.pages[i].kind == kind)
            return i;
    return -1;
}

static void ShowOnlyPage(int position)
{
    for (int i = 0; i < g_gui.pageCount; i++)
        ShowWindow((HWND)g_gui.pages[i].window, i == position ? SW_SHOW : SW_HIDE);
}

static void OnTabSelChange(void)
{
    int position = TabCtrl_GetCurSel(MainTab());
    if (position < 0 || position >= g_gui.pageCount)
        return;
    ShowOnlyPage(position);
    if (position != g_gui.lastSelectedTab)
        GuiPostRefresh(g_gui.pages[position].window, GUI_REFRESH_FULL);
    g_gui.lastSelectedTab = position;
}

void MainApplyControllerChange(int snapshotChange, int pageKind)
{
    if (snapshotChange < 0) {
        int snapshot = PositionOfKind(PAGE_SNAPSHOT);
        if (snapshot >= 0)
            RemovePage(snapshot);
    } else if (snapshotChange > 0 && PositionOfKind(PAGE_SNAPSHOT) < 0) {
        InsertPage(SnapshotInsertPosition(), TabRowOfKind(PAGE_SNAPSHOT));
    }
    int position = PositionOfKind(pageKind);
    if (position < 0)
        return;
    TabCtrl_SetCurSel(MainTab(), position);
    g_gui.lastSelectedTab = position;
    ShowWindow((HWND)g_gui.pages[position].window, SW_HIDE);
    ShowOnlyPage(position);
    InvalidateRect(MainTab(), NULL, TRUE);
    GuiPostRefresh(g_gui.pages[position].window, GUI_REFRESH_FULL);
}

void OnCtrlSelected(HWND page, int pageKind)
{
    int selected = (int)SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected == g_gui.currentCtrl)
        return;
    BeginWaitCursor();
    CtrlChange change = ChangeCurrentController((uint8_t)selected);
    EndWaitCursor();
    if (!change.ok) {
        SendDlgItemMessageA(page, IDC_CTRL_SELECT, CB_SETCURSEL, g_gui.currentCtrl, 0);
        return;
    }
    MainApplyControllerChange(change.snapshotChange, pageKind);
}

void MainPostHeldTimerRefresh(void)
{
    int maintenance = FindPageByFace(IDB_FACE_MAINTENANCE);
    if (maintenance >= 0)
        GuiPostRefresh(g_gui.pages[maintenance].window, GUI_REFRESH_TIMER);
}

// A page's own full refresh held back by an action is a property of its window.
static const char kHeldRefreshProp[] = "ZavHeldFullRefresh";

int PageRefreshMayRun(HWND page, LPARAM reason)
{
    if (!ActionRunning())
        return 1;
    if (reason == GUI_REFRESH_TIMER)
        g_gui.timerRefreshPending = 1;
    else
        SetPropA(page, kHeldRefreshProp, (HANDLE)1);
    return 0;
}

void PostHeldRefreshes(HWND page)
{
    if (ActionRunning())
        return;
    if (page && RemovePropA(page, kHeldRefreshProp))
        GuiPostRefresh(page, GUI_REFRESH_FULL);
    if (TakeHeldTimerRefresh())
        MainPostHeldTimerRefresh();
}

int RunPageRefresh(HWND page, LPARAM reason, void (*fill)(HWND page))
{
    if (!PageRefreshMayRun(page, reason))
        return -1;
    BeginWaitCursor();
    int ok = RefreshCurrentRecord();
    if (ok)
        fill(page);
    EndWaitCursor();
    if (ok)
        CheckOperationCompletion(page);
    PostHeldRefreshes(page);
    return ok;
}

void AfterPageAction(HWND page, int changed)
{
    // Held like any other full refresh, so one refresh follows even when one also arrived meanwhile.
    if (changed && page)
        SetPropA(page, kHeldRefreshProp, (HANDLE)1);
    PostHeldRefreshes(page);
}

void EndPageAction(HWND page, int changed)
{
    ActionEnd();
    AfterPageAction(page, changed);
}

static void SetTitle(HWND window)
{
    char version[64] = "";
    char format[GUI_TEXT_SIZE];
    char title[GUI_TEXT_SIZE];
    if (!GetGUIFileVersion(version))
        version[0] = '\0';
    LoadGuiString(IDS_MAIN_TITLE, format, sizeof(format));
    snprintf(title, sizeof(title), format, version);
    SetWindowTextA(window, title);
}

static void SetIcon(HWND window)
{
    HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_ZAVGUI));
    SetClassLongPtrA(window, GCLP_HICON, (LONG_PTR)icon);
    SendMessageA(window, WM_SETICON, ICON_BIG, (LPARAM)icon);
    SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
}

static void BuildPages(HWND window)
{
    HWND tab = MainTab();
    g_gui.tabImages = ImageList_LoadImageA(g_instance, MAKEINTRESOURCEA(IDB_FACE_DASHBOARD), TAB_IMAGE_WIDTH, 0,
                                           CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    TabCtrl_SetItemSize(tab, FACE_WIDTH, FACE_HEIGHT);
    TabRow rows[GUI_MAX_PAGES];
    int count = BuildTabTable(CtrlSupportsSnapshot(CurrentRecord()), rows, GUI_MAX_PAGES);
    for (int i = 0; i < count; i++)
        if (!InsertPage(g_gui.pageCount, &rows[i]))
            return;
    // The strip takes its item size only once it holds items; place the pages under it again.
    TabCtrl_SetItemSize(tab, FACE_WIDTH, FACE_HEIGHT);
    for (int i = 0; i < g_gui.pageCount; i++)
        PlacePage((HWND)g_gui.pages[i].window);
    // Banner on top, the strip under it; the dialog template already places both.
    (void)window;
    TabCtrl_SetCurSel(tab, 0);
    g_gui.lastSelectedTab = 0;
    ShowOnlyPage(0);
}

static BOOL OnInitDialog(HWND window)
{
    g_gui.mainWindow = window;
    g_gui.instance = g_instance;
    SetIcon(window);
    SetTitle(window);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    if (!InitControllers())
        return TRUE;
    BuildPages(window);
    SetTimer(window, GUI_TIMER_ID, GUI_TIMER_MS, NULL);
    g_gui.dialogBrush = CreateSolidBrush(kDialogColour);
    g_gui.whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
    return TRUE;
}

static void DrawFace(const DRAWITEMSTRUCT *item)
{
    int position = (int)item->itemID;
    if (position < 0 || position >= g_gui.pageCount)
        return;
    const GuiPage *page = &g_gui.pages[position];
    uint16_t face = (item->itemState & ODS_SELECTED) ? page->faceSel : page->face;
    HBITMAP bitmap = (HBITMAP)LoadImageA(g_instance, MAKEINTRESOURCEA(face), IMAGE_BITMAP, 0, 0, 0);
    if (!bitmap)
        return;
    HDC memory = CreateCompatibleDC(item->hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT *rc = &item->rcItem;
    SetStretchBltMode(item->hDC, HALFTONE);
    StretchBlt(item->hDC, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, memory, 0, 0, FACE_WIDTH,
               FACE_HEIGHT, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

static void OnPowerBroadcast(HWND window, WPARAM event)
{
    int mapped = -1;
    switch (event) {
    case PBT_APMQUERYSUSPEND:
        mapped = POWER_QUERY_SUSPEND;
        break;
    case PBT_APMQUERYSUSPENDFAILED:
        mapped = POWER_QUERY_SUSPEND_FAILED;
        break;
    case PBT_APMSUSPEND:
        mapped = POWER_SUSPEND;
        break;
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC:
        mapped = POWER_RESUME;
        break;
    default:
        return;
    }
    int timer = OnPowerEvent(mapped);
    if (timer == TIMER_KILL)
        KillTimer(window, GUI_TIMER_ID);
    else if (timer == TIMER_START)
        SetTimer(window, GUI_TIMER_ID, GUI_TIMER_MS, NULL);
}

static void OnTimer(void)
{
    int target = TimerRefreshTarget(TabCtrl_GetCurSel(MainTab()));
    if (target >= 0)
        GuiPostRefresh(g_gui.pages[target].window, GUI_REFRESH_TIMER);
}

static void OnDestroy(void)
{
    if (g_gui.dialogBrush)
        DeleteObject((HGDIOBJ)g_gui.dialogBrush);
    if (g_gui.whiteBrush)
        DeleteObject((HGDIOBJ)g_gui.whiteBrush);
    if (g_gui.tabImages)
        ImageList_Destroy((HIMAGELIST)g_gui.tabImages);
    g_gui.dialogBrush = g_gui.whiteBrush = g_gui.tabImages = NULL;
    PostQuitMessage(0);
}

static INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CLOSE || LOWORD(wParam) == IDCANCEL)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        KillTimer(window, GUI_TIMER_ID);
        EndDialog(window, 0);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case WM_MEASUREITEM:
        if (wParam == IDC_MAIN_TAB) {
            MEASUREITEMSTRUCT *measure = (MEASUREITEMSTRUCT *)lParam;
            measure->itemWidth = FACE_WIDTH;
            measure->itemHeight = FACE_HEIGHT;
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wParam == IDC_MAIN_TAB) {
            DrawFace((const DRAWITEMSTRUCT *)lParam);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        if (header->idFrom == IDC_MAIN_TAB && header->code == TCN_SELCHANGE)
            OnTabSelChange();
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == GUI_TIMER_ID)
            OnTimer();
        return TRUE;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(window, wParam);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}

int RunMainDialog(void)
{
    return (int)DialogBoxParamA(g_instance, MAKEINTRESOURCEA(ID_DIALOG_MAIN), NULL, MainProc, 0);
}

INT_PTR PageColourMessage(UINT message, WPARAM wParam)
{
    if (!g_gui.dialogBrush)
        return FALSE;
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        SetBkMode((HDC)wParam, TRANSPARENT);
    }
    return (INT_PTR)g_gui.dialogBrush;
}
