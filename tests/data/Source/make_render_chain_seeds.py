#!/usr/bin/python3
"""Writes the generated seeds of the render-chain fuzz target into
render_chain/, beside the inputs that target found (render_chain_*.bin,
kept as found):

  native_frame_beyond_its_data.dcm  a 1 GiB frame declared over 1000 bytes,
                                    refused before any frame memory exists
  tall_pixels_1000.dcm              pixels 1000 times taller than wide
  <case>.dcm                        JPEG files of the table: restart
                                    intervals broken, a progressive stream
                                    cut short, a colour interval no code
                                    begins with, streams that do not match
                                    their file, a lossless frame of
                                    subsampled components

and into render_chain_large/, seeds for long fuzzing sessions (a run takes
about a second in the sanitizer build, too long for the short run of the
tests):

  jpeg_5_megapixels.dcm             a 2304 x 2304 baseline JPEG frame in 21 KB:
                                    every block a DC difference and an
                                    end-of-block of one bit each (Huffman
                                    tables of a single 1-bit code), a
                                    constant 128 grey; the fuzz target decodes
                                    frames this large when few bytes hold them

The DICOM files are made as the hostile-files table makes its inputs
(hostile/make_hostile_files.py).

Run: /usr/bin/python3 make_render_chain_seeds.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "hostile"))
import make_hostile_files as hostile  # noqa: E402

# The hostile-files table's JPEG files taken as seeds.
JPEG_CASES = ["prog_restart_dnl_for_rst0", "prog_cut_short", "interval_without_code",
              "stream_32768_in_61x45", "colour_in_monochrome2", "lossless_subsampled"]


def main():
    out = os.path.join(HERE, "render_chain")
    large = os.path.join(HERE, "render_chain_large")
    os.makedirs(out, exist_ok=True)
    os.makedirs(large, exist_ok=True)
    hostile.native_frame_beyond_its_data(os.path.join(out, "native_frame_beyond_its_data.dcm"))
    hostile.large_pixels(os.path.join(out, "tall_pixels_1000.dcm"))
    cases = {c.name: c for c in hostile.CASES}
    for name in JPEG_CASES:
        cases[name].make(os.path.join(out, name + ".dcm"))
    hostile.jpeg_file(hostile.constant_frame(2304))(os.path.join(large, "jpeg_5_megapixels.dcm"))


if __name__ == "__main__":
    main()
