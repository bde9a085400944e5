// The destination rectangle of an image control: the main window's previews (Stretch and
// Proportional), the centred dialog picture, natural size and the proportional shrink.
#include <gtest/gtest.h>

#include <cmath>

#include "pictures/preview_rect.h"

namespace {

constexpr TPreviewSwitches kPreview{true, true, false};  // iPreview, oldPreview
constexpr TPreviewSwitches kCentred{true, true, true};   // the dialog's picture

struct TRow {
    int width, height, areaWidth, areaHeight, expectedWidth, expectedHeight;
};

TEST(PicturesPreviewRect, MainWindowPreviewsFillWidthOrHeightAtTheTopLeft) {
    const TRow rows[] = {
        {1024, 768, 233, 243, 233, 174},  {768, 1024, 233, 243, 182, 243}, {1920, 1080, 233, 243, 233, 131},
        {100, 50, 233, 243, 233, 116},    {32, 32, 233, 243, 233, 233},    {1024, 768, 376, 102, 135, 102},
        {800, 600, 376, 102, 135, 102},   {640, 480, 376, 102, 135, 102},  {1920, 1080, 376, 102, 181, 102},
        {1280, 1024, 376, 102, 127, 102},
    };
    for (const TRow& row : rows) {
        const TPreviewRect rect = PreviewDestination(row.width, row.height, row.areaWidth, row.areaHeight, kPreview);
        EXPECT_EQ(rect, (TPreviewRect{0, 0, row.expectedWidth, row.expectedHeight}))
            << row.width << " x " << row.height << " in " << row.areaWidth << " x " << row.areaHeight << ": "
            << rect.Width() << " x " << rect.Height();
    }
}

TEST(PicturesPreviewRect, RatioProductsUseExtendedPrecision) {
    // The stored ratio of 4:3 lies just below 4/3: in double precision 102 x ratio rounds up to
    // exactly 136, with a 64-bit significand it stays below and truncates to 135.
    const double ratio = 1024.0 / 768.0;
    ASSERT_EQ(std::trunc(102.0 * ratio), 136.0);
    EXPECT_EQ(PreviewDestination(4, 3, 376, 102, kPreview).Width(), 135);
    EXPECT_EQ(PreviewDestination(400, 300, 376, 102, kPreview).Width(), 135);
    // A quotient: the stored 5 : 3 lies just above 5/3, so 300 / ratio lies just below 180.
    EXPECT_EQ(PreviewDestination(500, 300, 300, 400, kPreview), (TPreviewRect{0, 0, 300, 179}));
    // A product: the stored 3 : 5 (0.6) lies just below 0.6, so 300 x ratio lies below 180.
    EXPECT_EQ(PreviewDestination(300, 500, 400, 300, kPreview), (TPreviewRect{0, 0, 179, 300}));
}

TEST(PicturesPreviewRect, EmptyPictureTakesTheWholeAreaWhenStretched) {
    EXPECT_EQ(PreviewDestination(0, 0, 233, 243, kPreview), (TPreviewRect{0, 0, 233, 243}));
    EXPECT_EQ(PreviewDestination(0, 0, 376, 102, kCentred), (TPreviewRect{0, 0, 376, 102}));
    EXPECT_EQ(PreviewDestination(0, 0, 376, 102, {}), (TPreviewRect{0, 0, 0, 0}));
}

TEST(PicturesPreviewRect, CentredRectangleMovesByHalfTheDifference) {
    EXPECT_EQ(PreviewDestination(1024, 768, 153, 141, kCentred), (TPreviewRect{0, 13, 153, 127}));
    EXPECT_EQ(PreviewDestination(768, 1024, 153, 141, kCentred), (TPreviewRect{24, 0, 129, 141}));
    // Natural size, centred: an odd difference truncates.
    EXPECT_EQ(PreviewDestination(10, 10, 15, 20, {false, false, true}), (TPreviewRect{2, 5, 12, 15}));
    // A picture wider than the area moves left by half the excess (toward zero: -3 / 2 = -1).
    EXPECT_EQ(PreviewDestination(23, 10, 20, 20, {false, false, true}), (TPreviewRect{-1, 5, 22, 15}));
}

TEST(PicturesPreviewRect, WithoutStretchProportionalOnlyShrinks) {
    const TPreviewSwitches proportional{false, true, false};
    EXPECT_EQ(PreviewDestination(100, 50, 233, 243, proportional), (TPreviewRect{0, 0, 100, 50}));
    EXPECT_EQ(PreviewDestination(1024, 768, 233, 243, proportional), (TPreviewRect{0, 0, 233, 174}));
    // Too tall only: still scaled to fit (243 x the stored 1 : 3 lies just below 81).
    EXPECT_EQ(PreviewDestination(100, 300, 233, 243, proportional), (TPreviewRect{0, 0, 80, 243}));
}

TEST(PicturesPreviewRect, StretchWithoutProportionalFillsTheArea) {
    EXPECT_EQ(PreviewDestination(1024, 768, 233, 243, {true, false, false}), (TPreviewRect{0, 0, 233, 243}));
    EXPECT_EQ(PreviewDestination(10, 10, 233, 243, {true, false, true}), (TPreviewRect{0, 0, 233, 243}));
    // Neither switch: the picture's own size, also when larger than the area.
    EXPECT_EQ(PreviewDestination(1024, 768, 233, 243, {}), (TPreviewRect{0, 0, 1024, 768}));
}

}  // namespace
