#include "ui/layout.h"

#include <algorithm>

namespace {

int MulDivRound(int value, int numerator, int denominator) {
    if (denominator == 0) return value;
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// Places one axis: start and length inside a parent whose length changed from design to now.
void PlaceAxis(int designStart, int designLength, int designParent, int parent, bool nearAnchor, bool farAnchor,
               int& start, int& length) {
    const int delta = parent - designParent;
    start = designStart;
    length = designLength;
    if (nearAnchor && farAnchor) {
        length = designLength + delta;
    } else if (farAnchor) {
        start = designStart + delta;
    } else if (!nearAnchor && designParent > 0) {
        // Neither edge anchored: the centre keeps its relative position.
        const int64_t centre2 = static_cast<int64_t>(2 * designStart + designLength) * parent / designParent;
        start = static_cast<int>((centre2 - designLength) / 2);
    }
    if (length < 0) length = 0;
}

}  // namespace

TBounds PlaceControl(const TPlacement& p, int width, int height) {
    TBounds b;
    switch (p.Align) {
        case TAlign::alClient:
            b = {0, 0, width, height};
            break;
        case TAlign::alBottom: {
            b.Left = 0;
            b.Width = width;
            if ((p.Anchors & akTop) && (p.Anchors & akBottom)) {
                b.Top = p.Design.Top;
                b.Height = height - p.Design.Top;
            } else {
                b.Height = p.Design.Height;
                b.Top = height - p.Design.Height;
            }
            break;
        }
        case TAlign::alNone:
            PlaceAxis(p.Design.Left, p.Design.Width, p.ParentWidth, width, p.Anchors & akLeft, p.Anchors & akRight,
                      b.Left, b.Width);
            PlaceAxis(p.Design.Top, p.Design.Height, p.ParentHeight, height, p.Anchors & akTop, p.Anchors & akBottom,
                      b.Top, b.Height);
            break;
    }
    if (b.Width < 0) b.Width = 0;
    if (b.Height < 0) b.Height = 0;
    return b;
}

int ScaleByTextHeight(int value, int textHeight, int designTextHeight) {
    return MulDivRound(value, textHeight, designTextHeight);
}

TBounds ScaleBounds(const TBounds& b, int textHeight, int designTextHeight) {
    return {ScaleByTextHeight(b.Left, textHeight, designTextHeight),
            ScaleByTextHeight(b.Top, textHeight, designTextHeight),
            ScaleByTextHeight(b.Width, textHeight, designTextHeight),
            ScaleByTextHeight(b.Height, textHeight, designTextHeight)};
}

int ScaleFontHeight(int height, int pixelsPerInch) { return MulDivRound(height, pixelsPerInch, 96); }

TBounds CentreOn(const TBounds& window, const TBounds& area) {
    TBounds b = window;
    b.Left = area.Left + std::max(0, (area.Width - window.Width) / 2);
    b.Top = area.Top + std::max(0, (area.Height - window.Height) / 2);
    return b;
}

TBounds CentreOnPrimaryMonitor(const TBounds& window, std::span<const TBounds> monitors) {
    if (monitors.empty()) return window;
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const TBounds& monitor) { return monitor.Left == 0 && monitor.Top == 0; });
    return CentreOn(window, primary != monitors.end() ? *primary : monitors.front());
}
