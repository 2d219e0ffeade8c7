#!/usr/bin/env python3
"""Draws the engine's program icon (resource 99) and writes halvik.ico.

A small house on a blue rounded square with a signal arc over its roof: the
engine that watches the home. 16x16, 32x32 and 48x48, 32-bit BGRA with alpha.
Run it again after changing the drawing; the .ico beside it is committed.
"""
import math
import struct
import sys
from pathlib import Path


def pixel(size, x, y):
    """RGBA of pixel (x, y) in a size x size icon, drawn at unit scale."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    # Rounded square background.
    r = 0.18
    dx = max(abs(u - 0.5) - (0.5 - r), 0.0)
    dy = max(abs(v - 0.5) - (0.5 - r), 0.0)
    if math.hypot(dx, dy) > r:
        return (0, 0, 0, 0)
    color = (30 + int(60 * v), 90 + int(40 * v), 200, 255)
    # House body.
    if 0.30 <= u <= 0.70 and 0.55 <= v <= 0.84:
        color = (250, 250, 245, 255)
        if 0.45 <= u <= 0.55 and 0.68 <= v <= 0.84:  # door
            color = (230, 140, 40, 255)
    # Roof: a triangle from (0.22, 0.58) to (0.78, 0.58) with apex (0.5, 0.34).
    if 0.34 <= v <= 0.58:
        half = (v - 0.34) / 0.24 * 0.28
        if abs(u - 0.5) <= half:
            color = (220, 60, 50, 255)
    # Signal arcs above the roof.
    d = math.hypot(u - 0.5, v - 0.36)
    if v < 0.30 and (0.10 <= d <= 0.14 or 0.20 <= d <= 0.24) and abs(u - 0.5) < 0.22:
        color = (255, 220, 60, 255)
    return color


def image(size):
    """One ICO image: BITMAPINFOHEADER, bottom-up BGRA rows, AND mask."""
    rows = []
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + bytes(mask_row * size)


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("halvik.ico")
    target.write_bytes(out)


if __name__ == "__main__":
    main()
