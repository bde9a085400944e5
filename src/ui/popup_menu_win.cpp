#include "ui/popup_menu_win.h"

#include "base/system_win.h"

TPopupMenu::TPopupMenu() : menu_(CreatePopupMenu()) {
    if (!menu_) RaiseLastOSError();
}

TPopupMenu::~TPopupMenu() { DestroyMenu(menu_); }

void TPopupMenu::AddItem(UINT id, const std::string& caption) { AppendMenuA(menu_, MF_STRING, id, caption.c_str()); }

void TPopupMenu::AddSeparator(UINT id) { AppendMenuA(menu_, MF_SEPARATOR, id, nullptr); }

void TPopupMenu::SetDefaultItem(UINT id) { SetMenuDefaultItem(menu_, id, FALSE); }

void TPopupMenu::SetItemEnabled(UINT id, bool enabled) {
    EnableMenuItem(menu_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

UINT TPopupMenu::Choose(HWND owner, POINT at) {
    return static_cast<UINT>(TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                                            at.y, 0, owner, nullptr));
}

void TPopupMenu::Popup(HWND owner, POINT at) {
    TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}
