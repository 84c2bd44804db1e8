#!/usr/bin/python3
"""Writes pixel_frames.txt: where the frames of pydicom's test files lie and
what they decode to, as pydicom's pixel_array gives them.

Run with Debian's Python (it has pydicom and numpy):
    /usr/bin/python3 tests/data/vrx/pixelframes/make_pixel_frames.py

One line per frame:
    kind file width height bits channels byte_order frame offset length fnv64 first...
kind is native (one interleaved frame), planar (planes one after the other),
ybr422 (native YBR_FULL_422) or rle (one RLE fragment); offset and length are
the frame's (or fragment's) place in the file. fnv64 is FNV-1a over the
frame's samples as little-endian bytes, pixel after pixel, channel after
channel; `first` lists the first samples for a readable failure.

For ybr422 the expected samples are those of the 4:2:2 expansion with
interpolated chroma (the second pixel of a pair takes the mean of its pair's
chroma and the next pair's); the script checks that they agree with pydicom
on every luminance sample and on the chroma of every first pixel of a pair.
"""
import os
import struct
import sys

import numpy as np
import pydicom

SOURCE = os.path.join(os.path.dirname(pydicom.__file__), "data", "test_files")
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pixel_frames.txt")

FILES = [
    "MR_small.dcm",
    "MR_small_implicit.dcm",
    "MR_small_bigendian.dcm",
    "MR_small_expb.dcm",
    "CT_small.dcm",
    "ExplVR_BigEnd.dcm",
    "SC_ybr_full_422_uncompressed.dcm",
    "MR_small_RLE.dcm",
    "SC_rgb_rle.dcm",
    "SC_rgb_rle_2frame.dcm",
    "SC_rgb_rle_16bit.dcm",
    "SC_rgb_rle_16bit_2frame.dcm",
    "SC_rgb_rle_32bit.dcm",
    "SC_rgb_rle_32bit_2frame.dcm",
    "rtdose_rle.dcm",
    "rtdose_rle_1frame.dcm",
]

RLE = "1.2.840.10008.1.2.5"
BIG = "1.2.840.10008.1.2.2"


def fnv64(data):
    h = 0xCBF29CE484222325
    for b in data:
        h ^= b
        h = (h * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def fragments(raw, start, little):
    """(offset, length) of every fragment after the basic offset table."""
    fmt = "<HHI" if little else ">HHI"
    pos = start
    found = []
    first = True
    while True:
        group, element, length = struct.unpack_from(fmt, raw, pos)
        pos += 8
        if (group, element) == (0xFFFE, 0xE0DD):
            return found
        assert (group, element) == (0xFFFE, 0xE000)
        if not first:
            found.append((pos, length))
        first = False
        pos += length


def samples_le(frame):
    """The samples' values as little-endian bytes of their own width."""
    return np.ascontiguousarray(frame.astype(frame.dtype.newbyteorder("<"))).tobytes()


def ybr422_expected(stored, rows, cols):
    """The expansion with interpolated chroma, from the stored 8-bit samples."""
    groups = (cols + 1) // 2
    line = stored.reshape(rows, groups, 4).astype(np.int32)
    out = np.zeros((rows, cols, 3), dtype=np.int32)
    for g in range(groups):
        y0, y1, cb, cr = (line[:, g, k] for k in range(4))
        x = 2 * g
        out[:, x] = np.stack([y0, cb, cr], axis=1)
        if x + 1 < cols:
            if g + 1 < groups and x + 2 < cols:
                ncb, ncr = line[:, g + 1, 2], line[:, g + 1, 3]
                out[:, x + 1] = np.stack([y1, (cb + ncb) >> 1, (cr + ncr) >> 1], axis=1)
            else:
                out[:, x + 1] = np.stack([y1, cb, cr], axis=1)
    return out.astype(np.uint8)


def main():
    lines = []
    for name in FILES:
        path = os.path.join(SOURCE, name)
        if not os.path.exists(path):
            print("missing", name, file=sys.stderr)
            continue
        ds = pydicom.dcmread(path)
        raw = open(path, "rb").read()
        ts = str(ds.file_meta.TransferSyntaxUID)
        rows, cols = int(ds.Rows), int(ds.Columns)
        bits, spp = int(ds.BitsAllocated), int(ds.SamplesPerPixel)
        frames = int(ds.get("NumberOfFrames", 1) or 1)
        photometric = str(ds.PhotometricInterpretation)
        planar = int(ds.get("PlanarConfiguration", 0) or 0)
        order = 0 if ts == BIG else 1
        start = ds.get_item(0x7FE00010).value_tell
        array = ds.pixel_array
        if frames == 1:
            array = array[np.newaxis]
        frame_bytes = rows * cols * spp * bits // 8
        for k in range(frames):
            expected = array[k]
            if ts == RLE:
                kind = "rle"
                pieces = fragments(raw, start, True)
                assert len(pieces) == frames, name
                offset, length = pieces[k]
            elif photometric == "YBR_FULL_422":
                kind = "ybr422"
                length = rows * (cols + cols % 2) * 2 * bits // 8
                offset = start + k * length
                stored = np.frombuffer(raw[offset:offset + length], dtype=np.uint8)
                mine = ybr422_expected(stored, rows, cols)
                theirs = np.asarray(expected)
                assert (mine[:, :, 0] == theirs[:, :, 0]).all(), name
                assert (mine[:, 0::2] == theirs[:, 0::2]).all(), name
                expected = mine
            else:
                kind = "planar" if planar and spp > 1 else "native"
                offset, length = start + k * frame_bytes, frame_bytes
            data = samples_le(np.asarray(expected))
            first = np.asarray(expected).reshape(-1)[:6].tolist()
            lines.append(" ".join(str(v) for v in [
                kind, name, cols, rows, bits, spp, order, k, offset, length,
                "%016x" % fnv64(data)] + first))
    with open(OUT, "w") as out:
        out.write("# made by make_pixel_frames.py from pydicom %s\n" % pydicom.__version__)
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
