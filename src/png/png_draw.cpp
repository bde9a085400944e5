#include "png/png_draw.h"

#include <algorithm>
#include <cstring>
#include <vector>

uint32_t PngSourceIndex(uint32_t index, uint32_t destSize, uint32_t pictureSize) {
    const double scale = double(destSize) / double(pictureSize);
    const uint32_t source = uint32_t(index / scale);
    return source < pictureSize ? source : pictureSize - 1;
}

void DrawPngImage(const TPngImage& image, const TBgraSurface& surface, int32_t left, int32_t top, int32_t destWidth,
                  int32_t destHeight) {
    if (image.Pixels() == nullptr || destWidth <= 0 || destHeight <= 0 || surface.bits == nullptr) return;
    // The part of the rectangle on the surface, in rectangle coordinates.
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t{left});
    const int64_t endColumn = std::min<int64_t>(destWidth, int64_t{surface.width} - left);
    const int64_t firstRow = std::max<int64_t>(0, -int64_t{top});
    const int64_t endRow = std::min<int64_t>(destHeight, int64_t{surface.height} - top);
    if (firstColumn >= endColumn || firstRow >= endRow) return;

    std::vector<uint32_t> columns(size_t(endColumn - firstColumn));
    for (int64_t x = firstColumn; x < endColumn; ++x)
        columns[size_t(x - firstColumn)] = PngSourceIndex(uint32_t(x), uint32_t(destWidth), image.Width());

    const TPngTransparency mode = image.Transparency();
    for (int64_t y = firstRow; y < endRow; ++y) {
        const uint8_t* source = image.Row(PngSourceIndex(uint32_t(y), uint32_t(destHeight), image.Height()));
        uint8_t* target = surface.bits + (top + y) * surface.stride + (left + firstColumn) * 4;
        for (size_t i = 0; i < columns.size(); ++i, target += 4) {
            const uint8_t* pixel = source + size_t{columns[i]} * 4;
            const uint8_t alpha = pixel[3];
            switch (mode) {
                case TPngTransparency::Alpha:
                    target[0] = BlendPngChannel(pixel[0], target[0], alpha);
                    target[1] = BlendPngChannel(pixel[1], target[1], alpha);
                    target[2] = BlendPngChannel(pixel[2], target[2], alpha);
                    break;
                case TPngTransparency::TransparentColour:
                    if (alpha < 255) break;
                    [[fallthrough]];
                case TPngTransparency::Opaque:
                    std::memcpy(target, pixel, 3);
                    break;
            }
        }
    }
}
