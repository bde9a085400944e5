// What must hold after every step, and at the end of each run of the program.
#include <algorithm>
#include <stdexcept>

#include "base/exceptions.h"
#include "base/format.h"
#include "monkey_steps_win.h"
#include "settings/options_file.h"
#include "ui/list_rows.h"

namespace {

constexpr DWORD kAnswerTime = 1000;

// Bounds of growth over a run of the program, measured while no dialog or box is up. The base
// is the first such measurement, taken again after the run's first open dialog, which fills
// the system's caches of icons and image lists once (about 190 GDI objects and 10 handles
// under Wine). A leak of one object per action passes a bound within a few hundred steps.
constexpr long kGdiGrowth = 120, kHandleGrowth = 40, kWindowGrowth = 10, kPrivateGrowthKb = 64 * 1024;

std::string Shown(const std::optional<std::string>& bytes) {
    if (!bytes) return "<absent>";
    std::string text;
    for (char c : bytes->substr(0, 400))
        text += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n\n    ") : std::string(1, c);
    return text + (bytes->size() > 400 ? "..." : "");
}

std::string Desktop(const char* name) { return ReadRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", name); }

char DecimalSeparator() {
    char separator[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
    return separator[0] ? separator[0] : '.';
}

// Whether the program has applied a wallpaper since the run started: every change writes the
// style of its placement over the monkey's marker.
bool Applied() { return Desktop("WallpaperStyle") != "monkey"; }
// Whether the automatic change may rightly leave the wallpaper: with no default file there
// (without an options file the default is the desktop's picture, which is there) and no usable
// picture of today, it does.
bool MayLeaveTheWallpaper(const TSession& s) {
    try {
        if (!s.StartOptions) return false;
        const std::string wallpaper = ParseOptionsFile(*s.StartOptions, DecimalSeparator()).DefaultWallpaper;
        const DWORD attributes = GetFileAttributesA(wallpaper.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY);
    } catch (const std::exception&) {
        return true;
    }
}

bool Ended(const TWorld& w) { return WaitForSingleObject(w.S.Process.hProcess, 0) == WAIT_OBJECT_0; }

bool Held(const TWorld& w, const std::string& path) { return w.Held != INVALID_HANDLE_VALUE && w.HeldPath == path; }

// Each settings file that exists parses by the program's own rules and holds the seven days.
void CheckFormat(TWorld& w, const std::string& name, const std::string& bytes, bool options) {
    try {
        if (options) {
            ParseOptionsFile(bytes, DecimalSeparator());
            return;
        }
        TWallpaperList list;
        ParseWallpaperList(bytes, list);
        int days = 0;
        const TWallpaperList builtIn = BuiltInWallpaperList();
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].Parent >= 0) continue;
            if (list[i].Text != builtIn[static_cast<size_t>(std::min(days, 6))].Text && !w.DayNames.count(list[i].Text))
                w.Fail(name + ": day node \"" + list[i].Text + "\" was never in the window");
            ++days;
        }
        if (days != 7) w.Fail(name + " holds " + std::to_string(days) + " day nodes:\n    " + Shown(bytes));
        for (size_t i = 0; i < list.size(); ++i)
            if (NodeLevel(list, i) > 1) w.Fail(name + " holds a node below a file node: \"" + list[i].Text + "\"");
    } catch (const Exception& failure) {
        w.Fail(name + " does not parse (" + failure.Message() + "):\n    " + Shown(bytes));
    }
}

