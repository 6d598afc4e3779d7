#!/usr/bin/env python3
"""Draws the suite's icons and bitmaps and writes them as .ico and .bmp files.

Every image is drawn here from simple shapes, so the resource files can be made
anew at any time: run `tools/draw_images.py` from the repository root.
"""
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# A small palette shared by all images (16 colours, the classic order).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
CLEAR = None


class Canvas:
    """A grid of palette indexes; None is transparent."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[CLEAR] * width for _ in range(height)]

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0, x0 + 1, y1, colour)
        self.rect(x1 - 1, y0, x1, y1, colour)

    def boxed(self, x0, y0, x1, y1, fill, edge=BLACK):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def scaled(self, unit):
        """A function that maps a 32-pixel design to this canvas's size."""
        return lambda v: v * self.width // unit


def dib_rows(canvas, bits):
    """The colour rows (bottom-up) of an uncompressed DIB at 4 or 8 bits per pixel."""
    rows = []
    for y in reversed(range(canvas.height)):
        indexes = [p if p is not None else 0 for p in canvas.pixels[y]]
        if bits == 4:
            row = bytes((indexes[x] << 4) | indexes[x + 1] for x in range(0, canvas.width, 2))
        else:
            row = bytes(indexes)
        rows.append(row + b"\0" * ((-len(row)) % 4))
    return b"".join(rows)


def mask_rows(canvas):
    rows = []
    for y in reversed(range(canvas.height)):
        bits = 0
        row = bytearray()
        for x in range(canvas.width):
            bits = (bits << 1) | (1 if canvas.pixels[y][x] is None else 0)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        rows.append(bytes(row) + b"\0" * ((-len(row)) % 4))
    return b"".join(rows)


def palette_bytes(bits):
    colours = PALETTE + [(0, 0, 0)] * ((1 << bits) - len(PALETTE))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def icon_image(canvas, bits):
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, bits, 0,
                         0, 0, 0, 1 << bits, 0)
    return header + palette_bytes(bits) + dib_rows(canvas, bits) + mask_rows(canvas)


def write_icon(path, images):
    """images: list of (canvas, bits per pixel)."""
    blobs = [icon_image(c, bits) for c, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (canvas, bits), blob in zip(images, blobs):
        colours = 0 if bits >= 8 else 1 << bits
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, colours, 0, 1,
                           bits, len(blob), offset)
        offset += len(blob)
    write(path, out + b"".join(blobs))


def write_bitmap(path, canvas, bits=4):
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, bits, 0, 0, 0, 0,
                       1 << bits, 0)
    body = info + palette_bytes(bits) + dib_rows(canvas, bits)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + len(palette_bytes(bits)))
    write(path, header + body)


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


# --- the drawings ---------------------------------------------------------------

def folder(size, tab=OLIVE, body=YELLOW):
    c = Canvas(size, size)
    s = c.scaled(32)
    c.boxed(s(2), s(7), s(14), s(11), tab)
    c.boxed(s(2), s(10), s(30), s(27), body)
    return c


def document(size, fold=SILVER, lines=NAVY):
    c = Canvas(size, size)
    s = c.scaled(32)
    c.boxed(s(7), s(3), s(25), s(29), WHITE)
    c.rect(s(19), s(3), s(25), s(9), fold)
    for y in (11, 15, 19, 23):
        c.rect(s(10), s(y), s(22), s(y) + max(1, s(1)), lines)
    return c


def handheld(size):
    """A small handheld: grey case, blue screen, four buttons."""
    c = Canvas(size, size)
    s = c.scaled(32)
    c.boxed(s(6), s(1), s(26), s(31), GREY)
    c.boxed(s(9), s(4), s(23), s(20), BLUE)
    # Four buttons in a row below the screen, spaced in whole pixels so that they
    # stay four apart at 16 pixels too.
    margin = gap = max(1, s(2))
    left, right = s(6) + margin, s(26) - margin
    width = max(1, (right - left - 3 * gap) // 4)
    start = left + (right - left - (4 * width + 3 * gap)) // 2
    for i in range(4):
        x = start + i * (width + gap)
        c.rect(x, s(23), x + width, s(27), SILVER)
    return c


def companion_icon(size):
    """A folder with an arrow: the File Explorer, extended."""
    c = folder(size)
    s = c.scaled(32)
    c.rect(s(12), s(16), s(24), s(20), RED)
    c.rect(s(20), s(13), s(23), s(23), RED)
    c.rect(s(23), s(15), s(25), s(21), RED)
    return c


def setup_icon(size):
    """A folder with a check mark: the setup tool."""
    c = folder(size, tab=TEAL, body=AQUA)
    s = c.scaled(32)
    for i in range(8):
        c.rect(s(9 + i), s(17 + i // 2), s(10 + i), s(19 + i // 2), GREEN)
    for i in range(10):
        c.rect(s(16 + i), s(22 - i), s(17 + i), s(24 - i), GREEN)
    return c


def command_bar_strip():
    """Four 16x16 images in one strip: up folder, new folder, list view, details view."""
    c = Canvas(64, 16)
    # up one level: a folder with an arrow pointing up
    c.boxed(1, 6, 15, 15, YELLOW)
    c.rect(7, 1, 9, 11, NAVY)
    c.rect(5, 3, 11, 4, NAVY)
    # new folder: a folder with a star
    c.boxed(17, 6, 31, 15, YELLOW)
    c.rect(26, 1, 27, 6, RED)
    c.rect(24, 3, 29, 4, RED)
    # list view: two columns of small rows
    for y in (2, 6, 10):
        c.rect(34, y, 37, y + 3, NAVY)
        c.rect(38, y + 1, 41, y + 2, BLACK)
        c.rect(42, y, 45, y + 3, NAVY)
    # details view: rows across the whole width
    for y in (2, 6, 10, 14):
        c.rect(49, y, 51, y + 1, NAVY)
        c.rect(52, y, 63, y + 1, BLACK)
    for row in c.pixels:
        for x in range(len(row)):
            if row[x] is None:
                row[x] = SILVER
    return c


def main():
    write_icon("companion/res/brackenway.ico", [(companion_icon(32), 4), (companion_icon(16), 4)])
    write_icon("vornkit/res/handheld.ico", [(handheld(16), 4), (handheld(32), 4)])
    write_icon("vornkit/res/folder.ico", [(folder(16), 4), (folder(32), 4)])
    write_icon("vornkit/res/document.ico", [(document(16), 4), (document(32), 4)])
    write_bitmap("vornkit/res/commandbar.bmp", command_bar_strip())
    write_icon("setup/res/setup.ico", [(setup_icon(32), 4), (setup_icon(16), 4)])
    write_icon("setup/res/setup256.ico", [(setup_icon(32), 8), (setup_icon(16), 8)])
    return 0


if __name__ == "__main__":
    sys.exit(main())
