#!/usr/bin/python3
"""Times our linear-interpolation and area scalers against OpenCV.

    /usr/bin/python3 bench/vrx_geometry/compare_scale_opencv.py build/release/bench/vrx_geometry/vrx_scale_bench

It writes random gray frames (512 x 512 and 2048 x 2048, 8 and 16 bits) to a
temporary folder, runs vrx_scale_bench on them (ReadMemory -> scaler ->
WriteMemory) and times, in the same run, cv2.resize on one thread on the same
frames to the same sizes: INTER_LINEAR against VRX_ScaleLIFastBy (512 ->
1100), INTER_AREA against VRX_ScalePPFastBy (2048 -> 1000, a fractional
ratio, and 2048 -> 1024, a whole one). The ratio is our time over OpenCV's.
"""
import os
import tempfile

import cv2
import numpy as np

from opencv_timing import benchmark_program, best_microseconds, our_medians

CASES = [  # benchmark, side, target, OpenCV mode
    ("BM_ScaleLI", 512, 1100, cv2.INTER_LINEAR),
    ("BM_ScaleArea", 2048, 1000, cv2.INTER_AREA),
    ("BM_ScaleAverage", 2048, 1024, cv2.INTER_AREA),
]


def main():
    program = benchmark_program(__doc__)
    rng = np.random.default_rng(7)
    frames = {}
    for side in (512, 2048):
        frames[(side, 8)] = rng.integers(0, 256, (side, side), dtype=np.uint8)
        frames[(side, 16)] = rng.integers(0, 65536, (side, side), dtype=np.uint16)
    with tempfile.TemporaryDirectory() as folder:
        for (side, bits), image in frames.items():
            image.astype("<u%d" % (bits // 8)).tofile(os.path.join(folder, "gray%d_%d.raw" % (side, bits)))
        ours = our_medians(program, {"VRX_SCALE_IMAGES": folder})
    print(f"{'case':>34} {'ours (us)':>10} {'OpenCV (us)':>12} {'ratio':>6}")
    for name, side, target, mode in CASES:
        for bits in (8, 16):
            image = frames[(side, bits)]
            theirs = best_microseconds(
                lambda: cv2.resize(image, (target, target), interpolation=mode))
            mine = ours[f"{name}/{bits}"]
            label = f"{name} {side}->{target} {bits}-bit"
            print(f"{label:>34} {mine:>10.0f} {theirs:>12.0f} {mine / theirs:>6.2f}")


if __name__ == "__main__":
    main()
