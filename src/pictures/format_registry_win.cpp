#include "pictures/format_registry_win.h"

#include <cstdlib>

#include "base/format.h"
#include "pictures/bitmap_win.h"
#include "pictures/icon_win.h"
#include "pictures/jpeg_image_win.h"
#include "pictures/metafile_win.h"
#include "pictures/picture_errors.h"
#include "pictures/png_object_win.h"

namespace {

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

void RegisterPngFormat(TFileFormatsList& formats) {
    formats.Add("PNG", "Portable Network Graphics", 0, "TPNGObject",
                []() -> std::unique_ptr<TGraphic> { return std::make_unique<TPNGObject>(); });
}

void RegisterJpegFormats(TFileFormatsList& formats) {
    const auto create = []() -> std::unique_ptr<TGraphic> { return std::make_unique<TJPEGImage>(); };
    formats.Add("jpeg", "JPEG Image File", 0, "TJPEGImage", create);
    formats.Add("jpg", "JPEG Image File", 0, "TJPEGImage", create);
}

void UnregisterJpegFormats(TFileFormatsList& formats) { formats.Remove("TJPEGImage"); }
