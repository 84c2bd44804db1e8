#!/usr/bin/python3
"""Whole-process timing of one DICOM frame decoded by our decode chain
(vrx_dicom_decode) against dcmtk's dcmdrle and gdcm's gdcmconv --raw.

    /usr/bin/python3 bench/vrx_dicom/compare_tools.py build/release/bench/vrx_dicom/vrx_dicom_decode

It makes, in a temporary folder, a 2048 x 2048 16-bit CT-like frame stored
natively (explicit VR little endian, written with pydicom) and the same frame
RLE-compressed by dcmcrle, checks that vrx_dicom_decode gives pydicom's
samples for both, then times each tool on each file as a whole process (every
tool writes its result to a file): with hyperfine when it is installed, else
with repeated runs timed here. The ratio is the other tool's mean time over
ours (above 1: ours is faster).
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
import pydicom
from pydicom.uid import generate_uid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "data", "vrx", "dicom"))
from image_dataset import image_dataset  # noqa: E402

SIDE = 2048


def make_native(path, side=SIDE):
    rng = np.random.default_rng(3)
    y, x = np.mgrid[0:side, 0:side]
    inside = (x - side / 2) ** 2 + (y - side / 2) ** 2 < (0.45 * side) ** 2
    pixels = np.where(inside, 900 + (x + 2 * y) % 400 + rng.integers(0, 24, (side, side)), 0)
    ds = image_dataset(side, side, 16, 1, "MONOCHROME2", generate_uid(),
                       sop_class="1.2.840.10008.5.1.4.1.1.2")
    ds.SOPClassUID = ds.file_meta.MediaStorageSOPClassUID
    ds.SOPInstanceUID = ds.file_meta.MediaStorageSOPInstanceUID
    ds.Modality = "CT"
    ds.PixelData = pixels.astype("<u2").tobytes()
    ds.save_as(path, write_like_original=False)


def check(decoder, path, folder):
    out = os.path.join(folder, "check.raw")
    subprocess.run([decoder, "-o", out, path], check=True)
    ours = np.fromfile(out, dtype="<u2")
    theirs = pydicom.dcmread(path).pixel_array.reshape(-1)
    if not np.array_equal(ours, theirs):
        sys.exit("vrx_dicom_decode differs from pydicom on " + path)


def time_hyperfine(commands, folder):
    report = os.path.join(folder, "hyperfine.json")
    subprocess.run(["hyperfine", "--warmup", "3", "--min-runs", "20", "--export-json", report,
                    "-N"] + commands, check=True, stdout=subprocess.DEVNULL)
    with open(report) as f:
        return [r["mean"] for r in json.load(f)["results"]]


def time_python(commands, runs=20):
    means = []
    for command in commands:
        for _ in range(3):
            subprocess.run(command.split(), check=True, stdout=subprocess.DEVNULL)
        times = []
        for _ in range(runs):
            start = time.perf_counter()
            subprocess.run(command.split(), check=True, stdout=subprocess.DEVNULL)
            times.append(time.perf_counter() - start)
        means.append(statistics.mean(times))
    return means


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    decoder = os.path.abspath(sys.argv[1])
    folder = tempfile.mkdtemp(prefix="vrx_dicom_compare_")
    try:
        native = os.path.join(folder, "native.dcm")
        rle = os.path.join(folder, "rle.dcm")
        make_native(native)
        subprocess.run(["dcmcrle", native, rle], check=True)
        for path in (native, rle):
            check(decoder, path, folder)
        use_hyperfine = shutil.which("hyperfine") is not None
        print("%d x %d 16-bit frame, timed with %s" % (SIDE, SIDE,
                                                        "hyperfine" if use_hyperfine else "Python"))
        print("%-7s %-22s %12s %8s" % ("file", "tool", "mean (ms)", "ratio"))
        for name, path in (("rle", rle), ("native", native)):
            commands = [
                "%s -o %s %s" % (decoder, os.path.join(folder, "out.raw"), path),
                "dcmdrle %s %s" % (path, os.path.join(folder, "out_dcmtk.dcm")),
                "gdcmconv --raw %s %s" % (path, os.path.join(folder, "out_gdcm.dcm")),
            ]
            means = time_hyperfine(commands, folder) if use_hyperfine else time_python(commands)
            for tool, mean in zip(("vrx_dicom_decode", "dcmdrle", "gdcmconv --raw"), means):
                print("%-7s %-22s %12.2f %8.2f" % (name, tool, mean * 1000, mean / means[0]))
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
