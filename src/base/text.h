// Text rules shared by the whole program. Text is 8-bit, in the system's ANSI code page
// (Windows-1251 in practice); two texts are equal only when their bytes are.
#pragma once

#include <cstdint>
#include <functional>
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

// Conversions between the bytes of a code page and wide characters, as the system (or, in
// tests, iconv) makes them. Decode gives nothing for bytes that are not valid text of the
// code page; Encode gives nothing when a character has no exact form in it (no best-fit
// look-alike, no default character).
struct TCodePageConversion {
    std::function<std::optional<std::wstring>(unsigned codePage, std::string_view bytes)> Decode;
    std::function<std::optional<std::string>(unsigned codePage, std::wstring_view text)> Encode;
};

// Whether a code page keeps the program's texts: its day names, window texts and the
// Cyrillic letters of the files it reads are Windows-1251 bytes, which the controls read and
// give back in the system's ANSI code page. They survive only when that code page reads every
// Cyrillic byte as the same letter as Windows-1251 and writes it back as the same byte.
bool CodePageKeepsCyrillicTexts(unsigned codePage, const TCodePageConversion& conversion);
