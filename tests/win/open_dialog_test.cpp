// The picture open dialog driven as a user drives it: the chosen files and their order,
// cancelling, what one run leaves for the next, the options, the template and the placement.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include "base/exceptions.h"
#include "open_dialog/ansi_path_win.h"
#include "../support/picture_files.h"
#include "open_dialog_driver.h"
#include "pictures/picture_win.h"
#include "support/test_support.h"

using namespace open_dialog_test;

namespace {

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            WriteFileBytes(folder_.File(name), picture_test::SolidBitmap(8, 6, RGB(200, 40, 40)));
    }
    // The folder without its closing backslash, as typed into the file-name box.
    std::string Folder() const { return folder_.Path().substr(0, folder_.Path().size() - 1); }
    // Opens the test folder in the dialog by typing its path.
    void OpenFolder(TDialogScript& s) const {
        s.TypeFileName(Folder());
        s.PressOk();
        s.WaitForEntry("a.bmp");
    }

    TTempFolder folder_;
    TOpenPictureDialog dialog_;
};

}  // namespace

TEST_F(OpenDialogTest, ChosenFilesComeInTheDialogsOrderAsPathsThatOpenThem) {
    // Names the ANSI code page cannot hold: a short form names the file; the one of a ".jpeg"
    // file ends in ".JPE", which would make it another kind of picture.
    const picture_test::Bytes sakuraBytes = picture_test::SolidBitmap(9, 7, 0x010203),
                              cafeBytes = picture_test::SolidBitmap(10, 7, 0x010203);
    const std::string sakura(sakuraBytes.begin(), sakuraBytes.end()), cafe(cafeBytes.begin(), cafeBytes.end());
    WriteFileBytes(WidePath(folder_.Path()) + L"\u685C.bmp", sakura);
    WriteFileBytes(WidePath(folder_.Path()) + L"Caf\u00E9.bmp", cafe);
    WriteFileBytes(WidePath(folder_.Path()) + L"\u685C.jpeg", cafe);
    std::string paneLabel;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        TDialogScript::Check(s.SelectEntry(L"\u685C.bmp"), "the entry");
        TDialogScript::WaitFor([&] { return (paneLabel = s.PictureLabel()) == " (9x7)"; }, "the preview");
        s.TypeFileName(L"\"c.bmp\" \"\u685C.bmp\" \"a.bmp\" \"\u685C.jpeg\" \"Caf\u00E9.bmp\" \"b.bmp\"");
        s.PressOk();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_TRUE(run.Confirmed);
    ASSERT_EQ(dialog_.Files().size(), 5u);
    EXPECT_EQ(dialog_.Files()[0], folder_.File("c.bmp"));
    EXPECT_EQ(ReadFileBytes(dialog_.Files()[1]), sakura);
    EXPECT_EQ(dialog_.Files()[2], folder_.File("a.bmp"));
    EXPECT_EQ(ReadFileBytes(dialog_.Files()[3]), cafe);
    EXPECT_EQ(dialog_.Files()[4], folder_.File("b.bmp"));
    EXPECT_EQ(dialog_.FileName(), folder_.File("c.bmp"));
    EXPECT_EQ(dialog_.LeftOut(), std::vector<std::string>{folder_.File("?.jpeg")});
}

TEST_F(OpenDialogTest, OneFileGivesOneFullPath) {
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        s.TypeFileName("b.bmp");
        s.PressOk();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_TRUE(run.Confirmed);
    EXPECT_EQ(dialog_.Files(), std::vector<std::string>{folder_.File("b.bmp")});
    EXPECT_EQ(dialog_.FileName(), folder_.File("b.bmp"));
}

TEST_F(OpenDialogTest, CancelEmptiesTheFilesAndKeepsTheRest) {
    ASSERT_EQ(RunDialog(dialog_,
                        [&](TDialogScript& s) {
                            OpenFolder(s);
                            s.ChooseFilter(4);
                            s.TypeFileName("a.bmp");
                            s.PressOk();
                        })
                  .Failure,
              "");
    ASSERT_EQ(dialog_.Files().size(), 1u);
    const TRunResult cancelled = RunDialog(dialog_, [&](TDialogScript& s) {
        s.ChooseFilter(2);
        s.TypeFileName("\"b.bmp\" \"c.bmp\"");
        s.PressCancel();
    });
    ASSERT_EQ(cancelled.Failure, "");
    EXPECT_FALSE(cancelled.Confirmed);
    EXPECT_TRUE(dialog_.Files().empty());
    EXPECT_EQ(dialog_.FileName(), folder_.File("a.bmp"));
    EXPECT_EQ(dialog_.FilterIndex(), 4);
}

