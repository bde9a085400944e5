// A flat push button showing a small glyph. It never takes the keyboard focus.
#pragma once

#include "base/gdi_win.h"
#include "ui/control_win.h"

class TSpeedButton : public TControl {
public:
    using TControl::TControl;
    // The glyph is a bitmap resource; raises EOSError when there is none. The name is the
    // window's text, never painted: what screen readers call the button.
    void Create(HWND parent, const RECT& bounds, const char* glyphResource, const char* name = "");

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws the glyph with its top-left corner at (x, y): white is transparent, and a disabled
    // button draws every other pixel in the system's grey.
    virtual void DrawGlyph(HDC dc, HDC glyph, const BITMAP& size, int x, int y);

private:
    void Paint(HDC dc);
    TBitmapHandle glyph_;
    bool pressed_ = false;
};
