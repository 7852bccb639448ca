// Message-box functions of zavgui: load the text and caption by number, format, and hand the box
// to the responder. Nothing here calls Windows directly; Utility_win.cpp holds those halves.
#include "gui/Utility.h"

#include <stdio.h>
#include <string.h>

static BoxResponder g_responder = WindowsBoxResponder;

void SetBoxResponder(BoxResponder responder)
{
    g_responder = responder ? responder : WindowsBoxResponder;
}

int ShowTextBox(void *owner, int kind, uint16_t textId, uint16_t captionId, const char *text)
{
    char caption[GUI_CAPTION_SIZE];
    LoadGuiString(captionId, caption, sizeof(caption));
    BoxRequest request = {owner, kind, textId, captionId, text, caption};
    return g_responder(&request);
}

static int ShowLoaded(void *owner, int kind, uint16_t textId, uint16_t captionId)
{
    char text[GUI_TEXT_SIZE];
    LoadGuiString(textId, text, sizeof(text));
    return ShowTextBox(owner, kind, textId, captionId, text);
}

static int ShowFormatted(void *owner, int kind, uint16_t textId, uint16_t captionId, uint32_t a, uint32_t b)
{
    char format[GUI_TEXT_SIZE];
    char text[GUI_TEXT_SIZE];
    LoadGuiString(textId, format, sizeof(format));
    snprintf(text, sizeof(text), format, a, b);
    return ShowTextBox(owner, kind, textId, captionId, text);
}

int ShowErrorBox(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_ERROR, textId, captionId);
}

int ShowErrorBoxFmt(void *owner, uint16_t textId, uint16_t captionId, uint32_t a, uint32_t b)
{
    return ShowFormatted(owner, BOX_KIND_ERROR, textId, captionId, a, b);
}

int ShowInfoBox(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_INFO, textId, captionId);
}

int ShowInfoBoxFmt(void *owner, uint16_t textId, uint16_t captionId, uint32_t a, uint32_t b)
{
    return ShowFormatted(owner, BOX_KIND_INFO, textId, captionId, a, b);
}

int ShowWarningBox(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_WARNING, textId, captionId);
}

int AskOkCancel(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_OK_CANCEL, textId, captionId);
}

int AskYesNoWarning(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_YES_NO_WARNING, textId, captionId);
}

int AskYesNoQuestion(void *owner, uint16_t textId, uint16_t captionId)
{
    return ShowLoaded(owner, BOX_KIND_YES_NO_QUESTION, textId, captionId);
}
