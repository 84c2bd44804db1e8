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
import json
import os
import subprocess
import sys
import tempfile
import timeit

import cv2
import numpy as np

SIDE, CROP = 600, 512
OFFSET = (SIDE - CROP) // 2
SIZES = [1024, 1000, 256, 300]


def opencv_microseconds(frame, side, repeat=7):
    crop = frame[OFFSET:OFFSET + CROP, OFFSET:OFFSET + CROP]
    run = lambda: cv2.resize(crop, (side, side), interpolation=cv2.INTER_NEAREST)
    number = max(1, int(0.2 / max(timeit.timeit(run, number=3) / 3, 1e-7)))
    return min(timeit.repeat(run, number=number, repeat=repeat)) / number * 1e6


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cv2.setNumThreads(1)
    frame = np.random.default_rng(7).integers(0, 65536, (SIDE, SIDE), dtype=np.uint16)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "frame.raw")
        frame.astype("<u2").tofile(path)
        result = subprocess.run(
            [sys.argv[1], "--benchmark_format=json", "--benchmark_repetitions=5",
             "--benchmark_report_aggregates_only=true"],
            check=True, capture_output=True, text=True,
            env=dict(os.environ, VRX_GEOMETRY_IMAGE=path))
    ours = {}
    for b in json.loads(result.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            ours[int(b["run_name"].split("/")[1])] = b["real_time"]
    print(f"{'target':>10} {'ours (us)':>10} {'OpenCV (us)':>12} {'ratio':>6}")
    for side in SIZES:
        theirs = opencv_microseconds(frame, side)
        print(f"{side:>4} x {side:<4}{ours[side]:>10.0f} {theirs:>12.0f} {ours[side] / theirs:>6.2f}")


if __name__ == "__main__":
    main()
