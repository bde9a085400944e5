// The metafile (.wmf and .emf) reader. One kind for both extensions: the data decides
// between an enhanced metafile and a placeable Windows metafile. The Windows side hands
// `data` to the system:
// - enhanced: SetEnhMetaFileBits; a refusal is "Metafile is not valid";
// - placeable: SetWinMetaFileBits twice in MM_ANISOTROPIC, first with no extents, then with
//   SecondPassExtents of the first result's frame; the second result is kept, and either
//   refusal is "Metafile is not valid". When `sizeKnown` is false (units per inch 0), the
//   reported size is EnhancedMetafileSize of the kept result's header.
#pragma once

#include <cstdint>
#include <span>

struct TRectL {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct TSizeL {
    int32_t cx = 0, cy = 0;
    bool operator==(const TSizeL&) const = default;
};

// The parts of an enhanced-metafile header that the size needs.
struct TEnhancedHeader {
    TRectL frame;              // bytes 24 to 39, in hundredths of a millimetre
    uint32_t totalBytes = 0;   // bytes 48 to 51
    TSizeL devicePixels;       // bytes 72 to 79: the reference device in pixels
    TSizeL deviceMillimetres;  // bytes 80 to 87: the same in millimetres
};

struct TMetafileFile {
    bool enhanced = false;
    // Enhanced: the file's first totalBytes bytes. Placeable: everything after the 22-byte
    // header (the standard Windows metafile). Inside the given file bytes.
    std::span<const uint8_t> data;
    TEnhancedHeader header;  // enhanced only

    // Placeable only: the header's bounding box and units per inch (as stored, 0 included),
    // and the box converted to hundredths of a millimetre (with 96 units per inch for 0).
    int16_t boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
    uint16_t unitsPerInch = 0;
    TSizeL boxHimetric;

    // The reported width and height in screen pixels, when known at reading.
    bool sizeKnown = false;
    TSizeL size;
};

// Reads a metafile; screenPixelsPerInch is the screen's logical pixels per inch (the vertical
// measure, LOGPIXELSY). The file is enhanced when more than 100 bytes remain, its first
// 32-bit value is 1 and the one at offset 40 is " EMF"; otherwise it must be a placeable
// metafile with the key 0x9AC6CDD7 and the right checksum. Raises EInvalidGraphic "Metafile is
// not valid" for anything else (an enhanced header announcing fewer than 100 bytes
// included), and EReadError "Stream read error" for a file shorter than the header or the
// total size that it announces.
TMetafileFile ReadMetafile(std::span<const uint8_t> file, int screenPixelsPerInch);

// The enhanced-metafile header fields of data at least 88 bytes long (no check of the
// signature); raises EReadError "Stream read error" for shorter data.
TEnhancedHeader ReadEnhancedHeader(std::span<const uint8_t> data);

// The reported size of an enhanced metafile: frame width x reference pixels / (reference
// millimetres x 100), the height likewise, each rounded to nearest.
TSizeL EnhancedMetafileSize(const TEnhancedHeader& header);

// The extents of the second conversion of a placeable metafile: the first result's frame's
// right and bottom values (hundredths of a millimetre).
TSizeL SecondPassExtents(const TRectL& frameOfFirstResult);

// a x b / c rounded to the nearest integer, halves away from zero (the system's MulDiv
// rounding), exact for any 32-bit operands. 0 when c is 0 or the result does not fit 32 bits.
int32_t MulDivRound(int64_t a, int64_t b, int64_t c);
