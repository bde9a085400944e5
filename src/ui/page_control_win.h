// A page control: a tab control whose tabs show one page each.
#pragma once

#include <memory>
#include <vector>

#include "ui/control_win.h"

class TTabSheet : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TPageControl : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    TTabSheet& AddPage(const std::string& name, const std::string& caption);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    TTabSheet& Page(size_t index) { return *pages_[index]; }
    size_t PageCount() const { return pages_.size(); }
    // The area in the control's client coordinates that a page covers.
    RECT PageRect() const;
    // The area a page would cover were the control's client area `client`.
    RECT PageRect(RECT client) const;
    // Activates the next page (or the previous one), from the last back to the first.
    void SelectNextPage(bool forward);
    // Ctrl+Tab and Ctrl+Shift+Tab switch the pages.
    bool DialogKey(WORD key, bool shift, bool control) override;
    // A page was shown, by the user or by code.
    TNotifyEvent OnChange;

protected:
    LRESULT Notify(const NMHDR& header) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowActivePage();
    std::vector<std::unique_ptr<TTabSheet>> pages_;
};
