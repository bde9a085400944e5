#!/usr/bin/env python3
"""Draws the About picture: 410 x 310, RGBA, with a gamma chunk of 45000, the program's title
and credits on black, transparent at its rounded corners and partly transparent along its
edges. Writes src/app/resources/about.dat: the picture as stored picture data, that is one
length byte, the class name "TPNGObject", then the PNG file.

The text is drawn by ImageMagick's convert with the DejaVu fonts; run it again after changing
the texts. The output is committed.
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "app", "resources", "about.dat")
WIDTH, HEIGHT = 410, 310
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def render_text():
    """RGB bytes of the text on black."""
    command = [
        "convert", "-size", f"{WIDTH}x{HEIGHT}", "xc:black",
        # A band of the program's subject: a sunny hill, as on the icon.
        "-fill", "#2a5f8a", "-draw", "rectangle 0,0 409,96",
        "-fill", "#ffc828", "-draw", "circle 330,44 330,68",
        "-fill", "#36963c", "-draw", "ellipse 205,150 260,70 180,360",
        "-fill", "black", "-draw", "rectangle 0,118 409,309",
        "-font", BOLD, "-pointsize", "44", "-fill", "white", "-annotate", "+24+166", "Лумо",
        "-font", FONT, "-pointsize", "15", "-fill", "#d0d0d0", "-annotate", "+26+192", "версия 1.2",
        "-pointsize", "13", "-fill", "#b0b0b0",
        "-annotate", "+26+218", "Обои рабочего стола по дням недели",
        "-annotate", "+26+238", "Программа и рисунки: команда Лумо, 2026",
        "-depth", "8", "rgb:-",
    ]
    return subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout


def alpha_at(x, y):
    """Opaque inside; transparent beyond rounded corners; half transparent on a thin edge."""
    radius = 18
    cx = min(max(x, radius), WIDTH - 1 - radius)
    cy = min(max(y, radius), HEIGHT - 1 - radius)
    distance = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if distance > radius:
        return 0
    if distance > radius - 1.5:
        return 96
    edge = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
    return 160 if edge < 2 else 255


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main():
    rgb = render_text()
    assert len(rgb) == WIDTH * HEIGHT * 3
    rows = bytearray()
    for y in range(HEIGHT):
        rows.append(0)  # filter: none
        for x in range(WIDTH):
            i = (y * WIDTH + x) * 3
            rows += rgb[i:i + 3] + bytes((alpha_at(x, y),))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0))
    png += chunk(b"gAMA", struct.pack(">I", 45000))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    name = b"TPNGObject"
    with open(OUT, "wb") as f:
        f.write(bytes((len(name),)) + name + png)


if __name__ == "__main__":
    main()
