// Completion check over the current controller's record and its own operation marks. A mark is
// cleared before its notice shows, so a refresh inside the notice's message loop cannot show it
// again.
#include "gui/Completion.h"

#include <string.h>

#include "common/ContData.h"
#include "common/storelib_layout.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

enum { PD_PROGRESS_PATROL = 1u << 1 };

// The array of an LD's first span, or CONTDATA_ARRAYS when it has none.
static uint16_t LdArray(const ContData *record, uint8_t target)
{
    uint16_t ref = LayoutU16(record->ldInfo[target], LI_SPANS + LI_SPAN_ARRAY_REF);
    return ref < CONTDATA_ARRAYS ? ref : (uint16_t)CONTDATA_ARRAYS;
}

// RAID-group key of an array: spanned arrays of one group share it.
static unsigned GroupKey(const ContData *record, uint16_t arrayRef)
{
    const RaidGroupEntry *g = &record->rgNumbering.entries[arrayRef];
    return g->spanned ? 0x100u + g->rgNo : arrayRef;
}

static unsigned GroupNumber(const ContData *record, uint16_t arrayRef)
{
    const RaidGroupEntry *g = &record->rgNumbering.entries[arrayRef];
    return g->cacheCade ? g->cacheCadeRgNo : g->rgNo;
}

static int GroupBusy(const ContData *record, unsigned key)
{
    for (uint32_t i = 0; record->ldList && i < record->ldList->count && i < (uint32_t)LD_MAX; i++) {
        uint8_t t = record->ldList->entries[i].targetId;
        if (t >= CONTDATA_LD_TARGETS)
            continue;
        uint16_t ref = LdArray(record, t);
        if (ref < CONTDATA_ARRAYS && GroupKey(record, ref) == key && LdOperationKind(record, t) != LD_OPKIND_NONE)
            return 1;
    }
    return 0;
}

static void ClearGroupMarks(const ContData *record, unsigned key, uint8_t *marks)
{
    for (uint32_t i = 0; record->ldList && i < record->ldList->count && i < (uint32_t)LD_MAX; i++) {
        uint8_t t = record->ldList->entries[i].targetId;
        uint16_t ref = t < CONTDATA_LD_TARGETS ? LdArray(record, t) : (uint16_t)CONTDATA_ARRAYS;
        if (ref < CONTDATA_ARRAYS && GroupKey(record, ref) == key)
            marks[t] = MARK_NONE;
    }
}

static int PatrolReadRunning(const ContData *record)
{
    for (uint32_t i = 0; record->pdList && i < record->pdList->count && i < (uint32_t)PD_LIST_MAX; i++) {
        const PdListEntry *e = &record->pdList->entries[i];
        if (e->scsiDevType == 0 && (LayoutU32(record->pdInfo[e->slotNumber], PI_PROGRESS_BITS) & PD_PROGRESS_PATROL))
            return 1;
    }
    return 0;
}

int CheckOperationCompletion(void *owner)
{
    const ContData *record = CurrentRecord();
    uint8_t *marks = CurrentOperationMarks();
    int shown = 0;
    for (int t = 0; t < GUI_OPERATION_MARKS; t++)
        if (marks[t] != MARK_NONE && !LdListHas(record, (uint8_t)t))
            marks[t] = MARK_NONE;
    ActionBegin();
    for (int t = 0; t < GUI_OPERATION_MARKS; t++) {
        if (marks[t] == MARK_NONE)
            continue;
        uint16_t ref = LdArray(record, (uint8_t)t);
        if (ref >= CONTDATA_ARRAYS) {
            marks[t] = MARK_NONE;
            continue;
        }
        unsigned key = GroupKey(record, ref);
        if (GroupBusy(record, key))
            continue;
        ClearGroupMarks(record, key, marks);
        marks[t] = MARK_NONE;
        ShowInfoBoxFmt(owner, IDS_OPERATION_FINISHED, IDS_CAPTION_MAINTENANCE, GroupNumber(record, ref), 0);
        shown++;
    }
    uint8_t *patrol = CurrentPatrolFlag();
    if (*patrol && !PatrolReadRunning(record)) {
        *patrol = 0;
        ShowInfoBox(owner, IDS_PATROL_FINISHED, IDS_CAPTION_MAINTENANCE);
        shown++;
    }
    ActionEnd();
    return shown;
}
