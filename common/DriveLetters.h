// Drive letters of the Windows volumes that lie on each LD, and the system-volume check.
#ifndef ZAV_COMMON_DRIVELETTERS_H
#define ZAV_COMMON_DRIVELETTERS_H

#include <stdint.h>

struct ContData;

enum { DRIVE_EXTENT_TRIES = 5, DRIVE_SCSI_ADDRESS_FAILURES = 6, DRIVE_RETRY_WAIT_MS = 1000 };

#ifdef __cplusplus
extern "C" {
#endif

// Clears the LD's drive-letter string and adds every fixed volume that lies on the LD.
int AssignDriveLetters(ContData *record, uint8_t targetId);
// Adds the letter to the LD's string when one of the volume's disks is this LD.
int asignDriveLetter2(ContData *record, uint8_t targetId, char letter);
// 1 when the LD's drive letters hold the drive of the Windows directory.
int LdHoldsSystemVolume(const ContData *record, uint8_t targetId);

#ifdef __cplusplus
}
#endif

#endif
