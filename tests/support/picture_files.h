// Picture files made by the tests and the benchmarks themselves, byte by byte: bitmaps, icons,
// metafiles, PNG files assembled chunk by chunk (zlib deflates), and JPEG files written with
// libjpeg's compressor (the program itself never compresses). No test framework and no
// <windows.h>: the unit tests, the tests run under Wine, the monkey and the benchmarks share it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

namespace picture_test {

using Bytes = std::vector<uint8_t>;

// Appends little-endian numbers and text.
struct TWriter {
    Bytes bytes;
    TWriter& U8(unsigned v) {
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    TWriter& U16(unsigned v) { return U8(v & 0xFF).U8(v >> 8 & 0xFF); }
    TWriter& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    TWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    TWriter& Text(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    TWriter& Fill(size_t count, uint8_t value) {
        bytes.insert(bytes.end(), count, value);
        return *this;
    }
    TWriter& Append(std::span<const uint8_t> more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // Writes a number over the four bytes at `at`.
    void U32At(size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

// A bitmap file: 14-byte file header, an information header of the given size (12 for the
// core form), optional masks, colour table and pixel data.
struct TBitmapLayout {
    uint32_t headerSize = 40;
    int32_t width = 4;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks;    // written after a 40-byte header, or into a larger one
    std::vector<uint32_t> colours;  // 0x00RRGGBB; 3 bytes each for the core form
    Bytes pixels;
};

inline Bytes MakeBitmap(const TBitmapLayout& layout) {
    TWriter w;
    w.bytes.reserve(14 + 124 + 4 * (layout.masks.size() + layout.colours.size()) + layout.pixels.size());
    w.Text("BM").U32(0).U32(0).U32(0);
    w.U32(layout.headerSize);
    if (layout.headerSize == 12) {
        w.U16(static_cast<unsigned>(layout.width)).U16(static_cast<unsigned>(layout.height)).U16(layout.planes);
        w.U16(layout.bitCount);
        for (uint32_t c : layout.colours) w.U8(c & 0xFF).U8(c >> 8 & 0xFF).U8(c >> 16 & 0xFF);
    } else {
        w.I32(layout.width).I32(layout.height).U16(layout.planes).U16(layout.bitCount).U32(layout.compression);
        w.U32(layout.sizeImage).I32(2835).I32(2835).U32(layout.clrUsed).U32(0);
        size_t written = 40;
        if (layout.headerSize > 124) {
            // An odd size: the header as far as the fields go, the rest is left out.
        } else if (layout.headerSize >= 52) {
            for (size_t i = 0; i < 3; ++i) w.U32(i < layout.masks.size() ? layout.masks[i] : 0);
            written = 52;
        } else {
            for (uint32_t m : layout.masks) w.U32(m);
        }
        if (layout.headerSize > written && layout.headerSize <= 124) w.Fill(layout.headerSize - written, 0);
        for (uint32_t c : layout.colours) w.U32(c);
    }
    w.U32At(10, static_cast<uint32_t>(w.bytes.size()));  // where the pixels start
    w.Append(layout.pixels);
    w.U32At(2, static_cast<uint32_t>(w.bytes.size()));
    return w.bytes;
}

// A 24-bit bitmap file (bottom-up rows) whose pixel (x, y), y counted from the top, has the
// colour colour(x, y), given as Windows gives colours: 0x00BBGGRR.
template <typename Colour>
Bytes MakeBitmap24(int width, int height, Colour colour) {
    TBitmapLayout layout;
    layout.width = width;
    layout.height = height;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    layout.pixels.assign(stride * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p =
                layout.pixels.data() + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3;
            p[0] = static_cast<uint8_t>(c >> 16);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c);
        }
    return MakeBitmap(layout);
}

inline Bytes SolidBitmap(int width, int height, uint32_t colour) {
    return MakeBitmap24(width, height, [colour](int, int) { return colour; });
}

// One icon directory entry with its image bytes.
struct TIconEntryLayout {
    uint8_t width = 32;
    uint8_t height = 32;
    uint8_t colorCount = 0;
    Bytes image = Bytes(8, 0xAB);
};

// An icon file: header, directory, then the images in order at the offsets the directory
// gives.
inline Bytes MakeIcon(const std::vector<TIconEntryLayout>& entries, uint16_t type = 1) {
    TWriter w;
    w.U16(0).U16(type).U16(static_cast<unsigned>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const auto& e : entries) {
        w.U8(e.width).U8(e.height).U8(e.colorCount).U8(0).U16(1).U16(32);
        w.U32(static_cast<uint32_t>(e.image.size())).U32(offset);
        offset += static_cast<uint32_t>(e.image.size());
    }
    for (const auto& e : entries) w.Append(e.image);
    return w.bytes;
}

// The 22-byte header of a placeable Windows metafile, with the right checksum unless told
// otherwise.
inline Bytes PlaceableHeader(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch,
                             uint16_t checksumFlip = 0) {
    TWriter w;
    w.U32(0x9AC6CDD7).U16(0).U16(static_cast<uint16_t>(left)).U16(static_cast<uint16_t>(top));
    w.U16(static_cast<uint16_t>(right)).U16(static_cast<uint16_t>(bottom)).U16(unitsPerInch).U32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2) checksum ^= static_cast<uint16_t>(w.bytes[i] | w.bytes[i + 1] << 8);
    return w.U16(checksum ^ checksumFlip).bytes;
}

// A placeable Windows metafile: the header and a small standard metafile after it.
inline Bytes MakePlaceableMetafile(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch,
                                   uint16_t checksumFlip = 0) {
    TWriter w{PlaceableHeader(left, top, right, bottom, unitsPerInch, checksumFlip)};
    // METAHEADER (9 words) and the end record.
    w.U16(1).U16(9).U16(0x300).U32(12).U16(0).U32(3).U16(0);
    w.U32(3).U16(0);
    return w.bytes;
}

// An enhanced metafile: a 108-byte header record and the end-of-file record.
struct TEmfLayout {
    int32_t frame[4] = {0, 0, 2540, 1270};
    int32_t devicePixels[2] = {1024, 768};
    int32_t deviceMillimetres[2] = {320, 240};
    int64_t totalBytes = -1;      // the real size unless given
    uint32_t paletteEntries = 0;  // the header's count; the end record holds no palette
};

inline Bytes MakeEnhancedMetafile(const TEmfLayout& layout) {
    TWriter w;
    w.U32(1).U32(108).I32(0).I32(0).I32(99).I32(99);  // type, size, bounds
    for (int32_t v : layout.frame) w.I32(v);
    w.U32(0x464D4520).U32(0x10000).U32(0).U32(2).U16(0).U16(0);  // signature, version, size, records...
    w.U32(0).U32(0).U32(layout.paletteEntries);                  // description, palette entries
    w.I32(layout.devicePixels[0]).I32(layout.devicePixels[1]);
    w.I32(layout.deviceMillimetres[0]).I32(layout.deviceMillimetres[1]);
    w.Fill(108 - w.bytes.size(), 0);
    w.U32(14).U32(20).U32(0).U32(16).U32(20);  // EMR_EOF
    w.U32At(48,
            layout.totalBytes < 0 ? static_cast<uint32_t>(w.bytes.size()) : static_cast<uint32_t>(layout.totalBytes));
    return w.bytes;
}

// A JPEG picture to write: components 1 (gray), 3 (RGB) or 4 (CMYK); the sample of
// component c at (x, y) comes from `sample`.
struct TJpegPicture {
    int width = 37;
    int height = 23;
    int components = 3;
    bool progressive = false;
    int quality = 95;
    bool adobeMarker = true;  // CMYK only: write Adobe's marker (its inverted convention)
    bool ycck = false;        // CMYK only: store as YCCK
    std::function<uint8_t(int x, int y, int c)> sample = [](int x, int y, int c) {
        return static_cast<uint8_t>(c == 0 ? x * 6 : c == 1 ? y * 10 : 128);
    };
};

inline Bytes WriteJpeg(const TJpegPicture& layout) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(layout.width);
    cinfo.image_height = static_cast<JDIMENSION>(layout.height);
    cinfo.input_components = layout.components;
    cinfo.in_color_space = layout.components == 1 ? JCS_GRAYSCALE : layout.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    if (layout.components == 4) jpeg_set_colorspace(&cinfo, layout.ycck ? JCS_YCCK : JCS_CMYK);
    if (layout.components == 4) cinfo.write_Adobe_marker = layout.adobeMarker ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, layout.quality, TRUE);
    if (layout.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(layout.width) * layout.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < layout.width; ++x)
            for (int c = 0; c < layout.components; ++c)
                row[static_cast<size_t>(x) * layout.components + c] = layout.sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes file(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return file;
}

// The JPEG file with its frame header (SOF0 or SOF2) stating another width and height.
inline Bytes WithJpegFrameSize(Bytes file, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            return file;
        }
    throw std::runtime_error("no frame header");
}

// PNG files assembled chunk by chunk.
inline void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

inline Bytes Signature() { return {137, 80, 78, 71, 13, 10, 26, 10}; }

inline Bytes Chunk(const char* type, const Bytes& data) {
    Bytes out(data.size() + 12);
    const auto put = [&out](size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (24 - 8 * i));
    };
    put(0, uint32_t(data.size()));
    std::copy(type, type + 4, out.begin() + 4);
    std::copy(data.begin(), data.end(), out.begin() + 8);
    put(out.size() - 4, uint32_t(crc32(0, out.data() + 4, uInt(data.size() + 4))));
    return out;
}

inline Bytes HeaderData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType, uint8_t compression = 0,
                        uint8_t filter = 0, uint8_t interlace = 0) {
    Bytes data;
    Put32(data, width);
    Put32(data, height);
    data.insert(data.end(), {bitDepth, colourType, compression, filter, interlace});
    return data;
}

inline Bytes Deflate(const Bytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), uLong(raw.size()));
    out.resize(size);
    return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A PNG file of 8-bit samples (rows top first), every row with filter None; the extra chunks
// go before the image data.
inline Bytes MakePng(uint32_t width, uint32_t height, uint8_t colourType, const Bytes& samples,
                     const std::vector<std::pair<const char*, Bytes>>& extra = {}) {
    Bytes out = Concat({Signature(), Chunk("IHDR", HeaderData(width, height, 8, colourType))});
    for (const auto& [type, data] : extra) out = Concat({out, Chunk(type, data)});
    const size_t rowBytes = samples.size() / height;
    Bytes raw;
    for (size_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), samples.begin() + static_cast<ptrdiff_t>(y * rowBytes),
                   samples.begin() + static_cast<ptrdiff_t>((y + 1) * rowBytes));
    }
    return Concat({out, Chunk("IDAT", Deflate(raw)), Chunk("IEND", {})});
}

}  // namespace picture_test
