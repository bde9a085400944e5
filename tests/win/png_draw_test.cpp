// Drawing PNG pictures into a device context: the pixels beneath are read back, blended
// with the picture and written again. The destination is a DIB section selected into a
// memory device context, with a known background.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures_test_files.h"
#include "png/png_draw_win.h"
#include "png/png_image.h"

namespace {

using picture_test::Bytes;
using picture_test::MakePng;

TPngImage Decode(const Bytes& file) { return TPngImage::Decode(file.data(), file.size()); }

// A drawing surface of B 50, G 100, R 150 whose pixels read as B | G << 8 | R << 16.
struct TCanvas : picture_test::TCanvas {
    TCanvas(int width, int height) : picture_test::TCanvas(width, height, RGB(150, 100, 50)) {}
    uint32_t At(int x, int y) const {
        const COLORREF c = picture_test::TCanvas::At(x, y);
        return GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16;
    }
    static constexpr uint32_t kBackground = 0x966432;
};

// R 200, G 10, B 0 at alpha 0, 255, 128; white at alpha 1.
const Bytes kRgbaRow = {200, 10, 0, 0, 200, 10, 0, 255, 200, 10, 0, 128, 255, 255, 255, 1};

TEST(PngDrawWin, ColourType6BlendsOverWhatIsBeneath) {
    Bytes samples = kRgbaRow;
    samples.insert(samples.end(), kRgbaRow.rbegin(), kRgbaRow.rend());  // second row: A B G R reversed
    const TPngImage image = Decode(MakePng(4, 2, 6, samples));
    ASSERT_EQ(image.Transparency(), TPngTransparency::Alpha);
    TCanvas canvas(10, 6);
    DrawPngImage(canvas.Dc(), RECT{3, 2, 7, 4}, image);
    EXPECT_EQ(canvas.At(3, 2), TCanvas::kBackground);  // alpha 0
    EXPECT_EQ(canvas.At(4, 2), 0xC80A00u);             // alpha 255: the picture's pixel
    // (a * picture + (255 - a) * beneath + 255) / 256 with a = 128: B 25, G 55, R 175.
    EXPECT_EQ(canvas.At(5, 2), 0xAF3719u);
    // White at alpha 1: B (255 + 254 * 50 + 255) / 256 = 51, G 101, R 150.
    EXPECT_EQ(canvas.At(6, 2), 0x966533u);
    // Second row, first pixel: R 1, G 255, B 255 at alpha 255.
    EXPECT_EQ(canvas.At(3, 3), 0x01FFFFu);
    // Outside the rectangle the surface is as it was.
    for (auto [x, y] : {std::pair{2, 2}, {7, 2}, {3, 1}, {3, 4}, {9, 5}, {0, 0}})
        EXPECT_EQ(canvas.At(x, y), TCanvas::kBackground) << x << ", " << y;
}

TEST(PngDrawWin, ScaledByNearestPixel) {
    const TPngImage image = Decode(MakePng(4, 1, 6, kRgbaRow));
    TCanvas canvas(9, 2);
    // 4 columns across 9: x / 2.25 gives source columns 0 0 0 1 1 2 2 3 3.
    DrawPngImage(canvas.Dc(), RECT{0, 0, 9, 2}, image);
    const uint32_t expected[] = {TCanvas::kBackground,
                                 TCanvas::kBackground,
                                 TCanvas::kBackground,
                                 0xC80A00u,
                                 0xC80A00u,
                                 0xAF3719u,
                                 0xAF3719u,
                                 0x966533u,
                                 0x966533u};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(canvas.At(x, y), expected[x]) << x << ", " << y;
}

TEST(PngDrawWin, OneTransparentColourAndOpaqueCopy) {
    const Bytes rgb = {10, 20, 30, 1, 2, 3};
    const TPngImage keyed = Decode(MakePng(2, 1, 2, rgb, {{"tRNS", {0, 10, 0, 20, 0, 30}}}));
    TCanvas canvas(2, 1);
    DrawPngImage(canvas.Dc(), RECT{0, 0, 2, 1}, keyed);
    EXPECT_EQ(canvas.At(0, 0), TCanvas::kBackground);
    EXPECT_EQ(canvas.At(1, 0), 0x010203u);
    const TPngImage opaque = Decode(MakePng(2, 1, 2, rgb));
    DrawPngImage(canvas.Dc(), RECT{0, 0, 2, 1}, opaque);
    EXPECT_EQ(canvas.At(0, 0), 0x0A141Eu);
}

TEST(PngDrawWin, RectangleBeyondTheSurfaceIsClipped) {
    const TPngImage image = Decode(MakePng(4, 1, 6, kRgbaRow));
    TCanvas canvas(3, 3);
    DrawPngImage(canvas.Dc(), RECT{-2, 1, 2, 2}, image);  // columns 2 and 3 land on x = 0 and 1
    EXPECT_EQ(canvas.At(0, 1), 0xAF3719u);
    EXPECT_EQ(canvas.At(1, 1), 0x966533u);
    EXPECT_EQ(canvas.At(2, 1), TCanvas::kBackground);
    EXPECT_EQ(canvas.At(0, 0), TCanvas::kBackground);
    DrawPngImage(canvas.Dc(), RECT{5, 5, 9, 9}, image);  // wholly outside: nothing happens
    DrawPngImage(canvas.Dc(), RECT{0, 0, 3, 3}, TPngImage());
    EXPECT_EQ(canvas.At(2, 2), TCanvas::kBackground);
}

}  // namespace
