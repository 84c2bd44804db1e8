#!/usr/bin/python3
"""Pixel-probe fixtures: values of pydicom test images at random and edge
positions, as pydicom's pixel_array gives them, grey ones in modality units
(Rescale Slope and Intercept applied). A YBR_FULL_422 pixel
also gets the RGB the probe shows (R = Y + 1.402 (Cr - 128),
G = Y - 0.34414 (Cb - 128) - 0.71414 (Cr - 128), B = Y + 1.772 (Cb - 128),
each clamped to 0..255).

Run: /usr/bin/python3 make_probe_values.py > probe_values.txt
"""
import numpy as np
import pydicom
from pydicom.pixel_data_handlers.util import apply_modality_lut

FILES = ["CT_small.dcm", "MR_small.dcm", "SC_rgb_small_odd.dcm", "SC_ybr_full_422_uncompressed.dcm"]
ROOT = "/usr/lib/python3/dist-packages/pydicom/data/test_files/"

rng = np.random.default_rng(18)
print("# file x y then: grey value | r g b (as stored) | y cb cr r g b")
for name in FILES:
    ds = pydicom.dcmread(ROOT + name)
    a = ds.pixel_array
    if a.ndim == 2:
        a = apply_modality_lut(a, ds)
    rows, cols = a.shape[0], a.shape[1]
    points = [(0, 0), (cols - 1, 0), (0, rows - 1), (cols - 1, rows - 1)]
    points += [(int(rng.integers(cols)), int(rng.integers(rows))) for _ in range(24)]
    for x, y in points:
        v = a[y, x]
        if a.ndim == 2:
            values = [int(v) if v == int(v) else float(v)]
        elif ds.PhotometricInterpretation.startswith("YBR"):
            yy, cb, cr = (float(c) for c in v)
            rgb = np.clip([yy + 1.402 * (cr - 128), yy - 0.34414 * (cb - 128) - 0.71414 * (cr - 128),
                           yy + 1.772 * (cb - 128)], 0, 255)
            values = [int(c) for c in v] + ["%.6f" % c for c in rgb]
        else:
            values = [int(c) for c in v]
        print(name, x, y, *values)
