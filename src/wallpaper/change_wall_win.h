// The one place that talks to the system about the desktop wallpaper: applying a change, the
// monitors it can give pictures of their own, and the wallpaper the system reports.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "wallpaper/wallpaper_change.h"

// The current user's desktop settings, under HKEY_CURRENT_USER: the wallpaper's values.
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
// The Explorer's choice of the desktop's background, under HKEY_CURRENT_USER.
constexpr char kWallpapersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Wallpapers";

// The shell's desktop-wallpaper object of Windows 8 and later (IDesktopWallpaper), in the order
// of its methods. Like every COM interface it is released, never deleted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IShellDesktopWallpaper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitor, LPCWSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitor, LPWSTR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* monitor) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitor, RECT* rect) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF color) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPosition(int position) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(int* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshow(IUnknown* items) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshow(IUnknown** items) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshowOptions(int options, UINT tick) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshowOptions(int* options, UINT* tick) = 0;
    virtual HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR monitor, int direction) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatus(int* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Enable(BOOL enable) = 0;
};
#pragma GCC diagnostic pop
extern const CLSID kClsidDesktopWallpaper;
extern const IID kIidDesktopWallpaper;

// The values Windows keeps for a placement: "WallpaperStyle", "TileWallpaper", and the
// desktop-wallpaper object's DESKTOP_WALLPAPER_POSITION.
struct TPlacementValues {
    const char* Style;
    const char* Tile;
    int Position;
};
TPlacementValues PlacementValues(TWallpaperPlacement placement);

// The monitors that can show a picture of their own: as many as the desktop-wallpaper object
// lists attached ones; 1 where there is no such object (Windows 7, Wine), which shows one
// picture on all. COM must be initialised on the calling thread, as for the next.
size_t WallpaperMonitorCount();

// Makes a change the desktop wallpaper; a change without pictures does nothing. Where the
// desktop-wallpaper object exists it is given the placement and the picture, for all monitors or
// for each attached monitor in its list order (the pictures repeat when there are more
// monitors than pictures). Elsewhere: "Wallpaper" = the first picture, "TileWallpaper" and
// "WallpaperStyle" of the placement under kDesktopKey, the system's wallpaper setting given the
// path, and the shell's Active Desktop object asked to apply and save it. Every failure that
// the system reports leaves as an exception (the Active Desktop's own apply is the last step,
// its picture already set by the system's call, and is not judged).
void ApplyWallpaperChange(const TWallpaperChange& change);

// What the system shows as the desktop's background. A slideshow and Windows Spotlight
// replace the wallpaper at their next turn, whoever set it: Microsoft documents no way for a
// program to end them, and setting a picture through the desktop-wallpaper object is not said
// to.
enum class TBackgroundKind { Picture, Slideshow, Spotlight };
// Windows Spotlight where the Explorer's "BackgroundType" under kWallpapersKey is 3; a
// slideshow where the desktop-wallpaper object says one is set (GetStatus), or without the
// object where that value is 2; else a picture (or a plain colour).
TBackgroundKind SystemBackground();

// The user's current wallpaper as the system reports it (SPI_GETDESKWALLPAPER); empty when it
// has none.
std::string CurrentDesktopWallpaper();
