#!/usr/bin/env python3
"""Draws the picture open dialog's artwork into src/open_dialog/resources/:

- preview_glyph.bmp: the 16 x 16 glyph of the pane's Preview button, 16 colours: a white page
  with lines of text and a magnifying glass over it, on olive. The button draws the colour of
  the bottom-left pixel (olive) transparent.
- preview_glyph_20.bmp, _24, _32: the same drawing for screens at 125 %, 150 % and 200 %,
  every stroke a whole number of pixels wide, for the pane to choose from.

Run it again after changing the drawing; the output is committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "open_dialog", "resources")

# The 16 colours of the standard palette, (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, OLIVE, TEAL, SILVER, GREY, AQUA, WHITE = 0, 1, 3, 6, 7, 8, 14, 15


def glyph(size=16):
    """Palette indices, top row first; the design is 16 pixels, scaled by whole pixels."""
    s = size / 16.0

    def at(v):
        return int(round(v * s))

    stroke = max(1, int(round(s)))
    px = [[OLIVE] * size for _ in range(size)]
    # The page: an outlined sheet with a folded top-right corner.
    left, top, right, bottom, fold = at(1), 0, at(11), at(14), at(3)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x > right - fold + (y - top) and y < top + fold:
                continue  # cut off by the fold
            edge = (x < left + stroke or x > right - stroke or y < top + stroke or y > bottom - stroke
                    or 0 <= (x - (right - fold)) - (y - top) < stroke)
            px[y][x] = GREY if edge else WHITE
    # The folded flap: silver, edged in grey.
    for y in range(top, top + fold + 1):
        for x in range(right - fold, right - fold + (y - top) + 1):
            edge = (x < right - fold + stroke or y > top + fold - stroke
                    or 0 <= (x - (right - fold)) - (y - top) < stroke)
            edge = edge or x - (right - fold) == y - top
            px[y][x] = GREY if edge else SILVER
    for line in (3, 5, 7, 9, 11):
        for y in range(at(line), at(line) + stroke):
            for x in range(left + 2 * stroke, right - stroke - (at(3) if line == 3 else 0)):
                px[y][x] = SILVER
    # The magnifying glass: a black rim round a teal lens with a highlight, and a handle.
    cx, cy = 9.0 * s, 9.0 * s  # the lens centre, in pixel edges
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d2 = dx * dx + dy * dy
            if d2 <= (2.5 * s)**2:
                px[y][x] = AQUA if dx + dy < -1.0 * s else TEAL
            elif d2 <= (3.6 * s)**2:
                px[y][x] = BLACK
    start = at(12)
    for y in range(start, size):
        for x in range(start, size):
            u, v = x - start, y - start
            if max(u, v) > 4 * stroke or min(u, v) > 3 * stroke + stroke - 1:
                continue
            if abs(u - v) < stroke:
                px[y][x] = MAROON
            elif abs(u - v) < 2 * stroke:
                px[y][x] = BLACK
    assert px[size - 1][0] == OLIVE  # the transparent colour sits bottom-left
    return px


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp(os.path.join(OUT, "preview_glyph.bmp"), glyph())
    for size in (20, 24, 32):
        write_bmp(os.path.join(OUT, f"preview_glyph_{size}.bmp"), glyph(size))


if __name__ == "__main__":
    main()
