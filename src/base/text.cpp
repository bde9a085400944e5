#include "base/text.h"

#include "base/exceptions.h"
#include "base/format.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// A decimal number in the float form; returns whether it is non-zero.
std::optional<bool> ParseDecimalNonZero(std::string_view s, char decimalSeparator) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool anyDigit = false, nonZero = false;
    while (i < s.size() && IsDigit(s[i])) {
        anyDigit = true;
        nonZero |= s[i] != '0';
        ++i;
    }
    if (i < s.size() && s[i] == decimalSeparator) {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            anyDigit = true;
            nonZero |= s[i] != '0';
            ++i;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (i >= s.size() || !IsDigit(s[i])) return std::nullopt;
        while (i < s.size() && IsDigit(s[i])) ++i;
    }
    while (i < s.size() && s[i] == ' ') ++i;
    if (i != s.size()) return std::nullopt;
    return nonZero;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit = hex ? HexValue(s[i]) : (IsDigit(s[i]) ? s[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return std::nullopt;
    }
    if (hex) {
        const uint32_t bits = static_cast<uint32_t>(value);
        return static_cast<int32_t>(negative ? 0u - bits : bits);
    }
    if (negative) return static_cast<int32_t>(-static_cast<int64_t>(value));
    if (value > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<bool> ParseBoolean(std::string_view text, char decimalSeparator) {
    if (auto number = ParseDecimalNonZero(text, decimalSeparator)) return number;
    if (SameTextAscii(text, "True")) return true;
    if (SameTextAscii(text, "False")) return false;
    return std::nullopt;
}

bool StrToBool(std::string_view text, char decimalSeparator) {
    if (auto value = ParseBoolean(text, decimalSeparator)) return *value;
    throw EConvertError(Format("'%.*s' is not a valid boolean value", static_cast<int>(text.size()), text.data()));
}

std::string WithClosingPeriod(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

std::string AnsiLowerCase1251(std::string_view text) {
    // Capital -> small pairs of code page 1251 outside the two contiguous ranges.
    static const unsigned char kPairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
                                              {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
                                              {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    std::string result(text);
    for (char& ch : result) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) {
            ch = static_cast<char>(c + 0x20);
            continue;
        }
        for (const auto& pair : kPairs)
            if (pair[0] == c) ch = static_cast<char>(pair[1]);
    }
    return result;
}

std::string ExtractFilePath(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
    const size_t cut = path.find_last_of("\\:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ApplicationTitle(std::string_view executablePath) {
    std::string name = ExtractFileName(executablePath);
    name = name.substr(0, name.find('.'));
    if (name.size() > 1) name = name.substr(0, 1) + AnsiLowerCase1251(std::string_view(name).substr(1));
    return name;
}

std::string TrimSystemMessage(std::string_view text) {
    std::string result(text.substr(0, 256));
    while (!result.empty() && (static_cast<unsigned char>(result.back()) <= ' ' || result.back() == '.'))
        result.pop_back();
    return result;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r') {
            ++end;
            if (end < text.size() && text[end] == '\n') ++end;
        } else if (end < text.size()) {
            ++end;
        }
        start = end;
    }
    return lines;
}

bool CodePageKeepsCyrillicTexts(unsigned codePage, const TCodePageConversion& conversion) {
    // Every letter of the alphabet, of which the built-in day names and all the program's
    // texts are made: the capitals and small letters, then Ё and ё.
    std::string probe;
    for (int c = 0xC0; c <= 0xFF; ++c) probe += static_cast<char>(c);
    probe += "\xA8\xB8";
    const std::optional<std::wstring> letters = conversion.Decode(1251, probe);
    const std::optional<std::wstring> read = conversion.Decode(codePage, probe);
    return letters && read && *read == *letters && conversion.Encode(codePage, *read) == probe;
}
