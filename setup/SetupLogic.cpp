// Installer logic shared by setup.exe and quietsetup.exe: machine survey, the choice of installer
// action, and the steps around msiexec (service stop and start, settings carried over a repair or
// upgrade, clean-up of run-time files after an uninstall).
#include "setup/SetupLogic.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char SETUP_SERVICE_NAME[] = "zavservice";
const char SETUP_EVENT_SOURCE_KEY[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\zavservice";
const char SETUP_PRODUCT_NAME[] = "Norvane RAID Vantrel";

static const char PRODUCT_KEY[] = "SOFTWARE\\Norvane\\Zav";
static const char VENDOR_KEY[] = "SOFTWARE\\Norvane";
static const char CONFIG_FILE[] = "zav_config.csv";
static const char CONFIG_FILE_NEW[] = "zav_config.csv.new";

enum { SUPPORTED_PCI_VENDOR = 0x1000, TOOL_CONTROLLER_LIMIT = 4, SERVICE_STOP_WAIT_MS = 30000 };

// ---- small text helpers ------------------------------------------------------------------------

static void Notify(const SetupSeam *seam, int level, const char *format, ...)
{
    char text[SETUP_LINE_SIZE * 2];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    seam->notify(level, text);
}

static int JoinPath(char *out, unsigned size, const char *folder, const char *name)
{
    size_t length = strlen(folder);
    const char *separator = (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/') ? "\\" : "";
    int written = snprintf(out, size, "%s%s%s", folder, separator, name);
    return written > 0 && (unsigned)written < size;
}

static int SameNameIgnoringCase(const char *a, const char *b)
{
    for (; *a && *b; a++, b++) {
        char ca = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        char cb = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
        if (ca != cb)
            return 0;
    }
    return *a == *b;
}

// ---- arguments ---------------------------------------------------------------------------------

const char *QuietUsageText(void)
{
    return "Usage: quietsetup /install | /repair | /uninstall [/log FILE]\n"
           "  /install    installs Norvane RAID Vantrel from the package beside quietsetup.exe,\n"
           "              upgrades an older version, or repairs the same version\n"
           "  /repair     repairs the installed version\n"
           "  /uninstall  removes the installed version and its log files\n"
           "  /log FILE   msiexec writes its log to FILE\n"
           "Exit codes: 0 done, 3010 done but a restart is needed, 1 wrong arguments,\n"
           "  2 another setup is running, 3 not an administrator, 4 unsupported operating system,\n"
           "  5 no installer package, 6 zavservice would not stop, 7 msiexec failed,\n"
           "  8 not installed, 9 a newer version is installed, 10 cancelled\n";
}

static int ActionOfSwitch(const char *arg)
{
    static const struct {
        const char *name;
        int action;
    } switches[] = {{"install", SETUP_INSTALL}, {"repair", SETUP_REPAIR}, {"uninstall", SETUP_UNINSTALL}};
    if (arg[0] != '/' && arg[0] != '-')
        return SETUP_NONE;
    for (size_t i = 0; i < sizeof(switches) / sizeof(switches[0]); i++)
        if (SameNameIgnoringCase(arg + 1, switches[i].name))
            return switches[i].action;
    return SETUP_NONE;
}

int ParseQuietArgs(int argc, char **argv, SetupRequest *request)
{
    request->action = SETUP_NONE;
    request->logFile[0] = '\0';
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        int action = ActionOfSwitch(arg);
        if (action != SETUP_NONE) {
            if (request->action != SETUP_NONE)
                return SETUP_EXIT_USAGE; // one action per run
            request->action = action;
            continue;
        }
        if ((arg[0] == '/' || arg[0] == '-') && SameNameIgnoringCase(arg + 1, "log")) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || request->logFile[0] != '\0')
                return SETUP_EXIT_USAGE;
            if (strlen(argv[i + 1]) >= sizeof(request->logFile))
                return SETUP_EXIT_USAGE;
            strcpy(request->logFile, argv[++i]);
            continue;
        }
        return SETUP_EXIT_USAGE;
    }
    return request->action == SETUP_NONE ? SETUP_EXIT_USAGE : SETUP_EXIT_OK;
}

