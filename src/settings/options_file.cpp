#include "settings/options_file.h"

#include <algorithm>
#include <vector>

#include "base/exceptions.h"
#include "base/format.h"
#include "base/text.h"

namespace {

const std::string& LineAt(const std::vector<std::string>& lines, size_t index) {
    if (index >= lines.size()) throw EStringListError(Format("List index out of bounds (%d)", static_cast<int>(index)));
    return lines[index];
}

}  // namespace

TOptionsFileData ParseOptionsFile(std::string_view bytes, char decimalSeparator) {
    const std::vector<std::string> lines = SplitLines(bytes);
    TOptionsFileData data;
    data.StayInTray = StrToBool(LineAt(lines, 0), decimalSeparator);
    data.DefaultWallpaper = LineAt(lines, 1);
    if (lines.size() == 3) data.WaitText = lines[2];
    return data;
}

std::string FormatOptionsFile(const TOptionsFileData& options) {
    std::string bytes = BoolToStr(options.StayInTray);
    bytes += "\r\n";
    bytes += options.DefaultWallpaper;
    bytes += "\r\n";
    bytes += options.WaitText.value_or("");
    bytes += "\r\n";
    return bytes;
}

std::string NormalizeWaitText(std::string_view text) {
    int32_t value = ParseInteger(text).value_or(10);
    if (value > 32000) value = 32000;
    if (value < 0) value = 0;
    return std::to_string(value);
}

TWaitField NormalizeWaitField(std::string_view text, size_t caret) {
    TWaitField field{NormalizeWaitText(text)};
    const std::optional<int32_t> value = ParseInteger(text);
    if (!value || *value < 0 || *value > 32000) {
        field.SelEnd = field.Text.size();
        return field;
    }
    const size_t following = text.size() - std::min(caret, text.size());
    field.SelStart = field.SelEnd = field.Text.size() - std::min(following, field.Text.size());
    return field;
}
