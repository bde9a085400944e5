#include "ui/edit_win.h"

void TEdit::Create(HWND parent, const RECT& bounds, const std::string& text) {
    CreateControl("EDIT", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent, bounds);
    lastText_ = Text();
}

void TEdit::SetText(const std::string& text) {
    if (text == Text()) return;
    // The edit's own notification is left out, so that the event runs exactly once.
    settingText_ = true;
    SetCaption(text);
    settingText_ = false;
    lastText_ = Text();
    if (OnChange) OnChange();
}

std::pair<size_t, size_t> TEdit::Selection() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void TEdit::SetSelection(size_t start, size_t end) {
    SendMessageA(Handle(), EM_SETSEL, start, static_cast<LPARAM>(end));
}

void TEdit::Command(WORD code) {
    if (code != EN_CHANGE || settingText_) return;
    std::string text = Text();
    if (text == lastText_) return;
    lastText_ = std::move(text);
    if (OnChange) OnChange();
}
