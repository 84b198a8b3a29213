#!/usr/bin/env python3
"""Draws Pinwhirl's 64x64 icon, a pin leaning on a ball, and writes it as a
PNG (standard library only).

    python3 tools/genicon.py [data/pinwhirl.png]
"""

import os
import struct
import sys
import zlib

SIZE = 64
SAMPLES = 4  # per side, for smooth edges

# The pin's outline, (half width, height) from its base up, in icon pixels.
PIN = [(0.0, 0.0), (6.0, 0.0), (9.0, 5.0), (10.5, 12.0), (10.0, 19.0), (7.5, 26.0), (4.5, 32.0),
       (3.8, 36.0), (4.3, 40.0), (4.8, 44.0), (4.0, 49.0), (2.0, 52.0), (0.0, 53.0)]
PIN_X, PIN_BASE = 40.0, 58.0
BALL = (22.0, 44.0, 15.0)  # centre x, centre y, radius


def pinHalfWidth(h):
    for (w0, h0), (w1, h1) in zip(PIN, PIN[1:]):
        if h0 <= h <= h1 and h1 > h0:
            return w0 + (w1 - w0) * (h - h0) / (h1 - h0)
    return -1.0


def colourAt(x, y):
    """RGBA of one sample point; y grows downward."""
    bx, by, br = BALL
    d2 = (x - bx) ** 2 + (y - by) ** 2
    if d2 <= br * br:
        # lit from the upper left
        light = max(0.0, 1.0 - ((x - bx + 5) ** 2 + (y - by + 5) ** 2) / (2.2 * br * br))
        return (int(40 + 80 * light), int(70 + 90 * light), int(170 + 70 * light), 255)
    h = PIN_BASE - y
    w = pinHalfWidth(h)
    if w >= 0 and abs(x - PIN_X) <= w:
        if 30.0 <= h <= 35.0:
            return (205, 30, 30, 255)
        shade = 1.0 - 0.25 * (x - PIN_X + w) / (2 * w + 1e-9)
        return (int(250 * shade), int(250 * shade), int(244 * shade), 255)
    return (0, 0, 0, 0)


def render():
    rows = []
    for py in range(SIZE):
        row = bytearray([0])  # filter: none
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colourAt(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    for k in range(3):
                        acc[k] += c[k] * c[3]
                    acc[3] += c[3]
            n = SAMPLES * SAMPLES
            if acc[3]:
                row += bytes([acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], acc[3] // n])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(raw):
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "pinwhirl.png")
    with open(out, "wb") as f:
        f.write(png(render()))
    print(out)
