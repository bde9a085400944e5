// The main window as the user sees it, in this process: its controls with their places, texts,
// fonts, tab order and tooltip, the wrappers' rules, and its showing and hiding through the
// notification-area icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <uxtheme.h>

#include <algorithm>
#include <memory>
#include <cstring>
#include <tuple>
#include <utility>

#include "app/main_form_win.h"
#include "pictures_test_files.h"
#include "support/test_support.h"
#include "ui/application_win.h"

namespace {

RECT ClientOf(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return r;
}

struct TExpected {
    TControl* Control;
    const char* ClassName;
    const char* Text;
    RECT Bounds;  // left, top, right, bottom in the parent
    bool Enabled;
};

// Takes the program's icon away from the shell (NIM_DELETE) or gives it back (NIM_ADD) behind
// the program's back, as the shell does when it is made anew or someone else adds it.
void ShellNotify(DWORD message, const TMainForm& form) {
    NOTIFYICONDATAA data = form.TrayIcon.Data();
    Shell_NotifyIconA(message, &data);
}

// Another subclass, put over one of ours.
WNDPROC coveredProc = nullptr;
LRESULT CALLBACK CoveringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(coveredProc, window, message, wParam, lParam);
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        MainForm = &form_;
        Application.SetMainForm(&form_);
    }
    ~MainWindowTest() override {
        form_.SetTrayMode(0);
        Application.SetMainForm(nullptr);
        MainForm = nullptr;
        ShowWindow(Application.Handle(), SW_HIDE);
    }
    TRegistryOverride registry_;
    TMainForm form_;
};

}  // namespace

TEST_F(MainWindowTest, WindowGeometryAtDesignResolution) {
    ASSERT_EQ(form_.TextHeight(), 13);
    const RECT client = ClientOf(form_.Handle());
    EXPECT_EQ(client.right, 418);
    EXPECT_EQ(client.bottom, 339);
    const LONG style = GetWindowLongA(form_.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindow(form_.Handle(), GW_OWNER), Application.Handle());
    EXPECT_EQ(ClassOf(form_.Handle()), "TMainForm");
    // The page is what the tab control leaves: 410 x 311 on Windows, a little more under Wine.
    const RECT page = ClientOf(form_.tshFiles().Handle());
    RECT expected = ClientOf(form_.pcMain.Handle());
    TabCtrl_AdjustRect(form_.pcMain.Handle(), FALSE, &expected);
    EXPECT_EQ(page.right, expected.right - expected.left);
    EXPECT_EQ(page.bottom, expected.bottom - expected.top);
    EXPECT_NEAR(page.right, 410, 4);
    EXPECT_NEAR(page.bottom, 311, 4);
}

