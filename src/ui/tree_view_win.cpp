#include "ui/tree_view_win.h"

#include <windowsx.h>

#include <cstring>
#include <utility>

namespace {
// The tooltip's one tool: the text of the node under the mouse.
constexpr UINT_PTR kNodeTool = 1;

TTTOOLINFOA NodeTool(HWND tree) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = tree;
    tool.uId = kNodeTool;
    return tool;
}
}  // namespace

void TTreeView::Create(HWND parent, const RECT& bounds) {
    // The control's own tooltips are left out: this one shows the whole text, and more.
    // The selection stays in sight when the focus leaves, so that the preview can be matched to
    // its row; rows too long for the tree end at its edge (their tips show them), as in
    // Explorer's folder tree, rather than scrolling the day names out of sight.
    CreateControl(WC_TREEVIEWA, "",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                      TVS_EDITLABELS | TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS | TVS_SHOWSELALWAYS | TVS_NOHSCROLL,
                  WS_EX_CLIENTEDGE, parent, bounds);
}

// The tooltip is a window of its own, made at the first mouse message over the tree: a run
// that never shows the tree (the automatic run at logon) goes without it.
void TTreeView::CreateToolTip() {
    toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                               0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (toolTip_) {
        TTTOOLINFOA tool = NodeTool(Handle());
        tool.uFlags = TTF_TRANSPARENT;
        tool.lpszText = const_cast<char*>("");
        SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        // A tip of a path and a reason takes two lines or more: it breaks at this width.
        SendMessageA(toolTip_, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    }
}

void TTreeView::SetIndent(int pixels) { SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(pixels), 0); }

