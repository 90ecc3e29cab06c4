#!/usr/bin/env python3
"""Draws the menu images of the main window's other commands: res/menuimages243.bmp, 31
pictograms of 16 x 16 on magenta, the mask colour, in the style of the main tool bar. Run from
anywhere; the output is committed.

The bitmap's places follow the command ids the application maps to it; the places of ids that
name no command of the program stay empty (all mask), since no menu ever shows them."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_browser_images import (BLUE, GREEN, GREY, INK, PAPER, RED, YELLOW,  # noqa: E402
                                 Canvas, draw as draw_main, folder)
from make_picture_toolbar_images import SKY, WHITE, disc, landscape  # noqa: E402

LIGHT_YELLOW = (250, 225, 120)
DISK_GREY = (190, 190, 190)


def fill(c, x0, y0, x1, y1, colour):
    c.rect(x0, y0, x1, y1, colour, colour)


def save_cache(c, ox, oy):
    # A disk whose label is a thumbnail.
    c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, BLUE)
    c.rect(ox + 5, oy + 1, ox + 10, oy + 4, INK, DISK_GREY)
    landscape(c, ox + 3, oy + 7, ox + 12, oy + 14)


def new_page(c, ox, oy):
    # A page with its corner turned down and a spark beside it.
    for y in range(2, 15):
        for x in range(2, 11):
            if x - 2 + (5 - y) < 9 or y > 4:
                c.set(ox + x, oy + y, PAPER)
    c.line(ox + 2, oy + 2, ox + 7, oy + 2, INK)
    c.line(ox + 7, oy + 2, ox + 10, oy + 5, INK)
    c.line(ox + 10, oy + 5, ox + 10, oy + 14, INK)
    c.line(ox + 10, oy + 14, ox + 2, oy + 14, INK)
    c.line(ox + 2, oy + 14, ox + 2, oy + 2, INK)
    for (x, y) in ((8, 3), (8, 4), (9, 4)):
        c.set(ox + x, oy + y, DISK_GREY)
    c.line(ox + 7, oy + 2, ox + 7, oy + 5, INK)
    c.line(ox + 7, oy + 5, ox + 10, oy + 5, INK)
    c.line(ox + 13, oy + 0, ox + 13, oy + 6, YELLOW)
    c.line(ox + 10, oy + 3, ox + 15, oy + 3, YELLOW)
    for (x, y) in ((11, 1), (15, 1), (11, 5), (15, 5)):
        c.set(ox + x, oy + y, YELLOW)


def open_folder(c, ox, oy):
    # The back of a folder and its front flap tipped open.
    c.rect(ox + 1, oy + 4, ox + 12, oy + 13, INK, YELLOW)
    c.rect(ox + 1, oy + 2, ox + 6, oy + 4, INK, YELLOW)
    for t in range(7):
        y = oy + 7 + t
        x0, x1 = ox + 4 - t // 2, ox + 15 - t // 2
        for x in range(x0, x1 + 1):
            edge = t in (0, 6) or x in (x0, x1)
            c.set(x, y, INK if edge else LIGHT_YELLOW)


def drive(c, ox, oy):
    c.rect(ox + 1, oy + 1, ox + 14, oy + 7, INK, DISK_GREY)
    c.line(ox + 3, oy + 5, ox + 8, oy + 5, GREY)
    fill(c, ox + 11, oy + 4, ox + 12, oy + 5, GREEN)
    c.line(ox + 1, oy + 14, ox + 14, oy + 14, INK)


def net_connect(c, ox, oy):
    # A drive on a network line, its cable plugged in.
    drive(c, ox, oy)
    c.line(ox + 7, oy + 8, ox + 7, oy + 13, INK)
    fill(c, ox + 6, oy + 10, ox + 8, oy + 11, GREEN)


def net_disconnect(c, ox, oy):
    # The same drive, its cable cut.
    drive(c, ox, oy)
    c.line(ox + 7, oy + 8, ox + 7, oy + 9, INK)
    c.line(ox + 7, oy + 13, ox + 7, oy + 13, INK)
    for d in (0, 1):
        c.line(ox + 3 + d, oy + 9, ox + 10 + d, oy + 13, RED)
        c.line(ox + 10 + d, oy + 9, ox + 3 + d, oy + 13, RED)


def scissors(c, ox, oy):
    # Two open blades crossing above two finger rings.
    c.line(ox + 4, oy + 0, ox + 9, oy + 9, GREY)
    c.line(ox + 5, oy + 0, ox + 10, oy + 9, INK)
    c.line(ox + 11, oy + 0, ox + 6, oy + 9, GREY)
    c.line(ox + 10, oy + 0, ox + 5, oy + 9, INK)
    disc(c, ox + 4, oy + 12, 2, RED)
    disc(c, ox + 11, oy + 12, 2, RED)


def undo(c, ox, oy):
    # An arrow bending back over the top, its head pointing down at the left.
    for a in range(0, 181, 5):
        x = round(9 + 5 * math.cos(math.radians(a)))
        y = round(10 - 6 * math.sin(math.radians(a)))
        fill(c, ox + x - 1, oy + y, ox + x, oy + y + 1, BLUE)
    for i in range(4):
        c.line(ox + 4 - i, oy + 14 - i, ox + 4 + i, oy + 14 - i, BLUE)


PIXELS_I = ['..##..', '..##..', '......', '.###..', '..##..', '..##..', '..##..', '.####.']
PIXELS_QUESTION = ['.####.', '##..##', '....##', '...##.', '..##..', '..##..', '......', '..##..']


def letters(c, ox, oy, rows, colour):
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == '#':
                c.set(ox + x, oy + y, colour)


def about(c, ox, oy):
    disc(c, ox + 7, oy + 7, 7, INK, BLUE)
    letters(c, ox + 5, oy + 3, PIXELS_I, WHITE)


def context_help(c, ox, oy):
    disc(c, ox + 7, oy + 7, 7, INK, YELLOW)
    letters(c, ox + 5, oy + 3, PIXELS_QUESTION, BLUE)


def large_icons(c, ox, oy):
    # Four large icons, each over its caption.
    for x in (1, 9):
        for y in (1, 9):
            c.rect(ox + x + 1, oy + y, ox + x + 4, oy + y + 3, BLUE, SKY)
            c.line(ox + x, oy + y + 5, ox + x + 5, oy + y + 5, INK)


def small_icons(c, ox, oy):
    # Small icons with their names beside them, in rows of two.
    for x in (1, 9):
        for y in (2, 7, 12):
            fill(c, ox + x, oy + y - 1, ox + x + 2, oy + y + 1, BLUE)
            c.line(ox + x + 4, oy + y, ox + x + 5, oy + y, INK)


def list_view(c, ox, oy):
    # Smaller icons in columns, with longer names.
    for x in (1, 9):
        for y in (1, 5, 9, 13):
            fill(c, ox + x, oy + y, ox + x + 1, oy + y + 1, BLUE)
            c.line(ox + x + 3, oy + y + 1, ox + x + 5, oy + y + 1, INK)


def details(c, ox, oy):
    # A header over rows of an icon, a name and further columns.
    fill(c, ox + 1, oy + 1, ox + 14, oy + 2, GREY)
    c.line(ox + 8, oy + 1, ox + 8, oy + 14, GREY)
    for y in (4, 7, 10, 13):
        fill(c, ox + 1, oy + y, ox + 2, oy + y + 1, BLUE)
        c.line(ox + 4, oy + y + 1, ox + 7, oy + y + 1, INK)
        c.line(ox + 10, oy + y + 1, ox + 14, oy + y + 1, INK)


def picture_copy(c, ox, oy):
    # A picture and its copy.
    landscape(c, ox + 1, oy + 1, ox + 9, oy + 8)
    landscape(c, ox + 5, oy + 6, ox + 14, oy + 14)


def star(c, ox, oy, cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(-90 + 36 * i)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))

    def inside(px, py):
        hit = False
        for i in range(10):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % 10]
            if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit

    mask = {(x, y) for y in range(16) for x in range(16) if inside(x + 0.5, y + 0.5)}
    for (x, y) in mask:
        edge = any((x + dx, y + dy) not in mask for (dx, dy) in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        c.set(ox + x, oy + y, INK if edge else YELLOW)


def plus(c, ox, oy, colour):
    fill(c, ox + 11, oy + 8, ox + 12, oy + 15, colour)
    fill(c, ox + 8, oy + 11, ox + 15, oy + 12, colour)


def cross(c, ox, oy, colour):
    for d in (0, 1):
        c.line(ox + 8 + d, oy + 8, ox + 14 + d, oy + 14, colour)
        c.line(ox + 14 + d, oy + 8, ox + 8 + d, oy + 14, colour)


def quick_access(c, ox, oy):
    star(c, ox, oy, 7, 8, 7.5, 3.4)
    plus(c, ox, oy, GREEN)


def folder_new(c, ox, oy):
    folder(c, ox, oy)
    plus(c, ox, oy, GREEN)


def folder_delete(c, ox, oy):
    folder(c, ox, oy)
    cross(c, ox, oy, RED)


def small_window(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, INK, PAPER)
    fill(c, x0 + 1, y0 + 1, x1 - 1, y0 + 2, BLUE)


def tile(c, ox, oy):
    # Four windows side by side.
    for x in (0, 8):
        for y in (0, 8):
            small_window(c, ox + x + 1, oy + y + 1, ox + x + 7, oy + y + 7)


def main_window(c, ox, oy):
    # The main window: a folder tree beside a grid of thumbnails.
    small_window(c, ox + 0, oy + 1, ox + 15, oy + 14)
    c.line(ox + 5, oy + 4, ox + 5, oy + 13, GREY)
    for y in (5, 8, 11):
        fill(c, ox + 2, oy + y, ox + 3, oy + y + 1, YELLOW)
    for x in (7, 11):
        for y in (5, 9):
            c.rect(ox + x, oy + y, ox + x + 2, oy + y + 2, GREEN, SKY)


def empty(c, ox, oy):
    pass


def main_glyph(kind):
    return lambda c, ox, oy: draw_main(c, ox, oy, kind)


# In the order of the bitmap: command ids 10074, 57600, 57601, 10115, 10116, 57635, 57634, 57637,
# 57643, 57664, 57669, 110, 111, 112, 113, 32777, 10015, 10014, 10106, 10030, 10047, 10082, 10083,
# 10084, 10092, 10111, 10122, 10188, 10189, 126, 127.
GLYPHS = [
    save_cache, new_page, open_folder, net_connect, net_disconnect, scissors, main_glyph('copy'),
    main_glyph('paste'), undo, about, context_help, large_icons, small_icons, list_view, details,
    empty, empty, empty, picture_copy, quick_access, empty, empty, empty,
    empty, folder_new, folder_delete, empty, folder_new, folder_delete, tile, main_window,
]


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    c = Canvas(16 * len(GLYPHS), 16)
    for i, paint in enumerate(GLYPHS):
        paint(c, 16 * i, 0)
    c.save(os.path.join(res, 'menuimages243.bmp'))


if __name__ == '__main__':
    main()
