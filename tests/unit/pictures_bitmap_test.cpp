#include <gtest/gtest.h>

#include "pictures/bitmap_reader.h"
#include "pictures/picture_errors.h"
#include "pictures_test_support.h"

using picture_test::Bytes;
using picture_test::ExpectFailure;
using picture_test::MakeBitmap;
using picture_test::TBitmapLayout;

namespace {

uint32_t InfoField(const TBitmapFile& bitmap, size_t offset) { return Le32(bitmap.info.data() + offset); }

// A bitmap file and what the reader makes of it; the description's pixels point into the
// file, so both are kept together.
struct TLoaded {
    Bytes file;
    TBitmapFile bitmap;
};

TLoaded Load(const TBitmapLayout& layout) {
    TLoaded loaded{MakeBitmap(layout), {}};
    loaded.bitmap = ReadBitmap(loaded.file);
    return loaded;
}

// 4 x 2 pixels at 24 bits: rows of 12 bytes.
TBitmapLayout Rgb4x2() {
    TBitmapLayout layout;
    for (int i = 0; i < 24; ++i) layout.pixels.push_back(static_cast<uint8_t>(i + 1));
    return layout;
}

}  // namespace

TEST(BitmapReader, ZeroBytesIsAnEmptyBitmap) {
    const TBitmapFile bitmap = ReadBitmap({});
    EXPECT_TRUE(bitmap.empty);
    EXPECT_EQ(bitmap.width, 0);
    EXPECT_EQ(bitmap.height, 0u);
    EXPECT_TRUE(bitmap.info.empty());
}

TEST(BitmapReader, RejectsAMissingSignatureAndPlanesOtherThanOne) {
    Bytes noSignature = MakeBitmap(Rgb4x2());
    noSignature[1] = 'A';
    ExpectFailure([&] { ReadBitmap(noSignature); }, "EInvalidGraphic", "Bitmap image is not valid");
    Bytes textFile(40, 'x');
    ExpectFailure([&] { ReadBitmap(textFile); }, "EInvalidGraphic", "Bitmap image is not valid");
    for (uint16_t planes : {0, 2}) {
        TBitmapLayout layout = Rgb4x2();
        layout.planes = planes;
        ExpectFailure([&] { ReadBitmap(MakeBitmap(layout)); }, "EInvalidGraphic", "Bitmap image is not valid");
        layout.headerSize = 12;
        ExpectFailure([&] { ReadBitmap(MakeBitmap(layout)); }, "EInvalidGraphic", "Bitmap image is not valid");
    }
}

TEST(BitmapReader, AFileShorterThanItsHeadersOrTablesIsAReadError) {
    TBitmapLayout paletted;
    paletted.bitCount = 8;
    paletted.colours.assign(256, 0x102030);
    const Bytes full = MakeBitmap(paletted);
    // Cut inside the file header, the information header and the colour table; "BM" alone
    // is short too.
    for (size_t length :
         {size_t{1}, size_t{2}, size_t{13}, size_t{14}, size_t{17}, size_t{30}, size_t{53}, size_t{54 + 1023}}) {
        const Bytes cut(full.begin(), full.begin() + static_cast<long>(length));
        SCOPED_TRACE(length);
        ExpectFailure([&] { ReadBitmap(cut); }, "EReadError", "Stream read error");
    }
    // A huge header size or colour count does not run past the end either.
    TBitmapLayout hugeHeader = Rgb4x2();
    hugeHeader.headerSize = 0xFFFFFFF0;
    ExpectFailure([&] { ReadBitmap(MakeBitmap(hugeHeader)); }, "EReadError", "Stream read error");
    TBitmapLayout hugeTable = Rgb4x2();
    hugeTable.clrUsed = 0xFFFFFFFF;
    ExpectFailure([&] { ReadBitmap(MakeBitmap(hugeTable)); }, "EReadError", "Stream read error");
    // Bit-field masks announced but missing.
    TBitmapLayout masks;
    masks.bitCount = 16;
    masks.compression = kBiBitFields;
    masks.masks = {0xF800, 0x07E0, 0x001F};
    const Bytes withMasks = MakeBitmap(masks);
    ExpectFailure([&] { ReadBitmap(Bytes(withMasks.begin(), withMasks.begin() + 58)); }, "EReadError",
                  "Stream read error");
}

