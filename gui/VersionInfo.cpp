// Version dialog rows and the title's version text, built from the program's version resource
// and the storage library's version command.
#include "gui/VersionInfo.h"

#include <stdio.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/storelib_layout.h"

int GetGUIFileVersion(char *out)
{
    ProgramVersion program;
    out[0] = '\0';
    if (!ReadProgramVersion(&program, 0))
        return 0;
    snprintf(out, 64, "ver %u.%u.%u.%u", program.file[0], program.file[1], program.file[2], program.file[3]);
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

int BuildVersionRows(const ProgramVersion *program, VersionRows *rows)
{
    memset(rows, 0, sizeof(*rows));
    char text[VERSION_TEXT_SIZE];
    AddRow(rows, "Product Name", program->productName);
    AddRow(rows, "Product Version", program->productVersion);
    AddRow(rows, "Company Name", program->companyName);
    snprintf(text, sizeof(text), "%u.%u.%u.%u", program->file[0], program->file[1], program->file[2],
             program->file[3]);
    AddRow(rows, "File Version", text);
    if (LibraryVersionText(text, sizeof(text)))
        AddRow(rows, "Storelib Version", text);
    snprintf(rows->legal, sizeof(rows->legal), "Legal Copyright: %s", program->legalCopyright);
    return rows->count;
}
