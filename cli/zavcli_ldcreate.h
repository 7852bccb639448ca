// Creation steps both LD creation commands of zavcli share (easy lde and custom ldc).
#ifndef ZAV_CLI_ZAVCLI_LDCREATE_H
#define ZAV_CLI_ZAVCLI_LDCREATE_H

#include <stdint.h>

#include "common/storelib_layout.h"

struct ContData;
struct EasyPlan;

// Messages of both commands.
extern const char MSG_FAILED_CREATE[];
extern const char MSG_LD_LIMIT[];
extern const char MSG_MIXED_INTERFACE[];
extern const char MSG_MIXED_MEDIA[];
extern const char MSG_ABNORMAL_COUNT[];
extern const char MSG_INIT_STARTS[];

// The Associated CacheCade LD question over every LD that is no CacheCade LD and, on Y, cached IO
// for those LDs.
void OfferCacheCadeAssociation(ContData *records, uint8_t contNo);
// One RAID0 CacheCade group over the PDs on the plan's controller; asks the size question and
// sends the request. Returns 1 on success, 0 when the controller refused, -1 when the command ends
// before sending.
int CreateCacheCadeGroup(ContData *records, EasyPlan *plan, const uint8_t *pds, int count);

#endif
