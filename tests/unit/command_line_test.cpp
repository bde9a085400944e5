#include <gtest/gtest.h>

#include "base/command_line.h"

TEST(CommandLine, SplitsByBlanksAndQuotes) {
    const char* line = "\"C:\\Program Files\\Lumo\\Lumo.exe\" /autorun  second";
    EXPECT_EQ(CommandLineArgument(line, 0), "C:\\Program Files\\Lumo\\Lumo.exe");
    EXPECT_EQ(CommandLineArgument(line, 1), "/autorun");
    EXPECT_EQ(CommandLineArgument(line, 2), "second");
    EXPECT_EQ(CommandLineArgument(line, 3), "");
}

TEST(CommandLine, UnquotedPathWithBlankSplitsApart) {
    const char* line = "C:\\Program Files\\Lumo.exe /autorun";
    EXPECT_EQ(CommandLineArgument(line, 0), "C:\\Program");
    EXPECT_EQ(CommandLineArgument(line, 1), "Files\\Lumo.exe");
}

TEST(CommandLine, ControlCharactersAndQuotePairs) {
    EXPECT_EQ(CommandLineArgument("prog\t\x01\"\" \"\"/autorun", 1), "/autorun");
    EXPECT_EQ(CommandLineArgument("prog /a\"b c\"d", 1), "/ab cd");
    EXPECT_EQ(CommandLineArgument("prog \"/auto\"run", 1), "/autorun");
    EXPECT_EQ(CommandLineArgument("prog \"open", 1), "open");
    EXPECT_EQ(CommandLineArgument("prog", 1), "");
    EXPECT_EQ(CommandLineArgument("", 0), "");
    EXPECT_EQ(CommandLineArgument("prog \xC0\xC1 x", 1), "\xC0\xC1");
}

TEST(CommandLine, LeadBytesCarryTheirTrailByte) {
    // In a double-byte code page a trail byte may look like a quote or a blank.
    const auto isLead = [](unsigned char c) { return c == 0x81; };
    EXPECT_EQ(CommandLineArgument("p \x81\" x", 1, isLead), "\x81\"");
    EXPECT_EQ(CommandLineArgument("p \x81\x20x y", 1, isLead), "\x81\x20x");
}