RECT TTreeView::TextRect(HTREEITEM item) const {
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
    if (!SendMessageA(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return RECT{};
    return r;
}

std::string TTreeView::TipText(HTREEITEM item, bool& inPlace) const {
    inPlace = false;
    const std::string text = ItemText(item);
    const TListMark* mark = Mark(item);
    if (mark) return text + "\r\n" + mark->Reason;
    if (Parent(item)) return text;
    // A day's name shows over its row when it does not fit there.
    RECT client;
    GetClientRect(Handle(), &client);
    const RECT row = TextRect(item);
    if (row.left >= client.left && row.right <= client.right) return {};
    inPlace = true;
    return text;
}

void TTreeView::TrackToolTip(POINT at) {
    TVHITTESTINFO hit{};
    hit.pt = at;
    SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    HTREEITEM item = (hit.flags & TVHT_ONITEMLABEL) ? hit.hItem : nullptr;
    bool inPlace = false;
    std::string shown = item ? TipText(item, inPlace) : std::string();
    if (shown.empty()) item = nullptr;
    if (item == tipItem_) return;
    tipItem_ = item;
    tipInPlace_ = inPlace;
    SendMessageA(toolTip_, TTM_POP, 0, 0);
    TTTOOLINFOA tool = NodeTool(Handle());
    if (item) {
        RECT client;
        GetClientRect(Handle(), &client);
        const RECT text = TextRect(item);
        IntersectRect(&tool.rect, &text, &client);
        SendMessageA(toolTip_, WM_SETFONT, SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
    }
    SendMessageA(toolTip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = shown.data();
    SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

POINT TTreeView::ContextPoint(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: below the selected node's text, or at the tree's corner.
        RECT r{};
        if (const HTREEITEM selected = Selected()) r = TextRect(selected);
        at = POINT{r.left, r.bottom};
        ClientToScreen(Handle(), &at);
        return at;
    }
    // A right click acts on the node under it, as in Explorer's folder tree.
    POINT client = at;
    ScreenToClient(Handle(), &client);
    if (const HTREEITEM item = ItemAt(client)) Select(item);
    return at;
}

bool TTreeView::ContextKey(UINT message, WPARAM key, LPARAM lParam) {
    if (!OnContextMenu) return false;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        if (key != VK_APPS && !(key == VK_F10 && GetKeyState(VK_SHIFT) < 0)) return false;
        contextKey_ = static_cast<WORD>(key);
        // Bit 30: the key was already down, a repeat of a key held.
        if (!(lParam & (1 << 30))) OnContextMenu(ContextPoint(-1));
        return true;
    }
    if ((message == WM_KEYUP || message == WM_SYSKEYUP) && contextKey_ && key == contextKey_) {
        contextKey_ = 0;
        return true;
    }
    return false;
}

LRESULT TTreeView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ContextKey(message, wParam, lParam)) return 0;
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            // The tip is pointed at the node first, then sees the mouse.
            if (!toolTip_) CreateToolTip();
            if (toolTip_) {
                if (message == WM_MOUSEMOVE) TrackToolTip(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                MSG relayed{Handle(), message, wParam, lParam, 0, {}};
                SendMessageA(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
            }
            break;
        case WM_NOTIFY: {
            // A name cut off at the edge shows over its row, in the tree's font; other tips go
            // below the mouse, where they hide no row.
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == toolTip_ && header->code == TTN_SHOW && tipItem_ && tipInPlace_) {
                RECT r = TextRect(tipItem_);
                MapWindowPoints(Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
                SendMessageA(toolTip_, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&r));
                SetWindowPos(toolTip_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                return TRUE;
            }
            break;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN:
            // The nodes move: the tip is set anew at the next mouse move.
            if (toolTip_) {
                tipItem_ = nullptr;
                SendMessageA(toolTip_, TTM_POP, 0, 0);
            }
            // Bit 30: the key was already down, a repeat of a key held.
            if (message == WM_KEYDOWN && OnKeyDown && !(lParam & (1 << 30)) && GetKeyState(VK_SHIFT) >= 0 &&
                !Editing() && OnKeyDown(static_cast<WORD>(wParam)))
                return 0;
            break;
        case WM_CONTEXTMENU:
            if (OnContextMenu && !Editing()) {
                OnContextMenu(ContextPoint(lParam));
                return 0;
            }
            break;
        case WM_DESTROY:
            if (toolTip_) DestroyWindow(toolTip_);
            toolTip_ = nullptr;
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

HTREEITEM TTreeView::AddChild(HTREEITEM parent, const std::string& text) {
    EndEdit();
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    const std::string row = ListRowText(text, parent != nullptr);
    insert.item.pszText = const_cast<char*>(row.c_str());
    const auto item =
        reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item) nodes_[item] = TNode{text};
    return item;
}

void TTreeView::Clear() {
    EndEdit();
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    nodes_.clear();
}

size_t TTreeView::Count() const { return static_cast<size_t>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0)); }

std::string TTreeView::ItemText(HTREEITEM item) const {
    const auto node = nodes_.find(item);
    return node == nodes_.end() ? std::string() : node->second.Text;
}

const TListMark* TTreeView::Mark(HTREEITEM item) const {
    const auto node = nodes_.find(item);
    return node == nodes_.end() ? nullptr : node->second.Mark;
}

template <typename Visit>
void TTreeView::Walk(Visit visit) const {
    const auto next = [this](HTREEITEM item, UINT relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    // Depth-first walk keeping the walk index of each open ancestor.
    std::vector<std::pair<HTREEITEM, int>> stack;
    HTREEITEM item = next(nullptr, TVGN_ROOT);
    int parent = -1, count = 0;
    while (item) {
        const int index = count++;
        visit(item, parent);
        if (HTREEITEM child = next(item, TVGN_CHILD)) {
            stack.emplace_back(item, parent);
            parent = index;
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
}

TWallpaperList TTreeView::Items() {
    EndEdit();
    TWallpaperList list;
    Walk([&](HTREEITEM item, int parent) { list.push_back({parent, ItemText(item)}); });
    return list;
}

std::vector<HTREEITEM> TTreeView::Nodes() const {
    std::vector<HTREEITEM> nodes;
    Walk([&](HTREEITEM item, int) { nodes.push_back(item); });
    return nodes;
}

void TTreeView::Assign(const TWallpaperList& list) {
    Clear();
    std::vector<HTREEITEM> items;
    items.reserve(list.size());
    for (const TWallpaperNode& node : list)
        items.push_back(AddChild(node.Parent < 0 ? nullptr : items[static_cast<size_t>(node.Parent)], node.Text));
}

void TTreeView::SetItemText(HTREEITEM item, const std::string& text) {
    const auto node = nodes_.find(item);
    if (node == nodes_.end()) return;
    node->second.Text = text;
    ShowRow(item);
}

void TTreeView::SetMark(HTREEITEM item, const TListMark* mark) {
    const auto node = nodes_.find(item);
    if (node == nodes_.end() || node->second.Mark == mark) return;
    node->second.Mark = mark;
    if (item == tipItem_) {
        tipItem_ = nullptr;  // the tip is made anew at the next mouse move
        if (toolTip_) SendMessageA(toolTip_, TTM_POP, 0, 0);
    }
    ShowRow(item);
}

void TTreeView::ShowRow(HTREEITEM item) {
    const TNode& node = nodes_.at(item);
    std::string row = ListRowText(node.Text, Parent(item) != nullptr, node.Mark);
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = row.data();
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
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

void TTreeView::Delete(HTREEITEM item) {
    EndEdit();
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

HTREEITEM TTreeView::ItemAt(POINT at) const {
    TVHITTESTINFO hit{};
    hit.pt = at;
    SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // Anywhere on a node's row: its text, the indent before it, its button, the room after it.
    return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT)) ? hit.hItem : nullptr;
}

void TTreeView::Expand(HTREEITEM item) {
    SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void TTreeView::SetDropHighlight(HTREEITEM item) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
}

HTREEITEM TTreeView::Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TTreeView::Select(HTREEITEM item) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

bool TTreeView::Editing() const { return TreeView_GetEditControl(Handle()) != nullptr; }

void TTreeView::EndEdit(bool keep) {
    if (Editing()) TreeView_EndEditLabelNow(Handle(), !keep);
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
        case NM_RCLICK: {
            // Taken here, so that the control sends no WM_CONTEXTMENU after it.
            if (!OnContextMenu) return 0;
            const DWORD at = GetMessagePos();
            OnContextMenu(ContextPoint(MAKELPARAM(GET_X_LPARAM(at), GET_Y_LPARAM(at))));
            return TRUE;
        }
        case NM_CUSTOMDRAW: {
            auto& draw = const_cast<NMTVCUSTOMDRAW&>(reinterpret_cast<const NMTVCUSTOMDRAW&>(header));
            if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
            if (draw.nmcd.uItemState & CDIS_SELECTED) {
                // Without the focus the selected row keeps a light shade of the selection's
                // colour, clearer than the control's own button-face grey on white.
                if (GetFocus() != Handle()) {
                    const COLORREF selection = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
                    const auto third = [](BYTE a, BYTE b) { return static_cast<BYTE>((a + 2 * b) / 3); };
                    draw.clrTextBk = RGB(third(GetRValue(selection), GetRValue(window)),
                                         third(GetGValue(selection), GetGValue(window)),
                                         third(GetBValue(selection), GetBValue(window)));
                    draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
                }
            } else if (Mark(reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec))) {
                // A row that cannot be used is in the system's colour for unavailable text, which
                // high-contrast themes set too.
                draw.clrText = GetSysColor(COLOR_GRAYTEXT);
            }
            return CDRF_DODEFAULT;
        }
        case TVN_DELETEITEMA:
        case TVN_DELETEITEMW: {
            const HTREEITEM item = reinterpret_cast<const NMTREEVIEWA&>(header).itemOld.hItem;
            if (item == tipItem_) {
                tipItem_ = nullptr;
                if (toolTip_) SendMessageA(toolTip_, TTM_POP, 0, 0);
            }
            // A node deleted under its edit, however that came: the edit goes with it.
            if (item == editItem_) EndEdit(false);
            nodes_.erase(item);
            return 0;
        }
        case TVN_BEGINLABELEDITA: {
            // The control's edit takes 259 characters and is filled from the text cut to them: a
            // longer text confirmed unchanged would come back cut, and a longer one typed would
            // stop there. The edit takes any length and the whole text.
            edit_ = TreeView_GetEditControl(Handle());
            editItem_ = reinterpret_cast<const NMTVDISPINFOA&>(header).item.hItem;
            SendMessageA(edit_, EM_LIMITTEXT, 0, 0);
            SetWindowTextA(edit_, ItemText(editItem_).c_str());
            return FALSE;
        }
        case TVN_ENDLABELEDITA: {
            // The text is read whole from the edit, not from the control's copy, cut to a buffer
            // of its own. It is kept as typed but for blanks and tabs at its start, which the
            // list file would read as the node's depth; a cancelled edit leaves the old text.
            const auto& info = reinterpret_cast<const NMTVDISPINFOA&>(header);
            const HWND edit = std::exchange(edit_, nullptr);
            editItem_ = nullptr;
            if (!info.item.pszText || !edit) return FALSE;
            std::string typed(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
            typed.resize(static_cast<size_t>(GetWindowTextA(edit, typed.data(), static_cast<int>(typed.size()))));
            const std::string kept(StorableNodeText(typed));
            if (kept == ItemText(info.item.hItem)) return FALSE;
            SetItemText(info.item.hItem, kept);
            if (OnEdited) OnEdited(info.item.hItem);
            return FALSE;
        }
        default:
            return 0;
    }
}
