#!/usr/bin/env python3
"""Draws the generic-window skin picture (130 x 75, 24-bit BMP) that plug-ins
with host-framed windows get: grey frame pieces with a darker title strip.
Writes gen.bmp; run it to regenerate the committed picture."""
import struct, sys

W, H = 130, 75

def colour(x, y):
    if y < 22:                      # title bar pieces, active above inactive
        base = 70 if y < 11 else 110
        return (base + 40, base + 20, base)
    if x < 8 or x >= W - 8 or y >= H - 8:
        return (96, 96, 104)        # borders
    return (150, 150, 158)          # body

def write(path):
    row_bytes = (W * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(W):
            r, g, b = colour(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)

if __name__ == "__main__":
    write(sys.argv[1] if len(sys.argv) > 1 else "gen.bmp")
