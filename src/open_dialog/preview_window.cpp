#include "open_dialog/preview_window.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {
// The picture's margin on each side inside the panel.
constexpr int kMargins = 2 * 5;
}  // namespace

TClientSize PreviewClientSize(TClientSize monitor, TClientSize window, TClientSize panel, TClientSize picture) {
    if (picture.Width <= 0) return window;
    // In 64 bits: a metafile's frame may report a size near the largest int.
    const auto side = [](int monitorSide, int windowSide, int panelSide, int pictureSide) {
        const int64_t cap = int64_t{monitorSide} * 3 / 4;
        const int64_t fitted = int64_t{windowSide} - panelSide + pictureSide + kMargins;
        return static_cast<int>(std::clamp<int64_t>(std::min(cap, fitted), 0, std::numeric_limits<int>::max()));
    };
    return {side(monitor.Width, window.Width, panel.Width, picture.Width),
            side(monitor.Height, window.Height, panel.Height, picture.Height)};
}
