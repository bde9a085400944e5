// The PNG graphic (.png, and the About picture's stored data): the PNG codec decodes the file
// at load and draws it with its transparency (blending by alpha, one transparent colour, or an
// opaque copy; nearest pixel when scaled).
#pragma once

#include <memory>
#include <utility>

#include "pictures/graphic_win.h"
#include "png/png_image.h"

class TPNGObject : public TGraphic {
public:
    TPNGObject() = default;
    // A graphic holding a picture decoded (and perhaps resized) elsewhere.
    explicit TPNGObject(TPngImage image) : image_(std::make_shared<const TPngImage>(std::move(image))) {}
    const char* ClassName() const override { return "TPNGObject"; }
    int Width() const override { return static_cast<int>(Image().Width()); }
    int Height() const override { return static_cast<int>(Image().Height()); }
    // Over what the surface already shows; raises EPNGOutMemory when the blending buffer
    // cannot be made.
    void Draw(HDC dc, const RECT& rect) override;
    // Raises the codec's failures (EPNG...).
    void LoadFromStream(TReadStream& stream) override;
    std::unique_ptr<TGraphic> Clone() const override;

    // The decoded picture (an empty one before a load).
    const TPngImage& Image() const;

private:
    std::shared_ptr<const TPngImage> image_;
};
