#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
"""Draws Trakvid's pictures into src/resources/images.

The generated files are committed, so the build never runs this. Rerun it
after changing a drawing here:

    scripts/make_pictures.py                 # rewrite the pictures
    scripts/make_pictures.py --sheet s.png   # also an enlarged contact sheet

Needs Python 3 with Pillow (Debian: python3-pil) and the DejaVu fonts
(fonts-dejavu-core).
"""
import argparse
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMAGES = os.path.join(ROOT, "src", "resources", "images")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# --------------------------------------------------------------------------
# Colours shared by the pixel icons and the larger pictures.

PALETTE = {
    ".": None,
    "K": (34, 34, 40),       # outline
    "D": (88, 88, 96),       # dark grey (frames, slots)
    "G": (140, 140, 148),    # grey (rails, text lines)
    "L": (200, 202, 208),    # light grey (metal)
    "W": (255, 255, 255),
    "B": (36, 84, 172),      # blue (disk, locomotive)
    "b": (96, 146, 224),     # light blue
    "C": (186, 218, 248),    # glass
    "R": (206, 36, 30),      # red
    "r": (244, 128, 116),    # light red
    "M": (128, 20, 18),      # dark red
    "O": (172, 62, 38),      # wagon red-brown
    "o": (214, 112, 78),     # wagon highlight
    "N": (40, 150, 50),      # green
    "E": (18, 96, 32),       # dark green
    "Y": (244, 196, 32),     # yellow
    "y": (250, 226, 120),    # light yellow
    "S": (232, 190, 140),    # skin, bare wood
    "H": (110, 70, 40),      # hair, wood
    "P": (250, 170, 190),    # eraser
}

LOCO_BLUE = PALETTE["B"]
WAGON_RED = PALETTE["O"]
NAVY = (22, 48, 110)


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


# --------------------------------------------------------------------------
# Pixel icons: 16 x 16 grids, one character a pixel.

def grid_image(rows):
    assert len(rows) == 16, rows
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    for y, row in enumerate(rows):
        assert len(row) == 16, (y, row)
        for x, ch in enumerate(row):
            colour = PALETTE[ch]
            if colour is not None:
                img.putpixel((x, y), colour + (255,))
    return img


def stamp(rows, glyph, left, top, ch):
    """Draws the '#' pixels of glyph into rows at left, top in colour ch."""
    rows = [list(r) for r in rows]
    for dy, line in enumerate(glyph):
        for dx, g in enumerate(line):
            if g == "#":
                rows[top + dy][left + dx] = ch
    return ["".join(r) for r in rows]


def hline(rows, y, x0, x1, ch):
    return stamp(rows, ["#" * (x1 - x0 + 1)], x0, y, ch)


DIGITS = {
    "5": ["####", "#...", "#...", "###.", "...#", "...#", "###."],
    "6": [".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."],
    "7": ["####", "...#", "...#", "..#.", "..#.", ".#..", ".#.."],
    "8": [".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."],
}

LETTER_R = [
    "#####.",
    "##..##",
    "##..##",
    "#####.",
    "##.##.",
    "##..##",
    "##..##",
]

# A sheet of paper with a folded corner.
PAGE = [
    ".KKKKKKKKKK.....",
    ".KWWWWWWWWKK....",
    ".KWWWWWWWWKLK...",
    ".KWWWWWWWWKLLK..",
    ".KWWWWWWWWKKKKK.",
] + [".KWWWWWWWWWWWWK."] * 10 + [
    ".KKKKKKKKKKKKKK.",
]

# A diskette; the label (rows 7 to 14, columns 2 to 13) is left white.
DISK = [
    "KKKKKKKKKKKKKKK.",
    "KBBBLLLLLLLLBBBK",
    "KBBBLLLLLDDLBBBK",
    "KBBBLLLLLDDLBBBK",
    "KBBBLLLLLDDLBBBK",
    "KBBBLLLLLLLLBBBK",
    "KBBBBBBBBBBBBBBK",
] + ["KBWWWWWWWWWWWWBK"] * 8 + [
    "KKKKKKKKKKKKKKKK",
]


