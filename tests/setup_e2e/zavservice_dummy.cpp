// A stand-in for the monitoring service zavservice, for the installer tests. "install" registers
// and starts it, "remove" stops and deletes it; run by the service manager it notes each start and
// stop in zavservice_dummy.log beside itself, with whether zavcli.exe was in the product's
// installation folder at that moment (so a test can tell the stop came before the install).
#include <windows.h>

#include <stdio.h>
#include <string.h>

static const char SERVICE_NAME[] = "zavservice";
static SERVICE_STATUS_HANDLE g_statusHandle;
static HANDLE g_stopEvent;

static void ModulePath(char *out, DWORD size, const char *replaceName)
{
    GetModuleFileNameA(NULL, out, size);
    if (replaceName) {
        char *cut = strrchr(out, '\\');
        if (cut)
            snprintf(cut + 1, size - (DWORD)(cut + 1 - out), "%s", replaceName);
    }
}

static const char *ProductFilePresence(void)
{
    char dir[MAX_PATH] = "";
    DWORD size = sizeof(dir);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Zav", 0, KEY_READ | KEY_WOW64_32KEY, &key) == 0) {
        RegQueryValueExA(key, "InstallDir", NULL, NULL, (BYTE *)dir, &size);
        RegCloseKey(key);
    }
    char path[MAX_PATH * 2];
    snprintf(path, sizeof(path), "%szavcli.exe", dir);
    return dir[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? "present" : "absent";
}

static void Note(const char *what)
{
    char path[MAX_PATH];
    ModulePath(path, sizeof(path), "zavservice_dummy.log");
    FILE *file = fopen(path, "a");
    if (file) {
        fprintf(file, "%s %s\n", what, ProductFilePresence());
        fclose(file);
    }
}

static void Report(DWORD state)
{
    SERVICE_STATUS status;
    memset(&status, 0, sizeof(status));
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_statusHandle, &status);
}

static DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stopEvent);
    }
    return NO_ERROR;
}

static void WINAPI ServiceMain(DWORD, LPSTR *)
{
    g_statusHandle = RegisterServiceCtrlHandlerExA(SERVICE_NAME, Handler, NULL);
    g_stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    Note("start");
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stopEvent, INFINITE);
    Note("stop");
    Report(SERVICE_STOPPED);
}

static int Install(void)
{
    char path[MAX_PATH];
    ModulePath(path, sizeof(path), NULL);
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return 1;
    SC_HANDLE service = CreateServiceA(manager, SERVICE_NAME, "Norvane RAID Vantrel monitoring (test stand-in)",
                                       SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, path, NULL, NULL, NULL, NULL, NULL);
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS)
        service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
    int ok = service && (StartServiceA(service, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING);
    for (int i = 0; ok && i < 100; i++) {
        SERVICE_STATUS status;
        if (QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING)
            break;
        Sleep(100);
    }
    if (!ok)
        fprintf(stderr, "zavservice_dummy: install failed (error %lu)\n", GetLastError());
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return ok ? 0 : 1;
}

static int Remove(void)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return 1;
    SC_HANDLE service = OpenServiceA(manager, SERVICE_NAME, SERVICE_ALL_ACCESS);
    int ok = 0;
    if (service) {
        SERVICE_STATUS status;
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 100; i++) {
            if (QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED)
                break;
            Sleep(100);
        }
        ok = DeleteService(service) != 0;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return ok ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "install") == 0)
        return Install();
    if (argc > 1 && strcmp(argv[1], "remove") == 0)
        return Remove();
    SERVICE_TABLE_ENTRYA table[] = {{(LPSTR)SERVICE_NAME, ServiceMain}, {NULL, NULL}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
