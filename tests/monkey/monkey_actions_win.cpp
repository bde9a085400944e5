// The monkey's steps: what a user or the system can do to the running program, chosen at
// random with weights. Mouse and keyboard steps use real input (see support/input.h and
// monkey_user_win.cpp): they reach only what a user could reach. The system's steps (close
// requests, session ends, the shell's messages, the notification icon's callback) are
// messages, as the system sends them; the open dialog is answered as the platform's test
// drivers do, by its file-name box and its buttons.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/input.h"
#include "monkey_steps_win.h"
#include "support/dialog_driver.h"

using namespace monkey;

namespace {

constexpr UINT kNotifyMessage = 0x800;
enum : UINT { kMenuWall = 101, kMenuRestore = 102, kMenuExit = 104 };

using TAction = std::function<bool(TWorld&)>;  // false: not possible now, nothing done
struct TStep {
    const char* Name;
    int Weight;
    TAction Run;
};

// --- The notification icon and the system ----------------------------------------------------

bool TrayClick(TWorld& w) {
    const bool right = w.Random.Chance(50);
    w.Note(right ? "right click on the notification icon" : "double click on the notification icon");
    const TTopWindows before = Top(w);
    PostMessageA(View(w).Main, kNotifyMessage, 0, right ? WM_RBUTTONDOWN : WM_LBUTTONDBLCLK);
    // Under a dialog or box the icon is no way around it: no menu, no window.
    if (before.Modal() && !before.Menu && !before.MainVisible && w.S.Phase == TPhase::Running) {
        Sleep(300);
        const TTopWindows after = Top(w);
        if (after.Menu || (after.MainVisible && !after.Modal()))
            w.Fail("the notification icon took a click while a dialog or box was up");
    }
    return true;
}

bool MenuChoice(TWorld& w) {
    if (!Top(w).Menu) return false;
    const int item =
        w.OneRun ? w.Random.Pick<int>({0, 0, 1, 2, 2}) : w.Random.Pick<int>({0, 0, 1, 2, 2, 3});  // 0 closes the menu
    static const char* const names[] = {"Esc", "«Поклеить другие лумо»", "«Восстановить»", "«Выход»"};
    w.Note(std::string("tray menu: ") + names[item]);
    if (item == 0) {
        input::Key(VK_ESCAPE);
        return true;
    }
    for (int i = 0; i < item; ++i) input::Key(VK_DOWN);
    input::Key(VK_RETURN);
    if (item == 3) w.S.CloseByInput = true;
    return true;
}

// The shell's menu commands, as its menu sends them: only when the menu could be shown.
bool MenuCommand(TWorld& w) {
    const TTopWindows top = Top(w);
    if (top.MainVisible || top.Modal()) return false;
    const UINT item =
        w.Random.Pick<UINT>({kMenuWall, kMenuWall, kMenuRestore, kMenuRestore, w.OneRun ? kMenuWall : kMenuExit});
    w.Note("menu command " + std::to_string(item));
    PostMessageA(View(w).Main, WM_COMMAND, item, 0);
    if (item == kMenuExit) RequestEnd(w, TEnd::Close);
    return true;
}

bool CloseRequest(TWorld& w) {
    const bool application = w.Random.Chance(30);
    w.Note(application ? "WM_CLOSE to the application window" : "WM_CLOSE to the main window");
    PostMessageA(application ? View(w).Application : View(w).Main, WM_CLOSE, 0, 0);
    RequestEnd(w, TEnd::Close);
    return true;
}

bool SessionEnd(TWorld& w) {
    const bool cancelled = w.Random.Chance(20);
    const TTopWindows top = Top(w);
    // Nothing changed and nothing in the way: no file may be written, not even a missing one.
    if (!cancelled && w.S.StateKnown && !top.Modal() && w.S.Phase == TPhase::Running &&
        w.S.Options() == w.S.SavedOptions && w.S.State.List() == w.S.SavedList)
        w.S.FilesFrozen = true;
    w.Note(cancelled ? "session end, cancelled" : "session end");
    for (HWND window : {View(w).Application, View(w).Main}) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer))
            w.Fail("WM_QUERYENDSESSION was not answered within 5 s");
    }
    for (HWND window : {View(w).Application, View(w).Main}) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, WM_ENDSESSION, !cancelled, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer) &&
            IsWindow(window))
            w.Fail("WM_ENDSESSION was not answered within 5 s");
    }
    if (!cancelled) RequestEnd(w, TEnd::SessionEnd);
    return true;
}

