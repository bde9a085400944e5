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

}  // namespace

void MoveTo(POINT at) {
    INPUT event{};
    event.type = INPUT_MOUSE;
    event.mi.dx = (at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    event.mi.dy = (at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &event, sizeof event);
}

void Click(POINT at, bool right, bool twice) {
    MoveTo(at);
    Sleep(30);
    std::vector<INPUT> events;
    for (int i = 0; i < (twice ? 2 : 1); ++i)
        for (DWORD flag :
             {right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP}) {
            INPUT event{};
            event.type = INPUT_MOUSE;
            event.mi.dwFlags = flag;
            events.push_back(event);
        }
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
