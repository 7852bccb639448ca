// Message boxes of zavgui. Every box a page shows goes through the one responder below: the
// product's responder shows a Windows message box, tests install one that scripts the answers.
#ifndef ZAV_GUI_UTILITY_H
#define ZAV_GUI_UTILITY_H

#include <stdint.h>

enum { GUI_TEXT_SIZE = 512, GUI_CAPTION_SIZE = 40 };

// Answers, numbered as the Windows message box returns them.
enum { BOX_OK = 1, BOX_CANCEL = 2, BOX_YES = 6, BOX_NO = 7 };

enum BoxKind {
    BOX_KIND_ERROR = 0,          // error icon, OK
    BOX_KIND_INFO = 1,           // information icon, OK
    BOX_KIND_WARNING = 2,        // warning icon, OK
    BOX_KIND_OK_CANCEL = 3,      // warning icon, OK / Cancel
    BOX_KIND_YES_NO_WARNING = 4, // warning icon, Yes / No
    BOX_KIND_YES_NO_QUESTION = 5,// question icon, Yes / No
    BOX_KIND_FATAL = 6           // error icon, OK, topmost
};

struct BoxRequest {
    void *owner;        // HWND of the window that asks (may be null)
    int kind;           // BoxKind
    uint16_t textId;    // string-table number of the text
    uint16_t captionId; // string-table number of the caption
    const char *text;   // the text as shown (formatted)
    const char *caption;
};

typedef int (*BoxResponder)(const BoxRequest *request);

#ifdef __cplusplus
extern "C" {
#endif

void SetBoxResponder(BoxResponder responder); // null restores the Windows message box
int WindowsBoxResponder(const BoxRequest *request);

// Loads a string-table entry (empty text and 0 when it is missing).
int LoadGuiString(uint16_t id, char *out, unsigned size);

int ShowErrorBox(void *owner, uint16_t textId, uint16_t captionId);
int ShowErrorBoxFmt(void *owner, uint16_t textId, uint16_t captionId, uint32_t a, uint32_t b);
int ShowInfoBox(void *owner, uint16_t textId, uint16_t captionId);
int ShowInfoBoxFmt(void *owner, uint16_t textId, uint16_t captionId, uint32_t a, uint32_t b);
int ShowWarningBox(void *owner, uint16_t textId, uint16_t captionId);
int AskOkCancel(void *owner, uint16_t textId, uint16_t captionId);
int AskYesNoWarning(void *owner, uint16_t textId, uint16_t captionId);
int AskYesNoQuestion(void *owner, uint16_t textId, uint16_t captionId);
// Shows a box of the given kind with a text already formatted by the caller.
int ShowTextBox(void *owner, int kind, uint16_t textId, uint16_t captionId, const char *text);

// Wait cursor around a controller command (harmless without a window).
void BeginWaitCursor(void);
void EndWaitCursor(void);
void GuiSleep(unsigned milliseconds);

#ifdef __cplusplus
}
#endif

#endif
