// The picture format table: which graphic kind reads a file, chosen by the file-name
// extension alone, and the stored picture data form (class name, then the graphic's data).
//
// The Windows side keeps the program's table (DefaultFileFormatTable) in one process-wide
// TFileFormatsList, which leads from each entry's class name ("TBitmap", "TJPEGImage", ...) to
// the graphic kind that it creates.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The extension of a path, without its dot: the text after the last character that is ".",
// "\" or ":" when that character is a "."; otherwise empty. "C:\a\pic.JPG" gives "JPG",
// "C:\pics.old\photo" and "C:\a\pic." give "".
std::string ExtractExtension(std::string_view path);

struct TFileFormat {
    std::string extension;    // without the dot, lower-cased when registered
    std::string description;  // for a default dialog filter
    std::string className;    // the graphic kind that reads it
};

// An ordered table of formats. Lookups walk it from the last entry to the first, so a later
// registration of the same extension wins.
class TFileFormatTable {
public:
    // Appends an entry; the extension is stored lower-cased (AnsiLowerCase1251).
    void Register(std::string_view extension, std::string_view description, std::string_view className);
    // Removes every entry of a graphic kind (the JPEG graphic's two entries at exit).
    void Unregister(std::string_view className);

    // The entry whose extension equals the lower-cased text, or nullptr.
    const TFileFormat* FindByExtension(std::string_view extension) const;
    // The entry whose class name equals the text exactly (letter case counts), or nullptr.
    const TFileFormat* FindByClassName(std::string_view className) const;
    // The entry for a path's extension; raises EInvalidGraphic
    // "Unknown picture file extension (.%s)" with the extension as written in the path.
    const TFileFormat& FindForPath(std::string_view path) const;

    const std::vector<TFileFormat>& Entries() const noexcept { return entries_; }

private:
    std::vector<TFileFormat> entries_;
};

// The program's table, in registration order: wmf, emf, ico, bmp (the table's own), png (the
// PNG codec's, registered as "PNG"), jpeg and jpg (the JPEG graphic's).
TFileFormatTable DefaultFileFormatTable();

// Stored picture data: one length byte N, N bytes of class name, then the graphic's own data.
struct TStoredPicture {
    std::string className;
    std::span<const uint8_t> data;  // the rest, inside the given bytes
};
// Splits stored picture data; raises EReadError "Stream read error" when it is shorter than
// its length byte announces.
TStoredPicture ParseStoredPicture(std::span<const uint8_t> stored);
