// The picture open dialog: the system's Explorer-style open dialog with a preview pane on its
// right (the dialog template "DLGTEMPLATE" and a hook). One object serves every caller and
// keeps the file name and the filter choice between runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "open_dialog/open_dialog_pane_win.h"

class TOpenPictureDialog {
public:
    TOpenPictureDialog();
    TOpenPictureDialog(const TOpenPictureDialog&) = delete;
    TOpenPictureDialog& operator=(const TOpenPictureDialog&) = delete;

    // Shows the dialog modally, owned by `owner` (the application window when null): the
    // thread's other windows take no input meanwhile. True when the user confirmed a choice.
    // On true, Files and FileName hold the result; on false Files is empty and FileName
    // unchanged. A dialog that the system could not show, or whose result did not fit its
    // buffer, returns false like a cancel, without a message.
    // The dialog works with wide names; each chosen path is kept in the ANSI code page (see
    // AnsiPathOf), and a file without such a path is left out of Files, to be reported to the
    // user (LeftOutFilesMessage).
    bool Execute(HWND owner = nullptr);

    // The first file of Files of the last confirmed run that had any; it pre-fills the next
    // run's file-name field. Empty at first.
    const std::string& FileName() const { return fileName_; }
    // Every chosen file of the last confirmed run, full paths, in the system's order.
    const std::vector<std::string>& Files() const { return files_; }
    // The chosen files left out of Files in the last run, as shown to the user, and whether the
    // first chosen file is one of them (then FileName is not it).
    const std::vector<std::string>& LeftOut() const { return leftOut_; }
    bool FirstLeftOut() const { return firstLeftOut_; }
    // The filter choice, from 1; the user's last choice after a confirmed run.
    int FilterIndex() const { return filterIndex_; }
    // The system dialog's option flags.
    static DWORD Options();

    // The system dialog's window while it is shown, else null.
    HWND Handle() const { return dialog_; }
    // The preview pane; its windows exist while the dialog is shown.
    TPicturePane& Pane() { return pane_; }

private:
    static UINT_PTR CALLBACK HookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);
    void Ready(HWND hook);
    void SelectionChanged();
    // Lets the file-name field take a name that makes a path in the folder shown, no longer.
    void LimitFileName();
    void PlaceOnMonitor();

    std::string filter_;
    int filterIndex_ = 1;
    std::string fileName_;
    std::vector<std::string> files_;
    // The left-out files' paths as shown to the user.
    std::vector<std::string> leftOut_;
    bool firstLeftOut_ = false;
    HWND dialog_ = nullptr;
    // The window whose monitor the dialog goes to: the active form when the run started.
    HWND placementWindow_ = nullptr;
    TPicturePane pane_;
};
