// Where a settings file is written before it replaces the old one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The name a save tries, as its `attempt`-th choice, for the temporary file that stands in for
// `path` while it is written: the same folder and a name of the same length, so it is never
// longer than the path it replaces. The first choice makes the name's last character '~' ('$'
// when it already is '~'); the later ones end the name in '~' and the attempt's number in base
// 36 ("WallOpt.i~1", ..., "WallOpt.~10"). None when the name is too short for the number, or
// after the last choice: the attempts are bounded.
std::optional<std::string> TemporaryPathFor(std::string_view path, unsigned attempt);
