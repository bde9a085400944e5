#include "pictures/open_dialog_button_win.h"

#include <commctrl.h>

#include "base/system_win.h"
#include "base/gdi_win.h"
#include "pictures/open_dialog_image_win.h"

namespace {
const char kClassName[] = "TPreviewButton";
// The hint's tool over the parent covers the button while it is disabled (a disabled window
// gets no mouse messages, its parent does).
constexpr UINT_PTR kParentToolId = 1;
}  // namespace

TPreviewButton::~TPreviewButton() { HideHint(); }

void TPreviewButton::Create(HWND parent, const RECT& bounds, const char* glyphResource, const std::string& hint) {
    glyph_.Reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), glyphResource, IMAGE_BITMAP, 0, 0, 0)));
    if (!glyph_) RaiseLastOSError();
    RegisterOwnClass(kClassName, 0, nullptr, nullptr);
    CreateOwnWindow(kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, bounds);
    CreateHint(hint);
}

void TPreviewButton::CreateHint(const std::string& text) {
    HideHint();
    hint_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    if (!hint_) RaiseLastOSError();
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(hint_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = kParentToolId;
    tool.rect = Bounds();
    SendMessageA(hint_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TPreviewButton::Place(const RECT& bounds) {
    SetBounds(bounds);
    if (!hint_) return;
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(Handle());
    tool.uId = kParentToolId;
    tool.rect = bounds;
    SendMessageA(hint_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TPreviewButton::HideHint() {
    if (!hint_) return;
    if (IsWindow(hint_)) {
        SendMessageA(hint_, TTM_POP, 0, 0);
        DestroyWindow(hint_);
    }
    hint_ = nullptr;
}

void TPreviewButton::DrawGlyph(HDC dc, int x, int y) {
    BITMAP info{};
    GetObjectA(glyph_.Get(), sizeof info, &info);
    const TMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    const TSelection selected(source.Get(), glyph_.Get());
    const COLORREF transparent = GetPixel(source.Get(), 0, info.bmHeight - 1);
    if (Enabled()) {
        TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, info.bmWidth, info.bmHeight,
                       transparent);
        return;
    }
    // Disabled: the glyph's darker pixels embossed, a highlight under a shadow.
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int pass = 0; pass < 2; ++pass)
        for (int gy = 0; gy < info.bmHeight; ++gy)
            for (int gx = 0; gx < info.bmWidth; ++gx) {
                const COLORREF c = GetPixel(source.Get(), gx, gy);
                if (c == transparent || GetRValue(c) + GetGValue(c) + GetBValue(c) > 3 * 192) continue;
                if (pass == 0)
                    SetPixel(dc, x + gx + 1, y + gy + 1, highlight);
                else
                    SetPixel(dc, x + gx, y + gy, shadow);
            }
}

void TPreviewButton::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    BITMAP info{};
    if (!GetObjectA(glyph_.Get(), sizeof info, &info)) return;
    const int offset = pressed_ ? 1 : 0;
    DrawGlyph(dc, (r.right - info.bmWidth) / 2 + offset, (r.bottom - info.bmHeight) / 2 + offset);
}

LRESULT TPreviewButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The pane never shows an error box: whatever its button raises is dropped.
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT TPreviewButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&r, at) && Enabled() && OnClick) OnClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_) {
                pressed_ = false;
                InvalidateRect(Handle(), nullptr, TRUE);
            }
            return 0;
        case WM_DESTROY:
            HideHint();
            return DefaultProc(message, wParam, lParam);
        default:
            return DefaultProc(message, wParam, lParam);
    }
}
