#!/usr/bin/python3
"""Expected values for the DICOM image-access tests.

Run with Debian's Python (python3-pydicom, python3-numpy) from the
repository root:

    /usr/bin/python3 tests/data/vrx/dicom/make_dicom_fixtures.py

It writes, next to this script:

frames.txt
    One line per frame of every native, big-endian, planar, palette, YBR and
    RLE test file, as pydicom decodes it (pixel_array; palette images through
    apply_color_lut):
        <file> <frame> <rows> <columns> <samples> <bytes per sample>
        <sha256 of the frame's samples, little endian> <first> <middle> <last>
    <file> is relative to pydicom's test files, or "palette/<name>" for the
    palette images made here. The three values are samples of the frame in
    memory order (row by row, samples of a pixel together).

dicomdir.txt
    The record tree pydicom reads from each DICOMDIR of its dicomdirtests
    (DicomDir.patient_records, children by the directory's offsets), one
    block per file:
        dicomdir <file>
        P <name>|<id>|<sex>|<elements>
        S <uid>|<date>|<time>|<description>|<accession>|<study id>|<elements>
        R <modality>|<uid>|<description>|<elements>
        I <file id>|<sop uid>|<instance>|<class>|<transfer syntax>|<image type>|<elements>
        end

palette/*.dcm
    Small PALETTE COLOR images: the well-known palettes of pydicom (plain and
    segmented 8-bit tables), a 16-bit table with a first mapped value of 100
    for 16-bit indices, 16-bit entries for 8-bit indices, and a segmented
    16-bit table with linear and indirect segments.

bits1/*.dcm
    1-bit images (pack_bits: one bit stream across rows and frames) of
    widths 1, 7, 8, 9, 510 and 512 with 1 to 3 frames, little and big
    endian; their frames in frames.txt are pydicom's pixel_array.

words/*.dcm
    8-bit images in explicit VR big endian whose Pixel Data is OW (16-bit
    words, most significant byte first): grey frames of odd size, a planar
    RGB image, a palette image, 1-bit frames, and a grey image with OB Pixel
    Data.
    pydicom reads OW without undoing the word order, so their frames in
    frames.txt are the samples written; dcmconv +te, when installed, must
    turn each file into a little-endian one of those samples.

unusual/*.dcm
    Valid files of less common forms: signed palette indices with a negative
    first mapped value (native 8 and 16 bits, RLE), 8-bit palette entries
    stored one per 16-bit word (value in the low or in the high byte), an
    image with a Content Sequence nested 12 levels deep, elements in falling
    tag order, 4096 frames of 1 x 1 pixels under a Number of Frames of
    2147483647, and names in GB18030 and GBK. Palette frames in frames.txt
    are dcm2pnm's (which must be installed), the others pydicom's or the
    samples written.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile

import numpy as np
import pydicom
from pydicom.data import get_palette_files
from pydicom.dataset import Dataset
from pydicom.pixel_data_handlers.rle_handler import rle_encode_frame
from pydicom.pixel_data_handlers.util import apply_color_lut, pack_bits
from pydicom.uid import ExplicitVRBigEndian, ExplicitVRLittleEndian, generate_uid

from image_dataset import image_dataset

HERE = os.path.dirname(os.path.abspath(__file__))
TEST_FILES = os.path.join(os.path.dirname(pydicom.__file__), "data", "test_files")

FRAME_FILES = [
    "CT_small.dcm",
    "MR_small.dcm",
    "MR_small_bigendian.dcm",
    "MR_small_expb.dcm",
    "MR_small_implicit.dcm",
    "MR_small_padded.dcm",
    "MR_small_RLE.dcm",
    "ExplVR_BigEnd.dcm",
    "SC_rgb_small_odd.dcm",
    "SC_rgb_jpeg_dcmd.dcm",
    "SC_rgb_rle.dcm",
    "SC_rgb_rle_2frame.dcm",
    "SC_rgb_rle_16bit.dcm",
    "SC_rgb_rle_16bit_2frame.dcm",
    "SC_rgb_rle_32bit.dcm",
    "SC_rgb_rle_32bit_2frame.dcm",
    "SC_ybr_full_422_uncompressed.dcm",
    "rtdose.dcm",
    "rtdose_1frame.dcm",
    "rtdose_expb.dcm",
    "rtdose_expb_1frame.dcm",
    "rtdose_rle.dcm",
    "rtdose_rle_1frame.dcm",
    "liver_1frame.dcm",
    "liver_expb_1frame.dcm",
]

DICOMDIRS = [
    "DICOMDIR",
    "DICOMDIR-bigEnd",
    "DICOMDIR-implicit",
    "DICOMDIR-reordered",
    "DICOMDIR-nooffset",
    "DICOMDIR-nopatient",
    "DICOMDIR-empty.dcm",
    "TINY_ALPHA/DICOMDIR",
]


def frame_line(name, index, frame):
    """One line of frames.txt for a frame array of (rows, columns[, samples])."""
    rows, columns = frame.shape[0], frame.shape[1]
    samples = frame.shape[2] if frame.ndim == 3 else 1
    little = frame.astype(frame.dtype.newbyteorder("<"), copy=False)
    digest = hashlib.sha256(np.ascontiguousarray(little).tobytes()).hexdigest()
    flat = frame.reshape(-1)
    picks = [int(flat[0]), int(flat[flat.size // 2]), int(flat[-1])]
    return "%s %d %d %d %d %d %s %d %d %d" % (
        name, index, rows, columns, samples, frame.dtype.itemsize, digest, *picks)


def frames_of(ds):
    arr = ds.pixel_array
    frames = int(ds.get("NumberOfFrames", 1) or 1)
    return [arr] if frames == 1 else [arr[i] for i in range(frames)]


def palette_image(name, indices, lut_elements, first_mapped=0, entry_bits=8):
    """Writes palette/<name>.dcm: `indices` (rows, columns) with the palette
    elements `lut_elements` (keyword -> bytes) and returns the data set."""
    rows, columns = indices.shape
    bits = indices.dtype.itemsize * 8
    ds = image_dataset(rows, columns, bits, 1, "PALETTE COLOR",
                       generate_uid(entropy_srcs=[name]))
    ds.SOPClassUID = ds.file_meta.MediaStorageSOPClassUID
    ds.SOPInstanceUID = ds.file_meta.MediaStorageSOPInstanceUID
    ds.Modality = "OT"
    entries = lut_elements.pop("entries")
    descriptor = [entries % 65536, first_mapped, entry_bits]
    ds.RedPaletteColorLookupTableDescriptor = descriptor
    ds.GreenPaletteColorLookupTableDescriptor = descriptor
    ds.BluePaletteColorLookupTableDescriptor = descriptor
    for keyword, value in lut_elements.items():
        setattr(ds, keyword, value)
    ds.PixelData = indices.astype("<u%d" % (bits // 8)).tobytes()
    os.makedirs(os.path.join(HERE, "palette"), exist_ok=True)
    ds.save_as(os.path.join(HERE, "palette", name + ".dcm"), write_like_original=False)
    return pydicom.dcmread(os.path.join(HERE, "palette", name + ".dcm"))


def words(values):
    return struct.pack("<%dH" % len(values), *values)


def palette_images():
    """(name, data set) of every palette image."""
    ramp8 = np.arange(256, dtype=np.uint8).reshape(8, 32)
    out = []
    for well_known in ("hotiron", "spring"):
        source = pydicom.dcmread(get_palette_files(well_known + ".dcm")[0])
        luts = {"entries": 256}
        for colour in ("Red", "Green", "Blue"):
            for form in ("%sPaletteColorLookupTableData", "Segmented%sPaletteColorLookupTableData"):
                keyword = form % colour
                if keyword in source:
                    luts[keyword] = source[keyword].value
        name = "palette8_" + well_known
        out.append((name, palette_image(name, ramp8, luts)))

    # 16-bit indices, 1024 entries of 16 bits from a first mapped value of
    # 100; indices run below the first value and past the last entry.
    ramp16 = (np.arange(48 * 32, dtype=np.uint16) * 3).reshape(48, 32)
    entries = np.arange(1024)
    luts = {
        "entries": 1024,
        "RedPaletteColorLookupTableData": words(list((entries * 64) % 65536)),
        "GreenPaletteColorLookupTableData": words(list(65535 - entries * 37)),
        "BluePaletteColorLookupTableData": words(list((entries * entries) % 65536)),
    }
    out.append(("palette16_first100", palette_image("palette16_first100", ramp16, luts,
                                                     first_mapped=100, entry_bits=16)))

    # 16-bit entries for 8-bit indices: the chain keeps their high byte.
    e = np.arange(256)
    luts = {
        "entries": 256,
        "RedPaletteColorLookupTableData": words(list(e * 257)),
        "GreenPaletteColorLookupTableData": words(list((255 - e) * 256 + 17)),
        "BluePaletteColorLookupTableData": words(list(((e * 7) % 256) * 256 + 200)),
    }
    out.append(("palette8_entries16", palette_image("palette8_entries16", ramp8, luts,
                                                    entry_bits=16)))

    # Segmented 16-bit tables: discrete, linear and an indirect segment that
    # repeats the table's first two segments (byte offset 0).
    red = [0, 2, 1000, 2000, 1, 100, 40000, 2, 2, 0, 0, 1, 52, 65535]
    green = [0, 1, 65535, 1, 255, 0]
    blue = [0, 3, 5, 6, 7, 1, 253, 50000]
    luts = {
        "entries": 256,
        "SegmentedRedPaletteColorLookupTableData": words(red),
        "SegmentedGreenPaletteColorLookupTableData": words(green),
        "SegmentedBluePaletteColorLookupTableData": words(blue),
    }
    out.append(("palette8_segmented16", palette_image("palette8_segmented16", ramp8, luts,
                                                      entry_bits=16)))
    return out


def palette_frames(name, ds):
    rgb = apply_color_lut(ds.pixel_array, ds)
    if ds.BitsAllocated == 8 and ds.RedPaletteColorLookupTableDescriptor[2] == 16:
        rgb = (rgb >> 8).astype(np.uint8)
    return [frame_line("palette/" + name, 0, rgb)]


def save(ds, folder, name):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    path = os.path.join(HERE, folder, name + ".dcm")
    ds.save_as(path, write_like_original=False)
    return path


def one_bit_images():
    """frames.txt lines of the 1-bit images."""
    rng = np.random.default_rng(13)
    lines = []
    shapes = [(1, 5), (7, 5), (8, 4), (9, 3), (510, 4), (512, 3)]
    for k, (columns, rows) in enumerate(shapes):
        for big in (False, True):
            frames = 1 + (2 * k + big) % 3
            name = "w%d_f%d_%s" % (columns, frames, "be" if big else "le")
            syntax = ExplicitVRBigEndian if big else ExplicitVRLittleEndian
            ds = image_dataset(rows, columns, 1, 1, "MONOCHROME2",
                               generate_uid(entropy_srcs=[name]), syntax)
            ds.NumberOfFrames = frames
            pixels = rng.integers(0, 2, size=(frames, rows, columns), dtype=np.uint8)
            ds.PixelData = pack_bits(pixels)
            ds["PixelData"].VR = "OB"
            read = pydicom.dcmread(save(ds, "bits1", name))
            arr = read.pixel_array.reshape(frames, rows, columns)
            assert (arr == pixels).all()
            lines += [frame_line("bits1/" + name, i, arr[i]) for i in range(frames)]
    return lines


def swap_pairs(data):
    """The bytes with each pair exchanged (an odd last byte stays)."""
    out = bytearray(data)
    out[0:len(out) & ~1:2], out[1:len(out) & ~1:2] = data[1:len(data) & ~1:2], data[0:len(data) & ~1:2]
    return bytes(out)


def word_images():
    """frames.txt lines of the 8-bit big-endian images."""
    rng = np.random.default_rng(24)
    dcmconv = shutil.which("dcmconv")
    lines = []

    def write(name, ds, data, vr, expected, tables=()):
        data += b"\0" * (len(data) % 2)
        ds.PixelData = swap_pairs(data) if vr == "OW" else data
        ds["PixelData"].VR = vr
        # 8-bit table entries lie in OW words like the samples.
        for colour, table in zip(("Red", "Green", "Blue"), tables):
            setattr(ds, colour + "PaletteColorLookupTableDescriptor", [256, 0, 8])
            setattr(ds, colour + "PaletteColorLookupTableData", swap_pairs(table))
            ds[colour + "PaletteColorLookupTableData"].VR = "OW"
        path = save(ds, "words", name)
        if dcmconv:
            with tempfile.TemporaryDirectory() as tmp:
                little = os.path.join(tmp, "le.dcm")
                subprocess.run([dcmconv, "+te", path, little], check=True)
                converted = pydicom.dcmread(little)
                assert converted.PixelData == data, name
                assert converted.get("RedPaletteColorLookupTableData", b"") == (
                    tables[0] if tables else b""), name
        frames = expected if isinstance(expected, list) else [expected]
        return [frame_line("words/" + name, i, f) for i, f in enumerate(frames)]

    def dataset(name, rows, columns, samples, photometric, bits=8):
        return image_dataset(rows, columns, bits, samples, photometric,
                             generate_uid(entropy_srcs=[name]), ExplicitVRBigEndian)

    # Grey, 5 x 3, two frames: the second frame starts inside a word.
    grey = rng.integers(0, 256, size=(2, 3, 5), dtype=np.uint8)
    ds = dataset("gray_ow", 3, 5, 1, "MONOCHROME2")
    ds.NumberOfFrames = 2
    lines += write("gray_ow", ds, grey.tobytes(), "OW", [grey[0], grey[1]])
    ds = dataset("gray_ob", 3, 5, 1, "MONOCHROME2")
    ds.NumberOfFrames = 2
    lines += write("gray_ob", ds, grey.tobytes(), "OB", [grey[0], grey[1]])

    # 1-bit samples in OW words, as dcmtk reads them: two frames of 9 x 3.
    bits = rng.integers(0, 2, size=(2, 3, 9), dtype=np.uint8)
    ds = dataset("bits1_ow", 3, 9, 1, "MONOCHROME2", bits=1)
    ds.NumberOfFrames = 2
    lines += write("bits1_ow", ds, pack_bits(bits), "OW", [bits[0], bits[1]])

    # Planar RGB, 3 x 3: planes of an odd size.
    rgb = rng.integers(0, 256, size=(3, 3, 3), dtype=np.uint8)
    ds = dataset("rgb_planar_ow", 3, 3, 3, "RGB")
    ds.PlanarConfiguration = 1
    lines += write("rgb_planar_ow", ds, rgb.transpose(2, 0, 1).tobytes(), "OW", rgb)

    # Palette, 7 x 3 indices into 8-bit tables.
    indices = rng.integers(0, 256, size=(3, 7), dtype=np.uint8)
    ds = dataset("palette_ow", 3, 7, 1, "PALETTE COLOR")
    tables = [bytes(rng.integers(0, 256, size=256, dtype=np.uint8)) for _ in range(3)]
    rgb = np.stack([np.frombuffer(t, dtype=np.uint8)[indices] for t in tables], axis=-1)
    lines += write("palette_ow", ds, indices.tobytes(), "OW", rgb, tables)
    return lines


def dcm2pnm_rgb(path, rows, columns, deep):
    """The RGB image dcm2pnm makes of a palette file, 8 or 16 bits."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.ppm")
        subprocess.run(["dcm2pnm", "+opw" if deep else "+op", path, out], check=True)
        data = open(out, "rb").read()
    if deep:
        values = [int(v) for v in data.split()[4:]]
        return np.array(values, dtype=np.uint16).reshape(rows, columns, 3)
    return np.frombuffer(data[-rows * columns * 3:], dtype=np.uint8).reshape(rows, columns, 3)


