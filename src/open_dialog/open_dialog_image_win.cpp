#include "open_dialog/open_dialog_image_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "base/gdi_win.h"

void TPaneImage::PaintBuffered() {
    const TPaintScope paint(Handle());
    if (!paint.Get()) return;
    const auto paintGuarded = [this](HDC dc) {
        try {
            PaintTo(dc);
        } catch (...) {
            if (OnDrawError) OnDrawError();
        }
    };
    RECT client;
    GetClientRect(Handle(), &client);
    const TMemoryDc memory(CreateCompatibleDC(paint.Get()));
    const TBitmapHandle bitmap(
        CreateCompatibleBitmap(paint.Get(), std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
    if (!memory || !bitmap) {
        paintGuarded(paint.Get());
        return;
    }
    const TSelection selected(memory.Get(), bitmap.Get());
    paintGuarded(memory.Get());
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

bool TPaneImage::IsSecondClick(LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const DWORD now = GetTickCount();
    const bool second = clickPending_ && now - lastClickTime_ <= GetDoubleClickTime() &&
                        std::abs(at.x - lastClick_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(at.y - lastClick_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    clickPending_ = !second;
    lastClickTime_ = now;
    lastClick_ = at;
    return second;
}

LRESULT TPaneImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_PAINT:
                if (!DoubleBuffered) break;
                PaintBuffered();
                return 0;
            case WM_LBUTTONDOWN:
                // The image control's window class has no double clicks of its own.
                if (IsSecondClick(lParam) && OnDblClick) OnDblClick();
                return 0;
            case WM_LBUTTONDBLCLK:
                clickPending_ = false;
                if (OnDblClick) OnDblClick();
                return 0;
            default:
                break;
        }
        return TImage::WindowProc(message, wParam, lParam);
    } catch (...) {
        // Dropped: the pane and the Preview window never show an error box.
        return 0;
    }
}
