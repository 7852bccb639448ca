// Version texts of zavgui: the program's own version resource and the rows of the version dialog.
#ifndef ZAV_GUI_VERSIONINFO_H
#define ZAV_GUI_VERSIONINFO_H

#include <stdint.h>

#include "common/ToolVersion.h"

enum { VERSION_ROW_TEXT_SIZE = 128, VERSION_ROWS_MAX = 5, VERSION_LEGAL_SIZE = 256 };

struct VersionRow {
    const char *name;
    char value[VERSION_ROW_TEXT_SIZE];
};

struct VersionRows {
    int count;
    VersionRow rows[VERSION_ROWS_MAX];
    char legal[VERSION_LEGAL_SIZE];
};

#ifdef __cplusplus
extern "C" {
#endif

// Reads the program file's version resource through the shared version seam; a resource without
// a file version counts as unreadable. Failures go to ReportWinApiError (6: no module file name,
// 3: no version information) when `report` is set. 1 on success.
int ReadProgramVersion(ToolVersion *out, int report);
// "ver %u.%u.%u.%u" of the file version; 1 on success, 0 on failure.
int GetGUIFileVersion(char *out);
// Rows of the version dialog: the resource's names that exist, the file version and the
// storage library's version when it answers.
int BuildVersionRows(const ToolVersion *program, VersionRows *rows);
// Runs the version dialog modally over the owner window.
void ShowVersionDialog(void *owner);

#ifdef __cplusplus
}
#endif

#endif
