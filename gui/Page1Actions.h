// Creation operations of the Create LD tab: what will be built is shown and confirmed in the
// page's boxes (caption "Create Logical Drive"), then the request is sent, the snapshot pairs are
// remembered and a new CacheCade LD is offered to the other LDs.
#ifndef ZAV_GUI_PAGE1ACTIONS_H
#define ZAV_GUI_PAGE1ACTIONS_H

#include <stdint.h>

#include "common/LdLayout.h"

struct ContData;

struct CreateLdContext {
    void *owner;          // the page or dialog window
    uint8_t contNo;
    ContData *records;
    const char *patternPath; // null: "confpat1.csv" in the working folder
};

// Shows why a layout cannot be created; 1 when outcome is LAYOUT_OK (nothing shown).
int ShowLayoutOutcome(const CreateLdContext *page, int outcome);
// Confirms and creates the planned LDs. Returns 1 when the controller created them (the pages
// then refresh), 0 when the user declined or the controller refused (its box shown).
int CreatePlannedLds(const CreateLdContext *page, EasyPlan *plan);
// What the custom configuration dialog gathered: the checked PDs in list order (for RAID10 the
// consecutive pairs form the spans), the level, the cache options and the LD sizes.
struct CustomAnswers {
    int32_t level;
    uint8_t pds[RG_PD_MAX];
    int pdCount;
    uint32_t cacheBits;   // the -wt ... -cached bits of custom creation
    CustomSizeList sizes; // thousandths of 2^30 bytes; empty for one LD of the whole room
};
// Plans, checks, confirms and creates as custom creation does: a new RAID group, or new LDs in
// the existing group of exactly those PDs when it has room. Returns 1 when LDs were created.
int CreateCustomLds(const CreateLdContext *page, const CustomAnswers *answers);

// The association question after a CacheCade LD; on Yes the other LDs get cached IO.
void OfferCacheCadeAssociation(const CreateLdContext *page);

#endif
