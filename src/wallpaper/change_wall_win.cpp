#include "wallpaper/change_wall_win.h"

#include <objbase.h>

#include "base/exceptions.h"
#include "base/handles_win.h"
#include "base/system_win.h"
#include "settings/registry_win.h"

// The one method used of the shell's Active Desktop interface: the first after IUnknown's.
// It has external linkage: implemented only by the shell, an interface local to this file
// would let the compiler conclude that nothing can implement it. Like every COM interface it
// is released, never deleted, and so has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IActiveDesktopApply : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) = 0;
};
#pragma GCC diagnostic pop

const CLSID kClsidDesktopWallpaper = {0xC2CF3110, 0x460E, 0x4FC1, {0xB9, 0xD0, 0x8A, 0x1C, 0x0C, 0x9C, 0xC4, 0xBD}};
const IID kIidDesktopWallpaper = {0xB92B56A9, 0x8B55, 0x4E14, {0x9A, 0x89, 0x01, 0x99, 0xBB, 0xB6, 0xF9, 0x3B}};

namespace {

const CLSID kClsidActiveDesktop = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kIidActiveDesktop = {0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

constexpr DWORD kApplyAll = 15;  // save, generate HTML, refresh, force

// A string the object allocated for its caller.
struct TTaskText {
    LPWSTR Text = nullptr;
    ~TTaskText() { CoTaskMemFree(Text); }
};

void Check(HRESULT result) {
    if (FAILED(result)) RaiseOleError(result);
}

// Fills `object` where the system has a desktop-wallpaper object (Windows 8 and later).
bool CreateDesktopWallpaper(TComPtr<IShellDesktopWallpaper>& object) {
    return SUCCEEDED(CoCreateInstance(kClsidDesktopWallpaper, nullptr, CLSCTX_ALL, kIidDesktopWallpaper, object.Out()));
}

// The ids of the monitors the object lists that are attached: a detached one has no rectangle.
std::vector<std::wstring> AttachedMonitors(IShellDesktopWallpaper& object) {
    std::vector<std::wstring> monitors;
    UINT count = 0;
    Check(object.GetMonitorDevicePathCount(&count));
    for (UINT i = 0; i < count; ++i) {
        TTaskText id;
        RECT rect;
        if (SUCCEEDED(object.GetMonitorDevicePathAt(i, &id.Text)) && id.Text &&
            object.GetMonitorRECT(id.Text, &rect) == S_OK)
            monitors.emplace_back(id.Text);
    }
    return monitors;
}

void ApplyThroughObject(IShellDesktopWallpaper& object, const TWallpaperChange& change) {
    Check(object.SetPosition(PlacementValues(change.Placement).Position));
    if (change.Pictures.size() == 1 || change.Placement == TWallpaperPlacement::Span) {
        Check(object.SetWallpaper(nullptr, WideText(change.Pictures.front()).c_str()));
        return;
    }
    const std::vector<std::wstring> monitors = AttachedMonitors(object);
    for (size_t i = 0; i < monitors.size(); ++i)
        Check(object.SetWallpaper(monitors[i].c_str(), WideText(change.Pictures[i % change.Pictures.size()]).c_str()));
}

// The steps of systems without the object: the values, the system's setting, the Active Desktop.
void ApplyThroughValues(const std::string& path, TWallpaperPlacement placement) {
    const TPlacementValues values = PlacementValues(placement);
    {
        TRegistry registry(KEY_ALL_ACCESS);
        registry.OpenKey(kDesktopKey, false);
        registry.WriteString("Wallpaper", path);
        registry.WriteString("TileWallpaper", values.Tile);
        registry.WriteString("WallpaperStyle", values.Style);
    }
    // The path itself, not a null pointer, which asks for the system's default wallpaper: that
    // would show until the Active Desktop applies the values, and stay where it fails. The wide
    // call takes the path as the ANSI calls take it; an empty one removes the wallpaper.
    std::wstring wide = WideText(path);
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_SENDWININICHANGE)) RaiseLastOSError();

    TComPtr<IUnknown> object;
    const HRESULT created = CoCreateInstance(kClsidActiveDesktop, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_IUnknown, object.Out());
    if (FAILED(created)) RaiseOleError(created);
    TComPtr<IActiveDesktopApply> desktop;
    if (FAILED(object->QueryInterface(kIidActiveDesktop, desktop.Out())))
        throw EIntfCastError("Interface not supported");
    desktop->ApplyChanges(kApplyAll);
}

}  // namespace

TPlacementValues PlacementValues(TWallpaperPlacement placement) {
    switch (placement) {
        case TWallpaperPlacement::Fill:
            return {"10", "0", 4};
        case TWallpaperPlacement::Fit:
            return {"6", "0", 3};
        case TWallpaperPlacement::Tile:
            return {"0", "1", 1};
        case TWallpaperPlacement::Center:
            return {"0", "0", 0};
        case TWallpaperPlacement::Span:
            return {"22", "0", 5};
        case TWallpaperPlacement::Stretch:
            break;
    }
    return {"2", "0", 2};
}

size_t WallpaperMonitorCount() {
    TComPtr<IShellDesktopWallpaper> object;
    if (!CreateDesktopWallpaper(object)) return 1;
    try {
        return std::max<size_t>(AttachedMonitors(*object.Get()).size(), 1);
    } catch (const Exception&) {
        return 1;
    }
}

void ApplyWallpaperChange(const TWallpaperChange& change) {
    if (change.Pictures.empty()) return;
    TComPtr<IShellDesktopWallpaper> object;
    if (CreateDesktopWallpaper(object))
        ApplyThroughObject(*object.Get(), change);
    else
        ApplyThroughValues(change.Pictures.front(), change.Placement);
}

TBackgroundKind SystemBackground() {
    DWORD type = 0, size = sizeof type;
    if (RegGetValueA(HKEY_CURRENT_USER, kWallpapersKey, "BackgroundType", RRF_RT_REG_DWORD, nullptr, &type, &size) !=
        ERROR_SUCCESS)
        type = 0;
    if (type == 3) return TBackgroundKind::Spotlight;
    constexpr int kSlideshowSet = 2;  // DSS_SLIDESHOW
    TComPtr<IShellDesktopWallpaper> object;
    int state = 0;
    if (CreateDesktopWallpaper(object) && SUCCEEDED(object->GetStatus(&state)))
        return state & kSlideshowSet ? TBackgroundKind::Slideshow : TBackgroundKind::Picture;
    return type == 2 ? TBackgroundKind::Slideshow : TBackgroundKind::Picture;
}

std::string CurrentDesktopWallpaper() {
    char path[MAX_PATH + 1] = {};
    if (!SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) return {};
    return path;
}
