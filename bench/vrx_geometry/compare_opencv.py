#!/usr/bin/python3
"""Times our crop + nearest-neighbour chain against OpenCV on one image.

    /usr/bin/python3 bench/vrx_geometry/compare_opencv.py build/release/bench/vrx_geometry/vrx_geometry_bench

It writes a 600 x 600 frame of random 16-bit samples to a temporary file,
runs vrx_geometry_bench on it (ReadMemory -> crop to the centre 512 x 512 ->
VRX_ScaleNN -> WriteMemory), and times, in the same run, cv2.resize with
INTER_NEAREST on one thread from the same crop to the same sizes (the crop a
numpy view, the result a new array). The ratio is our time over OpenCV's
(the aim: at most 2). OpenCV's nearest modes pick other source pixels at
ties and by fixed point, so only the times are compared.
"""
import os
import tempfile

import cv2
import numpy as np

from opencv_timing import benchmark_program, best_microseconds, our_medians

SIDE, CROP = 600, 512
OFFSET = (SIDE - CROP) // 2
SIZES = [1024, 1000, 256, 300]


def opencv_microseconds(frame, side):
    crop = frame[OFFSET:OFFSET + CROP, OFFSET:OFFSET + CROP]
    return best_microseconds(lambda: cv2.resize(crop, (side, side), interpolation=cv2.INTER_NEAREST))


def main():
    program = benchmark_program(__doc__)
    frame = np.random.default_rng(7).integers(0, 65536, (SIDE, SIDE), dtype=np.uint16)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "frame.raw")
        frame.astype("<u2").tofile(path)
        ours = {int(name.split("/")[1]): time
                for name, time in our_medians(program, {"VRX_GEOMETRY_IMAGE": path}).items()}
    print(f"{'target':>10} {'ours (us)':>10} {'OpenCV (us)':>12} {'ratio':>6}")
    for side in SIZES:
        theirs = opencv_microseconds(frame, side)
        print(f"{side:>4} x {side:<4}{ours[side]:>10.0f} {theirs:>12.0f} {ours[side] / theirs:>6.2f}")


if __name__ == "__main__":
    main()
