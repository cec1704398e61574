#!/usr/bin/env python3
"""Draws the program's icon (a drawing sheet with an image frame circled in red) and writes
it as a Windows .ico with 16, 32 and 48 pixel images: tools/make-icon.py OUT.ico"""
import math
import struct
import sys


def pixel(x, y, n):
    """RGBA of pixel (x, y) of an n x n icon, y downwards."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    border = 1.5 / n
    inside = 0.1 < u < 0.82 and 0.06 < v < 0.94
    if not inside:
        return (0, 0, 0, 0)
    color = (255, 255, 255)
    if u < 0.1 + border or u > 0.82 - border or v < 0.06 + border or v > 0.94 - border:
        color = (40, 60, 140)  # the sheet's edge
    if 0.22 < u < 0.6 and 0.2 < v < 0.5 and (u - v) % 0.12 < 0.045:
        color = (0, 150, 160)  # a hatched image frame
    if abs(v - 0.72) < 1.2 / n and 0.2 < u < 0.7:
        color = (0, 0, 0)  # a line of the drawing
    r = math.hypot(u - 0.62, v - 0.42)
    if abs(r - 0.24) < max(0.9, n / 28) / n:
        color = (230, 0, 0)  # the search's red circle
    return color + (255,)


def image(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up rows
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for r, g, b, a in (pixel(x, y, n) for x in range(n))))
    mask_row = ((n + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + b"\0" * (mask_row * n)


def main():
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


main()
