// The information dialogs the Snapshot tab opens, one call each, so the page does not depend on
// how the property dialogs are built.
#include "gui/SnapInfoLink.h"

// The property dialogs (LD, snapshot base or repository, view) join here when they are built.
void OpenLdInformation(HWND owner, uint8_t contNo, uint8_t target)
{
    (void)owner, (void)contNo, (void)target;
}

void OpenSnapshotInformation(HWND owner, uint8_t contNo, uint8_t target)
{
    (void)owner, (void)contNo, (void)target;
}

void OpenViewInformation(HWND owner, uint8_t contNo, uint8_t base)
{
    (void)owner, (void)contNo, (void)base;
}
