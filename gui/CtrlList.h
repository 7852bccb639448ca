// The controller selector shared by the Dashboard and the Maintenance page: its entries, and the
// change of the current controller with its way back when the new controller does not answer.
#ifndef ZAV_GUI_CTRLLIST_H
#define ZAV_GUI_CTRLLIST_H

#include <stdint.h>

#include "gui/GuiState.h"

enum { CTRL_ENTRY_SIZE = 128 };

struct CtrlEntries {
    int count;
    char text[GUI_CTRL_LIMIT][CTRL_ENTRY_SIZE];
};

// What a controller change did to the tab strip.
struct CtrlChange {
    int ok;             // 1: the new controller is current; 0: the old one is current again
    int snapshotChange; // +1 insert the Snapshot tab, -1 remove it, 0 none
};

#ifdef __cplusplus
extern "C" {
#endif

// Reads the controller list, each controller's information and PCI position. A failure shows
// fatal box 562 and returns 0.
int CtrlListUpdate(CtrlEntries *entries);
// Makes `index` the current controller and re-reads it. When it cannot be read the previous
// controller becomes current again (and is re-read), so no page shows a stale record.
CtrlChange ChangeCurrentController(uint8_t index);

#ifdef __cplusplus
}
#endif

#endif
