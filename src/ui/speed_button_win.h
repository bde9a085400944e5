// A flat push button showing a small glyph. It never takes the keyboard focus.
#pragma once

#include "base/gdi_win.h"
#include "ui/control_win.h"
#include "ui/glyph_art.h"

class TSpeedButton : public TControl {
public:
    using TControl::TControl;
    // The name is the window's text, never painted: what screen readers call the button.
    void Create(HWND parent, const RECT& bounds, const char* name);
    // The glyph: a bitmap resource (raises EOSError when there is none), or one drawn from
    // whole pixels, its outline black, its fill in `fill`, the rest white.
    void SetGlyph(const char* glyphResource);
    void SetGlyph(const TGlyphArt& glyph, COLORREF fill);

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws the glyph with its top-left corner at (x, y): white is transparent, and a disabled
    // button draws every other pixel in the system's grey.
    virtual void DrawGlyph(HDC dc, HDC glyph, const BITMAP& size, int x, int y);

private:
    void SetGlyph(HBITMAP glyph);
    void Paint(HDC dc);
    TBitmapHandle glyph_;
    bool pressed_ = false;
};
