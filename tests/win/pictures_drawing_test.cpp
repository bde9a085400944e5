// Each graphic kind loaded from a real file and drawn into a DIB section: bitmaps stretched by
// nearest pixel, run-length bitmaps, icons at their own size with their mask, metafiles
// played into the rectangle less one pixel, JPEG decoded once at the first drawing, and the
// late errors of JPEG and icons raised once.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pictures/picture_win.h"
#include "pictures_test_files.h"
#include "support/test_support.h"

namespace {

using namespace picture_test;

constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kBlue = RGB(20, 40, 210);
constexpr COLORREF kYellow = RGB(240, 230, 10);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PicturesDrawing : public ::testing::Test {
protected:
    void SetUp() override { RegisterPictureFormats(); }
    // Writes the bytes under the name and loads them into `picture`.
    void Load(const std::string& name, const Bytes& bytes) {
        WriteFileBytes(folder_.File(name), bytes);
        picture.LoadFromFile(folder_.File(name));
    }
    TTempFolder folder_;
    TPicture picture;
};

// Quadrants: red, blue on top; yellow, white below.
COLORREF Quadrant(int x, int y, int width, int height) {
    const bool right = x >= width / 2, bottom = y >= height / 2;
    return bottom ? (right ? kWhite : kYellow) : (right ? kBlue : kRed);
}

TEST_F(PicturesDrawing, BitmapStretchedByNearestPixelInsideItsRectangleOnly) {
    Load("quad.bmp", MakeBitmap24(2, 2, [](int x, int y) { return Quadrant(x, y, 2, 2); }));
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 2);
    TCanvas canvas(40, 40);
    picture.Draw(canvas.Dc(), RECT{10, 10, 30, 30});
    // Each source pixel becomes a 10 x 10 block of its own colour: no smoothing at the seams.
    EXPECT_TRUE(canvas.AllOf({10, 10, 20, 20}, kRed));
    EXPECT_TRUE(canvas.AllOf({20, 10, 30, 20}, kBlue));
    EXPECT_TRUE(canvas.AllOf({10, 20, 20, 30}, kYellow));
    EXPECT_TRUE(canvas.AllOf({20, 20, 30, 30}, kWhite));
    // Nothing outside the rectangle.
    EXPECT_TRUE(canvas.AllOf({0, 0, 40, 10}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 30, 40, 40}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 10, 10, 30}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({30, 10, 40, 30}, canvas.Background()));
    // Shrunk: a 6 x 6 picture of 3 x 3 blocks drawn at 2 x 2 keeps pure colours.
    Load("big.bmp", MakeBitmap24(6, 6, [](int x, int y) { return Quadrant(x, y, 6, 6); }));
    canvas.Fill(canvas.Background());
    picture.Draw(canvas.Dc(), RECT{0, 0, 2, 2});
    EXPECT_EQ(canvas.At(0, 0), kRed);
    EXPECT_EQ(canvas.At(1, 0), kBlue);
    EXPECT_EQ(canvas.At(0, 1), kYellow);
    EXPECT_EQ(canvas.At(1, 1), kWhite);
}