def icon_save_vehicle():
    rows = stamp(DISK, ["##########"] * 4, 3, 8, "O")
    rows = stamp(rows, ["##", "##"], 7, 9, "M")       # door
    rows = hline(rows, 12, 3, 12, "K")                 # frame
    rows = stamp(rows, ["##....##"], 4, 13, "K")       # wheels
    rows = stamp(rows, ["##"], 10, 13, "K")
    return grid_image(rows)


def icon_save_database():
    rows = DISK
    # A stack of three records in the label.
    for y in (8, 10, 12):
        rows = hline(rows, y, 3, 12, "b")
        rows = hline(rows, y + 1, 3, 12, "B")
    return grid_image(rows)


def list_page(lines=(2, 4)):
    rows = PAGE
    for y in lines:
        rows = hline(rows, y, 3, 8, "G")
    return rows


def icon_regime_list():
    rows = stamp(list_page(), LETTER_R, 5, 7, "R")
    return grid_image(rows)


def icon_digits_list(digits, ch):
    rows = list_page()
    rows = stamp(rows, DIGITS[digits[0]], 3, 7, ch)
    rows = stamp(rows, DIGITS[digits[1]], 8, 7, ch)
    return grid_image(rows)


def icon_blank_page():
    rows = list_page(lines=(2, 4))
    for y in (6, 8, 10, 12):
        rows = hline(rows, y, 3, 12, "L")
    return grid_image(rows)


WAGON = [
    "................",
    "................",
    "................",
    "..KKKKKKKKKKKK..",
    ".KooooooooooooK.",
    ".KOOOOKKKKOOOOK.",
    ".KOOOOKOOKOOOOK.",
    ".KOOOOKOOKOOOOK.",
    ".KOOOOKOOKOOOOK.",
    ".KOOOOKKKKOOOOK.",
    ".KKKKKKKKKKKKKK.",
    "KDDDDDDDDDDDDDDK",
    "..KK.KK..KK.KK..",
    "..KK.KK..KK.KK..",
    "GGGGGGGGGGGGGGGG",
    "................",
]

LOCOMOTIVE = [
    "....KKKKKK......",
    ".....K..K.......",
    "......KK........",
    "...KKKKKKKKKK...",
    "..KBBBBBBBBBBK..",
    ".KCCBBBBBBBBCCK.",
    ".KCCBBBBBBBBCCK.",
    ".KBBBBBBBBBBBBK.",
    ".KYYYYYYYYYYYYK.",
    ".KBBBBBBBBBBBBK.",
    ".KKKKKKKKKKKKKK.",
    "KDDDDDDDDDDDDDDK",
    "..KK.KK..KK.KK..",
    "..KK.KK..KK.KK..",
    "GGGGGGGGGGGGGGGG",
    "................",
]

PERSON = [
    "................",
    "......KKKK......",
    ".....KHHHHK.....",
    ".....KSSSSK.....",
    ".....KSSSSK.....",
    ".....KSSSSK.....",
    "......KSSK......",
    "....KKKSSKKK....",
    "...KBBBKKBBBK...",
    "..KBBBBBBBBBBK..",
    "..KBBBBBBBBBBK..",
    "..KBBBBBBBBBBK..",
    "..KBBBBBBBBBBK..",
    "..KKKKKKKKKKKK..",
    "................",
    "................",
]

