// What the controls of the Files, Options and About pages and the icon menu's commands do,
// driven in this process.
#include <gtest/gtest.h>
#include <objbase.h>

#include <commctrl.h>

#include <thread>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "open_dialog/ansi_path_win.h"
#include "pictures_test_files.h"
#include "settings/file_io_win.h"
#include "support/dialog_driver.h"
#include "support/drag_files.h"
#include "support/input.h"
#include "support/test_support.h"
#include "ui/application_win.h"
#include "wallpaper/weekday.h"
#include "wallpaper/weekday_win.h"
#include "wallpaper_stand_in.h"

namespace {

class PagesTest : public ::testing::Test {
protected:
    PagesTest() {
        CoInitialize(nullptr);
        MainForm = &form_;
        Application.SetMainForm(&form_);
        WriteFileBytes(folder_.File("red.bmp"), picture_test::SolidBitmap(4, 2, RGB(255, 0, 0)));
        WriteFileBytes(folder_.File("green.bmp"), picture_test::SolidBitmap(2, 2, RGB(0, 255, 0)));
        WriteFileBytes(folder_.File("blue.bmp"), picture_test::SolidBitmap(2, 4, RGB(0, 0, 255)));
        SetRegistryString(HKEY_CURRENT_USER, kDesktop, "TileWallpaper", "1");
    }
    ~PagesTest() override {
        Application.SetMainForm(nullptr);
        MainForm = nullptr;
        DeleteFileA(OptionsFilePath().c_str());
        DeleteFileA(WallpaperListFilePath().c_str());
        CoUninitialize();
    }
    // Selects the node at a list position, as a click does.
    void SelectAt(size_t index) {
        form_.tvFiles.Select(form_.tvFiles.Nodes().at(index));
        form_.tvFilesClick();
    }
    std::string Wallpaper() { return ReadRegistryString(HKEY_CURRENT_USER, kDesktop, "Wallpaper"); }
    // The rows the tree shows, in its order.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const HTREEITEM item : form_.tvFiles.Nodes()) {
            char text[512] = {};
            TVITEMA data{TVIF_TEXT, item, 0, 0, text, sizeof text, 0, 0, 0, 0};
            SendMessageA(form_.tvFiles.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
            rows.emplace_back(text);
        }
        return rows;
    }
    POINT OnScreen(size_t index) { return NodeOnScreen(form_.tvFiles.Handle(), form_.tvFiles.Nodes().at(index)); }
    void ExpectButtons(bool add, bool del, bool change) {
        EXPECT_EQ(form_.sbAdd.Enabled(), add);
        EXPECT_EQ(form_.sbDel.Enabled(), del);
        EXPECT_EQ(form_.bChange.Enabled(), change);
    }
    TRegistryOverride registry_;
    TTempFolder folder_;
    TMainForm form_;
};

}  // namespace

TEST_F(PagesTest, SelectionRuleForDayFileMissingAndDeepNodes) {
    form_.tvFiles.Assign({{-1, "Понедельник"},
                          {0, folder_.File("red.bmp")},
                          {0, folder_.File("gone.bmp")},
                          {2, folder_.File("green.bmp")},
                          {-1, "Вторник"}});
    form_.bChangeClick();  // nothing selected yet: nothing happens
    EXPECT_EQ(Wallpaper(), "<absent>");
    ExpectButtons(false, false, true);

    SelectAt(0);
    ExpectButtons(true, false, false);
    EXPECT_TRUE(form_.iPreview.Picture.Empty());

    SelectAt(1);
    ExpectButtons(false, true, true);
    EXPECT_EQ(form_.iPreview.Picture.Width(), 4);
    form_.bChangeClick();
    EXPECT_EQ(Wallpaper(), folder_.File("red.bmp"));

    SelectAt(2);
    ExpectButtons(false, true, false);
    EXPECT_TRUE(form_.iPreview.Picture.Empty());

    SelectAt(3);  // a node below a file node: no preview even for an existing file
    ExpectButtons(false, true, false);
    EXPECT_TRUE(form_.iPreview.Picture.Empty());
}

