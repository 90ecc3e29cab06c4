#!/usr/bin/env python3
"""Draws the images of the settings dialogs into res/: the options sheet's page icons and tree
images, the cache maintenance dialog's tree and list images, and the thumbnail settings dialog's
sample picture (400 x 267, 256 colours, through ImageMagick's convert). Run from the repository
root; the outputs are committed."""
import os
import subprocess

from make_browser_images import BLUE, GREEN, GREY, INK, PAPER, RED, YELLOW, Canvas, draw, folder, page

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')


def glyph(c, ox, oy, kind):
    if kind == 'folder':
        folder(c, ox, oy)
    elif kind == 'open':
        folder(c, ox, oy, (250, 230, 150))
        c.line(ox + 3, oy + 7, ox + 13, oy + 7, INK)
    elif kind == 'unknown':
        folder(c, ox, oy, GREY)
        c.line(ox + 6, oy + 6, ox + 9, oy + 6, PAPER)
        c.line(ox + 9, oy + 6, ox + 9, oy + 9, PAPER)
        c.line(ox + 8, oy + 9, ox + 8, oy + 10, PAPER)
        c.set(ox + 8, oy + 12, PAPER)
    elif kind == 'page':
        page(c, ox, oy)
    elif kind == 'exists':
        page(c, ox, oy)
        c.line(ox + 5, oy + 8, ox + 7, oy + 11, GREEN)
        c.line(ox + 7, oy + 11, ox + 11, oy + 4, GREEN)
    elif kind == 'missing':
        page(c, ox, oy)
        c.line(ox + 5, oy + 4, ox + 10, oy + 11, RED)
        c.line(ox + 10, oy + 4, ox + 5, oy + 11, RED)
    elif kind == 'nofolder':
        c.rect(ox + 3, oy + 1, ox + 12, oy + 14, GREY, (220, 220, 220))
    elif kind == 'mouse':
        c.rect(ox + 4, oy + 2, ox + 11, oy + 14, INK, PAPER)
        c.line(ox + 4, oy + 6, ox + 11, oy + 6, INK)
        c.line(ox + 7, oy + 2, ox + 7, oy + 6, INK)
    elif kind == 'plugin':
        c.rect(ox + 2, oy + 5, ox + 13, oy + 12, INK, BLUE)
        c.rect(ox + 5, oy + 1, ox + 6, oy + 5, INK, GREY)
        c.rect(ox + 9, oy + 1, ox + 10, oy + 5, INK, GREY)
    elif kind == 'settings':
        c.rect(ox + 2, oy + 2, ox + 13, oy + 13, INK, YELLOW)
        for y in (5, 8, 11):
            c.line(ox + 4, oy + y, ox + 11, oy + y, INK)
    elif kind == 'colours':
        c.rect(ox + 1, oy + 1, ox + 7, oy + 7, INK, RED)
        c.rect(ox + 8, oy + 1, ox + 14, oy + 7, INK, GREEN)
        c.rect(ox + 1, oy + 8, ox + 7, oy + 14, INK, BLUE)
        c.rect(ox + 8, oy + 8, ox + 14, oy + 14, INK, YELLOW)
    else:
        draw(c, ox, oy, kind)


def strip(kinds, name):
    c = Canvas(16 * len(kinds), 16)
    for i, kind in enumerate(kinds):
        glyph(c, 16 * i, 0, kind)
    c.save(os.path.join(RES, name))


def icon(kind, name):
    big, small = Canvas(32, 32), Canvas(16, 16)
    glyph(small, 0, 0, kind)
    for y in range(32):
        for x in range(32):
            big.px[y][x] = small.px[y // 2][x // 2]
    bitmap = os.path.join(RES, name + '.bmp')
    big.save(bitmap)
    subprocess.run(['convert', bitmap, '-transparent', 'magenta', '-define', 'icon:auto-resize=32,16',
                    os.path.join(RES, name + '.ico')], check=True)
    os.remove(bitmap)


PAGE_ICONS = [('settings', 'opt_boot'), ('copy', 'opt_filer'), ('report', 'opt_file'), ('colours', 'opt_config'),
              ('folder', 'opt_folder'), ('edit', 'opt_list'), ('contact', 'opt_view'), ('picture', 'opt_window'),
              ('mouse', 'opt_mouse'), ('save', 'opt_thumb'), ('plugin', 'opt_plugin')]


def sample():
    # A small landscape: sky, sun, hills and a lake, reduced to 256 colours.
    subprocess.run(['convert', '-size', '400x267', 'gradient:#4a90e2-#d8ecff',
                    '-fill', '#ffd84a', '-draw', 'circle 320,60 345,60',
                    '-fill', '#3c8c3c', '-draw', 'ellipse 100,267 220,110 180,360',
                    '-fill', '#2e6e2e', '-draw', 'ellipse 320,267 200,90 180,360',
                    '-fill', '#3070b0', '-draw', 'rectangle 0,230 399,266',
                    '-fill', '#ffffff', '-draw', 'ellipse 90,50 40,14 0,360',
                    '-colors', '256', '-type', 'Palette', '-compress', 'None', 'BMP3:' + os.path.join(RES, 'thumbsample.bmp')],
                   check=True)


def main():
    strip(['folder', 'page'], 'optiontree.bmp')
    strip(['folder', 'open', 'unknown'], 'maintcache_tree.bmp')
    strip(['exists', 'missing', 'nofolder'], 'maintcache_list.bmp')
    for kind, name in PAGE_ICONS:
        icon(kind, name)
    sample()


if __name__ == '__main__':
    main()
