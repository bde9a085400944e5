// Pictures on the Windows side: the process-wide format table that maps a file-name extension
// (or a stored class name) to a graphic kind, and the picture that holds at most one graphic.
//
//   RegisterPictureFormats();          // once at start-up, before the main window exists
//   TPicture picture;
//   picture.OnChange = [&] { ... };    // after every load, clear or change inside the graphic
//   picture.LoadFromFile(path);        // raises; a failed load leaves the picture as it was
//   picture.Draw(dc, rect);            // may raise: late JPEG decoding, late icon building
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pictures/bitmap_win.h"
#include "pictures/file_formats.h"
#include "pictures/graphic_win.h"
#include "pictures/icon_win.h"
#include "pictures/jpeg_image_win.h"
#include "pictures/metafile_win.h"
#include "pictures/png_object_win.h"

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

class TPicture {
public:
    TPicture() = default;
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Loads a file by its extension: the file is opened for reading, letting others read it
    // but not write it, and read whole by a new graphic of the extension's kind. Raises
    // EInvalidGraphic "Unknown picture file extension (.%s)", EFOpenError "Cannot open file
    // "%s". %s" (the absolute path, the system's text), or the kind's reading failures; a
    // failed load never changes the picture. On success the old graphic is released and the
    // owner told once.
    void LoadFromFile(const std::string& path);
    // Stored picture data: a length byte, the class name, the graphic's data. An unknown
    // class name empties the picture without an error.
    void LoadFromStoredData(std::string_view data);
    // Releases the graphic and tells the owner.
    void Clear();
    // Takes a copy of the source's graphic in the state it is in (TGraphic::Clone: the decoded
    // picture shared, nothing read again), or becomes empty with it; tells the owner once.
    void Assign(const TPicture& source);
    // Holds no graphic. A graphic of 0 x 0 (a 0-byte bitmap or JPEG) still counts: a 0-byte
    // JPEG raises its error at its first drawing.
    bool Empty() const;
    // The graphic's reported size; 0 x 0 without one.
    int Width() const;
    int Height() const;
    TGraphic* Graphic() const { return graphic_.get(); }
    // Draws the graphic (if any) into the rectangle by its kind's rule; may raise (late JPEG
    // decoding, late icon building).
    void Draw(HDC dc, const RECT& destination);

    // After every load, clear, or change inside the graphic.
    std::function<void()> OnChange;
    // The JPEG graphic's decoding progress, for an incremental display.
    std::function<void(const TPictureProgress&)> OnProgress;

private:
    // Releases the old graphic, installs the new one (or none) and tells the owner.
    void Install(std::unique_ptr<TGraphic> graphic);
    void Changed() const;

    std::unique_ptr<TGraphic> graphic_;
};
