// An image control: a window that paints its parent's face and then whatever its owner draws
// into its client rectangle.
#pragma once

#include <functional>

#include "ui/control_win.h"

class TImage : public TControl {
public:
    using TDrawEvent = std::function<void(HDC dc, const RECT& client)>;
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    // Asks for a repaint.
    void Invalidate();
    TDrawEvent OnDraw;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
