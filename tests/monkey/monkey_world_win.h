// The monkey's world: the program it drives, what it has seen of it and of the settings
// files, and the steps taken so far.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "monkey_view_win.h"
#include "support/test_support.h"

// An invariant that does not hold: the run stops here.
struct TViolation {
    std::string What;
};

class TRandom {
public:
    explicit TRandom(uint64_t seed) : engine_(seed) {}
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    std::mt19937_64 engine_;
};

enum class TPhase { Pausing, Running };
enum class TEnd { None, Close, SessionEnd };

// One run of Lumo.exe, from its start to its end.
struct TSession {
    PROCESS_INFORMATION Process{};
    std::unique_ptr<TLumoView> View;
    bool Autorun = false;
    bool StayInTray = false;  // the check mark read at the start
    TPhase Phase = TPhase::Running;
    ULONGLONG PauseEnds = 0;  // tick count
    TEnd End = TEnd::None;
    long EndStep = 0;
    // A close asked for by real input (close box, Alt+F4, the menu's «Выход»), until the program
    // shows that it took it (it ends, or shows the box of a failed save). It takes at once, or
    // when what holds it ends (a dialog or box that came up meanwhile); input that met the tray
    // menu or a window disabled meanwhile may have asked nothing.
    std::string CloseAsked;
    bool CloseMayBeLost = false;
    TWindowState State;  // as last read
    bool StateKnown = false;
    // The options the program holds: the window's.
    std::string Options() const { return State.Options(); }
    // What the program last read or wrote, in the form it writes: a save writes a file only
    // when it differs from it (or the file is missing).
    std::string SavedOptions, SavedList;
    std::optional<std::string> StartOptions, StartList;
    // A session end that found nothing changed and no dialog or box up: no file may change.
    bool FilesFrozen = false;
    bool HaveFirstCounts = false, DialogSeen = false;
    bool DialogUp = false;  // the open dialog was up, and no look at the window since showed what it did
    TCounts First, Peak, Last;
    long Steps = 0;
};

struct TWorld {
    explicit TWorld(uint64_t seed) : Random(seed) {}
    TRandom Random;
    std::string Folder;    // where Lumo.exe and its settings files are, with a trailing backslash
    std::string Pictures;  // the pictures folder, with a trailing backslash
    long Step = 0;
    std::deque<std::string> Log;
    TSession S;
    bool Running = false;
    // One interactive run of the program for the whole of the monkey's run, for its object
    // counts over a long time: no step ends it (--one-run).
    bool OneRun = false;
    long Sessions = 0;
    // The settings files as last seen (no value: absent) and as the monkey itself wrote them.
    std::optional<std::string> Options, List;
    bool WroteOptions = false, WroteList = false;  // during the current step
    std::set<std::string> DayNames;                // texts ever seen on a day node
    // A settings file (or its temporary) held open by the monkey, and until which step.
    HANDLE Held = INVALID_HANDLE_VALUE;
    std::string HeldPath;
    long HeldUntil = 0;
    // The files confirmed in the open dialog during this step, and for which button.
    std::vector<std::string> Confirmed;
    bool ConfirmedForAdd = false;
    // Figures over the whole run.
    TCounts PeakGrowth;
    long Boxes = 0, Dialogs = 0, Saves = 0;

    void Note(const std::string& text);
    std::string OptionsPath() const { return Folder + "WallOpt.ini"; }
    std::string ListPath() const { return Folder + "Murovelo.ini"; }
    [[noreturn]] void Fail(const std::string& what) { throw TViolation{what}; }
};

// Writes a line of the monkey's report to its standard output, in UTF-8.
void Say(const std::string& line);
// A text of the ANSI code page in UTF-8.
std::string Utf8(const std::string& text);

// Lets go of a settings file the monkey holds.
void Release(TWorld& world);

// Actions (monkey_actions_win.cpp): one random step of a user or of the system.
void RandomStep(TWorld& world);
void RandomPauseStep(TWorld& world);
// Settings files as another instance or a hand would write them.
std::string RandomOptionsFile(TWorld& world, bool shortPause);
std::string RandomListFile(TWorld& world);
// Closes whatever dialog, box or menu is up, as a user who wants to get out would; with none
// up, the end asked for must come.
void Drain(TWorld& world);
// A close request or a session end has been made.
void RequestEnd(TWorld& world, TEnd end);

// Invariants (monkey_checks_win.cpp), checked after every step.
void CheckStep(TWorld& world);
// The end of the program: its exit code and what the files hold afterwards.
void CheckEnd(TWorld& world);
// An end (named by `end`) saved each file that the window changed since the program last read
// or wrote it, a name being typed in place included; `missingToo`: and each missing one.
void CheckSaved(TWorld& world, const std::string& end, bool missingToo);
