#include "wallpaper/wallpaper_change.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "wallpaper/weekday.h"

namespace {

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// Draws from `pool` until a path is there; each path drawn leaves the pool with its copies.
std::optional<std::string> DrawPresent(std::vector<std::string>& pool, const TRandomSource& random,
                                       const TFileTest& test) {
    while (!pool.empty()) {
        const std::string path = pool[random(static_cast<uint32_t>(pool.size()))];
        std::erase(pool, path);
        if (test(path) != TReadiness::Missing) return path;
    }
    return std::nullopt;
}

}  // namespace

TWallpaperChange PlanChange(const TWallpaperList& list, const TChangeRule& rule, const TRandomSource& random,
                            const TFileTest& test) {
    TWallpaperChange change;
    change.Placement = rule.Placement;
    const size_t wanted = rule.Placement == TWallpaperPlacement::Span ? 1 : std::max<size_t>(rule.Monitors, 1);
    std::vector<std::string> fresh, shown;
    for (std::string& path : ScanCandidates(list, rule.Day, rule.Positions))
        (Contains(rule.Shown, path) ? shown : fresh).push_back(std::move(path));
    while (change.Pictures.size() < wanted) {
        std::optional<std::string> picked = DrawPresent(fresh, random, test);
        if (!picked) picked = DrawPresent(shown, random, test);
        if (!picked) break;
        change.Pictures.push_back(std::move(*picked));
    }
    if (!change.Pictures.empty()) {
        change.OfToday = true;
        for (size_t i = 0; change.Pictures.size() < wanted; ++i) change.Pictures.push_back(change.Pictures[i]);
    } else if (!rule.Default.empty() && test(rule.Default) != TReadiness::Missing) {
        change.Pictures.push_back(rule.Default);
    }
    return change;
}

bool InThemeCache(std::string_view path) {
    const std::string lower = AnsiLowerCase1251(path);
    return lower.find("\\microsoft\\windows\\themes\\") != std::string::npos ||
           lower.find("\\cachedfiles\\") != std::string::npos ||
           ExtractFileName(lower).starts_with("transcodedwallpaper");
}
