#include "pictures/icon_win.h"

#include "base/system_win.h"
#include "pictures/icon_reader.h"
#include "pictures/picture_errors.h"

namespace {

constexpr DWORD kIconResourceVersion = 0x00030000;

TIconDisplay DisplayNow() {
    return {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), CurrentDisplayBitsPerPixel()};
}

// The size of a built icon's colour (or, for a monochrome icon, half its mask) bitmap.
SIZE IconBitmapSize(HICON icon) {
    ICONINFO info{};
    SIZE size{0, 0};
    if (!::GetIconInfo(icon, &info)) return size;
    const TBitmapHandle colour(info.hbmColor);
    const TBitmapHandle mask(info.hbmMask);
    BITMAP bitmap{};
    if (colour && ::GetObjectA(colour.Get(), sizeof bitmap, &bitmap)) {
        size = {bitmap.bmWidth, bitmap.bmHeight};
    } else if (mask && ::GetObjectA(mask.Get(), sizeof bitmap, &bitmap)) {
        size = {bitmap.bmWidth, bitmap.bmHeight / 2};
    }
    return size;
}

}  // namespace

void RaiseIconBuildFailure(DWORD systemErrorCode) {
    // Without an error code the system's text would be that of success.
    RaiseIconNotBuilt(systemErrorCode != 0 ? SystemErrorText(systemErrorCode) : std::string());
}

void TIcon::LoadFromStream(TReadStream& stream) {
    std::vector<uint8_t> file = ReadRemaining(stream);
    CheckIconImageSizes(file);
    file_ = std::make_shared<const std::vector<uint8_t>>(std::move(file));
    state_ = TState::NotBuilt;
    icon_.reset();
    sharedIcon_ = nullptr;
}

int TIcon::Width() const { return state_ == TState::Built ? width_ : ::GetSystemMetrics(SM_CXICON); }
int TIcon::Height() const { return state_ == TState::Built ? height_ : ::GetSystemMetrics(SM_CYICON); }

void TIcon::Build() {
    // Whatever happens below is reported once: a failure leaves the icon failed for good.
    state_ = TState::Failed;
    const int reportedWidth = Width();
    const int reportedHeight = Height();
    static const std::vector<uint8_t> noFile;
    const TIconImage image = SelectIconImage(file_ ? *file_ : noFile, DisplayNow());
    if (image.standardApplicationIcon) {
        sharedIcon_ = ::LoadIconA(nullptr, IDI_APPLICATION);
        width_ = image.width;
        height_ = image.height;
    } else {
        ::SetLastError(0);
        // A width or height of 0 in the directory (256 pixels) builds the image at its own size.
        TIconHandle icon(::CreateIconFromResourceEx(const_cast<PBYTE>(image.data.data()),
                                                    static_cast<DWORD>(image.data.size()), TRUE, kIconResourceVersion,
                                                    image.width, image.height, LR_DEFAULTCOLOR));
        if (!icon) RaiseIconBuildFailure(::GetLastError());
        const SIZE own = IconBitmapSize(icon.Get());
        width_ = image.width != 0 ? image.width : static_cast<int>(own.cx);
        height_ = image.height != 0 ? image.height : static_cast<int>(own.cy);
        icon_ = std::make_shared<const TIconHandle>(std::move(icon));
    }
    state_ = TState::Built;
    if (width_ != reportedWidth || height_ != reportedHeight) Changed();
}

std::unique_ptr<TGraphic> TIcon::Clone() const { return std::make_unique<TIcon>(*this); }

void TIcon::Draw(HDC dc, const RECT& rect) {
    if (state_ == TState::NotBuilt) Build();
    if (state_ != TState::Built) return;
    ::DrawIconEx(dc, rect.left, rect.top, Handle(), width_, height_, 0, nullptr, DI_NORMAL);
}
