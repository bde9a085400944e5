#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "ui/glyph_art.h"
#include "ui/layout.h"
#include "ui/list_rows.h"

namespace {
// The Files page at design size is 410 × 311.
TPlacement OnFilesPage(TBounds design, TAnchors anchors) { return {design, anchors, TAlign::alNone, 410, 311}; }
}  // namespace

TEST(Layout, AnchorsFollowTheParentsEdges) {
    const TPlacement tree = OnFilesPage({0, 0, 156, 280}, akLeft | akTop | akRight | akBottom);
    const TPlacement preview = OnFilesPage({161, 0, 249, 266}, akTop | akRight | akBottom);
    const TPlacement add = OnFilesPage({0, 285, 23, 22}, akLeft | akBottom);
    const TPlacement change = OnFilesPage({164, 275, 128, 25}, akRight | akBottom);
    const TPlacement fixed = OnFilesPage({8, 8, 100, 17}, kDefaultAnchors);
    EXPECT_EQ(PlaceControl(tree, 410, 311), (TBounds{0, 0, 156, 280}));
    EXPECT_EQ(PlaceControl(tree, 510, 361), (TBounds{0, 0, 256, 330}));
    EXPECT_EQ(PlaceControl(preview, 510, 361), (TBounds{261, 0, 249, 316}));
    EXPECT_EQ(PlaceControl(add, 510, 361), (TBounds{0, 335, 23, 22}));
    EXPECT_EQ(PlaceControl(change, 510, 361), (TBounds{264, 325, 128, 25}));
    EXPECT_EQ(PlaceControl(fixed, 510, 361), (TBounds{8, 8, 100, 17}));
    // Shrinking below the design size lets controls overlap but never makes a size negative.
    EXPECT_EQ(PlaceControl(tree, 100, 200), (TBounds{0, 0, 0, 169}));
    EXPECT_EQ(PlaceControl(preview, 100, 200), (TBounds{-149, 0, 249, 155}));
}

TEST(Layout, NeitherEdgeAnchoredKeepsTheRelativeCentre) {
    const TPlacement centred = OnFilesPage({155, 100, 100, 20}, akTop);
    EXPECT_EQ(PlaceControl(centred, 820, 311).Left, 360);
}

TEST(Layout, AlignedControls) {
    const TPlacement client{{0, 0, 418, 339}, kDefaultAnchors, TAlign::alClient, 418, 339};
    EXPECT_EQ(PlaceControl(client, 500, 400), (TBounds{0, 0, 500, 400}));
    // The Options page's group: aligned to the bottom and anchored on all sides, so its top
    // keeps 82 pixels and it grows.
    const TPlacement group{{0, 82, 410, 229}, akLeft | akTop | akRight | akBottom, TAlign::alBottom, 410, 311};
    EXPECT_EQ(PlaceControl(group, 500, 400), (TBounds{0, 82, 500, 318}));
    const TPlacement bottom{{0, 82, 410, 229}, kDefaultAnchors, TAlign::alBottom, 410, 311};
    EXPECT_EQ(PlaceControl(bottom, 500, 400), (TBounds{0, 171, 500, 229}));
}

TEST(Layout, ScalingAndCentring) {
    EXPECT_EQ(ScaleFontHeight(-11, 96), -11);
    EXPECT_EQ(ScaleFontHeight(-11, 120), -14);  // -13.75
    EXPECT_EQ(ScaleFontHeight(-11, 144), -17);  // -16.5 rounds away from zero
    EXPECT_EQ(ScaleBounds({164, 275, 128, 25}, 13), (TBounds{164, 275, 128, 25}));
    EXPECT_EQ(ScaleBounds({164, 275, 128, 25}, 16), (TBounds{202, 338, 158, 31}));
}

