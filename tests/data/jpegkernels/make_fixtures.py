#!/usr/bin/python3
"""Makes the JPEG fixtures of the kernel tests and benchmarks.

baseline/: sequential Huffman JPEG files written by libjpeg-turbo's cjpeg
from synthetic images (grey and colour, qualities 5 to 100, restart
intervals, optimised tables, several samplings). The tests take their
reference coefficients from libjpeg's jpeg_read_coefficients.

lossless/: lossless JPEG codestreams written by dcmtk's dcmcjpeg (selection
values 1 to 7, precisions 8, 12 and 16, point transforms 0 to 2, one and
three components), taken out of the encapsulated DICOM pixel data, with the
source samples they were made from (*.raw, little-endian, components
interleaved) and manifest.txt:
    codestream source columns rows components bits

Run with Debian's python3 (pydicom, numpy), cjpeg and dcmcjpeg:
    /usr/bin/python3 tests/data/jpegkernels/make_fixtures.py
"""
import os
import subprocess
import tempfile

import numpy as np
import pydicom
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.encaps import generate_pixel_data_frame
from pydicom.uid import ExplicitVRLittleEndian

HERE = os.path.dirname(os.path.abspath(__file__))


def smooth(rows, cols, phase):
    y, x = np.mgrid[0:rows, 0:cols]
    return np.sin(x * 0.21 + phase) * np.cos(y * 0.17 - phase) + 0.01 * (x + y)


