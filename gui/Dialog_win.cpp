// Window messages the logic modules ask for: closing the main window and page refreshes.
#include <windows.h>

#include "gui/Dialog.h"
#include "gui/GuiState.h"

void GuiPostClose(void *window)
{
    if (window)
        PostMessageA((HWND)window, WM_CLOSE, 0, 0);
}

void GuiPostRefresh(void *window, int reason)
{
    if (window)
        PostMessageA((HWND)window, GUI_PAGE_REFRESH, 0, (LPARAM)reason);
}
