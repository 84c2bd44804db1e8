#!/usr/bin/python3
"""The hostile-files table: damaged and hostile inputs of zrm-render, each
with the outcome it must have and the time and memory it may take.

  make_hostile_files.py OUTDIR

writes every case's input into OUTDIR and the table as OUTDIR/cases.tsv.
The process test (tests/Source/hostile_files_test.cpp) runs zrm-render on
each case and checks its exit code and messages; the benchmark
(bench/Source/hostile_bench.py) runs each case and prints its time and peak
memory against the ceilings. Ceilings are checked there only, never in a
test.

A row of CASES:

  Case(name, make, extras, exit, stderr, seconds, mebibytes)

  name       unique, [a-z0-9_]; the input is OUTDIR/<name>.dcm
  make       make(path): writes the input file at path (and anything else it
             needs beside it, in OUTDIR)
  extras     arguments of zrm-render before INPUT OUTPUT.bmp; "{dir}" in an
             argument stands for OUTDIR
  exit       the exit code zrm-render must give (0 done, 1 bad input, ...)
  stderr     phrases its standard error must each hold; an empty list means
             nothing may be written there
  seconds    ceiling on the processor time (user and system) of one run, for
             the benchmark
  mebibytes  ceiling on the peak resident memory of one run (MiB), for the
             benchmark

The command run is: zrm-render EXTRAS... OUTDIR/<name>.dcm OUTPUT.bmp.
Append a row per case, with its `make` function beside the others.

cases.tsv has one line per row, tab-separated: name, input path, extras,
exit, stderr, seconds, mebibytes; the arguments of extras and the phrases
of stderr are joined by the unit separator (0x1F).
"""
import os
import shutil
import sys
from collections import namedtuple

from pydicom.uid import ExplicitVRLittleEndian

HERE = os.path.dirname(os.path.abspath(__file__))
# Run from the tests: nothing written into the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "..", "vrx", "dicom"))
from image_dataset import image_dataset  # noqa: E402

# Inputs found by fuzzing, kept as they were found.
FOUND = os.path.join(HERE, "..", "render_chain")

Case = namedtuple("Case", "name make extras exit stderr seconds mebibytes")


def image(rows, columns, bits, pixels, photometric="MONOCHROME2", samples=1,
          syntax=ExplicitVRLittleEndian, **attributes):
    """A Part 10 data set of one image with further attributes by keyword;
    `pixels` is the Pixel Data value as stored (nothing checks it against
    the attributes)."""
    ds = image_dataset(rows, columns, bits, samples, photometric,
                       "1.2.826.0.1.3680043.10.1078.31.1", syntax)
    for keyword, value in attributes.items():
        setattr(ds, keyword, value)
    ds.PixelData = pixels
    ds["PixelData"].VR = "OW" if bits > 8 else "OB"
    return ds


def save(ds, path):
    ds.save_as(path, write_like_original=False)


def native_frame_beyond_its_data(path):
    # 16384 x 32768 16-bit samples declared (1 GiB), 1000 bytes there.
    save(image(16384, 32768, 16, bytes(1000)), path)


def large_pixels(path):
    # 4096 x 2 pixels each 1000 times taller than wide: at zoom 64 one row
    # is 64000 screen rows.
    pixels = bytes((x * 7 + y * 50) % 251 for y in range(2) for x in range(4096))
    save(image(2, 4096, 8, pixels, PixelSpacing=[1000, 1]), path)


def found(name):
    def make(path):
        shutil.copyfile(os.path.join(FOUND, name), path)
    return make


# Found by the render-chain fuzz target, which paints at zooms 0.37, 1 and
# 2.6 into 48 x 40 tiles.
FUZZ_TILE = ["--zoom", "2.6", "--size", "48x40"]

CASES = [
    Case("native_frame_beyond_its_data", native_frame_beyond_its_data, [], 1,
         ["corrupt pixel data in frame 1", "status 0x80400000"], 1.0, 64),
    # Pixel Spacing 1.171875\1.171875e+40: a pixel aspect of 1e-40.
    Case("render_chain_aspect_ub", found("render_chain_aspect_ub.bin"), FUZZ_TILE, 0, [], 1.0,
         64),
    # A pixel aspect of 1e7: a request of millions of rows for one pixel.
    Case("render_chain_slow", found("render_chain_slow.bin"), FUZZ_TILE, 0, [], 1.0, 64),
    Case("aspect_1000_at_zoom_64", large_pixels, ["--zoom", "64", "--size", "8192x2048"], 0,
         [], 2.0, 160),
    Case("aspect_1000_at_zoom_64_widest", large_pixels,
         ["--zoom", "64", "--size", "16384x2048"], 0, [], 3.0, 256),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_hostile_files.py OUTDIR")
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out, exist_ok=True)
    names = set()
    lines = []
    for c in CASES:
        assert c.name not in names and c.name.replace("_", "").isalnum() and c.name.islower(), c.name
        names.add(c.name)
        path = os.path.join(out, c.name + ".dcm")
        c.make(path)
        extras = [a.replace("{dir}", out) for a in c.extras]
        fields = [c.name, path, "\x1f".join(extras), str(c.exit), "\x1f".join(c.stderr),
                  str(c.seconds), str(c.mebibytes)]
        assert not any("\t" in f or "\n" in f for f in fields), c.name
        lines.append("\t".join(fields) + "\n")
    with open(os.path.join(out, "cases.tsv"), "w", encoding="utf-8") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
