// Multi LD sub-page of the Create LD tab: one or two RAID groups with one or more LDs each, the
// snapshot layouts when the controller supports snapshots, the hot spares and the group split,
// with what will be built shown before anything is sent.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "common/DispFormat.h"
#include "gui/CreateLdShared.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page1Actions.h"
#include "gui/Page1Logic.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static const char kPatternFile[] = "confpat1.csv";

static CreateLdModel g_multiModel;
static EasyPlan g_multiPlan;
static int g_multiOutcome = LAYOUT_FAILED;

static const char *const kLayoutTexts[2][3] = {
    { "(1) RAID #0 + RAID #1 + GHS, one LD in each group", "(2) RAID #0 + GHS, several LDs in one group",
      "(3) RAID #0 + RAID #1 + GHS, several LDs in each group" },
    { "(1) RAID #0 (SS Base LD) + RAID #1 (SS Repository LD) + GHS",
      "(2) RAID #0 (SS Base LDs + SS Repository LD) + GHS",
      "(3) RAID #0 and RAID #1 (SS Base LDs + SS Repository LD each) + GHS" },
};

static int IsSnapshotLayout(HWND sub)
{
    return g_multiModel.snapshotSupported && IsDlgButtonChecked(sub, IDC_P11_SNAPSHOT) == BST_CHECKED;
}

static int Layout(HWND sub)
{
    return ComboSelectedData(sub, IDC_P11_LAYOUT, LAYOUT_TWO_GROUPS_ONE_LD);
}

static int GroupCount(HWND sub)
{
    return g_multiModel.candidateCount == 1 ? 1 : GroupCountOfLayout(Layout(sub));
}

static int SeveralLds(HWND sub)
{
    return g_multiModel.candidateCount == 1 || Layout(sub) != LAYOUT_TWO_GROUPS_ONE_LD;
}

static void FillLevels(HWND sub, int group)
{
    int id = group == 0 ? IDC_P11_LEVEL0 : IDC_P11_LEVEL1;
    int previous = ComboSelectedData(sub, id, -1);
    LevelList list;
    MultiLevelChoices(&g_multiModel, g_records, Layout(sub), IsSnapshotLayout(sub), group,
                      ComboSelectedData(sub, IDC_P11_LEVEL0, RAIDLVL_0), &list);
    ComboReset(sub, id);
    for (int i = 0; i < list.count; ++i) {
        char name[16];
        if (RaidlvlToStr(name, sizeof(name), list.levels[i], g_multiModel.contNo) != 0)
            ComboAdd(sub, id, name, list.levels[i]);
    }
    ComboSelectData(sub, id, previous);
}

static void FillNumbers(HWND sub, int id, int from, int to, int step, int keepDefault)
{
    int previous = ComboSelectedData(sub, id, keepDefault);
    ComboReset(sub, id);
    for (int n = from; n <= to; n += step) {
        char text[16];
        snprintf(text, sizeof(text), id == IDC_P11_RATE0 || id == IDC_P11_RATE1 ? "%d%%" : "%d", n);
        ComboAdd(sub, id, text, n);
    }
    ComboSelectData(sub, id, previous);
}

static void FillSpares(HWND sub)
{
    int layout = Layout(sub);
    int32_t l0 = ComboSelectedData(sub, IDC_P11_LEVEL0, RAIDLVL_0);
    int32_t l1 = ComboSelectedData(sub, IDC_P11_LEVEL1, RAIDLVL_0);
    int previous = ComboSelectedData(sub, IDC_P11_SPARES, -1);
    ComboReset(sub, IDC_P11_SPARES);
    for (int h = 0; h <= 2; ++h) {
        if (MultiHotSparesAllowed(&g_multiModel, layout, l0, l1, h)) {
            char text[8];
            snprintf(text, sizeof(text), "%d", h);
            ComboAdd(sub, IDC_P11_SPARES, text, h);
        }
    }
    int def = MultiDefaultHotSpares(&g_multiModel, g_records, layout, l0, l1);
    ComboSelectData(sub, IDC_P11_SPARES, previous >= 0 ? previous : def);
}

static void EnableGroupControls(HWND sub)
{
    int two = GroupCount(sub) == 2;
    int several = SeveralLds(sub);
    int snapshot = IsSnapshotLayout(sub);
    EnableWindow(GetDlgItem(sub, IDC_P11_LEVEL1), two);
    EnableWindow(GetDlgItem(sub, IDC_P11_LDS0), several);
    EnableWindow(GetDlgItem(sub, IDC_P11_LDS1), two && several);
    EnableWindow(GetDlgItem(sub, IDC_P11_RATE0), snapshot && several);
    EnableWindow(GetDlgItem(sub, IDC_P11_RATE1), snapshot && several && two);
    EnableWindow(GetDlgItem(sub, IDC_P11_SPLIT), two);
}

