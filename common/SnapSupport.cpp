// Construct-info file, volume flush and snapshot/view names of the snapshot feature.
#include "common/SnapSupport.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DriveLetters.h"
#include "common/VolumeSeam.h"
#include "common/dll_mod.h"
#include "common/raidctl.h"

int ConstructInfoPath(uint8_t contNo, char *out, size_t size)
{
    char installDir[260];
    memset(installDir, 0, sizeof(installDir));
    if (!RegReadProductValue("InstallDir", installDir, sizeof(installDir)))
        installDir[0] = '\0';
    return snprintf(out, size, "%s_snapshot%u.csv", installDir, (unsigned)contNo);
}

static void WritePair(FILE *file, unsigned base, unsigned repository)
{
    fprintf(file, "%d,%d\n", (int)base, (int)repository);
}

// Bases and their repository inside each group: every LD but the last names the last one.
static void WriteInGroupPairs(FILE *file, const LdCreateRequest *request)
{
    for (int g = 0; g < request->groupCount && g < RG_MAX; ++g) {
        const RgEntry *group = &request->groups[g];
        if (group->ldCount <= 1 || group->ldCount > RG_LD_MAX)
            continue;
        unsigned repository = group->lds[group->ldCount - 1].ldNo;
        for (int l = 0; l < group->ldCount - 1; ++l)
            WritePair(file, group->lds[l].ldNo, repository);
    }
}

int SaveSnapshotConstructInfo(int layout, const LdCreateRequest *request, uint8_t contNo)
{
    char path[600];
    ConstructInfoPath(contNo, path, sizeof(path));
    FILE *file = fopen(path, "a");
    if (file == NULL) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s", "SaveSnapshotConstructInfo", "file open error");
        return 0;
    }
    if (layout == SNAP_LAYOUT_BASE_AND_REPO_GROUPS) {
        if (request->groupCount >= 2)
            WritePair(file, request->groups[0].lds[0].ldNo, request->groups[1].lds[0].ldNo);
    } else {
        WriteInGroupPairs(file, request);
    }
    fclose(file);
    return 1;
}

// Splits one line into two unsigned decimal numbers; 0 when the line does not hold two.
static int ParsePairLine(char *line, unsigned long *base, unsigned long *repository)
{
    char *first = strtok(line, ",\n");
    char *second = first != NULL ? strtok(NULL, ",\n") : NULL;
    if (first == NULL || second == NULL)
        return 0;
    char *end = NULL;
    *base = strtoul(first, &end, 10);
    if (end == first)
        return 0;
    *repository = strtoul(second, &end, 10);
    return end != second;
}

int ReadSnapshotConstructInfo(uint8_t contNo, const ContData *records, SnapConstructInfo *info)
{
    memset(info->repositoryOf, SNAP_INFO_NONE, sizeof(info->repositoryOf));
    memset(info->baseCount, 0, sizeof(info->baseCount));
    memset(info->isRepository, 0, sizeof(info->isRepository));
    char path[600];
    ConstructInfoPath(contNo, path, sizeof(path));
    FILE *file = fopen(path, "r");
    if (file == NULL)
        return 0;
    int taken = 0;
    char line[SNAP_CONSTRUCT_LINE_BUF];
    while (fgets(line, sizeof(line), file) != NULL) {
        unsigned long base = 0, repository = 0;
        if (!ParsePairLine(line, &base, &repository) || base >= LD_MAX || repository >= LD_MAX)
            break;
        ++info->baseCount[repository];
        if (records != NULL && LdListHas(&records[contNo], (uint8_t)base) &&
            LdListHas(&records[contNo], (uint8_t)repository)) {
            info->repositoryOf[base] = (uint8_t)repository;
            info->isRepository[repository] = 1;
        }
        ++taken;
    }
    fclose(file);
    return taken;
}

int RemoveSnapshotConstructInfo(uint8_t contNo)
{
    char path[600];
    ConstructInfoPath(contNo, path, sizeof(path));
    return remove(path) == 0;
}

int MakeSnapshotName(char *out, size_t size, uint8_t ldNo, const struct tm *localTime)
{
    int len = snprintf(out, size, "LD%u_%02d%02d%02d%02d%02d", (unsigned)ldNo, (localTime->tm_year + 1900 - 2000) % 100,
                       localTime->tm_mon + 1, localTime->tm_mday, localTime->tm_hour, localTime->tm_min);
    return len < (int)size ? len : (int)size - 1;
}

int MakeViewName(char *out, size_t size, uint8_t ldNo)
{
    int len = snprintf(out, size, "LD%u_View", (unsigned)ldNo);
    return len < (int)size ? len : (int)size - 1;
}

// What the flush tells the user: the console text unless the graphical tool installed its own.
static void ConsoleNotice(int notice, uint32_t value)
{
    if (notice == SNAP_FLUSH_WINDOWS_API_ERROR)
        ZAV_REPORT(REPORT_BOTH, "Error - An error has occurred with Windows API. (code=0x%X)", (unsigned)value);
}

static SnapSupportNotifier g_notifier = ConsoleNotice;

void SetSnapSupportNotifier(SnapSupportNotifier notifier)
{
    g_notifier = notifier ? notifier : ConsoleNotice;
}

static void ReportApiError(const char *what, uint32_t code)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, errcode=%d", "FlushLDBuffers", what, (int)code);
    g_notifier(SNAP_FLUSH_WINDOWS_API_ERROR, code);
}

static int FlushVolume(const VolumeSeam *seam, char letter)
{
    char path[8];
    snprintf(path, sizeof(path), "\\\\.\\%c:", letter);
    void *volume = seam->openDevice(path);
    if (volume == NULL) {
        ReportApiError("CreateFile error", seam->lastError());
        return 0;
    }
    int flushed = seam->flushBuffers(volume);
    uint32_t code = flushed ? 0 : seam->lastError();
    seam->closeDevice(volume);
    if (!flushed) {
        ReportApiError("FlushFileBuffers error", code);
        return 0;
    }
    return 1;
}

int FlushLDBuffers(uint8_t contNo, ContData *records, uint8_t ldNo)
{
    if (ldNo >= LD_MAX)
        return 0;
    ContData *record = &records[contNo];
    const LdList *lds = record->ldList;
    for (uint32_t i = 0; lds != NULL && i < lds->count && i < LD_MAX; ++i)
        AssignDriveLetters(record, lds->entries[i].targetId);
    const char *letters = record->driveLetters[ldNo];
    if (letters[0] == '\0')
        return 1;
    const VolumeSeam *seam = GetVolumeSeam();
    for (const char *p = letters; *p != '\0'; ++p) {
        if (*p == ',')
            continue;
        if (!FlushVolume(seam, *p))
            return 0;
    }
    return 1;
}
