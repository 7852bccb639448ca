// Drives another program's windows the way a user does: finds its main window, switches tabs,
// reads tab, list-view, tree-view and combo contents across processes, selects rows and tree
// items, clicks buttons, works pop-up menus by keyboard and reads and answers message boxes.
#ifndef ZAV_TESTS_GUI_AUTO_AUTOMATION_H
#define ZAV_TESTS_GUI_AUTO_AUTOMATION_H

#include <windows.h>

#include <string>
#include <vector>

namespace zauto {

// A process whose memory we read and write. Under qemu's user mode, Read/WriteProcessMemory land
// a fixed distance (0x1000 bytes) away from the address asked for; the distance is measured once
// per target by finding the program's "MZ" header at its module base.
class Target {
public:
    explicit Target(DWORD processId);
    ~Target();
    bool ok() const { return process_ != NULL; }
    DWORD id() const { return id_; }
    long skew() const { return skew_; }

    // A buffer inside the target; the returned address is the one the target itself sees.
    void *alloc(size_t size);
    bool write(void *remote, const void *data, size_t size);
    bool read(const void *remote, void *data, size_t size);

private:
    bool measureSkew();
    HANDLE process_ = NULL;
    DWORD id_ = 0;
    long skew_ = 0;
    std::vector<void *> buffers_;
};

// Windows of a process
HWND FindTopWindow(DWORD processId, const char *className, const std::string &titlePrefix, DWORD timeoutMs);
std::string WindowText(HWND window);

struct MessageBoxInfo {
    HWND window = NULL;
    std::string caption;
    std::string text;
};
// Waits for a message box (dialog class #32770 holding the static text 0xFFFF) of the process.
bool WaitMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxInfo *box);
// Presses the button with the given id (IDOK, IDYES, IDNO, IDCANCEL) and waits until it closes.
bool AnswerMessageBox(const MessageBoxInfo &box, int buttonId, DWORD timeoutMs = 10000);
// True when no message box of the process shows up within the time.
bool NoMessageBox(DWORD processId, DWORD timeoutMs);

// Tab control
std::vector<std::string> TabTexts(Target &target, HWND tab);
int TabSelection(HWND tab);
// Clicks the tab item as a mouse would.
bool ClickTab(Target &target, HWND tab, int index);

// List view
int ListRowCount(HWND list);
std::string ListCell(Target &target, HWND list, int row, int column);
std::vector<std::vector<std::string>> ListRows(Target &target, HWND list, int columns);
bool SelectListRow(Target &target, HWND list, int row, bool only = true);

// Tree view: every node depth-first as "indent + text" (two blanks per level).
std::vector<std::string> TreeLines(Target &target, HWND tree);
// Selects the node whose text starts with the prefix; false when none does.
bool SelectTreeNode(Target &target, HWND tree, const std::string &prefix);

// Combo box
std::vector<std::string> ComboTexts(HWND combo);
int ComboSelection(HWND combo);
bool SelectComboEntry(HWND combo, int index);

// Buttons and keyboard
void ClickButton(HWND button);
bool IsShown(HWND window);
// Opens the context menu of a control as the menu key does, then walks it with the arrow keys:
// `downs` presses of Down (the first lands on the first item), optional Right into a sub-menu
// followed by `subDowns` more, then Enter.
bool ChooseContextMenu(HWND page, HWND control, int downs, int subDowns = -1);

// Waits until the process has no more input to handle (its queue is empty and it is idle).
void Settle(HANDLE process, DWORD timeoutMs = 10000);

} // namespace zauto

#endif
