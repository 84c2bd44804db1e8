#!/usr/bin/python3
"""Writes the seed corpus of profile_reader_fuzz into corpus/: settings files
in UTF-8 (with and without a byte-order mark), UTF-16 (both orders) and CP932."""
import os

TEXT = ("; viewer settings\r\n[Font]\r\nStringsFaceName = \uff2d\uff33 \u30b4\u30b7\u30c3\u30af\r\n"
        "Size=-12\r\n[Strings]\r\nS10001=\"&Open\tfile\"\r\nS10002=line one\r\n"
        "[Message]\r\nM10001=R&D  \u65e5\u672c\u8a9e\r\n[font]\r\nx=repeated\r\n")

here = os.path.dirname(os.path.abspath(__file__))
seeds = {
    "utf8": TEXT.encode("utf-8"),
    "utf8_bom": b"\xef\xbb\xbf" + TEXT.encode("utf-8"),
    "utf16le": b"\xff\xfe" + TEXT.encode("utf-16-le"),
    "utf16be": b"\xfe\xff" + TEXT.encode("utf-16-be"),
    "cp932": TEXT.encode("cp932"),
}
os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(data)
