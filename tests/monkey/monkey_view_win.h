// What the monkey sees of a running Lumo.exe from outside: its top-level windows and boxes,
// its controls and what they show, its notification icon, and its object counts.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/wallpaper_list.h"
#include "support/test_support.h"

// Memory in another process, for the control messages that carry pointers.
class TRemoteBuffer {
public:
    TRemoteBuffer(HANDLE process, size_t size);
    ~TRemoteBuffer();
    TRemoteBuffer(const TRemoteBuffer&) = delete;
    TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;
    char* At(size_t offset) const { return base_ + offset; }
    bool Write(size_t offset, const void* data, size_t size) const;
    bool Read(const void* remote, void* data, size_t size) const;

private:
    HANDLE process_;
    char* base_;
};

// The program's visible top-level windows, sorted by kind.
struct TTopWindows {
    HWND Main = nullptr, Application = nullptr;
    HWND Dialog = nullptr;   // the picture open dialog
    HWND Preview = nullptr;  // its Preview window
    HWND Menu = nullptr;     // the tray menu
    HWND FailureBox = nullptr;
    std::vector<HWND> ErrorBoxes;  // the standard error box, captioned with the program's title
    std::vector<HWND> OtherBoxes;  // the system dialog's own warnings
    bool MainVisible = false;
    bool Modal() const { return Dialog || Preview || Menu || FailureBox || !ErrorBoxes.empty() || !OtherBoxes.empty(); }
};

// What the window holds, as the settings files would hold it. The tree is kept as its rows show
// it (a picture by its name and folder), the marks of entries that cannot be used aside.
struct TWindowState {
    TWallpaperList Tree;
    std::vector<HTREEITEM> Items;  // the tree items of Tree, in the same order
    std::vector<bool> Missing;     // marked as a picture whose file is missing, in the same order
    HTREEITEM Selected = nullptr;
    bool StayInTray = false;
    std::string Wait, Old;
    bool Editing = false;  // a node's text is being edited in place, the text typed so far
    std::string Typed;
    // The window once an edit left open is kept, as a close or a save keeps it.
    std::optional<TWindowState> EditKept() const;
    std::string Options() const;
    std::string List() const;
};

// The rows the nodes of a list file show in the window; the bytes as they are when they do not
// parse.
std::string Rows(const std::string& listBytes);

// The program's objects: GDI objects (its GDI handle table), kernel handles (the system's
// handle list, without the keys Wine's open dialog leaks), windows, and private memory.
struct TCounts {
    long Gdi = 0, Handles = 0, Windows = 0;
    long PrivateKb = 0;
};

class TLumoView {
public:
    TLumoView(HANDLE process, DWORD processId);

    TTopWindows TopWindows() const;
    // Finds the main window's controls; false until the window exists.
    bool FindControls();
    // Answers a sent message within the time.
    bool Answers(HWND window, DWORD milliseconds) const;
    // Reads what the window holds; false when it cannot be read (the program is ending).
    bool Read(TWindowState& state) const;
    // The screen rectangle of a node's text or of a tab, empty when not shown.
    RECT ItemRect(HTREEITEM item) const;
    RECT TabRect(int index) const;
    int ActivePage() const;
    std::string Text(HWND window) const;
    // Whether the program's notification icon is registered with the shell.
    bool IconShown() const;
    TCounts Counts() const;

    HWND Main = nullptr, Application = nullptr, Tabs = nullptr, Tree = nullptr;
    HWND Add = nullptr, Del = nullptr, Change = nullptr;
    HWND Run = nullptr, Tray = nullptr, Wait = nullptr, Old = nullptr, Browse = nullptr, NowDefault = nullptr;

private:
    bool WineDialogKey(USHORT value) const;
    HANDLE process_;
    DWORD id_;
    TRemoteBuffer buffer_;
};
