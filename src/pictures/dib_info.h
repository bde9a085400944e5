// The device-independent bitmap description that the system's bitmap calls take
// (BITMAPINFO: a 40-byte BITMAPINFOHEADER, three colour masks for bit-field bitmaps, then
// the colour table of 4-byte blue-green-red-reserved entries), built from plain values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitFields = 3;

inline constexpr uint32_t kBitmapInfoHeaderSize = 40;

struct TRgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    bool operator==(const TRgbQuad&) const = default;
};

// The fields of a BITMAPINFOHEADER (its size field is always 40).
struct TDibHeader {
    int32_t width = 0;
    int32_t height = 0;  // negative for rows stored top-down
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// The BITMAPINFO bytes: the header, the masks (red, green, blue) when the compression is
// bit-field, then the colour table.
std::vector<uint8_t> BuildBitmapInfo(const TDibHeader& header, std::span<const uint32_t> masks,
                                     std::span<const TRgbQuad> colours);

// Bytes of one pixel row padded to a multiple of 4 (0 for a width of 0 or below).
uint64_t DibRowBytes(int64_t width, uint32_t bitCount);
// Row bytes times rows, saturated at the largest 64-bit value.
uint64_t DibImageBytes(int64_t width, uint32_t bitCount, uint64_t rows);
