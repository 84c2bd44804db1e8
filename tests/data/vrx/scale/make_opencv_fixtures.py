#!/usr/bin/python3
"""OpenCV resize results for the interpolating and area scaler tests.

Run with Debian's Python (python3-opencv, python3-numpy):

    /usr/bin/python3 tests/data/vrx/scale/make_opencv_fixtures.py

Each case is a source image and what cv2.resize makes of it with
INTER_LINEAR or INTER_AREA (one thread). 8-bit sources are random; 16-bit
sources for INTER_LINEAR are smooth (neighbouring samples differ by at most
4096, where Q12 weights stay within two levels of OpenCV's), those for
INTER_AREA random; 16-bit cases have one channel. Area cases either grow or shrink (or keep) both axes:
OpenCV leaves its area mode when one axis grows while the other shrinks.

File layout (opencv_resize.bin), little endian:
    "VRXRSZ01", u32 case count
    per case: u32 mode (0 INTER_LINEAR, 1 INTER_AREA), bits, channels,
              source width, source height, width, height;
              source samples, then result samples, interleaved channels
"""
import os
import struct

import cv2
import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
LINEAR, AREA = 0, 1

LINEAR_SIZES = [
    ((37, 23), (61, 47)),   # both grow
    ((61, 47), (23, 19)),   # both shrink, fractional
    ((45, 27), (15, 9)),    # odd whole ratio
    ((40, 24), (20, 12)),   # ratio 2
    ((40, 24), (10, 6)),    # ratio 4
    ((30, 20), (50, 12)),   # width grows, height shrinks
    ((30, 20), (13, 41)),   # width shrinks, height grows
    ((29, 31), (29, 64)),   # height only
]
AREA_SIZES = [
    ((41, 23), (20, 7)),    # fractional
    ((50, 37), (19, 13)),   # fractional
    ((60, 45), (20, 15)),   # whole 3
    ((64, 32), (32, 16)),   # whole 2
    ((40, 30), (40, 13)),   # height only, fractional
    ((48, 30), (12, 30)),   # width only, whole 4
    ((13, 11), (30, 25)),   # both grow
    ((16, 9), (32, 18)),    # exact double
]


def smooth16(rng, w, h, c):
    """Waves along each axis plus a little noise: neighbours differ by at most
    4096."""
    y, x = np.mgrid[0:h, 0:w]
    img = np.empty((h, w, c), dtype=np.int64)
    for k in range(c):
        fx, fy, px, py = rng.uniform(0.05, 0.2, 2).tolist() + rng.uniform(0, 6.3, 2).tolist()
        wave = 15000 * np.sin(fx * x + px) + 15000 * np.sin(fy * y + py)
        img[:, :, k] = 32768 + wave.astype(np.int64) + rng.integers(-400, 401, (h, w))
    assert np.abs(np.diff(img, axis=0)).max() <= 4096
    assert np.abs(np.diff(img, axis=1)).max() <= 4096
    return img.astype(np.uint16)


def source(rng, mode, bits, w, h, c):
    if bits == 16 and mode == LINEAR:
        return smooth16(rng, w, h, c)
    top = 256 if bits == 8 else 65536
    dtype = np.uint8 if bits == 8 else np.uint16
    return rng.integers(0, top, (h, w, c)).astype(dtype)


def main():
    cv2.setNumThreads(1)
    rng = np.random.default_rng(20)
    cases = []
    for mode, sizes in ((LINEAR, LINEAR_SIZES), (AREA, AREA_SIZES)):
        for (w0, h0), (w, h) in sizes:
            for bits in (8, 16):
                for c in ((1, 3) if bits == 8 else (1,)):
                    src = source(rng, mode, bits, w0, h0, c)
                    flag = cv2.INTER_LINEAR if mode == LINEAR else cv2.INTER_AREA
                    out = cv2.resize(src, (w, h), interpolation=flag).reshape(h, w, c)
                    cases.append((mode, bits, c, w0, h0, w, h, src, out))
    with open(os.path.join(HERE, "opencv_resize.bin"), "wb") as f:
        f.write(b"VRXRSZ01" + struct.pack("<I", len(cases)))
        for mode, bits, c, w0, h0, w, h, src, out in cases:
            f.write(struct.pack("<7I", mode, bits, c, w0, h0, w, h))
            f.write(src.astype("<u%d" % (bits // 8)).tobytes())
            f.write(out.astype("<u%d" % (bits // 8)).tobytes())
    print(len(cases), "cases")


if __name__ == "__main__":
    main()
