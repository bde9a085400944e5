// Pictures chosen by dragging files and folders onto the program, kept by the open dialog's
// rules: every path in the ANSI code page that opens the same file (AnsiPathOf), and a picture
// without one left out and named to the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TChosenPictures {
    std::vector<std::string> Files;    // kept paths, in order
    std::vector<std::string> LeftOut;  // the left-out pictures' paths as shown to the user
};

// Whether a path names a folder.
bool IsFolder(const std::wstring& path);
// Whether a path's extension names a kind of picture the program reads.
bool IsPicturePath(std::wstring_view path);

// The pictures among dropped paths, in their order: a picture file itself; for a folder, the
// pictures lying in it (not in its subfolders, and not hidden ones), in the order of their names
// as Explorer sorts them (numbers by value). Anything else is no picture and is passed over.
TChosenPictures DroppedPictures(const std::vector<std::wstring>& paths);
