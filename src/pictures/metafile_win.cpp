#include "pictures/metafile_win.h"

#include <algorithm>
#include <vector>

#include "pictures/metafile_reader.h"
#include "pictures/picture_errors.h"

namespace {

HENHMETAFILE ConvertWindowsMetafile(std::span<const uint8_t> data, LONG xExtent, LONG yExtent) {
    const METAFILEPICT picture{MM_ANISOTROPIC, xExtent, yExtent, nullptr};
    return ::SetWinMetaFileBits(static_cast<UINT>(data.size()), data.data(), nullptr, &picture);
}

bool HeaderOf(HENHMETAFILE metafile, ENHMETAHEADER& header) {
    return ::GetEnhMetaFileHeader(metafile, sizeof header, &header) >=
           offsetof(ENHMETAHEADER, szlMillimeters) + sizeof header.szlMillimeters;
}

// The logical palette keeps at most 256 entries (CreatePaletteOf), and the count comes from
// the file's header: no more than that is asked for, whatever the header says.
constexpr UINT kMostPaletteEntries = 256;

TPaletteHandle PaletteOf(HENHMETAFILE metafile) {
    const UINT count = ::GetEnhMetaFilePaletteEntries(metafile, 0, nullptr);
    if (count == 0 || count == GDI_ERROR) return {};
    std::vector<PALETTEENTRY> entries(std::min(count, kMostPaletteEntries));
    const UINT copied = ::GetEnhMetaFilePaletteEntries(metafile, static_cast<UINT>(entries.size()), entries.data());
    if (copied == 0 || copied == GDI_ERROR) return {};
    entries.resize(std::min<size_t>(copied, entries.size()));
    std::vector<TRgbQuad> colours;
    for (const PALETTEENTRY& entry : entries) colours.push_back({entry.peBlue, entry.peGreen, entry.peRed, 0});
    return CreatePaletteOf(colours);
}

}  // namespace

void TMetafile::LoadFromStream(TReadStream& stream) {
    const std::vector<uint8_t> file = ReadRemaining(stream);
    const int pixelsPerInch = [] {
        const TWindowDc screen;
        return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }();
    const TMetafileFile metafile = ReadMetafile(file, pixelsPerInch);

    TEnhMetafileHandle handle;
    if (metafile.enhanced) {
        handle.Reset(::SetEnhMetaFileBits(static_cast<UINT>(metafile.data.size()), metafile.data.data()));
    } else {
        const TEnhMetafileHandle first(ConvertWindowsMetafile(metafile.data, 0, 0));
        ENHMETAHEADER header{};
        if (!first || !HeaderOf(first.Get(), header)) RaiseInvalidGraphic(kMetafileNotValid);
        const TSizeL extents = SecondPassExtents(
            {header.rclFrame.left, header.rclFrame.top, header.rclFrame.right, header.rclFrame.bottom});
        handle.Reset(ConvertWindowsMetafile(metafile.data, extents.cx, extents.cy));
    }
    if (!handle) RaiseInvalidGraphic(kMetafileNotValid);

    TSizeL size = metafile.size;
    if (!metafile.sizeKnown) {
        ENHMETAHEADER header{};
        if (!HeaderOf(handle.Get(), header)) RaiseInvalidGraphic(kMetafileNotValid);
        TEnhancedHeader fields;
        fields.frame = {header.rclFrame.left, header.rclFrame.top, header.rclFrame.right, header.rclFrame.bottom};
        fields.totalBytes = header.nBytes;
        fields.devicePixels = {header.szlDevice.cx, header.szlDevice.cy};
        fields.deviceMillimetres = {header.szlMillimeters.cx, header.szlMillimeters.cy};
        size = EnhancedMetafileSize(fields);
    }
    auto data = std::make_shared<TData>();
    data->palette = PaletteOf(handle.Get());
    data->metafile = std::move(handle);
    data_ = std::move(data);
    width_ = size.cx;
    height_ = size.cy;
}

void TMetafile::Draw(HDC dc, const RECT& rect) {
    if (!data_) return;
    const TPaletteSelection palette(dc, Palette());
    const RECT inclusive{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
    ::PlayEnhMetaFile(dc, Handle(), &inclusive);
}

std::unique_ptr<TGraphic> TMetafile::Clone() const { return std::make_unique<TMetafile>(*this); }
