#include "ui/image_win.h"

#include "base/gdi_win.h"
#include "pictures/preview_rect.h"
#include "ui/application_win.h"
#include "ui/messages_win.h"

namespace {

const char kClassName[] = "TImage";

// Marks a drawing under way for the lifetime of this value (nested drawings keep the outer DC).
class TDrawingScope {
public:
    TDrawingScope(HDC& slot, HDC dc) : slot_(slot), old_(slot) {
        if (slot_ == nullptr) slot_ = dc;
    }
    ~TDrawingScope() { slot_ = old_; }
    TDrawingScope(const TDrawingScope&) = delete;
    TDrawingScope& operator=(const TDrawingScope&) = delete;

private:
    HDC& slot_;
    HDC old_;
};

}  // namespace

TImage::TImage(std::string name) : TControl(std::move(name)) {
    Picture.OnChange = [this] { PictureChanged(); };
    Picture.OnProgress = [this](const TPictureProgress& progress) { PictureProgress(progress); };
}

TImage::~TImage() {
    Picture.OnChange = nullptr;
    Picture.OnProgress = nullptr;
}

void TImage::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kClassName, 0, nullptr, nullptr);
    CreateOwnWindow(kClassName, Name(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, bounds);
}

void TImage::Invalidate() {
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::SetStretch(bool on) {
    if (stretch_ == on) return;
    stretch_ = on;
    Invalidate();
}

void TImage::SetProportional(bool on) {
    if (proportional_ == on) return;
    proportional_ = on;
    Invalidate();
}

void TImage::SetCenter(bool on) {
    if (center_ == on) return;
    center_ = on;
    Invalidate();
}

void TImage::SetAutoSize(bool on) {
    if (autoSize_ == on) return;
    autoSize_ = on;
    if (on) PictureChanged();
}

RECT TImage::DestRect() const {
    RECT client{};
    if (Handle()) GetClientRect(Handle(), &client);
    const TPreviewRect r = PreviewDestination(Picture.Width(), Picture.Height(), client.right, client.bottom,
                                              {stretch_, proportional_, center_});
    return RECT{r.left, r.top, r.right, r.bottom};
}

void TImage::PaintBackground(HDC dc, const RECT& client) {
    // The container paints its own face under the control, in the control's coordinates.
    if (HWND parent = GetParent(Handle())) {
        POINT origin{0, 0};
        MapWindowPoints(Handle(), parent, &origin, 1);
        POINT oldOrigin{};
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, &oldOrigin);
        const LRESULT erased = SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        if (erased) return;
    }
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

void TImage::PaintTo(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    PaintBackground(dc, client);
    {
        const TDrawingScope drawing(drawingDc_, dc);
        if (!Picture.Empty()) Picture.Draw(dc, DestRect());
    }
    if (OnDraw) OnDraw(dc, client);
}

void TImage::PaintGuarded(HDC dc) {
    try {
        PaintTo(dc);
    } catch (...) {
        ReportDrawError();
    }
}

void TImage::ReportDrawError() {
    if (OnDrawError)
        OnDrawError();
    else
        Application.HandleException();
}

void TImage::PictureChanged() {
    if (!Handle()) return;
    if (autoSize_ && Picture.Width() > 0 && Picture.Height() > 0) {
        SetWindowPos(Handle(), nullptr, 0, 0, Picture.Width(), Picture.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const TGraphic* graphic = Picture.Graphic();
    if (graphic != nullptr && graphic->Palette() != nullptr && IsWindowVisible(Handle())) {
        if (drawingDc_ != nullptr)
            RealizePicturePalette(drawingDc_);
        else
            PostMessageA(Handle(), WM_REALIZEPICTUREPALETTE, 0, 0);
    }
    if (drawingDc_ == nullptr) Invalidate();
}

// Drawing while a picture decodes. A JPEG decodes at its first drawing, inside WM_PAINT, and
// reports its progress as it goes: each report that asks for a redraw draws the rows decoded so
// far at once, into the DC that the painting in progress holds (drawingDc_), or into a window
// DC when the decoding was started elsewhere (a copy for the Preview window). Drawing from a
// progress report never invalidates: that would paint again and decode again. When decoding
// ends with a new palette, the palette is realised first and the picture drawn once more.
void TImage::PictureProgress(const TPictureProgress& progress) {
    if (!incrementalDisplay_ || !progress.RedrawNow || !Handle()) return;
    const TGraphic* graphic = Picture.Graphic();
    if (progress.Finished && graphic != nullptr && graphic->Palette() != nullptr) {
        // The decoded palette changed: it is realised first, then the picture redrawn.
        RealizePicturePalette(drawingDc_);
        if (drawingDc_ == nullptr) Invalidate();
        return;
    }
    // The rows decoded so far, drawn at once while decoding goes on.
    if (drawingDc_ != nullptr) {
        Picture.Draw(drawingDc_, DestRect());
        return;
    }
    const TWindowDc dc(Handle());
    if (dc.Get() == nullptr) return;
    const TDrawingScope drawing(drawingDc_, dc.Get());
    Picture.Draw(dc.Get(), DestRect());
}

void TImage::RealizePicturePalette(HDC dc) {
    const TGraphic* graphic = Picture.Graphic();
    if (graphic == nullptr || graphic->Palette() == nullptr) return;
    // In the foreground when the control's window is the active one. The selection is put
    // back at once: the realised colours stay in the system palette, and the graphic selects
    // its palette again when it draws.
    const bool background = GetAncestor(Handle(), GA_ROOT) != GetForegroundWindow();
    if (dc != nullptr) {
        const TPaletteSelection realised(dc, graphic->Palette(), background);
        return;
    }
    const TWindowDc own(Handle());
    if (own.Get() == nullptr) return;
    const TPaletteSelection realised(own.Get(), graphic->Palette(), background);
}

LRESULT TImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Invalidate();
            return 0;
        case WM_PAINT:
            // The window is validated before an error box can show, so the box does not
            // bring the same painting back.
            try {
                const TPaintScope paint(Handle());
                if (paint.Get()) PaintTo(paint.Get());
            } catch (...) {
                ReportDrawError();
            }
            return 0;
        case WM_PRINTCLIENT:
            PaintGuarded(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_REALIZEPICTUREPALETTE:
            RealizePicturePalette(nullptr);
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}
