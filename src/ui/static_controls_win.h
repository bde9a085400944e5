// Controls without behaviour of their own beyond a click: labels, group boxes, push buttons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "base/gdi_win.h"
#include "ui/control_win.h"

class TLabel : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption, DWORD extraStyle = 0, DWORD exStyle = 0);
    // Sizes the label to its caption in its font, with `border` pixels more on each side; the
    // top-left corner stays.
    void SizeToText(int border = 0);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

// A static text that acts as a link: centred in a sunken edge, white on black, with the hand
// cursor.
class TLinkLabel : public TLabel {
public:
    using TLabel::TLabel;
    void Create(HWND parent, const RECT& bounds, const std::string& caption);

protected:
    HBRUSH ControlColor(HDC dc) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TBrushHandle black_;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A push button that draws its whole face itself (custom draw): a visual style would draw the
// caption in a font of its own whatever font the button was given (Wine's drew the bold one
// regular). The face is the visual style's push button where one is active, else the classic
// one, in its state (pressed, hot, disabled, default); then the caption in the button's font and
// the focus rectangle while the focus cues are shown.
class TButton : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& caption, bool tabStop = true);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
    LRESULT Notify(const NMHDR& header) override;

private:
    void Paint(const NMCUSTOMDRAW& draw);
};
