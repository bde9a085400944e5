#!/usr/bin/env python3
"""Writes the seed corpus of the PNG fuzz target: tiny PNG files of every colour type, bit
depth and interlace method, with and without PLTE, tRNS and gAMA, and a few broken ones.

Usage: make_png_corpus.py [output folder]   (default: fuzz/corpus/png_fuzz beside this tool)
"""
import os
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def rows_of(width, height, colour_type, depth, interlaced):
    """Filtered rows of a small pattern; filter type cycles through all five."""
    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    out = bytearray()
    row_index = 0
    for left, top, xstep, ystep in passes:
        pw = (width - left + xstep - 1) // xstep if width > left else 0
        ph = (height - top + ystep - 1) // ystep if height > top else 0
        if pw == 0 or ph == 0:
            continue
        row_bytes = (pw * CHANNELS[colour_type] * depth + 7) // 8
        for y in range(ph):
            out.append(row_index % 5)
            out += bytes((x * 37 + y * 11 + row_index) & 0xFF for x in range(row_bytes))
            row_index += 1
    return bytes(out)


def png(width, height, colour_type, depth, interlaced=False, extra=b"", palette=0, trns=None, gamma=None):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 1 if interlaced else 0)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
    if gamma is not None:
        out += chunk(b"gAMA", struct.pack(">I", gamma))
    if palette:
        out += chunk(b"PLTE", bytes((i * 7 + c * 50) & 0xFF for i in range(palette) for c in range(3)))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    out += extra
    data = zlib.compress(rows_of(width, height, colour_type, depth, interlaced), 9)
    half = len(data) // 2
    out += chunk(b"IDAT", data[:half]) + chunk(b"IDAT", data[half:])
    return out + chunk(b"IEND", b"")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "fuzz", "corpus", "png_fuzz")
    os.makedirs(folder, exist_ok=True)
    seeds = {}
    for colour_type, depths in {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}.items():
        for depth in depths:
            for interlaced in (False, True):
                palette = min(1 << depth, 6) if colour_type == 3 else 0
                trns = None
                if colour_type == 3:
                    trns = bytes([0, 128, 255][: palette])
                elif colour_type == 0:
                    trns = struct.pack(">H", 1)
                elif colour_type == 2:
                    trns = struct.pack(">HHH", 1, 2, 3)
                name = "t%dd%d%s" % (colour_type, depth, "i" if interlaced else "")
                seeds[name] = png(9, 7, colour_type, depth, interlaced, palette=palette, trns=trns, gamma=45000)
    seeds["ancillary"] = png(3, 3, 2, 8, extra=chunk(b"tEXt", b"Title\0seed"))
    seeds["critical"] = png(3, 3, 2, 8, extra=chunk(b"ABCD", b"x"))
    seeds["badcrc"] = png(2, 2, 0, 8)[:-5] + b"\0\0\0\0\0"
    seeds["truncated"] = png(5, 5, 6, 8)[:-30]
    for name, data in seeds.items():
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