TEST(Layout, CentringOnTheVirtualScreen) {
    // One monitor: the stored position plays no part; odd remainders round down.
    EXPECT_EQ(CentreOn({113, 385, 426, 366}, {0, 0, 1024, 768}), (TBounds{299, 201, 426, 366}));
    EXPECT_EQ(CentreOn({0, 0, 427, 367}, {0, 0, 1024, 768}), (TBounds{298, 200, 427, 367}));
    // A desktop smaller than the window: its top-left corner.
    EXPECT_EQ(CentreOn({0, 0, 426, 366}, {0, 0, 300, 200}), (TBounds{0, 0, 426, 366}));
    EXPECT_EQ(CentreOn({0, 0, 426, 366}, {0, 0, 425, 365}), (TBounds{0, 0, 426, 366}));
    // A second monitor left of the primary one: the virtual screen starts at -1280.
    EXPECT_EQ(CentreOn({113, 385, 426, 366}, {-1280, 0, 2560, 1024}), (TBounds{-213, 329, 426, 366}));
    // One above it, and one left of and above it.
    EXPECT_EQ(CentreOn({0, 0, 426, 366}, {0, -768, 1024, 1792}), (TBounds{299, -55, 426, 366}));
    EXPECT_EQ(CentreOn({0, 0, 426, 366}, {-1920, -1080, 3840, 2160}), (TBounds{-213, -183, 426, 366}));
    // Too small a virtual screen with a negative origin: never left of or above it.
    EXPECT_EQ(CentreOn({50, 60, 426, 366}, {-1280, -200, 300, 200}), (TBounds{-1280, -200, 426, 366}));
    // A monitor right of the primary one only widens the desktop.
    EXPECT_EQ(CentreOn({0, 0, 426, 366}, {0, 0, 2048, 768}), (TBounds{811, 201, 426, 366}));
}

TEST(Layout, CentringOnThePrimaryMonitor) {
    // Two and three monitors around the primary one (at the origin), in any order; none: the window stays.
    const TBounds window{113, 385, 426, 366}, primary{0, 0, 1024, 768}, centred{299, 201, 426, 366};
    const std::vector<TBounds> screens[] = {{{-1280, 0, 1280, 1024}, primary},
                                            {primary, {1024, -200, 1920, 1080}},
                                            {{1024, 0, 800, 600}, {-1920, -1080, 1920, 1080}, primary}};
    for (const std::vector<TBounds>& monitors : screens) EXPECT_EQ(CentreOnPrimaryMonitor(window, monitors), centred);
    EXPECT_EQ(CentreOnPrimaryMonitor(window, {}), window);
}

// A glyph's rows ('#' outline, 'o' fill, '.' clear), each ended by '|'.
std::string Rows(const TGlyphArt& art) {
    std::string rows;
    for (int i = 0; i < art.Size * art.Size; ++i)
        (rows += ".#o"[static_cast<int>(art.At(i % art.Size, i / art.Size))]) +=
            i % art.Size == art.Size - 1 ? "|" : "";
    return rows;
}

TEST(GlyphArt, SignsAtTheDesignSizeAndScaledAndTheNearestDrawnSize) {
    EXPECT_EQ(Rows(SignGlyph(TGlyphSign::Plus, 7)), "..###..|..#o#..|###o###|#ooooo#|###o###|..#o#..|..###..|");
    EXPECT_EQ(Rows(SignGlyph(TGlyphSign::Minus, 7)), ".......|.......|#######|#ooooo#|#######|.......|.......|");
    // At 200 %: two-pixel outlines round a two-pixel fill, centred.
    EXPECT_EQ(Rows(SignGlyph(TGlyphSign::Plus, 14)).substr(30, 45), "....##oo##....|....##oo##....|######oo######|");
    EXPECT_EQ(NearestGlyphSize(std::array{16, 20, 24, 32}, 20), 24);  // 16 x 20 / 13 = 24.6
}

TEST(ListRows, APictureByItsNameAndFolderAndWhyAnEntryCannotBeUsed) {
    const std::tuple<const char*, bool, const TListMark*, const char*> rows[] = {
        {"C:\\Фото\\Коты\\Кот Барсик (2).jpg", true, nullptr, "Кот Барсик (2).jpg — Коты"},
        {"C:\\a.jpg", true, nullptr, "a.jpg — C:"},
        {"\\\\server\\share\\b.png", true, nullptr, "b.png — share"},
        {"d:/photos/c.bmp", true, nullptr, "c.bmp — photos"},
        {"f.jpg", true, nullptr, "f.jpg"},
        {"C:\\Фото\\", true, nullptr, "C:\\Фото\\"},
        {"C:\\Фото\\gone.jpg", true, &kMissingPicture, "gone.jpg — Фото (нет файла)"},
        {"Среда\\x", false, nullptr, "Среда\\x"},
        {"Пятница (work)", false, &kNotADay, "Пятница (work) (не день недели)"},
    };
    for (const auto& [text, picture, mark, row] : rows) EXPECT_EQ(ListRowText(text, picture, mark), row) << text;
}
