// Entry of zavcli: opens the trace, checks the command line, holds the single-instance mutex,
// finds the command's row, brings up the storage library and the controller data records, runs
// the one handler and tears everything down in reverse order.
#include "cli/zavcli_main.h"

#include "common/ContData.h"
#include "common/Discovery.h"
#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

#include <stdlib.h>
#include <string.h>

static const char INSTANCE_MUTEX_NAME[] = "zavcli";
static const char MSG_WRONG_PARAMETERS[] = "Error - Invoked with wrong parameters.";
static const char MSG_ACCESS_ERROR[] = "Error - An error has occurred on accessing to RAID controller.\nQuits the application.\n";

static const CommandEntry COMMAND_TABLE[ZAVCLI_COMMAND_COUNT] = {
    {"lde",          CliCmdExecCfgLDEasyMakeAdd,   1},
    {"ldc",          CliCmdExecCfgLDCustomMakeAdd, 1},
    {"lddel",        CliCmdExecCfgLDDel,           1},
    {"pdhsp",        CliCmdExecPDHSP,              1},
    {"ctrlinfo",     CliCmdExecAdpInfo,            1},
    {"ldpdinfo",     CliCmdExecLDInfo,             1},
    {"pdinfo",       CliCmdExecPDInfo,             1},
    {"cbinfo",       CliCmdExecCacheBkupInfo,      1},
    {"cblearn",      CliCmdExecCacheBkup,          1},
    {"enclinfo",     CliCmdExecEnclInfo,           1},
    {"v",            CliCmdExecVersion,            1},
    {"h",            CliCmdExecHelp,               1},
    {"help",         CliCmdExecHelp,               1},
    {"?",            CliCmdExecHelp,               1},
    {"ldsetprop",    CliCmdExecLDSetProp,          1},
    {"ctrlautorbld", CliCmdExecAdpRbldMode,        1},
    {"ctrlsetprop",  CliCmdExecAdpSetProp,         1},
    {"ctrlpr",       CliCmdExecAdpPR,              1},
    {"ldinit",       CliCmdExecLDINIT,             1},
    {"pdrbld",       CliCmdExecPDRbld,             1},
    {"ldcc",         CliCmdExecLDCC,               1},
    {"ldpdprog",     CliCmdExecLDPDProg,           1},
    {"tstevt",       CliCmdExecTSTEVT,             1},
    {"pdlocate",     CliCmdExecPDLocate,           1},
    {"pdonline",     CliCmdExecPDOnline,           1},
    {"pdoffline",    CliCmdExecPDOffline,          1},
    {"pdmakegood",   CliCmdExecPDMakeGood,         1},
    {"log",          CliCmdExecLog,                0},
    {"sse",          CliCmdExecSnapshotMenu,       1},
    {"snapshot",     CliCmdExecSnapshot,           1},
};

// ---- process services ------------------------------------------------------------------------

static ZavcliProcessSeam g_process = *WindowsProcessSeam();

void SetZavcliProcessSeam(const ZavcliProcessSeam *seam)
{
    g_process = seam ? *seam : *WindowsProcessSeam();
}

// Held for the whole run; the system releases it when the process ends.
static void *g_instanceMutex;

// ---- command line ----------------------------------------------------------------------------

const CommandEntry *ZavcliCommandTable(void)
{
    return COMMAND_TABLE;
}

const CommandEntry *FindCommand(const char *token)
{
    for (int row = 0; row < ZAVCLI_COMMAND_COUNT; row++) {
        if (strcmp(COMMAND_TABLE[row].name, token) == 0)
            return &COMMAND_TABLE[row];
    }
    return 0;
}

void NormaliseCommandToken(const char *argument, char *token)
{
    memset(token, 0, ZAVCLI_TOKEN_SIZE);
    for (int i = 0; i < ZAVCLI_MAX_ARG_LENGTH && argument[i] != '\0'; i++) {
        char c = argument[i];
        token[i] = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
    }
    char *dash = strchr(token, '-');
    if (dash && dash[1] != '\0')
        memmove(token, dash + 1, strlen(dash + 1) + 1);
}

void BuildCommandLineEcho(int argc, char **argv, char *echo, unsigned size)
{
    unsigned used = 0;
    echo[0] = '\0';
    for (int i = 0; i < argc && argv[i]; i++) {
        for (const char *p = argv[i]; *p && used + 1 < size; p++)
            echo[used++] = *p;
        if (used + 1 < size)
            echo[used++] = ' ';
        echo[used] = '\0';
    }
}

