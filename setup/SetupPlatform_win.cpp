// Win32 half of the installers' seam: mutex, rights, OS version, storelib.dll probe, Windows
// Installer queries, the service control manager, msiexec, registry and files.
#include "setup/SetupPlatform.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/dll_mod.h"
#include "common/storelib_layout.h"
#include "setup/package_ids.h"

enum { SERVICE_POLL_MS = 250, SERVICE_START_WAIT_MS = 30000 };

// ---- one instance, rights, operating system ----------------------------------------------------

static HANDLE g_instanceMutex;

static int WinAcquireSingleInstance(void)
{
    HANDLE mutex = CreateMutexA(NULL, TRUE, ZAV_SETUP_MUTEX);
    if (!mutex)
        return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return 0;
    }
    g_instanceMutex = mutex;
    return 1;
}

static void WinReleaseSingleInstance(void)
{
    if (g_instanceMutex) {
        ReleaseMutex(g_instanceMutex);
        CloseHandle(g_instanceMutex);
        g_instanceMutex = NULL;
    }
}

static int WinIsAdmin(void) { return IsUserAnAdmin() ? 1 : 0; }

typedef LONG(WINAPI *RtlGetVersionFn)(OSVERSIONINFOEXW *info);

// RtlGetVersion reports the true version; GetVersionEx answers per the program's manifest.
static int WinGetOsVersion(OsVersion *out)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    RtlGetVersionFn rtlGetVersion = ntdll ? (RtlGetVersionFn)(void *)GetProcAddress(ntdll, "RtlGetVersion") : NULL;
    if (!rtlGetVersion)
        return 0;
    OSVERSIONINFOEXW info;
    memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (rtlGetVersion(&info) != 0)
        return 0;
    out->major = info.dwMajorVersion;
    out->minor = info.dwMinorVersion;
    out->build = info.dwBuildNumber;
    out->isServer = info.wProductType != VER_NT_WORKSTATION;
    return 1;
}

// ---- controllers through the storage library ---------------------------------------------------

static uint16_t ReadU16(const uint8_t *buffer, unsigned offset)
{
    return (uint16_t)(buffer[offset] | (buffer[offset + 1] << 8));
}

static int WinProbeControllers(ControllerPci *out, int max, int *count, uint32_t *status)
{
    *count = 0;
    *status = (uint32_t)SLInitLib(NULL);
    if (*status != 0) {
        int loaded = SLIsLoaded();
        UnloadStoreLibrary();
        return loaded ? PROBE_INIT_FAILED : PROBE_NO_LIBRARY;
    }
    ControllerIdList list;
    SLGetCtrlList(&list);
    int found = list.count < 16 ? list.count : 16;
    for (int i = 0; i < found && *count < max; i++) {
        uint8_t pci[PCI_INFO_SIZE];
        if (SLGetPciInfo((uint8_t)i, pci) != 0)
            continue;
        ControllerPci *c = &out[(*count)++];
        c->vendorId = ReadU16(pci, PCI_VENDOR_ID);
        c->deviceId = ReadU16(pci, PCI_DEVICE_ID);
        c->subVendorId = ReadU16(pci, PCI_SUBVENDOR_ID);
        c->subDeviceId = ReadU16(pci, PCI_SUBDEVICE_ID);
        c->bus = (uint32_t)ReadU16(pci, PCI_BUS) | ((uint32_t)ReadU16(pci, PCI_BUS + 2) << 16);
        c->device = pci[PCI_DEVICE];
        c->function = pci[PCI_FUNCTION];
    }
    UnloadStoreLibrary();
    return PROBE_OK;
}

// ---- Windows Installer -------------------------------------------------------------------------

static int WinFindInstalled(char *version, unsigned versionSize, char *productCode, unsigned codeSize,
                            char *cachedPackage, unsigned packageSize)
{
    char code[39];
    if (MsiEnumRelatedProductsA(ZAV_UPGRADE_CODE, 0, 0, code) != ERROR_SUCCESS)
        return 0;
    DWORD length = versionSize;
    if (MsiGetProductInfoA(code, INSTALLPROPERTY_VERSIONSTRING, version, &length) != ERROR_SUCCESS)
        version[0] = '\0';
    length = packageSize;
    if (MsiGetProductInfoA(code, INSTALLPROPERTY_LOCALPACKAGE, cachedPackage, &length) != ERROR_SUCCESS)
        cachedPackage[0] = '\0';
    snprintf(productCode, codeSize, "%s", code);
    return 1;
}

