#!/usr/bin/env python3
"""Draws the main frame's tool-bar images (small pictograms on magenta, the mask colour; the
picture window's are drawn by make_picture_toolbar_images.py, the other commands' menu images by
make_menu_images.py) and the program icon (through ImageMagick's convert) into res/. Run from the
repository root; the outputs are committed."""
import os
import struct
import subprocess

MASK = (255, 0, 255)
INK = (40, 40, 40)
BLUE = (30, 80, 200)
GREEN = (20, 140, 60)
RED = (200, 40, 40)
YELLOW = (230, 190, 40)
PAPER = (250, 250, 250)
GREY = (150, 150, 150)


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[MASK] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.set(x, y, c)
                elif fill:
                    self.set(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def arrow(self, ox, oy, direction, c):
        # A filled triangle pointing left, right, up or down in a 10 x 10 box.
        for i in range(5):
            for j in range(-i, i + 1):
                if direction == 'left':
                    self.set(ox + 2 + i, oy + 5 + j, c)
                elif direction == 'right':
                    self.set(ox + 8 - i, oy + 5 + j, c)
                elif direction == 'up':
                    self.set(ox + 5 + j, oy + 2 + i, c)
                else:
                    self.set(ox + 5 + j, oy + 8 - i, c)

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for (r, g, b) in self.px[y]:
                line += bytes((b, g, r))
            line += b'\0' * (row - len(line))
            data += line
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + data)


def page(c, ox, oy):
    c.rect(ox + 3, oy + 1, ox + 12, oy + 14, INK, PAPER)


def folder(c, ox, oy, fill=YELLOW):
    c.rect(ox + 1, oy + 4, ox + 14, oy + 13, INK, fill)
    c.rect(ox + 1, oy + 2, ox + 6, oy + 4, INK, fill)


