// Making a picture file the desktop wallpaper of the current user.
#pragma once

#include <string>

// Writes "Wallpaper" = path, "TileWallpaper" = "0" and "WallpaperStyle" = "2" under
// HKEY_CURRENT_USER "Control Panel\Desktop", asks the system to take up the setting, and
// asks the shell's Active Desktop object to apply and save it. COM must be initialised on
// the calling thread.
void ApplyWallpaper(const std::string& path);
