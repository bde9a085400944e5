#include "ui/form_win.h"

#include "ui/application_win.h"
#include "ui/layout.h"

void TForm::CreateForm(const char* className, const std::string& caption, int width, int height) {
    RegisterOwnClass(className, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE),
                     LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
    CreateOwnWindow(
        className, caption,
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN,
        WS_EX_CONTROLPARENT, Application.Handle(), RECT{0, 0, width, height});
}

void TForm::Show(int showCommand) {
    if (!shownBefore_) {
        shownBefore_ = true;
        const RECT r = Bounds();
        const TBounds desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                              GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        const TBounds centred = CentreOn({r.left, r.top, r.right - r.left, r.bottom - r.top}, desktop);
        SetBounds(RECT{centred.Left, centred.Top, centred.Left + centred.Width, centred.Top + centred.Height});
    }
    ShowWindow(Handle(), showCommand);
    SetForegroundWindow(Handle());
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() { SendMessageA(Handle(), WM_CLOSE, 0, 0); }

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // A close request met in a dialog or a box waits until it is over: the handler that
            // opened it still works on this window's controls.
            if (Application.MainForm() == this && Application.HoldEnd(TPendingEnd::Close)) return 0;
            if (OnClose) OnClose();
            DestroyWindow(Handle());
            return 0;
        case WM_SYSCOMMAND:
            // The main window is minimised through the application window that owns it.
            if ((wParam & 0xFFF0) == SC_MINIMIZE && Application.MainForm() == this) {
                Application.Minimize();
                return 0;
            }
            return DefaultProc(message, wParam, lParam);
        case WM_DESTROY:
            destroying_ = true;
            if (Application.MainForm() == this) PostQuitMessage(0);
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}
