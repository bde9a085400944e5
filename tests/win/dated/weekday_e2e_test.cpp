// Automatic runs on a Wednesday: this program runs under a faked clock (see the build), and
// so does every Lumo.exe it starts.
#include <gtest/gtest.h>

#include "support/startup_fixture.h"

class WednesdayAutorun : public StartupTest {};

TEST(FakedDate, TodayIsAWednesday) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    ASSERT_EQ(now.wYear, 2026);
    ASSERT_EQ(now.wMonth, 12);
    ASSERT_EQ(now.wDay, 9);
    ASSERT_EQ(now.wDayOfWeek, 3);
}

TEST_F(WednesdayAutorun, AutorunPicksFromTheDaysFilesAndEnds) {
    const std::string a = MakePicture("a.bmp"), b = MakePicture("b.bmp"), other = MakePicture("other.bmp");
    const std::string list =
        "Понедельник\r\n\t" + other + "\r\nСреда\r\n\t" + a + "\r\n\t" + b + "\r\nЧетверг\r\n\t" + other + "\r\n";
    const std::string options = "0\r\n" + other + "\r\n0\r\n";
    WriteFileBytes(folder_.File("Murovelo.ini"), list);
    WriteFileBytes(folder_.File("WallOpt.ini"), options);
    TLumoProcess lumo(folder_.Path());
    lumo.Start("/autorun");
    ASSERT_EQ(lumo.Wait(60000), 0);
    const std::string wallpaper = Desktop("Wallpaper");
    EXPECT_TRUE(wallpaper == a || wallpaper == b) << wallpaper;
    EXPECT_EQ(Desktop("TileWallpaper"), "0");
    EXPECT_EQ(Desktop("WallpaperStyle"), "2");
    // Nothing is saved by an automatic run that ends.
    EXPECT_EQ(ReadFileBytes(folder_.File("Murovelo.ini")), list);
    EXPECT_EQ(ReadFileBytes(folder_.File("WallOpt.ini")), options);
}

TEST_F(WednesdayAutorun, AutorunAppliesTheDefaultWhenThePickedFileIsMissing) {
    const std::string fallback = MakePicture("default.bmp");
    WriteFileBytes(folder_.File("Murovelo.ini"), "Среда\r\n\t" + folder_.File("gone.bmp") + "\r\n");
    WriteFileBytes(folder_.File("WallOpt.ini"), "0\r\n" + fallback + "\r\n0\r\n");
    TLumoProcess lumo(folder_.Path());
    lumo.Start("/autorun");
    ASSERT_EQ(lumo.Wait(60000), 0);
    EXPECT_EQ(Desktop("Wallpaper"), fallback);
}
