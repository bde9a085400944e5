// Starting a copy of Lumo.exe in a folder of its own and watching it as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TLumoProcess {
public:
    // Copies Lumo.exe (built beside the test program) into `folder`.
    explicit TLumoProcess(const std::string& folder);
    ~TLumoProcess();

    const std::string& ExePath() const { return exe_; }
    // Starts the copy with the arguments; `environment` entries ("NAME=value") are added. A
    // run started before is ended first if it still runs. A show command of 0 or more is handed
    // over as Windows does for a shortcut's "Run" choice (STARTUPINFO.wShowWindow with
    // STARTF_USESHOWWINDOW).
    void Start(const std::string& arguments, const std::vector<std::string>& environment = {}, int showCommand = -1);
    // Waits for the end and returns the exit code, or -1 on time-out (the process is killed).
    int Wait(DWORD milliseconds);
    // A top-level window of the process with this class (any class when empty) and caption.
    HWND FindWindowOf(const char* className, const char* caption, DWORD milliseconds) const;
    DWORD Id() const { return info_.dwProcessId; }
    DWORD ThreadId() const { return info_.dwThreadId; }

private:
    void Release();
    std::string exe_;
    PROCESS_INFORMATION info_{};
};

// Waits up to 5 s for a window to be shown (or hidden); whether it came to be so. A main
// window found as soon as it exists has its controls only once it is shown.
bool WaitVisible(HWND window, bool visible);
