// Today's weekday and the random choice among today's wallpapers, on the system's clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/wallpaper_list.h"

// The random generator's state; one sequence for the whole process.
extern uint32_t RandomSeed;

// Seeds the generator from the performance counter, or the tick count when there is none.
void SeedRandom();

// Today's day number 1 (Sunday) .. 7 (Saturday) from the local date.
int TodayDayNumber();

// Draws one of the paths filed under today's day node among the first `positions` nodes.
// Returns it when it passes the file-exists test; nothing when there is no candidate or the
// drawn file is missing (no other candidate is tried).
std::optional<std::string> ChooseTodaysWallpaper(const TWallpaperList& list, uint64_t positions);
