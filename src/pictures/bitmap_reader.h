// The bitmap (.bmp) reader: validates a bitmap file and describes it in the form the system's
// bitmap calls take. It builds nothing itself; the Windows side makes the bitmap:
// - uncompressed (BI_RGB) and bit-field bitmaps: a DIB section from `info`, whose pixel memory
//   receives the next `pixelBytes` bytes of the file, read straight into it (the rest of that
//   memory, beyond a file cut short, stays zero);
// - run-length (and any other compressed) bitmaps: `info` and the `pixelBytes` bytes of data
//   handed whole to the system (CreateDIBitmap), which decodes them into a device bitmap.
// A refusal by the system goes through RaiseBitmapRefused (picture_errors.h).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "pictures/byte_reader.h"
#include "pictures/dib_info.h"

struct TBitmapFile {
    bool empty = true;        // a 0-byte file: an empty bitmap (0 x 0), nothing else is set
    uint32_t headerSize = 0;  // the file's information header size (12, 40, 108, 124, ...)
    int32_t width = 0;        // as the header says (a core header's 16 bits widened)
    uint32_t height = 0;      // the number of rows, whatever their order
    bool topDown = false;     // a negative height in the header: the first row is the top one
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    // Neither BI_RGB nor BI_BITFIELDS: the data goes to the system whole.
    bool compressed = false;
    std::array<uint32_t, 3> masks{};  // red, green, blue; set for BI_BITFIELDS only
    std::vector<TRgbQuad> colours;    // the colour table, 3-byte core entries widened
    // BITMAPINFO for the system: a 40-byte header whatever the file's header form (its height
    // keeps the file's sign, its image size is pixelBytes), the masks for BI_BITFIELDS, then
    // the colour table.
    std::vector<uint8_t> info;
    // The pixel data starts right after the colour table and holds the header's image size
    // (or, when that is 0, the padded row size times the rows), cut to the end of the file.
    uint64_t pixelBytes = 0;
    // ReadBitmap only: those bytes, inside the given file bytes.
    std::span<const uint8_t> pixels;
    // The bytes that an uncompressed DIB of this width, height and depth holds.
    uint64_t dibImageSize = 0;
};

// Reads a bitmap's headers, masks and colour table and leaves the stream at its pixel data.
// A stream with nothing left gives an empty bitmap. Raises EInvalidGraphic "Bitmap image is
// not valid" when the file does not start with "BM" or its planes are not 1, and EReadError
// "Stream read error" when it is shorter than the headers, masks and colour table that it
// announces.
TBitmapFile ReadBitmapHeaders(TReadStream& stream);

// The same for a whole file in memory; also sets `pixels`.
TBitmapFile ReadBitmap(std::span<const uint8_t> file);
