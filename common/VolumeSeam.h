// The Windows volume and disk calls that tie LDs to drive letters and flush volumes, gathered in one
// replaceable table so the logic above them runs in tests with scripted volumes and disks.
#ifndef ZAV_COMMON_VOLUMESEAM_H
#define ZAV_COMMON_VOLUMESEAM_H

#include <stdint.h>

enum { VOLUME_DRIVE_FIXED = 3, VOLUME_MAX_EXTENTS = 32 };

struct ScsiAddressInfo {
    uint8_t portNumber;
    uint8_t pathId;
    uint8_t targetId;
    uint8_t lun;
};

struct VolumeSeam {
    uint32_t (*getLogicalDrives)(void);                 // bit 0 = A:
    unsigned (*getDriveType)(const char *rootPath);     // "C:\"
    void *(*openDevice)(const char *path);              // read/write, shared read/write; null on failure
    void (*closeDevice)(void *handle);
    // Disk numbers of the volume's extents; 1 on success.
    int (*getDiskExtents)(void *volume, uint32_t *diskNumbers, uint32_t maxExtents, uint32_t *count);
    int (*getScsiAddress)(void *disk, ScsiAddressInfo *address); // 1 on success
    int (*flushBuffers)(void *handle);                           // 1 on success
    uint32_t (*lastError)(void);
    void (*sleepMs)(unsigned ms);
    unsigned (*getWindowsDirectory)(char *buffer, unsigned size); // length, 0 on failure
};

#ifdef __cplusplus
extern "C" {
#endif

const VolumeSeam *GetVolumeSeam(void);
void SetVolumeSeam(const VolumeSeam *seam); // null restores the Windows calls

#ifdef __cplusplus
}
#endif

#endif
