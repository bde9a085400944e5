// The codec's pixels against libpng's, for every colour type, bit depth, interlace method
// and filter, on pictures made here.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "png/png_image.h"
#include "../support/libpng_files.h"

using namespace png_test;

namespace {

uint32_t NextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Smooth gradients with some noise, so that every filter gets chosen somewhere; samples use
// the whole range of the bit depth.
TPicture MakePicture(uint32_t width, uint32_t height, int colourType, int bitDepth, bool interlaced, int filters,
                     bool transparency) {
    TPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.interlaced = interlaced;
    picture.filters = filters;
    const int channels = Channels(colourType);
    const uint32_t maximum = (1u << bitDepth) - 1;
    uint32_t state = 2463534242u ^ (width * 31 + height * 7 + uint32_t(colourType) * 131 + uint32_t(bitDepth));
    picture.samples.resize(size_t{width} * height * channels);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const uint32_t smooth = (x * (c + 1) * 977 + y * 1511 * (3 - c % 3)) % (maximum + 1);
                const uint32_t noise = NextRandom(state) % 5;
                uint32_t value = (NextRandom(state) % 16 == 0) ? NextRandom(state) % (maximum + 1) : smooth + noise;
                if (value > maximum) value = maximum;
                picture.samples[(size_t{y} * width + x) * channels + c] = uint16_t(value);
            }
    if (colourType == 3) {
        const uint32_t entries = maximum + 1 < 200 ? maximum + 1 : 200;  // indices above it are never used
        for (uint32_t i = 0; i < entries; ++i)
            picture.palette.push_back(png_color{uint8_t(NextRandom(state)), uint8_t(i * 5), uint8_t(255 - i)});
        for (uint16_t& index : picture.samples) index = uint16_t(index % entries);
        if (transparency)
            for (uint32_t i = 0; i < entries && i < 40; ++i) picture.paletteAlpha.push_back(uint8_t(i * 37 % 256));
    } else if (transparency && (colourType == 0 || colourType == 2)) {
        // Key on a colour the picture really has.
        picture.hasKey = true;
        const uint16_t* first = &picture.samples[size_t{width} * channels * (height / 2)];
        picture.key.gray = first[0];
        picture.key.red = first[0];
        if (colourType == 2) {
            picture.key.green = first[1];
            picture.key.blue = first[2];
        }
    }
    return picture;
}

void ExpectSameAsLibpng(const TPicture& picture) {
    const Bytes file = WritePng(picture);
    uint32_t width = 0, height = 0;
    const std::vector<uint32_t> expected = DecodeWithLibpng(file, width, height);
    const TPngImage image = TPngImage::Decode(file.data(), file.size());
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    size_t differences = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t ours = image.Pixel(x, y);
            const uint32_t theirs = expected[size_t{y} * width + x];
            if (ours != theirs && ++differences <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << ours << " instead of " << theirs;
        }
    EXPECT_EQ(differences, 0u);
}

using TFormat = std::tuple<int, int>;  // colour type, bit depth

class PngDecodeFormats : public ::testing::TestWithParam<std::tuple<TFormat, bool, bool>> {};

TEST_P(PngDecodeFormats, MatchLibpngAtSeveralSizes) {
    const auto [format, interlaced, transparency] = GetParam();
    const auto [colourType, bitDepth] = format;
    // Sizes below 8 leave some Adam7 passes empty; odd widths end rows inside a byte.
    const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {3, 2}, {5, 9}, {17, 13}, {64, 33}, {301, 7}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        ExpectSameAsLibpng(MakePicture(width, height, colourType, bitDepth, interlaced, PNG_ALL_FILTERS, transparency));
    }
}

const TFormat kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

std::string FormatName(const ::testing::TestParamInfo<std::tuple<TFormat, bool, bool>>& info) {
    const TFormat format = std::get<0>(info.param);
    return "Type" + std::to_string(std::get<0>(format)) + "Depth" + std::to_string(std::get<1>(format)) +
           (std::get<1>(info.param) ? "Adam7" : "Plain") + (std::get<2>(info.param) ? "Trns" : "");
}

