#include "pictures/picture_win.h"

#include <cstdlib>

#include "base/exceptions.h"
#include "base/format.h"
#include "base/handles_win.h"
#include "base/system_win.h"
#include "pictures/picture_errors.h"

namespace {

// Reads an open file from its current position; the size is taken once, at the start.
class TFileReadStream : public TReadStream {
public:
    explicit TFileReadStream(HANDLE file) : file_(file) {
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) remaining_ = static_cast<uint64_t>(size.QuadPart);
    }
    uint64_t Remaining() const override { return remaining_; }
    void ReadBuffer(void* buffer, size_t count) override {
        if (count > remaining_) RaiseStreamReadError();
        auto* target = static_cast<uint8_t*>(buffer);
        while (count > 0) {
            const DWORD step = count < 0x40000000 ? static_cast<DWORD>(count) : 0x40000000;
            DWORD read = 0;
            if (!::ReadFile(file_, target, step, &read, nullptr) || read == 0) RaiseStreamReadError();
            target += read;
            count -= read;
            remaining_ -= read;
        }
    }

private:
    HANDLE file_;
    uint64_t remaining_ = 0;
};

std::string AbsolutePath(const std::string& path) {
    const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::string full(needed, '\0');
    const DWORD length = ::GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace

TPicture::~TPicture() {
    if (graphic_) {
        graphic_->OnChange = nullptr;
        graphic_->OnProgress = nullptr;
    }
}

void TPicture::LoadFromFile(const std::string& path) {
    std::unique_ptr<TGraphic> graphic = FileFormats().CreateForPath(path);
    {
        const TFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            throw EFOpenError(
                Format("Cannot open file \"%s\". %s", AbsolutePath(path).c_str(), SystemErrorMessage(error).c_str()));
        }
        TFileReadStream stream(file.Get());
        graphic->LoadFromStream(stream);
    }
    Install(std::move(graphic));
}

void TPicture::LoadFromStoredData(std::string_view data) {
    const TStoredPicture stored =
        ParseStoredPicture(std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
    std::unique_ptr<TGraphic> graphic = FileFormats().CreateByClassName(stored.className);
    if (graphic) graphic->LoadFromBytes(stored.data);
    Install(std::move(graphic));
}

void TPicture::Clear() { Install(nullptr); }

void TPicture::Assign(const TPicture& source) {
    if (&source == this) return;
    Install(source.graphic_ ? source.graphic_->Clone() : nullptr);
}

bool TPicture::Empty() const { return !graphic_; }
int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::Draw(HDC dc, const RECT& destination) {
    if (graphic_) graphic_->Draw(dc, destination);
}

void TPicture::Install(std::unique_ptr<TGraphic> graphic) {
    if (graphic) {
        graphic->OnChange = [this] { Changed(); };
        graphic->OnProgress = [this](const TPictureProgress& progress) {
            if (OnProgress) OnProgress(progress);
        };
    }
    std::unique_ptr<TGraphic> old = std::exchange(graphic_, std::move(graphic));
    old.reset();
    Changed();
}

void TPicture::Changed() const {
    if (OnChange) OnChange();
}