TEST_F(PagesTest, PreviewThatCannotLoadLeavesTheButtonOff) {
    // A damaged file, and small files of each kind stating more pixels than the program's
    // limit: each selection shows its failure in one standard error box.
    std::vector<std::pair<std::string, std::string>> files = {{"broken.bmp", "Stream read error."}};
    WriteFileBytes(folder_.File("broken.bmp"), "BMxx");
    for (const picture_test::TOversizedFile& file : picture_test::OversizedPictureFiles()) {
        WriteFileBytes(folder_.File(file.name), file.bytes);
        files.emplace_back(file.name, file.message.back() == '.' ? file.message : file.message + '.');
    }
    TWallpaperList list = {{-1, "Понедельник"}};
    for (const auto& file : files) list.push_back({0, folder_.File(file.first)});
    form_.tvFiles.Assign(list);
    const std::vector<HTREEITEM> items = form_.tvFiles.Nodes();
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        SelectAt(0);
        // Selecting raises the change event; its error goes to the standard error box.
        TBoxAnswerer answerer(Application.Title());
        form_.tvFiles.Select(items[i + 1]);
        Sleep(200);
        EXPECT_EQ(answerer.Texts(), std::vector<std::string>{files[i].second});
        ExpectButtons(false, true, false);
        EXPECT_TRUE(form_.iPreview.Picture.Empty());
    }
}

TEST_F(PagesTest, AddingThreeFilesKeepsTheDialogsOrderAndSaves) {
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, "C:\\old.jpg"}, {-1, "Вторник"}});
    SelectAt(0);
    // A file left out (its short name would end in ".JPE") is named after the others are saved.
    WriteFileBytes(WidePath(folder_.Path()) + L"\u685C.jpeg", "");
    TDialogDriver driver =
        TDialogDriver::Choose(folder_.Path(), {L"green.bmp", L"\u685C.jpeg", L"red.bmp", L"blue.bmp"});
    EXPECT_THROW(form_.sbAddClick(), Exception);
    ASSERT_TRUE(driver.Answered());
    const TWallpaperList items = form_.tvFiles.Items();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[2].Text, folder_.File("green.bmp"));
    EXPECT_EQ(items[3].Text, folder_.File("red.bmp"));
    EXPECT_EQ(items[4].Text, folder_.File("blue.bmp"));
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(items[i].Parent, 0);
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(items));
    // A save that fails is shown, and the file left out is named all the same.
    HANDLE held = CreateFileA(WallpaperListFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    TBoxAnswerer answerer(Application.Title());
    TDialogDriver again = TDialogDriver::Choose(folder_.Path(), {L"\u685C.jpeg", L"red.bmp"});
    EXPECT_THROW(form_.sbAddClick(), Exception);
    CloseHandle(held);
    EXPECT_EQ(answerer.Texts().at(0).rfind("Cannot create file", 0), 0u);
}

TEST_F(PagesTest, CancellingStillSaves) {
    SelectAt(2);
    // Both buttons' dialogs are owned by the application window.
    HWND addOwner = nullptr, browseOwner = nullptr;
    TDialogDriver driver = TDialogDriver::Run(GetCurrentProcessId(), [&](HWND dialog) {
        addOwner = GetWindow(dialog, GW_OWNER);
        TDialogDriver::CancelIn(dialog);
    });
    form_.sbAddClick();
    ASSERT_TRUE(driver.Answered());
    EXPECT_EQ(addOwner, Application.Handle());
    TDialogDriver browse = TDialogDriver::Run(GetCurrentProcessId(), [&](HWND dialog) {
        browseOwner = GetWindow(dialog, GW_OWNER);
        TDialogDriver::CancelIn(dialog);
    });
    form_.bObzorClick();
    ASSERT_TRUE(browse.Answered());
    EXPECT_EQ(browseOwner, Application.Handle());
    EXPECT_EQ(form_.tvFiles.Count(), 7u);
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "0\r\n\r\n10\r\n");
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(BuiltInWallpaperList()));
}

