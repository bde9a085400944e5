#include <gtest/gtest.h>

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "base/format.h"
#include "pictures/byte_reader.h"
#include "pictures/jpeg_reader.h"
#include "pictures_test_support.h"

using picture_test::Bytes;
using picture_test::ExpectFailure;
using picture_test::TJpegPicture;
using picture_test::WithJpegFrameSize;
using picture_test::WriteJpeg;

namespace {

// The 24-bit pixel at (x, y) as red, green, blue.
std::array<int, 3> Rgb(const TJpegBitmap& bitmap, int x, int y) {
    const uint8_t* p = bitmap.pixels.data() + static_cast<size_t>(y) * bitmap.format.stride + 3 * x;
    return {p[2], p[1], p[0]};
}

// The 8-bit pixel at (x, y) through the palette.
std::array<int, 3> PaletteRgb(const TJpegBitmap& bitmap, int x, int y) {
    const TRgbQuad& c = bitmap.format.palette.at(bitmap.pixels[static_cast<size_t>(y) * bitmap.format.stride + x]);
    return {c.red, c.green, c.blue};
}

// The largest difference of any channel between the decoded picture and its source.
int LargestError(const TJpegBitmap& bitmap, const TJpegPicture& layout, bool palette) {
    int largest = 0;
    for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x) {
            const auto got = palette ? PaletteRgb(bitmap, x, y) : Rgb(bitmap, x, y);
            for (int c = 0; c < 3; ++c) {
                const int want = layout.sample(x, y, layout.components == 1 ? 0 : c);
                largest = std::max(largest, std::abs(got[c] - want));
            }
        }
    return largest;
}

// The mean difference per channel over the whole picture, for dithered output.
double MeanError(const TJpegBitmap& bitmap, const TJpegPicture& layout) {
    double sum = 0;
    for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x) {
            const auto got = PaletteRgb(bitmap, x, y);
            for (int c = 0; c < 3; ++c) sum += std::abs(got[c] - layout.sample(x, y, c));
        }
    return sum / (3.0 * layout.width * layout.height);
}

std::string JpegMessage(int code) { return Format("JPEG error #%d", code); }

}  // namespace

TEST(JpegHeader, PictureAboveThePixelLimitIsRefusedAsOutOfMemory) {
    // A file of a few hundred bytes stating 65000 x 65000 (12.7 GB at 24 bits): refused by the
    // header read, and by a decode before it allocates, with libjpeg's "insufficient memory".
    for (const bool progressive : {false, true}) {
        TJpegPicture layout;
        layout.width = layout.height = 16;
        layout.progressive = progressive;
        const Bytes small = WriteJpeg(layout);
        ASSERT_LT(small.size(), 2000u);
        for (const auto& [width, height] : {std::pair<uint16_t, uint16_t>{65000, 65000}, {16384, 16385}}) {
            const Bytes huge = WithJpegFrameSize(small, width, height);
            ExpectFailure([&] { ReadJpegHeader(huge); }, "EJPEG", JpegMessage(JERR_OUT_OF_MEMORY));
            TJpegBitmap bitmap;
            ExpectFailure([&] { DecodeJpeg(huge, {}, bitmap); }, "EJPEG", "JPEG error #54");
            EXPECT_TRUE(bitmap.pixels.empty()) << "nothing allocated";
        }
        // 16384 x 16384 is 2^28 pixels, the limit itself: its header reads.
        EXPECT_EQ(ReadJpegHeader(WithJpegFrameSize(small, 16384, 16384)).height, 16384);
    }
}

TEST(JpegHeader, ReadsSizeGrayscaleAndProgressive) {
    TJpegPicture colour;
    const TJpegHeader header = ReadJpegHeader(WriteJpeg(colour));
    EXPECT_EQ(header.width, 37);
    EXPECT_EQ(header.height, 23);
    EXPECT_FALSE(header.grayscale);
    EXPECT_FALSE(header.progressive);

    TJpegPicture gray;
    gray.components = 1;
    gray.width = 640;
    gray.height = 8;
    EXPECT_TRUE(ReadJpegHeader(WriteJpeg(gray)).grayscale);
    EXPECT_EQ(ReadJpegHeader(WriteJpeg(gray)).width, 640);

    TJpegPicture progressive;
    progressive.progressive = true;
    EXPECT_TRUE(ReadJpegHeader(WriteJpeg(progressive)).progressive);
    EXPECT_FALSE(ReadJpegHeader(WriteJpeg(progressive)).grayscale);
}