// Plans the answers as they stand and shows what will be built (or why nothing can be).
static void UpdatePlan(HWND sub, int refillSplits)
{
    char text[CREATE_SUMMARY_SIZE];
    int32_t levels[2] = { ComboSelectedData(sub, IDC_P11_LEVEL0, -1), ComboSelectedData(sub, IDC_P11_LEVEL1, -1) };
    int lds[2] = { ComboSelectedData(sub, IDC_P11_LDS0, 1), ComboSelectedData(sub, IDC_P11_LDS1, 1) };
    int rates[2] = { ComboSelectedData(sub, IDC_P11_RATE0, 50), ComboSelectedData(sub, IDC_P11_RATE1, 50) };
    int spares = ComboSelectedData(sub, IDC_P11_SPARES, -1);
    if (!SeveralLds(sub))
        lds[0] = lds[1] = 1;
    g_multiOutcome = LAYOUT_FAILED;
    if (g_multiModel.candidateCount == 0 || levels[0] < 0 || (GroupCount(sub) == 2 && levels[1] < 0) || spares < 0) {
        LoadGuiString(IDS_CREATE_NO_CONFIGURATION, text, sizeof(text));
    } else {
        int snapshot = IsSnapshotLayout(sub);
        int outcome = PrepareMultiPlan(&g_multiPlan, &g_multiModel, g_records, snapshot, Layout(sub), levels, lds,
                                       rates, spares);
        if (outcome == LAYOUT_OK && GroupCount(sub) == 2 && refillSplits) {
            int splits[CREATE_SPLITS_MAX], recommended = 0;
            int count = MultiSplits(&g_multiPlan, &g_multiModel.pattern, g_records, splits, CREATE_SPLITS_MAX,
                                    &recommended);
            ComboReset(sub, IDC_P11_SPLIT);
            for (int i = 0; i < count; ++i) {
                char line[96];
                MultiSplitText(line, sizeof(line), &g_multiPlan, g_records, splits[i], i < recommended);
                ComboAdd(sub, IDC_P11_SPLIT, line, splits[i]);
            }
            SendDlgItemMessageA(sub, IDC_P11_SPLIT, CB_SETCURSEL, count > 0 ? 0 : (WPARAM)-1, 0);
        }
        if (outcome == LAYOUT_OK)
            outcome = PlanMultiPlace(&g_multiPlan, &g_multiModel.pattern, g_records,
                                     GroupCount(sub) == 2 ? ComboSelectedData(sub, IDC_P11_SPLIT, 0) : 0);
        g_multiOutcome = outcome;
        if (outcome == LAYOUT_OK)
            PlanSummaryText(text, sizeof(text), &g_multiPlan, g_records);
        else
            LoadGuiString(LayoutOutcomeTextId(outcome), text, sizeof(text));
    }
    SetDlgItemTextA(sub, IDC_P11_SUMMARY, text);
    EnableWindow(GetDlgItem(sub, IDC_P11_CREATE), g_multiModel.candidateCount > 0);
}

// Refills everything that depends on the control that changed, in dialogue order.
static void OnAnswerChanged(HWND sub, int changed)
{
    if (changed == IDC_P11_SNAPSHOT) {
        int previous = Layout(sub);
        int snapshot = IsSnapshotLayout(sub);
        ComboReset(sub, IDC_P11_LAYOUT);
        for (int i = 0; i < MultiLayoutCount(&g_multiModel); ++i)
            ComboAdd(sub, IDC_P11_LAYOUT, kLayoutTexts[snapshot][g_multiModel.candidateCount == 1 ? 1 : i],
                     g_multiModel.candidateCount == 1 ? LAYOUT_ONE_GROUP : i + 1);
        ComboSelectData(sub, IDC_P11_LAYOUT, previous);
        int max = MultiLdCountMax(g_records, snapshot);
        FillNumbers(sub, IDC_P11_LDS0, 1, max, 1, 1);
        FillNumbers(sub, IDC_P11_LDS1, 1, max, 1, 1);
        changed = IDC_P11_LAYOUT;
    }
    if (changed == IDC_P11_LAYOUT) {
        FillLevels(sub, 0);
        changed = IDC_P11_LEVEL0;
    }
    if (changed == IDC_P11_LEVEL0) {
        FillLevels(sub, 1);
        changed = IDC_P11_LEVEL1;
    }
    if (changed == IDC_P11_LEVEL1)
        FillSpares(sub);
    EnableGroupControls(sub);
    UpdatePlan(sub, changed != IDC_P11_SPLIT);
}

static void RefreshMulti(HWND sub)
{
    if (!CreateLdRefreshRecord())
        return;
    if (!LoadCreateLdModel(&g_multiModel, g_records, g_gui.currentCtrl, kPatternFile))
        ShowErrorBox(sub, IDS_CREATE_PATTERN_MISSING, IDS_CAPTION_CREATE_LD);
    ShowWindow(GetDlgItem(sub, IDC_P11_SNAPSHOT), g_multiModel.snapshotSupported ? SW_SHOW : SW_HIDE);
    FillNumbers(sub, IDC_P11_RATE0, 10, 90, 10, 50);
    FillNumbers(sub, IDC_P11_RATE1, 10, 90, 10, 50);
    ComboReset(sub, IDC_P11_SPARES);
    OnAnswerChanged(sub, IDC_P11_SNAPSHOT);
    CreateLdFillPdList(sub);
}

static void OnMultiCreate(HWND sub)
{
    CreateLdContext context = { sub, g_gui.currentCtrl, g_records, NULL };
    ActionBegin();
    int created = ShowLayoutOutcome(&context, g_multiOutcome) && CreatePlannedLds(&context, &g_multiPlan);
    EndPageAction(sub, created);
}

INT_PTR CALLBACK Page11Proc(HWND sub, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CreateLdInitPdList(sub);
        return TRUE;
    case GUI_PAGE_REFRESH:
        RefreshMulti(sub);
        return TRUE;
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (id == IDC_P11_CREATE) {
            OnMultiCreate(sub);
            return TRUE;
        }
        if (id == IDC_P11_SNAPSHOT && HIWORD(wParam) == BN_CLICKED) {
            OnAnswerChanged(sub, id);
            return TRUE;
        }
        if (id >= IDC_P11_LAYOUT && id <= IDC_P11_SPLIT && HIWORD(wParam) == CBN_SELCHANGE) {
            OnAnswerChanged(sub, id);
            return TRUE;
        }
        return CreateLdPdCommand(sub, id);
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
