// Lumo.exe staying in the notification area, restored, minimised and ended as a user would,
// and driven from the keyboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "pictures/picture_win.h"
#include "pictures_test_files.h"
#include "support/dialog_driver.h"
#include "support/input.h"
#include "support/lumo_process.h"
#include "support/startup_fixture.h"

#include <commctrl.h>

namespace {

constexpr UINT kNotifyMessage = 0x800;
constexpr UINT kExitItem = 104;
const char kCaption[] = "Лумо. версия 1.2";

HWND ApplicationWindowOf(HWND mainWindow) { return GetWindow(mainWindow, GW_OWNER); }

// The size of a text in the window font at a resolution; an empty text gives the font's
// height.
SIZE TextSizeAt(int pixelsPerInch, int weight, const std::string& text) {
    HDC dc = GetDC(nullptr);
    const int height = MulDiv(11, pixelsPerInch, 96);
    HFONT font = CreateFontA(-height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    // No bitmap font of that size, or bold at a scaled size: the TrueType twin, as the program has.
    if (metrics.tmHeight - metrics.tmInternalLeading < height - 1 || (weight > FW_NORMAL && height != 11)) {
        font = CreateFontA(-height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Microsoft Sans Serif");
        DeleteObject(SelectObject(dc, font));
        GetTextMetricsA(dc, &metrics);
    }
    SIZE size{0, metrics.tmHeight};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size;
}

// The text height of the window font at a resolution, as the program measures it.
int TextHeightAt(int pixelsPerInch) { return TextSizeAt(pixelsPerInch, FW_NORMAL, "").cy; }

// "class:text" of the window that has the keyboard focus in a thread of another process.
std::string FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) return "<none>";
    char name[64] = {}, text[128] = {};
    GetClassNameA(info.hwndFocus, name, sizeof name);
    SendMessageA(info.hwndFocus, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(name) + ":" + text;
}

// The focus once it is `expected` (keys take a moment to arrive), else the last one seen.
std::string FocusBecomes(DWORD thread, const std::string& expected) {
    std::string seen;
    WaitUntil([&] { return (seen = FocusOf(thread)) == expected; }, 3000);
    return seen;
}

int PageBecomes(HWND tabs, int expected) {
    int seen = -1;
    WaitUntil([&] { return (seen = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0))) == expected; }, 3000);
    return seen;
}

// The About picture as the About page shows it: the program's stored picture (this test
// program carries the same resources) drawn over the page's colour.
std::unique_ptr<picture_test::TCanvas> ExpectedAboutPage() {
    const HRSRC resource = FindResourceA(nullptr, "ABOUTPICTURE", MAKEINTRESOURCEA(10));
    const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    TPicture picture;
    picture.LoadFromStoredData({data, SizeofResource(nullptr, resource)});
    auto page = std::make_unique<picture_test::TCanvas>(410, 310, GetSysColor(COLOR_BTNFACE));
    picture.Draw(page->Dc(), RECT{0, 0, 410, 310});
    GdiFlush();
    return page;
}

// Shows the About page of a running Lumo and returns its image control.
HWND ShowAboutPage(HWND mainWindow) {
    const HWND tabs = FindWindowExA(mainWindow, nullptr, "SysTabControl32", nullptr);
    SendMessageA(tabs, TCM_SETCURFOCUS, 2, 0);
    for (HWND page = FindWindowExA(tabs, nullptr, "TTabSheet", nullptr); page;
         page = FindWindowExA(tabs, page, "TTabSheet", nullptr))
        if (IsWindowVisible(page)) return FindWindowExA(page, nullptr, "TImage", nullptr);
    return nullptr;
}

class MainWindowRun : public StartupTest {};

}  // namespace