TEST(JpegHeader, TextAndEmptyInputGiveLibjpegsCodes) {
    const std::string text = "This is a text file, not a picture.\r\n";
    const Bytes textFile(text.begin(), text.end());
    ExpectFailure([&] { ReadJpegHeader(textFile); }, "EJPEG", "JPEG error #53");
    ExpectFailure([] { ReadJpegHeader({}); }, "EJPEG", "JPEG error #42");
    // EJPEG is an invalid-graphic failure.
    try {
        ReadJpegHeader(textFile);
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.ClassName(), "EJPEG");
    }
    // A start-of-image marker and nothing else: the library's own complaint.
    const Bytes soiOnly = {0xFF, 0xD8};
    try {
        ReadJpegHeader(soiOnly);
        ADD_FAILURE();
    } catch (const EJPEG& e) {
        EXPECT_NE(e.Message(), "JPEG error #53");
        EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u);
    }
}

TEST(JpegDecode, ColourFilesGiveTwentyFourBitRowsCloseToTheSource) {
    const TJpegPicture layout;
    TJpegBitmap bitmap;
    DecodeJpeg(WriteJpeg(layout), {}, bitmap);
    EXPECT_EQ(bitmap.format.width, 37);
    EXPECT_EQ(bitmap.format.height, 23);
    EXPECT_EQ(bitmap.format.bitCount, 24);
    EXPECT_EQ(bitmap.format.stride, 112u);  // 111 bytes padded to 4
    EXPECT_TRUE(bitmap.format.palette.empty());
    EXPECT_EQ(bitmap.rowsDecoded, 23);
    EXPECT_EQ(bitmap.pixels.size(), 112u * 23u);
    EXPECT_LE(LargestError(bitmap, layout, false), 12);

    const Bytes info = bitmap.format.BitmapInfo();
    ASSERT_EQ(info.size(), 40u);
    EXPECT_EQ(static_cast<int32_t>(Le32(info.data() + 8)), -23);  // top row first
    EXPECT_EQ(Le16(info.data() + 14), 24);
}

TEST(JpegDecode, GrayscaleAndPaletteDisplaysGiveAtMost236Colours) {
    TJpegPicture gray;
    gray.components = 1;
    gray.width = 200;
    gray.height = 9;
    gray.sample = [](int x, int, int) { return static_cast<uint8_t>(x + 20); };
    TJpegBitmap bitmap;
    DecodeJpeg(WriteJpeg(gray), {}, bitmap);
    EXPECT_EQ(bitmap.format.bitCount, 8);
    EXPECT_EQ(bitmap.format.stride, 200u);
    EXPECT_LE(bitmap.format.palette.size(), 236u);
    EXPECT_GT(bitmap.format.palette.size(), 100u);
    for (const TRgbQuad& c : bitmap.format.palette) {
        EXPECT_EQ(c.red, c.green);
        EXPECT_EQ(c.red, c.blue);
    }
    EXPECT_LE(LargestError(bitmap, gray, true), 8);
    EXPECT_EQ(Le32(bitmap.format.BitmapInfo().data() + 32), bitmap.format.palette.size());

    TJpegPicture colour;
    colour.width = 64;
    colour.height = 48;
    DecodeJpeg(WriteJpeg(colour), {.palette = true}, bitmap);
    EXPECT_EQ(bitmap.format.bitCount, 8);
    EXPECT_LE(bitmap.format.palette.size(), 236u);
    EXPECT_GT(bitmap.format.palette.size(), 16u);
    EXPECT_EQ(bitmap.rowsDecoded, 48);
    EXPECT_LE(MeanError(bitmap, colour), 8.0);  // quantised and dithered
}

TEST(JpegDecode, CmykAndYcckBecomeRgbByTheirMarker) {
    // The same colour, red 200, green 100, blue 50, stored three ways.
    struct Case {
        bool adobe;
        bool ycck;
        std::array<uint8_t, 4> stored;
    };
    for (const Case c : {Case{true, false, {200, 100, 50, 255}}, Case{true, true, {200, 100, 50, 255}},
                         Case{false, false, {55, 155, 205, 0}}}) {
        TJpegPicture layout;
        layout.components = 4;
        layout.adobeMarker = c.adobe;
        layout.ycck = c.ycck;
        layout.width = 16;
        layout.height = 16;
        layout.sample = [c](int, int, int component) { return c.stored[component]; };
        const Bytes file = WriteJpeg(layout);
        EXPECT_FALSE(ReadJpegHeader(file).grayscale);
        for (bool palette : {false, true}) {
            TJpegBitmap bitmap;
            DecodeJpeg(file, {.palette = palette}, bitmap);
            EXPECT_EQ(bitmap.format.bitCount, 24);
            const auto rgb = Rgb(bitmap, 7, 9);
            EXPECT_NEAR(rgb[0], 200, 4) << c.adobe << c.ycck;
            EXPECT_NEAR(rgb[1], 100, 4) << c.adobe << c.ycck;
            EXPECT_NEAR(rgb[2], 50, 4) << c.adobe << c.ycck;
        }
    }
}

