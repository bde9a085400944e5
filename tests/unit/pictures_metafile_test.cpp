#include <gtest/gtest.h>

#include "pictures/file_formats.h"
#include "pictures/metafile_reader.h"
#include "pictures_test_support.h"

using picture_test::Bytes;
using picture_test::ExpectFailure;
using picture_test::MakeEnhancedMetafile;
using picture_test::MakePlaceableMetafile;
using picture_test::TEmfLayout;

TEST(MetafileReader, PlaceableMetafileSizeFromItsBoxAndUnitsPerInch) {
    const Bytes file = MakePlaceableMetafile(0, 0, 1440, 720, 1440);
    const TMetafileFile metafile = ReadMetafile(file, 96);
    EXPECT_FALSE(metafile.enhanced);
    ASSERT_TRUE(metafile.sizeKnown);
    EXPECT_EQ(metafile.size, (TSizeL{96, 48}));
    EXPECT_EQ(metafile.boxHimetric, (TSizeL{2540, 1270}));
    EXPECT_EQ(metafile.unitsPerInch, 1440);
    EXPECT_EQ(metafile.data.data(), file.data() + 22);
    EXPECT_EQ(metafile.data.size(), file.size() - 22);
    // The screen's logical pixels per inch scale it; each step rounds to nearest.
    EXPECT_EQ(ReadMetafile(file, 120).size, (TSizeL{120, 60}));
    EXPECT_EQ(ReadMetafile(MakePlaceableMetafile(10, 20, 110, 21, 1000), 96).size, (TSizeL{10, 0}));
    EXPECT_EQ(ReadMetafile(MakePlaceableMetafile(10, 20, 110, 21, 1000), 96).boxHimetric, (TSizeL{254, 3}));
    // A box drawn from right to left gives a negative size, rounded away from zero.
    EXPECT_EQ(ReadMetafile(MakePlaceableMetafile(15, 0, 0, 15, 100), 96).size, (TSizeL{-14, 14}));
}

TEST(MetafileReader, UnitsPerInchZeroLeavesTheSizeToTheConvertedMetafile) {
    const TMetafileFile metafile = ReadMetafile(MakePlaceableMetafile(0, 0, 960, 480, 0), 96);
    EXPECT_FALSE(metafile.sizeKnown);
    EXPECT_EQ(metafile.unitsPerInch, 0);
    EXPECT_EQ(metafile.boxHimetric, (TSizeL{25400, 12700}));  // at 96 units per inch
}

TEST(MetafileReader, WrongKeyOrChecksumOrNoPlaceableHeaderIsNotValid) {
    for (uint16_t flip : {0x0001, 0x8000, 0xFFFF})
        ExpectFailure([&] { ReadMetafile(MakePlaceableMetafile(0, 0, 1440, 720, 1440, flip), 96); }, "EInvalidGraphic",
                      "Metafile is not valid");
    Bytes wrongKey = MakePlaceableMetafile(0, 0, 1440, 720, 1440);
    wrongKey[0] ^= 1;
    wrongKey[20] ^= 1;  // the checksum follows the key's change: only the key is wrong
    ExpectFailure([&] { ReadMetafile(wrongKey, 96); }, "EInvalidGraphic", "Metafile is not valid");
    // The checksum covers the box: changing it alone breaks the sum.
    Bytes changedBox = MakePlaceableMetafile(0, 0, 1440, 720, 1440);
    changedBox[10] ^= 4;
    ExpectFailure([&] { ReadMetafile(changedBox, 96); }, "EInvalidGraphic", "Metafile is not valid");
    // ... and the reserved field, up to its last word.
    Bytes changedReserved = MakePlaceableMetafile(0, 0, 1440, 720, 1440);
    changedReserved[19] ^= 0x10;
    ExpectFailure([&] { ReadMetafile(changedReserved, 96); }, "EInvalidGraphic", "Metafile is not valid");
    changedReserved[21] ^= 0x10;  // made right again
    EXPECT_EQ(ReadMetafile(changedReserved, 96).size, (TSizeL{96, 48}));
    // A standard Windows metafile without the placeable header.
    const Bytes placeable = MakePlaceableMetafile(0, 0, 1, 1, 1);
    Bytes padded(placeable.begin() + 22, placeable.end());
    padded.resize(40, 0);
    ExpectFailure([&] { ReadMetafile(padded, 96); }, "EInvalidGraphic", "Metafile is not valid");
}

