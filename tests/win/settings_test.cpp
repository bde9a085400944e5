// The settings as the main window holds, reads and saves them, in this process: its first
// values, the pause's rule, the default wallpaper, the Run value, the options and list files,
// the save at a session's end, and beneath them the safe save (ReplaceFileContent).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <thread>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "settings/file_io_win.h"
#include "ui/application_win.h"
#include "support/test_support.h"

namespace {

// The start command written for the running test program: its path, quoted only when it holds a
// blank, then " /autorun".
std::string TestProgramRunCommand() {
    const std::string program = TestProgramFolder() + "win_tests.exe";
    return program.find(' ') == std::string::npos ? program + " /autorun" : "\"" + program + "\" /autorun";
}

// Makes a file look last written an hour ago, as a leftover of a save that never ended does, or
// a save under way after the clock was set back.
void WrittenAnHourAgo(const std::string& file) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG value = ((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime) - 36000000000ull;
    const FILETIME hourAgo{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    HANDLE handle =
        CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &hourAgo);
    CloseHandle(handle);
}

class MainFormTest : public ::testing::Test {
protected:
    void TearDown() override {
        DeleteFileA(OptionsFilePath().c_str());
        DeleteFileA(WallpaperListFilePath().c_str());
        DeleteFileA(DesktopOptionsFilePath().c_str());
    }
    TRegistryOverride registry_;
    TMainForm form_;
};

}  // namespace

TEST_F(MainFormTest, StartsWithTheBuiltInListAndLayoutValues) {
    const TWallpaperList items = form_.tvFiles.Items();
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0].Text, "Понедельник");
    EXPECT_EQ(items[6].Text, "Воскресенье");
    EXPECT_EQ(form_.edWait.Text(), "10");
    EXPECT_EQ(form_.edOld.Text(), "");
    EXPECT_FALSE(form_.cbRun.Checked());
    EXPECT_FALSE(form_.cbTray.Checked());
    EXPECT_TRUE(form_.cbTray.Enabled());
    EXPECT_FALSE(form_.Visible());
    EXPECT_EQ(form_.Caption(), "Лумо. версия 1.2");
}

TEST_F(MainFormTest, PauseFieldNormalisesEveryText) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "10"}, {"-", "10"}, {"007", "7"}, {"$1F", "31"}, {"99999", "32000"}, {"-5", "0"}, {"40000", "32000"}};
    for (const auto& [typed, shown] : cases) {
        SetWindowTextA(form_.edWait.Handle(), typed);  // as typing does
        EXPECT_EQ(form_.edWait.Text(), shown) << typed;
    }
}

TEST_F(MainFormTest, RunBoxWritesAndDeletesTheStartValue) {
    std::string data;
    DWORD type = 0;
    form_.cbRun.SetChecked(true);
    ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", data, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, TestProgramRunCommand() + '\0');
    EXPECT_TRUE(form_.cbTray.Enabled());
    form_.cbRun.SetChecked(false);
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", data, type));
    EXPECT_FALSE(form_.cbTray.Enabled());
    form_.cbRun.SetChecked(true);
    EXPECT_TRUE(form_.cbTray.Enabled());
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо");
    form_.cbRun.SetChecked(false);  // removed by someone else: nothing to report
    EXPECT_FALSE(form_.cbTray.Enabled());
}

TEST_F(MainFormTest, ProbeRewritesAStartValueOfAnyType) {
    HKEY run;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr);
    const DWORD number = 1;
    RegSetValueExA(run, "Лумо", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(run);
    form_.ProbeRunRegistration();
    EXPECT_TRUE(form_.cbRun.Checked());
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", data, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, TestProgramRunCommand() + '\0');
    // With rights, a value of this user's alone goes to the machine's.
    form_.cbRun.SetChecked(false);
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо", "x");
    form_.ProbeRunRegistration();
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Лумо") +
                  ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо"),
              TestProgramRunCommand() + "<absent>");
}

TEST_F(MainFormTest, RunBoxWithoutMachineRightsUsesThisUsersValueAndSaysWhatStays) {
    std::string old = MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kRunKey);
    EXPECT_EQ(FailureOf([&] { form_.cbRun.SetChecked(true); }), "no error");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо"), TestProgramRunCommand());
    form_.cbRun.SetChecked(false);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо"), "<absent>");
    // The machine's value, holding the command, is not written again (refused, the write would go
    // to this user's value); its removal refused, the box says so and the mark comes back.
    RestoreKeySecurity(HKEY_LOCAL_MACHINE, kRunKey, old);
    SetRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", TestProgramRunCommand());
    old = MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kRunKey);
    form_.ProbeRunRegistration();
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо"), "<absent>");
    EXPECT_EQ(FailureOf([&] { form_.cbRun.SetChecked(false); }).rfind("ERegistryException: Лумо запускается", 0), 0u);
    EXPECT_TRUE(form_.cbRun.Checked() && form_.cbTray.Enabled());
    RestoreKeySecurity(HKEY_LOCAL_MACHINE, kRunKey, old);
}

