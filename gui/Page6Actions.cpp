// Actions of the Snapshot tab: "Finish" (disables first, then enables), Create and Delete
// Snapshot, Create and Delete View. Every question and error goes through the box functions.
#include "gui/Page6Actions.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include "common/ContData.h"
#include "common/Facts.h"
#include "common/SnapSupport.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static int NoNameDialog(void *owner, int kind, char *name, size_t size)
{
    (void)owner;
    (void)kind;
    (void)name;
    (void)size;
    return 0;
}

static SnapNameDialog g_nameDialog = NoNameDialog;

void SetSnapNameDialog(SnapNameDialog dialog)
{
    g_nameDialog = dialog ? dialog : NoNameDialog;
}

// A failed flush stops Create Snapshot without a box of its own; the flush has traced it.
static void QuietFlushNotice(int notice, uint32_t value)
{
    (void)notice;
    (void)value;
}

static void TraceSnapFailure(const char *func, const char *what, uint8_t contNo, uint8_t target)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u, ldNo=%u", func, what, (unsigned)contNo, (unsigned)target);
}

int RemoveConstructInfoAfterEnable(uint8_t contNo)
{
    return RemoveSnapshotConstructInfo(contNo);
}

// ---------------------------------------------------------------------------------------------
// Finish
// ---------------------------------------------------------------------------------------------
static int AskFinishQuestion(const SnapPageContext *page, uint16_t textId, const SnapFinishLists *lists)
{
    char format[GUI_TEXT_SIZE], text[GUI_TEXT_SIZE];
    LoadGuiString(textId, format, sizeof(format));
    if (textId == IDS_SNAP_DISABLE_ASK)
        FormatDisableQuestion(text, sizeof(text), format, lists);
    else
        FormatEnableQuestion(text, sizeof(text), format, lists);
    return ShowTextBox(page->owner, BOX_KIND_YES_NO_WARNING, textId, IDS_CAPTION_SNAPSHOT, text) == BOX_YES;
}

// Disables every listed base; 0 after the first failure (its box shown).
static int ApplyDisables(const SnapPageContext *page, const SnapFinishLists *lists)
{
    int ok = 1;
    BeginWaitCursor();
    for (unsigned i = 0; i < lists->disableCount && ok; ++i) {
        uint8_t base = lists->disable[i];
        if (SLDisableSnapshot(page->contNo, base) != 0) {
            TraceSnapFailure("OnFinishBtnClicked", "SLDisableSnapshot error", page->contNo, base);
            ok = 0;
            break;
        }
        CancelPendingChange(page->pending, base);
    }
    EndWaitCursor();
    if (!ok)
        ShowErrorBox(page->owner, IDS_SNAP_DISABLE_FAILED, IDS_CAPTION_SNAPSHOT);
    return ok;
}

static int EnableOne(const SnapPageContext *page, uint8_t base)
{
    const SnapPendingChange *change = &page->pending->ld[base];
    SnapshotEnableRequest data;
    memset(&data, 0, sizeof(data));
    data.repoTargetId = change->repository;
    data.areaBlocks = change->areaBlocks;
    int32_t status = SLEnableSnapshot(page->contNo, base, &data);
    if (status != 0) {
        TraceSnapFailure("OnFinishBtnClicked", "SLEnableSnapshot error", page->contNo, base);
        EndWaitCursor();
        if (status == SNAP_STATUS_NO_SPACE)
            ShowErrorBoxFmt(page->owner, IDS_SNAP_NO_SPACE, IDS_CAPTION_SNAPSHOT, base, change->repository);
        else
            ShowErrorBox(page->owner, IDS_SNAP_ENABLE_FAILED, IDS_CAPTION_SNAPSHOT);
        return 0;
    }
    if (SLSetSnapshotProp(page->contNo, base, change->autoSnapshot, change->autoDelete) != 0) {
        TraceSnapFailure("OnFinishBtnClicked", "SLSetSnapshotProp error", page->contNo, base);
        EndWaitCursor();
        ShowErrorBox(page->owner, IDS_LD_SETTINGS_FAILED, IDS_CAPTION_SNAPSHOT);
        return 0;
    }
    CancelPendingChange(page->pending, base);
    return 1;
}

static int ApplyEnables(const SnapPageContext *page, const SnapFinishLists *lists)
{
    BeginWaitCursor();
    for (unsigned i = 0; i < lists->enableCount; ++i) {
        if (!EnableOne(page, lists->enable[i]))
            return 0;
    }
    EndWaitCursor();
    RemoveConstructInfoAfterEnable(page->contNo);
    return 1;
}

int OnFinishBtnClicked(const SnapPageContext *page)
{
    ZAV_TRACE("", "%s", "OnFinishBtnClicked start");
    // Records of another controller, or of LDs that are gone, are never applied.
    SyncPendingChanges(page->pending, page->contNo, &page->records[page->contNo]);
    SnapFinishLists lists;
    BuildFinishLists(page->pending, &page->records[page->contNo], &lists);
    if (lists.disableCount > 0 && AskFinishQuestion(page, IDS_SNAP_DISABLE_ASK, &lists) &&
        !ApplyDisables(page, &lists))
        return 1;
    if (lists.enableCount > 0 && AskFinishQuestion(page, IDS_SNAP_ENABLE_ASK, &lists))
        ApplyEnables(page, &lists);
    return lists.disableCount > 0 || lists.enableCount > 0;
}

