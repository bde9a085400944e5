#include "open_dialog/ansi_path_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/system_win.h"

namespace {

// The extension of the path's last part with its dot; empty without one.
std::wstring_view Extension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    const std::size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash)) return {};
    return path.substr(dot);
}

bool SameExtension(std::wstring_view a, std::wstring_view b) {
    const std::wstring_view x = Extension(a), y = Extension(b);
    return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()), TRUE) ==
           CSTR_EQUAL;
}

// Both paths open one file: the same volume and the same file index.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION info[2]{};
    const std::wstring* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        const TFileHandle file(CreateFileW(paths[i]->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file || !GetFileInformationByHandle(file.Get(), &info[i])) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

std::wstring ShortPath(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return {};
    shortPath.resize(length);
    return shortPath;
}

}  // namespace

std::optional<std::string> ExactAnsiText(std::wstring_view text) {
    if (text.empty()) return std::string();
    // The strict conversion (no best-fit, no default character) the code page check uses.
    std::optional<std::string> ansi = SystemCodePageConversion().Encode(CP_ACP, text);
    // The bytes must read back as the same characters.
    if (!ansi || WideText(*ansi) != text) return std::nullopt;
    return ansi;
}

std::string ShownAnsiText(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, "?", nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), size, "?", nullptr);
    return ansi;
}

std::optional<std::string> AnsiPathOf(const std::wstring& path) {
    if (std::optional<std::string> exact = ExactAnsiText(path)) return exact;
    const std::wstring shortPath = ShortPath(path);
    if (shortPath.empty() || !SameExtension(path, shortPath)) return std::nullopt;
    std::optional<std::string> ansi = ExactAnsiText(shortPath);
    if (!ansi || !SameFile(path, shortPath)) return std::nullopt;
    return ansi;
}
