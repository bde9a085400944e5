// Any bytes as a wallpaper-list file: parsing either succeeds or raises ETreeViewError, and
// a list that parsed writes back to bytes that parse to the same tree.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/exceptions.h"
#include "settings/wallpaper_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TWallpaperList list;
    try {
        ParseWallpaperList(bytes, list);
    } catch (const ETreeViewError&) {
        return 0;
    }
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].Parent >= static_cast<int>(i)) abort();
    // Texts that begin with blanks or tabs change depth on reload; compare only the others.
    for (const TWallpaperNode& node : list)
        if (!node.Text.empty() && (node.Text[0] == ' ' || node.Text[0] == '\t')) return 0;
    TWallpaperList again;
    ParseWallpaperList(FormatWallpaperList(list), again);
    if (again.size() != list.size()) abort();
    for (size_t i = 0; i < list.size(); ++i)
        if (again[i].Parent != list[i].Parent || again[i].Text != list[i].Text) abort();
    return 0;
}
