#include "pictures/metafile_reader.h"

#include <limits>

#include "pictures/byte_reader.h"
#include "pictures/picture_errors.h"

namespace {

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEnhancedSignature = 0x464D4520;  // " EMF"
constexpr size_t kEnhancedHeaderBytes = 100;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderBytes = 22;
constexpr int kDefaultUnitsPerInch = 96;
constexpr int kHimetricPerInch = 2540;

bool LooksEnhanced(std::span<const uint8_t> file) {
    return file.size() > kEnhancedHeaderBytes && Le32(file.data()) == kEmrHeader &&
           Le32(file.data() + 40) == kEnhancedSignature;
}

TMetafileFile ReadEnhanced(std::span<const uint8_t> file) {
    TMetafileFile metafile;
    metafile.enhanced = true;
    TByteReader reader(file);
    metafile.header = ReadEnhancedHeader(reader.Read(kEnhancedHeaderBytes));
    if (metafile.header.totalBytes < kEnhancedHeaderBytes) RaiseInvalidGraphic(kMetafileNotValid);
    reader.Read(metafile.header.totalBytes - kEnhancedHeaderBytes);
    metafile.data = file.first(metafile.header.totalBytes);
    metafile.size = EnhancedMetafileSize(metafile.header);
    metafile.sizeKnown = true;
    return metafile;
}

TMetafileFile ReadPlaceable(std::span<const uint8_t> file, int screenPixelsPerInch) {
    TByteReader reader(file);
    const auto header = reader.Read(kPlaceableHeaderBytes);
    uint16_t checksum = 0;
    for (size_t word = 0; word < 10; ++word) checksum ^= Le16(header.data() + 2 * word);
    if (Le32(header.data()) != kPlaceableKey || Le16(header.data() + 20) != checksum)
        RaiseInvalidGraphic(kMetafileNotValid);

    TMetafileFile metafile;
    metafile.data = file.subspan(kPlaceableHeaderBytes);
    metafile.boxLeft = static_cast<int16_t>(Le16(header.data() + 6));
    metafile.boxTop = static_cast<int16_t>(Le16(header.data() + 8));
    metafile.boxRight = static_cast<int16_t>(Le16(header.data() + 10));
    metafile.boxBottom = static_cast<int16_t>(Le16(header.data() + 12));
    metafile.unitsPerInch = Le16(header.data() + 14);
    const int units = metafile.unitsPerInch == 0 ? kDefaultUnitsPerInch : metafile.unitsPerInch;
    metafile.boxHimetric = {MulDivRound(metafile.boxRight - metafile.boxLeft, kHimetricPerInch, units),
                            MulDivRound(metafile.boxBottom - metafile.boxTop, kHimetricPerInch, units)};
    if (metafile.unitsPerInch != 0) {
        metafile.size = {MulDivRound(metafile.boxHimetric.cx, screenPixelsPerInch, kHimetricPerInch),
                         MulDivRound(metafile.boxHimetric.cy, screenPixelsPerInch, kHimetricPerInch)};
        metafile.sizeKnown = true;
    }
    return metafile;
}

}  // namespace

TMetafileFile ReadMetafile(std::span<const uint8_t> file, int screenPixelsPerInch) {
    return LooksEnhanced(file) ? ReadEnhanced(file) : ReadPlaceable(file, screenPixelsPerInch);
}

TEnhancedHeader ReadEnhancedHeader(std::span<const uint8_t> data) {
    if (data.size() < 88) RaiseStreamReadError();
    const uint8_t* p = data.data();
    TEnhancedHeader header;
    header.frame = {static_cast<int32_t>(Le32(p + 24)), static_cast<int32_t>(Le32(p + 28)),
                    static_cast<int32_t>(Le32(p + 32)), static_cast<int32_t>(Le32(p + 36))};
    header.totalBytes = Le32(p + 48);
    header.devicePixels = {static_cast<int32_t>(Le32(p + 72)), static_cast<int32_t>(Le32(p + 76))};
    header.deviceMillimetres = {static_cast<int32_t>(Le32(p + 80)), static_cast<int32_t>(Le32(p + 84))};
    return header;
}

TSizeL EnhancedMetafileSize(const TEnhancedHeader& header) {
    const int64_t frameWidth = int64_t{header.frame.right} - header.frame.left;
    const int64_t frameHeight = int64_t{header.frame.bottom} - header.frame.top;
    return {MulDivRound(frameWidth, header.devicePixels.cx, int64_t{header.deviceMillimetres.cx} * 100),
            MulDivRound(frameHeight, header.devicePixels.cy, int64_t{header.deviceMillimetres.cy} * 100)};
}

TSizeL SecondPassExtents(const TRectL& frameOfFirstResult) {
    return {frameOfFirstResult.right, frameOfFirstResult.bottom};
}

int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
    using TWide = unsigned __int128;
    if (c == 0) return 0;
    const __int128 product = static_cast<__int128>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const TWide magnitude = product < 0 ? -static_cast<TWide>(product) : static_cast<TWide>(product);
    const TWide divisor = c < 0 ? -static_cast<TWide>(c) : static_cast<TWide>(c);
    const TWide quotient = (magnitude + divisor / 2) / divisor;
    const TWide limit = negative ? TWide{1} << 31 : TWide{std::numeric_limits<int32_t>::max()};
    if (quotient > limit) return 0;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(quotient) : static_cast<int64_t>(quotient));
}
