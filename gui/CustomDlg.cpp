// Custom configuration dialog of the Create LD tab: the administrator ticks the PDs, picks the
// RAID level, the cache policies and an LD size, and creates as custom creation does.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "gui/CreateLdShared.h"
#include "gui/GuiState.h"
#include "gui/MainWnd.h"
#include "gui/Page1Actions.h"
#include "gui/Utility.h"
#include "gui/resource.h"

struct PolicyChoice {
    const char *text;
    uint32_t bits;
};

static const PolicyChoice kWritePolicies[] = { { "Default", 0 },
                                               { "Write Through", LDC_OPT_WT },
                                               { "Write Back with Cache Backup", LDC_OPT_WBCB },
                                               { "Always Write Back", LDC_OPT_WB } };
static const PolicyChoice kReadPolicies[] = { { "Default", 0 }, { "No Read Ahead", LDC_OPT_NORA },
                                              { "Read Ahead", LDC_OPT_RA } };
static const PolicyChoice kIoPolicies[] = { { "Default", 0 }, { "Direct IO", LDC_OPT_DIRECT },
                                            { "Cached IO", LDC_OPT_CACHED } };

static void FillPolicies(HWND dialog, int id, const PolicyChoice *choices, int count)
{
    for (int i = 0; i < count; ++i)
        ComboAdd(dialog, id, choices[i].text, (LPARAM)choices[i].bits);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, 0, 0);
}

static void FillLevels(HWND dialog)
{
    static const int32_t kLevels[] = { RAIDLVL_0, RAIDLVL_1, RAIDLVL_5, RAIDLVL_6, RAIDLVL_10 };
    for (int i = 0; i < 5; ++i) {
        char name[16];
        if (IsSupportRaidLvl(kLevels[i], g_records, g_gui.currentCtrl) &&
            RaidlvlToStr(name, sizeof(name), kLevels[i], g_gui.currentCtrl) != 0)
            ComboAdd(dialog, IDC_CC_LEVEL, name, kLevels[i]);
    }
    SendDlgItemMessageA(dialog, IDC_CC_LEVEL, CB_SETCURSEL, 0, 0);
}

// The ticked PDs, in list order.
static int CheckedPds(HWND dialog, uint8_t *pds)
{
    HWND list = GetDlgItem(dialog, IDC_PD_LIST);
    int rows = ListView_GetItemCount(list);
    int count = 0;
    for (int r = 0; r < rows && count < RG_PD_MAX; ++r) {
        int slot = CreateLdPdSlotOfRow(dialog, r);
        if (slot >= 0 && ListView_GetCheckState(list, r))
            pds[count++] = (uint8_t)slot;
    }
    return count;
}

static void ReadAnswers(HWND dialog, CustomAnswers *answers)
{
    *answers = CustomAnswers(); // every field zero
    answers->level = ComboSelectedData(dialog, IDC_CC_LEVEL, RAIDLVL_0);
    answers->pdCount = CheckedPds(dialog, answers->pds);
    answers->cacheBits = (uint32_t)ComboSelectedData(dialog, IDC_CC_WRITE, 0) |
                         (uint32_t)ComboSelectedData(dialog, IDC_CC_READ, 0) |
                         (uint32_t)ComboSelectedData(dialog, IDC_CC_IO, 0);
    char size[32];
    GetDlgItemTextA(dialog, IDC_CC_SIZE, size, sizeof(size));
    double gigabytes = atof(size);
    if (gigabytes > 0) {
        // Sizes count thousandths of 2^30 bytes, as the console option does.
        answers->sizes.sizes[0] = gigabytes * 1000.0;
        answers->sizes.count = 1;
    }
}

static void ShowPick(HWND dialog)
{
    char text[GUI_TEXT_SIZE];
    LoadGuiString(IDS_CREATE_PICK_PDS, text, sizeof(text));
    SetDlgItemTextA(dialog, IDC_CC_SUMMARY, text);
}

static INT_PTR CALLBACK CustomConfigProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        CreateLdInitPdList(dialog);
        ListView_SetExtendedListViewStyle(GetDlgItem(dialog, IDC_PD_LIST), LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
        CreateLdFillPdList(dialog);
        FillLevels(dialog);
        FillPolicies(dialog, IDC_CC_WRITE, kWritePolicies, 4);
        FillPolicies(dialog, IDC_CC_READ, kReadPolicies, 3);
        FillPolicies(dialog, IDC_CC_IO, kIoPolicies, 3);
        ShowPick(dialog);
        return TRUE;
    case GUI_PAGE_REFRESH:
        if (CreateLdRefreshRecord())
            CreateLdFillPdList(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CC_CREATE: {
            CustomAnswers answers;
            ReadAnswers(dialog, &answers);
            CreateLdContext context = { dialog, g_gui.currentCtrl, g_records, NULL };
            ActionBegin();
            int created = CreateCustomLds(&context, &answers);
            EndPageAction(NULL, 0);
            if (created)
                EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return CreateLdPdCommand(dialog, LOWORD(wParam));
        }
    case WM_CONTEXTMENU:
        CreateLdPdContextMenu(dialog, (HWND)wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

int RunCustomConfigDialog(HWND owner)
{
    INT_PTR result = DialogBoxParamA((HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE),
                                     MAKEINTRESOURCEA(IDD_CUSTOM_CONFIG), owner, CustomConfigProc, 0);
    return result == IDOK;
}
