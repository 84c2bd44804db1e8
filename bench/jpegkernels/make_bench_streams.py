#!/usr/bin/python3
"""Writes the large streams of the decoding benchmarks into a build directory
(they are not committed):

  grey4096_q90.jpg   4096 x 4096 grey, noisy shading, cjpeg -quality 90
                     (about 2.8 MB of entropy-coded data)
  grey4096_p12_sv1.jpg  4096 x 4096, 12-bit samples, lossless selection
                     value 1, precision 12, written by dcmcjpeg and taken out
                     of the encapsulated pixel data

Usage: make_bench_streams.py OUTPUT_DIR
Needs Debian's python3 (numpy, pydicom), cjpeg and dcmcjpeg.
"""
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'data',
                                'jpegkernels'))
import make_fixtures  # noqa: E402  (DICOM writer and codestream extraction)

SIZE = 4096


def shading(seed, mean, amplitude, noise, top):
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:SIZE, 0:SIZE]
    p = mean + amplitude * np.sin(x * 0.013) * np.cos(y * 0.011) + rng.normal(0, noise, (SIZE, SIZE))
    return np.clip(np.rint(p), 0, top)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        grey = shading(5, 128, 80, 3.3, 255).astype(np.uint8)
        pgm = os.path.join(work, 'grey.pgm')
        with open(pgm, 'wb') as f:
            f.write(b'P5\n%d %d\n255\n' % (SIZE, SIZE))
            f.write(grey.tobytes())
        subprocess.run(['cjpeg', '-quality', '90', '-grayscale', '-outfile',
                        os.path.join(out, 'grey4096_q90.jpg'), pgm], check=True)

        deep = shading(7, 2048, 1200, 20, 4095).astype(np.uint16)[:, :, None]
        source = os.path.join(work, 'p12.dcm')
        encoded = os.path.join(work, 'p12_sv1.dcm')
        make_fixtures.write_dicom(source, deep, 12)
        # The older lossless codec forced to 12 bits keeps precision 12.
        subprocess.run(['dcmcjpeg', '+pl', '+bt', '+el', '+sv', '1', source, encoded], check=True)
        with open(os.path.join(out, 'grey4096_p12_sv1.jpg'), 'wb') as f:
            f.write(make_fixtures.extract_codestream(encoded))


if __name__ == '__main__':
    main()
