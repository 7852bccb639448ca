// List helpers the pages share: LD rows, and the LD and PD pop-up menus and double clicks of their
// lists with the PD actions under the page's caption and the information dialogs.
#ifndef ZAV_GUI_PAGELISTS_WIN_H
#define ZAV_GUI_PAGELISTS_WIN_H

#include <windows.h>

#include <stdint.h>

#include "gui/LdRows.h"
#include "gui/Page0Logic.h"

void SetupLdListColumns(HWND list);

// One LD row as a list shows it, whatever page built it.
enum { LD_LIST_MAX_COLUMNS = 8 };
struct LdListRow {
    uint8_t target;
    int columns;
    const char *cells[LD_LIST_MAX_COLUMNS];
};
// Rows carry their LD target id in the item's lParam; rows whose LD was selected stay selected.
void FillLdListRows(HWND list, const LdListRow *rows, int count);
void FillLdList(HWND list, const DeleteLdRow *rows, int count);
// Target ids of the selected rows in list order; returns the count.
unsigned SelectedLdTargets(HWND list, uint8_t *targets, unsigned max);
void SetListCell(HWND list, int row, int column, const char *text);

// The LD and PD pop-up menus of a page's lists and their commands (PD actions, information
// dialogs, refresh). Each returns 1 when it handled the message.
int PageListContextMenu(HWND page, HWND control, LPARAM lParam, int ldListId, int pdListId1, int pdListId2);
int PageListCommand(HWND page, int command, uint16_t captionId);
// A double click on a row of one of the lists opens its LD or PD information (the first item of
// the row's menu). Returns 1 when the notice came from one of the lists.
int PageListDoubleClick(HWND page, const NMHDR *header, int ldListId, int pdListId1, int pdListId2);


// What a page does on its messages. The lists named get the shared pop-up menus and double
// clicks; a page's own notices (tab changes, selection changes) go to notify when it has one.
struct PageHandlers {
    void (*init)(HWND page);
    void (*refresh)(HWND page, LPARAM reason);
    void (*command)(HWND page, WPARAM wParam);
    void (*notify)(HWND page, const NMHDR *header);
    int ldListId, pdListId1, pdListId2;
};
INT_PTR PageMessage(const PageHandlers *handlers, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
