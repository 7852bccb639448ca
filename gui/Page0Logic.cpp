// Dashboard logic: control visibility, the RAID-group tree, PD rows and menu rules, PD actions and
// the learn cycle, all computed from the controller record without any window.
#include "gui/Page0Logic.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"
#include "gui/GuiState.h"
#include "gui/MainLogic.h"
#include "gui/PD.h"
#include "gui/Utility.h"
#include "gui/resource.h"

const PdColumn kPdColumns[PD_COLUMNS] = {
    {"PD No.",       47, 0},
    {"LD No.",       96, 0},
    {"RG No.",       48, 0},
    {"State",        93, 0},
    {"Type",         48, 0},
    {"Capacity[GB]", 81, 1},
};

DashboardVisibility DashboardVisibilityOf(const ContData *record)
{
    DashboardVisibility v;
    v.enclosureButton = record->enclList.count > 0;
    v.cacheBackup = (LayoutU32(record->ctrlInfo, CI_HW_PRESENT) & CI_HW_CACHE_BACKUP) ? 1 : 0;
    return v;
}

static double BlocksToGb(uint64_t blocks)
{
    return (double)(blocks >> 11) / 1024.0;
}

// ---- tree ----------------------------------------------------------------------------------

static int AddNode(TreeNodes *out, int depth, uint32_t tag, const char *text)
{
    if (out->count >= TREE_MAX_NODES)
        return 0;
    TreeNode *node = &out->nodes[out->count++];
    node->depth = depth;
    node->tag = tag;
    snprintf(node->text, sizeof(node->text), "%s", text);
    return 1;
}

static uint16_t SpanArrayRef(const uint8_t *ldInfo, unsigned span)
{
    return LayoutU16(ldInfo, LI_SPANS + LI_SPAN_SIZE * span + LI_SPAN_ARRAY_REF);
}

static unsigned SpanCount(const uint8_t *ldInfo)
{
    unsigned depth = ldInfo[LI_SPAN_DEPTH];
    if (depth == 0)
        depth = 1;
    return depth > LI_MAX_SPANS ? (unsigned)LI_MAX_SPANS : depth;
}

// 1 when one of the LD's spans lies on an array of the group (same array, or for a spanned group
// any array with the same spanned number).
static int LdInGroup(const ContData *record, const uint8_t *ldInfo, uint16_t arrayRef)
{
    const RaidGroupEntry *group = &record->rgNumbering.entries[arrayRef];
    for (unsigned s = 0; s < SpanCount(ldInfo); s++) {
        uint16_t ref = SpanArrayRef(ldInfo, s);
        if (ref == arrayRef)
            return 1;
        if (group->spanned && ref < CONTDATA_ARRAYS && record->rgNumbering.entries[ref].spanned &&
            record->rgNumbering.entries[ref].rgNo == group->rgNo)
            return 1;
    }
    return 0;
}

static int CompareTargets(const void *a, const void *b)
{
    return (int)*(const uint8_t *)a - (int)*(const uint8_t *)b;
}

static int GroupTargets(const ContData *record, uint16_t arrayRef, uint8_t *targets)
{
    int n = 0;
    for (uint32_t i = 0; record->ldList && i < record->ldList->count && i < (uint32_t)LD_MAX; i++) {
        uint8_t t = record->ldList->entries[i].targetId;
        if (t < CONTDATA_LD_TARGETS && LdInGroup(record, record->ldInfo[t], arrayRef))
            targets[n++] = t;
    }
    qsort(targets, (size_t)n, 1, CompareTargets);
    return n;
}

static void GroupRootText(const ContData *record, uint8_t contNo, uint16_t arrayRef, int firstLd, char *out)
{
    const RaidGroupEntry *group = &record->rgNumbering.entries[arrayRef];
    char level[32] = "";
    if (firstLd >= 0)
        RaidlvlToStr(level, sizeof(level), LdRaidLevel(record->ldInfo[firstLd]), contNo);
    char format[GUI_TEXT_SIZE];
    unsigned number = group->rgNo;
    uint16_t textId = IDS_TREE_RG;
    if (group->spanned) {
        textId = IDS_TREE_SPANNED_RG;
    } else if (group->cacheCade) {
        textId = IDS_TREE_CACHECADE_RG;
        number = group->cacheCadeRgNo;
    }
    LoadGuiString(textId, format, sizeof(format));
    snprintf(out, TREE_TEXT_SIZE, format, number, number, level);
}

