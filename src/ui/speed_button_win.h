// A flat push button showing a small glyph. It never takes the keyboard focus.
#pragma once

#include "base/gdi_win.h"
#include "ui/control_win.h"

class TSpeedButton : public TControl {
public:
    using TControl::TControl;
    // The glyph is a bitmap resource; its white pixels are drawn transparent.
    void Create(HWND parent, const RECT& bounds, const char* glyphResource);

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    TBitmapHandle glyph_;
    bool pressed_ = false;
};
