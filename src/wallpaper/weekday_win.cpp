#include "wallpaper/weekday_win.h"

#include <windows.h>

#include "wallpaper/weekday.h"

uint32_t RandomSeed = 0;

void SeedRandom() {
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter))
        RandomSeed = static_cast<uint32_t>(counter.QuadPart);
    else
        RandomSeed = GetTickCount();
}

TRandomSource ProcessRandom() {
    return [](uint32_t count) { return RandomDraw(RandomSeed, count); };
}

int TodayDayNumber() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DayNumberOfDate(now.wYear, now.wMonth, now.wDay);
}

uint32_t TodaysDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<uint32_t>(now.wYear * 10000 + now.wMonth * 100 + now.wDay);
}
