#include <gtest/gtest.h>

#include "pictures/file_formats.h"
#include "pictures_test_support.h"

using picture_test::ExpectFailure;

TEST(PictureExtension, TakesTheTextAfterTheLastDotUnlessABackslashOrColonComesLater) {
    EXPECT_EQ(ExtractExtension("C:\\a\\pic.JPG"), "JPG");
    EXPECT_EQ(ExtractExtension("C:\\a\\SUNSET.JPG"), "JPG");
    EXPECT_EQ(ExtractExtension("C:\\a\\archive.tar.gz"), "gz");
    EXPECT_EQ(ExtractExtension("C:\\pics.old\\photo"), "");
    EXPECT_EQ(ExtractExtension("C:\\Фото.2005\\sunset"), "");
    EXPECT_EQ(ExtractExtension("C:\\a\\pic."), "");
    EXPECT_EQ(ExtractExtension("photo"), "");
    EXPECT_EQ(ExtractExtension("a.b:stream"), "");
    EXPECT_EQ(ExtractExtension("C:x.bmp"), "bmp");
    EXPECT_EQ(ExtractExtension(""), "");
}

TEST(FileFormatTable, FindsPathsByExtensionInAnyLetterCase) {
    const TFileFormatTable table = DefaultFileFormatTable();
    const std::pair<const char*, const char*> found[] = {
        {"C:\\Photos\\SUNSET.JPG", "TJPEGImage"},
        {"a.Jpeg", "TJPEGImage"},
        {"x.PNG", "TPNGObject"},
        {"x.png", "TPNGObject"},
        {"c:\\w\\Logo.WMF", "TMetafile"},
        {"c.emf", "TMetafile"},
        {"d.Ico", "TIcon"},
        {"e.bMp", "TBitmap"},
    };
    for (const auto& [path, kind] : found) EXPECT_EQ(table.FindForPath(path).className, kind) << path;
}

TEST(FileFormatTable, UnknownExtensionsNameTheExtensionAsWritten) {
    const TFileFormatTable table = DefaultFileFormatTable();
    const std::pair<const char*, const char*> unknown[] = {
        {"C:\\a\\pic.jpe", "jpe"}, {"C:\\a\\pic.GIF", "GIF"}, {"C:\\a\\pic.tif", "tif"},   {"C:\\pics.old\\photo", ""},
        {"C:\\a\\pic.", ""},       {"C:\\a\\photo", ""},      {"C:\\a\\pic.jpg ", "jpg "}, {"C:\\a\\pic.Фото", "Фото"},
    };
    for (const auto& [path, extension] : unknown)
        ExpectFailure([&] { table.FindForPath(path); }, "EInvalidGraphic",
                      std::string("Unknown picture file extension (.") + extension + ")");
}

TEST(FileFormatTable, LowerCasesCyrillicAndWalksFromTheLastEntry) {
    TFileFormatTable table;
    table.Register("ФОТ", "Photos", "TFirst");
    table.Register("ЁЖЇ", "Other", "TSecond");
    table.Register("bmp", "Bitmaps", "TBitmap");
    table.Register("BMP", "Bitmaps again", "TLater");
    EXPECT_EQ(table.Entries()[0].extension, "фот");
    ASSERT_NE(table.FindByExtension("фОт"), nullptr);
    EXPECT_EQ(table.FindByExtension("фОт")->className, "TFirst");
    ASSERT_NE(table.FindByExtension("ёжї"), nullptr);
    EXPECT_EQ(table.FindByExtension("ёжї")->className, "TSecond");
    EXPECT_EQ(table.FindByExtension("Bmp")->className, "TLater");
    EXPECT_EQ(table.FindByExtension("ph"), nullptr);
    EXPECT_EQ(table.FindByExtension(""), nullptr);
}

TEST(FileFormatTable, FindsClassNamesExactlyAndForgetsUnregisteredKinds) {
    TFileFormatTable table = DefaultFileFormatTable();
    ASSERT_NE(table.FindByClassName("TPNGObject"), nullptr);
    EXPECT_EQ(table.FindByClassName("TPNGObject")->extension, "png");
    EXPECT_EQ(table.FindByClassName("TJPEGImage")->extension, "jpg");  // the last entry of the kind
    EXPECT_EQ(table.FindByClassName("tpngobject"), nullptr);
    EXPECT_EQ(table.FindByClassName("TPNGObject "), nullptr);
    table.Unregister("TJPEGImage");
    EXPECT_EQ(table.Entries().size(), 5u);
    EXPECT_EQ(table.FindByExtension("jpg"), nullptr);
    EXPECT_EQ(table.FindByClassName("TJPEGImage"), nullptr);
}

TEST(StoredPicture, SplitsTheClassNameFromTheGraphicData) {
    picture_test::TWriter w;
    w.U8(10).Text("TPNGObject").U8(0x89).Text("PNG");
    const TStoredPicture stored = ParseStoredPicture(w.bytes);
    EXPECT_EQ(stored.className, "TPNGObject");
    ASSERT_EQ(stored.data.size(), 4u);
    EXPECT_EQ(stored.data[0], 0x89);
    EXPECT_EQ(stored.data.data(), w.bytes.data() + 11);

    const picture_test::Bytes nameOnly = {3, 'T', 'A', 'B'};
    EXPECT_EQ(ParseStoredPicture(nameOnly).className, "TAB");
    EXPECT_TRUE(ParseStoredPicture(nameOnly).data.empty());
}

TEST(StoredPicture, ShorterThanItsLengthByteIsAReadError) {
    const picture_test::Bytes empty;
    const picture_test::Bytes cut = {10, 'T', 'P', 'N', 'G'};
    ExpectFailure([&] { ParseStoredPicture(empty); }, "EReadError", "Stream read error");
    ExpectFailure([&] { ParseStoredPicture(cut); }, "EReadError", "Stream read error");
}
