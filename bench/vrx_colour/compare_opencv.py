#!/usr/bin/python3
"""Colour-space conversion timed against OpenCV in one run:

    /usr/bin/python3 bench/vrx_colour/compare_opencv.py \
        build/release/bench/vrx_colour/vrx_colour_bench

runs the Google Benchmark program (whole chains of 2048 x 2048 8-bit frames,
the planner alone, 512 x 512 frames) and times cv2.cvtColor on 2048 x 2048
8-bit frames of the same kind: YCrCb to RGB and back (the anchor), and RGB to
Lab as a neighbour of sRGB to L*. OpenCV runs on one thread, as the chain
does, and also on all threads for reference. Times are medians of wall time;
the ratio is OpenCV's time over ours (our throughput as a share of OpenCV's).
"""
import json
import statistics
import subprocess
import sys
import time

import cv2
import numpy as np

SIDE = 2048
PAIRS = [  # ours, OpenCV's code, label
    ("BM_YCbCrToSRgb2048", cv2.COLOR_YCrCb2RGB, "YCbCr to sRGB (Q12 3 x 3 matrix)"),
    ("BM_SRgbToYCbCr2048", cv2.COLOR_RGB2YCrCb, "sRGB to YCbCr (Q12 3 x 3 matrix)"),
    ("BM_SRgbToLstar2048", cv2.COLOR_RGB2Lab, "sRGB to L* (33^3 table) / RGB2Lab"),
]


def ours(binary):
    out = subprocess.run([binary, "--benchmark_format=json", "--benchmark_repetitions=5",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
            times[b["run_name"]] = b["real_time"] * scale
    return times


def opencv(code, threads, runs=40):
    cv2.setNumThreads(threads)
    image = np.random.default_rng(7).integers(0, 256, (SIDE, SIDE, 3), dtype=np.uint8)
    cv2.cvtColor(image, code)
    samples = []
    for _ in range(runs):
        start = time.perf_counter()
        cv2.cvtColor(image, code)
        samples.append((time.perf_counter() - start) * 1000)
    return statistics.median(samples)


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/release/bench/vrx_colour/vrx_colour_bench"
    t = ours(binary)
    print(f"{'conversion, 2048 x 2048 8-bit':42} {'ours ms':>8} {'cv 1t ms':>9} {'ratio':>6}"
          f" {'cv all ms':>10} {'ratio':>6}")
    for name, code, label in PAIRS:
        one, every = opencv(code, 1), opencv(code, cv2.getNumberOfCPUs())
        print(f"{label:42} {t[name]:8.2f} {one:9.2f} {one / t[name]:6.2f} {every:10.2f}"
              f" {every / t[name]:6.2f}")
    print(f"{'copy chain alone (read and write memory)':42} {t['BM_CopyChain2048']:8.2f}")
    print()
    print("planner alone (one VRX_ColorSpace::engine call) against one 512 x 512 frame")
    for plan, frame, label in (("BM_PlanSRgbToLstar33x3", "BM_SRgbToLstar512", "sRGB to L*, 33^3"),
                               ("BM_PlanCmykToIccLab33x4", "BM_CmykToIccLab512",
                                "CMYK to ICC Lab, 33^4")):
        print(f"{label:42} plan {t[plan]:8.2f} ms, whole 512 x 512 chain {t[frame]:8.2f} ms,"
              f" plan share {t[plan] / t[frame]:.0%}")
    print(f"{'YCbCr to sRGB 512 x 512 chain':42} {t['BM_YCbCrToSRgb512']:8.2f} ms")


if __name__ == "__main__":
    main()