LISTINGS = [
    ".KKKKKKK........",
    ".KWWWWWKK.......",
    ".KWGGGWKLK......",
    ".KWWWWWKKKK.....",
    ".KWGGGGGGWK.....",
    ".KWWWWWWWWK.....",
    ".KWGGGWWKKK.....",
    ".KWWWWWKCCCK....",
    ".KWGGGKCWCCCK...",
    ".KWWWWKCCCCCK...",
    ".KWGGGKCCCCCK...",
    ".KWWWWWKCCCK....",
    ".KWWWWWWKKKKDD..",
    ".KWWWWWWWWK..DD.",
    ".KKKKKKKKKK...DD",
    "..............KD",
]

BOOKMARK = [
    "................",
    "....KKKKKKKK....",
] + ["....KrRRRRRK...."] * 10 + [
    "....KrRKKRRK....",
    "....KRK..KRK....",
    "....KK....KK....",
    "................",
]

TRACK = [
    "................",
    "................",
    "................",
    "................",
    ".HH..HH..HH..HH.",
    ".HH..HH..HH..HH.",
    "DDDDDDDDDDDDDDDD",
    ".HH..HH..HH..HH.",
    ".HH..HH..HH..HH.",
    "DDDDDDDDDDDDDDDD",
    ".HH..HH..HH..HH.",
    ".HH..HH..HH..HH.",
    "................",
    "................",
    "................",
    "................",
]


def icon_delete():
    """A red X, three pixels thick with a dark rim."""
    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            d = min(abs(x - y), abs(x + y - 15))
            inside = 1 <= x <= 14 and 1 <= y <= 14
            if not inside:
                row += "."
            elif d == 0:
                row += "r" if x < 8 and y < 8 else "R"
            elif d <= 1:
                row += "R"
            elif d == 2:
                row += "M"
            else:
                row += "."
        rows.append(row)
    return grid_image(rows)


def icon_edit():
    """A pencil, tip at the bottom left."""
    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            along = x - y          # -13 at the tip, 14 at the cap
            across = x + y - 15    # 0 on the pencil's axis
            ch = "."
            if -13 <= along <= 14 and abs(across) <= min(2, along + 13):
                if along == 14 or (abs(across) == 2 and along > -11):
                    ch = "K"
                elif along <= -12:
                    ch = "K"                      # lead
                elif along <= -8:
                    ch = "S"                      # bare wood
                elif along <= 7:
                    ch = "y" if across < 0 else ("Y" if across == 0 else "H")
                elif along <= 9:
                    ch = "L"                      # ferrule
                else:
                    ch = "P"                      # eraser
            row += ch
        rows.append(row)
    return grid_image(rows)


# --------------------------------------------------------------------------
# Smooth shapes: drawn eight times larger, then scaled down.

SS = 8


class Canvas:
    """Draws in final-pixel coordinates on a canvas SS times larger.

    With a scale, coordinates and widths are in units of 1/scale pixel, so one
    drawing serves several sizes."""

    def __init__(self, width, height, background=(0, 0, 0, 0), mode="RGBA", scale=1.0):
        self.size = (width, height)
        self.img = Image.new(mode, (width * SS, height * SS), background)
        self.draw = ImageDraw.Draw(self.img)
        self.k = SS * scale

    def _pts(self, points):
        return [(x * self.k, y * self.k) for x, y in points]

    def poly(self, points, fill, outline=None, width=0.0):
        self.draw.polygon(self._pts(points), fill=fill)
        if outline is not None:
            pts = self._pts(points)
            self.draw.line(pts + pts[:1], fill=outline, width=max(1, round(width * self.k)), joint="curve")

    def rect(self, x0, y0, x1, y1, fill):
        k = self.k
        self.draw.rectangle([x0 * k, y0 * k, x1 * k - 1, y1 * k - 1], fill=fill)

    def rounded(self, x0, y0, x1, y1, radius, fill):
        k = self.k
        self.draw.rounded_rectangle([x0 * k, y0 * k, x1 * k - 1, y1 * k - 1], radius=radius * k, fill=fill)

    def circle(self, cx, cy, r, fill):
        k = self.k
        self.draw.ellipse([(cx - r) * k, (cy - r) * k, (cx + r) * k, (cy + r) * k], fill=fill)

    def line(self, points, fill, width):
        self.draw.line(self._pts(points), fill=fill, width=max(1, round(width * self.k)), joint="curve")
        r = width / 2
        for x, y in (points[0], points[-1]):
            self.circle(x, y, r, fill)

    def text(self, x, y, text, size, fill, bold=True, anchor="la"):
        k = self.k
        self.draw.text((x * k, y * k), text, font=font(round(size * k), bold), fill=fill, anchor=anchor)

    def result(self):
        return self.img.resize(self.size, Image.LANCZOS if self.img.mode == "RGB" else Image.BOX)


