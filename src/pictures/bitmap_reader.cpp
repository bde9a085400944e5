#include "pictures/bitmap_reader.h"

#include <algorithm>

#include "pictures/picture_errors.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kLargestKnownHeader = 124;

// Masks for a bit-field bitmap whose file gives none: 5-5-5 for 16 bits, 8-8-8 for 32.
std::array<uint32_t, 3> DefaultMasks(uint16_t bitCount) {
    if (bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32) return {0xFF0000, 0x00FF00, 0x0000FF};
    return {0, 0, 0};
}

// Reads the information header after its size field. A header of another size than 12 is
// read whole and taken as its bytes followed by zeros: fields beyond its end are 0.
void ReadInfoHeader(TReadStream& stream, TBitmapFile& bitmap, TDibHeader& header) {
    if (bitmap.headerSize == kCoreHeaderSize) {
        header.width = stream.U16();
        header.height = stream.U16();
        header.planes = stream.U16();
        header.bitCount = stream.U16();
        return;
    }
    const uint64_t rest = bitmap.headerSize < 4 ? 0 : uint64_t{bitmap.headerSize} - 4;
    if (rest > stream.Remaining()) RaiseStreamReadError();
    uint8_t raw[kLargestKnownHeader] = {};
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(rest, sizeof raw - 4));
    stream.ReadBuffer(raw + 4, kept);
    stream.Skip(rest - kept);
    header.width = static_cast<int32_t>(Le32(raw + 4));
    header.height = static_cast<int32_t>(Le32(raw + 8));
    header.planes = Le16(raw + 12);
    header.bitCount = Le16(raw + 14);
    header.compression = Le32(raw + 16);
    header.sizeImage = Le32(raw + 20);
    header.xPelsPerMeter = static_cast<int32_t>(Le32(raw + 24));
    header.yPelsPerMeter = static_cast<int32_t>(Le32(raw + 28));
    header.clrUsed = Le32(raw + 32);
    header.clrImportant = Le32(raw + 36);
    // Headers of 52 bytes and more carry the bit-field masks themselves.
    if (bitmap.headerSize >= 52) bitmap.masks = {Le32(raw + 40), Le32(raw + 44), Le32(raw + 48)};
}

// The used-colours count, or when that is 0 (or the header is the core one, which has none)
// 2 to the power of the bits per pixel up to 8 bits, and none for more.
uint64_t ColourTableEntries(const TBitmapFile& bitmap, const TDibHeader& header) {
    if (bitmap.headerSize != kCoreHeaderSize && header.clrUsed != 0) return header.clrUsed;
    return header.bitCount >= 1 && header.bitCount <= 8 ? uint64_t{1} << header.bitCount : 0;
}

void ReadColourTable(TReadStream& stream, TBitmapFile& bitmap, uint64_t entries) {
    const size_t entrySize = bitmap.headerSize == kCoreHeaderSize ? 3 : 4;
    if (entries * entrySize > stream.Remaining()) RaiseStreamReadError();
    std::vector<uint8_t> table(static_cast<size_t>(entries) * entrySize);
    stream.ReadBuffer(table.data(), table.size());
    bitmap.colours.resize(static_cast<size_t>(entries));
    for (size_t i = 0; i < bitmap.colours.size(); ++i) {
        const uint8_t* entry = table.data() + i * entrySize;
        bitmap.colours[i] = {entry[0], entry[1], entry[2], 0};
    }
}

}  // namespace

TBitmapFile ReadBitmapHeaders(TReadStream& stream) {
    TBitmapFile bitmap;
    if (stream.Remaining() == 0) return bitmap;
    bitmap.empty = false;

    uint8_t fileHeader[14];
    stream.ReadBuffer(fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') RaiseInvalidGraphic(kBitmapNotValid);

    bitmap.headerSize = stream.U32();
    TDibHeader header;
    ReadInfoHeader(stream, bitmap, header);
    if (header.planes != 1) RaiseInvalidGraphic(kBitmapNotValid);

    bitmap.width = header.width;
    bitmap.topDown = header.height < 0;
    bitmap.height = bitmap.topDown ? 0u - static_cast<uint32_t>(header.height) : static_cast<uint32_t>(header.height);
    bitmap.bitCount = header.bitCount;
    bitmap.compression = header.compression;
    bitmap.compressed = header.compression != kBiRgb && header.compression != kBiBitFields;

    const bool bitFields = header.compression == kBiBitFields;
    if (!bitFields)
        bitmap.masks = {0, 0, 0};
    else if (bitmap.headerSize == 40 && (header.bitCount == 16 || header.bitCount == 32))
        bitmap.masks = {stream.U32(), stream.U32(), stream.U32()};
    else if (bitmap.headerSize < 52)
        bitmap.masks = DefaultMasks(header.bitCount);

    const uint64_t entries = ColourTableEntries(bitmap, header);
    ReadColourTable(stream, bitmap, entries);

    bitmap.dibImageSize = DibImageBytes(header.width, header.bitCount, bitmap.height);
    const uint64_t announced = header.sizeImage != 0 ? header.sizeImage : bitmap.dibImageSize;
    bitmap.pixelBytes = std::min(announced, stream.Remaining());

    header.sizeImage = static_cast<uint32_t>(std::min<uint64_t>(bitmap.pixelBytes, UINT32_MAX));
    header.clrUsed = static_cast<uint32_t>(entries);
    const auto masks = bitFields ? std::span<const uint32_t>(bitmap.masks) : std::span<const uint32_t>();
    bitmap.info = BuildBitmapInfo(header, masks, bitmap.colours);
    return bitmap;
}

TBitmapFile ReadBitmap(std::span<const uint8_t> file) {
    TByteReader reader(file);
    TBitmapFile bitmap = ReadBitmapHeaders(reader);
    bitmap.pixels = reader.Read(bitmap.pixelBytes);
    return bitmap;
}
