// The shell's desktop-wallpaper object as Windows 8 and later have it, with three monitors of
// which the second is detached: made by the program's own CoCreateInstance (Wine has none) for
// as long as it lives. A COM object, released and never deleted.
#pragma once

#include <objbase.h>

#include <string>
#include <utility>

#include "wallpaper/change_wall_win.h"

extern "C" void* __imp_CoCreateInstance;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TStandInWallpaper : public IShellDesktopWallpaper {
public:
    TStandInWallpaper() : system_(std::exchange(__imp_CoCreateInstance, reinterpret_cast<void*>(&Create))) {
        current_ = this;
    }
    ~TStandInWallpaper() { __imp_CoCreateInstance = system_, current_ = nullptr; }
    std::wstring Calls;
    HRESULT Answer = S_OK;  // to SetWallpaper: for the path Refused, or for every path when it is empty
    std::wstring Refused;
    int Status = 0;  // what GetStatus gives (DSS_SLIDESHOW is 2)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitor, LPCWSTR path) override {
        Calls += std::wstring(monitor ? monitor : L"all") + L"=" + path + L";";
        return Refused.empty() || Refused == path ? Answer : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* monitor) override {
        *monitor = static_cast<LPWSTR>(CoTaskMemAlloc(3 * sizeof(wchar_t)));
        wcscpy(*monitor, (L"M" + std::to_wstring(index + 1)).c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) override { return *count = 3, S_OK; }
    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitor, RECT* rect) override {
        *rect = {0, 0, 800, 600};
        return monitor == std::wstring(L"M2") ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(int position) override {
        Calls += L"position " + std::to_wstring(position) + L";";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(int* state) override { return *state = Status, S_OK; }
    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPosition(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSlideshow(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSlideshow(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSlideshowOptions(int, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSlideshowOptions(int*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Enable(BOOL) override { return E_NOTIMPL; }

private:
    inline static TStandInWallpaper* current_ = nullptr;
    static HRESULT WINAPI Create(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
        if (!IsEqualCLSID(clsid, kClsidDesktopWallpaper))
            return reinterpret_cast<decltype(&CoCreateInstance)>(current_->system_)(clsid, outer, context, iid, object);
        *object = static_cast<IShellDesktopWallpaper*>(current_);
        return S_OK;
    }
    void* system_;
};
#pragma GCC diagnostic pop
