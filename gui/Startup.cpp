// Start-up and tear-down of zavgui in the order the resources are taken and given back.
#include "gui/Startup.h"

#include "common/ContData.h"
#include "common/StoreLib.h"
#include "common/raidctl.h"
#include "gui/Dialog.h"
#include "gui/GuiState.h"
#include "gui/resource.h"

static const char kTraceFile[] = "zavgui.log";
static const char kMutexName[] = "KPUUtil";

int ZavguiMain(const StartupSeam *seam)
{
    initLog(kTraceFile, TRACE_MAX_FILE_SIZE);
    ZAV_TRACE("", "zavgui is starting");

    void *mutex = 0;
    if (seam->createMutex(kMutexName, &mutex) == INSTANCE_ALREADY_RUNNING) {
        ZAV_TRACE(ZAV_ERR, "ZAV_Already_Exists");
        ShowFatalMessage(IDS_FATAL_ALREADY_RUNNING, 0);
        seam->closeMutex(mutex);
        finContData();
        return 0;
    }
    if (!seam->isUserAdmin()) {
        ZAV_TRACE(ZAV_ERR, "Not admin user");
        ShowFatalMessage(IDS_FATAL_NOT_ADMIN, 0);
        seam->closeMutex(mutex);
        finContData();
        return 0;
    }

    seam->setEnglishLocale();
    seam->runMainDialog();

    seam->closeMutex(mutex);
    UnloadStoreLibrary();
    FreeContData(g_records, GUI_MAX_CONTROLLERS);
    ZAV_TRACE("", "zavgui is finish");
    finContData();
    return 1;
}
