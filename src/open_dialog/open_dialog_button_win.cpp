#include "open_dialog/open_dialog_button_win.h"

#include <commctrl.h>

#include "base/gdi_win.h"
#include "base/system_win.h"
#include "open_dialog/open_dialog_image_win.h"

namespace {
// The hint's tool over the parent covers the button while it is disabled (a disabled window
// gets no mouse messages, its parent does).
constexpr UINT_PTR kParentToolId = 1;
}  // namespace

TPreviewButton::~TPreviewButton() { HideHint(); }

void TPreviewButton::Create(HWND parent, const RECT& bounds, const char* glyphResource, const std::string& hint) {
    TSpeedButton::Create(parent, bounds, "");
    SetGlyph(glyphResource);
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

void TPreviewButton::DrawGlyph(HDC dc, HDC glyph, const BITMAP& size, int x, int y) {
    const COLORREF transparent = GetPixel(glyph, 0, size.bmHeight - 1);
    if (Enabled()) {
        GdiTransparentBlt(dc, x, y, size.bmWidth, size.bmHeight, glyph, 0, 0, size.bmWidth, size.bmHeight, transparent);
        return;
    }
    // Disabled: the glyph's darker pixels embossed, a highlight under a shadow.
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int pass = 0; pass < 2; ++pass)
        for (int gy = 0; gy < size.bmHeight; ++gy)
            for (int gx = 0; gx < size.bmWidth; ++gx) {
                const COLORREF c = GetPixel(glyph, gx, gy);
                if (c == transparent || GetRValue(c) + GetGValue(c) + GetBValue(c) > 3 * 192) continue;
                if (pass == 0)
                    SetPixel(dc, x + gx + 1, y + gy + 1, highlight);
                else
                    SetPixel(dc, x + gx, y + gy, shadow);
            }
}

LRESULT TPreviewButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The pane never shows an error box: whatever its button raises is dropped.
    try {
        if (message == WM_DESTROY) HideHint();
        return TSpeedButton::WindowProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}
