#include "png/png_draw_win.h"

#include "base/gdi_win.h"
#include "png/png_draw.h"
#include "png/png_errors.h"

void DrawPngImage(HDC dc, const RECT& rect, const TPngImage& image) {
    if (image.Pixels() == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return;
    RECT area = rect;
    RECT clip;
    const int clipKind = ::GetClipBox(dc, &clip);
    if (clipKind == NULLREGION) return;
    if (clipKind != ERROR && !::IntersectRect(&area, &rect, &clip)) return;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;

    TMemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) RaisePngOutMemory();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle buffer(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!buffer || bits == nullptr) RaisePngOutMemory();
    TSelection selection(memory.Get(), buffer.Get());
    if (!selection.Selected()) RaisePngOutMemory();

    // What is beneath the picture, then the picture over it, then back.
    ::BitBlt(memory.Get(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const TBgraSurface surface{static_cast<uint8_t*>(bits), width, height, ptrdiff_t{width} * 4};
    DrawPngImage(image, surface, rect.left - area.left, rect.top - area.top, rect.right - rect.left,
                 rect.bottom - rect.top);
    ::BitBlt(dc, area.left, area.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}