TEST(BitmapReader, HeaderFormsAllGiveTheSameFortyByteDescription) {
    TBitmapLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bitCount = 1;
    layout.colours = {0x000000, 0xFF8040};
    layout.pixels = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};
    Bytes reference;
    for (uint32_t headerSize : {12u, 40u, 108u, 124u}) {
        layout.headerSize = headerSize;
        const Bytes file = MakeBitmap(layout);
        const TBitmapFile bitmap = ReadBitmap(file);
        EXPECT_FALSE(bitmap.empty);
        EXPECT_EQ(bitmap.headerSize, headerSize);
        EXPECT_EQ(bitmap.width, 3);
        EXPECT_EQ(bitmap.height, 2u);
        EXPECT_EQ(bitmap.bitCount, 1);
        ASSERT_EQ(bitmap.colours.size(), 2u) << headerSize;
        EXPECT_EQ(bitmap.colours[1], (TRgbQuad{0x40, 0x80, 0xFF, 0})) << headerSize;
        EXPECT_EQ(Bytes(bitmap.pixels.begin(), bitmap.pixels.end()), layout.pixels) << headerSize;
        EXPECT_EQ(bitmap.pixels.data(), file.data() + file.size() - 8) << headerSize;
        ASSERT_EQ(bitmap.info.size(), 40u + 2 * 4) << headerSize;
        EXPECT_EQ(InfoField(bitmap, 0), 40u);
        if (reference.empty()) reference = bitmap.info;
        // The pixels-per-metre fields are the only ones the core form does not carry.
        Bytes info = bitmap.info;
        std::fill(info.begin() + 24, info.begin() + 32, 0);
        Bytes expected = reference;
        std::fill(expected.begin() + 24, expected.begin() + 32, 0);
        EXPECT_EQ(info, expected) << headerSize;
    }
}

TEST(BitmapReader, AnOddHeaderSizeIsReadWholeAndZeroFilled) {
    // 16 bytes: size, width, height, planes and bits per pixel; no compression or colour count.
    picture_test::TWriter w;
    w.Text("BM").U32(0).U32(0).U32(0).U32(16).I32(2).I32(1).U16(1).U16(24);
    w.Fill(8, 0x77);
    const TBitmapFile bitmap = ReadBitmap(w.bytes);
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.compression, kBiRgb);
    EXPECT_TRUE(bitmap.colours.empty());
    EXPECT_EQ(bitmap.pixels.data(), w.bytes.data() + 30);
    EXPECT_EQ(bitmap.pixels.size(), 8u);
    EXPECT_EQ(InfoField(bitmap, 0), 40u);
    // A header cut inside its image size field keeps the bytes it has.
    picture_test::TWriter partial;
    partial.Text("BM").U32(0).U32(0).U32(0).U32(22).I32(2).I32(1).U16(1).U16(24).U32(0).U16(3);
    partial.Fill(8, 0x77);
    EXPECT_EQ(ReadBitmap(partial.bytes).pixels.size(), 3u);
}