// ---- versions and the operating system ---------------------------------------------------------

int CompareVersions(const char *a, const char *b)
{
    for (int field = 0; field < 4; field++) {
        unsigned long va = strtoul(a, (char **)&a, 10);
        unsigned long vb = strtoul(b, (char **)&b, 10);
        if (va != vb)
            return va < vb ? -1 : 1;
        if (*a == '.')
            a++;
        if (*b == '.')
            b++;
    }
    return 0;
}

struct KnownWindows {
    uint32_t major, minor, minBuild;
    const char *serverName;
    const char *clientName;
};

// Newest first within a major.minor, so the first row whose build is reached names the release.
static const KnownWindows KNOWN_WINDOWS[] = {
    {10, 0, 22000, "Windows Server 2022", "Windows 11"},
    {10, 0, 20348, "Windows Server 2022", "Windows 10"},
    {10, 0, 17763, "Windows Server 2019", "Windows 10"},
    {10, 0, 14393, "Windows Server 2016", "Windows 10"},
    {10, 0, 0, "Windows Server 2016", "Windows 10"},
    {6, 3, 0, "Windows Server 2012 R2", "Windows 8.1"},
    {6, 2, 0, "Windows Server 2012", "Windows 8"},
    {6, 1, 0, "Windows Server 2008 R2", "Windows 7"},
};

int ClassifyOs(const OsVersion *os, char *name, unsigned nameSize)
{
    const size_t rows = sizeof(KNOWN_WINDOWS) / sizeof(KNOWN_WINDOWS[0]);
    for (size_t i = 0; i < rows; i++) {
        const KnownWindows *row = &KNOWN_WINDOWS[i];
        if (os->major == row->major && os->minor == row->minor && os->build >= row->minBuild) {
            snprintf(name, nameSize, "%s", os->isServer ? row->serverName : row->clientName);
            return os->isServer ? OS_SUPPORTED : OS_WORKSTATION;
        }
    }
    snprintf(name, nameSize, "Windows %u.%u", (unsigned)os->major, (unsigned)os->minor);
    if (os->major > 10)
        return OS_NEWER;
    return OS_TOO_OLD;
}

// ---- survey ------------------------------------------------------------------------------------

void SurveyMachine(const SetupSeam *seam, SetupSurvey *survey)
{
    memset(survey, 0, sizeof(*survey));
    survey->osKnown = seam->getOsVersion(&survey->os);
    if (survey->osKnown)
        survey->osVerdict = ClassifyOs(&survey->os, survey->osName, sizeof(survey->osName));
    int count = 0;
    survey->probeResult = seam->probeControllers(survey->controllers, SETUP_MAX_CONTROLLERS, &count,
                                                 &survey->probeStatus);
    survey->controllerCount = survey->probeResult == PROBE_OK ? count : 0;
    survey->installed = seam->findInstalled(survey->installedVersion, sizeof(survey->installedVersion),
                                            survey->productCode, sizeof(survey->productCode),
                                            survey->cachedPackage, sizeof(survey->cachedPackage));
    survey->serviceState = seam->serviceState(SETUP_SERVICE_NAME);
}

static void Emit(void (*emit)(int, const char *, void *), void *ctx, int level, const char *format, ...)
{
    char line[SETUP_LINE_SIZE];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    emit(level, line, ctx);
}

static const char *ServiceStateText(int state)
{
    switch (state) {
    case SERVICE_IS_RUNNING: return "running";
    case SERVICE_IS_STOPPED: return "stopped";
    case SERVICE_IS_OTHER: return "starting or stopping";
    default: return "not installed";
    }
}

