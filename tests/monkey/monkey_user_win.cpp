// The monkey's steps in the main window: what a user does with the mouse and the keyboard,
// as real input (see support/input.h), so that it reaches only what a user could reach.
#include "monkey_steps_win.h"

#include "support/input.h"

namespace monkey {

TLumoView& View(TWorld& w) { return *w.S.View; }
TTopWindows Top(TWorld& w) {
    TTopWindows top = View(w).TopWindows();
    if (top.Dialog && !w.S.DialogSeen) {
        w.S.DialogSeen = true;
        w.S.HaveFirstCounts = false;  // the first dialog fills the system's caches: a new base
    }
    return top;
}

bool Shown(HWND window) { return window && IsWindowVisible(window); }
bool OurForeground(TWorld& w) { return ProcessOf(GetForegroundWindow()) == w.S.Process.dwProcessId; }

// A real click at a point of the screen, aimed at `target`. What lies there on top takes it: a
// dialog or box of the program over the target, as for a user; but a click that would land
// on the tray menu or on the shell's windows is not made (it would choose something unseen).
bool ClickAt(TWorld& w, POINT at, HWND target, const std::string& what, bool twice) {
    if (!Shown(target)) return false;
    const HWND hit = WindowFromPoint(at);
    const HWND top = GetAncestor(hit, GA_ROOT);
    if (ProcessOf(hit) != w.S.Process.dwProcessId || ClassOf(top) == "#32768") return false;
    std::string note = (twice ? "double-click " : "click ") + what;
    if (!IsWindowEnabled(target)) note += " (disabled)";
    if (top != GetAncestor(target, GA_ROOT)) note += " (lands on \"" + CaptionOf(top) + "\")";
    w.Note(note);
    input::Click(at, false, twice);
    return true;
}

// A real click on a visible window, where a user would click it.
bool ClickOn(TWorld& w, HWND window, const std::string& what, bool twice) {
    return ClickAt(w, input::Centre(window), window, what, twice);
}

// Pictures and texts the steps use.
std::vector<std::string> PictureNames() {
    return {"good1.bmp", "good2.bmp", "good3.bmp", "pic.emf", "bad.bmp", "bad.jpg", "bad.png", "note.gif"};
}

namespace {

std::string RandomText(TWorld& w, bool path) {
    switch (w.Random.Below(path ? 7 : 5)) {
        case 0:
            return std::to_string(w.Random.Below(40000) - 100);
        case 1:
            return w.Random.Pick<std::string>({"abc", "$1F", "-5", "007", "x10", "  15", "99999", "Среда", "ъ!"});
        case 2:
            return std::string(static_cast<size_t>(100 + w.Random.Below(300)),
                               static_cast<char>('a' + w.Random.Below(26)));
        case 3:
            return "";
        case 4:
            return std::string("Ж").append(std::to_string(w.Random.Below(1000)));
        case 5:
            return w.Pictures + w.Random.Pick(PictureNames());
        default:
            return w.Random.Pick<std::string>({"C:\\nowhere\\x.bmp", w.Pictures, w.Pictures + "gone.jpg"});
    }
}

// A node text that keeps the list's shape on reloading: no leading blank, no line end.
std::string NodeText(TWorld& w) {
    return w.Random.Pick<std::string>({"Среда", "Пятница!", "x", "Понедельник ", "день" + std::to_string(w.Step),
                                       w.Pictures + "good1.bmp", "C:\\nowhere\\y.jpg"});
}

// Typed keys reach the program through its input queue after the monkey has moved on: wait
// until the text of `window` has stopped changing, so that the window read next (and a save
// that an end request makes at once) shows what the keys made.
void WaitTyped(HWND window) {
    std::string last = "\x01";
    for (int i = 0, same = 0; i < 100 && same < 3; ++i) {
        char text[1024] = {};
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000,
                                 &copied))
            return;  // gone, or the program does not answer (a step checks that)
        same = last == text ? same + 1 : 0;
        last = text;
        Sleep(50);
    }
}

