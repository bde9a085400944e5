#include "ui/application_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <new>

#include "base/system_win.h"
#include "base/text.h"
#include "ui/form_win.h"

TApplication Application;

namespace {
const char kWindowClass[] = "TApplication";

// The show command the process was started with (a shortcut's "Run" choice), or SW_SHOWNORMAL.
int StartShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}

// Windows applies the start's show command by itself to the first unowned window with a caption
// that is shown normally, which would be the application window (a maximised application window
// covers the screen), or to the first window shown with SW_SHOWDEFAULT. The program applies the
// command to the main window itself, so the system's copy is used up here, on a hidden child of
// the hidden application window, where it shows nothing.
void UseUpSystemShowCommand(HWND applicationWindow) {
    const HWND sink = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 0, 0, applicationWindow, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    if (!sink) return;
    ShowWindow(sink, SW_SHOWDEFAULT);
    DestroyWindow(sink);
}
}  // namespace

void TApplication::Initialize() {
    title_ = ApplicationTitle(ExecutablePath());
    const HRESULT result = CoInitialize(nullptr);
    if (FAILED(result)) RaiseOleError(result);
    comInitialized_ = true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    // The icon's image of each size the system shows at this scaling, never one scaled from
    // another size.
    const auto load = [&](int width, int height) {
        return static_cast<HICON>(LoadImageA(wc.hInstance, "MAINICON", IMAGE_ICON, GetSystemMetrics(width),
                                             GetSystemMetrics(height), LR_DEFAULTCOLOR));
    };
    bigIcon_.Reset(load(SM_CXICON, SM_CYICON));
    smallIcon_.Reset(load(SM_CXSMICON, SM_CYSMICON));
    wc.lpszClassName = kWindowClass;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(wc.hInstance, kWindowClass, &existing) && !RegisterClassExA(&wc)) RaiseLastOSError();
    // A window without size: it exists for its taskbar button and as the main window's owner.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExA(0, kWindowClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!handle_) RaiseLastOSError();
    SetWindowIcons(handle_);
    startShowCommand_ = StartShowCommand();
    UseUpSystemShowCommand(handle_);
}

void TApplication::SetWindowIcons(HWND window) const {
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void TApplication::Finalize() {
    if (handle_) DestroyWindow(handle_);
    handle_ = nullptr;
    bigIcon_.Reset();
    smallIcon_.Reset();
    if (comInitialized_) CoUninitialize();
    comInitialized_ = false;
}

void TApplication::Minimize() {
    // Under a dialog or a box the program keeps its windows as they are.
    if (InModalState()) return;
    ShowWindow(handle_, SW_MINIMIZE);
    if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
    if (InModalState()) return;
    ShowWindow(handle_, SW_RESTORE);
    if (OnRestore) OnRestore();
}

void TApplication::ShowMainFormAtStart() {
    switch (startShowCommand_) {
        case SW_SHOWMINNOACTIVE:
            // Minimised as by the minimise box: the program goes to its notification-area icon.
            Minimize();
            break;
        case SW_SHOWMAXIMIZED:
            ShowWindow(handle_, SW_SHOWNORMAL);
            mainForm_->Show(SW_SHOWMAXIMIZED);
            break;
        default:
            ShowWindow(handle_, SW_SHOWNORMAL);
            mainForm_->Show();
    }
}

void TApplication::Run() {
    if (mainForm_ && ShowMainWindow) ShowMainFormAtStart();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab, Ctrl+Tab and the arrow keys move the focus between the main window's controls.
        if (mainForm_ && mainForm_->DialogMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TApplication::Pause(DWORD milliseconds, HANDLE until) {
    const TModalState pause(TModalState::KeepInput);
    const DWORD objects = until ? 1 : 0;
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); milliseconds == INFINITE || now < end; now = GetTickCount64()) {
        // Wakes for messages sent to the thread only; peeking with this filter answers them and
        // leaves everything posted in the queue.
        const DWORD left = milliseconds == INFINITE ? INFINITE : static_cast<DWORD>(end - now);
        const DWORD woken = MsgWaitForMultipleObjectsEx(objects, &until, left, QS_SENDMESSAGE, 0);
        if (woken == WAIT_OBJECT_0 + objects) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (woken != WAIT_TIMEOUT) {
            return;  // the object is signalled, or cannot be waited for
        }
    }
}

bool TApplication::HoldEnd(TPendingEnd end) {
    if (modalDepth_ == 0) return false;
    // A session end outweighs a close request: nobody is there to answer a box.
    if (end == TPendingEnd::SessionEnd || pendingEnd_ == TPendingEnd::None) pendingEnd_ = end;
    return true;
}

void TApplication::ModalStateEnded() {
    const TPendingEnd end = pendingEnd_;
    pendingEnd_ = TPendingEnd::None;
    // Posted, so that the handler that opened the modal state finishes first; a new modal state
    // met on the way holds it again.
    if (end != TPendingEnd::None && mainForm_ && mainForm_->Handle()) {
        if (end == TPendingEnd::Close)
            PostMessageA(mainForm_->Handle(), WM_CLOSE, 0, 0);
        else
            PostMessageA(mainForm_->Handle(), WM_ENDSESSION, TRUE, 0);
    }
    if (OnModalStatesEnded) OnModalStatesEnded();
}

TModalState::TModalState(TInput input, HWND modalWindow) : modalWindow_(modalWindow) {
    ++Application.modalDepth_;
    if (input == KeepInput) return;
    active_ = GetActiveWindow();
    focus_ = GetFocus();
    // The application window is the owner of our boxes and dialogs, which disable and enable it
    // themselves and hand it the activation when they close.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<TModalState*>(data);
            if (window != Application.Handle() && window != state->modalWindow_ && IsWindowEnabled(window))
                state->disabled_.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
}

TModalState::~TModalState() {
    for (HWND window : disabled_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    // The window the user worked in gets the activation back, as it would from an owned box.
    if (active_ && IsWindow(active_) && IsWindowVisible(active_) && GetActiveWindow() != active_)
        SetActiveWindow(active_);
    // Disabled under the dialog, the window lost its focus: a keyboard user goes on where he was.
    if (focus_ && IsWindow(focus_) && GetActiveWindow() == active_ && IsChild(active_, focus_) &&
        IsWindowVisible(focus_) && IsWindowEnabled(focus_) && GetFocus() != focus_)
        SetFocus(focus_);
    if (--Application.modalDepth_ == 0) Application.ModalStateEnded();
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& failure) {
        ShowException(failure);
    } catch (const std::bad_alloc&) {
        ShowException("Out of memory");
    } catch (const std::exception& failure) {
        ShowException(failure.what());
    }
}

void TApplication::ShowException(const Exception& failure) { ShowException(failure.Message()); }

void TApplication::ShowException(const std::string& message) {
    const TModalState box;
    MessageBoxA(handle_, WithClosingPeriod(message).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_CLOSE && Application.mainForm_) {
            Application.mainForm_->Close();
            return 0;
        }
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
            Application.Minimize();
            return 0;
        }
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE && IsIconic(hwnd)) {
            Application.Restore();
            return 0;
        }
        // The application window has no face of its own: the main window takes the focus.
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && Application.mainForm_ &&
            IsWindowVisible(Application.mainForm_->Handle())) {
            SetActiveWindow(Application.mainForm_->Handle());
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    } catch (...) {
        Application.HandleException();
        return 0;
    }
}
