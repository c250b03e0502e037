#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

The glyph is a loudspeaker with three rising volume bars on a dark rounded square. Six
images: 16, 32 and 48 px with a 256-colour palette (for old shells and small views) and 16, 32
and 64 px with 32-bit colour and alpha. All entries are BMP-format (not PNG), which every
Windows version reads. Standard library only, so it runs on any machine with Python 3.

  tools/make_icon.py [OUTPUT]        default: resources/trimbelle.ico beside this tool
"""

import os
import struct
import sys

SUPERSAMPLE = 4
BACKGROUND = (32, 36, 40)
SPEAKER = (236, 236, 236)
BAR = (60, 200, 90)


def _in_rounded_square(x, y, radius):
    # Unit square with rounded corners of the given radius.
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def _in_speaker(x, y):
    if 0.14 <= x <= 0.30 and 0.40 <= y <= 0.60:
        return True
    if 0.30 <= x <= 0.50:
        # The cone widens from the box to its mouth.
        t = (x - 0.30) / 0.20
        half = 0.10 + t * 0.16
        return abs(y - 0.5) <= half
    return False


BARS = [(0.58, 0.66, 0.58), (0.70, 0.78, 0.42), (0.82, 0.90, 0.26)]  # left, right, top
BAR_BOTTOM = 0.76


def _sample(x, y):
    """Colour and alpha (0..1) at a point of the unit square, y pointing down."""
    if not _in_rounded_square(x, y, 0.18):
        return (0, 0, 0), 0.0
    if _in_speaker(x, y):
        return SPEAKER, 1.0
    for left, right, top in BARS:
        if left <= x <= right and top <= y <= BAR_BOTTOM:
            return BAR, 1.0
    return BACKGROUND, 1.0


def render(size):
    """Rows top to bottom of (r, g, b, a) pixels, anti-aliased by supersampling."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    colour, alpha = _sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    r += colour[0] * alpha
                    g += colour[1] * alpha
                    b += colour[2] * alpha
                    a += alpha
            if a > 0:
                pixel = (round(r / a), round(g / a), round(b / a), round(255 * a / (n * n)))
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def _and_mask(rows, opaque):
    """1 bpp mask, bottom-up, rows padded to 32 bits; a set bit means transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if not opaque(pixel):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def _header(size, bpp, palette_entries):
    # Height is doubled: the image and its AND mask.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, palette_entries, 0)


def bmp_32(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    return _header(size, 32, 0) + bytes(pixels) + _and_mask(rows, lambda p: p[3] > 0)


def bmp_8(rows):
    size = len(rows)
    opaque = lambda p: p[3] >= 128
    palette = [(0, 0, 0)]  # index 0: under the transparent pixels
    index = {}
    for row in rows:
        for p in row:
            if opaque(p) and p[:3] not in index:
                index[p[:3]] = len(palette)
                palette.append(p[:3])
    if len(palette) > 256:
        raise ValueError("%d px image needs %d colours" % (size, len(palette)))
    palette += [(0, 0, 0)] * (256 - len(palette))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    stride = (size + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            line[x] = index[p[:3]] if opaque(p) else 0
        pixels += line
    return _header(size, 8, 256) + table + bytes(pixels) + _and_mask(rows, opaque)


def make_ico(images):
    """images: list of (size, bpp, bmp bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, bpp, bmp in images:
        colours = 0  # 0 also for 256 colours: the field is one byte
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(bmp), offset)
        offset += len(bmp)
        data += bmp
    return out + entries + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "trimbelle.ico")
    images = []
    for size in (16, 32, 48):
        images.append((size, 8, bmp_8(render(size))))
    for size in (16, 32, 64):
        images.append((size, 32, bmp_32(render(size))))
    with open(target, "wb") as f:
        f.write(make_ico(images))
    print("wrote %s (%d images)" % (os.path.normpath(target), len(images)))


if __name__ == "__main__":
    main()
