#include "support/drag_files.h"

#include <ole2.h>
#include <shlobj.h>

#include "support/test_support.h"

namespace {
// Over the target at once, and let go at the next look. A COM object, never deleted through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct TDropSource final : IDropSource {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = iid == IID_IUnknown || iid == IID_IDropSource ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return looks++ ? DRAGDROP_S_DROP : S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    int looks = 0;
};
#pragma GCC diagnostic pop
}  // namespace

DWORD DropFiles(const std::vector<std::string>& paths, POINT at) {
    OleInitialize(nullptr);
    // As Explorer makes it: the items of one folder, named within it.
    const PIDLIST_ABSOLUTE folder = ILCreateFromPathW(WidePath(paths[0].substr(0, paths[0].rfind('\\'))).c_str());
    std::vector<PIDLIST_RELATIVE> items;
    for (const std::string& path : paths) {
        const PIDLIST_ABSOLUTE item = ILCreateFromPathW(WidePath(path).c_str());
        items.push_back(ILClone(ILFindLastID(item)));
        ILFree(item);
    }
    IDataObject* data = nullptr;
    DWORD effect = DROPEFFECT_NONE;
    if (SUCCEEDED(CIDLData_CreateFromIDArray(folder, static_cast<UINT>(items.size()),
                                             const_cast<PCUIDLIST_RELATIVE_ARRAY>(items.data()), &data))) {
        SetCursorPos(at.x, at.y);
        TDropSource source;
        DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
        data->Release();
    }
    for (const PIDLIST_RELATIVE item : items) ILFree(item);
    ILFree(folder);
    OleUninitialize();
    return effect;
}
