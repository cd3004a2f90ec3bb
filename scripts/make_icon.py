#!/usr/bin/env python3
"""Draws Orvo's icon (a coffee-bean orange disc with a light ring) into an .ico file.

The icon is generated rather than drawn by hand so that it can be changed in code
review; run it again after editing and commit the .ico it writes.
"""
import math
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 0.96:
        return (0, 0, 0, 0)
    if r > 0.80:
        return (0x2b, 0x4c, 0x7e, 255)          # dark blue rim
    if 0.42 < r < 0.60:
        return (0xf4, 0xf1, 0xe8, 255)          # light ring: the "O"
    return (0xe8, 0x7a, 0x1d, 255)              # orange body


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):           # bottom-up DIB
        row = b"".join(struct.pack("BBBB", b, g, r, a)
                       for (r, g, b, a) in (pixel(x, y, size) for x in range(size)))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
