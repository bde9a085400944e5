// What the monkey's steps share: looking at the program's windows and real clicks at them, and
// the steps in the main window (monkey_user_win.cpp), which the step tables of
// monkey_actions_win.cpp choose from.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "monkey_world_win.h"

namespace monkey {

TLumoView& View(TWorld& w);
// The program's top-level windows; the first open dialog seen also starts a new base for the
// object counts (it fills the system's caches once).
TTopWindows Top(TWorld& w);
bool Shown(HWND window);
bool OurForeground(TWorld& w);
// A real click at a point, aimed at `target`; what lies on top there takes it, as for a user.
// False (and no click) when the target is hidden, or when the point lies on the tray menu or
// on a window of another program.
bool ClickAt(TWorld& w, POINT at, HWND target, const std::string& what, bool twice = false);
bool ClickOn(TWorld& w, HWND window, const std::string& what, bool twice = false);
// A close asked for by real input: `how` names it; `mayBeLost` when the tray menu is up, which
// ends at the click and may keep it from the window.
void AskClose(TWorld& w, const std::string& how, bool mayBeLost);
// The pictures in the monkey's folder that the steps choose or type.
std::vector<std::string> PictureNames();

// Steps in the main window; false when not possible now (nothing was done).
bool ClickNode(TWorld& w);
bool EditNode(TWorld& w);
bool ClickControl(TWorld& w);
bool ClickTab(TWorld& w);
bool PressKeys(TWorld& w);
bool TypeWait(TWorld& w);
bool TypeOld(TWorld& w);
bool CloseBox(TWorld& w);
bool MinimiseBox(TWorld& w);
bool MaximiseBox(TWorld& w);
bool AltF4(TWorld& w);

}  // namespace monkey
