// An image control: a window that shows its picture placed by the destination rectangle
// (pictures/preview_rect.h) over its container's background, which shows wherever the picture
// does not cover the area. It redraws after every change of its picture and every resize.
//
// Drawing errors (late JPEG decoding, the PNG blending buffer, late icon building) go to
// OnDrawError, called inside the catch block, or when that is unset to the standard error
// box. The graphics raise such an error once, so a repaint after the box shows no new box.
#pragma once

#include <functional>

#include "pictures/picture_win.h"
#include "ui/control_win.h"

class TImage : public TControl {
public:
    using TDrawEvent = std::function<void(HDC dc, const RECT& client)>;
    explicit TImage(std::string name);
    ~TImage() override;

    void Create(HWND parent, const RECT& bounds);
    // Asks for a repaint.
    void Invalidate();

    // The control listens to its picture: Picture.OnChange and Picture.OnProgress are its own.
    TPicture Picture;

    // Scale the picture to the control's area.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    // Keep the picture's ratio when scaling; also shrinks a too-large picture without Stretch.
    bool Proportional() const { return proportional_; }
    void SetProportional(bool on);
    // Centre the picture in the area, else place it at the top-left corner.
    bool Center() const { return center_; }
    void SetCenter(bool on);
    // Take the picture's size after every change of the picture (a non-empty one).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    // Draw at once when the decoding picture asks for a redraw.
    bool IncrementalDisplay() const { return incrementalDisplay_; }
    void SetIncrementalDisplay(bool on) { incrementalDisplay_ = on; }

    // Where the picture goes at the control's current client size.
    RECT DestRect() const;
    // Paints what the window shows into a device context in client coordinates: the
    // container's background, then the picture, then OnDraw. Raises drawing errors.
    void PaintTo(HDC dc);

    // Called after the picture with the client rectangle, for whatever the owner adds.
    TDrawEvent OnDraw;
    // Called inside the catch block of a failed drawing (`throw;` gives the error); unset, the
    // standard error box shows it.
    std::function<void()> OnDrawError;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintGuarded(HDC dc);
    // Inside a catch block: hands the error to OnDrawError or the standard error box.
    void ReportDrawError();
    void PaintBackground(HDC dc, const RECT& client);
    void PictureChanged();
    void PictureProgress(const TPictureProgress& progress);
    // Realises the picture's palette in the device context, or in one of the window's own.
    void RealizePicturePalette(HDC dc);

    bool stretch_ = false;
    bool proportional_ = false;
    bool center_ = false;
    bool autoSize_ = false;
    bool incrementalDisplay_ = false;
    // The device context of the drawing under way, or null.
    HDC drawingDc_ = nullptr;
};
