// Splitting of the process command line into arguments.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Predicate telling whether a byte is the lead byte of a two-byte character in the system's
// code page (always false for single-byte code pages such as 1251).
using LeadBytePredicate = std::function<bool(unsigned char)>;

// Returns argument `index` of the command line (0 is the program, 1 the first argument), or
// the empty text when there are fewer. Before each argument, bytes 1..32 and pairs of adjacent
// double quotes are skipped; an argument runs up to the first byte below 33 outside double
// quotes; a double quote switches quoting and is dropped.
std::string CommandLineArgument(std::string_view commandLine, int index, const LeadBytePredicate& isLeadByte = nullptr);
