// The Windows side of the volume seam: volume and physical-drive handles, disk extents, SCSI
// addresses, flushing and the Windows directory.
#include "common/VolumeSeam.h"

#include <windows.h>
#include <winioctl.h>

#include <string.h>

#ifndef IOCTL_SCSI_GET_ADDRESS
#define IOCTL_SCSI_GET_ADDRESS 0x41018
#endif

enum { DISK_EXTENTS_BUFFER_SIZE = 776 };

static uint32_t WinGetLogicalDrives(void) { return (uint32_t)GetLogicalDrives(); }

static unsigned WinGetDriveType(const char *rootPath) { return GetDriveTypeA(rootPath); }

static void *WinOpenDevice(const char *path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    return h == INVALID_HANDLE_VALUE ? NULL : (void *)h;
}

static void WinCloseDevice(void *handle)
{
    if (handle)
        CloseHandle((HANDLE)handle);
}

static int WinGetDiskExtents(void *volume, uint32_t *diskNumbers, uint32_t maxExtents, uint32_t *count)
{
    // VOLUME_DISK_EXTENTS: u32 count, 4 bytes padding, then 24-byte extents (disk number first).
    uint8_t buffer[DISK_EXTENTS_BUFFER_SIZE];
    DWORD returned = 0;
    memset(buffer, 0, sizeof(buffer));
    *count = 0;
    if (!DeviceIoControl((HANDLE)volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, NULL, 0, buffer, sizeof(buffer),
                         &returned, NULL))
        return 0;
    uint32_t extents = *(const uint32_t *)buffer;
    for (uint32_t i = 0; i < extents && i < maxExtents && 8 + (i + 1) * 24 <= sizeof(buffer); i++)
        diskNumbers[(*count)++] = *(const uint32_t *)(buffer + 8 + i * 24);
    return 1;
}

static int WinGetScsiAddress(void *disk, ScsiAddressInfo *address)
{
    // SCSI_ADDRESS: u32 length, port number, path id, target id, lun.
    uint8_t buffer[8];
    DWORD returned = 0;
    memset(buffer, 0, sizeof(buffer));
    if (!DeviceIoControl((HANDLE)disk, IOCTL_SCSI_GET_ADDRESS, NULL, 0, buffer, sizeof(buffer), &returned, NULL))
        return 0;
    address->portNumber = buffer[4];
    address->pathId = buffer[5];
    address->targetId = buffer[6];
    address->lun = buffer[7];
    return 1;
}

static int WinFlushBuffers(void *handle) { return FlushFileBuffers((HANDLE)handle) ? 1 : 0; }

static uint32_t WinLastError(void) { return (uint32_t)GetLastError(); }

static void WinSleep(unsigned ms) { Sleep(ms); }

static unsigned WinGetWindowsDirectory(char *buffer, unsigned size) { return GetWindowsDirectoryA(buffer, size); }

static const VolumeSeam g_windowsVolumes = {WinGetLogicalDrives, WinGetDriveType,   WinOpenDevice,
                                            WinCloseDevice,      WinGetDiskExtents, WinGetScsiAddress,
                                            WinFlushBuffers,     WinLastError,      WinSleep,
                                            WinGetWindowsDirectory};
static const VolumeSeam *g_volumes = &g_windowsVolumes;

const VolumeSeam *GetVolumeSeam(void) { return g_volumes; }

void SetVolumeSeam(const VolumeSeam *seam) { g_volumes = seam ? seam : &g_windowsVolumes; }
