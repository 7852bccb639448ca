// Controller selector entries and the change of the current controller.
#include "gui/CtrlList.h"

#include <stdio.h>
#include <string.h>

#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "common/storelib_layout.h"
#include "gui/Dialog.h"
#include "gui/MainLogic.h"
#include "gui/resource.h"

static int FailFatal(const char *what)
{
    ZAV_TRACE(ZAV_ERR, "func=%s: %s", "CtrlListUpdate", what);
    ShowFatalMessage(IDS_FATAL_ACCESS_ERROR, 0);
    return 0;
}

static int BuildEntry(uint8_t contNo, char *out)
{
    ContData *record = &g_records[contNo];
    if (SLGetCtrlInfo(contNo, record->ctrlInfo) != 0)
        return FailFatal("SLGetCtrlInfo error");
    char product[81];
    memcpy(product, record->ctrlInfo + CI_PRODUCT_NAME, 80);
    product[80] = '\0';
    if (product[0] == '\0') {
        snprintf(out, CTRL_ENTRY_SIZE, "RAID Controller(%u)", (unsigned)contNo);
        return 1;
    }
    uint8_t pci[PCI_INFO_SIZE];
    if (SLGetPciInfo(contNo, pci) != 0)
        return FailFatal("SLGetPciInfo error");
    snprintf(out, CTRL_ENTRY_SIZE, "%s(%d)(Bus%d,Dev%d)", product, (int)contNo, (int)LayoutU32(pci, PCI_BUS),
             (int)pci[PCI_DEVICE]);
    return 1;
}

int CtrlListUpdate(CtrlEntries *entries)
{
    memset(entries, 0, sizeof(*entries));
    ControllerIdList list;
    if (SLGetCtrlList(&list) != 0)
        return FailFatal("SLGetCtrlList error");
    int count = g_gui.ctrlCount < (int)GUI_CTRL_LIMIT ? (int)g_gui.ctrlCount : (int)GUI_CTRL_LIMIT;
    for (int c = 0; c < count; c++) {
        if (!BuildEntry((uint8_t)c, entries->text[c]))
            return 0;
        entries->count = c + 1;
    }
    return 1;
}

CtrlChange ChangeCurrentController(uint8_t index)
{
    CtrlChange change = {0, 0};
    uint8_t previous = g_gui.currentCtrl;
    int oldHad = CtrlSupportsSnapshot(&g_records[previous]);
    if (index >= g_gui.ctrlCount)
        return change;
    g_gui.currentCtrl = index;
    if (!RefreshCurrentRecord()) {
        ZAV_TRACE(ZAV_ERR, "func=%s: %s, contNo=%u", "CtrlSelChange", "UpdateDriveInfo error", (unsigned)index);
        g_gui.currentCtrl = previous;
        RefreshCurrentRecord();
        return change;
    }
    change.ok = 1;
    change.snapshotChange = SnapshotTabChange(oldHad, CtrlSupportsSnapshot(&g_records[index]));
    return change;
}
