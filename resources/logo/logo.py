#!/usr/bin/env python3
"""Draws the maker's logo of the About box: a 197 x 74 bitmap in 256 colours.

A morning sky over a moor, a rising sun, larkspur spikes in the foreground and the maker's
name in block letters. Every colour comes from a few ramps, so the picture needs no colour
reduction to fit its palette.

usage: logo.py OUT.bmp
"""
import math
import struct
import sys

WIDTH, HEIGHT = 197, 74

# Block letters, 5 x 7.
GLYPHS = {
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'I': ['#####', '..#..', '..#..', '..#..', '..#..', '..#..', '#####'],
    'G': ['.###.', '#...#', '#....', '#.###', '#...#', '#...#', '.###.'],
    'H': ['#...#', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'T': ['#####', '..#..', '..#..', '..#..', '..#..', '..#..', '..#..'],
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
}


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(a, b, steps, t):
    """The colour of a ramp from a to b with the given number of steps, at 0 <= t <= 1."""
    return mix(a, b, round(max(0.0, min(1.0, t)) * (steps - 1)) / (steps - 1))


def draw():
    sky_top, sky_low = (70, 110, 190), (250, 226, 170)
    moor_far, moor_near = (120, 110, 90), (62, 84, 44)
    image = [[(0, 0, 0)] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            image[y][x] = ramp(sky_top, sky_low, 48, y / 50)
    # The sun, half risen behind the moor.
    cx, cy, r = 150, 50, 16
    for y in range(HEIGHT):
        for x in range(WIDTH):
            d = math.hypot(x - cx, y - cy)
            if d <= r:
                image[y][x] = ramp((255, 250, 200), (250, 180, 60), 12, d / r)
            elif d <= r + 6:
                image[y][x] = mix(image[y][x], (255, 230, 150), 0.5 if d <= r + 3 else 0.25)
    # Two ridges of moor.
    for x in range(WIDTH):
        far = 48 + 4 * math.sin(x / 23.0) + 2 * math.sin(x / 7.0)
        near = 58 + 5 * math.sin(x / 31.0 + 1.3)
        for y in range(HEIGHT):
            if y >= near:
                image[y][x] = ramp(moor_near, (40, 56, 30), 16, (y - near) / 16)
            elif y >= far:
                image[y][x] = ramp(moor_far, moor_near, 16, (y - far) / 12)
    # Larkspur spikes: stalks with florets that grow smaller towards the tip.
    for base_x, top_y in ((10, 16), (19, 24), (27, 12), (36, 28)):
        for y in range(top_y, HEIGHT):
            image[y][base_x] = (40, 90, 40)
        for i, y in enumerate(range(top_y, 62, 4)):
            size = 1 + i // 3
            shade = ramp((150, 110, 230), (70, 40, 160), 10, i / 10)
            for dy in range(-size, size + 1):
                for dx in range(-size - 1, size + 2):
                    if dx * dx + dy * dy <= (size + 0.5) ** 2 and 0 <= y + dy < HEIGHT:
                        image[y + dy][base_x + dx] = shade
    # The name, with a light shadow.
    text, scale = 'BRIGHTMOOR', 2
    left, top = 52, 9
    for shadow, colour in ((1, (255, 255, 240)), (0, (30, 40, 100))):
        for n, letter in enumerate(text):
            for gy, row in enumerate(GLYPHS[letter]):
                for gx, cell in enumerate(row):
                    if cell != '#':
                        continue
                    for sy in range(scale):
                        for sx in range(scale):
                            x = left + n * 6 * scale + gx * scale + sx + shadow
                            y = top + gy * scale + sy + shadow
                            image[y][x] = colour
    return image


def rle8(rows):
    """Run-length encoding of 8-bit rows (bottom row first), runs of one colour only: the
    picture is mostly long runs, and a third of its plain size."""
    out = bytearray()
    for row in rows:
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x] and end - x < 255:
                end += 1
            out += bytes((end - x, row[x]))
            x = end
        out += b'\0\0'  # end of line
    out[-1] = 1  # the last end of line becomes the end of the bitmap
    return bytes(out)


def write_bmp(image, path):
    palette = sorted({c for row in image for c in row})
    if len(palette) > 256:
        sys.exit(f'{len(palette)} colours do not fit a 256-colour bitmap')
    index = {c: i for i, c in enumerate(palette)}
    pixels = rle8([bytes(index[c] for c in row) for row in reversed(image)])
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    BI_RLE8 = 1
    header = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, BI_RLE8, len(pixels), 3780, 3780,
                         len(palette), 0)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(file_header + header + colours + pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    write_bmp(draw(), sys.argv[1])


if __name__ == '__main__':
    main()
