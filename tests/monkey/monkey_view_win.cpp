#include "monkey_view_win.h"

#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

#include "base/exceptions.h"
#include "settings/options_file.h"
#include "support/dialog_driver.h"
#include "support/test_support.h"
#include "ui/list_rows.h"

namespace {

constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kTextOffset = 256;
constexpr DWORD kAnswerTime = 2000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT ok = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTime, &result);
    if (answered) *answered = ok != 0;
    return static_cast<LRESULT>(result);
}

template <typename Visit>
void EachWindowOf(DWORD process, Visit visit) {
    struct TContext {
        DWORD Process;
        Visit* Callback;
    } context{process, &visit};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<TContext*>(data);
            if (ProcessOf(window) == c->Process) (*c->Callback)(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));
}

// The system's handle table, as NtQuerySystemInformation(SystemHandleInformation) gives it.
struct THandleEntry {
    ULONG Process;
    UCHAR Type, Flags;
    USHORT Value;
    PVOID Object;
    ACCESS_MASK Access;
};

// One entry of the GDI handle table that the system keeps in each process (its PEB points to
// it): 24 bytes, the object's type in byte 14, zero when the entry is free.
constexpr size_t kGdiEntrySize = 24, kGdiTypeOffset = 14, kGdiEntries = 0x10000;
constexpr size_t kPebGdiTable = 0xF8;

}  // namespace

TRemoteBuffer::TRemoteBuffer(HANDLE process, size_t size)
    : process_(process),
      base_(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}

TRemoteBuffer::~TRemoteBuffer() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
}

bool TRemoteBuffer::Write(size_t offset, const void* data, size_t size) const {
    return base_ && WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
}

bool TRemoteBuffer::Read(const void* remote, void* data, size_t size) const {
    return remote && ReadProcessMemory(process_, remote, data, size, nullptr);
}

std::string TWindowState::Options() const { return FormatOptionsFile({StayInTray, Old, Wait}); }
std::string TWindowState::List() const { return FormatWallpaperList(Tree); }

std::optional<TWindowState> TWindowState::EditKept() const {
    const auto selected = std::find(Items.begin(), Items.end(), Selected);
    if (!Editing || selected == Items.end()) return std::nullopt;
    TWindowState kept = *this;
    TWallpaperNode& node = kept.Tree[static_cast<size_t>(selected - Items.begin())];
    node.Text = ListRowText(StorableNodeText(Typed), node.Parent >= 0);
    kept.Editing = false;
    return kept;
}

std::string Rows(const std::string& listBytes) {
    TWallpaperList list;
    try {
        ParseWallpaperList(listBytes, list);
    } catch (const Exception&) {
        return listBytes;
    }
    for (TWallpaperNode& node : list) node.Text = ListRowText(node.Text, node.Parent >= 0);
    return FormatWallpaperList(list);
}

namespace {
// Takes a mark off the end of a row; whether it was there.
bool WithoutMark(std::string& row, const TListMark& mark) {
    const std::string end = std::string(" (") + mark.Row + ")";
    if (row.size() < end.size() || row.compare(row.size() - end.size(), end.size(), end) != 0) return false;
    row.resize(row.size() - end.size());
    return true;
}
}  // namespace

TLumoView::TLumoView(HANDLE process, DWORD processId)
    : process_(process), id_(processId), buffer_(process, kBufferSize) {}

TTopWindows TLumoView::TopWindows() const {
    TTopWindows top;
    EachWindowOf(id_, [&](HWND window) {
        const std::string name = ClassOf(window);
        if (name == "TMainForm") top.Main = window;
        if (name == "TApplication") top.Application = window;
        if (!IsWindowVisible(window)) return;
        if (name == "TMainForm") top.MainVisible = true;
        if (name == "TPreviewForm") top.Preview = window;
        if (name == "#32768") top.Menu = window;
        if (name != "#32770") return;
        const std::string caption = CaptionOf(window);
        if (FileNameBox(window))
            top.Dialog = window;
        else if (caption == "Lumo")
            top.ErrorBoxes.push_back(window);
        else if (caption == "Application Error")
            top.FailureBox = window;
        else
            top.OtherBoxes.push_back(window);
    });
    return top;
}

