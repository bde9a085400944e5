// A user's whole round: pictures added under today's day through the open dialog, the
// window closed, and the next automatic run applies one of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "pictures_test_files.h"
#include "support/dialog_driver.h"
#include "support/drag_files.h"
#include "support/input.h"
#include "support/lumo_process.h"
#include "support/startup_fixture.h"
#include "wallpaper/weekday.h"
#include "wallpaper/weekday_win.h"

namespace {

// The Files page and its tree, in another process's main window.
HWND FilesPage(HWND window) {
    return FindWindowExA(FindWindowExA(window, nullptr, "SysTabControl32", nullptr), nullptr, "TTabSheet", "tshFiles");
}

const char kDays[] = "Понедельник\r\nВторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n";
const char kTail[] = "Вторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n";

class ClosingRun : public StartupTest {
protected:
    void TearDown() override {
        if (mounted_) RunUnixCommand("umount -l '" + UnixPath(folder_.Path()) + "'");
        StartupTest::TearDown();
    }
    // Starts the interactive run; the settings files are written first when not empty.
    void Start(const std::string& options, const std::string& list) {
        if (!options.empty()) WriteFileBytes(folder_.File("WallOpt.ini"), options);
        if (!list.empty()) WriteFileBytes(folder_.File("Murovelo.ini"), list);
        lumo_.Start("");
        window_ = lumo_.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
        ASSERT_TRUE(window_ && WaitVisible(window_, true));
        tree_ = FindWindowExA(FilesPage(window_), nullptr, "SysTreeView32", nullptr);
        ASSERT_NE(tree_, nullptr);
    }
    // Selects the node at a position of the depth-first order.
    void Select(int position) {
        std::vector<HTREEITEM> items;
        Collect(nullptr, items);
        ASSERT_LT(position, static_cast<int>(items.size()));
        SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[position]));
    }
    void Collect(HTREEITEM parent, std::vector<HTREEITEM>& items) {
        for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(
                 tree_, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
             item; item = reinterpret_cast<HTREEITEM>(
                       SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            items.push_back(item);
            Collect(item, items);
        }
    }
    // A glyph button of the Files page: 0 adds, 1 deletes.
    void ClickGlyph(int index) {
        const HWND button = Descendant(FilesPage(window_), "TSpeedButton", index);
        ASSERT_NE(button, nullptr);
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    // Types a pause into the Options page of a main window, as a user's edit.
    static void SetPause(HWND window, const char* text) {
        ASSERT_NE(PauseEdit(window), nullptr);
        SendMessageA(PauseEdit(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void ClickBrowse() {
        const HWND browse = OptionsControl(window_, "Button", "Обзор...", true);
        ASSERT_NE(browse, nullptr);
        PostMessageA(browse, BM_CLICK, 0, 0);
    }
    // Presses OK on every error box until the program ends; the boxes' texts, in order. The
    // exit code goes to exitCode_.
    std::vector<std::string> BoxesUntilTheEnd() {
        std::vector<std::string> texts;
        while (const HWND box = lumo_.FindWindowOf("#32770", "Lumo", 15000)) {
            texts.push_back(MessageBoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            WaitUntil([box] { return !IsWindow(box); }, 5000);
        }
        exitCode_ = lumo_.Wait(15000);
        return texts;
    }
    void ExpectQuietEnd() {
        EXPECT_EQ(BoxesUntilTheEnd(), std::vector<std::string>{});
        EXPECT_EQ(exitCode_, 0);
    }
    std::string Options() { return ReadFileBytes(folder_.File("WallOpt.ini")); }
    std::string List() { return ReadFileBytes(folder_.File("Murovelo.ini")); }
    std::string GoodPicture(const std::string& name) {
        return MakePicture(name, picture_test::SolidBitmap(8, 6, 0x336699));
    }
    TLumoProcess lumo_{folder_.Path()};
    HWND window_ = nullptr;
    HWND tree_ = nullptr;
    int exitCode_ = -1;
    bool mounted_ = false;
};

class FilesPageRun : public ClosingRun {};

}  // namespace

TEST_F(FilesPageRun, PicturesAddedTodayAreAppliedByTheNextAutomaticRun) {
    const std::string a = MakePicture("a.bmp"), b = MakePicture("b.bmp");
    Start("", "");
    // Today's day node: the built-in list starts on Monday.
    const int today = TodayDayNumber();
    Select((today + 5) % 7);
    ASSERT_TRUE(IsWindowEnabled(Descendant(FilesPage(window_), "TSpeedButton")));  // the add button
    TDialogDriver driver = TDialogDriver::Choose(folder_.Path(), {L"b.bmp", L"a.bmp"}, lumo_.Id());
    ClickGlyph(0);
    ASSERT_TRUE(driver.Answered());
    PostMessageA(window_, WM_CLOSE, 0, 0);  // held while the dialog is still up
    ASSERT_EQ(lumo_.Wait(30000), 0);
    EXPECT_NE(List().find(std::string(DayNames[today]) + "\r\n\t" + b + "\r\n\t" + a + "\r\n"), std::string::npos)
        << List();

    TLumoProcess autorun(folder_.Path());
    autorun.Start("/autorun");
    ASSERT_EQ(autorun.Wait(60000), 0);
    const std::string wallpaper = Desktop("Wallpaper");
    EXPECT_TRUE(wallpaper == a || wallpaper == b) << wallpaper;
}

// Closing and session ends while a dialog, the Preview window or an error box is up, and
// saves that fail on the way out: nothing is lost and the program always ends.
TEST_F(ClosingRun, CloseRequestOrSessionEndDuringTheAddDialogWaitsForIt) {
    const std::string a = GoodPicture("a.bmp");
    for (const bool sessionEnd : {false, true}) {
        SCOPED_TRACE(sessionEnd ? "session end" : "close request");
        Start("", "");
        SetPause(window_, "7");
        Select(0);
        std::string meanwhile;
        TDialogDriver add = TDialogDriver::Run(lumo_.Id(), [&](HWND dialog) {
            DWORD_PTR answer = 0;
            if (sessionEnd)
                SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer);
            else
                PostMessageA(window_, WM_CLOSE, 0, 0);  // what taskkill or an installer sends
            PostedMessagesHandled(PauseEdit(window_));
            // The session end has saved the change already: Windows may end the program as soon
            // as it has answered. A close request waits for the dialog.
            meanwhile = Options() + List();
            TDialogDriver::ChooseIn(dialog, folder_.Path(), {L"a.bmp"});
        });
        ClickGlyph(0);
        ASSERT_TRUE(add.Answered());
        ExpectQuietEnd();
        EXPECT_EQ(meanwhile, sessionEnd ? "0\r\n\r\n7\r\n" + std::string(kDays) : "<missing><missing>");
        EXPECT_EQ(List(), "Понедельник\r\n\t" + a + "\r\n" + kTail);
        EXPECT_EQ(Options(), "0\r\n\r\n7\r\n");
        DeleteFileA(folder_.File("Murovelo.ini").c_str());
        DeleteFileA(folder_.File("WallOpt.ini").c_str());
    }
}

TEST_F(ClosingRun, CloseRequestDuringTheBrowseDialogWaitsForIt) {
    const std::string a = GoodPicture("a.bmp");
    Start("", "");
    ClickBrowse();
    TDialogDriver browse = TDialogDriver::Run(lumo_.Id(), [&](HWND dialog) {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        PostedMessagesHandled(PauseEdit(window_));
        TDialogDriver::ChooseIn(dialog, folder_.Path(), {L"a.bmp"});
    });
    ASSERT_TRUE(browse.Answered());
    ExpectQuietEnd();
    EXPECT_EQ(Options(), "0\r\n" + a + "\r\n10\r\n");
    EXPECT_EQ(List(), kDays);
}

TEST_F(ClosingRun, CloseRequestDuringThePreviewWindowWaitsForIt) {
    GoodPicture("a.bmp");
    Start("", "");
    Select(0);
    bool previewSeen = false;
    TDialogDriver add = TDialogDriver::Run(lumo_.Id(), [&](HWND dialog) {
        TypeAndConfirm(dialog, folder_.Path());
        // The one picture of the folder, selected in the file list as a click does.
        HWND list = nullptr;
        WaitUntil([&] { return (list = FileList(dialog)) && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0; }, 5000);
        SelectListEntry(list, 0);
        HWND button = nullptr;
        WaitUntil([&] { return (button = Descendant(dialog, "TSpeedButton")) && IsWindowEnabled(button); }, 5000);
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        const HWND preview = lumo_.FindWindowOf("TPreviewForm", "Preview", 10000);
        previewSeen = preview != nullptr;
        PostMessageA(window_, WM_CLOSE, 0, 0);
        PostedMessagesHandled(PauseEdit(window_));
        PostMessageA(preview, WM_CLOSE, 0, 0);
        WaitUntil([preview] { return !IsWindow(preview); }, 5000);
        TDialogDriver::CancelIn(dialog);
    });
    ClickGlyph(0);
    ASSERT_TRUE(add.Answered());
    EXPECT_TRUE(previewSeen);
    ExpectQuietEnd();
    EXPECT_EQ(List(), kDays);
    EXPECT_EQ(Options(), "0\r\n\r\n10\r\n");
}

TEST_F(ClosingRun, CloseRequestDuringTheErrorBoxOfADeleteWaitsForIt) {
    const std::string good = GoodPicture("good.bmp"), broken = MakePicture("broken.bmp");
    const std::string today = DayNames[TodayDayNumber()];
    Start("-1\r\nC:\\d.bmp\r\n5\r\n", today + "\r\n\t" + good + "\r\n\t" + broken + "\r\n" + kTail);
    Select(1);
    ClickGlyph(1);  // the tree then selects the damaged picture, whose preview fails
    const HWND box = lumo_.FindWindowOf("#32770", "Lumo", 10000);
    ASSERT_NE(box, nullptr);
    // The main window takes no input under the box, as under an owned box, and keeps its state.
    EXPECT_FALSE(IsWindowEnabled(window_));
    PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PostMessageA(window_, WM_COMMAND, 101, 0);  // the tray menu's «Поклеить другие лумо»
    ASSERT_TRUE(PostedMessagesHandled(PauseEdit(window_)));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(Desktop("Wallpaper"), "<absent>");
    PostMessageA(window_, WM_CLOSE, 0, 0);
    const std::vector<std::string> texts = BoxesUntilTheEnd();
    EXPECT_EQ(exitCode_, 0);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "Stream read error.");
    EXPECT_EQ(List(), today + "\r\n\t" + broken + "\r\n" + kTail);
    EXPECT_EQ(Options(), "-1\r\nC:\\d.bmp\r\n5\r\n");
}

TEST_F(ClosingRun, AFailedSaveOnClosingIsShownOnceAndTheProgramEnds) {
    // A file of one page, 4096 bytes, that the new pause makes longer.
    const std::string options = "0\r\nC:\\" + std::string(4085, 'd') + "\r\n5\r\n";
    for (const std::string way : {"close box", "Выход", "full disk"}) {
        SCOPED_TRACE(way);
        WriteFileBytes(folder_.File("WallOpt.ini"), options);
        WriteFileBytes(folder_.File("Murovelo.ini"), kDays);
        if (way == "full disk") {
            // The folder moved onto a disk with no block and no file entry left (for root).
            const std::string d = "'" + UnixPath(folder_.Path()) + "'";
            mounted_ = true;  // taken down at the end, however far the mount came
            if (RunUnixCommand("s=$(mktemp -d) && cp -a " + d + ". $s && mount -t tmpfs -o size=4m,nr_inodes=16 x " +
                               d + " && cp -a $s/. " + d + " && rm -r $s && (cat /dev/zero >" + d +
                               "blocks; for i in $(seq 16); do touch " + d + "$i; done; true) 2>/dev/null") != 0)
                GTEST_SKIP() << "no small disk can be mounted here (mount -t tmpfs needs root)";
        }
        Start("", "");
        SetPause(window_, "32000");
        // Or another program holds the options file: it cannot be replaced.
        HANDLE held = mounted_ ? INVALID_HANDLE_VALUE
                               : CreateFileA(folder_.File("WallOpt.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr);
        PostMessageA(window_, way == "Выход" ? WM_COMMAND : WM_CLOSE, way == "Выход" ? 104 : 0, 0);
        const std::vector<std::string> texts = BoxesUntilTheEnd();
        CloseHandle(held);
        EXPECT_EQ(exitCode_, 0);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rfind("Cannot create file \"" + folder_.File("WallOpt.ini") + "\". ", 0), 0u) << texts[0];
        EXPECT_EQ(Options(), options);
        EXPECT_EQ(List(), kDays);
        EXPECT_FALSE(PathExists(folder_.File("WallOpt.in~")));
    }
}

TEST_F(ClosingRun, AnInstanceThatChangedNothingKeepsWhatAnotherWrote) {
    TLumoProcess second(folder_.Path());
    Start("0\r\n\r\n5\r\n", "Понедельник\r\n\t" + GoodPicture("a.bmp") + "\r\n" + kTail);
    const HWND first = window_;
    // The second instance deletes the picture, takes another pause and closes.
    second.Start("");
    window_ = second.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    ASSERT_TRUE(window_ && WaitVisible(window_, true));
    tree_ = FindWindowExA(FilesPage(window_), nullptr, "SysTreeView32", nullptr);
    Select(1);
    ClickGlyph(1);
    SetPause(window_, "7");
    PostMessageA(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(second.Wait(15000), 0);
    PostMessageA(first, WM_COMMAND, 104, 0);  // «Выход» in the first
    ExpectQuietEnd();
    EXPECT_EQ(Options(), "0\r\n\r\n7\r\n");
    EXPECT_EQ(List(), kDays);
}

TEST_F(ClosingRun, SessionEndSavesOnlyWhatChangedWithoutABox) {
    // Nothing edited: what another instance wrote meanwhile stays.
    Start("0\r\n\r\n5\r\n", kDays);
    WriteFileBytes(folder_.File("WallOpt.ini"), "-1\r\n\r\n9\r\n");
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window_, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &answer);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer);
    EXPECT_EQ(lumo_.Wait(15000), 0);
    EXPECT_EQ(Options(), "-1\r\n\r\n9\r\n");

    // The pause edited: saved. A save that fails shows no box; the session ends all the same.
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held" : "free");
        Start("0\r\n\r\n5\r\n", kDays);
        SetPause(window_, "7");
        HANDLE file = held ? CreateFileA(folder_.File("WallOpt.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
        SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, &answer);
        ExpectQuietEnd();
        if (held) CloseHandle(file);
        EXPECT_EQ(Options(), held ? "0\r\n\r\n5\r\n" : "0\r\n\r\n7\r\n");
    }
}

TEST_F(ClosingRun, ThePauseAtLogonAnswersOtherProgramsMessages) {
    // A session end meanwhile waits for the change, and an automatic run writes nothing.
    const std::string picture = MakePicture("d.bmp");
    WriteFileBytes(folder_.File("WallOpt.ini"), "-1\r\n" + picture + "\r\n3\r\n");
    lumo_.Start("/autorun");
    const HWND window = lumo_.FindWindowOf("TMainForm", "Лумо. версия 1.2", 30000);
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &answer), 0);
    EXPECT_NE(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 1000, &answer), 0);
    EXPECT_EQ(Desktop("Wallpaper"), "<absent>");  // nothing of ours ran before the change
    EXPECT_EQ(lumo_.Wait(30000), 0);
    EXPECT_EQ(Desktop("Wallpaper"), picture);
    EXPECT_FALSE(PathExists(folder_.File("Murovelo.ini")));
}