static void LdNodeText(const ContData *record, uint8_t target, char *out)
{
    const uint8_t *ld = record->ldInfo[target];
    char state[48];
    LdStateName(state, sizeof(state), ld[LI_STATE]);
    int n = snprintf(out, TREE_TEXT_SIZE, "LD%u (%s, %0.3fGB", (unsigned)target, state,
                     BlocksToGb(LayoutU64(ld, LI_SIZE)));
    const char *letters = record->driveLetters[target];
    if (letters[0] != '\0' && n > 0 && n < TREE_TEXT_SIZE)
        n += snprintf(out + n, (size_t)(TREE_TEXT_SIZE - n), ", %s", letters);
    if (n > 0 && n < TREE_TEXT_SIZE)
        snprintf(out + n, (size_t)(TREE_TEXT_SIZE - n), ")");
}

struct Segment {
    uint64_t start, blocks;
};

static int CompareSegments(const void *a, const void *b)
{
    uint64_t x = ((const Segment *)a)->start, y = ((const Segment *)b)->start;
    return x < y ? -1 : (x > y ? 1 : 0);
}

enum { GROUP_ARRAYS_MAX = LI_MAX_SPANS };

// The arrays of the group an array belongs to: the array itself, or for a spanned group every
// array that carries the same spanned number (one per span).
static int GroupArrays(const ContData *record, const ConfigArray *array, const ConfigArray **out)
{
    const RaidGroupEntry *group = &record->rgNumbering.entries[array->arrayRef];
    if (!group->spanned) {
        out[0] = array;
        return 1;
    }
    int n = 0;
    for (uint16_t i = 0; i < ConfigArrayCount(record->config) && n < GROUP_ARRAYS_MAX; i++) {
        const ConfigArray *other = ConfigArrayAt(record->config, i);
        if (!other || other->arrayRef >= CONTDATA_ARRAYS)
            continue;
        const RaidGroupEntry *entry = &record->rgNumbering.entries[other->arrayRef];
        if (entry->spanned && entry->rgNo == group->rgNo)
            out[n++] = other;
    }
    return n;
}

static int IsGroupArray(uint16_t arrayRef, const ConfigArray *const *arrays, int count)
{
    for (int a = 0; a < count; a++)
        if (arrays[a]->arrayRef == arrayRef)
            return 1;
    return 0;
}

// Free segments of a group: the gaps between the spans its LDs occupy on its arrays, and the tail.
// A spanned group's LDs lie at the same place on every array, so a gap counts for all its drives.
static void AddFreeSpace(const ContData *record, uint8_t contNo, const ConfigArray *const *arrays, int arrayCount,
                         int level, TreeNodes *out)
{
    Segment used[LD_MAX * LI_MAX_SPANS];
    int n = 0;
    uint64_t size = arrays[0]->size;
    unsigned drives = 0;
    for (int a = 0; a < arrayCount; a++) {
        drives += arrays[a]->driveCount;
        if (arrays[a]->size < size)
            size = arrays[a]->size;
    }
    for (uint32_t i = 0; record->ldList && i < record->ldList->count && i < (uint32_t)LD_MAX; i++) {
        uint8_t t = record->ldList->entries[i].targetId;
        if (t >= CONTDATA_LD_TARGETS)
            continue;
        const uint8_t *ld = record->ldInfo[t];
        for (unsigned s = 0; s < SpanCount(ld) && n < LD_MAX * LI_MAX_SPANS; s++) {
            if (!IsGroupArray(SpanArrayRef(ld, s), arrays, arrayCount))
                continue;
            used[n].start = LayoutU64(ld, LI_SPANS + LI_SPAN_SIZE * s + LI_SPAN_START);
            used[n].blocks = LayoutU64(ld, LI_SPANS + LI_SPAN_SIZE * s + LI_SPAN_BLOCKS);
            n++;
        }
    }
    qsort(used, (size_t)n, sizeof(Segment), CompareSegments);
    uint64_t position = 0;
    int folderAdded = 0;
    for (int i = 0; i <= n; i++) {
        uint64_t end = i < n ? used[i].start : size;
        if (end > position && level >= 0) {
            uint64_t usable = CalcLDCapa(level, drives, end - position, contNo);
            if ((usable >> 11) > 4ull * drives) {
                if (!folderAdded)
                    folderAdded = AddNode(out, 1, NODE_TAG_FREE_FOLDER, "Free Space(s)");
                char text[TREE_TEXT_SIZE];
                snprintf(text, sizeof(text), "Capacity %0.3fGB", BlocksToGb(usable));
                AddNode(out, 2, NODE_TAG_FREE, text);
            }
        }
        if (i < n && used[i].start + used[i].blocks > position)
            position = used[i].start + used[i].blocks;
    }
}

