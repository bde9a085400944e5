#include "settings/wallpaper_list.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/text.h"

TWallpaperList BuiltInWallpaperList() {
    TWallpaperList list;
    for (const char* day : {"Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота", "Воскресенье"})
        list.push_back({-1, day});
    return list;
}

int NodeLevel(const TWallpaperList& list, size_t index) {
    int level = 0;
    for (int parent = list[index].Parent; parent >= 0; parent = list[static_cast<size_t>(parent)].Parent) ++level;
    return level;
}

std::string_view StorableNodeText(std::string_view typed) {
    const size_t start = typed.find_first_not_of("\t ");
    return start == std::string_view::npos ? std::string_view() : typed.substr(start);
}

std::string FormatWallpaperList(const TWallpaperList& list) {
    std::string bytes;
    std::vector<int> levels(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const int parent = list[i].Parent;
        levels[i] = parent < 0 ? 0 : levels[static_cast<size_t>(parent)] + 1;
        bytes.append(static_cast<size_t>(levels[i]), '\t');
        bytes += list[i].Text;
        bytes += "\r\n";
    }
    return bytes;
}

void ParseWallpaperList(std::string_view bytes, TWallpaperList& list) {
    // Path from a top-level node down to the previous node: ancestors[d] is the node of depth d.
    std::vector<int> ancestors;
    for (const std::string& line : SplitLines(bytes)) {
        size_t depth = 0;
        while (depth < line.size() && (line[depth] == '\t' || line[depth] == ' ')) ++depth;
        std::string text = line.substr(depth);
        if (ancestors.empty()) {
            depth = 0;
        } else if (depth > ancestors.size()) {
            throw ETreeViewError(Format("Invalid level (%d) for item \"%s\"", static_cast<int>(depth), text.c_str()));
        }
        ancestors.resize(depth);
        const int parent = depth == 0 ? -1 : ancestors[depth - 1];
        list.push_back({parent, std::move(text)});
        ancestors.push_back(static_cast<int>(list.size() - 1));
    }
}
