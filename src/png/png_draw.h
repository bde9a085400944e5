// Drawing a decoded PNG picture onto a 32-bit BGRA surface held in memory (the pixels the
// Windows side reads from a device context and writes back).
//
// The picture is scaled to a destination rectangle by nearest pixel: destination column x
// (counted from the rectangle's left edge) takes source column trunc(x / (dest width /
// picture width)), computed in double precision; rows likewise. Then, by the picture's
// Transparency():
// - Alpha: each colour channel becomes (a * picture + (255 - a) * beneath + 255) / 256 with
//   integer division, a being the pixel's alpha: a = 0 leaves the surface, a = 255 copies.
// - TransparentColour: pixels with alpha below 255 are left out, the others copied.
// - Opaque: every pixel is copied.
// Only the B, G and R bytes of the surface are written; its fourth byte is kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "png/png_image.h"

// A surface of width x height pixels, rows stride bytes apart from the top row down, each
// pixel four bytes B, G, R, and one unused.
struct TBgraSurface {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t stride = 0;
};

// The blended value of one colour channel.
constexpr uint8_t BlendPngChannel(uint8_t picture, uint8_t beneath, uint8_t alpha) {
    return uint8_t((unsigned{alpha} * picture + (255u - alpha) * beneath + 255u) / 256u);
}

// The source column (or row) that destination column (or row) index shows when pictureSize
// pixels are drawn across destSize pixels.
uint32_t PngSourceIndex(uint32_t index, uint32_t destSize, uint32_t pictureSize);

// Draws the picture into the rectangle at (left, top) of destWidth x destHeight pixels in the
// surface's coordinates; the parts of the rectangle outside the surface are skipped. An
// empty picture or rectangle draws nothing.
void DrawPngImage(const TPngImage& image, const TBgraSurface& surface, int32_t left, int32_t top, int32_t destWidth,
                  int32_t destHeight);
