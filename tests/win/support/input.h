// Real input for the tests and the monkey: mouse and keyboard events put into the system's input queue
// (SendInput), so that they reach whatever window lies under the pointer or has the focus, and
// a disabled window takes none of them, just as with a user's hand on the mouse.
#pragma once

#include <windows.h>

#include <string>

namespace input {

void MoveTo(POINT at);
// A click (or a double click) of the left or right button at a point of the screen.
void Click(POINT at, bool right = false, bool twice = false);
// A key with optional modifiers held around it.
void Key(WORD virtualKey, bool ctrl = false, bool shift = false, bool alt = false);
// Types 8-bit text of the ANSI code page as characters.
void Type(const std::string& text);

// The centre of a window, and a point inside a rectangle of the screen.
POINT Centre(HWND window);
POINT Inside(const RECT& r);

}  // namespace input
