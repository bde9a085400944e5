#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "open_dialog/open_dialog.h"

using namespace std::string_literals;
using TFiles = std::vector<std::wstring>;

TEST(OpenDialogResult, OnePathIsTheWholeResult) {
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\\a.jpg\0\0"s), TFiles{L"C:\\pics\\a.jpg"});
    // Without a closing zero, and with the rest of the buffer full of zeros.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\\a.jpg"), TFiles{L"C:\\pics\\a.jpg"});
    EXPECT_EQ(SplitDialogResult(L"C:\\a.bmp" + std::wstring(300, L'\0')), TFiles{L"C:\\a.bmp"});
    // Letters of any alphabet pass through unchanged.
    const std::wstring cyrillic = L"C:\\Обои\\b.jpg";
    EXPECT_EQ(SplitDialogResult(cyrillic + L'\0'), TFiles{cyrillic});
}

TEST(OpenDialogResult, FolderWithNamesGivesFullPathsInOrder) {
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0c.jpg\0a.jpg\0b.bmp\0\0"s),
              (TFiles{L"C:\\pics\\c.jpg", L"C:\\pics\\a.jpg", L"C:\\pics\\b.bmp"}));
    // A folder that already ends with a backslash gets no second one.
    EXPECT_EQ(SplitDialogResult(L"C:\\\0a.jpg\0b.jpg\0\0"s), (TFiles{L"C:\\a.jpg", L"C:\\b.jpg"}));
    // The names end at the first empty part, whatever follows it.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0a.jpg\0\0b.jpg\0\0"s), TFiles{L"C:\\pics\\a.jpg"});
    // Or at the end of the text.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0a.jpg\0b.jpg"s), (TFiles{L"C:\\pics\\a.jpg", L"C:\\pics\\b.jpg"}));
}

TEST(OpenDialogResult, NamesThatAreFullPathsStayAsTheyAre) {
    // A name that begins with a backslash: a network path or a path from the drive's root.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0\\\\server\\share\\x.jpg\0\\y.jpg\0\0"s),
              (TFiles{L"\\\\server\\share\\x.jpg", L"\\y.jpg"}));
    // A name with a drive: at least 4 characters, ":" second and "\" third.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0D:\\other\\b.jpg\0D:\\b\0a.jpg\0\0"s),
              (TFiles{L"D:\\other\\b.jpg", L"D:\\b", L"C:\\pics\\a.jpg"}));
    // Too short, or without the backslash third: the folder goes in front.
    EXPECT_EQ(SplitDialogResult(L"C:\\pics\0D:\\\0D:x.jpg\0a:\\\0\0"s),
              (TFiles{L"C:\\pics\\D:\\", L"C:\\pics\\D:x.jpg", L"C:\\pics\\a:\\"}));
}

TEST(OpenDialogFilter, EightChoicesWithZeroSeparators) {
    const std::string list = DialogFilterList(kPictureDialogFilter);
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list.substr(list.size() - 2), "\0\0"s);
    EXPECT_EQ(list.find('|'), std::string::npos);
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < list.size() - 1; at = list.find('\0', at) + 1)
        parts.push_back(list.substr(at, list.find('\0', at) - at));
    const std::vector<std::string> expected{"All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png)",
                                            "*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png",
                                            "JPEG Image File (*.jpg)",
                                            "*.jpg",
                                            "JPEG Image File (*.jpeg)",
                                            "*.jpeg",
                                            "Bitmaps (*.bmp)",
                                            "*.bmp",
                                            "Icons (*.ico)",
                                            "*.ico",
                                            "Enhanced Metafiles (*.emf)",
                                            "*.emf",
                                            "Metafiles (*.wmf)",
                                            "*.wmf",
                                            "Portable Network Graphics (*.png)",
                                            "*.png"};
    EXPECT_EQ(parts, expected);
}

TEST(OpenDialogFileName, CutToTheLongestPrefilledName) {
    EXPECT_EQ(DialogInitialFileName(""), "");
    EXPECT_EQ(DialogInitialFileName("C:\\pics\\a.jpg"), "C:\\pics\\a.jpg");
    const std::string longest(kMaxDialogFileName, 'x');
    EXPECT_EQ(DialogInitialFileName(longest), longest);
    EXPECT_EQ(DialogInitialFileName(longest + "yz"), longest);
}

TEST(OpenDialogPlacement, CentredAcrossAThirdDown) {
    EXPECT_EQ(PlaceDialogOnMonitor(0, 0, 1024, 768, 600, 400), (TDialogPosition{212, 122}));
    EXPECT_EQ(PlaceDialogOnMonitor(0, 0, 1024, 768, 601, 401), (TDialogPosition{211, 122}));
    // A second monitor to the right, and one to the left of the first.
    EXPECT_EQ(PlaceDialogOnMonitor(1024, 0, 1280, 1024, 600, 400), (TDialogPosition{1024 + 340, 208}));
    EXPECT_EQ(PlaceDialogOnMonitor(-1280, -256, 1280, 1024, 600, 400), (TDialogPosition{-1280 + 340, -256 + 208}));
    // Larger than the monitor: the quotients are truncated toward zero, not rounded down.
    EXPECT_EQ(PlaceDialogOnMonitor(0, 0, 1024, 768, 1101, 800), (TDialogPosition{-38, -10}));
}
