#!/usr/bin/env python3
"""Writes the tiny images the platform's resource tests compile into their .rc:
an icon with a 16x16 and a 32x32 image (16 colours) and a 64x16 command-bar strip
of four 16x16 images (16 colours). Run from anywhere; the files land in
tests/platform/resources/res/."""
import pathlib
import struct

OUT = pathlib.Path(__file__).resolve().parent.parent / "tests/platform/resources/res"

# The 16 standard colours as blue, green, red, reserved.
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
    (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
    (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 16, 0)


def rows_4bpp(width, height, colour_at):
    """Bottom-up rows of 4-bit pixels, each row padded to 4 bytes."""
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            c = colour_at(x, y) & 0xF
            row[x // 2] |= c << (4 if x % 2 == 0 else 0)
        data += row
    return bytes(data)


def mask_rows(width, height):
    stride = ((width + 31) // 32) * 4
    return bytes(stride * height)  # all opaque


def icon_image(size):
    # A framed square: the border and the inside in different colours.
    def colour(x, y):
        edge = x in (0, size - 1) or y in (0, size - 1)
        return 0 if edge else 11
    pixels = rows_4bpp(size, size, colour)
    mask = mask_rows(size, size)
    return info_header(size, size * 2, 4, len(pixels) + len(mask)) + palette_bytes() + pixels + mask


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    path.write_bytes(header + entries + b"".join(images))


def write_strip(path, width, height):
    # Each 16x16 cell gets its own colour so the images differ.
    pixels = rows_4bpp(width, height, lambda x, y: 1 + (x // 16) * 3)
    info = info_header(width, height, 4, len(pixels)) + palette_bytes()
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    path.write_bytes(file_header + info + pixels)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    write_icon(OUT / "test.ico", [16, 32])
    write_strip(OUT / "strip.bmp", 64, 16)


if __name__ == "__main__":
    main()
