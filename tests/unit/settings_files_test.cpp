#include <gtest/gtest.h>

#include <tuple>

#include "base/exceptions.h"
#include "settings/desktop_options.h"
#include "settings/options_file.h"
#include "settings/temporary_path.h"
#include "settings/wallpaper_list.h"

namespace {
std::vector<std::pair<int, std::string>> Shape(const TWallpaperList& list) {
    std::vector<std::pair<int, std::string>> shape;
    for (size_t i = 0; i < list.size(); ++i) shape.emplace_back(NodeLevel(list, i), list[i].Text);
    return shape;
}
TWallpaperList Parse(std::string_view bytes) {
    TWallpaperList list;
    ParseWallpaperList(bytes, list);
    return list;
}
using Shape_t = std::vector<std::pair<int, std::string>>;
}  // namespace

TEST(WallpaperListFile, BuiltInListAndItsBytes) {
    const TWallpaperList list = BuiltInWallpaperList();
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0].Text, "Понедельник");
    EXPECT_EQ(list[6].Text, "Воскресенье");
    EXPECT_EQ(FormatWallpaperList(list).substr(0, 13), "\xCF\xEE\xED\xE5\xE4\xE5\xEB\xFC\xED\xE8\xEA\r\n");
}

TEST(WallpaperListFile, RoundTripKeepsTheTree) {
    TWallpaperList list = BuiltInWallpaperList();
    list.insert(list.begin() + 1, {{0, "C:\\a b\\1.jpg "}, {0, "C:\\Фото\\2.bmp"}});
    for (size_t i = 3; i < list.size(); ++i) list[i].Parent = -1;
    list.push_back({8, "D:\\sun.png"});
    const std::string bytes = FormatWallpaperList(list);
    EXPECT_EQ(bytes.substr(13, 17), "\tC:\\a b\\1.jpg \r\n\t");
    EXPECT_EQ(bytes.substr(bytes.size() - 15), "\r\n\tD:\\sun.png\r\n");
    const TWallpaperList back = Parse(bytes);
    EXPECT_EQ(Shape(back), Shape(list));
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(back[i].Parent, list[i].Parent) << i;
    EXPECT_EQ(FormatWallpaperList({}), "");
    EXPECT_TRUE(Parse("").empty());
}

TEST(WallpaperListFile, BlanksAndTabsBothCountAsDepth) {
    EXPECT_EQ(Shape(Parse("A\r\n\tf\r\n \tg\r\n")), (Shape_t{{0, "A"}, {1, "f"}, {2, "g"}}));
    // A leading blank makes a day node a child of the node before it.
    EXPECT_EQ(Shape(Parse("Вторник\r\n Среда\r\n")), (Shape_t{{0, "Вторник"}, {1, "Среда"}}));
    EXPECT_EQ(Shape(Parse("Вторник\r\n\tf\r\n Среда\r\n")), (Shape_t{{0, "Вторник"}, {1, "f"}, {1, "Среда"}}));
    // The first line is top-level whatever its indentation; trailing blanks stay.
    EXPECT_EQ(Shape(Parse("\t\tA \r\n\tb\r\n")), (Shape_t{{0, "A "}, {1, "b"}}));
    // So a text typed in place keeps nothing of that at its start, and the tree comes back.
    const std::pair<const char*, const char*> typed[] = {
        {" Суббота", "Суббота"}, {"\t \tC:\\a.jpg ", "C:\\a.jpg "}, {"  ", ""}, {"", ""}, {"x y", "x y"}};
    for (const auto& [text, kept] : typed) {
        EXPECT_EQ(StorableNodeText(text), kept) << text;
        const TWallpaperList list{{-1, "Вторник"}, {0, "f"}, {-1, std::string(StorableNodeText(text))}, {2, "g"}};
        EXPECT_EQ(Shape(Parse(FormatWallpaperList(list))), Shape(list)) << text;
    }
}

TEST(WallpaperListFile, WalksUpToAnyShallowerLevel) {
    const TWallpaperList list = Parse("A\n\tB\n\t\tC\n\t\t\tD\n\tE\nF\n\n");
    EXPECT_EQ(Shape(list), (Shape_t{{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}, {1, "E"}, {0, "F"}, {0, ""}}));
    EXPECT_EQ(list[4].Parent, 0);
}

TEST(WallpaperListFile, LineEndsAndNul) {
    const Shape_t expected{{0, "A"}, {1, "x"}, {0, "B"}};
    EXPECT_EQ(Shape(Parse("A\n\tx\nB\n")), expected);
    EXPECT_EQ(Shape(Parse("A\r\tx\rB")), expected);
    EXPECT_EQ(Shape(Parse(std::string("A\r\n\tx\r\nB\r\n\0C\r\n", 15))), expected);
    EXPECT_EQ(Shape(Parse("A\n\rB")), (Shape_t{{0, "A"}, {0, ""}, {0, "B"}}));
}

TEST(WallpaperListFile, InvalidLevelKeepsTheEarlierNodes) {
    TWallpaperList list;
    try {
        ParseWallpaperList("Вторник\r\n\t\tC:\\x.jpg\r\nСреда\r\n", list);
        FAIL();
    } catch (const ETreeViewError& e) {
        EXPECT_EQ(e.Message(), "Invalid level (2) for item \"C:\\x.jpg\"");
    }
    EXPECT_EQ(Shape(list), (Shape_t{{0, "Вторник"}}));
}

