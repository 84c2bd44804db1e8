#!/usr/bin/python3
"""Writes the seed corpus of dicomlib_charset_fuzz into corpus/charset.

Each seed is a selector byte (an index into the fuzz target's list of
character sets, or 0x80 and up: the set's text follows, ended by a NUL)
followed by value bytes.
"""
import os

SEEDS = {
    "h31": b"\x05" + b"Yamada^Tarou=\x1b$B;3ED\x1b(B^\x1b$BB@O:\x1b(B",
    "h32": b"\x06" + b"\xd4\xcf\xc0\xde^\xc0\xdb\xb3=\x1b$B;3ED\x1b(J^\x1b$BB@O:\x1b(J",
    "i2": b"\x08" + b"Hong^Gildong=\x1b$)C\xfb\xf3^\x1b$)C\xd1\xce\xd4\xd7",
    "x1": b"\x03" + b"Wang^XiaoDong=\xe7\x8e\x8b^\xe5\xb0\x8f\xe6\x9d\xb1=",
    "x2": b"\x04" + b"Wang^XiaoDong=\xcd\xf5^\xd0\xa1\xb6\xab=",
    "ir58": b"\x09" + b"Wang=\x1b$)A\xcd\xf5^\x1b$)A\xd0\xa1",
    "cns": b"\x0a" + b"A\x1b$)G\xc4\xa1\x1b$)H\xa1\xa1",
    "ir159": b"\x07" + b"A\x1b$(D0!\x1b(BZ",
    "custom": b"\x80ISO_IR 192\\ISO 2022 IR 87\x00" + b" 1.5e3\\abc",
    "numbers": b"\x01" + b" -12.5e-3",
}

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "charset")
os.makedirs(out, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
