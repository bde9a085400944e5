#include "ui/control_win.h"

#include <mutex>
#include <unordered_map>
#include <vector>

#include "base/system_win.h"
#include "ui/application_win.h"

namespace {

// Every window of the program leads to its wrapper through this table. Looking a window up here
// costs nothing, where a window property is a trip to the window manager (under Wine, to its
// server) at every message. Windows of several threads may be registered (the open dialog's
// pane lives on the dialog's thread). The table outlives every wrapper: it is never freed.
struct TWrapperTable {
    std::mutex lock;
    std::unordered_map<HWND, TControl*> wrappers;
};

TWrapperTable& Wrappers() {
    static auto* table = new TWrapperTable;
    return *table;
}

void RegisterWrapper(HWND handle, TControl* control) {
    TWrapperTable& table = Wrappers();
    const std::lock_guard lock(table.lock);
    table.wrappers[handle] = control;
}

void UnregisterWrapper(HWND handle) {
    TWrapperTable& table = Wrappers();
    const std::lock_guard lock(table.lock);
    table.wrappers.erase(handle);
}

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

// Lifetimes. A wrapper (a TControl member of a form) is made first and lives longest; its
// window is made by Create... and may end before it: the user closes a window, the system
// destroys a parent, the session ends. WM_NCDESTROY, the window's last message, takes the
// window out of the table and out of its parent's list and clears handle_, so a wrapper never
// reaches a window that is gone, and Handle() is null from then on. When the wrapper goes
// first, its destructor takes the window out of the table and gives a standard control its own
// procedure back; the window itself is destroyed by its owner (the form destroys its window,
// which takes the children along). A foreign subclass (the system's tooltip, a
// SetWindowSubclass of the common controls, the dialog's own) may sit on top of ours: then the
// procedure cannot be handed back, and SubclassProc, finding no wrapper, passes every later
// message to the class's own procedure.
TControl::~TControl() {
    Detach();
    if (!handle_) return;
    UnregisterWrapper(handle_);
    if (!original_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        return;
    }
    // The control's own procedure comes back, unless a later subclass sits on top of ours.
    const auto ours = reinterpret_cast<LONG_PTR>(SubclassProc), own = reinterpret_cast<LONG_PTR>(original_);
    if (unicode_ && GetWindowLongPtrW(handle_, GWLP_WNDPROC) == ours)
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, own);
    else if (!unicode_ && GetWindowLongPtrA(handle_, GWLP_WNDPROC) == ours)
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, own);
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
    // Placing a child may resize it, and it then places its own children: the list stays.
    for (TControl* control : std::vector<TControl*>(children_)) {
        if (!control->placement_) continue;
        const TBounds b = PlaceControl(*control->placement_, client.right, client.bottom);
        // A control already in place is left alone: moving a window costs a trip to the
        // window manager even when nothing changes.
        const RECT now = control->Bounds();
        if (now.left == b.Left && now.top == b.Top && now.right - now.left == b.Width &&
            now.bottom - now.top == b.Height)
            continue;
        SetWindowPos(control->handle_, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TControl::Attach(HWND parent) {
    parent_ = FromHandle(parent);
    if (parent_) parent_->children_.push_back(this);
}

void TControl::Detach() {
    if (parent_) std::erase(parent_->children_, this);
    parent_ = nullptr;
    for (TControl* child : children_) child->parent_ = nullptr;
    children_.clear();
}

TControl* TControl::FromHandle(HWND handle) {
    TWrapperTable& table = Wrappers();
    const std::lock_guard lock(table.lock);
    const auto found = table.wrappers.find(handle);
    return found == table.wrappers.end() ? nullptr : found->second;
}

void TControl::CreateControl(const char* className, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
                             const RECT& r) {
    handle_ = CreateWindowExA(exStyle, className, text.c_str(), style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!handle_) RaiseLastOSError();
    RegisterWrapper(handle_, this);
    if (style & WS_CHILD) Attach(parent);
    // The window keeps its character set: a Unicode control gets its messages as Unicode.
    unicode_ = IsWindowUnicode(handle_) != FALSE;
    original_ = reinterpret_cast<WNDPROC>(
        unicode_ ? SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc))
                 : SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
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
    if (style & WS_CHILD) Attach(parent);
}

LRESULT TControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!original_) return DefWindowProcA(handle_, message, wParam, lParam);
    return unicode_ ? CallWindowProcW(original_, handle_, message, wParam, lParam)
                    : CallWindowProcA(original_, handle_, message, wParam, lParam);
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
        RegisterWrapper(hwnd, control);
    }
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!control) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        UnregisterWrapper(hwnd);
        control->Detach();
        const LRESULT result = control->Dispatch(message, wParam, lParam);
        control->handle_ = nullptr;
        return result;
    }
    return control->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TControl* control = FromHandle(hwnd);
    if (!control) {
        // The wrapper went while another subclass sat on top of ours: the class's procedure.
        const auto proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
        return IsWindowUnicode(hwnd) ? CallWindowProcW(proc, hwnd, message, wParam, lParam)
                                     : CallWindowProcA(proc, hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        UnregisterWrapper(hwnd);
        control->Detach();
        const LRESULT result = control->DefaultProc(message, wParam, lParam);
        control->handle_ = nullptr;
        return result;
    }
    return control->Dispatch(message, wParam, lParam);
}
