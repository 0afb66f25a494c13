#!/usr/bin/env python3
"""Writes keytest.bmp, the keyed-blit tests' bitmap: 13 x 11 pixels at 24 bits, so
neither side is a multiple of 8. Its colours follow KeyTestColour in gfx_util.h."""
import os
import struct

W, H = 13, 11


def colour(x, y):
    if (x + y) % 5 == 0:
        return (255, 0, 255)  # the key colour: left out
    if (x + 2 * y) % 7 == 3:
        return (254, 0, 255)  # one step off the key: drawn
    return (x * 19, y * 23, (x * y * 7 + 11) % 256)


stride = (W * 3 + 3) // 4 * 4
rows = bytearray()
for y in range(H - 1, -1, -1):
    row = bytearray(stride)
    for x in range(W):
        r, g, b = colour(x, y)
        row[3 * x:3 * x + 3] = bytes((b, g, r))
    rows += row
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(rows), 0, 0, 0, 0)
head = struct.pack('<2sIHHI', b'BM', 54 + len(rows), 0, 0, 54)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'keytest.bmp'), 'wb') as f:
    f.write(head + info + rows)
