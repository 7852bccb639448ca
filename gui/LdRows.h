// Rows of the LD lists of the Delete LD page: the target id travels with each row, so actions
// never guess an LD from a row position.
#ifndef ZAV_GUI_LDROWS_H
#define ZAV_GUI_LDROWS_H

#include <stdint.h>

struct ContData;

enum { LD_COLUMNS = 5, LD_CELL_SIZE = 96 };

struct LdRow {
    uint8_t target;
    char cells[LD_COLUMNS][LD_CELL_SIZE];
};

struct LdColumn {
    const char *title;
    int width; // dialog units
    int rightAlign;
};
extern const LdColumn kLdColumns[LD_COLUMNS];

#ifdef __cplusplus
extern "C" {
#endif

// One row per LD of the record in LD-list order: "LD%u", RAID level, capacity, state, drive
// letters ("-" when none). Returns the count.
int BuildLdRows(ContData *record, uint8_t contNo, LdRow *rows, int maxRows);

#ifdef __cplusplus
}
#endif

#endif
