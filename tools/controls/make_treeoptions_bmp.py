#!/usr/bin/env python3
"""Writes res/treeoptions.bmp: the option tree's 21 images of 16 x 16 on a magenta mask colour.

Images 0-9 are the check-box and radio-button states the tree reads (unchecked, checked, radio off,
radio on, their disabled forms, partly checked and partly checked disabled); 10-20 are plain
heading symbols. Run from the repository root: python3 tools/controls/make_treeoptions_bmp.py
"""
import struct

W, H, COUNT = 16, 16, 21
MASK = (255, 0, 255)
BLACK, GREY, LIGHT, WHITE, DARK = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255), (64, 64, 64)

pixels = [[MASK] * (W * COUNT) for _ in range(H)]


def put(image, x, y, colour):
    if 0 <= x < W and 0 <= y < H:
        pixels[y][image * W + x] = colour


def box(image, face, border, mark=None, partial=None):
    for y in range(2, 15):
        for x in range(1, 14):
            edge = x in (1, 13) or y in (2, 14)
            put(image, x, y, border if edge else face)
    if mark:
        for x, y in ((4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6)):
            put(image, x, y, mark)
            put(image, x, y - 1, mark)
    if partial:
        for y in range(5, 12):
            for x in range(4, 11):
                put(image, x, y, partial)


def radio(image, face, border, dot=None):
    cx, cy = 7, 8
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= 30:
                put(image, x, y, face)
            if 24 <= d <= 38:
                put(image, x, y, border)
            if dot and d <= 5:
                put(image, x, y, dot)


box(0, WHITE, DARK)
box(1, WHITE, DARK, mark=BLACK)
radio(2, WHITE, DARK)
radio(3, WHITE, DARK, dot=BLACK)
box(4, LIGHT, GREY)
box(5, LIGHT, GREY, mark=GREY)
radio(6, LIGHT, GREY)
radio(7, LIGHT, GREY, dot=GREY)
box(8, WHITE, DARK, mark=GREY)
box(9, LIGHT, GREY, partial=GREY)

# Headings: a folder in eleven colours.
HEADINGS = [(230, 190, 60), (90, 150, 220), (120, 180, 90), (200, 90, 90), (150, 110, 190), (90, 170, 170),
            (210, 140, 60), (120, 120, 120), (180, 160, 120), (60, 110, 160), (170, 60, 130)]
for i, colour in enumerate(HEADINGS):
    image = 10 + i
    for y in range(4, 14):
        for x in range(1, 15):
            edge = x in (1, 14) or y in (4, 13)
            put(image, x, y, DARK if edge else colour)
    for x in range(2, 7):
        put(image, x, 3, DARK)

row = (W * COUNT * 3 + 3) & ~3
data = bytearray()
for y in range(H - 1, -1, -1):
    line = bytearray()
    for r, g, b in pixels[y]:
        line += bytes((b, g, r))
    data += line + bytes(row - len(line))
header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W * COUNT, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
with open('res/treeoptions.bmp', 'wb') as out:
    out.write(header + info + data)
