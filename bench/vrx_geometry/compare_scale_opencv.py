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
import json
import os
import subprocess
import sys
import tempfile
import timeit

import cv2
import numpy as np

CASES = [  # benchmark, side, target, OpenCV mode
    ("BM_ScaleLI", 512, 1100, cv2.INTER_LINEAR),
    ("BM_ScaleArea", 2048, 1000, cv2.INTER_AREA),
    ("BM_ScaleAverage", 2048, 1024, cv2.INTER_AREA),
]


def opencv_microseconds(image, target, mode, repeat=7):
    """The best of `repeat` timings of cv2.resize, each long enough to count."""
    timer = timeit.Timer(lambda: cv2.resize(image, (target, target), interpolation=mode))
    number, _ = timer.autorange()
    return min(timer.repeat(repeat=repeat, number=number)) / number * 1e6


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cv2.setNumThreads(1)
    rng = np.random.default_rng(7)
    frames = {}
    for side in (512, 2048):
        frames[(side, 8)] = rng.integers(0, 256, (side, side), dtype=np.uint8)
        frames[(side, 16)] = rng.integers(0, 65536, (side, side), dtype=np.uint16)
    with tempfile.TemporaryDirectory() as folder:
        for (side, bits), image in frames.items():
            image.astype("<u%d" % (bits // 8)).tofile(os.path.join(folder, "gray%d_%d.raw" % (side, bits)))
        result = subprocess.run(
            [sys.argv[1], "--benchmark_format=json", "--benchmark_repetitions=5",
             "--benchmark_report_aggregates_only=true"],
            check=True, capture_output=True, text=True,
            env=dict(os.environ, VRX_SCALE_IMAGES=folder))
    ours = {}
    for b in json.loads(result.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            ours[b["run_name"]] = b["real_time"]
    print(f"{'case':>34} {'ours (us)':>10} {'OpenCV (us)':>12} {'ratio':>6}")
    for name, side, target, mode in CASES:
        for bits in (8, 16):
            theirs = opencv_microseconds(frames[(side, bits)], target, mode)
            mine = ours[f"{name}/{bits}"]
            label = f"{name} {side}->{target} {bits}-bit"
            print(f"{label:>34} {mine:>10.0f} {theirs:>12.0f} {mine / theirs:>6.2f}")


if __name__ == "__main__":
    main()
