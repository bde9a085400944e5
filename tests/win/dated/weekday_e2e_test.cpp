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

TEST_F(WednesdayAutorun, AutorunAppliesTheDefaultWhenThePickedFileIsMissingOrNeverReady) {
    // A picture held open without sharing, as one its cloud provider still fetches, is given a
    // while; one that is not there is not.
    const std::string fallback = MakePicture("default.bmp"), held = MakePicture("cloud.bmp");
    WriteFileBytes(folder_.File("WallOpt.ini"), "0\r\n" + fallback + "\r\n0\r\n");
    for (const DWORD heldFor : {0u, 3000u, 40000u}) {
        Clean();
        const std::string picked = heldFor ? held : folder_.File("gone.bmp");
        WriteFileBytes(folder_.File("Murovelo.ini"), "Среда\r\n\t" + picked + "\r\n");
        HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        TLumoProcess lumo(folder_.Path());
        lumo.Start("/autorun");
        WaitUntil([&] { return Desktop("Wallpaper") != "<absent>"; }, heldFor);
        CloseHandle(file);
        ASSERT_EQ(lumo.Wait(60000), 0);
        EXPECT_EQ(Desktop("Wallpaper"), heldFor == 3000 ? held : fallback) << heldFor;
    }
}

// The day changes while Lumo.exe stays in the notification area: this program, and every
// Lumo.exe it starts, runs on a clock read anew from a file that the test rewrites (see the
// build).
class DayChange : public StartupTest {
protected:
    static void SetClock(const std::string& when) {
        std::string path = std::string("Z:") + getenv("FAKETIME_TIMESTAMP_FILE");
        for (char& c : path) c = c == '/' ? '\\' : c;
        ASSERT_TRUE(WriteFileBytes(path, "@" + when + "\n"));
    }
    TTempFolder other_;
};

TEST_F(DayChange, MidnightResumeClockAndUnlockBringTheNewDaysPictureOnce) {
    SetClock("2026-12-08 23:59:50");  // a Tuesday, ten seconds before midnight
    std::string list;
    for (const std::string day : {"Вторник", "Среда", "Четверг", "Пятница", "Суббота"})
        list += day + "\r\n\t" + MakePicture(day) + "\r\n";
    // Two instances that stay in the notification area, without a default.
    TLumoProcess first(folder_.Path()), second(other_.Path());
    HWND windows[2] = {};
    for (const std::string& folder : {folder_.Path(), other_.Path()}) {
        WriteFileBytes(folder + "Murovelo.ini", list);
        WriteFileBytes(folder + "WallOpt.ini", "-1\r\n\r\n0\r\n");
    }
    for (TLumoProcess* lumo : {&first, &second}) {
        lumo->Start("/autorun");
        windows[lumo == &second] = lumo->FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    }
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("Вторник"); }, 9000));
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("Среда"); }, 30000));
    // Later days come with a resume, a change of the clock and an unlock; the first instance
    // makes the change, and the second, asked next, leaves it; a resume on the same day
    // changes nothing.
    const struct {
        const char* Clock;
        UINT Message;
        WPARAM Event;
        const char* Picture;
    } rows[] = {{"2026-12-10 08:00:00", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, "Четверг"},
                {"2026-12-10 09:00:00", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, nullptr},
                {"2026-12-11 08:00:00", WM_TIMECHANGE, 0, "Пятница"},
                {"2026-12-12 08:00:00", 0x02B1 /* WM_WTSSESSION_CHANGE */, 8 /* WTS_SESSION_UNLOCK */, "Суббота"}};
    for (const auto& row : rows) {
        SetClock(row.Clock);
        for (const HWND window : windows) {
            SetRegistryString(HKEY_CURRENT_USER, kDesktop, "Wallpaper", "marker");
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, row.Message, row.Event, 0, SMTO_BLOCK, 30000, &result);
            const bool changes = row.Picture && window == windows[0];
            EXPECT_EQ(Desktop("Wallpaper"), changes ? folder_.File(row.Picture) : "marker") << row.Clock;
        }
    }
}