def stroked(points, dark, light, width, rim=1.0, size=16):
    c = Canvas(size, size)
    c.line(points, dark, width + 2 * rim)
    c.line(points, light, width)
    return c.result()


def icon_yes():
    return stroked([(2.8, 8.6), (6.4, 12.2), (13.2, 3.8)], (16, 100, 24, 255), (60, 176, 56, 255), 2.6)


def icon_abort():
    dark, light = (130, 16, 16, 255), (214, 44, 36, 255)
    c = Canvas(16, 16)
    for a, b in (((4, 4), (12, 12)), ((12, 4), (4, 12))):
        c.line([a, b], dark, 4.4)
    for a, b in (((4, 4), (12, 12)), ((12, 4), (4, 12))):
        c.line([a, b], light, 2.4)
    return c.result()


def icon_arrow(right):
    pts = [(1.5, 6), (8, 6), (8, 2), (14.5, 8), (8, 14), (8, 10), (1.5, 10)]
    if not right:
        pts = [(16 - x, y) for x, y in pts]
    c = Canvas(16, 16)
    c.poly(pts, (52, 120, 214, 255), outline=(20, 52, 124, 255), width=1.1)
    return c.result()


# --------------------------------------------------------------------------
# Rolling stock in side view, for the logo and the banner. A vehicle is
# 40 units long and 20 high; the wheels stand on y = 20.

def running_gear(c, ox, oy, s):
    def P(x, y):
        return ox + x * s, oy + y * s
    dark, steel = (40, 40, 46), (120, 120, 128)
    c.rect(*P(0, 15), *P(40, 16.2), dark)                 # frame
    c.rect(*P(-0.8, 13.2), *P(0, 14.8), dark)             # buffers
    c.rect(*P(40, 13.2), *P(40.8, 14.8), dark)
    for x0 in (4, 25):
        c.rect(*P(x0, 16), *P(x0 + 11, 17.4), (60, 60, 66))
        for cx in (x0 + 2.8, x0 + 8.2):
            c.circle(*P(cx, 18), 2.0 * s, dark)
            c.circle(*P(cx, 18), 0.8 * s, steel)


def locomotive(c, ox, oy, s, body=LOCO_BLUE):
    def P(x, y):
        return ox + x * s, oy + y * s

    def Q(points):
        return [P(x, y) for x, y in points]
    dark = (40, 40, 46)
    glass = (52, 72, 104)
    # pantograph
    c.line(Q([(15, 0.5), (18, 3.2), (21, 0.5)]), dark, 0.5 * s)
    c.rect(*P(13.5, 0), *P(22.5, 0.8), dark)
    c.rect(*P(10, 2.3), *P(30, 3.4), (110, 112, 120))      # roof equipment
    c.poly(Q([(4, 3.2), (36, 3.2), (39.2, 7.6), (39.2, 15), (0.8, 15), (0.8, 7.6)]), body)
    c.rect(*P(0.8, 10.4), *P(39.2, 12), (244, 196, 32))    # warning stripe
    for pts in ([(1.6, 7.4), (4.4, 4.3), (8, 4.3), (8, 7.4)],
                [(38.4, 7.4), (35.6, 4.3), (32, 4.3), (32, 7.4)]):
        c.poly(Q(pts), glass)
    for x0 in (11, 26):
        c.rect(*P(x0, 4.6), *P(x0 + 3, 7.2), glass)
    for x in range(16, 25, 2):                              # louvres
        c.rect(*P(x, 4.6), *P(x + 1, 8.4), (24, 56, 120))
    c.rect(*P(9.2, 5), *P(9.9, 14), (24, 56, 120))         # cab doors
    c.rect(*P(30.1, 5), *P(30.8, 14), (24, 56, 120))
    running_gear(c, ox, oy, s)


