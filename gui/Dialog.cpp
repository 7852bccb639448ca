// Fatal reporters: the first fatal condition of a run shows its box and closes the main window;
// every later one is only traced, so a closing window never stacks boxes.
#include "gui/Dialog.h"

#include <stdio.h>

#include "common/raidctl.h"
#include "gui/GuiState.h"
#include "gui/Utility.h"
#include "gui/resource.h"

static int ClaimFatal(void)
{
    if (g_gui.fatalShown)
        return 0;
    g_gui.fatalShown = 1;
    return 1;
}

static void ShowFatalText(uint16_t textId, uint32_t argument)
{
    char format[GUI_TEXT_SIZE];
    char text[GUI_TEXT_SIZE];
    LoadGuiString(textId, format, sizeof(format));
    snprintf(text, sizeof(text), format, argument);
    ShowTextBox(g_gui.mainWindow, BOX_KIND_FATAL, textId, IDS_CAPTION_PRODUCT, text);
    GuiPostClose(g_gui.mainWindow);
}

int ShowFatalMessage(uint16_t textId, uint32_t argument)
{
    if (!ClaimFatal())
        return 0;
    ShowFatalText(textId, textId == IDS_FATAL_OVER_LIMIT ? argument : 0);
    return 1;
}

int ReportInnerError(uint32_t code)
{
    if (!ClaimFatal())
        return 0;
    ZAV_TRACE(ZAV_ERR, "func=%s: %s, code=0x%08X", "ZAV_INNER_ERROR", "internal error", (unsigned)code);
    ShowFatalText(IDS_INNER_ERROR, code);
    return 1;
}

int ReportWinApiError(uint32_t code, uint32_t systemError)
{
    if (!ClaimFatal())
        return 0;
    ZAV_TRACE(ZAV_ERR, "func=%s: %s code=0x%08X, errno=0x%08X", "ZAV_WINAPI_ERROR", "win api error",
              (unsigned)code, (unsigned)systemError);
    ShowFatalText(IDS_WINAPI_ERROR, code);
    return 1;
}
