#!/usr/bin/env python3
"""Draws the program's icons and bitmap and writes them as .ico/.bmp files.

    python3 res/make_icons.py [output folder]    (default: the folder of this script)

velmora.ico  (icon 128)  two chain links: 32x32 and 16x16 in 256 colours, 48/32/16 in 32-bit
link.ico     (icon 130)  one chain link:  32x32 in 16 colours
mail.bmp     (bitmap 131) an envelope:    16x10 in 16 colours

Pure Python, no imaging library: shapes are signed-distance functions sampled 4x4 per pixel,
so edges are smooth in the 32-bit images; the palette images take the nearest palette colour
and a 1-bit transparency mask.
"""
import math
import os
import struct
import sys

SUPERSAMPLE = 4

# The 16 colours of the standard VGA palette, in the order Windows uses for 4-bit images.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette256():
    """A 6x6x6 colour cube plus 40 greys: covers the icon's blues, greens and shading."""
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(round(i * 255 / 39),) * 3 for i in range(40)]
    return cube + greys


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def chain_link(px, py, a, b, radius, width):
    """Coverage test of one chain link: a ring around the segment a-b (a stadium outline)."""
    d = segment_distance(px, py, a[0], a[1], b[0], b[1])
    return abs(d - radius) <= width / 2, abs(d - radius) <= width / 2 + 0.035


# Two links on the diagonal; the second one passes over the first at the top crossing and
# under it at the bottom one, as real chain links do.
LINK_A = ((0.24, 0.62), (0.46, 0.40), (0.16, 0.42, 0.88))   # segment, colour
LINK_B = ((0.54, 0.60), (0.76, 0.38), (0.20, 0.60, 0.25))
OUTLINE = (0.10, 0.12, 0.20)


def draw_links(x, y, links):
    """Colour (r, g, b, a) in 0..1 at the normalised point (x, y) for the given links."""
    radius, width = 0.16, 0.085
    colour = None
    for index, (a, b, rgb) in enumerate(links):
        body, rim = chain_link(x, y, a, b, radius, width)
        over = index == 0 and y < 0.5 and colour is not None  # the first link on top above
        if colour is None or not over:
            if body:
                shade = 0.75 + 0.25 * (1 - y)
                colour = tuple(min(1.0, c * shade + 0.08) for c in rgb) + (1.0,)
            elif rim and colour is None:
                colour = OUTLINE + (1.0,)
    return colour or (0.0, 0.0, 0.0, 0.0)


def draw_icon(size, links):
    """Supersampled RGBA rows (top row first), values 0..255."""
    rows = []
    n = SUPERSAMPLE
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(n):
                for si in range(n):
                    x = (i + (si + 0.5) / n) / size
                    y = (j + (sj + 0.5) / n) / size
                    r, g, b, a = draw_links(x, y, links)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                rgb = [round(255 * c / acc[3]) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(255 * alpha)))
        rows.append(row)
    return rows


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda k: sum((palette[k][c] - rgb[c]) ** 2 for c in range(3)))


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(rows, opaque):
    out = b""
    for row in reversed(rows):
        bits = bytearray((len(row) + 7) // 8)
        for i, px in enumerate(row):
            if not opaque(px):
                bits[i // 8] |= 0x80 >> (i % 8)
        out += padded(bytes(bits))
    return out


def indexed_pixels(rows, palette, bpp, opaque):
    out = b""
    for row in reversed(rows):
        indices = [nearest(palette, px[:3]) if opaque(px) else 0 for px in row]
        if bpp == 8:
            data = bytes(indices)
        else:  # 4 bits per pixel, high nibble first
            data = bytes((indices[k] << 4) | (indices[k + 1] if k + 1 < len(indices) else 0)
                         for k in range(0, len(indices), 2))
        out += padded(data)
    return out


def icon_image(rows, bpp):
    """One icon directory image: BITMAPINFOHEADER, palette, colour bits, mask."""
    size = len(rows)
    opaque = lambda px: px[3] >= 128
    if bpp == 32:
        palette_bytes = b""
        pixels = b"".join(bytes((px[2], px[1], px[0], px[3])) for row in reversed(rows)
                          for px in row)
        mask = and_mask(rows, lambda px: px[3] > 0)
    else:
        palette = palette256() if bpp == 8 else VGA16
        palette = palette + [(0, 0, 0)] * ((1 << bpp) - len(palette))
        palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        pixels = indexed_pixels(rows, palette, bpp, opaque)
        mask = and_mask(rows, opaque)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + palette_bytes + pixels + mask


def write_ico(path, images):
    """images: list of (rows, bpp)."""
    blobs = [icon_image(rows, bpp) for rows, bpp in images]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for (rows, bpp), blob in zip(images, blobs):
        size = len(rows)
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def draw_envelope(width, height):
    """A white envelope with a dark edge and its flap, filling the whole bitmap."""
    rows = []
    for j in range(height):
        row = []
        for i in range(width):
            edge = i in (0, width - 1) or j in (0, height - 1)
            # The flap: two lines from the top corners to the middle.
            mid = (width - 1) / 2
            flap_y = (mid - abs(i - mid)) * (height * 0.55) / mid
            flap = abs(j - flap_y) < 0.6 and j < height - 1
            if edge or flap:
                row.append((0, 0, 128, 255))
            else:
                row.append((255, 255, 255, 255))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    """A 4-bit (16-colour) bottom-up BMP file."""
    width, height = len(rows[0]), len(rows)
    pixels = indexed_pixels(rows, VGA16, 4, lambda px: True)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835,
                       16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    links = [LINK_A, LINK_B]
    write_ico(os.path.join(out, "velmora.ico"), [
        (draw_icon(32, links), 8), (draw_icon(16, links), 8),
        (draw_icon(48, links), 32), (draw_icon(32, links), 32), (draw_icon(16, links), 32),
    ])
    single = [((0.30, 0.70), (0.70, 0.30), (0.0, 0.0, 0.9))]
    write_ico(os.path.join(out, "link.ico"), [(draw_icon(32, single), 4)])
    write_bmp(os.path.join(out, "mail.bmp"), draw_envelope(16, 10))


if __name__ == "__main__":
    main()
