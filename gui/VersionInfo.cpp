// Version dialog rows and the title's version text, built from the program's version resource
// (read through the shared version seam) and the storage library's version command.
#include "gui/VersionInfo.h"

#include <stdio.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/ToolVersion.h"
#include "common/storelib_layout.h"
#include "gui/Dialog.h"

int ReadProgramVersion(ToolVersion *out, int report)
{
    uint32_t systemError = 0;
    int ok = ReadToolVersion(out, &systemError);
    if (ok && out->fileVersion[0] != '\0')
        return 1;
    if (report)
        ReportWinApiError(!ok && out->failedStep == VERSION_FAILED_MODULE ? 6 : 3, systemError);
    return 0;
}

int GetGUIFileVersion(char *out)
{
    ToolVersion program;
    out[0] = '\0';
    if (!ReadProgramVersion(&program, 0))
        return 0;
    snprintf(out, 64, "ver %s", program.fileVersion);
    return 1;
}

static void AddRow(VersionRows *rows, const char *name, const char *value)
{
    if (value[0] == '\0' || rows->count >= VERSION_ROWS_MAX)
        return;
    VersionRow *row = &rows->rows[rows->count++];
    row->name = name;
    snprintf(row->value, sizeof(row->value), "%s", value);
}

// The library's version block: an 8-character part and a 4-character part.
static int LibraryVersionText(char *out, size_t size)
{
    uint8_t block[LIB_VERSION_SIZE];
    if (SLGetLibraryVersion(block) != 0)
        return 0;
    snprintf(out, size, "%.8s.%.4s", (const char *)block, (const char *)block + 8);
    return 1;
}

int BuildVersionRows(const ToolVersion *program, VersionRows *rows)
{
    memset(rows, 0, sizeof(*rows));
    char text[VERSION_ROW_TEXT_SIZE];
    AddRow(rows, "Product Name", program->productName);
    AddRow(rows, "Product Version", program->productVersion);
    AddRow(rows, "Company Name", program->companyName);
    AddRow(rows, "File Version", program->fileVersion);
    if (LibraryVersionText(text, sizeof(text)))
        AddRow(rows, "Storelib Version", text);
    snprintf(rows->legal, sizeof(rows->legal), "Legal Copyright: %s", program->legalCopyright);
    return rows->count;
}