int BuildLdTree(const ContData *record, uint8_t contNo, TreeNodes *out)
{
    out->count = 0;
    const uint8_t *config = record->config;
    if (!config)
        return 0;
    uint8_t spannedShown[CONTDATA_ARRAYS] = {0};
    for (uint16_t i = 0; i < ConfigArrayCount(config); i++) {
        const ConfigArray *array = ConfigArrayAt(config, i);
        if (!array || array->arrayRef >= CONTDATA_ARRAYS)
            continue;
        const RaidGroupEntry *group = &record->rgNumbering.entries[array->arrayRef];
        if (group->spanned) {
            if (spannedShown[group->rgNo])
                continue;
            spannedShown[group->rgNo] = 1;
        }
        uint8_t targets[LD_MAX];
        int count = GroupTargets(record, array->arrayRef, targets);
        char text[TREE_TEXT_SIZE];
        GroupRootText(record, contNo, array->arrayRef, count > 0 ? targets[0] : -1, text);
        AddNode(out, 0, array->arrayRef, text);
        AddNode(out, 1, NODE_TAG_LD_FOLDER, "Logical Drive(s)");
        for (int k = 0; k < count; k++) {
            LdNodeText(record, targets[k], text);
            AddNode(out, 2, NODE_TAG_LD + targets[k], text);
        }
        if (count > 0) {
            const ConfigArray *arrays[GROUP_ARRAYS_MAX];
            int arrayCount = GroupArrays(record, array, arrays);
            AddFreeSpace(record, contNo, arrays, arrayCount, LdRaidLevel(record->ldInfo[targets[0]]), out);
        }
    }
    return out->count;
}

int IsLdNode(uint32_t tag)
{
    return tag >= NODE_TAG_LD && tag <= NODE_TAG_LD_LAST;
}

// ---- PD rows and menus ---------------------------------------------------------------------

static const PdListEntry *EntryOfSlot(const ContData *record, uint8_t slot)
{
    for (uint32_t i = 0; record->pdList && i < record->pdList->count && i < (uint32_t)PD_LIST_MAX; i++)
        if (record->pdList->entries[i].slotNumber == slot)
            return &record->pdList->entries[i];
    return NULL;
}

int FillPdRow(const ContData *record, uint8_t slot, PdRow *row)
{
    memset(row, 0, sizeof(*row));
    row->slot = slot;
    snprintf(row->cells[0], PD_CELL_SIZE, "PD%u", (unsigned)slot);
    const PdListEntry *entry = EntryOfSlot(record, slot);
    if (!entry || entry->scsiDevType != 0) {
        row->present = entry != NULL;
        for (int c = 1; c < PD_COLUMNS; c++)
            snprintf(row->cells[c], PD_CELL_SIZE, "-");
        return 1;
    }
    row->present = 1;
    const uint8_t *pd = record->pdInfo[slot];
    PdUsageText(row->cells[1], PD_CELL_SIZE, record, slot);
    PdRaidGroupText(row->cells[2], PD_CELL_SIZE, record, slot);
    PdStateText(row->cells[3], PD_CELL_SIZE, LayoutU16(pd, PI_FW_STATE));
    MediaTypeText(row->cells[4], PD_CELL_SIZE, pd);
    snprintf(row->cells[5], PD_CELL_SIZE, "%0.3f", BlocksToGb(LayoutU64(pd, PI_COERCED_SIZE)));
    return 1;
}

static int SlotRange(const ContData *record)
{
    int range = record->slotNum;
    for (uint32_t i = 0; record->pdList && i < record->pdList->count && i < (uint32_t)PD_LIST_MAX; i++)
        if (record->pdList->entries[i].slotNumber + 1 > range)
            range = record->pdList->entries[i].slotNumber + 1;
    return range > CONTDATA_PD_SLOTS ? (int)CONTDATA_PD_SLOTS : range;
}

int BuildPdRows(const ContData *record, PdRow *rows, int maxRows)
{
    int range = SlotRange(record);
    int n = 0;
    for (int slot = 0; slot < range && n < maxRows; slot++)
        FillPdRow(record, (uint8_t)slot, &rows[n++]);
    return n;
}

