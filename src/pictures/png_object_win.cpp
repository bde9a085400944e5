#include "pictures/png_object_win.h"

#include <memory>
#include <vector>

#include "png/png_draw_win.h"

void TPNGObject::LoadFromStream(TReadStream& stream) {
    const std::vector<uint8_t> file = ReadRemaining(stream);
    image_ = std::make_shared<const TPngImage>(TPngImage::Decode(file.data(), file.size()));
}

const TPngImage& TPNGObject::Image() const {
    static const TPngImage empty;
    return image_ ? *image_ : empty;
}

void TPNGObject::Draw(HDC dc, const RECT& rect) { DrawPngImage(dc, rect, Image()); }

std::unique_ptr<TGraphic> TPNGObject::Clone() const { return std::make_unique<TPNGObject>(*this); }
