#include "pictures/preview_window.h"

#include <algorithm>

namespace {
// The picture's margin on each side inside the panel.
constexpr int kMargins = 2 * 5;
}  // namespace

TClientSize PreviewClientSize(TClientSize monitor, TClientSize window, TClientSize panel, TClientSize picture) {
    if (picture.Width <= 0) return window;
    return {std::min(monitor.Width * 3 / 4, window.Width - panel.Width + picture.Width + kMargins),
            std::min(monitor.Height * 3 / 4, window.Height - panel.Height + picture.Height + kMargins)};
}
