// The information dialogs the Snapshot tab opens (LD, snapshot base/repository, view). They
// belong to the property dialogs; each is reached through one function here.
#ifndef ZAV_GUI_SNAPINFOLINK_H
#define ZAV_GUI_SNAPINFOLINK_H

#include <windows.h>

#include <stdint.h>

void OpenLdInformation(HWND owner, uint8_t contNo, uint8_t target);
void OpenSnapshotInformation(HWND owner, uint8_t contNo, uint8_t target);
void OpenViewInformation(HWND owner, uint8_t contNo, uint8_t base);

#endif
