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

template <typename Kind>
std::unique_ptr<TGraphic> Make() {
    return std::make_unique<Kind>();
}

}  // namespace

TFileFormatsList::TFileFormatsList() {
    Add("wmf", "Metafiles", 0, "TMetafile", Make<TMetafile>);
    Add("emf", "Enhanced Metafiles", 0, "TMetafile", Make<TMetafile>);
    Add("ico", "Icons", 0, "TIcon", Make<TIcon>);
    Add("bmp", "Bitmaps", 0, "TBitmap", Make<TBitmap>);
}

void TFileFormatsList::Add(std::string_view extension, std::string_view description, int descriptionResource,
                           std::string_view className, TGraphicFactory create) {
    table_.Register(extension, description, className);
    resources_.push_back(descriptionResource);
    for (auto& [name, factory] : kinds_)
        if (name == className) {
            factory = std::move(create);
            return;
        }
    kinds_.emplace_back(std::string(className), std::move(create));
}

void TFileFormatsList::Remove(std::string_view className) {
    std::vector<int> kept;
    for (size_t i = 0; i < table_.Entries().size(); ++i)
        if (table_.Entries()[i].className != className) kept.push_back(resources_[i]);
    table_.Unregister(className);
    resources_ = std::move(kept);
    std::erase_if(kinds_, [&](const auto& kind) { return kind.first == className; });
}

std::unique_ptr<TGraphic> TFileFormatsList::Create(const TFileFormat& format) const {
    for (const auto& [name, factory] : kinds_)
        if (name == format.className) return factory();
    return nullptr;
}

std::unique_ptr<TGraphic> TFileFormatsList::CreateForPath(std::string_view path) const {
    std::unique_ptr<TGraphic> graphic = Create(table_.FindForPath(path));
    // Every entry is added with its kind; a missing one would be a broken table.
    if (!graphic) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ExtractExtension(path).c_str()));
    return graphic;
}

std::unique_ptr<TGraphic> TFileFormatsList::CreateByClassName(std::string_view className) const {
    const TFileFormat* format = FindClassName(className);
    return format != nullptr ? Create(*format) : nullptr;
}

TFileFormatsList& FileFormats() {
    static TFileFormatsList formats;
    return formats;
}

void RegisterPictureFormats() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    StartDisplayBitsPerPixel();
    TFileFormatsList& formats = FileFormats();
    RegisterPngFormat(formats);
    RegisterJpegFormats(formats);
    std::atexit([] { UnregisterJpegFormats(FileFormats()); });
}

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
