#include "ui/drop_target_win.h"

#include <shellapi.h>

#include <utility>

std::vector<std::wstring> DraggedFiles(IDataObject* data) {
    std::vector<std::wstring> files;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return files;
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1)));
        if (!path.empty()) files.push_back(std::move(path));
    }
    ReleaseStgMedium(&medium);
    return files;
}

TFileDropTarget::~TFileDropTarget() { Revoke(); }

void TFileDropTarget::Register(HWND window) {
    if (window_ || !window) return;
    // Drop targets need OLE on the thread, which COM alone does not set up; it is set up when the
    // first window is shown, not at start, so the automatic run at logon goes without.
    if (FAILED(OleInitialize(nullptr))) return;
    if (FAILED(RegisterDragDrop(window, this))) {
        OleUninitialize();
        return;
    }
    window_ = window;
}

void TFileDropTarget::Revoke() {
    if (!window_) return;
    RevokeDragDrop(window_);
    OleUninitialize();
    window_ = nullptr;
}

HRESULT TFileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD TFileDropTarget::Effect(POINTL at, DWORD allowed) const {
    POINT point{at.x, at.y};
    ScreenToClient(window_, &point);
    if (!accepted_ || !AcceptsAt || !AcceptsAt(point)) return DROPEFFECT_NONE;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_COPY;
}

// Nothing may unwind into the program that drags: a failure refuses the files.
HRESULT TFileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL at, DWORD* effect) {
    try {
        files_ = DraggedFiles(data);
        accepted_ = !files_.empty() && AcceptsFiles && AcceptsFiles(files_);
        *effect = Effect(at, *effect);
    } catch (...) {
        accepted_ = false;
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT TFileDropTarget::DragOver(DWORD, POINTL at, DWORD* effect) {
    try {
        *effect = Effect(at, *effect);
    } catch (...) {
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT TFileDropTarget::DragLeave() {
    files_.clear();
    accepted_ = false;
    try {
        if (OnLeave) OnLeave();
    } catch (...) {
    }
    return S_OK;
}

HRESULT TFileDropTarget::Drop(IDataObject*, DWORD, POINTL at, DWORD* effect) {
    try {
        *effect = Effect(at, *effect);
        if (*effect != DROPEFFECT_NONE && OnDrop) {
            POINT point{at.x, at.y};
            ScreenToClient(window_, &point);
            OnDrop(std::exchange(files_, {}), point);
        }
    } catch (...) {
        *effect = DROPEFFECT_NONE;
    }
    DragLeave();
    return S_OK;
}
