#include "open_dialog/open_dialog.h"

#include <algorithm>

std::string DialogFilterList(std::string_view filter) {
    std::string list(filter);
    std::replace(list.begin(), list.end(), '|', '\0');
    list.append(2, '\0');
    return list;
}

std::string DialogInitialFileName(std::string_view fileName) {
    return std::string(fileName.substr(0, std::min(fileName.size(), kMaxDialogFileName)));
}

namespace {

// Reads the part that starts at `from`: up to the next zero character or the end of the text.
// Moves `from` past the part and its zero character.
std::string_view NextPart(std::string_view text, std::size_t& from) {
    if (from >= text.size()) return {};
    const std::size_t end = std::min(text.find('\0', from), text.size());
    const std::string_view part = text.substr(from, end - from);
    from = end + 1;
    return part;
}

bool IsFullName(std::string_view name) {
    if (!name.empty() && name[0] == '\\') return true;
    return name.size() >= 4 && name[1] == ':' && name[2] == '\\';
}

}  // namespace

std::vector<std::string> SplitDialogResult(std::string_view result) {
    std::size_t at = 0;
    std::string folder(NextPart(result, at));
    std::string_view name = NextPart(result, at);
    if (name.empty()) return {folder};
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    std::vector<std::string> files;
    for (; !name.empty(); name = NextPart(result, at))
        files.push_back(IsFullName(name) ? std::string(name) : folder + std::string(name));
    return files;
}

TDialogPosition PlaceDialogOnMonitor(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight, int width,
                                     int height) {
    return {monitorLeft + (monitorWidth - width) / 2, monitorTop + (monitorHeight - height) / 3};
}
