// Cross-process window automation for the graphical end-to-end tests.
#include "Automation.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstring>

namespace zauto {

// ---------------------------------------------------------------------------------------------
// Target process memory
// ---------------------------------------------------------------------------------------------
Target::Target(DWORD processId) : id_(processId)
{
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, processId);
    if (process_ && !measureSkew()) {
        CloseHandle(process_);
        process_ = NULL;
    }
}

Target::~Target()
{
    if (!process_)
        return;
    for (void *b : buffers_)
        VirtualFreeEx(process_, b, 0, MEM_RELEASE);
    CloseHandle(process_);
}

// The module base holds "MZ" followed, at e_lfanew, by "PE\0\0". Reading at base + skew must show
// exactly that; the candidates cover a native machine (0) and qemu in either direction.
bool Target::measureSkew()
{
    HMODULE modules[1] = {};
    DWORD needed = 0;
    void *base = (void *)0x400000;
    if (EnumProcessModules(process_, modules, sizeof(modules), &needed) && modules[0])
        base = (void *)modules[0];
    static const long candidates[] = {0, -0x1000, 0x1000, -0x2000, 0x2000};
    for (long c : candidates) {
        unsigned char head[64] = {};
        SIZE_T got = 0;
        if (!ReadProcessMemory(process_, (char *)base + c, head, sizeof(head), &got) || got != sizeof(head))
            continue;
        if (head[0] != 'M' || head[1] != 'Z')
            continue;
        LONG peOffset = 0;
        std::memcpy(&peOffset, head + 0x3C, sizeof(peOffset));
        char pe[4] = {};
        if (peOffset <= 0 || peOffset > 4096 ||
            !ReadProcessMemory(process_, (char *)base + c + peOffset, pe, sizeof(pe), &got))
            continue;
        if (std::memcmp(pe, "PE\0\0", 4) == 0) {
            skew_ = c;
            return true;
        }
    }
    return false;
}

void *Target::alloc(size_t size)
{
    // Room on both sides, so a skewed access stays inside memory we own.
    char *block = (char *)VirtualAllocEx(process_, NULL, size + 0x4000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!block)
        return NULL;
    buffers_.push_back(block);
    return block + 0x2000;
}

bool Target::write(void *remote, const void *data, size_t size)
{
    SIZE_T done = 0;
    return WriteProcessMemory(process_, (char *)remote + skew_, data, size, &done) && done == size;
}

bool Target::read(const void *remote, void *data, size_t size)
{
    SIZE_T done = 0;
    return ReadProcessMemory(process_, (const char *)remote + skew_, data, size, &done) && done == size;
}

// ---------------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------------
std::string WindowText(HWND window)
{
    char text[1024] = {};
    // No "abort if hung": under a loaded emulator a busy program looks hung for a while.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_NORMAL, 15000, NULL);
    return text;
}

struct FindRequest {
    DWORD processId;
    const char *className;
    std::string titlePrefix;
    HWND found;
};

static BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    FindRequest *r = (FindRequest *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != r->processId || !IsWindowVisible(window))
        return TRUE;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (r->className && std::strcmp(cls, r->className) != 0)
        return TRUE;
    if (WindowText(window).compare(0, r->titlePrefix.size(), r->titlePrefix) != 0)
        return TRUE;
    r->found = window;
    return FALSE;
}

HWND FindTopWindow(DWORD processId, const char *className, const std::string &titlePrefix, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindRequest r = {processId, className, titlePrefix, NULL};
        EnumWindows(FindProc, (LPARAM)&r);
        if (r.found)
            return r.found;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(50);
    }
}

static BOOL CALLBACK FindBoxProc(HWND window, LPARAM param)
{
    FindRequest *r = (FindRequest *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != r->processId || !IsWindowVisible(window))
        return TRUE;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (std::strcmp(cls, "#32770") != 0 || !GetDlgItem(window, 0xFFFF))
        return TRUE;
    r->found = window;
    return FALSE;
}

static HWND FindBox(DWORD processId)
{
    FindRequest r = {processId, "#32770", "", NULL};
    EnumWindows(FindBoxProc, (LPARAM)&r);
    return r.found;
}

bool WaitMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxInfo *box)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindBox(processId);
        if (window) {
            box->window = window;
            box->caption = WindowText(window);
            box->text = WindowText(GetDlgItem(window, 0xFFFF));
            // A box seen while it is still being built has no texts yet: look again.
            if (!box->caption.empty() || !box->text.empty())
                return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
}

bool NoMessageBox(DWORD processId, DWORD timeoutMs)
{
    MessageBoxInfo box;
    return !WaitMessageBox(processId, timeoutMs, &box);
}

bool AnswerMessageBox(const MessageBoxInfo &box, int buttonId, DWORD timeoutMs)
{
    HWND button = GetDlgItem(box.window, buttonId);
    if (!button)
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(box.window) && IsWindowVisible(box.window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Tab control
// ---------------------------------------------------------------------------------------------
std::vector<std::string> TabTexts(Target &target, HWND tab)
{
    std::vector<std::string> texts;
    int count = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    char *remote = (char *)target.alloc(sizeof(TCITEMA) + 256);
    if (!remote)
        return texts;
    char *remoteText = remote + sizeof(TCITEMA);
    for (int i = 0; i < count; i++) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = remoteText;
        item.cchTextMax = 255;
        char text[256] = {};
        target.write(remote, &item, sizeof(item));
        target.write(remoteText, text, sizeof(text));
        SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)remote);
        target.read(remoteText, text, sizeof(text) - 1);
        texts.push_back(text);
    }
    return texts;
}

