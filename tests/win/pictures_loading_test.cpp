// The picture loader on real files: the format table, the choice of kind by extension, the
// file opened for reading with others allowed to read only, the failure messages, a failed
// load leaving the picture as it was, and stored picture data.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <string>

#include "base/system_win.h"
#include "pictures/picture_win.h"
#include "pictures_test_files.h"
#include "support/test_support.h"

namespace {

using namespace picture_test;

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes SmallBitmap(int width, int height) {
    return MakeBitmap24(width, height, [](int, int) { return RGB(1, 2, 3); });
}

TEST(PicturesFormats, EachExtensionOfTheTableMakesItsKind) {
    RegisterPictureFormats();
    RegisterPictureFormats();  // only the first call registers
    // The table's order and descriptions are the native tests' (DefaultFileFormatTable).
    const std::pair<const char*, const char*> kinds[] = {
        {"wmf", "TMetafile"},  {"emf", "TMetafile"},   {"ico", "TIcon"},      {"bmp", "TBitmap"},
        {"Png", "TPNGObject"}, {"jpeg", "TJPEGImage"}, {"JPG", "TJPEGImage"},
    };
    for (const auto& [extension, kind] : kinds) {
        EXPECT_STREQ(FileFormats().CreateForPath(std::string("C:\\Photos\\a.") + extension)->ClassName(), kind);
        const auto graphic = FileFormats().CreateByClassName(kind);
        ASSERT_NE(graphic, nullptr) << kind;
        EXPECT_STREQ(graphic->ClassName(), kind);
    }
    EXPECT_EQ(FileFormats().CreateByClassName("TGIFImage"), nullptr);
    EXPECT_EQ(FileFormats().CreateByClassName("tbitmap"), nullptr) << "class names keep their letter case";
}

class PicturesLoading : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        picture.OnChange = [this] { ++changes; };
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        WriteFileBytes(folder_.File(name), bytes);
        return folder_.File(name);
    }
    // Loading fails with the kind and message, and leaves the picture as it was.
    void ExpectLoadFailure(const std::string& path, const char* kind, const std::string& message) {
        const TGraphic* before = picture.Graphic();
        const int width = picture.Width(), changesBefore = changes;
        ExpectFailure([&] { picture.LoadFromFile(path); }, kind, message);
        EXPECT_EQ(picture.Graphic(), before) << path;
        EXPECT_EQ(picture.Width(), width) << path;
        EXPECT_EQ(changes, changesBefore) << path;
    }
    TTempFolder folder_;
    TPicture picture;
    int changes = 0;
};

