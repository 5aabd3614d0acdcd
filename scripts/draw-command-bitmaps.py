#!/usr/bin/env python3
"""Draws the two 16x16 menu bitmaps of the add-in's commands (16 VGA colours, light grey
background) into res/: edit_command.bmp (an address card with a postal mark) and
new_command.bmp (the same card with a red-and-yellow star at the top right).

Run from the repository root: scripts/draw-command-bitmaps.py
"""
import struct
from pathlib import Path

# The standard VGA palette, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
COLOURS = {".": 7, "k": 0, "n": 4, "w": 15, "r": 9, "g": 8, "y": 11}

# Top row first. "." is the light grey background.
CARD = [
    "................",
    "................",
    "................",
    ".nnnnnnnnnnnn...",
    ".nwwwwwwwwwwn...",
    ".nwrrrwwwwwwn...",
    ".nwwwwwggggwn...",
    ".nwrrrwwwwwwn...",
    ".nwwrwwggggwn...",
    ".nwwrwwwwwwwn...",
    ".nwwwwwggggwn...",
    ".nwwwwwwwwwwn...",
    ".nnnnnnnnnnnn...",
    "................",
    "................",
    "................",
]
STAR = [
    "...........r....",
    "..........ryr...",
    "........rryyyrr.",
    ".........ryyyr..",
    "........ryr.ryr.",
    "........r.....r.",
]


def overlay(base, top):
    rows = [list(row) for row in base]
    for y, row in enumerate(top):
        for x, pixel in enumerate(row):
            if pixel != ".":
                rows[y][x] = pixel
    return ["".join(row) for row in rows]


def bmp(rows):
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        indexes = [COLOURS[p] for p in row]
        for x in range(0, 16, 2):
            pixels.append(indexes[x] << 4 | indexes[x + 1])
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, len(pixels), 0, 0, 16, 16)
    return header + info + palette + bytes(pixels)


def main():
    res = Path(__file__).resolve().parent.parent / "res"
    (res / "edit_command.bmp").write_bytes(bmp(CARD))
    (res / "new_command.bmp").write_bytes(bmp(overlay(CARD, STAR)))


if __name__ == "__main__":
    main()
