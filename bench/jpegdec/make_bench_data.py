#!/usr/bin/python3
"""Writes the inputs of the JPEG decoder benchmarks into a folder (the build
tree; nothing here is committed), made by cjpeg from synthetic photographs:

- grey_4096_q90.jpg: 4096 x 4096 grey, quality 90;
- rgb_3840_420.jpg: 3840 x 3840 colour, 4:2:0, quality 90;
- rgb_3840_444.jpg: the same picture 4:4:4;
- rgb_3840_420_prog.jpg: the same picture 4:2:0 progressive.

Usage: /usr/bin/python3 bench/jpegdec/make_bench_data.py <folder>
"""
import os
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "data", "jpegdec"))
from make_fixtures import write_pnm  # noqa: E402


def photo(side, channels, seed):
    """Smooth shading, edges and sensor-like noise: a photograph's entropy."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:side, 0:side].astype(np.float32)
    planes = []
    for c in range(channels):
        p = 128 + 70 * np.sin(x * 0.011 + c) * np.cos(y * 0.007 - c) + 30 * np.sin((x + y) * 0.05)
        p += np.where(((x // 97) + (y // 83)) % 2 == 0, 25, -25)
        p += rng.normal(0, 6, (side, side))
        planes.append(p)
    return np.clip(np.stack(planes, axis=-1), 0, 255).astype(np.uint8)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    grey, colour = os.path.join(out, 'grey.pgm'), os.path.join(out, 'colour.ppm')
    write_pnm(grey, photo(4096, 1, 1))
    write_pnm(colour, photo(3840, 3, 2))
    jobs = [
        ('grey_4096_q90.jpg', grey, ['-quality', '90', '-grayscale']),
        ('rgb_3840_420.jpg', colour, ['-quality', '90', '-sample', '2x2']),
        ('rgb_3840_444.jpg', colour, ['-quality', '90', '-sample', '1x1']),
        ('rgb_3840_420_prog.jpg', colour, ['-quality', '90', '-sample', '2x2', '-progressive']),
    ]
    for name, source, options in jobs:
        subprocess.run(['cjpeg'] + options + ['-outfile', os.path.join(out, name), source], check=True)
    os.remove(grey)
    os.remove(colour)


if __name__ == '__main__':
    main()
