// The pane's selection rule on its own, attached to a window of the test: the paths that a
// platform dialog may report, a folder among them.
#include <gtest/gtest.h>

#include <windows.h>

#include "open_dialog/open_dialog_pane_win.h"
#include "open_dialog_driver.h"
#include "pictures/picture_win.h"
#include "pictures_test_files.h"
#include "support/test_support.h"

using namespace open_dialog_test;

namespace {

// A top-level window that stands in for the dialog, destroyed at the end.
class THostWindow {
public:
    THostWindow()
        : handle_(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPED | WS_CAPTION, 0, 0, 500, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr)) {}
    ~THostWindow() { DestroyWindow(handle_); }
    THostWindow(const THostWindow&) = delete;
    THostWindow& operator=(const THostWindow&) = delete;
    HWND Get() const { return handle_; }

private:
    HWND handle_;
};

class OpenDialogPaneRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        WriteFileBytes(folder_.File("photo.bmp"), picture_test::SolidBitmap(64, 48, RGB(10, 20, 30)));
        WriteFileBytes(folder_.File("empty.bmp"), "");
        WriteFileBytes(folder_.File("notes.txt"), "text");
        CreateDirectoryA(folder_.File("sub").c_str(), nullptr);
        pane_.Attach(host_.Get(), RECT{300, 4, 480, 260});
    }
    std::string Label() const { return TDialogScript::Text(pane_.PictureLabel.Handle()); }
    std::string Caption() const { return TDialogScript::Text(pane_.PaintPanel.Handle()); }
    bool ButtonEnabled() const { return IsWindowEnabled(pane_.PreviewButton.Handle()) != FALSE; }

    TTempFolder folder_;
    TPicturePane pane_;
    THostWindow host_;  // destroyed first: the pane's windows go with it
};

}  // namespace

TEST_F(OpenDialogPaneRuleTest, SameFileAfterAFolderIsReadAgain) {
    pane_.SelectionChanged(folder_.File("photo.bmp"));
    EXPECT_EQ(Label(), " (64x48)");
    EXPECT_EQ(Caption(), "");
    EXPECT_TRUE(ButtonEnabled());
    EXPECT_EQ(pane_.PaintBox.Picture.Width(), 64);

    WriteFileBytes(folder_.File("photo.bmp"), picture_test::SolidBitmap(32, 16, RGB(10, 20, 30)));
    // The same path again: nothing is read.
    pane_.SelectionChanged(folder_.File("photo.bmp"));
    EXPECT_EQ(Label(), " (64x48)");

    pane_.SelectionChanged(folder_.File("sub"));
    EXPECT_EQ(Label(), "Picture:");
    EXPECT_EQ(Caption(), "(None)");
    EXPECT_FALSE(ButtonEnabled());
    EXPECT_TRUE(pane_.PaintBox.Picture.Empty());

    pane_.SelectionChanged(folder_.File("photo.bmp"));
    EXPECT_EQ(Label(), " (32x16)");
    EXPECT_TRUE(ButtonEnabled());
}

TEST_F(OpenDialogPaneRuleTest, WhatIsNoPicture) {
    std::vector<std::string> noPictures = {
        folder_.File("missing.bmp"), folder_.File("notes.txt"), folder_.File("sub"), folder_.Path(), "",
        folder_.File("*.zzz")};
    // Small files of each kind whose pictures pass the program's limit: refused silently.
    for (const picture_test::TOversizedFile& file : picture_test::OversizedPictureFiles()) {
        WriteFileBytes(folder_.File(file.name), file.bytes);
        noPictures.push_back(folder_.File(file.name));
    }
    for (const std::string& path : noPictures) {
        pane_.SelectionChanged(folder_.File("photo.bmp"));
        ASSERT_EQ(Label(), " (64x48)");
        pane_.SelectionChanged(path);
        EXPECT_EQ(Label(), "Picture:") << path;
        EXPECT_EQ(Caption(), "(None)") << path;
        EXPECT_FALSE(ButtonEnabled()) << path;
        EXPECT_TRUE(pane_.PaintBox.Picture.Empty()) << path;
    }
    // A 0-byte bitmap loads: an empty picture of 0 x 0, shown as one.
    pane_.SelectionChanged(folder_.File("empty.bmp"));
    EXPECT_EQ(Label(), " (0x0)");
    EXPECT_EQ(Caption(), "");
    EXPECT_TRUE(ButtonEnabled());
}

TEST_F(OpenDialogPaneRuleTest, AttachingAgainStartsAfresh) {
    pane_.SelectionChanged(folder_.File("photo.bmp"));
    ASSERT_EQ(Label(), " (64x48)");
    // The dialog shows again: a new set of windows, no picture, nothing remembered.
    DestroyWindow(pane_.PicturePanel.Handle());
    pane_.Attach(host_.Get(), RECT{300, 4, 480, 260});
    EXPECT_EQ(Label(), "");
    EXPECT_EQ(Caption(), "(None)");
    EXPECT_FALSE(ButtonEnabled());
    EXPECT_TRUE(pane_.PaintBox.Picture.Empty());
    pane_.SelectionChanged(folder_.File("photo.bmp"));
    EXPECT_EQ(Label(), " (64x48)");
}