TEST_F(MainFormTest, RunBoxNeverAddsASecondStartAndFollowsTheStartUpSwitches) {
    const char off[] = "\3\0\0\0\0\0\0\0\0\0\0";
    // Another copy starts for every user, and this account may not change it: a start with the
    // window says so once its loop runs, and this user's value is not added.
    SetRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Лумо", "C:\\Другая\\Lumo.exe /autorun");
    const std::string run = MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kRunKey);
    form_.ProbeRunRegistration(true);
    TBoxAnswerer boxes(Application.Title());
    SendMessageA(form_.Handle(), WM_LOADABOUTPICTURE, 0, 0);
    const std::vector<std::string> told = boxes.Texts();
    EXPECT_TRUE(told.size() == 1 &&
                told[0].starts_with("При старте системы для всех пользователей компьютера "
                                    "запускается другая копия Лумо:\nC:\\Другая\\Lumo.exe /autorun\n"));
    EXPECT_TRUE(form_.cbRun.Checked());
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо"), "<absent>");
    // Switched off in Task Manager, which this account may not undo: unchecking says nothing,
    // checking says so and the mark goes; this user's own start, switched off, is switched on.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunSwitchKey, "Лумо", REG_BINARY, off, 12);
    const std::string switched = MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kRunSwitchKey);
    EXPECT_EQ(FailureOf([&] { form_.cbRun.SetChecked(false); }), "no error");
    EXPECT_EQ(FailureOf([&] { form_.cbRun.SetChecked(true); }).rfind("ERegistryException: Запуск Лумо при старте", 0),
              0u);
    EXPECT_FALSE(form_.cbRun.Checked() || form_.cbTray.Enabled());
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, "Лумо", TestProgramRunCommand());
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunSwitchKey, "Лумо", REG_BINARY, off, 12);
    form_.cbRun.SetChecked(true);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kRunSwitchKey, "Лумо")[0], 2);
    RestoreKeySecurity(HKEY_LOCAL_MACHINE, kRunKey, run);
    RestoreKeySecurity(HKEY_LOCAL_MACHINE, kRunSwitchKey, switched);
}

TEST_F(MainFormTest, SaveOptionsWritesEveryFileByteForByte) {
    form_.cbTray.SetChecked(true);
    form_.edWait.SetText("25");
    form_.DefaultWallpaper = "C:\\Обои\\по умолчанию.bmp";
    TWallpaperList list = BuiltInWallpaperList();
    list.insert(list.begin() + 3, TWallpaperNode{2, "D:\\x.jpg"});
    for (size_t i = 4; i < list.size(); ++i) list[i].Parent = -1;
    form_.tvFiles.Assign(list);
    // A spanned picture is one for all monitors: the choice of each its own waits meanwhile.
    form_.LoadDesktopOptions({TWallpaperPlacement::Span, true, {}});
    EXPECT_FALSE(form_.cbEachMonitor.Enabled());
    form_.cmbPlacement.SetItemIndex(1);
    form_.SaveOptions();
    EXPECT_EQ(ReadFileBytes(DesktopOptionsFilePath()), "Placement=fit\r\nEachMonitor=1\r\n");
    EXPECT_TRUE(form_.cbEachMonitor.Enabled());
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "-1\r\nC:\\Обои\\по умолчанию.bmp\r\n25\r\n");
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()),
              "Понедельник\r\nВторник\r\nСреда\r\n\tD:\\x.jpg\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n");
    form_.tvFiles.Clear();
    form_.SaveOptions();
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), "");
}

