// The pages inside the property dialogs: read-only panes and the three Settings pages. The
// dialog frame creates them with a PropContext naming what they show.
#ifndef ZAV_GUI_PROPPAGES_H
#define ZAV_GUI_PROPPAGES_H

#include <windows.h>

#include <stdint.h>

enum PaneKind {
    PANE_KIND_CTRL = 0,
    PANE_KIND_ENCL = 1,
    PANE_KIND_CACHEBKUP = 2,
    PANE_KIND_LD = 3,
    PANE_KIND_PD = 4,
    PANE_KIND_SNAPSHOT = 5,
    PANE_KIND_VIEW = 6
};

// What the open dialog shows; one property dialog is open at a time (they are modal).
struct PropContext {
    int paneKind;
    uint8_t contNo;
    uint8_t target;     // LD target id, PD slot, or base LD of a view
    uint8_t viewTarget; // view target id
    HWND frame;         // the dialog frame, closed when a fatal query failure ends the program
};

INT_PTR CALLBACK PanePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ContSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LdSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SnapshotSettingsProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Background of a page and of its read-only panes (white).
INT_PTR PropColourMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
