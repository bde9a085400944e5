// Today's weekday and the random generator, on the system's clock.
#pragma once

#include <cstdint>

#include "wallpaper/wallpaper_change.h"

// The random generator's state; one sequence for the whole process.
extern uint32_t RandomSeed;

// Seeds the generator from the performance counter, or the tick count when there is none.
void SeedRandom();

// Draws from the process's generator.
TRandomSource ProcessRandom();

// Today's day number 1 (Sunday) .. 7 (Saturday) from the local date.
int TodayDayNumber();

// The local date as a number yyyymmdd.
uint32_t TodaysDate();