TEST_F(PicturesDrawing, BitmapHeaderFormsDrawTheirColours) {
    TCanvas canvas(4, 2);
    const auto drawn = [&](const TBitmapLayout& layout) {
        Load("form.bmp", MakeBitmap(layout));
        canvas.Fill(canvas.Background());
        picture.Draw(canvas.Dc(), RECT{0, 0, 4, 2});
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) pixels.push_back(canvas.At(x, y));
        return pixels;
    };
    // 8 bits with a colour table, bottom-up: the second row of the file is the top one.
    TBitmapLayout palette;
    palette.bitCount = 8;
    palette.clrUsed = 2;
    palette.colours = {0xDC141E, 0x1428D2};  // 0x00RRGGBB: red, blue
    palette.pixels = {0, 0, 0, 0, 1, 1, 0, 0};
    EXPECT_EQ(drawn(palette), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed, kRed, kRed, kRed, kRed}));
    EXPECT_NE(picture.Graphic()->Palette(), nullptr);
    // The same in the old 12-byte core header with 3-byte colour entries (and 256 of them).
    TBitmapLayout core = palette;
    core.headerSize = 12;
    core.colours.resize(256, 0);
    EXPECT_EQ(drawn(core), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed, kRed, kRed, kRed, kRed}));
    // Top-down 16 bits with 5-6-5 bit-field masks.
    TBitmapLayout fields;
    fields.height = -2;
    fields.bitCount = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = {0x00, 0xF8, 0x00, 0xF8, 0x1F, 0x00, 0x1F, 0x00, 0xE0, 0x07, 0xE0, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(drawn(fields), (std::vector<COLORREF>{RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255),
                                                    RGB(0, 255, 0), RGB(0, 255, 0), kWhite, kWhite}));
    EXPECT_EQ(picture.Graphic()->Palette(), nullptr);
}

TEST_F(PicturesDrawing, RunLengthBitmapIsDecodedByTheSystem) {
    TBitmapLayout rle;
    rle.width = 4;
    rle.height = 2;
    rle.bitCount = 8;
    rle.compression = 1;  // BI_RLE8
    rle.clrUsed = 3;
    rle.colours = {0xDC141E, 0x1428D2, 0xF0E60A};  // red, blue, yellow
    // Bottom row: 4 x blue; top row: 1 x red, then an absolute run of yellow, red, yellow.
    rle.pixels = {4, 1, 0, 0, 1, 0, 0, 3, 2, 0, 2, 0, 0, 1};
    rle.sizeImage = static_cast<uint32_t>(rle.pixels.size());
    Load("rle.bmp", MakeBitmap(rle));
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 2);
    TCanvas canvas(8, 4);
    picture.Draw(canvas.Dc(), RECT{0, 0, 8, 4});  // twice the size
    const COLORREF top[] = {kRed, kRed, kYellow, kYellow, kRed, kRed, kYellow, kYellow};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(canvas.At(x, 0), top[x]) << x << ": " << Describe(canvas.At(x, 0));
        EXPECT_EQ(canvas.At(x, 1), top[x]) << x;
        EXPECT_EQ(canvas.At(x, 3), kBlue) << x;
    }
}

TEST_F(PicturesDrawing, EmptyBitmapLoadsAndDrawsNothing) {
    Load("empty.bmp", {});
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    TCanvas canvas(8, 8);
    picture.Draw(canvas.Dc(), RECT{0, 0, 8, 8});
    EXPECT_TRUE(canvas.AllOf({0, 0, 8, 8}, canvas.Background()));
}

