#!/usr/bin/python3
"""Palette fixtures for the palette-application tests.

Run with Debian's Python (python3-pydicom, python3-numpy):

    /usr/bin/python3 tests/data/vrx/make_palette_fixtures.py

Every case is one file in palette/: a palette, an index image and the colour
image that pydicom's apply_color_lut makes of them. The palettes are pydicom's
well-known colour palettes (its data/palettes), used as they are (8 bits per
entry), widened to 16 bits, resampled to 4096 entries, cut to fewer entries
or reduced to two entries for one-bit images.

File layout, little endian:
    "VRXPAL01"
    u32 index bits, entry bits, channels, entries, width, height
    palette: entries x channels samples of entry bits, entry by entry
    indices: height lines of (index bits x width + 7) / 8 bytes, one-bit
             indices packed from the most significant bit
    colours: width x height x channels samples of entry bits
"""
import os
import struct

import numpy as np
from pydicom import dcmread
from pydicom.data import get_palette_files
from pydicom.dataset import Dataset
from pydicom.pixel_data_handlers.util import apply_color_lut

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "palette")
NAMES = ["hotiron", "pet", "hotmetalblue", "pet20step", "spring", "summer", "fall", "winter"]


def well_known(name):
    """The palette as an (entries, 3) array and the file's data set."""
    ds = dcmread(get_palette_files(name + ".dcm")[0])
    rgb = apply_color_lut(np.arange(256, dtype=np.uint8), ds)
    return rgb, ds


def palette_dataset(lut, bits):
    """A data set that carries `lut` ((entries, 3)) as its palette."""
    ds = Dataset()
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    entries = lut.shape[0]
    dtype = "<u1" if bits == 8 else "<u2"
    ds.RedPaletteColorLookupTableDescriptor = [entries % 65536, 0, bits]
    ds.GreenPaletteColorLookupTableDescriptor = [entries % 65536, 0, bits]
    ds.BluePaletteColorLookupTableDescriptor = [entries % 65536, 0, bits]
    ds.RedPaletteColorLookupTableData = lut[:, 0].astype(dtype).tobytes()
    ds.GreenPaletteColorLookupTableData = lut[:, 1].astype(dtype).tobytes()
    ds.BluePaletteColorLookupTableData = lut[:, 2].astype(dtype).tobytes()
    return ds


def write_case(file_name, index_bits, entry_bits, lut, indices, colours):
    height, width = indices.shape
    entries, channels = lut.shape
    sample = "<u1" if entry_bits == 8 else "<u2"
    if index_bits == 1:
        index_bytes = b"".join(np.packbits(row.astype(np.uint8)).tobytes() for row in indices)
    else:
        index_bytes = indices.astype("<u1" if index_bits == 8 else "<u2").tobytes()
    with open(os.path.join(OUT, file_name), "wb") as f:
        f.write(b"VRXPAL01")
        f.write(struct.pack("<6I", index_bits, entry_bits, channels, entries, width, height))
        f.write(lut.astype(sample).tobytes())
        f.write(index_bytes)
        f.write(np.ascontiguousarray(colours).astype(sample).tobytes())


def main():
    os.makedirs(OUT, exist_ok=True)
    rng = np.random.default_rng(20240607)

    # Every well-known palette on an 8-bit index image holding every index.
    for name in NAMES:
        rgb, ds = well_known(name)
        indices = np.concatenate([np.arange(256), rng.integers(0, 256, 256)]).reshape(16, 32)
        indices = indices.astype(np.uint8)
        write_case(f"{name}_i8_p8.bin", 8, 8, rgb, indices, apply_color_lut(indices, ds))

    # 16-bit entries: the palette widened, with a little of the index mixed
    # into the low byte so that the two bytes of an entry differ.
    for name in ["hotiron", "pet", "spring", "winter"]:
        rgb, _ = well_known(name)
        wide = rgb.astype(np.uint32) * 257
        wide ^= (np.arange(256, dtype=np.uint32) % 7)[:, None]
        wide = wide.astype(np.uint16)
        ds = palette_dataset(wide, 16)
        indices = rng.integers(0, 256, 24 * 10).reshape(10, 24).astype(np.uint8)
        write_case(f"{name}_i8_p16.bin", 8, 16, wide, indices, apply_color_lut(indices, ds))

    # 16-bit indices into 4096 entries of 16 bits (a 12-bit palette image
    # stored in 16-bit samples).
    rgb, _ = well_known("hotmetalblue")
    x = np.linspace(0, 255, 4096)
    big = np.stack([np.interp(x, np.arange(256), rgb[:, c]) * 257 for c in range(3)], axis=1)
    big = np.round(big).astype(np.uint16)
    indices = rng.integers(0, 4096, 64 * 8).reshape(8, 64).astype(np.uint16)
    write_case("hotmetalblue4096_i16_p16.bin", 16, 16, big, indices,
               apply_color_lut(indices, palette_dataset(big, 16)))

    # 16-bit indices into an 8-bit palette.
    rgb, ds = well_known("pet")
    indices = rng.integers(0, 256, 20 * 6).reshape(6, 20).astype(np.uint16)
    write_case("pet_i16_p8.bin", 16, 8, rgb, indices, apply_color_lut(indices, ds))

    # A palette with fewer entries than the index depth allows; every index
    # in range.
    rgb, _ = well_known("summer")
    short = rgb[:200]
    indices = rng.integers(0, 200, 30 * 4).reshape(4, 30).astype(np.uint8)
    write_case("summer200_i8_p8.bin", 8, 8, short, indices,
               apply_color_lut(indices, palette_dataset(short, 8)))

    # One-bit images: two entries, 8 and 16 bits, widths that leave bits over.
    rgb, _ = well_known("fall")
    two = rgb[[10, 240]]
    indices = rng.integers(0, 2, 13 * 3).reshape(3, 13).astype(np.uint8)
    write_case("fall2_i1_p8.bin", 1, 8, two, indices,
               apply_color_lut(indices, palette_dataset(two, 8)))
    two16 = (two.astype(np.uint32) * 257 + 3).astype(np.uint16)
    indices = rng.integers(0, 2, 21 * 2).reshape(2, 21).astype(np.uint8)
    write_case("fall2_i1_p16.bin", 1, 16, two16, indices,
               apply_color_lut(indices, palette_dataset(two16, 16)))


if __name__ == "__main__":
    main()