def wagon(c, ox, oy, s, body=WAGON_RED):
    def P(x, y):
        return ox + x * s, oy + y * s

    def Q(points):
        return [P(x, y) for x, y in points]
    shade = tuple(int(v * 0.72) for v in body)
    c.poly(Q([(0.8, 5), (3, 3.4), (37, 3.4), (39.2, 5), (39.2, 15), (0.8, 15)]), body)
    c.rect(*P(0.8, 3.4), *P(39.2, 4.4), tuple(min(255, int(v * 1.2)) for v in body))  # roof edge
    for x in (4, 7, 10, 13, 27, 30, 33, 36):                # planks
        c.rect(*P(x, 4.8), *P(x + 0.4, 14.4), shade)
    c.rect(*P(16, 5), *P(24, 14.6), shade)                  # sliding door
    c.rect(*P(16.8, 5.8), *P(23.2, 13.8), body)
    c.rect(*P(19.8, 5.8), *P(20.2, 13.8), shade)
    running_gear(c, ox, oy, s)


# --------------------------------------------------------------------------
# The JPEG pictures.

def logo():
    w, h = 95, 45
    c = Canvas(w, h, background=(255, 255, 255), mode="RGB")
    for y in range(h):                                      # pale sky
        t = y / (h - 1)
        col = tuple(int(a + (b - a) * t) for a, b in zip((214, 230, 248), (255, 255, 255)))
        c.rect(0, y, w, y + 1, col)
    s = 1.06
    locomotive(c, 3.2, 2, s)
    wagon(c, 50.2, 2, s)
    rail_y = 2 + 20 * s
    c.rect(0, rail_y, w, rail_y + 1.3, (96, 96, 104))
    c.text(w / 2, 43.5, "Trakvid", 17, NAVY, anchor="ms")
    c.draw.rectangle([0, 0, w * SS - 1, h * SS - 1], outline=NAVY, width=SS)
    return c.result()