TEST_F(PicturesDrawing, IconDrawnAtItsOwnSizeAtTheTopLeftWithItsMask) {
    const int standard = GetSystemMetrics(SM_CXICON);
    ASSERT_EQ(standard, 32);
    // 16, 32 and 48 pixels, each of its own colour; the 32-pixel image is chosen. Its right
    // quarter is masked out.
    Load("three.ico", MakeIcon({{16, 16, 0, MakeIconImage(16, 16, kBlue, 16)},
                                {32, 32, 0, MakeIconImage(32, 32, kRed, 24)},
                                {48, 48, 0, MakeIconImage(48, 48, kYellow, 48)}}));
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TIcon");
    TCanvas canvas(100, 100);
    picture.Draw(canvas.Dc(), RECT{5, 7, 95, 95});  // the rectangle's size is ignored
    EXPECT_TRUE(canvas.AllOf({5, 7, 29, 39}, kRed));
    EXPECT_TRUE(canvas.AllOf({29, 7, 37, 39}, canvas.Background())) << "masked columns";
    EXPECT_TRUE(canvas.AllOf({0, 0, 100, 7}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 0, 5, 100}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({37, 7, 100, 100}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({5, 39, 37, 100}, canvas.Background()));
    EXPECT_EQ(picture.Width(), 32);
}

TEST_F(PicturesDrawing, IconReportsTheStandardSizeUntilItsFirstDrawing) {
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    Load("large.ico", MakeIcon({{48, 48, 0, MakeIconImage(48, 48, kBlue, 48)}}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(picture.Height(), 32);
    TCanvas canvas(60, 60);
    picture.Draw(canvas.Dc(), RECT{0, 0, 10, 10});
    EXPECT_EQ(changes, 2) << "the size changed inside the graphic";
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(picture.Height(), 48);
    EXPECT_TRUE(canvas.AllOf({0, 0, 48, 48}, kBlue));
    EXPECT_TRUE(canvas.AllOf({48, 0, 60, 60}, canvas.Background()));
    picture.Draw(canvas.Dc(), RECT{0, 0, 10, 10});
    EXPECT_EQ(changes, 2) << "built once";
}

TEST_F(PicturesDrawing, IconOfTypeZeroShowsTheStandardApplicationIcon) {
    Load("none.ico", MakeIcon({}, 0));
    TCanvas canvas(40, 40);
    picture.Draw(canvas.Dc(), RECT{0, 0, 40, 40});
    EXPECT_FALSE(canvas.AllOf({0, 0, 32, 32}, canvas.Background())) << "something was drawn";
    EXPECT_TRUE(canvas.AllOf({32, 0, 40, 40}, canvas.Background()));
    EXPECT_EQ(picture.Width(), 32);
}

TEST_F(PicturesDrawing, IconLateErrorsAreRaisedOnceThenNothingIsDrawn) {
    struct TCase {
        const char* name;
        Bytes file;
        const char* kind;
        const char* message;
    };
    // An image the system cannot turn into an icon (a header that is no bitmap's), and a
    // directory that announces no image.
    // The system sets no error code for the image it refuses: the message is not the text
    // of success but the failure's own.
    const TCase cases[] = {{"garbage.ico", UnbuildableIcon(), "EOutOfResources", "Out of system resources"},
                           {"zero.ico", MakeIcon({}), "EInvalidGraphic", "Icon image is not valid"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.name, c.file);
        TCanvas canvas(40, 40);
        try {
            picture.Draw(canvas.Dc(), RECT{0, 0, 40, 40});
            ADD_FAILURE() << "no error at the first drawing";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.kind);
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_NO_THROW(picture.Draw(canvas.Dc(), RECT{0, 0, 40, 40}));
        EXPECT_NO_THROW(picture.Draw(canvas.Dc(), RECT{0, 0, 40, 40}));
        EXPECT_TRUE(canvas.AllOf({0, 0, 40, 40}, canvas.Background()));
        EXPECT_EQ(picture.Width(), 32) << "still the standard size";
    }
}

TEST(IconBuildFailure, TheSystemsTextForItsCodeOrOutOfSystemResources) {
    // The system's texts of the test bed's Russian locale, full stop included.
    const std::pair<DWORD, const char*> cases[] = {
        {0, "Out of system resources"},
        {ERROR_NOT_ENOUGH_MEMORY, "Недостаточно памяти для выполнения команды."},
        {ERROR_INVALID_PARAMETER, "Неверный параметр."},
    };
    for (const auto& [code, message] : cases) {
        EXPECT_EQ(FailureOf([code] { RaiseIconBuildFailure(code); }), std::string("EOutOfResources: ") + message)
            << code;
    }
}

TEST_F(PicturesDrawing, EnhancedMetafileScaledIntoTheRectangleLessOnePixel) {
    Load("halves.emf", MakeRecordedEmf(40, 20, kRed, kBlue));
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TMetafile");
    EXPECT_NEAR(picture.Width(), 40, 1);
    EXPECT_NEAR(picture.Height(), 20, 1);
    TCanvas canvas(100, 60);
    picture.Draw(canvas.Dc(), RECT{10, 10, 90, 50});  // twice the size
    // Played into 10..89 by 10..49 taken as inclusive: the picture's left half covers about
    // 10..49 and its right half 50..88; the last column and row of the rectangle show the
    // background.
    EXPECT_TRUE(canvas.AllOf({11, 11, 48, 48}, kRed));
    EXPECT_TRUE(canvas.AllOf({52, 11, 88, 48}, kBlue));
    EXPECT_TRUE(canvas.AllOf({89, 0, 100, 60}, canvas.Background())) << "last column left out";
    EXPECT_TRUE(canvas.AllOf({0, 49, 100, 60}, canvas.Background())) << "last row left out";
    EXPECT_TRUE(canvas.AllOf({0, 0, 100, 10}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 0, 10, 60}, canvas.Background()));
}

TEST_F(PicturesDrawing, PlaceableMetafileConvertedAndScaled) {
    // 1440 by 720 units at 1440 per inch: 96 x 48 on a screen of 96 logical pixels per inch.
    Load("halves.wmf", MakeRecordedWmf(1440, 720, 1440, kRed, kBlue));
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(picture.Width(), MulDiv(96, pixelsPerInch, 96));
    EXPECT_EQ(picture.Height(), MulDiv(48, pixelsPerInch, 96));
    TCanvas canvas(60, 40);
    picture.Draw(canvas.Dc(), RECT{0, 0, 50, 30});
    EXPECT_TRUE(canvas.AllOf({1, 1, 23, 27}, kRed));
    EXPECT_TRUE(canvas.AllOf({27, 1, 48, 27}, kBlue));
    EXPECT_TRUE(canvas.AllOf({50, 0, 60, 40}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 30, 60, 40}, canvas.Background()));
}

// A JPEG of blue left and yellow right halves.
Bytes HalvesJpeg(int width, int height) {
    TJpegPicture layout;
    layout.width = width;
    layout.height = height;
    layout.sample = [width](int x, int, int c) -> uint8_t {
        const COLORREF colour = x < width / 2 ? kBlue : kYellow;
        return c == 0 ? GetRValue(colour) : c == 1 ? GetGValue(colour) : GetBValue(colour);
    };
    return WriteJpeg(layout);
}

TEST_F(PicturesDrawing, JpegDecodedOnceAtTheFirstDrawingWithProgressReports) {
    std::vector<TPictureProgress> reports;
    picture.OnProgress = [&](const TPictureProgress& p) { reports.push_back(p); };
    Load("halves.jpg", HalvesJpeg(64, 48));
    auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.Height(), 48);
    EXPECT_EQ(jpeg->Bitmap(), nullptr) << "loading decodes no pixels";
    EXPECT_TRUE(reports.empty());

    TCanvas canvas(80, 60);
    picture.Draw(canvas.Dc(), RECT{0, 0, 32, 24});  // half the size
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(), [](const auto& r) { return r.Finished; }), 1);
    EXPECT_EQ(jpeg->BitCount(), 24);
    EXPECT_EQ(jpeg->Palette(), nullptr);
    EXPECT_TRUE(canvas.AllOf({0, 0, 14, 24}, kBlue, 24));
    EXPECT_TRUE(canvas.AllOf({18, 0, 32, 24}, kYellow, 24));
    EXPECT_TRUE(canvas.AllOf({32, 0, 80, 60}, canvas.Background()));
    EXPECT_TRUE(canvas.AllOf({0, 24, 32, 60}, canvas.Background()));
    // A start report (0 %, no redraw) and an end report (100 %, no palette change).
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().Percent, 0);
    EXPECT_FALSE(reports.front().RedrawNow);
    EXPECT_FALSE(reports.front().Finished);
    EXPECT_EQ(reports.back().Percent, 100);
    EXPECT_TRUE(reports.back().Finished);
    EXPECT_FALSE(reports.back().RedrawNow);
    EXPECT_EQ(reports.back().Band.bottom, 48);

    // Later drawings, at other sizes, reuse the decoded bitmap.
    const HBITMAP decoded = jpeg->Bitmap();
    reports.clear();
    canvas.Fill(canvas.Background());
    picture.Draw(canvas.Dc(), RECT{0, 0, 80, 60});
    EXPECT_EQ(jpeg->Bitmap(), decoded);
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(canvas.AllOf({0, 0, 36, 60}, kBlue, 24));
    EXPECT_TRUE(canvas.AllOf({44, 0, 80, 60}, kYellow, 24));
}

