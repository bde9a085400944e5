// Lumo.exe started from a fresh folder, observed through its exit code, its files, the
// registry and its windows.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <regex>

#include "support/lumo_process.h"
#include "support/startup_fixture.h"
#include "support/test_support.h"

TEST_F(StartupTest, AutorunWithoutSettingsFilesKeepsTheUsersWallpaperAtOnce) {
    // The first picture there of the Active Desktop's copy, the wallpaper value and what the
    // system reports; Windows' own caches and a slideshow's or Spotlight's picture are none. With
    // no default the desktop is left as it is.
    const std::string converted = MakePicture("converted.bmp"), mine = MakePicture("мои.bmp"),
                      system = MakePicture("system.bmp");
    SHCreateDirectoryExA(nullptr, folder_.File("Microsoft\\Windows\\Themes\\CachedFiles").c_str(), nullptr);
    const std::string transcoded = MakePicture("Microsoft\\Windows\\Themes\\TranscodedWallpaper"),
                      cached = MakePicture("Microsoft\\Windows\\Themes\\CachedFiles\\CachedImage_1024_768_POS4.jpg");
    const struct {
        const char *System, *Converted, *Wallpaper;
        std::string Expected;
        DWORD Background = 0;  // the Explorer's BackgroundType: 2 slideshow, 3 Spotlight
    } rows[] = {{"", converted.c_str(), mine.c_str(), converted},
                {"", "", mine.c_str(), mine},
                {"", "C:\\gone.bmp", mine.c_str(), mine},
                {system.c_str(), nullptr, nullptr, system},
                {"", nullptr, "C:\\gone.bmp", "<absent>"},
                {"", nullptr, nullptr, "<absent>"},
                {transcoded.c_str(), nullptr, transcoded.c_str(), "<absent>"},
                {"", cached.c_str(), cached.c_str(), "<absent>"},
                {"", nullptr, mine.c_str(), "<absent>", 2},
                {"", nullptr, mine.c_str(), "<absent>", 3}};
    for (const auto& row : rows) {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(row.System), 0);
        Clean();
        if (row.Converted) SetRegistryString(HKEY_CURRENT_USER, kDesktop, "ConvertedWallpaper", row.Converted);
        if (row.Wallpaper) SetRegistryString(HKEY_CURRENT_USER, kDesktop, "Wallpaper", row.Wallpaper);
        RegSetKeyValueA(HKEY_CURRENT_USER, kWallpapers, "BackgroundType", REG_DWORD, &row.Background, sizeof(DWORD));
        TLumoProcess lumo(folder_.Path());
        const DWORD start = GetTickCount();
        lumo.Start("/autorun");
        ASSERT_EQ(lumo.Wait(60000), 0);
        // The form's "10" does not apply without an options file.
        EXPECT_LT(GetTickCount() - start, 9000u);
        EXPECT_EQ(Desktop("Wallpaper"), row.Expected == "<absent>" && row.Wallpaper ? row.Wallpaper : row.Expected);
        EXPECT_EQ(Desktop("WallpaperStyle"), row.Expected == "<absent>" ? "<absent>" : "2");
        EXPECT_FALSE(PathExists(folder_.File("WallOpt.ini")));
        EXPECT_FALSE(PathExists(folder_.File("Murovelo.ini")));
    }
}

TEST_F(StartupTest, AutorunWaitsThePause) {
    const std::string picture = MakePicture("x.bmp");
    WriteFileBytes(folder_.File("WallOpt.ini"), "0\r\n" + picture + "\r\n3\r\n");
    TLumoProcess lumo(folder_.Path());
    const DWORD start = GetTickCount();
    lumo.Start("/autorun");
    ASSERT_EQ(lumo.Wait(60000), 0);
    EXPECT_GE(GetTickCount() - start, 3000u);
    EXPECT_EQ(Desktop("Wallpaper"), picture);
}

TEST_F(StartupTest, OneLineOptionsFileStopsTheStart) {
    WriteFileBytes(folder_.File("WallOpt.ini"), "-1\r\n");
    TLumoProcess lumo(folder_.Path());
    lumo.Start("/autorun");
    const HWND box = lumo.FindWindowOf("", "Application Error", 30000);
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_TRUE(std::regex_match(text, std::regex("Exception EStringListError in module Lumo\\.exe at [0-9A-F]+\\.\r\n"
                                                  "List index out of bounds \\(1\\)\\.\r\n")))
        << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(lumo.Wait(30000), 1);
    EXPECT_EQ(Desktop("Wallpaper"), "<absent>");
}

TEST_F(StartupTest, InteractiveRunShowsTheWindowAndSavesOnClose) {
    const std::string current = MakePicture("текущие.bmp");
    SetRegistryString(HKEY_CURRENT_USER, kDesktop, "ConvertedWallpaper", current);
    CreateDirectoryA(folder_.File("with blank").c_str(), nullptr);
    SetRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", "C:\\old place\\Lumo.exe /autorun");
    TLumoProcess lumo(folder_.File("with blank\\"));
    lumo.Start("/Autorun");  // letter case counts: an interactive run
    const HWND window = lumo.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    ASSERT_TRUE(window && WaitVisible(window, true));
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", data, type));
    // The path holds a blank: it is quoted, so that Windows still hands over /autorun.
    EXPECT_EQ(data, "\"" + folder_.File("with blank\\Lumo.exe") + "\" /autorun" + '\0');
    // The default taken from the desktop shows at once.
    char shown[MAX_PATH] = {};
    SendMessageA(OptionsControl(window, "Edit", nullptr, true), WM_GETTEXT, MAX_PATH, LPARAM(shown));
    EXPECT_EQ(shown, current);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(lumo.Wait(30000), 0);
    EXPECT_EQ(ReadFileBytes(folder_.File("with blank\\WallOpt.ini")), "0\r\n" + current + "\r\n10\r\n");
    EXPECT_EQ(ReadFileBytes(folder_.File("with blank\\Murovelo.ini")),
              "Понедельник\r\nВторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n");
    EXPECT_EQ(Desktop("Wallpaper"), "<absent>");
}

TEST_F(StartupTest, DefaultWallpaperWithoutAPreviewDoesNotStopTheStart) {
    WriteFileBytes(folder_.File("broken.bmp"), "BMxx");
    WriteFileBytes(folder_.File("WallOpt.ini"), "0\r\n" + folder_.File("broken.bmp") + "\r\n0\r\n");
    TLumoProcess lumo(folder_.Path());
    lumo.Start("/autorun");
    ASSERT_EQ(lumo.Wait(60000), 0);
    EXPECT_EQ(Desktop("Wallpaper"), folder_.File("broken.bmp"));
}
