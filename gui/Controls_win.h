// Small helpers that copy page-logic results into Win32 controls: list-view columns and rows,
// tree nodes, combo entries and control visibility.
#ifndef ZAV_GUI_CONTROLS_WIN_H
#define ZAV_GUI_CONTROLS_WIN_H

#include <windows.h>

#include "gui/CtrlList.h"
#include "gui/Page0Logic.h"
#include "gui/resource.h"

void AddListColumn(HWND list, int index, const char *title, int widthUnits, int rightAlign);
void SetupPdListColumns(HWND list);
// Rows carry their slot in the item's lParam.
void FillPdList(HWND list, const PdRow *rows, int count);
// The slot of the selected row (-1 when not exactly one row is selected).
int SelectedListParam(HWND list);
void FillCtrlCombo(HWND combo, const CtrlEntries *entries, int selected);
void FillLdTree(HWND tree, const TreeNodes *nodes);
void ShowControl(HWND page, int id, int show);

#endif

// Pop-up menus of the LD tree and the PD lists, tracked at the point (screen coordinates); the
// chosen command is posted back to the page as WM_COMMAND.
void TrackPdMenu(HWND page, const PdMenuState *state, POINT at);
void TrackLdMenu(HWND page, const LdMenuState *state, POINT at);
// Where a context menu opens: the cursor, or below the selection when the keyboard asked.
POINT ContextMenuPoint(HWND control, LPARAM lParam);
