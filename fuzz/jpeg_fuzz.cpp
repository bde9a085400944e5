// Any bytes as a .jpg file: the header read and, for pictures small enough, the full decode
// (24 bits and palette) either succeed or raise EJPEG "JPEG error #%d". A header that reads
// states no more pixels than the program's limit. A decode reports the
// header's size, every row of it unless it failed, and a palette of at most 236 colours.
// Some inputs stop the decode from the progress hook, so that path runs too.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "base/picture_limit.h"
#include "pictures/jpeg_reader.h"

namespace {

constexpr uint64_t kMostPixelsDecoded = uint64_t{1} << 20;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsJpegMessage(const std::string& message) { return message.rfind("JPEG error #", 0) == 0; }

struct TStop {};

void Decode(std::span<const uint8_t> file, const TJpegHeader& header, bool palette, int stopAtRow) {
    TJpegBitmap bitmap;
    const auto hook = [stopAtRow](const TJpegProgress& progress) {
        if (progress.rowsDecoded == stopAtRow) throw TStop();
    };
    try {
        DecodeJpeg(file, {.palette = palette}, bitmap, hook);
    } catch (const EJPEG& e) {
        Check(IsJpegMessage(e.Message()));
        Check(bitmap.rowsDecoded <= bitmap.format.height);
        return;
    } catch (const TStop&) {
        Check(bitmap.rowsDecoded == stopAtRow);
        return;
    }
    Check(bitmap.format.width == header.width && bitmap.format.height == header.height);
    Check(bitmap.rowsDecoded == header.height);
    Check(bitmap.pixels.size() == bitmap.format.stride * static_cast<size_t>(header.height));
    Check(bitmap.format.bitCount == 24 || bitmap.format.palette.size() <= 236);
    if (bitmap.format.bitCount == 8)
        for (size_t row = 0; row < static_cast<size_t>(header.height); ++row)
            for (int x = 0; x < header.width; ++x)
                Check(bitmap.pixels[row * bitmap.format.stride + x] < bitmap.format.palette.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    TJpegHeader header;
    try {
        header = ReadJpegHeader(file);
    } catch (const EJPEG& e) {
        Check(IsJpegMessage(e.Message()));
        return 0;
    }
    Check(header.width > 0 && header.height > 0);
    Check(PictureSizeAllowed(static_cast<uint64_t>(header.width), static_cast<uint64_t>(header.height)));
    if (uint64_t(header.width) * uint64_t(header.height) > kMostPixelsDecoded) return 0;
    const int stopAtRow = size % 7 == 0 ? static_cast<int>(size % 13) : -1;
    Decode(file, header, false, stopAtRow);
    Decode(file, header, true, -1);
    return 0;
}
