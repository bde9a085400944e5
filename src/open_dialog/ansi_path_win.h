// The program keeps every path as text of the system's ANSI code page, while the open dialog
// gives wide names: a name with letters the code page lacks (Japanese, "é" under the Cyrillic
// code page) is kept only in a form that names the same file, never as a look-alike or "?".
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text in the ANSI code page when every character has a code of its own there (no
// best-fit look-alike, no default character), else nothing.
std::optional<std::string> ExactAnsiText(std::wstring_view text);
// The text in the ANSI code page with "?" for every character the code page lacks: for
// showing a name to the user.
std::string ShownAnsiText(std::wstring_view text);

// The ANSI path that opens the file at `path`: the path itself when it converts exactly; else
// its short (8.3) form when that converts, keeps the extension (which tells the picture's
// kind) and names the same file; else nothing.
std::optional<std::string> AnsiPathOf(const std::wstring& path);