TEST_F(MainWindowTest, EveryControlWithItsClassTextBoundsAndState) {
    // Controls tied to a page's right or bottom edge follow the difference between the page's
    // actual and design sizes.
    const RECT page = ClientOf(form_.tshFiles().Handle());
    const int dw = page.right - 410, dh = page.bottom - 311;
    const TExpected controls[] = {
        {&form_.pcMain, "SysTabControl32", "", {0, 0, 418, 339}, true},
        {&form_.tvFiles, "SysTreeView32", "", {0, 0, 156 + dw, 280 + dh}, true},
        {&form_.sbAdd, "TSpeedButton", "Добавить", {0, 285 + dh, 23, 307 + dh}, false},
        {&form_.sbDel, "TSpeedButton", "Удалить", {32, 285 + dh, 55, 307 + dh}, false},
        {&form_.gPreview, "Button", " Предпросмотр ", {161 + dw, 0, 410 + dw, 266 + dh}, true},
        {&form_.iPreview, "TImage", "iPreview", {8, 15, 241, 258 + dh}, true},
        {&form_.bChange, "Button", "Поклеить сейчас!", {164 + dw, 275 + dh, 292 + dw, 300 + dh}, true},
        {&form_.cbRun, "Button", "Запуск при старте системы", {8, 8, 401, 25}, true},
        {&form_.Label2, "Static", "Пауза между запуском и сменой обоев, сек.", {24, 32, 253, 45}, true},
        {&form_.edWait, "Edit", "10", {264, 29, 313, 50}, true},
        {&form_.cbTray, "Button", "Оставаться в трее после запуска", {24, 56, 401, 73}, true},
        {&form_.lbPlacement, "Static", "Положение картинки на экране", {24, 83, 186, 96}, true},
        {&form_.cmbPlacement, "ComboBox", "Растянуть", {264, 79, 401, 100}, true},
        {&form_.cbEachMonitor, "Button", "Разные картинки на каждом мониторе", {24, 106, 401, 123}, true},
        {&form_.gbOld, "Button", " Лумо по умолчанию ", {0, 130, 410 + dw, 311 + dh}, true},
        {&form_.edOld, "Edit", "", {8, 24, 311 + dw, 45}, true},
        {&form_.bObzor, "Button", "Обзор...", {321 + dw, 24, 396 + dw, 49}, true},
        {&form_.bNowDefault, "Button", "Поклеить сейчас!", {8, 56, 155, 81}, true},
        {&form_.gbOldPreview, "Button", " Предпросмотр ", {8, 88, 400 + dw, 173 + dh}, true},
        {&form_.oldPreview, "TImage", "oldPreview", {8, 15, 384 + dw, 77 + dh}, true},
        {&form_.iAbout, "TImage", "iAbout", {0, 0, 410, 310}, true},
        {&form_.stWWW, "Static", " страница программы ", {24, 264, 163, 281}, true},
    };
    for (const TExpected& expected : controls) {
        SCOPED_TRACE(expected.Control->Name());
        EXPECT_EQ(ClassOf(expected.Control->Handle()), expected.ClassName);
        EXPECT_EQ(expected.Control->Caption(), expected.Text);
        const RECT r = expected.Control->Bounds();
        EXPECT_EQ(r.left, expected.Bounds.left);
        EXPECT_EQ(r.top, expected.Bounds.top);
        EXPECT_EQ(r.right, expected.Bounds.right);
        EXPECT_EQ(r.bottom, expected.Bounds.bottom);
        EXPECT_EQ(expected.Control->Enabled(), expected.Enabled);
        // The window leads to its wrapper, which its parent lists among its children; a
        // standard control keeps the Unicode messages of its own procedure under our subclass.
        EXPECT_EQ(TControl::FromHandle(expected.Control->Handle()), expected.Control);
        const TControl* parent = TControl::FromHandle(GetParent(expected.Control->Handle()));
        ASSERT_NE(parent, nullptr);
        EXPECT_EQ(std::ranges::count(parent->Children(), expected.Control), 1);
        EXPECT_EQ(IsWindowUnicode(expected.Control->Handle()) != FALSE, expected.ClassName[0] != 'T');
    }
    EXPECT_EQ(TControl::FromHandle(Application.Handle()), nullptr);
    EXPECT_EQ(TControl::FromHandle(GetDesktopWindow()), nullptr);
    EXPECT_EQ(form_.pcMain.ActivePageIndex(), 0);
    // The Files page is the one shown, the other two are hidden.
    const auto shown = [](TControl& sheet) { return (GetWindowLongA(sheet.Handle(), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(shown(form_.tshFiles()));
    EXPECT_FALSE(shown(form_.tshOptions()));
    EXPECT_FALSE(shown(form_.tshAbout()));
    EXPECT_EQ(TabCtrl_GetItemCount(form_.pcMain.Handle()), 3);
    EXPECT_EQ(form_.tvFiles.Selected(), nullptr);
}

TEST_F(MainWindowTest, TipsShowWholeTextsAndWhyAnEntryCannotBeUsed) {
    std::string longText = "C:\\Обои\\";
    while (longText.size() < 120) longText += std::to_string(longText.size() % 10);
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, longText}, {-1, "Пятница (work)"}});
    const std::vector<HTREEITEM> nodes = form_.tvFiles.Nodes();
    const HWND tree = form_.tvFiles.Handle();
    form_.tvFiles.Expand(nodes[0]);
    // The tooltip's window waits for the mouse: a hidden tree has none.
    EXPECT_EQ(form_.tvFiles.ToolTip(), nullptr);
    form_.Show();
    PumpMessages();
    HWND tip = nullptr;
    // Rests the mouse on a node's text: the tip shown there, "" for none (one that should not show
    // is given well over the tooltip's delay).
    const auto tipOver = [&](HTREEITEM item, bool expected) {
        if (tip) SendMessageA(tip, TTM_POP, 0, 0);
        const POINT at = NodeOnScreen(tree, item);
        SetCursorPos(at.x + 1, at.y);
        SetCursorPos(at.x, at.y);
        for (int i = 0; i < 60 && !(expected && IsWindowVisible(tip)); ++i)
            PumpMessages(), Sleep(25), tip = form_.tvFiles.ToolTip();
        wchar_t shown[512] = {};
        TTTOOLINFOW tool{sizeof tool, 0, tree, 1, {}, nullptr, shown, 0, nullptr};
        SendMessageW(tip, TTM_GETTEXTW, std::size(shown), reinterpret_cast<LPARAM>(&tool));
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, shown, -1, text, sizeof text, nullptr, nullptr);
        return IsWindowVisible(tip) ? std::string(text) : std::string();
    };
    EXPECT_EQ(tipOver(nodes[1], true), longText + "\r\n" + kMissingPicture.Reason);
    EXPECT_EQ(tipOver(nodes[2], true), "Пятница (work)\r\n" + std::string(kNotADay.Reason));
    // A weekday's name shows whole in its row, and no tip; cut off at a narrow list's edge, it
    // shows in its tip.
    EXPECT_EQ(tipOver(nodes[0], false), "");
    EXPECT_TRUE(GetWindowLongA(tree, GWL_STYLE) & TVS_SHOWSELALWAYS);  // the selection stays in sight
    SetWindowPos(tree, nullptr, 0, 0, 40, 280, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tipOver(nodes[0], true), "Понедельник");
}

