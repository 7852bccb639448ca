// Installer logic shared by setup.exe (windowed) and quietsetup.exe (console): what is on the
// machine, which installer action follows from it, and the steps around msiexec. Every platform
// call goes through SetupSeam so the whole flow runs in tests against fakes.
#ifndef ZAV_SETUP_SETUPLOGIC_H
#define ZAV_SETUP_SETUPLOGIC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum SetupAction { SETUP_NONE = 0, SETUP_INSTALL = 1, SETUP_REPAIR = 2, SETUP_UNINSTALL = 3 };

// Exit codes of both installers (documented in the README and in quietsetup's usage text).
enum SetupExitCode {
    SETUP_EXIT_OK = 0,
    SETUP_EXIT_USAGE = 1,
    SETUP_EXIT_ALREADY_RUNNING = 2,
    SETUP_EXIT_NOT_ADMIN = 3,
    SETUP_EXIT_UNSUPPORTED_OS = 4,
    SETUP_EXIT_NO_PACKAGE = 5,
    SETUP_EXIT_SERVICE_STOP = 6,
    SETUP_EXIT_MSIEXEC_FAILED = 7,
    SETUP_EXIT_NOT_INSTALLED = 8,
    SETUP_EXIT_NEWER_INSTALLED = 9,
    SETUP_EXIT_CANCELLED = 10,
    SETUP_EXIT_RESTART_NEEDED = 3010
};

// msiexec's own results that mean success.
enum { MSI_SUCCESS = 0, MSI_RESTART_REQUIRED = 3010, MSI_RESTART_INITIATED = 1641, MSI_USER_EXIT = 1602 };

enum SetupNoticeLevel { SETUP_INFO = 0, SETUP_WARNING = 1, SETUP_ERROR = 2 };

enum ServiceState { SERVICE_ABSENT = 0, SERVICE_IS_STOPPED = 1, SERVICE_IS_RUNNING = 2, SERVICE_IS_OTHER = 3 };

enum ProbeResult { PROBE_OK = 0, PROBE_NO_LIBRARY = 1, PROBE_INIT_FAILED = 2 };

enum { SETUP_PATH_SIZE = 520, SETUP_VERSION_SIZE = 32, SETUP_CODE_SIZE = 40, SETUP_MAX_CONTROLLERS = 16,
       SETUP_MAX_SAVED_VALUES = 16, SETUP_VALUE_NAME_SIZE = 64, SETUP_VALUE_DATA_SIZE = 520,
       SETUP_LINE_SIZE = 512 };

struct OsVersion {
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    int isServer; // a server edition (not a workstation)
};

struct ControllerPci {
    uint16_t vendorId;
    uint16_t deviceId;
    uint16_t subVendorId;
    uint16_t subDeviceId;
    uint32_t bus;
    uint8_t device;
    uint8_t function;
};

struct RegValueCopy {
    char name[SETUP_VALUE_NAME_SIZE];
    uint32_t type;
    uint32_t size;
    uint8_t data[SETUP_VALUE_DATA_SIZE];
};

// The platform. Every call returns plainly; the Win32 half lives in SetupPlatform_win.cpp.
struct SetupSeam {
    int (*acquireSingleInstance)(void);  // 1 when this is the only installer running
    void (*releaseSingleInstance)(void);
    int (*isAdmin)(void);
    int (*getOsVersion)(OsVersion *out); // 1 on success
    // Reads the controllers' PCI identities through storelib.dll; returns a ProbeResult.
    int (*probeControllers)(ControllerPci *out, int max, int *count, uint32_t *status);
    // The installed product of this upgrade code: 1 with its version, product code and the copy of
    // its package that Windows Installer keeps (empty when unknown), or 0.
    int (*findInstalled)(char *version, unsigned versionSize, char *productCode, unsigned codeSize,
                         char *cachedPackage, unsigned packageSize);
    int (*fileExists)(const char *path);
    int (*serviceState)(const char *name);                    // a ServiceState
    uint32_t (*stopService)(const char *name, uint32_t waitMs); // 0 or a system error code
    uint32_t (*startService)(const char *name);                 // 0 or a system error code
    // Runs msiexec with the given arguments and waits; 0 when it ran (its result in *exitCode).
    uint32_t (*runMsiexec)(const char *arguments, uint32_t *exitCode);
    // Reads a string value of the product key (32-bit view); 1 on success.
    int (*readProductValue)(const char *name, char *out, unsigned size);
    // Reads up to max values of a key under HKLM; returns how many (0 when the key is missing).
    int (*readKeyValues)(const char *keyPath, RegValueCopy *out, int max);
    uint32_t (*writeKeyValue)(const char *keyPath, const RegValueCopy *value); // 0 or error
    void (*deleteKeyIfEmpty)(const char *keyPath);
    void (*deleteKey)(const char *keyPath); // with its values; never a key that has subkeys
    // Whole-file read into a buffer the caller frees with free(); 1 on success.
    int (*readFile)(const char *path, char **data, uint32_t *size);
    uint32_t (*writeFile)(const char *path, const char *data, uint32_t size); // 0 or error
    int (*deleteFile)(const char *path);      // 1 when deleted
    int (*removeEmptyFolder)(const char *path); // 1 when removed
    void (*notify)(int level, const char *text);
    // A yes/no question; the console installer answers every question with yes.
    int (*confirm)(const char *question);
};