static void DescribeOs(const SetupSurvey *s, void (*emit)(int, const char *, void *), void *ctx)
{
    if (!s->osKnown) {
        Emit(emit, ctx, SETUP_WARNING, "Warning - The operating system version could not be read.");
        return;
    }
    Emit(emit, ctx, SETUP_INFO, "Operating system: %s (%u.%u.%u)", s->osName, (unsigned)s->os.major,
         (unsigned)s->os.minor, (unsigned)s->os.build);
    if (s->osVerdict == OS_WORKSTATION)
        Emit(emit, ctx, SETUP_WARNING, "Warning - %s is not a server edition; %s is supported on Windows Server "
             "2008 R2 to 2022.", s->osName, SETUP_PRODUCT_NAME);
    else if (s->osVerdict == OS_NEWER)
        Emit(emit, ctx, SETUP_WARNING, "Warning - %s is newer than the versions %s was tested on.", s->osName,
             SETUP_PRODUCT_NAME);
    else if (s->osVerdict == OS_TOO_OLD)
        Emit(emit, ctx, SETUP_ERROR, "Error - %s is not supported; %s needs Windows Server 2008 R2 or later.",
             s->osName, SETUP_PRODUCT_NAME);
}

static void DescribeControllers(const SetupSurvey *s, void (*emit)(int, const char *, void *), void *ctx)
{
    if (s->probeResult == PROBE_NO_LIBRARY) {
        Emit(emit, ctx, SETUP_WARNING, "Warning - storelib.dll could not be loaded, so the RAID controllers "
             "could not be checked.");
        return;
    }
    if (s->probeResult == PROBE_INIT_FAILED) {
        Emit(emit, ctx, SETUP_WARNING, "Warning - The storage library did not start (status 0x%X), so the RAID "
             "controllers could not be checked.", (unsigned)s->probeStatus);
        return;
    }
    if (s->controllerCount == 0) {
        Emit(emit, ctx, SETUP_WARNING, "Warning - No RAID controller was found. The tools start only on a "
             "machine with a supported controller.");
        return;
    }
    Emit(emit, ctx, SETUP_INFO, "RAID controllers found: %d", s->controllerCount);
    for (int i = 0; i < s->controllerCount && i < SETUP_MAX_CONTROLLERS; i++) {
        const ControllerPci *c = &s->controllers[i];
        Emit(emit, ctx, SETUP_INFO, "  Controller[%d]: PCI %04X:%04X, subsystem %04X:%04X, bus %u device %u "
             "function %u", i, c->vendorId, c->deviceId, c->subVendorId, c->subDeviceId, (unsigned)c->bus,
             (unsigned)c->device, (unsigned)c->function);
        if (c->vendorId != SUPPORTED_PCI_VENDOR)
            Emit(emit, ctx, SETUP_WARNING, "Warning - Controller[%d] is not a supported RAID controller.", i);
    }
    if (s->controllerCount > TOOL_CONTROLLER_LIMIT)
        Emit(emit, ctx, SETUP_WARNING, "Warning - %d controllers were found; the tools serve at most %d.",
             s->controllerCount, TOOL_CONTROLLER_LIMIT);
}

void DescribeSurvey(const SetupSurvey *s, void (*emit)(int, const char *, void *), void *ctx)
{
    DescribeOs(s, emit, ctx);
    DescribeControllers(s, emit, ctx);
    if (s->installed)
        Emit(emit, ctx, SETUP_INFO, "Installed: %s %s", SETUP_PRODUCT_NAME, s->installedVersion);
    else
        Emit(emit, ctx, SETUP_INFO, "Installed: none");
    Emit(emit, ctx, SETUP_INFO, "Monitoring service %s: %s", SETUP_SERVICE_NAME, ServiceStateText(s->serviceState));
}

// ---- msiexec -----------------------------------------------------------------------------------