// Clicks into an edit and replaces (or extends) its text by typing.
bool TypeInto(TWorld& w, HWND edit, const std::string& name, const std::string& text) {
    if (!ClickOn(w, edit, name)) return false;
    Sleep(60);
    const bool replace = w.Random.Chance(70);
    if (replace) {
        input::Key(VK_HOME);
        input::Key(VK_END, false, true);
        if (text.empty()) input::Key(VK_DELETE);
    } else {
        input::Key(VK_END);
        for (int i = w.Random.Below(4); i > 0; --i) input::Key(VK_BACK);
    }
    input::Type(text);
    WaitTyped(edit);
    w.Note("type into " + name + (replace ? " (replacing) \"" : " (appending) \"") + text.substr(0, 80) +
           (text.size() > 80 ? "...\"" : "\""));
    return true;
}

}  // namespace

// --- The main window -----------------------------------------------------------------------

bool ClickNode(TWorld& w) {
    const TWindowState& state = w.S.State;
    if (!w.S.StateKnown || state.Items.empty()) return false;
    // Day, existing file or missing file, each as likely.
    const int kind = w.Random.Below(3);
    std::vector<size_t> candidates;
    for (size_t i = 0; i < state.Tree.size(); ++i) {
        const bool day = state.Tree[i].Parent < 0;
        const bool exists = !state.Missing[i];
        if ((kind == 0 && day) || (kind == 1 && !day && exists) || (kind == 2 && !day && !exists))
            candidates.push_back(i);
    }
    if (candidates.empty()) return false;
    const size_t index = w.Random.Pick(candidates);
    const RECT r = View(w).ItemRect(state.Items[index]);
    if (IsRectEmpty(&r)) return false;
    const bool twice = w.Random.Chance(15);  // a double click also opens or closes a day
    return ClickAt(w, input::Inside(r), View(w).Tree, "node \"" + state.Tree[index].Text + "\"", twice);
}

bool EditNode(TWorld& w) {
    const TWindowState& state = w.S.State;
    if (!w.S.StateKnown || !state.Selected || state.Editing) return false;
    RECT r{};
    for (size_t i = 0; i < state.Items.size(); ++i)
        if (state.Items[i] == state.Selected) r = View(w).ItemRect(state.Selected);
    // A click on the selected node's text starts the edit after the double-click time.
    if (IsRectEmpty(&r) || !ClickAt(w, input::Inside(r), View(w).Tree, "the selected node")) return false;
    Sleep(GetDoubleClickTime() + 300);
    const std::string text = NodeText(w);
    DWORD_PTR edit = 0;
    SendMessageTimeoutA(View(w).Tree, TVM_GETEDITCONTROL, 0, 0, SMTO_NORMAL, 1000, &edit);
    input::Type(text);
    if (edit) WaitTyped(reinterpret_cast<HWND>(edit));
    if (edit && w.Random.Chance(40)) ClickControl(w);  // a button while the edit is open, then its end
    const int end = w.Random.Below(10);
    if (end < 6) input::Key(VK_RETURN);
    if (end >= 6 && end < 8) input::Key(VK_ESCAPE);
    w.Note("edit the selected node in place: \"" + text + "\"" +
           (end < 6   ? " + Enter"
            : end < 8 ? " + Esc"
                      : " (left open)"));
    return true;
}

bool ClickControl(TWorld& w) {
    TLumoView& v = View(w);
    const std::vector<std::pair<HWND, const char*>> controls = {{v.Add, "sbAdd"},
                                                                {v.Add, "sbAdd"},
                                                                {v.Del, "sbDel"},
                                                                {v.Del, "sbDel"},
                                                                {v.Change, "bChange"},
                                                                {v.Browse, "bObzor"},
                                                                {v.NowDefault, "bNowDefault"},
                                                                {v.Run, "cbRun"},
                                                                {v.Tray, "cbTray"}};
    // Mostly what is enabled, as a user would; now and then a disabled one.
    std::vector<std::pair<HWND, const char*>> enabled;
    for (const auto& control : controls)
        if (Shown(control.first) && IsWindowEnabled(control.first)) enabled.push_back(control);
    const auto& [window, name] =
        w.Random.Chance(80) && !enabled.empty() ? w.Random.Pick(enabled) : w.Random.Pick(controls);
    if (!ClickOn(w, window, name)) return false;
    // The open dialog takes a moment to come up.
    if ((window == v.Add || window == v.Browse) && IsWindowEnabled(window))
        WaitUntil([&] { return Top(w).Dialog != nullptr; }, 2500);
    return true;
}

