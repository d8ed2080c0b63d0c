#!/usr/bin/env python3
"""Draws the safe-search badges: a 16x16 disc in the verdict colour with a
white mark (tick, tick, exclamation mark, question mark, cross), written as
PNG with the standard library only. Run from this folder to redraw them."""
import struct
import zlib

SIZE = 16
BADGES = {
    "green": ((46, 160, 67), "tick"),
    "yellow": ((230, 170, 0), "bang"),
    "red": ((205, 40, 40), "cross"),
    "grey": ((150, 150, 150), "query"),
    "darkgrey": ((90, 90, 90), "query"),
}

# Marks on a 16x16 grid: the pixels set, drawn as thick strokes.
def mark_pixels(kind):
    points = set()
    def stroke(x0, y0, x1, y1):
        steps = max(abs(x1 - x0), abs(y1 - y0)) * 4 or 1
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for dx in (0, 1):
                for dy in (0, 1):
                    points.add((int(round(x)) + dx - 1 + 1, int(round(y)) + dy - 1 + 1))
    if kind == "tick":
        stroke(4, 8, 6, 10)
        stroke(6, 10, 11, 5)
    elif kind == "cross":
        stroke(4, 4, 11, 11)
        stroke(11, 4, 4, 11)
    elif kind == "bang":
        stroke(7, 3, 7, 8)
        stroke(7, 11, 7, 11)
    elif kind == "query":
        stroke(5, 5, 6, 3)
        stroke(6, 3, 9, 3)
        stroke(9, 3, 10, 5)
        stroke(10, 5, 7, 8)
        stroke(7, 8, 7, 9)
        stroke(7, 11, 7, 11)
    return points

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def badge(colour, kind):
    mark = mark_pixels(kind)
    rows = []
    centre = (SIZE - 1) / 2
    for y in range(SIZE):
        row = bytearray([0])
        for x in range(SIZE):
            distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
            alpha = max(0.0, min(1.0, SIZE / 2 - distance))  # soft edge
            pixel = (255, 255, 255) if (x, y) in mark and distance < 7 else colour
            row += bytes(pixel) + bytes([int(alpha * 255)])
        rows.append(bytes(row))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))

for name, (colour, kind) in BADGES.items():
    with open("badge_%s.png" % name, "wb") as out:
        out.write(badge(colour, kind))
