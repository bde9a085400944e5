// A top-level window of the program, owned by the application window.
#pragma once

#include "ui/control_win.h"

class TForm : public TControl {
public:
    using TCloseEvent = std::function<void()>;
    explicit TForm(std::string name) : TControl(std::move(name)) {}

    // Shows the window (maximised with SW_SHOWMAXIMIZED); at its first showing its normal place
    // is centred on the whole area of the primary monitor, never left of or above it.
    void Show(int showCommand = SW_SHOW);
    void Hide();
    // Closes the window as its close box does: the close event runs, then the window goes,
    // which for the main window ends the message loop. While a modal state is up, the main
    // window's close waits until it ends.
    void Close();

    TCloseEvent OnClose;

    // Whether the window and its controls are still there: false from the moment the window
    // starts to go (its controls go after it).
    bool Alive() const { return Handle() != nullptr && !destroying_; }

    // The keyboard inside the window, for a message of the message loop: Tab and Shift+Tab walk
    // the tab order (TabStops), other focus keys (Ctrl+Tab...) go to the controls that hold the
    // focus (DialogKey), the rest to the dialog manager. True when the message was handled.
    bool DialogMessage(MSG& message);

protected:
    void CreateForm(const char* className, const std::string& caption, int width, int height);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Moves the focus to the next (or previous) tab stop, from the one holding the focus.
    void SelectNext(bool backward);
    // When the window is activated, the control that had the focus, else the first tab stop.
    HWND FocusOnActivation() const;

    bool shownBefore_ = false;
    bool destroying_ = false;
    HWND lastFocus_ = nullptr;
};
