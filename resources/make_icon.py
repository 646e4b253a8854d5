#!/usr/bin/env python3
"""Draws the program icon (a blue disc with a white eighth note) and writes
zul.ico with 32x32 and 16x16 images. Run it to regenerate the committed icon."""
import math, struct, sys

def render(size):
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            s = 32.0 / size
            fx, fy = (x + 0.5) * s, (y + 0.5) * s
            d = math.hypot(fx - 16, fy - 16)
            if d > 15.5:
                row.append((0, 0, 0, 0)); continue
            r, g, b = 30, 90 + int(60 * (1 - fy / 32)), 200
            note = (math.hypot((fx - 12) / 4.2, (fy - 22) / 3.2) <= 1.0 or
                    (15 <= fx <= 17 and 7 <= fy <= 22) or
                    (16 <= fx <= 23 and 7 <= fy <= 10 and fy <= 7 + (fx - 16) * 0.6 + 3))
            if note:
                r, g, b = 255, 255, 255
            row.append((b, g, r, 255))
        px.append(row)
    return px

def bmp_image(size):
    px = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = b''.join(bytes(p) for row in reversed(px) for p in row)
    mask_row = (size + 31) // 32 * 4
    mask = b''
    for row in reversed(px):
        bits = 0; out = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0: out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    return header + data + mask

images = [bmp_image(32), bmp_image(16)]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, img in zip((32, 16), images):
    out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(img), offset)
    offset += len(img)
out += b''.join(images)
open(sys.argv[1] if len(sys.argv) > 1 else 'zul.ico', 'wb').write(out)
