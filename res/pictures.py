#!/usr/bin/env python3
"""Draws the program's pictures: the bitmaps and icons of the resource script and the
demo medium's LOGO.BMP. Deterministic: running it again rewrites the same bytes.

    python3 res/pictures.py            writes them
    python3 res/pictures.py --check    writes nothing; exit 1 when a committed picture
                                       differs from what this draws

Everything is drawn in the standard 16-colour VGA palette (the logo uses 256 colours)
with ordered dithering, bevels and a hand-made 5x7 bitmap font."""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour VGA palette, in the order Windows uses.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, AQUA, WHITE = range(8, 16)
KEY = MAGENTA  # RGB(255, 0, 255): transparent in keyed bitmaps

# 4x4 ordered-dither thresholds.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def mix(a, b, level, x, y):
    """Colour a or b at (x, y) so that level/16 of the area shows b."""
    return b if BAYER[y & 3][x & 3] < level else a


class Canvas:
    def __init__(self, w, h, colour=0):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h and c is not None:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def fill(self, x0, y0, x1, y1, c):
        """Fills columns x0..x1-1 and rows y0..y1-1; c may be a function of (x, y)."""
        for y in range(max(y0, 0), min(y1, self.h)):
            for x in range(max(x0, 0), min(x1, self.w)):
                self.px[y][x] = c(x, y) if callable(c) else c

    def hline(self, x0, x1, y, c):
        self.fill(x0, y, x1 + 1, y + 1, c)

    def vline(self, x, y0, y1, c):
        self.fill(x, y0, x + 1, y1 + 1, c)

    def frame(self, x0, y0, x1, y1, c):
        """Outline of columns x0..x1-1, rows y0..y1-1."""
        self.hline(x0, x1 - 1, y0, c)
        self.hline(x0, x1 - 1, y1 - 1, c)
        self.vline(x0, y0, y1 - 1, c)
        self.vline(x1 - 1, y0, y1 - 1, c)

    def bevel(self, x0, y0, x1, y1, light, dark, depth=1):
        """Raised edge: light along top and left, dark along bottom and right."""
        for d in range(depth):
            self.hline(x0 + d, x1 - 1 - d, y0 + d, light)
            self.vline(x0 + d, y0 + d, y1 - 1 - d, light)
            self.hline(x0 + d, x1 - 1 - d, y1 - 1 - d, dark)
            self.vline(x1 - 1 - d, y0 + d, y1 - 1 - d, dark)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c(x0, y0) if callable(c) else c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        """Filled circle centred on pixel centre (cx, cy); c may be a function of (x, y)."""
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c(x, y) if callable(c) else c)

    def polygon(self, points, c):
        """Filled polygon, sampled at pixel centres (even-odd rule)."""
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(points)):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % len(points)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.ceil(b - 0.5))):
                    self.set(x, y, c(x, y) if callable(c) else c)

    def blit(self, other, x0, y0, key=None):
        for y in range(other.h):
            for x in range(other.w):
                c = other.px[y][x]
                if c != key:
                    self.set(x0 + x, y0 + y, c)


# ---------------------------------------------------------------------------------------
# The font: 5x7 cells (caps and ascenders on rows 0-6, x-height rows 2-6), descenders on
# rows 7-8; some glyphs are narrower than 5.

