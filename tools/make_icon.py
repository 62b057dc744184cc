#!/usr/bin/env python3
"""Draws Kestrelpad's application icon and writes it as a Windows .ico file.

The design is a writing pad with a rust-coloured binding and ruled lines, and a
slate-blue kestrel in flight over its lower right corner. Every size is drawn
from the same shapes (in a unit square) with 4x4 supersampling, and stored as
a 32-bit BMP image with straight alpha plus the 1-bit mask older renderers
use. The output is byte-for-byte reproducible.

Usage: tools/make_icon.py [OUTPUT]   (default: res/kestrelpad.ico)
"""

import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 4

PAPER = (251, 247, 236)
OUTLINE = (74, 60, 48)
BINDING = (196, 98, 45)
RULE = (150, 172, 196)
BIRD = (47, 74, 107)

PAD = (0.06, 0.06, 0.74, 0.94)  # left, top, right, bottom
PAD_RADIUS = 0.09
BINDING_BOTTOM = 0.26
RULES_Y = (0.42, 0.56, 0.70, 0.84)
RULES_X = (0.17, 0.63)


def _kestrel(cx):
    """A kestrel seen from below: swept, pointed wings and a long tail;
    symmetric about x = cx."""
    right = ((0.00, 0.40), (0.04, 0.43), (0.06, 0.50), (0.17, 0.54), (0.30, 0.68),
             (0.16, 0.64), (0.06, 0.67), (0.05, 0.72), (0.08, 0.95), (0.00, 0.93))
    half = [(cx + dx, y) for dx, y in right]
    mirrored = [(cx - dx, y) for dx, y in reversed(right) if dx != 0]
    return tuple(half + mirrored)


BIRD_SHAPE = _kestrel(0.69)


def rounded_rect_distance(x, y, box, radius):
    """Signed distance from (x, y) to a rounded rectangle (negative inside)."""
    left, top, right, bottom = box
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def sample(x, y, pixel):
    """The colour (r, g, b, a) of the design at one point; pixel = 1/size."""
    if inside_polygon(x, y, BIRD_SHAPE):
        return BIRD + (255,)
    distance = rounded_rect_distance(x, y, PAD, PAD_RADIUS)
    if distance > 0:
        return (0, 0, 0, 0)
    # The outline stays at least one pixel wide at every size.
    if distance > -max(pixel, 0.035):
        return OUTLINE + (255,)
    if y < BINDING_BOTTOM:
        return BINDING + (255,)
    rule_half = max(pixel, 0.04) / 2
    if RULES_X[0] <= x <= RULES_X[1] and any(abs(y - r) < rule_half for r in RULES_Y):
        return RULE + (255,)
    return PAPER + (255,)


def render(size):
    """Rows of (r, g, b, a) pixels, top row first, straight alpha."""
    rows = []
    step = 1.0 / (size * SUPERSAMPLE)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px * SUPERSAMPLE + sx + 0.5) * step
                    y = (py * SUPERSAMPLE + sy + 0.5) * step
                    r, g, b, a = sample(x, y, 1.0 / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3]
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / alpha), round(acc[1] / alpha), round(acc[2] / alpha),
                            round(alpha / SUPERSAMPLE ** 2)))
        rows.append(row)
    return rows


def bmp_image(rows):
    """An icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, then the AND mask."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        mask_row = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def ico_file(images):
    """ICONDIR, one ICONDIRENTRY per image, then the images in order."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res', 'kestrelpad.ico')
    images = [(size, bmp_image(render(size))) for size in SIZES]
    with open(output, 'wb') as f:
        f.write(ico_file(images))
    print(f'{output}: {", ".join(str(s) for s in SIZES)} px')


if __name__ == '__main__':
    main()
