// The floor under Lumo's automatic run: a program that makes only the system calls of one
// wallpaper change, in the order Lumo makes them, and nothing else. COM for the thread, the
// three desktop values, the system's wallpaper setting, the Active Desktop object's
// ApplyChanges. The wallpaper's path is the first argument. bench/autorun.sh times it
// against `Lumo.exe /autorun`.
//
// Built with LUMO_BENCH_HIDDEN_WINDOW (and Lumo's manifest), it also makes what any program
// that keeps a window pays before its first control: the common controls of the visual
// styles and one hidden top-level window.
#include <windows.h>

#include <objbase.h>
#ifdef LUMO_BENCH_HIDDEN_WINDOW
#include <commctrl.h>
#endif

#include <cstring>

struct IActiveDesktopApply : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) = 0;
};

namespace {

const CLSID kClsidActiveDesktop = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kIidActiveDesktop = {0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

void SetValue(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (FAILED(CoInitialize(nullptr))) return 1;
#ifdef LUMO_BENCH_HIDDEN_WINDOW
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) return 5;
#endif
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 2;
    SetValue(key, "Wallpaper", commandLine);
    SetValue(key, "TileWallpaper", "0");
    SetValue(key, "WallpaperStyle", "2");
    RegCloseKey(key);
    wchar_t path[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_ACP, 0, commandLine, -1, path, MAX_PATH * 2);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path, SPIF_SENDWININICHANGE);
    IUnknown* object = nullptr;
    if (FAILED(CoCreateInstance(kClsidActiveDesktop, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&object))))
        return 3;
    IActiveDesktopApply* desktop = nullptr;
    if (FAILED(object->QueryInterface(kIidActiveDesktop, reinterpret_cast<void**>(&desktop)))) return 4;
    desktop->ApplyChanges(15);
    desktop->Release();
    object->Release();
    CoUninitialize();
    return 0;
}