TEST_F(OpenDialogTest, NextRunStartsFromTheLastConfirmedOne) {
    std::string firstName, nextName;
    int firstChoice = 0, nextChoice = 0;
    ASSERT_EQ(RunDialog(dialog_,
                        [&](TDialogScript& s) {
                            firstName = s.FileNameText();
                            firstChoice = s.FilterChoice();
                            OpenFolder(s);
                            s.ChooseFilter(4);
                            s.TypeFileName("\"b.bmp\" \"a.bmp\"");
                            s.PressOk();
                        })
                  .Failure,
              "");
    EXPECT_EQ(firstName, "");
    EXPECT_EQ(firstChoice, 1);
    EXPECT_EQ(dialog_.FilterIndex(), 4);
    EXPECT_EQ(dialog_.FileName(), folder_.File("b.bmp"));

    // The next run, from whichever caller, opens the first file's folder with its name and
    // the filter choice last made; typing nothing and confirming chooses that file again.
    const TRunResult next = RunDialog(dialog_, [&](TDialogScript& s) {
        nextName = s.FileNameText();
        nextChoice = s.FilterChoice();
        s.WaitForEntry("a.bmp");
        s.PressOk();
    });
    ASSERT_EQ(next.Failure, "");
    EXPECT_TRUE(next.Confirmed);
    // The platform shows the pre-filled path either whole or as the name in its folder.
    EXPECT_TRUE(nextName == folder_.File("b.bmp") || nextName == "b.bmp") << nextName;
    EXPECT_EQ(nextChoice, 4);
    EXPECT_EQ(dialog_.Files(), std::vector<std::string>{folder_.File("b.bmp")});
}

TEST_F(OpenDialogTest, OptionsAsTheUserSeesThem) {
    bool readOnlyBox = true, sizeable = false, multiSelect = false, refusedMissing = false, refusedFolder = false;
    int typedLength = 0;
    std::string filterTexts;
    WriteFileBytes(folder_.File("d.png"), "");
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        OpenFolder(s);
        s.WaitForEntry("d.png");  // the first choice, "All", lists PNG files
        HWND readOnly = GetDlgItem(s.Dialog(), chx1);
        readOnlyBox = readOnly && IsWindowVisible(readOnly);
        sizeable = (GetWindowLongPtrA(s.Dialog(), GWL_STYLE) & WS_THICKFRAME) != 0;
        HWND list = FindWindowExA(FindWindowExA(s.Dialog(), nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                                  "SysListView32", nullptr);
        multiSelect = list && !(GetWindowLongPtrA(list, GWL_STYLE) & LVS_SINGLESEL);
        HWND types = GetDlgItem(s.Dialog(), cmb1);
        const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            filterTexts += std::string(text) + "|";
        }
        // A missing file and a missing folder are refused by the dialog with a box of its own.
        // Meanwhile the dialog takes no command to end or confirm (a program's, or a key on its
        // way), which would end it under its box: it is still there once the box is closed.
        const DWORD thread = GetWindowThreadProcessId(s.Dialog(), nullptr);
        const auto refused = [&](const std::string& typed) {
            s.TypeFileName(typed);
            s.PressOk();
            HWND box = nullptr;
            TDialogScript::WaitFor(
                [&] {
                    box = FindTopWindow({0, thread, "#32770", nullptr, nullptr});
                    if (box == s.Dialog()) box = nullptr;
                    return box != nullptr;
                },
                "the box about " + typed, 3000);
            PostMessageA(s.Dialog(), WM_COMMAND, IDCANCEL, 0);
            PostMessageA(s.Dialog(), WM_COMMAND, IDOK, 0);
            PostMessageA(s.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
            Sleep(300);
            PostMessageA(box, WM_CLOSE, 0, 0);
            TDialogScript::WaitFor([&] { return !IsWindow(box); }, "the box to close");
            return IsWindowVisible(s.Dialog()) != FALSE;
        };
        // A name typed longer than a path in the folder shown can be stops there.
        const HWND box = FileNameBox(s.Dialog()), edit = Descendant(box, "Edit");
        for (int i = 0; i < 300; ++i) SendMessageA(edit ? edit : box, WM_CHAR, 'x', 0);
        typedLength = GetWindowTextLengthA(box);
        refusedMissing = refused("missing.bmp");
        refusedFolder = refused(Folder() + "\\nowhere\\x.bmp");
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    EXPECT_FALSE(run.Confirmed);
    EXPECT_FALSE(readOnlyBox);
    EXPECT_TRUE(sizeable);
    EXPECT_TRUE(multiSelect);
    EXPECT_TRUE(refusedMissing);
    EXPECT_TRUE(refusedFolder);
    EXPECT_EQ(typedLength, MAX_PATH - 2 - static_cast<int>(Folder().size()));
    EXPECT_EQ(filterTexts,
              "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png)|JPEG Image File (*.jpg)|JPEG Image File (*.jpeg)|"
              "Bitmaps (*.bmp)|Icons (*.ico)|Enhanced Metafiles (*.emf)|Metafiles (*.wmf)|"
              "Portable Network Graphics (*.png)|");
}

TEST_F(OpenDialogTest, OtherWindowsTakeNoInputMeanwhile) {
    // A window of the program beside the dialog's owner, as the main window is.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    bool enabledMeanwhile = true;
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        enabledMeanwhile = IsWindowEnabled(other) != FALSE;
        s.PressCancel();
    });
    const bool enabledAfter = IsWindowEnabled(other) != FALSE;
    DestroyWindow(other);
    ASSERT_EQ(run.Failure, "");
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(enabledAfter);
}

