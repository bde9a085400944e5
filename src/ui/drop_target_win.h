// Files dragged onto a window from Explorer, or from any program that drags files: the window
// is an OLE drop target (RegisterDragDrop), so the cursor tells before the drop whether the
// window takes them there, and a drop it would not take does nothing.
//
// The target's methods are called by the program that drags, which waits for each to return:
// they ask the owner and return at once. OnDrop must only keep the files and post itself the
// work (adding, saving, boxes), which then runs in the program's own time.
#pragma once

#include <windows.h>

#include <oleidl.h>

#include <functional>
#include <string>
#include <vector>

// Like every COM object it is released, never deleted through its interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class TFileDropTarget final : public IDropTarget {
public:
    TFileDropTarget() = default;
    ~TFileDropTarget();
    TFileDropTarget(const TFileDropTarget&) = delete;
    TFileDropTarget& operator=(const TFileDropTarget&) = delete;

    // Makes the window (and the windows inside it) a drop target; once only. Its owner keeps this
    // object, which is not counted away: Revoke before the window goes.
    void Register(HWND window);
    void Revoke();

    // Whether the files dragged (full paths, in the order given) would be taken, asked once when
    // they enter the window; and whether at a point of its client area.
    std::function<bool(const std::vector<std::wstring>& files)> AcceptsFiles;
    std::function<bool(POINT at)> AcceptsAt;
    // Files taken, dropped at a point of the client area.
    std::function<void(std::vector<std::wstring> files, POINT at)> OnDrop;
    // The files have left the window, or were dropped.
    std::function<void()> OnLeave;

    // IUnknown, IDropTarget.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

private:
    // The effect for a point: a link (the file stays where it is) where the window takes the
    // files, else none.
    DWORD Effect(POINTL at, DWORD allowed) const;

    HWND window_ = nullptr;
    std::vector<std::wstring> files_;
    bool accepted_ = false;
};
#pragma GCC diagnostic pop

// The full paths a dragged data object holds as files (CF_HDROP), in its order; none when it
// holds no files.
std::vector<std::wstring> DraggedFiles(IDataObject* data);
