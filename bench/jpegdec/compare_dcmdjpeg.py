#!/usr/bin/python3
"""Whole-process timing of the lossless benchmark frames (DICOM files made by
make_bench_data.py) decoded to a file of samples: our DICOM reader
(jpegdec_dicom_decode) against dcmtk's dcmdjpeg and gdcm's `gdcmconv --raw`,
with hyperfine (medians). Every tool writes its output into a temporary
folder; the ratios are the other tool's median over ours (above 1: ours is
faster).

    /usr/bin/python3 bench/jpegdec/compare_dcmdjpeg.py \\
        build/release/bench/jpegdec/jpegdec_dicom_decode build/release/bench/jpegdec/data
"""
import os
import subprocess
import sys
import tempfile

from compare_djpeg import median

FRAMES = ['mr12_4096_sv1_p16.dcm', 'mr12_4096_sv1_p12.dcm', 'mr12_4096_sv7_p16.dcm']



def main():
    ours, data = sys.argv[1], sys.argv[2]
    print('%-24s %8s %10s %8s %9s %8s' % ('frame', 'ours ms', 'dcmdjpeg', 'ratio', 'gdcmconv', 'ratio'))
    with tempfile.TemporaryDirectory() as work:
        for name in FRAMES:
            path = os.path.join(data, name)
            a = median('%s %s %s' % (ours, path, os.path.join(work, 'ours.raw')), subprocess.DEVNULL)
            b = median('dcmdjpeg %s %s' % (path, os.path.join(work, 'dcmtk.dcm')), subprocess.DEVNULL)
            c = median('gdcmconv --raw %s %s' % (path, os.path.join(work, 'gdcm.dcm')), subprocess.DEVNULL)
            print('%-24s %8.1f %10.1f %8.2f %9.1f %8.2f' % (name, a * 1e3, b * 1e3, b / a, c * 1e3, c / a))


if __name__ == '__main__':
    main()
