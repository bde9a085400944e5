#include "open_dialog/preview_window_win.h"

#include <algorithm>

#include "base/system_win.h"
#include "open_dialog/preview_window.h"
#include "ui/application_win.h"

namespace {
const char kFormClass[] = "TPreviewForm";
const char kPanelClass[] = "TPreviewPanel";
const char kCaption[] = "Preview";
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_TOOLWINDOW;
// The window's size as created, before it is fitted to a picture.
constexpr int kDesignWidth = 400, kDesignHeight = 300;

TClientSize ClientSizeOf(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}
}  // namespace

void TPreviewPanel::Create(HWND parent, const RECT& bounds) {
    RegisterOwnClass(kPanelClass, 0, GetSysColorBrush(COLOR_WINDOW), nullptr);
    CreateOwnWindow(kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN, 0, parent, bounds);
}

TPreviewForm::~TPreviewForm() {
    if (Handle()) DestroyWindow(Handle());
}

TPreviewForm::TPreviewForm() : TControl("PreviewForm") {
    Image.SetStretch(true);
    Image.SetProportional(true);
    Image.SetCenter(true);
    Image.DoubleBuffered = true;
    // A picture that fails while drawing shows what it drew, without a message.
    Image.OnDrawError = [] {};
}

void TPreviewForm::Create(HWND owner) {
    RegisterOwnClass(kFormClass, 0, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateOwnWindow(kFormClass, kCaption, kFormStyle, kFormExStyle, owner, RECT{0, 0, kDesignWidth, kDesignHeight});
    const TClientSize client = ClientSizeOf(Handle());
    Panel.Create(Handle(), RECT{0, 0, client.Width, client.Height});
    const TClientSize inner = ClientSizeOf(Panel.Handle());
    constexpr int m = TPreviewPanel::kBorderWidth;
    Image.Create(Panel.Handle(), RECT{m, m, inner.Width - m, inner.Height - m});
}

void TPreviewForm::ArrangeChildren() {
    if (!Panel.Handle()) return;
    const TClientSize client = ClientSizeOf(Handle());
    Panel.SetBounds(RECT{0, 0, client.Width, client.Height});
    if (!Image.Handle()) return;
    const TClientSize inner = ClientSizeOf(Panel.Handle());
    constexpr int m = TPreviewPanel::kBorderWidth;
    Image.SetBounds(RECT{m, m, std::max(m, inner.Width - m), std::max(m, inner.Height - m)});
}

void TPreviewForm::FitToPicture() {
    const int width = Image.Picture.Width(), height = Image.Picture.Height();
    if (width <= 0) return;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &info);
    const RECT& m = info.rcMonitor;
    const TClientSize client = PreviewClientSize({m.right - m.left, m.bottom - m.top}, ClientSizeOf(Handle()),
                                                 ClientSizeOf(Panel.Handle()), {width, height});
    RECT frame{0, 0, client.Width, client.Height};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPreviewForm::CentreOnScreen() {
    RECT r;
    GetWindowRect(Handle(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPreviewForm::ShowModal(HWND owner, const TPicture& picture) {
    Create(owner);
    Image.Picture.Assign(picture);
    FitToPicture();
    CentreOnScreen();

    closed_ = false;
    MSG message{};
    bool quit = false;
    {
        const TModalState modal(TModalState::TakeNoInput, Handle());
        RunModalLoop(message, quit);
    }
    // The owner takes the activation back before the window goes.
    if (owner) SetActiveWindow(owner);
    if (Handle()) DestroyWindow(Handle());
    if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

void TPreviewForm::RunModalLoop(MSG& message, bool& quit) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
    while (!closed_ && Handle()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        // The window sees keys before its controls: Esc closes it.
        if (message.message == WM_CHAR && message.wParam == VK_ESCAPE &&
            (message.hwnd == Handle() || IsChild(Handle(), message.hwnd))) {
            closed_ = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT TPreviewForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_CLOSE:
                // Wakes the modal loop, also when the message came from another thread.
                closed_ = true;
                PostMessageA(Handle(), WM_NULL, 0, 0);
                return 0;
            case WM_SIZE:
                ArrangeChildren();
                return 0;
            default:
                return DefaultProc(message, wParam, lParam);
        }
    } catch (...) {
        return 0;
    }
}
