#include "ui/form_win.h"

#include <vector>

#include "ui/application_win.h"
#include "ui/layout.h"

namespace {
// The monitors of the screen, each its whole area in virtual-screen coordinates.
std::vector<TBounds> Monitors() {
    std::vector<TBounds> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoA(monitor, &info)) {
                const RECT& r = info.rcMonitor;
                reinterpret_cast<std::vector<TBounds>*>(found)->push_back(
                    {r.left, r.top, r.right - r.left, r.bottom - r.top});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}
}  // namespace

void TForm::CreateForm(const char* className, const std::string& caption, int width, int height) {
    RegisterOwnClass(className, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateOwnWindow(
        className, caption,
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN,
        WS_EX_CONTROLPARENT, Application.Handle(), RECT{0, 0, width, height});
    Application.SetWindowIcons(Handle());
}

void TForm::Show(int showCommand) {
    if (!shownBefore_) {
        shownBefore_ = true;
        const RECT r = Bounds();
        const TBounds centred = CentreOnPrimaryMonitor({r.left, r.top, r.right - r.left, r.bottom - r.top}, Monitors());
        SetBounds(RECT{centred.Left, centred.Top, centred.Left + centred.Width, centred.Top + centred.Height});
    }
    ShowWindow(Handle(), showCommand);
    SetForegroundWindow(Handle());
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

bool TForm::DialogMessage(MSG& message) {
    if (!Alive() || (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_MENU) >= 0) {
        const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
        const HWND focus = GetFocus();
        const LRESULT wanted =
            focus ? SendMessageA(focus, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&message)) : 0;
        // A control that asks for every key, such as the editor of a tree node's text, keeps Tab
        // and Ctrl+Tab: the edit is neither ended nor left.
        if (wanted & DLGC_WANTMESSAGE) return false;
        if (control) {
            for (HWND w = focus; w && w != Handle(); w = GetParent(w))
                if (TControl* holder = FromHandle(w); holder && holder->DialogKey(VK_TAB, shift, true)) break;
            return true;
        }
        if (!(wanted & DLGC_WANTTAB)) {
            SelectNext(shift);
            return true;
        }
    }
    return IsDialogMessageA(Handle(), &message) != FALSE;
}

void TForm::SelectNext(bool backward) {
    const std::vector<HWND> stops = TabStops(Handle());
    if (stops.empty()) return;
    // The stop that holds the focus: the innermost one that is or contains the focus window (the
    // tree's label editor belongs to the tree).
    const HWND focus = GetFocus();
    size_t at = stops.size();
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == focus || IsChild(stops[i], focus)) at = i;
    size_t next;
    if (at == stops.size())
        next = backward ? stops.size() - 1 : 0;
    else
        next = (at + (backward ? stops.size() - 1 : 1)) % stops.size();
    SetFocus(stops[next]);
    // As in dialogs, an edit reached by Tab has its whole text selected.
    if (SendMessageA(stops[next], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(stops[next], EM_SETSEL, 0, -1);
}

HWND TForm::FocusOnActivation() const {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_))
        return lastFocus_;
    const std::vector<HWND> stops = TabStops(Handle());
    return stops.empty() ? nullptr : stops.front();
}

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
        case WM_ACTIVATE:
            // The focus goes back to the control that had it, or to the first in the tab order.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (const HWND focus = GetFocus(); focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                if (const HWND target = FocusOnActivation()) {
                    SetFocus(target);
                    return 0;
                }
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
