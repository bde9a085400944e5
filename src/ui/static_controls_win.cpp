#include "ui/static_controls_win.h"

#include <commctrl.h>

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
    // A visual style may draw a button's caption in a font of its own whatever font the button
    // was given (Wine's draws the bold one regular): the caption is drawn here in the button's
    // font, over the background the button has drawn, and the button draws only the rest.
    const std::string caption = Caption();
    RECT r = draw.rc;
    const TSelection font(draw.hdc, reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    const int mode = SetBkMode(draw.hdc, TRANSPARENT);
    const COLORREF colour =
        SetTextColor(draw.hdc, GetSysColor(draw.uItemState & CDIS_DISABLED ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(draw.hdc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(draw.hdc, colour);
    SetBkMode(draw.hdc, mode);
    return CDRF_DOERASE;
}