TEST_F(ClosingRun, PicturesDroppedFromExplorerAndMissingOnesRemovedWithTheKeyboard) {
    const std::string a = GoodPicture("a.bmp"), b = GoodPicture("b.bmp"), gone = folder_.File("gone.bmp");
    Start("", "Понедельник\r\n\t" + gone + "\r\n" + kTail);
    // The rows from the top of the list, one height each: Monday first.
    RECT client;
    GetClientRect(tree_, &client);
    const int height = static_cast<int>(SendMessageA(tree_, TVM_GETITEMHEIGHT, 0, 0));
    const auto row = [&](int index) {
        POINT at{client.right / 2, height * index + height / 2};
        ClientToScreen(tree_, &at);
        return at;
    };
    // The window takes drops once it is in sight.
    EXPECT_TRUE(WaitUntil([&] { return DropFiles({a, b}, row(0)) != DROPEFFECT_NONE; }, 10000));
    const std::string dropped = "Понедельник\r\n\t" + gone + "\r\n\t" + a + "\r\n\t" + b + "\r\n" + kTail;
    EXPECT_TRUE(WaitUntil([&] { return List() == dropped; }, 10000)) << List();
    // A click on the missing picture, Shift+F10, the menu's last command, and OK in its question.
    SetForegroundWindow(window_);
    input::Click(row(1));
    input::Key(VK_F10, false, true);
    ASSERT_TRUE(lumo_.FindWindowOf("#32768", nullptr, 5000));
    input::Key(VK_UP);
    input::Key(VK_RETURN);
    ASSERT_NE(lumo_.FindWindowOf("#32770", "Lumo", 10000), nullptr);
    // A close request meanwhile waits for the answer; the removal is saved, and the program ends.
    PostMessageA(window_, WM_CLOSE, 0, 0);
    PostedMessagesHandled(PauseEdit(window_));
    const std::vector<std::string> boxes = BoxesUntilTheEnd();  // OK to the question
    EXPECT_TRUE(boxes.size() == 1 && boxes[0].find("(1)?") != std::string::npos) << boxes.size();
    EXPECT_EQ(exitCode_, 0);
    EXPECT_EQ(List(), "Понедельник\r\n\t" + a + "\r\n\t" + b + "\r\n" + kTail);
}
