// LD rows of the Delete LD page, with the conversions the console tool's LD table prints with.
#include "gui/LdRows.h"

#include <stdio.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/DriveLetters.h"
#include "common/Facts.h"

const DeleteLdColumn kDeleteLdColumns[DELETE_LD_COLUMNS] = {
    {"LD No.",        50, 0},
    {"RAID Level",    60, 0},
    {"Capacity[GB]",  70, 1},
    {"State",        150, 0},
    {"Drive Letter",  80, 0},
};

int BuildDeleteLdRows(ContData *record, uint8_t contNo, DeleteLdRow *rows, int maxRows)
{
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets);
    int n = 0;
    for (unsigned i = 0; i < count && n < maxRows; ++i) {
        uint8_t target = targets[i];
        if (target >= LD_MAX)
            continue;
        const uint8_t *ldInfo = record->ldInfo[target];
        DeleteLdRow *row = &rows[n++];
        row->target = target;
        snprintf(row->cells[0], DELETE_LD_CELL_SIZE, "LD%u", (unsigned)target);
        RaidlvlToStr(row->cells[1], DELETE_LD_CELL_SIZE, LdRaidLevel(ldInfo), contNo);
        CapacityText(row->cells[2], DELETE_LD_CELL_SIZE, LdCapacityBlocks(ldInfo, contNo));
        LdStateText(row->cells[3], DELETE_LD_CELL_SIZE, record, target);
        AssignDriveLetters(record, target);
        const char *letters = record->driveLetters[target];
        snprintf(row->cells[4], DELETE_LD_CELL_SIZE, "%s", letters[0] != '\0' ? letters : "-");
    }
    return n;
}
