// The random choice of today's wallpaper among the files filed under today's day node.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/wallpaper_list.h"

// Day names indexed by day number 1..7, Sunday first (index 0 unused).
extern const char* const DayNames[8];

// Advances `seed` by the linear congruential step and returns a number from 0 to count - 1.
uint32_t RandomDraw(uint32_t& seed, uint32_t count);

// Day number 1 (Sunday) .. 7 (Saturday) of a date of the Gregorian calendar.
int DayNumberOfDate(int year, int month, int day);

// The paths filed under a day node whose text equals DayNames[dayNumber], in list order,
// looking only at the first `positions` nodes of the list.
std::vector<std::string> ScanCandidates(const TWallpaperList& list, int dayNumber, uint64_t positions);
