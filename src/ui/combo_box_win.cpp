#include "ui/combo_box_win.h"

void TComboBox::Create(HWND parent, const RECT& bounds) {
    CreateControl("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, parent,
                  bounds);
}

void TComboBox::AddItem(const std::string& text) {
    SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(CBN_SELCHANGE);
}

void TComboBox::Command(WORD code) {
    // A list run through with the arrow keys and closed with Esc goes back to the item it
    // opened with: the close tells so.
    if (code != CBN_SELCHANGE && code != CBN_CLOSEUP) return;
    const int index = ItemIndex();
    if (index == lastIndex_) return;
    lastIndex_ = index;
    if (OnChange) OnChange();
}

LRESULT TComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Alt with the up or down arrow opens and closes the list; every other key with Alt is the
    // window's (Alt+F4 closes it): Wine's list takes them all and lets nothing through.
    if (message == WM_SYSKEYDOWN && wParam != VK_UP && wParam != VK_DOWN)
        return DefWindowProcA(Handle(), message, wParam, lParam);
    return TControl::WindowProc(message, wParam, lParam);
}