int ReadPackageVersion(const char *packagePath, char *out, unsigned size)
{
    MSIHANDLE database = 0, view = 0, record = 0;
    int ok = 0;
    out[0] = '\0';
    if (MsiOpenDatabaseA(packagePath, MSIDBOPEN_READONLY, &database) != ERROR_SUCCESS)
        return 0;
    if (MsiDatabaseOpenViewA(database, "SELECT `Value` FROM `Property` WHERE `Property`='ProductVersion'", &view) ==
            ERROR_SUCCESS &&
        MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &record) == ERROR_SUCCESS) {
        DWORD length = size;
        ok = MsiRecordGetStringA(record, 1, out, &length) == ERROR_SUCCESS;
    }
    if (record)
        MsiCloseHandle(record);
    if (view)
        MsiCloseHandle(view);
    MsiCloseHandle(database);
    return ok;
}

int LocatePackage(char *path, unsigned size)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, self, sizeof(self));
    if (length == 0 || length >= sizeof(self))
        return 0;
    char *cut = strrchr(self, '\\');
    if (cut)
        cut[1] = '\0';
    int written = snprintf(path, size, "%s%s", self, ZAV_PACKAGE_FILE);
    return written > 0 && (unsigned)written < size;
}

static uint32_t WinRunMsiexec(const char *arguments, uint32_t *exitCode)
{
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof(system));
    if (length == 0 || length >= sizeof(system))
        return GetLastError();
    size_t size = strlen(system) + strlen(arguments) + 32;
    char *commandLine = (char *)malloc(size);
    if (!commandLine)
        return ERROR_NOT_ENOUGH_MEMORY;
    snprintf(commandLine, size, "\"%s\\msiexec.exe\" %s", system, arguments);
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    BOOL started = CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    DWORD error = started ? 0 : GetLastError();
    free(commandLine);
    if (!started)
        return error;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *exitCode = code;
    return 0;
}

// ---- the monitoring service --------------------------------------------------------------------

static SC_HANDLE OpenNamedService(const char *name, DWORD access, SC_HANDLE *manager)
{
    *manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (!*manager)
        return NULL;
    SC_HANDLE service = OpenServiceA(*manager, name, access);
    if (!service) {
        DWORD error = GetLastError();
        CloseServiceHandle(*manager);
        *manager = NULL;
        SetLastError(error);
    }
    return service;
}

static void CloseNamedService(SC_HANDLE service, SC_HANDLE manager)
{
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

static int WinServiceState(const char *name)
{
    SC_HANDLE manager;
    SC_HANDLE service = OpenNamedService(name, SERVICE_QUERY_STATUS, &manager);
    if (!service)
        return SERVICE_ABSENT;
    SERVICE_STATUS status;
    int state = SERVICE_IS_OTHER;
    if (QueryServiceStatus(service, &status)) {
        if (status.dwCurrentState == SERVICE_STOPPED)
            state = SERVICE_IS_STOPPED;
        else if (status.dwCurrentState == SERVICE_RUNNING)
            state = SERVICE_IS_RUNNING;
    }
    CloseNamedService(service, manager);
    return state;
}

static int WaitForServiceState(SC_HANDLE service, DWORD wanted, uint32_t waitMs)
{
    SERVICE_STATUS status;
    for (uint32_t waited = 0;; waited += SERVICE_POLL_MS) {
        if (!QueryServiceStatus(service, &status))
            return 0;
        if (status.dwCurrentState == wanted)
            return 1;
        if (waited >= waitMs)
            return 0;
        Sleep(SERVICE_POLL_MS);
    }
}

static uint32_t WinStopService(const char *name, uint32_t waitMs)
{
    SC_HANDLE manager;
    SC_HANDLE service = OpenNamedService(name, SERVICE_STOP | SERVICE_QUERY_STATUS, &manager);
    if (!service)
        return GetLastError();
    SERVICE_STATUS status;
    uint32_t error = 0;
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        error = GetLastError();
    if (error == 0 && !WaitForServiceState(service, SERVICE_STOPPED, waitMs))
        error = ERROR_SERVICE_REQUEST_TIMEOUT;
    CloseNamedService(service, manager);
    return error;
}

static uint32_t WinStartService(const char *name)
{
    SC_HANDLE manager;
    SC_HANDLE service = OpenNamedService(name, SERVICE_START | SERVICE_QUERY_STATUS, &manager);
    if (!service)
        return GetLastError();
    uint32_t error = 0;
    if (!StartServiceA(service, 0, NULL) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        error = GetLastError();
    if (error == 0 && !WaitForServiceState(service, SERVICE_RUNNING, SERVICE_START_WAIT_MS))
        error = ERROR_SERVICE_REQUEST_TIMEOUT;
    CloseNamedService(service, manager);
    return error;
}

// ---- registry ----------------------------------------------------------------------------------

static int WinReadProductValue(const char *name, char *out, unsigned size)
{
    return RegReadProductValue(name, out, size);
}

// The product's own key lives in the 32-bit view; the event log keys are not redirected.
static REGSAM ViewOf(const char *keyPath)
{
    return _strnicmp(keyPath, "SOFTWARE\\", 9) == 0 ? KEY_WOW64_32KEY : 0;
}

static int WinReadKeyValues(const char *keyPath, RegValueCopy *out, int max)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | ViewOf(keyPath), &key) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    for (DWORD index = 0; count < max; index++) {
        RegValueCopy *value = &out[count];
        DWORD nameSize = sizeof(value->name), type = 0, dataSize = sizeof(value->data);
        LONG result = RegEnumValueA(key, index, value->name, &nameSize, NULL, &type, value->data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue; // a value too large to carry is left as it is
        value->type = type;
        value->size = dataSize;
        count++;
    }
    RegCloseKey(key);
    return count;
}

static uint32_t WinWriteKeyValue(const char *keyPath, const RegValueCopy *value)
{
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, NULL, 0, KEY_SET_VALUE | ViewOf(keyPath), NULL,
                                  &key, NULL);
    if (result != ERROR_SUCCESS)
        return (uint32_t)result;
    result = RegSetValueExA(key, value->name, 0, value->type, value->data, value->size);
    RegCloseKey(key);
    return (uint32_t)result;
}

