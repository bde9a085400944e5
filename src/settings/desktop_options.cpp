#include "settings/desktop_options.h"

#include "base/text.h"

namespace {

constexpr std::string_view kPlacementName = "Placement";
constexpr std::string_view kEachMonitorName = "EachMonitor";

struct TPlacementName {
    const char* Key;
    const char* Caption;  // as Windows' Personalisation page names it
};
constexpr TPlacementName kPlacements[kPlacementCount] = {
    {"fill", "Заполнение"}, {"fit", "По размеру"},   {"stretch", "Растянуть"},
    {"tile", "Замостить"},  {"center", "По центру"}, {"span", "Расширение"},
};

}  // namespace

const char* PlacementKey(TWallpaperPlacement placement) { return kPlacements[static_cast<int>(placement)].Key; }
const char* PlacementCaption(TWallpaperPlacement placement) { return kPlacements[static_cast<int>(placement)].Caption; }

TDesktopOptions ParseDesktopOptions(std::string_view bytes) {
    TDesktopOptions options;
    for (const std::string& line : SplitLines(bytes)) {
        const size_t equals = line.find('=');
        const std::string_view name = std::string_view(line).substr(0, equals);
        const std::string_view value =
            equals == std::string::npos ? std::string_view() : std::string_view(line).substr(equals + 1);
        if (name == kPlacementName) {
            for (int i = 0; i < kPlacementCount; ++i)
                if (value == kPlacements[i].Key) options.Placement = static_cast<TWallpaperPlacement>(i);
        } else if (name == kEachMonitorName) {
            options.EachMonitor = value == "1";
        } else if (!line.empty()) {
            options.OtherLines.push_back(line);
        }
    }
    return options;
}

std::string FormatDesktopOptions(const TDesktopOptions& options) {
    std::string bytes = std::string(kPlacementName) + "=" + PlacementKey(options.Placement) + "\r\n";
    bytes += std::string(kEachMonitorName) + "=" + (options.EachMonitor ? "1" : "0") + "\r\n";
    for (const std::string& line : options.OtherLines) bytes += line + "\r\n";
    return bytes;
}
