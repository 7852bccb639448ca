// Snapshot tab (module Page6): the LD list with each LD's snapshot role and pending change, the
// snapshot timeline of the selected base, the Enable/Disable group with "Finish" and "Cancel",
// the LD and view pop-up menus, and the enable, snapshot-name and view-name dialogs.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/SnapSupport.h"
#include "gui/Dialog.h"
#include "gui/Controls_win.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page6Actions.h"
#include "gui/Page6Logic.h"
#include "gui/PropDialogs.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static SnapPendingSet g_pending = { -1, {} };
static uint8_t g_ldRows[LD_MAX];   // target id shown in each LD list row
static int g_ldRowCount;

static const char *const kLdColumns[SNAP_LD_COLUMNS] = { "LD No.", "RAID Level", "Capacity[GB]", "Snapshot",
                                                         "Pending" };
static const int kLdWidths[SNAP_LD_COLUMNS] = { 40, 50, 90, 80, 70 };
static const char *const kTimelineColumns[SNAP_TIMELINE_COLUMNS] = { "No.", "Snapshot Name", "Created", "View" };
static const int kTimelineWidths[SNAP_TIMELINE_COLUMNS] = { 24, 80, 90, 40 };

static void AddColumns(HWND window, int id, const char *const *titles, const int *widths, int count)
{
    HWND list = GetDlgItem(window, id);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int c = 0; c < count; ++c) {
        RECT units = { 0, 0, widths[c], 0 };
        MapDialogRect(window, &units);
        LVCOLUMNA column;
        memset(&column, 0, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = units.right;
        column.pszText = (LPSTR)titles[c];
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&column);
    }
}

static void SetRow(HWND list, int row, int columns, char cells[][64])
{
    LVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = cells[0];
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    for (int c = 1; c < columns; ++c) {
        item.iSubItem = c;
        item.pszText = cells[c];
        SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    }
}

static int SelectedLdRow(HWND page)
{
    return ListView_GetNextItem(GetDlgItem(page, IDC_LD_LIST), -1, LVNI_SELECTED);
}

static int SelectedTarget(HWND page)
{
    int row = SelectedLdRow(page);
    return row >= 0 && row < g_ldRowCount ? g_ldRows[row] : -1;
}

static int SelectedSnapshot(HWND page)
{
    return ListView_GetNextItem(GetDlgItem(page, IDC_P6_TIMELINE), -1, LVNI_SELECTED);
}

static void FillTimeline(HWND page)
{
    HWND list = GetDlgItem(page, IDC_P6_TIMELINE);
    ListView_DeleteAllItems(list);
    int target = SelectedTarget(page);
    if (target < 0)
        return;
    const ContData *record = CurrentRecord();
    int count = BaseSnapshotCount(record, (uint8_t)target);
    for (int i = 0; i < count; ++i) {
        char cells[SNAP_TIMELINE_COLUMNS][64];
        for (int c = 0; c < SNAP_TIMELINE_COLUMNS; ++c)
            SnapTimelineCellText(cells[c], sizeof(cells[c]), record, (uint8_t)target, (unsigned)i, c);
        SetRow(list, i, SNAP_TIMELINE_COLUMNS, cells);
    }
}

// Refills the LD list keeping the selected row and the scroll position.
static void FillLdList(HWND page)
{
    HWND list = GetDlgItem(page, IDC_LD_LIST);
    int selected = SelectedLdRow(page);
    int top = ListView_GetTopIndex(list);
    ListView_DeleteAllItems(list);
    const ContData *record = CurrentRecord();
    g_ldRowCount = (int)ExistingLds(record, g_ldRows);
    for (int r = 0; r < g_ldRowCount; ++r) {
        char cells[SNAP_LD_COLUMNS][64];
        for (int c = 0; c < SNAP_LD_COLUMNS; ++c)
            SnapLdCellText(cells[c], sizeof(cells[c]), record, g_gui.currentCtrl, &g_pending, g_ldRows[r], c);
        SetRow(list, r, SNAP_LD_COLUMNS, cells);
    }
    if (selected < 0 && g_ldRowCount > 0)
        selected = 0;
    if (selected >= 0 && selected < g_ldRowCount) {
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, top, FALSE);
    }
    FillTimeline(page);
    EnableWindow(GetDlgItem(page, IDC_P6_FINISH), PendingChangeCount(&g_pending) > 0);
    EnableWindow(GetDlgItem(page, IDC_P6_CANCEL), PendingChangeCount(&g_pending) > 0);
}

static void FillPage(HWND page)
{
    SyncPendingChanges(&g_pending, g_gui.currentCtrl, CurrentRecord());
    FillLdList(page);
}

static SnapPageContext Context(HWND page)
{
    SnapPageContext context = { page, g_gui.currentCtrl, g_records, &g_pending };
    return context;
}

