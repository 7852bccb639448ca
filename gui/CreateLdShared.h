// Window helpers shared by the Create LD sub-pages and the custom configuration dialog: the PD
// list with its pop-up menu and PD actions, and the refresh of the current controller.
#ifndef ZAV_GUI_CREATELDSHARED_H
#define ZAV_GUI_CREATELDSHARED_H

#include <windows.h>

#include <stdint.h>

INT_PTR CALLBACK Page10Proc(HWND sub, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page11Proc(HWND sub, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the custom configuration dialog; 1 when it created LDs.
int RunCustomConfigDialog(HWND owner);

// Re-reads the current controller with the wait cursor (1 on success).
int CreateLdRefreshRecord(void);
// The PD list (IDC_PD_LIST) of a creation window: columns, rows, menu and actions.
void CreateLdInitPdList(HWND window);
void CreateLdFillPdList(HWND window);
void CreateLdPdContextMenu(HWND window, HWND control, LPARAM lParam);
INT_PTR CreateLdPdCommand(HWND window, WORD id);
// The slot a row of the window's PD list shows, -1 when the row shows no PD.
int CreateLdPdSlotOfRow(HWND window, int row);

// Combo-box helpers: entries carry a number.
void ComboReset(HWND window, int id);
void ComboAdd(HWND window, int id, const char *text, LPARAM data);
int ComboSelectedData(HWND window, int id, int fallback);
void ComboSelectData(HWND window, int id, LPARAM data);

#endif
