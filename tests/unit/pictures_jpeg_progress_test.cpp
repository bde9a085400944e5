#include <gtest/gtest.h>

#include "pictures/jpeg_progress.h"

namespace {

TJpegProgress At(long counter, long limit, int completed, int total, int rows) {
    return {counter, limit, completed, total, rows};
}

}  // namespace

TEST(JpegProgress, PercentFromLibjpegsCounters) {
    EXPECT_EQ(JpegProgressPercent(At(0, 100, 0, 1, 0)), 0);
    EXPECT_EQ(JpegProgressPercent(At(50, 100, 0, 1, 0)), 50);
    EXPECT_EQ(JpegProgressPercent(At(50, 100, 1, 3, 0)), 50);  // (0.5 + 1) x 100 / 3
    EXPECT_EQ(JpegProgressPercent(At(99, 100, 0, 2, 0)), 49);  // 49.5 truncated
    EXPECT_EQ(JpegProgressPercent(At(1, 3, 2, 3, 0)), 77);     // 77.7 truncated
    EXPECT_EQ(JpegProgressPercent(At(7, 0, 1, 2, 0)), 50);     // no limit: no fraction
    EXPECT_EQ(JpegProgressPercent(At(7, 10, 1, 0, 0)), 0);     // no passes at all
}

TEST(JpegProgress, ReportsAtMostEveryHalfSecondAfterTheFirstCheck) {
    TJpegProgressThrottle throttle;
    const TJpegProgressReport start = throttle.Start();
    EXPECT_EQ(start.percent, 0);
    EXPECT_FALSE(start.redrawNow);

    // The first check only records the time, whatever the progress.
    EXPECT_FALSE(throttle.Check(At(10, 100, 0, 1, 10), 1000).has_value());
    EXPECT_FALSE(throttle.Check(At(20, 100, 0, 1, 20), 1499).has_value());
    const auto first = throttle.Check(At(30, 100, 0, 1, 30), 1500);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->percent, 30);
    EXPECT_EQ(first->bandTop, 0);
    EXPECT_EQ(first->bandBottom, 30);
    EXPECT_TRUE(first->redrawNow);

    // The next window starts at that report; an unchanged percentage says nothing.
    EXPECT_FALSE(throttle.Check(At(40, 100, 0, 1, 40), 1999).has_value());
    EXPECT_FALSE(throttle.Check(At(30, 100, 0, 1, 32), 2000).has_value());
    // A band of fewer than 4 rows is reported without asking for a redraw; it then starts
    // where the last report ended.
    const auto thin = throttle.Check(At(33, 100, 0, 1, 33), 2600);
    ASSERT_TRUE(thin.has_value());
    EXPECT_EQ(thin->bandTop, 30);
    EXPECT_EQ(thin->bandBottom, 33);
    EXPECT_FALSE(thin->redrawNow);
    const auto four = throttle.Check(At(34, 100, 0, 1, 37), 3100);
    ASSERT_TRUE(four.has_value());
    EXPECT_EQ(four->bandTop, 33);
    EXPECT_TRUE(four->redrawNow);
    // The tick count may wrap around.
    TJpegProgressThrottle wrapping;
    wrapping.Start();
    wrapping.Check(At(0, 100, 0, 1, 0), 0xFFFFFF00u);
    EXPECT_TRUE(wrapping.Check(At(50, 100, 0, 1, 50), 0x00000100u).has_value());
}

TEST(JpegProgress, TheEndReportsAHundredOrZeroAndRedrawsOnlyForANewPalette) {
    TJpegProgressThrottle throttle;
    throttle.Start();
    throttle.Check(At(0, 100, 0, 1, 0), 0);
    throttle.Check(At(40, 100, 0, 1, 40), 600);
    const TJpegProgressReport done = throttle.Finish(false, false, 100);
    EXPECT_EQ(done.percent, 100);
    EXPECT_EQ(done.bandTop, 40);
    EXPECT_EQ(done.bandBottom, 100);
    EXPECT_FALSE(done.redrawNow);

    throttle.Start();
    const TJpegProgressReport failed = throttle.Finish(true, true, 12);
    EXPECT_EQ(failed.percent, 0);
    EXPECT_EQ(failed.bandBottom, 12);
    EXPECT_TRUE(failed.redrawNow);
}