// Wrappers and windows part in either order: a window that goes leaves its parent's list and
// the table; a wrapper that goes first gives the window its own procedure back, or, under
// another subclass, leaves it working through its class's procedure.
TEST_F(MainWindowTest, EventsRunOnlyOnRealChanges) {
    int changes = 0, clicks = 0;
    form_.edOld.OnChange = [&] { ++changes; };
    form_.cbTray.OnClick = [&] { ++clicks; };
    form_.edOld.SetText("");
    form_.cbTray.SetChecked(false);
    EXPECT_EQ(changes + clicks, 0);
    form_.edOld.SetText("C:\\a.bmp");
    form_.edOld.SetText("C:\\a.bmp");
    form_.cbTray.SetChecked(true);
    form_.cbTray.SetChecked(true);
    // The user's changes, and an undo or a paste that leaves the text as it was.
    SetWindowTextA(form_.edOld.Handle(), "C:\\a.bmp");
    SetWindowTextA(form_.edOld.Handle(), "C:\\b.bmp");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 1);
    SendMessageA(form_.cbTray.Handle(), BM_CLICK, 0, 0);  // a click by the user
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(form_.cbTray.Checked());
}

TEST(ControlWrapper, WindowsAndWrappersPartInEitherOrder) {
    const HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    TGroupBox box("box");
    box.Create(top, RECT{0, 0, 200, 200}, "box");
    HWND uncovered, covered;
    {
        TEdit first("first"), second("second"), third("third");
        first.Create(box.Handle(), RECT{0, 0, 90, 20}, "");
        second.Create(box.Handle(), RECT{0, 30, 90, 50}, "");
        third.Create(box.Handle(), RECT{0, 60, 90, 80}, "");
        EXPECT_EQ(box.Children(), (std::vector<TControl*>{&first, &second, &third}));
        const HWND gone = third.Handle();
        DestroyWindow(gone);
        EXPECT_EQ(TControl::FromHandle(gone), nullptr);
        EXPECT_EQ(third.Handle(), nullptr);
        EXPECT_EQ(box.Children(), (std::vector<TControl*>{&first, &second}));
        uncovered = first.Handle();
        covered = second.Handle();
        coveredProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(covered, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CoveringProc)));
    }
    EXPECT_TRUE(box.Children().empty());
    EXPECT_EQ(TControl::FromHandle(uncovered), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(uncovered, GWLP_WNDPROC), GetClassLongPtrW(uncovered, GCLP_WNDPROC));
    SetWindowTextA(covered, "Текст");
    char text[16] = {};
    GetWindowTextA(covered, text, sizeof text);
    EXPECT_STREQ(text, "Текст");
    DestroyWindow(top);
}

