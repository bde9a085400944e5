// The small glyphs of the window's buttons, kept crisp at every scaling: the add and delete
// signs are drawn from whole pixels at the size asked for, and glyphs drawn beforehand at a
// few sizes are chosen by the scaled size.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

enum class TGlyphCell : uint8_t { Clear, Outline, Fill };
enum class TGlyphSign { Plus, Minus };

// A square glyph, rows from the top.
struct TGlyphArt {
    int Size = 0;
    std::vector<TGlyphCell> Cells;
    TGlyphCell At(int x, int y) const { return Cells[static_cast<size_t>(y * Size + x)]; }
};

// A plus or a minus sign of `size` pixels (at least 3): bars about three sevenths of the size
// thick, centred (their thickness has the size's parity), outlined by a line of size / 7
// pixels (at least 1), the fill inside. At the design size 7:
//   ..###..   .......
//   ..#o#..   .......
//   ###o###   #######
//   #ooooo#   #ooooo#
//   ###o###   #######
//   ..#o#..   .......
//   ..###..   .......
TGlyphArt SignGlyph(TGlyphSign sign, int size);

// Of the sizes a glyph was drawn at (ascending, the first its design size, at text height 13),
// the one nearest to the design size scaled by the text height; the smaller of two as near.
int NearestGlyphSize(std::span<const int> sizes, int textHeight);
