#include "ui/speed_button_win.h"

#include "base/gdi_win.h"

namespace {
const char kClassName[] = "TSpeedButton";
}

void TSpeedButton::Create(HWND parent, const RECT& bounds, const char* glyphResource) {
    glyph_.Reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), glyphResource, IMAGE_BITMAP, 0, 0, 0)));
    RegisterOwnClass(kClassName, 0, nullptr, nullptr);
    CreateOwnWindow(kClassName, "", WS_CHILD | WS_VISIBLE, 0, parent, bounds);
}

void TSpeedButton::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    if (!glyph_) return;
    BITMAP info;
    GetObjectA(glyph_.Get(), sizeof info, &info);
    const int offset = pressed_ ? 1 : 0;
    const int x = (r.right - info.bmWidth) / 2 + offset, y = (r.bottom - info.bmHeight) / 2 + offset;
    TMemoryDc source(CreateCompatibleDC(dc));
    TSelection selection(source.Get(), glyph_.Get());
    if (Enabled()) {
        TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, info.bmWidth, info.bmHeight,
                       RGB(255, 255, 255));
    } else {
        // A disabled glyph: every drawn pixel in the system's grey.
        for (int gy = 0; gy < info.bmHeight; ++gy)
            for (int gx = 0; gx < info.bmWidth; ++gx)
                if (GetPixel(source.Get(), gx, gy) != RGB(255, 255, 255))
                    SetPixel(dc, x + gx, y + gy, GetSysColor(COLOR_GRAYTEXT));
    }
}

LRESULT TSpeedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            Paint(dc);
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_ENABLE:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(Handle());
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed_) return 0;
            pressed_ = false;
            ReleaseCapture();
            InvalidateRect(Handle(), nullptr, TRUE);
            RECT r;
            GetClientRect(Handle(), &r);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&r, at) && OnClick) OnClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_) {
                pressed_ = false;
                InvalidateRect(Handle(), nullptr, TRUE);
            }
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}