// Paths added as the last children of the selected node, as the add button does.
void AddUnderSelected(TWindowState& state, const std::vector<std::string>& paths) {
    const auto selected = std::find(state.Items.begin(), state.Items.end(), state.Selected);
    if (selected == state.Items.end()) return;
    const int parent = static_cast<int>(selected - state.Items.begin());
    // The new nodes follow the parent's last descendant.
    size_t at = static_cast<size_t>(parent) + 1;
    while (at < state.Tree.size() && state.Tree[at].Parent >= parent) ++at;
    for (const std::string& path : paths) {
        state.Tree.insert(state.Tree.begin() + static_cast<long>(at), TWallpaperNode{parent, ListRowText(path, true)});
        state.Items.insert(state.Items.begin() + static_cast<long>(at), nullptr);
        state.Missing.insert(state.Missing.begin() + static_cast<long>(at), false);
        for (size_t i = at + 1; i < state.Tree.size(); ++i)
            if (state.Tree[i].Parent >= static_cast<int>(at)) ++state.Tree[i].Parent;
        ++at;
    }
}

// The files the monkey confirmed in the open dialog, when the window could no longer be read
// afterwards: what the add and browse buttons do with them.
void ApplyConfirmed(TWorld& w) {
    if (w.Confirmed.empty() || !w.S.StateKnown) return;
    if (w.ConfirmedForAdd)
        AddUnderSelected(w.S.State, w.Confirmed);
    else
        w.S.State.Old = w.Confirmed.front();
    w.Confirmed.clear();
}

// Whether a file the program wrote as it ended (its window no longer read) is what the window
// held plus a result of the open dialog that was up (confirmed by a key or click the monkey could
// not tell apart): files added under the selected day, or a new default wallpaper. `state`
// becomes that window.
bool DialogResult(TWindowState& state, const std::string& bytes, bool options) {
    TWindowState result = state;
    try {
        if (options) {
            const TOptionsFileData data = ParseOptionsFile(bytes, DecimalSeparator());
            result.Old = data.DefaultWallpaper;
        } else {
            TWallpaperList list;
            ParseWallpaperList(bytes, list);
            const auto selected = std::find(state.Items.begin(), state.Items.end(), state.Selected);
            if (list.size() <= state.Tree.size() || selected == state.Items.end()) return false;
            size_t at = static_cast<size_t>(selected - state.Items.begin()) + 1;
            while (at < state.Tree.size() && state.Tree[at].Parent >= selected - state.Items.begin()) ++at;
            std::vector<std::string> added;
            for (size_t i = at; i < at + list.size() - state.Tree.size(); ++i) added.push_back(list[i].Text);
            AddUnderSelected(result, added);
        }
    } catch (const Exception&) {
        return false;
    }
    if ((options ? result.Options() : result.List()) != (options ? bytes : Rows(bytes))) return false;
    state = std::move(result);
    return true;
}

void CheckFile(TWorld& w, bool options) {
    const std::string name = options ? "WallOpt.ini" : "Murovelo.ini";
    const std::optional<std::string> now = ReadShared(options ? w.OptionsPath() : w.ListPath());
    std::optional<std::string>& last = options ? w.Options : w.List;
    const bool wrote = options ? w.WroteOptions : w.WroteList;
    if (now != last && !wrote) {
        // The program wrote it.
        if (!now) w.Fail("the program deleted " + name);
        if (w.S.FilesFrozen) w.Fail("a session end rewrote " + name + " although nothing had changed");
        const bool pausing = w.S.Phase == TPhase::Pausing && GetTickCount64() + 300 < w.S.PauseEnds;
        if (w.S.Autorun && (pausing || !w.S.StayInTray))
            w.Fail("the automatic run wrote " + name + " before its message loop");
        std::string expected = options ? w.S.Options() : w.S.State.List();
        TWindowState fresh;
        // The save may have come after the window was read: read it again.
        const std::string shown = options ? *now : Rows(*now);
        const bool again = w.S.StateKnown && shown != expected && !Ended(w) && (Sleep(300), w.S.View->Read(fresh));
        if (again) {
            w.S.State = std::move(fresh);
            expected = options ? w.S.Options() : w.S.State.List();
        }
        if (w.S.StateKnown && shown != expected && w.S.DialogUp && !again && DialogResult(w.S.State, *now, options))
            expected = shown;
        if (w.S.StateKnown && shown != expected)
            w.Fail(name + " does not hold what the window shows.\n  file:\n    " + Shown(shown) + "\n  window:\n    " +
                   Shown(expected));
        (options ? w.S.SavedOptions : w.S.SavedList) = shown;
        ++w.Saves;
    }
    last = now;
    if (now) CheckFormat(w, name, *now, options);
}

