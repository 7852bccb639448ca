// Service commands of zavcli: RAID log collection (log) and the test event (tstevt), with the
// platform calls of the log collection behind a replaceable seam.
#ifndef ZAV_CLI_ZAVCLI_CMD_EVT_H
#define ZAV_CLI_ZAVCLI_CMD_EVT_H

#include <stdint.h>

enum { RAID_LOG_COUNT = 3, RAID_LOG_LINE_MAX = 259 };

typedef struct LogCollectSeam {
    int (*readLogDir2)(char *out, unsigned size);       // 1 on success
    int (*isAmd64System)(void);                         // 1 on a 64-bit (AMD64) system
    int (*runCommandLine)(const char *commandLine);     // runs "/c line" in the interpreter; 1 when it ran
    int (*fileExists)(const char *path);
    int (*deleteFile)(const char *path);
    int (*createDirectory)(const char *path);           // every missing level; 1 when it exists afterwards
    int (*copyFile)(const char *from, const char *to);  // overwrites; 1 on success
} LogCollectSeam;

const LogCollectSeam *WindowsLogCollectSeam(void);
void SetLogCollectSeam(const LogCollectSeam *seam);  // null restores the Windows calls

// Name of the log utility the command interpreter must find on this system.
const char *LogUtilityName(void);

// Builds the command line of log number index (0 to 2) into out; returns 1, or 0 when it would
// be longer than RAID_LOG_LINE_MAX characters.
int BuildRaidLogCommandLine(unsigned index, const char *utility, char *out, unsigned size);

#endif
