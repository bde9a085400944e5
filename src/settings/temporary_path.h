// Where a settings file is written before it replaces the old one.
#pragma once

#include <string>
#include <string_view>

// The path of the temporary file that stands in for `path` while it is written: the same
// folder and a name of the same length, so it is never longer than the path it replaces, with
// the name's last character made '~' ('$' when it already is '~'). The two settings files,
// whose names differ before their last character, each get a temporary of their own.
std::string TemporaryPathFor(std::string_view path);
