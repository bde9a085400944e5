// Automatic runs on a Wednesday: this program runs under a faked clock (see the build), and
// so does every Lumo.exe it starts.
#include <gtest/gtest.h>

#include <utility>

#include "support/startup_fixture.h"
#include "wallpaper/weekday.h"

class WednesdayAutorun : public StartupTest {};

SYSTEMTIME Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

TEST(FakedDate, TodayIsAWednesday) {
    const SYSTEMTIME now = Now();
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
// build). The day's change follows «Запуск при старте системы»: each start registers Lumo.
class DayChange : public StartupTest {
protected:
    static void SetClock(const std::string& when) {
        std::string path = std::string("Z:") + getenv("FAKETIME_TIMESTAMP_FILE");
        for (char& c : path) c = c == '/' ? '\\' : c;
        ASSERT_TRUE(WriteFileBytes(path, "@" + when + "\n"));
    }
    // Starts Lumo.exe with this list, staying in the notification area; its main window.
    HWND StartAutorun(TLumoProcess& lumo, const std::string& folder, const std::string& list) {
        SetRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", "Lumo.exe /autorun");
        WriteFileBytes(folder + "Murovelo.ini", list);
        WriteFileBytes(folder + "WallOpt.ini", "-1\r\n\r\n0\r\n");
        lumo.Start("/autorun");
        return lumo.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    }
    TTempFolder other_;
};

TEST_F(DayChange, EveryWayANewDayComesBringsItsPictureOnceAndNoSenderWaits) {
    SetClock("2026-12-08 23:59:50");  // a Tuesday, ten seconds before midnight
    // Saturday's picture lies on a network share that answers only later (Wine maps a UNC name
    // to a folder of its prefix).
    const std::string unc = "\\\\lumohost\\share\\Суббота",
                      host = getenv("WINEPREFIX") + std::string("/dosdevices/unc/lumohost");
    const auto unshare = [&] { RunUnixCommand("rm -rf '" + host + "'"); };
    unshare();
    std::string list;
    for (int day = 1; day <= 7; ++day)
        list += DayNames[day] + std::string("\r\n\t") + (day == 7 ? unc : MakePicture(DayNames[day])) + "\r\n";
    // Two instances, without a default.
    TLumoProcess first(folder_.Path()), second(other_.Path());
    const HWND windows[2] = {StartAutorun(first, folder_.Path(), list), StartAutorun(second, other_.Path(), list)};
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("Вторник"); }, 9000));
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("Среда"); }, 30000));
    // Later days come with every moment the day may have changed. The instance named makes the
    // change; the other one leaves it, or is not asked. The sender is answered at once, also
    // while the picture is held, not there yet or a box is open, and the window answers what is
    // posted to it meanwhile.
    enum TSetup { kPlain, kHeld, kShareLater, kBoxOpen, kRunUnchecked };
    const struct {
        const char* Clock;
        UINT Message;
        WPARAM Event;
        int Changer;  // -1: none
        TSetup Setup;
    } rows[] = {{"2026-12-10 08:00:00", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, kPlain},
                {"2026-12-10 09:00:00", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, -1, kPlain},
                {"2026-12-11 08:00:00", WM_TIMECHANGE, 0, 0, kHeld},
                {"2026-12-12 08:00:00", 0x02B1 /* WM_WTSSESSION_CHANGE */, 8 /* unlock */, 0, kShareLater},
                {"2026-12-13 08:00:00", WM_SETTINGCHANGE, 0, 0, kPlain},                        // a new time zone
                {"2026-12-14 08:00:00", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, kPlain},  // the display
                {"2026-12-15 08:00:00", 0x02B1, 1 /* console connect */, 0, kPlain},
                {"2026-12-16 08:00:00", 0x02B1, 3 /* remote connect */, 0, kBoxOpen},
                {"2026-12-17 08:00:00", WM_TIMECHANGE, 0, 1, kRunUnchecked}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Clock);
        SetClock(row.Clock);
        const std::string picture = Now().wDayOfWeek == 6 ? unc : folder_.File(DayNames[Now().wDayOfWeek + 1]);
        HANDLE held = CreateFileA(picture.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (row.Setup != kHeld) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
        if (row.Setup == kRunUnchecked)
            SendMessageA(OptionsControl(windows[0], "Button", "Запуск при старте системы"), BM_CLICK, 0, 0);
        if (row.Setup == kBoxOpen) {
            PostMessageA(OptionsControl(windows[0], "Button", "Обзор...", true), BM_CLICK, 0, 0);
            ASSERT_NE(first.FindWindowOf("#32770", nullptr, 10000), nullptr);
        }
        for (int i = 0; i < (row.Setup == kBoxOpen ? 1 : 2); ++i) {
            SetRegistryString(HKEY_CURRENT_USER, kDesktop, "Wallpaper", "marker");
            const ULONGLONG sent = GetTickCount64();
            SendMessageTimeoutA(windows[i], row.Message, row.Event, 0, SMTO_BLOCK, 30000, nullptr);
            EXPECT_LT(GetTickCount64() - sent, 1000u);
            EXPECT_TRUE(PostedMessagesHandled(PauseEdit(windows[i])));
            const bool changes = i == row.Changer, later = changes && row.Setup != kPlain && row.Setup != kRunUnchecked;
            EXPECT_FALSE((!changes || later) && WaitUntil([] { return Desktop("Wallpaper") != "marker"; }, 1500)) << i;
            if (later && held != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
            if (later && row.Setup == kShareLater)
                RunUnixCommand("mkdir -p '" + host + "/share'"), WriteFileBytes(unc, "BM");
            if (later && row.Setup == kBoxOpen)
                PostMessageA(first.FindWindowOf("#32770", nullptr, 0), WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(!changes || WaitUntil([&] { return Desktop("Wallpaper") == picture; }, 30000)) << i;
        }
    }
    unshare();
}

TEST_F(DayChange, ALogonChangeThatEndsAfterMidnightIsFollowedByTheNewDaysPicture) {
    SetClock("2026-12-08 23:59:57");
    const std::string tuesday = MakePicture("Вторник");
    const std::string list = "Вторник\r\n\t" + tuesday + "\r\nСреда\r\n\t" + MakePicture("Среда") + "\r\n";
    // Tuesday's picture is held until the day is over.
    HANDLE held = CreateFileA(tuesday.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    TLumoProcess lumo(folder_.Path());
    ASSERT_NE(StartAutorun(lumo, folder_.Path(), list), nullptr);
    WaitUntil([] { return Now().wDay == 9; }, 10000);
    CloseHandle(held);
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("Среда"); }, 30000));
}