bool ClickTab(TWorld& w) {
    if (!Shown(View(w).Tabs)) return false;
    const int index = w.Random.Below(3);
    const RECT r = View(w).TabRect(index);
    return !IsRectEmpty(&r) && ClickAt(w, input::Inside(r), View(w).Tabs, "tab " + std::to_string(index));
}

bool PressKeys(TWorld& w) {
    // Keys to the tray menu choose its items: that is the menu's own step.
    if (!OurForeground(w) || Top(w).Menu) return false;
    struct TKey {
        const char* Name;
        WORD Key;
        bool Ctrl, Shift;
    };
    static const std::vector<TKey> keys = {
        {"Tab", VK_TAB, false, false},        {"Shift+Tab", VK_TAB, false, true},   {"Up", VK_UP, false, false},
        {"Down", VK_DOWN, false, false},      {"Left", VK_LEFT, false, false},      {"Right", VK_RIGHT, false, false},
        {"Home", VK_HOME, false, false},      {"End", VK_END, false, false},        {"Space", VK_SPACE, false, false},
        {"Enter", VK_RETURN, false, false},   {"Esc", VK_ESCAPE, false, false},     {"Ctrl+Tab", VK_TAB, true, false},
        {"Ctrl+PgDn", VK_NEXT, true, false},  {"Ctrl+PgUp", VK_PRIOR, true, false}, {"Delete", VK_DELETE, false, false},
        {"Backspace", VK_BACK, false, false}, {"F2", VK_F2, false, false}};
    const TKey& key = w.Random.Pick(keys);
    w.Note(std::string("key ") + key.Name + " to \"" + CaptionOf(GetForegroundWindow()) + "\"");
    input::Key(key.Key, key.Ctrl, key.Shift);
    return true;
}

bool TypeWait(TWorld& w) { return TypeInto(w, View(w).Wait, "edWait", RandomText(w, false)); }
bool TypeOld(TWorld& w) { return TypeInto(w, View(w).Old, "edOld", RandomText(w, true)); }

// The close or minimise box of the main window, found by asking the window what lies where.
bool ClickCaptionButton(TWorld& w, LRESULT which) {
    const HWND main = View(w).Main;
    if (!Shown(main)) return false;
    RECT r{};
    GetWindowRect(main, &r);
    const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = r.right - 2; x > r.right - 150; x -= 2) {
        DWORD_PTR hit = 0;
        if (!SendMessageTimeoutA(main, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 1000, &hit)) return false;
        if (static_cast<LRESULT>(hit) != which) continue;
        const POINT at{x - 3, y};
        // Only what lies on top takes the click; a disabled window takes none.
        const bool reaches = WindowFromPoint(at) == main && IsWindowEnabled(main);
        const char* const name = which == HTCLOSE       ? "the close box"
                                 : which == HTMINBUTTON ? "the minimise box"
                                                        : "the maximise box";
        if (!ClickAt(w, at, main, name)) return false;
        if (reaches && which == HTCLOSE) w.S.CloseByInput = true;
        return true;
    }
    return false;
}

bool CloseBox(TWorld& w) { return ClickCaptionButton(w, HTCLOSE); }
bool MinimiseBox(TWorld& w) { return ClickCaptionButton(w, HTMINBUTTON); }
bool MaximiseBox(TWorld& w) { return ClickCaptionButton(w, HTMAXBUTTON); }

bool AltF4(TWorld& w) {
    const HWND active = GetForegroundWindow();
    if (!OurForeground(w)) return false;
    w.Note("Alt+F4 to \"" + CaptionOf(active) + "\"");
    if (active == View(w).Main && IsWindowEnabled(active)) w.S.CloseByInput = true;
    input::Key(VK_F4, false, false, true);
    return true;
}

}  // namespace monkey