def photo(rows, cols, channels, seed):
    """A synthetic 8-bit picture: smooth shading, a hard-edged block, noise."""
    rng = np.random.default_rng(seed)
    planes = []
    for c in range(channels):
        p = 128 + 90 * smooth(rows, cols, c * 0.9)
        p[rows // 4: rows // 2, cols // 3: cols // 2] = 250 - 200 * (c % 2)
        p[rows // 2:, : cols // 4] += rng.normal(0, 40, (rows - rows // 2, cols // 4))
        planes.append(p)
    return np.clip(np.stack(planes, axis=-1), 0, 255).astype(np.uint8)


def write_pnm(path, image):
    channels = image.shape[2]
    with open(path, 'wb') as f:
        f.write(b'P%d\n%d %d\n255\n' % (6 if channels == 3 else 5, image.shape[1], image.shape[0]))
        f.write(image.tobytes())


BASELINE = [
    # name, source, cjpeg options
    ('c_q5_420', 'colour', ['-quality', '5']),
    ('c_q50_420_r1', 'colour', ['-quality', '50', '-restart', '1']),
    ('c_q75_422_opt', 'colour', ['-quality', '75', '-sample', '2x1', '-optimize']),
    ('c_q90_444_r3b', 'colour', ['-quality', '90', '-sample', '1x1', '-restart', '3B']),
    ('c_q100_444_opt', 'colour', ['-quality', '100', '-sample', '1x1', '-optimize']),
    ('c_q30_411_r2b', 'colour', ['-quality', '30', '-sample', '4x1', '-restart', '2B', '-baseline']),
    ('g_q5', 'grey', ['-quality', '5', '-grayscale']),
    ('g_q40_opt', 'grey', ['-quality', '40', '-grayscale', '-optimize']),
    ('g_q65_r2b', 'grey', ['-quality', '65', '-grayscale', '-restart', '2B']),
    ('g_q95_r1_opt', 'grey', ['-quality', '95', '-grayscale', '-restart', '1', '-optimize']),
    ('g_q100', 'grey', ['-quality', '100', '-grayscale']),
]


def make_baseline(work):
    out = os.path.join(HERE, 'baseline')
    os.makedirs(out, exist_ok=True)
    sources = {'colour': photo(21, 37, 3, 1), 'grey': photo(21, 37, 3, 2)}
    for key, image in sources.items():
        write_pnm(os.path.join(work, key + '.ppm'), image)
    for name, source, options in BASELINE:
        subprocess.run(['cjpeg'] + options + ['-outfile', os.path.join(out, name + '.jpg'),
                                              os.path.join(work, source + '.ppm')], check=True)
    # A larger colour stream for the benchmarks.
    write_pnm(os.path.join(work, 'bench.ppm'), photo(96, 128, 3, 3))
    subprocess.run(['cjpeg', '-quality', '75', '-outfile', os.path.join(HERE, 'bench_baseline.jpg'),
                    os.path.join(work, 'bench.ppm')], check=True)


def lossless_source(kind, rows, cols, seed):
    rng = np.random.default_rng(seed)
    channels = 3 if kind.startswith('c') else 1
    bits = int(kind[1:])
    top = (1 << bits) - 1
    planes = []
    for c in range(channels):
        if bits == 16:
            # Around 32768, with steps across it and a few extreme samples.
            p = 32768 + 3000 * smooth(rows, cols, c) + rng.normal(0, 300, (rows, cols))
            p[:, cols // 2:cols // 2 + 3] += 9000 * (1 - 2 * (c % 2))
            p[1, 2] = 0
            p[1, 3] = 32768
            p[2, 5] = 65535
            p[3, 5] = 0
        else:
            p = top / 2 + top * 0.35 * smooth(rows, cols, c) + rng.normal(0, top / 30, (rows, cols))
            p[rows // 2, :] = top
            p[rows // 2 + 1, ::3] = 0
        planes.append(p)
    image = np.clip(np.rint(np.stack(planes, axis=-1)), 0, top)
    return image.astype(np.uint16 if bits > 8 else np.uint8), bits


def write_dicom(path, image, bits):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = '1.2.840.10008.5.1.4.1.1.7'
    meta.MediaStorageSOPInstanceUID = '1.2.826.0.1.3680043.2.1125.8.1'
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.SOPClassUID = meta.MediaStorageSOPClassUID
    ds.SOPInstanceUID = meta.MediaStorageSOPInstanceUID
    ds.StudyInstanceUID = '1.2.826.0.1.3680043.2.1125.8.2'
    ds.SeriesInstanceUID = '1.2.826.0.1.3680043.2.1125.8.3'
    ds.Modality = 'OT'
    ds.PatientName = 'Fixture'
    ds.PatientID = 'fixture'
    ds.Rows, ds.Columns, channels = image.shape
    ds.SamplesPerPixel = channels
    ds.PhotometricInterpretation = 'RGB' if channels == 3 else 'MONOCHROME2'
    if channels == 3:
        ds.PlanarConfiguration = 0
    ds.BitsAllocated = 8 if bits <= 8 else 16
    ds.BitsStored = bits
    ds.HighBit = bits - 1
    ds.PixelRepresentation = 0
    ds.PixelData = image.astype('<u2' if bits > 8 else 'u1').tobytes()
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    ds.save_as(path, write_like_original=False)


LOSSLESS_SOURCES = {'g8': (12, 40, 11), 'g12': (12, 40, 12), 'g16': (12, 40, 13), 'c8': (10, 32, 14),
                    'c16': (8, 24, 15)}
LOSSLESS = ([('g16', sv, 0) for sv in range(1, 8)] + [('g16', 1, 1), ('g16', 4, 2), ('g16', 6, 1), ('g16', 7, 2)] +
            [('g12', sv, 0) for sv in range(1, 8)] + [('g12', 5, 2)] +
            [('g8', sv, 0) for sv in range(1, 8)] + [('g8', 2, 1)] +
            [('c8', 1, 0), ('c8', 4, 0), ('c8', 6, 2), ('c8', 7, 1), ('c8', 2, 0), ('c8', 3, 0), ('c8', 5, 1)] +
            [('c16', 1, 0), ('c16', 5, 0), ('c16', 7, 2), ('c16', 6, 0)])


def extract_codestream(path):
    ds = pydicom.dcmread(path)
    frame = next(generate_pixel_data_frame(ds.PixelData))
    return frame[:frame.rindex(b'\xff\xd9') + 2]


def make_lossless(work):
    out = os.path.join(HERE, 'lossless')
    os.makedirs(out, exist_ok=True)
    manifest = []
    sources = {}
    for kind, (rows, cols, seed) in LOSSLESS_SOURCES.items():
        image, bits = lossless_source(kind, rows, cols, seed)
        sources[kind] = (image, bits)
        image.astype('<u2' if bits > 8 else 'u1').tofile(os.path.join(out, kind + '.raw'))
        write_dicom(os.path.join(work, kind + '.dcm'), image, bits)
    streams = [(kind, sv, pt, '%s_sv%d_pt%d' % (kind, sv, pt)) for kind, sv, pt in LOSSLESS]
    streams.append(('bench16', 1, 0, 'bench16_sv1_pt0'))
    image, bits = lossless_source('g16', 64, 128, 16)
    sources['bench16'] = (image, bits)
    image.astype('<u2').tofile(os.path.join(work, 'bench16.raw'))
    write_dicom(os.path.join(work, 'bench16.dcm'), image, bits)
    for kind, sv, pt, name in streams:
        encoded = os.path.join(work, name + '.dcm')
        # The true-lossless codec writes 12-bit samples at precision 16; the
        # older codec forced to 12 bits keeps them at 12 (grey only).
        codec = ['+pl', '+bt'] if kind == 'g12' else []
        subprocess.run(['dcmcjpeg'] + codec + ['+el', '+sv', str(sv), '+pt', str(pt),
                                               os.path.join(work, kind + '.dcm'), encoded], check=True)
        target = os.path.join(HERE if kind == 'bench16' else out, name + '.jpg')
        with open(target, 'wb') as f:
            f.write(extract_codestream(encoded))
        if kind != 'bench16':
            image, bits = sources[kind]
            manifest.append('%s.jpg %s.raw %d %d %d %d' % (name, kind, image.shape[1], image.shape[0],
                                                          image.shape[2], bits))
    with open(os.path.join(out, 'manifest.txt'), 'w') as f:
        f.write('\n'.join(manifest) + '\n')


def main():
    with tempfile.TemporaryDirectory() as work:
        make_baseline(work)
        make_lossless(work)


if __name__ == '__main__':
    main()