// The glyph buttons follow the selected node: add under a day, delete a file.
void CheckSelectionRule(TWorld& w) {
    const TWindowState& state = w.S.State;
    const auto selected = std::find(state.Items.begin(), state.Items.end(), state.Selected);
    if (!state.Selected || selected == state.Items.end()) return;
    const bool day = state.Tree[static_cast<size_t>(selected - state.Items.begin())].Parent < 0;
    const bool add = IsWindowEnabled(w.S.View->Add), del = IsWindowEnabled(w.S.View->Del);
    if (add != day || del == day)
        w.Fail(std::string("with a ") + (day ? "day" : "file") + " node selected, sbAdd is " +
               (add ? "enabled" : "disabled") + " and sbDel " + (del ? "enabled" : "disabled"));
}

void CheckCounts(TWorld& w) {
    TSession& s = w.S;
    TCounts now = s.View->Counts();
    const auto beyond = [&](const TCounts& c) {
        return c.Gdi > s.First.Gdi + kGdiGrowth || c.Handles > s.First.Handles + kHandleGrowth ||
               c.Windows > s.First.Windows + kWindowGrowth || c.PrivateKb > s.First.PrivateKb + kPrivateGrowthKb;
    };
    if (s.HaveFirstCounts && beyond(now)) {
        // A dialog or box on its way up has made its objects before showing: look again.
        Sleep(1500);
        if (s.View->TopWindows().Modal()) return;
        now = s.View->Counts();
        if (!s.DialogSeen) {
            // An open dialog came and went between two looks: a new base after its caches.
            s.DialogSeen = true;
            s.HaveFirstCounts = false;
        }
    }
    if (!s.HaveFirstCounts) {
        s.First = s.Peak = s.Last = now;
        s.HaveFirstCounts = true;
        return;
    }
    s.Peak.Gdi = std::max(s.Peak.Gdi, now.Gdi);
    s.Peak.Handles = std::max(s.Peak.Handles, now.Handles);
    s.Peak.Windows = std::max(s.Peak.Windows, now.Windows);
    s.Peak.PrivateKb = std::max(s.Peak.PrivateKb, now.PrivateKb);
    w.PeakGrowth.Gdi = std::max(w.PeakGrowth.Gdi, now.Gdi - s.First.Gdi);
    w.PeakGrowth.Handles = std::max(w.PeakGrowth.Handles, now.Handles - s.First.Handles);
    w.PeakGrowth.Windows = std::max(w.PeakGrowth.Windows, now.Windows - s.First.Windows);
    w.PeakGrowth.PrivateKb = std::max(w.PeakGrowth.PrivateKb, now.PrivateKb - s.First.PrivateKb);
    const auto check = [&](const char* what, long first, long value, long bound) {
        if (value > first + bound)
            w.Fail(std::string(what) + " grew from " + std::to_string(first) + " to " + std::to_string(value) +
                   " (bound +" + std::to_string(bound) + ")");
    };
    s.Last = now;
    check("GDI objects", s.First.Gdi, now.Gdi, kGdiGrowth);
    check("handles", s.First.Handles, now.Handles, kHandleGrowth);
    check("windows", s.First.Windows, now.Windows, kWindowGrowth);
    check("private memory (KB)", s.First.PrivateKb, now.PrivateKb, kPrivateGrowthKb);
}

