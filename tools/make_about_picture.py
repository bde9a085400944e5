#!/usr/bin/env python3
"""Draws the About picture: 410 x 310, RGBA, with a gamma chunk of 45000, the program's title
and credits on black, transparent at its rounded corners and partly transparent along its
edges. Writes src/app/resources/about.dat: the picture as stored picture data, that is one
length byte, the class name "TPNGObject", then the PNG file.

Writes also src/app/resources/about_2x.png, the same drawing at twice the size (820 x 620, a
plain PNG file): the program reduces it to the window's scale on screens of other than 100 %.

The text is drawn by ImageMagick's convert with the DejaVu fonts; run it again after changing
the texts. The output is committed.
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "app", "resources", "about.dat")
OUT_2X = os.path.join(HERE, "..", "src", "app", "resources", "about_2x.png")
WIDTH, HEIGHT = 410, 310
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def render_text(scale=1):
    """RGB bytes of the text on black, at `scale` times the design size."""
    def at(x, y):
        return f"{x * scale},{y * scale}"

    def box(left, top, right, bottom):
        """A rectangle of whole design pixels, inclusive corners."""
        return f"rectangle {at(left, top)} {(right + 1) * scale - 1},{(bottom + 1) * scale - 1}"

    command = [
        "convert", "-size", f"{WIDTH * scale}x{HEIGHT * scale}", "xc:black",
        # A band of the program's subject: a sunny hill, as on the icon.
        "-fill", "#2a5f8a", "-draw", box(0, 0, 409, 96),
        "-fill", "#ffc828", "-draw", f"circle {at(330, 44)} {at(330, 68)}",
        "-fill", "#36963c",
        "-draw", f"ellipse {at(205, 150)} {260 * scale},{70 * scale} 180,360",
        "-fill", "black",
        "-draw", box(0, 118, 409, 309),
        "-font", BOLD, "-pointsize", str(44 * scale), "-fill", "white",
        "-annotate", f"+{24 * scale}+{166 * scale}", "Лумо",
        "-font", FONT, "-pointsize", str(15 * scale), "-fill", "#d0d0d0",
        "-annotate", f"+{26 * scale}+{192 * scale}", "версия 1.2",
        "-pointsize", str(13 * scale), "-fill", "#b0b0b0",
        "-annotate", f"+{26 * scale}+{218 * scale}", "Обои рабочего стола по дням недели",
        "-annotate", f"+{26 * scale}+{238 * scale}", "Программа и рисунки: команда Лумо, 2026",
        "-depth", "8", "rgb:-",
    ]
    return subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout


def alpha_at(x, y, scale=1):
    """Opaque inside; transparent beyond rounded corners; half transparent on a thin edge."""
    width, height = WIDTH * scale, HEIGHT * scale
    radius = 18 * scale
    cx = min(max(x, radius), width - 1 - radius)
    cy = min(max(y, radius), height - 1 - radius)
    distance = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if distance > radius:
        return 0
    if distance > radius - 1.5 * scale:
        return 96
    edge = min(x, y, width - 1 - x, height - 1 - y)
    return 160 if edge < 2 * scale else 255


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_file(scale):
    width, height = WIDTH * scale, HEIGHT * scale
    rgb = render_text(scale)
    assert len(rgb) == width * height * 3
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            i = (y * width + x) * 3
            rows += rgb[i:i + 3] + bytes((alpha_at(x, y, scale),))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"gAMA", struct.pack(">I", 45000))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    return png


def main():
    name = b"TPNGObject"
    with open(OUT, "wb") as f:
        f.write(bytes((len(name),)) + name + png_file(1))
    with open(OUT_2X, "wb") as f:
        f.write(png_file(2))


if __name__ == "__main__":
    main()
