// The PNG codec's picture: a PNG file decoded into 32-bit BGRA rows.
//
// Decoding follows the PNG standard (ISO/IEC 15948): every colour type (0 grey, 2 RGB,
// 3 palette, 4 grey + alpha, 6 RGB + alpha) at every bit depth it allows, both interlace
// methods (none and Adam7), all five filter types, PLTE, tRNS and gAMA. Every chunk's CRC is
// checked, and so is the Adler-32 that ends the compressed image data (zlib's own check);
// ancillary chunks other than tRNS and gAMA are skipped; an unknown critical chunk fails.
// Failures are the EPNG... kinds of png_errors.h.
//
// The decoded pixels:
// - Rows top to bottom, Stride() bytes apart (Width() * 4, no padding); each pixel is four
//   bytes B, G, R, A. Alpha is straight (colour not multiplied by it).
// - 16-bit samples are reduced to 8 bits by keeping their high byte; 1, 2 and 4-bit grey
//   samples are scaled to 0..255 (v * 255 / (2^depth - 1)).
// - Colour samples (never alpha) pass through the gamma table when the file has a gAMA chunk
//   with a value other than 0: v -> round(255 * (v / 255) ^ (1 / (g * 2.2))), g = value / 100000,
//   rounded to nearest with ties to even. For palette files the table is applied to the palette.
// - Alpha comes from the alpha channel (colour types 4 and 6), from tRNS for palette files
//   (entries the chunk does not cover are 255), or is 0 for the pixels of grey and RGB files
//   whose original samples (before any reduction or gamma) equal the tRNS colour, else 255.
//
// Transparency() tells how a picture is drawn (png_draw.h):
// - Alpha: colour types 4 and 6, and palette files whose tRNS has a number of entries below
//   255 other than one (counted over the chunk as it is, also where it is longer than the
//   palette): every pixel is blended by its alpha.
// - TransparentColour: grey and RGB files with a tRNS chunk, and palette files whose tRNS has
//   exactly one entry below 255: pixels with alpha below 255 are left out, the others copied.
// - Opaque: all others; every pixel is copied.
//
// Memory: Decode checks every chunk before it allocates, refuses with EPNGOutMemory a picture
// of more pixels than the program's limit (kMostPicturePixels, base/picture_limit.h), and
// refuses (as missing image parts) data too short to inflate to the declared size. It then
// allocates the picture (Width() * Height() * 4 bytes) and a working window of max(256 KiB,
// 2 rows) plus two rows; if the picture cannot be allocated it raises EPNGOutMemory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

enum class TPngTransparency { Opaque, TransparentColour, Alpha };

// The facts of the IHDR chunk.
struct TPngHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
    uint8_t interlace = 0;  // 0 none, 1 Adam7
};

class TPngImage {
public:
    TPngImage() = default;
    TPngImage(TPngImage&&) noexcept = default;
    TPngImage& operator=(TPngImage&&) noexcept = default;

    // Checks the signature and the IHDR chunk (its CRC and fields) only: the cheap way to
    // learn the size. Raises the same failures as Decode for those two parts.
    static TPngHeader ReadHeader(const uint8_t* data, size_t size);
    // Reads every chunk up to IEND and decodes the picture.
    static TPngImage Decode(const uint8_t* data, size_t size);

    uint32_t Width() const noexcept { return header_.width; }
    uint32_t Height() const noexcept { return header_.height; }
    const TPngHeader& Header() const noexcept { return header_; }
    TPngTransparency Transparency() const noexcept { return transparency_; }
    // The gAMA value (gamma * 100000) and whether the file had the chunk.
    bool HasGamma() const noexcept { return hasGamma_; }
    uint32_t GammaValue() const noexcept { return gammaValue_; }

    size_t Stride() const noexcept { return size_t{header_.width} * 4; }
    const uint8_t* Pixels() const noexcept { return reinterpret_cast<const uint8_t*>(pixels_.get()); }
    const uint8_t* Row(uint32_t y) const noexcept { return Pixels() + y * Stride(); }
    // B, G, R, A of one pixel packed little-endian: B | G << 8 | R << 16 | A << 24.
    uint32_t Pixel(uint32_t x, uint32_t y) const noexcept;

private:
    friend class TPngDecoder;
    friend TPngImage ResizePngImage(const TPngImage& image, uint32_t width, uint32_t height);
    TPngHeader header_;
    TPngTransparency transparency_ = TPngTransparency::Opaque;
    bool hasGamma_ = false;
    uint32_t gammaValue_ = 0;
    std::unique_ptr<uint32_t[]> pixels_;  // one packed BGRA value per pixel
};
