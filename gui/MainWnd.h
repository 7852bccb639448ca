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
// The controller selector of a page (Dashboard, Maintenance) chose an entry: it becomes the
// current controller when its record can be read, else the selector shows the old one again.
void OnCtrlSelected(HWND page, int pageKind);

// Posts a timer refresh that an action held back to the Maintenance page.
void MainPostHeldTimerRefresh(void);

// Refresh bracket every page shares. A refresh never runs inside an action or its box (the box's
// message loop would run it there): PageRefreshMayRun then remembers it (a timer refresh for the
// Maintenance page, a full refresh for this page) and returns 0. PostHeldRefreshes posts what was
// remembered once no action runs any more.
int PageRefreshMayRun(HWND page, LPARAM reason);
void PostHeldRefreshes(HWND page);

// The common refresh of a page: re-reads the current controller, lets fill copy the record into
// the page's controls, runs the completion check and posts what was held. Returns 1 when done,
// 0 when the controller did not answer (the page stays as it was), -1 when held for an action.
int RunPageRefresh(HWND page, LPARAM reason, void (*fill)(HWND page));

// The end of a page action (started with ActionBegin): the page refreshes when the action may have
// changed something, and what the action held back is posted.
void EndPageAction(HWND page, int changed);
// For actions that bracket themselves: only the refreshes.
void AfterPageAction(HWND page, int changed);

// Paints a page's background and the text of its group boxes (both pages and frames use it).
INT_PTR PageColourMessage(UINT message, WPARAM wParam);

#endif