TEST_F(MainFormTest, LongEntriesSurviveALoadAndASaveByteForByte) {
    // Texts around the buffer sizes the tree is read with, and far beyond the 32 KB of old.
    std::string file = "Понедельник\r\n";
    for (size_t length : {1022u, 1023u, 1024u, 32767u, 32768u, 100000u}) {
        std::string path = "C:\\Обои\\";
        while (path.size() < length) path += static_cast<char>('a' + path.size() % 26);
        file += '\t' + path + "\r\n";
    }
    file += "Вторник\r\n";
    WriteFileBytes(WallpaperListFilePath(), file);
    form_.LoadWallpaperList(WallpaperListFilePath());
    ASSERT_EQ(form_.tvFiles.Count(), 8u);
    DeleteFileA(WallpaperListFilePath().c_str());
    form_.SaveOptions();
    const std::string saved = ReadFileBytes(WallpaperListFilePath());
    EXPECT_EQ(saved.size(), file.size());
    EXPECT_TRUE(saved == file) << "the saved list differs from the loaded one";
}

TEST_F(MainFormTest, TextsEditedInPlaceComeBackFromTheFileAsTheyWereShown) {
    const HWND tree = form_.tvFiles.Handle();
    HTREEITEM saturday = TreeView_GetRoot(tree);
    for (int i = 0; i < 5; ++i) saturday = TreeView_GetNextSibling(tree, saturday);
    const HTREEITEM sunday = TreeView_GetNextSibling(tree, saturday);
    const auto edit = [&](HTREEITEM item, const char* typed) {
        SetWindowTextA(reinterpret_cast<HWND>(SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item))),
                       typed);
        SendMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    };
    // Blanks and tabs at the start would be read as depth: Saturday would come back as a child
    // of Friday, or one level too deep make the whole file unreadable at the next start.
    edit(saturday, " \t Суббота ");
    EXPECT_EQ(form_.tvFiles.ItemText(saturday), "Суббота ");
    EXPECT_EQ(form_.tvFiles.Mark(saturday), &kNotADay);  // a name no weekday has is marked at once
    edit(sunday, "  ");
    EXPECT_EQ(form_.tvFiles.ItemText(sunday), "");
    form_.SaveOptions();
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()),
              "Понедельник\r\nВторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота \r\n\r\n");
}

TEST_F(MainFormTest, LoadingStopsAtAnInvalidLevelKeepingEarlierNodes) {
    TTempFolder folder;
    WriteFileBytes(folder.File("list.ini"), "Вторник\r\n\tC:\\a.jpg\r\n\t\t\tC:\\b.jpg\r\nСреда\r\n");
    EXPECT_EQ(FailureOf([&] { form_.LoadWallpaperList(folder.File("list.ini")); }),
              "ETreeViewError: Invalid level (3) for item \"C:\\b.jpg\"");
    const TWallpaperList items = form_.tvFiles.Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].Parent, 0);
    EXPECT_EQ(items[1].Text, "C:\\a.jpg");
}

TEST_F(MainFormTest, TheStartReportsTheListsErrorBeforeTheOptions) {
    WriteFileBytes(OptionsFilePath(), "-1\r\n");
    WriteFileBytes(WallpaperListFilePath(), "A\r\n\t\tC:\\b.jpg\r\n");
    EXPECT_EQ(FailureOf([&] { form_.ReadSettings(); }), "ETreeViewError: Invalid level (2) for item \"C:\\b.jpg\"");
}

TEST_F(MainFormTest, ListFileHeldOpenCannotBeLoaded) {
    TTempFolder folder;
    const std::string path = folder.File("Murovelo.ini");
    WriteFileBytes(path, "A\r\n");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string error = FailureOf([&] { form_.LoadWallpaperList(path); });
    CloseHandle(held);
    EXPECT_EQ(error, "EFOpenError: Cannot open file \"" + path + "\". " + "Конфликт совместного доступа");
    EXPECT_EQ(form_.tvFiles.Count(), 7u);
}

