// TPngImage: the chunk walk, then the rows of each pass converted straight into the
// picture's final positions.
#include <cstring>
#include <new>

#include "base/picture_limit.h"
#include "png/png_chunks.h"
#include "png/png_convert.h"
#include "png/png_errors.h"
#include "png/png_image.h"
#include "png/png_inflate.h"

namespace {

// Where the pixels of each Adam7 pass sit: first column and row, column and row steps.
struct TPass {
    uint32_t left, top, columnStep, rowStep;
};

constexpr TPass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr TPass kWhole = {0, 0, 1, 1};

uint32_t PassExtent(uint32_t size, uint32_t first, uint32_t step) {
    return size > first ? (size - first + step - 1) / step : 0;
}

// Bytes of a row of width pixels, without the filter type byte.
uint64_t RowBytes(const TPngHeader& header, uint32_t width) {
    const uint64_t bits = uint64_t{width} * PngChannels(header.colourType) * header.bitDepth;
    return (bits + 7) / 8;
}

// Deflate never yields more than 1032 bytes per compressed byte; data shorter than this
// bound cannot hold the image, which is known before anything large is allocated.
constexpr uint64_t kMostInflatedPerByte = 1032;
constexpr uint64_t kInflateSlack = 1024;

}  // namespace

class TPngDecoder {
public:
    static TPngImage Decode(const uint8_t* data, size_t size) {
        const TPngChunks chunks = ReadPngChunks(data, size);
        const TPngHeader& header = chunks.header;
        if (!PictureSizeAllowed(header.width, header.height)) RaisePngOutMemory();
        const bool interlaced = header.interlace == 1;
        const TPass* passes = interlaced ? kAdam7 : &kWhole;
        const int passCount = interlaced ? 7 : 1;

        uint64_t filteredBytes = 0;
        uint64_t maxRowBytes = 0;
        for (int p = 0; p < passCount; ++p) {
            const uint32_t width = PassExtent(header.width, passes[p].left, passes[p].columnStep);
            const uint32_t height = PassExtent(header.height, passes[p].top, passes[p].rowStep);
            if (width == 0 || height == 0) continue;
            const uint64_t rowBytes = RowBytes(header, width);
            filteredBytes += (rowBytes + 1) * height;
            if (rowBytes > maxRowBytes) maxRowBytes = rowBytes;
        }
        if (filteredBytes > chunks.imageDataSize * kMostInflatedPerByte + kInflateSlack) RaisePngMissingMultipleIDAT();

        TPngImage image;
        image.header_ = header;
        image.transparency_ = PngTransparencyOf(chunks);
        image.hasGamma_ = chunks.hasGamma;
        image.gammaValue_ = chunks.gamma;
        const size_t pixelCount = size_t{header.width} * header.height;
        uint32_t* pixels = new (std::nothrow) uint32_t[pixelCount];
        if (pixels == nullptr) RaisePngOutMemory();
        image.pixels_.reset(pixels);

        const TPngRowConverter converter(chunks);
        const unsigned bytesPerPixel = (PngChannels(header.colourType) * header.bitDepth + 7) / 8;
        TPngRowSource rows(chunks.imageData, size_t(maxRowBytes));
        if (!interlaced) {
            const size_t rowBytes = size_t(RowBytes(header, header.width));
            for (uint32_t y = 0; y < header.height; ++y) {
                const uint8_t* raw = rows.NextRow(rowBytes, bytesPerPixel, y == 0);
                converter.Convert(raw, pixels + size_t{y} * header.width, header.width);
            }
            rows.Finish();
            return image;
        }

        // Each pass row is converted into a scratch row, then spread to its columns.
        std::unique_ptr<uint32_t[]> scratch(new (std::nothrow) uint32_t[(header.width + 1) / 2]);
        if (!scratch) RaisePngOutMemory();
        for (const TPass& pass : kAdam7) {
            const uint32_t width = PassExtent(header.width, pass.left, pass.columnStep);
            const uint32_t height = PassExtent(header.height, pass.top, pass.rowStep);
            if (width == 0 || height == 0) continue;
            const size_t rowBytes = size_t(RowBytes(header, width));
            for (uint32_t r = 0; r < height; ++r) {
                const uint8_t* raw = rows.NextRow(rowBytes, bytesPerPixel, r == 0);
                uint32_t* target = pixels + size_t{pass.top + r * pass.rowStep} * header.width + pass.left;
                if (pass.columnStep == 1) {
                    converter.Convert(raw, target, width);
                    continue;
                }
                converter.Convert(raw, scratch.get(), width);
                for (uint32_t i = 0; i < width; ++i) target[size_t{i} * pass.columnStep] = scratch[i];
            }
        }
        rows.Finish();
        return image;
    }
};

TPngHeader TPngImage::ReadHeader(const uint8_t* data, size_t size) { return ReadPngHeader(data, size); }

TPngImage TPngImage::Decode(const uint8_t* data, size_t size) { return TPngDecoder::Decode(data, size); }

uint32_t TPngImage::Pixel(uint32_t x, uint32_t y) const noexcept {
    uint32_t value;
    std::memcpy(&value, Row(y) + size_t{x} * 4, 4);
    return value;
}
