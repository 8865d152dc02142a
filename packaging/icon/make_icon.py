#!/usr/bin/env python3
"""Draws the Foliomix program icon: a Windows .ico file, or one PNG for the desktop's icon theme.

The artwork: three presentation slides fanned out behind one another, joined by a white arrow
on the front slide. In the .ico, each size (48, 32, 24, 16 px) is written twice: with 256
colours (8 bits per pixel, a fixed palette and a transparency mask) and in 32-bit colour with an
alpha channel. A PNG holds one size, 16 to 256 px, in 8-bit RGBA.

Usage: make_icon.py OUTPUT.ico
       make_icon.py --png SIZE OUTPUT.png
"""

import struct
import sys
import zlib

SIZES = (48, 32, 24, 16)
SUPERSAMPLE = 4

# Slides from the back to the front: (left, top, right, bottom) in units of the icon's width,
# fill colour (r, g, b).
SLIDES = (
    ((0.04, 0.06, 0.70, 0.54), (0xE8, 0x8A, 0x2E)),
    ((0.17, 0.25, 0.83, 0.73), (0x3C, 0xA0, 0x5A)),
    ((0.30, 0.44, 0.96, 0.92), (0x2B, 0x63, 0xC0)),
)
OUTLINE = (0x1E, 0x2A, 0x3A)
ARROW = (0xFF, 0xFF, 0xFF)


def inside_rounded(x, y, rect, radius):
    left, top, right, bottom = rect
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y, rect):
    """A right-pointing arrow centred on the front slide: a shaft and a triangular head."""
    left, top, right, bottom = rect
    w, h = right - left, bottom - top
    u, v = (x - left) / w, (y - top) / h
    if 0.18 <= u <= 0.55 and 0.42 <= v <= 0.58:
        return True
    if 0.50 <= u <= 0.82:
        half = 0.26 * (0.82 - u) / 0.32
        return abs(v - 0.5) <= half
    return False


def sample(x, y, outline_width):
    """The colour and coverage of one point of the artwork, in units of the icon's width."""
    colour, alpha = None, 0.0
    for rect, fill in SLIDES:
        radius = 0.07
        if inside_rounded(x, y, rect, radius):
            inner = (rect[0] + outline_width, rect[1] + outline_width,
                     rect[2] - outline_width, rect[3] - outline_width)
            colour = fill if inside_rounded(x, y, inner, radius - outline_width) else OUTLINE
            alpha = 1.0
    front = SLIDES[-1][0]
    if inside_arrow(x, y, front) and inside_rounded(x, y, front, 0.07):
        colour = ARROW
    return colour, alpha


def render(size):
    """Rows of (r, g, b, a) pixels, top row first, anti-aliased by supersampling."""
    outline_width = max(1.0 / size, 0.03)
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    colour, alpha = sample((px + (sx + 0.5) / n) / size,
                                           (py + (sy + 0.5) / n) / size, outline_width)
                    if colour is not None:
                        r += colour[0] * alpha
                        g += colour[1] * alpha
                        b += colour[2] * alpha
                        a += alpha
            count = n * n
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / count)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def palette():
    """256 colours: a 6x6x6 colour cube, then a ramp of greys."""
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    for i in range(256 - len(colours)):
        grey = round(8 + i * 240 / 39)
        colours.append((grey, grey, grey))
    return colours


def nearest(colours, rgb):
    return min(range(len(colours)),
               key=lambda i: sum((colours[i][k] - rgb[k]) ** 2 for k in range(3)))


def padded(data, width_bytes):
    return data + b"\0" * ((-width_bytes) % 4)


def and_mask(rows, size):
    """The 1-bpp transparency mask, bottom row first: a set bit is a transparent pixel."""
    out = b""
    for row in reversed(rows):
        bits = 0
        data = bytearray()
        for x, (_, _, _, a) in enumerate(row):
            bits = (bits << 1) | (1 if a < 128 else 0)
            if x % 8 == 7:
                data.append(bits)
                bits = 0
        if size % 8:
            data.append(bits << (8 - size % 8))
        out += padded(bytes(data), len(data))
    return out


def bitmap_header(size, bits, colours_used):
    # The height counts the colour bitmap and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours_used, 0)


def image_32(rows, size):
    pixels = b""
    for row in reversed(rows):
        pixels += b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in row)
    return bitmap_header(size, 32, 0) + pixels + and_mask(rows, size)


def image_8(rows, size, colours):
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)
    cache = {}
    pixels = b""
    for row in reversed(rows):
        data = bytearray()
        for r, g, b, a in row:
            if a < 128:
                data.append(0)
                continue
            key = (r, g, b)
            if key not in cache:
                cache[key] = nearest(colours, key)
            data.append(cache[key])
        pixels += padded(bytes(data), size)
    return bitmap_header(size, 8, 256) + table + pixels + and_mask(rows, size)


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png(rows, size):
    """A PNG of 8-bit RGBA pixels; every row with filter type 0 (none)."""
    raw = b"".join(b"\0" + b"".join(struct.pack("BBBB", *pixel) for pixel in row)
                   for row in rows)
    # Width, height, 8 bits per channel, colour type 6 (RGBA), deflate, no interlace.
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def write_png(arguments):
    if len(arguments) != 2 or not arguments[0].isdigit() or not 16 <= int(arguments[0]) <= 256:
        sys.exit(__doc__)
    size = int(arguments[0])
    with open(arguments[1], "wb") as f:
        f.write(png(render(size), size))


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--png":
        write_png(sys.argv[2:])
        return
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    colours = palette()
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, 32, image_32(rows, size)))
        images.append((size, 8, image_8(rows, size, colours)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = b""
    for size, bits, data in images:
        # Colour count 0 means 256 or more colours.
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(header + directory + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    main()
