// Drive letters of each LD: every fixed volume whose disks sit on this controller's SCSI port with
// the LD's target id is listed in the LD's string; and the check for the system volume.
#include "common/DriveLetters.h"

#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/VolumeSeam.h"
#include "common/raidctl.h"

static int StringHasLetter(const char *letters, char letter)
{
    for (const char *p = letters; *p; p++)
        if ((*p & ~0x20) == (letter & ~0x20))
            return 1;
    return 0;
}

static void AppendLetter(char *letters, char letter)
{
    size_t len = strlen(letters);
    if (StringHasLetter(letters, letter))
        return;
    size_t need = len + (len ? 2 : 1);
    if (need >= CONTDATA_DRIVE_LETTERS_SIZE)
        return;
    if (len)
        letters[len++] = ',';
    letters[len++] = letter;
    letters[len] = '\0';
}

int AssignDriveLetters(ContData *record, uint8_t targetId)
{
    const VolumeSeam *vol = GetVolumeSeam();
    if (targetId >= CONTDATA_LD_TARGETS)
        return 0;
    record->driveLetters[targetId][0] = '\0';
    uint32_t present = vol->getLogicalDrives();
    for (int i = 0; i < 26; i++) {
        char root[4] = {(char)('A' + i), ':', '\\', '\0'};
        if ((present & (1u << i)) && vol->getDriveType(root) == VOLUME_DRIVE_FIXED)
            asignDriveLetter2(record, targetId, root[0]);
    }
    return 1;
}

static int ReadExtents(const VolumeSeam *vol, void *volume, uint32_t *disks, uint32_t *count)
{
    for (int attempt = 1; attempt <= DRIVE_EXTENT_TRIES; attempt++) {
        if (vol->getDiskExtents(volume, disks, VOLUME_MAX_EXTENTS, count))
            return 1;
        if (attempt < DRIVE_EXTENT_TRIES)
            vol->sleepMs(DRIVE_RETRY_WAIT_MS);
    }
    ZAV_TRACE(ZAV_ERR, "func=%s: %s", "asignDriveLetter2", "DeviceIoControl not exe");
    return 0;
}

static int ReadScsiAddress(const VolumeSeam *vol, void *disk, ScsiAddressInfo *address)
{
    for (int failures = 0;;) {
        if (vol->getScsiAddress(disk, address))
            return 1;
        if (++failures >= DRIVE_SCSI_ADDRESS_FAILURES)
            return 0;
        vol->sleepMs(DRIVE_RETRY_WAIT_MS);
    }
}

int asignDriveLetter2(ContData *record, uint8_t targetId, char letter)
{
    const VolumeSeam *vol = GetVolumeSeam();
    char path[16];
    uint32_t disks[VOLUME_MAX_EXTENTS];
    uint32_t count = 0;
    if (targetId >= CONTDATA_LD_TARGETS)
        return 0;
    snprintf(path, sizeof(path), "\\\\.\\%c:", letter);
    void *volume = vol->openDevice(path);
    if (!volume)
        return 0;
    int ok = ReadExtents(vol, volume, disks, &count);
    vol->closeDevice(volume);
    if (!ok)
        return 0;
    for (uint32_t i = 0; i < count; i++) {
        char drivePath[32];
        ScsiAddressInfo address;
        snprintf(drivePath, sizeof(drivePath), "\\\\.\\PHYSICALDRIVE%u", (unsigned)disks[i]);
        void *disk = vol->openDevice(drivePath);
        if (!disk) {
            ZAV_TRACE(ZAV_ERR, "func=%s: %s", "asignDriveLetter2", "CreateFile not exe");
            return 0;
        }
        memset(&address, 0, sizeof(address));
        int known = ReadScsiAddress(vol, disk, &address);
        vol->closeDevice(disk);
        if (known && address.portNumber == record->scsiPortNo && address.targetId == targetId)
            AppendLetter(record->driveLetters[targetId], letter);
    }
    return 1;
}

int LdHoldsSystemVolume(const ContData *record, uint8_t targetId)
{
    char windowsDir[260];
    if (targetId >= CONTDATA_LD_TARGETS)
        return 0;
    unsigned len = GetVolumeSeam()->getWindowsDirectory(windowsDir, sizeof(windowsDir));
    if (len == 0 || len >= sizeof(windowsDir))
        return 0;
    return StringHasLetter(record->driveLetters[targetId], windowsDir[0]);
}
