#!/usr/bin/env python3
"""Draws the picture window's tool-bar and menu images: res/menuimages241.bmp (normal) and
res/picturetoolbar_hot.bmp (hot), 27 pictograms of 16 x 16 on magenta, the mask colour, in the
style of the main tool bar. Run from anywhere; the outputs are committed.

Pairs of opposite commands are drawn once and mirrored, so that left and right, first and last,
previous and next look alike but for their direction."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_browser_images import (BLUE, GREEN, GREY, INK, MASK, PAPER, RED, YELLOW,  # noqa: E402
                                 Canvas, draw as draw_main)

SKY = (120, 180, 240)
DARK = (20, 20, 20)
WHITE = (255, 255, 255)


def disc(c, cx, cy, r, colour, fill=None):
    for y in range(-r, r + 1):
        for x in range(-r, r + 1):
            d = x * x + y * y
            if d <= r * r + r:
                edge = d >= (r - 1) * (r - 1) + (r - 1)
                if edge:
                    c.set(cx + x, cy + y, colour)
                elif fill:
                    c.set(cx + x, cy + y, fill)


def triangle(c, ox, oy, direction, size, colour):
    # A filled triangle whose tip points the given way, in a box of 2 x size - 1 by size.
    for i in range(size):
        for j in range(-i, i + 1):
            if direction == 'left':
                c.set(ox + i, oy + size - 1 + j, colour)
            elif direction == 'right':
                c.set(ox + size - 1 - i, oy + size - 1 + j, colour)
            elif direction == 'up':
                c.set(ox + size - 1 + j, oy + i, colour)
            else:
                c.set(ox + size - 1 + j, oy + size - 1 - i, colour)


def landscape(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, INK, SKY)
    mid = (x0 + x1) // 2
    c.line(x0 + 1, y1 - 1, mid, y0 + (y1 - y0) // 2, GREEN)
    c.line(mid, y0 + (y1 - y0) // 2, x1 - 1, y1 - 1, GREEN)


def magnifier(c, ox, oy, plus):
    disc(c, ox + 6, oy + 6, 5, INK, PAPER)
    c.line(ox + 10, oy + 10, ox + 14, oy + 14, INK)
    c.line(ox + 10, oy + 11, ox + 13, oy + 14, INK)
    c.line(ox + 4, oy + 6, ox + 8, oy + 6, BLUE)
    if plus:
        c.line(ox + 6, oy + 4, ox + 6, oy + 8, BLUE)


def rotate_left(c, ox, oy):
    landscape(c, ox + 5, oy + 7, ox + 14, oy + 14)
    # An arc over the top from right to left, its head pointing down on the left.
    for (x, y) in ((10, 4), (9, 3), (8, 2), (7, 2), (6, 2), (5, 2), (4, 3), (3, 4)):
        c.set(ox + x, oy + y, BLUE)
        c.set(ox + x, oy + y + 1, BLUE)
    triangle(c, ox + 1, oy + 5, 'down', 3, BLUE)


def flip_vertical(c, ox, oy):
    triangle(c, ox + 4, oy + 1, 'up', 4, BLUE)
    for x in range(1, 15, 2):
        c.set(ox + x, oy + 7, INK)
        c.set(ox + x + 1, oy + 8, INK)
    triangle(c, ox + 4, oy + 11, 'down', 4, BLUE)


def unsharp(c, ox, oy):
    # A sharp wedge: a dark and a light half meeting along a crisp edge.
    for y in range(2, 14):
        half = (y - 2) // 2
        for x in range(8 - half - 1, 8 + half + 1):
            c.set(ox + x, oy + y, DARK if x < 8 else YELLOW)
    c.line(ox + 2, oy + 14, ox + 13, oy + 14, INK)


def palette(c, ox, oy):
    colours = [RED, GREEN, BLUE, YELLOW, (240, 140, 40), (140, 60, 180), SKY, WHITE, DARK]
    c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK)
    for i, colour in enumerate(colours):
        x, y = ox + 2 + (i % 3) * 4, oy + 2 + (i // 3) * 4
        c.rect(x, y, x + 3, y + 3, colour, colour)


def select(c, ox, oy):
    c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, PAPER)
    for (x, y) in ((3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5)):
        c.set(ox + x, oy + y, RED)
        c.set(ox + x, oy + y - 1, RED)


def fit(c, ox, oy):
    c.rect(ox + 4, oy + 4, ox + 11, oy + 11, INK, SKY)
    for (x, y, dx, dy) in ((1, 1, 1, 1), (14, 1, -1, 1), (1, 14, 1, -1), (14, 14, -1, -1)):
        c.line(ox + x, oy + y, ox + x + 2 * dx, oy + y + 2 * dy, BLUE)
        c.line(ox + x, oy + y, ox + x + 2 * dx, oy + y, BLUE)
        c.line(ox + x, oy + y, ox + x, oy + y + 2 * dy, BLUE)


def first(c, ox, oy):
    c.rect(ox + 2, oy + 3, ox + 3, oy + 12, GREEN, GREEN)
    triangle(c, ox + 4, oy + 3, 'left', 5, GREEN)
    triangle(c, ox + 9, oy + 3, 'left', 5, GREEN)


def previous(c, ox, oy):
    triangle(c, ox + 3, oy + 2, 'left', 6, GREEN)
    c.rect(ox + 8, oy + 6, ox + 13, oy + 9, GREEN, GREEN)


def autoplay(c, ox, oy):
    disc(c, ox + 7, oy + 7, 7, INK, BLUE)
    triangle(c, ox + 5, oy + 3, 'right', 5, WHITE)


def previous_page(c, ox, oy):
    c.rect(ox + 3, oy + 1, ox + 12, oy + 14, INK, PAPER)
    triangle(c, ox + 4, oy + 4, 'up', 4, BLUE)
    c.rect(ox + 6, oy + 8, ox + 9, oy + 11, BLUE, BLUE)


def grey(c, ox, oy):
    c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK)
    for i, level in enumerate((240, 180, 120, 60)):
        x = ox + 2 + i * 3
        c.rect(x, oy + 2, x + 2, oy + 13, (level, level, level), (level, level, level))


def contrast(c, ox, oy):
    disc(c, ox + 7, oy + 7, 6, INK, WHITE)
    for y in range(-5, 6):
        for x in range(1, 6):
            if x * x + y * y <= 25 + 5 and (x + 1) * (x + 1) + y * y <= 36 + 6:
                c.set(ox + 7 + x, oy + 7 + y, DARK)
    for (x, y) in ((7, 0), (7, 14), (0, 7), (14, 7)):
        c.set(ox + x, oy + y, YELLOW)


def topmost(c, ox, oy):
    c.rect(ox + 1, oy + 5, ox + 10, oy + 14, INK, PAPER)
    c.rect(ox + 5, oy + 1, ox + 14, oy + 10, INK, PAPER)
    c.rect(ox + 5, oy + 1, ox + 14, oy + 3, INK, BLUE)
    triangle(c, ox + 7, oy + 5, 'up', 3, RED)


def mirror(c, ox, oy, horizontal):
    cell = [[c.px[oy + y][ox + x] for x in range(16)] for y in range(16)]
    for y in range(16):
        for x in range(16):
            c.px[oy + y][ox + x] = cell[y][15 - x] if horizontal else cell[15 - y][x]


def drawn(fn, mirrored=None):
    def paint(c, ox, oy):
        fn(c, ox, oy)
        if mirrored is not None:
            mirror(c, ox, oy, mirrored == 'horizontal')
    return paint


def main_glyph(kind):
    return lambda c, ox, oy: draw_main(c, ox, oy, kind)


# In the order of the bitmap: command ids 10104, 10105, 10077, 57607, 10107, 10101, 10100, 10118,
# 10044, 10211, 10212, 10169, 10210, 10168, 10076, 10208, 10002, 32787, 32788, 32796, 32789, 32790,
# 10220, 10219, 10235, 10236, 10194.
GLYPHS = [
    main_glyph('copy'),
    main_glyph('move'),
    main_glyph('delete'),
    main_glyph('print'),
    main_glyph('save'),
    lambda c, ox, oy: magnifier(c, ox, oy, False),
    lambda c, ox, oy: magnifier(c, ox, oy, True),
    drawn(rotate_left),
    drawn(rotate_left, 'horizontal'),
    drawn(flip_vertical),
    lambda c, ox, oy: transposed(c, ox, oy, flip_vertical),
    drawn(unsharp),
    drawn(palette),
    main_glyph('comment'),
    drawn(select),
    main_glyph('fullscreen'),
    drawn(fit),
    drawn(first),
    drawn(previous),
    drawn(autoplay),
    drawn(previous, 'horizontal'),
    drawn(first, 'horizontal'),
    drawn(previous_page),
    drawn(previous_page, 'vertical'),
    drawn(grey),
    drawn(contrast),
    drawn(topmost),
]


def transposed(c, ox, oy, fn):
    fn(c, ox, oy)
    cell = [[c.px[oy + y][ox + x] for x in range(16)] for y in range(16)]
    for y in range(16):
        for x in range(16):
            c.px[oy + y][ox + x] = cell[x][y]


def hot(colour):
    # The hot images are the same pictograms in livelier colours: each colour moves away from its
    # own grey (greys, the ink and the paper stay as they are).
    if colour == MASK:
        return MASK
    grey = sum(colour) / 3
    return tuple(max(0, min(255, round(grey + (v - grey) * 1.4))) for v in colour)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    c = Canvas(16 * len(GLYPHS), 16)
    for i, paint in enumerate(GLYPHS):
        paint(c, 16 * i, 0)
    c.save(os.path.join(res, 'menuimages241.bmp'))
    for y in range(c.h):
        c.px[y] = [hot(p) for p in c.px[y]]
    c.save(os.path.join(res, 'picturetoolbar_hot.bmp'))


if __name__ == '__main__':
    main()
