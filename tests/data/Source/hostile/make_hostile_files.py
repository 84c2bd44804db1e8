#!/usr/bin/python3
"""The hostile-files table: damaged and hostile inputs of zrm-render (DICOM
files, JPEG streams, DICOMDIRs and the settings files beside the program),
each with the outcome it must have and the time and memory it may take.

  make_hostile_files.py [--program PATH] [--only NAME]... OUTDIR

writes every case's input into OUTDIR and the table as OUTDIR/cases.tsv
(with --only, the named cases only). With --program, the zrm-render at PATH
is linked (or copied) to OUTDIR/program/zrm-render, which every case runs;
a case with settings files runs its own link of it, in the folder
OUTDIR/<name>.program/ that holds them. The process test
(tests/Source/hostile_files_test.cpp) runs zrm-render on each case and
checks its exit code, messages and output, and reads each case's frame
through the DICOM reader for its status; the benchmark
(bench/Source/hostile_bench.py) runs each case and prints its processor
time and peak memory against the ceilings. Ceilings are checked there only,
never in a test.

A row of CASES:

  Case(name, make, extras, exit, stderr, seconds, mebibytes,
       beside=(), same_as=None, status=None, address_space=None, heavy=False)

  name       unique, [a-z0-9_]
  make       make(path): writes the input at path (OUTDIR/<name>.dcm), or
             elsewhere in OUTDIR and returns where (a DICOMDIR in a folder
             of its own), or returns an existing file to use as it is
  extras     arguments of zrm-render before INPUT OUTPUT.bmp; "{dir}" in an
             argument stands for OUTDIR
  exit       the exit code zrm-render must give (0 done, 1 bad input, 2 bad
             usage, 3 output not written)
  stderr     the lines its standard error must have, in order, each given
             by a phrase it holds; [] means nothing may be written there;
             "{dir}" stands for OUTDIR, "{input}" for the input's path and
             "{program}" for the folder of the program the case runs
  seconds    ceiling on the processor time (user and system) of one run, for
             the benchmark
  mebibytes  ceiling on the peak resident memory of one run (MiB), for the
             benchmark
  beside     settings files beside the program: (file name, make) pairs,
             make(path) writing the file (or a folder) at path
  same_as    the name of an earlier row whose output file this row's must
             equal byte for byte
  status     (status word, function text) of the first status of the job
             that reads frame 1 through the DICOM reader: an error is the
             job's status, a warning one of its reports, (0, "") none at
             all; None: not read so
  address_space  the limit of the program's address space in MiB, which
             makes its allocations fail; None for no limit
  heavy      True when the case is too slow or too large under the
             sanitizers (or limits the address space, which they need):
             the process test of the sanitizer build passes over it (the
             benchmark runs every case)

Append a row per case, with its `make` function beside the others. A row
that exits 0 leaves an output file, any other leaves none.

cases.tsv has one line per row, tab-separated: name, program, input,
extras, exit, stderr, seconds, mebibytes, same_as, status, function,
address_space, heavy. The arguments of extras and the lines of stderr are
joined by the unit separator (0x1F); program is empty without --program,
same_as and function are empty for none, status is in hexadecimal ("-" when
not read), address_space 0 for no limit, heavy 0 or 1.
"""
import argparse
import io
import os
import shutil
import struct
import sys
import warnings
from collections import namedtuple

import pydicom.data
from pydicom.encaps import encapsulate, generate_pixel_data_frame
from pydicom.uid import ExplicitVRLittleEndian

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", ".."))
# Run from the tests: nothing written into the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(DATA, "vrx", "dicom"))
sys.path.insert(0, os.path.join(DATA, "jpegdec", "lossless_dicom"))
sys.path.insert(0, os.path.join(DATA, "Source", "dicomdir"))
from image_dataset import image_dataset  # noqa: E402
from make_lossless_dicom import BitWriter  # noqa: E402
import make_dicomdir_fixtures as dicomdir  # noqa: E402

# Inputs found by fuzzing, kept as they were found.
FOUND = os.path.join(DATA, "Source", "render_chain")
# The JPEG decoder's fixtures.
JPEG = os.path.join(DATA, "jpegdec")

BASELINE = "1.2.840.10008.1.2.4.50"
EXTENDED = "1.2.840.10008.1.2.4.51"
LOSSLESS = "1.2.840.10008.1.2.4.70"
OVERLAY = "OverlaySetting.xml"
INI = "ZR-M_Viewer.ini"

Case = namedtuple("Case", "name make extras exit stderr seconds mebibytes beside same_as status "
                  "address_space heavy", defaults=((), None, None, None, False))


# ---- DICOM files ----

def image(rows, columns, bits, pixels, photometric="MONOCHROME2", samples=1,
          syntax=ExplicitVRLittleEndian, **attributes):
    """A Part 10 data set of one image with further attributes by keyword;
    `pixels` is the Pixel Data value as stored (nothing checks it against
    the attributes)."""
    ds = image_dataset(rows, columns, bits, samples, photometric,
                       "1.2.826.0.1.3680043.10.1078.31.1", syntax)
    for keyword, value in attributes.items():
        setattr(ds, keyword, value)
    ds.PixelData = pixels
    ds["PixelData"].VR = "OW" if bits > 8 else "OB"
    return ds


def save(ds, path):
    ds.save_as(path, write_like_original=False)


def native_frame_beyond_its_data(path):
    # 16384 x 32768 16-bit samples declared (1 GiB), 1000 bytes there.
    save(image(16384, 32768, 16, bytes(1000)), path)


def large_pixels(path):
    # 4096 x 2 pixels each 1000 times taller than wide: at zoom 64 one row
    # is 64000 screen rows.
    pixels = bytes((x * 7 + y * 50) % 251 for y in range(2) for x in range(4096))
    save(image(2, 4096, 8, pixels, PixelSpacing=[1000, 1]), path)


def frame_2048_square(path):
    # 2048 x 2048 16-bit samples (8 MiB), every byte value in turn.
    save(image(2048, 2048, 16, bytes(range(256)) * (32 << 10)), path)


