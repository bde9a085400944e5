// Fuzz target of the PNG codec: any bytes either decode or raise one of the codec's failure
// kinds; decoded pictures are then drawn, scaled, onto a small surface. Each input is tried
// twice: as it is, and with every chunk's CRC made right, so that mutations reach past the
// CRC check into the chunks and the image data.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/picture_limit.h"
#include "png/png_chunks.h"
#include "png/png_draw.h"
#include "png/png_errors.h"
#include "png/png_image.h"

namespace {

// Pictures above this many pixels are decoded without the checks of every pixel and the
// drawing, which would take the fuzzer's time, not find more paths. They are still decoded:
// the codec must refuse them (too little data for their size, or beyond the program's limit)
// before it allocates, which the fuzzer's memory limit watches.
constexpr uint64_t kMostPixelsChecked = uint64_t{1} << 22;

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// Rewrites the CRC of every complete chunk after the signature.
void FixCrcs(std::vector<uint8_t>& file) {
    size_t offset = 8;
    while (file.size() >= offset + 12) {
        const uint64_t length = BigEndian32(&file[offset]);
        if (file.size() - offset - 12 < length) break;
        const uint32_t crc = uint32_t(crc32(0, &file[offset + 4], uInt(length + 4)));
        uint8_t* out = &file[offset + 8 + length];
        out[0] = uint8_t(crc >> 24);
        out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8);
        out[3] = uint8_t(crc);
        offset += 12 + length;
    }
}

// What every decoded picture must satisfy: the size of its header read, and alpha 255
// throughout an opaque picture, 0 or 255 in a keyed grey or RGB one.
void CheckInvariants(const TPngHeader& header, const TPngImage& image) {
    if (image.Width() != header.width || image.Height() != header.height) __builtin_trap();
    const bool opaque = image.Transparency() == TPngTransparency::Opaque;
    const bool keyed = image.Transparency() == TPngTransparency::TransparentColour && header.colourType != 3;
    if (!opaque && !keyed) return;
    for (uint32_t y = 0; y < image.Height(); ++y)
        for (uint32_t x = 0; x < image.Width(); ++x) {
            const uint8_t alpha = uint8_t(image.Pixel(x, y) >> 24);
            if (alpha != 255 && (opaque || alpha != 0)) __builtin_trap();
        }
}

void DecodeAndDraw(const uint8_t* data, size_t size) {
    try {
        const TPngHeader header = TPngImage::ReadHeader(data, size);
        const TPngImage image = TPngImage::Decode(data, size);
        if (!PictureSizeAllowed(header.width, header.height)) __builtin_trap();
        if (uint64_t{header.width} * header.height > kMostPixelsChecked) return;
        CheckInvariants(header, image);
        std::vector<uint8_t> bits(37 * 23 * 4, 0x5A);
        const TBgraSurface surface{bits.data(), 37, 23, 37 * 4};
        DrawPngImage(image, surface, -3, 2, 41, 19);
        DrawPngImage(image, surface, 0, 0, int32_t(image.Width() % 50 + 1), int32_t(image.Height() % 30 + 1));
    } catch (const EPNGError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodeAndDraw(data, size);
    std::vector<uint8_t> fixed(data, data + size);
    FixCrcs(fixed);
    DecodeAndDraw(fixed.data(), fixed.size());
    return 0;
}
