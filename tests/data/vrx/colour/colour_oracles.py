#!/usr/bin/python3
"""Independent oracles for the colour stages, made with OpenCV and pydicom:

    /usr/bin/python3 tests/data/vrx/colour/colour_oracles.py

writes beside itself
  opencv_colour.txt  on the 9 x 9 x 9 grid of 8-bit pixels (each sample one
                     of grid_values()): cv2's RGB2YCrCb and YCrCb2RGB (the
                     chroma channels reordered to Y, Cb, Cr) of the grid, and
                     its float RGB2HLS and HLS2RGB scaled to 8-bit codes (H,
                     S, L; HLS2RGB is given the hue in whole degrees, as the
                     library takes it)
  pydicom_ybr.txt    every distinct (Y, Cb, Cr) of the frame of pydicom's
                     SC_ybr_full_422_uncompressed.dcm with the RGB of
                     pydicom's convert_color_space
"""
import os

import cv2
import numpy as np
import pydicom
from pydicom.pixel_data_handlers.util import convert_color_space

HERE = os.path.dirname(os.path.abspath(__file__))
PYDICOM_FILE = os.path.join(os.path.dirname(pydicom.__file__), "data", "test_files",
                            "SC_ybr_full_422_uncompressed.dcm")


def grid_values():
    return [min(255, 32 * i) if i < 8 else 255 for i in range(9)]


def grid_pixels():
    v = grid_values()
    return np.array([[a, b, c] for a in v for b in v for c in v], dtype=np.uint8)


def cv(image, code):
    return cv2.cvtColor(image.reshape(1, -1, 3), code).reshape(-1, 3)


def hexrow(a):
    return np.asarray(a, dtype=np.uint8).tobytes().hex()


def main():
    cv2.setNumThreads(1)
    px = grid_pixels()
    lines = ["# name output-bytes of the grid pixels (see colour_oracles.py)"]
    ycrcb = cv(px, cv2.COLOR_RGB2YCrCb)
    lines.append("rgb2ycbcr " + hexrow(ycrcb[:, [0, 2, 1]]))
    lines.append("ycbcr2rgb " + hexrow(cv(px[:, [0, 2, 1]].copy(), cv2.COLOR_YCrCb2RGB)))
    hls = cv(px.astype(np.float32) / 255, cv2.COLOR_RGB2HLS).astype(np.float64)
    hsl8 = np.stack([np.round(hls[:, 0] / 360 * 255) % 255, np.round(hls[:, 2] * 255),
                     np.round(hls[:, 1] * 255)], axis=1)
    lines.append("rgb2hsl " + hexrow(hsl8))
    degrees = np.where(px[:, 0] / 255 * 360 >= 0, np.trunc(px[:, 0] / 255 * 360 + 0.5), 0)
    hls_in = np.stack([degrees, px[:, 2] / 255, px[:, 1] / 255], axis=1).astype(np.float32)
    rgb = cv(hls_in, cv2.COLOR_HLS2RGB).astype(np.float64)
    lines.append("hsl2rgb " + hexrow(np.clip(np.round(rgb * 255), 0, 255)))
    with open(os.path.join(HERE, "opencv_colour.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")

    ds = pydicom.dcmread(PYDICOM_FILE)
    ybr = ds.pixel_array.reshape(-1, 3)
    rgb = convert_color_space(ds.pixel_array, "YBR_FULL", "RGB").reshape(-1, 3)
    rows = sorted({tuple(int(v) for v in y) + tuple(int(v) for v in r)
                   for y, r in zip(ybr, rgb)})
    with open(os.path.join(HERE, "pydicom_ybr.txt"), "w") as f:
        f.write("# Y Cb Cr R G B of " + os.path.basename(PYDICOM_FILE) + "\n")
        f.write("\n".join(" ".join(str(v) for v in row) for row in rows) + "\n")


if __name__ == "__main__":
    main()
