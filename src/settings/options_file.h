// The options file: three lines, each ending in CR LF: the stay-in-tray flag ("-1" or "0"),
// the default wallpaper path and the pause text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's options, as the file holds them and as the window shows them.
struct TOptionsFileData {
    bool StayInTray = false;
    std::string DefaultWallpaper;
    // The pause text; read from line 3 only when the file has exactly three lines.
    std::optional<std::string> WaitText;
};

// Reads the options from the file's bytes. Raises EStringListError "List index out of
// bounds (%d)" for fewer than two lines (after converting line 1, when there is one) and
// EConvertError when line 1 is not boolean text.
TOptionsFileData ParseOptionsFile(std::string_view bytes, char decimalSeparator = '.');

// The file's bytes for the options (an absent pause text as an empty line).
std::string FormatOptionsFile(const TOptionsFileData& options);

// The pause field's rule: the integer's value held to 0..32000, or 10 when the text is not an
// integer, in decimal digits.
std::string NormalizeWaitText(std::string_view text);

// The pause field after its rule, with where the user's typing goes on: the text and the
// selection from SelStart to SelEnd, the caret at SelEnd. A number the rule puts in place of
// what was typed (10 for a text that is no integer, 32000 or 0 for one out of range) is
// selected, so that the next digits replace it; an integer only written anew (a leading zero,
// blank or plus dropped, a hexadecimal one in decimal) keeps the caret before what followed it.
struct TWaitField {
    std::string Text;
    size_t SelStart = 0;
    size_t SelEnd = 0;
};
TWaitField NormalizeWaitField(std::string_view text, size_t caret);