TEST_F(MainWindowRun, StaysInTheTrayRestoresCentredAndSavesOnExit) {
    const std::string options = "-1\r\n" + MakePicture("default.bmp") + "\r\n0\r\n";
    WriteFileBytes(folder_.File("WallOpt.ini"), options);
    TLumoProcess lumo(folder_.Path());
    lumo.Start("/autorun");
    const HWND window = lumo.FindWindowOf("TMainForm", kCaption, 30000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Desktop("Wallpaper") == folder_.File("default.bmp"); }, 10000));
    ASSERT_TRUE(PostedMessagesHandled(PauseEdit(window)));
    EXPECT_FALSE(IsWindowVisible(window));

    PostMessageA(window, kNotifyMessage, 0, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(window, true));
    EXPECT_TRUE(IsWindowVisible(ApplicationWindowOf(window)));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - (r.bottom - r.top)) / 2);

    // The About picture, which the automatic run did not need, shows once the page does.
    const HWND about = ShowAboutPage(window);
    ASSERT_NE(about, nullptr);
    UpdateWindow(about);
    const auto expected = ExpectedAboutPage();
    POINT origin{0, 0};
    ClientToScreen(about, &origin);
    HDC screen = GetDC(nullptr);
    // The page's colour in a transparent corner, the sky, the sun, the black body and its text.
    const POINT points[] = {{0, 0}, {40, 40}, {340, 50}, {200, 290}, {60, 200}};
    const auto shown = [&](POINT at) { return GetPixel(screen, origin.x + at.x, origin.y + at.y); };
    WaitUntil(
        [&] { return std::ranges::all_of(points, [&](POINT at) { return shown(at) == expected->At(at.x, at.y); }); },
        5000);
    for (const POINT at : points) EXPECT_EQ(shown(at), expected->At(at.x, at.y)) << at.x << "," << at.y;
    ReleaseDC(nullptr, screen);

    // Minimising hides the window and the taskbar button's window.
    PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitVisible(window, false));
    EXPECT_FALSE(IsWindowVisible(ApplicationWindowOf(window)));

    PostMessageA(window, WM_COMMAND, kExitItem, 0);
    EXPECT_EQ(lumo.Wait(30000), 0);
    EXPECT_EQ(ReadFileBytes(folder_.File("WallOpt.ini")), options);
    EXPECT_EQ(ReadFileBytes(folder_.File("Murovelo.ini")),
              "Понедельник\r\nВторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n");
}

TEST_F(MainWindowRun, InteractiveRunShowsTheTaskbarWindowAndTheMainWindow) {
    // This user's start with the system, switched off in Task Manager: the box shows it unchecked.
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо", "C:\\Lumo\\Lumo.exe /autorun");
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunSwitchKey, "Лумо", REG_BINARY, "\3\0\0\0\1\2\3\4\5\6\7\1", 12);
    TLumoProcess lumo(folder_.Path());
    lumo.Start("");
    const HWND window = lumo.FindWindowOf("TMainForm", kCaption, 30000);
    ASSERT_TRUE(window && WaitVisible(window, true));
    EXPECT_EQ(SendMessageA(OptionsControl(window, "Button", "Запуск при старте системы"), BM_GETCHECK, 0, 0), 0);
    const HWND application = ApplicationWindowOf(window);
    char title[64] = {};
    GetWindowTextA(application, title, sizeof title);
    EXPECT_STREQ(title, "Lumo");
    EXPECT_TRUE(IsWindowVisible(application));
    // The icon does nothing while the window is visible.
    PostMessageA(window, kNotifyMessage, 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(PostedMessagesHandled(PauseEdit(window)));
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);  // no menu opened
    // Alt+F4 closes the window, also from the tree.
    SetForegroundWindow(window);
    input::Key(VK_TAB);
    EXPECT_EQ(FocusBecomes(lumo.ThreadId(), "SysTreeView32:"), "SysTreeView32:");
    input::Key(VK_F4, false, false, true);
    EXPECT_EQ(lumo.Wait(30000), 0);
}