// The pause of the automatic run: nothing of the program shows or runs before it ends.
void CheckPause(TWorld& w, const TTopWindows& top) {
    TSession& s = w.S;
    const ULONGLONG now = GetTickCount64();
    if (now + 300 < s.PauseEnds) {
        if (top.MainVisible || top.Modal()) w.Fail("a window or box showed during the pause");
        if (s.View->IconShown()) w.Fail("the notification icon showed during the pause");
        if (Applied()) w.Fail("the wallpaper was applied before the pause ended");
        return;
    }
    if (now < s.PauseEnds + 500) return;
    // The change comes right after the pause.
    const bool due = !MayLeaveTheWallpaper(s);
    for (int i = 0; i < 100 && due && !Applied() && !Ended(w); ++i) Sleep(50);
    if (due && !Applied()) w.Fail("no wallpaper was applied after the pause");
    if (!s.StayInTray) {
        if (WaitForSingleObject(s.Process.hProcess, 10000) != WAIT_OBJECT_0)
            w.Fail("the automatic run without the notification area did not end");
        return;
    }
    s.Phase = TPhase::Running;
}

// A close asked by real input takes at once: the program ends, or shows the box of its failed
// save first. A dialog or box that came up meanwhile holds it until it ends, or disabled the
// window before the input came; the tray menu ends at a click and may keep it from the window.
void CheckInputClose(TWorld& w) {
    TSession& s = w.S;
    TTopWindows top = s.View->TopWindows();
    for (int i = 0; i < 60 && !Ended(w) && top.ErrorBoxes.empty() && !top.Modal(); ++i) {
        Sleep(50);
        top = s.View->TopWindows();
    }
    if (Ended(w) || !top.ErrorBoxes.empty()) {
        RequestEnd(w, TEnd::Close);
    } else if (top.Modal()) {
        s.CloseMayBeLost = true;
        return;  // looked at again after the next step
    } else if (!s.CloseMayBeLost) {
        w.Fail(s.CloseAsked + " did not close the program");
    } else {
        w.Note("(" + s.CloseAsked + " asked nothing)");
    }
    s.CloseAsked.clear();
}

}  // namespace

void CheckStep(TWorld& w) {
    TSession& s = w.S;
    bool ended = Ended(w);
    if (!ended) {
        const TTopWindows top = monkey::Top(w);
        if (top.FailureBox) w.Fail("the start-up failure box showed");
        if (top.ErrorBoxes.size() > 1) w.Fail(std::to_string(top.ErrorBoxes.size()) + " error boxes at once");
        if (top.Dialog && !top.ErrorBoxes.empty()) w.Fail("an error box showed while the open dialog was up");
        if (!top.ErrorBoxes.empty()) ++w.Boxes;
        if (top.Dialog) {
            s.DialogUp = true;
            ++w.Dialogs;
        }
        const HWND target = top.Main ? top.Main : top.Application;
        // A save tries a held settings file again for about a second before it reports it.
        const bool held = Held(w, w.OptionsPath()) || Held(w, w.ListPath());
        if (target && !s.View->Answers(target, held ? 2 * kAnswerTime + 500 : kAnswerTime)) {
            ended = WaitForSingleObject(s.Process.hProcess, 2000) == WAIT_OBJECT_0;
            if (!ended) w.Fail("the program did not answer a sent message in time");
        }
        if (!ended && s.Phase == TPhase::Pausing) CheckPause(w, top);
        ended = Ended(w);
        if (!ended && s.Phase == TPhase::Running) {
            // Only a dialog or box still up after the window is read held it: a key on its way may end one.
            if (top.MainVisible && IsWindowEnabled(top.Main) &&
                (IsWindowVisible(top.Dialog) || IsWindowVisible(top.Preview) ||
                 std::ranges::any_of(top.ErrorBoxes, IsWindowVisible)))
                w.Fail("the main window takes input while a dialog or box is up");
            if (!s.View->IconShown() && WaitForSingleObject(s.Process.hProcess, 2000) != WAIT_OBJECT_0)
                w.Fail("the program runs without its notification icon");
            TWindowState state;
            if (s.View->Read(state)) {
                s.State = std::move(state);
                s.StateKnown = true;
                // The dialog has returned and what it did shows in the window.
                if (!top.Dialog && !top.Preview) {
                    w.Confirmed.clear();
                    s.DialogUp = false;
                }
                for (const TWallpaperNode& node : s.State.Tree)
                    if (node.Parent < 0) w.DayNames.insert(node.Text);
                if (!top.Modal() && !s.State.Editing && !Ended(w)) {
                    CheckSelectionRule(w);
                    CheckCounts(w);
                }
            } else {
                ApplyConfirmed(w);
            }
        }
    } else {
        ApplyConfirmed(w);
    }
    if (!s.CloseAsked.empty()) CheckInputClose(w);
    CheckFile(w, true);
    CheckFile(w, false);
    w.WroteOptions = w.WroteList = false;
    if (Ended(w)) CheckEnd(w);
}