TEST(OptionsFile, WritesThreeLines) {
    EXPECT_EQ(FormatOptionsFile({true, "", "10"}), "-1\r\n\r\n10\r\n");
    EXPECT_EQ(FormatOptionsFile({false, "C:\\Обои\\a.bmp", "0"}), "0\r\nC:\\Обои\\a.bmp\r\n0\r\n");
}

TEST(OptionsFile, ReadsBackWhatWasWritten) {
    const TOptionsFileData data = ParseOptionsFile(FormatOptionsFile({true, " C:\\x y.jpg ", "32000"}));
    EXPECT_TRUE(data.StayInTray);
    EXPECT_EQ(data.DefaultWallpaper, " C:\\x y.jpg ");
    EXPECT_EQ(data.WaitText, "32000");
}

TEST(OptionsFile, LineCountDecidesThePause) {
    EXPECT_FALSE(ParseOptionsFile("0\r\nC:\\a\r\n").WaitText.has_value());
    EXPECT_FALSE(ParseOptionsFile("0\r\n\r\n5\r\nextra\r\n").WaitText.has_value());
    EXPECT_EQ(ParseOptionsFile("0\n\n5").WaitText, "5");
    EXPECT_EQ(ParseOptionsFile("0\r\n\r\n\r\n").WaitText, "");
    EXPECT_EQ(ParseOptionsFile("TRUE\r\n\r\n").StayInTray, true);
    EXPECT_EQ(ParseOptionsFile(" 1 \r\n\r\n").StayInTray, true);
    EXPECT_EQ(ParseOptionsFile("0.0\r\n\r\n").StayInTray, false);
    EXPECT_EQ(ParseOptionsFile("false\r\n\r\n").StayInTray, false);
}

TEST(OptionsFile, ShortFilesAndBadFlags) {
    const auto message = [](std::string_view bytes) {
        try {
            ParseOptionsFile(bytes);
        } catch (const Exception& e) {
            return std::string(e.ClassName()) + ": " + e.Message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(""), "EStringListError: List index out of bounds (0)");
    EXPECT_EQ(message("-1\r\n"), "EStringListError: List index out of bounds (1)");
    EXPECT_EQ(message("yes\r\n"), "EConvertError: 'yes' is not a valid boolean value");
    EXPECT_EQ(message("yes\r\nC:\\a\r\n10\r\n"), "EConvertError: 'yes' is not a valid boolean value");
    EXPECT_EQ(message("\r\n\r\n"), "EConvertError: '' is not a valid boolean value");
    EXPECT_EQ(message(std::string("\0-1\r\n\r\n", 8)), "EStringListError: List index out of bounds (0)");
}

TEST(OptionsFile, PauseRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"10", "10"},  {"-5", "0"},        {"40000", "32000"}, {"99999", "32000"}, {"$20", "32"},
        {" 15", "15"}, {"15 ", "10"},      {"", "10"},         {"-", "10"},        {"007", "7"},
        {"$1F", "31"}, {"$FFFFFFFF", "0"}, {"32000", "32000"}, {"0", "0"},         {"abc", "10"},
    };
    for (const auto& [text, normal] : cases) EXPECT_EQ(NormalizeWaitText(text), normal) << text;
}

TEST(DesktopOptionsFile, DefaultsForWhatItLacksAndKeepsWhatItDoesNotKnow) {
    EXPECT_EQ(FormatDesktopOptions({}), "Placement=stretch\r\nEachMonitor=0\r\n");
    const std::pair<const char*, TDesktopOptions> cases[] = {
        {"", {}},
        {"Placement=fill\nEachMonitor=1", {TWallpaperPlacement::Fill, true, {}}},
        {"Placement=span\r\nNext=7\r\n\r\nplacement=fit\r\n",
         {TWallpaperPlacement::Span, false, {"Next=7", "placement=fit"}}},
        {"Placement=Fit\r\nEachMonitor=yes\r\n", {}},
    };
    for (const auto& [bytes, options] : cases) {
        EXPECT_EQ(ParseDesktopOptions(bytes), options) << bytes;
        EXPECT_EQ(ParseDesktopOptions(FormatDesktopOptions(options)), options) << bytes;
    }
    for (int i = 0; i < kPlacementCount; ++i) {
        const TDesktopOptions options{static_cast<TWallpaperPlacement>(i), true, {}};
        EXPECT_EQ(ParseDesktopOptions(FormatDesktopOptions(options)), options) << i;
    }
}

TEST(SettingsSave, TemporaryIsBesideTheFileAndNoLonger) {
    const std::tuple<const char*, unsigned, std::optional<std::string>> cases[] = {
        {"C:\\Lumo\\WallOpt.ini", 0, "C:\\Lumo\\WallOpt.in~"},
        {"C:\\Lumo\\Murovelo.ini", 0, "C:\\Lumo\\Murovelo.in~"},
        {"C:\\Lumo\\backup.in~", 0, "C:\\Lumo\\backup.in$"},
        {"C:\\Lumo\\WallOpt.ini", 1, "C:\\Lumo\\WallOpt.i~1"},
        {"C:\\Lumo\\WallOpt.ini", 36 * 36 - 1, "C:\\Lumo\\WallOpt.~zz"},
        {"C:\\Lumo\\WallOpt.ini", 36 * 36, std::nullopt},
        {"C:\\Lumo\\ab", 36, std::nullopt},
        {"x", 0, "~"},
        {"", 0, std::nullopt},
    };
    for (const auto& [path, attempt, temporary] : cases)
        EXPECT_EQ(TemporaryPathFor(path, attempt), temporary) << path << attempt;
}
