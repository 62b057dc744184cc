#!/usr/bin/env python3
"""Draws Kestrelpad's tool bar pictures and writes them as one Windows bitmap.

Fourteen 16 x 16 cells side by side, 32-bit with straight alpha, bottom-up
(what LoadImage with LR_CREATEDIBSECTION and a 32-bit image list take):

   0 new        1 open       2 (empty)    3 save       4 save, greyed
   5 save as    6 (empty)    7 undo       8 copy       9 paste
  10 (empty)   11 cut       12 (empty)   13 print

Shapes are given in pixel units of a cell and drawn with 4 x 4 supersampling,
so edges on whole pixels stay sharp and slanted ones are smoothed. The output
is byte-for-byte reproducible.

Usage: tools/make_toolbar_bitmap.py [OUTPUT]   (default: res/toolbar.bmp)
"""

import math
import os
import struct
import sys

CELL = 16
CELLS = 14
SS = 4  # subsamples per pixel along each axis

INK = (52, 52, 58)
PAPER = (255, 255, 255)
RULE = (150, 160, 176)
FOLDER_BACK = (214, 160, 40)
FOLDER_FRONT = (250, 206, 84)
FOLDER_INK = (128, 86, 10)
DISK = (52, 98, 176)
DISK_INK = (24, 44, 92)
SHUTTER = (196, 202, 212)
PENCIL = (244, 184, 48)
ARROW = (34, 110, 196)
ARROW_INK = (18, 56, 110)
BOARD = (170, 110, 56)
BOARD_INK = (96, 58, 24)
CLIP = (170, 176, 186)
BLADE = (150, 156, 168)
HANDLE = (196, 40, 40)
HANDLE_INK = (110, 20, 20)
PRINTER = (186, 190, 198)
LAMP = (40, 190, 70)


class Cell:
    """One picture: premultiplied RGBA subsamples, composited 'over'."""

    def __init__(self):
        n = CELL * SS
        self.size = n
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * n for _ in range(n)]

    def _paint(self, inside, color, alpha=1.0, box=(0, 0, CELL, CELL)):
        r, g, b = (c / 255.0 for c in color)
        x0 = max(0, int(math.floor(box[0] * SS)))
        y0 = max(0, int(math.floor(box[1] * SS)))
        x1 = min(self.size, int(math.ceil(box[2] * SS)))
        y1 = min(self.size, int(math.ceil(box[3] * SS)))
        for sy in range(y0, y1):
            y = (sy + 0.5) / SS
            row = self.px[sy]
            for sx in range(x0, x1):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    pr, pg, pb, pa = row[sx]
                    k = 1.0 - alpha
                    row[sx] = (r * alpha + pr * k, g * alpha + pg * k, b * alpha + pb * k, alpha + pa * k)

    def rect(self, x0, y0, x1, y1, color):
        self._paint(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, box=(x0, y0, x1, y1))

    def framed(self, x0, y0, x1, y1, ink, fill):
        """A rectangle with a one-pixel outline."""
        self.rect(x0, y0, x1, y1, ink)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    def poly(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self._paint(inside, color, box=(min(xs), min(ys), max(xs), max(ys)))

    def ellipse(self, cx, cy, rx, ry, color):
        self._paint(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color,
                    box=(cx - rx, cy - ry, cx + rx, cy + ry))

    def ring(self, cx, cy, r, width, color):
        inner, outer = r - width / 2, r + width / 2
        self._paint(lambda x, y: inner <= math.hypot(x - cx, y - cy) <= outer, color,
                    box=(cx - outer, cy - outer, cx + outer, cy + outer))

    def line(self, points, width, color):
        """A polyline of the given width with round joins and ends."""
        half = width / 2
        segments = list(zip(points, points[1:])) or [(points[0], points[0])]

        def near(x, y):
            for (ax, ay), (bx, by) in segments:
                dx, dy = bx - ax, by - ay
                length2 = dx * dx + dy * dy
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
                if math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= half:
                    return True
            return False

        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self._paint(near, color, box=(min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))

    def pixels(self):
        """16 x 16 straight-alpha (r, g, b, a) bytes, top row first."""
        out = []
        n = SS * SS
        for y in range(CELL):
            row = []
            for x in range(CELL):
                r = g = b = a = 0.0
                for sy in range(y * SS, (y + 1) * SS):
                    for sx in range(x * SS, (x + 1) * SS):
                        pr, pg, pb, pa = self.px[sy][sx]
                        r, g, b, a = r + pr, g + pg, b + pb, a + pa
                r, g, b, a = r / n, g / n, b / n, a / n
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append(tuple(min(255, int(round(c / a * 255))) for c in (r, g, b)) +
                               (int(round(a * 255)),))
            out.append(row)
        return out


def arc(cx, cy, r, start, end, steps=24):
    """Points on a circle from angle start to end (degrees, y pointing down)."""
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


def text_lines(c, x0, x1, ys):
    for y in ys:
        c.rect(x0, y, x1, y + 1, RULE)


def draw_new(c):
    page = [(3, 1), (10, 1), (14, 5), (14, 15), (3, 15)]
    inner = [(4, 2), (9.6, 2), (13, 5.4), (13, 14), (4, 14)]
    c.poly(page, INK)
    c.poly(inner, PAPER)
    c.poly([(9, 1), (9, 6), (14, 6), (14, 5), (10, 1)], INK)  # the folded corner
    c.poly([(10, 2.4), (10, 5), (12.6, 5)], (222, 226, 234))


def draw_open(c):
    c.poly([(1, 3), (6, 3), (7, 4.5), (13, 4.5), (13, 14), (1, 14)], FOLDER_INK)
    c.poly([(2, 4), (5.6, 4), (6.6, 5.5), (12, 5.5), (12, 13), (2, 13)], FOLDER_BACK)
    c.poly([(3.5, 7), (16, 7), (13, 14), (1, 14)], FOLDER_INK)
    c.poly([(4.2, 8), (14.5, 8), (12.3, 13), (2.4, 13)], FOLDER_FRONT)


def draw_disk(c, body, ink, label, shutter, slot):
    c.poly([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)], ink)
    c.poly([(2, 2), (12.6, 2), (14, 3.4), (14, 14), (2, 14)], body)
    c.rect(4, 2, 12, 8, label)
    text_lines(c, 5, 11, (4, 6))
    c.rect(4, 10, 12, 15, ink)
    c.rect(5, 11, 11, 14, shutter)
    c.rect(8, 11, 10, 14, slot)


