// Windows side of the log-collection seam: LogDir2, the system kind, running the log utility
// through the command interpreter, and the file calls.
#include "cli/zavcli_cmd_evt.h"

#include <stdio.h>
#include <string.h>

#include "common/dll_mod.h"
#include "common/raidctl.h"

#include <windows.h>

static int WinReadLogDir2(char *out, unsigned size)
{
    return RegReadProductValue("LogDir2", out, size);
}

static int WinIsAmd64System(void)
{
    char arch[32];
    DWORD length = GetEnvironmentVariableA("PROCESSOR_ARCHITEW6432", arch, sizeof(arch));
    if (length > 0 && length < sizeof(arch) && lstrcmpiA(arch, "AMD64") == 0) {
        return 1;
    }
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        return 1;
    }
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? 1 : 0;
}

static int WinRunCommandLine(const char *commandLine)
{
    char interpreter[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ComSpec", interpreter, sizeof(interpreter));
    if (length == 0 || length >= sizeof(interpreter)) {
        snprintf(interpreter, sizeof(interpreter), "%s", "cmd.exe");
    }
    char processLine[MAX_PATH + RAID_LOG_LINE_MAX + 16];
    snprintf(processLine, sizeof(processLine), "\"%s\" /c %s", interpreter, commandLine);

    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof(startup));
    memset(&process, 0, sizeof(process));
    startup.cb = sizeof(startup);
    FlushConsoleOutput();
    if (!CreateProcessA(NULL, processLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, code=%lu", "CliCmdExecLog", "CreateProcess error",
                  (unsigned long)GetLastError());
        return 0;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

static int WinFileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

static int WinDeleteFile(const char *path)
{
    return DeleteFileA(path) ? 1 : 0;
}

static int IsDirectory(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates each missing level of the path, so a log folder below a missing parent still appears.
static int WinCreateDirectory(const char *path)
{
    char partial[MAX_PATH + 1];
    size_t length = strlen(path);
    if (length == 0 || length >= sizeof(partial)) {
        return 0;
    }
    for (size_t i = 1; i <= length; i++) {
        if (i == length || path[i] == '\\' || path[i] == '/') {
            memcpy(partial, path, i);
            partial[i] = '\0';
            if (i > 0 && partial[i - 1] != ':' && !IsDirectory(partial)) {
                CreateDirectoryA(partial, NULL);
            }
        }
    }
    return IsDirectory(path);
}

static int WinCopyFile(const char *from, const char *to)
{
    return CopyFileA(from, to, FALSE) ? 1 : 0;
}

static const LogCollectSeam kWindowsLogSeam = {
    WinReadLogDir2, WinIsAmd64System, WinRunCommandLine, WinFileExists,
    WinDeleteFile,  WinCreateDirectory, WinCopyFile,
};

const LogCollectSeam *WindowsLogCollectSeam(void)
{
    return &kWindowsLogSeam;
}
