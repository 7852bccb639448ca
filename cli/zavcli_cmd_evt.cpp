// zavcli service commands: "tstevt" raises a test event in the Windows event log, "log" collects
// the controllers' three logs with the vendor's log utility into the LogDir2 folder.
#include "cli/zavcli_cmd_evt.h"

#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "cli/zavcli_cmds.h"
#include "common/EventLog.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

enum { LOG_PATH_SIZE = 261, LOG_DEST_SIZE = 2 * LOG_PATH_SIZE };

static const char kWorkDir[] = "C:";
static const char kEventLogTemp[] = "C:\\log_FlashROMLogTemp.log";

// The three logs in collection order: file name and command line. The command line takes the
// utility's name, the working folder and the file name; paths are quoted so the interpreter
// reads each as one word whatever it holds.
struct RaidLogEntry {
    const char *fileName;
    const char *lineFormat;
};

static const RaidLogEntry kRaidLogs[RAID_LOG_COUNT] = {
    {"log_FlashROMLog.log",
     "%s -AdpEventLog -GetEvents -f \"%s\\%s\" -aALL -nolog > \"C:\\log_FlashROMLogTemp.log\""},
    {"log_UART.log", "%s -FWTermlog -Dsply -aALL -nolog > \"%s\\%s\""},
    {"log_AdapterInfo.log", "%s -AdpAllInfo -aALL -nolog > \"%s\\%s\""},
};

static LogCollectSeam g_logSeam = *WindowsLogCollectSeam();

void SetLogCollectSeam(const LogCollectSeam *seam)
{
    g_logSeam = seam ? *seam : *WindowsLogCollectSeam();
}

// ---------------------------------------------------------------------------------------------
// tstevt
// ---------------------------------------------------------------------------------------------
static const CliOption kTestEventOptions[] = {
    {"inf", 1, 0},
    {"wrn", 1, 0},
    {"err", 1, 0},
};
static const uint32_t kTestEventCodes[] = {TEST_EVENT_INFORMATION, TEST_EVENT_WARNING, TEST_EVENT_ERROR};

int CliCmdExecTSTEVT(int argc, char **argv, ContData *, uint16_t)
{
    CliArgs args;
    const unsigned rows = sizeof(kTestEventOptions) / sizeof(kTestEventOptions[0]);
    if (!ParseCliOptions(argc, argv, kTestEventOptions, rows, 0, &args)) {
        return -1;
    }
    for (unsigned i = 0; i < rows; i++) {
        if (OptGiven(&args, (int)i)) {
            return RaiseTestEvent("CliCmdExecTSTEVT", kTestEventCodes[i]) ? 0 : -1;
        }
    }
    return ReportInvalidToken("");
}

// ---------------------------------------------------------------------------------------------
// log
// ---------------------------------------------------------------------------------------------
const char *LogUtilityName(void)
{
    return g_logSeam.isAmd64System() ? "MegaCLi64.exe" : "MegaCLi.exe";
}

