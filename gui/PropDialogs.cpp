// Dialog frame of the property dialogs: banner, a tab strip of drawn faces ("Properties",
// "Settings"), one hidden child page per tab, and "Back", which asks first on a Settings tab.
#include "gui/PropDialogs.h"

#include <windows.h>

#include <commctrl.h>

#include "common/ContData.h"
#include "common/Facts.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/LdSettingsLogic.h"
#include "gui/PropPages.h"
#include "gui/Utility.h"
#include "gui/resource.h"

enum { SUB_MAX_PAGES = 2, SUB_FACE_WIDTH = 94, SUB_FACE_HEIGHT = 27 };

struct SubPageSpec {
    uint16_t templateId;
    uint16_t face, faceSel;
    DLGPROC proc;
    int isSettings;
};

struct SubDialogSpec {
    uint16_t frameTemplate;
    uint16_t titleId;
    int pageCount;
    SubPageSpec pages[SUB_MAX_PAGES];
};

// The state of the one open property dialog.
struct SubFrameState {
    const SubDialogSpec *frameDesc;
    HWND pages[SUB_MAX_PAGES];
    HIMAGELIST faces;
};

static PropContext g_context;
static SubFrameState g_frame;

static const SubPageSpec kPropertiesPage = {0, IDB_FACE_PROPERTIES, IDB_FACE_PROPERTIES_SEL, PanePageProc, 0};

static HWND SubTab(HWND frame)
{
    return GetDlgItem(frame, IDC_SUB_TAB);
}

static int SelectedPage(HWND frame)
{
    return TabCtrl_GetCurSel(SubTab(frame));
}

static void ShowPage(HWND frame, int index)
{
    for (int i = 0; i < g_frame.frameDesc->pageCount; i++)
        if (g_frame.pages[i])
            ShowWindow(g_frame.pages[i], i == index ? SW_SHOW : SW_HIDE);
    if (index >= 0 && index < g_frame.frameDesc->pageCount && g_frame.pages[index])
        SendMessageA(g_frame.pages[index], GUI_PAGE_REFRESH, 0, GUI_REFRESH_FULL);
    (void)frame;
}

// Face bitmaps in an image list: normal faces first, then the selected ones.
static void LoadFaces(void)
{
    g_frame.faces = ImageList_Create(SUB_FACE_WIDTH, SUB_FACE_HEIGHT, ILC_COLOR24, 2 * SUB_MAX_PAGES, 0);
    for (int pass = 0; pass < 2; pass++)
        for (int i = 0; i < g_frame.frameDesc->pageCount; i++) {
            const SubPageSpec *page = &g_frame.frameDesc->pages[i];
            uint16_t id = pass == 0 ? page->face : page->faceSel;
            HBITMAP bitmap = (HBITMAP)LoadImageA((HINSTANCE)g_gui.instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0);
            ImageList_Add(g_frame.faces, bitmap, NULL);
            if (bitmap)
                DeleteObject(bitmap);
        }
}

static void DrawFace(const DRAWITEMSTRUCT *item)
{
    int index = (int)item->itemID;
    if (!g_frame.faces || index < 0 || index >= g_frame.frameDesc->pageCount)
        return;
    int image = (item->itemState & ODS_SELECTED) ? g_frame.frameDesc->pageCount + index : index;
    ImageList_Draw(g_frame.faces, image, item->hDC, item->rcItem.left, item->rcItem.top, ILD_NORMAL);
}

static HWND CreateSubPage(HWND frame, const SubPageSpec *frameDesc)
{
    HWND tab = SubTab(frame);
    HWND page = CreateDialogParamA((HINSTANCE)g_gui.instance, MAKEINTRESOURCEA(frameDesc->templateId), frame, frameDesc->proc,
                                   (LPARAM)&g_context);
    if (!page)
        return NULL;
    RECT rc;
    GetWindowRect(tab, &rc);
    MapWindowPoints(NULL, frame, (POINT *)&rc, 2);
    TabCtrl_AdjustRect(tab, FALSE, &rc);
    SetWindowPos(page, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
    ShowWindow(page, SW_HIDE);
    return page;
}

static BOOL OnInitFrame(HWND frame, const SubDialogSpec *frameDesc)
{
    char title[GUI_CAPTION_SIZE * 2];
    g_frame.frameDesc = frameDesc;
    g_context.frame = frame;
    LoadGuiString(frameDesc->titleId, title, sizeof(title));
    SetWindowTextA(frame, title);
    HWND tab = SubTab(frame);
    TabCtrl_SetItemSize(tab, SUB_FACE_WIDTH, SUB_FACE_HEIGHT);
    LoadFaces();
    for (int i = 0; i < frameDesc->pageCount; i++) {
        TCITEMA item;
        item.mask = TCIF_TEXT;
        item.pszText = (LPSTR)(frameDesc->pages[i].isSettings ? "Settings" : "Properties");
        SendMessageA(tab, TCM_INSERTITEMA, (WPARAM)i, (LPARAM)&item);
    }
    for (int i = 0; i < frameDesc->pageCount; i++)
        g_frame.pages[i] = CreateSubPage(frame, &frameDesc->pages[i]);
    TabCtrl_SetCurSel(tab, 0);
    ShowPage(frame, 0);
    return TRUE;
}

static void OnBack(HWND frame)
{
    int selected = SelectedPage(frame);
    int onSettings = selected >= 0 && selected < g_frame.frameDesc->pageCount && g_frame.frameDesc->pages[selected].isSettings;
    if (BackMayClose(frame, onSettings, g_frame.frameDesc->titleId))
        EndDialog(frame, IDOK);
}

static void OnDestroyFrame(void)
{
    if (g_frame.faces)
        ImageList_Destroy(g_frame.faces);
    g_frame.faces = NULL;
    for (int i = 0; i < SUB_MAX_PAGES; i++)
        g_frame.pages[i] = NULL;
}

static INT_PTR CALLBACK SubFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitFrame(frame, (const SubDialogSpec *)lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SUB_BACK || LOWORD(wParam) == IDCANCEL)
            OnBack(frame);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_SUB_TAB) {
            DrawFace((const DRAWITEMSTRUCT *)lParam);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        if (header->idFrom == IDC_SUB_TAB && header->code == TCN_SELCHANGE)
            ShowPage(frame, SelectedPage(frame));
        return TRUE;
    }
    case WM_DESTROY:
        OnDestroyFrame();
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PropColourMessage(frame, message, wParam, lParam);
    default:
        return FALSE;
    }
}