TEST_F(PicturesLoading, EachKindChosenByExtensionReportsItsSize) {
    struct TCase {
        const char* name;
        Bytes file;
        const char* className;
        int width, height;
    };
    TJpegPicture jpeg;
    jpeg.width = 37;
    jpeg.height = 23;
    const TCase cases[] = {
        {"a.bmp", SmallBitmap(5, 3), "TBitmap", 5, 3},
        {"b.BMP", {}, "TBitmap", 0, 0},
        {"c.ico", MakeIcon({{48, 48, 0, MakeIconImage(48, 48, RGB(1, 2, 3), 48)}}), "TIcon", 32, 32},
        // A frame of 2540 x 1270 hundredths of a millimetre on a device of 1024 x 768 pixels and
        // 320 x 240 mm: 81.28 x 40.64 pixels, rounded.
        {"d.emf", MakeEnhancedMetafile({}), "TMetafile", 81, 41},
        {"e.wmf", MakeEnhancedMetafile({}), "TMetafile", 81, 41},  // an enhanced metafile named .wmf
        {"f.emf", MakeRecordedWmf(1440, 720, 1440, RGB(1, 2, 3), RGB(4, 5, 6)), "TMetafile", 96, 48},
        {"g.jpg", WriteJpeg(jpeg), "TJPEGImage", 37, 23},
        {"h.JPEG", WriteJpeg(jpeg), "TJPEGImage", 37, 23},
        {"i.jpg", {}, "TJPEGImage", 0, 0},
        {"j.png", MakePng(3, 2, 6, Bytes(24, 200)), "TPNGObject", 3, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int changesBefore = changes;
        picture.LoadFromFile(Write(c.name, c.file));
        EXPECT_EQ(changes, changesBefore + 1) << "the owner is told once";
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_FALSE(picture.Empty());
        EXPECT_STREQ(picture.Graphic()->ClassName(), c.className);
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
    }
    picture.Clear();
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_EQ(changes, static_cast<int>(std::size(cases)) + 1);
}

TEST_F(PicturesLoading, UnknownExtensionsNameTheExtensionAsWritten) {
    picture.LoadFromFile(Write("kept.bmp", SmallBitmap(7, 2)));
    changes = 0;
    ExpectLoadFailure(Write("photo.gif", {1, 2, 3}), "EInvalidGraphic", "Unknown picture file extension (.gif)");
    ExpectLoadFailure(folder_.File("Sunset.Jpe"), "EInvalidGraphic", "Unknown picture file extension (.Jpe)");
    ExpectLoadFailure("C:\\pics.old\\photo", "EInvalidGraphic", "Unknown picture file extension (.)");
    ExpectLoadFailure("C:\\pics\\pic.", "EInvalidGraphic", "Unknown picture file extension (.)");
    EXPECT_EQ(picture.Width(), 7);
}

TEST_F(PicturesLoading, ReaderFailuresLeaveThePictureAsItWas) {
    picture.LoadFromFile(Write("kept.bmp", SmallBitmap(7, 2)));
    changes = 0;
    TBitmapLayout planes;
    planes.planes = 2;
    TJpegPicture jpeg;
    ExpectLoadFailure(Write("bad.bmp", {'X', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "EInvalidGraphic",
                      "Bitmap image is not valid");
    ExpectLoadFailure(Write("planes.bmp", MakeBitmap(planes)), "EInvalidGraphic", "Bitmap image is not valid");
    ExpectLoadFailure(Write("short.bmp", Bytes{'B', 'M', 0, 0}), "EReadError", "Stream read error");
    ExpectLoadFailure(Write("empty.ico", {}), "EReadError", "Stream read error");
    ExpectLoadFailure(Write("cursor.ico", MakeIcon({{}}, 2)), "EInvalidGraphic", "Icon image is not valid");
    ExpectLoadFailure(Write("plain.wmf", Bytes(40, 1)), "EInvalidGraphic", "Metafile is not valid");
    ExpectLoadFailure(Write("checksum.wmf", MakePlaceableMetafile(0, 0, 100, 100, 1440, 1)), "EInvalidGraphic",
                      "Metafile is not valid");
    ExpectLoadFailure(Write("text.jpg", {'h', 'e', 'l', 'l', 'o', '\r', '\n'}), "EJPEG", "JPEG error #53");
    Bytes png = MakePng(2, 2, 6, Bytes(16, 9));
    png[30] ^= 1;  // inside the header chunk: its checksum no longer matches
    ExpectLoadFailure(Write("crc.png", png), "EPngInvalidCRC",
                      "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of "
                      "data (crc error)");
    EXPECT_EQ(picture.Width(), 7);
}

TEST_F(PicturesLoading, PicturesBeyondThePixelLimitAreRefusedWithTheirKindsFailure) {
    picture.LoadFromFile(Write("kept.bmp", SmallBitmap(7, 2)));
    changes = 0;
    for (const TOversizedFile& file : OversizedPictureFiles()) {
        ASSERT_LT(file.bytes.size(), 1000u) << file.name;
        ExpectLoadFailure(Write(file.name, file.bytes), file.kind.c_str(), file.message);
    }
    EXPECT_EQ(picture.Width(), 7);
}

TEST_F(PicturesLoading, MetafileHeaderCountingAHugePaletteCostsNoMemory) {
    // 64 million palette entries in the header (256 MB), none in the file: the metafile loads,
    // and no more than the 256 entries a palette keeps are asked for.
    TEmfLayout layout;
    layout.paletteEntries = 0x04000000;
    const std::string path = Write("palette.emf", MakeEnhancedMetafile(layout));
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    picture.LoadFromFile(path);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TMetafile");
    EXPECT_EQ(picture.Width(), 81);
    EXPECT_LT(after.PeakWorkingSetSize - before.PeakWorkingSetSize, size_t{32} << 20);
}

TEST_F(PicturesLoading, MissingFileNamesTheAbsolutePathAndTheSystemText) {
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    // The system's text comes without its closing full stop and line break.
    ExpectLoadFailure("missing.bmp", "EFOpenError",
                      "Cannot open file \"" + folder_.Path() + "missing.bmp\". Файл не найден");
    SetCurrentDirectoryA(current);
}

TEST_F(PicturesLoading, FileHeldOpenForWritingCannotBeLoadedButOneOpenForReadingCan) {
    const std::string path = Write("held.bmp", SmallBitmap(3, 3));
    {
        // Another program writes the file and lets others read and write.
        HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        ExpectLoadFailure(path, "EFOpenError", "Cannot open file \"" + path + "\". Конфликт совместного доступа");
        CloseHandle(writer);
    }
    {
        // Another program reads it and lets others only read: loading works.
        HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        EXPECT_NO_THROW(picture.LoadFromFile(path));
        CloseHandle(reader);
    }
    EXPECT_EQ(picture.Width(), 3);
    HANDLE again = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "the loader closed the file";
    CloseHandle(again);
}

TEST_F(PicturesLoading, StoredDataChoosesTheKindByClassName) {
    const Bytes png = MakePng(4, 3, 6, Bytes(48, 77));
    picture.LoadFromStoredData(std::string("\x0ATPNGObject", 11) + AsText(png));
    EXPECT_EQ(changes, 1);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TPNGObject");
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);
    picture.LoadFromStoredData(std::string("\x07TBitmap", 8) + AsText(SmallBitmap(6, 1)));
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 6);
    // An unknown class name empties the picture without an error; the owner is told.
    picture.LoadFromStoredData(std::string("\x09TGIFImage", 10) + "GIF89a");
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(changes, 3);
    // A failing graphic leaves the picture as it was; short data is a read error.
    picture.LoadFromStoredData(std::string("\x07TBitmap", 8) + AsText(SmallBitmap(6, 1)));
    ExpectFailure([&] { picture.LoadFromStoredData(std::string("\x0ATPNGObject", 11) + "not a png"); },
                  "EPNGInvalidFileHeader",
                  "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an "
                  "invalid header. This file may be corruped, try obtaining it again.");
    EXPECT_EQ(picture.Width(), 6);
    ExpectFailure([&] { picture.LoadFromStoredData(std::string("\x0ATPNG", 5)); }, "EReadError", "Stream read error");
    EXPECT_EQ(changes, 4);
}

}  // namespace
