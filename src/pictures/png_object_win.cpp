#include "pictures/png_object_win.h"

#include <memory>
#include <vector>

#include "pictures/picture_win.h"
#include "png/png_draw_win.h"

void TPNGObject::LoadFromStream(TReadStream& stream) {
    const std::vector<uint8_t> file = ReadRemaining(stream);
    image_ = TPngImage::Decode(file.data(), file.size());
}

void TPNGObject::Draw(HDC dc, const RECT& rect) { DrawPngImage(dc, rect, image_); }

void RegisterPngFormat(TFileFormatsList& formats) {
    formats.Add("PNG", "Portable Network Graphics", 0, "TPNGObject",
                []() -> std::unique_ptr<TGraphic> { return std::make_unique<TPNGObject>(); });
}
