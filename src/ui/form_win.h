// A top-level window of the program, owned by the application window.
#pragma once

#include "ui/control_win.h"

class TForm : public TControl {
public:
    using TCloseEvent = std::function<void()>;
    explicit TForm(std::string name) : TControl(std::move(name)) {}

    // Shows the window (maximised with SW_SHOWMAXIMIZED); at its first showing its normal place
    // is centred on the whole virtual screen.
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

protected:
    void CreateForm(const char* className, const std::string& caption, int width, int height);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool shownBefore_ = false;
    bool destroying_ = false;
};
