#include "base/command_line.h"

namespace {

unsigned char At(std::string_view s, size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; }

// Reads one argument starting at `pos`; returns the position after it.
size_t NextArgument(std::string_view s, size_t pos, std::string& argument, const LeadBytePredicate& isLeadByte) {
    for (;;) {
        while (At(s, pos) != 0 && At(s, pos) <= ' ') ++pos;
        if (At(s, pos) == '"' && At(s, pos + 1) == '"')
            pos += 2;
        else
            break;
    }
    argument.clear();
    bool quoted = false;
    while (At(s, pos) > ' ' || (At(s, pos) != 0 && quoted)) {
        const unsigned char c = At(s, pos);
        if (c == '"') {
            quoted = !quoted;
            ++pos;
            continue;
        }
        argument += static_cast<char>(c);
        ++pos;
        if (isLeadByte && isLeadByte(c) && At(s, pos) != 0) argument += s[pos++];
    }
    return pos;
}

}  // namespace

std::string CommandLineArgument(std::string_view commandLine, int index, const LeadBytePredicate& isLeadByte) {
    // A NUL ends the command line as it ends a C string.
    commandLine = commandLine.substr(0, commandLine.find('\0'));
    std::string argument;
    size_t pos = 0;
    for (int i = 0; i <= index; ++i) {
        pos = NextArgument(commandLine, pos, argument, isLeadByte);
        if (argument.empty() && pos >= commandLine.size()) return {};
    }
    return argument;
}
