#include "settings/temporary_path.h"

std::string TemporaryPathFor(std::string_view path) {
    std::string temporary(path);
    if (temporary.empty()) return temporary;
    char& last = temporary.back();
    last = last == '~' ? '$' : '~';
    return temporary;
}
