#include "open_dialog_driver.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "base/exceptions.h"
#include "open_dialog/ansi_path_win.h"

namespace open_dialog_test {

namespace {

struct TSearch {
    const char* ClassName;
    const char* Caption;
    std::function<bool(HWND)> Accept;
    HWND Found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TSearch*>(data);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, search->ClassName) != 0) return TRUE;
    if (search->Caption && TDialogScript::Text(window) != search->Caption) return TRUE;
    if (search->Accept && !search->Accept(window)) return TRUE;
    search->Found = window;
    return FALSE;
}

HWND FindFileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, cmb13)) return combo;
    return GetDlgItem(dialog, edt1);
}

// The open dialog of a thread: a visible dialog window with a file-name box.
HWND FindOpenDialog(DWORD thread) {
    TSearch search{"#32770", nullptr, [](HWND w) { return IsWindowVisible(w) && FindFileNameBox(w); }};
    EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Closes what a run may leave over the dialog (its boxes, the Preview window), then the
// dialog itself.
void CloseEverything(DWORD thread, HWND dialog) {
    TSearch boxes{"#32770", nullptr, [dialog](HWND w) { return w != dialog && IsWindowVisible(w); }};
    EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&boxes));
    if (boxes.Found) {
        PostMessageA(boxes.Found, WM_CLOSE, 0, 0);
        return;
    }
    if (HWND preview = FindThreadWindow(thread, "TPreviewForm", nullptr)) {
        PostMessageA(preview, WM_CLOSE, 0, 0);
        return;
    }
    if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

HWND FindThreadWindow(DWORD thread, const char* className, const char* caption) {
    TSearch search{className, caption, nullptr};
    EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void TDialogScript::WaitFor(const std::function<bool()>& condition, const std::string& what, int milliseconds) {
    for (int waited = 0;; waited += 20) {
        if (condition()) return;
        if (waited >= milliseconds) throw TScriptFailure("timed out waiting for " + what);
        Sleep(20);
    }
}

void TDialogScript::Check(bool condition, const std::string& what) {
    if (!condition) throw TScriptFailure("check failed: " + what);
}

std::string TDialogScript::Text(HWND window) {
    if (!window) return "<no window>";
    char buffer[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

HWND TDialogScript::FileNameBox() const { return FindFileNameBox(window_); }

void TDialogScript::TypeFileName(const std::string& text) { TypeFileName(WideText(text)); }

void TDialogScript::TypeFileName(const std::wstring& text) {
    SendMessageW(FileNameBox(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int TDialogScript::FilterChoice() const {
    return static_cast<int>(SendDlgItemMessageA(window_, cmb1, CB_GETCURSEL, 0, 0)) + 1;
}

void TDialogScript::ChooseFilter(int choice) {
    HWND combo = GetDlgItem(window_, cmb1);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(choice - 1), 0);
    // A choice made with the mouse reports both the change and its end.
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

void TDialogScript::PressOk() {
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_, IDOK)));
}

void TDialogScript::PressCancel() {
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_, IDCANCEL)));
}

HWND TDialogScript::FileList() const {
    struct TFind {
        HWND Found = nullptr;
    } find;
    EnumChildWindows(
        window_,
        [](HWND w, LPARAM data) -> BOOL {
            char name[64] = {};
            GetClassNameA(w, name, sizeof name);
            if (std::strcmp(name, WC_LISTVIEWA) != 0) return TRUE;
            reinterpret_cast<TFind*>(data)->Found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

int TDialogScript::FindEntry(HWND list, const std::wstring& name) const {
    const std::wstring stem = name.substr(0, name.rfind(L'.'));
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (name == text || stem == text) return i;
    }
    return -1;
}

void TDialogScript::WaitForEntry(const std::string& name) {
    WaitFor(
        [&] {
            HWND list = FileList();
            return list && FindEntry(list, WideText(name)) >= 0;
        },
        "the entry " + name + " in the file list");
}

bool TDialogScript::SelectEntry(const std::string& name) { return SelectEntry(WideText(name)); }

bool TDialogScript::SelectEntry(const std::wstring& name) {
    HWND list = FileList();
    if (!list) return false;
    const int index = FindEntry(list, name);
    if (index < 0) return false;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    return true;
}

TRunResult RunDialog(TOpenPictureDialog& dialog, const std::function<void(TDialogScript&)>& script, HWND owner) {
    TRunResult result;
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> closed{false};
    std::thread worker([&] {
        HWND window = nullptr;
        try {
            TDialogScript::WaitFor([&] { return (window = FindOpenDialog(thread)) != nullptr; }, "the open dialog",
                                   20000);
            result.DialogFound = true;
            TDialogScript::WaitFor([&] { return dialog.Pane().PicturePanel.Handle() != nullptr; }, "the pane");
            TDialogScript run(dialog, window);
            script(run);
        } catch (const std::exception& failure) {
            result.Failure = failure.what();
        }
        // A script that pressed a button lets the dialog close by itself first.
        for (int waited = 0; !closed && waited < 2000; waited += 20) Sleep(20);
        while (!closed) {
            CloseEverything(thread, window);
            Sleep(100);
        }
    });
    // The dialog makes the chosen folder the current one; the test's folders must stay removable.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    try {
        result.Confirmed = dialog.Execute(owner);
    } catch (const Exception& failure) {
        result.Failure += " Execute raised: " + failure.Message();
    }
    SetCurrentDirectoryA(current);
    closed = true;
    worker.join();
    return result;
}

TPrinted::TPrinted(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    Width = r.right;
    Height = r.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        DeleteDC(dc);
        throw TScriptFailure("no bitmap to print into");
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < Width * Height; ++i)
        Pixels.push_back(RGB(pixels[i] >> 16 & 0xFF, pixels[i] >> 8 & 0xFF, pixels[i] & 0xFF));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

int TPrinted::Count(COLORREF colour) const {
    return static_cast<int>(std::count(Pixels.begin(), Pixels.end(), colour));
}

std::string SolidBitmapFile(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const int pixels = stride * height;
    std::string file(54 + pixels, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    put32(26, 1 | (24 << 16));
    put32(34, static_cast<uint32_t>(pixels));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y) * stride + x * 3;
            file[at] = static_cast<char>(GetBValue(colour));
            file[at + 1] = static_cast<char>(GetGValue(colour));
            file[at + 2] = static_cast<char>(GetRValue(colour));
        }
    return file;
}

}  // namespace open_dialog_test
