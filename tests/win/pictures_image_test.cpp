// The image control: where it places its picture (the main window's previews, a centred
// picture, natural size, icons unscaled), its container's background wherever the picture
// does not cover the area, AutoSize, redrawing after picture changes and resizes, the
// incremental display, and drawing errors shown once in the standard error box.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "pictures_test_files.h"
#include "support/test_support.h"
#include "ui/application_win.h"
#include "ui/image_win.h"

namespace {

using namespace picture_test;

constexpr COLORREF kHostColour = RGB(10, 200, 30);
constexpr COLORREF kPictureColour = RGB(200, 40, 60);
const char kHostClass[] = "LumoPicturesHost";

// A top-level window of its own colour that holds the image control.
class THost {
public:
    THost() {
        brush_ = CreateSolidBrush(kHostColour);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = brush_;
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, kHostClass, "Pictures host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 500,
                                  400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~THost() {
        DestroyWindow(window_);
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
        DeleteObject(brush_);
    }
    HWND Handle() const { return window_; }

private:
    HBRUSH brush_ = nullptr;
    HWND window_ = nullptr;
};

class PicturesImage : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        image.Create(host.Handle(), RECT{8, 15, 8 + 233, 15 + 243});
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        WriteFileBytes(folder_.File(name), std::string(bytes.begin(), bytes.end()));
        return folder_.File(name);
    }
    // A bitmap of one colour: 8 bits per pixel, so that large sizes stay small files.
    void LoadPlain(int width, int height) {
        TBitmapLayout layout;
        layout.width = width;
        layout.height = height;
        layout.bitCount = 8;
        layout.clrUsed = 1;
        layout.colours = {static_cast<uint32_t>(GetRValue(kPictureColour) << 16 | GetGValue(kPictureColour) << 8 |
                                                GetBValue(kPictureColour))};
        layout.pixels.assign(static_cast<size_t>((width + 3) & ~3) * height, 0);
        image.Picture.LoadFromFile(Write("plain.bmp", MakeBitmap(layout)));
    }
    void Resize(int width, int height) { image.SetBounds(RECT{8, 15, 8 + width, 15 + height}); }
    // What the control shows, rendered through WM_PRINTCLIENT onto a white canvas.
    void Render(TCanvas& canvas) {
        canvas.Fill(RGB(255, 255, 255));
        SendMessageA(image.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    }
    // Every pixel of the canvas is the picture's inside the rectangle and the host's outside.
    void ExpectPlaced(const TCanvas& canvas, const RECT& inside) {
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                const POINT p{x, y};
                const COLORREF expected = PtInRect(&inside, p) ? kPictureColour : kHostColour;
                if (canvas.At(x, y) != expected) {
                    ADD_FAILURE() << "at " << x << ", " << y << ": " << Describe(canvas.At(x, y));
                    return;
                }
            }
    }

    TTempFolder folder_;
    THost host;
    TImage image{"iPreview"};
};

TEST_F(PicturesImage, MainWindowPreviewsPlaceThePictureAsTheTableSays) {
    image.SetStretch(true);
    image.SetProportional(true);
    LoadPlain(1024, 768);
    const RECT wide{0, 0, 233, 174};
    RECT dest = image.DestRect();
    EXPECT_TRUE(EqualRect(&dest, &wide));
    TCanvas canvas(233, 243);
    Render(canvas);
    ExpectPlaced(canvas, wide);  // the lower 69 rows show the container

    // The same control grown or shrunk with its container: no reload, another rectangle.
    Resize(376, 102);
    dest = image.DestRect();
    const RECT flat{0, 0, 135, 102};
    EXPECT_TRUE(EqualRect(&dest, &flat));
    TCanvas strip(376, 102);
    Render(strip);
    ExpectPlaced(strip, flat);

    // A tall picture and a small one enlarged.
    Resize(233, 243);
    LoadPlain(768, 1024);
    TCanvas tall(233, 243);
    Render(tall);
    ExpectPlaced(tall, RECT{0, 0, 182, 243});
    LoadPlain(100, 50);
    Render(tall);
    ExpectPlaced(tall, RECT{0, 0, 233, 116});
}