bool ShellRestart(TWorld& w) {
    // The shell lost its icons and tells every program that the taskbar is there again.
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = View(w).Main;
    const bool lost = w.S.Phase == TPhase::Running && w.Random.Chance(70) && Shell_NotifyIconA(NIM_DELETE, &icon);
    w.Note(lost ? "the shell restarts (icon lost, TaskbarCreated)" : "TaskbarCreated");
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    for (HWND window : {View(w).Application, View(w).Main}) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL, 2000, &answer);
    }
    return true;
}

bool HiddenMessage(TWorld& w) {
    const HWND window = w.Random.Chance(50) ? View(w).Main : View(w).Application;
    w.Note("WM_SETTINGCHANGE sent to the " + std::string(window == View(w).Main ? "main" : "application") + " window");
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_SETTINGCHANGE, 0, 0, SMTO_NORMAL, 1000, &answer) && IsWindow(window))
        w.Fail("a message sent to a hidden window was not answered within 1 s");
    return true;
}

// --- Files on disk -------------------------------------------------------------------------

std::string DamagedBytes(TWorld& w) {
    return w.Random.Pick<std::string>({"BM", "BM\x10\x00\x00\x00junk", std::string(), "\xFF\xD8\xFF\xE0 junk"});
}

bool SpoilPicture(TWorld& w) {
    const std::string name = w.Random.Pick<std::string>({"good1.bmp", "good2.bmp", "good3.bmp", "pic.emf"});
    const std::string path = w.Pictures + name;
    const int what = w.Random.Below(3);
    if (what == 0) {
        WriteFileBytes(path, DamagedBytes(w));
        w.Note("picture " + name + " damaged on disk");
    } else if (what == 1) {
        DeleteFileA(path.c_str());
        w.Note("picture " + name + " deleted");
    } else {
        CopyFileA((w.Pictures + "originals\\" + name).c_str(), path.c_str(), FALSE);
        w.Note("picture " + name + " restored");
    }
    return true;
}

bool HoldSettingsFile(TWorld& w) {
    if (w.Held != INVALID_HANDLE_VALUE) return false;
    const std::string name = w.Random.Pick<std::string>({"WallOpt.ini", "Murovelo.ini", "WallOpt.in~", "Murovelo.in~"});
    const std::string path = w.Folder + name;
    const bool temporary = name.back() == '~';
    // Another program reads the file and lets nobody replace it meanwhile; or it sits on the
    // name of the temporary, so that the program has to take another name.
    w.Held = temporary ? CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                       : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (w.Held == INVALID_HANDLE_VALUE) return false;
    w.HeldPath = path;
    w.HeldUntil = w.Step + 2 + w.Random.Below(8);
    w.Note("hold " + name + " open until step " + std::to_string(w.HeldUntil));
    return true;
}

bool ExternalEdit(TWorld& w) {
    // Another instance, or a hand, writes a settings file meanwhile.
    if (w.Held != INVALID_HANDLE_VALUE) return false;
    if (w.Random.Chance(50)) {
        WriteFileBytes(w.OptionsPath(), RandomOptionsFile(w, false));
        w.WroteOptions = true;
        w.Note("another program writes WallOpt.ini");
    } else {
        WriteFileBytes(w.ListPath(), RandomListFile(w));
        w.WroteList = true;
        w.Note("another program writes Murovelo.ini");
    }
    return true;
}

// --- The open dialog, its Preview window, boxes and the menu --------------------------------

void OpenPicturesFolder(HWND dialog, TWorld& w) { TypeAndConfirm(dialog, w.Pictures); }

// The open dialog, when a user can work in it: not under its Preview window or a box.
HWND UsableDialog(TWorld& w) {
    const HWND dialog = Top(w).Dialog;
    return dialog && IsWindowEnabled(dialog) ? dialog : nullptr;
}

bool DialogChoose(TWorld& w) {
    const HWND dialog = UsableDialog(w);
    if (!dialog) return false;
    std::vector<std::string> names = PictureNames();
    names.push_back("nope.bmp");  // the dialog itself says that it does not exist
    const int count = 1 + w.Random.Below(3);
    std::string typed;
    std::vector<std::string> chosen;
    for (int i = 0; i < count; ++i) {
        const std::string name = w.Random.Pick(names);
        chosen.push_back(w.Pictures + name);
        typed += count > 1 ? "\"" + name + "\" " : name;
    }
    w.Note("open dialog: choose " + typed + (View(w).ActivePage() == 0 ? " (for sbAdd)" : " (for bObzor)"));
    OpenPicturesFolder(dialog, w);
    w.ConfirmedForAdd = View(w).ActivePage() == 0;
    w.Confirmed = chosen;
    TypeAndConfirm(dialog, typed);
    WaitUntil([&] { return !IsWindowVisible(dialog) || !Top(w).OtherBoxes.empty(); }, 3000);
    if (IsWindowVisible(dialog)) w.Confirmed.clear();  // refused: the dialog stays
    return true;
}

