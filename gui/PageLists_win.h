// List and tab helpers the Delete LD, Hot Spare and Restore LD pages share: LD rows, PD rows with
// an extra column, and the pop-up menus with the PD actions under the page's caption.
#ifndef ZAV_GUI_PAGELISTS_WIN_H
#define ZAV_GUI_PAGELISTS_WIN_H

#include <windows.h>

#include <stdint.h>

#include "gui/LdRows.h"
#include "gui/Page0Logic.h"

void SetupLdListColumns(HWND list);
// Rows carry their LD target id in the item's lParam.
void FillLdList(HWND list, const DeleteLdRow *rows, int count);
// Target ids of the selected rows in list order; returns the count.
unsigned SelectedLdTargets(HWND list, uint8_t *targets, unsigned max);
void SetListCell(HWND list, int row, int column, const char *text);

// The LD and PD pop-up menus of a page's lists and their commands (PD actions, information
// dialogs, refresh). Each returns 1 when it handled the message.
int PageListContextMenu(HWND page, HWND control, LPARAM lParam, int ldListId, int pdListId1, int pdListId2);
int PageListCommand(HWND page, int command, uint16_t captionId);

#endif
