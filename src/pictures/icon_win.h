// The icon graphic (.ico): the whole file is kept; at load only its header and the sizes its
// images state are checked. The system icon is built at the first drawing by the icon image choice, with the standard
// icon size and the display's colour depth of that moment; until then the graphic reports the standard icon size,
// afterwards the chosen image's size. A header of type 0 shows the system's standard application icon.
//
// A build that fails (a directory that announces no image or points outside the file, an
// image the system cannot turn into an icon) raises its error at that first drawing, once;
// the icon then draws nothing at every later drawing, so a repaint after the error box does
// not raise the box again.
#pragma once

#include <vector>

#include "base/gdi_win.h"
#include "pictures/graphic_win.h"

// The system could not build an icon and set `systemErrorCode` (GetLastError): raises
// EOutOfResources with the system's text for that code, or "Out of system resources" when the
// code is 0 or the system has no text for it.
[[noreturn]] void RaiseIconBuildFailure(DWORD systemErrorCode);

class TIcon : public TGraphic {
public:
    const char* ClassName() const override { return "TIcon"; }
    int Width() const override;
    int Height() const override;
    bool Empty() const override { return false; }
    // Drawn at its own size with its mask, its top-left corner at the rectangle's; the
    // rectangle's size is ignored.
    void Draw(HDC dc, const RECT& rect) override;
    // Raises "Stream read error" for fewer than 6 bytes, "Icon image is not valid" for a
    // type above 1 and "Out of system resources" for an image beyond the program's limit.
    void LoadFromStream(TReadStream& stream) override;
    std::unique_ptr<TGraphic> Clone() const override;

    // Whether the first drawing has built the icon, and the built icon (null before, and
    // after a failed build).
    bool Built() const { return state_ == TState::Built; }
    HICON Handle() const { return icon_ ? icon_->Get() : sharedIcon_; }

private:
    enum class TState { NotBuilt, Built, Failed };
    // The late steps: image choice, reading the chosen image, the system icon.
    void Build();

    std::shared_ptr<const std::vector<uint8_t>> file_;
    TState state_ = TState::NotBuilt;
    std::shared_ptr<const TIconHandle> icon_;
    HICON sharedIcon_ = nullptr;  // the system's standard application icon: never destroyed
    int width_ = 0;
    int height_ = 0;
};