static int RunSubDialog(void *owner, const SubDialogSpec *frameDesc, int paneKind, uint8_t contNo, uint8_t target,
                        uint8_t viewTarget)
{
    g_context.paneKind = paneKind;
    g_context.contNo = contNo;
    g_context.target = target;
    g_context.viewTarget = viewTarget;
    g_context.frame = NULL;
    ActionBegin();
    INT_PTR result = DialogBoxParamA((HINSTANCE)g_gui.instance, MAKEINTRESOURCEA(frameDesc->frameTemplate), (HWND)owner,
                                     SubFrameProc, (LPARAM)frameDesc);
    ActionEnd();
    return (int)result;
}

static SubDialogSpec PropertiesOnly(uint16_t frameTemplate, uint16_t titleId, uint16_t pageTemplate)
{
    SubDialogSpec frameDesc;
    ZeroMemory(&frameDesc, sizeof(frameDesc));
    frameDesc.frameTemplate = frameTemplate;
    frameDesc.titleId = titleId;
    frameDesc.pageCount = 1;
    frameDesc.pages[0] = kPropertiesPage;
    frameDesc.pages[0].templateId = pageTemplate;
    return frameDesc;
}

static SubDialogSpec WithSettings(SubDialogSpec frameDesc, uint16_t settingsTemplate, DLGPROC proc)
{
    SubPageSpec settings = {settingsTemplate, IDB_FACE_SETTINGS, IDB_FACE_SETTINGS_SEL, proc, 1};
    frameDesc.pages[frameDesc.pageCount++] = settings;
    return frameDesc;
}

int ShowCtrlInfoDialog(void *owner, uint8_t contNo)
{
    static SubDialogSpec frameDesc;
    frameDesc = WithSettings(PropertiesOnly(ID_DIALOG_CTRL_INFO, IDS_CAPTION_CTRL_INFO, IDD_CONT_PROPERTIES),
                        IDD_CONT_SETTINGS, ContSettingsProc);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_CTRL, contNo, 0, 0);
}

int ShowEnclInfoDialog(void *owner, uint8_t contNo)
{
    static SubDialogSpec frameDesc;
    frameDesc = PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_ENCL_INFO, IDD_ENCL_PROPERTIES);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_ENCL, contNo, 0, 0);
}

int ShowCacheBkupInfoDialog(void *owner, uint8_t contNo)
{
    static SubDialogSpec frameDesc;
    frameDesc = PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_CACHEBKUP_INFO, IDD_CACHEBKUP_PROPERTIES);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_CACHEBKUP, contNo, 0, 0);
}

int ShowLdInfoDialog(void *owner, uint8_t contNo, uint8_t targetId)
{
    static SubDialogSpec frameDesc;
    frameDesc = WithSettings(PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_LD_INFO, IDD_LD_PROPERTIES), IDD_LD_SETTINGS,
                        LdSettingsProc);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_LD, contNo, targetId, 0);
}

int ShowPdInfoDialog(void *owner, uint8_t contNo, uint8_t slot)
{
    static SubDialogSpec frameDesc;
    frameDesc = PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_PD_INFO, IDD_PD_PROPERTIES);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_PD, contNo, slot, 0);
}

int ShowLdSnapshotInfoDialog(void *owner, uint8_t contNo, uint8_t targetId)
{
    static SubDialogSpec frameDesc;
    frameDesc = PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_SNAPSHOT_INFO, IDD_SNAPSHOT_PROPERTIES);
    ContData *record = contNo < GUI_MAX_CONTROLLERS ? &g_records[contNo] : NULL;
    if (record && targetId < LD_MAX && LdIsBase(record, targetId))
        frameDesc = WithSettings(frameDesc, IDD_SNAPSHOT_SETTINGS, SnapshotSettingsProc);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_SNAPSHOT, contNo, targetId, 0);
}

int ShowViewInfoDialog(void *owner, uint8_t contNo, uint8_t baseTargetId, uint8_t viewTargetId)
{
    static SubDialogSpec frameDesc;
    frameDesc = PropertiesOnly(ID_DIALOG_SUB, IDS_CAPTION_VIEW_INFO, IDD_VIEW_PROPERTIES);
    return RunSubDialog(owner, &frameDesc, PANE_KIND_VIEW, contNo, baseTargetId, viewTargetId);
}
