// A tree view holding the wallpaper list: text nodes, nothing else. A node whose text does not
// fit the tree shows it in a tooltip over the node, cut to its first 79 characters.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "settings/wallpaper_list.h"
#include "ui/control_win.h"

class TTreeView : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);
    // The indent of each level, in pixels.
    void SetIndent(int pixels);
    // The tooltip, once the mouse has been over the tree.
    HWND ToolTip() const { return toolTip_; }

    // Adding, deleting and reading the whole list first end an edit in place (EndEdit), so that
    // an edit never outlives its node nor lies over another one, and a save keeps what is typed.
    HTREEITEM AddChild(HTREEITEM parent, const std::string& text);
    void Clear();
    // The nodes in depth-first pre-order.
    TWallpaperList Items();
    size_t Count() const;
    // Replaces every node by the list's nodes.
    void Assign(const TWallpaperList& list);

    // The node's text at its own length.
    std::string ItemText(HTREEITEM item) const;
    void SetItemText(HTREEITEM item, const std::string& text);
    HTREEITEM Parent(HTREEITEM item) const;
    // The number of ancestors of a node.
    int Level(HTREEITEM item) const;
    // Deletes a node with its children; the control then selects another node by its own rule.
    void Delete(HTREEITEM item);
    HTREEITEM Selected() const;
    void Select(HTREEITEM item);

    // Redrawing is held off while the tree is rebuilt.
    void BeginUpdate();
    void EndUpdate();

    // Whether a node's text is being edited in place.
    bool Editing() const;
    // Ends an edit in place, if one is open: keeps the typed text, as Enter does, or drops it,
    // as Esc does.
    void EndEdit(bool keep = true);

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    // A key pressed (not held) without Ctrl or Shift while the tree has the focus; true when
    // the key was used. Keys typed into a node's text being edited never come here.
    std::function<bool(WORD key)> OnKeyDown;

protected:
    LRESULT Notify(const NMHDR& header) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateToolTip();
    // Points the tooltip at the node under the mouse when its text does not fit, else at nothing.
    void TrackToolTip(POINT at);
    // The rectangle of a node's text in the tree's client area.
    RECT TextRect(HTREEITEM item) const;

    HWND toolTip_ = nullptr;
    HTREEITEM tipItem_ = nullptr;
    // The edit in place and its node, from its start to its end.
    HWND edit_ = nullptr;
    HTREEITEM editItem_ = nullptr;
    // The control's text lengths are ints; a buffer never grows beyond that.
    static constexpr size_t kMostTextBytes = size_t{1} << 30;
    // Node texts are read into this buffer, kept between reads and grown when a text does not
    // fit: reading a node allocates nothing once the buffer has reached the longest text.
    mutable size_t textCapacity_ = 1024;
    mutable std::unique_ptr<char[]> textBuffer_ = std::make_unique_for_overwrite<char[]>(textCapacity_ + 1);
};
