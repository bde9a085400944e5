// Drives the picture open dialog of this process through TDialogDriver while the test's thread
// shows it modally, and reads the preview pane's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "open_dialog/open_dialog_win.h"
#include "support/dialog_driver.h"
#include "support/test_support.h"

namespace open_dialog_test {

// A check of a script that did not hold; the script stops and the dialog is cancelled.
struct TScriptFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a script of RunDialog sees: the dialog's window and its pane, with the steps of
// support/dialog_driver.h and checks that stop the script.
class TDialogScript {
public:
    TDialogScript(TOpenPictureDialog& dialog, HWND window) : dialog_(dialog), window_(window) {}

    HWND Dialog() const { return window_; }
    TPicturePane& Pane() { return dialog_.Pane(); }

    // Waits for the condition; raises TScriptFailure naming `what` after the timeout.
    static void WaitFor(const std::function<bool()>& condition, const std::string& what, DWORD milliseconds = 5000);
    static void Check(bool condition, const std::string& what);
    static std::string Text(HWND window);

    void TypeFileName(const std::string& text) { ::TypeFileName(window_, WidePath(text)); }
    void TypeFileName(const std::wstring& text) { ::TypeFileName(window_, text); }
    std::string FileNameText() const { return Text(FileNameBox(window_)); }
    // The file-type combo box's choice, from 1.
    int FilterChoice() const;
    void ChooseFilter(int choice);

    // Presses OK or Cancel (posted: the dialog may answer with a box of its own).
    void PressOk() { PostMessageA(window_, WM_COMMAND, IDOK, 0); }
    void PressCancel() { TDialogDriver::CancelIn(window_); }

    bool SelectEntry(const std::string& name) { return ::SelectEntry(window_, WidePath(name)); }
    bool SelectEntry(const std::wstring& name) { return ::SelectEntry(window_, name); }
    // Waits until the file list shows an entry of that name.
    void WaitForEntry(const std::string& name);

    // The pane's texts.
    std::string PictureLabel() { return Text(Pane().PictureLabel.Handle()); }
    std::string PaintCaption() { return Text(Pane().PaintPanel.Handle()); }
    bool PreviewEnabled() { return IsWindowEnabled(Pane().PreviewButton.Handle()) != FALSE; }

private:
    TOpenPictureDialog& dialog_;
    HWND window_;
};

struct TRunResult {
    bool Confirmed = false;
    std::string Failure;  // empty when the script ran to its end
};

// Shows the dialog on this thread while a TDialogDriver runs the script on it. Whatever the
// script does, the dialog is closed at the end (cancelled if still open).
TRunResult RunDialog(TOpenPictureDialog& dialog, const std::function<void(TDialogScript&)>& script,
                     HWND owner = nullptr);

// A window's client area painted (WM_PRINTCLIENT) into a bitmap of the test.
struct TPrinted {
    explicit TPrinted(HWND window);
    COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    int Count(COLORREF colour) const;
    int Width = 0, Height = 0;
    std::vector<COLORREF> Pixels;
};

}  // namespace open_dialog_test
