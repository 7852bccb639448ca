// Logic of the Snapshot tab: pending records, enable checks, the "Finish" lists and questions,
// and the cell texts of its two lists.
#include "gui/Page6Logic.h"

#include <stdio.h>
#include <string.h>

#include "common/ContData.h"
#include "common/DispFormat.h"
#include "common/Facts.h"
#include "common/SnapSupport.h"
#include "gui/resource.h"

enum { BLOCKS_PER_MB = 2048, BLOCKS_PER_GB = 2097152 };

static uint64_t BaseLdBlocks(const ContData *record, uint8_t contNo, uint8_t target)
{
    return LdCapacityBlocks(record->ldInfo[target], contNo);
}

static int IsInitializing(const uint8_t *ldInfo)
{
    return (LayoutU32(ldInfo, LI_OPERATION_BITS) & LD_PROG_INIT) != 0;
}

// ---------------------------------------------------------------------------------------------
// Pending records
// ---------------------------------------------------------------------------------------------
void ClearPendingChanges(SnapPendingSet *set, int contNo)
{
    memset(set, 0, sizeof(*set));
    set->contNo = contNo;
}

// 1 when the record still describes a change the LD can take.
static int PendingStillFits(const SnapPendingChange *change, const ContData *record, uint8_t target)
{
    if (!MoreLdExists(record, target))
        return 0;
    const uint8_t *ldInfo = record->ldInfo[target];
    if (change->kind == SNAP_PENDING_DISABLE)
        return LdIsSnapshotBase(ldInfo);
    if (LdIsSnapshotBase(ldInfo) || change->repository >= LD_MAX || !MoreLdExists(record, change->repository))
        return 0;
    return !LdIsSnapshotBase(record->ldInfo[change->repository]);
}

int SyncPendingChanges(SnapPendingSet *set, uint8_t contNo, const ContData *record)
{
    int dropped = 0;
    if (set->contNo != (int)contNo) {
        dropped = PendingChangeCount(set);
        ClearPendingChanges(set, contNo);
        return dropped;
    }
    for (int t = 0; t < LD_MAX; ++t) {
        SnapPendingChange *change = &set->ld[t];
        if (change->kind != SNAP_PENDING_NONE && !PendingStillFits(change, record, (uint8_t)t)) {
            memset(change, 0, sizeof(*change));
            ++dropped;
        }
    }
    return dropped;
}

int PendingChangeCount(const SnapPendingSet *set)
{
    int count = 0;
    for (int t = 0; t < LD_MAX; ++t)
        count += set->ld[t].kind != SNAP_PENDING_NONE;
    return count;
}

void RecordPendingDisable(SnapPendingSet *set, uint8_t base)
{
    if (base >= LD_MAX)
        return;
    memset(&set->ld[base], 0, sizeof(set->ld[base]));
    set->ld[base].kind = SNAP_PENDING_DISABLE;
}

void CancelPendingChange(SnapPendingSet *set, uint8_t target)
{
    if (target < LD_MAX)
        memset(&set->ld[target], 0, sizeof(set->ld[target]));
}

// ---------------------------------------------------------------------------------------------
// The enable dialog
// ---------------------------------------------------------------------------------------------
uint64_t EnableAreaBlocks(const SnapEnableInput *input, const ContData *record, uint8_t contNo)
{
    if (input->byPercent)
        return BaseLdBlocks(record, contNo, input->base) / 100 * input->areaValue;
    return (uint64_t)input->areaValue * BLOCKS_PER_GB;
}

// Room other pending enables already claim on the repository.
static uint64_t PendingAreaOn(const SnapPendingSet *set, uint8_t repository, uint8_t exceptBase)
{
    uint64_t claimed = 0;
    for (int t = 0; t < LD_MAX; ++t) {
        const SnapPendingChange *c = &set->ld[t];
        if (t != exceptBase && c->kind == SNAP_PENDING_ENABLE && c->repository == repository)
            claimed += c->areaBlocks;
    }
    return claimed;
}

static int IsPendingRepository(const SnapPendingSet *set, uint8_t target)
{
    for (int t = 0; t < LD_MAX; ++t) {
        if (set->ld[t].kind == SNAP_PENDING_ENABLE && set->ld[t].repository == target)
            return 1;
    }
    return 0;
}

uint16_t CheckEnableInput(const SnapEnableInput *input, const SnapPendingSet *set, const ContData *record,
                          uint8_t contNo)
{
    const uint8_t *baseInfo = record->ldInfo[input->base];
    if (LdIsCacheCade(baseInfo))
        return IDS_SNAP_CACHECADE_BASE;
    if (IsInitializing(baseInfo))
        return IDS_SNAP_INITIALIZING_BASE;
    if (input->repository < 0 || input->repository >= LD_MAX || input->repository == input->base ||
        LdIsRepository(baseInfo) || IsPendingRepository(set, input->base))
        return IDS_SNAP_REPOSITORY_AS_BASE;
    uint8_t repository = (uint8_t)input->repository;
    uint64_t area = EnableAreaBlocks(input, record, contNo);
    if (area / BLOCKS_PER_MB < SNAP_AREA_MIN_MB)
        return IDS_SNAP_AREA_TOO_SMALL;
    if (area > BaseLdBlocks(record, contNo, repository))
        return IDS_SNAP_REPOSITORY_SMALLER;
    uint64_t free = RepositoryFreeBlocks(record, contNo, repository);
    uint64_t claimed = PendingAreaOn(set, repository, input->base);
    if (claimed >= free || area > free - claimed)
        return IDS_SNAP_REPOSITORY_TOO_SMALL;
    return 0;
}

