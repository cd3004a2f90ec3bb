#!/usr/bin/env python3
"""Draws the project's icons into .ico files.

  make_icon.py src/resources/orvo.ico          Orvo's icon: a coffee-bean orange disc
                                               with a light ring (16, 32, 48 pixels)
  make_icon.py --hello samples/hello/hello.ico the sample application's own icon: a
                                               green tile with a white bar (16, 32, 48,
                                               and 256 pixels stored as PNG)

The icons are generated rather than drawn by hand so that they can be changed in code
review; run this again after editing and commit the .ico it writes.
"""
import math
import struct
import sys
import zlib


def orvo_pixel(x, y, size):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 0.96:
        return (0, 0, 0, 0)
    if r > 0.80:
        return (0x2b, 0x4c, 0x7e, 255)          # dark blue rim
    if 0.42 < r < 0.60:
        return (0xf4, 0xf1, 0xe8, 255)          # light ring: the "O"
    return (0xe8, 0x7a, 0x1d, 255)              # orange body


def hello_pixel(x, y, size):
    u, v = (x + 0.5) / size, (y + 0.5) / size   # 0..1 from the top left
    corner = 0.18
    dx, dy = max(corner - u, u - (1 - corner), 0), max(corner - v, v - (1 - corner), 0)
    if u < 0.04 or u > 0.96 or v < 0.04 or v > 0.96 or math.hypot(dx, dy) > corner - 0.04:
        return (0, 0, 0, 0)
    if 0.25 < u < 0.75 and 0.40 < v < 0.60:
        return (0xff, 0xff, 0xff, 255)          # white bar across the middle
    return (0x2e, 0x9d, 0x4c, 255)              # green tile


def dib(pixel, size):
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


def png(pixel, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y, size)) for x in range(size)) for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_icon(path, images):
    """images: (size, data) pairs; a size of 256 is stored as 0 in the directory."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def main(args):
    if args[0] == "--hello":
        write_icon(args[1], [(s, dib(hello_pixel, s)) for s in (16, 32, 48)] + [(256, png(hello_pixel, 256))])
    else:
        write_icon(args[0], [(s, dib(orvo_pixel, s)) for s in (16, 32, 48)])


if __name__ == "__main__":
    main(sys.argv[1:])