int BuildMsiexecArguments(int action, const SetupRequest *request, const SetupSurvey *survey, char *out,
                          unsigned size)
{
    const char *productCode = survey->productCode;
    const char *ui = request->windowed ? "/passive" : "/qn";
    int written;
    if (action == SETUP_INSTALL)
        written = snprintf(out, size, "/i \"%s\" %s /norestart", request->packagePath, ui);
    else if (action == SETUP_REPAIR && survey->cachedPackage[0] != '\0')
        written = snprintf(out, size, "/i \"%s\" REINSTALL=ALL REINSTALLMODE=amus %s /norestart",
                           survey->cachedPackage, ui);
    else if (action == SETUP_REPAIR && CompareVersions(survey->installedVersion, request->packageVersion) == 0)
        written = snprintf(out, size, "/i \"%s\" REINSTALL=ALL REINSTALLMODE=amus %s /norestart",
                           request->packagePath, ui);
    else if (action == SETUP_REPAIR)
        written = snprintf(out, size, "/famus %s %s /norestart", productCode, ui);
    else
        written = snprintf(out, size, "/x %s %s /norestart", productCode, ui);
    if (written < 0 || (unsigned)written >= size)
        return 0;
    if (request->logFile[0] != '\0') {
        size_t used = (size_t)written;
        // The verbose log switch; msiexec's "/log" spelling is not understood by every msiexec.
        written = snprintf(out + used, size - used, " /l*v \"%s\"", request->logFile);
        if (written < 0 || (unsigned)written >= size - used)
            return 0;
    }
    return 1;
}

const char *ExitCodeText(int exitCode)
{
    switch (exitCode) {
    case SETUP_EXIT_OK: return "done";
    case SETUP_EXIT_USAGE: return "wrong arguments";
    case SETUP_EXIT_ALREADY_RUNNING: return "another setup is running";
    case SETUP_EXIT_NOT_ADMIN: return "not an administrator";
    case SETUP_EXIT_UNSUPPORTED_OS: return "unsupported operating system";
    case SETUP_EXIT_NO_PACKAGE: return "no installer package";
    case SETUP_EXIT_SERVICE_STOP: return "zavservice would not stop";
    case SETUP_EXIT_MSIEXEC_FAILED: return "msiexec failed";
    case SETUP_EXIT_NOT_INSTALLED: return "not installed";
    case SETUP_EXIT_NEWER_INSTALLED: return "a newer version is installed";
    case SETUP_EXIT_CANCELLED: return "cancelled";
    case SETUP_EXIT_RESTART_NEEDED: return "done, restart needed";
    default: return "unknown";
    }
}

// ---- settings carried over a repair or upgrade -------------------------------------------------

struct CarriedSettings {
    int eventValueCount;
    RegValueCopy eventValues[SETUP_MAX_SAVED_VALUES];
    char *config; // the installed zav_config.csv, or null
    uint32_t configSize;
};

static void SaveSettings(const SetupSeam *seam, CarriedSettings *saved)
{
    saved->eventValueCount = seam->readKeyValues(SETUP_EVENT_SOURCE_KEY, saved->eventValues, SETUP_MAX_SAVED_VALUES);
    char installDir[SETUP_PATH_SIZE], path[SETUP_PATH_SIZE];
    if (seam->readProductValue("InstallDir", installDir, sizeof(installDir)) &&
        JoinPath(path, sizeof(path), installDir, CONFIG_FILE) && !seam->readFile(path, &saved->config, &saved->configSize))
        saved->config = 0;
}

// The message file and the types belong to the package; every other value of the source (an
// administrator's category file, parameter file or custom value) is put back as it was.
static int PackageOwnsEventValue(const char *name)
{
    return SameNameIgnoringCase(name, "EventMessageFile") || SameNameIgnoringCase(name, "TypesSupported");
}

static void RestoreEventValues(const SetupSeam *seam, const CarriedSettings *saved)
{
    for (int i = 0; i < saved->eventValueCount; i++) {
        const RegValueCopy *value = &saved->eventValues[i];
        if (PackageOwnsEventValue(value->name))
            continue;
        uint32_t error = seam->writeKeyValue(SETUP_EVENT_SOURCE_KEY, value);
        if (error != 0)
            Notify(seam, SETUP_WARNING, "Warning - The event log setting %s could not be restored (error %u).",
                   value->name, (unsigned)error);
    }
}

