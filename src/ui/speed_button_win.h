// A flat push button showing a small glyph. It never takes the keyboard focus.
#pragma once

#include "ui/control_win.h"

class TSpeedButton : public TControl {
public:
    using TControl::TControl;
    ~TSpeedButton() override;
    // The glyph is a bitmap resource; its white pixels are drawn transparent.
    void Create(HWND parent, const RECT& bounds, const char* glyphResource);

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    HBITMAP glyph_ = nullptr;
    bool pressed_ = false;
};
