#!/usr/bin/python3
"""Makes the JPEG streams of the decoder tests with libjpeg-turbo's cjpeg and
python3-pil, from synthetic pictures:

- grey and colour baseline frames in every sampling the decoder offers
  (2x1, 1x2, 2x2, 4x1, 2x2/2x1/2x1), odd sizes (1 x 1, 17 x 9, 4097 x 3),
  restart intervals (in blocks and in rows) and optimised tables;
- progressive frames (cjpeg's own scans, restart intervals in blocks and
  in rows, a scan script with successive approximation and one-component
  scans out of order, and one with a 16-bit quantisation table);
- a sequential frame coded with one component per scan, the scans out of
  component order, each after its own DHT, and one whose Cb and Cr share
  the second scan (which the decoder refuses);
- a CMYK frame (Adobe APP14) written by Pillow.

Run with Debian's python3 (numpy, PIL) and cjpeg:
    /usr/bin/python3 tests/data/jpegdec/make_fixtures.py
"""
import importlib.util
import os
import subprocess
import tempfile

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def _kernel_fixtures():
    """The kernel tests' fixture script, for its PNM writer."""
    path = os.path.join(HERE, '..', 'jpegkernels', 'make_fixtures.py')
    found = importlib.util.spec_from_file_location('kernel_fixtures', path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


write_pnm = _kernel_fixtures().write_pnm


def picture(rows, cols, channels, seed):
    """Smooth shading, a hard-edged block and a noisy corner, kept away from
    0 and 255 so that nothing saturates."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:rows, 0:cols]
    planes = []
    for c in range(channels):
        p = 128 + 60 * np.sin(x * 0.23 + c) * np.cos(y * 0.19 - c) + 0.05 * (x - y)
        p[rows // 4: rows // 2 + 1, cols // 3: cols // 2 + 1] = 190 - 110 * (c % 2)
        p[rows // 2:, : cols // 4 + 1] += rng.normal(0, 18, (rows - rows // 2, cols // 4 + 1))
        planes.append(p)
    return np.clip(np.stack(planes, axis=-1), 24, 232).astype(np.uint8)


# Successive approximation, DC interleaved, AC one component at a time and
# out of component order.
PROGRESSIVE_SCRIPT = """
0,1,2: 0 0 0 1;
2: 1 63 0 0;
0: 1 5 0 2;
1: 1 63 0 0;
0: 6 63 0 2;
0: 1 63 2 1;
0,1,2: 0 0 1 0;
0: 1 63 1 0;
"""

# Sequential, one component per scan, out of order.
SEPARATE_SCANS_SCRIPT = """
2: 0 63 0 0;
0: 0 63 0 0;
1: 0 63 0 0;
"""

# Sequential, Y alone, then Cb and Cr together.
SPLIT_SCANS_SCRIPT = """
0: 0 63 0 0;
1,2: 0 63 0 0;
"""

STREAMS = [
    # name, (rows, cols, channels), cjpeg options
    ('grey', (45, 61, 1), ['-quality', '75', '-grayscale']),
    ('grey_q95_opt', (45, 61, 1), ['-quality', '95', '-grayscale', '-optimize']),
    ('grey_1x1', (1, 1, 1), ['-quality', '75', '-grayscale']),
    ('grey_4097x3', (3, 4097, 1), ['-quality', '80', '-grayscale']),
    ('s444', (45, 61, 3), ['-quality', '80', '-sample', '1x1']),
    ('s422', (45, 61, 3), ['-quality', '80', '-sample', '2x1']),
    ('s440', (45, 61, 3), ['-quality', '80', '-sample', '1x2']),
    ('s420', (45, 61, 3), ['-quality', '80', '-sample', '2x2']),
    ('s411', (45, 61, 3), ['-quality', '80', '-sample', '4x1']),
    ('s422_mixed', (45, 61, 3), ['-quality', '80', '-sample', '2x2,2x1,2x1']),
    ('s420_17x9', (9, 17, 3), ['-quality', '85', '-sample', '2x2']),
    ('s420_1x1', (1, 1, 3), ['-quality', '85', '-sample', '2x2']),
    ('s420_4097x3', (3, 4097, 3), ['-quality', '70', '-sample', '2x2']),
    ('s420_restart', (45, 61, 3), ['-quality', '80', '-sample', '2x2', '-restart', '2B']),
    ('s444_restart1_opt', (45, 61, 3), ['-quality', '90', '-sample', '1x1', '-restart', '1B',
                                        '-optimize']),
    ('grey_restart_rows', (45, 61, 1), ['-quality', '60', '-grayscale', '-restart', '1']),
    ('prog_grey', (45, 61, 1), ['-quality', '85', '-grayscale', '-progressive']),
    ('prog_s420', (45, 61, 3), ['-quality', '85', '-sample', '2x2', '-progressive']),
    ('prog_s444', (45, 61, 3), ['-quality', '85', '-sample', '1x1', '-progressive']),
    ('prog_s422_restart', (45, 61, 3), ['-quality', '85', '-sample', '2x1', '-progressive',
                                        '-restart', '3B']),
    ('prog_s420_17x9', (9, 17, 3), ['-quality', '85', '-sample', '2x2', '-progressive']),
    ('prog_s422_mixed', (45, 61, 3), ['-quality', '85', '-sample', '2x2,2x1,2x1', '-progressive']),
    ('prog_script', (45, 61, 3), ['-quality', '90', '-sample', '2x2', '-scans', 'progressive.txt']),
    ('separate_scans', (45, 61, 3), ['-quality', '80', '-sample', '2x2', '-scans', 'separate.txt']),
    ('separate_scans_opt', (45, 61, 3), ['-quality', '80', '-sample', '1x1', '-optimize',
                                         '-scans', 'separate.txt']),
    ('separate_scans_restart', (45, 61, 3), ['-quality', '80', '-sample', '2x2', '-restart', '3B',
                                             '-scans', 'separate.txt']),
    ('s440_restart1', (45, 61, 3), ['-quality', '80', '-sample', '1x2', '-restart', '1']),
    ('s422_restart3b', (45, 61, 3), ['-quality', '85', '-sample', '2x1', '-restart', '3B']),
    ('s411_17x9_restart1b_opt', (9, 17, 3), ['-quality', '75', '-sample', '4x1', '-restart', '1B',
                                             '-optimize']),
    ('prog_grey_restart1', (45, 61, 1), ['-quality', '70', '-grayscale', '-progressive', '-restart', '1']),
    ('prog_s440_23x31_restart1b', (23, 31, 3), ['-quality', '80', '-sample', '1x2', '-progressive',
                                                '-restart', '1B']),
    ('prog_s411_1x1', (1, 1, 3), ['-quality', '90', '-sample', '4x1', '-progressive']),
    ('split_scans', (45, 61, 3), ['-quality', '80', '-sample', '2x2', '-scans', 'split.txt']),
    # Large enough for one-byte changes of its refinement scans that make a
    # coefficient no zero one is left for in its band (djpeg then finds data
    # left over before the end of image).
    ('prog_grey_128x96', (96, 128, 1), ['-quality', '92', '-grayscale', '-progressive']),
    # Quality 20: table 0 has values over 255 (a 16-bit table), table 1 not.
    ('prog_s420_q20', (45, 61, 3), ['-quality', '20', '-sample', '2x2', '-progressive']),
]


def main():
    with tempfile.TemporaryDirectory() as work:
        for name, text in (('progressive.txt', PROGRESSIVE_SCRIPT),
                           ('separate.txt', SEPARATE_SCANS_SCRIPT),
                           ('split.txt', SPLIT_SCANS_SCRIPT)):
            with open(os.path.join(work, name), 'w') as f:
                f.write(text)
        for seed, (name, (rows, cols, channels), options) in enumerate(STREAMS):
            source = os.path.join(work, name + ('.ppm' if channels == 3 else '.pgm'))
            write_pnm(source, picture(rows, cols, channels, seed))
            options = [os.path.join(work, o) if o.endswith('.txt') else o for o in options]
            subprocess.run(['cjpeg'] + options + ['-outfile', os.path.join(HERE, name + '.jpg'),
                                                  source], check=True)
    cmyk = Image.fromarray(picture(29, 37, 4, 99), 'CMYK')
    cmyk.save(os.path.join(HERE, 'cmyk.jpg'), quality=85)


if __name__ == '__main__':
    main()
