#!/usr/bin/env python3
"""Draws the program's own artwork into src/app/resources/:

- lumo.ico: the application icon, a framed picture of a hill under a sun, the program's
  subject, drawn from one description at every size the shell asks for at 100 % to 200 %
  (16, 20, 24, 32, 40, 48 and 64 pixels, 32-bit with alpha) and at 256 pixels for Explorer's
  large views (stored as a PNG file inside the icon, as the system expects at that size).

The glyphs of the add and delete buttons are drawn by the program itself at the window's
scale (ui/glyph_art.h).

Run it again after changing the drawing; the outputs are committed.
"""
import os
import struct
import zlib

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


def png_image(size):
    """The icon as a PNG file (RGBA, no filter)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in icon_pixels(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(path, sizes):
    images = [png_image(n) if n >= 256 else ico_image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    write_ico(os.path.join(OUT, "lumo.ico"), [16, 20, 24, 32, 40, 48, 64, 256])
