// Windows halves of the message-box functions: the real message box, string loading and the
// wait cursor.
#include <windows.h>

#include "gui/Utility.h"

int WindowsBoxResponder(const BoxRequest *request)
{
    static const UINT styles[] = {
        MB_ICONERROR | MB_OK,          MB_ICONINFORMATION | MB_OK, MB_ICONWARNING | MB_OK,
        MB_ICONWARNING | MB_OKCANCEL,  MB_ICONWARNING | MB_YESNO,  MB_ICONQUESTION | MB_YESNO,
        MB_ICONERROR | MB_OK | MB_TOPMOST | MB_SETFOREGROUND};
    int kind = request->kind;
    if (kind < 0 || kind > BOX_KIND_FATAL)
        kind = BOX_KIND_ERROR;
    return MessageBoxA((HWND)request->owner, request->text, request->caption, styles[kind]);
}

int LoadGuiString(uint16_t id, char *out, unsigned size)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    return LoadStringA(GetModuleHandleA(NULL), id, out, (int)size);
}

static HCURSOR g_savedCursor;
static int g_waitDepth;

void BeginWaitCursor(void)
{
    if (g_waitDepth++ == 0)
        g_savedCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
}

void EndWaitCursor(void)
{
    if (g_waitDepth > 0 && --g_waitDepth == 0)
        SetCursor(g_savedCursor ? g_savedCursor : LoadCursor(NULL, IDC_ARROW));
}

void GuiSleep(unsigned milliseconds)
{
    Sleep(milliseconds);
}
