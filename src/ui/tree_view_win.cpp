#include "ui/tree_view_win.h"

#include <windowsx.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {
// The tooltip's one tool: the text of the node under the mouse.
constexpr UINT_PTR kNodeTool = 1;
// What the tooltip shows of a long node.
constexpr size_t kToolTipLength = 79;

TTTOOLINFOA NodeTool(HWND tree) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = tree;
    tool.uId = kNodeTool;
    return tool;
}
}  // namespace

void TTreeView::Create(HWND parent, const RECT& bounds) {
    // The control's own tooltips are left out: this one cuts the text, the same on every system.
    CreateControl(WC_TREEVIEWA, "",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                      TVS_EDITLABELS | TVS_DISABLEDRAGDROP | TVS_NOTOOLTIPS,
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
    }
}

void TTreeView::SetIndent(int pixels) { SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(pixels), 0); }

RECT TTreeView::TextRect(HTREEITEM item) const {
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
    if (!SendMessageA(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return RECT{};
    return r;
}

void TTreeView::TrackToolTip(POINT at) {
    TVHITTESTINFO hit{};
    hit.pt = at;
    SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    HTREEITEM item = (hit.flags & TVHT_ONITEMLABEL) ? hit.hItem : nullptr;
    RECT text{}, client;
    GetClientRect(Handle(), &client);
    if (item) {
        text = TextRect(item);
        if (text.left >= client.left && text.right <= client.right) item = nullptr;  // it fits
    }
    if (item == tipItem_) return;
    tipItem_ = item;
    SendMessageA(toolTip_, TTM_POP, 0, 0);
    TTTOOLINFOA tool = NodeTool(Handle());
    std::string shown;
    if (item) {
        IntersectRect(&tool.rect, &text, &client);
        shown = ItemText(item).substr(0, kToolTipLength);
        SendMessageA(toolTip_, WM_SETFONT, SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
    }
    SendMessageA(toolTip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = shown.data();
    SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT TTreeView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
            // The tip lies over the node's text, in the tree's font.
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == toolTip_ && header->code == TTN_SHOW && tipItem_) {
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
            if (message == WM_KEYDOWN && OnKeyDown && !(lParam & (1 << 30)) && GetKeyState(VK_CONTROL) >= 0 &&
                GetKeyState(VK_SHIFT) >= 0 && !Editing() && OnKeyDown(static_cast<WORD>(wParam)))
                return 0;
            break;
        case WM_SYSKEYDOWN:
            // A key with Alt is the window's (Alt+F4 closes it), not the tree's: Wine's tree
            // control takes it for a key of its own and lets nothing through.
            return DefWindowProcA(Handle(), message, wParam, lParam);
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
    insert.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::Clear() {
    EndEdit();
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

size_t TTreeView::Count() const { return static_cast<size_t>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0)); }

std::string TTreeView::ItemText(HTREEITEM item) const {
    // The control tells no text length: the text is read into the kept buffer, which doubles
    // until the text fits with room to spare. The control writes at most cchTextMax bytes; a
    // text it had to cut fills the buffer to its last byte or the one before (a NUL then, or
    // none at all), and a cut double-byte character may cost one more.
    for (;;) {
        const size_t capacity = textCapacity_;
        textBuffer_[0] = '\0';
        textBuffer_[capacity] = '\0';  // beyond what the control may write
        TVITEMA data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = textBuffer_.get();
        data.cchTextMax = static_cast<int>(capacity);
        if (!SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return std::string();
        // The control may hand back its own buffer instead of filling ours.
        if (data.pszText != textBuffer_.get()) return std::string(data.pszText ? data.pszText : "");
        const size_t length = strnlen(textBuffer_.get(), capacity);
        if (length + 2 < capacity || capacity >= kMostTextBytes) return std::string(textBuffer_.get(), length);
        textCapacity_ = capacity * 2;
        textBuffer_ = std::make_unique_for_overwrite<char[]>(textCapacity_ + 1);
    }
}

TWallpaperList TTreeView::Items() {
    EndEdit();
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

void TTreeView::SetItemText(HTREEITEM item, const std::string& text) {
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<char*>(text.c_str());
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
        case TVN_DELETEITEMA:
        case TVN_DELETEITEMW: {
            const HTREEITEM item = reinterpret_cast<const NMTREEVIEWA&>(header).itemOld.hItem;
            if (item == tipItem_) {
                tipItem_ = nullptr;
                if (toolTip_) SendMessageA(toolTip_, TTM_POP, 0, 0);
            }
            // A node deleted under its edit, however that came: the edit goes with it.
            if (item == editItem_) EndEdit(false);
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
            if (kept != ItemText(info.item.hItem)) SetItemText(info.item.hItem, kept);
            return FALSE;
        }
        default:
            return 0;
    }
}
