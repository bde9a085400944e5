#include "open_dialog_driver.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <atomic>

#include "base/exceptions.h"
#include "support/dialog_driver.h"
#include "support/test_support.h"

namespace open_dialog_test {

namespace {

// Closes what a run may leave over the dialog (its boxes, the Preview window), then the
// dialog itself.
void CloseEverything(DWORD thread, HWND dialog) {
    if (HWND box = FindTopWindow(
            {0, thread, "#32770", nullptr, [dialog](HWND w) { return w != dialog && IsWindowVisible(w); }}))
        PostMessageA(box, WM_CLOSE, 0, 0);
    else if (HWND preview = FindTopWindow({0, thread, "TPreviewForm", nullptr, nullptr}))
        PostMessageA(preview, WM_CLOSE, 0, 0);
    else if (dialog && IsWindow(dialog))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

void TDialogScript::WaitFor(const std::function<bool()>& condition, const std::string& what, DWORD milliseconds) {
    if (!WaitUntil(condition, milliseconds)) throw TScriptFailure("timed out waiting for " + what);
}

void TDialogScript::Check(bool condition, const std::string& what) {
    if (!condition) throw TScriptFailure("check failed: " + what);
}

std::string TDialogScript::Text(HWND window) { return window ? CaptionOf(window) : "<no window>"; }

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

void TDialogScript::WaitForEntry(const std::string& name) {
    WaitFor(
        [&] {
            HWND list = FileList(window_);
            return list && FindEntry(list, WidePath(name)) >= 0;
        },
        "the entry " + name + " in the file list");
}

TRunResult RunDialog(TOpenPictureDialog& dialog, const std::function<void(TDialogScript&)>& script, HWND owner) {
    TRunResult result;
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> closed{false};
    TDialogDriver driver = TDialogDriver::Run(GetCurrentProcessId(), [&](HWND window) {
        try {
            TDialogScript::WaitFor([&] { return dialog.Pane().PicturePanel.Handle() != nullptr; }, "the pane");
            TDialogScript run(dialog, window);
            script(run);
        } catch (const std::exception& failure) {
            result.Failure = failure.what();
        }
        // A script that pressed a button lets the dialog close by itself first.
        WaitUntil([&] { return closed.load(); }, 2000);
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
    driver.Answered();
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

}  // namespace open_dialog_test
