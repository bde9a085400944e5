// The application object: the hidden application window that owns the main window and
// carries the taskbar button, the title, the message loop and the standard error box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/exceptions.h"

class TForm;
using TNotifyEvent = std::function<void()>;

class TApplication {
public:
    // Initialises COM for the thread (single-threaded apartment) and creates the application
    // window. Raises EOleSysError when COM cannot be initialised.
    void Initialize();
    void Finalize();

    HWND Handle() const { return handle_; }
    const std::string& Title() const { return title_; }

    // Whether the message loop shows the main window when it starts.
    bool ShowMainWindow = false;

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Minimises the application window, which hides the windows it owns, then raises
    // OnMinimize. Restore brings it back and raises OnRestore.
    void Minimize();
    void Restore();
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // Runs the message loop until the main window is closed.
    void Run();

    // To be called inside a catch block: shows the current exception in the standard error
    // box (an abort-kind exception is dropped).
    void HandleException();
    void ShowException(const Exception& failure);
    void ShowException(const std::string& message);

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

    HWND handle_ = nullptr;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool comInitialized_ = false;
};

extern TApplication Application;
