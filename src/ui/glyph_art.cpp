#include "ui/glyph_art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TGlyphArt SignGlyph(TGlyphSign sign, int size) {
    size = std::max(size, 3);
    const int outline = std::max(1, static_cast<int>(std::lround(size / 7.0)));
    // The thickest bar of the size's parity not further from 3/7 of the size than another.
    const double wanted = 3.0 * size / 7.0;
    int bar = size % 2 == 0 ? 2 : 1;
    for (int b = bar; b <= size; b += 2)
        if (std::abs(b - wanted) < std::abs(bar - wanted)) bar = b;
    while (bar < 2 * outline + 1 && bar + 2 <= size) bar += 2;
    const int margin = (size - bar) / 2;
    const auto inSign = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size) return false;
        const bool across = y >= margin && y < margin + bar;
        const bool down = x >= margin && x < margin + bar;
        return across || (sign == TGlyphSign::Plus && down);
    };
    TGlyphArt art{size, std::vector<TGlyphCell>(static_cast<size_t>(size * size), TGlyphCell::Clear)};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!inSign(x, y)) continue;
            bool inside = true;
            for (int dy = -outline; dy <= outline && inside; ++dy)
                for (int dx = -outline; dx <= outline && inside; ++dx) inside = inSign(x + dx, y + dy);
            art.Cells[static_cast<size_t>(y * size + x)] = inside ? TGlyphCell::Fill : TGlyphCell::Outline;
        }
    return art;
}

int NearestGlyphSize(std::span<const int> sizes, int textHeight) {
    if (sizes.empty()) return 0;
    // Compared in units of 1/13 pixel: the design size times the text height.
    const int wanted = sizes.front() * textHeight;
    int best = sizes.front();
    for (int size : sizes)
        if (std::abs(size * 13 - wanted) < std::abs(best * 13 - wanted)) best = size;
    return best;
}
