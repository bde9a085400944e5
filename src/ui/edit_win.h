// A single-line edit. Its change event runs when the user changes the text, and when the
// program sets a text that differs from the current one; never for a text that is as it was
// (an undo, a paste of the same text).
#pragma once

#include <utility>

#include "ui/control_win.h"

class TEdit : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds, const std::string& text);

    std::string Text() const { return Caption(); }
    void SetText(const std::string& text);
    // The selected characters from `start` to `end`, the caret at `end`.
    std::pair<size_t, size_t> Selection() const;
    void SetSelection(size_t start, size_t end);

    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;

private:
    bool settingText_ = false;
    // The text as the change event last saw it.
    std::string lastText_;
};
