#include "ui/page_control_win.h"

#include <commctrl.h>

namespace {
const char kTabSheetClass[] = "TTabSheet";
}

void TTabSheet::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kTabSheetClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateOwnWindow(kTabSheetClass, Name(), WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent,
                    bounds);
}

LRESULT TTabSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefaultProc(message, wParam, lParam);
}

void TPageControl::Create(HWND parent, const RECT& bounds) {
    CreateControl(WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, parent,
                  bounds);
}

RECT TPageControl::PageRect() const {
    RECT r;
    GetClientRect(Handle(), &r);
    return PageRect(r);
}

RECT TPageControl::PageRect(RECT r) const {
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

TTabSheet& TPageControl::AddPage(const std::string& name, const std::string& caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    const auto index = static_cast<WPARAM>(pages_.size());
    SendMessageA(Handle(), TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    pages_.push_back(std::make_unique<TTabSheet>(name));
    pages_.back()->Create(Handle(), PageRect());
    ShowActivePage();
    return *pages_.back();
}

int TPageControl::ActivePageIndex() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePageIndex(int index) {
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowActivePage();
}

void TPageControl::SelectNextPage(bool forward) {
    const int count = static_cast<int>(pages_.size());
    if (count == 0) return;
    SetActivePageIndex((ActivePageIndex() + (forward ? 1 : count - 1)) % count);
}

bool TPageControl::DialogKey(WORD key, bool shift, bool control) {
    if (key != VK_TAB || !control) return false;
    SelectNextPage(!shift);
    return true;
}

void TPageControl::ShowActivePage() {
    const int active = ActivePageIndex();
    // A control of a page that goes out of sight hands the focus to the new page's first tab
    // stop, or to the tabs when that page has none.
    const HWND focus = GetFocus();
    bool focusLeaves = false;
    for (size_t i = 0; i < pages_.size(); ++i) {
        const HWND page = pages_[i]->Handle();
        if (static_cast<int>(i) != active && focus && (focus == page || IsChild(page, focus))) focusLeaves = true;
    }
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->SetVisible(static_cast<int>(i) == active);
    if (focusLeaves && active >= 0 && active < static_cast<int>(pages_.size())) {
        const std::vector<HWND> stops = TabStops(pages_[static_cast<size_t>(active)]->Handle());
        SetFocus(stops.empty() ? Handle() : stops.front());
    }
    if (OnChange) OnChange();
}

LRESULT TPageControl::Notify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE) ShowActivePage();
    return 0;
}

LRESULT TPageControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProc(message, wParam, lParam);
    if (message == WM_SIZE) {
        const RECT r = PageRect();
        for (auto& page : pages_) page->SetBounds(r);
    }
    return result;
}
