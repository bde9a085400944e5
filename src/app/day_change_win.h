// The day of the last automatic change, and the moments the program looks at the date again
// while it runs: the next local midnight (one timer, armed anew after every look), a resume
// from sleep or hibernation, the display turning on, a change of the clock, date or time zone,
// the unlock of the session and its reconnection (fast user switching, Remote Desktop), and a
// later try after a day whose picture was not ready. Every such moment only notes that the day
// may have changed (the window posts itself WM_CHECKDAY): the messages are sent by the system
// or by other programs, which wait for the answer.
//
// One record per logon session says which day the session's last automatic change was made
// for, so that of the instances of one session (running together, or one after the other at
// logon) only one makes a day's change: a volatile registry value (see the .cpp), which lives
// as long as the logon and no longer; the instances take turns through a named mutex.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/handles_win.h"

class TDayChange {
public:
    TDayChange();
    ~TDayChange();
    TDayChange(const TDayChange&) = delete;
    TDayChange& operator=(const TDayChange&) = delete;

    // Starts watching for `window`, which gets the timers, the power, time and setting messages
    // and the session's changes, and hands them to IsDayEvent; nothing when it watches already.
    // Without an automatic change asked for, today counts as done: a program started during the
    // day changes nothing before the next one. A day not done is looked at at once (a change at
    // logon that ended after midnight), or tried later when its picture was not ready today.
    void Attach(HWND window);
    // Stops the timers and the notifications; called before the window goes.
    void Detach();
    // True for the messages after which the date is looked at again; the midnight timer is
    // armed anew.
    bool IsDayEvent(UINT message, WPARAM wParam);
    // The local date is not the day of this instance's last automatic change made.
    bool NewDay() const;

    // An automatic change is asked for on `date` (yyyymmdd): from now on only a change made
    // counts a day done.
    void Asked(uint32_t date);
    // The session's record says that the change of `date` was made, by any instance.
    bool MadeInSession(uint32_t date) const;
    // The change of `date` was made, by this instance or another one: the day counts done.
    void Done(uint32_t date);
    // The change asked for was not the day's (its picture not ready, the list not read): while
    // the watch runs, today is tried again later, after a minute, then after twice as long each
    // time, up to half an hour.
    void TryLater();

    // The right to make a day's change, for the lifetime of the object: held by one instance of
    // the session at a time, only while it applies. Taken is false while another instance holds
    // it; without the session's mutex this instance acts alone.
    class TTurn {
    public:
        explicit TTurn(TDayChange& owner);
        ~TTurn();
        TTurn(const TTurn&) = delete;
        TTurn& operator=(const TTurn&) = delete;
        bool Taken() const { return taken_; }
        // The change of `date` is made: the session's record and this instance say so.
        void Made(uint32_t date);

    private:
        TDayChange& owner_;
        bool owned_ = false;  // the session's mutex
        bool taken_ = false;
    };

private:
    void Arm();

    HWND window_ = nullptr;
    uint32_t day_ = 0;          // yyyymmdd of the last automatic change made
    uint32_t asked_ = 0;        // yyyymmdd of the last automatic change asked for
    UINT laterTries_ = 0;       // the tries later since the last change made
    std::string sessionValue_;  // the record's value name: the logon session's
    TKernelHandle lock_;
    TModuleHandle wtsapi_;
    bool sessionNotifications_ = false;
    HPOWERNOTIFY displayNotifications_ = nullptr;
};
