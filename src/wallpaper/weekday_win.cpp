#include "wallpaper/weekday_win.h"

#include <windows.h>

#include "base/system_win.h"
#include "wallpaper/weekday.h"

uint32_t RandomSeed = 0;

void SeedRandom() {
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter))
        RandomSeed = static_cast<uint32_t>(counter.QuadPart);
    else
        RandomSeed = GetTickCount();
}

int TodayDayNumber() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DayNumberOfDate(now.wYear, now.wMonth, now.wDay);
}

std::optional<std::string> ChooseTodaysWallpaper(const TWallpaperList& list, uint64_t positions) {
    const std::vector<std::string> candidates = ScanCandidates(list, TodayDayNumber(), positions);
    if (candidates.empty()) return std::nullopt;
    const auto picked = static_cast<uint16_t>(RandomDraw(RandomSeed, static_cast<uint32_t>(candidates.size())));
    if (!FileExists(candidates[picked])) return std::nullopt;
    return candidates[picked];
}

std::string AutomaticWallpaper(const TWallpaperList& list, const std::string& defaultWallpaper,
                               const std::function<bool(const std::string&)>& readable) {
    const std::optional<std::string> picked = ChooseTodaysWallpaper(list, list.size());
    return picked && readable(*picked) ? *picked : defaultWallpaper;
}

std::optional<std::string> AnotherWallpaperOfToday(const TWallpaperList& list) {
    return ChooseTodaysWallpaper(list, list.size() % 65536);
}
