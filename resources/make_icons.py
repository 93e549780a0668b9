#!/usr/bin/env python3
"""Draws the launcher's icons and writes them as .ico files.

The design is a rounded square with a white arrow pointing right ("start").
Icon 101 is the program's own icon with seven sizes; icons 102 to 108 and 111
are single 32x32 images that differ only in colour, for documents and
shortcuts that want to look related to the program.

The icons make up most of the executable, so they are stored as small as
every Windows version still reads them:
- icon 101 up to 48 pixels (the sizes Windows XP shows) as 32-bit DIBs with
  an AND mask, soft edges included; from 64 pixels on as PNG, which Windows
  Vista and later read and which XP never picks at those sizes;
- the single images as 8-bit DIBs with a palette of just the colours they
  use (about a hundred) and a hard edge: a pixel at least half covered by
  the square is opaque, any other transparent.
Only the standard library is used, and the output is byte-for-byte
reproducible.

Usage: make_icons.py [output directory]   (default: icons/ beside this file)
"""

import os
import struct
import sys
import zlib

SUPERSAMPLING = 4  # samples per pixel along each axis

# (top colour, bottom colour, border colour) of the square, RGB.
PALETTES = {
    101: ((74, 144, 226), (31, 86, 170), (20, 58, 120)),    # blue
    102: ((92, 184, 92), (46, 125, 50), (30, 90, 34)),      # green
    103: ((240, 160, 60), (214, 110, 20), (150, 75, 10)),   # orange
    104: ((230, 85, 80), (178, 40, 40), (125, 25, 25)),     # red
    105: ((155, 110, 210), (100, 60, 160), (70, 40, 115)),  # purple
    106: ((60, 190, 190), (20, 130, 135), (12, 90, 95)),    # teal
    107: ((150, 158, 168), (95, 104, 115), (62, 68, 76)),   # grey
    108: ((250, 205, 70), (210, 160, 20), (150, 110, 10)),  # yellow
    111: ((70, 80, 100), (35, 42, 56), (15, 20, 28)),       # slate
}
MAIN_SIZES = (16, 24, 32, 48, 64, 128, 256)
SINGLE_SIZE = 32
PNG_FROM_SIZE = 64  # main-icon images this large or larger are PNG


def inside_rounded_square(x, y, inset, radius):
    """Whether (x, y), in units of the icon's width, lies in the square."""
    lo, hi = inset, 1.0 - inset
    if x < lo or x > hi or y < lo or y > hi:
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y):
    """A chunky right-pointing arrow: a shaft and a triangular head."""
    if 0.24 <= x <= 0.52 and 0.41 <= y <= 0.59:
        return True
    if 0.48 <= x <= 0.78:
        half = 0.27 * (0.78 - x) / 0.30  # half height of the head at x
        return abs(y - 0.5) <= half
    return False


def render(size, palette):
    """Returns size*size RGBA tuples, rows from the top."""
    top, bottom, border = palette
    # Keep at least one whole pixel of border and margin at small sizes.
    margin = max(0.04, 0.5 / size)
    border_width = max(0.035, 1.0 / size)
    radius = 0.2
    n = SUPERSAMPLING
    pixels = []
    for row in range(size):
        t = row / max(size - 1, 1)
        fill = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        for col in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                y = (row + (sy + 0.5) / n) / size
                for sx in range(n):
                    x = (col + (sx + 0.5) / n) / size
                    if not inside_rounded_square(x, y, margin, radius):
                        continue
                    if inside_arrow(x, y):
                        colour = (255, 255, 255)
                    elif inside_rounded_square(x, y, margin + border_width,
                                               radius - border_width):
                        colour = fill
                    else:
                        colour = border
                    r += colour[0]
                    g += colour[1]
                    b += colour[2]
                    a += 1
            if a == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append((round(r / a), round(g / a), round(b / a),
                               round(255 * a / (n * n))))
    return pixels


def encode_dib(size, pixels):
    """A 32-bit BITMAPINFOHEADER image with its AND mask, as icons store it."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0,
                         0, 0, 0)
    colour = bytearray()
    for row in reversed(range(size)):
        for r, g, b, a in pixels[row * size:(row + 1) * size]:
            colour += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(range(size)):
        line = bytearray(stride)
        for col in range(size):
            if pixels[row * size + col][3] == 0:
                line[col // 8] |= 0x80 >> (col % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def encode_dib8(size, pixels):
    """An 8-bit palette BITMAPINFOHEADER image with its AND mask.

    Returns None when the image has more than 256 colours.
    """
    opaque = [p[3] >= 128 for p in pixels]
    palette = sorted({p[:3] for p, o in zip(pixels, opaque) if o})
    if not palette or palette[0] != (0, 0, 0):
        palette.insert(0, (0, 0, 0))  # what transparent pixels point to
    if len(palette) > 256:
        return None
    index = {colour: i for i, colour in enumerate(palette)}
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0,
                         0, len(palette), 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    row_bytes = (size + 3) // 4 * 4
    colour = bytearray()
    for row in reversed(range(size)):
        line = bytearray(row_bytes)
        for col in range(size):
            k = row * size + col
            if opaque[k]:
                line[col] = index[pixels[k][:3]]
        colour += line
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(range(size)):
        line = bytearray(stride)
        for col in range(size):
            if not opaque[row * size + col]:
                line[col // 8] |= 0x80 >> (col % 8)
        mask += line
    return header + table + bytes(colour) + bytes(mask)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack(
        '>I', zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(size, pixels):
    # Unfiltered rows: the square's colour changes from row to row only, so
    # the rows repeat and compress better as they are than after any filter.
    raw = bytearray()
    for row in range(size):
        raw.append(0)  # no filter
        for pixel in pixels[row * size:(row + 1) * size]:
            raw += bytes(pixel)
    return (b'\x89PNG\r\n\x1a\n' +
            png_chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0,
                                           0, 0)) +
            png_chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            png_chunk(b'IEND', b''))


def encode_ico(images):
    """images: list of (size, encoded image)."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b''
    for size, image in images:
        side = 0 if size >= 256 else size  # 0 stands for 256
        bits = 8 if image[:4] == struct.pack('<I', 40) and struct.unpack(
            '<H', image[14:16])[0] == 8 else 32
        directory += struct.pack('<BBBBHHII', side, side, 0, 0, 1, bits,
                                 len(image), offset)
        offset += len(image)
        data += image
    return directory + data


def make_icon(sizes, palette):
    images = []
    for size in sizes:
        pixels = render(size, palette)
        if len(sizes) == 1:
            image = encode_dib8(size, pixels) or encode_dib(size, pixels)
        elif size >= PNG_FROM_SIZE:
            image = encode_png(size, pixels)
        else:
            image = encode_dib(size, pixels)
        images.append((size, image))
    return encode_ico(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'icons')
    os.makedirs(out_dir, exist_ok=True)
    for icon_id, palette in PALETTES.items():
        sizes = MAIN_SIZES if icon_id == 101 else (SINGLE_SIZE,)
        path = os.path.join(out_dir, 'icon%d.ico' % icon_id)
        with open(path, 'wb') as f:
            f.write(make_icon(sizes, palette))
        print(path)


if __name__ == '__main__':
    main()
