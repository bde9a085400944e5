#include "pictures/preview_rect.h"

#include <cmath>

static_assert(sizeof(long double) > sizeof(double), "the ratio products need an extended-precision type");

namespace {

// trunc(whole x ratio) and trunc(whole / ratio), with the ratio as stored (a double) and the
// operation in extended precision.
int TruncTimes(int whole, double ratio) {
    return static_cast<int>(std::trunc(static_cast<long double>(whole) * static_cast<long double>(ratio)));
}
int TruncOver(int whole, double ratio) {
    return static_cast<int>(std::trunc(static_cast<long double>(whole) / static_cast<long double>(ratio)));
}

}  // namespace

TPreviewRect PreviewDestination(int width, int height, int areaWidth, int areaHeight,
                                const TPreviewSwitches& switches) {
    int w = width;
    int h = height;
    if (switches.stretch || (switches.proportional && (width > areaWidth || height > areaHeight))) {
        if (switches.proportional && width > 0 && height > 0) {
            const double ratio = static_cast<double>(width) / static_cast<double>(height);
            if (width > height) {
                w = areaWidth;
                h = TruncOver(areaWidth, ratio);
                if (h > areaHeight) {
                    h = areaHeight;
                    w = TruncTimes(areaHeight, ratio);
                }
            } else {
                h = areaHeight;
                w = TruncTimes(areaHeight, ratio);
                if (w > areaWidth) {
                    w = areaWidth;
                    h = TruncOver(areaWidth, ratio);
                }
            }
        } else {
            w = areaWidth;
            h = areaHeight;
        }
    }
    TPreviewRect rect{0, 0, w, h};
    if (switches.center) {
        const int dx = (areaWidth - w) / 2;
        const int dy = (areaHeight - h) / 2;
        rect = {dx, dy, dx + w, dy + h};
    }
    return rect;
}
