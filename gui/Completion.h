// Completion notices that every page refresh runs: a RAID group whose marked operation ended, and
// a patrol read that ended, each announced once.
#ifndef ZAV_GUI_COMPLETION_H
#define ZAV_GUI_COMPLETION_H

#ifdef __cplusplus
extern "C" {
#endif

// Returns the number of notices shown.
int CheckOperationCompletion(void *owner);

#ifdef __cplusplus
}
#endif

#endif