TEST_F(MainWindowRun, StartsMaximisedOrMinimisedAsTheShowCommandAsks) {
    // The show command of the start, as a shortcut's "Run" choice hands it over; minimised means
    // what the minimise box does: hidden with the taskbar button, the icon is the way back.
    const struct {
        int command;
        bool shown, maximised;
    } cases[] = {{-1, true, false},
                 {SW_SHOWNORMAL, true, false},
                 {SW_SHOWMAXIMIZED, true, true},
                 {SW_SHOWMINNOACTIVE, false, false},
                 {SW_SHOWMINIMIZED, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        TLumoProcess lumo(folder_.Path());
        lumo.Start("", {}, c.command);
        const HWND window = lumo.FindWindowOf("TMainForm", kCaption, 30000);
        ASSERT_NE(window, nullptr);
        const HWND application = ApplicationWindowOf(window);
        ASSERT_TRUE(WaitUntil([&] { return NotifyIconRegistered(window); }, 5000));
        if (!c.shown) {
            ASSERT_TRUE(PostedMessagesHandled(PauseEdit(window)));
            EXPECT_FALSE(IsWindowVisible(window));
            EXPECT_FALSE(IsWindowVisible(application));
            PostMessageA(window, kNotifyMessage, 0, WM_LBUTTONDBLCLK);
        }
        ASSERT_TRUE(WaitVisible(window, true));
        EXPECT_EQ(IsZoomed(window) != FALSE, c.maximised);
        EXPECT_FALSE(IsIconic(window));
        EXPECT_TRUE(IsWindowVisible(application));
        EXPECT_FALSE(IsZoomed(application));
        EXPECT_FALSE(IsIconic(application));
        // The normal place, also of a maximised window, is the centred one.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window, &placement);
        const RECT& r = placement.rcNormalPosition;
        EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - (r.right - r.left)) / 2);
        EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - (r.bottom - r.top)) / 2);
        // Alt+F4 closes it, once also from the placement's list, the Options page's fourth control.
        SetForegroundWindow(window);
        const bool fromList = c.command == SW_SHOWNORMAL;
        for (int i = 0; fromList && i < 5; ++i) input::Key(VK_TAB, i == 0);
        const std::string focus = fromList ? "ComboBox:Растянуть" : "SysTabControl32:";
        EXPECT_EQ(FocusBecomes(lumo.ThreadId(), focus), focus);
        input::Key(VK_F4, false, false, true);
        EXPECT_EQ(lumo.Wait(30000), 0);
    }
}

