// The main window of zavgui: a tab strip of owner-drawn faces over one child dialog per page.
#ifndef ZAV_GUI_MAINWND_H
#define ZAV_GUI_MAINWND_H

#include <windows.h>

// Every page module offers its dialog procedure here.
INT_PTR CALLBACK Page0Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page1Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page6Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page2Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page3Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page4Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Page5Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Pages whose modules are still to come: they paint their background and ignore refreshes.
INT_PTR CALLBACK PageFrameProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

void SetMainInstance(HINSTANCE instance);
int RunMainDialog(void);

// After a controller change: insert or remove the Snapshot tab, then select the page of the given
// kind again (at its position after the change), show it and post it a full refresh.
void MainApplyControllerChange(int snapshotChange, int pageKind);
// Posts a timer refresh that an action held back to the Maintenance page.
void MainPostHeldTimerRefresh(void);

// Paints a page's background and the text of its group boxes (both pages and frames use it).
INT_PTR PageColourMessage(UINT message, WPARAM wParam);

#endif
