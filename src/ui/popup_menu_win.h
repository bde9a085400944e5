// A pop-up menu. A chosen item reaches the menu's owner window as WM_COMMAND with the
// item's identifier.
#pragma once

#include <windows.h>

#include <string>

class TPopupMenu {
public:
    TPopupMenu();
    ~TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    HMENU Handle() const { return menu_; }
    void AddItem(UINT id, const std::string& caption);
    void AddSeparator(UINT id);
    // The default item is drawn in bold.
    void SetDefaultItem(UINT id);
    void SetItemEnabled(UINT id, bool enabled);
    // Shows the menu with its top-left corner at a screen point; returns when it closes.
    void Popup(HWND owner, POINT at);
    // The same, but the chosen item's identifier is returned (0 for none) instead of sent.
    UINT Choose(HWND owner, POINT at);

private:
    HMENU menu_;
};