bool DialogSelect(TWorld& w) {
    const HWND dialog = UsableDialog(w);
    if (!dialog) return false;
    HWND list = FileList(dialog);
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 1000, &count) || count < 3) {
        OpenPicturesFolder(dialog, w);
        list = FileList(dialog);
        if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 1000, &count) || count == 0)
            return false;
    }
    const int index = w.Random.Below(static_cast<int>(count));
    w.Note("open dialog: select entry " + std::to_string(index) + " of the file list");
    SelectListEntry(list, index);
    return true;
}

bool DialogPreview(TWorld& w) {
    const HWND dialog = UsableDialog(w);
    const HWND button = dialog ? Descendant(dialog, "TSpeedButton") : nullptr;
    if (!button || !IsWindowEnabled(button)) return false;
    // The Preview button, or a double click on the pane's picture.
    const HWND picture = Descendant(dialog, "TImage");
    if (!(picture && w.Random.Chance(40) ? ClickOn(w, picture, "the pane's picture", true)
                                         : ClickOn(w, button, "the pane's Preview button")))
        return false;
    WaitUntil([&] { return Top(w).Preview != nullptr; }, 2000);
    return true;
}

// Closes a window as a user would: with Esc now and then when it has the keyboard, else by
// the message of its button or close box; then waits until it is gone.
bool Dismiss(TWorld& w, HWND window, int escPercent, const std::string& name, const char* other, UINT message,
             WPARAM wParam) {
    if (!window) return false;
    if (GetForegroundWindow() == window && w.Random.Chance(escPercent)) {
        w.Note(name + ": Esc");
        input::Key(VK_ESCAPE);
    } else {
        w.Note(name + ": " + other);
        PostMessageA(window, message, wParam, 0);
    }
    WaitUntil([&] { return !IsWindowVisible(window); }, 2000);
    return true;
}

bool DialogCancel(TWorld& w) { return Dismiss(w, UsableDialog(w), 50, "open dialog", "Cancel", WM_COMMAND, IDCANCEL); }

bool ClosePreview(TWorld& w) { return Dismiss(w, Top(w).Preview, 60, "Preview", "close box", WM_CLOSE, 0); }

bool AnswerBox(TWorld& w) {
    const TTopWindows top = Top(w);
    HWND box = !top.ErrorBoxes.empty()   ? top.ErrorBoxes.front()
               : !top.OtherBoxes.empty() ? top.OtherBoxes.front()
                                         : nullptr;
    if (!box) return false;
    const std::string text = [&] {
        char buffer[512] = {};
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        return std::string(buffer);
    }();
    const HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
    const int how = w.Random.Below(3);
    w.Note("answer the box \"" + CaptionOf(box) + "\": \"" + text + "\"" +
           (how == 0   ? " (click)"
            : how == 1 ? " (Enter)"
                       : " (OK)"));
    if (how == 0 && ok)
        input::Click(input::Centre(ok));  // the box is on top of everything of the program
    else if (how == 1 && GetForegroundWindow() == box)
        input::Key(VK_RETURN);
    else
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindowVisible(box); }, 2000);
    return true;
}

const std::vector<TStep>& Steps() {
    static const std::vector<TStep> steps = {
        {"node", 40, ClickNode},
        {"edit node", 24, EditNode},
        {"control", 50, ClickControl},
        {"tab", 18, ClickTab},
        {"keys", 20, PressKeys},
        {"edWait", 15, TypeWait},
        {"edOld", 15, TypeOld},
        {"minimise", 8, MinimiseBox},
        {"maximise", 3, MaximiseBox},
        {"close box", 1, CloseBox},
        {"Alt+F4", 2, AltF4},
        {"tray", 18, TrayClick},
        {"menu", 24, MenuChoice},
        {"menu command", 4, MenuCommand},
        {"close", 1, CloseRequest},
        {"session end", 1, SessionEnd},
        {"shell", 5, ShellRestart},
        {"message", 5, HiddenMessage},
        {"picture", 8, SpoilPicture},
        {"hold", 5, HoldSettingsFile},
        {"other program", 3, ExternalEdit},
        {"dialog choose", 36, DialogChoose},
        {"dialog select", 30, DialogSelect},
        {"dialog preview", 18, DialogPreview},
        {"dialog cancel", 12, DialogCancel},
        {"preview close", 30, ClosePreview},
        {"answer", 40, AnswerBox},
    };
    return steps;
}