TEST_F(OpenDialogTest, PlacedCentredAThirdDownOnTheMonitor) {
    RECT window{}, monitor{};
    const TRunResult run = RunDialog(dialog_, [&](TDialogScript& s) {
        GetWindowRect(s.Dialog(), &window);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromWindow(s.Dialog(), MONITOR_DEFAULTTONEAREST), &info);
        monitor = info.rcMonitor;
        s.PressCancel();
    });
    ASSERT_EQ(run.Failure, "");
    const int width = window.right - window.left, height = window.bottom - window.top;
    EXPECT_EQ(window.left, monitor.left + (monitor.right - monitor.left - width) / 2);
    EXPECT_EQ(window.top, monitor.top + (monitor.bottom - monitor.top - height) / 3);
}

namespace {

// Reads a zero-ended UTF-16 text of a dialog resource and moves past it.
std::wstring ReadResourceText(const WORD*& at) {
    std::wstring text;
    while (*at) text += static_cast<wchar_t>(*at++);
    ++at;
    return text;
}

}  // namespace

TEST(OpenDialogResources, TemplateHoldsTheStandardControlsArea) {
    HRSRC found = FindResourceA(nullptr, "DLGTEMPLATE", MAKEINTRESOURCEA(5));  // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const auto* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(dialog, nullptr);
    const DWORD styles = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT;
    EXPECT_EQ(dialog->style, styles);
    EXPECT_EQ(dialog->cdit, 1);
    EXPECT_EQ(dialog->cx, 316);
    EXPECT_EQ(dialog->cy, 76);
    const WORD* at = reinterpret_cast<const WORD*>(dialog + 1);
    EXPECT_EQ(*at++, 0);  // no menu
    EXPECT_EQ(*at++, 0);  // the standard dialog class
    EXPECT_EQ(ReadResourceText(at), L"");
    EXPECT_EQ(*at++, 8);
    EXPECT_EQ(ReadResourceText(at), L"MS Sans Serif");
    // The one control, on a 4-byte boundary.
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>((reinterpret_cast<uintptr_t>(at) + 3) & ~uintptr_t{3});
    EXPECT_EQ(item->id, stc32);
    EXPECT_EQ(item->x, 0);
    EXPECT_EQ(item->y, 0);
    EXPECT_EQ(item->cx, 204);
    EXPECT_EQ(item->cy, 76);
}

TEST(OpenDialogResources, PreviewGlyphIsSixteenColoursOnOlive) {
    HRSRC found = FindResourceA(nullptr, "PREVIEWGLYPH", MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->bmiHeader.biWidth, 16);
    EXPECT_EQ(info->bmiHeader.biHeight, 16);
    EXPECT_EQ(info->bmiHeader.biBitCount, 4);
    // The bottom-left pixel (first row of a bottom-up bitmap, high nibble) is olive.
    const auto* pixels = reinterpret_cast<const BYTE*>(info->bmiColors + 16);
    const RGBQUAD olive = info->bmiColors[pixels[0] >> 4];
    EXPECT_EQ(RGB(olive.rgbRed, olive.rgbGreen, olive.rgbBlue), RGB(128, 128, 0));
}
