// Making a picture file the desktop wallpaper of the current user.
#pragma once

#include <string>

// The current user's desktop settings, under HKEY_CURRENT_USER: the wallpaper's values.
constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// Writes "Wallpaper" = path, "TileWallpaper" = "0" and "WallpaperStyle" = "2" under
// kDesktopKey, hands the path to the system's wallpaper setting, and asks the shell's Active
// Desktop object to apply and save it. COM must be initialised on the calling thread.
void ApplyWallpaper(const std::string& path);

// The user's current wallpaper as the system reports it (SPI_GETDESKWALLPAPER); empty when it
// has none.
std::string CurrentDesktopWallpaper();
