#!/usr/bin/python3
"""Writes the expected element trees of the data-set reader tests.

Source: the test files of Debian's python3-pydicom (run under
/usr/bin/python3). pydicom reads every element (tag, VR, length, value bytes,
value position) and decodes text values in their character sets; this script
arranges what pydicom read into the tree the reader builds and writes it in
the dump form of tests/dicomlib/dataset_dump.h, normalised to the library's
rules:

- VR: the VR as read; "UN" and implicit VR give the library's dictionary VR
  (read from dicomlib/togdicomdictionarytable.cpp; unknown tags "UN").
- Pixel Data VR after reading: implicit VR little endian (and any nested data
  set) OW; explicit VR little and big endian OW above 8 bits allocated, else
  OB; JPEG lossless selection value 1 OB when encapsulated; others as read.
- Odd value lengths are padded to even with a zero byte.
- The contents of a sequence whose explicit VR is "UN" are implicit VR little
  endian.
- A little-endian data set after the meta group is read in the VR form its
  first element shows (pydicom's own check), whatever its transfer syntax says.
- Pixel Data and encapsulated fragments are recorded by position ("@offset").
- Text: AE AS CS DA DS DT IS TM UI byte by byte, leading blanks (not TM) and
  trailing blanks and NULs cut; LO LT PN SH ST UT decoded by pydicom in the
  character sets of the nearest (0008,0005), leading blanks cut for LO SH UT,
  trailing blanks cut; US SS SL UL in decimal; FL FD with "%f"; AT "ggggeeee";
  every value joined by backslashes. Other VRs: their bytes in hex.

Usage: /usr/bin/python3 tests/data/dicomlib/make_dataset_trees.py
Each tree goes to tests/data/dicomlib/dataset_trees/<name>.txt with a header
naming the source file (relative to pydicom's data folder) and how it is
opened: "part10", or "dataset <transfer syntax UID>".
"""
import io
import os
import re
import struct
import warnings

import pydicom
from pydicom import config
from pydicom.charset import convert_encodings, decode_bytes
from pydicom.valuerep import PN_DELIMS, TEXT_VR_DELIMS
from pydicom.filereader import data_element_generator, read_preamble, _is_implicit_vr, _read_file_meta_info

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
OUT = os.path.join(HERE, "dataset_trees")
DATA = os.path.dirname(pydicom.data.__file__)

# (file relative to DATA, how to open it)
FILES = [
    ("test_files/CT_small.dcm", "part10"),
    ("test_files/MR_small.dcm", "part10"),
    ("test_files/MR_small_implicit.dcm", "part10"),
    ("test_files/MR_small_bigendian.dcm", "part10"),
    ("test_files/MR_small_expb.dcm", "part10"),
    ("test_files/MR_small_padded.dcm", "part10"),
    ("test_files/MR_small_RLE.dcm", "part10"),
    ("test_files/ExplVR_BigEnd.dcm", "part10"),
    ("test_files/ExplVR_LitEndNoMeta.dcm", "dataset 1.2.840.10008.1.2.1"),
    ("test_files/ExplVR_BigEndNoMeta.dcm", "dataset 1.2.840.10008.1.2.2"),
    ("test_files/no_meta_group_length.dcm", "part10"),
    ("test_files/meta_missing_tsyntax.dcm", "part10"),
    ("test_files/priv_SQ.dcm", "part10"),
    ("test_files/nested_priv_SQ.dcm", "part10"),
    ("test_files/UN_sequence.dcm", "part10"),
    ("test_files/rtplan.dcm", "part10"),
    ("test_files/rtdose.dcm", "part10"),
    ("test_files/rtdose_expb.dcm", "part10"),
    ("test_files/rtdose_rle.dcm", "part10"),
    ("test_files/rtstruct.dcm", "part10"),
    ("test_files/badVR.dcm", "part10"),
    ("test_files/test-SR.dcm", "part10"),
    ("test_files/reportsi.dcm", "part10"),
    ("test_files/waveform_ecg.dcm", "part10"),
    ("test_files/JPEG-lossy.dcm", "part10"),
    ("test_files/JPEG2000.dcm", "part10"),
    ("test_files/JPEG2000-embedded-sequence-delimiter.dcm", "part10"),
    ("test_files/SC_rgb_rle_2frame.dcm", "part10"),
    ("test_files/SC_rgb_small_odd.dcm", "part10"),
    ("test_files/SC_rgb_jpeg_gdcm.dcm", "part10"),
    ("test_files/SC_rgb_jpeg.dcm", "part10"),
    ("test_files/SC_ybr_full_422_uncompressed.dcm", "part10"),
    ("test_files/liver_1frame.dcm", "part10"),
    ("test_files/liver_expb_1frame.dcm", "part10"),
    ("test_files/empty_charset_LEI.dcm", "part10"),
    ("test_files/dicomdirtests/DICOMDIR", "part10"),
    ("charset_files/chrArab.dcm", "part10"),
    ("charset_files/chrFren.dcm", "part10"),
    ("charset_files/chrFrenMulti.dcm", "part10"),
    ("charset_files/chrGerm.dcm", "part10"),
    ("charset_files/chrGreek.dcm", "part10"),
    ("charset_files/chrH31.dcm", "part10"),
    ("charset_files/chrH32.dcm", "part10"),
    ("charset_files/chrHbrw.dcm", "part10"),
    ("charset_files/chrI2.dcm", "part10"),
    ("charset_files/chrJapMulti.dcm", "part10"),
    ("charset_files/chrJapMultiExplicitIR6.dcm", "part10"),
    ("charset_files/chrKoreanMulti.dcm", "part10"),
    ("charset_files/chrRuss.dcm", "part10"),
    ("charset_files/chrSQEncoding.dcm", "part10"),
    ("charset_files/chrSQEncoding1.dcm", "part10"),
    ("charset_files/chrX1.dcm", "part10"),
    ("charset_files/chrX2.dcm", "part10"),
]

