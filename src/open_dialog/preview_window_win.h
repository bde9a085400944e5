// The picture open dialog's Preview window: a sizeable tool window captioned "Preview" that
// shows the pane's picture at its own size inside a 5-pixel margin, or scaled down to three
// quarters of the monitor. Esc or the close box closes it; it lives only while it is shown.
#pragma once

#include <windows.h>

#include "open_dialog/open_dialog_image_win.h"
#include "ui/control_win.h"

// A panel with a single border line, in the system's window colour; its child keeps a margin
// of 5 pixels.
class TPreviewPanel : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    static constexpr int kBorderWidth = 5;
};

class TPreviewForm : public TControl {
public:
    TPreviewForm();
    ~TPreviewForm() override;

    TPreviewPanel Panel{"Panel"};
    TPaneImage Image{"Image"};

    // Creates the window hidden, gives its image a copy of the picture (TPicture::Assign: what
    // the picture shows, its file is not read again), sizes the window to that picture and
    // centres it on the screen, then shows it modally over `owner` until it is closed, and
    // destroys it.
    void ShowModal(HWND owner, const TPicture& picture);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Create(HWND owner);
    void FitToPicture();
    void CentreOnScreen();
    void ArrangeChildren();
    // Shows the window and dispatches messages until it is closed; a WM_QUIT met on the way
    // is left in `message` with `quit` set.
    void RunModalLoop(MSG& message, bool& quit);

    bool closed_ = false;
};
