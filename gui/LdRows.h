// Rows of the LD lists of the Delete LD page: the target id travels with each row, so actions
// never guess an LD from a row position.
#ifndef ZAV_GUI_LDROWS_H
#define ZAV_GUI_LDROWS_H

#include <stdint.h>

struct ContData;

enum { DELETE_LD_COLUMNS = 5, DELETE_LD_CELL_SIZE = 96 };

struct DeleteLdRow {
    uint8_t target;
    char cells[DELETE_LD_COLUMNS][DELETE_LD_CELL_SIZE];
};

struct DeleteLdColumn {
    const char *title;
    int width; // dialog units
    int rightAlign;
};
extern const DeleteLdColumn kDeleteLdColumns[DELETE_LD_COLUMNS];

#ifdef __cplusplus
extern "C" {
#endif

// One row per LD of the record in LD-list order: "LD%u", RAID level, capacity, state, drive
// letters ("-" when none). Returns the count.
int BuildDeleteLdRows(ContData *record, uint8_t contNo, DeleteLdRow *rows, int maxRows);

#ifdef __cplusplus
}
#endif

#endif