TEST_F(MainWindowTest, FontsOfTheWindowAndItsTwoBoldControls) {
    const auto weightOf = [](HWND window) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        return std::make_pair(std::string(font.lfFaceName), std::make_pair(font.lfHeight, font.lfWeight));
    };
    EXPECT_EQ(weightOf(form_.bChange.Handle()),
              std::make_pair(std::string("MS Sans Serif"), std::make_pair(-11L, 400L)));
    EXPECT_EQ(weightOf(form_.bNowDefault.Handle()).second.second, 700);
    EXPECT_EQ(weightOf(form_.stWWW.Handle()).second.second, 700);
    EXPECT_EQ(weightOf(form_.tvFiles.Handle()).second.second, 400);
}

TEST_F(MainWindowTest, PushButtonsDrawTheirWholeFaceWithTheCaptionInTheirOwnFont) {
    // A button drawn through WM_PRINTCLIENT; its caption's ink (darker than the face, inside the
    // frame and the focus rectangle): first column, width, and whether it is black.
    const auto draw = [](HWND button) {
        auto face = std::make_unique<picture_test::TCanvas>(ClientOf(button).right, ClientOf(button).bottom);
        SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(face->Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        return face;
    };
    const auto ink = [](const picture_test::TCanvas& face) {
        int left = face.Width(), right = -1, darkest = 255;
        for (int y = 5; y < face.Height() - 5; ++y)
            for (int x = 5; x < face.Width() - 5; ++x)
                if (const int g = GetGValue(face.At(x, y)); g + 40 < GetGValue(face.At(face.Width() / 2, 4)))
                    left = std::min(left, x), right = std::max(right, x), darkest = std::min(darkest, g);
        return std::tuple{left, right - left + 1, darkest < 64};
    };
    // The same caption, bold and regular (disabled: no picture chosen), with the visual style and
    // without it: the bold ink is the wider by a pixel or more a letter.
    for (const bool themed : {true, false}) {
        int widths[2] = {};
        for (const TButton* button : {&form_.bNowDefault, &form_.bChange}) {
            if (!themed) SetWindowTheme(button->Handle(), L" ", L" ");
            const auto [left, wide, black] = ink(*draw(button->Handle()));
            widths[button == &form_.bChange] = wide;
            EXPECT_EQ(black, button->Enabled()) << button->Name() << themed;
        }
        EXPECT_GT(widths[0], widths[1] + 12) << themed;
    }
    // Pressed, the classic caption moves by a pixel; focused with the cues shown, the dotted
    // focus rectangle lies inside the frame, around the same caption.
    const HWND button = form_.bNowDefault.Handle();
    const auto normal = draw(button);
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(std::get<0>(ink(*draw(button))), std::get<0>(ink(*normal)) + 1);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    SendMessageA(button, WM_SETFOCUS, 0, 0);
    SendMessageA(button, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    const auto focused = draw(button);
    int dotted = 0;
    for (int x = 3; x < focused->Width() - 3; ++x) dotted += focused->At(x, 3) != normal->At(x, 3);
    EXPECT_GT(dotted, 20);
    EXPECT_EQ(ink(*focused), ink(*normal));
}

TEST_F(MainWindowTest, AnchorsFollowAResize) {
    const RECT page = ClientOf(form_.tshFiles().Handle());
    const int dh = page.bottom - 311;
    RECT outer;
    GetWindowRect(form_.Handle(), &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(form_.Handle(), nullptr, 0, 0, width + 100, height + 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(form_.tvFiles.Bounds().right, 256);
    EXPECT_EQ(form_.tvFiles.Bounds().bottom, 330 + dh);
    EXPECT_EQ(form_.gPreview.Bounds().left, 261);
    EXPECT_EQ(form_.gPreview.Bounds().bottom, 316 + dh);
    EXPECT_EQ(form_.iPreview.Bounds().right, 241);  // the group keeps its width
    EXPECT_EQ(form_.iPreview.Bounds().bottom, 308 + dh);
    EXPECT_EQ(form_.sbAdd.Bounds().top, 335 + dh);
    EXPECT_EQ(form_.bChange.Bounds().left, 264);
    EXPECT_EQ(form_.bChange.Bounds().top, 325 + dh);
    EXPECT_EQ(form_.gbOld.Bounds().top, 130);
    EXPECT_EQ(form_.gbOld.Bounds().right, 510);
    EXPECT_EQ(form_.gbOld.Bounds().bottom, 361 + dh);
    EXPECT_EQ(form_.edOld.Bounds().right, 411);
    EXPECT_EQ(form_.bObzor.Bounds().left, 421);
    EXPECT_EQ(form_.bNowDefault.Bounds().left, 8);
    EXPECT_EQ(form_.oldPreview.Bounds().bottom, 127 + dh);
    EXPECT_EQ(form_.cbRun.Bounds().right, 401);
    EXPECT_EQ(form_.stWWW.Bounds().top, 264);
    // Shrinking below the design size: controls overlap, nothing breaks.
    SetWindowPos(form_.Handle(), nullptr, 0, 0, width - 200, height - 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(form_.tvFiles.Bounds().right, 0);
    EXPECT_EQ(form_.gPreview.Bounds().left, -39);
    SetWindowPos(form_.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(form_.tvFiles.Bounds().right, 156);
    EXPECT_EQ(form_.gPreview.Bounds().left, 161);
}

TEST_F(MainWindowTest, TabOrderWithinThePages) {
    const auto order = [](HWND page) {
        std::vector<HWND> seen;
        HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
        for (HWND item = first; item && seen.size() < 10;) {
            seen.push_back(item);
            item = GetNextDlgTabItem(page, item, FALSE);
            if (item == first) break;
        }
        return seen;
    };
    EXPECT_EQ(order(form_.tshFiles().Handle()), (std::vector<HWND>{form_.tvFiles.Handle(), form_.bChange.Handle()}));
    EXPECT_EQ(order(form_.tshOptions().Handle()),
              (std::vector<HWND>{form_.cbRun.Handle(), form_.cbTray.Handle(), form_.edWait.Handle(),
                                 form_.cmbPlacement.Handle(), form_.cbEachMonitor.Handle(), form_.edOld.Handle(),
                                 form_.bObzor.Handle(), form_.bNowDefault.Handle()}));
    EXPECT_FALSE(GetWindowLongA(form_.stWWW.Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(form_.sbAdd.Handle(), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(MainWindowTest, TrayMenuItemsAndIdentifiers) {
    HMENU menu = form_.pmTray.Handle();
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    const UINT ids[] = {idWall, idRestore, idSeparator1, idExit};
    const char* captions[] = {"Поклеить другие лумо", "Восстановить", "", "Выход"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i]);
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, captions[i]);
    }
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(idRestore));
}

TEST_F(MainWindowTest, TrayModeRegistersOnceAndRemovesOnce) {
    const HWND window = form_.Handle();
    form_.SetTrayMode(1);
    EXPECT_TRUE(form_.TrayIcon.Shown());
    EXPECT_TRUE(NotifyIconRegistered(window));
    EXPECT_EQ(form_.TrayIcon.Data().cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(form_.TrayIcon.Data().hWnd, form_.Handle());
    EXPECT_EQ(form_.TrayIcon.Data().uCallbackMessage, WM_MYNOTIFY);
    EXPECT_EQ(form_.TrayIcon.Data().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_STREQ(form_.TrayIcon.Data().szTip, "Лумо. версия 1.2");
    ICONINFO icon{};  // the icon's image of the system's small size
    ASSERT_TRUE(GetIconInfo(form_.TrayIcon.Data().hIcon, &icon));
    BITMAP mask{};
    EXPECT_TRUE(GetObjectA(icon.hbmMask, sizeof mask, &mask) && mask.bmWidth == GetSystemMetrics(SM_CXSMICON));
    for (HBITMAP bitmap : {icon.hbmMask, icon.hbmColor}) DeleteObject(bitmap);
    // On while on adds nothing: an icon taken away behind the program's back stays away.
    ShellNotify(NIM_DELETE, form_);
    form_.SetTrayMode(1);
    EXPECT_TRUE(form_.TrayIcon.Shown());
    EXPECT_FALSE(NotifyIconRegistered(window));
    ShellNotify(NIM_ADD, form_);
    form_.SetTrayMode(7);  // no mode: nothing happens
    EXPECT_TRUE(form_.TrayIcon.Shown());
    EXPECT_TRUE(NotifyIconRegistered(window));
    form_.SetTrayMode(0);
    EXPECT_FALSE(form_.TrayIcon.Shown());
    EXPECT_FALSE(NotifyIconRegistered(window));
    // Off while off removes nothing: an icon put back by someone else stays.
    ShellNotify(NIM_ADD, form_);
    form_.SetTrayMode(0);
    EXPECT_FALSE(form_.TrayIcon.Shown());
    EXPECT_TRUE(NotifyIconRegistered(window));
    ShellNotify(NIM_DELETE, form_);
}

namespace {
// The calls of ChangeWindowMessageFilterEx, seen through the program's import of it.
struct TFilterCall {
    HWND Window;
    UINT Message;
    DWORD Action;
    friend bool operator==(const TFilterCall&, const TFilterCall&) = default;
};
std::vector<TFilterCall> FilterCalls;
BOOL WINAPI RecordFilterCall(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    FilterCalls.push_back({window, message, action});
    return TRUE;
}
}  // namespace

extern "C" void* __imp_ChangeWindowMessageFilterEx;

TEST(TaskbarRestart, IconComesBackAndTheShellsMessageIsLetThroughForAnElevatedRun) {
    TRegistryOverride registry;
    void** slot = &__imp_ChangeWindowMessageFilterEx;
    DWORD protection = 0;
    ASSERT_TRUE(VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection));
    void* const system = *slot;
    *slot = reinterpret_cast<void*>(&RecordFilterCall);
    FilterCalls.clear();
    auto form = std::make_unique<TMainForm>();
    *slot = system;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    EXPECT_EQ(FilterCalls, (std::vector<TFilterCall>{{form->Handle(), taskbarCreated, MSGFLT_ALLOW}}));

    // The shell made anew has lost the icon: the program adds it again.
    form->SetTrayMode(1);
    ASSERT_TRUE(NotifyIconRegistered(form->Handle()));
    ShellNotify(NIM_DELETE, *form);
    ASSERT_FALSE(NotifyIconRegistered(form->Handle()));
    SendMessageA(form->Handle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(NotifyIconRegistered(form->Handle()));
    // Without an icon of its own the program adds none.
    form->SetTrayMode(0);
    SendMessageA(form->Handle(), taskbarCreated, 0, 0);
    EXPECT_FALSE(NotifyIconRegistered(form->Handle()));
}

namespace {
// Shell_NotifyIconA, seen through the program's import of it, refusing the next adds.
int RefusedAdds = 0;
void* SystemNotifyIcon = nullptr;
BOOL WINAPI RefusingNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    if (message == NIM_ADD && RefusedAdds > 0) return RefusedAdds--, FALSE;
    return reinterpret_cast<decltype(&Shell_NotifyIconA)>(SystemNotifyIcon)(message, data);
}
}  // namespace

extern "C" void* __imp_Shell_NotifyIconA;

TEST_F(MainWindowTest, IconTheShellRefusesIsAskedForAgainAndTheWindowStaysReachable) {
    void** slot = &__imp_Shell_NotifyIconA;
    DWORD protection = 0;
    ASSERT_TRUE(VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection));
    SystemNotifyIcon = std::exchange(*slot, reinterpret_cast<void*>(&RefusingNotifyIcon));
    const HWND window = form_.Handle(), application = Application.Handle();
    // Refused at start: minimised meanwhile, the window keeps its taskbar button; the try two
    // seconds later adds the icon, and the button goes as after any minimise.
    RefusedAdds = 1;
    form_.SetTrayMode(1);
    EXPECT_FALSE(NotifyIconRegistered(window));
    ShowWindow(application, SW_SHOWNORMAL);
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsWindowVisible(application));
    for (int i = 0; i < 60 && !NotifyIconRegistered(window); ++i) Sleep(50), PumpMessages();
    EXPECT_TRUE(NotifyIconRegistered(window));
    EXPECT_FALSE(IsWindowVisible(application));
    // Refused for two minutes of tries after "TaskbarCreated": the hidden program shows its
    // taskbar button, minimised; the next "TaskbarCreated" still adds the icon.
    ShellNotify(NIM_DELETE, form_);
    RefusedAdds = 1000;
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(window, taskbarCreated, 0, 0);
    for (int i = 0; i < 60; ++i) {
        EXPECT_FALSE(IsWindowVisible(application)) << i;
        SendMessageA(window, WM_TIMER, kTrayIconTimer, 0);
    }
    EXPECT_TRUE(IsWindowVisible(application) && IsIconic(application));
    RefusedAdds = 0;
    SendMessageA(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(NotifyIconRegistered(window));
    ShowWindow(application, SW_SHOWNORMAL);
    *slot = SystemNotifyIcon;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

TEST_F(MainWindowTest, LongCaptionIsCutToTheTip) {
    form_.SetCaption(std::string(100, 'x'));
    form_.SetTrayMode(1);
    EXPECT_EQ(std::string(form_.TrayIcon.Data().szTip), std::string(63, 'x'));
    form_.SetTrayMode(0);
}

TEST_F(MainWindowTest, FirstShowingIsCentredLaterOnesKeepThePlace) {
    form_.SetTrayMode(1);
    SendMessageA(form_.Handle(), WM_MYNOTIFY, 0, WM_LBUTTONDBLCLK);  // restore from the icon
    ASSERT_TRUE(IsWindowVisible(form_.Handle()));
    EXPECT_TRUE(IsWindowVisible(Application.Handle()));
    EXPECT_TRUE(Application.ShowMainWindow);
    RECT r;
    GetWindowRect(form_.Handle(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - (r.bottom - r.top)) / 2);
    // The icon ignores the mouse while the window is visible.
    SetWindowPos(form_.Handle(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(form_.Handle(), WM_MYNOTIFY, 0, WM_LBUTTONDBLCLK);
    GetWindowRect(form_.Handle(), &r);
    EXPECT_EQ(r.left, 10);
    // Minimising hides the window and the application window with its taskbar button.
    SendMessageA(form_.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(form_.Handle()));
    EXPECT_FALSE(IsWindowVisible(Application.Handle()));
    EXPECT_FALSE(Application.ShowMainWindow);
    // Other mouse messages are ignored; a double click restores where the user left it.
    SendMessageA(form_.Handle(), WM_MYNOTIFY, 0, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(form_.Handle()));
    SendMessageA(form_.Handle(), WM_COMMAND, idRestore, 0);
    EXPECT_TRUE(IsWindowVisible(form_.Handle()));
    EXPECT_TRUE(IsWindowVisible(Application.Handle()));
    EXPECT_FALSE(IsIconic(Application.Handle()));
    GetWindowRect(form_.Handle(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
}
