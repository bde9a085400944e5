// Controls without behaviour of their own beyond a click: labels, group boxes, push buttons.
#pragma once

#include "ui/control_win.h"

class TLabel : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption, DWORD extraStyle = 0, DWORD exStyle = 0);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TButton : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption, bool tabStop = true);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};
