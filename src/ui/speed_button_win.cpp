#include "ui/speed_button_win.h"

#include <windowsx.h>

#include "base/system_win.h"

namespace {
const char kClassName[] = "TSpeedButton";
}

void TSpeedButton::Create(HWND parent, const RECT& bounds, const char* name) {
    RegisterOwnClass(kClassName, 0, nullptr, nullptr);
    CreateOwnWindow(kClassName, name, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, bounds);
}

void TSpeedButton::SetGlyph(const char* glyphResource) {
    SetGlyph(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), glyphResource, IMAGE_BITMAP, 0, 0, 0)));
}

void TSpeedButton::SetGlyph(const TGlyphArt& glyph, COLORREF fill) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = glyph.Size;
    info.bmiHeader.biHeight = -glyph.Size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        auto* pixel = static_cast<RGBQUAD*>(bits);
        for (int y = 0; y < glyph.Size; ++y)
            for (int x = 0; x < glyph.Size; ++x, ++pixel) {
                const TGlyphCell cell = glyph.At(x, y);
                const COLORREF c = cell == TGlyphCell::Fill      ? fill
                                   : cell == TGlyphCell::Outline ? RGB(0, 0, 0)
                                                                 : RGB(255, 255, 255);
                *pixel = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
            }
    }
    SetGlyph(bitmap);
}

void TSpeedButton::SetGlyph(HBITMAP glyph) {
    glyph_.Reset(glyph);
    if (!glyph_) RaiseLastOSError();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::DrawGlyph(HDC dc, HDC glyph, const BITMAP& size, int x, int y) {
    if (Enabled()) {
        GdiTransparentBlt(dc, x, y, size.bmWidth, size.bmHeight, glyph, 0, 0, size.bmWidth, size.bmHeight,
                          RGB(255, 255, 255));
        return;
    }
    for (int gy = 0; gy < size.bmHeight; ++gy)
        for (int gx = 0; gx < size.bmWidth; ++gx)
            if (GetPixel(glyph, gx, gy) != RGB(255, 255, 255))
                SetPixel(dc, x + gx, y + gy, GetSysColor(COLOR_GRAYTEXT));
}

void TSpeedButton::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    BITMAP size{};
    if (!GetObjectA(glyph_.Get(), sizeof size, &size)) return;
    const TMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    const TSelection selection(source.Get(), glyph_.Get());
    const int offset = pressed_ ? 1 : 0;
    DrawGlyph(dc, source.Get(), size, (r.right - size.bmWidth) / 2 + offset, (r.bottom - size.bmHeight) / 2 + offset);
}

LRESULT TSpeedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const TPaintScope paint(Handle());
            Paint(paint.Get());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            InvalidateRect(Handle(), nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
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
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (PtInRect(&r, at) && Enabled() && OnClick) OnClick();
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
