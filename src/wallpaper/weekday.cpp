#include "wallpaper/weekday.h"

const char* const DayNames[8] = {"", "Воскресенье", "Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота"};

uint32_t RandomDraw(uint32_t& seed, uint32_t count) {
    seed = seed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(count) * seed) >> 32);
}

int DayNumberOfDate(int year, int month, int day) {
    // Days since 1 January of year 1 (day 1, a Monday), by the proleptic Gregorian calendar.
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int64_t y = year - 1;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBefore[month - 1] + day;
    if (leap && month > 2) ++days;
    return static_cast<int>(days % 7) + 1;
}

std::vector<std::string> ScanCandidates(const TWallpaperList& list, int dayNumber, uint64_t positions) {
    std::vector<std::string> candidates;
    const std::string today = DayNames[dayNumber];
    const uint64_t count = positions < list.size() ? positions : list.size();
    for (uint64_t k = 0; k < count; ++k) {
        const TWallpaperNode& node = list[k];
        if (node.Parent >= 0 && list[static_cast<size_t>(node.Parent)].Text == today) candidates.push_back(node.Text);
    }
    return candidates;
}
