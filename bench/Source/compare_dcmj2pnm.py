#!/usr/bin/python3
"""Whole-process time and peak memory of zrm-render against dcmtk's dcmj2pnm,
both writing a 24-bit bitmap of one frame under the same window
(dcmj2pnm +Ww C W +obt, with +Sxf Z for a zoom Z other than 1).

    /usr/bin/python3 bench/Source/compare_dcmj2pnm.py build/release/Source/zrm-render [ROUNDS]

Inputs: pydicom's CT_small.dcm (128 x 128) and CT-like frames of 2048 x 2048
and 4096 x 4096 samples, 12 of 16 bits with a rescale intercept of -1024,
made here with pydicom in a temporary folder. Cases: CT_small, 2048^2 and
4096^2 at zoom 1, 2048^2 at zoom 2. zrm-render runs without annotations
(dcmj2pnm draws none) and, for reference, with them. Before timing, both
pictures are compared: the largest difference of a sample is printed (at
zoom 2 the two tools interpolate differently).

Timing: ROUNDS (default 30, after 3 unmeasured) rounds per case; a round
runs each command once, in an order that alternates from round to round,
so that both tools meet the same load. Printed: the median wall time, its
ratio to dcmj2pnm's median (below 1: zrm-render is faster), the median of
the per-round ratios, and the largest peak resident memory of three more
runs of each tool (the kernel's maximum RSS, from /usr/bin/time) with its
ratio; the load average is printed with every case, as the machine may be
shared.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
import pydicom
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "vrx_dicom"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "data", "vrx", "dicom"))
from compare_tools import make_native  # noqa: E402

CT_SMALL = "/usr/lib/python3/dist-packages/pydicom/data/test_files/CT_small.dcm"


def make_large(path, side):
    """The decode benchmark's CT-like frame at the side given, declared as 12
    significant bits with the usual CT rescale."""
    make_native(path, side)
    ds = pydicom.dcmread(path)
    ds.BitsStored = 12
    ds.HighBit = 11
    ds.RescaleIntercept = "-1024"
    ds.RescaleSlope = "1"
    ds.save_as(path, write_like_original=False)


def largest_difference(a, b):
    x = np.asarray(Image.open(a).convert("RGB"), dtype=np.int16)
    y = np.asarray(Image.open(b).convert("RGB"), dtype=np.int16)
    return int(np.abs(x - y).max()) if x.shape == y.shape else None


def wall_time(command):
    """Seconds one run takes."""
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_memory(command, folder):
    """Peak resident memory in KiB of one run, as /usr/bin/time reports it (a
    process started straight from this one would count this interpreter's
    memory as its own)."""
    report = os.path.join(folder, "time.txt")
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + command, check=True,
                   stdout=subprocess.DEVNULL)
    with open(report) as f:
        return int(f.read().split()[-1])


def time_interleaved(commands, rounds, warmup=3):
    """Per command, the wall times of `rounds` runs: the commands take turns,
    their order reversed every other round."""
    times = [[] for _ in commands]
    for r in range(warmup + rounds):
        order = list(range(len(commands)))
        if r % 2:
            order.reverse()
        for i in order:
            elapsed = wall_time(commands[i])
            if r >= warmup:
                times[i].append(elapsed)
    return times


def load():
    return "load %.1f %.1f %.1f" % os.getloadavg()


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    render = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) == 3 else 30
    folder = tempfile.mkdtemp(prefix="zrm_render_compare_")
    try:
        large = {}
        for side in (2048, 4096):
            large[side] = os.path.join(folder, "large%d.dcm" % side)
            make_large(large[side], side)
        ours, theirs = os.path.join(folder, "ours.bmp"), os.path.join(folder, "dcmtk.bmp")
        cases = (("CT_small", CT_SMALL, 1), ("2048^2", large[2048], 1),
                 ("2048^2 z2", large[2048], 2), ("4096^2", large[4096], 1))
        tools = ("zrm-render", "dcmj2pnm +Ww +obt", "zrm-render, annotations")
        print("%d rounds a case, %d CPUs" % (rounds, os.cpu_count()))
        print("%-10s %-24s %10s %7s %7s %10s %7s %8s" % (
            "input", "tool", "median ms", "ratio", "paired", "peak MiB", "ratio", "max diff"))
        for name, path, zoom in cases:
            centre, width = 40, 400
            window = ["--window", "%g,%g" % (centre, width), "--zoom", "%g" % zoom]
            scale = ["+Sxf", "%g" % zoom] if zoom != 1 else []
            commands = [
                [render, "--no-annotations"] + window + [path, ours],
                ["dcmj2pnm", "+Ww", str(centre), str(width)] + scale + ["+obt", path, theirs],
                [render] + window + [path, ours],
            ]
            subprocess.run(commands[0], check=True)
            subprocess.run(commands[1], check=True)
            difference = largest_difference(ours, theirs)
            before = load()
            times = time_interleaved(commands, rounds)
            medians = [statistics.median(t) for t in times]
            peaks = [max(peak_memory(c, folder) for _ in range(3)) for c in commands]
            for i, tool in enumerate(tools):
                paired = statistics.median(a / b for a, b in zip(times[i], times[1]))
                print("%-10s %-24s %10.2f %7.2f %7.2f %10.1f %7.2f %8s" % (
                    name, tool, medians[i] * 1000, medians[i] / medians[1], paired,
                    peaks[i] / 1024, peaks[i] / peaks[1], difference if i == 0 else ""))
            print("%-10s (%s before, %s after)" % ("", before, load()))
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
