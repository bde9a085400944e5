#include "pictures/bitmap_win.h"

#include <algorithm>

#include "base/picture_limit.h"
#include "base/system_win.h"
#include "pictures/bitmap_reader.h"
#include "pictures/picture_errors.h"

namespace {

[[noreturn]] void RaiseRefused() {
    const DWORD code = ::GetLastError();
    RaiseBitmapRefused(code, code != 0 ? SystemErrorMessage(code) : std::string());
}

bool BlackAndWhite(const std::vector<TRgbQuad>& colours) {
    constexpr TRgbQuad black{0, 0, 0, 0};
    constexpr TRgbQuad white{255, 255, 255, 0};
    return colours.size() == 2 &&
           ((colours[0] == black && colours[1] == white) || (colours[0] == white && colours[1] == black));
}

}  // namespace

void TBitmap::LoadFromStream(TReadStream& stream) {
    const TBitmapFile file = ReadBitmapHeaders(stream);
    if (file.empty) return;
    // Refused before the system is asked for a bitmap of that size, as it would refuse it.
    const uint64_t width = file.width < 0 ? 0 - static_cast<uint64_t>(file.width) : static_cast<uint64_t>(file.width);
    if (!PictureSizeAllowed(width, file.height))
        RaiseBitmapRefused(ERROR_NOT_ENOUGH_MEMORY, SystemErrorMessage(ERROR_NOT_ENOUGH_MEMORY));
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file.info.data());
    TBitmapHandle bitmap;
    std::vector<uint8_t> compressed;
    if (!file.compressed) {
        void* bits = nullptr;
        ::SetLastError(0);
        bitmap.Reset(::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || bits == nullptr) RaiseRefused();
        // The rows go straight into the section's memory; what a short file leaves is zero.
        const uint64_t rowsBytes = std::min(file.pixelBytes, file.dibImageSize);
        stream.ReadBuffer(bits, static_cast<size_t>(rowsBytes));
    } else {
        compressed = file.info;
        const size_t infoBytes = compressed.size();
        compressed.resize(infoBytes + static_cast<size_t>(file.pixelBytes));
        if (file.pixelBytes != 0)
            stream.ReadBuffer(compressed.data() + infoBytes, static_cast<size_t>(file.pixelBytes));
        const auto* header = reinterpret_cast<const BITMAPINFO*>(compressed.data());
        const TWindowDc screen;
        ::SetLastError(0);
        bitmap.Reset(::CreateDIBitmap(screen.Get(), &header->bmiHeader, CBM_INIT, compressed.data() + infoBytes, header,
                                      DIB_RGB_COLORS));
        if (!bitmap) RaiseRefused();
    }
    auto data = std::make_shared<TData>();
    data->bitmap = std::move(bitmap);
    data->compressedData = std::move(compressed);
    if (file.bitCount <= 8) data->palette = CreatePaletteOf(file.colours);
    data_ = std::move(data);
    width_ = file.width;
    height_ = static_cast<int>(file.height);
    bitCount_ = file.bitCount;
    monochrome_ = file.bitCount == 1 && BlackAndWhite(file.colours);
}

void TBitmap::Draw(HDC dc, const RECT& rect) {
    StretchDrawBitmap(dc, rect, Handle(), width_, height_, bitCount_, monochrome_, Palette());
}

std::unique_ptr<TGraphic> TBitmap::Clone() const { return std::make_unique<TBitmap>(*this); }
