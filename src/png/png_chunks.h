// The chunk layer of the PNG codec: the signature, the chunk walk with its CRC checks, and
// the facts of the chunks the decoder uses (IHDR, PLTE, tRNS, gAMA, the IDAT spans).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "png/png_image.h"

// One IDAT chunk's data, inside the caller's bytes.
struct TPngSpan {
    const uint8_t* data;
    uint32_t size;
};

struct TPngRgb {
    uint8_t r, g, b;
};

struct TPngChunks {
    TPngHeader header;
    int paletteCount = 0;  // 0 when the file has no PLTE
    TPngRgb palette[256] = {};
    bool hasTransparency = false;  // a tRNS chunk that applies to the colour type
    // Palette files: the entries tRNS holds, also those beyond the palette (the palette's
    // entries that it does not cover are 255).
    int paletteAlphaCount = 0;
    uint8_t paletteAlpha[256] = {};
    uint16_t keyGrey = 0;                            // grey files: the transparent sample
    uint16_t keyRed = 0, keyGreen = 0, keyBlue = 0;  // RGB files: the transparent colour
    bool hasGamma = false;
    uint32_t gamma = 0;
    std::vector<TPngSpan> imageData;  // IDAT chunks in file order
    uint64_t imageDataSize = 0;
};

// Checks the signature and the first chunk, which must be a valid IHDR.
TPngHeader ReadPngHeader(const uint8_t* data, size_t size);

// Walks every chunk up to IEND, checking CRCs and chunk rules; the result refers into data.
TPngChunks ReadPngChunks(const uint8_t* data, size_t size);

// Channels per pixel of a colour type (1 to 4).
unsigned PngChannels(uint8_t colourType);
