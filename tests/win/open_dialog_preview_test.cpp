// The open dialog's Preview window, opened from the pane's button and by a double click on the
// picture: its size rule on a 1024 x 768 monitor, the picture inside it, Esc and the close box.
#include <gtest/gtest.h>

#include <windows.h>

#include "open_dialog_driver.h"
#include "pictures/picture_win.h"
#include "pictures_test_files.h"
#include "support/test_support.h"

using namespace open_dialog_test;

namespace {

constexpr COLORREF kMidColour = RGB(250, 200, 0), kBigColour = RGB(30, 160, 90), kIconColour = RGB(200, 30, 160);

struct TPreviewSeen {
    SIZE Client{}, Image{};
    bool ToolWindow = false, Sizeable = false, DialogDisabled = false, Centred = false;
    std::string Caption;
    COLORREF Centre = 0, LeftEdge = 0;
};

// Waits for the Preview window of the dialog's thread and notes what it shows.
HWND WaitForPreview(TDialogScript& s, TPreviewSeen& seen) {
    const DWORD thread = GetWindowThreadProcessId(s.Dialog(), nullptr);
    HWND preview = nullptr;
    TDialogScript::WaitFor(
        [&] {
            preview = FindTopWindow({0, thread, "TPreviewForm", nullptr, nullptr});
            return preview && IsWindowVisible(preview);
        },
        "the Preview window");
    RECT r;
    GetClientRect(preview, &r);
    seen.Client = {r.right, r.bottom};
    seen.Caption = TDialogScript::Text(preview);
    seen.ToolWindow = (GetWindowLongPtrA(preview, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    seen.Sizeable = (GetWindowLongPtrA(preview, GWL_STYLE) & WS_THICKFRAME) != 0;
    seen.DialogDisabled = !IsWindowEnabled(s.Dialog());
    GetWindowRect(preview, &r);
    seen.Centred = r.left == (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2 &&
                   r.top == (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    HWND panel = FindWindowExA(preview, nullptr, "TPreviewPanel", nullptr);
    HWND image = FindWindowExA(panel, nullptr, "TImage", nullptr);
    TDialogScript::Check(image != nullptr, "the Preview window's image");
    GetClientRect(image, &r);
    seen.Image = {r.right, r.bottom};
    // The picture as the window paints it: centred, the window colour beside it.
    const TPrinted printed(image);
    seen.Centre = printed.At(printed.Width / 2, printed.Height / 2);
    seen.LeftEdge = printed.At(0, printed.Height / 2);
    return preview;
}

void WaitUntilGone(HWND window) {
    TDialogScript::WaitFor([&] { return !IsWindow(window); }, "the Preview window to close");
}

// Clicks the pane's Preview button once it is enabled, and waits for the Preview window.
HWND OpenWithTheButton(TDialogScript& s, TPreviewSeen& seen) {
    TDialogScript::WaitFor([&] { return s.PreviewEnabled(); }, "the Preview button");
    HWND button = s.Pane().PreviewButton.Handle();
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return WaitForPreview(s, seen);
}

// Esc, as the keyboard gives it.
void CloseWithEsc(HWND preview) {
    PostMessageA(preview, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    WaitUntilGone(preview);
}

class OpenDialogPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        WriteFileBytes(folder_.File("mid.bmp"), picture_test::SolidBitmap(640, 480, kMidColour));
        WriteFileBytes(folder_.File("big.bmp"), picture_test::SolidBitmap(1600, 1200, kBigColour));
        WriteFileBytes(folder_.File("only48.ico"),
                       picture_test::MakeIcon({{48, 48, 0, picture_test::MakeIconImage(48, 48, kIconColour, 48)}}));
    }
    TTempFolder folder_;
    TOpenPictureDialog dialog_;
};

}  // namespace

TEST_F(OpenDialogPreviewTest, SizedToThePictureUpToThreeQuartersOfTheMonitor) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    ASSERT_EQ(monitor.rcMonitor.right - monitor.rcMonitor.left, 1024);
    ASSERT_EQ(monitor.rcMonitor.bottom - monitor.rcMonitor.top, 768);

    TPreviewSeen mid, big;
    bool dialogAfterEsc = false, dialogAfterClose = false;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        s.TypeFileName(folder_.Path() + "*.*");
        s.PressOk();
        s.WaitForEntry("mid.bmp");
        TDialogScript::Check(s.SelectEntry("mid.bmp"), "mid.bmp");
        HWND preview = OpenWithTheButton(s, mid);
        // Esc closes the Preview window and leaves the dialog.
        CloseWithEsc(preview);
        dialogAfterEsc = IsWindowVisible(s.Dialog()) && IsWindowEnabled(s.Dialog());

        TDialogScript::Check(s.SelectEntry("big.bmp"), "big.bmp");
        TDialogScript::WaitFor([&] { return s.PictureLabel() == " (1600x1200)"; }, "the big picture");
        // A double click on the picture.
        HWND box = s.Pane().PaintBox.Handle();
        PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        preview = WaitForPreview(s, big);
        PostMessageA(preview, WM_SYSCOMMAND, SC_CLOSE, 0);
        WaitUntilGone(preview);
        dialogAfterClose = IsWindowVisible(s.Dialog()) && IsWindowEnabled(s.Dialog());
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_FALSE(run.Confirmed);

    // 640 x 480: shown at its own size inside the panel's border line and 5-pixel margin.
    EXPECT_EQ(mid.Caption, "Preview");
    EXPECT_TRUE(mid.ToolWindow);
    EXPECT_TRUE(mid.Sizeable);
    EXPECT_TRUE(mid.DialogDisabled);
    EXPECT_TRUE(mid.Centred);
    EXPECT_EQ(mid.Client.cx, 652);
    EXPECT_EQ(mid.Client.cy, 492);
    EXPECT_EQ(mid.Image.cx, 640);
    EXPECT_EQ(mid.Image.cy, 480);
    EXPECT_EQ(mid.Centre, kMidColour);
    EXPECT_EQ(mid.LeftEdge, kMidColour);
    EXPECT_TRUE(dialogAfterEsc);

    // 1600 x 1200: the client area capped at 768 x 576, the picture scaled down to fit.
    EXPECT_EQ(big.Client.cx, 768);
    EXPECT_EQ(big.Client.cy, 576);
    EXPECT_EQ(big.Image.cx, 756);
    EXPECT_EQ(big.Image.cy, 564);
    EXPECT_EQ(big.Centre, kBigColour);
    EXPECT_EQ(big.LeftEdge, GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(big.Centred);
    EXPECT_TRUE(dialogAfterClose);
}

TEST_F(OpenDialogPreviewTest, HoldsACopyOfWhatThePaneShows) {
    TPreviewSeen icon, rewritten, deleted;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        s.TypeFileName(folder_.Path() + "*.*");
        s.PressOk();
        s.WaitForEntry("only48.ico");
        const auto openPreview = [&](TPreviewSeen& seen) { CloseWithEsc(OpenWithTheButton(s, seen)); };
        // An icon holding only a 48 x 48 image, drawn in the pane: from then on it is 48 x 48.
        TDialogScript::Check(s.SelectEntry("only48.ico"), "only48.ico");
        TDialogScript::WaitFor([&] { return s.PictureLabel() == " (32x32)"; }, "the icon");
        const TPrinted pane(s.Pane().PaintBox.Handle());  // the pane's drawing builds it
        TDialogScript::Check(pane.Count(kIconColour) == 48 * 48, "the icon drawn in the pane");
        openPreview(icon);

        // A file rewritten, then deleted, after the pane showed it: the Preview shows what the
        // pane shows.
        TDialogScript::Check(s.SelectEntry("mid.bmp"), "mid.bmp");
        TDialogScript::WaitFor([&] { return s.PictureLabel() == " (640x480)"; }, "the picture");
        WriteFileBytes(folder_.File("mid.bmp"), picture_test::SolidBitmap(100, 50, kBigColour));
        openPreview(rewritten);
        DeleteFileA(folder_.File("mid.bmp").c_str());
        openPreview(deleted);
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");

    // The 48 x 48 icon at its own size inside the 5-pixel margin and the border line; the
    // system keeps a captioned window wider than that.
    EXPECT_GE(icon.Client.cx, 60);
    EXPECT_EQ(icon.Client.cy, 60);
    EXPECT_EQ(icon.Image.cy, 48);
    EXPECT_EQ(icon.Centre, kIconColour);
    for (const TPreviewSeen* seen : {&rewritten, &deleted}) {
        EXPECT_EQ(seen->Client.cx, 652);
        EXPECT_EQ(seen->Client.cy, 492);
        EXPECT_EQ(seen->Centre, kMidColour);
    }
}
