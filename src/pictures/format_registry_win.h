// The process-wide format table: the program's formats (DefaultFileFormatTable), each leading
// to the graphic kind that reads it. The kinds know nothing of it; their entries are made here.
#pragma once

#include <memory>
#include <string_view>

#include "pictures/file_formats.h"
#include "pictures/graphic_win.h"

class TFileFormatsList {
public:
    // A new graphic of the kind that a path's extension names; raises EInvalidGraphic
    // "Unknown picture file extension (.%s)".
    std::unique_ptr<TGraphic> CreateForPath(std::string_view path) const;
    // Whether a path's extension names a kind the table reads.
    bool Reads(std::string_view path) const { return table_.FindByExtension(ExtractExtension(path)) != nullptr; }
    // A new graphic of a class name in the table (compared exactly), or null.
    std::unique_ptr<TGraphic> CreateByClassName(std::string_view className) const;

private:
    friend TFileFormatsList& FileFormats();
    friend void RegisterPictureFormats();
    TFileFormatsList() : table_(DefaultFileFormatTable()) {}

    TFileFormatTable table_;
};

// The process's table, created at the first call.
TFileFormatsList& FileFormats();

// Makes the process's table at start-up, and removes the JPEG graphic's entries from it again
// at exit. Also fixes the display's colour depth that JPEG decoding goes by. Calls after the
// first do nothing.
void RegisterPictureFormats();