static int ArgumentsAreValid(int argc, char **argv)
{
    if (argc < 2 || !argv)
        return 0;
    for (int i = 0; i < argc; i++) {
        if (!argv[i] || strlen(argv[i]) > ZAVCLI_MAX_ARG_LENGTH)
            return 0;
    }
    return 1;
}

// ---- controller data -------------------------------------------------------------------------

static void ReportAllocationFailure(void)
{
    ZAV_REPORT(REPORT_BOTH, "Error - Failed to initialize.");
}

// Reads the controller list and checks the count. Returns 1 with *count set, or 0 after reporting.
static int ReadControllerCount(uint16_t *count)
{
    ControllerIdList list;
    memset(&list, 0, sizeof(list));
    if (SLGetCtrlList(&list) != 0) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_ACCESS_ERROR);
        return 0;
    }
    *count = list.count;
    if (*count == 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - No RAID controller is found.\nQuits the application.\n");
        return 0;
    }
    if (*count > ZAVCLI_MAX_CONTROLLERS) {
        ZAV_REPORT(REPORT_BOTH, "Error - The number of RAID controller is over %d.\nQuits the application.\n",
                   ZAVCLI_MAX_CONTROLLERS);
        return 0;
    }
    return 1;
}

static ContData *AllocateRecordBlock(uint16_t count)
{
    uint32_t error = 0;
    ContData *records = (ContData *)AllocateZeroedBlock(count, CONTDATA_RECORD_SIZE, &error);
    if (!records)
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred with Windows API. (code=0x%X)", (unsigned)error);
    return records;
}

// Port numbers, list buffers and the full refresh, stopping at the first failure.
static int FillRecords(ContData *records, uint16_t *count)
{
    if (GetCtrlPortNo(count, records) == 1 && AllocContData(records, *count) == 1 &&
        UpdateDriveInfo(records, *count) == 1)
        return 1;
    ZAV_REPORT(REPORT_BOTH, "%s", MSG_ACCESS_ERROR);
    return 0;
}

// Steps from loading the library to the handler; the caller tears down.
static int RunCommand(const CommandEntry *entry, int argc, char **argv, ContData **records, uint16_t *count)
{
    if (SLInitLib(ReportAllocationFailure) != 0) {
        ZAV_REPORT(REPORT_BOTH, "Error - Failed to initialize.");
        return -1;
    }
    if (!ReadControllerCount(count))
        return -1;
    if (!entry->needsContData) {
        entry->handler(argc, argv, 0, *count);
        return 0;
    }
    *records = AllocateRecordBlock(*count);
    if (!*records)
        return -1;
    if (!FillRecords(*records, count))
        return -1;
    entry->handler(argc, argv, *records, *count);
    return 0;
}

// ---- entry -----------------------------------------------------------------------------------

int ZavcliMain(int argc, char **argv)
{
    initLog("zavcli.log", ZAVCLI_TRACE_MAX_SIZE);

    static char echo[ZAVCLI_ECHO_SIZE];
    BuildCommandLineEcho(argc, argv, echo, sizeof(echo));
    TraceWrite(0, 0, echo, 0, 0);

    if (!ArgumentsAreValid(argc, argv)) {
        ZAV_REPORT(REPORT_BOTH, "%s", MSG_WRONG_PARAMETERS);
        finContData();
        return -1;
    }

    if (g_process.createInstanceMutex(INSTANCE_MUTEX_NAME, &g_instanceMutex) == INSTANCE_EXISTS) {
        g_process.closeInstanceMutex(g_instanceMutex);
        g_instanceMutex = 0;
        finContData();
        return 0;
    }
    if (!g_process.isUserAdmin()) {
        ZAV_REPORT(REPORT_BOTH, "Error - Must have administrative privileges.");
        g_process.closeInstanceMutex(g_instanceMutex);
        g_instanceMutex = 0;
        finContData();
        return 0;
    }

    char token[ZAVCLI_TOKEN_SIZE];
    NormaliseCommandToken(argv[1], token);
    const CommandEntry *entry = FindCommand(token);
    if (!entry) {
        ZAV_REPORT(REPORT_BOTH, "Error - Invalid input at or near token %s.", token);
        finContData();
        return -1;
    }

    ContData *records = 0;
    uint16_t count = 0;
    int exitCode = RunCommand(entry, argc, argv, &records, &count);

    if (entry->needsContData && records) {
        FreeContData(records, count);
        free(records);
    }
    UnloadStoreLibrary();
    finContData();
    return exitCode;
}
