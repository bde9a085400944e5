// Turning unfiltered PNG rows into 32-bit BGRA pixels, with the gamma table, the palette
// and the tRNS transparency applied on the way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "png/png_chunks.h"

// Fills table with the gamma correction for a gAMA value: entry v is
// round(255 * (v / 255) ^ (1 / (g * 2.2))) with g = value / 100000, rounded to nearest with
// ties to even. A value of 0 gives the identity. Returns whether the table is the identity.
bool BuildPngGammaTable(uint32_t value, uint8_t (&table)[256]);

// How a picture with these chunks is drawn (see png_image.h). A palette picture's entries
// below 255 are counted over the whole tRNS chunk, as it holds them, also beyond the palette.
TPngTransparency PngTransparencyOf(const TPngChunks& chunks);

class TPngRowConverter {
public:
    explicit TPngRowConverter(const TPngChunks& chunks);

    // Converts one unfiltered row of width pixels into BGRA pixels packed as
    // B | G << 8 | R << 16 | A << 24.
    void Convert(const uint8_t* raw, uint32_t* out, uint32_t width) const;

private:
    enum class TLayout { Lookup, Grey16, GreyAlpha8, GreyAlpha16, Rgb8, Rgb16, Rgba8, Rgba16 };

    template <unsigned Depth>
    void ConvertPacked(const uint8_t* raw, uint32_t* out, uint32_t width) const;
    template <bool Gamma>
    void ConvertRgb8(const uint8_t* raw, uint32_t* out, uint32_t width) const;
    template <bool Gamma>
    void ConvertRgba8(const uint8_t* raw, uint32_t* out, uint32_t width) const;
    void ConvertRgb16(const uint8_t* raw, uint32_t* out, uint32_t width) const;
    void ConvertRgba16(const uint8_t* raw, uint32_t* out, uint32_t width) const;

    TLayout layout_;
    uint8_t bitDepth_;
    bool gammaIdentity_;
    bool hasKey_;
    uint16_t keyGrey_, keyRed_, keyGreen_, keyBlue_;
    uint8_t gamma_[256];
    // Lookup: BGRA per palette index or grey sample (gamma and tRNS already applied);
    // grey layouts with more than one byte per pixel: BGRA with alpha 255 per high byte.
    uint32_t table_[256];
};
