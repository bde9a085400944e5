#include "ui/control_win.h"

#include <commctrl.h>

#include "base/system_win.h"
#include "ui/application_win.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
// The window property that leads from a window to its wrapper.
const char kWrapperProperty[] = "Lumo.Control";
}  // namespace

namespace {
void CollectTabStops(HWND parent, std::vector<HWND>& stops) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
        if (style & WS_TABSTOP) stops.push_back(child);
        if (GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectTabStops(child, stops);
    }
}
}  // namespace

std::vector<HWND> TabStops(HWND parent) {
    std::vector<HWND> stops;
    CollectTabStops(parent, stops);
    return stops;
}

TControl::~TControl() {
    if (!handle_) return;
    RemovePropA(handle_, kWrapperProperty);
    if (subclassed_)
        RemoveWindowSubclass(handle_, SubclassProc, kSubclassId);
    else
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
}

bool TControl::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }
void TControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }
bool TControl::Visible() const { return (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }
void TControl::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }

std::string TControl::Caption() const {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TControl::SetCaption(const std::string& text) { SetWindowTextA(handle_, text.c_str()); }
void TControl::SetFont(HFONT font) { SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

RECT TControl::Bounds() const {
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TControl::SetBounds(const RECT& r) {
    SetWindowPos(handle_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::SetAnchors(TAnchors anchors, TAlign align, SIZE designParent) {
    const RECT r = Bounds();
    placement_ = TPlacement{
        {r.left, r.top, r.right - r.left, r.bottom - r.top}, anchors, align, designParent.cx, designParent.cy};
}

void TControl::ArrangeChildren() {
    RECT client;
    GetClientRect(handle_, &client);
    for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const TControl* control = FromHandle(child);
        if (!control || !control->placement_) continue;
        const TBounds b = PlaceControl(*control->placement_, client.right, client.bottom);
        SetWindowPos(child, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TControl* TControl::FromHandle(HWND handle) { return static_cast<TControl*>(GetPropA(handle, kWrapperProperty)); }

void TControl::CreateControl(const char* className, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
                             const RECT& r) {
    handle_ = CreateWindowExA(exStyle, className, text.c_str(), style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!handle_) RaiseLastOSError();
    SetPropA(handle_, kWrapperProperty, this);
    SetWindowSubclass(handle_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    subclassed_ = true;
}

void TControl::RegisterOwnClass(const char* className, UINT classStyle, HBRUSH background, HICON icon) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc)) return;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = OwnClassProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) RaiseLastOSError();
}

void TControl::CreateOwnWindow(const char* className, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
                               const RECT& r) {
    const HWND created = CreateWindowExA(exStyle, className, text.c_str(), style, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), this);
    if (!created) RaiseLastOSError();
}

LRESULT TControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? DefSubclassProc(handle_, message, wParam, lParam)
                       : DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT TControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        // Notifications come to the parent; the control that sent them handles them.
        if (message == WM_COMMAND && lParam != 0) {
            if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this) {
                child->Command(HIWORD(wParam));
                return 0;
            }
        } else if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (TControl* child = FromHandle(header->hwndFrom); child && child != this) return child->Notify(*header);
        } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this)
                if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
        }
        const LRESULT result = WindowProc(message, wParam, lParam);
        if (message == WM_SIZE && wParam != SIZE_MINIMIZED) ArrangeChildren();
        return result;
    } catch (...) {
        Application.HandleException();
        return 0;
    }
}

LRESULT CALLBACK TControl::OwnClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* control = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        control->handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        SetPropA(hwnd, kWrapperProperty, control);
    }
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!control) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        RemovePropA(hwnd, kWrapperProperty);
        const LRESULT result = control->Dispatch(message, wParam, lParam);
        control->handle_ = nullptr;
        return result;
    }
    return control->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    auto* control = reinterpret_cast<TControl*>(data);
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kWrapperProperty);
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        control->handle_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return control->Dispatch(message, wParam, lParam);
}
