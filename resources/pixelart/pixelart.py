#!/usr/bin/env python3
"""Turns the text pixel art beside this script into 16-colour Windows icons.

An art file holds one or more square images (32 or 16 rows of as many characters), separated
by blank lines; lines beginning with '#' are comments. Each character is one pixel in the
standard 16-colour palette below; '.' is transparent.

usage: pixelart.py ART.txt OUT.ico
"""
import struct
import sys

PALETTE = {  # character: (red, green, blue), in the order of the standard VGA palette
    'k': (0, 0, 0), 'r': (128, 0, 0), 'g': (0, 128, 0), 'y': (128, 128, 0),
    'b': (0, 0, 128), 'm': (128, 0, 128), 'c': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'R': (255, 0, 0), 'G': (0, 255, 0), 'Y': (255, 255, 0),
    'B': (0, 0, 255), 'M': (255, 0, 255), 'C': (0, 255, 255), 'W': (255, 255, 255),
}
INDEX = {ch: i for i, ch in enumerate(PALETTE)}


def read_images(path):
    images, rows = [], []
    with open(path, encoding='ascii') as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip('\n')
            if line.startswith('#'):
                continue
            if not line.strip():
                if rows:
                    images.append(rows)
                    rows = []
                continue
            bad = set(line) - set(PALETTE) - {'.'}
            if bad:
                sys.exit(f'{path}:{number}: unknown pixel characters {sorted(bad)}')
            rows.append(line)
    if rows:
        images.append(rows)
    for rows in images:
        size = len(rows)
        if size not in (16, 32) or any(len(r) != size for r in rows):
            sys.exit(f'{path}: every image must be 16x16 or 32x32')
    return images


def dib(rows):
    """The icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and 1-bit mask, bottom-up."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE.values())
    colour, mask = b'', b''
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        nibbles = [INDEX.get(ch, 0) for ch in row]
        colour += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        bits = ''.join('1' if ch == '.' else '0' for ch in row)
        packed = int(bits, 2).to_bytes(size // 8, 'big')
        mask += packed + b'\0' * (mask_stride - len(packed))
    return header + palette + colour + mask


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    arts = read_images(sys.argv[1])
    images = [dib(rows) for rows in arts]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, data in zip(arts, images):
        size = len(rows)
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(sys.argv[2], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()
