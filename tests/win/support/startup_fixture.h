// The fixture of the tests that start Lumo.exe: a fresh folder, and the desktop and start
// values of the registry cleaned before and after.
#pragma once

#include <gtest/gtest.h>

#include "lumo_process.h"
#include "test_support.h"

inline const char kWallpapers[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Wallpapers";

// A control of the Options page of a running Lumo's main window, or of the page's group of the
// default wallpaper.
inline HWND OptionsControl(HWND mainWindow, const char* className, const char* text, bool inDefaultGroup = false) {
    HWND parent = FindWindowExA(FindWindowExA(mainWindow, nullptr, "SysTabControl32", nullptr), nullptr, "TTabSheet",
                                "tshOptions");
    if (inDefaultGroup) parent = FindWindowExA(parent, nullptr, "Button", " Лумо по умолчанию ");
    return FindWindowExA(parent, nullptr, className, text);
}
// The pause's edit, which always holds a number.
inline HWND PauseEdit(HWND mainWindow) { return OptionsControl(mainWindow, "Edit", nullptr); }

class StartupTest : public ::testing::Test {
protected:
    // A run without an options file takes the system's wallpaper as its default: none at first.
    void SetUp() override { SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), 0), Clean(); }
    void TearDown() override { SetUp(); }
    static void Clean() {
        for (const char* name : {"Wallpaper", "TileWallpaper", "WallpaperStyle", "ConvertedWallpaper"})
            DeleteRegistryValue(HKEY_CURRENT_USER, kDesktop, name);
        for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            for (const char* key : {kRunKey, kRunSwitchKey}) DeleteRegistryValue(root, key, "Лумо");
        DeleteRegistryValue(HKEY_CURRENT_USER, kWallpapers, "BackgroundType");
        DeleteRegistryKey(HKEY_CURRENT_USER, kSessionRecordKey);
    }
    static std::string Desktop(const char* name) { return ReadRegistryString(HKEY_CURRENT_USER, kDesktop, name); }
    // A file of the folder; by default a bitmap's signature, no picture that can be shown.
    std::string MakePicture(const std::string& name, const std::vector<uint8_t>& bytes = {'B', 'M'}) {
        WriteFileBytes(folder_.File(name), bytes);
        return folder_.File(name);
    }
    TTempFolder folder_;
};
