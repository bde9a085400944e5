// Answers the picture open dialog from a second thread, as a user would: it waits for the
// dialog of this process, types into its file-name box and presses a button.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class TDialogDriver {
public:
    // Cancels the next dialog.
    static TDialogDriver Cancel();
    // Opens the folder, then chooses the named files in it in this order, in the dialog of
    // this process or of another one.
    static TDialogDriver Choose(const std::string& folder, const std::vector<std::wstring>& names,
                                DWORD process = GetCurrentProcessId());
    // Runs a script on the next dialog of the process; the script answers it.
    static TDialogDriver Run(DWORD process, std::function<void(HWND dialog)> script);
    // Steps of a script: open a folder; open it and choose the named files; or cancel.
    static void OpenFolderIn(HWND dialog, const std::string& folder);
    static void ChooseIn(HWND dialog, const std::string& folder, const std::vector<std::wstring>& names);
    static void CancelIn(HWND dialog);
    ~TDialogDriver();
    TDialogDriver(TDialogDriver&&) = default;
    // Whether a dialog was found and answered.
    bool Answered();

private:
    explicit TDialogDriver(std::thread worker, std::shared_ptr<bool> answered)
        : worker_(std::move(worker)), answered_(std::move(answered)) {}
    std::thread worker_;
    std::shared_ptr<bool> answered_;
};
