#include "pictures/dib_info.h"

#include <limits>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> BuildBitmapInfo(const TDibHeader& header, std::span<const uint32_t> masks,
                                     std::span<const TRgbQuad> colours) {
    std::vector<uint8_t> info;
    info.reserve(kBitmapInfoHeaderSize + masks.size() * 4 + colours.size() * 4);
    Put32(info, kBitmapInfoHeaderSize);
    Put32(info, static_cast<uint32_t>(header.width));
    Put32(info, static_cast<uint32_t>(header.height));
    Put16(info, header.planes);
    Put16(info, header.bitCount);
    Put32(info, header.compression);
    Put32(info, header.sizeImage);
    Put32(info, static_cast<uint32_t>(header.xPelsPerMeter));
    Put32(info, static_cast<uint32_t>(header.yPelsPerMeter));
    Put32(info, header.clrUsed);
    Put32(info, header.clrImportant);
    for (const uint32_t mask : masks) Put32(info, mask);
    for (const TRgbQuad& colour : colours) {
        info.push_back(colour.blue);
        info.push_back(colour.green);
        info.push_back(colour.red);
        info.push_back(colour.reserved);
    }
    return info;
}

uint64_t DibRowBytes(int64_t width, uint32_t bitCount) {
    if (width <= 0) return 0;
    // width < 2^63 and bitCount < 2^32: the product fits 128 bits.
    const unsigned __int128 bits = static_cast<unsigned __int128>(width) * bitCount;
    const unsigned __int128 bytes = (bits + 31) / 32 * 4;
    return bytes > std::numeric_limits<uint64_t>::max() ? std::numeric_limits<uint64_t>::max()
                                                        : static_cast<uint64_t>(bytes);
}

uint64_t DibImageBytes(int64_t width, uint32_t bitCount, uint64_t rows) {
    const unsigned __int128 bytes = static_cast<unsigned __int128>(DibRowBytes(width, bitCount)) * rows;
    return bytes > std::numeric_limits<uint64_t>::max() ? std::numeric_limits<uint64_t>::max()
                                                        : static_cast<uint64_t>(bytes);
}