UNDEFINED = 0xFFFFFFFF
ITEM = (0xFFFE, 0xE000)
ITEM_END = (0xFFFE, 0xE00D)
SEQUENCE_END = (0xFFFE, 0xE0DD)
PIXEL_DATA = (0x7FE0, 0x0010)
SHORT_LENGTH_VRS = set("AE AS AT CS DA DS DT FL FD IS LO LT PN SH SL SS ST TM UI UL US".split())
SWAP_UNITS = {"US": 2, "SS": 2, "OW": 2, "AT": 2, "OF": 4, "FL": 4, "SL": 4, "UL": 4, "OL": 4,
              "FD": 8, "OD": 8, "SV": 8, "UV": 8, "OV": 8}
SINGLE_BYTE_TEXT = set("AE AS CS DA DS DT IS TM UI".split())
CHARSET_TEXT = set("LO LT PN SH ST UT".split())
NUMBERS = {"US": "H", "SS": "h", "UL": "L", "SL": "l", "FL": "f", "FD": "d"}


def load_dictionary():
    """The library's own table: (group, element) -> VR, plus the curve and
    overlay tables by element."""
    text = open(os.path.join(ROOT, "dicomlib", "togdicomdictionarytable.cpp"), encoding="utf-8").read()
    main, curves, overlays = {}, {}, {}
    row = re.compile(r"\{0x([0-9A-F]{4}), 0x([0-9A-F]{4}), \d+, \d+, \d+, 0x([0-9A-F]{4}),")
    for m in row.finditer(text):
        group, element, code = int(m.group(1), 16), int(m.group(2), 16), int(m.group(3), 16)
        vr = chr(code & 0xFF) + chr(code >> 8) if code else "UN"
        table = curves if group == 0x5000 else overlays if group == 0x6000 else main
        table.setdefault((group, element) if table is main else element, vr)
    return main, curves, overlays


MAIN, CURVES, OVERLAYS = load_dictionary()


def dictionary_vr(tag):
    if tag in MAIN:
        return MAIN[tag]
    group, element = tag
    if 0x5000 <= group <= 0x501E and element in CURVES:
        return CURVES[element]
    if 0x6000 <= group <= 0x601E and element in OVERLAYS:
        return OVERLAYS[element]
    return "UN"


class Node:
    def __init__(self, tag, vr, length):
        self.tag = tag
        self.vr = vr
        self.length = length
        self.value = None      # bytes in memory (library order), or None
        self.position = None   # offset of a value recorded by position
        self.children = []


def element_vr(tag, vr_as_read):
    if vr_as_read is None or vr_as_read == "UN":
        return dictionary_vr(tag)
    return vr_as_read