static void RestoreConfig(const SetupSeam *seam, const CarriedSettings *saved, int upgraded)
{
    char installDir[SETUP_PATH_SIZE], path[SETUP_PATH_SIZE], newPath[SETUP_PATH_SIZE];
    if (!saved->config || !seam->readProductValue("InstallDir", installDir, sizeof(installDir)) ||
        !JoinPath(path, sizeof(path), installDir, CONFIG_FILE) ||
        !JoinPath(newPath, sizeof(newPath), installDir, CONFIG_FILE_NEW))
        return;
    char *shipped = 0;
    uint32_t shippedSize = 0;
    int haveShipped = seam->readFile(path, &shipped, &shippedSize);
    int same = haveShipped && shippedSize == saved->configSize && memcmp(shipped, saved->config, shippedSize) == 0;
    if (!same) {
        // An upgrade may ship new events: keep its table beside the administrator's for merging.
        if (upgraded && haveShipped)
            seam->writeFile(newPath, shipped, shippedSize);
        uint32_t error = seam->writeFile(path, saved->config, saved->configSize);
        if (error != 0)
            Notify(seam, SETUP_WARNING, "Warning - Your edited %s could not be put back (error %u).", CONFIG_FILE,
                   (unsigned)error);
        else if (upgraded && haveShipped)
            Notify(seam, SETUP_INFO, "Your edited %s was kept; the new version's table is %s.", CONFIG_FILE,
                   CONFIG_FILE_NEW);
        else
            Notify(seam, SETUP_INFO, "Your edited %s was kept.", CONFIG_FILE);
    }
    free(shipped);
}

// ---- clean-up after an uninstall ---------------------------------------------------------------

struct ProductFolders {
    char installDir[SETUP_PATH_SIZE];
    char logDir[SETUP_PATH_SIZE];
    char logDir2[SETUP_PATH_SIZE];
};

static void ReadFolders(const SetupSeam *seam, ProductFolders *folders)
{
    memset(folders, 0, sizeof(*folders));
    seam->readProductValue("InstallDir", folders->installDir, sizeof(folders->installDir));
    seam->readProductValue("LogDir", folders->logDir, sizeof(folders->logDir));
    seam->readProductValue("LogDir2", folders->logDir2, sizeof(folders->logDir2));
}

// Files the tools and the simulated library write while they run; the package does not know them.
static const char *const LOG_FILES[] = {"zavcli.log", "zavgui.log"};
static const char *const RAID_LOG_FILES[] = {"log_AdapterInfo.log", "log_UART.log", "log_FlashROMLog.log"};
static const char *const INSTALL_RUNTIME_FILES[] = {"zavsim_state.json", "zavsim_state.json.lock",
                                                    "zavsim_state.json.new", "zavsim_journal.txt",
                                                    CONFIG_FILE_NEW};

static void DeleteNamedFiles(const SetupSeam *seam, const char *folder, const char *const *names, size_t count)
{
    char path[SETUP_PATH_SIZE];
    if (folder[0] == '\0')
        return;
    for (size_t i = 0; i < count; i++)
        if (JoinPath(path, sizeof(path), folder, names[i]) && seam->fileExists(path))
            seam->deleteFile(path);
}

static void ParentFolder(const char *folder, char *out, unsigned size)
{
    snprintf(out, size, "%s", folder);
    size_t length = strlen(out);
    while (length > 0 && (out[length - 1] == '\\' || out[length - 1] == '/'))
        out[--length] = '\0';
    while (length > 0 && out[length - 1] != '\\' && out[length - 1] != '/')
        out[--length] = '\0';
}

// Once the package's message file is unregistered, settings left on the source (an administrator's
// category count, say) describe a source that no longer resolves anything: the key goes with them.
static void RemoveOrphanedEventSource(const SetupSeam *seam)
{
    RegValueCopy values[SETUP_MAX_SAVED_VALUES];
    int count = seam->readKeyValues(SETUP_EVENT_SOURCE_KEY, values, SETUP_MAX_SAVED_VALUES);
    for (int i = 0; i < count; i++)
        if (SameNameIgnoringCase(values[i].name, "EventMessageFile"))
            return;
    seam->deleteKey(SETUP_EVENT_SOURCE_KEY);
}

