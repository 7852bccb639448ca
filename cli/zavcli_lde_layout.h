// Layout drawings of the easy LD creation dialogue (lde): boxes drawn side by side under a header.
#ifndef ZAV_CLI_ZAVCLI_LDE_LAYOUT_H
#define ZAV_CLI_ZAVCLI_LDE_LAYOUT_H

#include <stdint.h>

enum { BOX_MAX_ROWS = 12, BOX_LINE = 40, DRAW_MAX_BOXES = 3, DRAW_LABEL_COL = 40, DRAW_BOX_COL = 44 };

struct DrawBox {
    char label[24];
    int inner;
    int rowCount;
    char rows[BOX_MAX_ROWS][BOX_LINE];
};

// Contents of a group box.
enum GroupKind { GROUP_ONE_LD, GROUP_MULTI_LD, GROUP_SS_BASE, GROUP_SS_REPOSITORY, GROUP_SS_SET };

// PD rows of a group box: one PD, several, and the mirrored pairs of RAID10.
extern const char PD_ROW_ONE[];
extern const char PD_ROW_MANY[];
extern const char PD_ROW_MIRRORED[];

void BuildGroupBox(DrawBox *box, const char *label, int kind, const char *pdRow);
void BuildGhsBox(DrawBox *box);
// Prints "(number)" with the box labels above the boxes ("+ " before every label but the first),
// then the boxes aligned at their bottom rows, then an empty line.
void PrintLayout(int number, const DrawBox *boxes, int count);
// The PD row of a group of the level over pdCount PDs.
const char *PdRowFor(int32_t raidLvl, int pdCount);

#endif
