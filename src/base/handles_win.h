// Owning wrappers for the system's handles, so that clean-up runs on every path.
#pragma once

#include <windows.h>

#include <utility>

// A handle type whose "none" value is null, or INVALID_HANDLE_VALUE for file handles.
template <typename T, auto Close, bool MinusOneIsNone = false>
class TOwned {
    static T None() {
        if constexpr (MinusOneIsNone)
            return INVALID_HANDLE_VALUE;
        else
            return nullptr;
    }

public:
    TOwned() = default;
    explicit TOwned(T value) : value_(value) {}
    ~TOwned() { Reset(); }
    TOwned(const TOwned&) = delete;
    TOwned& operator=(const TOwned&) = delete;
    TOwned(TOwned&& other) noexcept : value_(std::exchange(other.value_, None())) {}
    TOwned& operator=(TOwned&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, None());
        }
        return *this;
    }
    T Get() const { return value_; }
    explicit operator bool() const { return value_ != None(); }
    T Release() { return std::exchange(value_, None()); }
    void Reset(T value = None()) {
        if (value_ != None()) Close(value_);
        value_ = value;
    }

private:
    T value_ = None();
};

inline void CloseFileHandle(HANDLE h) { ::CloseHandle(h); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void CloseRegKey(HKEY h) { ::RegCloseKey(h); }
inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void UnmapView(void* view) { ::UnmapViewOfFile(view); }
inline void ReleaseModule(HMODULE module) { ::FreeLibrary(module); }

using TFileHandle = TOwned<HANDLE, CloseFileHandle, true>;
// A kernel object (mutex, file mapping) whose "none" is null.
using TKernelHandle = TOwned<HANDLE, CloseFileHandle>;
using TMappedView = TOwned<void*, UnmapView>;
using TModuleHandle = TOwned<HMODULE, ReleaseModule>;
using TFindHandle = TOwned<HANDLE, CloseFind, true>;
using TKeyHandle = TOwned<HKEY, CloseRegKey>;

// A counted reference to a COM interface.
template <typename T>
class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() { Reset(); }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    void** Out() {
        Reset();
        return reinterpret_cast<void**>(&ptr_);
    }
    void Reset() {
        if (ptr_) ptr_->Release();
        ptr_ = nullptr;
    }

private:
    T* ptr_ = nullptr;
};