TEST(BitmapReader, BitFieldMasksComeAfterAFortyByteHeaderOrFromTheLargerHeaders) {
    TBitmapLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.bitCount = 16;
    layout.compression = kBiBitFields;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    layout.pixels = {1, 2, 3, 4};
    for (uint32_t headerSize : {40u, 108u, 124u}) {
        layout.headerSize = headerSize;
        const TLoaded loaded = Load(layout);
        const TBitmapFile& bitmap = loaded.bitmap;
        EXPECT_FALSE(bitmap.compressed);
        EXPECT_EQ(bitmap.masks, (std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F})) << headerSize;
        ASSERT_EQ(bitmap.info.size(), 52u) << headerSize;
        EXPECT_EQ(InfoField(bitmap, 16), kBiBitFields);
        EXPECT_EQ(InfoField(bitmap, 40), 0xF800u);
        EXPECT_EQ(InfoField(bitmap, 48), 0x001Fu);
        EXPECT_EQ(Bytes(bitmap.pixels.begin(), bitmap.pixels.end()), layout.pixels) << headerSize;
    }
    // At 24 bits no masks are read after a 40-byte header: the pixels follow it directly,
    // and the description carries the usual masks' place filled with zeros.
    layout.headerSize = 40;
    layout.bitCount = 24;
    layout.masks.clear();
    layout.pixels = {9, 8, 7, 6, 5, 4, 0, 0};
    const TLoaded loaded = Load(layout);
    const TBitmapFile& bitmap = loaded.bitmap;
    EXPECT_EQ(Bytes(bitmap.pixels.begin(), bitmap.pixels.end()), layout.pixels);
    EXPECT_EQ(bitmap.info.size(), 52u);
}

TEST(BitmapReader, ColourTableSizes) {
    struct Case {
        uint16_t bitCount;
        uint32_t clrUsed;
        size_t entries;
    };
    for (const Case c : {Case{1, 0, 2}, Case{4, 0, 16}, Case{8, 0, 256}, Case{8, 5, 5}, Case{4, 3, 3}, Case{16, 0, 0},
                         Case{24, 0, 0}, Case{32, 0, 0}, Case{24, 2, 2}}) {
        TBitmapLayout layout;
        layout.width = 1;
        layout.height = 1;
        layout.bitCount = c.bitCount;
        layout.clrUsed = c.clrUsed;
        for (size_t i = 0; i < c.entries; ++i) layout.colours.push_back(static_cast<uint32_t>(i * 0x010101));
        layout.pixels = {0x11, 0x22, 0x33, 0x44};
        const Bytes file = MakeBitmap(layout);
        const TBitmapFile bitmap = ReadBitmap(file);
        EXPECT_EQ(bitmap.colours.size(), c.entries) << c.bitCount << "/" << c.clrUsed;
        EXPECT_EQ(InfoField(bitmap, 32), c.entries);
        EXPECT_EQ(bitmap.info.size(), 40 + 4 * c.entries);
        // The pixels start right after the table.
        ASSERT_EQ(bitmap.pixels.size(), 4u);
        EXPECT_EQ(bitmap.pixels[0], 0x11) << c.bitCount << "/" << c.clrUsed;
    }
    // The core form's entries are three bytes.
    TBitmapLayout core;
    core.headerSize = 12;
    core.width = 1;
    core.height = 1;
    core.bitCount = 4;
    core.colours.assign(16, 0xABCDEF);
    core.pixels = {0x55, 0, 0, 0};
    const TLoaded loaded = Load(core);
    const TBitmapFile& bitmap = loaded.bitmap;
    ASSERT_EQ(bitmap.colours.size(), 16u);
    EXPECT_EQ(bitmap.colours[15], (TRgbQuad{0xEF, 0xCD, 0xAB, 0}));
    EXPECT_EQ(bitmap.pixels[0], 0x55);
}

