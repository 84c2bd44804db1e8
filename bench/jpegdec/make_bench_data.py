#!/usr/bin/python3
"""Writes the inputs of the JPEG decoder benchmarks into a folder (the build
tree; nothing here is committed), made by cjpeg from synthetic photographs:

- grey_4096_q90.jpg: 4096 x 4096 grey, quality 90;
- rgb_3840_420.jpg: 3840 x 3840 colour, 4:2:0, quality 90;
- rgb_3840_444.jpg: the same picture 4:4:4;
- rgb_3840_420_prog.jpg: the same picture 4:2:0 progressive;
- mr12_4096_*.dcm: a 4096 x 4096 12-bit MR-like frame in 16-bit words,
  encoded by dcmcjpeg: sv1_p16 (+e1, precision 16), sv1_p12 (the older codec
  forced to 12 bits, +el +sv 1 +pl +bt) and sv7_p16 (+el +sv 7), and their
  codestreams alone (mr12_4096_*.jpg).

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


def mr_frame(side, seed):
    """Soft tissue shading, a bright ring, a dark background and coil noise:
    about 7 bits of entropy per sample at 12 bits."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:side, 0:side].astype(np.float32)
    r = np.hypot(x - side / 2, y - side / 2) / (side / 2)
    body = np.where(r < 0.85, 1400 + 600 * np.cos(x * 0.004) * np.sin(y * 0.003), 30)
    body += np.where(np.abs(r - 0.6) < 0.02, 1800, 0)
    body += rng.normal(0, 25, (side, side))
    return np.clip(np.rint(body), 0, 4095).astype(np.uint16)


def write_mr(out, work):
    import importlib.util
    import pydicom
    # The kernel fixtures' DICOM writer (its module shares the name of the
    # decoder fixtures' one imported above).
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'data', 'jpegkernels',
                        'make_fixtures.py')
    spec = importlib.util.spec_from_file_location('kernel_fixtures', path)
    kernel_fixtures = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(kernel_fixtures)
    source = os.path.join(work, 'mr12.dcm')
    kernel_fixtures.write_dicom(source, mr_frame(4096, 3)[:, :, np.newaxis], 12)
    from pydicom.encaps import generate_pixel_data_frame
    for name, options in [('mr12_4096_sv1_p16', ['+e1']), ('mr12_4096_sv1_p12', ['+el', '+sv', '1', '+pl', '+bt']),
                          ('mr12_4096_sv7_p16', ['+el', '+sv', '7'])]:
        encoded = os.path.join(out, name + '.dcm')
        subprocess.run(['dcmcjpeg'] + options + [source, encoded], check=True)
        # The codestream alone, for the decoder-core benchmarks.
        frame = next(generate_pixel_data_frame(pydicom.dcmread(encoded).PixelData))
        with open(os.path.join(out, name + '.jpg'), 'wb') as f:
            f.write(frame[:frame.rindex(b'\xff\xd9') + 2])
    os.remove(source)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_mr(out, out)
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
