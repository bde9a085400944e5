// Any bytes as a .bmp file: the reader either describes the bitmap or raises one of its two
// failure kinds with its exact message. A description must be self-consistent: its pixel data
// lies inside the file right after the headers and tables, and its BITMAPINFO block holds the
// 40-byte header, the masks of a bit-field bitmap and the colour table.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pictures/bitmap_reader.h"
#include "pictures/picture_errors.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ReadOne(const uint8_t* data, size_t size) {
    TBitmapFile bitmap;
    try {
        bitmap = ReadBitmap({data, size});
    } catch (const EReadError& e) {
        Check(e.Message() == kStreamReadError);
        return;
    } catch (const EInvalidGraphic& e) {
        Check(e.Message() == kBitmapNotValid && std::string(e.ClassName()) == "EInvalidGraphic");
        return;
    }
    if (bitmap.empty) {
        Check(size == 0);
        return;
    }
    Check(size >= 14 + 4 && data[0] == 'B' && data[1] == 'M');
    const bool bitFields = bitmap.compression == kBiBitFields;
    Check(bitmap.info.size() == 40 + (bitFields ? 12 : 0) + 4 * bitmap.colours.size());
    Check(Le32(bitmap.info.data()) == 40 && Le16(bitmap.info.data() + 12) == 1);
    Check(Le32(bitmap.info.data() + 20) == bitmap.pixels.size());
    Check(bitmap.pixels.size() == bitmap.pixelBytes);
    Check(bitmap.pixels.data() + bitmap.pixels.size() <= data + size);
    Check(static_cast<size_t>(bitmap.pixels.data() - data) >= 14 + bitmap.headerSize);
    Check(bitmap.compressed == (bitmap.compression != kBiRgb && !bitFields));
    // The pixel data is the header's image size, or the DIB's size when that is 0, and runs to
    // the file's end when the file is shorter.
    // A header shorter than 24 bytes holds the image size only in part, followed by zeros.
    uint8_t field[4] = {};
    for (size_t i = 0; i < 4; ++i)
        if (bitmap.headerSize != 12 && 20 + i < bitmap.headerSize) field[i] = data[14 + 20 + i];
    const uint32_t sizeImage = Le32(field);
    const uint64_t announced = sizeImage != 0 ? sizeImage : bitmap.dibImageSize;
    Check(bitmap.pixels.size() <= announced);
    if (bitmap.pixels.size() < announced) Check(bitmap.pixels.data() + bitmap.pixels.size() == data + size);
    // Touch every byte handed on, as a DIB section copy would.
    uint8_t sum = 0;
    for (uint8_t byte : bitmap.pixels) sum = static_cast<uint8_t>(sum + byte);
    for (uint8_t byte : bitmap.info) sum = static_cast<uint8_t>(sum ^ byte);
    volatile uint8_t sink = sum;
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadOne(data, size);
    // The same with a "BM" signature, so that mutations spend their time past it.
    if (size >= 2 && (data[0] != 'B' || data[1] != 'M')) {
        std::string fixed(reinterpret_cast<const char*>(data), size);
        fixed[0] = 'B';
        fixed[1] = 'M';
        ReadOne(reinterpret_cast<const uint8_t*>(fixed.data()), fixed.size());
    }
    return 0;
}
