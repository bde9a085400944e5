#include "ui/check_box_win.h"

void TCheckBox::Create(HWND parent, const RECT& bounds, const std::string& caption) {
    CreateControl("BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, 0, parent, bounds);
}

bool TCheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    if (checked == Checked()) return;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick) OnClick();
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED) SetChecked(!Checked());
}