int BuildRaidLogCommandLine(unsigned index, const char *utility, char *out, unsigned size)
{
    if (index >= RAID_LOG_COUNT || size == 0) {
        return 0;
    }
    int length = snprintf(out, size, kRaidLogs[index].lineFormat, utility, kWorkDir, kRaidLogs[index].fileName);
    if (length < 0 || length > RAID_LOG_LINE_MAX || (unsigned)length >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

static void WorkFilePath(unsigned index, char *out, unsigned size)
{
    snprintf(out, size, "%s\\%s", kWorkDir, kRaidLogs[index].fileName);
}

// The log folder with exactly one trailing separator, as it is printed before each file name.
static void LogDirWithSeparator(const char *logDir, char *out, unsigned size)
{
    size_t length = strlen(logDir);
    int hasSeparator = length > 0 && (logDir[length - 1] == '\\' || logDir[length - 1] == '/');
    snprintf(out, size, "%s%s", logDir, hasSeparator ? "" : "\\");
}

// The folder to create: the log folder without its trailing separator (but "C:\" stays whole).
static void LogDirForCreate(const char *logDir, char *out, unsigned size)
{
    snprintf(out, size, "%s", logDir);
    size_t length = strlen(out);
    while (length > 1 && (out[length - 1] == '\\' || out[length - 1] == '/') && out[length - 2] != ':') {
        out[--length] = '\0';
    }
}

static int CollectOneLog(unsigned index, const char *utility, const char *logDir, const char *dirWithSep)
{
    char line[LOG_PATH_SIZE];
    char work[LOG_PATH_SIZE];
    char dest[LOG_DEST_SIZE];
    char folder[LOG_PATH_SIZE];
    WorkFilePath(index, work, sizeof(work));
    snprintf(dest, sizeof(dest), "%s%s", dirWithSep, kRaidLogs[index].fileName);
    if (!BuildRaidLogCommandLine(index, utility, line, sizeof(line))) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, file=%s", "CliCmdExecLog", "command line too long", kRaidLogs[index].fileName);
        return 0;
    }
    ZAV_TRACE("", "func=%s: run %s", "CliCmdExecLog", line);
    if (!g_logSeam.runCommandLine(line)) {
        g_logSeam.deleteFile(work);
        return 0;
    }
    LogDirForCreate(logDir, folder, sizeof(folder));
    g_logSeam.createDirectory(folder);
    int copied = g_logSeam.copyFile(work, dest);
    if (!copied) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, from=%s, to=%s", "CliCmdExecLog", "copy error", work, dest);
    }
    g_logSeam.deleteFile(work);
    return copied;
}

static int AnyRaidLogExists(const char *dirWithSep)
{
    char dest[LOG_DEST_SIZE];
    for (unsigned i = 0; i < RAID_LOG_COUNT; i++) {
        snprintf(dest, sizeof(dest), "%s%s", dirWithSep, kRaidLogs[i].fileName);
        if (g_logSeam.fileExists(dest)) {
            return 1;
        }
    }
    return 0;
}

static int ReportLogFailed(void)
{
    ZAV_REPORT(REPORT_BOTH, "Error - The Collection of the RAID log Failed.");
    return -1;
}

int CliCmdExecLog(int argc, char **argv, ContData *, uint16_t)
{
    if (argc > 2) {
        return ReportInvalidToken(argv[1]);
    }
    char logDir[LOG_PATH_SIZE] = "";
    if (!g_logSeam.readLogDir2(logDir, sizeof(logDir) - 1) || logDir[0] == '\0') {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "CliCmdExecLog", "LogDir2 read error");
        return ReportLogFailed();
    }
    logDir[sizeof(logDir) - 1] = '\0';
    char dirWithSep[LOG_PATH_SIZE + 1];
    char work[LOG_PATH_SIZE];
    LogDirWithSeparator(logDir, dirWithSep, sizeof(dirWithSep));
    for (unsigned i = 0; i < RAID_LOG_COUNT; i++) {
        WorkFilePath(i, work, sizeof(work));
        g_logSeam.deleteFile(work);
    }
    if (AnyRaidLogExists(dirWithSep)) {
        char answer[LD_LIST_SIZE];
        if (ComChk(answer, 9, 0) != 1) {
            return 0;
        }
    }
    const char *utility = LogUtilityName();
    int allCopied = 1;
    for (unsigned i = 0; i < RAID_LOG_COUNT; i++) {
        if (!CollectOneLog(i, utility, logDir, dirWithSep)) {
            allCopied = 0;
        }
    }
    g_logSeam.deleteFile(kEventLogTemp);
    if (!allCopied) {
        return ReportLogFailed();
    }
    ZAV_REPORT(REPORT_BOTH, "Information - The Collection of the RAID log succeeded.\n  %s%s\n  %s%s\n  %s%s",
               dirWithSep, kRaidLogs[0].fileName, dirWithSep, kRaidLogs[1].fileName, dirWithSep,
               kRaidLogs[2].fileName);
    return 0;
}