FONT_ROWS = """
A .###. #...# #...# ##### #...# #...# #...#
B ####. #...# #...# ####. #...# #...# ####.
C .###. #...# #.... #.... #.... #...# .###.
D ###.. #..#. #...# #...# #...# #..#. ###..
E ##### #.... #.... ####. #.... #.... #####
F ##### #.... #.... ####. #.... #.... #....
G .###. #...# #.... #.### #...# #...# .####
H #...# #...# #...# ##### #...# #...# #...#
I ### .#. .#. .#. .#. .#. ###
J ..### ...#. ...#. ...#. #..#. #..#. .##..
K #...# #..#. #.#.. ##... #.#.. #..#. #...#
L #.... #.... #.... #.... #.... #.... #####
M #...# ##.## #.#.# #.#.# #...# #...# #...#
N #...# #...# ##..# #.#.# #..## #...# #...#
O .###. #...# #...# #...# #...# #...# .###.
P ####. #...# #...# ####. #.... #.... #....
Q .###. #...# #...# #...# #.#.# #..#. .##.#
R ####. #...# #...# ####. #.#.. #..#. #...#
S .#### #.... #.... .###. ....# ....# ####.
T ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
U #...# #...# #...# #...# #...# #...# .###.
V #...# #...# #...# #...# #...# .#.#. ..#..
W #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
X #...# #...# .#.#. ..#.. .#.#. #...# #...#
Y #...# #...# .#.#. ..#.. ..#.. ..#.. ..#..
Z ##### ....# ...#. ..#.. .#... #.... #####
a ..... ..... .###. ....# .#### #...# .####
b #.... #.... #.##. ##..# #...# #...# ####.
c ..... ..... .###. #.... #.... #...# .###.
d ....# ....# .##.# #..## #...# #...# .####
e ..... ..... .###. #...# ##### #.... .###.
f ..## .#.. .#.. ###. .#.. .#.. .#..
g ..... ..... .#### #...# #...# #...# .#### ....# .###.
h #.... #.... #.##. ##..# #...# #...# #...#
i .#. ... ##. .#. .#. .#. ###
j ...# .... ..## ...# ...# ...# ...# #..# .##.
k #... #... #..# #.#. ##.. #.#. #..#
l ##. .#. .#. .#. .#. .#. ###
m ..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#
n ..... ..... #.##. ##..# #...# #...# #...#
o ..... ..... .###. #...# #...# #...# .###.
p ..... ..... ####. #...# #...# #...# ####. #.... #....
q ..... ..... .#### #...# #...# #...# .#### ....# ....#
r ..... ..... #.##. ##..# #.... #.... #....
s ..... ..... .#### #.... .###. ....# ####.
t .#.. .#.. #### .#.. .#.. .#.. ..##
u ..... ..... #...# #...# #...# #..## .##.#
v ..... ..... #...# #...# #...# .#.#. ..#..
w ..... ..... #...# #...# #.#.# #.#.# .#.#.
x ..... ..... #...# .#.#. ..#.. .#.#. #...#
y ..... ..... #...# #...# #...# #...# .#### ....# .###.
z ..... ..... ##### ...#. ..#.. .#... #####
0 .###. #...# #..## #.#.# ##..# #...# .###.
1 .#. ##. .#. .#. .#. .#. ###
2 .###. #...# ....# ...#. ..#.. .#... #####
3 ####. ....# ....# .###. ....# ....# ####.
4 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
5 ##### #.... ####. ....# ....# #...# .###.
6 .###. #.... #.... ####. #...# #...# .###.
7 ##### ....# ...#. ..#.. .#... .#... .#...
8 .###. #...# #...# .###. #...# #...# .###.
9 .###. #...# #...# .#### ....# ....# .###.
. . . . . . . #
, .. .. .. .. .. .# .# #.
- .... .... .... #### .... .... ....
! # # # # # . #
: . . # . . # .
' # # . . . . .
/ ....# ...#. ...#. ..#.. .#... .#... #....
"""

FONT = {}
for line in FONT_ROWS.strip().splitlines():
    ch, *rows = line.split(' ')
    FONT[ch] = [[1 if c == '#' else 0 for c in r] for r in rows]
FONT[' '] = [[0, 0, 0]] * 7
CELL_ROWS = 9


def text_mask(text, gap=1):
    """1-bit rows (CELL_ROWS high) of a line of text at the font's own size."""
    width = sum(len(FONT[ch][0]) for ch in text) + gap * (len(text) - 1)
    mask = [[0] * width for _ in range(CELL_ROWS)]
    x = 0
    for ch in text:
        glyph = FONT[ch]
        for y, row in enumerate(glyph):
            for dx, bit in enumerate(row):
                if bit:
                    mask[y][x + dx] = 1
        x += len(glyph[0]) + gap
    return mask


