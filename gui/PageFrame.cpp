// Pages of the tabs whose modules are still to come: an empty child dialog that paints the page
// background and answers the page protocol without doing anything.
#include "gui/MainWnd.h"

#include "gui/GuiState.h"

INT_PTR CALLBACK PageFrameProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)page;
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case GUI_PAGE_REFRESH:
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return PageColourMessage(message, wParam);
    default:
        return FALSE;
    }
}