TEST_F(PicturesDrawing, GrayscaleJpegDecodesToAPalette) {
    TJpegPicture layout;
    layout.components = 1;
    layout.width = 16;
    layout.height = 8;
    layout.sample = [](int x, int, int) -> uint8_t { return x < 8 ? 40 : 220; };
    Load("gray.jpg", WriteJpeg(layout));
    TCanvas canvas(16, 8);
    picture.Draw(canvas.Dc(), RECT{0, 0, 16, 8});
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(picture.Graphic());
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->BitCount(), 8);
    EXPECT_NE(jpeg->Palette(), nullptr);
    EXPECT_TRUE(canvas.AllOf({0, 0, 6, 8}, RGB(40, 40, 40), 12));
    EXPECT_TRUE(canvas.AllOf({10, 0, 16, 8}, RGB(220, 220, 220), 12));
}

// A JPEG whose frame names a quantisation table the file never defines: its header reads
// well, its decoding fails when it starts.
Bytes JpegWithUndefinedTable() {
    Bytes file = HalvesJpeg(64, 48);
    for (size_t i = 2; i + 3 < file.size();) {
        const size_t length = static_cast<size_t>(file[i + 2] << 8 | file[i + 3]);
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 2 + 8 + 2] = 3;  // the first component's table selector
            break;
        }
        i += 2 + length;
    }
    return file;
}