int TabSelection(HWND tab)
{
    return (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0);
}

bool ClickTab(Target &target, HWND tab, int index)
{
    RECT *remote = (RECT *)target.alloc(sizeof(RECT));
    RECT rc = {};
    if (!remote || !SendMessageA(tab, TCM_GETITEMRECT, index, (LPARAM)remote) || !target.read(remote, &rc, sizeof(rc)))
        return false;
    LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(tab, WM_LBUTTONUP, 0, point);
    DWORD start = GetTickCount();
    while (TabSelection(tab) != index) {
        if (GetTickCount() - start > 10000)
            return false;
        Sleep(20);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// List view
// ---------------------------------------------------------------------------------------------
int ListRowCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

std::string ListCell(Target &target, HWND list, int row, int column)
{
    char *remote = (char *)target.alloc(sizeof(LVITEMA) + 512);
    if (!remote)
        return "";
    char *remoteText = remote + sizeof(LVITEMA);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = 511;
    char text[512] = {};
    target.write(remote, &item, sizeof(item));
    target.write(remoteText, text, sizeof(text));
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)remote);
    target.read(remoteText, text, sizeof(text) - 1);
    return text;
}

std::vector<std::vector<std::string>> ListRows(Target &target, HWND list, int columns)
{
    std::vector<std::vector<std::string>> rows;
    int count = ListRowCount(list);
    for (int r = 0; r < count; r++) {
        std::vector<std::string> cells;
        for (int c = 0; c < columns; c++)
            cells.push_back(ListCell(target, list, r, c));
        rows.push_back(cells);
    }
    return rows;
}

static bool SetRowState(Target &target, HWND list, int row, UINT state, UINT mask)
{
    LVITEMA *remote = (LVITEMA *)target.alloc(sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    return remote && target.write(remote, &item, sizeof(item)) &&
           SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)remote);
}

bool SelectListRow(Target &target, HWND list, int row, bool only)
{
    if (only)
        SetRowState(target, list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    return SetRowState(target, list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// ---------------------------------------------------------------------------------------------
// Tree view
// ---------------------------------------------------------------------------------------------
static std::string TreeText(Target &target, HWND tree, HTREEITEM node)
{
    char *remote = (char *)target.alloc(sizeof(TVITEMA) + 512);
    if (!remote)
        return "";
    char *remoteText = remote + sizeof(TVITEMA);
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = remoteText;
    item.cchTextMax = 511;
    char text[512] = {};
    target.write(remote, &item, sizeof(item));
    target.write(remoteText, text, sizeof(text));
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)remote);
    target.read(remoteText, text, sizeof(text) - 1);
    return text;
}

static void WalkTree(Target &target, HWND tree, HTREEITEM node, int depth, std::vector<std::string> &lines,
                     std::vector<HTREEITEM> *nodes)
{
    for (; node; node = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)node)) {
        lines.push_back(std::string(2 * depth, ' ') + TreeText(target, tree, node));
        if (nodes)
            nodes->push_back(node);
        HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)node);
        WalkTree(target, tree, child, depth + 1, lines, nodes);
    }
}

std::vector<std::string> TreeLines(Target &target, HWND tree)
{
    std::vector<std::string> lines;
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    WalkTree(target, tree, root, 0, lines, NULL);
    return lines;
}

bool SelectTreeNode(Target &target, HWND tree, const std::string &prefix)
{
    std::vector<std::string> lines;
    std::vector<HTREEITEM> nodes;
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    WalkTree(target, tree, root, 0, lines, &nodes);
    for (size_t i = 0; i < lines.size(); i++) {
        size_t start = lines[i].find_first_not_of(' ');
        if (start != std::string::npos && lines[i].compare(start, prefix.size(), prefix) == 0)
            return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)nodes[i]) != 0;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Combo box: asked in the wide form (the narrow form comes back wide across processes here).
// ---------------------------------------------------------------------------------------------
std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> texts;
    int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        wchar_t wide[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)wide);
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL);
        texts.push_back(narrow);
    }
    return texts;
}

int ComboSelection(HWND combo)
{
    return (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
}

bool SelectComboEntry(HWND combo, int index)
{
    if (SendMessageA(combo, CB_SETCURSEL, index, 0) != index)
        return false;
    HWND parent = GetParent(combo);
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), (LPARAM)combo);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Buttons, menus, keyboard
// ---------------------------------------------------------------------------------------------
void ClickButton(HWND button)
{
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool IsShown(HWND window)
{
    return window && IsWindowVisible(window);
}

static HWND WaitMenuWindow(DWORD processId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindRequest r = {processId, "#32768", "", NULL};
        EnumWindows(FindProc, (LPARAM)&r);
        if (r.found)
            return r.found;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(30);
    }
}

static void PressKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    Sleep(30);
}

bool ChooseContextMenu(HWND page, HWND control, int downs, int subDowns)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(page, &pid);
    PostMessageA(page, WM_CONTEXTMENU, (WPARAM)control, (LPARAM)-1);
    HWND menu = WaitMenuWindow(pid, 10000);
    if (!menu)
        return false;
    for (int i = 0; i < downs; i++)
        PressKey(menu, VK_DOWN);
    if (subDowns >= 0) {
        PressKey(menu, VK_RIGHT);
        for (int i = 0; i < subDowns; i++)
            PressKey(menu, VK_DOWN);
    }
    PressKey(menu, VK_RETURN);
    return true;
}

void Settle(HANDLE process, DWORD timeoutMs)
{
    WaitForInputIdle(process, timeoutMs);
}

} // namespace zauto