// ---------------------------------------------------------------------------------------------
// Snapshots and views
// ---------------------------------------------------------------------------------------------
int OnLdCreateSnapshot(const SnapPageContext *page, uint8_t base)
{
    ZAV_TRACE("", "%s", "OnLdCreateSnapshot start");
    ContData *record = &page->records[page->contNo];
    if (BaseInfo(record, base) == NULL)
        return 0;
    char name[SNAP_NAME_SIZE + 1];
    time_t now = time(NULL);
    MakeSnapshotName(name, sizeof(name), base, localtime(&now));
    if (!g_nameDialog(page->owner, SNAP_NAME_DIALOG_SNAPSHOT, name, sizeof(name)))
        return 0;
    if (CreateSnapshotAsksFirst(record, base) &&
        AskYesNoWarning(page->owner, IDS_SNAP_OLDEST_UPDATED_ASK, IDS_CAPTION_CREATE_SNAPSHOT) != BOX_YES)
        return 0;
    SetSnapSupportNotifier(QuietFlushNotice);
    if (!FlushLDBuffers(page->contNo, page->records, base))
        return 0;
    BeginWaitCursor();
    int32_t status = SLCreateSnapshotPIT(page->contNo, base, name);
    EndWaitCursor();
    if (status != 0) {
        TraceSnapFailure("OnLdCreateSnapshot", "SLCreateSnapshotPIT error", page->contNo, base);
        ShowErrorBox(page->owner, IDS_SNAP_CREATE_FAILED, IDS_CAPTION_SNAPSHOT);
    }
    return 1;
}

int OnLdDeleteSnapshot(const SnapPageContext *page, uint8_t base)
{
    ZAV_TRACE("", "%s", "OnLdDeleteSnapshot start");
    const ContData *record = &page->records[page->contNo];
    const uint8_t *info = BaseInfo(record, base);
    if (info == NULL || PitCount(info) == 0)
        return 0;
    if (OldestSnapshotHasView(record, base)) {
        ShowErrorBox(page->owner, IDS_SNAP_DELETE_HAS_VIEW, IDS_CAPTION_SNAPSHOT);
        return 0;
    }
    if (AskYesNoWarning(page->owner, IDS_SNAP_DELETE_ASK, IDS_CAPTION_SNAPSHOT) != BOX_YES)
        return 0;
    BeginWaitCursor();
    int32_t status = SLDeleteSnapshotPIT(page->contNo, base, LayoutU32(PitAt(info, 0), SP_NUMBER));
    EndWaitCursor();
    if (status != 0) {
        TraceSnapFailure("OnLdDeleteSnapshot", "SLDeleteSnapshotPIT error", page->contNo, base);
        ShowErrorBox(page->owner, IDS_SNAP_DELETE_FAILED, IDS_CAPTION_SNAPSHOT);
    }
    return 1;
}

int OnSnapshotCreateView(const SnapPageContext *page, uint8_t base, unsigned snapshotIndex)
{
    ZAV_TRACE("", "%s", "OnSnapshotCreateView start");
    const ContData *record = &page->records[page->contNo];
    const uint8_t *info = BaseInfo(record, base);
    if (info == NULL || snapshotIndex >= PitCount(info))
        return 0;
    if (ViewRoomTooSmall(record, base)) {
        ShowErrorBox(page->owner, IDS_SNAP_VIEW_ROOM_TOO_SMALL, IDS_CAPTION_SNAPSHOT);
        return 0;
    }
    char name[SNAP_NAME_SIZE + 1];
    MakeViewName(name, sizeof(name), base);
    if (!g_nameDialog(page->owner, SNAP_NAME_DIALOG_VIEW, name, sizeof(name)))
        return 0;
    BeginWaitCursor();
    int32_t status = SLCreateSnapshotView(page->contNo, base, LayoutU32(PitAt(info, snapshotIndex), SP_NUMBER), name);
    EndWaitCursor();
    if (status != 0) {
        TraceSnapFailure("OnSnapshotCreateView", "SLCreateSnapshotView error", page->contNo, base);
        ShowErrorBox(page->owner, IDS_SNAP_VIEW_CREATE_FAILED, IDS_CAPTION_SNAPSHOT);
    }
    return 1;
}

int OnSnapshotDeleteView(const SnapPageContext *page, uint8_t base, unsigned snapshotIndex)
{
    ZAV_TRACE("", "%s", "OnSnapshotDeleteView start");
    const ContData *record = &page->records[page->contNo];
    const uint8_t *info = BaseInfo(record, base);
    if (info == NULL || snapshotIndex >= PitCount(info))
        return 0;
    BeginWaitCursor();
    int32_t status = SLDeleteSnapshotView(page->contNo, base, LayoutU32(PitAt(info, snapshotIndex), SP_NUMBER));
    EndWaitCursor();
    if (status != 0) {
        TraceSnapFailure("OnSnapshotDeleteView", "SLDeleteSnapshotView error", page->contNo, base);
        ShowErrorBox(page->owner, IDS_SNAP_VIEW_DELETE_FAILED, IDS_CAPTION_SNAPSHOT);
    }
    return 1;
}