def banner():
    w, h = 900, 156
    c = Canvas(w, h, background=(255, 255, 255), mode="RGB")
    horizon = 112
    for y in range(horizon):
        t = y / horizon
        col = tuple(int(a + (b - a) * t) for a, b in zip((92, 146, 210), (222, 236, 248)))
        c.rect(0, y, w, y + 1, col)
    # two rows of hills
    for base, amp, period, phase, col in ((100, 16, 260, 0.6, (150, 186, 140)),
                                          (110, 10, 170, 2.1, (112, 160, 96))):
        pts = [(x, base - amp * (0.5 + 0.5 * math.sin(x / period * 2 * math.pi + phase)))
               for x in range(0, w + 11, 10)]
        c.poly(pts + [(w + 10, h), (0, h)], col)
    c.rect(0, 114, w, h, (96, 146, 74))                     # meadow
    rail = 126
    c.poly([(0, rail - 4), (w, rail - 4), (w, rail + 14), (0, rail + 14)], (150, 138, 120))  # ballast
    c.poly([(0, rail + 14), (w, rail + 14), (w, rail + 20), (0, rail + 20)], (122, 112, 96))
    for x in range(-6, w, 18):                              # sleeper ends
        c.rect(x, rail + 1.5, x + 11, rail + 5, (92, 66, 44))
    c.rect(0, rail - 1, w, rail + 2, (86, 88, 96))         # rail
    c.rect(0, rail - 1, w, rail - 0.2, (190, 192, 198))

    # catenary: wire, poles and brackets
    s = 3.0
    top = rail - 1 - 20 * s
    # The wiring starts at the first pole, leaving the sky behind the name clear.
    first = 380
    for x in range(first, w, 240):
        c.rect(x, top - 16, x + 4, rail + 6, (110, 112, 120))
        c.rect(x - 10, top - 12, x + 14, top - 10, (110, 112, 120))
    c.rect(first, top - 0.6, w, top + 0.6, (60, 62, 70))
    c.rect(first, top - 12, w, top - 11, (60, 62, 70))      # carrier cable
    for x in range(first + 30, w, 60):
        c.rect(x, top - 11, x + 0.8, top, (60, 62, 70))

    x = 418
    locomotive(c, x, top, s)
    for i, body in enumerate((WAGON_RED, (70, 110, 70), WAGON_RED, (70, 110, 70))):
        wagon(c, x + 126 + i * 126, top + 0, s, body)

    # the name
    c.text(42, 74, "Trakvid", 64, (255, 255, 255), anchor="ls")
    c.text(38, 70, "Trakvid", 64, NAVY, anchor="ls")
    c.text(42, 100, "Číslování kolejových vozidel", 19, (255, 255, 255), anchor="ls")
    c.text(41, 99, "Číslování kolejových vozidel", 19, NAVY, anchor="ls")
    return c.result()


def window_icon(size=32):
    """A locomotive seen from the front, drawn on a 32 x 32 grid."""
    c = Canvas(size, size, scale=size / 32)
    dark = (34, 34, 40, 255)
    body = LOCO_BLUE + (255,)
    c.line([(10, 2), (16, 6), (22, 2)], dark, 1.2)          # pantograph
    c.rect(8, 1, 24, 2.4, dark)
    c.poly([(9, 6), (23, 6), (26, 11), (26, 27), (6, 27), (6, 11)], body,
           outline=(18, 44, 100, 255), width=1.0)
    c.poly([(9.6, 8), (22.4, 8), (24.4, 15), (7.6, 15)], (52, 72, 104, 255))   # windscreen
    c.poly([(10.4, 8.8), (14, 8.8), (11, 14.2), (8.8, 14.2)], (150, 190, 230, 255))
    c.rect(15.5, 8, 16.5, 15, body)                         # pillar
    c.rect(6, 18, 26, 20.2, (244, 196, 32, 255))            # warning stripe
    for cx in (10, 22):
        c.circle(cx, 23.5, 1.9, (255, 246, 200, 255))       # headlights
    c.rect(4, 27, 28, 29, dark)                             # buffer beam
    for x0 in (3, 25):
        c.rect(x0, 24.5, x0 + 4, 26.5, dark)               # buffers
    c.rect(1, 30, 31, 31.4, (120, 120, 128, 255))           # rail
    return c.result()


# --------------------------------------------------------------------------

IMAGELIST = [
    ("00", icon_save_vehicle),
    ("01", lambda: grid_image(TRACK)),
    ("02", icon_save_database),
    ("03", lambda: grid_image(WAGON)),
    ("04", lambda: grid_image(LOCOMOTIVE)),
    ("05", lambda: grid_image(PERSON)),
    ("06", icon_regime_list),
    ("07", lambda: grid_image(LISTINGS)),
    ("08", icon_delete),
    ("09", icon_edit),
    ("10", lambda: grid_image(BOOKMARK)),
    ("11", lambda: icon_digits_list("56", "B")),
    ("12", lambda: icon_digits_list("78", "E")),
    ("13", icon_blank_page),
]

# The program's icon in the desktop's icon theme, installed by CMake.
HICOLOR = os.path.join(ROOT, "src", "resources", "icons", "hicolor")
ICON_SIZES = (16, 32, 48, 64, 128, 256)

