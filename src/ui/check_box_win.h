// A check box. Its click event runs whenever its mark changes, by the user or the program.
#pragma once

#include "ui/control_win.h"

class TCheckBox : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption);

    bool Checked() const;
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};
