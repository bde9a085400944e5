#include "support/input.h"

#include <vector>

namespace input {

namespace {

void Send(std::vector<INPUT>& events) {
    if (!events.empty()) SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

INPUT KeyEvent(WORD virtualKey, WORD scan, DWORD flags) {
    INPUT event{};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.wScan = scan;
    event.ki.dwFlags = flags;
    return event;
}

// A mouse event at a point of the screen.
INPUT MouseEvent(POINT at, DWORD buttons) {
    INPUT event{};
    event.type = INPUT_MOUSE;
    event.mi.dx = (at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    event.mi.dy = (at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    event.mi.dwFlags = buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return event;
}

}  // namespace

void MoveTo(POINT at) {
    INPUT event = MouseEvent(at, 0);
    SendInput(1, &event, sizeof event);
}

void Click(POINT at, bool right, bool twice) {
    // Under Wine a move can reach the pointer only after a button sent right behind it, which
    // then presses where the pointer was before (the last click's place, a close box say): the
    // press waits until the pointer is there, and every button event carries the point as well.
    MoveTo(at);
    POINT now{};
    for (int i = 0; i < 100 && GetCursorPos(&now) && (now.x != at.x || now.y != at.y); ++i) Sleep(10);
    Sleep(30);
    std::vector<INPUT> events;
    for (int i = 0; i < (twice ? 2 : 1); ++i)
        for (DWORD flag :
             {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP})
            events.push_back(MouseEvent(at, flag));
    Send(events);
}

void Key(WORD virtualKey, bool ctrl, bool shift, bool alt) {
    std::vector<INPUT> events;
    const WORD modifiers[] = {static_cast<WORD>(ctrl ? VK_CONTROL : 0), static_cast<WORD>(shift ? VK_SHIFT : 0),
                              static_cast<WORD>(alt ? VK_MENU : 0)};
    for (WORD modifier : modifiers)
        if (modifier) events.push_back(KeyEvent(modifier, 0, 0));
    events.push_back(KeyEvent(virtualKey, 0, 0));
    events.push_back(KeyEvent(virtualKey, 0, KEYEVENTF_KEYUP));
    for (WORD modifier : modifiers)
        if (modifier) events.push_back(KeyEvent(modifier, 0, KEYEVENTF_KEYUP));
    Send(events);
}

void Type(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    std::vector<INPUT> events;
    for (wchar_t c : wide) {
        events.push_back(KeyEvent(0, c, KEYEVENTF_UNICODE));
        events.push_back(KeyEvent(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    Send(events);
}

POINT Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT Inside(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace input
