// The open dialog's preview pane, driven through the dialog's own file list: its states for a
// picture, a file it cannot show and a picture that fails while drawing, its layout, and the
// Preview window with its size rule.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

#include "../unit/pictures_test_support.h"
#include "open_dialog_driver.h"
#include "pictures/picture_win.h"
#include "support/test_support.h"

using namespace open_dialog_test;

namespace {

constexpr COLORREF kPhotoColour = RGB(0, 128, 255);

// A progressive JPEG whose second scan asks for an impossible band of coefficients: its header
// reads, its decoding fails at the first drawing.
picture_test::Bytes JpegFailingWhileDecoding() {
    picture_test::TJpegPicture layout;
    layout.progressive = true;
    std::vector<uint8_t> file = picture_test::WriteJpeg(layout);
    const uint8_t marker[] = {0xFF, 0xDA};
    auto sos = std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
    sos = std::search(sos + 2, file.end(), std::begin(marker), std::end(marker));
    if (sos == file.end()) return {};
    const size_t components = sos[4];
    sos[5 + 2 * components] = 5;      // Ss
    sos[5 + 2 * components + 1] = 1;  // Se below Ss
    return file;
}

// An icon file with one 16 x 16 image of 32 bits per pixel.
picture_test::Bytes SmallIcon() {
    picture_test::TWriter image;
    image.U32(40).I32(16).I32(32).U16(1).U16(32).U32(0).U32(0).I32(0).I32(0).U32(0).U32(0);
    for (int i = 0; i < 16 * 16; ++i) image.U32(0xFF20A040);
    image.Fill(16 * 4, 0);  // the mask: every pixel drawn
    picture_test::TIconEntryLayout entry;
    entry.width = entry.height = 16;
    entry.image = image.bytes;
    return picture_test::MakeIcon({entry});
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

RECT BoundsIn(HWND window, HWND parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class OpenDialogPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        WriteFileBytes(folder_.File("photo.bmp"), picture_test::SolidBitmap(64, 48, kPhotoColour));
        WriteFileBytes(folder_.File("anim.gif"), "GIF89a\x01\0\x01\0\0\0\0;");
        WriteFileBytes(folder_.File("broken.jpg"), JpegFailingWhileDecoding());
        WriteFileBytes(folder_.File("small.ico"), SmallIcon());
        WriteFileBytes(folder_.File("typed.png"), picture_test::MakePng(5, 3, 2, picture_test::Bytes(45, 0x80)));
    }

    // Opens the test folder with every file shown, as typing a pattern does.
    void OpenFolder(TDialogScript& s) const {
        s.TypeFileName(folder_.Path() + "*.*");
        s.PressOk();
        s.WaitForEntry("anim.gif");
    }
    static void Select(TDialogScript& s, const std::string& name) {
        TDialogScript::Check(s.SelectEntry(name), "the entry " + name);
    }
    static void WaitForLabel(TDialogScript& s, const std::string& text) {
        TDialogScript::WaitFor([&] { return s.PictureLabel() == text; }, "the label \"" + text + "\"");
    }
    // No box of the program or of the dialog is shown over the dialog.
    static void CheckNoBox(TDialogScript& s) {
        const DWORD thread = GetWindowThreadProcessId(s.Dialog(), nullptr);
        HWND box = FindTopWindow({0, thread, "#32770", nullptr, nullptr});
        TDialogScript::Check(box == s.Dialog() || box == nullptr || !IsWindowVisible(box), "no message box");
    }

    TTempFolder folder_;
    TOpenPictureDialog dialog_;
};

}  // namespace

