#!/usr/bin/python3
"""Whole-process timing of one frame of a long compressed multi-frame file:
zrm-render against dcmtk's dcmj2pnm, and against itself on the same file cut
to 100 frames.

    /usr/bin/python3 bench/vrx_dicom/compare_frames.py build/release/Source/zrm-render \\
        build/release/bench/vrx_dicom/vrx_dicom_decode [FRAMES [ROUNDS]]

It makes, in a temporary folder, FRAMES (default 16000) frames of 128 x 128
samples of 12 of 16 bits with pydicom, and the first 100 of them as a file of
their own; dcmcrle (RLE lossless) and dcmcjpeg +e1 (JPEG lossless, first-order
prediction) compress both, each writing a basic offset table. For every
compressed file it compares zrm-render's bitmaps of frame 1 and frame FRAMES
with dcmj2pnm's under the same window (the largest difference of a sample is
printed), then times, in ROUNDS (default 20) interleaved rounds after one
warm-up round:
    zrm-render and dcmj2pnm +obt on frame 1 and on frame FRAMES;
    zrm-render on frame 1 of the 100-frame file;
    vrx_dicom_decode -f on the same three frames: loading the file and
    decoding the frame, without the render program's start-up, DICOMDIR test
    and output.
Each ratio is the median over the rounds of the paired times' quotient. The
aims: zrm-render at most 0.5 x dcmj2pnm's time on frame 1 and frame FRAMES,
frame 1 of the long file at most 2 x that of the 100-frame file. The load
average is printed before and after.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image
from pydicom.uid import generate_uid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "data", "vrx", "dicom"))
from image_dataset import image_dataset  # noqa: E402

SIDE = 128
CUT = 100
WINDOW = (1300, 800)


def make_native(path, frames):
    """Frames of a slanted ramp with noise in the low 6 bits, a different
    offset in each."""
    rng = np.random.default_rng(5)
    y, x = np.mgrid[0:SIDE, 0:SIDE]
    base = (x + y) % 256 * 2 + 1000
    pixels = np.empty((frames, SIDE, SIDE), dtype="<u2")
    for f in range(frames):
        pixels[f] = base + (f * 13) % 256 + rng.integers(0, 64, (SIDE, SIDE))
    ds = image_dataset(SIDE, SIDE, 16, 1, "MONOCHROME2", generate_uid())
    ds.BitsStored = 12
    ds.HighBit = 11
    ds.NumberOfFrames = frames
    ds.PixelData = pixels.tobytes()
    ds.save_as(path, write_like_original=False)


def run(argv):
    """Runs a command with its output discarded; its wall time in seconds."""
    start = time.perf_counter()
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def largest_difference(a, b):
    x = np.asarray(Image.open(a).convert("RGB"), dtype=np.int16)
    y = np.asarray(Image.open(b).convert("RGB"), dtype=np.int16)
    return int(np.abs(x - y).max()) if x.shape == y.shape else None


def load():
    return "%.1f %.1f %.1f" % os.getloadavg()


def compare(name, long_file, short_file, frames, render, decoder, rounds, folder):
    ours, theirs = os.path.join(folder, "ours.bmp"), os.path.join(folder, "dcmtk.bmp")
    window = ["--window", "%d,%d" % WINDOW]
    for frame in (1, frames):
        subprocess.run([render, "--no-annotations", "--frame", str(frame)] + window +
                       [long_file, ours], check=True)
        subprocess.run(["dcmj2pnm", "+Ww", str(WINDOW[0]), str(WINDOW[1]), "+F", str(frame),
                        "+obt", long_file, theirs], check=True)
        print("%s frame %d: largest difference from dcmj2pnm %s" %
              (name, frame, largest_difference(ours, theirs)))

    def ours_on(path, frame):
        return [render, "--no-annotations", "--frame", str(frame)] + window + [path, ours]

    def dcmtk_on(path, frame):
        return ["dcmj2pnm", "+Ww", str(WINDOW[0]), str(WINDOW[1]), "+F", str(frame), "+obt",
                path, theirs]

    def decode_on(path, frame):
        return [decoder, "-f", str(frame), path]

    commands = {
        "ours 1": ours_on(long_file, 1), "dcmtk 1": dcmtk_on(long_file, 1),
        "ours N": ours_on(long_file, frames), "dcmtk N": dcmtk_on(long_file, frames),
        "ours cut": ours_on(short_file, 1),
        "decode 1": decode_on(long_file, 1), "decode N": decode_on(long_file, frames),
        "decode cut": decode_on(short_file, 1),
    }
    times = {key: [] for key in commands}
    for r in range(rounds + 1):
        for key, argv in commands.items():
            t = run(argv)
            if r > 0:
                times[key].append(t)

    def median_ms(key):
        return statistics.median(times[key]) * 1000

    def ratio(a, b):
        return statistics.median(x / y for x, y in zip(times[a], times[b]))

    size = os.path.getsize(long_file) / 1e6
    print("%s: %d frames (%.0f MB), %d rounds" % (name, frames, size, rounds))
    print("  %-44s %9s %9s %7s" % ("case", "ms", "vs (ms)", "ratio"))
    rows = (
        ("zrm-render frame 1 / dcmj2pnm", "ours 1", "dcmtk 1"),
        ("zrm-render frame %d / dcmj2pnm" % frames, "ours N", "dcmtk N"),
        ("zrm-render frame 1 / same, %d-frame file" % CUT, "ours 1", "ours cut"),
        ("decode alone frame 1 / dcmj2pnm", "decode 1", "dcmtk 1"),
        ("decode alone frame %d / dcmj2pnm" % frames, "decode N", "dcmtk N"),
        ("decode alone frame 1 / same, %d-frame file" % CUT, "decode 1", "decode cut"),
    )
    for label, a, b in rows:
        print("  %-44s %9.2f %9.2f %7.2f" % (label, median_ms(a), median_ms(b), ratio(a, b)))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    render, decoder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 16000
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 20
    folder = tempfile.mkdtemp(prefix="vrx_frames_compare_")
    try:
        made = {}
        for count in (frames, CUT):
            native = os.path.join(folder, "native.dcm")
            make_native(native, count)
            for name, tool in (("rle", ["dcmcrle"]), ("jpeg-lossless", ["dcmcjpeg", "+e1"])):
                made[(name, count)] = os.path.join(folder, "%s_%d.dcm" % (name, count))
                subprocess.run(tool + [native, made[(name, count)]], check=True)
            os.remove(native)
        print("load average before: %s" % load())
        for name in ("rle", "jpeg-lossless"):
            compare(name, made[(name, frames)], made[(name, CUT)], frames, render, decoder,
                    rounds, folder)
        print("load average after: %s" % load())
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