TEST(BitmapReader, PixelDataIsTheAnnouncedSizeCutToTheFile) {
    TBitmapLayout layout = Rgb4x2();
    // Image size 0: rows of 12 bytes times 2; what follows is not pixel data.
    layout.pixels.insert(layout.pixels.end(), {0xEE, 0xEE});
    EXPECT_EQ(Load(layout).bitmap.pixels.size(), 24u);
    EXPECT_EQ(Load(layout).bitmap.dibImageSize, 24u);
    // An announced size larger than the file is cut to what remains.
    layout.sizeImage = 1000;
    EXPECT_EQ(Load(layout).bitmap.pixels.size(), 26u);
    EXPECT_EQ(InfoField(Load(layout).bitmap, 20), 26u);
    // An announced size below the rows' size is taken as it is (the DIB keeps the rest 0).
    layout.sizeImage = 1;
    EXPECT_EQ(Load(layout).bitmap.pixels.size(), 1u);
    EXPECT_EQ(Load(layout).bitmap.dibImageSize, 24u);
    // A file cut short in its pixels is not an error.
    layout = Rgb4x2();
    layout.pixels.resize(5);
    const TLoaded cutShort = Load(layout);
    const TBitmapFile& shortFile = cutShort.bitmap;
    EXPECT_EQ(shortFile.pixels.size(), 5u);
    EXPECT_EQ(shortFile.dibImageSize, 24u);
    // Rows are padded to 4 bytes: 5 pixels at 4 bits take 3 bytes, padded to 4.
    layout = TBitmapLayout();
    layout.width = 5;
    layout.height = -3;
    layout.bitCount = 4;
    layout.colours.assign(16, 0);
    layout.pixels.assign(100, 7);
    const TLoaded loaded = Load(layout);
    const TBitmapFile& topDown = loaded.bitmap;
    EXPECT_TRUE(topDown.topDown);
    EXPECT_EQ(topDown.height, 3u);
    EXPECT_EQ(topDown.pixels.size(), 12u);
    EXPECT_EQ(static_cast<int32_t>(InfoField(topDown, 8)), -3);
}

TEST(BitmapReader, RunLengthBitmapsAreHandedOnWhole) {
    TBitmapLayout layout;
    layout.width = 4;
    layout.height = 2;
    layout.bitCount = 8;
    layout.compression = kBiRle8;
    layout.colours = {0x000000, 0xFF0000};
    layout.clrUsed = 2;
    layout.pixels = {4, 1, 0, 0, 4, 0, 0, 1};  // two runs, end of line, end of bitmap
    layout.sizeImage = 8;
    const TLoaded loaded = Load(layout);
    const TBitmapFile& bitmap = loaded.bitmap;
    EXPECT_TRUE(bitmap.compressed);
    EXPECT_EQ(bitmap.compression, kBiRle8);
    EXPECT_EQ(InfoField(bitmap, 16), kBiRle8);
    EXPECT_EQ(InfoField(bitmap, 20), 8u);
    EXPECT_EQ(Bytes(bitmap.pixels.begin(), bitmap.pixels.end()), layout.pixels);
    layout.compression = kBiRle4;
    layout.bitCount = 4;
    EXPECT_TRUE(Load(layout).bitmap.compressed);
    layout.compression = 4;  // JPEG inside a bitmap: also for the system to take or refuse
    layout.bitCount = 0;
    EXPECT_TRUE(Load(layout).bitmap.compressed);
}

TEST(BitmapReader, StreamReadingStopsAtThePixelData) {
    TBitmapLayout layout = Rgb4x2();
    layout.bitCount = 8;
    layout.colours.assign(256, 0);
    layout.pixels.resize(8);
    const Bytes file = MakeBitmap(layout);
    TByteReader stream(file);
    const TBitmapFile bitmap = ReadBitmapHeaders(stream);
    EXPECT_EQ(stream.Position(), 14u + 40u + 1024u);
    EXPECT_EQ(bitmap.pixelBytes, 8u);
    EXPECT_TRUE(bitmap.pixels.empty());
}

TEST(BitmapReader, SystemRefusalsBecomeTheOsErrorOrTheInvalidBitmapMessage) {
    try {
        RaiseBitmapRefused(8, "Not enough memory resources are available to process this command.");
        ADD_FAILURE();
    } catch (const EOSError& e) {
        EXPECT_STREQ(e.ClassName(), "EOSError");
        EXPECT_EQ(e.ErrorCode(), 8u);
        EXPECT_EQ(e.Message(),
                  "System Error.  Code: 8.\r\nNot enough memory resources are available to process this command.");
    }
    ExpectFailure([] { RaiseBitmapRefused(0, "ignored"); }, "EInvalidGraphic", "Bitmap image is not valid");
}