static void CleanUpAfterUninstall(const SetupSeam *seam, const ProductFolders *folders)
{
    DeleteNamedFiles(seam, folders->logDir, LOG_FILES, sizeof(LOG_FILES) / sizeof(LOG_FILES[0]));
    DeleteNamedFiles(seam, folders->logDir2, RAID_LOG_FILES, sizeof(RAID_LOG_FILES) / sizeof(RAID_LOG_FILES[0]));
    DeleteNamedFiles(seam, folders->installDir, INSTALL_RUNTIME_FILES,
                     sizeof(INSTALL_RUNTIME_FILES) / sizeof(INSTALL_RUNTIME_FILES[0]));
    if (folders->installDir[0] != '\0') {
        char path[SETUP_PATH_SIZE], name[32];
        for (unsigned contNo = 0; contNo < 16; contNo++) {
            snprintf(name, sizeof(name), "_snapshot%u.csv", contNo);
            if (JoinPath(path, sizeof(path), folders->installDir, name) && seam->fileExists(path))
                seam->deleteFile(path);
        }
    }
    // Only empty folders go: anything an administrator put there stays.
    if (folders->logDir[0])
        seam->removeEmptyFolder(folders->logDir);
    if (folders->logDir2[0])
        seam->removeEmptyFolder(folders->logDir2);
    if (folders->installDir[0]) {
        char parent[SETUP_PATH_SIZE];
        seam->removeEmptyFolder(folders->installDir);
        ParentFolder(folders->installDir, parent, sizeof(parent));
        if (parent[0])
            seam->removeEmptyFolder(parent);
    }
    seam->deleteKeyIfEmpty(PRODUCT_KEY);
    seam->deleteKeyIfEmpty(VENDOR_KEY);
    RemoveOrphanedEventSource(seam);
}

// ---- the run -----------------------------------------------------------------------------------

// Decides what msiexec is asked to do; SETUP_EXIT_OK or the exit code of the refusal.
static int ChooseAction(const SetupSeam *seam, const SetupSurvey *s, const SetupRequest *r, int *action, int *upgrade)
{
    *action = r->action;
    *upgrade = 0;
    if (r->action == SETUP_INSTALL && s->installed) {
        int order = CompareVersions(s->installedVersion, r->packageVersion);
        if (order > 0) {
            Notify(seam, SETUP_ERROR, "Error - %s %s is installed, newer than this package (%s). Uninstall it first "
                   "to go back to %s.", SETUP_PRODUCT_NAME, s->installedVersion, r->packageVersion, r->packageVersion);
            return SETUP_EXIT_NEWER_INSTALLED;
        }
        if (order == 0) {
            Notify(seam, SETUP_INFO, "%s %s is already installed; repairing it.", SETUP_PRODUCT_NAME, s->installedVersion);
            *action = SETUP_REPAIR;
        } else {
            Notify(seam, SETUP_INFO, "Upgrading %s %s to %s.", SETUP_PRODUCT_NAME, s->installedVersion, r->packageVersion);
            *upgrade = 1;
        }
    }
    if ((*action == SETUP_REPAIR || *action == SETUP_UNINSTALL) && !s->installed) {
        Notify(seam, SETUP_ERROR, "Error - %s is not installed.", SETUP_PRODUCT_NAME);
        return SETUP_EXIT_NOT_INSTALLED;
    }
    return SETUP_EXIT_OK;
}

int SurveyHasWarnings(const SetupSurvey *s)
{
    if (!s->osKnown || s->osVerdict == OS_WORKSTATION || s->osVerdict == OS_NEWER)
        return 1;
    if (s->probeResult != PROBE_OK || s->controllerCount == 0 || s->controllerCount > TOOL_CONTROLLER_LIMIT)
        return 1;
    for (int i = 0; i < s->controllerCount && i < SETUP_MAX_CONTROLLERS; i++)
        if (s->controllers[i].vendorId != SUPPORTED_PCI_VENDOR)
            return 1;
    return 0;
}