def draw_save(c):
    draw_disk(c, DISK, DISK_INK, PAPER, SHUTTER, DISK_INK)


def draw_save_grey(c):
    draw_disk(c, (170, 170, 170), (120, 120, 120), (236, 236, 236), (210, 210, 210), (120, 120, 120))


def draw_save_as(c):
    draw_save(c)
    # A pencil writing towards the lower left.
    c.line([(15.2, 6.2), (9.2, 12.2)], 4.2, INK)
    c.line([(15.2, 6.2), (9.6, 11.8)], 2.2, PENCIL)
    c.poly([(7, 14.5), (8.2, 10.8), (10.8, 13.3)], INK)
    c.poly([(7.6, 13.9), (8.5, 11.6), (10.1, 13.0)], (236, 208, 160))
    c.poly([(7, 14.5), (7.5, 13.1), (8.4, 14.0)], INK)


def draw_undo(c):
    # An arrow that leaves to the right, turns down and comes back, its head
    # pointing left at the top.
    path = [(6, 5)] + arc(9.5, 9, 4, -90, 90) + [(5, 13)]
    c.line(path, 3.6, ARROW_INK)
    c.poly([(0.6, 5), (6.8, -0.2), (6.8, 10.2)], ARROW_INK)
    c.line(path, 1.8, ARROW)
    c.poly([(2.2, 5), (5.9, 1.9), (5.9, 8.1)], ARROW)


def draw_page(c, x0, y0, x1, y1, lines=True):
    c.framed(x0, y0, x1, y1, INK, PAPER)
    if lines:
        text_lines(c, x0 + 2, x1 - 2, range(y0 + 3, y1 - 2, 2))


def draw_copy(c):
    draw_page(c, 1, 1, 10, 11)
    draw_page(c, 6, 5, 15, 15)


def draw_paste(c):
    c.framed(1, 2, 13, 15, BOARD_INK, BOARD)
    c.framed(4, 1, 10, 4, INK, CLIP)
    draw_page(c, 6, 6, 15, 15)


def draw_cut(c):
    # Open blades meeting at the pivot; each runs on to the handle on the
    # other side.
    for top, handle in (((3.2, 0.8), (9.9, 10.9)), ((12.8, 0.8), (6.1, 10.9))):
        c.line([top, (8, 8.6), handle], 2.4, INK)
    for top in ((3.2, 0.8), (12.8, 0.8)):
        c.line([top, (8, 8.6)], 1.0, BLADE)
    for cx in (4.6, 11.4):
        c.ring(cx, 12.8, 1.9, 1.9, HANDLE_INK)
        c.ring(cx, 12.8, 1.9, 0.9, HANDLE)
    c.ellipse(8, 8.6, 0.9, 0.9, SHUTTER)


def draw_print(c):
    draw_page(c, 4, 1, 12, 7, lines=False)
    c.framed(1, 6, 15, 12, INK, PRINTER)
    c.rect(2, 7, 14, 8, (222, 224, 230))
    c.rect(12, 9, 14, 10, LAMP)
    draw_page(c, 4, 10, 12, 15, lines=False)
    text_lines(c, 5, 11, (12,))


DRAWINGS = {
    0: draw_new,
    1: draw_open,
    3: draw_save,
    4: draw_save_grey,
    5: draw_save_as,
    7: draw_undo,
    8: draw_copy,
    9: draw_paste,
    11: draw_cut,
    13: draw_print,
}


def render():
    """All cells as rows of (r, g, b, a), top row first."""
    rows = [[] for _ in range(CELL)]
    for index in range(CELLS):
        cell = Cell()
        if index in DRAWINGS:
            DRAWINGS[index](cell)
        for y, row in enumerate(cell.pixels()):
            rows[y].extend(row)
    return rows


def bitmap(rows):
    width, height = len(rows[0]), len(rows)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 3780, 3780, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "toolbar.bmp")
    with open(output, "wb") as f:
        f.write(bitmap(render()))


if __name__ == "__main__":
    main()
