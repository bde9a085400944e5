#include "pictures/graphic_win.h"

#include <vector>

#include "base/gdi_win.h"
#include "pictures/picture_errors.h"

void TGraphic::LoadFromBytes(std::span<const uint8_t> bytes) {
    TByteReader reader(bytes);
    LoadFromStream(reader);
}

int CurrentDisplayBitsPerPixel() {
    const TWindowDc screen;
    return screen.Get() != nullptr ? DeviceBitsPerPixel(screen.Get()) : 32;
}

int StartDisplayBitsPerPixel() {
    static const int measured = CurrentDisplayBitsPerPixel();
    return measured;
}

std::vector<uint8_t> ReadRemaining(TReadStream& stream) {
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Remaining()));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void StretchDrawBitmap(HDC dc, const RECT& rect, HBITMAP bitmap, int width, int height, int bitCount, bool monochrome,
                       HPALETTE palette) {
    if (bitmap == nullptr || width <= 0 || height <= 0) return;
    TMemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) throw EOutOfResources(kOutOfSystemResources);
    const TSelection selection(memory.Get(), bitmap);
    if (!selection.Selected()) throw EOutOfResources(kOutOfSystemResources);
    const TPaletteSelection surfacePalette(dc, palette);

    const int surfaceBits = DeviceBitsPerPixel(dc);
    const int oldMode = ::GetStretchBltMode(dc);
    if (surfaceBits <= 8 && surfaceBits < bitCount) {
        // Setting half-toning moves the brush origin: the surface's is put back.
        POINT origin{};
        ::GetBrushOrgEx(dc, &origin);
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    } else if (!monochrome) {
        ::SetStretchBltMode(dc, COLORONCOLOR);
    }
    ::StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.Get(), 0, 0, width,
                 height, SRCCOPY);
    if (oldMode != 0) ::SetStretchBltMode(dc, oldMode);
}

TPaletteHandle CreatePaletteOf(std::span<const TRgbQuad> colours) {
    if (colours.empty()) return {};
    const size_t count = colours.size() < 256 ? colours.size() : 256;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (size_t i = 0; i < count; ++i)
        palette->palPalEntry[i] = PALETTEENTRY{colours[i].red, colours[i].green, colours[i].blue, 0};
    return TPaletteHandle(::CreatePalette(palette));
}
