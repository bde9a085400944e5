// libpng as the yardstick of the PNG codec's tests and benchmarks: PNG files written by libpng,
// and libpng's decoding in the codec's output form. Files assembled chunk by chunk are in
// picture_files.h, which this brings along.
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "picture_files.h"

namespace png_test {

using namespace picture_test;

// What a test picture looks like; samples are the file's own (up to 16 bits each).
struct TPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    int colourType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    int filters = PNG_ALL_FILTERS;
    // width * height * channels samples, row after row.
    std::vector<uint16_t> samples;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;  // tRNS of palette pictures
    bool hasKey = false;                // tRNS of grey and RGB pictures
    png_color_16 key{};
    bool hasGamma = false;
    uint32_t gamma = 0;
};

inline int Channels(int colourType) {
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

inline void Fail(png_structp, png_const_charp message) { throw std::runtime_error(message); }
inline void Warn(png_structp, png_const_charp) {}

inline void AppendBytes(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// Writes the picture with libpng (deflate level 6, the chosen filters).
inline Bytes WritePng(const TPicture& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn);
    png_infop info = png_create_info_struct(png);
    try {
        png_set_write_fn(png, &out, AppendBytes, nullptr);
        png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
                     picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, picture.filters);
        if (!picture.palette.empty()) png_set_PLTE(png, info, picture.palette.data(), int(picture.palette.size()));
        if (!picture.paletteAlpha.empty())
            png_set_tRNS(png, info, picture.paletteAlpha.data(), int(picture.paletteAlpha.size()), nullptr);
        if (picture.hasKey) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&picture.key));
        if (picture.hasGamma) png_set_gAMA_fixed(png, info, png_fixed_point(picture.gamma));
        png_write_info(png, info);
        const int channels = Channels(picture.colourType);
        const size_t rowBytes = (size_t{picture.width} * channels * picture.bitDepth + 7) / 8;
        std::vector<Bytes> rows(picture.height, Bytes(rowBytes));
        for (uint32_t y = 0; y < picture.height; ++y) {
            const uint16_t* s = &picture.samples[size_t{y} * picture.width * channels];
            Bytes& row = rows[y];
            for (size_t i = 0; i < size_t{picture.width} * channels; ++i) {
                if (picture.bitDepth == 16) {
                    row[i * 2] = uint8_t(s[i] >> 8);
                    row[i * 2 + 1] = uint8_t(s[i]);
                } else if (picture.bitDepth == 8) {
                    row[i] = uint8_t(s[i]);
                } else {
                    const size_t bit = i * picture.bitDepth;
                    row[bit / 8] |= uint8_t(s[i] << (8 - picture.bitDepth - bit % 8));
                }
            }
        }
        std::vector<png_bytep> pointers;
        for (Bytes& row : rows) pointers.push_back(row.data());
        png_write_image(png, pointers.data());
        png_write_end(png, info);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

struct TReader {
    const Bytes* data;
    size_t offset;
};

inline void ReadBytes(png_structp png, png_bytep out, size_t size) {
    auto* reader = static_cast<TReader*>(png_get_io_ptr(png));
    if (reader->data->size() - reader->offset < size) png_error(png, "read past the end");
    std::memcpy(out, reader->data->data() + reader->offset, size);
    reader->offset += size;
}

// Asks libpng for the codec's output form (see DecodeWithLibpng), after png_read_info.
inline void AskForCodecOutput(png_structp png) {
    png_set_expand(png);
    png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
}

// libpng's decoding in the codec's output form: palette expanded, tRNS turned into alpha,
// grey turned into RGB, 16-bit samples reduced to their high byte, B G R A order, no gamma.
inline std::vector<uint32_t> DecodeWithLibpng(const Bytes& file, uint32_t& width, uint32_t& height) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn);
    png_infop info = png_create_info_struct(png);
    std::vector<uint32_t> pixels;
    TReader reader{&file, 0};
    try {
        png_set_read_fn(png, &reader, ReadBytes);
        png_read_info(png, info);
        AskForCodecOutput(png);
        png_read_update_info(png, info);
        width = png_get_image_width(png, info);
        height = png_get_image_height(png, info);
        if (png_get_rowbytes(png, info) != size_t{width} * 4) throw std::runtime_error("unexpected row size");
        pixels.resize(size_t{width} * height);
        std::vector<png_bytep> rows(height);
        for (uint32_t y = 0; y < height; ++y) rows[y] = reinterpret_cast<png_bytep>(&pixels[size_t{y} * width]);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels;
}

}  // namespace png_test
