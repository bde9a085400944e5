// The preview pane's glyph button: a push button face with a 16-colour glyph whose
// bottom-left pixel's colour is transparent, a hint shown also while the button is disabled,
// and a click event. It never takes the keyboard focus.
#pragma once

#include <windows.h>

#include <string>

#include "base/gdi_win.h"
#include "ui/control_win.h"

class TPreviewButton : public TControl {
public:
    using TControl::TControl;
    ~TPreviewButton() override;
    // The glyph is a bitmap resource of the program.
    void Create(HWND parent, const RECT& bounds, const char* glyphResource, const std::string& hint);
    // Moves the button; its hint follows.
    void Place(const RECT& bounds);
    // Hides and removes the hint window.
    void HideHint();
    // The hint window while the button exists, else null.
    HWND HintWindow() const { return hint_; }

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void DrawGlyph(HDC dc, int x, int y);
    void CreateHint(const std::string& text);

    TBitmapHandle glyph_;
    HWND hint_ = nullptr;
    bool pressed_ = false;
};
