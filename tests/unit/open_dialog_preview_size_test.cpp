#include <gtest/gtest.h>

#include <limits>

#include "open_dialog/preview_window.h"
#include "pictures/preview_rect.h"

namespace {
constexpr TClientSize kMonitor{1024, 768};
// The window as created, and its panel inside a one-pixel border line on each side.
constexpr TClientSize kWindow{300, 200};
constexpr TClientSize kPanel{298, 198};

// The area left for the picture inside the panel's 5-pixel margins at a window client size.
TClientSize PictureArea(TClientSize window) {
    return {window.Width - (kWindow.Width - kPanel.Width) - 10, window.Height - (kWindow.Height - kPanel.Height) - 10};
}

// Where the Preview window's image control (stretched, proportional, centred) draws a picture.
TPreviewRect Drawn(TClientSize picture, TClientSize area) {
    return PreviewDestination(picture.Width, picture.Height, area.Width, area.Height, {true, true, true});
}
}  // namespace

TEST(OpenDialogPreviewSize, SmallPictureShownAtItsOwnSize) {
    const TClientSize size = PreviewClientSize(kMonitor, kWindow, kPanel, {640, 480});
    EXPECT_EQ(size, (TClientSize{652, 492}));
    EXPECT_EQ(PictureArea(size), (TClientSize{640, 480}));
    EXPECT_EQ(Drawn({640, 480}, PictureArea(size)), (TPreviewRect{0, 0, 640, 480}));
    // The rule follows the border the panel really has.
    EXPECT_EQ(PreviewClientSize(kMonitor, {300, 200}, {296, 196}, {640, 480}), (TClientSize{654, 494}));
}

TEST(OpenDialogPreviewSize, LargePictureCappedAtThreeQuartersOfTheMonitor) {
    const TClientSize size = PreviewClientSize(kMonitor, kWindow, kPanel, {1600, 1200});
    EXPECT_EQ(size, (TClientSize{768, 576}));
    // The picture is scaled down into the 756 x 564 area, its ratio kept, centred.
    const TPreviewRect drawn = Drawn({1600, 1200}, PictureArea(size));
    EXPECT_EQ(drawn.Height(), 564);
    EXPECT_EQ(drawn.Width(), 751);
    EXPECT_EQ(drawn.left, 2);
    // Each side on its own: a wide, low picture is capped in width only.
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {2000, 100}), (TClientSize{768, 112}));
    // Three quarters truncated toward zero.
    EXPECT_EQ(PreviewClientSize({1023, 767}, kWindow, kPanel, {1600, 1200}), (TClientSize{767, 575}));
    // Exactly at the cap.
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {756, 564}), (TClientSize{768, 576}));
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {757, 565}), (TClientSize{768, 576}));
}

TEST(OpenDialogPreviewSize, HugeSidesGetTheCapWithoutOverflow) {
    // A metafile frame can report sides near the largest int, or far below zero.
    constexpr int kLargest = std::numeric_limits<int>::max();
    constexpr int kSmallest = std::numeric_limits<int>::min();
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {kLargest, 480}), (TClientSize{768, 492}));
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {kLargest - 11, kLargest}), (TClientSize{768, 576}));
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {640, kSmallest}), (TClientSize{652, 0}));
    // Three quarters of a monitor side near the largest int, also without overflow.
    EXPECT_EQ(PreviewClientSize({kLargest, kLargest}, kWindow, kPanel, {kLargest, kLargest}),
              (TClientSize{1610612735, 1610612735}));
}

TEST(OpenDialogPreviewSize, PictureWithoutWidthLeavesTheWindow) {
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {0, 0}), kWindow);
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {0, 480}), kWindow);
    // A width alone is enough: the height follows the same rule with 0.
    EXPECT_EQ(PreviewClientSize(kMonitor, kWindow, kPanel, {100, 0}), (TClientSize{112, 12}));
}
