// A change of the desktop wallpaper as one value, and the rule that makes it from the list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/readiness.h"
#include "settings/desktop_options.h"
#include "settings/wallpaper_list.h"

// What the desktop is to show.
struct TWallpaperChange {
    // One picture for every monitor, or one per monitor in the order the system lists them.
    // None leaves the wallpaper as it is.
    std::vector<std::string> Pictures;
    TWallpaperPlacement Placement = TWallpaperPlacement::Stretch;
    // The pictures are today's; otherwise the default stands in for them.
    bool OfToday = false;
    bool operator==(const TWallpaperChange&) const = default;
};

// What the rule is given besides the list.
struct TChangeRule {
    int Day = 1;                      // today's day number, 1 (Sunday) .. 7
    uint64_t Positions = UINT64_MAX;  // the nodes of the list looked at, from the first
    // Applied when none of today's pictures is there, if it is there itself; empty for none.
    std::string Default;
    size_t Monitors = 1;  // pictures wanted: one for all, or one per monitor
    TWallpaperPlacement Placement = TWallpaperPlacement::Stretch;
    // The pictures shown now: drawn again only when no other of today's is there.
    std::vector<std::string> Shown;
};

// A draw of a number from 0 to count - 1.
using TRandomSource = std::function<uint32_t(uint32_t count)>;
// Whether a file is there: only Missing counts as not there (a picture not ready yet is).
using TFileTest = std::function<TReadiness(const std::string& path)>;

// The change of today: pictures drawn among the paths filed under today's day node that the
// file test does not find missing (a drawn path that is missing is set aside and the draw made
// again among the others), different ones for the monitors while the list has enough (then
// they repeat in the order drawn), avoiding the pictures shown now where another is there.
// With nothing shown, a first draw that finds its picture takes the one that the source's first
// number picks among all of today's paths, duplicates counted. With no picture of today there,
// the default if it is there, else nothing. Span places one picture across all monitors.
TWallpaperChange PlanChange(const TWallpaperList& list, const TChangeRule& rule, const TRandomSource& random,
                            const TFileTest& test);

// Whether a path lies among Windows' own copies of the wallpaper, letter case aside: under
// "\Microsoft\Windows\Themes\" (its "CachedFiles" of each size and placement, its
// "TranscodedWallpaper"), which the system rewrites at every change of the wallpaper.
bool InThemeCache(std::string_view path);