static void WinDeleteKeyIfEmpty(const char *keyPath)
{
    HKEY key;
    REGSAM view = ViewOf(keyPath);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return;
    DWORD subKeys = 1, values = 1;
    LONG result = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subKeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS && subKeys == 0 && values == 0)
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath, view, 0);
}

static void WinDeleteKey(const char *keyPath)
{
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath, ViewOf(keyPath), 0);
}

// ---- files -------------------------------------------------------------------------------------

static int WinFileExists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static int WinReadFile(const char *path, char **data, uint32_t *size)
{
    FILE *file = fopen(path, "rb");
    if (!file)
        return 0;
    fseek(file, 0, SEEK_END);
    long length = ftell(file);
    fseek(file, 0, SEEK_SET);
    char *buffer = length >= 0 ? (char *)malloc((size_t)length + 1) : NULL;
    int ok = buffer && fread(buffer, 1, (size_t)length, file) == (size_t)length;
    fclose(file);
    if (!ok) {
        free(buffer);
        return 0;
    }
    *data = buffer;
    *size = (uint32_t)length;
    return 1;
}

static uint32_t WinWriteFile(const char *path, const char *data, uint32_t size)
{
    FILE *file = fopen(path, "wb");
    if (!file)
        return GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
    int ok = fwrite(data, 1, size, file) == size;
    ok = fclose(file) == 0 && ok;
    return ok ? 0 : ERROR_WRITE_FAULT;
}

static int WinDeleteFile(const char *path) { return DeleteFileA(path) ? 1 : 0; }
static int WinRemoveEmptyFolder(const char *path) { return RemoveDirectoryA(path) ? 1 : 0; }

// ---- restart -----------------------------------------------------------------------------------

uint32_t RequestRestart(void)
{
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
        CloseHandle(token);
    }
    if (!ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                       SHTDN_REASON_FLAG_PLANNED))
        return GetLastError();
    return 0;
}

void FillWindowsSetupSeam(SetupSeam *seam)
{
    seam->acquireSingleInstance = WinAcquireSingleInstance;
    seam->releaseSingleInstance = WinReleaseSingleInstance;
    seam->isAdmin = WinIsAdmin;
    seam->getOsVersion = WinGetOsVersion;
    seam->probeControllers = WinProbeControllers;
    seam->findInstalled = WinFindInstalled;
    seam->fileExists = WinFileExists;
    seam->serviceState = WinServiceState;
    seam->stopService = WinStopService;
    seam->startService = WinStartService;
    seam->runMsiexec = WinRunMsiexec;
    seam->readProductValue = WinReadProductValue;
    seam->readKeyValues = WinReadKeyValues;
    seam->writeKeyValue = WinWriteKeyValue;
    seam->deleteKeyIfEmpty = WinDeleteKeyIfEmpty;
    seam->deleteKey = WinDeleteKey;
    seam->readFile = WinReadFile;
    seam->writeFile = WinWriteFile;
    seam->deleteFile = WinDeleteFile;
    seam->removeEmptyFolder = WinRemoveEmptyFolder;
}