def memory_value(raw, vr, little):
    """The value bytes as the library holds them: big-endian units swapped,
    odd lengths padded with a zero byte."""
    value = bytes(raw or b"")
    unit = SWAP_UNITS.get(vr, 0)
    if not little and unit and len(value) % unit == 0:
        value = b"".join(value[i:i + unit][::-1] for i in range(0, len(value), unit))
    if len(value) % 2:
        value += b"\0"
    return value


def parse_dataset(data, start, end, implicit, little, depth):
    """Elements from data[start:end] until its end, or (depth >= 1) an item
    delimiter. Returns (nodes, position after)."""
    nodes = []
    pos = start
    while pos < end:
        stopped = []

        def stop(tag, vr, length):
            key = (tag.group, tag.element)
            if key in (ITEM, ITEM_END, SEQUENCE_END) or length == UNDEFINED:
                stopped.append((key, vr, length))
                return True
            if element_vr(key, vr) == "SQ":
                stopped.append((key, vr, length))
                return True
            return False

        fp = io.BytesIO(data[pos:end])
        for raw in data_element_generator(fp, implicit, little, stop_when=stop):
            key = (raw.tag.group, raw.tag.element)
            vr = element_vr(key, raw.VR)
            node = Node(key, vr, raw.length)
            if key == PIXEL_DATA:
                node.position = pos + raw.value_tell
            else:
                node.value = memory_value(raw.value, vr, little)
                node.length = len(node.value)
            nodes.append(node)
        if not stopped:
            return nodes, end
        pos += fp.tell()
        key, vr_as_read, length = stopped[0]
        if key == ITEM_END and depth >= 1:
            return nodes, pos + 8
        header = 8 if implicit or vr_as_read in SHORT_LENGTH_VRS else 12
        node = Node(key, element_vr(key, vr_as_read), length)
        pos += header
        contents_implicit, contents_little = implicit, little
        if not implicit and vr_as_read == "UN":
            contents_implicit, contents_little = True, True
        pos = parse_items(data, pos, length, node, contents_implicit, contents_little, depth)
        nodes.append(node)
    return nodes, pos


def parse_items(data, pos, length, node, implicit, little, depth):
    """The items of a sequence (or the fragments of encapsulated pixel
    data) from pos; returns the position after the sequence."""
    start = pos
    fmt = "<HHL" if little else ">HHL"
    while length == UNDEFINED or pos - start < length:
        group, element, item_length = struct.unpack(fmt, data[pos:pos + 8])
        pos += 8
        if (group, element) == SEQUENCE_END:
            break
        item = Node((group, element), "--", item_length)
        if node.tag == PIXEL_DATA:
            if not node.children:
                item.value = data[pos:pos + item_length]
            else:
                item.position = pos
            pos += item_length
        else:
            limit = len(data) if item_length == UNDEFINED else pos + item_length
            contents, pos = parse_dataset(data, pos, limit, implicit, little, depth + 1)
            item.children = ordered(contents)
        node.children.append(item)
    return pos


def read_tree(path, how):
    data = open(path, "rb").read()
    config.assume_implicit_vr_switch = False
    if how == "part10" and data[128:132] != b"DICM":
        # No preamble: the data set from the first byte, implicit VR.
        how = "dataset 1.2.840.10008.1.2"
    if how == "part10":
        fp = io.BytesIO(data)
        read_preamble(fp, False)
        nodes = []
        syntax = ""
        for raw in data_element_generator(fp, False, True,
                                          stop_when=lambda tag, vr, length: tag.group != 2):
            key = (raw.tag.group, raw.tag.element)
            node = Node(key, element_vr(key, raw.VR), raw.length)
            node.value = memory_value(raw.value, node.vr, True)
            node.length = len(node.value)
            nodes.append(node)
            if key == (0x0002, 0x0010):
                syntax = raw.value.decode("latin-1").strip(" \0")
        implicit = syntax == "1.2.840.10008.1.2"
        little = syntax != "1.2.840.10008.1.2.2"
        if little:
            # A data set written in the other VR form than its transfer
            # syntax says is read in the form its first element shows.
            at = fp.tell()
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                implicit = _is_implicit_vr(fp, implicit, little, None, is_sequence=False)
            fp.seek(at)
        rest, _ = parse_dataset(data, fp.tell(), len(data), implicit, little, 0)
        nodes += rest
    else:
        syntax = ""
        uid = how.split()[1]
        nodes, _ = parse_dataset(data, 0, len(data), uid == "1.2.840.10008.1.2",
                                 uid != "1.2.840.10008.1.2.2", 0)
    root = Node((0, 0), "--", 0)
    root.children = ordered(nodes)
    settle_pixel_vr(root, syntax)
    return root


