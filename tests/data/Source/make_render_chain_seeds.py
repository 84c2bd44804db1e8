#!/usr/bin/python3
"""Writes the generated seeds of the render-chain fuzz target into
render_chain/, beside the inputs that target found (render_chain_*.bin,
kept as found):

  native_frame_beyond_its_data.dcm  a 1 GiB frame declared over 1000 bytes,
                                    refused before any frame memory exists
  aspect_1000.dcm                   pixels 1000 times taller than wide
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
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "hostile"))
import make_hostile_files as hostile  # noqa: E402
from pydicom.encaps import encapsulate  # noqa: E402
from pydicom.uid import JPEGBaseline8Bit  # noqa: E402


def segment(marker, payload):
    return struct.pack(">HH", 0xFF00 | marker, len(payload) + 2) + payload


def constant_jpeg(size):
    """A baseline grey JPEG of size x size pixels (a multiple of 8), all 128."""
    quantisation = segment(0xDB, bytes([0x00]) + bytes([1] * 64))
    frame = segment(0xC0, struct.pack(">BHHB", 8, size, size, 1) + bytes([1, 0x11, 0]))
    # One code of length 1 in each table: DC category 0, and AC end-of-block.
    one_code = bytes([1] + [0] * 15) + bytes([0])
    tables = segment(0xC4, bytes([0x00]) + one_code + bytes([0x10]) + one_code)
    scan = segment(0xDA, bytes([1, 1, 0x00, 0, 63, 0]))
    blocks = (size // 8) ** 2
    data = bytes((2 * blocks + 7) // 8)  # two 0 bits a block
    return b"\xff\xd8" + quantisation + frame + tables + scan + data + b"\xff\xd9"


# The hostile-files table's JPEG files taken as seeds.
JPEG_CASES = ["prog_restart_dnl_for_rst0", "prog_cut_short", "interval_without_code",
              "stream_32768_in_61x45", "colour_in_monochrome2", "lossless_subsampled"]


def main():
    out = os.path.join(HERE, "render_chain")
    large = os.path.join(HERE, "render_chain_large")
    os.makedirs(out, exist_ok=True)
    os.makedirs(large, exist_ok=True)
    hostile.native_frame_beyond_its_data(os.path.join(out, "native_frame_beyond_its_data.dcm"))
    hostile.large_pixels(os.path.join(out, "aspect_1000.dcm"))
    cases = {c.name: c for c in hostile.CASES}
    for name in JPEG_CASES:
        cases[name].make(os.path.join(out, name + ".dcm"))
    ds = hostile.image(2304, 2304, 8, encapsulate([constant_jpeg(2304)]),
                       syntax=JPEGBaseline8Bit)
    hostile.save(ds, os.path.join(large, "jpeg_5_megapixels.dcm"))


if __name__ == "__main__":
    main()
