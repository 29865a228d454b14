#!/usr/bin/env python3
"""Draws the ten signal pictures of the PELIX-A display (data/BITMAP/lcd).

lcd-sign<n>.bmp shows n of ten bars filled, in the display's own colours;
none.bmp shows every bar empty (a level the module cannot measure) and
nosign.bmp empty bars struck through (no network at all).
Run it again after changing the look; the pictures are committed.
"""
import os
import struct

W, H = 32, 16
BACK = (150, 180, 110)   # display background (stored as B, G, R below)
ON = (20, 45, 30)
OFF = (125, 150, 95)


def picture(level, struck=False):
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            colour = BACK
            bar = (x - 1) // 3
            if 0 <= bar < 10 and (x - 1) % 3 != 2:
                height = 3 + bar          # bars grow to the right
                if H - 1 - y < height:
                    colour = ON if bar < level else OFF
            # a cross from corner to corner, two pixels wide
            if struck and (abs(x * (H - 1) - y * (W - 1)) < W or abs(x * (H - 1) - (H - 1 - y) * (W - 1)) < W):
                colour = ON
            row.append(colour)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    stride = (W * 3 + 3) & ~3
    size = 54 + stride * H
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, stride * H, 2835, 2835, 0, 0))
        for row in reversed(rows):        # bottom row first
            line = b"".join(bytes((c[2], c[1], c[0])) for c in row)
            f.write(line + b"\0" * (stride - W * 3))


here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "BITMAP", "lcd")
os.makedirs(here, exist_ok=True)
for n in range(1, 11):
    write_bmp(os.path.join(here, "lcd-sign%d.bmp" % n), picture(n))
write_bmp(os.path.join(here, "none.bmp"), picture(0))
write_bmp(os.path.join(here, "nosign.bmp"), picture(0, struck=True))
