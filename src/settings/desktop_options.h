// The desktop options file "Lumo.ini": how pictures are placed and whether each monitor gets a
// picture of its own. One "name=value" line per setting, each ending in CR LF; a missing file,
// a missing line or a value this program does not know gives that setting's default, and
// lines it does not know are kept as they are, so that a newer program's settings survive an
// older one's save.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// How a picture is placed on the screen, in the order of Windows' own Personalisation page.
enum class TWallpaperPlacement { Fill, Fit, Stretch, Tile, Center, Span };
constexpr int kPlacementCount = 6;

struct TDesktopOptions {
    TWallpaperPlacement Placement = TWallpaperPlacement::Stretch;
    // A picture of its own on each monitor (where the system can show one).
    bool EachMonitor = false;
    // Lines of settings this program does not know, kept for the program that wrote them.
    std::vector<std::string> OtherLines;
    bool operator==(const TDesktopOptions&) const = default;
};

TDesktopOptions ParseDesktopOptions(std::string_view bytes);
std::string FormatDesktopOptions(const TDesktopOptions& options);

// The placement's word in the file and its name on the Options page.
const char* PlacementKey(TWallpaperPlacement placement);
const char* PlacementCaption(TWallpaperPlacement placement);
