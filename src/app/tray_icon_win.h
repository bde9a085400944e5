// The program's icon in the notification area: its data, adding, changing and removing it,
// asking for it again while the shell refuses it or after the shell was made anew, and the
// taskbar button that stands in for it when no shell takes it.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>

class TTrayIcon {
public:
    // Lets the shell's "TaskbarCreated" through to `window`, which gets the icon's mouse
    // messages (WM_MYNOTIFY), the retry timer and that message, and hands the last two to
    // HandleMessage.
    void Attach(HWND window);
    // Registers (1) or removes (0) the icon; any other mode does nothing, and so does a mode
    // that is already in force: an icon taken away or put back by someone else stays so.
    void SetTrayMode(int32_t mode, HICON icon, const std::string& tip);
    // Answers the retry timer and "TaskbarCreated"; false for every other message.
    bool HandleMessage(UINT message, WPARAM wParam);

    // The program wants its icon (also while the shell has not taken it yet).
    bool Shown() const { return TrayIconShown == 1; }
    // The shell holds the icon, so a minimised program may hide its taskbar button.
    bool Added() const { return added_; }
    const NOTIFYICONDATAA& Data() const { return TrayIconData; }

private:
    // Hands the icon to the shell; while the shell refuses it, tries again by kTrayIconTimer
    // (TryAdd) for a while.
    void Add();
    void TryAdd();

    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    int32_t TrayIconShown = 0;
    NOTIFYICONDATAA TrayIconData{};
    bool added_ = false;
    int triesLeft_ = 0;
};