void RecordPendingEnable(SnapPendingSet *set, const SnapEnableInput *input, const ContData *record, uint8_t contNo)
{
    if (input->repository < 0 || input->repository >= LD_MAX || input->base >= LD_MAX)
        return;
    SnapPendingChange *change = &set->ld[input->base];
    memset(change, 0, sizeof(*change));
    change->kind = SNAP_PENDING_ENABLE;
    change->repository = (uint8_t)input->repository;
    change->areaBlocks = EnableAreaBlocks(input, record, contNo);
    change->autoDelete = (uint8_t)(input->autoDelete != 0);
    change->autoSnapshot = (uint8_t)(input->autoSnapshot != 0);
}

int PreselectedRepository(const SnapConstructInfo *info, const ContData *record, uint8_t base)
{
    if (info == NULL || base >= LD_MAX)
        return -1;
    uint8_t repository = info->repositoryOf[base];
    if (repository == SNAP_INFO_NONE || repository >= LD_MAX || !MoreLdExists(record, repository))
        return -1;
    return repository;
}

// ---------------------------------------------------------------------------------------------
// Finish
// ---------------------------------------------------------------------------------------------
void BuildFinishLists(const SnapPendingSet *set, const ContData *record, SnapFinishLists *lists)
{
    memset(lists, 0, sizeof(*lists));
    uint8_t targets[LD_MAX];
    unsigned count = ExistingLds(record, targets);
    uint8_t isRepository[LD_MAX];
    memset(isRepository, 0, sizeof(isRepository));
    for (unsigned i = 0; i < count; ++i) {
        uint8_t t = targets[i];
        const SnapPendingChange *c = &set->ld[t];
        if (c->kind == SNAP_PENDING_ENABLE) {
            lists->enable[lists->enableCount++] = t;
            if (c->repository < LD_MAX)
                isRepository[c->repository] = 1;
        } else if (c->kind == SNAP_PENDING_DISABLE) {
            lists->disable[lists->disableCount++] = t;
        }
    }
    for (int t = 0; t < LD_MAX; ++t) {
        if (isRepository[t])
            lists->repositories[lists->repositoryCount++] = (uint8_t)t;
    }
}

int SnapLdListText(char *out, size_t size, const uint8_t *targets, unsigned count)
{
    static const char ELLIPSIS[] = ", ...";
    if (size == 0)
        return 0;
    out[0] = '\0';
    size_t used = 0;
    for (unsigned i = 0; i < count; ++i) {
        char item[16];
        int n = snprintf(item, sizeof(item), i == 0 ? "LD%u" : ", %u", (unsigned)targets[i]);
        // Keep room for the ellipsis unless this is the last item.
        size_t reserve = i + 1 < count ? sizeof(ELLIPSIS) - 1 : 0;
        if (used + (size_t)n + reserve + 1 > size) {
            if (used + sizeof(ELLIPSIS) <= size) {
                memcpy(out + used, ELLIPSIS, sizeof(ELLIPSIS));
                used += sizeof(ELLIPSIS) - 1;
            }
            break;
        }
        memcpy(out + used, item, (size_t)n + 1);
        used += (size_t)n;
    }
    return (int)used;
}

// Characters the format itself takes once its %s fields are filled with nothing.
static size_t FormatFixedLength(const char *format, int fields)
{
    size_t length = strlen(format);
    return length >= (size_t)(2 * fields) ? length - (size_t)(2 * fields) : 0;
}

int FormatDisableQuestion(char *out, size_t size, const char *format, const SnapFinishLists *lists)
{
    char list[SNAP_BOX_TEXT_SIZE];
    size_t fixed = FormatFixedLength(format, 1);
    size_t room = size > fixed + 1 ? size - fixed : 1;
    SnapLdListText(list, room < sizeof(list) ? room : sizeof(list), lists->disable, lists->disableCount);
    return snprintf(out, size, format, list);
}

int FormatEnableQuestion(char *out, size_t size, const char *format, const SnapFinishLists *lists)
{
    char bases[SNAP_BOX_TEXT_SIZE], repositories[SNAP_BOX_TEXT_SIZE];
    size_t fixed = FormatFixedLength(format, 2);
    size_t room = size > fixed + 2 ? size - fixed : 2;
    // The repositories are few; the bases take what they leave.
    size_t repoRoom = room / 2;
    int repoLength = SnapLdListText(repositories, repoRoom < sizeof(repositories) ? repoRoom : sizeof(repositories),
                                    lists->repositories, lists->repositoryCount);
    size_t baseRoom = room - (size_t)repoLength;
    SnapLdListText(bases, baseRoom < sizeof(bases) ? baseRoom : sizeof(bases), lists->enable, lists->enableCount);
    return snprintf(out, size, format, bases, repositories);
}

