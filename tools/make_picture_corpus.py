#!/usr/bin/env python3
"""Writes the seed corpora of the picture readers' fuzz targets:
fuzz/corpus/{bitmap,icon,metafile,jpeg}_fuzz/. Every seed is assembled here byte by byte.

    tools/make_picture_corpus.py [REPOSITORY_ROOT]
"""
import pathlib
import struct
import sys


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def i32(v):
    return struct.pack("<i", v)


# Bitmaps -----------------------------------------------------------------------------------


def bitmap(header, colours=b"", pixels=b"", masks=b""):
    return b"BM" + u32(14 + len(header) + len(masks) + len(colours) + len(pixels)) + u32(0) + \
        u32(14 + len(header) + len(masks) + len(colours)) + header + masks + colours + pixels


def info_header(width, height, bits, compression=0, size_image=0, used=0, size=40, masks=(0, 0, 0)):
    header = u32(size) + i32(width) + i32(height) + u16(1) + u16(bits) + u32(compression) + \
        u32(size_image) + i32(2835) + i32(2835) + u32(used) + u32(0)
    if size >= 52:
        header += b"".join(u32(m) for m in masks)
    return header + bytes(size - len(header))


def bitmaps():
    gray4 = b"".join(bytes([i * 17, i * 17, i * 17, 0]) for i in range(16))
    yield "core_1bit", bitmap(u32(12) + u16(8) + u16(2) + u16(1) + u16(1), b"\0\0\0\xff\xff\xff",
                              b"\xa5\0\0\0\x5a\0\0\0")
    yield "rgb_4bit", bitmap(info_header(5, 3, 4), gray4, bytes([0x01, 0x23, 0x40, 0]) * 3)
    yield "rgb_24bit", bitmap(info_header(3, 2, 24), pixels=bytes(range(24)))
    yield "top_down_8bit", bitmap(info_header(4, -2, 8, used=4), gray4[:16], bytes([0, 1, 2, 3, 3, 2, 1, 0]))
    rle8 = bytes([3, 1, 0, 0, 2, 2, 0, 2, 1, 0, 0, 3, 1, 2, 3, 0, 0, 1])
    yield "rle8", bitmap(info_header(4, 2, 8, compression=1, size_image=len(rle8), used=4), gray4[:16], rle8)
    rle4 = bytes([4, 0x12, 0, 0, 0, 4, 0x34, 0x50, 0, 1])
    yield "rle4", bitmap(info_header(4, 2, 4, compression=2, size_image=len(rle4)), gray4, rle4)
    yield "bitfields_16bit", bitmap(info_header(2, 2, 16, compression=3), pixels=bytes(range(8)),
                                    masks=u32(0xF800) + u32(0x07E0) + u32(0x001F))
    yield "v4_32bit", bitmap(info_header(2, 1, 32, compression=3, size=108,
                                         masks=(0xFF0000, 0xFF00, 0xFF)), pixels=bytes(range(8)))
    yield "v5_24bit", bitmap(info_header(1, 1, 24, size=124), pixels=b"\x10\x20\x30\0")
    yield "cut_short", bitmap(info_header(16, 16, 24), pixels=bytes(20))


# Icons -------------------------------------------------------------------------------------


