// The preview pane's glyph button: a push button face with a 16-colour glyph whose
// bottom-left pixel's colour is transparent, a hint shown also while the button is disabled,
// and a click event. It never takes the keyboard focus.
#pragma once

#include <windows.h>

#include <string>

#include "base/gdi_win.h"
#include "ui/speed_button_win.h"

class TPreviewButton : public TSpeedButton {
public:
    using TSpeedButton::TSpeedButton;
    ~TPreviewButton() override;
    // The glyph is a bitmap resource of the program.
    void Create(HWND parent, const RECT& bounds, const char* glyphResource, const std::string& hint);
    // Moves the button; its hint follows.
    void Place(const RECT& bounds);
    // Hides and removes the hint window.
    void HideHint();
    // The hint window while the button exists, else null.
    HWND HintWindow() const { return hint_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The glyph's bottom-left colour is transparent; disabled, its darker pixels are embossed.
    void DrawGlyph(HDC dc, HDC glyph, const BITMAP& size, int x, int y) override;

private:
    void CreateHint(const std::string& text);

    HWND hint_ = nullptr;
};
