// setup.exe: the windowed installer, a one-page wizard. It shows what it found on the computer,
// lets the administrator choose install, repair or removal, runs it and reports the result;
// questions and failures appear as message boxes.
#include <windows.h>

#include <string.h>

#include "setup/SetupLogic.h"
#include "setup/SetupPlatform.h"
#include "setup/setup_resource.h"

static const char CAPTION[] = "Norvane RAID Vantrel Setup";

struct WizardState {
    HWND dialog;
    SetupSeam seam;
    SetupSurvey survey;
    SetupRequest request;
    int finished;
    int exitCode;
};

static WizardState g_wizard;

static void AppendLine(const char *line)
{
    HWND edit = GetDlgItem(g_wizard.dialog, IDC_SETUP_FINDINGS);
    if (!edit)
        return;
    int length = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, (WPARAM)length, (LPARAM)length);
    SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM)line);
    SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM) "\r\n");
}

static void ShowNotice(int level, const char *text)
{
    AppendLine(text);
    if (level == SETUP_ERROR)
        MessageBoxA(g_wizard.dialog, text, CAPTION, MB_OK | MB_ICONERROR);
}

static int AskYesNo(const char *question)
{
    return MessageBoxA(g_wizard.dialog, question, CAPTION, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

static void ShowSurveyLine(int, const char *line, void *)
{
    AppendLine(line);
}

static const int ACTION_BUTTONS[][2] = {{SETUP_INSTALL, IDC_SETUP_INSTALL},
                                        {SETUP_REPAIR, IDC_SETUP_REPAIR},
                                        {SETUP_UNINSTALL, IDC_SETUP_UNINSTALL}};

static void OnWizardInit(HWND dialog)
{
    g_wizard.dialog = dialog;
    DescribeSurvey(&g_wizard.survey, ShowSurveyLine, NULL);
    if (g_wizard.request.packageVersion[0]) {
        char line[SETUP_VERSION_SIZE + 32];
        wsprintfA(line, "This package: %s", g_wizard.request.packageVersion);
        AppendLine(line);
    }
    int proposed = WizardDefaultAction(&g_wizard.survey, g_wizard.request.packageVersion);
    for (size_t i = 0; i < sizeof(ACTION_BUTTONS) / sizeof(ACTION_BUTTONS[0]); i++) {
        HWND button = GetDlgItem(dialog, ACTION_BUTTONS[i][1]);
        EnableWindow(button, WizardActionAvailable(&g_wizard.survey, ACTION_BUTTONS[i][0]));
        SendMessageA(button, BM_SETCHECK, ACTION_BUTTONS[i][0] == proposed ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

static int CheckedAction(HWND dialog)
{
    for (size_t i = 0; i < sizeof(ACTION_BUTTONS) / sizeof(ACTION_BUTTONS[0]); i++)
        if (IsDlgButtonChecked(dialog, ACTION_BUTTONS[i][1]) == BST_CHECKED)
            return ACTION_BUTTONS[i][0];
    return SETUP_NONE;
}

static void OnNextBtnClicked(HWND dialog)
{
    if (g_wizard.finished) {
        EndDialog(dialog, 0);
        return;
    }
    g_wizard.request.action = CheckedAction(dialog);
    if (g_wizard.request.action == SETUP_NONE)
        return;
    for (size_t i = 0; i < sizeof(ACTION_BUTTONS) / sizeof(ACTION_BUTTONS[0]); i++)
        EnableWindow(GetDlgItem(dialog, ACTION_BUTTONS[i][1]), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_SETUP_NEXT), FALSE);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    AppendLine("");
    SetupOutcome outcome;
    RunSetup(&g_wizard.seam, &g_wizard.survey, &g_wizard.request, &outcome);
    g_wizard.exitCode = outcome.exitCode;
    g_wizard.finished = 1;
    SetDlgItemTextA(dialog, IDC_SETUP_NEXT, "&Finish");
    EnableWindow(GetDlgItem(dialog, IDC_SETUP_NEXT), TRUE);
    if (outcome.exitCode == SETUP_EXIT_RESTART_NEEDED &&
        MessageBoxA(dialog, "A restart is needed to complete the change. Restart the computer now?", CAPTION,
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        DWORD error = RequestRestart();
        if (error != 0) {
            char text[160];
            wsprintfA(text, "The computer could not be restarted (error %lu). Restart it yourself.", error);
            MessageBoxA(dialog, text, CAPTION, MB_OK | MB_ICONERROR);
        }
    }
}

static INT_PTR CALLBACK WizardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnWizardInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SETUP_NEXT) {
            OnNextBtnClicked(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            if (!g_wizard.finished)
                g_wizard.exitCode = SETUP_EXIT_CANCELLED;
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    memset(&g_wizard, 0, sizeof(g_wizard));
    FillWindowsSetupSeam(&g_wizard.seam);
    g_wizard.seam.notify = ShowNotice;
    g_wizard.seam.confirm = AskYesNo;
    g_wizard.request.windowed = 1;

    int status = BeginSetup(&g_wizard.seam);
    if (status != SETUP_EXIT_OK)
        return status;
    if (LocatePackage(g_wizard.request.packagePath, sizeof(g_wizard.request.packagePath)))
        ReadPackageVersion(g_wizard.request.packagePath, g_wizard.request.packageVersion,
                           sizeof(g_wizard.request.packageVersion));
    SurveyMachine(&g_wizard.seam, &g_wizard.survey);
    g_wizard.exitCode = SETUP_EXIT_CANCELLED;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP_WIZARD), NULL, WizardProc, 0);
    g_wizard.seam.releaseSingleInstance();
    return g_wizard.exitCode;
}