// While a dialog, box, Preview window or the tray menu is up, the system's requests to end come
// more often: that is where an end is hardest to get right.
const std::vector<TStep>& ModalSteps() {
    static const std::vector<TStep> steps = [] {
        std::vector<TStep> all = Steps();
        for (TStep& step : all) {
            const std::string name = step.Name;
            if (name == "close" || name == "session end") step.Weight = 6;
            if (name == "hold" || name == "other program" || name == "shell") step.Weight *= 2;
        }
        return all;
    }();
    return steps;
}

// The steps that end the program, or may.
bool Ends(const TStep& step) {
    const std::string name = step.Name;
    return name == "close box" || name == "Alt+F4" || name == "close" || name == "session end";
}

void RunWeighted(TWorld& w, const std::vector<TStep>& steps) {
    int total = 0;
    for (const TStep& step : steps) total += step.Weight;
    for (int attempt = 0; attempt < 30; ++attempt) {
        int pick = w.Random.Below(total);
        for (const TStep& step : steps) {
            if ((pick -= step.Weight) >= 0) continue;
            if (w.OneRun && Ends(step)) break;
            if (step.Run(w)) return;
            break;
        }
    }
    w.Note("wait");
    Sleep(200);
}

}  // namespace

std::string RandomOptionsFile(TWorld& w, bool shortPause) {
    const std::string tray = w.Random.Pick<std::string>({"-1", "0", "1", "True", "false"});
    const std::string old = w.Random.Pick<std::string>(
        {"", w.Pictures + "good2.bmp", w.Pictures + "bad.jpg", "C:\\nowhere\\d.bmp", w.Pictures + "pic.emf"});
    const std::string wait = shortPause ? std::to_string(w.Random.Below(4))
                                        : w.Random.Pick<std::string>({"0", "3", "10", "abc", "-5", "40000", " 15"});
    if (!shortPause && w.Random.Chance(15)) return tray + "\r\n" + old + "\r\n";  // two lines: the pause is 10
    return tray + "\r\n" + old + "\r\n" + wait + "\r\n";
}

std::string RandomListFile(TWorld& w) {
    TWallpaperList list = BuiltInWallpaperList();
    TWallpaperList result;
    for (const TWallpaperNode& day : list) {
        const int parent = static_cast<int>(result.size());
        result.push_back(day);
        for (int i = w.Random.Below(4); i > 0; --i) {
            const int kind = w.Random.Below(4);
            const std::string path = kind == 0   ? "C:\\nowhere\\m" + std::to_string(i) + ".jpg"
                                     : kind == 1 ? w.Pictures + "bad.bmp"
                                                 : w.Pictures + w.Random.Pick(PictureNames());
            result.push_back({parent, path});
        }
    }
    return FormatWallpaperList(result);
}

void RandomStep(TWorld& w) { RunWeighted(w, Top(w).Modal() ? ModalSteps() : Steps()); }

void RandomPauseStep(TWorld& w) {
    // Before the change nothing is shown: what is left is the system's part and stray input.
    static const std::vector<TStep> steps = {{"message", 6, HiddenMessage},
                                             {"close", 1, CloseRequest},
                                             {"session end", 1, SessionEnd},
                                             {"shell", 2, ShellRestart},
                                             {"tray", 2, TrayClick},
                                             {"keys", 1, PressKeys},
                                             {"picture", 1, SpoilPicture},
                                             {"wait", 4, [](TWorld& world) {
                                                  world.Note("wait");
                                                  Sleep(300);
                                                  return true;
                                              }}};
    RunWeighted(w, steps);
}

void Drain(TWorld& w) {
    const TTopWindows top = Top(w);
    if (!top.ErrorBoxes.empty() || !top.OtherBoxes.empty()) {
        AnswerBox(w);
    } else if (top.Preview) {
        ClosePreview(w);
    } else if (top.Dialog) {
        DialogCancel(w);
    } else if (top.Menu) {
        w.Note("tray menu: Esc");
        input::Key(VK_ESCAPE);
    } else {
        // Nothing is in the way: the end asked for must come, after the pause if one is on.
        // What the program still had queued may put a menu or box up first (a click on the
        // icon posted during the pause, say): the next step closes it.
        w.Note("wait for the end");
        const ULONGLONG limit = std::max(GetTickCount64(), w.S.PauseEnds) + 10000;
        while (WaitForSingleObject(w.S.Process.hProcess, 200) != WAIT_OBJECT_0) {
            if (Top(w).Modal()) return;
            if (GetTickCount64() > limit)
                w.Fail(w.S.End == TEnd::Close ? "a close request was lost" : "a session end was lost");
        }
    }
}

void RequestEnd(TWorld& w, TEnd end) {
    if (w.S.End == TEnd::SessionEnd) return;  // a session end outweighs a close request
    if (w.S.End == TEnd::None) w.S.EndStep = w.Step;
    w.S.End = end;
}
