// Actions of the Snapshot tab: "Finish" over the pending records, and the snapshot and view
// commands of its pop-up menus, each with its questions and error boxes (caption "Snapshot").
#ifndef ZAV_GUI_PAGE6ACTIONS_H
#define ZAV_GUI_PAGE6ACTIONS_H

#include <stddef.h>
#include <stdint.h>

#include "gui/Page6Logic.h"

struct ContData;

enum { SNAP_NAME_DIALOG_SNAPSHOT = 0, SNAP_NAME_DIALOG_VIEW = 1 };

// The name dialogs (IDD_CREATE_SNAPSHOT, IDD_CREATE_VIEW): show the proposed name, let the user
// change it, and return 1 on OK. Tests install a scripted one.
typedef int (*SnapNameDialog)(void *owner, int kind, char *name, size_t size);
void SetSnapNameDialog(SnapNameDialog dialog);

struct SnapPageContext {
    void *owner;              // the page window
    uint8_t contNo;
    ContData *records;
    SnapPendingSet *pending;
};

// Each returns 1 when the controller may have changed, so the page rebuilds its lists.
int OnFinishBtnClicked(const SnapPageContext *page);
int OnLdCreateSnapshot(const SnapPageContext *page, uint8_t base);
int OnLdDeleteSnapshot(const SnapPageContext *page, uint8_t base);
int OnSnapshotCreateView(const SnapPageContext *page, uint8_t base, unsigned snapshotIndex);
int OnSnapshotDeleteView(const SnapPageContext *page, uint8_t base, unsigned snapshotIndex);

// The construct-info file of the controller is removed through the path it is written to.
int RemoveConstructInfoAfterEnable(uint8_t contNo);

#endif