TEST_F(PagesTest, DeletingSelectsAnotherNodeAndSaves) {
    const std::string red = folder_.File("red.bmp"), green = folder_.File("green.bmp"), gone = folder_.File("gone.bmp");
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, red}, {0, green}, {0, gone}, {-1, "Вторник"}});
    const auto selected = [this] {
        const HTREEITEM item = form_.tvFiles.Selected();
        return item ? form_.tvFiles.ItemText(item) : std::string("<none>");
    };
    // The tree selects by its own rule, here the next node of the same day: a picture that
    // exists, whose preview (2 x 2, not the red 4 x 2) and buttons follow.
    SelectAt(1);
    form_.sbDelClick();
    EXPECT_EQ(selected(), green);
    EXPECT_EQ(form_.iPreview.Picture.Width(), 2);
    EXPECT_EQ(form_.iPreview.Picture.Height(), 2);
    ExpectButtons(false, true, true);
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()),
              "Понедельник\r\n\t" + green + "\r\n\t" + gone + "\r\nВторник\r\n");
    // Next comes a picture whose file is missing: no preview, nothing to apply.
    form_.sbDelClick();
    EXPECT_EQ(selected(), gone);
    EXPECT_TRUE(form_.iPreview.Picture.Empty());
    ExpectButtons(false, true, false);
    // The day's last picture gone, the day itself is selected.
    form_.sbDelClick();
    EXPECT_EQ(selected(), "Понедельник");
    EXPECT_TRUE(form_.iPreview.Picture.Empty());
    ExpectButtons(true, false, false);
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), "Понедельник\r\nВторник\r\n");
    form_.tvFiles.Select(nullptr);
    form_.sbDelClick();  // nothing selected: nothing deleted
    EXPECT_EQ(form_.tvFiles.Count(), 2u);
}

TEST_F(PagesTest, DefaultWallpaperPreviewAndApplyButton) {
    form_.edOld.SetText(folder_.File("blue.bmp"));
    EXPECT_EQ(form_.DefaultWallpaper, folder_.File("blue.bmp"));
    EXPECT_EQ(form_.oldPreview.Picture.Height(), 4);
    form_.edOld.SetText(folder_.File("missing.bmp"));
    EXPECT_TRUE(form_.oldPreview.Picture.Empty());
    form_.bNowDefaultClick();
    EXPECT_EQ(Wallpaper(), "<absent>");
    form_.edOld.SetText("");
    form_.bNowDefaultClick();
    EXPECT_EQ(Wallpaper(), "<absent>");
    form_.edOld.SetText(folder_.File("blue.bmp"));
    form_.bNowDefaultClick();
    EXPECT_EQ(Wallpaper(), folder_.File("blue.bmp"));
}

TEST_F(PagesTest, BrowseTakesTheFirstChosenFile) {
    // Named with a letter the code page lacks: taken by a short path that opens the red picture.
    WriteFileBytes(WidePath(folder_.Path()) + L"Caf\u00E9.bmp", ReadFileBytes(folder_.File("red.bmp")));
    TDialogDriver driver = TDialogDriver::Choose(folder_.Path(), {L"Caf\u00E9.bmp", L"green.bmp"});
    form_.bObzorClick();
    ASSERT_TRUE(driver.Answered());
    EXPECT_EQ(form_.DefaultWallpaper, form_.edOld.Text());
    EXPECT_EQ(form_.oldPreview.Picture.Width(), 4);
    // The first chosen file left out: nothing changes, and the failure speaks of the default.
    const std::string before = form_.DefaultWallpaper;
    WriteFileBytes(WidePath(folder_.Path()) + L"\u685C.jpeg", "");
    TDialogDriver leftOut = TDialogDriver::Choose(folder_.Path(), {L"\u685C.jpeg", L"green.bmp"});
    const std::string failure = FailureOf([&] { form_.bObzorClick(); });
    EXPECT_NE(failure.find("\\?.jpeg\" не выбран картинкой по умолчанию"), std::string::npos) << failure;
    EXPECT_EQ(form_.edOld.Text() + form_.DefaultWallpaper, before + before);
}