INSTANTIATE_TEST_SUITE_P(AllColourTypesAndDepths, PngDecodeFormats,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::Bool(), ::testing::Bool()),
                         FormatName);

class PngDecodeFilters : public ::testing::TestWithParam<int> {};

// Each filter alone, at every pixel size the unfiltering distinguishes (1, 2, 3, 4, 6, 8 bytes).
TEST_P(PngDecodeFilters, EachFilterAtEveryPixelSize) {
    const TFormat formats[] = {{0, 4}, {0, 8}, {4, 8}, {2, 8}, {6, 8}, {2, 16}, {6, 16}};
    for (const auto& [colourType, bitDepth] : formats)
        for (const bool interlaced : {false, true}) {
            SCOPED_TRACE("type " + std::to_string(colourType) + " depth " + std::to_string(bitDepth));
            ExpectSameAsLibpng(MakePicture(45, 23, colourType, bitDepth, interlaced, GetParam(), false));
        }
}

INSTANTIATE_TEST_SUITE_P(Filters, PngDecodeFilters,
                         ::testing::Values(PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG,
                                           PNG_FILTER_PAETH));

TEST(PngDecode, LargePictureSpanningManyWindowsAndIdatChunks) {
    // Rows wider than the inflate window's usual share, and many IDAT chunks.
    ExpectSameAsLibpng(MakePicture(3001, 97, 6, 16, false, PNG_ALL_FILTERS, false));
    ExpectSameAsLibpng(MakePicture(700, 500, 2, 8, true, PNG_ALL_FILTERS, true));
}

TEST(PngDecode, HeaderAndTransparencyReported) {
    struct TCase {
        int colourType, bitDepth;
        bool transparency;
        TPngTransparency expected;
    } cases[] = {
        {0, 8, false, TPngTransparency::Opaque},
        {0, 8, true, TPngTransparency::TransparentColour},
        {2, 16, true, TPngTransparency::TransparentColour},
        {2, 8, false, TPngTransparency::Opaque},
        {3, 8, false, TPngTransparency::Opaque},
        {3, 8, true, TPngTransparency::Alpha},
        {4, 8, false, TPngTransparency::Alpha},
        {6, 16, false, TPngTransparency::Alpha},
    };
    for (const TCase& c : cases) {
        const Bytes file =
            WritePng(MakePicture(12, 34, c.colourType, c.bitDepth, true, PNG_ALL_FILTERS, c.transparency));
        const TPngHeader header = TPngImage::ReadHeader(file.data(), file.size());
        EXPECT_EQ(header.width, 12u);
        EXPECT_EQ(header.height, 34u);
        EXPECT_EQ(header.colourType, c.colourType);
        EXPECT_EQ(header.bitDepth, c.bitDepth);
        EXPECT_EQ(header.interlace, 1);
        EXPECT_EQ(TPngImage::Decode(file.data(), file.size()).Transparency(), c.expected)
            << "type " << c.colourType << " transparency " << c.transparency;
    }
}

TEST(PngDecode, PaletteTransparencyWithOneEntryBelow255IsOneColour) {
    TPicture picture = MakePicture(8, 8, 3, 2, false, PNG_ALL_FILTERS, false);
    const auto modeWith = [&picture](std::vector<uint8_t> alpha) {
        picture.paletteAlpha = std::move(alpha);
        const Bytes file = WritePng(picture);
        return TPngImage::Decode(file.data(), file.size()).Transparency();
    };
    // One entry below 255 (entry 2, whatever its value): that colour is left out.
    EXPECT_EQ(modeWith({255, 255, 128}), TPngTransparency::TransparentColour);
    EXPECT_EQ(modeWith({255, 0, 128}), TPngTransparency::Alpha);  // two below 255
    EXPECT_EQ(modeWith({255, 255}), TPngTransparency::Alpha);     // none below 255
}

}  // namespace
