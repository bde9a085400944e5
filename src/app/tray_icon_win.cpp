#include "app/tray_icon_win.h"

#include <cstring>

#include "ui/application_win.h"
#include "ui/messages_win.h"

namespace {
// At logon the shell may take the icon only some time after the program asks, and then it
// sends no "TaskbarCreated": while it refuses, the icon is asked for every two seconds, for
// two minutes.
constexpr UINT kTrayIconRetryMilliseconds = 2000;
constexpr int kTrayIconRetries = 60;
}  // namespace

void TTrayIcon::Attach(HWND window) {
    window_ = window;
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // Run as administrator (to register the start with Windows), the program would not get the
    // shell's broadcast from a program of lower rights unless it lets it through.
    if (taskbarCreated_) ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

void TTrayIcon::SetTrayMode(int32_t mode, HICON icon, const std::string& tip) {
    if (mode == 1 && TrayIconShown == 0) {
        TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
        TrayIconData.hWnd = window_;
        TrayIconData.uID = 0;
        TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        TrayIconData.uCallbackMessage = WM_MYNOTIFY;
        TrayIconData.hIcon = icon;
        // The first notification-icon layout has a 64-byte tip: 63 characters and the NUL.
        const std::string cut = tip.substr(0, 63);
        memcpy(TrayIconData.szTip, cut.c_str(), cut.size() + 1);
        TrayIconShown = 1;
        Add();
    } else if (mode == 0 && TrayIconShown == 1) {
        KillTimer(window_, kTrayIconTimer);
        if (added_) Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
        added_ = false;
        TrayIconShown = 0;
    }
}

bool TTrayIcon::HandleMessage(UINT message, WPARAM wParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // The shell's taskbar was made anew (or is there at last): the icon has to be
        // registered again.
        if (TrayIconShown == 1) Add();
        return true;
    }
    if (message != WM_TIMER || wParam != kTrayIconTimer) return false;
    if (TrayIconShown == 1 && !added_)
        TryAdd();
    else
        KillTimer(window_, kTrayIconTimer);
    return true;
}

void TTrayIcon::Add() {
    triesLeft_ = kTrayIconRetries;
    TryAdd();
}

void TTrayIcon::TryAdd() {
    // An icon the shell still holds (a "TaskbarCreated" sent by someone else) refuses the add
    // but takes a change.
    if (Shell_NotifyIconA(NIM_ADD, &TrayIconData) || Shell_NotifyIconA(NIM_MODIFY, &TrayIconData)) {
        added_ = true;
        KillTimer(window_, kTrayIconTimer);
        // Minimised while the icon was missing, the program kept its taskbar button; now it
        // goes where a minimise takes it.
        if (IsIconic(Application.Handle()) && !IsWindowVisible(window_)) ShowWindow(Application.Handle(), SW_HIDE);
        return;
    }
    added_ = false;
    if (triesLeft_ > 0) {
        --triesLeft_;
        SetTimer(window_, kTrayIconTimer, kTrayIconRetryMilliseconds, nullptr);
        return;
    }
    KillTimer(window_, kTrayIconTimer);
    // No shell took the icon: a program hidden in the notification area would be out of
    // reach, so its taskbar button shows, minimised ("TaskbarCreated" still adds the icon).
    if (!IsWindowVisible(window_) && !IsWindowVisible(Application.Handle()))
        ShowWindow(Application.Handle(), SW_SHOWMINNOACTIVE);
}
