// The day of the last automatic change, and the moments the program looks at the date again
// while it runs: the next local midnight (one timer, armed anew after every look), a resume
// from sleep or hibernation, a change of the clock, date or time zone, and the unlock of the
// session. One record per user session says which day the session's last automatic change
// was for, so that of several running instances only one makes a day's change.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/handles_win.h"

class TDayChange {
public:
    TDayChange();
    ~TDayChange();
    TDayChange(const TDayChange&) = delete;
    TDayChange& operator=(const TDayChange&) = delete;

    // Starts watching for `window`, which gets the timer, the power and time messages and the
    // session's unlock, and hands them to IsDayEvent; nothing when it watches already. Without
    // an automatic change made, today counts as done: a program started during the day changes
    // nothing before the next one.
    void Attach(HWND window);
    // Stops the timer and the session notifications; called before the window goes.
    void Detach();
    // True for the messages after which the date is looked at again; the midnight timer is
    // armed anew.
    bool IsDayEvent(UINT message, WPARAM wParam);
    // The local date differs from the day of this instance's last automatic change.
    bool NewDay() const;

    // The right to make the change of a new day, for the lifetime of the object: held by one
    // instance of the session at a time. Taken is false when another instance is making it
    // or has made it for today already; this instance then counts today as done.
    class TTurn {
    public:
        explicit TTurn(TDayChange& owner);
        ~TTurn();
        TTurn(const TTurn&) = delete;
        TTurn& operator=(const TTurn&) = delete;
        bool Taken() const { return taken_; }

    private:
        TDayChange& owner_;
        bool owned_ = false;  // the session's mutex
        bool taken_ = false;
    };

    // An automatic change is being made now: today is its day, for this instance and for the
    // session's record.
    void Made();

private:
    void Arm();

    HWND window_ = nullptr;
    uint32_t day_ = 0;  // yyyymmdd of the last automatic change
    TKernelHandle lock_;
    TKernelHandle mapping_;
    TMappedView record_;  // the session's day, a uint32_t yyyymmdd
    TModuleHandle wtsapi_;
    bool sessionNotifications_ = false;
};
