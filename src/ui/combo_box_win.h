// A drop-down list: a closed field that shows the chosen item, and the list it opens. Its
// change event runs when the chosen item changes, by the user (a click in the list, the arrow
// keys on the closed field, a letter) or by the program; never for an item chosen again, nor
// for a list closed without a choice.
#pragma once

#include <string>

#include "ui/control_win.h"

class TComboBox : public TControl {
public:
    using TControl::TControl;
    // `bounds` is the closed field's place; its height is the system's for the font, and the
    // list opens below it with up to 30 items (the common controls' own rule) before it scrolls.
    void Create(HWND parent, const RECT& bounds);

    void AddItem(const std::string& text);
    // The chosen item's index, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);

    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The index as the change event last saw it.
    int lastIndex_ = -1;
};
