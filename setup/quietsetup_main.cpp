// quietsetup.exe: the console installer. Prints what it finds, answers its own questions with yes
// (it is meant for scripts) and ends with one of the documented exit codes.
#include <stdio.h>
#include <string.h>

#include "setup/SetupLogic.h"
#include "setup/SetupPlatform.h"

static void PrintNotice(int level, const char *text)
{
    FILE *stream = level == SETUP_ERROR ? stderr : stdout;
    fprintf(stream, "%s\n", text);
    fflush(stream);
}

static int AnswerYes(const char *question)
{
    printf("%s (Y/N) Y\n", question);
    fflush(stdout);
    return 1;
}

static void PrintSurveyLine(int level, const char *line, void *)
{
    PrintNotice(level, line);
}

int main(int argc, char **argv)
{
    SetupRequest request;
    memset(&request, 0, sizeof(request));
    if (ParseQuietArgs(argc, argv, &request) != SETUP_EXIT_OK) {
        fputs(QuietUsageText(), stderr);
        return SETUP_EXIT_USAGE;
    }
    SetupSeam seam;
    memset(&seam, 0, sizeof(seam));
    FillWindowsSetupSeam(&seam);
    seam.notify = PrintNotice;
    seam.confirm = AnswerYes;

    int status = BeginSetup(&seam);
    if (status != SETUP_EXIT_OK)
        return status;
    if (LocatePackage(request.packagePath, sizeof(request.packagePath)))
        ReadPackageVersion(request.packagePath, request.packageVersion, sizeof(request.packageVersion));

    SetupSurvey survey;
    SurveyMachine(&seam, &survey);
    if (request.action != SETUP_UNINSTALL)
        DescribeSurvey(&survey, PrintSurveyLine, NULL);

    SetupOutcome outcome;
    RunSetup(&seam, &survey, &request, &outcome);
    seam.releaseSingleInstance();
    return outcome.exitCode;
}