TEST(JpegDecode, TruncatedFilesDecodeAsFarAsTheyGoWithoutError) {
    for (bool progressive : {false, true}) {
        TJpegPicture layout;
        layout.width = 96;
        layout.height = 96;
        layout.progressive = progressive;
        layout.sample = [](int x, int y, int c) { return static_cast<uint8_t>((x * 7 + y * 3 + c * 50) % 256); };
        const Bytes file = WriteJpeg(layout);
        const Bytes cut(file.begin(), file.begin() + static_cast<long>(file.size() * 6 / 10));
        TJpegBitmap bitmap;
        ASSERT_NO_THROW(DecodeJpeg(cut, {}, bitmap)) << progressive;
        EXPECT_EQ(bitmap.rowsDecoded, 96);
        if (!progressive) {
            const auto topLeft = Rgb(bitmap, 1, 1);
            EXPECT_NEAR(topLeft[0], layout.sample(1, 1, 0), 16);
        }
    }
}

TEST(JpegDecode, ErrorsRaiseTheCodeAndKeepWhatWasDecoded) {
    ExpectFailure(
        [] {
            TJpegBitmap bitmap;
            DecodeJpeg({}, {}, bitmap);
        },
        "EJPEG", "JPEG error #42");

    // A progressive file whose first scan asks for an impossible band of coefficients fails
    // before any row is out.
    TJpegPicture layout;
    layout.progressive = true;
    Bytes file = WriteJpeg(layout);
    const uint8_t marker[] = {0xFF, 0xDA};
    const auto sos = std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(sos, file.end());
    const size_t components = sos[4];
    sos[5 + 2 * components + 1] = 5;  // Se of a DC scan must be 0
    TJpegBitmap bitmap;
    ExpectFailure([&] { DecodeJpeg(file, {}, bitmap); }, "EJPEG", JpegMessage(JERR_BAD_PROGRESSION));
    EXPECT_EQ(bitmap.rowsDecoded, 0);
    EXPECT_TRUE(bitmap.pixels.empty());
    // The header alone does not see it.
    EXPECT_TRUE(ReadJpegHeader(file).progressive);
}

TEST(JpegDecode, ProgressHookSeesLibjpegsCountersAndTheRowsDone) {
    for (bool progressive : {false, true}) {
        TJpegPicture layout;
        layout.width = 40;
        layout.height = 30;
        layout.progressive = progressive;
        std::vector<TJpegProgress> calls;
        TJpegBitmap bitmap;
        DecodeJpeg(WriteJpeg(layout), {}, bitmap, [&](const TJpegProgress& p) { calls.push_back(p); });
        ASSERT_FALSE(calls.empty());
        int rows = 0;
        for (const TJpegProgress& p : calls) {
            EXPECT_GE(p.rowsDecoded, rows);
            rows = p.rowsDecoded;
            EXPECT_GT(p.totalPasses, 0);
            EXPECT_LT(p.completedPasses, p.totalPasses);
            EXPECT_LE(p.passCounter, p.passLimit);
        }
        EXPECT_EQ(calls.back().rowsDecoded, 29);  // called before each row
        EXPECT_EQ(calls.back().passLimit, 30);
        if (progressive) {
            EXPECT_GT(calls.back().totalPasses, 1);
        }
    }
}

TEST(JpegDecode, AFailingHookStopsTheDecodeAndKeepsTheRowsDone) {
    TJpegPicture layout;
    layout.width = 16;
    layout.height = 40;
    TJpegBitmap bitmap;
    const auto hook = [](const TJpegProgress& p) {
        if (p.rowsDecoded == 10) throw std::runtime_error("enough");
    };
    EXPECT_THROW(DecodeJpeg(WriteJpeg(layout), {}, bitmap, hook), std::runtime_error);
    EXPECT_EQ(bitmap.rowsDecoded, 10);
    ASSERT_EQ(bitmap.pixels.size(), bitmap.format.stride * 40);
    EXPECT_NE(bitmap.pixels[9 * bitmap.format.stride], 0);  // blue 128 in every decoded pixel
    EXPECT_EQ(bitmap.pixels[10 * bitmap.format.stride], 0);

    // Memory that cannot be had stops it too, before any row.
    const auto refuse = [](const TJpegOutputFormat&) -> uint8_t* { throw EOutOfResources("no bitmap"); };
    ExpectFailure([&] { DecodeJpegInto(WriteJpeg(layout), {}, refuse); }, "EOutOfResources", "no bitmap");
    const auto none = [](const TJpegOutputFormat&) -> uint8_t* { return nullptr; };
    ExpectFailure([&] { DecodeJpegInto(WriteJpeg(layout), {}, none); }, "EOutOfResources", "Out of system resources");
}
