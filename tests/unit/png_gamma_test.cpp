// The gamma table: v -> round(255 * (v / 255) ^ (1 / (g * 2.2))), g = gAMA / 100000, to
// nearest with ties to even, computed in double precision; no correction without gAMA or
// with 0. The expected values below were worked out separately from the formula; where the
// exact value lies within 0.01 of a half, the double computation decides. Exact halves, which
// would go to the even neighbour, do not occur: no gAMA value from 1 to 20000000 puts any
// sample exactly on a half in double precision, so the tie rule never shows in a table.
#include <gtest/gtest.h>

#include "png/png_convert.h"
#include "png/png_image.h"
#include "../support/libpng_files.h"

using namespace png_test;

namespace {

TEST(PngGamma, TableOfTheAboutPictureValue) {
    uint8_t table[256];
    EXPECT_FALSE(BuildPngGammaTable(45000, table));  // g = 0.45: exponent 1 / 0.99
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], 1);      // 0.9456
    EXPECT_EQ(table[64], 63);    // 63.1126
    EXPECT_EQ(table[128], 127);  // 127.1120
    EXPECT_EQ(table[199], 199);  // 198.5022: just above a half
    EXPECT_EQ(table[200], 200);  // 199.5098
    EXPECT_EQ(table[254], 254);  // 253.9899
    EXPECT_EQ(table[255], 255);
}

TEST(PngGamma, OtherValuesAndNearHalves) {
    uint8_t table[256];
    EXPECT_FALSE(BuildPngGammaTable(100000, table));  // g = 1: exponent 1 / 2.2
    EXPECT_EQ(table[1], 21);                          // 20.5427
    EXPECT_EQ(table[10], 59);                         // 58.5064
    EXPECT_EQ(table[128], 186);                       // 186.4151
    EXPECT_EQ(table[254], 255);                       // 254.5450
    EXPECT_FALSE(BuildPngGammaTable(50000, table));
    EXPECT_EQ(table[238], 239);  // 239.4974: just below a half
    EXPECT_EQ(table[64], 73);    // 72.5702
    EXPECT_FALSE(BuildPngGammaTable(220000, table));
    EXPECT_EQ(table[196], 242);  // 241.5059
    EXPECT_EQ(table[200], 243);  // 242.5161
}

TEST(PngGamma, NoCorrectionForZeroOrAnIdentityTable) {
    uint8_t table[256];
    EXPECT_TRUE(BuildPngGammaTable(0, table));
    for (int v = 0; v < 256; ++v) ASSERT_EQ(table[v], v);
    // g = 0.45455 puts every sample within 0.001 of itself.
    EXPECT_TRUE(BuildPngGammaTable(45455, table));
    for (int v = 0; v < 256; ++v) ASSERT_EQ(table[v], v);
}

// One row of samples of every colour channel, with the given gAMA chunk (or none).
TPicture Samples(int colourType, int bitDepth, const std::vector<uint16_t>& values, bool hasGamma, uint32_t gamma) {
    TPicture picture;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.width = uint32_t(values.size());
    picture.height = 1;
    picture.hasGamma = hasGamma;
    picture.gamma = gamma;
    const int channels = Channels(colourType);
    for (uint16_t v : values)
        for (int c = 0; c < channels; ++c) picture.samples.push_back(c == 3 || (colourType == 4 && c == 1) ? 77 : v);
    return picture;
}

uint8_t Channel(uint32_t pixel, int index) { return uint8_t(pixel >> (8 * index)); }

TEST(PngGamma, AppliedToColourSamplesOfEveryKindNotToAlpha) {
    const std::vector<uint16_t> values = {0, 1, 64, 128, 199, 200, 254, 255};
    const uint8_t corrected[] = {0, 1, 63, 127, 199, 200, 254, 255};
    for (int colourType : {0, 2, 4, 6}) {
        const Bytes file = WritePng(Samples(colourType, 8, values, true, 45000));
        const TPngImage image = TPngImage::Decode(file.data(), file.size());
        EXPECT_TRUE(image.HasGamma());
        EXPECT_EQ(image.GammaValue(), 45000u);
        for (uint32_t x = 0; x < values.size(); ++x) {
            const uint32_t pixel = image.Pixel(x, 0);
            for (int c = 0; c < 3; ++c) EXPECT_EQ(Channel(pixel, c), corrected[x]) << "type " << colourType;
            EXPECT_EQ(Channel(pixel, 3), colourType >= 4 ? 77 : 255);
        }
    }
    // 16-bit samples: their high byte is corrected.
    std::vector<uint16_t> wide;
    for (uint16_t v : values) wide.push_back(uint16_t(v << 8 | 0xFF));
    const Bytes file = WritePng(Samples(2, 16, wide, true, 45000));
    const TPngImage image = TPngImage::Decode(file.data(), file.size());
    for (uint32_t x = 0; x < values.size(); ++x) EXPECT_EQ(Channel(image.Pixel(x, 0), 1), corrected[x]);
}

TEST(PngGamma, AppliedToThePalette) {
    TPicture picture = Samples(3, 8, {0, 1, 2}, true, 100000);
    picture.palette = {{10, 128, 254}, {1, 1, 1}, {255, 0, 64}};
    const Bytes file = WritePng(picture);
    const TPngImage image = TPngImage::Decode(file.data(), file.size());
    EXPECT_EQ(image.Pixel(0, 0), 0xFF3BBAFFu);  // R 59, G 186, B 255
    EXPECT_EQ(image.Pixel(1, 0), 0xFF151515u);
    EXPECT_EQ(image.Pixel(2, 0), 0xFFFF0088u);  // B 136 = 255 * (64 / 255) ^ (1 / 2.2) = 136.03
}

TEST(PngGamma, SamplesUnchangedWithoutTheChunkOrWithZero) {
    const std::vector<uint16_t> values = {1, 64, 128, 200};
    for (bool hasGamma : {false, true}) {
        Bytes file = WritePng(Samples(2, 8, values, false, 0));
        // libpng writes no gAMA of 0: put one in after IHDR, which ends at byte 33.
        const Bytes zero = Chunk("gAMA", {0, 0, 0, 0});
        if (hasGamma) file.insert(file.begin() + 33, zero.begin(), zero.end());
        const TPngImage image = TPngImage::Decode(file.data(), file.size());
        EXPECT_EQ(image.HasGamma(), hasGamma);
        for (uint32_t x = 0; x < values.size(); ++x) EXPECT_EQ(image.Pixel(x, 0), 0xFF000000u | 0x010101u * values[x]);
    }
}

}  // namespace
