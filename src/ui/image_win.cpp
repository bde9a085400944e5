#include "ui/image_win.h"

namespace {
const char kClassName[] = "TImage";
}

void TImage::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kClassName, 0, nullptr, nullptr);
    CreateOwnWindow(kClassName, Name(), WS_CHILD | WS_VISIBLE, 0, parent, bounds);
}

void TImage::Invalidate() { InvalidateRect(Handle(), nullptr, TRUE); }

LRESULT TImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Invalidate();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT client;
            GetClientRect(Handle(), &client);
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            if (OnDraw) OnDraw(dc, client);
            EndPaint(Handle(), &ps);
            return 0;
        }
        default:
            return DefaultProc(message, wParam, lParam);
    }
}