bool TLumoView::FindControls() {
    const TTopWindows top = TopWindows();
    if (!top.Main) return false;
    Main = top.Main;
    Application = top.Application;
    Tabs = FindWindowExA(Main, nullptr, "SysTabControl32", nullptr);
    const HWND files = FindWindowExA(Tabs, nullptr, "TTabSheet", "tshFiles");
    const HWND options = FindWindowExA(Tabs, nullptr, "TTabSheet", "tshOptions");
    Tree = FindWindowExA(files, nullptr, "SysTreeView32", nullptr);
    Add = FindWindowExA(files, nullptr, "TSpeedButton", nullptr);
    Del = Add ? FindWindowExA(files, Add, "TSpeedButton", nullptr) : nullptr;
    Change = FindWindowExA(files, nullptr, "Button", nullptr);
    Run = FindWindowExA(options, nullptr, "Button", "Запуск при старте системы");
    Tray = FindWindowExA(options, nullptr, "Button", "Оставаться в трее после запуска");
    Wait = FindWindowExA(options, nullptr, "Edit", nullptr);
    const HWND group = FindWindowExA(options, nullptr, "Button", " Лумо по умолчанию ");
    Old = FindWindowExA(group, nullptr, "Edit", nullptr);
    Browse = FindWindowExA(group, nullptr, "Button", "Обзор...");
    NowDefault = FindWindowExA(group, nullptr, "Button", "Поклеить сейчас!");
    return Tree && Add && Del && Change && Run && Tray && Wait && Old && Browse && NowDefault;
}

bool TLumoView::Answers(HWND window, DWORD milliseconds) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &result) != 0;
}

std::string TLumoView::Text(HWND window) const {
    bool answered = false;
    const LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0, &answered);
    if (!answered || length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             kAnswerTime, &copied))
        return {};
    text.resize(copied);
    return text;
}

bool TLumoView::Read(TWindowState& state) const {
    state = TWindowState{};
    if (!IsWindow(Main) || !IsWindow(Tree)) return false;
    bool answered = false;
    const auto next = [&](HTREEITEM item, UINT relation) {
        return reinterpret_cast<HTREEITEM>(
            Ask(Tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), &answered));
    };
    // Depth-first walk, as the program writes its list.
    std::vector<std::pair<HTREEITEM, int>> open;  // items whose children are being walked
    int parent = -1;
    for (HTREEITEM item = next(nullptr, TVGN_ROOT); item;) {
        if (!answered) return false;
        TVITEMA data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = buffer_.At(kTextOffset);
        data.cchTextMax = static_cast<int>(kBufferSize - kTextOffset);
        if (!buffer_.Write(0, &data, sizeof data)) return false;
        Ask(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer_.At(0)), &answered);
        if (!answered || !buffer_.Read(buffer_.At(0), &data, sizeof data)) return false;
        std::vector<char> text(kBufferSize - kTextOffset, '\0');
        if (!buffer_.Read(data.pszText, text.data(), text.size() - 1)) return false;
        std::string row = text.data();
        state.Missing.push_back(WithoutMark(row, kMissingPicture));
        WithoutMark(row, kNotADay);
        state.Tree.push_back({parent, row});
        state.Items.push_back(item);
        if (HTREEITEM child = next(item, TVGN_CHILD)) {
            open.emplace_back(item, parent);
            parent = static_cast<int>(state.Tree.size() - 1);
            item = child;
            continue;
        }
        item = next(item, TVGN_NEXT);
        while (!item && !open.empty() && answered) {
            item = next(open.back().first, TVGN_NEXT);
            parent = open.back().second;
            open.pop_back();
        }
    }
    if (!answered) return false;
    state.Selected = next(nullptr, TVGN_CARET);
    const auto edit = reinterpret_cast<HWND>(Ask(Tree, TVM_GETEDITCONTROL, 0, 0, &answered));
    state.Editing = edit != nullptr;
    if (edit) state.Typed = Text(edit);
    state.StayInTray = Ask(Tray, BM_GETCHECK, 0, 0, &answered) == BST_CHECKED;
    if (!answered) return false;
    state.Wait = Text(Wait);
    state.Old = Text(Old);
    return IsWindow(Main);
}