def rle_65535_square(path):
    """An RLE frame declared 65535 x 65535 of 16 bits (8 GiB), its one
    segment a run of two zero bytes."""
    header = struct.pack("<16I", 1, 64, *[0] * 14)
    save(image(65535, 65535, 16, encapsulate([header + b"\xff\x00"]),
               syntax="1.2.840.10008.1.2.5"), path)


def large_private_value(path):
    """A valid image whose private OB value of 256 MiB (zeros, a hole of
    the file) comes before its Pixel Data."""
    buffer = io.BytesIO()
    save(image(8, 8, 8, bytes(range(64))), buffer)
    data = buffer.getvalue()
    at = data.index(b"\xe0\x7f\x10\x00OB")
    creator = b"ZRM HOSTILE "
    size = 256 << 20
    with open(path, "wb") as f:
        f.write(data[:at])
        f.write(struct.pack("<HH2sH", 0x7FD1, 0x0010, b"LO", len(creator)) + creator)
        f.write(struct.pack("<HH2sHI", 0x7FD1, 0x1001, b"OB", 0, size))
        f.seek(size, os.SEEK_CUR)
        f.write(data[at:])


def found(name):
    def make(path):
        shutil.copyfile(os.path.join(FOUND, name), path)
    return make


def pydicom_file(name):
    def make(path):
        return pydicom.data.get_testdata_file(name)
    return make


# ---- JPEG streams ----

def fixture(name):
    with open(os.path.join(JPEG, name), "rb") as f:
        return f.read()


def segment(marker, body):
    return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body


def frame_header(stream):
    """(position of the SOFn marker, P, Y, X, Nf)."""
    i = 2
    while True:
        marker = stream[i + 1]
        if marker in (0xC0, 0xC1, 0xC2, 0xC3):
            p, y, x, nf = struct.unpack(">BHHB", stream[i + 4:i + 10])
            return i, p, y, x, nf
        i += 2 + struct.unpack(">H", stream[i + 2:i + 4])[0]


def with_size(stream, width, height):
    at = frame_header(stream)[0]
    return stream[:at + 5] + struct.pack(">HH", height, width) + stream[at + 9:]


def twelve_bit_dct(stream, marker):
    """The stream with a frame header of 12-bit precision under SOFn
    `marker` (the data as it was: the frame is refused before it is
    decoded)."""
    at = frame_header(stream)[0]
    return stream[:at + 1] + bytes([marker]) + stream[at + 2:at + 4] + b"\x0c" + stream[at + 5:]