// ---------------------------------------------------------------------------------------------
// Snapshot and view actions
// ---------------------------------------------------------------------------------------------
int BaseSnapshotCount(const ContData *record, uint8_t base)
{
    return (int)PitCount(BaseInfo(record, base));
}

int ViewTargetOfSnapshot(const ContData *record, uint8_t base, unsigned index)
{
    const uint8_t *info = BaseInfo(record, base);
    if (info == NULL || index >= PitCount(info))
        return -1;
    uint32_t pitNumber = LayoutU32(PitAt(info, index), SP_NUMBER);
    for (unsigned i = 0; i < ViewCount(info); ++i) {
        const uint8_t *view = ViewAt(info, i);
        if (LayoutU32(view, SV_PIT_NUMBER) == pitNumber)
            return view[SV_TARGET];
    }
    return -1;
}

int CreateSnapshotAsksFirst(const ContData *record, uint8_t base)
{
    return BaseSnapshotCount(record, base) > SNAP_MAX_BEFORE_QUESTION && AutoDeleteEnabled(record, base);
}

int ViewRoomTooSmall(const ContData *record, uint8_t base)
{
    const uint8_t *info = BaseInfo(record, base);
    if (info == NULL)
        return 1;
    uint64_t area = LayoutU64(info, SB_AREA_BLOCKS), used = LayoutU64(info, SB_USED_BLOCKS);
    return used >= area || area - used < area / 20;
}

int OldestSnapshotHasView(const ContData *record, uint8_t base)
{
    const uint8_t *info = BaseInfo(record, base);
    return info != NULL && PitCount(info) > 0 && PitAt(info, 0)[SP_HAS_VIEW] != 0;
}

// ---------------------------------------------------------------------------------------------
// Cell texts
// ---------------------------------------------------------------------------------------------
static int GbText(char *out, size_t size, uint64_t blocks)
{
    return snprintf(out, size, "%0.3f", (double)(blocks >> 11) / 1024.0);
}

static int CapacityCell(char *out, size_t size, const ContData *record, uint8_t contNo, uint8_t target)
{
    uint64_t total = BaseLdBlocks(record, contNo, target);
    const uint8_t *repo = record->repositoryInfo[target];
    if (LdIsRepository(record->ldInfo[target]) && repo != NULL) {
        char t[32], f[32];
        GbText(t, sizeof(t), total);
        GbText(f, sizeof(f), LayoutU64(repo, SR_FREE_BLOCKS));
        return snprintf(out, size, "%s(Free %s)", t, f);
    }
    return GbText(out, size, total);
}

static int RoleCell(char *out, size_t size, const ContData *record, uint8_t target)
{
    const uint8_t *ldInfo = record->ldInfo[target];
    if (LdIsRepository(ldInfo))
        return snprintf(out, size, "Repository");
    const uint8_t *info = BaseInfo(record, target);
    if (info != NULL)
        return snprintf(out, size, "Base(RepLD%u)", (unsigned)info[SB_REPO_TARGET]);
    return snprintf(out, size, "-");
}

static int PendingCell(char *out, size_t size, const SnapPendingSet *set, uint8_t target)
{
    const SnapPendingChange *c = &set->ld[target];
    if (c->kind == SNAP_PENDING_ENABLE)
        return snprintf(out, size, "Enable(RepLD%u)", (unsigned)c->repository);
    if (c->kind == SNAP_PENDING_DISABLE)
        return snprintf(out, size, "Disable");
    return snprintf(out, size, "-");
}

int SnapLdCellText(char *out, size_t size, const ContData *record, uint8_t contNo, const SnapPendingSet *set,
                   uint8_t target, int column)
{
    if (size == 0 || target >= LD_MAX)
        return 0;
    switch (column) {
    case 0:
        return snprintf(out, size, "LD%u", (unsigned)target);
    case 1:
        if (RaidlvlToStr(out, size, LdRaidLevel(record->ldInfo[target]), contNo) == 0)
            return snprintf(out, size, "-");
        return (int)strlen(out);
    case 2:
        return CapacityCell(out, size, record, contNo, target);
    case 3:
        return RoleCell(out, size, record, target);
    default:
        return PendingCell(out, size, set, target);
    }
}

int SnapTimelineCellText(char *out, size_t size, const ContData *record, uint8_t base, unsigned index, int column)
{
    const uint8_t *info = BaseInfo(record, base);
    if (size == 0 || info == NULL || index >= PitCount(info))
        return 0;
    const uint8_t *pit = PitAt(info, index);
    switch (column) {
    case 0:
        return snprintf(out, size, "%u", (unsigned)LayoutU32(pit, SP_NUMBER));
    case 1:
        FixedFieldText(out, size, pit + SP_NAME, SNAP_NAME_SIZE);
        return (int)strlen(out);
    case 2:
        return DateTimeText(out, size, LayoutU32(pit, SP_TIME));
    default:
        return snprintf(out, size, "%s", pit[SP_HAS_VIEW] ? "Created" : "-");
    }
}
