#include "ui/tree_view_win.h"

#include <vector>

void TTreeView::Create(HWND parent, const RECT& bounds) {
    CreateControl(WC_TREEVIEWA, "",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                      TVS_EDITLABELS | TVS_DISABLEDRAGDROP,
                  WS_EX_CLIENTEDGE, parent, bounds);
    SendMessageA(Handle(), TVM_SETINDENT, 19, 0);
}

HTREEITEM TTreeView::AddChild(HTREEITEM parent, const std::string& text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::Clear() { SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

size_t TTreeView::Count() const { return static_cast<size_t>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0)); }

std::string TTreeView::ItemText(HTREEITEM item) const {
    std::vector<char> buffer(32768, '\0');
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = buffer.data();
    data.cchTextMax = static_cast<int>(buffer.size());
    SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    // The control may hand back its own buffer instead of filling ours.
    return std::string(data.pszText ? data.pszText : "");
}

TWallpaperList TTreeView::Items() const {
    TWallpaperList list;
    const auto next = [this](HTREEITEM item, UINT relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    // Depth-first walk keeping the list index of each open ancestor.
    std::vector<std::pair<HTREEITEM, int>> stack;
    HTREEITEM item = next(nullptr, TVGN_ROOT);
    int parent = -1;
    while (item) {
        list.push_back({parent, ItemText(item)});
        if (HTREEITEM child = next(item, TVGN_CHILD)) {
            stack.emplace_back(item, parent);
            parent = static_cast<int>(list.size() - 1);
            item = child;
            continue;
        }
        item = next(item, TVGN_NEXT);
        while (!item && !stack.empty()) {
            item = next(stack.back().first, TVGN_NEXT);
            parent = stack.back().second;
            stack.pop_back();
        }
    }
    return list;
}

void TTreeView::Assign(const TWallpaperList& list) {
    Clear();
    std::vector<HTREEITEM> items;
    items.reserve(list.size());
    for (const TWallpaperNode& node : list)
        items.push_back(AddChild(node.Parent < 0 ? nullptr : items[static_cast<size_t>(node.Parent)], node.Text));
}

HTREEITEM TTreeView::Parent(HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

int TTreeView::Level(HTREEITEM item) const {
    int level = 0;
    for (HTREEITEM parent = Parent(item); parent; parent = Parent(parent)) ++level;
    return level;
}

void TTreeView::Delete(HTREEITEM item) { SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)); }

HTREEITEM TTreeView::Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TTreeView::Select(HTREEITEM item) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TTreeView::BeginUpdate() { SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0); }

void TTreeView::EndUpdate() {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT TTreeView::Notify(const NMHDR& header) {
    switch (header.code) {
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            if (OnChange) OnChange();
            return 0;
        case NM_CLICK:
            if (OnClick) OnClick();
            return 0;
        case TVN_ENDLABELEDITA: {
            // An edited text is kept as typed; a cancelled edit leaves the old text.
            const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
            return info.item.pszText != nullptr;
        }
        default:
            return 0;
    }
}
