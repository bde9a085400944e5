// A user's whole round: pictures added under today's day through the open dialog, the
// window closed, and the next automatic run applies one of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/weekday.h"
#include "app/weekday_win.h"
#include "support/dialog_driver.h"
#include "support/lumo_process.h"
#include "support/startup_fixture.h"

namespace {

class FilesPageRun : public StartupTest {};

HWND ChildOfClass(HWND parent, const char* className, int index) {
    HWND found = nullptr;
    for (int i = 0; i <= index; ++i) {
        found = FindWindowExA(parent, found, className, nullptr);
        if (!found) return nullptr;
    }
    return found;
}

// The Files page and its tree, in another process's main window.
HWND FilesPage(HWND window) {
    return FindWindowExA(ChildOfClass(window, "SysTabControl32", 0), nullptr, "TTabSheet", "tshFiles");
}

}  // namespace

TEST_F(FilesPageRun, PicturesAddedTodayAreAppliedByTheNextAutomaticRun) {
    const std::string a = MakePicture("a.bmp"), b = MakePicture("b.bmp");
    TLumoProcess lumo(folder_.Path());
    lumo.Start("");
    const HWND window = lumo.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    ASSERT_NE(window, nullptr);
    const HWND page = FilesPage(window);
    ASSERT_NE(page, nullptr);
    const HWND tree = FindWindowExA(page, nullptr, "SysTreeView32", nullptr);
    ASSERT_NE(tree, nullptr);

    // Today's day node: the built-in list starts on Monday.
    const int today = TodayDayNumber();
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; i < (today + 5) % 7; ++i)
        item =
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));

    // The add button: the first glyph button of the page.
    const HWND add = FindWindowExA(page, nullptr, "TSpeedButton", nullptr);
    ASSERT_TRUE(IsWindowEnabled(add));
    TDialogDriver driver = TDialogDriver::Choose(folder_.Path(), {"b.bmp", "a.bmp"}, lumo.Id());
    PostMessageA(add, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(add, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(driver.Answered());
    Sleep(500);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(lumo.Wait(30000), 0);
    const std::string list = ReadFileBytes(folder_.File("Murovelo.ini"));
    EXPECT_NE(list.find(std::string(DayNames[today]) + "\r\n\t" + b + "\r\n\t" + a + "\r\n"), std::string::npos)
        << list;

    TLumoProcess autorun(folder_.Path());
    autorun.Start("/autorun");
    ASSERT_EQ(autorun.Wait(60000), 0);
    const std::string wallpaper = Desktop("Wallpaper");
    EXPECT_TRUE(wallpaper == a || wallpaper == b) << wallpaper;
}
