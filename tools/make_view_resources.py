#!/usr/bin/env python3
"""Draws the thumbnail view's pointer that marks a click which toggles the selection (the arrow
with a plus) and the check image of the registered applications' menu entries into res/. Run
from the repository root; the outputs are committed."""
import struct

ARROW = [
    "X...........",
    "XX..........",
    "XOX.........",
    "XOOX........",
    "XOOOX.......",
    "XOOOOX......",
    "XOOOOOX.....",
    "XOOOOOOX....",
    "XOOOOOOOX...",
    "XOOOOOOOOX..",
    "XOOOOOXXXXX.",
    "XOOXOOX.....",
    "XOX.XOOX....",
    "XX..XOOX....",
    "X....XOOX...",
    ".....XOOX...",
    "......XX....",
]

PLUS = [
    "...XXX...",
    "...XOX...",
    "...XOX...",
    "XXXXOXXXX",
    "XOOOOOOOX",
    "XXXXOXXXX",
    "...XOX...",
    "...XOX...",
    "...XXX...",
]


def cursor(shapes, path, hotspot=(0, 0)):
    """A 32 x 32 monochrome cursor: 'X' black, 'O' white, anything else transparent."""
    size = 32
    grid = [["."] * size for _ in range(size)]
    for shape, (ox, oy) in shapes:
        for y, row in enumerate(shape):
            for x, ch in enumerate(row):
                if ch != ".":
                    grid[oy + y][ox + x] = ch
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):
        xor_bits = and_bits = 0
        for x in range(size):
            ch = grid[y][x]
            bit = 1 << (31 - x)
            if ch == "O":
                xor_bits |= bit
            elif ch != "X":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


def check_image(path):
    """A 13 x 13 24-bit picture of a small window: the mark of a program in a menu."""
    w = h = 13
    pixels = [[(255, 255, 255)] * w for _ in range(h)]
    for y in range(1, 12):
        for x in range(1, 12):
            edge = x in (1, 11) or y in (1, 11)
            title = y in (2, 3)
            if edge:
                pixels[y][x] = (40, 40, 40)
            elif title:
                pixels[y][x] = (30, 80, 200)
            else:
                pixels[y][x] = (250, 250, 250)
    row = (w * 3 + 3) // 4 * 4
    data = b""
    for y in reversed(range(h)):
        line = b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in pixels[y])
        data += line + b"\0" * (row - w * 3)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + data)


cursor([(ARROW, (0, 0)), (PLUS, (12, 16))], "res/viewtoggle.cur")
check_image("res/appcheck.bmp")