TEST_F(PicturesImage, CentredAndNaturalSizes) {
    image.SetStretch(true);
    image.SetProportional(true);
    image.SetCenter(true);
    Resize(153, 141);
    LoadPlain(1024, 768);
    TCanvas canvas(153, 141);
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 13, 153, 127});
    // Neither Stretch nor Proportional: the picture's own size, at the top-left corner.
    image.SetStretch(false);
    image.SetProportional(false);
    image.SetCenter(false);
    LoadPlain(20, 10);
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 0, 20, 10});
    // Proportional alone shrinks a picture larger than the area.
    image.SetProportional(true);
    LoadPlain(306, 141);
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 0, 153, 70});
}

TEST_F(PicturesImage, EmptyPictureShowsOnlyTheContainer) {
    image.SetStretch(true);
    image.SetProportional(true);
    TCanvas canvas(233, 243);
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 0, 0, 0});
    LoadPlain(4, 3);
    image.Picture.Clear();
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 0, 0, 0});
}

TEST_F(PicturesImage, IconInAPreviewIsDrawnUnscaledAtTheTopLeft) {
    image.SetStretch(true);
    image.SetProportional(true);
    image.Picture.LoadFromFile(Write("a.ico", MakeIcon({{32, 32, 0, MakeIconImage(32, 32, kPictureColour, 32)}})));
    TCanvas canvas(233, 243);
    Render(canvas);
    ExpectPlaced(canvas, RECT{0, 0, 32, 32});
}

TEST_F(PicturesImage, AutoSizeTakesThePictureSizeAndKeepsTheCorner) {
    image.SetBounds(RECT{5, 6, 15, 16});
    image.SetAutoSize(true);
    image.Picture.LoadFromStoredData(std::string("\x0ATPNGObject", 11) + [] {
        const Bytes png = MakePng(41, 31, 6, Bytes(41 * 31 * 4, 255));
        return std::string(png.begin(), png.end());
    }());
    RECT bounds = image.Bounds();
    const RECT expected{5, 6, 46, 37};
    EXPECT_TRUE(EqualRect(&bounds, &expected))
        << bounds.left << " " << bounds.top << " " << bounds.right << " " << bounds.bottom;
    // An empty picture, or one of 0 x 0, leaves the size.
    image.Picture.Clear();
    image.Picture.LoadFromFile(Write("empty.bmp", {}));
    bounds = image.Bounds();
    EXPECT_TRUE(EqualRect(&bounds, &expected));
    // Without AutoSize the control keeps its size.
    image.SetAutoSize(false);
    LoadPlain(70, 50);
    bounds = image.Bounds();
    EXPECT_TRUE(EqualRect(&bounds, &expected));
}

TEST_F(PicturesImage, PictureChangesAndResizesAskForARedraw) {
    const auto pending = [&] {
        RECT update;
        return GetUpdateRect(image.Handle(), &update, FALSE) != FALSE;
    };
    UpdateWindow(image.Handle());
    ASSERT_FALSE(pending());
    LoadPlain(4, 3);
    EXPECT_TRUE(pending()) << "after a load";
    UpdateWindow(image.Handle());
    ASSERT_FALSE(pending());
    image.Picture.Clear();
    EXPECT_TRUE(pending()) << "after a clear";
    UpdateWindow(image.Handle());
    Resize(100, 100);
    EXPECT_TRUE(pending()) << "after a resize";
    UpdateWindow(image.Handle());
    image.SetStretch(true);
    EXPECT_TRUE(pending()) << "after a switch";
}

