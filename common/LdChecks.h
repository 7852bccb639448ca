// Checks an LD passes before initialization or a consistency check starts or stops, or before it
// is deleted, with their refusal texts (each takes the controller number as its one argument);
// and the checks of a controller before patrol read starts or stops.
// Trace lines name the console tool's handlers, as the trace log has always shown them.
#ifndef ZAV_COMMON_LDCHECKS_H
#define ZAV_COMMON_LDCHECKS_H

#include <stdint.h>

struct ContData;
struct PdList;

enum LdOperation { LDOP_INIT = 0, LDOP_CC = 1 };

// Texts of one background operation, by LdOperation.
struct LdOperationTexts {
    const char *name;          // for trace lines
    uint32_t progressBit;      // bit of the LD progress block
    const char *startFailed;
    const char *stopFailed;
    const char *alreadyFinished;
    const char *started;
};

// Result of checking one LD before an operation starts or stops.
enum { LD_CHECK_OK = 0, LD_CHECK_NOT_APPLICABLE = 1, LD_CHECK_REFUSED = 2 };

struct LdCheck {
    int result;
    const char *text; // refusal text with the controller number as its one argument
};

// The texts of an operation (LDOP_INIT or LDOP_CC).
const LdOperationTexts *LdOperationTextsOf(int op);
LdCheck LdCheckOk(void); // the check an LD passes when nothing stands in the way
// Before a stop: an LD running a rebuild or copyback is not stopped at all.
LdCheck LdStopRebuildCheck(int op, uint8_t contNo, uint8_t target);
// The check of one LD for the operation: the stop check, or the start check of the operation.
LdCheck LdOperationCheck(int op, int stop, ContData *record, uint8_t contNo, uint8_t target);

// Deleting LDs: the refusal text for one LD, or null when it may be deleted.
extern const char *const kLdDeleteFailed;
const char *LdDeleteRefusal(ContData *record, uint8_t contNo, uint8_t target);

// Patrol read. Each reads afresh from the library; a failed read is traced under the handler
// given and counts as "no".
// 1 when no LD of the controller runs a consistency check, initialization, reconstruction,
// rebuild or copyback.
int LdsAllowPatrolRead(uint8_t contNo, const char *handler);
// 1 when at least one disk of the PD list is a hot spare or online.
int HasPatrolReadablePd(uint8_t contNo, const PdList *pds, const char *handler);
// 1 when patrol read runs on at least one disk of the PD list.
int PatrolReadRunning(uint8_t contNo, const PdList *pds, const char *handler);

#endif
