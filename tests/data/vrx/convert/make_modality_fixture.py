#!/usr/bin/python3
"""Modality fixture for the data-type conversion test.

Run with Debian's Python (python3-pydicom, python3-numpy):

    /usr/bin/python3 tests/data/vrx/convert/make_modality_fixture.py

ct_small_modality.bin holds what pydicom's apply_modality_lut makes of the
pixels of its test file CT_small.dcm (Rescale Slope and Intercept), as
little-endian signed 32-bit samples, line by line. Its header:
    "VRXMOD01", f64 slope, f64 intercept, u32 width, u32 height
"""
import os
import struct

import numpy as np
from pydicom import dcmread
from pydicom.data import get_testdata_file
from pydicom.pixel_data_handlers.util import apply_modality_lut

here = os.path.dirname(os.path.abspath(__file__))
ds = dcmread(get_testdata_file("CT_small.dcm"))
values = apply_modality_lut(ds.pixel_array, ds)
samples = np.asarray(values)
assert np.all(samples == np.round(samples)), "whole values expected"
with open(os.path.join(here, "ct_small_modality.bin"), "wb") as out:
    out.write(b"VRXMOD01")
    out.write(struct.pack("<ddII", float(ds.RescaleSlope), float(ds.RescaleIntercept),
                          ds.Columns, ds.Rows))
    out.write(samples.astype("<i4").tobytes())
