#include <gtest/gtest.h>

#include "base/command_line.h"
#include "settings/run_command.h"

TEST(RunCommand, PlainPathStaysUnquoted) {
    EXPECT_EQ(RunCommandFor("C:\\Tools\\Lumo.exe"), "C:\\Tools\\Lumo.exe /autorun");
}

TEST(RunCommand, PathWithBlankIsQuotedAndStillYieldsTheSwitch) {
    const std::string command = RunCommandFor("C:\\Program Files\\Лумо\\Lumo.exe");
    EXPECT_EQ(command, "\"C:\\Program Files\\Лумо\\Lumo.exe\" /autorun");
    EXPECT_EQ(CommandLineArgument(command, 0), "C:\\Program Files\\Лумо\\Lumo.exe");
    EXPECT_EQ(CommandLineArgument(command, 1), "/autorun");
}
