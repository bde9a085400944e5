// JPEG through libjpeg (API 62): the header read at load and the one full decode at the first
// drawing. libjpeg's failures leave it through its error manager by longjmp, back into a
// small frame of this module; the C++ exception is raised only after that, so no exception
// ever unwinds through libjpeg's frames. Failures are EJPEG "JPEG error #%d" with libjpeg's
// message code (53: data not starting with the start-of-image marker; 42: empty input; 54,
// libjpeg's "insufficient memory", for a picture of more pixels than the program's limit,
// base/picture_limit.h, refused by the header read and again before a decode allocates);
// warnings are ignored, and a file that ends early decodes as far as it goes, libjpeg
// supplying the rest.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "pictures/dib_info.h"
#include "pictures/picture_errors.h"

struct TJpegHeader {
    int width = 0;  // the frame header's size; the output scale is always 1/1
    int height = 0;
    bool grayscale = false;
    bool progressive = false;
};

// Reads the header only. The caller handles the 0-byte file (it loads as 0 x 0 without a
// header read); given empty data this raises EJPEG with code 42.
TJpegHeader ReadJpegHeader(std::span<const uint8_t> file);

struct TJpegDecodeOptions {
    // Ask for the 8-bit palette output (the display has 8 or fewer bits per pixel).
    // Grayscale files always decode to it.
    bool palette = false;
};

// The decoded bitmap's form, known once libjpeg has started decompressing.
struct TJpegOutputFormat {
    int width = 0;
    int height = 0;
    int bitCount = 24;              // 24: blue, green, red bytes; 8: palette indices
    size_t stride = 0;              // bytes per row: a multiple of 4, as a DIB's rows
    std::vector<TRgbQuad> palette;  // 8 bits: at most 236 entries
    size_t ImageBytes() const { return stride * static_cast<size_t>(height); }
    // BITMAPINFO for these rows: a negative height, since row 0 is the top one.
    std::vector<uint8_t> BitmapInfo() const;
};

// libjpeg's progress counters at one of its progress calls, and the rows of the output that
// are complete at that moment (rows [0, rowsDecoded) of the destination).
struct TJpegProgress {
    long passCounter = 0;
    long passLimit = 0;
    int completedPasses = 0;
    int totalPasses = 0;
    int rowsDecoded = 0;
};

// Gives the memory for the decoded rows (format.ImageBytes() bytes, e.g. a DIB section's
// pixels; ideally zero-filled, since rows that are never decoded are left as they are), or
// throws. Called once, outside libjpeg's frames; a null result raises EOutOfResources
// "Out of system resources".
using TJpegAllocate = std::function<uint8_t*(const TJpegOutputFormat& format)>;
// Called from within libjpeg's progress calls. It may throw: the exception is caught there,
// decoding stops, and the exception is raised again from DecodeJpegInto.
using TJpegProgressHook = std::function<void(const TJpegProgress& progress)>;

// Decodes the whole file once, at scale 1/1 with block smoothing on and libjpeg's defaults
// otherwise (DCT method, dithering, colour quantiser), top row first, into memory from
// `allocate`:
// - 24 bits per pixel, blue-green-red rows;
// - 8 bits per pixel with a palette of at most 236 colours (quantised and dithered) for
//   grayscale files and when options.palette is set;
// - CMYK and YCCK files always give 24 bits: libjpeg outputs CMYK, which is converted to RGB;
//   with an Adobe marker the stored values are taken as inverted (Adobe's convention,
//   R = C x K / 255), else as plain (R = (255 - C) x (255 - K) / 255).
// Returns the number of rows decoded (the height). On a libjpeg error raises EJPEG; the rows
// decoded until then stay in the memory, and rowsDecoded (if given) tells how many.
int DecodeJpegInto(std::span<const uint8_t> file, const TJpegDecodeOptions& options, const TJpegAllocate& allocate,
                   const TJpegProgressHook& progress = {}, int* rowsDecoded = nullptr);

// The same into memory of its own: `bitmap` keeps the format and the rows decoded so far
// also when EJPEG is raised (pixels stays empty when the error came before the output's form
// was known).
struct TJpegBitmap {
    TJpegOutputFormat format;
    std::vector<uint8_t> pixels;
    int rowsDecoded = 0;
};
void DecodeJpeg(std::span<const uint8_t> file, const TJpegDecodeOptions& options, TJpegBitmap& bitmap,
                const TJpegProgressHook& progress = {});
