#include "png/png_chunks.h"

#include <zlib.h>

#include <cstring>

#include "png/png_errors.h"

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

constexpr uint32_t ChunkType(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
           uint32_t(uint8_t(name[3]));
}

constexpr uint32_t kIHDR = ChunkType("IHDR");
constexpr uint32_t kPLTE = ChunkType("PLTE");
constexpr uint32_t kIDAT = ChunkType("IDAT");
constexpr uint32_t kIEND = ChunkType("IEND");
constexpr uint32_t ktRNS = ChunkType("tRNS");
constexpr uint32_t kgAMA = ChunkType("gAMA");

uint32_t ReadBigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint16_t ReadBigEndian16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

struct TChunk {
    uint32_t type;
    const uint8_t* data;
    uint32_t size;
};

// Reads the chunk at offset and checks its CRC; offset moves past it.
TChunk NextChunk(const uint8_t* data, size_t size, size_t& offset) {
    if (size - offset < 8) RaisePngUnexpectedEnd();
    const uint32_t length = ReadBigEndian32(data + offset);
    // Lengths above 2^31 - 1 are not allowed; such a chunk cannot fit in what remains anyway.
    if (length > 0x7FFFFFFFu || size - offset - 8 < uint64_t{length} + 4) RaisePngUnexpectedEnd();
    TChunk chunk{ReadBigEndian32(data + offset + 4), data + offset + 8, length};
    const uint32_t stored = ReadBigEndian32(chunk.data + length);
    const uint32_t computed = uint32_t(crc32(crc32(0, data + offset + 4, 4), chunk.data, length));
    if (stored != computed) RaisePngInvalidCRC();
    offset += size_t{length} + 12;
    return chunk;
}

bool BitDepthAllowed(uint8_t colourType, uint8_t bitDepth) {
    switch (colourType) {
        case 0:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case 3:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case 2:
        case 4:
        case 6:
            return bitDepth == 8 || bitDepth == 16;
        default:
            return false;
    }
}

TPngHeader ParseHeader(const TChunk& chunk) {
    if (chunk.size != 13) RaisePngInvalidIHDR();
    TPngHeader header;
    header.width = ReadBigEndian32(chunk.data);
    header.height = ReadBigEndian32(chunk.data + 4);
    header.bitDepth = chunk.data[8];
    header.colourType = chunk.data[9];
    header.interlace = chunk.data[12];
    if (header.width == 0 || header.height == 0) RaisePngInvalidIHDR();
    if (header.width > 65535 || header.height > 65535) RaisePngSizeExceeds();
    if (!BitDepthAllowed(header.colourType, header.bitDepth)) RaisePngInvalidIHDR();
    if (chunk.data[10] != 0) RaisePngUnknownCompression();
    if (chunk.data[11] != 0) RaisePngInvalidIHDR();  // filter method
    if (header.interlace > 1) RaisePngUnknownInterlace();
    return header;
}

TChunk FirstChunk(const uint8_t* data, size_t size, size_t& offset) {
    if (data == nullptr || size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        RaisePngInvalidFileHeader();
    offset = sizeof kSignature;
    TChunk chunk = NextChunk(data, size, offset);
    if (chunk.type != kIHDR) RaisePngIHDRNotFirst();
    return chunk;
}

void ReadPalette(TPngChunks& chunks, const TChunk& chunk, bool afterImageData) {
    const uint8_t colourType = chunks.header.colourType;
    const uint32_t entries = chunk.size / 3;
    if (chunks.paletteCount != 0 || afterImageData || colourType == 0 || colourType == 4 || chunk.size % 3 != 0 ||
        entries == 0 || entries > 256)
        RaisePngInvalidPalette();
    if (colourType == 3 && entries > (1u << chunks.header.bitDepth)) RaisePngInvalidPalette();
    for (uint32_t i = 0; i < entries; ++i)
        chunks.palette[i] = TPngRgb{chunk.data[i * 3], chunk.data[i * 3 + 1], chunk.data[i * 3 + 2]};
    chunks.paletteCount = int(entries);
}

void ReadTransparency(TPngChunks& chunks, const TChunk& chunk) {
    if (chunk.size > 256) RaisePngInvalidPalette();
    if (chunks.hasTransparency) return;  // only the first one counts
    switch (chunks.header.colourType) {
        case 3: {
            if (chunks.paletteCount == 0) RaisePngInvalidPalette();
            // Kept as the chunk holds it, entries beyond the palette included: they apply to no
            // pixel, yet they count when the drawing is chosen (png_convert.h).
            std::memcpy(chunks.paletteAlpha, chunk.data, chunk.size);
            chunks.paletteAlphaCount = int(chunk.size);
            chunks.hasTransparency = true;
            break;
        }
        case 0:
            if (chunk.size != 2) return;  // malformed ancillary chunk: ignored
            chunks.keyGrey = ReadBigEndian16(chunk.data);
            chunks.hasTransparency = true;
            break;
        case 2:
            if (chunk.size != 6) return;
            chunks.keyRed = ReadBigEndian16(chunk.data);
            chunks.keyGreen = ReadBigEndian16(chunk.data + 2);
            chunks.keyBlue = ReadBigEndian16(chunk.data + 4);
            chunks.hasTransparency = true;
            break;
        default:
            break;  // colour types with an alpha channel take no tRNS
    }
}

}  // namespace

unsigned PngChannels(uint8_t colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

TPngHeader ReadPngHeader(const uint8_t* data, size_t size) {
    size_t offset = 0;
    return ParseHeader(FirstChunk(data, size, offset));
}

TPngChunks ReadPngChunks(const uint8_t* data, size_t size) {
    TPngChunks chunks;
    size_t offset = 0;
    chunks.header = ParseHeader(FirstChunk(data, size, offset));
    bool seenImageData = false;
    for (;;) {
        const TChunk chunk = NextChunk(data, size, offset);
        switch (chunk.type) {
            case kIEND:
                if (!seenImageData) RaisePngNoImageData();
                if (chunks.header.colourType == 3 && chunks.paletteCount == 0) RaisePngInvalidPalette();
                return chunks;
            case kIDAT:
                seenImageData = true;
                if (chunk.size != 0) chunks.imageData.push_back(TPngSpan{chunk.data, chunk.size});
                chunks.imageDataSize += chunk.size;
                break;
            case kIHDR:
                RaisePngInvalidIHDR();
            case kPLTE:
                ReadPalette(chunks, chunk, seenImageData);
                break;
            case ktRNS:
                ReadTransparency(chunks, chunk);
                break;
            case kgAMA:
                if (chunk.size == 4 && !chunks.hasGamma) {
                    chunks.hasGamma = true;
                    chunks.gamma = ReadBigEndian32(chunk.data);
                }
                break;
            default:
                // Bit 5 of the first type byte clear (upper-case letter) marks a critical chunk.
                if ((chunk.type & 0x20000000u) == 0) RaisePngUnknownCriticalChunk();
                break;
        }
    }
}