TEST_F(PicturesImage, ResizingRedrawsTheKeptJpegWithoutDecodingAgain) {
    image.SetStretch(true);
    image.SetProportional(true);
    TJpegPicture layout;
    layout.width = 64;
    layout.height = 48;
    image.Picture.LoadFromFile(Write("a.jpg", WriteJpeg(layout)));
    int decodes = 0;
    const auto shown = image.Picture.OnProgress;
    image.Picture.OnProgress = [&](const TPictureProgress& p) {
        decodes += p.Finished;
        shown(p);
    };
    UpdateWindow(image.Handle());
    EXPECT_EQ(decodes, 1);
    for (int size : {100, 300, 150}) {
        Resize(size, size);
        UpdateWindow(image.Handle());
    }
    EXPECT_EQ(decodes, 1);
    image.Picture.OnProgress = shown;
}

TEST_F(PicturesImage, DrawingErrorShowsTheStandardErrorBoxOnce) {
    image.SetStretch(true);
    image.SetProportional(true);
    // A JPEG that fails at its first decode, and an icon whose image the system cannot build.
    const std::pair<const char*, Bytes> files[] = {{"empty.jpg", {}}, {"bad.ico", UnbuildableIcon()}};
    const char* const boxes[] = {"JPEG error #42.", "Out of system resources."};
    for (size_t i = 0; i < std::size(files); ++i) {
        image.Picture.LoadFromFile(Write(files[i].first, files[i].second));
        TBoxAnswerer answerer(Application.Title());
        for (int paint = 0; paint < 3; ++paint) {
            InvalidateRect(image.Handle(), nullptr, TRUE);
            UpdateWindow(image.Handle());  // returns once the box, if any, is answered
        }
        Sleep(200);
        EXPECT_EQ(answerer.Texts(), std::vector<std::string>{boxes[i]}) << files[i].first;
    }
}

TEST_F(PicturesImage, DrawingErrorsGoToTheOwnersHandlerWhenItHasOne) {
    std::vector<std::string> errors;
    image.OnDrawError = [&] {
        try {
            throw;
        } catch (const Exception& e) {
            errors.push_back(std::string(e.ClassName()) + ": " + e.Message());
        }
    };
    // An icon whose image the system cannot build: reported at its first drawing only.
    image.Picture.LoadFromFile(Write("bad.ico", UnbuildableIcon()));
    TCanvas canvas(233, 243);
    for (int paint = 0; paint < 3; ++paint) Render(canvas);
    InvalidateRect(image.Handle(), nullptr, TRUE);
    UpdateWindow(image.Handle());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("EOutOfResources: ", 0), 0u) << errors[0];
    ExpectPlaced(canvas, RECT{0, 0, 0, 0});
}

TEST_F(PicturesImage, IncrementalDisplayDrawsAtOnceWhenTheGraphicAsks) {
    image.SetStretch(true);
    LoadPlain(4, 4);
    UpdateWindow(host.Handle());
    UpdateWindow(image.Handle());
    const TPictureProgress report{50, true, RECT{0, 0, 4, 2}, false};
    const auto centre = [&] {
        HDC dc = GetDC(image.Handle());
        const COLORREF pixel = GetPixel(dc, 100, 100);
        ReleaseDC(image.Handle(), dc);
        return pixel;
    };
    const auto blacken = [&] {
        HDC dc = GetDC(image.Handle());
        RECT all{0, 0, 233, 243};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(image.Handle(), dc);
    };
    ASSERT_EQ(centre(), kPictureColour);
    blacken();
    ASSERT_EQ(centre(), RGB(0, 0, 0));
    image.Picture.OnProgress(report);
    EXPECT_EQ(centre(), RGB(0, 0, 0)) << "without IncrementalDisplay the control waits";
    image.SetIncrementalDisplay(true);
    image.Picture.OnProgress(TPictureProgress{50, false, RECT{0, 0, 4, 1}, false});
    EXPECT_EQ(centre(), RGB(0, 0, 0)) << "no redraw asked";
    image.Picture.OnProgress(report);
    EXPECT_EQ(centre(), kPictureColour);
}

}  // namespace
