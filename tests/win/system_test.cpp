#include <gtest/gtest.h>

#include <thread>

#include "base/system_win.h"
#include "support/test_support.h"
#include "ui/application_win.h"

namespace {

void SetLastWriteYear(const std::string& path, WORD year) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = 6;
    time.wDay = 15;
    time.wHour = 12;
    FILETIME local, utc;
    SystemTimeToFileTime(&time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
}

}  // namespace

TEST(FileExists, FilesPassDirectoriesDoNot) {
    TTempFolder folder;
    WriteFileBytes(folder.File("a.bmp"), "x");
    CreateDirectoryA(folder.File("dir.bmp").c_str(), nullptr);
    EXPECT_TRUE(FileExists(folder.File("a.bmp")));
    EXPECT_FALSE(FileExists(folder.File("b.bmp")));
    EXPECT_FALSE(FileExists(folder.File("dir.bmp")));
    EXPECT_FALSE(FileExists(folder.Path().substr(0, folder.Path().size() - 1)));
    EXPECT_TRUE(FileExists(folder.File("*.bmp")));  // the directory comes first or not: a file matches
    EXPECT_FALSE(FileExists(folder.File("*.jpg")));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileExists, LastWriteTimeMustBeADosDate) {
    TTempFolder folder;
    const std::string path = folder.File("old.bmp");
    WriteFileBytes(path, "x");
    SetLastWriteYear(path, 1985);
    EXPECT_TRUE(FileExists(path));
    SetLastWriteYear(path, 1979);
    EXPECT_FALSE(FileExists(path));
    SetLastWriteYear(path, 2107);
    EXPECT_TRUE(FileExists(path));
    SetLastWriteYear(path, 2108);
    EXPECT_FALSE(FileExists(path));
}

TEST(Paths, ExecutableFolderAndTitle) {
    EXPECT_EQ(ExecutableDirectory(), TestProgramFolder());
    EXPECT_EQ(Application.Title(), "win_tests");  // the first character keeps its case
}

TEST(CodePageCheck, TheSystemsConversionsKeepTheTextsIn1251Only) {
    // UTF-8 (Windows' beta option), the double-byte pages of Japan and China, the Western page
    // and the Cyrillic page of DOS: none but 1251 will do.
    for (const auto& [codePage, keeps] :
         {std::pair{1251u, true}, {65001u, false}, {932u, false}, {936u, false}, {1252u, false}, {866u, false}})
        EXPECT_EQ(CodePageKeepsCyrillicTexts(codePage, SystemCodePageConversion()), keeps) << codePage;
}

TEST(StandardErrorBox, AddsAPeriodByTheRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"Stream write error", "Stream write error."},
        {"Failed to set data for 'Лумо'", "Failed to set data for 'Лумо'"},
        {"List index out of bounds (1)", "List index out of bounds (1)"},
    };
    for (const auto& [message, shown] : cases) {
        std::string text;
        std::thread answer([&] { text = AnswerMessageBox(Application.Title()); });
        Application.ShowException(EWriteError(message));
        answer.join();
        EXPECT_EQ(text, shown);
    }
}

TEST(StandardErrorBox, AbortIsDroppedOthersAreShown) {
    std::string text;
    std::thread answer([&] { text = AnswerMessageBox(Application.Title()); });
    try {
        throw EAbort("silent");
    } catch (...) {
        Application.HandleException();
    }
    try {
        throw ERegistryException("Invalid data type for 'x'");
    } catch (...) {
        Application.HandleException();
    }
    answer.join();
    EXPECT_EQ(text, "Invalid data type for 'x'");
}
