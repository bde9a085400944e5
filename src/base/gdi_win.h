// Owning wrappers and scoped selections for the GDI objects the graphics make, so that every
// path releases what it made and puts back what it replaced.
#pragma once

#include <windows.h>

#include "base/handles_win.h"

inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void DeleteEnhMetafileHandle(HENHMETAFILE metafile) { ::DeleteEnhMetaFile(metafile); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }

using TMemoryDc = TOwned<HDC, DeleteMemoryDc>;
using TBitmapHandle = TOwned<HBITMAP, DeleteGdiObject>;
using TPaletteHandle = TOwned<HPALETTE, DeleteGdiObject>;
using TBrushHandle = TOwned<HBRUSH, DeleteGdiObject>;
using TFontHandle = TOwned<HFONT, DeleteGdiObject>;
using TEnhMetafileHandle = TOwned<HENHMETAFILE, DeleteEnhMetafileHandle>;
using TIconHandle = TOwned<HICON, DestroyIconHandle>;

// A window's device context (the screen's for a null window), released at the end.
class TWindowDc {
public:
    explicit TWindowDc(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
    ~TWindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint on every path.
class TPaintScope {
public:
    explicit TPaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~TPaintScope() { EndPaint(window_, &paint_); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context for the lifetime of this value.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~TSelection() {
        if (Selected()) ::SelectObject(dc_, old_);
    }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;
    bool Selected() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Selects and realises a palette in a device context (as a background palette unless asked
// otherwise) for the lifetime of this value; a null palette selects nothing.
class TPaletteSelection {
public:
    TPaletteSelection(HDC dc, HPALETTE palette, bool background = true) : dc_(dc) {
        if (palette == nullptr) return;
        old_ = ::SelectPalette(dc, palette, background ? TRUE : FALSE);
        if (old_ != nullptr) ::RealizePalette(dc);
    }
    ~TPaletteSelection() {
        if (old_ != nullptr) ::SelectPalette(dc_, old_, TRUE);
    }
    TPaletteSelection(const TPaletteSelection&) = delete;
    TPaletteSelection& operator=(const TPaletteSelection&) = delete;

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

// Bits per pixel of a device context's surface (all planes).
inline int DeviceBitsPerPixel(HDC dc) { return ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES); }