TEST(FileReplace, AFailedSaveLeavesTheOldFile) {
    TTempFolder folder;
    const std::string path = folder.File("WallOpt.ini");
    WriteFileBytes(path, "old");
    ReplaceFileContent(path, "new bytes");
    EXPECT_EQ(ReadFileBytes(path), "new bytes");

    // Held open without delete sharing: the new file cannot be put in its place.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string error = FailureOf([&] { ReplaceFileContent(path, "lost?"); });
    CloseHandle(held);
    EXPECT_EQ(error.rfind("EFCreateError: Cannot create file \"" + path + "\". ", 0), 0u) << error;
    EXPECT_EQ(ReadFileBytes(path), "new bytes");
    // Held for a moment only (a scanner, a synchronisation client): the save waits for it.
    held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread release([held] { Sleep(100), CloseHandle(held); });
    EXPECT_EQ(FailureOf([&] { ReplaceFileContent(path, "after the hold"); }), "no error");
    release.join();
    EXPECT_EQ(ReadFileBytes(path), "after the hold");

    const std::string missing = folder.File("no such folder\\WallOpt.ini");
    EXPECT_EQ(FailureOf([&] { ReplaceFileContent(missing, "x"); }),
              "EFCreateError: Cannot create file \"" + missing + "\". Путь не найден");

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(folder.File("*~").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "left behind: " << data.cFileName;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST(FileReplace, LongPathsAndFoldersWhereNoFileCanBeMade) {
    TTempFolder folder;
    // A folder whose path, with the file's name, just fits the ANSI path limit.
    std::string deep = folder.Path();
    for (size_t left = MAX_PATH - 1 - strlen("Murovelo.ini") - deep.size(); left > 0;) {
        const size_t part = left <= 60 ? left : 50;  // a folder name and its backslash
        ASSERT_GE(part, 2u);
        deep += std::string(part - 1, 'd') + "\\";
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
        left -= part;
    }
    const std::string longPath = deep + "Murovelo.ini";
    ASSERT_EQ(longPath.size(), static_cast<size_t>(MAX_PATH - 1));
    ReplaceFileContent(longPath, "fits");
    EXPECT_EQ(ReadFileBytes(longPath), "fits");

    // A name that a folder, an open file or a recent one holds is passed over; a temporary left
    // long ago is taken.
    const std::string path = folder.File("WallOpt.ini");
    WriteFileBytes(path, "old and longer");
    ASSERT_TRUE(CreateDirectoryA(folder.File("WallOpt.in~").c_str(), nullptr));
    for (const char* name : {"WallOpt.i~1", "WallOpt.i~2", "WallOpt.i~3"}) {
        WriteFileBytes(folder.File(name), name);
        if (name[10] != '2') WrittenAnHourAgo(folder.File(name));
    }
    HANDLE saving = CreateFileA(folder.File("WallOpt.i~1").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ReplaceFileContent(path, "new");
    CloseHandle(saving);
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(ReadFileBytes(folder.File("WallOpt.i~1")) + ReadFileBytes(folder.File("WallOpt.i~2")),
              "WallOpt.i~1WallOpt.i~2");
    EXPECT_FALSE(PathExists(folder.File("WallOpt.i~3")));

    // Where no file may be made or moved, the file is written in place; one held open is reported,
    const std::string unix = " '" + UnixPath(folder.Path()) + "'";
    if (RunUnixCommand("chattr +i" + unix) != 0) GTEST_SKIP() << "no folder can be made unchangeable here (root)";
    EXPECT_EQ(FailureOf([&] { ReplaceFileContent(path, "in place"); }), "no error");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string error = FailureOf([&] { ReplaceFileContent(path, "x"); });
    CloseHandle(held);
    // and one missing by the real cause.
    const std::string refused = FailureOf([&] { ReplaceFileContent(folder.File("Murovelo.ini"), "x"); });
    RunUnixCommand("chattr -i" + unix);
    EXPECT_EQ(error, "EFCreateError: Cannot create file \"" + path + "\". Конфликт совместного доступа");
    EXPECT_EQ(ReadFileBytes(path), "in place");
    EXPECT_EQ(refused.substr(refused.find("\". ")), "\". Доступ запрещён");
}

TEST(FileReplace, AHeldFileIsNeverWrittenInPlaceAndASaveUnderWayNeverTakenOver) {
    TTempFolder folder;
    const std::string path = folder.File("WallOpt.ini"), temporary = folder.File("WallOpt.in~");
    WriteFileBytes(path, "old");
    WriteFileBytes(temporary, "left");
    WrittenAnHourAgo(temporary);
    std::string said[2];
    const auto save = [&](int i, const char* bytes) {
        return std::thread([&, i, bytes] { said[i] = FailureOf([&] { ReplaceFileContent(path, bytes); }); });
    };
    // The leftover taken over, the held file is let go once its move was refused (the temporary
    // goes then): an in-place write would get it now.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread saving = save(0, "new");
    WaitUntil([&] { return !PathExists(temporary); }, 5000);
    CloseHandle(held);
    saving.join();
    EXPECT_EQ(said[0].rfind("EFCreateError: Cannot create file \"" + path + "\". ", 0), 0u) << said[0];
    EXPECT_EQ(ReadFileBytes(path), "old");
    // A save waits to move its temporary, which looks an hour old (the clock set back): a second
    // save passes it by.
    held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread one = save(0, "first");
    WaitUntil([&] { return ReadShared(temporary) == "first"; }, 5000);
    WrittenAnHourAgo(temporary);
    std::thread two = save(1, "second");
    WaitUntil([&] { return PathExists(folder.File("WallOpt.i~1")) || ReadShared(temporary) != "first"; }, 5000);
    CloseHandle(held);
    one.join(), two.join();
    EXPECT_EQ(said[0] + ", " + said[1], "no error, no error");
    EXPECT_TRUE(ReadFileBytes(path) == "first" || ReadFileBytes(path) == "second");
    EXPECT_FALSE(PathExists(temporary) || PathExists(folder.File("WallOpt.i~1")));
}

TEST(FileReplace, SavesOfTwoProgramsAtTheSameTimeLeaveOneWholeVersionAndNoTemporary) {
    TTempFolder folder;
    const std::string path = folder.File("WallOpt.ini");
    const std::string versions[] = {std::string(20000, 'a'), std::string(20000, 'b'), "old"};
    WriteFileBytes(path, versions[2]);
    // Two copies of this program (see its main) save the file 100 times each, started together.
    const std::string start = "LumoSaveStart" + std::to_string(GetCurrentProcessId());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, start.c_str());
    PROCESS_INFORMATION savers[2] = {};
    for (int i = 0; i < 2; ++i) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = "win_tests --save \"" + path + "\" " + versions[i][0] + " " + start;
        ASSERT_TRUE(CreateProcessA((TestProgramFolder() + "win_tests.exe").c_str(), line.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, &startup, &savers[i]));
    }
    SetEvent(go);
    // Read meanwhile, the file is always one whole version.
    const HANDLE running[] = {savers[0].hProcess, savers[1].hProcess};
    int reads = 0, broken = 0;
    // A read every millisecond, as often as a program could want the file, not so often that
    // the saves, refused while it is open, are starved.
    while (WaitForMultipleObjects(2, running, TRUE, 1) == WAIT_TIMEOUT && reads < 100000) {
        broken += std::ranges::count(versions, ReadShared(path).value_or("")) == 0;
        ++reads;
    }
    DWORD saved[2] = {};
    for (int i = 0; i < 2; ++i) {
        WaitForSingleObject(savers[i].hProcess, 30000);
        GetExitCodeProcess(savers[i].hProcess, &saved[i]);
        CloseHandle(savers[i].hProcess);
        CloseHandle(savers[i].hThread);
    }
    CloseHandle(go);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    // A save that finds the file being replaced by the other, or read, fails and says so, as on
    // Windows; the others succeed, and the file is the version of a program whose save did.
    EXPECT_GT(saved[0], 0u) << saved[0] << " " << saved[1];
    EXPECT_GT(saved[1], 0u);
    const std::string last = ReadFileBytes(path);
    EXPECT_TRUE((last == versions[0] && saved[0] > 0) || (last == versions[1] && saved[1] > 0)) << last.size();
    EXPECT_FALSE(PathExists(folder.File("WallOpt.in~")) || PathExists(folder.File("WallOpt.i~1")));
}

TEST_F(MainFormTest, SavesWriteEachFileOnlyWhenChangedOrMissingAndNothingOnceTheWindowIsGone) {
    form_.SettingsRead();
    form_.SaveOptions();  // a first run creates both files
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "0\r\n\r\n10\r\n");
    // What another instance wrote stays, unless this window changed that file too.
    WriteFileBytes(OptionsFilePath(), "-1\r\n\r\n3\r\n");
    WriteFileBytes(WallpaperListFilePath(), "Среда\r\n");
    form_.edWait.SetText("7");
    form_.SaveOptions();
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "0\r\n\r\n7\r\n");
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), "Среда\r\n");

    DeleteFileA(OptionsFilePath().c_str());
    DeleteFileA(WallpaperListFilePath().c_str());
    DestroyWindow(form_.Handle());
    form_.SaveOptions();
    EXPECT_FALSE(PathExists(OptionsFilePath()));
    EXPECT_FALSE(PathExists(WallpaperListFilePath()));
}

TEST_F(MainFormTest, EndOfTheSessionSavesTheSettings) {
    form_.edWait.SetText("42");
    SendMessageA(form_.Handle(), WM_ENDSESSION, FALSE, 0);  // the session goes on: nothing saved
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "<missing>");
    SendMessageA(form_.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadFileBytes(OptionsFilePath()), "0\r\n" + form_.DefaultWallpaper + "\r\n42\r\n");
    EXPECT_EQ(ReadFileBytes(WallpaperListFilePath()), FormatWallpaperList(BuiltInWallpaperList()));
}