TEST_F(PagesTest, AboutPictureBlendsOverThePage) {
    // The picture is decoded when the message loop first runs, not while the window is made.
    EXPECT_TRUE(form_.iAbout.Picture.Empty());
    PumpMessages();
    ASSERT_EQ(form_.iAbout.Picture.Width(), 410);
    ASSERT_EQ(form_.iAbout.Picture.Height(), 310);
    const RECT bounds = form_.iAbout.Bounds();
    EXPECT_EQ(bounds.right - bounds.left, 410);
    // Over a page of a known colour.
    picture_test::TCanvas page(410, 310, RGB(10, 200, 30));
    form_.iAbout.Picture.Draw(page.Dc(), RECT{0, 0, 410, 310});
    GdiFlush();
    EXPECT_EQ(page.At(0, 0), page.Background());  // a transparent corner shows the page
    EXPECT_EQ(page.At(100, 290), RGB(0, 0, 0));   // the black body is opaque
    EXPECT_NE(GetBValue(page.At(205, 0)), 30);    // the top edge is partly covered
}

TEST_F(PagesTest, TheLinkOpensTheProgramsWebPageOncePerClick) {
    // The handler of web addresses, for this test: it writes down each address it is given.
    const std::string opened = folder_.File("opened.txt");
    HKEY classes = nullptr, command = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes, nullptr),
              ERROR_SUCCESS);
    RegCreateKeyExA(classes, "http\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &command, nullptr);
    const std::string recorder = "C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + opened + "\"";
    RegSetValueExA(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(recorder.c_str()),
                   static_cast<DWORD>(recorder.size() + 1));
    RegCloseKey(command);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, classes);
    const auto openedOnce = [&](const std::string& expected) {
        WaitUntil([&] { return ReadFileBytes(opened) == expected; }, 10000);
        return ReadFileBytes(opened);
    };
    const std::string page = "http://lumo.example.org/soft/?id=010\r\n";
    SendMessageA(form_.stWWW.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));  // a click on the link
    SendMessageA(form_.stWWW.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(openedOnce(page), page);
    form_.stWWWClick();
    EXPECT_EQ(openedOnce(page + page), page + page);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(classes);
    EXPECT_EQ(form_.pcMain.ActivePageIndex(), 0);  // the window does not change
}

