// Property dialogs of zavgui: one call each opens the modal dialog for a controller, its
// enclosures, its cache-backup unit, an LD, a PD, a snapshot base or repository LD, or a view.
// Every call returns when the dialog has closed (its end code, -1 when it could not be shown).
#ifndef ZAV_GUI_PROPDIALOGS_H
#define ZAV_GUI_PROPDIALOGS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int ShowCtrlInfoDialog(void *owner, uint8_t contNo);
int ShowEnclInfoDialog(void *owner, uint8_t contNo);
int ShowCacheBkupInfoDialog(void *owner, uint8_t contNo);
int ShowLdInfoDialog(void *owner, uint8_t contNo, uint8_t targetId);
int ShowPdInfoDialog(void *owner, uint8_t contNo, uint8_t slot);
// Snapshot base (Properties and Settings) or repository LD (Properties), whichever the LD is.
int ShowLdSnapshotInfoDialog(void *owner, uint8_t contNo, uint8_t targetId);
int ShowViewInfoDialog(void *owner, uint8_t contNo, uint8_t baseTargetId, uint8_t viewTargetId);

#ifdef __cplusplus
}
#endif

#endif
