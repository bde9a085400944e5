// The command that the system runs at logon to start the automatic run.
#pragma once

#include <string>
#include <string_view>

// The executable's path followed by " /autorun"; a path holding a blank is put in double
// quotes, so that the first argument of the command is still "/autorun".
std::string RunCommandFor(std::string_view executablePath);
