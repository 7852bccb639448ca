// Fatal reporters of zavgui: one box for the first fatal condition (later ones are suppressed by
// the fatal-shown flag), then the main window is asked to close.
#ifndef ZAV_GUI_DIALOG_H
#define ZAV_GUI_DIALOG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Shows text textId (332 is formatted with the argument) under caption 8 and closes the program.
int ShowFatalMessage(uint16_t textId, uint32_t argument);
int ReportInnerError(uint32_t code);
int ReportWinApiError(uint32_t code, uint32_t systemError);

// Window messages the logic modules ask for; no-ops without a window.
void GuiPostClose(void *window);
void GuiPostRefresh(void *window, int reason);

#ifdef __cplusplus
}
#endif

#endif