TEST(MetafileReader, FilesShorterThanTheirHeaderAreReadErrors) {
    ExpectFailure([] { ReadMetafile({}, 96); }, "EReadError", "Stream read error");
    const Bytes full = MakePlaceableMetafile(0, 0, 1440, 720, 1440);
    ExpectFailure([&] { ReadMetafile(Bytes(full.begin(), full.begin() + 21), 96); }, "EReadError", "Stream read error");
    // The header alone is enough for the reader; the system judges the rest.
    EXPECT_TRUE(ReadMetafile(Bytes(full.begin(), full.begin() + 22), 96).data.empty());
}

TEST(MetafileReader, EnhancedMetafileWhateverItsName) {
    TEmfLayout layout;
    layout.frame[0] = 0;
    layout.frame[2] = 2540;
    layout.frame[3] = 1270;
    const Bytes file = MakeEnhancedMetafile(layout);
    const TFileFormatTable table = DefaultFileFormatTable();
    EXPECT_EQ(table.FindForPath("C:\\pictures\\drawing.wmf").className, "TMetafile");
    const TMetafileFile metafile = ReadMetafile(file, 96);
    EXPECT_TRUE(metafile.enhanced);
    EXPECT_EQ(metafile.data.size(), file.size());
    EXPECT_EQ(metafile.header.frame.right, 2540);
    EXPECT_EQ(metafile.header.devicePixels, (TSizeL{1024, 768}));
    EXPECT_EQ(metafile.header.deviceMillimetres, (TSizeL{320, 240}));
    ASSERT_TRUE(metafile.sizeKnown);
    // 2540 x 1024 / 32000 = 81.28 and 1270 x 768 / 24000 = 40.64.
    EXPECT_EQ(metafile.size, (TSizeL{81, 41}));
    // The screen's pixels per inch play no part.
    EXPECT_EQ(ReadMetafile(file, 144).size, (TSizeL{81, 41}));
}

TEST(MetafileReader, EnhancedHeaderRules) {
    // Exactly 100 bytes is not enough to be enhanced; then it is no placeable file either.
    const Bytes file = MakeEnhancedMetafile(TEmfLayout());
    ExpectFailure([&] { ReadMetafile(Bytes(file.begin(), file.begin() + 100), 96); }, "EInvalidGraphic",
                  "Metafile is not valid");
    // 101 bytes with the signature is enhanced, and then shorter than its total size.
    ExpectFailure([&] { ReadMetafile(Bytes(file.begin(), file.begin() + 101), 96); }, "EReadError",
                  "Stream read error");
    // The total size decides how much is handed on; more than the file is a read error,
    // less than the header is not valid.
    TEmfLayout longer;
    longer.totalBytes = 129;
    ExpectFailure([&] { ReadMetafile(MakeEnhancedMetafile(longer), 96); }, "EReadError", "Stream read error");
    TEmfLayout shorter;
    shorter.totalBytes = 108;
    EXPECT_EQ(ReadMetafile(MakeEnhancedMetafile(shorter), 96).data.size(), 108u);
    shorter.totalBytes = 99;
    ExpectFailure([&] { ReadMetafile(MakeEnhancedMetafile(shorter), 96); }, "EInvalidGraphic", "Metafile is not valid");
    // Without the signature or the header type it is judged as a placeable file.
    Bytes noSignature = file;
    noSignature[41] = 'X';
    ExpectFailure([&] { ReadMetafile(noSignature, 96); }, "EInvalidGraphic", "Metafile is not valid");
    Bytes otherType = file;
    otherType[0] = 2;
    ExpectFailure([&] { ReadMetafile(otherType, 96); }, "EInvalidGraphic", "Metafile is not valid");
}

TEST(MetafileReader, EnhancedSizeRoundsEachDirection) {
    TEnhancedHeader header;
    header.frame = {100, 200, 100 + 2540, 200 + 2540};
    header.devicePixels = {1280, 1024};
    header.deviceMillimetres = {320, 256};
    EXPECT_EQ(EnhancedMetafileSize(header), (TSizeL{102, 102}));  // 101.6 both ways
    header.deviceMillimetres = {0, 256};
    EXPECT_EQ(EnhancedMetafileSize(header).cx, 0);  // no millimetres: no size
    EXPECT_EQ(SecondPassExtents(header.frame), (TSizeL{2640, 2740}));
}

TEST(MetafileReader, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRound(5, 1, -2), -3);
    EXPECT_EQ(MulDivRound(7, 1, 3), 2);
    EXPECT_EQ(MulDivRound(8, 1, 3), 3);
    EXPECT_EQ(MulDivRound(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
    EXPECT_EQ(MulDivRound(INT32_MIN, 1, 1), INT32_MIN);
    EXPECT_EQ(MulDivRound(INT32_MAX, 2, 1), 0);  // does not fit
    EXPECT_EQ(MulDivRound(1, 1, 0), 0);
}
