#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "base/text.h"

TEST(IntegerParse, AcceptsDecimalAndHexadecimalForms) {
    const std::pair<const char*, int32_t> accepted[] = {
        {"0", 0},
        {"15", 15},
        {" 15", 15},
        {"   -7", -7},
        {"+8", 8},
        {"$1F", 31},
        {"x10", 16},
        {"X10", 16},
        {"0x10", 16},
        {"0XfF", 255},
        {"$FFFFFFFF", -1},
        {"-$1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$80000000", INT32_MIN},
        {"007", 7},
    };
    for (const auto& [text, value] : accepted) {
        const auto parsed = ParseInteger(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST(IntegerParse, RejectsEverythingElse) {
    for (const char* text : {"", " ", "+", "-", "$", "x", "0x", "15 ", "1 5", "\t15", "2147483648", "-2147483649",
                             "$100000000", "1.5", "12a", "$G", "--1", "+-1", "0x 1"})
        EXPECT_FALSE(ParseInteger(text).has_value()) << '"' << text << '"';
}

TEST(BooleanText, NumbersAndWords) {
    const std::pair<const char*, bool> accepted[] = {
        {"-1", true},   {"0", false},   {"1", true},      {" 1 ", true},    {"2.5", true},
        {"0.0", false}, {"1e3", true},  {"0E-2", false},  {".5", true},     {"true", true},
        {"TRUE", true}, {"True", true}, {"false", false}, {"FaLsE", false}, {"+0", false},
    };
    for (const auto& [text, value] : accepted) {
        const auto parsed = ParseBoolean(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
    for (const char* text : {"", "yes", " true", "1e", "e1", ".", "1,5", "- 1", "1 1"})
        EXPECT_FALSE(ParseBoolean(text).has_value()) << '"' << text << '"';
    EXPECT_TRUE(*ParseBoolean("1,5", ','));
}

TEST(BooleanText, ErrorNamesTheText) {
    try {
        StrToBool("yes");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'yes' is not a valid boolean value");
        EXPECT_STREQ(e.ClassName(), "EConvertError");
    }
}

TEST(MessageRule, PeriodAppendedOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(WithClosingPeriod(""), "");
    EXPECT_EQ(WithClosingPeriod("Stream write error"), "Stream write error.");
    EXPECT_EQ(WithClosingPeriod("Failed to set data for 'x'"), "Failed to set data for 'x'");
    EXPECT_EQ(WithClosingPeriod("done."), "done.");
    EXPECT_EQ(WithClosingPeriod("List index out of bounds (1)"), "List index out of bounds (1)");
    EXPECT_EQ(WithClosingPeriod("Ошибка"), "Ошибка.");  // 1251 letters lie above '.'
}

TEST(Paths, DirectoryNameAndTitle) {
    EXPECT_EQ(ExtractFilePath("C:\\Program Files\\Lumo\\Lumo.exe"), "C:\\Program Files\\Lumo\\");
    EXPECT_EQ(ExtractFilePath("Lumo.exe"), "");
    EXPECT_EQ(ExtractFileName("C:\\a\\b.c.exe"), "b.c.exe");
    EXPECT_EQ(ApplicationTitle("C:\\a\\Lumo.exe"), "Lumo");
    EXPECT_EQ(ApplicationTitle("C:\\a\\LUMO.V2.EXE"), "Lumo");
    EXPECT_EQ(ApplicationTitle("C:\\a\\ОБОИ.exe"), "Обои");
    EXPECT_EQ(ApplicationTitle("C:\\a\\x"), "x");
}

TEST(Paths, SystemMessageTrimming) {
    EXPECT_EQ(TrimSystemMessage("Access denied. \r\n"), "Access denied");
    EXPECT_EQ(TrimSystemMessage("A...\t"), "A");
    EXPECT_EQ(TrimSystemMessage(std::string(300, 'a')).size(), 256u);
    EXPECT_EQ(TrimSystemMessage(std::string(255, 'a') + ". x"), std::string(255, 'a'));
}

TEST(Lines, LineEndsAndNul) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (V{"a", "b"}));
    EXPECT_EQ(SplitLines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(SplitLines(std::string("a\nb\0c\nd", 7)), (V{"a", "b"}));
    EXPECT_EQ(SplitLines(" x \t"), (V{" x \t"}));
}
