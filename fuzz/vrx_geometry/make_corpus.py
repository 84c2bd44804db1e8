#!/usr/bin/python3
"""Writes the seed corpus of vrx_geometry_fuzz into corpus/.

Each seed is the target's nine selector bytes (width - 1, height - 1, crop
x, y, width, height, scale width, height, mode) followed by a valid
run-length stream of random binary lines (runs of set pixels as pairs of
inclusive 32-bit little-endian columns, each line closed by the pair
0xFFFFFFFF, 0xFFFFFFFF), or by raw samples for the raw modes.
"""
import os
import random
import struct

END = struct.pack("<2I", 0xFFFFFFFF, 0xFFFFFFFF)


def stream(rng, width, height):
    out = bytearray()
    for _ in range(height):
        x = rng.randrange(3)
        while x < width:
            last = min(width - 1, x + rng.randrange(6))
            out += struct.pack("<2I", x, last)
            x = last + 2 + rng.randrange(5)
        out += END
    return bytes(out)


def main():
    rng = random.Random(15)
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(folder, exist_ok=True)
    seeds = {
        # name: (width, height, crop x, y, w, h, scale w, h, mode)
        "rle_crop_enlarge": (20, 9, 3, 2, 12, 255, 30, 14, 0),
        "rle_shrink_chunks": (40, 20, 0, 0, 255, 255, 13, 7, 4 | 16),
        "rle_scale_then_crop": (17, 5, 1, 1, 9, 3, 51, 10, 8),
        "bits_crop_scale": (30, 8, 5, 1, 17, 6, 45, 3, 1),
        "rgb_subsample": (24, 12, 0, 0, 255, 255, 8, 4, 2),
        "s16_general": (11, 7, 2, 0, 8, 7, 19, 23, 3 | 4),
    }
    for name, (w, h, x, y, cw, ch, sw, sh, mode) in seeds.items():
        head = bytes([w - 1, h - 1, x, y, cw, ch, sw, sh, mode])
        kind = mode & 3
        if kind == 0:
            body = stream(rng, w, h)
        else:
            line = (w * (1 if kind == 1 else 24 if kind == 2 else 16) + 7) // 8
            body = bytes(rng.randrange(256) for _ in range(line * h))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(head + body)


if __name__ == "__main__":
    main()
