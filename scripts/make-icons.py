#!/usr/bin/env python3
"""Draws Veskaro's own icons as PNG files: 16 x 16 pixels and twice that for double-density screens.

The icons are shapes on a 16-unit grid, rendered with 8 x 8 samples per pixel. Run it again after changing
a drawing; the pictures it writes go into src/ui/icons/. Standard library only.
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 8


def hex_colour(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


# Shapes: functions of a point (x, y) on the 16-unit grid that tell whether it is inside.
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def polygon(*points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def line(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon((x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny))


def ring(cx, cy, inner, outer, keep=lambda x, y: True):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer and keep(x, y)


def render(shapes, size):
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    scale = 16.0 / size
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    for inside, (r, g, b, a) in shapes:
        for py in range(size):
            for px in range(size):
                hits = sum(1 for oy in offsets for ox in offsets if inside((px + ox) * scale, (py + oy) * scale))
                if not hits:
                    continue
                alpha = a / 255.0 * hits / (SAMPLES * SAMPLES)
                dr, dg, db, da = pixels[py][px]
                out = alpha + da * (1 - alpha)
                mix = lambda src, dst: (src * alpha + dst * da * (1 - alpha)) / out
                pixels[py][px] = (mix(r, dr), mix(g, dg), mix(b, db), out)
    return pixels


def write_png(path, pixels):
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((round(r), round(g), round(b), round(a * 255)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                   + chunk(b"IEND", b""))


DARK = hex_colour("2e3436")
WHITE = hex_colour("ffffff")


def picture(x0, y0, x1, y1):
    """A framed landscape: sky, hills and a sun."""
    w, h = x1 - x0, y1 - y0
    return [
        (rounded(x0, y0, x1, y1, 0.8), hex_colour("555753")),
        (rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), hex_colour("9fc7f0")),
        (circle(x0 + w * 0.72, y0 + h * 0.32, min(w, h) * 0.13), hex_colour("fce94f")),
        (polygon((x0 + 1, y1 - 1), (x0 + w * 0.35, y0 + h * 0.42), (x0 + w * 0.6, y0 + h * 0.72),
                 (x0 + w * 0.75, y0 + h * 0.58), (x1 - 1, y1 - 1)), hex_colour("4e9a06")),
    ]


def arrow(up):
    points = [(8, 1.5), (14.5, 8.5), (10.5, 8.5), (10.5, 14.5), (5.5, 14.5), (5.5, 8.5), (1.5, 8.5)]
    inner = [(8, 3.2), (12.3, 7.6), (9.6, 7.6), (9.6, 13.6), (6.4, 13.6), (6.4, 7.6), (3.7, 7.6)]
    if not up:
        points = [(x, 16 - y) for x, y in points]
        inner = [(x, 16 - y) for x, y in inner]
    return [(polygon(*points), hex_colour("204a87")), (polygon(*inner), hex_colour("5b8fd0"))]


def question_mark():
    return [
        (circle(8, 8, 7.5), hex_colour("204a87")),
        (circle(8, 8, 6.6), hex_colour("3f74bd")),
        (ring(8, 6.2, 1.5, 3.2, lambda x, y: y < 6.2 or x > 8), WHITE),
        (polygon((9.6, 7.2), (11.1, 7.9), (9.2, 10.0), (7.2, 10.0), (7.2, 9.6)), WHITE),
        (rect(7.2, 9.2, 9.0, 10.4), WHITE),
        (circle(8.1, 12.4, 1.15), WHITE),
    ]


def turn_arrow(back):
    """A curved arrow over the top, its head down on the left for undo, on the right for redo."""
    flip = (lambda x: x) if back else (lambda x: 16 - x)
    keep = (lambda x, y: y <= 9.5 or x >= 9) if back else (lambda x, y: y <= 9.5 or x <= 7)
    cx = flip(9)
    return [
        (ring(cx, 9.5, 2.6, 5.4, keep), hex_colour("204a87")),
        (ring(cx, 9.5, 3.4, 4.6, keep), hex_colour("5b8fd0")),
        (polygon((flip(0.8), 8.6), (flip(8.2), 8.6), (flip(4.5), 13.6)), hex_colour("204a87")),
        (polygon((flip(2.6), 9.5), (flip(6.4), 9.5), (flip(4.5), 12.0)), hex_colour("5b8fd0")),
    ]


def page(x0, y0, x1, y1):
    return [(rect(x0, y0, x1, y1), hex_colour("555753")), (rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), WHITE),
            (rect(x0 + 2.2, y0 + 3, x1 - 2.2, y0 + 3.8), hex_colour("babdb6")),
            (rect(x0 + 2.2, y0 + 5.3, x1 - 2.2, y0 + 6.1), hex_colour("babdb6"))]


def upload():
    """An arrow rising out of a tray: files going up to the server."""
    return [
        (rect(1.5, 10.5, 14.5, 14.5), hex_colour("555753")),
        (rect(2.5, 11.5, 13.5, 13.5), hex_colour("babdb6")),
        (polygon((8, 0.8), (13, 6.2), (10, 6.2), (10, 11.5), (6, 11.5), (6, 6.2), (3, 6.2)), hex_colour("204a87")),
        (polygon((8, 2.5), (11, 5.4), (9.2, 5.4), (9.2, 10.7), (6.8, 10.7), (6.8, 5.4), (5, 5.4)), hex_colour("5b8fd0")),
    ]


ICONS = {
    "new": [
        (polygon((3, 1), (10, 1), (13.5, 4.5), (13.5, 15), (3, 15)), hex_colour("555753")),
        (polygon((4, 2), (9.6, 2), (12.5, 4.9), (12.5, 14), (4, 14)), WHITE),
        (polygon((9.5, 1.5), (9.5, 5), (13, 5)), hex_colour("babdb6")),
        (rect(5.5, 7, 11, 7.8), hex_colour("babdb6")),
        (rect(5.5, 9.3, 11, 10.1), hex_colour("babdb6")),
        (rect(5.5, 11.6, 9, 12.4), hex_colour("babdb6")),
    ],
    "open": [
        (polygon((1, 2.5), (6, 2.5), (7.5, 4), (14.5, 4), (14.5, 13.5), (1, 13.5)), hex_colour("8f5902")),
        (polygon((2, 3.5), (5.6, 3.5), (7.1, 5), (13.5, 5), (13.5, 12.5), (2, 12.5)), hex_colour("e9b96e")),
        (polygon((3, 6.5), (15.8, 6.5), (13.5, 13.5), (1, 13.5)), hex_colour("8f5902")),
        (polygon((3.7, 7.5), (14.4, 7.5), (12.8, 12.6), (2.3, 12.6)), hex_colour("fcd883")),
    ],
    "save": [
        (rounded(1.5, 1.5, 14.5, 14.5, 1.5), hex_colour("204a87")),
        (rounded(2.4, 2.4, 13.6, 13.6, 0.8), hex_colour("3f74bd")),
        (rect(4, 2.4, 12, 7.2), hex_colour("eeeeec")),
        (rect(5, 4, 11, 4.7), hex_colour("babdb6")),
        (rect(4.5, 9.5, 11.5, 14.5), hex_colour("d3d7cf")),
        (rect(8.8, 10.5, 10.3, 13.5), hex_colour("555753")),
    ],
    "insert": [
        (polygon((6, 1.5), (10, 1.5), (10, 6), (14.5, 6), (14.5, 10), (10, 10), (10, 14.5), (6, 14.5), (6, 10),
                 (1.5, 10), (1.5, 6), (6, 6)), hex_colour("346604")),
        (polygon((7, 2.5), (9, 2.5), (9, 7), (13.5, 7), (13.5, 9), (9, 9), (9, 13.5), (7, 13.5), (7, 9),
                 (2.5, 9), (2.5, 7), (7, 7)), hex_colour("73d216")),
    ],
    "delete": [
        (rounded(1.5, 6, 14.5, 10, 0.6), hex_colour("a40000")),
        (rect(2.5, 7, 13.5, 9), hex_colour("ef2929")),
    ],
    "moveup": arrow(True),
    "movedown": arrow(False),
    "preview": [
        (circle(8, 8, 7.3), hex_colour("204a87")),
        (circle(8, 8, 6.4), hex_colour("729fcf")),
        (ring(8, 8, 2.3, 3.1, lambda x, y: True), hex_colour("204a87", 200)),
        (rect(1.5, 7.55, 14.5, 8.45), hex_colour("204a87", 200)),
        (rect(7.55, 1.5, 8.45, 14.5), hex_colour("204a87", 200)),
        (circle(5.6, 5.2, 1.6), hex_colour("ffffff", 110)),
    ],
    "help": question_mark(),
    "undo": turn_arrow(True),
    "redo": turn_arrow(False),
    "upload": upload(),
    "duplicate": page(1.5, 1.5, 10.5, 11.5) + page(5.5, 4.5, 14.5, 14.5),
    "tree-item": picture(1, 2.5, 15, 13.5),
    "tree-root": [
        (rounded(5, 1, 15.5, 9.5, 0.8), hex_colour("555753")),
        (rect(6, 2, 14.5, 8.5), hex_colour("d3d7cf")),
    ] + picture(0.5, 5, 11.5, 13.5) + [
        (circle(4, 15, 0.9), hex_colour("555753")),
        (circle(6.5, 15, 0.9), hex_colour("3f74bd")),
        (circle(9, 15, 0.9), hex_colour("555753")),
    ],
    "veskaro": [
        (rounded(0.5, 0.5, 15.5, 15.5, 3), hex_colour("204a87")),
        (rounded(1.3, 1.3, 14.7, 14.7, 2.4), hex_colour("3f74bd")),
    ] + picture(2.5, 3, 13.5, 11) + [
        (circle(5.5, 13.2, 0.9), WHITE),
        (circle(8, 13.2, 0.9), hex_colour("fce94f")),
        (circle(10.5, 13.2, 0.9), WHITE),
    ],
}

SIZES = {"": 16, "@2x": 32}
EXTRA = {"veskaro": {"-64": 64, "-128": 128, "-256": 256}}


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "ui", "icons")
    names = sys.argv[1:] or sorted(ICONS)
    for name in names:
        for suffix, size in {**SIZES, **EXTRA.get(name, {})}.items():
            write_png(os.path.join(folder, name + suffix + ".png"), render(ICONS[name], size))


if __name__ == "__main__":
    main()
