// Driving the system's open dialog as a user would, by its file-name box, its file list and its
// buttons: the steps the tests and the monkey share, and a driver that answers the next dialog
// of a process from a second thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The file-name box of an Explorer-style open dialog: a combo box (1148) or an edit (1152).
HWND FileNameBox(HWND dialog);
// A visible dialog window with a file-name box.
bool IsOpenDialog(HWND window);
// Puts the text into the file-name box, as typing does.
void TypeFileName(HWND dialog, const std::wstring& text);
// Types the text and presses OK, as Enter there does, waiting at most 2 s for the dialog to
// take it (it may answer with a box of its own); then gives it a moment to show the folder or
// close.
void TypeAndConfirm(HWND dialog, const std::wstring& text);
void TypeAndConfirm(HWND dialog, const std::string& text);
// The dialog's file list (a list view), and the index of its entry whose text is `name` (with
// or without its extension), -1 when none; for a dialog of this process.
HWND FileList(HWND dialog);
int FindEntry(HWND list, const std::wstring& name);
// Selects an entry of a list view of any process as a click does: it alone becomes selected
// and focused. False when the list did not take it.
bool SelectListEntry(HWND list, int index);
// Selects the entry of the dialog's file list named `name` so; false when there is none.
bool SelectEntry(HWND dialog, const std::wstring& name);

class TDialogDriver {
public:
    // Cancels the next dialog.
    static TDialogDriver Cancel();
    // Opens the folder, then chooses the named files in it in this order, in the dialog of
    // this process or of another one.
    static TDialogDriver Choose(const std::string& folder, const std::vector<std::wstring>& names,
                                DWORD process = GetCurrentProcessId());
    // Runs a script on the next dialog of the process (looked for during 20 s); the script
    // answers it.
    static TDialogDriver Run(DWORD process, std::function<void(HWND dialog)> script);
    // Steps of a script (besides TypeAndConfirm): open the folder and choose the named files; or cancel.
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
