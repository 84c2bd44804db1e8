#!/usr/bin/python3
"""Writes the seed corpus of vrx_rle_fuzz into corpus/.

Each seed is the fuzz target's three selector bytes (width - 1, height - 1,
sample shape) followed by a valid DICOM RLE frame: the 64-byte segment table
and PackBits segments, one per byte plane, most significant byte first.
"""
import os
import random
import struct


def packbits(data):
    out = bytearray()
    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 128 and data[i + run] == data[i]:
            run += 1
        if run >= 2:
            out += bytes([257 - run, data[i]])
            i += run
            continue
        start = i
        while i < len(data) and i - start < 128:
            if i + 1 < len(data) and data[i + 1] == data[i]:
                break
            i += 1
        out.append(i - start - 1)
        out += data[start:i]
    return bytes(out)


def frame(planes):
    segments = [packbits(p) for p in planes]
    table = [len(segments)]
    body = bytearray()
    for s in segments:
        table.append(64 + len(body))
        body += s
        if len(body) % 2:
            body.append(0)
    table += [0] * (16 - len(table))
    return struct.pack("<16I", *table) + bytes(body)


def image(rng, width, height, bytes_per_sample, channels):
    count = width * height
    planes = []
    for _ in range(channels * bytes_per_sample):
        plane = bytearray()
        while len(plane) < count:
            value = rng.randrange(256)
            plane += bytes([value]) * (rng.randrange(1, 40) if rng.random() < 0.4 else 1)
        planes.append(bytes(plane[:count]))
    return frame(planes)


SHAPES = {(8, 1): 0, (16, 1): 1, (32, 1): 2, (8, 3): 3, (16, 3): 4, (32, 3): 5}

rng = random.Random(10)
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(out, exist_ok=True)
for (bits, channels), selector in SHAPES.items():
    width, height = rng.randrange(1, 48), rng.randrange(1, 48)
    data = bytes([width - 1, height - 1, selector]) + image(rng, width, height, bits // 8, channels)
    with open(os.path.join(out, "frame_%d_%d" % (bits, channels)), "wb") as f:
        f.write(data)
