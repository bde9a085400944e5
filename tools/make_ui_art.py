#!/usr/bin/env python3
"""Draws the program's own artwork into src/app/resources/:

- lumo.ico: the application icon (16, 32 and 48 pixels, 32-bit with alpha): a framed picture
  of a hill under a sun, the program's subject;
- add.bmp, del.bmp: the 7 x 7 glyphs of the add and delete buttons, a green plus and a red
  minus outlined in black on white (white is drawn transparent).

Run it again after changing the drawing; the outputs are committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "app", "resources")


def icon_pixels(size):
    """RGBA rows, top row first."""
    s = size / 48.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # Sample at the pixel centre in 48-pixel design units.
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            frame = 3 <= fx <= 45 and 6 <= fy <= 42
            inner = 6 <= fx <= 42 and 9 <= fy <= 39
            if not frame:
                row.append((0, 0, 0, 0))
                continue
            if not inner:
                row.append((96, 62, 30, 255))  # wooden frame
                continue
            hill = fy > 27 + (fx - 24) ** 2 / 40.0
            sun = (fx - 31) ** 2 + (fy - 17) ** 2 <= 25
            if hill:
                row.append((54, 150, 60, 255))
            elif sun:
                row.append((255, 200, 40, 255))
            else:
                t = (fy - 9) / 30.0
                row.append((int(90 + 80 * t), int(160 + 60 * t), 235, 255))
        rows.append(row)
    return rows


def ico_image(size):
    rows = icon_pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_ico(path, sizes):
    images = [ico_image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(data + b"".join(images))


def write_glyph(path, shape, colour):
    """A 7 x 7 24-bit bitmap; shape: rows of '#' outline, 'o' fill, '.' white."""
    rows = []
    for line in shape:
        rows.append([{"#": (0, 0, 0), "o": colour, ".": (255, 255, 255)}[c] for c in line])
    stride = (7 * 3 + 3) // 4 * 4
    pixels = b""
    for row in reversed(rows):
        pixels += b"".join(bytes((b, g, r)) for (r, g, b) in row) + b"\0" * (stride - 21)
    info = struct.pack("<IiiHHIIiiII", 40, 7, 7, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


PLUS = ["..###..",
        "..#o#..",
        "###o###",
        "#ooooo#",
        "###o###",
        "..#o#..",
        "..###.."]
MINUS = [".......",
         ".......",
         "#######",
         "#ooooo#",
         "#######",
         ".......",
         "......."]

if __name__ == "__main__":
    write_ico(os.path.join(OUT, "lumo.ico"), [16, 32, 48])
    write_glyph(os.path.join(OUT, "add.bmp"), PLUS, (0, 170, 0))
    write_glyph(os.path.join(OUT, "del.bmp"), MINUS, (220, 0, 0))
