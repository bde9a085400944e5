// Today's weekday and the random choice among today's wallpapers, on the system's clock.
#pragma once

#include <cstdint>
#include <functional>
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

// The program's two rules for a picture of today, side by side:
// the automatic change (at logon and at a new day): a picture drawn among today's in the whole
// list that `readable` can read, or the default wallpaper when today has none or the drawn file
// is missing or cannot be read;
std::string AutomaticWallpaper(const TWallpaperList& list, const std::string& defaultWallpaper,
                               const std::function<bool(const std::string&)>& readable);
// the tray menu's «Поклеить другие лумо»: a picture drawn among today's in the first (node
// count modulo 65536) nodes, or nothing, which leaves the wallpaper as it is.
std::optional<std::string> AnotherWallpaperOfToday(const TWallpaperList& list);
