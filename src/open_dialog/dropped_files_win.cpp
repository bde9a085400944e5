#include "open_dialog/dropped_files_win.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>

#include "base/handles_win.h"
#include "open_dialog/ansi_path_win.h"
#include "pictures/format_registry_win.h"

namespace {

void Keep(const std::wstring& path, TChosenPictures& chosen) {
    if (std::optional<std::string> ansi = AnsiPathOf(path))
        chosen.Files.push_back(std::move(*ansi));
    else
        chosen.LeftOut.push_back(ShownAnsiText(path));
}

// The names of the pictures lying in a folder, sorted.
std::vector<std::wstring> PicturesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const TFindHandle find(
        FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return names;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            IsPicturePath(data.cFileName))
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return StrCmpLogicalW(a.c_str(), b.c_str()) < 0; });
    return names;
}

}  // namespace

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPicturePath(std::wstring_view path) {
    // The extensions the program reads are plain letters, which a look-alike cannot fake.
    return FileFormats().Reads(ShownAnsiText(path));
}

TChosenPictures DroppedPictures(const std::vector<std::wstring>& paths) {
    TChosenPictures chosen;
    for (const std::wstring& path : paths) {
        if (IsFolder(path)) {
            std::wstring folder = path;
            while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
            for (const std::wstring& name : PicturesIn(folder)) Keep(folder + L"\\" + name, chosen);
        } else if (IsPicturePath(path)) {
            Keep(path, chosen);
        }
    }
    return chosen;
}
