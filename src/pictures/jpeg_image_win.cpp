#include "pictures/jpeg_image_win.h"

#include <exception>
#include <memory>

#include "pictures/jpeg_progress.h"
#include "pictures/picture_errors.h"

namespace {

RECT BandOf(const TJpegProgressReport& report, int width) { return RECT{0, report.bandTop, width, report.bandBottom}; }

}  // namespace

TJpegDecodeOptions TJPEGImage::DecodeOptions() { return TJpegDecodeOptions{StartDisplayBitsPerPixel() <= 8}; }

void TJPEGImage::LoadFromStream(TReadStream& stream) {
    std::vector<uint8_t> data = ReadRemaining(stream);
    const TJpegHeader header = data.empty() ? TJpegHeader() : ReadJpegHeader(data);
    data_ = std::make_shared<const std::vector<uint8_t>>(std::move(data));
    header_ = header;
    decodeTried_ = false;
    decoded_.reset();
}

void TJPEGImage::Decode() {
    decodeTried_ = true;
    const auto allocate = [this](const TJpegOutputFormat& format) -> uint8_t* {
        const std::vector<uint8_t> info = format.BitmapInfo();
        void* bits = nullptr;
        TBitmapHandle bitmap(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()),
                                                DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || bits == nullptr) return nullptr;
        // Kept from here on, also when decoding stops early: the section's memory starts zeroed.
        auto decoded = std::make_shared<TDecoded>();
        decoded->bitmap = std::move(bitmap);
        decoded->palette = CreatePaletteOf(format.palette);
        decoded->format = format;
        decoded_ = std::move(decoded);
        return static_cast<uint8_t*>(bits);
    };
    TJpegProgressThrottle throttle;
    const TJpegProgressReport start = throttle.Start();
    Progress({start.percent, false, RECT{}, false});
    const auto hook = [this, &throttle](const TJpegProgress& counters) {
        if (const auto report = throttle.Check(counters, ::GetTickCount()))
            Progress({report->percent, report->redrawNow, BandOf(*report, header_.width), false});
    };

    std::exception_ptr failure;
    int rows = 0;
    try {
        DecodeJpegInto(data_ ? std::span<const uint8_t>(*data_) : std::span<const uint8_t>(), DecodeOptions(), allocate,
                       hook, &rows);
    } catch (...) {
        failure = std::current_exception();
    }
    const TJpegProgressReport end = throttle.Finish(failure != nullptr, Palette() != nullptr, rows);
    Progress({end.percent, end.redrawNow, BandOf(end, header_.width), true});
    if (failure) std::rethrow_exception(failure);
}

void TJPEGImage::Draw(HDC dc, const RECT& rect) {
    if (!decodeTried_) Decode();
    if (!decoded_) return;
    const TJpegOutputFormat& format = decoded_->format;
    StretchDrawBitmap(dc, rect, Bitmap(), format.width, format.height, format.bitCount, false, Palette());
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const { return std::make_unique<TJPEGImage>(*this); }