def icon_image(side, bits=32):
    """A DIB icon image: header of twice the height, colour rows, then mask rows."""
    colour = bytes((side * bits + 31) // 32 * 4 * side)
    mask = bytes((side + 31) // 32 * 4 * side)
    return info_header(side, side * 2, bits, size_image=len(colour) + len(mask)) + colour + mask


def icon(entries, kind=1):
    out = u16(0) + u16(kind) + u16(len(entries))
    offset = 6 + 16 * len(entries)
    images = b""
    for side, colours, image in entries:
        out += bytes([side & 0xFF, side & 0xFF, colours, 0]) + u16(1) + u16(32) + u32(len(image)) + u32(offset)
        offset += len(image)
        images += image
    return out + images


def icons():
    yield "sizes_16_32_48", icon([(s, 0, icon_image(s, 4)) for s in (16, 32, 48)])
    yield "colours_16_then_256", icon([(32, 16, icon_image(32, 4)), (32, 0, icon_image(8, 8))])
    yield "single", icon([(8, 2, icon_image(8, 1))])
    yield "type_zero", icon([], kind=0)
    yield "no_images", icon([])
    yield "cursor", icon([(32, 0, icon_image(4))], kind=2)


# Metafiles ---------------------------------------------------------------------------------


def placeable(left, top, right, bottom, units, records):
    header = u32(0x9AC6CDD7) + u16(0) + u16(left) + u16(top) + u16(right) + u16(bottom) + u16(units) + u32(0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= header[i] | header[i + 1] << 8
    body = u16(1) + u16(9) + u16(0x300) + u32((18 + len(records) + 6) // 2) + u16(1) + u32(5) + u16(0)
    return header + u16(checksum) + body + records + u32(3) + u16(0)


def emf(frame, pixels=(1024, 768), millimetres=(320, 240)):
    header = u32(1) + u32(108) + i32(0) + i32(0) + i32(10) + i32(10) + b"".join(i32(v) for v in frame)
    header += u32(0x464D4520) + u32(0x10000) + u32(0) + u32(2) + u16(1) + u16(0) + u32(0) + u32(0) + u32(0)
    header += i32(pixels[0]) + i32(pixels[1]) + i32(millimetres[0]) + i32(millimetres[1])
    header += bytes(108 - len(header))
    data = bytearray(header + u32(14) + u32(20) + u32(0) + u32(16) + u32(20))
    data[48:52] = u32(len(data))
    return bytes(data)


def metafiles():
    rectangle = u32(7) + u16(0x041B) + u16(40) + u16(60) + u16(10) + u16(10)  # META_RECTANGLE
    yield "placeable_1440", placeable(0, 0, 1440, 720, 1440, rectangle)
    yield "placeable_units_zero", placeable(0, 0, 96, 48, 0, rectangle)
    yield "placeable_negative_box", placeable(100, 100, -20, 5, 72, b"")
    yield "enhanced", emf((0, 0, 2540, 1270))
    yield "enhanced_odd_device", emf((-50, 20, 3000, 999), (800, 600), (0, 7))


# JPEG --------------------------------------------------------------------------------------


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def one_code_table(table_class, table_id, symbol):
    """A Huffman table with one code, "0", of length 1."""
    return bytes([table_class << 4 | table_id]) + bytes([1] + [0] * 15) + bytes([symbol])


def jpeg(components, sampling, blocks_per_mcu, progressive=False, adobe=None, side=8):
    out = b"\xff\xd8"
    if adobe is not None:
        out += segment(0xEE, b"Adobe" + struct.pack(">HHHB", 100, 0, 0, adobe))
    out += segment(0xDB, bytes([0]) + bytes([1] * 64))
    frame = bytes([8]) + struct.pack(">HH", side, side) + bytes([components])
    for c in range(components):
        frame += bytes([c + 1, sampling[c], 0])
    out += segment(0xC2 if progressive else 0xC0, frame)
    out += segment(0xC4, one_code_table(0, 0, 0) + one_code_table(1, 0, 0))
    scan = bytes([components]) + b"".join(bytes([c + 1, 0]) for c in range(components))
    scan += bytes([0, 0 if progressive else 63, 0])
    out += segment(0xDA, scan)
    # Each block: DC difference category 0, then (sequential only) end of block; pad with 1s.
    bits = "0" * (blocks_per_mcu * (1 if progressive else 2))
    bits += "1" * (-len(bits) % 8)
    out += bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
    return out + b"\xff\xd9"


def jpegs():
    yield "gray_8x8", jpeg(1, [0x11], 1)
    yield "colour_16x16_420", jpeg(3, [0x22, 0x11, 0x11], 6, side=16)
    yield "progressive_gray_dc", jpeg(1, [0x11], 1, progressive=True)
    yield "adobe_cmyk", jpeg(4, [0x11] * 4, 4, adobe=0)
    yield "adobe_ycck", jpeg(4, [0x11] * 4, 4, adobe=2)
    yield "not_a_jpeg", b"This is a text file.\r\n"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    for target, seeds in (("bitmap_fuzz", bitmaps()), ("icon_fuzz", icons()), ("metafile_fuzz", metafiles()),
                          ("jpeg_fuzz", jpegs())):
        folder = root / "fuzz" / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds:
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