def ordered(nodes):
    """Elements in tag order; a later element of one tag replaces the first."""
    by_tag = {}
    for node in nodes:
        by_tag[node.tag] = node
    return [by_tag[t] for t in sorted(by_tag)]


def settle_pixel_vr(node, syntax):
    children = {c.tag: c for c in node.children}
    pixel = children.get(PIXEL_DATA)
    bits = children.get((0x0028, 0x0100))
    syntax = syntax or "1.2.840.10008.1.2"

    def by_bits():
        pixel.vr = "OW" if struct.unpack("<H", bits.value[:2])[0] > 8 else "OB"

    if pixel is not None:
        if syntax == "1.2.840.10008.1.2":
            pixel.vr = "OW"
        elif syntax in ("1.2.840.10008.1.2.1", "1.2.840.10008.1.2.2") and bits is not None:
            by_bits()
        elif syntax == "1.2.840.10008.1.2.4.70":
            if pixel.children:
                pixel.vr = "OB"
            elif bits is not None:
                by_bits()
    for child in node.children:
        if child is not pixel and child.children:
            settle_pixel_vr(child, "")


def trim(text, leading):
    if leading:
        text = text.lstrip(" ")
    return text.rstrip(" \0")


def value_text(node, encodings):
    vr = node.vr if node.vr not in ("--", "UN") else dictionary_vr(node.tag)
    value = node.value
    if not value:
        return "[]"
    if vr in SINGLE_BYTE_TEXT:
        return "[" + trim(value.decode("latin-1"), vr != "TM") + "]"
    if vr in CHARSET_TEXT:
        delimiters = (PN_DELIMS | {0x3D} if vr == "PN" else TEXT_VR_DELIMS) | {0x5C}
        text = decode_bytes(value, encodings, delimiters)
        return "[" + trim(text, vr in ("LO", "SH", "UT")) + "]"
    if vr in NUMBERS:
        code = NUMBERS[vr]
        size = struct.calcsize("<" + code)
        values = struct.unpack("<%d%s" % (len(value) // size, code), value[:len(value) // size * size])
        if not values:
            return hex_text(value)
        if vr in ("FL", "FD"):
            return "[" + "\\".join("%f" % v for v in values) + "]"
        return "[" + "\\".join(str(v) for v in values) + "]"
    if vr == "AT" and node.vr == "AT":
        pairs = struct.unpack("<%dH" % (len(value) // 2), value[:len(value) // 4 * 4])
        return "[" + "\\".join("%04x%04x" % pairs[i:i + 2] for i in range(0, len(pairs), 2)) + "]"
    return hex_text(value)


def hex_text(value):
    return "=" + value[:32].hex() + ("..." if len(value) > 32 else "")


def charset_of(node, inherited):
    for child in node.children:
        if child.tag == (0x0008, 0x0005):
            text = trim((child.value or b"").decode("latin-1"), True)
            return convert_encodings([t.strip() for t in text.split("\\")])
    return inherited


def dump(node, depth, encodings, out):
    for child in node.children:
        length = "u/l" if child.length == UNDEFINED else str(child.length)
        if child.position is not None:
            value = "@%d" % child.position
        else:
            value = value_text(child, encodings)
        out.append("%s(%04x,%04x) %s %s %s" % ("  " * depth, child.tag[0], child.tag[1], child.vr,
                                             length, value))
        if child.children:
            # The items of a sequence: each item looks up its own character set.
            for item in child.children:
                length = "u/l" if item.length == UNDEFINED else str(item.length)
                value = "@%d" % item.position if item.position is not None else value_text(item, encodings)
                out.append("%s(%04x,%04x) %s %s %s" % ("  " * (depth + 1), item.tag[0], item.tag[1],
                                                     item.vr, length, value))
                dump(item, depth + 2, charset_of(item, encodings), out)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, how in FILES:
        root = read_tree(os.path.join(DATA, name), how)
        lines = ["# source: " + name, "# open: " + how]
        dump(root, 0, charset_of(root, convert_encodings([""])), lines)
        target = os.path.join(OUT, os.path.basename(name).replace(".dcm", "") + ".txt")
        with open(target, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