static int CheckMachine(const SetupSeam *seam, const SetupSurvey *s, int action)
{
    if (action == SETUP_UNINSTALL)
        return SETUP_EXIT_OK;
    if (s->osKnown && s->osVerdict == OS_TOO_OLD) {
        Notify(seam, SETUP_ERROR, "Error - %s is not supported; %s needs Windows Server 2008 R2 or later.", s->osName,
               SETUP_PRODUCT_NAME);
        return SETUP_EXIT_UNSUPPORTED_OS;
    }
    if (SurveyHasWarnings(s)) {
        if (!seam->confirm(action == SETUP_REPAIR ? "Repair anyway?" : "Install anyway?")) {
            Notify(seam, SETUP_INFO, "Setup was cancelled; nothing was changed.");
            return SETUP_EXIT_CANCELLED;
        }
    }
    return SETUP_EXIT_OK;
}

static int StopServiceIfRunning(const SetupSeam *seam, int *wasRunning)
{
    int state = seam->serviceState(SETUP_SERVICE_NAME);
    *wasRunning = state == SERVICE_IS_RUNNING || state == SERVICE_IS_OTHER;
    if (!*wasRunning)
        return SETUP_EXIT_OK;
    Notify(seam, SETUP_INFO, "Stopping the monitoring service %s.", SETUP_SERVICE_NAME);
    uint32_t error = seam->stopService(SETUP_SERVICE_NAME, SERVICE_STOP_WAIT_MS);
    if (error != 0) {
        Notify(seam, SETUP_ERROR, "Error - The monitoring service %s would not stop (error %u). Stop it by hand and "
               "run setup again.", SETUP_SERVICE_NAME, (unsigned)error);
        return SETUP_EXIT_SERVICE_STOP;
    }
    return SETUP_EXIT_OK;
}

static void StartServiceAgain(const SetupSeam *seam)
{
    Notify(seam, SETUP_INFO, "Starting the monitoring service %s again.", SETUP_SERVICE_NAME);
    uint32_t error = seam->startService(SETUP_SERVICE_NAME);
    if (error != 0)
        Notify(seam, SETUP_WARNING, "Warning - The monitoring service %s did not start again (error %u). Start it "
               "from the Services console.", SETUP_SERVICE_NAME, (unsigned)error);
}

static int RunMsiexec(const SetupSeam *seam, int action, const SetupRequest *r, const SetupSurvey *s,
                      SetupOutcome *outcome)
{
    char arguments[SETUP_PATH_SIZE * 3];
    if (!BuildMsiexecArguments(action, r, s, arguments, sizeof(arguments))) {
        Notify(seam, SETUP_ERROR, "Error - The package or log file path is too long.");
        return SETUP_EXIT_USAGE;
    }
    uint32_t code = 0;
    uint32_t error = seam->runMsiexec(arguments, &code);
    if (error != 0) {
        Notify(seam, SETUP_ERROR, "Error - msiexec could not be started (error %u).", (unsigned)error);
        return SETUP_EXIT_MSIEXEC_FAILED;
    }
    outcome->msiexecCode = code;
    if (code == MSI_RESTART_REQUIRED || code == MSI_RESTART_INITIATED) {
        outcome->restartNeeded = 1;
        return SETUP_EXIT_OK;
    }
    if (code == MSI_SUCCESS)
        return SETUP_EXIT_OK;
    if (code == MSI_USER_EXIT) {
        Notify(seam, SETUP_INFO, "The installation was cancelled; nothing was changed.");
        return SETUP_EXIT_CANCELLED;
    }
    if (r->logFile[0] != '\0')
        Notify(seam, SETUP_ERROR, "Error - msiexec failed with code %u. Its log is %s.", (unsigned)code, r->logFile);
    else
        Notify(seam, SETUP_ERROR, "Error - msiexec failed with code %u. Run quietsetup with /log FILE for details.",
               (unsigned)code);
    return SETUP_EXIT_MSIEXEC_FAILED;
}