GLYPHS = [
    ("arrow_back", lambda: icon_arrow(False)),
    ("arrow_next", lambda: icon_arrow(True)),
    ("yes", icon_yes),
    ("abort", icon_abort),
]


def save_png(img, path):
    img.save(path, "PNG", optimize=True)


def save_jpeg(img, path):
    # Baseline (not progressive) with full-resolution colour: decodes with any
    # libjpeg and keeps the small lettering sharp.
    img.save(path, "JPEG", quality=90, optimize=True, progressive=False, subsampling=0)


def contact_sheet(pngs, jpegs, path):
    zoom = 8
    cell = 16 * zoom + 24
    cols = 7
    rows = (len(pngs) + cols - 1) // cols
    sheet_w = max(cols * cell, 900) + 20
    big = [img for _, img in jpegs]
    sheet_h = rows * (cell + 60) + 60 + sum(i.height * (4 if i.width < 200 else 1) + 20 for i in big)
    sheet = Image.new("RGB", (sheet_w, sheet_h), (236, 233, 216))
    d = ImageDraw.Draw(sheet)
    checker = Image.new("RGB", (16 * zoom, 16 * zoom))
    cd = ImageDraw.Draw(checker)
    for y in range(0, 16 * zoom, zoom):
        for x in range(0, 16 * zoom, zoom):
            cd.rectangle([x, y, x + zoom - 1, y + zoom - 1],
                         fill=(220, 220, 220) if (x + y) // zoom % 2 else (250, 250, 250))
    for i, (name, img) in enumerate(pngs):
        x = 10 + (i % cols) * cell
        y = 10 + (i // cols) * (cell + 60)
        enlarged = img.resize((16 * zoom, 16 * zoom), Image.NEAREST)
        tile = checker.copy()
        tile.paste(enlarged, (0, 0), enlarged)
        sheet.paste(tile, (x, y))
        box = img.width + 6
        for j, bg in enumerate(((236, 233, 216), (255, 255, 255), (40, 40, 40))):
            sheet.paste(Image.new("RGB", (box, box), bg), (x + j * (box + 4), y + 16 * zoom + 4))
            sheet.paste(img, (x + j * (box + 4) + 3, y + 16 * zoom + 7), img)
        d.text((x + 3 * (box + 4) + 2, y + 16 * zoom + 8), name, fill=(0, 0, 0))
    y = 10 + rows * (cell + 60) + 20
    for img in big:
        shown = img.resize((img.width * 4, img.height * 4), Image.NEAREST) if img.width < 200 else img
        sheet.paste(shown, (10, y))
        if img.width < 200:
            sheet.paste(img, (10 + shown.width + 20, y))
        y += shown.height + 20
    sheet.save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sheet", help="also write an enlarged contact sheet to this PNG")
    args = ap.parse_args()

    pngs, jpegs = [], []
    for name, make in IMAGELIST:
        img = make()
        save_png(img, os.path.join(IMAGES, "imagelist", name + ".png"))
        pngs.append((name, img))
    for name, make in GLYPHS:
        img = make()
        save_png(img, os.path.join(IMAGES, name + ".png"))
        pngs.append((name, img))
    for size in ICON_SIZES:
        folder = os.path.join(HICOLOR, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        img = window_icon(size)
        save_png(img, os.path.join(folder, "trakvid.png"))
        if size == 32:
            pngs.append(("trakvid", img))  # also the window icon, under images/
    for name, make in (("logo", logo), ("banner", banner)):
        img = make()
        save_jpeg(img, os.path.join(IMAGES, name + ".jpg"))
        jpegs.append((name, Image.open(os.path.join(IMAGES, name + ".jpg")).convert("RGB")))
    if args.sheet:
        contact_sheet(pngs, jpegs, args.sheet)
    return 0


if __name__ == "__main__":
    sys.exit(main())
