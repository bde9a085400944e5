// The fixture of the tests that start Lumo.exe: a fresh folder, and the desktop and start
// values of the registry cleaned before and after.
#pragma once

#include <gtest/gtest.h>

#include "lumo_process.h"
#include "test_support.h"

inline const char kDesktop[] = "Control Panel\\Desktop";
inline const char kWallpapers[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Wallpapers";
inline const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Task Manager's start-up switches of the Run values, under the same roots.
inline const char kRunSwitchKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The pause's edit on the Options page of a running Lumo's main window; it always holds a number.
inline HWND PauseEdit(HWND mainWindow) {
    const HWND tabs = FindWindowExA(mainWindow, nullptr, "SysTabControl32", nullptr);
    return FindWindowExA(FindWindowExA(tabs, nullptr, "TTabSheet", "tshOptions"), nullptr, "Edit", nullptr);
}

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
    std::string MakePicture(const std::string& name) {
        WriteFileBytes(folder_.File(name), "BM");
        return folder_.File(name);
    }
    TTempFolder folder_;
};
