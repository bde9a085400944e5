// The picture that holds at most one graphic, of the kind the format table names for a file.
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
#include "pictures/format_registry_win.h"
#include "pictures/graphic_win.h"
#include "pictures/icon_win.h"
#include "pictures/jpeg_image_win.h"
#include "pictures/metafile_win.h"
#include "pictures/png_object_win.h"

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
    // Takes a graphic made elsewhere (or none), releasing the old one; tells the owner once.
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { Install(std::move(graphic)); }
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