TEST_F(MainWindowRun, KeyboardReachesTheTabsEveryControlAndEveryPage) {
    const std::string picture = MakePicture("a.bmp", picture_test::SolidBitmap(2, 2, RGB(0, 0, 255)));
    WriteFileBytes(folder_.File("Murovelo.ini"), "Понедельник\r\n\t" + picture + "\r\nВторник\r\n");
    TLumoProcess lumo(folder_.Path());
    lumo.Start("");
    const HWND window = lumo.FindWindowOf("TMainForm", kCaption, 30000);
    ASSERT_TRUE(window && WaitVisible(window, true));
    const HWND tabs = FindWindowExA(window, nullptr, "SysTabControl32", nullptr);
    SetForegroundWindow(window);
    const DWORD thread = lumo.ThreadId();
    const std::string tabStrip = "SysTabControl32:", tree = "SysTreeView32:", apply = "Button:Поклеить сейчас!",
                      run = "Button:Запуск при старте системы";
    // The tabs come first in the tab order and have the focus when the window comes up.
    EXPECT_EQ(FocusBecomes(thread, tabStrip), tabStrip);

    // Files page: the tree, where the arrow keys choose the picture, which enables the apply
    // button; then that button, then round to the tabs; Shift+Tab back.
    input::Key(VK_TAB);
    EXPECT_EQ(FocusBecomes(thread, tree), tree);
    input::Key(VK_HOME);
    input::Key(VK_RIGHT);
    input::Key(VK_DOWN);
    for (const std::string& next : {apply, tabStrip}) {
        input::Key(VK_TAB);
        EXPECT_EQ(FocusBecomes(thread, next), next);
    }
    for (const std::string& previous : {apply, tree, tabStrip}) {
        input::Key(VK_TAB, false, true);
        EXPECT_EQ(FocusBecomes(thread, previous), previous);
    }

    // The arrow keys on the tabs switch pages; Options page in its tab order, where the down key
    // chooses the placement after «Растянуть», «Замостить», and a click checks the monitors' box.
    input::Key(VK_RIGHT);
    EXPECT_EQ(PageBecomes(tabs, 1), 1);
    const char monitorsBox[] = "Разные картинки на каждом мониторе";
    const std::string placement = "ComboBox:Растянуть", monitors = std::string("Button:") + monitorsBox;
    for (const std::string& next :
         {run, std::string("Button:Оставаться в трее после запуска"), std::string("Edit:10"), placement, monitors,
          std::string("Edit:"), std::string("Button:Обзор..."), apply, tabStrip, run}) {
        input::Key(VK_TAB);
        EXPECT_EQ(FocusBecomes(thread, next), next);
        if (next == placement) input::Key(VK_DOWN);
        if (next != "Edit:10") continue;
        // The pause as typed: a number put in for no number or one too large is selected and the
        // next digits replace it; a dropped zero or a paste leaves the caret before what followed.
        // Keys: ^ with Ctrl, < Backspace, [ Home, ] End, V pastes "$1F".
        const HGLOBAL paste = GlobalAlloc(GMEM_MOVEABLE, 4);
        std::memcpy(GlobalLock(paste), "$1F", 4), GlobalUnlock(paste);
        ASSERT_TRUE(
            OpenClipboard(CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) &&
            EmptyClipboard() && SetClipboardData(CF_TEXT, paste) && CloseClipboard());
        const char* const steps[][2] = {{"^A<45", "45"}, {"[01", "145"}, {"]0007", "7"}, {"X3", "3"}, {"^A^V2", "312"}};
        for (const auto& [keys, shown] : steps) {
            for (const char* key = keys; *key; ++key) {
                const bool control = *key == '^' && *++key;
                input::Key(*key == '<' ? VK_BACK : *key == '[' ? VK_HOME : *key == ']' ? VK_END : *key, control);
            }
            EXPECT_EQ(FocusBecomes(thread, "Edit:" + std::string(shown)), "Edit:" + std::string(shown)) << keys;
        }
    }
    input::Click(input::Centre(OptionsControl(window, "Button", monitorsBox)));

    // Ctrl+Tab from a control: the About page, which has no tab stop (not even its link), so
    // the tabs take the focus and keep it.
    input::Key(VK_TAB, true);
    EXPECT_EQ(PageBecomes(tabs, 2), 2);
    EXPECT_EQ(FocusBecomes(thread, tabStrip), tabStrip);
    input::Key(VK_TAB);
    // Ctrl+Tab goes round to the first page, Ctrl+Shift+Tab back to the last; the focus stays.
    input::Key(VK_TAB, true);
    EXPECT_EQ(PageBecomes(tabs, 0), 0);
    EXPECT_EQ(FocusBecomes(thread, tabStrip), tabStrip);
    input::Key(VK_TAB, true, true);
    EXPECT_EQ(PageBecomes(tabs, 2), 2);
    input::Key(VK_LEFT);
    EXPECT_EQ(PageBecomes(tabs, 1), 1);
    input::Key(VK_TAB);
    EXPECT_EQ(FocusBecomes(thread, run), run);
    // Leaving a page from one of its controls: the new page's first control takes the focus.
    input::Key(VK_TAB, true, true);
    EXPECT_EQ(PageBecomes(tabs, 0), 0);
    EXPECT_EQ(FocusBecomes(thread, tree), tree);
    // The picture applied tiled: the values of systems without the desktop-wallpaper object.
    input::Key(VK_TAB);
    input::Key(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return Desktop("TileWallpaper") + Desktop("WallpaperStyle") == "10"; }, 5000));
    EXPECT_EQ(Desktop("Wallpaper"), picture);
    input::Key(VK_TAB, false, true);

    // Delete on the picture's node and Insert on a day node do what the glyph buttons do.
    const std::string b = MakePicture("b.bmp", picture_test::SolidBitmap(2, 2, 0));  // its preview shows: no box
    input::Key(VK_DELETE);
    input::Key(VK_HOME);
    // The open dialog comes up with the keyboard in its file-name field: typing a name and Enter.
    input::Key(VK_INSERT);
    const auto dialogOpen = [&] { return FindTopWindow({lumo.Id(), 0, nullptr, nullptr, IsOpenDialog}) != nullptr; };
    ASSERT_TRUE(WaitUntil(dialogOpen, 10000));
    EXPECT_EQ(FocusBecomes(thread, "Edit:"), "Edit:");
    input::Type(b);
    input::Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !dialogOpen(); }, 5000));
    // A node's text edited in place keeps Tab, Ctrl+Tab and Delete; Esc cancels, Enter commits.
    const HWND treeWindow =
        FindWindowExA(FindWindowExA(tabs, nullptr, "TTabSheet", "tshFiles"), nullptr, "SysTreeView32", nullptr);
    for (const WORD end : {VK_ESCAPE, VK_RETURN}) {
        PostMessageA(treeWindow, TVM_EDITLABELA, 0, SendMessageA(treeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
        EXPECT_EQ(FocusBecomes(thread, "Edit:Понедельник"), "Edit:Понедельник");
        for (const bool control : {false, true}) input::Key(VK_TAB, control);
        input::Key(VK_DELETE);
        for (int i = 0; i < 300; ++i) input::Key('Z');  // longer than a path: kept whole
        EXPECT_EQ(FocusBecomes(thread, "Edit:" + std::string(127, 'z')), "Edit:" + std::string(127, 'z'));
        EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
        input::Key(end);
        EXPECT_EQ(FocusBecomes(thread, tree), tree);
    }
    // The minus ends an edit with its node; a long name confirmed as it was stays; a close keeps a name typed.
    const HWND minus = GetWindow(FindWindowExA(GetParent(treeWindow), nullptr, "TSpeedButton", nullptr), GW_HWNDNEXT);
    const auto node = [&](UINT relation, LRESULT from) {
        return SendMessageA(treeWindow, TVM_GETNEXTITEM, relation, from);
    };
    for (const WORD key : {VK_DOWN, VK_HOME, VK_END}) {
        const LRESULT root = node(TVGN_ROOT, 0);
        const LRESULT target = key == VK_HOME ? root : node(key == VK_DOWN ? TVGN_CHILD : TVGN_NEXT, root);
        input::Key(key);
        // The key reaches the tree first; the edit comes after it.
        EXPECT_TRUE(WaitUntil([&] { return node(TVGN_CARET, 0) == target; }, 5000));
        PostMessageA(treeWindow, TVM_EDITLABELA, 0, target);
        if (RECT r; key == VK_DOWN && GetWindowRect(minus, &r)) {
            // Once the edit is open and the minus enabled: the picture goes under its open edit.
            ASSERT_TRUE(WaitUntil([&] { return TreeView_GetEditControl(treeWindow) && IsWindowEnabled(minus); }, 5000));
            input::Click(POINT{r.left + 5, r.top + 5});
            EXPECT_TRUE(WaitUntil([&] { return node(TVGN_CHILD, root) == 0; }, 5000));
        }
        input::Key(key == VK_END ? 'X' : VK_RETURN);
        FocusBecomes(thread, key == VK_END ? "Edit:x" : tree);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(lumo.Wait(30000), 0);
    EXPECT_EQ(ReadFileBytes(folder_.File("Murovelo.ini")), std::string(300, 'z') + "\r\nx\r\n");
    EXPECT_TRUE(ReadFileBytes(folder_.File("WallOpt.ini")).ends_with("\r\n312\r\n"));
    EXPECT_EQ(ReadFileBytes(folder_.File("Lumo.ini")), "Placement=tile\r\nEachMonitor=1\r\n");
}

// The share of a glyph button's width where, inside its frame, it shows more than its face.
double GlyphShare(HWND button) {
    UpdateWindow(button);
    RECT r;
    GetWindowRect(button, &r);
    picture_test::TCanvas shot(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Dc(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    int first = shot.Width(), last = -1;
    for (int y = 2; y < shot.Height() - 2; ++y)
        for (int x = 2; x < shot.Width() - 2; ++x)
            if (shot.At(x, y) != GetSysColor(COLOR_BTNFACE)) first = std::min(first, x), last = std::max(last, x);
    return double(last - first + 1) / shot.Width();
}

TEST_F(MainWindowRun, WindowScalesWithTheScreenResolution) {
    // The icon holds an image of every size the shell asks for at 100 % to 200 %, 256 as PNG.
    const auto data = [](const char* name, int type) {
        return static_cast<const BYTE*>(
            LockResource(LoadResource(nullptr, FindResourceA(nullptr, name, MAKEINTRESOURCEA(type)))));
    };
    const BYTE* directory = data("MAINICON", 14);  // RT_GROUP_ICON; entries of 14 bytes after 6
    std::vector<int> sizes;
    for (const BYTE* entry = directory + 6; entry < directory + 6 + 14 * directory[4]; entry += 14)
        sizes.push_back(entry[0]                                                          ? entry[0]
                        : data(MAKEINTRESOURCEA(entry[12] | entry[13] << 8), 3)[1] == 'P' ? 256
                                                                                          : 0);
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));

    int smallerTextHeight = 0;
    for (int pixelsPerInch : {96, 120, 144, 192}) {
        SCOPED_TRACE(pixelsPerInch);
        const DWORD value = static_cast<DWORD>(pixelsPerInch);
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        // Started maximised and then restored, the window is as it is when started normally.
        const bool maximised = pixelsPerInch == 96 || pixelsPerInch == 144;
        TLumoProcess lumo(folder_.Path());
        lumo.Start("", {}, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        const HWND window = lumo.FindWindowOf("TMainForm", kCaption, 30000);
        RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitVisible(window, true));  // shown once all its controls are made
        if (maximised) {
            ASSERT_TRUE(PostedMessagesHandled(PauseEdit(window)));  // the start's work done, maximised
            PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        }
        const int textHeight = TextHeightAt(pixelsPerInch);
        RECT client;
        // Restored, the window takes its normal size once the restore is through.
        WaitUntil([&] { return GetClientRect(window, &client) && client.right == MulDiv(418, textHeight, 13); }, 5000);
        EXPECT_GT(textHeight, smallerTextHeight);  // the text grows with every step of the scaling
        smallerTextHeight = textHeight;
        EXPECT_EQ(client.right, MulDiv(418, textHeight, 13));
        EXPECT_EQ(client.bottom, MulDiv(339, textHeight, 13));
        // The tree's indent scales like every size; the two labels are as large as their texts
        // in the scaled fonts, the link with its sunken edge around.
        const HWND tabs = FindWindowExA(window, nullptr, "SysTabControl32", nullptr);
        const HWND tree =
            FindWindowExA(FindWindowExA(tabs, nullptr, "TTabSheet", "tshFiles"), nullptr, "SysTreeView32", nullptr);
        EXPECT_EQ(SendMessageA(tree, TVM_GETINDENT, 0, 0), MulDiv(19, textHeight, 13));
        const std::string pause = "Пауза между запуском и сменой обоев, сек.", link = " страница программы ";
        const HWND label =
            FindWindowExA(FindWindowExA(tabs, nullptr, "TTabSheet", "tshOptions"), nullptr, "Static", pause.c_str());
        const HWND linkLabel =
            FindWindowExA(FindWindowExA(tabs, nullptr, "TTabSheet", "tshAbout"), nullptr, "Static", link.c_str());
        ASSERT_NE(label, nullptr);
        ASSERT_NE(linkLabel, nullptr);
        const auto sizeOf = [](HWND control) {
            RECT r;
            GetWindowRect(control, &r);
            return std::make_pair(r.right - r.left, r.bottom - r.top);
        };
        const SIZE pauseText = TextSizeAt(pixelsPerInch, FW_NORMAL, pause);
        const SIZE linkText = TextSizeAt(pixelsPerInch, FW_BOLD, link);
        const int edge = GetSystemMetrics(SM_CXEDGE);
        EXPECT_EQ(sizeOf(label), std::make_pair(pauseText.cx, pauseText.cy));
        EXPECT_EQ(sizeOf(linkLabel), std::make_pair(linkText.cx + 2 * edge, linkText.cy + 2 * edge));
        // The glyphs cover the share of their buttons they cover at 100 % (7 of 23 pixels), once
        // the window has reached the screen.
        const HWND files = FindWindowExA(tabs, nullptr, "TTabSheet", "tshFiles");
        for (HWND button = FindWindowExA(files, nullptr, "TSpeedButton", nullptr); button;
             button = FindWindowExA(files, button, "TSpeedButton", nullptr))
            EXPECT_TRUE(WaitUntil([&] { return std::abs(GlyphShare(button) - 7.0 / 23) <= 0.03; }, 3000))
                << GlyphShare(button);
        // The About picture fills its page, and the link lies over its black lower part.
        const HWND about = ShowAboutPage(window);
        ASSERT_NE(about, nullptr);
        RECT page, picture, linkRect, inside;
        GetClientRect(GetParent(about), &page);
        GetWindowRect(about, &picture);
        GetWindowRect(linkLabel, &linkRect);
        EXPECT_EQ(picture.right - picture.left, page.right);
        EXPECT_TRUE(IntersectRect(&inside, &picture, &linkRect) && EqualRect(&inside, &linkRect));
        HDC screen = GetDC(nullptr);
        EXPECT_TRUE(WaitUntil(
            [&] { return GetPixel(screen, linkRect.left, linkRect.bottom + textHeight) == RGB(0, 0, 0); }, 5000));
        ReleaseDC(nullptr, screen);
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(lumo.Wait(30000), 0);
    }
}