void CheckEnd(TWorld& w) {
    TSession& s = w.S;
    DWORD code = 0;
    GetExitCodeProcess(s.Process.hProcess, &code);
    w.Running = false;
    if (s.HaveFirstCounts)
        Say(Format(
            "  run %ld, %ld steps: GDI objects %ld..%ld (last %ld), handles %ld..%ld (%ld), windows %ld..%ld "
            "(%ld), private memory %ld..%ld KB (%ld)",
            w.Sessions, s.Steps, s.First.Gdi, s.Peak.Gdi, s.Last.Gdi, s.First.Handles, s.Peak.Handles, s.Last.Handles,
            s.First.Windows, s.Peak.Windows, s.Last.Windows, s.First.PrivateKb, s.Peak.PrivateKb, s.Last.PrivateKb));
    if (code != 0) w.Fail("the program ended with exit code " + std::to_string(code));
    const bool earlyEnd = s.Autorun && !s.StayInTray;
    if (s.End == TEnd::None && !earlyEnd) {
        // When Wine's desktop ends (its taskbar gone), it logs every program off: a session end
        // that the monkey did not send, which the program rightly took. The run cannot go on.
        if (!FindWindowA("Shell_TrayWnd", nullptr))
            throw std::runtime_error("the Wine desktop ended, and the session with it (not a fault of the program)");
        w.Fail("the program ended by itself");
    }
    if (s.View->IconShown()) w.Fail("the program left its notification icon behind");
    if (earlyEnd && s.Phase == TPhase::Pausing) {
        if (!Applied() && !MayLeaveTheWallpaper(s)) w.Fail("the automatic run ended without applying a wallpaper");
        if (w.Options != s.StartOptions || w.List != s.StartList)
            w.Fail("the automatic run that does not stay wrote a settings file");
    }
    if (s.End == TEnd::Close && s.StateKnown && !(earlyEnd && s.Phase == TPhase::Pausing))
        CheckSaved(w, "closing", true);
}

void CheckSaved(TWorld& w, const std::string& end, bool missingToo) {
    // A held file is given up, and so is every file after it in the order of saving.
    const TSession& s = w.S;
    const bool optionsHeld = Held(w, w.OptionsPath());
    const std::optional<std::string> options = ReadShared(w.OptionsPath()), list = ReadShared(w.ListPath());
    if (!optionsHeld && ((missingToo && !options) || s.Options() != s.SavedOptions) && options != s.Options())
        w.Fail(end + " did not save WallOpt.ini:\n  file:\n    " + Shown(options) + "\n  window:\n    " +
               Shown(s.Options()));
    if (!optionsHeld && !Held(w, w.ListPath()) && ((missingToo && !list) || s.State.List() != s.SavedList) &&
        (!list || Rows(*list) != s.State.List()))
        w.Fail(end + " did not save Murovelo.ini:\n  file:\n    " + Shown(list) + "\n  window:\n    " +
               Shown(s.State.List()));
}
