#include "settings/temporary_path.h"

namespace {
// Two base-36 digits at most.
const unsigned kAttempts = 36 * 36;
}  // namespace

std::optional<std::string> TemporaryPathFor(std::string_view path, unsigned attempt) {
    std::string tail = "~";
    if (attempt == 0 && !path.empty() && path.back() == '~') tail = "$";
    if (attempt >= kAttempts) return std::nullopt;
    for (unsigned n = attempt; n > 0; n /= 36) tail.insert(1, 1, "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
    const size_t folder = path.find_last_of("\\/:");
    const size_t name = folder == std::string_view::npos ? 0 : folder + 1;
    if (path.size() - name < tail.size()) return std::nullopt;
    return std::string(path.substr(0, path.size() - tail.size())) + tail;
}