TEST_F(OpenDialogPaneTest, StartsEmptyThenShowsThePictureWithItsSize) {
    std::string label, caption, hint;
    bool enabled = true;
    std::string pictureLabel, pictureCaption;
    bool pictureEnabled = false;
    COLORREF centre = 0, corner = 0;
    HWND hintWindow = nullptr;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        label = s.PictureLabel();
        caption = s.PaintCaption();
        enabled = s.PreviewEnabled();
        hintWindow = s.Pane().PreviewButton.HintWindow();
        char text[64] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = GetParent(s.Pane().PreviewButton.Handle());
        tool.uId = reinterpret_cast<UINT_PTR>(s.Pane().PreviewButton.Handle());
        tool.uFlags = TTF_IDISHWND;
        tool.lpszText = text;
        SendMessageA(hintWindow, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        hint = text;

        OpenFolder(s);
        Select(s, "photo.bmp");
        WaitForLabel(s, " (64x48)");
        pictureLabel = s.PictureLabel();
        pictureCaption = s.PaintCaption();
        pictureEnabled = s.PreviewEnabled();
        const TPrinted box(s.Pane().PaintBox.Handle());
        centre = box.At(box.Width / 2, box.Height / 2);
        corner = box.At(0, 0);
        CheckNoBox(s);
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    // The platform may report the folder it opens as a first selection, which is no picture.
    EXPECT_TRUE(label == "" || label == "Picture:") << label;
    EXPECT_EQ(caption, "(None)");
    EXPECT_FALSE(enabled);
    EXPECT_EQ(hint, "Preview");
    EXPECT_EQ(pictureLabel, " (64x48)");
    EXPECT_EQ(pictureCaption, "");
    EXPECT_TRUE(pictureEnabled);
    // Stretched with its ratio kept and centred: the middle is the picture's, and the panel's
    // face shows above or beside it.
    EXPECT_EQ(centre, kPhotoColour);
    EXPECT_EQ(corner, GetSysColor(COLOR_BTNFACE));
    // The hint goes with the dialog.
    EXPECT_FALSE(IsWindow(hintWindow));
}

TEST_F(OpenDialogPaneTest, SitsRightOfTheStandardControls) {
    RECT panel{}, standard{}, label{}, paint{}, button{}, box{}, hook{};
    int oliveDisabled = -1, oliveEnabled = -1, tealDisabled = -1, tealEnabled = -1;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        TPicturePane& pane = s.Pane();
        // The glyph: its olive background transparent, its lens teal only while enabled.
        HWND glyph = pane.PreviewButton.Handle();
        oliveDisabled = TPrinted(glyph).Count(RGB(128, 128, 0));
        tealDisabled = TPrinted(glyph).Count(RGB(0, 128, 128));
        OpenFolder(s);
        Select(s, "photo.bmp");
        TDialogScript::WaitFor([&] { return s.PreviewEnabled(); }, "the button enabled");
        oliveEnabled = TPrinted(glyph).Count(RGB(128, 128, 0));
        tealEnabled = TPrinted(glyph).Count(RGB(0, 128, 128));
        HWND template_ = GetParent(pane.PicturePanel.Handle());
        GetClientRect(template_, &hook);
        standard = BoundsIn(GetDlgItem(template_, stc32), template_);
        panel = BoundsIn(pane.PicturePanel.Handle(), template_);
        label = BoundsIn(pane.PictureLabel.Handle(), pane.PicturePanel.Handle());
        paint = BoundsIn(pane.PaintPanel.Handle(), pane.PicturePanel.Handle());
        button = BoundsIn(pane.PreviewButton.Handle(), pane.PicturePanel.Handle());
        box = BoundsIn(pane.PaintBox.Handle(), pane.PaintPanel.Handle());
        TDialogScript::Check(GetParent(template_) == s.Dialog(), "the template inside the dialog");
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(panel.left, standard.right);
    EXPECT_EQ(panel.top, hook.top + 4);
    EXPECT_EQ(panel.right, hook.right);
    EXPECT_EQ(panel.bottom, hook.bottom);
    EXPECT_GT(panel.right - panel.left, 100);
    const int width = panel.right - panel.left, height = panel.bottom - panel.top;
    EXPECT_EQ(Text(label), Text({6, 6, width - 6, 29}));
    EXPECT_EQ(Text(paint), Text({6, 29, width - 6, height - 6}));
    EXPECT_EQ(Text(button), Text({paint.right - 25, 1, paint.right - 2, 23}));
    EXPECT_EQ(Text(box), Text({2, 2, paint.right - paint.left - 2, paint.bottom - paint.top - 2}));
    EXPECT_EQ(oliveDisabled, 0);
    EXPECT_EQ(oliveEnabled, 0);
    EXPECT_EQ(tealDisabled, 0);
    EXPECT_GT(tealEnabled, 10);
}

TEST_F(OpenDialogPaneTest, FollowsTheDialogsSize) {
    RECT before{}, after{}, standard{}, hook{}, paint{};
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        TPicturePane& pane = s.Pane();
        HWND template_ = GetParent(pane.PicturePanel.Handle());
        before = BoundsIn(pane.PicturePanel.Handle(), template_);
        RECT r;
        GetWindowRect(s.Dialog(), &r);
        SetWindowPos(s.Dialog(), nullptr, 0, 0, r.right - r.left + 120, r.bottom - r.top + 90,
                     SWP_NOMOVE | SWP_NOZORDER);
        TDialogScript::WaitFor(
            [&] {
                GetClientRect(template_, &hook);
                after = BoundsIn(pane.PicturePanel.Handle(), template_);
                paint = BoundsIn(pane.PaintPanel.Handle(), pane.PicturePanel.Handle());
                return after.bottom == hook.bottom && paint.bottom == after.bottom - after.top - 6;
            },
            "the pane to follow");
        standard = BoundsIn(GetDlgItem(template_, stc32), template_);
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(after.left, standard.right);
    EXPECT_EQ(after.right, hook.right);
    EXPECT_EQ(after.bottom - before.bottom, 90);
}

TEST_F(OpenDialogPaneTest, FilesItCannotShowGiveNoPictureWithoutAMessage) {
    std::string gifLabel, gifCaption, folderLabel, folderCaption;
    bool gifEnabled = true;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        Select(s, "photo.bmp");
        WaitForLabel(s, " (64x48)");
        Select(s, "anim.gif");
        WaitForLabel(s, "Picture:");
        gifLabel = s.PictureLabel();
        gifCaption = s.PaintCaption();
        gifEnabled = s.PreviewEnabled();
        CheckNoBox(s);
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(gifLabel, "Picture:");
    EXPECT_EQ(gifCaption, "(None)");
    EXPECT_FALSE(gifEnabled);
}

TEST_F(OpenDialogPaneTest, JpegFailingWhileDrawingSaysInvalidImage) {
    std::string label, caption;
    bool enabled = false;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        Select(s, "broken.jpg");
        WaitForLabel(s, " (37x23)");
        TDialogScript::WaitFor([&] { return s.PaintCaption() == "Invalid image"; }, "\"Invalid image\"");
        label = s.PictureLabel();
        caption = s.PaintCaption();
        enabled = s.PreviewEnabled();
        // Drawing it again raises nothing more; the caption stays.
        RedrawWindow(s.Pane().PaintPanel.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(100);
        CheckNoBox(s);
        TDialogScript::Check(s.PaintCaption() == "Invalid image", "the caption stays");
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(label, " (37x23)");
    EXPECT_EQ(caption, "Invalid image");
    EXPECT_TRUE(enabled);
}

TEST_F(OpenDialogPaneTest, IconsShowTheStandardSizeAndTypedPngFilesPreview) {
    std::string icon, png;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        Select(s, "small.ico");
        TDialogScript::WaitFor([&] { return s.PictureLabel() != "" && s.PictureLabel() != "Picture:"; }, "the icon");
        icon = s.PictureLabel();
        Select(s, "typed.png");
        TDialogScript::WaitFor([&] { return s.PictureLabel() != icon; }, "the PNG");
        png = s.PictureLabel();
        CheckNoBox(s);
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(icon, " (" + std::to_string(GetSystemMetrics(SM_CXICON)) + "x" +
                        std::to_string(GetSystemMetrics(SM_CYICON)) + ")");
    EXPECT_EQ(png, " (5x3)");
}

TEST_F(OpenDialogPaneTest, OnlyAChangedSelectionIsReadAgain) {
    std::string first, same, again;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        Select(s, "photo.bmp");
        WaitForLabel(s, " (64x48)");
        first = s.PictureLabel();
        // The file changes on disk. Selecting it again reports the same path: nothing is read.
        WriteFileBytes(folder_.File("photo.bmp"), picture_test::SolidBitmap(32, 16, kPhotoColour));
        Select(s, "photo.bmp");
        Sleep(200);
        same = s.PictureLabel();
        // After another selection in between it is read again.
        Select(s, "anim.gif");
        WaitForLabel(s, "Picture:");
        Select(s, "photo.bmp");
        WaitForLabel(s, " (32x16)");
        again = s.PictureLabel();
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_EQ(first, " (64x48)");
    EXPECT_EQ(same, " (64x48)");
    EXPECT_EQ(again, " (32x16)");
}
