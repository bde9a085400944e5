// The process-wide format table: it maps a file-name extension (or a stored class name) to a
// graphic kind. The kinds know nothing of it; their entries are made here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pictures/file_formats.h"
#include "pictures/graphic_win.h"

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// The ordered format table. Created with its own four entries: "wmf" Metafiles, "emf"
// Enhanced Metafiles, "ico" Icons, "bmp" Bitmaps; RegisterPictureFormats adds the PNG codec's
// "png" and the JPEG graphic's "jpeg" and "jpg". Lookups walk from the last entry to the first.
class TFileFormatsList {
public:
    TFileFormatsList();

    // Appends an entry; the extension is stored lower-cased. The resource number of the
    // description is kept for completeness (always 0 here).
    void Add(std::string_view extension, std::string_view description, int descriptionResource,
             std::string_view className, TGraphicFactory create);
    // Removes every entry of a graphic kind.
    void Remove(std::string_view className);

    // The entry for an extension (compared lower-cased) or a class name (exactly), or null.
    const TFileFormat* FindExt(std::string_view extension) const { return table_.FindByExtension(extension); }
    const TFileFormat* FindClassName(std::string_view className) const { return table_.FindByClassName(className); }
    // A new graphic of the kind that a path's extension names; raises EInvalidGraphic
    // "Unknown picture file extension (.%s)".
    std::unique_ptr<TGraphic> CreateForPath(std::string_view path) const;
    // A new graphic of a registered class name, or null.
    std::unique_ptr<TGraphic> CreateByClassName(std::string_view className) const;

    const std::vector<TFileFormat>& Entries() const { return table_.Entries(); }
    int DescriptionResource(size_t index) const { return resources_.at(index); }

private:
    std::unique_ptr<TGraphic> Create(const TFileFormat& format) const;

    TFileFormatTable table_;
    std::vector<int> resources_;
    std::vector<std::pair<std::string, TGraphicFactory>> kinds_;
};

// The process's table, created at the first call with its own four entries.
TFileFormatsList& FileFormats();

// Fills the process's table at start-up: its own entries, then the PNG codec's, then the JPEG
// graphic's (removed again at exit). Also fixes the display's colour depth that JPEG
// decoding goes by. Calls after the first do nothing.
void RegisterPictureFormats();

// The PNG codec's entry ("PNG"), and the JPEG graphic's entries ("jpeg", then "jpg"), which
// are removed again at exit.
void RegisterPngFormat(TFileFormatsList& formats);
void RegisterJpegFormats(TFileFormatsList& formats);
void UnregisterJpegFormats(TFileFormatsList& formats);
