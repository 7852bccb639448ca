// Delete LD page without its window: the check pass over the selected LDs, the two questions,
// the deletion in selection order and the switch out of CacheCade mode afterwards.
#ifndef ZAV_GUI_PAGE2LOGIC_H
#define ZAV_GUI_PAGE2LOGIC_H

#include <stdint.h>

struct ContData;

// How a delete ended; every outcome but DELETE_DONE has left the LDs as they were, except
// DELETE_FAILED, which stops at the first LD the controller refused.
enum DeleteOutcome {
    DELETE_NOTHING_SELECTED = 0,
    DELETE_REFUSED = 1,   // the check pass showed its box
    DELETE_CANCELLED = 2, // Cancel at one of the two questions
    DELETE_FAILED = 3,    // a delete command failed (box 273)
    DELETE_DONE = 4
};

#ifdef __cplusplus
extern "C" {
#endif

// The string id of the refusal of deleting one LD of the current controller, 0 when it may go.
// Reads the LD's information and rebuild state from the controller.
uint16_t DeleteRefusal(ContData *record, uint8_t contNo, uint8_t targetId);

// OnDeleteBtnClicked of the Delete LD page for the LDs selected in the list (in list order).
int DeleteSelectedLds(void *owner, const uint8_t *targets, unsigned count);

#ifdef __cplusplus
}
#endif

#endif
