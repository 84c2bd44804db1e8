#!/usr/bin/python3
"""Makes the lossless JPEG DICOM fixtures of the DICOM reader tests: small
synthetic frames encoded by dcmtk's dcmcjpeg, by gdcm's gdcmconv, and by the
small lossless encoder below (restart intervals, and a Huffman table whose
codes longer than 8 bits share the bits after their first byte), each with
the samples dcmtk's dcmdjpeg decodes from it (<name>.raw: little-endian
words above 8 bits, bytes otherwise, components interleaved).

manifest.txt, one line per file: name columns rows components bits_allocated

Run with Debian's python3 (pydicom, numpy), dcmcjpeg, dcmdjpeg and gdcmconv:
    /usr/bin/python3 tests/data/jpegdec/lossless_dicom/make_lossless_dicom.py
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
import pydicom
import pydicom.data
from pydicom.encaps import encapsulate

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'jpegkernels'))
from make_fixtures import write_dicom  # noqa: E402

LOSSLESS = '1.2.840.10008.1.2.4.57'


def frame(rows, cols, channels, bits, centre, noise, seed):
    """Smooth shading, a sharp edge and noise around `centre`."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:rows, 0:cols]
    planes = []
    for c in range(channels):
        p = centre + (1 << bits) * 0.2 * np.sin(x * 0.2 + c) * np.cos(y * 0.15) + rng.normal(0, noise, (rows, cols))
        p[:, cols // 2:] += (1 << bits) * 0.15 * (1 - 2 * (c % 2))
        planes.append(p)
    image = np.clip(np.rint(np.stack(planes, axis=-1)), 0, (1 << bits) - 1)
    return image.astype(np.uint16 if bits > 8 else np.uint8)


# ---- a small lossless encoder ----

class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc, self.n = 0, 0

    def flush(self):
        while self.n:
            self.put(1, 1)


def canonical_codes(bits, huffval):
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[huffval[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


def predict(sv, ra, rb, rc):
    return [None, ra, rb, rc, ra + rb - rc, ra + ((rb - rc) >> 1), rb + ((ra - rc) >> 1), (ra + rb) >> 1][sv]


def encode_scan(samples, components, precision, sv, pt, restart_rows, codes):
    """The entropy-coded data of one scan of the given components."""
    rows, cols, _ = samples.shape
    data = bytearray()
    w = BitWriter()
    for y in range(rows):
        if restart_rows and y and y % restart_rows == 0:
            w.flush()
            data += w.out + bytes([0xFF, 0xD0 + (y // restart_rows - 1) % 8])
            w = BitWriter()
        first = restart_rows and y % restart_rows == 0 or y == 0
        for x in range(cols):
            for c in components:
                if first:
                    p = 1 << (precision - pt - 1) if x == 0 else samples[y, x - 1, c]
                elif x == 0:
                    p = samples[y - 1, x, c]
                else:
                    p = predict(sv, samples[y, x - 1, c], samples[y - 1, x, c], samples[y - 1, x - 1, c])
                d = int(samples[y, x, c] - p) & 0xFFFF
                if d == 32768:
                    w.put(*codes[16])
                    continue
                d = d - 65536 if d > 32768 else d
                cat = abs(d).bit_length()
                w.put(*codes[cat])
                if cat:
                    w.put(d if d > 0 else d + (1 << cat) - 1, cat)
    w.flush()
    return bytes(data + w.out)


def encode_lossless(image, precision, sv, pt, restart_rows, bits, huffval, separate=False):
    """A SOF3 codestream, all components on DC table 0: one interleaved
    scan, or (separate) one scan per component."""
    rows, cols, comps = image.shape
    codes = canonical_codes(bits, huffval)
    samples = image.astype(np.int64) >> pt

    def segment(marker, body):
        return bytes([0xFF, marker, (len(body) + 2) >> 8, (len(body) + 2) & 0xFF]) + bytes(body)

    stream = bytes([0xFF, 0xD8])
    stream += segment(0xC3, [precision, rows >> 8, rows & 0xFF, cols >> 8, cols & 0xFF, comps] +
                      sum([[c + 1, 0x11, 0] for c in range(comps)], []))
    stream += segment(0xC4, [0x00] + list(bits) + list(huffval))
    if restart_rows:
        interval = restart_rows * cols
        stream += segment(0xDD, [interval >> 8, interval & 0xFF])
    for scan in [[c] for c in range(comps)] if separate else [list(range(comps))]:
        stream += segment(0xDA, [len(scan)] + sum([[c + 1, 0x00] for c in scan], []) + [sv, 0, pt])
        stream += encode_scan(samples, scan, precision, sv, pt, restart_rows, codes)
    return stream + bytes([0xFF, 0xD9])


# A table of all 17 categories whose 9- to 13-bit codes start with two
# different first bytes: their second-level look-ups collide.
SHARED_BITS = [1, 1, 1, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 0, 0, 0]
SHARED_HUFFVAL = [5, 6, 4, 7, 3, 8, 2, 9, 1, 10, 0, 11, 12, 13, 14, 15, 16]
# An ordinary table: categories 0 to 16 by the lengths of dcmtk's default.
PLAIN_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0]
PLAIN_HUFFVAL = list(range(17))


def write_encapsulated(path, native, stream):
    """The native file `native` with the codestream as its pixel data."""
    ds = pydicom.dcmread(native)
    ds.file_meta.TransferSyntaxUID = LOSSLESS
    ds.PixelData = encapsulate([stream])
    ds['PixelData'].VR = 'OB'
    ds.save_as(path, write_like_original=False)


def main():
    cases = []
    with tempfile.TemporaryDirectory() as work:
        sources = {
            'mr12': (frame(20, 48, 1, 12, 1500, 40, 1), 12),
            'ct16': (frame(18, 40, 1, 16, 32768, 900, 2), 16),
            'grey8': (frame(16, 36, 1, 8, 120, 12, 3), 8),
            'rgb8': (frame(14, 30, 3, 8, 128, 10, 4), 8),
        }
        for key, (image, bits) in sources.items():
            write_dicom(os.path.join(work, key + '.dcm'), image, bits)
        dcmtk = [
            ('mr12_e1', 'mr12', ['+e1']),                    # precision 16, predictor 1
            ('mr12_p12', 'mr12', ['+el', '+sv', '1', '+pl', '+bt']),  # precision 12
            ('ct16_sv1', 'ct16', ['+el', '+sv', '1']),
            ('rgb8_sv1', 'rgb8', ['+e1']),
            ('rgb8_sv5', 'rgb8', ['+el', '+sv', '5']),
        ] + [('mr12_sv%d' % sv, 'mr12', ['+el', '+sv', str(sv)]) for sv in range(2, 8)] + [
            ('ct16_sv7_pt2', 'ct16', ['+el', '+sv', '7', '+pt', '2'])]
        for name, key, options in dcmtk:
            subprocess.run(['dcmcjpeg'] + options + [os.path.join(work, key + '.dcm'), os.path.join(HERE, name + '.dcm')],
                           check=True)
            cases.append((name, key))
        subprocess.run(['gdcmconv', '--jpeg', os.path.join(work, 'mr12.dcm'), os.path.join(HERE, 'mr12_gdcm.dcm')],
                       check=True)
        cases.append(('mr12_gdcm', 'mr12'))
        ours = [
            ('ct16_restart2', 'ct16', 16, 1, 0, 2, PLAIN_BITS, PLAIN_HUFFVAL),
            ('mr12_restart1_sv4', 'mr12', 12, 4, 0, 1, PLAIN_BITS, PLAIN_HUFFVAL),
            ('rgb8_restart3_sv6', 'rgb8', 8, 6, 1, 3, PLAIN_BITS, PLAIN_HUFFVAL),
            ('ct16_shared_long_codes', 'ct16', 16, 1, 0, 0, SHARED_BITS, SHARED_HUFFVAL),
            ('mr12_shared_long_codes_sv3', 'mr12', 12, 3, 1, 4, SHARED_BITS, SHARED_HUFFVAL),
            ('rgb8_separate_scans_sv2', 'rgb8', 8, 2, 1, 5, PLAIN_BITS, PLAIN_HUFFVAL),
        ]
        for name, key, precision, sv, pt, restart, bits, huffval in ours:
            image, stored = sources[key]
            stream = encode_lossless(image, precision, sv, pt, restart, bits, huffval, 'separate' in name)
            write_encapsulated(os.path.join(HERE, name + '.dcm'), os.path.join(work, key + '.dcm'), stream)
            cases.append((name, key))
        # pydicom's lossless RGB file made by gdcm: only its decoded samples
        # are kept here.
        cases.append(('SC_rgb_jpeg_gdcm', pydicom.data.get_testdata_file('SC_rgb_jpeg_gdcm.dcm')))
        manifest = []
        for name, key in cases:
            decoded = os.path.join(work, name + '_raw.dcm')
            source = key if os.path.isabs(key) else os.path.join(HERE, name + '.dcm')
            subprocess.run(['dcmdjpeg', source, decoded], check=True)
            ds = pydicom.dcmread(decoded)
            pixels = ds.pixel_array
            with open(os.path.join(HERE, name + '.raw'), 'wb') as f:
                f.write(pixels.astype('<u2' if ds.BitsAllocated > 8 else 'u1').tobytes())
            manifest.append('%s %d %d %d %d' % (name, ds.Columns, ds.Rows, ds.SamplesPerPixel, ds.BitsAllocated))
    with open(os.path.join(HERE, 'manifest.txt'), 'w') as f:
        f.write('\n'.join(manifest) + '\n')


if __name__ == '__main__':
    main()
