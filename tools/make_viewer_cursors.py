#!/usr/bin/env python3
"""Draws the picture view's three cursors (the plain arrow, the open hand over a picture that can
be dragged, the closed hand while dragging) and the slideshow's three (the left and right paging
strips, the position bar) as 32 x 32 monochrome cursor files into res/. Run from
the repository root; the outputs are committed."""
import os
import struct

# 'X' black, '.' white, anything else transparent; the hot spot is marked by the first '@' (white).
ARROW = """
X
XX
X.X
X..X
X...X
X....X
X.....X
X......X
X.......X
X........X
X.....XXXXX
X..X..X
X.X X..X
XX  X..X
X    X..X
     X..X
      XX
"""

OPEN_HAND = """
       XX
   XX X..XXX
  X..XX..X..X
  X..XX..X..X X
   X..X..X..XX.X
   X..X..X..X..X
 XX X.......X..X
X..XX..........X
X...X.........X
 X....@.......X
  X...........X
  X..........X
   X.........X
    X.......X
     X......X
     X......X
"""

CLOSED_HAND = """
    XX XX XX
   X..X..X..XX
   X........X.X
    X.........X
   XX.........X
  X...@.......X
  X...........X
   X.........X
    X........X
     X......X
     X......X
"""

LEFT_STRIP = """
       X
      XX
     X.X
    X..XXXXXXXX
   X..........X
  X@..........X
   X..........X
    X..XXXXXXXX
     X.X
      XX
       X
"""

RIGHT_STRIP = """
        X
        XX
        X.X
 XXXXXXXX..X
 X..........X
 X..........@X
 X..........X
 XXXXXXXX..X
        X.X
        XX
        X
"""

BAR = """
    XXX
    X@X
    X.X
    X.X
 XXXX.XXXX
  X.....X
   X...X
    X.X
     X
XXXXXXXXXXX
X.........X
XXXXXXXXXXX
"""


def cursor(art, hot_default):
    rows = art.strip('\n').split('\n')
    size = 32
    xor = [[0] * size for _ in range(size)]
    and_ = [[1] * size for _ in range(size)]
    hot = hot_default
    for y, line in enumerate(rows):
        for x, ch in enumerate(line):
            if ch == 'X':
                and_[y][x], xor[y][x] = 0, 0
            elif ch in '.@':
                and_[y][x], xor[y][x] = 0, 1
                if ch == '@':
                    hot = (x, y)

    def plane(bits):
        out = bytearray()
        for y in range(size - 1, -1, -1):
            row = 0
            for x in range(size):
                row = (row << 1) | bits[y][x]
            out += struct.pack('>I', row)
        return out

    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    table = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + table + plane(xor) + plane(and_)
    icondir = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    return icondir + entry + image


def main():
    res = os.path.join(os.getcwd(), 'res')
    for name, art, hot in (('picture_arrow.cur', ARROW, (0, 0)), ('picture_hand.cur', OPEN_HAND, (8, 8)),
                           ('picture_grab.cur', CLOSED_HAND, (8, 6)), ('slide_left.cur', LEFT_STRIP, (3, 5)),
                           ('slide_right.cur', RIGHT_STRIP, (12, 5)), ('slide_bar.cur', BAR, (5, 1))):
        with open(os.path.join(res, name), 'wb') as f:
            f.write(cursor(art, hot))


if __name__ == '__main__':
    main()
