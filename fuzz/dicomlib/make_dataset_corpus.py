#!/usr/bin/python3
"""Writes the seed corpus of dicomlib_dataset_fuzz into corpus/dataset.

Each seed is the fuzz target's mode byte and transfer-syntax byte followed by
a small data set built here: PS3.10 files in the three encodings with
sequences and encapsulated pixel data, a bare data set, a sequence with VR
"UN", a fixed-layout stream, sequences nested past the depth limit, and
frames of encapsulated pixel data located by their basic offset table; and
two files of tests/data/vrx/dicom/unusual (deep nesting, falling tags).
"""
import os
import struct


def explicit(tag, vr, value, big=False):
    e = ">" if big else "<"
    head = struct.pack(e + "HH", *tag) + vr.encode()
    if vr in ("OB", "OW", "SQ", "UN", "UT"):
        head += b"\0\0" + struct.pack(e + "L", len(value))
    else:
        head += struct.pack(e + "H", len(value))
    return head + value


def implicit(tag, value):
    return struct.pack("<HHL", tag[0], tag[1], len(value)) + value


def header(tag, vr, length, big=False):
    e = ">" if big else "<"
    return struct.pack(e + "HH", *tag) + vr.encode() + b"\0\0" + struct.pack(e + "L", length)


def item(length=0xFFFFFFFF, big=False):
    return struct.pack(">HHL" if big else "<HHL", 0xFFFE, 0xE000, length)


def end(element, big=False):
    return struct.pack(">HHL" if big else "<HHL", 0xFFFE, element, 0)


def part10(syntax):
    uid = syntax.encode() + (b"\0" if len(syntax) % 2 else b"")
    meta = explicit((2, 1), "OB", b"\0\1") + explicit((2, 0x10), "UI", uid)
    return b"\0" * 128 + b"DICM" + explicit((2, 0), "UL", struct.pack("<L", len(meta))) + meta


def body(big=False):
    u16 = ">H" if big else "<H"
    inner = explicit((8, 0x1150), "UI", b"1.2.3.4\0", big) + explicit((8, 0x1155), "UI", b"5.6\0", big)
    return (explicit((8, 5), "CS", b"ISO_IR 100", big)
            + explicit((8, 0x60), "CS", b"MR", big)
            + header((8, 0x1140), "SQ", 0xFFFFFFFF, big) + item(big=big) + inner + end(0xE00D, big)
            + end(0xE0DD, big)
            + explicit((0x10, 0x10), "PN", b"Buc^J\xe9r\xf4me", big)
            + explicit((0x28, 0x10), "US", struct.pack(u16, 8), big)
            + explicit((0x28, 0x100), "US", struct.pack(u16, 16), big)
            + explicit((0x28, 0x30), "DS", b"0.5\\0.5 ", big)
            + explicit((0x7FE0, 0x10), "OW", b"\1\2" * 8, big))


def nested(levels):
    """Sequences of undefined length nested `levels` deep, the innermost of
    VR "UN" with implicit content, then an element after them."""
    inner = header((9, 0x1001), "UN", 0xFFFFFFFF) + item() + implicit((8, 0x60), b"MR") + end(0xE00D) + end(0xE0DD)
    for _ in range(levels):
        inner = header((8, 0x1140), "SQ", 0xFFFFFFFF) + item() + inner + end(0xE00D) + end(0xE0DD)
    return inner + explicit((0x10, 0x10), "PN", b"A^B ")


FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data", "vrx", "dicom",
                        "unusual")

SEEDS = {
    "explicit": b"\x00\x00" + part10("1.2.840.10008.1.2.1") + body(),
    "big": b"\x04\x00" + part10("1.2.840.10008.1.2.2") + body(True),
    "implicit": b"\x08\x00" + part10("1.2.840.10008.1.2")
    + implicit((8, 0x60), b"CT") + implicit((0x28, 0x10), b"\x40\x00")
    + struct.pack("<HHL", 8, 0x1140, 0xFFFFFFFF) + item() + implicit((8, 0x1150), b"1.2\0")
    + end(0xE00D) + end(0xE0DD) + implicit((0x7FE0, 0x10), b"\0" * 8),
    "encapsulated": b"\x0c\x00" + part10("1.2.840.10008.1.2.4.70")
    + explicit((0x28, 0x100), "US", b"\x08\x00")
    + header((0x7FE0, 0x10), "OB", 0xFFFFFFFF) + item(4) + b"\0\0\0\0" + item(6) + b"\xff\xd8\xff\xd9\0\0"
    + end(0xE0DD),
    "bare": b"\x01\x01" + body(),
    "unsequence": b"\x21\x01" + header((9, 0x1001), "UN", 0xFFFFFFFF) + item()
    + implicit((8, 0x60), b"MR") + end(0xE00D) + end(0xE0DD) + explicit((0x10, 0x10), "PN", b"A^B "),
    "fixed": b"\x02\x00" + header((8, 0x60), "CS", 2) + b"MR" + header((0x7FE0, 0x10), "OB", 9) + b"pixels\0",
    "nometa": b"\x00\x00" + implicit((2, 0x10), b"1.2.840.10008.1.2.1\0") + explicit((8, 0x60), "CS", b"OT"),
    "nested": b"\x00\x00" + part10("1.2.840.10008.1.2.1") + nested(13),
    # Callbacks with the size, frames by the offset table: three frames, the
    # last in two fragments, then padding.
    "frames_by_table": b"\x04\x80" + part10("1.2.840.10008.1.2.5")
    + header((0x7FE0, 0x10), "OB", 0xFFFFFFFF) + item(12) + struct.pack("<3L", 0, 12, 24)
    + item(4) + b"abcd" + item(4) + b"efgh" + item(2) + b"ij" + item(2) + b"kl" + end(0xE0DD)
    + explicit((0xFFFC, 0xFFFC), "OB", b"\0\0"),
}
for name in ("deep_nesting", "falling_tags"):
    with open(os.path.join(FIXTURES, name + ".dcm"), "rb") as f:
        SEEDS[name] = b"\x00\x00" + f.read()

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "dataset")
os.makedirs(out, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
