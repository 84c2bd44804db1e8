#!/usr/bin/python3
"""Writes the seed corpus of vrx_dicom_fuzz into corpus/.

Run with Debian's Python (python3-pydicom, python3-numpy):

    /usr/bin/python3 fuzz/vrx_dicom/make_corpus.py

Seeds: small files of pydicom's test set (a DICOMDIR, RLE, multi-frame,
colour and big-endian images), a palette image, 1-bit frames, 8-bit
samples in big-endian words and files of less common forms (signed and
word-stored palettes, deep nesting, falling tags, many frames) of
tests/data/vrx/dicom, the enhanced CT, LUT and ultrasound files of
tests/data/Source/frame_values, and files made here: a planar RGB image, a
native YBR_FULL_422 image, a two-frame RLE image with a basic offset table
and an RLE image of 1-bit samples.
"""
import os
import shutil
import struct
import sys

import pydicom
from pydicom.uid import generate_uid

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
TEST_FILES = os.path.join(os.path.dirname(pydicom.__file__), "data", "test_files")
FIXTURES = os.path.join(HERE, "..", "..", "tests", "data", "vrx", "dicom")
PALETTES = os.path.join(FIXTURES, "palette")
FRAME_VALUES = os.path.join(HERE, "..", "..", "tests", "data", "Source", "frame_values")
sys.path.insert(0, FIXTURES)
from image_dataset import image_dataset  # noqa: E402

COPIES = {
    "dicomdir": os.path.join(TEST_FILES, "dicomdirtests", "DICOMDIR"),
    "rle_signed16": os.path.join(TEST_FILES, "MR_small_RLE.dcm"),
    "rle_rgb_2frame": os.path.join(TEST_FILES, "SC_rgb_rle_2frame.dcm"),
    "dose32": os.path.join(TEST_FILES, "rtdose_1frame.dcm"),
    "rgb_odd": os.path.join(TEST_FILES, "SC_rgb_small_odd.dcm"),
    "big_endian": os.path.join(TEST_FILES, "MR_small_bigendian.dcm"),
    "palette_segmented": os.path.join(PALETTES, "palette8_segmented16.dcm"),
    "one_bit": os.path.join(FIXTURES, "bits1", "w9_f2_be.dcm"),
    "words_ow": os.path.join(FIXTURES, "words", "gray_ow.dcm"),
    "palette_signed_rle": os.path.join(FIXTURES, "unusual", "palette_signed8_rle.dcm"),
    "palette_words": os.path.join(FIXTURES, "unusual", "palette_words_high.dcm"),
    "deep_nesting": os.path.join(FIXTURES, "unusual", "deep_nesting.dcm"),
    "falling_tags": os.path.join(FIXTURES, "unusual", "falling_tags.dcm"),
    "many_frames": os.path.join(FIXTURES, "unusual", "many_frames.dcm"),
    "enhanced_ct": os.path.join(FRAME_VALUES, "enhanced_ct.dcm"),
    "modality_lut8": os.path.join(FRAME_VALUES, "modality_lut8.dcm"),
    "voi_lut": os.path.join(FRAME_VALUES, "voi_lut.dcm"),
    "ultrasound_regions": os.path.join(FRAME_VALUES, "ultrasound.dcm"),
}


def dataset(syntax, rows, columns, bits, samples, photometric):
    uid = generate_uid(entropy_srcs=[photometric, syntax])
    return image_dataset(rows, columns, bits, samples, photometric, uid, syntax)


def rle_frame(plane):
    # One segment of literal runs.
    data = bytearray()
    for i in range(0, len(plane), 128):
        chunk = plane[i:i + 128]
        data += bytes([len(chunk) - 1]) + chunk
    if len(data) % 2:
        data.append(0)
    return struct.pack("<16I", 1, 64, *([0] * 14)) + bytes(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, path in COPIES.items():
        shutil.copyfile(path, os.path.join(OUT, name))

    ds = dataset("1.2.840.10008.1.2.1", 3, 4, 8, 3, "RGB")
    ds.PlanarConfiguration = 1
    ds.PixelData = bytes(range(36))
    ds.save_as(os.path.join(OUT, "planar_rgb"), write_like_original=False)

    ds = dataset("1.2.840.10008.1.2.1", 2, 5, 8, 3, "YBR_FULL_422")
    ds.PlanarConfiguration = 0
    ds.PixelData = bytes(range(24))
    ds.save_as(os.path.join(OUT, "ybr422"), write_like_original=False)

    ds = dataset("1.2.840.10008.1.2.5", 4, 4, 8, 1, "MONOCHROME2")
    ds.NumberOfFrames = 2
    frames = [rle_frame(bytes(range(16))), rle_frame(bytes(range(16, 32)))]
    ds.PixelData = pydicom.encaps.encapsulate(frames, has_bot=True)
    ds["PixelData"].VR = "OB"
    ds.save_as(os.path.join(OUT, "rle_table"), write_like_original=False)

    # 1-bit samples in RLE: a valid file refused as unsupported.
    ds = dataset("1.2.840.10008.1.2.5", 2, 8, 1, 1, "MONOCHROME2")
    ds.PixelData = pydicom.encaps.encapsulate([rle_frame(b"\xff\xff")])
    ds["PixelData"].VR = "OB"
    ds.save_as(os.path.join(OUT, "rle_one_bit"), write_like_original=False)


if __name__ == "__main__":
    main()