// What was found on the machine before anything changes.
struct SetupSurvey {
    int osKnown;
    OsVersion os;
    int osVerdict; // OS_SUPPORTED, OS_WORKSTATION, OS_NEWER, OS_TOO_OLD
    char osName[64];
    int probeResult;
    uint32_t probeStatus;
    int controllerCount;
    ControllerPci controllers[SETUP_MAX_CONTROLLERS];
    int installed;
    char installedVersion[SETUP_VERSION_SIZE];
    char productCode[SETUP_CODE_SIZE];
    char cachedPackage[SETUP_PATH_SIZE];
    int serviceState;
};

enum OsVerdict { OS_SUPPORTED = 0, OS_WORKSTATION = 1, OS_NEWER = 2, OS_TOO_OLD = 3 };

struct SetupRequest {
    int action;                           // SetupAction
    char packagePath[SETUP_PATH_SIZE];    // the .msi beside the installer
    char packageVersion[SETUP_VERSION_SIZE];
    char logFile[SETUP_PATH_SIZE];        // empty: no msiexec log
    int windowed;                         // msiexec shows its progress (setup.exe) or nothing
};

struct SetupOutcome {
    int exitCode;           // SetupExitCode
    uint32_t msiexecCode;   // msiexec's own result when it ran
    int restartNeeded;
    int effectiveAction;    // an install of the installed version becomes a repair
};

extern const char SETUP_SERVICE_NAME[];      // "zavservice"
extern const char SETUP_EVENT_SOURCE_KEY[];  // the event source's key under HKLM
extern const char SETUP_PRODUCT_NAME[];

// Parses quietsetup's arguments: /install, /repair or /uninstall, optionally /log FILE.
// Returns SETUP_EXIT_OK or SETUP_EXIT_USAGE.
int ParseQuietArgs(int argc, char **argv, SetupRequest *request);
const char *QuietUsageText(void);

// Compares dotted versions field by field (missing fields count 0): <0, 0 or >0.
int CompareVersions(const char *a, const char *b);

int ClassifyOs(const OsVersion *os, char *name, unsigned nameSize); // an OsVerdict
void SurveyMachine(const SetupSeam *seam, SetupSurvey *survey);
// The findings as lines of text (one per call of emit), for the console and the wizard alike.
void DescribeSurvey(const SetupSurvey *survey, void (*emit)(int level, const char *line, void *ctx), void *ctx);

// Start of either installer: one instance at a time, administrator rights. SETUP_EXIT_OK or the
// refusal (already told through notify); on SETUP_EXIT_OK call releaseSingleInstance at exit.
int BeginSetup(const SetupSeam *seam);

// Runs the whole action: checks, service stop, msiexec, carried-over settings, service start.
void RunSetup(const SetupSeam *seam, const SetupSurvey *survey, const SetupRequest *request, SetupOutcome *outcome);

const char *ExitCodeText(int exitCode);

// Anything in the survey an administrator should confirm before an install or repair goes on.
int SurveyHasWarnings(const SetupSurvey *survey);

// The wizard offers repair and uninstall only over an installed version, and proposes an upgrade
// when the package is newer, a repair when it is the installed version.
int WizardActionAvailable(const SetupSurvey *survey, int action);
int WizardDefaultAction(const SetupSurvey *survey, const char *packageVersion);

// Builds msiexec's argument string; returns 0 when it does not fit. A repair reinstalls from the
// installed package's cached copy, else from the package at hand when it is the installed version,
// else by product code (which not every msiexec understands).
int BuildMsiexecArguments(int action, const SetupRequest *request, const SetupSurvey *survey, char *out,
                          unsigned size);

#ifdef __cplusplus
}
#endif

#endif