def eob_run_frame(side):
    """A grey progressive frame of side x side whose one scan (AC 1..63 of
    the one component) is end-of-band runs of 32767 blocks: every block
    stays zero, mid-grey."""
    blocks = ((side + 7) // 8) ** 2
    # One AC code, '0', for EOBRUN with r = 14 (2^14 plus 14 bits); the DC
    # table every scan names, one code for 0.
    bits = bytes([1] + [0] * 15)
    table = segment(0xC4, bytes([0x00]) + bits + bytes([0x00]) + bytes([0x10]) + bits + bytes([0xE0]))
    data = BitWriter()
    while blocks > 0:
        run = min(blocks, (1 << 15) - 1)
        data.put(0, 1)
        data.put(run - (1 << 14), 14)
        blocks -= run
    stream = b"\xff\xd8" + segment(0xDB, bytes([0]) + bytes([1] * 64))
    stream += segment(0xC2, struct.pack(">BHHB", 8, side, side, 1) + bytes([1, 0x11, 0]))
    data.flush()
    stream += table + segment(0xDA, bytes([1, 1, 0x00, 1, 63, 0x00])) + bytes(data.out) + b"\xff\xd9"
    return stream


def restart_broken(replace):
    """The progressive stream with intervals, its first scan's first
    restart marker (from its 0xFF) replaced by `replace(stream, at)`."""
    stream = fixture("prog_s422_restart.jpg")
    at = min(stream.index(bytes([0xFF, 0xD0 + k])) for k in range(8) if bytes([0xFF, 0xD0 + k]) in stream)
    return replace(stream, at)


def flipped(stream, at, mask):
    """The stream with the bits of `mask` of its byte at `at` flipped."""
    return stream[:at] + bytes([stream[at] ^ mask]) + stream[at + 1:]


def sixteen_bit_table_between_scans():
    """The progressive stream with a DQT segment of a 16-bit table before
    its second scan."""
    stream = progressive()
    at = stream.index(b"\xff\xda", stream.index(b"\xff\xda") + 2)
    return stream[:at] + segment(0xDB, bytes([0x10]) + bytes([0, 1]) * 64) + stream[at:]


def interval_without_code():
    """The colour stream of optimised tables with one restart interval per
    MCU row, its third interval's data all ones: no code begins with them."""
    stream = fixture("s444_restart1_opt.jpg")
    starts = [i + 2 for i in range(len(stream) - 1)
              if stream[i] == 0xFF and 0xD0 <= stream[i + 1] <= 0xD7]
    return (stream[:starts[1]] + b"\xff\x00" * ((starts[2] - 2 - starts[1]) // 2) +
            stream[starts[2] - 2:])


def lossless_subsampled():
    """The 3-component lossless stream with its first component sampled
    2 x 1 and a restart interval of one row of its units."""
    stream = fixture("../jpegkernels/lossless/c8_sv1_pt0.jpg")
    at, _, _, columns, _ = frame_header(stream)
    sampling = at + 11  # H<<4|V of the first component
    stream = stream[:sampling] + b"\x21" + stream[sampling + 1:]
    return stream[:at] + segment(0xDD, struct.pack(">H", columns // 2)) + stream[at:]


def constant_frame(side):
    """A baseline grey frame of side x side pixels (a multiple of 8), all
    128, in two bits a block: every block a DC difference and an
    end-of-block of one bit each (Huffman tables of a single 1-bit code)."""
    quantisation = segment(0xDB, bytes([0x00]) + bytes([1] * 64))
    frame = segment(0xC0, struct.pack(">BHHB", 8, side, side, 1) + bytes([1, 0x11, 0]))
    # One code of length 1 in each table: DC category 0, and AC end-of-block.
    one_code = bytes([1] + [0] * 15) + bytes([0])
    tables = segment(0xC4, bytes([0x00]) + one_code + bytes([0x10]) + one_code)
    scan = segment(0xDA, bytes([1, 1, 0x00, 0, 63, 0]))
    data = bytes((2 * (side // 8) ** 2 + 7) // 8)  # two 0 bits a block
    return b"\xff\xd8" + quantisation + frame + tables + scan + data + b"\xff\xd9"


def comments_before(count, stream):
    """`count` comment segments of one byte after the stream's SOI."""
    return stream[:2] + segment(0xFE, b"c") * count + stream[2:]


def jpeg_file(stream, rows=None, columns=None, samples=None, bits=8, syntax=BASELINE):
    """A DICOM file of one frame holding `stream`; the image attributes are
    the stream's frame header's unless given. The maker keeps the stream
    as its `stream` (the fuzz seeds take it from there)."""
    _, _, height, width, components = frame_header(stream)
    samples = components if samples is None else samples
    rows = height if rows is None else rows
    columns = width if columns is None else columns

    def make(path):
        more = {"PlanarConfiguration": 0} if samples == 3 else {}
        save(image(rows, columns, bits, encapsulate([stream]),
                   "MONOCHROME2" if samples == 1 else "YBR_FULL_422", samples, syntax, **more), path)
    make.stream = stream
    return make


def grey():
    return fixture("grey.jpg")


def before_eoi(stream, data):
    """The stream with `data` inserted just before its end-of-image marker
    (after any 0xFF fill)."""
    at = stream.rindex(b"\xff\xd9")
    return stream[:at] + data + stream[at:]


# Bytes that are neither fill nor a marker.
JUNK = bytes(range(1, 33))


def progressive():
    return fixture("prog_s420.jpg")


def lossless_grey16():
    return fixture("../jpegkernels/lossless/g16_sv1_pt0.jpg")


def pydicom_frame(name):
    """The stream of frame 1 of one of pydicom's test files."""
    return next(generate_pixel_data_frame(pydicom.dcmread(pydicom.data.get_testdata_file(name)).PixelData))


# ---- DICOMDIRs ----

def dicomdir_file_id(parts):
    """A DICOMDIR in the folder <path without .dcm> whose one IMAGE record
    has the File ID `parts`, beside the image DIR1/IM0001 (the file the ID
    names when cut at a NUL)."""
    def make(path):
        folder = path[:-len(".dcm")]
        shutil.rmtree(folder, ignore_errors=True)
        ds = dicomdir.image(folder, ("DIR1", "IM0001"), ("Hostile^Id", "HI1"), (1, "Head"), (1, "Axial"), 0,
                            number=1)
        record = dicomdir.image_record(("DIR1", "IM0001"), ds)
        with warnings.catch_warnings():  # the values are meant to be invalid
            warnings.simplefilter("ignore")
            record.ReferencedFileID = parts
        patient = dicomdir.record("PATIENT", PatientName="Hostile^Id", PatientID="HI1")
        tree = [(patient, [(dicomdir.study_record(ds), [(dicomdir.series_record(ds), [(record, [])])])])]
        dicomdir.directory(os.path.join(folder, "DICOMDIR"), tree)
        return os.path.join(folder, "DICOMDIR")
    return make


def dicomdir_records(count):
    """A DICOMDIR in the folder <path without .dcm> of a patient, a study and
    a series with `count` IMAGE records (without links, in item order),
    written element by element: pydicom takes minutes for as many."""
    def element(group, number, vr, value):
        if isinstance(value, str):
            value = value.encode() + b" " * (len(value) % 2)
        return struct.pack("<HH2sH", group, number, vr.encode(), len(value)) + value

    def record(kind, *more):
        body = b"".join([element(0x0004, 0x1400, "UL", struct.pack("<I", 0)),
                         element(0x0004, 0x1410, "US", struct.pack("<H", 0xFFFF)),
                         element(0x0004, 0x1420, "UL", struct.pack("<I", 0)),
                         element(0x0004, 0x1430, "CS", kind)] + list(more))
        return struct.pack("<HHI", 0xFFFE, 0xE000, len(body)) + body

    def make(path):
        folder = path[:-len(".dcm")]
        os.makedirs(folder, exist_ok=True)
        meta = b"".join([struct.pack("<HH2sHI", 0x0002, 0x0001, b"OB", 0, 2) + b"\0\1",
                         element(0x0002, 0x0002, "UI", "1.2.840.10008.1.3.10\0"),
                         element(0x0002, 0x0003, "UI", "1.2.826.0.1.3680043.10.1078.32\0"),
                         element(0x0002, 0x0010, "UI", ExplicitVRLittleEndian + "\0")])
        records = [record("PATIENT", element(0x0010, 0x0010, "PN", "Many^Mo")),
                   record("STUDY", element(0x0020, 0x000D, "UI", "1.2.826.0.1.3680043.10.1078.33")),
                   record("SERIES", element(0x0020, 0x000E, "UI", "1.2.826.0.1.3680043.10.1078.34"))]
        records += [record("IMAGE", element(0x0004, 0x1500, "CS", "IM%06d" % k),
                           element(0x0020, 0x0013, "IS", str(k + 1))) for k in range(count)]
        with open(os.path.join(folder, "DICOMDIR"), "wb") as f:
            f.write(bytes(128) + b"DICM" + element(0x0002, 0x0000, "UL", struct.pack("<I", len(meta))) +
                    meta + struct.pack("<HH2sHI", 0x0004, 0x1220, b"SQ", 0, 0xFFFFFFFF) +
                    b"".join(records) + struct.pack("<HHI", 0xFFFE, 0xE0DD, 0))
        return os.path.join(folder, "DICOMDIR")
    return make


# ---- settings files ----

def write(data):
    def make(path):
        with open(path, "wb") as f:
            f.write(data)
    return make


def folder_instead(path):
    os.mkdir(path)


def fifo_instead(path):
    os.mkfifo(path)


# The largest settings file read.
SETTINGS_LIMIT = 1 << 20


def over_1_mib(path):
    with open(path, "wb") as f:
        f.truncate(SETTINGS_LIMIT + 1)


XML_HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'
XML_LINE = '    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="x"/></LINE></LOCATION>\n'

# Annotation settings files that cannot be used.
BROKEN_XML = {
    # Cut short inside a MODALITY (line 4 is the last).
    "truncated": (XML_HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="CT">\n' + XML_LINE).encode(),
    # An end tag that closes the wrong element, on line 5.
    "mismatch": (XML_HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="CT">\n'
                 '    <LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="x"/></LINE>\n'
                 '  </MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # Well-formed, but the root (line 2) is not OVERLAYSETTING.
    "wrong_root": (XML_HEAD + '<SETTINGS>\n  <MODALITY NAME="CT">\n' + XML_LINE +
                   '  </MODALITY>\n</SETTINGS>\n').encode(),
    # UTF-16 with a lone high surrogate in an attribute value on line 3.
    "lone_surrogate": '<?xml version="1.0" encoding="UTF-16"?>\n<OVERLAYSETTING>\n  <MODALITY NAME="C'
                      .encode("utf-16") + b"\x00\xd8" +
                      'T">\n'.encode("utf-16-le") + XML_LINE.encode("utf-16-le") +
                      '  </MODALITY>\n</OVERLAYSETTING>\n'.encode("utf-16-le"),
    # Bytes that are not UTF-8 in a UTF-8 file, on line 3.
    "bad_utf8": (XML_HEAD + '<OVERLAYSETTING>\n  <MODALITY NAME="').encode() + b"\xff\xfe" +
                ('">\n' + XML_LINE + '  </MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # An encoding nobody knows.
    "unknown_encoding": ('<?xml version="1.0" encoding="NO-SUCH-CODE"?>\n<OVERLAYSETTING/>\n').encode(),
    # TAGs nested deeper than the parser goes (300 levels on line 3).
    "deep": (XML_HEAD + '<OVERLAYSETTING>\n<MODALITY NAME="CT"><LOCATION VALUE="UPPERLEFT"><LINE>' +
             '<TAG NO="0008,1140">' * 300 + '</TAG>' * 300 +
             '</LINE></LOCATION></MODALITY>\n</OVERLAYSETTING>\n').encode(),
    # Nothing at all.
    "empty": b"",
    # Every byte value once.
    "binary": bytes(range(256)),
    # An element name of 40,000 characters that closes the wrong element:
    # the warning stays one short line.
    "long_name": (XML_HEAD + '<OVERLAYSETTING>\n<' + "N" * 40000 + '>\n</MODALITY>\n'
                  '</OVERLAYSETTING>\n').encode(),
}

LONG = "L" * 300  # longer than the 255 characters a name or value may have
# Settings files with lines too long to keep.
LONG_INI = {
    # A face name that no font has, on line 3.
    "long_face": "; settings\r\n[Font]\r\nStringsFaceName=" + LONG + "\r\n[Strings]\r\nS10001=Open\r\n",
    # A key too long on line 2; the face name after it is read.
    "long_key": "[Font]\r\n" + LONG + "=1\r\nStringsFaceName=MS UI Gothic\r\n",
    # A section name too long on line 3: its keys are not read (the face name
    # is not taken from it), the lines after the next section are.
    "long_section": "[Font]\r\nx=1\r\n[" + LONG + "]\r\nStringsFaceName=Wrong\r\n"
                    "[Message]\r\nM10001=ok\r\n",
    # A face name that fills the file to a byte under 1 MiB.
    "face_name_under_1_mib": "[Font]\r\nStringsFaceName=" + "F" * (SETTINGS_LIMIT - 27) + "\r\n",
}


def modalities(count, limit=SETTINGS_LIMIT):
    """An annotation settings file of `count` modalities of one annotated
    line each, or with 0 as many as `limit` bytes hold."""
    head, tail = XML_HEAD + "<OVERLAYSETTING>\n", "</OVERLAYSETTING>\n"
    blocks, size = [head], len(head) + len(tail)
    while count == 0 or len(blocks) <= count:
        block = ('<MODALITY NAME="M%06d"><LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="Name: "/>'
                 '<TAG NO="0010,0010"/></LINE></LOCATION></MODALITY>\n' % (len(blocks) - 1))
        if size + len(block) > limit:
            break
        blocks.append(block)
        size += len(block)
    return "".join(blocks + [tail]).encode()


def lines(count, limit=SETTINGS_LIMIT):
    """An annotation settings file of `count` lines of one text in one corner
    of CT, each LINE on a line of its own from line 4, or with 0 as many as
    `limit` bytes hold."""
    head = XML_HEAD + '<OVERLAYSETTING>\n<MODALITY NAME="CT"><LOCATION VALUE="UPPERLEFT">\n'
    tail = "</LOCATION></MODALITY>\n</OVERLAYSETTING>\n"
    line = '<LINE><TEXT VALUE="x"/></LINE>\n'
    if count == 0:
        count = (limit - len(head) - len(tail)) // len(line)
    return (head + line * count + tail).encode()


# ---- the table ----

# Found by the render-chain fuzz target, which paints at zooms 0.37, 1 and
# 2.6 into 48 x 40 tiles.
FUZZ_TILE = ["--zoom", "2.6", "--size", "48x40"]

# Statuses: (status word, function text).
DAMAGED = (0x40400000, "VRX_DecodeJPEGEngine::execute()")
CORRUPT = (0x80400000, "VRX_ReadDICOM::engine()")
NO_MEMORY = (0x80010000, "VRX_DecodeJPEGEngine::initiate()")
NO_FRAME_MEMORY = (0x80010000, "ZEBVRXHelper::DecodeFrame()")
UNSUPPORTED = (0x81000000, "VRX_JPEGInfoInternal::initiate()")
# The same, met while the frame is decoded.
UNSUPPORTED_LATER = (0x81000000, "VRX_JPEGInfoInternal::execute()")
JFIF_HEADER = (0x80200000, "VRX_ReadJFIF::initiate()")
DATA_SET_MEMORY = (0x80010000, "VRX_DICOMInfoInternal::decode_start()")


def about_input(words, status):
    """The program's line about its input: words and status."""
    return "zrm-render: {input}: %s (status 0x%08X, %s)" % (words, status[0], status[1])


DAMAGED_LINE = about_input("frame 1: warning: damaged JPEG data: what could not be decoded is shown mid-grey",
                           DAMAGED)
LEFT_OVER_LINE = about_input("frame 1: warning: damaged JPEG data: coded data is left over before a marker, so the "
                             "picture may be wrong", DAMAGED)
NO_END_LINE = about_input("frame 1: warning: damaged JPEG data: the stream ends without its end-of-image marker; "
                          "every row is decoded", DAMAGED)
# A progressive frame shows what its scans before the damage gave.
PROG_DAMAGED_LINE = about_input("frame 1: warning: damaged JPEG data: shown as the scans before the damage give it",
                                DAMAGED)
NO_MEMORY_LINE = about_input("out of memory in frame 1", NO_MEMORY)


def mismatch(stream_is, file_declares):
    return [about_input("corrupt pixel data in frame 1: the JPEG stream is " + stream_is +
                        ", the file declares " + file_declares, CORRUPT)]


def settings_warning(file, words):
    """The one warning line of a settings file beside the program."""
    return ["zrm-render: warning: {program}/" + file + words]


XML_INSTEAD = "; the built-in annotation settings are used"
INI_INSTEAD = "; the built-in settings are used"
LINES_SKIPPED = (", line 36: more than 32 lines in a corner; only the first 32 lines of a corner and "
                 "the first 32 items of a line are used")
SKIPPED = ": a name or value longer than 255 characters; the line is skipped"

# What the program says of each settings file it cannot use, after the
# file's path in its one warning line.
XML_WARNINGS = {
    "truncated": ", line 5: Premature end of data in tag MODALITY line 3",
    "mismatch": ", line 5: Opening and ending tag mismatch: LOCATION line 4 and MODALITY",
    "wrong_root": ", line 2: the root element is SETTINGS, not OVERLAYSETTING",
    # The parser's own lines go into the one warning line.
    "lone_surrogate": ", line 3: input conversion failed due to input error, bytes 0x00 0xD8 0x54 0x00",
    "bad_utf8": ", line 3: Input is not proper UTF-8, indicate encoding ! Bytes: 0xFF 0xFE 0x22 0x3E",
    "unknown_encoding": ", line 1: Unsupported encoding NO-SUCH-CODE",
    "deep": ", line 3: Excessive depth in document: 256 use XML_PARSE_HUGE option",
    "empty": ", line 1: Document is empty",
    "binary": ", line 1: Document is empty",
    # The parser's message quotes the 40,000-character name: cut.
    "long_name": ", line 4: Opening and ending tag mismatch: " + "N" * 167 + "...",
}
INI_WARNINGS = {"long_face": ", line 3", "long_key": ", line 2", "long_section": ", line 3",
                "face_name_under_1_mib": ", line 2"}
LARGER = ": is larger than 1 MiB"

# Settings files beside the program that cannot be used as they are:
# (file name, case name, make, warning after the file's path). The program
# says so in one line and draws with the built-in settings.
SETTINGS_WARNINGS = (
    [(OVERLAY, name, write(data), XML_WARNINGS[name] + XML_INSTEAD) for name, data in BROKEN_XML.items()] +
    [(INI, name, write(text.encode()), INI_WARNINGS[name] + SKIPPED) for name, text in LONG_INI.items()] +
    [(OVERLAY, "folder", folder_instead, ": cannot be read: Is a directory" + XML_INSTEAD),
     (OVERLAY, "over_1_mib", over_1_mib, LARGER + XML_INSTEAD),
     (INI, "folder", folder_instead, ": cannot be read: Is a directory" + INI_INSTEAD),
     (INI, "over_1_mib", over_1_mib, LARGER + INI_INSTEAD),
     # Larger files are not read at all, nor does anything grow with them:
     # a face name of 8 MB, 50,000 modalities, a value of over 10,000,000
     # characters (which the parser took for memory running out).
     (INI, "face_name_8_mb", write(("[Font]\r\nStringsFaceName=" + "F" * (8 << 20) + "\r\n").encode()),
      LARGER + INI_INSTEAD),
     (OVERLAY, "50000_modalities", write(modalities(50000, 16 << 20)), LARGER + XML_INSTEAD),
     (OVERLAY, "value_over_10_million", write(
         (XML_HEAD + '<OVERLAYSETTING>\n<MODALITY NAME="CT"><LOCATION VALUE="UPPERLEFT"><LINE><TEXT VALUE="' +
          "v" * 10000001 + '"/>\n</LINE></LOCATION></MODALITY>\n</OVERLAYSETTING>\n').encode()),
      LARGER + XML_INSTEAD),
     # A FIFO is not waited for (nothing would ever write to it).
     (OVERLAY, "fifo", fifo_instead, ": is not a regular file" + XML_INSTEAD),
     (INI, "fifo", fifo_instead, ": is not a regular file" + INI_INSTEAD)])

CASES = [
    # Comment segments: a million of one byte (5 MB) collected in linear
    # time, the kept text bounded.
    # The text beyond what is kept is passed over with the warning of a
    # malformed segment, which the program does not show.
    Case("comments_million", jpeg_file(comments_before(1000000, grey())), [], 0, [], 1.0, 64,
         status=(0x40200010, "VRX_JPEGInfoInternal::get_jpeginfo()")),
    # Damage that used to decode as success: the warning, the rest shown.
    Case("prog_restart_rst0_twice",
         jpeg_file(restart_broken(lambda s, at: s[:at + 2] + s[at:at + 2] + s[at + 2:])), [], 0,
         [PROG_DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    Case("prog_restart_dnl_for_rst0",
         jpeg_file(restart_broken(lambda s, at: s[:at] + segment(0xDC, struct.pack(">H", 45)) + s[at + 2:])),
         [], 0, [PROG_DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    Case("prog_without_eoi", jpeg_file(progressive()[:progressive().rindex(b"\xff\xd9")]), [], 0,
         [PROG_DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    Case("prog_cut_short", jpeg_file(progressive()[:len(progressive()) * 6 // 10]), [], 0,
         [PROG_DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    # A changed byte of a refinement scan gives a coefficient no zero one is
    # left for in its band (djpeg: data left over before the end of image).
    Case("prog_refinement_damaged", jpeg_file(flipped(fixture("prog_grey_128x96.jpg"), 1775, 0x10)), [], 0,
         [PROG_DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    Case("interval_without_code", jpeg_file(interval_without_code()), [], 0, [DAMAGED_LINE], 1.0, 64,
         status=DAMAGED),
    # Coded data left over before the end of image, and a stream that lacks
    # only its end of image: every row as the whole stream gives it, with the
    # words of what was done. Fill bytes of 0xFF before a marker are none.
    Case("baseline_whole", jpeg_file(grey()), [], 0, [], 1.0, 64),
    Case("baseline_junk_before_eoi", jpeg_file(before_eoi(grey(), JUNK)), [], 0, [LEFT_OVER_LINE], 1.0, 64,
         same_as="baseline_whole", status=DAMAGED),
    Case("baseline_fill_before_eoi", jpeg_file(before_eoi(grey(), b"\xff" * 6)), [], 0, [], 1.0, 64,
         same_as="baseline_whole"),
    Case("baseline_without_eoi", jpeg_file(grey()[:grey().rindex(b"\xff\xd9")]), [], 0, [NO_END_LINE], 1.0, 64,
         same_as="baseline_whole", status=DAMAGED),
    Case("prog_whole", jpeg_file(progressive()), [], 0, [], 1.0, 64),
    Case("prog_junk_before_eoi", jpeg_file(before_eoi(progressive(), JUNK)), [], 0, [LEFT_OVER_LINE], 1.0, 64,
         same_as="prog_whole", status=DAMAGED),
    Case("lossless_whole", jpeg_file(lossless_grey16(), bits=16, syntax=LOSSLESS), [], 0, [], 1.0, 64),
    Case("lossless_junk_before_eoi", jpeg_file(before_eoi(lossless_grey16(), JUNK), bits=16, syntax=LOSSLESS), [],
         0, [LEFT_OVER_LINE], 1.0, 64, same_as="lossless_whole", status=DAMAGED),
    # Memory in proportion to the input: a frame beyond its data, streams
    # that do not match their file, stores and frames over the limits.
    Case("native_frame_beyond_its_data", native_frame_beyond_its_data, [], 1,
         [about_input("corrupt pixel data in frame 1", CORRUPT)], 1.0, 64, status=CORRUPT),
    Case("stream_32768_in_61x45", jpeg_file(with_size(grey(), 32768, 32768), 45, 61), [], 1,
         mismatch("32768 x 32768 with 1 component of 8 bits", "61 x 45 with 1 sample in 8 bits"), 1.0, 64,
         status=CORRUPT),
    Case("stream_61x45_in_512x512", jpeg_file(grey(), 512, 512), [], 1,
         mismatch("61 x 45 with 1 component of 8 bits", "512 x 512 with 1 sample in 8 bits"), 1.0, 64,
         status=CORRUPT),
    Case("colour_in_monochrome2", jpeg_file(fixture("s444.jpg"), samples=1), [], 1,
         mismatch("61 x 45 with 3 components of 8 bits", "61 x 45 with 1 sample in 8 bits"), 1.0, 64,
         status=CORRUPT),
    Case("lossless_p12_in_8_bits", jpeg_file(fixture("../jpegkernels/lossless/g12_sv1_pt0.jpg"),
                                             syntax=LOSSLESS), [], 1,
         mismatch("40 x 12 with 1 component of 12 bits", "40 x 12 with 1 sample in 8 bits"), 1.0, 64,
         status=CORRUPT),
    # A progressive 23168 x 23168 frame of end-of-band runs: its coefficient
    # store just under 1 GiB, its pages untouched; shown at 1/64.
    Case("prog_23168_eob_runs", jpeg_file(eob_run_frame(23168)), ["--zoom", "1/64"], 0, [], 3.0, 640,
         status=(0, ""), heavy=True),
    Case("prog_23200_eob_runs", jpeg_file(eob_run_frame(23200)), [], 1, [NO_MEMORY_LINE], 1.0, 64,
         status=NO_MEMORY),
    # Allocations that cannot succeed are out of memory, not an unsupported
    # compression: frames over the program's 1 GiB are refused by their size
    # (the DICOM reader finds no memory for the colour one of 65535 x 65535),
    # JPEG or RLE.
    Case("colour_65535_square", jpeg_file(with_size(fixture("s444.jpg"), 65535, 65535)), [], 1,
         [about_input("the frame needs 12884508675 bytes, over 1 GiB", NO_FRAME_MEMORY)], 1.0, 64,
         status=NO_MEMORY),
    Case("rle_65535_square", rle_65535_square, [], 1,
         [about_input("the frame needs 8589672450 bytes, over 1 GiB", NO_FRAME_MEMORY)], 1.0, 64),
    Case("frame_over_1_gib", jpeg_file(with_size(grey(), 32768, 32769)), [], 1,
         [about_input("the frame needs 1073774592 bytes, over 1 GiB", NO_FRAME_MEMORY)], 1.0, 64),
    # A 16384 x 16384 frame (256 MiB) where allocations stop at 224 MiB.
    Case("frame_allocation_fails", jpeg_file(constant_frame(16384)), ["--zoom", "1/64"], 1,
         [about_input("out of memory for the frame", NO_FRAME_MEMORY)], 1.0, 64, address_space=224,
         heavy=True),
    # A sequential frame whose Cb and Cr share its second scan (djpeg
    # decodes it): unsupported.
    Case("sequential_split_scans", jpeg_file(fixture("split_scans.jpg")), [], 1,
         [about_input("unsupported compression or coding process in frame 1", UNSUPPORTED)], 1.0, 64,
         status=UNSUPPORTED),
    # A progressive frame with a 16-bit quantisation table (cjpeg's, table 0
    # of 16 bits before table 1 of 8, or one between its scans): unsupported,
    # as a sequential one is.
    Case("prog_16_bit_table", jpeg_file(fixture("prog_s420_q20.jpg")), [], 1,
         [about_input("unsupported compression or coding process in frame 1", UNSUPPORTED)], 1.0, 64,
         status=UNSUPPORTED),
    Case("prog_16_bit_table_between_scans", jpeg_file(sixteen_bit_table_between_scans()), [], 1,
         [about_input("unsupported compression or coding process in frame 1", UNSUPPORTED_LATER)], 1.0, 64,
         status=UNSUPPORTED_LATER),
    # Lossless frames of subsampled components: unsupported, not a bad
    # length.
    Case("lossless_subsampled", jpeg_file(lossless_subsampled(), syntax=LOSSLESS), [], 1,
         [about_input("unsupported compression or coding process in frame 1", UNSUPPORTED)], 1.0, 64,
         status=UNSUPPORTED),
    # 12-bit DCT frames, refused in their own words whichever reader refuses
    # them (the stream from cjpeg carries a JFIF header).
    Case("jfif_sof1_12_bits", jpeg_file(twelve_bit_dct(grey(), 0xC1), bits=16, syntax=EXTENDED), [], 1,
         [about_input("12-bit DCT JPEG (SOF1, 12-bit precision) is not supported in frame 1", JFIF_HEADER)],
         1.0, 64, status=JFIF_HEADER),
    Case("jfif_sof2_12_bits", jpeg_file(twelve_bit_dct(grey(), 0xC2), bits=16, syntax=EXTENDED), [], 1,
         [about_input("12-bit DCT JPEG (SOF2, 12-bit precision) is not supported in frame 1", JFIF_HEADER)],
         1.0, 64, status=JFIF_HEADER),
    # A File ID holding a NUL is refused like one that leaves the folder
    # (cut at the NUL it would name DIR1/IM0001, which is there).
    Case("dicomdir_file_id_nul", dicomdir_file_id(["DIR1", "IM0001\0", ".."]), [], 1,
         ["zrm-render: {input}: image 1: missing file {dir}/dicomdir_file_id_nul/DIR1/IM0001\\0/.."],
         1.0, 64),
    Case("dicomdir_file_id_dot_dot", dicomdir_file_id(["..", "dicomdir_file_id_dot_dot", "DIR1", "IM0001"]),
         [], 1, ["zrm-render: {input}: image 1: {dir}/dicomdir_file_id_dot_dot/../dicomdir_file_id_dot_dot/"
                 "DIR1/IM0001 lies outside the DICOMDIR's folder"], 1.0, 64),
    Case("dicomdir_file_id_dot_then_dot_dot",
         dicomdir_file_id([".", "..", "dicomdir_file_id_dot_then_dot_dot", "DIR1", "IM0001"]), [], 1,
         ["zrm-render: {input}: image 1: {dir}/dicomdir_file_id_dot_then_dot_dot/./../"
          "dicomdir_file_id_dot_then_dot_dot/DIR1/IM0001 lies outside the DICOMDIR's folder"], 1.0, 64),
    # File IDs are paths read lexically: "." and empty components name no
    # folder, ".." takes back the one before it.
    Case("dicomdir_file_id_empty_then_dot_dot",
         dicomdir_file_id(["DIR1", "", "..", "..", "DIR1", "IM0001"]), [], 1,
         ["zrm-render: {input}: image 1: {dir}/dicomdir_file_id_empty_then_dot_dot/DIR1//../../"
          "DIR1/IM0001 lies outside the DICOMDIR's folder"], 1.0, 64),
    Case("dicomdir_file_id", dicomdir_file_id(["DIR1", "IM0001"]), [], 0, [], 1.0, 64),
    Case("dicomdir_file_id_dots", dicomdir_file_id([".", "NONE", "..", "DIR1", "", "IM0001"]), [], 0, [],
         1.0, 64, same_as="dicomdir_file_id"),
    # Pixel aspects far from square: taken as square beyond 1000:1, and
    # pixels 1000 times taller than wide painted at zoom 64.
    # Pixel Spacing 1.171875\1.171875e+40: a pixel aspect of 1e-40.
    Case("render_chain_ratio_ub", found("render_chain_ratio_ub.bin"), FUZZ_TILE, 0, [], 1.0, 64),
    # A pixel aspect of 1e7: a request of millions of rows for one pixel.
    Case("render_chain_slow", found("render_chain_slow.bin"), FUZZ_TILE, 0, [], 1.0, 64),
    Case("aspect_1000_at_zoom_64", large_pixels, ["--zoom", "64", "--size", "8192x2048"], 0,
         [], 2.0, 160),
    Case("aspect_1000_at_zoom_64_widest", large_pixels,
         ["--zoom", "64", "--size", "16384x2048"], 0, [], 3.0, 256),
    # Settings files: none, then each that cannot be used (the same bitmap),
    # then annotation settings of as many modalities as the 1 MiB limit
    # holds.
    Case("settings_none", pydicom_file("CT_small.dcm"), [], 0, [], 1.0, 64),
] + [
    Case(("overlay_" if file == OVERLAY else "ini_") + name, pydicom_file("CT_small.dcm"), [], 0,
         settings_warning(file, words), 1.0, 64, beside=[(file, make)], same_as="settings_none")
    for file, name, make, words in SETTINGS_WARNINGS
] + [
    Case("overlay_1_mib_of_modalities", pydicom_file("CT_small.dcm"), [], 0, [], 1.0, 64,
         beside=[(OVERLAY, write(modalities(0)))]),
    # The records of 50,000 images (4 MB) read where allocations stop at
    # 176 MiB: parsed, then out of memory while their records are made.
    Case("dicomdir_records_out_of_memory", dicomdir_records(50000), [], 1,
         ["zrm-render: {input}: out of memory reading the directory (status 0x80010000, "], 2.0, 192,
         address_space=176, heavy=True),
    # Baseline and lossless streams cut inside their scan's data: what was
    # decoded before the cut, the rest mid-grey, with the warning.
    Case("baseline_cut_short", jpeg_file(grey()[:len(grey()) * 6 // 10]), [], 0, [DAMAGED_LINE], 1.0, 64,
         status=DAMAGED),
    Case("lossless_cut_short", jpeg_file(lossless_grey16()[:len(lossless_grey16()) * 6 // 10], bits=16,
                                         syntax=LOSSLESS), [], 0, [DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    # pydicom's 3 x 3 colour stream cut before its EOI (to 315 bytes, padded
    # with a zero byte): the warning, where it used to pass as whole.
    Case("baseline_without_eoi_padded", jpeg_file(pydicom_frame("SC_rgb_small_odd_jpeg.dcm")[:-3]), [], 0,
         [NO_END_LINE], 1.0, 64, status=DAMAGED),
    # The same stream cut inside its last MCU (to 313 bytes, padded with a
    # zero byte), which libjpeg completes from the pad: the pad is no data,
    # so the MCU is lost, no longer said decoded.
    Case("baseline_cut_padded", jpeg_file(pydicom_frame("SC_rgb_small_odd_jpeg.dcm")[:-5]), [], 0,
         [DAMAGED_LINE], 1.0, 64, status=DAMAGED),
    # A corner of LINE elements: its first 32 lines kept, the rest skipped
    # with a warning (the parser's tree of the file is the most memory).
    Case("overlay_32_lines", pydicom_file("CT_small.dcm"), [], 0, [], 1.0, 64,
         beside=[(OVERLAY, write(lines(32)))]),
    # As many lines as the 1 MiB limit holds; the process test also renders
    # it under a range of address-space limits, where the parse may run out
    # of memory.
    Case("overlay_1_mib_of_lines", pydicom_file("CT_small.dcm"), [], 0,
         settings_warning(OVERLAY, LINES_SKIPPED), 1.0, 64,
         beside=[(OVERLAY, write(lines(0)))], same_as="overlay_32_lines"),
    # A file over the limit is not read, however little memory there is.
    Case("overlay_16_mib_of_lines", pydicom_file("CT_small.dcm"), [], 0,
         settings_warning(OVERLAY, LARGER + XML_INSTEAD), 1.0, 64,
         beside=[(OVERLAY, write(lines(0, 16 << 20)))], same_as="settings_none"),
    Case("overlay_16_mib_of_lines_in_256_mib", pydicom_file("CT_small.dcm"), [], 0,
         settings_warning(OVERLAY, LARGER + XML_INSTEAD), 1.0, 64,
         beside=[(OVERLAY, write(lines(0, 16 << 20)))], same_as="settings_none", address_space=256,
         heavy=True),
    # Memory that runs out while a value of the data set is read ends the
    # run in one line.
    Case("large_private_value_in_192_mib", large_private_value, [], 1,
         [about_input("out of memory reading the data set", DATA_SET_MEMORY)], 1.0, 64,
         address_space=192, heavy=True),
    # A large frame, which the process test also renders under a range of
    # address-space limits.
    Case("frame_2048_square", frame_2048_square, [], 0, [], 1.0, 64),
]


def link_or_copy(source, target):
    try:
        os.link(source, target)
    except OSError:
        shutil.copy2(source, target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program")
    parser.add_argument("--only", action="append", default=[])
    parser.add_argument("outdir")
    args = parser.parse_args()
    out = os.path.abspath(args.outdir)
    os.makedirs(out, exist_ok=True)
    program = ""
    if args.program:
        program = os.path.join(out, "program", "zrm-render")
        shutil.rmtree(os.path.dirname(program), ignore_errors=True)
        os.makedirs(os.path.dirname(program))
        link_or_copy(args.program, program)
    names = set()
    lines = []
    for c in CASES:
        assert c.name not in names and c.name.replace("_", "").isalnum() and c.name.islower(), c.name
        assert c.same_as is None or c.same_as in names, c.name
        names.add(c.name)
        if args.only and c.name not in args.only:
            continue
        path = os.path.join(out, c.name + ".dcm")
        path = c.make(path) or path
        runs = program
        if c.beside and program:
            folder = os.path.join(out, c.name + ".program")
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            runs = os.path.join(folder, "zrm-render")
            os.link(program, runs)
            for file, make in c.beside:
                make(os.path.join(folder, file))

        def expand(text):
            return (text.replace("{dir}", out).replace("{program}", os.path.dirname(runs))
                    .replace("{input}", path))

        extras = [expand(a) for a in c.extras]
        stderr = [expand(line) for line in c.stderr]
        status = "-" if c.status is None else "%x" % c.status[0]
        function = "" if c.status is None else c.status[1]
        fields = [c.name, runs, path, "\x1f".join(extras), str(c.exit), "\x1f".join(stderr),
                  str(c.seconds), str(c.mebibytes), c.same_as or "", status, function,
                  str(c.address_space or 0), str(int(c.heavy))]
        assert not any("\t" in f or "\n" in f for f in fields), c.name
        lines.append("\t".join(fields) + "\n")
    with open(os.path.join(out, "cases.tsv"), "w", encoding="utf-8") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