def unusual_images():
    """frames.txt lines of the files of less common forms."""
    lines = []

    def dataset(name, rows, columns, bits, photometric, syntax=ExplicitVRLittleEndian):
        return image_dataset(rows, columns, bits, 1, photometric,
                             generate_uid(entropy_srcs=[name]), syntax)

    def palette(name, indices, bits, first, entries, tables, stored=None, rle=False):
        rows, columns = indices.shape
        ds = dataset(name, rows, columns, bits, "PALETTE COLOR")
        ds.PixelRepresentation = 1 if first < 0 or indices.min() < 0 else 0
        if stored:
            ds.BitsStored, ds.HighBit = stored, stored - 1
        entry_bits = 16 if tables[0].dtype == np.uint16 else 8
        for colour, table in zip(("Red", "Green", "Blue"), tables):
            setattr(ds, colour + "PaletteColorLookupTableDescriptor", [entries, first, entry_bits])
            setattr(ds, colour + "PaletteColorLookupTableData", table.astype("<u%d" % table.itemsize).tobytes())
        stored_type = "<i%d" % (bits // 8) if ds.PixelRepresentation else "<u%d" % (bits // 8)
        if rle:
            ds.file_meta.TransferSyntaxUID = pydicom.uid.RLELossless
            frame = rle_encode_frame(indices.astype(stored_type).view("<u%d" % (bits // 8)))
            ds.PixelData = pydicom.encaps.encapsulate([frame])
            ds["PixelData"].VR = "OB"
            ds["PixelData"].is_undefined_length = True
        else:
            ds.PixelData = indices.astype(stored_type).tobytes()
        path = save(ds, "unusual", name)
        rgb = dcm2pnm_rgb(path, rows, columns, bits == 16 and entry_bits == 16)
        return [frame_line("unusual/" + name, 0, rgb)]

    e = np.arange(1024)
    wide = [(e * 64) % 65536, 65535 - e * 37, (e * e * 7) % 65536]
    signed16 = np.arange(-600, 700, 5).reshape(13, 20)
    lines += palette("palette_signed16", signed16, 16, -500, 1024, [t.astype(np.uint16) for t in wide],
                     stored=12)
    signed8 = np.arange(-128, 128).reshape(16, 16)
    narrow = [(e[:200] * 5) % 256, 255 - e[:200], (e[:200] * 7) % 256]
    lines += palette("palette_signed8", signed8, 8, -100, 200, [t.astype(np.uint8) for t in narrow])
    lines += palette("palette_signed8_rle", signed8, 8, -100, 200,
                     [t.astype(np.uint8) for t in narrow], rle=True)
    # 8-bit entries one per 16-bit word: in the low bytes, or in the high
    # bytes with every low byte 0.
    ramp = np.arange(256).reshape(8, 32)
    low = [(e[:256] * 3) % 256, 255 - e[:256], (e[:256] * 11) % 256]
    lines += palette("palette_words_low", ramp, 8, 0, 256,
                     [(t | 0x100 * (i == 2)).astype(np.uint16) for i, t in enumerate(low)])
    lines += palette("palette_words_high", ramp, 8, 0, 256, [(t << 8).astype(np.uint16) for t in low])

    # Content Sequence nested 12 levels deep, the outer levels of undefined
    # length.
    pixels = np.arange(35, dtype=np.uint8).reshape(5, 7)
    ds = dataset("deep_nesting", 5, 7, 8, "MONOCHROME2")
    inner = Dataset()
    inner.TextValue = "deepest"
    for level in range(12):
        outer = Dataset()
        outer.ValueType = "CONTAINER"
        outer.ContentSequence = [inner]
        outer["ContentSequence"].is_undefined_length = level >= 6
        inner = outer
    ds.ContentSequence = inner.ContentSequence
    ds["ContentSequence"].is_undefined_length = True
    ds.PixelData = pixels.tobytes()
    read = pydicom.dcmread(save(ds, "unusual", "deep_nesting"))
    lines.append(frame_line("unusual/deep_nesting", 0, read.pixel_array))

    # The same image's elements written in falling tag order.
    ds = dataset("falling_tags", 5, 7, 8, "MONOCHROME2")
    ds.PatientName = "Falling^Tags"
    ds.PixelData = pixels.tobytes()
    path = save(ds, "unusual", "falling_tags")
    data = open(path, "rb").read()
    meta_end = 132 + 12 + struct.unpack("<I", data[140:144])[0]
    chunks = []
    for elem in pydicom.dcmread(path):
        out = pydicom.filebase.DicomBytesIO()
        out.is_little_endian, out.is_implicit_VR = True, False
        pydicom.filewriter.write_data_element(out, elem)
        chunks.append(out.getvalue())
    assert b"".join(chunks) == data[meta_end:]
    with open(path, "wb") as f:
        f.write(data[:meta_end] + b"".join(reversed(chunks)))
    lines.append(frame_line("unusual/falling_tags", 0, pixels))

    # 4096 frames of one pixel under a Number of Frames of 2147483647.
    ds = dataset("many_frames", 1, 1, 8, "MONOCHROME2")
    ds.NumberOfFrames = 2147483647
    samples = (np.arange(4096) * 7 % 251).astype(np.uint8)
    ds.PixelData = samples.tobytes()
    save(ds, "unusual", "many_frames")
    for frame in (0, 1, 4095):
        lines.append(frame_line("unusual/many_frames", frame, samples[frame:frame + 1].reshape(1, 1)))

    # Names in the Chinese character sets.
    for charset in ("GB18030", "GBK"):
        ds = dataset("names_" + charset, 1, 1, 8, "MONOCHROME2")
        ds.SpecificCharacterSet = charset
        ds.PatientName = "\u738b^\u5c0f\u4e1c"
        ds.PixelData = b"\0\0"
        path = save(ds, "unusual", "names_" + charset.lower())
        assert pydicom.dcmread(path).PatientName == "\u738b^\u5c0f\u4e1c"
    return lines


def dicomdir_block(name):
    ds = pydicom.dcmread(os.path.join(TEST_FILES, "dicomdirtests", name))
    text = lambda r, k: "" if r.get(k) is None else (
        "\\".join(str(v) for v in r.get(k)) if isinstance(r.get(k), pydicom.multival.MultiValue)
        else str(r.get(k)))
    lines = ["dicomdir " + name]

    def children(record, kind):
        return [c for c in getattr(record, "children", []) if c.DirectoryRecordType == kind]

    for p in ds.patient_records:
        lines.append("P %s|%s|%s|%d" % (text(p, "PatientName"), text(p, "PatientID"),
                                        text(p, "PatientSex"), len(p)))
        for s in children(p, "STUDY"):
            lines.append("S %s|%s|%s|%s|%s|%s|%d" % (
                text(s, "StudyInstanceUID"), text(s, "StudyDate"), text(s, "StudyTime"),
                text(s, "StudyDescription"), text(s, "AccessionNumber"), text(s, "StudyID"), len(s)))
            for r in children(s, "SERIES"):
                lines.append("R %s|%s|%s|%d" % (text(r, "Modality"), text(r, "SeriesInstanceUID"),
                                                text(r, "SeriesDescription"), len(r)))
                for i in children(r, "IMAGE"):
                    sop = text(i, "SOPInstanceUID") or text(i, "ReferencedSOPInstanceUIDInFile")
                    number = i.get("InstanceNumber")
                    lines.append("I %s|%s|%d|%s|%s|%s|%d" % (
                        text(i, "ReferencedFileID"), sop, int(number) if number is not None else 0,
                        text(i, "ReferencedSOPClassUIDInFile"),
                        text(i, "ReferencedTransferSyntaxUIDInFile"), text(i, "ImageType"), len(i)))
    lines.append("end")
    return lines


def main():
    lines = []
    for name in FRAME_FILES:
        ds = pydicom.dcmread(os.path.join(TEST_FILES, name))
        for index, frame in enumerate(frames_of(ds)):
            lines.append(frame_line(name, index, frame))
    for name, ds in palette_images():
        lines.extend(palette_frames(name, ds))
    lines += one_bit_images()
    lines += word_images()
    lines += unusual_images()
    with open(os.path.join(HERE, "frames.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")

    lines = []
    for name in DICOMDIRS:
        lines.extend(dicomdir_block(name))
    with open(os.path.join(HERE, "dicomdir.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
