#!/usr/bin/env python3
"""Draws pardim.ico: a parallel dimension (two extension lines, a dimension line with arrows and
its value) on a light-blue tile, at 16, 32 and 48 pixels. Run it again after changing the drawing:
    python3 scripts/make-icon.py src/win/pardim.ico
"""
import struct
import sys

TILE = (187, 235, 244)
FRAME = (30, 80, 150)
EXTENSION = (50, 50, 50)
DIMENSION = (200, 30, 30)
VALUE = (30, 30, 30)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def colour_at(x, y):
    """Colour of the point (x, y) of the unit square, y downwards; None outside the tile."""
    if not in_rounded_rect(x, y, 0.02, 0.02, 0.98, 0.98, 0.16):
        return None
    if not in_rounded_rect(x, y, 0.08, 0.08, 0.92, 0.92, 0.11):
        return FRAME
    if 0.40 <= x <= 0.60 and 0.19 <= y <= 0.28:
        return VALUE
    if in_triangle(x, y, (0.22, 0.42), (0.40, 0.33), (0.40, 0.51)):
        return DIMENSION
    if in_triangle(x, y, (0.78, 0.42), (0.60, 0.33), (0.60, 0.51)):
        return DIMENSION
    if 0.22 <= x <= 0.78 and abs(y - 0.42) <= 0.035:
        return DIMENSION
    if abs(x - 0.22) <= 0.035 and 0.30 <= y <= 0.84:
        return EXTENSION
    if abs(x - 0.78) <= 0.035 and 0.30 <= y <= 0.84:
        return EXTENSION
    return TILE


def render(size, samples=4):
    """Rows top-down of (r, g, b, a), each pixel averaged over samples x samples points."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            n = samples * samples
            row.append((r // a, g // a, b // a, 255 * a // n) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: a 32-bit DIB (bottom-up) followed by its AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def main(path):
    sizes = (16, 32, 48)
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "pardim.ico")