TEST_F(PicturesDrawing, JpegDecodingErrorsAreRaisedOnceAtTheFirstDrawing) {
    struct TCase {
        const char* name;
        Bytes file;
        const char* message;
    };
    const TCase cases[] = {{"empty.jpg", {}, "JPEG error #42"},
                           {"table.jpg", JpegWithUndefinedTable(), "JPEG error #52"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TPictureProgress> reports;
        picture.OnProgress = [&](const TPictureProgress& p) { reports.push_back(p); };
        Load(c.name, c.file);
        TCanvas canvas(20, 20);
        ExpectFailure([&] { picture.Draw(canvas.Dc(), RECT{0, 0, 20, 20}); }, "EJPEG", c.message);
        // The end report comes before the error: 0 % after a failure.
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(reports.back().Finished);
        EXPECT_EQ(reports.back().Percent, 0);
        reports.clear();
        EXPECT_NO_THROW(picture.Draw(canvas.Dc(), RECT{0, 0, 20, 20}));
        EXPECT_NO_THROW(picture.Draw(canvas.Dc(), RECT{0, 0, 20, 20}));
        EXPECT_TRUE(reports.empty()) << "no second decode";
        EXPECT_TRUE(canvas.AllOf({0, 0, 20, 20}, canvas.Background()));
    }
}

// The offset of a JPEG file's scan data: right after its start-of-scan segment.
size_t ScanDataOffset(const Bytes& file) {
    for (size_t i = 2; i + 3 < file.size();) {
        const size_t length = static_cast<size_t>(file[i + 2] << 8 | file[i + 3]);
        if (file[i] == 0xFF && file[i + 1] == 0xDA) return i + 2 + length;
        i += 2 + length;
    }
    return 0;
}

TEST_F(PicturesDrawing, TruncatedJpegDrawsAsFarAsItGoesWithoutError) {
    Bytes file = HalvesJpeg(64, 48);
    const size_t scan = ScanDataOffset(file);
    ASSERT_GT(scan, 0u);
    file.resize(scan + (file.size() - scan) / 3);
    Load("short.jpg", file);
    TCanvas canvas(64, 48);
    EXPECT_NO_THROW(picture.Draw(canvas.Dc(), RECT{0, 0, 64, 48}));
    // The top rows were in the file.
    EXPECT_TRUE(canvas.AllOf({0, 0, 28, 8}, kBlue, 24));
    EXPECT_TRUE(canvas.AllOf({36, 0, 64, 8}, kYellow, 24));
}

TEST_F(PicturesDrawing, PngBlendedOverTheSurface) {
    // Red opaque, red at alpha 0, red at alpha 128.
    Load("blend.png", MakePng(3, 1, 6, {220, 20, 30, 255, 220, 20, 30, 0, 220, 20, 30, 128}));
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TPNGObject");
    TCanvas canvas(6, 2, RGB(0, 0, 0));
    picture.Draw(canvas.Dc(), RECT{0, 0, 6, 2});
    EXPECT_EQ(canvas.At(0, 0), kRed);
    EXPECT_EQ(canvas.At(1, 1), kRed);
    EXPECT_EQ(canvas.At(2, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(3, 1), RGB(0, 0, 0));
    // (128 x 220 + 127 x 0 + 255) / 256 = 110.
    EXPECT_EQ(canvas.At(4, 0), RGB(110, 10, 15));
}

TEST_F(PicturesDrawing, ACopyDrawsWhatItsSourceShowsWithoutReadingTheFileAgain) {
    TJpegPicture jpeg;
    jpeg.width = 40;
    jpeg.height = 20;
    jpeg.sample = [](int x, int, int c) -> uint8_t { return static_cast<uint8_t>(c == 0 ? x * 6 : 90); };
    const std::pair<const char*, Bytes> files[] = {
        {"quad.bmp", MakeBitmap24(2, 2, [](int x, int y) { return Quadrant(x, y, 2, 2); })},
        {"only48.ico", MakeIcon({{48, 48, 0, MakeIconImage(48, 48, kBlue, 24)}})},
        {"halves.emf", MakeRecordedEmf(40, 20, kRed, kBlue)},
        {"photo.jpg", WriteJpeg(jpeg)},
        {"blend.png", MakePng(2, 1, 6, {220, 20, 30, 255, 20, 40, 210, 128})},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        Load(name, bytes);
        TCanvas original(60, 60);
        picture.Draw(original.Dc(), RECT{5, 5, 55, 45});  // builds the icon, decodes the JPEG
        TPicture copy;
        int changes = 0, reports = 0;
        copy.OnChange = [&] { ++changes; };
        copy.OnProgress = [&](const TPictureProgress&) { ++reports; };
        copy.Assign(picture);
        EXPECT_EQ(changes, 1) << "the owner is told once";
        ASSERT_NE(copy.Graphic(), nullptr);
        EXPECT_NE(copy.Graphic(), picture.Graphic());
        EXPECT_STREQ(copy.Graphic()->ClassName(), picture.Graphic()->ClassName());
        EXPECT_EQ(copy.Width(), picture.Width()) << "an icon's size after its first drawing";
        EXPECT_EQ(copy.Height(), picture.Height());
        // The file is gone and the source emptied: the copy still draws the same pixels.
        DeleteFileA(folder_.File(name).c_str());
        picture.Clear();
        TCanvas drawn(60, 60);
        copy.Draw(drawn.Dc(), RECT{5, 5, 55, 45});
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                if (drawn.At(x, y) != original.At(x, y)) {
                    ADD_FAILURE() << "differs at " << x << ", " << y;
                    y = 60;
                    break;
                }
        EXPECT_EQ(reports, 0) << "nothing decoded again";
    }
    // An empty picture copies as empty.
    TPicture copy;
    copy.Assign(picture);
    EXPECT_TRUE(copy.Empty());
}

}  // namespace
