// The image control of the picture open dialog's pane and of its Preview window: the program's
// image control with a double-click event and, on request, painting through an off-screen
// bitmap. Nothing of it ever reaches an error box: drawing errors go to OnDrawError, and
// anything else it raises is dropped.
#pragma once

#include <windows.h>

#include "ui/image_win.h"

class TPaneImage : public TImage {
public:
    using TImage::TImage;

    // Paint into an off-screen bitmap first, then copy it to the window in one step.
    bool DoubleBuffered = false;
    TNotifyEvent OnDblClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintBuffered();
    // A second press of the left button within the system's double-click time and distance.
    bool IsSecondClick(LPARAM lParam);

    DWORD lastClickTime_ = 0;
    POINT lastClick_{};
    bool clickPending_ = false;
};
