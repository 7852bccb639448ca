// Layout drawings of the easy LD creation dialogue: group and hot-spare boxes drawn side by side
// under a header naming each box.
#include "cli/zavcli_lde_layout.h"

#include <stdio.h>
#include <string.h>

#include "cli/zavcli_cmd_com.h"
#include "common/DispFormat.h"

enum { TEXT_LINE = 512 };

const char PD_ROW_ONE[] = "|PD|";
const char PD_ROW_MANY[] = "|PD| --- |PD|";
const char PD_ROW_MIRRORED[] = "|PD|<->|PD| --- |PD|<->|PD|";

static void BoxRule(DrawBox *box)
{
    char *row = box->rows[box->rowCount++];
    row[0] = '|';
    memset(row + 1, '-', (size_t)box->inner);
    row[box->inner + 1] = '|';
    row[box->inner + 2] = '\0';
}

// Centres text in the box; an odd remainder goes to the left.
static void BoxText(DrawBox *box, const char *text)
{
    char *row = box->rows[box->rowCount++];
    int len = (int)strlen(text);
    int left = (box->inner - len + 1) / 2;
    memset(row, ' ', (size_t)box->inner + 2);
    row[0] = '|';
    memcpy(row + 1 + left, text, (size_t)len);
    row[box->inner + 1] = '|';
    row[box->inner + 2] = '\0';
}

static void BoxStackSeparator(DrawBox *box)
{
    BoxRule(box);
    BoxText(box, ":");
    BoxRule(box);
}

void BuildGroupBox(DrawBox *box, const char *label, int kind, const char *pdRow)
{
    memset(box, 0, sizeof(*box));
    snprintf(box->label, sizeof(box->label), "%s", label);
    int longest = (int)strlen(pdRow);
    int textLen = kind == GROUP_SS_BASE ? 12 : (kind == GROUP_SS_REPOSITORY || kind == GROUP_SS_SET) ? 18 : 0;
    box->inner = 13;
    if (longest > box->inner)
        box->inner = longest;
    if (textLen > box->inner)
        box->inner = textLen;
    BoxRule(box);
    switch (kind) {
    case GROUP_ONE_LD:
        BoxText(box, "LD");
        break;
    case GROUP_MULTI_LD:
        BoxText(box, "LD");
        BoxStackSeparator(box);
        BoxText(box, "LD");
        BoxRule(box);
        break;
    case GROUP_SS_BASE:
        BoxText(box, "SS Base LD");
        break;
    case GROUP_SS_REPOSITORY:
        BoxText(box, "SS Repository LD");
        break;
    default:
        BoxText(box, "SS Base LD");
        BoxStackSeparator(box);
        BoxText(box, "SS Base LD");
        BoxRule(box);
        BoxText(box, "SS Repository LD");
        BoxRule(box);
        break;
    }
    BoxText(box, pdRow);
    BoxRule(box);
}

void BuildGhsBox(DrawBox *box)
{
    memset(box, 0, sizeof(*box));
    snprintf(box->label, sizeof(box->label), "GHS");
    box->inner = 3;
    BoxRule(box);
    BoxText(box, "GHS");
    BoxRule(box);
}

static void TrimRight(char *line)
{
    size_t n = strlen(line);
    while (n > 0 && line[n - 1] == ' ')
        line[--n] = '\0';
}

// Prints "(number)" with the box labels above the boxes ("+ " before every label but the first),
// then the boxes aligned at their bottom rows, then an empty line.
void PrintLayout(int number, const DrawBox *boxes, int count)
{
    char line[TEXT_LINE];
    memset(line, ' ', sizeof(line) - 1);
    line[sizeof(line) - 1] = '\0';
    char tag[8];
    int tagLen = snprintf(tag, sizeof(tag), "(%d)", number);
    memcpy(line + DRAW_LABEL_COL, tag, (size_t)tagLen);
    int col = DRAW_BOX_COL;
    int maxRows = 0;
    int end = DRAW_LABEL_COL + tagLen;
    for (int i = 0; i < count; ++i) {
        int width = boxes[i].inner + 2;
        int len = (int)strlen(boxes[i].label);
        int pos = col + (width - len + 1) / 2;
        if (i > 0)
            memcpy(line + pos - 2, "+ ", 2);
        memcpy(line + pos, boxes[i].label, (size_t)len);
        end = pos + len;
        col += width + 1;
        if (boxes[i].rowCount > maxRows)
            maxRows = boxes[i].rowCount;
    }
    line[end] = '\0';
    ConsoleOut("%s\n", line);
    for (int r = 0; r < maxRows; ++r) {
        memset(line, ' ', sizeof(line) - 1);
        col = DRAW_BOX_COL;
        for (int i = 0; i < count; ++i) {
            int width = boxes[i].inner + 2;
            int row = r - (maxRows - boxes[i].rowCount);
            if (row >= 0)
                memcpy(line + col, boxes[i].rows[row], (size_t)width);
            col += width + 1;
        }
        line[col] = '\0';
        TrimRight(line);
        ConsoleOut("%s\n", line);
    }
    ConsoleOut("\n");
}

const char *PdRowFor(int32_t raidLvl, int pdCount)
{
    if (raidLvl == RAIDLVL_10)
        return PD_ROW_MIRRORED;
    return pdCount <= 1 ? PD_ROW_ONE : PD_ROW_MANY;
}
