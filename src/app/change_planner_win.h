// The automatic change planned away from the window. Everything of it that can make the
// program wait runs on a thread of its own: reading the settings files (held a moment by another
// instance), the file tests of the change rule (a network path may take many seconds to answer)
// and the wait for a picture that is not ready yet. The result is posted to the window
// (WM_CHANGEPLANNED), which applies it on its own thread, where its COM objects live; the
// window answers its input, paints and answers the system throughout.
//
// The thread reads no state of the program: it gets a copy of all it needs and hands back a
// value. It may outlive the window, and even a planner that let it go (blocked in a file
// test, say): it then posts nothing and ends by itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

#include "wallpaper/wallpaper_change.h"

// What the automatic change is planned from.
struct TChangeRequest {
    // The list to draw from; none: the list file as saved, read on the planner's thread.
    std::optional<TWallpaperList> List;
    // The default, placement and monitors of the change (the day is the date's). With
    // `Saved`, the default and the placement are those of the options files as saved, where
    // they exist, and these stand for them where they do not.
    TChangeRule Rule;
    bool Saved = false;
    // A picture of its own on each monitor: the monitors are counted on the planner's thread.
    bool EachMonitor = false;
    uint32_t Seed = 0;  // the planner's own random generator's
};

// The plan: what the window is to apply.
struct TPlannedChange {
    uint32_t Date = 0;  // the day it is for, yyyymmdd
    // As the rule gives it: pictures of the day, else the default if it is there, else nothing.
    TWallpaperChange Change;
    // The default, where it is there, that stands in for pictures of the day that the system
    // refuses or that are never ready.
    TWallpaperChange StandIn;
    // False when a picture of the day was still not ready at the end of the wait: the stand-in
    // is applied instead, and the day's change is not made.
    bool Ready = true;
    // The list file could not be read (nothing planned), or only up to a bad line (planned
    // from the lines before it): the failure to report once the plan is applied.
    std::exception_ptr Failure;
};

class TChangePlanner {
public:
    TChangePlanner() = default;
    ~TChangePlanner() { Cancel(); }
    TChangePlanner(const TChangePlanner&) = delete;
    TChangePlanner& operator=(const TChangePlanner&) = delete;

    // Starts planning for `window`, which gets WM_CHANGEPLANNED when the plan is ready; a plan
    // under way is given up first. Where a wait ends on another date than it began, the new
    // day is planned instead. Raises EOSError when the thread cannot be started.
    void Start(HWND window, const TChangeRequest& request);
    // A plan is under way or ready and not taken.
    bool Busy() const { return static_cast<bool>(job_); }
    // Signalled once the plan under way is ready; null when there is none.
    HANDLE Finished() const;
    // The ready plan, once: nothing while it is under way.
    std::optional<TPlannedChange> Take();
    // Gives up the plan under way: its thread posts nothing and ends as soon as it can.
    void Cancel();

    struct TJob;

private:
    std::shared_ptr<TJob> job_;
};
