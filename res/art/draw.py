#!/usr/bin/env python3
"""Writes the add-in's pictures from the drawings below: its icon (marupo.ico), the link's hand
cursor (hand.cur) and the two 16x16 menu bitmaps of its commands (edit_command.bmp, an address
card with a postal mark, and new_command.bmp, the same card with a red-and-yellow star).
Run from the repository root: python3 res/art/draw.py"""
import struct

# The 16 standard VGA colours, in palette order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
       (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# Drawing characters: '.' is transparent, the others palette entries.
INK = {'k': 0, 'r': 9, 'R': 1, 'w': 15, 'g': 7, 'G': 8, 'b': 12, 'y': 11, 'n': 4}
# The menu bitmaps have no transparency: their '.' is the light grey background.
BITMAP_BACKGROUND = 7

# A postcard with the postal mark in red and address lines in grey.
ICON32 = """
................................
................................
................................
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwrrrrrrrrrrrrwwwwwwwwwwwwkG.
..kwwrrrrrrrrrrrrwwwwwrrrrrwwkG.
..kwwwwwwwwwwwwwwwwwwwrwwwrwwkG.
..kwwrrrrrrrrrrrrwwwwwrwwwrwwkG.
..kwwrrrrrrrrrrrrwwwwwrwwwrwwkG.
..kwwwwwwrrrrwwwwwwwwwrrrrrwwkG.
..kwwwwwwrrrrwwwwwwwwwwwwwwwwkG.
..kwwwwwwrrrrwwwwwwwwwwwwwwwwkG.
..kwwwwwwrrrrwwwwwwwwwwwwwwwwkG.
..kwwwwwwrrrrwwwwwwwwwwwwwwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwbbbbbbbbbbbbbbbbbbbbwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwGGGGGGGGGGGGGGGGGGwwwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwGGGGGGGGGGGGGGGwwwwwwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwGGGGGGGGGGGGGGGGGGGGwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kwwwwwwwwwwwwwwwwwwwwwwwwwwkG.
..kkkkkkkkkkkkkkkkkkkkkkkkkkkkG.
...GGGGGGGGGGGGGGGGGGGGGGGGGGGG.
................................
................................
................................
................................
"""

ICON16 = """
................
kkkkkkkkkkkkkkk.
kwwwwwwwwwwwwwkG
kwrrrrrrwwwwwwkG
kwwwwwwwwwrrrwkG
kwrrrrrrwwrwrwkG
kwwwrrwwwwrrrwkG
kwwwrrwwwwwwwwkG
kwwwrrwwwwwwwwkG
kwwwwwwwwwwwwwkG
kwbbbbbbbbbbwwkG
kwwwwwwwwwwwwwkG
kwGGGGGGGGwwwwkG
kwwwwwwwwwwwwwkG
kkkkkkkkkkkkkkkG
.GGGGGGGGGGGGGGG
"""

# A pointing hand; 'k' black outline, 'w' white inside, '.' transparent. Hot spot: the tip of the
# index finger at (13, 2).
HAND = """
................................
................................
.............kk.................
............kwwk................
............kwwk................
............kwwk................
............kwwk................
............kwwkkk..............
............kwwkwwkkk...........
............kwwkwwkwwkk.........
.........kk.kwwkwwkwwkwk........
........kwwkkwwwwwwwwkwwk.......
........kwwwkwwwwwwwwwwwk.......
.........kwwkwwwwwwwwwwwk.......
.........kwwwwwwwwwwwwwwk.......
..........kwwwwwwwwwwwwwk.......
..........kwwwwwwwwwwwwk........
...........kwwwwwwwwwwwk........
...........kwwwwwwwwwwk.........
............kwwwwwwwwwk.........
............kwwwwwwwwwk.........
............kkkkkkkkkkk.........
................................
................................
................................
................................
................................
................................
................................
................................
................................
................................
"""

# The menu bitmaps, top row first.
CARD = """
................
................
................
.nnnnnnnnnnnn...
.nwwwwwwwwwwn...
.nwrrrwwwwwwn...
.nwwwwwGGGGwn...
.nwrrrwwwwwwn...
.nwwrwwGGGGwn...
.nwwrwwwwwwwn...
.nwwwwwGGGGwn...
.nwwwwwwwwwwn...
.nnnnnnnnnnnn...
................
................
................
"""

STAR = """
...........r....
..........ryr...
........rryyyrr.
.........ryyyr..
........ryr.ryr.
........r.....r.
................
................
................
................
................
................
................
................
................
................
"""


def rows(drawing, size):
    lines = [line for line in drawing.strip('\n').split('\n')]
    assert len(lines) == size and all(len(line) == size for line in lines), size
    return lines


def palette():
    return b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in VGA)


def overlay(base, top):
    return [''.join(t if t != '.' else b for b, t in zip(base_row, top_row))
            for base_row, top_row in zip(base, top)]


def bitmap_file(lines):
    """A 16 x 16 BMP file of 16 colours, rows bottom-up."""
    pixels = bytearray()
    for line in reversed(lines):
        indexes = [BITMAP_BACKGROUND if ch == '.' else INK[ch] for ch in line]
        for x in range(0, 16, 2):
            pixels.append(indexes[x] << 4 | indexes[x + 1])
    offset = 14 + 40 + 16 * 4
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, 16, 16, 1, 4, 0, len(pixels), 0, 0, 16, 16)
    return header + info + palette() + bytes(pixels)


def and_mask(lines, size):
    """1 bit per pixel, 1 = transparent; rows padded to 32 bits, bottom-up."""
    out = b''
    stride = ((size + 31) // 32) * 4
    for line in reversed(lines):
        bits = 0
        for x, ch in enumerate(line):
            if ch == '.':
                bits |= 1 << (stride * 8 - 1 - x)
        out += bits.to_bytes(stride, 'big')
    return out


def icon_image(drawing, size):
    lines = rows(drawing, size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    xor = b''
    stride = ((size * 4 + 31) // 32) * 4
    for line in reversed(lines):
        row = bytearray(stride)
        for x, ch in enumerate(line):
            index = 0 if ch == '.' else INK[ch]
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += bytes(row)
    return header + palette() + xor + and_mask(lines, size)


def cursor_image(drawing, size):
    lines = rows(drawing, size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack('BBBB', 0, 0, 0, 0) + struct.pack('BBBB', 255, 255, 255, 0)
    xor = b''
    for line in reversed(lines):
        bits = 0
        for x, ch in enumerate(line):
            if ch == 'w':
                bits |= 1 << (31 - x)
        xor += bits.to_bytes(4, 'big')
    return header + palette + xor + and_mask(lines, size)


def directory(kind, entries):
    """entries: (size, colours, field1, field2, image); fields are planes/bits or hot spot."""
    out = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    data = b''
    for size, colours, field1, field2, image in entries:
        out += struct.pack('<BBBBHHII', size, size, colours, 0, field1, field2, len(image), offset)
        offset += len(image)
        data += image
    return out + data


with open('res/marupo.ico', 'wb') as f:
    f.write(directory(1, [(32, 16, 1, 4, icon_image(ICON32, 32)),
                          (16, 16, 1, 4, icon_image(ICON16, 16))]))
with open('res/hand.cur', 'wb') as f:
    f.write(directory(2, [(32, 2, 13, 2, cursor_image(HAND, 32))]))
card = rows(CARD, 16)
with open('res/edit_command.bmp', 'wb') as f:
    f.write(bitmap_file(card))
with open('res/new_command.bmp', 'wb') as f:
    f.write(bitmap_file(overlay(card, rows(STAR, 16))))
