// The application object: the hidden application window that owns the main window and
// carries the taskbar button, the title, the message loop and the standard error box.
//
// The application object, TControl (control_win) and TForm (form_win) are one unit that uses
// itself: a control hands its exceptions and modal states to the application, the application
// finds the main form among the controls. They are kept in three files for reading only; the
// wrappers of single controls (edit_win, tree_view_win, ...) build on the unit and never the
// other way round.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "base/gdi_win.h"

class TForm;
using TNotifyEvent = std::function<void()>;

// An end of the program asked for while a modal state was up.
enum class TPendingEnd { None, Close, SessionEnd };

class TApplication {
public:
    // Initialises COM for the thread (single-threaded apartment) and creates the application
    // window. Raises EOleSysError when COM cannot be initialised.
    void Initialize();
    void Finalize();

    HWND Handle() const { return handle_; }
    // The application icon (resource MAINICON) at the system's small or large icon size of
    // the current scaling: the image of that size that the icon holds. Loaded by Initialize,
    // destroyed by Finalize once the windows that show it are gone.
    HICON Icon(bool small) const { return small ? smallIcon_.Get() : bigIcon_.Get(); }
    // Gives a window the application icon, large and small.
    void SetWindowIcons(HWND window) const;
    const std::string& Title() const { return title_; }

    // Whether the message loop shows the main window when it starts.
    bool ShowMainWindow = false;

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Minimises the application window, which hides the windows it owns, then raises
    // OnMinimize. Restore brings it back and raises OnRestore. Neither does anything while a
    // modal state is up.
    void Minimize();
    void Restore();
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    // Raised when the outermost modal state has ended, after a held end was passed on.
    TNotifyEvent OnModalStatesEnded;

    // Runs the message loop until the main window is closed. When ShowMainWindow is on, the
    // main window is shown first, as the start's show command asks: maximised (3), minimised
    // (7) like the minimise box does it, else normally.
    void Run();

    // Waits, answering the messages other programs send to our windows meanwhile; nothing
    // posted to us (input, close requests, timers) is handled before the wait ends. With
    // `until`, the wait ends early when that object is signalled (INFINITE waits for it only).
    void Pause(DWORD milliseconds, HANDLE until = nullptr);

    // Modal states (an open dialog, the Preview window, an error box, the tray menu, the
    // automatic run's pause) may nest; see TModalState.
    bool InModalState() const { return modalDepth_ > 0; }
    // Holds a close request or a session end while a modal state is up: it reaches the main
    // window again, once, when the outermost modal state ends. False when no modal state is up,
    // so the caller handles it now.
    bool HoldEnd(TPendingEnd end);

    // To be called inside a catch block: shows the current exception in the standard error
    // box (an abort-kind exception is dropped).
    void HandleException();
    void ShowException(const Exception& failure);
    void ShowException(const std::string& message);

private:
    friend class TModalState;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void ModalStateEnded();
    void ShowMainFormAtStart();

    HWND handle_ = nullptr;
    TIconHandle bigIcon_;
    TIconHandle smallIcon_;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool comInitialized_ = false;
    int modalDepth_ = 0;
    TPendingEnd pendingEnd_ = TPendingEnd::None;
    int startShowCommand_ = SW_SHOWNORMAL;
};

extern TApplication Application;

// A modal state of the program for the lifetime of the object. With `TakeNoInput`, every
// enabled top-level window of the thread but `modalWindow` is disabled meanwhile, as an owned
// modal box would do for its owner alone, and enabled again at the end; windows made during
// the state (the box or dialog itself) are not touched. At the end the window that was active
// is activated again, with the focus where it was.
class TModalState {
public:
    enum TInput { TakeNoInput, KeepInput };
    explicit TModalState(TInput input = TakeNoInput, HWND modalWindow = nullptr);
    ~TModalState();
    TModalState(const TModalState&) = delete;
    TModalState& operator=(const TModalState&) = delete;

private:
    std::vector<HWND> disabled_;
    HWND active_ = nullptr;
    HWND focus_ = nullptr;
    HWND modalWindow_ = nullptr;
};
