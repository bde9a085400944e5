#include "png/png_resize.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels that one destination pixel of an axis covers, with their shares (which
// add up to 1).
struct TSpan {
    uint32_t first = 0;
    std::vector<double> weights;
};

std::vector<TSpan> AxisSpans(uint32_t source, uint32_t destination) {
    std::vector<TSpan> spans(destination);
    const double step = double(source) / double(destination);
    for (uint32_t i = 0; i < destination; ++i) {
        const double start = i * step, end = (i + 1) * step;
        TSpan& span = spans[i];
        span.first = std::min(uint32_t(start), source - 1);
        for (uint32_t s = span.first; s < source && s < end; ++s)
            span.weights.push_back((std::min(end, s + 1.0) - std::max(start, double(s))) / step);
    }
    return spans;
}

uint32_t Round(double value) { return uint32_t(std::lround(std::clamp(value, 0.0, 255.0))); }

}  // namespace

TPngImage ResizePngImage(const TPngImage& image, uint32_t width, uint32_t height) {
    TPngImage result;
    if (image.Pixels() == nullptr || width == 0 || height == 0) return result;
    result.header_ = image.header_;
    result.header_.width = width;
    result.header_.height = height;
    result.transparency_ = image.transparency_;
    result.hasGamma_ = image.hasGamma_;
    result.gammaValue_ = image.gammaValue_;
    result.pixels_ = std::make_unique<uint32_t[]>(size_t{width} * height);

    const std::vector<TSpan> columns = AxisSpans(image.Width(), width);
    const std::vector<TSpan> rows = AxisSpans(image.Height(), height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            double alpha = 0, colour[3] = {0, 0, 0};
            for (size_t j = 0; j < rows[y].weights.size(); ++j) {
                const uint8_t* row = image.Row(rows[y].first + uint32_t(j));
                for (size_t i = 0; i < columns[x].weights.size(); ++i) {
                    const uint8_t* pixel = row + size_t{columns[x].first + uint32_t(i)} * 4;
                    const double share = rows[y].weights[j] * columns[x].weights[i] * pixel[3];
                    alpha += share;
                    for (int c = 0; c < 3; ++c) colour[c] += share * pixel[c];
                }
            }
            uint32_t packed = Round(alpha) << 24;
            if (alpha > 0)
                for (int c = 0; c < 3; ++c) packed |= Round(colour[c] / alpha) << (8 * c);
            result.pixels_[size_t{y} * width + x] = packed;
        }
    return result;
}
