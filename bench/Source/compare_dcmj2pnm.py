#!/usr/bin/python3
"""Whole-process timing of zrm-render against dcmtk's dcmj2pnm, both writing a
24-bit bitmap of one frame under the same window (dcmj2pnm +Ww C W +obt).

    /usr/bin/python3 bench/Source/compare_dcmj2pnm.py build/release/Source/zrm-render

Inputs: pydicom's CT_small.dcm (128 x 128) and a 2048 x 2048 CT-like frame of
12 of 16 bits with a rescale intercept of -1024, made here with pydicom in a
temporary folder. zrm-render runs at zoom 1 without annotations (dcmj2pnm
draws none) and, for reference, with them. Before timing, both pictures are
compared: the largest difference of a sample is printed. Timed with
hyperfine in one run; the ratio is zrm-render's mean time over dcmj2pnm's
(below 1: zrm-render is faster).
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

import numpy as np
import pydicom
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "vrx_dicom"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "data", "vrx", "dicom"))
from compare_tools import make_native  # noqa: E402

CT_SMALL = "/usr/lib/python3/dist-packages/pydicom/data/test_files/CT_small.dcm"


def make_large(path):
    """The decode benchmark's CT-like frame, declared as 12 significant bits
    with the usual CT rescale."""
    make_native(path)
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


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    render = os.path.abspath(sys.argv[1])
    folder = tempfile.mkdtemp(prefix="zrm_render_compare_")
    try:
        large = os.path.join(folder, "large.dcm")
        make_large(large)
        ours, theirs = os.path.join(folder, "ours.bmp"), os.path.join(folder, "dcmtk.bmp")
        print("%-9s %-30s %10s %7s %9s" % ("input", "tool", "mean (ms)", "ratio", "max diff"))
        for name, path, centre, width in (("CT_small", CT_SMALL, 40, 400),
                                          ("2048x2048", large, 40, 400)):
            commands = [
                "%s --no-annotations --window %g,%g %s %s" % (render, centre, width, path, ours),
                "dcmj2pnm +Ww %g %g +obt %s %s" % (centre, width, path, theirs),
                "%s --window %g,%g %s %s" % (render, centre, width, path, ours),
            ]
            subprocess.run(commands[0].split(), check=True)
            subprocess.run(commands[1].split(), check=True)
            difference = largest_difference(ours, theirs)
            report = os.path.join(folder, "hyperfine.json")
            subprocess.run(["hyperfine", "-N", "--warmup", "5", "--min-runs", "30",
                            "--export-json", report] + commands,
                           check=True, stdout=subprocess.DEVNULL)
            with open(report) as f:
                means = [r["mean"] for r in json.load(f)["results"]]
            tools = ("zrm-render", "dcmj2pnm +Ww +obt", "zrm-render with annotations")
            for tool, mean in zip(tools, means):
                print("%-9s %-30s %10.2f %7.2f %9s" % (name, tool, mean * 1000, mean / means[1],
                                                       difference if tool == tools[0] else ""))
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