TEST_F(PagesTest, ClicksReachTheirHandlers) {
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, folder_.File("red.bmp")}});
    SelectAt(1);
    SendMessageA(form_.bChange.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Wallpaper(), folder_.File("red.bmp"));

    form_.edOld.SetText(folder_.File("green.bmp"));
    SendMessageA(form_.bNowDefault.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Wallpaper(), folder_.File("green.bmp"));

    SendMessageA(form_.cbRun.Handle(), BM_CLICK, 0, 0);
    std::string data;
    DWORD type = 0;
    EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", data, type));

    {
        TDialogDriver driver = TDialogDriver::Cancel();
        SendMessageA(form_.bObzor.Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(driver.Answered());
        EXPECT_EQ(form_.edOld.Text(), folder_.File("green.bmp"));
    }
    {
        SelectAt(0);
        TDialogDriver driver = TDialogDriver::Cancel();
        SendMessageA(form_.sbAdd.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageA(form_.sbAdd.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(driver.Answered());
        EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(form_.tvFiles.Items()));
    }
    SelectAt(1);
    SendMessageA(form_.sbDel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(form_.sbDel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(form_.tvFiles.Count(), 1u);

    // A tab chosen with the keyboard or the mouse shows its page.
    TabCtrl_SetCurFocus(form_.pcMain.Handle(), 2);
    EXPECT_EQ(form_.pcMain.ActivePageIndex(), 2);
    EXPECT_TRUE(GetWindowLongA(form_.tshAbout().Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(form_.tshFiles().Handle(), GWL_STYLE) & WS_VISIBLE);
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо");
}

TEST_F(PagesTest, MenuDrawPicksTodaysExistingFileOrDoesNothing) {
    const std::string today = DayNames[TodayDayNumber()], red = folder_.File("red.bmp");
    form_.tvFiles.Assign({{-1, today}, {0, folder_.File("missing.bmp")}});
    form_.nWallClick();
    EXPECT_EQ(Wallpaper(), "<absent>");
    form_.tvFiles.Assign({{-1, today + " "}, {0, red}, {-1, "x"}});
    form_.nWallClick();  // the day's name must match exactly
    EXPECT_EQ(Wallpaper(), "<absent>");
    form_.tvFiles.Assign({{-1, "x"}, {-1, today}, {1, folder_.File("missing.bmp")}, {1, red}});
    form_.nWallClick();  // the missing picture is passed over
    EXPECT_EQ(Wallpaper(), red);
    form_.tvFiles.Assign({{-1, today}, {0, red}, {0, folder_.File("green.bmp")}});
    form_.nWallClick();  // never the picture shown while another is there
    EXPECT_EQ(Wallpaper(), folder_.File("green.bmp"));
}

TEST_F(PagesTest, RowsNameThePictureAndMarkWhatCannotBeUsedWhenShownAgainThenCtrlDeleteRemovesIt) {
    const std::string red = folder_.File("red.bmp"), folder = folder_.Path().substr(0, folder_.Path().size() - 1);
    const std::string folderName = folder.substr(folder.rfind('\\') + 1);
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, red}, {0, folder_.File("green.bmp")}, {-1, "Пятница (work)"}});
    const std::vector<std::string> shown{"Понедельник", "red.bmp — " + folderName, "green.bmp — " + folderName,
                                         "Пятница (work) (не день недели)"};
    form_.Show();
    PumpMessages();
    EXPECT_EQ(Rows(), shown);
    form_.tvFiles.Select(form_.tvFiles.Nodes().at(1));
    EXPECT_TRUE(form_.bChange.Enabled());
    // Nothing looks while the window is hidden; showing it again does, and the preview follows.
    form_.Hide();
    DeleteFileA(red.c_str());
    PumpMessages();
    EXPECT_EQ(Rows(), shown);
    form_.Show();
    PumpMessages();
    EXPECT_EQ(Rows().at(1), "red.bmp — " + folderName + " (нет файла)");
    EXPECT_FALSE(form_.bChange.Enabled());
    EXPECT_EQ(form_.tvFiles.Items().at(1).Text, red);
    // Ctrl+Delete in the list removes the missing pictures once the question is answered, and saves.
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    TBoxAnswerer answerer(Application.Title());
    SendMessageA(form_.tvFiles.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(Rows(), (std::vector<std::string>{shown[0], shown[2], shown[3]}));
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(form_.tvFiles.Items()));
}

TEST_F(PagesTest, PicturesAndFoldersDroppedFromExplorer) {
    // A folder's pictures in Explorer's order of names; no other file, no hidden one, nothing of
    // its subfolders; a name the code page cannot hold is named after the save.
    const std::string pics = folder_.File("pics"), green = folder_.File("green.bmp"), blue = folder_.File("blue.bmp");
    CreateDirectoryA(pics.c_str(), nullptr);
    CreateDirectoryA((pics + "\\sub").c_str(), nullptr);
    for (const char* name : {"\\10.bmp", "\\9.png", "\\notes.txt", "\\hidden.bmp", "\\sub\\1.bmp"})
        WriteFileBytes(pics + name, "BM");
    WriteFileBytes(folder_.File("notes.txt"), "");
    SetFileAttributesA((pics + "\\hidden.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(WidePath(pics) + L"\\\u685C.jpeg", "");
    form_.tvFiles.Assign({{-1, "Понедельник"}, {0, folder_.File("red.bmp")}, {-1, "Вторник"}});
    form_.tvFiles.Expand(form_.tvFiles.Nodes().front());
    form_.Show();
    PumpMessages();
    const DWORD link = DROPEFFECT_LINK, none = DROPEFFECT_NONE;
    {
        // Onto a picture: under its day, the day opened.
        TBoxAnswerer answerer(Application.Title());
        EXPECT_EQ(DropFiles({green, pics, folder_.File("notes.txt")}, OnScreen(1)), link);
        PumpMessages();
        EXPECT_EQ(answerer.Texts().at(0).rfind("Файл \"" + pics + "\\?.jpeg\" не добавлен", 0), 0u);
    }
    const TWallpaperList dropped{{-1, "Понедельник"},   {0, folder_.File("red.bmp")}, {0, green},
                                 {0, pics + "\\9.png"}, {0, pics + "\\10.bmp"},       {-1, "Вторник"}};
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(dropped));
    // Below the rows: under the selected day. No picture, or a menu up: refused.
    SelectAt(5);
    EXPECT_EQ(DropFiles({blue}, POINT{OnScreen(5).x, OnScreen(5).y + 40}), link);
    PumpMessages();
    EXPECT_TRUE(ReadFileBytes(WallpaperListFilePath()).ends_with("Вторник\r\n\t" + blue + "\r\n"));
    EXPECT_EQ(DropFiles({folder_.File("notes.txt")}, OnScreen(0)), none);
    {
        const TModalState menu(TModalState::KeepInput);  // as the tray menu's, or the list's
        EXPECT_EQ(DropFiles({blue}, OnScreen(0)), none);
    }
    // Onto the default wallpaper's group: one picture.
    form_.pcMain.SetActivePageIndex(1);
    const POINT onEdit = input::Centre(form_.edOld.Handle());
    EXPECT_EQ(DropFiles({blue, green}, onEdit), none);
    EXPECT_EQ(DropFiles({blue}, onEdit), link);
    PumpMessages();
    EXPECT_EQ(form_.edOld.Text(), blue);
}

TEST_F(PagesTest, AskedChangesTellOfASlideshowOnceAndOfARefusalTheAutomaticOneTriesTheDefaultOnce) {
    TStandInWallpaper object;
    object.Status = 2;  // a slideshow is set
    const std::string red = folder_.File("red.bmp"), blue = folder_.File("blue.bmp");
    form_.tvFiles.Assign({{-1, DayNames[TodayDayNumber()]}, {0, red}});
    form_.edOld.SetText(blue);
    object.Answer = E_ACCESSDENIED;
    object.Refused = WidePath(red);
    // Each automatic run a logon of its own.
    const auto logon = [&] { DeleteRegistryKey(HKEY_CURRENT_USER, kSessionRecordKey), form_.AutomaticRun(); };
    TBoxAnswerer automatic(Application.Title());
    logon();  // the default stands in, and no box
    EXPECT_EQ(automatic.Texts(), std::vector<std::string>{});
    object.Refused.clear();  // the default refused too: the failure of today's picture leaves
    EXPECT_EQ(FailureOf(logon), "EOleSysError: Доступ запрещён");
    TBoxAnswerer answerer(Application.Title());
    for (const HRESULT answer : {S_OK, S_OK, E_ACCESSDENIED}) {
        object.Answer = answer;
        SendMessageA(form_.bNowDefault.Handle(), BM_CLICK, 0, 0);
    }
    const std::vector<std::string> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("Фон рабочего стола Windows сейчас — слайд-шоу", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1], "Доступ запрещён.");
    const std::wstring change = L"position 2;all=" + WidePath(blue) + L";",
                       tries = L"position 2;all=" + WidePath(red) + L";" + change;
    EXPECT_EQ(object.Calls, tries + tries + change + change + change);
}