RECT TLumoView::ItemRect(HTREEITEM item) const {
    RECT r{};
    memcpy(&r, &item, sizeof item);
    bool answered = false;
    if (!buffer_.Write(0, &r, sizeof r) ||
        !Ask(Tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer_.At(0)), &answered) || !answered ||
        !buffer_.Read(buffer_.At(0), &r, sizeof r))
        return RECT{};
    RECT client{};
    GetClientRect(Tree, &client);
    if (r.bottom <= client.top || r.top >= client.bottom || r.left >= client.right) return RECT{};
    MapWindowPoints(Tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT TLumoView::TabRect(int index) const {
    RECT r{};
    bool answered = false;
    if (!Ask(Tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer_.At(0)), &answered) ||
        !answered || !buffer_.Read(buffer_.At(0), &r, sizeof r))
        return RECT{};
    MapWindowPoints(Tabs, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TLumoView::ActivePage() const { return static_cast<int>(Ask(Tabs, TCM_GETCURSEL, 0, 0)); }

bool TLumoView::IconShown() const {
    // Changing nothing of an icon succeeds exactly when the shell holds it.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = Main;
    return Main && Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool TLumoView::WineDialogKey(USHORT value) const {
    // Wine's open dialog leaves one key of its recently-used list open per run (a leak of the
    // system's dialog, not of the program): such keys are not counted.
    HANDLE copy = nullptr;
    if (!DuplicateHandle(process_, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), GetCurrentProcess(), &copy,
                         0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    std::vector<char> name(2048);
    ULONG length = 0;
    bool key = false;
    if (NtQueryObject(copy, static_cast<OBJECT_INFORMATION_CLASS>(1), name.data(), static_cast<ULONG>(name.size()),
                      &length) == 0) {  // ObjectNameInformation
        const auto* text = reinterpret_cast<const UNICODE_STRING*>(name.data());
        const std::wstring_view path(text->Buffer ? text->Buffer : L"", text->Length / sizeof(wchar_t));
        key = path.ends_with(L"\\ComDlg32\\LastVisitedMRU");
    }
    CloseHandle(copy);
    return key;
}

TCounts TLumoView::Counts() const {
    TCounts counts;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    UINT64 table = 0;
    if (NtQueryInformationProcess(process_, ProcessBasicInformation, &basic, sizeof basic, &length) == 0 &&
        ReadProcessMemory(process_, reinterpret_cast<char*>(basic.PebBaseAddress) + kPebGdiTable, &table, sizeof table,
                          nullptr)) {
        // Entries are handed out from the start: stop at the first block without any.
        std::vector<unsigned char> block(4096 * kGdiEntrySize);
        for (size_t first = 0; table && first < kGdiEntries; first += 4096) {
            if (!ReadProcessMemory(process_, reinterpret_cast<void*>(table + first * kGdiEntrySize), block.data(),
                                   block.size(), nullptr))
                break;
            long used = 0;
            for (size_t i = 0; i < 4096; ++i) used += block[i * kGdiEntrySize + kGdiTypeOffset] != 0;
            if (used == 0) break;
            counts.Gdi += used;
        }
    }
    std::vector<char> handles(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), handles.data(),
                                              static_cast<ULONG>(handles.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004))  // the buffer is too small
        handles.resize(handles.size() * 2);
    if (status == 0) {
        ULONG total = 0;
        memcpy(&total, handles.data(), sizeof total);
        const auto* entries = reinterpret_cast<const THandleEntry*>(handles.data() + sizeof(ULONG_PTR));
        for (ULONG i = 0; i < total; ++i)
            if (entries[i].Process == id_ && !WineDialogKey(entries[i].Value)) ++counts.Handles;
    }
    EachWindowOf(id_, [&](HWND window) {
        ++counts.Windows;
        EnumChildWindows(
            window,
            [](HWND, LPARAM data) -> BOOL {
                ++*reinterpret_cast<long*>(data);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&counts.Windows));
    });
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        counts.PrivateKb = static_cast<long>(memory.PagefileUsage / 1024);
    return counts;
}
