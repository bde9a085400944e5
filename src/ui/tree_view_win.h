// A tree view holding the wallpaper list: text nodes, nothing else. Each node keeps its text
// (a day's name, a picture's whole path) while its row shows it for reading (ui/list_rows.h):
// a picture by its file name and folder, an entry that cannot be used in grey with a word of
// why. The tip over a picture's row shows its whole path, over a day's name cut off at the
// tree's edge the whole name, over a marked row also the reason.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "settings/wallpaper_list.h"
#include "ui/control_win.h"
#include "ui/list_rows.h"

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
    std::vector<HTREEITEM> Nodes() const;
    size_t Count() const;
    // Replaces every node by the list's nodes.
    void Assign(const TWallpaperList& list);

    // The node's text, whole (not its row).
    std::string ItemText(HTREEITEM item) const;
    void SetItemText(HTREEITEM item, const std::string& text);
    // Why a node cannot be used, shown in its row and tip; null for none.
    const TListMark* Mark(HTREEITEM item) const;
    void SetMark(HTREEITEM item, const TListMark* mark);
    HTREEITEM Parent(HTREEITEM item) const;
    // The number of ancestors of a node.
    int Level(HTREEITEM item) const;
    // The node under a point of the client area, or null.
    HTREEITEM ItemAt(POINT at) const;
    // Deletes a node with its children; the control then selects another node by its own rule.
    void Delete(HTREEITEM item);
    HTREEITEM Selected() const;
    void Select(HTREEITEM item);
    void Expand(HTREEITEM item);
    // Shows a node as the one files dragged over the tree would go to; null for none.
    void SetDropHighlight(HTREEITEM item);

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
    // A node's text was changed by an edit in place.
    std::function<void(HTREEITEM item)> OnEdited;
    // A key pressed (not held) without Shift while the tree has the focus; true when the key was
    // used. Keys typed into a node's text being edited never come here.
    std::function<bool(WORD key)> OnKeyDown;
    // The context menu is asked for (right click, Shift+F10, the menu key) at a screen point; a
    // right click on a node selects it first.
    std::function<void(POINT at)> OnContextMenu;

protected:
    LRESULT Notify(const NMHDR& header) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct TNode {
        std::string Text;
        const TListMark* Mark = nullptr;
    };
    void CreateToolTip();
    // Points the tooltip at the node under the mouse when it has a tip, else at nothing.
    void TrackToolTip(POINT at);
    // What the tip over a node shows, and whether it lies over the row's own text.
    std::string TipText(HTREEITEM item, bool& inPlace) const;
    // The rectangle of a node's text in the tree's client area.
    RECT TextRect(HTREEITEM item) const;
    // Shows a node's row for its text and mark.
    void ShowRow(HTREEITEM item);
    // The context menu's point for a WM_CONTEXTMENU position (-1, -1 from the keyboard).
    POINT ContextPoint(LPARAM position);
    // Shift+F10 and the menu key ask for the context menu. Both the press and the release are
    // taken, so that the default handling makes no second menu, whichever key is released
    // first; true for such a key message.
    bool ContextKey(UINT message, WPARAM key, LPARAM lParam);
    // Calls visit(item, index of its parent in the walk or -1) in depth-first pre-order.
    template <typename Visit>
    void Walk(Visit visit) const;

    HWND toolTip_ = nullptr;
    HTREEITEM tipItem_ = nullptr;
    bool tipInPlace_ = false;
    // The key that asked for the context menu, until it is released.
    WORD contextKey_ = 0;
    // The edit in place and its node, from its start to its end.
    HWND edit_ = nullptr;
    HTREEITEM editItem_ = nullptr;
    // Every node's text and mark; the control holds the rows.
    std::unordered_map<HTREEITEM, TNode> nodes_;
};
