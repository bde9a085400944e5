#include "ui/application_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <new>

#include "base/system_win.h"
#include "base/text.h"
#include "ui/form_win.h"
#include "wallpaper/change_wall_win.h"

TApplication Application;

namespace {
const char kWindowClass[] = "TApplication";
}

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
    wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
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
}

void TApplication::Finalize() {
    if (handle_) DestroyWindow(handle_);
    handle_ = nullptr;
    if (comInitialized_) CoUninitialize();
    comInitialized_ = false;
}

void TApplication::Minimize() {
    ShowWindow(handle_, SW_MINIMIZE);
    if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
    ShowWindow(handle_, SW_RESTORE);
    if (OnRestore) OnRestore();
}

void TApplication::Run() {
    if (mainForm_ && ShowMainWindow) {
        ShowWindow(handle_, SW_SHOWNORMAL);
        mainForm_->Show();
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move the focus between the main window's controls.
        if (mainForm_ && mainForm_->Handle() && IsDialogMessageA(mainForm_->Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
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