def draw(c, ox, oy, kind):
    k = kind
    if k == 'back':
        c.arrow(ox + 1, oy + 2, 'left', GREEN)
        c.line(ox + 7, oy + 7, ox + 13, oy + 7, GREEN)
    elif k == 'forward':
        c.arrow(ox + 4, oy + 2, 'right', GREEN)
        c.line(ox + 2, oy + 7, ox + 8, oy + 7, GREEN)
    elif k == 'prevpage':
        page(c, ox, oy)
        c.arrow(ox + 2, oy + 3, 'left', BLUE)
    elif k == 'nextpage':
        page(c, ox, oy)
        c.arrow(ox + 4, oy + 3, 'right', BLUE)
    elif k == 'up':
        folder(c, ox, oy)
        c.arrow(ox + 3, oy + 3, 'up', GREEN)
    elif k == 'copy':
        c.rect(ox + 1, oy + 1, ox + 9, oy + 10, INK, PAPER)
        c.rect(ox + 5, oy + 5, ox + 14, oy + 14, INK, PAPER)
    elif k == 'move':
        page(c, ox, oy)
        c.arrow(ox + 4, oy + 3, 'right', RED)
    elif k == 'rename':
        c.rect(ox + 1, oy + 4, ox + 14, oy + 11, INK, PAPER)
        c.line(ox + 4, oy + 6, ox + 4, oy + 9, INK)
        c.line(ox + 6, oy + 9, ox + 11, oy + 9, BLUE)
    elif k == 'edit':
        page(c, ox, oy)
        c.line(ox + 2, oy + 14, ox + 13, oy + 3, BLUE)
    elif k == 'delete':
        c.line(ox + 2, oy + 2, ox + 13, oy + 13, RED)
        c.line(ox + 3, oy + 2, ox + 13, oy + 12, RED)
        c.line(ox + 13, oy + 2, ox + 2, oy + 13, RED)
        c.line(ox + 12, oy + 2, ox + 2, oy + 12, RED)
    elif k == 'save':
        c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, BLUE)
        c.rect(ox + 4, oy + 1, ox + 11, oy + 6, INK, PAPER)
    elif k == 'extract':
        c.rect(ox + 2, oy + 7, ox + 13, oy + 14, INK, YELLOW)
        c.arrow(ox + 3, oy, 'down', GREEN)
    elif k == 'print':
        c.rect(ox + 1, oy + 6, ox + 14, oy + 11, INK, GREY)
        c.rect(ox + 4, oy + 1, ox + 11, oy + 6, INK, PAPER)
        c.rect(ox + 4, oy + 11, ox + 11, oy + 14, INK, PAPER)
    elif k in ('smaller', 'larger'):
        c.rect(ox + 1, oy + 1, ox + 10, oy + 10, INK, PAPER)
        c.line(ox + 10, oy + 10, ox + 14, oy + 14, INK)
        c.line(ox + 3, oy + 5, ox + 8, oy + 5, BLUE)
        if k == 'larger':
            c.line(ox + 5, oy + 3, ox + 5, oy + 8, BLUE)
    elif k == 'comment':
        c.rect(ox + 1, oy + 2, ox + 14, oy + 10, INK, YELLOW)
        c.line(ox + 4, oy + 10, ox + 3, oy + 14, INK)
    elif k == 'selectall':
        for y in (1, 8):
            for x in (1, 8):
                c.rect(ox + x, oy + y, ox + x + 5, oy + y + 5, BLUE, BLUE)
    elif k == 'filter':
        for i in range(7):
            c.line(ox + 1 + i, oy + 2 + i, ox + 14 - i, oy + 2 + i, BLUE)
        c.rect(ox + 7, oy + 9, ox + 8, oy + 14, BLUE, BLUE)
    elif k == 'picture':
        c.rect(ox + 1, oy + 2, ox + 14, oy + 13, INK, (120, 180, 240))
        c.line(ox + 2, oy + 12, ox + 7, oy + 7, GREEN)
        c.line(ox + 7, oy + 7, ox + 13, oy + 12, GREEN)
    elif k == 'fullscreen':
        c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, (20, 20, 20))
        c.rect(ox + 4, oy + 4, ox + 11, oy + 11, PAPER, (120, 180, 240))
    elif k == 'html':
        c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, PAPER)
        c.line(ox + 5, oy + 4, ox + 2, oy + 7, BLUE)
        c.line(ox + 2, oy + 7, ox + 5, oy + 10, BLUE)
        c.line(ox + 10, oy + 4, ox + 13, oy + 7, BLUE)
        c.line(ox + 13, oy + 7, ox + 10, oy + 10, BLUE)
    elif k == 'contact':
        c.rect(ox + 1, oy + 1, ox + 14, oy + 14, INK, PAPER)
        for y in (3, 9):
            for x in (3, 9):
                c.rect(ox + x, oy + y, ox + x + 3, oy + y + 3, BLUE, BLUE)
    elif k == 'report':
        page(c, ox, oy)
        for y in (4, 7, 10):
            c.line(ox + 5, oy + y, ox + 10, oy + y, INK)
    elif k == 'refresh':
        for (x, y) in ((7, 2), (10, 3), (12, 6), (12, 9), (10, 12), (7, 13), (4, 12), (2, 9), (2, 6)):
            c.rect(ox + x, oy + y, ox + x + 1, oy + y + 1, GREEN, GREEN)
        c.arrow(ox + 1, oy, 'left', GREEN)
    elif k == 'archive':
        c.rect(ox + 1, oy + 4, ox + 14, oy + 14, INK, (200, 150, 90))
        c.rect(ox + 1, oy + 1, ox + 14, oy + 4, INK, (220, 170, 110))
        c.line(ox + 7, oy + 1, ox + 7, oy + 14, INK)
    elif k == 'subfolder':
        folder(c, ox, oy)
        c.rect(ox + 7, oy + 8, ox + 13, oy + 13, INK, (240, 220, 120))
    elif k == 'sync':
        c.arrow(ox + 4, oy - 1, 'right', BLUE)
        c.arrow(ox + 1, oy + 6, 'left', BLUE)
    elif k == 'paste':
        c.rect(ox + 2, oy + 2, ox + 11, oy + 14, INK, (200, 150, 90))
        c.rect(ox + 6, oy + 6, ox + 14, oy + 14, INK, PAPER)
    else:  # a plain glyph for menu images without a picture of their own
        seed = sum(ord(ch) for ch in k)
        colour = ((seed * 53) % 200 + 30, (seed * 97) % 200 + 30, (seed * 31) % 200 + 30)
        c.rect(ox + 2, oy + 2, ox + 13, oy + 13, INK, colour)
        c.line(ox + 4, oy + 4 + seed % 8, ox + 11, oy + 4 + (seed // 8) % 8, PAPER)


TOOLBAR = ['back', 'forward', 'prevpage', 'nextpage', 'copy', 'move', 'rename', 'edit', 'delete', 'save',
           'extract', 'print', 'smaller', 'larger', 'comment', 'selectall', 'filter', 'picture', 'fullscreen',
           'html', 'contact', 'report', 'refresh', 'archive', 'subfolder', 'sync', 'glyph26', 'up', 'copy',
           'paste']


def strip(kinds, scale, path):
    c = Canvas(16 * scale * len(kinds), 16 * scale)
    small = Canvas(16 * len(kinds), 16)
    for i, kind in enumerate(kinds):
        draw(small, 16 * i, 0, kind)
    for y in range(c.h):
        for x in range(c.w):
            c.px[y][x] = small.px[y // scale][x // scale]
    c.save(path)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    strip(TOOLBAR, 1, os.path.join(res, 'maintoolbar.bmp'))
    strip(TOOLBAR, 2, os.path.join(res, 'maintoolbar_large.bmp'))
    icon = Canvas(32, 32)
    small = Canvas(16, 16)
    draw(small, 0, 0, 'picture')
    for y in range(32):
        for x in range(32):
            icon.px[y][x] = small.px[y // 2][x // 2]
    bitmap = os.path.join(res, 'vyx_icon.bmp')
    icon.save(bitmap)
    subprocess.run(['convert', bitmap, '-transparent', 'magenta', '-define', 'icon:auto-resize=32,16',
                    os.path.join(res, 'Vyx.ico')], check=True)
    os.remove(bitmap)


if __name__ == '__main__':
    main()
