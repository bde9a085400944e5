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

// A new graphic of a kind the table names, or null for a name it does not know.
std::unique_ptr<TGraphic> MakeGraphic(std::string_view className) {
    if (className == "TMetafile") return std::make_unique<TMetafile>();
    if (className == "TIcon") return std::make_unique<TIcon>();
    if (className == "TBitmap") return std::make_unique<TBitmap>();
    if (className == "TPNGObject") return std::make_unique<TPNGObject>();
    if (className == "TJPEGImage") return std::make_unique<TJPEGImage>();
    return nullptr;
}

}  // namespace

std::unique_ptr<TGraphic> TFileFormatsList::CreateForPath(std::string_view path) const {
    std::unique_ptr<TGraphic> graphic = MakeGraphic(table_.FindForPath(path).className);
    // Every entry names a kind; a missing one would be a broken table.
    if (!graphic) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ExtractExtension(path).c_str()));
    return graphic;
}

std::unique_ptr<TGraphic> TFileFormatsList::CreateByClassName(std::string_view className) const {
    return table_.FindByClassName(className) != nullptr ? MakeGraphic(className) : nullptr;
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
    FileFormats();
    std::atexit([] { FileFormats().table_.Unregister("TJPEGImage"); });
}
