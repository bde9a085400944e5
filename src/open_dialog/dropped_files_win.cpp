#include "open_dialog/dropped_files_win.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstdlib>

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

// Adds the pictures lying in a folder, in name order.
void KeepPicturesIn(const std::wstring& folder, TChosenPictures& chosen) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const TFindHandle find(
        FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            IsPicturePath(data.cFileName))
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    // The system's sort of the names' pointers keeps the program small.
    std::vector<const wchar_t*> order;
    for (const std::wstring& name : names) order.push_back(name.c_str());
    std::qsort(order.data(), order.size(), sizeof order[0], [](const void* a, const void* b) {
        return StrCmpLogicalW(*static_cast<const wchar_t* const*>(a), *static_cast<const wchar_t* const*>(b));
    });
    for (const wchar_t* name : order) Keep(folder + L"\\" + name, chosen);
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
            KeepPicturesIn(folder, chosen);
        } else if (IsPicturePath(path)) {
            Keep(path, chosen);
        }
    }
    return chosen;
}
