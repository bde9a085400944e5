// The program's own window messages and timer ids, kept in one list so that no two share a
// number: a message posted to one window must never be taken for another's.
#pragma once

#include <windows.h>

// The notification-area icon's mouse messages, sent to the main window; the number is fixed.
constexpr UINT WM_MYNOTIFY = 2048;
// Posted by the main window to itself at creation: the About picture is decoded when the
// message loop starts, so that an automatic run that ends before the loop never decodes it, and
// what the start-up's look at the Run values could not do is told then, over the window.
constexpr UINT WM_LOADABOUTPICTURE = WM_APP + 1;
// Posted to the open dialog's template window after it was resized: the pane follows once the
// platform has moved the standard controls.
constexpr UINT WM_PLACEPANE = WM_APP + 2;
// Posted by an image control to itself: realise the picture's palette after a change.
constexpr UINT WM_REALIZEPICTUREPALETTE = WM_APP + 3;
// Posted by the main window to itself at every moment the day may have changed: look whether
// the local date is a new one.
constexpr UINT WM_CHECKDAY = WM_APP + 4;
// Posted to the main window by the thread that plans an automatic change: the plan is ready.
constexpr UINT WM_CHANGEPLANNED = WM_APP + 5;
// Posted by the main window to itself when it comes into sight or shows another page: look at
// the wallpaper list's files again.
constexpr UINT WM_LOOKATLIST = WM_APP + 20;
// Posted by the main window to itself when files were dropped on it: they are added once the
// program that dragged them has been answered.
constexpr UINT WM_PICTURESDROPPED = WM_APP + 21;

// The main window's timers (WM_TIMER's id).
// Asks the shell again for the notification-area icon it refused.
constexpr UINT_PTR kTrayIconTimer = 1;
// Fires at the next local midnight: the automatic change of a new day is due.
constexpr UINT_PTR kDayChangeTimer = 2;
// Fires when a day whose picture was not ready is to be tried again.
constexpr UINT_PTR kDayRetryTimer = 3;
// Fires when a planned change that found another instance applying is to be applied now.
constexpr UINT_PTR kTurnTimer = 4;
