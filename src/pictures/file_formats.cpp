#include "pictures/file_formats.h"

#include "base/format.h"
#include "base/text.h"
#include "pictures/byte_reader.h"
#include "pictures/picture_errors.h"

std::string ExtractExtension(std::string_view path) {
    const size_t last = path.find_last_of(".\\:");
    if (last == std::string_view::npos || path[last] != '.') return std::string();
    return std::string(path.substr(last + 1));
}

void TFileFormatTable::Register(std::string_view extension, std::string_view description, std::string_view className) {
    entries_.push_back({AnsiLowerCase1251(extension), std::string(description), std::string(className)});
}

void TFileFormatTable::Unregister(std::string_view className) {
    std::erase_if(entries_, [&](const TFileFormat& entry) { return entry.className == className; });
}

const TFileFormat* TFileFormatTable::FindByExtension(std::string_view extension) const {
    const std::string wanted = AnsiLowerCase1251(extension);
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
        if (entry->extension == wanted) return &*entry;
    return nullptr;
}

const TFileFormat* TFileFormatTable::FindByClassName(std::string_view className) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
        if (entry->className == className) return &*entry;
    return nullptr;
}

const TFileFormat& TFileFormatTable::FindForPath(std::string_view path) const {
    const std::string extension = ExtractExtension(path);
    const TFileFormat* format = FindByExtension(extension);
    if (format == nullptr) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension.c_str()));
    return *format;
}

TFileFormatTable DefaultFileFormatTable() {
    TFileFormatTable table;
    table.Register("wmf", "Metafiles", "TMetafile");
    table.Register("emf", "Enhanced Metafiles", "TMetafile");
    table.Register("ico", "Icons", "TIcon");
    table.Register("bmp", "Bitmaps", "TBitmap");
    table.Register("PNG", "Portable Network Graphics", "TPNGObject");
    table.Register("jpeg", "JPEG Image File", "TJPEGImage");
    table.Register("jpg", "JPEG Image File", "TJPEGImage");
    return table;
}

TStoredPicture ParseStoredPicture(std::span<const uint8_t> stored) {
    TByteReader reader(stored);
    const auto name = reader.Read(reader.U8());
    return {std::string(name.begin(), name.end()), stored.subspan(reader.Position())};
}
