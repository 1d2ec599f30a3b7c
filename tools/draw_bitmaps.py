#!/usr/bin/env python3
"""Draws the program's bitmaps and icon in the flat dark palette.

Writes title.bmp (217), close.bmp (237), minimize.bmp (238), restore.bmp (239), logo.bmp (240)
and tapwise.ico (128) into the folder given as the first argument. Standard library only; the
BMP and ICO bytes are written by hand.
"""
import struct
import sys
from pathlib import Path

DARK = (51, 51, 51)
PAGE = (69, 69, 69)
LINE = (100, 100, 100)
DIM = (164, 164, 164)
TEXT = (220, 220, 220)
BRIGHT = (242, 242, 242)
LAMP = (255, 220, 0)
KEY = (160, 160, 160)
GOOD = (160, 255, 160)

# 5 x 7 capitals for the title.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "/": ["....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."],
    " ": ["....."] * 7,
}


class Image:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour + (255,) for _ in range(width)] for _ in range(height)]

    def set(self, x, y, colour, alpha=255):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour + (alpha,)

    def fill(self, left, top, right, bottom, colour, alpha=255):
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, colour, alpha)

    def frame(self, left, top, right, bottom, colour, width=1):
        for i in range(width):
            for x in range(left, right):
                self.set(x, top + i, colour)
                self.set(x, bottom - 1 - i, colour)
            for y in range(top, bottom):
                self.set(left + i, y, colour)
                self.set(right - 1 - i, y, colour)

    def key(self, left, top, right, bottom, fill, outline=BRIGHT):
        """A key face as the keyboard view draws it: outline 1 pixel inside, cut corners."""
        self.fill(left + 1, top + 1, right - 1, bottom - 1, fill)
        self.frame(left + 1, top + 1, right - 1, bottom - 1, outline)
        for x, y in ((left + 1, top + 1), (right - 2, top + 1), (left + 1, bottom - 2),
                     (right - 2, bottom - 2)):
            self.set(x, y, DARK, 0)

    def text(self, x, y, string, colour, scale=1):
        for ch in string:
            rows = GLYPHS[ch]
            for gy, row in enumerate(rows):
                for gx, cell in enumerate(row):
                    if cell == "#":
                        self.fill(x + gx * scale, y + gy * scale, x + (gx + 1) * scale,
                                  y + (gy + 1) * scale, colour)
            x += 6 * scale

    def paste(self, other, x, y):
        for oy in range(other.height):
            for ox in range(other.width):
                r, g, b, a = other.pixels[oy][ox]
                self.set(x + ox, y + oy, (r, g, b), a)


def bmp_bytes(image):
    row_size = (image.width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(image.pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        data += line
    header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height, 1, 24, 0, len(data),
                         2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 54)
    return file_header + header + bytes(data)


def ico_bytes(images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for image in images:
        xor = bytearray()
        for row in reversed(image.pixels):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_row = ((image.width + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(image.pixels):
            bits = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", image.width % 256, image.height % 256, 0, 0, 1,
                                   32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def stacked(width, height, draw):
    """Normal image above hover image, each width x height."""
    image = Image(width, height * 2, DARK)
    for hover in (False, True):
        frame = Image(width, height, LINE if hover else DARK)
        draw(frame, hover)
        image.paste(frame, 0, height if hover else 0)
    return image


def title():
    image = Image(608, 23, DARK)
    # A small keyboard: two rows of keys, the last one pressed good.
    for i in range(4):
        image.key(6 + i * 7, 4, 13 + i * 7, 11, KEY)
        image.key(6 + i * 7, 11, 13 + i * 7, 18, GOOD if i == 3 else KEY)
    image.text(42, 8, "TAPWISE", TEXT)
    image.text(92, 8, "KEYBOARD TESTER", DIM)
    image.fill(0, 22, 608, 23, LINE)
    return image


def cross(frame, hover):
    colour = BRIGHT if hover else TEXT
    cx, cy = frame.width // 2, frame.height // 2
    for d in range(-4, 5):
        frame.set(cx + d, cy + d, colour)
        frame.set(cx + d, cy - d, colour)
        frame.set(cx + d - 1, cy + d, colour)
        frame.set(cx + d - 1, cy - d, colour)


def dash(frame, hover):
    frame.fill(8, 12, 17, 13, BRIGHT if hover else TEXT)


def box(frame, hover):
    frame.frame(8, 5, 17, 13, BRIGHT if hover else TEXT)
    frame.fill(8, 6, 17, 7, BRIGHT if hover else TEXT)


def logo(frame, hover):
    frame.fill(0, 0, frame.width, frame.height, DARK)
    frame.key(4, 2, 34, 32, GOOD if hover else KEY)
    frame.text(12, 9, "T", DARK if hover else DARK, scale=2)
    if hover:
        frame.fill(27, 5, 31, 9, LAMP)


def icon(size):
    image = Image(size, size, DARK)
    for y in range(size):
        for x in range(size):
            image.set(x, y, DARK, 0)
    margin = max(1, size // 16)
    image.fill(margin, margin, size - margin, size - margin, DARK)
    unit = (size - 2 * margin) // 2
    image.key(margin, margin, margin + unit, margin + unit, KEY)
    image.key(margin + unit, margin, size - margin, margin + unit, GOOD)
    image.key(margin, margin + unit, size - margin, size - margin, KEY)
    if size >= 32:
        image.fill(size - margin - 8, margin + unit + 4, size - margin - 4, margin + unit + 8, LAMP)
    return image


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    files = {
        "title.bmp": bmp_bytes(title()),
        "close.bmp": bmp_bytes(stacked(46, 18, cross)),
        "minimize.bmp": bmp_bytes(stacked(25, 18, dash)),
        "restore.bmp": bmp_bytes(stacked(25, 18, box)),
        "logo.bmp": bmp_bytes(stacked(38, 33, logo)),
        "tapwise.ico": ico_bytes([icon(16), icon(32), icon(48)]),
    }
    for name, data in files.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