// ---------------------------------------------------------------------------------------------
// Name dialogs (IDD_CREATE_SNAPSHOT, IDD_CREATE_VIEW)
// ---------------------------------------------------------------------------------------------
struct NameDialogData {
    char *name;
    size_t size;
};

static INT_PTR CALLBACK NameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        NameDialogData *data = (NameDialogData *)lParam;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)data);
        SendDlgItemMessageA(dialog, IDC_SNAPNAME_EDIT, EM_LIMITTEXT, SNAP_NAME_SIZE - 1, 0);
        SetDlgItemTextA(dialog, IDC_SNAPNAME_EDIT, data->name);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SNAPNAME_OK) {
            NameDialogData *data = (NameDialogData *)GetWindowLongPtrA(dialog, DWLP_USER);
            GetDlgItemTextA(dialog, IDC_SNAPNAME_EDIT, data->name, (int)data->size);
            EndDialog(dialog, data->name[0] != '\0' ? IDOK : IDCANCEL);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_SNAPNAME_CANCEL || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

static int RunNameDialog(void *owner, int kind, char *name, size_t size)
{
    NameDialogData data = { name, size };
    WORD templateId = kind == SNAP_NAME_DIALOG_VIEW ? IDD_CREATE_VIEW : IDD_CREATE_SNAPSHOT;
    INT_PTR result = DialogBoxParamA((HINSTANCE)GetWindowLongPtrA((HWND)owner, GWLP_HINSTANCE),
                                     MAKEINTRESOURCEA(templateId), (HWND)owner, NameDialogProc, (LPARAM)&data);
    return result == IDOK;
}

// ---------------------------------------------------------------------------------------------
// IDD_ENABLE_SNAPSHOT
// ---------------------------------------------------------------------------------------------
struct EnableDialogData {
    uint8_t base;
    uint8_t repositories[LD_MAX];
    int repositoryCount;
};

static void FillRepositoryList(HWND dialog, EnableDialogData *data)
{
    const ContData *record = CurrentRecord();
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets);
    SnapConstructInfo info;
    memset(&info, 0, sizeof(info));
    ReadSnapshotConstructInfo(g_gui.currentCtrl, g_records, &info);
    int preselected = PreselectedRepository(&info, record, data->base);
    int select = -1;
    data->repositoryCount = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (targets[i] == data->base)
            continue;
        char line[96], capacity[64];
        SnapLdCellText(capacity, sizeof(capacity), record, g_gui.currentCtrl, &g_pending, targets[i], 2);
        snprintf(line, sizeof(line), "LD%u (%s GB)", (unsigned)targets[i], capacity);
        SendDlgItemMessageA(dialog, IDC_ES_REPO_LIST, LB_ADDSTRING, 0, (LPARAM)line);
        if (targets[i] == preselected)
            select = data->repositoryCount;
        data->repositories[data->repositoryCount++] = targets[i];
    }
    SendDlgItemMessageA(dialog, IDC_ES_REPO_LIST, LB_SETCURSEL, (WPARAM)select, 0);
}

static void FillEnableChoices(HWND dialog)
{
    static const char *const kChoices[2] = { "Enabled", "Disabled" };
    for (int i = 0; i < 2; ++i) {
        SendDlgItemMessageA(dialog, IDC_ES_AUTO_DELETE, CB_ADDSTRING, 0, (LPARAM)kChoices[i]);
        SendDlgItemMessageA(dialog, IDC_ES_ON_REBOOT, CB_ADDSTRING, 0, (LPARAM)kChoices[i]);
    }
    SendDlgItemMessageA(dialog, IDC_ES_AUTO_DELETE, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_ES_ON_REBOOT, CB_SETCURSEL, 1, 0);
    CheckRadioButton(dialog, IDC_ES_BY_SIZE, IDC_ES_BY_PERCENT, IDC_ES_BY_PERCENT);
    SetDlgItemTextA(dialog, IDC_ES_PERCENT, "20");
    SetDlgItemTextA(dialog, IDC_ES_SIZE, "");
}

static int ReadEnableInput(HWND dialog, const EnableDialogData *data, SnapEnableInput *input)
{
    memset(input, 0, sizeof(*input));
    input->base = data->base;
    int sel = (int)SendDlgItemMessageA(dialog, IDC_ES_REPO_LIST, LB_GETCURSEL, 0, 0);
    input->repository = sel >= 0 && sel < data->repositoryCount ? data->repositories[sel] : -1;
    input->byPercent = IsDlgButtonChecked(dialog, IDC_ES_BY_PERCENT) == BST_CHECKED;
    char value[16];
    GetDlgItemTextA(dialog, input->byPercent ? IDC_ES_PERCENT : IDC_ES_SIZE, value, sizeof(value));
    input->areaValue = (uint32_t)strtoul(value, NULL, 10);
    if (input->byPercent && input->areaValue > 100)
        input->areaValue = 100;
    input->autoDelete = SendDlgItemMessageA(dialog, IDC_ES_AUTO_DELETE, CB_GETCURSEL, 0, 0) == 0;
    input->autoSnapshot = SendDlgItemMessageA(dialog, IDC_ES_ON_REBOOT, CB_GETCURSEL, 0, 0) == 0;
    return 1;
}

