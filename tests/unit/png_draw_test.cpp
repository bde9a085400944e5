// Drawing decoded pictures onto a BGRA surface: blending, the one transparent colour, the
// opaque copy, nearest-pixel scaling and clipping, and resizing by area. Expected values are
// worked out by hand.
#include "png/png_draw.h"

#include <gtest/gtest.h>

#include <vector>

#include "png/png_image.h"
#include "png/png_resize.h"
#include "../support/libpng_files.h"

using namespace png_test;

namespace {

// A surface whose every pixel is B 50, G 100, R 150 and a fourth byte of 77.
struct TSurface {
    int32_t width, height;
    std::vector<uint8_t> bits;
    TSurface(int32_t w, int32_t h) : width(w), height(h), bits(size_t(w) * h * 4) {
        for (size_t i = 0; i < bits.size(); i += 4) {
            bits[i] = 50;
            bits[i + 1] = 100;
            bits[i + 2] = 150;
            bits[i + 3] = 77;
        }
    }
    TBgraSurface View() { return TBgraSurface{bits.data(), width, height, ptrdiff_t{width} * 4}; }
    // B, G, R, fourth byte, packed like the codec's pixels.
    uint32_t At(int32_t x, int32_t y) const {
        const uint8_t* p = &bits[(size_t(y) * width + x) * 4];
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
};

constexpr uint32_t kBackground = 0x4D966432u;  // 77, R 150, G 100, B 50

TPngImage DecodePicture(const TPicture& picture) {
    const Bytes file = WritePng(picture);
    return TPngImage::Decode(file.data(), file.size());
}

TPicture Row(int colourType, int bitDepth, std::vector<uint16_t> samples) {
    TPicture picture;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.width = uint32_t(samples.size() / Channels(colourType));
    picture.height = 1;
    picture.samples = std::move(samples);
    return picture;
}

TEST(PngDraw, BlendingAtNoneFullAndMiddleAlpha) {
    // R 200, G 10, B 0 at alpha 0, 255, 128, 1.
    const TPngImage image =
        DecodePicture(Row(6, 8, {200, 10, 0, 0, 200, 10, 0, 255, 200, 10, 0, 128, 255, 255, 255, 1}));
    ASSERT_EQ(image.Transparency(), TPngTransparency::Alpha);
    TSurface surface(4, 1);
    DrawPngImage(image, surface.View(), 0, 0, 4, 1);
    EXPECT_EQ(surface.At(0, 0), kBackground);  // alpha 0 leaves the surface
    EXPECT_EQ(surface.At(1, 0), 0x4DC80A00u);  // alpha 255 copies; the fourth byte stays
    // B (0 * 128 + 50 * 127 + 255) / 256 = 25, G (10 * 128 + 100 * 127 + 255) / 256 = 55,
    // R (200 * 128 + 150 * 127 + 255) / 256 = 175.
    EXPECT_EQ(surface.At(2, 0), 0x4DAF3719u);
    // White at alpha 1: (255 + 254 * v + 255) / 256 for v = 50, 100, 150 gives 51, 101, 150.
    EXPECT_EQ(surface.At(3, 0), 0x4D966533u);
}

TEST(PngDraw, BlendFormulaEnds) {
    for (int picture = 0; picture < 256; ++picture)
        for (int beneath = 0; beneath < 256; ++beneath) {
            ASSERT_EQ(BlendPngChannel(uint8_t(picture), uint8_t(beneath), 0), beneath);
            ASSERT_EQ(BlendPngChannel(uint8_t(picture), uint8_t(beneath), 255), picture);
        }
    EXPECT_EQ(BlendPngChannel(255, 0, 1), 1);     // (255 + 0 + 255) / 256
    EXPECT_EQ(BlendPngChannel(0, 255, 254), 1);   // (0 + 255 + 255) / 256
    EXPECT_EQ(BlendPngChannel(100, 0, 128), 50);  // (12800 + 255) / 256
}

TEST(PngDraw, GreyAlphaAndPaletteAlphaBlendToo) {
    TSurface surface(2, 1);
    DrawPngImage(DecodePicture(Row(4, 8, {200, 128, 0, 255})), surface.View(), 0, 0, 2, 1);
    // B (200 * 128 + 50 * 127 + 255) / 256 = 125, G (25600 + 12700 + 255) / 256 = 150,
    // R (25600 + 19050 + 255) / 256 = 175.
    EXPECT_EQ(surface.At(0, 0), 0x4DAF967Du);
    EXPECT_EQ(surface.At(1, 0), 0x4D000000u);
    TPicture palette = Row(3, 8, {0, 1});
    palette.palette = {{200, 200, 200}, {0, 0, 0}};
    palette.paletteAlpha = {128, 0};  // two entries below 255: blended
    TSurface other(2, 1);
    DrawPngImage(DecodePicture(palette), other.View(), 0, 0, 2, 1);
    EXPECT_EQ(other.At(0, 0), 0x4DAF967Du);
    EXPECT_EQ(other.At(1, 0), kBackground);
}

TEST(PngDraw, TransparencyEntriesCountAsTheChunkHoldsThem) {
    // A palette of two whose tRNS holds three entries: {255, 128, 0} has two below 255, so the
    // picture is blended, although the palette's own two entries have only one below 255.
    const Bytes indices = {0, 0, 1};  // filter None, indices 0 and 1
    const auto file = [&](const Bytes& alpha) {
        return Concat({Signature(), Chunk("IHDR", HeaderData(2, 1, 8, 3)), Chunk("PLTE", {200, 200, 200, 0, 0, 0}),
                       Chunk("tRNS", alpha), Chunk("IDAT", Deflate(indices)), Chunk("IEND", {})});
    };
    const Bytes three = file({255, 128, 0});
    const TPngImage blended = TPngImage::Decode(three.data(), three.size());
    ASSERT_EQ(blended.Transparency(), TPngTransparency::Alpha);
    TSurface surface(2, 1);
    DrawPngImage(blended, surface.View(), 0, 0, 2, 1);
    EXPECT_EQ(surface.At(0, 0), 0x4DC8C8C8u);  // alpha 255: copied
    // Black at alpha 128: B (50 * 127 + 255) / 256 = 25, G (100 * 127 + 255) / 256 = 50,
    // R (150 * 127 + 255) / 256 = 75.
    EXPECT_EQ(surface.At(1, 0), 0x4D4B3219u);
    // The same palette with a chunk of two: one entry below 255, left out entirely.
    const Bytes two = file({255, 128});
    const TPngImage keyed = TPngImage::Decode(two.data(), two.size());
    ASSERT_EQ(keyed.Transparency(), TPngTransparency::TransparentColour);
    TSurface other(2, 1);
    DrawPngImage(keyed, other.View(), 0, 0, 2, 1);
    EXPECT_EQ(other.At(1, 0), kBackground);
    // Entries beyond the palette count even when they alone are below 255.
    const Bytes beyond = file({255, 255, 7, 9});
    EXPECT_EQ(TPngImage::Decode(beyond.data(), beyond.size()).Transparency(), TPngTransparency::Alpha);
}

TEST(PngDraw, OneTransparentColourIsLeftOutTheRestCopied) {
    TPicture rgb = Row(2, 8, {10, 20, 30, 1, 2, 3, 10, 20, 31});
    rgb.hasKey = true;
    rgb.key.red = 10;
    rgb.key.green = 20;
    rgb.key.blue = 30;
    const TPngImage keyed = DecodePicture(rgb);
    ASSERT_EQ(keyed.Transparency(), TPngTransparency::TransparentColour);
    TSurface surface(3, 1);
    DrawPngImage(keyed, surface.View(), 0, 0, 3, 1);
    EXPECT_EQ(surface.At(0, 0), kBackground);
    EXPECT_EQ(surface.At(1, 0), 0x4D010203u);
    EXPECT_EQ(surface.At(2, 0), 0x4D0A141Fu);

    // A palette whose only entry below 255 has alpha 200: left out entirely, not blended.
    TPicture palette = Row(3, 8, {0, 1, 2});
    palette.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    palette.paletteAlpha = {255, 200};
    const TPngImage single = DecodePicture(palette);
    ASSERT_EQ(single.Transparency(), TPngTransparency::TransparentColour);
    TSurface other(3, 1);
    DrawPngImage(single, other.View(), 0, 0, 3, 1);
    EXPECT_EQ(other.At(0, 0), 0x4D010101u);
    EXPECT_EQ(other.At(1, 0), kBackground);
    EXPECT_EQ(other.At(2, 0), 0x4D030303u);
}

TEST(PngDraw, OpaquePicturesAreCopied) {
    const TPngImage image = DecodePicture(Row(0, 16, {0x1234, 0xFFFF}));
    ASSERT_EQ(image.Transparency(), TPngTransparency::Opaque);
    TSurface surface(2, 1);
    DrawPngImage(image, surface.View(), 0, 0, 2, 1);
    EXPECT_EQ(surface.At(0, 0), 0x4D121212u);
    EXPECT_EQ(surface.At(1, 0), 0x4DFFFFFFu);
}

// A picture of width x 1 whose column i is grey i.
TPngImage Columns(uint16_t width) {
    std::vector<uint16_t> samples;
    for (uint16_t i = 0; i < width; ++i) samples.push_back(i);
    return DecodePicture(Row(0, 8, samples));
}

std::vector<int> DrawnColumns(const TPngImage& image, int32_t destWidth) {
    TSurface surface(destWidth, 1);
    DrawPngImage(image, surface.View(), 0, 0, destWidth, 1);
    std::vector<int> shown;
    for (int32_t x = 0; x < destWidth; ++x) shown.push_back(int(surface.At(x, 0) & 0xFF));
    return shown;
}

TEST(PngDraw, NearestPixelColumns) {
    // Column x shows trunc(x / (7 / 3)): 0, 0.43, 0.86, 1.29, 1.71, 2.14, 2.57.
    EXPECT_EQ(DrawnColumns(Columns(3), 7), (std::vector<int>{0, 0, 0, 1, 1, 2, 2}));
    // Shrinking 10 to 4: x / 0.4 = 0, 2.5, 5, 7.5.
    EXPECT_EQ(DrawnColumns(Columns(10), 4), (std::vector<int>{0, 2, 5, 7}));
    // 14 across 18: 18 / 14 in double is a little above 9 / 7, so column 9 shows source 6
    // (9 / 1.2857142857142858 = 6.999999999999999), not 7 as exact arithmetic would give.
    const std::vector<int> shown = DrawnColumns(Columns(14), 18);
    EXPECT_EQ(shown[9], 6);
    EXPECT_EQ(shown[10], 7);
    EXPECT_EQ(shown[17], 13);
    EXPECT_EQ(PngSourceIndex(9, 18, 14), 6u);
    EXPECT_EQ(PngSourceIndex(35, 42, 18), 14u);  // 14.999999999999998
}

TEST(PngDraw, NearestPixelRows) {
    std::vector<uint16_t> samples;
    for (uint16_t i = 0; i < 14; ++i) samples.push_back(uint16_t(i * 10));
    TPicture column = Row(0, 8, samples);
    column.width = 1;
    column.height = 14;
    const TPngImage image = DecodePicture(column);
    TSurface surface(1, 18);
    DrawPngImage(image, surface.View(), 0, 0, 1, 18);
    EXPECT_EQ(surface.At(0, 9) & 0xFF, 60u);
    EXPECT_EQ(surface.At(0, 17) & 0xFF, 130u);
}

TEST(PngDraw, ClippedToTheSurface) {
    const TPngImage image = Columns(4);
    TSurface surface(3, 2);
    // The rectangle starts 2 columns left of and 1 row below the surface's corner.
    DrawPngImage(image, surface.View(), -2, 1, 4, 1);
    EXPECT_EQ(surface.At(0, 1), 0x4D020202u);
    EXPECT_EQ(surface.At(1, 1), 0x4D030303u);
    EXPECT_EQ(surface.At(2, 1), kBackground);
    EXPECT_EQ(surface.At(0, 0), kBackground);
    // Wholly outside, or empty: nothing drawn.
    DrawPngImage(image, surface.View(), 3, 0, 4, 1);
    DrawPngImage(image, surface.View(), 0, 0, 0, 2);
    DrawPngImage(TPngImage(), surface.View(), 0, 0, 3, 2);
    EXPECT_EQ(surface.At(0, 0), kBackground);
    EXPECT_EQ(surface.At(2, 0), kBackground);
}

}  // namespace

TEST(PngResize, AreaAverageWithColoursWeightedByAlpha) {
    // Halved: black and (200, 100, 50) average; red beside transparent blue stays red at alpha
    // 127.5, rounded. 3 to 2: the middle pixel gives half to each side, (0 + 45) / 1.5 = 30.
    const TPngImage halved =
        ResizePngImage(DecodePicture(Row(6, 8, {0, 0, 0, 255, 200, 100, 50, 255, 255, 0, 0, 255, 0, 0, 255, 0})), 2, 1);
    const TPngImage thirds =
        ResizePngImage(DecodePicture(Row(6, 8, {0, 0, 0, 255, 90, 0, 0, 255, 180, 0, 0, 255})), 2, 1);
    EXPECT_EQ(std::vector<uint32_t>({halved.Pixel(0, 0), halved.Pixel(1, 0), thirds.Pixel(0, 0), thirds.Pixel(1, 0)}),
              std::vector<uint32_t>({0xFF643219u, 0x80FF0000u, 0xFF1E0000u, 0xFF960000u}));
}
