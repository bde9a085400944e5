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

namespace {

const CLSID kClsidActiveDesktop = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kIidActiveDesktop = {0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

constexpr DWORD kApplyAll = 15;  // save, generate HTML, refresh, force

}  // namespace

void ApplyWallpaper(const std::string& path) {
    {
        TRegistry registry(KEY_ALL_ACCESS);
        registry.OpenKey(kDesktopKey, false);
        registry.WriteString("Wallpaper", path);
        registry.WriteString("TileWallpaper", "0");
        registry.WriteString("WallpaperStyle", "2");
    }
    // The path itself, not a null pointer, which asks for the system's default wallpaper: that
    // would show until the Active Desktop applies the values, and stay where it fails. The wide
    // call takes the path as the ANSI calls take it; an empty one removes the wallpaper.
    std::wstring wide = WideText(path);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_SENDWININICHANGE);

    TComPtr<IUnknown> object;
    const HRESULT created = CoCreateInstance(kClsidActiveDesktop, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_IUnknown, object.Out());
    if (FAILED(created)) RaiseOleError(created);
    TComPtr<IActiveDesktopApply> desktop;
    if (FAILED(object->QueryInterface(kIidActiveDesktop, desktop.Out())))
        throw EIntfCastError("Interface not supported");
    desktop->ApplyChanges(kApplyAll);
}

std::string CurrentDesktopWallpaper() {
    char path[MAX_PATH + 1] = {};
    if (!SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) return {};
    return path;
}