static const char *DoneText(int action, int upgrade)
{
    if (upgrade)
        return "upgraded";
    return action == SETUP_INSTALL ? "installed" : action == SETUP_REPAIR ? "repaired" : "uninstalled";
}

static int RunLocked(const SetupSeam *seam, const SetupSurvey *s, const SetupRequest *r, SetupOutcome *outcome)
{
    int action = r->action, upgrade = 0;
    int status = ChooseAction(seam, s, r, &action, &upgrade);
    outcome->effectiveAction = action;
    if (status == SETUP_EXIT_OK)
        status = CheckMachine(seam, s, action);
    if (status == SETUP_EXIT_OK && action == SETUP_INSTALL && !seam->fileExists(r->packagePath)) {
        Notify(seam, SETUP_ERROR, "Error - The installer package %s was not found.", r->packagePath);
        status = SETUP_EXIT_NO_PACKAGE;
    }
    if (status != SETUP_EXIT_OK)
        return status;

    CarriedSettings saved;
    memset(&saved, 0, sizeof(saved));
    ProductFolders folders;
    if (s->installed && action != SETUP_UNINSTALL)
        SaveSettings(seam, &saved);
    if (action == SETUP_UNINSTALL)
        ReadFolders(seam, &folders);

    int wasRunning = 0;
    status = StopServiceIfRunning(seam, &wasRunning);
    if (status == SETUP_EXIT_OK) {
        status = RunMsiexec(seam, action, r, s, outcome);
        if (status == SETUP_EXIT_OK && action == SETUP_UNINSTALL)
            CleanUpAfterUninstall(seam, &folders);
        else if (status == SETUP_EXIT_OK && s->installed) {
            RestoreEventValues(seam, &saved);
            RestoreConfig(seam, &saved, upgrade);
        }
        if (wasRunning)
            StartServiceAgain(seam);
    }
    free(saved.config);
    if (status != SETUP_EXIT_OK)
        return status;
    Notify(seam, SETUP_INFO, "%s was %s.", SETUP_PRODUCT_NAME, DoneText(action, upgrade));
    if (outcome->restartNeeded) {
        Notify(seam, SETUP_WARNING, "Warning - Restart the computer to complete the change.");
        return SETUP_EXIT_RESTART_NEEDED;
    }
    return SETUP_EXIT_OK;
}

int BeginSetup(const SetupSeam *seam)
{
    if (!seam->acquireSingleInstance()) {
        Notify(seam, SETUP_ERROR, "Error - Another setup of %s is running. Wait until it ends and try again.",
               SETUP_PRODUCT_NAME);
        return SETUP_EXIT_ALREADY_RUNNING;
    }
    if (!seam->isAdmin()) {
        Notify(seam, SETUP_ERROR, "Error - Setup must be run by an administrator.");
        seam->releaseSingleInstance();
        return SETUP_EXIT_NOT_ADMIN;
    }
    return SETUP_EXIT_OK;
}

void RunSetup(const SetupSeam *seam, const SetupSurvey *survey, const SetupRequest *request, SetupOutcome *outcome)
{
    memset(outcome, 0, sizeof(*outcome));
    outcome->effectiveAction = request->action;
    outcome->exitCode = RunLocked(seam, survey, request, outcome);
}

int WizardActionAvailable(const SetupSurvey *survey, int action)
{
    if (action == SETUP_INSTALL)
        return 1;
    return (action == SETUP_REPAIR || action == SETUP_UNINSTALL) && survey->installed;
}

int WizardDefaultAction(const SetupSurvey *survey, const char *packageVersion)
{
    if (!survey->installed)
        return SETUP_INSTALL;
    int order = CompareVersions(survey->installedVersion, packageVersion);
    return order < 0 ? SETUP_INSTALL : SETUP_REPAIR;
}