def scale2x(mask):
    """Doubles a 1-bit picture, rounding diagonal steps instead of leaving stairs."""
    h, w = len(mask), len(mask[0])

    def at(x, y):
        return mask[y][x] if 0 <= x < w and 0 <= y < h else 0

    out = [[0] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            e, b, d, f, hh = at(x, y), at(x, y - 1), at(x - 1, y), at(x + 1, y), at(x, y + 1)
            if b != hh and d != f:
                e0 = d if d == b else e
                e1 = f if b == f else e
                e2 = d if d == hh else e
                e3 = f if hh == f else e
            else:
                e0 = e1 = e2 = e3 = e
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e0, e1
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e2, e3
    return out


def grow(mask, times):
    for _ in range(times):
        mask = scale2x(mask)
    return mask


def slant(mask, per_rows):
    """Leans the picture to the right by one column every per_rows rows (an italic)."""
    h = len(mask)
    lean = (h - 1) // per_rows
    out = [[0] * (len(mask[0]) + lean) for _ in range(h)]
    for y in range(h):
        shift = (h - 1 - y) // per_rows
        for x, bit in enumerate(mask[y]):
            out[y][x + shift] = bit
    return out


def used_rows(mask):
    rows = [y for y, r in enumerate(mask) if any(r)]
    return rows[0], rows[-1] + 1


def draw_mask(canvas, mask, x0, y0, colour):
    for y, row in enumerate(mask):
        for x, bit in enumerate(row):
            if bit:
                canvas.set(x0 + x, y0 + y, colour(x, y) if callable(colour) else colour)


def draw_text(canvas, text, x, y, colour, gap=1):
    draw_mask(canvas, text_mask(text, gap), x, y, colour)


def embolden(mask):
    """Thickens every vertical stroke by one column."""
    return [[bit or (x > 0 and row[x - 1]) for x, bit in enumerate(row + [0])] for row in mask]


def big_mask(text, passes, lean):
    """The font grown by scale2x passes, emboldened and leaned."""
    mask = embolden(grow(text_mask(text), passes))
    return slant(mask, lean) if lean else mask


def lettering(canvas, text, x, y, passes, lean, shadow, face):
    """Large lettering in colour `face` with a black shadow `shadow` pixels down and right."""
    mask = big_mask(text, passes, lean)
    draw_mask(canvas, mask, x + shadow, y + shadow, BLACK)
    draw_mask(canvas, mask, x, y, face)


def lettering_size(text, passes, lean):
    """Width of the lettering, and its first and last-plus-one rows in use."""
    mask = big_mask(text, passes, lean)
    top, bottom = used_rows(mask)
    return len(mask[0]), top, bottom


# ---------------------------------------------------------------------------------------
# File writers.

def bmp_bytes(canvas, bits, palette):
    """An uncompressed bottom-up BMP with a 40-byte header and a full colour table."""
    w, h = canvas.w, canvas.h
    stride = (w * bits + 31) // 32 * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = canvas.px[y][x]
            if bits == 4:
                row[x // 2] |= v << 4 if x % 2 == 0 else v
            elif bits == 8:
                row[x] = v
            else:
                row[x // 8] |= (v & 1) << (7 - x % 8)
        data += row
    table = bytearray()
    for i in range(1 << bits):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data), 0, 0, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return head + info + bytes(table) + bytes(data)


def ico_bytes(canvas, transparent):
    """One 32x32 16-colour image; pixels of colour `transparent` are masked out."""
    assert canvas.w == 32 and canvas.h == 32
    xor, mask = bytearray(), bytearray()
    for y in range(31, -1, -1):
        row, mrow = bytearray(16), bytearray(4)
        for x in range(32):
            v = canvas.px[y][x]
            if v == transparent:
                mrow[x // 8] |= 0x80 >> (x % 8)
                v = 0
            row[x // 2] |= v << 4 if x % 2 == 0 else v
        xor += row
        mask += mrow
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + table + bytes(xor) + bytes(mask)
    head = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return head + entry + image


# With --check, the paths whose file is not what this draws.
CHECK = '--check' in sys.argv[1:]
differ = []


def write(path, data):
    if CHECK:
        try:
            with open(path, 'rb') as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            differ.append(os.path.relpath(path, os.path.join(HERE, '..')))
        return
    with open(path, 'wb') as f:
        f.write(data)
    print('wrote', os.path.relpath(path), len(data), 'bytes')


# ---------------------------------------------------------------------------------------
# Banners: white lettering with a black shadow on the magenta key colour.

def footer_banner():
    c = Canvas(490, 43, KEY)
    text = 'Velan Wheel Mouse'
    w, top, bottom = lettering_size(text, 2, 7)
    lettering(c, text, 4, (43 - (bottom - top) - 3) // 2 - top, 2, 7, 3, WHITE)
    return c


def title_banner():
    c = Canvas(400, 50, KEY)
    text = 'Wheel Mouse Setup'
    w, top, bottom = lettering_size(text, 2, 7)
    assert w + 3 <= 400, w
    lettering(c, text, (400 - w - 3) // 2, (50 - (bottom - top) - 3) // 2 - top, 2, 7, 3, WHITE)
    return c


# ---------------------------------------------------------------------------------------
# The side picture of the wizard pages: a computer, discs and a globe on a teal ground.

WORLD = [  # 10-degree cells, 90N..90S by 180W..180E; '#' is land
    "                                    ",
    "      ####  #####       ##########  ",
    "  ##########  ###    ###############",
    "   #########   #    ################",
    "    ########       ## ##############",
    "     ######       #################",
    "      #####      #####  #######  #  ",
    "       ###       ######  ####  ##   ",
    "         ##      ######   #   ##    ",
    "          ####    #####       ###   ",
    "          #####    ####        #  ##",
    "          ####     ###       #####  ",
    "           ##      ##        ####   ",
    "           ##                   #   ",
    "            #                       ",
    "                                    ",
    "  ##################################",
    "####################################",
]


def land(lon, lat):
    col = int((lon + 180) % 360 // 10)
    row = min(17, max(0, int((90 - lat) // 10)))
    return WORLD[row][col] == '#'


def globe(c, cx, cy, r, centre_lon):
    light = (-0.55, -0.6, 0.58)
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            dx, dy = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            d2 = dx * dx + dy * dy
            if d2 > 1:
                continue
            nz = math.sqrt(1 - d2)
            # Tilt the axis a little toward the viewer so the north shows more.
            tilt = math.radians(20)
            sy, sz = dy * math.cos(tilt) - nz * math.sin(tilt), dy * math.sin(tilt) + nz * math.cos(tilt)
            lat = math.degrees(math.asin(max(-1, min(1, -sy))))
            lon = centre_lon + math.degrees(math.atan2(dx, sz))
            shade = dx * light[0] + dy * light[1] + nz * light[2]
            level = int(max(0, min(1, shade)) * 16)
            grid = (abs((lon + 360) % 30 - 15) > 14.2 or abs((lat + 90) % 30 - 15) > 14.2)
            if land(lon, lat):
                col = mix(GREEN, LIME, level, x, y) if level > 3 else mix(BLACK, GREEN, level * 4, x, y)
            elif grid:
                col = mix(TEAL, AQUA, level, x, y)
            else:
                col = mix(NAVY, BLUE, level, x, y) if level > 2 else mix(BLACK, NAVY, level * 5 + 4, x, y)
            if d2 > 0.93:
                col = BLACK if shade < 0.2 else col
            c.set(x, y, col)
    # Highlight.
    c.disc(cx - r * 0.45, cy - r * 0.45, r * 0.09, lambda x, y: mix(AQUA, WHITE, 8, x, y))


def monitor(c, x0, y0, w, h):
    # Case.
    c.fill(x0, y0, x0 + w, y0 + h, SILVER)
    c.frame(x0 - 1, y0 - 1, x0 + w + 1, y0 + h + 1, BLACK)
    c.bevel(x0, y0, x0 + w, y0 + h, WHITE, GREY, 2)
    # Screen: sunk into the case, a blue desktop with a small window on it.
    sx0, sy0, sx1, sy1 = x0 + 6, y0 + 6, x0 + w - 6, y0 + h - 10
    c.bevel(sx0 - 2, sy0 - 2, sx1 + 2, sy1 + 2, GREY, WHITE)
    c.frame(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, BLACK)
    c.fill(sx0, sy0, sx1, sy1, lambda x, y: mix(BLUE, NAVY, int((y - sy0) / (sy1 - sy0) * 14), x, y))
    wx0, wy0, wx1, wy1 = sx0 + 8, sy0 + 7, sx1 - 10, sy1 - 9
    c.fill(wx0 + 2, wy0 + 2, wx1 + 2, wy1 + 2, BLACK)
    c.fill(wx0, wy0, wx1, wy1, SILVER)
    c.bevel(wx0, wy0, wx1, wy1, WHITE, GREY)
    c.fill(wx0 + 2, wy0 + 2, wx1 - 2, wy0 + 7, NAVY)
    c.fill(wx1 - 7, wy0 + 3, wx1 - 3, wy0 + 6, SILVER)
    c.hline(wx0 + 4, wx1 - 10, wy0 + 4, WHITE)
    # A progress bar in the window.
    bx0, by0, bx1 = wx0 + 4, wy1 - 9, wx1 - 4
    c.bevel(bx0, by0, bx1, by0 + 6, GREY, WHITE)
    c.fill(bx0 + 1, by0 + 1, bx0 + 1 + (bx1 - bx0 - 2) * 2 // 3, by0 + 5, BLUE)
    c.hline(wx0 + 4, wx1 - 8, wy0 + 11, GREY)
    c.hline(wx0 + 4, wx1 - 14, wy0 + 14, GREY)
    # Power light and control buttons along the foot of the case.
    fy = y0 + h - 6
    c.fill(x0 + w - 12, fy, x0 + w - 9, fy + 2, LIME)
    for i in range(3):
        c.fill(x0 + 8 + i * 5, fy, x0 + 11 + i * 5, fy + 2, GREY)
    # Stand.
    c.polygon([(x0 + w / 2 - 10, y0 + h + 1), (x0 + w / 2 + 10, y0 + h + 1),
               (x0 + w / 2 + 16, y0 + h + 6), (x0 + w / 2 - 16, y0 + h + 6)], SILVER)
    c.hline(int(x0 + w / 2 - 16), int(x0 + w / 2 + 15), y0 + h + 6, BLACK)
    c.hline(int(x0 + w / 2 - 14), int(x0 + w / 2 + 13), y0 + h + 5, GREY)


def system_unit(c, x0, y0, w, h):
    c.fill(x0, y0, x0 + w, y0 + h, SILVER)
    c.frame(x0 - 1, y0 - 1, x0 + w + 1, y0 + h + 1, BLACK)
    c.bevel(x0, y0, x0 + w, y0 + h, WHITE, GREY, 2)
    # Two drive bays with slots.
    for i, bx in enumerate((x0 + 8, x0 + 40)):
        c.bevel(bx, y0 + 5, bx + 28, y0 + 13, GREY, WHITE)
        c.hline(bx + 4, bx + 23, y0 + 8, BLACK)
        c.hline(bx + 4, bx + 23, y0 + 9, GREY)
        c.fill(bx + 22, y0 + 10, bx + 26, y0 + 12, GREY if i else LIME)
    # Vents and the power button.
    for i in range(4):
        c.hline(x0 + 8, x0 + 30, y0 + h - 7 + i * 2 - 2, GREY)
    px = x0 + w - 14
    c.fill(px, y0 + 5, px + 8, y0 + h - 5, SILVER)
    c.bevel(px, y0 + 5, px + 8, y0 + h - 5, WHITE, BLACK)


def keyboard(c, x0, y0, w, h):
    c.polygon([(x0 + 4, y0), (x0 + w - 4, y0), (x0 + w, y0 + h), (x0, y0 + h)], SILVER)
    c.line(x0 + 4, y0, x0 + w - 4, y0, WHITE)
    c.line(x0, y0 + h, x0 + w, y0 + h, BLACK)
    c.line(x0 + w - 4, y0, x0 + w, y0 + h, GREY)
    c.line(x0 + 4, y0, x0, y0 + h, WHITE)
    for row in range(3):
        y = y0 + 2 + row * 3
        inset = 5 - row
        for x in range(x0 + inset + 1, x0 + w - inset - 2, 3):
            c.set(x, y, GREY)
            c.set(x + 1, y, GREY)
            c.set(x, y + 1, BLACK)
            c.set(x + 1, y + 1, BLACK)
    c.hline(x0 + 20, x0 + w - 22, y0 + 11, GREY)


def diskette(c, x0, y0, s, body, dark):
    """A 3.5-inch diskette of side s."""
    c.fill(x0, y0, x0 + s, y0 + s, body)
    c.frame(x0 - 1, y0 - 1, x0 + s + 1, y0 + s + 1, BLACK)
    c.set(x0 + s - 1, y0, BLACK)  # the cut corner
    c.bevel(x0, y0, x0 + s, y0 + s, GREY, dark)
    # Metal shutter with its window.
    sx0, sx1 = x0 + s // 4, x0 + s - s // 4
    c.fill(sx0, y0, sx1, y0 + s * 2 // 5, SILVER)
    c.vline(sx0, y0, y0 + s * 2 // 5 - 1, WHITE)
    c.vline(sx1 - 1, y0, y0 + s * 2 // 5 - 1, GREY)
    c.hline(sx0, sx1 - 1, y0 + s * 2 // 5 - 1, GREY)
    c.fill(sx1 - 6, y0 + 2, sx1 - 3, y0 + s * 2 // 5 - 3, dark)
    # Label.
    lx0, ly0 = x0 + 3, y0 + s // 2
    c.fill(lx0, ly0, x0 + s - 3, y0 + s - 1, WHITE)
    for i in range(3):
        c.hline(lx0 + 2, x0 + s - 6, ly0 + 3 + i * 3, BLUE if i == 0 else SILVER)


def compact_disc(c, cx, cy, r):
    def surface(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        angle = math.degrees(math.atan2(dy, dx)) % 180
        d = math.hypot(dx, dy)
        if 30 < angle < 40 and d > r * 0.35:
            return mix(SILVER, AQUA, 8, x, y)
        if 45 <= angle < 52 and d > r * 0.35:
            return mix(SILVER, MAGENTA if False else PURPLE, 6, x, y)
        if 55 <= angle < 62 and d > r * 0.35:
            return mix(SILVER, YELLOW, 6, x, y)
        if 120 < angle < 135:
            return mix(SILVER, WHITE, 10, x, y)
        return mix(SILVER, WHITE, 3, x, y) if angle < 90 else SILVER
    c.disc(cx, cy, r + 1, BLACK)
    c.disc(cx, cy, r, surface)
    c.disc(cx, cy, r * 0.3, lambda x, y: mix(SILVER, GREY, 8, x, y))
    c.disc(cx, cy, r * 0.12 + 1, GREY)
    c.disc(cx, cy, r * 0.12, TEAL)


def side_picture():
    w, h = 118, 234
    c = Canvas(w, h, TEAL)
    # Ground: a glow of aqua toward the top, teal, then a darker desk top.
    desk = 176
    c.fill(0, 0, w, desk, lambda x, y: mix(TEAL, AQUA, max(0, 7 - y // 9), x, y))
    c.fill(0, desk, w, h, lambda x, y: mix(TEAL, BLACK, min(10, 4 + (y - desk) // 10), x, y))
    c.hline(0, w - 1, desk, mix(TEAL, BLACK, 2, 0, 0))
    globe(c, 76, 46, 34, -40)
    monitor(c, 12, 70, 74, 60)
    system_unit(c, 6, 142, 96, 28)
    keyboard(c, 14, 180, 80, 13)
    diskette(c, 8, 198, 30, NAVY, BLACK)
    diskette(c, 30, 202, 26, GREY, BLACK)
    compact_disc(c, 88, 210, 20)
    return c



# ---------------------------------------------------------------------------------------
# Drive fronts: two grey drives, each with an indicator light of 12 pixels (4 x 3) that is
# either dark or lit.

LIGHT = (10, 17, 4, 3)  # x, y, width, height


def drive_face(c):
    w, h = c.w, c.h
    c.fill(0, 0, w, h, SILVER)
    c.frame(0, 0, w, h, BLACK)
    c.bevel(1, 1, w - 1, h - 1, WHITE, GREY)


def indicator(c, colour):
    x, y, w, h = LIGHT
    c.fill(x, y, x + w, y + h, colour)


def floppy_drive(light):
    c = Canvas(98, 26)
    drive_face(c)
    # The slot behind its flap.
    c.fill(20, 6, 80, 14, lambda x, y: mix(SILVER, GREY, 4, x, y))
    c.bevel(20, 6, 80, 14, GREY, WHITE)
    c.hline(23, 76, 9, BLACK)
    c.hline(23, 76, 10, BLACK)
    c.hline(23, 76, 11, GREY)
    # Eject button, raised.
    c.fill(72, 17, 88, 22, SILVER)
    c.frame(71, 16, 89, 23, BLACK)
    c.bevel(72, 17, 88, 22, WHITE, GREY)
    # A ridge for the fingers and the light's socket.
    for x in range(24, 60, 3):
        c.vline(x, 17, 20, GREY)
        c.vline(x + 1, 17, 20, WHITE)
    c.frame(LIGHT[0] - 1, LIGHT[1] - 1, LIGHT[0] + LIGHT[2] + 1, LIGHT[1] + LIGHT[3] + 1, GREY)
    indicator(c, light)
    return c


def cdrom_drive(light):
    c = Canvas(98, 26)
    drive_face(c)
    # The tray, across the upper half, with a disc mark.
    c.fill(5, 4, 93, 13, SILVER)
    c.frame(4, 3, 94, 14, BLACK)
    c.bevel(5, 4, 93, 13, WHITE, GREY)
    c.disc(49, 8.5, 3.5, GREY)
    c.disc(49, 8.5, 2.5, lambda x, y: mix(SILVER, WHITE, 8, x, y))
    c.disc(49, 8.5, 0.8, GREY)
    c.hline(30, 42, 8, GREY)
    c.hline(56, 68, 8, GREY)
    # Headphone socket, volume wheel, light and eject button along the foot.
    c.disc(22.5, 19.5, 2.5, GREY)
    c.disc(22.5, 19.5, 1.2, BLACK)
    c.fill(30, 17, 40, 22, GREY)
    for x in range(31, 40, 2):
        c.vline(x, 17, 21, SILVER)
    c.frame(29, 16, 41, 23, BLACK)
    c.frame(LIGHT[0] - 1, LIGHT[1] - 1, LIGHT[0] + LIGHT[2] + 1, LIGHT[1] + LIGHT[3] + 1, GREY)
    indicator(c, light)
    c.fill(72, 17, 88, 22, SILVER)
    c.frame(71, 16, 89, 23, BLACK)
    c.bevel(72, 17, 88, 22, WHITE, GREY)
    c.hline(77, 82, 19, BLACK)
    return c


# ---------------------------------------------------------------------------------------
# Icons, 32 x 32; magenta marks what is transparent.

def icon_computer_box():
    c = Canvas(32, 32, KEY)
    # Monitor.
    c.fill(2, 1, 22, 17, SILVER)
    c.frame(1, 0, 23, 18, BLACK)
    c.bevel(2, 1, 22, 17, WHITE, GREY)
    c.fill(4, 3, 20, 14, lambda x, y: mix(BLUE, NAVY, (y - 3) * 16 // 12, x, y))
    c.frame(4, 3, 20, 14, BLACK)
    c.fill(7, 6, 15, 10, SILVER)
    c.hline(7, 14, 6, NAVY)
    c.set(19, 15, LIME)
    c.fill(8, 18, 16, 20, GREY)
    c.fill(4, 20, 20, 23, SILVER)
    c.frame(3, 19, 21, 24, BLACK)
    c.hline(5, 18, 21, GREY)
    # Software box in front, seen from the left: front, right side and top.
    front = [(14, 14), (25, 14), (25, 30), (14, 30)]
    c.polygon([(25, 14), (30, 10), (30, 26), (25, 30)], OLIVE)
    c.polygon([(14, 14), (19, 10), (30, 10), (25, 14)], lambda x, y: mix(YELLOW, WHITE, 3, x, y))
    c.polygon(front, YELLOW)
    c.polygon([(14, 22), (25, 17), (25, 21), (14, 26)], RED)
    c.fill(16, 15, 23, 17, BLUE)
    c.line(14, 14, 19, 10, BLACK)
    c.line(19, 10, 30, 10, BLACK)
    c.line(30, 10, 30, 26, BLACK)
    c.line(30, 26, 25, 31, BLACK)
    c.line(25, 14, 30, 10, BLACK)
    c.frame(14, 14, 26, 31, BLACK)
    return c


def icon_diskette():
    c = Canvas(32, 32, KEY)
    c.polygon([(3, 3), (27, 3), (30, 6), (30, 30), (3, 30)], NAVY)
    c.line(3, 3, 26, 3, BLACK)
    c.line(26, 3, 29, 6, BLACK)
    c.line(29, 6, 29, 29, BLACK)
    c.line(3, 29, 29, 29, BLACK)
    c.line(3, 3, 3, 29, BLACK)
    c.vline(4, 4, 28, BLUE)
    c.hline(5, 25, 4, BLUE)
    # Shutter.
    c.fill(9, 4, 23, 13, SILVER)
    c.vline(9, 4, 12, WHITE)
    c.hline(9, 22, 12, GREY)
    c.fill(18, 6, 21, 11, BLACK)
    # Label.
    c.fill(7, 16, 26, 29, WHITE)
    c.hline(9, 23, 19, BLUE)
    c.hline(9, 23, 22, SILVER)
    c.hline(9, 23, 25, SILVER)
    c.fill(5, 26, 7, 28, BLACK)  # write-protect hole
    return c


def icon_squares():
    c = Canvas(32, 32, KEY)
    for i in range(4):
        x = 1 + i * 8
        c.fill(x, 13, x + 6, 19, BLUE)
        c.frame(x, 13, x + 6, 19, BLACK)
        c.hline(x + 1, x + 4, 14, AQUA)
        c.vline(x + 1, 14, 17, AQUA)
        c.hline(x + 1, x + 4, 17, NAVY)
        c.vline(x + 4, 14, 17, NAVY)
    return c


# ---------------------------------------------------------------------------------------
# The demo medium's LOGO.BMP: 256 colours, a light plaque with a mouse and the maker's
# name in shaded blue lettering.

class Palette:
    """Colour table built as colours are first used; the 16 VGA colours come first."""

    def __init__(self):
        self.colours = list(VGA)
        self.index = {rgb: i for i, rgb in enumerate(VGA)}

    def __call__(self, r, g, b):
        rgb = (int(r), int(g), int(b))
        if rgb not in self.index:
            assert len(self.colours) < 256
            self.index[rgb] = len(self.colours)
            self.colours.append(rgb)
        return self.index[rgb]


def ramp(a, b, t, steps=24):
    """Colour at t (0..1) between a and b, in one of `steps` shades."""
    t = round(max(0.0, min(1.0, t)) * (steps - 1)) / (steps - 1)
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def logo():
    pal = Palette()
    w, h = 180, 40
    c = Canvas(w, h)
    c.fill(0, 0, w, h, lambda x, y: pal(*ramp((255, 255, 255), (176, 184, 200), y / (h - 1))))
    c.frame(0, 0, w, h, pal(64, 64, 80))
    c.hline(1, w - 2, 1, pal(255, 255, 255))
    c.vline(1, 1, h - 2, pal(255, 255, 255))
    c.hline(1, w - 2, h - 2, pal(128, 132, 150))
    c.vline(w - 2, 1, h - 2, pal(128, 132, 150))
    # The mouse: a shaded body, two buttons and the red wheel between them.
    cx, cy, rx, ry = 20, 20, 10, 14

    def body(x, y):
        dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
        shade = 0.5 - 0.45 * dx - 0.35 * dy
        return pal(*ramp((40, 44, 60), (236, 238, 246), shade))

    for y in range(cy - ry - 1, cy + ry + 2):
        for x in range(cx - rx - 1, cx + rx + 2):
            dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
            d = dx * dx + dy * dy
            if d <= 1:
                c.set(x, y, body(x, y) if d < 0.86 else pal(40, 44, 60))
    c.hline(cx - rx + 1, cx + rx - 2, cy - 3, pal(70, 74, 90))
    c.vline(cx, cy - ry + 1, cy - 3, pal(70, 74, 90))
    for y in range(cy - 11, cy - 4):
        t = (y - (cy - 11)) / 6
        c.hline(cx - 1, cx + 1, y, pal(*ramp((255, 96, 96), (150, 0, 0), t)))
    c.hline(cx - 1, cx + 1, cy - 9, pal(110, 0, 0))
    c.hline(cx - 1, cx + 1, cy - 7, pal(110, 0, 0))
    # The name, in blue shaded from light to deep, with a soft grey shadow.
    mask = big_mask('VELAN', 2, 7)
    top, bottom = used_rows(mask)
    x0, y0 = 42, 4 - top
    draw_mask(c, mask, x0 + 2, y0 + 2, pal(140, 146, 164))
    draw_mask(c, mask, x0, y0, lambda x, y: pal(*ramp((60, 110, 255), (0, 0, 120), (y - top) / (bottom - top - 1))))
    # A red rule under the name.
    tw = len(mask[0])
    c.hline(x0, x0 + tw - 1, h - 5, pal(200, 0, 0))
    c.hline(x0, x0 + tw - 1, h - 4, pal(120, 0, 0))
    return c, pal.colours


# ---------------------------------------------------------------------------------------

def differing_pixels(a, b):
    return sum(a.px[y][x] != b.px[y][x] for y in range(a.h) for x in range(a.w))


def main():
    drives = [floppy_drive(MAROON), floppy_drive(RED), cdrom_drive(GREEN), cdrom_drive(LIME)]
    # Each pair differs only in its light.
    assert differing_pixels(drives[0], drives[1]) == 12
    assert differing_pixels(drives[2], drives[3]) == 12
    names = ['drive_a_off', 'drive_a_on', 'drive_b_off', 'drive_b_on']
    for name, pic in zip(names, drives):
        write(os.path.join(HERE, name + '.bmp'), bmp_bytes(pic, 4, VGA))
    write(os.path.join(HERE, 'side.bmp'), bmp_bytes(side_picture(), 4, VGA))
    write(os.path.join(HERE, 'title.bmp'), bmp_bytes(title_banner(), 4, VGA))
    write(os.path.join(HERE, 'footer.bmp'), bmp_bytes(footer_banner(), 4, VGA))
    write(os.path.join(HERE, 'welcome.ico'), ico_bytes(icon_computer_box(), KEY))
    write(os.path.join(HERE, 'diskette.ico'), ico_bytes(icon_diskette(), KEY))
    write(os.path.join(HERE, 'squares.ico'), ico_bytes(icon_squares(), KEY))
    picture, colours = logo()
    write(os.path.join(HERE, '..', 'demo', 'LOGO.BMP'), bmp_bytes(picture, 8, colours))
    if CHECK:
        for path in differ:
            print(f'{path} is not what res/pictures.py draws: run it and commit the result')
        if not differ:
            print('every picture is what res/pictures.py draws')
        sys.exit(1 if differ else 0)


if __name__ == '__main__':
    main()
