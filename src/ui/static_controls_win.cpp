#include "ui/static_controls_win.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "base/system_win.h"

namespace {
// The visual styles' drawing functions, from uxtheme in the system folder (it is not one of the
// system's known DLLs), looked up once; all null where the library or one of them is missing.
struct TThemeFunctions {
    decltype(&OpenThemeData) Open = nullptr;
    decltype(&CloseThemeData) Close = nullptr;
    decltype(&DrawThemeBackground) Background = nullptr;
    decltype(&GetThemeBackgroundContentRect) Content = nullptr;
    decltype(&IsThemeBackgroundPartiallyTransparent) Transparent = nullptr;
    decltype(&DrawThemeParentBackground) ParentBackground = nullptr;
    decltype(&GetThemeColor) Colour = nullptr;
};

const TThemeFunctions& ThemeFunctions() {
    static const TThemeFunctions functions = [] {
        TThemeFunctions found;
        const HMODULE module = LoadSystemLibrary(L"uxtheme.dll");  // kept for the program's life
        const auto look = [module]<typename T>(T& function, const char* name) {
            function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
            return function != nullptr;
        };
        if (!module || !look(found.Open, "OpenThemeData") || !look(found.Close, "CloseThemeData") ||
            !look(found.Background, "DrawThemeBackground") || !look(found.Content, "GetThemeBackgroundContentRect") ||
            !look(found.Transparent, "IsThemeBackgroundPartiallyTransparent") ||
            !look(found.ParentBackground, "DrawThemeParentBackground") || !look(found.Colour, "GetThemeColor"))
            return TThemeFunctions();
        return found;
    }();
    return functions;
}
}  // namespace

void TLabel::Create(HWND parent, const RECT& bounds, const std::string& caption, DWORD extraStyle, DWORD exStyle) {
    CreateControl("STATIC", caption, WS_CHILD | WS_VISIBLE | SS_NOTIFY | extraStyle, exStyle, parent, bounds);
}

void TLabel::SizeToText(int border) {
    const std::string text = Caption();
    SIZE extent{};
    {
        const TWindowDc dc(Handle());
        const TSelection font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const RECT r = Bounds();
    SetBounds(RECT{r.left, r.top, r.left + extent.cx + 2 * border, r.top + extent.cy + 2 * border});
}

void TLabel::Command(WORD code) {
    if (code == STN_CLICKED && OnClick) OnClick();
}

void TLinkLabel::Create(HWND parent, const RECT& bounds, const std::string& caption) {
    TLabel::Create(parent, bounds, caption, SS_CENTER | SS_SUNKEN);
}

HBRUSH TLinkLabel::ControlColor(HDC dc) {
    if (!black_) black_.Reset(CreateSolidBrush(RGB(0, 0, 0)));
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return black_.Get();
}

LRESULT TLinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefaultProc(message, wParam, lParam);
}

void TGroupBox::Create(HWND parent, const RECT& bounds, const std::string& caption) {
    CreateControl("BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  WS_EX_CONTROLPARENT, parent, bounds);
}

LRESULT TGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Children of a group box take its background colours from the dialog's parent.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return SendMessageA(GetParent(Handle()), message, wParam, lParam);
    // The group box paints only its frame; its parent clips it out, so it fills its own face.
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return DefaultProc(message, wParam, lParam);
}

void TButton::Create(HWND parent, const RECT& bounds, const std::string& caption, bool tabStop) {
    CreateControl("BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | (tabStop ? WS_TABSTOP : 0), 0, parent,
                  bounds);
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

LRESULT TButton::Notify(const NMHDR& header) {
    if (header.code != NM_CUSTOMDRAW) return 0;
    const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    Paint(draw);
    return CDRF_SKIPDEFAULT;
}

void TButton::Paint(const NMCUSTOMDRAW& draw) {
    const TThemeFunctions& api = ThemeFunctions();
    const HTHEME theme = api.Open ? api.Open(Handle(), L"Button") : nullptr;

    const HDC dc = draw.hdc;
    const UINT state = draw.uItemState;
    const bool disabled = state & CDIS_DISABLED, pressed = state & CDIS_SELECTED;
    RECT face = draw.rc, inside = draw.rc;
    COLORREF text = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    if (theme) {
        const int look = disabled                              ? PBS_DISABLED
                         : pressed                             ? PBS_PRESSED
                         : state & CDIS_HOT                    ? PBS_HOT
                         : state & (CDIS_DEFAULT | CDIS_FOCUS) ? PBS_DEFAULTED
                                                               : PBS_NORMAL;
        if (api.Transparent(theme, BP_PUSHBUTTON, look)) api.ParentBackground(Handle(), dc, &face);
        api.Background(theme, dc, BP_PUSHBUTTON, look, &face, nullptr);
        api.Content(theme, dc, BP_PUSHBUTTON, look, &face, &inside);
        api.Colour(theme, BP_PUSHBUTTON, look, TMT_TEXTCOLOR, &text);
        api.Close(theme);
    } else {
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        InflateRect(&inside, -GetSystemMetrics(SM_CXEDGE) - 1, -GetSystemMetrics(SM_CYEDGE) - 1);
    }
    RECT caption = inside;
    if (pressed && !theme) OffsetRect(&caption, 1, 1);
    const std::string words = Caption();
    const TSelection font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF old = SetTextColor(dc, text);
    DrawTextA(dc, words.c_str(), static_cast<int>(words.size()), &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, old);
    SetBkMode(dc, mode);
    if (state & CDIS_FOCUS && !(SendMessageA(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        DrawFocusRect(dc, &inside);
}