static INT_PTR CALLBACK EnableDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        EnableDialogData *data = (EnableDialogData *)lParam;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)data);
        char title[64];
        snprintf(title, sizeof(title), "Enable Snapshot - LD%u", (unsigned)data->base);
        SetWindowTextA(dialog, title);
        FillRepositoryList(dialog, data);
        FillEnableChoices(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        EnableDialogData *data = (EnableDialogData *)GetWindowLongPtrA(dialog, DWLP_USER);
        if (LOWORD(wParam) == IDC_ES_SET) {
            SnapEnableInput input;
            ReadEnableInput(dialog, data, &input);
            uint16_t refusal = CheckEnableInput(&input, &g_pending, CurrentRecord(), g_gui.currentCtrl);
            if (refusal != 0) {
                ShowErrorBox(dialog, refusal, IDS_CAPTION_SNAPSHOT);
                return TRUE;
            }
            RecordPendingEnable(&g_pending, &input, CurrentRecord(), g_gui.currentCtrl);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_ES_CANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

static void OnEnableClicked(HWND page)
{
    int target = SelectedTarget(page);
    if (target < 0)
        return;
    EnableDialogData data;
    memset(&data, 0, sizeof(data));
    data.base = (uint8_t)target;
    DialogBoxParamA((HINSTANCE)GetWindowLongPtrA(page, GWLP_HINSTANCE), MAKEINTRESOURCEA(IDD_ENABLE_SNAPSHOT), page,
                    EnableDialogProc, (LPARAM)&data);
    FillLdList(page);
}

static void OnDisableClicked(HWND page)
{
    int target = SelectedTarget(page);
    if (target >= 0 && LdIsSnapshotBase(CurrentRecord()->ldInfo[target]))
        RecordPendingDisable(&g_pending, (uint8_t)target);
    FillLdList(page);
}

// ---------------------------------------------------------------------------------------------
// Menus and commands
// ---------------------------------------------------------------------------------------------
static void TrackMenu(HWND page, HMENU menu, POINT at)
{
    UINT id = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, page, NULL);
    DestroyMenu(menu);
    if (id != 0)
        PostMessageA(page, WM_COMMAND, id, 0);
}

static void ShowLdMenu(HWND page, POINT at)
{
    int target = SelectedTarget(page);
    if (target < 0)
        return;
    const ContData *record = CurrentRecord();
    const uint8_t *ldInfo = record->ldInfo[target];
    int base = LdIsSnapshotBase(ldInfo);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, ID_LD_MENU_INFO, "Logical Drive Information");
    AppendMenuA(menu, MF_STRING | (base || LdIsRepository(ldInfo) ? MF_ENABLED : MF_GRAYED), ID_LD_MENU_SNAPSHOT_INFO,
                "Snapshot Information");
    AppendMenuA(menu, MF_STRING | (base ? MF_ENABLED : MF_GRAYED), ID_LD_MENU_CREATE_SNAPSHOT, "Create Snapshot");
    AppendMenuA(menu, MF_STRING | (base && BaseSnapshotCount(record, (uint8_t)target) > 0 ? MF_ENABLED : MF_GRAYED),
                ID_LD_MENU_DELETE_SNAPSHOT, "Delete Snapshot");
    AppendMenuA(menu, MF_STRING, ID_LD_MENU_RELOAD, "Refresh");
    TrackMenu(page, menu, at);
}

static void ShowViewMenu(HWND page, POINT at)
{
    int target = SelectedTarget(page);
    int snapshot = SelectedSnapshot(page);
    if (target < 0 || snapshot < 0)
        return;
    const uint8_t *info = BaseInfo(CurrentRecord(), (uint8_t)target);
    int hasView = info != NULL && (unsigned)snapshot < PitCount(info) && PitAt(info, (unsigned)snapshot)[SP_HAS_VIEW];
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | (hasView ? MF_GRAYED : MF_ENABLED), ID_VIEW_MENU_CREATE, "Create View");
    AppendMenuA(menu, MF_STRING | (hasView ? MF_ENABLED : MF_GRAYED), ID_VIEW_MENU_DELETE, "Delete View");
    AppendMenuA(menu, MF_STRING | (hasView ? MF_ENABLED : MF_GRAYED), ID_VIEW_MENU_INFO, "View Information");
    TrackMenu(page, menu, at);
}

