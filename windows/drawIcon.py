#!/usr/bin/env python3
"""Draws the product's icon, zarnoglot.ico, at build time.

A rounded square in the editor's colours (the pink of its edit area, the
dark red of its text) with a bold Z and two lines of "prose" beneath it.
Every size is drawn from the same shapes with supersampling, so the small
ones stay sharp; 16 to 48 pixels are stored as 32-bit bitmaps, 256 pixels as
PNG, as Windows reads them. The output is the same bytes on every run.

    drawIcon.py output.ico
"""
import struct
import sys
import zlib

PINK = (255, 240, 245)
DARK_RED = (84, 0, 0)
SIZES = (16, 24, 32, 48, 256)

# The shapes lie on a grid of sixteenths, so that their edges fall on whole
# pixels at 16, 32, 48 and 256 pixels.
# The Z as one polygon in a unit square, clockwise from its top left corner.
Z_SHAPE = [(4 / 16, 2 / 16), (12 / 16, 2 / 16), (12 / 16, 4 / 16), (7 / 16, 8 / 16), (12 / 16, 8 / 16),
           (12 / 16, 10 / 16), (4 / 16, 10 / 16), (4 / 16, 8 / 16), (9 / 16, 4 / 16), (4 / 16, 4 / 16)]
# The prose beneath it: two bars, the second shorter, as lines of text end.
PROSE_LINES = [(3 / 16, 11 / 16, 13 / 16, 12 / 16), (3 / 16, 13 / 16, 10 / 16, 14 / 16)]
CORNER = 3 / 16    # radius of the square's corners
BORDER = 1 / 16    # width of its dark edge


def inside_polygon(x, y, points):
    inside = False
    previous = points[-1]
    for point in points:
        (x1, y1), (x2, y2) = previous, point
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
        previous = point
    return inside


def inside_rounded_square(x, y, inset):
    """Whether x, y lies in the unit square shrunk by inset, corners rounded."""
    low, high, radius = inset, 1.0 - inset, CORNER - inset
    if not (low <= x <= high and low <= y <= high):
        return False
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sample(x, y):
    """The colour and opacity at one point of the unit square."""
    if not inside_rounded_square(x, y, 0.0):
        return None
    if not inside_rounded_square(x, y, BORDER):
        return DARK_RED
    if inside_polygon(x, y, Z_SHAPE):
        return DARK_RED
    for left, top, right, bottom in PROSE_LINES:
        if left <= x <= right and top <= y <= bottom:
            return DARK_RED
    return PINK


def render(size):
    """Rows of (red, green, blue, alpha) from the top, averaged over samples."""
    steps = 4 if size <= 48 else 2
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            red = green = blue = covered = 0
            for sy in range(steps):
                for sx in range(steps):
                    colour = sample((column + (sx + 0.5) / steps) / size, (row + (sy + 0.5) / steps) / size)
                    if colour is not None:
                        red, green, blue, covered = red + colour[0], green + colour[1], blue + colour[2], covered + 1
            if covered == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append((red // covered, green // covered, blue // covered, 255 * covered // (steps * steps)))
        rows.append(pixels)
    return rows


def bitmap_image(rows):
    """A 32-bit DIB as icons hold it: the header with twice the height, the
    pixels bottom-up in BGRA, and an all-clear AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def png_image(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(sizes):
    images = [png_image(render(size)) if size >= 256 else bitmap_image(render(size)) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        side = 0 if size >= 256 else size   # 0 stands for 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: drawIcon.py output.ico")
    with open(sys.argv[1], "wb") as output:
        output.write(icon_file(SIZES))


if __name__ == "__main__":
    main()
