// A tree view holding the wallpaper list: text nodes, nothing else.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "settings/wallpaper_list.h"
#include "ui/control_win.h"

class TTreeView : public TControl {
public:
    using TControl::TControl;
    void Create(HWND parent, const RECT& bounds);

    HTREEITEM AddChild(HTREEITEM parent, const std::string& text);
    void Clear();
    // The nodes in depth-first pre-order.
    TWallpaperList Items() const;
    size_t Count() const;
    // Replaces every node by the list's nodes.
    void Assign(const TWallpaperList& list);

    std::string ItemText(HTREEITEM item) const;
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

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

protected:
    LRESULT Notify(const NMHDR& header) override;
};
