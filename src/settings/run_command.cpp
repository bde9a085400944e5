#include "settings/run_command.h"

std::string RunCommandFor(std::string_view executablePath) {
    const bool quote = executablePath.find(' ') != std::string_view::npos;
    std::string command;
    if (quote) command += '"';
    command += executablePath;
    if (quote) command += '"';
    command += " /autorun";
    return command;
}