static int IsDiskRow(const ContData *record, const PdRow *row)
{
    const PdListEntry *entry = row ? EntryOfSlot(record, row->slot) : NULL;
    return entry && entry->scsiDevType == 0 && record->pdInfo[row->slot][PI_SCSI_DEV_TYPE] == 0;
}

PdMenuState PdMenuStateOf(const ContData *record, const PdRow *row)
{
    PdMenuState m = {0, 1, 0, 0, 0, 0};
    if (!IsDiskRow(record, row))
        return m;
    uint32_t allowed = LayoutU32(record->pdInfo[row->slot], PI_ALLOWED_OPS);
    m.info = 1;
    m.online = (allowed & PD_ALLOW_MAKE_ONLINE) ? 1 : 0;
    m.offline = (allowed & PD_ALLOW_MAKE_OFFLINE) ? 1 : 0;
    m.unconfGood = (allowed & PD_ALLOW_MAKE_UNCONF_GOOD) ? 1 : 0;
    m.locate = (allowed & PD_ALLOW_LOCATE) ? 1 : 0;
    return m;
}

LdMenuState LdMenuStateOf(const ContData *record, uint32_t tag)
{
    LdMenuState m = {0, 0, 0};
    if (!IsLdNode(tag))
        return m;
    m.show = 1;
    m.snapshotItem = CtrlSupportsSnapshot(record);
    uint32_t target = tag - NODE_TAG_LD;
    if (target < CONTDATA_LD_TARGETS) {
        const uint8_t *ld = record->ldInfo[target];
        m.snapshotInfo = m.snapshotItem && (ld[LI_SNAPSHOT_BASE] != 0 || (ld[LI_REPOSITORY] & 1) != 0);
    }
    return m;
}

// ---- actions -------------------------------------------------------------------------------

struct PdActionRow {
    const char *handler;
    const char *startTrace;
    int32_t (*routine)(uint8_t contNo, uint8_t slot);
    uint16_t failText;
};

static const PdActionRow kPdActions[] = {
    {"OnHddMenuStsGood",       "HddMenuStsOnline start",     HddMakeOnline,     IDS_PD_STATE_FAILED},
    {"OnHddMenuStsFail",       "HddMenuStsOffline start",    HddMakeOffline,    IDS_PD_STATE_FAILED},
    {"OnHddMenuStsUnconfGood", "HddMenuStsUnconfGood start", HddMakeUnconfGood, IDS_PD_STATE_FAILED},
    {"OnHddMenuLedAct",        "HddMenuLedAct start",        HddStartLocate,    IDS_LOCATE_ON_FAILED},
    {"OnHddMenuLedOff",        "HddMenuLedOff start",        HddStopLocate,     IDS_LOCATE_OFF_FAILED},
};

int RunPdAction(int action, void *owner, uint16_t captionId, const PdRow *row)
{
    if (action < 0 || action > PD_ACTION_LOCATE_OFF)
        return 0;
    const PdActionRow *a = &kPdActions[action];
    ZAV_TRACE("", "func=%s: %s, contNo=%u", a->handler, a->startTrace, (unsigned)g_gui.currentCtrl);
    if (!row)
        return 1;
    ActionBegin();
    int32_t status = a->routine(g_gui.currentCtrl, row->slot);
    if (status != 0)
        ShowErrorBox(owner, a->failText, captionId);
    ActionEnd();
    return status == 0;
}

int OnButtonCacheBkupDiag(void *owner)
{
    ZAV_TRACE("", "func=%s: %s, contNo=%u", "OnButtonCacheBkupDiag", "CacheBackupDiag start",
              (unsigned)g_gui.currentCtrl);
    ActionBegin();
    BeginWaitCursor();
    int32_t status = SLLearnCacheBkup(g_gui.currentCtrl);
    EndWaitCursor();
    if (status == 0) {
        ShowInfoBox(owner, IDS_LEARN_STARTED, IDS_CAPTION_DASHBOARD);
    } else {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "OnButtonCacheBkupDiag", "SLLearnCacheBkup error",
                  (unsigned)g_gui.currentCtrl);
        ShowErrorBox(owner, IDS_LEARN_FAILED, IDS_CAPTION_DASHBOARD);
    }
    ActionEnd();
    return status == 0;
}
