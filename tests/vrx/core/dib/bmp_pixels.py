#!/usr/bin/python3
"""Prints the pixels of bitmap files as Pillow reads them.

For each file given: "width height mode" on one line, then the RGB bytes of
the image, top line first, as one hexadecimal string on the next. Used by the
bitmap writer tests as an independent reader.
"""
import sys

from PIL import Image

for path in sys.argv[1:]:
    with Image.open(path) as image:
        image.load()
        rgb = image.convert("RGB")
        print(image.width, image.height, image.mode)
        print(rgb.tobytes().hex())