// Runs a snapshot action; a change refills the lists (keeping the selection) and tells the page.
static void RunAction(HWND page, int (*action)(const SnapPageContext *, uint8_t), int target)
{
    if (target < 0)
        return;
    SnapPageContext context = Context(page);
    ActionBegin();
    int changed = action(&context, (uint8_t)target);
    EndPageAction(page, changed);
}

static void RunViewAction(HWND page, int (*action)(const SnapPageContext *, uint8_t, unsigned))
{
    int target = SelectedTarget(page);
    int snapshot = SelectedSnapshot(page);
    if (target < 0 || snapshot < 0)
        return;
    SnapPageContext context = Context(page);
    ActionBegin();
    int changed = action(&context, (uint8_t)target, (unsigned)snapshot);
    EndPageAction(page, changed);
}

static void OpenViewInformation(HWND page, int base)
{
    int snapshot = SelectedSnapshot(page);
    if (base < 0 || snapshot < 0)
        return;
    int view = ViewTargetOfSnapshot(CurrentRecord(), (uint8_t)base, (unsigned)snapshot);
    if (view >= 0)
        ShowViewInfoDialog(page, g_gui.currentCtrl, (uint8_t)base, (uint8_t)view);
}

static void OnFinish(HWND page)
{
    SnapPageContext context = Context(page);
    ActionBegin();
    int changed = OnFinishBtnClicked(&context);
    EndPageAction(page, changed);
    if (!changed)
        FillLdList(page);
}

static INT_PTR OnCommand(HWND page, WORD id)
{
    int target = SelectedTarget(page);
    switch (id) {
    case IDC_P6_ENABLE:
        OnEnableClicked(page);
        return TRUE;
    case IDC_P6_DISABLE:
        OnDisableClicked(page);
        return TRUE;
    case IDC_P6_FINISH:
        OnFinish(page);
        return TRUE;
    case IDC_P6_CANCEL:
        ClearPendingChanges(&g_pending, g_gui.currentCtrl);
        FillLdList(page);
        return TRUE;
    case ID_LD_MENU_INFO:
        if (target >= 0)
            ShowLdInfoDialog(page, g_gui.currentCtrl, (uint8_t)target);
        return TRUE;
    case ID_LD_MENU_SNAPSHOT_INFO:
        if (target >= 0)
            ShowLdSnapshotInfoDialog(page, g_gui.currentCtrl, (uint8_t)target);
        return TRUE;
    case ID_LD_MENU_CREATE_SNAPSHOT:
        RunAction(page, OnLdCreateSnapshot, target);
        return TRUE;
    case ID_LD_MENU_DELETE_SNAPSHOT:
        RunAction(page, OnLdDeleteSnapshot, target);
        return TRUE;
    case ID_LD_MENU_RELOAD:
        GuiPostRefresh(page, GUI_REFRESH_FULL);
        return TRUE;
    case ID_VIEW_MENU_CREATE:
        RunViewAction(page, OnSnapshotCreateView);
        return TRUE;
    case ID_VIEW_MENU_DELETE:
        RunViewAction(page, OnSnapshotDeleteView);
        return TRUE;
    case ID_VIEW_MENU_INFO:
        OpenViewInformation(page, target);
        return TRUE;
    default:
        return FALSE;
    }
}

static INT_PTR OnNotify(HWND page, const NMHDR *hdr)
{
    if (hdr->idFrom == IDC_LD_LIST && hdr->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW *change = (const NMLISTVIEW *)hdr;
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            FillTimeline(page);
    }
    return TRUE;
}

static void OnContextMenu(HWND page, HWND control, LPARAM lParam)
{
    if (control == GetDlgItem(page, IDC_LD_LIST))
        ShowLdMenu(page, ContextMenuPoint(control, lParam));
    else if (control == GetDlgItem(page, IDC_P6_TIMELINE))
        ShowViewMenu(page, ContextMenuPoint(control, lParam));
}

INT_PTR CALLBACK Page6Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        AddColumns(page, IDC_LD_LIST, kLdColumns, kLdWidths, SNAP_LD_COLUMNS);
        AddColumns(page, IDC_P6_TIMELINE, kTimelineColumns, kTimelineWidths, SNAP_TIMELINE_COLUMNS);
        SetSnapNameDialog(RunNameDialog);
        return TRUE;
    case GUI_PAGE_REFRESH:
        RunPageRefresh(page, lParam, FillPage);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam));
    case WM_NOTIFY:
        return OnNotify(page, (const NMHDR *)lParam);
    case WM_CONTEXTMENU:
        OnContextMenu(page, (HWND)wParam, lParam);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
