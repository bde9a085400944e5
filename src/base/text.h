// Text rules shared by the whole program. Text is 8-bit, in the system's ANSI code page
// (Windows-1251 in practice); two texts are equal only when their bytes are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The integer parse: leading blanks (spaces only), an optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X", and nothing after the last digit.
// Decimal values must fit 32 signed bits; hexadecimal ones may use all 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text);

// The boolean text: a decimal number (non-zero means true), else "True"/"False" in any
// letter case. Raises EConvertError "'%s' is not a valid boolean value" otherwise.
bool StrToBool(std::string_view text, char decimalSeparator = '.');
std::optional<bool> ParseBoolean(std::string_view text, char decimalSeparator = '.');
// The boolean text that the settings writer stores.
inline const char* BoolToStr(bool value) { return value ? "-1" : "0"; }

// Appends "." unless the text is empty or its last byte is not above '.'.
std::string WithClosingPeriod(std::string message);

// Lower-cases ASCII and the Windows-1251 capitals.
std::string AnsiLowerCase1251(std::string_view text);

// The directory of a path with its trailing backslash ("C:\a\b.exe" -> "C:\a\").
std::string ExtractFilePath(std::string_view path);
// The part after the last backslash or colon.
std::string ExtractFileName(std::string_view path);
// The application title: the file name up to its first ".", all but the first character
// lower-cased.
std::string ApplicationTitle(std::string_view executablePath);

// A system error text as file messages show it: at most 256 bytes, trailing blanks,
// control characters and full stops removed.
std::string TrimSystemMessage(std::string_view text);

// Cuts text into lines: a line ends at CR, LF or CR LF; a NUL ends the text; a line end at
// the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);
