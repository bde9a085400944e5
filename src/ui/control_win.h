// The base of every window of the program: standard controls are subclassed by replacing
// their window procedure, the program's own windows (the form, the tab sheets) are of window
// classes registered here. A table in the program leads from each window to its wrapper, and
// each wrapper lists its children's: neither needs a trip to the window manager, which under
// Wine is a request to its server at every message. Notifications and colour requests that a
// control sends to its parent are routed back to the control's wrapper, and a resized window
// places its children by their anchors. Every window procedure hands exceptions to the
// application object.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/layout.h"

using TNotifyEvent = std::function<void()>;

// The controls inside `parent` that Tab stops at, in tab order: the children in window order; a
// visible, enabled child with WS_TABSTOP is a stop, and the stops inside a visible, enabled
// control parent (a page control, its visible page, a group box) follow it.
std::vector<HWND> TabStops(HWND parent);

class TControl {
public:
    explicit TControl(std::string name) : name_(std::move(name)) {}
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const { return handle_; }
    const std::string& Name() const { return name_; }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    std::string Caption() const;
    void SetCaption(const std::string& text);
    void SetFont(HFONT font);
    // Position and size relative to the parent's client area.
    RECT Bounds() const;
    void SetBounds(const RECT& bounds);

    // Fixes the control's anchors and alignment. Its current bounds are its design bounds inside
    // a parent of the given design client size; ArrangeChildren of the parent then fits it to
    // the parent's actual size.
    void SetAnchors(TAnchors anchors, TAlign align, SIZE designParent);
    // Places every child that has anchors for this window's current client size.
    void ArrangeChildren();
    // The wrappers of the child windows, in the order they were created.
    const std::vector<TControl*>& Children() const { return children_; }

    // The wrapper of a window created by the program, or null.
    static TControl* FromHandle(HWND handle);

    // A key that moves the focus (Tab, Ctrl+Tab...) pressed while this control or one inside
    // it has the focus; true when the control acted on it.
    virtual bool DialogKey(WORD /*key*/, bool /*shift*/, bool /*control*/) { return false; }

protected:
    // Creates a standard control and subclasses it.
    void CreateControl(const char* className, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
                       const RECT& bounds);
    // Creates a window of one of the program's own classes.
    void CreateOwnWindow(const char* className, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
                         const RECT& bounds);
    static void RegisterOwnClass(const char* className, UINT classStyle, HBRUSH background, HICON icon);

    // A WM_COMMAND notification this control sent to its parent.
    virtual void Command(WORD /*code*/) {}
    // A WM_NOTIFY notification this control sent to its parent.
    virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }
    // The brush for a colour request (WM_CTLCOLOR...) this control sent to its parent; null
    // leaves the parent's default.
    virtual HBRUSH ControlColor(HDC /*dc*/) { return nullptr; }
    // The window procedure; the default passes messages on to the control's own procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK OwnClassProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Enters the control in its parent's list of children (when the parent is a wrapper), or
    // takes it out with its own children's links to it.
    void Attach(HWND parent);
    void Detach();

    std::string name_;
    HWND handle_ = nullptr;
    // The standard control's own procedure, replaced by SubclassProc, and its character set.
    WNDPROC original_ = nullptr;
    bool unicode_ = false;
    std::optional<TPlacement> placement_;
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;
};
